#include "cards/CardsView.h"

#include "cards/CardItem.h"
#include "cards/CardsScene.h"
#include "cards/CardsViewToolTip.h"
#include "common/app/Accessors.h"
#include "common/core/UrlOpener.h"
#include "common/widgets/BalloonTip.h"
#include "common/widgets/MessageBoxes.h"
#include "common/widgets/Settings.h"
#include "model/Document.h"

#include <algorithm>
#include <cstdlib>

#include <QAction>
#include <QCoreApplication>
#include <QGestureEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPinchGesture>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

namespace {

const double zoomInLimit = 3.33;
const double zoomOutLimit = 0.033;
const double fittedHeight = 2 * CardItem::Height;
const double contextHeight = 4 * CardItem::Height;

// Grows the rectangle about its centre to at least the given size.
QRectF atLeast(QRectF rect, double width, double height)
{
    if (width - rect.width() > 0)
        rect.adjust(-(width - rect.width()) / 2, 0, (width - rect.width()) / 2, 0);
    if (height - rect.height() > 0)
        rect.adjust(0, -(height - rect.height()) / 2, 0, (height - rect.height()) / 2);
    return rect;
}

} // namespace

CardsView::CardsView(CardsScene *scene, QWidget *parent) : GraphicsView(parent), m_scene(scene)
{
    setScene(scene);
    setTransformationAnchor(AnchorViewCenter);
    setDragMode(RubberBandDrag);
    setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing
                   | QPainter::SmoothPixmapTransform);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    m_toolTip = std::make_unique<CardsViewToolTip>(this);
    for (QScrollBar *bar : {horizontalScrollBar(), verticalScrollBar()}) {
        if (bar)
            connect(bar, &QScrollBar::sliderMoved, this, &CardsView::onScrollbarSliderMoved);
    }
    viewport()->grabGesture(Qt::PinchGesture);
}

CardsView::~CardsView()
{
    stopAutoScroll(true);
}

Document *CardsView::document() const
{
    return m_scene->document();
}

// Zoom

bool CardsView::canZoomIn() const
{
    return currentScale() < zoomInLimit;
}

bool CardsView::canZoomOut() const
{
    return currentScale() > zoomOutFloor();
}

double CardsView::zoomOutFloor() const
{
    // A plan too large to fit at the smallest zoom still zooms out as far as Zoom Fit goes, so
    // that a plan fitted and zoomed into can be zoomed out again. A hair's tolerance: a zoom in
    // and out again may not land on the fitted scale to the last bit.
    const double fitted = fittedScale(fitArea());
    return fitted > 0 && fitted < zoomOutLimit ? fitted * (1 + 1e-9) : zoomOutLimit;
}

void CardsView::setZoomToFit(bool on)
{
    m_zoomToFit = on;
    if (on)
        onZoomToFit();
}

double CardsView::currentScale() const
{
    return transform().m11();
}

void CardsView::scaleBy(double factor)
{
    QTransform matrix = transform();
    matrix.scale(factor, factor);
    setTransform(matrix, false);
}

void CardsView::zoomTo(double scale)
{
    m_zoomToFit = false;
    // Set rather than multiplied, so that the slider's value is the scale exactly, limits
    // included.
    if (currentScale() > 0)
        setTransform(QTransform::fromScale(scale, scale), false);
}

void CardsView::onZoomIn()
{
    m_zoomToFit = false;
    scaleBy(settings()->zoomStep());
    emit zoomButtonClicked();
}

void CardsView::onZoomOut()
{
    m_zoomToFit = false;
    scaleBy(1.0 / settings()->zoomStep());
    emit zoomButtonClicked();
}

void CardsView::onZoomToFit()
{
    m_zoomToFit = true;
    fitRect(fitArea());
    emit zoomButtonClicked();
}

QRectF CardsView::fitArea() const
{
    // A plan of a card or two is not blown up to the window's size.
    return atLeast(sceneRect(), 2 * document()->scaledCardWidth(), fittedHeight);
}

double CardsView::fittedScale(const QRectF &rect) const
{
    const int margin = 2;
    const QRectF available = QRectF(viewport()->rect()).adjusted(margin, margin, -margin, -margin);
    if (rect.isEmpty() || available.isEmpty())
        return 0.0;
    return std::min(available.width() / rect.width(), available.height() / rect.height());
}

