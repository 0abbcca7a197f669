#pragma once

#include <QMap>
#include <QPair>
#include <QString>

// Small types and integer codes shared by the plan model and everyone who reads it. The codes
// are plain ints (they are stored in plan files and views as numbers); the names only make
// the code that uses them readable.

// A card index counted from 0; -1 for none.
using TaskIndex = int;

// Where a date lies relative to today; see the date bucket codes below.
using RelativeDate = int;

// The type a property's values are treated as (see ActualType for the codes).
using ActualPropertyType = int;

// A property index and a value text, used to preset the values of a new card.
using PropertyIndexAndValue = QPair<int, QString>;

// A card value's place: (card index, property index).
using ValueKey = QPair<TaskIndex, int>;

// Maps each new property index to the old index of the property that moves there.
using PropertyReorderMap = QMap<int, int>;

// Declared type of a property (Property::type).
namespace PropertyType {
enum : int { Automatic = 0, Text = 1, Numeric = 2, Date = 3 };
}

// Codes of ActualPropertyType; note they differ from the declared PropertyType codes.
namespace ActualType {
enum : int { Text = 0, Numeric = 1, Date = 2 };
}

// How a card shows a property (stored per view).
namespace PropertyVisibility {
enum : int {
    Hidden = 0,
    Text = 1,
    Square = 2,
    Circle = 3,
    Star = 4,
    Triangle = 5,
    Diamond = 6,
    BoldText = 7,
    ItalicText = 8
};
}

// Date bucket codes (RelativeDate).
namespace DateBucket {
enum : int { Past = 0, Today = 1, Tomorrow = 2, NextSevenDays = 3, Later = 4, Undefined = 5 };
}

// How a filter term compares (FilterTerm::matchType).
namespace MatchType {
enum : int { Contains = 0, DoesNotContain = 1, Is = 2, IsNot = 3, GreaterThan = 4, LessThan = 5 };
}

// Where a legend of the Cards or Charts pane stands and which colours it lists
// (CardsAppearance::showLegend and ChartsAppearance::showLegend). The "visible colors" modes
// list only the values of cards that pass the filter.
namespace LegendMode {
enum : int {
    Hidden = 0,
    BottomAllColors = 1,
    RightAllColors = 2,
    BottomVisibleColors = 3,
    RightVisibleColors = 4
};
inline bool atBottom(int mode)
{
    return mode == BottomAllColors || mode == BottomVisibleColors;
}
inline bool atRight(int mode)
{
    return mode == RightAllColors || mode == RightVisibleColors;
}
inline bool listsAllColors(int mode)
{
    return mode == BottomAllColors || mode == RightAllColors;
}
} // namespace LegendMode

// How the Cards view draws its column and row headers (CardsAppearance::headerType): fixed at
// the grid's edges, or floating at the view's edges once the grid scrolls under them.
namespace HeaderType {
enum : int { Fixed = 0, Floating = 1 };
}

// How the cards of one cell are arranged (CardsAppearance::cellLayout): in a grid wider or
// taller than high, or all in one row or one column.
namespace CellLayout {
enum : int { WideGrid = 0, TallGrid = 1, Row = 2, Column = 3 };
}

// The outline of a card (CardsAppearance::shape).
namespace CardShape {
enum : int { Rectangle = 0, RoundedRectangle = 1 };
}

// Whether the Cards grid's background is coloured by the column or row values
// (Slice::rowColColor).
namespace RowColColor {
enum : int { None = 0, Columns = 1, Rows = 2 };
}

// Where a card's picture stands beside its text, and how much of the card it takes
// (Slice::imagePosition and Slice::imageSize).
namespace ImagePosition {
enum : int { Left = 0, Right = 1, Top = 2, Bottom = 3 };
}
namespace ImageSize {
enum : int { Small = 0, Medium = 1, Large = 2 };
}

// The span of one date bin (PropertyAppearance::dateBinSize); Day means dates are not binned.
namespace DateBinUnit {
enum : int { Day = 0, Week = 1, Month = 2, Year = 3 };
}

// How Document::values orders a property's distinct values: as the cards and predefined
// values hold them, sorted by text, or in the user's value order with the rest after it.
namespace ValueSort {
enum : int { AsCollected = 0, Sorted = 1, UserOrder = 2 };
}

// Which distinct values of a property Document::values lists, and in what order. The defaults
// list every value in use and every predefined value, the empty value kept, in the user's
// value order; a caller that wants less or more says so by name:
// values(property, ValueListOptions().withoutEmpty().withDefault()).
struct ValueListOptions
{
    int sortMode = ValueSort::UserOrder;
    bool keepEmpty = true;
    bool includeUsed = true;
    bool includePredefined = true;
    // The property's default value, added when no card holds it.
    bool includeDefault = false;
    // Of the values in use, only those of cards that pass the current view's filter.
    bool onlyFiltered = false;

    ValueListOptions sortedBy(int mode) const
    {
        ValueListOptions options = *this;
        options.sortMode = mode;
        return options;
    }
    ValueListOptions withoutEmpty() const
    {
        ValueListOptions options = *this;
        options.keepEmpty = false;
        return options;
    }
    ValueListOptions withoutUsed() const
    {
        ValueListOptions options = *this;
        options.includeUsed = false;
        return options;
    }
    ValueListOptions withoutPredefined() const
    {
        ValueListOptions options = *this;
        options.includePredefined = false;
        return options;
    }
    ValueListOptions withDefault() const
    {
        ValueListOptions options = *this;
        options.includeDefault = true;
        return options;
    }
};

// What a change notification says changed (Event::type).
namespace EventType {
enum : int {
    AllChanged = 0,
    TaskAdded = 1,
    TasksDeleted = 2,
    PropertyAdded = 3,
    PropertyChanged = 4,
    PropertyDeleted = 5,
    ValueChanged = 6,
    TaskNotesChanged = 7,
    CardsLayoutChanged = 8,
    CardContentChanged = 9,
    ViewChanged = 10,
    StoredViewsChanged = 11,
    FilterChanged = 12,
    CardsAppearanceChanged = 13,
    TaskLinksChanged = 14,
    SearchChanged = 15,
    PropertiesReordered = 16,
    ImagesChanged = 17,
    TaskImageChanged = 18,
    UiStyleChanged = 19,
    ChartsSettingsChanged = 20,
    ChartsAppearanceChanged = 21,
    TableAppearanceChanged = 22
};
}
