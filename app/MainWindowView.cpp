// The main window's View menu and keyboard: zoom of the Cards view and the toolbar's slider,
// each tab's left pane, full screen per tab, overlays, the toolbar, the reaction to a newly
// shown pane, and the shortcuts that open left-pane sections and recall stored views.

#include "app/MainWindow.h"
#include "cards/CardsScene.h"
#include "cards/CardsView.h"
#include "charts/ChartsAppearanceWidget.h"
#include "charts/ChartsDisplayWidget.h"
#include "charts/ChartsFilterWidget.h"
#include "charts/ChartsLeftPane.h"
#include "charts/ChartsView.h"
#include "common/app/Accessors.h"
#include "common/widgets/Settings.h"
#include "leftpane/CardsAppearanceWidget.h"
#include "leftpane/CardsColorLayoutWidget.h"
#include "leftpane/CardsFilterWidget.h"
#include "leftpane/CardsLeftPane.h"
#include "leftpane/CardsSearchWidget.h"
#include "leftpane/CardsShowPropertiesWidget.h"
#include "leftpane/CardsSliceWidget.h"
#include "leftpane/LeftPaneWidget.h"
#include "properties/PropertiesView.h"
#include "table/TableAppearanceWidget.h"
#include "table/TableFilterWidget.h"
#include "table/TableLeftPane.h"
#include "table/TableView.h"
#include "ui_MainWindow.h"

#include <cmath>

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QShortcut>
#include <QSlider>
#include <QSplitter>
#include <QToolBar>

namespace {

const int splitterTipDelayMs = 7000;

// A slider value v stands for the scale 10^(v/10) / 3: 0 is one third, the ends about 3.33 and
// 0.033, the zoom limits of the Cards view.
double sliderScale(int value)
{
    return std::pow(10.0, value / 10.0) / 3.0;
}

int sliderValue(double scale)
{
    return int(std::lround(10.0 * std::log10(3.0 * scale)));
}

bool isLeftPaneCollapsed(const QSplitter *splitter)
{
    const QList<int> sizes = splitter->sizes();
    return !sizes.isEmpty() && sizes.first() == 0;
}

// The views of the Cards and Charts tabs and the tables of the others share the note, not a
// base class.
void showFullScreenNote(QWidget *view, bool show)
{
    if (auto *graphics = qobject_cast<GraphicsView *>(view)) {
        if (show)
            graphics->showFullScreenExitMessage();
        else
            graphics->onHideFullScreenExitMessage();
    } else if (auto *table = qobject_cast<BaseTableView *>(view)) {
        if (show)
            table->showFullScreenExitMessage();
        else
            table->onHideFullScreenExitMessage();
    }
}

} // namespace

MainWindow::TabPanes MainWindow::tabPanes(Tab tab)
{
    TabPanes panes;
    switch (tab) {
    case Tab::Cards:
        panes = {m_ui->m_cardsTab, m_cardsLayout, m_cardsSplitter,
                 m_cardsLeftPane,  m_cardsView,   &m_restoreCardsLeftPane};
        break;
    case Tab::Charts:
        panes.page = m_ui->m_chartsTab;
        panes.layout = m_chartsLayout;
        panes.splitter = m_chartsSplitter;
        panes.restoreLeftPane = &m_restoreChartsLeftPane;
        panes.leftPane = m_chartsLeftPane;
        panes.view = m_chartsView;
        break;
    case Tab::Table:
        panes.page = m_ui->m_tableTab;
        panes.layout = m_tableLayout;
        panes.splitter = m_tableSplitter;
        panes.restoreLeftPane = &m_restoreTableLeftPane;
        panes.leftPane = m_tableLeftPane;
        panes.view = m_tableView;
        break;
    case Tab::Properties:
        panes.page = m_ui->m_propertiesTab;
        panes.layout = m_propertiesLayout;
        panes.view = m_propertiesView;
        break;
    }
    return panes;
}

