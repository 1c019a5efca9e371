// The identification exercise's melody mode: generated melodies as questions, spelled in their
// key, a setup that holds no melody, and melodies answered with note values.
#include "exercises/identification/AkkordModel.h"
#include "exercises/items/ItemTables.h"
#include "exercises/setup/ExerciseSetup.h"
#include "music/notation/NotationTables.h"
#include "music/notation/Spelling.h"
#include "music/strings/UIStrings.h"
#include "support/ScriptedPrompts.h"
#include "support/ScriptedRandom.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::SeededRandom;

struct Window
{
    explicit Window(std::uint32_t seed = 1)
        : random(seed), model(IdentificationMode::MelodyDictation, base, strip, strings)
    {
        strings.StrMelodyRangeMessage = QStringLiteral("No melody fits");
        strings.StrScore = QStringLiteral("Right");
        strings.StrIdentText6 = QStringLiteral("%d of %d notes right");
        model.SetRandom(random);
        model.SetPrompts(prompts);
    }
    void Setup(const MelodySetup& melody, bool reset = true)
    {
        ExerciseSetup setup = DefaultExerciseSetup();
        setup.Melody = melody;
        model.Setup(setup, BuiltInItemTables(), AkkordSettings{}, reset);
    }
    SeededRandom random;
    test::ScriptedPrompts prompts;
    ExerciseSession base;
    ControlStripModel strip;
    UIStringTable strings;
    AkkordModel model;
};

MelodySetup Melody(int scale, std::initializer_list<int> keys, bool rhythms = true)
{
    MelodySetup m = DefaultExerciseSetup().Melody;
    m.Scale = static_cast<std::uint8_t>(scale);
    m.ToneCount = 9;
    m.LargestLeap = 3;
    m.Ambitus = 5;
    m.LowestNote = 55;
    m.HighestNote = 79;
    m.Rhythms = rhythms ? 1 : 0;
    m.Keys.fill(0);
    for (int k : keys) {
        m.Keys[static_cast<std::size_t>(k + 6)] = 1;
    }
    return m;
}

// The accidental a key signature puts on a letter: -1 sharp, +1 flat, 0 none (the order of
// sharps F C G D A E B, of flats B E A D G C F).
int KeyShiftOfLetter(int keySignature, int letter)
{
    constexpr int kSharps[7] = {3, 0, 4, 1, 5, 2, 6};
    constexpr int kFlats[7] = {6, 2, 5, 1, 4, 0, 3};
    for (int i = 0; i < std::abs(keySignature); ++i) {
        if (keySignature > 0 && kSharps[i] == letter) {
            return -1;
        }
        if (keySignature < 0 && kFlats[i] == letter) {
            return 1;
        }
    }
    return 0;
}

std::string Written(const TNoteRec& note)
{
    return NoteName(note.Pitch).toStdString();
}

TEST(AkkordMelody, EveryMelodyIsSpelledInItsKey)
{
    const std::initializer_list<int> keys = {-6, -4, -2, -1, 0, 2, 3, 5};
    for (int scale = 0; scale <= kMelodyLastScale; ++scale) {
        SCOPED_TRACE(scale);
        Window w(static_cast<std::uint32_t>(100 + scale));
        w.Setup(Melody(scale, keys));
        for (int question = 0; question < 40; ++question) {
            ASSERT_TRUE(w.model.NewQuestion());
            const AkkordModel& m = w.model;
            EXPECT_EQ(m.QuestionNoteCount, 9);
            EXPECT_EQ(m.QuestionItem, 0);
            EXPECT_FALSE(w.base.Answered);
            const int k = m.Sheet.KeySignature;
            for (int n = 0; n < m.QuestionNoteCount; ++n) {
                const TNoteRec& note = m.QuestionNotes[static_cast<std::size_t>(n)];
                SCOPED_TRACE(Written(note) + " in key " + std::to_string(k));
                const std::optional<int> letter = WrittenLetter(note.Pitch);
                ASSERT_TRUE(letter.has_value());
                const int shift = note.Pitch.Shift;
                const int keyShift = KeyShiftOfLetter(k, *letter);
                if (scale == kMelodyChromatic) {
                    EXPECT_TRUE(shift == 0 || shift == -1) << "black keys as sharps";
                } else if (scale == kMelodyWholeTone) {
                    EXPECT_LE(std::abs(shift), 1);
                } else if (scale == 7 || scale == 8) {
                    // The raised sixth and seventh of minor.
                    EXPECT_TRUE(shift == keyShift || shift == keyShift - 1);
                } else {
                    EXPECT_EQ(shift, keyShift);
                }
            }
            if (HasFailure()) {
                return;
            }
        }
    }
}

