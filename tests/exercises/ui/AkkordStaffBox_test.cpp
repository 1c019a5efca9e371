// The identification window's staff box: notes entered by simulated mouse presses and drags at
// computed points through a real window, and pictures of what the staff shows.
#include "exercises/base/ExerciseHost.h"
#include "exercises/items/ItemTables.h"
#include "exercises/setup/ExerciseSetup.h"
#include "exercises/ui/AkkordStaffBox.h"
#include "exercises/ui/TAkkord.h"
#include "music/staff/Sheet.h"
#include "music/strings/UIStrings.h"
#include "support/ExerciseHostFake.h"
#include "support/ScriptedPrompts.h"
#include "support/SequencerFakes.h"
#include "support/TestOutput.h"

#include <algorithm>
#include <vector>

#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolButton>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::Mouse;

void Key(QWidget& widget, QEvent::Type type, int key)
{
    QKeyEvent event(type, key, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &event);
}

/// The y of a pitch's head on a sheet (drawn alone on a copy of it).
int YOf(const TSheet& sheet, int pitch)
{
    TSheet probe = sheet;
    std::vector<TNoteRec> notes(1);
    notes[0].Pitch = TPitch{static_cast<std::int8_t>(pitch), 0};
    probe.SetInsertPosition(-1);
    probe.Draw(notes, 1);
    return notes[0].Y;
}

void Save(QWidget& widget, const char* name)
{
    const QImage image = widget.grab().toImage();
    EXPECT_FALSE(image.isNull());
    EXPECT_TRUE(image.save(test::TestOutputDir() + QString::fromLatin1(name)));
}

/// An identification window with the staff shown, a question open in C and nothing entered.
struct WindowRig
{
    explicit WindowRig(IdentificationMode mode) : window(mode, session, &host, strings)
    {
        strings.StrIdentText7 = QStringLiteral("Your melody");
        strings.StrIdentText8 = QStringLiteral("The melody");
        EXPECT_TRUE(midiOut.ChangeDevice(1));
        window.SetMidiOut(midiOut);
        window.Setup(DefaultExerciseSetup(), BuiltInItemTables(), AkkordSettings{}, true);
        window.SetAnswerInput(kAnswerByName | kAnswerOnStaff);
        window.resize(900, 700);
        // Hidden widgets take their sizes when first drawn: lay the window out now.
        window.grab();
    }

    AkkordModel& Model() { return window.Model(); }
    TAkkordStaffBox& Box() { return window.StaffBox(); }

    void OpenQuestionInC()
    {
        AkkordModel& m = Model();
        if (m.Mode == IdentificationMode::MelodyDictation) {
            m.QuestionNoteCount = 5;
            const int melody[] = {67, 64, 65, 62, 60};
            for (std::size_t k = 0; k < 5; ++k)
                m.QuestionNotes[k].Pitch = {static_cast<std::int8_t>(melody[k]), 0};
            m.Session().Answered = false;
        } else {
            ASSERT_TRUE(m.NewQuestion());
        }
        m.ClearEnteredNotes();
        m.DisplayOffset = 0;
        m.TonicContext = false;
        m.ExternalHold = false;
        m.PlayToneOnClick = true;
        m.Sheet.KeySignature = 0;
        m.Sheet.ShowKeySignature = false;
        window.Sheet().SetKeySignature(0);
        window.Sheet().SetShowKeySignature(false);
        Box().Layout();
    }

    test::FakeClock clock;
    test::FakeDevices devices{clock};
    Sequencer sequencer{clock, Sequencer::Drive::Manual};
    test::ScriptedPrompts prompts;
    UIStringTable strings;
    TMidiOut midiOut{devices, sequencer, prompts, strings};
    test::FakeExerciseHost host;
    ExerciseSession session;
    TAkkord window;
};

