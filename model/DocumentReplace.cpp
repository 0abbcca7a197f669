#include "common/core/NumberDateText.h"
#include "common/core/TextHelpers.h"
#include "model/Document.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <QHash>
#include <QSet>

// Edits that change many values at once or a property's list of values. Each runs its inner
// steps without undo and makes one undo step with one change notification of its own.

namespace {

// What find and replace looks for. An empty find text stands for the empty texts alone:
// QString::replace with an empty pattern would put the replacement between every two
// characters of every text.
class TextMatcher
{
public:
    TextMatcher(const QString &find, const QString &replacement, Qt::CaseSensitivity cs)
        : m_find(find), m_replacement(replacement), m_caseSensitivity(cs)
    { }

    bool matches(const QString &text) const
    {
        return m_find.isEmpty() ? text.isEmpty() : text.contains(m_find, m_caseSensitivity);
    }

    // Only called for a text that matches.
    QString replaced(const QString &text) const
    {
        if (m_find.isEmpty())
            return m_replacement;
        return QString(text).replace(m_find, m_replacement, m_caseSensitivity);
    }

private:
    QString m_find;
    QString m_replacement;
    Qt::CaseSensitivity m_caseSensitivity;
};

} // namespace

QList<TaskIndex> Document::replaceText(const QString &find, const QString &replacement,
                                       Qt::CaseSensitivity caseSensitivity, bool searchValues,
                                       int property, bool searchLinkUrls, bool searchLinkNames,
                                       bool searchNotes, bool apply, bool undoable)
{
    announceChange(QStringLiteral("Replace '%1' with '%2'")
                       .arg(elideText(find, 10), elideText(replacement, 10)),
                   undoable);
    const TextMatcher matcher(find, replacement, caseSensitivity);
    QList<int> searched;
    if (searchValues)
        searched = property == 0 ? propertyIndexes(false) : QList<int> {property};
    Events events;
    QList<TaskIndex> matching;
    for (TaskIndex task = 0; task < taskCount(); ++task) {
        bool matched = false;
        for (int p : qAsConst(searched)) {
            const QString text = value(task, p);
            if (!matcher.matches(text))
                continue;
            matched = true;
            if (!apply)
                continue;
            QString changed = matcher.replaced(text);
            setValue(task, p, changed, false, nullptr);
            events.add(EventType::ValueChanged, task, p);
        }
        if (searchLinkUrls || searchLinkNames) {
            bool linkMatched = false;
            QList<HyperLink> links = taskLinks(task);
            for (HyperLink &link : links) {
                const QString url = link.displayUrl();
                if (searchLinkUrls && matcher.matches(url)) {
                    linkMatched = true;
                    if (apply)
                        link.setUrlText(matcher.replaced(url));
                }
                if (searchLinkNames && matcher.matches(link.name())) {
                    linkMatched = true;
                    if (apply)
                        link.setName(matcher.replaced(link.name()));
                }
            }
            matched = matched || linkMatched;
            if (linkMatched && apply) {
                setTaskLinks(task, links, false, nullptr);
                events.add(EventType::TaskLinksChanged, task);
            }
        }
        if (searchNotes && matcher.matches(taskNotes(task))) {
            matched = true;
            if (apply) {
                setTaskNotes(task, matcher.replaced(taskNotes(task)), false, nullptr);
                events.add(EventType::TaskNotesChanged, task);
            }
        }
        if (matched)
            matching.append(task);
    }
    notifyChange(events, undoable);
    return matching;
}

void Document::setValues(const QList<ValueChange> &changes, bool undoable, QObject *source)
{
    // The batch is one undo step: a single change outside the plan refuses all of it.
    for (const ValueChange &change : changes) {
        if (!isValidTask(change.first.first) || !isValidProperty(change.first.second))
            return;
    }
    announceChange(changes.size() > 1 ? QStringLiteral("Update Values")
                                      : QStringLiteral("Update Value"),
                   undoable);
    // The distinct values of a property, listed once per property and pass: listing them for
    // every change made a drop of many cards onto one cell quadratic in the plan's size.
    QHash<int, QSet<QString>> listed;
    const auto allValues = [this, &listed](int property) -> const QSet<QString> & {
        auto it = listed.find(property);
        if (it == listed.end()) {
            const QStringList list
                = values(property, ValueListOptions().sortedBy(ValueSort::AsCollected));
            it = listed.insert(property, QSet<QString>(list.cbegin(), list.cend()));
        }
        return *it;
    };
    // Keyed by (property, new value), ordered by property and then text; holds the value the
    // card had before and the colour it was shown in.
    QMap<QPair<int, QString>, QPair<QString, QColor>> carried;
    for (const ValueChange &change : changes) {
        const TaskIndex task = change.first.first;
        const int property = change.first.second;
        const QPair<int, QString> key(property, change.second);
        if (actualPropertyType(property) != ActualType::Text || carried.contains(key)
            || allValues(property).contains(change.second))
            continue;
        const QString oldValue = value(task, property);
        carried.insert(key, qMakePair(oldValue, colorForValue(property, oldValue)));
    }
    Events events(source);
    for (const ValueChange &change : changes) {
        QString text = change.second;
        setValue(change.first.first, change.first.second, text, false, nullptr);
        events.add(EventType::ValueChanged, change.first.first, change.first.second);
    }
    listed.clear();
    for (auto it = carried.constBegin(); it != carried.constEnd(); ++it) {
        const int property = it.key().first;
        // Only a value that is gone hands its colour on; one still in use keeps it.
        if (!allValues(property).contains(it.value().first))
            m_properties[property].mutableAppearance().setTextColor(it.key().second,
                                                                    it.value().second);
    }
    notifyChange(events, undoable);
}

