#include "BenchTools.h"
#include "cards/CardItem.h"
#include "cards/CardsLayouter.h"
#include "cards/CardsScene.h"
#include "cards/CardsView.h"
#include "common/app/Accessors.h"
#include "common/widgets/Settings.h"
#include "harness/TestMain.h"
#include "harness/TestPlanKey.h"
#include "model/Document.h"
#include "storage/PlanFileReader.h"

#include <algorithm>
#include <limits>

#include <QAbstractAnimation>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTimer>

namespace {

const int largeCards = BenchTools::CardsPlanCards;
const int largeProperties = BenchTools::CardsPlanProperties;

using BenchTools::medianMs;
using BenchTools::print;
const BenchTools::MsReport report {44, 1};

// The large plan with a marker, two text rows and the rest hidden.
void fillLargePlan(Document &plan, int cards = largeCards)
{
    BenchTools::fillCardsPlan(
        plan,
        [](int p) {
            return p <= 2 ? PropertyVisibility::Text
                : p == 3  ? PropertyVisibility::Circle
                : p == 4  ? PropertyVisibility::BoldText
                          : PropertyVisibility::Hidden;
        },
        cards);
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

Events wholePlan()
{
    Events events;
    events.add(EventType::AllChanged);
    return events;
}

// The Cards view as the main window shows it, fitted to a viewport of the given size.
struct ShownView
{
    explicit ShownView(const QSize &viewport, bool animate = false) : scene(doc()), view(&scene)
    {
        scene.setAnimate(animate);
        QObject::connect(doc(), &Document::changed, &scene, &CardsScene::onChangedDoc);
        QObject::connect(doc(), &Document::changed, &view, &CardsView::onChangedDoc);
        QObject::connect(&scene, &CardsScene::redrawing, &view, &CardsView::onAutoZoom);
        scene.onChangedDoc(wholePlan());
        view.setFrameShape(QFrame::NoFrame);
        view.resize(viewport);
        view.show();
        if (!QTest::qWaitForWindowExposed(&view))
            qWarning("the view was not shown");
        view.onZoomToFit();
        QCoreApplication::processEvents();
    }

    QImage paint(const QRegion &region = QRegion())
    {
        QImage image(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        view.viewport()->render(&image, QPoint(), region);
        return image;
    }

    void mouse(QEvent::Type type, const QPoint &point, Qt::MouseButton button,
               Qt::MouseButtons buttons)
    {
        QMouseEvent event(type, point, view.viewport()->mapToGlobal(point), button, buttons,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(view.viewport(), &event);
    }

    // Right-clicks the column's header and chooses the entry of its menu.
    void chooseFromColumnMenu(int column, const QString &entry)
    {
        const CardsLayouter::Axis &columns = scene.layouter().columns();
        const QPoint header
            = view.mapFromScene(QPointF(columns.startOf(column) + columns.spans.value(column) / 2.0,
                                        -doc()->cardsHeaderSize() / 2.0));
        QTimer::singleShot(0, [entry] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            if (!menu)
                return;
            const QList<QAction *> actions = menu->actions();
            for (QAction *action : actions) {
                if (action->text() == entry)
                    menu->setActiveAction(action);
            }
            QTest::keyClick(menu, Qt::Key_Return);
        });
        mouse(QEvent::MouseButtonPress, header, Qt::RightButton, Qt::RightButton);
        mouse(QEvent::MouseButtonRelease, header, Qt::RightButton, Qt::NoButton);
    }

    CardsScene scene;
    CardsView view;
};

// Adds up the areas the viewport is asked to repaint.
class PaintedArea : public QObject
{
public:
    explicit PaintedArea(QWidget *viewport) : m_viewport(viewport)
    {
        viewport->installEventFilter(this);
    }

    // The share of the viewport repainted since the last call, after pending updates ran.
    double take()
    {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        const double share = m_pixels / double(m_viewport->width() * m_viewport->height());
        m_pixels = 0;
        return share;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_viewport && event->type() == QEvent::Paint) {
            for (const QRect &rect : static_cast<QPaintEvent *>(event)->region())
                m_pixels += double(rect.width()) * rect.height();
        }
        return false;
    }

private:
    QWidget *m_viewport;
    double m_pixels = 0;
};

// Counts the paints of the viewport.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget *viewport) : m_viewport(viewport)
    {
        viewport->installEventFilter(this);
    }
    int count = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_viewport && event->type() == QEvent::Paint)
            ++count;
        return false;
    }

