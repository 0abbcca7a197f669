#pragma once

#include <QString>

// Copies one regular file (links followed). Without overwrite an existing target is kept and counts
// as success, and a symbolic link that leads nowhere is neither written through nor counted: the
// copy fails. The copy goes through a temporary file, so a failed read or write leaves no partial
// target and an overwritten target keeps its old content.
bool copyFile(const QString &from, const QString &to, bool overwrite);
// Copies a folder tree; goes on past failed entries and reports false if any failed. Both
// paths get a trailing separator, also in the caller's strings.
bool copyFolder(QString &from, QString &to, bool overwrite);
void ensureTrailingSeparator(QString &path);

// The program's folder "Tavrolo" in the user's Documents location, and its "Backups" folder.
QString dataFolder(bool create);
QString backupsFolder(bool create);
