#include "storage/PlanFileReader.h"

#include "common/core/BusyCursor.h"
#include "common/core/Colors.h"
#include "common/core/FileHelpers.h"
#include "common/core/RasterPictureReader.h"
#include "common/core/TextHelpers.h"
#include "model/Document.h"
#include "model/SharedTexts.h"
#include "storage/DomDocument.h"
#include "storage/PlanFileWriter.h"
#include "storage/ViewReaders.h"

#include <memory>

#include <QFile>
#include <QFileInfo>
#include <QPixmap>
#include <QRegularExpression>
#include <QTextCodec>
#include <QUrl>
#include <QVector>
#include <QXmlStreamReader>

namespace {

const QString valueAttribute = QStringLiteral("value");
const QString colorAttribute = QStringLiteral("color");

// Every card holds a value, and every view a visibility, for every property. A file this
// program writes spends at least a byte (a comma) on each, so a plan may hold as many of
// them as its file has bytes, and a million in any case; a few kilobytes of hostile XML
// could otherwise ask for billions.
const qint64 cellsAlwaysAllowed = 1000000;

// The shape of a plan's text, checked before the parser sees it. Plans nest five elements
// deep, give an element outside the lists a few dozen children, declare nothing in their
// document type, and spend a dozen bytes or more on each node of the tree; a text far from
// that is refused, because the parser recurses once per level (a deep nesting exhausts the
// stack), entities declared in the document type let a few hundred bytes spell gigabytes,
// every field is looked up among all the children of its element, and each node of the
// tree takes some two hundred bytes.
const int maximumDepth = 100;
const int maximumChildrenOutsideLists = 1000;
const qint64 nodesAlwaysAllowed = 250000;
// Elements of plan files hold four attributes at most.
const int maximumStreamedAttributes = 16;
const qint64 bytesPerNode = 4;

using Dom = DomDocument;

QString formatError(const QString &reason, int line, int column)
{
    return QStringLiteral("Format error '%1' detected at line %2 column %3.\n"
                          "Contact support if you are sure this a Tavrolo file.")
        .arg(reason)
        .arg(line)
        .arg(column);
}

// The file's text, decoded as the parser would: by its byte-order mark, else by the encoding
// its XML declaration names, else as UTF-8. The checks and the parser then read the same
// characters.
QString decodedText(const QByteArray &bytes)
{
    QTextCodec *codec = QTextCodec::codecForUtfText(bytes, nullptr);
    if (!codec) {
        static const QRegularExpression declaration(
            QStringLiteral("^<\\?xml[^>]*encoding\\s*=\\s*[\"']([A-Za-z0-9._:-]+)[\"']"));
        const QRegularExpressionMatch match
            = declaration.match(QString::fromLatin1(bytes.left(256)));
        if (match.hasMatch())
            codec = QTextCodec::codecForName(match.captured(1).toLatin1());
    }
    if (!codec)
        codec = QTextCodec::codecForName("UTF-8");
    return codec->toUnicode(bytes);
}

QString cantOpen(const QString &fileName)
{
    return QStringLiteral("Can't open file '%1'").arg(fileName);
}

QString tooLarge(const QString &fileName)
{
    return QStringLiteral("The file '%1' holds more cards and properties than can be opened.")
        .arg(fileName);
}

QString filterTermsLeftOut(qint64 leftOut)
{
    return QStringLiteral("The filters of the views in this plan hold more terms than the plan "
                          "explains. %1 of them were not read; they are left out when the plan "
                          "is saved.")
        .arg(leftOut);
}

// A view keeps its terms within the tests they ask for (filterTestsAllowed). Returns how many
// were left out.
int keepAffordableTerms(const Document &document, Slice &slice)
{
    const qint64 costlyAllowed
        = qMax(filterTermsAlwaysAllowed, filterTestsAllowed / qMax(1, document.taskCount()));
    qint64 costly = 0;
    QList<FilterTerm> kept;
    for (const FilterTerm &term : qAsConst(slice.filterTerms)) {
        if (document.isLookedUpFilterTerm(term) || ++costly <= costlyAllowed)
            kept.append(term);
    }
    const int leftOut = slice.filterTerms.size() - kept.size();
    if (leftOut > 0)
        slice.filterTerms = kept;
    return leftOut;
}

struct Refusal
{
    QString reason;
    int position = -1;
};

bool isListTag(QStringView name)
{
    static const QStringList lists {QStringLiteral("images"),      QStringLiteral("properties"),
                                    QStringLiteral("cards"),       QStringLiteral("stored_views"),
                                    QStringLiteral("links"),       QStringLiteral("date_colors"),
                                    QStringLiteral("text_colors"), QStringLiteral("filter_terms")};
    for (const QString &list : lists) {
        if (name == list)
            return true;
    }
    return false;
}

// Walks the text's markup without building anything, and returns the first thing refused
// (see the limits above). Malformed markup is left to the parser, which stops at it: the
// walk only has to agree with the parser up to there.
// needsTree is set where only the tree reads the text as files have always been read (see
// isPlainMarkup): an attribute's value holds a line break, a tab or another control character
// as it stands, or an element holds more attributes than any the program writes (the stream
// compares each attribute of an element with all the others).
Refusal checkShape(const QString &text, qint64 fileSize, bool *needsTree)
{
    struct Open
    {
        bool isList;
        int children;
    };
    QVector<Open> open {{false, 0}}; // the document itself
    const qint64 nodeLimit = qMax(nodesAlwaysAllowed, fileSize / bytesPerNode);
    qint64 nodes = 0;
    const QChar *c = text.constData();
    const int n = text.size();
    const auto at = [&](int i, QLatin1String what) {
        return QStringView(c + i, qMin(n - i, what.size())) == what;
    };
    const auto skipPast = [&](int from, QLatin1String end) {
        const int found = text.indexOf(end, from);
        return found < 0 ? n : found + end.size();
    };
    int i = 0;
    while (i < n) {
        const int tag = text.indexOf(QLatin1Char('<'), i);
        // A run of text holding more than white space is a node of its own.
        for (int k = i; k < (tag < 0 ? n : tag); ++k) {
            if (!c[k].isSpace()) {
                ++nodes;
                break;
            }
        }
        if (nodes > nodeLimit)
            return {QStringLiteral("More markup than the file's size explains."), i};
        if (tag < 0)
            break;
        i = tag + 1;
        if (at(tag, QLatin1String("<!--")) || at(tag, QLatin1String("<![CDATA["))
            || at(tag, QLatin1String("<?"))) {
            ++nodes;
            i = skipPast(i,
                         at(tag, QLatin1String("<!--"))     ? QLatin1String("-->")
                             : at(tag, QLatin1String("<?")) ? QLatin1String("?>")
                                                            : QLatin1String("]]>"));
            continue;
        }
        if (at(tag, QLatin1String("<!"))) {
            // The document type: a name and perhaps an outside identifier, no declarations.
            QChar quote;
            for (; i < n && (!quote.isNull() || c[i] != QLatin1Char('>')); ++i) {
                if (!quote.isNull())
                    quote = c[i] == quote ? QChar() : quote;
                else if (c[i] == QLatin1Char('"') || c[i] == QLatin1Char('\''))
                    quote = c[i];
                else if (c[i] == QLatin1Char('['))
                    return {QStringLiteral("The document type holds declarations."), i};
            }
            ++i;
            continue;
        }
        if (at(tag, QLatin1String("</"))) {
            if (open.size() > 1)
                open.removeLast();
            i = skipPast(i, QLatin1String(">"));
            continue;
        }
        const int nameStart = i;
        while (i < n && !c[i].isSpace() && c[i] != QLatin1Char('/') && c[i] != QLatin1Char('>'))
            ++i;
        const QStringView name(c + nameStart, i - nameStart);
        ++nodes;
        Open &parent = open.last();
        if (!parent.isList && ++parent.children > maximumChildrenOutsideLists) {
            return {QStringLiteral("An element holds more than %1 others.")
                        .arg(maximumChildrenOutsideLists),
                    tag};
        }
        bool empty = false;
        int attributes = 0;
        while (i < n && c[i] != QLatin1Char('>')) {
            if (c[i] == QLatin1Char('"') || c[i] == QLatin1Char('\'')) {
                // An attribute's value; a ">" inside it does not end the tag.
                const int close = text.indexOf(c[i], i + 1);
                for (int k = i + 1; k < (close < 0 ? n : close) && !*needsTree; ++k)
                    *needsTree = c[k].unicode() < 0x20;
                *needsTree = *needsTree || ++attributes > maximumStreamedAttributes;
                i = close < 0 ? n : close + 1;
                ++nodes;
                continue;
            }
            empty = c[i] == QLatin1Char('/');
            ++i;
        }
        ++i;
        if (nodes > nodeLimit)
            return {QStringLiteral("More markup than the file's size explains."), tag};
        if (!empty) {
            open.append({isListTag(name), 0});
            if (open.size() - 1 > maximumDepth) {
                return {QStringLiteral("Elements are nested more than %1 deep.").arg(maximumDepth),
                        tag};
            }
        }
    }
    return {};
}

int readVersion(const QDomElement &root)
{
    const QDomElement meta = Dom::findChildElement(root, QStringLiteral("meta"));
    return Dom::textToInt(
        Dom::readValueString(meta, QStringLiteral("version"), QString::number(planFileVersion)));
}

void readImages(Document &document, const QList<QDomElement> &elements, qint64 fileSize)
{
    // The library keeps each picture fitted into 128 x 128, so none is decoded larger. Each
    // picture pays with its own bytes, as a picture file does, so that a library of any size comes
    // back whole; the rest of the file pays for what they do not.
    const QSize fitInto(Image::MaxSide, Image::MaxSide);
    PictureBudget budget = PictureBudget::forPlanFile(fileSize, fitInto);
    for (const QDomElement &element : elements) {
        // The data says what it is, whatever the element's "format" says (readRasterPicture).
        QByteArray stored;
        const QImage picture
            = Dom::readAttributeImage(element, valueAttribute, QImage(), fitInto, &budget, &stored);
        const QString name = Dom::readAttributeString(element, QStringLiteral("name"));
        const QString path = Dom::readAttributeString(element, QStringLiteral("stock_resource"));
        // A picture not taken in keeps its bytes, which the next save writes back.
        document.addImage(picture.isNull() ? Image::keptAsStored(stored, name, path)
                                           : Image::fromStored(picture, stored, name, path),
                          false);
    }
}

void readDateColors(const QDomElement &property, PropertyAppearance &appearance)
{
    for (const QDomElement &entry :
         Dom::items(property, QStringLiteral("date_colors"), QStringLiteral("date_color"))) {
        const QColor color = stringToColor(Dom::readAttributeString(entry, colorAttribute));
        if (color.isValid())
            appearance.setDateColor(Dom::readAttributeInt(entry, valueAttribute, 1), color);
    }
}

void readTextColors(const QDomElement &property, PropertyAppearance &appearance)
{
    for (const QDomElement &entry :
         Dom::items(property, QStringLiteral("text_colors"), QStringLiteral("text_color"))) {
        const QColor color = stringToColor(Dom::readAttributeString(entry, colorAttribute));
        if (color.isValid())
            appearance.setTextColor(Dom::readAttributeString(entry, valueAttribute), color);
    }
}

PropertyAppearance readPropertyAppearance(const QDomElement &property)
{
    PropertyAppearance appearance;
    const QColor minColor = Dom::readValueColor(property, QStringLiteral("min_color"), QColor());
    const QColor maxColor = Dom::readValueColor(property, QStringLiteral("max_color"), QColor());
    if (minColor.isValid() && maxColor.isValid())
        appearance.setMinMaxColors(minColor, maxColor);
    // Numeric bins need a width of at least 1; an empty or broken size reads as 0.
    const int binSize = Dom::readValueInt(property, QStringLiteral("bin_size"), 10);
    appearance.setBinSize(binSize >= 1 ? binSize : 10);
    appearance.setDateBinSize(Dom::readValueInt(property, QStringLiteral("date_bin_size"), 1));
    appearance.setShowEmpty(Dom::readValueBool(property, QStringLiteral("show_empty"), true));
    appearance.setTextOrder(Dom::readValueStringList(property, QStringLiteral("text_order")));
    readDateColors(property, appearance);
    readTextColors(property, appearance);
    return appearance;
}

void readProperties(Document &document, const QList<QDomElement> &elements)
{
    for (const QDomElement &element : elements) {
        // Where the property shows on cards comes from the views, read later.
        document.addProperty(Dom::readValueString(element, QStringLiteral("name")),
                             Dom::readValueString(element, QStringLiteral("default")),
                             Dom::readValueInt(element, QStringLiteral("type"), 0),
                             Dom::readValueStringList(element, QStringLiteral("predefined_values")),
                             1, readPropertyAppearance(element), false);
    }
}

QList<HyperLink> readLinks(const QDomElement &card)
{
    QList<HyperLink> links;
    for (const QDomElement &entry :
         Dom::items(card, QStringLiteral("links"), QStringLiteral("link"))) {
        links << HyperLink::fromUrlText(
            Dom::readAttributeString(entry, QStringLiteral("link_name")),
            Dom::readAttributeString(entry, valueAttribute));
    }
    return links;
}

// The plan's cards as they are read, one after the other: each card's values go straight into
// a column per property, the equal texts of a property shared, and the rest into its Task.
// The attributes are taken as readAttributeList, readAttributeString and readAttributeInt
// take them.
class CardReader
{
public:
    explicit CardReader(int propertyCount)
        : m_columns(propertyCount), m_shared(qMax(propertyCount, 1))
    { }

