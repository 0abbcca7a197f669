#include "MainWindowFixture.h"
#include "cards/CardsScene.h"
#include "cards/CardsView.h"
#include "charts/ChartItem.h"
#include "charts/ChartsLeftPane.h"
#include "charts/ChartsScene.h"
#include "charts/ChartsView.h"
#include "common/widgets/DelayedEditLineEdit.h"
#include "harness/DocumentRecorder.h"
#include "harness/TestMain.h"
#include "properties/PropertiesView.h"
#include "table/TableFilterWidget.h"
#include "table/TableLeftPane.h"
#include "table/TableView.h"

#include <memory>

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSet>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTemporaryDir>

namespace {

enum Tab { CardsTab = 0, ChartsTab = 1, TableTab = 2, PropertiesTab = 3 };

QAction *action(MainWindow &window, const char *name)
{
    return window.findChild<QAction *>(QLatin1String(name));
}

// A plan of one property "Name" and a card of each name, written to the path.
bool writeNamedCards(const QString &path, const QStringList &names)
{
    Document plan;
    plan.clear(false);
    plan.addProperty(QStringLiteral("Name"), QString(), PropertyType::Text, {},
                     PropertyVisibility::Text, PropertyAppearance(), false);
    for (const QString &name : names)
        plan.addTaskWithValues({{1, name}}, QString(), {}, -1, false);
    QString error;
    return writePlanFile(plan, path, &error);
}

QStringList cardNames()
{
    QStringList names;
    for (TaskIndex task = 0; task < doc()->taskCount(); ++task)
        names.append(doc()->value(task, 1));
    return names;
}

// The window on a copy of the sample plan, or on a plan of cards of the given names, shown on
// the given tab.
struct ShownWindow
{
    explicit ShownWindow(const QString &folder, Tab tab, const QStringList &names = {})
    {
        const QString plan = QDir(folder).filePath(QStringLiteral("Project plan.tv"));
        QFile::remove(plan);
        ok = names.isEmpty()
            ? QFile::copy(QStringLiteral(TAVROLO_SOURCE_DIR "/samples/Project plan.tv"), plan)
            : writeNamedCards(plan, names);
        presetQuietStartup(plan);
        window.reset(new MainWindow);
        window->resize(1000, 700);
        window->show();
        ok = ok && QTest::qWaitForWindowExposed(window.get());
        window->findChild<QTabWidget *>(QStringLiteral("m_tabWidget"))->setCurrentIndex(tab);
        table = window->findChild<TableView *>();
        cards = window->findChild<CardsScene *>();
    }

    void showTab(Tab tab)
    {
        window->findChild<QTabWidget *>(QStringLiteral("m_tabWidget"))->setCurrentIndex(tab);
    }

    std::unique_ptr<MainWindow> window;
    TableView *table = nullptr;
    CardsScene *cards = nullptr;
    bool ok = false;
};

QPoint rowHeaderCentre(const TableView *table, int row)
{
    const QHeaderView *header = table->verticalHeader();
    return QPoint(header->width() / 2,
                  header->sectionViewportPosition(row) + header->sectionSize(row) / 2);
}

QPoint cellCentre(const TableView *table, int row, int column)
{
    return QPoint(table->columnViewportPosition(column) + table->columnWidth(column) / 2,
                  table->rowViewportPosition(row) + table->rowHeight(row) / 2);
}

// Presses the left button, moves in a few steps with it held, and releases.
void dragWithLeftButton(QWidget *widget, const QPoint &from, const QPoint &to)
{
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, from);
    const int steps = 4;
    for (int i = 1; i <= steps; ++i) {
        const QPoint at = from + (to - from) * i / steps;
        QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &move);
    }
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, to);
}

// Types the filter into the Table tab's Filter section, without waiting for the typing pause.
void typeTableFilter(MainWindow &window, const QString &text)
{
    auto *line
        = window.findChild<TableLeftPane *>()->filterWidget()->findChild<DelayedEditLineEdit *>(
            QStringLiteral("m_lineEdit"));
    QVERIFY(line);
    line->selectAll();
    if (text.isEmpty())
        QTest::keyClick(line, Qt::Key_Delete);
    else
        QTest::keyClicks(line, text);
    line->flush();
}

