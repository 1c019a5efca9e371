// The Answer Input menu in the whole program: the answer inputs a user picks show in the
// exercise and come back at the next start, the setup pages share one instrument, a setup that
// forces the answer inputs takes the entries away, and the window's size label and About.
#include "ShellProgramRun.h"
#include "exercises/ui/TChordOps.h"
#include "music/devices/AudioCapture.h"
#include "music/input/MidiIn.h"
#include "music/ui/TRangeBox.h"
#include "shell/answerinput/AnswerInputCommands.h"
#include "shell/answerinput/ui/ScorePanel.h"
#include "shell/startmenu/ui/TVelkommen.h"
#include "support/MidiInFakes.h"

#include <algorithm>

#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QTableView>
#include <QToolButton>

namespace pv::test {
namespace {

QAction* Entry(TPellivarkMain& window, AnswerEntry entry)
{
    return window.CommandAction(AnswerEntryId(entry));
}

/// The Answer Input menu opened as a click on the menu bar opens it.
QMenu* OpenAnswerMenu(TPellivarkMain& window)
{
    auto* menu = window.menuBar()->findChild<QMenu*>(QStringLiteral("Exercisesetup2Menu"));
    if (menu == nullptr)
        return nullptr;
    menu->popup(window.mapToGlobal(QPoint(0, 0)));
    QCoreApplication::processEvents();
    return menu;
}

bool PressShifted(QWidget& window, int key)
{
    return qt_sendShortcutOverrideEvent(&window, 0, key, Qt::ShiftModifier);
}

TEST(AnswerInputEndToEnd, PianoChosenInChordIdentificationShowsAndComesBackAtTheNextStart)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann Example")};
    {
        ProgramRun run(installation, prompts);
        ASSERT_TRUE(run.started);
        TPellivarkMain& window = run.Window();
        window.Button(MainControl::Speed1)->click();
        TAkkord* chords = run.ChordWindow();
        ASSERT_NE(chords, nullptr);
        ASSERT_EQ(window.ShownView(), chords);
        const std::uint8_t before = run.program.App().ProgramSettings.KindPairs[1][0];
        ASSERT_EQ(before & 2, 0) << "the fresh settings answer without the piano";
        EXPECT_FALSE(chords->Panel52->isVisibleTo(chords));

        QMenu* menu = OpenAnswerMenu(window);
        ASSERT_NE(menu, nullptr);
        for (AnswerEntry entry : kAnswerEntries) {
            SCOPED_TRACE(AnswerEntryId(entry).toStdString());
            QAction* action = Entry(window, entry);
            ASSERT_NE(action, nullptr);
            EXPECT_TRUE(menu->actions().contains(action));
            EXPECT_TRUE(action->isEnabled());
            EXPECT_TRUE(action->isVisible());
        }
        EXPECT_TRUE(Entry(window, AnswerEntry::Notesheet1)->isChecked());
        EXPECT_TRUE(Entry(window, AnswerEntry::Answerbyname1)->isChecked());
        EXPECT_FALSE(Entry(window, AnswerEntry::Screenpiano1)->isChecked());
        EXPECT_TRUE(window.CommandAction(QStringLiteral("Microphone1"))->isEnabled());
        EXPECT_TRUE(window.CommandAction(QStringLiteral("MIDIin1"))->isEnabled());
        SavePicture(*menu, QStringLiteral("answerinput-menu-open.png"));
        menu->hide();

        // Shift+F8, the piano's key.
        EXPECT_TRUE(PressShifted(window, Qt::Key_F8));
        QCoreApplication::processEvents();
        EXPECT_EQ(run.program.App().ProgramSettings.KindPairs[1][0], before | 2);
        EXPECT_TRUE(Entry(window, AnswerEntry::Screenpiano1)->isChecked());
        EXPECT_TRUE(chords->Panel52->isVisibleTo(chords)) << "the piano is there to answer on";
        EXPECT_EQ(chords->AnswerInput(), before | 2);
        EXPECT_EQ(run.program.App().ProgramSettings.KindPairs[2][0], before)
            << "interval identification keeps its own";
        SavePicture(window, QStringLiteral("answerinput-piano-chosen.png"));
        EXPECT_TRUE(run.Close());
    }
    ProgramRun again(installation, prompts);
    ASSERT_TRUE(again.started);
    EXPECT_EQ(again.program.App().ProgramSettings.KindPairs[1][0] & 2, 2);
    again.Window().Button(MainControl::Speed1)->click();
    TAkkord* chords = again.ChordWindow();
    ASSERT_NE(chords, nullptr);
    EXPECT_TRUE(chords->Panel52->isVisibleTo(chords));
    EXPECT_TRUE(Entry(again.Window(), AnswerEntry::Screenpiano1)->isChecked());
    EXPECT_TRUE(again.Close());
}

TEST(AnswerInputEndToEnd, GuitarOnTheSetupPageOfOneKindIsThePageOfTheNextToo)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann Example")};
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    TPellivarkMain& window = run.Window();
    TSettingsRec& settings = run.program.App().ProgramSettings;
    settings.KindPairs[1][1] = 8;
    window.Button(MainControl::Speed1)->click();
    window.Button(MainControl::RunKonfig)->click();
    TChordOps& page = *run.program.ChordOps();
    ASSERT_EQ(window.ShownView(), &page);
    ASSERT_FALSE(page.SpeedButton1->isChecked()) << "the full rows, not the compact ones";

