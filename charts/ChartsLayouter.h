#pragma once

#include "charts/ChartData.h"

#include <QColor>
#include <QList>
#include <QPair>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QVector>

class Document;

// The arithmetic of the Charts pane, kept apart from scene and items so that it can be tested
// and timed alone: the bar sums of every chart from the plan, the grid the charts are placed
// in, where title, legend and footer go, and the geometry of one chart's drawing. Values in,
// rectangles out; ChartsScene, ChartItem and ChartsLegendItem apply the results.
class ChartsLayouter
{
public:
    // Every chart is a square of this many scene units.
    static constexpr double chartSize = 2000.0;
    // Room around the outermost item of the scene.
    static constexpr double sceneMargin = 25.0;
    // Gap between the charts and a legend below or right of them.
    static constexpr double legendGap = 130.0;

    // The most charts, and bars over all charts, that a build makes; past either nothing is
    // built (see Charts::tooManyToDraw). A chart per card of a 10,000-card plan (charts per a
    // name or an id) is drawn, with up to 25 bars each; each bar costs some 60 bytes and a
    // few microseconds at every paint, so the most bars take some 15 MB and about a second to
    // paint at most.
    static constexpr qint64 maximumCharts = 10000;
    static constexpr qint64 maximumBars = 250000;

    // The charts of the plan's chart settings in grid order, and the largest bar sum over all
    // of them (never below 0), the common scale. When the settings ask for more charts or bars
    // than the maxima, tooManyToDraw is set and there is no chart.
    struct Charts
    {
        QList<ChartData> charts;
        double maxValue = 0.0;
        bool tooManyToDraw = false;
    };

    // Whether the chart settings name a Show and a By property; without both nothing is built.
    static bool canChart(const Document &doc);
    // One pass over the cards in card order: each counted card adds to exactly one bar, found
    // by its By and Per values, so every bar adds its cards in card order. By and Per values
    // that differ only in leading or trailing blanks share one bar and one chart, at the place
    // of the first of them. Sums are kept for the bars that cards reach alone, and the charts
    // and bars are counted before they are built, so a build takes memory for its cards and
    // for at most the maxima, whatever the number of By and Per values. Empty when canChart
    // is false.
    static Charts buildCharts(Document &doc);

    // The legend's rows for the show-legend setting, each a value and its colour: the values
    // the setting lists, as the bars show them. By values that differ only in leading or
    // trailing blanks are one bar, so they are one row, trimmed, in that bar's colour.
    static QList<QPair<QString, QColor>> legendRows(Document &doc);

    // The grid of n charts for a viewport of width / height aspect: as many columns as make
    // the grid's shape close to the aspect, and no column left empty.
    static int gridColumns(int n, double aspect);
    // Width / height of the viewport; 1 when it has no usable size.
    static double viewAspect(const QSize &viewport);
    // The top-left of chart k (from 0) in a grid of that many columns, row by row.
    static QPointF gridPosition(int k, int columns);

    // The legend's own rectangle for its rows and its widest text; empty for a plan without
    // cards.
    static QRectF legendRect(int rows, double textWidth, bool hasCards);
    // Where the legend of that size goes for the show-legend setting (1 and 3 below, 2 and 4
    // right of the charts' rectangle).
    static QPointF legendPosition(const QRectF &charts, const QSizeF &legend, int showLegend);
    // The title's top-left: centred over the rectangle, its bottom half a line above it.
    static QPointF titlePosition(const QRectF &rect, const QSizeF &title);
    // The footer's top-left: centred under the rectangle, half a line below it.
    static QPointF footerPosition(const QRectF &rect, const QSizeF &footer);
    // The rectangle grown to hold a title or footer line, widened by half its height each side.
    static QRectF withTextLine(const QRectF &rect, const QRectF &line);

    // One chart's drawing, in the item's coordinates.
    struct ChartGeometry
    {
        // The frame, 2.5 % inside the item on every side.
        QRectF frame;
        // Heights of the title band, the axes-text band (left and bottom), the By-text band
        // and the value-text band; 0 for what is not shown.
        double titleBand = 0.0;
        double axesBand = 0.0;
        double byBand = 0.0;
        double valueBand = 0.0;
        // The plot area; its bottom is the baseline.
        QRectF plot;

        double baseline() const { return plot.bottom(); }
        QRectF titleRect() const;
        QRectF byNameRect() const;
        // The Show name reads upwards, centred on this point, in a box this long and
        // axesBand high.
        QPointF showNameCentre() const;
        double showNameLength() const;
        double barWidth(int bars) const;
        // Bar i of n; a negative value hangs below the baseline, and a maxValue of 0 leaves
        // every bar flat.
        QRectF barRect(int i, int bars, double value, double maxValue) const;
        // The value text's box, just above the bar.
        QRectF valueTextRect(int i, int bars, double value, double maxValue) const;
        // The By text reads upwards, ending at the baseline: the painter turns about this point.
        QPointF byTextCentre(int i, int bars) const;
    };
    static ChartGeometry chartGeometry(const QRectF &rect, bool hasTitle, bool axesText,
                                       bool byText, bool valueText);

    // Pixel sizes of the texts before shrinking.
    static constexpr double titlePixels = 120.0;
    static constexpr double axesPixels = 108.0;
    static constexpr double valuePixels = 52.0;
    // The By texts start at 80 % of the bar width.
    static int byTextBasePixels(double barWidth);
    // One common scale for texts that must fit a room: 1, or less so that the widest text
    // takes share × room. Widths at most the room leave it alone.
    static double fitScale(const QVector<double> &widths, double room, double share);
    // The whole pixel size of a scaled text; below 1 the text is neither measured nor drawn.
    static int scaledPixels(double scale, double basePixels);
};
