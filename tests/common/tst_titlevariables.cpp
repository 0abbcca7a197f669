#include "common/Accessors.h"
#include "common/TitleVariables.h"
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
    QTest::addColumn<QString>("expected");
    QTest::newRow("no closing brace") << "{x_property" << QStringLiteral("{x_property");
    QTest::newRow("layout") << "{x_property} by {y_property}" << QStringLiteral("Status by Owner");
    QTest::newRow("charts counting cards") << "{show_property} by {by_property} per {per_property}"
                                           << QStringLiteral("<cards> by Status per <select>");
    QTest::newRow("capitals and unknown words stay")
        << "{X_PROPERTY} {owner} {username}" << QStringLiteral("{X_PROPERTY} {owner} alice");
    QTest::newRow("stored view") << "[{view}]" << QStringLiteral("[Weekly]");
    QTest::newRow("no plan file") << "[{filename}][{filepath}]" << QStringLiteral("[][]");
    QTest::newRow("percent signs kept")
        << "100% {x_property} %1" << QStringLiteral("100% Status %1");
}

void TestTitleVariables::variablesExpandToCurrentValues()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(expandVariables(text), expected);
}

TAVROLO_TEST_MAIN(TestTitleVariables)
#include "tst_titlevariables.moc"
