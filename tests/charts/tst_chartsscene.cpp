#include "charts/ChartItem.h"
#include "charts/ChartsLegendItem.h"
#include "charts/ChartsScene.h"
#include "common/app/Accessors.h"
#include "harness/TestMain.h"
#include "harness/TestPlanKey.h"
#include "model/Document.h"
#include "model/PlanFixture.h"

#include <QGraphicsSimpleTextItem>
#include <QImage>
#include <QPainter>
#include <QPointer>

using namespace PlanFixture;

namespace {

enum Props { Group = 1, Part = 2, Amount = 3 };

// Group and Part (text), Cost (numeric); one card per (group, part, cost); charts of the
// summed Cost by Group, per Part when asked.
void fillPlan(const QList<QStringList> &cards, bool perPart)
{
    Document &plan = *doc();
    plan.clear(false);
    addProperty(plan, QStringLiteral("Group"), PropertyType::Text);
    addProperty(plan, QStringLiteral("Part"), PropertyType::Text);
    addProperty(plan, QStringLiteral("Cost"), PropertyType::Numeric);
    for (const QStringList &card : cards)
        plan.addTaskWithValues(
            {{Group, card.value(0)}, {Part, card.value(1)}, {Amount, card.value(2)}}, QString(), {},
            -1, false);
    plan.setChartShowProperty(Amount, false);
    plan.setChartByProperty(Group, false);
    plan.setChartPerProperty(perPart ? Part : 0, false);
}

QImage render(QGraphicsScene &scene, double scale)
{
    const QRectF source = scene.sceneRect();
    QImage image((source.size() * scale).toSize(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    scene.render(&painter, QRectF(image.rect()), source);
    return image;
}

// Counts Qt's refusals of font sizes while alive.
struct FontWarnings
{
    FontWarnings()
    {
        s_count = 0;
        s_previous = qInstallMessageHandler(handler);
    }
    ~FontWarnings() { qInstallMessageHandler(s_previous); }
    static void handler(QtMsgType type, const QMessageLogContext &context, const QString &text)
    {
        if (text.contains(QLatin1String("QFont::setPixelSize")))
            ++s_count;
        else if (s_previous)
            s_previous(type, context, text);
    }
    static int s_count;
    static QtMessageHandler s_previous;
};
int FontWarnings::s_count = 0;
QtMessageHandler FontWarnings::s_previous = nullptr;

} // namespace

// The Charts scene on the application's plan, driven by change events as the main window
// connects it, without a view.
class TestChartsScene : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void unsetShowOrByLeavesTheSceneEmpty();
    void eventsRebuildRepaintOrPass_data();
    void eventsRebuildRepaintOrPass();
    void layoutFramesChartsLegendAndFooter();
    void legendListsWhatTheBarsShow_data();
    void legendListsWhatTheBarsShow();
    void negativeBarPaintsOnlyInsideItsChart();
    void thousandsOfBarsAskForNoFontBelowOnePixel();

private:
    std::unique_ptr<ChartsScene> m_scene;
    std::unique_ptr<QSignalSpy> m_redrawing;
    std::unique_ptr<QSignalSpy> m_laidOut;
};

void TestChartsScene::init()
{
    fillPlan({{"a", "x", "1"}, {"b", "y", "2"}}, false);
    m_scene = std::make_unique<ChartsScene>(doc());
    connect(doc(), &Document::changed, m_scene.get(), &ChartsScene::onChangedDoc);
    m_redrawing = std::make_unique<QSignalSpy>(m_scene.get(), &ChartsScene::redrawing);
    m_laidOut = std::make_unique<QSignalSpy>(m_scene.get(), &ChartsScene::layoutFinished);
}

void TestChartsScene::unsetShowOrByLeavesTheSceneEmpty()
{
    doc()->setChartByProperty(0, true);
    QCOMPARE(m_redrawing->count(), 1);
    QCOMPARE(m_laidOut->count(), 0);
    QVERIFY(m_scene->items().isEmpty());
    // A resize lays out only what was built: no title appears on the empty pane.
    doc()->setChartsTitle(QStringLiteral("Costs"), false);
    m_scene->layoutCharts();
    QVERIFY(m_scene->items().isEmpty());
    QCOMPARE(m_laidOut->count(), 0);
}

void TestChartsScene::eventsRebuildRepaintOrPass_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("filtering");
    QTest::addColumn<bool>("rebuilds");
    QTest::newRow("value changed") << int(EventType::ValueChanged) << false << true;
    QTest::newRow("chart settings") << int(EventType::ChartsSettingsChanged) << false << true;
    QTest::newRow("filter, not followed") << int(EventType::FilterChanged) << false << false;
    QTest::newRow("filter, followed") << int(EventType::FilterChanged) << true << true;
    QTest::newRow("view, followed") << int(EventType::ViewChanged) << true << true;
    QTest::newRow("property added") << int(EventType::PropertyAdded) << false << false;
    QTest::newRow("colours") << int(EventType::ChartsAppearanceChanged) << false << false;
}

