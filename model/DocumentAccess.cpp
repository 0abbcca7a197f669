#include "model/Document.h"

#include <algorithm>

#include <QVector>
#include <QtNumeric>

namespace {

// Whether the map names every property once and keeps the placeholder first. Any other map
// would drop a property's values, turn a property into the placeholder (which is never saved)
// or reach past the list.
bool isPropertyPermutation(const PropertyReorderMap &newToOld, int count)
{
    if (newToOld.size() != count || newToOld.value(0, -1) != 0)
        return false;
    QVector<bool> taken(count, false);
    for (auto it = newToOld.constBegin(); it != newToOld.constEnd(); ++it) {
        const int from = it.value();
        if (it.key() < 0 || it.key() >= count || from < 0 || from >= count || taken.at(from))
            return false;
        taken[from] = true;
    }
    return true;
}

} // namespace

QList<TaskIndex> Document::taskIndexes() const
{
    QList<TaskIndex> indexes;
    indexes.reserve(m_tasks.size());
    for (int i = 0; i < m_tasks.size(); ++i)
        indexes.append(i);
    return indexes;
}

QList<int> Document::propertyIndexes(bool withPlaceholder) const
{
    QList<int> indexes;
    for (int i = withPlaceholder ? 0 : 1; i < m_properties.size(); ++i)
        indexes.append(i);
    return indexes;
}

QString Document::propertyName(int property) const
{
    if (property == m_properties.size())
        return QStringLiteral("<cards>");
    if (property < 0 || property > m_properties.size())
        return QString();
    return m_properties.at(property).name();
}

int Document::propertyType(int property) const
{
    return m_properties.at(property).type();
}

QString Document::propertyDefaultValue(int property) const
{
    return m_properties.at(property).defaultValue();
}

PropertyAppearance Document::propertyAppearance(int property) const
{
    return m_properties.at(property).appearance();
}

const PropertyAppearance &Document::propertyAppearanceRef(int property) const
{
    return m_properties.at(property).appearanceRef();
}

PropertyAppearance &Document::editablePropertyAppearance(int property, FillKey)
{
    return m_properties[property].mutableAppearance();
}

int Document::propertyIndex(const QString &name) const
{
    const QString wanted = name.toLower();
    for (int i = 0; i < m_properties.size(); ++i) {
        if (m_properties.at(i).name().toLower() == wanted)
            return i;
    }
    return -1;
}

QString Document::uniquePropertyName(const QString &name) const
{
    // Numbers go after the trimmed name: blanks around a name are never meant.
    const QString base = name.trimmed();
    QString candidate = base;
    for (int n = 1; propertyIndex(candidate) != -1; ++n)
        candidate = base + QString::number(n);
    return candidate;
}

QString Document::value(TaskIndex task, int property) const
{
    return m_values.text(task, property);
}

QStringList Document::predefinedValues(int property) const
{
    return m_predefinedValues.value(property);
}

bool Document::isPredefinedValue(int property, const QString &text) const
{
    return m_predefinedValues.value(property).contains(text);
}

int Document::propertyVisibility(int property) const
{
    return m_currentView.propertyVisibility(property);
}

int Document::visiblePropertyCount() const
{
    int count = 0;
    for (int i = 1; i < m_properties.size(); ++i) {
        const int visibility = m_currentView.propertyVisibility(i);
        if (visibility >= PropertyVisibility::Square && visibility <= PropertyVisibility::Diamond)
            ++count;
    }
    return count;
}

double Document::cardAspectRatio() const
{
    return m_cardsAppearance.aspectRatio < 0.1 ? 1.3 : m_cardsAppearance.aspectRatio;
}

double Document::scaledCardWidth() const
{
    const double width = m_cardsAppearance.aspectRatio * 390.0;
    if (width > 0.0 && qIsFinite(width))
        return width;
    // The fallback ratio is the stored one too when that is at least 0.1: infinite or not a
    // number, it would give no width either.
    const double fallback = cardAspectRatio() * 390.0;
    return fallback > 0.0 && qIsFinite(fallback) ? fallback : 1.3 * 390.0;
}

void Document::addProperty(const QString &name, const QString &defaultValue, int type,
                           const QStringList &predefinedValues, int visibility,
                           const PropertyAppearance &appearance, bool undoable)
{
    announceChange(QStringLiteral("Add Property"), undoable);
    const int oldCount = m_properties.size();
    // Totals and charts on "<cards>" must stay on "<cards>" when the count moves on. A total of
    // 0 before the first property is "none", not the card count.
    if (m_chartsSettings.showProperty == oldCount)
        ++m_chartsSettings.showProperty;
    if (oldCount > 0 && m_currentView.totalProperty == oldCount)
        ++m_currentView.totalProperty;
    for (Slice &view : m_storedViews) {
        if (oldCount > 0 && view.totalProperty == oldCount)
            ++view.totalProperty;
    }

    m_properties.append(Property(name, defaultValue, type, appearance));
    const int index = oldCount;
    m_values.appendProperty(defaultValue);
    m_currentView.appendPropertyVisibility(visibility);
    for (Slice &view : m_storedViews)
        view.appendPropertyVisibility(visibility);
    QStringList sorted = predefinedValues;
    std::sort(sorted.begin(), sorted.end());
    m_predefinedValues.append(sorted);
    dropCachedProperty(index);
    notifyChange(EventType::PropertyAdded, -1, index, undoable);
}

TaskIndex Document::addTask(bool undoable)
{
    announceChange(QStringLiteral("Add Card"), undoable);
    m_tasks.append(Task());
    const TaskIndex index = m_tasks.size() - 1;
    m_values.appendTask();
    for (int p = 0; p < m_properties.size(); ++p) {
        m_values.setText(index, p, m_properties.at(p).defaultValue());
        // The new card's value takes part in type detection and ranges (an empty value counts
        // as 0 in a numeric range), so what was cached may no longer hold.
        dropCachedProperty(p);
    }
    notifyChange(EventType::TaskAdded, index, -1, undoable);
    return index;
}

void Document::reorderProperties(const PropertyReorderMap &newToOld, bool undoable)
{
    if (!isPropertyPermutation(newToOld, m_properties.size()))
        return;
    bool identity = true;
    for (auto it = newToOld.constBegin(); it != newToOld.constEnd() && identity; ++it)
        identity = it.key() == it.value();
    if (identity)
        return;
    announceChange(QStringLiteral("Re-order Properties"), undoable);
    dropCaches();

    // Values move with their property: a property the map leaves out keeps its place and its
    // values.
    QVector<int> from;
    QList<Property> properties;
    QList<QStringList> predefined;
    for (int i = 0; i < m_properties.size(); ++i) {
        from.append(newToOld.value(i, i));
        properties.append(m_properties.at(from.last()));
        predefined.append(m_predefinedValues.value(from.last()));
    }
    m_properties = properties;
    m_predefinedValues = predefined;
    m_values.reorderProperties(from);

    m_currentView.remapProperties(newToOld);
    for (Slice &view : m_storedViews)
        view.remapProperties(newToOld);
    m_chartsSettings.remapProperties(newToOld);
    m_tableAppearance.remapProperties(newToOld);
    notifyChange(EventType::PropertiesReordered, -1, -1, undoable);
}

void Document::setPropertyVisibility(int property, int visibility, bool undoable, QObject *source)
{
    announceChange(QStringLiteral("Show/Hide Property On Card"), undoable);
    m_currentView.setPropertyVisibility(property, visibility);
    Events events(source);
    events.add(EventType::CardContentChanged);
    notifyChange(events, undoable);
}
