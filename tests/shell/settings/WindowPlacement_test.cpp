// Stored main window bounds brought onto the screens attached now.
#include "shell/settings/WindowPlacement.h"

#include <limits>
#include <vector>

#include <gtest/gtest.h>

namespace pv {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

TEST(WindowPlacement, StoredBoundsLandWhollyOnAScreenThatExists)
{
    // A primary screen with a panel at the bottom, a second one to its right.
    const std::vector<ScreenArea> two = {{0, 0, 1920, 1050}, {1920, 0, 1280, 1024}};
    const std::vector<ScreenArea> one = {two.front()};
    struct Case
    {
        const char* name;
        WindowBounds stored;
        const std::vector<ScreenArea>& screens;
        WindowBounds placed;
    };
    const Case cases[] = {
        {"fits the primary screen", {100, 80, 1000, 700}, two, {100, 80, 1000, 700}},
        {"fits the second screen", {2000, 50, 1000, 700}, two, {2000, 50, 1000, 700}},
        {"over both, on the one it covers more", {1800, 0, 800, 600}, two, {1920, 0, 800, 600}},
        {"the largest size there is", {0, 0, kMax, kMax}, two, {0, 0, 1920, 1050}},
        {"larger than any screen", {10, 10, 100000, 100000}, two, {0, 0, 1920, 1050}},
        {"far right and down", {2000000000, 2000000000, 800, 600}, two, {560, 225, 800, 600}},
        {"far left and up", {-2000000000, -2000000000, 800, 600}, two, {560, 225, 800, 600}},
        {"the most negative position and size", {kMin, kMin, kMax, kMax}, two, {0, 0, 1920, 1050}},
        {"from a screen no longer attached", {2000, 50, 1000, 700}, one, {460, 175, 1000, 700}},
        {"partly off the bottom", {100, 900, 1000, 700}, one, {100, 350, 1000, 700}},
        {"too small to be a real window", {100, 100, 50, 40}, two, {640, 285, 640, 480}},
        {"a negative size", {100, 100, -800, -600}, two, {640, 285, 640, 480}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<WindowBounds> placed = PlaceOnScreens(c.stored, c.screens);
        ASSERT_TRUE(placed.has_value());
        EXPECT_EQ(*placed, c.placed);
    }
}

TEST(WindowPlacement, WithoutAUsableScreenNothingIsPlaced)
{
    EXPECT_FALSE(PlaceOnScreens({0, 0, 800, 600}, {}).has_value());
    const std::vector<ScreenArea> empty = {{0, 0, 0, 0}};
    EXPECT_FALSE(PlaceOnScreens({0, 0, 800, 600}, empty).has_value());
}

} // namespace
} // namespace pv
