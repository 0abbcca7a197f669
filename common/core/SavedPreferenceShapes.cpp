#include "common/core/SavedPreferenceShapes.h"

#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace {

const QByteArray &byteOrderMark()
{
    static const QByteArray mark("\xEF\xBB\xBF");
    return mark;
}

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

    int end() const { return start + length; }
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

// A key or a group name as Qt's INI reader unescapes it: "\" is "/", "%XX" and "%UXXXX" are
// the character of that code, and any other byte is the character of its code.
QString unescapedKey(const QByteArray &text, int from, int to)
{
    QString key;
    key.reserve(to - from);
    int i = from;
    while (i < to) {
        const char c = text.at(i);
        if (c == '\\') {
            key += QLatin1Char('/');
            ++i;
            continue;
        }
        if (c != '%' || i == to - 1) {
            key += QLatin1Char(c);
            ++i;
            continue;
        }
        const int first = text.at(i + 1) == 'U' ? i + 2 : i + 1;
        const int digits = first == i + 2 ? 4 : 2;
        bool coded = first + digits <= to;
        uint code = 0;
        for (int k = first; coded && k < first + digits; ++k) {
            coded = isHexDigit(text.at(k));
            code = (code << 4) + (coded ? hexDigitValue(text.at(k)) : 0);
        }
        if (!coded) {
            key += QLatin1Char('%');
            ++i;
            continue;
        }
        key += QChar(ushort(code));
        i = first + digits;
    }
    return key;
}

// Trailing blanks of a value are dropped, back to the last escape, quote or comma.
void chopTrailingSpaces(QString &text, int limit)
{
    int n = text.size();
    while (n > limit && (text.at(n - 1) == QLatin1Char(' ') || text.at(n - 1) == QLatin1Char('\t')))
        --n;
    text.truncate(n);
}

// The value between from and to as Qt's INI reader unescapes it: a list of elements when it
// holds a comma outside quotes (true), else one text. Each byte stands for the character of its
// code, unless the file starts with a UTF-8 byte-order mark: then runs of plain bytes are
// UTF-8, and such a mark at the start of a run is dropped, as the reader's decoder drops it
// there. Escapes are taken as far as the reader takes them (\x1040 is '@', its last four hex
// digits counting), and a backslash before any other character drops both.
bool unescapedValue(const QByteArray &text, int from, int to, bool utf8, QString &value,
                    QStringList &list)
{
    bool isList = false;
    bool inQuotes = false;
    bool quoted = false;
    int i = from;
    const auto skipSpaces = [&] {
        while (i < to && (text.at(i) == ' ' || text.at(i) == '\t'))
            ++i;
    };
    skipSpaces();
    int chopLimit = value.size();
    while (i < to) {
        const char c = text.at(i);
        if (c == '\\') {
            if (++i >= to)
                return isList ? (list.append(value), true) : false;
            const char letter = text.at(i++);
            if (const char escaped = escapedCharacter(letter)) {
                value += QLatin1Char(escaped);
            } else if (letter == 'x' && i < to && isHexDigit(text.at(i))) {
                uint code = 0;
                while (i < to && isHexDigit(text.at(i)))
                    code = (code << 4) + hexDigitValue(text.at(i++));
                value += QChar(ushort(code & 0xffff));
                if (i >= to)
                    return isList ? (list.append(value), true) : false;
            } else if (isOctalDigit(letter)) {
                uint code = uint(letter - '0');
                while (i < to && isOctalDigit(text.at(i)))
                    code = (code << 3) + uint(text.at(i++) - '0');
                value += QChar(ushort(code & 0xffff));
                if (i >= to)
                    return isList ? (list.append(value), true) : false;
            } else if (letter == 'x' && i >= to) {
                return isList ? (list.append(value), true) : false;
            } else if (isLineEnd(letter)) {
                if (i < to && isLineEnd(text.at(i)) && text.at(i) != letter)
                    ++i;
            }
            chopLimit = value.size();
        } else if (c == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes) {
                skipSpaces();
                chopLimit = value.size();
            }
        } else if (c == ',' && !inQuotes) {
            if (!quoted)
                chopTrailingSpaces(value, chopLimit);
            isList = true;
            list.append(value);
            value.clear();
            quoted = false;
            ++i;
            skipSpaces();
            chopLimit = 0;
        } else {
            int end = i + 1;
            while (end < to && text.at(end) != '\\' && text.at(end) != '"' && text.at(end) != ',')
                ++end;
            if (utf8) {
                int start = i;
                if (text.mid(start, byteOrderMark().size()) == byteOrderMark())
                    start += byteOrderMark().size();
                value += QString::fromUtf8(text.constData() + start, end - start);
            } else {
                value += QString::fromLatin1(text.constData() + i, end - i);
            }
            i = end;
        }
    }
    if (!quoted)
        chopTrailingSpaces(value, chopLimit);
    if (isList)
        list.append(value);
    return isList;
}

