#include "BenchTools.h"
#include "charts/ChartItem.h"
#include "charts/ChartsLayouter.h"
#include "charts/ChartsScene.h"
#include "charts/ChartsView.h"
#include "common/app/Accessors.h"
#include "harness/TestMain.h"
#include "model/Document.h"
#include "storage/PlanFileReader.h"

#include <QDir>
#include <QImage>
#include <QPainter>

namespace {

const int largeCards = 10000;
const int largeProperties = 30;

// The properties of the large plan that the charts use.
enum Chart { By20 = 1, Per20 = 2, Amount = 3, By5000 = 4, Filtered = 5, Unique = 6 };

using BenchTools::medianMs;
using BenchTools::print;
const BenchTools::MsReport report {52, 1};

// 10,000 cards of 30 properties: a text of 20 values (By), another of 20 values (Per), a number
// (Show), a text of 5,000 values, a text the filter looks at, and 25 more texts, each of them
// unique to its card.
void fillLargePlan(Document &plan)
{
    plan.clear(false);
    for (int p = 1; p <= largeProperties; ++p)
        plan.addProperty(QStringLiteral("P%1").arg(p), QString(),
                         p == Amount ? PropertyType::Numeric : PropertyType::Text, {},
                         PropertyVisibility::Hidden, PropertyAppearance(), false);
    for (TaskIndex t = 0; t < largeCards; ++t) {
        QList<PropertyIndexAndValue> values;
        for (int p = 1; p <= largeProperties; ++p) {
            QString text;
            switch (p) {
            case By20:
                text = QStringLiteral("Bar %1").arg(t % 20);
                break;
            case Per20:
                text = QStringLiteral("Chart %1").arg((t / 7) % 20);
                break;
            case Amount:
                text = QString::number((t * 37) % 1000) + QStringLiteral(".5");
                break;
            case By5000:
                text = QStringLiteral("Item %1").arg(t % 5000);
                break;
            case Filtered:
                text = t % 3 == 0 ? QStringLiteral("hidden") : QStringLiteral("shown");
                break;
            default:
                text = QStringLiteral("Card %1 text %2").arg(t).arg(p);
                break;
            }
            values.append({p, text});
        }
        plan.addTaskWithValues(values, QString(), {}, -1, false);
    }
    // Hides a third of the cards while the charts follow the Cards filter.
    plan.setFilter(false, false, false,
                   {FilterTerm(Filtered, MatchType::Is, QStringLiteral("hidden"))}, false, false);
    plan.setChartShowProperty(Amount, false);
}

void chartBy(Document &plan, int by, int per, bool filtering)
{
    plan.setChartByProperty(by, false);
    plan.setChartPerProperty(per, false);
    plan.setChartsFiltering(filtering, false);
}

QImage render(QGraphicsScene &scene, const QSize &size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    scene.render(&painter, QRectF(QPointF(0, 0), size), scene.sceneRect(), Qt::KeepAspectRatio);
    return image;
}

} // namespace

// The Charts pane on a large plan: the sums of the layouter alone, the scene's rebuild (sums,
// items, layout, legend), a layout alone as at a resize, and renders of the built scene (the
// first measures the texts of each chart, later ones reuse the measurements). With
// TAVROLO_CHARTS_RENDER_DIR set, sampleCharts writes a picture of the sample plan's charts.
class BenchCharts : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void layouterAlone();
    void sceneRebuild();
    void renderBuiltScene();
    void uniquePerProperty();
    void sampleCharts();
};

void BenchCharts::initTestCase()
{
    fillLargePlan(*doc());
    print(QStringLiteral("Plan: %1 cards x %2 properties; Show a number; the filter hides a third")
              .arg(largeCards)
              .arg(largeProperties));
}

void BenchCharts::layouterAlone()
{
    Document &plan = *doc();
    for (const bool filtering : {false, true}) {
        chartBy(plan, By20, Per20, filtering);
        ChartsLayouter::Charts charts;
        report(QStringLiteral("buildCharts, By 20 x Per 20, filtering %1")
                   .arg(filtering ? QStringLiteral("on") : QStringLiteral("off")),
               medianMs([&] { charts = ChartsLayouter::buildCharts(plan); }), 100);
        print(QStringLiteral("  %1 charts of %2 bars, scale %3")
                  .arg(charts.charts.size())
                  .arg(charts.charts.value(0).values.size())
                  .arg(charts.maxValue));
    }
    chartBy(plan, By5000, 0, false);
    report(QStringLiteral("buildCharts, By 5,000 values"),
           medianMs([&] { ChartsLayouter::buildCharts(plan); }), 1000);
}

void BenchCharts::sceneRebuild()
{
    Document &plan = *doc();
    ChartsScene scene(&plan);
    plan.setChartsShowLegend(1, false);
    for (const bool filtering : {false, true}) {
        chartBy(plan, By20, Per20, filtering);
        report(QStringLiteral("ChartsScene::rebuild, By 20 x Per 20, filtering %1")
                   .arg(filtering ? QStringLiteral("on") : QStringLiteral("off")),
               medianMs([&] { scene.rebuild(); }), 100);
    }
    report(QStringLiteral("ChartsScene::layoutCharts (a resize), 20 charts"),
           medianMs([&] { scene.layoutCharts(); }));
    chartBy(plan, By5000, 0, false);
    report(QStringLiteral("ChartsScene::rebuild, By 5,000 values"),
           medianMs([&] { scene.rebuild(); }), 1000);
    chartBy(plan, By5000, 0, true);
    report(QStringLiteral("ChartsScene::rebuild, By 5,000 values, filtering on"),
           medianMs([&] { scene.rebuild(); }), 1000);
    plan.setChartsShowLegend(0, false);
}

