#include "MainWindowFixture.h"
#include "cards/CardsScene.h"
#include "cards/CardsView.h"
#include "harness/DocumentRecorder.h"
#include "harness/TestMain.h"
#include "leftpane/CardsColorLayoutWidget.h"
#include "leftpane/CardsLeftPane.h"

#include <QAction>
#include <QComboBox>
#include <QSplitter>
#include <QTemporaryDir>

// The Cards tab of the main window: the view and the left pane side by side, wired to the plan.
class TestMainWindowCards : public QObject
{
    Q_OBJECT
private slots:
    void openedPlanShowsItsCardsAndPaneRearrangesThem();
};

void TestMainWindowCards::openedPlanShowsItsCardsAndPaneRearrangesThem()
{
    QTemporaryDir folder;
    const QString plan = folder.filePath(QStringLiteral("Project plan.tv"));
    QVERIFY(QFile::copy(QStringLiteral(TAVROLO_SOURCE_DIR "/samples/Project plan.tv"), plan));
    presetQuietStartup(plan);
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *view = window.findChild<CardsView *>();
    auto *pane = window.findChild<CardsLeftPane *>();
    QVERIFY(view && pane);
    auto *splitter = qobject_cast<QSplitter *>(view->parentWidget());
    QVERIFY(splitter);
    QCOMPARE(splitter->indexOf(pane), 0);
    QCOMPARE(splitter->indexOf(view), 1);
    QVERIFY(view->isVisible() && pane->isVisible());

    CardsScene *scene = view->cardsScene();
    const int cards = doc()->taskCount();
    QVERIFY(cards > 0);
    QCOMPARE(scene->cardItems(false, true).size(), cards);
    // The pane shows the plan's layout.
    QComboBox *x = pane->colorLayoutWidget()->xPropertyCombo();
    QCOMPARE(x->currentIndex(), doc()->xProperty());

    // Another column property: one step of the plan, and the cards move into its columns.
    const int owner = doc()->propertyIndex(QStringLiteral("Owner"));
    QVERIFY(owner > 0 && owner != doc()->xProperty());
    const QStringList columnsBefore = scene->columnLabels();
    DocumentRecorder recorder(*doc());
    x->setCurrentIndex(owner);
    QCOMPARE(recorder.undoTexts, QStringList({"Set X Property"}));
    QCOMPARE(doc()->xProperty(), owner);
    QVERIFY(scene->columnLabels() != columnsBefore);
    QVERIFY(scene->columnLabels().contains(doc()->value(0, owner)));
    QCOMPARE(scene->cardItems(false, true).size(), cards);
    // Shown and with X and Y apart, the cards can be transposed; the action swaps them.
    auto *transpose = window.findChild<QAction *>(QStringLiteral("m_viewTransposeAction"));
    QVERIFY(transpose->isEnabled());
    const int y = doc()->yProperty();
    transpose->trigger();
    QCOMPARE(recorder.undoTexts.last(), QStringLiteral("Swap X/Y"));
    QCOMPARE(doc()->xProperty(), y);
    QCOMPARE(x->currentIndex(), y);
}

TAVROLO_TEST_MAIN(TestMainWindowCards)
#include "tst_mainwindowcards.moc"
