#include "model/Document.h"

// The presentation setters of the Cards, Charts and Table tabs. They differ only in the field
// they write, their undo text and the events they report, so each is one call of a shared
// template; the change protocol lives in changePresentation alone.

namespace {

const QList<int> cardsAppearanceOnly {EventType::CardsAppearanceChanged};
// Title, footer, ratio and header sizes also move the cells, so the layout is redone too.
const QList<int> cardsAppearanceAndLayout {EventType::CardsAppearanceChanged,
                                           EventType::CardsLayoutChanged};
const QList<int> chartsSettingsOnly {EventType::ChartsSettingsChanged};
const QList<int> chartsAppearanceOnly {EventType::ChartsAppearanceChanged};
// Title, footer, font and legend change the room left for the bars.
const QList<int> chartsAppearanceAndSettings {EventType::ChartsAppearanceChanged,
                                              EventType::ChartsSettingsChanged};
const QList<int> tableAppearanceOnly {EventType::TableAppearanceChanged};

QString showOrHide(bool show, const char *what)
{
    return (show ? QStringLiteral("Show ") : QStringLiteral("Hide ")) + QLatin1String(what);
}

} // namespace

template<typename Store>
void Document::changePresentation(const QString &undoText, const QList<int> &eventTypes,
                                  bool undoable, QObject *source, Store store)
{
    announceChange(undoText, undoable);
    store();
    Events events(source);
    for (int type : eventTypes)
        events.add(type);
    notifyChange(events, undoable);
}

template<typename T>
void Document::setCardsAppearanceField(T CardsAppearance::*field, const T &value,
                                       const QString &undoText, const QList<int> &eventTypes,
                                       bool undoable, QObject *source)
{
    changePresentation(undoText, eventTypes, undoable, source, [&] {
        m_cardsAppearance.*field = value;
        // A view that keeps its own appearance must keep the one that is shown.
        if (m_currentView.storeAppearance)
            m_currentView.appearance.*field = value;
    });
}

template<typename T>
void Document::setCurrentViewField(T Slice::*field, const T &value, const QString &undoText,
                                   int eventType, bool undoable, QObject *source)
{
    changePresentation(undoText, {eventType}, undoable, source,
                       [&] { m_currentView.*field = value; });
}

template<typename Record, typename T>
void Document::setRecordField(Record &record, T Record::*field, const T &value,
                              const QString &undoText, const QList<int> &eventTypes, bool undoable)
{
    changePresentation(undoText, eventTypes, undoable, nullptr, [&] { record.*field = value; });
}

// Cards appearance

void Document::setCardAspectRatio(double ratio, bool undoable, QObject *source)
{
    setCardsAppearanceField(&CardsAppearance::aspectRatio, ratio,
                            QStringLiteral("Set Card Aspect Ratio"), cardsAppearanceAndLayout,
                            undoable, source);
}

void Document::setCardsCellLayout(int layout, bool undoable, QObject *source)
{
    setCardsAppearanceField(&CardsAppearance::cellLayout, layout,
                            QStringLiteral("Set Cards Cell Layout"), cardsAppearanceAndLayout,
                            undoable, source);
}

void Document::setCardFont(const QFont &font, bool undoable, QObject *source)
{
    setCardsAppearanceField(&CardsAppearance::cardFont, font, QStringLiteral("Set Card Font"),
                            cardsAppearanceOnly, undoable, source);
}

void Document::setCardFontScaling(int scaling, bool undoable, QObject *source)
{
    setCardsAppearanceField(&CardsAppearance::fontScaling, scaling,
                            QStringLiteral("Set Card Font Scaling"), cardsAppearanceOnly, undoable,
                            source);
}

void Document::setCardsHeadersShowName(bool show, bool undoable, QObject *source)
{
    setCardsAppearanceField(&CardsAppearance::headersShowName, show,
                            QStringLiteral("Set Cards Headers Show Name"), cardsAppearanceOnly,
                            undoable, source);
}