void MainWindow::connectViewCommands()
{
    // Full screen has no menu entry or toolbar button; its key works while the action is part
    // of the window.
    addAction(m_ui->m_viewFullScreenAction);
    connect(qApp, &QCoreApplication::aboutToQuit, this, &MainWindow::onAboutToQuit);
}

void MainWindow::addShortcut(const QString &keyText, void (MainWindow::*slot)())
{
    auto *shortcut = new QShortcut(QKeySequence(keyText), this);
    connect(shortcut, &QShortcut::activated, this, slot);
}

void MainWindow::installShortcuts()
{
    addShortcut(QStringLiteral("Ctrl+B"), &MainWindow::onLayoutShortcut);
    addShortcut(QStringLiteral("Ctrl+K"), &MainWindow::onShowPropertiesShortcut);
    addShortcut(QStringLiteral("Ctrl+F"), &MainWindow::onFilterShortcut);
    addShortcut(QStringLiteral("Ctrl+S"), &MainWindow::onSearchShortcut);
    addShortcut(QStringLiteral("Ctrl+R"), &MainWindow::onStoredViewShortcut);
    addShortcut(QStringLiteral("Ctrl+["), &MainWindow::onStoredViewPrev);
    addShortcut(QStringLiteral("Ctrl+]"), &MainWindow::onStoredViewNext);
    addShortcut(QStringLiteral("Ctrl+1"), &MainWindow::onStoredView1);
    addShortcut(QStringLiteral("Ctrl+2"), &MainWindow::onStoredView2);
    addShortcut(QStringLiteral("Ctrl+3"), &MainWindow::onStoredView3);
    addShortcut(QStringLiteral("Ctrl+4"), &MainWindow::onStoredView4);
    addShortcut(QStringLiteral("Ctrl+5"), &MainWindow::onStoredView5);
    addShortcut(QStringLiteral("Ctrl+6"), &MainWindow::onStoredView6);
    addShortcut(QStringLiteral("Ctrl+7"), &MainWindow::onStoredView7);
    addShortcut(QStringLiteral("Ctrl+8"), &MainWindow::onStoredView8);
    addShortcut(QStringLiteral("Ctrl+9"), &MainWindow::onStoredView9);
    addShortcut(QStringLiteral("Ctrl+J"), &MainWindow::onAppearanceShortcut);
    addShortcut(QStringLiteral("Ctrl+G"), &MainWindow::onChartDisplayShortcut);
    addShortcut(QStringLiteral("Ctrl+M"), &MainWindow::onShowMinimized);
    addShortcut(QStringLiteral("Backspace"), &MainWindow::onEditDeleteAction);
    addShortcut(QStringLiteral("Ctrl+Backspace"), &MainWindow::onEditDeleteAction);
}

// Zoom

void MainWindow::updateZoomActions()
{
    const bool cards = m_cardsView->isVisible();
    m_ui->m_viewZoomFitAction->setEnabled(cards);
    m_zoomSlider->setEnabled(cards);
    m_ui->m_viewZoomMagnifyAction->setEnabled(cards);
    m_ui->m_viewZoomInAction->setEnabled(cards && m_cardsView->canZoomIn());
    m_ui->m_viewZoomOutAction->setEnabled(cards && m_cardsView->canZoomOut());
    const QSignalBlocker blocker(m_ui->m_viewZoomFitAction);
    m_ui->m_viewZoomFitAction->setChecked(m_cardsView->isZoomToFit());
}

void MainWindow::onZoomToFitToggled(bool on)
{
    m_cardsView->setZoomToFit(on);
    updateZoomActions();
}

void MainWindow::onZoomIn()
{
    m_cardsView->onZoomIn();
    updateZoomActions();
}

void MainWindow::onZoomOut()
{
    m_cardsView->onZoomOut();
    updateZoomActions();
}

void MainWindow::onZoomTo(int value)
{
    m_cardsView->zoomTo(sliderScale(value));
    updateZoomActions();
}

