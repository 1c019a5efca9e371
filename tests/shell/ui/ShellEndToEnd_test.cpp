// The whole program over a temporary program and data folder: the first start, an exercise
// done with the answer buttons, storing on close, the next start, and bad files on the way.
#include "ProgramTestSupport.h"
#include "TestInstallation.h"
#include "exercises/items/ItemTables.h"
#include "exercises/setup/SetupFile.h"
#include "exercises/ui/TAkkord.h"
#include "exercises/ui/TChordOps.h"
#include "exercises/ui/TControlButton.h"
#include "exercises/ui/TIntervalSam.h"
#include "exercises/ui/TMelodyOps.h"
#include "exercises/ui/TRytmeImit.h"
#include "exercises/ui/TRytmeKorr.h"
#include "exercises/ui/TRytmeLaes.h"
#include "exercises/ui/TRytmeOps.h"
#include "music/data/ResultFiles.h"
#include "music/data/UserFile.h"
#include "music/devices/FluidSynthOutput.h"
#include "music/input/MidiInEvent.h"
#include "shell/main/PellivarkMainModel.h"
#include "shell/main/ui/ExerciseWindowSet.h"
#include "shell/startmenu/ui/TMenuDialog.h"
#include "shell/tutor/ChooseTutorModel.h"
#include "shell/ui/PellivarkProgram.h"
#include "shell/ui/TPellivarkMain.h"
#include "support/DataFolderCopy.h"
#include "support/MidiInFakes.h"
#include "support/ScriptedPrompts.h"
#include "support/SequencerFakes.h"
#include "support/TempDir.h"
#include "support/TestOutput.h"

#include <algorithm>
#include <functional>

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::FakeDevicesWithoutSoundFont;
using test::RunUntil;

using test::ScriptedPrompts;
using test::TempDir;

using test::SavePicture;

/// The shared installation with a setup of the user's beside the default one.
class Installation : public test::Installation
{
public:
    Installation()
    {
        ExerciseSetup mine = DefaultExerciseSetup();
        // Three chords to tell apart instead of two: a setup the default is not.
        mine.ChordIdentification.ItemFlags.fill(0);
        for (std::size_t i : {0U, 1U, 4U})
            mine.ChordIdentification.ItemFlags[i] = 1;
        EXPECT_TRUE(AddSetup(QStringLiteral("Mine.qib"), mine));
    }
    QString MineSetupPath() const { return program.File(QStringLiteral("Mine.qib")); }
};

/// One run of the program: built, shown, and through its first show.
class ProgramRun
{
public:
    ProgramRun(const Installation& installation, ScriptedPrompts& prompts,
               const QString& argument = {}, IMidiInDevices* midiInputs = nullptr)
        : program(ProgramOptions{installation.ProgramFolders(), argument, &prompts, false,
                                 FakeDevicesWithoutSoundFont(), [this] { splashHidden = true; },
                                 midiInputs})
    {
        // The tutor chooser answers "no tutor" (its own tests drive it).
        program.SetChooseTutor([] { return kNoTutorChosen; });
        program.MainWindow().resize(1100, 760);
        program.MainWindow().show();
        started = RunUntil([this] { return !program.Model().FirstShowPending && splashHidden; });
    }

    TPellivarkMain& Window() { return program.MainWindow(); }
    TAkkord* ChordWindow()
    {
        return program.Exercises().Identification(ExerciseKind::ChordIdentification);
    }

    /// Closes the main window as its close box would; true when it closed.
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

void Key(QWidget* target, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &release);
}

