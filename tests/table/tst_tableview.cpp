#include "app/Application.h"
#include "common/Accessors.h"
#include "common/Colors.h"
#include "harness/DocumentRecorder.h"
#include "harness/TestMain.h"
#include "model/Document.h"
#include "table/SmartSortTableWidgetItem.h"
#include "table/TableView.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QStyledItemDelegate>

namespace {

struct PropertySpec
{
    QString name;
    int type;
};

// A plan of the properties and of one card per row of values (property 1 first).
void makePlan(const QList<PropertySpec> &properties, const QList<QStringList> &cards,
              const QStringList &notes = {})
{
    doc()->clear(false);
    for (const PropertySpec &property : properties)
        doc()->addProperty(property.name, QString(), property.type, {}, PropertyVisibility::Text,
                           PropertyAppearance(), false);
    for (int t = 0; t < cards.size(); ++t) {
        QList<PropertyIndexAndValue> values;
        for (int p = 0; p < cards.at(t).size(); ++p)
            values.append({p + 1, cards.at(t).at(p)});
        doc()->addTaskWithValues(values, notes.value(t), {}, -1, false);
    }
}

// Six cards: a name, a colour word, a number, a date.
void makeSixCards()
{
    makePlan(
        {{"Name", PropertyType::Text},
         {"Colour", PropertyType::Text},
         {"Size", PropertyType::Automatic},
         {"Due", PropertyType::Date}},
        {{"a", "red", "10", "1/2/2024"},
         {"b", "green", "9", "15/1/2024"},
         {"c", "blue", "", "3/12/2023"},
         {"d", "dark red", "100", "7/7/2024"},
         {"e", "yellow", "2", "1/1/2025"},
         {"f", "light blue", "33", "2/2/2022"}},
        {QString(), QStringLiteral("Notes with Blue"), QString(), QString(), QString(), QString()});
}

Events allChanged()
{
    Events events;
    events.add(EventType::AllChanged);
    return events;
}

// The table as the main window has it: connected to the plan, rebuilt, shown.
struct ShownTable
{
    ShownTable()
    {
        QObject::connect(doc(), &Document::changed, &table, &TableView::onChangedDoc);
        table.resize(900, 400);
        table.show();
        exposed = QTest::qWaitForWindowExposed(&table);
        doc()->emitChanged(EventType::AllChanged);
    }
    TableView table;
    bool exposed = false;
};

QStringList columnTexts(const TableView &table, int column)
{
    QStringList texts;
    for (int row = 0; row < table.rowCount(); ++row)
        texts.append(table.item(row, column) ? table.item(row, column)->text() : "<none>");
    return texts;
}

// Every row shows its card's values, and column 0 the card.
void verifyRowsMatchPlan(const TableView &table)
{
    QCOMPARE(table.rowCount(), doc()->taskCount());
    QList<TaskIndex> seen;
    for (int row = 0; row < table.rowCount(); ++row) {
        const TaskIndex task = table.taskIndex(row);
        seen.append(task);
        for (int p = 1; p < doc()->propertyCount(); ++p)
            QCOMPARE(table.item(row, p)->text(), doc()->value(task, p));
        QCOMPARE(table.item(row, table.notesColumn())->text(), doc()->taskNotes(task));
    }
    std::sort(seen.begin(), seen.end());
    QCOMPARE(seen, doc()->taskIndexes());
}

void clickHeader(TableView &table, int column)
{
    QHeaderView *header = table.horizontalHeader();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                    header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

// What the main window's Undo does: the plan copy from before the last step, then event 0.
void undo(DocumentRecorder &recorder)
{
    *doc() = *recorder.snapshots.back();
    doc()->emitChanged(EventType::AllChanged);
}

QColor background(const TableView &table, int row, int column)
{
    return table.item(row, column)->background().color();
}

} // namespace

class TestTableView : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void headerClickSortsSmartly_data();
    void headerClickSortsSmartly();
    void userSortSurvivesEditUndoAndRebuild();
    void firstRebuildShowsCardOrder();
    void deletingCardsRenumbersTheRest_data();
    void deletingCardsRenumbersTheRest();
    void editingACellStoresOneStep_data();
    void editingACellStoresOneStep();
    void tabOnLastCellAddsCardAndFollowsIt_data();
    void tabOnLastCellAddsCardAndFollowsIt();
    void controlTabAddsNothing();
    void filterShowsOrHidesMatchingRows_data();
    void filterShowsOrHidesMatchingRows();
    void hiddenRowLosesItsSelection();
    void wholeRowColouringByNumberFollowsEveryValue();
    void colouringByEveryPropertyAndDarkText();
    void damagedColourSettingLeavesCellsUncoloured();
    void cardWithoutRowChangesNoOtherRow();
    void cardAddedOutOfStepRebuilds();
    void sizesMatchFittingEveryCell();
};

