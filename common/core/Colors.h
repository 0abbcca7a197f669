#pragma once

#include <QBrush>
#include <QColor>
#include <QLinearGradient>
#include <QPolygonF>
#include <QRectF>
#include <QString>

// Colour and shape rules shared by the Cards and Charts panes, the tables, the colour
// buttons and the plan files. They keep no state.

// Black or white (grey when soft) text that stays readable on the background.
QColor contrastingTextColor(const QColor &background, bool soft);

// Colours travel through plan files and preferences as "r,g,b"; alpha is not kept.
QString colorToString(const QColor &color);
QColor stringToColor(const QString &text);

QBrush cardBrush(const QRectF &rect, const QColor &color, int gradient);
QLinearGradient cardGradient(const QRectF &rect, const QColor &color, int gradient);

QPolygonF starPolygon(const QRectF &rect, int points);
QPolygonF regularPolygon(const QRectF &rect, int corners);

// The colour of links and highlights in the user-interface style (a UiStyle code).
QColor accentColor(int uiStyle);

// Shrinks one side so that width / height equals the aspect; never grows either side.
void fitToAspect(double &width, double &height, double aspect);
