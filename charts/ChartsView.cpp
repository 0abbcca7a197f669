#include "charts/ChartsView.h"

#include "charts/ChartItem.h"
#include "charts/ChartsLayouter.h"
#include "charts/ChartsScene.h"
#include "common/app/Accessors.h"
#include "common/core/BusyCursor.h"
#include "common/core/FileHelpers.h"
#include "common/widgets/BalloonTip.h"
#include "common/widgets/FullScreenHint.h"
#include "model/Document.h"

#include <algorithm>

#include <QDir>
#include <QDragEnterEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>

namespace {

QCursor centredCursor(const QString &path)
{
    const QPixmap picture(path);
    return QCursor(picture, picture.width() / 2, picture.height() / 2);
}

} // namespace

ChartsView::ChartsView(QWidget *parent)
    : GraphicsView(parent),
      m_zoomInCursor(centredCursor(QStringLiteral(":/pngs/zoom_in_cursor_32.png"))),
      m_zoomOutCursor(centredCursor(QStringLiteral(":/pngs/zoom_out_cursor_32.png"))),
      m_zoomInLightCursor(centredCursor(QStringLiteral(":/pngs/zoom_in_cursor_light_32.png"))),
      m_zoomOutLightCursor(centredCursor(QStringLiteral(":/pngs/zoom_out_cursor_light_32.png")))
{
    qRegisterMetaType<TaskIndex>("TaskIndex");
    qRegisterMetaType<QList<QUrl>>("QList<QUrl>");
    qRegisterMetaType<QList<PropertyIndexAndValue>>("QList<PropertyIndexAndValue>");
    setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing
                   | QPainter::SmoothPixmapTransform);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

ChartsView::~ChartsView()
{
    releaseViewCursor();
}

bool ChartsView::isDarkBackground() const
{
    const QColor background = doc()->chartBackgroundColor();
    return 299 * background.red() + 587 * background.green() + 114 * background.blue() < 128000;
}

ChartItem *ChartsView::zoomedChart() const
{
    return m_zoomedChart.data();
}

ChartsScene *ChartsView::chartsScene() const
{
    return qobject_cast<ChartsScene *>(scene());
}

int ChartsView::chartCount() const
{
    const ChartsScene *charts = chartsScene();
    return charts ? charts->chartCount() : 0;
}

ChartItem *ChartsView::chartAt(const QPoint &viewPoint) const
{
    if (!scene())
        return nullptr;
    return dynamic_cast<ChartItem *>(scene()->itemAt(mapToScene(viewPoint), transform()));
}

const QCursor &ChartsView::zoomInCursor() const
{
    return isDarkBackground() ? m_zoomInLightCursor : m_zoomInCursor;
}

const QCursor &ChartsView::zoomOutCursor() const
{
    return isDarkBackground() ? m_zoomOutLightCursor : m_zoomOutCursor;
}

void ChartsView::showViewCursor(const QCursor &cursor)
{
    if (m_viewCursorShown) {
        if (m_viewCursor == cursor)
            return;
        releaseViewCursor();
    }
    // Only over the view, where leaving takes it away again; and never over someone else's
    // cursor, such as the wait cursor.
    if (!underMouse() || QGuiApplication::overrideCursor())
        return;
    QGuiApplication::setOverrideCursor(cursor);
    m_viewCursor = cursor;
    m_viewCursorShown = true;
}

void ChartsView::releaseViewCursor()
{
    if (!m_viewCursorShown)
        return;
    m_viewCursorShown = false;
    removeOverrideCursor(m_viewCursor);
}

void ChartsView::showAll()
{
    releaseViewCursor();
    fitInView(sceneRect(), Qt::KeepAspectRatio);
    m_zoomedChart = nullptr;
}

void ChartsView::showNothing()
{
    releaseViewCursor();
    // The last charts' scale would only tell of charts that are gone.
    resetTransform();
    m_zoomedChart = nullptr;
    viewport()->update();
}

void ChartsView::onZoomAll()
{
    showAll();
}

void ChartsView::onZoomTo(ChartItem *item)
{
    if (!item)
        return;
    releaseViewCursor();
    fitInView(item, Qt::KeepAspectRatio);
    m_zoomedChart = item;
    if (ChartsScene *charts = chartsScene())
        connect(charts, &ChartsScene::redrawing, this, &ChartsView::onRedrawing,
                Qt::UniqueConnection);
    showViewCursor(zoomOutCursor());
}

void ChartsView::onRedrawing()
{
    // Held weakly, the deleted chart already reads as none; the cursor that went with it goes.
    m_zoomedChart = nullptr;
    releaseViewCursor();
    viewport()->update();
}

