#include "common/Accessors.h"
#include "common/RelativeDates.h"
#include "common/Settings.h"
#include "harness/TestMain.h"

class TestRelativeDates : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void readsRelativeDates_data();
    void readsRelativeDates();
    void weekdayNamesMeanTheNextSuchDay();
    void normalizesToTheUsersFormat_data();
    void normalizesToTheUsersFormat();
    void helpShowsExamplesOfTheFormat();
};

void TestRelativeDates::init()
{
    settings()->setDateFormat(0);
    settings()->setNumberFormat(1);
}

void TestRelativeDates::readsRelativeDates_data()
{
    const QDate today = QDate::currentDate();
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date");
    QTest::newRow("today in any case") << "  ToDay " << today;
    QTest::newRow("tomorrow") << "TOMORROW" << today.addDays(1);
    QTest::newRow("plus zero") << "+0" << today;
    QTest::newRow("fraction truncated") << "+2.7" << today.addDays(2);
    QTest::newRow("negative fraction truncated") << "-1.9" << today.addDays(-1);
    QTest::newRow("week ago") << "-7" << today.addDays(-7);
    QTest::newRow("with blanks") << "  +3 " << today.addDays(3);
    QTest::newRow("lone plus") << "+" << QDate();
    QTest::newRow("lone minus") << "-" << QDate();
    QTest::newRow("plus word") << "+abc" << QDate();
    QTest::newRow("tomorrow and more") << "tomorrowx" << QDate();
    QTest::newRow("explicit date") << "14/3/2021" << QDate(2021, 3, 14);
    QTest::newRow("huge exponent") << "+1e300" << QDate();
    QTest::newRow("minus huge exponent") << "-1e300" << QDate();
    QTest::newRow("beyond year 3000") << "+500000" << QDate();
    QTest::newRow("before year 1600") << "-500000" << QDate();
    QTest::newRow("infinity") << "+inf" << QDate();
    QTest::newRow("empty") << "" << QDate();
}

void TestRelativeDates::readsRelativeDates()
{
    QFETCH(QString, text);
    QFETCH(QDate, date);
    QCOMPARE(parseRelativeDate(text), date);
}

void TestRelativeDates::weekdayNamesMeanTheNextSuchDay()
{
    const QDate today = QDate::currentDate();
    const QLocale locale = QLocale::system();
    for (int ahead = 0; ahead < 7; ++ahead) {
        const QDate expected = today.addDays(ahead);
        const int day = expected.dayOfWeek();
        QCOMPARE(parseRelativeDate(locale.dayName(day, QLocale::LongFormat)), expected);
        QCOMPARE(parseRelativeDate(locale.dayName(day, QLocale::ShortFormat).toUpper()), expected);
    }
}

void TestRelativeDates::normalizesToTheUsersFormat_data()
{
    const QDate tomorrow = QDate::currentDate().addDays(1);
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("normalized");
    QTest::newRow("tomorrow day first")
        << 0 << "tomorrow" << tomorrow.toString(QStringLiteral("d/M/yyyy"));
    QTest::newRow("tomorrow year first")
        << 2 << "tomorrow" << tomorrow.toString(QStringLiteral("yyyy/M/d"));
    QTest::newRow("short year widened") << 0 << "14-03-21"
                                        << "14/3/2021";
    QTest::newRow("no date kept as typed") << 0 << "  soon "
                                           << "  soon ";
    QTest::newRow("overflow kept as typed") << 0 << "+1e300"
                                            << "+1e300";
}

void TestRelativeDates::normalizesToTheUsersFormat()
{
    QFETCH(int, format);
    QFETCH(QString, text);
    QFETCH(QString, normalized);
    settings()->setDateFormat(format);
    QCOMPARE(normalizeDateText(text), normalized);
}

void TestRelativeDates::helpShowsExamplesOfTheFormat()
{
    settings()->setDateFormat(2);
    const QString help = dateEntryHelpText(true);
    QVERIFY(help.startsWith(QLatin1Char('\n')));
    QVERIFY2(help.contains(QStringLiteral("(e.g. 'Monday', 'mon', January 01, 2017/jan/1 or "
                                          "17-01-01) or relative dates")),
             qPrintable(help));
    QVERIFY(help.contains(QStringLiteral("\nMonth abbreviations: Jan,Feb,Mar,Apr,May,Jun,Jul,"
                                         "Aug,Sep,Oct,Nov,Dec.")));
    QVERIFY(help.contains(QStringLiteral("\nDay abbreviations: Mon,Tue,Wed,Thu,Fri,Sat,Sun.")));
    QVERIFY(help.endsWith(QStringLiteral("\nDate values are not case sensitive.")));
    QVERIFY(!dateEntryHelpText(false).contains(QStringLiteral("case sensitive")));
}

TAVROLO_TEST_MAIN(TestRelativeDates)
#include "tst_relativedates.moc"
