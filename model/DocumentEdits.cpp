#include "model/Document.h"

#include <algorithm>

namespace {

// Each index once, ascending, only those within [lowest, count).
QList<int> validIndexes(QList<int> indexes, int lowest, int count)
{
    std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    indexes.erase(std::remove_if(indexes.begin(), indexes.end(),
                                 [&](int i) { return i < lowest || i >= count; }),
                  indexes.end());
    return indexes;
}

} // namespace

TaskIndex Document::addTaskWithValues(const QList<PropertyIndexAndValue> &values,
                                      const QString &notes, const QList<HyperLink> &links,
                                      int imageIndex, bool undoable)
{
    announceChange(QStringLiteral("Add Card"), undoable);
    const TaskIndex task = addTask(false);
    setTaskNotes(task, notes, false, nullptr);
    setTaskLinks(task, links, false, nullptr);
    m_tasks[task].setImageIndex(imageIndex);
    for (const PropertyIndexAndValue &pair : values) {
        QString text = pair.second;
        setValue(task, pair.first, text, false, nullptr);
    }
    notifyChange(EventType::TaskAdded, task, -1, undoable);
    return task;
}

template<typename T, typename Get, typename Set>
void Document::setTaskField(TaskIndex task, const T &content, Get get, Set set, int eventType,
                            bool undoable, QObject *source)
{
    if (!isValidTask(task) || get(m_tasks.at(task)) == content)
        return;
    set(m_tasks[task], content);
    Events events(source);
    events.add(eventType, task, -1);
    notifyChange(events, undoable);
}

void Document::setTaskNotes(TaskIndex task, const QString &notes, bool undoable, QObject *source)
{
    announceChange(QStringLiteral("Set Card Notes"), undoable);
    setTaskField(
        task, notes, [](const Task &t) { return t.notes(); },
        [](Task &t, const QString &n) { t.setNotes(n); }, EventType::TaskNotesChanged, undoable,
        source);
}

void Document::setTaskLinks(TaskIndex task, const QList<HyperLink> &links, bool undoable,
                            QObject *source)
{
    announceChange(QStringLiteral("Edit Links"), undoable);
    setTaskField(
        task, links, [](const Task &t) { return t.hyperLinks(); },
        [](Task &t, const QList<HyperLink> &l) { t.setHyperLinks(l); }, EventType::TaskLinksChanged,
        undoable, source);
}

void Document::setTaskImage(TaskIndex task, int imageIndex, bool undoable, QObject *source)
{
    announceChange(QStringLiteral("Set Card Image"), undoable);
    setTaskField(
        task, imageIndex, [](const Task &t) { return t.imageIndex(); },
        [](Task &t, int i) { t.setImageIndex(i); }, EventType::TaskImageChanged, undoable, source);
}

void Document::duplicateTasks(const QList<TaskIndex> &tasks, int copies, bool undoable)
{
    announceChange(tasks.size() > 1 ? QStringLiteral("Duplicate cards")
                                    : QStringLiteral("Duplicate card"),
                   undoable);
    const int originalCount = m_tasks.size();
    Events events;
    for (const TaskIndex task : tasks) {
        if (task < 0 || task >= originalCount)
            continue;
        for (int copy = 0; copy < copies; ++copy) {
            const Task card = m_tasks.at(task);
            m_tasks.append(card);
            const TaskIndex added = m_tasks.size() - 1;
            m_values.appendTask();
            for (int property = 0; property < m_properties.size(); ++property)
                m_values.setText(added, property, m_values.text(task, property));
            events.add(EventType::TaskAdded, added, -1);
        }
    }
    notifyChange(events, undoable);
}

void Document::deleteTask(TaskIndex task, bool undoable)
{
    // The undo list drops the second, identical snapshot that deleteTasks asks for.
    announceChange(QStringLiteral("Delete Card"), undoable);
    deleteTasks(QList<TaskIndex> {task}, undoable);
}

void Document::deleteTasks(const QList<TaskIndex> &tasks, bool undoable)
{
    announceChange(tasks.size() > 1 ? QStringLiteral("Delete Cards")
                                    : QStringLiteral("Delete Card"),
                   undoable);
    // A repeated or stale index must never take an innocent card with it.
    const QList<int> doomed = validIndexes(tasks, 0, m_tasks.size());
    m_values.removeTasks(doomed);
    Events events;
    for (int i = doomed.size() - 1; i >= 0; --i) {
        m_tasks.removeAt(doomed.at(i));
        events.add(EventType::TasksDeleted, doomed.at(i), -1);
    }
    dropCaches();
    notifyChange(events, undoable);
}

QString Document::taskNotes(TaskIndex task) const
{
    return isValidTask(task) ? m_tasks.at(task).notes() : QString();
}

QList<HyperLink> Document::taskLinks(TaskIndex task) const
{
    return isValidTask(task) ? m_tasks.at(task).hyperLinks() : QList<HyperLink>();
}

int Document::taskImage(TaskIndex task) const
{
    return isValidTask(task) ? m_tasks.at(task).imageIndex() : -1;
}

bool Document::hasNotes(TaskIndex task) const
{
    return !taskNotes(task).trimmed().isEmpty();
}