// What Qt makes of one element in the program's shapes: text, text without its doubled '@',
// bytes, or nothing. False for any other element starting with '@': Qt would decode it into
// something else (a variant of any type from its binary form, a date, a rectangle, ...).
bool ownElement(const QString &element, QVariant *value)
{
    if (!element.startsWith(QLatin1Char('@'))) {
        *value = element;
        return true;
    }
    if (element.startsWith(QLatin1String("@@"))) {
        *value = element.mid(1);
        return true;
    }
    if (!element.endsWith(QLatin1Char(')')))
        return false;
    if (element.startsWith(QLatin1String("@ByteArray("))) {
        *value = element.midRef(11, element.size() - 12).toLatin1();
        return true;
    }
    if (element.startsWith(QLatin1String("@String("))) {
        *value = element.mid(8, element.size() - 9);
        return true;
    }
    if (element == QLatin1String("@Invalid()")) {
        *value = QVariant();
        return true;
    }
    return false;
}

// The value of a key line between from and to, as Qt gives it: a text, bytes or nothing; a
// list of texts, or, when an element has another of these shapes, a list of each element's
// value. False when an element is in no shape the program writes.
bool ownValue(const QByteArray &text, int from, int to, bool utf8, QVariant *value)
{
    QString single;
    QStringList list;
    if (!unescapedValue(text, from, to, utf8, single, list))
        return ownElement(single, value);
    QVariantList values;
    values.reserve(list.size());
    bool plain = true;
    for (QString &element : list) {
        QVariant elementValue;
        if (!ownElement(element, &elementValue))
            return false;
        if (element.startsWith(QLatin1Char('@')) && !element.startsWith(QLatin1String("@@")))
            plain = false;
        if (element.startsWith(QLatin1String("@@")))
            element.remove(0, 1);
        values.append(elementValue);
    }
    if (plain)
        *value = list;
    else
        *value = values;
    return true;
}

// The prefix of the keys of a group line's name, as Qt's INI reader takes it.
QString groupPrefix(const QByteArray &name)
{
    const QByteArray trimmed = name.trimmed();
    if (qstricmp(trimmed.constData(), "general") == 0)
        return QString();
    if (qstricmp(trimmed.constData(), "%general") == 0)
        return QString::fromLatin1(trimmed.constData() + 1) + QLatin1Char('/');
    return unescapedKey(trimmed, 0, trimmed.size()) + QLatin1Char('/');
}

// A line taken out as it stood; one that ends in a backslash gets an empty line after it, so
// that it does not carry the next line into it when read again.
void appendLine(QByteArray &out, const QByteArray &text, const IniLine &line)
{
    out.append(text.constData() + line.start, line.length).append('\n');
    if (text.at(line.end() - 1) == '\\')
        out.append('\n');
}

const char hexDigits[] = "0123456789ABCDEF";