/// Clicks an answer button with the right mouse button, which scores the answer at once.
void AnswerWith(QPushButton* button)
{
    const QPointF at(button->width() / 2.0, button->height() / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, at, button->mapToGlobal(at), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QCoreApplication::sendEvent(button, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, button->mapToGlobal(at), Qt::RightButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(button, &release);
}

/// Every text the user reads on the main window and the shown view, with where it is.
std::vector<std::pair<QString, QString>> ReadableTexts(TPellivarkMain& window)
{
    std::vector<std::pair<QString, QString>> texts = window.VisibleTexts();
    if (QWidget* view = window.ShownView()) {
        for (QAbstractButton* button : view->findChildren<QAbstractButton*>()) {
            // Tool buttons with a picture carry no text; their hint says what they do.
            if (button->isVisible() && button->icon().isNull())
                texts.emplace_back(button->objectName(), button->text());
        }
    }
    return texts;
}

void ExpectNoEmptyText(TPellivarkMain& window)
{
    for (const auto& [name, text] : ReadableTexts(window)) {
        EXPECT_FALSE(text.trimmed().isEmpty()) << name.toStdString();
    }
}

/// The results stored for the first user of the installation's data folder, read afresh.
std::vector<TResultRec> StoredResults(const Installation& installation)
{
    test::DataFolderCopy files(installation.ProgramFolders());
    if (!files.User(1)) {
        ADD_FAILURE() << "the first user cannot be read";
        return {};
    }
    return files.Results(1);
}

TEST(ShellEndToEnd, FirstStartExerciseStoreAndTheNextStartGreetsByName)
{
    Installation installation;
    constexpr int kQuestions = 10;

    {
        ScriptedPrompts prompts;
        prompts.texts = {QStringLiteral("Ann Example")};
        prompts.buttons = {PromptButton::Yes}; // store the results on closing
        ProgramRun run(installation, prompts, installation.MineSetupPath());
        ASSERT_TRUE(run.started);

        // The first start asked the name and wrote the first user.
        ASSERT_EQ(prompts.Count(QStringLiteral("text")), 1);
        EXPECT_TRUE(prompts.asked.front().text.startsWith(run.program.Strings().StrUserNamePrompt));
        EXPECT_TRUE(QFile::exists(installation.DataFile(QStringLiteral("User.dat"))));
        EXPECT_EQ(run.Window().ShownView(), &run.program.StartMenu());
        EXPECT_EQ(run.program.Setup().SetupFileName, installation.MineSetupPath());
        SavePicture(run.Window(), QStringLiteral("shell-start-menu.png"));

        // The exercise is entered by its tool button.
        QAbstractButton* chords = run.Window().Button(MainControl::Speed1);
        ASSERT_NE(chords, nullptr);
        chords->click();
        TAkkord* exercise = run.ChordWindow();
        ASSERT_NE(exercise, nullptr);
        EXPECT_EQ(run.Window().ShownView(), exercise);
        EXPECT_EQ(run.program.State().CurrentKind, ExerciseKind::ChordIdentification);
        EXPECT_TRUE(run.Window().IsEnabled(MainControl::Timer1)) << "the clock runs";
        ASSERT_EQ(exercise->Model().ButtonCount, 3) << "the setup of the command line";
        ExpectNoEmptyText(run.Window());

        // Ten questions, every third answered wrongly, by clicking the answer buttons.
        int right = 0;
        for (int q = 0; q < kQuestions; ++q) {
            SCOPED_TRACE(q);
            Key(exercise, Qt::Key_F5);
            const AkkordModel& model = exercise->Model();
            ASSERT_NE(model.QuestionItem, 0) << "a question is open";
            const int rightButton = model.ButtonOfItem(model.QuestionItem);
            const bool answerRight = q % 3 != 0;
            const int button = answerRight ? rightButton : rightButton % model.ButtonCount + 1;
            AnswerWith(exercise->AnswerButtons()[static_cast<std::size_t>(button - 1)].Button);
            right += answerRight ? 1 : 0;
            if (q == 0)
                SavePicture(run.Window(), QStringLiteral("shell-wrong-answer.png"));
        }
        EXPECT_EQ(run.program.Sessions().Of(ExerciseKind::ChordIdentification).QuestionCount,
                  static_cast<std::uint32_t>(kQuestions));
        EXPECT_EQ(run.program.Sessions().Of(ExerciseKind::ChordIdentification).CorrectCount,
                  static_cast<std::uint32_t>(right));
        EXPECT_GT(run.program.Clock().RunningExerciseTime(ExerciseKind::ChordIdentification), 0.0);

        // Closing asks whether to store, and "Yes" stores.
        ASSERT_TRUE(run.Close());
        EXPECT_EQ(prompts.Count(QStringLiteral("yesnocancel")), 1);
        EXPECT_EQ(prompts.Count(QStringLiteral("error")), 0);
        EXPECT_TRUE(QFile::exists(installation.DataFile(QStringLiteral("Setting.dat"))));
    }

    // The result file holds the run.
    {
        test::DataFolderCopy files(installation.ProgramFolders());
        const std::optional<TUserRec> user = files.User(1);
        ASSERT_TRUE(user);
        EXPECT_EQ(user->FullName, QStringLiteral("Ann Example"));
        const std::vector<TResultRec> stored = files.Results(1);
        ASSERT_EQ(stored.size(), 1U);
        const TResultRec& rec = stored.front();
        EXPECT_EQ(rec.Kind, KindNumber(ExerciseKind::ChordIdentification));
        EXPECT_EQ(rec.Count, kQuestions);
    }

    // The next start knows the user and the setup.
    {
        ScriptedPrompts prompts;
        ProgramRun run(installation, prompts);
        ASSERT_TRUE(run.started);
        EXPECT_EQ(prompts.Count(QStringLiteral("text")), 0) << "no name asked";
        EXPECT_EQ(prompts.Count(QStringLiteral("error")), 0);
        const std::optional<QString> welcome = run.program.StartMenuService().WelcomeLine();
        ASSERT_TRUE(welcome.has_value());
        EXPECT_TRUE(welcome->contains(QStringLiteral("Ann"))) << welcome->toStdString();
        EXPECT_TRUE(run.program.Setup().SetupLoaded);
        EXPECT_EQ(run.program.Setup().SetupFileName, installation.MineSetupPath());
        ExpectNoEmptyText(run.Window());
        // Nothing was answered: closing asks nothing.
        EXPECT_TRUE(run.Close());
        EXPECT_EQ(prompts.Count(QStringLiteral("yesnocancel")), 0);
    }
}

/// The MIDI messages that reach a window, with the target each was meant for.
class MidiInSpy final : public QObject
{
public:
    std::vector<std::pair<std::uint32_t, std::uint8_t>> seen;

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == MidiInEvent::EventType()) {
            const auto* in = static_cast<const MidiInEvent*>(e);
            seen.emplace_back(in->Message(), in->Target());
        }
        return false;
    }
};

