#pragma once

#include "model/ModelTypes.h"

#include <QEvent>
#include <QList>
#include <QUrl>

// Files and links dropped on one of the views, posted by the main window to itself so that the
// drop returns at once and the work runs once the event loop delivers it.
class DropFilesEvent : public QEvent
{
public:
    static constexpr QEvent::Type Type = QEvent::Type(QEvent::User + 3);

    // generation is the main window's count of changes that renumber cards, taken at the drop:
    // a card index is trusted only while that count has not moved.
    DropFilesEvent(const QList<QUrl> &paths, TaskIndex taskIndex,
                   const QList<PropertyIndexAndValue> &presets, quint64 generation);
    ~DropFilesEvent() override;

    QList<QUrl> paths;
    TaskIndex taskIndex;
    QList<PropertyIndexAndValue> presets;
    quint64 generation;
};