void TestTableView::init()
{
    doc()->clear(false);
    doc()->setValueFormats(ValueFormats());
    app()->setUiStyle(0);
}

void TestTableView::cleanup()
{
    app()->setUiStyle(0);
}

void TestTableView::headerClickSortsSmartly_data()
{
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QStringList>("ascending");
    QTest::newRow("numbers by value, the empty text as text")
        << QStringList {"10", "9", ""} << QStringList {"", "9", "10"};
    QTest::newRow("currency and decimals")
        << QStringList {"$12.5", "3", "100", "-1"} << QStringList {"-1", "3", "$12.5", "100"};
    QTest::newRow("dates chronologically")
        << QStringList {"1/2/2024", "15/1/2024", "3/12/2023", "2/2/2022"}
        << QStringList {"2/2/2022", "3/12/2023", "15/1/2024", "1/2/2024"};
    QTest::newRow("a date and a word as text")
        << QStringList {"soon", "1/2/2024", "Later"} << QStringList {"1/2/2024", "Later", "soon"};
    QTest::newRow("texts by character codes")
        << QStringList {"b", "B", "a", "A"} << QStringList {"A", "B", "a", "b"};
}

void TestTableView::headerClickSortsSmartly()
{
    QFETCH(QStringList, values);
    QFETCH(QStringList, ascending);
    QList<QStringList> cards;
    for (const QString &value : values)
        cards.append({value});
    makePlan({{"Value", PropertyType::Automatic}}, cards);
    ShownTable shown;
    TableView &table = shown.table;

    clickHeader(table, 1);
    QCOMPARE(columnTexts(table, 1), ascending);
    QCOMPARE(table.sortColumn(), 1);
    clickHeader(table, 1);
    QStringList descending = ascending;
    std::reverse(descending.begin(), descending.end());
    QCOMPARE(columnTexts(table, 1), descending);
    QCOMPARE(table.sortOrder(), Qt::DescendingOrder);
}

