#include "model/ChartsSettings.h"

#include "common/core/TextDrawing.h"

void ChartsSettings::propertyRemoved(int i)
{
    adjustIndexForRemoval(showProperty, i);
    adjustIndexForRemoval(byProperty, i);
    adjustIndexForRemoval(perProperty, i);
}

void ChartsSettings::remapProperties(const PropertyReorderMap &map)
{
    if (map.contains(showProperty))
        keyForValue(showProperty, map);
    keyForValue(byProperty, map);
    keyForValue(perProperty, map);
}

bool ChartsSettings::operator==(const ChartsSettings &other) const
{
    return showProperty == other.showProperty && byProperty == other.byProperty
        && perProperty == other.perProperty && useCardsFilter == other.useCardsFilter
        && hideZeroBars == other.hideZeroBars && hideEmptyCharts == other.hideEmptyCharts;
}
