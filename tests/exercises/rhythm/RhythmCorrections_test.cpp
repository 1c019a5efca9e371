// Changed copies of a rhythm for error detection.
#include "RhythmChecks.h"
#include "exercises/rhythm/TRytme.h"
#include "support/ScriptedRandom.h"

#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::MakeSetup;
using test::SetupOptions;

template <typename Random> struct Engine
{
    template <typename... Args>
    explicit Engine(Args&&... args)
        : random(std::forward<Args>(args)...), rytme(random, prompts, strings)
    {
    }
    /// A hand-made list 0 in the given row, with each note's X set apart.
    void Use(int row, const std::string& rhythm, int corrections)
    {
        rytme.SelectTimeSignature(row);
        rytme.List(0) = test::Parse(rytme, rhythm);
        for (int i = 1; i <= rytme.Count(0); ++i)
            rytme.Note(0, i).X = 40 + 20 * i;
        rytme.CorrectionsWanted = static_cast<std::uint8_t>(corrections);
    }
    Random random;
    test::ScriptedPrompts prompts;
    UIStringTable strings;
    TRytme rytme;
};
using Seeded = Engine<test::SeededRandom>;
using Scripted = Engine<test::ScriptedRandom>;

/// The entries as a reader names them, without the beams.
std::string Music(std::vector<RhythmNote> notes)
{
    for (RhythmNote& n : notes)
        n.BeamGroup = 0;
    return test::Describe(notes);
}

/// What the reader hears and sees of an entry, without the beaming.
bool SameMusic(const RhythmNote& a, const RhythmNote& b)
{
    return a.Value == b.Value && a.Ticks == b.Ticks && a.Kind == b.Kind &&
           a.TripletMiddle == b.TripletMiddle && a.Rest == b.Rest && a.Tied == b.Tied &&
           a.BarEnd == b.BarEnd;
}

/// The copy equals the original except at the recorded changes, and each change is what its
/// kind says, made where it was allowed.
void ExpectCopyDiffersOnlyAtTheChanges(const TRytme& engine)
{
    const std::vector<RhythmNote>& original = engine.List(0);
    const std::vector<RhythmNote>& copy = engine.List(1);
    const std::vector<RhythmCorrection>& changes = engine.Corrections;
    ASSERT_FALSE(changes.empty());
    ASSERT_LE(changes.size(), static_cast<std::size_t>(engine.CorrectionsWanted));
    for (std::size_t c = 1; c < changes.size(); ++c)
        EXPECT_GE(changes[c].NoteIndex, changes[c - 1].NoteIndex + 2) << "changes touch";

    const int n = static_cast<int>(original.size());
    auto at = [&](int i) -> const RhythmNote& { return original[static_cast<std::size_t>(i - 1)]; };
    std::size_t d = 0;
    int s = 1;
    for (const RhythmCorrection& change : changes) {
        const int i = change.NoteIndex;
        SCOPED_TRACE("change at note " + std::to_string(i) + " of " + test::Describe(original) +
                     " -> " + test::Describe(copy));
        ASSERT_GE(i, 1);
        ASSERT_LE(i, n);
        for (; s < i; ++s, ++d) {
            ASSERT_LT(d, copy.size());
            EXPECT_TRUE(SameMusic(copy[d], at(s))) << "unchanged note " << s;
        }
        EXPECT_EQ(change.NoteX, at(i).X);
        const RhythmNote& note = at(i);
        const bool previousTied = i > 1 && at(i - 1).Tied != 0;
        ASSERT_LT(d + 1, copy.size());
        switch (change.Change) {
        case RhythmChange::Tie: {
            ASSERT_LT(i, n);
            EXPECT_FALSE(previousTied || note.Tied != 0 || at(i + 1).Tied != 0);
            EXPECT_FALSE(note.Rest != 0 || at(i + 1).Rest != 0);
            RhythmNote tied = note;
            tied.Tied = 1;
            EXPECT_TRUE(SameMusic(copy[d], tied));
            EXPECT_TRUE(SameMusic(copy[d + 1], at(i + 1)));
            d += 2;
            s += 2;
            break;
        }
        case RhythmChange::Split: {
            EXPECT_LT(note.Value, 6);
            EXPECT_EQ(note.Kind, 0);
            EXPECT_FALSE(note.Rest != 0 || note.Tied != 0 || previousTied);
            for (std::size_t half = d; half < d + 2; ++half) {
                EXPECT_EQ(copy[half].Value, note.Value + 1);
                EXPECT_EQ(copy[half].Ticks * 2, note.Ticks);
                EXPECT_EQ(copy[half].Kind, 0);
                EXPECT_EQ(copy[half].Rest, 0);
                EXPECT_EQ(copy[half].Tied, 0);
            }
            EXPECT_EQ(copy[d].BarEnd, 0);
            EXPECT_EQ(copy[d + 1].BarEnd, note.BarEnd);
            d += 2;
            s += 1;
            break;
        }
        case RhythmChange::Swap: {
            ASSERT_LT(i, n);
            const RhythmNote& next = at(i + 1);
            EXPECT_EQ(note.BarEnd, 0);
            EXPECT_NE(note.Value, next.Value);
            EXPECT_FALSE(note.Kind == 2 || next.Kind == 2);
            EXPECT_FALSE(previousTied || note.Tied != 0 || next.Tied != 0);
            EXPECT_FALSE(note.Rest != 0 || next.Rest != 0);
            RhythmNote first = next;
            first.BarEnd = 0;
            RhythmNote second = note;
            second.BarEnd = next.BarEnd;
            EXPECT_TRUE(SameMusic(copy[d], first));
            EXPECT_TRUE(SameMusic(copy[d + 1], second));
            d += 2;
            s += 2;
            break;
        }
        default:
            ADD_FAILURE() << "change " << static_cast<int>(change.Change);
        }
    }
    for (; s <= n; ++s, ++d) {
        ASSERT_LT(d, copy.size());
        EXPECT_TRUE(SameMusic(copy[d], at(s))) << "unchanged note " << s;
    }
    EXPECT_EQ(d, copy.size());
}

