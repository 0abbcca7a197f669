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

TAVROLO_TEST_MAIN(TestTitleVariables)
#include "tst_titlevariables.moc"
