// Loading rhythm setups and generating random rhythms in every time signature.
#include "RhythmChecks.h"
#include "exercises/rhythm/TRytme.h"
#include "support/ScriptedRandom.h"

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::kEighth;
using test::kHalf;
using test::kQuarter;
using test::kSixteenth;
using test::kThirtySecond;
using test::kWhole;
using test::MakeSetup;
using test::SetupOptions;

const QString kSetupMessage = QStringLiteral("Please change the rhythm setup");

template <typename Random> struct Engine
{
    template <typename... Args>
    explicit Engine(Args&&... args)
        : random(std::forward<Args>(args)...), rytme(random, prompts, strings)
    {
        strings.StrRhythmSetupMessage = kSetupMessage;
    }
    int Messages() const { return prompts.Count(QStringLiteral("message")); }

    Random random;
    test::ScriptedPrompts prompts;
    UIStringTable strings;
    TRytme rytme;
};
using Seeded = Engine<test::SeededRandom>;
using Scripted = Engine<test::ScriptedRandom>;

// --- loading a setup ---

TEST(RhythmSetupLoad, ReadsChoicesInTableOrderAndShortestLength)
{
    Seeded e(1);
    RhythmSetup s = MakeSetup({.rows = {12, 3, 9},
                               .values = {kSixteenth, kQuarter},
                               .triplets = {kSixteenth, kHalf},
                               .rests = true,
                               .dotted = true,
                               .bars = 5});
    s.Tempo = 132;
    s.Corrections = 4;
    s.RhythmEvaluation = 2;
    s.AllTriplets = 1; // never read
    e.rytme.List(0).resize(3);
    e.rytme.List(1).resize(4);
    e.rytme.TapCount = 7;
    e.rytme.HasTaps = 1;
    e.rytme.Setup(s);

    const std::vector<RhythmNoteChoice> expected = {
        {kQuarter, 0}, {kSixteenth, 0}, {kHalf, 1}, {kSixteenth, 1}};
    ASSERT_EQ(e.rytme.NoteChoice.size(), expected.size());
    for (std::size_t k = 0; k < expected.size(); ++k) {
        EXPECT_EQ(e.rytme.NoteChoice[k].Value, expected[k].Value) << k;
        EXPECT_EQ(e.rytme.NoteChoice[k].Triplet, expected[k].Triplet) << k;
    }
    EXPECT_EQ(e.rytme.StraightCount, 2);
    EXPECT_EQ(e.rytme.ShortestTicks, 168);
    EXPECT_EQ(e.rytme.TimeSigChoice, (std::vector<std::uint8_t>{3, 9, 12}));
    EXPECT_EQ(e.rytme.CurrentTimeSig, 3);
    EXPECT_EQ(e.rytme.UnitTicks, 672);
    EXPECT_EQ(e.rytme.BarTicks, 2016);
    EXPECT_EQ(e.rytme.GroupTicks, 672);
    EXPECT_EQ(e.rytme.Rests, 1);
    EXPECT_EQ(e.rytme.Ties, 0);
    EXPECT_EQ(e.rytme.Dotted, 1);
    EXPECT_EQ(e.rytme.Tempo, 132);
    EXPECT_EQ(e.rytme.Bars, 5);
    EXPECT_EQ(e.rytme.CorrectionsWanted, 4);
    EXPECT_EQ(e.rytme.Evaluation, 2);
    EXPECT_EQ(e.rytme.Count(0), 0);
    EXPECT_EQ(e.rytme.Count(1), 0);
    EXPECT_EQ(e.rytme.TapCount, 0);
    EXPECT_EQ(e.rytme.HasTaps, 0);
}

TEST(RhythmSetupLoad, ShortestLengthCountsATripletGroupWhole)
{
    Seeded e(1);
    e.rytme.Setup(MakeSetup({.rows = {4}, .values = {kHalf}, .triplets = {kSixteenth}}));
    EXPECT_EQ(e.rytme.ShortestTicks, 336);
}

