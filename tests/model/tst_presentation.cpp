#include "harness/TestMain.h"
#include "model/CardsAppearance.h"
#include "model/ChartsAppearance.h"
#include "model/ChartsSettings.h"
#include "model/TableAppearance.h"

class TestPresentation : public QObject
{
    Q_OBJECT
private slots:
    void newCardsAppearanceHasDefaults();
    void darkDefaultsDifferInFourColoursOnly();
    void fontsCompareByFamilyOnly();
    void chartsPropertyRemoved_data();
    void chartsPropertyRemoved();
    void chartsRemapKeepsCardCount();
    void tablePropertyRemoved_data();
    void tablePropertyRemoved();
    void tableColouringFollowsReorder_data();
    void tableColouringFollowsReorder();
};

void TestPresentation::newCardsAppearanceHasDefaults()
{
    CardsAppearance appearance;
    appearance.title = QStringLiteral("Plan");
    appearance.aspectRatio = 2.0;
    appearance.setDefaults();
    QVERIFY(appearance == CardsAppearance());
    QVERIFY(appearance.title.isEmpty());
    QCOMPARE(appearance.cardFont.family(), QStringLiteral("Helvetica Neue"));
    QVERIFY(ChartsAppearance() == ChartsAppearance());
    QVERIFY(TableAppearance() == TableAppearance());
}

void TestPresentation::darkDefaultsDifferInFourColoursOnly()
{
    CardsAppearance dark;
    dark.setDarkDefaults();
    QVERIFY(dark != CardsAppearance());
    QCOMPARE(dark.backgroundColor, QColor(82, 82, 82));
    CardsAppearance light = dark;
    light.lineColor = QColor(0, 0, 0);
    light.backgroundColor = QColor(255, 255, 255);
    light.headerTextColor = QColor(0, 0, 0);
    light.headerColor = QColor(235, 235, 235);
    QVERIFY(light == CardsAppearance());
}

void TestPresentation::fontsCompareByFamilyOnly()
{
    CardsAppearance a;
    CardsAppearance b;
    b.cardFont.setPointSize(31);
    b.cardFont.setBold(true);
    QVERIFY(a == b);
    b.cardFont.setFamily(QStringLiteral("Serif"));
    QVERIFY(a != b);

    ChartsAppearance charts;
    ChartsAppearance otherCharts;
    otherCharts.font.setItalic(true);
    QVERIFY(charts == otherCharts);
    TableAppearance table;
    TableAppearance otherTable;
    otherTable.font.setPointSize(30);
    QVERIFY(table == otherTable);
    otherTable.fontSize = 13;
    QVERIFY(table != otherTable);
}

void TestPresentation::chartsPropertyRemoved_data()
{
    QTest::addColumn<int>("removed");
    QTest::addColumn<QList<int>>("before"); // show, by, per
    QTest::addColumn<QList<int>>("after");
    QTest::newRow("show removed") << 3 << QList<int> {3, 4, 2} << QList<int> {0, 3, 2};
    // With four properties the show property 4 counts cards, and still does with three.
    QTest::newRow("card count kept") << 2 << QList<int> {4, 1, 3} << QList<int> {3, 1, 2};
    QTest::newRow("none stays none") << 1 << QList<int> {0, 0, 0} << QList<int> {0, 0, 0};
}

void TestPresentation::chartsPropertyRemoved()
{
    QFETCH(int, removed);
    QFETCH(QList<int>, before);
    QFETCH(QList<int>, after);
    ChartsSettings settings;
    settings.showProperty = before.at(0);
    settings.byProperty = before.at(1);
    settings.perProperty = before.at(2);
    settings.propertyRemoved(removed);
    QCOMPARE((QList<int> {settings.showProperty, settings.byProperty, settings.perProperty}),
             after);
}

void TestPresentation::chartsRemapKeepsCardCount()
{
    ChartsSettings settings;
    settings.showProperty = 4;
    settings.byProperty = 1;
    settings.perProperty = 3;
    settings.hideZeroBars = true;
    const PropertyReorderMap map {{0, 0}, {1, 3}, {2, 1}, {3, 2}};
    settings.remapProperties(map);
    QCOMPARE(settings.showProperty, 4);
    QCOMPARE(settings.byProperty, 2);
    QCOMPARE(settings.perProperty, 1);
    settings.showProperty = 2;
    settings.remapProperties(map);
    QCOMPARE(settings.showProperty, 3);
    settings.reset();
    QVERIFY(settings == ChartsSettings());
}

void TestPresentation::tablePropertyRemoved_data()
{
    QTest::addColumn<int>("cellColor");
    QTest::addColumn<int>("after");
    QTest::newRow("coloured by the removed property") << 3 << 0;
    QTest::newRow("coloured by a later property") << 4 << 3;
    QTest::newRow("all properties") << 1 << 1;
    QTest::newRow("off") << 0 << 0;
    QTest::newRow("coloured by an earlier property") << 2 << 2;
}

void TestPresentation::tablePropertyRemoved()
{
    QFETCH(int, cellColor);
    QFETCH(int, after);
    TableAppearance appearance;
    appearance.cellColor = cellColor;
    appearance.propertyRemoved(2);
    QCOMPARE(appearance.cellColor, after);
}

void TestPresentation::tableColouringFollowsReorder_data()
{
    QTest::addColumn<int>("cellColor");
    QTest::addColumn<int>("after");
    QTest::newRow("off") << 0 << 0;
    QTest::newRow("all properties") << 1 << 1;
    QTest::newRow("property 3 moves to 1") << 4 << 2;
    QTest::newRow("property 1 moves to 2") << 2 << 3;
}

void TestPresentation::tableColouringFollowsReorder()
{
    QFETCH(int, cellColor);
    QFETCH(int, after);
    TableAppearance appearance;
    appearance.cellColor = cellColor;
    appearance.remapProperties({{0, 0}, {1, 3}, {2, 1}, {3, 2}});
    QCOMPARE(appearance.cellColor, after);
}

TAVROLO_TEST_MAIN(TestPresentation)
#include "tst_presentation.moc"
