#pragma once

#include <QColor>
#include <QDomDocument>
#include <QDomElement>
#include <QDomNodeList>
#include <QFont>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

struct PictureBudget;

// An XML document of the plan file, the stored card appearances and the update-check
// answer, with the typed helpers that decide how each kind of value is stored. Every
// attribute text is percent-encoded, so written files are plain ASCII and a comma inside
// a list item never splits it.
class DomDocument : public QDomDocument
{
public:
    explicit DomDocument(const QString &typeName);

    // Lookup: the first direct child of that name.
    static QDomElement findChildElement(const QDomElement &parent, const QString &tag);
    // The items of a list: the elements named itemTag at any depth below the parent's child
    // containerTag, in document order. Those inside another element named containerTag belong
    // to that list alone, so that lists nested in one another are not counted over and over.
    static QList<QDomElement> items(const QDomElement &parent, const QString &containerTag,
                                    const QString &itemTag);

    static void setAttributeString(QDomElement &element, const QString &name, const QString &text,
                                   bool skipIfEmpty = true, bool encode = true);
    static void setAttributeInt(QDomElement &element, const QString &name, int value);
    static void setAttributeColor(QDomElement &element, const QString &name, const QColor &color);
    static void setAttributeImage(QDomElement &element, const QString &name, const QImage &image);
    static void setAttributeList(QDomElement &element, const QString &name,
                                 const QStringList &list);

    static QString readAttributeString(const QDomElement &element, const QString &name,
                                       const QString &defaultValue = QString());
    static int readAttributeInt(const QDomElement &element, const QString &name, int defaultValue);
    static QStringList readAttributeList(const QDomElement &element, const QString &name);
    // The attribute's hexadecimal digits as bytes, decoded as imageFromBytes decodes them (by what
    // they hold, as readRasterPicture reads a picture as it is stored), with its fitInto and
    // budget; the bytes go to stored, when given.
    static QImage readAttributeImage(const QDomElement &element, const QString &name,
                                     const QImage &defaultValue = QImage(),
                                     const QSize &fitInto = QSize(),
                                     PictureBudget *budget = nullptr, QByteArray *stored = nullptr);

    // Field elements: a child named after the field, holding its text in "value".
    QDomElement writeValueString(QDomElement &parent, const QString &tag, const QString &text);
    QDomElement writeValueInt(QDomElement &parent, const QString &tag, int value);
    QDomElement writeValueDouble(QDomElement &parent, const QString &tag, double value);
    QDomElement writeValueBool(QDomElement &parent, const QString &tag, bool value);
    QDomElement writeValueColor(QDomElement &parent, const QString &tag, const QColor &color);
    QDomElement writeValueFont(QDomElement &parent, const QString &tag, const QFont &font);
    QDomElement writeValueStringList(QDomElement &parent, const QString &tag,
                                     const QStringList &list);
    QDomElement writeValueIntList(QDomElement &parent, const QString &tag, const QList<int> &list);

    static QString readValueString(const QDomElement &parent, const QString &tag,
                                   const QString &defaultValue = QString());
    static int readValueInt(const QDomElement &parent, const QString &tag, int defaultValue);
    static double readValueDouble(const QDomElement &parent, const QString &tag,
                                  double defaultValue);
    static bool readValueBool(const QDomElement &parent, const QString &tag, bool defaultValue);
    static QColor readValueColor(const QDomElement &parent, const QString &tag,
                                 const QColor &defaultValue);
    static QFont readValueFont(const QDomElement &parent, const QString &tag,
                               const QFont &defaultValue);
    static QStringList readValueStringList(const QDomElement &parent, const QString &tag);
    static QList<int> readValueIntList(const QDomElement &parent, const QString &tag);

    // The document as text: the document type, then the elements indented by the given
    // number of blanks per level, attributes in name order, childless elements self-closed.
    // Unlike QDomDocument::toString, two saves of the same tree give the same bytes (the
    // attribute order there follows a hash seeded anew in every run).
    QByteArray toText(int indent) const;

    // The texts of numbers as files hold them.
    static QString doubleToText(double value);
    static int textToInt(const QString &text);
    static double textToDouble(const QString &text);

    // Items percent-encoded one by one and joined with ","; the reverse keeps empty items.
    static QString encodeList(const QStringList &list);
    static QStringList decodeList(const QString &text);
    // The percent-decoded text of an item that is plain ASCII with a valid "%XX" at every "%"
    // and decodes to ASCII without a NUL, the items nearly every file holds, as
    // fromPercentEncoding gives it but without its copies: the text goes into scratch, which
    // can serve every item. False for other items, which fromPercentEncoding reads.
    static bool decodeSimpleText(QStringView text, QString &scratch);
};