// The words the Table's Filter section applies once its pause has passed.
QStringList tableFilterWords(MainWindow &window)
{
    auto *line
        = window.findChild<TableLeftPane *>()->filterWidget()->findChild<DelayedEditLineEdit *>(
            QStringLiteral("m_lineEdit"));
    line->flush();
    return line->text().split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

QString brushText(const QVariant &brush)
{
    if (brush.isNull())
        return QStringLiteral("none");
    const QBrush value = brush.value<QBrush>();
    return value.style() == Qt::NoBrush ? QStringLiteral("none")
                                        : value.color().name(QColor::HexArgb);
}

// What the table shows, row by row from the top: the card, each cell's text and colours, and
// whether the filter hides the row; the headers, the sort and the font size first.
QStringList tableContents(const TableView *table)
{
    QStringList headers;
    for (int column = 0; column < table->columnCount(); ++column)
        headers.append(table->horizontalHeaderItem(column)->text());
    QStringList rows {headers.join(QLatin1Char('|')),
                      QStringLiteral("sorted by %1, %2; %3 points")
                          .arg(table->horizontalHeader()->sortIndicatorSection())
                          .arg(table->horizontalHeader()->sortIndicatorOrder())
                          .arg(table->font().pointSize())};
    for (int row = 0; row < table->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < table->columnCount(); ++column) {
            const QTableWidgetItem *cell = table->item(row, column);
            cells.append(cell ? QStringLiteral("%1 %2/%3")
                                    .arg(cell->text(), brushText(cell->data(Qt::BackgroundRole)),
                                         brushText(cell->data(Qt::ForegroundRole)))
                              : QStringLiteral("no item"));
        }
        rows.append(cells.join(QLatin1Char('|'))
                    + (table->isRowHidden(row) ? QStringLiteral(" hidden") : QString()));
    }
    return rows;
}

// A table built afresh from the plan, sorted and filtered so.
QStringList freshTableContents(int sortColumn, Qt::SortOrder order, const QStringList &words)
{
    TableView fresh;
    Events all;
    all.add(EventType::AllChanged);
    fresh.onChangedDoc(all);
    fresh.sortByColumn(sortColumn, order);
    fresh.setSearch(true, words);
    return tableContents(&fresh);
}

// Each row of the Properties tab: name, type, default, and which move buttons work.
QStringList propertiesContents(const PropertiesView *view)
{
    QStringList rows;
    for (int row = 0; row < view->rowCount(); ++row) {
        const auto *type = qobject_cast<QComboBox *>(view->cellWidget(row, 1));
        const auto *up = qobject_cast<QPushButton *>(view->cellWidget(row, 4));
        const auto *down = qobject_cast<QPushButton *>(view->cellWidget(row, 5));
        rows.append(QStringLiteral("%1|%2|%3|%4%5")
                        .arg(view->item(row, 0) ? view->item(row, 0)->text() : "no name")
                        .arg(type ? type->currentIndex() : -1)
                        .arg(view->item(row, 2) ? view->item(row, 2)->text() : "no default")
                        .arg(up && up->isEnabled() ? "up" : "")
                        .arg(down && down->isEnabled() ? "down" : ""));
    }
    return rows;
}

// The changes made while the Table or Properties tab is hidden, in the sample plan: Name 1,
// Status 2, Priority 3, Owner 4, Days 5, Due 6; twelve cards, four of them Maria's and two
// Sam's.
enum HiddenChange {
    ValueShowingARow,
    NumberRescalingItsColumn,
    SortedValue,
    NotesShowingARow,
    PropertyRenamed,
    PropertyRetyped,
    DefaultChanged,
    RowsColouredByPriority,
    FontSize,
    CardAdded,
    CardsDeleted,
    PropertyAdded,
    PropertyDeleted,
    SortedPropertyDeleted,
    PropertiesReordered,
    UndoOfAnEditInTheTable,
    UndoOfADeletion,
    UndoOfAPropertyDeletion,
    AddDeleteAndEdit,
    ManyValues,
};

