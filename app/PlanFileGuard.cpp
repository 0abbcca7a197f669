#include "app/PlanFileGuard.h"

#include "app/MainLoop.h"
#include "app/PlanFileState.h"
#include "common/app/Accessors.h"
#include "common/core/FileHelpers.h"
#include "common/widgets/MessageBoxes.h"
#include "common/widgets/Settings.h"
#include "model/Document.h"
#include "storage/SafeSave.h"

#include <limits>

#include <QApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopedValueRollback>
#include <QWidget>

namespace {

const char planExtension[] = "tv";
const char backupExtension[] = "tvb";
const int externalCheckIntervalMs = 15000;
// Programs that write a file in pieces (a sync client, a copy over the network) were seen to
// pause about three seconds between pieces; a version that keeps its time and size for longer
// is taken as written whole, so that one rewrite brings one question, and the user is asked
// about no half-written file.
int settleMs = 5000;
const int msPerMinute = 60000;
static_assert(qint64(Settings::maximumBackupInterval) * msPerMinute
                  <= std::numeric_limits<int>::max(),
              "the timed backups' interval fits the timer's milliseconds");

} // namespace

PlanFileGuard::PlanFileGuard(Document &plan, PlanFileState &planFile, Hooks hooks, QWidget *window)
    : QObject(window),
      m_plan(plan),
      m_planFile(planFile),
      m_hooks(std::move(hooks)),
      m_window(window),
      m_idleTimer(this),
      m_backupTimer(this),
      m_settleTimer(this),
      m_externalCheckTimer(this)
{
    m_idleTimer.setObjectName(QStringLiteral("m_idleTimer"));
    m_idleTimer.setSingleShot(true);
    connect(&m_idleTimer, &QTimer::timeout, this, &PlanFileGuard::onIdleTimeOut);
    m_backupTimer.setObjectName(QStringLiteral("m_backupTimer"));
    connect(&m_backupTimer, &QTimer::timeout, this, &PlanFileGuard::onBackupTimeOut);
    m_externalCheckTimer.setObjectName(QStringLiteral("m_externalCheckTimer"));
    connect(&m_externalCheckTimer, &QTimer::timeout, this,
            &PlanFileGuard::onCheckExternalUpdatesToPlan);
    m_settleTimer.setObjectName(QStringLiteral("m_settleTimer"));
    m_settleTimer.setSingleShot(true);
    connect(&m_settleTimer, &QTimer::timeout, this, &PlanFileGuard::onCheckExternalUpdatesToPlan);
}

PlanFileGuard::Stamp PlanFileGuard::stampOf(const QString &path)
{
    Stamp stamp;
    if (path.isEmpty())
        return stamp;
    const QFileInfo info(path);
    if (!info.exists())
        return stamp;
    stamp.time = info.lastModified();
    stamp.size = info.size();
    return stamp;
}

int PlanFileGuard::setSettleMs(int milliseconds)
{
    const int previous = settleMs;
    settleMs = milliseconds;
    return previous;
}

// Automatic saving

void PlanFileGuard::noteModification()
{
    m_window->setWindowModified(true);
    restartIdleTimer();
    m_changedSinceBackup = true;
    if (m_planFile.readOnly && !m_planFile.readOnlyWarned) {
        m_planFile.readOnlyWarned = true;
        // The panes connected after the window have not seen the change yet; a modal box now
        // would let them repaint a plan they do not know.
        QTimer::singleShot(0, this, &PlanFileGuard::showReadOnlyWarning);
    }
}

void PlanFileGuard::restartIdleTimer()
{
    m_idleTimer.stop();
    m_idleTimer.setSingleShot(true);
    m_idleTimer.start(5000 + 2 * m_plan.taskCount());
}

void PlanFileGuard::onIdleTimeOut()
{
    if (!m_window->isWindowModified())
        return;
    // Never while a dialog is open, which may be about to change the plan again, but soon
    // after it closes.
    if (QApplication::activeModalWidget()) {
        m_idleTimer.start();
        return;
    }
    if (m_planFile.fileName.isEmpty() || m_planFile.readOnly)
        return;
    // Writing now would destroy what another program wrote. The user is asked whether to
    // re-open it, once the window is active, even with the periodic checks off; declining lets
    // the next autosave write, after the other version is copied aside.
    if (planFileChangedOutside()) {
        m_outsideChangeQuestionDue = true;
        QCoreApplication::postEvent(m_window, new QEvent(outsideChangeCheckEvent));
        return;
    }
    if (!m_hooks.save())
        qWarning().noquote() << QStringLiteral("Unable to save ") + m_planFile.fileName;
}

