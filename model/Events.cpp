#include "model/Events.h"

#include <algorithm>

bool Events::containsType(int type) const
{
    return std::any_of(events.cbegin(), events.cend(),
                       [type](const Event &event) { return event.type == type; });
}

bool Events::any(EventMask mask) const
{
    return std::any_of(events.cbegin(), events.cend(),
                       [mask](const Event &event) -> bool { return mask & eventMask(event.type); });
}