    int count() const { return m_cards.size(); }

    // A card from the texts of its attributes "value", "notes" and "image" as the file holds
    // them, and whether the last two are there at all.
    void add(QStringView values, bool hasNotes, QStringView notes, bool hasImage, QStringView image)
    {
        // Item p - 1 of the list becomes the value of property p; properties beyond the list
        // keep their default (a null text), items beyond the properties are ignored. An
        // absent list reads as one empty item.
        const QChar *chars = values.data();
        const int size = int(values.size());
        int start = 0;
        for (int p = 1; p < m_columns.size(); ++p) {
            if (start > size) {
                m_columns[p].append(QString());
                continue;
            }
            int end = start;
            while (end < size && chars[end] != QLatin1Char(','))
                ++end;
            m_columns[p].append(itemText(p, QStringView(chars + start, end - start)));
            start = end + 1;
        }
        Task card;
        // Setting the empty text leaves a card's notes as they are, as setTaskNotes does.
        const QString notesText = hasNotes ? decodedText(notes) : QString();
        if (!notesText.isEmpty())
            card.setNotes(notesText);
        card.setImageIndex(hasImage ? Dom::textToInt(decodedText(image)) : -1);
        m_cards.append(card);
    }
    // The links of the card, taken from its element once the element is complete.
    void addLinksFrom(const QDomElement &element) { m_linkSources.append({count() - 1, element}); }