void PlanFileGuard::showReadOnlyWarning()
{
    // The plan may have been replaced by a writable one in the meantime.
    if (!m_planFile.readOnly)
        return;
    // A box would hold a quit from outside for good; the warning stays due.
    if (quitFromOutsideUnderway()) {
        m_planFile.readOnlyWarned = false;
        return;
    }
    warningMessage(m_window,
                   tr("This plan is opened read-only. Any changes will *not* be saved or "
                      "backed up.\nHowever you can 'File>Duplicate' your changes to a new "
                      "file."));
}

// Backups

void PlanFileGuard::restartBackupTimer()
{
    m_backupTimer.stop();
    const Settings *preferences = settings();
    if (preferences->backupTimedOn())
        m_backupTimer.start(preferences->backupInterval() * msPerMinute);
}

// Plan.tv becomes Plan_2016-09-26T14-25-59.tvb in the backup folder.
QString PlanFileGuard::backupFilePath(const QString &planPath, bool timeStamped) const
{
    const QString name = timeStamped
        ? timeStampedBaseName(planPath, QDateTime::currentDateTime())
        : QFileInfo(planPath).fileName().section(QLatin1Char('.'), 0, 0);
    return QDir::toNativeSeparators(settings()->backupFolder()) + QDir::separator() + name
        + QStringLiteral(".tvb");
}

void PlanFileGuard::onBackupTimeOut()
{
    // The tick comes back while a box of the last tick (or any other dialog) is open; one
    // box at a time, and the next tick tries again. A quit from outside waits for no box.
    if (QApplication::activeModalWidget() || quitFromOutsideUnderway())
        return;
    if (m_planFile.readOnly || !m_changedSinceBackup || m_planFile.fileName.isEmpty())
        return;
    const QString backup = backupFilePath(m_planFile.fileName, true);
    if (copyFile(m_planFile.fileName, backup, false)) {
        m_changedSinceBackup = false;
        return;
    }
    qWarning().noquote() << QStringLiteral("Unable to save ") + m_planFile.fileName
            + QStringLiteral(" to ") + backup;
    const QString folder = settings()->backupFolder();
    if (!QFileInfo(folder).isDir())
        criticalMessage(m_window,
                        tr("Backup folder '%1' doesn't exist.\nYou can change backup "
                           "settings in the 'Preferences' window.")
                            .arg(folder));
    else
        showBackupWriteFailure(backup);
}

// The previous save stays beside the plan as Name.tvb. The copy replaces the old one only
// once it is whole, so a failing copy keeps the last good one.
// The copy is only ever a file of its own: a plan shared in a folder others write to may come
// with a Name.tvb that links to any file of the user's, so a link there is replaced by the
// copy, never written through, and what is neither a link nor a file (a folder, a pipe) is
// left alone, with no copy made.
void PlanFileGuard::makePerSaveCopy(const QString &path)
{
    QString copy = path;
    copy.replace(QRegularExpression(QStringLiteral("\\.%1$").arg(planExtension),
                                    QRegularExpression::CaseInsensitiveOption),
                 QStringLiteral(".%1").arg(backupExtension));
    if (copy == path || !QFileInfo(path).isFile())
        return;
    const QFileInfo existing(copy);
    if (existing.isSymLink()) {
        if (!QFile::remove(copy))
            return;
    } else if (existing.exists() && !existing.isFile()) {
        return;
    }
    copyFile(path, copy, true);
}

void PlanFileGuard::showBackupWriteFailure(const QString &backup)
{
    criticalMessage(m_window, backupWriteFailureText(backup));
}

QString PlanFileGuard::backupWriteFailureText(const QString &backup) const
{
    return tr("Unable to write backup to '%1'.\nYou can change backup settings in the "
              "'Preferences' window.")
        .arg(backup);
}

// The file on disk

void PlanFileGuard::notePlanFileOnDisk()
{
    m_planFileSeen = stampOf(m_planFile.fileName);
}

