#include "cards/CardItem.h"

#include "cards/CardFace.h"
#include "cards/CardsScene.h"
#include "cards/DeleteCardItem.h"
#include "cards/EditCardItem.h"
#include "common/core/Colors.h"
#include "common/core/FittedText.h"
#include "model/Document.h"

#include <algorithm>

#include <QPainter>
#include <QStyleOptionGraphicsItem>

namespace {

const QColor plainCardColor(254, 255, 153);

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

void drawCardShape(QPainter *painter, const QRectF &rect, int shape)
{
    if (shape == 1)
        painter->drawRoundedRect(rect, 10, 10, Qt::RelativeSize);
    else
        painter->drawRect(rect);
}

void drawMarker(QPainter *painter, const QRectF &rect, int visibility)
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

} // namespace

CardItem::CardItem(int taskIndex) : m_taskIndex(taskIndex)
{
    setZValue(2.0);
    setFlags(ItemIsMovable | ItemIsSelectable | ItemSendsGeometryChanges);
    setOpacity(1.0);
    setAcceptHoverEvents(true);
    setBgColor(plainCardColor);
    setHighlightColor(plainCardColor);
}

CardItem::~CardItem() = default;

CardsScene *CardItem::cardsScene() const
{
    return qobject_cast<CardsScene *>(scene());
}

void CardItem::setBgColor(const QColor &color)
{
    if (color == m_bgColor)
        return;
    m_bgColor = color;
    update();
}

void CardItem::setHighlightColor(const QColor &color)
{
    if (color == m_highlightColor)
        return;
    m_highlightColor = color;
    update();
}

void CardItem::setWidth(double width)
{
    if (width == m_width)
        return;
    prepareGeometryChange();
    m_width = width;
    if (m_deleteOverlay)
        m_deleteOverlay->setPos(m_width - OverlayItem::Size, 0);
}

void CardItem::updateCenter()
{
    const QRectF bounds = boundingRect();
    m_center = pos() + QPointF(bounds.width() / 2, bounds.height() / 2);
}

QRectF CardItem::boundingRect() const
{
    return QRectF(0, 0, m_width, Height);
}

void CardItem::removeOverlays()
{
    const bool had = m_deleteOverlay || m_editOverlay;
    delete m_deleteOverlay;
    m_deleteOverlay = nullptr;
    delete m_editOverlay;
    m_editOverlay = nullptr;
    if (had)
        update();
}

QVariant CardItem::itemChange(GraphicsItemChange change, const QVariant &value)
{
    const CardsScene *cards = change == ItemPositionChange ? cardsScene() : nullptr;
    if (!cards)
        return QGraphicsObject::itemChange(change, value);
    // A dragged card stays on the grid: its top-left corner within the grid less one card.
    const QRectF area(0, 0, cards->totalWidth() - m_width, cards->totalHeight() - Height);
    QPointF position = value.toPointF();
    if (position.x() >= area.left() && position.x() <= area.right() && position.y() >= area.top()
        && position.y() <= area.bottom())
        return position;
    position.setX(std::min(std::max(position.x(), area.left()), area.right()));
    position.setY(std::min(std::max(position.y(), area.top()), area.bottom()));
    return position;
}

void CardItem::hoverEnterEvent(QGraphicsSceneHoverEvent *event)
{
    Q_UNUSED(event);
    m_hovered = true;
    const CardsScene *cards = cardsScene();
    // A card fading out by the filter offers no icons: nobody should delete what they cannot
    // see.
    if (cards && cards->overlaysVisible() && m_paintedScale >= 0.125 && m_passesFilter) {
        if (!m_deleteOverlay) {
            m_deleteOverlay = new DeleteCardItem(this);
            connect(m_deleteOverlay, &DeleteCardItem::clicked, this,
                    &CardItem::deleteOverlayClicked);
        }
        m_deleteOverlay->setPos(boundingRect().right() - OverlayItem::Size, 0);
        m_deleteOverlay->show();
        if (!m_editOverlay) {
            m_editOverlay = new EditCardItem(this);
            connect(m_editOverlay, &EditCardItem::clicked, this, &CardItem::editOverlayClicked);
        }
        m_editOverlay->setPos(0, 0);
        m_editOverlay->show();
    }
    // The marker band makes room for the icons while hovered.
    update();
}

