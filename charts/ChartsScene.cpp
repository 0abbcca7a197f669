#include "charts/ChartsScene.h"

#include "charts/ChartItem.h"
#include "charts/ChartsLayouter.h"
#include "charts/ChartsLegendItem.h"
#include "common/app/TitleVariables.h"
#include "common/core/BusyCursor.h"
#include "common/core/Colors.h"
#include "model/Document.h"

#include <algorithm>

#include <QGraphicsSimpleTextItem>
#include <QGraphicsView>

ChartsScene::ChartsScene(Document *document, QObject *parent)
    : QGraphicsScene(parent), m_document(document)
{ }

ChartsScene::~ChartsScene()
{
    deleteItems();
}

void ChartsScene::deleteItems()
{
    m_titleItem = nullptr;
    m_footerItem = nullptr;
    m_legendItem = nullptr;
    clear();
}

void ChartsScene::rebuild()
{
    BusyCursor busy;
    setBackgroundBrush(QBrush(m_document->chartBackgroundColor()));
    deleteItems();
    m_chartCount = 0;
    const ChartsLayouter::Charts charts = ChartsLayouter::buildCharts(*m_document);
    m_tooManyToDraw = charts.tooManyToDraw;
    // Past the maxima the scene stays empty, as without Show or By, and the view says why.
    m_built = ChartsLayouter::canChart(*m_document) && !m_tooManyToDraw;
    if (m_built) {
        ChartItem::maxValue = charts.maxValue;
        const QSize size(int(ChartsLayouter::chartSize), int(ChartsLayouter::chartSize));
        for (const ChartData &data : charts.charts) {
            auto *item = new ChartItem(m_document);
            item->setSize(size);
            item->setChart(data);
            addItem(item);
        }
        m_chartCount = charts.charts.size();
        layoutCharts();
    } else {
        // Back to the rectangle of a scene that never held a chart, which the exports take
        // for nothing to show.
        setSceneRect(QRectF());
        // The view's hint may have come or gone, where no item was.
        update();
    }
    emit redrawing();
}

void ChartsScene::layoutCharts()
{
    if (!m_built)
        return;
    BusyCursor busy;
    const QList<ChartItem *> charts = chartItems();
    const int n = charts.size();
    double aspect = 1.0;
    if (const QGraphicsView *view = onlyView()) {
        if (view->viewport())
            aspect = ChartsLayouter::viewAspect(view->viewport()->size());
    }
    const int columns = ChartsLayouter::gridColumns(n, aspect);
    QRectF rect;
    // In the order they were added: the last of the list is the first added.
    for (int k = 0; k < n; ++k) {
        ChartItem *chart = charts.at(n - 1 - k);
        chart->setPos(ChartsLayouter::gridPosition(k, columns));
        rect = rect.united(chart->sceneBoundingRect());
    }

    placeTitle(rect);
    if (!m_document->chartsTitle().trimmed().isEmpty())
        rect = ChartsLayouter::withTextLine(rect, m_titleItem->sceneBoundingRect());

    const int showLegend = m_document->chartsShowLegend();
    if (n > 0 && showLegend != LegendMode::Hidden) {
        // Built once per rebuild: its rows change only with what rebuilds the charts.
        if (!m_legendItem) {
            m_legendItem = new ChartsLegendItem(m_document);
            m_legendItem->build();
            addItem(m_legendItem);
        }
        m_legendItem->setPos(
            ChartsLayouter::legendPosition(rect, m_legendItem->boundingRect().size(), showLegend));
        rect = rect.united(m_legendItem->sceneBoundingRect());
        m_legendItem->setVisible(true);
    } else if (m_legendItem) {
        m_legendItem->setVisible(false);
    }

    placeFooter(rect);
    if (!m_document->chartsFooter().trimmed().isEmpty())
        rect = ChartsLayouter::withTextLine(rect, m_footerItem->sceneBoundingRect());

    const double margin = ChartsLayouter::sceneMargin;
    setSceneRect(rect.adjusted(-margin, -margin, margin, margin));
    emit layoutFinished();
}

QList<ChartItem *> ChartsScene::chartItems() const
{
    QList<ChartItem *> charts;
    const QList<QGraphicsItem *> all = items(Qt::DescendingOrder);
    for (QGraphicsItem *item : all) {
        if (auto *chart = dynamic_cast<ChartItem *>(item))
            charts.append(chart);
    }
    return charts;
}

QGraphicsView *ChartsScene::onlyView() const
{
    const QList<QGraphicsView *> all = views();
    return all.size() == 1 ? all.first() : nullptr;
}

QGraphicsSimpleTextItem *ChartsScene::placeText(QGraphicsSimpleTextItem *&item, const QString &text,
                                                int pixelSize)
{
    if (!item) {
        item = new QGraphicsSimpleTextItem;
        item->setFlag(QGraphicsItem::ItemSendsGeometryChanges);
        addItem(item);
    }
    item->setText(expandVariables(text));
    QFont font = m_document->chartFont();
    // A damaged file may hold a size of 0, which no font accepts.
    font.setPixelSize(std::max(1, pixelSize));
    item->setFont(font);
    const QColor color = contrastingTextColor(m_document->chartBackgroundColor(), false);
    if (item->brush().color() != color)
        item->setBrush(color);
    item->setVisible(!text.isEmpty());
    return item;
}

void ChartsScene::placeTitle(const QRectF &rect)
{
    placeText(m_titleItem, m_document->chartsTitle(), m_document->chartsTitleSize());
    m_titleItem->setPos(ChartsLayouter::titlePosition(rect, m_titleItem->boundingRect().size()));
}

void ChartsScene::placeFooter(const QRectF &rect)
{
    placeText(m_footerItem, m_document->chartsFooter(), m_document->chartsFooterSize());
    m_footerItem->setPos(ChartsLayouter::footerPosition(rect, m_footerItem->boundingRect().size()));
}

void ChartsScene::onChangedDoc(const Events &events)
{
    if (!events.any(listensTo))
        return;
    bool rebuildWanted = false;
    bool repaintWanted = false;
    for (const Event &event : events.events) {
        switch (event.type) {
        case EventType::AllChanged:
        case EventType::TaskAdded:
        case EventType::TasksDeleted:
        case EventType::PropertyChanged:
        case EventType::PropertyDeleted:
        case EventType::ValueChanged:
        case EventType::PropertiesReordered:
        case EventType::ChartsSettingsChanged:
            rebuildWanted = true;
            break;
        case EventType::ViewChanged:
        case EventType::FilterChanged:
            if (m_document->chartsFiltering())
                rebuildWanted = true;
            break;
        case EventType::ChartsAppearanceChanged: {
            const QColor background = m_document->chartBackgroundColor();
            if (backgroundBrush().color() != background)
                setBackgroundBrush(QBrush(background));
            repaintWanted = true;
            break;
        }
        default:
            break;
        }
    }
    if (rebuildWanted)
        rebuild();
    else if (repaintWanted)
        update();
}
