#pragma once

#include "common/core/ValueFormats.h"
#include "model/CardsAppearance.h"
#include "model/ChartsAppearance.h"
#include "model/ChartsSettings.h"
#include "model/Events.h"
#include "model/FilterTerm.h"
#include "model/HyperLink.h"
#include "model/Image.h"
#include "model/ModelTypes.h"
#include "model/PlanData.h"
#include "model/Property.h"
#include "model/PropertyAppearance.h"
#include "model/Slice.h"
#include "model/TableAppearance.h"
#include "model/Task.h"

#include <memory>

#include <QColor>
#include <QDate>
#include <QFont>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

class QIODevice;

// The one open plan: cards, properties, values, images, views and presentation. Everything
// reads and edits the plan through it. It is also a copyable value: the undo list keeps copies
// and compares them. Its data (PlanData) lives in implicitly shared containers, the values in
// one column per property, so a snapshot of a large plan costs little until one side changes,
// and then only what changed is copied.
//
// Every edit takes a final `undoable` flag: set, it announces itself with aboutToChange (the undo
// text) before the change and reports changed (the events) after it; clear, it only stores.
// The accessors that hand out writable references (editableCurrentView, storedViewsRef,
// cardsAppearanceRef, ...) take a FillKey, which only the plan-file reader can make, to fill a
// new plan: every other change goes through an edit, or the undo list and the modified mark
// never hear of it.
//
// The member definitions are grouped by concern over several Document*.cpp files.
class Document : public QObject, private PlanData
{
    Q_OBJECT

public:
    explicit Document(QObject *parent = nullptr);
    // Copies the data only: never the QObject identity (parent, connections) nor the caches.
    Document(const Document &other);
    Document &operator=(const Document &other);
    ~Document() override;

    // Compares the data; the change name and the caches take no part.
    bool operator==(const Document &other) const;
    bool operator!=(const Document &other) const { return !(*this == other); }

    // Resets to an empty plan holding the placeholder property "<select>" and, with withTitle,
    // the property "Title". Emits nothing; the change name stays.
    void clear(bool withTitle);

    // The undo label a snapshot copy carries.
    void setChangeName(const QString &name) { m_changeName = name; }
    const QString &changeName() const { return m_changeName; }

    // The date and number formats the values are read with. They belong to the preferences,
    // not to the plan: a copy takes them over so that it reads its values alike, but
    // assignment and equality leave them out, so restoring a snapshot keeps the formats in
    // force. A change drops every type, range and filter result read under the old ones.
    const ValueFormats &valueFormats() const { return m_valueFormats; }
    void setValueFormats(const ValueFormats &formats);

    // Cards, properties and values
    const QList<Task> &tasks() const { return m_tasks; }
    QList<TaskIndex> taskIndexes() const;
    int taskCount() const { return m_tasks.size(); }
    const Task &task(TaskIndex task) const { return m_tasks.at(task); }
    const QList<Property> &properties() const { return m_properties; }
    QList<int> propertyIndexes(bool withPlaceholder) const;
    // The property count, "<select>" included; as a property index it stands for "<cards>".
    int propertyCount() const { return m_properties.size(); }
    const Property &property(int property) const { return m_properties.at(property); }
    QString propertyName(int property) const;
    int propertyType(int property) const;
    QString propertyDefaultValue(int property) const;
    PropertyAppearance propertyAppearance(int property) const;
    const PropertyAppearance &propertyAppearanceRef(int property) const;
    // The first property whose name equals the text ignoring case, or -1.
    int propertyIndex(const QString &name) const;
    QString uniquePropertyName(const QString &name) const;
    QString value(TaskIndex task, int property) const;
    QStringList predefinedValues(int property) const;
    bool isPredefinedValue(int property, const QString &text) const;
    int propertyVisibility(int property) const;
    int visiblePropertyCount() const;