void makeHiddenChange(MainWindow &window, int change)
{
    Document *plan = doc();
    const auto setValue = [plan](TaskIndex task, int property, const char *text) {
        QString value = QString::fromUtf8(text);
        plan->setValue(task, property, value, true);
    };
    switch (change) {
    case ValueShowingARow:
        setValue(1, 4, "Sam");
        break;
    case NumberRescalingItsColumn:
        setValue(0, 5, "40");
        break;
    case SortedValue:
        setValue(5, 1, "Zebra crossing");
        break;
    case NotesShowingARow:
        plan->setTaskNotes(2, QStringLiteral("Ask Maria"), true);
        break;
    case PropertyRenamed:
        plan->setPropertyName(4, QStringLiteral("Lead"), true);
        break;
    case PropertyRetyped:
        plan->setPropertyType(5, PropertyType::Text, true);
        break;
    case DefaultChanged:
        plan->setPropertyDefaultValue(2, QStringLiteral("Done"), true);
        break;
    case RowsColouredByPriority:
        plan->setTableColor(3 + 1, true);
        break;
    case FontSize:
        plan->setTableFontSize(plan->tableFontSize() + 4, true);
        break;
    case CardAdded:
        plan->addTaskWithValues({{1, "Answer mail"}, {4, "Sam"}}, QString(), {}, -1, true);
        break;
    case CardsDeleted:
        plan->deleteTasks({1, 4}, true);
        break;
    case PropertyAdded:
        plan->addProperty(QStringLiteral("Budget"), QStringLiteral("Maria"), PropertyType::Text, {},
                          PropertyVisibility::Text, PropertyAppearance(), true);
        break;
    case PropertyDeleted:
        plan->deleteProperties({3}, true);
        break;
    case SortedPropertyDeleted:
        plan->deleteProperties({1}, true);
        break;
    case PropertiesReordered:
        plan->reorderProperties({{0, 0}, {1, 1}, {2, 3}, {3, 2}, {4, 4}, {5, 5}, {6, 6}}, true);
        break;
    case UndoOfAnEditInTheTable:
        // The edit was made with the Table shown.
        action(window, "m_editUndoAction")->trigger();
        break;
    case UndoOfADeletion:
        plan->deleteTasks({0, 7}, true);
        action(window, "m_editUndoAction")->trigger();
        break;
    case UndoOfAPropertyDeletion:
        plan->deleteProperties({2, 4}, true);
        action(window, "m_editUndoAction")->trigger();
        break;
    case AddDeleteAndEdit:
        plan->addTask(true);
        plan->deleteTasks({0}, true);
        setValue(plan->taskCount() - 1, 4, "Maria");
        plan->setTaskNotes(3, QStringLiteral("Sam"), true);
        break;
    case ManyValues: {
        QList<Document::ValueChange> changes;
        for (int i = 0; i <= 1000; ++i)
            changes.append({{i % plan->taskCount(), 4}, i % 3 == 0 ? "Sam" : "Jonas"});
        plan->setValues(changes, true);
        break;
    }
    }
}

} // namespace

// The Table and Charts tabs and the Cards view's card commands, as the main window wires them.
class TestMainWindowPanes : public QObject
{
    Q_OBJECT
private slots:
    void tableTabShowsEveryCardAndFollowsThePlan();
    void chartsTabDrawsAChartPerValueAndFitsThem();
    void duplicatingCopiesTheSelectionInOneStep_data();
    void duplicatingCopiesTheSelectionInOneStep();
    void deletingRemovesTheSelectionInOneStep_data();
    void deletingRemovesTheSelectionInOneStep();
    void cardsViewEditsTheSelectedCards_data();
    void cardsViewEditsTheSelectedCards();
    void selectAllInTheTableSelectsTheVisibleRows();
    void editPropertyInTheTableEditsTheSelectedColumn();
    void tableCommandsTakeOnlyTheRowsInSight_data();
    void tableCommandsTakeOnlyTheRowsInSight();
    void hiddenTableCatchesUpWhenShown_data();
    void hiddenTableCatchesUpWhenShown();
    void hiddenPropertiesTabCatchesUpWhenShown_data();
    void hiddenPropertiesTabCatchesUpWhenShown();

private:
    QTemporaryDir m_folder;
};

