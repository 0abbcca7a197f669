#pragma once

// The user's choice of how value texts read as dates and numbers. The preferences hold it;
// the plan keeps its own copy, pushed by the application whenever the preferences load or
// change, so that the model never reaches up for the preferences.
struct ValueFormats
{
    // 0 day-month-year, 1 month-day-year, 2 year-month-day.
    int dateFormat = 0;
    // 1 the C locale's form (point as decimal separator); any other value the system locale.
    int numberFormat = 0;

    bool operator==(const ValueFormats &other) const
    {
        return dateFormat == other.dateFormat && numberFormat == other.numberFormat;
    }
    bool operator!=(const ValueFormats &other) const { return !(*this == other); }
};
