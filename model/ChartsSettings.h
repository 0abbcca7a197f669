#pragma once

#include "model/ModelTypes.h"

// What the Charts pane shows: the property summed (the property count standing for the card
// count), the property of the bars, the property giving one chart per value, and its flags.
struct ChartsSettings
{
    ChartsSettings() = default;

    void reset() { *this = ChartsSettings(); }

    // Follows the deletion of property i; a card-count show property still counts cards.
    void propertyRemoved(int i);
    // Follows a re-ordering (new index -> old index); the card count is no key, so it survives.
    void remapProperties(const PropertyReorderMap &map);

    bool operator==(const ChartsSettings &other) const;
    bool operator!=(const ChartsSettings &other) const { return !(*this == other); }

    int showProperty = 0;
    int byProperty = 0;
    int perProperty = 0;
    bool useCardsFilter = false;
    bool hideZeroBars = false;
    bool hideEmptyCharts = false;
};

// Shared by every record that stores property indexes: after deleting property i, an index on
// i falls back to 0 ("none") and greater ones move down by one.
inline void adjustIndexForRemoval(int &index, int removed)
{
    if (index == removed)
        index = 0;
    else if (index > removed)
        --index;
}
