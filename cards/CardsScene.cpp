#include "cards/CardsScene.h"

#include "cards/AddCardItem.h"
#include "cards/CardItem.h"
#include "cards/CardsAnimation.h"
#include "cards/CardsLegendItem.h"
#include "common/app/Accessors.h"
#include "common/app/TitleVariables.h"
#include "common/core/BusyCursor.h"
#include "common/core/Colors.h"
#include "common/widgets/Settings.h"

#include <algorithm>

#include <QGraphicsLineItem>
#include <QGraphicsRectItem>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsView>
#include <QPen>

namespace {

const QColor plainCardColor(254, 255, 153);
const double sceneMargin = 65.0;
const int bspDepth = 14;

QPen markerPen(const QColor &color, Qt::PenJoinStyle join)
{
    return QPen(color, 20, Qt::SolidLine, Qt::SquareCap, join);
}

CardItem *asCardItem(QGraphicsItem *item)
{
    return item ? qobject_cast<CardItem *>(item->toGraphicsObject()) : nullptr;
}

} // namespace

CardsScene::CardsScene(Document *document, QObject *parent)
    : QGraphicsScene(parent), m_document(document)
{
    // Painting a small area and finding the card under the pointer visit only the cards there,
    // not all of them. The depth is fixed: the depth Qt would choose for a hundred thousand
    // cards puts each card into so many parts that a layout moving every card costs twice as
    // long as without an index; at this depth it costs about the same.
    setItemIndexMethod(BspTreeIndex);
    setBspTreeDepth(bspDepth);
    // The signals' argument types, for queued connections and signal spies.
    qRegisterMetaType<TaskIndex>("TaskIndex");
    qRegisterMetaType<QList<PropertyIndexAndValue>>("QList<PropertyIndexAndValue>");
    connect(this, &QGraphicsScene::selectionChanged, this, &CardsScene::onSelectionChange);
    setBackgroundBrush(QBrush(m_document->cardBackgroundColor()));
}

CardsScene::~CardsScene()
{
    // The base class deletes the items after this scene's members are gone; the selection it
    // clears on the way must not call back into them.
    disconnect(this, &QGraphicsScene::selectionChanged, this, &CardsScene::onSelectionChange);
    delete m_animation.data();
    delete m_legendItem;
    delete m_addCardItem;
    m_cardItems.clear();
}

// Binning and geometry

CardsScene::CellMap CardsScene::binCards()
{
    m_backdropStale = true;
    m_layout.layout(*m_document);
    return m_layout.cells();
}

QList<PropertyIndexAndValue> CardsScene::cellPresets(int column, int row) const
{
    return m_layout.cellPresets(column, row);
}

void CardsScene::rebuildItemMap()
{
    m_cardItems.clear();
    const QList<QGraphicsItem *> all = items();
    for (QGraphicsItem *item : all) {
        CardItem *card = asCardItem(item);
        if (!card || card->taskIndex() < 0)
            continue;
        if (card->taskIndex() >= m_cardItems.size())
            m_cardItems.resize(card->taskIndex() + 1);
        m_cardItems[card->taskIndex()] = card;
    }
}

CardItem *CardsScene::cardItemForTask(int task) const
{
    return m_cardItems.value(task, nullptr);
}

void CardsScene::cellGridSize(int n, int *columns, int *rows) const
{
    CardsLayouter::cellGridSize(n, m_document->cardsCellLayout(), columns, rows);
}

void CardsScene::fitRowHeights(const CellMap &cells, const QVector<int> &columnCards,
                               QVector<int> &rowCards)
{
    CardsLayouter::fitRowHeights(cells, columnCards, rowCards);
}

void CardsScene::fitColumnWidths(const CellMap &cells, QVector<int> &columnCards,
                                 const QVector<int> &rowCards)
{
    CardsLayouter::fitColumnWidths(cells, columnCards, rowCards);
}

int CardsScene::hiddenColumnCount() const
{
    return m_layout.columns().spans.size() - shownColumnCount();
}

int CardsScene::hiddenRowCount() const
{
    return m_layout.rows().spans.size() - shownRowCount();
}

QRectF CardsScene::columnRect(int column, bool withHeader) const
{
    return m_layout.columnRect(column, withHeader);
}

QRectF CardsScene::rowRect(int row, bool withHeader) const
{
    return m_layout.rowRect(row, withHeader);
}