void Document::addTaskLinks(TaskIndex task, const QList<HyperLink> &links, bool undoable,
                            QObject *source)
{
    if (!isValidTask(task))
        return;
    announceChange(QStringLiteral("Add Links"), undoable);
    m_tasks[task].addHyperLinks(links);
    Events events(source);
    events.add(EventType::TaskLinksChanged, task);
    notifyChange(events, undoable);
}

void Document::renameValue(int property, const QString &oldValue, const QString &newValue,
                           bool undoable)
{
    if (newValue == oldValue || !isValidProperty(property))
        return;
    announceChange(QStringLiteral("Rename value"), undoable);
    const bool newValueIsNew
        = !values(property, ValueListOptions().sortedBy(ValueSort::AsCollected)).contains(newValue);
    const QColor color = newValueIsNew ? colorForValue(property, oldValue) : QColor();
    QList<ValueChange> changes;
    Events events;
    for (TaskIndex task = 0; task < taskCount(); ++task) {
        if (value(task, property) != oldValue)
            continue;
        changes.append(ValueChange(ValueKey(task, property), newValue));
        events.add(EventType::ValueChanged, task, property);
    }
    QStringList order = values(property);
    QStringList &predefined = m_predefinedValues[property];
    const int predefinedAt = predefined.indexOf(oldValue);
    if (predefinedAt >= 0) {
        predefined[predefinedAt] = newValue;
        // Predefined values take part in type detection and ranges.
        dropCachedProperty(property);
    }
    const int orderAt = order.indexOf(oldValue);
    if (orderAt >= 0)
        order[orderAt] = newValue;
    setValueOrder(property, order, false);
    if (!changes.isEmpty())
        setValues(changes, false, nullptr);
    if (newValueIsNew)
        m_properties[property].mutableAppearance().setTextColor(newValue, color);
    events.add(EventType::CardsLayoutChanged);
    notifyChange(events, undoable);
}

void Document::insertPredefinedValue(int property, const QString &value, int position,
                                     bool undoable)
{
    QStringList order = values(property);
    if (position >= 0 && position < order.size())
        order.insert(position, value);
    else
        order.append(value);
    PropertyAppearance appearance = propertyAppearance(property);
    appearance.setTextOrder(order);
    editProperty(property, propertyName(property), propertyDefaultValue(property),
                 propertyType(property), predefinedValues(property) << value, appearance, undoable);
}

void Document::addPredefinedValue(int property, const QString &value, bool undoable)
{
    editProperty(property, propertyName(property), propertyDefaultValue(property),
                 propertyType(property), predefinedValues(property) << value,
                 propertyAppearance(property), undoable);
}

void Document::removePredefinedValue(int property, const QString &value, bool undoable)
{
    QStringList predefined = predefinedValues(property);
    if (!predefined.contains(value))
        return;
    predefined.removeAll(value);
    // Cards may still hold the value, so its place in the order is kept.
    PropertyAppearance appearance = propertyAppearance(property);
    appearance.setTextOrder(values(property));
    editProperty(property, propertyName(property), propertyDefaultValue(property),
                 propertyType(property), predefined, appearance, undoable);
}

QList<TaskIndex> Document::sortTasks(const QList<TaskIndex> &tasks, int property) const
{
    const ActualPropertyType type = actualPropertyType(property);
    const QStringList order = type == ActualType::Text
        ? values(property, ValueListOptions().withoutPredefined())
        : QStringList();
    // Double keys: single precision would merge numbers that differ after seven digits.
    const auto keyOf = [&](TaskIndex task) -> double {
        const QString text = value(task, property);
        if (type == ActualType::Date) {
            const QDate date = stringToDate(text, m_valueFormats);
            return date.isValid() ? double(date.toJulianDay()) : std::numeric_limits<double>::max();
        }
        if (type == ActualType::Numeric) {
            bool ok = false;
            const double number = stringToNumber(text, m_valueFormats, true, &ok);
            // A NaN key would break the ordering that the sort relies on.
            return ok && !std::isnan(number) ? number : 0.0;
        }
        return std::max(0, order.indexOf(text));
    };
    QList<QPair<double, TaskIndex>> keyed;
    keyed.reserve(tasks.size());
    for (TaskIndex task : tasks)
        keyed.append(qMakePair(keyOf(task), task));
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const QPair<double, TaskIndex> &a, const QPair<double, TaskIndex> &b) {
                         return a.first < b.first;
                     });
    QList<TaskIndex> sorted;
    sorted.reserve(keyed.size());
    for (const auto &entry : qAsConst(keyed))
        sorted.append(entry.second);
    return sorted;
}
