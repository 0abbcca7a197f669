#pragma once

#include "cards/GraphicsView.h"
#include "model/Events.h"
#include "model/HyperLink.h"
#include "model/ModelTypes.h"

#include <memory>

#include <QBitmap>
#include <QEvent>
#include <QList>
#include <QMap>
#include <QPixmap>
#include <QPoint>
#include <QUrl>

class CardItem;
class CardsScene;
class CardsViewToolTip;
class Document;
class QAction;
class QTimer;

// The widget of the Cards tab: shows the CardsScene, zooms (commands, fit, wheel, pinch), paints
// the grid, headers, totals and hints around the cards and the magnifier lens over them, turns
// a drag of cards into new values and a drag of a text header into a new value order, offers
// the context menus of headers, cards and cells, follows the search and shows card tool tips.
// The main window creates it on the scene, connects its signals and calls it directly for
// zoom, selection and the magnifier.
//
// The definitions are grouped by concern: the frame (construction, zoom, keys, search, links
// and tool tips) in CardsView.cpp, painting and the magnifier in CardsViewPainting.cpp,
// selecting, dragging and auto-scroll in CardsViewMouse.cpp, the context menus and the
// commands they post in CardsViewMenus.cpp, drops and the rendering for print and export in
// CardsViewDrops.cpp.
//
// Listens to the search (it selects the matching cards) and to every change that may leave
// its card tool tip telling of a card as it was: cards, values, notes, links and images,
// properties, the layout, the view and the filter.
class CardsView : public GraphicsView
{
    Q_OBJECT

public:
    static constexpr EventMask listensTo = EventFlag::AllChanged | EventFlag::TaskAdded
        | EventFlag::TasksDeleted | EventFlag::PropertyAdded | EventFlag::PropertyChanged
        | EventFlag::PropertyDeleted | EventFlag::ValueChanged | EventFlag::TaskNotesChanged
        | EventFlag::CardsLayoutChanged | EventFlag::ViewChanged | EventFlag::FilterChanged
        | EventFlag::TaskLinksChanged | EventFlag::SearchChanged | EventFlag::PropertiesReordered
        | EventFlag::ImagesChanged | EventFlag::TaskImageChanged;

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

    // The events the view posts to itself for its menu commands, run once the menu has closed
    // and the mouse handler has returned (1020 and 1021 belong to other parts of the program).
    enum class CommandEvent : int {
        AddColLeft = QEvent::User + 4,
        AddColRight = QEvent::User + 5,
        EditColProperties = QEvent::User + 6,
        EditRowProperties = QEvent::User + 7,
        AddRowAbove = QEvent::User + 8,
        AddRowBelow = QEvent::User + 9,
        DeleteCol = QEvent::User + 10,
        DeleteRow = QEvent::User + 11,
        RenameCol = QEvent::User + 12,
        RenameRow = QEvent::User + 13,
        HideCol = QEvent::User + 14,
        HideOtherCols = QEvent::User + 15,
        ShowAllCols = QEvent::User + 16,
        HideRow = QEvent::User + 17,
        HideOtherRows = QEvent::User + 18,
        ShowAllRows = QEvent::User + 19,
        EditCards = QEvent::User + 22,
        DuplicateCards = QEvent::User + 23,
        AddCardAtMouseLocation = QEvent::User + 24,
        AltClickTip = QEvent::User + 25,
        ToggleColAlwaysShown = QEvent::User + 26,
        ToggleRowAlwaysShown = QEvent::User + 27
    };

    CardsView(CardsScene *scene, QWidget *parent = nullptr);
    ~CardsView() override;

    CardsScene *cardsScene() const { return m_scene; }

    // Zoom. The current zoom is the view transform's horizontal scale; wheel and pinch stop at
    // the limits, the commands rely on being disabled there. Zooming out stops at the smallest
    // zoom, or at the fitted zoom of a plan that needs less to fit.
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

    // The distinct links of the selected cards, by name; equal names keep the scene's order.
    QList<HyperLink> selectedLinks() const;
    // Asks for a new value of the property until it is one the property does not have yet,
    // and inserts it at the position of the value order. kindWord: "column" or "row".
    void addValue(int property, int position, const QString &kindWord);
    // Forgets the tool tip's cached card and text.
    void clearToolTip();
    // What the total badge of a cell ((column, row)), a row ((-1, row)), a column ((column, -1))
    // or the grid ((-1, -1)) shows: the sum or count, or a "value: count" line per text value.
    // Empty when there is no badge.
    QString totalText(int column, int row) const;

    // Prints and exports the plan as a document: no selection marks, the headers fixed beside
    // the grid. The plan and the selection are as they were afterwards, with nothing to undo.
    void renderScene(QPainter *painter) override;
    // Where a picture dropped as image data is written before it travels as a file: the same
    // name every time, in a folder of this program's own that lasts until it ends.
    static QString dragImagePath();

signals:
    void zoomButtonClicked();
    // A drop of files, links or a picture: the card under it (-1 for none) and the values of
    // the cell under it (none outside the grid).
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
    void onToolTipsToggled(bool on);
    // Opens a link chosen from the card context menu.
    void onHyperlinkSelected(QAction *action);
    void onAutoScroll();
    void onScrollbarSliderMoved();
    void onShowSpaceDragTipOnce();

