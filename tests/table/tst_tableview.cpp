#include "app/Application.h"
#include "common/app/Accessors.h"
#include "common/core/Colors.h"
#include "common/widgets/Settings.h"
#include "harness/DocumentRecorder.h"
#include "harness/TestMain.h"
#include "harness/TestPlanKey.h"
#include "model/Document.h"
#include "table/DeferredRefresh.h"
#include "table/TableView.h"

#include <optional>

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTabWidget>

namespace {

// Properties "P1"... of the given types, and a card per list of values (property 1 first).
void makePlan(const QList<int> &types, const QList<QStringList> &cards,
              const QStringList &notes = {})
{
    doc()->clear(false);
    for (int p = 0; p < types.size(); ++p)
        doc()->addProperty(QStringLiteral("P%1").arg(p + 1), QString(), types.at(p), {},
                           PropertyVisibility::Text, PropertyAppearance(), false);
    for (int t = 0; t < cards.size(); ++t) {
        QList<PropertyIndexAndValue> values;
        for (int p = 0; p < cards.at(t).size(); ++p)
            values.append({p + 1, cards.at(t).at(p)});
        doc()->addTaskWithValues(values, notes.value(t), {}, -1, false);
    }
}

// Six cards of a name, a colour word, a size and a date; card 1 has notes.
enum { Name = 1, Colour, Size, Due, Notes };
void makeSixCards()
{
    makePlan({PropertyType::Text, PropertyType::Text, PropertyType::Automatic, PropertyType::Date},
             {{"a", "red", "10", "1/2/2024"},
              {"b", "green", "9", "15/1/2024"},
              {"c", "blue", "", "3/12/2023"},
              {"d", "dark red", "100", "7/7/2024"},
              {"e", "yellow", "2", "1/1/2025"},
              {"f", "light blue", "33", "2/2/2022"}},
             {QString(), QStringLiteral("Notes with Blue")});
}

// The table as the main window has it: connected to the plan, shown, rebuilt.
struct ShownTable : TableView
{
    ShownTable()
    {
        QObject::connect(doc(), &Document::changed, this, &TableView::onChangedDoc);
        resize(900, 400);
        show();
        exposed = QTest::qWaitForWindowExposed(this);
        doc()->emitChanged(EventType::AllChanged);
    }
    bool exposed = false;
};

// The Table tab as the main window has it: beside another tab, behind the DeferredRefresh that
// keeps it waiting while the other tab is in front.
struct TabbedTable
{
    TabbedTable()
    {
        tabs.addTab(new QWidget, QStringLiteral("Cards"));
        tabs.addTab(table, QStringLiteral("Table"));
        auto *refresh = new DeferredRefresh(
            table, &TableView::refreshKind,
            [table = table](const Events &events) { table->onChangedDoc(events); });
        QObject::connect(doc(), &Document::changed, refresh, &DeferredRefresh::onChangedDoc);
        tabs.resize(700, 400);
        tabs.setCurrentIndex(1);
        tabs.show();
        exposed = QTest::qWaitForWindowExposed(&tabs);
        doc()->emitChanged(EventType::AllChanged);
    }
    void showTable(bool shown) { tabs.setCurrentIndex(shown ? 1 : 0); }

