#include "cards/CardsLayouter.h"
#include "harness/TestMain.h"
#include "harness/TestPlanKey.h"
#include "model/PlanFixture.h"

#include <climits>

using namespace PlanFixture;

// The grid's arithmetic without a scene: bins, sizes, places, totals and hit tests.
class TestCardsLayouter : public QObject
{
    Q_OBJECT

private slots:
    void textAxisColumns_data();
    void textAxisColumns();
    void numericCellPresetsGiveTheLowerBound();
    void cellGridSizes_data();
    void cellGridSizes();
    void bigCellLetsSmallCellsLieInOneLine();
    void cardWidthSurvivesMalformedRatios_data();
    void cardWidthSurvivesMalformedRatios();
    void emptyRowsShowOnlyWhenAsked_data();
    void emptyRowsShowOnlyWhenAsked();
    void hitTestsSkipCollapsedColumns();
    void missingColumnsGiveNoHeaderOrRect();
    void totalsAddToEveryKey_data();
    void totalsAddToEveryKey();
    void cellOrderFollowsTheOrderingProperty();
};

namespace {

// A plan of one text property "Name" and one automatic "Value", one card per (name, value).
void namesAndValues(Document &doc, const QList<QStringList> &cards)
{
    doc.clear(false);
    addProperty(doc, QStringLiteral("Name"), PropertyType::Text);
    addProperty(doc, QStringLiteral("Value"));
    for (const QStringList &card : cards)
        doc.addTaskWithValues({{1, card.value(0)}, {2, card.value(1)}}, QString(), {}, -1, false);
}

QList<int> columnsOfCards(const CardsLayouter &layout)
{
    QList<int> columns;
    for (const CardsLayouter::Placement &placement : layout.placements())
        columns.append(placement.cell.first);
    return columns;
}

void hideCardsWhoseNameIs(Document &doc, const QString &name)
{
    FilterTerm term;
    term.propertyIndex = 1;
    term.matchType = MatchType::IsNot;
    term.value = name.toLower();
    doc.setFilter(false, true, false, {term}, false, false);
}

} // namespace

void TestCardsLayouter::textAxisColumns_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("predefined");
    QTest::addColumn<QStringList>("order");
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<QList<int>>("columns");
    QTest::newRow("case makes two values")
        << QStringList {"High", "high"} << QStringList() << QStringList()
        << QStringList {"High", "high"} << QList<int> {0, 1};
    QTest::newRow("no value has a column")
        << QStringList {"A", "", "A"} << QStringList() << QStringList() << QStringList {"A", ""}
        << QList<int> {0, 1, 0};
    QTest::newRow("predefined values first")
        << QStringList {"x", "P2"} << QStringList {"P1", "P2"} << QStringList()
        << QStringList {"P1", "P2", "x"} << QList<int> {2, 1};
    QTest::newRow("stored order first")
        << QStringList {"a", "b", "c"} << QStringList() << QStringList {"c", "a"}
        << QStringList {"c", "a", "b"} << QList<int> {1, 2, 0};
}

void TestCardsLayouter::textAxisColumns()
{
    QFETCH(QStringList, names);
    QFETCH(QStringList, predefined);
    QFETCH(QStringList, order);
    QFETCH(QStringList, labels);
    QFETCH(QList<int>, columns);
    Document doc;
    doc.clear(false);
    addProperty(doc, QStringLiteral("Name"), PropertyType::Text, predefined);
    doc.editablePropertyAppearance(1, TestPlanKey::key()).setTextOrder(order);
    addCards(doc, 1, names);
    doc.setXProperty(1, false);
    CardsLayouter layout;
    layout.layout(doc);
    QCOMPARE(layout.columns().labels, labels);
    QCOMPARE(layout.columns().values, labels);
    QCOMPARE(columnsOfCards(layout), columns);

    // Without an X property the cards share one column of the empty value, while there are any.
    doc.setXProperty(0, false);
    layout.layout(doc);
    QCOMPARE(layout.columns().labels, QStringList {QString()});
    doc.deleteTasks(doc.taskIndexes(), false);
    layout.layout(doc);
    QCOMPARE(layout.columns().count(), 0);
}

