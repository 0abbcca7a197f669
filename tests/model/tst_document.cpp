#include "harness/TestMain.h"
#include "model/Document.h"

#include <QSignalSpy>

namespace {

void addProperty(Document &doc, const QString &name, const QString &defaultValue = QString(),
                 const QStringList &predefined = QStringList(), bool undoable = false)
{
    doc.addProperty(name, defaultValue, PropertyType::Automatic, predefined,
                    PropertyVisibility::Text, PropertyAppearance(), undoable);
}

// A plan with properties Status (default "open") and Cost, and three cards.
void fillSmallPlan(Document &doc)
{
    addProperty(doc, QStringLiteral("Status"), QStringLiteral("open"));
    addProperty(doc, QStringLiteral("Cost"));
    for (int i = 0; i < 3; ++i)
        doc.addTask(false);
}

} // namespace

class TestDocument : public QObject
{
    Q_OBJECT
private slots:
    void newDocumentHoldsPlaceholderAndTitle();
    void clearWithoutTitleKeepsOnlyPlaceholder();
    void clearKeepsChangeName();
    void copyComparesEqualAndIsIndependent();
    void differencesCountInEquality_data();
    void differencesCountInEquality();
    void changeNameAndCachesTakeNoPartInEquality();
    void copyDoesNotTakeParentOrConnections();
    void undoableEditsAnnounceAndNotify_data();
    void undoableEditsAnnounceAndNotify();
    void editsWithoutUndoEmitNothing();
    void newCardGetsEveryDefault();
    void newPropertyGetsDefaultForEveryCard();
    void predefinedValuesAreStoredSorted();
    void chartOnCardsStaysOnCardsWhenAddingProperty_data();
    void chartOnCardsStaysOnCardsWhenAddingProperty();
    void totalOnCardsStaysOnCardsWhenAddingProperty_data();
    void totalOnCardsStaysOnCardsWhenAddingProperty();
    void propertyNameAroundCardsIndex_data();
    void propertyNameAroundCardsIndex();
    void uniquePropertyName_data();
    void uniquePropertyName();
    void propertyIndexIgnoresCase();
    void reorderMovesValuesAndViews();
    void reorderWithIdentityEmitsNothing();
    void visiblePropertyCountCountsSymbolsOnly();
    void aspectRatioFallback();
};

void TestDocument::newDocumentHoldsPlaceholderAndTitle()
{
    Document doc;
    QCOMPARE(doc.propertyCount(), 2);
    QCOMPARE(doc.propertyName(0), QStringLiteral("<select>"));
    QCOMPARE(doc.propertyName(1), QStringLiteral("Title"));
    QCOMPARE(doc.propertyVisibility(0), int(PropertyVisibility::Hidden));
    QCOMPARE(doc.propertyVisibility(1), int(PropertyVisibility::Text));
    QCOMPARE(doc.taskCount(), 0);
    QCOMPARE(doc.predefinedValues(1), QStringList());
    Document other;
    QVERIFY(doc == other);
    // The chart counts cards from the start.
    QCOMPARE(doc.propertyName(doc.propertyCount()), QStringLiteral("<cards>"));
}

void TestDocument::clearWithoutTitleKeepsOnlyPlaceholder()
{
    Document doc;
    fillSmallPlan(doc);
    doc.clear(false);
    QCOMPARE(doc.propertyCount(), 1);
    QCOMPARE(doc.taskCount(), 0);
    QCOMPARE(doc.value(0, 1), QString());
    Document fresh;
    fresh.clear(false);
    QVERIFY(doc == fresh);
}

void TestDocument::clearKeepsChangeName()
{
    Document doc;
    doc.setChangeName(QStringLiteral("Add Card"));
    doc.clear(true);
    QCOMPARE(doc.changeName(), QStringLiteral("Add Card"));
}

void TestDocument::copyComparesEqualAndIsIndependent()
{
    Document doc;
    fillSmallPlan(doc);
    doc.task(1).setNotes(QStringLiteral("call back"));
    Document copy(doc);
    QVERIFY(copy == doc);
    QVERIFY(!(copy != doc));

    copy.task(1).setNotes(QStringLiteral("changed in the copy"));
    copy.addTask(false);
    QCOMPARE(doc.task(1).notes(), QStringLiteral("call back"));
    QCOMPARE(doc.taskCount(), 3);
    QVERIFY(copy != doc);

    Document assigned;
    assigned = doc;
    QVERIFY(assigned == doc);
    assigned = assigned; // self-assignment keeps the plan
    QVERIFY(assigned == doc);
}

