#include "storage/XmlTextWriter.h"

#include "common/core/Colors.h"
#include "storage/DomDocument.h"

#include <cstring>

#include <QFont>
#include <QIODevice>

namespace {

// Large enough that the device sees few writes, small enough to stay in the cache.
const int chunkSize = 64 * 1024;
// Encoded texts go to the buffer in slices of this many characters, each of which takes at
// most 9 bytes (a character of three UTF-8 bytes, each written as "%XX").
const int sliceLength = 2048;
const int maximumEncodedLength = 9;

const char upperHexDigits[] = "0123456789ABCDEF";

// Letters, digits and "-._~" stand for themselves in an encoded text; a table, as this is
// asked for every character of every value.
struct UnreservedTable
{
    constexpr UnreservedTable() : flags()
    {
        for (int c = 0; c < 128; ++c) {
            flags[c] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
                || c == '-' || c == '.' || c == '_' || c == '~';
        }
    }
    bool flags[128];
};
constexpr UnreservedTable unreserved;

inline char *putPercent(char *out, uint byte)
{
    out[0] = '%';
    out[1] = upperHexDigits[byte >> 4];
    out[2] = upperHexDigits[byte & 0xf];
    return out + 3;
}

} // namespace

XmlTextWriter::XmlTextWriter(QIODevice *device, int indent) : m_device(device), m_indent(indent)
{
    m_buffer.resize(chunkSize);
}

void XmlTextWriter::writeDocumentType(const char *name)
{
    appendLatin1("<!DOCTYPE ");
    appendLatin1(name);
    appendLatin1(">\n");
}

void XmlTextWriter::startElement(const char *tag)
{
    closeStartTag();
    appendMargin();
    appendChar('<');
    appendLatin1(tag);
    m_open.append(tag);
    m_startTagOpen = true;
#ifndef QT_NO_DEBUG
    m_lastAttribute = nullptr;
#endif
}

void XmlTextWriter::endElement()
{
    Q_ASSERT(!m_open.isEmpty());
    const char *tag = m_open.takeLast();
    if (m_startTagOpen) {
        m_startTagOpen = false;
        appendLatin1("/>\n");
        return;
    }
    appendMargin();
    appendLatin1("</");
    appendLatin1(tag);
    appendLatin1(">\n");
}

void XmlTextWriter::writeText(const QString &text)
{
    closeStartTag();
    appendMargin();
    appendEscaped(text);
    appendChar('\n');
}

void XmlTextWriter::writeAttribute(const char *name, const QString &text)
{
    startAttribute(name);
    appendEscaped(text);
    appendChar('"');
}

void XmlTextWriter::writeEncodedAttribute(const char *name, const QString &text)
{
    if (text.isEmpty())
        return;
    startAttribute(name);
    appendEncoded(text);
    appendChar('"');
}

void XmlTextWriter::writeIntAttribute(const char *name, int value)
{
    startAttribute(name);
    appendInt(value);
    appendChar('"');
}

void XmlTextWriter::writeColorAttribute(const char *name, const QColor &color)
{
    writeEncodedAttribute(name, colorToString(color));
}

void XmlTextWriter::writeListAttribute(const char *name, const QStringList &list)
{
    if (list.isEmpty() || (list.size() == 1 && list.first().isEmpty()))
        return;
    startAttribute(name);
    for (int i = 0; i < list.size(); ++i) {
        if (i > 0)
            appendChar(',');
        appendEncoded(list.at(i));
    }
    appendChar('"');
}

void XmlTextWriter::writeLatin1Attribute(const char *name, const QByteArray &text)
{
    if (text.isEmpty())
        return;
    startAttribute(name);
    std::memcpy(room(text.size()), text.constData(), size_t(text.size()));
    m_used += text.size();
    appendChar('"');
}

void XmlTextWriter::writeValueString(const char *tag, const QString &text)
{
    startElement(tag);
    writeEncodedAttribute("value", text);
    endElement();
}

void XmlTextWriter::writeValueInt(const char *tag, int value)
{
    startElement(tag);
    writeIntAttribute("value", value);
    endElement();
}

void XmlTextWriter::writeValueDouble(const char *tag, double value)
{
    writeValueString(tag, DomDocument::doubleToText(value));
}

void XmlTextWriter::writeValueBool(const char *tag, bool value)
{
    writeValueInt(tag, value ? 1 : 0);
}

void XmlTextWriter::writeValueColor(const char *tag, const QColor &color)
{
    writeValueString(tag, colorToString(color));
}

void XmlTextWriter::writeValueFont(const char *tag, const QFont &font)
{
    writeValueString(tag, font.toString());
}

void XmlTextWriter::writeValueStringList(const char *tag, const QStringList &list)
{
    startElement(tag);
    writeListAttribute("value", list);
    endElement();
}

void XmlTextWriter::writeValueIntList(const char *tag, const QList<int> &list)
{
    startElement(tag);
    if (!list.isEmpty()) {
        startAttribute("value");
        for (int i = 0; i < list.size(); ++i) {
            if (i > 0)
                appendChar(',');
            appendInt(list.at(i));
        }
        appendChar('"');
    }
    endElement();
}

bool XmlTextWriter::finish()
{
    Q_ASSERT(m_open.isEmpty());
    flush();
    return !m_failed;
}