TEST(ShellEndToEnd, AKeyboardPlaysIntoTheMainWindowForTheExerciseEnteredOnly)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann Example")};
    test::FakeMidiInDevices keyboard;
    keyboard.ports = std::vector<MidiInPortInfo>{{0, QStringLiteral("Keyboard")}};
    ProgramRun run(installation, prompts, installation.MineSetupPath(), &keyboard);
    ASSERT_TRUE(run.started);
    EXPECT_TRUE(run.program.MidiIn().Devices().back().placeholder)
        << "applying the settings offers no device too";

    MidiInSpy spy;
    run.Window().installEventFilter(&spy);
    TSettingsRec& settings = run.program.App().ProgramSettings;
    settings.MidiInputOn = true;
    settings.MidiInDevice.clear();
    run.Window().Button(MainControl::Speed1)->click();
    ASSERT_EQ(run.program.State().CurrentKind, ExerciseKind::ChordIdentification);
    EXPECT_EQ(keyboard.OpenName(), QStringLiteral("Keyboard"));
    EXPECT_EQ(settings.MidiInDevice, QStringLiteral("Keyboard")) << "the first device is kept";

    const std::uint32_t noteOn = 0x90U | (60U << 8) | (100U << 16);
    keyboard.Play({0x90, 60, 100});
    ASSERT_TRUE(RunUntil([&] { return !spy.seen.empty(); }));
    EXPECT_EQ(spy.seen.front(), std::make_pair(noteOn, static_cast<std::uint8_t>(KindNumber(
                                                           ExerciseKind::ChordIdentification))));

    // The exercise window gives the input up as it leaves: later notes go nowhere.
    run.Window().StopMidiInput();
    keyboard.Play({0x90, 62, 100});
    QCoreApplication::processEvents();
    run.program.MidiIn().DeliverPosted();
    EXPECT_EQ(spy.seen.size(), 1U);
    EXPECT_TRUE(run.program.MidiIn().IsOpen());
    EXPECT_TRUE(run.Close());
}

TEST(ShellEndToEnd, RemoteNotesAndThePedalPressTheControlButtons)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann Example")};
    test::FakeMidiInDevices keyboard;
    keyboard.ports = std::vector<MidiInPortInfo>{{0, QStringLiteral("Keyboard")}};
    ProgramRun run(installation, prompts, installation.MineSetupPath(), &keyboard);
    ASSERT_TRUE(run.started);
    TSettingsRec& settings = run.program.App().ProgramSettings;
    settings.MidiInputOn = true;
    settings.MidiInDevice = QStringLiteral("Keyboard");
    settings.MidiRemoteControl = true;
    settings.SustainAsEnter = true;
    settings.RemoteNotes = {21, 22, 23, 24, 25};
    run.Window().Button(MainControl::Speed1)->click();
    TAkkord* exercise = run.ChordWindow();
    ASSERT_NE(exercise, nullptr);
    const AkkordModel& model = exercise->Model();
    const auto deliver = [&](std::vector<std::uint8_t> bytes) {
        keyboard.Play(std::move(bytes));
        QCoreApplication::processEvents();
        run.program.MidiIn().DeliverPosted();
        QCoreApplication::processEvents();
    };

    // The first remote note is the first control button: a question is put when it is let go.
    ASSERT_EQ(model.QuestionItem, 0);
    deliver({0x90, 21, 100});
    EXPECT_EQ(exercise->ControlButtons->Model().PressedIndex, 0) << "held while the key is";
    EXPECT_EQ(model.QuestionItem, 0);
    deliver({0x80, 21, 0});
    EXPECT_EQ(exercise->ControlButtons->Model().PressedIndex, -1);
    ASSERT_NE(model.QuestionItem, 0) << "a question is open";

    // A pedal half down does nothing; fully down it presses the focused button (New question).
    exercise->ControlButtons->SetFocusIndex(0);
    const std::uint32_t answered =
        run.program.Sessions().Of(ExerciseKind::ChordIdentification).QuestionCount;
    deliver({0xB0, 64, 64});
    EXPECT_EQ(exercise->ControlButtons->Model().PressedIndex, -1);
    deliver({0xB0, 64, 127});
    EXPECT_EQ(exercise->ControlButtons->Model().PressedIndex, -1) << "pressed and let go at once";
    EXPECT_NE(model.QuestionItem, 0);
    EXPECT_EQ(run.program.Sessions().Of(ExerciseKind::ChordIdentification).QuestionCount, answered);

    // Active sensing changes nothing.
    deliver({0xFE});
    EXPECT_EQ(exercise->ControlButtons->Model().PressedIndex, -1);
    EXPECT_TRUE(run.Close());
}