    QMenu* menu = OpenAnswerMenu(window);
    ASSERT_NE(menu, nullptr);
    EXPECT_FALSE(Entry(window, AnswerEntry::Answerbyname1)->isVisible());
    EXPECT_FALSE(Entry(window, AnswerEntry::Answerbyname1)->isEnabled());
    EXPECT_TRUE(Entry(window, AnswerEntry::Notesheet1)->isChecked());
    EXPECT_FALSE(window.CommandAction(QStringLiteral("Microphone1"))->isEnabled());
    EXPECT_FALSE(window.CommandAction(QStringLiteral("MIDIin1"))->isEnabled());
    SavePicture(*menu, QStringLiteral("answerinput-menu-setup-view.png"));
    menu->hide();

    Entry(window, AnswerEntry::Guitar1)->trigger();
    EXPECT_EQ(settings.KindPairs[1][1], 4);
    EXPECT_TRUE(Entry(window, AnswerEntry::Guitar1)->isChecked());
    EXPECT_FALSE(Entry(window, AnswerEntry::Notesheet1)->isChecked()) << "one instrument only";
    EXPECT_EQ(page.View(), PageView::Guitar);
    EXPECT_EQ(page.PaintBox1->View(), RangeView::Guitar);
    EXPECT_EQ(page.DrawGrid1->verticalHeader()->defaultSectionSize(), 37);

    // The next kind's page: the guitar too.
    window.Button(MainControl::Speed2)->click();
    QCoreApplication::processEvents();
    ASSERT_EQ(run.program.State().CurrentKind, ExerciseKind::IntervalIdentification);
    ASSERT_EQ(window.ShownView(), &page);
    EXPECT_EQ(page.View(), PageView::Guitar);
    EXPECT_EQ(page.PaintBox1->View(), RangeView::Guitar);
    EXPECT_TRUE(Entry(window, AnswerEntry::Guitar1)->isChecked());
    SavePicture(window, QStringLiteral("answerinput-setup-guitar.png"));

    // Shift+F8: the piano, with its shorter rows.
    ASSERT_TRUE(Entry(window, AnswerEntry::Screenpiano1)->isEnabled());
    EXPECT_TRUE(PressShifted(window, Qt::Key_F8));
    QCoreApplication::processEvents();
    EXPECT_EQ(settings.KindPairs[1][1], 2);
    EXPECT_EQ(page.DrawGrid1->verticalHeader()->defaultSectionSize(), 24);
    EXPECT_EQ(settings.KindPairs[2][0], 9) << "the exercise's answer inputs are not touched";
    // Leaving the setup view offers the setup for saving; it is not kept.
    prompts.buttons = {PromptButton::No};
    EXPECT_TRUE(run.Close());
}

