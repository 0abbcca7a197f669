#pragma once

#include "cards/CardFace.h"
#include "cards/CardsLayouter.h"
#include "model/Document.h"

#include <functional>

#include <QGraphicsScene>
#include <QList>
#include <QPointer>
#include <QVector>

class AddCardItem;
class CardItem;
class CardsAnimation;
class CardsLegendItem;
class QGraphicsLineItem;
class QGraphicsRectItem;
class QGraphicsSimpleTextItem;

// The scene of the Cards tab: one CardItem per card of the plan, laid out in a grid of columns
// and rows by the values of the view's X and Y properties, with title, footer, legend, totals
// and the markers the view shows while the user drags. It follows every change of the plan
// (onChangedDoc), lays the cards out again and lets them glide to their new places in one
// animation group, and offers the selection operations of the main window and the view.
//
// The arithmetic (binning, sizes, places, totals, hit tests) lives in CardsLayouter; the scene
// applies its results to the items. It needs no view: without a visible one every change is
// applied at once. The Cards view paints the grid, headers and totals from the geometry read
// here; it and the main window connect to the signals below.
//
// Listens to every change of the cards, their values, notes, links and properties, the current
// view and the Cards presentation, and to the image library; not to the search (the view
// selects), the style, the charts or the table.
class CardsScene : public QGraphicsScene
{
    Q_OBJECT

public:
    static constexpr EventMask listensTo = EventFlag::AllChanged | EventFlag::TaskAdded
        | EventFlag::TasksDeleted | EventFlag::PropertyAdded | EventFlag::PropertyChanged
        | EventFlag::PropertyDeleted | EventFlag::ValueChanged | EventFlag::TaskNotesChanged
        | EventFlag::CardsLayoutChanged | EventFlag::CardContentChanged | EventFlag::ViewChanged
        | EventFlag::StoredViewsChanged | EventFlag::FilterChanged
        | EventFlag::CardsAppearanceChanged | EventFlag::TaskLinksChanged
        | EventFlag::PropertiesReordered | EventFlag::ImagesChanged | EventFlag::TaskImageChanged;

    using CellMap = CardsLayouter::CellMap;

    explicit CardsScene(Document *document, QObject *parent = nullptr);
    ~CardsScene() override;

    Document *document() const { return m_document; }
    // What every card shows, read from the plan at the last layout or repaint.
    const CardFace &cardFace() const { return m_cardFace; }
    const CardsLayouter &layouter() const { return m_layout; }

    // Binning: the scene's axes and cell map are recomputed from the plan (the items move only
    // at the next redraw).
    CellMap binCards();
    QStringList columnLabels() const { return m_layout.columns().labels; }
    QStringList rowLabels() const { return m_layout.rows().labels; }
    QStringList columnValues() const { return m_layout.columns().values; }
    QStringList rowValues() const { return m_layout.rows().values; }
    int todayColumn() const { return m_layout.columns().today; }
    int todayRow() const { return m_layout.rows().today; }
    QList<PropertyIndexAndValue> cellPresets(int column, int row) const;
    void rebuildItemMap();
    CardItem *cardItemForTask(int task) const;

    // Cell sizes and scene geometry of the last layout, in scene units.
    void cellGridSize(int n, int *columns, int *rows) const;
    static void fitRowHeights(const CellMap &cells, const QVector<int> &columnCards,
                              QVector<int> &rowCards);
    static void fitColumnWidths(const CellMap &cells, QVector<int> &columnCards,
                                const QVector<int> &rowCards);
    QList<int> columnWidths() const { return m_layout.columns().spans.toList(); }
    QList<int> rowHeights() const { return m_layout.rows().spans.toList(); }
    int totalWidth() const { return m_layout.columns().total; }
    int totalHeight() const { return m_layout.rows().total; }
    int shownColumnCount() const { return m_layout.columns().shownCount(); }
    int hiddenColumnCount() const;
    int shownRowCount() const { return m_layout.rows().shownCount(); }
    int hiddenRowCount() const;
    bool isColumnShown(int column) const { return m_layout.columns().spans.value(column) > 0; }
    bool isRowShown(int row) const { return m_layout.rows().spans.value(row) > 0; }
    QRectF columnRect(int column, bool withHeader) const;
    QRectF rowRect(int row, bool withHeader) const;
    bool cellAt(const QPointF &point, int *column, int *row, QRectF *rect, double margin) const;
    bool headerAt(const QPointF &point, bool *isColumnHeader, bool *isRowHeader, int *index) const;
    bool columnAt(bool clampOutside, bool nearestBoundary, int *index, double x) const;
    bool rowAt(bool clampOutside, bool nearestBoundary, int *index, double y) const;

