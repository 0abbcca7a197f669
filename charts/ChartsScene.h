#pragma once

#include "model/Events.h"

#include <QGraphicsScene>
#include <QList>

class ChartItem;
class ChartsLegendItem;
class Document;
class QGraphicsSimpleTextItem;
class QGraphicsView;

// The scene of the Charts tab: from the plan's chart settings and charts appearance it builds a
// bar chart per Per value (or one chart), a bar per By value summing the Show property or
// counting cards, all on one scale; lays them out in a grid that suits the view's shape, with
// the title above, the legend below or right and the footer below. It follows the plan
// (onChangedDoc): what changes the sums rebuilds, a colour or text switch only repaints.
//
// The sums and the geometry are ChartsLayouter's; the scene owns the items. The main window
// connects Document::changed to onChangedDoc, layoutFinished to the view's onZoomAll and
// redrawing to its print-status update, and asks chartItems for the charts of an export.
//
// Listens to what changes the sums (cards, values and properties, the chart settings, and the
// view and filter while the charts follow the filter) and to the Charts appearance.
class ChartsScene : public QGraphicsScene
{
    Q_OBJECT

public:
    static constexpr EventMask listensTo = EventFlag::AllChanged | EventFlag::TaskAdded
        | EventFlag::TasksDeleted | EventFlag::PropertyChanged | EventFlag::PropertyDeleted
        | EventFlag::ValueChanged | EventFlag::PropertiesReordered
        | EventFlag::ChartsSettingsChanged | EventFlag::ViewChanged | EventFlag::FilterChanged
        | EventFlag::ChartsAppearanceChanged;

    explicit ChartsScene(Document *document, QObject *parent = nullptr);
    ~ChartsScene() override;

    Document *document() const { return m_document; }

    // Deletes every item and builds the charts anew from the plan, then lays them out; emits
    // redrawing at the end in every case. Without a Show or By property, or with more charts
    // and bars than are drawn, the scene stays empty and no layout runs.
    void rebuild();
    // Places the charts, title, legend and footer for the view's shape and sets the scene
    // rectangle; emits layoutFinished. Does nothing while the scene holds no build (Show or By
    // unset, or too many charts), so a resize adds no title to an empty pane.
    void layoutCharts();
    // The charts, topmost first: the chart added last comes first.
    QList<ChartItem *> chartItems() const;
    // How many charts the last build made, without a walk over the items.
    int chartCount() const { return m_chartCount; }
    // Whether the last build found more charts or bars than it makes (ChartsLayouter's maxima),
    // and so left the scene empty.
    bool tooManyToDraw() const { return m_tooManyToDraw; }
    // The scene's view when it has exactly one, else null.
    QGraphicsView *onlyView() const;
    void placeTitle(const QRectF &rect);
    void placeFooter(const QRectF &rect);

signals:
    void layoutFinished();
    void redrawing();

public slots:
    void onChangedDoc(const Events &events);

private:
    void deleteItems();
    QGraphicsSimpleTextItem *placeText(QGraphicsSimpleTextItem *&item, const QString &text,
                                       int pixelSize);

    Document *m_document;
    QGraphicsSimpleTextItem *m_titleItem = nullptr;
    QGraphicsSimpleTextItem *m_footerItem = nullptr;
    ChartsLegendItem *m_legendItem = nullptr;
    // True from a rebuild that found Show and By, and charts it could draw, until the next
    // rebuild.
    bool m_built = false;
    int m_chartCount = 0;
    bool m_tooManyToDraw = false;
};
