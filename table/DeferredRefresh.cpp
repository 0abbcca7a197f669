#include "table/DeferredRefresh.h"

#include "common/app/Accessors.h"
#include "model/Document.h"

#include <algorithm>
#include <numeric>

#include <QEvent>
#include <QWidget>

namespace {

QStringList propertyNames(const Document &plan)
{
    QStringList names;
    for (int p = 0; p < plan.propertyCount(); ++p)
        names.append(plan.propertyName(p));
    return names;
}

} // namespace

DeferredRefresh::DeferredRefresh(QWidget *table, Classify classify, Refresh refresh)
    : QObject(table), m_table(table), m_classify(std::move(classify)), m_refresh(std::move(refresh))
{
    // The table sees its Show event after this filter, and announces it to the main window
    // only then: by that time it has caught up.
    table->installEventFilter(this);
    startFollowing();
}

DeferredRefresh::Kind DeferredRefresh::kindOf(int eventType, EventMask rebuildsOn,
                                              EventMask changesInPlaceOn)
{
    const EventMask type = eventMask(eventType);
    if (type & rebuildsOn)
        return Kind::Rebuild;
    if (type & changesInPlaceOn)
        return Kind::InPlace;
    return Kind::Ignored;
}

void DeferredRefresh::onChangedDoc(const Events &events)
{
    if (m_table->isVisible()) {
        catchUp();
        m_refresh(events);
        return;
    }
    follow(events);
    for (const Event &event : events.events) {
        switch (m_classify(event.type)) {
        case Kind::Ignored:
            break;
        case Kind::InPlace:
            if (!m_rebuildDue)
                m_waiting.add(event);
            break;
        case Kind::Rebuild:
            m_rebuildDue = true;
            break;
        }
    }
    if (m_rebuildDue || m_waiting.events.size() > maximumWaiting) {
        m_rebuildDue = true;
        m_waiting.events.clear();
    }
}

bool DeferredRefresh::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_table) {
        if (event->type() == QEvent::Show)
            catchUp();
        // Shown until now, the table is the plan as it is: what it shows is followed from here.
        else if (event->type() == QEvent::Hide && !isWaiting())
            startFollowing();
    }
    return QObject::eventFilter(watched, event);
}

void DeferredRefresh::catchUp()
{
    if (!isWaiting())
        return;
    Events waiting(this);
    if (m_rebuildDue)
        waiting.add(EventType::AllChanged);
    else
        waiting.events = m_waiting.events;
    m_rebuildDue = false;
    m_waiting = Events();
    m_refresh(waiting);
    m_waitedFor = EventMask();
}

// Following what the table shows

int DeferredRefresh::propertyNow(int shownProperty) const
{
    return m_propertyNow.value(shownProperty, -1);
}

TaskIndex DeferredRefresh::taskNow(TaskIndex shownTask) const
{
    if (m_tasksReplaced || shownTask < 0)
        return -1;
    const auto deletedBefore
        = std::lower_bound(m_deletedTasks.cbegin(), m_deletedTasks.cend(), shownTask);
    if (deletedBefore != m_deletedTasks.cend() && *deletedBefore == shownTask)
        return -1;
    return shownTask - int(deletedBefore - m_deletedTasks.cbegin());
}

void DeferredRefresh::startFollowing()
{
    const Document *plan = doc();
    m_waitedFor = EventMask();
    m_propertyNames = propertyNames(*plan);
    m_propertyNow.resize(m_propertyNames.size());
    std::iota(m_propertyNow.begin(), m_propertyNow.end(), 0);
    m_deletedTasks.clear();
    m_tasksReplaced = false;
}

void DeferredRefresh::follow(const Events &events)
{
    const Document *plan = doc();
    for (const Event &event : events.events) {
        m_waitedFor |= eventMask(event.type);
        const int property = event.propertyIndex;
        switch (event.type) {
        case EventType::AllChanged:
            m_tasksReplaced = true;
            followPropertiesByName(true);
            break;
        case EventType::PropertiesReordered:
            followPropertiesByName(false);
            break;
        case EventType::PropertyAdded:
            for (int &now : m_propertyNow) {
                if (now >= property)
                    ++now;
            }
            if (property >= 0 && property <= m_propertyNames.size())
                m_propertyNames.insert(property, plan->propertyName(property));
            break;
        case EventType::PropertyDeleted:
            for (int &now : m_propertyNow) {
                if (now == property)
                    now = -1;
                else if (now > property)
                    --now;
            }
            if (property >= 0 && property < m_propertyNames.size())
                m_propertyNames.removeAt(property);
            break;
        case EventType::TasksDeleted: {
            // The index counts the cards left after the deletions before it.
            TaskIndex shown = event.taskIndex;
            for (TaskIndex earlier : qAsConst(m_deletedTasks)) {
                if (earlier > shown)
                    break;
                ++shown;
            }
            m_deletedTasks.insert(
                std::upper_bound(m_deletedTasks.begin(), m_deletedTasks.end(), shown), shown);
            break;
        }
        default:
            break;
        }
    }
    // Renames included: the next move finds each property by the name it has now.
    if (events.any(EventFlag::AllChanged | EventFlag::PropertyAdded | EventFlag::PropertyChanged
                   | EventFlag::PropertyDeleted | EventFlag::PropertiesReordered))
        m_propertyNames = propertyNames(*plan);
}

void DeferredRefresh::followPropertiesByName(bool wholePlan)
{
    const QStringList names = propertyNames(*doc());
    for (int &now : m_propertyNow) {
        if (now < 0)
            continue;
        const int found = names.indexOf(m_propertyNames.value(now));
        if (found >= 0)
            now = found;
        else if (!wholePlan || names.size() != m_propertyNames.size())
            now = -1;
    }
    m_propertyNames = names;
}
