#include "charts/ChartsLayouter.h"

#include "common/core/NumberDateText.h"
#include "common/core/TextHelpers.h"
#include "model/Document.h"

#include <algorithm>
#include <cmath>

#include <QHash>

namespace {

// Bar names are cut to this many characters.
const int barNameLength = 15;

// The distinct values of a property in value order, each trimmed; values that become equal
// share the place of the first. index maps every value as stored to its place.
struct TrimmedValues
{
    void read(const Document &doc, int property)
    {
        const QStringList stored = doc.values(property);
        QHash<QString, int> place;
        for (const QString &value : stored) {
            const QString trimmed = value.trimmed();
            int at = place.value(trimmed, -1);
            if (at < 0) {
                at = values.size();
                place.insert(trimmed, at);
                values.append(trimmed);
                firstStored.append(value);
            }
            index.insert(value, at);
        }
    }

    QStringList values;
    // The first value as stored that gave each place: it is a value cards have, so its colour
    // is the one the cards show.
    QStringList firstStored;
    QHash<QString, int> index;
};

} // namespace

bool ChartsLayouter::canChart(const Document &doc)
{
    return doc.chartShowProperty() >= 1 && doc.chartByProperty() >= 1;
}

ChartsLayouter::Charts ChartsLayouter::buildCharts(Document &doc)
{
    Charts result;
    if (!canChart(doc))
        return result;
    // The role getters read an index past the properties (a damaged file) as none.
    const int show = doc.chartShowProperty();
    const int by = doc.chartByProperty();
    const int per = doc.chartPerProperty();
    const bool countCards = show == doc.propertyCount();

    TrimmedValues byValues;
    byValues.read(doc, by);
    TrimmedValues perValues;
    if (per > 0)
        perValues.read(doc, per);
    const bool perCharts = !perValues.values.isEmpty();
    const int bars = byValues.values.size();
    const int charts = perCharts ? perValues.values.size() : 1;

    // Sums only for the (chart, bar) pairs that cards reach: By x Per pairs may run into the
    // billions where the cards are some thousands.
    QHash<qint64, double> sums;
    const bool filtering = doc.chartsFiltering();
    const ValueFormats formats = doc.valueFormats();
    const int tasks = doc.taskCount();
    for (TaskIndex task = 0; task < tasks; ++task) {
        if (filtering && !doc.taskPassesFilter(task))
            continue;
        const int bar = byValues.index.value(doc.value(task, by), -1);
        const int chart = perCharts ? perValues.index.value(doc.value(task, per), -1) : 0;
        if (bar < 0 || chart < 0)
            continue;
        sums[qint64(chart) * bars + bar]
            += countCards ? 1.0 : stringToNumber(doc.value(task, show), formats, true);
    }
    // In grid order: by chart, then by bar.
    QVector<QPair<qint64, double>> cells;
    cells.reserve(sums.size());
    for (auto it = sums.constBegin(); it != sums.constEnd(); ++it)
        cells.append({it.key(), it.value()});
    sums.clear();
    std::sort(cells.begin(), cells.end());

    const bool hideZero = doc.chartsHideZeroBars();
    const bool hideEmpty = doc.chartsHideEmpty();
    // What the scene would be given, counted before anything is built.
    qint64 chartsBuilt = hideEmpty && bars == 0 ? 0 : charts;
    qint64 barsBuilt = chartsBuilt * bars;
    if (hideZero) {
        barsBuilt = 0;
        qint64 withBars = 0;
        qint64 lastChart = -1;
        for (const auto &cell : qAsConst(cells)) {
            if (cell.second == 0.0)
                continue;
            ++barsBuilt;
            if (cell.first / bars != lastChart) {
                lastChart = cell.first / bars;
                ++withBars;
            }
        }
        if (hideEmpty)
            chartsBuilt = withBars;
    }
    if (chartsBuilt > maximumCharts || barsBuilt > maximumBars) {
        result.tooManyToDraw = true;
        return result;
    }

    QList<ChartValue> barTemplates;
    for (int bar = 0; bar < bars; ++bar) {
        ChartValue value;
        value.name = elideText(byValues.values.at(bar), barNameLength) + QLatin1Char(' ');
        value.color = doc.colorForValue(by, byValues.firstStored.at(bar));
        barTemplates.append(value);
    }
    const QString byName = doc.propertyName(by);
    // The property count names "<cards>".
    const QString showName = doc.propertyName(show);
    for (const auto &cell : qAsConst(cells))
        result.maxValue = std::max(result.maxValue, cell.second);
    int next = 0;
    for (int chart = 0; chart < charts; ++chart) {
        ChartData data;
        data.hasTitle = perCharts;
        data.title = perCharts ? perValues.values.at(chart) : QString();
        data.byName = byName;
        data.showName = showName;
        const qint64 first = qint64(chart) * bars;
        const auto addBar = [&](int bar, double sum) {
            ChartValue value = barTemplates.at(bar);
            value.value = sum;
            data.values.append(value);
        };
        if (hideZero) {
            // Only the cells cards reached can hold a bar.
            for (; next < cells.size() && cells.at(next).first < first + bars; ++next) {
                if (cells.at(next).second != 0.0)
                    addBar(int(cells.at(next).first - first), cells.at(next).second);
            }
        } else {
            for (int bar = 0; bar < bars; ++bar) {
                const bool reached = next < cells.size() && cells.at(next).first == first + bar;
                addBar(bar, reached ? cells.at(next++).second : 0.0);
            }
        }
        if (!hideEmpty || !data.values.isEmpty())
            result.charts.append(data);
    }
    return result;
}

