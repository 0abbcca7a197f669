#pragma once

#include "cards/OverlayItem.h"

class CardItem;

// The round icons at a hovered card's corners (edit, delete): the card they act on, the frame
// and ring they share, and the click that reports the card. The card creates them as its child
// items on hover and deletes them on leave; each draws its own symbol.
class CardOverlayItem : public OverlayItem
{
    Q_OBJECT

public:
    explicit CardOverlayItem(CardItem *card);

    CardItem *card() const { return m_card; }

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

signals:
    void clicked(CardItem *cardItem);

protected:
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;

    // Draws the symbol inside the frame, in the pen set for it.
    virtual void paintSymbol(QPainter *painter, const QRectF &symbol) const = 0;

private:
    CardItem *m_card;
};
