// The main menu's commands in the whole program: the MIDI menu's entries reaching the MIDI
// output and the exercise windows, the menus holding back the automatic question, the tool
// windows' entries and pop-up, and the exercise clock's hint.
#include "ShellProgramRun.h"
#include "exercises/ui/TAkkord.h"
#include "music/sequencer/MidiMessage.h"
#include "shell/results/ElapsedTime.h"
#include "support/SequencerFakes.h"

#include <QAction>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QToolBar>

namespace pv::test {
namespace {

QMenu* MenuOf(TPellivarkMain& window, const char* name)
{
    return window.menuBar()->findChild<QMenu*>(QString::fromLatin1(name));
}

/// Opens a top menu as a click on the menu bar would, then closes it.
void OpenAndClose(TPellivarkMain& window, QMenu& menu, const QString& picture = {})
{
    menu.popup(window.mapToGlobal(QPoint(0, 0)));
    QCoreApplication::processEvents();
    if (!picture.isEmpty())
        SavePicture(menu, picture);
    menu.hide();
    QCoreApplication::processEvents();
}

/// The control changes the output received of one controller, as (channel, value) pairs.
std::vector<std::pair<int, int>> ControllerMessages(const RecordingSink& sink, int controller)
{
    std::vector<std::pair<int, int>> found;
    for (const SentMessage& m : sink.sent) {
        const std::uint32_t status = m.packed & 0xFFU;
        if ((status & 0xF0U) == 0xB0U && ((m.packed >> 8) & 0x7FU) == std::uint32_t(controller))
            found.emplace_back(int(status & 0x0FU), int((m.packed >> 16) & 0x7FU));
    }
    return found;
}

class WidgetPaints final : public QObject
{
public:
    explicit WidgetPaints(QWidget& widget) { widget.installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

TEST(MainMenuEndToEnd, TheMidiResetEntriesSendTheirControllerToEveryChannel)
{
    Installation installation;
    FakeDevices outputs(SteadyClock::Instance());
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann Example")};
    ProgramRun run(installation, prompts, {},
                   [&outputs](ProgramOptions& options) { options.MidiDevices = &outputs; });
    ASSERT_TRUE(run.started);
    TPellivarkMain& window = run.Window();
    std::vector<std::pair<int, int>> everyChannel;
    for (int channel = 0; channel < 16; ++channel)
        everyChannel.emplace_back(channel, 0);

    const struct
    {
        const char* entry;
        int controller;
    } entries[] = {{"ResetMIDIcontrollers1", kControllerResetAll},
                   {"MIDIallnotesoff1", kControllerAllNotesOff}};
    for (const auto& e : entries) {
        SCOPED_TRACE(e.entry);
        outputs.sink.sent.clear();
        QAction* action = window.CommandAction(QString::fromLatin1(e.entry));
        ASSERT_NE(action, nullptr);
        EXPECT_TRUE(MenuOf(window, "Midi1Menu")->actions().contains(action));
        action->trigger();
        EXPECT_TRUE(RunUntil(
            [&] { return ControllerMessages(outputs.sink, e.controller).size() >= 16; }, 5000));
        EXPECT_EQ(ControllerMessages(outputs.sink, e.controller), everyChannel);
    }
    EXPECT_TRUE(run.Close());
}

TEST(MainMenuEndToEnd, OpeningAnyTopMenuStopsAPendingAutomaticQuestion)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann Example")};
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    TPellivarkMain& window = run.Window();
    run.program.App().ProgramSettings.AutoNewQuestion = true;
    window.Button(MainControl::Speed1)->click();
    ASSERT_NE(run.ChordWindow(), nullptr);
    const QTimer* automatic = window.AutoNewQuestTimer();
    ASSERT_TRUE(automatic->isActive()) << "the first question is on its way";
    for (const char* name :
         {"Filer1Menu", "velser2Menu", "View1Menu", "Tutor1Menu", "Midi1Menu", "Hjlp1Menu"}) {
        SCOPED_TRACE(name);
        QMenu* menu = MenuOf(window, name);
        ASSERT_NE(menu, nullptr);
        window.SetAutoNewQuestTimerEnabled(true);
        OpenAndClose(window, *menu);
        EXPECT_FALSE(automatic->isActive());
    }
    EXPECT_TRUE(run.Close());
}

TEST(MainMenuEndToEnd, KeyNamesRepaintTheStaffAndAreOffWhereNoKeyIsShown)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann Example")};
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    TPellivarkMain& window = run.Window();
    TSettingsRec& settings = run.program.App().ProgramSettings;
    QAction* keyNames = window.Action(MainControl::Showkeyname1);
    ASSERT_NE(keyNames, nullptr);

