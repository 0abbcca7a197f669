#pragma once

#include "model/Events.h"

#include <QDateTime>
#include <QList>
#include <QMainWindow>
#include <QStringList>
#include <QTimer>

class CardsLeftPane;
class CardsScene;
class CardsView;
class QAction;
class QHBoxLayout;
class QSlider;
class QSplitter;

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

protected:
    // Slot: the view-commands issue adds event (outside-change check on activation),
    // customEvent (events 1001 to 1003) and keyPressEvent (Escape) here.
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
    void updateStatusBar();
    void openWebPage(const QString &url);

    Ui::MainWindow *m_ui;
    // Slot: the Table pane issue adds m_tableLeftPane (TableLeftPane) and m_tableView
    // (TableView).
    QHBoxLayout *m_tableLayout = nullptr;
    QSplitter *m_tableSplitter = nullptr;
    QHBoxLayout *m_cardsLayout = nullptr;
    QSplitter *m_cardsSplitter = nullptr;
    CardsLeftPane *m_cardsLeftPane = nullptr;
    CardsScene *m_cardsScene = nullptr;
    CardsView *m_cardsView = nullptr;
    // Slot: the Charts pane issue adds m_chartsLeftPane, m_chartsScene and m_chartsView.
    QHBoxLayout *m_chartsLayout = nullptr;
    QSplitter *m_chartsSplitter = nullptr;
    // Slot: the Properties pane issue adds m_propertiesView (PropertiesView).
    QHBoxLayout *m_propertiesLayout = nullptr;
    // The file commands set it; each change also goes to Application::setPlanFileName, where
    // the title and footer variables read it.
    QString m_fileName;
    QSlider *m_zoomSlider = nullptr;
    QAction *m_zoomSliderAction = nullptr;
    // Slot: the undo issue adds m_undoIndex and m_undoStack (the plan snapshots); the printing
    // issue adds m_printer.
    QStringList m_recentDocs;
    // Single-shot: the plan is saved this long after its last modifying change.
    QTimer m_idleTimer;
    // Slot: the backups issue adds m_backupTimer.
    bool m_changedSinceBackup = false;
    bool m_readOnly = false;
    bool m_readOnlyWarned = false;
    // The plan file's modification time after this window last read or wrote it; a later time
    // on disk means another program wrote it.
    QDateTime m_planFileTime;
    QTimer m_externalCheckTimer;
    // Slot: the view-commands issue adds m_restoreCardsLeftPane, m_restoreChartsLeftPane and
    // m_restoreTableLeftPane; the edit-commands issue adds m_replaceDialog.
    QList<QAction *> m_availableToolBarActions;
};
