// The chord setup page in the whole program over temporary folders: two chords ticked, a chord
// of the user's own written on the staff and played on a MIDI keyboard in the item editor,
// the exercise asking only the ticked chords, and the next start asking the user's chord.
#include "ProgramTestSupport.h"
#include "TestInstallation.h"
#include "exercises/items/UserItemTables.h"
#include "exercises/setup/SetupFile.h"
#include "exercises/ui/TAkkord.h"
#include "exercises/ui/TChordEdit.h"
#include "exercises/ui/TChordOps.h"
#include "music/data/DataFiles.h"
#include "music/ui/TRangeBox.h"
#include "shell/main/PellivarkMainModel.h"
#include "shell/main/ui/ExerciseWindowSet.h"
#include "shell/ui/PellivarkProgram.h"
#include "shell/ui/TPellivarkMain.h"
#include "support/DataFolderCopy.h"
#include "support/ExerciseHostFake.h"
#include "support/MidiInFakes.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"

#include <set>

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::Mouse;
using test::RunUntil;
using test::SavePicture;
using test::ScriptedPrompts;
using test::TempDir;

using test::Installation;

/// One run of the program with a MIDI keyboard plugged in and the editors run by the test.
class ProgramRun
{
public:
    ProgramRun(const Installation& installation, ScriptedPrompts& prompts,
               test::FakeMidiInDevices& keyboard, DialogRunner runDialog)
        : program(ProgramOptions{installation.ProgramFolders(),
                                 QString(),
                                 &prompts,
                                 false,
                                 test::FakeDevicesWithoutSoundFont(),
                                 [this] { splashHidden = true; },
                                 &keyboard,
                                 {},
                                 std::move(runDialog)})
    {
        program.SetChooseTutor([] { return kNoTutorChosen; });
        program.MainWindow().resize(1100, 800);
        program.MainWindow().show();
        started = RunUntil([this] { return !program.Model().FirstShowPending && splashHidden; });
    }

    TPellivarkMain& Window() { return program.MainWindow(); }
    TChordOps& Page() { return *program.ChordOps(); }
    TAkkord* Chords()
    {
        return program.Exercises().Identification(ExerciseKind::ChordIdentification);
    }

    /// Clicks a cell of the page's grid (normal view) with the left button.
    void ClickCell(int item, int column)
    {
        QTableView& grid = *Page().DrawGrid1;
        const QModelIndex index = grid.model()->index(item - 1, column);
        grid.scrollTo(index);
        QCoreApplication::processEvents();
        const QPoint at = grid.visualRect(index).center();
        Mouse(*grid.viewport(), QEvent::MouseButtonPress, at);
        Mouse(*grid.viewport(), QEvent::MouseButtonRelease, at);
    }

    /// The items the exercise asks in a few questions, answered right each time; roots, when
    /// given, receives each question's root.
    std::set<int> AskedItems(int questions, std::vector<int>* roots = nullptr)
    {
        std::set<int> asked;
        TAkkord* exercise = Chords();
        for (int q = 0; q < questions; ++q) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_F5, Qt::NoModifier);
            QCoreApplication::sendEvent(exercise, &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_F5, Qt::NoModifier);
            QCoreApplication::sendEvent(exercise, &release);
            const AkkordModel& model = exercise->Model();
            if (model.QuestionItem == 0)
                break;
            asked.insert(model.QuestionItem);
            if (roots != nullptr)
                roots->push_back(model.QuestionRoot);
            QPushButton* button = exercise
                                      ->AnswerButtons()[static_cast<std::size_t>(
                                          model.ButtonOfItem(model.QuestionItem) - 1)]
                                      .Button;
            const QPointF at(button->width() / 2.0, button->height() / 2.0);
            QMouseEvent down(QEvent::MouseButtonPress, at, button->mapToGlobal(at), Qt::RightButton,
                             Qt::RightButton, Qt::NoModifier);
            QCoreApplication::sendEvent(button, &down);
            QMouseEvent up(QEvent::MouseButtonRelease, at, button->mapToGlobal(at), Qt::RightButton,
                           Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(button, &up);
        }
        return asked;
    }

    bool Close()
    {
        Window().close();
        QCoreApplication::processEvents();
        return !Window().isVisible();
    }

    bool splashHidden = false;
    PellivarkProgram program;
    bool started = false;
};