void TestMainWindowPanes::tableTabShowsEveryCardAndFollowsThePlan()
{
    ShownWindow shown(m_folder.path(), TableTab);
    QVERIFY(shown.ok);
    TableView *table = shown.table;
    QVERIFY(table->isVisible());
    auto *pane = shown.window->findChild<TableLeftPane *>();
    auto *splitter = qobject_cast<QSplitter *>(table->parentWidget());
    QVERIFY(splitter && pane);
    QCOMPARE(splitter->indexOf(pane), 0);
    QCOMPARE(splitter->indexOf(table), 1);
    QVERIFY(doc()->taskCount() > 2);
    QCOMPARE(table->rowCount(), doc()->taskCount());

    const int owner = doc()->propertyIndex(QStringLiteral("Owner"));
    const QString before = doc()->value(1, owner);
    DocumentRecorder recorder(*doc());
    table->item(table->rowOfTask(1), owner)->setText(QStringLiteral("Zed"));
    QCOMPARE(recorder.undoTexts, QStringList {"Update Value"});
    QCOMPARE(doc()->value(1, owner), QStringLiteral("Zed"));

    // The appearance section changes the plan, and follows it back on Undo, as does the table.
    auto *fontSize = pane->findChild<QSpinBox *>(QStringLiteral("m_fontSizeSpinBox"));
    const int size = fontSize->value();
    fontSize->setValue(size + 3);
    QCOMPARE(doc()->tableFontSize(), size + 3);
    action(*shown.window, "m_editUndoAction")->trigger();
    QCOMPARE(fontSize->value(), size);
    action(*shown.window, "m_editUndoAction")->trigger();
    QCOMPARE(table->item(table->rowOfTask(1), owner)->text(), before);
}

void TestMainWindowPanes::chartsTabDrawsAChartPerValueAndFitsThem()
{
    ShownWindow shown(m_folder.path(), ChartsTab);
    QVERIFY(shown.ok);
    auto *view = shown.window->findChild<ChartsView *>();
    auto *scene = shown.window->findChild<ChartsScene *>();
    auto *pane = shown.window->findChild<ChartsLeftPane *>();
    QVERIFY(view && scene && pane && view->isVisible());
    QCOMPARE(view->scene(), scene);
    QCOMPARE(scene->chartItems().size(), 1);

    const int status = doc()->propertyIndex(QStringLiteral("Status"));
    QSet<QString> values;
    for (int task = 0; task < doc()->taskCount(); ++task)
        values.insert(doc()->value(task, status));
    QVERIFY(values.size() > 1);
    auto *per = pane->findChild<QComboBox *>(QStringLiteral("m_perComboBox"));
    DocumentRecorder recorder(*doc());
    per->setCurrentIndex(per->findText(QStringLiteral("Status")));
    QCOMPARE(recorder.undoTexts.size(), 1);
    QCOMPARE(scene->chartItems().size(), values.size());

    // A new shape of the view lays the charts out anew, and the view fits them all again.
    shown.window->resize(700, 900);
    QTRY_COMPARE(view->viewport()->size().height() > view->viewport()->size().width(), true);
    const QRect fitted = view->mapFromScene(scene->sceneRect()).boundingRect();
    const QRect area = view->viewport()->rect();
    QVERIFY2(area.adjusted(-2, -2, 2, 2).contains(fitted), "the charts reach out of the view");
    QVERIFY(fitted.width() >= area.width() - 6 || fitted.height() >= area.height() - 6);

    action(*shown.window, "m_editUndoAction")->trigger();
    QCOMPARE(scene->chartItems().size(), 1);
    QCOMPARE(per->currentIndex(), 0);
}

void TestMainWindowPanes::duplicatingCopiesTheSelectionInOneStep_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<bool>("fromCardMenu");
    QTest::addColumn<QString>("wording");
    QTest::newRow("cards, Edit menu") << int(CardsTab) << false << "Duplicate the 2 selected cards";
    QTest::newRow("cards, card menu") << int(CardsTab) << true << "Duplicate the 2 selected cards";
    QTest::newRow("table, Edit menu") << int(TableTab) << false << "Duplicate the 2 selected rows";
}

