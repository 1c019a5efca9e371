// The sequencer engine on a virtual clock: timing of both queues, stop, tempo, output delay
// and the metronome switch.
#include "music/sequencer/MidiMessage.h"
#include "music/sequencer/Sequencer.h"
#include "support/SequencerFakes.h"

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::Msg;
using test::SentMessage;

constexpr auto kMusic = SequencerQueue::Music;
constexpr auto kClick = SequencerQueue::Click;

class SequencerTest : public ::testing::Test
{
protected:
    SequencerTest() { sequencer.SetOutput(&sink); }

    void Drive(std::uint64_t endMs) { test::DriveTo(sequencer, clock, endMs * 1000U); }

    test::FakeClock clock;
    test::RecordingSink sink{clock};
    Sequencer sequencer{clock, Sequencer::Drive::Manual};
    test::RecordingReceiver receiver{clock};
};

TEST_F(SequencerTest, QueuesPlayTogetherFromStartWithTicksOfOneMillisecondAtTempo90)
{
    clock.SetMs(1000);
    sequencer.QueueMidi(kMusic, Msg(0x90, 60, 100));
    sequencer.QueueWait(kMusic, 300);
    sequencer.QueueMidi(kMusic, Msg(0x80, 60));
    sequencer.QueueMidi(kClick, Msg(0x99, 37, 110));
    sequencer.QueueWait(kClick, 100);
    sequencer.QueueNotify(kClick, &receiver, 7);
    sequencer.QueueWait(kClick, 100);
    sequencer.QueueMidi(kClick, Msg(0x89, 37));
    Drive(5000);
    EXPECT_TRUE(sink.sent.empty()) << "nothing plays before the start";

    sequencer.Start();
    Drive(6000);
    const std::vector<SentMessage> expected = {
        {5000, Msg(0x90, 60, 100)},
        {5000, Msg(0x99, 37, 110)},
        {5200, Msg(0x89, 37)},
        {5300, Msg(0x80, 60)},
    };
    EXPECT_EQ(sink.sent, expected);
    EXPECT_EQ(receiver.codes, std::vector<std::uint16_t>{7});
    EXPECT_EQ(receiver.times, std::vector<std::uint64_t>{5100});
}

TEST_F(SequencerTest, StopDropsANotificationAlreadyPostedAndEmptiesBothQueues)
{
    sequencer.QueueNotify(kClick, &receiver, 11);
    sequencer.QueueWait(kMusic, 100);
    sequencer.QueueMidi(kMusic, Msg(0x90, 60, 100));
    sequencer.Start();
    sequencer.RunUntil(0); // the notification is posted, not yet delivered
    sequencer.Stop();
    QCoreApplication::sendPostedEvents();
    Drive(1000);
    EXPECT_TRUE(receiver.codes.empty());
    EXPECT_TRUE(sink.sent.empty());
    EXPECT_EQ(sequencer.PendingCount(), 0U);
    EXPECT_FALSE(sequencer.Playing());

    // The next playback starts afresh and its notifications arrive.
    sequencer.QueueNotify(kClick, &receiver, 12);
    sequencer.Start();
    Drive(2000);
    EXPECT_EQ(receiver.codes, std::vector<std::uint16_t>{12});
}

TEST_F(SequencerTest, AReceiverGoneBeforeDeliveryGetsNothing)
{
    auto gone = std::make_unique<test::RecordingReceiver>(clock);
    sequencer.QueueNotify(kClick, gone.get(), 11);
    sequencer.QueueNotify(kClick, &receiver, 12);
    sequencer.Start();
    sequencer.RunUntil(0);
    gone.reset();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(receiver.codes, std::vector<std::uint16_t>{12});
}

TEST_F(SequencerTest, EventsQueuedAfterStartKeepTheirQueuesTimelineAndStartDoesNotRestart)
{
    sequencer.QueueMidi(kClick, Msg(0x99, 37, 100));
    sequencer.QueueWait(kClick, 500);
    sequencer.QueueMidi(kClick, Msg(0x89, 37));
    sequencer.QueueWait(kMusic, 250);
    sequencer.QueueMidi(kMusic, Msg(0x90, 60, 90));
    sequencer.Start();
    Drive(100);

    // Appended to a queue that still plays: after its last event, on its own timeline.
    sequencer.QueueWait(kMusic, 500);
    sequencer.QueueMidi(kMusic, Msg(0x80, 60));
    sequencer.Start();
    Drive(700);
    // Appended to a queue that has run dry at 500: its first event is late (sent at once),
    // the rest stays on the grid of both queues.
    sequencer.QueueMidi(kClick, Msg(0x99, 38, 100));
    sequencer.QueueWait(kClick, 500);
    sequencer.QueueMidi(kClick, Msg(0x89, 38));
    sequencer.Start();
    Drive(3000);

    const std::vector<SentMessage> expected = {
        {0, Msg(0x99, 37, 100)},   {250, Msg(0x90, 60, 90)}, {500, Msg(0x89, 37)},
        {700, Msg(0x99, 38, 100)}, {750, Msg(0x80, 60)},     {1000, Msg(0x89, 38)},
    };
    EXPECT_EQ(sink.sent, expected);
}

