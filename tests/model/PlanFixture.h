#pragma once

#include "model/Document.h"

#include <QList>
#include <QObject>
#include <QStringList>

// Small builders and a change recorder shared by the value-model tests.
namespace PlanFixture {

inline int addProperty(Document &doc, const QString &name, int type = PropertyType::Automatic,
                       const QStringList &predefined = QStringList(),
                       const QString &defaultValue = QString())
{
    doc.addProperty(name, defaultValue, type, predefined, PropertyVisibility::Text,
                    PropertyAppearance(), false);
    return doc.propertyCount() - 1;
}

// One card per text, as the value of the given property.
inline void addCards(Document &doc, int property, const QStringList &texts)
{
    for (const QString &text : texts)
        doc.addTaskWithValues({PropertyIndexAndValue(property, text)}, QString(), {}, -1, false);
}

// Events as "type:card:property" words, so that a failing comparison shows them.
inline QString eventText(const QList<Event> &events)
{
    QStringList words;
    for (const Event &event : events)
        words.append(QStringLiteral("%1:%2:%3")
                         .arg(event.type)
                         .arg(event.taskIndex)
                         .arg(event.propertyIndex));
    return words.join(QLatin1Char(' '));
}

// Records what a document announces and reports, in order.
class ChangeRecorder
{
public:
    explicit ChangeRecorder(Document &doc)
    {
        QObject::connect(&doc, &Document::aboutToChange, &m_context,
                         [this](const QString &text) { undoTexts.append(text); });
        QObject::connect(&doc, &Document::changed, &m_context, [this](const Events &events) {
            ++changedCount;
            this->events.append(events.events);
            sources.append(events.source);
        });
    }

    QStringList undoTexts;
    int changedCount = 0;
    QList<Event> events;
    QList<QObject *> sources;

private:
    QObject m_context;
};

} // namespace PlanFixture
