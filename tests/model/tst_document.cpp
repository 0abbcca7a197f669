#include "harness/TestMain.h"
#include "tests/model/PlanFixture.h"

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

QStringList storedNames(const Document &doc)
{
    QStringList names;
    for (const Slice &view : doc.storedViews())
        names << view.name;
    return names;
}

Document::ValueChange change(TaskIndex task, int property, const QString &text)
{
    return Document::ValueChange(ValueKey(task, property), text);
}

} // namespace

class TestDocument : public QObject
{
    Q_OBJECT
private slots:
    void newAndClearedPlansHoldOnlyPlaceholders();
    void copiesAreIndependentPlans();
    void differencesCountInEquality_data();
    void differencesCountInEquality();
    void cachesAndChangeNameStayOutOfEqualityAndCopies();
    void undoableEditAnnouncesOldPlanThenReports_data();
    void undoableEditAnnouncesOldPlanThenReports();
    void editWithoutUndoIsSilentAndSame_data() { undoableEditAnnouncesOldPlanThenReports_data(); }
    void editWithoutUndoIsSilentAndSame();
    void editsThatChangeNothingEmitNothing_data();
    void editsThatChangeNothingEmitNothing();
    void newCardsAndPropertiesTakeDefaults();
    void cardCountRoleStaysOnCardsWhenAddingProperty_data();
    void cardCountRoleStaysOnCardsWhenAddingProperty();
    void propertyNameAroundCardsIndex_data();
    void propertyNameAroundCardsIndex();
    void uniquePropertyName_data();
    void uniquePropertyName();
    void reorderMovesValuesAndViews();
    void visiblePropertyCountCountsSymbolsOnly();
    void damagedAspectRatioFallsBack();
    void storingKeepsOneSortedEntryPerNameAndSettings();
    void changeViewRestoresAppearanceOnlyWhenStored_data();
    void changeViewRestoresAppearanceOnlyWhenStored();
    void currentStoredViewNameFollowsChanges();
    void deletingRemovesViewsWithEqualSettings();
    void viewDescription_data();
    void viewDescription();
    void clearFilterKeepsModeAndChoices();
    void searchIsTrimmedAndNeverUndoable();
    void appearanceSetterWritesViewCopyOnlyWhenViewKeepsOne_data();
    void appearanceSetterWritesViewCopyOnlyWhenViewKeepsOne();
};

void TestDocument::newAndClearedPlansHoldOnlyPlaceholders()
{
    Document doc;
    QCOMPARE(doc.propertyName(0), QStringLiteral("<select>"));
    QCOMPARE(doc.propertyName(1), QStringLiteral("Title"));
    // The chart counts cards from the start.
    QCOMPARE(doc.propertyName(doc.chartShowProperty()), QStringLiteral("<cards>"));
    QVERIFY(doc == Document());

    fillUndoPlan(doc);
    doc.setChangeName(QStringLiteral("Add Card"));
    doc.clear(false);
    QCOMPARE(doc.propertyCount(), 1);
    QCOMPARE(doc.taskCount(), 0);
    QCOMPARE(doc.changeName(), QStringLiteral("Add Card"));
    Document fresh;
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
    QVERIFY(copy == doc);
    QCOMPARE(copy.parent(), nullptr);

    copy.task(1).setNotes(QStringLiteral("changed in the copy"));
    copy.addTask(true);
    QVERIFY(doc.task(1).notes().isEmpty());
    QCOMPARE(doc.taskCount(), 4);
    QVERIFY(copy != doc);
    // The copy must not report its edits to the original's listeners (the undo list).
    QCOMPARE(announced, 0);

    Document assigned;
    assigned = doc;
    assigned = assigned;
    QVERIFY(assigned == doc);
    QCOMPARE(assigned.parent(), nullptr);
}