TEST(ShellEndToEnd, NothingReachesTheExerciseWhileABoxIsOpen)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann Example")};
    test::FakeMidiInDevices keyboard;
    keyboard.ports = std::vector<MidiInPortInfo>{{0, QStringLiteral("Keyboard")}};
    ProgramRun run(installation, prompts, installation.MineSetupPath(), &keyboard);
    ASSERT_TRUE(run.started);
    TSettingsRec& settings = run.program.App().ProgramSettings;
    settings.MidiInputOn = true;
    settings.MidiInDevice = QStringLiteral("Keyboard");
    settings.MidiRemoteControl = true;
    settings.SustainAsEnter = true;
    settings.RemoteNotes = {21, 22, 23, 24, 25};
    run.Window().Button(MainControl::Speed1)->click();
    TAkkord* exercise = run.ChordWindow();
    ASSERT_NE(exercise, nullptr);
    exercise->ControlButtons->SetFocusIndex(0);
    const AkkordModel& model = exercise->Model();
    const auto deliver = [&](std::vector<std::uint8_t> bytes) {
        keyboard.Play(std::move(bytes));
        QCoreApplication::processEvents();
        run.program.MidiIn().DeliverPosted();
        QCoreApplication::processEvents();
    };
    const auto tickAutomaticQuestion = [&] {
        QMetaObject::invokeMethod(run.Window().AutoNewQuestTimer(), "timeout");
    };
    ASSERT_EQ(model.QuestionItem, 0);

    // The user asks for the user information; while its box is open the pedal goes down, a
    // remote note is played and the automatic question's timer ticks.
    int opened = 0;
    prompts.whileOpen = [&](const test::AskedPrompt& asked) {
        if (asked.kind != QStringLiteral("text"))
            return;
        ++opened;
        EXPECT_TRUE(run.program.Modal().Raised());
        deliver({0xB0, 64, 127});
        deliver({0x90, 21, 100});
        EXPECT_EQ(exercise->ControlButtons->Model().PressedIndex, -1) << "no button is held";
        deliver({0x80, 21, 0});
        tickAutomaticQuestion();
        EXPECT_EQ(model.QuestionItem, 0) << "no question was put behind the box";
        EXPECT_TRUE(run.program.Sessions().Of(ExerciseKind::ChordIdentification).Answered);
    };
    run.Window().Action(MainControl::Userinfo1)->trigger();
    ASSERT_EQ(opened, 1);
    prompts.whileOpen = nullptr;
    EXPECT_FALSE(run.program.Modal().Raised());
    EXPECT_EQ(model.QuestionItem, 0);
    EXPECT_EQ(run.program.Sessions().Of(ExerciseKind::ChordIdentification).QuestionCount, 0U);

    // Closed, the same input reaches the exercise again: each of them puts a question (the
    // pedal presses the focused New question, the first remote note is that button, the tick
    // is the automatic question's).
    const auto putsAQuestion = [&](const std::function<void()>& input) {
        exercise->ResetResults();
        EXPECT_TRUE(run.program.Sessions().Of(ExerciseKind::ChordIdentification).Answered)
            << "no question open";
        input();
        return !run.program.Sessions().Of(ExerciseKind::ChordIdentification).Answered;
    };
    EXPECT_TRUE(putsAQuestion([&] { deliver({0xB0, 64, 127}); })) << "the pedal";
    EXPECT_TRUE(putsAQuestion([&] {
        deliver({0x90, 21, 100});
        EXPECT_EQ(exercise->ControlButtons->Model().PressedIndex, 0) << "held while the key is";
        deliver({0x80, 21, 0});
    })) << "the remote note";
    EXPECT_TRUE(putsAQuestion(tickAutomaticQuestion)) << "the timer's tick";
    EXPECT_TRUE(run.Close());
}

TEST(ShellEndToEnd, TheMainWindowsTimersTickTheCurrentWindowAndPianoStepsAreKept)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann Example")};
    ProgramRun run(installation, prompts, installation.MineSetupPath());
    ASSERT_TRUE(run.started);
    run.Window().Button(MainControl::Speed1)->click();
    TAkkord* exercise = run.ChordWindow();
    ASSERT_NE(exercise, nullptr);
    QTimer* blink = run.Window().ExerciseTimer(ExerciseHostTimer::AnswerbuttonBlink);
    ASSERT_NE(blink, nullptr);
    EXPECT_EQ(exercise->BlinkTimer(), blink);
    EXPECT_EQ(exercise->LightTimer(),
              run.Window().ExerciseTimer(ExerciseHostTimer::LightDisplaytime));

    // A right answer blinks its button on the main window's timer, tick by tick.
    exercise->NewQuestion();
    const AkkordModel& model = exercise->Model();
    const int button = model.ButtonOfItem(model.QuestionItem);
    ASSERT_GT(button, 0);
    AnswerWith(exercise->AnswerButtons()[static_cast<std::size_t>(button - 1)].Button);
    ASSERT_TRUE(model.BlinkRunning);
    EXPECT_TRUE(blink->isActive());
    QMetaObject::invokeMethod(blink, "timeout");
    EXPECT_EQ(model.BlinkCount, 1);

    // The piano's adjusters change the program's own piano voice.
    emit exercise->PianoVoiceStepped(PianoVoice{33, 77});
    const SoundRec& piano = run.program.App().ProgramSettings.PianoVoice;
    EXPECT_EQ(piano.Program, 33);
    EXPECT_EQ(piano.Velocity, 77);
    EXPECT_EQ(run.program.MidiVoices().piano.program, 33) << "and what it plays with";
    EXPECT_TRUE(run.Close());
}

