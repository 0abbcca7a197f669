#include "app/MainWindow.h"

#include "app/Application.h"
#include "app/DropFilesEvent.h"
#include "app/FileOpenEvent.h"
#include "app/StartupRules.h"
#include "cardedit/ReplaceDialog.h"
#include "cards/CardsScene.h"
#include "cards/CardsView.h"
#include "charts/ChartsLeftPane.h"
#include "charts/ChartsScene.h"
#include "charts/ChartsView.h"
#include "common/app/Accessors.h"
#include "common/core/BusyCursor.h"
#include "common/core/FileHelpers.h"
#include "common/core/SavedWindowShapes.h"
#include "common/core/TextHelpers.h"
#include "common/core/Version.h"
#include "common/widgets/DelayedEditLineEdit.h"
#include "common/widgets/DialogHelpers.h"
#include "common/widgets/MessageBoxes.h"
#include "common/widgets/Settings.h"
#include "common/widgets/UpdateBlocker.h"
#include "dialogs/AboutDialog.h"
#include "dialogs/GettingStartedDialog.h"
#include "leftpane/CardsColorLayoutWidget.h"
#include "leftpane/CardsFilterWidget.h"
#include "leftpane/CardsLeftPane.h"
#include "properties/PropertiesView.h"
#include "table/BaseTableView.h"
#include "table/DeferredRefresh.h"
#include "table/TableLeftPane.h"
#include "table/TableView.h"
#include "ui_MainWindow.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QSlider>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>

namespace {

const char planExtension[] = "tv";
const int startupCompletionDelayMs = 250;
const int autoUpdateCheckDelayMs = 750;
// The version the window's state is kept under in the preferences.
const int windowStateVersion = 0;

// A tab's view takes the room the splitter gains; its left pane keeps its width.
void setPaneStretch(QWidget *leftPane, QWidget *view)
{
    QSizePolicy pane = leftPane->sizePolicy();
    pane.setHorizontalPolicy(QSizePolicy::Minimum);
    pane.setHorizontalStretch(0);
    leftPane->setSizePolicy(pane);
    QSizePolicy grows = view->sizePolicy();
    grows.setHorizontalPolicy(QSizePolicy::Expanding);
    grows.setHorizontalStretch(1);
    view->setSizePolicy(grows);
}

DeferredRefresh::Kind propertiesRefreshKind(int eventType)
{
    return DeferredRefresh::kindOf(eventType, PropertiesView::rebuildsOn,
                                   PropertiesView::changesInPlaceOn);
}

} // namespace

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), m_ui(new Ui::MainWindow)
{
    // A relative argument names a file of the folder the program was started in, which the
    // data folder replaces further down.
    const QString argument = planArgument(QCoreApplication::arguments());
    m_ui->setupUi(this);
    settings()->loadCardsAppearances();
    // The tab labels say enough; the form's tab icons are only there for the designer.
    for (int i = 0; i < m_ui->m_tabWidget->count(); ++i)
        m_ui->m_tabWidget->setTabIcon(i, QIcon(QPixmap()));
    setUnifiedTitleAndToolBarOnMac(true);
    m_ui->statusBar->hide();
    removeFullScreenAction();
    replaceToolBarSeparatorsWithSpacers();
    removeLastHelpSeparator();
    m_ui->m_viewFullScreenAction->setIconVisibleInMenu(false);
    applyToolBarIconSize();
    applyToolBarTextStyle();
    createZoomSlider();
    createTabPages();
    createHandlers();
    m_availableToolBarActions = m_ui->m_mainToolBar->actions();
    setupToolBar();
    connectActions();
    connectPanes();
    connectViewCommands();
    installShortcuts();
    doc()->emitChanged(EventType::UiStyleChanged);
    restoreSavedGeometry(this, settings()->read(Settings::Key::Geometry).toByteArray());
    const QByteArray state = settings()->read(Settings::Key::WindowState).toByteArray();
    if (isRestorableWindowState(state, windowStateVersion, desktopGeometry()))
        restoreState(state, windowStateVersion);
    m_ui->m_viewToolTipsAction->setChecked(settings()->showTooltips());
    m_ui->m_viewShowOverlays->setChecked(settings()->showOverlay());
    QDir::setCurrent(dataFolder(true));
    offerSamplePlans();
    loadRecentDocs();
    openFirstPlan(argument);
    onUpdateRecentDocs();
    runGettingStarted();
    setWindowModified(false);
    updateWindowTitle();
    {
        // Before the window is shown no toolbar is visible yet; what counts is whether it is
        // to be shown.
        const QSignalBlocker blocker(m_ui->m_viewToolBarAction);
        m_ui->m_viewToolBarAction->setChecked(!m_ui->m_mainToolBar->isHidden());
    }
    QTimer::singleShot(startupCompletionDelayMs, this, &MainWindow::onCompleteStartup);
    // Open requests of the operating system reach the window only from here on; earlier ones
    // wait in Application::pendingOpenPath.
    app()->registerMainWindow(this);
    app()->setFileOpenHandler([this](const QUrl &url) {
        openDroppedFiles({url}, -1, {});
        if (isMinimized())
            raise();
    });
    handOnLateOpenRequest();
}