    void appendTo(Document &document)
    {
        for (const auto &source : qAsConst(m_linkSources))
            m_cards[source.first].setHyperLinks(readLinks(source.second));
        document.appendCards(m_cards, std::move(m_columns), Document::CardTexts::Saved);
    }

private:
    static QString decodedText(QStringView text)
    {
        const QString whole = text.toString();
        return whole.contains(QLatin1Char('%')) ? fromPercentEncoding(whole) : whole;
    }

    QString itemText(int property, QStringView item)
    {
        SharedTexts &shared = m_shared[property];
        if (!item.contains(QLatin1Char('%')))
            return sharedText(shared, item, nullptr);
        if (Dom::decodeSimpleText(item, m_decoded))
            return sharedText(shared, QStringView(m_decoded), nullptr);
        const QString decoded = fromPercentEncoding(item.toString());
        return sharedText(shared, QStringView(decoded), &decoded);
    }

    static QString sharedText(SharedTexts &shared, QStringView text, const QString *copy)
    {
        const int index = shared.add(text, copy);
        if (index >= 0)
            return shared.at(index);
        if (copy && !copy->isNull())
            return *copy;
        // An empty text is an entry, never the null text that keeps the default.
        return text.isEmpty() ? QString(QLatin1String("")) : text.toString();
    }

