#include "harness/PlainTestMain.h"
#include "harness/TestPlanKey.h"
#include "model/TableAppearance.h"
#include "storage/PlanFileReader.h"
#include "storage/PlanFileWriter.h"
#include "tests/model/PlanFixture.h"

#include <QTemporaryDir>
#include <QVector>

using namespace PlanFixture;

namespace {

// Four cards; Status laid out as columns, labels shown.
void fillUndoPlan(Document &doc)
{
    fillPlan(doc,
             {{"Alpha", "open", "10", "1/3/2025"},
              {"Beta", "done", "", ""},
              {"Gamma", "open", "25", ""},
              {"Delta", "", "5", ""}});
    doc.setXProperty(Status, false);
    doc.setShowLabels(true, false);
}

CardsAppearance darkAppearance()
{
    CardsAppearance appearance;
    appearance.setDarkDefaults();
    return appearance;
}

QList<FilterTerm> oneTerm(const QString &value)
{
    return {FilterTerm(Status, MatchType::Contains, value)};
}

Document::ValueChange change(TaskIndex task, int property, const QString &text)
{
    return Document::ValueChange(ValueKey(task, property), text);
}

// An edit a pane makes in its own name.
using SourcedEdit = std::function<void(Document &, QObject *source)>;

} // namespace

Q_DECLARE_METATYPE(SourcedEdit)
Q_DECLARE_METATYPE(EventMask)

class TestDocument : public QObject
{
    Q_OBJECT
private slots:
    void newAndClearedPlansHoldOnlyPlaceholders_data();
    void newAndClearedPlansHoldOnlyPlaceholders();
    void copiesAreIndependentPlans();
    void differencesCountInEquality_data();
    void differencesCountInEquality();
    void fontsCompareByFamilyOnly();
    void undoableEditAnnouncesOldPlanThenReports_data();
    void undoableEditAnnouncesOldPlanThenReports();
    void editWithoutUndoIsSilentAndSame_data() { undoableEditAnnouncesOldPlanThenReports_data(); }
    void editWithoutUndoIsSilentAndSame();
    void editsThatChangeNothingEmitNothing_data();
    void editsThatChangeNothingEmitNothing();
    void snapshotKeepsItsPlanThroughLaterEdits_data()
    {
        undoableEditAnnouncesOldPlanThenReports_data();
    }
    void snapshotKeepsItsPlanThroughLaterEdits();
    void pairWithoutEntryStaysApartFromEmptyText_data();
    void pairWithoutEntryStaysApartFromEmptyText();
    void cardCountRoleStaysOnCardsWhenAddingProperty_data();
    void cardCountRoleStaysOnCardsWhenAddingProperty();
    void propertyIndexesFollowDeletionAndReorder_data();
    void propertyIndexesFollowDeletionAndReorder();
    void damagedAspectRatioFallsBack();
    void changeViewRestoresAppearanceOnlyWhenStored_data();
    void changeViewRestoresAppearanceOnlyWhenStored();
    void appearanceSetterWritesViewCopyOnlyWhenViewKeepsOne();
    void viewDescriptionNamesRolesAndFilter_data();
    void viewDescriptionNamesRolesAndFilter();
    void paneEditsNameTheirSource_data();
    void paneEditsNameTheirSource();
    void unknownCodesMatchNoMask();
};

void TestDocument::newAndClearedPlansHoldOnlyPlaceholders_data()
{
    QTest::addColumn<int>("reset"); // -1 none, 0 clear(false), 1 clear(true)
    QTest::addColumn<QStringList>("names");
    QTest::newRow("constructed") << -1 << QStringList {"<select>", "Title"};
    QTest::newRow("new plan") << 1 << QStringList {"<select>", "Title"};
    QTest::newRow("cleared for reading") << 0 << QStringList {"<select>"};
}

// A new plan shows its title on cards, never the placeholder, and counts cards in its chart.
void TestDocument::newAndClearedPlansHoldOnlyPlaceholders()
{
    QFETCH(int, reset);
    QFETCH(QStringList, names);
    Document doc;
    if (reset >= 0) {
        fillUndoPlan(doc);
        doc.addStoredView(QStringLiteral("Board"), true, false);
        doc.clear(reset == 1);
    }
    QStringList found;
    for (const int property : doc.propertyIndexes(true))
        found << doc.propertyName(property);
    QCOMPARE(found, names);
    QCOMPARE(doc.propertyVisibility(0), int(PropertyVisibility::Hidden));
    if (names.size() > 1)
        QCOMPARE(doc.propertyVisibility(1), int(PropertyVisibility::Text));
    QCOMPARE(doc.currentView().propertyVisibilities.size(), names.size());
    QCOMPARE(doc.taskCount(), 0);
    QVERIFY(doc.storedViews().isEmpty());
    QCOMPARE(doc.propertyName(doc.chartShowProperty()), QStringLiteral("<cards>"));
    Document fresh;
    if (reset == 0)
        fresh.clear(false);
    QVERIFY(doc == fresh);
}

