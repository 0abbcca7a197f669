#include "charts/ChartsLayouter.h"
#include "common/app/Accessors.h"
#include "common/core/NumberDateText.h"
#include "common/core/TextHelpers.h"
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

// The distinct trimmed values of a property, in value order.
QStringList trimmedValues(const Document &plan, int property)
{
    QStringList trimmed;
    for (const QString &value : plan.values(property)) {
        if (!trimmed.contains(value.trimmed()))
            trimmed.append(value.trimmed());
    }
    return trimmed;
}

// The charts by the plain rule, as the pane has always drawn them: for every chart and every
// bar, every card is visited.
ChartsLayouter::Charts everyCardOnEveryBar(const Document &plan)
{
    ChartsLayouter::Charts result;
    const int show = plan.chartShowProperty();
    const int by = plan.chartByProperty();
    const int per = plan.chartPerProperty();
    const QStringList byValues = trimmedValues(plan, by);
    const QStringList perValues = per > 0 ? trimmedValues(plan, per) : QStringList();
    const int charts = perValues.isEmpty() ? 1 : perValues.size();
    for (int chart = 0; chart < charts; ++chart) {
        ChartData data;
        data.hasTitle = !perValues.isEmpty();
        data.title = perValues.value(chart);
        for (const QString &byValue : byValues) {
            double sum = 0.0;
            for (TaskIndex task = 0; task < plan.taskCount(); ++task) {
                if (plan.chartsFiltering() && !plan.taskPassesFilter(task))
                    continue;
                if (plan.value(task, by).trimmed() != byValue
                    || (data.hasTitle && plan.value(task, per).trimmed() != data.title))
                    continue;
                sum += show == plan.propertyCount()
                    ? 1.0
                    : stringToNumber(plan.value(task, show), plan.valueFormats(), true);
            }
            result.maxValue = std::max(result.maxValue, sum);
            if (sum == 0.0 && plan.chartsHideZeroBars())
                continue;
            ChartValue bar;
            bar.name = elideText(byValue, 15) + QLatin1Char(' ');
            bar.value = sum;
            data.values.append(bar);
        }
        if (!plan.chartsHideEmpty() || !data.values.isEmpty())
            result.charts.append(data);
    }
    return result;
}

int barCount(const ChartsLayouter::Charts &charts)
{
    int bars = 0;
    for (const ChartData &chart : charts.charts)
        bars += chart.values.size();
    return bars;
}

