#include "common/Accessors.h"
#include "common/NumberDateText.h"
#include "common/Settings.h"
#include "harness/TestMain.h"

namespace {

void numberRow(const char *name, const QString &text, bool emptyIsZero, bool ok, double number)
{
    QTest::newRow(name) << text << emptyIsZero << ok << number;
}

void dateRow(const char *name, const QString &text, int format, const QDate &date)
{
    QTest::newRow(name) << text << format << date;
}

} // namespace

class TestNumberDateText : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void readsNumbers_data();
    void readsNumbers();
    void readsDates_data();
    void readsDates();
    void writtenDatesReadBack();
    void guessesValueTypes_data();
    void guessesValueTypes();
    void datesFallIntoBuckets_data();
    void datesFallIntoBuckets();
    void weekendNeedsAValidDate();
    void comparesNumbersFuzzily_data();
    void comparesNumbersFuzzily();
};

void TestNumberDateText::init()
{
    settings()->setNumberFormat(1);
    settings()->setDateFormat(0);
}

void TestNumberDateText::readsNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("emptyIsZero");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("number");
    numberRow("dollars and cents", "$1234.50", false, true, 1234.5);
    numberRow("euro", QString::fromUtf8("€12"), false, true, 12.0);
    numberRow("pound inside", QString::fromUtf8("-£3"), false, true, -3.0);
    numberRow("trailing dollar", "12$", false, true, 12.0);
    numberRow("blanks around", "  7.25 ", false, true, 7.25);
    numberRow("exponent", "1e3", false, true, 1000.0);
    numberRow("blank as zero", "  $ ", true, true, 0.0);
    numberRow("empty is no number", "", false, false, 0.0);
    numberRow("percent", "5%", false, false, 0.0);
    numberRow("space grouped", "1 000", false, false, 0.0);
    numberRow("word", "high", false, false, 0.0);
    numberRow("infinity", "inf", false, false, 0.0);
    numberRow("minus infinity", "-inf", false, false, 0.0);
    numberRow("not a number", "nan", false, false, 0.0);
    numberRow("overflowing", "1e999", false, false, 0.0);
}

void TestNumberDateText::readsNumbers()
{
    QFETCH(QString, text);
    QFETCH(bool, emptyIsZero);
    QFETCH(bool, ok);
    QFETCH(double, number);
    bool converted = !ok;
    QCOMPARE(stringToNumber(text, emptyIsZero, &converted), number);
    QCOMPARE(converted, ok);
}

void TestNumberDateText::readsDates_data()
{
    const int thisYear = QDate::currentDate().year();
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("format");
    QTest::addColumn<QDate>("date");
    dateRow("day first", "14/3/2021", 0, QDate(2021, 3, 14));
    dateRow("dashes and short year", "14-03-21", 0, QDate(2021, 3, 14));
    dateRow("month name in capitals", "14 MARCH 2021", 0, QDate(2021, 3, 14));
    dateRow("short month, no year", "14 mar", 0, QDate(thisYear, 3, 14));
    dateRow("two parts day first", "1/2", 0, QDate(thisYear, 2, 1));
    dateRow("two parts month first", "1/2", 1, QDate(thisYear, 1, 2));
    dateRow("month first", "3/14/2021", 1, QDate(2021, 3, 14));
    dateRow("month name first", "March 14 2021", 1, QDate(2021, 3, 14));
    dateRow("year first", "2021-03-14", 2, QDate(2021, 3, 14));
    dateRow("leap day", "29/2/2020", 0, QDate(2020, 2, 29));
    dateRow("no leap day", "29/2/2021", 0, QDate());
    dateRow("two-digit 99", "14/3/99", 0, QDate(2099, 3, 14));
    dateRow("year 100", "14/3/100", 0, QDate());
    dateRow("before 1600", "14/3/1599", 0, QDate());
    dateRow("last year", "31/12/3000", 0, QDate(3000, 12, 31));
    dateRow("after 3000", "14/3/3001", 0, QDate());
    dateRow("huge year", "1/1/99999999999", 0, QDate());
    dateRow("empty month", "14//2021", 0, QDate());
    dateRow("day 32", "32/1/2021", 0, QDate());
    dateRow("mixed separators", "14/3-2021", 0, QDate());
    dateRow("comma", "March 14, 2021", 1, QDate());
    dateRow("unknown format", "14/3/2021", 3, QDate());
}

void TestNumberDateText::readsDates()
{
    QFETCH(QString, text);
    QFETCH(int, format);
    QFETCH(QDate, date);
    bool ok = !date.isValid();
    QCOMPARE(stringToDateWithFormat(text, format, &ok), date);
    QCOMPARE(ok, date.isValid());
    settings()->setDateFormat(format);
    QCOMPARE(stringToDate(text), date);
}

void TestNumberDateText::writtenDatesReadBack()
{
    for (int format = 0; format < 3; ++format) {
        for (QDate date(1600, 1, 1); date.year() <= 3000; date = date.addDays(97))
            QCOMPARE(stringToDateWithFormat(dateToString(date, format, true), format), date);
        const QDate date(2042, 11, 5);
        QCOMPARE(stringToDateWithFormat(dateToString(date, format, false), format), date);
    }
}

void TestNumberDateText::guessesValueTypes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("type");
    QTest::newRow("year alone is a number") << "2020" << 1;
    QTest::newRow("money") << "$5" << 1;
    QTest::newRow("day and month") << "1/2" << 2;
    QTest::newRow("word") << "Done" << 0;
    QTest::newRow("infinity") << "inf" << 0;
}

void TestNumberDateText::guessesValueTypes()
{
    QFETCH(QString, text);
    QFETCH(int, type);
    QCOMPARE(guessValueType(text), type);
}

void TestNumberDateText::datesFallIntoBuckets_data()
{
    const QDate today = QDate::currentDate();
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("bucket");
    QTest::newRow("yesterday") << today.addDays(-1) << 0;
    QTest::newRow("today") << today << 1;
    QTest::newRow("tomorrow") << today.addDays(1) << 2;
    QTest::newRow("in seven days") << today.addDays(7) << 3;
    QTest::newRow("in eight days") << today.addDays(8) << 4;
    QTest::newRow("no date") << QDate() << 5;
}

void TestNumberDateText::datesFallIntoBuckets()
{
    QFETCH(QDate, date);
    QFETCH(int, bucket);
    QCOMPARE(dateBucket(date), bucket);
}

void TestNumberDateText::weekendNeedsAValidDate()
{
    QVERIFY(isWeekend(QStringLiteral("13/3/2021"))); // Saturday
    QVERIFY(isWeekend(QStringLiteral("14/3/2021"))); // Sunday
    QVERIFY(!isWeekend(QStringLiteral("15/3/2021")));
    QVERIFY(!isWeekend(QStringLiteral("31/2/2021")));
}

void TestNumberDateText::comparesNumbersFuzzily_data()
{
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<bool>("equal");
    QTest::newRow("sum of tenths") << 0.3 << 0.1 + 0.2 << true;
    QTest::newRow("visible difference") << 1.0 << 1.001 << false;
    QTest::newRow("zero and denormal") << 0.0 << 1e-40 << true;
    QTest::newRow("opposite signs") << 2.0 << -2.0 << false;
}

void TestNumberDateText::comparesNumbersFuzzily()
{
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(bool, equal);
    QCOMPARE(fuzzyEqual(a, b), equal);
}

TAVROLO_TEST_MAIN(TestNumberDateText)
#include "tst_numberdatetext.moc"
