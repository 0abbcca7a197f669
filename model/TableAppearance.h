#pragma once

#include "model/ModelTypes.h"

#include <QFont>

// How the Table pane presents the plan. cellColor is the position in the table's colouring
// list: 0 off, 1 all properties, p + 1 for property p.
struct TableAppearance
{
    // The cellColor codes besides p + 1 for property p.
    enum : int { CellColorOff = 0, CellColorAllProperties = 1 };

    TableAppearance() { setDefaults(); }

    void setDefaults();

    // Follows the deletion of property i; "off" and "all properties" are never touched.
    void propertyRemoved(int i);
    // Follows a re-ordering (new index -> old index), so the colouring stays on its property.
    void remapProperties(const PropertyReorderMap &map);

    // The font compares by family only.
    bool operator==(const TableAppearance &other) const;
    bool operator!=(const TableAppearance &other) const { return !(*this == other); }

    QFont font;
    int fontSize = 12;
    int cellColor = CellColorOff;
};
