#include "charts/ChartsLayouter.h"
#include "common/app/Accessors.h"
#include "harness/TestMain.h"
#include "model/Document.h"
#include "model/PlanFixture.h"

using namespace PlanFixture;

namespace {

enum Props { ByColumn = 1, PerColumn = 2, CostColumn = 3 };

// By and Per (text), Cost (numeric); one card per (by, per, cost).
void fillCharts(const QList<QStringList> &cards, const QStringList &predefinedBy = {})
{
    Document &plan = *doc();
    plan.clear(false);
    addProperty(plan, QStringLiteral("By"), PropertyType::Text, predefinedBy);
    addProperty(plan, QStringLiteral("Per"), PropertyType::Text);
    addProperty(plan, QStringLiteral("Cost"), PropertyType::Numeric);
    for (const QStringList &card : cards)
        plan.addTaskWithValues(
            {{ByColumn, card.value(0)}, {PerColumn, card.value(1)}, {CostColumn, card.value(2)}},
            QString(), {}, -1, false);
}

// Each chart as "title|bar=sum;bar=sum", the title marked "*" when it has a title band.
QStringList describe(const ChartsLayouter::Charts &charts)
{
    QStringList lines;
    for (const ChartData &chart : charts.charts) {
        QStringList bars;
        for (const ChartValue &bar : chart.values)
            bars.append(QStringLiteral("%1=%2").arg(bar.name).arg(bar.value));
        lines.append(QStringLiteral("%1%2|%3").arg(chart.hasTitle ? QStringLiteral("*") : QString(),
                                                   chart.title, bars.join(QLatin1Char(';'))));
    }
    return lines;
}

} // namespace

// The widget-free arithmetic of the Charts pane: the bar sums of one pass over the cards, the
// grid, the legend's size and one chart's geometry.
class TestChartsLayouter : public QObject
{
    Q_OBJECT
private slots:
    void everyCountedCardLandsInOneBar_data();
    void everyCountedCardLandsInOneBar();
    void cardsCountIsThePropertyCountAtEveryBuild();
    void rolesPastTheLastPropertyChartNothing();
    void gridFitsTheViewShape_data();
    void gridFitsTheViewShape();
    void legendGrowsByRowsAndVanishesWithoutCards_data();
    void legendGrowsByRowsAndVanishesWithoutCards();
    void chartReservesItsBands();
    void textsShrinkTogetherAndVanishBelowOnePixel();
};

void TestChartsLayouter::everyCountedCardLandsInOneBar_data()
{
    QTest::addColumn<QList<QStringList>>("cards");
    QTest::addColumn<QStringList>("predefinedBy");
    QTest::addColumn<int>("show");
    QTest::addColumn<int>("per");
    QTest::addColumn<QString>("flags");
    QTest::addColumn<QStringList>("charts");
    QTest::addColumn<double>("maxValue");

    const int cards = -1;
    QTest::newRow("blanks around a value share its bar")
        << QList<QStringList>({{" High"}, {"High"}, {"Low "}}) << QStringList() << cards << 0 << ""
        << QStringList({"|High =2;Low =1"}) << 2.0;
    QTest::newRow("numbers summed, text adds 0, negatives stay")
        << QList<QStringList>({{"a", "", "1.5"}, {"a", "", "x"}, {"b", "", "-4"}}) << QStringList()
        << int(CostColumn) << 0 << "hide zero" << QStringList({"|a =1.5;b =-4"}) << 1.5;
    QTest::newRow("a chart per trimmed Per value, the empty one titled")
        << QList<QStringList>({{"a", " Done"}, {"a", "Done"}, {"b", ""}}) << QStringList() << cards
        << int(PerColumn) << "" << QStringList({"*Done|a =2;b =0", "*|a =0;b =1"}) << 2.0;
    QTest::newRow("an unused predefined value gives 0, hidden only on request")
        << QList<QStringList>({{"a"}}) << QStringList({"z"}) << cards << 0 << ""
        << QStringList({"|z =0;a =1"}) << 1.0;
    QTest::newRow("hidden zero bars and empty charts")
        << QList<QStringList>({{"a", "p", "0"}, {"b", "q", "2"}}) << QStringList()
        << int(CostColumn) << int(PerColumn) << "hide zero, hide empty" << QStringList({"*q|b =2"})
        << 2.0;
    QTest::newRow("scale stays 0 when no sum is positive")
        << QList<QStringList>({{"a", "", "-1"}, {"b", "", "0"}}) << QStringList() << int(CostColumn)
        << 0 << "" << QStringList({"|a =-1;b =0"}) << 0.0;
    QTest::newRow("names cut to 15 characters end in a space")
        << QList<QStringList>({{"A rather long value"}}) << QStringList() << cards << 0 << ""
        << QStringList({QStringLiteral("|A rather long \u2026 =1")}) << 1.0;
    QTest::newRow("filtering leaves out what the Cards filter hides")
        << QList<QStringList>({{"a", "hide"}, {"a", "keep"}, {"b", "keep"}}) << QStringList()
        << cards << 0 << "filter" << QStringList({"|a =1;b =1"}) << 1.0;
}

