#include "table/DeferredRefresh.h"

#include <QEvent>
#include <QWidget>

DeferredRefresh::DeferredRefresh(QWidget *table, Classify classify, Refresh refresh)
    : QObject(table), m_table(table), m_classify(std::move(classify)), m_refresh(std::move(refresh))
{
    // The table sees its Show event after this filter, and announces it to the main window
    // only then: by that time it has caught up.
    table->installEventFilter(this);
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
    if (watched == m_table && event->type() == QEvent::Show)
        catchUp();
    return QObject::eventFilter(watched, event);
}

void DeferredRefresh::catchUp()
{
    if (!isWaiting())
        return;
    Events waiting;
    if (m_rebuildDue)
        waiting.add(EventType::AllChanged);
    else
        waiting = m_waiting;
    m_rebuildDue = false;
    m_waiting = Events();
    m_refresh(waiting);
}