    void addProperty(const QString &name, const QString &defaultValue, int type,
                     const QStringList &predefinedValues, int visibility,
                     const PropertyAppearance &appearance, bool undoable);
    TaskIndex addTask(bool undoable);
    // For the readers of plan and CSV files: the cards appended in one go. The plan ends as if
    // addTask(false) had added each card, its notes, links and image been set, and then
    // setValue(card, p, text, false) been called for every text of values[p] that is not
    // null, card after card. values holds a column per property, each as long as cards; a
    // property without one keeps its default on every card. Each distinct text of a column is
    // judged as a date at most once.
    // Texts a plan was saved with are its values already: only a text that names a date
    // outright is written in the plan's date form. A relative word ("today", "+3") stays the
    // word it was saved as, for setValue would read it as a date of the day the plan is opened.
    enum class CardTexts { Entered, Saved };
    void appendCards(const QList<Task> &cards, QVector<QVector<QString>> values,
                     CardTexts texts = CardTexts::Entered);
    void reorderProperties(const PropertyReorderMap &newToOld, bool undoable);
    void setPropertyVisibility(int property, int visibility, bool undoable,
                               QObject *source = nullptr);

    // The Cards appearance as the Cards pane reads it
    QString cardsTitle() const { return m_cardsAppearance.title; }
    int cardsTitleSize() const { return m_cardsAppearance.titleSize; }
    QString cardsFooter() const { return m_cardsAppearance.footer; }
    int cardsFooterSize() const { return m_cardsAppearance.footerSize; }
    double cardAspectRatio() const;
    int cardsCellLayout() const { return m_cardsAppearance.cellLayout; }
    QFont cardFont() const { return m_cardsAppearance.cardFont; }
    int cardFontScaling() const { return m_cardsAppearance.fontScaling; }
    bool cardsHeadersShowName() const { return m_cardsAppearance.headersShowName; }
    int cardsHeaderType() const { return m_cardsAppearance.headerType; }
    int cardsHeaderTransparency() const { return m_cardsAppearance.headerTransparency; }
    int cardsRowHeaderTextOrientation() const { return m_cardsAppearance.rowHeaderTextOrientation; }
    int cardFontSize() const { return m_cardsAppearance.cardFontSize; }
    int headerFontScaling() const { return m_cardsAppearance.headerFontScaling; }
    int headerFontSize() const { return m_cardsAppearance.headerFontSize; }
    QColor cardBackgroundColor() const { return m_cardsAppearance.backgroundColor; }
    QColor cardsSelectionColor() const { return m_cardsAppearance.selectionColor; }
    QColor headerColor() const { return m_cardsAppearance.headerColor; }
    QColor headerTextColor() const { return m_cardsAppearance.headerTextColor; }
    QColor cardsLineColor() const { return m_cardsAppearance.lineColor; }
    int cardsHeaderSize() const { return m_cardsAppearance.headerSize; }
    int cardsGradient() const { return m_cardsAppearance.gradient; }
    int cardsShowLegend() const { return m_cardsAppearance.showLegend; }
    int showDropShadow() const { return m_cardsAppearance.dropShadow; }
    int cardsShape() const { return m_cardsAppearance.shape; }
    // The card width in Cards scene units (a card is 390 high): the stored ratio as it is when
    // that gives a positive, finite width, so that the 0.05 of an old plan stays narrow; a
    // malformed ratio (read as 0) or one that overflows falls back to cardAspectRatio, so
    // cards never vanish.
    double scaledCardWidth() const;
    double limitedCardWidth() const { return qMin(scaledCardWidth(), 390.0); }

    // Property types, value ranges, value lists, the filter, setting a value, bins and value
    // colours
    // A numeric bin holds lower <= v < upper; a date bin first <= d <= last, and the pair of
    // invalid dates is the bin of cards without a date.
    using NumericBin = QPair<double, double>;
    using DateBin = QPair<QDate, QDate>;

    // The type the property's values are treated as; an Automatic property (and a declared type
    // no dialog offers) takes the type detected from its values, cached until a value changes.
    ActualPropertyType actualPropertyType(int property) const;
    ActualPropertyType detectActualPropertyType(int property) const;
    void clearActualTypeCache();
    // Smallest and largest number (an empty or non-numeric value counts as 0) and date.
    QPair<double, double> computeNumericRange(int property) const;
    QPair<double, double> numericRange(int property) const;
    QPair<QDate, QDate> computeDateRange(int property) const;
    QPair<QDate, QDate> dateRange(int property) const;
    void clearRangeCache(int property);