TEST(ShellEndToEnd, DamagedFilesNeverStopTheProgramFromStarting)
{
    struct Case
    {
        const char* name;
        std::vector<std::uint8_t> userFile;    ///< empty: none
        std::vector<std::uint8_t> settingFile; ///< empty: none
        bool damagedSetupArgument;
    };
    const std::vector<std::uint8_t> garbage(997, 0xA5);
    const std::vector<std::uint8_t> shortRecord(37, 0x01);
    const Case cases[] = {
        {"damaged user file", garbage, {}, false},
        {"short user file", shortRecord, {}, false},
        {"damaged settings file", {}, garbage, false},
        {"damaged setup on the command line", {}, {}, true},
        {"all of them", garbage, garbage, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Installation installation;
        ASSERT_TRUE(QDir().mkpath(installation.ProgramFolders().DataFolder));
        if (!c.userFile.empty()) {
            ASSERT_TRUE(installation.data.Write(QStringLiteral("Data/User.dat"), c.userFile));
        }
        if (!c.settingFile.empty()) {
            ASSERT_TRUE(installation.data.Write(QStringLiteral("Data/Setting.dat"), c.settingFile));
        }
        QString argument;
        if (c.damagedSetupArgument) {
            argument = installation.program.File(QStringLiteral("Broken.qib"));
            ASSERT_TRUE(installation.program.Write(QStringLiteral("Broken.qib"), garbage));
        }

        ScriptedPrompts prompts;
        prompts.defaultButton = PromptButton::Ok;
        prompts.texts = {QStringLiteral("Bo")};
        ProgramRun run(installation, prompts, argument);
        ASSERT_TRUE(run.started);
        EXPECT_EQ(run.Window().ShownView(), &run.program.StartMenu());
        if (c.damagedSetupArgument) {
            // The damaged setup is refused with a message and the built-in one is in force.
            EXPECT_GE(prompts.Count(QStringLiteral("error")) +
                          prompts.Count(QStringLiteral("message")) +
                          prompts.Count(QStringLiteral("info")),
                      1);
            EXPECT_FALSE(run.program.Setup().SetupLoaded);
            EXPECT_EQ(run.program.Setup().CurrentSetup, DefaultExerciseSetup());
        }

        // The program is usable: the exercise opens and asks.
        run.Window().Button(MainControl::Speed1)->click();
        ASSERT_EQ(run.Window().ShownView(), run.ChordWindow());
        Key(run.ChordWindow(), Qt::Key_F5);
        EXPECT_NE(run.ChordWindow()->Model().QuestionItem, 0);
        prompts.defaultButton = PromptButton::No;
        EXPECT_TRUE(run.Close());
    }
}

TEST(ShellEndToEnd, AnUnwritableDataFolderIsReportedAndTheProgramRuns)
{
    Installation installation;
    // A file where the data folder's parent should be: no user, not even root, can make it.
    ASSERT_TRUE(installation.data.Write(QStringLiteral("Data"), {0x20}));

    ScriptedPrompts prompts;
    prompts.defaultButton = PromptButton::Ok;
    prompts.texts = {QStringLiteral("Cy")};
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    ASSERT_GE(prompts.Count(QStringLiteral("error")), 1);
    const test::AskedPrompt& first =
        *std::find_if(prompts.asked.begin(), prompts.asked.end(),
                      [](const test::AskedPrompt& p) { return p.kind == QStringLiteral("error"); });
    EXPECT_TRUE(first.text.contains(installation.ProgramFolders().DataFolder.chopped(1)))
        << first.text.toStdString();
    EXPECT_EQ(run.Window().ShownView(), &run.program.StartMenu());
    run.Window().Button(MainControl::Speed1)->click();
    EXPECT_EQ(run.Window().ShownView(), run.ChordWindow());
    prompts.defaultButton = PromptButton::No;
    EXPECT_TRUE(run.Close());
}

TEST(ShellEndToEnd, EveryViewIsItsWindowAndTheExerciseViewBringsTheExerciseBack)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Di")};
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    // The results view of an exercise is the results window, and the exercise view brings
    // the exercise back.
    for (MainControl exercise : {MainControl::Speed4, MainControl::Speed1}) {
        SCOPED_TRACE(static_cast<int>(exercise));
        run.Window().Button(exercise)->click();
        QWidget* entered = run.Window().ShownView();
        QAbstractButton* button = run.Window().Button(MainControl::SpeedButton5);
        ASSERT_TRUE(button->isEnabled());
        button->click();
        QWidget* shown = run.Window().ShownView();
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(shown->objectName(), QStringLiteral("UserResultForm"));
        EXPECT_EQ(shown->findChild<QLabel*>(QStringLiteral("NotAvailableText")), nullptr);
        run.Window().Button(MainControl::SpeedButton1)->click();
        EXPECT_EQ(run.Window().ShownView(), entered);
    }
    // Every kind's setup view is its page: the item exercises', the rhythm kinds' and
    // melody dictation's.
    run.Window().Button(MainControl::RunKonfig)->click();
    EXPECT_EQ(run.Window().ShownView(), run.program.ChordOps());
    run.Window().Button(MainControl::Speed4)->click();
    EXPECT_EQ(run.Window().ShownView(), run.program.RytmeOps());
    run.Window().Button(MainControl::SpeedButton8)->click();
    EXPECT_EQ(run.Window().ShownView(), run.program.MelodyOps());
    run.Window().Button(MainControl::Speed1)->click();
    EXPECT_EQ(run.Window().ShownView(), run.program.ChordOps());
    run.Window().Button(MainControl::SpeedButton1)->click();
    EXPECT_EQ(run.Window().ShownView(), run.ChordWindow());
    run.Window().Button(MainControl::Overview)->click();
    EXPECT_EQ(run.Window().ShownView(), &run.program.StartMenu());
    // The pages store their answer-input byte as 0 where the built-in setup has 2, but only
    // looking at them changes nothing the user made: closing asks nothing about the setup.
    prompts.defaultButton = PromptButton::No;
    EXPECT_TRUE(run.Close());
    EXPECT_EQ(prompts.Count(QStringLiteral("yesnocancel")), 0);
}

