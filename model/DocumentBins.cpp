#include "common/core/NumberDateText.h"
#include "model/Document.h"

#include <cmath>
#include <limits>

#include <QLocale>

namespace {

template<typename Bin>
QStringList binNames(const QList<Bin> &bins, QString (*name)(const Bin &))
{
    QStringList names;
    names.reserve(bins.size());
    for (const Bin &bin : bins)
        names.append(name(bin));
    return names;
}

// The Cards pane gets one column or row per bin, so every bin list is capped; the last bin
// absorbs whatever the range still holds.
constexpr int MaxBins = 500;

// The first lower bound: a non-negative minimum starts a bin of its own, a negative one
// starts on the multiple of the bin size at or below it. Plain doubles, so minimums far
// beyond the range of int still give a sensible start.
double numericBinStart(double size, double minimum)
{
    if (!std::isfinite(minimum))
        return 0.0;
    if (minimum >= 0.0)
        return std::trunc(minimum);
    return -std::ceil(-minimum / size) * size;
}

// The smallest upper bound lower + k * size (k >= 1) above the maximum; when the bin size has
// vanished in the magnitude of the bounds, the next double above the maximum.
double coveringUpper(double lower, double size, double maximum)
{
    const double steps = std::max(1.0, std::floor((maximum - lower) / size) + 1.0);
    double upper = lower + steps * size;
    if (upper <= maximum)
        upper = lower + (steps + 1.0) * size;
    if (!(upper > maximum))
        upper = std::nextafter(maximum, std::numeric_limits<double>::infinity());
    return upper;
}

QString binNumber(double value)
{
    return QString::number(value, 'g', 6);
}

QString shortMonth(const QDate &date)
{
    return QLocale::system().standaloneMonthName(date.month(), QLocale::ShortFormat);
}

QString shortDay(const QDate &date)
{
    return QLocale::system().standaloneDayName(date.dayOfWeek(), QLocale::ShortFormat);
}

QDate firstDayOfDateBin(int unit, const QDate &date)
{
    switch (unit) {
    case DateBinUnit::Week:
        return date.addDays(1 - date.dayOfWeek());
    case DateBinUnit::Month:
        return QDate(date.year(), date.month(), 1);
    case DateBinUnit::Year:
        return QDate(date.year(), 1, 1);
    default:
        return date;
    }
}

QDate lastDayOfDateBin(int unit, const QDate &first)
{
    switch (unit) {
    case DateBinUnit::Week:
        return first.addDays(6);
    case DateBinUnit::Month:
        return QDate(first.year(), first.month(), first.daysInMonth());
    case DateBinUnit::Year:
        return QDate(first.year(), 12, 31);
    default:
        return first;
    }
}

} // namespace

QList<Document::NumericBin> Document::numericBins(int binSize, double minimum, double maximum)
{
    // A plan file can carry any bin size; below 1 the stepping would never reach the maximum.
    const double size = std::max(1, binSize);
    double lower = numericBinStart(size, minimum);
    if (std::isnan(maximum))
        maximum = lower;
    QList<NumericBin> bins;
    while (true) {
        double upper = lower + size;
        // The last bin also comes when the bin size has vanished in the magnitude of the bounds.
        const bool last = bins.size() == MaxBins - 1 || upper == lower;
        if (last)
            upper = coveringUpper(lower, size, std::max(maximum, lower));
        bins.append(NumericBin(lower, upper));
        if (last || upper > maximum || !std::isfinite(upper))
            return bins;
        lower = upper;
    }
}

QList<Document::DateBin> Document::dateBins(int unit, const QDate &minimum, const QDate &maximum,
                                            bool addNoDateBin)
{
    QList<DateBin> bins;
    if (minimum.isValid() && maximum.isValid() && unit >= DateBinUnit::Day
        && unit <= DateBinUnit::Year) {
        const int limit = addNoDateBin ? MaxBins - 2 : MaxBins - 1;
        QDate first = firstDayOfDateBin(unit, minimum);
        while (first <= maximum && bins.size() < limit) {
            const QDate last = lastDayOfDateBin(unit, first);
            bins.append(DateBin(first, last));
            first = last.addDays(1);
        }
        if (first.isValid() && first <= maximum)
            bins.append(DateBin(first, maximum));
    }
    if (addNoDateBin)
        bins.append(DateBin(QDate(), QDate()));
    return bins;
}

QString Document::numericBinName(const NumericBin &bin)
{
    return QStringLiteral("%1%2 <%3")
        .arg(QChar(0x2265), binNumber(bin.first), binNumber(bin.second));
}

QStringList Document::numericBinNames(const QList<NumericBin> &bins)
{
    return binNames(bins, &Document::numericBinName);
}

