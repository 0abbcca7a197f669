#include "common/widgets/FilterDelay.h"

#include "common/widgets/WidgetContext.h"
#include "model/Document.h"

#include <algorithm>

#include <QTimer>

int filterDelayMs(int cardCount)
{
    const int steps = std::max(cardCount, 0) / 200;
    // Capping the step count first keeps a huge count from overflowing the product.
    return std::min(2000, 400 + 200 * std::min(steps, 8));
}

namespace {

double delayScale = 1.0;

} // namespace

int filterDelayMs()
{
    const Document *plan = WidgetContext::plan();
    return int(filterDelayMs(plan ? plan->taskCount() : 0) * delayScale);
}

void setFilterDelayScale(double factor)
{
    delayScale = std::max(0.0, factor);
}

void restartDelayTimer(QTimer &timer)
{
    timer.stop();
    timer.setSingleShot(true);
    timer.start(filterDelayMs());
}