// Melody dictation is reached by its tool button and asks generated melodies; a range that
// holds none is reported through the program's own prompts and puts no question.
TEST(ShellEndToEnd, MelodyDictationAsksMelodiesAndSaysWhenNoneFits)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Mo")};
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    run.Window().Button(MainControl::SpeedButton8)->click();
    TAkkord* melody = run.program.Exercises().Identification(ExerciseKind::MelodyDictation);
    ASSERT_NE(melody, nullptr);
    ASSERT_EQ(run.Window().ShownView(), melody);
    Key(melody, Qt::Key_F5);
    EXPECT_EQ(melody->Model().QuestionNoteCount, run.program.Setup().CurrentSetup.Melody.ToneCount);
    EXPECT_FALSE(run.program.Sessions().Of(ExerciseKind::MelodyDictation).Answered);
    const int messages = prompts.Count(QStringLiteral("message"));

    ExerciseSetup narrow = run.program.Setup().CurrentSetup;
    narrow.Melody.LowestNote = 60;
    narrow.Melody.HighestNote = 61;
    melody->Setup(narrow, BuiltInItemTables(), AkkordSettings{}, true);
    Key(melody, Qt::Key_F5);
    EXPECT_EQ(prompts.Count(QStringLiteral("message")), messages + 1);
    EXPECT_TRUE(run.program.Sessions().Of(ExerciseKind::MelodyDictation).Answered);
    prompts.defaultButton = PromptButton::No;
    EXPECT_TRUE(run.Close());
}

TEST(ShellEndToEnd, IntervalComparisonFromTheStartMenuPlaysScoresAndIsStored)
{
    Installation installation;
    {
        ScriptedPrompts prompts;
        prompts.texts = {QStringLiteral("Cy Example")};
        prompts.buttons = {PromptButton::Yes}; // store the results on closing
        ProgramRun run(installation, prompts);
        ASSERT_TRUE(run.started);
        ASSERT_EQ(run.Window().ShownView(), &run.program.StartMenu());

        run.program.StartMenu().KindButton(ExerciseKind::IntervalComparison)->click();
        TIntervalSam* comparison = run.program.Exercises().Comparison();
        ASSERT_NE(comparison, nullptr);
        EXPECT_EQ(run.Window().ShownView(), comparison);
        EXPECT_EQ(run.program.State().CurrentKind, ExerciseKind::IntervalComparison);
        EXPECT_EQ(comparison->Model().CompareItemCount, 4) << "the default setup's intervals";
        ExpectNoEmptyText(run.Window());

        // F5 on the main window puts the question; the sequencer plays A, then B, and its
        // notifications reach the window: the answer buttons of the strip open at the end.
        Key(&run.Window(), Qt::Key_F5);
        ASSERT_FALSE(run.program.Sessions().Of(ExerciseKind::IntervalComparison).Answered);
        const ControlStripModel& strip = comparison->ControlButtons->Model();
        EXPECT_EQ(comparison->Panel1->palette().color(QPalette::Window), QColor(255, 255, 0));
        for (std::size_t b : {0U, 1U, 2U, 3U})
            EXPECT_FALSE(strip.ButtonEnabled[b]) << "while the first question plays: " << b;
        EXPECT_TRUE(strip.ButtonEnabled[4]);
        ASSERT_TRUE(RunUntil([&] { return strip.ButtonEnabled[3]; }));
        EXPECT_TRUE(strip.ButtonEnabled[1]) << "B has ended";
        EXPECT_FALSE(strip.ButtonEnabled[4]) << "the playback has ended";
        const IntervalSamModel& model = comparison->Model();
        const bool aLarger = model.SpanOf(CompareChoice::A) > model.SpanOf(CompareChoice::B);
        Key(&run.Window(), aLarger ? Qt::Key_F7 : Qt::Key_F8);
        EXPECT_EQ(run.program.Sessions().Of(ExerciseKind::IntervalComparison).CorrectCount, 1U);
        EXPECT_TRUE(comparison->Label1->text().contains(QStringLiteral("Right")));

        // Four more, each answered while it still plays: wrongly with a big button, rightly
        // with the letter of the larger one (a run needs five answers to be offered).
        for (int q = 1; q < 5; ++q) {
            SCOPED_TRACE(q);
            Key(&run.Window(), Qt::Key_F5);
            ASSERT_FALSE(run.program.Sessions().Of(ExerciseKind::IntervalComparison).Answered);
            const bool bLarger = model.SpanOf(CompareChoice::A) <= model.SpanOf(CompareChoice::B);
            if (q % 2 == 1) {
                (bLarger ? comparison->Button1 : comparison->Button2)->click();
                if (q == 1)
                    SavePicture(run.Window(), QStringLiteral("shell-comparison-wrong.png"));
            } else {
                Key(comparison, bLarger ? Qt::Key_B : Qt::Key_A);
            }
        }
        EXPECT_EQ(run.program.Sessions().Of(ExerciseKind::IntervalComparison).QuestionCount, 5U);
        EXPECT_EQ(run.program.Sessions().Of(ExerciseKind::IntervalComparison).CorrectCount, 3U);

        ASSERT_TRUE(run.Close());
        EXPECT_EQ(prompts.Count(QStringLiteral("yesnocancel")), 1);
        EXPECT_EQ(prompts.Count(QStringLiteral("error")), 0);
    }

    // The result file holds the run under the comparison's kind.
    const std::vector<TResultRec> stored = StoredResults(installation);
    ASSERT_EQ(stored.size(), 1U);
    const TResultRec& rec = stored.front();
    EXPECT_EQ(rec.Kind, KindNumber(ExerciseKind::IntervalComparison));
    EXPECT_EQ(rec.Count, 5);
    EXPECT_EQ(rec.Score, 3);
}