private:
    QWidget *m_viewport;
};

QString cardCount(int cards)
{
    return cards >= 1000 ? QStringLiteral("%1k").arg(cards / 1000) : QString::number(cards);
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
    void paintFittedView();
    void repaintOnlyWhatChanged();
    void searchChange();
    void cardMenuLinks();
    void deleteLargeColumn();
    void largePlans_data();
    void largePlans();
    void longTexts();
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
               doc()
                   ->editablePropertyAppearance(1, TestPlanKey::key())
                   .setTextOrder(doc()->values(1).mid(1));
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

void BenchCards::paintFittedView()
{
    doc()->setSearch(QString(), false, false);
    ShownView shown(QSize(1600, 1000));
    print(QStringLiteral("  fitted at scale %1: %2 columns, %3 rows")
              .arg(shown.view.currentScale(), 0, 'f', 4)
              .arg(shown.scene.columnLabels().size())
              .arg(shown.scene.rowLabels().size()));
    report(QStringLiteral("full repaint of the fitted view, 1600x1000"),
           medianMs([&] { shown.paint(); }), 200);
    // Grid, headers and totals are painted per exposure: a small one visits what meets it.
    const QRect middle(750, 450, 100, 100);
    report(QStringLiteral("repaint of 100x100 pixels of it"),
           medianMs([&] { shown.paint(middle); }));
    // Closer, where card text and header text are drawn.
    shown.view.zoomTo(0.1);
    report(QStringLiteral("full repaint at scale 0.1"), medianMs([&] { shown.paint(); }), 200);
    shown.view.zoomTo(1.0);
    report(QStringLiteral("full repaint at scale 1"), medianMs([&] { shown.paint(); }), 200);
    shown.view.onMagnifyUnderCursor(true);
    shown.mouse(QEvent::MouseMove, QPoint(800, 500), Qt::NoButton, Qt::NoButton);
    report(QStringLiteral("full repaint at scale 1 with the lens"),
           medianMs([&] { shown.paint(); }), 200);
}

void BenchCards::repaintOnlyWhatChanged()
{
    doc()->setSearch(QString(), false, false);
    ShownView shown(QSize(1600, 1000));
    CardsView &view = shown.view;
    PaintedArea painted(view.viewport());
    painted.take();
    const auto report = [](const QString &what, double share) {
        print(
            QStringLiteral("%1: %2 % of the viewport").arg(what, -44).arg(share * 100, 0, 'f', 2));
    };
    // The first card of the second column, and an empty spot of the cell beside it.
    QList<TaskIndex> cards = shown.scene.layouter().orderedCell(1, 0);
    QVERIFY(!cards.isEmpty());
    const CardItem *card = shown.scene.cardItemForTask(cards.first());
    const QPoint onCard = view.mapFromScene(card->sceneBoundingRect().center());
    shown.mouse(QEvent::MouseMove, onCard, Qt::NoButton, Qt::NoButton);
    report(QStringLiteral("hover onto a card"), painted.take());
    shown.mouse(QEvent::MouseButtonPress, onCard, Qt::LeftButton, Qt::LeftButton);
    shown.mouse(QEvent::MouseButtonRelease, onCard, Qt::LeftButton, Qt::NoButton);
    report(QStringLiteral("click on it (selected, laid out again)"), painted.take());
    shown.mouse(QEvent::MouseButtonPress, onCard, Qt::LeftButton, Qt::LeftButton);
    for (int step = 1; step <= 5; ++step)
        shown.mouse(QEvent::MouseMove, onCard + QPoint(0, 4 * step), Qt::NoButton, Qt::LeftButton);
    report(QStringLiteral("drag it a few pixels"), painted.take());
    // Dropped into another cell of the numeric Y, it asks for the value; cancelled, it glides back.
    answerNextModal(QStringLiteral("Cancel"));
    shown.mouse(QEvent::MouseButtonRelease, onCard + QPoint(0, 20), Qt::LeftButton, Qt::NoButton);
    painted.take();
    view.onMagnifyUnderCursor(true);
    painted.take();
    shown.mouse(QEvent::MouseMove, QPoint(800, 500), Qt::NoButton, Qt::NoButton);
    report(QStringLiteral("pointer move with the magnifier on"), painted.take());
}

void BenchCards::searchChange()
{
    doc()->setSearch(QString(), false, false);
    ShownView shown(QSize(1600, 1000));
    // As the search field reports it: event 15 to the scene and the view, the zoom flag off.
    int round = 0;
    report(QStringLiteral("search change (event 15) selects"), medianMs([&] {
               doc()->setSearch(QStringLiteral("Card 1%1").arg(++round % 10), false, true);
           }),
           50);
    print(QStringLiteral("  %1 cards selected").arg(shown.scene.selectedTaskIndexes().size()));
    doc()->setSearch(QString(), false, true);
}

void BenchCards::cardMenuLinks()
{
    // Every card a link of its own and one they all share: 10,001 distinct links of 20,000.
    const HyperLink shared(QStringLiteral("Home"), QUrl(QStringLiteral("http://home.example/")));
    for (TaskIndex t = 0; t < largeCards; ++t)
        doc()->setTaskLinks(t,
                            {HyperLink(QStringLiteral("Doc %1").arg(t),
                                       QUrl(QStringLiteral("http://docs.example/%1").arg(t))),
                             shared},
                            false);
    ShownView shown(QSize(1600, 1000));
    shown.scene.selectAll();
    QList<HyperLink> links;
    report(QStringLiteral("card menu links of 10,000 selected cards"),
           medianMs([&] { links = shown.view.selectedLinks(); }));
    // The same list as a search of the list collected so far gives, in the same order.
    QList<HyperLink> listed;
    const double listedMs = medianMs(
        [&] {
            listed.clear();
            const QList<CardItem *> selected = shown.scene.cardItems(true, false);
            for (const CardItem *card : selected) {
                const QList<HyperLink> cardLinks = doc()->taskLinks(card->taskIndex());
                for (const HyperLink &link : cardLinks) {
                    if (!listed.contains(link))
                        listed.append(link);
                }
            }
            std::stable_sort(listed.begin(), listed.end());
        },
        1);
    report(QStringLiteral("  the same by searching the list"), listedMs);
    print(QStringLiteral("  %1 distinct links, same order: %2")
              .arg(links.size())
              .arg(links == listed ? QStringLiteral("yes") : QStringLiteral("no")));
    QCOMPARE(links, listed);
    for (TaskIndex t = 0; t < largeCards; ++t)
        doc()->setTaskLinks(t, {}, false);
}

void BenchCards::deleteLargeColumn()
{
    // Every other card moves to one column of X: 5,000 cards.
    QList<Document::ValueChange> changes;
    for (TaskIndex t = 0; t < largeCards; t += 2)
        changes.append({{t, 1}, QStringLiteral("Half")});
    doc()->setValues(changes, false);
    doc()->setSearch(QString(), false, false);
    ShownView shown(QSize(1600, 1000));
    settings()->write(Settings::Key::ShowWarningDelCol, false);
    const int column = shown.scene.columnLabels().indexOf(QStringLiteral("Half"));
    QVERIFY(column >= 0);
    int deleteCalls = 0;
    int deleted = 0;
    int layouts = 0;
    const QMetaObject::Connection counting = connect(
        doc(), &Document::changed, this, [&](const Events &events) {
            if (!events.events.isEmpty() && events.events.first().type == EventType::TasksDeleted) {
                ++deleteCalls;
                deleted += events.events.size();
            }
        });
    connect(&shown.scene, &CardsScene::redrawing, [&] { ++layouts; });
    shown.chooseFromColumnMenu(column, QStringLiteral("Delete Column"));
    QElapsedTimer timer;
    timer.start();
    QCoreApplication::sendPostedEvents(&shown.view, 0);
    report(QStringLiteral("delete a column of 5,000 cards"), timer.nsecsElapsed() / 1e6);
    print(QStringLiteral("  %1 deleteTasks call(s) for %2 cards, %3 layout(s), %4 cards left")
              .arg(deleteCalls)
              .arg(deleted)
              .arg(layouts)
              .arg(doc()->taskCount()));
    QCOMPARE(deleteCalls, 1);
    QCOMPARE(layouts, 1);
    disconnect(counting);
}

void BenchCards::largePlans_data()
{
    QTest::addColumn<int>("cards");
    QTest::newRow("10k") << 10000;
    QTest::newRow("100k") << 100000;
}

// A shown view with the animation on, on plans of 10,000 and 100,000 cards: the growth between
// the two shows whether each figure is linear.
void BenchCards::largePlans()
{
    QFETCH(int, cards);
    const bool large = cards > 50000;
    const int runs = large ? 3 : BenchTools::Runs;
    fillLargePlan(*doc(), cards);
    doc()->setSearch(QString(), false, false);
    const QString n = cardCount(cards);
    print(QStringLiteral("Plan: %1 cards x %2 properties").arg(cards).arg(largeProperties));
    ShownView shown(QSize(1600, 1000), true);
    CardsScene &scene = shown.scene;
    CardsView &view = shown.view;
    QCoreApplication::processEvents();

    // Every card moves (the X values rotate by one), animated: the layout with the set-up of
    // the animation, then, once it has run, the clean-up of what it left. The animation limit
    // is lifted here, so that the growth shows at both sizes.
    const auto rotateColumns = [] {
        doc()
            ->editablePropertyAppearance(1, TestPlanKey::key())
            .setTextOrder(doc()->values(1).mid(1));
    };
    scene.setAnimationLimit(std::numeric_limits<int>::max());
    PaintCounter frames(view.viewport());
    QVector<double> setUps;
    QVector<double> cleanUps;
    QVector<double> rates;
    for (int run = 0; run < runs; ++run) {
        rotateColumns();
        QSignalSpy finished(&scene, &CardsScene::animationFinished);
        frames.count = 0;
        QElapsedTimer timer;
        timer.start();
        scene.redraw();
        setUps.append(timer.nsecsElapsed() / 1e6);
        if (finished.isEmpty())
            QVERIFY(finished.wait(120000));
        const double seconds = timer.nsecsElapsed() / 1e9;
        rates.append(frames.count / seconds);
        timer.restart();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        cleanUps.append(timer.nsecsElapsed() / 1e6);
    }
    std::sort(setUps.begin(), setUps.end());
    std::sort(cleanUps.begin(), cleanUps.end());
    std::sort(rates.begin(), rates.end());
    const double setUp = setUps.at(runs / 2);
    const double cleanUp = cleanUps.at(runs / 2);
    report(QStringLiteral("%1: animated re-layout, set-up").arg(n), setUp);
    report(QStringLiteral("%1:   clean-up after it ran").arg(n), cleanUp);
    report(QStringLiteral("%1:   set-up plus clean-up").arg(n), setUp + cleanUp, large ? 300 : 30);
    print(QStringLiteral("%1:   frames painted in the fitted view: %2 per second")
              .arg(n)
              .arg(rates.at(runs / 2), 0, 'f', 1));

    // One frame of that animation, stepped by hand: the update of every moving card with the
    // index catching up, and with the repaint of the fitted view. The limit above which a
    // layout is not animated comes from the first: updating the cards may take half of a frame
    // at 30 frames a second, the other half is left for painting.
    rotateColumns();
    scene.redraw();
    auto *animation = scene.findChild<QAbstractAnimation *>();
    QVERIFY(animation);
    animation->pause();
    int frame = 0;
    const double update = medianMs([&] {
        animation->setCurrentTime(++frame * 20);
        scene.items(QRectF(0, 0, 1, 1));
    });
    report(QStringLiteral("%1:   one frame, the cards' update").arg(n), update);
    print(QStringLiteral("%1:   cards updated in half a frame at 30 per second: %2 (limit %3)")
              .arg(n)
              .arg(int(1000.0 / 60 / update * cards))
              .arg(CardsScene::DefaultAnimationLimit));
    report(QStringLiteral("%1:   one frame, update and repaint").arg(n), medianMs([&] {
               animation->setCurrentTime(++frame * 20);
               view.viewport()->repaint();
           }));
    animation->setCurrentTime(animation->duration());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    scene.setAnimationLimit(CardsScene::DefaultAnimationLimit);
    // Beyond the limit every card takes its place at once.
    rotateColumns();
    report(QStringLiteral("%1: re-layout, every card moves, as shown").arg(n),
           medianMs(
               [&] {
                   scene.redraw();
                   QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
               },
               [&] {
                   rotateColumns();
                   QSignalSpy done(&scene, &CardsScene::animationFinished);
                   done.wait(2000);
               },
               runs));
    QSignalSpy placed(&scene, &CardsScene::animationFinished);
    placed.wait(2000);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // Grid, headers and cards under a small exposure of the fitted view.
    const QRect middle(750, 450, 100, 100);
    report(QStringLiteral("%1: repaint of 100x100 pixels, fitted").arg(n),
           medianMs([&] { shown.paint(middle); }, 15), 5);
    // The same in this thread's processor time, which the machine's other work hardly changes.
    QVector<double> cpu;
    for (int run = 0; run < 15; ++run) {
        const double before = BenchTools::threadMilliseconds();
        shown.paint(middle);
        cpu.append(BenchTools::threadMilliseconds() - before);
    }
    std::sort(cpu.begin(), cpu.end());
    report(QStringLiteral("%1:   in processor time").arg(n), cpu.at(cpu.size() / 2), 5);

    // One card dragged from its cell into the next column, as the mouse does it; the release
    // writes its value and lays the plan out again. Close enough to see the cards.
    view.zoomTo(0.05);
    const TaskIndex task = scene.layouter().orderedCell(1, 0).value(0, -1);
    QVERIFY(task >= 0);
    const QPointF from = scene.cardItemForTask(task)->sceneBoundingRect().center();
    const QPointF to = scene.columnRect(2, false).center();
    const QPointF target(to.x(), from.y());
    view.centerOn((from + target) / 2);
    QCoreApplication::processEvents();
    const QPoint press = view.mapFromScene(from);
    const QPoint release = view.mapFromScene(target);
    shown.mouse(QEvent::MouseMove, press, Qt::NoButton, Qt::NoButton);
    shown.mouse(QEvent::MouseButtonPress, press, Qt::LeftButton, Qt::LeftButton);
    for (int step = 1; step <= 10; ++step)
        shown.mouse(QEvent::MouseMove, press + (release - press) * step / 10, Qt::NoButton,
                    Qt::LeftButton);
    QElapsedTimer timer;
    timer.start();
    shown.mouse(QEvent::MouseButtonRelease, release, Qt::LeftButton, Qt::NoButton);
    const double laidOut = timer.nsecsElapsed() / 1e6;
    view.viewport()->repaint();
    report(QStringLiteral("%1: one-card drag, release to laid out").arg(n), laidOut, 200);
    report(QStringLiteral("%1:   and to painted at scale 0.05").arg(n), timer.nsecsElapsed() / 1e6);
    QCOMPARE(doc()->value(task, 1), scene.columnValues().value(2));
    QSignalSpy settled(&scene, &CardsScene::animationFinished);
    settled.wait(5000);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // Swap X/Y, as the layout section does it, until the view has painted the new grid.
    view.onZoomToFit();
    QCoreApplication::processEvents();
    const double swapMs = medianMs(
        [&] {
            doc()->swapXY(true);
            view.viewport()->repaint();
        },
        [&] {
            QSignalSpy done(&scene, &CardsScene::animationFinished);
            done.wait(1000);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        },
        runs);
    report(QStringLiteral("%1: swap X/Y until painted").arg(n), swapMs, 1500);
}

// A plan whose texts are 40,000 characters long (the X values and a bold row of every card)
// opens in the Cards view as quickly as the same plan with texts a little too long for the
// cards: eliding costs the same few text layouts whatever the length. The plan with short
// texts, which fit without eliding, is there for comparison; a card showing a long text
// paints at once.
void BenchCards::longTexts()
{
    const int cards = 2000;
    for (const int length : {0, 100, 40000}) {
        fillLargePlan(*doc(), cards);
        if (length > 0) {
            const QString filler(length, QLatin1Char('x'));
            QStringList columns;
            for (int value = 0; value < 50; ++value)
                columns.append((QStringLiteral("Value %1 ").arg(value) + filler).left(length));
            const QString card = (QStringLiteral("Card text ") + filler).left(length);
            QList<Document::ValueChange> changes;
            for (TaskIndex t = 0; t < cards; ++t) {
                changes.append({{t, 1}, columns.at(t % 50)});
                changes.append({{t, 4}, card});
            }
            doc()->setValues(changes, false);
        }
        doc()->setSearch(QString(), false, false);
        const QString what = length > 0 ? QStringLiteral("%1-character texts").arg(length)
                                        : QStringLiteral("short texts");
        QElapsedTimer timer;
        timer.start();
        ShownView shown(QSize(1600, 1000));
        shown.view.viewport()->repaint();
        report(QStringLiteral("2k cards, %1: shown and painted").arg(what),
               timer.nsecsElapsed() / 1e6);
        report(QStringLiteral("  repaint of the fitted view"),
               medianMs([&] { shown.view.viewport()->repaint(); }));
        // One card at scale 1, where its text rows are drawn.
        shown.view.zoomTo(1.0);
        const CardItem *card = shown.scene.cardItemForTask(0);
        shown.view.centerOn(card);
        QCoreApplication::processEvents();
        const QRect area = shown.view.mapFromScene(card->sceneBoundingRect()).boundingRect();
        report(QStringLiteral("  one card of them painted at scale 1"),
               medianMs([&] { shown.paint(area); }), length > 1000 ? 20 : 0);
    }
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
        // As the Cards tab shows it: the view paints grid, headers and totals around the scene.
        ShownView shown(QSize(1600, 1000));
        if (CardItem *first = shown.scene.cardItemForTask(0))
            first->setSelected(true);
        const QString file = QDir(folder).filePath(QFileInfo(name).baseName() + ".png");
        QVERIFY(shown.paint().save(file));
        print(QStringLiteral("%1: %2 cards, %3 x %4 cells -> %5")
                  .arg(name)
                  .arg(doc()->taskCount())
                  .arg(shown.scene.columnLabels().size())
                  .arg(shown.scene.rowLabels().size())
                  .arg(file));
    }
}

TAVROLO_TEST_MAIN(BenchCards)
#include "bench_cards.moc"
