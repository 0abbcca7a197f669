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

Document::Document(const Document &other)
    : QObject(nullptr),
      PlanData(other),
      m_valueFormats(other.m_valueFormats),
      m_changeName(other.m_changeName)
{
    registerEventsType();
}

Document::~Document() = default;

Document &Document::operator=(const Document &other)
{
    if (this == &other)
        return *this;
    PlanData::operator=(other);
    m_changeName = other.m_changeName;
    dropCaches();
    return *this;
}

bool Document::operator==(const Document &other) const
{
    return PlanData::operator==(other);
}

void Document::clear(bool withTitle)
{
    PlanData::reset();
    dropCaches();
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
    m_caches.actualTypes.remove(property);
    m_caches.numericRanges.remove(property);
    m_caches.dateRanges.remove(property);
}

void Document::dropCaches() const
{
    m_caches.clear();
}

void Document::TypeCaches::clear()
{
    actualTypes.clear();
    numericRanges.clear();
    dateRanges.clear();
    tallies.clear();
    droppedBySetValue.clear();
}
