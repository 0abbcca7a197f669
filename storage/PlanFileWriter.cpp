#include "storage/PlanFileWriter.h"

#include "common/BusyCursor.h"
#include "common/TextHelpers.h"
#include "common/Version.h"
#include "model/Document.h"
#include "storage/DomDocument.h"
#include "storage/SafeSave.h"

#include <QDate>
#include <QSet>

const char planFileTypeName[] = "tavrolo";

namespace {

const QString valueAttribute = QStringLiteral("value");

void writeMeta(DomDocument &dom, QDomElement &root)
{
    QDomElement meta = dom.createElement(QStringLiteral("meta"));
    dom.writeValueString(meta, QStringLiteral("version"), QString::number(planFileVersion));
    dom.writeValueString(meta, QStringLiteral("last_saved_by"), lastSavedByText());
    root.appendChild(meta);
}

void writeChartsSettings(DomDocument &dom, QDomElement &view, const Document &document)
{
    dom.writeValueInt(view, QStringLiteral("chart_show_property"), document.chartShowProperty());
    dom.writeValueInt(view, QStringLiteral("chart_by_property"), document.chartByProperty());
    dom.writeValueInt(view, QStringLiteral("chart_per_property"), document.chartPerProperty());
    dom.writeValueBool(view, QStringLiteral("chart_hide_zero_bars"), document.chartsHideZeroBars());
    dom.writeValueBool(view, QStringLiteral("chart_hide_empty"), document.chartsHideEmpty());
    dom.writeValueBool(view, QStringLiteral("chart_use_cards_filter"), document.chartsFiltering());
}

void writeView(DomDocument &dom, QDomElement &root, const Document &document)
{
    QDomElement view = dom.createElement(QStringLiteral("view"));
    writeSliceXml(dom, view, document.currentView());
    writeCardsAppearanceXml(dom, view, document.cardsAppearance());
    writeChartsSettings(dom, view, document);
    writeChartsAppearanceXml(dom, view, document.chartsAppearance());
    writeTableAppearanceXml(dom, view, document.tableAppearance());
    root.appendChild(view);
}

void writeImages(DomDocument &dom, QDomElement &root, const Document &document)
{
    QDomElement images = dom.createElement(QStringLiteral("images"));
    for (const Image &image : document.images()) {
        QDomElement element = dom.createElement(QStringLiteral("image"));
        DomDocument::setAttributeString(element, QStringLiteral("name"), image.name());
        DomDocument::setAttributeString(element, QStringLiteral("stock_resource"), image.path());
        DomDocument::setAttributeImage(element, valueAttribute, image.toImage());
        DomDocument::setAttributeString(element, QStringLiteral("format"), QStringLiteral("PNG"));
        images.appendChild(element);
    }
    root.appendChild(images);
}

void writeDateColors(DomDocument &dom, QDomElement &property, const PropertyAppearance &appearance)
{
    if (appearance.dateColors().isEmpty())
        return;
    QDomElement colors = dom.createElement(QStringLiteral("date_colors"));
    for (auto it = appearance.dateColors().cbegin(); it != appearance.dateColors().cend(); ++it) {
        QDomElement entry = dom.createElement(QStringLiteral("date_color"));
        DomDocument::setAttributeInt(entry, valueAttribute, it.key());
        DomDocument::setAttributeColor(entry, QStringLiteral("color"), it.value());
        colors.appendChild(entry);
    }
    property.appendChild(colors);
}

// Colours of values that no card and no predefined value holds any more are dropped here.
void writeTextColors(DomDocument &dom, QDomElement &property, const PropertyAppearance &appearance,
                     const QStringList &valueList)
{
    if (appearance.textColors().isEmpty())
        return;
    const QSet<QString> present(valueList.cbegin(), valueList.cend());
    QDomElement colors = dom.createElement(QStringLiteral("text_colors"));
    for (auto it = appearance.textColors().cbegin(); it != appearance.textColors().cend(); ++it) {
        if (!present.contains(it.key()))
            continue;
        QDomElement entry = dom.createElement(QStringLiteral("text_color"));
        DomDocument::setAttributeString(entry, valueAttribute, it.key());
        DomDocument::setAttributeColor(entry, QStringLiteral("color"), it.value());
        colors.appendChild(entry);
    }
    property.appendChild(colors);
}

void writeProperty(DomDocument &dom, QDomElement &properties, const Document &document, int p,
                   const QStringList &valueList)
{
    const Property &property = document.property(p);
    const PropertyAppearance &appearance = property.appearanceRef();
    QDomElement element = dom.createElement(QStringLiteral("property"));
    dom.writeValueString(element, QStringLiteral("name"), property.name());
    dom.writeValueString(element, QStringLiteral("default"), property.defaultValue());
    dom.writeValueInt(element, QStringLiteral("type"), property.type());
    dom.writeValueStringList(element, QStringLiteral("predefined_values"),
                             document.predefinedValues(p));
    dom.writeValueColor(element, QStringLiteral("min_color"), appearance.minColor());
    dom.writeValueColor(element, QStringLiteral("max_color"), appearance.maxColor());
    dom.writeValueInt(element, QStringLiteral("bin_size"), appearance.binSize());
    dom.writeValueInt(element, QStringLiteral("date_bin_size"), appearance.dateBinSize());
    dom.writeValueBool(element, QStringLiteral("show_empty"), appearance.showEmpty());
    dom.writeValueStringList(element, QStringLiteral("text_order"), valueList);
    writeDateColors(dom, element, appearance);
    writeTextColors(dom, element, appearance, valueList);
    properties.appendChild(element);
}

void writeProperties(DomDocument &dom, QDomElement &root, const Document &document)
{
    QDomElement properties = dom.createElement(QStringLiteral("properties"));
    // The text order holds every value in the user's order; gathered in one go, as each
    // property on its own would mean a look-up per card.
    const QList<QStringList> valueLists = document.valuesOfEveryProperty(2, true, true, false);
    for (int p = 1; p < document.propertyCount(); ++p)
        writeProperty(dom, properties, document, p, valueLists.at(p));
    root.appendChild(properties);
}

void writeLinks(DomDocument &dom, QDomElement &card, const QList<HyperLink> &links)
{
    if (links.isEmpty())
        return;
    QDomElement element = dom.createElement(QStringLiteral("links"));
    for (const HyperLink &link : links) {
        QDomElement entry = dom.createElement(QStringLiteral("link"));
        DomDocument::setAttributeString(entry, valueAttribute, link.displayUrl());
        DomDocument::setAttributeString(entry, QStringLiteral("link_name"), link.name());
        element.appendChild(entry);
    }
    card.appendChild(element);
}

void writeCards(DomDocument &dom, QDomElement &root, const Document &document)
{
    QDomElement cards = dom.createElement(QStringLiteral("cards"));
    for (int t = 0; t < document.taskCount(); ++t) {
        const Task &task = document.task(t);
        QDomElement card = dom.createElement(QStringLiteral("card"));
        DomDocument::setAttributeList(card, valueAttribute, document.taskValues(t));
        DomDocument::setAttributeString(card, QStringLiteral("notes"), task.notes());
        writeLinks(dom, card, task.hyperLinks());
        DomDocument::setAttributeInt(card, QStringLiteral("image"), task.imageIndex());
        cards.appendChild(card);
    }
    root.appendChild(cards);
}

void writeStoredViews(DomDocument &dom, QDomElement &root, const Document &document)
{
    QDomElement views = dom.createElement(QStringLiteral("stored_views"));
    for (const Slice &slice : document.storedViews()) {
        QDomElement view = dom.createElement(QStringLiteral("stored_view"));
        DomDocument::setAttributeString(view, valueAttribute, slice.name);
        writeSliceXml(dom, view, slice);
        views.appendChild(view);
    }
    root.appendChild(views);
}

void writeFilterTerms(DomDocument &dom, QDomElement &parent, const QList<FilterTerm> &terms)
{
    QDomElement element = dom.createElement(QStringLiteral("filter_terms"));
    for (const FilterTerm &term : terms) {
        QDomElement entry = dom.createElement(QStringLiteral("filter_term"));
        DomDocument::setAttributeInt(entry, QStringLiteral("match_type"), term.matchType);
        DomDocument::setAttributeInt(entry, QStringLiteral("property"), term.propertyIndex);
        DomDocument::setAttributeString(entry, valueAttribute, term.value);
        element.appendChild(entry);
    }
    parent.appendChild(element);
}

} // namespace