void BenchCharts::renderBuiltScene()
{
    Document &plan = *doc();
    ChartsScene scene(&plan);
    const QSize size(1600, 1000);
    for (const int by : {int(By20), int(By5000)}) {
        chartBy(plan, by, by == By20 ? Per20 : 0, false);
        scene.rebuild();
        const QString what = by == By20 ? QStringLiteral("20 charts of 20 bars")
                                        : QStringLiteral("one chart of 5,000 bars");
        report(QStringLiteral("first render, %1, 1600x1000").arg(what),
               medianMs([&] { render(scene, size); }, 1));
        report(QStringLiteral("later render, %1, 1600x1000").arg(what),
               medianMs([&] { render(scene, size); }));
    }
}

// Charts per a property unique to each card (a name, an id): one chart per card. By 20 values
// they are drawn, 200,000 bars; By a property of 5,000 values, or unique too, they pass the
// bound and the pane shows its hint, unless zero bars and empty charts are hidden. Memory is
// the growth of this process while the scene holds its charts.
void BenchCharts::uniquePerProperty()
{
    Document &plan = *doc();
    const QSize size(1600, 1000);
    const struct
    {
        const char *what;
        int by;
        bool hide;
    } cases[] = {
        {"By 20 x Per unique", By20, false},
        {"By 20 x Per unique, zero bars and empty charts hidden", By20, true},
        {"By 5,000 x Per unique", By5000, false},
        {"By unique x Per unique", Unique, false},
        {"By unique x Per unique, zero bars and empty charts hidden", Unique, true},
    };
    for (const auto &c : cases) {
        chartBy(plan, c.by, Unique, false);
        plan.setChartsHideZeroBars(c.hide, false);
        plan.setChartsHideEmpty(c.hide, false);
        print(QLatin1String(c.what));
        ChartsLayouter::Charts charts;
        report(QStringLiteral("  buildCharts"),
               medianMs([&] { charts = ChartsLayouter::buildCharts(plan); }, 3));
        int bars = 0;
        for (const ChartData &chart : qAsConst(charts.charts))
            bars += chart.values.size();
        print(charts.tooManyToDraw
                  ? QStringLiteral("  too many to draw: the hint")
                  : QStringLiteral("  %1 charts, %2 bars").arg(charts.charts.size()).arg(bars));
        charts = ChartsLayouter::Charts();
        const double before = BenchTools::residentMebibytes();
        {
            ChartsScene scene(&plan);
            report(QStringLiteral("  ChartsScene::rebuild"), medianMs([&] { scene.rebuild(); }, 3));
            report(QStringLiteral("  first render, 1600x1000"),
                   medianMs([&] { render(scene, size); }, 1));
            report(QStringLiteral("  later render, 1600x1000"),
                   medianMs([&] { render(scene, size); }, 3));
            print(
                QStringLiteral("  %1 MiB more while the scene is held; peak of the process %2 MiB")
                    .arg(BenchTools::residentMebibytes() - before, 0, 'f', 0)
                    .arg(BenchTools::peakMebibytes(), 0, 'f', 0));
        }
    }
    plan.setChartsHideZeroBars(false, false);
    plan.setChartsHideEmpty(false, false);
}

void BenchCharts::sampleCharts()
{
    const QString folder = qEnvironmentVariable("TAVROLO_CHARTS_RENDER_DIR");
    if (folder.isEmpty())
        QSKIP("TAVROLO_CHARTS_RENDER_DIR names no folder for the pictures");
    QDir(folder).mkpath(QStringLiteral("."));
    const QString sample
        = QCoreApplication::applicationDirPath() + QStringLiteral("/../samples/Project plan.tv");
    Document &plan = *doc();
    QString error;
    bool newer = false;
    QVERIFY2(readPlanFile(plan, sample, &error, &newer), qPrintable(error));
    plan.setChartShowProperty(plan.propertyCount(), false);
    plan.setChartByProperty(plan.propertyIndex(QStringLiteral("Priority")), false);
    plan.setChartPerProperty(plan.propertyIndex(QStringLiteral("Status")), false);
    plan.setChartsTitle(QStringLiteral("{by_property} per {per_property}"), false);
    plan.setChartsShowLegend(1, false);

    ChartsScene scene(&plan);
    ChartsView view;
    view.setScene(&scene);
    connect(&scene, &ChartsScene::layoutFinished, &view, &ChartsView::onZoomAll);
    for (const QSize &size : {QSize(1200, 700), QSize(500, 900)}) {
        view.resize(size);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        scene.rebuild();
        const QString file = QDir(folder).filePath(
            QStringLiteral("charts-%1x%2.png").arg(size.width()).arg(size.height()));
        QVERIFY(view.grab().save(file));
        print(QStringLiteral("%1 charts -> %2").arg(scene.chartItems().size()).arg(file));
    }
}

TAVROLO_TEST_MAIN(BenchCharts)
#include "bench_charts.moc"
