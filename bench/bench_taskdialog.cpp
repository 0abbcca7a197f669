#include "BenchTools.h"
#include "cardedit/TaskDialog.h"
#include "common/app/Accessors.h"
#include "common/widgets/DelayedEditLineEdit.h"
#include "harness/TestMain.h"
#include "model/Document.h"

#include <algorithm>

#include <QElapsedTimer>
#include <QRandomGenerator>

// Opening the card dialog on a plan of 10,000 cards and 30 properties (ten each of text,
// numbers and dates, all Automatic; one text property holds another value on every card).
// Editing 100 selected cards should open within 150 ms: every property's values are listed
// in one walk over the cards and each field is filled in one go. Adding a card, and one
// quick-add parse on the same plan, are timed for the record. Each run starts from a fresh
// copy of the plan, so no type or value list the plan has cached helps it.
class BenchTaskDialog : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void openDialog_data();
    void openDialog();
    void quickAddParse();

private:
    Document m_plan;
};

namespace {

using BenchTools::threadMilliseconds;

constexpr int Cards = 10000;
constexpr int PerKind = BenchTools::MixedPerKind;
constexpr int Selected = 100;
constexpr int FirstNumber = 1 + PerKind;
constexpr int FirstDate = FirstNumber + PerKind;

// A target of 0 is a figure printed for the record.
void report(const char *what, QList<double> cpu, QList<double> wall, int target)
{
    std::sort(cpu.begin(), cpu.end());
    std::sort(wall.begin(), wall.end());
    const QByteArray goal = target > 0 ? QByteArray("target ") + QByteArray::number(target) + " ms"
                                       : QByteArray("for the record");
    // The fastest run shows the cost itself; the median what a busy machine makes of it.
    qInfo("%-44s CPU %7.1f ms fastest, %7.1f ms median; wall %7.1f ms median (%s)", what,
          cpu.first(), cpu.at(cpu.size() / 2), wall.at(wall.size() / 2), goal.constData());
}

} // namespace

void BenchTaskDialog::initTestCase()
{
    static const QStringList words {"open", "doing", "done", "blocked", "later", "alpha", ""};
    BenchTools::fillMixedPlan(
        m_plan, Cards, 20261207,
        [](QRandomGenerator &random, int property, int card) {
            // The first text property holds another value on every card.
            if (property == 1)
                return QStringLiteral("item %1 %2").arg(card).arg(random.bounded(1000000));
            return words.at(random.bounded(words.size()));
        },
        [](int card) { return QStringLiteral("notes %1").arg(card % 3); });
}

void BenchTaskDialog::openDialog_data()
{
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("target");
    QTest::newRow("edit 100 selected cards") << Selected << 150;
    QTest::newRow("add a card") << 0 << 0;
}

void BenchTaskDialog::openDialog()
{
    QFETCH(int, selected);
    QFETCH(int, target);
    QList<TaskIndex> tasks;
    for (int i = 0; i < selected; ++i)
        tasks.append(i * (Cards / Selected));
    QList<double> wall;
    QList<double> cpu;
    for (int run = 0; run < 9; ++run) {
        *doc() = m_plan;
        QElapsedTimer timer;
        timer.start();
        const double cpuStart = threadMilliseconds();
        TaskDialog dialog(nullptr, nullptr, {}, tasks);
        cpu.append(threadMilliseconds() - cpuStart);
        wall.append(double(timer.nsecsElapsed()) / 1e6);
    }
    report(qPrintable(QStringLiteral("construct TaskDialog, %1").arg(QTest::currentDataTag())), cpu,
           wall, target);
}

void BenchTaskDialog::quickAddParse()
{
    *doc() = m_plan;
    TaskDialog dialog(nullptr, nullptr, {}, {});
    auto *line = dialog.findChild<DelayedEditLineEdit *>();
    QList<double> wall;
    QList<double> cpu;
    for (int run = 0; run < 9; ++run) {
        line->setText(QStringLiteral("item 3, p2=done, 12.5, today, run %1").arg(run));
        QElapsedTimer timer;
        timer.start();
        const double cpuStart = threadMilliseconds();
        line->flush();
        cpu.append(threadMilliseconds() - cpuStart);
        wall.append(double(timer.nsecsElapsed()) / 1e6);
    }
    report("one quick-add parse, fields shown", cpu, wall, 0);
}

TAVROLO_TEST_MAIN(BenchTaskDialog)
#include "bench_taskdialog.moc"