void TestMainWindowPanes::duplicatingCopiesTheSelectionInOneStep()
{
    QFETCH(int, tab);
    QFETCH(bool, fromCardMenu);
    QFETCH(QString, wording);
    ShownWindow shown(m_folder.path(), Tab(tab));
    QVERIFY(shown.ok);
    if (tab == TableTab)
        shown.table->selectTasks({0, 2});
    else
        shown.cards->selectTasks({0, 2});
    const int cards = doc()->taskCount();
    const QString name = doc()->value(2, 1);
    DocumentRecorder recorder(*doc());
    QString shownWording;
    ModalAnswer answer(QStringLiteral("OK"), {}, [&shownWording](QWidget *dialog) {
        shownWording = dialog->findChild<QLabel *>(QStringLiteral("m_label1"))->text();
        dialog->findChild<QSpinBox *>(QStringLiteral("m_spinBox"))->setValue(3);
    });
    if (fromCardMenu)
        emit shown.window->findChild<CardsView *>()->duplicateSelectedCards();
    else
        action(*shown.window, "m_editDuplicateAction")->trigger();
    QVERIFY(answer.answered());
    QCOMPARE(shownWording, wording);
    QCOMPARE(doc()->taskCount(), cards + 6);
    QCOMPARE(recorder.undoTexts, QStringList {"Duplicate cards"});
    QCOMPARE(doc()->value(cards + 5, 1), name);
}

void TestMainWindowPanes::deletingRemovesTheSelectionInOneStep_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<bool>("fromCardMenu");
    QTest::newRow("table, Edit menu") << int(TableTab) << false;
    QTest::newRow("cards, Edit menu") << int(CardsTab) << false;
    QTest::newRow("cards, card menu") << int(CardsTab) << true;
}

// No question is asked: Undo brings the cards back.
void TestMainWindowPanes::deletingRemovesTheSelectionInOneStep()
{
    QFETCH(int, tab);
    QFETCH(bool, fromCardMenu);
    ShownWindow shown(m_folder.path(), Tab(tab));
    QVERIFY(shown.ok);
    if (tab == TableTab)
        shown.table->selectTasks({1, 3});
    else
        shown.cards->selectTasks({1, 3});
    QAction *remove = action(*shown.window, "m_editDeleteAction");
    QVERIFY(remove->isEnabled());
    const int cards = doc()->taskCount();
    const QString kept = doc()->value(2, 1);
    DocumentRecorder recorder(*doc());
    ModalAnswer question(QStringLiteral("Cancel"), {}, {}, 300);
    if (fromCardMenu)
        emit shown.window->findChild<CardsView *>()->deleteSelectedCards();
    else
        remove->trigger();
    QVERIFY(!question.answered());
    QCOMPARE(doc()->taskCount(), cards - 2);
    QCOMPARE(recorder.undoTexts, QStringList {"Delete Cards"});
    QCOMPARE(doc()->value(1, 1), kept);
    QVERIFY(!remove->isEnabled());
}

void TestMainWindowPanes::cardsViewEditsTheSelectedCards_data()
{
    QTest::addColumn<bool>("doubleClick");
    QTest::newRow("double click") << true;
    QTest::newRow("card menu") << false;
}

void TestMainWindowPanes::cardsViewEditsTheSelectedCards()
{
    QFETCH(bool, doubleClick);
    ShownWindow shown(m_folder.path(), CardsTab);
    QVERIFY(shown.ok);
    shown.cards->selectTasks({0, 1});
    auto *view = shown.window->findChild<CardsView *>();
    ModalAnswer answer(QStringLiteral("Cancel"));
    if (doubleClick)
        emit view->doubleClicked();
    else
        emit view->editSelectedCards();
    QVERIFY(answer.answered());
    QCOMPARE(answer.shownClassName(), QStringLiteral("TaskDialog"));
    QCOMPARE(answer.shownText(), QStringLiteral("Edit 2 Cards"));
}

