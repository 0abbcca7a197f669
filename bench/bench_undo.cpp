#include "BenchTools.h"
#include "app/MainWindow.h"
#include "app/StartupRules.h"
#include "app/UndoHistory.h"
#include "cards/CardsScene.h"
#include "common/app/Accessors.h"
#include "common/widgets/Settings.h"
#include "harness/TestMain.h"
#include "model/Document.h"
#include "tests/storage/PlanSamples.h"

#include <functional>

#include <QAction>
#include <QTemporaryDir>

namespace {

const int largeCards = 10000;
const int largeProperties = 30;
// Snapshots are quick, so more runs steady their median.
const int runs = 15;

using BenchTools::medianMs;
using BenchTools::print;
const BenchTools::MsReport report {56, 3};

// What the event loop does between two commands: the items a layout let go are deleted.
void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// The edits whose undo step is measured, each made without an undo step of its own.
struct Edit
{
    const char *name;
    std::function<void(Document &, int run)> apply;
};

const Edit edits[] = {
    // The last card's value of the last property: the comparison walks the whole column.
    {"one value",
     [](Document &plan, int run) {
         QString text = QStringLiteral("Changed %1").arg(run);
         plan.setValue(largeCards - 1, largeProperties, text, false);
     }},
    {"one card's notes",
     [](Document &plan, int run) {
         plan.setTaskNotes(run * 37 % largeCards, QString::number(run), false);
     }},
    {"a new card", [](Document &plan, int) { plan.addTask(false); }},
    {"the Cards title",
     [](Document &plan, int run) { plan.setCardsTitle(QString::number(run), false); }},
};

} // namespace

// The cost of undo on a large plan: one snapshot, taken before every undoable edit (a copy of
// the plan and its comparison with the newest snapshot), and one restore through the main
// window (the assignment and the whole-plan refresh of the panes), set against a plain
// whole-plan refresh.
class BenchUndo : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void snapshot();
    void restore();

private:
    QTemporaryDir m_folder;
    QString m_large;
};

void BenchUndo::initTestCase()
{
    m_large = m_folder.filePath(QStringLiteral("Large.tv"));
    QVERIFY(BenchTools::writeLargePlan(m_large, largeCards, largeProperties));
    print(QStringLiteral("Plan: %1 cards x %2 properties").arg(largeCards).arg(largeProperties));
}

void BenchUndo::snapshot()
{
    Document plan;
    PlanSamples::fillLargePlan(plan, largeCards, largeProperties);
    for (const Edit &edit : edits) {
        UndoHistory history;
        history.record(plan, QStringLiteral("first"));
        int run = 0;
        // Each snapshot is taken after the edit before it, whose change it has to find.
        const double record = medianMs([&] { history.record(plan, QStringLiteral("Edit")); },
                                       [&] { edit.apply(plan, ++run); }, runs);
        report(QStringLiteral("snapshot after %1 (copy, compare)").arg(edit.name), record, 1);
        const double compare = medianMs([&] { history.noteChanged(plan); },
                                        [&] {
                                            history.record(plan, QStringLiteral("Edit"));
                                            edit.apply(plan, ++run);
                                        },
                                        runs);
        report(QStringLiteral("  comparison after the change"), compare);
        QCOMPARE(history.count(), UndoHistory::capacity);
    }
    UndoHistory history;
    history.record(plan, QStringLiteral("first"));
    report(QStringLiteral("snapshot of an unchanged plan"),
           medianMs([&] { history.record(plan, QStringLiteral("Nothing")); }, [] {}, runs), 1);
}

void BenchUndo::restore()
{
    settings()->clear();
    settings()->setValue(samplesOfferKey(), 1);
    settings()->setValue(Settings::installPageKey(), false);
    settings()->write(Settings::Key::LastPlan, m_large);
    MainWindow window;
    QCOMPARE(doc()->taskCount(), largeCards);
    auto *scene = window.findChild<CardsScene *>();
    QAction *undo = window.findChild<QAction *>(QStringLiteral("m_editUndoAction"));
    int layouts = 0;
    int wholePlanEvents = 0;
    connect(scene, &CardsScene::redrawing, this, [&] { ++layouts; });
    connect(doc(), &Document::changed, this, [&](const Events &events) {
        wholePlanEvents += events.containsType(EventType::AllChanged) ? 1 : 0;
    });
    int run = 0;
    const auto edit = [&] {
        QString text = QStringLiteral("Changed %1").arg(++run);
        doc()->setValue(run * 37 % largeCards, 1, text, true);
        QVERIFY(undo->isEnabled());
        settle();
        layouts = wholePlanEvents = 0;
    };
    const double undoMs = medianMs([&] { undo->trigger(); }, edit, 7);
    report(QStringLiteral("undo of one value (restore and refresh)"), undoMs);
    print(QStringLiteral("  per undo: %1 scene layout, %2 whole-plan refresh")
              .arg(layouts)
              .arg(wholePlanEvents));
    const double refreshMs = medianMs(
        [&] {
            scene->setAnimate(false);
            doc()->emitChanged(EventType::AllChanged);
            scene->setAnimate(true);
        },
        [&] {
            settle();
            layouts = wholePlanEvents = 0;
        },
        7);
    report(QStringLiteral("a whole-plan refresh alone, animation off"), refreshMs);
    print(QStringLiteral("  undo / refresh: %1").arg(undoMs / refreshMs, 0, 'f', 2));
}

TAVROLO_TEST_MAIN(BenchUndo)
#include "bench_undo.moc"
