#pragma once

#include "model/ModelTypes.h"

#include <QString>

// One condition of a view's filter: which property (0 for any property or the notes), how it
// compares (MatchType) and the value, kept as the filter section gave it.
struct FilterTerm
{
    FilterTerm() = default;
    FilterTerm(int propertyIndex, int matchType, const QString &value)
        : propertyIndex(propertyIndex), matchType(matchType), value(value)
    { }

    bool operator==(const FilterTerm &other) const
    {
        return propertyIndex == other.propertyIndex && matchType == other.matchType
            && value == other.value;
    }
    bool operator!=(const FilterTerm &other) const { return !(*this == other); }

    int propertyIndex = 0;
    int matchType = MatchType::Contains;
    QString value;
};