void ChartsView::onChangedDoc(const Events &events)
{
    if (!events.any(listensTo))
        return;
    const ChartsScene *charts = chartsScene();
    if (!ChartsLayouter::canChart(*doc()) || (charts && charts->tooManyToDraw())) {
        showNothing();
        return;
    }
    if (!events.any(EventFlag::ChartsSettingsChanged))
        return;
    viewport()->update();
    showAll();
}

void ChartsView::mousePressEvent(QMouseEvent *event)
{
    GraphicsView::mousePressEvent(event);
    if (chartCount() < 2)
        return;
    if (m_zoomedChart) {
        showAll();
        return;
    }
    ChartItem *chart = chartAt(event->pos());
    if (!chart)
        return;
    onZoomTo(chart);
    BalloonTip::showOnce(this, QStringLiteral("tip_chart_arrow_keys"),
                         tr("Use Left and Right arrow keys..."),
                         tr("...to show next/previous chart."), QString(), 10000, true, false);
}

void ChartsView::mouseMoveEvent(QMouseEvent *event)
{
    GraphicsView::mouseMoveEvent(event);
    if (chartCount() < 2 || m_zoomedChart)
        return;
    if (chartAt(event->pos()))
        showViewCursor(zoomInCursor());
    else
        releaseViewCursor();
}

void ChartsView::wheelEvent(QWheelEvent *event)
{
    // Neither scrolling nor zooming: the charts always fit.
    event->accept();
}

void ChartsView::keyPressEvent(QKeyEvent *event)
{
    if (!m_zoomedChart) {
        GraphicsView::keyPressEvent(event);
        return;
    }
    const ChartsScene *charts = chartsScene();
    const QList<ChartItem *> items = charts ? charts->chartItems() : QList<ChartItem *>();
    int i = items.indexOf(m_zoomedChart.data());
    if (i < 0)
        return;
    // Topmost first: the next chart in the grid stands one place earlier.
    if (event->key() == Qt::Key_Left)
        i = std::min(i + 1, items.size() - 1);
    else if (event->key() == Qt::Key_Right)
        i = std::max(i - 1, 0);
    onZoomTo(items.at(i));
}

void ChartsView::enterEvent(QEvent *event)
{
    GraphicsView::enterEvent(event);
    if (m_zoomedChart)
        showViewCursor(zoomOutCursor());
}

void ChartsView::leaveEvent(QEvent *event)
{
    GraphicsView::leaveEvent(event);
    releaseViewCursor();
}

void ChartsView::hideEvent(QHideEvent *event)
{
    // Hidden under the pointer (another tab chosen by key), the view hears of no leaving.
    GraphicsView::hideEvent(event);
    releaseViewCursor();
}

QString ChartsView::hintText() const
{
    const Document &plan = *doc();
    if (plan.taskCount() == 0) {
        QString hint = plan.propertyCount() < 2 ? tr("Add cards and properties") : tr("Add cards");
        const QString folder = dataFolder(false);
        if (QDir(folder).exists())
            hint += tr("\nor open a sample from:\n'%1'").arg(QDir::toNativeSeparators(folder));
        return hint;
    }
    if (plan.propertyCount() < 3)
        return tr("Add properties");
    if (plan.chartShowProperty() == 0)
        return tr("Set the 'Display>Show' field in the left pane");
    if (plan.chartByProperty() == 0)
        return tr("Set the 'Display>By' field in the left pane");
    const ChartsScene *charts = chartsScene();
    if (charts && charts->tooManyToDraw())
        return tr("Too many charts and bars to draw: choose other properties");
    return QString();
}

void ChartsView::paintEvent(QPaintEvent *event)
{
    GraphicsView::paintEvent(event);
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing);
    const QString hint = hintText();
    if (!hint.isEmpty())
        drawCenteredMessage(&painter, hint);
    painter.end();
    if (isFullScreenExitMessageShown())
        drawFullScreenHint(this);
}

void ChartsView::resizeEvent(QResizeEvent *event)
{
    GraphicsView::resizeEvent(event);
    // The grid follows the window's shape; its layoutFinished fits all charts again.
    if (ChartsScene *charts = chartsScene())
        charts->layoutCharts();
}

void ChartsView::dragEnterEvent(QDragEnterEvent *event)
{
    GraphicsView::dragEnterEvent(event);
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void ChartsView::dragMoveEvent(QDragMoveEvent *event)
{
    GraphicsView::dragMoveEvent(event);
    event->acceptProposedAction();
}

void ChartsView::dropEvent(QDropEvent *event)
{
    GraphicsView::dropEvent(event);
    if (!event->mimeData()->hasUrls())
        return;
    emit droppedFiles(event->mimeData()->urls(), -1, QList<PropertyIndexAndValue>());
    event->acceptProposedAction();
}
