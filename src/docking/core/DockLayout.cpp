// The row rules of a dock.
#include "docking/core/DockLayout.h"

#include <algorithm>
#include <limits>

namespace pv::docking {

namespace {

std::int32_t ClampToInt32(std::int64_t value)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

int LengthOf(const DockBar& bar)
{
    return std::max(1, bar.Length);
}

bool AnyOtherOnRow(const std::vector<DockBar>& bars, int row, std::size_t self)
{
    for (std::size_t i = 0; i < bars.size(); ++i) {
        if (i != self && bars[i].DockRow == row)
            return true;
    }
    return false;
}

// Rows become 0..k-1 in the order of their numbers, in one pass: rows read from a damaged
// settings file can be anything, and walking up to a row of two thousand million (or never
// reaching a negative one) is what the ranking avoids.
void CompactRows(std::vector<DockBar>& bars)
{
    std::vector<std::int32_t> rows;
    rows.reserve(bars.size());
    for (const DockBar& bar : bars)
        rows.push_back(bar.DockRow);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (DockBar& bar : bars) {
        const auto rank = std::lower_bound(rows.begin(), rows.end(), bar.DockRow) - rows.begin();
        bar.DockRow = static_cast<std::int32_t>(rank);
    }
}

} // namespace

int GetHighestRow(const std::vector<DockBar>& bars)
{
    int highest = -1;
    for (const DockBar& bar : bars)
        highest = std::max(highest, static_cast<int>(bar.DockRow));
    return highest;
}

int GetNumberOfBarsOnRow(const std::vector<DockBar>& bars, int row, std::optional<int> notThisId)
{
    return static_cast<int>(std::count_if(bars.begin(), bars.end(), [&](const DockBar& bar) {
        return bar.DockRow == row && (!notThisId || bar.Id != *notThisId);
    }));
}

int RowSizeOf(const std::vector<DockBar>& bars, int row)
{
    int size = 0;
    for (const DockBar& bar : bars) {
        if (bar.Visible && bar.DockRow == row)
            size = std::max({size, kMinRowSize, bar.CrossSize});
    }
    return size;
}

void InsertRowBefore(std::vector<DockBar>& bars, int row)
{
    for (DockBar& bar : bars) {
        if (bar.DockRow >= row)
            bar.DockRow = ClampToInt32(std::int64_t{bar.DockRow} + 1);
    }
}

DockLayout LayoutBars(std::vector<DockBar>& bars, const DockLayoutOptions& options)
{
    DockLayout layout;
    for (DockBar& bar : bars) {
        bar.Bounds = QRect();
        bar.DockRow = std::max<std::int32_t>(0, bar.DockRow);
    }
    // Ties keep the order the bars had, so equal rows and positions lay out the same way every
    // time.
    std::stable_sort(bars.begin(), bars.end(), [](const DockBar& a, const DockBar& b) {
        return a.DockRow != b.DockRow ? a.DockRow < b.DockRow : a.DockPos < b.DockPos;
    });
    if (options.LimitToOneRow) {
        for (DockBar& bar : bars)
            bar.DockRow = 0;
    }
    CompactRows(bars);

    // Full-size bars get rows of their own; positions grow along each row. Hidden bars are moved
    // with the rows (their row is kept for when they show again) but take no room.
    int highest = GetHighestRow(bars);
    for (int row = 0; row <= highest; ++row) {
        std::int64_t pos = 0;
        for (std::size_t i = 0; i < bars.size(); ++i) {
            DockBar& bar = bars[i];
            if (bar.DockRow != row)
                continue;
            if (bar.FullSize && AnyOtherOnRow(bars, row, i)) {
                for (std::size_t j = 0; j < bars.size(); ++j) {
                    if (j != i && bars[j].DockRow >= row) {
                        ++bars[j].DockRow;
                        highest = std::max(highest, static_cast<int>(bars[j].DockRow));
                    }
                }
            }
            if (!bar.Visible)
                continue;
            if (bar.DockPos <= pos)
                bar.DockPos = ClampToInt32(pos);
            else
                pos = bar.DockPos;
            pos += LengthOf(bar);
        }
    }

    const auto rowCount = static_cast<std::size_t>(highest + 1);
    layout.RowSizes.assign(rowCount, 0);
    for (const DockBar& bar : bars) {
        if (!bar.Visible)
            continue;
        int& size = layout.RowSizes[static_cast<std::size_t>(bar.DockRow)];
        size = std::max({size, kMinRowSize, bar.CrossSize});
    }

    // A row longer than the dock is pulled back by what its last overflowing bar sticks out;
    // the placing below keeps every bar after the end of the one before it and after 0.
    const std::int64_t clientLength = options.ClientLength;
    for (std::size_t i = 0; i < bars.size(); ++i) {
        DockBar& bar = bars[i];
        if (!bar.Visible)
            continue;
        if (bar.FullSize) {
            bar.DockPos = 0;
            continue;
        }
        for (std::size_t j = bars.size(); j-- > i;) {
            const DockBar& other = bars[j];
            if (other.DockRow != bar.DockRow || !other.Visible)
                continue;
            const std::int64_t end = std::int64_t{other.DockPos} + LengthOf(other);
            if (end > clientLength) {
                bar.DockPos = ClampToInt32(std::int64_t{bar.DockPos} - (end - clientLength));
                break;
            }
        }
    }

    layout.RowThickness.assign(rowCount, 0);
    int offset = 0;
    bool anyShown = false;
    for (std::size_t row = 0; row < rowCount; ++row) {
        const int size = layout.RowSizes[row];
        const int thickness = size > 0 ? size + kRowFrame : 0;
        layout.RowThickness[row] = thickness;
        std::int64_t pos = 0;
        for (DockBar& bar : bars) {
            if (bar.DockRow != static_cast<std::int32_t>(row) || !bar.Visible)
                continue;
            anyShown = true;
            if (bar.DockPos < pos)
                bar.DockPos = ClampToInt32(pos);
            else
                pos = bar.DockPos;
            const int length = bar.FullSize ? std::max(1, options.ClientLength) : LengthOf(bar);
            bar.Bounds = options.Vertical ? QRect(offset, bar.DockPos, thickness, length)
                                          : QRect(bar.DockPos, offset, length, thickness);
            pos += length;
        }
        offset += thickness;
    }
    layout.Thickness = anyShown ? offset : (options.FixAlign ? 1 : 0);
    return layout;
}

RowForDrop GetRowForDrop(const std::vector<int>& rowThickness, int pos)
{
    const int rows = static_cast<int>(rowThickness.size());
    std::int64_t start = 0;
    for (int row = 0;; ++row) {
        if (pos <= start + 5)
            return RowForDrop{row, true};
        if (row == rows)
            return RowForDrop{row, false};
        const std::int64_t end = start + rowThickness[static_cast<std::size_t>(row)];
        if (pos <= end - 5)
            return RowForDrop{row, false};
        start = end;
    }
}

DockDrop PlaceDrop(std::vector<DockBar>& bars, const std::vector<int>& rowThickness,
                   std::optional<int> selfId, bool fullSize, QRect rect, bool vertical)
{
    // The middle across the dock, with the far edge exclusive and halving toward zero.
    const std::int64_t mid = vertical ? (std::int64_t{rect.left()} + rect.left() + rect.width()) / 2
                                      : (std::int64_t{rect.top()} + rect.top() + rect.height()) / 2;
    const RowForDrop drop = GetRowForDrop(rowThickness, ClampToInt32(mid));
    int row = drop.Row;
    if (drop.NewRow) {
        InsertRowBefore(bars, row);
    } else if (fullSize && GetNumberOfBarsOnRow(bars, row, selfId) > 0) {
        ++row;
        InsertRowBefore(bars, row);
    }
    return DockDrop{row, vertical ? rect.top() : rect.left()};
}

} // namespace pv::docking
