// The identification exercise's answers: by button or by notes, scored once, with the labels
// and button colours the user sees.
#include "exercises/identification/AkkordModel.h"
#include "exercises/items/ItemTables.h"
#include "exercises/setup/ExerciseSetup.h"
#include "music/notation/Guitar.h"
#include "music/strings/UIStrings.h"
#include "support/ScriptedRandom.h"

#include <functional>
#include <vector>

#include <gtest/gtest.h>

namespace pv {
namespace {

using Mode = IdentificationMode;
using Colour = AnswerPanelColour;

struct Window
{
    explicit Window(Mode mode, std::vector<int> script)
        : random(std::move(script)), model(mode, base, strip, strings)
    {
        strings.StrScore = QStringLiteral("Right");
        strings.StrIdentText3 = QStringLiteral("Wrong:");
        strings.StrIdentText4 = QStringLiteral("Right chord, other notes");
        strings.StrIdentText5 = QStringLiteral("spelled otherwise");
        strings.StrIdentText6 = QStringLiteral("%d of %d notes right");
        strings.StrItemSuffix = QStringLiteral("check with F8");
        model.SetRandom(random);
    }
    /// The answers the model scored so far, right or wrong.
    const std::vector<bool>& Feedback()
    {
        if (const ExerciseEffects effects = model.TakeEffects(); effects.Answer)
            feedback.push_back(*effects.Answer);
        return feedback;
    }
    test::ScriptedRandom random;
    ExerciseSession base;
    ControlStripModel strip;
    UIStringTable strings;
    AkkordModel model;
    std::vector<bool> feedback;
};

TPitch P(int note, int shift = 0)
{
    return {static_cast<std::int8_t>(note), static_cast<std::int8_t>(shift)};
}

void Enter(AkkordModel& m, std::initializer_list<TPitch> notes)
{
    for (TPitch p : notes) {
        m.EnterNote(p, false);
    }
}

// A C major triad on middle C is asked; buttons: 1 Major, 2 Minor (the default setup).
struct Case
{
    const char* name;
    std::uint8_t noteIdentification;
    std::function<void(AkkordModel&)> answer;
    std::uint32_t asked;
    std::uint32_t right;
    QString label;
    Colour button1;
    Colour button2;
    bool lastRight;
};

TEST(AkkordAnswer, ScoringTable)
{
    const QString wrongMajor = QStringLiteral("Wrong: C Major");
    const QString rightMajor = QStringLiteral("Right: C Major");
    const QString sameItem = QStringLiteral("Right chord, other notes");
    const Case cases[] = {
        {"button right", 0, [](AkkordModel& m) { m.ShowAnswerItem(1, false); }, 1, 1, rightMajor,
         Colour::Green, Colour::Face, true},
        {"button wrong", 0, [](AkkordModel& m) { m.ShowAnswerItem(2, false); }, 1, 0, wrongMajor,
         Colour::Green, Colour::Red, false},
        {"left click auditions only", 0, [](AkkordModel& m) { m.ShowAnswerItem(2, true); }, 0, 0,
         QStringLiteral("C   Eb   G   =  Minor  (check with F8)"), Colour::Face, Colour::Face,
         false},
        {"notes of an item without a button", 0,
         [](AkkordModel& m) {
             Enter(m, {P(60), P(64), P(68)});
             m.FourthButtonAction();
         },
         1, 0, wrongMajor, Colour::Green, Colour::Face, false},
        {"notes right, absolute", 0,
         [](AkkordModel& m) {
             Enter(m, {P(60), P(64), P(67)});
             m.FourthButtonAction();
         },
         1, 1, rightMajor, Colour::Green, Colour::Face, true},
        {"an octave higher, pitch class", 1,
         [](AkkordModel& m) {
             Enter(m, {P(72), P(76), P(79)});
             m.FourthButtonAction();
         },
         1, 1, rightMajor, Colour::Green, Colour::Face, true},
        {"an octave higher, absolute", 0,
         [](AkkordModel& m) {
             Enter(m, {P(72), P(76), P(79)});
             m.FourthButtonAction();
         },
         1, 0, sameItem, Colour::Green, Colour::Face, false},
        {"a fifth higher, relative", 2,
         [](AkkordModel& m) {
             Enter(m, {P(67), P(71), P(74)});
             m.FourthButtonAction();
         },
         1, 1, rightMajor, Colour::Green, Colour::Face, true},
        {"a fifth higher, absolute", 0,
         [](AkkordModel& m) {
             Enter(m, {P(67), P(71), P(74)});
             m.FourthButtonAction();
         },
         1, 0, sameItem, Colour::Green, Colour::Face, false},
        {"the right notes plus a seventh", 0,
         [](AkkordModel& m) {
             Enter(m, {P(60), P(64), P(67), P(71)});
             m.FourthButtonAction();
         },
         1, 0, wrongMajor, Colour::Green, Colour::Face, false},
        {"right notes spelled otherwise", 0,
         [](AkkordModel& m) {
             Enter(m, {P(60), P(64, -1), P(67)}); // D## for E
             m.FourthButtonAction();
         },
         1, 1, rightMajor + QStringLiteral("  (spelled otherwise)"), Colour::Green, Colour::Face,
         true},
        {"a second answer counts nothing", 0,
         [](AkkordModel& m) {
             m.ShowAnswerItem(1, false);
             m.ShowAnswerItem(2, false);
             Enter(m, {P(60), P(63), P(67)});
             m.FourthButtonAction();
             m.CheckAnswer(2, -1);
         },
         1, 1, rightMajor, Colour::Green, Colour::Face, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Window w(Mode::ChordIdentification, {7, 0, 0});
        AkkordSettings settings;
        settings.NoteIdentification = c.noteIdentification;
        w.model.Setup(DefaultExerciseSetup(), BuiltInItemTables(), settings, true);
        w.model.SetAnswerInput(kAnswerByName | kAnswerOnStaff);
        ASSERT_TRUE(w.model.NewQuestion());
        ASSERT_EQ(w.model.QuestionItem, 1);
        ASSERT_EQ(w.model.QuestionRoot, 60);
        c.answer(w.model);
        EXPECT_EQ(w.base.QuestionCount, c.asked);
        EXPECT_EQ(w.base.CorrectCount, c.right);
        EXPECT_EQ(w.base.Items[1].Asked, c.asked);
        EXPECT_EQ(w.base.Items[1].Right, c.right);
        EXPECT_EQ(w.base.Items[2].Asked, 0);
        EXPECT_EQ(w.model.ResultLabel, c.label);
        EXPECT_EQ(w.model.ButtonColour[1], c.button1);
        EXPECT_EQ(w.model.ButtonColour[2], c.button2);
        EXPECT_EQ(w.model.LastAnswerRight, c.lastRight);
        EXPECT_EQ(w.base.Answered, c.asked > 0);
        EXPECT_EQ(w.Feedback().size(), c.asked);
        if (c.asked > 0) {
            EXPECT_TRUE(w.model.BlinkRunning);
            EXPECT_FALSE(w.strip.ButtonEnabled[3]);
            // "Play the answer" works after a wrong answer.
            EXPECT_TRUE(w.strip.ButtonEnabled[2] || c.lastRight);
        }
    }
}

TEST(AkkordAnswer, AutoAnswerScoresTheRightItemOnAClickButOnlyAuditionsAWrongOne)
{
    ExerciseSetup setup = DefaultExerciseSetup();
    OptionBlockOfKind(setup, ExerciseKind::ChordIdentification)->AutoAnswer = 1;
    Window w(Mode::ChordIdentification, {7, 0, 0});
    w.model.Setup(setup, BuiltInItemTables(), AkkordSettings{}, true);
    ASSERT_TRUE(w.model.NewQuestion());
    EXPECT_TRUE(w.model.ShowAnswerItem(2, true));
    EXPECT_EQ(w.base.QuestionCount, 0u);
    EXPECT_TRUE(w.model.ShowAnswerItem(1, true));
    EXPECT_EQ(w.base.QuestionCount, 1u);
    EXPECT_EQ(w.base.CorrectCount, 1u);
}

TEST(AkkordAnswer, BlinkEndsInTheNormalColourAfterFourChanges)
{
    Window w(Mode::ChordIdentification, {7, 0, 0});
    w.model.Setup(DefaultExerciseSetup(), BuiltInItemTables(), AkkordSettings{}, true);
    ASSERT_TRUE(w.model.NewQuestion());
    w.model.ShowAnswerItem(2, false);
    std::vector<Colour> seen;
    for (int tick = 0; tick < 5; ++tick) {
        w.model.BlinkTick();
        seen.push_back(w.model.ButtonColour[1]);
    }
    EXPECT_EQ(seen, (std::vector<Colour>{Colour::Face, Colour::Green, Colour::Face, Colour::Face,
                                         Colour::Face}));
    EXPECT_FALSE(w.model.BlinkRunning);
    EXPECT_EQ(w.model.ButtonColour[2], Colour::Red);
}

TEST(AkkordAnswer, EnteringRefusesRepeatsBeyondTheModesLimitAndAThirteenthNote)
{
    Window chord(Mode::ChordIdentification, {7, 0, 0});
    chord.model.Setup(DefaultExerciseSetup(), BuiltInItemTables(), AkkordSettings{}, true);
    ASSERT_TRUE(chord.model.NewQuestion());
    Enter(chord.model, {P(64), P(60), P(64)});
    EXPECT_EQ(chord.model.EnteredCount, 2);
    EXPECT_EQ(chord.model.EnteredNotes[0].Pitch.Note, 60); // sorted in by pitch

    Window interval(Mode::IntervalIdentification, {7, 0, 0});
    interval.model.Setup(DefaultExerciseSetup(), BuiltInItemTables(), AkkordSettings{}, true);
    ASSERT_TRUE(interval.model.NewQuestion());
    Enter(interval.model, {P(50), P(50), P(50)});
    EXPECT_EQ(interval.model.EnteredCount, 2);

    Window scale(Mode::Scales, {7, 0, 0});
    scale.model.Setup(DefaultExerciseSetup(), BuiltInItemTables(), AkkordSettings{}, true);
    ASSERT_TRUE(scale.model.NewQuestion());
    for (int k = 0; k < 13; ++k) {
        scale.model.EnterNote(P(72 - k), false);
    }
    EXPECT_EQ(scale.model.EnteredCount, 12);
    EXPECT_EQ(scale.model.EnteredNotes[0].Pitch.Note, 72); // scales keep the entered order
}

// After a removal the remaining notes close up towards the high strings where each still
// sounds on its new string and no two notes share one.
TEST(AkkordAnswer, RemovingANoteMovesTheOthersOneStringUpWhereTheyFit)
{
    struct RemovalCase
    {
        const char* name;
        std::vector<int> notes;
        std::vector<int> strings;
        int removed;
        int displayOffset;
        std::vector<int> expected;
    };
    const RemovalCase cases[] = {
        {"both move up", {64, 67, 72}, {5, 4, 3}, 67, 0, {4, 2}},
        {"open note above the pitch", {64, 67, 72}, {4, 3, 2}, 72, 0, {4, 3}},
        {"next note holds the target", {62, 64, 80}, {5, 4, 1}, 80, 0, {5, 4}},
        {"measured without the display offset", {64, 67, 72}, {5, 4, 3}, 67, 12, {5, 3}},
        {"the top string stays", {67, 76}, {3, 1}, 67, 0, {1}},
    };
    for (const RemovalCase& c : cases) {
        SCOPED_TRACE(c.name);
        Window w(Mode::ChordIdentification, {7, 0, 0});
        w.model.Setup(DefaultExerciseSetup(), BuiltInItemTables(), AkkordSettings{}, true);
        ASSERT_TRUE(w.model.NewQuestion());
        for (int note : c.notes) {
            w.model.EnterNote(P(note), false);
        }
        ASSERT_EQ(w.model.EnteredCount, c.notes.size());
        for (std::size_t k = 0; k < c.strings.size(); ++k) {
            w.model.EnteredNotes[k].GuitarString =
                static_cast<std::uint8_t>(kAssignedStringFlag + c.strings[k]);
        }
        w.model.DisplayOffset = c.displayOffset;
        w.model.EnterNote(P(c.removed), true);
        ASSERT_EQ(w.model.EnteredCount, c.expected.size());
        for (std::size_t k = 0; k < c.expected.size(); ++k) {
            EXPECT_EQ(w.model.EnteredNotes[k].GuitarString, kAssignedStringFlag + c.expected[k])
                << k;
        }
    }
}

// The hint to check the answer is added only while the question is open and only where the
// result label still has room for it; the entered notes themselves are never cut.
TEST(AkkordAnswer, EnteredNotesHintOnlyWhenOpenAndItFits)
{
    struct HintCase
    {
        const char* name;
        int labelWidth; ///< in characters; -1 leaves the measure unset
        bool answered;
        bool hinted;
    };
    const HintCase cases[] = {
        {"no measure", -1, false, true},
        {"room enough", 200, false, true},
        {"too narrow", 20, false, false},
        {"answered", 200, true, false},
    };
    for (const HintCase& c : cases) {
        SCOPED_TRACE(c.name);
        Window w(Mode::ChordIdentification, {7, 0, 0});
        w.model.Setup(DefaultExerciseSetup(), BuiltInItemTables(), AkkordSettings{}, true);
        ASSERT_TRUE(w.model.NewQuestion());
        std::vector<QString> measured;
        if (c.labelWidth >= 0) {
            w.model.ResultLabelFits = [&measured, &c](const QString& text) {
                measured.push_back(text);
                return text.size() <= c.labelWidth;
            };
        }
        Enter(w.model, {P(60), P(64)});
        w.base.Answered = c.answered;
        measured.clear(); // each note entered named the notes in the label already
        const QString text = w.model.EnteredNotesText();
        EXPECT_TRUE(text.startsWith(QStringLiteral("C   E   "))) << text.toStdString();
        EXPECT_EQ(text.contains(QStringLiteral("(check with F8)")), c.hinted) << text.toStdString();
        if (c.labelWidth >= 0 && !c.answered) {
            ASSERT_EQ(measured.size(), 1U);
            EXPECT_TRUE(measured[0].endsWith(QStringLiteral("  (check with F8)")));
        }
    }
}

// Melodies are scored note by note; a first tone that was shown counts neither way, and a
// first tone that was missed never takes a point away.
TEST(AkkordAnswer, MelodyIsScoredByNotesWithoutTheShownFirstTone)
{
    struct MelodyCase
    {
        const char* name;
        std::vector<int> entered;
        std::uint32_t asked;
        std::uint32_t right;
        QString label;
    };
    const MelodyCase cases[] = {
        {"all right", {60, 62, 64, 65}, 3, 3, QStringLiteral("Right")},
        {"two of the three after the first",
         {60, 62, 63, 65},
         3,
         2,
         QStringLiteral("2 of 3 notes right")},
        {"nothing right, first tone missed",
         {61, 63, 66, 68},
         3,
         0,
         QStringLiteral("0 of 3 notes right")},
    };
    for (const MelodyCase& c : cases) {
        SCOPED_TRACE(c.name);
        Window w(Mode::MelodyDictation, {0});
        ExerciseSetup setup = DefaultExerciseSetup();
        setup.Melody.ShowFirstTone = 1;
        w.model.Setup(setup, BuiltInItemTables(), AkkordSettings{}, true);
        // A melody as its generator would put it.
        const int melody[] = {60, 62, 64, 65};
        for (std::size_t k = 0; k < 4; ++k) {
            w.model.QuestionNotes[k].Pitch = P(melody[k]);
        }
        w.model.QuestionNoteCount = 4;
        w.base.Answered = false;
        for (int note : c.entered) {
            w.model.EnterNote(P(note), false);
        }
        w.model.FourthButtonAction();
        EXPECT_EQ(w.base.QuestionCount, c.asked);
        EXPECT_EQ(w.base.CorrectCount, c.right);
        EXPECT_EQ(w.model.ResultLabel, c.label);
        EXPECT_FALSE(w.model.BlinkRunning);
    }
}

} // namespace
} // namespace pv
