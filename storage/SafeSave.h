#pragma once

#include <QByteArray>
#include <QString>

// How replacing a file's content ended; errorCode is the file's error code on a failure.
enum class SaveOutcome { Saved, OpenFailed, WriteFailed };

// Replaces the content of a file as a whole: the bytes go to a temporary file beside it
// that is renamed over it once everything is on disk, so a full disk or a crash leaves
// the old content. A symbolic link is followed and the file keeps its permissions. Only
// where the folder refuses new files by permission is an existing file written in place;
// when the temporary file cannot be made for any other reason (no space, no free inode),
// the file is left untouched and the result is OpenFailed.
SaveOutcome saveFileContent(const QString &fileName, const QByteArray &bytes, int *errorCode);