    // The distinct values of a property, by default every value in use and every predefined
    // value, the empty value kept, in the user's value order.
    QStringList values(int property, const ValueListOptions &options = ValueListOptions()) const;
    // values(p, options) of every property p (the list at index p), gathered in one walk over
    // the cards when every card's values are asked for.
    QList<QStringList> valuesOfEveryProperty(const ValueListOptions &options
                                             = ValueListOptions()) const;
    // A card's values of properties 1 to the last, in property order.
    QStringList taskValues(TaskIndex task) const;
    bool taskPassesFilter(TaskIndex task) const;
    bool valueMatchesFilterTerms(int property, const QString &value) const;
    // Whether the filter finds a card's match for the term by looking its value up among the
    // texts of like terms, rather than by a test of its own: "is" and "is not" on a text
    // property.
    bool isLookedUpFilterTerm(const FilterTerm &term) const;
    bool taskMatchesFilterTerm(TaskIndex task, int property, const FilterTerm &term) const;
    bool notesMatchFilterTerm(TaskIndex task, const FilterTerm &term) const;
    bool valueMatchesFilterTerm(int property, const QString &value, const FilterTerm &term) const;

    // Date texts of date properties are stored in the user's date format; the caller's text is
    // rewritten to what was stored.
    void setValue(TaskIndex task, int property, QString &value, bool undoable,
                  QObject *source = nullptr);
    // Clears the chart roles a property no longer suits after its type changed.
    bool resetInvalidChartProperties(int property);

    // At most 500 bins whatever the range; the last bin takes the rest of it.
    static QList<NumericBin> numericBins(int binSize, double minimum, double maximum);
    // unit: 0 day, 1 week from Monday, 2 month, 3 year.
    static QList<DateBin> dateBins(int unit, const QDate &minimum, const QDate &maximum,
                                   bool addNoDateBin);
    static QString numericBinName(const NumericBin &bin);
    static QStringList numericBinNames(const QList<NumericBin> &bins);
    static QString dateBinName(const DateBin &bin);
    static QStringList dateBinNames(const QList<DateBin> &bins);
    static int numericBinIndex(const QList<NumericBin> &bins, double value);
    static int dateBinIndex(const QList<DateBin> &bins, const QDate &date);

    // A text value seen for the first time gets the next palette colour, kept with the plan.
    QColor colorForValue(int property, const QString &value);
    QColor valueColor(TaskIndex task, int property);
    QList<NumericBin> numericBinsOfProperty(int property) const;
    QList<DateBin> dateBinsOfProperty(int property) const;
    bool isBinnedProperty(int property) const;

    // Card, property and image library edits
    TaskIndex addTaskWithValues(const QList<PropertyIndexAndValue> &values, const QString &notes,
                                const QList<HyperLink> &links, int imageIndex, bool undoable);
    void setTaskNotes(TaskIndex task, const QString &notes, bool undoable,
                      QObject *source = nullptr);
    void setTaskLinks(TaskIndex task, const QList<HyperLink> &links, bool undoable,
                      QObject *source = nullptr);
    void setTaskImage(TaskIndex task, int imageIndex, bool undoable, QObject *source = nullptr);
    // The copies of each card follow the existing cards, those of one card next to each other.
    void duplicateTasks(const QList<TaskIndex> &tasks, int copies, bool undoable);
    void deleteTask(TaskIndex task, bool undoable);
    // Repeated and out-of-range indexes are ignored.
    void deleteTasks(const QList<TaskIndex> &tasks, bool undoable);
    QString taskNotes(TaskIndex task) const;
    QList<HyperLink> taskLinks(TaskIndex task) const;
    int taskImage(TaskIndex task) const;
    bool hasNotes(TaskIndex task) const;
    bool hasLinks(TaskIndex task) const;

