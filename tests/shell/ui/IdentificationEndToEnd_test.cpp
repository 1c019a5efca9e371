// The identification windows in the whole program, answered as a student answers them: notes
// written on the staff with the accidental keys held and named in the result line, the melody
// written on its staff and shown beside the question after checking, and the piano's instrument
// adjuster naming its instrument.
#include "ProgramTestSupport.h"
#include "TestInstallation.h"
#include "exercises/identification/AkkordStaff.h"
#include "exercises/setup/SetupFile.h"
#include "exercises/ui/AkkordStaffBox.h"
#include "exercises/ui/InstrumentViews.h"
#include "exercises/ui/TAkkord.h"
#include "music/sequencer/InstrumentNames.h"
#include "music/staff/Sheet.h"
#include "shell/main/PellivarkMainModel.h"
#include "shell/main/ui/ExerciseWindowSet.h"
#include "shell/ui/PellivarkProgram.h"
#include "shell/ui/TPellivarkMain.h"
#include "support/ExerciseHostFake.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QToolButton>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::Mouse;
using test::RunUntil;
using test::SavePicture;
using test::ScriptedPrompts;
using test::TempDir;

/// The shared installation with a default setup whose chords are written without a key
/// signature, so that a staff position reads its natural note.
class Installation : public test::Installation
{
public:
    Installation() : test::Installation(DefaultSetup()) {}

private:
    static ExerciseSetup DefaultSetup()
    {
        ExerciseSetup setup = DefaultExerciseSetup();
        setup.ChordIdentification.ShowKeySignature = 0;
        return setup;
    }
};

/// One run of the program, shown at a size and through its first show.
class ProgramRun
{
public:
    ProgramRun(const Installation& installation, ScriptedPrompts& prompts, QSize size = {1100, 760})
        : program(ProgramOptions{installation.ProgramFolders(), QString(), &prompts, false,
                                 test::FakeDevicesWithoutSoundFont(),
                                 [this] { splashHidden = true; }})
    {
        prompts.texts = {QStringLiteral("Ann Example")};
        prompts.defaultButton = PromptButton::No; // nothing to store on closing
        program.SetChooseTutor([] { return kNoTutorChosen; });
        program.MainWindow().resize(size);
        program.MainWindow().show();
        started = RunUntil([this] { return !program.Model().FirstShowPending && splashHidden; });
    }

    TPellivarkMain& Window() { return program.MainWindow(); }
    /// Enters the exercise of kind by its tool button.
    TAkkord* Enter(MainControl button, ExerciseKind kind)
    {
        Window().Button(button)->click();
        TAkkord* exercise = program.Exercises().Identification(kind);
        EXPECT_EQ(Window().ShownView(), exercise);
        return exercise;
    }

    bool splashHidden = false;
    PellivarkProgram program;
    bool started = false;
};