void TestDocument::differencesCountInEquality_data()
{
    QTest::addColumn<int>("change");
    QTest::newRow("card notes") << 0;
    QTest::newRow("property name case") << 1;
    QTest::newRow("one value") << 2;
    QTest::newRow("predefined values") << 3;
    QTest::newRow("current view") << 4;
    QTest::newRow("stored views") << 5;
    QTest::newRow("property appearance") << 6;
    QTest::newRow("property order") << 7;
    QTest::newRow("declared type") << 8;
    QTest::newRow("text colour handed out on lookup") << 9;
    QTest::newRow("extra card") << 10;
    QTest::newRow("image library") << 11;
    QTest::newRow("cards appearance") << 12;
    QTest::newRow("search text") << 13;
    QTest::newRow("search flag") << 14;
    QTest::newRow("charts settings") << 15;
    QTest::newRow("charts appearance") << 16;
    QTest::newRow("table appearance") << 17;
}

void TestDocument::differencesCountInEquality()
{
    QFETCH(int, change);
    Document doc;
    fillSmallPlan(doc);
    Document other(doc);
    QPixmap picture(4, 4);
    picture.fill(Qt::red);
    switch (change) {
    case 0:
        other.task(2).setNotes(QStringLiteral("x"));
        break;
    case 1:
        other.property(2).setName(QStringLiteral("status"));
        break;
    case 2:
        other.m_values[ValueKey(1, 3)] = QStringLiteral("12");
        break;
    case 3:
        other.m_predefinedValues[3] = QStringList({QStringLiteral("a")});
        break;
    case 4:
        other.setPropertyVisibility(2, PropertyVisibility::Star, false);
        break;
    case 5:
        other.m_storedViews.append(other.m_currentView);
        break;
    case 6:
        other.editablePropertyAppearance(1).setBinSize(5);
        break;
    case 7:
        other.reorderProperties({{0, 0}, {1, 1}, {2, 3}, {3, 2}}, false);
        break;
    case 8:
        other.property(2).setType(PropertyType::Numeric);
        break;
    case 9:
        other.editablePropertyAppearance(2).colorForText(QStringLiteral("open"));
        break;
    case 10:
        other.addTask(false);
        break;
    case 11:
        other.m_images.append(Image(picture, QStringLiteral("red"), QString()));
        break;
    case 12:
        other.m_cardsAppearance.setDarkDefaults();
        break;
    case 13:
        other.m_searchText = QStringLiteral("open");
        break;
    case 14:
        other.m_searchFlag = true;
        break;
    case 15:
        other.m_chartsSettings.hideZeroBars = true;
        break;
    case 16:
        other.m_chartsAppearance.title = QStringLiteral("Costs");
        break;
    case 17:
        other.m_tableAppearance.cellColor = 1;
        break;
    }
    QVERIFY(doc != other);
    QVERIFY(!(doc == other));
    // Assignment brings every one of these fields across.
    doc = other;
    QVERIFY(doc == other);
}

void TestDocument::changeNameAndCachesTakeNoPartInEquality()
{
    Document doc;
    fillSmallPlan(doc);
    Document other(doc);
    other.setChangeName(QStringLiteral("Add Card"));
    QVERIFY(doc == other);
    // A snapshot carries its label through a copy.
    Document snapshot(other);
    QCOMPARE(snapshot.changeName(), QStringLiteral("Add Card"));

    doc.m_actualTypeCache.insert(2, ActualType::Numeric);
    doc.m_numericRangeCache.insert(3, qMakePair(1.0, 9.0));
    doc.m_dateRangeCache.insert(3, qMakePair(QDate(2024, 1, 1), QDate(2024, 2, 1)));
    QVERIFY(doc == other);
    // Caches are never copied: a restored snapshot must detect types afresh.
    Document target;
    target.m_actualTypeCache.insert(1, ActualType::Date);
    target = doc;
    QVERIFY(target.m_actualTypeCache.isEmpty());
    QVERIFY(target.m_numericRangeCache.isEmpty());
    QVERIFY(target.m_dateRangeCache.isEmpty());
    Document copy(doc);
    QVERIFY(copy.m_actualTypeCache.isEmpty());
}