bool Document::hasLinks(TaskIndex task) const
{
    return isValidTask(task) && !m_tasks.at(task).hyperLinks().isEmpty();
}

void Document::editProperty(int property, const QString &name, const QString &defaultValue,
                            int type, const QStringList &predefinedValues,
                            const PropertyAppearance &appearance, bool undoable)
{
    editProperty(property, name, defaultValue, type, predefinedValues, appearance, ViewNames::Keep,
                 undoable);
}

void Document::editProperty(int property, const QString &name, const QString &defaultValue,
                            int type, const QStringList &predefinedValues,
                            const PropertyAppearance &appearance, ViewNames viewNames,
                            bool undoable)
{
    announceChange(QStringLiteral("Edit Property"), undoable);
    if (!isValidProperty(property))
        return;
    Property &edited = m_properties[property];
    bool changed = false;
    if (edited.defaultValue() != defaultValue) {
        edited.setDefaultValue(defaultValue);
        changed = true;
    }
    bool viewsRenamed = false;
    if (edited.name() != name) {
        // Every name contains the empty text; replacing it would scatter the new name through
        // every view name.
        if (viewNames == ViewNames::Follow && !edited.name().isEmpty()) {
            for (Slice &view : m_storedViews) {
                if (view.name.contains(edited.name(), Qt::CaseSensitive)) {
                    view.name.replace(edited.name(), name, Qt::CaseSensitive);
                    viewsRenamed = true;
                }
            }
        }
        edited.setName(name);
        changed = true;
    }
    if (edited.type() != type) {
        edited.setType(type);
        changed = true;
    }
    QStringList sorted = predefinedValues;
    std::sort(sorted.begin(), sorted.end());
    if (sorted != m_predefinedValues.value(property)) {
        clearRangeCache(property);
        m_predefinedValues[property] = sorted;
        changed = true;
    }
    if (edited.appearanceRef() != appearance)
        edited.setAppearance(appearance);
    else if (!changed)
        return;
    m_caches.actualTypes.remove(property);
    resetInvalidChartProperties(property);
    Events events;
    events.add(EventType::PropertyChanged, -1, property);
    if (viewsRenamed)
        events.add(EventType::StoredViewsChanged);
    notifyChange(events, undoable);
}

void Document::editPropertyAs(int property, const Property &edited, bool undoable)
{
    editProperty(property, edited.name(), edited.defaultValue(), edited.type(),
                 m_predefinedValues.value(property), edited.appearanceRef(), undoable);
}

void Document::setPropertyName(int property, const QString &name, bool undoable)
{
    setPropertyName(property, name, ViewNames::Keep, undoable);
}

void Document::setPropertyName(int property, const QString &name, ViewNames viewNames,
                               bool undoable)
{
    // A copy: the edit writes the property the fields would otherwise be read from.
    const Property edited = isValidProperty(property) ? m_properties.at(property) : Property();
    editProperty(property, name, edited.defaultValue(), edited.type(),
                 m_predefinedValues.value(property), edited.appearanceRef(), viewNames, undoable);
}

void Document::setPropertyType(int property, int type, bool undoable)
{
    Property edited = isValidProperty(property) ? m_properties.at(property) : Property();
    edited.setType(type);
    editPropertyAs(property, edited, undoable);
}

void Document::setPropertyDefaultValue(int property, const QString &defaultValue, bool undoable)
{
    Property edited = isValidProperty(property) ? m_properties.at(property) : Property();
    edited.setDefaultValue(defaultValue);
    editPropertyAs(property, edited, undoable);
}

void Document::setValueOrder(int property, const QStringList &order, bool undoable)
{
    announceChange(QStringLiteral("Change Order"), undoable);
    if (!isValidProperty(property))
        return;
    PropertyAppearance appearance = m_properties.at(property).appearance();
    if (appearance.textOrder() == order)
        return;
    appearance.setTextOrder(order);
    m_properties[property].setAppearance(appearance);
    notifyChange(EventType::PropertyChanged, -1, property, undoable);
}

void Document::deleteProperty(int property, bool undoable)
{
    deleteProperties(QList<int> {property}, undoable);
}

void Document::deleteProperties(const QList<int> &properties, bool undoable)
{
    announceChange(properties.size() > 1 ? QStringLiteral("Delete Properties")
                                         : QStringLiteral("Delete Property"),
                   undoable);
    // Property 0 is the "<select>" placeholder that every "none" points at: never deleted.
    const QList<int> doomed = validIndexes(properties, 1, m_properties.size());
    m_values.removeProperties(doomed);
    Events events;
    for (int i = doomed.size() - 1; i >= 0; --i) {
        const int property = doomed.at(i);
        m_properties.removeAt(property);
        if (property < m_predefinedValues.size())
            m_predefinedValues.removeAt(property);
        m_currentView.removeProperty(property);
        for (Slice &view : m_storedViews)
            view.removeProperty(property);
        m_chartsSettings.propertyRemoved(property);
        m_tableAppearance.propertyRemoved(property);
        events.add(EventType::PropertyDeleted, -1, property);
    }
    dropCaches();
    notifyChange(events, undoable);
}