void TestChartsLayouter::everyCountedCardLandsInOneBar()
{
    QFETCH(QList<QStringList>, cards);
    QFETCH(QStringList, predefinedBy);
    QFETCH(int, show);
    QFETCH(int, per);
    QFETCH(QString, flags);
    QFETCH(QStringList, charts);
    QFETCH(double, maxValue);
    fillCharts(cards, predefinedBy);
    Document &plan = *doc();
    plan.setChartShowProperty(show < 0 ? plan.propertyCount() : show, false);
    plan.setChartByProperty(ByColumn, false);
    plan.setChartPerProperty(per, false);
    plan.setChartsHideZeroBars(flags.contains(QStringLiteral("hide zero")), false);
    plan.setChartsHideEmpty(flags.contains(QStringLiteral("hide empty")), false);
    plan.setFilter(false, false, false,
                   {FilterTerm(PerColumn, MatchType::Is, QStringLiteral("hide"))}, false, false);
    plan.setChartsFiltering(flags.contains(QStringLiteral("filter")), false);
    const ChartsLayouter::Charts built = ChartsLayouter::buildCharts(plan);
    QCOMPARE(describe(built), charts);
    QCOMPARE(built.maxValue, maxValue);
}

void TestChartsLayouter::cardsCountIsThePropertyCountAtEveryBuild()
{
    fillCharts({{"a", "", "5"}, {"a", "", "7"}});
    Document &plan = *doc();
    plan.setChartShowProperty(plan.propertyCount(), false);
    plan.setChartByProperty(ByColumn, false);
    QCOMPARE(describe(ChartsLayouter::buildCharts(plan)), QStringList({"|a =2"}));
    // A numeric property added after "<cards>" was chosen takes the old count's index.
    addProperty(plan, QStringLiteral("Hours"), PropertyType::Numeric);
    QCOMPARE(plan.chartShowProperty(), plan.propertyCount());
    const ChartsLayouter::Charts built = ChartsLayouter::buildCharts(plan);
    QCOMPARE(describe(built), QStringList({"|a =2"}));
    QCOMPARE(built.charts.first().showName, QStringLiteral("<cards>"));
}

void TestChartsLayouter::rolesPastTheLastPropertyChartNothing()
{
    fillCharts({{"a", "p", "1"}});
    Document &plan = *doc();
    plan.setChartShowProperty(CostColumn, false);
    // As a damaged file may hold them: By and Per past the last property read as none.
    plan.setChartByProperty(plan.propertyCount(), false);
    plan.setChartPerProperty(99, false);
    QVERIFY(!ChartsLayouter::canChart(plan));
    QVERIFY(ChartsLayouter::buildCharts(plan).charts.isEmpty());
    plan.setChartByProperty(ByColumn, false);
    QCOMPARE(describe(ChartsLayouter::buildCharts(plan)), QStringList({"|a =1"}));
    plan.setChartShowProperty(plan.propertyCount() + 1, false);
    QVERIFY(ChartsLayouter::buildCharts(plan).charts.isEmpty());
}

