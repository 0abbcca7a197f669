#include "BenchTools.h"
#include "harness/PlainTestMain.h"
#include "model/Document.h"

#include <algorithm>
#include <functional>

#include <QElapsedTimer>
#include <QRandomGenerator>

// The value model on a plan of 10,000 cards and 30 properties (ten each of text, numbers and
// dates, all Automatic, so types are detected). Every pane asks these questions on each
// rebuild, so each must stay well below a frame or two. Prints the times of several runs,
// each on a fresh copy of the plan so that no cache from an earlier run helps.
class BenchValueModel : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void detectTypeOfEveryProperty();
    void valuesOfHighCardinalityText();
    void numericBins();
    void dateBins();
    void filterEveryCard_data();
    void filterEveryCard();
    void setEveryValueOfOneProperty();
    void deleteThousandCards();
    void deleteOneProperty();

private:
    // Runs `work` on fresh copies of the plan and prints the fastest and median times;
    // with warmTypes the copies have detected their property types first, as they have by
    // the time a pane filters.
    void report(const char *what, const std::function<void(Document &)> &work,
                bool warmTypes = false);

    Document m_plan;
};

namespace {

using BenchTools::threadMilliseconds;

constexpr int Cards = 10000;
constexpr int PerKind = BenchTools::MixedPerKind;
// Property indexes: text 1-10 (1 holds a distinct text per card), numbers 11-20, dates 21-30.
constexpr int FirstText = 1;
constexpr int FirstNumber = FirstText + PerKind;
constexpr int FirstDate = FirstNumber + PerKind;

QString randomText(QRandomGenerator &random, int property, int card)
{
    if (property == FirstText)
        return QStringLiteral("item %1 %2").arg(card).arg(random.bounded(1000000));
    static const QStringList words {"open",  "doing", "done",  "blocked", "later",
                                    "alpha", "beta",  "gamma", ""};
    return words.at(random.bounded(words.size()));
}

} // namespace

void BenchValueModel::initTestCase()
{
    QElapsedTimer timer;
    timer.start();
    BenchTools::fillMixedPlan(m_plan, Cards, 20261206, randomText, [](int card) {
        return QStringLiteral("notes of card %1").arg(card);
    });
    qInfo("%-56s %8.1f ms wall", "build the plan card by card (addTaskWithValues)",
          double(timer.nsecsElapsed()) / 1e6);
    QCOMPARE(m_plan.actualPropertyType(FirstText), int(ActualType::Text));
    QCOMPARE(m_plan.actualPropertyType(FirstNumber), int(ActualType::Numeric));
    QCOMPARE(m_plan.actualPropertyType(FirstDate), int(ActualType::Date));
}

void BenchValueModel::report(const char *what, const std::function<void(Document &)> &work,
                             bool warmTypes)
{
    QList<double> wall;
    QList<double> cpu;
    for (int run = 0; run < 7; ++run) {
        Document copy(m_plan);
        if (warmTypes) {
            for (int p = 1; p < copy.propertyCount(); ++p)
                copy.actualPropertyType(p);
        }
        QElapsedTimer timer;
        timer.start();
        const double cpuStart = threadMilliseconds();
        work(copy);
        cpu.append(threadMilliseconds() - cpuStart);
        wall.append(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    // The fastest run shows the cost itself; the median what a busy machine makes of it.
    qInfo("%-56s CPU %6.1f ms fastest, %6.1f ms median; wall %6.1f ms median", what, cpu.first(),
          cpu.at(cpu.size() / 2), wall.at(wall.size() / 2));
}

void BenchValueModel::detectTypeOfEveryProperty()
{
    report("type detection of all 30 properties", [](Document &doc) {
        for (int p = 1; p < doc.propertyCount(); ++p)
            doc.actualPropertyType(p);
    });
}

void BenchValueModel::valuesOfHighCardinalityText()
{
    report("values of a text property, 10,000 distinct", [](Document &doc) {
        QVERIFY(doc.values(FirstText, ValueListOptions().withDefault()).size() >= Cards);
    });
}

void BenchValueModel::numericBins()
{
    report("bins of a numeric property (range included)",
           [](Document &doc) { QVERIFY(!doc.numericBinsOfProperty(FirstNumber).isEmpty()); });
}

void BenchValueModel::dateBins()
{
    report("bins of a date property (range included)",
           [](Document &doc) { QVERIFY(!doc.dateBinsOfProperty(FirstDate).isEmpty()); });
}

void BenchValueModel::filterEveryCard_data()
{
    QTest::addColumn<int>("filter");
    QTest::newRow("text, number and date terms, all") << 0;
    QTest::newRow("any property, no card matches") << 1;
}

void BenchValueModel::filterEveryCard()
{
    QFETCH(int, filter);

    if (filter == 0) {
        m_plan.setFilter(false, true, false,
                         {FilterTerm(FirstText + 1, MatchType::Contains, "o"),
                          FilterTerm(FirstNumber, MatchType::GreaterThan, "250"),
                          FilterTerm(FirstDate, MatchType::LessThan, "1/6/2024")},
                         false, false);
    } else {
        m_plan.setFilter(false, true, true, {FilterTerm(0, MatchType::Contains, "zzz")}, false,
                         false);
    }
    const QByteArray what = QByteArray("filter test of every card: ") + QTest::currentDataTag();
    report(
        what.constData(),
        [](Document &doc) {
            int passing = 0;
            for (int task = 0; task < doc.taskCount(); ++task)
                passing += doc.taskPassesFilter(task) ? 1 : 0;
            QVERIFY(passing <= Cards);
        },
        true);
    m_plan.clearFilter(false);
}

void BenchValueModel::setEveryValueOfOneProperty()
{
    // As a plan-file reader or an import does: no undo, the type asked for in between.
    report("set 10,000 values without undo, type asked each time", [](Document &doc) {
        for (int task = 0; task < doc.taskCount(); ++task) {
            QString text = QString::number(task);
            doc.setValue(task, FirstDate + 1, text, false, nullptr);
            doc.actualPropertyType(FirstDate + 1);
        }
        QCOMPARE(doc.actualPropertyType(FirstDate + 1), int(ActualType::Numeric));
    });
}

void BenchValueModel::deleteThousandCards()
{
    QList<int> doomed;
    for (int task = 0; task < Cards; task += 10)
        doomed.append(task);
    report("delete 1,000 cards spread over the plan",
           [&doomed](Document &doc) { doc.deleteTasks(doomed, false); });
}

void BenchValueModel::deleteOneProperty()
{
    report("delete one property", [](Document &doc) { doc.deleteProperty(FirstText, false); });
}

TAVROLO_GUI_TEST_MAIN(BenchValueModel)
#include "bench_valuemodel.moc"
