#pragma once

#include <functional>

#include <QDateTime>
#include <QElapsedTimer>
#include <QEvent>
#include <QObject>
#include <QString>
#include <QTimer>

class Document;
class QWidget;
struct PlanFileState;

// Keeps watch over the open plan's file: saves the plan by itself after each pause, makes the
// time-stamped and per-save backups, and notices when another program writes the file, with
// the offer to re-open it. A version another program wrote that the user does not re-open is
// copied aside, under the backups' name, before the plan is written over it; a plan whose file
// can't be written is read-only until it can again. The main window tells it of every change
// that modifies the plan and of its activation, hands back the check events it posts, and its
// file commands ask it before writing.
class PlanFileGuard : public QObject
{
    Q_OBJECT

public:
    // Posted to the window to check the plan file for changes by another program, once the
    // event loop runs; the window hands it back to runOutsideChangeCheck.
    static constexpr QEvent::Type outsideChangeCheckEvent = QEvent::Type(QEvent::User + 2);

    // What the guard needs of the window's file commands.
    struct Hooks
    {
        // Writes the plan to its file, saying why when it can't.
        std::function<bool()> save;
        // Shows the plan as the file now is; false when it can't be read.
        std::function<bool(const QString &path, bool readOnly)> reopen;
        // The read-only state changed.
        std::function<void()> retitle;
        // Enters the text being typed into the plan, asking as the user's own commands do.
        std::function<void()> enterTypedText;
    };

    // A file's modification time and size at one look; an invalid time when there is no file.
    struct Stamp
    {
        QDateTime time;
        qint64 size = -1;

        bool operator==(const Stamp &other) const
        {
            return time == other.time && size == other.size;
        }
        bool operator!=(const Stamp &other) const { return !(*this == other); }
    };
    static Stamp stampOf(const QString &path);

    // How long a version another program wrote must keep its time and size before the user is
    // asked about it; returns the previous interval. Tests that write whole files at once set 0.
    static int setSettleMs(int milliseconds);

    // The window is the parent of the messages, holds the modified mark and receives the check
    // events.
    PlanFileGuard(Document &plan, PlanFileState &planFile, Hooks hooks, QWidget *window);

    // What every change that modifies the plan does: the modified mark, the idle autosave, the
    // timed backup and the read-only warning.
    void noteModification();
    // A fresh full interval from now, longer for larger plans.
    void restartIdleTimer();
    void onIdleTimeOut();

    // Backups: a time-stamped copy every "backup_interval" minutes while the plan changes, and
    // the previous save kept beside the plan.
    void restartBackupTimer();
    void onBackupTimeOut();
    QString backupFilePath(const QString &planPath, bool timeStamped) const;
    void makePerSaveCopy(const QString &path);
    void showBackupWriteFailure(const QString &backup);
    QString backupWriteFailureText(const QString &backup) const;

    // The plan file as this window last read or wrote it, and whether another program has
    // written it since: any other time or size, earlier ones too.
    void notePlanFileOnDisk();
    bool planFileChangedOutside() const;
    // This window wrote the plan file: the bytes it wrote, as they were before they were put in
    // place, are its own; without them, the file as it is now.
    void notePlanWritten(const Stamp &ownBytes);
    // The last look before this window's bytes replace the plan file: a version another program
    // wrote since the window last looked is copied aside, as keepOutsideVersion copies.
    bool keepVersionWrittenMeanwhile(QString *copy);
    // The modification time of the open plan's file; invalid without a plan or file.
    QDateTime fileLastModified() const;
    // What was seen belongs to the file it was seen on: another file starts afresh, and a plan
    // read whole is the version that was on disk when it was read, whatever came after.
    void forgetFileOnDisk();
    void notePlanRead(const Stamp &seenBeforeReading);
    // A plan whose file can't be written is read-only until it can again.
    void recheckPlanFileWritable();
    // The user keeps the plan shown over a version another program wrote into its file: it is
    // no longer reported, and is copied aside before the next write. keepOutsideVersion makes
    // the copy; true when it is made or there is nothing to keep, *copy then its path, on
    // failure the path tried.
    void acceptOutsideVersion();
    bool keepOutsideVersion(QString *copy);
    // What this window's bytes replaced when they were swapped into the file's place, at the
    // path given: copied aside when another program wrote it, as keepOutsideVersion copies;
    // false when it could not be, *copy then where it stays. A copy made during a save is told.
    bool keepVersionReplaced(const QString &replaced, QString *copy);
    void tellVersionKeptAside(const QString &copy);
    // The program is ended from outside, where no one may be there to answer: a modified plan
    // that may be written goes over a version another program wrote meanwhile, unasked, and
    // that version is copied aside first.
    void acceptOutsideVersionUnasked();
    // The same for an end that the user may still refuse (a quit from outside, the end of the
    // session), run by end(): when it returns false, the program goes on and the other
    // program's version is reported as before, never having been asked about.
    bool endAcceptingOutsideVersion(const std::function<bool()> &end);

    // The check for changes by another program: every 15 seconds while the preference asks for
    // it, at each activation of the window, and when the autosave finds the file changed.
    // Returns whether the plan was re-opened.
    bool onCheckExternalUpdatesToPlan();
    void stopOutsideChecks();
    void resumeOutsideChecks();
    // The preference changed: the periodic checks follow it while a plan file is open.
    void restartOutsideChecks();
    void windowActivated();
    void runOutsideChangeCheck();

    // The program ends without closing the window: a modified plan that may be written is
    // saved, a version another program wrote meanwhile copied aside first.
    void saveOnQuit();

private:
    // Whether the version another program wrote has kept its time and size for the settle
    // interval; if not yet, a later look is arranged.
    bool outsideVersionSettled(const Stamp &now);
    // The user's answer is about the version the question named: one written after it is asked
    // about anew, never taken as answered.
    void askAgainAboutNewerVersion();
    bool copyAside(const QString &version, QString *copy) const;
    QString keptAsideText(const QString &copy) const;
    void keepPlanOverOutsideVersion();
    void keepPlanOverDamagedFile(const Stamp &read);
    void showReadOnlyWarning();

    Document &m_plan;
    PlanFileState &m_planFile;
    Hooks m_hooks;
    QWidget *m_window;
    // Single-shot: the plan is saved this long after its last modifying change.
    QTimer m_idleTimer;
    // Repeating: a time-stamped copy of the plan file every "backup_interval" minutes.
    QTimer m_backupTimer;
    bool m_changedSinceBackup = false;
    // The plan file's modification time and size when this window last read or wrote it; any
    // other on disk means another program wrote it.
    Stamp m_planFileSeen;
    // The last look at another program's version, and how long ago it was.
    Stamp m_lastLook;
    QElapsedTimer m_lastLookClock;
    // Single-shot: looks again at a version that had not settled yet.
    QTimer m_settleTimer;
    // The plan file holds a version another program wrote, which the user chose not to load
    // and which is copied aside before this window writes over it.
    bool m_outsideVersionUnkept = false;
    // The autosave stopped for an outside change and waits for the question about it, which is
    // asked whatever the preference for the periodic checks.
    bool m_outsideChangeQuestionDue = false;
    // The program is being ended from outside (saveOnQuit, endAcceptingOutsideVersion): no one
    // may be there to close a box.
    bool m_endingFromOutside = false;
    QTimer m_externalCheckTimer;
};