MainWindow::~MainWindow()
{
    // The find-and-replace window goes first, while its closing() still reaches a whole
    // window.
    delete m_replaceDialog;
    app()->unregisterMainWindow(this);
    // Nothing reaches the half-destroyed window any more: the scene still signals a selection
    // change when its selected cards go with it.
    doc()->disconnect(this);
    const QList<QObject *> panes = {
        m_panes.cardsScene,  m_panes.cardsView,     m_panes.cardsLeftPane,  m_panes.cardsSplitter,
        m_panes.chartsScene, m_panes.chartsView,    m_panes.chartsLeftPane, m_panes.chartsSplitter,
        m_panes.tableView,   m_panes.tableLeftPane, m_panes.tableSplitter,  m_panes.propertiesView};
    for (QObject *pane : panes)
        pane->disconnect(this);
    disconnect(qApp, &QCoreApplication::aboutToQuit, this, &MainWindow::onAboutToQuit);
    m_views->returnLoneTab();
    Settings *store = settings();
    store->saveCardsAppearances();
    store->setShowTooltips(m_ui->m_viewToolTipsAction->isChecked());
    store->setShowOverlay(m_ui->m_viewShowOverlays->isChecked());
    const QList<int> cardsSizes = m_panes.cardsSplitter->sizes();
    store->setShowCardsLeftPane(cardsSizes.isEmpty() || cardsSizes.first() != 0);
    // A tab never shown has not been laid out, and says nothing about its left pane.
    const auto laidOut = [](const QList<int> &sizes) {
        return sizes.size() == 2 && (sizes.at(0) != 0 || sizes.at(1) != 0);
    };
    const QList<int> chartsSizes = m_panes.chartsSplitter->sizes();
    if (laidOut(chartsSizes))
        store->setShowChartsLeftPane(chartsSizes.first() != 0);
    const QList<int> tableSizes = m_panes.tableSplitter->sizes();
    if (laidOut(tableSizes))
        store->setShowTableLeftPane(tableSizes.first() != 0);
    store->write(Settings::Key::Sessions, store->read(Settings::Key::Sessions).toInt() + 1);
    store->write(Settings::Key::LastPlan,
                 store->isIniFormat() ? relativePath(m_planFile.fileName) : m_planFile.fileName);
    if (store->takeShowInstallPage())
        openUrlWithVersion(webSiteUrl() + QStringLiteral("/mac_install.html"));
    clearUndoHistory();
    delete m_ui;
}

QList<QAction *> MainWindow::toolBarActions() const
{
    return m_ui->m_mainToolBar->actions();
}

// Full screen is reached by its shortcut and the Escape key only, so it takes no room
// in the View menu or on the toolbar.
void MainWindow::removeFullScreenAction()
{
    m_ui->m_viewMenu->removeAction(m_ui->m_viewFullScreenAction);
    m_ui->m_mainToolBar->removeAction(m_ui->m_viewFullScreenAction);
}

// Toolbar groups are spread over the window's width rather than split by lines.
void MainWindow::replaceToolBarSeparatorsWithSpacers()
{
    const QList<QAction *> actions = m_ui->m_mainToolBar->actions();
    for (QAction *action : actions) {
        if (!action->isSeparator())
            continue;
        auto *spacer = new QWidget;
        spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        QAction *spacerAction = m_ui->m_mainToolBar->insertWidget(action, spacer);
        spacerAction->setIconText(QStringLiteral("_spacer"));
        delete action;
    }
}

// Where the platform moves About into its application menu, the Help menu would end with a
// separator of its own.
void MainWindow::removeLastHelpSeparator()
{
    const QList<QAction *> actions = m_ui->m_helpMenu->actions();
    for (int i = actions.size() - 1; i >= 0; --i) {
        if (actions.at(i)->isSeparator()) {
            delete actions.at(i);
            return;
        }
    }
}

void MainWindow::createZoomSlider()
{
    m_zoomSlider = new QSlider(Qt::Horizontal, this);
    m_zoomSlider->setMinimumWidth(100);
    m_zoomSlider->setMaximumWidth(150);
    m_zoomSlider->setRange(-10, 10);
    m_zoomSlider->setPageStep(2);
    m_zoomSlider->setValue(0);
    m_zoomSlider->setSliderPosition(0);
    m_zoomSlider->setToolTip(tr("Zoom in/out."));
    m_zoomSlider->setFocusPolicy(Qt::NoFocus);
    m_zoomSliderAction = m_ui->m_mainToolBar->insertWidget(m_ui->m_viewZoomFitAction, m_zoomSlider);
    m_zoomSliderAction->setIconText(QStringLiteral("Zoom slider"));
}

