#include "app/DropFilesEvent.h"
#include "app/DropHandler.h"
#include "harness/TestMain.h"
#include "model/Document.h"
#include "model/Events.h"

#include <QDialog>
#include <QWidget>

namespace {

const QUrl first(QStringLiteral("https://example.com/first"));
const QUrl second(QStringLiteral("https://example.com/second"));
const QUrl third(QStringLiteral("https://example.com/third"));

// Hands the drop events it posts itself back to the handler, as the main window does.
class DropWindow : public QWidget
{
public:
    DropHandler *drops = nullptr;

protected:
    void customEvent(QEvent *event) override
    {
        if (int(event->type()) == DropFilesEvent::Type)
            drops->takeDropEvent(*static_cast<const DropFilesEvent *>(event));
    }
};

} // namespace

// The dropped files and open requests as the handler queues and delivers them, without a main
// window: the card dialog is a hook that records what it was asked.
class TestDropHandler : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void requestsWaitTheirTurnAndRunOnceInOrder_data();
    void requestsWaitTheirTurnAndRunOnceInOrder();
    void aCardIndexHoldsOnlyUnderItsNumbering_data();
    void aCardIndexHoldsOnlyUnderItsNumbering();

private:
    Document m_plan;
    DropWindow m_window;
    // The links of each new card asked for, in order.
    QList<QList<HyperLink>> m_newCards;
    std::function<void()> m_duringCardDialog;
};

void TestDropHandler::init()
{
    m_plan.clear(false);
    m_plan.addProperty(QStringLiteral("Name"), QString(), PropertyType::Text, {},
                       PropertyVisibility::Text, PropertyAppearance(), false);
    for (int i = 0; i < 3; ++i)
        m_plan.addTaskWithValues({{1, QString::number(i)}}, QString(), {}, -1, false);
    m_newCards.clear();
    m_duringCardDialog = nullptr;
    DropHandler::Hooks hooks;
    hooks.maybeSave = [] { return true; };
    hooks.openPlan = [](const QString &) {};
    hooks.addTask
        = [this](const QList<PropertyIndexAndValue> &, const QList<HyperLink> &links, int) {
              m_newCards.append(links);
              // Once only: the dialogs of the later requests run nothing.
              const std::function<void()> during = std::move(m_duringCardDialog);
              m_duringCardDialog = nullptr;
              if (during)
                  during();
          };
    m_window.drops = new DropHandler(m_plan, hooks, &m_window);
}

void TestDropHandler::cleanup()
{
    delete m_window.drops;
    m_window.drops = nullptr;
}

// A request that comes while the card dialog of an earlier drop runs, or while another dialog
// is open, is neither lost nor run inside it: it runs once the dialog has closed, after those
// waiting before it.
void TestDropHandler::requestsWaitTheirTurnAndRunOnceInOrder_data()
{
    QTest::addColumn<bool>("duringDrop"); // else while a modal dialog is open
    QTest::newRow("during the card dialog of a drop") << true;
    QTest::newRow("while a dialog is open") << false;
}

void TestDropHandler::requestsWaitTheirTurnAndRunOnceInOrder()
{
    QFETCH(bool, duringDrop);
    DropHandler *drops = m_window.drops;
    QDialog dialog;
    int cardsWhenTheLaterCame = -1;
    if (duringDrop) {
        m_duringCardDialog = [&] {
            drops->openDroppedFiles({second}, -1, {});
            drops->openDroppedFiles({third}, -1, {});
            cardsWhenTheLaterCame = m_newCards.size();
        };
        drops->openDroppedFiles({first}, -1, {});
        QCOMPARE(cardsWhenTheLaterCame, 1);
    } else {
        dialog.setModal(true);
        dialog.show();
        QCOMPARE(QApplication::activeModalWidget(), &dialog);
        drops->openDroppedFiles({first}, -1, {});
        drops->openDroppedFiles({second}, -1, {});
        drops->openDroppedFiles({third}, -1, {});
        QVERIFY(m_newCards.isEmpty());
        dialog.hide();
    }
    const QList<QList<HyperLink>> expected
        = {{HyperLink(first)}, {HyperLink(second)}, {HyperLink(third)}};
    QTRY_VERIFY(m_newCards == expected);
}

// The index a drop names is the card's at the time of the drop; after a change that
// renumbers cards it may belong to another card, and the links go to a new card instead.
void TestDropHandler::aCardIndexHoldsOnlyUnderItsNumbering_data()
{
    QTest::addColumn<int>("eventType"); // -1: none between the drop and its delivery
    QTest::addColumn<TaskIndex>("target");
    QTest::addColumn<bool>("onTheCard");
    QTest::newRow("nothing in between") << -1 << 2 << true;
    QTest::newRow("a value edited") << int(EventType::ValueChanged) << 2 << true;
    QTest::newRow("a card added") << int(EventType::TaskAdded) << 0 << true;
    QTest::newRow("cards deleted") << int(EventType::TasksDeleted) << 0 << false;
    QTest::newRow("the plan replaced") << int(EventType::AllChanged) << 1 << false;
    QTest::newRow("an index beyond the cards") << -1 << 3 << false;
}

void TestDropHandler::aCardIndexHoldsOnlyUnderItsNumbering()
{
    QFETCH(int, eventType);
    QFETCH(TaskIndex, target);
    QFETCH(bool, onTheCard);
    m_window.drops->postDrop({first}, target, {});
    if (eventType >= 0) {
        Events events;
        events.add(eventType);
        m_window.drops->noteCardRenumbering(events);
    }
    QCoreApplication::sendPostedEvents(&m_window, DropFilesEvent::Type);
    for (TaskIndex task = 0; task < m_plan.taskCount(); ++task)
        QCOMPARE(m_plan.task(task).hyperLinks().size(), onTheCard && task == target ? 1 : 0);
    QCOMPARE(m_newCards.size(), onTheCard ? 0 : 1);
}

TAVROLO_TEST_MAIN(TestDropHandler)
#include "tst_drophandler.moc"
