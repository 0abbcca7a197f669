#pragma once

#include <QColor>
#include <QString>

// One bar of a chart: the sum of the Show property (or the card count) over the cards that
// have one By value, its fill colour and the label under it.
struct ChartValue
{
    double value = 0.0;
    QColor color;
    QString name;
};