    // Totals of the view's total property, title, footer and drag markers.
    void calculateTotals();
    CardsLayouter::TextTotals textTotals(int column, int row) const;
    double numericTotal(int column, int row) const;
    void updateTitle();
    void updateFooter(double y);
    void showDropHighlight(const QRectF &rect);
    void hideDropHighlight();
    void showHeaderFrame(const QRectF &rect);
    void hideHeaderFrame();
    void showColumnInsertLine(const QPointF &point);
    void showRowInsertLine(const QPointF &point);
    void setInsertLine(const QLineF &line);
    void hideInsertLine();

    // Layout, items and selection. "Shown" cards are those that passed the filter at the last
    // layout; cards fading out are no longer shown.
    void redraw();
    void setAnimate(bool animate) { m_animate = animate; }
    bool animate() const { return m_animate; }
    // A layout that changes more cards than this takes effect at once even with the animation
    // on: beyond it, moving the cards of one frame takes more than half of a frame at 30
    // frames a second, which leaves too little for painting them.
    static constexpr int DefaultAnimationLimit = 20000;
    void setAnimationLimit(int cards) { m_animationLimit = cards; }
    int animationLimit() const { return m_animationLimit; }
    CardItem *addCardItem(int task);
    void removeCardItem(int task);
    // Topmost first.
    QList<CardItem *> cardItems(bool selectedOnly, bool visibleOnly) const;
    QList<int> selectedTaskIndexes() const;
    QList<int> visibleTaskIndexes() const;
    void selectAll();
    void selectTasks(const QList<int> &tasks);
    void emitSelectionChanged();
    void selectMatchingCards();
    CardItem *moveCardsByKey(int key);

    // Overlays: the add icon over an empty cell, the edit and delete icons of a hovered card.
    void setOverlaysVisible(bool visible);
    bool overlaysVisible() const { return m_overlaysVisible; }
    void hideOverlays();
    void showAddCardItem(int column, int row, const QRectF &cellRect);
    void hideAddCardItem();
    void deleteAddCardItem();

signals:
    void redrawing();
    void animationStarted();
    void animationFinished();
    void newTask(const QList<PropertyIndexAndValue> &presets);
    void editTask(TaskIndex task);

public slots:
    void onChangedDoc(const Events &events);
    void onAddCardClicked(int column, int row);
    void onSelectionChange();
    // The icons' clicks arrive queued, after the icon's own handler has returned; a card item
    // that is no longer in the scene (null once destroyed) is ignored.
    void onDeleteOverlayClicked(CardItem *cardItem);
    void onEditOverlayClicked(CardItem *cardItem);

private slots:
    void onAnimationFinished();

private:
    void hideFilteredOutCards();
    void setHiddenByFilter(const QVector<CardItem *> &items, bool hidden);
    void rebuildAll();
    void insertCardItem(int task);
    bool isCardItemInScene(const CardItem *cardItem) const;
    void refreshBackground();
    void stopAnimation();
    int animationDuration() const;
    void applyLayout(int duration, bool backdropChanged);
    QRectF placeTitleLegendFooter();
    void selectWithSignalsBlocked(const std::function<bool(const CardItem *)> &selects);

    Document *m_document;
    CardsLayouter m_layout;
    CardFace m_cardFace;
    // Indexed by task: the card items are kept in card order as cards come and go, so nothing
    // needs to search the scene's items for them.
    QVector<CardItem *> m_cardItems;
    QGraphicsSimpleTextItem *m_titleItem = nullptr;
    QGraphicsSimpleTextItem *m_footerItem = nullptr;
    QGraphicsRectItem *m_dropHighlight = nullptr;
    QGraphicsRectItem *m_headerFrame = nullptr;
    QGraphicsLineItem *m_insertLine = nullptr;
    CardsLegendItem *m_legendItem = nullptr;
    AddCardItem *m_addCardItem = nullptr;
    // The one running layout animation; stopped before the next layout starts, so that two
    // animations never drive the same cards.
    QPointer<CardsAnimation> m_animation;
    bool m_animate = true;
    // Set while the card items made for the whole plan await their first layout.
    bool m_cardsNew = false;
    int m_animationLimit = DefaultAnimationLimit;
    bool m_overlaysVisible = true;
    // The grid, headers and totals the views paint around the cards may differ from what they
    // show: set by every change of the plan and every layout outside redraw. A redraw that
    // leaves them as they were (cards put back after a click or a cancelled drag) repaints only
    // the cards that move, not the whole of every view.
    bool m_backdropStale = true;
};