void TestDocument::copiesAreIndependentPlans()
{
    QObject owner;
    Document doc(&owner);
    fillUndoPlan(doc);
    int announced = 0;
    connect(&doc, &Document::aboutToChange, [&announced] { ++announced; });
    Document copy(doc);
    QCOMPARE(copy.parent(), nullptr);
    // The undo text is no part of the plan: it must not mark the plan as changed.
    copy.setChangeName(QStringLiteral("Add Card"));
    QVERIFY(copy == doc);

    copy.editableTask(1, TestPlanKey::key()).setNotes(QStringLiteral("changed in the copy"));
    copy.addTask(true);
    QVERIFY(doc.task(1).notes().isEmpty());
    QCOMPARE(doc.taskCount(), 4);
    // The copy must not report its edits to the original's listeners (the undo list).
    QCOMPARE(announced, 0);

    Document assigned;
    assigned = copy;
    assigned = assigned;
    QVERIFY(assigned == copy);
    QCOMPARE(assigned.parent(), nullptr);
}

void TestDocument::differencesCountInEquality_data()
{
    QTest::addColumn<Edit>("edit");
    QPixmap picture(4, 4);
    picture.fill(Qt::red);
    QTest::newRow("card notes") << Edit(
        [](Document &d, bool) { d.editableTask(2, TestPlanKey::key()).setNotes("x"); });
    QTest::newRow("property name case") << Edit([](Document &d, bool) {
        d.editableProperty(Status, TestPlanKey::key()).setName("status");
    });
    QTest::newRow("one value") << Edit(
        [](Document &d, bool) { d.m_values.setText(1, Cost, "12"); });
    QTest::newRow("predefined values")
        << Edit([](Document &d, bool) { d.m_predefinedValues[Cost] = QStringList {"a"}; });
    QTest::newRow("current view") << Edit([](Document &d, bool) {
        d.setPropertyVisibility(Status, PropertyVisibility::Star, false);
    });
    QTest::newRow("stored views") << Edit(
        [](Document &d, bool) { d.m_storedViews.append(d.m_currentView); });
    QTest::newRow("text colour handed out on lookup") << Edit([](Document &d, bool) {
        d.editablePropertyAppearance(Status, TestPlanKey::key()).colorForText("open");
    });
    QTest::newRow("image library") << Edit(
        [picture](Document &d, bool) { d.m_images.append(Image(picture, "red", QString())); });
    QTest::newRow("cards appearance")
        << Edit([](Document &d, bool) { d.m_cardsAppearance.setDarkDefaults(); });
    QTest::newRow("charts settings")
        << Edit([](Document &d, bool) { d.m_chartsSettings.hideZeroBars = true; });
    QTest::newRow("charts appearance")
        << Edit([](Document &d, bool) { d.m_chartsAppearance.title = "Costs"; });
    QTest::newRow("table appearance")
        << Edit([](Document &d, bool) { d.m_tableAppearance.cellColor = 1; });
}

// Equality decides whether a plan has unsaved changes; assignment restores undo snapshots.
void TestDocument::differencesCountInEquality()
{
    QFETCH(Edit, edit);
    Document doc;
    fillUndoPlan(doc);
    Document other(doc);
    edit(other, false);
    QVERIFY(doc != other);
    QVERIFY(!(doc == other));
    doc = other;
    QVERIFY(doc == other);
}

// Only the family of a font counts, so that a plan does not turn modified when it is opened
// on a machine with other font sizes.
void TestDocument::fontsCompareByFamilyOnly()
{
    CardsAppearance cards;
    cards.cardFont.setPointSize(31);
    QVERIFY(cards == CardsAppearance());
    cards.cardFont.setFamily(QStringLiteral("Serif"));
    QVERIFY(cards != CardsAppearance());
    TableAppearance table;
    table.font.setPointSize(30);
    QVERIFY(table == TableAppearance());
}

