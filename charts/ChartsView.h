#pragma once

#include "cards/GraphicsView.h"
#include "model/Events.h"
#include "model/ModelTypes.h"

#include <QCursor>
#include <QList>
#include <QPointer>
#include <QUrl>

class ChartItem;
class ChartsScene;

// The view of the Charts tab. It fits all charts into the window, or one chart after a click on
// it (Left and Right step through the charts, a click returns to all), shows zoom cursors over
// the charts, paints a hint while the plan cannot be charted, and hands dropped files and links
// to the main window. The main window sets the ChartsScene on it and connects
// Document::changed to onChangedDoc and the scene's layoutFinished to onZoomAll.
//
// The zoom cursors are application override cursors: the view removes only its own entry from
// the override stack, whatever others pushed meanwhile (the wait cursor of a rebuild), and
// never leaves it behind when the pointer leaves, the view hides or goes away.
//
// Listens to the chart settings, after which it shows all charts again, and to what may leave
// nothing to chart (a whole plan, properties changed, deleted or re-ordered), after which it
// shows the empty scene unscaled, as a view that never showed a chart.
class ChartsView : public GraphicsView
{
    Q_OBJECT

public:
    static constexpr EventMask listensTo = EventFlag::ChartsSettingsChanged | EventFlag::AllChanged
        | EventFlag::PropertyChanged | EventFlag::PropertyDeleted | EventFlag::PropertiesReordered;

    explicit ChartsView(QWidget *parent = nullptr);
    ~ChartsView() override;

    // Whether the charts' background colour is dark, which selects the light cursors.
    bool isDarkBackground() const;
    // The chart fitted into the view, null while all charts are shown.
    ChartItem *zoomedChart() const;
    // What the view paints over the pane while there is nothing to chart or the charts are
    // too many to draw; empty while charts are shown.
    QString hintText() const;

signals:
    void droppedFiles(const QList<QUrl> &urls, TaskIndex taskIndex,
                      const QList<PropertyIndexAndValue> &presets);

public slots:
    void onChangedDoc(const Events &events);
    void onZoomAll();
    void onZoomTo(ChartItem *item);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private slots:
    // A rebuild deleted the charts; one may go without a layout that would show all again.
    void onRedrawing();

private:
    ChartsScene *chartsScene() const;
    int chartCount() const;
    ChartItem *chartAt(const QPoint &viewPoint) const;
    void showAll();
    // The view of a scene with nothing to chart.
    void showNothing();
    const QCursor &zoomInCursor() const;
    const QCursor &zoomOutCursor() const;
    // Shows the view's cursor unless another override cursor is in force.
    void showViewCursor(const QCursor &cursor);
    void releaseViewCursor();

    QPointer<ChartItem> m_zoomedChart;
    QCursor m_zoomInCursor;
    QCursor m_zoomOutCursor;
    QCursor m_zoomInLightCursor;
    QCursor m_zoomOutLightCursor;
    // The entry the view put on the override stack, if any.
    bool m_viewCursorShown = false;
    QCursor m_viewCursor;
};