void TestTableView::userSortSurvivesEditUndoAndRebuild()
{
    makeSixCards();
    DocumentRecorder recorder(*doc());
    ShownTable shown;
    TableView &table = shown.table;
    clickHeader(table, 3);
    clickHeader(table, 3);
    const QStringList sizesDown {"100", "33", "10", "9", "2", ""};
    QCOMPARE(columnTexts(table, 3), sizesDown);

    // A typed value moves its row to its place.
    const int row = table.rowOfTask(4);
    table.item(row, 3)->setText(QStringLiteral("50"));
    QCOMPARE(recorder.undoTexts.last(), QStringLiteral("Update Value"));
    QCOMPARE(columnTexts(table, 3), (QStringList {"100", "50", "33", "10", "9", ""}));
    verifyRowsMatchPlan(table);

    undo(recorder);
    QCOMPARE(columnTexts(table, 3), sizesDown);
    QCOMPARE(table.horizontalHeader()->sortIndicatorSection(), 3);
    QCOMPARE(table.horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
    verifyRowsMatchPlan(table);

    // A value of another column changes no order.
    table.item(table.rowOfTask(0), 2)->setText(QStringLiteral("violet"));
    QCOMPARE(columnTexts(table, 3), sizesDown);
    verifyRowsMatchPlan(table);
}

void TestTableView::firstRebuildShowsCardOrder()
{
    makeSixCards();
    ShownTable shown;
    TableView &table = shown.table;
    QCOMPARE(columnTexts(table, 0), (QStringList {"0", "1", "2", "3", "4", "5"}));
    QCOMPARE(table.horizontalHeader()->sortIndicatorSection(), 0);
    QCOMPARE(table.horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
    QVERIFY(table.isColumnHidden(0));
    QCOMPARE(table.horizontalHeaderItem(table.notesColumn())->text(), QStringLiteral("Notes"));
    // A new card goes below the others, as card order has it.
    doc()->addTask(true);
    QCOMPARE(columnTexts(table, 0), (QStringList {"0", "1", "2", "3", "4", "5", "6"}));
}

void TestTableView::deletingCardsRenumbersTheRest_data()
{
    QTest::addColumn<QList<TaskIndex>>("deleted");
    QTest::addColumn<int>("sortColumn");
    QTest::newRow("card 3 of six, card order") << QList<TaskIndex> {3} << 0;
    QTest::newRow("three cards, card order") << QList<TaskIndex> {1, 3, 4} << 0;
    QTest::newRow("three cards, sorted by size") << QList<TaskIndex> {0, 2, 5} << 3;
    QTest::newRow("every card") << QList<TaskIndex> {0, 1, 2, 3, 4, 5} << 2;
}

void TestTableView::deletingCardsRenumbersTheRest()
{
    QFETCH(QList<TaskIndex>, deleted);
    QFETCH(int, sortColumn);
    makeSixCards();
    ShownTable shown;
    TableView &table = shown.table;
    if (sortColumn != 0)
        clickHeader(table, sortColumn);
    const QStringList sortedBefore = columnTexts(table, sortColumn);

    doc()->deleteTasks(deleted, true);
    verifyRowsMatchPlan(table);
    QStringList expected = sortedBefore;
    if (sortColumn == 0) {
        expected.clear();
        for (TaskIndex t = 0; t < doc()->taskCount(); ++t)
            expected.append(QString::number(t));
    } else {
        for (int row = sortedBefore.size() - 1; row >= 0; --row) {
            if (!columnTexts(table, sortColumn).contains(sortedBefore.at(row)))
                expected.removeAt(row);
        }
    }
    QCOMPARE(columnTexts(table, sortColumn), expected);
}

void TestTableView::editingACellStoresOneStep_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("undoText");
    QTest::addColumn<QString>("shown");
    QTest::newRow("value") << 2 << "purple"
                           << "Update Value"
                           << "purple";
    QTest::newRow("date normalised") << 4 << "today"
                                     << "Update Value" << QDate::currentDate().toString("d/M/yyyy");
    QTest::newRow("notes") << 5 << "Call them\nback"
                           << "Set Card Notes"
                           << "Call them\nback";
}

void TestTableView::editingACellStoresOneStep()
{
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, undoText);
    QFETCH(QString, shown);
    makeSixCards();
    ShownTable table;
    DocumentRecorder recorder(*doc());
    const int row = table.table.rowOfTask(2);

    table.table.item(row, column)->setText(typed);
    QCOMPARE(recorder.undoTexts, QStringList {undoText});
    QCOMPARE(table.table.item(table.table.rowOfTask(2), column)->text(), shown);
    verifyRowsMatchPlan(table.table);
    // The hidden index column is no place to type.
    QVERIFY(!(table.table.item(row, 0)->flags() & Qt::ItemIsEditable));
}

void TestTableView::tabOnLastCellAddsCardAndFollowsIt_data()
{
    QTest::addColumn<bool>("sortedDown");
    QTest::addColumn<bool>("withEditor");
    QTest::newRow("card order") << false << false;
    QTest::newRow("sorted descending") << true << false;
    QTest::newRow("sorted descending, typing in the last cell") << true << true;
}