    // Whether renaming a property also puts its new name in place of the old one in the names
    // of the stored views (the user was asked first), within the same undo step.
    enum class ViewNames { Keep, Follow };
    void editProperty(int property, const QString &name, const QString &defaultValue, int type,
                      const QStringList &predefinedValues, const PropertyAppearance &appearance,
                      bool undoable);
    void editProperty(int property, const QString &name, const QString &defaultValue, int type,
                      const QStringList &predefinedValues, const PropertyAppearance &appearance,
                      ViewNames viewNames, bool undoable);
    void setPropertyName(int property, const QString &name, bool undoable);
    void setPropertyName(int property, const QString &name, ViewNames viewNames, bool undoable);
    void setPropertyType(int property, int type, bool undoable);
    void setPropertyDefaultValue(int property, const QString &defaultValue, bool undoable);
    void setValueOrder(int property, const QStringList &order, bool undoable);
    void deleteProperty(int property, bool undoable);
    // The placeholder property 0, repeated and out-of-range indexes are ignored.
    void deleteProperties(const QList<int> &properties, bool undoable);

    // Cards refer to library entries by index, -1 for none.
    int addImage(const Image &image, bool undoable);
    // Pictures already in the library are not added again; with a card, it shows the last one.
    void addImages(const QStringList &fileNames, TaskIndex task, bool undoable);
    // Replaces the library; cards follow their pictures, found by pixels.
    void editImages(const QList<Image> &images, bool undoable);
    int findImage(const QPixmap &pixmap) const;
    const Image &image(int index) const { return m_images.at(index); }
    int imageCount() const { return m_images.size(); }
    const QList<Image> &images() const { return m_images; }
    // No undo, no notification and no fix-up of the cards' image indexes.
    void removeImageAt(int index);

    // Cards, charts and table presentation setters
    // Appearance setters write the document's Cards appearance and, when the current view
    // stores one, the view's copy; layout and display setters write the current view only.
    // None compares with the stored value, except the three single table setters. The Cards
    // setters take the object that makes the change, which their Events carry, so that a pane
    // can tell its own edits from those of others.
    void setCardAspectRatio(double ratio, bool undoable, QObject *source = nullptr);
    void setCardsCellLayout(int layout, bool undoable, QObject *source = nullptr);
    void setCardFont(const QFont &font, bool undoable, QObject *source = nullptr);
    void setCardFontScaling(int scaling, bool undoable, QObject *source = nullptr);
    void setCardsHeadersShowName(bool show, bool undoable, QObject *source = nullptr);
    void setCardsHeaderType(int type, bool undoable, QObject *source = nullptr);
    void setCardsHeaderTransparency(int transparency, bool undoable, QObject *source = nullptr);
    void setCardsRowHeaderTextOrientation(int orientation, bool undoable,
                                          QObject *source = nullptr);
    void setCardFontSize(int size, bool undoable, QObject *source = nullptr);
    void setHeaderFontScaling(int scaling, bool undoable, QObject *source = nullptr);
    void setHeaderFontSize(int size, bool undoable, QObject *source = nullptr);
    void setCardsTitle(const QString &title, bool undoable, QObject *source = nullptr);
    void setCardsTitleSize(int size, bool undoable, QObject *source = nullptr);
    void setCardsFooter(const QString &footer, bool undoable, QObject *source = nullptr);
    void setCardsFooterSize(int size, bool undoable, QObject *source = nullptr);
    void setCardBackgroundColor(const QColor &color, bool undoable, QObject *source = nullptr);
    void setCardsSelectionColor(const QColor &color, bool undoable, QObject *source = nullptr);
    void setHeaderColor(const QColor &color, bool undoable, QObject *source = nullptr);
    void setHeaderTextColor(const QColor &color, bool undoable, QObject *source = nullptr);
    void setCardsLineColor(const QColor &color, bool undoable, QObject *source = nullptr);
    void setCardsHeaderSize(int size, bool undoable, QObject *source = nullptr);
    void setCardsGradient(int gradient, bool undoable, QObject *source = nullptr);
    void setCardsShowLegend(int show, bool undoable, QObject *source = nullptr);
    void setShowDropShadow(int show, bool undoable, QObject *source = nullptr);
    void setCardsShape(int shape, bool undoable, QObject *source = nullptr);
    void setCardsAppearance(const CardsAppearance &appearance, bool undoable,
                            QObject *source = nullptr);
    CardsAppearance cardsAppearance() const { return m_cardsAppearance; }

