// Which notes share a beam, how the inner beams break, and ties into rests.
#include "RhythmChecks.h"
#include "exercises/rhythm/TRytme.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace pv {
namespace {

struct Engine
{
    Engine() : rytme(random, prompts, strings) {}
    test::SeededRandom random{1};
    test::ScriptedPrompts prompts;
    UIStringTable strings;
    TRytme rytme;
};

/// The beam groups as letters, one per entry: '-' not beamed, and 'a', 'b', ... for each new
/// group met from the left (so the numbers themselves do not matter, only which notes share
/// one).
std::string BeamPattern(const std::vector<RhythmNote>& notes)
{
    std::string pattern;
    std::vector<int> seen;
    int previous = -1;
    char letter = 'a' - 1;
    for (const RhythmNote& n : notes) {
        if (n.BeamGroup == 0) {
            pattern += '-';
            continue;
        }
        if (n.BeamGroup != previous)
            ++letter;
        previous = n.BeamGroup;
        pattern += letter;
    }
    return pattern;
}

TEST(RhythmBeams, NotesShareABeamWithinTheirBeatGroupOnly)
{
    struct Case
    {
        const char* name;
        int row;
        std::string rhythm;
        std::string beams;
    };
    const Case cases[] = {
        {"quarters have no beams", 4, "4 4 4 4", "----"},
        {"eighths pair up by the beat in 4/4", 4, "8 8 8 8 4 4", "aabb--"},
        {"an eighth between quarters keeps its flag", 4, "4 8 4 4 8", "-----"},
        {"sixteenths and eighths of one beat", 4, "16 16 16 16 8 8 2", "aaaabb-"},
        {"a rest inside a beat stays under the beam", 6, "8 r8 8 8 8 8", "a-abbb"},
        {"three and three in 6/8", 6, "8 8 8 8 8 8 | 8 8 8 4.", "aaabbbccc-"},
        {"a dotted eighth across the beat joins both groups", 6, "r8 8 16 8. 16 8.", "-aaaaa"},
        // Each bar starts its groups afresh, also after a bar that ends with long notes.
        {"four and three in 7/8", 9, "8 4 4 4 | 8 8 8 8 8 8 8", "----aaaabbb"},
        {"eighths pair by the beat in 5/4", 12, "8 8 4 4 4 4 | 8 8 8 8 8 8 8 8 8 8",
         "aa----bbccddeeff"},
        {"sixteenths of one beat in 5/4", 12, "16 16 8 8 16 16 4 r8 8 8 8", "aaabbb---cc"},
        {"one group a bar in 3/8", 5, "8 8 8 | 16 16 8 8 | 8 4", "aaabbbb--"},
        {"three groups of three in 9/8", 10, "8 8 8 8 16 16 8 8 8 8", "aaabbbbccc"},
        {"four groups of three in 12/8", 11, "8 8 8 4 8 8 8 8 4.", "aaa--bbb-"},
        {"the three of 7/8 after a dotted quarter", 9, "4. 8 8 16 16 8", "--aaaa"},
        {"triplets beam by themselves", 4, "8t 8t 8t 8 8 2", "aaabb-"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Engine e;
        e.rytme.SelectTimeSignature(c.row);
        e.rytme.List(0) = test::Parse(e.rytme, c.rhythm);
        e.rytme.ComputeBeams(0);
        EXPECT_EQ(BeamPattern(e.rytme.List(0)), c.beams) << test::Describe(e.rytme.List(0));
        test::ExpectSoundBeams(e.rytme, 0);
    }
}

TEST(RhythmBeams, InnerBeamsBreakAtTheBeatsHalvesAndAroundLongNotes)
{
    Engine e;
    e.rytme.SelectTimeSignature(4);
    e.rytme.List(0) = test::Parse(e.rytme, "16 16 16 16 8 8 4 8 8");
    e.rytme.ComputeBeams(0);
    std::vector<int> levels;
    for (const RhythmNote& n : e.rytme.List(0))
        levels.push_back(n.BeamLevel);
    // A beam level 1 starts a beat or its half, 0 ends one; the quarter restarts the next
    // group and closes the one before it.
    EXPECT_EQ(levels, (std::vector<int>{1, 0, 1, 0, 1, 0, 0, 1, 0}));
}

TEST(RhythmBeams, ARestEndsTheBeamBeforeItAndTakesAwayATieIntoIt)
{
    Engine e;
    e.rytme.SelectTimeSignature(4);
    e.rytme.List(0) = test::Parse(e.rytme, "8~ r8 8 8 2");
    e.rytme.ComputeBeams(0);
    const std::vector<RhythmNote>& notes = e.rytme.List(0);
    EXPECT_EQ(BeamPattern(notes), "--aa-");
    EXPECT_EQ(notes[0].Tied, 0);
    EXPECT_EQ(notes[0].BeamLevel, 0);
    EXPECT_EQ(notes[2].BeamLevel, 1);

    // A rest first starts the beam of what follows it afresh.
    e.rytme.List(0) = test::Parse(e.rytme, "r16 16 8 4 2");
    e.rytme.ComputeBeams(0);
    EXPECT_EQ(BeamPattern(e.rytme.List(0)), "-aa--");
    EXPECT_EQ(e.rytme.Note(0, 2).BeamLevel, 1);
}

TEST(RhythmBeams, LongRhythmsNeverNumberABeamAsUnbeamed)
{
    // Two beams a bar for 120 bars: more group numbers than a byte holds.
    Engine e;
    e.rytme.SelectTimeSignature(4);
    std::string rhythm;
    for (int bar = 0; bar < 120; ++bar)
        rhythm += "8 8 8 8 4 4 | ";
    e.rytme.List(0) = test::Parse(e.rytme, rhythm);
    e.rytme.ComputeBeams(0);
    const std::vector<RhythmNote>& notes = e.rytme.List(0);
    for (std::size_t k = 0; k < notes.size(); k += 2) {
        SCOPED_TRACE("entry " + std::to_string(k + 1));
        if (notes[k].Value != test::kEighth)
            continue;
        EXPECT_NE(notes[k].BeamGroup, 0);
        EXPECT_EQ(notes[k].BeamGroup, notes[k + 1].BeamGroup);
        if (k >= 2) {
            EXPECT_NE(notes[k].BeamGroup, notes[k - 2].BeamGroup);
        }
    }
}

TEST(RhythmBeams, BeamingOneListLeavesTheOtherAlone)
{
    Engine e;
    e.rytme.SelectTimeSignature(4);
    e.rytme.List(1) = test::Parse(e.rytme, "8 8 8 8 2");
    const std::vector<RhythmNote> before = e.rytme.List(1);
    e.rytme.List(0) = test::Parse(e.rytme, "8t 8t 8t r8 8 2");
    e.rytme.ComputeBeams(0);
    EXPECT_EQ(e.rytme.List(1), before);
    e.rytme.List(0).clear();
    e.rytme.ComputeBeams(0);
    EXPECT_EQ(e.rytme.List(1), before);
}

} // namespace
} // namespace pv