void TestDocument::undoableEditAnnouncesOldPlanThenReports_data()
{
    // Undo texts apart by '|', then the events as type:card:property, changes apart by " | ".
    QTest::addColumn<QString>("expected");
    QTest::addColumn<Edit>("edit");

    QTest::newRow("add property") << "Add Property: 3:-1:5" << Edit([](Document &d, bool u) {
        d.addProperty("New", "", 0, {}, PropertyVisibility::Text, PropertyAppearance(), u);
    });
    QTest::newRow("add card") << "Add Card: 1:4:-1"
                              << Edit([](Document &d, bool u) { d.addTask(u); });
    QTest::newRow("add card with values") << "Add Card: 1:4:-1" << Edit([](Document &d, bool u) {
        d.addTaskWithValues({{Status, "late"}}, "notes", {}, -1, u);
    });
    QTest::newRow("re-order properties")
        << "Re-order Properties: 16:-1:-1" << Edit([](Document &d, bool u) {
               d.reorderProperties({{0, 0}, {1, 2}, {2, 1}, {3, 3}, {4, 4}}, u);
           });
    QTest::newRow("hide property on cards")
        << "Show/Hide Property On Card: 9:-1:-1" << Edit([](Document &d, bool u) {
               d.setPropertyVisibility(Name, PropertyVisibility::Hidden, u);
           });
    QTest::newRow("cards title") << "Set Cards Title: 13:-1:-1 8:-1:-1"
                                 << Edit([](Document &d, bool u) { d.setCardsTitle("Q3", u); });
    QTest::newRow("card font") << "Set Card Font: 13:-1:-1" << Edit([](Document &d, bool u) {
        d.setCardFont(QFont("DejaVu Serif"), u);
    });
    QTest::newRow("whole cards appearance")
        << "Set Cards Appearance: 8:-1:-1 13:-1:-1"
        << Edit([](Document &d, bool u) { d.setCardsAppearance(darkAppearance(), u); });
    QTest::newRow("swap x and y") << "Swap X/Y: 10:-1:-1 8:-1:-1"
                                  << Edit([](Document &d, bool u) { d.swapXY(u); });
    QTest::newRow("cells totals") << "Show Cells Totals: 10:-1:-1"
                                  << Edit([](Document &d, bool u) { d.setShowCellsTotals(1, u); });
    QTest::newRow("hide labels") << "Hide Labels: 9:-1:-1"
                                 << Edit([](Document &d, bool u) { d.setShowLabels(false, u); });
    QTest::newRow("charts title") << "Set Charts Title: 21:-1:-1 20:-1:-1"
                                  << Edit(
                                         [](Document &d, bool u) { d.setChartsTitle("Costs", u); });
    QTest::newRow("charts gradient")
        << "Set Charts Gradient: 21:-1:-1"
        << Edit([](Document &d, bool u) { d.setChartsGradient(0, u); });
    QTest::newRow("whole charts appearance")
        << "Set Charts Appearance: 20:-1:-1 21:-1:-1" << Edit([](Document &d, bool u) {
               ChartsAppearance appearance;
               appearance.footer = QStringLiteral("Draft");
               d.setChartsAppearance(appearance, u);
           });
    QTest::newRow("table font size")
        << "Set Table Font Size: 22:-1:-1"
        << Edit([](Document &d, bool u) { d.setTableFontSize(15, u); });
    QTest::newRow("filter from the filter section")
        << "Change Filter: 12:-1:-1" << Edit([](Document &d, bool u) {
               d.setFilter(false, false, false, oneTerm("open"), u, false);
           });
    QTest::newRow("filter from a column menu")
        << "Change Filter: 10:-1:-1" << Edit([](Document &d, bool u) {
               d.setFilter(false, false, false, oneTerm("open"), u, true);
           });
    QTest::newRow("delete two cards")
        << "Delete Cards: 2:3:-1 2:1:-1" << Edit([](Document &d, bool u) {
               d.deleteTasks({3, 1}, u);
           });
    QTest::newRow("delete one card") << "Delete Card|Delete Card: 2:1:-1"
                                     << Edit([](Document &d, bool u) { d.deleteTask(1, u); });
    QTest::newRow("duplicate two cards twice")
        << "Duplicate cards: 1:4:-1 1:5:-1 1:6:-1 1:7:-1" << Edit([](Document &d, bool u) {
               d.duplicateTasks({0, 2}, 2, u);
           });
    QTest::newRow("delete properties")
        << "Delete Properties: 5:-1:4 5:-1:2" << Edit([](Document &d, bool u) {
               d.deleteProperties({Status, Due}, u);
           });
    QTest::newRow("declare numbers as text")
        << "Edit Property: 4:-1:3"
        << Edit([](Document &d, bool u) { d.setPropertyType(Cost, PropertyType::Text, u); });
    QTest::newRow("word among numbers changes the type")
        << "Update Value: 6:1:3 4:-1:3" << Edit([](Document &d, bool u) {
               QString word = QStringLiteral("soon");
               d.setValue(1, Cost, word, u);
           });
    QTest::newRow("replace with long text")
        << QString::fromUtf8("Replace 'lpha' with 'abcdefghi…': 6:0:1")
        << Edit([](Document &d, bool u) {
               d.replaceText("lpha", "abcdefghijkl", Qt::CaseSensitive, true, 0, 0, 0, 0, true, u);
           });
    QTest::newRow("replace with placeholder")
        << "Replace 'Beta' with '%1': 6:1:1" << Edit([](Document &d, bool u) {
               d.replaceText("Beta", "%1", Qt::CaseSensitive, true, 0, 0, 0, 0, true, u);
           });
    QTest::newRow("set three values")
        << "Update Values: 6:0:3 6:1:3 6:2:3" << Edit([](Document &d, bool u) {
               d.setValues({change(0, Cost, "11"), change(1, Cost, "12"), change(2, Cost, "13")},
                           u);
           });
    QTest::newRow("rename value") << "Rename value: 6:0:2 6:2:2 8:-1:-1"
                                  << Edit([](Document &d, bool u) {
                                         d.renameValue(Status, "open", "started", u);
                                     });
}

