#include "charts/ChartItem.h"

#include "charts/ChartsLayouter.h"
#include "common/core/Colors.h"
#include "common/core/NumberDateText.h"
#include "model/Document.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QVector>

double ChartItem::maxValue = 0.0;

ChartItem::ChartItem(const Document *document) : m_document(document) { }

void ChartItem::setSize(const QSize &size)
{
    prepareGeometryChange();
    m_rect = QRectF(0, 0, size.width(), size.height());
}

void ChartItem::setChart(const ChartData &chart)
{
    m_chart = chart;
    m_scales = TextScales();
    update();
}

QRectF ChartItem::boundingRect() const
{
    return m_rect;
}

const ChartItem::TextScales &ChartItem::textScales(const QFont &font, double barWidth,
                                                   double byBand, double valueBand, bool valueText,
                                                   bool byText) const
{
    const int byBase = ChartsLayouter::byTextBasePixels(barWidth);
    if (m_scales.valid && m_scales.font == font && m_scales.byBasePixels == byBase
        && m_scales.valueText == valueText && m_scales.byText == byText)
        return m_scales;
    TextScales scales;
    scales.font = font;
    scales.byBasePixels = byBase;
    scales.valueText = valueText;
    scales.byText = byText;
    scales.valid = true;
    const QList<ChartValue> &bars = m_chart.values;
    for (const ChartValue &bar : bars)
        scales.valueTexts.append(numberToString(bar.value, m_document->valueFormats()));
    if (valueText) {
        QFont measured = font;
        measured.setPixelSize(int(ChartsLayouter::valuePixels));
        const QFontMetricsF metrics(measured);
        const QRectF box(0, 0, barWidth, valueBand);
        QVector<double> widths;
        for (int i = 0; i < bars.size(); ++i) {
            if (bars.at(i).value > 0)
                widths.append(
                    metrics.boundingRect(box, Qt::AlignCenter, scales.valueTexts.at(i)).width());
        }
        scales.valueScale = ChartsLayouter::fitScale(widths, barWidth, 0.8);
    }
    // Beyond some hundreds of bars the names get no pixel at all: then they are neither
    // measured nor drawn.
    if (byText && byBase >= 1) {
        QFont measured = font;
        measured.setPixelSize(byBase);
        const QFontMetricsF metrics(measured);
        const QRectF box(0, 0, byBand, barWidth);
        QVector<double> widths;
        for (const ChartValue &bar : bars) {
            if (!bar.name.isEmpty())
                widths.append(metrics.boundingRect(box, Qt::AlignCenter, bar.name).width());
        }
        scales.byScale = ChartsLayouter::fitScale(widths, byBand, 1.0);
    }
    m_scales = scales;
    return m_scales;
}

void ChartItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget)
{
    Q_UNUSED(option)
    Q_UNUSED(widget)
    const Document &doc = *m_document;
    painter->save();
    // A large negative bar reaches far below the baseline; it must not paint over the charts,
    // legend and footer beyond this one.
    painter->setClipRect(m_rect, Qt::IntersectClip);
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setRenderHint(QPainter::TextAntialiasing);

    const bool axesText = doc.chartsAxesText();
    const bool byText = doc.chartsByText();
    const bool valueText = doc.chartsShowValueText();
    const ChartsLayouter::ChartGeometry g
        = ChartsLayouter::chartGeometry(m_rect, m_chart.hasTitle, axesText, byText, valueText);
    const QColor lineColor = doc.chartsLineColor();
    const QColor textColor = doc.chartsTextColor();

    painter->setBrush(Qt::NoBrush);
    painter->setPen(QPen(lineColor, 2));
    painter->drawRect(g.frame);
    const QRectF &plot = g.plot;
    painter->drawLine(QPointF(plot.left(), g.baseline()), QPointF(plot.right(), g.baseline()));
    painter->drawLine(QPointF(plot.left(), g.baseline()), QPointF(plot.left(), plot.top()));

    const QPen textPen(textColor, 1);
    painter->setPen(textPen);
    QFont base = painter->font();
    base.setFamily(doc.chartFont().family());
    QFont font = base;
    if (m_chart.hasTitle) {
        font.setPixelSize(int(ChartsLayouter::titlePixels));
        painter->setFont(font);
        painter->drawText(g.titleRect(), Qt::AlignCenter, m_chart.title);
    }
    if (axesText) {
        font.setPixelSize(int(ChartsLayouter::axesPixels));
        painter->setFont(font);
        painter->drawText(g.byNameRect(), Qt::AlignCenter, m_chart.byName);
        painter->save();
        painter->translate(g.showNameCentre());
        painter->rotate(-90);
        const double length = g.showNameLength();
        painter->drawText(QRectF(-length / 2, -g.axesBand / 2, length, g.axesBand), Qt::AlignCenter,
                          m_chart.showName);
        painter->restore();
    }

    const QList<ChartValue> &bars = m_chart.values;
    const int n = bars.size();
    if (n > 0) {
        const double w = g.barWidth(n);
        const TextScales &scales = textScales(base, w, g.byBand, g.valueBand, valueText, byText);
        const int valuePixels = valueText
            ? ChartsLayouter::scaledPixels(scales.valueScale, ChartsLayouter::valuePixels)
            : 0;
        const int byPixels
            = byText ? ChartsLayouter::scaledPixels(scales.byScale, scales.byBasePixels) : 0;
        const int gradient = doc.chartsGradient();
        const QPen barPen(lineColor, 1);
        for (int i = 0; i < n; ++i) {
            const ChartValue &bar = bars.at(i);
            const QRectF rect = g.barRect(i, n, bar.value, maxValue);
            painter->setPen(barPen);
            painter->setBrush(cardBrush(rect, bar.color, gradient));
            painter->drawRect(rect);
        }
        painter->setBrush(Qt::NoBrush);
        painter->setPen(textPen);
        if (valuePixels >= 1) {
            font.setPixelSize(valuePixels);
            painter->setFont(font);
            for (int i = 0; i < n; ++i) {
                if (bars.at(i).value > 0)
                    painter->drawText(g.valueTextRect(i, n, bars.at(i).value, maxValue),
                                      Qt::AlignCenter, scales.valueTexts.at(i));
            }
        }
        if (byPixels >= 1) {
            font.setPixelSize(byPixels);
            painter->setFont(font);
            const QTransform upright = painter->worldTransform();
            const QRectF box(-g.byBand / 2, -w / 2, g.byBand, w);
            for (int i = 0; i < n; ++i) {
                QTransform turned = upright;
                const QPointF centre = g.byTextCentre(i, n);
                turned.translate(centre.x(), centre.y());
                turned.rotate(-90);
                painter->setWorldTransform(turned);
                painter->drawText(box, Qt::AlignRight | Qt::AlignVCenter, bars.at(i).name);
            }
            painter->setWorldTransform(upright);
        }
    }
    painter->restore();
}