bool CardsScene::cellAt(const QPointF &point, int *column, int *row, QRectF *rect,
                        double margin) const
{
    return m_layout.cellAt(point, column, row, rect, margin);
}

bool CardsScene::headerAt(const QPointF &point, bool *isColumnHeader, bool *isRowHeader,
                          int *index) const
{
    return m_layout.headerAt(point, isColumnHeader, isRowHeader, index);
}

bool CardsScene::columnAt(bool clampOutside, bool nearestBoundary, int *index, double x) const
{
    return m_layout.columnAt(clampOutside, nearestBoundary, index, x);
}

bool CardsScene::rowAt(bool clampOutside, bool nearestBoundary, int *index, double y) const
{
    return m_layout.rowAt(clampOutside, nearestBoundary, index, y);
}

// Totals, title, footer and markers

void CardsScene::calculateTotals()
{
    m_backdropStale = true;
    m_layout.layout(*m_document);
}

CardsLayouter::TextTotals CardsScene::textTotals(int column, int row) const
{
    return m_layout.textTotals(column, row);
}

double CardsScene::numericTotal(int column, int row) const
{
    return m_layout.numericTotal(column, row);
}

void CardsScene::updateTitle()
{
    if (!m_titleItem) {
        m_titleItem = new QGraphicsSimpleTextItem;
        m_titleItem->setFlag(QGraphicsItem::ItemSendsGeometryChanges);
        addItem(m_titleItem);
    }
    const QString title = m_document->cardsTitle();
    m_titleItem->setText(expandVariables(title));
    QFont font = m_document->cardFont();
    font.setPixelSize(std::max(1, m_document->cardsTitleSize()));
    m_titleItem->setFont(font);
    const QColor color = contrastingTextColor(m_document->cardBackgroundColor(), false);
    if (m_titleItem->brush().color() != color)
        m_titleItem->setBrush(color);
    const QRectF bounds = m_titleItem->boundingRect();
    double y = -1.5 * bounds.height();
    if (m_document->xProperty() > 0)
        y -= m_document->cardsHeaderSize();
    m_titleItem->setPos(totalWidth() / 2 - bounds.width() / 2, y);
    m_titleItem->setVisible(!title.isEmpty());
}

void CardsScene::updateFooter(double y)
{
    if (!m_footerItem) {
        m_footerItem = new QGraphicsSimpleTextItem;
        m_footerItem->setFlag(QGraphicsItem::ItemSendsGeometryChanges);
        addItem(m_footerItem);
    }
    const QString footer = m_document->cardsFooter();
    m_footerItem->setText(expandVariables(footer));
    QFont font = m_document->cardFont();
    font.setPixelSize(std::max(1, m_document->cardsFooterSize()));
    m_footerItem->setFont(font);
    const QColor color = contrastingTextColor(m_document->cardBackgroundColor(), false);
    if (m_footerItem->brush().color() != color)
        m_footerItem->setBrush(color);
    const QRectF bounds = m_footerItem->boundingRect();
    m_footerItem->setPos(totalWidth() / 2 - bounds.width() / 2, y + bounds.height() / 2);
    m_footerItem->setVisible(!footer.isEmpty());
}

void CardsScene::showDropHighlight(const QRectF &rect)
{
    if (!m_dropHighlight) {
        m_dropHighlight = new QGraphicsRectItem;
        m_dropHighlight->setZValue(1);
        m_dropHighlight->setBrush(m_document->cardsSelectionColor());
        addItem(m_dropHighlight);
    }
    m_dropHighlight->setRect(rect);
}

void CardsScene::hideDropHighlight()
{
    delete m_dropHighlight;
    m_dropHighlight = nullptr;
}

void CardsScene::showHeaderFrame(const QRectF &rect)
{
    if (!m_headerFrame) {
        m_headerFrame = new QGraphicsRectItem;
        m_headerFrame->setZValue(1);
        m_headerFrame->setPen(markerPen(m_document->cardsSelectionColor(), Qt::MiterJoin));
        addItem(m_headerFrame);
    }
    m_headerFrame->setRect(rect);
    m_headerFrame->update();
}

void CardsScene::hideHeaderFrame()
{
    delete m_headerFrame;
    m_headerFrame = nullptr;
}

