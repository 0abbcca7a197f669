#pragma once

#include <QString>

class QDateTime;

// The names the plan-file commands and their guard give and compare: no widgets, so that
// tests check them on a plain folder.

// The path made absolute and clean, with the platform's separators.
QString nativeAbsolutePath(const QString &path);

// The path as the file system knows it, links resolved, also for a file not yet made (then
// its folder's links are resolved). Two paths name one file when these are equal.
QString canonicalPath(const QString &path);

// The first free name "Base N.suffix" beside the file, N from 2 on, where Base is the file
// name up to its first dot and suffix all that follows it: "a.b.tv" gives "a 2.b.tv".
QString duplicateFileName(const QString &path);

// "Plan_2016-09-26T14-25-59" for Plan.tv at that local time: the file name up to its first dot,
// and the time without the colons file systems refuse.
QString timeStampedBaseName(const QString &path, const QDateTime &time);
