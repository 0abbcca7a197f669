#pragma once

// The user's choice of how value texts read as dates and numbers. The preferences hold it;
// the plan keeps its own copy, pushed by the application whenever the preferences load or
// change, so that the model never reaches up for the preferences.
namespace DateFormat {
enum : int { DayMonthYear = 0, MonthDayYear = 1, YearMonthDay = 2 };
}
// C is the C locale's form (point as decimal separator); any other value the system locale.
namespace NumberFormat {
enum : int { System = 0, C = 1 };
}

struct ValueFormats
{
    int dateFormat = DateFormat::DayMonthYear;
    int numberFormat = NumberFormat::System;

    bool operator==(const ValueFormats &other) const
    {
        return dateFormat == other.dateFormat && numberFormat == other.numberFormat;
    }
    bool operator!=(const ValueFormats &other) const { return !(*this == other); }
};
