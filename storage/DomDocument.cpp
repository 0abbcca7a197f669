#include "storage/DomDocument.h"

#include "common/core/Colors.h"
#include "common/core/RasterPictureReader.h"
#include "common/core/TextHelpers.h"
#include "storage/XmlTextWriter.h"

#include <QBuffer>
#include <QMap>
#include <QtMath>

namespace {

const QString valueAttribute = QStringLiteral("value");
const QChar listSeparator = QLatin1Char(',');

// Most stored texts hold no "%", and decoding those changes nothing.
QString decoded(const QString &text)
{
    if (!text.contains(QLatin1Char('%')))
        return text;
    return fromPercentEncoding(text);
}

// Letters, digits and "-._~" stand for themselves in an encoded text; numbers and many
// names need no encoding at all, which spares most of the cost of a large save.
bool needsNoEncoding(const QString &text)
{
    for (const QChar c : text) {
        const ushort u = c.unicode();
        const bool unreserved = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z')
            || (u >= '0' && u <= '9') || u == '-' || u == '.' || u == '_' || u == '~';
        if (!unreserved)
            return false;
    }
    return true;
}

// Whether an ASCII character that percent-decoding leaves as it is, and that is no blank,
// stands in the text. Decoding takes the two characters after a "%" that has two after it.
bool hasPlainNonBlank(const QString &text)
{
    const int size = text.size();
    for (int i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('%'))
            i += 2;
        else if (c.unicode() < 0x80 && !c.isSpace())
            return true;
    }
    return false;
}

QString encoded(const QString &text)
{
    return needsNoEncoding(text) ? text : toPercentEncoding(text);
}

// Attributes in name order: the tree keeps them in a hash whose order changes from run to run.
void writeNode(XmlTextWriter &out, const QDomNode &node)
{
    if (!node.isElement()) {
        out.writeText(node.nodeValue());
        return;
    }
    const QDomElement element = node.toElement();
    const QByteArray tag = element.tagName().toUtf8();
    out.startElement(tag.constData());
    const QDomNamedNodeMap attributes = element.attributes();
    QMap<QString, QString> sorted;
    for (int i = 0; i < attributes.count(); ++i) {
        const QDomAttr attribute = attributes.item(i).toAttr();
        sorted.insert(attribute.name(), attribute.value());
    }
    QList<QByteArray> names; // the writer keeps the names until the element ends
    for (auto it = sorted.cbegin(); it != sorted.cend(); ++it) {
        names.append(it.key().toUtf8());
        out.writeAttribute(names.constLast().constData(), it.value());
    }
    for (QDomNode child = element.firstChild(); !child.isNull(); child = child.nextSibling())
        writeNode(out, child);
    out.endElement();
}

} // namespace

DomDocument::DomDocument(const QString &typeName) : QDomDocument(typeName) { }

QDomElement DomDocument::findChildElement(const QDomElement &parent, const QString &tag)
{
    if (parent.isNull())
        return QDomElement();
    return parent.firstChildElement(tag);
}

QList<QDomElement> DomDocument::items(const QDomElement &parent, const QString &containerTag,
                                      const QString &itemTag)
{
    QList<QDomElement> result;
    const QDomElement container = findChildElement(parent, containerTag);
    if (container.isNull())
        return result;
    // Walks the tree below the container without recursion, skipping nested lists.
    QDomNode node = container.firstChild();
    while (!node.isNull()) {
        bool descend = true;
        if (node.isElement()) {
            const QDomElement element = node.toElement();
            if (element.tagName() == itemTag)
                result << element;
            else if (element.tagName() == containerTag)
                descend = false;
        }
        if (descend && node.hasChildNodes()) {
            node = node.firstChild();
            continue;
        }
        while (node != container && node.nextSibling().isNull())
            node = node.parentNode();
        node = node == container ? QDomNode() : node.nextSibling();
    }
    return result;
}

void DomDocument::setAttributeString(QDomElement &element, const QString &name, const QString &text,
                                     bool skipIfEmpty, bool encode)
{
    if (skipIfEmpty && text.isEmpty())
        return;
    element.setAttribute(name, encode ? encoded(text) : text);
}