void CardsView::fitRect(const QRectF &rect)
{
    // As fitInView keeping the aspect ratio, but a fit that changes nothing repaints nothing:
    // the scene refits after every layout, also after a click that only selects a card, and
    // fitInView passes through the unscaled view on the way, which repaints all of it.
    const double ratio = fittedScale(rect);
    if (!(ratio > 0.0))
        return;
    const QTransform fitted = QTransform::fromScale(ratio, ratio);
    if (transform() != fitted)
        setTransform(fitted, false);
    centerOn(rect.center());
}

void CardsView::onAutoZoom()
{
    if (m_zoomToFit)
        onZoomToFit();
}

void CardsView::onZoomSelected(bool showContext)
{
    const QList<QGraphicsItem *> selected = scene()->selectedItems();
    if (selected.isEmpty())
        return;
    m_zoomToFit = false;
    QRectF rect;
    for (const QGraphicsItem *item : selected)
        rect = rect.united(item->sceneBoundingRect());
    if (showContext)
        rect = atLeast(rect, 4 * document()->scaledCardWidth(), contextHeight);
    fitRect(rect & sceneRect());
    emit zoomButtonClicked();
}

void CardsView::onZoomSelected()
{
    onZoomSelected(false);
}

void CardsView::resizeEvent(QResizeEvent *event)
{
    GraphicsView::resizeEvent(event);
    if (m_zoomToFit)
        onZoomToFit();
}

void CardsView::wheelEvent(QWheelEvent *event)
{
    int mode = settings()->mouseWheelBehaviour();
    // Alt or the middle button swaps scrolling and zooming. Buttons come from the event: the
    // application's own record lags behind events sent or replayed out of order.
    if (mode >= 0 && mode <= 2
        && ((event->modifiers() & Qt::AltModifier) || (event->buttons() & Qt::MiddleButton)))
        mode = mode == 0 ? 1 : 0;
    if (mode == 0) {
        GraphicsView::wheelEvent(event);
        return;
    }
    if (mode != 1 && mode != 2)
        return;
    // X11 turns an Alt+wheel into a horizontal wheel, so the larger of the two deltas counts.
    const QPoint angle = event->angleDelta();
    int delta = std::abs(angle.x()) > std::abs(angle.y()) ? angle.x() : angle.y();
    if (mode == 1)
        delta = -delta;
    setTransformationAnchor(AnchorUnderMouse);
    bool zoomed = false;
    if (delta < 0 && canZoomOut()) {
        m_zoomToFit = false;
        scaleBy(1.0 / settings()->zoomStep());
        zoomed = true;
    } else if (delta > 0 && currentScale() < zoomInLimit) {
        m_zoomToFit = false;
        scaleBy(settings()->zoomStep());
        zoomed = true;
    }
    setTransformationAnchor(AnchorViewCenter);
    event->accept();
    if (zoomed)
        emit zoomButtonClicked();
}

bool CardsView::viewportEvent(QEvent *event)
{
    // Resting on the cards, the viewport gets the tool-tip events. The scene is not asked: no
    // item has a tip of its own, and asking it would hide the card's tip at once.
    if (event->type() == QEvent::ToolTip)
        return showCardToolTip(event, viewport());
    if (event->type() == QEvent::Gesture) {
        auto *gestures = static_cast<QGestureEvent *>(event);
        auto *pinch = static_cast<QPinchGesture *>(gestures->gesture(Qt::PinchGesture));
        if (pinch && (pinch->changeFlags() & QPinchGesture::ScaleFactorChanged)) {
            // Only the side of 1 counts: each gesture event is one small step.
            const double factor = pinch->property("scaleFactor").toReal();
            const bool blocked = factor > 1 ? currentScale() >= zoomInLimit : !canZoomOut();
            if (!blocked) {
                m_zoomToFit = false;
                const double step = 1 + (settings()->zoomStep() - 1) * 0.25;
                scaleBy(factor > 1 ? step : 1.0 / step);
                emit zoomButtonClicked();
            }
        }
    }
    return GraphicsView::viewportEvent(event);
}

// Keys

