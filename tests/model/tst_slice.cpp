#include "harness/TestMain.h"
#include "model/Slice.h"

#include <algorithm>

namespace {

CardsAppearance darkAppearance()
{
    CardsAppearance appearance;
    appearance.setDarkDefaults();
    return appearance;
}

QList<int> termProperties(const Slice &view)
{
    QList<int> indexes;
    for (const FilterTerm &term : view.filterTerms)
        indexes.append(term.propertyIndex);
    return indexes;
}

} // namespace

class TestSlice : public QObject
{
    Q_OBJECT
private slots:
    void equalityIgnoresName();
    void storedAppearanceInEquality_data();
    void storedAppearanceInEquality();
    void copyTakesAppearanceOnlyWhenStored();
    void assignmentWithoutAppearanceKeepsTargetAppearance();
    void visibilityOutsideListIsText();
    void removingPropertyAdjustsRolesAndTerms_data();
    void removingPropertyAdjustsRolesAndTerms();
    void remappingFollowsMovedProperties();
    void remappingKeepsCardCountTotal();
    void storedViewsSortCaseSensitively();
};

void TestSlice::equalityIgnoresName()
{
    Slice a;
    Slice b;
    a.name = QStringLiteral("by status");
    b.name = QStringLiteral("other");
    QVERIFY(a == b);
    b.filterTerms.append(FilterTerm(1, MatchType::Is, QStringLiteral("Open")));
    a.filterTerms.append(FilterTerm(1, MatchType::Is, QStringLiteral("open")));
    QVERIFY(a != b); // term values compare exactly
}

void TestSlice::storedAppearanceInEquality_data()
{
    QTest::addColumn<bool>("storeA");
    QTest::addColumn<bool>("storeB");
    QTest::addColumn<bool>("sameAppearance");
    QTest::addColumn<bool>("equal");
    QTest::newRow("neither stores, different") << false << false << false << true;
    QTest::newRow("both store, same") << true << true << true << true;
    QTest::newRow("both store, different") << true << true << false << false;
    QTest::newRow("only one stores") << true << false << true << false;
}

void TestSlice::storedAppearanceInEquality()
{
    QFETCH(bool, storeA);
    QFETCH(bool, storeB);
    QFETCH(bool, sameAppearance);
    QFETCH(bool, equal);
    Slice a;
    Slice b;
    a.storeAppearance = storeA;
    b.storeAppearance = storeB;
    if (!sameAppearance)
        b.appearance = darkAppearance();
    QCOMPARE(a == b, equal);
    QCOMPARE(b == a, equal);
}

void TestSlice::copyTakesAppearanceOnlyWhenStored()
{
    Slice source;
    source.appearance = darkAppearance();
    source.xProperty = 3;
    const Slice plain(source);
    QCOMPARE(plain.xProperty, 3);
    QVERIFY(plain.appearance == CardsAppearance());

    source.storeAppearance = true;
    const Slice withAppearance(source);
    QVERIFY(withAppearance.appearance == darkAppearance());
    QVERIFY(withAppearance == source);
}

void TestSlice::assignmentWithoutAppearanceKeepsTargetAppearance()
{
    Slice target;
    target.storeAppearance = true;
    target.appearance = darkAppearance();
    Slice source;
    source.name = QStringLiteral("plain");
    source.yProperty = 2;
    target = source;
    QVERIFY(!target.storeAppearance);
    QVERIFY(target.appearance == darkAppearance());
    QCOMPARE(target.name, QStringLiteral("plain"));
    QCOMPARE(target.yProperty, 2);
}

void TestSlice::visibilityOutsideListIsText()
{
    Slice view;
    view.appendPropertyVisibility(PropertyVisibility::Hidden);
    view.appendPropertyVisibility(PropertyVisibility::Star);
    QCOMPARE(view.propertyVisibility(-1), int(PropertyVisibility::Text));
    QCOMPARE(view.propertyVisibility(2), int(PropertyVisibility::Text));
    QCOMPARE(view.propertyVisibility(1), int(PropertyVisibility::Star));
    view.setPropertyVisibility(2, PropertyVisibility::Circle);
    view.setPropertyVisibility(-1, PropertyVisibility::Circle);
    QCOMPARE(view.propertyVisibilities, QList<int>({0, 4}));
}