void TestCardsLayouter::numericCellPresetsGiveTheLowerBound()
{
    Document doc;
    namesAndValues(doc, {{"a", "0"}, {"b", "15"}, {"c", "2500000"}});
    doc.editablePropertyAppearance(2, TestPlanKey::key()).setBinSize(1000000);
    doc.setXProperty(2, false);
    doc.setYProperty(1, false);
    CardsLayouter layout;
    layout.layout(doc);
    QCOMPARE(layout.columns().values, (QStringList {"0", "1000000", "2000000"}));
    QVERIFY(layout.columns().labels.at(1) != layout.columns().values.at(1));
    const QList<PropertyIndexAndValue> presets = layout.cellPresets(1, 2);
    QCOMPARE(presets, (QList<PropertyIndexAndValue> {{2, "1000000"}, {1, "c"}}));
    QVERIFY(layout.cellPresets(-1, -1).isEmpty());
}

void TestCardsLayouter::cellGridSizes_data()
{
    QTest::addColumn<int>("cards");
    QTest::addColumn<int>("cellLayout");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("rows");
    QTest::newRow("5 wide") << 5 << 0 << 3 << 2;
    QTest::newRow("5 tall") << 5 << 1 << 2 << 3;
    QTest::newRow("16 wide") << 16 << 0 << 4 << 4;
    QTest::newRow("4 in a row") << 4 << 2 << 4 << 1;
    QTest::newRow("4 in a column") << 4 << 3 << 1 << 4;
    QTest::newRow("none") << 0 << 0 << 0 << 0;
}

void TestCardsLayouter::cellGridSizes()
{
    QFETCH(int, cards);
    QFETCH(int, cellLayout);
    QFETCH(int, columns);
    QFETCH(int, rows);
    int gridColumns = -1;
    int gridRows = -1;
    CardsLayouter::cellGridSize(cards, cellLayout, &gridColumns, &gridRows);
    QCOMPARE(gridColumns, columns);
    QCOMPARE(gridRows, rows);
}

void TestCardsLayouter::bigCellLetsSmallCellsLieInOneLine()
{
    // One column; 16 cards in row "r1", 4 in row "r2". The grid rule makes the column 4 wide and
    // r2 two high; refitting lays r2's four cards in one line.
    Document doc;
    QList<QStringList> cards;
    for (int i = 0; i < 20; ++i)
        cards.append(QStringList {"A", i < 16 ? "r1" : "r2"});
    namesAndValues(doc, cards);
    doc.setXProperty(1, false);
    doc.setYProperty(2, false);
    CardsLayouter layout;
    layout.layout(doc);
    QCOMPARE(layout.columns().cards, QVector<int> {4});
    QCOMPARE(layout.rows().cards, (QVector<int> {4, 1}));
    QCOMPARE(layout.columns().spans, QVector<int> {2028});
    QCOMPARE(layout.rows().spans, (QVector<int> {1560, 390}));
    // The last card of r2 is the fourth in its line; the first of r2 starts the row.
    QCOMPARE(layout.placements().at(16).target, QPointF(0, 1560));
    QCOMPARE(layout.placements().at(19).target, QPointF(1521, 1560));
    QCOMPARE(layout.placements().at(5).target, QPointF(507, 390));
}

void TestCardsLayouter::cardWidthSurvivesMalformedRatios_data()
{
    QTest::addColumn<double>("ratio");
    QTest::addColumn<double>("cardWidth");
    QTest::newRow("1.3") << 1.3 << 507.0;
    QTest::newRow("malformed file value 0") << 0.0 << 507.0;
    QTest::newRow("negative") << -2.0 << 507.0;
    QTest::newRow("not a number") << qQNaN() << 507.0;
    QTest::newRow("infinite") << qInf() << 507.0;
    QTest::newRow("small but positive") << 0.05 << 19.5;
    QTest::newRow("absurd") << 1e300 << 3.9e302;
}

void TestCardsLayouter::cardWidthSurvivesMalformedRatios()
{
    QFETCH(double, ratio);
    QFETCH(double, cardWidth);
    Document doc;
    namesAndValues(doc, {{"A", "1"}, {"A", "2"}, {"A", "3"}, {"B", "4"}});
    doc.setCardAspectRatio(ratio, false);
    doc.setCardsCellLayout(2, false);
    doc.setXProperty(1, false);
    QCOMPARE(doc.scaledCardWidth(), cardWidth);
    QCOMPARE(doc.limitedCardWidth(), std::min(cardWidth, 390.0));
    CardsLayouter layout;
    layout.layout(doc);
    const CardsLayouter::Axis &columns = layout.columns();
    QCOMPARE(columns.count(), 2);
    if (cardWidth < 1e6) {
        // Three cards in a row: truncate(3 x 507) = 1521 for the plain ratio.
        QCOMPARE(columns.spans.at(0), int(3 * cardWidth));
        QCOMPARE(columns.total, int(3 * cardWidth) + int(cardWidth));
    } else {
        // Sizes stop at the largest int instead of wrapping round to negative ones.
        QVERIFY(columns.spans.at(0) > 0);
        QVERIFY(columns.spans.at(1) >= 0);
        QCOMPARE(columns.total, INT_MAX);
    }
}