// Each tab holds a left pane beside its view in a splitter; the Properties tab holds its table
// alone.
void MainWindow::createTabPages()
{
    const auto splitterPage = [](QWidget *page, QSplitter **splitter) {
        auto *layout = new QHBoxLayout(page);
        *splitter = new QSplitter(Qt::Horizontal, page);
        (*splitter)->setFrameStyle(QFrame::NoFrame);
        (*splitter)->setContentsMargins(0, 0, 0, 0);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(*splitter);
    };
    splitterPage(m_ui->m_cardsTab, &m_panes.cardsSplitter);
    m_panes.cardsScene = new CardsScene(doc(), this);
    m_panes.cardsView = new CardsView(m_panes.cardsScene, m_panes.cardsSplitter);
    m_panes.cardsLeftPane
        = new CardsLeftPane(m_panes.cardsSplitter, m_panes.cardsScene, m_panes.cardsView);
    m_panes.cardsSplitter->addWidget(m_panes.cardsLeftPane);
    m_panes.cardsSplitter->addWidget(m_panes.cardsView);
    m_panes.cardsLeftPane->setFrameStyle(QFrame::NoFrame);
    m_panes.cardsView->setFrameStyle(QFrame::NoFrame);
    setPaneStretch(m_panes.cardsLeftPane, m_panes.cardsView);
    splitterPage(m_ui->m_chartsTab, &m_panes.chartsSplitter);
    m_panes.chartsScene = new ChartsScene(doc(), this);
    m_panes.chartsView = new ChartsView(m_panes.chartsSplitter);
    m_panes.chartsView->setScene(m_panes.chartsScene);
    m_panes.chartsLeftPane
        = new ChartsLeftPane(m_panes.chartsSplitter, m_panes.chartsScene, m_panes.chartsView);
    m_panes.chartsSplitter->addWidget(m_panes.chartsLeftPane);
    m_panes.chartsSplitter->addWidget(m_panes.chartsView);
    m_panes.chartsLeftPane->setFrameStyle(QFrame::NoFrame);
    m_panes.chartsView->setFrameStyle(QFrame::NoFrame);
    setPaneStretch(m_panes.chartsLeftPane, m_panes.chartsView);
    splitterPage(m_ui->m_tableTab, &m_panes.tableSplitter);
    m_panes.tableView = new TableView(m_panes.tableSplitter);
    m_panes.tableLeftPane = new TableLeftPane(m_panes.tableSplitter, m_panes.tableView);
    m_panes.tableSplitter->addWidget(m_panes.tableLeftPane);
    m_panes.tableSplitter->addWidget(m_panes.tableView);
    m_panes.tableView->setFrameStyle(QFrame::NoFrame);
    setPaneStretch(m_panes.tableLeftPane, m_panes.tableView);
    auto *propertiesLayout = new QHBoxLayout(m_ui->m_propertiesTab);
    propertiesLayout->setContentsMargins(0, 0, 0, 0);
    m_ui->m_propertiesTab->setContentsMargins(0, 0, 0, 0);
    m_panes.propertiesView = new PropertiesView(m_ui->m_propertiesTab);
    m_panes.propertiesView->setFrameStyle(QFrame::NoFrame);
    QSizePolicy stretching = m_panes.propertiesView->sizePolicy();
    stretching.setHorizontalPolicy(QSizePolicy::Expanding);
    stretching.setHorizontalStretch(1);
    m_panes.propertiesView->setSizePolicy(stretching);
    propertiesLayout->addWidget(m_panes.propertiesView);
    setContentsMargins(0, 0, 0, 0);
    m_ui->horizontalLayout->setContentsMargins(0, 0, 0, 0);
}

// The work of the commands is done by handlers, each handed the plan and the panes and
// commands it works on; the window's slots forward to them.
void MainWindow::createHandlers()
{
    Ui::MainWindow &ui = *m_ui;
    m_tips = new OneTimeTips(*doc(), m_panes, ui, this);
    m_exports = new ExportHandler(
        *doc(), m_planFile, m_panes, ui.m_filePrintAction, ui.m_fileExportMenu,
        [this] { return selectedTaskIndexes(); }, [this] { return visibleTaskIndexes(); }, this);
    m_updates = new UpdateChecker(ui.m_helpCheckForUpdatesAction, this);
    DropHandler::Hooks dropHooks;
    dropHooks.maybeSave = [this] { return maybeSave(); };
    dropHooks.openPlan = [this](const QString &path) {
        m_ui->m_viewZoomFitAction->setChecked(true);
        openFile(path, false);
    };
    dropHooks.addTask
        = [this](const QList<PropertyIndexAndValue> &presets, const QList<HyperLink> &links,
                 int imageIndex) { addTask(presets, links, imageIndex); };
    m_drops = new DropHandler(*doc(), dropHooks, this);
    PlanFileGuard::Hooks guardHooks;
    guardHooks.save = [this] { return save(); };
    guardHooks.reopen
        = [this](const QString &path, bool readOnly) { return openFile(path, readOnly); };
    guardHooks.retitle = [this] { updateWindowTitle(); };
    guardHooks.enterTypedText = [this] { enterTypedText([] { return true; }); };
    m_fileGuard = new PlanFileGuard(*doc(), m_planFile, guardHooks, this);
    m_views = new ViewCommands(
        m_panes, ui, m_zoomSlider, [this] { onShowSplitterTipOnce(); }, this);
    m_recentPlans = new RecentPlans(m_planFile, ui.m_fileRecentDocs, this);
    PlanFileCommands::Hooks fileHooks;
    fileHooks.refresh = [this] { onRefresh(); };
    fileHooks.selectionChanged = [this] { onSelectionChanged(); };
    fileHooks.clearUndoHistory = [this] { clearUndoHistory(); };
    fileHooks.saveUndoState = [this](const QString &name) { saveUndoState(name); };
    fileHooks.retitle = [this] { updateWindowTitle(); };
    fileHooks.enterTypedText
        = [this](const std::function<bool()> &mayAsk) { enterTypedText(mayAsk); };
    fileHooks.windowClosed = [this] { return m_closeAccepted; };
    m_files
        = new PlanFileCommands(*doc(), m_planFile, *m_fileGuard, *m_recentPlans,
                               ui.m_fileDuplicateAction, ui.m_viewZoomFitAction, fileHooks, this);
    connect(m_recentPlans, &RecentPlans::openRequested, m_files, &PlanFileCommands::openRecent);
    // A start without an update check offers the tip that fits the plan.
    connect(m_updates, &UpdateChecker::noCheckDue, this, [this] {
        if (doc()->propertyCount() < 2)
            showAddPropertyTip();
        else
            showAddCardTip();
    });
}