void CardsScene::showColumnInsertLine(const QPointF &point)
{
    const double x = m_layout.insertBoundary(m_layout.columns(), point.x());
    setInsertLine(QLineF(x, -m_document->cardsHeaderSize(), x, totalHeight()));
}

void CardsScene::showRowInsertLine(const QPointF &point)
{
    const double y = m_layout.insertBoundary(m_layout.rows(), point.y());
    setInsertLine(QLineF(-m_document->cardsHeaderSize(), y, totalWidth(), y));
}

void CardsScene::setInsertLine(const QLineF &line)
{
    if (!m_insertLine) {
        m_insertLine = new QGraphicsLineItem;
        m_insertLine->setZValue(1);
        m_insertLine->setPen(markerPen(m_document->cardsSelectionColor(), Qt::BevelJoin));
        addItem(m_insertLine);
    }
    m_insertLine->setLine(line);
    m_insertLine->update();
}

void CardsScene::hideInsertLine()
{
    delete m_insertLine;
    m_insertLine = nullptr;
}

// Reacting to plan changes

void CardsScene::onChangedDoc(const Events &events)
{
    if (!events.events.isEmpty())
        m_backdropStale = true;
    if (!events.any(listensTo))
        return;
    bool layOut = false;
    bool repaint = false;
    const auto decorated = [this] {
        return !m_document->cardsTitle().trimmed().isEmpty()
            || !m_document->cardsFooter().trimmed().isEmpty()
            || m_document->cardsShowLegend() != LegendMode::Hidden;
    };
    for (const Event &event : events.events) {
        switch (event.type) {
        case EventType::AllChanged:
            rebuildAll();
            layOut = true;
            break;
        case EventType::TaskAdded:
            if (event == events.events.first())
                clearSelection();
            insertCardItem(event.taskIndex);
            if (CardItem *item = m_cardItems.value(event.taskIndex, nullptr))
                item->setSelected(true);
            layOut = true;
            break;
        case EventType::TasksDeleted:
            removeCardItem(event.taskIndex);
            layOut = true;
            break;
        case EventType::PropertyAdded:
            // Shown on the cards from the start, it changes what every card draws, and may
            // change their size and the legend's columns.
            if (m_document->propertyVisibility(event.propertyIndex) != PropertyVisibility::Hidden)
                layOut = true;
            break;
        case EventType::PropertyChanged:
        case EventType::PropertyDeleted:
        case EventType::ValueChanged:
        case EventType::CardsLayoutChanged:
        case EventType::ViewChanged:
        case EventType::FilterChanged:
            layOut = true;
            break;
        case EventType::PropertiesReordered:
            clearSelection();
            layOut = true;
            break;
        case EventType::CardContentChanged:
        case EventType::StoredViewsChanged:
        case EventType::CardsAppearanceChanged:
            refreshBackground();
            if (decorated())
                layOut = true;
            else
                repaint = true;
            break;
        // The notes and links icons are drawn on the card.
        case EventType::TaskNotesChanged:
        case EventType::TaskLinksChanged:
        case EventType::ImagesChanged:
        case EventType::TaskImageChanged:
            repaint = true;
            break;
        default:
            break;
        }
    }
    if (layOut) {
        redraw();
    } else if (repaint) {
        m_cardFace.read(*m_document);
        for (CardItem *item : qAsConst(m_cardItems))
            item->setWidth(m_cardFace.width);
        update();
    }
}

void CardsScene::rebuildAll()
{
    stopAnimation();
    delete m_legendItem;
    m_legendItem = nullptr;
    delete m_addCardItem;
    m_addCardItem = nullptr;
    m_titleItem = nullptr;
    m_footerItem = nullptr;
    m_dropHighlight = nullptr;
    m_headerFrame = nullptr;
    m_insertLine = nullptr;
    // Deselected while every item is whole: a selected item reports its removal from inside its
    // destructor.
    clearSelection();
    m_cardItems.clear();
    clear();
    m_cardFace.read(*m_document);
    m_cardItems.reserve(m_document->taskCount());
    for (TaskIndex task = 0; task < m_document->taskCount(); ++task)
        addCardItem(task);
    m_cardsNew = true;
    refreshBackground();
}

void CardsScene::refreshBackground()
{
    const QColor color = m_document->cardBackgroundColor();
    if (backgroundBrush().style() != Qt::SolidPattern || backgroundBrush().color() != color)
        setBackgroundBrush(QBrush(color));
}