void TestMainWindowPanes::selectAllInTheTableSelectsTheVisibleRows()
{
    ShownWindow shown(m_folder.path(), TableTab);
    QVERIFY(shown.ok);
    shown.table->setSearch(true, {doc()->value(0, 1)});
    const QList<TaskIndex> visible = shown.table->visibleTasks();
    QVERIFY(!visible.isEmpty() && visible.size() < doc()->taskCount());
    QVERIFY(!action(*shown.window, "m_editDeleteAction")->isEnabled());
    action(*shown.window, "m_editSelectAllAction")->trigger();
    QList<TaskIndex> selected = shown.table->selectedTasks();
    std::sort(selected.begin(), selected.end());
    QCOMPARE(selected, visible);
    QVERIFY(action(*shown.window, "m_editDeleteAction")->isEnabled());
    QVERIFY(action(*shown.window, "m_editTaskAction")->isEnabled());
}

// The notes column is no property: with it selected Edit Property does nothing.
void TestMainWindowPanes::editPropertyInTheTableEditsTheSelectedColumn()
{
    ShownWindow shown(m_folder.path(), TableTab);
    QVERIFY(shown.ok);
    QAction *edit = action(*shown.window, "m_editPropertyAction");
    shown.table->selectColumn(shown.table->notesColumn());
    QVERIFY(!edit->isEnabled());
    {
        ModalAnswer none(QStringLiteral("Cancel"), {}, {}, 300);
        shown.window->onEditPropertyAction();
        QVERIFY(!none.answered());
    }
    const int owner = doc()->propertyIndex(QStringLiteral("Owner"));
    shown.table->selectColumn(owner);
    QVERIFY(edit->isEnabled());
    ModalAnswer answer(QStringLiteral("OK"), {}, [](QWidget *dialog) {
        dialog->findChild<QLineEdit *>(QStringLiteral("m_nameEdit"))
            ->setText(QStringLiteral("Lead"));
    });
    edit->trigger();
    QVERIFY(answer.answered());
    QCOMPARE(answer.shownText(), QStringLiteral("Edit Property"));
    QCOMPARE(doc()->propertyName(owner), QStringLiteral("Lead"));
}

namespace {

enum Gesture { ShiftClickRowHeaders, DragOverRowHeaders, DragOverCells };
enum Command { Delete, Duplicate, Edit };

} // namespace

void TestMainWindowPanes::tableCommandsTakeOnlyTheRowsInSight_data()
{
    QTest::addColumn<int>("gesture");
    QTest::addColumn<int>("firstRow");
    QTest::addColumn<int>("lastRow");
    QTest::addColumn<int>("command");
    QTest::addColumn<QStringList>("namesAfter");
    QTest::addColumn<QStringList>("undoTexts");
    const QStringList blues {"blue1", "blue3", "blue5"};
    QTest::newRow("Shift+click red0 to red4, delete")
        << int(ShiftClickRowHeaders) << 0 << 4 << int(Delete) << blues
        << QStringList {"Delete Cards"};
    QTest::newRow("drag over row headers red0 to red4, delete")
        << int(DragOverRowHeaders) << 0 << 4 << int(Delete) << blues
        << QStringList {"Delete Cards"};
    QTest::newRow("drag over the cells of red0 to red4, delete")
        << int(DragOverCells) << 0 << 4 << int(Delete) << blues << QStringList {"Delete Cards"};
    QTest::newRow("drag over every cell of red2, delete")
        << int(DragOverCells) << 2 << 2 << int(Delete)
        << QStringList {"red0", "blue1", "blue3", "red4", "blue5"} << QStringList {"Delete Card"};
    QTest::newRow("Shift+click red0 to red4, duplicate")
        << int(ShiftClickRowHeaders) << 0 << 4 << int(Duplicate)
        << QStringList {"red0", "blue1", "red2", "blue3", "red4", "blue5", "red0", "red2", "red4"}
        << QStringList {"Duplicate cards"};
    QTest::newRow("Shift+click red0 to red4, edit")
        << int(ShiftClickRowHeaders) << 0 << 4 << int(Edit)
        << QStringList {"red0", "blue1", "red2", "blue3", "red4", "blue5"} << QStringList();
}

