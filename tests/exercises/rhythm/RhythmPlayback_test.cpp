// Rhythms, metronome bars and played-back taps as exact event lists on a virtual clock, played
// by the real sequencer engine.
#include "exercises/rhythm/TRytme.h"
#include "music/sequencer/MidiOut.h"
#include "music/strings/UIStrings.h"
#include "support/ScriptedPrompts.h"
#include "support/ScriptedRandom.h"
#include "support/SequencerFakes.h"

#include <algorithm>
#include <map>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::Msg;

// One row: time in ms (a tick is a millisecond at tempo 90), the packed message or the code
// with 0x10000000 set for a notification, and its queue. At one moment the rows are ordered by
// queue, a queue's messages in the order sent before its codes.
using Row = std::tuple<std::uint64_t, std::uint32_t, int>;
constexpr std::uint32_t Code(std::uint32_t code)
{
    return 0x10000000U + code;
}

// The settings' sounds: clap, metronome beat and first beat, all on the percussion channel.
constexpr std::uint32_t ClapOn(std::uint32_t velocity)
{
    return Msg(0x99, 39, velocity);
}
constexpr std::uint32_t kClapOff = Msg(0x89, 39);
constexpr std::uint32_t kFirstOn = Msg(0x99, 56, 125);
constexpr std::uint32_t kFirstOff = Msg(0x89, 56);
constexpr std::uint32_t kBeatOn = Msg(0x99, 37, 90); // accent 2: 20 below the sound's 110
constexpr std::uint32_t kBeatOff = Msg(0x89, 37);

RhythmNote Note(std::uint32_t ticks, std::uint8_t kind = 0, bool middle = false, bool rest = false,
                bool tied = false)
{
    RhythmNote note;
    note.Ticks = ticks;
    note.Kind = kind;
    note.TripletMiddle = middle ? 1 : 0;
    note.Rest = rest ? 1 : 0;
    note.Tied = tied ? 1 : 0;
    return note;
}

struct Rig
{
    Rig() : random({0}), engine(random, prompts, strings)
    {
        midiOut.SetNotifyTargets(&targets);
        EXPECT_TRUE(midiOut.ChangeDevice(1));
        engine.AttachPlayback(&midiOut, clock);
        engine.SelectTimeSignature(4);
        engine.Bars = 2;
        engine.Tempo = 90;
        engine.TempoInEffect = 90;
    }

    std::vector<Row> PlayAll()
    {
        test::DriveTo(sequencer, clock, 60'000'000);
        std::vector<Row> rows;
        for (const test::SentMessage& m : devices.sink.sent)
            rows.emplace_back(m.ms, m.packed, recorder.queueOf[m.packed]);
        auto addCodes = [&](const test::RecordingReceiver& r) {
            for (std::size_t i = 0; i < r.codes.size(); ++i)
                rows.emplace_back(r.times[i], Code(r.codes[i]), recorder.codeQueue[r.codes[i]]);
        };
        addCodes(targets.imitation);
        addCodes(targets.reading);
        addCodes(targets.errorDetection);
        addCodes(targets.main);
        std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
            const bool codeA = std::get<1>(a) >= Code(0);
            const bool codeB = std::get<1>(b) >= Code(0);
            return std::tie(std::get<0>(a), std::get<2>(a), codeA) <
                   std::tie(std::get<0>(b), std::get<2>(b), codeB);
        });
        return rows;
    }

    test::FakeClock clock;
    test::FakeDevices devices{clock};
    Sequencer sequencer{clock, Sequencer::Drive::Manual};
    test::QueueRecorder recorder{sequencer};
    test::ScriptedPrompts prompts;
    test::FakeTargets targets{clock};
    UIStringTable strings;
    TMidiOut midiOut{devices, recorder, prompts, strings};
    test::ScriptedRandom random;
    TRytme engine;
};

// Two bars of 4/4. Bar 1: quarter, eighth, eighth, quarter rest, quarter. Bar 2: eighth, a
// sixteenth triplet starting off the beat, a quarter tied to a quarter, eighth, eighth rest.
std::vector<RhythmNote> TwoBars()
{
    std::vector<RhythmNote> notes = {
        Note(672),
        Note(336),
        Note(336),
        Note(672, 0, false, true),
        Note(672),
        Note(336),
        Note(112, 2),
        Note(112, 2, true),
        Note(112, 2),
        Note(672, 0, false, false, true),
        Note(672),
        Note(336),
        Note(336, 0, false, true),
    };
    notes[4].BarEnd = 1;
    notes[12].BarEnd = 1;
    return notes;
}

