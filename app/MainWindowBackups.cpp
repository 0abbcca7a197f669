// The two safety nets around the plan file: time-stamped backups at a fixed interval, and the
// check for changes of the file by another program, with the offer to re-open it. A version
// another program wrote that the user does not re-open is copied aside, under the backups'
// name, before this window writes over it.

#include "app/DropFilesEvent.h"
#include "app/MainWindow.h"
#include "common/app/Accessors.h"
#include "common/core/FileHelpers.h"
#include "common/widgets/MessageBoxes.h"
#include "common/widgets/Settings.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

namespace {

const int externalCheckIntervalMs = 15000;
const int msPerMinute = 60000;

} // namespace

void MainWindow::restartBackupTimer()
{
    m_backupTimer.stop();
    const Settings *preferences = settings();
    if (preferences->backupTimedOn())
        m_backupTimer.start(preferences->backupInterval() * msPerMinute);
}

// Plan.tv becomes Plan_2016-09-26T14-25-59.tvb in the backup folder: the name up to its first
// dot, and the time without the colons file systems refuse.
QString MainWindow::backupFilePath(const QString &planPath, bool timeStamped) const
{
    const QString fileName = QFileInfo(planPath).fileName();
    const int dot = fileName.indexOf(QLatin1Char('.'));
    QString name = dot < 0 ? fileName : fileName.left(dot);
    if (timeStamped)
        name += QLatin1Char('_')
            + QDateTime::currentDateTime()
                  .toString(Qt::ISODate)
                  .replace(QLatin1Char(':'), QLatin1Char('-'));
    return QDir::toNativeSeparators(settings()->backupFolder()) + QDir::separator() + name
        + QStringLiteral(".tvb");
}

void MainWindow::onBackupTimeOut()
{
    // The tick comes back while a box of the last tick (or any other dialog) is open; one
    // box at a time, and the next tick tries again.
    if (QApplication::activeModalWidget())
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
        criticalMessage(this,
                        tr("Backup folder '%1' doesn't exist.\nYou can change backup "
                           "settings in the 'Preferences' window.")
                            .arg(folder));
    else
        showBackupWriteFailure(backup);
}

void MainWindow::showBackupWriteFailure(const QString &backup)
{
    criticalMessage(this,
                    tr("Unable to write backup to '%1'.\nYou can change backup "
                       "settings in the 'Preferences' window.")
                        .arg(backup));
}

// The version another program wrote is no longer reported, and is kept before the next write.
void MainWindow::acceptOutsideVersion()
{
    m_outsideVersionUnkept = true;
    notePlanFileOnDisk();
}

// The copy takes the timed backups' name, in the backup folder or, where that folder is
// missing or refuses it, beside the plan; a name already taken (a timed backup of the same
// second) gets a number, since an existing file would count as the copy made. True when the
// copy is made or there is nothing to keep; *copy is then its path, on failure the path tried.
bool MainWindow::keepOutsideVersion(QString *copy)
{
    copy->clear();
    if (!m_outsideVersionUnkept)
        return true;
    if (m_planFile.fileName.isEmpty() || !QFileInfo::exists(m_planFile.fileName)) {
        m_outsideVersionUnkept = false;
        return true;
    }
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
        if (copyFile(m_planFile.fileName, name, false)) {
            m_outsideVersionUnkept = false;
            *copy = name;
            return true;
        }
    }
    *copy = candidates.first();
    return false;
}

// Cancel: the plan shown stays and is saved as before; the other program's version is copied
// aside now, while it is the one the user declined, and the message says where.
void MainWindow::keepPlanOverOutsideVersion()
{
    acceptOutsideVersion();
    // A read-only plan writes nothing over it; should it become writable, the copy is made
    // before the first write.
    if (m_planFile.readOnly)
        return;
    QString copy;
    if (!keepOutsideVersion(&copy))
        showBackupWriteFailure(copy);
    else if (!copy.isEmpty())
        informationMessage(this,
                           tr("The plan shown is kept; your changes will be saved to '%1'.\nThe "
                              "version written by the other application has been kept as '%2'.")
                               .arg(m_planFile.fileName, copy));
    if (isWindowModified())
        restartIdleTimer();
}

// The file another program wrote can't be read: the plan shown is the good one. Marked
// modified, it is saved over the damaged file at the next pause, the damaged file copied aside.
void MainWindow::keepPlanOverDamagedFile()
{
    acceptOutsideVersion();
    if (m_planFile.readOnly)
        return;
    QString copy;
    const bool kept = keepOutsideVersion(&copy);
    noteModification();
    if (!kept)
        showBackupWriteFailure(copy);
    else
        warningMessage(this,
                       tr("The plan shown will be saved over the damaged file '%1'.\nThe damaged "
                          "file has been kept as '%2'.")
                           .arg(m_planFile.fileName, copy));
}

bool MainWindow::onCheckExternalUpdatesToPlan()
{
    // The autosave's own request is answered whatever the preference: it waits for it.
    if (!settings()->checkPlanUpdates() && !m_outsideChangeQuestionDue)
        return false;
    if (!isActiveWindow() || QApplication::activeModalWidget())
        return false;
    if (!planFileChangedOutside()) {
        m_outsideChangeQuestionDue = false;
        return false;
    }
    m_outsideChangeQuestionDue = false;
    const QString question = tr("The plan has been updated by another application.\nDo you "
                                "want to re-open the updated plan?\n");
    const QString stop = tr("(You can stop these update checks in the 'Preferences' window.)");
    const QMessageBox::StandardButtons buttons = QMessageBox::Open | QMessageBox::Cancel;
    const int answer = isWindowModified()
        ? warningMessage(this, question + tr("Any changes you have made will be lost.\n") + stop,
                         buttons, QMessageBox::Open)
        : informationMessage(this, question + stop, buttons, QMessageBox::Open);
    if (answer != QMessageBox::Open) {
        keepPlanOverOutsideVersion();
        return false;
    }
    // A plan read-only only because its file could not be written is opened as the file is now.
    if (openFile(m_planFile.fileName, m_planFile.readOnly && !m_planFile.unwritableFile))
        return true;
    keepPlanOverDamagedFile();
    return false;
}

bool MainWindow::event(QEvent *event)
{
    if (event->type() == QEvent::Show && !m_fittedOntoScreen) {
        m_fittedOntoScreen = true;
        fitOntoScreen();
    }
    if (event->type() == QEvent::WindowActivate) {
        recheckPlanFileWritable();
        if (settings()->checkPlanUpdates() || m_outsideChangeQuestionDue)
            QCoreApplication::postEvent(this, new QEvent(outsideChangeCheckEvent));
    }
    return QMainWindow::event(event);
}

void MainWindow::customEvent(QEvent *event)
{
    switch (int(event->type())) {
    case updateCheckDueEvent:
        checkForUpdates(true);
        break;
    case outsideChangeCheckEvent: {
        // With the periodic checks off, only the autosave's request is answered; the check
        // itself tells it apart.
        const bool periodic = settings()->checkPlanUpdates();
        if (periodic)
            m_externalCheckTimer.stop();
        onCheckExternalUpdatesToPlan();
        if (periodic)
            m_externalCheckTimer.start(externalCheckIntervalMs);
        break;
    }
    case DropFilesEvent::Type: {
        m_drops->takeDropEvent(*static_cast<const DropFilesEvent *>(event));
        break;
    }
    default:
        break;
    }
}