TEST(AnswerInputEndToEnd, ASetupThatForcesTheAnswerInputsTakesTheFourEntriesOnly)
{
    Installation installation;
    ExerciseSetup locked = DefaultExerciseSetup();
    locked.ChordIdentification.AnswerInput = 0x80 | 8; // the staff, forced
    ASSERT_TRUE(WriteSetupFile(installation.DefaultSetupPath(), locked));
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann Example")};
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    TPellivarkMain& window = run.Window();
    window.Button(MainControl::Speed1)->click();
    TAkkord* chords = run.ChordWindow();
    ASSERT_NE(chords, nullptr);
    ASSERT_EQ(run.program.Sessions().Of(ExerciseKind::ChordIdentification).AnswerInputLock, 8);
    const std::uint8_t stored = run.program.App().ProgramSettings.KindPairs[1][0];

    QMenu* menu = OpenAnswerMenu(window);
    ASSERT_NE(menu, nullptr);
    for (AnswerEntry entry : kAnswerEntries) {
        SCOPED_TRACE(AnswerEntryId(entry).toStdString());
        EXPECT_FALSE(Entry(window, entry)->isEnabled());
    }
    EXPECT_TRUE(window.CommandAction(QStringLiteral("Microphone1"))->isEnabled());
    EXPECT_TRUE(window.CommandAction(QStringLiteral("MIDIin1"))->isEnabled());
    SavePicture(*menu, QStringLiteral("answerinput-menu-locked.png"));
    menu->hide();
    // The keys are refused as the entries are.
    PressShifted(window, Qt::Key_F8);
    QCoreApplication::processEvents();
    EXPECT_EQ(run.program.App().ProgramSettings.KindPairs[1][0], stored);
    EXPECT_EQ(chords->AnswerInput(), 8) << "the setup's staff stays";
    EXPECT_TRUE(run.Close());
}

TEST(AnswerInputEndToEnd, MicrophoneAndMidiKeyboardEntriesSwitchTheirInputs)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann Example")};
    FakeMidiInDevices keyboard;
    keyboard.ports = std::vector<MidiInPortInfo>{{0, QStringLiteral("Keyboard")}};
    ProgramRun run(installation, prompts, {}, [&keyboard](ProgramOptions& options) {
        options.MidiInDevices = &keyboard;
        options.MicCapture = [] { return MakeFeedOnlyCapture(); };
    });
    ASSERT_TRUE(run.started);
    TPellivarkMain& window = run.Window();
    TSettingsRec& settings = run.program.App().ProgramSettings;
    settings.MidiInDevice = QStringLiteral("Keyboard");
    ASSERT_FALSE(settings.MidiInputOn);
    window.Button(MainControl::Speed2)->click();
    ASSERT_EQ(run.program.State().CurrentKind, ExerciseKind::IntervalIdentification);

    // Shift+F11 turns the microphone button on and off, as a press of the button does; the
    // entry's tick shows whether the microphone listens, whichever of the two was used.
    QAction* microphone = window.CommandAction(QStringLiteral("Microphone1"));
    ASSERT_FALSE(window.IsDown(MainControl::SpeedButton3));
    EXPECT_FALSE(microphone->isChecked());
    EXPECT_TRUE(PressShifted(window, Qt::Key_F11));
    EXPECT_TRUE(window.IsDown(MainControl::SpeedButton3));
    EXPECT_TRUE(run.program.Model().MicrophoneOpen);
    EXPECT_TRUE(microphone->isChecked());
    microphone->trigger();
    EXPECT_FALSE(window.IsDown(MainControl::SpeedButton3));
    EXPECT_FALSE(microphone->isChecked());
    window.Button(MainControl::SpeedButton3)->click();
    EXPECT_TRUE(window.IsDown(MainControl::SpeedButton3));
    EXPECT_TRUE(microphone->isChecked()) << "the button itself ticks the entry too";
    window.Button(MainControl::SpeedButton3)->click();
    EXPECT_FALSE(microphone->isChecked());

    // Shift+F12: the keyboard's notes go to the exercise in use, and nowhere once it is off.
    EXPECT_TRUE(PressShifted(window, Qt::Key_F12));
    EXPECT_TRUE(settings.MidiInputOn);
    EXPECT_TRUE(window.CommandAction(QStringLiteral("MIDIin1"))->isChecked());
    EXPECT_EQ(run.program.MidiIn().Target(), 2);
    EXPECT_TRUE(PressShifted(window, Qt::Key_F12));
    EXPECT_FALSE(settings.MidiInputOn);
    EXPECT_EQ(run.program.MidiIn().Target(), kMidiInNobody);

    // The kinds that take no notes leave both entries off.
    window.Button(MainControl::Speed6)->click();
    QCoreApplication::processEvents();
    EXPECT_FALSE(window.CommandAction(QStringLiteral("MIDIin1"))->isEnabled());
    EXPECT_FALSE(window.CommandAction(QStringLiteral("Microphone1"))->isEnabled());
    EXPECT_FALSE(PressShifted(window, Qt::Key_F12));
    EXPECT_FALSE(settings.MidiInputOn);
    EXPECT_TRUE(run.Close());
}

