#include "cards/EditCardItem.h"

#include <QPainter>

EditCardItem::EditCardItem(CardItem *card) : CardOverlayItem(card) { }

void EditCardItem::paintSymbol(QPainter *painter, const QRectF &symbol) const
{
    const QRectF &s = symbol;
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
}
