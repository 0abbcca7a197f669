#pragma once

#include "app/UndoHistory.h"
#include "model/Events.h"
#include "model/HyperLink.h"
#include "model/ModelTypes.h"

#include <QDate>
#include <QDateTime>
#include <QEvent>
#include <QList>
#include <QMainWindow>
#include <QMap>
#include <QPointer>
#include <QStringList>
#include <QTimer>

class CardsLeftPane;
class CardsScene;
class CardsView;
class ChartsLeftPane;
class ChartsScene;
class ChartsView;
class Document;
class HttpLoader;
class PropertiesView;
class QAction;
class QHBoxLayout;
class QSlider;
class QSplitter;
class QWidget;
class ReplaceDialog;
class TableLeftPane;
class TableView;

namespace Ui {
class MainWindow;
}

// The program's one top-level window. It is a switchboard: it builds the four tabs, connects
// every action and pane in one place, keeps the enabled states in updateActions(), and owns
// the life of the plan file: opening, creating, saving by itself after each pause, closing.
// A plan always has a file; there is no Save command.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // Events the window posts itself: an automatic update check is due; check the plan file
    // for changes by another program now.
    static constexpr QEvent::Type updateCheckDueEvent = QEvent::Type(QEvent::User + 1);
    static constexpr QEvent::Type outsideChangeCheckEvent = QEvent::Type(QEvent::User + 2);

    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    QString fileName() const { return m_fileName; }
    QList<QAction *> availableToolBarActions() const { return m_availableToolBarActions; }
    // The actions on the toolbar now.
    QList<QAction *> toolBarActions() const;

    void setupToolBar();
    void applyToolBarIconSize();
    void applyToolBarTextStyle();

    // The preference that records the sample plans were offered, once per version; tests
    // preset it through these.
    static QString samplesOfferKey();
    static QString samplesOfferKey(int major, int minor, int patch);
    void offerSamplePlans();
    QString bundleSamplesFolder() const;
    bool hasSamplePlans() const;

    // The plan named on the command line: the first argument after the program's own that is
    // not an option ("-..."), made absolute against the current folder. Read before the
    // window makes the data folder the current one.
    static QString planArgument(const QStringList &arguments);

    // Opening and creating plans. openFile also imports a CSV file (any case of "csv"); it
    // returns true when a plan is now shown from a file. On failure the open plan, its file
    // name, read-only state and modified mark stay as they were.
    bool openFile(const QString &path, bool readOnly);
    bool openPlanDialog(bool preselectCsv);
    QString uniqueFileName(const QString &base, const QString &extension) const;
    QString defaultFolder() const;
    void setCurrentFile(const QString &path);

    // Saving. saveFile refuses to write over the open plan's own file when the plan is
    // read-only or another program has written the file since this window last read or
    // wrote it.
    bool save();
    bool saveAs();
    bool saveFile(const QString &path);
    bool maybeSave();
    // The modification time of the open plan's file; invalid without a plan or file.
    QDateTime fileLastModified() const;

    void updateWindowTitle();

    void loadRecentDocs();
    void addRecentDoc(const QString &path);
    void saveRecentDocs();

    QString duplicateFileName(const QString &path) const;

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

    // Timed backups and the check for changes of the plan file by another program.
    QString backupFilePath(const QString &planPath, bool timeStamped) const;

    // One-time tips.
    void showTabsTip();
    void showAutoSaveTip();
    void showLayoutTip();
    void showAddPropertyTip();
    void showAddCardTip();

    // The update check. The server is the maker's site unless set otherwise (tests serve the
    // answers on this machine); an empty address restores it.
    static QString updateServerAddress();
    static void setUpdateServerAddress(const QString &address);
    // Whether the automatic check is due at the start of a run.
    static bool isUpdateCheckDue(int sessions, int intervalIndex, const QDate &lastCheck,
                                 const QDate &today);
    // The query keys "f", "p", "s" and "v" of the update request.
    static QMap<QString, QString> updateQueryParameters(bool automatic);
    void checkForUpdates(bool automatic);

public slots:
    void onCompleteStartup();

    void onChangedDoc(const Events &events);
    void updateActions();
    void updateTransposeStatus();
    void onSelectionChanged();
    void onRefresh();

    void onIdleTimeOut();

    void onFileNewAction();
    void onFileOpenAction();
    void onFileDuplicateAction();
    void onFileExitAction();

    void onUpdateRecentDocs();
    void onRecentDocSelected();
    void onClearRecentDocSelected();

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
    void onEditSelectAllAction();
    void onEditDeleteAction();

    void onBackupTimeOut();
    bool onCheckExternalUpdatesToPlan();

    void onShowSplitterTipOnce();
    void onTabChanged(int index);

    void onAutoCheckForUpdates();
    void onCheckForUpdates();

