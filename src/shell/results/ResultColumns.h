// The results view's column table: six base columns, the item-count switch and the item
// columns, each with a shown flag and a width that the settings record keeps.
#pragma once

#include <cstdint>

namespace pv {

/// One entry of the column table.
struct ResultColumn
{
    bool Shown = false;
    std::int32_t Width = 0; ///< pixels
    bool operator==(const ResultColumn&) const = default;
};

inline constexpr int kResultColumnCount = 8;

/// The entries of the column table: the six base columns in their order, then the switch that
/// prints counts in the item cells (its width is not used), then the item columns (shown =
/// details shown, width = the common width of every item column).
enum class ResultColumnKind : int
{
    Date = 0,
    Time = 1,
    Duration = 2,
    AnswerTime = 3,
    LevelName = 4,
    TotalResult = 5,
    ItemCounts = 6,
    Items = 7,
};

inline constexpr int kBaseResultColumns = 6;
/// The column of item n (1..60) is 10 + n in the grid's column list.
inline constexpr int kItemColumnBase = 10;

} // namespace pv
