// The main window on the project's large plan (30 properties) at 10,000 and 100,000 cards, as
// a user meets it: the window shown on the Cards tab, the animation on, each command timed
// until the Cards view has painted its result. Each size runs in processes of its own, so that
// the peak memory of opening is the opening's own.
//  - open: from building the window, which opens the plan, until the shown Cards view has
//    painted for the first time; with the process's peak memory at that moment;
//  - a letter typed into the Cards filter, from the end of the pauses until painted (the
//    letter hides every card), and clearing it again (every card comes back);
//  - Swap X/Y from the toolbar, until painted;
//  - one card dragged by the mouse into the next column, from the release until painted;
//  - Undo of one value edit, until painted;
//  - then the Table tab shown for the first time, until painted, for the record: the table is
//    built when it is first shown.
// After each re-layout that animates, the longest the window then stopped answering (one turn
// of the event loop) is printed too: the animation's own work and its clean-up.
// Run from the build folder: QT_QPA_PLATFORM=offscreen bench/bench_window. The offscreen
// screen is 800 x 600 pixels, and the window fits it; for the figures of a larger screen run it
// under xvfb-run -s "-screen 0 1400x900x24" with QT_QPA_PLATFORM=xcb.

#include "BenchTools.h"
#include "PaintCounter.h"
#include "app/MainWindow.h"
#include "app/StartupRules.h"
#include "cards/CardItem.h"
#include "cards/CardsScene.h"
#include "cards/CardsView.h"
#include "common/app/Accessors.h"
#include "common/widgets/DelayedEditLineEdit.h"
#include "common/widgets/Settings.h"
#include "harness/TestMain.h"
#include "leftpane/CardsFilterWidget.h"
#include "model/Document.h"
#include "table/TableView.h"

#include <algorithm>

#include <QAction>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

namespace {

const int largeProperties = 30;
const int sizes[] = {10000, 100000};
// Opening is timed in this many fresh processes of each size.
const int openRuns = 3;
const char planVariable[] = "TAVROLO_BENCH_WINDOW_PLAN";
const char stepVariable[] = "TAVROLO_BENCH_WINDOW_STEP";
const int waitLimitMs = 300000;

using BenchTools::print;
const BenchTools::MsReport report {46, 1};

QString sizeName(int cards)
{
    return QStringLiteral("%1k").arg(cards / 1000);
}

// A target given for 100,000 cards only; the figure at 10,000 is printed for the growth.
double at100k(int cards, double target)
{
    return cards >= 100000 ? target : 0;
}

// Lets a running layout animation end and the event loop delete what it let go, so that the
// next command starts from a quiet window. Returns the longest the event loop was busy with
// one turn meanwhile: how long the window stopped answering after the command had painted.
class Settler : public QObject
{
public:
    explicit Settler(CardsScene *scene)
    {
        connect(scene, &CardsScene::animationStarted, this, [this] { ++m_started; });
        connect(scene, &CardsScene::animationFinished, this, [this] { ++m_finished; });
    }

    double settle()
    {
        double longest = 0;
        QElapsedTimer timer;
        timer.start();
        const auto turn = [&](auto work) {
            QElapsedTimer one;
            one.start();
            work();
            longest = std::max(longest, one.nsecsElapsed() / 1e6);
        };
        while (m_finished < m_started && timer.elapsed() < waitLimitMs)
            turn([] { QCoreApplication::processEvents(QEventLoop::AllEvents, 10); });
        turn([] { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); });
        turn([] { QCoreApplication::processEvents(); });
        return longest;
    }

private:
    int m_started = 0;
    int m_finished = 0;
};

void presetSettings(const QString &plan)
{
    settings()->clear();
    settings()->setValue(samplesOfferKey(), 1);
    settings()->setValue(Settings::installPageKey(), false);
    settings()->write(Settings::Key::LastPlan, plan);
}

double median(QVector<double> figures)
{
    std::sort(figures.begin(), figures.end());
    return figures.at(figures.size() / 2);
}

// The window of the plan, shown and painted once.
struct ShownWindow
{
    explicit ShownWindow(const QString &plan)
    {
        presetSettings(plan);
        window.reset(new MainWindow);
        view = window->findChild<CardsView *>();
        scene = view->cardsScene();
        paints.reset(new PaintCounter(view->viewport()));
        settler.reset(new Settler(scene));
        window->resize(1400, 900);
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            qWarning("the window was not shown");
        paints->waitBeyond(0);
        settler->settle();
        // The window completes its start-up a quarter of a second after it was built, and looks
        // for updates three quarters of a second later: both are over before a command is timed.
        QTest::qWait(1500);
        settler->settle();
    }