void TestSlice::removingPropertyAdjustsRolesAndTerms_data()
{
    QTest::addColumn<int>("removed");
    QTest::addColumn<QList<int>>("roles"); // x, y, ordering, card colour, highlight, total
    QTest::addColumn<QList<int>>("terms");
    QTest::addColumn<QList<int>>("visibility");
    // Six properties (0 to 5): the total 6 stands for the card count.
    QTest::newRow("x removed") << 2 << QList<int> {0, 2, 0, 4, 0, 5} << QList<int> {4, 0}
                               << QList<int> {0, 1, 3, 4, 5};
    QTest::newRow("below every role")
        << 1 << QList<int> {1, 2, 0, 4, 0, 5} << QList<int> {1, 4, 0} << QList<int> {0, 2, 3, 4, 5};
    QTest::newRow("last property")
        << 5 << QList<int> {2, 3, 0, 0, 0, 5} << QList<int> {2, 0} << QList<int> {0, 1, 2, 3, 4};
}

void TestSlice::removingPropertyAdjustsRolesAndTerms()
{
    QFETCH(int, removed);
    QFETCH(QList<int>, roles);
    QFETCH(QList<int>, terms);
    QFETCH(QList<int>, visibility);
    Slice view;
    view.xProperty = 2;
    view.yProperty = 3;
    view.cardColorProperty = 5;
    view.totalProperty = 6;
    view.propertyVisibilities = {0, 1, 2, 3, 4, 5};
    view.filterTerms = {FilterTerm(2, MatchType::Contains, QStringLiteral("a")),
                        FilterTerm(5, MatchType::Is, QStringLiteral("b")),
                        FilterTerm(0, MatchType::Contains, QStringLiteral("c"))};
    view.removeProperty(removed);
    QCOMPARE((QList<int> {view.xProperty, view.yProperty, view.cellOrderingProperty,
                          view.cardColorProperty, view.highlightColorProperty, view.totalProperty}),
             roles);
    QCOMPARE(termProperties(view), terms);
    QCOMPARE(view.propertyVisibilities, visibility);
}

void TestSlice::remappingFollowsMovedProperties()
{
    Slice view;
    view.xProperty = 1;
    view.yProperty = 3;
    view.highlightColorProperty = 2;
    view.propertyVisibilities = {0, 1, 2, 3};
    view.filterTerms = {FilterTerm(3, MatchType::Is, QStringLiteral("x")),
                        FilterTerm(0, MatchType::Contains, QStringLiteral("y"))};
    // Property 3 moves to the front, 1 and 2 move down.
    view.remapProperties({{0, 0}, {1, 3}, {2, 1}, {3, 2}});
    QCOMPARE(view.xProperty, 2);
    QCOMPARE(view.yProperty, 1);
    QCOMPARE(view.highlightColorProperty, 3);
    QCOMPARE(view.cellOrderingProperty, 0);
    QCOMPARE(view.propertyVisibilities, QList<int>({0, 3, 1, 2}));
    QCOMPARE(termProperties(view), QList<int>({1, 0}));

    // A role whose property is in no entry of the map is lost, not kept on a wrong property.
    Slice lost;
    lost.xProperty = 5;
    lost.remapProperties({{0, 0}, {1, 1}});
    QCOMPARE(lost.xProperty, -1);
}

void TestSlice::remappingKeepsCardCountTotal()
{
    Slice view;
    view.totalProperty = 4; // the card count with four properties
    view.propertyVisibilities = {0, 1, 1, 1};
    view.remapProperties({{0, 0}, {1, 3}, {2, 1}, {3, 2}});
    QCOMPARE(view.totalProperty, 4);
    view.totalProperty = 3;
    view.remapProperties({{0, 0}, {1, 3}, {2, 1}, {3, 2}});
    QCOMPARE(view.totalProperty, 1);
}

void TestSlice::storedViewsSortCaseSensitively()
{
    QList<Slice> views;
    for (const char *name : {"b", "B", "a"}) {
        Slice view;
        view.name = QString::fromLatin1(name);
        views.append(view);
    }
    std::sort(views.begin(), views.end());
    QCOMPARE(views.at(0).name, QStringLiteral("B"));
    QCOMPARE(views.at(1).name, QStringLiteral("a"));
    QCOMPARE(views.at(2).name, QStringLiteral("b"));
}

TAVROLO_TEST_MAIN(TestSlice)
#include "tst_slice.moc"