    void setXProperty(int property, bool undoable, QObject *source = nullptr);
    void setYProperty(int property, bool undoable, QObject *source = nullptr);
    void swapXY(bool undoable, QObject *source = nullptr);
    void setCellOrderingProperty(int property, bool undoable, QObject *source = nullptr);
    void setCardColorProperty(int property, bool undoable, QObject *source = nullptr);
    void setHighlightColorProperty(int property, bool undoable, QObject *source = nullptr);
    void setTotalProperty(int property, bool undoable, QObject *source = nullptr);
    void setShowCellsTotals(bool show, bool undoable, QObject *source = nullptr);
    void setRowColColor(int rowColColor, bool undoable, QObject *source = nullptr);
    void setShowLabels(bool show, bool undoable, QObject *source = nullptr);
    void setShowNotes(bool show, bool undoable, QObject *source = nullptr);
    void setShowHyperLinks(bool show, bool undoable, QObject *source = nullptr);
    void setShowImages(bool show, int position, int size, bool undoable, QObject *source = nullptr);
    int xProperty() const { return roleIndex(m_currentView.xProperty, false); }
    int yProperty() const { return roleIndex(m_currentView.yProperty, false); }
    int cellOrderingProperty() const
    {
        return roleIndex(m_currentView.cellOrderingProperty, false);
    }
    int cardColorProperty() const { return roleIndex(m_currentView.cardColorProperty, false); }
    int highlightColorProperty() const
    {
        return roleIndex(m_currentView.highlightColorProperty, false);
    }
    int totalProperty() const { return roleIndex(m_currentView.totalProperty, true); }
    bool showCellsTotals() const { return m_currentView.showCellsTotals; }
    int rowColColor() const { return m_currentView.rowColColor; }
    bool showLabels() const { return m_currentView.showLabels; }
    bool showNotes() const { return m_currentView.showNotes; }
    bool showHyperLinks() const { return m_currentView.showHyperLinks; }
    bool showImages() const { return m_currentView.showImages; }
    int imagePosition() const { return m_currentView.imagePosition; }
    int imageSize() const { return m_currentView.imageSize; }

    void setChartShowProperty(int property, bool undoable);
    void setChartByProperty(int property, bool undoable);
    void setChartPerProperty(int property, bool undoable);
    void setChartsFiltering(bool useCardsFilter, bool undoable);
    void setChartsHideZeroBars(bool hide, bool undoable);
    void setChartsHideEmpty(bool hide, bool undoable);
    int chartShowProperty() const { return roleIndex(m_chartsSettings.showProperty, true); }
    int chartByProperty() const { return roleIndex(m_chartsSettings.byProperty, false); }
    int chartPerProperty() const { return roleIndex(m_chartsSettings.perProperty, false); }
    bool chartsFiltering() const { return m_chartsSettings.useCardsFilter; }
    bool chartsHideZeroBars() const { return m_chartsSettings.hideZeroBars; }
    bool chartsHideEmpty() const { return m_chartsSettings.hideEmptyCharts; }

