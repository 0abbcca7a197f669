#include "cards/DeleteCardItem.h"

#include "cards/CardItem.h"

#include <QPainter>

DeleteCardItem::DeleteCardItem(CardItem *card) : OverlayItem(card), m_card(card) { }

void DeleteCardItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
                           QWidget *widget)
{
    Q_UNUSED(option);
    Q_UNUSED(widget);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(iconPen(painter, false));
    paintFrame(painter, true);
    const QRectF s = symbolRect();
    const int near = int(s.x() + 0.3 * s.width());
    const int far = int(s.x() + 0.7 * s.width());
    const int top = int(s.y() + s.height() - 0.7 * s.width());
    const int bottom = int(s.y() + 0.7 * s.width());
    painter->drawLine(far, bottom, near, top);
    painter->drawLine(far, top, near, bottom);
    paintHoverRing(painter, true);
    painter->restore();
}

void DeleteCardItem::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    OverlayItem::mouseReleaseEvent(event);
    emit clicked(m_card);
}