// The undo list keeps a copy of the plan taken at the announcement: it must hold the old plan,
// or undo would bring back the new one. Other panes update by the reported events.
void TestDocument::undoableEditAnnouncesOldPlanThenReports()
{
    QFETCH(QString, expected);
    QFETCH(Edit, edit);
    Document doc;
    fillUndoPlan(doc);
    const Document before(doc);
    DocumentRecorder recorder(doc);

    edit(doc, true);

    QCOMPARE(recorder.undoTexts.join(QLatin1Char('|')) + ": " + eventText(recorder), expected);
    QVERIFY(*recorder.snapshots.front() == before);
    QVERIFY(doc != before);
    QCOMPARE(recorder.changes.first().source, nullptr);
}

void TestDocument::editWithoutUndoIsSilentAndSame()
{
    QFETCH(Edit, edit);
    Document doc;
    fillUndoPlan(doc);
    Document undoable(doc);
    DocumentRecorder recorder(doc);
    edit(doc, false);
    edit(undoable, true);
    QVERIFY(recorder.isSilent());
    QVERIFY(doc == undoable);
}

void TestDocument::editsThatChangeNothingEmitNothing_data()
{
    QTest::addColumn<Edit>("edit");
    QTest::newRow("re-order to the same order") << Edit([](Document &d, bool u) {
        d.reorderProperties({{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}}, u);
    });
    QTest::newRow("remove a value that is not predefined")
        << Edit([](Document &d, bool u) { d.removePredefinedValue(Status, "open", u); });
    QTest::newRow("rename a value to itself")
        << Edit([](Document &d, bool u) { d.renameValue(Status, "open", "open", u); });
    // Calls that name cards or properties outside the plan are refused whole.
    const auto reorder = [](const PropertyReorderMap &map) {
        return Edit([map](Document &d, bool u) { d.reorderProperties(map, u); });
    };
    QTest::newRow("re-order leaving a property out") << reorder({{0, 0}, {1, 2}, {2, 1}, {3, 3}});
    QTest::newRow("re-order moving the placeholder")
        << reorder({{0, 1}, {1, 0}, {2, 2}, {3, 3}, {4, 4}});
    QTest::newRow("re-order from past the end")
        << reorder({{0, 0}, {1, 5}, {2, 2}, {3, 3}, {4, 4}});
    QTest::newRow("re-order taking one property twice")
        << reorder({{0, 0}, {1, 1}, {2, 1}, {3, 3}, {4, 4}});
    for (const int card : {-1, 4}) {
        QTest::addRow("links for card %d", card) << Edit([card](Document &d, bool u) {
            d.addTaskLinks(card, {HyperLink(QUrl("https://example.org"))}, u);
        });
        QTest::addRow("values with one for card %d", card) << Edit([card](Document &d, bool u) {
            d.setValues({change(0, Cost, "11"), change(card, Status, "x")}, u);
        });
    }
    for (const int property : {-1, 5}) {
        QTest::addRow("values with one on property %d", property)
            << Edit([property](Document &d, bool u) {
                   d.setValues({change(0, Cost, "11"), change(1, property, "x")}, u);
               });
        QTest::addRow("rename in property %d", property) << Edit(
            [property](Document &d, bool u) { d.renameValue(property, "open", "started", u); });
    }
    QTest::newRow("same table font size")
        << Edit([](Document &d, bool u) { d.setTableFontSize(12, u); });
    QTest::newRow("bold table font of the same family") << Edit([](Document &d, bool u) {
        QFont font = d.tableFont();
        font.setBold(true);
        d.setTableFont(font, u);
    });
}