void TestChartsLayouter::gridFitsTheViewShape_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<double>("aspect");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("rows");
    QTest::newRow("one chart") << 1 << 3.0 << 1 << 1;
    QTest::newRow("7 square") << 7 << 1.0 << 3 << 3;
    QTest::newRow("3 at 2:1") << 3 << 2.0 << 2 << 2;
    QTest::newRow("4 at 4:1") << 4 << 4.0 << 4 << 1;
    QTest::newRow("5 at 4:1, no empty column") << 5 << 4.0 << 3 << 2;
    QTest::newRow("2 in a very wide view") << 2 << 100.0 << 2 << 1;
    QTest::newRow("3 in a very tall view") << 3 << 0.01 << 1 << 3;
}

void TestChartsLayouter::gridFitsTheViewShape()
{
    QFETCH(int, n);
    QFETCH(double, aspect);
    QFETCH(int, columns);
    QFETCH(int, rows);
    QCOMPARE(ChartsLayouter::gridColumns(n, aspect), columns);
    QCOMPARE((n + columns - 1) / columns, rows);
    // Row by row, without gaps.
    QCOMPARE(ChartsLayouter::gridPosition(n - 1, columns),
             QPointF(((n - 1) % columns) * 2000.0, (rows - 1) * 2000.0));
    QCOMPARE(ChartsLayouter::viewAspect(QSize(0, 300)), 1.0);
}

void TestChartsLayouter::legendGrowsByRowsAndVanishesWithoutCards_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("hasCards");
    QTest::addColumn<QRectF>("rect");
    QTest::newRow("no rows") << 0 << true << QRectF(0, 0, 292 + 40, 130);
    QTest::newRow("one row") << 1 << true << QRectF(0, 0, 292 + 40, 260);
    QTest::newRow("five rows") << 5 << true << QRectF(0, 0, 292 + 40, 162 * 5 + 98);
    QTest::newRow("no cards") << 5 << false << QRectF();
}

void TestChartsLayouter::legendGrowsByRowsAndVanishesWithoutCards()
{
    QFETCH(int, rows);
    QFETCH(bool, hasCards);
    QFETCH(QRectF, rect);
    QCOMPARE(ChartsLayouter::legendRect(rows, 40, hasCards), rect);
}

void TestChartsLayouter::chartReservesItsBands()
{
    const QRectF item(0, 0, 2000, 2000);
    const ChartsLayouter::ChartGeometry all
        = ChartsLayouter::chartGeometry(item, true, true, true, true);
    QCOMPARE(all.frame, QRectF(50, 50, 1900, 1900));
    QCOMPARE(all.plot, QRectF(185, 265, 1765, 1220));
    QCOMPARE(all.barRect(1, 5, 2, 4), QRectF(185 + 353, 265 + 610, 353, 610));
    // A negative bar hangs below the baseline; without a positive sum every bar is flat.
    QCOMPARE(all.barRect(0, 5, -8, 4), QRectF(185, 1485, 353, 2440));
    QCOMPARE(all.barRect(0, 5, 3, 0).height(), 0.0);
    QCOMPARE(all.valueTextRect(1, 5, 2, 4), QRectF(185 + 353, 265 + 610 - 65, 353, 65));

    // Without the axes text the plot starts at the frame and gains 135 units of height.
    const ChartsLayouter::ChartGeometry bare
        = ChartsLayouter::chartGeometry(item, true, false, true, true);
    QCOMPARE(bare.plot, QRectF(50, 265, 1900, 1355));
}

void TestChartsLayouter::textsShrinkTogetherAndVanishBelowOnePixel()
{
    // The widest text sets one scale for all; texts that fit change nothing.
    QCOMPARE(ChartsLayouter::fitScale({100, 300, 600}, 300, 0.8), 0.4);
    QCOMPARE(ChartsLayouter::fitScale({100, 300}, 300, 1.0), 1.0);
    QCOMPARE(ChartsLayouter::scaledPixels(0.5, 52), 26);
    // Some 1,400 bars and more: no text at all rather than a size Qt refuses.
    QCOMPARE(ChartsLayouter::byTextBasePixels(1765.0 / 1400), 1);
    QCOMPARE(ChartsLayouter::byTextBasePixels(1765.0 / 2000), 0);
    QCOMPARE(ChartsLayouter::scaledPixels(0.01, 52), 0);
}

TAVROLO_TEST_MAIN(TestChartsLayouter)
#include "tst_chartslayouter.moc"
