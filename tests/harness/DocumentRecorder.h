#pragma once

#include "model/Document.h"

#include <memory>
#include <vector>

#include <QList>
#include <QStringList>

// Listens to a Document the way the main window's undo list does: it keeps each announced undo
// text with a copy of the plan taken at that moment, and each reported change.
class DocumentRecorder : public QObject
{
public:
    explicit DocumentRecorder(Document &doc);

    // The event types of each reported change, one list per change.
    QList<QList<int>> eventTypes() const;
    bool isSilent() const { return undoTexts.isEmpty() && changes.isEmpty(); }
    void clear();

    QStringList undoTexts;
    std::vector<std::unique_ptr<Document>> snapshots;
    QList<Events> changes;
};
