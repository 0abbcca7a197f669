#include "MainWindowFixture.h"
#include "cards/CardsScene.h"
#include "cards/CardsView.h"
#include "charts/ChartsAppearanceWidget.h"
#include "charts/ChartsDisplayWidget.h"
#include "charts/ChartsLeftPane.h"
#include "harness/DocumentRecorder.h"
#include "harness/ModalAnswer.h"
#include "harness/TestMain.h"
#include "leftpane/CardsAppearanceWidget.h"
#include "leftpane/CardsColorLayoutWidget.h"
#include "leftpane/CardsFilterWidget.h"
#include "leftpane/CardsLeftPane.h"
#include "properties/PropertiesView.h"
#include "table/TableView.h"

#include <cmath>
#include <memory>

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QSlider>
#include <QSplitter>
#include <QTabWidget>
#include <QTemporaryDir>

namespace {

QAction *action(MainWindow &window, const char *name)
{
    return window.findChild<QAction *>(QLatin1String(name));
}

// A key as the user presses it: to the window that has the focus, which hands it on to its
// focus widget. The release goes to the window that has the focus then: the key may have put
// a tab standing alone back into the main window, and its own window is gone.
void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWindow *window = QGuiApplication::focusWindow();
    QVERIFY(window);
    QTest::keyPress(window, key, modifiers);
    if (QWindow *focus = QGuiApplication::focusWindow())
        QTest::keyRelease(focus, key, modifiers);
}

// The column of the property of that name.
int columnNamed(const QTableWidget &table, const QString &name)
{
    for (int column = 0; column < table.columnCount(); ++column) {
        const QTableWidgetItem *header = table.horizontalHeaderItem(column);
        if (header && header->text() == name)
            return column;
    }
    return -1;
}

} // namespace

// The View menu, the zoom slider, left panes, full screen and the section and stored-view keys,
// on a shown window.
class TestViewCommands : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void sliderAndZoomCommandsFollowTheView();
    void planTooLargeForTheSmallestZoomZoomsOutToItsFit();
    void storedLeftPaneIsAppliedAtFirstShowAndCtrlLToggles();
    void sectionKeysOpenAndCloseOnlyInTheirTab();
    void oneEscapeEndsMagnifyAndFullScreenAndTheTabReturns();
    void closingTheLoneTabLeavesFullScreenAndQuittingSaves();
    void fullScreenGivesBackWhatItTook_data();
    void fullScreenGivesBackWhatItTook();
    void aRefusedQuitInFullScreenBringsTheTabBack();
    void fullScreenKeepsWhatIsBeingTyped_data();
    void fullScreenKeepsWhatIsBeingTyped();

private:
    void showWindow();

    std::unique_ptr<QTemporaryDir> m_folder;
    QString m_plan;
    std::unique_ptr<MainWindow> m_window;
    CardsView *m_view = nullptr;
    QSplitter *m_splitter = nullptr;
};

void TestViewCommands::init()
{
    m_folder.reset(new QTemporaryDir);
    m_plan = QDir::toNativeSeparators(m_folder->filePath("Plan.tv"));
    QVERIFY(writeTestPlan(m_plan, 6));
    presetQuietStartup(m_plan);
}

void TestViewCommands::cleanup()
{
    m_window.reset();
    m_folder.reset();
}

void TestViewCommands::showWindow()
{
    m_window.reset(new MainWindow);
    m_window->resize(1200, 800);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    m_view = m_window->findChild<CardsView *>();
    m_splitter = qobject_cast<QSplitter *>(m_view->parentWidget());
    QVERIFY(m_splitter);
}

void TestViewCommands::sliderAndZoomCommandsFollowTheView()
{
    showWindow();
    auto *slider = m_window->findChild<QSlider *>();
    QAction *zoomIn = action(*m_window, "m_viewZoomInAction");
    QAction *zoomOut = action(*m_window, "m_viewZoomOutAction");
    QAction *fit = action(*m_window, "m_viewZoomFitAction");
    QVERIFY(fit->isChecked());
    slider->setValue(4);
    slider->setValue(0);
    QVERIFY(qAbs(m_view->currentScale() - 1.0 / 3) < 1e-9);
    QVERIFY(!fit->isChecked());
    // Zooming by command moves the slider to the scale's value, without zooming again.
    zoomIn->trigger();
    const double scale = m_view->currentScale();
    QVERIFY(scale > 1.0 / 3);
    QCOMPARE(slider->value(), int(std::lround(10 * std::log10(3 * scale))));
    QCOMPARE(m_view->currentScale(), scale);
    // At the limits the commands stop.
    slider->setValue(10);
    QVERIFY(!zoomIn->isEnabled() && zoomOut->isEnabled());
    slider->setValue(-10);
    zoomOut->trigger();
    QVERIFY(zoomIn->isEnabled() && !zoomOut->isEnabled());
    // Another tab has nothing to zoom.
    m_window->findChild<QTabWidget *>()->setCurrentIndex(3);
    QVERIFY(!zoomIn->isEnabled() && !fit->isEnabled() && !slider->isEnabled());
}