void TestDocument::editsThatChangeNothingEmitNothing()
{
    QFETCH(Edit, edit);
    for (const bool undoable : {true, false}) {
        Document doc;
        fillUndoPlan(doc);
        const Document before(doc);
        DocumentRecorder recorder(doc);
        edit(doc, undoable);
        QVERIFY(recorder.isSilent());
        QVERIFY(doc == before);
        QVERIFY(!doc.tableFont().bold());
    }
}

// A snapshot shares its data with the plan until one of them changes; an edit of the plan must
// never reach into the snapshot, or undo brings back the edited plan.
void TestDocument::snapshotKeepsItsPlanThroughLaterEdits()
{
    QFETCH(Edit, edit);
    Document doc;
    fillUndoPlan(doc);
    const Document snapshot(doc);
    edit(doc, true);
    // Built apart, so that nothing is shared with the snapshot and equality looks at every
    // value.
    Document unedited;
    fillUndoPlan(unedited);
    QVERIFY(snapshot == unedited);

    doc = snapshot;
    edit(doc, false);
    QVERIFY(snapshot == unedited);
    QVERIFY(doc != unedited);
}

void TestDocument::pairWithoutEntryStaysApartFromEmptyText_data()
{
    // Card 4 has no entries; card 3's Status is the empty text. After the edit: where the
    // entry-less card and Status are, and whether that card has an entry now.
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<int>("card");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("entry");
    QTest::newRow("copy") << Edit([](Document &d, bool) {
        const Document copy(d);
        d.clear(true);
        d = copy;
    }) << 4 << int(Status) << false;
    QTest::newRow("later card deleted")
        << Edit([](Document &d, bool u) { d.deleteTasks({5}, u); }) << 4 << int(Status) << false;
    // Every card that moves down gets an entry for every property.
    QTest::newRow("earlier card deleted")
        << Edit([](Document &d, bool u) { d.deleteTasks({0}, u); }) << 3 << int(Status) << true;
    QTest::newRow("property deleted")
        << Edit([](Document &d, bool u) { d.deleteProperties({Name}, u); }) << 4 << int(Name)
        << false;
    QTest::newRow("properties re-ordered") << Edit([](Document &d, bool u) {
        d.reorderProperties({{0, 0}, {1, 2}, {2, 1}, {3, 3}, {4, 4}}, u);
    }) << 4 << int(Name) << false;
    QTest::newRow("copy of the card")
        << Edit([](Document &d, bool u) { d.duplicateTasks({4}, 1, u); }) << 6 << int(Status)
        << true;
    QTest::newRow("saved and read back") << Edit([](Document &d, bool) {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("plan.tv"));
        QString error;
        bool later = false;
        QVERIFY(writePlanFile(d, path, &error));
        QVERIFY(readPlanFile(d, path, &error, &later));
    }) << 4 << int(Status) << true;
}

// A pair without an entry reads as the empty text, but setting a value stores nothing for it;
// the plan's edits, copies and equality must keep the two apart.
void TestDocument::pairWithoutEntryStaysApartFromEmptyText()
{
    QFETCH(Edit, edit);
    QFETCH(int, card);
    QFETCH(int, status);
    QFETCH(bool, entry);
    Document doc;
    fillUndoPlan(doc);
    doc.m_tasks.append(Task());
    doc.m_values.appendTask();
    doc.addTask(false);
    edit(doc, true);

    const int emptyCard = card - 1;
    QCOMPARE(doc.value(card, status), QString());
    QCOMPARE(doc.value(emptyCard, status), QString());
    Document withEntry(doc);
    withEntry.m_values.setText(card, status, QString());
    QCOMPARE(withEntry == doc, entry);

    for (const TaskIndex task : {card, emptyCard}) {
        QString text = QStringLiteral("set");
        doc.setValue(task, status, text, true);
    }
    QCOMPARE(doc.value(card, status), entry ? QStringLiteral("set") : QString());
    QCOMPARE(doc.value(emptyCard, status), QStringLiteral("set"));
}