void TestDocument::copyDoesNotTakeParentOrConnections()
{
    QObject owner;
    Document doc(&owner);
    doc.setObjectName(QStringLiteral("plan"));
    int announced = 0;
    connect(&doc, &Document::aboutToChange, [&announced] { ++announced; });
    Document copy(doc);
    QCOMPARE(copy.parent(), nullptr);
    QVERIFY(copy.objectName().isEmpty());
    copy.addTask(true);
    QCOMPARE(announced, 0);
    Document target;
    target = doc;
    QCOMPARE(target.parent(), nullptr);
    doc.addTask(true);
    QCOMPARE(announced, 1);
}

void TestDocument::undoableEditsAnnounceAndNotify_data()
{
    QTest::addColumn<int>("edit");
    QTest::addColumn<QString>("undoText");
    QTest::addColumn<int>("eventType");
    QTest::addColumn<int>("taskIndex");
    QTest::addColumn<int>("propertyIndex");
    QTest::newRow("add property") << 0 << "Add Property" << int(EventType::PropertyAdded) << -1
                                  << 4;
    QTest::newRow("add card") << 1 << "Add Card" << int(EventType::TaskAdded) << 3 << -1;
    QTest::newRow("re-order") << 2 << "Re-order Properties" << int(EventType::PropertiesReordered)
                              << -1 << -1;
    QTest::newRow("visibility") << 3 << "Show/Hide Property On Card"
                                << int(EventType::CardContentChanged) << -1 << -1;
}

void TestDocument::undoableEditsAnnounceAndNotify()
{
    QFETCH(int, edit);
    QFETCH(QString, undoText);
    Document doc;
    fillSmallPlan(doc);
    Document before(doc);
    // The snapshot must be taken before anything changed.
    bool unchangedWhenAnnounced = false;
    connect(&doc, &Document::aboutToChange, [&] { unchangedWhenAnnounced = doc == before; });
    QSignalSpy announced(&doc, &Document::aboutToChange);
    QSignalSpy changed(&doc, &Document::changed);
    switch (edit) {
    case 0:
        addProperty(doc, QStringLiteral("New"), QString(), QStringList(), true);
        break;
    case 1:
        QCOMPARE(doc.addTask(true), 3);
        break;
    case 2:
        doc.reorderProperties({{0, 0}, {1, 2}, {2, 1}}, true);
        break;
    case 3:
        doc.setPropertyVisibility(1, PropertyVisibility::Hidden, true);
        break;
    }
    QCOMPARE(announced.count(), 1);
    QCOMPARE(announced.at(0).at(0).toString(), undoText);
    QVERIFY(unchangedWhenAnnounced);
    QCOMPARE(changed.count(), 1);
    const Events events = changed.at(0).at(0).value<Events>();
    QCOMPARE(events.source, nullptr);
    QCOMPARE(events.events.size(), 1);
    QFETCH(int, eventType);
    QFETCH(int, taskIndex);
    QFETCH(int, propertyIndex);
    QCOMPARE(events.events.at(0), Event(eventType, taskIndex, propertyIndex));
}

void TestDocument::editsWithoutUndoEmitNothing()
{
    Document doc;
    QSignalSpy announced(&doc, &Document::aboutToChange);
    QSignalSpy changed(&doc, &Document::changed);
    fillSmallPlan(doc);
    doc.reorderProperties({{0, 0}, {1, 2}, {2, 1}}, false);
    doc.setPropertyVisibility(1, PropertyVisibility::Circle, false);
    doc.clear(true);
    QCOMPARE(announced.count(), 0);
    QCOMPARE(changed.count(), 0);
}

void TestDocument::newCardGetsEveryDefault()
{
    Document doc;
    fillSmallPlan(doc);
    const TaskIndex card = doc.addTask(false);
    QCOMPARE(doc.value(card, 0), QString());
    QCOMPARE(doc.value(card, 2), QStringLiteral("open"));
    QCOMPARE(doc.task(card).imageIndex(), -1);
    QVERIFY(doc.task(card).notes().isEmpty());
    QCOMPARE(doc.taskIndexes(), QList<int>({0, 1, 2, 3}));
}

