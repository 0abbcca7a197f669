#include "storage/PlanFileWriter.h"

#include "common/core/BusyCursor.h"
#include "common/core/FileHelpers.h"
#include "common/core/TextHelpers.h"
#include "common/core/Version.h"
#include "model/Document.h"
#include "model/SharedTexts.h"
#include "storage/DomDocument.h"
#include "storage/SafeSave.h"
#include "storage/XmlTextWriter.h"

#include <QBuffer>
#include <QDate>

const char planFileTypeName[] = "tavrolo";

// The file is written as it is made, element by element, with attributes in name order.

namespace {

// The Cards appearance fields go to plan files and, through a tree, to the preferences; one
// list serves both.
template<typename Fields>
void writeCardsAppearanceFields(Fields &out, const CardsAppearance &a)
{
    out.writeValueDouble("card_aspect_ratio", a.aspectRatio);
    out.writeValueInt("cell_layout", a.cellLayout);
    out.writeValueFont("card_font", a.cardFont);
    out.writeValueInt("card_font_scaled", a.fontScaling);
    out.writeValueBool("header_show_name", a.headersShowName);
    out.writeValueInt("header_type", a.headerType);
    out.writeValueInt("header_transparency", a.headerTransparency);
    out.writeValueInt("header_row_text_orientation", a.rowHeaderTextOrientation);
    out.writeValueInt("card_font_size", a.cardFontSize);
    out.writeValueInt("header_font_scaled", a.headerFontScaling);
    out.writeValueInt("header_font_size", a.headerFontSize);
    out.writeValueString("title", a.title);
    out.writeValueInt("title_size", a.titleSize);
    out.writeValueString("footer", a.footer);
    out.writeValueInt("footer_size", a.footerSize);
    out.writeValueColor("card_selection_color", a.selectionColor);
    out.writeValueColor("card_header_color", a.headerColor);
    out.writeValueColor("card_header_text_color", a.headerTextColor);
    out.writeValueColor("card_line_color", a.lineColor);
    out.writeValueColor("card_background_color", a.backgroundColor);
    out.writeValueInt("card_header_size", a.headerSize);
    out.writeValueInt("card_gradient_effect", a.gradient);
    out.writeValueInt("card_show_legend", a.showLegend);
    out.writeValueInt("card_show_drop_shadow", a.dropShadow);
    out.writeValueInt("card_shape", a.shape);
}

// Field elements appended to one element of a tree.
class DomFields
{
public:
    DomFields(DomDocument &dom, QDomElement &parent) : m_dom(dom), m_parent(parent) { }
    void writeValueString(const char *tag, const QString &text)
    {
        m_dom.writeValueString(m_parent, QLatin1String(tag), text);
    }
    void writeValueInt(const char *tag, int value)
    {
        m_dom.writeValueInt(m_parent, QLatin1String(tag), value);
    }
    void writeValueDouble(const char *tag, double value)
    {
        m_dom.writeValueDouble(m_parent, QLatin1String(tag), value);
    }
    void writeValueBool(const char *tag, bool value)
    {
        m_dom.writeValueBool(m_parent, QLatin1String(tag), value);
    }
    void writeValueColor(const char *tag, const QColor &color)
    {
        m_dom.writeValueColor(m_parent, QLatin1String(tag), color);
    }
    void writeValueFont(const char *tag, const QFont &font)
    {
        m_dom.writeValueFont(m_parent, QLatin1String(tag), font);
    }

private:
    DomDocument &m_dom;
    QDomElement &m_parent;
};

void writeMeta(XmlTextWriter &out)
{
    out.startElement("meta");
    out.writeValueInt("version", planFileVersion);
    out.writeValueString("last_saved_by", lastSavedByText());
    out.endElement();
}

void writeChartsSettings(XmlTextWriter &out, const Document &document)
{
    out.writeValueInt("chart_show_property", document.chartShowProperty());
    out.writeValueInt("chart_by_property", document.chartByProperty());
    out.writeValueInt("chart_per_property", document.chartPerProperty());
    out.writeValueBool("chart_hide_zero_bars", document.chartsHideZeroBars());
    out.writeValueBool("chart_hide_empty", document.chartsHideEmpty());
    out.writeValueBool("chart_use_cards_filter", document.chartsFiltering());
}

void writeView(XmlTextWriter &out, const Document &document)
{
    out.startElement("view");
    writeSliceXml(out, document.currentView());
    writeCardsAppearanceXml(out, document.cardsAppearance());
    writeChartsSettings(out, document);
    writeChartsAppearanceXml(out, document.chartsAppearance());
    writeTableAppearanceXml(out, document.tableAppearance());
    out.endElement();
}

void writeImages(XmlTextWriter &out, const Document &document)
{
    out.startElement("images");
    for (const Image &image : document.images()) {
        out.startElement("image");
        out.writeEncodedAttribute("format", QStringLiteral("PNG"));
        out.writeEncodedAttribute("name", image.name());
        out.writeEncodedAttribute("stock_resource", image.path());
        // Hexadecimal digits stand for themselves in an encoded text.
        out.writeLatin1Attribute("value", image.storedBytes().toHex());
        out.endElement();
    }
    out.endElement();
}

void writeDateColors(XmlTextWriter &out, const PropertyAppearance &appearance)
{
    if (appearance.dateColors().isEmpty())
        return;
    out.startElement("date_colors");
    for (auto it = appearance.dateColors().cbegin(); it != appearance.dateColors().cend(); ++it) {
        out.startElement("date_color");
        out.writeColorAttribute("color", it.value());
        out.writeIntAttribute("value", it.key());
        out.endElement();
    }
    out.endElement();
}

// Colours of values that no card and no predefined value holds any more are dropped here.
void writeTextColors(XmlTextWriter &out, const PropertyAppearance &appearance,
                     const QStringList &valueList)
{
    if (appearance.textColors().isEmpty())
        return;
    SharedTexts present(SharedTexts::KeepAll);
    for (const QString &text : valueList)
        present.add(text);
    out.startElement("text_colors");
    for (auto it = appearance.textColors().cbegin(); it != appearance.textColors().cend(); ++it) {
        if (present.indexOf(it.key()) < 0)
            continue;
        out.startElement("text_color");
        out.writeColorAttribute("color", it.value());
        out.writeEncodedAttribute("value", it.key());
        out.endElement();
    }
    out.endElement();
}

void writeProperty(XmlTextWriter &out, const Document &document, int p,
                   const QStringList &valueList)
{
    const Property &property = document.property(p);
    const PropertyAppearance &appearance = property.appearanceRef();
    out.startElement("property");
    out.writeValueString("name", property.name());
    out.writeValueString("default", property.defaultValue());
    out.writeValueInt("type", property.type());
    out.writeValueStringList("predefined_values", document.predefinedValues(p));
    out.writeValueColor("min_color", appearance.minColor());
    out.writeValueColor("max_color", appearance.maxColor());
    out.writeValueInt("bin_size", appearance.binSize());
    out.writeValueInt("date_bin_size", appearance.dateBinSize());
    out.writeValueBool("show_empty", appearance.showEmpty());
    out.writeValueStringList("text_order", valueList);
    writeDateColors(out, appearance);
    writeTextColors(out, appearance, valueList);
    out.endElement();
}

void writeProperties(XmlTextWriter &out, const Document &document)
{
    out.startElement("properties");
    // The text order holds every value in the user's order; gathered in one go, as each
    // property on its own would mean a look-up per card.
    const QList<QStringList> valueLists = document.valuesOfEveryProperty();
    for (int p = 1; p < document.propertyCount(); ++p)
        writeProperty(out, document, p, valueLists.at(p));
    out.endElement();
}

void writeLinks(XmlTextWriter &out, const QList<HyperLink> &links)
{
    if (links.isEmpty())
        return;
    out.startElement("links");
    for (const HyperLink &link : links) {
        out.startElement("link");
        out.writeEncodedAttribute("link_name", link.name());
        out.writeEncodedAttribute("value", link.urlText());
        out.endElement();
    }
    out.endElement();
}

void writeCards(XmlTextWriter &out, const Document &document)
{
    out.startElement("cards");
    for (int t = 0; t < document.taskCount(); ++t) {
        const Task &task = document.task(t);
        out.startElement("card");
        out.writeIntAttribute("image", task.imageIndex());
        out.writeEncodedAttribute("notes", task.notes());
        // Straight from the plan's columns: no list of the card's values is made.
        out.writeListAttribute("value", document.propertyCount() - 1,
                               [&document, t](int i) { return document.value(t, i + 1); });
        writeLinks(out, task.hyperLinks());
        out.endElement();
    }
    out.endElement();
}

void writeStoredViews(XmlTextWriter &out, const Document &document)
{
    out.startElement("stored_views");
    for (const Slice &slice : document.storedViews()) {
        out.startElement("stored_view");
        out.writeEncodedAttribute("value", slice.name);
        writeSliceXml(out, slice);
        out.endElement();
    }
    out.endElement();
}

void writeFilterTerms(XmlTextWriter &out, const QList<FilterTerm> &terms)
{
    out.startElement("filter_terms");
    for (const FilterTerm &term : terms) {
        out.startElement("filter_term");
        out.writeIntAttribute("match_type", term.matchType);
        out.writeIntAttribute("property", term.propertyIndex);
        out.writeEncodedAttribute("value", term.value);
        out.endElement();
    }
    out.endElement();
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

void writeSliceXml(XmlTextWriter &out, const Slice &slice)
{
    out.writeValueInt("x_property", slice.xProperty);
    out.writeValueInt("y_property", slice.yProperty);
    out.writeValueInt("cell_order_property", slice.cellOrderingProperty);
    out.writeValueInt("background_color_property", slice.cardColorProperty);
    out.writeValueInt("top_color_property", slice.highlightColorProperty);
    out.writeValueInt("total_property", slice.totalProperty);
    out.writeValueBool("total_in_cells", slice.showCellsTotals);
    out.writeValueInt("row_col_color", slice.rowColColor);
    // Property 0 is the placeholder; the reader puts its entry back in front.
    out.writeValueIntList("property_visibility", slice.propertyVisibilities.mid(1));
    out.writeValueBool("show_labels_on", slice.showLabels);
    out.writeValueBool("show_notes_icon", slice.showNotes);
    out.writeValueBool("show_hyperlinks_icon", slice.showHyperLinks);
    out.writeValueBool("show_images_on", slice.showImages);
    out.writeValueInt("image_position", slice.imagePosition);
    out.writeValueInt("image_size", slice.imageSize);
    out.writeValueBool("filter_basic", slice.filterBasic);
    out.writeValueBool("filter_show", slice.filterShowsMatching);
    out.writeValueBool("filter_any", slice.filterMatchAny);
    writeFilterTerms(out, slice.filterTerms);
    if (slice.storeAppearance) {
        out.startElement("appearance");
        out.writeValueInt("version", planFileVersion);
        writeCardsAppearanceXml(out, slice.appearance);
        out.endElement();
    }
}

void writeCardsAppearanceXml(XmlTextWriter &out, const CardsAppearance &appearance)
{
    writeCardsAppearanceFields(out, appearance);
}

void writeCardsAppearanceXml(DomDocument &dom, QDomElement &parent,
                             const CardsAppearance &appearance)
{
    DomFields fields(dom, parent);
    writeCardsAppearanceFields(fields, appearance);
}

void writeChartsAppearanceXml(XmlTextWriter &out, const ChartsAppearance &a)
{
    out.writeValueFont("chart_font", a.font);
    out.writeValueString("chart_title", a.title);
    out.writeValueInt("chart_title_size", a.titleSize);
    out.writeValueString("chart_footer", a.footer);
    out.writeValueInt("chart_footer_size", a.footerSize);
    out.writeValueColor("chart_text_color", a.textColor);
    out.writeValueColor("chart_line_color", a.lineColor);
    out.writeValueColor("chart_background_color", a.backgroundColor);
    out.writeValueInt("chart_gradient_effect", a.gradient);
    out.writeValueInt("chart_show_legend", a.showLegend);
    out.writeValueBool("chart_show_axes", a.showAxesText);
    out.writeValueBool("chart_value_text", a.showValueText);
    out.writeValueBool("chart_by_text", a.showByText);
}

void writeTableAppearanceXml(XmlTextWriter &out, const TableAppearance &a)
{
    out.writeValueFont("table_font", a.font);
    out.writeValueInt("table_font_size", a.fontSize);
    out.writeValueInt("table_cell_color", a.cellColor);
}

bool writePlanText(const Document &document, QIODevice *device)
{
    // Every attribute is percent-encoded, so the text is ASCII whatever the plan holds.
    XmlTextWriter out(device, 3);
    out.writeDocumentType(planFileTypeName);
    out.startElement("root");
    writeMeta(out);
    writeView(out, document);
    writeImages(out, document);
    writeProperties(out, document);
    writeCards(out, document);
    writeStoredViews(out, document);
    out.endElement();
    return out.finish();
}

QByteArray planFileText(const Document &document)
{
    QByteArray text;
    QBuffer buffer(&text);
    buffer.open(QIODevice::WriteOnly);
    writePlanText(document, &buffer);
    return text;
}

namespace {

qint64 planFileBytesAllowed = maximumTextFileBytes;

} // namespace

qint64 maximumPlanFileBytes()
{
    return planFileBytesAllowed;
}

void setMaximumPlanFileBytes(qint64 bytes)
{
    planFileBytesAllowed = bytes;
}

bool writePlanFile(const Document &document, const QString &fileName, QString *errorMessage)
{
    return writePlanFile(document, fileName, errorMessage, SaveHooks());
}

bool writePlanFile(const Document &document, const QString &fileName, QString *errorMessage,
                   const SaveHooks &hooks)
{
    BusyCursor busy;
    const auto write = [&document](QIODevice &device) { return writePlanText(document, &device); };
    // A file the reader would refuse is never put in the place of one it reads.
    SaveHooks bounded = hooks;
    bounded.maximumBytes = planFileBytesAllowed;
    const SaveOutcome outcome = saveFileWithMessage(
        fileName, write, QStringLiteral("Can't open file '%1' to write.").arg(fileName),
        errorMessage, bounded);
    if (outcome == SaveOutcome::TooLarge)
        *errorMessage = QStringLiteral("Can't save '%1': the plan is too large to be saved.\n"
                                       "Its file would be larger than can be opened again. "
                                       "Pictures and long texts are what make a plan this large.")
                            .arg(fileName);
    return outcome == SaveOutcome::Saved;
}
