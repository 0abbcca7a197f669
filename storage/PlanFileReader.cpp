#include "storage/PlanFileReader.h"

#include "common/BusyCursor.h"
#include "common/Colors.h"
#include "common/TextHelpers.h"
#include "model/Document.h"
#include "model/SharedTexts.h"
#include "storage/DomDocument.h"
#include "storage/PlanFileWriter.h"
#include "storage/ViewReaders.h"

#include <QFile>
#include <QPixmap>
#include <QRegularExpression>
#include <QTextCodec>
#include <QUrl>
#include <QVector>

namespace {

const QString valueAttribute = QStringLiteral("value");
const QString colorAttribute = QStringLiteral("color");

// Every card holds a value, and every view a visibility, for every property. A file this
// program writes spends at least a byte (a comma) on each, so a plan may hold as many of
// them as its file has bytes, and a million in any case; a few kilobytes of hostile XML
// could otherwise ask for billions.
const qint64 cellsAlwaysAllowed = 1000000;

// The pixels that the pictures of a plan may declare together: enough for any library
// this program writes (at most 128 x 128 each), charged so that no small file decodes
// gigapixels.
const qint64 pixelsAlwaysAllowed = 16LL * 1024 * 1024;
const qint64 pixelsPerFileByte = 8;

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
Refusal checkShape(const QString &text, qint64 fileSize)
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
        while (i < n && c[i] != QLatin1Char('>')) {
            if (c[i] == QLatin1Char('"') || c[i] == QLatin1Char('\'')) {
                // An attribute's value; a ">" inside it does not end the tag.
                const int close = text.indexOf(c[i], i + 1);
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
    // The library keeps each picture fitted into 128 x 128, so none is decoded larger.
    const QSize fitInto(Image::MaxSide, Image::MaxSide);
    qint64 pixelBudget = pixelsAlwaysAllowed + pixelsPerFileByte * fileSize;
    for (const QDomElement &element : elements) {
        const QString format
            = Dom::readAttributeString(element, QStringLiteral("format"), QStringLiteral("PNG"));
        const QImage picture = Dom::readAttributeImage(element, valueAttribute, format, QImage(),
                                                       fitInto, &pixelBudget);
        const Image image(QPixmap::fromImage(picture),
                          Dom::readAttributeString(element, QStringLiteral("name")),
                          Dom::readAttributeString(element, QStringLiteral("stock_resource")));
        document.addImage(image, false);
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
        const QUrl url(Dom::readAttributeString(entry, valueAttribute), QUrl::TolerantMode);
        links << HyperLink(Dom::readAttributeString(entry, QStringLiteral("link_name")), url);
    }
    return links;
}

// The cards' value lists, read as DomDocument::decodeList reads them (split at ",", every
// item percent-decoded), with the equal texts of a property shared across the cards.
class CardValues
{
public:
    CardValues(int propertyCount, int cardCount)
        : m_columns(propertyCount), m_shared(qMax(propertyCount, 1))
    {
        for (int p = 1; p < propertyCount; ++p)
            m_columns[p].resize(cardCount);
    }

    // Item p - 1 of the list becomes the card's value of property p; properties beyond the
    // list keep their default (a null text), items beyond the properties are ignored.
    void read(int card, const QString &list)
    {
        const QChar *chars = list.constData();
        const int size = list.size();
        int start = 0;
        for (int p = 1; p < m_columns.size() && start <= size; ++p) {
            int end = start;
            while (end < size && chars[end] != QLatin1Char(','))
                ++end;
            m_columns[p][card] = itemText(p, QStringView(chars + start, end - start));
            start = end + 1;
        }
    }

    QVector<QVector<QString>> &columns() { return m_columns; }

private:
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
};

void readCards(Document &document, const QList<QDomElement> &elements)
{
    const int count = elements.size();
    CardValues values(document.propertyCount(), count);
    QList<Task> cards;
    cards.reserve(count);
    for (int card = 0; card < count; ++card) {
        const QDomElement &element = elements.at(card);
        // An absent list reads as one empty item.
        values.read(card, element.attribute(valueAttribute));
        Task task;
        // Setting the empty text leaves a card's notes as they are, as setTaskNotes does.
        const QString notes = Dom::readAttributeString(element, QStringLiteral("notes"));
        if (!notes.isEmpty())
            task.setNotes(notes);
        task.setHyperLinks(readLinks(element));
        task.setImageIndex(Dom::readAttributeInt(element, QStringLiteral("image"), -1));
        cards.append(task);
    }
    document.appendCards(cards, std::move(values.columns()));
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

void readView(Document &document, const DomDocument &dom, const QDomElement &view, int version)
{
    readSliceXml(dom, view, document.editableCurrentView());
    // The current view shows labels unless the file says otherwise; stored views do not.
    document.setShowLabels(Dom::readValueBool(view, QStringLiteral("show_labels_on"), true), false);
    document.setShowNotes(Dom::readValueBool(view, QStringLiteral("show_notes_icon"), false),
                          false);
    document.setShowHyperLinks(
        Dom::readValueBool(view, QStringLiteral("show_hyperlinks_icon"), false), false);
    document.setShowImages(Dom::readValueBool(view, QStringLiteral("show_images_on"), true),
                           Dom::readValueInt(view, QStringLiteral("image_position"), 0),
                           Dom::readValueInt(view, QStringLiteral("image_size"), 1), false);
    readCardsAppearanceXml(dom, version, view, document.cardsAppearanceRef());
    readChartsSettings(document, view);
    readChartsAppearanceXml(dom, view, document.chartsAppearanceRef());
    readTableAppearanceXml(dom, view, document.tableAppearanceRef());
}

void readStoredViews(Document &document, const DomDocument &dom, const QList<QDomElement> &elements)
{
    for (const QDomElement &element : elements) {
        Slice slice;
        slice.name = Dom::readAttributeString(element, valueAttribute, QStringLiteral("unnamed"));
        readSliceXml(dom, element, slice);
        document.storedViewsRef().append(slice);
    }
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
          cards(Dom::items(root, QStringLiteral("cards"), QStringLiteral("card"))),
          storedViews(
              Dom::items(root, QStringLiteral("stored_views"), QStringLiteral("stored_view")))
    { }

    bool tooLarge(qint64 fileSize) const
    {
        // The placeholder property and the current view count too.
        const qint64 cells
            = (qint64(properties.size()) + 1) * (cards.size() + storedViews.size() + 1);
        return cells > qMax(cellsAlwaysAllowed, fileSize);
    }

    QList<QDomElement> images;
    QList<QDomElement> properties;
    QList<QDomElement> cards;
    QList<QDomElement> storedViews;
};

void readPlan(Document &document, const DomDocument &dom, const QDomElement &root,
              const PlanItems &plan, qint64 fileSize)
{
    const int version = readVersion(root);
    document.clear(false);
    readImages(document, plan.images, fileSize);
    readProperties(document, plan.properties);
    readCards(document, plan.cards);
    readView(document, dom, Dom::findChildElement(root, QStringLiteral("view")), version);
    readStoredViews(document, dom, plan.storedViews);
    fitVisibilities(document.editableCurrentView(), document.propertyCount());
    for (Slice &slice : document.storedViewsRef())
        fitVisibilities(slice, document.propertyCount());
}

} // namespace

bool readPlanFile(Document &document, const QString &fileName, QString *errorMessage,
                  bool *savedByLaterVersion)
{
    BusyCursor busy;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        *errorMessage = QStringLiteral("Can't open file '%1'").arg(fileName);
        return false;
    }
    const qint64 fileSize = file.size();
    const QString text = decodedText(file.readAll());
    file.close();
    const Refusal refusal = checkShape(text, fileSize);
    if (refusal.position >= 0) {
        const int lineStart = text.lastIndexOf(QLatin1Char('\n'), refusal.position - 1) + 1;
        *errorMessage = formatError(refusal.reason,
                                    text.leftRef(refusal.position).count(QLatin1Char('\n')) + 1,
                                    refusal.position - lineStart + 1);
        return false;
    }
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
    if (plan.tooLarge(fileSize)) {
        *errorMessage = QStringLiteral("The file '%1' holds more cards and properties than "
                                       "can be opened.")
                            .arg(fileName);
        return false;
    }
    *savedByLaterVersion = readVersion(root) > planFileVersion;
    readPlan(document, dom, root, plan, fileSize);
    return true;
}