CardItem *CardsScene::addCardItem(int task)
{
    CardItem *item = new CardItem(task);
    item->setWidth(m_cardFace.width);
    // The icons' clicks are handled once the icon's own release handler has returned: the
    // handlers delete the card (and so the icon) or open a dialog, whose leave event deletes the
    // icon. The card may be gone by then, and a new one may have taken its address, so the
    // slot is handed a guarded pointer.
    const auto queued = [this](void (CardsScene::*slot)(CardItem *)) {
        return [this, slot](CardItem *card) {
            const QPointer<CardItem> guarded(card);
            QMetaObject::invokeMethod(
                this, [this, slot, guarded] { (this->*slot)(guarded.data()); },
                Qt::QueuedConnection);
        };
    };
    connect(item, &CardItem::deleteOverlayClicked, this,
            queued(&CardsScene::onDeleteOverlayClicked));
    connect(item, &CardItem::editOverlayClicked, this, queued(&CardsScene::onEditOverlayClicked));
    addItem(item);
    if (task >= m_cardItems.size())
        m_cardItems.resize(task + 1);
    if (task >= 0)
        m_cardItems[task] = item;
    return item;
}

void CardsScene::insertCardItem(int task)
{
    if (task < 0 || task > m_cardItems.size())
        return;
    stopAnimation();
    // Cards are appended; one inserted before others pushes their indexes up.
    m_cardItems.insert(task, nullptr);
    for (int later = task + 1; later < m_cardItems.size(); ++later) {
        if (m_cardItems.at(later))
            m_cardItems.at(later)->setTaskIndex(later);
    }
    addCardItem(task);
}

void CardsScene::removeCardItem(int task)
{
    CardItem *item = m_cardItems.value(task, nullptr);
    if (!item)
        return;
    stopAnimation();
    m_cardItems.remove(task);
    for (int later = task; later < m_cardItems.size(); ++later) {
        if (m_cardItems.at(later))
            m_cardItems.at(later)->setTaskIndex(later);
    }
    delete item;
}

bool CardsScene::isCardItemInScene(const CardItem *cardItem) const
{
    // Compares addresses only: the item may have been destroyed since its click was queued.
    return cardItem
        && std::find(m_cardItems.constBegin(), m_cardItems.constEnd(), cardItem)
        != m_cardItems.constEnd();
}

// Layout

void CardsScene::stopAnimation()
{
    if (!m_animation)
        return;
    CardsAnimation *animation = m_animation.data();
    m_animation = nullptr;
    // A stopped animation reports nothing: the layout that follows announces its own end.
    animation->disconnect(this);
    animation->stop();
}

int CardsScene::animationDuration() const
{
    if (!m_animate)
        return 0;
    const QList<QGraphicsView *> shown = views();
    const bool visible = std::any_of(shown.constBegin(), shown.constEnd(),
                                     [](const QGraphicsView *view) { return view->isVisible(); });
    if (!visible)
        return 0;
    const double seconds = settings()->animationDuration();
    return seconds > 0.0 ? int(std::min(seconds * 1000.0, 60000.0)) : 0;
}

void CardsScene::redraw()
{
    BusyCursor busy;
    hideAddCardItem();
    stopAnimation();
    m_cardFace.read(*m_document);
    // A copy costs little: the layouter's containers are shared until the layout replaces them.
    const CardsLayouter before = m_layout;
    m_layout.layout(*m_document);
    const bool backdropChanged = m_backdropStale || !m_layout.sameGrid(before);
    m_backdropStale = false;
    applyLayout(animationDuration(), backdropChanged);
}