void TestTableView::tabOnLastCellAddsCardAndFollowsIt()
{
    QFETCH(bool, sortedDown);
    QFETCH(bool, withEditor);
    makeSixCards();
    doc()->setPropertyDefaultValue(3, QStringLiteral("5"), false);
    ShownTable shown;
    TableView &table = shown.table;
    if (sortedDown) {
        clickHeader(table, 3);
        clickHeader(table, 3);
    }
    DocumentRecorder recorder(*doc());
    table.setFocus();
    const int lastRow = table.rowCount() - 1;
    const TaskIndex lastCard = table.taskIndex(lastRow);
    table.setCurrentCell(lastRow, table.notesColumn());
    if (withEditor) {
        table.editItem(table.item(lastRow, table.notesColumn()));
        auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(editor);
        editor->setText(QStringLiteral("typed note"));
        QTest::keyClick(editor, Qt::Key_Tab);
        QCOMPARE(recorder.undoTexts,
                 (QStringList {QStringLiteral("Set Card Notes"), QStringLiteral("Add Card")}));
        QCOMPARE(doc()->taskNotes(lastCard), QStringLiteral("typed note"));
    } else {
        QTest::keyClick(&table, Qt::Key_Tab);
        QCOMPARE(recorder.undoTexts, QStringList {QStringLiteral("Add Card")});
    }
    QCOMPARE(doc()->taskCount(), 7);
    QCOMPARE(table.rowCount(), 7);
    // The next typing goes to the new card, wherever the sort put it.
    QCOMPARE(table.currentRow(), table.rowOfTask(6));
    QCOMPARE(table.currentColumn(), 1);
    if (sortedDown)
        QCOMPARE(columnTexts(table, 3), (QStringList {"100", "33", "10", "9", "5", "2", ""}));
    verifyRowsMatchPlan(table);
}

void TestTableView::controlTabAddsNothing()
{
    makeSixCards();
    ShownTable shown;
    TableView &table = shown.table;
    DocumentRecorder recorder(*doc());
    table.setFocus();
    table.setCurrentCell(table.rowCount() - 1, table.notesColumn());
    QTest::keyClick(&table, Qt::Key_Tab, Qt::ControlModifier);
    QVERIFY(recorder.isSilent());
    QCOMPARE(table.rowCount(), 6);
}

void TestTableView::filterShowsOrHidesMatchingRows_data()
{
    QTest::addColumn<bool>("showMatching");
    QTest::addColumn<QStringList>("terms");
    QTest::addColumn<QList<TaskIndex>>("visible");
    QTest::newRow("no terms, show") << true << QStringList() << QList<TaskIndex> {0, 1, 2, 3, 4, 5};
    QTest::newRow("no terms, hide")
        << false << QStringList() << QList<TaskIndex> {0, 1, 2, 3, 4, 5};
    QTest::newRow("either term, notes too")
        << true << QStringList {"red", "BLUE"} << QList<TaskIndex> {0, 1, 2, 3, 5};
    QTest::newRow("hide either term")
        << false << QStringList {"red", "BLUE"} << QList<TaskIndex> {4};
    // Card indexes are in the hidden column, which is not searched.
    QTest::newRow("index column not searched")
        << true << QStringList {"3"} << QList<TaskIndex> {2, 5};
}

void TestTableView::filterShowsOrHidesMatchingRows()
{
    QFETCH(bool, showMatching);
    QFETCH(QStringList, terms);
    QFETCH(QList<TaskIndex>, visible);
    makeSixCards();
    ShownTable shown;
    shown.table.setSearch(showMatching, terms);
    QCOMPARE(shown.table.visibleTasks(), visible);
    // The filter stays through a change and a rebuild.
    doc()->emitChanged(EventType::AllChanged);
    QCOMPARE(shown.table.visibleTasks(), visible);
}