TEST(AkkordMelody, TheKeyReachesTheStaffAndTheTonicOnlyWhereThereIsOne)
{
    struct Case
    {
        int scale;
        bool minor;
        bool tonic;
    };
    const Case cases[] = {{0, false, true},  {1, false, true},  {5, true, true},
                          {8, true, true},   {9, false, false}, {10, false, false},
                          {13, false, true}, {16, true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scale);
        Window w;
        w.Setup(Melody(c.scale, {-3}));
        ASSERT_TRUE(w.model.NewQuestion());
        EXPECT_EQ(w.model.Sheet.Minor, c.minor);
        EXPECT_EQ(w.model.TonicContext, c.tonic);
        const int expectedKey =
            c.scale == kMelodyWholeTone ? 0 : (c.scale == kMelodyChromatic ? 1 : -3);
        EXPECT_EQ(w.model.Sheet.KeySignature, expectedKey);
        EXPECT_EQ(w.model.Sheet.ShowKeySignature,
                  c.scale != kMelodyWholeTone && c.scale != kMelodyChromatic);
    }
}

TEST(AkkordMelody, NoMelodyInTheRangeShowsTheMessageOnceAndPutsNoQuestion)
{
    Window w;
    MelodySetup melody = Melody(0, {0});
    w.Setup(melody);
    ASSERT_TRUE(w.model.NewQuestion());
    w.model.FourthButtonAction();
    ASSERT_TRUE(w.base.Answered);
    const std::uint32_t asked = w.base.QuestionCount;
    const std::array<TNoteRec, kItemNoteCount> question = w.model.QuestionNotes;

    // Only C lies in 60..61 of C major.
    melody.LowestNote = 60;
    melody.HighestNote = 61;
    w.Setup(melody, false);
    EXPECT_FALSE(w.model.NewQuestion());
    EXPECT_EQ(w.prompts.Count(QStringLiteral("message")), 1);
    EXPECT_EQ(w.prompts.asked.back().text, QStringLiteral("No melody fits"));
    EXPECT_TRUE(w.base.Answered);
    EXPECT_EQ(w.base.QuestionCount, asked);
    EXPECT_EQ(w.model.QuestionNoteCount, 9);
    EXPECT_EQ(w.model.QuestionNotes, question);
    // Checking again scores nothing: there is no open question.
    w.model.FourthButtonAction();
    EXPECT_EQ(w.base.QuestionCount, asked);

    // On the first question of a window nothing is put either, and nothing scores.
    Window first;
    first.Setup(melody);
    EXPECT_FALSE(first.model.NewQuestion());
    EXPECT_EQ(first.prompts.Count(QStringLiteral("message")), 1);
    EXPECT_TRUE(first.base.Answered);
    first.model.FourthButtonAction();
    EXPECT_EQ(first.base.QuestionCount, 0U);
    EXPECT_EQ(first.base.CorrectCount, 0U);
}

// The add tool that enters a note value: the plain tool a quarter, the half-bar tool a half,
// the whole-bar tool a whole note.
std::uint8_t ToolOf(int duration)
{
    return static_cast<std::uint8_t>(4 - duration);
}

