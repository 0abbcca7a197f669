#pragma once

#include "model/ModelTypes.h"

#include <QList>
#include <QString>
#include <QVector>

// The card values of a plan, held by Document: one implicitly shared column of texts per
// property, indexed by card. An undo snapshot shares every column, and the first edit after it
// copies only the column it writes to, not the whole plan.
//
// A (card, property) pair may have no entry: it reads as the empty text, but Document::setValue
// stores nothing for it. A column holds a null text for such a pair; a stored text is never
// null, the empty text included.
class ValueStore
{
public:
    using Column = QVector<QString>;

    int taskCount() const { return m_taskCount; }
    int propertyCount() const { return m_columns.size(); }

    // The stored text, or a null text for a pair without an entry or outside the store.
    const QString &text(TaskIndex task, int property) const
    {
        if (property < 0 || property >= m_columns.size() || task < 0 || task >= m_taskCount)
            return noEntry();
        return m_columns.at(property).at(task);
    }
    bool hasEntry(TaskIndex task, int property) const { return !text(task, property).isNull(); }
    // Every card's text of the property, in card order; a null text has no entry.
    const Column &column(int property) const { return m_columns.at(property); }

    // Stores the text under an existing card and property, making an entry where there was
    // none; a null text is stored as the empty text.
    void setText(TaskIndex task, int property, const QString &text)
    {
        m_columns[property][task] = entryText(text);
    }

    // A property whose entry on every card is the text.
    void appendProperty(const QString &text);
    // A card without entries.
    void appendTask();
    // count cards at once, with the texts of columns: one column per property, each holding
    // count texts, none of them null. Columns are taken over, not copied, where they can be.
    void appendTasks(int count, QVector<Column> &columns);
    // The indexes ascending, each once and in range. Later cards move down; every card after
    // the first removed one gets an entry for every property (the empty text where it had
    // none), so that values can be set on it.
    void removeTasks(const QList<TaskIndex> &tasks);
    // The indexes ascending, each once and in range. An absent entry stays absent.
    void removeProperties(const QList<int> &properties);
    // The new column i is the old column oldIndexes[i]; oldIndexes holds a valid index per
    // property.
    void reorderProperties(const QVector<int> &oldIndexes);
    void clear();

    // The same cards and properties, the same entries and the same texts. Columns still shared
    // with the other store are equal without a look at their texts.
    bool operator==(const ValueStore &other) const;
    bool operator!=(const ValueStore &other) const { return !(*this == other); }

private:
    static const QString &noEntry();
    static const QString &emptyText();
    static const QString &entryText(const QString &text)
    {
        return text.isNull() ? emptyText() : text;
    }

    QVector<Column> m_columns;
    int m_taskCount = 0;
};
