#include "app/UpdateRules.h"
#include "common/app/Accessors.h"
#include "common/core/TextHelpers.h"
#include "common/widgets/Settings.h"
#include "harness/TestMain.h"

class TestUpdateRules : public QObject
{
    Q_OBJECT

private slots:
    void theCheckIsDueOnceItsIntervalHasPassed_data();
    void theCheckIsDueOnceItsIntervalHasPassed();
    void theQueryTellsTheIntervalTheRunsAndTheVersion_data();
    void theQueryTellsTheIntervalTheRunsAndTheVersion();
};

void TestUpdateRules::theCheckIsDueOnceItsIntervalHasPassed_data()
{
    QTest::addColumn<int>("interval"); // 0 daily, 1 weekly, 2 monthly, 3 never
    QTest::addColumn<int>("daysAgo");
    QTest::addColumn<bool>("due");
    QTest::newRow("monthly, 29 days") << 2 << 29 << false;
    QTest::newRow("monthly, a year") << 2 << 365 << true;
    QTest::newRow("weekly, across a new year") << 1 << 8 << true;
    QTest::newRow("never, years ago") << 3 << 3000 << false;
}

// The interval counts whole days back from today, also across the end of a year.
void TestUpdateRules::theCheckIsDueOnceItsIntervalHasPassed()
{
    QFETCH(int, interval);
    QFETCH(int, daysAgo);
    QFETCH(bool, due);
    const QDate today(2017, 1, 3);
    QCOMPARE(isUpdateCheckDue(5, interval, today.addDays(-daysAgo), today), due);
}

void TestUpdateRules::theQueryTellsTheIntervalTheRunsAndTheVersion_data()
{
    QTest::addColumn<bool>("automatic");
    QTest::addColumn<int>("interval");
    QTest::addColumn<int>("sessions");
    QTest::addColumn<QString>("f");
    QTest::newRow("daily") << true << 0 << 2 << "1";
    QTest::newRow("monthly") << true << 2 << 40 << "30";
    QTest::newRow("asked for, daily") << false << 0 << 3 << "m";
    QTest::newRow("asked for, never") << false << 3 << 0 << "m";
}

void TestUpdateRules::theQueryTellsTheIntervalTheRunsAndTheVersion()
{
    QFETCH(bool, automatic);
    QFETCH(int, interval);
    QFETCH(int, sessions);
    QFETCH(QString, f);
    Settings *preferences = settings();
    preferences->setAutoUpdateInterval(interval);
    preferences->write(Settings::Key::Sessions, sessions);
    const QMap<QString, QString> expected {{"f", f},
                                           {"p", osVersionText()},
                                           {"s", QString::number(sessions)},
                                           {"v", QStringLiteral("2.4.1")}};
    QCOMPARE(updateQueryParameters(automatic, *preferences), expected);
    QCOMPARE(runningVersionText(), QStringLiteral("2.4.1"));
}

TAVROLO_TEST_MAIN(TestUpdateRules)
#include "tst_updaterules.moc"
