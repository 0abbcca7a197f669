#include "app/ViewCommands.h"

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

#include <QApplication>
#include <QLayout>
#include <QSlider>
#include <QSplitter>
#include <QTimer>
#include <QToolBar>
#include <QWindow>

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

void setLeftPaneOpen(QSplitter *splitter, bool open)
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

// A cell editor with the focus would be hidden with the tab, committed and deleted by its view,
// and yet stay the focus widget of the window the tab leaves, read there on the next key or
// activation. The focus leaves the tab first, which enters what was typed as a click elsewhere
// does.
void settleFocusIn(QWidget *container)
{
    QWidget *focus = container->window()->focusWidget();
    if (focus && (focus == container || container->isAncestorOf(focus)))
        focus->clearFocus();
}

} // namespace

ViewCommands::ViewCommands(const WindowPanes &panes, Ui::MainWindow &ui, QSlider *zoomSlider,
                           std::function<void()> showSplitterTip, QMainWindow *window)
    : QObject(window),
      m_panes(panes),
      m_ui(ui),
      m_zoomSlider(zoomSlider),
      m_showSplitterTip(std::move(showSplitterTip)),
      m_window(window)
{ }

ViewCommands::TabPanes ViewCommands::tabPanes(Tab tab)
{
    switch (tab) {
    case Tab::Cards:
        return {m_ui.m_cardsTab, m_panes.cardsSplitter, m_panes.cardsLeftPane, m_panes.cardsView,
                &m_restoreCardsLeftPane};
    case Tab::Charts:
        return {m_ui.m_chartsTab, m_panes.chartsSplitter, m_panes.chartsLeftPane,
                m_panes.chartsView, &m_restoreChartsLeftPane};
    case Tab::Table:
        return {m_ui.m_tableTab, m_panes.tableSplitter, m_panes.tableLeftPane, m_panes.tableView,
                &m_restoreTableLeftPane};
    case Tab::Properties:
        return {m_ui.m_propertiesTab, nullptr, nullptr, m_panes.propertiesView, nullptr};
    }
    return {};
}

// Zoom

void ViewCommands::updateZoomActions()
{
    CardsView *view = m_panes.cardsView;
    const bool cards = view->isVisible();
    m_ui.m_viewZoomFitAction->setEnabled(cards);
    m_zoomSlider->setEnabled(cards);
    m_ui.m_viewZoomMagnifyAction->setEnabled(cards);
    m_ui.m_viewZoomInAction->setEnabled(cards && view->canZoomIn());
    m_ui.m_viewZoomOutAction->setEnabled(cards && view->canZoomOut());
    const QSignalBlocker blocker(m_ui.m_viewZoomFitAction);
    m_ui.m_viewZoomFitAction->setChecked(view->isZoomToFit());
}

void ViewCommands::setZoomToFit(bool on)
{
    m_panes.cardsView->setZoomToFit(on);
    updateZoomActions();
}

void ViewCommands::zoomIn()
{
    m_panes.cardsView->onZoomIn();
    updateZoomActions();
}

void ViewCommands::zoomOut()
{
    m_panes.cardsView->onZoomOut();
    updateZoomActions();
}

void ViewCommands::zoomToSlider(int value)
{
    m_panes.cardsView->zoomTo(sliderScale(value));
    updateZoomActions();
}

void ViewCommands::followViewZoom()
{
    const double scale = m_panes.cardsView->currentScale();
    if (scale > 0) {
        const QSignalBlocker blocker(m_zoomSlider);
        m_zoomSlider->setValue(sliderValue(scale));
    }
    updateZoomActions();
}

// Left pane

void ViewCommands::restoreLeftPaneOnFirstShow()
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
        updateShowHideLeftPane();
        *panes.restoreLeftPane = false;
        return;
    }
}

QSplitter *ViewCommands::visibleSplitter() const
{
    for (QSplitter *splitter :
         {m_panes.cardsSplitter, m_panes.chartsSplitter, m_panes.tableSplitter}) {
        if (splitter->isVisible())
            return splitter;
    }
    return nullptr;
}

