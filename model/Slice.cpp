#include "model/Slice.h"

#include "common/core/TextDrawing.h"
#include "model/ChartsSettings.h"

Slice::Slice()
{
    reset();
}

Slice::Slice(const Slice &other)
{
    *this = other;
}

Slice &Slice::operator=(const Slice &other)
{
    if (this == &other)
        return *this;
    name = other.name;
    xProperty = other.xProperty;
    yProperty = other.yProperty;
    cellOrderingProperty = other.cellOrderingProperty;
    cardColorProperty = other.cardColorProperty;
    highlightColorProperty = other.highlightColorProperty;
    totalProperty = other.totalProperty;
    showCellsTotals = other.showCellsTotals;
    rowColColor = other.rowColColor;
    propertyVisibilities = other.propertyVisibilities;
    showLabels = other.showLabels;
    showNotes = other.showNotes;
    showHyperLinks = other.showHyperLinks;
    showImages = other.showImages;
    imagePosition = other.imagePosition;
    imageSize = other.imageSize;
    filterBasic = other.filterBasic;
    filterShowsMatching = other.filterShowsMatching;
    filterMatchAny = other.filterMatchAny;
    filterTerms = other.filterTerms;
    storeAppearance = other.storeAppearance;
    if (other.storeAppearance)
        appearance = other.appearance;
    return *this;
}

void Slice::reset()
{
    name.clear();
    xProperty = 0;
    yProperty = 0;
    cellOrderingProperty = 0;
    cardColorProperty = 0;
    highlightColorProperty = 0;
    totalProperty = 0;
    showCellsTotals = false;
    rowColColor = 0;
    propertyVisibilities.clear();
    showLabels = false;
    showNotes = false;
    showHyperLinks = false;
    showImages = true;
    imagePosition = 0;
    imageSize = 1;
    filterBasic = true;
    filterShowsMatching = true;
    filterMatchAny = true;
    filterTerms.clear();
    storeAppearance = false;
    appearance = CardsAppearance();
}

bool Slice::operator==(const Slice &other) const
{
    const bool same = xProperty == other.xProperty && yProperty == other.yProperty
        && cellOrderingProperty == other.cellOrderingProperty
        && cardColorProperty == other.cardColorProperty
        && highlightColorProperty == other.highlightColorProperty
        && totalProperty == other.totalProperty && showCellsTotals == other.showCellsTotals
        && rowColColor == other.rowColColor && propertyVisibilities == other.propertyVisibilities
        && showLabels == other.showLabels && showNotes == other.showNotes
        && showHyperLinks == other.showHyperLinks && showImages == other.showImages
        && imagePosition == other.imagePosition && imageSize == other.imageSize
        && filterBasic == other.filterBasic && filterShowsMatching == other.filterShowsMatching
        && filterMatchAny == other.filterMatchAny && filterTerms == other.filterTerms
        && storeAppearance == other.storeAppearance;
    if (!same)
        return false;
    return !storeAppearance || appearance == other.appearance;
}

int Slice::propertyVisibility(int i) const
{
    if (i < 0 || i >= propertyVisibilities.size())
        return PropertyVisibility::Text;
    return propertyVisibilities.at(i);
}

void Slice::setPropertyVisibility(int i, int visibility)
{
    if (i >= 0 && i < propertyVisibilities.size())
        propertyVisibilities[i] = visibility;
}

void Slice::removeProperty(int i)
{
    for (int *role : {&xProperty, &yProperty, &cellOrderingProperty, &cardColorProperty,
                      &highlightColorProperty, &totalProperty})
        adjustIndexForRemoval(*role, i);
    if (i >= 0 && i < propertyVisibilities.size())
        propertyVisibilities.removeAt(i);
    for (int t = filterTerms.size() - 1; t >= 0; --t) {
        FilterTerm &term = filterTerms[t];
        if (term.propertyIndex == i)
            filterTerms.removeAt(t);
        else if (term.propertyIndex > i)
            --term.propertyIndex;
    }
}

void Slice::remapProperties(const PropertyReorderMap &map)
{
    for (int *role : {&xProperty, &yProperty, &cellOrderingProperty, &cardColorProperty,
                      &highlightColorProperty})
        keyForValue(*role, map);
    if (map.contains(totalProperty))
        keyForValue(totalProperty, map);

    const QList<int> old = propertyVisibilities;
    for (int j = 0; j < propertyVisibilities.size(); ++j) {
        const int from = map.value(j, -1);
        propertyVisibilities[j] = from >= 0 && from < old.size() ? old.at(from) : 0;
    }
    for (FilterTerm &term : filterTerms)
        keyForValue(term.propertyIndex, map);
}

bool operator<(const Slice &a, const Slice &b)
{
    return a.name < b.name;
}