/// The y of a natural note's head on the editor's staff.
int HeadY(TChordEdit& editor, int note)
{
    TSheet probe = editor.Model().Sheet();
    std::vector<TNoteRec> notes(1);
    notes[0].Pitch = TPitch{static_cast<std::int8_t>(note), 0};
    probe.Draw(notes, 1);
    return notes[0].Y;
}

TEST(ChordSetupEndToEnd, TickedChordsAndAChordOfTheUsersOwnAreAskedAndKept)
{
    Installation installation;
    test::FakeMidiInDevices keyboard;
    keyboard.ports = std::vector<MidiInPortInfo>{{0, QStringLiteral("Keyboard")}};
    const QString savedSetup = installation.DataFile(QStringLiteral("My chords.qib"));
    constexpr int kOwnChord = 32; // slots 28..31 hold the built-in block's extra chords

    {
        ScriptedPrompts prompts;
        prompts.texts = {QStringLiteral("Ann Example"), savedSetup};
        int editorRuns = 0;
        ProgramRun* current = nullptr;
        ProgramRun run(installation, prompts, keyboard, [&](QDialog& dialog) {
            auto* editor = qobject_cast<TChordEdit*>(&dialog);
            if (editor == nullptr)
                return int(QDialog::Rejected);
            ++editorRuns;
            editor->show();
            QCoreApplication::processEvents();
            // D and F written on the staff with the mouse...
            TChordEditPicture& staff = *editor->PaintBox1;
            for (int note : {62, 65}) {
                const QPoint at(staff.width() / 2, HeadY(*editor, note));
                Mouse(staff, QEvent::MouseButtonPress, at);
                Mouse(staff, QEvent::MouseButtonRelease, at);
            }
            // ...and A played on the keyboard, with a key too low for the editor.
            for (const std::vector<std::uint8_t>& bytes : {std::vector<std::uint8_t>{0x90, 69, 100},
                                                           {0x80, 69, 0},
                                                           {0x90, 30, 100},
                                                           {0x80, 30, 0}}) {
                keyboard.Play(bytes);
                current->program.MidiIn().DeliverPosted();
                QCoreApplication::processEvents();
            }
            editor->Edit1->setText(QStringLiteral("D minor of mine"));
            SavePicture(*editor, QStringLiteral("endtoend-item-editor.png"));
            editor->BitBtn1->click();
            return dialog.result();
        });
        current = &run;
        ASSERT_TRUE(run.started);
        TSettingsRec& settings = run.program.App().ProgramSettings;
        settings.MidiInputOn = true;
        settings.MidiInDevice = QStringLiteral("Keyboard");
        settings.KindPairs[1][1] = 8; // notes are entered on the staff

        // The exercise, then its setup view: the page of the item exercises.
        run.Window().Button(MainControl::Speed1)->click();
        run.Window().Button(MainControl::RunKonfig)->click();
        ASSERT_EQ(run.Window().ShownView(), &run.Page());
        run.Page().SpeedButton2->click(); // deselect all
        run.ClickCell(1, 1);              // Major
        run.ClickCell(9, 1);              // maj7
        run.Page().SpeedButton4->click(); // a new chord in the first empty slot
        EXPECT_EQ(editorRuns, 1);
        EXPECT_EQ(run.program.MidiIn().Target(), 0) << "MIDI input left the editor with it";
        const ChordOpsModel& page = run.Page().Model();
        ASSERT_EQ(page.NoteCount(kOwnChord), 3);
        std::vector<int> notes;
        for (const ItemNote& n : page.ItemNotes(kOwnChord))
            notes.push_back(n.Note);
        EXPECT_EQ(notes, (std::vector<int>{62, 65, 69}));
        // The range dragged on the staff picture: the low marker from F3 up to middle C, the
        // high one from C5 down to G4.
        TRangeBox& range = *run.Page().PaintBox1;
        ASSERT_EQ(range.View(), RangeView::Staff);
        range.grab(); // the heads are placed where the picture draws them
        const auto drag = [&](int from, int to) {
            Mouse(range, QEvent::MouseButtonPress, QPoint(65, StaffRangeHeadY(from)));
            Mouse(range, QEvent::MouseMove, QPoint(65, StaffRangeHeadY(to)));
            Mouse(range, QEvent::MouseButtonRelease, QPoint(65, StaffRangeHeadY(to)));
            range.grab();
        };
        drag(53, 60);
        drag(72, 67);
        EXPECT_EQ(run.Page().Range().LowNote(), 60);
        EXPECT_EQ(run.Page().Range().HighNote(), 67);
        SavePicture(run.Window(), QStringLiteral("endtoend-chord-page.png"));

        // Back in the exercise the questions come only from the ticked chords.
        run.Window().Button(MainControl::SpeedButton1)->click();
        ASSERT_EQ(run.Window().ShownView(), run.Chords());
        EXPECT_EQ(run.Chords()->Model().ButtonCount, 2);
        std::vector<int> roots;
        for (int item : run.AskedItems(8, &roots))
            EXPECT_TRUE(item == 1 || item == 9) << item;
        ASSERT_FALSE(roots.empty());
        // Major chords stand on the drawn root itself (a minor one on the relative minor's).
        for (int root : roots)
            EXPECT_TRUE(root >= 60 && root <= 67) << "root " << root << " inside the range";

        // Closing stores the answers (Yes), offers to save the changed setup (Yes, under the
        // name typed) and keeps the user's chord.
        prompts.buttons = {PromptButton::Yes, PromptButton::Yes};
        prompts.defaultButton = PromptButton::No;
        ASSERT_TRUE(run.Close());
        EXPECT_EQ(prompts.Count(QStringLiteral("error")), 0);
    }
    ASSERT_TRUE(QFile::exists(savedSetup));
    const SetupFileRead stored = ReadSetupFile(savedSetup);
    ASSERT_EQ(stored.Status, SetupFileStatus::Loaded);
    std::vector<int> ticked;
    for (std::size_t i = 0; i < 60; ++i)
        if (stored.Setup.ChordIdentification.ItemFlags[i] != 0)
            ticked.push_back(static_cast<int>(i) + 1);
    EXPECT_EQ(ticked, (std::vector<int>{1, 9}));
    {
        test::DataFolderCopy files(installation.ProgramFolders());
        ItemTables tables = BuiltInItemTables();
        LoadUserItems(files.data, files.loadedItems, tables);
        EXPECT_EQ(tables.ChordIdentification.NoteCount(kOwnChord), 3) << "Chord.dat holds it";
        EXPECT_EQ(tables.ChordIdentification.Name(kOwnChord), QStringLiteral("D minor of mine"));
    }

    // The next start: the user's chord is on the page in green and is asked once ticked.
    {
        ScriptedPrompts prompts;
        ProgramRun run(installation, prompts, keyboard, {});
        ASSERT_TRUE(run.started);
        EXPECT_EQ(run.program.Setup().SetupFileName, savedSetup);
        run.Window().Button(MainControl::Speed1)->click();
        run.Window().Button(MainControl::RunKonfig)->click();
        ASSERT_EQ(run.Window().ShownView(), &run.Page());
        const ChordOpsModel& page = run.Page().Model();
        EXPECT_EQ(page.ItemName(kOwnChord), QStringLiteral("D minor of mine"));
        EXPECT_EQ(page.Cell(run.Page().View(), 2, kOwnChord).Ink, CellInk::User);
        run.Page().SpeedButton2->click();
        run.ClickCell(kOwnChord, 1);
        run.Page().DrawGrid1->scrollTo(run.Page().DrawGrid1->model()->index(kOwnChord - 6, 0));
        SavePicture(run.Window(), QStringLiteral("endtoend-chord-page-next-start.png"));
        run.Window().Button(MainControl::SpeedButton1)->click();
        EXPECT_EQ(run.Chords()->Model().ButtonCount, 1);
        EXPECT_EQ(run.AskedItems(3), (std::set<int>{kOwnChord}));
        prompts.defaultButton = PromptButton::No;
        EXPECT_TRUE(run.Close());
    }
}

} // namespace
} // namespace pv