TEST(RhythmCorrections, SeededRunsMakeEveryKindOfChangeAndKeepTheBars)
{
    const SetupOptions setups[] = {
        {.rows = {},
         .values = {test::kHalf, test::kQuarter, test::kEighth, test::kSixteenth},
         .triplets = {test::kEighth},
         .rests = true,
         .ties = true,
         .dotted = true,
         .bars = 4},
        {.rows = {},
         .values = {test::kQuarter, test::kEighth, test::kThirtySecond},
         .rests = true,
         .bars = 6},
    };
    std::set<RhythmChange> kinds;
    int made = 0;
    for (int row = 1; row <= kTimeSignatureRows; ++row) {
        for (const SetupOptions& options : setups) {
            for (std::uint32_t seed = 1; seed <= 12; ++seed) {
                SCOPED_TRACE("row " + std::to_string(row) + " seed " + std::to_string(seed));
                Seeded e(seed);
                RhythmSetup s = MakeSetup(options);
                s.TimeSignatures[static_cast<std::size_t>(row - 1)] = 1;
                s.Corrections = static_cast<std::uint8_t>(1 + seed % 5);
                e.rytme.Setup(s, ExerciseKind::RhythmErrorDetection);
                e.rytme.Generate();
                ASSERT_GT(e.rytme.Count(0), 0);
                for (int i = 1; i <= e.rytme.Count(0); ++i)
                    e.rytme.Note(0, i).X = 47 + 17 * i;
                const std::vector<RhythmNote> original = e.rytme.List(0);
                if (!e.rytme.MakeCorrections())
                    continue;
                ++made;
                EXPECT_EQ(e.rytme.List(0), original);
                ExpectCopyDiffersOnlyAtTheChanges(e.rytme);
                test::ExpectWholeBars(e.rytme, e.rytme.List(1), e.rytme.Bars);
                test::ExpectSoundBeams(e.rytme, 1);
                for (const RhythmCorrection& c : e.rytme.Corrections)
                    kinds.insert(c.Change);
                if (::testing::Test::HasFailure())
                    return;
            }
        }
    }
    EXPECT_GT(made, 0);
    EXPECT_EQ(kinds,
              (std::set<RhythmChange>{RhythmChange::Tie, RhythmChange::Split, RhythmChange::Swap}));
}

