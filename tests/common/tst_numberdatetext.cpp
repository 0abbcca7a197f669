#include "common/Accessors.h"
#include "common/NumberDateText.h"
#include "common/Settings.h"
#include "harness/TestMain.h"

class TestNumberDateText : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void readsNumbers_data();
    void readsNumbers();
    void writesNumbersByTheFormat();
    void readsDates_data();
    void readsDates();
    void writtenDatesReadBack_data();
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
    QTest::newRow("dollars and cents") << "$1234.50" << false << true << 1234.5;
    QTest::newRow("euro") << QString::fromUtf8("€12") << false << true << 12.0;
    QTest::newRow("pound inside") << QString::fromUtf8("-£3") << false << true << -3.0;
    QTest::newRow("trailing dollar") << "12$" << false << true << 12.0;
    QTest::newRow("blanks around") << "  7.25 " << false << true << 7.25;
    QTest::newRow("exponent") << "1e3" << false << true << 1000.0;
    QTest::newRow("empty as zero") << "" << true << true << 0.0;
    QTest::newRow("blank as zero") << "  $ " << true << true << 0.0;
    QTest::newRow("empty is no number") << "" << false << false << 0.0;
    QTest::newRow("percent") << "5%" << false << false << 0.0;
    QTest::newRow("brackets") << "(5)" << false << false << 0.0;
    QTest::newRow("space grouped") << "1 000" << false << false << 0.0;
    QTest::newRow("word") << "high" << false << false << 0.0;
    QTest::newRow("infinity") << "inf" << false << false << 0.0;
    QTest::newRow("minus infinity") << "-inf" << false << false << 0.0;
    QTest::newRow("not a number") << "nan" << false << false << 0.0;
    QTest::newRow("overflowing") << "1e999" << false << false << 0.0;
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
    QCOMPARE(stringToNumber(text, emptyIsZero), number);
}

void TestNumberDateText::writesNumbersByTheFormat()
{
    QCOMPARE(numberToString(1234.5), QStringLiteral("1234.5"));
    QCOMPARE(numberToString(1234567.0), QStringLiteral("1.23457e+06"));
    QCOMPARE(numberToString(0.1 + 0.2), QStringLiteral("0.3"));
    settings()->setNumberFormat(0);
    QCOMPARE(numberToString(2.5), QLocale::system().toString(2.5, 'g', 6));
}