    window.Button(MainControl::Speed1)->click();
    TAkkord* chords = run.ChordWindow();
    ASSERT_NE(chords, nullptr);
    OpenAndClose(window, *MenuOf(window, "Midi1Menu"));
    ASSERT_TRUE(keyNames->isEnabled()) << "the chords' staff shows a key signature";
    WidgetPaints paints(*chords->PaintBox1);
    QCoreApplication::processEvents();
    for (int flip = 0; flip < 2; ++flip) {
        SCOPED_TRACE(flip);
        paints.paints = 0;
        const bool before = settings.ShowKeyName;
        keyNames->trigger();
        QCoreApplication::processEvents();
        EXPECT_EQ(settings.ShowKeyName, !before);
        EXPECT_EQ(chords->Model().Sheet.ShowKeyName, !before) << "the staff takes it at once";
        EXPECT_GT(paints.paints, 0) << "and shows it";
    }

    // Scales name their notes themselves: the entry is off whatever the setup says, and a
    // trigger does nothing.
    window.Button(MainControl::SpeedButton7)->click();
    ASSERT_EQ(run.program.State().CurrentKind, ExerciseKind::Scales);
    OpenAndClose(window, *MenuOf(window, "Midi1Menu"));
    EXPECT_FALSE(keyNames->isEnabled());
    const bool before = settings.ShowKeyName;
    keyNames->trigger();
    EXPECT_EQ(settings.ShowKeyName, before);
    EXPECT_TRUE(run.Close());
}

TEST(MainMenuEndToEnd, TheRhythmMetronomeEntryShowsOnlyInARhythmExercise)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann Example")};
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    TPellivarkMain& window = run.Window();
    QMenu* midi = MenuOf(window, "Midi1Menu");
    QAction* metronome = window.CommandAction(QStringLiteral("Rhythmwithmetronome1"));
    ASSERT_NE(metronome, nullptr);

    const struct
    {
        MainControl button;
        bool shown;
    } cases[] = {{MainControl::Speed4, true},
                 {MainControl::Speed1, false},
                 {MainControl::Speed5, true},
                 {MainControl::Overview, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.button));
        window.Button(c.button)->click();
        OpenAndClose(window, *midi);
        EXPECT_EQ(metronome->isVisible(), c.shown);
    }
    window.Button(MainControl::Speed4)->click();
    window.resize(1300, 760);
    OpenAndClose(window, *midi, QStringLiteral("main-menu-midi-rhythm.png"));
    const bool before = run.program.App().ProgramSettings.RhythmsWithMetronome;
    metronome->trigger();
    EXPECT_EQ(run.program.App().ProgramSettings.RhythmsWithMetronome, !before);
    EXPECT_EQ(metronome->isChecked(), !before);
    EXPECT_TRUE(run.Close());
}

TEST(MainMenuEndToEnd, TheToolWindowsPopUpHidesAndShowsTheirWindowWithTheSettingsByte)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann Example")};
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    TPellivarkMain& window = run.Window();
    TSettingsRec& settings = run.program.App().ProgramSettings;
    auto* score = window.findChild<QWidget*>(QStringLiteral("ToolWindow3"));
    ASSERT_NE(score, nullptr);

    // On the start menu only the main bar's entry works.
    std::unique_ptr<QMenu> popup(window.createPopupMenu());
    ASSERT_NE(popup, nullptr);
    QStringList names;
    for (QAction* action : popup->actions())
        names << action->objectName();
    EXPECT_EQ(names, (QStringList{QStringLiteral("Standard1"), QStringLiteral("Result1"),
                                  QStringLiteral("Speed7"), QStringLiteral("Extra1")}));
    EXPECT_TRUE(popup->actions()[0]->isEnabled());
    EXPECT_FALSE(popup->actions()[1]->isEnabled());

    window.Button(MainControl::Speed1)->click();
    QCoreApplication::processEvents();
    ASSERT_TRUE(score->isVisibleTo(&window));
    popup.reset(window.createPopupMenu());
    QAction* result = popup->actions()[1];
    ASSERT_TRUE(result->isEnabled());
    EXPECT_TRUE(result->isChecked());
    popup->popup(window.mapToGlobal(QPoint(40, 40)));
    QCoreApplication::processEvents();
    SavePicture(*popup, QStringLiteral("main-menu-tool-popup.png"));
    popup->hide();

    result->trigger();
    EXPECT_EQ(settings.ToolWindows[3].Visible, 0);
    EXPECT_FALSE(score->isVisibleTo(&window));
    EXPECT_FALSE(result->isChecked());
    // Leaving and coming back keeps it hidden: the settings byte holds the user's choice.
    window.Button(MainControl::Speed2)->click();
    window.Button(MainControl::Speed1)->click();
    EXPECT_FALSE(score->isVisibleTo(&window));
    result->trigger();
    EXPECT_EQ(settings.ToolWindows[3].Visible, 1);
    EXPECT_TRUE(score->isVisibleTo(&window));
    EXPECT_TRUE(run.Close());
}

