#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

// The most bytes a reader of text files (plans, CSV files) takes: it holds the whole text as
// one string, a character for each byte at most, and a string holds a little under 2^30
// characters. A file past it is refused rather than failing halfway through decoding.
constexpr qint64 maximumTextFileBytes = (qint64(1) << 30) - (qint64(1) << 20);

// Reads a device from where it stands to its end, as readAll would, but no further than it
// says it holds, and one byte more to notice that it holds more: some files of the system
// (/proc/self/pagemap) are regular files of size 0 that read on for gigabytes, and a file may
// grow while it is read. A device that states no length (a pipe) is read up to maximum and one
// byte more. False, with bytes empty, when the device holds more than it states or than
// maximum, or a read fails.
bool readBoundedBytes(QIODevice *device, qint64 maximum, QByteArray *bytes);

// Copies one regular file (links followed). Without overwrite an existing target is kept and counts
// as success, and a symbolic link that leads nowhere is neither written through nor counted: the
// copy fails. The copy goes through a temporary file, so a failed read or write leaves no partial
// target and an overwritten target keeps its old content. Like readBoundedBytes, the copy takes
// no more than the source says it holds: one that holds more fails.
bool copyFile(const QString &from, const QString &to, bool overwrite);
// Copies a folder tree; goes on past failed entries and reports false if any failed. Both
// paths get a trailing separator, also in the caller's strings.
bool copyFolder(QString &from, QString &to, bool overwrite);
void ensureTrailingSeparator(QString &path);

// The program's folder "Tavrolo" in the user's Documents location, and its "Backups" folder.
QString dataFolder(bool create);
QString backupsFolder(bool create);