TEST(TAkkordStaff, NotesPressedDraggedAndReleasedOnTheStaffAreEntered)
{
    WindowRig rig(IdentificationMode::ChordIdentification);
    rig.OpenQuestionInC();
    AkkordModel& model = rig.Model();
    rig.window.SpeedButton3->click();
    ASSERT_EQ(model.EntryTool, kEntryToolAdd);
    TAkkordStaffBox& box = rig.Box();
    ASSERT_GT(box.width(), 0);
    EXPECT_EQ(box.cursor().shape(), Qt::CrossCursor);
    const TSheet& sheet = rig.window.Sheet();
    const int x = sheet.NotesLeft() + 80;

    // E held, dragged up to G, let go: G is entered and the cursor comes back.
    Mouse(box, QEvent::MouseButtonPress, {x, YOf(sheet, 64)});
    EXPECT_EQ(model.HeldNote.Pitch.Note, 64);
    EXPECT_EQ(box.cursor().shape(), Qt::BlankCursor) << "the cursor hides while a note is held";
    Mouse(box, QEvent::MouseMove, {x, YOf(sheet, 67)});
    EXPECT_EQ(model.HeldNote.Pitch.Note, 67);
    EXPECT_EQ(model.EnteredCount, 0);
    Mouse(box, QEvent::MouseButtonRelease, {x, YOf(sheet, 67)});
    ASSERT_EQ(model.EnteredCount, 1);
    EXPECT_EQ(model.EnteredNotes[0].Pitch.Note, 67);
    EXPECT_EQ(box.cursor().shape(), Qt::CrossCursor);

    // F held with V down on the keyboard: F sharp; Insert enters it without a release.
    Mouse(box, QEvent::MouseButtonPress, {x, YOf(sheet, 65)});
    Key(rig.window, QEvent::KeyPress, Qt::Key_V);
    EXPECT_EQ(model.HeldNote.Pitch, (TPitch{66, -1}));
    Key(rig.window, QEvent::KeyRelease, Qt::Key_V);
    Key(rig.window, QEvent::KeyPress, Qt::Key_Insert);
    ASSERT_EQ(model.EnteredCount, 2);
    EXPECT_EQ(model.EnteredNotes[0].Pitch, (TPitch{66, -1}));
    Mouse(box, QEvent::MouseButtonRelease, {x, YOf(sheet, 65)});
    EXPECT_EQ(model.EnteredCount, 2) << "the release after Insert enters nothing more";
    EXPECT_EQ(box.cursor().shape(), Qt::CrossCursor);

    // A right click takes the delete tool; a click on G's head removes it.
    Mouse(box, QEvent::MouseButtonPress, {x, 20}, Qt::RightButton);
    EXPECT_EQ(model.EntryTool, kEntryToolDelete);
    EXPECT_TRUE(rig.window.SpeedButton6->isChecked());
    EXPECT_EQ(box.cursor().shape(), Qt::ForbiddenCursor);
    box.Layout();
    const TNoteRec g = model.EnteredNotes[1];
    Mouse(box, QEvent::MouseButtonPress, {g.X + 4, g.Y + 3});
    ASSERT_EQ(model.EnteredCount, 1);
    EXPECT_EQ(model.EnteredNotes[0].Pitch.Note, 66);
}

TEST(TAkkordStaff, ARightClickPassesOverANoteValueTheBarHasNoRoomFor)
{
    WindowRig rig(IdentificationMode::MelodyDictation);
    ExerciseSetup setup = DefaultExerciseSetup();
    setup.Melody.Rhythms = 1; // the melody is written with note values
    rig.window.Setup(setup, BuiltInItemTables(), AkkordSettings{}, true);
    rig.OpenQuestionInC();
    AkkordModel& model = rig.Model();
    ASSERT_TRUE(model.ExtraEntryButtons);
    TAkkordStaffBox& box = rig.Box();
    const TSheet& sheet = rig.window.Sheet();
    const int x = box.width() - 30;

    // A quarter note: the half-bar tool still fits the bar, the whole-bar one no longer does.
    rig.window.SpeedButton3->click();
    Mouse(box, QEvent::MouseButtonPress, {x, YOf(sheet, 67)});
    Mouse(box, QEvent::MouseButtonRelease, {x, YOf(sheet, 67)});
    ASSERT_EQ(model.EnteredCount, 1);
    ASSERT_FALSE(rig.window.SpeedButton4->isEnabled());
    ASSERT_TRUE(rig.window.SpeedButton2->isEnabled());

    rig.window.SpeedButton6->click();
    Mouse(box, QEvent::MouseButtonPress, {x, 20}, Qt::RightButton);
    Mouse(box, QEvent::MouseButtonRelease, {x, 20}, Qt::RightButton);
    EXPECT_NE(model.EntryTool, 3) << "the whole-bar tool has no room in the bar";
    EXPECT_FALSE(rig.window.SpeedButton4->isChecked());
}

