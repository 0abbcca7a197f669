#include "cards/CardItem.h"
#include "cards/CardsLayouter.h"
#include "cards/CardsScene.h"
#include "common/Accessors.h"
#include "harness/TestMain.h"
#include "model/Document.h"
#include "storage/PlanFileReader.h"

#include <algorithm>

#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTextStream>

namespace {

const int largeCards = 10000;
const int largeProperties = 30;
const int runs = 7;

void print(const QString &line)
{
    QTextStream(stdout) << line << Qt::endl;
}

// The median of a few runs, in milliseconds.
template<typename Work>
double medianMs(Work work, int count = runs)
{
    QVector<double> figures;
    for (int i = 0; i < count; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        figures.append(timer.nsecsElapsed() / 1e6);
    }
    std::sort(figures.begin(), figures.end());
    return figures.at(figures.size() / 2);
}

// A target of 0 is a figure printed for information.
void report(const QString &what, double ms, double target = 0)
{
    const QString goal
        = target > 0 ? QStringLiteral(" (target %1 ms)").arg(target, 0, 'f', 0) : QString();
    print(QStringLiteral("%1: %2 ms%3").arg(what, -44).arg(ms, 0, 'f', 1).arg(goal));
}

// 10,000 cards of 30 properties: X a text of 50 values, Y a number binned into 10 rows, a card
// colour by X, a marker, two text rows and the card count as total; the rest hidden.
void fillLargePlan(Document &plan)
{
    plan.clear(false);
    for (int p = 1; p <= largeProperties; ++p) {
        const int visibility = p <= 2 ? PropertyVisibility::Text
            : p == 3                  ? PropertyVisibility::Circle
            : p == 4                  ? PropertyVisibility::BoldText
                                      : PropertyVisibility::Hidden;
        plan.addProperty(QStringLiteral("P%1").arg(p), QString(),
                         p == 2 ? PropertyType::Numeric : PropertyType::Text, {}, visibility,
                         PropertyAppearance(), false);
    }
    plan.editablePropertyAppearance(2).setBinSize(100);
    for (TaskIndex t = 0; t < largeCards; ++t) {
        QList<PropertyIndexAndValue> values;
        for (int p = 1; p <= largeProperties; ++p) {
            if (p == 1)
                values.append({p, QStringLiteral("Value %1").arg(t % 50)});
            else if (p == 2)
                values.append({p, QString::number((t * 37) % 1000)});
            else
                values.append({p, QStringLiteral("Card %1 text %2").arg(t).arg(p)});
        }
        plan.addTaskWithValues(values, QString(), {}, -1, false);
    }
    plan.setXProperty(1, false);
    plan.setYProperty(2, false);
    plan.setCardColorProperty(1, false);
    plan.setTotalProperty(plan.propertyCount(), false);
}

QImage renderScene(CardsScene &scene, const QSize &size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing
                           | QPainter::SmoothPixmapTransform);
    scene.render(&painter, QRectF(QPointF(0, 0), size), scene.sceneRect(), Qt::KeepAspectRatio);
    return image;
}

} // namespace

// The Cards grid on a large plan: the layouter alone, the scene's full layout, one value change,
// a search and a full render of the fitted scene. Animation is off, as no view is shown.
// With TAVROLO_CARDS_RENDER_DIR set, renderSamples writes a picture of each sample plan there.
class BenchCards : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void layouterAlone();
    void sceneLayout();
    void renderFittedScene();
    void renderSamples();
};

void BenchCards::initTestCase()
{
    fillLargePlan(*doc());
    print(QStringLiteral("Plan: %1 cards x %2 properties, X text of 50 values, numeric Y")
              .arg(largeCards)
              .arg(largeProperties));
}

void BenchCards::layouterAlone()
{
    CardsLayouter layout;
    report(QStringLiteral("CardsLayouter::layout (bin, size, place, totals)"),
           medianMs([&] { layout.layout(*doc()); }), 30);
    print(QStringLiteral("  %1 columns, %2 rows, %3 cells")
              .arg(layout.columns().count())
              .arg(layout.rows().count())
              .arg(layout.cells().size()));
}

