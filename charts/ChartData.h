#pragma once

#include "charts/ChartValue.h"

#include <QList>
#include <QString>

// What one chart shows, as the Charts scene computed it: its Per value as title (when the
// charts are one per Per value), the names of the By and Show properties, and the bars.
struct ChartData
{
    bool hasTitle = false;
    QString title;
    QString byName;
    QString showName;
    QList<ChartValue> values;
};
