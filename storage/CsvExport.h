#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class Document;
class QIODevice;

// Writes the chosen cards of the plan as a table with a header row, every field in double
// quotes; CSV and TXT files get the same bytes. A text with any character above ASCII is
// written as UTF-16 with a byte-order mark. The old file is replaced only once the whole
// table is written.
bool exportCsvFile(const Document &document, const QString &fileName, const QList<int> &taskIndexes,
                   bool *usedUnicode, QString *errorMessage);
// The same table written to a device open for writing; false when a write to it failed.
bool writeCsvText(const Document &document, QIODevice *device, const QList<int> &taskIndexes,
                  bool *usedUnicode);

QString quoteCsvLine(bool alwaysQuote, const QStringList &fields, const QString &separator);
QString quoteCsvField(bool alwaysQuote, const QString &field, const QString &separator);
