// The identification window's panel arithmetic: answer grid, instrument heights, piano octaves.
#include "exercises/identification/AkkordLayout.h"

#include <gtest/gtest.h>

namespace pv {
namespace {

TEST(AkkordLayout, GridColumnsFollowThePanelWidthAndMode)
{
    struct Case
    {
        int width;
        bool progressions;
        int columns;
    };
    const Case cases[] = {{300, false, 4}, {700, false, 4}, {701, false, 5}, {850, false, 5},
                          {851, false, 6}, {700, true, 3},  {720, true, 4},  {900, true, 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        EXPECT_EQ(AnswerGridColumns(c.width, c.progressions), c.columns);
    }
}

TEST(AkkordLayout, NineButtonsOnA720PanelLeaveTheTipAtTheEndOfTheSecondRow)
{
    const auto grid = LayoutAnswerGrid(720, 8, 9, false, true);
    ASSERT_TRUE(grid.has_value());
    EXPECT_EQ(grid->Columns, 5);
    EXPECT_EQ(grid->Rows, 2);
    EXPECT_EQ(grid->ButtonWidth, (720 - 16 - 4 * 11) / 5);
    ASSERT_EQ(grid->Cells.size(), 9u);
    EXPECT_EQ(grid->Cells[0], (LayoutRect{8, 5, 132, 33}));
    EXPECT_EQ(grid->Cells[4], (LayoutRect{8 + 4 * 143, 5, 132, 33}));
    EXPECT_EQ(grid->Cells[5], (LayoutRect{8, 47, 132, 33}));
    EXPECT_EQ(grid->Cells[8].Y, 47);
    EXPECT_EQ(grid->PanelHeight, 47 + 33 + 15);
    ASSERT_TRUE(grid->TipShown);
    // The tip sits in the free last cell of the last row, at the grid's right edge.
    EXPECT_GT(grid->Tip.X, grid->Cells[8].Right());
    EXPECT_LE(grid->Tip.Right(), grid->Cells[4].Right());
    EXPECT_GE(grid->Tip.Y, grid->Cells[8].Y);
    EXPECT_LE(grid->Tip.Bottom(), grid->Cells[8].Bottom());
}

TEST(AkkordLayout, TipNeedsAFreeCellAndPermission)
{
    struct Case
    {
        const char* name;
        int buttons;
        bool allowed;
        bool shown;
    };
    const Case cases[] = {{"full row", 10, true, false},
                          {"free cell", 3, true, true},
                          {"not allowed", 3, false, false},
                          {"no buttons", 0, true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto grid = LayoutAnswerGrid(720, 8, c.buttons, false, c.allowed);
        ASSERT_TRUE(grid.has_value());
        EXPECT_EQ(grid->TipShown, c.shown);
    }
}

TEST(AkkordLayout, NoButtonsGiveAnEmptyPanelAndNarrowPanelsKeepTheirLayout)
{
    const auto empty = LayoutAnswerGrid(720, 8, 0, false, true);
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->Cells.empty());
    EXPECT_EQ(empty->PanelHeight, 0);
    EXPECT_FALSE(LayoutAnswerGrid(299, 8, 5, false, true).has_value());
    EXPECT_FALSE(PianoOctaves(299).has_value());
}

TEST(AkkordLayout, InstrumentHeightsShareTheHeightLeft)
{
    struct Case
    {
        const char* name;
        int heightLeft;
        bool piano;
        bool guitar;
        int pianoHeight;
        int guitarHeight;
    };
    const Case cases[] = {
        {"piano alone, rounded to six", 161, true, false, 156, 144},
        {"piano alone, at most 172", 400, true, false, 172, 144},
        {"piano alone, at least 107", 50, true, false, 107, 144},
        {"guitar alone, rounded to twelve", 131, false, true, 155, 120},
        {"guitar alone, at most 156", 400, false, true, 155, 156},
        {"both", 300, true, true, 150, 144},
        {"both, small", 200, true, true, 107, 96},
        {"neither keeps the defaults", 300, false, false, 155, 144},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const InstrumentHeights h = LayoutInstrumentHeights(c.heightLeft, c.piano, c.guitar);
        EXPECT_EQ(h.Piano, c.pianoHeight);
        EXPECT_EQ(h.Guitar, c.guitarHeight);
    }
}

TEST(AkkordLayout, PianoOctavesFitThePanel)
{
    EXPECT_EQ(PianoOctaves(300), 4);
    EXPECT_EQ(PianoOctaves(10 + 5 * 154), 5);
    EXPECT_EQ(PianoOctaves(2000), 6);
}

TEST(AkkordLayout, CompactProgressionGridNeedsColumnsAndASmallBox)
{
    EXPECT_TRUE(UsesCompactColumns(8, 40, 136));
    EXPECT_FALSE(UsesCompactColumns(8, 40, 137));
    EXPECT_FALSE(UsesCompactColumns(10, 40, 100));
    EXPECT_FALSE(CompactColumnWidth(500, 0).has_value());
    EXPECT_EQ(CompactColumnWidth(500, 3), 90);
    EXPECT_EQ(CompactColumnWidth(500, 8), 62);
}

} // namespace
} // namespace pv
