#include "storage/PlanFileReader.h"

#include "common/BusyCursor.h"
#include "common/Colors.h"
#include "model/Document.h"
#include "storage/DomDocument.h"
#include "storage/PlanFileWriter.h"
#include "storage/ViewReaders.h"

#include <QFile>
#include <QPixmap>
#include <QUrl>

namespace {

using Dom = DomDocument;

const QString valueAttribute = QStringLiteral("value");
const QString colorAttribute = QStringLiteral("color");

// Every card holds a value for every property, so a few kilobytes of hostile XML could
// otherwise ask for billions of values.
const qint64 maximumValueCount = 100000000;

QList<QDomElement> items(const QDomElement &parent, const QString &containerTag,
                         const QString &itemTag)
{
    QList<QDomElement> result;
    const QDomNodeList nodes
        = Dom::elementsByTag(Dom::findChildElement(parent, containerTag), itemTag);
    result.reserve(nodes.count());
    for (int i = 0; i < nodes.count(); ++i)
        result << nodes.item(i).toElement();
    return result;
}

int readVersion(const QDomElement &root)
{
    const QDomElement meta = Dom::findChildElement(root, QStringLiteral("meta"));
    return Dom::textToInt(
        Dom::readValueString(meta, QStringLiteral("version"), QString::number(planFileVersion)));
}

void readImages(Document &document, const QList<QDomElement> &elements)
{
    for (const QDomElement &element : elements) {
        const QString format
            = Dom::readAttributeString(element, QStringLiteral("format"), QStringLiteral("PNG"));
        const QImage picture = Dom::readAttributeImage(element, valueAttribute, format);
        const Image image(QPixmap::fromImage(picture),
                          Dom::readAttributeString(element, QStringLiteral("name")),
                          Dom::readAttributeString(element, QStringLiteral("stock_resource")));
        document.addImage(image, false);
    }
}

void readDateColors(const QDomElement &property, PropertyAppearance &appearance)
{
    for (const QDomElement &entry :
         items(property, QStringLiteral("date_colors"), QStringLiteral("date_color"))) {
        const QColor color = stringToColor(Dom::readAttributeString(entry, colorAttribute));
        if (color.isValid())
            appearance.setDateColor(Dom::readAttributeInt(entry, valueAttribute, 1), color);
    }
}

void readTextColors(const QDomElement &property, PropertyAppearance &appearance)
{
    for (const QDomElement &entry :
         items(property, QStringLiteral("text_colors"), QStringLiteral("text_color"))) {
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
    for (const QDomElement &entry : items(card, QStringLiteral("links"), QStringLiteral("link"))) {
        const QUrl url(Dom::readAttributeString(entry, valueAttribute), QUrl::TolerantMode);
        links << HyperLink(Dom::readAttributeString(entry, QStringLiteral("link_name")), url);
    }
    return links;
}

void readCards(Document &document, const QList<QDomElement> &elements)
{
    const int propertyCount = document.propertyCount();
    for (const QDomElement &element : elements) {
        const int card = document.addTask(false);
        QStringList values = Dom::readAttributeList(element, valueAttribute);
        const int count = qMin(values.size(), propertyCount - 1);
        for (int p = 1; p <= count; ++p)
            document.setValue(card, p, values[p - 1], false, nullptr);
        document.setTaskNotes(card, Dom::readAttributeString(element, QStringLiteral("notes")),
                              false, nullptr);
        const QList<HyperLink> links = readLinks(element);
        if (!links.isEmpty())
            document.setTaskLinks(card, links, false, nullptr);
        document.setTaskImage(card, Dom::readAttributeInt(element, QStringLiteral("image"), -1),
                              false, nullptr);
    }
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

void readPlan(Document &document, const DomDocument &dom, const QDomElement &root)
{
    const int version = readVersion(root);
    document.clear(false);
    readImages(document, items(root, QStringLiteral("images"), QStringLiteral("image")));
    readProperties(document, items(root, QStringLiteral("properties"), QStringLiteral("property")));
    readCards(document, items(root, QStringLiteral("cards"), QStringLiteral("card")));
    readView(document, dom, Dom::findChildElement(root, QStringLiteral("view")), version);
    readStoredViews(document, dom,
                    items(root, QStringLiteral("stored_views"), QStringLiteral("stored_view")));
    fitVisibilities(document.editableCurrentView(), document.propertyCount());
    for (Slice &slice : document.storedViewsRef())
        fitVisibilities(slice, document.propertyCount());
}

bool tooLarge(const QDomElement &root)
{
    const qint64 properties
        = Dom::elementsByTag(Dom::findChildElement(root, QStringLiteral("properties")),
                             QStringLiteral("property"))
              .count();
    const qint64 cards = Dom::elementsByTag(Dom::findChildElement(root, QStringLiteral("cards")),
                                            QStringLiteral("card"))
                             .count();
    return (properties + 1) * cards > maximumValueCount;
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
    DomDocument dom(QString::fromLatin1(planFileTypeName));
    QString parseError;
    int line = 0;
    int column = 0;
    if (!dom.setContent(&file, false, &parseError, &line, &column)) {
        *errorMessage = QStringLiteral("Format error '%1' detected at line %2 column %3.\n"
                                       "Contact support if you are sure this a Tavrolo file.")
                            .arg(parseError)
                            .arg(line)
                            .arg(column);
        return false;
    }
    file.close();
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
    if (tooLarge(root)) {
        *errorMessage = QStringLiteral("The file '%1' holds more cards and properties than "
                                       "can be opened.")
                            .arg(fileName);
        return false;
    }
    *savedByLaterVersion = readVersion(root) > planFileVersion;
    readPlan(document, dom, root);
    return true;
}