void TestChartsScene::eventsRebuildRepaintOrPass()
{
    QFETCH(int, type);
    QFETCH(bool, filtering);
    QFETCH(bool, rebuilds);
    doc()->emitChanged(EventType::AllChanged);
    const QPointer<ChartItem> before = m_scene->chartItems().value(0);
    QVERIFY(before);
    doc()->setChartsFiltering(filtering, false);
    doc()->setChartBackgroundColor(Qt::black, false);
    m_redrawing->clear();
    doc()->emitChanged(type);
    QCOMPARE(m_redrawing->count(), rebuilds ? 1 : 0);
    // A rebuild deletes every chart.
    QCOMPARE(before.isNull(), rebuilds);
    // The background follows a rebuild or an appearance change, nothing else.
    const bool follows = rebuilds || type == EventType::ChartsAppearanceChanged;
    QCOMPARE(m_scene->backgroundBrush().color() == QColor(Qt::black), follows);
}

void TestChartsScene::layoutFramesChartsLegendAndFooter()
{
    Document &plan = *doc();
    plan.setChartsShowLegend(1, false);
    plan.setChartsFooter(QStringLiteral("{by_property}"), false);
    plan.emitChanged(EventType::AllChanged);
    QCOMPARE(m_laidOut->count(), 1);
    QCOMPARE(m_scene->chartItems().size(), 1);
    ChartsLegendItem *legend = nullptr;
    QGraphicsSimpleTextItem *footer = nullptr;
    for (QGraphicsItem *item : m_scene->items()) {
        if (auto *found = dynamic_cast<ChartsLegendItem *>(item))
            legend = found;
        if (auto *text = dynamic_cast<QGraphicsSimpleTextItem *>(item); text && text->isVisible())
            footer = text;
    }
    QVERIFY(legend && footer);
    QCOMPARE(footer->text(), QStringLiteral("Group"));
    // Two rows under the chart, centred, 130 below it.
    const QRectF box = legend->sceneBoundingRect();
    QCOMPARE(box.height(), 162.0 * 2 + 98);
    QCOMPARE(box.top(), 2000.0 + 130);
    QCOMPARE(box.center().x(), 1000.0);
    // The footer half a line under the legend; the scene 25 beyond the outermost item.
    const QRectF line = footer->sceneBoundingRect();
    QCOMPARE(line.top(), box.bottom() + line.height() / 2);
    const QRectF outer = m_scene->sceneRect();
    QCOMPARE(outer.top(), -25.0);
    QCOMPARE(outer.bottom(), line.bottom() + 25);
    QCOMPARE(outer.left(), std::min(0.0, line.left() - line.height() / 2) - 25);
}

void TestChartsScene::legendListsWhatTheBarsShow_data()
{
    QTest::addColumn<int>("showLegend");
    QTest::addColumn<bool>("filtering");
    QTest::newRow("all colours") << 1 << false;
    QTest::newRow("visible colours") << 3 << false;
    QTest::newRow("visible colours, filtered") << 4 << true;
}