    QVector<QVector<QString>> m_columns;
    QVector<SharedTexts> m_shared;
    QString m_decoded;
    QList<Task> m_cards;
    QList<QPair<int, QDomElement>> m_linkSources;
};

void addCardElement(CardReader &cards, const QDomElement &element)
{
    const QString notes = QStringLiteral("notes");
    const QString image = QStringLiteral("image");
    // An absent list reads as one empty item.
    cards.add(element.attribute(valueAttribute), element.hasAttribute(notes),
              element.attribute(notes), element.hasAttribute(image), element.attribute(image));
    if (element.hasChildNodes())
        cards.addLinksFrom(element);
}

// Every card holds a value for every property: a plan with more of them than its file
// explains is refused (see cellsAlwaysAllowed).
bool tooManyCells(qint64 propertyCount, qint64 cards, qint64 storedViews, qint64 fileSize)
{
    // The current view holds a visibility for every property too.
    return propertyCount * (cards + storedViews + 1) > qMax(cellsAlwaysAllowed, fileSize);
}

void readChartsSettings(Document &document, const QDomElement &view)
{
    document.setChartShowProperty(Dom::readValueInt(view, QStringLiteral("chart_show_property"), 0),
                                  false);
    document.setChartByProperty(Dom::readValueInt(view, QStringLiteral("chart_by_property"), 0),
                                false);
    document.setChartPerProperty(Dom::readValueInt(view, QStringLiteral("chart_per_property"), 0),
                                 false);
    document.setChartsHideZeroBars(
        Dom::readValueInt(view, QStringLiteral("chart_hide_zero_bars"), 0) != 0, false);
    document.setChartsHideEmpty(Dom::readValueInt(view, QStringLiteral("chart_hide_empty"), 0) != 0,
                                false);
    document.setChartsFiltering(
        Dom::readValueInt(view, QStringLiteral("chart_use_cards_filter"), 0) != 0, false);
}

// Returns how many filter terms were left out (see readSliceXml).
int readView(Document &document, Document::FillKey key, const DomDocument &dom,
             const QDomElement &view, int version, qint64 &termsAllowed)
{
    const int termsLeftOut
        = readSliceXml(dom, view, document.editableCurrentView(key), termsAllowed);
    // The current view shows labels unless the file says otherwise; stored views do not.
    document.setShowLabels(Dom::readValueBool(view, QStringLiteral("show_labels_on"), true), false);
    document.setShowNotes(Dom::readValueBool(view, QStringLiteral("show_notes_icon"), false),
                          false);
    document.setShowHyperLinks(
        Dom::readValueBool(view, QStringLiteral("show_hyperlinks_icon"), false), false);
    document.setShowImages(Dom::readValueBool(view, QStringLiteral("show_images_on"), true),
                           Dom::readValueInt(view, QStringLiteral("image_position"), 0),
                           Dom::readValueInt(view, QStringLiteral("image_size"), 1), false);
    readCardsAppearanceXml(dom, version, view, document.cardsAppearanceRef(key));
    readChartsSettings(document, view);
    readChartsAppearanceXml(dom, view, document.chartsAppearanceRef(key));
    readTableAppearanceXml(dom, view, document.tableAppearanceRef(key));
    return termsLeftOut;
}

// Returns how many filter terms were left out (see readSliceXml).
int readStoredViews(Document &document, Document::FillKey key, const DomDocument &dom,
                    const QList<QDomElement> &elements, qint64 &termsAllowed)
{
    int termsLeftOut = 0;
    for (const QDomElement &element : elements) {
        Slice slice;
        slice.name = Dom::readAttributeString(element, valueAttribute, QStringLiteral("unnamed"));
        termsLeftOut += readSliceXml(dom, element, slice, termsAllowed);
        document.storedViewsRef(key).append(slice);
    }
    return termsLeftOut;
}

// A view holds one visibility per property. A file whose list is short would otherwise lose
// the user's choices for the missing ones and shift the next new property's entry, so the
// list is filled with "shown as text", which is what a missing entry means anyway.
void fitVisibilities(Slice &slice, int propertyCount)
{
    QList<int> &visibilities = slice.propertyVisibilities;
    while (visibilities.size() < propertyCount)
        visibilities << 1;
    while (visibilities.size() > propertyCount)
        visibilities.removeLast();
}

// The lists of the plan, taken once: they decide whether the plan is too large to open,
// and are then read.
struct PlanItems
{
    explicit PlanItems(const QDomElement &root)
        : images(Dom::items(root, QStringLiteral("images"), QStringLiteral("image"))),
          properties(Dom::items(root, QStringLiteral("properties"), QStringLiteral("property"))),
          storedViews(
              Dom::items(root, QStringLiteral("stored_views"), QStringLiteral("stored_view")))
    { }

