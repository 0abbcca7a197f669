#include "model/Document.h"

namespace {

const QString placeholderName = QStringLiteral("<select>");
const QString cardsPseudoName = QStringLiteral("<cards>");

void registerEventsType()
{
    static const int id = qRegisterMetaType<Events>("Events");
    Q_UNUSED(id)
}

} // namespace

Document::Document(QObject *parent) : QObject(parent)
{
    registerEventsType();
    clear(true);
}

Document::Document(const Document &other) : QObject(nullptr), m_valueFormats(other.m_valueFormats)
{
    registerEventsType();
    *this = other;
}

Document::~Document() = default;

Document &Document::operator=(const Document &other)
{
    if (this == &other)
        return *this;
    m_tasks = other.m_tasks;
    m_properties = other.m_properties;
    m_values = other.m_values;
    m_images = other.m_images;
    m_predefinedValues = other.m_predefinedValues;
    m_currentView = other.m_currentView;
    m_storedViews = other.m_storedViews;
    m_cardsAppearance = other.m_cardsAppearance;
    m_searchText = other.m_searchText;
    m_searchFlag = other.m_searchFlag;
    m_changeName = other.m_changeName;
    m_chartsSettings = other.m_chartsSettings;
    m_chartsAppearance = other.m_chartsAppearance;
    m_tableAppearance = other.m_tableAppearance;
    dropCaches();
    return *this;
}

bool Document::operator==(const Document &other) const
{
    return m_tasks == other.m_tasks && m_properties == other.m_properties
        && m_values == other.m_values && m_images == other.m_images
        && m_predefinedValues == other.m_predefinedValues && m_currentView == other.m_currentView
        && m_storedViews == other.m_storedViews && m_cardsAppearance == other.m_cardsAppearance
        && m_searchText == other.m_searchText && m_searchFlag == other.m_searchFlag
        && m_chartsSettings == other.m_chartsSettings
        && m_chartsAppearance == other.m_chartsAppearance
        && m_tableAppearance == other.m_tableAppearance;
}

void Document::clear(bool withTitle)
{
    m_tasks.clear();
    m_properties.clear();
    m_values.clear();
    m_predefinedValues.clear();
    m_images.clear();
    dropCaches();
    m_currentView.reset();
    m_storedViews.clear();
    m_cardsAppearance.setDefaults();
    m_searchText.clear();
    m_searchFlag = false;
    m_chartsSettings.reset();
    m_chartsAppearance.setDefaults();
    m_tableAppearance.setDefaults();
    addProperty(placeholderName, QString(), PropertyType::Automatic, QStringList(),
                PropertyVisibility::Hidden, PropertyAppearance(), false);
    if (withTitle)
        addProperty(QStringLiteral("Title"), QString(), PropertyType::Automatic, QStringList(),
                    PropertyVisibility::Text, PropertyAppearance(), false);
}

void Document::setValueFormats(const ValueFormats &formats)
{
    if (formats == m_valueFormats)
        return;
    m_valueFormats = formats;
    dropCaches();
    m_preparedDay = QDate();
}

void Document::announceChange(const QString &undoText, bool undoable)
{
    if (undoable)
        emit aboutToChange(undoText);
}

void Document::notifyChange(const Events &events, bool undoable)
{
    if (undoable)
        emit changed(events);
}

void Document::notifyChange(int type, int taskIndex, int propertyIndex, bool undoable)
{
    if (!undoable)
        return;
    Events events;
    events.add(type, taskIndex, propertyIndex);
    emit changed(events);
}

void Document::dropCachedProperty(int property) const
{
    m_actualTypeCache.remove(property);
    m_numericRangeCache.remove(property);
    m_dateRangeCache.remove(property);
}

void Document::dropCaches() const
{
    m_actualTypeCache.clear();
    m_numericRangeCache.clear();
    m_dateRangeCache.clear();
    forgetTypeTallies();
}