void TestDocument::cardCountRoleStaysOnCardsWhenAddingProperty_data()
{
    QTest::addColumn<int>("role");
    QTest::addColumn<int>("expected");
    QTest::newRow("on <cards>") << 5 << 6;
    QTest::newRow("on a property") << 3 << 3;
    QTest::newRow("on none") << 0 << 0;
}

// The cards total and the chart's summed property count cards at the property count; adding a
// property must move them along, in the current and in every stored view.
void TestDocument::cardCountRoleStaysOnCardsWhenAddingProperty()
{
    QFETCH(int, role);
    QFETCH(int, expected);
    Document doc;
    fillUndoPlan(doc);
    doc.setTotalProperty(role, false);
    doc.setChartShowProperty(role, false);
    doc.storedViewsRef(TestPlanKey::key()).append(doc.currentView());
    addProperty(doc, QStringLiteral("More"));
    QCOMPARE(doc.totalProperty(), expected);
    QCOMPARE(doc.chartShowProperty(), expected);
    QCOMPARE(doc.storedViews().at(0).totalProperty, expected);
    QCOMPARE(doc.storedViews().at(0).propertyVisibilities.size(), doc.propertyCount());
}

void TestDocument::propertyIndexesFollowDeletionAndReorder_data()
{
    QTest::addColumn<int>("role");
    QTest::addColumn<int>("afterDeletion"); // of P2
    QTest::addColumn<int>("afterReorder"); // P4 to the front
    QTest::newRow("none") << 0 << 0 << 0;
    QTest::newRow("before the deleted one") << 1 << 1 << 2;
    QTest::newRow("the deleted one") << 2 << 0 << 3;
    QTest::newRow("last") << 4 << 3 << 1;
}

// Whatever names a property (view roles, filter terms, symbols, chart and table settings, in
// the current and in stored views) must follow it; the card count must stay the card count.
void TestDocument::propertyIndexesFollowDeletionAndReorder()
{
    QFETCH(int, role);
    QFETCH(int, afterDeletion);
    QFETCH(int, afterReorder);
    for (const bool reorder : {false, true}) {
        Document doc;
        fillProperties(doc, {"P1", "P2", "P3", "P4"});
        Slice &view = doc.m_currentView;
        view.xProperty = view.yProperty = view.cellOrderingProperty = role;
        view.cardColorProperty = view.highlightColorProperty = role;
        view.filterTerms = {FilterTerm(role, MatchType::Contains, QString())};
        view.setPropertyVisibility(role, PropertyVisibility::Star);
        view.totalProperty = doc.m_chartsSettings.showProperty = 5;
        doc.m_chartsSettings.byProperty = doc.m_chartsSettings.perProperty = role;
        doc.m_tableAppearance.cellColor = role + 1;
        doc.m_storedViews.append(view);
        if (reorder)
            doc.reorderProperties({{0, 0}, {1, 4}, {2, 1}, {3, 2}, {4, 3}}, true);
        else
            doc.deleteProperties({2}, true);

        const int after = reorder ? afterReorder : afterDeletion;
        const bool kept = role == 0 || after > 0;
        QCOMPARE((QVector<int> {doc.xProperty(), doc.yProperty(), doc.cellOrderingProperty(),
                                doc.cardColorProperty(), doc.highlightColorProperty(),
                                doc.chartByProperty(), doc.chartPerProperty(),
                                doc.storedViews().at(0).xProperty}),
                 QVector<int>(8, after));
        QCOMPARE(doc.totalProperty(), doc.propertyCount());
        QCOMPARE(doc.chartShowProperty(), doc.propertyCount());
        QCOMPARE(doc.m_tableAppearance.cellColor, kept ? after + 1 : 0);
        QCOMPARE(view.filterTerms.size(), kept ? 1 : 0);
        QCOMPARE(view.propertyVisibilities.count(PropertyVisibility::Star), kept ? 1 : 0);
        if (kept) {
            QCOMPARE(view.filterTerms.at(0).propertyIndex, after);
            QCOMPARE(doc.propertyVisibility(after), int(PropertyVisibility::Star));
        }
        // Names, values and predefined values must have moved as one.
        Document expected;
        fillProperties(expected,
                       reorder ? QStringList {"P4", "P1", "P2", "P3"}
                               : QStringList {"P1", "P3", "P4"});
        doc.m_currentView = expected.m_currentView;
        doc.m_storedViews.clear();
        doc.m_chartsSettings = expected.m_chartsSettings;
        doc.m_tableAppearance = expected.m_tableAppearance;
        QVERIFY(doc == expected);
    }
}

