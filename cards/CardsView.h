#pragma once

#include "cards/GraphicsView.h"
#include "model/Events.h"
#include "model/ModelTypes.h"

#include <QBitmap>
#include <QList>
#include <QPixmap>
#include <QPoint>
#include <QUrl>

class CardItem;
class CardsScene;
class Document;
class QAction;
class QTimer;

// The widget of the Cards tab: shows the CardsScene, zooms (commands, fit, wheel, pinch), paints
// the grid, headers, totals and hints around the cards and the magnifier lens over them, and
// turns a drag of cards into new values and a drag of a text header into a new value order.
// The main window creates it on the scene, connects its signals and calls it directly for
// zoom, selection and the magnifier.
//
// The definitions are grouped by concern: the frame (construction, zoom, keys) in
// CardsView.cpp, painting and the magnifier in CardsViewPainting.cpp, selecting, dragging and
// auto-scroll in CardsViewMouse.cpp.
class CardsView : public GraphicsView
{
    Q_OBJECT

public:
    // What the mouse is doing between a press and its release.
    enum class DragState : int {
        Idle = 0,
        CardPressed = 1,
        CardDrag = 2,
        ColumnHeaderPressed = 3,
        RowHeaderPressed = 4,
        ColumnHeaderDrag = 5,
        RowHeaderDrag = 6
    };

    CardsView(CardsScene *scene, QWidget *parent = nullptr);
    ~CardsView() override;

    CardsScene *cardsScene() const { return m_scene; }

    // Zoom. The current zoom is the view transform's horizontal scale; wheel and pinch stop at
    // the limits, the commands rely on being disabled there.
    bool canZoomIn() const;
    bool canZoomOut() const;
    bool isZoomToFit() const { return m_zoomToFit; }
    void setZoomToFit(bool on);
    double currentScale() const;
    // An absolute scale, without limits and without zoomButtonClicked.
    void zoomTo(double scale);
    void scaleBy(double factor);

    // Deletes the selected cards in one undoable step.
    void deleteSelected();
    bool anyScrollBarVisible() const;
    // Stops the auto-scroll delay timer and, with both, the repeat timer.
    void stopAutoScroll(bool both);
    // The topmost card under a viewport point, or null.
    CardItem *cardItemAt(const QPoint &point) const;
    // The Shift lock of a card drag: several cards dragged along one axis keep their columns
    // (keepColumns) or rows (keepRows). At most one is set; true when one is.
    bool axisLock(const QMouseEvent *event, bool *keepColumns, bool *keepRows) const;
    // An integer rectangle of the size centred on the point (integer halving).
    static QRect centredRect(const QPoint &center, int width, int height);

    // Not overridden yet: renderScene, which prints and exports without selection marks and
    // with fixed headers, comes with the work on dropped files, links and exports.

signals:
    void zoomButtonClicked();
    // Emitted by the drop handlers, which come with the work on dropped files and links.
    void droppedFiles(const QList<QUrl> &urls, TaskIndex taskIndex,
                      const QList<PropertyIndexAndValue> &presets);
    void doubleClicked();
    void editSelectedCards();
    void duplicateSelectedCards();
    void deleteSelectedCards();

public slots:
    void onZoomIn();
    void onZoomOut();
    void onZoomToFit();
    void onAutoZoom();
    void onZoomSelected(bool showContext);
    void onZoomSelected();
    void onPostEditCards();
    void onPostDuplicateCards();
    void onMagnifyUnderCursor(bool on);
    void onRedrawMagnify();
    void onChangedDoc(const Events &events);
    // Empty slot: card tool tips are switched here once the tool tips are built.
    void onToolTipsToggled(bool on);
    // Empty slot: opens a link chosen from the card context menu, which comes with the context
    // menus.
    void onHyperlinkSelected(QAction *action);
    void onAutoScroll();
    void onScrollbarSliderMoved();
    void onShowSpaceDragTipOnce();

protected:
    // Not overridden yet: event (card tool tips) comes with the tool tips, and customEvent
    // (the posted commands 1004 to 1027) with the context menus.
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    // Not overridden yet: dragEnterEvent, dragMoveEvent, dragLeaveEvent and dropEvent come with
    // the work on dropped files and links.
    void hideEvent(QHideEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void drawBackground(QPainter *painter, const QRectF &rect) override;
    void drawForeground(QPainter *painter, const QRectF &rect) override;

private:
    Document *document() const;
    void fitRect(const QRectF &rect);

    // Painting, in scene units; each visits only the columns and rows meeting the exposed
    // rectangle.
    void drawTotal(QPainter *painter, const QRectF &area, int column, int row, bool cell);
    void drawTotals(QPainter *painter, const QRectF &exposed);
    // The row headers (stacked vertically) or the column headers, fixed beside the grid or
    // floating at the view's edge.
    void drawHeaders(QPainter *painter, const QRectF &exposed, Qt::Orientation stacking,
                     double opacity, double viewEdge, bool floating);
    void drawHeaderCell(QPainter *painter, const QRectF &rect, QString text, const QColor &color,
                        bool underline, bool rotate, Qt::Orientation gradient, double opacity);
    void drawLens(QPainter *painter);
    QString hintText() const;
    void clearMagnifierCache();
    // The viewport area that holds the lens around a pointer position.
    QRect lensArea(const QPoint &pointer) const;
    void updateLensArea(const QPoint &pointer);

    // Mouse handling. The view keeps at most one override cursor of its own on the stack.
    static void restoreCursor();
    void pressHeader(const QPoint &point);
    void dropHeader(const QMouseEvent *event);
    void dropCards(const QMouseEvent *event);
    void releaseElsewhere(const QMouseEvent *event);
    void armAutoScroll(const QMouseEvent *event);

    CardsScene *m_scene;
    bool m_zoomToFit = true;
    // Viewport pixels of the last press, kept until the next one.
    QPoint m_pressPosition;
    // The tool-tip object is created here once the card tool tips are built.
    bool m_magnify = false;
    // Viewport pixels of the last mouse move, read by the magnifier and auto-scroll.
    QPoint m_pointerPosition;
    bool m_pointerInside = true;
    QBitmap m_lensMask;
    QPixmap m_lensPixmap;
    // The column or row of the last header press or release, -1 when none; kept after the
    // release for the header menus' commands.
    int m_pressedHeaderIndex = -1;
    DragState m_dragState = DragState::Idle;
    // The last press landed on a card (selected or not), which the toolkit may have moved.
    bool m_pressedOnCard = false;
    // Owned; null while no auto-scroll runs.
    QTimer *m_autoScrollDelayTimer = nullptr;
    QTimer *m_autoScrollRepeatTimer = nullptr;
    // The link map of the card context menu is added with the context menus.
};
