#include "table/SmartSortTableWidgetItem.h"

#include "common/app/Accessors.h"
#include "common/core/NumberDateText.h"
#include "model/Document.h"

#include <typeinfo>

namespace {

enum Flag : quint8 { DateRead = 1, IsNumber = 2, IsDate = 4 };

// A key for the formats the cached readings were made under; never 0, which means unread.
quint8 formatsKey(const ValueFormats &formats)
{
    return static_cast<quint8>(1 + ((formats.dateFormat & 0x3f) << 1)
                               + (formats.numberFormat == NumberFormat::C ? 1 : 0));
}

} // namespace

SmartSortTableWidgetItem::SmartSortTableWidgetItem(const QString &text, int type)
    : QTableWidgetItem(text, type)
{ }

SmartSortTableWidgetItem::~SmartSortTableWidgetItem() = default;

QTableWidgetItem *SmartSortTableWidgetItem::clone() const
{
    auto *copy = new SmartSortTableWidgetItem(QString(), type());
    *static_cast<QTableWidgetItem *>(copy) = *this;
    copy->setColors(m_background, m_foreground);
    return copy;
}

QVariant SmartSortTableWidgetItem::data(int role) const
{
    if (role == Qt::BackgroundRole && m_background.style() != Qt::NoBrush)
        return m_background;
    if (role == Qt::ForegroundRole && m_foreground.style() != Qt::NoBrush)
        return m_foreground;
    return QTableWidgetItem::data(role);
}

void SmartSortTableWidgetItem::setColors(const QBrush &background, const QBrush &foreground)
{
    m_background = background;
    m_foreground = foreground;
}

void SmartSortTableWidgetItem::setData(int role, const QVariant &value)
{
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        m_formats = 0;
    QTableWidgetItem::setData(role, value);
}

void SmartSortTableWidgetItem::parse(bool withDate) const
{
    const ValueFormats &formats = doc()->valueFormats();
    const quint8 key = formatsKey(formats);
    if (m_formats != key) {
        m_formats = key;
        bool ok = false;
        m_number = stringToNumber(text(), formats, false, &ok);
        m_flags = ok ? IsNumber : 0;
    }
    if (withDate && !(m_flags & DateRead)) {
        bool ok = false;
        const QDate day = stringToDate(text(), formats, &ok);
        m_julianDay = ok ? day.toJulianDay() : 0;
        m_flags |= DateRead | (ok && day.isValid() ? IsDate : 0);
    }
}

bool SmartSortTableWidgetItem::number(double *value) const
{
    parse(false);
    *value = m_number;
    return m_flags & IsNumber;
}

bool SmartSortTableWidgetItem::date(qint64 *julianDay) const
{
    parse(true);
    *julianDay = m_julianDay;
    return m_flags & IsDate;
}

bool SmartSortTableWidgetItem::operator<(const QTableWidgetItem &other) const
{
    // Sorting compares each cell many times; a type check is cheaper than a dynamic cast.
    const auto *smart = typeid(other) == typeid(SmartSortTableWidgetItem)
        ? static_cast<const SmartSortTableWidgetItem *>(&other)
        : nullptr;
    if (!smart) {
        // A cell of another kind is read afresh, the same way.
        const SmartSortTableWidgetItem reading(other.text());
        return *this < reading;
    }
    double a = 0.0;
    double b = 0.0;
    if (number(&a) && smart->number(&b))
        return a < b;
    qint64 dayA = 0;
    qint64 dayB = 0;
    if (date(&dayA) && smart->date(&dayB))
        return dayA < dayB;
    return text() < other.text();
}