    QTabWidget tabs;
    TableView *table = new TableView;
    bool exposed = false;
};

QStringList columnTexts(const TableView &table, int column)
{
    QStringList texts;
    for (int row = 0; row < table.rowCount(); ++row)
        texts.append(table.item(row, column)->text());
    return texts;
}

// Every card has one row, which shows its values and notes.
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

QPoint cellCentre(const TableView &table, int row, int column)
{
    return QPoint(table.columnViewportPosition(column) + table.columnWidth(column) / 2,
                  table.rowViewportPosition(row) + table.rowHeight(row) / 2);
}

// Keys to whatever has the focus, one by one as the focus moves into an editor, then Return.
void typeAndEnter(const QString &text)
{
    for (const QChar c : text)
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    // The item delegate commits Return's text in a queued call.
    QCoreApplication::processEvents();
}

// Every card's values and notes, a line per card.
QStringList planCards()
{
    QStringList cards;
    for (TaskIndex task = 0; task < doc()->taskCount(); ++task) {
        QStringList card;
        for (int p = 1; p < doc()->propertyCount(); ++p)
            card.append(doc()->value(task, p));
        card.append(doc()->taskNotes(task));
        cards.append(card.join(QLatin1Char('|')));
    }
    return cards;
}

// The cards in the order the rows show them.
QList<TaskIndex> rowOrder(const TableView &table)
{
    QList<TaskIndex> cards;
    for (int row = 0; row < table.rowCount(); ++row)
        cards.append(table.taskIndex(row));
    return cards;
}

QColor background(const TableView &table, int row, int column)
{
    return table.item(row, column)->background().color();
}

// The header of the column the rows are sorted by, empty for card order.
QString sortedBy(const TableView &table)
{
    const int column = table.horizontalHeader()->sortIndicatorSection();
    return column > 0 ? table.horizontalHeaderItem(column)->text() : QString();
}

// Moves property from to place to, the others keeping their order.
void moveProperty(int from, int to)
{
    QList<int> order;
    for (int p = 0; p < doc()->propertyCount(); ++p)
        order.append(p);
    order.move(from, to);
    PropertyReorderMap newToOld;
    for (int p = 0; p < order.size(); ++p)
        newToOld.insert(p, order.at(p));
    doc()->reorderProperties(newToOld, true);
}

// Changes of the six cards' plan made while the Table is hidden. Size is P3 until renamed Lead.
enum HiddenStep {
    RenameSize,
    MoveSizeFirst,
    ReverseProperties,
    DeleteName,
    DeleteSize,
    AddProperty,
    GiveDueSizesOldName,
    Undo,
    ManyValues,
};

void takeStep(int step, DocumentRecorder &recorder)
{
    const int size = std::max(doc()->propertyIndex(QStringLiteral("Lead")),
                              doc()->propertyIndex(QStringLiteral("P3")));
    switch (step) {
    case RenameSize:
        doc()->setPropertyName(size, QStringLiteral("Lead"), true);
        break;
    case MoveSizeFirst:
        moveProperty(size, 1);
        break;
    case ReverseProperties: {
        PropertyReorderMap newToOld {{0, 0}};
        for (int p = 1; p < doc()->propertyCount(); ++p)
            newToOld.insert(p, doc()->propertyCount() - p);
        doc()->reorderProperties(newToOld, true);
        break;
    }
    case DeleteName:
        doc()->deleteProperty(doc()->propertyIndex(QStringLiteral("P1")), true);
        break;
    case DeleteSize:
        doc()->deleteProperty(size, true);
        break;
    case AddProperty:
        doc()->addProperty(QStringLiteral("Extra"), QStringLiteral("x"), PropertyType::Text, {},
                           PropertyVisibility::Text, PropertyAppearance(), true);
        break;
    case GiveDueSizesOldName:
        doc()->setPropertyName(doc()->propertyIndex(QStringLiteral("P4")), QStringLiteral("P3"),
                               true);
        break;
    case Undo:
        // As the main window undoes: the copy from before the step, then event 0.
        *doc() = *recorder.snapshots.back();
        recorder.snapshots.pop_back();
        doc()->emitChanged(EventType::AllChanged);
        break;
    case ManyValues: {
        QList<Document::ValueChange> changes;
        for (int i = 0; i <= DeferredRefresh::maximumWaiting; ++i)
            changes.append({{i % doc()->taskCount(), doc()->propertyIndex(QStringLiteral("P2"))},
                            QString::number(i)});
        doc()->setValues(changes, true);
        break;
    }
    }
}

// Changes of a plan of cards P1 Name, P2 Colour and P3 Size made while the Table is hidden.
enum HiddenChange {
    CardsDeleted,
    CardAdded,
    PropertyAdded,
    NameDeleted,
    WideDeleted,
    ManyValuesChanged,
    FontChanged,
    // Each card listed deleted on its own, numbered as the cards are by then.
    CardsDeletedOneAtATime
};

// What a catch-up keeps of the table as the user left it: the width of each column by its
// header, the scroll position, the current cell and the selected rows, by card and header.
struct UserView
{
    explicit UserView(const TableView &table)
    {
        for (int column = 1; column < table.columnCount(); ++column)
            widths.insert(table.horizontalHeaderItem(column)->text(), table.columnWidth(column));
        scroll = table.verticalScrollBar()->value();
        horizontalScroll = table.horizontalScrollBar()->value();
        if (table.currentIndex().isValid()) {
            current = QStringLiteral("%1 %2")
                          .arg(table.taskIndex(table.currentRow()))
                          .arg(table.horizontalHeaderItem(table.currentColumn())->text());
        }
        selected = table.selectedTasks();
        std::sort(selected.begin(), selected.end());
    }

    QHash<QString, int> widths;
    int scroll = 0;
    int horizontalScroll = 0;
    QString current;
    QList<TaskIndex> selected;
};

} // namespace

class TestTableView : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void headerClickSortsSmartly_data();
    void headerClickSortsSmartly();
    void userSortSurvivesEditUndoAndRebuild();
    void deletingCardsRenumbersTheRest_data();
    void deletingCardsRenumbersTheRest();
    void editingACellStoresOneStep_data();
    void editingACellStoresOneStep();
    void leavingACellKeepsALongValue_data();
    void leavingACellKeepsALongValue();
    void tabOnLastCellAddsCardAndFollowsIt_data();
    void tabOnLastCellAddsCardAndFollowsIt();
    void tabUnderAFilterTypesOnlyWhereTheUserSees_data();
    void tabUnderAFilterTypesOnlyWhereTheUserSees();
    void aNewColumnUnderAFilterTakesTypingInSight();
    void sortFollowsItsPropertyWhenColumnsMove_data();
    void sortFollowsItsPropertyWhenColumnsMove();
    void sortOnAPropertyUndoneAwayGoesBackToCardOrder();
    void hiddenTableSortFollowsItsProperty_data();
    void hiddenTableSortFollowsItsProperty();
    void hiddenTableKeepsTheUsersView_data();
    void hiddenTableKeepsTheUsersView();
    void filterShowsOrHidesMatchingRows_data();
    void filterShowsOrHidesMatchingRows();
    void wholeRowColouringByNumberFollowsEveryValue();
    void colouringOffAllAndDarkText();
    void cardsWithoutRowsChangeNoOtherRow();
    void sizesMatchFittingEveryCell();
};

void TestTableView::init()
{
    doc()->clear(false);
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
    QTest::newRow("dates by day") << QStringList {"1/2/2024", "15/1/2024", "3/12/2023"}
                                  << QStringList {"3/12/2023", "15/1/2024", "1/2/2024"};
    QTest::newRow("a date and words as text")
        << QStringList {"soon", "1/2/2024", "Later"} << QStringList {"1/2/2024", "Later", "soon"};
}

