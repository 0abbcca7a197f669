#include "app/UndoHistory.h"
#include "harness/PlainTestMain.h"
#include "model/Document.h"

namespace {

// A plan wired to a history the way the main window wires them: the copy is taken at the
// announcement, the comparison after the change.
class HistoryFixture
{
public:
    HistoryFixture()
    {
        plan.clear(false);
        plan.addProperty(QStringLiteral("Name"), QString(), PropertyType::Text, {},
                         PropertyVisibility::Text, PropertyAppearance(), false);
        QObject::connect(&plan, &Document::aboutToChange,
                         [this](const QString &name) { history.record(plan, name); });
        QObject::connect(&plan, &Document::changed,
                         [this](const Events &) { history.noteChanged(plan); });
    }

    void addCard() { plan.addTask(true); }
    // Announces an edit that turns out to change nothing, as an appearance setter given the
    // value in force does.
    void announceNothing() { plan.setCardsTitle(plan.cardsTitle(), true); }
    bool undo()
    {
        const Document *snapshot = history.undo(plan);
        if (snapshot)
            plan = *snapshot;
        return snapshot;
    }
    bool redo()
    {
        const Document *snapshot = history.redo();
        if (snapshot)
            plan = *snapshot;
        return snapshot;
    }

    Document plan;
    UndoHistory history;
};

} // namespace

class TestUndoHistory : public QObject
{
    Q_OBJECT

private slots:
    void sixteenEditsLeaveFifteenSnapshots();
    void aNewEditAfterUndoDropsTheRedoStates();
    void undoNamesTheEditItTakesBack_data();
    void undoNamesTheEditItTakesBack();
    void undoAtFullCapacityStoresThePlanAndDropsTheOldest();
    void nothingToUndoWhenThePlanEqualsTheOnlySnapshot();
};

void TestUndoHistory::sixteenEditsLeaveFifteenSnapshots()
{
    HistoryFixture f;
    for (int i = 0; i < 16; ++i)
        f.addCard();
    QCOMPARE(f.history.count(), 15);
    int undone = 0;
    while (f.history.canUndo()) {
        QVERIFY(f.undo());
        ++undone;
    }
    // The first undo keeps the plan itself among the fifteen, so the two oldest edits fell off.
    QCOMPARE(undone, 14);
    QCOMPARE(f.plan.taskCount(), 2);
    QCOMPARE(f.history.count(), 15);
}

void TestUndoHistory::aNewEditAfterUndoDropsTheRedoStates()
{
    HistoryFixture f;
    f.addCard();
    f.addCard();
    QVERIFY(f.undo());
    QCOMPARE(f.plan.taskCount(), 1);
    f.plan.addProperty(QStringLiteral("Status"), QString(), PropertyType::Text, {},
                       PropertyVisibility::Text, PropertyAppearance(), true);
    QVERIFY(!f.history.canRedo());
    QCOMPARE(f.history.undoName(), QStringLiteral("Add Property"));
    QVERIFY(f.undo());
    QCOMPARE(f.plan.propertyCount(), 2);
    QCOMPARE(f.plan.taskCount(), 1);
    QCOMPARE(f.history.undoName(), QStringLiteral("Add Card"));
    QVERIFY(f.undo());
    QCOMPARE(f.plan.taskCount(), 0);
}

// An announcement without a change must neither give Undo its name nor keep the name of the
// next real edit from it.
void TestUndoHistory::undoNamesTheEditItTakesBack_data()
{
    QTest::addColumn<QString>("steps"); // a: add a card, n: announce nothing
    QTest::addColumn<QString>("undoName");
    QTest::addColumn<int>("cardsAfterUndo");
    QTest::newRow("edit") << "a"
                          << "Add Card" << 0;
    QTest::newRow("edit, no-op") << "an"
                                 << "Add Card" << 0;
    QTest::newRow("edit, no-op, no-op") << "ann"
                                        << "Add Card" << 0;
    QTest::newRow("edit, no-op, edit") << "ana"
                                       << "Add Card" << 1;
    QTest::newRow("no-op, edit") << "na"
                                 << "Add Card" << 0;
    QTest::newRow("edit, no-op, title") << "ant"
                                        << "Set Cards Title" << 1;
}

void TestUndoHistory::undoNamesTheEditItTakesBack()
{
    QFETCH(QString, steps);
    QFETCH(QString, undoName);
    QFETCH(int, cardsAfterUndo);
    HistoryFixture f;
    for (const QChar step : steps) {
        if (step == QLatin1Char('a'))
            f.addCard();
        else if (step == QLatin1Char('n'))
            f.announceNothing();
        else
            f.plan.setCardsTitle(QStringLiteral("Changed"), true);
    }
    QVERIFY(f.history.canUndo());
    QCOMPARE(f.history.undoName(), undoName);
    const QString titleBefore = f.plan.cardsTitle();
    QVERIFY(f.undo());
    QCOMPARE(f.plan.taskCount(), cardsAfterUndo);
    // Undo took back exactly one real edit.
    if (steps.endsWith(QLatin1Char('t')))
        QVERIFY(f.plan.cardsTitle() != titleBefore);
}

void TestUndoHistory::undoAtFullCapacityStoresThePlanAndDropsTheOldest()
{
    HistoryFixture f;
    for (int i = 0; i < 15; ++i)
        f.addCard();
    QCOMPARE(f.history.count(), 15);
    const int oldestCards = f.history.snapshot(14).taskCount();
    QVERIFY(f.undo());
    QCOMPARE(f.history.count(), 15);
    QCOMPARE(f.history.position(), 1);
    QCOMPARE(f.history.snapshot(0).taskCount(), 15);
    QCOMPARE(f.history.snapshot(14).taskCount(), oldestCards + 1);
    QCOMPARE(f.plan.taskCount(), 14);
    QVERIFY(f.redo());
    QCOMPARE(f.plan.taskCount(), 15);
}

void TestUndoHistory::nothingToUndoWhenThePlanEqualsTheOnlySnapshot()
{
    HistoryFixture f;
    f.announceNothing();
    QCOMPARE(f.history.count(), 1);
    QVERIFY(!f.history.canUndo());
    QVERIFY(!f.undo());
    QVERIFY(!f.history.canRedo());
    QCOMPARE(f.history.count(), 1);
    // The next real edit is undone as usual.
    f.addCard();
    QCOMPARE(f.history.undoName(), QStringLiteral("Add Card"));
    QVERIFY(f.undo());
    QCOMPARE(f.plan.taskCount(), 0);
}

TAVROLO_GUI_TEST_MAIN(TestUndoHistory)
#include "tst_undohistory.moc"
