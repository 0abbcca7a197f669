#pragma once

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

class Document;

// Reads cards from a text file of comma- or semicolon-separated values with a header row
// of property names into the plan. The plan changes without undo steps or notifications;
// the caller records the undo snapshot and announces the whole change.
bool importCsvFile(Document &document, const QString &fileName, bool clearFirst,
                   QString *errorMessage);

// Replaces the character wherever it stands inside a double-quoted run.
QString protectCharInQuotes(const QString &text, QChar from, QChar to);

// The cleaned cells of one line; the one-character separator splits only outside quotes.
QStringList splitCsvLine(const QString &line, const QString &separator);

bool isBlankRow(const QStringList &cells);
QList<int> nonEmptyColumns(const QStringList &cells);
