#pragma once

#include <memory>
#include <vector>

#include <QString>

class Document;

// The plan's undo and redo as whole-plan snapshots: before every undoable edit the main window
// records a copy of the plan labelled with the edit's undo text, and undo and redo hand a
// copy back for the plan to become. Copies share the plan's containers until one side
// changes, so a snapshot of a large plan costs little. It knows no widgets: the main window
// owns one, and its tests drive it like the model.
//
// Snapshots are kept newest first. The position is -1 while the plan is newer than every
// snapshot (no undo since the last edit), else the index of the snapshot the plan equals.
// Each snapshot is named by the edit that followed the state it holds, so Undo names the
// edit it takes back and Redo the edit it repeats.
class UndoHistory
{
public:
    static constexpr int capacity = 15;

    UndoHistory();
    ~UndoHistory();
    UndoHistory(const UndoHistory &) = delete;
    UndoHistory &operator=(const UndoHistory &) = delete;

    // Before an undoable edit: drops the states redo could reach and keeps a copy of the plan
    // named after the edit. A copy equal to the newest snapshot is not kept; the newest then
    // takes the edit's name, as undoing now takes that edit back.
    void record(const Document &plan, const QString &name);
    // After each change notification: whether the plan still equals the newest snapshot
    // decides what Undo takes back while the position is -1. An announced edit that changed
    // nothing leaves them equal, and Undo then names the edit before it.
    void noteChanged(const Document &plan);
    // The snapshot the plan is to become, or null when there is nothing to undo (redo). The
    // first undo after an edit keeps the plan itself, so that redo can return to it.
    const Document *undo(const Document &plan);
    const Document *redo();
    void clear();

    int count() const { return int(m_undoStack.size()); }
    int position() const { return m_undoIndex; }
    const Document &snapshot(int index) const { return *m_undoStack.at(size_t(index)); }

    bool canUndo() const;
    // The name of the edit Undo takes back; empty when there is none.
    QString undoName() const;
    bool canRedo() const;
    QString redoName() const;

private:
    // The position Undo counts from: the newest snapshot when the plan equals it.
    int undoBase() const;

    // Newest first, at most capacity.
    std::vector<std::unique_ptr<Document>> m_undoStack;
    int m_undoIndex = -1;
    // At position -1: the plan equals the newest snapshot, as last compared.
    bool m_newestIsPlan = false;
};
