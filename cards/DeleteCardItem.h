#pragma once

#include "cards/CardOverlayItem.h"

// The cross in a circle at a hovered card's top-right corner: a click deletes the card.
class DeleteCardItem : public CardOverlayItem
{
    Q_OBJECT

public:
    explicit DeleteCardItem(CardItem *card);

protected:
    void paintSymbol(QPainter *painter, const QRectF &symbol) const override;
};
