#include "charts/ChartItem.h"
#include "charts/ChartsLayouter.h"
#include "charts/ChartsScene.h"
#include "charts/ChartsView.h"
#include "common/app/Accessors.h"
#include "harness/TestMain.h"
#include "model/Document.h"
#include "model/PlanFixture.h"

#include <functional>
#include <memory>

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMimeData>

using namespace PlanFixture;

namespace {

enum Props { Group = 1, Part = 2 };

// Group and Part (text); a card per (group, part); the card count by Group, per Part when
// asked.
void fillPlan(const QStringList &parts)
{
    Document &plan = *doc();
    plan.clear(false);
    addProperty(plan, QStringLiteral("Group"), PropertyType::Text);
    addProperty(plan, QStringLiteral("Part"), PropertyType::Text);
    for (const QString &part : parts)
        plan.addTaskWithValues({{Group, QStringLiteral("g")}, {Part, part}}, QString(), {}, -1,
                               false);
    plan.setChartShowProperty(plan.propertyCount(), false);
    plan.setChartByProperty(Group, false);
    plan.setChartPerProperty(parts.size() > 1 ? Part : 0, false);
}

const QCursor *overrideCursor()
{
    return QGuiApplication::overrideCursor();
}

using PlanEdit = std::function<void(Document &plan)>;

} // namespace

Q_DECLARE_METATYPE(PlanEdit)

// The Charts view shown and sized in a window beside a plain widget (where the pointer goes
// to leave the view), on its scene and connected as the main window connects them. The
// pointer moves through the window, so that entering and leaving happen as for a user.
class TestChartsView : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void clickZoomsOneChartAndArrowsStep();
    void oneChartIgnoresClicksAndHovering();
    void zoomCursorsNeverStayBehind();
    void darkBackgroundTakesTheLightCursors();
    void droppedLinksGoToTheMainWindow();
    void chartsGoneLeaveNothingToExport_data();
    void chartsGoneLeaveNothingToExport();

private:
    void build(const QStringList &parts);
    // The middle of chart k (from 0, in the order of the grid), in the window.
    QPoint chartPoint(int k) const;
    void moveTo(const QPoint &point);
    void clickAt(const QPoint &point);
    QString zoomedTitle() const;

    std::unique_ptr<QWidget> m_window;
    ChartsView *m_view = nullptr;
    QWidget *m_beside = nullptr;
    std::unique_ptr<ChartsScene> m_scene;
};

