#include "app/SessionEnd.h"

void answerSessionEnd(const SessionManagerCalls &manager,
                      const std::function<bool(const std::function<bool()> &mayAsk)> &save)
{
    bool granted = false;
    const bool ends = save([&manager, &granted] {
        const bool allowed = manager.allowsInteraction();
        granted = granted || allowed;
        return allowed;
    });
    if (!ends)
        manager.cancel();
    // Held, the leave would keep every other program of the session waiting.
    if (granted)
        manager.release();
}
