#include "cards/AddCardItem.h"

#include <QPainter>

AddCardItem::AddCardItem() : OverlayItem(nullptr) { }

void AddCardItem::setCell(int column, int row)
{
    m_column = column;
    m_row = row;
}

void AddCardItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget)
{
    Q_UNUSED(option);
    Q_UNUSED(widget);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(iconPen(painter, true));
    paintFrame(painter, false);
    const QRectF s = symbolRect();
    const int middleX = int(s.x() + s.width() / 2);
    const int middleY = int(s.y() + s.height() / 2);
    painter->drawLine(middleX, int(s.y() + 0.75 * s.width()), middleX,
                      int(s.y() + s.height() - 0.75 * s.width()));
    painter->drawLine(int(s.x() + 0.75 * s.width()), middleY, int(s.x() + 0.25 * s.width()),
                      middleY);
    paintHoverRing(painter, false);
    painter->restore();
}

void AddCardItem::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    OverlayItem::mouseReleaseEvent(event);
    if (isClick(event))
        emit clicked(m_column, m_row);
}
