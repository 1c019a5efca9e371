// The identification exercise's questions: draws, roots, keys, spelling and placement.
#include "exercises/identification/AkkordModel.h"
#include "exercises/identification/AkkordTestWindow.h"
#include "exercises/items/ItemTables.h"
#include "exercises/setup/ExerciseSetup.h"
#include "music/strings/UIStrings.h"
#include "support/ScriptedRandom.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace pv {
namespace {

using Mode = IdentificationMode;

using Window = test::AkkordTestWindow;

OptionBlock& BlockOf(ExerciseSetup& setup, Mode mode)
{
    return *OptionBlockOfKind(setup, ModeInfo(mode).Kind);
}

// "C#4" style: the written letter with its accidental and the octave of the written note.
std::string Named(TPitch pitch)
{
    const int written = pitch.Note + pitch.Shift;
    return (NoteName(pitch) + QString::number(written / 12 - 1)).toStdString();
}

std::string NotesOf(const AkkordModel& m)
{
    std::string text;
    if (m.Mode == Mode::ChordProgressions) {
        const std::vector<TNoteRec>& notes = m.ProgressionNotes.Notes;
        for (std::size_t k = 0; k < notes.size(); ++k) {
            text += (k > 0 ? " " : "") + Named(notes[k].Pitch);
            if (notes[k].BarLine != 0 && k + 1 < notes.size()) {
                text += " |";
            }
        }
        return text;
    }
    for (int k = 0; k < m.QuestionNoteCount; ++k) {
        text += (k > 0 ? " " : "") + Named(m.QuestionNotes[static_cast<std::size_t>(k)].Pitch);
    }
    return text;
}

std::string Describe(const AkkordModel& m)
{
    return "item " + std::to_string(m.QuestionItem) + " root " + std::to_string(m.QuestionRoot) +
           " style " + std::to_string(m.CurrentPlayStyle) + " key " +
           std::to_string(m.Sheet.KeySignature) + (m.Sheet.Minor ? " minor" : " major") +
           " staff " + std::to_string(m.Sheet.StaffChoice) + ": " + NotesOf(m);
}

void SetUpWindow(Window& w, const ExerciseSetup& setup = DefaultExerciseSetup(),
                 const ItemTables& items = BuiltInItemTables())
{
    w.model.Setup(setup, items, AkkordSettings{}, true);
}

// Each question draws root, play style and item in that order (intervals then minor or major);
// the script is the same for every mode.
TEST(AkkordQuestion, DefaultSetupsPutTheseFirstQuestions)
{
    const std::vector<int> script = {3, 1, 0, 7, 0, 1, 11, 1, 1, 5, 0, 0, 2, 0, 1};
    struct Case
    {
        Mode mode;
        std::vector<std::string> questions;
    };
    const Case cases[] = {
        {Mode::ChordIdentification,
         {"item 1 root 56 style 6 key -4 major staff -2: Ab3 C4 Eb4",
          "item 2 root 57 style 5 key 0 minor staff 2: A3 C4 E4",
          "item 2 root 61 style 6 key 4 minor staff 2: C#4 E4 G#4"}},
        {Mode::ChordInversions,
         {"item 1 root 56 style 6 key -4 major staff -2: Ab3 C4 Eb4",
          "item 2 root 60 style 5 key 0 major staff 2: E4 G4 C5",
          "item 2 root 64 style 6 key 4 major staff 2: G#4 B4 E5"}},
        {Mode::IntervalIdentification,
         {"item 1 root 53 style 6 key -4 minor staff -2: F3 F3",
          "item 13 root 50 style 6 key -1 minor staff -2: D3 D4",
          "item 1 root 54 style 6 key -6 major staff -2: Gb3 Gb3"}},
        {Mode::Scales,
         {"item 1 root 56 style 1 key -4 major staff 2: Ab4 G4 F4 Eb4 Db4 C4 Bb3 Ab3",
          "item 6 root 60 style 1 key 0 major staff 2: A3 B3 C4 D4 E4 F4 G4 A4",
          "item 6 root 64 style 1 key 4 major staff 2: C#5 B4 A4 G#4 F#4 E4 D#4 C#4"}},
        {Mode::ChordProgressions,
         {"item 1 root 56 style 6 key -4 major staff 2: Eb4 G4 Bb4 | Ab3 C4 Eb4",
          "item 2 root 60 style 5 key -3 minor staff 2: G4 B4 D5 | C4 Eb4 G4",
          "item 2 root 64 style 6 key 1 minor staff 2: B4 D#5 F#5 | E4 G4 B4"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        Window w(c.mode, script);
        SetUpWindow(w);
        for (const std::string& expected : c.questions) {
            ASSERT_TRUE(w.model.NewQuestion());
            EXPECT_EQ(Describe(w.model), expected);
            EXPECT_FALSE(w.base.Answered);
        }
    }
}

TEST(AkkordQuestion, CyclicRulesWalkThroughAllTwelveRootsInsideTheRange)
{
    struct Case
    {
        int rule;
        std::vector<int> roots;
    };
    const Case cases[] = {
        {3, {48, 55, 50, 57, 52, 59, 54, 49, 56, 51, 58, 53, 60}},
        {4, {60, 53, 58, 51, 56, 49, 54, 59, 52, 57, 50, 55, 48}},
        {5, {48, 51, 54, 57, 49, 52, 55, 58, 50, 53, 56, 59, 60}},
        {6, {60, 57, 54, 51, 59, 56, 53, 50, 58, 55, 52, 49, 48}},
        {7, {48, 50, 52, 54, 56, 58, 49, 51, 53, 55, 57, 59, 60}},
        {8, {60, 58, 56, 54, 52, 50, 59, 57, 55, 53, 51, 49, 48}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        ExerciseSetup setup = DefaultExerciseSetup();
        OptionBlock& block = BlockOf(setup, Mode::ChordIdentification);
        block.ItemFlags.fill(0);
        block.ItemFlags[0] = 1; // major triads only: the root is the drawn one
        block.RootMovement = static_cast<std::uint8_t>(c.rule);
        block.LowestNote = 48;
        block.HighestNote = 60;
        Window w(Mode::ChordIdentification);
        SetUpWindow(w, setup);
        std::vector<int> roots;
        for (std::size_t q = 0; q < c.roots.size(); ++q) {
            ASSERT_TRUE(w.model.NewQuestion());
            roots.push_back(w.model.QuestionRoot);
        }
        EXPECT_EQ(roots, c.roots);
    }
}

// A fixed tone keeps the root of every chord, a fixed key its tonic (a minor chord then sits on
// the key's sixth degree).
TEST(AkkordQuestion, FixedToneAndFixedKeyRulesDrawOnlyThatPitchClass)
{
    for (int rule : {11, 16, 22, 25, 31, 36}) {
        SCOPED_TRACE(rule);
        ExerciseSetup setup = DefaultExerciseSetup();
        BlockOf(setup, Mode::ChordIdentification).RootMovement = static_cast<std::uint8_t>(rule);
        Window w(Mode::ChordIdentification, {0, 0, 0, 5, 1, 1, 9, 0, 0, 13, 1, 0});
        SetUpWindow(w, setup);
        const int pitchClass = *FixedRootPitchClass(static_cast<std::uint8_t>(rule));
        for (int q = 0; q < 4; ++q) {
            ASSERT_TRUE(w.model.NewQuestion());
            EXPECT_EQ(w.model.PreviousRoot % 12, pitchClass);
            if (rule <= 22) {
                EXPECT_EQ(w.model.QuestionRoot % 12, pitchClass);
                EXPECT_EQ(w.model.Sheet.KeySignature,
                          KeySignatureOfPitchClass(pitchClass - w.model.Sheet.KeyOffset));
            } else {
                EXPECT_EQ(w.model.QuestionRoot % 12,
                          (pitchClass + w.model.Sheet.KeyOffset + 12) % 12);
                EXPECT_EQ(w.model.Sheet.KeySignature, rule - 31);
            }
        }
    }
}

TEST(AkkordQuestion, KeyVoteMakesEveryBuiltInProgressionMinorExactlyWhenItEndsOnAMinorChord)
{
    const ItemTables& tables = BuiltInItemTables();
    int asked = 0;
    for (std::size_t p = 0; p < kItemCount; ++p) {
        const int count = tables.ProgressionCounts[p];
        if (count == 0) {
            continue;
        }
        SCOPED_TRACE(p + 1);
        ExerciseSetup setup = DefaultExerciseSetup();
        OptionBlock& block = BlockOf(setup, Mode::ChordProgressions);
        block.ItemFlags.fill(0);
        block.ItemFlags[p] = 1;
        block.RootMovement = 11; // always C
        Window w(Mode::ChordProgressions);
        SetUpWindow(w, setup);
        ASSERT_TRUE(w.model.NewQuestion());
        const ProgressionChord& last =
            tables.Progressions[p].Chords[static_cast<std::size_t>(count - 1)];
        EXPECT_EQ(w.model.Sheet.Minor, IsMinorChordType(last.ChordType));
        EXPECT_EQ(w.model.Sheet.KeySignature, w.model.Sheet.Minor ? -3 : 0);
        ++asked;
    }
    EXPECT_EQ(asked, 35);
}

TEST(AkkordQuestion, ProgressionQuestionLeavesOnlyButtonsOfItsChordCountEnabled)
{
    const ItemTables& tables = BuiltInItemTables();
    ExerciseSetup setup = DefaultExerciseSetup();
    BlockOf(setup, Mode::ChordProgressions).ItemFlags.fill(1);
    Window w(Mode::ChordProgressions, {0, 0, 20});
    SetUpWindow(w, setup);
    ASSERT_TRUE(w.model.NewQuestion());
    const int count = w.model.QuestionNoteCount;
    int enabled = 0;
    for (int b = 1; b <= w.model.ButtonCount; ++b) {
        const auto item = static_cast<std::size_t>(w.model.ItemOfButton(b) - 1);
        EXPECT_EQ(w.model.AnswerButtonEnabled(b), tables.ProgressionCounts[item] == count) << b;
        enabled += w.model.AnswerButtonEnabled(b) ? 1 : 0;
    }
    EXPECT_GT(enabled, 0);
    EXPECT_LT(enabled, w.model.ButtonCount);
}

TEST(AkkordQuestion, MinorTriadOnADrawnRootIsTheRelativeMinorOfThatMajorKey)
{
    ExerciseSetup setup = DefaultExerciseSetup();
    OptionBlock& block = BlockOf(setup, Mode::ChordIdentification);
    block.ItemFlags.fill(0);
    block.ItemFlags[1] = 1;
    Window w(Mode::ChordIdentification, {7}); // 53 + 7: middle C
    SetUpWindow(w, setup);
    ASSERT_TRUE(w.model.NewQuestion());
    EXPECT_EQ(Describe(w.model), "item 2 root 57 style 6 key 0 minor staff 2: A3 C4 E4");
    EXPECT_EQ(w.model.Sheet.KeyOffset, -3);
}

TEST(AkkordQuestion, IntervalInTheKeyOfSixFlatsFromFUpToGbWritesFNaturalAndGbFlat)
{
    ExerciseSetup setup = DefaultExerciseSetup();
    OptionBlock& block = BlockOf(setup, Mode::IntervalIdentification);
    block.ItemFlags.fill(0);
    block.ItemFlags[1] = 1; // minor second
    block.PlayStyles = {1, 0, 0};
    block.ExtraOption = 1;   // in a key
    block.RootMovement = 17; // always F#/Gb: six flats
    // A fixed tone draws no minor: root, style, item, then the second position (11).
    Window w(Mode::IntervalIdentification, {0, 0, 0, 1});
    SetUpWindow(w, setup);
    ASSERT_TRUE(w.model.NewQuestion());
    EXPECT_EQ(w.model.Sheet.KeySignature, -6);
    EXPECT_EQ(w.model.Sheet.KeyOffset, 11);
    EXPECT_EQ(NotesOf(w.model), "F4 Gb4");
}

TEST(AkkordQuestion, OneItemRedrawsUntilTheRootChangesUnlessTheRangeHasOneRoot)
{
    for (const int highest : {60, 72}) {
        SCOPED_TRACE(highest);
        ExerciseSetup setup = DefaultExerciseSetup();
        OptionBlock& block = BlockOf(setup, Mode::ChordIdentification);
        block.ItemFlags.fill(0);
        block.ItemFlags[0] = 1;
        block.LowestNote = 60;
        block.HighestNote = static_cast<std::uint8_t>(highest);
        // Root draws 0, 0, 0, 4: the second question redraws twice in a wide range.
        Window w(Mode::ChordIdentification, {0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 0});
        SetUpWindow(w, setup);
        ASSERT_TRUE(w.model.NewQuestion());
        EXPECT_EQ(w.model.QuestionRoot, 60);
        const int callsBefore = w.random.Calls();
        ASSERT_TRUE(w.model.NewQuestion());
        if (highest == 60) {
            EXPECT_EQ(w.model.QuestionRoot, 60);
            EXPECT_EQ(w.random.Calls() - callsBefore, 3);
        } else {
            EXPECT_EQ(w.model.QuestionRoot, 64);
            EXPECT_EQ(w.random.Calls() - callsBefore, 9);
        }
    }
}

// A range with no note of the pitch class, an inverted range, and ranges at MIDI's edges: one
// sane root each, and no note outside 0..127.
TEST(AkkordQuestion, DegenerateRangesGiveOneSaneRootAndNotesInsideMidi)
{
    struct Case
    {
        const char* name;
        Mode mode;
        int rule;
        int lowest;
        int highest;
        int root;
    };
    const Case cases[] = {
        {"no F between F#4 and E5", Mode::ChordIdentification, 16, 66, 76, 77},
        {"inverted range", Mode::ChordIdentification, 0, 72, 60, 69},
        {"top of MIDI", Mode::Scales, 0, 126, 127, 126},
        {"bottom of MIDI", Mode::ChordIdentification, 0, 0, 0, 9},
        {"damaged rule", Mode::ChordIdentification, 200, 60, 60, 57},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExerciseSetup setup = DefaultExerciseSetup();
        OptionBlock& block = BlockOf(setup, c.mode);
        block.RootMovement = static_cast<std::uint8_t>(c.rule);
        block.LowestNote = static_cast<std::uint8_t>(c.lowest);
        block.HighestNote = static_cast<std::uint8_t>(c.highest);
        Window w(c.mode, {5, 0, 1}); // the second button: a minor chord, a minor scale
        SetUpWindow(w, setup);
        EXPECT_EQ(w.model.RootSpan, 1);
        for (int q = 0; q < 3; ++q) {
            ASSERT_TRUE(w.model.NewQuestion());
            EXPECT_EQ(w.model.QuestionRoot, c.root);
            ASSERT_GT(w.model.QuestionNoteCount, 0);
            for (int k = 0; k < w.model.QuestionNoteCount; ++k) {
                const int note = w.model.QuestionNotes[static_cast<std::size_t>(k)].Pitch.Note;
                EXPECT_GE(note, 0);
                EXPECT_LE(note, 127);
            }
        }
    }
}

TEST(AkkordQuestion, DamagedItemTablesNeverPutAnEmptyOrOversizedQuestion)
{
    ItemTables tables = BuiltInItemTables();
    tables.ChordIdentification.Counts[0] = 0;  // a slot emptied
    tables.ChordIdentification.Counts[1] = 13; // a count over twelve
    ExerciseSetup setup = DefaultExerciseSetup();
    Window w(Mode::ChordIdentification);
    SetUpWindow(w, setup, tables);
    EXPECT_EQ(w.model.ButtonCount, 0);
    EXPECT_FALSE(w.model.NewQuestion());
    EXPECT_TRUE(w.base.Answered);

    OptionBlock& block = BlockOf(setup, Mode::ChordIdentification);
    block.ItemFlags[2] = 1;
    SetUpWindow(w, setup, tables);
    ASSERT_TRUE(w.model.NewQuestion());
    EXPECT_EQ(w.model.QuestionItem, 3);
    EXPECT_EQ(w.model.QuestionNoteCount, tables.ChordIdentification.Counts[2]);
}

TEST(AkkordQuestion, ShownFirstToneIsEnteredAtOnceWithoutATonic)
{
    ExerciseSetup setup = DefaultExerciseSetup();
    OptionBlock& block = BlockOf(setup, Mode::ChordIdentification);
    block.ShowFirstTone = 1;
    block.TonicReference = 0;
    block.PlayStyles = {0, 0, 1}; // down: the first tone is the top one
    Window w(Mode::ChordIdentification, {7, 0, 0});
    SetUpWindow(w, setup);
    ASSERT_TRUE(w.model.NewQuestion());
    EXPECT_EQ(w.model.EnteredCount, 1);
    EXPECT_EQ(w.model.FirstTonePitch, w.model.QuestionNotes[2].Pitch.Note);
    EXPECT_EQ(w.model.EnteredNotes[0].Pitch, w.model.QuestionNotes[2].Pitch);
}

TEST(AkkordQuestion, ProgressionAnswerHasASlotPerChordAndGetsTheFirstChordWhenShown)
{
    struct Case
    {
        std::uint8_t showFirstTone;
        std::uint8_t tonicReference;
        bool firstChordEntered;
    };
    const Case cases[] = {{0, 0, false}, {1, 0, true}, {1, 1, false}, {0, 1, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "first tone " << int{c.showFirstTone} << " tonic "
                                        << int{c.tonicReference});
        ExerciseSetup setup = DefaultExerciseSetup();
        OptionBlock& block = BlockOf(setup, Mode::ChordProgressions);
        block.ShowFirstTone = c.showFirstTone;
        block.TonicReference = c.tonicReference;
        Window w(Mode::ChordProgressions);
        SetUpWindow(w, setup);
        ASSERT_TRUE(w.model.NewQuestion());
        ASSERT_GT(w.model.QuestionNoteCount, 1);
        EXPECT_EQ(w.model.TonicContext, c.tonicReference != 0);
        EXPECT_EQ(w.model.EnteredCount, w.model.QuestionNoteCount);
        EXPECT_EQ(w.model.FirstTonePitch, 0);
        const TNoteRec& first = w.model.EnteredNotes[0];
        if (c.firstChordEntered) {
            EXPECT_EQ(first.Pitch, w.model.QuestionNotes[0].Pitch);
            EXPECT_EQ(first.AccidentalInput, w.model.QuestionNotes[0].AccidentalInput);
        } else {
            EXPECT_EQ(first.Pitch.Note, 0);
        }
        for (int k = 1; k < w.model.QuestionNoteCount; ++k) {
            EXPECT_EQ(w.model.EnteredNotes[static_cast<std::size_t>(k)].Pitch.Note, 0) << k;
        }
    }
}

} // namespace
} // namespace pv