TEST(ShellEndToEnd, RhythmImitationFromTheStartMenuPlaysAQuestion)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ry Thm")};
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    run.program.StartMenu().KindButton(ExerciseKind::RhythmImitation)->click();
    auto* imitation =
        dynamic_cast<TRytmeImit*>(run.program.Exercises().Rhythm(ExerciseKind::RhythmImitation));
    ASSERT_NE(imitation, nullptr);
    EXPECT_EQ(run.Window().ShownView(), imitation);
    EXPECT_EQ(run.program.State().CurrentKind, ExerciseKind::RhythmImitation);
    ExpectNoEmptyText(run.Window());

    // F5 on the main window plays a rhythm after its count-in bar; the sequencer's codes reach
    // the window: the count-in cell gives way to the first bar's.
    Key(&run.Window(), Qt::Key_F5);
    const RytmeImitModel& model = imitation->Model();
    EXPECT_TRUE(model.Recording);
    EXPECT_EQ(model.Phase, 1);
    EXPECT_TRUE(imitation->ControlButtons->Model().ButtonEnabled[4]);
    ASSERT_TRUE(RunUntil([&] { return model.Phase == 2; }));
    EXPECT_EQ(imitation->Label4->text(), model.Texts.Playing);
    Key(&run.Window(), Qt::Key_F9); // stop
    EXPECT_FALSE(model.Recording);
    EXPECT_EQ(model.Phase, 0);
    prompts.defaultButton = PromptButton::No;
    EXPECT_TRUE(run.Close());
}

// Stopping a rhythm exercise's music leaves the visual metronome at rest: no beat stays lit, and
// no boxes of the stopped bar's time signature stay for the next exercise's bars.
TEST(ShellEndToEnd, StoppingARhythmLeavesTheVisualMetronomeAtRest)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ry Thm")};
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    const MetronomePaintBox& metronome = run.Window().MetronomeBox();
    struct Case
    {
        ExerciseKind kind;
        MainControl button;
        Qt::Key play;
    };
    // Each kind is entered straight from the one before, as a student switches between them.
    for (const Case& c :
         {Case{ExerciseKind::RhythmImitation, MainControl::Speed4, Qt::Key_F5},
          Case{ExerciseKind::RhythmReading, MainControl::Speed5, Qt::Key_F6},
          Case{ExerciseKind::RhythmErrorDetection, MainControl::Speed6, Qt::Key_F6}}) {
        SCOPED_TRACE(KindNumber(c.kind));
        run.Window().Button(c.button)->click();
        run.Window().Button(MainControl::SpeedButton1)->click();
        ASSERT_EQ(run.Window().ShownView(), run.program.Exercises().Window(c.kind));
        run.Window().SetTempoPosition(250);
        Key(&run.Window(), c.play);
        ASSERT_TRUE(RunUntil([&] { return metronome.Beat() != 0; }));
        Key(&run.Window(), Qt::Key_F9);
        EXPECT_EQ(metronome.Beat(), 0);
        EXPECT_EQ(metronome.BeatsPerBar(), 0) << "the stopped bar's boxes are gone";
    }
    // Error detection's playback that runs to its end rests the metronome as well.
    TExerciseBaseClass* errors = run.program.Exercises().Window(ExerciseKind::RhythmErrorDetection);
    Key(&run.Window(), Qt::Key_F6);
    ASSERT_TRUE(RunUntil([&] { return metronome.Beat() != 0; }));
    ASSERT_TRUE(RunUntil([&] { return !errors->ControlButtons->Model().ButtonEnabled[4]; }));
    EXPECT_EQ(metronome.Beat(), 0);
    EXPECT_EQ(metronome.BeatsPerBar(), 0);
    prompts.defaultButton = PromptButton::No;
    EXPECT_TRUE(run.Close());
}

// Rhythm reading is reached from the start menu with its notation shown and the language's
// texts; F6 starts a performance that the sequencer's bars reach, a Space tap is judged at the
// end of a one-bar rhythm, and a run of five is stored under the reading's kind.
TEST(ShellEndToEnd, RhythmReadingFromTheStartMenuJudgesATapAndIsStored)
{
    Installation installation;
    {
        ScriptedPrompts prompts;
        prompts.texts = {QStringLiteral("Ry Reader")};
        prompts.buttons = {PromptButton::Yes}; // store the results on closing
        ProgramRun run(installation, prompts);
        ASSERT_TRUE(run.started);
        run.program.StartMenu().KindButton(ExerciseKind::RhythmReading)->click();
        auto* reading =
            dynamic_cast<TRytmeLaes*>(run.program.Exercises().Window(ExerciseKind::RhythmReading));
        ASSERT_NE(reading, nullptr);
        ASSERT_EQ(run.Window().ShownView(), reading);
        EXPECT_GT(reading->Model().Rytme().Count(0), 0);
        EXPECT_FALSE(reading->Model().TurnText.isEmpty());
        EXPECT_FALSE(reading->Klap->text().isEmpty());
        ExpectNoEmptyText(run.Window());

        // One fast bar, so the test waits a second at most for each bar.
        ExerciseSetup setup = run.program.Setup().CurrentSetup;
        setup.RhythmReading.Bars = 1;
        setup.RhythmReading.Tempo = 250;
        reading->ApplyRhythmSetup(setup, reading->RhythmModel().Settings(), false);
        run.Window().SetTempoPosition(250); // the tempo slider: the sequencer and the window
        EXPECT_EQ(reading->Model().Rytme().Tempo, 250);
        Key(&run.Window(), Qt::Key_F6);
        ASSERT_TRUE(reading->Model().Recording);
        EXPECT_TRUE(reading->ControlButtons->Model().ButtonEnabled[4]);
        ASSERT_TRUE(RunUntil([&] { return reading->Label4->text() == reading->Model().TurnText; }));
        Key(&run.Window(), Qt::Key_Space);
        ASSERT_TRUE(RunUntil(
            [&] { return run.program.Sessions().Of(ExerciseKind::RhythmReading).Answered; }));
        EXPECT_FALSE(reading->Label4->text().isEmpty()) << "the verdict";
        // Four more, each tapped at once (a run needs five answers to be offered for storing).
        for (std::uint32_t n = 2; n <= 5; ++n) {
            Key(&run.Window(), Qt::Key_F6);
            Key(&run.Window(), Qt::Key_Space);
            ASSERT_TRUE(RunUntil([&] {
                return run.program.Sessions().Of(ExerciseKind::RhythmReading).QuestionCount == n;
            }));
        }
        EXPECT_TRUE(run.program.Sessions().Of(ExerciseKind::RhythmReading).Answered);
        SavePicture(run.Window(), QStringLiteral("shell-rhythm-reading.png"));

        ASSERT_TRUE(run.Close());
        EXPECT_EQ(prompts.Count(QStringLiteral("yesnocancel")), 1);
        EXPECT_EQ(prompts.Count(QStringLiteral("error")), 0);
    }

    const std::vector<TResultRec> stored = StoredResults(installation);
    ASSERT_EQ(stored.size(), 1U);
    const TResultRec& rec = stored.front();
    EXPECT_EQ(rec.Kind, KindNumber(ExerciseKind::RhythmReading));
    EXPECT_EQ(rec.Count, 5);
}