TEST(MainMenuEndToEnd, TheNoteIdentificationSubmenuSetsTheModeAndTicksItAsItOpens)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann Example")};
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    TPellivarkMain& window = run.Window();
    TSettingsRec& settings = run.program.App().ProgramSettings;
    QMenu* submenu = MenuOf(window, "NoteIdentification1Menu");
    ASSERT_NE(submenu, nullptr);
    const char* modes[] = {"Absolute1", "Anyoctave1", "Relative1"};
    for (int mode = 0; mode < 3; ++mode) {
        SCOPED_TRACE(modes[mode]);
        auto* entry = submenu->findChild<QAction*>(QString::fromLatin1(modes[mode]));
        ASSERT_NE(entry, nullptr);
        entry->trigger();
        EXPECT_EQ(settings.NoteIdentification, mode);
    }
    // A mode the settings bring otherwise (a settings file, the dialog) is ticked as it opens.
    settings.NoteIdentification = 1;
    OpenAndClose(window, *submenu);
    EXPECT_TRUE(submenu->findChild<QAction*>(QStringLiteral("Anyoctave1"))->isChecked());
    EXPECT_FALSE(submenu->findChild<QAction*>(QStringLiteral("Relative1"))->isChecked());
    EXPECT_TRUE(run.Close());
}

TEST(MainMenuEndToEnd, TheExerciseClocksHintShowsTheRunningTimeOnlyInAnExercise)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann Example")};
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    TPellivarkMain& window = run.Window();
    QLabel* clock = window.Label(MainControl::Label7);
    ASSERT_NE(clock, nullptr);
    const auto hover = [&] {
        QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), clock->mapToGlobal(QPoint(2, 2)));
        QCoreApplication::sendEvent(clock, &help);
        return clock->toolTip();
    };
    EXPECT_TRUE(hover().isEmpty()) << "no exercise, no time";
    window.Button(MainControl::Speed1)->click();
    const QString hint = hover();
    EXPECT_TRUE(hint.startsWith(QStringLiteral("Duration: "))) << hint.toStdString();
    const QChar sep = TimeSeparator();
    EXPECT_EQ(hint.mid(10).count(sep), 2) << "hours, minutes and seconds: " << hint.toStdString();
    EXPECT_TRUE(run.Close());
}

TEST(MainMenuEndToEnd, TheTutorSetupWithoutAKindOpensTheFirstKindsSetup)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann Example")};
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    ASSERT_FALSE(run.program.State().CurrentKind.has_value());
    // No user holds the tutor setup's right yet, so its button stays disabled: the command's
    // own handler is run as the button would run it.
    const CommandRow* tutorSetup = run.program.Commands().Find(QStringLiteral("Tutorsetup1"));
    ASSERT_NE(tutorSetup, nullptr);
    tutorSetup->Run();
    EXPECT_EQ(run.program.State().CurrentKind, ExerciseKind::ChordIdentification);
    EXPECT_EQ(run.program.State().CurrentView, MainView::ExerciseSetup);
    // Leaving the setup asks whether to keep it.
    prompts.defaultButton = PromptButton::No;
    EXPECT_TRUE(run.Close());
}

} // namespace
} // namespace pv::test
