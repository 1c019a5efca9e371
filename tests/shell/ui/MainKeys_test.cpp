// Keys struck on the main window reach the shown exercise, keys handed back by the exercise
// reach the main window's table, and a modal dialog keeps its own keys.
#include "ProgramTestSupport.h"
#include "exercises/setup/SetupFile.h"
#include "exercises/ui/TAkkord.h"
#include "exercises/ui/TControlButton.h"
#include "music/devices/FluidSynthOutput.h"
#include "music/strings/UIStrings.h"
#include "shell/main/PellivarkMainModel.h"
#include "shell/startmenu/ui/TMenuDialog.h"
#include "shell/tutor/ChooseTutorModel.h"
#include "shell/ui/ExerciseWindowSet.h"
#include "shell/ui/PellivarkProgram.h"
#include "shell/ui/TPellivarkMain.h"
#include "support/ScriptedPrompts.h"
#include "support/SequencerFakes.h"
#include "support/TempDir.h"

#include <functional>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::FakeDevicesWithoutSoundFont;
using test::RunUntil;

using test::ScriptedPrompts;
using test::TempDir;

void Press(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(target, &press);
}

void Release(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QCoreApplication::sendEvent(target, &release);
}

void Strike(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    Press(target, key, modifiers);
    Release(target, key, modifiers);
}

class MainKeysTest : public ::testing::Test
{
protected:
    MainKeysTest()
        : program(ProgramOptions{
              Folders{programDir.Path(), dataDir.Path() + QStringLiteral("Data/")}, QString(),
              &prompts, false, FakeDevicesWithoutSoundFont(), [this] { splashHidden = true; }})
    {
        // The tutor chooser answers "no tutor" (its own tests drive it).
        program.SetChooseTutor([] { return kNoTutorChosen; });
        prompts.defaultButton = PromptButton::No;
        prompts.texts = {QStringLiteral("Kim")};
        EXPECT_TRUE(WriteSetupFile(programDir.File(QStringLiteral("Default_level.qib")),
                                   DefaultExerciseSetup()));
        program.MainWindow().resize(1100, 760);
        program.MainWindow().show();
        started = RunUntil([this] { return !program.Model().FirstShowPending && splashHidden; });
    }
    ~MainKeysTest() override { program.MainWindow().close(); }

    TPellivarkMain& Window() { return program.MainWindow(); }
    TAkkord* Chords()
    {
        return program.Exercises().Identification(ExerciseKind::ChordIdentification);
    }

    TempDir programDir;
    TempDir dataDir;
    ScriptedPrompts prompts;
    bool splashHidden = false;
    PellivarkProgram program;
    bool started = false;
};

TEST_F(MainKeysTest, FunctionKeysOnTheMainWindowWorkTheExercisesStrip)
{
    ASSERT_TRUE(started);
    Window().Button(MainControl::Speed1)->click();
    TAkkord* chords = Chords();
    ASSERT_NE(chords, nullptr);
    ASSERT_EQ(Window().ShownView(), chords);
    ASSERT_EQ(chords->Model().QuestionItem, 0) << "no question before the first F5";

    // The key goes to the main window itself (the focus is not in the exercise): the button is
    // held while the key is, and its action runs when the key comes up.
    Press(&Window(), Qt::Key_F5);
    EXPECT_EQ(chords->ControlButtons->Model().PressedIndex, 0);
    EXPECT_EQ(chords->Model().QuestionItem, 0);
    Release(&Window(), Qt::Key_F5);
    EXPECT_EQ(chords->ControlButtons->Model().PressedIndex, -1);
    EXPECT_NE(chords->Model().QuestionItem, 0) << "F5 asked a new question";

    // A key of a tool bar's button reaches the strip the same way.
    Press(Window().Button(MainControl::SpeedButton1), Qt::Key_F5);
    EXPECT_EQ(chords->ControlButtons->Model().PressedIndex, 0);
    Release(Window().Button(MainControl::SpeedButton1), Qt::Key_F5);
    EXPECT_EQ(chords->ControlButtons->Model().PressedIndex, -1);
}

