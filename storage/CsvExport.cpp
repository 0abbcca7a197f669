#include "storage/CsvExport.h"

#include "common/core/BusyCursor.h"
#include "common/core/TextHelpers.h"
#include "model/Document.h"
#include "storage/SafeSave.h"

#include <QSet>
#include <QTextCodec>
#include <QVector>

namespace {

const QString comma = QStringLiteral(",");
const QString escapedComma = QStringLiteral("%2c");

enum class CardField { Property, Notes, Links, Images };

QString fieldName(CardField field)
{
    switch (field) {
    case CardField::Notes:
        return QStringLiteral("Notes");
    case CardField::Links:
        return QStringLiteral("Links");
    case CardField::Images:
        return QStringLiteral("Images");
    case CardField::Property:
        break;
    }
    return QString();
}

struct Column
{
    CardField field;
    int property;
};

// The table's columns: the properties in plan order, then the card's own fields. The import
// takes the first column named Notes, Links or Images (ignoring case) as the card's own and a
// later one as a property, so where a property bears one of these names, the card's own column
// goes just before it.
QVector<Column> tableColumns(const Document &document)
{
    QList<CardField> own {CardField::Notes, CardField::Links, CardField::Images};
    QVector<Column> columns;
    for (int p = 1; p < document.propertyCount(); ++p) {
        const QString reserved = Property::reservedName(document.propertyName(p));
        for (int i = 0; !reserved.isEmpty() && i < own.size(); ++i) {
            if (fieldName(own.at(i)) == reserved) {
                columns.append({own.takeAt(i), 0});
                break;
            }
        }
        columns.append({CardField::Property, p});
    }
    for (const CardField field : qAsConst(own))
        columns.append({field, 0});
    return columns;
}

QStringList headerFields(const Document &document, const QVector<Column> &columns)
{
    QStringList fields;
    for (const Column &column : columns) {
        fields << (column.field == CardField::Property ? document.propertyName(column.property)
                                                       : fieldName(column.field));
    }
    return fields;
}

// The import splits a links cell at every comma, so a comma inside an address is written
// escaped. It is written "%2c", in small letters: QUrl writes every escape of its own in
// capitals, so the import can turn exactly these back into commas and leave an address that
// held "%2C" itself as it was.
QString linksCell(const QList<HyperLink> &links)
{
    QStringList urls;
    for (const HyperLink &link : links)
        urls << link.urlText().replace(comma, escapedComma);
    return urls.join(comma);
}

QString cardField(const Document &document, int task, const Column &column)
{
    switch (column.field) {
    case CardField::Property:
        return document.value(task, column.property);
    case CardField::Notes:
        return document.taskNotes(task);
    case CardField::Links:
        return linksCell(document.taskLinks(task));
    case CardField::Images:
        break;
    }
    // A plan file may name an image the library does not hold; such a card has no image.
    const int image = document.taskImage(task);
    return image >= 0 && image < document.imageCount() ? document.image(image).name() : QString();
}

QStringList cardFields(const Document &document, int task, const QVector<Column> &columns)
{
    QStringList fields;
    fields.reserve(columns.size());
    for (const Column &column : columns)
        fields << cardField(document, task, column);
    return fields;
}

QString tableText(const Document &document, const QList<int> &taskIndexes)
{
    const QSet<int> chosen(taskIndexes.cbegin(), taskIndexes.cend());
    const QVector<Column> columns = tableColumns(document);
    QString text = quoteCsvLine(true, headerFields(document, columns), comma) + QLatin1Char('\n');
    for (int task = 0; task < document.taskCount(); ++task) {
        if (chosen.contains(task)) {
            text += quoteCsvLine(true, cardFields(document, task, columns), comma)
                + QLatin1Char('\n');
        }
    }
    return text;
}

} // namespace

bool exportCsvFile(const Document &document, const QString &fileName, const QList<int> &taskIndexes,
                   bool *usedUnicode, QString *errorMessage)
{
    *usedUnicode = false;
    BusyCursor busy;
    const auto write = [&](QIODevice &device) {
        return writeCsvText(document, &device, taskIndexes, usedUnicode);
    };
    const SaveOutcome outcome = saveFileWithMessage(
        fileName, write,
        QStringLiteral("Unable to write to '%1'.\nFile may be open in another application.")
            .arg(fileName),
        errorMessage);
    if (outcome == SaveOutcome::OpenFailed)
        *usedUnicode = false;
    return outcome == SaveOutcome::Saved;
}

bool writeCsvText(const Document &document, QIODevice *device, const QList<int> &taskIndexes,
                  bool *usedUnicode)
{
    const QString text = tableText(document, taskIndexes);
    QByteArray bytes;
    *usedUnicode = hasNonAscii(text);
    if (*usedUnicode) {
        QTextCodec *codec = QTextCodec::codecForName("UTF-16");
        bytes = codec->fromUnicode(text); // with a byte-order mark, in the processor's order
    } else {
        bytes = QTextCodec::codecForLocale()->fromUnicode(text);
    }
    return device->write(bytes) == bytes.size();
}

QString quoteCsvField(bool alwaysQuote, const QString &field, const QString &separator)
{
    QString quoted = field;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    if (alwaysQuote || quoted.contains(QLatin1Char('"')) || quoted.contains(separator))
        quoted = QLatin1Char('"') + quoted + QLatin1Char('"');
    quoted.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    quoted.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return quoted;
}

QString quoteCsvLine(bool alwaysQuote, const QStringList &fields, const QString &separator)
{
    QStringList quoted;
    quoted.reserve(fields.size());
    for (const QString &field : fields)
        quoted << quoteCsvField(alwaysQuote, field, separator);
    return quoted.join(separator);
}
