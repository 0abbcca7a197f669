#pragma once

#include "harness/DocumentRecorder.h"
#include "model/Document.h"

#include <functional>

#include <QStringList>

// One edit of a plan, made with or without an undo step.
using Edit = std::function<void(Document &, bool undoable)>;
Q_DECLARE_METATYPE(Edit)

// Builders shared by the model tests.
namespace PlanFixture {

enum Columns { Name = 1, Status = 2, Cost = 3, Due = 4 };

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

// Name (text), Status and Cost (automatic), Due (date); one card per row of texts in that order.
inline void fillPlan(Document &doc, const QList<QStringList> &cards)
{
    doc.clear(false);
    addProperty(doc, QStringLiteral("Name"), PropertyType::Text);
    addProperty(doc, QStringLiteral("Status"));
    addProperty(doc, QStringLiteral("Cost"));
    addProperty(doc, QStringLiteral("Due"), PropertyType::Date);
    for (const QStringList &card : cards) {
        QList<PropertyIndexAndValue> values;
        for (int i = 0; i < card.size(); ++i)
            values.append({i + 1, card.at(i)});
        doc.addTaskWithValues(values, QString(), {}, -1, false);
    }
}

// A property of each name Pi (predefined value Pi), and one card whose value of Pi is "i".
inline void fillProperties(Document &doc, const QStringList &names)
{
    doc.clear(false);
    QList<PropertyIndexAndValue> values;
    for (const QString &name : names)
        values.append({addProperty(doc, name, PropertyType::Automatic, {name}), name.mid(1)});
    doc.addTaskWithValues(values, QString(), {}, -1, false);
}

// Automatic properties of the names and as many cards, each holding every property's own name
// as its value, so that a value shows which property it went with.
inline void fillSelfNamedProperties(Document &doc, const QStringList &names, int cards = 1)
{
    doc.clear(false);
    QList<PropertyIndexAndValue> values;
    for (const QString &name : names)
        values.append({addProperty(doc, name), name});
    for (int card = 0; card < cards; ++card)
        doc.addTaskWithValues(values, QString(), {}, -1, false);
}

// The names of the plan's properties in their order.
inline QStringList propertyNames(const Document &doc)
{
    QStringList names;
    for (int property : doc.propertyIndexes(false))
        names.append(doc.propertyName(property));
    return names;
}

inline QStringList column(const Document &doc, int property)
{
    QStringList texts;
    for (TaskIndex task = 0; task < doc.taskCount(); ++task)
        texts.append(doc.value(task, property));
    return texts;
}

// Every reported event as "type:card:property", changes apart by " | ", so that a failing
// comparison shows them.
inline QString eventText(const DocumentRecorder &recorder)
{
    QStringList changes;
    for (const Events &events : recorder.changes) {
        QStringList words;
        for (const Event &event : events.events)
            words.append(QStringLiteral("%1:%2:%3")
                             .arg(event.type)
                             .arg(event.taskIndex)
                             .arg(event.propertyIndex));
        changes.append(words.join(QLatin1Char(' ')));
    }
    return changes.join(QStringLiteral(" | "));
}

} // namespace PlanFixture
