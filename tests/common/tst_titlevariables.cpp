#include "app/Application.h"
#include "common/app/Accessors.h"
#include "common/app/TitleVariables.h"
#include "harness/TestMain.h"
#include "model/Document.h"
#include "model/PropertyAppearance.h"

class TestTitleVariables : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void variablesExpandToCurrentValues_data();
    void variablesExpandToCurrentValues();
    void expansionStopsBeforeTheLengthBound_data();
    void expansionStopsBeforeTheLengthBound();
};

// Status (1), Owner (2) and Cost (3), laid out and charted, saved as the view "Weekly".
void TestTitleVariables::initTestCase()
{
    qputenv("USER", "alice");
    doc()->clear(false);
    for (const char *name : {"Status", "Owner", "Cost"})
        doc()->addProperty(QLatin1String(name), QString(), 0, QStringList(), 1,
                           PropertyAppearance(), false);
    doc()->setXProperty(1, false);
    doc()->setYProperty(2, false);
    doc()->setChartShowProperty(doc()->propertyCount(), false);
    doc()->setChartByProperty(1, false);
    doc()->setChartPerProperty(0, false);
    doc()->addStoredView(QStringLiteral("Weekly"), false, false);
}

void TestTitleVariables::variablesExpandToCurrentValues_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("planFile"); // the open plan's file, as the window hands it over
    QTest::addColumn<QString>("expected");
    QTest::newRow("no closing brace")
        << "{x_property" << QString() << QStringLiteral("{x_property");
    QTest::newRow("layout") << "{x_property} by {y_property}" << QString()
                            << QStringLiteral("Status by Owner");
    QTest::newRow("charts counting cards")
        << "{show_property} by {by_property} per {per_property}" << QString()
        << QStringLiteral("<cards> by Status per <select>");
    QTest::newRow("capitals and unknown words stay")
        << "{X_PROPERTY} {owner} {username}" << QString()
        << QStringLiteral("{X_PROPERTY} {owner} alice");
    QTest::newRow("stored view") << "[{view}]" << QString() << QStringLiteral("[Weekly]");
    QTest::newRow("no plan file") << "[{filename}][{filepath}]" << QString()
                                  << QStringLiteral("[][]");
    QTest::newRow("plan file") << "[{filename}][{filepath}]"
                               << "/plans/Q3 review.tv"
                               << QStringLiteral("[Q3 review.tv][/plans/Q3 review.tv]");
    QTest::newRow("percent signs kept")
        << "100% {x_property} %1" << QString() << QStringLiteral("100% Status %1");
}

void TestTitleVariables::variablesExpandToCurrentValues()
{
    QFETCH(QString, text);
    QFETCH(QString, planFile);
    QFETCH(QString, expected);
    app()->setPlanFileName(planFile);
    QCOMPARE(expandVariables(text), expected);
}

void TestTitleVariables::expansionStopsBeforeTheLengthBound_data()
{
    QTest::addColumn<QString>("xName");
    QTest::addColumn<QString>("yName");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    const int bound = maximumExpandedTitleLength;
    const QString y = QStringLiteral("{y_property}");
    QTest::newRow("names expanding into each other")
        << y.repeated(4000) << QStringLiteral("{bg_color_property}").repeated(3000)
        << "{x_property}" << QStringLiteral("{x_property}");
    QTest::newRow("the second step would pass the bound, later variables stay too")
        << y + QStringLiteral(" and ") + y << QStringLiteral("{bg_color_property}").repeated(300)
        << "{x_property} {username}"
        << y + QStringLiteral(" and ") + y + QStringLiteral(" {username}");
    QTest::newRow("up to the bound")
        << QStringLiteral("a").repeated(bound - 1) << QStringLiteral("Owner") << "{x_property}!"
        << QStringLiteral("a").repeated(bound - 1) + QLatin1Char('!');
    QTest::newRow("one past the bound")
        << QStringLiteral("a").repeated(bound) << QStringLiteral("Owner") << "{x_property}!"
        << QStringLiteral("{x_property}!");
    QTest::newRow("a long text still takes values no longer than their names")
        << QStringLiteral("Status") << QStringLiteral("Owner")
        << QStringLiteral("b").repeated(bound) + QStringLiteral("{x_property}")
        << QStringLiteral("b").repeated(bound) + QStringLiteral("Status");
}

// Values that hold the names of later variables can multiply a text at every step: the
// expansion keeps its order, and leaves the variables as written from the step that would
// make the text longer than the bound.
void TestTitleVariables::expansionStopsBeforeTheLengthBound()
{
    QFETCH(QString, xName);
    QFETCH(QString, yName);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    // As a plan file may hold them: names of any length.
    doc()->addProperty(xName, QString(), 0, QStringList(), 1, PropertyAppearance(), false);
    doc()->addProperty(yName, QString(), 0, QStringList(), 1, PropertyAppearance(), false);
    doc()->setXProperty(doc()->propertyCount() - 2, false);
    doc()->setYProperty(doc()->propertyCount() - 1, false);
    app()->setPlanFileName(QString());
    const QString expanded = expandVariables(text);
    doc()->deleteProperties({doc()->propertyCount() - 2, doc()->propertyCount() - 1}, false);
    doc()->setXProperty(1, false);
    doc()->setYProperty(2, false);
    QCOMPARE(expanded.size(), expected.size());
    QCOMPARE(expanded, expected);
}

TAVROLO_TEST_MAIN(TestTitleVariables)
#include "tst_titlevariables.moc"