void TestDocument::newPropertyGetsDefaultForEveryCard()
{
    Document doc;
    fillSmallPlan(doc);
    addProperty(doc, QStringLiteral("Owner"), QStringLiteral("Kim"));
    for (TaskIndex t : doc.taskIndexes())
        QCOMPARE(doc.value(t, 4), QStringLiteral("Kim"));
    // Existing values stay where they were.
    QCOMPARE(doc.value(0, 2), QStringLiteral("open"));
}

void TestDocument::predefinedValuesAreStoredSorted()
{
    Document doc;
    addProperty(doc, QStringLiteral("Grade"), QString(),
                {QStringLiteral("b"), QStringLiteral("C"), QStringLiteral("a")});
    QCOMPARE(doc.predefinedValues(2),
             QStringList({QStringLiteral("C"), QStringLiteral("a"), QStringLiteral("b")}));
    QVERIFY(doc.isPredefinedValue(2, QStringLiteral("C")));
    QVERIFY(!doc.isPredefinedValue(2, QStringLiteral("c")));
}

void TestDocument::chartOnCardsStaysOnCardsWhenAddingProperty_data()
{
    QTest::addColumn<int>("showProperty");
    QTest::addColumn<int>("expected");
    QTest::newRow("chart on <cards>") << 4 << 5;
    QTest::newRow("chart on a property") << 3 << 3;
    QTest::newRow("chart on none") << 0 << 0;
}

void TestDocument::chartOnCardsStaysOnCardsWhenAddingProperty()
{
    QFETCH(int, showProperty);
    QFETCH(int, expected);
    Document doc;
    QCOMPARE(doc.chartShowProperty(), 2);
    fillSmallPlan(doc);
    QCOMPARE(doc.chartShowProperty(), 4);
    doc.setChartShowProperty(showProperty, false);
    addProperty(doc, QStringLiteral("More"));
    QCOMPARE(doc.chartShowProperty(), expected);
}

void TestDocument::totalOnCardsStaysOnCardsWhenAddingProperty_data()
{
    QTest::addColumn<int>("total");
    QTest::addColumn<int>("expected");
    QTest::newRow("total on <cards>") << 4 << 5;
    QTest::newRow("total on a property") << 3 << 3;
    QTest::newRow("no total") << 0 << 0;
}

void TestDocument::totalOnCardsStaysOnCardsWhenAddingProperty()
{
    QFETCH(int, total);
    QFETCH(int, expected);
    Document doc;
    // A fresh view totals nothing, and adding the first properties keeps it so.
    QCOMPARE(doc.totalProperty(), 0);
    fillSmallPlan(doc);
    doc.setTotalProperty(total, false);
    Slice stored = doc.currentView();
    stored.name = QStringLiteral("stored");
    doc.storedViewsRef().append(stored);
    addProperty(doc, QStringLiteral("More"));
    QCOMPARE(doc.totalProperty(), expected);
    QCOMPARE(doc.storedViews().at(0).totalProperty, expected);
    QCOMPARE(doc.storedViews().at(0).propertyVisibilities.size(), doc.propertyCount());
}

void TestDocument::propertyNameAroundCardsIndex_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("name");
    QTest::newRow("placeholder") << 0 << "<select>";
    QTest::newRow("last property") << 3 << "Cost";
    QTest::newRow("property count") << 4 << "<cards>";
    QTest::newRow("past <cards>") << 5 << "";
    QTest::newRow("negative") << -1 << "";
}