void CardsScene::applyLayout(int duration, bool backdropChanged)
{
    // Only what differs changes: collected first, then animated or set at once.
    QVector<CardsAnimation::Change> changes;
    const QVector<CardsLayouter::Placement> &placements = m_layout.placements();
    const int colorProperty = m_document->cardColorProperty();
    const int highlightProperty = m_document->highlightColorProperty();
    bool deselected = false;
    QVector<CardItem *> shownAgain;
    blockSignals(true);
    for (TaskIndex task = 0; task < m_cardItems.size(); ++task) {
        CardItem *item = m_cardItems.at(task);
        if (!item)
            continue;
        item->setWidth(m_cardFace.width);
        const CardsLayouter::Placement placement = placements.value(task);
        item->setPassesFilter(placement.passesFilter);
        // A card the filter shows again fades in from where it was hidden.
        if (placement.passesFilter && item->isHiddenByFilter())
            shownAgain.append(item);
        CardsAnimation::Change change;
        change.item = item;
        if (placement.placed && item->pos() != placement.target) {
            change.parts |= CardsAnimation::Change::Position;
            change.position = placement.target;
        }
        const QColor color
            = colorProperty < 1 ? plainCardColor : m_document->valueColor(task, colorProperty);
        if (color != item->bgColor()) {
            change.parts |= CardsAnimation::Change::Background;
            change.background = color;
        }
        const QColor highlight
            = highlightProperty < 1 ? color : m_document->valueColor(task, highlightProperty);
        if (highlight != item->highlightColor()) {
            change.parts |= CardsAnimation::Change::Highlight;
            change.highlight = highlight;
        }
        // A card the filter hides that was never on show starts out hidden rather than fading
        // out where every new card starts.
        if (!placement.passesFilter && m_cardsNew)
            item->setOpacity(0.0);
        const double opacity = placement.passesFilter ? 1.0 : 0.0;
        if (item->opacity() != opacity) {
            change.parts |= CardsAnimation::Change::Opacity;
            change.opacity = opacity;
        }
        if (change.parts != 0)
            changes.append(change);
        if (!placement.passesFilter) {
            item->removeOverlays();
            if (item->isSelected()) {
                item->setSelected(false);
                deselected = true;
            }
        }
    }
    blockSignals(false);
    m_cardsNew = false;
    setHiddenByFilter(shownAgain, false);
    hideFilteredOutCards();

    // More cards than the animation can move at a fluent frame rate take their places at once.
    CardsAnimation *animation = nullptr;
    if (duration > 0 && !changes.isEmpty() && changes.size() <= m_animationLimit) {
        animation = new CardsAnimation(changes, duration, this);
    } else {
        for (const CardsAnimation::Change &change : qAsConst(changes))
            CardsAnimation::apply(change);
    }

    setSceneRect(placeTitleLegendFooter());

    emit animationStarted();
    if (animation) {
        m_animation = animation;
        connect(animation, &QAbstractAnimation::finished, this, &CardsScene::onAnimationFinished);
        animation->start(QAbstractAnimation::DeleteWhenStopped);
    }
    if (backdropChanged)
        update();
    if (deselected)
        emit selectionChanged();
    emit redrawing();
    if (!animation)
        onAnimationFinished();
}

void CardsScene::onAnimationFinished()
{
    hideFilteredOutCards();
    emit animationFinished();
}

void CardsScene::hideFilteredOutCards()
{
    // Only a card faded out all the way: a stopped animation may have left one half faded,
    // which the next layout fades on.
    QVector<CardItem *> hidden;
    for (CardItem *item : qAsConst(m_cardItems)) {
        if (item && !item->passesFilter() && item->opacity() == 0.0 && !item->isHiddenByFilter())
            hidden.append(item);
    }
    setHiddenByFilter(hidden, true);
}

void CardsScene::setHiddenByFilter(const QVector<CardItem *> &items, bool hidden)
{
    // The index takes an item out of each of its parts by searching that part's list: thousands
    // of cards stacked in one place, hidden or shown together, would cost the square of their
    // number. Past a few hundred the index is built again once instead.
    const bool rebuild = items.size() > 500 && itemIndexMethod() == BspTreeIndex;
    if (rebuild)
        setItemIndexMethod(NoIndex);
    for (CardItem *item : items)
        item->setHiddenByFilter(hidden);
    if (rebuild) {
        setItemIndexMethod(BspTreeIndex);
        setBspTreeDepth(bspDepth);
    }
}