void MainWindow::connectActions()
{
    Ui::MainWindow &ui = *m_ui;
    connect(ui.m_fileNewAction, &QAction::triggered, this, &MainWindow::onFileNewAction);
    connect(ui.m_fileOpenAction, &QAction::triggered, this, &MainWindow::onFileOpenAction);
    connect(ui.m_fileDuplicateAction, &QAction::triggered, this,
            &MainWindow::onFileDuplicateAction);
    connect(ui.m_filePageSetup, &QAction::triggered, this, &MainWindow::onFilePageSetupAction);
    connect(ui.m_filePrintAction, &QAction::triggered, this, &MainWindow::onFilePrintAction);
    connect(ui.m_fileExportCardsPDFAction, &QAction::triggered, this,
            &MainWindow::onExportCardsPDF);
    connect(ui.m_fileExportCardsSVGAction, &QAction::triggered, this,
            &MainWindow::onExportCardsSVG);
    connect(ui.m_fileExportCardsPNGAction, &QAction::triggered, this,
            &MainWindow::onExportCardsPNG);
    connect(ui.m_fileExportCardsJPGAction, &QAction::triggered, this,
            &MainWindow::onExportCardsJPG);
    connect(ui.m_fileExportChartsPDFAction, &QAction::triggered, this,
            &MainWindow::onExportChartsPDF);
    connect(ui.m_fileExportChartsSVGAction, &QAction::triggered, this,
            &MainWindow::onExportChartsSVG);
    connect(ui.m_fileExportChartsPNGAction, &QAction::triggered, this,
            &MainWindow::onExportChartsPNG);
    connect(ui.m_fileExportChartsJPGAction, &QAction::triggered, this,
            &MainWindow::onExportChartsJPG);
    connect(ui.m_fileExportTableCSVAction, &QAction::triggered, this,
            &MainWindow::onExportTableCSV);
    connect(ui.m_fileExportTableTXTAction, &QAction::triggered, this,
            &MainWindow::onExportTableTXT);
    connect(ui.m_fileExitAction, &QAction::triggered, this, &MainWindow::onFileExitAction);
    connect(ui.m_editUndoAction, &QAction::triggered, this, &MainWindow::onEditUndoAction);
    connect(ui.m_editRedoAction, &QAction::triggered, this, &MainWindow::onEditRedoAction);
    connect(ui.m_editAddTaskAction, &QAction::triggered, this, &MainWindow::onEditAddTaskAction);
    connect(ui.m_editTaskAction, &QAction::triggered, this, &MainWindow::onEditTaskAction);
    connect(ui.m_editDuplicateAction, &QAction::triggered, this,
            &MainWindow::onEditDuplicateAction);
    connect(ui.m_editAddPropertyAction, &QAction::triggered, this,
            &MainWindow::onEditAddPropertyAction);
    connect(ui.m_editPropertyAction, &QAction::triggered, this, &MainWindow::onEditPropertyAction);
    connect(ui.m_editOrderPropertiesAction, &QAction::triggered, this,
            &MainWindow::onEditOrderPropertiesAction);
    connect(ui.m_editImagesAction, &QAction::triggered, this, &MainWindow::onEditImagesAction);
    connect(ui.m_editReplaceAction, &QAction::triggered, this, &MainWindow::onEditReplaceAction);
    connect(ui.m_editSelectAllAction, &QAction::triggered, this,
            &MainWindow::onEditSelectAllAction);
    connect(ui.m_editDeleteAction, &QAction::triggered, this, &MainWindow::onEditDeleteAction);
    connect(ui.m_editPreferencesAction, &QAction::triggered, this,
            &MainWindow::onEditPreferencesAction);
    connect(app(), &Application::changed, this, &MainWindow::onSettingChanged);
    connect(ui.m_viewZoomFitAction, &QAction::toggled, this, &MainWindow::onZoomToFitToggled);
    connect(ui.m_viewZoomInAction, &QAction::triggered, this, &MainWindow::onZoomIn);
    connect(ui.m_viewZoomOutAction, &QAction::triggered, this, &MainWindow::onZoomOut);
    connect(ui.m_viewZoomSelectedAction, &QAction::triggered, m_panes.cardsView,
            QOverload<>::of(&CardsView::onZoomSelected));
    connect(ui.m_viewZoomMagnifyAction, &QAction::toggled, m_panes.cardsView,
            &CardsView::onMagnifyUnderCursor);
    connect(ui.m_viewTransposeAction, &QAction::triggered,
            m_panes.cardsLeftPane->colorLayoutWidget(), &CardsColorLayoutWidget::onTranspose);
    connect(ui.m_viewToolBarAction, &QAction::toggled, this,
            &MainWindow::onToolbarVisibilityToggled);
    connect(ui.m_viewShowLeftPaneAction, &QAction::toggled, this, &MainWindow::onToggleLeftPane);
    connect(ui.m_viewShowOverlays, &QAction::toggled, this, &MainWindow::onOverlayToggled);
    connect(ui.m_viewToolTipsAction, &QAction::toggled, m_panes.cardsView,
            &CardsView::onToolTipsToggled);
    connect(ui.m_viewFullScreenAction, &QAction::toggled, this, &MainWindow::onFullScreenToggled);
    connect(ui.m_helpTavroloAction, &QAction::triggered, this, &MainWindow::onHelpTavroloAction);
    connect(ui.m_helpFAQAction, &QAction::triggered, this, &MainWindow::onFAQPage);
    connect(ui.m_helpTipsTavroloAction, &QAction::triggered, this,
            &MainWindow::onHelpTipTavroloAction);
    connect(ui.m_helpSupportAction, &QAction::triggered, this, &MainWindow::onHelpSupportAction);
    connect(ui.m_helpCheckForUpdatesAction, &QAction::triggered, this,
            &MainWindow::onCheckForUpdates);
    connect(ui.m_helpSubscribeToNewsletterAction, &QAction::triggered, this,
            &MainWindow::onSubscribeToNewsletter);
    connect(ui.m_helpAboutAction, &QAction::triggered, this, &MainWindow::onHelpAboutAction);
}