char *XmlTextWriter::room(int bytes)
{
    if (m_used + bytes > m_buffer.size()) {
        flush();
        if (bytes > m_buffer.size())
            m_buffer.resize(bytes);
    }
    return m_buffer.data() + m_used;
}

void XmlTextWriter::appendLatin1(const char *text)
{
    const int length = int(std::strlen(text));
    std::memcpy(room(length), text, size_t(length));
    m_used += length;
}

void XmlTextWriter::appendChar(char c)
{
    *room(1) = c;
    ++m_used;
}

void XmlTextWriter::appendInt(int value)
{
    char digits[12];
    char *end = digits + sizeof(digits);
    char *start = end;
    // Through the unsigned magnitude, so that the smallest int has one too.
    uint magnitude = value < 0 ? 0u - uint(value) : uint(value);
    do {
        *--start = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0)
        *--start = '-';
    const int length = int(end - start);
    std::memcpy(room(length), start, size_t(length));
    m_used += length;
}

// The same bytes as QUrl::toPercentEncoding of the text's UTF-8 form, written straight into
// the buffer: no encoded copy of each value is made.
void XmlTextWriter::appendEncoded(const QString &text)
{
    const QChar *position = text.constData();
    const QChar *end = position + text.size();
    while (position < end) {
        const QChar *stop = end - position > sliceLength ? position + sliceLength : end;
        // A surrogate pair is never split between two slices.
        if (stop < end && stop[-1].isHighSurrogate())
            ++stop;
        appendEncodedPart(position, stop);
        position = stop;
    }
}

void XmlTextWriter::appendEncodedPart(const QChar *begin, const QChar *end)
{
    char *out = room(int(end - begin) * maximumEncodedLength);
    for (const QChar *c = begin; c < end; ++c) {
        const ushort u = c->unicode();
        if (u < 0x80) {
            if (unreserved.flags[u])
                *out++ = char(u);
            else
                out = putPercent(out, u);
        } else if (u < 0x800) {
            out = putPercent(out, 0xc0 | (u >> 6));
            out = putPercent(out, 0x80 | (u & 0x3f));
        } else if (QChar::isHighSurrogate(u) && c + 1 < end && (c + 1)->isLowSurrogate()) {
            const uint code = QChar::surrogateToUcs4(u, (c + 1)->unicode());
            ++c;
            out = putPercent(out, 0xf0 | (code >> 18));
            out = putPercent(out, 0x80 | ((code >> 12) & 0x3f));
            out = putPercent(out, 0x80 | ((code >> 6) & 0x3f));
            out = putPercent(out, 0x80 | (code & 0x3f));
        } else if (QChar::isSurrogate(u)) {
            // Half a pair has no UTF-8 form; QString::toUtf8 writes "?" for it.
            out = putPercent(out, '?');
        } else {
            out = putPercent(out, 0xe0 | (u >> 12));
            out = putPercent(out, 0x80 | ((u >> 6) & 0x3f));
            out = putPercent(out, 0x80 | (u & 0x3f));
        }
    }
    m_used = int(out - m_buffer.data());
}

void XmlTextWriter::appendEscaped(const QString &text)
{
    // Runs of non-ASCII characters are converted whole, so that a character written as a
    // surrogate pair (an emoji, say) is not split into two halves that UTF-8 cannot hold.
    QByteArray bytes;
    int run = -1;
    for (int i = 0; i <= text.size(); ++i) {
        const ushort c = i < text.size() ? text.at(i).unicode() : 0;
        if (i < text.size() && c >= 0x80) {
            if (run < 0)
                run = i;
            continue;
        }
        if (run >= 0) {
            bytes = text.midRef(run, i - run).toUtf8();
            std::memcpy(room(bytes.size()), bytes.constData(), size_t(bytes.size()));
            m_used += bytes.size();
            run = -1;
        }
        if (i == text.size())
            break;
        switch (c) {
        case '&':
            appendLatin1("&amp;");
            break;
        case '<':
            appendLatin1("&lt;");
            break;
        case '>':
            appendLatin1("&gt;");
            break;
        case '"':
            appendLatin1("&quot;");
            break;
        default:
            if (c < 0x20) {
                appendLatin1("&#x");
                appendLatin1(QByteArray::number(c, 16).constData());
                appendChar(';');
            } else {
                appendChar(char(c));
            }
        }
    }
}

void XmlTextWriter::appendMargin()
{
    const int length = m_open.size() * m_indent;
    std::memset(room(length), ' ', size_t(length));
    m_used += length;
}

void XmlTextWriter::closeStartTag()
{
    if (!m_startTagOpen)
        return;
    m_startTagOpen = false;
    appendLatin1(">\n");
}

void XmlTextWriter::startAttribute(const char *name)
{
    Q_ASSERT(m_startTagOpen);
#ifndef QT_NO_DEBUG
    // The tree serialiser sorts attributes by name; files must not depend on who wrote them.
    Q_ASSERT(!m_lastAttribute || std::strcmp(m_lastAttribute, name) < 0);
    m_lastAttribute = name;
#endif
    appendChar(' ');
    appendLatin1(name);
    appendLatin1("=\"");
}

void XmlTextWriter::flush()
{
    if (!m_failed && m_used > 0 && m_device->write(m_buffer.constData(), m_used) != m_used)
        m_failed = true;
    m_used = 0;
}