// Not only a later time: a copy put back with its old time, a sync tool's, or a write within
// the same tick of a coarse file system are other programs' versions too.
bool PlanFileGuard::planFileChangedOutside() const
{
    if (!m_planFileSeen.time.isValid() || m_planFile.fileName.isEmpty())
        return false;
    const Stamp now = stampOf(m_planFile.fileName);
    return now.time.isValid() && now != m_planFileSeen;
}

void PlanFileGuard::notePlanWritten(const Stamp &ownBytes)
{
    if (ownBytes.time.isValid())
        m_planFileSeen = ownBytes;
    else
        notePlanFileOnDisk();
}

// There is no one to ask at this instant, with the plan's bytes about to land: the version is
// kept aside unasked, as at an end from outside.
bool PlanFileGuard::keepVersionWrittenMeanwhile(QString *copy)
{
    if (planFileChangedOutside())
        acceptOutsideVersion();
    return keepOutsideVersion(copy);
}

QDateTime PlanFileGuard::fileLastModified() const
{
    return stampOf(m_planFile.fileName).time;
}

void PlanFileGuard::forgetFileOnDisk()
{
    m_planFileSeen = Stamp();
    m_lastLook = Stamp();
    m_outsideVersionUnkept = false;
    m_outsideChangeQuestionDue = false;
}

// A file another program went on writing after it was read is a version of its own, to be
// asked about.
void PlanFileGuard::notePlanRead(const Stamp &seenBeforeReading)
{
    m_planFileSeen = seenBeforeReading;
    m_lastLook = Stamp();
    m_outsideVersionUnkept = false;
    m_outsideChangeQuestionDue = false;
}

// Asked again whenever the window is activated: a stick pulled or put back, a lock set or
// lifted.
void PlanFileGuard::recheckPlanFileWritable()
{
    if (m_planFile.fileName.isEmpty() || (m_planFile.readOnly && !m_planFile.unwritableFile))
        return;
    const bool writable = canReplaceFile(m_planFile.fileName);
    if (writable != m_planFile.readOnly)
        return;
    m_planFile.readOnly = !writable;
    m_planFile.unwritableFile = !writable;
    m_hooks.retitle();
    if (m_planFile.readOnly && m_window->isWindowModified() && !m_planFile.readOnlyWarned) {
        m_planFile.readOnlyWarned = true;
        QTimer::singleShot(0, this, &PlanFileGuard::showReadOnlyWarning);
    } else if (!m_planFile.readOnly && m_window->isWindowModified()) {
        restartIdleTimer();
    }
}

void PlanFileGuard::acceptOutsideVersion()
{
    m_outsideVersionUnkept = true;
    notePlanFileOnDisk();
}

bool PlanFileGuard::keepOutsideVersion(QString *copy)
{
    copy->clear();
    if (!m_outsideVersionUnkept)
        return true;
    if (m_planFile.fileName.isEmpty() || !QFileInfo::exists(m_planFile.fileName)) {
        m_outsideVersionUnkept = false;
        return true;
    }
    if (!copyAside(m_planFile.fileName, copy))
        return false;
    m_outsideVersionUnkept = false;
    return true;
}

// The plan's bytes took the file's place in one step, and what they replaced came out at
// replaced: the version this window last read or wrote, or one another program wrote after the
// last look, copied aside as any other, as is a file found at the name where this window has
// seen none. Should the copy fail, that version stays where it is.
bool PlanFileGuard::keepVersionReplaced(const QString &replaced, QString *copy)
{
    copy->clear();
    if (m_planFileSeen.time.isValid() && stampOf(replaced) == m_planFileSeen)
        return true;
    if (copyAside(replaced, copy))
        return true;
    *copy = replaced;
    return false;
}

// Said in a box only to a user who is there: never while the program is ended from outside,
// or to a window not shown.
void PlanFileGuard::tellVersionKeptAside(const QString &copy)
{
    const QString text = tr("The plan shown has been saved to '%1'.\n").arg(m_planFile.fileName)
        + keptAsideText(copy);
    qWarning().noquote() << text;
    if (!m_endingFromOutside && !quitFromOutsideUnderway() && m_window->isVisible())
        informationMessage(m_window, text);
}

QString PlanFileGuard::keptAsideText(const QString &copy) const
{
    return tr("The version written by the other application has been kept as '%1'.").arg(copy);
}