void TestViewCommands::planTooLargeForTheSmallestZoomZoomsOutToItsFit()
{
    // A column per card: some 400 cards wide fit only well below the smallest zoom.
    QVERIFY(writeTestPlan(m_plan, 400));
    showWindow();
    QAction *zoomIn = action(*m_window, "m_viewZoomInAction");
    QAction *zoomOut = action(*m_window, "m_viewZoomOutAction");
    QAction *fit = action(*m_window, "m_viewZoomFitAction");
    doc()->setXProperty(1, true);
    QVERIFY(fit->isChecked());
    const double fitted = m_view->currentScale();
    QVERIFY(fitted > 0 && fitted < 0.033 / 1.3);
    QVERIFY(zoomIn->isEnabled() && !zoomOut->isEnabled());
    zoomIn->trigger();
    QVERIFY(m_view->currentScale() > fitted);
    QVERIFY(zoomOut->isEnabled());
    zoomOut->trigger();
    QVERIFY(qAbs(m_view->currentScale() / fitted - 1) < 1e-9);
    // Out as far as the fit, not beyond.
    QVERIFY(zoomIn->isEnabled() && !zoomOut->isEnabled());
    QVERIFY(!fit->isChecked());
}

void TestViewCommands::storedLeftPaneIsAppliedAtFirstShowAndCtrlLToggles()
{
    settings()->setShowCardsLeftPane(false);
    showWindow();
    QAction *leftPane = action(*m_window, "m_viewShowLeftPaneAction");
    QCOMPARE(m_splitter->sizes().value(0, -1), 0);
    QVERIFY(leftPane->isEnabled() && !leftPane->isChecked());
    QTest::keyClick(m_window.get(), Qt::Key_L, Qt::ControlModifier);
    QVERIFY(m_splitter->sizes().value(0) > 0);
    QVERIFY(leftPane->isChecked());
    // Opened by hand, it stays open across tab changes; the Properties tab has none.
    auto *tabs = m_window->findChild<QTabWidget *>();
    tabs->setCurrentIndex(3);
    QVERIFY(!leftPane->isEnabled());
    tabs->setCurrentIndex(0);
    QVERIFY(m_splitter->sizes().value(0) > 0);
    QVERIFY(leftPane->isEnabled() && leftPane->isChecked());
    QTest::keyClick(m_window.get(), Qt::Key_L, Qt::ControlModifier);
    QCOMPARE(m_splitter->sizes().value(0, -1), 0);
}

