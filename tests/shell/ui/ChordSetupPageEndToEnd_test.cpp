// The chord setup page of chord progressions in the whole program: its inversion list and bass
// box reaching the next questions' voicing, a cyclic root movement widening a narrow range, the
// restore button taking back what was changed since the view was entered, and a right click
// sounding the progression at the MIDI output.
#include "ProgramTestSupport.h"
#include "ShellProgramRun.h"
#include "TestInstallation.h"
#include "exercises/ui/TAkkord.h"
#include "exercises/ui/TChordEdit.h"
#include "exercises/ui/TChordOps.h"
#include "shell/commands/MainControls.h"
#include "shell/ui/PellivarkProgram.h"
#include "shell/ui/TPellivarkMain.h"
#include "support/SequencerFakes.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QToolButton>

#include <gtest/gtest.h>

namespace pv::test {
namespace {

constexpr int kProgressionsKind = 10;

/// Chooses a row of a drop-down list as the user's pick does.
void Choose(QComboBox& box, int row)
{
    box.setCurrentIndex(row);
    emit box.activated(row);
    QCoreApplication::processEvents();
}

/// Clicks a cell of the page's grid (normal view).
void ClickCell(TChordOps& page, int item, int column, Qt::MouseButton button)
{
    QTableView& grid = *page.DrawGrid1;
    const QModelIndex index = grid.model()->index(item - 1, column);
    grid.scrollTo(index);
    QCoreApplication::processEvents();
    const QPointF at = grid.visualRect(index).center();
    QMouseEvent down(QEvent::MouseButtonPress, at, grid.viewport()->mapToGlobal(at), button, button,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(grid.viewport(), &down);
    QMouseEvent up(QEvent::MouseButtonRelease, at, grid.viewport()->mapToGlobal(at), button,
                   Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(grid.viewport(), &up);
    QCoreApplication::processEvents();
}

int NoteOns(const RecordingSink& sink)
{
    int count = 0;
    for (const SentMessage& m : sink.sent)
        if ((m.packed & 0xF0U) == 0x90U && ((m.packed >> 16) & 0x7FU) != 0)
            ++count;
    return count;
}

TEST(ChordSetupPageEndToEnd, ProgressionOptionsReachTheQuestionsAndRestoreTakesThemBack)
{
    Installation installation;
    FakeDevices outputs(SteadyClock::Instance());
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann Example")};
    ProgramRun run(installation, prompts, {},
                   [&outputs](ProgramOptions& options) { options.MidiDevices = &outputs; });
    ASSERT_TRUE(run.started);
    TPellivarkMain& window = run.Window();
    window.Button(kExerciseButtons[kProgressionsKind])->click();
    window.Button(MainControl::RunKonfig)->click();
    TChordOps& page = *run.program.ChordOps();
    ASSERT_EQ(window.ShownView(), &page);
    ASSERT_TRUE(page.ComboBox2->isVisibleTo(&page)) << "the inversion list belongs to this kind";
    const ExerciseSetup entered = run.program.Setup().CurrentSetup;

    // Random inversions with an added bass root; a cyclic root movement on a range of a fifth.
    Choose(*page.ComboBox2, 2);
    page.CheckBox15->setChecked(true);
    page.Range().SetRange(60, 67);
    Choose(*page.ComboBox1, 3);
    EXPECT_EQ(page.Range().LowNote(), 60);
    EXPECT_GE(page.Range().HighNote(), 71) << "a cyclic movement needs room to move";

    SavePicture(window, QStringLiteral("endtoend-progression-page.png"));

    // A right click sounds the progression under the pointer.
    outputs.sink.sent.clear();
    ClickCell(page, 1, 2, Qt::RightButton);
    EXPECT_TRUE(RunUntil([&] { return NoteOns(outputs.sink) >= 3; }, 5000))
        << "the first progression is played";

    // The exercise takes the page: inversions and bass are the voicing's options.
    window.Button(MainControl::SpeedButton1)->click();
    TAkkord* exercise = run.program.Exercises().Identification(ExerciseKind::ChordProgressions);
    ASSERT_NE(exercise, nullptr);
    EXPECT_EQ(run.program.Setup().CurrentSetup.ChordProgressions.ExtraOption, 240 + 2);
    EXPECT_EQ(exercise->Model().IntervalInKey, 240 + 2);
    EXPECT_EQ(run.program.Setup().CurrentSetup.ChordProgressions.RootMovement, 3);

    // Back on the page nothing was lost; restore goes back to the block as the view was
    // entered the second time, so a change made now is undone but the earlier ones stay.
    window.Button(MainControl::RunKonfig)->click();
    ASSERT_EQ(window.ShownView(), &page);
    EXPECT_EQ(page.ComboBox2->currentIndex(), 2);
    EXPECT_TRUE(page.CheckBox15->isChecked());
    Choose(*page.ComboBox2, 0);
    page.CheckBox15->setChecked(false);
    page.SpeedButton5->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(page.ComboBox2->currentIndex(), 2);
    EXPECT_TRUE(page.CheckBox15->isChecked());
    EXPECT_EQ(page.ComboBox1->currentIndex(), 3);
    window.Button(MainControl::SpeedButton1)->click();
    EXPECT_EQ(run.program.Setup().CurrentSetup.ChordProgressions.ExtraOption, 240 + 2);
    EXPECT_NE(run.program.Setup().CurrentSetup.ChordProgressions.ExtraOption,
              entered.ChordProgressions.ExtraOption);

    prompts.defaultButton = PromptButton::No;
    EXPECT_TRUE(run.Close());
}

TEST(ChordSetupPageEndToEnd, AnInversionOfTheUsersOwnIsChosenInTheEditorAndAsked)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann Example")};
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    int editorRuns = 0;
    bool inversionMode = false;
    run.dialogs = [&](QDialog& dialog) {
        auto* editor = qobject_cast<TChordEdit*>(&dialog);
        if (editor == nullptr)
            return int(QDialog::Rejected);
        ++editorRuns;
        editor->show();
        QCoreApplication::processEvents();
        inversionMode = editor->ComboBox1->isVisible() && editor->RadioGroup1->isVisible();
        // The first chord of the list (major) in its first inversion.
        editor->ComboBox1->setCurrentIndex(0);
        emit editor->ComboBox1->activated(0);
        editor->InversionButtons[1]->click();
        QCoreApplication::processEvents();
        SavePicture(*editor, QStringLiteral("endtoend-inversion-editor.png"));
        editor->BitBtn1->click();
        return dialog.result();
    };
    TPellivarkMain& window = run.Window();
    constexpr int kInversionsKind = 7;
    window.Button(kExerciseButtons[kInversionsKind])->click();
    window.Button(MainControl::RunKonfig)->click();
    TChordOps& page = *run.program.ChordOps();
    ASSERT_EQ(window.ShownView(), &page);
    page.SpeedButton2->click(); // deselect all
    page.SpeedButton4->click(); // add new
    EXPECT_EQ(editorRuns, 1);
    EXPECT_TRUE(inversionMode) << "inversions are chosen, not written";
    const ChordOpsModel& model = page.Model();
    constexpr int kFirstUserInversion = 27;
    std::vector<int> notes;
    for (const ItemNote& n : model.ItemNotes(kFirstUserInversion))
        notes.push_back(n.Note);
    EXPECT_EQ(notes, (std::vector<int>{64, 67, 72})) << "E G C: C major over its third";
    EXPECT_TRUE(model.ItemName(kFirstUserInversion).contains(QStringLiteral("(")))
        << model.ItemName(kFirstUserInversion).toStdString();
    ClickCell(page, kFirstUserInversion, 1, Qt::LeftButton); // tick it
    ASSERT_NE(model.ItemFlags[kFirstUserInversion - 1], 0);

    window.Button(MainControl::SpeedButton1)->click();
    TAkkord* exercise = run.program.Exercises().Identification(ExerciseKind::ChordInversions);
    ASSERT_NE(exercise, nullptr);
    ASSERT_EQ(window.ShownView(), exercise);
    for (int question = 0; question < 3; ++question) {
        Key(exercise, Qt::Key_F5);
        EXPECT_EQ(exercise->Model().QuestionItem, kFirstUserInversion);
        Key(exercise, Qt::Key_F9);
    }
    prompts.buttons = {PromptButton::No, PromptButton::No};
    prompts.defaultButton = PromptButton::No;
    EXPECT_TRUE(run.Close());
}

} // namespace
} // namespace pv::test
