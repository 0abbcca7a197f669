#pragma once

#include "model/CardsAppearance.h"
#include "model/FilterTerm.h"
#include "model/ModelTypes.h"

#include <QList>
#include <QString>

// One view of the Cards tab: the properties that lay out and colour the grid, how each property
// shows on a card, the display flags, the filter and optionally its own Cards appearance. The
// Document holds the current view and the named stored views.
//
// The appearance travels only with views that store one: assignment leaves the target's
// appearance alone otherwise, and equality looks at it only when both views store one.
class Slice
{
public:
    Slice();
    Slice(const Slice &other);
    Slice &operator=(const Slice &other);

    void reset();

    // Equality ignores the name.
    bool operator==(const Slice &other) const;
    bool operator!=(const Slice &other) const { return !(*this == other); }

    void appendPropertyVisibility(int visibility) { propertyVisibilities.append(visibility); }
    // Shown as text (1) for an index outside the list.
    int propertyVisibility(int i) const;
    void setPropertyVisibility(int i, int visibility);

    // Adjust the view after property i was deleted.
    void removeProperty(int i);
    // Adjust the view after the properties were re-ordered (new index -> old index).
    void remapProperties(const PropertyReorderMap &map);

    QString name;
    int xProperty = 0;
    int yProperty = 0;
    int cellOrderingProperty = 0;
    int cardColorProperty = 0;
    int highlightColorProperty = 0;
    int totalProperty = 0;
    bool showCellsTotals = false;
    int rowColColor = 0;
    // One PropertyVisibility code per property, property 0 included, in property order.
    QList<int> propertyVisibilities;
    bool showLabels = false;
    bool showNotes = false;
    bool showHyperLinks = false;
    bool showImages = true;
    int imagePosition = 0;
    int imageSize = 1;
    bool filterBasic = true;
    bool filterShowsMatching = true;
    bool filterMatchAny = true;
    QList<FilterTerm> filterTerms;
    bool storeAppearance = false;
    CardsAppearance appearance;
};

// Stored views sort by name, case-sensitively.
bool operator<(const Slice &a, const Slice &b);