void DomDocument::setAttributeInt(QDomElement &element, const QString &name, int value)
{
    setAttributeString(element, name, QString::number(value), true, true);
}

void DomDocument::setAttributeColor(QDomElement &element, const QString &name, const QColor &color)
{
    setAttributeString(element, name, colorToString(color), true, true);
}

void DomDocument::setAttributeImage(QDomElement &element, const QString &name, const QImage &image)
{
    setAttributeString(element, name, image.isNull() ? QString() : imageToHex(image), true, true);
}

void DomDocument::setAttributeList(QDomElement &element, const QString &name,
                                   const QStringList &list)
{
    const QString joined = encodeList(list);
    if (!joined.isEmpty())
        element.setAttribute(name, joined);
}

QString DomDocument::readAttributeString(const QDomElement &element, const QString &name,
                                         const QString &defaultValue)
{
    if (element.isNull() || !element.hasAttribute(name))
        return decoded(defaultValue);
    return decoded(element.attribute(name));
}

int DomDocument::readAttributeInt(const QDomElement &element, const QString &name, int defaultValue)
{
    return textToInt(readAttributeString(element, name, QString::number(defaultValue)));
}

QStringList DomDocument::readAttributeList(const QDomElement &element, const QString &name)
{
    return decodeList(element.isNull() ? QString() : element.attribute(name));
}

QImage DomDocument::readAttributeImage(const QDomElement &element, const QString &name,
                                       const QImage &defaultValue, const QSize &fitInto,
                                       PictureBudget *budget, QByteArray *stored)
{
    const QString text = readAttributeString(element, name, QString());
    if (text.isEmpty())
        return defaultValue;
    const QByteArray bytes = QByteArray::fromHex(text.toLatin1());
    if (stored)
        *stored = bytes;
    return imageFromBytes(bytes, fitInto, budget);
}

QDomElement DomDocument::writeValueString(QDomElement &parent, const QString &tag,
                                          const QString &text)
{
    QDomElement element = createElement(tag);
    setAttributeString(element, valueAttribute, text, true, true);
    parent.appendChild(element);
    return element;
}

QDomElement DomDocument::writeValueInt(QDomElement &parent, const QString &tag, int value)
{
    return writeValueString(parent, tag, QString::number(value));
}

QDomElement DomDocument::writeValueDouble(QDomElement &parent, const QString &tag, double value)
{
    return writeValueString(parent, tag, doubleToText(value));
}