    void setChartsTitle(const QString &title, bool undoable);
    void setChartsTitleSize(int size, bool undoable);
    void setChartsFooter(const QString &footer, bool undoable);
    void setChartsFooterSize(int size, bool undoable);
    void setChartFont(const QFont &font, bool undoable);
    void setChartsShowLegend(int show, bool undoable);
    void setChartsGradient(int gradient, bool undoable);
    void setChartBackgroundColor(const QColor &color, bool undoable);
    void setChartsTextColor(const QColor &color, bool undoable);
    void setChartsLineColor(const QColor &color, bool undoable);
    void setChartsAxesText(bool show, bool undoable);
    void setChartsShowValueText(bool show, bool undoable);
    void setChartsByText(bool show, bool undoable);
    void setChartsAppearance(const ChartsAppearance &appearance, bool undoable);
    QString chartsTitle() const { return m_chartsAppearance.title; }
    QString chartsFooter() const { return m_chartsAppearance.footer; }
    int chartsTitleSize() const { return m_chartsAppearance.titleSize; }
    int chartsFooterSize() const { return m_chartsAppearance.footerSize; }
    int chartsGradient() const { return m_chartsAppearance.gradient; }
    int chartsShowLegend() const { return m_chartsAppearance.showLegend; }
    QFont chartFont() const { return m_chartsAppearance.font; }
    QColor chartBackgroundColor() const { return m_chartsAppearance.backgroundColor; }
    QColor chartsTextColor() const { return m_chartsAppearance.textColor; }
    QColor chartsLineColor() const { return m_chartsAppearance.lineColor; }
    bool chartsAxesText() const { return m_chartsAppearance.showAxesText; }
    bool chartsShowValueText() const { return m_chartsAppearance.showValueText; }
    bool chartsByText() const { return m_chartsAppearance.showByText; }
    ChartsAppearance chartsAppearance() const { return m_chartsAppearance; }

    // The table's font (by family), size and colouring return at once when unchanged.
    void setTableFont(const QFont &font, bool undoable);
    void setTableFontSize(int size, bool undoable);
    void setTableColor(int cellColor, bool undoable);
    void setTableAppearance(const TableAppearance &appearance, bool undoable);
    QFont tableFont() const { return m_tableAppearance.font; }
    int tableFontSize() const { return m_tableAppearance.fontSize; }
    int tableColor() const { return m_tableAppearance.cellColor; }
    TableAppearance tableAppearance() const { return m_tableAppearance; }

private:
    // One presentation edit: announce it, store, then report one event per type in order.
    template<typename Store>
    void changePresentation(const QString &undoText, const QList<int> &eventTypes, bool undoable,
                            QObject *source, Store store);
    template<typename T>
    void setCardsAppearanceField(T CardsAppearance::*field, const T &value, const QString &undoText,
                                 const QList<int> &eventTypes, bool undoable, QObject *source);
    template<typename T>
    void setCurrentViewField(T Slice::*field, const T &value, const QString &undoText,
                             int eventType, bool undoable, QObject *source);
    template<typename Record, typename T>
    void setRecordField(Record &record, T Record::*field, const T &value, const QString &undoText,
                        const QList<int> &eventTypes, bool undoable);

public:
    // Views, filter and search
    // Stores the current view under the name, keeping the list sorted by name and free of
    // other views with the same settings.
    void addStoredView(const QString &name, bool withAppearance, bool undoable);
    // Deletes the stored views of that name and any stored view with the same settings.
    void deleteStoredView(const QString &name, bool undoable);
    // Makes the first stored view of that name the current view, with its appearance if kept.
    void changeView(const QString &name, bool undoable);
    bool hasStoredView(const QString &name) const;
    // The name of the first stored view equal to the current one, or the empty text.
    QString currentStoredViewName() const;
    // A short description of the current view, offered as the name when storing it.
    QString viewDescription() const;
    const Slice &currentView() const { return m_currentView; }
    QList<Slice> storedViews() const { return m_storedViews; }

    // The key to the writable references below. Only the plan-file reader makes one, to fill a
    // plan nobody shows yet; the tests build plans the same way through TestPlanKey. A pane
    // holds none: its changes go through the edits, each an undo step of its own.
    class FillKey
    {
        // Provided, not defaulted, so that nobody else makes a key as an aggregate.
        FillKey() { }
        friend bool readPlanFile(Document &document, QIODevice *device, const QString &fileName,
                                 QString *errorMessage, bool *savedByLaterVersion, QString *notice);
        friend struct TestPlanKey;
    };
    Task &editableTask(TaskIndex task, FillKey) { return m_tasks[task]; }
    Property &editableProperty(int property, FillKey) { return m_properties[property]; }
    PropertyAppearance &editablePropertyAppearance(int property, FillKey);
    CardsAppearance &cardsAppearanceRef(FillKey) { return m_cardsAppearance; }
    ChartsAppearance &chartsAppearanceRef(FillKey) { return m_chartsAppearance; }
    TableAppearance &tableAppearanceRef(FillKey) { return m_tableAppearance; }
    Slice &editableCurrentView(FillKey) { return m_currentView; }
    QList<Slice> &storedViewsRef(FillKey) { return m_storedViews; }

