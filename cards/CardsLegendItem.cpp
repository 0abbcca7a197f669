#include "cards/CardsLegendItem.h"

#include "cards/CardPainter.h"
#include "common/core/Colors.h"
#include "common/core/NumberDateText.h"
#include "common/core/TextHelpers.h"
#include "model/Document.h"

#include <algorithm>

#include <QFontMetricsF>
#include <QPainter>

namespace {

const int fontPixelSize = 104;
const double margin = 65.0;
const double keySide = 218.4;
const double keyRow = 348.4;
const double titleHeight = 156.0;
const double swatch = 130.0;
const double entryStep = 162.0;
const int labelLength = 50;

QFont legendFont(const Document &doc)
{
    QFont font = doc.cardFont();
    font.setPixelSize(fontPixelSize);
    return font;
}

} // namespace

CardsLegendItem::CardsLegendItem(Document *document) : m_document(document) { }

void CardsLegendItem::clear()
{
    prepareGeometryChange();
    m_built = false;
    m_columns.clear();
    m_columnWidths.clear();
    m_bounds = QRectF();
}

const QList<LegendColumn> &CardsLegendItem::columns() const
{
    build();
    return m_columns;
}

LegendColumn CardsLegendItem::makeColumn(int property, int style) const
{
    Document &doc = *m_document;
    LegendColumn column;
    column.title = doc.propertyName(property);
    column.style = style;
    switch (doc.actualPropertyType(property)) {
    case ActualType::Text: {
        // "All colors" lists the predefined values too, "visible colors" only the values of
        // cards that pass the filter.
        ValueListOptions options;
        options.includePredefined = LegendMode::listsAllColors(doc.cardsShowLegend());
        options.onlyFiltered = !options.includePredefined;
        for (const QString &value : doc.values(property, options))
            column.entries.append({value, doc.colorForValue(property, value)});
        break;
    }
    case ActualType::Numeric: {
        const PropertyAppearance &appearance = doc.propertyAppearanceRef(property);
        column.entries.append({QStringLiteral("Minimum"), appearance.minColor()});
        column.entries.append({QStringLiteral("Maximum"), appearance.maxColor()});
        break;
    }
    case ActualType::Date: {
        const PropertyAppearance &appearance = doc.propertyAppearanceRef(property);
        for (int bucket = DateBucket::Past; bucket <= DateBucket::Undefined; ++bucket)
            column.entries.append({dateBucketName(bucket), appearance.colorForDate(bucket)});
        break;
    }
    default:
        break;
    }
    return column;
}

bool CardsLegendItem::isEmptyPlan() const
{
    return m_document->taskCount() == 0 || m_document->allTasksFilteredOut();
}

void CardsLegendItem::build() const
{
    if (m_built)
        return;
    m_built = true;
    const Document &doc = *m_document;
    m_columns.clear();
    m_columnWidths.clear();
    if (doc.cardColorProperty() != 0)
        m_columns.append(makeColumn(doc.cardColorProperty(), LegendColumn::CardColorStyle));
    if (doc.highlightColorProperty() != 0)
        m_columns.append(makeColumn(doc.highlightColorProperty(), LegendColumn::HighlightStyle));
    for (int property = 1; property < doc.propertyCount(); ++property) {
        const int visibility = doc.propertyVisibility(property);
        if (visibility >= PropertyVisibility::Square && visibility <= PropertyVisibility::Diamond)
            m_columns.append(makeColumn(property, visibility));
    }
    const QFontMetricsF metrics(legendFont(doc));
    int width = 0;
    int longest = 0;
    for (const LegendColumn &column : qAsConst(m_columns)) {
        double widest = metrics.horizontalAdvance(column.title);
        for (const auto &entry : column.entries)
            widest
                = std::max(widest, metrics.horizontalAdvance(elideText(entry.first, labelLength)));
        m_columnWidths.append(int(widest + 292));
        width += m_columnWidths.last();
        if (!column.entries.isEmpty())
            longest = std::max(longest, int(column.entries.size() * entryStep - 32));
    }
    if (isEmptyPlan()) {
        m_bounds = QRectF(0, 0, 0, 0);
        return;
    }
    double height = 416 + longest;
    if (m_columns.size() > 1)
        height += keyRow;
    m_bounds = QRectF(0, 0, width, int(height));
}

QRectF CardsLegendItem::boundingRect() const
{
    build();
    return m_bounds;
}

void CardsLegendItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
                            QWidget *widget)
{
    Q_UNUSED(option);
    Q_UNUSED(widget);
    build();
    const Document &doc = *m_document;
    if (isEmptyPlan() || m_columns.isEmpty())
        return;
    painter->save();
    QFont font = legendFont(doc);
    QFont bold = font;
    bold.setWeight(QFont::Bold);
    QPen pen(contrastingTextColor(doc.cardBackgroundColor(), false), 10, Qt::SolidLine,
             Qt::SquareCap, Qt::BevelJoin);
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    const bool several = m_columns.size() > 1;
    const double titleTop = several ? 413.4 : margin;
    double x = margin;
    for (int i = 0; i < m_columns.size(); ++i) {
        const LegendColumn &column = m_columns.at(i);
        const int width = m_columnWidths.at(i);
        if (several) {
            const double centre = x + width / 2 - margin;
            const QRectF key(centre - keySide / 2, margin, keySide, keySide);
            painter->setBrush(Qt::NoBrush);
            if (column.style == LegendColumn::CardColorStyle
                || column.style == LegendColumn::HighlightStyle) {
                painter->drawRect(key);
                const double strip = 0.15 * keySide;
                const QRectF filled = column.style == LegendColumn::CardColorStyle
                    ? QRectF(key.x(), key.y(), key.width(), strip)
                    : QRectF(key.x(), key.y() + strip, key.width(), keySide - strip);
                painter->fillRect(filled, pen.color());
            } else {
                // The same shapes as on the cards, drawn in the legend's pen without a fill.
                CardPainter::drawMarker(painter, key, column.style);
            }
        }
        painter->setFont(bold);
        painter->drawText(QRectF(x, titleTop, width - 2 * margin, titleHeight), Qt::AlignCenter,
                          column.title);
        painter->setFont(font);
        double entryTop = titleTop + 286;
        for (const auto &entry : column.entries) {
            const QRectF box(x, entryTop, swatch, swatch);
            painter->setBrush(cardBrush(box, entry.second, doc.cardsGradient()));
            painter->drawRect(box);
            painter->setBrush(Qt::NoBrush);
            painter->drawText(QRectF(x + entryStep, entryTop, width - entryStep, swatch),
                              Qt::AlignLeft | Qt::AlignVCenter,
                              elideText(entry.first, labelLength));
            entryTop += entryStep;
        }
        x += width;
    }
    const QRectF frame = m_bounds.translated(-6, -6);
    if (brush().style() == Qt::NoBrush)
        painter->drawRect(frame);
    pen.setWidth(5);
    painter->setPen(pen);
    if (several)
        painter->drawLine(QLineF(frame.left(), 348, frame.right(), 348));
    const double rule = several ? 634 : 286;
    painter->drawLine(QLineF(frame.left(), rule, frame.right(), rule));
    int boundary = 0;
    for (int i = 0; i + 1 < m_columnWidths.size(); ++i) {
        boundary += m_columnWidths.at(i);
        painter->drawLine(QLineF(boundary, frame.top(), boundary, frame.bottom()));
    }
    painter->restore();
}
