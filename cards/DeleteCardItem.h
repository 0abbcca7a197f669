#pragma once

#include "cards/OverlayItem.h"

class CardItem;

// The cross in a circle at a hovered card's top-right corner: a click deletes the card.
// The card creates it as its child item on hover and deletes it on leave.
class DeleteCardItem : public OverlayItem
{
    Q_OBJECT

public:
    explicit DeleteCardItem(CardItem *card);

    CardItem *card() const { return m_card; }

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

signals:
    void clicked(CardItem *cardItem);

protected:
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;

private:
    CardItem *m_card;
};