    QList<QDomElement> images;
    QList<QDomElement> properties;
    QList<QDomElement> storedViews;
};

// notice receives what was left out of the file, for the user to be told; it is left alone
// when the whole file was taken.
void readPlan(Document &document, Document::FillKey key, const DomDocument &dom,
              const QDomElement &root, const PlanItems &plan, CardReader &cards, qint64 fileSize,
              QString *notice)
{
    const int version = readVersion(root);
    document.clear(false);
    readImages(document, plan.images, fileSize);
    readProperties(document, plan.properties);
    cards.appendTo(document);
    // The current view takes its terms first: it is the one the plan opens on.
    const qint64 termsAllowed = filterTermsAllowed(fileSize);
    qint64 termsLeft = termsAllowed;
    int termsLeftOut
        = readView(document, key, dom, Dom::findChildElement(root, QStringLiteral("view")), version,
                   termsLeft);
    termsLeftOut += readStoredViews(document, key, dom, plan.storedViews, termsLeft);
    termsLeftOut += keepAffordableTerms(document, document.editableCurrentView(key));
    for (Slice &slice : document.storedViewsRef(key))
        termsLeftOut += keepAffordableTerms(document, slice);
    if (termsLeftOut > 0)
        *notice = filterTermsLeftOut(termsLeftOut);
    fitVisibilities(document.editableCurrentView(key), document.propertyCount());
    for (Slice &slice : document.storedViewsRef(key))
        fitVisibilities(slice, document.propertyCount());
}

// Whether the stream may read the file's bytes, where the two parsers differ the tree having
// the say: the stream passes over a byte-order mark the tree refuses and takes names the tree
// refuses (letters beyond ASCII), reads entity references the tree drops or refuses, and
// reads the line breaks and tabs of an attribute as blanks, where the tree keeps them. Files
// this program writes are plain ASCII without any "&" (every text in them is
// percent-encoded) and start with their markup; their decoded text is their bytes.
bool isPlainMarkup(const QByteArray &bytes, const QString &text, bool needsTree)
{
    if (needsTree || bytes.size() != text.size())
        return false;
    const char *c = bytes.constData();
    const char *end = c + bytes.size();
    while (c < end && (*c == ' ' || *c == '\n' || *c == '\r' || *c == '\t'))
        ++c;
    if (c == end || *c != '<')
        return false;
    const QChar *decoded = text.constData();
    for (c = bytes.constData(); c < end; ++c, ++decoded) {
        if (uchar(*c) >= 0x80 || *c == '&' || decoded->unicode() != uchar(*c))
            return false;
    }
    return true;
}

// A stream parser over a text, handed the text a slice at a time: given the whole text
// at once, it keeps an encoded and a decoded copy of all of it besides.
class XmlSlices
{
public:
    explicit XmlSlices(const QByteArray &text) : m_text(text)
    {
        m_xml.setNamespaceProcessing(false);
    }

