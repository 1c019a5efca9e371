// The main window's commands in the whole program: one action each, shared by the menu entry
// and the tool button, and the menus' toggles and the restart doing what they say.
#include "ShellProgramRun.h"
#include "exercises/ui/TRytmeImit.h"
#include "shell/main/MainLayout.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

namespace pv::test {
namespace {

TEST(MainCommandsEndToEnd, EveryPlaceOfTheLayoutHasItsCommandAndButtonsWorkTheEntrysAction)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann Example")};
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    TPellivarkMain& window = run.Window();

    // Every command the menus and tool windows place was registered by some feature.
    for (const QString& id : LayoutCommandIds()) {
        SCOPED_TRACE(id.toStdString());
        EXPECT_NE(run.program.Commands().Find(id), nullptr);
        EXPECT_NE(window.CommandAction(id), nullptr);
    }

    // A tool button and its menu entry are one action: what the decisions set on one the
    // other shows.
    const struct
    {
        MainControl entry;
        MainControl button;
    } pairs[] = {
        {MainControl::Hentstandardopstning1, MainControl::SpeedButton2},
        {MainControl::Activatetutor1, MainControl::SpeedButton10},
        {MainControl::Playmetronome1, MainControl::Metro},
        {MainControl::ShowMetronome1, MainControl::SpeedButton12},
    };
    for (const auto& pair : pairs) {
        SCOPED_TRACE(static_cast<int>(pair.entry));
        auto* button = qobject_cast<QToolButton*>(window.Button(pair.button));
        ASSERT_NE(button, nullptr);
        QAction* action = window.Action(pair.entry);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(button->defaultAction(), action);
        const bool enabled = action->isEnabled();
        window.SetEnabled(pair.button, !enabled);
        EXPECT_EQ(action->isEnabled(), !enabled);
        window.SetEnabled(pair.entry, enabled);
        EXPECT_EQ(button->isEnabled(), enabled);
    }

    // The metronome's button and entry show and hide together with the kind: shown for a
    // rhythm kind, hidden for chords.
    window.Button(MainControl::Speed4)->click();
    ASSERT_EQ(run.program.State().CurrentKind, ExerciseKind::RhythmImitation);
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.Action(MainControl::Playmetronome1)->isVisible());
    EXPECT_TRUE(window.Action(MainControl::Playmetronome1)->isEnabled());
    window.resize(1500, 760);
    QCoreApplication::processEvents();
    SavePicture(window, QStringLiteral("commands-rhythm-window.png"));
    for (const char* name : {"Midi1Menu", "View1Menu", "Tutor1Menu", "Filer1Menu"}) {
        auto* menu = window.menuBar()->findChild<QMenu*>(QString::fromLatin1(name));
        ASSERT_NE(menu, nullptr);
        menu->popup(window.mapToGlobal(QPoint(0, 0)));
        QCoreApplication::processEvents();
        SavePicture(*menu, QStringLiteral("commands-%1.png").arg(QString::fromLatin1(name)));
        menu->hide();
    }
    window.Button(MainControl::Speed1)->click();
    QCoreApplication::processEvents();
    EXPECT_FALSE(window.Action(MainControl::Playmetronome1)->isVisible());
    EXPECT_FALSE(window.Button(MainControl::Metro)->isVisibleTo(&window));
    EXPECT_TRUE(run.Close());
}

TEST(MainCommandsEndToEnd, TheMidiMenusTogglesFlipTheirSettingsAndTickWithThem)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann Example")};
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    TPellivarkMain& window = run.Window();
    window.Button(MainControl::Speed1)->click();
    TAkkord* chords = run.ChordWindow();
    ASSERT_NE(chords, nullptr);
    TSettingsRec& settings = run.program.App().ProgramSettings;

    const struct
    {
        MainControl entry;
        bool TSettingsRec::*field;
    } toggles[] = {
        {MainControl::MIDIin1, &TSettingsRec::MidiInputOn},
        {MainControl::MIDIremote1, &TSettingsRec::MidiRemoteControl},
        {MainControl::Autonewquest1, &TSettingsRec::AutoNewQuestion},
        {MainControl::Showkeyname1, &TSettingsRec::ShowKeyName},
    };
    for (const auto& toggle : toggles) {
        SCOPED_TRACE(static_cast<int>(toggle.entry));
        QAction* action = window.Action(toggle.entry);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->isChecked(), settings.*toggle.field) << "ticked as the settings say";
        for (int flip = 0; flip < 2; ++flip) {
            const bool before = settings.*toggle.field;
            action->trigger();
            EXPECT_EQ(settings.*toggle.field, !before);
            EXPECT_EQ(action->isChecked(), !before);
        }
    }
    // The chord window takes the key names and the automatic question at once.
    window.Action(MainControl::Showkeyname1)->trigger();
    EXPECT_EQ(chords->Model().Settings.ShowKeyName, settings.ShowKeyName);
    window.Action(MainControl::Autonewquest1)->trigger();
    EXPECT_EQ(chords->Model().Settings.AutoNewQuestion, settings.AutoNewQuestion);

    // Settings applied anew tick the entries as they now stand.
    settings.MidiRemoteControl = !settings.MidiRemoteControl;
    run.program.ApplyProgramSettings();
    EXPECT_EQ(window.Action(MainControl::MIDIremote1)->isChecked(),
              run.program.App().ProgramSettings.MidiRemoteControl);
    EXPECT_TRUE(run.Close());
}

TEST(MainCommandsEndToEnd, RestartingTheExerciseClearsItsAnswers)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann Example")};
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    run.Window().Button(MainControl::Speed1)->click();
    TAkkord* chords = run.ChordWindow();
    ASSERT_NE(chords, nullptr);
    AnswerQuestions(*chords, 2);
    ASSERT_EQ(run.program.Sessions().Of(ExerciseKind::ChordIdentification).QuestionCount, 2U);

    // Two answers are too few to be offered for keeping: the restart asks nothing.
    prompts.asked.clear();
    run.Window().Action(MainControl::Restartexercise)->trigger();
    EXPECT_TRUE(prompts.asked.empty());
    EXPECT_EQ(run.program.Sessions().Of(ExerciseKind::ChordIdentification).QuestionCount, 0U);
    EXPECT_TRUE(run.Close());
}

} // namespace
} // namespace pv::test
