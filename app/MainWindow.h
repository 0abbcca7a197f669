#pragma once

#include "app/DropHandler.h"
#include "app/ExportHandler.h"
#include "app/OneTimeTips.h"
#include "app/PlanFileCommands.h"
#include "app/PlanFileGuard.h"
#include "app/PlanFileState.h"
#include "app/RecentPlans.h"
#include "app/UndoHistory.h"
#include "app/UpdateChecker.h"
#include "app/ViewCommands.h"
#include "app/WindowPanes.h"
#include "common/widgets/Settings.h"
#include "model/Events.h"
#include "model/HyperLink.h"
#include "model/ModelTypes.h"

#include <functional>

#include <QAction>
#include <QDateTime>
#include <QEvent>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QUrl>

class Document;
class GraphicsView;
class QSlider;
class QWidget;
class ReplaceDialog;

namespace Ui {
class MainWindow;
}

// The program's one top-level window. It is a switchboard: it builds the four tabs, connects
// every action and pane in one place and keeps the enabled states in updateActions(). The work
// of the file, view, export and update commands, the drops, the tips and the watch over the plan
// file is done by handlers it creates, each handed the plan and the panes it works on; the
// window's commands forward to them. A plan always has a file; there is no Save command.
//
// Listens to every change of the plan, as its undo history notes each one; the masks beside
// onChangedDoc tell which changes also mark the plan modified, update the status bar and the
// enabled states.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // Events the window posts itself: an automatic update check is due; check the plan file
    // for changes by another program now.
    static constexpr QEvent::Type updateCheckDueEvent = UpdateChecker::checkDueEvent;
    static constexpr QEvent::Type outsideChangeCheckEvent = PlanFileGuard::outsideChangeCheckEvent;

    using ExportKind = ExportHandler::ExportKind;

    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    QString fileName() const { return m_planFile.fileName; }
    QList<QAction *> availableToolBarActions() const { return m_availableToolBarActions; }
    // The actions on the toolbar now.
    QList<QAction *> toolBarActions() const;

    void setupToolBar();
    void applyToolBarIconSize();
    void applyToolBarTextStyle();

    void offerSamplePlans();
    QString bundleSamplesFolder() const;
    bool hasSamplePlans() const;

    // The plan-file commands (PlanFileCommands): opening, creating, saving by itself and
    // before another plan replaces this one, and duplicating.
    bool openFile(const QString &path, bool readOnly) { return m_files->openFile(path, readOnly); }
    bool openPlanDialog(bool preselectCsv) { return m_files->openPlanDialog(preselectCsv); }
    QString uniqueFileName(const QString &base, const QString &extension) const
    {
        return m_files->uniqueFileName(base, extension);
    }
    QString defaultFolder() const { return m_files->defaultFolder(); }
    void setCurrentFile(const QString &path) { m_files->setCurrentFile(path); }
    bool save() { return m_files->save(); }
    bool saveAs() { return m_files->saveAs(); }
    bool saveFile(const QString &path) { return m_files->saveFile(path); }
    bool maybeSave() { return m_files->maybeSave(); }
    // The window's close handler runs and has not let the window close: a close asked for
    // meanwhile goes unheard, as Qt ignores a close while one runs.
    bool isDecidingClose() const { return m_closing && !m_closeAccepted; }
    // The modification time of the open plan's file; invalid without a plan or file.
    QDateTime fileLastModified() const { return m_fileGuard->fileLastModified(); }

    void updateWindowTitle();

    // The recent-files menu (RecentPlans).
    void loadRecentDocs() { m_recentPlans->load(); }
    void addRecentDoc(const QString &path) { m_recentPlans->add(path); }
    void saveRecentDocs() { m_recentPlans->save(); }

    QString duplicateFileName(const QString &path) const { return ::duplicateFileName(path); }

    // Undo and redo by plan snapshots.
    void saveUndoState(const QString &name);
    void updateUndoRedoActions();
    const UndoHistory &undoHistory() const { return m_undoHistory; }

    // Edit commands. addTask runs the card dialog for a new card from the presets, links and
    // picture; editTasks for the given cards.
    void addTask(const QList<PropertyIndexAndValue> &presets, const QList<HyperLink> &links,
                 int imageIndex);
    void editTasks(const QList<TaskIndex> &tasks);
    // The cards selected, or left visible by the filter, in the shown Table or Cards pane.
    QList<TaskIndex> selectedTaskIndexes() const;
    QList<TaskIndex> visibleTaskIndexes() const;
    // For the find-and-replace window, whose matches can be selected in these two panes.
    bool isCardsOrTableShown() const;
    void selectTasks(const QList<TaskIndex> &tasks);

    // Timed backups and the check for changes of the plan file by another program
    // (PlanFileGuard).
    QString backupFilePath(const QString &planPath, bool timeStamped) const
    {
        return m_fileGuard->backupFilePath(planPath, timeStamped);
    }

    // Dropped files and links, and the operating system's requests to open a file
    // (DropHandler).
    void openDroppedFiles(const QList<QUrl> &urls, TaskIndex taskIndex,
                          const QList<PropertyIndexAndValue> &presets)
    {
        m_drops->openDroppedFiles(urls, taskIndex, presets);
    }

    // Exports and printing (ExportHandler).
    bool exportPlan(ExportKind kind, const QString &extension, GraphicsView *view)
    {
        return m_exports->exportPlan(kind, extension, view);
    }
    bool exportPdf(const QString &fileName, GraphicsView *view)
    {
        return m_exports->exportPdf(fileName, view);
    }
    bool exportSvg(const QString &fileName, GraphicsView *view)
    {
        return m_exports->exportSvg(fileName, view);
    }
    bool exportImage(const QString &fileName, const char *format, GraphicsView *view)
    {
        return m_exports->exportImage(fileName, format, view);
    }
    void warnPdfGradients(int gradient) { m_exports->warnPdfGradients(gradient); }

    // One-time tips.
    void showTabsTip() { m_tips->showTabsTip(); }
    void showAutoSaveTip() { m_tips->showAutoSaveTip(); }
    void showLayoutTip() { m_tips->showLayoutTip(); }
    void showAddPropertyTip() { m_tips->showAddPropertyTip(); }
    void showAddCardTip() { m_tips->showAddCardTip(); }

    // The update check (UpdateChecker).
    void checkForUpdates(bool automatic) { m_updates->checkForUpdates(automatic); }

