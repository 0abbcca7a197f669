#pragma once

#include "model/Event.h"

#include <QList>
#include <QMetaType>

class QObject;

// The payload of Document::changed: the object that made the change (so that a pane can
// ignore its own edits) and the events in the order they happened.
struct Events
{
    explicit Events(QObject *source = nullptr) : source(source) { }

    void add(const Event &event) { events.append(event); }
    void add(int type, int taskIndex = -1, int propertyIndex = -1)
    {
        events.append(Event(type, taskIndex, propertyIndex));
    }
    bool containsType(int type) const;

    QObject *source;
    QList<Event> events;
};

Q_DECLARE_METATYPE(Events)