QRectF CardsScene::placeTitleLegendFooter()
{
    const Document &doc = *m_document;
    const int header = doc.cardsHeaderSize();
    QRectF rect(0, 0, totalWidth(), totalHeight());
    if (doc.xProperty() > 0)
        rect.setTop(rect.top() - header);
    if (doc.yProperty() > 0)
        rect.setLeft(rect.left() - header);
    if (doc.totalProperty() > 0) {
        rect.setRight(rect.right() + doc.limitedCardWidth());
        rect.setBottom(rect.bottom() + doc.limitedCardWidth());
    }
    updateTitle();
    if (!doc.cardsTitle().trimmed().isEmpty()) {
        const double half = m_titleItem->boundingRect().height() / 2;
        rect = rect.united(m_titleItem->sceneBoundingRect().adjusted(-half, -half, half, half));
    }
    rect.adjust(-sceneMargin, -sceneMargin, sceneMargin, sceneMargin);

    const int legend = doc.cardsShowLegend();
    if (legend >= LegendMode::BottomAllColors && legend <= LegendMode::RightVisibleColors) {
        if (!m_legendItem) {
            m_legendItem = new CardsLegendItem(m_document);
            addItem(m_legendItem);
        }
        m_legendItem->clear();
        const QRectF bounds = m_legendItem->boundingRect();
        if (LegendMode::atBottom(legend))
            m_legendItem->setPos(totalWidth() / 2 - bounds.width() / 2, rect.bottom() + 130);
        else
            m_legendItem->setPos(rect.right() + 130, rect.center().y() - bounds.height() / 2);
        rect = rect.united(m_legendItem->sceneBoundingRect());
        m_legendItem->show();
    } else if (m_legendItem) {
        m_legendItem->hide();
    }

    updateFooter(rect.bottom());
    if (!doc.cardsFooter().trimmed().isEmpty()) {
        const double half = m_footerItem->boundingRect().height() / 2;
        rect = rect.united(m_footerItem->sceneBoundingRect().adjusted(-half, -half, half, half));
    }
    return rect;
}

// Selection

QList<CardItem *> CardsScene::cardItems(bool selectedOnly, bool visibleOnly) const
{
    QList<CardItem *> list;
    if (selectedOnly) {
        const QList<QGraphicsItem *> selected = selectedItems();
        for (QGraphicsItem *item : selected) {
            if (CardItem *card = asCardItem(item))
                list.append(card);
        }
    } else {
        for (CardItem *card : m_cardItems) {
            if (card)
                list.append(card);
        }
    }
    if (visibleOnly)
        list.erase(std::remove_if(list.begin(), list.end(),
                                  [](const CardItem *card) { return !card->passesFilter(); }),
                   list.end());
    // Equal stacking values stack in the order the items were added, which is card order.
    std::stable_sort(list.begin(), list.end(), [](const CardItem *a, const CardItem *b) {
        if (a->zValue() != b->zValue())
            return a->zValue() > b->zValue();
        return a->taskIndex() > b->taskIndex();
    });
    return list;
}

QList<int> CardsScene::selectedTaskIndexes() const
{
    QList<int> tasks;
    const QList<QGraphicsItem *> selected = selectedItems();
    for (QGraphicsItem *item : selected) {
        if (const CardItem *card = asCardItem(item))
            tasks.append(card->taskIndex());
    }
    std::sort(tasks.begin(), tasks.end());
    return tasks;
}

QList<int> CardsScene::visibleTaskIndexes() const
{
    QList<int> tasks;
    for (const CardItem *card : m_cardItems) {
        if (card && card->passesFilter())
            tasks.append(card->taskIndex());
    }
    return tasks;
}

void CardsScene::selectWithSignalsBlocked(const std::function<bool(const CardItem *)> &selects)
{
    blockSignals(true);
    clearSelection();
    // Only cards on show can be selected: a card faded out by the filter must never be the
    // target of a Delete the user cannot see.
    for (CardItem *card : qAsConst(m_cardItems)) {
        if (card && card->passesFilter() && selects(card))
            card->setSelected(true);
    }
    blockSignals(false);
    emit selectionChanged();
}

void CardsScene::selectAll()
{
    selectWithSignalsBlocked([](const CardItem *) { return true; });
}

void CardsScene::selectTasks(const QList<int> &tasks)
{
    QVector<bool> wanted(m_cardItems.size(), false);
    for (int task : tasks) {
        if (task >= 0 && task < wanted.size())
            wanted[task] = true;
    }
    selectWithSignalsBlocked(
        [&wanted](const CardItem *card) { return wanted.value(card->taskIndex()); });
}

void CardsScene::emitSelectionChanged()
{
    emit selectionChanged();
}