    const QXmlStreamReader &xml() const { return m_xml; }
    // Whether the text is not well-formed, or was not read to its end.
    bool failed() const { return m_xml.hasError() || m_cut; }
    // The next token; Invalid after the last one or at an error.
    QXmlStreamReader::TokenType next()
    {
        for (;;) {
            const QXmlStreamReader::TokenType token = m_xml.readNext();
            // The root ending with a slice ends the document for the parser, whatever follows.
            if (token == QXmlStreamReader::EndDocument && m_given < m_text.size()) {
                m_cut = true;
                return QXmlStreamReader::Invalid;
            }
            if (token != QXmlStreamReader::Invalid
                || m_xml.error() != QXmlStreamReader::PrematureEndOfDocumentError
                || m_given == m_text.size())
                return token;
            const int length = qMin(sliceLength, m_text.size() - m_given);
            m_xml.addData(m_text.mid(m_given, length));
            m_given += length;
        }
    }

private:
    static constexpr int sliceLength = 64 * 1024;
    const QByteArray &m_text;
    QXmlStreamReader m_xml;
    int m_given = 0;
    bool m_cut = false;
};

// The tree of a plan file built from a stream of its markup, but for the cards: each card's
// values go into the plan's columns as the card streams past, and only a card with elements
// inside (its links) gets a tree of its own. The tree of a large plan is mostly its cards, so
// this takes a fraction of the memory and time. A file out of the ordinary (not well-formed,
// without the document type or the root, its cards before its properties, too many values)
// is left to the plain tree, which tells what is wrong with it in the words files have always
// been refused with: read() then returns false.
class StreamedPlan
{
public:
    StreamedPlan() : m_dom(QString::fromLatin1(planFileTypeName)) { }

    // The bytes must be plain markup (isPlainMarkup).
    bool read(const QByteArray &text, qint64 fileSize);
    const DomDocument &dom() const { return m_dom; }
    CardReader &cards() { return *m_cards; }

private:
    QDomElement element(const QXmlStreamReader &xml)
    {
        QDomElement element = m_dom.createElement(xml.qualifiedName().toString());
        for (const QXmlStreamAttribute &attribute : xml.attributes())
            element.setAttribute(attribute.qualifiedName().toString(),
                                 attribute.value().toString());
        return element;
    }
    bool readCards(XmlSlices &slices, const QDomElement &root, qint64 fileSize);

