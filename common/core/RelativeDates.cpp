#include "common/core/RelativeDates.h"

#include "common/core/NumberDateText.h"

#include <QLocale>
#include <QPair>
#include <QStringList>
#include <QVector>

namespace {

// Dates outside these years cannot be read back from the text they are written as.
const int minYear = 1600;
const int maxYear = 3000;

QDate offsetFromToday(const QString &signedNumber, const ValueFormats &formats)
{
    bool ok = false;
    const double days = stringToNumber(signedNumber, formats, false, &ok);
    // Checked before converting: a huge count must not overflow into some other date.
    const double maxDays = 366.0 * (maxYear - minYear + 1);
    if (!ok || days > maxDays || days < -maxDays)
        return QDate();
    const QDate date = today().addDays(static_cast<qint64>(days));
    if (date.year() < minYear || date.year() > maxYear)
        return QDate();
    return date;
}

// Built once, as the month names are: the system locale's names do not change during a run,
// and every value of an automatic property that reads as no other date is tried against them.
const QVector<QPair<QString, QString>> &lowerDayNames()
{
    static const QVector<QPair<QString, QString>> names = [] {
        const QLocale locale = QLocale::system();
        QVector<QPair<QString, QString>> list;
        for (int day = 1; day <= 7; ++day)
            list.append({locale.dayName(day, QLocale::ShortFormat).toLower(),
                         locale.dayName(day, QLocale::LongFormat).toLower()});
        return list;
    }();
    return names;
}

QDate nextWeekday(const QString &name)
{
    const QVector<QPair<QString, QString>> &names = lowerDayNames();
    for (int day = 1; day <= 7; ++day) {
        if (name == names.at(day - 1).first || name == names.at(day - 1).second) {
            const QDate now = today();
            int ahead = day - now.dayOfWeek();
            if (ahead < 0)
                ahead += 7;
            return now.addDays(ahead);
        }
    }
    return QDate();
}

QString explicitDateExamples(int dateFormat)
{
    const QLocale locale = QLocale::system();
    const QString january = locale.monthName(1, QLocale::LongFormat);
    const QString jan = locale.monthName(1, QLocale::ShortFormat).toLower();
    const QString year = QStringLiteral("2017");
    const QString shortYear = QStringLiteral("17");
    if (dateFormat == DateFormat::MonthDayYear)
        return QStringLiteral("%1 01, %2/1/%3 or 01-01-%4").arg(january, jan, year, shortYear);
    if (dateFormat == DateFormat::YearMonthDay)
        return QStringLiteral("%1 01, %3/%2/1 or %4-01-01").arg(january, jan, year, shortYear);
    return QStringLiteral("01 %1, 1/%2/%3 or 01-01-%4").arg(january, jan, year, shortYear);
}

QString shortMonthNames()
{
    QStringList names;
    for (int month = 1; month <= 12; ++month)
        names.append(QLocale::system().monthName(month, QLocale::ShortFormat));
    return names.join(QLatin1Char(','));
}

QString shortDayNames()
{
    QStringList names;
    for (int day = 1; day <= 7; ++day)
        names.append(QLocale::system().dayName(day, QLocale::ShortFormat));
    return names.join(QLatin1Char(','));
}

} // namespace

QDate parseRelativeDate(const QString &text, const ValueFormats &formats)
{
    bool ok = false;
    const QDate date = stringToDateWithFormat(text, formats.dateFormat, &ok);
    if (ok)
        return date;
    const QString lower = text.trimmed().toLower();
    if ((lower.startsWith(QLatin1Char('+')) || lower.startsWith(QLatin1Char('-')))
        && lower.size() > 1)
        return offsetFromToday(lower, formats);
    if (lower == QLatin1String("today"))
        return today();
    if (lower == QLatin1String("tomorrow"))
        return today().addDays(1);
    return nextWeekday(lower);
}

QString normalizeDateText(const QString &text, const ValueFormats &formats)
{
    const QDate date = parseRelativeDate(text, formats);
    if (!date.isValid())
        return text;
    return dateToString(date, formats.dateFormat, true);
}

QString dateEntryHelpText(bool mentionLetterCase, const ValueFormats &formats)
{
    QString help = QStringLiteral(
                       "\nFor date properties you can type explicit dates (e.g. '%1', '%2', %3) or "
                       "relative dates:\n'today', 'tomorrow', '+N' or '-N' (where N is a number of "
                       "days in the future/past, e.g. '+7' is 7 days in the future).")
                       .arg(QLocale::system().dayName(1, QLocale::LongFormat),
                            QLocale::system().dayName(1, QLocale::ShortFormat).toLower(),
                            explicitDateExamples(formats.dateFormat));
    help += QStringLiteral("\nMonth abbreviations: %1.").arg(shortMonthNames());
    help += QStringLiteral("\nDay abbreviations: %1.").arg(shortDayNames());
    if (mentionLetterCase)
        help += QStringLiteral("\nDate values are not case sensitive.");
    return help;
}
