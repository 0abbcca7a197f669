#include "storage/CsvImport.h"

#include "common/BusyCursor.h"
#include "model/Document.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTextStream>
#include <QUrl>

namespace {

const QChar quote = QLatin1Char('"');
const QChar lineFeed = QLatin1Char('\n');
const QChar space = QLatin1Char(' ');

// Drops the text up to and including the first quote and from the last remaining quote
// on, then makes doubled quotes single and line breaks blanks.
QString cleanCsvCell(QString cell)
{
    const int first = cell.indexOf(quote);
    if (first >= 0) {
        cell.remove(0, first + 1);
        const int last = cell.lastIndexOf(quote);
        if (last >= 0)
            cell.truncate(last);
        cell.replace(QStringLiteral("\"\""), QStringLiteral("\""));
    }
    cell.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    cell.replace(lineFeed, space);
    return cell;
}

// What one import learned from the header row: which column feeds what.
struct CsvColumns
{
    QList<int> headerColumns;
    int notesColumn = -1;
    int linksColumn = -1;
    int imagesColumn = -1;
    QHash<int, int> properties; // column -> property index
    QHash<QString, int> imageIndexes; // image path -> library index, -1 for no picture
};

// The property a header cell names, added when the plan has none of that name (ignoring
// case). Only the first header column's new property shows on cards.
int propertyForHeader(Document &document, const QString &name, bool firstColumn)
{
    const int existing = document.propertyIndex(name);
    if (existing >= 0)
        return existing;
    document.addProperty(document.uniquePropertyName(name), QString(), PropertyType::Automatic,
                         QStringList(),
                         firstColumn ? PropertyVisibility::Text : PropertyVisibility::Hidden,
                         PropertyAppearance(), false);
    // The stored name can differ from the header text (a cut name loses trailing blanks),
    // so the column maps to the new property itself rather than to a lookup of the text.
    return document.propertyCount() - 1;
}

bool isHeaderName(const QString &name, const char *special)
{
    return name.compare(QLatin1String(special), Qt::CaseInsensitive) == 0;
}

void readHeader(Document &document, const QStringList &cells, CsvColumns &columns)
{
    const int maximumNameLength = 30;
    columns.headerColumns = nonEmptyColumns(cells);
    for (int k = 0; k < columns.headerColumns.size(); ++k) {
        const int column = columns.headerColumns.at(k);
        const QString name = cells.at(column).trimmed().left(maximumNameLength);
        if (columns.notesColumn < 0 && isHeaderName(name, "Notes"))
            columns.notesColumn = column;
        else if (columns.linksColumn < 0 && isHeaderName(name, "Links"))
            columns.linksColumn = column;
        else if (columns.imagesColumn < 0 && isHeaderName(name, "Images"))
            columns.imagesColumn = column;
        else
            columns.properties.insert(column, propertyForHeader(document, name, k == 0));
    }
}

QList<HyperLink> linksFromCell(const QString &cell)
{
    QList<HyperLink> links;
    for (const QString &part : cell.split(QLatin1Char(','), Qt::SkipEmptyParts))
        links << HyperLink(QUrl(part, QUrl::TolerantMode));
    return links;
}

// Rows that name the same picture file share one library entry; remembering the outcome
// per path spares decoding the same file for every row.
void setCardImage(Document &document, int card, const QString &cell, CsvColumns &columns)
{
    const QString path = cell.trimmed();
    // Only regular files: a device or pipe named in a cell could block the import forever.
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return;
    const auto known = columns.imageIndexes.constFind(path);
    if (known != columns.imageIndexes.constEnd()) {
        if (known.value() >= 0)
            document.setTaskImage(card, known.value(), false, nullptr);
        return;
    }
    document.addImages(QStringList() << path, card, false);
    const int image = document.task(card).imageIndex();
    columns.imageIndexes.insert(path, image);
}

void readDataRow(Document &document, const QStringList &cells, CsvColumns &columns)
{
    const int card = document.addTask(false);
    for (int column : qAsConst(columns.headerColumns)) {
        QString cell = column < cells.size() ? cells.at(column) : QString();
        if (column == columns.notesColumn) {
            document.setTaskNotes(card, cell, false, nullptr);
        } else if (column == columns.linksColumn) {
            document.setTaskLinks(card, linksFromCell(cell), false, nullptr);
        } else if (column == columns.imagesColumn) {
            setCardImage(document, card, cell, columns);
        } else {
            const int property = columns.properties.value(column);
            if (cell.isEmpty())
                cell = document.propertyDefaultValue(property);
            document.setValue(card, property, cell, false, nullptr);
        }
    }
}

QString chooseSeparator(const QString &text)
{
    return text.count(QLatin1Char(';')) > text.count(QLatin1Char(',')) ? QStringLiteral(";")
                                                                       : QStringLiteral(",");
}

} // namespace