public slots:
    void onCompleteStartup();

    void onChangedDoc(const Events &events);
    void updateActions();
    void updateTransposeStatus();
    void onSelectionChanged();
    void onRefresh();

    void onIdleTimeOut() { m_fileGuard->onIdleTimeOut(); }

    void onFileNewAction() { m_files->newPlan(); }
    void onFileOpenAction() { m_files->openPlanDialog(false); }
    void onFileDuplicateAction() { m_files->duplicate(); }
    void onFileExitAction() { close(); }
    // The program is ended from outside (QuitSignals): File > Exit, which saves the plan, but
    // without asking about a version another program wrote meanwhile, as no one may be there to
    // answer; that version is copied aside first. A tab alone in full screen comes back into
    // the window first: the window's close would leave it open, and the program running.
    // Returns whether the window closed; when the user keeps it open after all (a read-only
    // plan, a failed save), the other program's version is still reported.
    bool onQuitRequested();

    void onUpdateRecentDocs() { m_recentPlans->rebuildMenu(); }
    void onRecentDocSelected() { m_recentPlans->choose(qobject_cast<QAction *>(sender())); }
    void onClearRecentDocSelected() { m_recentPlans->clear(); }

    void onHelpTavroloAction();
    void onHelpTipTavroloAction();
    void onHelpSupportAction();
    void onSubscribeToNewsletter();
    void onFAQPage();
    void onHelpAboutAction();

    void onAboutToChange(const QString &name);
    void onEditUndoAction();
    void onEditRedoAction();

    void onEditAddTaskAction();
    void onNewTask(const QList<PropertyIndexAndValue> &presets);
    void onEditTaskAction();
    void onEditTask(TaskIndex task);
    void onEditDuplicateAction();
    void onEditImagesAction();
    void onEditReplaceAction();
    void onReplaceDlgClosing();
    void onEditAddPropertyAction();
    void onEditPropertyAction();
    void onEditOrderPropertiesAction();
    void onEditPreferencesAction();
    // Applies a preference the window follows, whoever wrote it.
    void onSettingChanged(Settings::Key key);
    void onEditSelectAllAction();
    void onEditDeleteAction();

    void onBackupTimeOut() { m_fileGuard->onBackupTimeOut(); }
    bool onCheckExternalUpdatesToPlan() { return m_fileGuard->onCheckExternalUpdatesToPlan(); }

    void onShowSplitterTipOnce() { m_tips->showSplitterTip(); }
    void onTabChanged(int index) { m_tips->tabChanged(index); }

    void onAutoCheckForUpdates() { m_updates->startAutomaticCheck(); }
    void onCheckForUpdates() { m_updates->checkForUpdates(false); }

    void onDroppedFiles(const QList<QUrl> &urls, TaskIndex taskIndex,
                        const QList<PropertyIndexAndValue> &presets)
    {
        m_drops->postDrop(urls, taskIndex, presets);
    }

    // View commands
    void onZoomToFitToggled(bool on) { m_views->setZoomToFit(on); }
    void onZoomIn() { m_views->zoomIn(); }
    void onZoomOut() { m_views->zoomOut(); }
    void onZoomTo(int value) { m_views->zoomToSlider(value); }
    void onZoomButtonClicked() { m_views->followViewZoom(); }
    void onVisibilityChanged();
    void onToggleLeftPane(bool show) { m_views->setLeftPaneShown(show); }
    void onUpdateShowHideLeftPane() { m_views->updateShowHideLeftPane(); }
    void onFullScreenToggled(bool on) { m_views->setFullScreen(on); }
    void onCardsFullScreenToggled(bool on) { m_views->setTabFullScreen(Tab::Cards, on); }
    void onChartsFullScreenToggled(bool on) { m_views->setTabFullScreen(Tab::Charts, on); }
    void onTableFullScreenToggled(bool on) { m_views->setTabFullScreen(Tab::Table, on); }
    void onPropertiesFullScreenToggled(bool on) { m_views->setTabFullScreen(Tab::Properties, on); }
    void onEscapeKeyPressed() { m_views->leaveFullScreen(); }
    void onOverlayToggled(bool on);
    void onToolbarVisibilityToggled(bool on);
    void onToolbarVisibilityChanged();
    void onShowMinimized();
    void onLayoutShortcut() { m_views->toggleLayout(); }
    void onShowPropertiesShortcut() { m_views->toggleShowProperties(); }
    void onFilterShortcut() { m_views->toggleFilter(); }
    void onSearchShortcut() { m_views->toggleSearch(); }
    void onStoredViewShortcut() { m_views->toggleStoredViews(); }
    void onAppearanceShortcut() { m_views->toggleAppearance(); }
    void onChartDisplayShortcut() { m_views->toggleChartDisplay(); }
    void onStoredViewPrev() { m_views->selectPreviousStoredView(); }
    void onStoredViewNext() { m_views->selectNextStoredView(); }
    void onStoredView1() { m_views->selectStoredView(1); }
    void onStoredView2() { m_views->selectStoredView(2); }
    void onStoredView3() { m_views->selectStoredView(3); }
    void onStoredView4() { m_views->selectStoredView(4); }
    void onStoredView5() { m_views->selectStoredView(5); }
    void onStoredView6() { m_views->selectStoredView(6); }
    void onStoredView7() { m_views->selectStoredView(7); }
    void onStoredView8() { m_views->selectStoredView(8); }
    void onStoredView9() { m_views->selectStoredView(9); }

    // Exports and printing
    void onExportTableCSV() { m_exports->exportTableCsv(); }
    void onExportTableTXT() { m_exports->exportTableTxt(); }
    void onExportCardsPDF() { m_exports->exportCardsPdf(); }
    void onExportCardsSVG() { m_exports->exportCardsSvg(); }
    void onExportCardsPNG() { m_exports->exportCardsPng(); }
    void onExportCardsJPG() { m_exports->exportCardsJpg(); }
    void onExportChartsPDF() { m_exports->exportChartsPdf(); }
    void onExportChartsSVG() { m_exports->exportChartsSvg(); }
    void onExportChartsPNG() { m_exports->exportChartsPng(); }
    void onExportChartsJPG() { m_exports->exportChartsJpg(); }
    void onFilePrintAction() { m_exports->print(); }
    void onFilePageSetupAction() { m_exports->pageSetup(); }
    void onUpdatePrinterStatus() { m_exports->updatePrinterStatus(); }
    void onUpdateExportStatus() { m_exports->updateExportStatus(); }

    // The last chance to keep the edits when the program ends without closing this window.
    void onAboutToQuit();

