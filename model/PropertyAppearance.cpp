#include "model/PropertyAppearance.h"

#include <QVector>

namespace {

const QVector<QColor> &textPalette()
{
    static const QVector<QColor> palette = {
        QColor(251, 173, 99),  QColor(248, 170, 196), QColor(255, 227, 57),
        QColor(193, 151, 199), QColor(249, 102, 110), QColor(99, 204, 236),
        QColor(207, 227, 140), QColor(60, 155, 213),  QColor(254, 255, 153),
    };
    return palette;
}

const int dateBucketCount = 6;

} // namespace

PropertyAppearance::PropertyAppearance() : m_minColor(255, 0, 0), m_maxColor(170, 85, 255)
{
    setDefaultDateColors();
}

QColor PropertyAppearance::defaultDateColor(RelativeDate bucket)
{
    static const QColor colors[dateBucketCount] = {
        QColor(255, 0, 0),  QColor(255, 170, 0), QColor(255, 255, 0),
        QColor(85, 255, 0), QColor(0, 128, 0),   QColor(255, 255, 255),
    };
    if (bucket < 0 || bucket >= dateBucketCount)
        return QColor();
    return colors[bucket];
}

QColor PropertyAppearance::defaultTextColor(int index)
{
    const QVector<QColor> &palette = textPalette();
    return palette.at(qAbs(index) % palette.size());
}

QColor PropertyAppearance::colorForText(const QString &text)
{
    auto it = m_textColors.constFind(text);
    if (it != m_textColors.constEnd())
        return it.value();
    const QColor color = defaultTextColor(m_textColors.size());
    m_textColors.insert(text, color);
    return color;
}

QColor PropertyAppearance::colorForDate(RelativeDate bucket) const
{
    return m_dateColors.value(bucket);
}

void PropertyAppearance::setDefaultDateColors()
{
    m_dateColors.clear();
    for (int bucket = 0; bucket < dateBucketCount; ++bucket)
        m_dateColors.insert(bucket, defaultDateColor(bucket));
}

void PropertyAppearance::setTextColor(const QString &text, const QColor &color)
{
    m_textColors.insert(text, color);
}

void PropertyAppearance::setDateColor(RelativeDate bucket, const QColor &color)
{
    m_dateColors.insert(bucket, color);
}

void PropertyAppearance::setMinMaxColors(const QColor &min, const QColor &max)
{
    m_minColor = min;
    m_maxColor = max;
}

bool PropertyAppearance::operator==(const PropertyAppearance &other) const
{
    return m_textColors == other.m_textColors && m_textOrder == other.m_textOrder
        && m_dateColors == other.m_dateColors && m_minColor == other.m_minColor
        && m_maxColor == other.m_maxColor && m_binSize == other.m_binSize
        && m_showEmpty == other.m_showEmpty && m_dateBinSize == other.m_dateBinSize;
}