TEST_F(SequencerTest, TempoChangeActsOnTheRestOfTheWaitAndTempoZeroIsRefused)
{
    EXPECT_TRUE(sequencer.SetTempo(180));
    sequencer.QueueWait(kMusic, 1000);
    sequencer.QueueMidi(kMusic, Msg(0x90, 60, 90));
    sequencer.QueueWait(kMusic, 1000);
    sequencer.QueueMidi(kMusic, Msg(0x80, 60));
    sequencer.Start();
    Drive(250); // half of the first wait at half a millisecond a tick
    EXPECT_FALSE(sequencer.SetTempo(0));
    EXPECT_EQ(sequencer.Tempo(), 180U);
    EXPECT_TRUE(sequencer.SetTempo(45)); // two milliseconds a tick from now on
    Drive(10000);
    const std::vector<SentMessage> expected = {
        {250 + 1000, Msg(0x90, 60, 90)},
        {1250 + 2000, Msg(0x80, 60)},
    };
    EXPECT_EQ(sink.sent, expected);
}

TEST_F(SequencerTest, TicksAtOddTemposStayExactOverLongRuns)
{
    sequencer.SetTempo(70); // 90/70 ms a tick
    for (int i = 0; i < 7; ++i) {
        sequencer.QueueWait(kMusic, 1000);
        sequencer.QueueMidi(kMusic, Msg(0x90, 60, 90));
    }
    sequencer.Start();
    Drive(20000);
    ASSERT_EQ(sink.sent.size(), 7U);
    EXPECT_EQ(sink.sent.back().ms, 9000U); // 7000 ticks * 90 / 70, no drift
}

TEST_F(SequencerTest, OutputDelayHoldsMidiMessagesButNotNotifications)
{
    sequencer.SetOutputDelay(120);
    sequencer.QueueMidi(kMusic, Msg(0x90, 60, 90));
    sequencer.QueueNotify(kMusic, &receiver, 41);
    sequencer.QueueWait(kMusic, 500);
    sequencer.QueueMidi(kMusic, Msg(0x80, 60));
    sequencer.QueueNotify(kMusic, &receiver, 42);
    sequencer.Start();
    Drive(3000);
    const std::vector<SentMessage> expected = {{120, Msg(0x90, 60, 90)}, {620, Msg(0x80, 60)}};
    EXPECT_EQ(sink.sent, expected);
    EXPECT_EQ(receiver.times, (std::vector<std::uint64_t>{0, 500}));

    sequencer.Stop();
    sink.sent.clear();
    sequencer.SetOutputDelay(1000); // held at 400
    sequencer.QueueMidi(kMusic, Msg(0x90, 62, 90));
    sequencer.Start();
    const std::uint64_t start = clock.NowUs() / 1000U;
    Drive(start + 2000);
    ASSERT_EQ(sink.sent.size(), 1U);
    EXPECT_EQ(sink.sent[0].ms, start + 400);
}

TEST_F(SequencerTest, StopAlsoDropsMessagesHeldByTheOutputDelay)
{
    sequencer.SetOutputDelay(200);
    sequencer.QueueMidi(kMusic, Msg(0x90, 60, 90));
    sequencer.Start();
    Drive(100);
    sequencer.Stop();
    Drive(1000);
    EXPECT_TRUE(sink.sent.empty());
}

TEST_F(SequencerTest, MetronomeOffSilencesOnlyTheClickQueueAndKeepsItsTiming)
{
    sequencer.SetMetronome(false);
    sequencer.QueueMidi(kClick, Msg(0x99, 37, 100));
    sequencer.QueueWait(kClick, 500);
    sequencer.QueueMidi(kClick, Msg(0x89, 37));
    sequencer.QueueNotify(kClick, &receiver, 102);
    sequencer.QueueMidi(kMusic, Msg(0x99, 39, 100)); // a clap of the rhythm stays audible
    sequencer.Start();
    Drive(1000);
    // The click's note off still goes out: a click switched off while it sounds must end.
    const std::vector<SentMessage> expected = {{0, Msg(0x99, 39, 100)}, {500, Msg(0x89, 37)}};
    EXPECT_EQ(sink.sent, expected);
    EXPECT_EQ(receiver.times, std::vector<std::uint64_t>{500});
}

TEST_F(SequencerTest, NoOutputSendsNothingAndKeepsPlaying)
{
    sequencer.SetOutput(nullptr);
    sequencer.QueueMidi(kMusic, Msg(0x90, 60, 90));
    sequencer.QueueNotify(kMusic, &receiver, 41);
    sequencer.Start();
    Drive(10);
    EXPECT_TRUE(sink.sent.empty());
    EXPECT_EQ(receiver.codes, std::vector<std::uint16_t>{41});
}

TEST(SequencerThread, PlaysOnTheRealClockAndDeliversOnTheCreatingThread)
{
    test::RecordingSink sink(SteadyClock::Instance());
    Sequencer sequencer(SteadyClock::Instance());
    sequencer.SetOutput(&sink);
    test::RecordingReceiver receiver(SteadyClock::Instance());
    const std::uint64_t start = SteadyClock::Instance().NowUs() / 1000U;
    sequencer.QueueMidi(kMusic, Msg(0x90, 60, 90));
    sequencer.QueueWait(kMusic, 30);
    sequencer.QueueMidi(kMusic, Msg(0x80, 60));
    sequencer.QueueNotify(kMusic, &receiver, 41);
    sequencer.Start();
    // A minute is only the point where waiting stops being worth it: a loaded machine or the
    // sanitizer build may take far longer than the 30 ms played.
    while (receiver.codes.empty() && SteadyClock::Instance().NowUs() / 1000U < start + 60'000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    ASSERT_EQ(receiver.codes, std::vector<std::uint16_t>{41});
    sequencer.SetOutput(nullptr); // after this the sink is no longer touched
    ASSERT_EQ(sink.sent.size(), 2U);
    // Never early; how late is the benchmark's business (a loaded machine may delay the start).
    EXPECT_GE(sink.sent[1].ms, start + 29);
}

} // namespace
} // namespace pv