TEST(RhythmSetupLoad, DamagedValuesAreClampedToWhatTheEngineCanHold)
{
    struct Case
    {
        const char* name;
        int bars, tempo, corrections, evaluation;
        std::optional<ExerciseKind> kind;
        int wantBars, wantTempo, wantCorrections, wantEvaluation;
    };
    const Case cases[] = {
        {"in range", 3, 90, 2, 0, std::nullopt, 3, 90, 2, 0},
        {"zero bars, tempo, corrections", 0, 0, 0, 1, std::nullopt, 1, 90, 1, 1},
        {"too many of everything", 255, 255, 200, 7, std::nullopt, 12, 250, 5, 1},
        {"slow tempo, negative strength", 13, 19, 6, -1, std::nullopt, 12, 20, 5, 1},
        {"edges", 12, 20, 5, 2, std::nullopt, 12, 20, 5, 2},
        {"imitation allows six bars", 7, 250, 1, 1, ExerciseKind::RhythmImitation, 6, 250, 1, 1},
        {"reading allows twelve", 12, 40, 1, 1, ExerciseKind::RhythmReading, 12, 40, 1, 1},
        {"reading above twelve", 40, 40, 1, 1, ExerciseKind::RhythmReading, 12, 40, 1, 1},
        {"error detection allows six", 9, 40, 1, 1, ExerciseKind::RhythmErrorDetection, 6, 40, 1,
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Seeded e(1);
        RhythmSetup s = MakeSetup({.rows = {4}, .values = {kQuarter}});
        s.Bars = static_cast<std::uint8_t>(c.bars);
        s.Tempo = static_cast<std::uint8_t>(c.tempo);
        s.Corrections = static_cast<std::uint8_t>(c.corrections);
        s.RhythmEvaluation = static_cast<std::int16_t>(c.evaluation);
        if (c.kind)
            e.rytme.Setup(s, *c.kind);
        else
            e.rytme.Setup(s);
        EXPECT_EQ(e.rytme.Bars, c.wantBars);
        EXPECT_EQ(e.rytme.Tempo, c.wantTempo);
        EXPECT_EQ(e.rytme.CorrectionsWanted, c.wantCorrections);
        EXPECT_EQ(e.rytme.Evaluation, c.wantEvaluation);
        e.rytme.Generate();
        EXPECT_EQ(e.rytme.Count(0), 4 * c.wantBars);
    }
}

TEST(RhythmSetupLoad, NoTimeSignatureOrNoNoteValueGeneratesNothing)
{
    const SetupOptions cases[] = {
        {.rows = {}, .values = {kQuarter}},
        {.rows = {4}, .values = {}},
        {.rows = {}, .values = {}},
    };
    for (const SetupOptions& o : cases) {
        Scripted e(std::vector<int>{0});
        e.rytme.Setup(MakeSetup(o));
        e.rytme.Generate();
        EXPECT_EQ(e.rytme.Count(0), 0);
        EXPECT_EQ(e.Messages(), 0);
        EXPECT_EQ(e.random.Calls(), 0);
        EXPECT_EQ(e.random.RandomizeCalls(), 0);
        // The lengths in use stay those of a real time signature.
        EXPECT_GE(e.rytme.CurrentTimeSig, 1);
        EXPECT_LE(e.rytme.CurrentTimeSig, 14);
        EXPECT_GT(e.rytme.BarTicks, 0);
    }
}

// --- beats ---

TEST(RhythmBeats, IsOnBeatFollowsEachRowsGroups)
{
    struct Case
    {
        int row;
        std::vector<std::int64_t> onBeat;
        std::vector<std::int64_t> offBeat;
    };
    const Case cases[] = {
        {1, {0, 672, 1344, 2016, 2688}, {336, 1008, 2352}},             // 2/2 in quarters
        {4, {0, 672, 2016, 2688 + 672}, {168, 336, 2688 + 336}},        // 4/4
        {5, {0, 336, 672, 1008}, {168, 504}},                           // 3/8 in eighths
        {6, {0, 1008, 2016}, {336, 672, 1344}},                         // 6/8 in dotted quarters
        {9, {0, 672, 1344, 1680, 2016, 2352, 3024}, {336, 1008, 1512}}, // 7/8 as 4 + 3
        {12, {0, 672, 1344, 2016, 2688, 3360}, {336, 2352}},            // 5/4 as 3 + 2
        {13, {0, 672, 1344}, {336, 1008}},                              // 4/8 in quarters
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("row " + std::to_string(c.row));
        Seeded e(1);
        e.rytme.SelectTimeSignature(c.row);
        for (std::int64_t p : c.onBeat) {
            EXPECT_TRUE(e.rytme.IsOnBeat(p)) << p;
        }
        for (std::int64_t p : c.offBeat) {
            EXPECT_FALSE(e.rytme.IsOnBeat(p)) << p;
        }
    }
}

TEST(RhythmBeats, TableRowsGiveTheirLengths)
{
    struct Case
    {
        int row, unit, bar, group;
    };
    const Case cases[] = {{1, 1344, 2688, 1344}, {6, 336, 2016, 1008}, {7, 1344, 4032, 1344},
                          {8, 1344, 5376, 1344}, {9, 336, 2352, 1344}, {11, 336, 4032, 1008},
                          {12, 672, 3360, 2016}, {14, 336, 1680, 1008}};
    for (const Case& c : cases) {
        SCOPED_TRACE("row " + std::to_string(c.row));
        Seeded e(1);
        e.rytme.SelectTimeSignature(c.row);
        EXPECT_EQ(e.rytme.UnitTicks, c.unit);
        EXPECT_EQ(e.rytme.BarTicks, c.bar);
        EXPECT_EQ(e.rytme.GroupTicks, c.group);
    }
    Seeded e(1);
    e.rytme.SelectTimeSignature(6);
    for (int bad : {0, 15, -3}) {
        e.rytme.SelectTimeSignature(bad);
        EXPECT_EQ(e.rytme.CurrentTimeSig, 6);
        EXPECT_EQ(e.rytme.BarTicks, 2016);
    }
}

// --- generating ---

TEST(RhythmGenerate, EveryTimeSignatureGivesSoundRhythmsOnSeededRuns)
{
    const std::vector<SetupOptions> setups = {
        {.rows = {},
         .values = {kHalf, kQuarter, kEighth, kSixteenth},
         .rests = true,
         .ties = true,
         .dotted = true,
         .bars = 4},
        {.rows = {},
         .values = {kWhole, kHalf, kQuarter, kEighth, kSixteenth, kThirtySecond},
         .triplets = {kHalf, kQuarter, kEighth, kSixteenth},
         .rests = true,
         .ties = true,
         .dotted = true,
         .bars = 6},
        {.rows = {},
         .values = {kQuarter, kEighth},
         .triplets = {kEighth},
         .rests = true,
         .ties = true,
         .bars = 3},
        {.rows = {},
         .values = {kEighth, kSixteenth, kThirtySecond},
         .triplets = {kSixteenth},
         .rests = true,
         .ties = true,
         .dotted = true,
         .bars = 2},
        {.rows = {}, .values = {kHalf, kQuarter, kEighth}, .dotted = true, .bars = 12},
    };
    int rests = 0, ties = 0, dotted = 0, triplets = 0, beamed = 0, firstBarRests = 0;
    for (int row = 1; row <= kTimeSignatureRows; ++row) {
        for (std::size_t si = 0; si < setups.size(); ++si) {
            for (std::uint32_t seed = 1; seed <= 30; ++seed) {
                SCOPED_TRACE("row " + std::to_string(row) + " setup " + std::to_string(si) +
                             " seed " + std::to_string(seed));
                Seeded e(seed);
                RhythmSetup s = MakeSetup(setups[si]);
                s.TimeSignatures[static_cast<std::size_t>(row - 1)] = 1;
                e.rytme.Setup(s);
                e.rytme.Generate();
                ASSERT_EQ(e.Messages(), 0);
                EXPECT_EQ(e.random.randomizeCalls, 1);
                EXPECT_EQ(e.rytme.CurrentTimeSig, row);
                test::ExpectSoundRhythm(e.rytme);
                test::ExpectSoundBeams(e.rytme, 0);
                if (::testing::Test::HasFailure())
                    return;
                for (const RhythmNote& n : e.rytme.List(0)) {
                    rests += n.Rest;
                    ties += n.Tied;
                    dotted += n.Kind == 1 ? 1 : 0;
                    triplets += n.Kind == 2 ? 1 : 0;
                    beamed += n.BeamGroup != 0 ? 1 : 0;
                }
                firstBarRests += e.rytme.FirstBarRest;
            }
        }
    }
    // The checks above saw every kind of entry.
    EXPECT_GT(rests, 0);
    EXPECT_GT(ties, 0);
    EXPECT_GT(dotted, 0);
    EXPECT_GT(triplets, 0);
    EXPECT_GT(beamed, 0);
    EXPECT_GT(firstBarRests, 0);
}

TEST(RhythmGenerate, CompoundTimeKeepsEveryNoteInsideItsDottedQuarterBeatAndHasNoTriplets)
{
    // 3/8, 6/8, 9/8 and 12/8 with every value, dots, ties, rests and all triplets chosen. A
    // note that runs past a beat starts or ends on one; 3/8 has a single beat a bar.
    const std::vector<SetupOptions> setups = {
        {.rows = {},
         .values = {kWhole, kHalf, kQuarter, kEighth, kSixteenth, kThirtySecond},
         .triplets = {kHalf, kQuarter, kEighth, kSixteenth},
         .rests = true,
         .ties = true,
         .dotted = true,
         .bars = 6},
        {.rows = {}, .values = {kHalf, kQuarter, kEighth}, .triplets = {kEighth}, .bars = 4},
        {.rows = {}, .values = {kQuarter, kEighth, kSixteenth}, .dotted = true, .bars = 4},
        {.rows = {}, .values = {kHalf, kQuarter}, .triplets = {kQuarter}, .dotted = true},
    };
    constexpr std::int64_t kBeat = 1008;
    int crossing = 0;
    for (int row : {5, 6, 10, 11}) {
        for (std::size_t si = 0; si < setups.size(); ++si) {
            for (std::uint32_t seed = 1; seed <= 40; ++seed) {
                SCOPED_TRACE("row " + std::to_string(row) + " setup " + std::to_string(si) +
                             " seed " + std::to_string(seed));
                Seeded e(seed);
                RhythmSetup setup = MakeSetup(setups[si]);
                setup.TimeSignatures[static_cast<std::size_t>(row - 1)] = 1;
                e.rytme.Setup(setup);
                e.rytme.Generate();
                ASSERT_EQ(e.Messages(), 0);
                test::ExpectSoundRhythm(e.rytme);
                const std::vector<RhythmNote>& notes = e.rytme.List(0);
                std::int64_t p = 0;
                for (const RhythmNote& n : notes) {
                    const std::int64_t start = p % e.rytme.BarTicks;
                    const std::int64_t end = start + n.Ticks;
                    EXPECT_NE(n.Kind, 2) << test::Describe(notes);
                    if (start / kBeat != (end - 1) / kBeat) {
                        ++crossing;
                        EXPECT_TRUE(start % kBeat == 0 || end % kBeat == 0)
                            << "a note straddles a beat: " << test::Describe(notes);
                    }
                    p += n.Ticks;
                }
                if (::testing::Test::HasFailure())
                    return;
            }
        }
    }
    // Notes longer than a beat were drawn, so the rule was put to the test.
    EXPECT_GT(crossing, 0);
}

TEST(RhythmGenerate, EveryBeamStaysInsideOneBeatGroup)
{
    // Beam groups: a dotted quarter in compound time, each quarter in 5/4 and 4/4, four and
    // three eighths in 7/8, three and two in 5/8, a half in 2/2. No generated note that may be
    // beamed crosses a group's end, so each beam closes there.
    struct Case
    {
        int row;
        std::vector<std::int64_t> groupEnds; ///< inside the bar, with the bar's end
    };
    const Case cases[] = {
        {1, {1344, 2688}},
        {4, {672, 1344, 2016, 2688}},
        {5, {1008}},
        {6, {1008, 2016}},
        {9, {1344, 2352}},
        {10, {1008, 2016, 3024}},
        {11, {1008, 2016, 3024, 4032}},
        {12, {672, 1344, 2016, 2688, 3360}},
        {13, {672, 1344}},
        {14, {1008, 1680}},
    };
    int beamed = 0;
    for (const Case& c : cases) {
        for (std::uint32_t seed = 1; seed <= 40; ++seed) {
            SCOPED_TRACE("row " + std::to_string(c.row) + " seed " + std::to_string(seed));
            Seeded e(seed);
            e.rytme.Setup(MakeSetup({.rows = {c.row},
                                     .values = {kQuarter, kEighth, kSixteenth, kThirtySecond},
                                     .triplets = {kEighth, kSixteenth},
                                     .rests = true,
                                     .dotted = true,
                                     .bars = 4}));
            e.rytme.Generate();
            ASSERT_EQ(e.Messages(), 0);
            const std::vector<RhythmNote>& notes = e.rytme.List(0);
            auto groupOf = [&](std::int64_t inBar) {
                return std::upper_bound(c.groupEnds.begin(), c.groupEnds.end(), inBar) -
                       c.groupEnds.begin();
            };
            std::int64_t p = 0;
            std::optional<std::pair<std::uint8_t, std::ptrdiff_t>> open;
            std::int64_t bar = 0;
            for (const RhythmNote& n : notes) {
                const std::int64_t start = p % e.rytme.BarTicks;
                const std::ptrdiff_t group = groupOf(start) + 100 * (p / e.rytme.BarTicks);
                if (n.Value >= kEighth) {
                    EXPECT_EQ(groupOf(start), groupOf(start + n.Ticks - 1))
                        << "a short note across a group's end: " << test::Describe(notes);
                }
                if (n.BeamGroup != 0) {
                    ++beamed;
                    // Notes of one beam share its group; a new beam number starts anew.
                    if (open && open->first == n.BeamGroup) {
                        EXPECT_EQ(open->second, group)
                            << "a beam across a group's end: " << test::Describe(notes);
                    }
                    open = std::pair(n.BeamGroup, group);
                }
                p += n.Ticks;
                bar = p / e.rytme.BarTicks;
            }
            EXPECT_EQ(bar, 4);
            test::ExpectSoundBeams(e.rytme, 0);
            if (::testing::Test::HasFailure())
                return;
        }
    }
    EXPECT_GT(beamed, 0);
}

TEST(RhythmGenerate, TheTimeSignatureIsDrawnAmongTheChosenRows)
{
    Seeded e(7);
    e.rytme.Setup(MakeSetup({.rows = {2, 9, 14}, .values = {kEighth}, .bars = 1}));
    std::set<int> seen;
    for (int k = 0; k < 60; ++k) {
        e.rytme.Generate();
        seen.insert(e.rytme.CurrentTimeSig);
        test::ExpectSoundRhythm(e.rytme);
    }
    EXPECT_EQ(seen, (std::set<int>{2, 9, 14}));
}

TEST(RhythmGenerate, UnfillableSetupsShowTheMessageOnceAndLeaveNoRhythm)
{
    struct Case
    {
        const char* name;
        SetupOptions options;
    };
    const Case cases[] = {
        {"whole notes in 2/4", {.rows = {2}, .values = {kWhole}}},
        {"whole notes in 3/2", {.rows = {7}, .values = {kWhole}}},
        {"whole notes in 12/8", {.rows = {11}, .values = {kWhole}, .bars = 12}},
        {"half-note triplets in 3/2", {.rows = {7}, .values = {}, .triplets = {kHalf}}},
        {"quarter notes in 3/8", {.rows = {5}, .values = {kQuarter}, .rests = true}},
        {"quarter-note triplets in 3/4", {.rows = {3}, .values = {}, .triplets = {kQuarter}}},
        {"half notes in 5/8", {.rows = {14}, .values = {kHalf}, .ties = true}},
        // A dotted half leaves three eighths that no allowed note fills: the bar is
        // abandoned half made, and no half-made bar is kept.
        {"halves and quarters in 7/8", {.rows = {9}, .values = {kHalf, kQuarter}, .dotted = true}},
        {"halves and quarters in 5/8", {.rows = {14}, .values = {kHalf, kQuarter}, .dotted = true}},
        // A compound beat already divides in three: its triplets are never drawn.
        {"eighth triplets in 6/8", {.rows = {6}, .values = {}, .triplets = {kEighth}}},
        // The second of three quarters would straddle the bar's second beat.
        {"quarter notes in 6/8", {.rows = {6}, .values = {kQuarter}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Seeded e(3);
        e.rytme.Setup(MakeSetup(c.options));
        e.rytme.Generate();
        EXPECT_EQ(e.Messages(), 1);
        ASSERT_FALSE(e.prompts.asked.empty());
        EXPECT_EQ(e.prompts.asked.back().text, kSetupMessage);
        EXPECT_EQ(e.rytme.Count(0), 0);
        EXPECT_EQ(e.rytme.FirstBarRest, 0);
        // Each new question tries again, and says so again.
        e.rytme.Generate();
        EXPECT_EQ(e.Messages(), 2);
        EXPECT_EQ(e.rytme.Count(0), 0);
    }
}

TEST(RhythmGenerate, QuarterNotesOnlyFillEveryBarWithFourBeats)
{
    Seeded e(11);
    e.rytme.Setup(MakeSetup({.rows = {4}, .values = {kQuarter}, .bars = 3}));
    e.rytme.Generate();
    ASSERT_EQ(e.rytme.Count(0), 12);
    for (int i = 1; i <= 12; ++i) {
        const RhythmNote& n = e.rytme.Note(0, i);
        EXPECT_EQ(n.Ticks, 672u);
        EXPECT_EQ(n.BeatEnd, 1);
        EXPECT_EQ(n.BarEnd, i % 4 == 0 ? 1 : 0);
        EXPECT_EQ(n.BeamGroup, 0);
        EXPECT_EQ(n.Rest | n.Tied | n.Kind, 0);
    }
}

TEST(RhythmGenerate, AOneEntryRhythmIsNeverARest)
{
    // The script says "rest" and "tie" at every chance.
    Scripted e(std::vector<int>{0});
    e.rytme.Setup(
        MakeSetup({.rows = {4}, .values = {kWhole}, .rests = true, .ties = true, .bars = 1}));
    e.rytme.Generate();
    ASSERT_EQ(e.rytme.Count(0), 1);
    EXPECT_EQ(e.rytme.Note(0, 1).Rest, 0);
    EXPECT_EQ(e.rytme.FirstBarRest, 0);
}

TEST(RhythmGenerate, AWholeBarRestFirstIsFlaggedAndAWholeNoteIsNeverTied)
{
    Scripted e(std::vector<int>{0});
    e.rytme.Setup(
        MakeSetup({.rows = {4}, .values = {kWhole}, .rests = true, .ties = true, .bars = 3}));
    e.rytme.Generate();
    ASSERT_EQ(e.rytme.Count(0), 3);
    EXPECT_EQ(e.rytme.Note(0, 1).Rest, 1);
    EXPECT_EQ(e.rytme.Note(0, 2).Rest, 0) << "two rests in a row";
    EXPECT_EQ(e.rytme.Note(0, 3).Rest, 1);
    EXPECT_EQ(e.rytme.FirstBarRest, 1);
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(e.rytme.Note(0, i).Tied, 0);
    }
}

TEST(RhythmGenerate, TiesStandAtGroupEndsAndLongNotesAtABarsEdgeLoseThem)
{
    struct Case
    {
        const char* name;
        int row;
        int value;
        std::vector<int> tied; // one per entry
    };
    // The script offers a tie wherever one may stand.
    const Case cases[] = {
        // Quarters: every tie would join two quarters at the start or end of a bar.
        {"quarters in 4/4", 4, kQuarter, {0, 0, 0, 0, 0, 0, 0, 0}},
        // Eighths end a group every second note; the last one is never tied.
        {"eighths in 4/4", 4, kEighth, {0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 0}},
        // In 6/8 a group is three eighths long.
        {"eighths in 6/8", 6, kEighth, {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 0}},
        // In 7/8 the groups are four and three eighths.
        {"eighths in 7/8", 9, kEighth, {0, 0, 0, 1, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}},
        // Quarters in 4/2 end a group every second note; inside the bar and across its line
        // the ties stay.
        {"quarters in 4/2", 8, kQuarter, {0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scripted e(std::vector<int>{0});
        e.rytme.Setup(MakeSetup({.rows = {c.row}, .values = {c.value}, .ties = true, .bars = 2}));
        e.rytme.Generate();
        std::vector<int> tied;
        for (const RhythmNote& n : e.rytme.List(0))
            tied.push_back(n.Tied);
        EXPECT_EQ(tied, c.tied);
        test::ExpectSoundRhythm(e.rytme);
    }
}

TEST(RhythmGenerate, TheLongestRhythmGrowsItsListWithoutOverrun)
{
    Seeded e(5);
    RhythmSetup s = MakeSetup({.rows = {8}, .values = {kThirtySecond}, .bars = 40});
    e.rytme.Setup(s, ExerciseKind::RhythmReading);
    EXPECT_EQ(e.rytme.Bars, 12);
    e.rytme.Generate();
    EXPECT_EQ(e.Messages(), 0);
    EXPECT_EQ(e.rytme.Count(0), 12 * 64);
    test::ExpectSoundRhythm(e.rytme);
    test::ExpectSoundBeams(e.rytme, 0);
}

TEST(RhythmGenerate, ANewRhythmLeavesTheChangedCopyAlone)
{
    Seeded e(9);
    e.rytme.Setup(
        MakeSetup({.rows = {4}, .values = {kQuarter, kEighth}, .triplets = {kEighth}, .bars = 2}));
    e.rytme.Generate();
    ASSERT_TRUE(e.rytme.MakeCorrections());
    const std::vector<RhythmNote> copy = e.rytme.List(1);
    for (int k = 0; k < 20; ++k) {
        e.rytme.Generate();
        EXPECT_EQ(e.rytme.List(1), copy);
    }
}

} // namespace
} // namespace pv