TEST(AnswerInputEndToEnd, ExitAsksWhatClosingAsksAndCanBeCancelled)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann Example")};
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    TPellivarkMain& window = run.Window();
    window.Button(MainControl::Speed1)->click();
    window.Button(MainControl::RunKonfig)->click();
    // A change of the user's own on the setup page.
    run.program.ChordOps()->Akk_OpCheck->click();
    QAction* exit = window.CommandAction(QStringLiteral("Exit2"));
    ASSERT_NE(exit, nullptr);
    const auto asked = [&prompts] {
        return std::count_if(prompts.asked.begin(), prompts.asked.end(),
                             [](const AskedPrompt& p) { return p.kind == u"yesnocancel"; });
    };
    prompts.buttons = {PromptButton::Cancel};
    exit->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(asked(), 1) << "the changed setup is offered for saving";
    EXPECT_TRUE(window.isVisible()) << "cancelled: the program runs on";
    prompts.buttons = {PromptButton::No};
    exit->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(asked(), 2);
    EXPECT_FALSE(window.isVisible());
}

TEST(AnswerInputEndToEnd, SizeLabelStepsThroughThreeSizesAndAboutShowsTheBuild)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann Example")};
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    TPellivarkMain& window = run.Window();
    auto* label9 = window.findChild<QLabel*>(QStringLiteral("Label9"));
    ASSERT_NE(label9, nullptr);
    const QSize sizes[] = {{640, 480}, {800, 574}, {1024, 742}, {640, 480}};
    for (const QSize& size : sizes) {
        SCOPED_TRACE(size.width());
        const QPointF at(2, 2);
        QMouseEvent release(QEvent::MouseButtonRelease, at, label9->mapToGlobal(at), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(label9, &release);
        QCoreApplication::processEvents();
        EXPECT_EQ(window.size(), size);
        EXPECT_EQ(label9->text(), QStringLiteral("%1x%2").arg(size.width()).arg(size.height()));
    }

    window.CommandAction(QStringLiteral("OmPellivark1"))->trigger();
    QCoreApplication::processEvents();
    TVelkommen* about = run.program.AboutWindow();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    EXPECT_TRUE(about->Label11()->isVisible()) << "About shows the build";
    EXPECT_FALSE(about->Label11()->text().isEmpty());
    SavePicture(*about, QStringLiteral("answerinput-about.png"));
    about->Panel1Click();
    EXPECT_FALSE(about->isVisible());
    EXPECT_TRUE(run.Close());
}

TEST(AnswerInputEndToEnd, ScoreBarPlacesTextTotalAndGaugeSideBySide)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann Example")};
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    TPellivarkMain& window = run.Window();
    window.resize(1100, 760);
    for (MainControl kind : {MainControl::Speed1, MainControl::Speed4}) {
        SCOPED_TRACE(static_cast<int>(kind));
        window.Button(kind)->click();
        QCoreApplication::processEvents();
        ScorePanel* score = window.ScoreArea();
        ASSERT_NE(score, nullptr);
        ASSERT_TRUE(score->isVisible());
        const QRect text = window.Label15()->geometry();
        const QRect gauge = window.Gauge15()->geometry();
        EXPECT_GE(score->width(), 200);
        EXPECT_EQ(text.top(), gauge.top()) << "one line";
        EXPECT_LT(text.right(), gauge.left());
        EXPECT_LE(gauge.right(), score->width());
        const QLabel* total = window.Label(MainControl::Label4);
        if (!total->isHidden()) {
            EXPECT_LT(text.right(), total->geometry().left());
            EXPECT_LT(total->geometry().right(), gauge.left());
        }
    }
    SavePicture(window, QStringLiteral("answerinput-score-rhythm.png"));
    EXPECT_TRUE(run.Close());
}

} // namespace
} // namespace pv::test
