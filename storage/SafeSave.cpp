#include "storage/SafeSave.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFileInfo>
#include <QSaveFile>

namespace {

// The system's words for the failure just seen on the file: the error the failing system call
// left, taken before anything else runs, since the file reports a write cut short (a file grown
// past the size limit) without a reason of its own; else whatever the file says.
QString failureReason(const QFileDevice &file, int systemError)
{
    if (systemError != 0)
        return QString::fromLocal8Bit(std::strerror(systemError));
    return file.errorString();
}

// Whether the folder that holds the file (behind any link) refuses new files by permission:
// a folder the user may not write to, or one locked against changes. A folder that merely
// has no room left does not count, since writing in place there would cut the old content
// short. The folder's answer is asked directly, because the reason a temporary file could
// not be made does not survive the save file's own clean-up.
bool folderRefusesNewFiles(const QString &fileName)
{
    const QFileInfo info(fileName);
    const QString target = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    QByteArray probe
        = QFile::encodeName(QFileInfo(target).absolutePath() + QStringLiteral("/.tavrolo-XXXXXX"));
    const int descriptor = mkstemp(probe.data());
    if (descriptor >= 0) {
        close(descriptor);
        unlink(probe.constData());
        return false;
    }
    return errno == EACCES || errno == EPERM;
}

// The time and size of the bytes written to the open file, once they are all in it.
void tellWritten(const QFileDevice &file, const SaveHooks &hooks)
{
    struct stat status = {};
    if (!hooks.written || fstat(file.handle(), &status) != 0)
        return;
    hooks.written(QDateTime::fromMSecsSinceEpoch(qint64(status.st_mtim.tv_sec) * 1000
                                                 + status.st_mtim.tv_nsec / 1000000),
                  qint64(status.st_size));
}

SaveOutcome writeInPlace(const QString &fileName,
                         const std::function<bool(QIODevice &device)> &writeContent,
                         QString *reason, const SaveHooks &hooks)
{
    QFile file(fileName);
    // No file to write in place: the reason the folder gave stands.
    if (!QFileInfo(fileName).isFile())
        return SaveOutcome::OpenFailed;
    if (hooks.beforeReplacing && !hooks.beforeReplacing(reason))
        return SaveOutcome::WriteFailed;
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        *reason = failureReason(file, errno);
        return SaveOutcome::OpenFailed;
    }
    errno = 0;
    if (!writeContent(file) || !file.flush()) {
        *reason = failureReason(file, errno);
        return SaveOutcome::WriteFailed;
    }
    tellWritten(file, hooks);
    return SaveOutcome::Saved;
}

} // namespace

SaveOutcome saveFileContent(const QString &fileName, const QByteArray &bytes, QString *reason)
{
    return saveFileContent(
        fileName, [&bytes](QIODevice &device) { return device.write(bytes) == bytes.size(); },
        reason);
}

SaveOutcome saveFileContent(const QString &fileName,
                            const std::function<bool(QIODevice &device)> &writeContent,
                            QString *reason, const SaveHooks &hooks)
{
    QSaveFile file(fileName);
    // The save file's own fallback knows only EACCES; the choice is made below instead.
    file.setDirectWriteFallback(false);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        // Taken before the folder is probed, which sets errors of its own.
        *reason = failureReason(file, errno);
        if (folderRefusesNewFiles(fileName))
            return writeInPlace(fileName, writeContent, reason, hooks);
        return SaveOutcome::OpenFailed;
    }
    errno = 0;
    if (!writeContent(file) || !file.flush()) {
        *reason = failureReason(file, errno);
        file.cancelWriting();
        return SaveOutcome::WriteFailed;
    }
    tellWritten(file, hooks);
    if (hooks.beforeReplacing && !hooks.beforeReplacing(reason)) {
        file.cancelWriting();
        return SaveOutcome::WriteFailed;
    }
    errno = 0;
    if (!file.commit()) {
        *reason = failureReason(file, errno);
        return SaveOutcome::WriteFailed;
    }
    return SaveOutcome::Saved;
}

bool canReplaceFile(const QString &fileName)
{
    const QFileInfo info(fileName);
    if (info.exists()) {
        // The rename of a save, or the write in place, needs the file itself to take writes;
        // the folder refusing a new file only sends the save down the in-place road.
        return faccessat(AT_FDCWD, QFile::encodeName(info.canonicalFilePath()).constData(), W_OK,
                         AT_EACCESS)
            == 0;
    }
    return faccessat(AT_FDCWD, QFile::encodeName(info.absolutePath()).constData(), W_OK | X_OK,
                     AT_EACCESS)
        == 0;
}

QString writeFailureMessage(const QString &fileName, const QString &reason)
{
    return QStringLiteral("Can't save '%1': %2.").arg(fileName, reason);
}

QString withFailureReason(const QString &message, const QString &reason)
{
    if (reason.isEmpty())
        return message;
    return message + QLatin1Char('\n') + reason + QLatin1Char('.');
}

SaveOutcome saveFileWithMessage(const QString &fileName,
                                const std::function<bool(QIODevice &device)> &writeContent,
                                const QString &openFailedMessage, QString *errorMessage,
                                const SaveHooks &hooks)
{
    QString reason;
    const SaveOutcome outcome = saveFileContent(fileName, writeContent, &reason, hooks);
    if (outcome == SaveOutcome::OpenFailed)
        *errorMessage = withFailureReason(openFailedMessage, reason);
    else if (outcome == SaveOutcome::WriteFailed)
        *errorMessage = writeFailureMessage(fileName, reason);
    return outcome;
}