// The plan's change notification reaches its receivers in the order connected here: this
// window first, then the scenes and views, the tables, and the left panes' sections. A table
// out of sight takes the changes when it is next shown.
void MainWindow::connectPanes()
{
    connect(m_ui->m_mainToolBar, &QToolBar::visibilityChanged, this,
            &MainWindow::onToolbarVisibilityChanged);
    connect(m_ui->m_tabWidget, &QTabWidget::currentChanged, this, &MainWindow::onTabChanged);
    connect(m_panes.cardsScene, &CardsScene::animationFinished, m_panes.cardsView,
            &CardsView::onRedrawMagnify);
    connect(m_panes.cardsScene, &CardsScene::redrawing, m_panes.cardsView, &CardsView::onAutoZoom);
    connect(m_panes.cardsScene, &CardsScene::redrawing, this, &MainWindow::onUpdatePrinterStatus);
    connect(m_panes.cardsScene, &CardsScene::redrawing, this, &MainWindow::onUpdateExportStatus);
    connect(m_panes.cardsScene, &CardsScene::editTask, this, &MainWindow::onEditTask);
    connect(m_panes.cardsScene, &QGraphicsScene::selectionChanged, this,
            &MainWindow::onSelectionChanged);
    connect(m_panes.cardsScene, &CardsScene::newTask, this, &MainWindow::onNewTask);
    connect(m_panes.cardsSplitter, &QSplitter::splitterMoved, this,
            &MainWindow::onUpdateShowHideLeftPane);
    connect(m_panes.cardsLeftPane, &LeftPane::escapeKeyPressed, this,
            &MainWindow::onEscapeKeyPressed);
    connect(m_panes.cardsView, &GraphicsView::visibilityChanged, this,
            &MainWindow::onVisibilityChanged);
    connect(m_panes.cardsView, &CardsView::zoomButtonClicked, this,
            &MainWindow::onZoomButtonClicked);
    connect(m_panes.cardsView, &CardsView::droppedFiles, this, &MainWindow::onDroppedFiles);
    connect(m_panes.cardsView, &CardsView::doubleClicked, this, &MainWindow::onEditTaskAction);
    connect(m_panes.cardsView, &CardsView::editSelectedCards, this, &MainWindow::onEditTaskAction);
    connect(m_panes.cardsView, &CardsView::duplicateSelectedCards, this,
            &MainWindow::onEditDuplicateAction);
    connect(m_panes.cardsView, &CardsView::deleteSelectedCards, this,
            &MainWindow::onEditDeleteAction);
    connect(m_panes.cardsView, &GraphicsView::escapeKeyPressed, this,
            &MainWindow::onEscapeKeyPressed);
    connect(m_zoomSlider, &QSlider::valueChanged, this, &MainWindow::onZoomTo);
    connect(m_panes.chartsScene, &ChartsScene::layoutFinished, m_panes.chartsView,
            &ChartsView::onZoomAll);
    connect(m_panes.chartsScene, &ChartsScene::redrawing, this, &MainWindow::onUpdatePrinterStatus);
    connect(m_panes.chartsView, &ChartsView::droppedFiles, this, &MainWindow::onDroppedFiles);
    connect(m_panes.chartsSplitter, &QSplitter::splitterMoved, this,
            &MainWindow::onUpdateShowHideLeftPane);
    connect(m_panes.chartsLeftPane, &LeftPane::escapeKeyPressed, this,
            &MainWindow::onEscapeKeyPressed);
    connect(m_panes.chartsView, &GraphicsView::visibilityChanged, this,
            &MainWindow::onVisibilityChanged);
    connect(m_panes.chartsView, &GraphicsView::escapeKeyPressed, this,
            &MainWindow::onEscapeKeyPressed);
    connect(m_panes.tableSplitter, &QSplitter::splitterMoved, this,
            &MainWindow::onUpdateShowHideLeftPane);
    connect(m_panes.tableLeftPane, &LeftPane::escapeKeyPressed, this,
            &MainWindow::onEscapeKeyPressed);
    connect(m_panes.tableView, &BaseTableView::escapeKeyPressed, this,
            &MainWindow::onEscapeKeyPressed);
    connect(m_panes.tableView, &QTableWidget::itemSelectionChanged, this,
            &MainWindow::onSelectionChanged);
    connect(m_panes.tableView, &BaseTableView::visibilityChanged, this,
            &MainWindow::onVisibilityChanged);
    connect(m_panes.tableView, &BaseTableView::droppedFiles, this, &MainWindow::onDroppedFiles);
    connect(m_panes.propertiesView, &BaseTableView::visibilityChanged, this,
            &MainWindow::onVisibilityChanged);
    connect(m_panes.propertiesView, &BaseTableView::escapeKeyPressed, this,
            &MainWindow::onEscapeKeyPressed);
    connect(m_panes.propertiesView, &QTableWidget::itemSelectionChanged, this,
            &MainWindow::onSelectionChanged);
    connect(m_panes.propertiesView, &BaseTableView::droppedFiles, this,
            &MainWindow::onDroppedFiles);
    connect(doc(), &Document::changed, this, &MainWindow::onChangedDoc);
    connect(doc(), &Document::changed, m_panes.cardsScene, &CardsScene::onChangedDoc);
    connect(doc(), &Document::changed, m_panes.cardsView, &CardsView::onChangedDoc);
    connect(doc(), &Document::changed, m_panes.chartsScene, &ChartsScene::onChangedDoc);
    connect(doc(), &Document::changed, m_panes.chartsView, &ChartsView::onChangedDoc);
    auto *tableRefresh = new DeferredRefresh(
        m_panes.tableView, &TableView::refreshKind,
        [table = m_panes.tableView](const Events &events) { table->onChangedDoc(events); });
    connect(doc(), &Document::changed, tableRefresh, &DeferredRefresh::onChangedDoc);
    auto *propertiesRefresh
        = new DeferredRefresh(m_panes.propertiesView, propertiesRefreshKind,
                              [properties = m_panes.propertiesView](const Events &events) {
                                  properties->onChangedDoc(events);
                              });
    connect(doc(), &Document::changed, propertiesRefresh, &DeferredRefresh::onChangedDoc);
    connect(doc(), &Document::aboutToChange, this, &MainWindow::onAboutToChange);
    m_panes.cardsLeftPane->connectToDocument();
    m_panes.chartsLeftPane->connectToDocument();
    m_panes.tableLeftPane->connectToDocument();
}

