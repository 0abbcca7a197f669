#include "cardedit/SetValuesDialog.h"
#include "cards/CardItem.h"
#include "cards/CardsScene.h"
#include "cards/CardsView.h"
#include "cards/OverlayItem.h"
#include "common/widgets/BalloonTip.h"
#include "model/Document.h"

#include <cstdlib>

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSet>
#include <QTimer>

namespace {

// Pointer margin inside a cell's border for the add-card icon and the drop highlight.
const double hoverMargin = 7.8;
// Below this zoom the add-card icon would be too small to hit.
const double overlayMinimumScale = 0.125;
const int autoScrollDelayMs = 500;
const int autoScrollIntervalMs = 75;
const int autoScrollStep = 8;
const int autoScrollEdge = 15;

// The view keeps at most one override cursor of its own on the application's stack.
void setCursorShape(Qt::CursorShape shape)
{
    if (QGuiApplication::overrideCursor())
        QGuiApplication::changeOverrideCursor(QCursor(shape));
    else
        QGuiApplication::setOverrideCursor(QCursor(shape));
}

CardItem *asCard(QGraphicsItem *item)
{
    return item ? qobject_cast<CardItem *>(item->toGraphicsObject()) : nullptr;
}

} // namespace

void CardsView::restoreCursor()
{
    if (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}

// Press

void CardsView::mousePressEvent(QMouseEvent *event)
{
    GraphicsView::mousePressEvent(event);
    onHideFullScreenExitMessage();
    m_pressedHeaderIndex = -1;
    m_dragState = DragState::Idle;
    m_pressedOnCard = false;
    m_pressPosition = event->localPos().toPoint();
    m_scene->headerAt(mapToScene(m_pressPosition), &m_pressHeaderIsColumn, nullptr,
                      &m_pressHeaderIndex);
    restoreCursor();
    updateLensArea(m_pointerPosition);
    if (!isInteractive() || event->button() != Qt::LeftButton)
        return;
    if (event->modifiers() & Qt::AltModifier) {
        BalloonTip::markShown(QStringLiteral("tip_alt_click"));
        onPostAddCardAtMouseLocation();
        return;
    }
    // Only a press on a selected card starts a card drag. A Ctrl+press on empty space keeps
    // the selection for a rubber band, whose release must not drop those cards anywhere.
    CardItem *card = asCard(itemAt(m_pressPosition));
    m_pressedOnCard = card;
    if (card && card->isSelected()) {
        m_dragState = DragState::CardPressed;
        const QList<CardItem *> selected = m_scene->cardItems(true, false);
        for (CardItem *item : selected)
            item->updateCenter();
        return;
    }
    pressHeader(m_pressPosition);
}

void CardsView::pressHeader(const QPoint &point)
{
    bool isColumn = false;
    bool isRow = false;
    if (!m_scene->headerAt(mapToScene(point), &isColumn, &isRow, &m_pressedHeaderIndex))
        return;
    setDragMode(NoDrag);
    const Document &doc = *document();
    const int index = m_pressedHeaderIndex;
    if (isColumn) {
        const int property = doc.xProperty();
        if (property < 1 || doc.actualPropertyType(property) != ActualType::Text || index < 0
            || index >= m_scene->layouter().columns().count())
            return;
        m_dragState = DragState::ColumnHeaderPressed;
        setCursorShape(Qt::ClosedHandCursor);
        m_scene->showHeaderFrame(m_scene->columnRect(index, true));
    } else if (isRow) {
        const int property = doc.yProperty();
        if (property < 1 || doc.actualPropertyType(property) != ActualType::Text || index < 0
            || index >= m_scene->layouter().rows().count())
            return;
        m_dragState = DragState::RowHeaderPressed;
        setCursorShape(Qt::ClosedHandCursor);
        m_scene->showHeaderFrame(m_scene->rowRect(index, true));
    }
}

// Move

void CardsView::mouseMoveEvent(QMouseEvent *event)
{
    GraphicsView::mouseMoveEvent(event);
    if (isInteractive()) {
        const QPoint point = event->localPos().toPoint();
        const QPointF scenePoint = mapToScene(point);
        int column = -1;
        int row = -1;
        QRectF cellRect;
        const bool inCell = m_scene->cellAt(scenePoint, &column, &row, &cellRect, hoverMargin);
        if (inCell && event->buttons() == Qt::NoButton) {
            m_scene->hideAddCardItem();
            if (m_scene->overlaysVisible() && currentScale() >= overlayMinimumScale)
                m_scene->showAddCardItem(column, row, cellRect);
        } else if (m_scene->overlaysVisible()) {
            m_scene->hideAddCardItem();
        }

        const QPoint moved = point - m_pressPosition;
        const int distance = QApplication::startDragDistance();
        switch (m_dragState) {
        case DragState::Idle: {
            QGraphicsItem *top = itemAt(point);
            const bool pointable = asCard(top)
                || (top && qobject_cast<OverlayItem *>(top->toGraphicsObject()))
                || m_scene->headerAt(scenePoint, nullptr, nullptr, nullptr);
            if (!pointable)
                restoreCursor();
            else if (!QGuiApplication::overrideCursor())
                QGuiApplication::setOverrideCursor(QCursor(Qt::PointingHandCursor));
            break;
        }
        case DragState::CardPressed:
            if (moved.manhattanLength() >= distance) {
                m_dragState = DragState::CardDrag;
                setCursorShape(Qt::ClosedHandCursor);
            }
            break;
        case DragState::CardDrag:
            if (!inCell) {
                m_scene->hideDropHighlight();
            } else {
                QRectF highlight = cellRect;
                bool keepColumns = false;
                bool keepRows = false;
                if (axisLock(event, &keepColumns, &keepRows))
                    highlight = keepColumns ? m_scene->rowRect(row, false)
                                            : m_scene->columnRect(column, false);
                m_scene->showDropHighlight(highlight);
            }
            break;
        case DragState::ColumnHeaderPressed:
            if (std::abs(moved.x()) >= distance)
                m_dragState = DragState::ColumnHeaderDrag;
            break;
        case DragState::RowHeaderPressed:
            if (std::abs(moved.y()) >= distance)
                m_dragState = DragState::RowHeaderDrag;
            break;
        case DragState::ColumnHeaderDrag:
            m_scene->showColumnInsertLine(scenePoint);
            break;
        case DragState::RowHeaderDrag:
            m_scene->showRowInsertLine(scenePoint);
            break;
        }
        armAutoScroll(event);
    }
    updateLensArea(m_pointerPosition);
    m_pointerPosition = event->localPos().toPoint();
    updateLensArea(m_pointerPosition);
}

bool CardsView::axisLock(const QMouseEvent *event, bool *keepColumns, bool *keepRows) const
{
    bool columns = false;
    bool rows = false;
    const auto result = [&](bool locked) {
        if (keepColumns)
            *keepColumns = columns;
        if (keepRows)
            *keepRows = rows;
        return locked;
    };
    int column = -1;
    int row = -1;
    if (!m_scene->cellAt(mapToScene(event->localPos().toPoint()), &column, &row, nullptr, 0))
        return result(false);
    if (!(event->modifiers() & Qt::ShiftModifier))
        return result(false);
    const QList<CardItem *> selected = m_scene->cardItems(true, false);
    if (selected.size() < 2)
        return result(false);
    int pressColumn = -1;
    int pressRow = -1;
    if (!m_scene->cellAt(mapToScene(m_pressPosition), &pressColumn, &pressRow, nullptr, 0))
        return result(false);
    const bool columnChanged = column != pressColumn;
    const bool rowChanged = row != pressRow;
    if (columnChanged == rowChanged)
        return result(false);
    QSet<int> cardColumns;
    QSet<int> cardRows;
    for (const CardItem *card : selected) {
        int c = -1;
        int r = -1;
        if (m_scene->cellAt(card->center(), &c, &r, nullptr, 0)) {
            cardColumns.insert(c);
            cardRows.insert(r);
        }
    }
    if (columnChanged && cardRows.size() >= 2)
        rows = true;
    else if (rowChanged && cardColumns.size() >= 2)
        columns = true;
    return result(columns || rows);
}

// Release

void CardsView::mouseReleaseEvent(QMouseEvent *event)
{
    GraphicsView::mouseReleaseEvent(event);
    // The drag is over whatever happens next: no scrolling behind a dialog or after the drop.
    stopAutoScroll(true);
    if (!isInteractive())
        return;
    switch (m_dragState) {
    case DragState::ColumnHeaderDrag:
    case DragState::RowHeaderDrag:
        dropHeader(event);
        break;
    case DragState::CardDrag:
        dropCards(event);
        break;
    default:
        releaseElsewhere(event);
        break;
    }
    restoreCursor();
    m_dragState = DragState::Idle;
    setDragMode(RubberBandDrag);
    m_scene->hideInsertLine();
    m_scene->hideHeaderFrame();
    m_scene->hideDropHighlight();
}

void CardsView::dropHeader(const QMouseEvent *event)
{
    m_scene->hideInsertLine();
    m_scene->hideHeaderFrame();
    Document &doc = *document();
    const bool columns = m_dragState == DragState::ColumnHeaderDrag;
    const int property = columns ? doc.xProperty() : doc.yProperty();
    const QPointF point = mapToScene(event->localPos().toPoint());
    int target = -1;
    const bool found = columns ? m_scene->columnAt(true, true, &target, point.x())
                               : m_scene->rowAt(true, true, &target, point.y());
    const int pressed = m_pressedHeaderIndex;
    if (!found || target == pressed)
        return;
    if (pressed < target)
        --target;
    if (target == pressed)
        return;
    QStringList order = doc.values(property);
    // A header that no longer exists, or none at all, moves nothing.
    if (property < 1 || pressed < 0 || pressed >= order.size() || target < 0)
        return;
    if (target < order.size())
        order.move(pressed, target);
    else
        order.append(order.takeAt(pressed));
    doc.setValueOrder(property, order, true);
}

void CardsView::dropCards(const QMouseEvent *event)
{
    m_scene->hideDropHighlight();
    int column = -1;
    int row = -1;
    if (!m_scene->cellAt(mapToScene(event->localPos().toPoint()), &column, &row, nullptr, 0)) {
        m_scene->redraw();
        return;
    }
    bool keepColumns = false;
    bool keepRows = false;
    if (axisLock(event, &keepColumns, &keepRows))
        BalloonTip::markShown(QStringLiteral("tip_drag_shift"));

    // Which cards leave their cell, and along which axis; read before any dialog runs.
    struct Move
    {
        TaskIndex task;
        bool column;
        bool row;
    };
    QList<Move> moved;
    bool anyColumn = false;
    bool anyRow = false;
    const QList<CardItem *> selected = m_scene->cardItems(true, false);
    for (const CardItem *card : selected) {
        int cardColumn = -1;
        int cardRow = -1;
        if (!m_scene->cellAt(card->center(), &cardColumn, &cardRow, nullptr, 0))
            continue;
        const bool changesColumn = !keepColumns && cardColumn != column;
        const bool changesRow = !keepRows && cardRow != row;
        anyColumn = anyColumn || changesColumn;
        anyRow = anyRow || changesRow;
        if (changesColumn || changesRow)
            moved.append({card->taskIndex(), changesColumn, changesRow});
    }
    if (moved.isEmpty()) {
        m_scene->redraw();
        return;
    }

    Document &doc = *document();
    const int x = doc.xProperty();
    const int y = doc.yProperty();
    QString columnValue = m_scene->columnValues().value(column);
    QString rowValue = m_scene->rowValues().value(row);
    QList<SetValuesDialog::Row> prompts;
    if (anyColumn && x > 0 && doc.isBinnedProperty(x) && !columnValue.isEmpty())
        prompts.append({doc.propertyName(x), &columnValue});
    if (anyRow && y > 0 && y != x && doc.isBinnedProperty(y) && !rowValue.isEmpty())
        prompts.append({doc.propertyName(y), &rowValue});
    if (!prompts.isEmpty()) {
        SetValuesDialog dialog(this, prompts);
        if (dialog.exec() != QDialog::Accepted) {
            m_scene->redraw();
            return;
        }
    }

    // Both values are written, as one step of a known shape; an axis the card did not leave
    // keeps its value rather than taking the value that stands for the whole bin.
    QList<Document::ValueChange> entries;
    for (const Move &move : qAsConst(moved)) {
        if (x > 0)
            entries.append({{move.task, x}, move.column ? columnValue : doc.value(move.task, x)});
        if (y > 0)
            entries.append({{move.task, y}, move.row ? rowValue : doc.value(move.task, y)});
    }
    if (!entries.isEmpty())
        doc.setValues(entries, true);
    else
        m_scene->redraw();
    m_scene->emitSelectionChanged();
    BalloonTip::showOnce(
        this, QStringLiteral("tip_drag_shift"), tr("Hold down the Shift key during drag..."),
        tr("...and drag vertically to preserve card columns.\n...and drag horizontally to "
           "preserve card rows."),
        QString(), 10000, true, false);
}

void CardsView::releaseElsewhere(const QMouseEvent *event)
{
    const QPoint viewPoint = event->localPos().toPoint();
    const QPointF point = mapToScene(viewPoint);
    bool isColumn = false;
    bool isRow = false;
    const bool onHeader = m_scene->headerAt(point, &isColumn, &isRow, &m_pressedHeaderIndex);
    // Only a press and release on the same header is a click on it: a rubber band let go over
    // a header is a selection.
    if (onHeader && m_pressedHeaderIndex == m_pressHeaderIndex
        && isColumn == m_pressHeaderIsColumn) {
        m_scene->hideInsertLine();
        if (isColumn || isRow)
            releaseOnHeader(event, isColumn);
        return;
    }
    if (event->button() == Qt::RightButton) {
        // The menu is for the card under the pointer: the selection when it is one of it,
        // else that card alone; nothing selected in an empty cell.
        QGraphicsItem *top = itemAt(viewPoint);
        CardItem *card = asCard(top);
        if (!card && top)
            card = asCard(top->parentItem());
        if (!card) {
            m_scene->clearSelection();
        } else if (!card->isSelected()) {
            m_scene->clearSelection();
            card->setSelected(true);
        }
        const int count = m_scene->cardItems(true, false).size();
        if (count > 0)
            runCardMenu(count);
        else
            runEmptyCellMenu(point);
        return;
    }
    // A card the toolkit moved without selecting it (Ctrl held) goes back as well.
    if (!m_scene->selectedItems().isEmpty() || m_pressedOnCard)
        m_scene->redraw();
}

void CardsView::mouseDoubleClickEvent(QMouseEvent *event)
{
    GraphicsView::mouseDoubleClickEvent(event);
    emit doubleClicked();
}

// Auto-scroll near the edges while dragging

void CardsView::armAutoScroll(const QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton) || m_dragState == DragState::Idle
        || m_autoScrollDelayTimer || m_autoScrollRepeatTimer)
        return;
    m_autoScrollDelayTimer = new QTimer(this);
    m_autoScrollDelayTimer->setObjectName(QStringLiteral("autoScrollDelayTimer"));
    m_autoScrollDelayTimer->setSingleShot(true);
    connect(m_autoScrollDelayTimer, &QTimer::timeout, this, &CardsView::onAutoScroll);
    m_autoScrollDelayTimer->start(autoScrollDelayMs);
}