protected:
    bool event(QEvent *event) override;
    void customEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void removeFullScreenAction();
    void replaceToolBarSeparatorsWithSpacers();
    void removeLastHelpSeparator();
    void createZoomSlider();
    bool isDefaultToolBarAction(const QAction *action) const;
    void createTabPages();
    void createHandlers();
    void connectActions();
    void connectPanes();
    void openFirstPlan(const QString &argument);
    void runGettingStarted();
    void handOnLateOpenRequest();

    // What every change that modifies the plan does to the window: the modified mark, the
    // idle autosave, the timed backup and the read-only warning.
    void noteModification() { m_fileGuard->noteModification(); }
    void updateStatusBar();
    void openWebPage(const QString &url);
    // Text typed but not yet entered (a cell editor open in either table, a left-pane field
    // waiting for a pause in the typing) goes into the plan, as if the user had entered it. A
    // question that brings is put only when mayAsk() lets the user be asked: otherwise a name
    // the Properties tab refuses is put back, and the stored views keep their names.
    void enterTypedText(const std::function<bool()> &mayAsk);

    void clearUndoHistory();
    void restoreSnapshot(const Document *snapshot);
    bool isCardsViewShown() const;
    bool isTableViewShown() const;
    bool isPropertiesViewShown() const;
    // The property of the one column selected in the Table, or -1.
    int tableSelectedProperty() const;
    // The first window, or one stored where no screen is now, fits the screen.
    void fitOntoScreen();

    void noteCardRenumbering(const Events &events) { m_drops->noteCardRenumbering(events); }

    // View commands
    using Tab = ViewCommands::Tab;
    void connectViewCommands();
    void installShortcuts();
    void addShortcut(const QString &keyText, void (MainWindow::*slot)());

    Ui::MainWindow *m_ui;
    // The panes of the four tabs, built by the window and handed to the handlers.
    WindowPanes m_panes;
    // The open plan's file: its path and whether the plan may be written to it.
    PlanFileState m_planFile;
    QSlider *m_zoomSlider = nullptr;
    QAction *m_zoomSliderAction = nullptr;
    // The plan snapshots of undo and redo.
    UndoHistory m_undoHistory;
    // The window was fitted onto the screen at its first showing.
    bool m_fittedOntoScreen = false;
    // The window's close was accepted: what the user decided there about the plan stands.
    bool m_closeAccepted = false;
    // The window's close handler is running.
    bool m_closing = false;
    // The open find-and-replace window; it deletes itself on closing.
    QPointer<ReplaceDialog> m_replaceDialog;
    QList<QAction *> m_availableToolBarActions;
    // The handlers of the window's commands, its children.
    ExportHandler *m_exports = nullptr;
    UpdateChecker *m_updates = nullptr;
    DropHandler *m_drops = nullptr;
    PlanFileGuard *m_fileGuard = nullptr;
    RecentPlans *m_recentPlans = nullptr;
    PlanFileCommands *m_files = nullptr;
    ViewCommands *m_views = nullptr;
    OneTimeTips *m_tips = nullptr;
};
