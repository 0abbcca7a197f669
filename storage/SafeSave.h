#pragma once

#include <functional>

#include <QByteArray>
#include <QString>

class QIODevice;

// How replacing a file's content ended; errorCode is the file's error code on a failure.
enum class SaveOutcome { Saved, OpenFailed, WriteFailed };

// Replaces the content of a file as a whole: the bytes go to a temporary file beside it
// that is renamed over it once everything is on disk, so a full disk or a crash leaves
// the old content. A symbolic link is followed and the file keeps its permissions. Only
// where the folder refuses new files by permission is an existing file written in place;
// when the temporary file cannot be made for any other reason (no space, no free inode),
// the file is left untouched and the result is OpenFailed.
SaveOutcome saveFileContent(const QString &fileName, const QByteArray &bytes, int *errorCode);

// The same, with the content written to the file by the given function as it is made, so that
// it never has to be held whole; the function returns false when a write failed.
SaveOutcome saveFileContent(const QString &fileName,
                            const std::function<bool(QIODevice &device)> &writeContent,
                            int *errorCode);