QString lastSavedByText()
{
    QString text = QStringLiteral("%1 v%2.%3.%4 on %5 at %6")
                       .arg(QStringLiteral("Tavrolo"))
                       .arg(versionMajor)
                       .arg(versionMinor)
                       .arg(versionPatch)
                       .arg(osVersionText(), QDate::currentDate().toString(Qt::ISODate));
    text.replace(QLatin1Char(' '), QLatin1Char('_'));
    return text;
}

void writeSliceXml(DomDocument &dom, QDomElement &parent, const Slice &slice)
{
    dom.writeValueInt(parent, QStringLiteral("x_property"), slice.xProperty);
    dom.writeValueInt(parent, QStringLiteral("y_property"), slice.yProperty);
    dom.writeValueInt(parent, QStringLiteral("cell_order_property"), slice.cellOrderingProperty);
    dom.writeValueInt(parent, QStringLiteral("background_color_property"), slice.cardColorProperty);
    dom.writeValueInt(parent, QStringLiteral("top_color_property"), slice.highlightColorProperty);
    dom.writeValueInt(parent, QStringLiteral("total_property"), slice.totalProperty);
    dom.writeValueBool(parent, QStringLiteral("total_in_cells"), slice.showCellsTotals);
    dom.writeValueInt(parent, QStringLiteral("row_col_color"), slice.rowColColor);
    // Property 0 is the placeholder; the reader puts its entry back in front.
    dom.writeValueIntList(parent, QStringLiteral("property_visibility"),
                          slice.propertyVisibilities.mid(1));
    dom.writeValueBool(parent, QStringLiteral("show_labels_on"), slice.showLabels);
    dom.writeValueBool(parent, QStringLiteral("show_notes_icon"), slice.showNotes);
    dom.writeValueBool(parent, QStringLiteral("show_hyperlinks_icon"), slice.showHyperLinks);
    dom.writeValueBool(parent, QStringLiteral("show_images_on"), slice.showImages);
    dom.writeValueInt(parent, QStringLiteral("image_position"), slice.imagePosition);
    dom.writeValueInt(parent, QStringLiteral("image_size"), slice.imageSize);
    dom.writeValueBool(parent, QStringLiteral("filter_basic"), slice.filterBasic);
    dom.writeValueBool(parent, QStringLiteral("filter_show"), slice.filterShowsMatching);
    dom.writeValueBool(parent, QStringLiteral("filter_any"), slice.filterMatchAny);
    writeFilterTerms(dom, parent, slice.filterTerms);
    if (slice.storeAppearance) {
        QDomElement appearance = dom.createElement(QStringLiteral("appearance"));
        dom.writeValueString(appearance, QStringLiteral("version"),
                             QString::number(planFileVersion));
        writeCardsAppearanceXml(dom, appearance, slice.appearance);
        parent.appendChild(appearance);
    }
}