void TestDocument::damagedAspectRatioFallsBack()
{
    Document doc;
    doc.m_cardsAppearance.aspectRatio = 0.05;
    QCOMPARE(doc.cardAspectRatio(), 1.3);
    QCOMPARE(doc.limitedCardWidth(), 19.5);
}

void TestDocument::changeViewRestoresAppearanceOnlyWhenStored_data()
{
    QTest::addColumn<bool>("withAppearance");
    QTest::addColumn<QString>("events");
    QTest::newRow("with appearance") << true << "10:-1:-1 13:-1:-1";
    QTest::newRow("without appearance") << false << "10:-1:-1";
}

void TestDocument::changeViewRestoresAppearanceOnlyWhenStored()
{
    QFETCH(bool, withAppearance);
    QFETCH(QString, events);
    Document doc;
    fillUndoPlan(doc);
    doc.setCardsTitle(QStringLiteral("Stored title"), false);
    doc.addStoredView(QStringLiteral("Board"), withAppearance, false);
    doc.setXProperty(Cost, false);
    doc.setCardsTitle(QStringLiteral("Later title"), false);
    DocumentRecorder recorder(doc);

    doc.changeView(QStringLiteral("Board"), true);

    QCOMPARE(recorder.undoTexts, QStringList {"Change View"});
    QCOMPARE(eventText(recorder), events);
    QCOMPARE(doc.xProperty(), int(Status));
    QCOMPARE(doc.cardsTitle(), QString(withAppearance ? "Stored title" : "Later title"));
    QCOMPARE(doc.currentStoredViewName(), QStringLiteral("Board"));
    QVERIFY(doc.hasStoredView(QStringLiteral("Board")));
    QVERIFY(!doc.hasStoredView(QStringLiteral("board")));
}

void TestDocument::appearanceSetterWritesViewCopyOnlyWhenViewKeepsOne()
{
    for (const bool viewKeepsAppearance : {false, true}) {
        Document doc;
        doc.editableCurrentView(TestPlanKey::key()).storeAppearance = viewKeepsAppearance;
        doc.setCardsTitle(QStringLiteral("Backlog"), true);
        QCOMPARE(doc.cardsTitle(), QStringLiteral("Backlog"));
        QCOMPARE(doc.currentView().appearance.title, QString(viewKeepsAppearance ? "Backlog" : ""));
        doc.setCardsAppearance(darkAppearance(), true);
        QCOMPARE(doc.currentView().appearance == darkAppearance(), viewKeepsAppearance);
    }
}

void TestDocument::viewDescriptionNamesRolesAndFilter_data()
{
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<QString>("expected");
    const auto view = [](std::function<void(Slice &)> set) {
        return Edit([set](Document &d, bool) { set(d.editableCurrentView(TestPlanKey::key())); });
    };
    QTest::newRow("nothing set") << view([](Slice &) {}) << "unnamed";
    QTest::newRow("x, y and colour") << view([](Slice &v) {
        v.xProperty = Status;
        v.yProperty = Name;
        v.cardColorProperty = Cost;
    }) << "Status vs Name/Cost";
    QTest::newRow("y and total") << view([](Slice &v) {
        v.yProperty = Due;
        v.totalProperty = Cost;
    }) << "Due/Cost";
    QTest::newRow("basic filter hiding") << view([](Slice &v) {
        v.xProperty = Status;
        v.filterBasic = true;
        v.filterShowsMatching = false;
        v.filterTerms = oneTerm("open");
    }) << "Status/Hide \"open\"";
    QTest::newRow("basic filter without a value") << view([](Slice &v) {
        v.filterBasic = true;
        v.filterTerms = oneTerm(QString());
    }) << "unnamed";
    QTest::newRow("advanced filter") << view([](Slice &v) {
        v.filterBasic = false;
        v.filterTerms = oneTerm(QString());
    }) << "Filtered";
}

