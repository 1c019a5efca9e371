// Placing captured blocks on the clock from the capture's figures.
#include "music/devices/CaptureTimeline.h"

#include <vector>

#include <gtest/gtest.h>

namespace pv {
namespace {

constexpr unsigned kRate = 48000;
constexpr std::size_t kBlock = 480; // 10 ms

TEST(CaptureTimeline, BlocksFollowEachOtherUnlessTheDeviceLeadsByMoreThanABlock)
{
    struct Case
    {
        const char* name;
        std::uint64_t secondDeviceEndUs; ///< where the device says the second block ends
        std::uint64_t secondStartUs;     ///< where it is placed (µs after the first sample)
    };
    const Case cases[] = {
        {"where expected", 20000, 10000},
        {"a figure a little ahead is no gap", 29000, 10000},
        {"a figure behind (pending overcounted) changes nothing", 12000, 10000},
        {"audio lost: placed where the device says", 80000, 70000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CaptureTimeline timeline(1'000'000);
        // Figures read at the hand-over: 30 ms after the device's first sample was captured,
        // with 20 ms captured since and not yet handed over.
        EXPECT_EQ(timeline.Place(kBlock, kRate, CaptureStamp{2'030'000, 30000, 20000}), 0U);
        const std::uint64_t captured = c.secondDeviceEndUs + 5000;
        const std::uint64_t second = timeline.Place(
            kBlock, kRate, CaptureStamp{2'000'000 + captured + 40000, captured, 5000});
        EXPECT_EQ(second, c.secondStartUs * 1000U);
        // The clock of position 0 comes from the first, timelier figures: a late hand-over
        // does not move it.
        EXPECT_EQ(timeline.ClockUs(second), 2'000'000U + c.secondStartUs);
    }
}

TEST(CaptureTimeline, WithoutFiguresTheStreamStartsWhenListeningStarted)
{
    CaptureTimeline timeline(7'000'000);
    EXPECT_EQ(timeline.Place(kBlock, kRate, std::nullopt), 0U);
    const std::uint64_t second = timeline.Place(kBlock, kRate, std::nullopt);
    EXPECT_EQ(timeline.ClockUs(second + 500'000), 7'010'500U);
}

} // namespace
} // namespace pv
