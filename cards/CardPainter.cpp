#include "cards/CardPainter.h"

#include "common/core/Colors.h"
#include "common/core/FittedText.h"
#include "model/ModelTypes.h"

#include <algorithm>

#include <QPainter>
// For the level of detail the graphics view hands its items, taken from any transform.
#include <QStyleOptionGraphicsItem>

namespace {

// The icons are loaded once; every card draws the same two.
const QPixmap &linkPixmap()
{
    static const QPixmap pixmap(QStringLiteral(":/pngs/link_32.png"));
    return pixmap;
}

const QPixmap &notesPixmap()
{
    static const QPixmap pixmap(QStringLiteral(":/pngs/notes_32.png"));
    return pixmap;
}

bool isPatch(double detail)
{
    return CardPainter::Height * detail < CardPainter::TinyPixels;
}

// Around the card inside its bounds: a twentieth of the width, or a narrow margin that leaves
// room for the selection border.
double cardMargin(const CardPainter::Card &card)
{
    return card.selected ? 5.0 : card.width / 20;
}

QRectF cardRect(const CardPainter::Card &card)
{
    const double margin = cardMargin(card);
    return QRectF(0, 0, card.width, CardPainter::Height).adjusted(margin, margin, -margin, -margin);
}

QString textOf(const CardPainter::Card &card, int row)
{
    return card.text ? card.text(row) : QString();
}

void paintPatch(QPainter *painter, const CardPainter::Card &card)
{
    const bool smooth = painter->testRenderHint(QPainter::Antialiasing);
    painter->setRenderHint(QPainter::Antialiasing);
    painter->fillRect(cardRect(card), card.background);
    painter->setRenderHint(QPainter::Antialiasing, smooth);
}

void drawShape(QPainter *painter, const QRectF &rect, int shape)
{
    if (shape == CardShape::RoundedRectangle)
        painter->drawRoundedRect(rect, 10, 10, Qt::RelativeSize);
    else
        painter->drawRect(rect);
}

// Markers fill the band from the left, the notes and link icons from the right, the link icon
// outermost; every cell is as high as the band or a share of its width.
void drawMarkerBand(QPainter *painter, const CardFace &face, const CardPainter::Card &card,
                    const QRectF &band)
{
    const int markers = face.markers.size();
    const bool notes = face.showNotes && card.notes;
    const bool links = face.showLinks && card.links;
    const int total = markers + (notes ? 1 : 0) + (links ? 1 : 0);
    if (total < 1)
        return;
    painter->save();
    QRectF cells = band;
    if (card.iconCorners)
        cells.adjust(cells.height(), 0, -cells.height(), 0);
    const double cell = std::min(cells.width() / total, cells.height());
    const double inset = cell / 10;
    const double side = cell - 2 * inset;
    painter->setPen(QPen(Qt::black, 1));
    for (int k = 0; k < markers; ++k) {
        painter->setBrush(card.markerColors.value(k));
        CardPainter::drawMarker(painter,
                                QRectF(cells.x() + k * cell + inset, cells.y() + inset, side, side),
                                face.markers.at(k).visibility);
    }
    if (links)
        painter->drawPixmap(QRectF(cells.right() - cell + inset, cells.y() + inset, side, side),
                            linkPixmap(), linkPixmap().rect());
    if (notes) {
        const int j = links ? 2 : 1;
        painter->drawPixmap(QRectF(cells.right() - j * cell + inset, cells.y() + inset, side, side),
                            notesPixmap(), notesPixmap().rect());
    }
    painter->restore();
}

// The picture takes a share of the text area by the image size (all of it when no row has
// text) on the side the image position names, and is fitted to its own aspect ratio there.
QRectF drawImage(QPainter *painter, const CardFace &face, const CardPainter::Card &card,
                 const QRectF &textArea, double inset)
{
    bool hasText = false;
    for (int row = 0; row < face.textRows.size() && !hasText; ++row)
        hasText = !textOf(card, row).isEmpty();
    double share = 1.0;
    if (hasText && face.imageSize == ImageSize::Small)
        share = 0.25;
    else if (hasText && face.imageSize == ImageSize::Large)
        share = 0.6;
    else if (hasText) // Medium, and a size no dialog offers
        share = 0.4;
    QRectF text = textArea;
    QRectF picture = text;
    switch (face.imagePosition) {
    case ImagePosition::Right:
        picture.setLeft(text.right() - share * text.width());
        text.setRight(picture.left());
        break;
    case ImagePosition::Top:
        picture.setHeight(share * text.height());
        text.setTop(picture.bottom());
        break;
    case ImagePosition::Bottom:
        picture.setTop(text.bottom() - share * text.height());
        text.setBottom(picture.top());
        break;
    default:
        picture.setWidth(share * text.width());
        text.setLeft(picture.right());
        break;
    }
    picture.adjust(inset, inset, -inset, -inset);
    const QPixmap &pixmap = *card.image;
    if (picture.width() > 0 && picture.height() > 0 && pixmap.width() > 0 && pixmap.height() > 0) {
        double fittedWidth = picture.width();
        double fittedHeight = picture.height();
        fitToAspect(fittedWidth, fittedHeight, double(pixmap.width()) / pixmap.height());
        QRectF target(0, 0, fittedWidth, fittedHeight);
        target.moveCenter(picture.center());
        painter->drawPixmap(target, pixmap, pixmap.rect());
    }
    return text;
}

// How high the text of a row is drawn, in item units, by the card font's scaling mode: the
// fixed pixel size; up to 0.95 of the row when shrunk to fit; from the zoom, at most 0.4 of the
// row and never under 10 units.
double textHeight(const CardFace &face, double rowHeight)
{
    switch (face.fontScaling) {
    case FittedTextFixed:
        return face.fontSize;
    case FittedTextScaled:
        return 0.95 * rowHeight;
    case FittedTextIntelligent:
        return std::min(rowHeight, std::max(10.0, rowHeight / 2.5));
    default:
        return rowHeight;
    }
}

// The values in rows of equal height, with labels a column of property names to their left,
// and soft rules between the rows, under the marker band when no highlight strip marks it, and
// between names and values.
void drawTextRows(QPainter *painter, const CardFace &face, const CardPainter::Card &card,
                  const QRectF &rect, const QRectF &inner, double detail)
{
    const int rows = face.textRows.size();
    const double rowHeight = rows > 0 ? inner.height() / rows : 0.0;
    // Text under about a device pixel high shows no legible glyph but costs a text layout per
    // row of every card of a large plan. The level of detail comes from the painter, so an
    // export at a large scale still draws it.
    if (rows < 1 || textHeight(face, rowHeight) * detail < 1.0)
        return;

    const bool labels = face.showLabels;
    const int flags
        = (labels ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignVCenter | Qt::TextWordWrap;
    QPen textPen = painter->pen();
    textPen.setColor(contrastingTextColor(card.background, false));
    textPen.setWidth(0);
    painter->setPen(textPen);
    for (int i = 0; i < rows; ++i) {
        const int visibility = face.textRows.at(i).visibility;
        QFont font = face.font;
        font.setWeight(visibility == PropertyVisibility::BoldText ? QFont::Bold : QFont::Normal);
        font.setItalic(visibility == PropertyVisibility::ItalicText);
        const double top = inner.y() + i * rowHeight;
        const QRectF area = labels
            ? QRectF(inner.x() + 0.35 * inner.width(), top, 0.65 * inner.width(), rowHeight)
            : QRectF(inner.x(), top, inner.width(), rowHeight);
        QString value = textOf(card, i);
        drawFittedText(painter, area, face.fontScaling, face.fontSize, int(rowHeight), font, flags,
                       value, false);
    }

    textPen.setColor(contrastingTextColor(card.background, true));
    painter->setPen(textPen);
    QFont labelFont = face.font;
    labelFont.setWeight(QFont::Normal);
    labelFont.setItalic(false);
    const double q = rect.width() / 100;
    for (int i = 0; i < rows; ++i) {
        const double top = inner.y() + i * rowHeight;
        if (labels) {
            QFont font = labelFont;
            QString name = face.textRows.at(i).name;
            drawFittedText(painter, QRectF(inner.x(), top, 0.32 * inner.width(), rowHeight),
                           face.fontScaling, face.fontSize, int(rowHeight), font, flags, name,
                           false);
        }
        if (i > 0)
            painter->drawLine(int(inner.x()), int(top), int(inner.x() + inner.width()), int(top));
        else if (!face.markers.isEmpty() && face.highlightProperty == 0)
            painter->drawLine(int(rect.x() + q), int(inner.y()), int(rect.x() + rect.width() - q),
                              int(inner.y()));
    }
    if (labels) {
        const int x = int(inner.x() + 0.335 * inner.width());
        painter->drawLine(x, int(inner.y()), x, int(inner.y() + inner.height()));
    }
}

} // namespace

bool CardPainter::paintsPatch(const QTransform &transform)
{
    return isPatch(QStyleOptionGraphicsItem::levelOfDetailFromTransform(transform));
}

void CardPainter::paint(QPainter *painter, const Card &card) const
{
    // Device pixels per item unit.
    const double detail
        = QStyleOptionGraphicsItem::levelOfDetailFromTransform(painter->worldTransform());
    // A card under a few device pixels high shows no more than its colour: its border,
    // gradient, markers and rules would each be drawn within a pixel, and a plan of a hundred
    // thousand cards fitted to the window has thousands of cards in every small exposure.
    if (isPatch(detail)) {
        paintPatch(painter, card);
        return;
    }
    painter->save();
    painter->setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing
                            | QPainter::SmoothPixmapTransform);

