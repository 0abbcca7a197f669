#include "storage/SafeSave.h"

#include <cerrno>
#include <cstdlib>
#include <unistd.h>

#include <QFileInfo>
#include <QSaveFile>

namespace {

int errorCodeOf(const QFileDevice &file)
{
    // A failed commit can leave the device without an error of its own.
    return file.error() != QFileDevice::NoError ? int(file.error()) : int(QFileDevice::WriteError);
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

SaveOutcome writeInPlace(const QString &fileName,
                         const std::function<bool(QIODevice &device)> &writeContent, int *errorCode)
{
    QFile file(fileName);
    if (!QFileInfo(fileName).isFile() || !file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return SaveOutcome::OpenFailed;
    if (!writeContent(file) || !file.flush()) {
        *errorCode = errorCodeOf(file);
        return SaveOutcome::WriteFailed;
    }
    return SaveOutcome::Saved;
}

} // namespace

SaveOutcome saveFileContent(const QString &fileName, const QByteArray &bytes, int *errorCode)
{
    return saveFileContent(
        fileName, [&bytes](QIODevice &device) { return device.write(bytes) == bytes.size(); },
        errorCode);
}

SaveOutcome saveFileContent(const QString &fileName,
                            const std::function<bool(QIODevice &device)> &writeContent,
                            int *errorCode)
{
    QSaveFile file(fileName);
    // The save file's own fallback knows only EACCES; the choice is made below instead.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        if (folderRefusesNewFiles(fileName))
            return writeInPlace(fileName, writeContent, errorCode);
        return SaveOutcome::OpenFailed;
    }
    if (!writeContent(file) || !file.flush()) {
        *errorCode = errorCodeOf(file);
        file.cancelWriting();
        return SaveOutcome::WriteFailed;
    }
    if (!file.commit()) {
        *errorCode = errorCodeOf(file);
        return SaveOutcome::WriteFailed;
    }
    return SaveOutcome::Saved;
}
