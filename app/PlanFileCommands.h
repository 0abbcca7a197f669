#pragma once

#include <functional>

#include <QObject>
#include <QString>

class Document;
class PlanFileGuard;
class QAction;
class QWidget;
class RecentPlans;
struct PlanFileState;

// The plan-file commands: opening a plan or importing a CSV file, creating a plan, saving by
// itself and before another plan replaces this one, and duplicating. A plan always has a file;
// there is no Save command. On a failed opening the plan shown, its file name, read-only state
// and modified mark stay as they were. Saving refuses to write over the open plan's own file
// when the plan is read-only or another program has written the file since this window last
// read or wrote it, as its guard tells. The main window forwards its file commands here.
class PlanFileCommands : public QObject
{
    Q_OBJECT

public:
    // What the commands need of the window.
    struct Hooks
    {
        // The panes show the plan replaced whole, unmodified.
        std::function<void()> refresh;
        // The selection-dependent commands follow the plan.
        std::function<void()> selectionChanged;
        std::function<void()> clearUndoHistory;
        std::function<void(const QString &name)> saveUndoState;
        std::function<void()> retitle;
        // Text typed but not yet entered goes into the plan; a question that brings (a name
        // the Properties tab refuses, stored views to rename) is put only when mayAsk() lets
        // the user be asked.
        std::function<void(const std::function<bool()> &mayAsk)> enterTypedText;
        // The window's close went ahead: the program is ending, and from now on every dialog
        // returns at once, unanswered.
        std::function<bool()> windowClosed;
    };

    // The window is the parent of the dialogs and messages and holds the modified mark.
    PlanFileCommands(Document &plan, PlanFileState &planFile, PlanFileGuard &guard,
                     RecentPlans &recentPlans, QAction *duplicateAction, QAction *zoomToFitAction,
                     Hooks hooks, QWidget *window);

    // openFile also imports a CSV file (any case of "csv"); it returns true when a plan is now
    // shown from a file.
    bool openFile(const QString &path, bool readOnly);
    bool openPlanDialog(bool preselectCsv);
    void newPlan();
    // A recent plan chosen from the menu.
    void openRecent(const QString &path);
    QString uniqueFileName(const QString &base, const QString &extension) const;
    QString defaultFolder() const;
    void setCurrentFile(const QString &path);

    bool save();
    bool saveAs();
    bool saveFile(const QString &path);
    // Before the plan is replaced or the window closes: a modified plan, with the text being
    // typed, is saved; false when the user keeps the plan after all. During a quit from
    // outside, as at the end of a session where no one may be asked.
    bool maybeSave();
    // The session ends (a logout, a shutdown): a modified plan, with the text being typed, is
    // written at once, unasked. Only when it can't be and mayAsk() lets the user be asked comes
    // the discard question; false when the user keeps the plan, so that the session does not
    // end. Where no one may be asked, the plan shown is written elsewhere instead.
    bool saveForSessionEnd(const std::function<bool()> &mayAsk);
    // At start-up, once: where the plan shown was kept when its file would not take it at the
    // last end.
    void tellWherePlanWasKept();

    void duplicate();

    // Duplicate is enabled while the plan has a file.
    void updateActions();

private:
    // What saveFile does, without a word: *error says why the plan was not written.
    bool writePlan(const QString &path, QString *error);
    // The plan's file would not take the plan at an end where no one may be asked (*why says
    // why): it is written whole elsewhere, under a name of its own.
    void keepPlanShownAside(const QString &why);
    // The save dialog of a new plan, from the proposal, until the user names another file than
    // the open plan's own; empty when cancelled.
    QString askNewPlanName(const QString &proposal);
    bool readPlan(const QString &fileName, bool readOnly, bool *savedByLaterVersion,
                  QString *notice);
    bool importCsv(const QString &fileName, QString *notice);
    bool importCsvAsNewPlan(const QString &fileName, QString *notice);
    bool importCsvIntoCurrentPlan(const QString &fileName, QString *notice);

    Document &m_plan;
    PlanFileState &m_planFile;
    PlanFileGuard &m_guard;
    RecentPlans &m_recentPlans;
    QAction *m_duplicateAction;
    QAction *m_zoomToFitAction;
    Hooks m_hooks;
    QWidget *m_window;
};
