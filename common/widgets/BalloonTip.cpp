#include "common/widgets/BalloonTip.h"

#include "common/widgets/Settings.h"
#include "common/widgets/WidgetContext.h"

#include <QApplication>
#include <QBitmap>
#include <QCursor>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>

namespace {

const int ArrowHeight = 18;
const int ArrowWidth = 18;
const int ArrowOffset = 18;
const int CornerDiameter = 14; // twice the corner radius of 7

QRect screenGeometryAt(const QPoint &point)
{
    QScreen *screen = QGuiApplication::screenAt(point);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect();
}

// The bubble with its arrow; mt and mb are the top and bottom of the bubble's body.
QPainterPath outline(int w, int h, bool atTop, bool atLeft, bool showArrow)
{
    const int mt = atTop ? ArrowHeight : 0;
    const int mb = atTop ? h - 1 : h - 1 - ArrowHeight;
    const int r = CornerDiameter / 2;
    QPainterPath path;
    path.moveTo(r, mt);
    if (atTop && showArrow) {
        if (atLeft) {
            path.lineTo(ArrowOffset, mt);
            path.lineTo(ArrowOffset, mt - ArrowHeight);
            path.lineTo(ArrowOffset + ArrowWidth, mt);
        } else {
            path.lineTo(w - ArrowOffset - ArrowWidth - 1, mt);
            path.lineTo(w - ArrowOffset - 1, mt - ArrowHeight);
            path.lineTo(w - ArrowOffset - 1, mt);
        }
    }
    path.lineTo(w - r - 1, mt);
    path.arcTo(QRectF(w - CornerDiameter - 1, mt, CornerDiameter, CornerDiameter), 90, -90);
    path.lineTo(w - 1, mb - r);
    path.arcTo(QRectF(w - CornerDiameter - 1, mb - CornerDiameter, CornerDiameter, CornerDiameter),
               0, -90);
    if (!atTop && showArrow) {
        if (atLeft) {
            path.lineTo(ArrowOffset + ArrowWidth, mb);
            path.lineTo(ArrowOffset, mb + ArrowHeight);
            path.lineTo(ArrowOffset, mb);
        } else {
            path.lineTo(w - ArrowOffset - 1, mb);
            path.lineTo(w - ArrowOffset - 1, mb + ArrowHeight);
            path.lineTo(w - ArrowOffset - ArrowWidth - 1, mb);
        }
    }
    path.lineTo(r, mb);
    path.arcTo(QRectF(0, mb - CornerDiameter, CornerDiameter, CornerDiameter), -90, -90);
    path.lineTo(0, mt + r);
    path.arcTo(QRectF(0, mt, CornerDiameter, CornerDiameter), 180, -90);
    return path;
}

} // namespace

BalloonTip *BalloonTip::s_current = nullptr;

BalloonTip::BalloonTip(QWidget *anchor, const QString &title, const QString &text)
    : QWidget(anchor, Qt::ToolTip)
{
    setAttribute(Qt::WA_DeleteOnClose);
    if (anchor)
        connect(anchor, &QObject::destroyed, this, &QWidget::close);

    auto *titleLabel = new QLabel(this);
    titleLabel->setTextFormat(Qt::PlainText);
    titleLabel->setText(title);
    QFont boldFont = titleLabel->font();
    boldFont.setWeight(QFont::Bold);
    titleLabel->setFont(boldFont);

    auto *closeButton = new QPushButton(this);
    closeButton->setFlat(true);
    closeButton->setFixedSize(18, 18);
    closeButton->setIconSize(QSize(18, 18));
    closeButton->setIcon(WidgetContext::uiStyle() == UiStyle::Dark
                             ? QIcon(QStringLiteral(":/qss_icons/rc/close_18.png"))
                             : style()->standardIcon(QStyle::SP_DockWidgetCloseButton));
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);

    auto *textLabel = new QLabel(this);
    textLabel->setTextFormat(Qt::PlainText);
    textLabel->setText(text);
    textLabel->setAlignment(Qt::AlignTop | Qt::AlignLeft);

    auto *layout = new QGridLayout(this);
    const QIcon info = style()->standardIcon(QStyle::SP_MessageBoxInformation);
    if (!info.isNull()) {
        auto *iconLabel = new QLabel(this);
        iconLabel->setPixmap(info.pixmap(15, 15));
        // The margin is part of the size hint: fixed before it, the picture would be cut.
        iconLabel->setMargin(2);
        iconLabel->setFixedSize(iconLabel->sizeHint());
        layout->addWidget(iconLabel, 0, 0);
        layout->addWidget(titleLabel, 0, 1);
    } else {
        layout->addWidget(titleLabel, 0, 0, 1, 2);
    }
    layout->addWidget(closeButton, 0, 2);
    layout->addWidget(textLabel, 1, 0, 1, 3);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(255, 255, 225));
    setPalette(pal);

    m_parentPos = anchorPosition();
    auto *visibilityTimer = new QTimer(this);
    connect(visibilityTimer, &QTimer::timeout, this, &BalloonTip::onCheckParentVis);
    visibilityTimer->start(250);
}

BalloonTip::~BalloonTip()
{
    // A closed balloon is deleted later; by then a newer one may be the current one.
    if (s_current == this)
        s_current = nullptr;
}

