// Taps stamped on the shared clock and performances judged against a fixed rhythm.
#include "exercises/rhythm/TRytme.h"
#include "music/strings/UIStrings.h"
#include "support/FakeClock.h"
#include "support/ScriptedPrompts.h"
#include "support/ScriptedRandom.h"

#include <algorithm>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace pv {
namespace {

constexpr std::int32_t X = RhythmResult::NotPlayed;
constexpr std::int32_t kQuarter = 672;

RhythmNote Note(std::uint32_t ticks, bool rest = false, bool tied = false, bool barEnd = false)
{
    RhythmNote note;
    note.Ticks = ticks;
    note.Rest = rest ? 1 : 0;
    note.Tied = tied ? 1 : 0;
    note.BarEnd = barEnd ? 1 : 0;
    return note;
}

// Two bars of 4/4: quarter, quarter, quarter rest, quarter tied over the bar line | the tied
// quarter, quarter, half. Five notes are to be tapped, at 0, 2, 6, 10 and 12 quarters.
std::vector<RhythmNote> FixedRhythm()
{
    return {
        Note(kQuarter),
        Note(kQuarter),
        Note(kQuarter, true),
        Note(kQuarter, false, true, true),
        Note(kQuarter),
        Note(kQuarter),
        Note(2 * kQuarter, false, false, true),
    };
}

enum class Rhythm
{
    Fixed,
    Empty,
    OnlyRests,
};

UIStringTable Verdicts()
{
    UIStringTable strings;
    strings.StrRhythmVerdict1 = QStringLiteral("perfect");
    strings.StrRhythmVerdict2 = QStringLiteral("well done");
    strings.StrRhythmVerdict3 = QStringLiteral("nearly");
    strings.StrRhythmVerdict4 = QStringLiteral("none hit");
    strings.StrRhythmVerdictFormat = QStringLiteral("hit %d of %d");
    return strings;
}

struct Rig
{
    Rig() : random({0}), strings(Verdicts()), engine(random, prompts, strings)
    {
        engine.AttachPlayback(nullptr, clock);
        engine.CurrentTimeSig = 4;
        engine.BarTicks = 4 * kQuarter;
        engine.UnitTicks = kQuarter;
        engine.Bars = 2;
    }