void Document::setCardsHeaderType(int type, bool undoable, QObject *source)
{
    setCardsAppearanceField(&CardsAppearance::headerType, type,
                            QStringLiteral("Set Cards Header Type"), cardsAppearanceOnly, undoable,
                            source);
}

void Document::setCardsHeaderTransparency(int transparency, bool undoable, QObject *source)
{
    setCardsAppearanceField(&CardsAppearance::headerTransparency, transparency,
                            QStringLiteral("Set Cards Header Transparency"), cardsAppearanceOnly,
                            undoable, source);
}

void Document::setCardsRowHeaderTextOrientation(int orientation, bool undoable, QObject *source)
{
    setCardsAppearanceField(&CardsAppearance::rowHeaderTextOrientation, orientation,
                            QStringLiteral("Set Cards Row Header Text Orientation"),
                            cardsAppearanceOnly, undoable, source);
}

void Document::setCardFontSize(int size, bool undoable, QObject *source)
{
    setCardsAppearanceField(&CardsAppearance::cardFontSize, size,
                            QStringLiteral("Set Card Font Size"), cardsAppearanceOnly, undoable,
                            source);
}

void Document::setHeaderFontScaling(int scaling, bool undoable, QObject *source)
{
    setCardsAppearanceField(&CardsAppearance::headerFontScaling, scaling,
                            QStringLiteral("Set Header Font Scaling"), cardsAppearanceOnly,
                            undoable, source);
}

void Document::setHeaderFontSize(int size, bool undoable, QObject *source)
{
    setCardsAppearanceField(&CardsAppearance::headerFontSize, size,
                            QStringLiteral("Set Header Font Size"), cardsAppearanceOnly, undoable,
                            source);
}

void Document::setCardsTitle(const QString &title, bool undoable, QObject *source)
{
    setCardsAppearanceField(&CardsAppearance::title, title, QStringLiteral("Set Cards Title"),
                            cardsAppearanceAndLayout, undoable, source);
}

void Document::setCardsTitleSize(int size, bool undoable, QObject *source)
{
    setCardsAppearanceField(&CardsAppearance::titleSize, size,
                            QStringLiteral("Set Cards Title Size"), cardsAppearanceAndLayout,
                            undoable, source);
}

void Document::setCardsFooter(const QString &footer, bool undoable, QObject *source)
{
    setCardsAppearanceField(&CardsAppearance::footer, footer, QStringLiteral("Set Cards Footer"),
                            cardsAppearanceAndLayout, undoable, source);
}

void Document::setCardsFooterSize(int size, bool undoable, QObject *source)
{
    setCardsAppearanceField(&CardsAppearance::footerSize, size,
                            QStringLiteral("Set Cards Footer Size"), cardsAppearanceAndLayout,
                            undoable, source);
}

void Document::setCardBackgroundColor(const QColor &color, bool undoable, QObject *source)
{
    setCardsAppearanceField(&CardsAppearance::backgroundColor, color,
                            QStringLiteral("Set Card Background Color"), cardsAppearanceOnly,
                            undoable, source);
}

void Document::setCardsSelectionColor(const QColor &color, bool undoable, QObject *source)
{
    setCardsAppearanceField(&CardsAppearance::selectionColor, color,
                            QStringLiteral("Set Cards Selection Color"), cardsAppearanceOnly,
                            undoable, source);
}

void Document::setHeaderColor(const QColor &color, bool undoable, QObject *source)
{
    setCardsAppearanceField(&CardsAppearance::headerColor, color,
                            QStringLiteral("Set Header Color"), cardsAppearanceOnly, undoable,
                            source);
}

void Document::setHeaderTextColor(const QColor &color, bool undoable, QObject *source)
{
    setCardsAppearanceField(&CardsAppearance::headerTextColor, color,
                            QStringLiteral("Set Header Text Color"), cardsAppearanceOnly, undoable,
                            source);
}