void TestTableView::headerClickSortsSmartly()
{
    QFETCH(QStringList, values);
    QFETCH(QStringList, ascending);
    QList<QStringList> cards;
    for (const QString &value : values)
        cards.append({value});
    makePlan({PropertyType::Automatic}, cards);
    ShownTable table;
    // Before any click: card order, by the hidden index column.
    QCOMPARE(table.horizontalHeader()->sortIndicatorSection(), 0);
    QCOMPARE(columnTexts(table, Name), values);

    clickHeader(table, Name);
    QCOMPARE(columnTexts(table, Name), ascending);
    clickHeader(table, Name);
    std::reverse(ascending.begin(), ascending.end());
    QCOMPARE(columnTexts(table, Name), ascending);
}

void TestTableView::userSortSurvivesEditUndoAndRebuild()
{
    makeSixCards();
    DocumentRecorder recorder(*doc());
    ShownTable table;
    clickHeader(table, Size);
    clickHeader(table, Size);
    const QStringList sizesDown {"100", "33", "10", "9", "2", ""};
    QCOMPARE(columnTexts(table, Size), sizesDown);

    table.item(table.rowOfTask(4), Size)->setText(QStringLiteral("50"));
    QCOMPARE(columnTexts(table, Size), (QStringList {"100", "50", "33", "10", "9", ""}));
    // Undo as the main window does it: the copy from before the step, then event 0.
    *doc() = *recorder.snapshots.back();
    doc()->emitChanged(EventType::AllChanged);
    QCOMPARE(columnTexts(table, Size), sizesDown);
    QCOMPARE(table.horizontalHeader()->sortIndicatorSection(), int(Size));
    QCOMPARE(table.horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
    table.item(table.rowOfTask(0), Colour)->setText(QStringLiteral("violet"));
    QCOMPARE(columnTexts(table, Size), sizesDown);
    verifyRowsMatchPlan(table);
}

void TestTableView::deletingCardsRenumbersTheRest_data()
{
    QTest::addColumn<QList<TaskIndex>>("deleted");
    QTest::addColumn<int>("sortColumn");
    QTest::addColumn<QStringList>("sortedAfter");
    QTest::newRow("card 3 of six")
        << QList<TaskIndex> {3} << 0 << QStringList {"0", "1", "2", "3", "4"};
    QTest::newRow("three cards") << QList<TaskIndex> {1, 3, 4} << 0 << QStringList {"0", "1", "2"};
    QTest::newRow("three cards, sorted by size")
        << QList<TaskIndex> {0, 2, 5} << int(Size) << QStringList {"2", "9", "100"};
    QTest::newRow("every card") << QList<TaskIndex> {0, 1, 2, 3, 4, 5} << int(Colour)
                                << QStringList();
}

void TestTableView::deletingCardsRenumbersTheRest()
{
    QFETCH(QList<TaskIndex>, deleted);
    QFETCH(int, sortColumn);
    QFETCH(QStringList, sortedAfter);
    makeSixCards();
    ShownTable table;
    if (sortColumn != 0)
        clickHeader(table, sortColumn);
    doc()->deleteTasks(deleted, true);
    verifyRowsMatchPlan(table);
    QCOMPARE(columnTexts(table, sortColumn), sortedAfter);
}

void TestTableView::editingACellStoresOneStep_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("undoText");
    QTest::addColumn<QString>("shown");
    QTest::newRow("value") << int(Colour) << "purple"
                           << "Update Value"
                           << "purple";
    QTest::newRow("date normalised") << int(Due) << "today"
                                     << "Update Value" << QDate::currentDate().toString("d/M/yyyy");
    QTest::newRow("notes") << int(Notes) << "Call\nback"
                           << "Set Card Notes"
                           << "Call\nback";
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
    // A typed cell is an edit of the card its row shows, not of the card of that number.
    clickHeader(table, Size);
    const int row = table.rowOfTask(2);
    QVERIFY(row != 2);
    table.item(row, column)->setText(typed);
    QCOMPARE(recorder.undoTexts, QStringList {undoText});
    QCOMPARE(table.item(table.rowOfTask(2), column)->text(), shown);
    verifyRowsMatchPlan(table);
    QVERIFY(!(table.item(row, 0)->flags() & Qt::ItemIsEditable));
}

void TestTableView::leavingACellKeepsALongValue_data()
{
    QTest::addColumn<bool>("notes");
    QTest::newRow("value") << false;
    QTest::newRow("notes") << true;
}

// A value longer than a line edit takes by default: opening its cell and leaving it with
// Return stores nothing.
void TestTableView::leavingACellKeepsALongValue()
{
    QFETCH(bool, notes);
    makeSixCards();
    const QString longText = QStringLiteral("0123456789").repeated(4000);
    QString stored = longText;
    if (notes)
        doc()->setTaskNotes(2, stored, false);
    else
        doc()->setValue(2, Colour, stored, false);
    ShownTable table;
    QVERIFY(table.exposed);
    const Document before(*doc());
    DocumentRecorder recorder(*doc());
    const int column = notes ? table.notesColumn() : int(Colour);
    table.setFocus();
    table.setCurrentCell(table.rowOfTask(2), column);
    table.editItem(table.item(table.rowOfTask(2), column));
    auto *editor = table.findChild<QLineEdit *>();
    QVERIFY(editor);
    QCOMPARE(editor->text().size(), longText.size());
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
    QVERIFY(recorder.isSilent());
    QVERIFY(*doc() == before);
}

