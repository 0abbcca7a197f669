#include "common/core/SavedPreferenceShapes.h"

#include <algorithm>

#include <QString>
#include <QStringList>

namespace {

// What Qt's INI reader skips before a line and takes as its end.
bool isIniSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isLineEnd(char c)
{
    return c == '\n' || c == '\r';
}

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

uint hexDigitValue(char c)
{
    if (c <= '9')
        return uint(c - '0');
    return uint((c | 0x20) - 'a' + 10);
}

bool isOctalDigit(char c)
{
    return c >= '0' && c <= '7';
}

// The character a backslash and a letter stand for in a value; 0 for none.
char escapedCharacter(char letter)
{
    static const char codes[][2]
        = {{'a', '\a'}, {'b', '\b'}, {'f', '\f'}, {'n', '\n'},  {'r', '\r'}, {'t', '\t'},
           {'v', '\v'}, {'"', '"'},  {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
    for (const auto &code : codes) {
        if (code[0] == letter)
            return code[1];
    }
    return 0;
}

struct IniLine
{
    int start = 0;
    int length = 0;
    // The first '=' outside quotes, -1 for none.
    int equals = -1;
};

// One logical line from pos on, as Qt's INI reader takes it: a backslash carries the next
// character (a line end among them) into the line, an open quote carries line ends, and a ';'
// outside quotes starts a comment, to the end of the line. pos moves past the line. False when
// nothing but spaces and comments is left.
bool readIniLine(const QByteArray &text, int &pos, IniLine &line)
{
    const int size = text.size();
    bool inQuotes = false;
    line.equals = -1;
    line.start = pos;
    while (line.start < size && isIniSpace(text.at(line.start)))
        ++line.start;
    int i = line.start;
    bool ended = false;
    while (i < size && !ended) {
        const char c = text.at(i++);
        switch (c) {
        case '=':
            if (!inQuotes && line.equals == -1)
                line.equals = i - 1;
            break;
        case '\n':
        case '\r':
            if (i == line.start + 1) {
                ++line.start;
            } else if (!inQuotes) {
                --i;
                ended = true;
            }
            break;
        case '\\':
            if (i < size) {
                const char carried = text.at(i++);
                if (i < size && isLineEnd(carried) && isLineEnd(text.at(i))
                    && text.at(i) != carried)
                    ++i;
            }
            break;
        case '"':
            inQuotes = !inQuotes;
            break;
        case ';':
            if (i == line.start + 1) {
                while (i < size && !isLineEnd(text.at(i)))
                    ++i;
                while (i < size && isIniSpace(text.at(i)))
                    ++i;
                line.start = i;
            } else if (!inQuotes) {
                --i;
                ended = true;
            }
            break;
        default:
            break;
        }
    }
    pos = i;
    line.length = i - line.start;
    return line.length > 0;
}

// The elements of the value between from and to as Qt's INI reader unescapes them; a value
// without a comma outside quotes is a list of one. Each byte stands for the character of its
// code, which is what the reader makes of ASCII whatever the encoding it reads the file in, and
// a UTF-8 byte-order mark that starts a run of plain bytes is dropped, as its decoder drops it
// there. Escapes are taken as far as the reader takes them (\x1040 is '@', its last four hex
// digits counting), and a backslash before any other character drops both.
QStringList valueElements(const QByteArray &text, int from, int to)
{
    static const QByteArray byteOrderMark("\xEF\xBB\xBF");
    QStringList elements;
    QString element;
    bool inQuotes = false;
    int i = from;
    const auto skipSpaces = [&] {
        while (i < to && (text.at(i) == ' ' || text.at(i) == '\t'))
            ++i;
    };
    skipSpaces();
    while (i < to) {
        const char c = text.at(i);
        if (c == '\\') {
            if (++i >= to)
                break;
            const char letter = text.at(i++);
            if (const char escaped = escapedCharacter(letter)) {
                element += QLatin1Char(escaped);
            } else if (letter == 'x' && i < to && isHexDigit(text.at(i))) {
                uint code = 0;
                while (i < to && isHexDigit(text.at(i)))
                    code = (code << 4) + hexDigitValue(text.at(i++));
                element += QChar(ushort(code & 0xffff));
            } else if (isOctalDigit(letter)) {
                uint code = uint(letter - '0');
                while (i < to && isOctalDigit(text.at(i)))
                    code = (code << 3) + uint(text.at(i++) - '0');
                element += QChar(ushort(code & 0xffff));
            } else if (isLineEnd(letter)) {
                if (i < to && isLineEnd(text.at(i)) && text.at(i) != letter)
                    ++i;
            }
        } else if (c == '"') {
            ++i;
            inQuotes = !inQuotes;
            if (!inQuotes)
                skipSpaces();
        } else if (c == ',' && !inQuotes) {
            elements.append(element);
            element.clear();
            ++i;
            skipSpaces();
        } else {
            int end = i + 1;
            while (end < to && text.at(end) != '\\' && text.at(end) != '"' && text.at(end) != ',')
                ++end;
            int start = i;
            if (end - start >= byteOrderMark.size()
                && text.mid(start, byteOrderMark.size()) == byteOrderMark)
                start += byteOrderMark.size();
            element += QString::fromLatin1(text.constData() + start, end - start);
            i = end;
        }
    }
    elements.append(element);
    return elements;
}

// True for an element Qt gives back as text, a byte array or nothing, whatever follows; Qt
// decodes an element starting with '@' in any other way.
bool isOwnShape(const QString &element)
{
    if (!element.startsWith(QLatin1Char('@')))
        return true;
    static const char *const ownShapes[] = {"@@", "@ByteArray(", "@String(", "@Invalid()"};
    return std::any_of(std::begin(ownShapes), std::end(ownShapes),
                       [&](const char *shape) { return element.startsWith(QLatin1String(shape)); });
}

} // namespace

QByteArray withoutForeignPreferenceValues(const QByteArray &text, QByteArray *setAside)
{
    static const QByteArray byteOrderMark("\xEF\xBB\xBF");
    int pos = text.startsWith(byteOrderMark) ? byteOrderMark.size() : 0;
    QByteArray kept;
    int keptUpTo = 0;
    bool removed = false;
    // The line of the group the lines belong to, written to setAside before the first line
    // taken out of it.
    QByteArray group("[General]");
    bool groupWritten = false;
    IniLine line;
    while (readIniLine(text, pos, line)) {
        if (text.at(line.start) == '[') {
            group = text.mid(line.start, line.length);
            groupWritten = false;
            continue;
        }
        if (line.equals < 0)
            continue;
        const QStringList elements = valueElements(text, line.equals + 1, line.start + line.length);
        if (std::all_of(elements.cbegin(), elements.cend(), isOwnShape))
            continue;
        kept += text.mid(keptUpTo, line.start - keptUpTo);
        keptUpTo = line.start + line.length;
        removed = true;
        if (!groupWritten) {
            setAside->append(group).append('\n');
            groupWritten = true;
        }
        setAside->append(text.mid(line.start, line.length)).append('\n');
    }
    if (!removed)
        return text;
    kept += text.mid(keptUpTo);
    return kept;
}
