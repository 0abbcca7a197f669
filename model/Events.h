#pragma once

#include "model/Event.h"

#include <QFlags>
#include <QList>
#include <QMetaType>

class QObject;

// One bit per event code (EventType), for the set of changes a receiver of Document::changed
// listens to. A receiver declares its mask beside its class comment as a static member
// listensTo and returns at once from a notification that holds none of them.
enum class EventFlag : quint32 {
    AllChanged = 1u << EventType::AllChanged,
    TaskAdded = 1u << EventType::TaskAdded,
    TasksDeleted = 1u << EventType::TasksDeleted,
    PropertyAdded = 1u << EventType::PropertyAdded,
    PropertyChanged = 1u << EventType::PropertyChanged,
    PropertyDeleted = 1u << EventType::PropertyDeleted,
    ValueChanged = 1u << EventType::ValueChanged,
    TaskNotesChanged = 1u << EventType::TaskNotesChanged,
    CardsLayoutChanged = 1u << EventType::CardsLayoutChanged,
    CardContentChanged = 1u << EventType::CardContentChanged,
    ViewChanged = 1u << EventType::ViewChanged,
    StoredViewsChanged = 1u << EventType::StoredViewsChanged,
    FilterChanged = 1u << EventType::FilterChanged,
    CardsAppearanceChanged = 1u << EventType::CardsAppearanceChanged,
    TaskLinksChanged = 1u << EventType::TaskLinksChanged,
    SearchChanged = 1u << EventType::SearchChanged,
    PropertiesReordered = 1u << EventType::PropertiesReordered,
    ImagesChanged = 1u << EventType::ImagesChanged,
    TaskImageChanged = 1u << EventType::TaskImageChanged,
    UiStyleChanged = 1u << EventType::UiStyleChanged,
    ChartsSettingsChanged = 1u << EventType::ChartsSettingsChanged,
    ChartsAppearanceChanged = 1u << EventType::ChartsAppearanceChanged,
    TableAppearanceChanged = 1u << EventType::TableAppearanceChanged
};
Q_DECLARE_FLAGS(EventMask, EventFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(EventMask)

// The flag of an event code; none for a code outside the table.
constexpr EventMask eventMask(int type)
{
    return type >= EventType::AllChanged && type <= EventType::TableAppearanceChanged
        ? EventMask(EventFlag(1u << type))
        : EventMask();
}

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
    // Whether any event is of a type in the mask.
    bool any(EventMask mask) const;

    QObject *source;
    QList<Event> events;
};

Q_DECLARE_METATYPE(Events)