void writeCardsAppearanceXml(DomDocument &dom, QDomElement &parent, const CardsAppearance &a)
{
    dom.writeValueDouble(parent, QStringLiteral("card_aspect_ratio"), a.aspectRatio);
    dom.writeValueInt(parent, QStringLiteral("cell_layout"), a.cellLayout);
    dom.writeValueFont(parent, QStringLiteral("card_font"), a.cardFont);
    dom.writeValueInt(parent, QStringLiteral("card_font_scaled"), a.fontScaling);
    dom.writeValueBool(parent, QStringLiteral("header_show_name"), a.headersShowName);
    dom.writeValueInt(parent, QStringLiteral("header_type"), a.headerType);
    dom.writeValueInt(parent, QStringLiteral("header_transparency"), a.headerTransparency);
    dom.writeValueInt(parent, QStringLiteral("header_row_text_orientation"),
                      a.rowHeaderTextOrientation);
    dom.writeValueInt(parent, QStringLiteral("card_font_size"), a.cardFontSize);
    dom.writeValueInt(parent, QStringLiteral("header_font_scaled"), a.headerFontScaling);
    dom.writeValueInt(parent, QStringLiteral("header_font_size"), a.headerFontSize);
    dom.writeValueString(parent, QStringLiteral("title"), a.title);
    dom.writeValueInt(parent, QStringLiteral("title_size"), a.titleSize);
    dom.writeValueString(parent, QStringLiteral("footer"), a.footer);
    dom.writeValueInt(parent, QStringLiteral("footer_size"), a.footerSize);
    dom.writeValueColor(parent, QStringLiteral("card_selection_color"), a.selectionColor);
    dom.writeValueColor(parent, QStringLiteral("card_header_color"), a.headerColor);
    dom.writeValueColor(parent, QStringLiteral("card_header_text_color"), a.headerTextColor);
    dom.writeValueColor(parent, QStringLiteral("card_line_color"), a.lineColor);
    dom.writeValueColor(parent, QStringLiteral("card_background_color"), a.backgroundColor);
    dom.writeValueInt(parent, QStringLiteral("card_header_size"), a.headerSize);
    dom.writeValueInt(parent, QStringLiteral("card_gradient_effect"), a.gradient);
    dom.writeValueInt(parent, QStringLiteral("card_show_legend"), a.showLegend);
    dom.writeValueInt(parent, QStringLiteral("card_show_drop_shadow"), a.dropShadow);
    dom.writeValueInt(parent, QStringLiteral("card_shape"), a.shape);
}

