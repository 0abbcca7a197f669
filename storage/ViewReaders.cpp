#include "storage/ViewReaders.h"

#include "model/CardsAppearance.h"
#include "model/ChartsAppearance.h"
#include "model/Slice.h"
#include "model/TableAppearance.h"
#include "storage/DomDocument.h"
#include "storage/PlanFileWriter.h"

#include <climits>

namespace {

using Dom = DomDocument;

QFont defaultFont()
{
    return QFont(QStringLiteral("Helvetica Neue"));
}

// Sizes of files up to version 6 are a third of today's; huge hand-written ones stay ints.
int tripled(int size)
{
    return int(qBound<qint64>(INT_MIN, 3 * qint64(size), INT_MAX));
}

// The first terms, as many as are still allowed; returns how many more the file holds.
int readFilterTerms(const QDomElement &parent, QList<FilterTerm> &terms, qint64 &termsAllowed)
{
    const QList<QDomElement> items
        = Dom::items(parent, QStringLiteral("filter_terms"), QStringLiteral("filter_term"));
    const int kept = int(qBound<qint64>(0, termsAllowed, items.size()));
    termsAllowed -= kept;
    for (int i = 0; i < kept; ++i) {
        const QDomElement &item = items.at(i);
        terms << FilterTerm(
            Dom::readAttributeInt(item, QStringLiteral("property"), 0),
            Dom::readAttributeInt(item, QStringLiteral("match_type"), MatchType::Contains),
            Dom::readAttributeString(item, QStringLiteral("value")));
    }
    return items.size() - kept;
}

} // namespace

qint64 filterTermsAllowed(qint64 fileSize)
{
    return qMax(filterTermsAlwaysAllowed, fileSize / bytesPerFilterTerm);
}

int readSliceXml(const DomDocument &dom, const QDomElement &parent, Slice &slice,
                 qint64 &termsAllowed)
{
    slice.xProperty = Dom::readValueInt(parent, QStringLiteral("x_property"), 0);
    slice.yProperty = Dom::readValueInt(parent, QStringLiteral("y_property"), 0);
    slice.cellOrderingProperty
        = Dom::readValueInt(parent, QStringLiteral("cell_order_property"), 0);
    slice.cardColorProperty
        = Dom::readValueInt(parent, QStringLiteral("background_color_property"), 0);
    slice.highlightColorProperty
        = Dom::readValueInt(parent, QStringLiteral("top_color_property"), 0);
    slice.totalProperty = Dom::readValueInt(parent, QStringLiteral("total_property"), 0);
    slice.showCellsTotals = Dom::readValueBool(parent, QStringLiteral("total_in_cells"), false);
    slice.rowColColor = Dom::readValueInt(parent, QStringLiteral("row_col_color"), 0);
    // The file leaves out the placeholder property's entry.
    slice.propertyVisibilities = QList<int>() << 0;
    slice.propertyVisibilities << Dom::readValueIntList(parent,
                                                        QStringLiteral("property_visibility"));
    slice.showLabels = Dom::readValueBool(parent, QStringLiteral("show_labels_on"), false);
    slice.showNotes = Dom::readValueBool(parent, QStringLiteral("show_notes_icon"), false);
    slice.showHyperLinks
        = Dom::readValueBool(parent, QStringLiteral("show_hyperlinks_icon"), false);
    slice.showImages = Dom::readValueBool(parent, QStringLiteral("show_images_on"), true);
    slice.imagePosition = Dom::readValueInt(parent, QStringLiteral("image_position"), 0);
    slice.imageSize = Dom::readValueInt(parent, QStringLiteral("image_size"), 1);
    slice.filterBasic = Dom::readValueBool(parent, QStringLiteral("filter_basic"), true);
    slice.filterShowsMatching = Dom::readValueBool(parent, QStringLiteral("filter_show"), true);
    slice.filterMatchAny = Dom::readValueBool(parent, QStringLiteral("filter_any"), true);
    const int termsLeftOut = readFilterTerms(parent, slice.filterTerms, termsAllowed);
    const QDomElement appearance = Dom::findChildElement(parent, QStringLiteral("appearance"));
    slice.storeAppearance = !appearance.isNull();
    // A view's own appearance was always written in the current scale.
    if (slice.storeAppearance)
        readCardsAppearanceXml(dom, planFileVersion, appearance, slice.appearance);
    return termsLeftOut;
}

