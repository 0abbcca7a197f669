#include "MainWindowFixture.h"
#include "cards/CardsScene.h"
#include "cards/CardsView.h"
#include "charts/ChartItem.h"
#include "charts/ChartsLeftPane.h"
#include "charts/ChartsScene.h"
#include "charts/ChartsView.h"
#include "common/DelayedEditLineEdit.h"
#include "harness/DocumentRecorder.h"
#include "harness/TestMain.h"
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
#include <QSet>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTemporaryDir>

namespace {

enum Tab { CardsTab = 0, ChartsTab = 1, TableTab = 2 };

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

TAVROLO_TEST_MAIN(TestMainWindowPanes)
#include "tst_mainwindowpanes.moc"
