#include "cards/DeleteCardItem.h"

#include <QPainter>

DeleteCardItem::DeleteCardItem(CardItem *card) : CardOverlayItem(card) { }

void DeleteCardItem::paintSymbol(QPainter *painter, const QRectF &symbol) const
{
    const QRectF &s = symbol;
    const int near = int(s.x() + 0.3 * s.width());
    const int far = int(s.x() + 0.7 * s.width());
    const int top = int(s.y() + s.height() - 0.7 * s.width());
    const int bottom = int(s.y() + 0.7 * s.width());
    painter->drawLine(far, bottom, near, top);
    painter->drawLine(far, top, near, bottom);
}
