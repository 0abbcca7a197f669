#pragma once

#include <QGraphicsView>

class QPainter;

// The common base of the Cards and Charts views: it reports Escape (the main window leaves full
// screen on it) and being shown (the main window updates its actions for the shown tab), keeps
// the timed note on leaving full screen that the views paint over their contents, draws the
// grey hint of an empty pane, and renders the whole scene for printing and exports.
class GraphicsView : public QGraphicsView
{
    Q_OBJECT

public:
    explicit GraphicsView(QWidget *parent = nullptr);

    // Shows the full-screen exit note for 5 s; a second call while it shows does not lengthen it.
    virtual void showFullScreenExitMessage();
    bool isFullScreenExitMessageShown() const { return m_fullScreenExitMessageShown; }

    // Draws the whole scene into the painter's device with a margin of 2.5 % of the shorter
    // side, widened to the device's shape so that the content stays centred.
    virtual void renderScene(QPainter *painter);
    // The source rectangle renderScene draws, in view coordinates: the scene's bounding
    // rectangle in the view, the margin added, widened to a device of the given size (none
    // when the size or the rectangle is empty).
    static QRect renderSourceRect(const QRect &sceneInView, const QSize &deviceSize);

signals:
    void escapeKeyPressed();
    void visibilityChanged();

public slots:
    void onHideFullScreenExitMessage();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

    // The hint of an empty pane, grey and centred in the viewport.
    void drawCenteredMessage(QPainter *painter, const QString &text);

private:
    bool m_fullScreenExitMessageShown = false;
};