void TestDocument::propertyNameAroundCardsIndex()
{
    QFETCH(int, index);
    QFETCH(QString, name);
    Document doc;
    fillSmallPlan(doc);
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

void TestDocument::propertyIndexIgnoresCase()
{
    Document doc;
    fillSmallPlan(doc);
    QCOMPARE(doc.propertyIndex(QStringLiteral("COST")), 3);
    QCOMPARE(doc.propertyIndex(QStringLiteral("status")), 2);
    QCOMPARE(doc.propertyIndex(QStringLiteral("Owner")), -1);
    QCOMPARE(doc.propertyIndexes(false), QList<int>({1, 2, 3}));
    QCOMPARE(doc.propertyIndexes(true), QList<int>({0, 1, 2, 3}));
}

void TestDocument::reorderMovesValuesAndViews()
{
    Document doc;
    fillSmallPlan(doc);
    addProperty(doc, QStringLiteral("Owner"), QString(), {QStringLiteral("Kim")});
    doc.setPropertyVisibility(3, PropertyVisibility::Star, false);
    for (TaskIndex t : doc.taskIndexes())
        doc.m_values[ValueKey(t, 4)] = QStringLiteral("owner %1").arg(t);
    doc.m_currentView.xProperty = 4;
    doc.m_currentView.totalProperty = 5;
    doc.m_currentView.filterTerms = {FilterTerm(3, MatchType::GreaterThan, QStringLiteral("5")),
                                     FilterTerm(0, MatchType::Contains, QStringLiteral("x"))};
    doc.m_chartsSettings.byProperty = 2;
    doc.m_tableAppearance.cellColor = 4; // coloured by Cost
    // Move Owner (3 is Cost, 4 is Owner) to the front of the user properties.
    const PropertyReorderMap map {{0, 0}, {1, 4}, {2, 1}, {3, 2}, {4, 3}};
    doc.reorderProperties(map, false);
    QCOMPARE(doc.propertyName(1), QStringLiteral("Owner"));
    QCOMPARE(doc.propertyName(3), QStringLiteral("Status"));
    QCOMPARE(doc.propertyName(4), QStringLiteral("Cost"));
    QCOMPARE(doc.predefinedValues(1), QStringList({QStringLiteral("Kim")}));
    QCOMPARE(doc.predefinedValues(3), QStringList());
    QCOMPARE(doc.value(2, 3), QStringLiteral("open"));
    QCOMPARE(doc.propertyVisibility(4), int(PropertyVisibility::Star));
    QCOMPARE(doc.propertyVisibility(0), int(PropertyVisibility::Hidden));
    QCOMPARE(doc.value(1, 1), QStringLiteral("owner 1"));
    QCOMPARE(doc.value(1, 4), QString());
    QCOMPARE(doc.m_currentView.xProperty, 1);
    QCOMPARE(doc.m_currentView.totalProperty, 5);
    QCOMPARE(doc.m_currentView.filterTerms.at(0).propertyIndex, 4);
    QCOMPARE(doc.m_currentView.filterTerms.at(1).propertyIndex, 0);
    QCOMPARE(doc.m_chartsSettings.byProperty, 3);
    QCOMPARE(doc.m_chartsSettings.showProperty, 5);
    QCOMPARE(doc.m_tableAppearance.cellColor, 5);
}

void TestDocument::reorderWithIdentityEmitsNothing()
{
    Document doc;
    fillSmallPlan(doc);
    Document before(doc);
    QSignalSpy announced(&doc, &Document::aboutToChange);
    QSignalSpy changed(&doc, &Document::changed);
    doc.reorderProperties({{0, 0}, {1, 1}, {2, 2}, {3, 3}}, true);
    QCOMPARE(announced.count(), 0);
    QCOMPARE(changed.count(), 0);
    QVERIFY(doc == before);
}

void TestDocument::visiblePropertyCountCountsSymbolsOnly()
{
    Document doc;
    fillSmallPlan(doc);
    QCOMPARE(doc.visiblePropertyCount(), 0);
    doc.setPropertyVisibility(1, PropertyVisibility::Square, false);
    doc.setPropertyVisibility(2, PropertyVisibility::Diamond, false);
    doc.setPropertyVisibility(3, PropertyVisibility::BoldText, false);
    QCOMPARE(doc.visiblePropertyCount(), 2);
    // The placeholder never counts.
    doc.setPropertyVisibility(0, PropertyVisibility::Circle, false);
    QCOMPARE(doc.visiblePropertyCount(), 2);
}

void TestDocument::aspectRatioFallback()
{
    Document doc;
    doc.m_cardsAppearance.aspectRatio = 0.05;
    QCOMPARE(doc.cardAspectRatio(), 1.3);
    QCOMPARE(doc.scaledCardWidth(), 19.5);
    QCOMPARE(doc.limitedCardWidth(), 19.5);
    doc.m_cardsAppearance.aspectRatio = 2.0;
    QCOMPARE(doc.limitedCardWidth(), 390.0);
}

TAVROLO_TEST_MAIN(TestDocument)
#include "tst_document.moc"