void TestTableView::tabOnLastCellAddsCardAndFollowsIt_data()
{
    QTest::addColumn<bool>("sortedDown");
    QTest::addColumn<bool>("withEditor");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::newRow("card order") << false << false << Qt::KeyboardModifiers();
    QTest::newRow("sorted descending") << true << false << Qt::KeyboardModifiers();
    QTest::newRow("sorted, typing in the last cell") << true << true << Qt::KeyboardModifiers();
    QTest::newRow("control tab") << false << false << Qt::KeyboardModifiers(Qt::ControlModifier);
}

void TestTableView::tabOnLastCellAddsCardAndFollowsIt()
{
    QFETCH(bool, sortedDown);
    QFETCH(bool, withEditor);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    makeSixCards();
    doc()->setPropertyDefaultValue(Size, QStringLiteral("5"), false);
    ShownTable table;
    if (sortedDown) {
        clickHeader(table, Size);
        clickHeader(table, Size);
    }
    DocumentRecorder recorder(*doc());
    const int lastRow = table.rowCount() - 1;
    const TaskIndex lastCard = table.taskIndex(lastRow);
    table.setFocus();
    table.setCurrentCell(lastRow, table.notesColumn());
    QWidget *target = &table;
    if (withEditor) {
        table.editItem(table.item(lastRow, table.notesColumn()));
        auto *editor = table.findChild<QLineEdit *>();
        QVERIFY(editor);
        editor->setText(QStringLiteral("typed note"));
        target = editor;
    }
    QTest::keyClick(target, Qt::Key_Tab, modifiers);
    if (modifiers & Qt::ControlModifier) {
        QVERIFY(recorder.isSilent());
        return;
    }
    QCOMPARE(recorder.undoTexts.last(), QStringLiteral("Add Card"));
    if (withEditor)
        QCOMPARE(doc()->taskNotes(lastCard), QStringLiteral("typed note"));
    // The next typing goes to the new card, wherever the sort put it.
    QCOMPARE(table.currentRow(), table.rowOfTask(6));
    QCOMPARE(table.currentColumn(), 1);
    if (sortedDown)
        QCOMPARE(columnTexts(table, Size), (QStringList {"100", "33", "10", "9", "5", "2", ""}));
    verifyRowsMatchPlan(table);
}

void TestTableView::tabUnderAFilterTypesOnlyWhereTheUserSees_data()
{
    QTest::addColumn<QString>("term");
    QTest::addColumn<QString>("colourDefault");
    QTest::addColumn<bool>("withEditor");
    QTest::addColumn<bool>("warned");
    QTest::newRow("new card hidden") << "blue" << QString() << false << true;
    QTest::newRow("new card hidden, typing in the last cell")
        << "blue" << QString() << true << true;
    QTest::newRow("new card hidden, warning switched off") << "blue" << QString() << false << false;
    QTest::newRow("new card hidden, rows below the last shown one")
        << "red" << QString() << false << true;
    QTest::newRow("new card shown") << "blue" << QStringLiteral("navy blue") << false << false;
}

// Tab on the last cell the filter shows adds a card. Only a card the filter shows takes the
// cursor; a hidden one is reported, and the next typing changes no card that was there before.
void TestTableView::tabUnderAFilterTypesOnlyWhereTheUserSees()
{
    QFETCH(QString, term);
    QFETCH(QString, colourDefault);
    QFETCH(bool, withEditor);
    QFETCH(bool, warned);
    makeSixCards();
    doc()->setPropertyDefaultValue(Colour, colourDefault, false);
    const bool warnings = settings()->read(Settings::Key::ShowQuestionFilter).toBool();
    if (!warned && colourDefault.isEmpty())
        settings()->write(Settings::Key::ShowQuestionFilter, false);
    ShownTable table;
    QVERIFY(table.exposed);
    table.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&table));
    table.setSearch(true, {term});
    const QList<TaskIndex> visible = table.visibleTasks();
    const int lastRow = table.rowOfTask(visible.last());
    QTest::mouseClick(table.viewport(), Qt::LeftButton, Qt::NoModifier,
                      cellCentre(table, lastRow, table.notesColumn()));
    QCOMPARE(table.currentRow(), lastRow);
    QCOMPARE(QApplication::focusWidget(), &table);
    DocumentRecorder recorder(*doc());
    QStringList undoTexts;
    if (withEditor) {
        QTest::keyClick(&table, Qt::Key_F2);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("first"));
        undoTexts << QStringLiteral("Set Card Notes");
    }
    QStringList expected = planCards();
    if (withEditor)
        expected[visible.last()] = QStringLiteral("f|light blue|33|2/2/2022|first");

    std::optional<ModalAnswer> answer;
    if (warned)
        answer.emplace(QStringLiteral("Hide card"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    if (warned) {
        QVERIFY(answer->answered());
        QCOMPARE(answer->shownText(),
                 QStringLiteral("1 new card is hidden by the current filter."));
        // The keys go where they went before the box.
        table.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&table));
        QCOMPARE(QApplication::focusWidget(), &table);
    }
    typeAndEnter(QStringLiteral("typed"));
    settings()->write(Settings::Key::ShowQuestionFilter, warnings);

    undoTexts << QStringLiteral("Add Card");
    if (colourDefault.isEmpty()) {
        QCOMPARE(table.visibleTasks(), visible);
        expected << QStringLiteral("||||");
    } else {
        QCOMPARE(table.visibleTasks(), visible + QList<TaskIndex> {6});
        expected << QStringLiteral("typed|navy blue|||");
        undoTexts << QStringLiteral("Update Value");
    }
    QCOMPARE(planCards(), expected);
    QCOMPARE(recorder.undoTexts, undoTexts);
    QVERIFY(!table.currentIndex().isValid() || !table.isRowHidden(table.currentRow()));
    verifyRowsMatchPlan(table);
}

