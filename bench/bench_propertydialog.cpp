#include "BenchTools.h"
#include "common/app/Accessors.h"
#include "harness/TestMain.h"
#include "model/Document.h"
#include "properties/PropertyDialog.h"

#include <algorithm>

#include <QElapsedTimer>
#include <QLabel>
#include <QRandomGenerator>
#include <QTableWidget>

// Opening the property dialog on a plan of 10,000 cards and 30 properties (ten each of text,
// numbers and dates, all Automatic). The dialog lists the property's values, detects its type
// once and fills a colour button per text value; it should open within 150 ms for a text
// property of 50 values and for a numeric one. A text property whose every card holds another
// value (10,000 colour buttons) is timed for the record. Each run opens the dialog on a fresh
// copy of the plan, so no type or range the plan has cached helps it.
class BenchPropertyDialog : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void openDialog_data();
    void openDialog();

private:
    Document m_plan;
};

namespace {

using BenchTools::threadMilliseconds;

constexpr int Cards = 10000;
constexpr int PerKind = BenchTools::MixedPerKind;
// Property indexes: text 1-10 (1 a distinct text per card, 2 fifty values), numbers 11-20,
// dates 21-30.
constexpr int DistinctText = 1;
constexpr int FiftyValues = 2;
constexpr int FirstNumber = 1 + PerKind;
constexpr int FirstDate = FirstNumber + PerKind;

QString textValue(QRandomGenerator &random, int property, int card)
{
    if (property == DistinctText)
        return QStringLiteral("item %1 %2").arg(card).arg(random.bounded(1000000));
    if (property == FiftyValues)
        return QStringLiteral("value %1").arg(random.bounded(50));
    static const QStringList words {"open",  "doing", "done",  "blocked", "later",
                                    "alpha", "beta",  "gamma", ""};
    return words.at(random.bounded(words.size()));
}

} // namespace

void BenchPropertyDialog::initTestCase()
{
    BenchTools::fillMixedPlan(m_plan, Cards, 20261207, textValue, [](int) { return QString(); });
}

void BenchPropertyDialog::openDialog_data()
{
    QTest::addColumn<int>("property");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("runs");
    QTest::addColumn<int>("colorRows");
    // In milliseconds; 0 for a figure printed for the record.
    QTest::addColumn<int>("target");
    QTest::newRow("text property, 50 values") << FiftyValues << 1 << 9 << 50 << 150;
    QTest::newRow("numeric property") << FirstNumber << 2 << 9 << 2 << 150;
    QTest::newRow("date property") << FirstDate << 2 << 9 << 6 << 0;
    QTest::newRow("text property, 10,000 distinct values") << DistinctText << 1 << 3 << Cards << 0;
}

void BenchPropertyDialog::openDialog()
{
    QFETCH(int, property);
    QFETCH(int, page);
    QFETCH(int, runs);
    QFETCH(int, colorRows);
    QFETCH(int, target);
    QList<double> wall;
    QList<double> cpu;
    for (int run = 0; run < runs; ++run) {
        *doc() = m_plan;
        QElapsedTimer timer;
        timer.start();
        const double cpuStart = threadMilliseconds();
        {
            PropertyDialog dialog(nullptr, property, page);
            cpu.append(threadMilliseconds() - cpuStart);
            wall.append(double(timer.nsecsElapsed()) / 1e6);
            const auto *colors
                = dialog.findChild<QTableWidget *>(QStringLiteral("m_colorsTableWidget"));
            QCOMPARE(colors->rowCount(), colorRows);
        }
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    // The fastest run shows the cost itself; the median what a busy machine makes of it.
    const QByteArray goal = target > 0 ? QByteArray("target ") + QByteArray::number(target) + " ms"
                                       : QByteArray("for the record");
    qInfo("open the property dialog, %-38s CPU %7.1f ms fastest, %7.1f ms median; wall %7.1f ms "
          "median (%s)",
          QTest::currentDataTag(), cpu.first(), cpu.at(cpu.size() / 2), wall.at(wall.size() / 2),
          goal.constData());
}

TAVROLO_TEST_MAIN(BenchPropertyDialog)
#include "bench_propertydialog.moc"