bool BalloonTip::wasShown(const QString &key, bool mark)
{
    Settings *settings = WidgetContext::settings();
    const bool shown = settings->value(key, false).toBool();
    if (mark && !shown)
        settings->setValue(key, true);
    return shown;
}

void BalloonTip::markShown(const QString &key)
{
    wasShown(key, true);
}

void BalloonTip::showOnce(QWidget *anchor, const QString &key, const QString &title,
                          const QString &text, const QString &prerequisiteKey, int msecs,
                          bool showArrow, bool force)
{
    if (!prerequisiteKey.isEmpty() && !wasShown(prerequisiteKey, false))
        return;
    if (!anchor)
        return;
    if (!force) {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && !modal->isAncestorOf(anchor))
            return;
    }
    if (!anchor->isVisible() || !anchor->isEnabled() || anchor->width() < 1 || anchor->height() < 1)
        return;
    if (wasShown(key, true))
        return;
    showBalloon(anchor, title, text, msecs, showArrow);
}

void BalloonTip::showBalloon(QWidget *anchor, const QString &title, const QString &text, int msecs,
                             bool showArrow)
{
    hideBalloon();
    if (!anchor)
        return;
    s_current = new BalloonTip(anchor, title, text);
    const QPoint centre((anchor->width() - 1) / 2, (anchor->height() - 1) / 2);
    s_current->balloon(anchor->mapToGlobal(centre), msecs < 0 ? 10000 : msecs, showArrow);
}

void BalloonTip::hideBalloon()
{
    if (!s_current)
        return;
    BalloonTip *balloon = s_current;
    s_current = nullptr;
    balloon->hide();
    delete balloon;
}

BalloonTip *BalloonTip::currentBalloon()
{
    return s_current;
}

Qt::Corner BalloonTip::arrowCorner(const QPoint &point, const QSize &size, const QRect &screen)
{
    // Compare with the screen's edges, not its size: a second screen need not start at 0.
    const bool atTop = point.y() + size.height() + ArrowHeight < screen.y() + screen.height();
    const bool atLeft = point.x() + size.width() - ArrowOffset < screen.x() + screen.width();
    if (atTop)
        return atLeft ? Qt::TopLeftCorner : Qt::TopRightCorner;
    return atLeft ? Qt::BottomLeftCorner : Qt::BottomRightCorner;
}

void BalloonTip::balloon(const QPoint &point, int msecs, bool showArrow)
{
    const QRect scr = screenGeometryAt(point);
    const Qt::Corner corner = arrowCorner(point, sizeHint(), scr);
    const bool atTop = corner == Qt::TopLeftCorner || corner == Qt::TopRightCorner;
    const bool atLeft = corner == Qt::TopLeftCorner || corner == Qt::BottomLeftCorner;

    if (atTop)
        setContentsMargins(4, ArrowHeight + 3, 4, 3);
    else
        setContentsMargins(4, 3, 4, ArrowHeight + 3);
    // The fixed-size layout must take the new margins before the final size is known.
    layout()->activate();
    const QSize sh = sizeHint();
    const int w = sh.width();
    const int h = sh.height();
    const QPainterPath path = outline(w, h, atTop, atLeft, showArrow);

    const int x = atLeft ? std::max(point.x() - ArrowOffset, scr.left() + 2)
                         : std::min(point.x() - w + ArrowOffset, scr.right() - w - 2);
    move(x, atTop ? point.y() : point.y() - h);

    QBitmap bitmap(sh);
    bitmap.fill(Qt::color0);
    QPainter maskPainter(&bitmap);
    maskPainter.setPen(QPen(Qt::color1, 1));
    maskPainter.setBrush(QBrush(Qt::color1));
    maskPainter.drawPath(path);
    maskPainter.end();
    setMask(bitmap);

    m_pixmap = QPixmap(sh);
    m_pixmap.fill(Qt::transparent);
    QPainter painter(&m_pixmap);
    painter.setPen(QPen(
        WidgetContext::uiStyle() == UiStyle::Dark ? QColor(Qt::lightGray) : QColor(Qt::black), 1));
    painter.setBrush(palette().color(QPalette::Window));
    painter.drawPath(path);
    painter.end();

    if (msecs > 0)
        m_timerId = startTimer(msecs, Qt::CoarseTimer);
    show();
}

void BalloonTip::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_timerId) {
        QWidget::timerEvent(event);
        return;
    }
    killTimer(m_timerId);
    m_timerId = -1;
    // A user reading the balloon with the pointer on it keeps it until they click.
    if (!rect().contains(mapFromGlobal(QCursor::pos())))
        close();
}

void BalloonTip::mousePressEvent(QMouseEvent *)
{
    close();
}

void BalloonTip::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(rect(), m_pixmap);
}

QPoint BalloonTip::anchorPosition() const
{
    const QWidget *anchor = parentWidget();
    return anchor ? anchor->mapToGlobal(QPoint(0, 0)) : QPoint();
}

void BalloonTip::onCheckParentVis()
{
    const QWidget *anchor = parentWidget();
    if (!anchor)
        return;
    if (!anchor->isVisible()) {
        close();
        return;
    }
    const QPoint position = anchorPosition();
    if (position != m_parentPos) {
        // Follow the anchor so that the arrow keeps pointing at it.
        move(pos() + position - m_parentPos);
        m_parentPos = position;
    }
}