    // The menu entries: each posts its command event to the view.
    void onPostAddColLeft();
    void onPostAddColRight();
    void onPostAddRowAbove();
    void onPostAddRowBelow();
    void onPostDeleteCol();
    void onPostDeleteRow();
    void onPostRenameCol();
    void onPostRenameRow();
    void onPostHideCol();
    void onPostHideOtherCols();
    void onPostShowAllCols();
    void onPostHideRow();
    void onPostHideOtherRows();
    void onPostShowAllRows();
    void onPostShowColIfEmpty();
    void onPostShowRowIfEmpty();
    void onPostAddCardAtMouseLocation();
    void onPostEditColProperties();
    void onPostEditRowProperties();

private slots:
    // The commands, run by customEvent, and the card menu's Delete.
    void onAddColLeft();
    void onAddColRight();
    void onEditColProperties();
    void onDeleteCol();
    void onRenameCol();
    void onHideCol();
    void onHideOtherCols();
    void onShowAllCols();
    void onToggleColAlwaysShown();
    void onAddRowAbove();
    void onAddRowBelow();
    void onEditRowProperties();
    void onDeleteRow();
    void onRenameRow();
    void onHideRow();
    void onHideOtherRows();
    void onShowAllRows();
    void onToggleRowAlwaysShown();
    void onAddCardAtMouseLocation();
    void onEditCards();
    void onDuplicateCards();
    void onEditDelete();

protected:
    bool event(QEvent *event) override;
    void customEvent(QEvent *event) override;
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
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void drawBackground(QPainter *painter, const QRectF &rect) override;
    void drawForeground(QPainter *painter, const QRectF &rect) override;

private:
    Document *document() const;
    void fitRect(const QRectF &rect);
    // The scene area Zoom Fit shows, and the scale at which a rectangle fills the viewport (0
    // when either is empty).
    QRectF fitArea() const;
    double fittedScale(const QRectF &rect) const;
    // The scale below which zooming out stops.
    double zoomOutFloor() const;

    // Painting, in scene units; each visits only the columns and rows meeting the exposed
    // rectangle.
    void drawTotal(QPainter *painter, const QRectF &area, int column, int row, bool cell);
    void drawTotals(QPainter *painter, const QRectF &exposed);
    // The row headers left of the grid and the column headers above it, fixed beside the grid
    // or floating at the view's edge (viewEdge: the scene x or y of the viewport's left or top).
    void drawRowHeaders(QPainter *painter, const QRectF &exposed, double opacity, double viewEdge,
                        bool floating);
    void drawColumnHeaders(QPainter *painter, const QRectF &exposed, double opacity,
                           double viewEdge, bool floating);
    // The two bands are mirror images: the stacking picks the axis.
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

    // Context menus and their commands. A header menu remembers the header it was opened
    // for; its commands act only while that header still stands at its index with its label.
    struct MenuHeader
    {
        bool column = true;
        int property = -1;
        int index = -1;
        QString label;
    };
    void postCommand(CommandEvent type);
    void releaseOnHeader(const QMouseEvent *event, bool column);
    void runHeaderMenu(bool column);
    void runCardMenu(int count);
    void runEmptyCellMenu(const QPointF &scenePoint);
    bool menuHeader(bool column, MenuHeader *header) const;
    int axisProperty(bool column) const;
    QStringList axisLabels(bool column) const;
    QList<TaskIndex> tasksWithValue(int property, const QString &value) const;
    void addValueAt(bool column, int offset);
    void editAxisProperty(bool column);
    void deleteValue(bool column);
    void renameValue(bool column);
    void hideValues(bool column, bool others);
    void showAllValues(bool column);
    void toggleAlwaysShown(bool column);
    // Card tool tips, from the view's own events or its viewport's.
    bool showCardToolTip(QEvent *event, QWidget *receiver);

    CardsScene *m_scene;
    bool m_zoomToFit = true;
    // Viewport pixels of the last press, kept until the next one.
    QPoint m_pressPosition;
    std::unique_ptr<CardsViewToolTip> m_toolTip;
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
    // The header under the last press, with any button (index -1 for none): only a release
    // over that same header is a click on it.
    bool m_pressHeaderIsColumn = false;
    int m_pressHeaderIndex = -1;
    // Owned; null while no auto-scroll runs.
    QTimer *m_autoScrollDelayTimer = nullptr;
    QTimer *m_autoScrollRepeatTimer = nullptr;
    // The link entries of the card menu while it runs, and their links.
    QMap<QAction *, HyperLink> m_linkMap;
    MenuHeader m_menuHeader;
    // Where the add-card command was asked for, in scene units: the press of that gesture,
    // not a later one.
    QPointF m_addCardPosition;
};