bool importCsvFile(Document &document, const QString &fileName, bool clearFirst,
                   QString *errorMessage)
{
    BusyCursor busy;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        *errorMessage = QStringLiteral("Cannot open file '%1' to read.").arg(fileName);
        return false;
    }
    if (clearFirst)
        document.clear(false);
    QTextStream stream(&file);
    QString text = stream.readAll();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), lineFeed);
    text = protectCharInQuotes(text, lineFeed, space);
    const QString separator = chooseSeparator(text);
    CsvColumns columns;
    bool headerSeen = false;
    for (const QString &line : text.split(lineFeed, Qt::SkipEmptyParts)) {
        const QStringList cells = splitCsvLine(line, separator);
        if (isBlankRow(cells)) {
            if (headerSeen)
                break;
        } else if (!headerSeen) {
            readHeader(document, cells, columns);
            headerSeen = true;
        } else {
            readDataRow(document, cells, columns);
        }
    }
    return true;
}

QString protectCharInQuotes(const QString &text, QChar from, QChar to)
{
    if (text.size() < 2)
        return text;
    QString result = text;
    QChar *chars = result.data();
    const int last = result.size() - 1; // the last character is never examined
    bool inQuotes = false;
    for (int i = 0; i < last; ++i) {
        if (!inQuotes) {
            inQuotes = chars[i] == quote;
        } else if (chars[i] == quote) {
            if (chars[i + 1] == quote)
                ++i; // an escaped quote: the run goes on
            else
                inQuotes = false;
        } else if (chars[i] == from) {
            chars[i] = to;
        }
    }
    return result;
}

QStringList splitCsvLine(const QString &line, const QString &separator)
{
    // A separator splits the line when an even number of quotes follows it on the line, so
    // separators inside a quoted run stay in their cell. Counting the quotes once and
    // keeping a running count makes this one pass over the line.
    QStringList cells;
    const int length = line.size();
    const QChar *chars = line.constData();
    int quotesAfter = 0;
    for (int i = 0; i < length; ++i)
        quotesAfter += chars[i] == quote ? 1 : 0;
    const QChar separatorChar = separator.isEmpty() ? QLatin1Char(',') : separator.at(0);
    int cellStart = 0;
    for (int i = 0; i < length; ++i) {
        if (chars[i] == quote)
            --quotesAfter;
        else if (chars[i] == separatorChar && quotesAfter % 2 == 0) {
            cells << cleanCsvCell(line.mid(cellStart, i - cellStart));
            cellStart = i + 1;
        }
    }
    cells << cleanCsvCell(line.mid(cellStart));
    return cells;
}

bool isBlankRow(const QStringList &cells)
{
    for (const QString &cell : cells) {
        if (!cell.trimmed().isEmpty())
            return false;
    }
    return true;
}

QList<int> nonEmptyColumns(const QStringList &cells)
{
    QList<int> columns;
    for (int i = 0; i < cells.size(); ++i) {
        if (!cells.at(i).trimmed().isEmpty())
            columns << i;
    }
    return columns;
}