QString Document::dateBinName(const DateBin &bin)
{
    const QDate &first = bin.first;
    const QDate &last = bin.second;
    const QString ellipsis(QChar(0x2026));
    if (!first.isValid())
        return QString();
    if (first == last)
        return QStringLiteral("%1 %2 %3 %4")
            .arg(shortDay(first))
            .arg(first.day())
            .arg(shortMonth(first))
            .arg(first.year());
    const bool sameYear = first.year() == last.year();
    if (sameYear && first == QDate(first.year(), 1, 1) && last == QDate(first.year(), 12, 31))
        return QString::number(first.year());
    const bool sameMonth = sameYear && first.month() == last.month();
    if (sameMonth && first.day() == 1 && last.day() == last.daysInMonth())
        return QStringLiteral("%1 %2").arg(shortMonth(first)).arg(first.year());
    if (!sameYear)
        return QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
            .arg(first.day())
            .arg(shortMonth(first))
            .arg(first.year())
            .arg(ellipsis)
            .arg(last.day())
            .arg(shortMonth(last))
            .arg(last.year());
    if (sameMonth)
        return QStringLiteral("%1 %2 %3 %4 %5")
            .arg(first.day())
            .arg(ellipsis)
            .arg(last.day())
            .arg(shortMonth(first))
            .arg(first.year());
    return QStringLiteral("%1 %2 %3 %4 %5 %6")
        .arg(first.day())
        .arg(shortMonth(first))
        .arg(ellipsis)
        .arg(last.day())
        .arg(shortMonth(last))
        .arg(first.year());
}

QStringList Document::dateBinNames(const QList<DateBin> &bins)
{
    return binNames(bins, &Document::dateBinName);
}

int Document::numericBinIndex(const QList<NumericBin> &bins, double value)
{
    for (int i = 0; i < bins.size(); ++i) {
        if (bins.at(i).first <= value && value < bins.at(i).second)
            return i;
    }
    return -1;
}

int Document::dateBinIndex(const QList<DateBin> &bins, const QDate &date)
{
    for (int i = 0; i < bins.size(); ++i) {
        const DateBin &bin = bins.at(i);
        if (!date.isValid()) {
            if (!bin.first.isValid())
                return i;
        } else if (bin.first.isValid() && bin.first <= date && date <= bin.second) {
            return i;
        }
    }
    return -1;
}

QColor Document::colorForValue(int property, const QString &value)
{
    if (!isValidProperty(property))
        return QColor(Qt::white);
    switch (actualPropertyType(property)) {
    case ActualType::Numeric:
        return numberColor(property, value);
    case ActualType::Date:
        return m_properties.at(property).appearanceRef().colorForDate(
            dateBucket(stringToDate(value, m_valueFormats)));
    default:
        break;
    }
    // Most texts already have their colour; only a new one changes (and so detaches) the plan.
    const QMap<QString, QColor> &colors = m_properties.at(property).appearanceRef().textColors();
    const auto known = colors.constFind(value);
    if (known != colors.constEnd())
        return known.value();
    return m_properties[property].mutableAppearance().colorForText(value);
}

QColor Document::numberColor(int property, const QString &value) const
{
    const double number = stringToNumber(value, m_valueFormats, true);
    const QPair<double, double> range = numericRange(property);
    const double span = range.second - range.first;
    const double t = fuzzyEqual(span, 0.0) ? 1.0 : qBound(0.0, (number - range.first) / span, 1.0);
    const PropertyAppearance &appearance = m_properties.at(property).appearanceRef();
    int hsv[2][3];
    appearance.minColor().getHsv(&hsv[0][0], &hsv[0][1], &hsv[0][2]);
    appearance.maxColor().getHsv(&hsv[1][0], &hsv[1][1], &hsv[1][2]);
    int mixed[3];
    for (int i = 0; i < 3; ++i)
        mixed[i] = static_cast<int>(hsv[0][i] + (hsv[1][i] - hsv[0][i]) * t);
    return QColor::fromHsv(mixed[0], mixed[1], mixed[2], 255);
}

QColor Document::valueColor(TaskIndex task, int property)
{
    return colorForValue(property, value(task, property));
}

QList<Document::NumericBin> Document::numericBinsOfProperty(int property) const
{
    if (!isValidProperty(property))
        return QList<NumericBin>();
    const QPair<double, double> range = numericRange(property);
    return numericBins(m_properties.at(property).appearanceRef().binSize(), range.first,
                       range.second);
}

QList<Document::DateBin> Document::dateBinsOfProperty(int property) const
{
    if (!isValidProperty(property))
        return QList<DateBin>();
    const QPair<QDate, QDate> range = dateRange(property);
    int unit = m_properties.at(property).appearanceRef().dateBinSize();
    // A unit no dialog offers (a damaged plan file) would leave every dated card without a
    // bin; such a plan gets the default, weeks.
    if (unit < DateBinUnit::Day || unit > DateBinUnit::Year)
        unit = DateBinUnit::Week;
    return dateBins(unit, range.first, range.second, true);
}

bool Document::isBinnedProperty(int property) const
{
    if (!isValidProperty(property))
        return false;
    switch (actualPropertyType(property)) {
    case ActualType::Numeric:
        return true;
    case ActualType::Date:
        return m_properties.at(property).appearanceRef().dateBinSize() != DateBinUnit::Day;
    default:
        return false;
    }
}