void appendEscapedKey(QByteArray &out, const QString &key)
{
    for (const QChar c : key) {
        const ushort code = c.unicode();
        if (code == '/') {
            out += '\\';
        } else if ((code >= 'a' && code <= 'z') || (code >= 'A' && code <= 'Z')
                   || (code >= '0' && code <= '9') || code == '_' || code == '-' || code == '.') {
            out += char(code);
        } else if (code <= 0xff) {
            out += '%';
            out += hexDigits[code / 16];
            out += hexDigits[code % 16];
        } else {
            out += "%U";
            for (int shift = 12; shift >= 0; shift -= 4)
                out += hexDigits[(code >> shift) & 0xf];
        }
    }
}

// One element as Qt's INI writer escapes it without a text codec: control characters and
// everything past ASCII as escapes, and quotes around an element holding ';', ',' or '=', or
// starting or ending with a blank.
void appendEscapedText(QByteArray &out, const QString &text)
{
    const int start = out.size();
    bool needsQuotes = false;
    bool escapeNextIfDigit = false;
    for (const QChar c : text) {
        const ushort code = c.unicode();
        if (code == ';' || code == ',' || code == '=')
            needsQuotes = true;
        if (escapeNextIfDigit
            && ((code >= '0' && code <= '9') || (code >= 'a' && code <= 'f')
                || (code >= 'A' && code <= 'F'))) {
            out += "\\x" + QByteArray::number(code, 16);
            continue;
        }
        escapeNextIfDigit = false;
        switch (code) {
        case '\0':
            out += "\\0";
            escapeNextIfDigit = true;
            break;
        case '\a':
            out += "\\a";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\v':
            out += "\\v";
            break;
        case '"':
        case '\\':
            out += '\\';
            out += char(code);
            break;
        default:
            if (code <= 0x1f || code >= 0x7f) {
                out += "\\x" + QByteArray::number(code, 16);
                escapeNextIfDigit = true;
            } else {
                out += char(code);
            }
        }
    }
    if (needsQuotes
        || (start < out.size() && (out.at(start) == ' ' || out.at(out.size() - 1) == ' '))) {
        out.insert(start, '"');
        out += '"';
    }
}

// One value as Qt's writer turns it into text. The program stores text, numbers, flags, bytes
// and lists of text only; anything else is written as its text, so that it is read back.
QString elementText(const QVariant &value)
{
    switch (value.userType()) {
    case QMetaType::UnknownType:
        return QStringLiteral("@Invalid()");
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return QLatin1String("@ByteArray(") + QLatin1String(bytes.constData(), bytes.size())
            + QLatin1Char(')');
    }
    default: {
        QString text = value.toString();
        if (text.contains(QChar::Null))
            text = QLatin1String("@String(") + text + QLatin1Char(')');
        else if (text.startsWith(QLatin1Char('@')))
            text.prepend(QLatin1Char('@'));
        return text;
    }
    }
}

void appendValue(QByteArray &out, const QVariant &value)
{
    const bool list = value.userType() == QMetaType::QStringList
        || (value.userType() == QMetaType::QVariantList && value.toList().size() != 1);
    if (!list) {
        const bool single = value.userType() == QMetaType::QVariantList;
        appendEscapedText(out, elementText(single ? value.toList().constFirst() : value));
        return;
    }
    const QVariantList elements = value.toList();
    if (elements.isEmpty()) {
        // Qt's empty list: QVariant() gives an empty list back.
        out += "@Invalid()";
        return;
    }
    for (int i = 0; i < elements.size(); ++i) {
        if (i > 0)
            out += ", ";
        appendEscapedText(out, elementText(elements.at(i)));
    }
}

} // namespace