TEST(TAkkordStaff, AProgressionColumnClickSelectsItsChordAndTheDeleteToolRemovesIt)
{
    WindowRig rig(IdentificationMode::ChordProgressions);
    rig.OpenQuestionInC();
    AkkordModel& model = rig.Model();
    const int chords = model.QuestionNoteCount;
    ASSERT_GE(chords, 2);
    for (int j = 0; j < chords; ++j)
        model.EnteredNotes[static_cast<std::size_t>(j)] =
            model.QuestionNotes[static_cast<std::size_t>(j)];
    model.EnteredCount = static_cast<std::uint8_t>(chords);
    std::vector<InstrumentEntry> entries;
    QObject::connect(&rig.window, &TAkkord::ProgressionChordEntry,
                     [&](const InstrumentEntry& entry) { entries.push_back(entry); });
    const AkkordStaffPicture& picture = rig.Box().Layout();
    ASSERT_EQ(static_cast<int>(picture.Columns.size()), chords);
    const ChordColumn last = picture.Columns.back();

    model.EntryTool = kEntryToolAdd;
    Mouse(rig.Box(), QEvent::MouseButtonPress, {last.X, 30});
    EXPECT_EQ(model.ChordCursor, chords - 1);
    EXPECT_TRUE(entries.empty());

    model.EntryTool = kEntryToolDelete;
    const TPitch firstRoot = model.EnteredNotes[0].Pitch;
    const int withFirstRoot = static_cast<int>(
        std::count_if(model.EnteredNotes.begin(), model.EnteredNotes.begin() + chords,
                      [&](const TNoteRec& note) { return note.Pitch == firstRoot; }));
    Mouse(rig.Box(), QEvent::MouseButtonPress, {picture.Columns.front().X, 30});
    EXPECT_EQ(model.ChordCursor, 0);
    ASSERT_EQ(entries.size(), 1U);
    EXPECT_EQ(entries[0].Action, InstrumentEntry::Kind::RemoveChord);
    EXPECT_EQ(entries[0].Pitch, firstRoot);
    // The click goes on to take one chord on that root out of the answer.
    EXPECT_EQ(std::count_if(model.EnteredNotes.begin(), model.EnteredNotes.begin() + chords,
                            [&](const TNoteRec& note) { return note.Pitch == firstRoot; }),
              withFirstRoot - 1);
}

TEST(StaffPictures, WrongAnswerProgressionGridAndMelodyEntry)
{
    // A chord answered a semitone too high: red label under the answer, green under the question.
    {
        WindowRig rig(IdentificationMode::ChordIdentification);
        rig.OpenQuestionInC();
        AkkordModel& model = rig.Model();
        // The question's chord with its third a semitone lower, written as a flat.
        for (std::size_t k = 0; k < model.QuestionNoteCount; ++k) {
            TPitch pitch = model.QuestionNotes[k].Pitch;
            if (k == 1) {
                pitch.Note = static_cast<std::int8_t>(pitch.Note - 1);
                pitch.Shift = static_cast<std::int8_t>(pitch.Shift + 1);
            }
            model.EnterNote(pitch, false);
        }
        rig.window.FourthButtonAction();
        ASSERT_FALSE(model.LastAnswerRight);
        Save(rig.Box(), "staff_wrong_answer.png");
    }
    // A progression answered with its last chord wrong, as a grid in a low box and on the staff.
    {
        WindowRig rig(IdentificationMode::ChordProgressions);
        rig.OpenQuestionInC();
        AkkordModel& model = rig.Model();
        const int chords = model.QuestionNoteCount;
        for (int j = 0; j < chords; ++j)
            model.EnteredNotes[static_cast<std::size_t>(j)] =
                model.QuestionNotes[static_cast<std::size_t>(j)];
        // The last chord's quality wrong: minor for major, major for anything else.
        TNoteRec& last = model.EnteredNotes[static_cast<std::size_t>(chords - 1)];
        last.AccidentalInput = last.AccidentalInput == 0 ? 1 : 0;
        model.EnteredCount = static_cast<std::uint8_t>(chords);
        rig.window.FourthButtonAction();
        TAkkordStaffBox& box = rig.Box();
        box.resize(640, 110);
        rig.window.Sheet().SetControlSize(640, 110);
        rig.window.Sheet().ArrangeStaves(0, true);
        EXPECT_TRUE(box.Layout().Compact);
        Save(box, "staff_progression_grid.png");
        box.resize(800, 230);
        rig.window.Sheet().SetControlSize(800, 230);
        rig.window.Sheet().ArrangeStaves(model.QuestionHighest, true);
        EXPECT_FALSE(box.Layout().Compact);
        Save(box, "staff_progression_voiced.png");
    }
    // A melody being entered: three notes in, the fourth held between the second and third.
    {
        WindowRig rig(IdentificationMode::MelodyDictation);
        rig.OpenQuestionInC();
        AkkordModel& model = rig.Model();
        rig.window.SpeedButton3->click();
        for (const int p : {67, 64, 62})
            model.EnterNote({static_cast<std::int8_t>(p), 0}, false);
        TAkkordStaffBox& box = rig.Box();
        box.Layout();
        const int x = (model.EnteredNotes[1].X + model.EnteredNotes[2].X) / 2;
        Mouse(box, QEvent::MouseButtonPress, {x, YOf(rig.window.Sheet(), 65)});
        EXPECT_EQ(model.HeldNote.Pitch.Note, 65);
        Save(box, "staff_melody_entry.png");
        Mouse(box, QEvent::MouseButtonRelease, {x, YOf(rig.window.Sheet(), 65)});
        ASSERT_EQ(model.EnteredCount, 4);
        EXPECT_EQ(model.EnteredNotes[2].Pitch.Note, 65);
    }
}

} // namespace
} // namespace pv
