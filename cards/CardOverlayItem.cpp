#include "cards/CardOverlayItem.h"

#include "cards/CardItem.h"

#include <QPainter>

CardOverlayItem::CardOverlayItem(CardItem *card) : OverlayItem(card), m_card(card) { }

void CardOverlayItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
                            QWidget *widget)
{
    Q_UNUSED(option);
    Q_UNUSED(widget);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(iconPen(painter, false));
    paintFrame(painter, true);
    paintSymbol(painter, symbolRect());
    paintHoverRing(painter, true);
    painter->restore();
}

void CardOverlayItem::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    OverlayItem::mouseReleaseEvent(event);
    if (isClick(event))
        emit clicked(m_card);
}