// What the filter hides is out of the user's reach: a Shift+click or a drag over it selects
// nothing there, and a row whose shown cells are all selected is selected, though the hidden
// card-index column is not.
void TestMainWindowPanes::tableCommandsTakeOnlyTheRowsInSight()
{
    QFETCH(int, gesture);
    QFETCH(int, firstRow);
    QFETCH(int, lastRow);
    QFETCH(int, command);
    QFETCH(QStringList, namesAfter);
    QFETCH(QStringList, undoTexts);
    ShownWindow shown(m_folder.path(), TableTab,
                      {"red0", "blue1", "red2", "blue3", "red4", "blue5"});
    QVERIFY(shown.ok);
    TableView *table = shown.table;
    typeTableFilter(*shown.window, QStringLiteral("red"));
    QCOMPARE(table->visibleTasks(), QList<TaskIndex>({0, 2, 4}));

    QWidget *headers = table->verticalHeader()->viewport();
    switch (gesture) {
    case ShiftClickRowHeaders:
        QTest::mouseClick(headers, Qt::LeftButton, Qt::NoModifier,
                          rowHeaderCentre(table, firstRow));
        QTest::mouseClick(headers, Qt::LeftButton, Qt::ShiftModifier,
                          rowHeaderCentre(table, lastRow));
        break;
    case DragOverRowHeaders:
        dragWithLeftButton(headers, rowHeaderCentre(table, firstRow),
                           rowHeaderCentre(table, lastRow));
        break;
    case DragOverCells:
        dragWithLeftButton(table->viewport(), cellCentre(table, firstRow, 1),
                           cellCentre(table, lastRow, table->notesColumn()));
        break;
    }
    QList<TaskIndex> chosen;
    for (TaskIndex task : {0, 2, 4}) {
        if (task >= firstRow && task <= lastRow)
            chosen.append(task);
    }
    QCOMPARE(table->selectedTasks(), chosen);

    DocumentRecorder recorder(*doc());
    switch (command) {
    case Delete:
        action(*shown.window, "m_editDeleteAction")->trigger();
        break;
    case Duplicate: {
        ModalAnswer answer(QStringLiteral("OK"), {}, [](QWidget *dialog) {
            dialog->findChild<QSpinBox *>(QStringLiteral("m_spinBox"))->setValue(1);
        });
        action(*shown.window, "m_editDuplicateAction")->trigger();
        QVERIFY(answer.answered());
        break;
    }
    case Edit: {
        ModalAnswer answer(QStringLiteral("Cancel"));
        action(*shown.window, "m_editTaskAction")->trigger();
        QVERIFY(answer.answered());
        QCOMPARE(answer.shownText(), QStringLiteral("Edit %1 Cards").arg(chosen.size()));
        break;
    }
    }
    QCOMPARE(cardNames(), namesAfter);
    QCOMPARE(recorder.undoTexts, undoTexts);

    // Shown again, the rows that were hidden come back unselected.
    typeTableFilter(*shown.window, QString());
    QCOMPARE(table->visibleTasks().size(), doc()->taskCount());
    for (TaskIndex task : table->selectedTasks())
        QVERIFY2(doc()->value(task, 1).startsWith(QLatin1String("red")),
                 qPrintable(doc()->value(task, 1)));
}

void TestMainWindowPanes::hiddenTableCatchesUpWhenShown_data()
{
    QTest::addColumn<int>("change");
    QTest::newRow("a value that shows a hidden row") << int(ValueShowingARow);
    QTest::newRow("a number that rescales its column's colours") << int(NumberRescalingItsColumn);
    QTest::newRow("a value of the sort column") << int(SortedValue);
    QTest::newRow("notes that show a hidden row") << int(NotesShowingARow);
    QTest::newRow("a property renamed") << int(PropertyRenamed);
    QTest::newRow("a property retyped") << int(PropertyRetyped);
    QTest::newRow("rows coloured by a property") << int(RowsColouredByPriority);
    QTest::newRow("the table's font size") << int(FontSize);
    QTest::newRow("a card added") << int(CardAdded);
    QTest::newRow("cards deleted") << int(CardsDeleted);
    QTest::newRow("a property added") << int(PropertyAdded);
    QTest::newRow("a property deleted") << int(PropertyDeleted);
    QTest::newRow("the sort column's property deleted") << int(SortedPropertyDeleted);
    QTest::newRow("properties re-ordered") << int(PropertiesReordered);
    QTest::newRow("undo of an edit made in the Table") << int(UndoOfAnEditInTheTable);
    QTest::newRow("a deletion and its undo") << int(UndoOfADeletion);
    QTest::newRow("properties deleted and the deletion undone") << int(UndoOfAPropertyDeletion);
    QTest::newRow("a card added, one deleted, a value and notes edited") << int(AddDeleteAndEdit);
    QTest::newRow("more values than are worth catching up one by one") << int(ManyValues);
}