void CardsView::keyPressEvent(QKeyEvent *event)
{
    // A held key repeats; under X11 as release and press pairs, which must not end the scrolling.
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat() && anyScrollBarVisible()) {
        BalloonTip::markShown(QStringLiteral("tip_space_scroll"));
        restoreCursor();
        m_scene->hideAddCardItem();
        setInteractive(false);
        setDragMode(ScrollHandDrag);
    }
    const int key = event->key();
    if ((event->modifiers() & Qt::ControlModifier)
        && (key == Qt::Key_Left || key == Qt::Key_Up || key == Qt::Key_Right
            || key == Qt::Key_Down)) {
        if (CardItem *card = m_scene->moveCardsByKey(key))
            ensureVisible(card, 50, 50);
        return;
    }
    GraphicsView::keyPressEvent(event);
}

void CardsView::keyReleaseEvent(QKeyEvent *event)
{
    if (!event->isAutoRepeat() && dragMode() == ScrollHandDrag) {
        setDragMode(RubberBandDrag);
        setInteractive(true);
    }
    GraphicsView::keyReleaseEvent(event);
}

bool CardsView::anyScrollBarVisible() const
{
    if (horizontalScrollBar() && horizontalScrollBar()->isVisible())
        return true;
    return verticalScrollBar() && verticalScrollBar()->isVisible();
}

void CardsView::hideEvent(QHideEvent *event)
{
    GraphicsView::hideEvent(event);
    stopAutoScroll(true);
}

// Cards

CardItem *CardsView::cardItemAt(const QPoint &point) const
{
    const QList<QGraphicsItem *> found = items(point);
    for (QGraphicsItem *item : found) {
        if (auto *card = qobject_cast<CardItem *>(item->toGraphicsObject()))
            return card;
    }
    return nullptr;
}

void CardsView::deleteSelected()
{
    QList<TaskIndex> tasks;
    const QList<CardItem *> selected = m_scene->cardItems(true, false);
    for (const CardItem *card : selected)
        tasks.append(card->taskIndex());
    if (tasks.isEmpty())
        return;
    m_scene->clearSelection();
    document()->deleteTasks(tasks, true);
}

void CardsView::onPostEditCards()
{
    postCommand(CommandEvent::EditCards);
}

void CardsView::onPostDuplicateCards()
{
    postCommand(CommandEvent::DuplicateCards);
}

// Plan changes, search, links and tool tips

void CardsView::onChangedDoc(const Events &events)
{
    if (!events.any(listensTo))
        return;
    const Document &doc = *document();
    for (const Event &event : events.events) {
        switch (event.type) {
        case EventType::TaskAdded:
            // Added and deleted cards clear the tip too: a new card's item may take the address
            // of a deleted one, and the items after a deleted card show other cards now.
            clearToolTip();
            if (doc.taskCount() >= 10 && doc.xProperty() > 0 && doc.yProperty() != 0)
                postCommand(CommandEvent::AltClickTip);
            break;
        case EventType::SearchChanged:
            m_scene->selectMatchingCards();
            if (doc.searchFlag())
                onZoomSelected(true);
            break;
        case EventType::AllChanged:
        case EventType::TasksDeleted:
        case EventType::PropertyAdded:
        case EventType::PropertyChanged:
        case EventType::PropertyDeleted:
        case EventType::ValueChanged:
        case EventType::TaskNotesChanged:
        case EventType::CardsLayoutChanged:
        case EventType::ViewChanged:
        case EventType::FilterChanged:
        case EventType::TaskLinksChanged:
        case EventType::PropertiesReordered:
        case EventType::ImagesChanged:
        case EventType::TaskImageChanged:
            clearToolTip();
            break;
        default:
            break;
        }
    }
}

void CardsView::clearToolTip()
{
    if (m_toolTip)
        m_toolTip->clear();
}

void CardsView::onToolTipsToggled(bool on)
{
    m_toolTip->setEnabled(on);
    settings()->setShowTooltips(on);
}

void CardsView::onHyperlinkSelected(QAction *action)
{
    const auto found = m_linkMap.constFind(action);
    if (found == m_linkMap.constEnd())
        return;
    const HyperLink &link = found.value();
    if (!openUrl(link.url()))
        criticalMessage(this, tr("Unable to open link '%1'.").arg(link.displayUrl()));
}

bool CardsView::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip)
        return showCardToolTip(event, this);
    return GraphicsView::event(event);
}

bool CardsView::showCardToolTip(QEvent *event, QWidget *receiver)
{
    auto *help = static_cast<QHelpEvent *>(event);
    if (m_toolTip && !m_magnify)
        m_toolTip->showToolTip(viewport()->mapFrom(receiver, help->pos()), help->globalPos());
    event->accept();
    return true;
}