// Count-in bar with its beats announced to the visual metronome (4 * 256 + beat) and code 11
// after it; the music waits that bar. Then each rhythm bar over its click bar ending with 12.
// Clap velocities: 110 on a bar's first note, 100 on a beat or a triplet's start, else 90.
TEST(RhythmPlayback, TwoBarsWithCountInAndMetronomeAtTempo90)
{
    Rig rig;
    rig.engine.List(0) = TwoBars();
    rig.engine.PlayRhythm(10, 0, true);
    const std::vector<Row> expected = {
        {0, kFirstOn, 2},       {0, Code(1025), 2},     {672, kFirstOff, 2},
        {672, kBeatOn, 2},      {672, Code(1026), 2},   {1344, kBeatOff, 2},
        {1344, kBeatOn, 2},     {1344, Code(1027), 2},  {2016, kBeatOff, 2},
        {2016, kBeatOn, 2},     {2016, Code(1028), 2},  {2688, ClapOn(110), 1},
        {2688, kBeatOff, 2},    {2688, kFirstOn, 2},    {2688, Code(11), 2},
        {2688, Code(1025), 2},  {3360, kClapOff, 1},    {3360, ClapOn(100), 1},
        {3360, kFirstOff, 2},   {3360, kBeatOn, 2},     {3360, Code(1026), 2},
        {3696, kClapOff, 1},    {3696, ClapOn(90), 1},  {4032, kClapOff, 1},
        {4032, kBeatOff, 2},    {4032, kBeatOn, 2},     {4032, Code(1027), 2},
        {4704, ClapOn(100), 1}, {4704, kBeatOff, 2},    {4704, kBeatOn, 2},
        {4704, Code(1028), 2},  {5376, kClapOff, 1},    {5376, ClapOn(110), 1},
        {5376, kBeatOff, 2},    {5376, kFirstOn, 2},    {5376, Code(12), 2},
        {5376, Code(1025), 2},  {5712, kClapOff, 1},    {5712, ClapOn(100), 1},
        {5824, kClapOff, 1},    {5824, ClapOn(90), 1},  {5936, kClapOff, 1},
        {5936, ClapOn(90), 1},  {6048, kClapOff, 1},    {6048, ClapOn(100), 1},
        {6048, kFirstOff, 2},   {6048, kBeatOn, 2},     {6048, Code(1026), 2},
        {6720, kBeatOff, 2},    {6720, kBeatOn, 2},     {6720, Code(1027), 2},
        {7392, kClapOff, 1},    {7392, ClapOn(100), 1}, {7392, kBeatOff, 2},
        {7392, kBeatOn, 2},     {7392, Code(1028), 2},  {7728, kClapOff, 1},
        {8064, kBeatOff, 2},    {8064, Code(12), 2},
    };
    EXPECT_EQ(rig.PlayAll(), expected);
}

// Without the metronome under rhythms the click bars are silent waits: the claps, every code
// and the audible count-in stay.
TEST(RhythmPlayback, SilentBarsUnderTheRhythmKeepEveryCode)
{
    Rig rig;
    rig.engine.List(0) = TwoBars();
    rig.engine.PlaybackSettings.WithMetronome = false;
    rig.engine.PlayRhythm(20, 0, true);
    std::vector<Row> clicks;
    std::vector<std::uint64_t> codeTimes;
    std::vector<std::uint32_t> codes;
    for (const Row& row : rig.PlayAll()) {
        const auto [ms, value, queue] = row;
        if (value >= Code(0)) {
            codeTimes.push_back(ms);
            codes.push_back(value - Code(0));
        } else if (queue == 2) {
            clicks.push_back(row);
        }
    }
    const std::vector<Row> countIn = {
        {0, kFirstOn, 2},   {672, kFirstOff, 2}, {672, kBeatOn, 2},  {1344, kBeatOff, 2},
        {1344, kBeatOn, 2}, {2016, kBeatOff, 2}, {2016, kBeatOn, 2}, {2688, kBeatOff, 2},
    };
    EXPECT_EQ(clicks, countIn);
    EXPECT_EQ(codes, (std::vector<std::uint32_t>{1025, 1026, 1027, 1028, 21, 1025, 1026, 1027, 1028,
                                                 22, 1025, 1026, 1027, 1028, 22}));
    EXPECT_EQ(codeTimes.back(), 8064U);
    // The imitation window gets nothing of the reading window's codes.
    EXPECT_TRUE(rig.targets.imitation.codes.empty());
    EXPECT_EQ(rig.targets.reading.codes, (std::vector<std::uint16_t>{21, 22, 22}));
}

