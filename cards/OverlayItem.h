#pragma once

#include <QColor>
#include <QGraphicsObject>

class CardsScene;

// The base of the clickable icons drawn over the Cards pane (add a card to a cell, edit or
// delete a card): their size, stacking, hover state and colours. A left press is accepted so
// that the release comes back to the same icon; the subclasses draw their symbol and report a
// release that isClick() calls a click.
class OverlayItem : public QGraphicsObject
{
    Q_OBJECT

public:
    static constexpr double Size = 78.0;

    explicit OverlayItem(QGraphicsItem *parent = nullptr);

    QRectF boundingRect() const override;
    bool isHovered() const { return m_hovered; }
    // The selection colour while hovered, else the text colour that reads on the background.
    virtual QColor iconColor() const;
    // White on a light background, black on a dark one.
    QColor fillColor() const;

protected:
    void hoverEnterEvent(QGraphicsSceneHoverEvent *event) override;
    void hoverLeaveEvent(QGraphicsSceneHoverEvent *event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;
    // A left-button release over the icon that took the press: a press dragged off the icon and
    // let go elsewhere is no click.
    bool isClick(const QGraphicsSceneMouseEvent *event) const;

    // The frame and, while hovered, the ring shared by the three icons; round for the card
    // icons, square for the add icon. The caller draws the symbol in between.
    void paintFrame(QPainter *painter, bool round) const;
    void paintHoverRing(QPainter *painter, bool round) const;
    // The pen of frame and symbol.
    QPen iconPen(QPainter *painter, bool miterJoins) const;
    // The icon's square inset by 3 on every side.
    static QRectF symbolRect();

private:
    CardsScene *cardsScene() const;

    bool m_hovered = false;
};
