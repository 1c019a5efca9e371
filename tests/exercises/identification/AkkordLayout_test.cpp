// The identification window's panel arithmetic: answer grid, instrument heights, piano octaves.
#include "exercises/identification/AkkordLayout.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace pv {
namespace {

bool Overlap(const LayoutRect& a, const LayoutRect& b)
{
    return a.Width > 0 && a.Height > 0 && b.Width > 0 && b.Height > 0 && a.X < b.Right() &&
           b.X < a.Right() && a.Y < b.Bottom() && b.Y < a.Bottom();
}

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

// Every combination of answer inputs, with and without the alteration bar, in windows from too
// low for their panels to roomy: no panel covers the result line, the control strip or another.
TEST(AkkordLayout, NoPanelCoversTheResultLineOrAnotherPanelInAnyCombination)
{
    struct Size
    {
        int width;
        int height;
    };
    const Size sizes[] = {{640, 300}, {700, 480}, {900, 640}, {900, 700}, {1200, 1000}};
    for (const Size size : sizes) {
        for (int bits = 0; bits <= 15; ++bits) {
            for (bool bar : {false, true}) {
                for (int answerHeight : {95, 179}) {
                    AkkordPanelsShown shown;
                    shown.Buttons = (bits & 1) != 0;
                    shown.Piano = (bits & 2) != 0;
                    shown.Guitar = (bits & 4) != 0;
                    shown.Staff = (bits & 8) != 0;
                    shown.AlterationBar = bar;
                    shown.PlayStyleBar = true;
                    shown.AnswerAreaHeight = answerHeight;
                    SCOPED_TRACE(testing::Message()
                                 << size.width << "x" << size.height << " bits " << bits
                                 << (bar ? " with bar" : "") << " answers " << answerHeight);
                    const AkkordPanelLayout layout =
                        LayoutAkkordPanels(size.width, size.height, shown);

                    const std::pair<const char*, const std::optional<LayoutRect>*> panels[] = {
                        {"staff", &layout.Staff},     {"alteration bar", &layout.AlterationBar},
                        {"answers", &layout.Answers}, {"piano", &layout.Piano},
                        {"guitar", &layout.Guitar},
                    };
                    const bool wanted[] = {shown.Staff, bar, shown.Buttons, shown.Piano,
                                           shown.Guitar};
                    std::vector<std::pair<std::string, LayoutRect>> placed;
                    for (std::size_t i = 0; i < std::size(panels); ++i) {
                        const auto& [name, rect] = panels[i];
                        ASSERT_EQ(rect->has_value(), wanted[i]) << name;
                        if (!*rect) {
                            continue;
                        }
                        EXPECT_EQ((*rect)->X, 0) << name;
                        EXPECT_EQ((*rect)->Width, size.width) << name;
                        EXPECT_GE((*rect)->Height, 0) << name;
                        EXPECT_GE((*rect)->Y, layout.Top.Bottom()) << name;
                        EXPECT_FALSE(Overlap(**rect, layout.ResultLine)) << name;
                        // Top to bottom in the fixed order, each under the one before.
                        if (!placed.empty()) {
                            EXPECT_GE((*rect)->Y, placed.back().second.Bottom())
                                << name << " under " << placed.back().first;
                        }
                        placed.emplace_back(name, **rect);
                    }
                    for (std::size_t i = 0; i < placed.size(); ++i) {
                        for (std::size_t j = i + 1; j < placed.size(); ++j) {
                            EXPECT_FALSE(Overlap(placed[i].second, placed[j].second))
                                << placed[i].first << " and " << placed[j].first;
                        }
                    }
                    EXPECT_TRUE(Overlap(layout.ResultLine, layout.Top));
                    EXPECT_GE(layout.ResultLine.Y, kControlStripRect.Bottom());
                    EXPECT_LE(layout.ResultLine.Bottom(), layout.Top.Bottom());
                    if (layout.PlayStyleBar) {
                        EXPECT_FALSE(Overlap(*layout.PlayStyleBar, kControlStripRect));
                        EXPECT_FALSE(Overlap(*layout.PlayStyleBar, layout.ResultLine));
                        EXPECT_LE(layout.PlayStyleBar->Right(), size.width);
                    }
                    // With room enough the panels reach down to the bottom edge (the staff, or
                    // else the answer area, takes what the others leave); without, they run past
                    // it rather than up into the result line.
                    if (!placed.empty()) {
                        EXPECT_GE(placed.back().second.Bottom(), size.height);
                    }
                    if (layout.Staff && layout.StaffBox.Height > 0) {
                        EXPECT_LE(layout.StaffBox.Bottom(), layout.Staff->Height);
                        EXPECT_LE(layout.StaffBox.Right(), size.width);
                    }
                }
            }
        }
    }
}

TEST(AkkordLayout, ProgressionBarWithoutStaffSitsUnderTheResultLine)
{
    // Answer buttons and the piano, no staff: the answer area fills the window, and the bar
    // once stood on the result line above it.
    AkkordPanelsShown shown;
    shown.Buttons = true;
    shown.Piano = true;
    shown.AlterationBar = true;
    shown.AnswerAreaHeight = 95;
    const AkkordPanelLayout layout = LayoutAkkordPanels(900, 640, shown);
    ASSERT_TRUE(layout.AlterationBar && layout.Answers && layout.Piano);
    EXPECT_EQ(layout.AlterationBar->Y, kTopPanelHeight);
    EXPECT_EQ(layout.Answers->Y, layout.AlterationBar->Bottom());
    EXPECT_EQ(layout.Answers->Bottom(), layout.Piano->Y);
    EXPECT_EQ(layout.Piano->Bottom(), 640);
    EXPECT_EQ(layout.Piano->Height, LayoutInstrumentHeights(640 - 84 - 95 - 29, true, false).Piano);
}

TEST(AkkordLayout, PlayStyleBarStandsAtTheRightWhileItClearsTheStrip)
{
    AkkordPanelsShown shown;
    shown.PlayStyleBar = true;
    const auto wide = LayoutAkkordPanels(900, 600, shown);
    ASSERT_TRUE(wide.PlayStyleBar.has_value());
    EXPECT_EQ(wide.PlayStyleBar->Right(), 900 - kPanelMargin);
    EXPECT_FALSE(LayoutAkkordPanels(700, 600, shown).PlayStyleBar.has_value());
    shown.PlayStyleBar = false;
    EXPECT_FALSE(LayoutAkkordPanels(900, 600, shown).PlayStyleBar.has_value());
}

TEST(AkkordLayout, AlterationButtonsShareTheBarLeftToRight)
{
    const auto buttons = LayoutAlterationButtons(900, 19);
    ASSERT_EQ(buttons.size(), 19u);
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_GE(buttons[i].X, kPanelMargin);
        EXPECT_LE(buttons[i].Right(), 900 - kPanelMargin);
        EXPECT_EQ(buttons[i].Height, 25);
        EXPECT_LE(buttons[i].Bottom(), kAlterationBarHeight);
        if (i > 0) {
            EXPECT_GT(buttons[i].X, buttons[i - 1].Right());
        }
    }
    EXPECT_TRUE(LayoutAlterationButtons(299, 5).empty());
    EXPECT_TRUE(LayoutAlterationButtons(900, 0).empty());
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
