// The control strip's presses, releases, hot and focus marks, hit test and keys.
#include "exercises/base/ControlStripModel.h"

#include <Qt>

#include <gtest/gtest.h>

namespace pv {
namespace {

constexpr int kCell = 128; // a 125-pixel face and a 3-pixel gap

// Faces cover x 0..124 of each cell and y 9..47; everything else shows the strip's colour.
bool OutsideFaces(int x, int y)
{
    return x % kCell >= 125 || y < 9 || y > 47;
}

bool AllBackground(int, int)
{
    return true;
}

ControlStripModel StripWith(std::array<bool, 5> enabled)
{
    ControlStripModel strip;
    strip.ButtonEnabled = enabled;
    return strip;
}

TEST(ControlStripModel, HitTestFindsTheFaceUnderThePointAndNothingOnTheBackground)
{
    struct Case
    {
        const char* name;
        int x, y;
        bool allBackground; // a predicate under which only the caption areas can hit
        int expected;
    };
    const Case cases[] = {
        {"middle of face 0", 60, 30, false, 0},
        {"left edge of face 2", 256, 20, false, 2},
        {"right end of face 4", 4 * kCell + 124, 40, false, 4},
        {"gap between faces 0 and 1", 126, 30, false, -1},
        {"above the faces", 60, 3, false, -1},
        {"right of the last cell", 640, 30, false, -1},
        {"negative x", -1, 30, false, -1},
        {"caption area counts on background", 64, 20, true, 0},
        {"caption area's first column", 30, 13, true, 0},
        {"caption area's last column and row", kCell - 30, 35, true, 0},
        {"left of the caption area", 29, 20, true, -1},
        {"right of the caption area", kCell - 29, 20, true, -1},
        {"above the caption area", 60, 12, true, -1},
        {"below the caption area", 60, 36, true, -1},
        {"caption area of cell 3", 3 * kCell + 60, 25, true, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool (*background)(int, int) = c.allBackground ? AllBackground : OutsideFaces;
        EXPECT_EQ(ControlStripModel::HitTest(c.x, c.y, kCell, background), c.expected);
    }
}

TEST(ControlStripModel, ReleaseRunsThePressedButtonOnceAndOnlyWhenStillEnabled)
{
    ControlStripModel strip = StripWith({true, true, false, true, true});
    EXPECT_TRUE(strip.Press(1));
    EXPECT_EQ(strip.PressedIndex, 1);
    EXPECT_EQ(strip.Release(), 1);
    EXPECT_EQ(strip.PressedIndex, -1);
    EXPECT_EQ(strip.Release(), -1) << "a second release finds nothing held";

    EXPECT_FALSE(strip.Press(2)) << "disabled";
    EXPECT_FALSE(strip.Press(-1)) << "background";
    EXPECT_FALSE(strip.Press(5)) << "no such button";
    EXPECT_EQ(strip.PressedIndex, -1);
    EXPECT_EQ(strip.Release(), -1);

    // Disabled while held: the release acts not, but the button is let go.
    EXPECT_TRUE(strip.Press(3));
    strip.ButtonEnabled[3] = false;
    EXPECT_EQ(strip.Release(), -1);
    EXPECT_EQ(strip.PressedIndex, -1);
}

TEST(ControlStripModel, MouseOverADisabledButtonClearsTheHotButton)
{
    ControlStripModel strip = StripWith({true, false, true, true, true});
    EXPECT_TRUE(strip.MouseMove(0));
    EXPECT_EQ(strip.HotIndex, 0);
    EXPECT_FALSE(strip.MouseMove(0)) << "same button: no repaint";
    EXPECT_TRUE(strip.MouseMove(1));
    EXPECT_EQ(strip.HotIndex, -1);
    EXPECT_TRUE(strip.MouseMove(2));
    EXPECT_TRUE(strip.MouseMove(-1));
    EXPECT_EQ(strip.HotIndex, -1);
    strip.MouseMove(4);
    strip.MouseLeave();
    EXPECT_EQ(strip.HotIndex, -1);
}

TEST(ControlStripModel, FocusMarkMovesFromAMissingOrDisabledButtonToTheNextEnabledOne)
{
    struct Case
    {
        const char* name;
        int focus;
        std::array<bool, 5> enabled;
        int expected;
    };
    const Case cases[] = {
        {"none moves to the first enabled", -1, {false, true, true, false, false}, 1},
        {"disabled moves upwards", 1, {true, false, false, true, false}, 3},
        {"nothing enabled after it: unchanged", 3, {true, true, false, false, false}, 3},
        {"enabled stays", 2, {true, true, true, true, true}, 2},
        {"nothing enabled at all", -1, {false, false, false, false, false}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ControlStripModel strip = StripWith(c.enabled);
        strip.FocusIndex = c.focus;
        strip.FixFocusIndex();
        EXPECT_EQ(strip.FocusIndex, c.expected);
    }
}

TEST(ControlStripModel, FunctionKeysPressAndReleaseTheirButtons)
{
    const int keys[] = {Qt::Key_F5, Qt::Key_F6, Qt::Key_F7, Qt::Key_F8, Qt::Key_F9};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        ControlStripModel strip = StripWith({true, true, true, true, true});
        EXPECT_EQ(ControlStripModel::ButtonForKey(keys[i]), i);
        EXPECT_TRUE(strip.KeyDown(keys[i], false, false));
        EXPECT_EQ(strip.PressedIndex, i);
        int action = -2;
        EXPECT_TRUE(strip.KeyUp(keys[i], false, false, &action));
        EXPECT_EQ(action, i);
        EXPECT_EQ(strip.PressedIndex, -1);
    }
    ControlStripModel strip = StripWith({true, true, true, true, true});
    for (int key : {int(Qt::Key_F4), int(Qt::Key_F10), int(Qt::Key_Space), int(Qt::Key_A)}) {
        int action = -2;
        EXPECT_FALSE(strip.KeyDown(key, false, true));
        EXPECT_FALSE(strip.KeyUp(key, false, true, &action));
        EXPECT_EQ(action, -1);
    }
}

TEST(ControlStripModel, EnterPressesTheFocusedButtonOnlyWhileTheStripHasTheFocus)
{
    ControlStripModel strip = StripWith({true, true, true, true, true});
    strip.FocusIndex = 3;
    for (int enter : {int(Qt::Key_Return), int(Qt::Key_Enter)}) {
        int action = -2;
        EXPECT_TRUE(strip.KeyDown(enter, false, true));
        EXPECT_EQ(strip.PressedIndex, 3);
        EXPECT_TRUE(strip.KeyUp(enter, false, true, &action));
        EXPECT_EQ(action, 3);
    }
    EXPECT_FALSE(strip.KeyDown(Qt::Key_Return, false, false)) << "strip without focus";
    EXPECT_EQ(strip.PressedIndex, -1);
    strip.FocusIndex = -1;
    EXPECT_FALSE(strip.KeyDown(Qt::Key_Return, false, true)) << "no focused button";
}

TEST(ControlStripModel, DisabledButtonsIgnoreTheirKeys)
{
    ControlStripModel strip = StripWith({true, true, false, true, true});
    strip.FocusIndex = 2;
    int action = -2;
    EXPECT_TRUE(strip.KeyDown(Qt::Key_F7, false, false)) << "the key is still the strip's";
    EXPECT_EQ(strip.PressedIndex, -1);
    EXPECT_TRUE(strip.KeyUp(Qt::Key_F7, false, false, &action));
    EXPECT_EQ(action, -1);
    EXPECT_TRUE(strip.KeyDown(Qt::Key_Return, false, true));
    EXPECT_EQ(strip.PressedIndex, -1);
}

TEST(ControlStripModel, AHeldKeyRepeatsNeitherPressNorRelease)
{
    ControlStripModel strip = StripWith({true, true, true, true, true});
    int action = -2;
    // Repeats without a physical press press nothing.
    EXPECT_TRUE(strip.KeyDown(Qt::Key_F6, true, false));
    EXPECT_EQ(strip.PressedIndex, -1);

    EXPECT_TRUE(strip.KeyDown(Qt::Key_F6, false, false));
    for (int repeat = 0; repeat < 3; ++repeat) {
        // On X11 a held key arrives as release and press pairs flagged as repeats.
        EXPECT_TRUE(strip.KeyUp(Qt::Key_F6, true, false, &action));
        EXPECT_EQ(action, -1);
        EXPECT_TRUE(strip.KeyDown(Qt::Key_F6, true, false));
        EXPECT_EQ(strip.PressedIndex, 1);
    }
    EXPECT_TRUE(strip.KeyUp(Qt::Key_F6, false, false, &action));
    EXPECT_EQ(action, 1);
    EXPECT_EQ(strip.PressedIndex, -1);
}

} // namespace
} // namespace pv
