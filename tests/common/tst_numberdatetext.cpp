#include "common/core/NumberDateText.h"
#include "common/core/RelativeDates.h"
#include "harness/PlainTestMain.h"

namespace {

enum Kind { Text, Number, Date };

void typed(const char *name, const QString &text, int format, Kind kind, double number,
           const QDate &date = QDate())
{
    QTest::newRow(name) << text << format << int(kind) << number << date;
}

// The fixed number format, with the point as decimal separator, and the given date format.
ValueFormats withDateFormat(int dateFormat)
{
    ValueFormats formats;
    formats.dateFormat = dateFormat;
    formats.numberFormat = 1;
    return formats;
}

void dated(const char *name, const QString &text, int format, const QDate &date)
{
    typed(name, text, format, date.isValid() ? Date : Text, 0, date);
}

} // namespace

class TestNumberDateText : public QObject
{
    Q_OBJECT

private slots:
    void readsTypedNumbersAndDates_data();
    void readsTypedNumbersAndDates();
    void writtenDatesReadBack();
    void exactNumbersReadBack_data();
    void exactNumbersReadBack();
    void readsRelativeDates_data();
    void readsRelativeDates();
};

void TestNumberDateText::readsTypedNumbersAndDates_data()
{
    const int thisYear = QDate::currentDate().year();
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("format"); // 0 day first, 1 month first, 2 year first
    QTest::addColumn<int>("kind");
    QTest::addColumn<double>("number");
    QTest::addColumn<QDate>("date");
    typed("dollars and cents", "$1234.50", 0, Number, 1234.5);
    typed("pound inside, blanks around", QString::fromUtf8(" -£3 "), 0, Number, -3.0);
    typed("empty", "", 0, Text, 0);
    typed("word", "high", 0, Text, 0);
    // The locale reads these, but no sum, bin or range can use them.
    typed("infinity", "inf", 0, Text, 0);
    typed("not a number", "nan", 0, Text, 0);
    typed("overflowing", "1e999", 0, Text, 0);
    dated("day first, a Sunday", "14/3/2021", 0, QDate(2021, 3, 14));
    dated("dashes and short year", "14-03-21", 0, QDate(2021, 3, 14));
    dated("month name in capitals", "14 MARCH 2021", 0, QDate(2021, 3, 14));
    dated("short month, no year", "14 mar", 0, QDate(thisYear, 3, 14));
    dated("two parts month first", "1/2", 1, QDate(thisYear, 1, 2));
    dated("month first", "3/15/2021", 1, QDate(2021, 3, 15));
    dated("year first", "2021-03-14", 2, QDate(2021, 3, 14));
    dated("no leap day", "29/2/2021", 0, QDate());
    dated("before 1600", "14/3/1599", 0, QDate());
    dated("after 3000", "14/3/3001", 0, QDate());
    dated("huge year", "1/1/99999999999", 0, QDate());
    dated("unknown format", "14/3/2021", 3, QDate());
}

void TestNumberDateText::readsTypedNumbersAndDates()
{
    QFETCH(QString, text);
    QFETCH(int, format);
    QFETCH(int, kind);
    QFETCH(double, number);
    QFETCH(QDate, date);
    const ValueFormats formats = withDateFormat(format);
    bool ok = kind != Number;
    QCOMPARE(stringToNumber(text, formats, false, &ok), number);
    QCOMPARE(ok, kind == Number);
    QCOMPARE(stringToDate(text, formats, &ok), date);
    QCOMPARE(ok, kind == Date);
    QCOMPARE(guessValueType(text, formats), kind);
    QCOMPARE(isWeekend(text, formats), date.isValid() && date.dayOfWeek() >= 6);
}

void TestNumberDateText::writtenDatesReadBack()
{
    for (int format = 0; format < 3; ++format) {
        for (QDate date(1600, 1, 1); date.year() <= 3000; date = date.addDays(97)) {
            QCOMPARE(stringToDateWithFormat(dateToString(date, format, true), format), date);
            if (date.year() >= 2000 && date.year() < 2100)
                QCOMPARE(stringToDateWithFormat(dateToString(date, format, false), format), date);
        }
    }
}

void TestNumberDateText::exactNumbersReadBack_data()
{
    QTest::addColumn<double>("number");
    QTest::addColumn<QString>("text");
    QTest::newRow("a million and more") << 1234567.0 << "1234567";
    QTest::newRow("a round million") << 1000000.0 << "1000000";
    QTest::newRow("negative with a fraction") << -1234567.25 << "-1234567.25";
    QTest::newRow("a tenth") << 0.1 << "0.1";
    QTest::newRow("a third") << 1.0 / 3 << "0.3333333333333333";
    QTest::newRow("beyond the exact integers") << 123456789012345678.0 << "123456789012345680";
    QTest::newRow("whole, just below the exponent") << 1e20 << "100000000000000000000";
    QTest::newRow("whole, past it") << 1e22 << "1e+22";
    QTest::newRow("tiny") << 1e-7 << "1e-07";
    QTest::newRow("negative zero") << -0.0 << "0";
}

void TestNumberDateText::exactNumbersReadBack()
{
    QFETCH(double, number);
    QFETCH(QString, text);
    const ValueFormats formats = withDateFormat(0);
    QCOMPARE(exactNumberToString(number, formats), text);
    bool ok = false;
    QCOMPARE(stringToNumber(text, formats, false, &ok), number);
    QVERIFY(ok);
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
    const ValueFormats formats = withDateFormat(0);
    QCOMPARE(parseRelativeDate(text, formats), date);
    // Entered dates are written in the user's format; anything else stays as typed.
    QCOMPARE(normalizeDateText(text, formats), date.isValid() ? dateToString(date, 0, true) : text);
}

TAVROLO_CORE_TEST_MAIN(TestNumberDateText)
#include "tst_numberdatetext.moc"