    DomDocument m_dom;
    std::unique_ptr<CardReader> m_cards;
};

bool StreamedPlan::read(const QByteArray &text, qint64 fileSize)
{
    XmlSlices slices(text);
    const QXmlStreamReader &xml = slices.xml();
    bool typeRead = false;
    QDomElement open; // the innermost open element, null outside the root
    int depth = 0;
    for (QXmlStreamReader::TokenType token = slices.next();
         token != QXmlStreamReader::Invalid && token != QXmlStreamReader::EndDocument;
         token = slices.next()) {
        switch (token) {
        case QXmlStreamReader::DTD:
            if (typeRead || xml.dtdName() != QLatin1String(planFileTypeName))
                return false;
            typeRead = true;
            break;
        case QXmlStreamReader::StartElement: {
            if (depth == 0
                && (!typeRead || !m_dom.documentElement().isNull()
                    || xml.qualifiedName() != QLatin1String("root")))
                return false;
            const QDomElement child = element(xml);
            (depth == 0 ? static_cast<QDomNode &>(m_dom) : open).appendChild(child);
            if (depth == 1 && !m_cards && xml.qualifiedName() == QLatin1String("cards")) {
                if (!readCards(slices, open, fileSize))
                    return false;
                break;
            }
            open = child;
            ++depth;
            break;
        }
        case QXmlStreamReader::EndElement:
            open = open.parentNode().toElement();
            --depth;
            break;
        default:
            break;
        }
    }
    return !slices.failed() && !m_dom.documentElement().isNull() && m_cards;
}

bool StreamedPlan::readCards(XmlSlices &slices, const QDomElement &root, qint64 fileSize)
{
    const QXmlStreamReader &xml = slices.xml();
    // The number of properties decides how many values a card holds. Files this program
    // writes have them before the cards.
    if (Dom::findChildElement(root, QStringLiteral("properties")).isNull())
        return false;
    const int propertyCount
        = Dom::items(root, QStringLiteral("properties"), QStringLiteral("property")).size() + 1;
    m_cards.reset(new CardReader(propertyCount));
    const QString card = QStringLiteral("card");
    const QString cards = QStringLiteral("cards");
    // Elements open inside the list; the depth of a list nested in it (whose cards are its
    // own, as items() reads them); a card whose start was read, not yet known to hold
    // elements; the innermost open element of a card's tree and the depth of that card.
    int depth = 0;
    int nestedList = -1;
    bool cardOpen = false;
    QDomElement building;
    int buildingCard = -1;
    for (QXmlStreamReader::TokenType token = slices.next();
         token != QXmlStreamReader::Invalid && token != QXmlStreamReader::EndDocument;
         token = slices.next()) {
        if (token == QXmlStreamReader::StartElement) {
            if (cardOpen) {
                // The card holds elements (links, say): they are kept as a tree.
                building = m_dom.createElement(card);
                m_cards->addLinksFrom(building);
                buildingCard = depth;
                cardOpen = false;
            }
            ++depth;
            const QStringRef name = xml.qualifiedName();
            if (nestedList < 0 && name == cards)
                nestedList = depth;
            const bool isCard = nestedList < 0 && name == card;
            if (isCard) {
                if (tooManyCells(propertyCount, m_cards->count() + 1, 0, fileSize))
                    return false;
                const QXmlStreamAttributes attributes = xml.attributes();
                const QLatin1String notes("notes");
                const QLatin1String image("image");
                // An absent list reads as one empty item.
                m_cards->add(attributes.value(QLatin1String("value")),
                             attributes.hasAttribute(notes), attributes.value(notes),
                             attributes.hasAttribute(image), attributes.value(image));
            }
            if (!building.isNull()) {
                const QDomElement child = element(xml);
                building.appendChild(child);
                building = child;
                if (isCard)
                    m_cards->addLinksFrom(child);
            } else {
                cardOpen = isCard;
            }
        } else if (token == QXmlStreamReader::EndElement) {
            if (depth == 0)
                return true;
            if (!building.isNull())
                building
                    = depth == buildingCard ? QDomElement() : building.parentNode().toElement();
            cardOpen = false;
            if (depth == nestedList)
                nestedList = -1;
            --depth;
        }
    }
    return false;
}

enum class StreamOutcome { Read, Refused, NotStreamed };

// What was built of a stream that failed is gone before the tree is built.
StreamOutcome readStreamed(Document &document, Document::FillKey key, const QByteArray &bytes,
                           const QString &fileName, qint64 fileSize, QString *errorMessage,
                           bool *savedByLaterVersion, QString *notice)
{
    StreamedPlan streamed;
    if (!streamed.read(bytes, fileSize))
        return StreamOutcome::NotStreamed;
    const QDomElement root = streamed.dom().documentElement();
    const PlanItems plan(root);
    if (tooManyCells(plan.properties.size() + 1, streamed.cards().count(), plan.storedViews.size(),
                     fileSize)) {
        *errorMessage = tooLarge(fileName);
        return StreamOutcome::Refused;
    }
    *savedByLaterVersion = readVersion(root) > planFileVersion;
    readPlan(document, key, streamed.dom(), root, plan, streamed.cards(), fileSize, notice);
    return StreamOutcome::Read;
}

// Reads the whole bytes of a plan file; fileSize stands for the file in the limits and
// fileName in the messages.
bool readPlanBytes(Document &document, Document::FillKey key, QByteArray bytes, qint64 fileSize,
                   const QString &fileName, QString *errorMessage, bool *savedByLaterVersion,
                   QString *notice)
{
    QString text = decodedText(bytes);
    bool needsTree = false;
    const Refusal refusal = checkShape(text, fileSize, &needsTree);
    if (refusal.position >= 0) {
        const int lineStart = text.lastIndexOf(QLatin1Char('\n'), refusal.position - 1) + 1;
        *errorMessage = formatError(refusal.reason,
                                    text.leftRef(refusal.position).count(QLatin1Char('\n')) + 1,
                                    refusal.position - lineStart + 1);
        return false;
    }
    // Reading a stream of the bytes, the text is not needed: a large plan is read in the
    // memory of its file and its values. Should the stream fail, the tree reads the text.
    if (isPlainMarkup(bytes, text, needsTree)) {
        text.clear();
        switch (readStreamed(document, key, bytes, fileName, fileSize, errorMessage,
                             savedByLaterVersion, notice)) {
        case StreamOutcome::Read:
            return true;
        case StreamOutcome::Refused:
            return false;
        case StreamOutcome::NotStreamed:
            text = decodedText(bytes);
            break;
        }
    }
    bytes.clear();
    DomDocument dom(QString::fromLatin1(planFileTypeName));
    QString parseError;
    int line = 0;
    int column = 0;
    if (!dom.setContent(text, false, &parseError, &line, &column)) {
        *errorMessage = formatError(parseError, line, column);
        return false;
    }
    // Everything that can fail is checked before the open plan is touched.
    if (dom.doctype().name() != QLatin1String(planFileTypeName)) {
        *errorMessage = QStringLiteral("Incorrect document type.");
        return false;
    }
    const QDomElement root = dom.documentElement();
    if (root.tagName() != QLatin1String("root")) {
        *errorMessage = QStringLiteral("Document root not found.");
        return false;
    }
    const PlanItems plan(root);
    const QList<QDomElement> cardElements
        = Dom::items(root, QStringLiteral("cards"), QStringLiteral("card"));
    if (tooManyCells(plan.properties.size() + 1, cardElements.size(), plan.storedViews.size(),
                     fileSize)) {
        *errorMessage = tooLarge(fileName);
        return false;
    }
    CardReader cards(plan.properties.size() + 1);
    for (const QDomElement &element : cardElements)
        addCardElement(cards, element);
    *savedByLaterVersion = readVersion(root) > planFileVersion;
    readPlan(document, key, dom, root, plan, cards, fileSize, notice);
    return true;
}

} // namespace

