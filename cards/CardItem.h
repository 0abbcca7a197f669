#pragma once

#include "cards/CardPainter.h"

#include <QColor>
#include <QGraphicsObject>
#include <QPointF>

class CardsScene;
class DeleteCardItem;
class EditCardItem;

// The graphics item of one card in the Cards pane. CardsScene creates one per card, places and
// animates it (pos, bgColor, highlightColor, opacity) and tells it whether its card passes the
// filter. It keeps only its card index, its two animated colours, its width and its hover
// state; what it shows is read from the plan at paint time and drawn by CardPainter with the
// scene's CardFace. While hovered with overlays on, it shows an edit and a delete icon in its
// top corners and passes their clicks on.
class CardItem : public QGraphicsObject
{
    Q_OBJECT
    Q_PROPERTY(QColor bgColor READ bgColor WRITE setBgColor)
    Q_PROPERTY(QColor highlightColor READ highlightColor WRITE setHighlightColor)

public:
    static constexpr double Height = CardPainter::Height;

    explicit CardItem(int taskIndex);
    ~CardItem() override;

    int taskIndex() const { return m_taskIndex; }
    void setTaskIndex(int taskIndex) { m_taskIndex = taskIndex; }
    bool passesFilter() const { return m_passesFilter; }
    void setPassesFilter(bool passes) { m_passesFilter = passes; }
    // A card the filter hides, once faded out, leaves the scene's drawing and hit testing and
    // takes no room in its index: tens of thousands of them stacked where they were last placed
    // would otherwise fill every cell of the index over a small grid.
    void setHiddenByFilter(bool hidden);
    bool isHiddenByFilter() const { return m_hiddenByFilter; }

    QColor bgColor() const { return m_bgColor; }
    void setBgColor(const QColor &color);
    QColor highlightColor() const { return m_highlightColor; }
    void setHighlightColor(const QColor &color);

    // The card width in scene units (the plan's aspect ratio times 390); the scene sets it at
    // every layout.
    void setWidth(double width);
    double width() const { return m_width; }

    // The card's centre in the scene, stored when a drag starts.
    void updateCenter();
    QPointF center() const { return m_center; }

    bool isHovered() const { return m_hovered; }
    void removeOverlays();

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

signals:
    void deleteOverlayClicked(CardItem *cardItem);
    void editOverlayClicked(CardItem *cardItem);

protected:
    QVariant itemChange(GraphicsItemChange change, const QVariant &value) override;
    void hoverEnterEvent(QGraphicsSceneHoverEvent *event) override;
    void hoverLeaveEvent(QGraphicsSceneHoverEvent *event) override;

private:
    CardsScene *cardsScene() const;
    // What the card painter needs of this card beyond its colours and selection.
    void readValues(const CardsScene &cards, CardPainter::Card &card) const;

    int m_taskIndex;
    QColor m_bgColor;
    QColor m_highlightColor;
    bool m_passesFilter = true;
    bool m_hiddenByFilter = false;
    QPointF m_center;
    DeleteCardItem *m_deleteOverlay = nullptr;
    EditCardItem *m_editOverlay = nullptr;
    bool m_hovered = false;
    // The view's zoom at the last paint: below 0.125 the icons would be too small to hit.
    double m_paintedScale = 1.0;
    double m_width = 507.0;
};
