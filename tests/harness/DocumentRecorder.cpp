#include "DocumentRecorder.h"

DocumentRecorder::DocumentRecorder(Document &doc)
{
    connect(&doc, &Document::aboutToChange, this, [this, &doc](const QString &text) {
        undoTexts.append(text);
        snapshots.push_back(std::make_unique<Document>(doc));
    });
    connect(&doc, &Document::changed, this,
            [this](const Events &events) { changes.append(events); });
}

QList<QList<int>> DocumentRecorder::eventTypes() const
{
    QList<QList<int>> result;
    for (const Events &events : changes) {
        QList<int> types;
        for (const Event &event : events.events)
            types.append(event.type);
        result.append(types);
    }
    return result;
}

void DocumentRecorder::clear()
{
    undoTexts.clear();
    snapshots.clear();
    changes.clear();
}