// A file named on the command line comes first, then one the operating system asked for
// while the window was being built, then the plan of the last run.
void MainWindow::openFirstPlan(const QString &argument)
{
    const QString pending = Application::pendingOpenPath;
    Application::pendingOpenPath.clear();
    QString path = argument;
    if (path.isEmpty())
        path = pending;
    if (path.isEmpty())
        path = absolutePath(settings()->read(Settings::Key::LastPlan).toString());
    if (!path.isEmpty() && QFileInfo::exists(path))
        openFile(path, false);
}

void MainWindow::runGettingStarted()
{
    while (m_planFile.fileName.isEmpty()) {
        GettingStartedDialog dialog(nullptr, hasSamplePlans());
        dialog.exec();
        if (dialog.openPlanRequested())
            openPlanDialog(false);
        else if (dialog.openCSVRequested())
            openPlanDialog(true);
        else
            onFileNewAction();
    }
}

// A request that came while a start-up dialog was open is handed on as the operating system
// would have, once the event loop runs.
void MainWindow::handOnLateOpenRequest()
{
    if (Application::pendingOpenPath.isEmpty())
        return;
    const QUrl url = QUrl::fromLocalFile(Application::pendingOpenPath);
    Application::pendingOpenPath.clear();
    QTimer::singleShot(0, app(), [url] {
        FileOpenEvent request(url);
        QCoreApplication::sendEvent(app(), &request);
    });
}

// The note for users of the program's first major version is never due: no such version
// was ever installed on this platform.
//
// The close handler lets pending events run, this among them: a window whose close went ahead
// (the user closed it within the first moments) has no start-up left to complete, and nothing
// of it may ask while the program ends; the notes of the last end wait for the next start.
// While a quit from outside is under way no box opens, and the notes stay (tellWherePlanWasKept).
void MainWindow::onCompleteStartup()
{
    if (m_closeAccepted)
        return;
    if (settings()->isIniFormat() && !settings()->isWritable()) {
        criticalMessage(this,
                        tr("Cannot write to '%1'.\nMake sure the file and folder have write "
                           "permission\nor store 'Preferences' in %2.")
                            .arg(app()->iniFilePath(), Settings().fileName()));
    }
    m_files->tellWherePlanWasKept();
    QTimer::singleShot(autoUpdateCheckDelayMs, this, &MainWindow::onAutoCheckForUpdates);
    m_fileGuard->restartBackupTimer();
}

void MainWindow::applyToolBarIconSize()
{
    static const int sizes[] = {18, 24, 32};
    const int index = settings()->toolbarIconSize();
    const int size = index >= 0 && index < 3 ? sizes[index] : 24;
    m_ui->m_mainToolBar->setIconSize(QSize(size, size));
}

void MainWindow::applyToolBarTextStyle()
{
    const Qt::ToolButtonStyle style
        = settings()->showToolbarText() ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly;
    if (m_ui->m_mainToolBar->toolButtonStyle() != style)
        m_ui->m_mainToolBar->setToolButtonStyle(style);
}

bool MainWindow::isDefaultToolBarAction(const QAction *action) const
{
    const QAction *defaults[] = {m_ui->m_editAddTaskAction,
                                 m_ui->m_editAddPropertyAction,
                                 m_ui->m_editDeleteAction,
                                 m_ui->m_viewShowLeftPaneAction,
                                 m_zoomSliderAction,
                                 m_ui->m_viewZoomFitAction,
                                 m_ui->m_viewZoomInAction,
                                 m_ui->m_viewZoomOutAction,
                                 m_ui->m_viewZoomSelectedAction,
                                 m_ui->m_viewZoomMagnifyAction,
                                 m_ui->m_viewTransposeAction};
    return std::find(std::begin(defaults), std::end(defaults), action) != std::end(defaults);
}

// A spacer only ever stands between two shown actions, so the toolbar never begins or ends
// with empty room and never shows two gaps in a row.
void MainWindow::setupToolBar()
{
    UpdateBlocker blocker(m_ui->m_mainToolBar);
    const QList<QAction *> shown = m_ui->m_mainToolBar->actions();
    for (QAction *action : shown)
        m_ui->m_mainToolBar->removeAction(action);
    QAction *last = nullptr;
    for (QAction *action : qAsConst(m_availableToolBarActions)) {
        if (isSpacerAction(action)) {
            if (!last || isSpacerAction(last))
                continue;
        } else {
            if (!settings()->toolbarShows(action, isDefaultToolBarAction(action)))
                continue;
        }
        m_ui->m_mainToolBar->addAction(action);
        last = action;
    }
    if (last && isSpacerAction(last))
        m_ui->m_mainToolBar->removeAction(last);
}

void MainWindow::offerSamplePlans()
{
    const QString key = samplesOfferKey();
    if (settings()->value(key, 0).toInt() != 0)
        return;
    QMessageBox box(QMessageBox::Information, QString(), QString(), QMessageBox::NoButton, nullptr);
    setMessageText(box,
                   tr("Tavrolo would like to copy some sample plans to '%1'. No existing files "
                      "will be overwritten. Is that OK?")
                       .arg(dataFolder(false)));
    QPushButton *copyButton = box.addButton(tr("Copy samples"), QMessageBox::AcceptRole);
    box.addButton(tr("No thanks"), QMessageBox::RejectRole);
    execMessageBox(box);
    if (box.clickedButton() == copyButton) {
        BusyCursor busy;
        QString from = bundleSamplesFolder();
        QString to = dataFolder(true);
        if (QFileInfo(from).isDir() && QFileInfo(to).isDir())
            copyFolder(from, to, false);
    }
    settings()->setValue(key, 1);
}

