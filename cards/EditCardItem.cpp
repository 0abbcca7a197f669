#include "cards/EditCardItem.h"

#include "cards/CardItem.h"

#include <QPainter>

EditCardItem::EditCardItem(CardItem *card) : OverlayItem(card), m_card(card) { }

void EditCardItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget)
{
    Q_UNUSED(option);
    Q_UNUSED(widget);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(iconPen(painter, false));
    paintFrame(painter, true);
    const QRectF s = symbolRect();
    const QRectF inner
        = s.adjusted(0.25 * s.width(), 0.25 * s.width(), -0.25 * s.width(), -0.25 * s.width());
    // Three tiny squares; the wide round-capped pen turns them into dots.
    const int side = int(0.125 * inner.width());
    const double half = 0.125 * inner.width() / 2;
    const int y = int(inner.y() + inner.height() / 2 - half);
    const double lefts[] = {inner.x() - half, inner.x() + inner.width() / 2 - half,
                            inner.x() + inner.width() - half};
    painter->setBrush(Qt::NoBrush);
    for (double left : lefts)
        painter->drawRect(int(left), y, side, side);
    paintHoverRing(painter, true);
    painter->restore();
}

void EditCardItem::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    OverlayItem::mouseReleaseEvent(event);
    emit clicked(m_card);
}
