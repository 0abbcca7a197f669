#include "storage/CsvExport.h"

#include "common/core/BusyCursor.h"
#include "common/core/TextHelpers.h"
#include "model/Document.h"
#include "storage/SafeSave.h"

#include <QSet>
#include <QTextCodec>

namespace {

const QString comma = QStringLiteral(",");

QStringList headerFields(const Document &document)
{
    QStringList fields;
    for (int p = 1; p < document.propertyCount(); ++p)
        fields << document.propertyName(p);
    fields << QStringLiteral("Notes") << QStringLiteral("Links") << QStringLiteral("Images");
    return fields;
}

QStringList cardFields(const Document &document, int task)
{
    QStringList fields;
    for (int p = 1; p < document.propertyCount(); ++p)
        fields << document.value(task, p);
    fields << document.taskNotes(task);
    QStringList urls;
    for (const HyperLink &link : document.taskLinks(task))
        urls << link.displayUrl();
    fields << urls.join(comma);
    // A plan file may name an image the library does not hold; such a card has no image.
    const int image = document.taskImage(task);
    fields << (image >= 0 && image < document.imageCount() ? document.image(image).name()
                                                           : QString());
    return fields;
}

QString tableText(const Document &document, const QList<int> &taskIndexes)
{
    const QSet<int> chosen(taskIndexes.cbegin(), taskIndexes.cend());
    QString text = quoteCsvLine(true, headerFields(document), comma) + QLatin1Char('\n');
    for (int task = 0; task < document.taskCount(); ++task) {
        if (chosen.contains(task))
            text += quoteCsvLine(true, cardFields(document, task), comma) + QLatin1Char('\n');
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