bool readPlanFile(Document &document, const QString &fileName, QString *errorMessage,
                  bool *savedByLaterVersion, QString *notice)
{
    QFile file(fileName);
    // Only a regular file, links followed: a device such as /dev/zero never ends, and a pipe
    // blocks the open until another program writes to it.
    if (!QFileInfo(fileName).isFile() || !file.open(QIODevice::ReadOnly)) {
        if (errorMessage)
            *errorMessage = cantOpen(fileName);
        return false;
    }
    return readPlanFile(document, &file, fileName, errorMessage, savedByLaterVersion, notice);
}

bool readPlanFile(Document &document, QIODevice *device, const QString &fileName,
                  QString *errorMessage, bool *savedByLaterVersion, QString *notice)
{
    // Callers that need no answer may pass null for it.
    QString unusedMessage;
    bool unusedLater = false;
    QString unusedNotice;
    if (!errorMessage)
        errorMessage = &unusedMessage;
    if (!savedByLaterVersion)
        savedByLaterVersion = &unusedLater;
    if (!notice)
        notice = &unusedNotice;
    BusyCursor busy;
    // Filling the new plan's views and appearances in place is the reader's alone.
    const Document::FillKey key;
    const qint64 fileSize = device->size();
    // Whatever led here (a link, a name in the preferences), the file may be one that never
    // ends: it is read no further than it says it is long.
    QByteArray bytes;
    bool tooLargeToRead = false;
    if (!readBoundedBytes(device, maximumTextFileBytes, &bytes, &tooLargeToRead)) {
        *errorMessage = tooLargeToRead
            ? QStringLiteral("The file '%1' is too large to be opened.").arg(fileName)
            : cantOpen(fileName);
        return false;
    }
    // Handed over, so that the bytes can be let go of once the tree is built from them.
    return readPlanBytes(document, key, std::move(bytes), fileSize, fileName, errorMessage,
                         savedByLaterVersion, notice);
}
