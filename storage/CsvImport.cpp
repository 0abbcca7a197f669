#include "storage/CsvImport.h"

#include "common/core/BusyCursor.h"
#include "common/core/FileHelpers.h"
#include "common/core/NumberDateText.h"
#include "common/core/RasterPictureReader.h"
#include "common/core/TextHelpers.h"
#include "model/Document.h"
#include "model/SharedTexts.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QTextStream>
#include <QUrl>
#include <QVector>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

const QChar quote = QLatin1Char('"');
const QChar lineFeed = QLatin1Char('\n');
const QChar carriageReturn = QLatin1Char('\r');
const QChar space = QLatin1Char(' ');
const int maximumNameLength = 30;

// Every card holds a value for every property, so a few bytes of short rows under a wide
// header, or a wide header imported into a plan of many cards, could ask for billions of values.
// A read may take about 100 MB plus 50 bytes per byte of the file. What the plan spends on each
// thing an import adds, roughly: a spreadsheet spends at least one byte (a separator or a line
// break) on every cell it writes, and a few on every column and row, so its files stay well
// inside the allowance.
const qint64 fixedAllowance = 100 * 1024 * 1024;
const qint64 allowancePerFileByte = 50;
const qint64 bytesPerCard = 64;
const qint64 bytesPerValue = 48;
const qint64 bytesPerProperty = 768;
const qint64 bytesPerLink = 256;

// A file as the system knows it, whatever path names it: its device and node, so that its hard
// links, the links to it and every spelling of its path are one file; its canonical path where
// the system tells no node.
QString fileIdentity(const QFileInfo &info)
{
#ifdef Q_OS_UNIX
    struct stat status;
    if (::stat(QFile::encodeName(info.filePath()).constData(), &status) == 0)
        return QStringLiteral("%1:%2").arg(quint64(status.st_dev)).arg(quint64(status.st_ino));
#endif
    return info.canonicalFilePath();
}

bool isBlank(const QChar *chars, int length)
{
    for (int i = 0; i < length; ++i) {
        if (!chars[i].isSpace())
            return false;
    }
    return true;
}

bool isBlank(const QString &text)
{
    return isBlank(text.constData(), text.size());
}

// The part of a cell its text comes from: a cell whose first non-blank character opened a
// quoted run keeps what lies between its first and its last quote.
QStringView cellContent(const QChar *chars, int length, bool quoted)
{
    const QStringView raw(chars, length);
    if (!quoted)
        return raw;
    const int first = int(raw.indexOf(quote));
    const int last = int(raw.lastIndexOf(quote));
    return last > first ? raw.mid(first + 1, last - first - 1) : raw.mid(first + 1);
}

// Doubled quotes of a quoted cell become single, line breaks become blanks.
QString cellText(QStringView content, bool quoted)
{
    QString cell = content.toString();
    if (quoted && cell.contains(quote))
        cell.replace(QStringLiteral("\"\""), QStringLiteral("\""));
    if (cell.contains(lineFeed)) {
        cell.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        cell.replace(lineFeed, space);
    }
    return cell;
}

// The index of the quote that ends the run starting at i (just after its opening quote), or the
// length when the run is never closed.
int endOfQuotedRun(const QChar *chars, int length, int i)
{
    for (; i < length; ++i) {
        if (chars[i] != quote)
            continue;
        if (i + 1 < length && chars[i + 1] == quote)
            ++i;
        else
            return i;
    }
    return length;
}

// Where the cell that starts at start ends: the index of the separator that ends it (with
// lineFeedsEndRows, also of a line feed), or the length. A double quote opens a quoted run only
// as the first non-blank character of a cell; in the run, separators and line feeds are text,
// "" is an escaped quote and any other quote ends it. Every other quote is a plain character.
// quoted tells whether the cell opened a run. The one place this rule lives: reading the rows
// and choosing the separator both go through here.
template<typename IsSeparator>
int cellEnd(const QChar *chars, int length, int start, IsSeparator isSeparator,
            bool lineFeedsEndRows, bool &quoted)
{
    quoted = false;
    bool blanksOnly = true;
    for (int i = start; i < length; ++i) {
        const QChar c = chars[i];
        if (isSeparator(c) || (lineFeedsEndRows && c == lineFeed))
            return i;
        if (blanksOnly && !c.isSpace()) {
            blanksOnly = false;
            if (c == quote) {
                quoted = true;
                i = endOfQuotedRun(chars, length, i + 1);
            }
        }
    }
    return length;
}