QSettings::SettingsMap ownPreferenceValues(const QByteArray &text, QByteArray *setAside)
{
    const bool utf8 = text.startsWith(byteOrderMark());
    int pos = utf8 ? byteOrderMark().size() : 0;
    QSettings::SettingsMap values;
    QString prefix;
    // The line of the group the lines belong to, written to setAside before the first line
    // taken out of it.
    QByteArray group("[General]");
    bool groupWritten = false;
    // A group line without its closing bracket: the program never writes one, and the group's
    // lines are taken out with it.
    bool foreignGroup = false;
    IniLine line;
    while (readIniLine(text, pos, line)) {
        if (text.at(line.start) == '[') {
            group = text.mid(line.start, line.length);
            const int close = group.indexOf(']');
            foreignGroup = close < 0;
            groupWritten = foreignGroup;
            if (foreignGroup)
                appendLine(*setAside, text, line);
            else
                prefix = groupPrefix(group.mid(1, close - 1));
            continue;
        }
        if (foreignGroup) {
            appendLine(*setAside, text, line);
            continue;
        }
        if (line.equals < 0)
            continue;
        QVariant value;
        if (!ownValue(text, line.equals + 1, line.end(), utf8, &value)) {
            if (!groupWritten) {
                setAside->append(group).append('\n');
                groupWritten = true;
            }
            appendLine(*setAside, text, line);
            continue;
        }
        int keyEnd = line.equals;
        while (keyEnd > line.start && (text.at(keyEnd - 1) == ' ' || text.at(keyEnd - 1) == '\t'))
            --keyEnd;
        values.insert(prefix + unescapedKey(text, line.start, keyEnd), value);
    }
    return values;
}

QByteArray ownPreferencesText(const QSettings::SettingsMap &values)
{
    QMap<QString, QSettings::SettingsMap> groups;
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        const int slash = it.key().indexOf(QLatin1Char('/'));
        if (slash < 0)
            groups[QString()].insert(it.key(), it.value());
        else
            groups[it.key().left(slash)].insert(it.key().mid(slash + 1), it.value());
    }
    QByteArray text;
    for (auto group = groups.constBegin(); group != groups.constEnd(); ++group) {
        QByteArray name;
        appendEscapedKey(name, group.key());
        if (name.isEmpty())
            name = "General";
        else if (qstricmp(name.constData(), "general") == 0)
            name = "%General";
        if (group != groups.constBegin())
            text += '\n';
        text += '[' + name + "]\n";
        for (auto it = group->constBegin(); it != group->constEnd(); ++it) {
            appendEscapedKey(text, it.key());
            text += '=';
            appendValue(text, it.value());
            text += '\n';
        }
    }
    return text;
}

QByteArray newSetAsideLines(const QByteArray &existing, const QByteArray &setAside)
{
    // A line is known by its group line and its own text, without what ends it.
    const auto keyOf = [](const QByteArray &text, const IniLine &line) {
        int end = line.end();
        while (end > line.start && (text.at(end - 1) == '\\' || isIniSpace(text.at(end - 1))))
            --end;
        return text.mid(line.start, end - line.start);
    };
    QSet<QByteArray> known;
    QByteArray group("[General]");
    int pos = 0;
    IniLine line;
    while (readIniLine(existing, pos, line)) {
        if (existing.at(line.start) == '[') {
            group = keyOf(existing, line);
            known.insert(group + '\n');
        } else {
            known.insert(group + '\n' + keyOf(existing, line));
        }
    }
    QByteArray added;
    QByteArray groupLine("[General]");
    // The group line the lines added last stand under.
    QByteArray writtenGroup;
    group = groupLine;
    pos = 0;
    while (readIniLine(setAside, pos, line)) {
        if (setAside.at(line.start) == '[') {
            groupLine = setAside.mid(line.start, line.length);
            group = keyOf(setAside, line);
            // A group line without its bracket is taken out for itself.
            if (!groupLine.contains(']') && !known.contains(group + '\n')) {
                known.insert(group + '\n');
                appendLine(added, setAside, line);
                writtenGroup = groupLine;
            }
            continue;
        }
        const QByteArray key = group + '\n' + keyOf(setAside, line);
        if (known.contains(key))
            continue;
        known.insert(key);
        if (writtenGroup != groupLine) {
            added.append(groupLine).append('\n');
            writtenGroup = groupLine;
        }
        appendLine(added, setAside, line);
    }
    return added;
}
