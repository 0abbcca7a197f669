#include "common/core/NumberDateText.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <QElapsedTimer>
#include <QLocale>
#include <QPair>
#include <QStringList>
#include <QVector>

namespace {

const int minYear = 1600;
const int maxYear = 3000;

// Every value of a plan passes through here during type detection; the system locale is
// built once rather than for each value.
const QLocale &numberLocale(const ValueFormats &formats)
{
    static const QLocale cLocale = QLocale::c();
    static const QLocale systemLocale = QLocale::system();
    return formats.numberFormat == NumberFormat::C ? cLocale : systemLocale;
}

QString namedText(int code, const QStringList &names)
{
    return code >= 0 && code < names.size() ? names.at(code) : QString();
}

int monthFromText(const QStringRef &text)
{
    bool ok = false;
    const int month = text.toInt(&ok, 10);
    if (ok || text.isEmpty())
        return ok ? month : 0;
    // Built once: the system locale's names do not change during a run, and every date-like
    // value of a plan comes through here.
    static const QVector<QPair<QString, QString>> names = [] {
        const QLocale locale = QLocale::system();
        QVector<QPair<QString, QString>> list;
        for (int month = 1; month <= 12; ++month)
            list.append({locale.monthName(month, QLocale::LongFormat).toLower(),
                         locale.monthName(month, QLocale::ShortFormat).toLower()});
        return list;
    }();
    const QString name = text.toString().toLower().trimmed();
    for (int month = 1; month <= 12; ++month) {
        if (name == names.at(month - 1).first || name == names.at(month - 1).second)
            return month;
    }
    return 0;
}

// The year of a date text: absent or empty parts mean this year, two digits mean 20xx.
int yearFromText(const QStringRef &text, bool present)
{
    if (!present || text.isEmpty())
        return today().year();
    bool ok = false;
    int year = text.toInt(&ok, 10);
    if (!ok)
        return 0;
    if (year <= 99)
        year += 2000;
    return year;
}

struct DateParts
{
    int day;
    int month;
    int year; // -1: absent
};

// Which part holds day, month and year, by date format and number of parts.
bool partOrder(int dateFormat, int partCount, DateParts &order)
{
    if (dateFormat < DateFormat::DayMonthYear || dateFormat > DateFormat::YearMonthDay
        || (partCount != 2 && partCount != 3))
        return false;
    if (partCount == 2) {
        order
            = dateFormat == DateFormat::DayMonthYear ? DateParts {0, 1, -1} : DateParts {1, 0, -1};
        return true;
    }
    static const DateParts threeParts[] = {{0, 1, 2}, {1, 0, 2}, {2, 1, 0}};
    order = threeParts[dateFormat];
    return true;
}

QString dateSeparator(const QString &text)
{
    for (const char *separator : {"/", "-", " "}) {
        if (text.contains(QLatin1String(separator)))
            return QString::fromLatin1(separator);
    }
    return QString();
}

// One scan instead of three searches: every value of an automatic property is read as a
// number, and few hold a currency sign.
bool hasCurrencySign(const QString &text)
{
    for (const QChar c : text) {
        if (c == QLatin1Char('$') || c == QChar(0x00A3) || c == QChar(0x20AC))
            return true;
    }
    return false;
}

} // namespace

double stringToNumber(const QString &text, const ValueFormats &formats, bool emptyIsZero, bool *ok)
{
    QString cleaned = text.trimmed();
    if (hasCurrencySign(cleaned))
        cleaned.remove(QLatin1Char('$')).remove(QChar(0x00A3)).remove(QChar(0x20AC));
    if (emptyIsZero && cleaned.isEmpty()) {
        if (ok)
            *ok = true;
        return 0;
    }
    bool converted = false;
    double value = numberLocale(formats).toDouble(cleaned, &converted);
    // The locale reads "inf" and "nan", which no bin, sum or range can use.
    if (converted && !std::isfinite(value))
        converted = false;
    if (!converted)
        value = 0;
    if (ok)
        *ok = converted;
    return value;
}

QPair<double, double> numberRange(const QStringList &texts, const ValueFormats &formats)
{
    if (texts.isEmpty())
        return qMakePair(0.0, 0.0);
    double minimum = stringToNumber(texts.first(), formats, true);
    double maximum = minimum;
    for (const QString &text : texts) {
        const double x = stringToNumber(text, formats, true);
        minimum = std::min(minimum, x);
        maximum = std::max(maximum, x);
    }
    return qMakePair(minimum, maximum);
}

QPair<QDate, QDate> dateRange(const QStringList &texts, const ValueFormats &formats)
{
    QDate minimum;
    QDate maximum;
    for (const QString &text : texts) {
        const QString trimmed = text.trimmed();
        if (trimmed.isEmpty())
            continue;
        bool ok = false;
        const QDate date = stringToDate(trimmed, formats, &ok);
        if (!ok || !date.isValid())
            continue;
        if (!minimum.isValid() || date < minimum)
            minimum = date;
        if (!maximum.isValid() || date > maximum)
            maximum = date;
    }
    return qMakePair(minimum, maximum);
}

