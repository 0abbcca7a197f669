#pragma once

#include <QByteArray>
#include <QStringList>
#include <QVector>

class QColor;
class QFont;
class QIODevice;

// Writes the XML text of a plan file straight to a device, a chunk at a time, so that saving
// a large plan never holds the whole text, nor a tree of it, in memory. The layout is the one
// files have always had: the document type, elements indented by a number of blanks per
// level, childless elements self-closed. Attributes appear in the order they are given, and
// callers give them in name order, as the tree serialiser sorts them.
//
// Tag and attribute names are ASCII and must outlive their element (string literals do). The
// value forms (percent-encoded texts, lists, numbers, colours) are those of DomDocument.
class XmlTextWriter
{
public:
    XmlTextWriter(QIODevice *device, int indent);

    void writeDocumentType(const char *name);
    void startElement(const char *tag);
    void endElement();
    // A line of character data inside the open element.
    void writeText(const QString &text);

    // Attributes of the element just started. writeAttribute stores the text as it stands,
    // escaped for XML; the others store it percent-encoded and write nothing for empty texts.
    void writeAttribute(const char *name, const QString &text);
    void writeEncodedAttribute(const char *name, const QString &text);
    void writeIntAttribute(const char *name, int value);
    void writeColorAttribute(const char *name, const QColor &color);
    // Items encoded one by one and joined with ","; nothing when the joined text is empty.
    void writeListAttribute(const char *name, const QStringList &list);
    // The same for the count items that item(i) returns, without a list of them.
    template<typename Item>
    void writeListAttribute(const char *name, int count, Item item);
    // Text that needs neither encoding nor escaping (hexadecimal digits, say); nothing when empty.
    void writeLatin1Attribute(const char *name, const QByteArray &text);

    // Field elements: a childless element named after the field, its text in "value".
    void writeValueString(const char *tag, const QString &text);
    void writeValueInt(const char *tag, int value);
    void writeValueDouble(const char *tag, double value);
    void writeValueBool(const char *tag, bool value);
    void writeValueColor(const char *tag, const QColor &color);
    void writeValueFont(const char *tag, const QFont &font);
    void writeValueStringList(const char *tag, const QStringList &list);
    void writeValueIntList(const char *tag, const QList<int> &list);

    // Sends the rest of the text to the device. False when any write to it failed; after a
    // failed write nothing more is sent.
    bool finish();

private:
    char *room(int bytes);
    void appendChar(char c);
    void appendLatin1(const char *text);
    void appendInt(int value);
    void appendEncoded(const QString &text);
    void appendEncodedPart(const QChar *begin, const QChar *end);
    void appendEscaped(const QString &text);
    void appendMargin();
    void closeStartTag();
    void startAttribute(const char *name);
    void flush();

    QIODevice *m_device;
    int m_indent;
    QByteArray m_buffer; // allocated once; m_used bytes of it are waiting for the device
    int m_used = 0;
    bool m_failed = false;
    bool m_startTagOpen = false;
    QVector<const char *> m_open;
#ifndef QT_NO_DEBUG
    const char *m_lastAttribute = nullptr;
#endif
};

template<typename Item>
void XmlTextWriter::writeListAttribute(const char *name, int count, Item item)
{
    if (count <= 0 || (count == 1 && item(0).isEmpty()))
        return;
    startAttribute(name);
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            appendChar(',');
        appendEncoded(item(i));
    }
    appendChar('"');
}