void TestViewCommands::sectionKeysOpenAndCloseOnlyInTheirTab()
{
    showWindow();
    for (const QString &name :
         {QStringLiteral("One"), QStringLiteral("Two"), QStringLiteral("Three")}) {
        doc()->setXProperty(name == QLatin1String("Two") ? 1 : 0, false);
        doc()->addStoredView(name, false, false);
    }
    doc()->emitChanged(EventType::AllChanged);
    QWidget *filter = m_window->findChild<CardsLeftPane *>()->filterWidget();
    QVERIFY(!filter->isVisible());
    QTest::keyClick(m_window.get(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(filter->isVisible());
    QTest::keyClick(m_window.get(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(!filter->isVisible());
    // The second stored view; a fifth there is not.
    QTest::keyClick(m_window.get(), Qt::Key_2, Qt::ControlModifier);
    QCOMPARE(doc()->currentStoredViewName(), QStringLiteral("Two"));
    DocumentRecorder recorder(*doc());
    QTest::keyClick(m_window.get(), Qt::Key_5, Qt::ControlModifier);
    QVERIFY(recorder.isSilent());
    QCOMPARE(doc()->currentStoredViewName(), QStringLiteral("Two"));
    // The Properties tab has no filter section, nor stored views.
    m_window->findChild<QTabWidget *>()->setCurrentIndex(3);
    QTest::keyClick(m_window.get(), Qt::Key_F, Qt::ControlModifier);
    QTest::keyClick(m_window.get(), Qt::Key_1, Qt::ControlModifier);
    QVERIFY(recorder.isSilent());
    // The Charts tab has its own Display section, and no Cards layout section.
    m_window->findChild<QTabWidget *>()->setCurrentIndex(1);
    QWidget *display = m_window->findChild<ChartsLeftPane *>()->displayWidget();
    const bool displayOpen = display->isVisible();
    QTest::keyClick(m_window.get(), Qt::Key_G, Qt::ControlModifier);
    QCOMPARE(display->isVisible(), !displayOpen);
    QWidget *layout = m_window->findChild<CardsLeftPane *>()->colorLayoutWidget();
    QTest::keyClick(m_window.get(), Qt::Key_B, Qt::ControlModifier);
    m_window->findChild<QTabWidget *>()->setCurrentIndex(0);
    QVERIFY(!filter->isVisible() && layout->isVisible());
}

void TestViewCommands::oneEscapeEndsMagnifyAndFullScreenAndTheTabReturns()
{
    showWindow();
    QWidget *page = m_splitter->parentWidget();
    QAction *magnify = action(*m_window, "m_viewZoomMagnifyAction");
    QAction *fullScreen = action(*m_window, "m_viewFullScreenAction");
    magnify->setChecked(true);
    QTest::keyClick(m_window.get(), Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(fullScreen->isChecked());
    QVERIFY(!m_splitter->parentWidget() && m_splitter->isFullScreen() && m_splitter->isVisible());
    QVERIFY(!m_window->isVisible());
    QVERIFY(m_view->isFullScreenExitMessageShown());
    QTest::keyClick(m_view, Qt::Key_Escape);
    QVERIFY(!fullScreen->isChecked() && !magnify->isChecked());
    QCOMPARE(m_splitter->parentWidget(), page);
    QCOMPARE(page->layout()->indexOf(m_splitter), 0);
    QVERIFY(m_window->isVisible() && m_view->isVisible());
    QVERIFY(!m_view->isFullScreenExitMessageShown());
}

// Closed by the window manager, the lone tab would end the program without the window's
// closing, which saves the plan: it returns to the window instead, and the end of the program
// saves what a close did not.
void TestViewCommands::closingTheLoneTabLeavesFullScreenAndQuittingSaves()
{
    showWindow();
    QAction *fullScreen = action(*m_window, "m_viewFullScreenAction");
    fullScreen->setChecked(true);
    QVERIFY(!m_splitter->parentWidget());
    QVERIFY(!m_splitter->close());
    QTRY_VERIFY(!fullScreen->isChecked());
    QVERIFY(m_splitter->parentWidget() && m_window->isVisible());

    doc()->addTaskWithValues({{1, QStringLiteral("New")}}, QString(), {}, -1, true);
    QVERIFY(m_window->isWindowModified());
    QCOMPARE(cardsInFile(m_plan), 6);
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    qApp->exec();
    QCOMPARE(cardsInFile(m_plan), 7);
    QVERIFY(!m_window->isWindowModified());
}

// However the window came to be full screen before (the window manager's key, a restored
// session), full screen gives back what it took: the tab returns to its page, no window of its
// own is left, and the window is full screen again only if it was so before.
void TestViewCommands::fullScreenGivesBackWhatItTook_data()
{
    QTest::addColumn<bool>("windowFullScreen"); // before full screen is asked for
    QTest::addColumn<bool>("withToolbar"); // the preference that takes the whole window
    QTest::addColumn<bool>("closeLoneTab"); // left by closing the lone tab, else by the key
    QTest::newRow("window full screen, tab alone") << true << false << false;
    QTest::newRow("window full screen, lone tab closed") << true << false << true;
    QTest::newRow("window full screen, with the toolbar") << true << true << false;
    QTest::newRow("tab alone") << false << false << false;
    QTest::newRow("with the toolbar") << false << true << false;
}

void TestViewCommands::fullScreenGivesBackWhatItTook()
{
    QFETCH(bool, windowFullScreen);
    QFETCH(bool, withToolbar);
    QFETCH(bool, closeLoneTab);
    settings()->setShowToolbarFullscreen(withToolbar);
    showWindow();
    if (windowFullScreen)
        m_window->showFullScreen();
    QWidget *page = m_splitter->parentWidget();
    QAction *fullScreen = action(*m_window, "m_viewFullScreenAction");
    pressKey(Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(fullScreen->isChecked());
    QCOMPARE(m_window->isVisible(), withToolbar);
    if (closeLoneTab) {
        QVERIFY(!m_splitter->close());
        QTRY_VERIFY(!fullScreen->isChecked());
    } else {
        pressKey(Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(!fullScreen->isChecked());
    }
    QCOMPARE(m_splitter->parentWidget(), page);
    QCOMPARE(page->layout()->indexOf(m_splitter), 0);
    QVERIFY(m_window->isVisible() && m_view->isVisible());
    QCOMPARE(m_window->isFullScreen(), windowFullScreen);
    for (const QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible())
            QCOMPARE(window, m_window.get());
    }
}

// A quit the user refuses in full screen (a read-only plan kept) leaves the program as the user
// can go on with it: the tab back in the window, over which the question was asked.
void TestViewCommands::aRefusedQuitInFullScreenBringsTheTabBack()
{
    showWindow();
    QVERIFY(m_window->openFile(m_plan, true));
    {
        ModalAnswer readOnlyWarning(QStringLiteral("OK"));
        doc()->addTaskWithValues({{1, QStringLiteral("New")}}, QString(), {}, -1, true);
        QTRY_VERIFY(readOnlyWarning.answered());
    }
    QVERIFY(m_window->isWindowModified());
    QWidget *page = m_splitter->parentWidget();
    QAction *fullScreen = action(*m_window, "m_viewFullScreenAction");
    fullScreen->setChecked(true);
    QVERIFY(!m_splitter->parentWidget());
    ModalAnswer keep(QStringLiteral("Cancel"));
    QVERIFY(!m_window->onQuitRequested());
    QVERIFY(keep.answered());
    QVERIFY(keep.shownText().startsWith(QStringLiteral("Unable to save changes to read-only")));
    QVERIFY(!fullScreen->isChecked());
    QCOMPARE(m_splitter->parentWidget(), page);
    QVERIFY(m_window->isVisible() && m_view->isVisible());
    QCOMPARE(cardsInFile(m_plan), 6);
}

// Full screen taken and left while a cell editor or a field of the tab holds the focus and
// what was typed is not yet entered: the keys that follow reach the tab, and the plan gets what
// was typed.
void TestViewCommands::fullScreenKeepsWhatIsBeingTyped_data()
{
    QTest::addColumn<int>("tab");
    QTest::newRow("Cards title") << 0;
    QTest::newRow("Charts title") << 1;
    QTest::newRow("Table cell") << 2;
    QTest::newRow("Properties default value") << 3;
}

void TestViewCommands::fullScreenKeepsWhatIsBeingTyped()
{
    QFETCH(int, tab);
    showWindow();
    m_window->findChild<QTabWidget *>()->setCurrentIndex(tab);
    const bool cell = tab == 2 || tab == 3;
    QLineEdit *title = nullptr;
    if (!cell) {
        QWidget *appearance = tab == 0
            ? static_cast<QWidget *>(m_window->findChild<CardsLeftPane *>()->appearanceWidget())
            : m_window->findChild<ChartsLeftPane *>()->appearanceWidget();
        pressKey(Qt::Key_J, Qt::ControlModifier);
        title = appearance->findChild<QLineEdit *>("m_titleEdit");
        QVERIFY(title && title->isVisible());
    }
    QTableWidget *table = tab == 2 ? static_cast<QTableWidget *>(m_window->findChild<TableView *>())
                                   : m_window->findChild<PropertiesView *>();
    // The second card's name, or the default value of the one property.
    const int row = tab == 2 ? 1 : 0;
    const int column = tab == 2 ? columnNamed(*table, "Name") : 2;
    QVERIFY(column >= 0);
    const auto typeWithoutEntering = [&](const QString &text) {
        if (cell) {
            table->setCurrentCell(row, column);
            table->editItem(table->item(row, column));
        } else {
            QTest::mouseClick(title, Qt::LeftButton);
        }
        QWidget *field = QApplication::focusWidget();
        QVERIFY(qobject_cast<QLineEdit *>(field));
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(field, text);
    };
    const Document *plan = doc();
    const auto entered = [&] {
        switch (tab) {
        case 0:
            return plan->cardsTitle();
        case 1:
            return plan->chartsTitle();
        case 2:
            return plan->value(1, 1);
        default:
            return plan->propertyDefaultValue(1);
        }
    };

    QAction *fullScreen = action(*m_window, "m_viewFullScreenAction");
    typeWithoutEntering("1e300");
    pressKey(Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(fullScreen->isChecked());
    QVERIFY(!m_window->isVisible());
    pressKey(Qt::Key_Down, Qt::ControlModifier);
    pressKey(Qt::Key_Down);
    // A title is entered after a pause in the typing, a cell at once.
    if (!cell)
        QTRY_COMPARE(entered(), QStringLiteral("1e300"));
    QCOMPARE(entered(), QStringLiteral("1e300"));

    typeWithoutEntering("2e300");
    pressKey(Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(!fullScreen->isChecked());
    QVERIFY(m_window->isVisible());
    pressKey(Qt::Key_Down, Qt::ControlModifier);
    pressKey(Qt::Key_Down);
    if (!cell)
        QTRY_COMPARE(entered(), QStringLiteral("2e300"));
    QCOMPARE(entered(), QStringLiteral("2e300"));
}

TAVROLO_TEST_MAIN(TestViewCommands)
#include "tst_viewcommands.moc"