// The copy takes the timed backups' name, in the backup folder or, where that folder is
// missing or refuses it, beside the plan; a name already taken (a timed backup of the same
// second) gets a number, since an existing file would count as the copy made. On failure, *copy
// is the path tried.
bool PlanFileGuard::copyAside(const QString &version, QString *copy) const
{
    const QString inBackupFolder = backupFilePath(m_planFile.fileName, true);
    QStringList candidates;
    if (QFileInfo(settings()->backupFolder()).isDir())
        candidates << inBackupFolder;
    candidates << QDir::toNativeSeparators(QFileInfo(m_planFile.fileName).absolutePath())
            + QDir::separator() + QFileInfo(inBackupFolder).fileName();
    candidates.removeDuplicates();
    for (const QString &candidate : qAsConst(candidates)) {
        const QString name
            = QFileInfo::exists(candidate) ? duplicateFileName(candidate) : candidate;
        if (copyFile(version, name, false)) {
            *copy = name;
            return true;
        }
    }
    *copy = candidates.first();
    return false;
}

// Cancel: the plan shown stays, and goes to the file at the next pause whether or not it was
// changed, since the file now holds the other program's version. That version is copied aside
// now, while it is the one the user declined, and the message says where.
void PlanFileGuard::keepPlanOverOutsideVersion()
{
    acceptOutsideVersion();
    // A read-only plan writes nothing over it; should it become writable, the copy is made
    // before the first write.
    if (m_planFile.readOnly)
        return;
    QString copy;
    const bool kept = keepOutsideVersion(&copy);
    noteModification();
    if (!kept)
        showBackupWriteFailure(copy);
    else if (!copy.isEmpty())
        informationMessage(
            m_window,
            tr("The plan shown is kept; it will be saved to '%1'.\n").arg(m_planFile.fileName)
                + keptAsideText(copy));
}

// The file another program wrote can't be read: the plan shown is the good one. Marked
// modified, it is saved over the damaged file at the next pause, the damaged file copied aside.
// A file that changed after the failed read was still being written: that is a new version to
// ask about, not damage. A file that is gone is no damage either (a sync that deletes, then
// downloads): what was seen stays the version this window last read or wrote, so that whatever
// appears at the plan's name is another program's version, asked about once it has settled.
void PlanFileGuard::keepPlanOverDamagedFile(const Stamp &read)
{
    if (stampOf(m_planFile.fileName) != read) {
        askAgainAboutNewerVersion();
        return;
    }
    if (!read.time.isValid())
        return;
    acceptOutsideVersion();
    if (m_planFile.readOnly)
        return;
    QString copy;
    const bool kept = keepOutsideVersion(&copy);
    noteModification();
    if (!kept)
        showBackupWriteFailure(copy);
    else
        warningMessage(m_window,
                       tr("The plan shown will be saved over the damaged file '%1'.\nThe damaged "
                          "file has been kept as '%2'.")
                           .arg(m_planFile.fileName, copy));
}

void PlanFileGuard::askAgainAboutNewerVersion()
{
    m_outsideChangeQuestionDue = true;
    outsideVersionSettled(stampOf(m_planFile.fileName));
}

bool PlanFileGuard::outsideVersionSettled(const Stamp &now)
{
    if (now != m_lastLook || !m_lastLookClock.isValid()) {
        m_lastLook = now;
        m_lastLookClock.start();
    }
    const qint64 waited = m_lastLookClock.elapsed();
    if (waited >= settleMs)
        return true;
    m_settleTimer.start(int(settleMs - waited));
    return false;
}

// The check for changes by another program

