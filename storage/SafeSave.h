#pragma once

#include <functional>

#include <QByteArray>
#include <QDateTime>
#include <QString>

class QIODevice;

// How replacing a file's content ended. TooLarge is a write that failed because the content
// passed the bound the save was given (SaveHooks::maximumBytes).
enum class SaveOutcome { Saved, OpenFailed, WriteFailed, TooLarge };

// Replaces the content of a file as a whole: the bytes go to a temporary file beside it
// that is renamed over it once everything is on disk, so a full disk or a crash leaves
// the old content. A name holding a device, a pipe, a socket or a folder is left as it is
// (OpenFailed). A symbolic link is followed and the file keeps its permissions. Only
// where the folder refuses new files by permission is an existing file written in place;
// when the temporary file cannot be made for any other reason (no space, no free inode),
// the file is left untouched and the result is OpenFailed. On a failure, reason holds the
// system's words for it ("No space left on device"), for the message that names the file.
SaveOutcome saveFileContent(const QString &fileName, const QByteArray &bytes, QString *reason);

// What a save may learn and decide about its bytes before they are put in place.
struct SaveHooks
{
    // The last look at the file before the bytes replace its content: once they are written
    // whole and synced on the road of the temporary file, before the file is emptied on the road
    // in place. False leaves the file as it is, the save failed for the reason given.
    std::function<bool(QString *reason)> beforeReplacing;
    // The modification time and size of the bytes written, taken once they are synced and their
    // file closed, before it is put in place (the rename keeps both): whatever is written at the
    // file's name afterwards has others.
    std::function<void(const QDateTime &modified, qint64 size)> written;
    // Where the bytes were swapped with the file in one step, the content they replaced, which
    // may be a version written after the last look: it is at the given path, removed once this
    // returns true; false leaves it there.
    std::function<bool(const QString &replacedContent)> replaced;
    // The bytes go to a new file made at the name itself, and only while nothing is there: a file
    // at the name, even one another program made an instant before, stays as it is and the save
    // fails (OpenFailed, "File exists").
    bool onlyAsNewFile = false;
    // The most bytes the file may hold, or -1 for no bound. The write that would take the content
    // past it fails, and the save with it (TooLarge), as a write to a full disk does: the file is
    // left as it was. Where the file is written in place, the content is counted first, without
    // being kept, so that the file is never emptied for a content that cannot go in.
    qint64 maximumBytes = -1;
};

// The same, with the content written to the file by the given function as it is made, so that
// it never has to be held whole; the function returns false when a write failed.
SaveOutcome saveFileContent(const QString &fileName,
                            const std::function<bool(QIODevice &device)> &writeContent,
                            QString *reason, const SaveHooks &hooks = SaveHooks());

// The messages of the writers that save through here: "Can't save 'FILE': REASON." for a write
// that failed, and a message of their own for a file that could not be opened, followed by the
// reason on a line of its own.
QString writeFailureMessage(const QString &fileName, const QString &reason);
QString withFailureReason(const QString &message, const QString &reason);

// saveFileContent for the writers: on a failure, errorMessage is the message above, with
// openFailedMessage for a file that could not be opened.
SaveOutcome saveFileWithMessage(const QString &fileName,
                                const std::function<bool(QIODevice &device)> &writeContent,
                                const QString &openFailedMessage, QString *errorMessage,
                                const SaveHooks &hooks = SaveHooks());

// Whether saveFileContent may replace the file now, asked without writing anything: false for
// a file on a read-only file system, a locked file or one the user may not write, and, for a
// file not made yet, a folder that takes no new file, and a name that holds something other
// than a regular file. A full disk is not foreseen here. Where false, reason (when given) holds
// the system's words for it.
bool canReplaceFile(const QString &fileName, QString *reason = nullptr);