void writeChartsAppearanceXml(DomDocument &dom, QDomElement &parent, const ChartsAppearance &a)
{
    dom.writeValueFont(parent, QStringLiteral("chart_font"), a.font);
    dom.writeValueString(parent, QStringLiteral("chart_title"), a.title);
    dom.writeValueInt(parent, QStringLiteral("chart_title_size"), a.titleSize);
    dom.writeValueString(parent, QStringLiteral("chart_footer"), a.footer);
    dom.writeValueInt(parent, QStringLiteral("chart_footer_size"), a.footerSize);
    dom.writeValueColor(parent, QStringLiteral("chart_text_color"), a.textColor);
    dom.writeValueColor(parent, QStringLiteral("chart_line_color"), a.lineColor);
    dom.writeValueColor(parent, QStringLiteral("chart_background_color"), a.backgroundColor);
    dom.writeValueInt(parent, QStringLiteral("chart_gradient_effect"), a.gradient);
    dom.writeValueInt(parent, QStringLiteral("chart_show_legend"), a.showLegend);
    dom.writeValueBool(parent, QStringLiteral("chart_show_axes"), a.showAxesText);
    dom.writeValueBool(parent, QStringLiteral("chart_value_text"), a.showValueText);
    dom.writeValueBool(parent, QStringLiteral("chart_by_text"), a.showByText);
}

void writeTableAppearanceXml(DomDocument &dom, QDomElement &parent, const TableAppearance &a)
{
    dom.writeValueFont(parent, QStringLiteral("table_font"), a.font);
    dom.writeValueInt(parent, QStringLiteral("table_font_size"), a.fontSize);
    dom.writeValueInt(parent, QStringLiteral("table_cell_color"), a.cellColor);
}

QByteArray planFileText(const Document &document)
{
    DomDocument dom(QString::fromLatin1(planFileTypeName));
    QDomElement root = dom.createElement(QStringLiteral("root"));
    dom.appendChild(root);
    writeMeta(dom, root);
    writeView(dom, root, document);
    writeImages(dom, root, document);
    writeProperties(dom, root, document);
    writeCards(dom, root, document);
    writeStoredViews(dom, root, document);
    // Every attribute is percent-encoded, so the text is ASCII whatever the plan holds.
    return dom.toText(3);
}

bool writePlanFile(const Document &document, const QString &fileName, QString *errorMessage)
{
    BusyCursor busy;
    const QByteArray text = planFileText(document);
    int errorCode = 0;
    switch (saveFileContent(fileName, text, &errorCode)) {
    case SaveOutcome::OpenFailed:
        *errorMessage = QStringLiteral("Can't open file '%1' to write.").arg(fileName);
        return false;
    case SaveOutcome::WriteFailed:
        *errorMessage = QStringLiteral("Can't save to file. Error code %1.").arg(errorCode);
        return false;
    case SaveOutcome::Saved:
        break;
    }
    return true;
}