// Typing after a property was added goes to a row the filter shows.
void TestTableView::aNewColumnUnderAFilterTakesTypingInSight()
{
    makeSixCards();
    ShownTable table;
    QVERIFY(table.exposed);
    table.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&table));
    table.setSearch(true, {QStringLiteral("blue")});
    QVERIFY(table.isRowHidden(0));
    doc()->addProperty(QStringLiteral("Owner"), QString(), PropertyType::Text, {},
                       PropertyVisibility::Text, PropertyAppearance(), true);
    QStringList expected = planCards();
    QCOMPARE(table.currentRow(), table.rowOfTask(1));
    QCOMPARE(table.currentColumn(), table.notesColumn());
    typeAndEnter(QStringLiteral("typed"));
    expected[1] = QStringLiteral("b|green|9|15/1/2024||typed");
    QCOMPARE(planCards(), expected);
}

void TestTableView::sortFollowsItsPropertyWhenColumnsMove_data()
{
    QTest::addColumn<int>("sortColumn");
    QTest::addColumn<bool>("descending");
    QTest::addColumn<PropertyReorderMap>("newToOld");
    QTest::addColumn<int>("movedTo");
    QTest::newRow("by size, size moved first")
        << int(Size) << true << PropertyReorderMap {{0, 0}, {1, 3}, {2, 1}, {3, 2}, {4, 4}} << 1;
    QTest::newRow("by name, reversed")
        << int(Name) << true << PropertyReorderMap {{0, 0}, {1, 4}, {2, 3}, {3, 2}, {4, 1}} << 4;
    QTest::newRow("by colour, two others swapped")
        << int(Colour) << false << PropertyReorderMap {{0, 0}, {1, 3}, {2, 2}, {3, 1}, {4, 4}}
        << int(Colour);
    QTest::newRow("by notes, due moved first")
        << int(Notes) << false << PropertyReorderMap {{0, 0}, {1, 4}, {2, 1}, {3, 2}, {4, 3}}
        << int(Notes);
}

void TestTableView::sortFollowsItsPropertyWhenColumnsMove()
{
    QFETCH(int, sortColumn);
    QFETCH(bool, descending);
    QFETCH(PropertyReorderMap, newToOld);
    QFETCH(int, movedTo);
    makeSixCards();
    ShownTable table;
    clickHeader(table, sortColumn);
    if (descending)
        clickHeader(table, sortColumn);
    const Qt::SortOrder order = descending ? Qt::DescendingOrder : Qt::AscendingOrder;
    const QList<TaskIndex> sorted = rowOrder(table);
    QVERIFY(sorted != doc()->taskIndexes());
    DocumentRecorder recorder(*doc());

    doc()->reorderProperties(newToOld, true);
    QCOMPARE(recorder.undoTexts, QStringList {"Re-order Properties"});
    QCOMPARE(table.horizontalHeader()->sortIndicatorSection(), movedTo);
    QCOMPARE(table.horizontalHeader()->sortIndicatorOrder(), order);
    QCOMPARE(rowOrder(table), sorted);
    verifyRowsMatchPlan(table);

    // Undo as the main window does it: the copy from before the step, then event 0.
    *doc() = *recorder.snapshots.back();
    doc()->emitChanged(EventType::AllChanged);
    QCOMPARE(table.horizontalHeader()->sortIndicatorSection(), sortColumn);
    QCOMPARE(table.horizontalHeader()->sortIndicatorOrder(), order);
    QCOMPARE(rowOrder(table), sorted);
    verifyRowsMatchPlan(table);
}

// The column sorted on goes with the undo of its adding; the number it had now names the notes.
void TestTableView::sortOnAPropertyUndoneAwayGoesBackToCardOrder()
{
    makeSixCards();
    ShownTable table;
    DocumentRecorder recorder(*doc());
    doc()->addProperty(QStringLiteral("Rank"), QString(), PropertyType::Text, {},
                       PropertyVisibility::Text, PropertyAppearance(), true);
    for (TaskIndex task = 0; task < doc()->taskCount(); ++task) {
        QString rank = QString::number(9 - task);
        doc()->setValue(task, Notes, rank, false);
    }
    doc()->emitChanged(EventType::AllChanged);
    clickHeader(table, Notes);
    QCOMPARE(rowOrder(table), QList<TaskIndex>({5, 4, 3, 2, 1, 0}));

    *doc() = *recorder.snapshots.front();
    doc()->emitChanged(EventType::AllChanged);
    QCOMPARE(table.horizontalHeader()->sortIndicatorSection(), 0);
    QCOMPARE(rowOrder(table), doc()->taskIndexes());
    verifyRowsMatchPlan(table);
}

void TestTableView::hiddenTableSortFollowsItsProperty_data()
{
    QTest::addColumn<int>("sortColumn");
    QTest::addColumn<QList<int>>("steps");
    QTest::addColumn<QString>("sorted");
    QTest::newRow("renamed and moved first")
        << int(Size) << QList<int> {RenameSize, MoveSizeFirst} << "Lead";
    QTest::newRow("renamed, another deleted")
        << int(Size) << QList<int> {RenameSize, DeleteName} << "Lead";
    QTest::newRow("renamed, one added")
        << int(Size) << QList<int> {RenameSize, AddProperty} << "Lead";
    QTest::newRow("one added, renamed, all reversed")
        << int(Size) << QList<int> {AddProperty, RenameSize, ReverseProperties} << "Lead";
    QTest::newRow("deleted, one added")
        << int(Size) << QList<int> {DeleteSize, AddProperty} << QString();
    QTest::newRow("deleted, its name given to another")
        << int(Size) << QList<int> {DeleteSize, GiveDueSizesOldName} << QString();
    QTest::newRow("renamed, moved, the move undone")
        << int(Size) << QList<int> {RenameSize, MoveSizeFirst, Undo} << "Lead";
    QTest::newRow("another deleted and undone")
        << int(Size) << QList<int> {DeleteName, Undo} << "P3";
    QTest::newRow("renamed and undone") << int(Size) << QList<int> {RenameSize, Undo} << "P3";
    QTest::newRow("many values, renamed and moved")
        << int(Size) << QList<int> {ManyValues, RenameSize, MoveSizeFirst} << "Lead";
    QTest::newRow("by notes, one deleted, one added")
        << int(Notes) << QList<int> {DeleteName, AddProperty} << "Notes";
}