QList<QPair<QString, QColor>> ChartsLayouter::legendRows(Document &doc)
{
    QList<QPair<QString, QColor>> rows;
    const int by = doc.chartByProperty();
    if (by < 1 || doc.actualPropertyType(by) != ActualType::Text)
        return rows;
    // "All colors" lists the predefined values too; the visible colours are those of the cards
    // the charts count.
    ValueListOptions options;
    options.includePredefined = LegendMode::listsAllColors(doc.chartsShowLegend());
    options.onlyFiltered = !options.includePredefined && doc.chartsFiltering();
    const QStringList listed = doc.values(by, options);
    TrimmedValues bars;
    bars.read(doc, by);
    QVector<bool> listedBar(bars.values.size(), false);
    for (const QString &value : listed) {
        const int bar = bars.index.value(value, -1);
        if (bar < 0 || listedBar.at(bar))
            continue;
        listedBar[bar] = true;
        rows.append({bars.values.at(bar), doc.colorForValue(by, bars.firstStored.at(bar))});
    }
    return rows;
}

int ChartsLayouter::gridColumns(int n, double aspect)
{
    if (n < 2)
        return 1;
    int columns = std::max(1, int(std::lround(std::sqrt(aspect * n))));
    const int rows = (n + columns - 1) / columns;
    while (columns > 1 && rows * (columns - 1) >= n)
        --columns;
    return columns;
}

double ChartsLayouter::viewAspect(const QSize &viewport)
{
    if (viewport.width() < 1 || viewport.height() < 1)
        return 1.0;
    return double(viewport.width()) / viewport.height();
}

QPointF ChartsLayouter::gridPosition(int k, int columns)
{
    columns = std::max(1, columns);
    return QPointF((k % columns) * chartSize, (k / columns) * chartSize);
}

QRectF ChartsLayouter::legendRect(int rows, double textWidth, bool hasCards)
{
    if (!hasCards)
        return QRectF();
    const double height = rows < 2 ? 130.0 * rows + 130.0 : 162.0 * rows - 32.0 + 130.0;
    return QRectF(0, 0, 292.0 + textWidth, height);
}

QPointF ChartsLayouter::legendPosition(const QRectF &charts, const QSizeF &legend, int showLegend)
{
    if (LegendMode::atRight(showLegend))
        return QPointF(charts.right() + legendGap,
                       charts.top() + charts.height() / 2 - legend.height() / 2);
    return QPointF(charts.left() + charts.width() / 2 - legend.width() / 2,
                   charts.bottom() + legendGap);
}

