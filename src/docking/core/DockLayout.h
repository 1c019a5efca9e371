// How a dock lays out its bars in rows: a pure function over plain bar records, so the row
// rules can be checked as tables without a window.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QRect>

namespace pv::docking {

/// One bar as its dock's layout sees it.
struct DockBar
{
    int Id = 0; ///< the caller's name for the bar, carried unchanged
    std::int32_t DockRow = 0;
    std::int32_t DockPos = -1; ///< offset along the row in pixels, -1 when unset
    bool FullSize = false;     ///< alone in its row, at the dock's whole length
    /// Whether the bar shows. A hidden bar keeps its row: it takes part in the row numbering
    /// but takes no room, so hiding and showing it again never moves the other bars' rows.
    bool Visible = true;
    int Length = 0;    ///< outer size along the row (the width in a horizontal dock)
    int CrossSize = 0; ///< client size across the row (`GetBarCrossSize`)
    QRect Bounds;      ///< out: where the bar goes in the dock's client area; null when hidden
};

struct DockLayoutOptions
{
    bool Vertical = false;
    int ClientLength = 0; ///< the dock's client size along its rows
    bool LimitToOneRow = false;
    bool FixAlign = false; ///< an empty dock keeps 1 pixel instead of 0
};

/// The smallest client size across a row, and what a docked bar's frame adds to it.
inline constexpr int kMinRowSize = 8;
inline constexpr int kRowFrame = 4;

struct DockLayout
{
    /// `CalcRowSizes`: per row the largest client size across of its shown bars (at least
    /// `kMinRowSize`), 0 for a row whose bars are all hidden.
    std::vector<int> RowSizes;
    /// Per row its thickness in the dock: its size plus the frame, 0 for a row of hidden bars.
    std::vector<int> RowThickness;
    int Thickness = 0; ///< the dock's client thickness across
};

/// `LayoutBars`: sorts the bars by row and position (ties keep their order), compacts the rows to
/// 0..k-1 in one pass (a negative row counts as row 0), puts every full-size bar alone in its
/// row, pushes positions so that no shown bar starts before the end of the one before it, pulls
/// rows that overflow the dock back and sets each shown bar's bounds. Rows and positions are
/// written back into the records.
DockLayout LayoutBars(std::vector<DockBar>& bars, const DockLayoutOptions& options);

/// The largest row of the bars, -1 for none.
int GetHighestRow(const std::vector<DockBar>& bars);
/// How many bars other than the one named notThisId lie in the row (hidden ones too).
int GetNumberOfBarsOnRow(const std::vector<DockBar>& bars, int row,
                         std::optional<int> notThisId = std::nullopt);
/// The client size across one row: the largest of its shown bars, at least `kMinRowSize`;
/// 0 when no bar of the row shows.
int RowSizeOf(const std::vector<DockBar>& bars, int row);
/// Moves every bar of that row and after one row further out.
void InsertRowBefore(std::vector<DockBar>& bars, int row);

/// Where a drop at a position across the dock goes: into a row, or a new row before it.
struct RowForDrop
{
    int Row = 0;
    bool NewRow = false;
    bool operator==(const RowForDrop&) const = default;
};

/// `GetRowForDrop`: within 5 pixels of a row's start a new row goes before it; further inside,
/// the drop goes into the row; beyond the last row it is the row after the last.
RowForDrop GetRowForDrop(const std::vector<int>& rowThickness, int pos);

/// The row and position a bar dropped as rect (in the dock's client area) takes. Makes the new
/// row (and a row of its own for a full-size bar dropped onto an occupied row) by moving the
/// other bars out, and only then gives the bar its row and position, so one layout afterwards
/// places everything where the drop said.
struct DockDrop
{
    std::int32_t Row = 0;
    std::int32_t Pos = 0;
    bool operator==(const DockDrop&) const = default;
};
DockDrop PlaceDrop(std::vector<DockBar>& bars, const std::vector<int>& rowThickness,
                   std::optional<int> selfId, bool fullSize, QRect rect, bool vertical);

} // namespace pv::docking
