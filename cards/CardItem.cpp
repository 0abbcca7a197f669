#include "cards/CardItem.h"

#include "cards/CardsScene.h"
#include "cards/DeleteCardItem.h"
#include "cards/EditCardItem.h"
#include "model/Document.h"

#include <algorithm>

#include <QPainter>

namespace {

const QColor plainCardColor(254, 255, 153);

} // namespace

CardItem::CardItem(int taskIndex) : m_taskIndex(taskIndex)
{
    setZValue(2.0);
    setFlags(ItemIsMovable | ItemIsSelectable | ItemSendsGeometryChanges);
    setOpacity(1.0);
    setAcceptHoverEvents(true);
    setBgColor(plainCardColor);
    setHighlightColor(plainCardColor);
}

CardItem::~CardItem() = default;

CardsScene *CardItem::cardsScene() const
{
    return qobject_cast<CardsScene *>(scene());
}

void CardItem::setBgColor(const QColor &color)
{
    if (color == m_bgColor)
        return;
    m_bgColor = color;
    update();
}

void CardItem::setHighlightColor(const QColor &color)
{
    if (color == m_highlightColor)
        return;
    m_highlightColor = color;
    update();
}

void CardItem::setWidth(double width)
{
    if (width == m_width)
        return;
    prepareGeometryChange();
    m_width = width;
    if (m_deleteOverlay)
        m_deleteOverlay->setPos(m_width - OverlayItem::Size, 0);
}

void CardItem::updateCenter()
{
    m_center = pos() + QPointF(m_width / 2, Height / 2);
}

void CardItem::setHiddenByFilter(bool hidden)
{
    if (hidden == m_hiddenByFilter)
        return;
    prepareGeometryChange();
    m_hiddenByFilter = hidden;
    setVisible(!hidden);
}

QRectF CardItem::boundingRect() const
{
    return m_hiddenByFilter ? QRectF() : QRectF(0, 0, m_width, Height);
}

void CardItem::removeOverlays()
{
    const bool had = m_deleteOverlay || m_editOverlay;
    delete m_deleteOverlay;
    m_deleteOverlay = nullptr;
    delete m_editOverlay;
    m_editOverlay = nullptr;
    if (had)
        update();
}

QVariant CardItem::itemChange(GraphicsItemChange change, const QVariant &value)
{
    const CardsScene *cards = change == ItemPositionChange ? cardsScene() : nullptr;
    if (!cards)
        return QGraphicsObject::itemChange(change, value);
    // A dragged card stays on the grid: its top-left corner within the grid less one card.
    const QRectF area(0, 0, cards->totalWidth() - m_width, cards->totalHeight() - Height);
    QPointF position = value.toPointF();
    if (position.x() >= area.left() && position.x() <= area.right() && position.y() >= area.top()
        && position.y() <= area.bottom())
        return position;
    position.setX(std::min(std::max(position.x(), area.left()), area.right()));
    position.setY(std::min(std::max(position.y(), area.top()), area.bottom()));
    return position;
}

void CardItem::hoverEnterEvent(QGraphicsSceneHoverEvent *event)
{
    Q_UNUSED(event);
    m_hovered = true;
    const CardsScene *cards = cardsScene();
    // A card fading out by the filter offers no icons: nobody should delete what they cannot
    // see.
    if (cards && cards->overlaysVisible() && m_paintedScale >= 0.125 && m_passesFilter) {
        if (!m_deleteOverlay) {
            m_deleteOverlay = new DeleteCardItem(this);
            connect(m_deleteOverlay, &DeleteCardItem::clicked, this,
                    &CardItem::deleteOverlayClicked);
        }
        m_deleteOverlay->setPos(boundingRect().right() - OverlayItem::Size, 0);
        m_deleteOverlay->show();
        if (!m_editOverlay) {
            m_editOverlay = new EditCardItem(this);
            connect(m_editOverlay, &EditCardItem::clicked, this, &CardItem::editOverlayClicked);
        }
        m_editOverlay->setPos(0, 0);
        m_editOverlay->show();
    }
    // The marker band makes room for the icons while hovered.
    update();
}

void CardItem::hoverLeaveEvent(QGraphicsSceneHoverEvent *event)
{
    Q_UNUSED(event);
    m_hovered = false;
    removeOverlays();
    update();
}

void CardItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget)
{
    Q_UNUSED(option);
    Q_UNUSED(widget);
    const CardsScene *cards = cardsScene();
    if (!cards || m_taskIndex < 0 || m_taskIndex >= cards->document()->taskCount())
        return;
    const QTransform &transform = painter->worldTransform();
    m_paintedScale = transform.m22();
    CardPainter::Card card;
    card.width = m_width;
    card.background = m_bgColor;
    card.selected = isSelected();
    // A patch of colour needs nothing more of the plan: thousands of them are painted at once.
    if (!CardPainter::paintsPatch(transform))
        readValues(*cards, card);
    CardPainter(cards->cardFace()).paint(painter, card);
}

void CardItem::readValues(const CardsScene &cards, CardPainter::Card &card) const
{
    Document &doc = *cards.document();
    const CardFace &face = cards.cardFace();
    const TaskIndex task = m_taskIndex;
    card.highlight = m_highlightColor;
    card.iconCorners = m_hovered && cards.overlaysVisible();
    card.notes = face.showNotes && doc.hasNotes(task);
    card.links = face.showLinks && doc.hasLinks(task);
    card.markerColors.reserve(face.markers.size());
    for (const CardFace::Row &marker : face.markers)
        card.markerColors.append(doc.valueColor(task, marker.property));
    // Two pointers, which the function keeps without allocating.
    card.text = [this, &cards](int row) {
        return cards.document()->value(m_taskIndex, cards.cardFace().textRows.at(row).property);
    };
    const int image = face.showImages ? doc.taskImage(task) : -1;
    if (image >= 0 && image < doc.imageCount())
        card.image = doc.image(image).pixmap();
}