    /// Stamps the start at a fixed moment and the taps at their times relative to it (taps
    /// before the start are made before it), as a window would.
    void Perform(const std::vector<std::int64_t>& taps)
    {
        std::vector<std::pair<std::int64_t, bool>> events{{0, true}};
        for (const std::int64_t t : taps)
            events.emplace_back(t, false);
        std::stable_sort(events.begin(), events.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (const auto& [time, start] : events) {
            clock.SetMs(static_cast<std::uint64_t>(kStartMs + time));
            engine.RecordTap(start);
        }
    }

    static constexpr std::int64_t kStartMs = 1'000'000;
    test::FakeClock clock;
    test::ScriptedRandom random;
    test::ScriptedPrompts prompts;
    UIStringTable strings;
    TRytme engine;
};

struct EvalCase
{
    const char* name;
    Rhythm rhythm;
    std::int32_t evaluation; // 0 kind (1000/125 ms), 1 normal (330/41), 2 severe (100/12)
    std::uint8_t tempo;
    std::uint8_t firstBarRest;
    std::uint8_t passMark;
    std::vector<std::int64_t> taps; // ms after the start of the recording
    std::vector<std::int32_t> results;
    int score;
    const char* text; // "(as before)": left as it was
};

// Onsets at tempo 90 (a tick is a millisecond): 0, 672, 2016, 3360, 4032.
// At tempo 20 (4.5 ms a tick): 0, 3024, 9072, 15120, 18144; there even taps more than a second
// off still lie nearer their own note than the next one, so each strength's edges show.
std::vector<std::int64_t> Shifted(std::int64_t by, std::uint8_t tempo = 20)
{
    const std::vector<std::int64_t> at90 = {0, 672, 2016, 3360, 4032};
    std::vector<std::int64_t> taps;
    for (const std::int64_t t : at90)
        taps.push_back(t * 90 / tempo - by);
    return taps;
}

std::vector<std::int32_t> AllFive(std::int32_t r)
{
    return {r, r, X, r, X, r, r};
}

const char* const kBefore = "(as before)";

const EvalCase kCases[] = {
    {"exact", Rhythm::Fixed, 1, 90, 0, 90, Shifted(0, 90), AllFive(0), 100, "perfect"},
    // Kind: tolerance 1000 ms, dead zone 125 ms.
    {"kind early inside the dead zone", Rhythm::Fixed, 0, 20, 0, 90, Shifted(124), AllFive(0), 100,
     "perfect"},
    {"kind late at the dead zone: marked, no penalty", Rhythm::Fixed, 0, 20, 0, 90, Shifted(-125),
     AllFive(-1), 100, "perfect"},
    {"kind early within the window", Rhythm::Fixed, 0, 20, 0, 90, Shifted(625), AllFive(1), 50,
     "nearly"},
    {"kind late within the window", Rhythm::Fixed, 0, 20, 0, 90, Shifted(-625), AllFive(-1), 50,
     "nearly"},
    {"kind early beyond the window", Rhythm::Fixed, 0, 20, 0, 90, Shifted(1126), AllFive(2), 0,
     "none hit"},
    {"kind late beyond the window", Rhythm::Fixed, 0, 20, 0, 90, Shifted(-1126), AllFive(2), 0,
     "none hit"},
    // Normal: tolerance 330 ms, dead zone 41 ms.
    {"normal early inside the dead zone", Rhythm::Fixed, 1, 20, 0, 90, Shifted(40), AllFive(0), 100,
     "perfect"},
    {"normal late at the dead zone: marked, no penalty", Rhythm::Fixed, 1, 20, 0, 90, Shifted(-41),
     AllFive(-1), 100, "perfect"},
    {"normal early within the window", Rhythm::Fixed, 1, 20, 0, 90, Shifted(206), AllFive(1), 50,
     "nearly"},
    {"normal late within the window", Rhythm::Fixed, 1, 20, 0, 90, Shifted(-206), AllFive(-1), 50,
     "nearly"},
    {"normal late at the window's edge", Rhythm::Fixed, 1, 20, 0, 90, Shifted(-371), AllFive(-1), 0,
     "nearly"},
    {"normal early beyond the window", Rhythm::Fixed, 1, 20, 0, 90, Shifted(372), AllFive(2), 0,
     "none hit"},
    {"normal late beyond the window", Rhythm::Fixed, 1, 20, 0, 90, Shifted(-372), AllFive(2), 0,
     "none hit"},
    // Severe: tolerance 100 ms, dead zone 12 ms.
    {"severe early inside the dead zone", Rhythm::Fixed, 2, 20, 0, 90, Shifted(11), AllFive(0), 100,
     "perfect"},
    {"severe early within the window", Rhythm::Fixed, 2, 20, 0, 90, Shifted(62), AllFive(1), 50,
     "nearly"},
    {"severe late within the window", Rhythm::Fixed, 2, 20, 0, 90, Shifted(-62), AllFive(-1), 50,
     "nearly"},
    {"severe early beyond the window", Rhythm::Fixed, 2, 20, 0, 90, Shifted(113), AllFive(2), 0,
     "none hit"},
    {"severe late beyond the window", Rhythm::Fixed, 2, 20, 0, 90, Shifted(-113), AllFive(2), 0,
     "none hit"},
    // One of five notes missed: 10000 / 5 lost.
    {"a missed note",
     Rhythm::Fixed,
     1,
     90,
     0,
     90,
     {0, 672, 3360, 4032},
     {0, 0, X, 2, X, 0, 0},
     80,
     "hit 4 of 5"},
    // An extra tap in the rest costs half a note: 5000 / 5.
    {"a surplus tap",
     Rhythm::Fixed,
     1,
     90,
     0,
     90,
     {0, 672, 1344, 2016, 3360, 4032},
     AllFive(0),
     90,
     "nearly"},
    // Made before the recording started: 100 ms early, 59 ms beyond the dead zone.
    {"a tap before the first beat",
     Rhythm::Fixed,
     1,
     90,
     0,
     90,
     {-100, 672, 2016, 3360, 4032},
     {1, 0, X, 0, X, 0, 0},
     96,
     "well done"},
    {"a pass mark above the score",
     Rhythm::Fixed,
     1,
     90,
     0,
     98,
     {-100, 672, 2016, 3360, 4032},
     {1, 0, X, 0, X, 0, 0},
     96,
     "nearly"},
    {"a first bar of rest: the recording started a bar late",
     Rhythm::Fixed,
     1,
     90,
     1,
     90,
     {-2688, -2016, -672, 672, 1344},
     AllFive(0),
     100,
     "perfect"},
    // After the last note is matched a further tap is surplus; it does not take the last
    // note's place.
    {"one tap after the end",
     Rhythm::Fixed,
     1,
     90,
     0,
     90,
     {0, 672, 2016, 3360, 4032, 5000},
     AllFive(0),
     90,
     "nearly"},
    {"two taps after the end",
     Rhythm::Fixed,
     1,
     90,
     0,
     90,
     {0, 672, 2016, 3360, 4032, 4500, 6000},
     AllFive(0),
     80,
     "nearly"},
    {"no taps", Rhythm::Fixed, 1, 90, 0, 90, {}, AllFive(2), 0, kBefore},
    {"an empty rhythm", Rhythm::Empty, 1, 90, 0, 90, {0, 672}, {}, 0, kBefore},
    {"a rhythm of rests only", Rhythm::OnlyRests, 1, 90, 0, 90, {0, 672}, {X, X}, 0, kBefore},
};

TEST(RhythmEvaluation, PerformancesAgainstAFixedRhythm)
{
    for (const EvalCase& c : kCases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        if (c.rhythm == Rhythm::Fixed)
            rig.engine.List(0) = FixedRhythm();
        else if (c.rhythm == Rhythm::OnlyRests)
            rig.engine.List(0) = {Note(2688, true, false, true), Note(2688, true, false, true)};
        rig.engine.Evaluation = c.evaluation;
        rig.engine.Tempo = c.tempo;
        rig.engine.FirstBarRest = c.firstBarRest;
        rig.Perform(c.taps);
        // The tempo in effect was taken when recording started.
        rig.engine.Tempo = 200;

        QString text = QString::fromLatin1(kBefore);
        const int score = rig.engine.Evaluate(c.passMark, text);

        std::vector<std::int32_t> results;
        for (const RhythmNote& note : rig.engine.List(0))
            results.push_back(note.Result);
        EXPECT_EQ(results, c.results);
        EXPECT_EQ(score, c.score);
        EXPECT_EQ(text.toStdString(), c.text);
    }
}

// Onsets past 65.5 s (twelve bars of whole notes at tempo 20 last 145 s) and taps made before
// the start keep their places.
TEST(RhythmEvaluation, LongRhythmAtSlowTempoScoresExactTaps)
{
    Rig rig;
    std::vector<std::int64_t> taps;
    for (int bar = 0; bar < 12; ++bar) {
        rig.engine.List(0).push_back(Note(4 * kQuarter, false, false, true));
        taps.push_back(bar * 4 * kQuarter * 90 / 20);
    }
    rig.engine.Bars = 12;
    rig.engine.Tempo = 20;
    taps.front() = -20;
    rig.Perform(taps);
    QString text;
    EXPECT_EQ(rig.engine.Evaluate(90, text), 100);
    EXPECT_EQ(text, QStringLiteral("perfect"));
}

TEST(RhythmEvaluation, TapsAreLeftRelativeToTheStart)
{
    Rig rig;
    rig.engine.List(0) = FixedRhythm();
    rig.Perform({-30, 700, 2016});
    QString text;
    rig.engine.Evaluate(90, text);
    ASSERT_EQ(rig.engine.TapCount, 3);
    EXPECT_EQ(rig.engine.TapTimes[1], -30);
    EXPECT_EQ(rig.engine.TapTimes[2], 700);
    EXPECT_EQ(rig.engine.TapTimes[3], 2016);
}

TEST(RhythmTaps, StartFixesTheTempoAndKeepsEarlierTaps)
{
    Rig rig;
    rig.engine.Tempo = 120;
    rig.clock.SetMs(500);
    rig.engine.RecordTap(false);
    rig.clock.SetMs(520);
    rig.engine.RecordTap(true);
    EXPECT_EQ(rig.engine.TempoInEffect, 120);
    EXPECT_EQ(rig.engine.TapTimes[0], 520);
    EXPECT_EQ(rig.engine.TapCount, 1);
    EXPECT_EQ(rig.engine.TapTimes[1], 500);
    EXPECT_EQ(rig.engine.HasTaps, 1);
}

TEST(RhythmTaps, TapsAreStampedToTheNearestMillisecond)
{
    Rig rig;
    rig.engine.RecordTap(true);
    for (const std::uint64_t us : {1'000'400U, 1'000'500U, 1'999'499U}) {
        rig.clock.SetMs(0);
        rig.clock.AdvanceUs(us);
        rig.engine.RecordTap(false);
    }
    ASSERT_EQ(rig.engine.TapCount, 3);
    EXPECT_EQ(rig.engine.TapTimes[1], 1000);
    EXPECT_EQ(rig.engine.TapTimes[2], 1001);
    EXPECT_EQ(rig.engine.TapTimes[3], 1999);
}

// The microphone passes its onset on the 32-bit millisecond clock; it is placed on the 64-bit
// timeline just before now, also when the 32-bit clock has wrapped since.
TEST(RhythmTaps, OnsetTimesOfTheMillisecondClockArePlacedBeforeNow)
{
    struct Case
    {
        const char* name;
        std::uint64_t nowMs;
        std::uint32_t onset;
        std::int64_t stored;
    };
    const std::uint64_t wrap = 1ULL << 32;
    const Case cases[] = {
        {"shortly before now", 90'000, 89'975, 89'975},
        {"now itself by its time", 90'000, 90'000, 90'000},
        {"before the wrap, stamped after it", wrap + 10, 0xFFFFFFF1U,
         static_cast<std::int64_t>(wrap) - 15},
        {"after the wrap", 3 * wrap + 50, 20, static_cast<std::int64_t>(3 * wrap) + 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.clock.SetMs(c.nowMs - 1000);
        rig.engine.RecordTap(true);
        rig.clock.SetMs(c.nowMs);
        rig.engine.RecordTap(false, c.onset);
        ASSERT_EQ(rig.engine.TapCount, 1);
        EXPECT_EQ(rig.engine.TapTimes[1], c.stored);
    }
}

TEST(RhythmTaps, TapsBeyondTheLimitAreIgnored)
{
    Rig rig;
    rig.engine.List(0) = FixedRhythm();
    rig.engine.RecordTap(true);
    for (int k = 0; k < 5000; ++k) {
        rig.clock.AdvanceMs(1);
        rig.engine.RecordTap(false);
    }
    EXPECT_EQ(rig.engine.TapCount, kMaxTaps);
    ASSERT_EQ(rig.engine.TapTimes.size(), static_cast<std::size_t>(kMaxTaps) + 1);
    // The first taps are kept, the later ones dropped.
    EXPECT_EQ(rig.engine.TapTimes[kMaxTaps] - rig.engine.TapTimes[0], kMaxTaps);
    QString text;
    EXPECT_EQ(rig.engine.Evaluate(90, text), 0);
}

// A window clears TapCount for a new attempt without emptying the stored times.
TEST(RhythmTaps, ANewAttemptOverwritesTheOldTaps)
{
    Rig rig;
    rig.engine.List(0) = FixedRhythm();
    rig.Perform({0, 672, 2016, 3360, 4032, 4100, 4200});
    rig.engine.TapCount = 0;
    rig.engine.HasTaps = 0;
    rig.Perform({0, 672, 2016, 3360, 4032});
    QString text;
    EXPECT_EQ(rig.engine.Evaluate(90, text), 100);
    EXPECT_EQ(rig.engine.TapCount, 5);
}

} // namespace
} // namespace pv
