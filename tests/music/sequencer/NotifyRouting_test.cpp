// The notification routing table: receiver, queue and delivered code of every range.
#include "music/sequencer/NotifyRouting.h"

#include <gtest/gtest.h>

namespace pv {
namespace {

using R = NotifyReceiver;
constexpr auto kMusic = SequencerQueue::Music;
constexpr auto kClick = SequencerQueue::Click;

struct RouteCase
{
    const char* name;
    std::uint16_t code;
    bool listening;
    int kind;
    std::optional<NotifyRoute> expected;
};

TEST(NotifyRouting, EveryRangeReachesItsReceiverOnItsQueueOrNothingIsQueued)
{
    const RouteCase cases[] = {
        {"zero", 0, true, 1, std::nullopt},
        {"settings 1 while listening", 1, true, 1, NotifyRoute{R::SettingsDialog, 0, kClick, 1}},
        {"settings 2 while listening", 2, true, 1, NotifyRoute{R::SettingsDialog, 0, kClick, 2}},
        {"settings 1 not listening", 1, false, 1, std::nullopt},
        {"settings 2 not listening", 2, false, 1, std::nullopt},
        {"settings high byte kept", 0x0102, true, 1,
         NotifyRoute{R::SettingsDialog, 0, kClick, 0x0102}},
        {"3 unused", 3, true, 1, std::nullopt},
        {"9 unused", 9, true, 1, std::nullopt},
        {"imitation 10", 10, false, 1, NotifyRoute{R::RhythmImitation, 0, kClick, 10}},
        {"imitation 19", 19, false, 1, NotifyRoute{R::RhythmImitation, 0, kClick, 19}},
        {"reading 20", 20, false, 1, NotifyRoute{R::RhythmReading, 0, kClick, 20}},
        {"reading 29", 29, false, 1, NotifyRoute{R::RhythmReading, 0, kClick, 29}},
        {"error detection 30", 30, false, 1, NotifyRoute{R::RhythmErrorDetection, 0, kClick, 30}},
        {"error detection 39", 39, false, 1, NotifyRoute{R::RhythmErrorDetection, 0, kClick, 39}},
        {"comparison 40", 40, false, 1, NotifyRoute{R::IntervalComparison, 0, kMusic, 40}},
        {"comparison 45", 45, false, 1, NotifyRoute{R::IntervalComparison, 0, kMusic, 45}},
        {"identification 55 kind 1", 55, false, 1, NotifyRoute{R::Identification, 1, kMusic, 55}},
        {"identification 50 kind 10", 50, false, 10,
         NotifyRoute{R::Identification, 10, kMusic, 50}},
        {"identification 59 kind 7", 59, false, 7, NotifyRoute{R::Identification, 7, kMusic, 59}},
        {"identification 55 kind 3 has no window", 55, false, 3, std::nullopt},
        {"identification 55 kind 4 has no window", 55, false, 4, std::nullopt},
        {"identification 55 no kind", 55, false, 0, std::nullopt},
        {"60 unused", 60, false, 1, std::nullopt},
        {"99 unused", 99, false, 1, std::nullopt},
        {"main 100", 100, false, 1, NotifyRoute{R::MainWindow, 0, kClick, 0}},
        {"main 105 gets 5", 105, false, 1, NotifyRoute{R::MainWindow, 0, kClick, 5}},
        {"main 120", 120, false, 1, NotifyRoute{R::MainWindow, 0, kClick, 20}},
        {"0x0468 gives 0x0404", 0x0468, false, 1, NotifyRoute{R::MainWindow, 0, kClick, 0x0404}},
        {"121 unused", 121, false, 1, std::nullopt},
        {"255 unused", 255, false, 1, std::nullopt},
        {"0x0305 low byte 5 unused", 0x0305, true, 1, std::nullopt},
    };
    for (const RouteCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(RouteNotifyCode(c.code, c.listening, c.kind), c.expected);
    }
}

} // namespace
} // namespace pv
