#include "charts/ChartsLegendItem.h"

#include "charts/ChartsLayouter.h"
#include "common/core/Colors.h"
#include "common/core/TextHelpers.h"
#include "model/Document.h"

#include <cmath>

#include <QFontMetricsF>
#include <QPainter>

namespace {

const int fontPixelSize = 104;
const double margin = 65.0;
const double swatch = 130.0;
const double rowStep = 162.0;
const double textLeft = 227.0;
const int textLength = 50;

QFont legendFont(const Document &doc)
{
    QFont font = doc.chartFont();
    font.setPixelSize(fontPixelSize);
    return font;
}

} // namespace

ChartsLegendItem::ChartsLegendItem(Document *document) : m_document(document) { }

void ChartsLegendItem::build()
{
    prepareGeometryChange();
    m_rows.clear();
    m_textWidth = 0;
    Document &doc = *m_document;
    m_hasCards = doc.taskCount() > 0;
    m_rows = ChartsLayouter::legendRows(doc);
    const QFontMetricsF metrics(legendFont(doc));
    double widest = 0.0;
    for (const QPair<QString, QColor> &row : qAsConst(m_rows))
        widest = std::max(widest, metrics.horizontalAdvance(elideText(row.first, textLength)));
    m_textWidth = int(std::ceil(widest));
}

QRectF ChartsLegendItem::boundingRect() const
{
    return ChartsLayouter::legendRect(m_rows.size(), m_textWidth, m_hasCards);
}

void ChartsLegendItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
                             QWidget *widget)
{
    Q_UNUSED(option)
    Q_UNUSED(widget)
    if (!m_hasCards)
        return;
    const Document &doc = *m_document;
    painter->save();
    painter->setFont(legendFont(doc));
    const QColor textColor = doc.chartsTextColor();
    const QPen swatchPen(doc.chartsLineColor(), 10, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
    const int gradient = doc.chartsGradient();
    for (int k = 0; k < m_rows.size(); ++k) {
        const double y = margin + rowStep * k;
        const QRectF box(margin, y, swatch, swatch);
        painter->setPen(swatchPen);
        painter->setBrush(cardBrush(box, m_rows.at(k).second, gradient));
        painter->drawRect(box);
        painter->setPen(textColor);
        painter->drawText(QRectF(textLeft, y, m_textWidth, swatch),
                          Qt::AlignLeft | Qt::AlignVCenter,
                          elideText(m_rows.at(k).first, textLength));
    }
    painter->setPen(textColor);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(boundingRect().translated(-6, -6));
    painter->restore();
}
