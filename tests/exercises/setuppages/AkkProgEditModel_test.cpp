// The progression editor without its dialog: rows and their boxes, what OK stores, the text of
// the progression, and what Play sounds.
#include "PlayRig.h"
#include "exercises/setuppages/AkkProgEditModel.h"

#include <set>

#include <gtest/gtest.h>

namespace pv {
namespace {

ProgressionChord Chord(int root, int shift, int type)
{
    return {static_cast<std::uint8_t>(root), static_cast<std::int8_t>(shift),
            static_cast<std::uint8_t>(type), 0};
}

TEST(AkkProgEditModel, OnlyTheRowsUpToTheTrackBarCount)
{
    AkkProgEditModel editor;
    editor.Open({Chord(67, 0, 6), Chord(60, 0, 0)});
    EXPECT_EQ(editor.TrackBar1, 2);
    EXPECT_EQ(editor.RowEnabled, (std::array<bool, 5>{true, true, false, false, false}));
    EXPECT_EQ(editor.Label11, QStringLiteral("V 7 - I"));

    editor.TrackBar1Change(4);
    EXPECT_EQ(editor.RowEnabled, (std::array<bool, 5>{true, true, true, true, false}));
    editor.ChooseStep(2, 9);       // VI
    editor.ChooseAlteration(2, 1); // minor
    const std::vector<ProgressionChord> four = editor.Result();
    ASSERT_EQ(four.size(), 4U);
    EXPECT_EQ(four[2], Chord(69, 0, 1));
    EXPECT_EQ(four[3], Chord(60, 0, 0)) << "a row the item did not have: I major";
    EXPECT_EQ(editor.Label11, QStringLiteral("V 7 - I - VI mi - I"));

    editor.TrackBar1Change(9);
    EXPECT_EQ(editor.TrackBar1, 5);
    editor.TrackBar1Change(0);
    EXPECT_EQ(editor.TrackBar1, 2);
    EXPECT_EQ(editor.Result().size(), 2U);
}

TEST(AkkProgEditModel, StepsAndAlterationsAreStoredAsRootSpellingAndType)
{
    struct Case
    {
        const char* name;
        int step;
        int alteration;
        ProgressionChord stored;
    };
    const Case cases[] = {
        {"bIII major: root 63, flat", 3, 0, Chord(63, 1, 0)},
        {"bII", 1, 0, Chord(61, 1, 0)},
        {"bV", 6, 0, Chord(66, 1, 0)},
        {"IV minor", 5, 1, Chord(65, 0, 1)},
        {"bVII dominant seventh", 10, 6, Chord(70, 1, 6)},
        {"VII, natural", 11, 0, Chord(71, 0, 0)},
        {"alteration 17 is type 23", 7, 17, Chord(67, 0, 23)},
        {"alteration 18 is type 25", 7, 18, Chord(67, 0, 25)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AkkProgEditModel editor;
        editor.Open({Chord(60, 0, 0), Chord(60, 0, 0)});
        editor.ChooseStep(0, c.step);
        editor.ChooseAlteration(0, c.alteration);
        EXPECT_EQ(editor.Result().front(), c.stored);
    }
    for (int type = 0; type < 60; ++type) {
        SCOPED_TRACE(type);
        const int alteration = AlterationOfChordType(type);
        EXPECT_GE(alteration, 0);
        EXPECT_LT(alteration, kAlterationCount);
        if (alteration != 0 || type == 0) {
            EXPECT_EQ(ChordTypeOfAlteration(alteration), type);
        }
    }
}

TEST(AkkProgEditModel, ChordsTheBoxesCannotShowAreKeptUnlessChanged)
{
    // A chord type without an alteration entry (20) and roots outside the octave above C
    // (Ab below it, D above it) show as the nearest the lists can say...
    AkkProgEditModel editor;
    editor.Open({Chord(56, 1, 20), Chord(74, 0, 1), Chord(60, 0, 0)});
    EXPECT_EQ(editor.AlterationIndex[0], 0) << "the first alteration entry";
    EXPECT_EQ(editor.StepIndex[0], 8) << "bVI";
    EXPECT_EQ(editor.StepIndex[1], 2) << "II, not past the list";
    // ...and OK stores them as they were while nobody touched them.
    std::vector<ProgressionChord> stored = editor.Result();
    EXPECT_EQ(stored[0], Chord(56, 1, 20));
    EXPECT_EQ(stored[1], Chord(74, 0, 1));
    // A row the user changed takes its boxes.
    editor.ChooseAlteration(0, 6);
    stored = editor.Result();
    EXPECT_EQ(stored[0], Chord(56, 1, 6)) << "its root is still the Ab below";
    editor.ChooseStep(1, 2);
    EXPECT_EQ(editor.Result()[1], Chord(62, 0, 1));
}

TEST(AkkProgEditModel, LongProgressionsAreNotEditable)
{
    EXPECT_TRUE(ProgressionEditable(5));
    EXPECT_FALSE(ProgressionEditable(6));
    EXPECT_FALSE(ProgressionEditable(12));
    AkkProgEditModel editor;
    editor.Open({});
    EXPECT_EQ(editor.TrackBar1, 2) << "an empty slot opens with two chords";
}

TEST(AkkProgEditModel, PlaySoundsEachChordInTurn)
{
    test::PlayRig rig;
    AkkProgEditModel editor;
    editor.Open(
        {Chord(60, 0, 0), Chord(69, 0, 1), Chord(65, 0, 0), Chord(67, 0, 6), Chord(60, 0, 0)});
    EXPECT_EQ(editor.TrackBar1, 5);
    editor.Play(BuiltInItemTables().ChordIdentification, false, rig.midiOut);
    std::set<std::uint64_t> onsets;
    int notes = 0;
    for (const auto& on : rig.NoteOns()) {
        onsets.insert(on.first);
        ++notes;
    }
    EXPECT_EQ(onsets.size(), 5U);
    EXPECT_EQ(notes, 3 + 3 + 3 + 4 + 3);
}

} // namespace
} // namespace pv
