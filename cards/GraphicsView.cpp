#include "cards/GraphicsView.h"

#include <algorithm>

#include <QApplication>
#include <QKeyEvent>
#include <QPaintDevice>
#include <QPainter>
#include <QPolygonF>
#include <QTimer>

GraphicsView::GraphicsView(QWidget *parent) : QGraphicsView(parent) { }

void GraphicsView::keyPressEvent(QKeyEvent *event)
{
    QGraphicsView::keyPressEvent(event);
    if (event->key() == Qt::Key_Escape)
        emit escapeKeyPressed();
}

void GraphicsView::showEvent(QShowEvent *event)
{
    QGraphicsView::showEvent(event);
    emit visibilityChanged();
}

void GraphicsView::showFullScreenExitMessage()
{
    if (m_fullScreenExitMessageShown)
        return;
    m_fullScreenExitMessageShown = true;
    viewport()->update();
    // Never cancelled: a note shown again soon after an early hide may end sooner.
    QTimer::singleShot(5000, this, &GraphicsView::onHideFullScreenExitMessage);
}

void GraphicsView::onHideFullScreenExitMessage()
{
    if (!m_fullScreenExitMessageShown)
        return;
    m_fullScreenExitMessageShown = false;
    viewport()->update();
}

void GraphicsView::drawCenteredMessage(QPainter *painter, const QString &text)
{
    painter->setWorldTransform(QTransform());
    painter->setPen(QColor(160, 160, 164));
    QFont font = QApplication::font();
    font.setPointSize(11);
    painter->setFont(font);
    painter->drawText(QRect(0, 0, viewport()->width(), viewport()->height()), Qt::AlignCenter,
                      text);
}

QRect GraphicsView::renderSourceRect(const QRect &sceneInView, const QSize &deviceSize)
{
    QRect r = sceneInView;
    const int k = int(std::min(r.width(), r.height()) * 0.025);
    r.adjust(-k, -k, k, k);
    if (deviceSize.width() <= 0 || deviceSize.height() <= 0 || r.width() <= 0 || r.height() <= 0)
        return r;
    const double a = double(deviceSize.width()) / deviceSize.height();
    if (a <= double(r.width()) / r.height()) {
        const int e = int(r.width() / a - r.height());
        r.adjust(0, -e / 2, 0, e / 2);
    } else {
        const int e = int(a * r.height() - r.width());
        r.adjust(-e / 2, 0, e / 2, 0);
    }
    return r;
}

void GraphicsView::renderScene(QPainter *painter)
{
    painter->setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing
                            | QPainter::SmoothPixmapTransform);
    // The corners in whole pixels; their span, not the pixels they cover, is the size.
    const QRect mapped = QPolygonF(mapFromScene(sceneRect())).boundingRect().toRect();
    const QPaintDevice *device = painter->device();
    const QSize size = device ? QSize(device->width(), device->height()) : QSize();
    render(painter, QRectF(), renderSourceRect(mapped, size), Qt::KeepAspectRatio);
}
