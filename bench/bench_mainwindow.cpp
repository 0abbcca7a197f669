#include "BenchTools.h"
#include "app/MainWindow.h"
#include "app/StartupRules.h"
#include "cards/CardItem.h"
#include "cards/CardsScene.h"
#include "cards/CardsView.h"
#include "common/app/Accessors.h"
#include "common/core/FileHelpers.h"
#include "common/widgets/Settings.h"
#include "harness/TestMain.h"
#include "model/Document.h"
#include "storage/PlanFileReader.h"
#include "storage/PlanFileWriter.h"

#include <algorithm>

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QVector>

namespace {

const int largeCards = 10000;
const int largeProperties = 30;

using BenchTools::medianMs;
using BenchTools::print;
const BenchTools::MsReport report {52, 1};

// Counts the paint events a widget receives.
class PaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

// The main window's plan-file work on a large plan: opening a plan file until the Cards scene
// has laid out every card (the window is not shown yet, so nothing is painted), the same in the
// shown window until the Cards view has painted the plan for the first time, and one autosave
// with the outside-change check and the per-save copy.
class BenchMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void openFileToSceneLaidOut();
    void openFileToCardsViewPainted();
    void autosave();

private:
    QTemporaryDir m_folder;
    QString m_large;
    QString m_small;
    std::unique_ptr<MainWindow> m_window;
};

void BenchMainWindow::initTestCase()
{
    m_large = m_folder.filePath(QStringLiteral("Large.tv"));
    m_small = m_folder.filePath(QStringLiteral("Small.tv"));
    QVERIFY(BenchTools::writeLargePlan(m_large, largeCards, largeProperties));
    QString error;
    QVERIFY(writePlanFile(Document(), m_small, &error));
    settings()->clear();
    settings()->setValue(samplesOfferKey(), 1);
    settings()->setValue(Settings::installPageKey(), false);
    settings()->write(Settings::Key::LastPlan, m_small);
    m_window.reset(new MainWindow);
    print(QStringLiteral("Plan: %1 cards x %2 properties, %3 MB on disk")
              .arg(largeCards)
              .arg(largeProperties)
              .arg(QFileInfo(m_large).size() / 1e6, 0, 'f', 1));
}

void BenchMainWindow::openFileToSceneLaidOut()
{
    Document plan;
    QString error;
    bool later = false;
    report(QStringLiteral("readPlanFile alone"),
           medianMs([&] { readPlanFile(plan, m_large, &error, &later); }, [] {}));

    auto *scene = m_window->findChild<CardsScene *>();
    int wholePlanEvents = 0;
    int layouts = 0;
    const auto countEvents = connect(doc(), &Document::changed, [&](const Events &events) {
        wholePlanEvents += events.containsType(EventType::AllChanged) ? 1 : 0;
    });
    const auto countLayouts = connect(scene, &CardsScene::redrawing, [&] { ++layouts; });
    // Each run starts from the small plan, so the large one is read and laid out whole.
    const double ms = medianMs(
        [&] {
            wholePlanEvents = 0;
            layouts = 0;
            QVERIFY(m_window->openFile(m_large, false));
        },
        [&] { QVERIFY(m_window->openFile(m_small, false)); });
    disconnect(countEvents);
    disconnect(countLayouts);
    report(QStringLiteral("openFile to the Cards scene laid out"), ms, 1000);
    print(QStringLiteral("  per open: %1 whole-plan refresh, %2 scene layout, %3 card items")
              .arg(wholePlanEvents)
              .arg(layouts)
              .arg(scene->cardItems(false, false).size()));
}

// As the user meets it: File > Open in the shown window, until the Cards view has painted the
// new plan once. The paint is delivered by the event loop, as on screen.
void BenchMainWindow::openFileToCardsViewPainted()
{
    m_window->resize(1400, 900);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    auto *view = m_window->findChild<CardsView *>();
    auto *scene = m_window->findChild<CardsScene *>();
    PaintCounter counter;
    view->viewport()->installEventFilter(&counter);
    int wholePlanEvents = 0;
    int layouts = 0;
    const auto countEvents = connect(doc(), &Document::changed, [&](const Events &events) {
        wholePlanEvents += events.containsType(EventType::AllChanged) ? 1 : 0;
    });
    const auto countLayouts = connect(scene, &CardsScene::redrawing, [&] { ++layouts; });
    const auto settle = [] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    };
    QVector<double> cpu;
    const double ms = medianMs(
        [&] {
            const double cpuStart = BenchTools::threadMilliseconds();
            QVERIFY(m_window->openFile(m_large, false));
            QElapsedTimer waiting;
            waiting.start();
            while (counter.paints == 0 && waiting.elapsed() < 10000)
                QCoreApplication::processEvents();
            QVERIFY(counter.paints > 0);
            cpu.append(BenchTools::threadMilliseconds() - cpuStart);
        },
        [&] {
            QVERIFY(m_window->openFile(m_small, false));
            settle();
            wholePlanEvents = 0;
            layouts = 0;
            counter.paints = 0;
        });
    disconnect(countEvents);
    disconnect(countLayouts);
    view->viewport()->removeEventFilter(&counter);
    report(QStringLiteral("openFile to the Cards view painted (shown window)"), ms, 1000);
    std::sort(cpu.begin(), cpu.end());
    report(QStringLiteral("  the same in this thread's CPU time"), cpu.at(cpu.size() / 2));
    print(QStringLiteral("  per open: %1 whole-plan refresh, %2 scene layout")
              .arg(wholePlanEvents)
              .arg(layouts));
    m_window->hide();
    settle();
}

void BenchMainWindow::autosave()
{
    settings()->setBackupEverySaveOn(true);
    QVERIFY(m_window->openFile(m_large, false));
    int change = 0;
    const double ms = medianMs([&] { m_window->onIdleTimeOut(); },
                               [&] {
                                   doc()->setTaskNotes(0, QString::number(++change), true);
                                   QVERIFY(m_window->isWindowModified());
                               });
    QVERIFY(!m_window->isWindowModified());
    report(QStringLiteral("autosave (time check, per-save copy, write)"), ms, 250);
    QString error;
    report(QStringLiteral("  writePlanFile alone"),
           medianMs([&] { writePlanFile(*doc(), m_large, &error); }, [] {}));
    const QString scratch = m_folder.filePath(QStringLiteral("Scratch.tvb"));
    report(QStringLiteral("  copyFile alone"),
           medianMs([&] { copyFile(m_large, scratch, true); }, [] {}));
    const QString copy = QString(m_large).replace(QStringLiteral(".tv"), QStringLiteral(".tvb"));
    print(QStringLiteral("  per-save copy %1 MB").arg(QFileInfo(copy).size() / 1e6, 0, 'f', 1));
}

TAVROLO_TEST_MAIN(BenchMainWindow)
#include "bench_mainwindow.moc"