// Walks the row that starts at position, hands each cell's content to addCell(content, quoted)
// and moves position past the row. With lineFeedsEndRows a line feed outside a quoted run ends
// the row; otherwise it is text.
template<typename AddCell>
void scanRow(const QString &text, int &position, QChar separator, bool lineFeedsEndRows,
             AddCell addCell)
{
    const QChar *chars = text.constData();
    const int length = text.size();
    const auto isSeparator = [separator](QChar c) { return c == separator; };
    for (int start = position;;) {
        bool quoted = false;
        const int end = cellEnd(chars, length, start, isSeparator, lineFeedsEndRows, quoted);
        addCell(cellContent(chars + start, end - start, quoted), quoted);
        if (end == length || (lineFeedsEndRows && chars[end] == lineFeed)) {
            position = qMin(end + 1, length);
            return;
        }
        start = end + 1;
    }
}

void readCells(const QString &text, int &position, QChar separator, bool lineFeedsEndRows,
               QStringList &cells)
{
    cells.clear();
    scanRow(text, position, separator, lineFeedsEndRows,
            [&cells](QStringView content, bool quoted) { cells << cellText(content, quoted); });
}

// The rows of the whole text in order; empty lines are no rows.
class CsvRows
{
public:
    CsvRows(const QString &text, QChar separator) : m_text(text), m_separator(separator) { }

    // Moves to the next row; false at the end of the text.
    bool next()
    {
        while (m_position < m_text.size() && m_text.at(m_position) == lineFeed)
            ++m_position;
        return m_position < m_text.size();
    }
    void read(QStringList &cells) { readCells(m_text, m_position, m_separator, true, cells); }
    // As read, with the texts of a column shared with the equal ones of the rows before
    // (shared holds a table per column): a large file repeats a column's few values over and
    // over, and a shared text costs neither memory nor the time to copy it.
    void readShared(QStringList &cells, QVector<SharedTexts> &shared)
    {
        cells.clear();
        int column = 0;
        scanRow(m_text, m_position, m_separator, true, [&](QStringView content, bool quoted) {
            if (quoted || column >= shared.size() || content.contains(lineFeed)) {
                cells << cellText(content, quoted);
            } else {
                SharedTexts &texts = shared[column];
                const int index = texts.add(content);
                cells << (index >= 0 ? texts.at(index) : content.toString());
            }
            ++column;
        });
    }
    // Passes over the row; addCell(column, content, quoted) sees its cells.
    template<typename AddCell>
    void scan(AddCell addCell)
    {
        int column = 0;
        scanRow(m_text, m_position, m_separator, true,
                [&](QStringView content, bool quoted) { addCell(column++, content, quoted); });
    }
    int position() const { return m_position; }
    void setPosition(int position) { m_position = position; }

private:
    const QString &m_text;
    const QChar m_separator;
    int m_position = 0;
};

// CR LF and lone CR become LF, in place.
void unifyLineBreaks(QString &text)
{
    if (!text.contains(carriageReturn))
        return;
    QChar *chars = text.data();
    const int length = text.size();
    int to = 0;
    for (int from = 0; from < length; ++from) {
        if (chars[from] == carriageReturn) {
            chars[to++] = lineFeed;
            if (from + 1 < length && chars[from + 1] == lineFeed)
                ++from;
        } else {
            chars[to++] = chars[from];
        }
    }
    text.truncate(to);
}

// ";" when more semicolons than commas stand outside quoted runs, else ",": separators inside
// quoted cells are text and must not outvote the ones that split the file. Which of the two
// splits is what is being decided, so either ends a cell here: a quote just after either opens
// a run.
QChar chooseSeparator(const QString &text)
{
    const QChar semicolon = QLatin1Char(';');
    const QChar comma = QLatin1Char(',');
    const auto isEither = [&](QChar c) { return c == semicolon || c == comma; };
    const QChar *chars = text.constData();
    const int length = text.size();
    int semicolons = 0;
    int commas = 0;
    bool quoted = false;
    for (int end = cellEnd(chars, length, 0, isEither, true, quoted); end < length;
         end = cellEnd(chars, length, end + 1, isEither, true, quoted)) {
        semicolons += chars[end] == semicolon ? 1 : 0;
        commas += chars[end] == comma ? 1 : 0;
    }
    return semicolons > commas ? semicolon : comma;
}