void TestCardsLayouter::emptyRowsShowOnlyWhenAsked_data()
{
    QTest::addColumn<bool>("showEmpty");
    QTest::addColumn<QStringList>("predefined");
    QTest::addColumn<QVector<int>>("rows");
    QTest::newRow("empty bins shown") << true << QStringList() << QVector<int> {1, 1, 1};
    QTest::newRow("empty bins collapse") << false << QStringList() << QVector<int> {1, 0, 1};
    QTest::newRow("predefined value keeps its bin")
        << false << QStringList {"17"} << QVector<int> {1, 1, 1};
    QTest::newRow("two predefined values keep one bin")
        << false << QStringList {"16", "17"} << QVector<int> {1, 1, 1};
}

void TestCardsLayouter::emptyRowsShowOnlyWhenAsked()
{
    QFETCH(bool, showEmpty);
    QFETCH(QStringList, predefined);
    QFETCH(QVector<int>, rows);
    Document doc;
    namesAndValues(doc, {{"a", "5"}, {"b", "25"}});
    doc.editProperty(2, QStringLiteral("Value"), QString(), PropertyType::Numeric, predefined,
                     doc.propertyAppearance(2), false);
    doc.editablePropertyAppearance(2, TestPlanKey::key()).setShowEmpty(showEmpty);
    doc.setYProperty(2, false);
    CardsLayouter layout;
    layout.layout(doc);
    QCOMPARE(layout.rows().cards, rows);

    // A text axis keeps a predefined value's row while its cards are filtered out, unless the
    // filter excludes the value itself.
    doc.editProperty(1, QStringLiteral("Name"), QString(), PropertyType::Text, {"a"},
                     doc.propertyAppearance(1), false);
    doc.setXProperty(1, false);
    hideCardsWhoseNameIs(doc, QStringLiteral("a"));
    layout.layout(doc);
    QCOMPARE(layout.columns().labels, (QStringList {"a", "b"}));
    QCOMPARE(layout.columns().cards, (QVector<int> {0, 1}));
    FilterTerm onValue;
    onValue.propertyIndex = 2;
    onValue.matchType = MatchType::GreaterThan;
    onValue.value = QStringLiteral("10");
    doc.setFilter(false, true, false, {onValue}, false, false);
    layout.layout(doc);
    QCOMPARE(layout.columns().cards, (QVector<int> {1, 1}));
}

void TestCardsLayouter::hitTestsSkipCollapsedColumns()
{
    // Columns "H" (every card filtered out, collapsed), "A" and "B", one row.
    Document doc;
    namesAndValues(doc, {{"H", "1"}, {"A", "1"}, {"B", "1"}});
    doc.setXProperty(1, false);
    doc.setYProperty(2, false);
    hideCardsWhoseNameIs(doc, QStringLiteral("H"));
    CardsLayouter layout;
    layout.layout(doc);
    QCOMPARE(layout.columns().spans, (QVector<int> {0, 507, 507}));
    int column = -2;
    int row = -2;
    QRectF rect;
    QVERIFY(layout.cellAt(QPointF(0, 100), &column, &row, &rect, 0));
    QCOMPARE(column, 1);
    QCOMPARE(rect, QRectF(0, 0, 507, 390));
    // A boundary belongs to the first column in index order that holds it.
    QVERIFY(layout.cellAt(QPointF(507, 100), &column, &row, &rect, 0));
    QCOMPARE(column, 1);
    QVERIFY(!layout.cellAt(QPointF(507, 100), &column, &row, &rect, 7.8));
    bool isColumn = false;
    bool isRow = false;
    int index = -2;
    QVERIFY(layout.headerAt(QPointF(0, -10), &isColumn, &isRow, &index));
    QVERIFY(isColumn && !isRow);
    QCOMPARE(index, 1);
    QVERIFY(layout.headerAt(QPointF(-10, 100), &isColumn, &isRow, &index));
    QVERIFY(!isColumn && isRow);
    QCOMPARE(index, 0);
    QVERIFY(!layout.headerAt(QPointF(-10, -10), &isColumn, &isRow, &index));
    // Header drags: the nearest boundary, clamped outside the grid.
    QVERIFY(layout.columnAt(true, true, &index, 800));
    QCOMPARE(index, 3);
    QVERIFY(layout.columnAt(true, true, &index, 600));
    QCOMPARE(index, 2);
    QVERIFY(layout.columnAt(true, false, &index, -5));
    QCOMPARE(index, 0);
    QVERIFY(layout.columnAt(true, false, &index, 5000));
    QCOMPARE(index, 3);
    QVERIFY(!layout.columnAt(false, false, &index, 5000));
    QCOMPARE(layout.insertBoundary(layout.columns(), 800), 1014.0);
}