void TestDocument::differencesCountInEquality_data()
{
    QTest::addColumn<Edit>("edit");
    QPixmap picture(4, 4);
    picture.fill(Qt::red);
    QTest::newRow("card notes") << Edit([](Document &d, bool) { d.task(2).setNotes("x"); });
    QTest::newRow("property name case")
        << Edit([](Document &d, bool) { d.property(Status).setName("status"); });
    QTest::newRow("one value") << Edit([](Document &d, bool) { d.m_values[{1, Cost}] = "12"; });
    QTest::newRow("predefined values")
        << Edit([](Document &d, bool) { d.m_predefinedValues[Cost] = QStringList {"a"}; });
    QTest::newRow("current view") << Edit([](Document &d, bool) {
        d.setPropertyVisibility(Status, PropertyVisibility::Star, false);
    });
    QTest::newRow("stored views") << Edit(
        [](Document &d, bool) { d.m_storedViews.append(d.m_currentView); });
    QTest::newRow("property appearance")
        << Edit([](Document &d, bool) { d.editablePropertyAppearance(Name).setBinSize(5); });
    QTest::newRow("property order") << Edit([](Document &d, bool) {
        d.reorderProperties({{0, 0}, {1, 1}, {2, 3}, {3, 2}, {4, 4}}, false);
    });
    QTest::newRow("declared type")
        << Edit([](Document &d, bool) { d.property(Status).setType(PropertyType::Numeric); });
    QTest::newRow("text colour handed out on lookup") << Edit(
        [](Document &d, bool) { d.editablePropertyAppearance(Status).colorForText("open"); });
    QTest::newRow("extra card") << Edit([](Document &d, bool) { d.addTask(false); });
    QTest::newRow("image library") << Edit(
        [picture](Document &d, bool) { d.m_images.append(Image(picture, "red", QString())); });
    QTest::newRow("cards appearance")
        << Edit([](Document &d, bool) { d.m_cardsAppearance.setDarkDefaults(); });
    QTest::newRow("search text") << Edit([](Document &d, bool) { d.m_searchText = "open"; });
    QTest::newRow("search flag") << Edit([](Document &d, bool) { d.m_searchFlag = true; });
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

void TestDocument::cachesAndChangeNameStayOutOfEqualityAndCopies()
{
    Document doc;
    fillUndoPlan(doc);
    Document other(doc);
    other.setChangeName(QStringLiteral("Add Card"));
    QVERIFY(doc == other);
    QCOMPARE(Document(other).changeName(), QStringLiteral("Add Card"));

    doc.m_actualTypeCache.insert(Status, ActualType::Numeric);
    doc.m_numericRangeCache.insert(Cost, qMakePair(1.0, 9.0));
    doc.m_dateRangeCache.insert(Due, qMakePair(QDate(2024, 1, 1), QDate(2024, 2, 1)));
    QVERIFY(doc == other);
    // A restored snapshot must detect types afresh.
    Document target;
    target.m_actualTypeCache.insert(1, ActualType::Date);
    target = doc;
    QVERIFY(target.m_actualTypeCache.isEmpty() && target.m_numericRangeCache.isEmpty()
            && target.m_dateRangeCache.isEmpty());
    QVERIFY(Document(doc).m_actualTypeCache.isEmpty());
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
    QTest::newRow("hide images") << "Hide Images: 9:-1:-1" << Edit([](Document &d, bool u) {
        d.setShowImages(false, 0, 1, u);
    });
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
    QTest::newRow("duplicate one card")
        << "Duplicate card: 1:4:-1"
        << Edit([](Document &d, bool u) { d.duplicateTasks({1}, 1, u); });
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
    QTest::newRow("replace in names")
        << "Replace 'a' with 'x': 6:0:1 6:1:1 6:2:1 6:3:1" << Edit([](Document &d, bool u) {
               d.replaceText("a", "x", Qt::CaseInsensitive, true, Name, 0, 0, 0, true, u);
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
    QTest::newRow("set one value")
        << "Update Value: 6:0:3"
        << Edit([](Document &d, bool u) { d.setValues({change(0, Cost, "11")}, u); });
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
    QTest::newRow("rename a value to itself")
        << Edit([](Document &d, bool u) { d.renameValue(Status, "open", "open", u); });
    QTest::newRow("remove a value that is not predefined")
        << Edit([](Document &d, bool u) { d.removePredefinedValue(Status, "open", u); });
    QTest::newRow("same table font size")
        << Edit([](Document &d, bool u) { d.setTableFontSize(12, u); });
    QTest::newRow("same table colouring")
        << Edit([](Document &d, bool u) { d.setTableColor(0, u); });
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

void TestDocument::newCardsAndPropertiesTakeDefaults()
{
    Document doc;
    fillUndoPlan(doc);
    doc.setPropertyDefaultValue(Status, QStringLiteral("open"), false);
    const TaskIndex plain = doc.addTask(false);
    QCOMPARE(doc.value(plain, Status), QStringLiteral("open"));
    QCOMPARE(doc.task(plain).imageIndex(), -1);

    const QList<HyperLink> links {HyperLink(QUrl(QStringLiteral("https://example.org/a/")))};
    const TaskIndex given = doc.addTaskWithValues(
        {{Status, "late"}, {Name, "Write"}, {Status, "done"}}, "notes", links, 3, false);
    QCOMPARE(doc.value(given, Status), QStringLiteral("done"));
    QCOMPARE(doc.value(given, Name), QStringLiteral("Write"));
    QCOMPARE(doc.taskLinks(given), links);
    QCOMPARE(doc.taskImage(given), 3);

    doc.addProperty(QStringLiteral("Owner"), QStringLiteral("Kim"), PropertyType::Automatic, {},
                    PropertyVisibility::Text, PropertyAppearance(), false);
    QCOMPARE(column(doc, 5).count(QStringLiteral("Kim")), doc.taskCount());
    QCOMPARE(doc.value(1, Status), QStringLiteral("done"));
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
    QCOMPARE(doc.totalProperty(), 0);
    fillUndoPlan(doc);
    doc.setTotalProperty(role, false);
    doc.setChartShowProperty(role, false);
    Slice stored = doc.currentView();
    stored.name = QStringLiteral("stored");
    doc.storedViewsRef().append(stored);
    addProperty(doc, QStringLiteral("More"));
    QCOMPARE(doc.totalProperty(), expected);
    QCOMPARE(doc.chartShowProperty(), expected);
    QCOMPARE(doc.storedViews().at(0).totalProperty, expected);
    QCOMPARE(doc.storedViews().at(0).propertyVisibilities.size(), doc.propertyCount());
}

void TestDocument::propertyNameAroundCardsIndex_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("name");
    QTest::newRow("placeholder") << 0 << "<select>";
    QTest::newRow("last property") << 4 << "Due";
    QTest::newRow("property count") << 5 << "<cards>";
    QTest::newRow("past <cards>") << 6 << "";
    QTest::newRow("negative") << -1 << "";
}

void TestDocument::propertyNameAroundCardsIndex()
{
    QFETCH(int, index);
    QFETCH(QString, name);
    Document doc;
    fillUndoPlan(doc);
    QCOMPARE(doc.propertyName(index), name);
}

void TestDocument::uniquePropertyName_data()
{
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("wanted");
    QTest::addColumn<QString>("unique");
    QTest::newRow("next free number") << QStringList({"Cost", "Cost1"}) << "Cost"
                                      << "Cost2";
    QTest::newRow("case ignored") << QStringList({"cost"}) << "COST"
                                  << "COST1";
    QTest::newRow("free name trimmed") << QStringList({"Cost"}) << "  Price "
                                       << "Price";
    QTest::newRow("taken name trimmed") << QStringList({"Cost"}) << " Cost "
                                        << "Cost1";
    QTest::newRow("title taken") << QStringList() << "title"
                                 << "title1";
}

void TestDocument::uniquePropertyName()
{
    QFETCH(QStringList, existing);
    QFETCH(QString, wanted);
    QFETCH(QString, unique);
    Document doc;
    for (const QString &name : existing)
        addProperty(doc, name);
    QCOMPARE(doc.uniquePropertyName(wanted), unique);
}

void TestDocument::reorderMovesValuesAndViews()
{
    Document doc;
    fillUndoPlan(doc);
    doc.m_predefinedValues[Due] = QStringList {"1/1/2020"};
    doc.setPropertyVisibility(Cost, PropertyVisibility::Star, false);
    Slice &view = doc.m_currentView;
    view.xProperty = view.yProperty = view.cellOrderingProperty = Due;
    view.cardColorProperty = view.highlightColorProperty = Due;
    view.totalProperty = 5;
    doc.m_currentView.filterTerms
        = {FilterTerm(Cost, MatchType::GreaterThan, "5"), FilterTerm(0, MatchType::Contains, "x")};
    doc.m_chartsSettings.byProperty = Status;
    doc.m_chartsSettings.showProperty = 5;
    doc.m_tableAppearance.cellColor = Cost + 1; // coloured by Cost
    // Due moves to the front: Name, Status and Cost move down by one.
    doc.reorderProperties({{0, 0}, {1, 4}, {2, 1}, {3, 2}, {4, 3}}, false);
    QCOMPARE(doc.propertyName(1), QStringLiteral("Due"));
    QCOMPARE(doc.propertyName(4), QStringLiteral("Cost"));
    QCOMPARE(column(doc, 1), (QStringList {"1/3/2025", "", "", ""}));
    QCOMPARE(column(doc, 4), (QStringList {"10", "", "25", "5"}));
    QCOMPARE(doc.predefinedValues(1), QStringList {"1/1/2020"});
    QCOMPARE(doc.predefinedValues(4), QStringList());
    QCOMPARE(doc.propertyVisibility(4), int(PropertyVisibility::Star));
    QCOMPARE(doc.propertyVisibility(0), int(PropertyVisibility::Hidden));
    QCOMPARE((QList<int> {view.xProperty, view.yProperty, view.cellOrderingProperty,
                          view.cardColorProperty, view.highlightColorProperty, view.totalProperty}),
             (QList<int> {1, 1, 1, 1, 1, 5}));
    QCOMPARE(doc.m_currentView.filterTerms.at(0).propertyIndex, 4);
    QCOMPARE(doc.m_currentView.filterTerms.at(1).propertyIndex, 0);
    QCOMPARE(doc.m_chartsSettings.byProperty, 3);
    QCOMPARE(doc.m_chartsSettings.showProperty, 5);
    QCOMPARE(doc.m_tableAppearance.cellColor, 5);
}

void TestDocument::visiblePropertyCountCountsSymbolsOnly()
{
    Document doc;
    fillUndoPlan(doc);
    QCOMPARE(doc.visiblePropertyCount(), 0);
    doc.setPropertyVisibility(0, PropertyVisibility::Circle, false); // the placeholder never counts
    doc.setPropertyVisibility(Name, PropertyVisibility::Square, false);
    doc.setPropertyVisibility(Status, PropertyVisibility::Diamond, false);
    doc.setPropertyVisibility(Cost, PropertyVisibility::BoldText, false);
    QCOMPARE(doc.visiblePropertyCount(), 2);
}

void TestDocument::damagedAspectRatioFallsBack()
{
    Document doc;
    doc.m_cardsAppearance.aspectRatio = 0.05;
    QCOMPARE(doc.cardAspectRatio(), 1.3);
    QCOMPARE(doc.limitedCardWidth(), 19.5);
    doc.m_cardsAppearance.aspectRatio = 2.0;
    QCOMPARE(doc.limitedCardWidth(), 390.0);
}

void TestDocument::storingKeepsOneSortedEntryPerNameAndSettings()
{
    Document doc;
    fillUndoPlan(doc);
    int x = 0;
    for (const char *name : {"b", "B", "a", "b"}) {
        doc.setXProperty(++x, false);
        doc.addStoredView(QLatin1String(name), false, false);
    }
    QCOMPARE(storedNames(doc), (QStringList {"B", "a", "b"}));
    QCOMPARE(doc.storedViews().at(2).xProperty, 4);
    QCOMPARE(doc.currentView().name, QStringLiteral("b"));
    // The same settings under another name replace the older name.
    doc.addStoredView(QStringLiteral("Board"), false, false);
    QCOMPARE(storedNames(doc), (QStringList {"B", "Board", "a"}));
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
}

void TestDocument::currentStoredViewNameFollowsChanges()
{
    Document doc;
    fillUndoPlan(doc);
    doc.addStoredView(QStringLiteral("Board"), true, false);
    doc.setXProperty(Cost, false);
    QCOMPARE(doc.currentStoredViewName(), QString());
    doc.changeView(QStringLiteral("Board"), false);
    QCOMPARE(doc.currentStoredViewName(), QStringLiteral("Board"));
    // The view keeps its appearance, so changing the appearance leaves the stored view.
    doc.setCardsFooter(QStringLiteral("Draft"), false);
    QCOMPARE(doc.currentStoredViewName(), QString());
    doc.changeView(QStringLiteral("Board"), false);
    doc.setFilter(true, true, true, oneTerm(QStringLiteral("open")), false, false);
    QCOMPARE(doc.currentStoredViewName(), QString());
}

void TestDocument::deletingRemovesViewsWithEqualSettings()
{
    Document doc;
    fillUndoPlan(doc);
    doc.addStoredView(QStringLiteral("Board"), false, false);
    // A plan file may hold two names for the same settings.
    Slice twin = doc.currentView();
    twin.name = QStringLiteral("Copy");
    doc.storedViewsRef().append(twin);
    doc.setXProperty(Cost, false);
    doc.addStoredView(QStringLiteral("Other"), false, false);

    doc.deleteStoredView(QStringLiteral("Board"), false);
    QCOMPARE(storedNames(doc), QStringList {"Other"});
}

void TestDocument::viewDescription_data()
{
    QTest::addColumn<QList<int>>("roles"); // x, y, card colour, total
    QTest::addColumn<bool>("basic");
    QTest::addColumn<bool>("showMatching");
    QTest::addColumn<QString>("termValue");
    QTest::addColumn<QString>("description");
    const QString none;
    QTest::newRow("nothing") << QList<int> {0, 0, 0, 0} << true << true << none << "unnamed";
    QTest::newRow("x, y and colour")
        << QList<int> {2, 1, 3, 0} << true << true << none << "Status vs Name/Cost";
    QTest::newRow("only y and total")
        << QList<int> {0, 1, 0, 4} << true << true << none << "Name/Due";
    QTest::newRow("basic filter showing") << QList<int> {2, 0, 0, 0} << true << true << "open"
                                          << "Status/Show \"open\"";
    QTest::newRow("basic filter hiding") << QList<int> {0, 0, 0, 0} << true << false << "done"
                                         << "Hide \"done\"";
    QTest::newRow("basic filter with empty word") << QList<int> {2, 0, 0, 0} << true << true << ""
                                                  << "Status";
    QTest::newRow("advanced filter") << QList<int> {2, 0, 0, 0} << false << true << ""
                                     << "Status/Filtered";
}

void TestDocument::viewDescription()
{
    QFETCH(QList<int>, roles);
    QFETCH(bool, basic);
    QFETCH(bool, showMatching);
    QFETCH(QString, termValue);
    QFETCH(QString, description);
    Document doc;
    fillUndoPlan(doc);
    doc.setXProperty(roles.at(0), false);
    doc.setYProperty(roles.at(1), false);
    doc.setCardColorProperty(roles.at(2), false);
    doc.setHighlightColorProperty(Name, false);
    doc.setTotalProperty(roles.at(3), false);
    const bool filtered = !termValue.isNull() || !basic;
    doc.setFilter(basic, showMatching, true, filtered ? oneTerm(termValue) : QList<FilterTerm>(),
                  false, false);
    QCOMPARE(doc.viewDescription(), description);
}

void TestDocument::clearFilterKeepsModeAndChoices()
{
    Document doc;
    fillUndoPlan(doc);
    doc.setFilter(true, false, false, oneTerm(QStringLiteral("done")), false, false);
    DocumentRecorder recorder(doc);
    doc.clearFilter(true);
    QCOMPARE(doc.filterTerms(), QList<FilterTerm>());
    QVERIFY(doc.filterBasic() && !doc.filterShowsMatching() && !doc.filterMatchAny());
    QCOMPARE(recorder.undoTexts, QStringList {"Clear Filter"});
    QCOMPARE(eventText(recorder), QStringLiteral("10:-1:-1"));
}

void TestDocument::searchIsTrimmedAndNeverUndoable()
{
    Document doc;
    DocumentRecorder recorder(doc);
    doc.setSearch(QStringLiteral("  release \t"), true, true);
    doc.setSearch(QStringLiteral("  quiet "), true, false);
    QCOMPARE(doc.searchText(), QStringLiteral("quiet"));
    QVERIFY(doc.searchFlag());
    QVERIFY(recorder.undoTexts.isEmpty());
    QCOMPARE(eventText(recorder), QStringLiteral("15:-1:-1"));
}

void TestDocument::appearanceSetterWritesViewCopyOnlyWhenViewKeepsOne_data()
{
    QTest::addColumn<bool>("viewKeepsAppearance");
    QTest::newRow("view keeps appearance") << true;
    QTest::newRow("view without appearance") << false;
}

void TestDocument::appearanceSetterWritesViewCopyOnlyWhenViewKeepsOne()
{
    QFETCH(bool, viewKeepsAppearance);
    Document doc;
    doc.editableCurrentView().storeAppearance = viewKeepsAppearance;
    doc.setCardsTitle(QStringLiteral("Backlog"), true);
    QCOMPARE(doc.cardsTitle(), QStringLiteral("Backlog"));
    QCOMPARE(doc.currentView().appearance.title, QString(viewKeepsAppearance ? "Backlog" : ""));
    doc.setCardsAppearance(darkAppearance(), true);
    QVERIFY(doc.cardsAppearance() == darkAppearance());
    QCOMPARE(doc.currentView().appearance == darkAppearance(), viewKeepsAppearance);
}

TAVROLO_TEST_MAIN(TestDocument)
#include "tst_document.moc"