// The plan's property names while a header is matched against them, in hashes, so that a header
// of thousands of columns costs linear time. Names match ignoring case as
// Document::propertyIndex does, but never the hidden placeholder 0: a column stored there would
// never show and would be lost on the next save. A new name avoids every name, the
// placeholder's included, as Document::uniquePropertyName does.
class PropertyNames
{
public:
    explicit PropertyNames(const QStringList &names)
    {
        for (const QString &name : names)
            add(name);
    }

    int count() const { return m_count; }
    int match(const QString &name) const { return m_byName.value(name.toLower(), -1); }

    QString unique(const QString &name)
    {
        const QString base = name.trimmed();
        const QString key = base.toLower();
        if (!m_taken.contains(key))
            return base;
        // Names are only ever added, so numbers found taken once stay taken.
        int &number = m_nextNumber[key];
        number = qMax(number, 1);
        while (m_taken.contains(key + QString::number(number)))
            ++number;
        return base + QString::number(number);
    }

    int add(const QString &name)
    {
        const QString key = name.toLower();
        m_taken.insert(key);
        if (m_count > 0 && !m_byName.contains(key))
            m_byName.insert(key, m_count);
        return m_count++;
    }

private:
    QHash<QString, int> m_byName;
    QSet<QString> m_taken;
    QHash<QString, int> m_nextNumber;
    int m_count = 0;
};

// What the header row decides: which column feeds what, and the properties to add.
struct CsvColumns
{
    QList<int> headerColumns;
    int notesColumn = -1;
    int linksColumn = -1;
    int imagesColumn = -1;
    // Property columns in header order: (column, property index).
    QVector<QPair<int, int>> propertyColumns;
    int firstNewProperty = 0;
    QStringList newNames;
    // The new property that shows on cards, -1 for none.
    int shownProperty = -1;
};

bool isHeaderName(const QString &name, const char *special)
{
    return name.compare(QLatin1String(special), Qt::CaseInsensitive) == 0;
}

CsvColumns planColumns(const QStringList &cells, PropertyNames &names)
{
    CsvColumns columns;
    columns.firstNewProperty = names.count();
    columns.headerColumns = nonEmptyColumns(cells);
    for (int k = 0; k < columns.headerColumns.size(); ++k) {
        const int column = columns.headerColumns.at(k);
        const QString name = leftWholeCharacters(cells.at(column).trimmed(), maximumNameLength);
        if (columns.notesColumn < 0 && isHeaderName(name, "Notes")) {
            columns.notesColumn = column;
        } else if (columns.linksColumn < 0 && isHeaderName(name, "Links")) {
            columns.linksColumn = column;
        } else if (columns.imagesColumn < 0 && isHeaderName(name, "Images")) {
            columns.imagesColumn = column;
        } else {
            int property = names.match(name);
            if (property < 0) {
                // The stored name can differ from the header text (a cut name loses trailing
                // blanks), so the column maps to the new property itself.
                const QString unique = names.unique(name);
                property = names.add(unique);
                columns.newNames << unique;
                if (k == 0)
                    columns.shownProperty = property;
            }
            columns.propertyColumns << qMakePair(column, property);
        }
    }
    return columns;
}

int countLinks(QStringView cell)
{
    int links = 0;
    bool inLink = false;
    for (const QChar c : cell) {
        const bool linkText = c != QLatin1Char(',');
        links += linkText && !inLink ? 1 : 0;
        inLink = linkText;
    }
    return links;
}

// What a file will add to the plan, worked out before the plan changes: the header's columns,
// where the data rows start, how many there are and how many links they hold.
struct CsvSurvey
{
    CsvColumns columns;
    int dataStart = 0;
    qint64 dataRows = 0;
    qint64 links = 0;
    // The rows with something in them below the blank row that ended the data.
    qint64 rowsLeftOut = 0;
};

// A row of blanks and bare separators ends the data (a sheet's notes below it stay out), but a
// row with a quoted cell is one the file means even when every cell is empty: an export writes
// an empty card so.
bool isBlankScannedRow(CsvRows &rows, int linksColumn, qint64 *links)
{
    bool blank = true;
    rows.scan([&](int column, QStringView content, bool quoted) {
        blank = blank && !quoted && isBlank(content.data(), int(content.size()));
        if (column == linksColumn)
            *links = countLinks(content);
    });
    return blank;
}