void CardItem::hoverLeaveEvent(QGraphicsSceneHoverEvent *event)
{
    Q_UNUSED(event);
    m_hovered = false;
    removeOverlays();
    update();
}

void CardItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget)
{
    Q_UNUSED(option);
    Q_UNUSED(widget);
    CardsScene *cards = cardsScene();
    if (!cards)
        return;
    Document &doc = *cards->document();
    const TaskIndex task = m_taskIndex;
    if (task < 0 || task >= doc.taskCount())
        return;
    const CardFace &face = cards->cardFace();
    const QTransform &transform = painter->worldTransform();
    m_paintedScale = transform.m22();
    // A card under a few device pixels high shows no more than its colour: its border,
    // gradient, markers and rules would each be drawn within a pixel, and a plan of a hundred
    // thousand cards fitted to the window has thousands of cards in every small exposure.
    if (Height * QStyleOptionGraphicsItem::levelOfDetailFromTransform(transform) < TinyPixels) {
        const double margin = isSelected() ? 5.0 : m_width / 20;
        const QRectF card = boundingRect().adjusted(margin, margin, -margin, -margin);
        const bool smooth = painter->testRenderHint(QPainter::Antialiasing);
        painter->setRenderHint(QPainter::Antialiasing);
        painter->fillRect(card, m_bgColor);
        painter->setRenderHint(QPainter::Antialiasing, smooth);
        return;
    }
    painter->save();
    painter->setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing
                            | QPainter::SmoothPixmapTransform);

    const double w = m_width;
    const bool selected = isSelected();
    const double margin = selected ? 5.0 : w / 20;
    QRectF card = boundingRect().adjusted(margin, margin, -margin, -margin);

    // Taken before the shadow clears the pen: a copy of that would leave the border and the
    // text of shadowed cards invisible.
    QPen border = painter->pen();
    border.setStyle(Qt::SolidLine);
    if (face.dropShadow) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(QColor(0, 0, 0, 100));
        drawCardShape(painter, card.translated(0.7 * margin, 0.7 * margin), face.shape);
    }

    if (selected) {
        border.setJoinStyle(Qt::MiterJoin);
        border.setColor(face.selectionColor);
        border.setWidth(20);
    } else {
        border.setColor(Qt::black);
        border.setWidth(1);
    }
    const int half = border.width() / 2;
    card.adjust(half, half, -half, -half);
    painter->setPen(border);
    painter->setBrush(cardBrush(card, m_bgColor, face.gradient));
    drawCardShape(painter, card, face.shape);

    const double bandHeight = 0.15 * card.height();
    if (face.highlightProperty > 0) {
        painter->setBrush(m_highlightColor);
        painter->drawRect(QRectF(card.x(), card.y(), card.width(), bandHeight));
    }

    const int markers = face.markers.size();
    const bool notes = face.showNotes && doc.hasNotes(task);
    const bool links = face.showLinks && doc.hasLinks(task);
    const int total = markers + (notes ? 1 : 0) + (links ? 1 : 0);
    if (total > 0) {
        painter->save();
        QRectF band(card.x(), card.y(), card.width(), bandHeight);
        if (m_hovered && cards->overlaysVisible())
            band.adjust(band.height(), 0, -band.height(), 0);
        const double cell = std::min(band.width() / total, band.height());
        const double inset = cell / 10;
        const double side = cell - 2 * inset;
        painter->setPen(QPen(Qt::black, 1));
        for (int k = 0; k < markers; ++k) {
            const CardFace::Row &marker = face.markers.at(k);
            painter->setBrush(doc.valueColor(task, marker.property));
            drawMarker(painter, QRectF(band.x() + k * cell + inset, band.y() + inset, side, side),
                       marker.visibility);
        }
        if (links)
            painter->drawPixmap(QRectF(band.right() - cell + inset, band.y() + inset, side, side),
                                linkPixmap(), linkPixmap().rect());
        if (notes) {
            const int j = links ? 2 : 1;
            painter->drawPixmap(
                QRectF(band.right() - j * cell + inset, band.y() + inset, side, side),
                notesPixmap(), notesPixmap().rect());
        }
        painter->restore();
    }

    const int rows = face.textRows.size();
    bool hasText = false;
    for (const CardFace::Row &row : face.textRows) {
        if (!doc.value(task, row.property).isEmpty()) {
            hasText = true;
            break;
        }
    }
    QRectF text = card;
    if (markers > 0 || face.highlightProperty > 0)
        text.setTop(text.top() + bandHeight);
    const double q = card.width() / 100;

    const int imageIndex = doc.taskImage(task);
    if (imageIndex != -1 && face.showImages && imageIndex >= 0 && imageIndex < doc.imageCount()) {
        double share = 1.0;
        if (hasText)
            share = face.imageSize == 0 ? 0.25 : face.imageSize == 2 ? 0.6 : 0.4;
        QRectF picture = text;
        switch (face.imagePosition) {
        case 1:
            picture.setLeft(text.right() - share * text.width());
            text.setRight(picture.left());
            break;
        case 2:
            picture.setHeight(share * text.height());
            text.setTop(picture.bottom());
            break;
        case 3:
            picture.setTop(text.bottom() - share * text.height());
            text.setBottom(picture.top());
            break;
        default:
            picture.setWidth(share * text.width());
            text.setLeft(picture.right());
            break;
        }
        picture.adjust(q, q, -q, -q);
        const QPixmap &pixmap = doc.image(imageIndex).pixmap();
        if (picture.width() > 0 && picture.height() > 0 && pixmap.width() > 0
            && pixmap.height() > 0) {
            double fittedWidth = picture.width();
            double fittedHeight = picture.height();
            fitToAspect(fittedWidth, fittedHeight, double(pixmap.width()) / pixmap.height());
            QRectF target(0, 0, fittedWidth, fittedHeight);
            target.moveCenter(picture.center());
            painter->drawPixmap(target, pixmap, pixmap.rect());
        }
    }

    const QRectF inner = text.adjusted(q, q, -q, -q);
    const double rowHeight = rows > 0 ? inner.height() / rows : 0.0;
    // Text under about a device pixel high shows no legible glyph but costs a text layout per
    // row of every card of a large plan. The level of detail comes from the painter, so an
    // export at a large scale still draws it.
    const double detail = QStyleOptionGraphicsItem::levelOfDetailFromTransform(transform);
    if (rows < 1 || textHeight(face, rowHeight) * detail < 1.0) {
        painter->restore();
        return;
    }

    const bool labels = face.showLabels;
    const int flags
        = (labels ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignVCenter | Qt::TextWordWrap;
    QPen textPen = painter->pen();
    textPen.setColor(contrastingTextColor(m_bgColor, false));
    textPen.setWidth(0);
    painter->setPen(textPen);
    for (int i = 0; i < rows; ++i) {
        const CardFace::Row &row = face.textRows.at(i);
        QFont font = face.font;
        font.setWeight(row.visibility == PropertyVisibility::BoldText ? QFont::Bold
                                                                      : QFont::Normal);
        font.setItalic(row.visibility == PropertyVisibility::ItalicText);
        const double top = inner.y() + i * rowHeight;
        const QRectF area = labels
            ? QRectF(inner.x() + 0.35 * inner.width(), top, 0.65 * inner.width(), rowHeight)
            : QRectF(inner.x(), top, inner.width(), rowHeight);
        QString value = doc.value(task, row.property);
        drawFittedText(painter, area, face.fontScaling, face.fontSize, int(rowHeight), font, flags,
                       value, false);
    }

    textPen.setColor(contrastingTextColor(m_bgColor, true));
    painter->setPen(textPen);
    QFont labelFont = face.font;
    labelFont.setWeight(QFont::Normal);
    labelFont.setItalic(false);
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
        else if (markers > 0 && face.highlightProperty == 0)
            painter->drawLine(int(card.x() + q), int(inner.y()), int(card.x() + card.width() - q),
                              int(inner.y()));
    }
    if (labels) {
        const int x = int(inner.x() + 0.335 * inner.width());
        painter->drawLine(x, int(inner.y()), x, int(inner.y() + inner.height()));
    }
    painter->restore();
}
