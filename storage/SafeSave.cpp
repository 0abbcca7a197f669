#include "storage/SafeSave.h"

#include <QFileInfo>
#include <QSaveFile>

namespace {

int errorCodeOf(const QFileDevice &file)
{
    // A failed commit can leave the device without an error of its own.
    return file.error() != QFileDevice::NoError ? int(file.error()) : int(QFileDevice::WriteError);
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
    // Falls back by itself where the folder refuses permission to create the temporary file.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return writeInPlace(fileName, writeContent, errorCode);
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
