// The identification exercise's entry rules besides single notes: taking back the last note,
// progression chords set on roots, entering the view and the pitch range of the instruments.
#include "exercises/identification/AkkordModel.h"
#include "exercises/identification/AkkordTestWindow.h"
#include "exercises/items/ItemTables.h"
#include "exercises/setup/ExerciseSetup.h"

#include <optional>
#include <vector>

#include <gtest/gtest.h>

namespace pv {
namespace {

using Mode = IdentificationMode;
using Window = test::AkkordTestWindow;

/// A window of the mode with the default setup and one open question.
void Ask(Window& w)
{
    w.model.Setup(DefaultExerciseSetup(), BuiltInItemTables(), AkkordSettings{}, true);
    w.model.ShowFirstTone = false;
    ASSERT_TRUE(w.model.NewQuestion());
    w.model.ClearEnteredNotes();
    if (w.model.Mode == Mode::ChordProgressions) {
        // The answer keeps one slot per chord.
        w.model.EnteredCount = static_cast<std::uint8_t>(w.model.QuestionNoteCount);
    }
}

std::vector<int> EnteredPitches(const AkkordModel& m)
{
    std::vector<int> notes;
    for (std::size_t k = 0; k < m.EnteredCount; ++k)
        notes.push_back(m.EnteredNotes[k].Pitch.Note);
    return notes;
}

TEST(AkkordEntry, ARootAloneTakesTheDiatonicTriadOfItsDegree)
{
    // Degrees in semitones above the tonic: I ii iii IV V vi vii° in major,
    // i ii° III iv v VI VII in minor (natural minor's triads, the fifth degree minor too);
    // chromatic degrees take a major triad.
    const int major[12] = {0, 0, 1, 0, 1, 0, 0, 0, 0, 1, 0, 2};
    const int minor[12] = {1, 0, 2, 0, 0, 1, 0, 0, 0, 0, 0, 0};
    for (int d = 0; d < 12; ++d) {
        SCOPED_TRACE(d);
        EXPECT_EQ(DiatonicTriadType(d, false), major[d]);
        EXPECT_EQ(DiatonicTriadType(d, true), minor[d]);
        EXPECT_EQ(DiatonicTriadType(d + 12, false), major[d]) << "any octave";
        EXPECT_EQ(DiatonicTriadType(d - 24, true), minor[d]) << "below the tonic";
    }
}

TEST(AkkordEntry, RootsFillTheProgressionInTurnAndTheQualityButtonsSetTheirTypes)
{
    Window w(Mode::ChordProgressions);
    Ask(w);
    AkkordModel& m = w.model;
    const int count = m.QuestionNoteCount;
    ASSERT_GE(count, 2);

    // Each root lands on the chord at the cursor, which then moves on to the next empty one.
    for (int k = 0; k < count; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(m.ChordCursor, k);
        const TNoteRec& asked = m.QuestionNotes[static_cast<std::size_t>(k)];
        const int root = m.QuestionRoot + ((asked.Pitch.Note - m.QuestionRoot) % 12 + 12) % 12;
        const auto effect =
            m.SetProgressionChord(TPitch{static_cast<std::int8_t>(root), asked.Pitch.Shift},
                                  kNoChordType, 0, false, false);
        EXPECT_TRUE(effect.Changed);
        const TNoteRec& chord = m.EnteredNotes[static_cast<std::size_t>(k)];
        EXPECT_EQ(chord.Pitch.Note, root);
        EXPECT_EQ(chord.AccidentalInput, DiatonicTriadType(root - m.QuestionRoot, m.Sheet.Minor));
        EXPECT_NE(chord.GuitarString, 0) << "a chord gets its string";
        EXPECT_TRUE(w.strip.ButtonEnabled[3]);
        EXPECT_EQ(m.ChordCursor, std::min(k + 1, count - 1));
    }
    EXPECT_EQ(m.EnteredCount, count) << "chords fill slots, never add to them";

    // The quality buttons give the chord at the cursor the question's type; its root stays.
    for (int k = 0; k < count; ++k) {
        SCOPED_TRACE(k);
        const int type = m.QuestionNotes[static_cast<std::size_t>(k)].AccidentalInput;
        const int button = AlterationButtonOfChordType(type);
        ASSERT_EQ(ChordTypeOfAlterationButton(button), type);
        m.ChordCursor = static_cast<std::uint8_t>(k);
        const int root = m.EnteredNotes[static_cast<std::size_t>(k)].Pitch.Note;
        m.AlterationButtonClick(button);
        EXPECT_EQ(m.EnteredNotes[static_cast<std::size_t>(k)].AccidentalInput, type);
        EXPECT_EQ(m.EnteredNotes[static_cast<std::size_t>(k)].Pitch.Note, root);
    }
    // A root entered in another octave than the question's chord still names that chord.
    m.FourthButtonAction();
    EXPECT_TRUE(w.base.Answered);
    EXPECT_TRUE(m.LastAnswerRight);
    EXPECT_EQ(w.base.CorrectCount, 1U);

    // Nothing changes once answered.
    const auto before = EnteredPitches(m);
    EXPECT_FALSE(m.SetProgressionChord(TPitch{62, 0}, kNoChordType, 0, false, false).Changed);
    EXPECT_FALSE(
        m.SetProgressionChord(TPitch{static_cast<std::int8_t>(before[0]), 0}, 0, 0, true, false)
            .Changed);
    EXPECT_EQ(EnteredPitches(m), before);
}

TEST(AkkordEntry, RemovingEmptiesTheLastChordOnThatRootAndKeepsTheTypeOfARootAgain)
{
    Window w(Mode::ChordProgressions);
    Ask(w);
    AkkordModel& m = w.model;
    ASSERT_GE(m.QuestionNoteCount, 2);
    const TPitch g{static_cast<std::int8_t>(m.QuestionRoot + 7), 0};
    m.SetProgressionChord(g, kNoChordType, 0, false, true);
    m.SetProgressionChord(g, kNoChordType, 0, false, true);
    ASSERT_EQ(m.EnteredNotes[0].Pitch.Note, g.Note);
    ASSERT_EQ(m.EnteredNotes[1].Pitch.Note, g.Note);

    // A root that is not in the answer removes nothing.
    EXPECT_FALSE(m.SetProgressionChord(TPitch{static_cast<std::int8_t>(m.QuestionRoot + 1), 0},
                                       kNoChordType, 0, true, false)
                     .Changed);
    struct Step
    {
        int emptied;
    };
    for (const Step step : {Step{1}, Step{0}}) {
        SCOPED_TRACE(step.emptied);
        EXPECT_TRUE(m.SetProgressionChord(g, kNoChordType, 0, true, false).Changed);
        const TNoteRec& chord = m.EnteredNotes[static_cast<std::size_t>(step.emptied)];
        EXPECT_EQ(chord.Pitch.Note, 0);
        EXPECT_EQ(chord.AccidentalInput, kNoChordType);
        EXPECT_EQ(m.ChordCursor, step.emptied);
        EXPECT_EQ(m.PressedChordType, kOwnButtonChordType);
    }

    // A chord given a type by a quality button keeps it when its root changes by a key.
    m.SetProgressionChord(g, kNoChordType, 0, false, true);
    m.ChordCursor = 0;
    m.AlterationButtonClick(AlterationButtonOfChordType(7));
    ASSERT_EQ(m.EnteredNotes[0].AccidentalInput, 7);
    EXPECT_EQ(m.ChordCursor, 1) << "on to the empty chord after it";
    m.ChordCursor = 0;
    m.SetProgressionChord(TPitch{static_cast<std::int8_t>(m.QuestionRoot + 2), 0}, kNoChordType, 0,
                          false, true);
    EXPECT_EQ(m.EnteredNotes[0].Pitch.Note, m.QuestionRoot + 2);
    EXPECT_EQ(m.EnteredNotes[0].AccidentalInput, 7);
}

TEST(AkkordEntry, TheFirstChordGivenAwayIsSkippedByTheCursor)
{
    Window w(Mode::ChordProgressions);
    w.model.Setup(DefaultExerciseSetup(), BuiltInItemTables(), AkkordSettings{}, true);
    w.model.ShowFirstTone = true;
    w.model.TonicContext = false;
    ASSERT_TRUE(w.model.NewQuestion());
    AkkordModel& m = w.model;
    ASSERT_GE(m.QuestionNoteCount, 2);
    ASSERT_EQ(m.EnteredNotes[0].Pitch.Note, m.QuestionNotes[0].Pitch.Note);
    EXPECT_EQ(m.ChordCursor, 1);
    const TPitch root{static_cast<std::int8_t>(m.QuestionRoot + 5), 0};
    m.SetProgressionChord(root, kNoChordType, 0, false, true);
    EXPECT_EQ(m.EnteredNotes[1].Pitch.Note, root.Note);
    EXPECT_EQ(m.EnteredNotes[0].Pitch.Note, m.QuestionNotes[0].Pitch.Note) << "kept";
}

TEST(AkkordEntry, TheRightChordsAnswerByThemselvesWithAutoAnswerAndPlayOnlyWhenAsked)
{
    for (const bool quiet : {false, true}) {
        SCOPED_TRACE(quiet);
        Window w(Mode::ChordProgressions);
        Ask(w);
        AkkordModel& m = w.model;
        m.AutoAnswer = true;
        m.PlayToneOnClick = true;
        const int count = m.QuestionNoteCount;
        for (int k = 0; k < count; ++k) {
            EXPECT_FALSE(w.base.Answered) << "answered before the last chord, at " << k;
            const TNoteRec& asked = m.QuestionNotes[static_cast<std::size_t>(k)];
            const auto effect =
                m.SetProgressionChord(asked.Pitch, asked.AccidentalInput, 0, false, quiet);
            EXPECT_EQ(effect.PlayChord, quiet ? std::nullopt : std::optional<int>(k));
        }
        EXPECT_TRUE(w.base.Answered);
        EXPECT_TRUE(m.LastAnswerRight);
    }
}

TEST(AkkordEntry, DeleteLastNoteTakesBackTheNoteEnteredLastWhileTheQuestionIsOpen)
{
    Window w(Mode::Scales);
    Ask(w);
    AkkordModel& m = w.model;
    for (const int note : {67, 60, 64})
        m.EnterNote(TPitch{static_cast<std::int8_t>(note), 0}, false);
    ASSERT_EQ(EnteredPitches(m), (std::vector<int>{67, 60, 64}));

    m.DeleteLastNote();
    EXPECT_EQ(EnteredPitches(m), (std::vector<int>{67, 60})) << "the last, not the highest";
    m.DeleteLastNote();
    m.DeleteLastNote();
    EXPECT_TRUE(EnteredPitches(m).empty());
    EXPECT_FALSE(w.strip.ButtonEnabled[2]) << "nothing left to play";
    m.DeleteLastNote(); // nothing left: nothing happens

    m.EnterNote(TPitch{62, 0}, false);
    w.base.Answered = true;
    m.DeleteLastNote();
    EXPECT_EQ(EnteredPitches(m), (std::vector<int>{62})) << "an answered question keeps its notes";
}

TEST(AkkordEntry, EnteringTheViewArmsTheAutomaticQuestionOutsideTheTutor)
{
    struct Case
    {
        bool tutor;
        bool autoNewQuestion;
        bool questionPut;
        bool armed;
    };
    const Case cases[] = {
        {false, false, false, true}, // the first question comes by itself
        {false, false, true, false}, {false, true, true, true}, {false, true, false, true},
        {true, false, false, false}, {true, true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "tutor " << c.tutor << " auto " << c.autoNewQuestion
                                        << " question " << c.questionPut);
        Window w(Mode::ChordIdentification);
        w.model.Settings.AutoNewQuestion = c.autoNewQuestion;
        w.model.QuestionNoteCount = c.questionPut ? 3 : 0;
        w.model.MidiHeldCount = 4;
        EXPECT_EQ(w.model.EnterExercise(c.tutor), c.armed);
        EXPECT_EQ(w.model.MidiHeldCount, 0);
    }
}

TEST(AkkordEntry, ThePitchRangeFollowsTheInstrumentsShown)
{
    struct Case
    {
        std::optional<int> guitarTop;
        std::optional<int> pianoTop;
        int lowest;
        int highest;
    };
    const Case cases[] = {
        {std::nullopt, std::nullopt, 36, 95}, // staff or names only
        {88, std::nullopt, 52, 88},
        {96, std::nullopt, 52, 95},
        {std::nullopt, 88, 41, 88},
        {std::nullopt, 112, 41, 95},
        {92, 100, 52, 92},
        {96, 88, 52, 88},
    };
    Window w(Mode::ChordIdentification);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.guitarTop.value_or(0) << " " << c.pianoTop.value_or(0));
        w.model.UpdatePitchRange(c.guitarTop, c.pianoTop);
        EXPECT_EQ(w.model.LowestPitch, c.lowest);
        EXPECT_EQ(w.model.HighestPitch, c.highest);
    }
}

} // namespace
} // namespace pv
