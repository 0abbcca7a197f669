#include "BenchTools.h"
#include "cardedit/ReplaceDialog.h"
#include "common/app/Accessors.h"
#include "common/widgets/DelayedEditLineEdit.h"
#include "harness/TestMain.h"
#include "model/Document.h"
#include "properties/PropertiesView.h"

#include <algorithm>

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QRandomGenerator>

// The Properties tab rebuilds itself on every whole-plan change (opening, undo, redo), so on a
// plan of 10,000 cards and 30 properties the rebuild should take at most 50 ms: it reads the
// declared types only, never the values. Timed with the table hidden (another tab on show) and
// shown; the event-loop work after it (the old rows' widgets deleted, the repaint) is printed
// apart. One find-and-replace preview over every value of the plan is printed for the record.
class BenchPropertiesTab : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void rebuildOnWholePlanChange_data();
    void rebuildOnWholePlanChange();
    void findPreviewOverWholePlan_data();
    void findPreviewOverWholePlan();

private:
    Document m_plan;
};

namespace {

using BenchTools::threadMilliseconds;

constexpr int Cards = 10000;
constexpr int PerKind = BenchTools::MixedPerKind;
constexpr int Runs = 15;

constexpr int RebuildTargetMs = 50;

// A target of 0 is a figure printed for the record.
void report(const char *what, QList<double> cpu, QList<double> wall, int target)
{
    std::sort(cpu.begin(), cpu.end());
    std::sort(wall.begin(), wall.end());
    const QByteArray goal = target > 0 ? QByteArray("target ") + QByteArray::number(target) + " ms"
                                       : QByteArray("for the record");
    qInfo("%-58s CPU %7.2f ms fastest, %7.2f ms median, %7.2f ms slowest; wall %7.2f ms median "
          "(%s)",
          what, cpu.first(), cpu.at(cpu.size() / 2), cpu.last(), wall.at(wall.size() / 2),
          goal.constData());
}

} // namespace

// Ten text, ten numeric and ten date properties, all Automatic, with notes on every tenth card.
void BenchPropertiesTab::initTestCase()
{
    static const QStringList words {"open", "doing", "done", "blocked", "later", "alpha", ""};
    BenchTools::fillMixedPlan(
        m_plan, Cards, 20261207,
        [](QRandomGenerator &random, int, int) { return words.at(random.bounded(words.size())); },
        [](int card) { return card % 10 == 0 ? QStringLiteral("call back later") : QString(); });
    *doc() = m_plan;
}

void BenchPropertiesTab::rebuildOnWholePlanChange_data()
{
    QTest::addColumn<bool>("shown");
    QTest::newRow("table hidden") << false;
    QTest::newRow("table shown") << true;
}

void BenchPropertiesTab::rebuildOnWholePlanChange()
{
    QFETCH(bool, shown);
    PropertiesView view;
    view.resize(1000, 700);
    if (shown) {
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
    }
    Events wholePlan;
    wholePlan.add(EventType::AllChanged);
    QList<double> cpu;
    QList<double> wall;
    QList<double> afterCpu;
    QList<double> afterWall;
    for (int run = 0; run < Runs; ++run) {
        // A fresh copy each time, as after undo: no cached type or range to lean on.
        *doc() = m_plan;
        QElapsedTimer timer;
        timer.start();
        double start = threadMilliseconds();
        view.onChangedDoc(wholePlan);
        cpu.append(threadMilliseconds() - start);
        wall.append(double(timer.nsecsElapsed()) / 1e6);
        QCOMPARE(view.rowCount(), 3 * PerKind);

        timer.restart();
        start = threadMilliseconds();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        afterCpu.append(threadMilliseconds() - start);
        afterWall.append(double(timer.nsecsElapsed()) / 1e6);
    }
    const QByteArray tag = QTest::currentDataTag();
    report(QByteArray("Properties tab rebuild on event 0, " + tag).constData(), cpu, wall,
           RebuildTargetMs);
    report(QByteArray("  then the event loop (old widgets, repaint), " + tag).constData(), afterCpu,
           afterWall, 0);
}

void BenchPropertiesTab::findPreviewOverWholePlan_data()
{
    QTest::addColumn<QString>("find");
    QTest::addColumn<bool>("notes");
    QTest::newRow("'do' in every property") << "do" << false;
    QTest::newRow("'later' in every property and the notes") << "later" << true;
}

void BenchPropertiesTab::findPreviewOverWholePlan()
{
    QFETCH(QString, find);
    QFETCH(bool, notes);
    *doc() = m_plan;
    ReplaceDialog dialog;
    dialog.findChild<QCheckBox *>(QStringLiteral("m_notesCheckBox"))->setChecked(notes);
    auto *replaceEdit = dialog.findChild<DelayedEditLineEdit *>(QStringLiteral("m_replaceEdit"));
    replaceEdit->setText(QStringLiteral("y"));
    replaceEdit->flush();
    auto *findEdit = dialog.findChild<DelayedEditLineEdit *>(QStringLiteral("m_findEdit"));
    findEdit->setText(find);

    QElapsedTimer timer;
    timer.start();
    const double start = threadMilliseconds();
    // What the typing pause ends in: one preview.
    findEdit->flush();
    const double cpu = threadMilliseconds() - start;
    const double wall = double(timer.nsecsElapsed()) / 1e6;
    const QString label = dialog.findChild<QLabel *>(QStringLiteral("m_previewTextLabel"))->text();
    qInfo(
        "find preview over the whole plan, %-40s CPU %7.2f ms, wall %7.2f ms (%s; for the record)",
        QTest::currentDataTag(), cpu, wall, qPrintable(label));
}

TAVROLO_TEST_MAIN(BenchPropertiesTab)
#include "bench_propertiestab.moc"