// Rhythm error detection is reached from the start menu with its texts from the language file;
// the first question is there without sound, F6 plays its changed rhythm, and the checks of a
// run are stored under the kind as the mean of their scores.
TEST(ShellEndToEnd, RhythmErrorDetectionFromTheStartMenuPlaysScoresAndIsStored)
{
    Installation installation;
    {
        ScriptedPrompts prompts;
        prompts.texts = {QStringLiteral("Ed")};
        prompts.buttons = {PromptButton::Yes}; // store the results on closing
        ProgramRun run(installation, prompts);
        ASSERT_TRUE(run.started);
        run.program.StartMenu().KindButton(ExerciseKind::RhythmErrorDetection)->click();
        auto* window = qobject_cast<TRytmeKorr*>(
            run.program.Exercises().Window(ExerciseKind::RhythmErrorDetection));
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(run.Window().ShownView(), window);
        EXPECT_EQ(run.program.State().CurrentKind, ExerciseKind::RhythmErrorDetection);
        RytmeKorrModel& model = window->Model();
        ASSERT_TRUE(model.HasQuestion());
        EXPECT_GT(model.Rytme().Count(1), 0);
        EXPECT_EQ(window->Label6->text(), QStringLiteral("The rhythm as written:"));
        EXPECT_EQ(model.Texts().MarkText,
                  QStringLiteral("Mark the wrong notes, then press Check."));
        ExpectNoEmptyText(run.Window());

        Key(&run.Window(), Qt::Key_F6);
        EXPECT_TRUE(model.Playing);
        EXPECT_TRUE(window->ControlButtons->Model().ButtonEnabled[4]);
        // The count-in's code comes back from the sequencer: the rhythm itself is playing.
        ASSERT_TRUE(RunUntil([&] { return model.InstructionText == model.Texts().PlayingText; }));
        EXPECT_EQ(model.MarkedBar[0], 1);
        Key(&run.Window(), Qt::Key_F9);
        EXPECT_FALSE(model.Playing);

        // Five checks, every other one with all changes marked.
        std::uint32_t sum = 0;
        for (int q = 0; q < 5; ++q) {
            SCOPED_TRACE(q);
            if (q > 0) {
                Key(&run.Window(), Qt::Key_F5);
                ASSERT_TRUE(model.Playing) << "a new question plays at once";
                Key(&run.Window(), Qt::Key_F9);
            }
            if (q % 2 == 0) {
                for (const RhythmCorrection& c : model.Rytme().Corrections) {
                    for (int j = c.NoteIndex;
                         j <= c.NoteIndex + (c.Change == RhythmChange::Split ? 0 : 1); ++j) {
                        const RhythmNote& note = model.Rytme().Note(0, j);
                        model.ClickWritten(QPoint(note.X + 3, note.Line * kRhythmLineHeight + 40));
                    }
                }
            }
            window->FourthButtonAction();
            ASSERT_TRUE(run.program.Sessions().Of(ExerciseKind::RhythmErrorDetection).Answered);
            EXPECT_EQ(model.LastScore, q % 2 == 0 ? 100 : 0);
            sum += model.LastScore;
        }
        EXPECT_EQ(run.program.Sessions().Of(ExerciseKind::RhythmErrorDetection).QuestionCount, 5U);
        EXPECT_EQ(run.program.Sessions().Of(ExerciseKind::RhythmErrorDetection).CorrectCount, sum);

        ASSERT_TRUE(run.Close());
        EXPECT_EQ(prompts.Count(QStringLiteral("error")), 0);
    }

    const std::vector<TResultRec> stored = StoredResults(installation);
    ASSERT_EQ(stored.size(), 1U);
    const TResultRec& rec = stored.front();
    EXPECT_EQ(rec.Kind, KindNumber(ExerciseKind::RhythmErrorDetection));
    EXPECT_EQ(rec.Count, 5);
    EXPECT_EQ(rec.Score, 300 / 5);
}

} // namespace
} // namespace pv
