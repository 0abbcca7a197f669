#include "model/ValueStore.h"

namespace {

// Whether two columns hold the same entries with the same texts. Texts compare equal whether
// null or empty, so the entries are compared apart.
bool sameColumn(const ValueStore::Column &a, const ValueStore::Column &b)
{
    if (a.constData() == b.constData())
        return true;
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i) {
        const QString &x = a.at(i);
        const QString &y = b.at(i);
        if (x != y || x.isNull() != y.isNull())
            return false;
    }
    return true;
}

} // namespace

const QString &ValueStore::noEntry()
{
    static const QString none;
    return none;
}

const QString &ValueStore::emptyText()
{
    static const QString empty = QStringLiteral("");
    return empty;
}

void ValueStore::appendProperty(const QString &text)
{
    m_columns.append(Column(m_taskCount, entryText(text)));
}

void ValueStore::appendTask()
{
    for (Column &column : m_columns)
        column.append(QString());
    ++m_taskCount;
}

void ValueStore::appendTasks(int count, QVector<Column> &columns)
{
    Q_ASSERT(columns.size() == m_columns.size());
    for (int p = 0; p < m_columns.size(); ++p) {
        Q_ASSERT(columns.at(p).size() == count);
        if (m_columns.at(p).isEmpty())
            m_columns[p].swap(columns[p]);
        else
            m_columns[p].append(columns.at(p));
    }
    m_taskCount += count;
}

void ValueStore::removeTasks(const QList<TaskIndex> &tasks)
{
    if (tasks.isEmpty())
        return;
    const TaskIndex first = tasks.first();
    for (Column &column : m_columns) {
        // A new column costs no more than detaching the old one, which a snapshot shares.
        Column kept;
        kept.reserve(m_taskCount - tasks.size());
        for (TaskIndex task = 0; task < first; ++task)
            kept.append(column.at(task));
        int removed = 0;
        for (TaskIndex task = first; task < m_taskCount; ++task) {
            if (removed < tasks.size() && tasks.at(removed) == task)
                ++removed;
            else
                kept.append(entryText(column.at(task)));
        }
        column = kept;
    }
    m_taskCount -= tasks.size();
}

void ValueStore::removeProperties(const QList<int> &properties)
{
    for (int i = properties.size() - 1; i >= 0; --i)
        m_columns.removeAt(properties.at(i));
}

void ValueStore::reorderProperties(const QVector<int> &oldIndexes)
{
    QVector<Column> columns;
    columns.reserve(oldIndexes.size());
    for (const int from : oldIndexes)
        columns.append(m_columns.at(from));
    m_columns = columns;
}

void ValueStore::clear()
{
    m_columns.clear();
    m_taskCount = 0;
}

bool ValueStore::operator==(const ValueStore &other) const
{
    if (m_taskCount != other.m_taskCount || m_columns.size() != other.m_columns.size())
        return false;
    if (m_columns.constData() == other.m_columns.constData())
        return true;
    for (int p = 0; p < m_columns.size(); ++p) {
        if (!sameColumn(m_columns.at(p), other.m_columns.at(p)))
            return false;
    }
    return true;
}