void BenchCards::sceneLayout()
{
    CardsScene scene(doc());
    connect(doc(), &Document::changed, &scene, &CardsScene::onChangedDoc);
    report(QStringLiteral("whole-plan event (10,000 items built, laid out)"),
           medianMs([&] { doc()->emitChanged(EventType::AllChanged); }, 3));
    report(QStringLiteral("CardsScene::binCards"), medianMs([&] { scene.binCards(); }), 30);
    report(QStringLiteral("CardsScene::redraw, nothing moves"), medianMs([&] { scene.redraw(); }),
           150);
    // Every card moves: the X values rotate by one.
    report(QStringLiteral("CardsScene::redraw, every card moves"), medianMs([&] {
               doc()->editablePropertyAppearance(1).setTextOrder(
                   doc()->values(1, 2, true, true, true, false, false).mid(1));
               scene.redraw();
           }),
           150);
    int round = 0;
    report(QStringLiteral("one value change (event 6) laid out"), medianMs([&] {
               QString text = QStringLiteral("Value %1").arg(++round % 50);
               doc()->setValue(17, 1, text, true);
           }),
           50);
    doc()->setSearch(QStringLiteral("Card 12"), false, false);
    report(QStringLiteral("CardsScene::selectMatchingCards"),
           medianMs([&] { scene.selectMatchingCards(); }), 50);
    print(QStringLiteral("  %1 cards selected").arg(scene.selectedTaskIndexes().size()));
    scene.clearSelection();
}

void BenchCards::renderFittedScene()
{
    CardsScene scene(doc());
    doc()->setSearch(QString(), false, false);
    scene.onChangedDoc([] {
        Events events;
        events.add(EventType::AllChanged);
        return events;
    }());
    const QSize size(1600, 1000);
    report(QStringLiteral("render of the fitted scene into 1600x1000"),
           medianMs([&] { renderScene(scene, size); }), 150);
    // A closer look, where text rows are drawn: about 40 cards across.
    const QRectF rect = scene.sceneRect();
    const QRectF closer(rect.topLeft(), QSizeF(rect.width() / 6, rect.width() / 6 * 10 / 16));
    report(QStringLiteral("render of a sixth of the width into 1600x1000"), medianMs([&] {
               QImage image(size, QImage::Format_ARGB32_Premultiplied);
               image.fill(Qt::white);
               QPainter painter(&image);
               scene.render(&painter, QRectF(QPointF(0, 0), size), closer, Qt::KeepAspectRatio);
           }),
           150);
}

void BenchCards::renderSamples()
{
    const QString folder = qEnvironmentVariable("TAVROLO_CARDS_RENDER_DIR");
    if (folder.isEmpty())
        QSKIP("TAVROLO_CARDS_RENDER_DIR names no folder for the pictures");
    QDir(folder).mkpath(QStringLiteral("."));
    const QDir samples(QCoreApplication::applicationDirPath() + QStringLiteral("/../samples"));
    const QStringList plans = samples.entryList({QStringLiteral("*.tv")}, QDir::Files);
    QVERIFY(!plans.isEmpty());
    for (const QString &name : plans) {
        QString error;
        bool newer = false;
        QVERIFY2(readPlanFile(*doc(), samples.filePath(name), &error, &newer), qPrintable(error));
        CardsScene scene(doc());
        scene.onChangedDoc([] {
            Events events;
            events.add(EventType::AllChanged);
            return events;
        }());
        if (CardItem *first = scene.cardItemForTask(0))
            first->setSelected(true);
        const QRectF rect = scene.sceneRect();
        const int width = 1600;
        const QSize size(width, int(width * rect.height() / rect.width()));
        const QString file = QDir(folder).filePath(QFileInfo(name).baseName() + ".png");
        QVERIFY(renderScene(scene, size).save(file));
        print(QStringLiteral("%1: %2 cards, %3 x %4 cells -> %5")
                  .arg(name)
                  .arg(doc()->taskCount())
                  .arg(scene.columnLabels().size())
                  .arg(scene.rowLabels().size())
                  .arg(file));
    }
}

TAVROLO_TEST_MAIN(BenchCards)
#include "bench_cards.moc"