CsvSurvey surveyRows(CsvRows &rows, PropertyNames &names)
{
    CsvSurvey survey;
    QStringList header;
    while (header.isEmpty() && rows.next()) {
        rows.read(header);
        if (isBlankRow(header))
            header.clear();
    }
    survey.columns = planColumns(header, names);
    survey.dataStart = rows.position();
    const int linksColumn = survey.columns.linksColumn;
    // Data rows are only counted here: cutting them into texts waits until they are stored.
    while (rows.next()) {
        qint64 links = 0;
        if (isBlankScannedRow(rows, linksColumn, &links))
            break;
        ++survey.dataRows;
        survey.links += links;
    }
    while (rows.next()) {
        qint64 links = 0;
        survey.rowsLeftOut += isBlankScannedRow(rows, -1, &links) ? 0 : 1;
    }
    return survey;
}

// The date that each distinct text reads as, in the user's format, worked out once per import
// (reading dates is the slowest part of a value); a null text for a text that is no date.
class DateTexts
{
public:
    explicit DateTexts(int dateFormat) : m_dateFormat(dateFormat) { }

    const QString &normalized(const QString &text)
    {
        auto known = m_texts.find(text);
        if (known == m_texts.end()) {
            bool ok = false;
            const QDate date = stringToDateWithFormat(text, m_dateFormat, &ok);
            QString normalized;
            if (ok)
                normalized = date.isValid() ? dateToString(date, m_dateFormat, true) : text;
            known = m_texts.insert(text, normalized);
        }
        return known.value();
    }

private:
    QHash<QString, QString> m_texts;
    const int m_dateFormat;
};

// Whether every non-blank value of a new property so far reads as a date.
struct DateColumn
{
    bool someDate = false;
    bool notAllDates = false;

    void note(const QString &text, DateTexts &dates)
    {
        if (notAllDates || isBlank(text))
            return;
        (dates.normalized(text).isNull() ? notAllDates : someDate) = true;
    }
};

// Writing the rows into the plan. The properties the header adds are declared Text while the
// values go in, so that storing a value is not also a date check of it; once all values are in,
// a property whose values all read as dates gets them in the user's date format, as setting each
// value of a date property would have done, and every new property becomes Automatic.
// The cards and their values are gathered row by row and go into the plan in one go.
class CsvWriter
{
public:
    CsvWriter(Document &document, const CsvColumns &columns, int dateFormat, int rows)
        : m_document(document),
          m_columns(columns),
          m_dates(dateFormat),
          m_dateColumns(columns.newNames.size()),
          m_firstCard(document.taskCount())
    {
        for (int i = 0; i < columns.newNames.size(); ++i) {
            m_document.addProperty(
                columns.newNames.at(i), QString(), PropertyType::Text, QStringList(),
                columns.firstNewProperty + i == columns.shownProperty ? PropertyVisibility::Text
                                                                      : PropertyVisibility::Hidden,
                PropertyAppearance(), false);
        }
        m_rowOfProperty.fill(-1, m_document.propertyCount());
        for (int p = 0; p < columns.firstNewProperty; ++p)
            m_defaults << m_document.propertyDefaultValue(p);
        m_values.resize(m_document.propertyCount());
        for (const auto &feed : columns.propertyColumns)
            m_values[feed.second].resize(rows);
        m_cards.reserve(rows);
    }

    void readRow(const QStringList &cells)
    {
        const int row = m_cards.size();
        Task card;
        // As setting them would: empty notes and links leave the card's as they are.
        if (m_columns.notesColumn >= 0 && !cells.value(m_columns.notesColumn).isEmpty())
            card.setNotes(cells.value(m_columns.notesColumn));
        if (m_columns.linksColumn >= 0)
            card.setHyperLinks(linksFromCell(cells.value(m_columns.linksColumn)));
        if (m_columns.imagesColumn >= 0 && !cells.value(m_columns.imagesColumn).isEmpty())
            m_imageCells.append(qMakePair(row, cells.value(m_columns.imagesColumn)));
        m_cards.append(card);
        // When two columns feed one property the later column's value stays, so each property
        // is set once, from the last of its columns.
        for (int i = m_columns.propertyColumns.size() - 1; i >= 0; --i) {
            const int column = m_columns.propertyColumns.at(i).first;
            const int property = m_columns.propertyColumns.at(i).second;
            if (m_rowOfProperty.at(property) == row)
                continue;
            m_rowOfProperty[property] = row;
            QString cell = cells.value(column);
            const int fresh = property - m_columns.firstNewProperty;
            if (fresh >= 0) {
                // A new property's default, the empty text, is on the card already.
                if (cell.isEmpty())
                    continue;
                m_dateColumns[fresh].note(cell, m_dates);
            } else if (cell.isEmpty()) {
                cell = m_defaults.at(property);
            }
            m_values[property][row] = cell;
        }
    }

