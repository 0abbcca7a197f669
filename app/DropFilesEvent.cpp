#include "app/DropFilesEvent.h"

DropFilesEvent::DropFilesEvent(const QList<QUrl> &paths, TaskIndex taskIndex,
                               const QList<PropertyIndexAndValue> &presets, quint64 generation)
    : QEvent(Type), paths(paths), taskIndex(taskIndex), presets(presets), generation(generation)
{ }

DropFilesEvent::~DropFilesEvent() = default;