QPointF ChartsLayouter::titlePosition(const QRectF &rect, const QSizeF &title)
{
    return QPointF(rect.left() + rect.width() / 2 - title.width() / 2,
                   rect.top() - 1.5 * title.height());
}

QPointF ChartsLayouter::footerPosition(const QRectF &rect, const QSizeF &footer)
{
    return QPointF(rect.left() + rect.width() / 2 - footer.width() / 2,
                   rect.bottom() + footer.height() / 2);
}

QRectF ChartsLayouter::withTextLine(const QRectF &rect, const QRectF &line)
{
    const double half = line.height() / 2;
    return rect.united(line.adjusted(-half, 0, half, 0));
}

ChartsLayouter::ChartGeometry ChartsLayouter::chartGeometry(const QRectF &rect, bool hasTitle,
                                                            bool axesText, bool byText,
                                                            bool valueText)
{
    ChartGeometry g;
    const double dx = rect.width() * 0.025;
    const double dy = rect.height() * 0.025;
    g.frame = rect.adjusted(dx, dy, -dx, -dy);
    g.titleBand = hasTitle ? 150.0 : 0.0;
    g.axesBand = axesText ? 135.0 : 0.0;
    g.byBand = byText ? 330.0 : 0.0;
    g.valueBand = valueText ? 65.0 : 0.0;
    // The axes band is reserved twice: left for the Show name, below for the By name.
    g.plot = QRectF(g.frame.left() + g.axesBand, g.frame.top() + g.titleBand + g.valueBand,
                    g.frame.width() - g.axesBand,
                    g.frame.height() - g.axesBand - g.byBand - g.titleBand - g.valueBand);
    return g;
}

QRectF ChartsLayouter::ChartGeometry::titleRect() const
{
    return QRectF(plot.left(), frame.top(), plot.width(), titleBand);
}

QRectF ChartsLayouter::ChartGeometry::byNameRect() const
{
    return QRectF(plot.left(), frame.bottom() - axesBand, plot.width(), axesBand);
}

QPointF ChartsLayouter::ChartGeometry::showNameCentre() const
{
    return QPointF(frame.left() + axesBand / 2, frame.top() + titleBand + showNameLength() / 2);
}

double ChartsLayouter::ChartGeometry::showNameLength() const
{
    return frame.height() - axesBand - byBand - titleBand;
}

double ChartsLayouter::ChartGeometry::barWidth(int bars) const
{
    return bars > 0 ? plot.width() / bars : 0.0;
}

QRectF ChartsLayouter::ChartGeometry::barRect(int i, int bars, double value, double maxValue) const
{
    const double w = barWidth(bars);
    const double h = maxValue > 0.0 ? value * plot.height() / maxValue : 0.0;
    return QRectF(plot.left() + i * w, baseline() - h, w, h).normalized();
}

QRectF ChartsLayouter::ChartGeometry::valueTextRect(int i, int bars, double value,
                                                    double maxValue) const
{
    const double w = barWidth(bars);
    const double h = maxValue > 0.0 ? value * plot.height() / maxValue : 0.0;
    return QRectF(plot.left() + i * w, baseline() - h - valueBand, w, valueBand);
}

QPointF ChartsLayouter::ChartGeometry::byTextCentre(int i, int bars) const
{
    const double w = barWidth(bars);
    return QPointF(plot.left() + i * w + w / 2, baseline() + byBand / 2);
}

int ChartsLayouter::byTextBasePixels(double barWidth)
{
    return int(std::floor(0.8 * barWidth));
}

double ChartsLayouter::fitScale(const QVector<double> &widths, double room, double share)
{
    double scale = 1.0;
    for (double width : widths) {
        if (width > room)
            scale = std::min(scale, share * room / width);
    }
    return scale;
}

int ChartsLayouter::scaledPixels(double scale, double basePixels)
{
    const double pixels = std::floor(scale * basePixels);
    // Far beyond any drawable size; also keeps the conversion defined.
    return pixels >= 1.0 ? int(std::min(pixels, 1e6)) : 0;
}