// A Table hidden while properties are renamed, moved, added and deleted is sorted, once shown,
// as a Table shown all along: by the same property, whatever its name and place now, and in
// card order only once that property is deleted.
void TestTableView::hiddenTableSortFollowsItsProperty()
{
    QFETCH(int, sortColumn);
    QFETCH(QList<int>, steps);
    QFETCH(QString, sorted);
    makeSixCards();
    TabbedTable tabbed;
    QVERIFY(tabbed.exposed);
    ShownTable shown;
    for (TableView *table : {static_cast<TableView *>(&shown), tabbed.table}) {
        clickHeader(*table, sortColumn);
        clickHeader(*table, sortColumn);
        QVERIFY(!sortedBy(*table).isEmpty());
    }
    tabbed.showTable(false);
    QVERIFY(!tabbed.table->isVisible());
    DocumentRecorder recorder(*doc());
    for (int step : steps)
        takeStep(step, recorder);
    tabbed.showTable(true);

    const Qt::SortOrder order = sorted.isEmpty() ? Qt::AscendingOrder : Qt::DescendingOrder;
    for (TableView *table : {static_cast<TableView *>(&shown), tabbed.table}) {
        QCOMPARE(sortedBy(*table), sorted);
        QCOMPARE(table->horizontalHeader()->sortIndicatorOrder(), order);
        verifyRowsMatchPlan(*table);
    }
    QCOMPARE(rowOrder(*tabbed.table), rowOrder(shown));
}

void TestTableView::hiddenTableKeepsTheUsersView_data()
{
    QTest::addColumn<int>("change");
    QTest::addColumn<QList<TaskIndex>>("deleted");
    const QList<TaskIndex> none;
    QTest::newRow("a card out of sight deleted") << int(CardsDeleted) << QList<TaskIndex> {300};
    QTest::newRow("a selected card deleted") << int(CardsDeleted) << QList<TaskIndex> {10};
    QTest::newRow("the current card deleted") << int(CardsDeleted) << QList<TaskIndex> {5};
    QTest::newRow("a card added") << int(CardAdded) << none;
    QTest::newRow("a card added and two deleted") << int(CardAdded) << QList<TaskIndex> {0, 396};
    QTest::newRow("a property added") << int(PropertyAdded) << none;
    QTest::newRow("the property left of the wide one deleted") << int(NameDeleted) << none;
    QTest::newRow("the wide property, holding the current cell, deleted")
        << int(WideDeleted) << none;
    QTest::newRow("more values than are worth catching up one by one")
        << int(ManyValuesChanged) << none;
    QTest::newRow("a card deleted, the font changed") << int(FontChanged) << QList<TaskIndex> {10};
    QTest::newRow("card 3 deleted, then selected card 8 as card 7")
        << int(CardsDeletedOneAtATime) << QList<TaskIndex> {3, 7};
    QTest::newRow("card 3 deleted, then selected card 4 in its place")
        << int(CardsDeletedOneAtATime) << QList<TaskIndex> {3, 3};
    QTest::newRow("card 10 deleted, card 3, then card 8 as card 7")
        << int(CardsDeletedOneAtATime) << QList<TaskIndex> {10, 3, 7};
}