// The description is offered as the name of a view the user stores.
void TestDocument::viewDescriptionNamesRolesAndFilter()
{
    QFETCH(Edit, edit);
    QFETCH(QString, expected);
    Document doc;
    fillUndoPlan(doc);
    doc.editableCurrentView(TestPlanKey::key()).xProperty = 0;
    edit(doc, false);
    QCOMPARE(doc.viewDescription(), expected);
}

// A section of the Cards left pane tells its own edits from those of others by the object the
// change names: each edit it makes reports the section, and a receiver's mask picks out the
// events it is told of.
void TestDocument::paneEditsNameTheirSource_data()
{
    QTest::addColumn<SourcedEdit>("edit");
    QTest::addColumn<EventMask>("reported");
    const EventMask layout = EventFlag::CardsLayoutChanged;
    const EventMask content = EventFlag::CardContentChanged;
    const EventMask appearance = EventFlag::CardsAppearanceChanged;
    QTest::newRow("X property") << SourcedEdit([](Document &d, QObject *source) {
        d.setXProperty(Cost, true, source);
    }) << layout;
    QTest::newRow("row/column colour")
        << SourcedEdit([](Document &d, QObject *source) { d.setRowColColor(1, true, source); })
        << layout;
    QTest::newRow("swap X and Y") << SourcedEdit([](Document &d, QObject *source) {
        d.swapXY(true, source);
    }) << (EventFlag::ViewChanged | EventFlag::CardsLayoutChanged);
    QTest::newRow("property shown as a star") << SourcedEdit([](Document &d, QObject *source) {
        d.setPropertyVisibility(Status, PropertyVisibility::Star, true, source);
    }) << content;
    QTest::newRow("images shown") << SourcedEdit([](Document &d, QObject *source) {
        d.setShowImages(true, 1, 2, true, source);
    }) << content;
    QTest::newRow("filter") << SourcedEdit([](Document &d, QObject *source) {
        d.setFilter(true, true, true, oneTerm("open"), true, false, source);
    }) << EventMask(EventFlag::FilterChanged);
    QTest::newRow("search") << SourcedEdit([](Document &d, QObject *source) {
        d.setSearch(QStringLiteral("open"), false, true, source);
    }) << EventMask(EventFlag::SearchChanged);
    QTest::newRow("card font size")
        << SourcedEdit([](Document &d, QObject *source) { d.setCardFontSize(120, true, source); })
        << appearance;
    QTest::newRow("cards title") << SourcedEdit([](Document &d, QObject *source) {
        d.setCardsTitle(QStringLiteral("Plan"), true, source);
    }) << (appearance | layout);
    QTest::newRow("whole appearance") << SourcedEdit([](Document &d, QObject *source) {
        d.setCardsAppearance(darkAppearance(), true, source);
    }) << (appearance | layout);
}

void TestDocument::paneEditsNameTheirSource()
{
    QFETCH(SourcedEdit, edit);
    QFETCH(EventMask, reported);
    Document doc;
    fillUndoPlan(doc);
    QObject pane;
    DocumentRecorder recorder(doc);

    edit(doc, &pane);

    QCOMPARE(recorder.changes.size(), 1);
    const Events &events = recorder.changes.first();
    QCOMPARE(events.source, &pane);
    QVERIFY(events.any(reported));
    for (int type = EventType::AllChanged; type <= EventType::TableAppearanceChanged; ++type) {
        const EventMask one = eventMask(type);
        QCOMPARE(events.any(one), bool(reported & one));
    }
    // Without a source the same edit names none.
    recorder.clear();
    edit(doc, nullptr);
    QCOMPARE(recorder.changes.size(), 1);
    QCOMPARE(recorder.changes.first().source, nullptr);
}

// A damaged or newer notification's code beyond the table is heard by no receiver.
void TestDocument::unknownCodesMatchNoMask()
{
    const EventMask everything = ~EventMask();
    Events events;
    events.add(-1);
    events.add(EventType::TableAppearanceChanged + 1);
    events.add(31);
    events.add(32);
    QVERIFY(!events.any(everything));
    events.add(EventType::TableAppearanceChanged);
    QVERIFY(events.any(everything));
    QVERIFY(events.any(EventFlag::TableAppearanceChanged));
    QVERIFY(!events.any(EventFlag::AllChanged));
}

TAVROLO_GUI_TEST_MAIN(TestDocument)
#include "tst_document.moc"
