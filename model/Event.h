#pragma once

#include "model/ModelTypes.h"

#include <QDebug>

// One change notification: what changed (EventType) and the card and property it concerns,
// -1 where none.
struct Event
{
    explicit Event(int type = EventType::AllChanged, int taskIndex = -1, int propertyIndex = -1)
        : type(type), taskIndex(taskIndex), propertyIndex(propertyIndex)
    { }

    bool operator==(const Event &other) const
    {
        return type == other.type && taskIndex == other.taskIndex
            && propertyIndex == other.propertyIndex;
    }
    bool operator!=(const Event &other) const { return !(*this == other); }

    qint32 type;
    qint32 taskIndex;
    qint32 propertyIndex;
};

// Readable failures in tests and warnings.
inline QDebug operator<<(QDebug debug, const Event &event)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "Event(" << event.type << ", " << event.taskIndex << ", "
                    << event.propertyIndex << ')';
    return debug;
}