void TestChartsView::init()
{
    m_scene = std::make_unique<ChartsScene>(doc());
    m_window = std::make_unique<QWidget>();
    auto *layout = new QHBoxLayout(m_window.get());
    layout->setContentsMargins(0, 0, 0, 0);
    m_view = new ChartsView(m_window.get());
    m_beside = new QWidget(m_window.get());
    m_beside->setFixedWidth(100);
    layout->addWidget(m_view);
    layout->addWidget(m_beside);
    m_view->setScene(m_scene.get());
    connect(doc(), &Document::changed, m_scene.get(), &ChartsScene::onChangedDoc);
    connect(doc(), &Document::changed, m_view, &ChartsView::onChangedDoc);
    connect(m_scene.get(), &ChartsScene::layoutFinished, m_view, &ChartsView::onZoomAll);
    // Three charts in a square view: two rows of two and one.
    m_window->resize(600 + 100, 600);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestChartsView::cleanup()
{
    m_window.reset();
    m_scene.reset();
    QVERIFY2(!overrideCursor(), "an override cursor stayed behind");
}

void TestChartsView::build(const QStringList &parts)
{
    fillPlan(parts);
    doc()->emitChanged(EventType::AllChanged);
}

QPoint TestChartsView::chartPoint(int k) const
{
    const QList<ChartItem *> charts = m_scene->chartItems();
    const QRectF chart = charts.at(charts.size() - 1 - k)->sceneBoundingRect();
    return m_view->viewport()->mapTo(m_window.get(), m_view->mapFromScene(chart.center()));
}

void TestChartsView::moveTo(const QPoint &point)
{
    // The offscreen platform reports entering and leaving for the pointer's moves.
    QCursor::setPos(m_window->mapToGlobal(point));
    QCoreApplication::processEvents();
}

void TestChartsView::clickAt(const QPoint &point)
{
    moveTo(point);
    QTest::mouseClick(m_window->windowHandle(), Qt::LeftButton, Qt::NoModifier, point);
    QCoreApplication::processEvents();
}

QString TestChartsView::zoomedTitle() const
{
    return m_view->zoomedChart() ? m_view->zoomedChart()->chart().title : QString();
}

void TestChartsView::clickZoomsOneChartAndArrowsStep()
{
    build({"x", "y", "z"});
    QSignalSpy escape(m_view, &GraphicsView::escapeKeyPressed);
    clickAt(chartPoint(1));
    QCOMPARE(zoomedTitle(), QStringLiteral("y"));
    // Right and Left follow the grid and stop at its ends.
    const QList<QPair<Qt::Key, QString>> steps
        = {{Qt::Key_Right, "z"}, {Qt::Key_Right, "z"}, {Qt::Key_Left, "y"},
           {Qt::Key_Left, "x"},  {Qt::Key_Left, "x"},  {Qt::Key_Escape, "x"}};
    for (const auto &step : steps) {
        QTest::keyClick(m_view, step.first);
        QCOMPARE(zoomedTitle(), step.second);
    }
    QCOMPARE(escape.count(), 0);
    // The zoomed chart fills the view; any click shows all again.
    QVERIFY(m_view->mapFromScene(m_view->zoomedChart()->sceneBoundingRect())
                .boundingRect()
                .contains(m_view->viewport()->rect().center()));
    clickAt(m_view->viewport()->mapTo(m_window.get(), QPoint(5, 5)));
    QVERIFY(!m_view->zoomedChart());
    QTest::keyClick(m_view, Qt::Key_Escape);
    QCOMPARE(escape.count(), 1);
}

void TestChartsView::oneChartIgnoresClicksAndHovering()
{
    build({"x"});
    QCOMPARE(m_scene->chartItems().size(), 1);
    const QPoint middle
        = m_view->viewport()->mapTo(m_window.get(), m_view->viewport()->rect().center());
    moveTo(middle);
    QVERIFY(!overrideCursor());
    clickAt(middle);
    QVERIFY(!m_view->zoomedChart());
    QTest::keyClick(m_view, Qt::Key_Left);
    QVERIFY(!m_view->zoomedChart());
}

void TestChartsView::zoomCursorsNeverStayBehind()
{
    build({"x", "y", "z"});
    const QPoint outside = m_beside->mapTo(m_window.get(), m_beside->rect().center());
    moveTo(chartPoint(0));
    QVERIFY(overrideCursor());
    QCOMPARE(overrideCursor()->shape(), Qt::BitmapCursor);
    // A rebuild under the pointer: the wait cursor comes and goes, the zoom cursor goes with
    // the layout, and the next move brings it back.
    QString value = QStringLiteral("h");
    doc()->setValue(0, Group, value, true);
    QVERIFY(!overrideCursor());
    moveTo(chartPoint(1));
    QVERIFY(overrideCursor());
    moveTo(outside);
    QVERIFY(!overrideCursor());

    // Zoomed, then By deleted: the rebuild lays nothing out and deletes the zoomed chart.
    const QPoint where = chartPoint(2);
    clickAt(where);
    QCOMPARE(zoomedTitle(), QStringLiteral("z"));
    QVERIFY(overrideCursor());
    doc()->deleteProperty(Group, true);
    QVERIFY(!m_view->zoomedChart());
    QVERIFY(!overrideCursor());
    QTest::keyClick(m_view, Qt::Key_Left);
    QTest::keyClick(m_view, Qt::Key_Right);
    clickAt(where);
    moveTo(where + QPoint(20, 20));
    QVERIFY(!overrideCursor());

    // Zoomed, then hidden under the pointer: no leaving is reported, the cursor goes anyway.
    build({"x", "y", "z"});
    clickAt(chartPoint(0));
    QVERIFY(overrideCursor());
    m_window->hide();
    QVERIFY(!overrideCursor());
}

void TestChartsView::darkBackgroundTakesTheLightCursors()
{
    build({"x", "y"});
    doc()->setChartBackgroundColor(QColor(40, 40, 40), true);
    QVERIFY(m_view->isDarkBackground());
    moveTo(chartPoint(0));
    QVERIFY(overrideCursor());
    const QImage shown
        = overrideCursor()->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(shown,
             QImage(QStringLiteral(":/pngs/zoom_in_cursor_light_32.png"))
                 .convertToFormat(QImage::Format_ARGB32));
    QCOMPARE(overrideCursor()->hotSpot(), QPoint(16, 16));
    moveTo(m_beside->mapTo(m_window.get(), m_beside->rect().center()));
}

void TestChartsView::droppedLinksGoToTheMainWindow()
{
    build({"x"});
    QSignalSpy dropped(m_view, &ChartsView::droppedFiles);
    const QPoint at = m_view->viewport()->rect().center();
    QMimeData text;
    text.setText(QStringLiteral("plain"));
    QDragEnterEvent refused(at, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(m_view->viewport(), &refused);
    QVERIFY(!refused.isAccepted());

    QMimeData links;
    const QList<QUrl> urls = {QUrl(QStringLiteral("https://example.org/a")),
                              QUrl::fromLocalFile(QStringLiteral("/tmp/plan.tv"))};
    links.setUrls(urls);
    QDragEnterEvent enter(at, Qt::CopyAction, &links, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(m_view->viewport(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &links, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(m_view->viewport(), &drop);
    QCOMPARE(dropped.count(), 1);
    QCOMPARE(dropped.first().at(0).value<QList<QUrl>>(), urls);
    QCOMPARE(dropped.first().at(1).toInt(), -1);
    QVERIFY(dropped.first().at(2).value<QList<PropertyIndexAndValue>>().isEmpty());
}

void TestChartsView::chartsGoneLeaveNothingToExport_data()
{
    QTest::addColumn<PlanEdit>("edit");
    QTest::addColumn<QString>("hint");
    QTest::newRow("By property deleted")
        << PlanEdit([](Document &plan) { plan.deleteProperties({Group}, true); })
        << "Add properties";
    QTest::newRow("By unset") << PlanEdit([](Document &plan) { plan.setChartByProperty(0, true); })
                              << "Set the 'Display>By' field in the left pane";
    QTest::newRow("Show unset") << PlanEdit([](Document &plan) {
        plan.setChartShowProperty(0, true);
    }) << "Set the 'Display>Show' field in the left pane";
    QTest::newRow("plan without charts") << PlanEdit([](Document &plan) {
        plan.setChartByProperty(0, false);
        plan.emitChanged(EventType::AllChanged);
    }) << "Set the 'Display>By' field in the left pane";
    // A chart for each of more predefined values than the pane draws charts.
    QTest::newRow("Per past the charts drawn") << PlanEdit([](Document &plan) {
        QStringList values;
        for (qint64 i = 0; i <= ChartsLayouter::maximumCharts; ++i)
            values.append(QString::number(i));
        const int many = addProperty(plan, QStringLiteral("Many"), PropertyType::Text, values);
        plan.setChartPerProperty(many, true);
    }) << "Too many charts and bars to draw: choose other properties";
}

// Once nothing is left to chart, or more than the pane draws, the pane is what a pane that
// never showed a chart is: a scene without a rectangle, which exports take for nothing to
// export, seen unscaled, with no chart zoomed and no zoom cursor left; its hint says why.
void TestChartsView::chartsGoneLeaveNothingToExport()
{
    QFETCH(PlanEdit, edit);
    QFETCH(QString, hint);
    build({"x", "y", "z"});
    QCOMPARE(m_view->hintText(), QString());
    clickAt(chartPoint(1));
    QVERIFY(m_view->zoomedChart());
    QVERIFY(m_scene->sceneRect().width() >= 1);
    QVERIFY(!m_view->transform().isIdentity());

    edit(*doc());

    QCOMPARE(m_scene->chartCount(), 0);
    QCOMPARE(m_scene->sceneRect(), ChartsScene(doc()).sceneRect());
    QVERIFY(m_scene->sceneRect().width() < 1);
    QVERIFY(m_view->transform().isIdentity());
    QVERIFY(!m_view->zoomedChart());
    QVERIFY(!overrideCursor());
    QCOMPARE(m_view->hintText(), hint);
}

TAVROLO_TEST_MAIN(TestChartsView)
#include "tst_chartsview.moc"
