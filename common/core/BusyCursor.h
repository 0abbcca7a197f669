#pragma once

class QCursor;

// Shows the wait cursor while at least one guard is alive; nested guards push the override
// cursor once and the outermost one removes that entry, and only that one: cursors that others
// push or remove in the meantime (a view's zoom cursor, a link's hand) stay as they are, so any
// sequence of guards and other cursors leaves the application's cursor stack as it found it.
class BusyCursor
{
public:
    BusyCursor();
    virtual ~BusyCursor();
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

// Removes the topmost entry equal to the cursor from the application's override-cursor stack,
// keeping the entries above it in their order; false, and nothing changed, when there is none.
// Whoever pushes an override cursor removes its own entry this way rather than popping the top,
// which may belong to someone else by then.
bool removeOverrideCursor(const QCursor &cursor);