QString numberToString(double value, const ValueFormats &formats)
{
    return numberLocale(formats).toString(value, 'g', 6);
}

QString exactNumberToString(double value, const ValueFormats &formats)
{
    QLocale locale = numberLocale(formats);
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    // Past this size an integer's digits would be mostly zeros; the exponent form is shorter.
    const double wholeLimit = 1e21;
    if (value == 0.0)
        value = 0.0; // no "-0"
    const bool whole
        = std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < wholeLimit;
    return whole ? locale.toString(value, 'f', 0)
                 : locale.toString(value, 'g', QLocale::FloatingPointShortest);
}

int guessValueType(const QString &text, const ValueFormats &formats)
{
    if (text.isEmpty())
        return 0;
    bool ok = false;
    stringToNumber(text, formats, false, &ok);
    if (ok)
        return 1;
    stringToDate(text, formats, &ok);
    return ok ? 2 : 0;
}

QDate stringToDate(const QString &text, const ValueFormats &formats, bool *ok)
{
    return stringToDateWithFormat(text, formats.dateFormat, ok);
}

QDate stringToDateWithFormat(const QString &text, int dateFormat, bool *ok)
{
    if (ok)
        *ok = false;
    const QString separator = dateSeparator(text);
    if (separator.isEmpty())
        return QDate();
    // Parts as references into the text: every value of an automatic property comes here.
    const QVector<QStringRef> parts = text.splitRef(separator);
    DateParts order;
    if (!partOrder(dateFormat, parts.size(), order))
        return QDate();
    bool dayOk = false;
    const int day = parts.at(order.day).toInt(&dayOk, 10);
    if (!dayOk || day < 1 || day > 31)
        return QDate();
    const int month = monthFromText(parts.at(order.month));
    if (month < 1 || month > 12)
        return QDate();
    // Only now the year: today's date costs a look at the time zone file, and most texts
    // that reach here (every value of an automatic property) are no dates at all.
    const bool hasYear = order.year >= 0;
    const int year = yearFromText(hasYear ? parts.at(order.year) : QStringRef(), hasYear);
    if (year < minYear || year > maxYear)
        return QDate();
    const QDate date(year, month, day);
    if (ok)
        *ok = date.isValid();
    return date;
}

bool isWeekend(const QString &text, const ValueFormats &formats)
{
    if (text.isEmpty())
        return false;
    bool ok = false;
    const QDate date = stringToDate(text, formats, &ok);
    return ok && date.dayOfWeek() >= 6;
}

QString dateToString(const QDate &date, int dateFormat, bool longYear)
{
    if (!date.isValid())
        return QString();
    static const char *const longPatterns[] = {"d/M/yyyy", "M/d/yyyy", "yyyy/M/d"};
    static const char *const shortPatterns[] = {"d/M/yy", "M/d/yy", "yy/M/d"};
    const bool known
        = dateFormat >= DateFormat::DayMonthYear && dateFormat <= DateFormat::YearMonthDay;
    const int index = known ? dateFormat : DateFormat::DayMonthYear;
    // Plain digits whatever the system locale, so that every written date reads back.
    return QLocale::c().toString(
        date, QString::fromLatin1(longYear ? longPatterns[index] : shortPatterns[index]));
}

bool fuzzyEqual(double a, double b)
{
    const double difference = std::fabs(a - b);
    if (difference < std::fabs(a + b) * 0x1p-22)
        return true;
    return difference < static_cast<double>(std::numeric_limits<float>::min());
}

QDate today()
{
    static QElapsedTimer sinceLookup;
    static QDate date;
    if (!sinceLookup.isValid() || sinceLookup.elapsed() >= 1000) {
        date = QDate::currentDate();
        sinceLookup.start();
    }
    return date;
}

int dateBucket(const QDate &date)
{
    if (!date.isValid())
        return 5;
    const qint64 days = today().daysTo(date);
    if (days < 0)
        return 0;
    if (days == 0)
        return 1;
    if (days == 1)
        return 2;
    return days <= 7 ? 3 : 4;
}

QString dateBucketName(int bucket)
{
    static const QStringList names
        = {QStringLiteral("Past"),        QStringLiteral("Today"),   QStringLiteral("Tomorrow"),
           QStringLiteral("Next 7 days"), QStringLiteral(">7 days"), QStringLiteral("Undefined")};
    return namedText(bucket, names);
}

QString propertyTypeName(int declaredType)
{
    static const QStringList names = {QStringLiteral("Automatic"), QStringLiteral("Text"),
                                      QStringLiteral("Numeric"), QStringLiteral("Date")};
    return namedText(declaredType, names);
}

QString matchTypeName(int matchType)
{
    static const QStringList names = {
        QStringLiteral("Contains"), QStringLiteral("Doesn't contain"), QStringLiteral("Is"),
        QStringLiteral("Is not"),   QStringLiteral("Greater than"),    QStringLiteral("Less than")};
    return namedText(matchType, names);
}
