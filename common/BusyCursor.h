#pragma once

// Shows the wait cursor while at least one guard is alive; nested guards push the override
// cursor once and the outermost one removes it.
class BusyCursor
{
public:
    BusyCursor();
    virtual ~BusyCursor();
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;

private:
    static void updateCursor();
};