// The slider follows the view's zoom without zooming again.
void MainWindow::onZoomButtonClicked()
{
    const double scale = m_cardsView->currentScale();
    if (scale > 0) {
        const QSignalBlocker blocker(m_zoomSlider);
        m_zoomSlider->setValue(sliderValue(scale));
    }
    updateZoomActions();
}

// The shown pane

void MainWindow::onVisibilityChanged()
{
    const bool cards = m_cardsView->isVisible();
    m_ui->m_viewToolTipsAction->setEnabled(cards);
    m_ui->m_viewShowOverlays->setEnabled(cards);
    m_ui->m_editSelectAllAction->setEnabled(cards || m_tableView->isVisible()
                                            || m_propertiesView->isVisible());
    restoreLeftPaneOnFirstShow();
    updateTransposeStatus();
    updateZoomActions();
    onUpdateShowHideLeftPane();
    onUpdatePrinterStatus();
    onSelectionChanged();
}

// The left pane a tab had at the end of the last run, applied once, when the tab is first shown
// and its splitter knows its sizes.
void MainWindow::restoreLeftPaneOnFirstShow()
{
    const struct
    {
        Tab tab;
        Settings::Key key;
    } tabs[] = {{Tab::Cards, Settings::Key::ShowCardsLeftPane},
                {Tab::Charts, Settings::Key::ShowChartsLeftPane},
                {Tab::Table, Settings::Key::ShowTableLeftPane}};
    for (const auto &entry : tabs) {
        const TabPanes panes = tabPanes(entry.tab);
        if (!panes.view || !panes.view->isVisible())
            continue;
        if (!*panes.restoreLeftPane)
            return;
        if (!settings()->read(entry.key).toBool())
            setLeftPaneOpen(panes.splitter, false);
        onUpdateShowHideLeftPane();
        *panes.restoreLeftPane = false;
        return;
    }
}

// Left pane

QSplitter *MainWindow::visibleSplitter() const
{
    for (QSplitter *splitter : {m_cardsSplitter, m_chartsSplitter, m_tableSplitter}) {
        if (splitter->isVisible())
            return splitter;
    }
    return nullptr;
}

void MainWindow::setLeftPaneOpen(QSplitter *splitter, bool open)
{
    const QList<int> sizes = splitter->sizes();
    if (sizes.size() != 2)
        return;
    if (!open && sizes.at(0) > 0) {
        splitter->setSizes({0, sizes.at(0) + sizes.at(1)});
    } else if (open && sizes.at(0) == 0) {
        const int width = splitter->widget(0)->minimumSizeHint().width();
        splitter->setSizes({width, sizes.at(1) - width});
    }
}

void MainWindow::onToggleLeftPane(bool show)
{
    if (QSplitter *splitter = visibleSplitter())
        setLeftPaneOpen(splitter, show);
    onUpdateShowHideLeftPane();
}

void MainWindow::onUpdateShowHideLeftPane()
{
    QAction *action = m_ui->m_viewShowLeftPaneAction;
    const QSignalBlocker blocker(action);
    const QSplitter *splitter = visibleSplitter();
    action->setEnabled(splitter);
    const bool open = splitter && !isLeftPaneCollapsed(splitter);
    if (action->isChecked() != open)
        action->setChecked(open);
}

// Full screen

void MainWindow::onFullScreenToggled(bool on)
{
    for (Tab tab : {Tab::Cards, Tab::Charts, Tab::Table, Tab::Properties}) {
        const QWidget *view = tabPanes(tab).view;
        if (!view || !view->isVisible())
            continue;
        switch (tab) {
        case Tab::Cards:
            onCardsFullScreenToggled(on);
            break;
        case Tab::Charts:
            onChartsFullScreenToggled(on);
            break;
        case Tab::Table:
            onTableFullScreenToggled(on);
            break;
        case Tab::Properties:
            onPropertiesFullScreenToggled(on);
            break;
        }
        return;
    }
}