// A built program keeps its sample plans in a "samples" folder beside it; an installed one
// finds them in the shared data folder of its prefix (bin/../share/tavrolo/samples).
QString MainWindow::bundleSamplesFolder() const
{
    const QDir programFolder = app()->appDir();
    const QString beside = programFolder.absoluteFilePath(QStringLiteral("samples"));
    const QString installed = QDir::cleanPath(
        programFolder.absoluteFilePath(QStringLiteral("../share/tavrolo/samples")));
    if (!QFileInfo(beside).isDir() && QFileInfo(installed).isDir())
        return installed;
    return beside;
}

bool MainWindow::hasSamplePlans() const
{
    const QDir folder(dataFolder(false));
    if (!folder.exists())
        return false;
    const QStringList plans
        = folder.entryList({QStringLiteral("*.%1").arg(QLatin1String(planExtension))},
                           QDir::Files | QDir::Readable | QDir::NoSymLinks, QDir::Unsorted);
    return !plans.isEmpty();
}

// The form is wider than many screens, and a stored geometry may belong to a screen that has
// gone: the window is shrunk to the available area of the screen it lies most on (else the
// primary one) and moved inside it, so no end of the toolbar is cut off. A window that fits is
// left where it is. Done at the first showing, once the layout has set the smallest size and
// the frame, where known, its margins.
void MainWindow::fitOntoScreen()
{
    if (isMaximized() || isFullScreen())
        return;
    const QRect frame = frameGeometry();
    QScreen *target = nullptr;
    qint64 largestOverlap = 0;
    for (QScreen *screen : QGuiApplication::screens()) {
        const QRect overlap = screen->availableGeometry().intersected(frame);
        const qint64 area = qint64(overlap.width()) * overlap.height();
        if (area > largestOverlap) {
            largestOverlap = area;
            target = screen;
        }
    }
    if (!target)
        target = QGuiApplication::primaryScreen();
    if (!target)
        return;
    const QRect available = target->availableGeometry();
    if (available.contains(frame))
        return;
    // The frame around the window is known only once it is shown; its margins, where known,
    // are kept inside the area too.
    const QSize margins = frame.size() - size();
    resize(size().boundedTo(available.size() - margins));
    const QSize outer = size() + margins;
    move(qBound(available.left(), frame.left(), available.right() + 1 - outer.width()),
         qBound(available.top(), frame.top(), available.bottom() + 1 - outer.height()));
}

// The window's own events: its first showing fits it onto the screen, its activation has the
// plan file checked; the events it posts itself are handed to the handler that posted them.
bool MainWindow::event(QEvent *event)
{
    if (event->type() == QEvent::Show && !m_fittedOntoScreen) {
        m_fittedOntoScreen = true;
        fitOntoScreen();
    }
    if (event->type() == QEvent::WindowActivate)
        m_fileGuard->windowActivated();
    return QMainWindow::event(event);
}

void MainWindow::customEvent(QEvent *event)
{
    switch (int(event->type())) {
    case updateCheckDueEvent:
        checkForUpdates(true);
        break;
    case outsideChangeCheckEvent:
        m_fileGuard->runOutsideChangeCheck();
        break;
    case DropFilesEvent::Type:
        m_drops->takeDropEvent(*static_cast<const DropFilesEvent *>(event));
        break;
    default:
        break;
    }
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    const QScopedValueRollback<bool> closing(m_closing, true);
    if (maybeSave()) {
        event->accept();
        m_closeAccepted = true;
        // An update check still waiting ends without a word.
        m_updates->cancel();
    } else {
        event->ignore();
    }
    settings()->write(Settings::Key::Geometry, saveGeometry());
    settings()->write(Settings::Key::WindowState, saveState(windowStateVersion));
    QCoreApplication::processEvents();
    sleepMicroseconds(500);
}

bool MainWindow::onQuitRequested()
{
    // No one may be there to answer a question about the text being typed: it goes in
    // unasked, before leaving full screen moves the focus, which would enter it asking.
    enterTypedText([] { return false; });
    m_views->leaveFullScreen();
    return m_fileGuard->endAcceptingOutsideVersion([this] {
        onFileExitAction();
        return m_closeAccepted;
    });
}

// A cell editor is entered before the fields: a field's change can rebuild a table, and with
// it close an editor unentered.
void MainWindow::enterTypedText(const std::function<bool()> &mayAsk)
{
    m_panes.tableView->commitOpenEditor();
    m_panes.propertiesView->commitOpenEditor(mayAsk);
    const QList<QWidget *> leftPanes {m_panes.cardsLeftPane, m_panes.chartsLeftPane,
                                      m_panes.tableLeftPane};
    for (const QWidget *pane : leftPanes) {
        for (DelayedEditLineEdit *field : pane->findChildren<DelayedEditLineEdit *>())
            field->flush();
    }
    // The filter section waits a second time, on a timer of its own.
    m_panes.cardsLeftPane->filterWidget()->flush();
}

void MainWindow::updateWindowTitle()
{
    QString title = QStringLiteral("%1 v%2.%3.%4")
                        .arg(QStringLiteral("Tavrolo"))
                        .arg(versionMajor)
                        .arg(versionMinor)
                        .arg(versionPatch);
    if (!m_planFile.fileName.isEmpty())
        title += QStringLiteral(" : %1").arg(QDir::toNativeSeparators(m_planFile.fileName));
    if (m_planFile.readOnly)
        title += tr(" [read-only]");
    setWindowTitle(title + QStringLiteral("[*]"));
}

// Reacting to plan changes

