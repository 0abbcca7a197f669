#include "common/FilterDelay.h"

#include "common/WidgetContext.h"
#include "model/Document.h"

#include <algorithm>

#include <QTimer>

int filterDelayMs(int cardCount)
{
    const int steps = std::max(cardCount, 0) / 200;
    // Capping the step count first keeps a huge count from overflowing the product.
    return std::min(2000, 400 + 200 * std::min(steps, 8));
}

int filterDelayMs()
{
    const Document *plan = WidgetContext::plan();
    return filterDelayMs(plan ? plan->taskCount() : 0);
}

void restartDelayTimer(QTimer &timer)
{
    timer.stop();
    timer.setSingleShot(true);
    timer.start(filterDelayMs());
}
