#pragma once

#include "cards/CardOverlayItem.h"

// The three dots in a circle at a hovered card's top-left corner: a click opens the card for
// editing.
class EditCardItem : public CardOverlayItem
{
    Q_OBJECT

public:
    explicit EditCardItem(CardItem *card);

protected:
    void paintSymbol(QPainter *painter, const QRectF &symbol) const override;
};