    QAction *action(const char *name) const { return window->findChild<QAction *>(name); }

    // Runs the command, then the event loop until the Cards view has painted; milliseconds.
    template<typename Command>
    double untilPainted(Command command)
    {
        const int before = paints->count;
        QElapsedTimer timer;
        timer.start();
        command();
        if (!paints->waitBeyond(before))
            qWarning("the Cards view did not paint");
        return timer.nsecsElapsed() / 1e6;
    }

    void mouse(QEvent::Type type, const QPoint &point, Qt::MouseButton button,
               Qt::MouseButtons buttons)
    {
        QWidget *viewport = view->viewport();
        QMouseEvent event(type, point, viewport->mapToGlobal(point), button, buttons,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &event);
    }

    std::unique_ptr<MainWindow> window;
    CardsView *view = nullptr;
    CardsScene *scene = nullptr;
    std::unique_ptr<PaintCounter> paints;
    std::unique_ptr<Settler> settler;
};

} // namespace

class BenchWindow : public QObject
{
    Q_OBJECT
private slots:
    void largePlansInFreshProcesses();
    void openToPaintedCards();
    void commands();
};

void BenchWindow::largePlansInFreshProcesses()
{
    if (!qEnvironmentVariableIsEmpty(stepVariable))
        QSKIP("a child process runs one step");
    QTemporaryDir folder;
    for (const int cards : sizes) {
        const QString plan = folder.filePath(QStringLiteral("Large%1.tv").arg(cards));
        QVERIFY(BenchTools::writeLargePlan(plan, cards, largeProperties));
        print(QStringLiteral("%1: %2 cards x %3 properties, %4 MB on disk")
                  .arg(sizeName(cards))
                  .arg(cards)
                  .arg(largeProperties)
                  .arg(QFileInfo(plan).size() / 1e6, 0, 'f', 1));
        qputenv(planVariable, plan.toUtf8());
        // No arguments: the window would take a test function's name for a plan to open.
        qputenv(stepVariable, "open");
        for (int run = 0; run < openRuns; ++run)
            QCOMPARE(BenchTools::runChild({}), 0);
        qputenv(stepVariable, "commands");
        QCOMPARE(BenchTools::runChild({}), 0);
        QFile::remove(plan);
    }
    qunsetenv(planVariable);
    qunsetenv(stepVariable);
}

void BenchWindow::openToPaintedCards()
{
    if (qEnvironmentVariable(stepVariable) != QLatin1String("open"))
        QSKIP("run by largePlansInFreshProcesses");
    const QString plan = qEnvironmentVariable(planVariable);
    presetSettings(plan);
    QElapsedTimer timer;
    timer.start();
    MainWindow window;
    auto *view = window.findChild<CardsView *>();
    PaintCounter paints(view->viewport());
    window.resize(1400, 900);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(paints.waitBeyond(0));
    const double ms = timer.nsecsElapsed() / 1e6;
    const double peak = BenchTools::peakMebibytes();
    const int cards = doc()->taskCount();
    report(QStringLiteral("%1: open to the first painted Cards view").arg(sizeName(cards)), ms,
           cards >= 100000 ? 2000 : 400);
    print(QStringLiteral("%1:   peak memory %2 MiB (target %3 MiB); window %4 x %5")
              .arg(sizeName(cards))
              .arg(peak, 0, 'f', 0)
              .arg(cards >= 100000 ? 600 : 150)
              .arg(window.width())
              .arg(window.height()));
}