void Document::setCardsLineColor(const QColor &color, bool undoable, QObject *source)
{
    setCardsAppearanceField(&CardsAppearance::lineColor, color,
                            QStringLiteral("Set Cards Line Color"), cardsAppearanceOnly, undoable,
                            source);
}

void Document::setCardsHeaderSize(int size, bool undoable, QObject *source)
{
    setCardsAppearanceField(&CardsAppearance::headerSize, size,
                            QStringLiteral("Set Cards Header Size"), cardsAppearanceAndLayout,
                            undoable, source);
}

void Document::setCardsGradient(int gradient, bool undoable, QObject *source)
{
    setCardsAppearanceField(&CardsAppearance::gradient, gradient,
                            QStringLiteral("Set Cards Gradient"), cardsAppearanceOnly, undoable,
                            source);
}

void Document::setCardsShowLegend(int show, bool undoable, QObject *source)
{
    setCardsAppearanceField(&CardsAppearance::showLegend, show,
                            QStringLiteral("Set Cards Show Legend"), cardsAppearanceAndLayout,
                            undoable, source);
}

void Document::setShowDropShadow(int show, bool undoable, QObject *source)
{
    setCardsAppearanceField(&CardsAppearance::dropShadow, show,
                            QStringLiteral("Set Show Drop Shadow"), cardsAppearanceOnly, undoable,
                            source);
}

void Document::setCardsShape(int shape, bool undoable, QObject *source)
{
    setCardsAppearanceField(&CardsAppearance::shape, shape, QStringLiteral("Set Cards Shape"),
                            cardsAppearanceOnly, undoable, source);
}

void Document::setCardsAppearance(const CardsAppearance &appearance, bool undoable, QObject *source)
{
    changePresentation(QStringLiteral("Set Cards Appearance"),
                       {EventType::CardsLayoutChanged, EventType::CardsAppearanceChanged}, undoable,
                       source, [&] {
                           m_cardsAppearance = appearance;
                           if (m_currentView.storeAppearance)
                               m_currentView.appearance = appearance;
                       });
}

// Layout and display of the current view

void Document::setXProperty(int property, bool undoable, QObject *source)
{
    setCurrentViewField(&Slice::xProperty, property, QStringLiteral("Set X Property"),
                        EventType::CardsLayoutChanged, undoable, source);
}

void Document::setYProperty(int property, bool undoable, QObject *source)
{
    setCurrentViewField(&Slice::yProperty, property, QStringLiteral("Set Y Property"),
                        EventType::CardsLayoutChanged, undoable, source);
}

void Document::swapXY(bool undoable, QObject *source)
{
    changePresentation(QStringLiteral("Swap X/Y"),
                       {EventType::ViewChanged, EventType::CardsLayoutChanged}, undoable, source,
                       [&] { qSwap(m_currentView.xProperty, m_currentView.yProperty); });
}

void Document::setCellOrderingProperty(int property, bool undoable, QObject *source)
{
    setCurrentViewField(&Slice::cellOrderingProperty, property,
                        QStringLiteral("Set Cell ordering Property"), EventType::CardsLayoutChanged,
                        undoable, source);
}

void Document::setCardColorProperty(int property, bool undoable, QObject *source)
{
    setCurrentViewField(&Slice::cardColorProperty, property, QStringLiteral("Set Card Color"),
                        EventType::CardsLayoutChanged, undoable, source);
}

void Document::setHighlightColorProperty(int property, bool undoable, QObject *source)
{
    setCurrentViewField(&Slice::highlightColorProperty, property,
                        QStringLiteral("Set Highlight Color"), EventType::CardsLayoutChanged,
                        undoable, source);
}

void Document::setTotalProperty(int property, bool undoable, QObject *source)
{
    setCurrentViewField(&Slice::totalProperty, property, QStringLiteral("Show Total"),
                        EventType::CardsLayoutChanged, undoable, source);
}

void Document::setShowCellsTotals(bool show, bool undoable, QObject *source)
{
    setCurrentViewField(&Slice::showCellsTotals, show, QStringLiteral("Show Cells Totals"),
                        EventType::ViewChanged, undoable, source);
}