TEST(RhythmCorrections, EachRhythmAllowsOnlyItsKindsOfChange)
{
    struct Case
    {
        const char* name;
        int row;
        std::string rhythm;
        int bars;
        std::set<RhythmChange> allowed;
    };
    const Case cases[] = {
        // Equal values never swap; every whole note splits and ties to the next.
        {"whole notes", 4, "1 | 1 | 1 | 1", 4, {RhythmChange::Tie, RhythmChange::Split}},
        {"one whole note", 4, "1", 1, {RhythmChange::Split}},
        // Nothing is shorter than a thirty-second.
        {"thirty-seconds",
         13,
         "32 32 32 32 32 32 32 32 32 32 32 32 32 32 32 32",
         1,
         {RhythmChange::Tie}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::set<RhythmChange> seen;
        for (std::uint32_t seed = 1; seed <= 40; ++seed) {
            Seeded e(seed);
            e.Use(c.row, c.rhythm, 3);
            e.rytme.Bars = static_cast<std::uint8_t>(c.bars);
            ASSERT_TRUE(e.rytme.MakeCorrections());
            ExpectCopyDiffersOnlyAtTheChanges(e.rytme);
            test::ExpectWholeBars(e.rytme, e.rytme.List(1), e.rytme.Bars);
            for (const RhythmCorrection& change : e.rytme.Corrections)
                seen.insert(change.Change);
        }
        EXPECT_EQ(seen, c.allowed);
    }
}

TEST(RhythmCorrections, ScriptedChangesGiveTheirCopies)
{
    struct Case
    {
        const char* name;
        std::string rhythm;
        std::vector<int> script; // the note drawn (reduced to 0..N-1), then the change kinds
        std::string copy;
    };
    const Case cases[] = {
        {"tie", "4 4 4 4", {1, 0}, "4 4~ 4 4 | "},
        {"split keeps the bar end on the second half", "2 4 4", {2, 1}, "2 4 8 8 | "},
        {"split of the first note", "2 2", {0, 1}, "4 4 2 | "},
        // The bar line stays where it was.
        {"swap", "4 2 4", {1, 2}, "4 4 2 | "},
        // A change kind that is not possible is drawn again.
        {"swap drawn again as a tie", "4 4 2", {0, 2, 2, 0}, "4~ 4 2 | "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scripted e(c.script);
        e.Use(4, c.rhythm, 1);
        ASSERT_TRUE(e.rytme.MakeCorrections());
        ASSERT_EQ(e.rytme.Corrections.size(), 1u);
        EXPECT_EQ(e.rytme.Corrections[0].NoteIndex, c.script[0] + 1);
        EXPECT_EQ(e.rytme.Corrections[0].NoteX, 40 + 20 * (c.script[0] + 1));
        EXPECT_EQ(Music(e.rytme.List(1)), c.copy);
    }
}

TEST(RhythmCorrections, ChangesEndAtANoteNextToAnEarlierOne)
{
    // The second draw lands beside the first change: one change, though five were asked.
    Scripted e(std::vector<int>{0, 1, 1});
    e.Use(4, "4 4 4 4", 5);
    ASSERT_TRUE(e.rytme.MakeCorrections());
    ASSERT_EQ(e.rytme.Corrections.size(), 1u);
    EXPECT_EQ(e.rytme.Corrections[0].Change, RhythmChange::Split);
    EXPECT_EQ(e.rytme.Count(1), 5);
}

TEST(RhythmCorrections, ALaterSearchThatFindsNothingKeepsTheChangesMade)
{
    // The first note splits; after that every draw lands on a rest.
    Scripted e(std::vector<int>{0, 1, 1});
    e.Use(4, "4 r4 4 r4", 2);
    ASSERT_TRUE(e.rytme.MakeCorrections());
    ASSERT_EQ(e.rytme.Corrections.size(), 1u);
    EXPECT_EQ(Music(e.rytme.List(1)), "8 8 r4 4 r4 | ");
}

TEST(RhythmCorrections, ASwapNeedsAFollowingNoteEvenWithoutABarLine)
{
    // A rhythm cut short: its last note has no bar end, yet nothing follows it to swap with.
    Scripted e(std::vector<int>{1, 2, 2, 1});
    e.Use(4, "4 8", 1);
    ASSERT_EQ(e.rytme.List(0).back().BarEnd, 0);
    ASSERT_TRUE(e.rytme.MakeCorrections());
    ASSERT_EQ(e.rytme.Corrections.size(), 1u);
    EXPECT_EQ(e.rytme.Corrections[0].Change, RhythmChange::Split);
    EXPECT_EQ(Music(e.rytme.List(1)), "4 16 16 ");
}

TEST(RhythmCorrections, ARandomSourceThatKeepsDrawingTheImpossibleNeverHangs)
{
    // Only a split is possible, and the script offers a tie for ever.
    Scripted e(std::vector<int>{0});
    e.Use(4, "1", 2);
    ASSERT_TRUE(e.rytme.MakeCorrections());
    ASSERT_EQ(e.rytme.Corrections.size(), 1u);
    EXPECT_EQ(e.rytme.Corrections[0].Change, RhythmChange::Split);
}

TEST(RhythmCorrections, NothingToChangeFailsAndLeavesNoStaleCopy)
{
    struct Case
    {
        const char* name;
        std::string rhythm;
    };
    const Case cases[] = {{"no notes", ""}, {"a whole-bar rest", "r1"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scripted e(std::vector<int>{0});
        e.Use(4, c.rhythm, 3);
        e.rytme.List(1) = test::Parse(e.rytme, "4 4 4 4");
        e.rytme.Corrections.push_back({2, RhythmChange::Tie, 60});
        EXPECT_FALSE(e.rytme.MakeCorrections());
        EXPECT_TRUE(e.rytme.Corrections.empty());
        EXPECT_EQ(e.rytme.Count(1), 0);
    }
    // An empty rhythm is not even drawn from.
    Scripted e(std::vector<int>{0});
    e.Use(4, "", 1);
    EXPECT_FALSE(e.rytme.MakeCorrections());
    EXPECT_EQ(e.random.Calls(), 0);
}

} // namespace
} // namespace pv
