// The dock's row rules as tables over plain bar records.
#include "docking/core/DockLayout.h"

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace pv::docking {
namespace {

struct BarSpec
{
    std::int32_t Row = 0;
    std::int32_t Pos = -1;
    int Length = 100;
    int Cross = 20;
    bool FullSize = false;
    bool Visible = true;
};

std::vector<DockBar> Bars(const std::vector<BarSpec>& specs)
{
    std::vector<DockBar> bars;
    for (std::size_t i = 0; i < specs.size(); ++i) {
        const BarSpec& s = specs[i];
        DockBar bar;
        bar.Id = static_cast<int>(i);
        bar.DockRow = s.Row;
        bar.DockPos = s.Pos;
        bar.Length = s.Length;
        bar.CrossSize = s.Cross;
        bar.FullSize = s.FullSize;
        bar.Visible = s.Visible;
        bars.push_back(bar);
    }
    return bars;
}

const DockBar& ById(const std::vector<DockBar>& bars, int id)
{
    return *std::find_if(bars.begin(), bars.end(), [id](const DockBar& b) { return b.Id == id; });
}

std::vector<std::int32_t> RowsById(const std::vector<DockBar>& bars)
{
    std::vector<std::int32_t> rows;
    for (std::size_t i = 0; i < bars.size(); ++i)
        rows.push_back(ById(bars, static_cast<int>(i)).DockRow);
    return rows;
}

std::vector<std::int32_t> PositionsById(const std::vector<DockBar>& bars)
{
    std::vector<std::int32_t> positions;
    for (std::size_t i = 0; i < bars.size(); ++i)
        positions.push_back(ById(bars, static_cast<int>(i)).DockPos);
    return positions;
}

DockLayoutOptions Horizontal(int length = 500)
{
    DockLayoutOptions options;
    options.ClientLength = length;
    return options;
}

constexpr std::int32_t kMaxRow = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMinRow = std::numeric_limits<std::int32_t>::min();

TEST(DockLayout, RowsAreSortedAndCompactedInOnePass)
{
    struct Case
    {
        const char* name;
        std::vector<std::int32_t> rows;
        std::vector<std::int32_t> expected;
    };
    const Case cases[] = {
        {"one blank row closes", {0, 3}, {0, 1}},
        {"two blank rows close in the same layout", {0, 2, 4}, {0, 1, 2}},
        {"rows keep their order", {5, 2, 2}, {1, 0, 0}},
        {"a negative row is row 0", {-4, 0, 7}, {0, 0, 1}},
        {"a row of two thousand million", {2000000000, 1}, {1, 0}},
        {"the extremes of the stored range", {kMinRow, kMaxRow, 3}, {0, 2, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<BarSpec> specs;
        for (std::size_t i = 0; i < c.rows.size(); ++i)
            specs.push_back(BarSpec{c.rows[i], 0});
        std::vector<DockBar> bars = Bars(specs);
        const DockLayout layout = LayoutBars(bars, Horizontal());
        EXPECT_EQ(RowsById(bars), c.expected);
        const auto rowCount =
            static_cast<std::size_t>(*std::max_element(c.expected.begin(), c.expected.end()) + 1);
        EXPECT_EQ(layout.RowThickness.size(), rowCount);
        // The records come back sorted by row, then position.
        EXPECT_TRUE(
            std::is_sorted(bars.begin(), bars.end(), [](const DockBar& a, const DockBar& b) {
                return a.DockRow < b.DockRow;
            }));
    }
}

TEST(DockLayout, PositionsArePushedSoNoBarStartsBeforeTheEndOfTheOneBefore)
{
    struct Case
    {
        const char* name;
        std::vector<BarSpec> bars;
        std::vector<std::int32_t> expected;
    };
    const Case cases[] = {
        {"same position: side by side in list order", {{0, 0}, {0, 0}}, {0, 100}},
        {"an overlap is pushed to the end", {{0, 0}, {0, 50}}, {0, 100}},
        {"a gap stays", {{0, 0}, {0, 200}}, {0, 200}},
        {"unset positions line up from 0", {{0, -1}, {0, -1, 60}}, {0, 100}},
        {"sorted by position, not by list order", {{0, 300}, {0, 0}}, {300, 0}},
        {"each row counts from 0", {{0, 0}, {1, 0}, {1, 10}}, {0, 0, 100}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<DockBar> bars = Bars(c.bars);
        LayoutBars(bars, Horizontal());
        EXPECT_EQ(PositionsById(bars), c.expected);
        for (std::size_t i = 0; i < c.bars.size(); ++i) {
            const DockBar& bar = ById(bars, static_cast<int>(i));
            EXPECT_EQ(bar.Bounds.left(), c.expected[i]);
            EXPECT_EQ(bar.Bounds.width(), c.bars[i].Length);
        }
    }
}

TEST(DockLayout, FullSizeBarIsAloneInItsRowAtTheWholeLength)
{
    // A before the full-size bar F in row 0, C in row 1: the others move one row out.
    std::vector<DockBar> bars = Bars({{0, 50}, {0, 120, 80, 20, true}, {1, 0}});
    const DockLayout layout = LayoutBars(bars, Horizontal(400));
    EXPECT_EQ(RowsById(bars), (std::vector<std::int32_t>{1, 0, 2}));
    const DockBar& full = ById(bars, 1);
    EXPECT_EQ(full.DockPos, 0);
    EXPECT_EQ(full.Bounds, QRect(0, 0, 400, 24));
    EXPECT_EQ(ById(bars, 0).Bounds.top(), 24);
    EXPECT_EQ(ById(bars, 0).DockPos, 50);
    EXPECT_EQ(layout.Thickness, 3 * 24);

    // Alone already, it pushes nobody.
    std::vector<DockBar> alone = Bars({{0, 0, 80, 20, true}, {1, 30}});
    LayoutBars(alone, Horizontal(400));
    EXPECT_EQ(RowsById(alone), (std::vector<std::int32_t>{0, 1}));
    EXPECT_EQ(ById(alone, 1).DockPos, 30);
}

TEST(DockLayout, OverflowingRowIsPulledBackToTheDockEdge)
{
    struct Case
    {
        const char* name;
        int clientLength;
        std::vector<BarSpec> bars;
        std::vector<std::int32_t> expected;
    };
    const Case cases[] = {
        {"the last bar ends at the edge", 300, {{0, 0}, {0, 400}}, {0, 200}},
        {"bars touching each other cannot move", 250, {{0, 0}, {0, 100}, {0, 200}}, {0, 100, 200}},
        {"never before 0", 300, {{0, 50, 400}}, {0}},
        {"only the overflowing row moves", 300, {{0, 250}, {1, 100}}, {200, 100}},
        {"a position near the top of the range", 300, {{0, kMaxRow}}, {200}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<DockBar> bars = Bars(c.bars);
        LayoutBars(bars, Horizontal(c.clientLength));
        EXPECT_EQ(PositionsById(bars), c.expected);
    }
}

TEST(DockLayout, RowThicknessIsTheLargestCrossSizePlusTheFrameAndAtLeastTwelve)
{
    std::vector<DockBar> bars = Bars({{0, 0, 100, 20}, {0, 0, 100, 28}, {1, 0, 100, 3}});
    const DockLayout layout = LayoutBars(bars, Horizontal());
    EXPECT_EQ(layout.RowSizes, (std::vector<int>{28, kMinRowSize}));
    EXPECT_EQ(layout.RowThickness, (std::vector<int>{32, 12}));
    EXPECT_EQ(layout.Thickness, 44);
    EXPECT_EQ(ById(bars, 2).Bounds, QRect(0, 32, 100, 12));

    DockLayoutOptions vertical = Horizontal(300);
    vertical.Vertical = true;
    std::vector<DockBar> side = Bars({{0, 10, 60, 40}, {1, 0, 50, 20}});
    LayoutBars(side, vertical);
    EXPECT_EQ(ById(side, 0).Bounds, QRect(0, 10, 44, 60));
    EXPECT_EQ(ById(side, 1).Bounds, QRect(44, 0, 24, 50));

    std::vector<DockBar> none;
    EXPECT_EQ(LayoutBars(none, Horizontal()).Thickness, 0);
    DockLayoutOptions fixAlign = Horizontal();
    fixAlign.FixAlign = true;
    EXPECT_EQ(LayoutBars(none, fixAlign).Thickness, 1);
}

TEST(DockLayout, LimitToOneRowPutsEveryBarInRowZero)
{
    std::vector<DockBar> bars = Bars({{0, 0}, {2, 0}, {7, 0}});
    DockLayoutOptions options = Horizontal();
    options.LimitToOneRow = true;
    LayoutBars(bars, options);
    EXPECT_EQ(RowsById(bars), (std::vector<std::int32_t>{0, 0, 0}));
    EXPECT_EQ(PositionsById(bars), (std::vector<std::int32_t>{0, 100, 200}));
}

TEST(DockLayout, HiddenBarKeepsItsRowAndPositionAndLandsBackThere)
{
    struct Case
    {
        const char* name;
        std::vector<BarSpec> bars;
        int hidden;
    };
    const Case cases[] = {
        // Bar 0 alone in row 0 above bar 1: hiding it must not move bar 1 up into row 0.
        {"alone in its row", {{0, 0}, {1, 0}}, 0},
        {"first in a row", {{0, 0}, {0, 100}, {1, 40}}, 0},
        {"between two rows", {{0, 0}, {1, 30}, {2, 0}}, 1},
        {"with a full-size bar after it", {{0, 0}, {1, 0, 100, 20, true}}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<DockBar> bars = Bars(c.bars);
        LayoutBars(bars, Horizontal());
        const std::vector<std::int32_t> rows = RowsById(bars);
        const std::vector<std::int32_t> positions = PositionsById(bars);
        std::vector<QRect> bounds;
        for (std::size_t i = 0; i < c.bars.size(); ++i)
            bounds.push_back(ById(bars, static_cast<int>(i)).Bounds);

        auto setVisible = [&](bool visible) {
            for (DockBar& bar : bars) {
                if (bar.Id == c.hidden)
                    bar.Visible = visible;
            }
        };
        setVisible(false);
        const DockLayout hiddenLayout = LayoutBars(bars, Horizontal());
        EXPECT_EQ(RowsById(bars), rows);
        EXPECT_EQ(PositionsById(bars), positions);
        EXPECT_TRUE(ById(bars, c.hidden).Bounds.isNull());
        // The hidden bar's row takes no room when nothing else shows in it.
        const std::int32_t hiddenRow = rows[static_cast<std::size_t>(c.hidden)];
        if (RowSizeOf(bars, hiddenRow) == 0) {
            EXPECT_EQ(hiddenLayout.RowThickness[static_cast<std::size_t>(hiddenRow)], 0);
        }

        setVisible(true);
        LayoutBars(bars, Horizontal());
        EXPECT_EQ(RowsById(bars), rows);
        EXPECT_EQ(PositionsById(bars), positions);
        for (std::size_t i = 0; i < c.bars.size(); ++i)
            EXPECT_EQ(ById(bars, static_cast<int>(i)).Bounds, bounds[i]);
    }
}

TEST(DockLayout, DropRowForAPointAcrossTheDock)
{
    struct Case
    {
        const char* name;
        std::vector<int> rows;
        int pos;
        RowForDrop expected;
    };
    const Case cases[] = {
        {"before the first row", {32, 24}, -10, {0, true}},
        {"within 5 pixels of the first row's start", {32, 24}, 5, {0, true}},
        {"inside the first row", {32, 24}, 6, {0, false}},
        {"inside, 5 pixels before its end", {32, 24}, 27, {0, false}},
        {"at the boundary between rows", {32, 24}, 28, {1, true}},
        {"5 pixels into the second row", {32, 24}, 37, {1, true}},
        {"inside the second row", {32, 24}, 38, {1, false}},
        {"at the end of the last row", {32, 24}, 52, {2, true}},
        {"beyond the last row", {32, 24}, 62, {2, false}},
        {"far beyond", {32, 24}, 100000, {2, false}},
        {"an empty dock near its edge", {}, 3, {0, true}},
        {"an empty dock further in", {}, 40, {0, false}},
        {"a row of hidden bars takes a new row", {32, 0, 24}, 33, {1, true}},
        {"past a row of hidden bars", {32, 0, 24}, 40, {2, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(GetRowForDrop(c.rows, c.pos), c.expected);
    }
}

TEST(DockLayout, DropSettlesRowAndPositionBeforeTheOneLayout)
{
    // Three rows of 24 (cross 20); a bar dropped into the dock lands as the drop says, and the
    // bars it does not concern keep their positions.
    struct Case
    {
        const char* name;
        QRect drop; ///< in the dock's client area
        bool fullSize;
        DockDrop expected;
        std::vector<std::int32_t> others; ///< rows of bars 0..2 after the layout
    };
    const Case cases[] = {
        {"below the last row: a row of its own", QRect(40, 70, 90, 24), false, {3, 40}, {0, 1, 2}},
        {"at the boundary of rows 0 and 1", QRect(10, 12, 90, 24), false, {1, 10}, {0, 2, 3}},
        {"into row 1", QRect(50, 24, 90, 24), false, {1, 50}, {0, 1, 2}},
        {"full size onto row 1", QRect(50, 24, 90, 24), true, {2, 50}, {0, 1, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<DockBar> bars = Bars({{0, 0}, {1, 200}, {2, 300}});
        const DockLayout before = LayoutBars(bars, Horizontal());
        const DockDrop drop =
            PlaceDrop(bars, before.RowThickness, std::nullopt, c.fullSize, c.drop, false);
        EXPECT_EQ(drop, c.expected);
        DockBar dropped;
        dropped.Id = 3;
        dropped.DockRow = drop.Row;
        dropped.DockPos = drop.Pos;
        dropped.FullSize = c.fullSize;
        dropped.Length = 90;
        dropped.CrossSize = 20;
        bars.push_back(dropped);
        LayoutBars(bars, Horizontal());
        const DockBar& placed = ById(bars, 3);
        EXPECT_EQ(placed.DockRow, c.expected.Row);
        EXPECT_EQ(placed.DockPos, c.fullSize ? 0 : c.expected.Pos);
        std::vector<std::int32_t> rows = RowsById(bars);
        rows.pop_back();
        EXPECT_EQ(rows, c.others);
        EXPECT_EQ(PositionsById(bars)[1], 200);
        EXPECT_EQ(PositionsById(bars)[2], 300);
    }
}

} // namespace
} // namespace pv::docking