void MainWindow::onCardsFullScreenToggled(bool on)
{
    setTabFullScreen(Tab::Cards, on);
}

void MainWindow::onChartsFullScreenToggled(bool on)
{
    setTabFullScreen(Tab::Charts, on);
}

void MainWindow::onTableFullScreenToggled(bool on)
{
    setTabFullScreen(Tab::Table, on);
}

void MainWindow::onPropertiesFullScreenToggled(bool on)
{
    setTabFullScreen(Tab::Properties, on);
}

// The tab's splitter (the Properties table itself) leaves the window and fills the screen on its
// own, unless the whole window is to go full screen with its toolbar.
void MainWindow::setTabFullScreen(Tab tab, bool on)
{
    const TabPanes panes = tabPanes(tab);
    if (!panes.view)
        return;
    QWidget *container = panes.splitter ? static_cast<QWidget *>(panes.splitter) : panes.view;
    QAction *fullScreen = m_ui->m_viewFullScreenAction;
    if (on) {
        if (settings()->showToolbarFullscreen()) {
            showFullScreen();
        } else {
            container->setParent(nullptr);
            container->installEventFilter(this);
            // Its key leaves full screen from the lone tab too.
            container->addAction(fullScreen);
            m_fullScreenContainer = container;
            container->showFullScreen();
            hide();
        }
        showFullScreenNote(panes.view, true);
        if (panes.splitter)
            QTimer::singleShot(splitterTipDelayMs, this, &MainWindow::onShowSplitterTipOnce);
        return;
    }
    showFullScreenNote(panes.view, false);
    if (isFullScreen()) {
        showNormal();
    } else if (m_fullScreenContainer == container) {
        m_fullScreenContainer = nullptr;
        container->removeEventFilter(this);
        container->removeAction(fullScreen);
        container->setParent(panes.page);
        panes.layout->addWidget(container);
        container->showNormal();
        show();
    }
    QToolBar *toolBar = m_ui->m_mainToolBar;
    toolBar->resize(toolBar->width() - 1, toolBar->height());
}

