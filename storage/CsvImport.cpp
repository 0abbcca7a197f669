#include "storage/CsvImport.h"

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

} // namespace

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