    // fullRefresh reports a changed view (the column and row menus) instead of a changed filter.
    void setFilter(bool basic, bool showMatching, bool matchAny, const QList<FilterTerm> &terms,
                   bool undoable, bool fullRefresh, QObject *source = nullptr);
    // Removes the terms; the mode and the show and any choices stay.
    void clearFilter(bool undoable);
    bool filterBasic() const { return m_currentView.filterBasic; }
    bool filterShowsMatching() const { return m_currentView.filterShowsMatching; }
    bool filterMatchAny() const { return m_currentView.filterMatchAny; }
    QList<FilterTerm> filterTerms() const { return m_currentView.filterTerms; }
    // True also for a plan without cards.
    bool allTasksFilteredOut() const;
    int filteredOutTaskCount() const;

    // Never undoable: notify only reports the change, without an announcement.
    void setSearch(const QString &text, bool flag, bool notify, QObject *source = nullptr);
    QString searchText() const { return m_searchText; }
    bool searchFlag() const { return m_searchFlag; }
    // Reports a change of the given type made outside the plan's own edits.
    void emitChanged(int type);

    // Replace and bulk value updates
    // One value change: the card and property, and the new text.
    using ValueChange = QPair<ValueKey, QString>;

    // Finds, and with apply replaces, the text in the searched values (property 0: every
    // property), link addresses, link names and notes. An empty find text finds only empty
    // texts. Returns the cards that matched before any replacement, ascending.
    QList<TaskIndex> replaceText(const QString &find, const QString &replacement,
                                 Qt::CaseSensitivity caseSensitivity, bool searchValues,
                                 int property, bool searchLinkUrls, bool searchLinkNames,
                                 bool searchNotes, bool apply, bool undoable);
    // One undo step for many values. A text value that takes the place of the last card of
    // another value takes over that value's colour.
    void setValues(const QList<ValueChange> &changes, bool undoable, QObject *source = nullptr);
    void addTaskLinks(TaskIndex task, const QList<HyperLink> &links, bool undoable,
                      QObject *source = nullptr);
    // Renames the value on every card, in the predefined values and in the value order.
    void renameValue(int property, const QString &oldValue, const QString &newValue, bool undoable);
    // The value also goes into the value order at the position (appended when outside it).
    void insertPredefinedValue(int property, const QString &value, int position, bool undoable);
    void addPredefinedValue(int property, const QString &value, bool undoable);
    void removePredefinedValue(int property, const QString &value, bool undoable);
    // The cards ordered by their value of the property: dates and numbers ascending (cards
    // without a date last), texts by the value order; equal keys keep the given order.
    QList<TaskIndex> sortTasks(const QList<TaskIndex> &tasks, int property) const;

signals:
    void aboutToChange(const QString &name);
    void changed(const Events &events);

private:
    // The model's own tests check fields that have no public reader of their own.
    friend class TestDocument;

    // The change protocol: announce before an undoable edit, report its events after it.
    void announceChange(const QString &undoText, bool undoable);
    void notifyChange(const Events &events, bool undoable);
    void notifyChange(int type, int taskIndex, int propertyIndex, bool undoable);

    // Forget what the caches know about one property.
    void dropCachedProperty(int property) const;
    void dropCaches() const;