void BenchWindow::commands()
{
    if (qEnvironmentVariable(stepVariable) != QLatin1String("commands"))
        QSKIP("run by largePlansInFreshProcesses");
    ShownWindow shown(qEnvironmentVariable(planVariable));
    const int cards = doc()->taskCount();
    const QString n = sizeName(cards);
    const int runs = cards >= 100000 ? 3 : BenchTools::Runs;

    // A letter in the Cards filter. The field reports it after one pause and the section
    // applies it after another; both are cut short here, and the time runs from there.
    auto *filter = shown.window->findChild<CardsFilterWidget *>();
    auto *field = filter->findChild<DelayedEditLineEdit *>(QStringLiteral("m_basicLineEdit"));
    const auto typeAndApply = [&](const QString &text) {
        field->setText(text);
        field->flush();
        for (QTimer *pause :
             filter->findChildren<QTimer *>(QString(), Qt::FindDirectChildrenOnly)) {
            if (pause->isActive())
                pause->start(0);
        }
    };
    QVector<double> hiding;
    QVector<double> hidingStalls;
    QVector<double> showing;
    QVector<double> showingStalls;
    for (int run = 0; run < runs; ++run) {
        hiding.append(shown.untilPainted([&] { typeAndApply(QStringLiteral("z")); }));
        QVERIFY(doc()->filteredOutTaskCount() == cards);
        hidingStalls.append(shown.settler->settle());
        showing.append(shown.untilPainted([&] { typeAndApply(QString()); }));
        QVERIFY(doc()->filteredOutTaskCount() == 0);
        showingStalls.append(shown.settler->settle());
    }
    // A whole re-layout until painted, held to the target of Swap X/Y.
    report(QStringLiteral("%1: filter letter hiding every card").arg(n), median(hiding),
           at100k(cards, 1500));
    report(QStringLiteral("%1:   longest stall after painting").arg(n), median(hidingStalls));
    report(QStringLiteral("%1: filter cleared, every card back").arg(n), median(showing),
           at100k(cards, 1500));
    report(QStringLiteral("%1:   longest stall after painting").arg(n), median(showingStalls));

    QAction *swap = shown.action("m_viewTransposeAction");
    QVERIFY(swap->isEnabled());
    QVector<double> swaps;
    QVector<double> swapStalls;
    for (int run = 0; run < runs; ++run) {
        swaps.append(shown.untilPainted([&] { swap->trigger(); }));
        swapStalls.append(shown.settler->settle());
    }
    report(QStringLiteral("%1: Swap X/Y until painted").arg(n), median(swaps), at100k(cards, 1500));
    report(QStringLiteral("%1:   longest stall after painting").arg(n), median(swapStalls));
    if (doc()->xProperty() != 1)
        swap->trigger();
    shown.settler->settle();

    // One card of the first row dragged into the next column, close enough to see the cards;
    // the release writes its value and lays the plan out again.
    CardsView *view = shown.view;
    CardsScene *scene = shown.scene;
    view->zoomTo(0.05);
    QVector<double> drags;
    QVector<double> dragStalls;
    for (int run = 0; run < runs; ++run) {
        const TaskIndex task = scene->layouter().orderedCell(run, 0).value(0, -1);
        QVERIFY(task >= 0);
        const QPointF from = scene->cardItemForTask(task)->sceneBoundingRect().center();
        const QPointF to(scene->columnRect(run + 1, false).center().x(), from.y());
        view->centerOn((from + to) / 2);
        QCoreApplication::processEvents();
        const QPoint press = view->mapFromScene(from);
        const QPoint release = view->mapFromScene(to);
        shown.mouse(QEvent::MouseMove, press, Qt::NoButton, Qt::NoButton);
        shown.mouse(QEvent::MouseButtonPress, press, Qt::LeftButton, Qt::LeftButton);
        for (int step = 1; step <= 10; ++step)
            shown.mouse(QEvent::MouseMove, press + (release - press) * step / 10, Qt::NoButton,
                        Qt::LeftButton);
        drags.append(shown.untilPainted([&] {
            shown.mouse(QEvent::MouseButtonRelease, release, Qt::LeftButton, Qt::NoButton);
        }));
        QCOMPARE(doc()->value(task, 1), scene->columnValues().value(run + 1));
        dragStalls.append(shown.settler->settle());
    }
    report(QStringLiteral("%1: one-card drag, release until painted").arg(n), median(drags),
           at100k(cards, 200));
    report(QStringLiteral("%1:   longest stall after painting").arg(n), median(dragStalls));
    shown.action("m_viewZoomFitAction")->setChecked(true);
    shown.settler->settle();

    // Undo of one value edit, the edit made as the Table makes it.
    QAction *undo = shown.action("m_editUndoAction");
    QVector<double> undos;
    for (int run = 0; run < runs; ++run) {
        QString text = QStringLiteral("Changed %1").arg(run);
        doc()->setValue(run * 37 % cards, largeProperties, text, true);
        shown.settler->settle();
        QVERIFY(undo->isEnabled());
        undos.append(shown.untilPainted([&] { undo->trigger(); }));
        shown.settler->settle();
    }
    report(QStringLiteral("%1: undo of one value until painted").arg(n), median(undos),
           cards >= 100000 ? 1000 : 100);

    auto *table = shown.window->findChild<TableView *>();
    PaintCounter tablePaints(table->viewport());
    QElapsedTimer timer;
    timer.start();
    shown.window->findChild<QTabWidget *>(QStringLiteral("m_tabWidget"))->setCurrentIndex(2);
    QVERIFY(tablePaints.waitBeyond(0));
    report(QStringLiteral("%1: Table tab first shown, until painted").arg(n),
           timer.nsecsElapsed() / 1e6);
    QCOMPARE(table->rowCount(), cards);
}

TAVROLO_TEST_MAIN(BenchWindow)
#include "bench_window.moc"
