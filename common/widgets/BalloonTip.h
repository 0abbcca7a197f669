#pragma once

#include <QPixmap>
#include <QPoint>
#include <QWidget>

// The one yellow help balloon that points at a control, and the rules for the once-only
// tips: each tip has a boolean preference that records that it was shown, and a tip can
// wait until another tip was shown first. Showing a balloon replaces the current one.
class BalloonTip : public QWidget
{
    Q_OBJECT
public:
    BalloonTip(QWidget *anchor, const QString &title, const QString &text);
    ~BalloonTip() override;

    // Whether the tip of this key was shown; with mark set, records it as shown now.
    static bool wasShown(const QString &key, bool mark);
    // For when the user already did what the tip would explain.
    static void markShown(const QString &key);
    // Shows the tip once per user, when its prerequisite tip was shown, the anchor can be
    // seen, and no modal window other than the anchor's own blocks it (unless forced).
    static void showOnce(QWidget *anchor, const QString &key, const QString &title,
                         const QString &text, const QString &prerequisiteKey = QString(),
                         int msecs = -1, bool showArrow = true, bool force = false);
    // Shows a balloon at the anchor's centre unconditionally; a negative time means 10 s.
    static void showBalloon(QWidget *anchor, const QString &title, const QString &text,
                            int msecs = -1, bool showArrow = true);
    static void hideBalloon();
    static BalloonTip *currentBalloon();

    // The corner of the balloon that carries the arrow: on the side of the point that has
    // room on its screen, below and to the right when possible.
    static Qt::Corner arrowCorner(const QPoint &point, const QSize &size, const QRect &screen);

    // Lays out, paints, places the arrow's tip on the global point and shows the balloon;
    // it closes itself after msecs when that is above 0.
    void balloon(const QPoint &point, int msecs, bool showArrow);

protected:
    void timerEvent(QTimerEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private slots:
    void onCheckParentVis();

private:
    QPoint anchorPosition() const;

    QPixmap m_pixmap;
    int m_timerId = -1;
    QPoint m_parentPos;
    static BalloonTip *s_current;
};