    void finish()
    {
        // Rows that were never read (the file changed under the import) keep every default.
        for (QVector<QString> &column : m_values) {
            if (!column.isEmpty())
                column.resize(m_cards.size());
        }
        m_document.appendCards(m_cards, std::move(m_values));
        for (const auto &image : qAsConst(m_imageCells))
            setCardImage(m_firstCard + image.first, image.second);
        for (int i = 0; i < m_dateColumns.size(); ++i) {
            const int property = m_columns.firstNewProperty + i;
            if (m_dateColumns.at(i).someDate && !m_dateColumns.at(i).notAllDates)
                normalizeDates(property);
            m_document.setPropertyType(property, PropertyType::Automatic, false);
        }
    }

private:
    void normalizeDates(int property)
    {
        for (int card = m_firstCard; card < m_document.taskCount(); ++card) {
            const QString text = m_document.value(card, property);
            if (isBlank(text))
                continue;
            QString normalized = m_dates.normalized(text);
            if (normalized != text)
                m_document.setValue(card, property, normalized, false, nullptr);
        }
    }

    // The export writes a comma inside an address as "%2c" in small letters, which QUrl never
    // writes (see CsvExport.cpp), so only those become commas again.
    static QList<HyperLink> linksFromCell(const QString &cell)
    {
        QList<HyperLink> links;
        for (QString &part : cell.split(QLatin1Char(','), Qt::SkipEmptyParts))
            links << HyperLink::fromUrlText(part.replace(QLatin1String("%2c"), QLatin1String(",")));
        return links;
    }

    // Rows that name the same picture file share one library entry; remembering the outcome
    // per file spares decoding it for every row. The file is known by its identity, so that it
    // is read once however the rows reach it (hard links, links, dir/./name), and the import's
    // time grows with the bytes of the pictures it reads, never with the rows.
    void setCardImage(int card, const QString &cell)
    {
        const QString path = cell.trimmed();
        const QFileInfo info(path);
        // Only regular files: a device or pipe named in a cell could block the import forever.
        if (path.isEmpty() || !info.isFile())
            return;
        const QString file = fileIdentity(info);
        const auto known = m_imageIndexes.constFind(file);
        if (known != m_imageIndexes.constEnd()) {
            if (known.value() >= 0)
                m_document.setTaskImage(card, known.value(), false, nullptr);
            return;
        }
        // The file is one the CSV file names, not one the user chose: only a raster picture, paid
        // for by its own bytes, as a plan's pictures are paid for by the bytes of the plan they
        // come in, and what they do not pay for taken from what the import's pictures share.
        const Image image = Image::fromNamedFile(path, &m_pictureBudget);
        int index = -1;
        if (!image.isNull()) {
            index = m_document.findImage(image.pixmap());
            if (index < 0)
                index = m_document.addImage(image, false);
            m_document.setTaskImage(card, index, false, nullptr);
        }
        m_imageIndexes.insert(file, index);
    }

    Document &m_document;
    const CsvColumns &m_columns;
    DateTexts m_dates;
    QVector<DateColumn> m_dateColumns;
    const int m_firstCard;
    QStringList m_defaults;
    // The row whose value of the property was set last.
    QVector<int> m_rowOfProperty;
    QList<Task> m_cards;
    QVector<QVector<QString>> m_values;
    // (row, cell) of the rows that name a picture, in row order.
    QList<QPair<int, QString>> m_imageCells;
    QHash<QString, int> m_imageIndexes; // file identity -> library index, -1 for no picture
    PictureBudget m_pictureBudget = PictureBudget::forPictureFiles();
};

QString cantRead(const QString &fileName)
{
    return QStringLiteral("Cannot open file '%1' to read.").arg(fileName);
}

QString rowsLeftOut(const QString &fileName, qint64 rows)
{
    if (rows == 1)
        return QStringLiteral("A blank row in the file '%1' ended the import; the row after it was "
                              "left out.")
            .arg(fileName);
    return QStringLiteral("A blank row in the file '%1' ended the import; the %2 rows after it "
                          "were left out.")
        .arg(fileName, QString::number(rows));
}