void MainWindow::onChangedDoc(const Events &events)
{
    // The window hears of every change: its undo history notes each one. These are the changes
    // that also make the plan modified, that change the status bar's counts and the cards the
    // filter hides, and that change the enabled states following the plan.
    constexpr EventMask modifiesPlan = EventFlag::TaskAdded | EventFlag::TasksDeleted
        | EventFlag::PropertyAdded | EventFlag::PropertyChanged | EventFlag::PropertyDeleted
        | EventFlag::ValueChanged | EventFlag::TaskNotesChanged | EventFlag::CardsLayoutChanged
        | EventFlag::CardContentChanged | EventFlag::ViewChanged | EventFlag::StoredViewsChanged
        | EventFlag::FilterChanged | EventFlag::CardsAppearanceChanged | EventFlag::TaskLinksChanged
        | EventFlag::PropertiesReordered | EventFlag::ImagesChanged | EventFlag::TaskImageChanged
        | EventFlag::ChartsSettingsChanged | EventFlag::ChartsAppearanceChanged
        | EventFlag::TableAppearanceChanged;
    // A view brings its own filter.
    constexpr EventMask changesStatus = EventFlag::AllChanged | EventFlag::TaskAdded
        | EventFlag::TasksDeleted | EventFlag::PropertyAdded | EventFlag::PropertyChanged
        | EventFlag::PropertyDeleted | EventFlag::ValueChanged | EventFlag::CardsLayoutChanged
        | EventFlag::ViewChanged | EventFlag::FilterChanged | EventFlag::PropertiesReordered
        | EventFlag::ChartsSettingsChanged;
    constexpr EventMask changesActions = EventFlag::AllChanged | EventFlag::PropertyAdded
        | EventFlag::PropertyDeleted | EventFlag::PropertiesReordered
        | EventFlag::CardsLayoutChanged;
    // Only now, with the change stored, does the plan show whether the edit announced before
    // it changed anything, and so what Undo takes back.
    m_undoHistory.noteChanged(*doc());
    noteCardRenumbering(events);
    if (events.any(modifiesPlan))
        noteModification();
    if (events.any(changesStatus))
        updateStatusBar();
    if (events.any(changesActions))
        updateActions();
    updateUndoRedoActions();
}

void MainWindow::updateStatusBar()
{
    const int cards = doc()->taskCount();
    const int hidden = doc()->filteredOutTaskCount();
    QString text = tr("%1 %2").arg(cards).arg(cards == 1 ? tr("card") : tr("cards"));
    if (hidden >= 1)
        text += tr(" (%1 shown, %2 hidden by filtering)").arg(cards - hidden).arg(hidden);
    m_ui->statusBar->showMessage(text);
}

// Every enabled state that follows the plan or the selection is set here.
void MainWindow::updateActions()
{
    m_files->updateActions();
    updateTransposeStatus();
    // The placeholder property counts: two properties of the user can be re-ordered.
    m_ui->m_editOrderPropertiesAction->setEnabled(doc()->propertyCount() >= 3);
    // The first shown pane of Table, Properties and Cards decides what its selection allows;
    // with none of them shown nothing is selected.
    bool cardsSelected = false;
    bool oneProperty = false;
    bool anySelected = false;
    bool zoomToSelected = false;
    if (isTableViewShown()) {
        cardsSelected = anySelected = !m_panes.tableView->selectedTasks().isEmpty();
        oneProperty = tableSelectedProperty() > 0;
    } else if (isPropertiesViewShown()) {
        const int selected = m_panes.propertiesView->selectedPropertyIndexes().size();
        oneProperty = selected == 1;
        anySelected = selected > 0;
    } else if (isCardsViewShown()) {
        cardsSelected = anySelected = zoomToSelected
            = !m_panes.cardsScene->selectedItems().isEmpty();
    }
    m_ui->m_editTaskAction->setEnabled(cardsSelected);
    m_ui->m_editDuplicateAction->setEnabled(cardsSelected);
    m_ui->m_editPropertyAction->setEnabled(oneProperty);
    m_ui->m_editDeleteAction->setEnabled(anySelected);
    m_ui->m_viewZoomSelectedAction->setEnabled(zoomToSelected);
    updateUndoRedoActions();
}

void MainWindow::updateTransposeStatus()
{
    m_ui->m_viewTransposeAction->setEnabled(m_panes.cardsView->isVisible()
                                            && doc()->xProperty() != doc()->yProperty());
}

void MainWindow::onSelectionChanged()
{
    updateActions();
    if (m_replaceDialog)
        m_replaceDialog->onUpdatePreview();
}

void MainWindow::onRefresh()
{
    doc()->emitChanged(EventType::AllChanged);
    onSelectionChanged();
    m_panes.cardsView->onAutoZoom();
    setWindowModified(false);
}

// Help pages

void MainWindow::openWebPage(const QString &url)
{
    if (!openUrlWithVersion(url))
        criticalMessage(this,
                        tr("Unable to access: %1. Please check you have a working Internet "
                           "connection.")
                            .arg(url));
}

void MainWindow::onHelpTavroloAction()
{
    openWebPage(helpUrl());
}

void MainWindow::onHelpTipTavroloAction()
{
    openWebPage(tipsUrl());
}

void MainWindow::onHelpSupportAction()
{
    openWebPage(webSiteUrl() + QStringLiteral("/support.html"));
}

void MainWindow::onSubscribeToNewsletter()
{
    openWebPage(webSiteUrl() + QStringLiteral("/subscribe.html"));
}

void MainWindow::onFAQPage()
{
    openWebPage(webSiteUrl() + QStringLiteral("/faq.html"));
}

void MainWindow::onHelpAboutAction()
{
    AboutDialog dialog(this);
    dialog.exec();
}