    // Caches and helpers of the value model
    // The value model's tests set up views and chart roles directly.
    friend class TestDocumentValues;
    friend class TestDocumentEdits;
    // Counts of a property's non-empty card values that read as numbers and as dates, so that
    // setting values one by one keeps type detection cheap. Covers the cards below
    // coveredTasks; cards are only ever appended behind its back.
    struct TypeTally
    {
        void add(const QString &text, int sign, const ValueFormats &formats);
        ActualPropertyType typeWith(const QStringList &predefinedValues,
                                    const ValueFormats &formats) const;

        int coveredTasks = 0;
        int nonEmpty = 0;
        int numbers = 0;
        int dates = 0;
    };

    bool isValidProperty(int property) const;
    // A role index read from a damaged plan file may point past the properties: it then
    // counts as none (0). withCards keeps the index that stands for "<cards>".
    int roleIndex(int index, bool withCards) const;
    bool isValidTask(TaskIndex task) const;
    class DistinctTexts;
    QStringList finishedValues(int property, DistinctTexts &texts,
                               const ValueListOptions &options) const;
    void scanActualPropertyTypes(int property) const;
    TypeTally *usableTally(int property) const;
    void catchUpTally(int property, TypeTally &tally) const;
    void noteStoredValue(TaskIndex task, int property, const QString &oldText,
                         const QString &newText);
    void forgetTypeTallies() const;
    void normalizeDateValue(int property, QString &text) const;
    void fillReadColumn(int property, QVector<QString> &column, CardTexts texts) const;
    void resetChartRolesAsRead(int property, TaskIndex first);
    // The chart roles held by the property that a property of that type does not suit go back
    // to none; true when one did.
    bool resetChartRoles(int property, ActualPropertyType type);
    // A filter term with its text trimmed, lower-cased and read as a number and as a date.
    struct PreparedTerm
    {
        int property = 0;
        int matchType = MatchType::Contains;
        QString text;
        QString dateText;
        // dateText differs from text: the term reads as a relative or other-format date.
        bool isOtherDateText = false;
        double number = 0.0;
        bool isNumber = false;
        QDate date;
    };
    PreparedTerm prepareTerm(const FilterTerm &term) const;
    struct PreparedFilter;
    struct TermGroup;
    const PreparedFilter &preparedFilter() const;
    bool groupMatches(const TermGroup &group, const QString &value, bool matchAny) const;
    bool taskMatchesPrepared(TaskIndex task, const PreparedTerm &term) const;
    bool notesMatchPrepared(TaskIndex task, const PreparedTerm &term) const;
    bool valueMatchesPrepared(int property, const QString &value, const PreparedTerm &term) const;
    QColor numberColor(int property, const QString &value) const;
    template<typename T, typename Get, typename Set>
    void setTaskField(TaskIndex task, const T &content, Get get, Set set, int eventType,
                      bool undoable, QObject *source);
    void editPropertyAs(int property, const Property &edited, bool undoable);

    // What the const readers derive from the values, kept until an edit drops it. It is no
    // part of the plan: a copy starts empty, and equality never looks at it.
    struct TypeCaches
    {
        TypeCaches() = default;
        TypeCaches(const TypeCaches &) { }
        TypeCaches &operator=(const TypeCaches &)
        {
            clear();
            return *this;
        }
        void clear();

        // Detected types of Automatic properties.
        QMap<int, ActualPropertyType> actualTypes;
        QMap<int, QPair<double, double>> numericRanges;
        QMap<int, QPair<QDate, QDate>> dateRanges;
        QMap<int, TypeTally> tallies;
        // Properties whose detected type a stored value has dropped.
        QMap<int, bool> droppedBySetValue;
    };
    // The current view's filter terms as last prepared, and under which formats and on which
    // day (relative dates such as "today" move with it).
    mutable QList<FilterTerm> m_preparedFrom;
    // Shared by copies: it is replaced, never changed, when the terms are prepared again.
    mutable std::shared_ptr<const PreparedFilter> m_preparedFilter;
    mutable ValueFormats m_preparedFormats;
    mutable QDate m_preparedDay;

    ValueFormats m_valueFormats;

    mutable TypeCaches m_caches;
    // Copied with the plan but no part of it: equality and a reset leave it alone.
    QString m_changeName;
};