// Once shown, a Table that caught up with cards and properties added or deleted keeps what a
// Table shown all along keeps: the user's column widths (unless a new font fitted them again),
// the scroll position, the current cell and the selected rows, where their cards and
// properties remain.
void TestTableView::hiddenTableKeepsTheUsersView()
{
    QFETCH(int, change);
    QFETCH(QList<TaskIndex>, deleted);
    QList<QStringList> cards;
    const QStringList colours {"red", "blue", "green", "dark red", "yellow"};
    for (int t = 0; t < 400; ++t)
        cards.append({QStringLiteral("Task %1").arg(t), colours.at(t % 5), QString::number(t)});
    makePlan({PropertyType::Text, PropertyType::Text, PropertyType::Numeric}, cards);
    TabbedTable tabbed;
    QVERIFY(tabbed.exposed);
    TableView &table = *tabbed.table;
    // Sorted by P3 descending, so that the bottom row shows card 0; P2 made wide by the user.
    clickHeader(table, 3);
    clickHeader(table, 3);
    table.setColumnWidth(2, 420);
    table.setCurrentCell(table.rowOfTask(5), 2);
    table.selectTasks({4, 8, 10, 392});
    table.scrollToBottom();
    table.horizontalScrollBar()->setValue(table.horizontalScrollBar()->maximum());
    const UserView before(table);
    QVERIFY(before.scroll > 0);
    QVERIFY(before.horizontalScroll > 0);
    QCOMPARE(before.current, QStringLiteral("5 P2"));
    QCOMPARE(before.widths.value(QStringLiteral("P2")), 420);

    tabbed.showTable(false);
    QVERIFY(!table.isVisible());
    QString deletedProperty;
    switch (change) {
    case CardAdded:
        doc()->addTask(true);
        break;
    case PropertyAdded:
        doc()->addProperty(QStringLiteral("Extra"), QString(), PropertyType::Text, {},
                           PropertyVisibility::Text, PropertyAppearance(), true);
        break;
    case NameDeleted:
        deletedProperty = QStringLiteral("P1");
        break;
    case WideDeleted:
        deletedProperty = QStringLiteral("P2");
        break;
    case ManyValuesChanged: {
        QList<Document::ValueChange> changes;
        for (int i = 0; i <= DeferredRefresh::maximumWaiting; ++i)
            changes.append({{i % doc()->taskCount(), 1}, QStringLiteral("Task")});
        doc()->setValues(changes, true);
        break;
    }
    case FontChanged:
        doc()->setTableFontSize(doc()->tableFontSize() + 6, true);
        break;
    }
    if (!deletedProperty.isEmpty())
        doc()->deleteProperty(doc()->propertyIndex(deletedProperty), true);
    if (change == CardsDeletedOneAtATime) {
        // From here on the cards deleted are numbered as when the Table was hidden, as P3 has it.
        const QList<TaskIndex> steps = deleted;
        deleted.clear();
        for (TaskIndex task : steps) {
            deleted.append(doc()->value(task, 3).toInt());
            doc()->deleteTasks({task}, true);
        }
    } else if (!deleted.isEmpty()) {
        doc()->deleteTasks(deleted, true);
    }
    tabbed.showTable(true);
    verifyRowsMatchPlan(table);

    const UserView after(table);
    QCOMPARE(sortedBy(table), QStringLiteral("P3"));
    if (change == FontChanged) {
        QVERIFY(after.widths.value(QStringLiteral("P2")) < 420);
    } else {
        for (auto it = before.widths.cbegin(); it != before.widths.cend(); ++it) {
            if (it.key() != deletedProperty)
                QCOMPARE(after.widths.value(it.key()), it.value());
        }
    }
    QCOMPARE(after.scroll, std::min(before.scroll, table.verticalScrollBar()->maximum()));
    QCOMPARE(after.horizontalScroll,
             std::min(before.horizontalScroll, table.horizontalScrollBar()->maximum()));
    // The cards after a deleted one move up a number.
    const auto now = [&](TaskIndex task) {
        if (deleted.contains(task))
            return -1;
        return int(task - std::count_if(deleted.cbegin(), deleted.cend(), [task](TaskIndex gone) {
                       return gone < task;
                   }));
    };
    // The current cell stays with its card; it leaves a column that went for the one left of it.
    QString current;
    if (now(5) >= 0)
        current = QStringLiteral("%1 %2").arg(now(5)).arg(change == WideDeleted ? "P1" : "P2");
    if (!current.isEmpty())
        QCOMPARE(after.current, current);
    QList<TaskIndex> selected;
    QStringList selectedCards;
    for (TaskIndex task : {4, 8, 10, 392}) {
        if (now(task) >= 0) {
            selected.append(now(task));
            selectedCards.append(QString::number(task));
        }
    }
    QCOMPARE(after.selected, selected);
    // The same cards by what they hold, which no renumbering can mistake.
    const int made = doc()->propertyIndex(QStringLiteral("P3"));
    QStringList selectedNow;
    for (TaskIndex task : after.selected)
        selectedNow.append(doc()->value(task, made));
    QCOMPARE(selectedNow, selectedCards);
    if (now(5) >= 0)
        QCOMPARE(doc()->value(table.taskIndex(table.currentRow()), made), QStringLiteral("5"));
}

void TestTableView::filterShowsOrHidesMatchingRows_data()
{
    QTest::addColumn<bool>("showMatching");
    QTest::addColumn<QStringList>("terms");
    QTest::addColumn<QList<TaskIndex>>("visible");
    const QList<TaskIndex> all {0, 1, 2, 3, 4, 5};
    QTest::newRow("no terms, show") << true << QStringList() << all;
    QTest::newRow("no terms, hide") << false << QStringList() << all;
    QTest::newRow("either term, notes too")
        << true << QStringList {"red", "BLUE"} << QList<TaskIndex> {0, 1, 2, 3, 5};
    QTest::newRow("hide either term")
        << false << QStringList {"red", "BLUE"} << QList<TaskIndex> {4};
    QTest::newRow("index column not searched")
        << true << QStringList {"3"} << QList<TaskIndex> {2, 5};
}

void TestTableView::filterShowsOrHidesMatchingRows()
{
    QFETCH(bool, showMatching);
    QFETCH(QStringList, terms);
    QFETCH(QList<TaskIndex>, visible);
    makeSixCards();
    ShownTable table;
    table.selectTasks({0, 4});
    table.setSearch(showMatching, terms);
    QCOMPARE(table.visibleTasks(), visible);
    // A row the filter hides loses its selection; a row that stays keeps it.
    QList<TaskIndex> selected;
    for (TaskIndex task : {0, 4}) {
        if (visible.contains(task))
            selected.append(task);
    }
    QCOMPARE(table.selectedTasks(), selected);
    doc()->emitChanged(EventType::AllChanged);
    QCOMPARE(table.visibleTasks(), visible);
}