void TestTableView::hiddenRowLosesItsSelection()
{
    makeSixCards();
    ShownTable shown;
    TableView &table = shown.table;
    table.selectTasks({0, 4});
    QCOMPARE(table.selectedTasks(), (QList<TaskIndex> {0, 4}));
    table.setSearch(true, {QStringLiteral("red")});
    QCOMPARE(table.selectedTasks(), QList<TaskIndex> {0});
    // Selecting a hidden card selects nothing.
    table.selectTasks({4});
    QVERIFY(table.selectedTasks().isEmpty());
    table.setSearch(true, {});
    QCOMPARE(table.visibleTasks().size(), 6);
}

void TestTableView::wholeRowColouringByNumberFollowsEveryValue()
{
    makeSixCards();
    doc()->setTableColor(3 + 1, false);
    ShownTable shown;
    TableView &table = shown.table;
    const auto verifyRowColours = [&] {
        for (int row = 0; row < table.rowCount(); ++row) {
            const QColor expected = doc()->valueColor(table.taskIndex(row), 3);
            for (int column = 1; column < table.columnCount(); ++column) {
                QCOMPARE(background(table, row, column), expected);
                QCOMPARE(table.item(row, column)->foreground().color(),
                         contrastingTextColor(expected, false));
            }
        }
    };
    verifyRowColours();
    // The cells are painted in their row's colour.
    const QImage image = table.viewport()->grab().toImage();
    for (int row = 0; row < table.rowCount(); ++row) {
        const QRect cell = table.visualItemRect(table.item(row, 1));
        const QPoint clear(cell.right() - 4, cell.center().y());
        QCOMPARE(image.pixelColor(clear).rgb(), background(table, row, 1).rgb());
    }
    // A new largest number moves every other card's place on the colour scale.
    const QColor before = background(table, table.rowOfTask(1), 1);
    table.item(table.rowOfTask(4), 3)->setText(QStringLiteral("1000"));
    QVERIFY(background(table, table.rowOfTask(1), 1) != before);
    verifyRowColours();
}

void TestTableView::colouringByEveryPropertyAndDarkText()
{
    makeSixCards();
    ShownTable shown;
    TableView &table = shown.table;
    // Off: cells carry no colours of their own.
    QVERIFY(!table.item(0, 2)->data(Qt::BackgroundRole).isValid());

    doc()->setTableColor(1, true);
    for (int column = 1; column < table.notesColumn(); ++column)
        QCOMPARE(background(table, 0, column), doc()->valueColor(table.taskIndex(0), column));
    QCOMPARE(table.item(0, table.notesColumn())->background().style(), Qt::NoBrush);

    app()->setUiStyle(1);
    doc()->emitChanged(EventType::UiStyleChanged);
    QCOMPARE(table.item(0, table.notesColumn())->foreground().color(), QColor("#C0C0C0"));
    doc()->setTableColor(0, true);
    QCOMPARE(table.item(0, 2)->foreground().color(), QColor("#C0C0C0"));
    QCOMPARE(table.item(0, 2)->background().style(), Qt::NoBrush);
}

void TestTableView::damagedColourSettingLeavesCellsUncoloured()
{
    makeSixCards();
    // As read from a damaged file: past the last entry of the colouring list.
    doc()->tableAppearanceRef().cellColor = doc()->propertyCount() + 3;
    ShownTable shown;
    TableView &table = shown.table;
    QCOMPARE(TableView::tableColorSetting(), 0);
    for (int column = 1; column < table.columnCount(); ++column)
        QVERIFY(!table.item(0, column)->data(Qt::BackgroundRole).isValid());
    doc()->tableAppearanceRef().cellColor = -4;
    doc()->emitChanged(EventType::TableAppearanceChanged);
    QVERIFY(!table.item(1, 1)->data(Qt::BackgroundRole).isValid());
}