void ViewCommands::setLeftPaneShown(bool show)
{
    if (QSplitter *splitter = visibleSplitter())
        setLeftPaneOpen(splitter, show);
    updateShowHideLeftPane();
}

void ViewCommands::updateShowHideLeftPane()
{
    QAction *action = m_ui.m_viewShowLeftPaneAction;
    const QSignalBlocker blocker(action);
    const QSplitter *splitter = visibleSplitter();
    action->setEnabled(splitter);
    const bool open = splitter && !isLeftPaneCollapsed(splitter);
    if (action->isChecked() != open)
        action->setChecked(open);
}

// Full screen

void ViewCommands::setFullScreen(bool on)
{
    for (Tab tab : {Tab::Cards, Tab::Charts, Tab::Table, Tab::Properties}) {
        const QWidget *view = tabPanes(tab).view;
        if (view && view->isVisible()) {
            setTabFullScreen(tab, on);
            return;
        }
    }
    // No tab on show to leave it by: what full screen took goes back all the same.
    if (!on && (m_fullScreenContainer || m_windowMadeFullScreen))
        endFullScreen();
}

// The tab's splitter (the Properties table itself) leaves the window and fills the screen on its
// own, unless the whole window is to go full screen with its toolbar.
void ViewCommands::setTabFullScreen(Tab tab, bool on)
{
    const TabPanes panes = tabPanes(tab);
    if (!panes.view)
        return;
    QWidget *container = panes.splitter ? static_cast<QWidget *>(panes.splitter) : panes.view;
    QAction *fullScreen = m_ui.m_viewFullScreenAction;
    if (on) {
        if (settings()->showToolbarFullscreen()) {
            // A window already full screen (by the window manager, or restored so) stays so
            // when full screen ends.
            m_windowMadeFullScreen = !m_window->isFullScreen();
            m_window->showFullScreen();
        } else {
            settleFocusIn(container);
            container->setParent(nullptr);
            container->installEventFilter(this);
            // Its key leaves full screen from the lone tab too.
            container->addAction(fullScreen);
            m_fullScreenContainer = container;
            container->showFullScreen();
            m_window->hide();
        }
        showFullScreenNote(panes.view, true);
        if (panes.splitter)
            QTimer::singleShot(splitterTipDelayMs, this, [this] { m_showSplitterTip(); });
        return;
    }
    showFullScreenNote(panes.view, false);
    endFullScreen();
}

// Full screen gives back what it took, whatever the window's own state: the tab standing
// alone returns to its page, and the window leaves full screen only if full screen made it so.
void ViewCommands::endFullScreen()
{
    if (QWidget *container = m_fullScreenContainer) {
        m_fullScreenContainer = nullptr;
        container->removeEventFilter(this);
        container->removeAction(m_ui.m_viewFullScreenAction);
        settleFocusIn(container);
        QWidget *page = pageOf(container);
        container->setParent(page);
        page->layout()->addWidget(container);
        container->showNormal();
        m_window->show();
        takeBackActivation();
    }
    if (m_windowMadeFullScreen) {
        m_windowMadeFullScreen = false;
        m_window->showNormal();
    }
    QToolBar *toolBar = m_ui.m_mainToolBar;
    toolBar->resize(toolBar->width() - 1, toolBar->height());
}

// The tab's own window, which had the focus, is folded into the main window as it goes back:
// the focus is the main window's again at once, without the word that the main window is the
// active one, and the window manager's focus that follows changes nothing. Left so, the window
// would never count as active again (no question about another program's version, no pause
// that waits for one) until the user went to another program and back.
void ViewCommands::takeBackActivation()
{
    m_window->activateWindow();
    const QWindow *handle = m_window->windowHandle();
    if (handle && QGuiApplication::focusWindow() == handle
        && QApplication::activeWindow() != m_window)
        QApplication::setActiveWindow(m_window);
}

void ViewCommands::leaveFullScreen()
{
    if (m_ui.m_viewFullScreenAction->isChecked())
        m_ui.m_viewFullScreenAction->setChecked(false);
    else if (m_fullScreenContainer)
        endFullScreen();
}

