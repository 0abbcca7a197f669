#pragma once

#include "charts/ChartData.h"

#include <QFont>
#include <QGraphicsObject>
#include <QStringList>

class Document;

// One bar chart of the Charts pane, a square of 2000 scene units: frame, axes, title, the axis
// names and a bar per value with its value above and its name below. ChartsScene creates it
// with the sums it computed; the item reads only the presentation from the plan when it paints
// (font family, colours, gradient, the three text switches), so a change of those needs no
// rebuild. Its painting stays inside its rectangle, even for bars hanging far below the
// baseline.
class ChartItem : public QGraphicsObject
{
public:
    explicit ChartItem(const Document *document);

    // The common scale of all charts: the largest bar sum of the last build, never below 0.
    static double maxValue;

    void setSize(const QSize &size);
    // The record is copied; the text measurements of the previous one are dropped.
    void setChart(const ChartData &chart);
    const ChartData &chart() const { return m_chart; }

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

private:
    // The shrink factors of the value and By texts, measured once for the font and the bands
    // they were measured with, and the value texts themselves.
    struct TextScales
    {
        QFont font;
        int byBasePixels = -1;
        bool valueText = false;
        bool byText = false;
        double valueScale = 1.0;
        double byScale = 1.0;
        QStringList valueTexts;
        bool valid = false;
    };
    const TextScales &textScales(const QFont &font, double barWidth, double byBand,
                                 double valueBand, bool valueText, bool byText) const;

    const Document *m_document;
    QRectF m_rect;
    ChartData m_chart;
    mutable TextScales m_scales;
};