// The Table waits while another tab is in front, and shown again it is the table a fresh
// build gives: the same cells, colours, sort and filter.
void TestMainWindowPanes::hiddenTableCatchesUpWhenShown()
{
    QFETCH(int, change);
    ShownWindow shown(m_folder.path(), TableTab);
    QVERIFY(shown.ok);
    TableView *table = shown.table;
    doc()->setTableColor(1, true);
    table->sortByColumn(1, Qt::DescendingOrder);
    typeTableFilter(*shown.window, QStringLiteral("Maria Sam"));
    QVERIFY(table->isRowHidden(table->rowOfTask(1)));
    if (change == UndoOfAnEditInTheTable)
        table->item(table->rowOfTask(2), 4)->setText(QStringLiteral("Maria"));
    const QStringList before = tableContents(table);

    shown.showTab(CardsTab);
    QVERIFY(!table->isVisible());
    makeHiddenChange(*shown.window, change);
    QCOMPARE(tableContents(table), before);

    shown.showTab(TableTab);
    QVERIFY(table->isVisible());
    const QStringList words = tableFilterWords(*shown.window);
    // The sort stays with its property, and goes back to card order with it.
    const int sorted = doc()->propertyIndex(QStringLiteral("Name"));
    const QStringList caughtUp = tableContents(table);
    QCOMPARE(caughtUp,
             sorted > 0 ? freshTableContents(sorted, Qt::DescendingOrder, words)
                        : freshTableContents(0, Qt::AscendingOrder, words));
    // Each change shows; an undo also clears the filter, as a new state of the plan does.
    QVERIFY(caughtUp != before);

    // Edits in the shown table reach the cards the rows show.
    const TaskIndex last = doc()->taskCount() - 1;
    table->item(table->rowOfTask(last), table->notesColumn())->setText(QStringLiteral("Seen"));
    QCOMPARE(doc()->taskNotes(last), QStringLiteral("Seen"));
}

void TestMainWindowPanes::hiddenPropertiesTabCatchesUpWhenShown_data()
{
    QTest::addColumn<int>("change");
    QTest::newRow("a property renamed") << int(PropertyRenamed);
    QTest::newRow("a property retyped") << int(PropertyRetyped);
    QTest::newRow("a default changed") << int(DefaultChanged);
    QTest::newRow("a property added") << int(PropertyAdded);
    QTest::newRow("a property deleted") << int(PropertyDeleted);
    QTest::newRow("properties re-ordered") << int(PropertiesReordered);
    QTest::newRow("properties deleted and the deletion undone") << int(UndoOfAPropertyDeletion);
}

void TestMainWindowPanes::hiddenPropertiesTabCatchesUpWhenShown()
{
    QFETCH(int, change);
    ShownWindow shown(m_folder.path(), CardsTab);
    QVERIFY(shown.ok);
    auto *view = shown.window->findChild<PropertiesView *>();
    shown.showTab(PropertiesTab);
    view->selectRow(4);
    const QStringList before = propertiesContents(view);
    shown.showTab(CardsTab);
    QVERIFY(!view->isVisible());
    makeHiddenChange(*shown.window, change);
    QCOMPARE(propertiesContents(view), before);

    shown.showTab(PropertiesTab);
    PropertiesView fresh;
    Events all;
    all.add(EventType::AllChanged);
    fresh.onChangedDoc(all);
    QCOMPARE(propertiesContents(view), propertiesContents(&fresh));
    QCOMPARE(propertiesContents(view) == before, change == UndoOfAPropertyDeletion);
    // A change in place keeps the user's selection, as it does in sight.
    const bool inPlace
        = change == PropertyRenamed || change == PropertyRetyped || change == DefaultChanged;
    QCOMPARE(view->selectedPropertyIndexes(), inPlace ? QList<int>({5}) : QList<int>());
}

TAVROLO_TEST_MAIN(TestMainWindowPanes)
#include "tst_mainwindowpanes.moc"
