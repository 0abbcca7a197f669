#pragma once

#include "cards/OverlayItem.h"

// The plus icon over an empty spot of a cell: a click asks for a new card preset to that cell.
// CardsScene creates it on demand, gives it its cell and places it.
class AddCardItem : public OverlayItem
{
    Q_OBJECT

public:
    AddCardItem();

    void setCell(int column, int row);
    int column() const { return m_column; }
    int row() const { return m_row; }

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

signals:
    void clicked(int column, int row);

protected:
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;

private:
    int m_column = -1;
    int m_row = -1;
};