void TestNumberDateText::readsDates_data()
{
    const int thisYear = QDate::currentDate().year();
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("format");
    QTest::addColumn<QDate>("date");
    QTest::newRow("day first") << "14/3/2021" << 0 << QDate(2021, 3, 14);
    QTest::newRow("dashes and short year") << "14-03-21" << 0 << QDate(2021, 3, 14);
    QTest::newRow("month name") << "14 March 2021" << 0 << QDate(2021, 3, 14);
    QTest::newRow("month name in capitals") << "14 MARCH 2021" << 0 << QDate(2021, 3, 14);
    QTest::newRow("short month, no year") << "14 mar" << 0 << QDate(thisYear, 3, 14);
    QTest::newRow("leading blank shifts parts") << " 14 mar" << 0 << QDate();
    QTest::newRow("two parts day first") << "1/2" << 0 << QDate(thisYear, 2, 1);
    QTest::newRow("two parts month first") << "1/2" << 1 << QDate(thisYear, 1, 2);
    QTest::newRow("two parts year first") << "1/2" << 2 << QDate(thisYear, 1, 2);
    QTest::newRow("month first") << "3/14/2021" << 1 << QDate(2021, 3, 14);
    QTest::newRow("month name first") << "March 14 2021" << 1 << QDate(2021, 3, 14);
    QTest::newRow("year first") << "2021-03-14" << 2 << QDate(2021, 3, 14);
    QTest::newRow("no leap day") << "29/2/2021" << 0 << QDate();
    QTest::newRow("leap day") << "29/2/2020" << 0 << QDate(2020, 2, 29);
    QTest::newRow("31 February") << "31/2/2020" << 0 << QDate();
    QTest::newRow("two-digit 99") << "14/3/99" << 0 << QDate(2099, 3, 14);
    QTest::newRow("year 0") << "14/3/0" << 0 << QDate(2000, 3, 14);
    QTest::newRow("year 100") << "14/3/100" << 0 << QDate();
    QTest::newRow("before 1600") << "14/3/1599" << 0 << QDate();
    QTest::newRow("after 3000") << "14/3/3001" << 0 << QDate();
    QTest::newRow("first year") << "1/1/1600" << 0 << QDate(1600, 1, 1);
    QTest::newRow("last year") << "31/12/3000" << 0 << QDate(3000, 12, 31);
    QTest::newRow("empty year") << "14/3/" << 0 << QDate(thisYear, 3, 14);
    QTest::newRow("empty month") << "14//2021" << 0 << QDate();
    QTest::newRow("day 32") << "32/1/2021" << 0 << QDate();
    QTest::newRow("month 13") << "1/13/2021" << 0 << QDate();
    QTest::newRow("mixed separators") << "14/3-2021" << 0 << QDate();
    QTest::newRow("comma") << "March 14, 2021" << 1 << QDate();
    QTest::newRow("two blanks") << "14  March 2021" << 0 << QDate();
    QTest::newRow("four parts") << "1/2/3/4" << 0 << QDate();
    QTest::newRow("no separator") << "14032021" << 0 << QDate();
    QTest::newRow("unknown format") << "14/3/2021" << 3 << QDate();
    QTest::newRow("huge year") << "1/1/99999999999" << 0 << QDate();
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

void TestNumberDateText::writtenDatesReadBack_data()
{
    QTest::addColumn<int>("format");
    QTest::newRow("day first") << 0;
    QTest::newRow("month first") << 1;
    QTest::newRow("year first") << 2;
}

void TestNumberDateText::writtenDatesReadBack()
{
    QFETCH(int, format);
    for (QDate date(1600, 1, 1); date.year() <= 3000; date = date.addDays(97)) {
        const QString text = dateToString(date, format, true);
        bool ok = false;
        QCOMPARE(stringToDateWithFormat(text, format, &ok), date);
        QVERIFY(ok);
    }
    const QDate date(2042, 11, 5);
    QCOMPARE(stringToDateWithFormat(dateToString(date, format, false), format), date);
    QCOMPARE(dateToString(QDate(), format, true), QString());
}

void TestNumberDateText::guessesValueTypes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("type");
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("year alone") << "2020" << 1;
    QTest::newRow("money") << "$5" << 1;
    QTest::newRow("day and month") << "1/2" << 2;
    QTest::newRow("full date") << "14 March 2021" << 2;
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
    QTest::addColumn<QString>("name");
    QTest::newRow("yesterday") << today.addDays(-1) << 0 << "Past";
    QTest::newRow("today") << today << 1 << "Today";
    QTest::newRow("tomorrow") << today.addDays(1) << 2 << "Tomorrow";
    QTest::newRow("in two days") << today.addDays(2) << 3 << "Next 7 days";
    QTest::newRow("in seven days") << today.addDays(7) << 3 << "Next 7 days";
    QTest::newRow("in eight days") << today.addDays(8) << 4 << ">7 days";
    QTest::newRow("no date") << QDate() << 5 << "Undefined";
}

void TestNumberDateText::datesFallIntoBuckets()
{
    QFETCH(QDate, date);
    QFETCH(int, bucket);
    QFETCH(QString, name);
    QCOMPARE(dateBucket(date), bucket);
    QCOMPARE(dateBucketName(bucket), name);
}

void TestNumberDateText::weekendNeedsAValidDate()
{
    QVERIFY(isWeekend(QStringLiteral("13/3/2021"))); // Saturday
    QVERIFY(isWeekend(QStringLiteral("14/3/2021"))); // Sunday
    QVERIFY(!isWeekend(QStringLiteral("15/3/2021"))); // Monday
    QVERIFY(!isWeekend(QStringLiteral("31/2/2021")));
    QVERIFY(!isWeekend(QString()));
}

void TestNumberDateText::comparesNumbersFuzzily_data()
{
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<bool>("equal");
    QTest::newRow("tiny difference") << 1.0 << 1.0 + 1e-9 << true;
    QTest::newRow("sum of tenths") << 0.3 << 0.1 + 0.2 << true;
    QTest::newRow("visible difference") << 1.0 << 1.001 << false;
    QTest::newRow("zero and denormal") << 0.0 << 1e-40 << true;
    QTest::newRow("opposite signs") << 2.0 << -2.0 << false;
    QTest::newRow("zeros") << 0.0 << 0.0 << true;
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