QStringList numbered(const QString &prefix, qint64 count)
{
    QStringList texts;
    for (qint64 i = 0; i < count; ++i)
        texts.append(prefix + QString::number(i));
    return texts;
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
    void ordinaryChartsSumEveryCardOnItsBar_data();
    void ordinaryChartsSumEveryCardOnItsBar();
    void chartsPastTheBoundsAreNotBuilt_data();
    void chartsPastTheBoundsAreNotBuilt();
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

void TestChartsLayouter::ordinaryChartsSumEveryCardOnItsBar_data()
{
    QTest::addColumn<bool>("countCards");
    QTest::addColumn<bool>("perCharts");
    QTest::addColumn<QString>("flags");
    for (const char *flags :
         {"", "hide zero", "hide empty", "hide zero, hide empty", "filter", "filter, hide zero"}) {
        for (const bool countCards : {true, false}) {
            for (const bool perCharts : {false, true}) {
                QTest::addRow("%s%s%s", countCards ? "cards" : "cost", perCharts ? " per Per" : "",
                              *flags ? (", " + QByteArray(flags)).constData() : "")
                    << countCards << perCharts << QString::fromLatin1(flags);
            }
        }
    }
}

// A plan of some hundreds of cards, as users chart them, draws exactly as by the plain rule:
// the same charts, bars, sums and scale, whatever the switches.
void TestChartsLayouter::ordinaryChartsSumEveryCardOnItsBar()
{
    QFETCH(bool, countCards);
    QFETCH(bool, perCharts);
    QFETCH(QString, flags);
    const QStringList byChoices {
        "High", " High", "Medium", "Low ", "", "Blocked", "A rather long value"};
    const QStringList perChoices {"Ann", "Bob", "", "Chidi ", "Dana"};
    const QStringList costChoices {"1.5", "0", "-4", "x", "", "12", "1e3", "-0"};
    QList<QStringList> cards;
    for (int i = 0; i < 300; ++i)
        cards.append({byChoices.at((i * 7) % byChoices.size()),
                      perChoices.at((i * 5 + i / 11) % perChoices.size()),
                      costChoices.at((i * 3 + i / 7) % costChoices.size())});
    fillCharts(cards, {"Unused", "Medium"});
    Document &plan = *doc();
    plan.setChartShowProperty(countCards ? plan.propertyCount() : int(CostColumn), false);
    plan.setChartByProperty(ByColumn, false);
    plan.setChartPerProperty(perCharts ? int(PerColumn) : 0, false);
    plan.setChartsHideZeroBars(flags.contains(QStringLiteral("hide zero")), false);
    plan.setChartsHideEmpty(flags.contains(QStringLiteral("hide empty")), false);
    plan.setFilter(false, false, false,
                   {FilterTerm(PerColumn, MatchType::Is, QStringLiteral("bob"))}, false, false);
    plan.setChartsFiltering(flags.contains(QStringLiteral("filter")), false);

    const ChartsLayouter::Charts built = ChartsLayouter::buildCharts(plan);
    const ChartsLayouter::Charts expected = everyCardOnEveryBar(plan);
    QVERIFY(!built.tooManyToDraw);
    QVERIFY(barCount(built) > 0);
    QCOMPARE(describe(built), describe(expected));
    QCOMPARE(built.maxValue, expected.maxValue);
}

void TestChartsLayouter::chartsPastTheBoundsAreNotBuilt_data()
{
    // By and Per values: predefined ones b0, b1, ... and p0, p1, ..., and the cards' own, a
    // card for every index below cards (b<i>, p<i>) or, for a negative count, the single card
    // (b<-cards>, p<-cards>).
    QTest::addColumn<int>("predefinedBy");
    QTest::addColumn<int>("predefinedPer");
    QTest::addColumn<int>("cards");
    QTest::addColumn<bool>("hide");
    QTest::addColumn<int>("charts"); // -1 for too many to draw
    QTest::addColumn<int>("bars");

    const int atBoundCharts = int(ChartsLayouter::maximumCharts);
    const int atBoundBars = int(ChartsLayouter::maximumBars / ChartsLayouter::maximumCharts);
    QTest::newRow("20,000 x 20,000 predefined values") << 20000 << 20000 << -1 << false << -1 << 0;
    QTest::newRow("20,000 x 20,000 predefined values, zero bars and empty charts hidden")
        << 20000 << 20000 << -1 << true << 1 << 1;
    QTest::newRow("6,000 cards of distinct By and Per") << 0 << 0 << 6000 << false << -1 << 0;
    QTest::newRow("6,000 cards of distinct By and Per, zero bars and empty charts hidden")
        << 0 << 0 << 6000 << true << 6000 << 6000;
    QTest::newRow("the most charts and bars") << atBoundBars << atBoundCharts << 0 << false
                                              << atBoundCharts << atBoundCharts * atBoundBars;
    QTest::newRow("a By value too many")
        << atBoundBars + 1 << atBoundCharts << 0 << false << -1 << 0;
    QTest::newRow("a chart too many") << 1 << atBoundCharts + 1 << 0 << false << -1 << 0;
    // By x Per is past what an int holds; the one bar that counts a card is found all the same.
    QTest::newRow("50,000 x 50,000, the last pair counted")
        << 50000 << 50000 << -49999 << true << 1 << 1;
}

// By x Per values past the bounds build nothing, however few the cards: the pane shows its
// hint instead; with zero bars and empty charts hidden, only the bars that count cards are
// built. Memory goes with the cards and with at most the bounds.
void TestChartsLayouter::chartsPastTheBoundsAreNotBuilt()
{
    QFETCH(int, predefinedBy);
    QFETCH(int, predefinedPer);
    QFETCH(int, cards);
    QFETCH(bool, hide);
    QFETCH(int, charts);
    QFETCH(int, bars);
    Document &plan = *doc();
    plan.clear(false);
    addProperty(plan, QStringLiteral("By"), PropertyType::Text,
                numbered(QStringLiteral("b"), predefinedBy));
    addProperty(plan, QStringLiteral("Per"), PropertyType::Text,
                numbered(QStringLiteral("p"), predefinedPer));
    const auto addCard = [&plan](int i) {
        plan.addTaskWithValues(
            {{ByColumn, QStringLiteral("b%1").arg(i)}, {PerColumn, QStringLiteral("p%1").arg(i)}},
            QString(), {}, -1, false);
    };
    for (int i = 0; i < cards; ++i)
        addCard(i);
    if (cards < 0)
        addCard(-cards);
    plan.setChartShowProperty(plan.propertyCount(), false);
    plan.setChartByProperty(ByColumn, false);
    plan.setChartPerProperty(PerColumn, false);
    plan.setChartsHideZeroBars(hide, false);
    plan.setChartsHideEmpty(hide, false);

    const ChartsLayouter::Charts built = ChartsLayouter::buildCharts(plan);
    QCOMPARE(built.tooManyToDraw, charts < 0);
    QCOMPARE(built.charts.size(), std::max(charts, 0));
    QCOMPARE(barCount(built), bars);
    if (cards < 0 && hide) {
        const QString pair = QString::number(-cards);
        QCOMPARE(describe(built), QStringList({QStringLiteral("*p%1|b%1 =1").arg(pair)}));
        QCOMPARE(built.maxValue, 1.0);
    }
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