void TestTableView::wholeRowColouringByNumberFollowsEveryValue()
{
    makeSixCards();
    doc()->setTableColor(Size + 1, false);
    ShownTable table;
    const auto verifyRowColours = [&] {
        const QImage image = table.viewport()->grab().toImage();
        for (int row = 0; row < table.rowCount(); ++row) {
            const QColor expected = doc()->valueColor(table.taskIndex(row), Size);
            for (int column = 1; column < table.columnCount(); ++column) {
                QCOMPARE(background(table, row, column), expected);
                QCOMPARE(table.item(row, column)->foreground().color(),
                         contrastingTextColor(expected, false));
            }
            // Painted so, right of the short text.
            const QRect cell = table.visualItemRect(table.item(row, Name));
            QCOMPARE(image.pixelColor(cell.right() - 4, cell.center().y()).rgb(), expected.rgb());
        }
    };
    verifyRowColours();
    // A new largest number moves every other card's place on the colour scale.
    const QColor before = background(table, table.rowOfTask(1), Name);
    table.item(table.rowOfTask(4), Size)->setText(QStringLiteral("1000"));
    QVERIFY(background(table, table.rowOfTask(1), Name) != before);
    verifyRowColours();
}

void TestTableView::colouringOffAllAndDarkText()
{
    makeSixCards();
    // A setting past the colouring list, as a damaged file has it, colours nothing.
    doc()->tableAppearanceRef(TestPlanKey::key()).cellColor = doc()->propertyCount() + 3;
    ShownTable table;
    for (int column = 1; column < table.columnCount(); ++column)
        QVERIFY(!table.item(0, column)->data(Qt::BackgroundRole).isValid());

    doc()->setTableColor(1, true);
    for (int column = 1; column < table.notesColumn(); ++column)
        QCOMPARE(background(table, 0, column), doc()->valueColor(table.taskIndex(0), column));
    QVERIFY(!table.item(0, table.notesColumn())->data(Qt::BackgroundRole).isValid());

    app()->setUiStyle(1);
    doc()->setTableColor(0, true);
    QVERIFY(!table.item(0, Colour)->data(Qt::BackgroundRole).isValid());
    QCOMPARE(table.item(0, Colour)->foreground().color(), QColor("#C0C0C0"));
    app()->setUiStyle(0);
}

void TestTableView::cardsWithoutRowsChangeNoOtherRow()
{
    makeSixCards();
    ShownTable table;
    QCOMPARE(table.rowOfTask(6), -1);
    const QStringList firstRow {table.item(0, Name)->text(), table.item(0, Colour)->text()};
    // Changes reported for a card the table has no row for.
    Events events;
    events.add(EventType::ValueChanged, 17, Name);
    events.add(EventType::TaskNotesChanged, 17);
    table.onChangedDoc(events);
    QCOMPARE((QStringList {table.item(0, Name)->text(), table.item(0, Colour)->text()}), firstRow);

    // Two cards added, the second one reported: the table was out of step and is rebuilt.
    doc()->addTask(false);
    doc()->addTask(false);
    Events added;
    added.add(EventType::TaskAdded, 7);
    table.onChangedDoc(added);
    verifyRowsMatchPlan(table);
}

void TestTableView::sizesMatchFittingEveryCell()
{
    // One-line texts of many widths, some wider than the widest column, line breaks, empty
    // and missing values, other characters, tabs, and notes of several lines.
    QList<QStringList> cards;
    QStringList notes;
    for (int t = 0; t < 40; ++t) {
        QString title = QStringLiteral("Task %1 ").arg(t) + QString(t % 7, QLatin1Char('w'));
        if (t % 9 == 4)
            title += QStringLiteral(" and a very long tail of words that will not fit in a column");
        if (t % 11 == 5)
            title = QStringLiteral("Two\nlines");
        QString other = t % 3 == 0 ? QString() : QStringLiteral("Zoë's café №%1 office").arg(t);
        if (t % 13 == 6)
            other = QStringLiteral("日本語のテキスト %1").arg(t);
        cards.append({title, other, QString::number(t * 1.5), QStringLiteral("\tTab %1").arg(t)});
        if (t % 5 == 2)
            cards.last() = QStringList {title};
        notes.append(t % 4 == 0 ? QStringLiteral("Line one\nLine two\nLine three") : QString());
    }
    makePlan({PropertyType::Text, PropertyType::Text, PropertyType::Numeric, PropertyType::Text},
             cards, notes);

    for (bool shown : {false, true}) {
        TableView table;
        if (shown) {
            table.resize(700, 300);
            table.show();
            QVERIFY(QTest::qWaitForWindowExposed(&table));
        }
        // Rows the filter hides keep their heights.
        table.setSearch(false, {QStringLiteral("Task 1")});
        table.onChangedDoc([] {
            Events events;
            events.add(EventType::AllChanged);
            return events;
        }());
        const auto sizes = [&] {
            QList<int> list;
            for (int column = 0; column < table.columnCount(); ++column)
                list.append(table.columnWidth(column));
            for (int row = 0; row < table.rowCount(); ++row)
                list.append(table.rowHeight(row));
            return list;
        };
        const QList<int> fitted = sizes();
        QVERIFY(QSet<int>(fitted.begin(), fitted.end()).size() > 3);
        // Qt's fitting of every cell by the style, as in a refresh (sorting off, so the headers
        // leave no room for the sort arrow), gives the same sizes.
        table.setItemDelegate(new QStyledItemDelegate(&table));
        table.setSortingEnabled(false);
        table.resizeColumnsToContents();
        table.setColumnHidden(table.notesColumn(), true);
        table.resizeRowsToContents();
        table.setColumnHidden(table.notesColumn(), false);
        QCOMPARE(fitted, sizes());
    }
}

TAVROLO_TEST_MAIN(TestTableView)
#include "tst_tableview.moc"