TEST(AkkordMelody, AnswersWithNoteValuesScoreNoteByNote)
{
    struct Case
    {
        const char* name;
        bool showFirstTone;
        int wrongPitchAt;    // -1: none
        int wrongValueAt;    // -1: none
        int enterOnly;       // notes entered (after a first tone shown)
        std::uint32_t right; // of the 5 notes (4 with a first tone shown)
        const char* label;
    };
    const Case cases[] = {
        {"all right", false, -1, -1, 5, 5, "Right"},
        {"one wrong note", false, 2, -1, 5, 4, "4 of 5 notes right"},
        {"one wrong value", false, -1, 3, 5, 4, "4 of 5 notes right"},
        {"a wrong note and value on one place", false, 1, 1, 5, 4, "4 of 5 notes right"},
        {"first tone shown, rest right", true, -1, -1, 5, 4, "Right"},
        {"first tone shown, nothing more entered", true, -1, -1, 1, 0, "0 of 4 notes right"},
        {"nothing entered", false, -1, -1, 0, 0, "0 of 5 notes right"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Window w(5);
        MelodySetup melody = Melody(4, {-2});
        melody.ToneCount = 5;
        melody.ShowFirstTone = c.showFirstTone ? 1 : 0;
        melody.TonicReference = 0;
        w.Setup(melody);
        ASSERT_TRUE(w.model.NewQuestion());
        const AkkordModel& m = w.model;
        ASSERT_EQ(m.QuestionNoteCount, 5);
        ASSERT_EQ(m.EnteredCount, c.showFirstTone ? 1 : 0);
        if (c.showFirstTone) {
            EXPECT_EQ(m.EnteredNotes[0].Duration, m.QuestionNotes[0].Duration);
        }
        for (int k = m.EnteredCount; k < c.enterOnly; ++k) {
            TNoteRec note = m.QuestionNotes[static_cast<std::size_t>(k)];
            if (k == c.wrongPitchAt) {
                note.Pitch.Note = static_cast<std::int8_t>(note.Pitch.Note + 1);
            }
            int duration = note.Duration;
            if (k == c.wrongValueAt) {
                duration = duration == 3 ? 2 : 3;
            }
            w.model.EntryTool = ToolOf(duration);
            w.model.EnterNote(note.Pitch, false);
        }
        if (c.wrongValueAt < 0 && c.enterOnly == 5) {
            // The entered notes close their bars where the question's do.
            for (std::size_t k = 0; k < 5; ++k) {
                EXPECT_EQ(m.EnteredNotes[k].Duration, m.QuestionNotes[k].Duration) << k;
                EXPECT_EQ(m.EnteredNotes[k].BarLine, m.QuestionNotes[k].BarLine) << k;
            }
        }
        w.model.FourthButtonAction();
        const std::uint32_t asked = c.showFirstTone ? 4 : 5;
        EXPECT_EQ(w.base.QuestionCount, asked);
        EXPECT_EQ(w.base.CorrectCount, c.right);
        EXPECT_EQ(m.ResultLabel, QString::fromLatin1(c.label));
        EXPECT_EQ(m.LastAnswerRight, c.right == asked);
        // The question follows the answer on the staff.
        EXPECT_EQ(m.DisplayedNoteCount, m.EnteredCount + 5);
    }
}

TEST(AkkordMelody, LongerAddToolsOnlyWhereTheBarHasRoomForThem)
{
    Window w;
    w.Setup(Melody(0, {0}));
    ASSERT_TRUE(w.model.NewQuestion());
    AkkordModel& m = w.model;
    ASSERT_EQ(m.EnteredCount, 0);
    EXPECT_TRUE(m.WholeToolEnabled);
    EXPECT_TRUE(m.HalfToolEnabled);
    struct Step
    {
        std::uint8_t tool;      // the add tool down when the note is entered
        int duration;           // the value it enters
        bool whole, half;       // the tools allowed afterwards
        std::uint8_t toolAfter; // the tool down afterwards
        std::uint8_t barLine;   // after the entered note
    };
    const Step steps[] = {
        {1, 3, false, true, 1, 0},  // a quarter: a half still fits
        {2, 2, false, false, 1, 0}, // three quarters used: the half-bar tool gives way
        {1, 3, true, true, 1, 1},   // the bar is full
        {3, 1, true, true, 3, 1},   // a whole bar
        {2, 2, false, true, 2, 0},  // half a bar
        {2, 2, true, true, 2, 1},   // the second half closes it
    };
    for (const Step& step : steps) {
        const int pitch = 60 + m.EnteredCount;
        SCOPED_TRACE(pitch);
        m.EntryTool = step.tool;
        m.EnterNote(TPitch{static_cast<std::int8_t>(pitch), 0}, false);
        const TNoteRec& last = m.EnteredNotes[static_cast<std::size_t>(m.EnteredCount - 1)];
        EXPECT_EQ(last.Duration, step.duration);
        EXPECT_EQ(last.BarLine, step.barLine);
        EXPECT_EQ(m.WholeToolEnabled, step.whole);
        EXPECT_EQ(m.HalfToolEnabled, step.half);
        EXPECT_EQ(m.EntryTool, step.toolAfter);
    }
    // Taking the last note back gives the room back.
    m.EnterNote(TPitch{65, 0}, true, m.EnteredCount);
    EXPECT_TRUE(m.HalfToolEnabled);
    EXPECT_FALSE(m.WholeToolEnabled);
}

} // namespace
} // namespace pv
