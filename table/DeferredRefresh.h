#pragma once

#include "model/Events.h"
#include "model/ModelTypes.h"

#include <functional>

#include <QObject>
#include <QStringList>
#include <QVector>

class QWidget;

// Stands between the plan's change notification and a table that refreshes from it. While the
// table is shown every notification goes straight on. While it is hidden (another tab in front,
// or the window not shown yet) the notifications only wait here, and the table catches up with
// them just before it is shown again, before it paints or anything reads it. A large plan's
// table holds a cell for every value: building it on every opening and every undo while the
// user looks at another tab took most of that time and half the memory.
//
// While the table waits, changes in place (cells, headers, colours, fonts) are kept in the order
// they came and handed on together; the table reads the plan as it is by then, which ends where
// handing them on one by one would have ended. A change that adds, removes or moves rows or
// columns, or more waiting changes than a rebuild is worth, turns the wait into one whole-plan
// refresh: the table built anew from the plan as it is then, which takes in every change before
// and after it. So that such a rebuild can keep what a table in sight keeps (its sort with its
// property, the user's column widths, the current cell, the selected rows), the waiting also
// follows where each property and card shown when the table was hidden goes: a property moved
// or renamed is known only by its name at the time, so this is done as the changes come.
//
// The main window makes one for each of the Table and Properties tabs and connects
// Document::changed to onChangedDoc where it would connect the table's own slot.
class DeferredRefresh : public QObject
{
    Q_OBJECT

public:
    // What a change means to the table: nothing, a refresh in place, or a rebuild.
    enum class Kind { Ignored, InPlace, Rebuild };
    using Classify = std::function<Kind(int eventType)>;

    // The kind of a change for a table that rebuilds on one set of changes and refreshes in
    // place on another.
    static Kind kindOf(int eventType, EventMask rebuildsOn, EventMask changesInPlaceOn);
    using Refresh = std::function<void(const Events &events)>;

    // Waiting changes in place beyond this many make a rebuild instead.
    static constexpr int maximumWaiting = 1000;

    // A child of the table; refresh is the table's own handler of the notification.
    DeferredRefresh(QWidget *table, Classify classify, Refresh refresh);

    // Changes wait for the table to be shown.
    bool isWaiting() const { return m_rebuildDue || !m_waiting.events.isEmpty(); }

    // While a catch-up is handed on (this object is its notification's source): the index in the
    // plan now of a property or card as the table showed it before it was hidden, -1 when it was
    // deleted or is not known (a card is not after the whole plan was replaced; a property is
    // followed through that by its name, or by its place when it is gone by name but the plan
    // has as many properties, as after an undone rename).
    int propertyNow(int shownProperty) const;
    TaskIndex taskNow(TaskIndex shownTask) const;
    // Whether any change waited for was of the given types.
    bool waitedFor(EventMask types) const { return m_waitedFor & types; }

public slots:
    void onChangedDoc(const Events &events);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void catchUp();
    void startFollowing();
    void follow(const Events &events);
    void followPropertiesByName(bool wholePlan);

    QWidget *m_table;
    Classify m_classify;
    Refresh m_refresh;
    bool m_rebuildDue = false;
    Events m_waiting;

    // What the table showed when it was hidden, followed through the changes since.
    EventMask m_waitedFor;
    // Property names as of the latest change, to find each property after a move.
    QStringList m_propertyNames;
    // Index now of each property shown, -1 once deleted.
    QVector<int> m_propertyNow;
    // The cards deleted, ascending, numbered as when the table was hidden; cards added since
    // are numbered on after those.
    QList<TaskIndex> m_deletedTasks;
    bool m_tasksReplaced = false;
};
