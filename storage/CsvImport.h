#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class Document;
class QIODevice;

// Reads cards from a text file of comma- or semicolon-separated values with a header row
// of property names into the plan. The plan changes without undo steps or
// notifications; the caller records the undo snapshot and announces the whole change.
// False, with the message, when the file cannot be read or would give the plan more values
// than its size can justify; the plan is then untouched. A path that is no regular file once
// links are followed (a device, a pipe, a folder) cannot be read. A picture file that the
// "Images" column names is read only as a raster picture (Image::fromNamedFile), once however
// its path is spelled, its work paid for by its own bytes, those that are there, and what they
// do not pay for taken from an allowance the import's pictures share. A blank row (blanks and
// bare separators only) ends the data; notice, when given, is set on success when rows with
// something in them follow it, to tell the user, and left alone otherwise.
bool importCsvFile(Document &document, const QString &fileName, bool clearFirst,
                   QString *errorMessage, QString *notice = nullptr);
// The same from a device open for reading (a file, or bytes in memory): its size stands for the
// file's in the allowance, and fileName names it in the messages. The device is read as
// readBoundedBytes reads it: one that holds more than it says (a file of the system that never
// ends) or than a text can be fails as a file that cannot be read.
bool importCsvFile(Document &document, QIODevice *device, const QString &fileName, bool clearFirst,
                   QString *errorMessage, QString *notice = nullptr);

// The cleaned cells of one line. A double quote that is a cell's first non-blank character
// opens a quoted run, in which the one-character separator and line breaks are text and ""
// stands for one quote; the run ends at any other quote. Elsewhere a quote is a plain
// character.
QStringList splitCsvLine(const QString &line, const QString &separator);

bool isBlankRow(const QStringList &cells);
QList<int> nonEmptyColumns(const QStringList &cells);