void CardsScene::selectMatchingCards()
{
    const QString text = m_document->searchText();
    QList<int> searched;
    for (int property = 1; property < m_document->propertyCount(); ++property) {
        const int visibility = m_document->propertyVisibility(property);
        if (visibility == PropertyVisibility::Text || visibility == PropertyVisibility::BoldText
            || visibility == PropertyVisibility::ItalicText)
            searched.append(property);
    }
    selectWithSignalsBlocked([&](const CardItem *card) {
        if (text.isEmpty())
            return false;
        for (int property : qAsConst(searched)) {
            if (m_document->value(card->taskIndex(), property).contains(text, Qt::CaseInsensitive))
                return true;
        }
        return false;
    });
}

void CardsScene::onSelectionChange()
{
    const QList<QGraphicsItem *> selected = selectedItems();
    if (selected.isEmpty())
        return;
    double top = 2.0;
    for (const CardItem *card : qAsConst(m_cardItems)) {
        if (card)
            top = std::max(top, card->zValue());
    }
    for (QGraphicsItem *item : selected) {
        if (CardItem *card = asCardItem(item))
            card->setZValue(top + 1);
    }
}

CardItem *CardsScene::moveCardsByKey(int key)
{
    const QList<int> selected = selectedTaskIndexes();
    if (selected.isEmpty())
        return nullptr;
    const TaskIndex current = selected.first();
    const CardsLayouter::Axis &columns = m_layout.columns();
    const CardsLayouter::Axis &rows = m_layout.rows();
    // Cells with cards, column by column (the cell map's own order) or row by row.
    QList<CardsLayouter::Cell> cells;
    const CellMap &map = m_layout.cells();
    for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
        const CardsLayouter::Cell &cell = it.key();
        if (cell.first >= 0 && cell.second >= 0 && cell.first < columns.count()
            && cell.second < rows.count())
            cells.append(cell);
    }
    if (key != Qt::Key_Up && key != Qt::Key_Down)
        std::stable_sort(cells.begin(), cells.end(),
                         [](const CardsLayouter::Cell &a, const CardsLayouter::Cell &b) {
                             return qMakePair(a.second, a.first) < qMakePair(b.second, b.first);
                         });
    QList<TaskIndex> sequence;
    for (const CardsLayouter::Cell &cell : qAsConst(cells))
        sequence += m_layout.orderedCell(cell.first, cell.second);
    const int at = sequence.indexOf(current);
    if (at < 0)
        return nullptr;
    const bool forward = key == Qt::Key_Right || key == Qt::Key_Down;
    const int next = (at + (forward ? 1 : -1) + sequence.size()) % sequence.size();
    CardItem *item = cardItemForTask(sequence.at(next));
    if (!item)
        return nullptr;
    clearSelection();
    item->setSelected(true);
    return item;
}

// Overlays

void CardsScene::setOverlaysVisible(bool visible)
{
    m_overlaysVisible = visible;
    if (!visible)
        hideOverlays();
}

void CardsScene::hideOverlays()
{
    hideAddCardItem();
    for (CardItem *card : qAsConst(m_cardItems)) {
        if (card)
            card->removeOverlays();
    }
}

void CardsScene::showAddCardItem(int column, int row, const QRectF &cellRect)
{
    if (!m_addCardItem) {
        m_addCardItem = new AddCardItem;
        addItem(m_addCardItem);
        // Queued: the slot opens a dialog, and the view deletes the icon when the pointer
        // leaves it, which must not happen inside the icon's own release handler.
        connect(m_addCardItem, &AddCardItem::clicked, this, &CardsScene::onAddCardClicked,
                Qt::QueuedConnection);
    }
    m_addCardItem->setCell(column, row);
    // Moving and showing the icon repaints its old and new places; nothing else changes.
    m_addCardItem->setPos(cellRect.bottomRight() - QPointF(OverlayItem::Size, OverlayItem::Size));
    m_addCardItem->show();
}

void CardsScene::hideAddCardItem()
{
    if (m_addCardItem)
        m_addCardItem->hide();
}

void CardsScene::deleteAddCardItem()
{
    delete m_addCardItem;
    m_addCardItem = nullptr;
}

void CardsScene::onAddCardClicked(int column, int row)
{
    emit newTask(cellPresets(column, row));
}

void CardsScene::onEditOverlayClicked(CardItem *cardItem)
{
    if (isCardItemInScene(cardItem))
        emit editTask(cardItem->taskIndex());
}

void CardsScene::onDeleteOverlayClicked(CardItem *cardItem)
{
    if (isCardItemInScene(cardItem))
        m_document->deleteTask(cardItem->taskIndex(), true);
}