QWidget *ViewCommands::pageOf(const QWidget *container)
{
    for (Tab tab : {Tab::Cards, Tab::Charts, Tab::Table, Tab::Properties}) {
        const TabPanes panes = tabPanes(tab);
        if ((panes.splitter ? panes.splitter : panes.view) == container)
            return panes.page;
    }
    return nullptr;
}

void ViewCommands::returnLoneTab()
{
    if (!m_fullScreenContainer || m_fullScreenContainer->parentWidget())
        return;
    m_fullScreenContainer->removeEventFilter(this);
    m_fullScreenContainer->setParent(pageOf(m_fullScreenContainer));
}

// The program would end without the window's closing, and so without saving. The lone tab goes
// back into the window instead, once the close has returned.
bool ViewCommands::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Close && watched == m_fullScreenContainer) {
        event->ignore();
        QTimer::singleShot(0, this, [this] { leaveFullScreen(); });
        return true;
    }
    return QObject::eventFilter(watched, event);
}

// Section shortcuts

void ViewCommands::showLeftPaneSection(Tab tab, QWidget *section)
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
        updateShowHideLeftPane();
    }
    panes.leftPane->setChildOpen(section, true);
    if (auto *widget = qobject_cast<LeftPaneWidget *>(section))
        widget->giveFocus();
}

void ViewCommands::toggleLayout()
{
    showLeftPaneSection(Tab::Cards, m_panes.cardsLeftPane->colorLayoutWidget());
}

void ViewCommands::toggleShowProperties()
{
    showLeftPaneSection(Tab::Cards, m_panes.cardsLeftPane->showPropertiesWidget());
}

// Filter and Appearance have a section in the left pane of each of the three views: the
// section of the view on show is opened.
void ViewCommands::showSectionOfShownView(QWidget *cardsSection, QWidget *chartsSection,
                                          QWidget *tableSection)
{
    if (m_panes.cardsView->isVisible())
        showLeftPaneSection(Tab::Cards, cardsSection);
    else if (m_panes.chartsView->isVisible())
        showLeftPaneSection(Tab::Charts, chartsSection);
    else if (m_panes.tableView->isVisible())
        showLeftPaneSection(Tab::Table, tableSection);
}

void ViewCommands::toggleFilter()
{
    showSectionOfShownView(m_panes.cardsLeftPane->filterWidget(),
                           m_panes.chartsLeftPane->filterWidget(),
                           m_panes.tableLeftPane->filterWidget());
}

void ViewCommands::toggleSearch()
{
    showLeftPaneSection(Tab::Cards, m_panes.cardsLeftPane->searchWidget());
}

void ViewCommands::toggleStoredViews()
{
    showLeftPaneSection(Tab::Cards, m_panes.cardsLeftPane->sliceWidget());
}

void ViewCommands::toggleAppearance()
{
    showSectionOfShownView(m_panes.cardsLeftPane->appearanceWidget(),
                           m_panes.chartsLeftPane->appearanceWidget(),
                           m_panes.tableLeftPane->appearanceWidget());
}

void ViewCommands::toggleChartDisplay()
{
    showLeftPaneSection(Tab::Charts, m_panes.chartsLeftPane->displayWidget());
}

// Stored views

void ViewCommands::selectStoredView(int number)
{
    if (m_panes.cardsView->isVisible() && m_panes.cardsLeftPane->sliceWidget())
        m_panes.cardsLeftPane->sliceWidget()->selectSlice(number);
}

void ViewCommands::selectPreviousStoredView()
{
    if (m_panes.cardsView->isVisible() && m_panes.cardsLeftPane->sliceWidget())
        m_panes.cardsLeftPane->sliceWidget()->selectPreviousSlice();
}

void ViewCommands::selectNextStoredView()
{
    if (m_panes.cardsView->isVisible() && m_panes.cardsLeftPane->sliceWidget())
        m_panes.cardsLeftPane->sliceWidget()->selectNextSlice();
}
