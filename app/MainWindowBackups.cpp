// The two safety nets around the plan file: time-stamped backups at a fixed interval, and the
// check for changes of the file by another program, with the offer to re-open it.

#include "app/DropFilesEvent.h"
#include "app/MainWindow.h"
#include "common/Accessors.h"
#include "common/FileHelpers.h"
#include "common/MessageBoxes.h"
#include "common/Settings.h"

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
    if (m_readOnly || !m_changedSinceBackup || m_fileName.isEmpty())
        return;
    const QString backup = backupFilePath(m_fileName, true);
    if (copyFile(m_fileName, backup, false)) {
        m_changedSinceBackup = false;
        return;
    }
    qWarning().noquote() << QStringLiteral("Unable to save ") + m_fileName + QStringLiteral(" to ")
            + backup;
    const QString folder = settings()->backupFolder();
    if (!QFileInfo(folder).isDir())
        criticalMessage(this,
                        tr("Backup folder '%1' doesn't exist.\nYou can change backup "
                           "settings in the 'Preferences' window.")
                            .arg(folder));
    else
        criticalMessage(this,
                        tr("Unable to write backup to '%1'.\nYou can change backup "
                           "settings in the 'Preferences' window.")
                            .arg(backup));
}

bool MainWindow::onCheckExternalUpdatesToPlan()
{
    if (!settings()->checkPlanUpdates() || !isActiveWindow() || QApplication::activeModalWidget())
        return false;
    if (!m_planFileTime.isValid() || m_fileName.isEmpty() || !QFileInfo::exists(m_fileName))
        return false;
    if (!(m_planFileTime < fileLastModified()))
        return false;
    const QString question = tr("The plan has been updated by another application.\nDo you "
                                "want to re-open the updated plan?\n");
    const QString stop = tr("(You can stop these update checks in the 'Preferences' window.)");
    const QMessageBox::StandardButtons buttons = QMessageBox::Open | QMessageBox::Cancel;
    const int answer = isWindowModified()
        ? warningMessage(this, question + tr("Any changes you have made will be lost.\n") + stop,
                         buttons, QMessageBox::Open)
        : informationMessage(this, question + stop, buttons, QMessageBox::Open);
    if (answer == QMessageBox::Open && openFile(m_fileName, m_readOnly))
        return true;
    // Declined, or the file could not be read: this outside change is not reported again,
    // and the plan shown is the one to keep, so the autosave may write it.
    m_planFileTime = fileLastModified();
    if (isWindowModified() && !m_readOnly)
        restartIdleTimer();
    return false;
}

bool MainWindow::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate && settings()->checkPlanUpdates())
        QCoreApplication::postEvent(this, new QEvent(outsideChangeCheckEvent));
    return QMainWindow::event(event);
}

void MainWindow::customEvent(QEvent *event)
{
    switch (int(event->type())) {
    case updateCheckDueEvent:
        checkForUpdates(true);
        break;
    case outsideChangeCheckEvent:
        if (!settings()->checkPlanUpdates())
            break;
        m_externalCheckTimer.stop();
        onCheckExternalUpdatesToPlan();
        m_externalCheckTimer.start(externalCheckIntervalMs);
        break;
    case DropFilesEvent::Type: {
        const auto *drop = static_cast<const DropFilesEvent *>(event);
        takeDropRequest({drop->paths, drop->taskIndex, drop->presets, drop->generation});
        break;
    }
    default:
        break;
    }
}
