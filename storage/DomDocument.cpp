#include "storage/DomDocument.h"

#include "common/Colors.h"
#include "common/TextHelpers.h"

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

QString encoded(const QString &text)
{
    return needsNoEncoding(text) ? text : toPercentEncoding(text);
}

void appendEscapedAscii(QByteArray &out, char c)
{
    switch (c) {
    case '&':
        out += "&amp;";
        break;
    case '<':
        out += "&lt;";
        break;
    case '>':
        out += "&gt;";
        break;
    case '"':
        out += "&quot;";
        break;
    default:
        if (uchar(c) < 0x20)
            out += "&#x" + QByteArray::number(uchar(c), 16) + ';';
        else
            out += c;
    }
}

void appendEscaped(QByteArray &out, const QString &text)
{
    // Runs of non-ASCII characters are converted whole, so that a character written as a
    // surrogate pair (an emoji, say) is not split into two halves that UTF-8 cannot hold.
    int run = -1;
    for (int i = 0; i <= text.size(); ++i) {
        const ushort c = i < text.size() ? text.at(i).unicode() : 0;
        if (i < text.size() && c >= 0x80) {
            if (run < 0)
                run = i;
            continue;
        }
        if (run >= 0) {
            out += text.midRef(run, i - run).toUtf8();
            run = -1;
        }
        if (i < text.size())
            appendEscapedAscii(out, char(c));
    }
}

void appendNode(QByteArray &out, const QDomNode &node, int depth, int indent)
{
    const QByteArray margin(depth * indent, ' ');
    if (!node.isElement()) {
        out += margin;
        appendEscaped(out, node.nodeValue());
        out += '\n';
        return;
    }
    const QDomElement element = node.toElement();
    out += margin + '<' + element.tagName().toUtf8();
    const QDomNamedNodeMap attributes = element.attributes();
    QMap<QString, QString> sorted;
    for (int i = 0; i < attributes.count(); ++i) {
        const QDomAttr attribute = attributes.item(i).toAttr();
        sorted.insert(attribute.name(), attribute.value());
    }
    for (auto it = sorted.cbegin(); it != sorted.cend(); ++it) {
        out += ' ' + it.key().toUtf8() + "=\"";
        appendEscaped(out, it.value());
        out += '"';
    }
    if (!element.hasChildNodes()) {
        out += "/>\n";
        return;
    }
    out += ">\n";
    for (QDomNode child = element.firstChild(); !child.isNull(); child = child.nextSibling())
        appendNode(out, child, depth + 1, indent);
    out += margin + "</" + element.tagName().toUtf8() + ">\n";
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
                                       const QString &format, const QImage &defaultValue,
                                       const QSize &fitInto, qint64 *areaBudget)
{
    const QString text = readAttributeString(element, name, QString());
    if (text.isEmpty())
        return defaultValue;
    return imageFromHex(text, format.toLatin1().constData(), fitInto, areaBudget);
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
    if (readAttributeString(child, valueAttribute).trimmed().isEmpty())
        return QStringList();
    return decodeList(child.attribute(valueAttribute));
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
    QByteArray out;
    if (!doctype().name().isEmpty())
        out += "<!DOCTYPE " + doctype().name().toUtf8() + ">\n";
    for (QDomNode node = firstChild(); !node.isNull(); node = node.nextSibling()) {
        if (node.isElement())
            appendNode(out, node, 0, indent);
    }
    return out;
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
    for (QString &item : list)
        item = decoded(item);
    return list;
}
