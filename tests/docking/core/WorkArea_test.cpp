// Bars kept on the screens, and placements from a damaged settings file made safe.
#include "docking/core/WorkArea.h"

#include <limits>

#include <gtest/gtest.h>

namespace pv::docking {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

TEST(WorkArea, NearestScreenSharesTheMostOrLiesClosest)
{
    // Two screens side by side, the right one shorter.
    const QRect left(0, 0, 1000, 800);
    const QRect right(1000, 0, 800, 600);
    const std::vector<QRect> screens{left, right};
    const QRect fallback(0, 0, 1, 1);
    EXPECT_EQ(NearestWorkArea(screens, QRect(900, 100, 300, 50), fallback), right);
    EXPECT_EQ(NearestWorkArea(screens, QRect(950, 100, 90, 50), fallback), left);
    EXPECT_EQ(NearestWorkArea(screens, QRect(5000, 100, 50, 50), fallback), right);
    EXPECT_EQ(NearestWorkArea(screens, QRect(-5000, 700, 50, 50), fallback), left);
    EXPECT_EQ(NearestWorkArea(screens, QPoint(1500, 700), fallback), right);
    EXPECT_EQ(NearestWorkArea({}, QRect(1, 1, 5, 5), fallback), fallback);
}

TEST(WorkArea, KeepOnWorkAreaMovesABarOffEveryScreenJustInside)
{
    const QRect work(0, 0, 800, 600);
    struct Case
    {
        const char* name;
        QRect bar;
        bool onlyWhenOff;
        QRect expected;
    };
    const Case cases[] = {
        {"inside stays", QRect(100, 100, 200, 50), true, QRect(100, 100, 200, 50)},
        {"partly on stays when only moved off", QRect(700, 580, 200, 50), true,
         QRect(700, 580, 200, 50)},
        {"partly on is moved inside otherwise", QRect(700, 580, 200, 50), false,
         QRect(600, 550, 200, 50)},
        {"wholly off to the right", QRect(5000, 100, 200, 50), true, QRect(600, 100, 200, 50)},
        {"wholly off above and left", QRect(-900, -400, 200, 50), true, QRect(0, 0, 200, 50)},
        {"larger than the screen ends at its left and top", QRect(300, 300, 1000, 900), false,
         QRect(0, 0, 1000, 900)},
        {"a million pixels away", QRect(1 << 20, 1 << 20, 200, 50), true, QRect(600, 550, 200, 50)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(KeepOnWorkArea(c.bar, work, c.onlyWhenOff), c.expected);
    }
}

TEST(WorkArea, StoredPlacementFromADamagedFileIsMadeSafe)
{
    struct Case
    {
        const char* name;
        ToolWindowPlacement stored;
        ToolWindowPlacement expected;
    };
    const Case cases[] = {
        {"sound values stay", {10, 20, 120, 28, 1, 40}, {10, 20, 120, 28, 1, 40}},
        {"the dock code and the visible flag pass as they are",
         {10, 20, 120, 28, 1, 40, 3, 1},
         {10, 20, 120, 28, 1, 40, 3, 1}},
        {"zero sizes", {0, 0, 0, 0, 0, 0}, {0, 0, 1, 1, 0, 0}},
        {"negative everything", {-50, -60, -7, -8, -3, -99}, {-50, -60, 1, 1, 0, -1}},
        {"huge everything",
         {kMax, kMax, kMax, kMax, kMax, kMax},
         {kMaxStoredCoordinate, kMaxStoredCoordinate, kMaxBarExtent, kMaxBarExtent,
          kMaxRestoredDockRow, kMaxBarExtent}},
        {"the lowest values",
         {kMin, kMin, kMin, kMin, kMin, kMin},
         {-kMaxStoredCoordinate, -kMaxStoredCoordinate, 1, 1, 0, -1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ToolWindowPlacement safe = ClampStoredPlacement(c.stored);
        EXPECT_EQ(safe, c.expected);
        // What comes out can be put on a screen without any sum running over.
        const QRect kept = KeepOnWorkArea(QRect(safe.Left, safe.Top, safe.Width, safe.Height),
                                          QRect(0, 0, 800, 600), true);
        EXPECT_TRUE(kept.intersects(QRect(0, 0, 800, 600)));
    }
}

} // namespace
} // namespace pv::docking