// A bar's codes by its numerator: the code before the last beat follows beat n - 1 (for 2/4
// the first beat), the code after the bar the last beat; waiting bars end with B + 6 and the
// code B + 8 follows them.
TEST(RhythmPlayback, MetronomeBarCodesByNumerator)
{
    struct Case
    {
        int row;
        std::vector<std::uint16_t> main;
        std::vector<std::uint16_t> window;
    };
    const Case cases[] = {
        {2, {513, 514}, {19, 17}},
        {3, {769, 770, 771}, {19, 17}},
        {6, {1537, 1538, 1539, 1540, 1541, 1542}, {19, 17}},
        {9, {1793, 1794, 1795, 1796, 1797, 1798, 1799}, {19, 17}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        Rig rig;
        rig.engine.SelectTimeSignature(c.row);
        rig.engine.QueueMetronomeBar(false, 17, 19, true, true);
        rig.PlayAll();
        EXPECT_EQ(rig.targets.main.codes, c.main);
        EXPECT_EQ(rig.targets.imitation.codes, c.window);
        // Every click lasts a unit: the bar's codes end one bar after the start.
        ASSERT_FALSE(rig.targets.imitation.times.empty());
        EXPECT_EQ(rig.targets.imitation.times.back(),
                  static_cast<std::uint64_t>(rig.engine.BarTicks));
    }

    Rig rig;
    rig.engine.Bars = 3;
    rig.engine.QueueWaitBars(10, -1);
    rig.PlayAll();
    EXPECT_EQ(rig.targets.imitation.codes, (std::vector<std::uint16_t>{16, 16, 16, 18}));
    EXPECT_EQ(rig.targets.imitation.times, (std::vector<std::uint64_t>{2688, 5376, 8064, 8064}));
}

// Played-back taps: the first clap one bar plus the first tap's time after the start (never
// before it), each clap lasting to the next tap, the last one to the end of the rhythm but at
// least 84 ticks. Only the music queue and the window's codes are listed.
TEST(RhythmPlayback, TapsPlayBackAsClaps)
{
    struct Case
    {
        const char* name;
        std::uint8_t tempoInEffect;
        std::vector<std::int64_t> taps; // relative, as Evaluate leaves them
        std::vector<std::uint64_t> onOff;
    };
    const Case cases[] = {
        {"early first tap, last tap after the end",
         90,
         {-30, 672, 2016, 5500},
         {2658, 3360, 3360, 4704, 4704, 8188, 8188, 8272}},
        {"first tap more than a bar early", 90, {-3000, 672}, {0, 3672, 3672, 8376}},
        {"one tap on the first beat", 90, {0}, {2688, 8064}},
        // At tempo 120 a millisecond is 4/3 of a tick; the sequencer plays at 90 here.
        {"taps at tempo 120", 120, {0, 750, 1500}, {2688, 3688, 3688, 4688, 4688, 8064}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.engine.TempoInEffect = c.tempoInEffect;
        rig.engine.TapTimes = {123456};
        rig.engine.TapTimes.insert(rig.engine.TapTimes.end(), c.taps.begin(), c.taps.end());
        rig.engine.TapCount = static_cast<int>(c.taps.size());
        rig.engine.PlayTaps(10);
        std::vector<std::uint64_t> onOff;
        for (const Row& row : rig.PlayAll()) {
            const auto [ms, value, queue] = row;
            if (queue == 1 && value < Code(0)) {
                EXPECT_EQ(value, onOff.size() % 2 == 0 ? ClapOn(110) : kClapOff);
                onOff.push_back(ms);
            }
        }
        EXPECT_EQ(onOff, c.onOff);
        EXPECT_EQ(rig.targets.imitation.codes, (std::vector<std::uint16_t>{11, 12, 12}));
    }
}

TEST(RhythmPlayback, NothingIsQueuedWithoutTapsOrOutput)
{
    Rig rig;
    rig.engine.TapCount = 0;
    rig.engine.PlayTaps(10);
    EXPECT_TRUE(rig.PlayAll().empty());

    test::ScriptedRandom random({0});
    test::ScriptedPrompts prompts;
    UIStringTable strings;
    TRytme detached(random, prompts, strings);
    detached.List(0) = TwoBars();
    detached.PlayRhythm(10, 0, true);
    detached.QueueWaitBars(10, 2);
    detached.QueueClap(100);
    EXPECT_TRUE(rig.PlayAll().empty());
}

} // namespace
} // namespace pv