    const double margin = cardMargin(card);
    QRectF rect = cardRect(card);
    // Taken before the shadow clears the pen: a copy of that would leave the border and the
    // text of shadowed cards invisible.
    QPen border = painter->pen();
    border.setStyle(Qt::SolidLine);
    if (m_face.dropShadow) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(QColor(0, 0, 0, 100));
        drawShape(painter, rect.translated(0.7 * margin, 0.7 * margin), m_face.shape);
    }

    if (card.selected) {
        border.setJoinStyle(Qt::MiterJoin);
        border.setColor(m_face.selectionColor);
        border.setWidth(20);
    } else {
        border.setColor(Qt::black);
        border.setWidth(1);
    }
    const int half = border.width() / 2;
    rect.adjust(half, half, -half, -half);
    painter->setPen(border);
    painter->setBrush(cardBrush(rect, card.background, m_face.gradient));
    drawShape(painter, rect, m_face.shape);

    const QRectF band(rect.x(), rect.y(), rect.width(), 0.15 * rect.height());
    if (m_face.highlightProperty > 0) {
        painter->setBrush(card.highlight);
        painter->drawRect(band);
    }
    drawMarkerBand(painter, m_face, card, band);

    QRectF text = rect;
    if (!m_face.markers.isEmpty() || m_face.highlightProperty > 0)
        text.setTop(text.top() + band.height());
    const double q = rect.width() / 100;
    if (card.image && m_face.showImages)
        text = drawImage(painter, m_face, card, text, q);
    drawTextRows(painter, m_face, card, rect, text.adjusted(q, q, -q, -q), detail);
    painter->restore();
}

void CardPainter::drawMarker(QPainter *painter, const QRectF &rect, int visibility)
{
    switch (visibility) {
    case PropertyVisibility::Square: {
        const double inset = rect.width() * 0.1;
        painter->drawRect(rect.adjusted(inset, inset, -inset, -inset));
        break;
    }
    case PropertyVisibility::Circle:
        painter->drawEllipse(rect);
        break;
    case PropertyVisibility::Star:
        painter->drawConvexPolygon(starPolygon(rect, 5));
        break;
    case PropertyVisibility::Triangle:
        painter->drawConvexPolygon(regularPolygon(rect, 3));
        break;
    case PropertyVisibility::Diamond:
        painter->drawConvexPolygon(regularPolygon(rect, 4));
        break;
    default:
        break;
    }
}