QDomElement DomDocument::writeValueBool(QDomElement &parent, const QString &tag, bool value)
{
    return writeValueString(parent, tag, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QDomElement DomDocument::writeValueColor(QDomElement &parent, const QString &tag,
                                         const QColor &color)
{
    return writeValueString(parent, tag, colorToString(color));
}

QDomElement DomDocument::writeValueFont(QDomElement &parent, const QString &tag, const QFont &font)
{
    return writeValueString(parent, tag, font.toString());
}

QDomElement DomDocument::writeValueStringList(QDomElement &parent, const QString &tag,
                                              const QStringList &list)
{
    QDomElement element = createElement(tag);
    setAttributeList(element, valueAttribute, list);
    parent.appendChild(element);
    return element;
}

QDomElement DomDocument::writeValueIntList(QDomElement &parent, const QString &tag,
                                           const QList<int> &list)
{
    QStringList texts;
    texts.reserve(list.size());
    for (int value : list)
        texts << QString::number(value);
    return writeValueStringList(parent, tag, texts);
}

QString DomDocument::readValueString(const QDomElement &parent, const QString &tag,
                                     const QString &defaultValue)
{
    return readAttributeString(findChildElement(parent, tag), valueAttribute, defaultValue);
}

int DomDocument::readValueInt(const QDomElement &parent, const QString &tag, int defaultValue)
{
    return textToInt(readValueString(parent, tag, QString::number(defaultValue)));
}

double DomDocument::readValueDouble(const QDomElement &parent, const QString &tag,
                                    double defaultValue)
{
    return textToDouble(readValueString(parent, tag, doubleToText(defaultValue)));
}

bool DomDocument::readValueBool(const QDomElement &parent, const QString &tag, bool defaultValue)
{
    return readValueInt(parent, tag, defaultValue ? 1 : 0) != 0;
}

QColor DomDocument::readValueColor(const QDomElement &parent, const QString &tag,
                                   const QColor &defaultValue)
{
    return stringToColor(readValueString(parent, tag, colorToString(defaultValue)));
}

QFont DomDocument::readValueFont(const QDomElement &parent, const QString &tag,
                                 const QFont &defaultValue)
{
    const QString text = readValueString(parent, tag, defaultValue.toString());
    QFont font;
    if (text.isEmpty() || !font.fromString(text))
        return defaultValue;
    return font;
}

QStringList DomDocument::readValueStringList(const QDomElement &parent, const QString &tag)
{
    const QDomElement child = findChildElement(parent, tag);
    const QString text = child.isNull() ? QString() : child.attribute(valueAttribute);
    // A list whose decoded text is blank is empty. Decoding a long list only to learn that
    // costs as much as reading it, so a character that stays itself in the decoded text, and
    // is no blank, settles it first.
    if (!hasPlainNonBlank(text) && decoded(text).trimmed().isEmpty())
        return QStringList();
    return decodeList(text);
}

QList<int> DomDocument::readValueIntList(const QDomElement &parent, const QString &tag)
{
    QList<int> result;
    for (const QString &item : readValueStringList(parent, tag))
        result << textToInt(item);
    return result;
}

QByteArray DomDocument::toText(int indent) const
{
    QByteArray text;
    QBuffer buffer(&text);
    buffer.open(QIODevice::WriteOnly);
    XmlTextWriter out(&buffer, indent);
    const QByteArray typeName = doctype().name().toUtf8();
    if (!typeName.isEmpty())
        out.writeDocumentType(typeName.constData());
    for (QDomNode node = firstChild(); !node.isNull(); node = node.nextSibling()) {
        if (node.isElement())
            writeNode(out, node);
    }
    out.finish();
    return text;
}

QString DomDocument::doubleToText(double value)
{
    return QString::number(value, 'g', 6);
}

int DomDocument::textToInt(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? value : 0;
}

double DomDocument::textToDouble(const QString &text)
{
    // "inf" and "nan" parse as numbers, but no stored ratio or size may be non-finite.
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok && qIsFinite(value) ? value : 0.0;
}

QString DomDocument::encodeList(const QStringList &list)
{
    QString joined;
    for (int i = 0; i < list.size(); ++i) {
        if (i > 0)
            joined += listSeparator;
        joined += encoded(list.at(i));
    }
    return joined;
}

QStringList DomDocument::decodeList(const QString &text)
{
    QStringList list = text.split(listSeparator, Qt::KeepEmptyParts);
    QString scratch;
    for (QString &item : list) {
        if (!item.contains(QLatin1Char('%')))
            continue;
        if (decodeSimpleText(item, scratch))
            item = QString(scratch.constData(), scratch.size());
        else
            item = fromPercentEncoding(item);
    }
    return list;
}

bool DomDocument::decodeSimpleText(QStringView item, QString &text)
{
    const auto hexDigit = [](ushort c) {
        return c >= '0' && c <= '9' ? c - '0'
            : c >= 'a' && c <= 'f'  ? c - 'a' + 10
            : c >= 'A' && c <= 'F'  ? c - 'A' + 10
                                    : -1;
    };
    const int size = int(item.size());
    text.resize(size);
    QChar *out = text.data();
    for (int i = 0; i < size; ++i) {
        const ushort c = item.at(i).unicode();
        if (c >= 0x80)
            return false;
        if (c != '%') {
            *out++ = QChar(c);
            continue;
        }
        const int high = i + 2 < size ? hexDigit(item.at(i + 1).unicode()) : -1;
        const int low = i + 2 < size ? hexDigit(item.at(i + 2).unicode()) : -1;
        const int byte = high * 16 + low;
        if (high < 0 || low < 0 || byte == 0 || byte >= 0x80)
            return false;
        *out++ = QChar(ushort(byte));
        i += 2;
    }
    text.resize(int(out - text.constData()));
    return true;
}
