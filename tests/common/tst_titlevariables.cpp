#include "common/Accessors.h"
#include "common/TitleVariables.h"
#include "harness/TestMain.h"
#include "model/Document.h"
#include "model/PropertyAppearance.h"

#include <QHostInfo>

namespace {

void addProperty(const QString &name)
{
    doc()->addProperty(name, QString(), 0, QStringList(), 1, PropertyAppearance(), false);
}

} // namespace

class TestTitleVariables : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void textWithoutBothBracesIsUntouched_data();
    void textWithoutBothBracesIsUntouched();
    void variablesExpandToCurrentValues_data();
    void variablesExpandToCurrentValues();
    void viewNameFollowsStoredViews();
    void propertyNamedLikeVariableIsExpandedFurther();
    void timestampIsTheCurrentTime();
    void helpTextListsTheVariablesAsked_data();
    void helpTextListsTheVariablesAsked();
};

void TestTitleVariables::initTestCase()
{
    qputenv("USER", "alice");
}

void TestTitleVariables::init()
{
    doc()->clear(false);
    addProperty(QStringLiteral("Status")); // 1
    addProperty(QStringLiteral("Owner")); // 2
    addProperty(QStringLiteral("Cost")); // 3
    doc()->setXProperty(1, false);
    doc()->setYProperty(2, false);
    doc()->setCardColorProperty(1, false);
    doc()->setHighlightColorProperty(0, false);
    doc()->setCellOrderingProperty(3, false);
    doc()->setTotalProperty(3, false);
    doc()->setChartShowProperty(3, false);
    doc()->setChartByProperty(1, false);
    doc()->setChartPerProperty(0, false);
}

void TestTitleVariables::textWithoutBothBracesIsUntouched_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("names without braces") << QStringLiteral("x_property by username");
    QTest::newRow("no closing brace") << QStringLiteral("{x_property");
    QTest::newRow("no opening brace") << QStringLiteral("x_property}");
}

void TestTitleVariables::textWithoutBothBracesIsUntouched()
{
    QFETCH(QString, text);
    QCOMPARE(expandVariables(text), text);
}

void TestTitleVariables::variablesExpandToCurrentValues_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("layout") << QStringLiteral("{x_property} by {y_property}")
                            << QStringLiteral("Status by Owner");
    QTest::newRow("colours and cells")
        << QStringLiteral("{bg_color_property}/{highlight_color_property}/{cell_property}")
        << QStringLiteral("Status/<select>/Cost");
    QTest::newRow("total") << QStringLiteral("Sum of {total_property}")
                           << QStringLiteral("Sum of Cost");
    QTest::newRow("charts") << QStringLiteral("{show_property} by {by_property} per {per_property}")
                            << QStringLiteral("Cost by Status per <select>");
    QTest::newRow("twice") << QStringLiteral("{x_property}-{x_property}")
                           << QStringLiteral("Status-Status");
    QTest::newRow("braces the other way round")
        << QStringLiteral("} {x_property} {") << QStringLiteral("} Status {");
    QTest::newRow("capitals stay")
        << QStringLiteral("{X_PROPERTY} {Username}") << QStringLiteral("{X_PROPERTY} {Username}");
    QTest::newRow("unknown word stays")
        << QStringLiteral("{owner} {username}") << QStringLiteral("{owner} alice");
    QTest::newRow("no plan file") << QStringLiteral("[{filename}][{filepath}]")
                                  << QStringLiteral("[][]");
    QTest::newRow("percent signs kept")
        << QStringLiteral("100% {x_property} %1") << QStringLiteral("100% Status %1");
}

void TestTitleVariables::variablesExpandToCurrentValues()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(expandVariables(text), expected);
}

void TestTitleVariables::viewNameFollowsStoredViews()
{
    QCOMPARE(expandVariables(QStringLiteral("[{view}]")), QStringLiteral("[]"));
    doc()->addStoredView(QStringLiteral("Weekly"), false, false);
    QCOMPARE(expandVariables(QStringLiteral("[{view}]")), QStringLiteral("[Weekly]"));
    doc()->setXProperty(0, false);
    QCOMPARE(expandVariables(QStringLiteral("[{view}] {x_property}")),
             QStringLiteral("[] <select>"));
    // The card count pseudo-property stands where no property is.
    doc()->setChartShowProperty(doc()->propertyCount(), false);
    QCOMPARE(expandVariables(QStringLiteral("{show_property}")), QStringLiteral("<cards>"));
    QCOMPARE(expandVariables(QStringLiteral("{computername}")), QHostInfo::localHostName());
}

void TestTitleVariables::propertyNamedLikeVariableIsExpandedFurther()
{
    addProperty(QStringLiteral("{username}"));
    doc()->setXProperty(doc()->propertyCount() - 1, false);
    QCOMPARE(expandVariables(QStringLiteral("By {x_property}")), QStringLiteral("By alice"));
}

void TestTitleVariables::timestampIsTheCurrentTime()
{
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    const QDateTime stamp
        = QDateTime::fromString(expandVariables(QStringLiteral("{timestampiso}")), Qt::ISODate);
    QVERIFY(stamp.isValid());
    QVERIFY(stamp >= before);
    QVERIFY(stamp <= QDateTime::currentDateTime().addSecs(1));
    QVERIFY(!expandVariables(QStringLiteral("{timestamptext}")).contains(QLatin1Char('{')));
}

void TestTitleVariables::helpTextListsTheVariablesAsked_data()
{
    QTest::addColumn<bool>("cards");
    QTest::addColumn<bool>("charts");
    QTest::addColumn<int>("lines");
    QTest::newRow("neither") << false << false << 1 + 2 + 6;
    QTest::newRow("cards") << true << false << 1 + 7 + 2 + 6;
    QTest::newRow("charts") << false << true << 1 + 3 + 2 + 6;
    QTest::newRow("both") << true << true << 1 + 7 + 3 + 2 + 6;
}

void TestTitleVariables::helpTextListsTheVariablesAsked()
{
    QFETCH(bool, cards);
    QFETCH(bool, charts);
    QFETCH(int, lines);
    const QStringList help = variablesHelpText(cards, charts).split(QLatin1Char('\n'));
    QCOMPARE(help.size(), lines);
    QCOMPARE(help.first(), QStringLiteral(" You can use the following variables:"));
    QCOMPARE(help.contains(
                 QStringLiteral(" {x_property} : The cards pane arrange columns (X) property.")),
             cards);
    QCOMPARE(help.contains(QStringLiteral(" {per_property} : The charts pane per property.")),
             charts);
    QVERIFY(help.contains(QStringLiteral(" {filename} : The name of the current plan file.")));
    // Only the system lines show their current value.
    QCOMPARE(help.last(), QStringLiteral(" {username} : The name of the current user. [alice]"));
    QCOMPARE(help.filter(QStringLiteral(". [")).size(), 6);
}

TAVROLO_TEST_MAIN(TestTitleVariables)
#include "tst_titlevariables.moc"
