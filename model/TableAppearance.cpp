#include "model/TableAppearance.h"

#include "common/core/TextDrawing.h"

void TableAppearance::setDefaults()
{
    font = QFont(QStringLiteral("Helvetica Neue"));
    fontSize = 12;
    cellColor = CellColorOff;
}

void TableAppearance::propertyRemoved(int i)
{
    const int property = cellColor - 1;
    if (property < 1)
        return;
    if (property == i)
        cellColor = CellColorOff;
    else if (property > i)
        --cellColor;
}

void TableAppearance::remapProperties(const PropertyReorderMap &map)
{
    int property = cellColor - 1;
    if (property < 1)
        return;
    keyForValue(property, map);
    cellColor = property < 1 ? CellColorOff : property + 1;
}

bool TableAppearance::operator==(const TableAppearance &other) const
{
    return font.family() == other.font.family() && fontSize == other.fontSize
        && cellColor == other.cellColor;
}
