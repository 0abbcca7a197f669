#include "cards/OverlayItem.h"

#include "cards/CardsScene.h"
#include "common/core/Colors.h"
#include "model/Document.h"

#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <QPen>

OverlayItem::OverlayItem(QGraphicsItem *parent) : QGraphicsObject(parent)
{
    setZValue(99999);
    setAcceptHoverEvents(true);
    hide();
}

QRectF OverlayItem::boundingRect() const
{
    return QRectF(0, 0, Size, Size);
}

CardsScene *OverlayItem::cardsScene() const
{
    return qobject_cast<CardsScene *>(scene());
}

QColor OverlayItem::iconColor() const
{
    const CardsScene *cards = cardsScene();
    if (m_hovered && cards)
        return cards->document()->cardsSelectionColor();
    const QColor background = scene() ? scene()->backgroundBrush().color() : QColor(Qt::white);
    return contrastingTextColor(background, false);
}

QColor OverlayItem::fillColor() const
{
    const QColor background = scene() ? scene()->backgroundBrush().color() : QColor(Qt::white);
    return contrastingTextColor(contrastingTextColor(background, false), false);
}

void OverlayItem::hoverEnterEvent(QGraphicsSceneHoverEvent *event)
{
    Q_UNUSED(event);
    m_hovered = true;
    update();
}

void OverlayItem::hoverLeaveEvent(QGraphicsSceneHoverEvent *event)
{
    Q_UNUSED(event);
    m_hovered = false;
    update();
}

void OverlayItem::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    // Left accepted: the release then comes to this icon. Any other button goes on to the card
    // or cell below, whose menu it opens.
    if (event->button() != Qt::LeftButton)
        event->ignore();
}

void OverlayItem::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    Q_UNUSED(event);
}

bool OverlayItem::isClick(const QGraphicsSceneMouseEvent *event) const
{
    return event->button() == Qt::LeftButton && boundingRect().contains(event->pos());
}

QRectF OverlayItem::symbolRect()
{
    return QRectF(3, 3, Size - 6, Size - 6);
}

QPen OverlayItem::iconPen(QPainter *painter, bool miterJoins) const
{
    QPen pen = painter->pen();
    pen.setCapStyle(Qt::RoundCap);
    if (miterJoins)
        pen.setJoinStyle(Qt::MiterJoin);
    pen.setColor(iconColor());
    pen.setWidth(6);
    return pen;
}

void OverlayItem::paintFrame(QPainter *painter, bool round) const
{
    const QRectF frame = symbolRect();
    // Relative to the opacity the scene paints the icon with, so that it fades with its card.
    const double opacity = painter->opacity();
    painter->setOpacity(opacity * 0.9);
    painter->setBrush(fillColor());
    for (int pass = 0; pass < 2; ++pass) {
        if (round)
            painter->drawEllipse(frame);
        else
            painter->drawRect(frame);
        painter->setBrush(Qt::NoBrush);
    }
    painter->setOpacity(opacity);
}

void OverlayItem::paintHoverRing(QPainter *painter, bool round) const
{
    if (!m_hovered)
        return;
    QPen ring = painter->pen();
    ring.setColor(fillColor());
    ring.setWidth(2);
    painter->setPen(ring);
    painter->setBrush(Qt::NoBrush);
    if (round)
        painter->drawEllipse(boundingRect());
    else
        painter->drawRect(boundingRect());
}