void TestTableView::cardWithoutRowChangesNoOtherRow()
{
    makeSixCards();
    ShownTable shown;
    TableView &table = shown.table;
    QCOMPARE(table.rowOfTask(6), -1);
    QCOMPARE(table.rowOfTask(-1), -1);
    const QStringList firstRow {table.item(0, 1)->text(), table.item(0, 2)->text()};

    // A change reported for a card the table has no row for.
    Events events;
    events.add(EventType::ValueChanged, 17, 1);
    events.add(EventType::TaskNotesChanged, 17);
    table.onChangedDoc(events);
    QCOMPARE((QStringList {table.item(0, 1)->text(), table.item(0, 2)->text()}), firstRow);
    verifyRowsMatchPlan(table);

    // The next edit of row 0 still changes the card row 0 shows.
    table.item(0, 2)->setText(QStringLiteral("grey"));
    QCOMPARE(doc()->value(table.taskIndex(0), 2), QStringLiteral("grey"));
}

void TestTableView::cardAddedOutOfStepRebuilds()
{
    makeSixCards();
    TableView table;
    table.onChangedDoc(allChanged());
    // Two cards are added, but only the second one is reported.
    doc()->addTask(false);
    doc()->addTask(false);
    Events events;
    events.add(EventType::TaskAdded, 7);
    table.onChangedDoc(events);
    verifyRowsMatchPlan(table);
}

void TestTableView::sizesMatchFittingEveryCell()
{
    // One-line texts of many widths, some wider than the widest column, line breaks, empty
    // and missing values, other characters, and long notes.
    QList<QStringList> cards;
    for (int t = 0; t < 40; ++t) {
        QString title = QStringLiteral("Task %1 ").arg(t) + QString(t % 7, QLatin1Char('w'));
        if (t % 9 == 4)
            title += QStringLiteral(" and a very long tail of words that will not fit in a column");
        if (t % 11 == 5)
            title = QStringLiteral("Two\nlines");
        QString other = t % 3 == 0 ? QString() : QStringLiteral("Zoë's café №%1 office").arg(t);
        if (t % 13 == 6)
            other = QStringLiteral("日本語のテキスト %1").arg(t);
        if (t % 5 == 2)
            cards.append({title});
        else
            cards.append(
                {title, other, QString::number(t * 1.5), QStringLiteral("\tTab %1").arg(t)});
    }
    QStringList notes;
    for (int t = 0; t < 40; ++t)
        notes.append(t % 4 == 0 ? QStringLiteral("Line one\nLine two\nLine three") : QString());
    makePlan({{"Title", PropertyType::Text},
              {"Other", PropertyType::Text},
              {"Number", PropertyType::Numeric},
              {"Tabbed", PropertyType::Text}},
             cards, notes);

    for (bool shown : {false, true}) {
        TableView table;
        if (shown) {
            table.resize(700, 300);
            table.show();
            QVERIFY(QTest::qWaitForWindowExposed(&table));
        }
        // Rows hidden by the filter keep their heights.
        table.setSearch(false, {QStringLiteral("Task 1")});
        table.onChangedDoc(allChanged());
        QList<int> widths;
        QList<int> heights;
        for (int column = 0; column < table.columnCount(); ++column)
            widths.append(table.columnWidth(column));
        for (int row = 0; row < table.rowCount(); ++row)
            heights.append(table.rowHeight(row));
        QVERIFY(QSet<int>(heights.begin(), heights.end()).size() > 1);

        // The same sizes as Qt's fitting of every cell by the style, during a refresh (sorting
        // off, so the headers leave no room for the sort arrow).
        auto *plain = new QStyledItemDelegate(&table);
        table.setItemDelegate(plain);
        table.setSortingEnabled(false);
        table.resizeColumnsToContents();
        table.setColumnHidden(table.notesColumn(), true);
        table.resizeRowsToContents();
        table.setColumnHidden(table.notesColumn(), false);
        QList<int> fittedWidths;
        QList<int> fittedHeights;
        for (int column = 0; column < table.columnCount(); ++column)
            fittedWidths.append(table.columnWidth(column));
        for (int row = 0; row < table.rowCount(); ++row)
            fittedHeights.append(table.rowHeight(row));
        QCOMPARE(widths, fittedWidths);
        QCOMPARE(heights, fittedHeights);
    }
}

TAVROLO_TEST_MAIN(TestTableView)
#include "tst_tableview.moc"
