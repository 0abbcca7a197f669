#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;
class QSaveFile;

// The most bytes a reader of text files (plans, CSV files) takes: it holds the whole text as
// one string, a character for each byte at most, and a string holds a little under 2^30
// characters. A file past it is refused rather than failing halfway through decoding.
constexpr qint64 maximumTextFileBytes = (qint64(1) << 30) - (qint64(1) << 20);

// Reads a device from where it stands to its end, as readAll would, but no further than it
// says it holds, and one byte more to notice that it holds more: some files of the system
// (/proc/self/pagemap) are regular files of size 0 that read on for gigabytes, and a file may
// grow while it is read. A device that states no length (a pipe) is read up to maximum and one
// byte more. False, with bytes empty, when the device holds more than it states or than
// maximum, or a read fails; tooLarge, when given, is then set where it holds more than maximum
// (a file too large to be read, rather than one that could not be).
bool readBoundedBytes(QIODevice *device, qint64 maximum, QByteArray *bytes,
                      bool *tooLarge = nullptr);

// Whether a new file may be put in the name's place: nothing is there (behind any links) or a
// regular file is. A device, a pipe, a socket or a folder there stays as it is, since a file
// renamed over it would take its place for every program that uses it (the null device, for the
// whole machine); reason, when given, then says why, for a message that names the path.
bool mayPutFileInPlace(const QString &fileName, QString *reason);

// The file-name road of the writers that replace a file through a QSaveFile: the name is
// checked as above when the file is opened and again just before the new file takes its place,
// and the last buffered write is flushed first, since commit() would not see it fail. On a
// failure, reason (when given) holds the check's words, or is empty where the file itself
// failed.
bool openSaveFile(QSaveFile *file, QString *reason);
bool commitSaveFile(QSaveFile *file, QString *reason);

// Copies one regular file (links followed). Without overwrite an existing target is kept and counts
// as success, and a symbolic link that leads nowhere is neither written through nor counted: the
// copy fails. The copy goes through a temporary file, so a failed read or write leaves no partial
// target and an overwritten target keeps its old content. Like readBoundedBytes, the copy takes
// no more than the source says it holds: one that holds more fails. Where a reason is asked
// for, a target that is no regular file gives it.
bool copyFile(const QString &from, const QString &to, bool overwrite, QString *reason = nullptr);
// Copies a folder tree; goes on past failed entries and reports false if any failed. Both
// paths get a trailing separator, also in the caller's strings.
bool copyFolder(QString &from, QString &to, bool overwrite);
void ensureTrailingSeparator(QString &path);

// The program's folder "Tavrolo" in the user's Documents location, and its "Backups" folder.
QString dataFolder(bool create);
QString backupsFolder(bool create);