void Document::setRowColColor(int rowColColor, bool undoable, QObject *source)
{
    setCurrentViewField(&Slice::rowColColor, rowColColor, QStringLiteral("Change row/col color"),
                        EventType::CardsLayoutChanged, undoable, source);
}

void Document::setShowLabels(bool show, bool undoable, QObject *source)
{
    setCurrentViewField(&Slice::showLabels, show, showOrHide(show, "Labels"),
                        EventType::CardContentChanged, undoable, source);
}

void Document::setShowNotes(bool show, bool undoable, QObject *source)
{
    setCurrentViewField(&Slice::showNotes, show, showOrHide(show, "Notes"),
                        EventType::CardContentChanged, undoable, source);
}

void Document::setShowHyperLinks(bool show, bool undoable, QObject *source)
{
    setCurrentViewField(&Slice::showHyperLinks, show, showOrHide(show, "HyperLinks"),
                        EventType::CardContentChanged, undoable, source);
}

void Document::setShowImages(bool show, int position, int size, bool undoable, QObject *source)
{
    changePresentation(showOrHide(show, "Images"), {EventType::CardContentChanged}, undoable,
                       source, [&] {
                           m_currentView.showImages = show;
                           m_currentView.imagePosition = position;
                           m_currentView.imageSize = size;
                       });
}

// Chart settings

void Document::setChartShowProperty(int property, bool undoable)
{
    setRecordField(m_chartsSettings, &ChartsSettings::showProperty, property,
                   QStringLiteral("Set Chart Show Property"), chartsSettingsOnly, undoable);
}

void Document::setChartByProperty(int property, bool undoable)
{
    setRecordField(m_chartsSettings, &ChartsSettings::byProperty, property,
                   QStringLiteral("Set Chart By Property"), chartsSettingsOnly, undoable);
}

void Document::setChartPerProperty(int property, bool undoable)
{
    setRecordField(m_chartsSettings, &ChartsSettings::perProperty, property,
                   QStringLiteral("Set Chart Per Property"), chartsSettingsOnly, undoable);
}

void Document::setChartsFiltering(bool useCardsFilter, bool undoable)
{
    setRecordField(m_chartsSettings, &ChartsSettings::useCardsFilter, useCardsFilter,
                   QStringLiteral("Set Charts Filtering"), chartsSettingsOnly, undoable);
}

void Document::setChartsHideZeroBars(bool hide, bool undoable)
{
    setRecordField(m_chartsSettings, &ChartsSettings::hideZeroBars, hide,
                   QStringLiteral("Set Charts Hide Zero Bars"), chartsSettingsOnly, undoable);
}

void Document::setChartsHideEmpty(bool hide, bool undoable)
{
    setRecordField(m_chartsSettings, &ChartsSettings::hideEmptyCharts, hide,
                   QStringLiteral("Set Charts Hide Empty"), chartsSettingsOnly, undoable);
}

// Charts appearance

void Document::setChartsTitle(const QString &title, bool undoable)
{
    setRecordField(m_chartsAppearance, &ChartsAppearance::title, title,
                   QStringLiteral("Set Charts Title"), chartsAppearanceAndSettings, undoable);
}

void Document::setChartsTitleSize(int size, bool undoable)
{
    setRecordField(m_chartsAppearance, &ChartsAppearance::titleSize, size,
                   QStringLiteral("Set Charts Title Size"), chartsAppearanceAndSettings, undoable);
}

void Document::setChartsFooter(const QString &footer, bool undoable)
{
    setRecordField(m_chartsAppearance, &ChartsAppearance::footer, footer,
                   QStringLiteral("Set Charts Footer"), chartsAppearanceAndSettings, undoable);
}

void Document::setChartsFooterSize(int size, bool undoable)
{
    setRecordField(m_chartsAppearance, &ChartsAppearance::footerSize, size,
                   QStringLiteral("Set Charts Footer Size"), chartsAppearanceAndSettings, undoable);
}

