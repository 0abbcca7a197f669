#include "common/Accessors.h"
#include "common/NumberDateText.h"
#include "common/RelativeDates.h"
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
    void readsRelativeDates_data();
    void readsRelativeDates();
    void datesFallIntoBuckets_data();
    void datesFallIntoBuckets();
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
    numberRow("blanks around", "  7.25 ", false, true, 7.25);
    numberRow("blank as zero", "  $ ", true, true, 0.0);
    numberRow("empty is no number", "", false, false, 0.0);
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
    QCOMPARE(guessValueType(text), ok && !emptyIsZero ? 1 : 0);
}

void TestNumberDateText::readsDates_data()
{
    const int thisYear = QDate::currentDate().year();
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("format");
    QTest::addColumn<QDate>("date");
    dateRow("day first, a Sunday", "14/3/2021", 0, QDate(2021, 3, 14));
    dateRow("dashes and short year", "14-03-21", 0, QDate(2021, 3, 14));
    dateRow("month name in capitals", "14 MARCH 2021", 0, QDate(2021, 3, 14));
    dateRow("short month, no year", "14 mar", 0, QDate(thisYear, 3, 14));
    dateRow("two parts day first", "1/2", 0, QDate(thisYear, 2, 1));
    dateRow("two parts month first", "1/2", 1, QDate(thisYear, 1, 2));
    dateRow("month first", "3/15/2021", 1, QDate(2021, 3, 15));
    dateRow("month name first", "March 13 2021", 1, QDate(2021, 3, 13));
    dateRow("year first", "2021-03-14", 2, QDate(2021, 3, 14));
    dateRow("leap day", "29/2/2020", 0, QDate(2020, 2, 29));
    dateRow("no leap day", "29/2/2021", 0, QDate());
    dateRow("two-digit 99", "14/3/99", 0, QDate(2099, 3, 14));
    dateRow("before 1600", "14/3/1599", 0, QDate());
    dateRow("last year", "31/12/3000", 0, QDate(3000, 12, 31));
    dateRow("after 3000", "14/3/3001", 0, QDate());
    dateRow("huge year", "1/1/99999999999", 0, QDate());
    dateRow("day 32", "32/1/2021", 0, QDate());
    dateRow("mixed separators", "14/3-2021", 0, QDate());
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
    QCOMPARE(guessValueType(text), date.isValid() ? 2 : 0);
    QCOMPARE(isWeekend(text), date.isValid() && date.dayOfWeek() >= 6);
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

void TestNumberDateText::readsRelativeDates_data()
{
    const QDate today = QDate::currentDate();
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date");
    QTest::newRow("today in any case") << "  ToDay " << today;
    QTest::newRow("tomorrow") << "TOMORROW" << today.addDays(1);
    QTest::newRow("fraction truncated") << "+2.7" << today.addDays(2);
    QTest::newRow("lone plus") << "+" << QDate();
    QTest::newRow("explicit date") << "14-03-21" << QDate(2021, 3, 14);
    QTest::newRow("huge exponent") << "+1e300" << QDate();
    QTest::newRow("beyond year 3000") << "+500000" << QDate();
    QTest::newRow("before year 1600") << "-500000" << QDate();
    QTest::newRow("infinity") << "+inf" << QDate();
    // A weekday name, long or short, means the next such day, today included.
    for (int ahead = 0; ahead < 7; ++ahead) {
        const QDate date = today.addDays(ahead);
        const auto format = ahead % 2 ? QLocale::ShortFormat : QLocale::LongFormat;
        const QString name = QLocale::system().dayName(date.dayOfWeek(), format).toUpper();
        QTest::addRow("%s", qPrintable(name)) << name << date;
    }
}

void TestNumberDateText::readsRelativeDates()
{
    QFETCH(QString, text);
    QFETCH(QDate, date);
    QCOMPARE(parseRelativeDate(text), date);
    // Entered dates are written in the user's format; anything else stays as typed.
    QCOMPARE(normalizeDateText(text), date.isValid() ? dateToString(date, 0, true) : text);
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