void readCardsAppearanceXml(const DomDocument &, int version, const QDomElement &parent,
                            CardsAppearance &a)
{
    const bool oldSizeScale = version <= 6;
    a.cellLayout = Dom::readValueInt(parent, QStringLiteral("cell_layout"), 0);
    a.aspectRatio = Dom::readValueDouble(parent, QStringLiteral("card_aspect_ratio"), 1.3);
    a.cardFont = Dom::readValueFont(parent, QStringLiteral("card_font"), defaultFont());
    a.fontScaling = Dom::readValueInt(parent, QStringLiteral("card_font_scaled"), 2);
    a.headersShowName = Dom::readValueBool(parent, QStringLiteral("header_show_name"), false);
    a.headerType = Dom::readValueInt(parent, QStringLiteral("header_type"), 0);
    a.headerTransparency = Dom::readValueInt(parent, QStringLiteral("header_transparency"), 0);
    a.rowHeaderTextOrientation = Dom::readValueInt(
        parent, QStringLiteral("header_row_text_orientation"), version >= 14 ? 1 : 0);
    a.cardFontSize = Dom::readValueInt(parent, QStringLiteral("card_font_size"), 70);
    a.headerFontScaling = Dom::readValueInt(parent, QStringLiteral("header_font_scaled"), 2);
    a.headerFontSize = Dom::readValueInt(parent, QStringLiteral("header_font_size"), 30);
    a.title = Dom::readValueString(parent, QStringLiteral("title"));
    a.titleSize = oldSizeScale
        ? tripled(Dom::readValueInt(parent, QStringLiteral("title_size"), 40))
        : Dom::readValueInt(parent, QStringLiteral("title_size"), 120);
    a.footer = Dom::readValueString(parent, QStringLiteral("footer"));
    a.footerSize = Dom::readValueInt(parent, QStringLiteral("footer_size"), 90);
    a.selectionColor
        = Dom::readValueColor(parent, QStringLiteral("card_selection_color"), QColor(0, 0, 255));
    a.headerColor
        = Dom::readValueColor(parent, QStringLiteral("card_header_color"), QColor(235, 235, 235));
    a.headerTextColor
        = Dom::readValueColor(parent, QStringLiteral("card_header_text_color"), QColor(0, 0, 0));
    a.lineColor = Dom::readValueColor(parent, QStringLiteral("card_line_color"), QColor(0, 0, 0));
    a.backgroundColor = Dom::readValueColor(parent, QStringLiteral("card_background_color"),
                                            QColor(255, 255, 255));
    a.headerSize = oldSizeScale
        ? tripled(Dom::readValueInt(parent, QStringLiteral("card_header_size"), 50))
        : Dom::readValueInt(parent, QStringLiteral("card_header_size"), 150);
    a.gradient = Dom::readValueInt(parent, QStringLiteral("card_gradient_effect"), 15);
    a.showLegend = Dom::readValueInt(parent, QStringLiteral("card_show_legend"), 0);
    a.dropShadow = Dom::readValueInt(parent, QStringLiteral("card_show_drop_shadow"), 0);
    a.shape = Dom::readValueInt(parent, QStringLiteral("card_shape"), 0);
}

void readChartsAppearanceXml(const DomDocument &, const QDomElement &parent, ChartsAppearance &a)
{
    a.font = Dom::readValueFont(parent, QStringLiteral("chart_font"), defaultFont());
    a.title = Dom::readValueString(parent, QStringLiteral("chart_title"));
    a.titleSize = Dom::readValueInt(parent, QStringLiteral("chart_title_size"), 120);
    a.footer = Dom::readValueString(parent, QStringLiteral("chart_footer"));
    a.footerSize = Dom::readValueInt(parent, QStringLiteral("chart_footer_size"), 90);
    a.textColor = Dom::readValueColor(parent, QStringLiteral("chart_text_color"), QColor(0, 0, 0));
    a.lineColor
        = Dom::readValueColor(parent, QStringLiteral("chart_line_color"), QColor(160, 160, 164));
    a.backgroundColor = Dom::readValueColor(parent, QStringLiteral("chart_background_color"),
                                            QColor(255, 255, 255));
    a.gradient = Dom::readValueInt(parent, QStringLiteral("chart_gradient_effect"), 15);
    a.showLegend = Dom::readValueInt(parent, QStringLiteral("chart_show_legend"), 0);
    a.showAxesText = Dom::readValueBool(parent, QStringLiteral("chart_show_axes"), true);
    a.showValueText = Dom::readValueBool(parent, QStringLiteral("chart_value_text"), true);
    a.showByText = Dom::readValueBool(parent, QStringLiteral("chart_by_text"), true);
}

void readTableAppearanceXml(const DomDocument &, const QDomElement &parent, TableAppearance &a)
{
    a.font = Dom::readValueFont(parent, QStringLiteral("table_font"), defaultFont());
    a.fontSize = Dom::readValueInt(parent, QStringLiteral("table_font_size"), 12);
    a.cellColor = Dom::readValueInt(parent, QStringLiteral("table_cell_color"), 0);
}