protected:
    bool event(QEvent *event) override;
    void customEvent(QEvent *event) override;
    // Slot: the view-commands issue adds keyPressEvent (Escape) here.
    void closeEvent(QCloseEvent *event) override;

private:
    void removeFullScreenAction();
    void replaceToolBarSeparatorsWithSpacers();
    void removeLastHelpSeparator();
    void createZoomSlider();
    bool isDefaultToolBarAction(const QAction *action) const;
    void createTabPages();
    void connectActions();
    void connectPanes();
    void openFirstPlan(const QString &argument);
    void runGettingStarted();
    void handOnLateOpenRequest();

    bool readPlan(const QString &fileName, bool readOnly, bool *savedByLaterVersion);
    bool importCsv(const QString &fileName);
    bool importCsvAsNewPlan(const QString &fileName);
    bool importCsvIntoCurrentPlan(const QString &fileName);
    void refreshAfterReplacingPlan();
    bool planFileChangedOutside() const;
    bool isOpenPlanFile(const QString &path) const;
    void makePerSaveCopy(const QString &path);
    void showReadOnlyWarning();
    // What every change that modifies the plan does to the window: the modified mark, the
    // idle autosave, the timed backup and the read-only warning.
    void noteModification();
    void restartIdleTimer();
    void updateStatusBar();
    void openWebPage(const QString &url);

    void clearUndoHistory();
    void restoreSnapshot(const Document *snapshot);
    bool isCardsViewShown() const;
    bool isTableViewShown() const;
    bool isPropertiesViewShown() const;
    // The property of the one column selected in the Table, or -1.
    int tableSelectedProperty() const;
    void offerTipAfterAddingCard();
    void restartBackupTimer();
    void showUpdateAnswer(const QString &answer);

    Ui::MainWindow *m_ui;
    QHBoxLayout *m_tableLayout = nullptr;
    QSplitter *m_tableSplitter = nullptr;
    TableLeftPane *m_tableLeftPane = nullptr;
    TableView *m_tableView = nullptr;
    QHBoxLayout *m_cardsLayout = nullptr;
    QSplitter *m_cardsSplitter = nullptr;
    CardsLeftPane *m_cardsLeftPane = nullptr;
    CardsScene *m_cardsScene = nullptr;
    CardsView *m_cardsView = nullptr;
    QHBoxLayout *m_chartsLayout = nullptr;
    QSplitter *m_chartsSplitter = nullptr;
    ChartsLeftPane *m_chartsLeftPane = nullptr;
    ChartsScene *m_chartsScene = nullptr;
    ChartsView *m_chartsView = nullptr;
    QHBoxLayout *m_propertiesLayout = nullptr;
    PropertiesView *m_propertiesView = nullptr;
    // The file commands set it; each change also goes to Application::setPlanFileName, where
    // the title and footer variables read it.
    QString m_fileName;
    QSlider *m_zoomSlider = nullptr;
    QAction *m_zoomSliderAction = nullptr;
    // The plan snapshots of undo and redo.
    UndoHistory m_undoHistory;
    // Slot: the printing issue adds m_printer.
    QStringList m_recentDocs;
    // Single-shot: the plan is saved this long after its last modifying change.
    QTimer m_idleTimer;
    // Repeating: a time-stamped copy of the plan file every "backup_interval" minutes.
    QTimer m_backupTimer;
    bool m_changedSinceBackup = false;
    bool m_readOnly = false;
    bool m_readOnlyWarned = false;
    // The plan file's modification time after this window last read or wrote it; a later time
    // on disk means another program wrote it.
    QDateTime m_planFileTime;
    QTimer m_externalCheckTimer;
    // Slot: the view-commands issue adds m_restoreCardsLeftPane, m_restoreChartsLeftPane and
    // m_restoreTableLeftPane.
    // The open find-and-replace window; it deletes itself on closing.
    QPointer<ReplaceDialog> m_replaceDialog;
    QList<QAction *> m_availableToolBarActions;
    // The loader of an update check while it waits, so that closing the window can end it.
    QPointer<HttpLoader> m_updateLoader;
    bool m_checkingForUpdates = false;
    // The window was closed while an update check waited: the check ends without a word.
    bool m_updateCheckCancelled = false;
};