void TestChartsScene::legendListsWhatTheBarsShow()
{
    QFETCH(int, showLegend);
    QFETCH(bool, filtering);
    // " High" and "High" are one bar; each has a colour of its own.
    fillPlan({{" High", "x", "1"}, {"High", "x", "2"}, {"Low", "x", "4"}, {"Hidden", "y", "8"}},
             false);
    Document &plan = *doc();
    PropertyAppearance &group = plan.editablePropertyAppearance(Group, TestPlanKey::key());
    group.setTextColor(QStringLiteral(" High"), Qt::red);
    group.setTextColor(QStringLiteral("High"), Qt::blue);
    group.setTextColor(QStringLiteral("Low"), Qt::green);
    plan.setFilter(false, false, false, {FilterTerm(Part, MatchType::Is, QStringLiteral("y"))},
                   false, false);
    plan.setChartsFiltering(filtering, false);
    plan.setChartsShowLegend(showLegend, false);
    plan.emitChanged(EventType::AllChanged);
    ChartsLegendItem *legend = nullptr;
    for (QGraphicsItem *item : m_scene->items()) {
        if (auto *found = dynamic_cast<ChartsLegendItem *>(item))
            legend = found;
    }
    QVERIFY(legend);
    // Each row is a bar, by the name the bar shows, in the colour the bar is filled with.
    QList<QPair<QString, QColor>> bars;
    for (const ChartValue &bar : m_scene->chartItems().value(0)->chart().values)
        bars.append({bar.name.trimmed(), bar.color});
    QCOMPARE(bars.value(0), (QPair<QString, QColor>(QStringLiteral("High"), Qt::red)));
    if (!filtering)
        QCOMPARE(legend->rows(), bars);
    else
        QCOMPARE(legend->rows(), bars.mid(0, 2));
}

void TestChartsScene::negativeBarPaintsOnlyInsideItsChart()
{
    // Chart "A" above chart "B": A's bar of -1000 would reach a thousand plot heights down,
    // through B's empty left column.
    fillPlan({{"neg", "A", "-1000"}, {"pos", "B", "1"}}, true);
    Document &plan = *doc();
    plan.editablePropertyAppearance(Group, TestPlanKey::key())
        .setTextColor(QStringLiteral("neg"), Qt::red);
    plan.setChartsGradient(0, false);
    plan.emitChanged(EventType::AllChanged);
    QCOMPARE(m_scene->chartItems().size(), 2);
    const QImage image = render(*m_scene, 0.1);
    const QPointF origin = m_scene->sceneRect().topLeft();
    const auto pixel = [&](double x, double y) {
        return image.pixelColor(((QPointF(x, y) - origin) * 0.1).toPoint());
    };
    // A's bar itself, then B's empty column, the gap between both frames, and below B.
    // Left of the bar's name, which stands in the middle of the column.
    const double x = 185 + 150;
    QCOMPARE(pixel(x, 1485 + 200), QColor(Qt::red));
    QCOMPARE(pixel(x, 2000 + 700), QColor(Qt::white));
    QCOMPARE(pixel(x, 2000 + 1700), QColor(Qt::white));
    QCOMPARE(pixel(x, 4000 + 15), QColor(Qt::white));
}

void TestChartsScene::thousandsOfBarsAskForNoFontBelowOnePixel()
{
    QList<QStringList> cards;
    for (int i = 0; i < 2000; ++i)
        cards.append({QStringLiteral("value %1").arg(i), QString(), QString::number(i + 1)});
    fillPlan(cards, false);
    doc()->emitChanged(EventType::AllChanged);
    QCOMPARE(m_scene->chartItems().first()->chart().values.size(), 2000);
    FontWarnings warnings;
    render(*m_scene, 0.5);
    QCOMPARE(FontWarnings::s_count, 0);
}

TAVROLO_TEST_MAIN(TestChartsScene)
#include "tst_chartsscene.moc"