void CardsView::onAutoScroll()
{
    stopAutoScroll(false);
    const auto step = [](int position, int extent) {
        if (position <= autoScrollEdge)
            return -autoScrollStep;
        if (extent - position <= autoScrollEdge)
            return autoScrollStep;
        return 0;
    };
    // A tick scrolls only when a bar moves: at the end of its range the scrolling stops.
    bool scrolled = false;
    const auto scroll = [&scrolled](QScrollBar *bar, int by) {
        if (!bar || by == 0)
            return;
        const int before = bar->value();
        bar->setValue(before + by);
        scrolled = scrolled || bar->value() != before;
    };
    scroll(horizontalScrollBar(), step(m_pointerPosition.x(), viewport()->width()));
    scroll(verticalScrollBar(), step(m_pointerPosition.y(), viewport()->height()));
    if (!scrolled) {
        stopAutoScroll(true);
        return;
    }
    if (!m_autoScrollRepeatTimer) {
        m_autoScrollRepeatTimer = new QTimer(this);
        m_autoScrollRepeatTimer->setObjectName(QStringLiteral("autoScrollRepeatTimer"));
        connect(m_autoScrollRepeatTimer, &QTimer::timeout, this, &CardsView::onAutoScroll);
        m_autoScrollRepeatTimer->start(autoScrollIntervalMs);
    }
}

void CardsView::stopAutoScroll(bool both)
{
    // Deleted later: the timers may be stopped from their own timeout.
    const auto stop = [](QTimer *&timer) {
        if (!timer)
            return;
        timer->stop();
        timer->deleteLater();
        timer = nullptr;
    };
    stop(m_autoScrollDelayTimer);
    if (both)
        stop(m_autoScrollRepeatTimer);
}

// Tips

void CardsView::onScrollbarSliderMoved()
{
    QTimer::singleShot(5000, this, &CardsView::onShowSpaceDragTipOnce);
}

void CardsView::onShowSpaceDragTipOnce()
{
    BalloonTip::showOnce(
        this, QStringLiteral("tip_space_scroll"), tr("Scroll by dragging"),
        tr("Hold down the Space bar then drag on this pane to scroll horizontally and vertically."),
        QString(), 10000, true, false);
}