// The text as a stream on the file itself would decode it (a byte-order mark chooses the
// encoding, else the system's), from bytes read no further than the file says it is long.
bool readText(QIODevice &device, QString *text)
{
    QByteArray bytes;
    if (!readBoundedBytes(&device, maximumTextFileBytes, &bytes))
        return false;
    *text = QTextStream(&bytes, QIODevice::ReadOnly).readAll();
    bytes.clear();
    unifyLineBreaks(*text);
    // A line feed that ends the text ends its last row, even inside an unclosed quoted run.
    if (text->endsWith(lineFeed))
        text->chop(1);
    return true;
}

// The import of a text read whole; fileSize bytes held it and fileName names it in messages.
bool importText(Document &document, const QString &text, qint64 fileSize, const QString &fileName,
                bool clearFirst, QString *errorMessage, QString *notice)
{
    const QChar separator = chooseSeparator(text);

    // Matched against the plan as it will be when the rows go in: emptied, it holds only the
    // placeholder.
    QStringList names;
    if (clearFirst)
        names << Document().propertyName(0);
    for (int p = 0; !clearFirst && p < document.propertyCount(); ++p)
        names << document.propertyName(p);
    PropertyNames plannedNames(names);
    CsvRows rows(text, separator);
    const CsvSurvey survey = surveyRows(rows, plannedNames);
    const qint64 cardsBefore = clearFirst ? 0 : document.taskCount();
    const qint64 newProperties = survey.columns.newNames.size();
    const qint64 cost = survey.dataRows * (bytesPerCard + plannedNames.count() * bytesPerValue)
        + cardsBefore * newProperties * bytesPerValue + newProperties * bytesPerProperty
        + survey.links * bytesPerLink;
    if (cost > fixedAllowance + allowancePerFileByte * fileSize) {
        *errorMessage = QStringLiteral("The file '%1' holds more cards and properties than can "
                                       "be opened.")
                            .arg(fileName);
        return false;
    }

    if (clearFirst)
        document.clear(false);
    CsvWriter writer(document, survey.columns, document.valueFormats().dateFormat,
                     int(survey.dataRows));
    rows.setPosition(survey.dataStart);
    QStringList cells;
    // A table per column pays for itself over many rows; a header of many thousand columns
    // over a few rows would only spend the allowance on tables.
    const int minimumSharedRows = 64;
    QVector<SharedTexts> shared(survey.columns.headerColumns.isEmpty()
                                        || survey.dataRows < minimumSharedRows
                                    ? 0
                                    : survey.columns.headerColumns.last() + 1);
    for (qint64 row = 0; row < survey.dataRows && rows.next(); ++row) {
        rows.readShared(cells, shared);
        writer.readRow(cells);
    }
    writer.finish();
    if (survey.rowsLeftOut > 0 && notice)
        *notice = rowsLeftOut(fileName, survey.rowsLeftOut);
    return true;
}

} // namespace

bool importCsvFile(Document &document, const QString &fileName, bool clearFirst,
                   QString *errorMessage, QString *notice)
{
    QFile file(fileName);
    // Only a regular file, links followed, as for plan files (see readPlanFile).
    if (!QFileInfo(fileName).isFile() || !file.open(QIODevice::ReadOnly)) {
        *errorMessage = cantRead(fileName);
        return false;
    }
    return importCsvFile(document, &file, fileName, clearFirst, errorMessage, notice);
}

bool importCsvFile(Document &document, QIODevice *device, const QString &fileName, bool clearFirst,
                   QString *errorMessage, QString *notice)
{
    BusyCursor busy;
    const qint64 fileSize = device->size();
    QString text;
    // Whatever led here, the file may be one that never ends (see readBoundedBytes).
    if (!readText(*device, &text)) {
        *errorMessage = cantRead(fileName);
        return false;
    }
    return importText(document, text, fileSize, fileName, clearFirst, errorMessage, notice);
}

QStringList splitCsvLine(const QString &line, const QString &separator)
{
    QStringList cells;
    int position = 0;
    readCells(line, position, separator.isEmpty() ? QLatin1Char(',') : separator.at(0), false,
              cells);
    return cells;
}

bool isBlankRow(const QStringList &cells)
{
    for (const QString &cell : cells) {
        if (!isBlank(cell))
            return false;
    }
    return true;
}

QList<int> nonEmptyColumns(const QStringList &cells)
{
    QList<int> columns;
    for (int i = 0; i < cells.size(); ++i) {
        if (!isBlank(cells.at(i)))
            columns << i;
    }
    return columns;
}