// The window manager closes the lone tab as a window of its own; the program would end without
// the window's closing, and so without saving. It goes back into the window instead, once the
// close has returned.
bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Close && watched == m_fullScreenContainer) {
        event->ignore();
        QTimer::singleShot(0, this, [this] { m_ui->m_viewFullScreenAction->setChecked(false); });
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

// Ending the program without closing this window (the lone full-screen tab closed by the window
// manager, a quit from the system) gives closeEvent no chance to save: a modified plan that may
// be written is saved here. Nothing is dropped: a version another program wrote meanwhile is
// copied aside first.
void MainWindow::onAboutToQuit()
{
    if (!m_closeAccepted)
        m_fileGuard->saveOnQuit();
}

void MainWindow::onEscapeKeyPressed()
{
    if (m_ui->m_viewFullScreenAction->isChecked())
        m_ui->m_viewFullScreenAction->setChecked(false);
}

void MainWindow::keyPressEvent(QKeyEvent *event)
{
    QMainWindow::keyPressEvent(event);
    if (event->key() != Qt::Key_Escape)
        return;
    if (m_ui->m_viewZoomMagnifyAction->isChecked())
        m_ui->m_viewZoomMagnifyAction->setChecked(false);
    if (m_ui->m_viewFullScreenAction->isChecked())
        m_ui->m_viewFullScreenAction->setChecked(false);
}

// Overlays, toolbar, minimising

void MainWindow::onOverlayToggled(bool on)
{
    settings()->setShowOverlay(on);
    m_cardsScene->setOverlaysVisible(on);
}

void MainWindow::onToolbarVisibilityToggled(bool on)
{
    m_ui->m_mainToolBar->setVisible(on);
}

void MainWindow::onToolbarVisibilityChanged()
{
    const QSignalBlocker blocker(m_ui->m_viewToolBarAction);
    m_ui->m_viewToolBarAction->setChecked(m_ui->m_mainToolBar->isVisible());
}

void MainWindow::onShowMinimized()
{
    showMinimized();
}

// Section shortcuts: the first press opens the section (and the left pane), the second closes it.

void MainWindow::toggleSection(Tab tab, QWidget *section)
{
    const TabPanes panes = tabPanes(tab);
    if (!panes.view || !panes.view->isVisible() || !panes.leftPane || !section)
        return;
    const bool collapsed = isLeftPaneCollapsed(panes.splitter);
    if (!collapsed && section->isVisible()) {
        panes.leftPane->setChildOpen(section, false);
        return;
    }
    if (collapsed) {
        setLeftPaneOpen(panes.splitter, true);
        onUpdateShowHideLeftPane();
    }
    panes.leftPane->setChildOpen(section, true);
    if (auto *widget = qobject_cast<LeftPaneWidget *>(section))
        widget->giveFocus();
}

void MainWindow::onLayoutShortcut()
{
    toggleSection(Tab::Cards, m_cardsLeftPane->colorLayoutWidget());
}

void MainWindow::onShowPropertiesShortcut()
{
    toggleSection(Tab::Cards, m_cardsLeftPane->showPropertiesWidget());
}

void MainWindow::onFilterShortcut()
{
    if (m_cardsView->isVisible())
        toggleSection(Tab::Cards, m_cardsLeftPane->filterWidget());
    else if (m_chartsView->isVisible())
        toggleSection(Tab::Charts, m_chartsLeftPane->filterWidget());
    else if (m_tableView->isVisible())
        toggleSection(Tab::Table, m_tableLeftPane->filterWidget());
}

void MainWindow::onSearchShortcut()
{
    toggleSection(Tab::Cards, m_cardsLeftPane->searchWidget());
}

void MainWindow::onStoredViewShortcut()
{
    toggleSection(Tab::Cards, m_cardsLeftPane->sliceWidget());
}

void MainWindow::onAppearanceShortcut()
{
    if (m_cardsView->isVisible())
        toggleSection(Tab::Cards, m_cardsLeftPane->appearanceWidget());
    else if (m_chartsView->isVisible())
        toggleSection(Tab::Charts, m_chartsLeftPane->appearanceWidget());
    else if (m_tableView->isVisible())
        toggleSection(Tab::Table, m_tableLeftPane->appearanceWidget());
}

void MainWindow::onChartDisplayShortcut()
{
    toggleSection(Tab::Charts, m_chartsLeftPane->displayWidget());
}

// Stored views: item n of the Stored Views section; a number beyond its list does nothing.

void MainWindow::selectStoredView(int number)
{
    if (m_cardsView->isVisible() && m_cardsLeftPane->sliceWidget())
        m_cardsLeftPane->sliceWidget()->selectSlice(number);
}

void MainWindow::onStoredViewPrev()
{
    if (m_cardsView->isVisible() && m_cardsLeftPane->sliceWidget())
        m_cardsLeftPane->sliceWidget()->selectPreviousSlice();
}

void MainWindow::onStoredViewNext()
{
    if (m_cardsView->isVisible() && m_cardsLeftPane->sliceWidget())
        m_cardsLeftPane->sliceWidget()->selectNextSlice();
}

void MainWindow::onStoredView1()
{
    selectStoredView(1);
}

void MainWindow::onStoredView2()
{
    selectStoredView(2);
}

void MainWindow::onStoredView3()
{
    selectStoredView(3);
}

void MainWindow::onStoredView4()
{
    selectStoredView(4);
}

void MainWindow::onStoredView5()
{
    selectStoredView(5);
}

void MainWindow::onStoredView6()
{
    selectStoredView(6);
}

void MainWindow::onStoredView7()
{
    selectStoredView(7);
}

void MainWindow::onStoredView8()
{
    selectStoredView(8);
}

void MainWindow::onStoredView9()
{
    selectStoredView(9);
}