void SendKey(QWidget* target, QEvent::Type type, int key)
{
    QKeyEvent event(type, key, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

void Key(QWidget* target, int key)
{
    SendKey(target, QEvent::KeyPress, key);
    SendKey(target, QEvent::KeyRelease, key);
}

/// The y of a natural note's head on the window's staff (drawn alone on a copy of it).
int YOf(const TSheet& sheet, int pitch)
{
    TSheet probe = sheet;
    std::vector<TNoteRec> notes(1);
    notes[0].Pitch = TPitch{static_cast<std::int8_t>(pitch), 0};
    probe.SetInsertPosition(-1);
    probe.Draw(notes, 1);
    return notes[0].Y;
}

/// A question of the exercise, open, with the plain add tool and no playback under way.
void OpenQuestion(TAkkord& exercise)
{
    Key(&exercise, Qt::Key_F5);
    Key(&exercise, Qt::Key_F9); // the user stops the playback: the tonic no longer holds
    ASSERT_FALSE(exercise.Session().Answered);
    exercise.SpeedButton3->click();
    ASSERT_EQ(exercise.Model().EntryTool, kEntryToolAdd);
}

/// The entered notes, as written.
std::vector<TPitch> Entered(const AkkordModel& model)
{
    std::vector<TPitch> pitches;
    for (std::size_t k = 0; k < model.EnteredCount; ++k)
        pitches.push_back(model.EnteredNotes[k].Pitch);
    return pitches;
}

TEST(IdentificationEndToEnd, AccidentalKeysHeldWhileANoteIsPressedOrDraggedWriteTheirSign)
{
    Installation installation;
    ScriptedPrompts prompts;
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    TAkkord* exercise = run.Enter(MainControl::Speed1, ExerciseKind::ChordIdentification);
    ASSERT_NE(exercise, nullptr);
    ASSERT_NO_FATAL_FAILURE(OpenQuestion(*exercise));
    TAkkordStaffBox& box = exercise->StaffBox();
    ASSERT_GT(box.width(), 0);
    const TSheet& sheet = exercise->Sheet();
    ASSERT_FALSE(sheet.ShowKeySignature());
    const int x = sheet.NotesLeft() + 80;

    struct Case
    {
        const char* name;
        int key;
        int pressed; ///< the natural note under the press
        int dragged; ///< 0: let go where pressed
        TPitch written;
    };
    // Shifts: -1 a sharp, +1 a flat, +2 a double flat.
    const Case cases[] = {
        {"V on F", Qt::Key_V, 65, 0, {66, -1}},
        {"X on B", Qt::Key_X, 71, 0, {70, 1}},
        {"Z on E", Qt::Key_Z, 76, 0, {74, 2}},
        {"V on C, dragged to D", Qt::Key_V, 60, 62, {63, -1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // The key goes down before the mouse, and to the window, as the keyboard sends it.
        SendKey(exercise, QEvent::KeyPress, c.key);
        Mouse(box, QEvent::MouseButtonPress, {x, YOf(sheet, c.pressed)});
        if (c.dragged != 0)
            Mouse(box, QEvent::MouseMove, {x, YOf(sheet, c.dragged)});
        Mouse(box, QEvent::MouseButtonRelease, {x, YOf(sheet, c.dragged ? c.dragged : c.pressed)});
        SendKey(exercise, QEvent::KeyRelease, c.key);
        const std::vector<TPitch> entered = Entered(exercise->Model());
        EXPECT_NE(std::find(entered.begin(), entered.end(), c.written), entered.end())
            << "written " << NoteName(c.written).toStdString();
    }
    EXPECT_EQ(exercise->Model().EnteredCount, std::size(cases));

    // With the key let go, a press writes the natural note again.
    Mouse(box, QEvent::MouseButtonPress, {x, YOf(sheet, 67)});
    Mouse(box, QEvent::MouseButtonRelease, {x, YOf(sheet, 67)});
    const std::vector<TPitch> entered = Entered(exercise->Model());
    EXPECT_NE(std::find(entered.begin(), entered.end(), TPitch{67, 0}), entered.end());
}

TEST(IdentificationEndToEnd, NotesWrittenOnTheStaffAreNamedInTheResultLine)
{
    Installation installation;
    ScriptedPrompts prompts;
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    TAkkord* exercise = run.Enter(MainControl::Speed1, ExerciseKind::ChordIdentification);
    ASSERT_NE(exercise, nullptr);
    ASSERT_NO_FATAL_FAILURE(OpenQuestion(*exercise));
    TAkkordStaffBox& box = exercise->StaffBox();
    const TSheet& sheet = exercise->Sheet();
    const int x = sheet.NotesLeft() + 80;
    const UIStringTable& strings = run.program.Strings();
    const QString hint = QStringLiteral("  (") + strings.StrItemSuffix + QStringLiteral(")");

    // Each note is named as it is written; three that make a chord item name it too.
    struct Step
    {
        int pitch;
        const char* names;
    };
    const QString major = exercise->Model().ExerciseItem[1].Name;
    const Step steps[] = {{64, "E   "}, {60, "C   E   "}, {67, "C   E   G   =  "}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.pitch);
        Mouse(box, QEvent::MouseButtonPress, {x, YOf(sheet, step.pitch)});
        Mouse(box, QEvent::MouseButtonRelease, {x, YOf(sheet, step.pitch)});
        QString expected = QString::fromLatin1(step.names);
        if (step.pitch == 67)
            expected += major;
        EXPECT_EQ(exercise->Label2->text(), expected + hint);
    }
    SavePicture(run.Window(), QStringLiteral("shell-staff-notes-named.png"));

    // Taking a note back names what is left.
    exercise->SpeedButton6->click();
    box.Layout();
    const TNoteRec g = exercise->Model().EnteredNotes[2];
    Mouse(box, QEvent::MouseButtonPress, {g.X + 4, g.Y + 3});
    EXPECT_EQ(exercise->Label2->text(), QStringLiteral("C   E   ") + hint);
}

TEST(IdentificationEndToEnd, EachKindAsksItsQuestionInTheResultLineAndNamesItsTools)
{
    Installation installation;
    ScriptedPrompts prompts;
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    struct Case
    {
        MainControl button;
        ExerciseKind kind;
        const char* prompt;
    };
    const Case cases[] = {
        {MainControl::Speed1, ExerciseKind::ChordIdentification, "Which chord do you hear?"},
        {MainControl::Speed2, ExerciseKind::IntervalIdentification, "Which interval do you hear?"},
        {MainControl::SpeedButton6, ExerciseKind::ChordInversions, "Which inversion do you hear?"},
        {MainControl::SpeedButton7, ExerciseKind::Scales, "Which scale do you hear?"},
        {MainControl::SpeedButton8, ExerciseKind::MelodyDictation,
         "Write down the melody you hear."},
        {MainControl::Speed12, ExerciseKind::ChordProgressions, "Which progression do you hear?"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.prompt);
        TAkkord* exercise = run.Enter(c.button, c.kind);
        ASSERT_NE(exercise, nullptr);
        Key(exercise, Qt::Key_F5);
        ASSERT_FALSE(exercise->Session().Answered);
        EXPECT_TRUE(exercise->Label2->text().startsWith(QString::fromLatin1(c.prompt)))
            << exercise->Label2->text().toStdString();
        EXPECT_TRUE(exercise->Label2->isVisible());
        EXPECT_EQ(exercise->SpeedButton3->toolTip(), QStringLiteral("Add notes"));
        EXPECT_EQ(exercise->SpeedButton6->toolTip(), QStringLiteral("Delete notes"));
        EXPECT_EQ(exercise->PlayStyleButtons[0]->toolTip(),
                  QStringLiteral("Play the notes together"));
        EXPECT_EQ(exercise->PlayStyleButtons[2]->toolTip(),
                  QStringLiteral("Play the notes downwards"));
        Key(exercise, Qt::Key_F9);
        if (c.kind == ExerciseKind::ChordIdentification)
            SavePicture(run.Window(), QStringLiteral("shell-chord-question-asked.png"));
    }
}

TEST(IdentificationEndToEnd, AKeyPressedAfterAuditioningAButtonKeepsTheNotesWrittenSince)
{
    Installation installation;
    ScriptedPrompts prompts;
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    TAkkord* exercise = run.Enter(MainControl::Speed2, ExerciseKind::IntervalIdentification);
    ASSERT_NE(exercise, nullptr);
    ASSERT_NO_FATAL_FAILURE(OpenQuestion(*exercise));
    AkkordModel& model = exercise->Model();
    ASSERT_GE(model.ButtonCount, 2);

    // The student listens to another interval than the one asked, by its button...
    int other = 1;
    while (model.ItemOfButton(other) == model.QuestionItem)
        ++other;
    QPushButton* button = exercise->AnswerButtons()[static_cast<std::size_t>(other - 1)].Button;
    ASSERT_TRUE(button->isVisible());
    // A real click first gives a button that takes click focus the focus, as Qt does before
    // the press arrives; a sent press does not.
    button->setFocus(Qt::MouseFocusReason);
    Mouse(*button, QEvent::MouseButtonPress, {10, 10});
    Mouse(*button, QEvent::MouseButtonRelease, {10, 10});
    ASSERT_FALSE(exercise->Session().Answered) << "a left click only auditions";
    ASSERT_EQ(model.EnteredCount, 2);

    // ... takes its upper note back on the staff and checks what is left with F8, sent where
    // the keyboard sends it.
    exercise->SpeedButton6->click();
    TAkkordStaffBox& box = exercise->StaffBox();
    box.Layout();
    const TNoteRec upper = model.EnteredNotes[1];
    Mouse(box, QEvent::MouseButtonPress, {upper.X + 4, upper.Y + 3});
    Mouse(box, QEvent::MouseButtonRelease, {upper.X + 4, upper.Y + 3});
    ASSERT_EQ(model.EnteredCount, 1);
    QWidget* focused = run.Window().focusWidget();
    ASSERT_NE(focused, nullptr);
    Key(focused, Qt::Key_F8);

    ASSERT_TRUE(exercise->Session().Answered);
    EXPECT_EQ(model.EnteredCount, 1) << "the auditioned interval came back";
    EXPECT_EQ(model.AnsweredItem, 0);
    EXPECT_FALSE(model.LastAnswerRight);
    EXPECT_EQ(exercise->Session().QuestionCount, 1);
}

TEST(IdentificationEndToEnd, ARightAnswerShowsTheRightPictureBeforeItsText)
{
    Installation installation;
    ScriptedPrompts prompts;
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    struct Case
    {
        MainControl button;
        ExerciseKind kind;
    };
    const Case cases[] = {
        {MainControl::Speed2, ExerciseKind::IntervalIdentification},
        {MainControl::SpeedButton6, ExerciseKind::ChordInversions},
        {MainControl::SpeedButton7, ExerciseKind::Scales},
        {MainControl::Speed12, ExerciseKind::ChordProgressions},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        TAkkord* exercise = run.Enter(c.button, c.kind);
        ASSERT_NE(exercise, nullptr);
        Key(exercise, Qt::Key_F5);
        Key(exercise, Qt::Key_F9);
        AkkordModel& model = exercise->Model();
        const int right = model.ButtonOfItem(model.QuestionItem);
        ASSERT_GT(right, 0);
        QPushButton* button = exercise->AnswerButtons()[static_cast<std::size_t>(right - 1)].Button;
        Mouse(*button, QEvent::MouseButtonPress, {10, 10}, Qt::RightButton);
        Mouse(*button, QEvent::MouseButtonRelease, {10, 10}, Qt::RightButton);
        ASSERT_TRUE(model.LastAnswerRight);
        EXPECT_TRUE(exercise->Image13->isVisible());
        const QPixmap picture = exercise->Image13->pixmap();
        EXPECT_FALSE(picture.isNull()) << "the room before the text stays empty";
        EXPECT_GE(exercise->Label2->x(), exercise->Image13->geometry().right());
    }
    SavePicture(run.Window(), QStringLiteral("shell-progression-answered-right.png"));
}

TEST(IdentificationEndToEnd, TheChordBarOfProgressionsIsCaptionedBeforeItsButtons)
{
    Installation installation;
    ScriptedPrompts prompts;
    ProgramRun run(installation, prompts, {1600, 1000});
    ASSERT_TRUE(run.started);
    TAkkord* exercise = run.Enter(MainControl::Speed12, ExerciseKind::ChordProgressions);
    ASSERT_NE(exercise, nullptr);
    exercise->SetAnswerInput(kAnswerByName | kAnswerOnPiano);
    Key(exercise, Qt::Key_F5);
    Key(exercise, Qt::Key_F9);
    QCoreApplication::processEvents();
    ASSERT_TRUE(exercise->Panel2->isVisible());
    EXPECT_EQ(exercise->Label1->text(), QStringLiteral("Chords:"));
    ASSERT_TRUE(exercise->Label1->isVisible());
    for (QToolButton* button : exercise->AlterationButtons) {
        if (button->isVisible()) {
            EXPECT_GE(button->x(), exercise->Label1->geometry().right());
            EXPECT_GT(button->width(), 80);
        }
    }
    SavePicture(run.Window(), QStringLiteral("shell-progression-chord-bar.png"));
}

TEST(IdentificationEndToEnd, TheMelodyIsWrittenOnItsStaffAndShownBesideTheAnswerAfterChecking)
{
    Installation installation;
    ScriptedPrompts prompts;
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    TAkkord* melody = run.Enter(MainControl::SpeedButton8, ExerciseKind::MelodyDictation);
    ASSERT_NE(melody, nullptr);
    // The shipped setup locks the answer to the piano; the melody keeps its staff all the same.
    EXPECT_TRUE(melody->Panel55->isVisible());
    EXPECT_TRUE(melody->PaintBox1->isVisible());

    ASSERT_NO_FATAL_FAILURE(OpenQuestion(*melody));
    AkkordModel& model = melody->Model();
    const int count = model.QuestionNoteCount;
    ASSERT_GE(count, 3);
    TAkkordStaffBox& box = melody->StaffBox();
    const TSheet& sheet = melody->Sheet();
    // Written note by note at the end of the line; the third a step too high.
    const auto natural = [](int note) {
        const int pitchClass = note % 12;
        return pitchClass != 1 && pitchClass != 3 && pitchClass != 6 && pitchClass != 8 &&
               pitchClass != 10;
    };
    for (int k = 0; k < count; ++k) {
        const TPitch asked = model.QuestionNotes[static_cast<std::size_t>(k)].Pitch;
        ASSERT_EQ(asked.Shift, 0) << "the shipped melody keeps to C major";
        int pitch = asked.Note;
        if (k == 2) {
            do {
                ++pitch;
            } while (!natural(pitch));
        }
        const QPoint at(box.width() - 30, YOf(sheet, pitch));
        Mouse(box, QEvent::MouseButtonPress, at);
        Mouse(box, QEvent::MouseButtonRelease, at);
    }
    ASSERT_EQ(model.EnteredCount, count);
    Key(melody, Qt::Key_F8);
    ASSERT_TRUE(melody->Session().Answered);
    EXPECT_FALSE(model.LastAnswerRight);

    // The question's notes follow the entered ones, each run under its label.
    const AkkordStaffPicture& picture = box.Layout();
    EXPECT_TRUE(CorrectionShown(model));
    EXPECT_EQ(model.DisplayedNoteCount, 2 * count);
    ASSERT_EQ(picture.Labels.size(), 2U);
    EXPECT_EQ(picture.Labels[0].Rgb, kLabelRed);
    EXPECT_EQ(picture.Labels[1].Rgb, kLabelGreen);
    EXPECT_GT(picture.Labels[1].Frame.left(), picture.Labels[0].Frame.right())
        << "the melody stands beside the answer";
    SavePicture(run.Window(), QStringLiteral("shell-melody-checked.png"));
}

TEST(IdentificationEndToEnd, ThePianosAdjusterNamesItsInstrumentAndStepsThroughTheNames)
{
    Installation installation;
    ScriptedPrompts prompts;
    ProgramRun run(installation, prompts, {1600, 1000});
    ASSERT_TRUE(run.started);
    TAkkord* exercise = run.Enter(MainControl::Speed1, ExerciseKind::ChordIdentification);
    ASSERT_NE(exercise, nullptr);
    SavePicture(run.Window(), QStringLiteral("shell-chord-window.png"));

    exercise->SetAnswerInput(kAnswerByName | kAnswerOnPiano | kAnswerOnStaff);
    QCoreApplication::processEvents();
    TPianoView& piano = exercise->PianoView();
    ASSERT_TRUE(piano.isVisible());
    const int program = run.program.App().ProgramSettings.PianoVoice.Program;
    EXPECT_EQ(piano.AdjusterTexts()[0], InstrumentName(program));
    EXPECT_NE(piano.AdjusterTexts()[0], QString::number(program));

    // The right part of the instrument box steps to the next instrument.
    const PianoAdjusterBox instrument = PianoAdjusters(piano.Octaves())[0];
    const QPoint up((instrument.Text.Right() + instrument.Box.Right()) / 2,
                    instrument.Box.Y + instrument.Box.Height / 2);
    Mouse(piano, QEvent::MouseButtonPress, up);
    Mouse(piano, QEvent::MouseButtonRelease, up);
    EXPECT_EQ(piano.Voice().Program, program + 1);
    EXPECT_EQ(piano.AdjusterTexts()[0], InstrumentName(program + 1));
    SavePicture(run.Window(), QStringLiteral("shell-chord-window-piano.png"));
}

} // namespace
} // namespace pv