TEST_F(MainKeysTest, ViewKeysSwitchFromTheWindowAndFromTheExercise)
{
    ASSERT_TRUE(started);
    // Ctrl+1 is interval comparison: its function keys work its strip and leave the kind.
    Strike(&Window(), Qt::Key_1, Qt::ControlModifier);
    ASSERT_EQ(program.State().CurrentKind, ExerciseKind::IntervalComparison);
    TExerciseBaseClass* comparison = program.Exercises().Window(ExerciseKind::IntervalComparison);
    ASSERT_NE(comparison, nullptr);
    EXPECT_EQ(Window().ShownView(), comparison);
    for (int key = Qt::Key_F5; key <= Qt::Key_F9; ++key)
        Strike(&Window(), key);
    EXPECT_EQ(program.State().CurrentKind, ExerciseKind::IntervalComparison);
    EXPECT_FALSE(comparison->Session().Answered) << "F5 put a question";

    // Ctrl+3 is the third entry of the Exercises menu: chord identification.
    Strike(&Window(), Qt::Key_3, Qt::ControlModifier);
    ASSERT_EQ(program.State().CurrentKind, ExerciseKind::ChordIdentification);
    ASSERT_EQ(Window().ShownView(), Chords());

    // Keys the exercise does not use come back from it to the main window's table.
    Strike(Chords(), Qt::Key_3, Qt::ShiftModifier);
    EXPECT_EQ(program.State().CurrentView, MainView::Results);
    Strike(&Window(), Qt::Key_1, Qt::ShiftModifier);
    EXPECT_EQ(program.State().CurrentView, MainView::Exercise);
    EXPECT_EQ(Window().ShownView(), Chords());
    Strike(Chords()->ControlButtons, Qt::Key_Escape);
    EXPECT_EQ(Window().ShownView(), &program.StartMenu());
    EXPECT_FALSE(program.State().CurrentKind.has_value());
}

TEST_F(MainKeysTest, AModalDialogKeepsItsKeys)
{
    ASSERT_TRUE(started);
    Window().Button(MainControl::Speed1)->click();
    ASSERT_EQ(Window().ShownView(), Chords());

    QDialog dialog(&Window());
    bool sent = false;
    QTimer::singleShot(0, &dialog, [&] {
        // While the dialog is up, neither Esc nor F5 struck on the main window acts.
        Strike(&Window(), Qt::Key_Escape);
        Strike(&Window(), Qt::Key_F5);
        sent = true;
        dialog.accept();
    });
    dialog.exec();
    ASSERT_TRUE(sent);
    EXPECT_EQ(Window().ShownView(), Chords());
    EXPECT_EQ(Chords()->Model().QuestionItem, 0);
}

TEST(MainKeys, CtrlAndADigitOpenTheExercisesMenusEntriesInTheirOrder)
{
    ScriptedPrompts prompts;
    UIStringTable strings;
    TPellivarkMain window(prompts, strings);
    std::vector<int> chosen;
    MainWindowHandlers handlers;
    handlers.ViewTag = [&chosen](int tag) { chosen.push_back(tag); };
    window.SetHandlers(handlers);

    std::vector<int> entries; // the kind tags of the menu's exercise entries, top to bottom
    const QMenu* menu = window.menuBar()->findChild<QMenu*>(QStringLiteral("velser2Menu"));
    ASSERT_NE(menu, nullptr);
    for (const QAction* action : menu->actions()) {
        if (action->menu() != nullptr)
            entries.push_back(action->property("tag").toInt());
    }
    ASSERT_EQ(entries.size(), 10U);

    for (int key = Qt::Key_1; key <= Qt::Key_9; ++key)
        Strike(&window, key, Qt::ControlModifier);
    Strike(&window, Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(chosen, entries);
    EXPECT_EQ(chosen.front(), KindNumber(ExerciseKind::IntervalComparison));
    EXPECT_EQ(chosen.back(), KindNumber(ExerciseKind::MelodyDictation));
}

} // namespace
} // namespace pv