void Document::setChartFont(const QFont &font, bool undoable)
{
    setRecordField(m_chartsAppearance, &ChartsAppearance::font, font,
                   QStringLiteral("Set Chart Font"), chartsAppearanceAndSettings, undoable);
}

void Document::setChartsShowLegend(int show, bool undoable)
{
    setRecordField(m_chartsAppearance, &ChartsAppearance::showLegend, show,
                   QStringLiteral("Set Charts Show Legend"), chartsAppearanceAndSettings, undoable);
}

void Document::setChartsGradient(int gradient, bool undoable)
{
    setRecordField(m_chartsAppearance, &ChartsAppearance::gradient, gradient,
                   QStringLiteral("Set Charts Gradient"), chartsAppearanceOnly, undoable);
}

void Document::setChartBackgroundColor(const QColor &color, bool undoable)
{
    setRecordField(m_chartsAppearance, &ChartsAppearance::backgroundColor, color,
                   QStringLiteral("Set Chart Background Color"), chartsAppearanceOnly, undoable);
}

void Document::setChartsTextColor(const QColor &color, bool undoable)
{
    setRecordField(m_chartsAppearance, &ChartsAppearance::textColor, color,
                   QStringLiteral("Set Charts Text Color"), chartsAppearanceOnly, undoable);
}

void Document::setChartsLineColor(const QColor &color, bool undoable)
{
    setRecordField(m_chartsAppearance, &ChartsAppearance::lineColor, color,
                   QStringLiteral("Set Charts Line Color"), chartsAppearanceOnly, undoable);
}

void Document::setChartsAxesText(bool show, bool undoable)
{
    setRecordField(m_chartsAppearance, &ChartsAppearance::showAxesText, show,
                   QStringLiteral("Set Charts Axes Text"), chartsAppearanceOnly, undoable);
}

void Document::setChartsShowValueText(bool show, bool undoable)
{
    setRecordField(m_chartsAppearance, &ChartsAppearance::showValueText, show,
                   QStringLiteral("Set Charts Show Value Text"), chartsAppearanceOnly, undoable);
}

void Document::setChartsByText(bool show, bool undoable)
{
    setRecordField(m_chartsAppearance, &ChartsAppearance::showByText, show,
                   QStringLiteral("Set Charts By Text"), chartsAppearanceOnly, undoable);
}

void Document::setChartsAppearance(const ChartsAppearance &appearance, bool undoable)
{
    changePresentation(QStringLiteral("Set Charts Appearance"),
                       {EventType::ChartsSettingsChanged, EventType::ChartsAppearanceChanged},
                       undoable, nullptr, [&] { m_chartsAppearance = appearance; });
}

// Table appearance

void Document::setTableFont(const QFont &font, bool undoable)
{
    // Size and style come from the table's own size setting; only the family is chosen here.
    if (font.family() == m_tableAppearance.font.family())
        return;
    setRecordField(m_tableAppearance, &TableAppearance::font, font,
                   QStringLiteral("Set Table Font"), tableAppearanceOnly, undoable);
}

void Document::setTableFontSize(int size, bool undoable)
{
    if (size == m_tableAppearance.fontSize)
        return;
    setRecordField(m_tableAppearance, &TableAppearance::fontSize, size,
                   QStringLiteral("Set Table Font Size"), tableAppearanceOnly, undoable);
}

void Document::setTableColor(int cellColor, bool undoable)
{
    if (cellColor == m_tableAppearance.cellColor)
        return;
    setRecordField(m_tableAppearance, &TableAppearance::cellColor, cellColor,
                   QStringLiteral("Set Table Color"), tableAppearanceOnly, undoable);
}

void Document::setTableAppearance(const TableAppearance &appearance, bool undoable)
{
    changePresentation(QStringLiteral("Set Table Appearance"), tableAppearanceOnly, undoable,
                       nullptr, [&] { m_tableAppearance = appearance; });
}
