#include "app/UndoHistory.h"

#include "model/Document.h"

UndoHistory::UndoHistory() = default;

UndoHistory::~UndoHistory() = default;

void UndoHistory::record(const Document &plan, const QString &name)
{
    if (m_undoIndex > 0) {
        const int dropped = qMin(m_undoIndex, count());
        m_undoStack.erase(m_undoStack.begin(), m_undoStack.begin() + dropped);
    }
    auto copy = std::make_unique<Document>(plan);
    copy->setChangeName(name);
    if (!m_undoStack.empty() && *copy == *m_undoStack.front()) {
        // The first undo's copy of the plan carries no name and must not hide the edit's.
        if (!name.isEmpty())
            m_undoStack.front()->setChangeName(name);
    } else {
        m_undoStack.insert(m_undoStack.begin(), std::move(copy));
    }
    m_undoIndex = -1;
    while (count() > capacity)
        m_undoStack.pop_back();
    // Until the edit reports its change, the plan is what was just recorded.
    m_newestIsPlan = true;
}

void UndoHistory::noteChanged(const Document &plan)
{
    if (m_undoIndex != -1 || m_undoStack.empty())
        return;
    m_newestIsPlan = plan == *m_undoStack.front();
}

int UndoHistory::undoBase() const
{
    return m_undoIndex == -1 && m_newestIsPlan ? 0 : m_undoIndex;
}

bool UndoHistory::canUndo() const
{
    return undoBase() + 1 < count();
}

QString UndoHistory::undoName() const
{
    return canUndo() ? snapshot(undoBase() + 1).changeName() : QString();
}

bool UndoHistory::canRedo() const
{
    return m_undoIndex > 0 && m_undoIndex < count();
}

QString UndoHistory::redoName() const
{
    return canRedo() ? snapshot(m_undoIndex).changeName() : QString();
}

const Document *UndoHistory::undo(const Document &plan)
{
    if (!canUndo())
        return nullptr;
    if (m_undoIndex == -1) {
        record(plan, QString());
        m_undoIndex = 1;
    } else {
        ++m_undoIndex;
    }
    return m_undoIndex < count() ? &snapshot(m_undoIndex) : nullptr;
}

const Document *UndoHistory::redo()
{
    if (!canRedo())
        return nullptr;
    --m_undoIndex;
    return &snapshot(m_undoIndex);
}

void UndoHistory::clear()
{
    m_undoStack.clear();
    m_undoIndex = -1;
    m_newestIsPlan = false;
}
