// The sequencer engine on a virtual clock: timing of both queues, stop, tempo, output delay
// and the metronome switch.
#include "music/sequencer/MidiMessage.h"
#include "music/sequencer/Sequencer.h"
#include "support/SequencerFakes.h"

#include <atomic>
#include <unistd.h>
#include <utility>
#include <vector>

#include <QFileInfo>

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

TEST_F(SequencerTest, AStartAfterThePlaybackIsOverAnchorsAtItsOwnMoment)
{
    // What is queued first, then queued and started again at a later moment without a stop.
    struct Batch
    {
        std::uint64_t atMs;
        std::uint16_t outputDelayMs;
        std::vector<std::pair<SequencerEventKind, std::uint32_t>> events; // on the music queue
    };
    struct Case
    {
        const char* name;
        Batch first;
        Batch second;
        std::vector<SentMessage> expected;
        bool playingBeforeSecond;
    };
    constexpr auto kMidi = SequencerEventKind::MidiMessage;
    constexpr auto kWait = SequencerEventKind::Wait;
    const Case cases[] = {
        {"over long before: the new playback starts when started, not all at once",
         {0, 0, {{kMidi, Msg(0x90, 60, 90)}, {kWait, 500}, {kMidi, Msg(0x80, 60)}}},
         {2000, 0, {{kMidi, Msg(0x90, 62, 90)}, {kWait, 300}, {kMidi, Msg(0x80, 62)}}},
         {{0, Msg(0x90, 60, 90)},
          {500, Msg(0x80, 60)},
          {2000, Msg(0x90, 62, 90)},
          {2300, Msg(0x80, 62)}},
         false},
        {"still inside the last wait: the appended events keep the timeline",
         {0, 0, {{kMidi, Msg(0x90, 60, 90)}, {kWait, 1000}}},
         {400, 0, {{kMidi, Msg(0x80, 60)}}},
         {{0, Msg(0x90, 60, 90)}, {1000, Msg(0x80, 60)}},
         true},
        {"a message still held by the output delay keeps the playback going",
         {0, 300, {{kMidi, Msg(0x90, 60, 90)}}},
         {200, 300, {{kWait, 100}, {kMidi, Msg(0x80, 60)}}},
         {{300, Msg(0x90, 60, 90)}, {400, Msg(0x80, 60)}},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sequencer.Stop();
        sink.sent.clear();
        receiver.codes.clear();
        clock.SetMs(0);
        for (const Batch* batch : {&c.first, &c.second}) {
            Drive(batch->atMs);
            if (batch == &c.second) {
                EXPECT_EQ(sequencer.Playing(), c.playingBeforeSecond);
            }
            sequencer.SetOutputDelay(batch->outputDelayMs);
            for (const auto& [kind, value] : batch->events) {
                if (kind == kWait)
                    sequencer.QueueWait(kMusic, value);
                else
                    sequencer.QueueMidi(kMusic, value);
            }
            sequencer.QueueNotify(kClick, &receiver, batch == &c.first ? 1 : 2);
            sequencer.Start();
        }
        Drive(10000);
        EXPECT_EQ(sink.sent, c.expected);
        EXPECT_EQ(receiver.codes, (std::vector<std::uint16_t>{1, 2}))
            << "the first playback's notification is not stale: no stop came between";
        EXPECT_FALSE(sequencer.Playing()) << "over again at the end";
        EXPECT_EQ(sequencer.NextDueUs(), std::nullopt);
    }
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

TEST(SequencerThread, QueueStartAndStopOverAndOverNeverDeliversAStaleNotification)
{
    // Notifications that check on arrival that their playback is the one now current: after a
    // stop, and after a playback that ran out, nothing of an earlier round may arrive.
    class RoundReceiver final : public QObject
    {
    public:
        bool event(QEvent* e) override
        {
            if (e->type() != SequencerNotifyEvent::Type())
                return QObject::event(e);
            const auto code = static_cast<SequencerNotifyEvent*>(e)->Code();
            if (code / 10U != round)
                ++stale;
            else
                ++arrived;
            return true;
        }
        std::uint16_t round = 0;
        int stale = 0;
        int arrived = 0;
    };

    test::RecordingSink sink(SteadyClock::Instance());
    Sequencer sequencer(SteadyClock::Instance());
    sequencer.SetOutput(&sink);
    RoundReceiver receiver;
    constexpr std::uint16_t kRounds = 60;
    bool ranOut = false;
    for (std::uint16_t round = 1; round <= kRounds; ++round) {
        // Every third playback runs out, and the next one is queued and started without a stop.
        const bool letItRunOut = round % 3 == 0;
        if (!ranOut)
            sequencer.Stop();
        receiver.round = round;
        receiver.arrived = 0;
        sequencer.QueueNotify(kClick, &receiver, static_cast<std::uint16_t>(round * 10U));
        sequencer.QueueMidi(kMusic, Msg(0x90, 60, 90));
        sequencer.QueueWait(kMusic, static_cast<std::uint32_t>(round % 4U));
        sequencer.QueueNotify(kMusic, &receiver, static_cast<std::uint16_t>(round * 10U + 1U));
        sequencer.QueueMidi(kMusic, Msg(0x80, 60));
        sequencer.Start();
        if (letItRunOut) {
            // Until both notifications arrived and the sequencer went idle, however long the
            // machine takes; then the next round queues and starts without a stop.
            const std::uint64_t giveUp = SteadyClock::Instance().NowUs() + 20'000'000U;
            while ((receiver.arrived < 2 || sequencer.Playing()) &&
                   SteadyClock::Instance().NowUs() < giveUp)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            ASSERT_EQ(receiver.arrived, 2) << "round " << round;
            ASSERT_FALSE(sequencer.Playing()) << "round " << round;
            ranOut = true;
        } else {
            ranOut = false;
            QCoreApplication::processEvents(); // some arrive, some are on their way at the stop
        }
    }
    sequencer.Stop();
    QCoreApplication::processEvents();
    sequencer.SetOutput(nullptr);
    EXPECT_EQ(receiver.stale, 0);
}

/// Records the due time handed with each message.
class DueSink final : public IMidiSink
{
public:
    Status<MidiOutError> Send(std::uint32_t packed) override { return SendAt(packed, 0); }
    Status<MidiOutError> SendAt(std::uint32_t packed, std::uint64_t dueUs) override
    {
        sent.emplace_back(packed, dueUs);
        return {};
    }
    std::vector<std::pair<std::uint32_t, std::uint64_t>> sent;
};

TEST(SequencerDueTimes, EachMessageCarriesItsDueTimeWithTheOutputDelayEvenWhenPlayedLate)
{
    test::FakeClock clock;
    Sequencer sequencer(clock, Sequencer::Drive::Manual);
    DueSink sink;
    sequencer.SetOutput(&sink);
    sequencer.SetOutputDelay(5);
    clock.SetMs(100);
    sequencer.QueueMidi(kMusic, Msg(0x90, 60, 90));
    sequencer.QueueWait(kMusic, 10);
    sequencer.QueueMidi(kMusic, Msg(0x80, 60));
    sequencer.QueueMidi(kClick, Msg(0x99, 37, 90));
    sequencer.QueueWait(kClick, 3);
    sequencer.QueueMidi(kClick, Msg(0x89, 37));
    sequencer.Start();
    // Played all at once, 40 ms late: the due times stay those of the timeline.
    clock.SetMs(155);
    sequencer.RunUntil(clock.NowUs());
    const std::vector<std::pair<std::uint32_t, std::uint64_t>> expected = {
        {Msg(0x90, 60, 90), 105'000},
        {Msg(0x99, 37, 90), 105'000},
        {Msg(0x89, 37), 108'000},
        {Msg(0x80, 60), 115'000}};
    EXPECT_EQ(sink.sent, expected);
}

/// A raiser that records whether and for which thread it was asked.
class FakeRaiser final : public IThreadPriorityRaiser
{
public:
    bool MakeRealtime(std::int64_t threadId, int priority) override
    {
        askedFor = threadId;
        askedPriority = priority;
        return grant;
    }
    bool grant = true;
    std::atomic<std::int64_t> askedFor{0};
    std::atomic<int> askedPriority{0};
};

TEST(SequencerThread, ItsSchedulingIsReportedAndTheRaiserIsAskedOnlyWhenOwnRightsFallShort)
{
    // Kept ordinary: nobody is asked.
    {
        FakeRaiser raiser;
        Sequencer sequencer(SteadyClock::Instance(), Sequencer::Drive::OwnThread, {&raiser, false});
        EXPECT_EQ(sequencer.WaitForPriority(60'000), TimingPriority::Ordinary);
        EXPECT_EQ(raiser.askedFor.load(), 0);
    }
    // Asking: own rights first (root, an rtprio limit); when they are refused the raiser is
    // asked for the timing thread itself (a thread of this process, not the caller).
    for (const bool grant : {true, false}) {
        SCOPED_TRACE(grant);
        FakeRaiser raiser;
        raiser.grant = grant;
        Sequencer sequencer(SteadyClock::Instance(), Sequencer::Drive::OwnThread, {&raiser, true});
        const TimingPriority got = sequencer.WaitForPriority(60'000);
        if (got == TimingPriority::RealTime) {
            EXPECT_EQ(raiser.askedFor.load(), 0);
            continue;
        }
        EXPECT_EQ(got, grant ? TimingPriority::ByService : TimingPriority::Ordinary);
        ASSERT_NE(raiser.askedFor.load(), 0);
        EXPECT_NE(raiser.askedFor.load(), static_cast<std::int64_t>(gettid()));
        EXPECT_TRUE(
            QFileInfo::exists(QStringLiteral("/proc/self/task/%1").arg(raiser.askedFor.load())));
        EXPECT_GT(raiser.askedPriority.load(), 0);
    }
    // Without a thread there is nothing to settle.
    Sequencer manual(SteadyClock::Instance(), Sequencer::Drive::Manual);
    EXPECT_EQ(manual.WaitForPriority(10), TimingPriority::Pending);
}

} // namespace
} // namespace pv
