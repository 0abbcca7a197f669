#pragma once

#include "model/ModelTypes.h"

#include <QColor>
#include <QMap>
#include <QStringList>

// How the values of one property look and are grouped wherever the plan is drawn: colours of
// text values and date buckets, the colour ramp of numbers, bin sizes and the user's value order.
class PropertyAppearance
{
public:
    PropertyAppearance();

    static QColor defaultDateColor(RelativeDate bucket);
    // Palette colour for the index-th text value; the palette repeats after nine colours.
    static QColor defaultTextColor(int index);

    // The colour of a text value. A text seen for the first time is given the next palette
    // colour, which is kept with the property from then on.
    QColor colorForText(const QString &text);
    // The stored colour of a date bucket, or an invalid colour when there is none.
    QColor colorForDate(RelativeDate bucket) const;

    void setDefaultDateColors();
    void setTextColor(const QString &text, const QColor &color);
    void setDateColor(RelativeDate bucket, const QColor &color);
    void setMinMaxColors(const QColor &min, const QColor &max);
    void setTextOrder(const QStringList &order) { m_textOrder = order; }
    void setBinSize(int size) { m_binSize = size; }
    void setDateBinSize(int size) { m_dateBinSize = size; }
    void setShowEmpty(bool show) { m_showEmpty = show; }

    const QMap<QString, QColor> &textColors() const { return m_textColors; }
    const QMap<RelativeDate, QColor> &dateColors() const { return m_dateColors; }
    const QStringList &textOrder() const { return m_textOrder; }
    QColor minColor() const { return m_minColor; }
    QColor maxColor() const { return m_maxColor; }
    int binSize() const { return m_binSize; }
    int dateBinSize() const { return m_dateBinSize; }
    bool showEmpty() const { return m_showEmpty; }

    bool operator==(const PropertyAppearance &other) const;
    bool operator!=(const PropertyAppearance &other) const { return !(*this == other); }

private:
    QMap<QString, QColor> m_textColors;
    QStringList m_textOrder;
    QMap<RelativeDate, QColor> m_dateColors;
    QColor m_minColor;
    QColor m_maxColor;
    int m_binSize = 10;
    bool m_showEmpty = true;
    int m_dateBinSize = 1;
};