void TestCardsLayouter::missingColumnsGiveNoHeaderOrRect()
{
    // A text X property whose values no card uses: no columns at all.
    Document doc;
    namesAndValues(doc, {});
    doc.setXProperty(1, false);
    doc.setYProperty(2, false);
    CardsLayouter layout;
    layout.layout(doc);
    QCOMPARE(layout.columns().count(), 0);
    bool isColumn = true;
    bool isRow = true;
    int index = 5;
    QVERIFY(!layout.headerAt(QPointF(0, -10), &isColumn, &isRow, &index));
    QCOMPARE(index, -1);
    QVERIFY(!isColumn && !isRow);
    QVERIFY(layout.columnRect(0, true).isEmpty());
    QVERIFY(layout.rowRect(3, false).isEmpty());
    QCOMPARE(layout.columnRect(-1, false).width(), 0.0);
    int column = 0;
    QVERIFY(!layout.cellAt(QPointF(0, 0), &column, nullptr, nullptr, 0));
}

void TestCardsLayouter::totalsAddToEveryKey_data()
{
    QTest::addColumn<QString>("total");
    QTest::addColumn<double>("numeric");
    QTest::addColumn<QString>("counts");
    QTest::newRow("numeric") << "Value" << 5.5 << "";
    QTest::newRow("text") << "Name" << 0.0 << "<Empty>:1 a:2";
    QTest::newRow("card count") << "<cards>" << 3.0 << "";
}

void TestCardsLayouter::totalsAddToEveryKey()
{
    QFETCH(QString, total);
    QFETCH(double, numeric);
    QFETCH(QString, counts);
    // Three cards in cell (0, 0) with values 2, empty and 3.5; a fourth card elsewhere is
    // filtered out and counts nowhere.
    Document doc;
    namesAndValues(doc, {{"a", "2"}, {"a", ""}, {"", "3.5"}, {"hidden", "100"}});
    addProperty(doc, QStringLiteral("Cell"));
    for (TaskIndex task = 0; task < 4; ++task) {
        QString text = task < 3 ? QStringLiteral("one") : QStringLiteral("two");
        doc.setValue(task, 3, text, false);
    }
    doc.setXProperty(3, false);
    doc.setYProperty(3, false);
    hideCardsWhoseNameIs(doc, QStringLiteral("hidden"));
    doc.setTotalProperty(total == "<cards>" ? doc.propertyCount() : doc.propertyIndex(total),
                         false);
    CardsLayouter layout;
    layout.layout(doc);
    const QList<CardsLayouter::Cell> keys {{0, 0}, {-1, 0}, {0, -1}, {-1, -1}};
    for (const CardsLayouter::Cell &key : keys) {
        QCOMPARE(layout.numericTotal(key.first, key.second), numeric);
        QStringList words;
        const CardsLayouter::TextTotals texts = layout.textTotals(key.first, key.second);
        for (auto it = texts.constBegin(); it != texts.constEnd(); ++it)
            words.append(QStringLiteral("%1:%2")
                             .arg(it.key().isEmpty() ? QStringLiteral("<Empty>") : it.key())
                             .arg(it.value()));
        QCOMPARE(words.join(' '), counts);
    }
    QCOMPARE(layout.numericTotal(1, 1), 0.0);
    QVERIFY(layout.textTotals(1, 1).isEmpty());
}

void TestCardsLayouter::cellOrderFollowsTheOrderingProperty()
{
    Document doc;
    namesAndValues(doc, {{"c", "30"}, {"a", "10"}, {"b", "20"}, {"d", "10"}});
    doc.setCellOrderingProperty(2, false);
    CardsLayouter layout;
    layout.layout(doc);
    // Equal keys keep card order; the cell map itself stays in card order.
    QCOMPARE(layout.orderedCell(0, 0), (QList<TaskIndex> {1, 3, 2, 0}));
    QCOMPARE(layout.cells().value({0, 0}), (QList<TaskIndex> {0, 1, 2, 3}));
    QCOMPARE(layout.placements().at(1).target, QPointF(0, 0));
    QCOMPARE(layout.placements().at(0).target, QPointF(507, 390));
}

TAVROLO_TEST_MAIN(TestCardsLayouter)
#include "tst_cardslayouter.moc"