bool PlanFileGuard::onCheckExternalUpdatesToPlan()
{
    // The autosave's own request is answered whatever the preference: it waits for it.
    if (!settings()->checkPlanUpdates() && !m_outsideChangeQuestionDue)
        return false;
    if (!planFileChangedOutside()) {
        m_outsideChangeQuestionDue = false;
        return false;
    }
    // Looked at even while the window is away, so that a version written meanwhile is asked
    // about as soon as the user comes back.
    const Stamp asked = stampOf(m_planFile.fileName);
    if (!outsideVersionSettled(asked))
        return false;
    if (!m_window->isActiveWindow() || QApplication::activeModalWidget())
        return false;
    // Nothing asks during a quit from outside, which would wait for the answer for good (a
    // check posted as the quit leaves full screen runs while the window closes): the question
    // stays due, as after a box the quit closed, and the quit decides alone.
    if (quitFromOutsideUnderway()) {
        m_outsideChangeQuestionDue = true;
        return false;
    }
    m_outsideChangeQuestionDue = false;
    // Text still being typed is a change too: the question must warn of its loss, and Cancel
    // must find it in the plan, to be saved with the rest.
    m_hooks.enterTypedText();
    const QString question = tr("The plan has been updated by another application.\nDo you "
                                "want to re-open the updated plan?\n");
    const QString stop = tr("(You can stop these update checks in the 'Preferences' window.)");
    const QMessageBox::StandardButtons buttons = QMessageBox::Open | QMessageBox::Cancel;
    const int answer = m_window->isWindowModified()
        ? warningMessage(m_window,
                         question + tr("Any changes you have made will be lost.\n") + stop, buttons,
                         QMessageBox::Open)
        : informationMessage(m_window, question + stop, buttons, QMessageBox::Open);
    if (answer != QMessageBox::Open) {
        // A box closed by a quit from outside is no answer. The quit decides alone: an
        // unmodified plan leaves the file as the other program wrote it, and a modified one is
        // saved over it with that version copied aside, as for any version written unasked.
        if (quitFromOutsideUnderway()) {
            m_outsideChangeQuestionDue = true;
            return false;
        }
        if (stampOf(m_planFile.fileName) != asked)
            askAgainAboutNewerVersion();
        else
            keepPlanOverOutsideVersion();
        return false;
    }
    // A plan read-only only because its file could not be written is opened as the file is now.
    const Stamp read = stampOf(m_planFile.fileName);
    if (m_hooks.reopen(m_planFile.fileName, m_planFile.readOnly && !m_planFile.unwritableFile))
        return true;
    keepPlanOverDamagedFile(read);
    return false;
}

void PlanFileGuard::stopOutsideChecks()
{
    m_externalCheckTimer.stop();
}

void PlanFileGuard::resumeOutsideChecks()
{
    if (settings()->checkPlanUpdates())
        m_externalCheckTimer.start(externalCheckIntervalMs);
}

void PlanFileGuard::restartOutsideChecks()
{
    m_externalCheckTimer.stop();
    if (settings()->checkPlanUpdates() && !m_planFile.fileName.isEmpty())
        m_externalCheckTimer.start(externalCheckIntervalMs);
}

void PlanFileGuard::windowActivated()
{
    recheckPlanFileWritable();
    if (settings()->checkPlanUpdates() || m_outsideChangeQuestionDue)
        QCoreApplication::postEvent(m_window, new QEvent(outsideChangeCheckEvent));
}

// With the periodic checks off, only the autosave's request is answered; the check itself
// tells it apart.
void PlanFileGuard::runOutsideChangeCheck()
{
    const bool periodic = settings()->checkPlanUpdates();
    if (periodic)
        m_externalCheckTimer.stop();
    onCheckExternalUpdatesToPlan();
    if (periodic)
        m_externalCheckTimer.start(externalCheckIntervalMs);
}

// Nothing is dropped: a version another program wrote meanwhile is copied aside first.
void PlanFileGuard::saveOnQuit()
{
    if (!m_window->isWindowModified() || m_planFile.readOnly || m_planFile.fileName.isEmpty())
        return;
    const QScopedValueRollback<bool> ending(m_endingFromOutside, true);
    acceptOutsideVersionUnasked();
    m_hooks.save();
}

void PlanFileGuard::acceptOutsideVersionUnasked()
{
    if (m_window->isWindowModified() && !m_planFile.readOnly && planFileChangedOutside())
        acceptOutsideVersion();
}

bool PlanFileGuard::endAcceptingOutsideVersion(const std::function<bool()> &end)
{
    const Stamp seen = m_planFileSeen;
    const bool unkept = m_outsideVersionUnkept;
    acceptOutsideVersionUnasked();
    const QScopedValueRollback<bool> ending(m_endingFromOutside, true);
    if (end())
        return true;
    // Nothing was written over the other version: it is the file on disk still.
    m_planFileSeen = seen;
    m_outsideVersionUnkept = unkept;
    return false;
}
