// The program settings command: each value the dialog changes reaches its target on OK and only
// then, Cancel changes nothing, MIDI input is lent to the dialog and given back, and nothing is
// written to Setting.dat.
#include "SettingsDialogRig.h"
#include "exercises/items/ItemTables.h"
#include "music/data/DataFiles.h"
#include "shell/settings/ProgramSettingsCommand.h"
#include "shell/state/AppState.h"
#include "support/NoWait.h"

#include <algorithm>
#include <functional>
#include <string>

#include <QFileInfo>

#include <gtest/gtest.h>

namespace pv {
namespace {

using Log = std::vector<std::string>;

std::string Text(const QString& text)
{
    return text.toStdString();
}

class RecordingTargets final : public IProgramSettingsTargets
{
public:
    void SetOutputDelay(std::uint16_t ms) override { Add("delay " + std::to_string(ms)); }
    bool LoadLanguageFile(const QString& path) override
    {
        Add("language " + Text(QFileInfo(path).fileName()));
        return languageLoads;
    }
    void LoadDialogTexts(const QString& path) override
    {
        dialogTexts.push_back(QFileInfo(path).fileName());
    }
    void SetHelpFile(const QString& path) override
    {
        Add("help " + Text(QFileInfo(path).fileName()));
    }
    void ShowScore(ExerciseKind kind) override { Add("score " + std::to_string(KindNumber(kind))); }
    void RefillSetupPage(ExerciseKind kind) override
    {
        Add("setup page " + std::to_string(KindNumber(kind)));
    }
    void PushSetupToForms() override { Add("push setup"); }
    void ApplyFontToForms(const FontSpec& font) override
    {
        Add("font " + Text(font.Name) + " " + std::to_string(font.Size) + " " +
            std::to_string(font.Style));
    }
    void ApplyColorToForms(std::uint32_t colour) override
    {
        Add("colour " + std::to_string(colour));
    }
    void RepaintRhythmNotation(ExerciseKind kind) override
    {
        Add("rhythm notation " + std::to_string(KindNumber(kind)));
    }
    void SetAutoNewQuestTimerInterval(int ms) override { Add("auto timer " + std::to_string(ms)); }
    void WaveInSetup(std::uint8_t r, std::uint8_t t, std::uint8_t hp) override
    {
        Add("microphone " + std::to_string(r) + " " + std::to_string(t) + " " + std::to_string(hp));
    }
    void SetControlNotes(const ControlNoteSet& notes) override { controlNotes = notes; }
    void ApplyShownControls(std::uint32_t mask) override { Add("tips " + std::to_string(mask)); }
    void RepaintNoteView(ExerciseKind kind) override
    {
        Add("note view " + std::to_string(KindNumber(kind)));
    }
    void MirrorSettings() override { ++mirrors; }
    void ReapplySetup(ExerciseKind kind) override
    {
        Add("reapply " + std::to_string(KindNumber(kind)));
    }
    std::uint8_t MidiInputTarget() const override { return target; }
    void SetMidiInputTarget(std::uint8_t value) override
    {
        target = value;
        targets.push_back(value);
    }

    void Add(const std::string& entry) { log.push_back(entry); }

    Log log;
    bool languageLoads = true;
    std::vector<QString> dialogTexts;
    ControlNoteSet controlNotes;
    int mirrors = 0;
    std::uint8_t target = 4;
    std::vector<std::uint8_t> targets;
};

/// The window: runs the user's actions on the model while "open", then closes as told.
class ScriptedDialog final : public IProgramSettingsDialog
{
public:
    ScriptedDialog(ProgramSettingsModel& model, std::function<bool(ProgramSettingsModel&)> user)
        : m_model(model), m_user(std::move(user))
    {
    }
    bool Exec() override { return m_user ? m_user(m_model) : false; }

private:
    ProgramSettingsModel& m_model;
    std::function<bool(ProgramSettingsModel&)> m_user;
};

class ProgramSettingsCommandTest : public ::testing::Test
{
protected:
    ProgramSettingsCommandTest()
    {
        app.Users.CurrentUser = std::make_shared<TUserInfo>();
        app.Users.CurrentUser->Record.UserId = 1;
        app.Users.CurrentUser->Record.UserKind = 1;
        app.ProgramSettings = rig.settings;
        SetItemAreaLanguage(items, QStringLiteral("English"));
        state.CurrentKind = ExerciseKind::ChordIdentification;
        state.CurrentView = MainView::Exercise;
    }

    /// Opens the dialog, lets the user act, closes it with OK when the user says so.
    void Run(std::function<bool(ProgramSettingsModel&)> user)
    {
        m_user = std::move(user);
        command.Opstning1Click();
    }

    test::SettingsDialogRig rig;
    test::NoWait wait;
    DataFiles data{Folders{rig.folder.Path(), rig.folder.Path() + QStringLiteral("Data/")},
                   rig.prompts, wait, rig.strings};
    AppState app;
    ItemTables items = BuiltInItemTables();
    MainWindowState state;
    RecordingTargets targets;
    bool settingsDialogOpen = false;
    bool openWhileShown = false;
    std::function<bool(ProgramSettingsModel&)> m_user;
    ProgramSettingsCommand command{ProgramSettingsCommandContext{
        app,
        items,
        rig.LanguageFolder(),
        rig.MediaFolder(),
        state,
        targets,
        rig.services,
        rig.prompts,
        rig.strings,
        settingsDialogOpen,
        [this](ProgramSettingsModel& model) -> std::unique_ptr<IProgramSettingsDialog> {
            return std::make_unique<ScriptedDialog>(model, [this](ProgramSettingsModel& m) {
                openWhileShown = settingsDialogOpen && command.OpenModel() == &m &&
                                 targets.target == kMidiInSettingsDialog;
                return m_user(m);
            });
        },
        [this](bool asDefaults) { targets.Add(asDefaults ? "store defaults" : "store"); },
    }};
};

TEST_F(ProgramSettingsCommandTest, OkPutsEachChangedValueIntoForceAtOnce)
{
    struct Case
    {
        const char* name;
        std::function<void(ProgramSettingsModel&)> change;
        Log expected; ///< what reaches the targets
        std::function<bool(const TSettingsRec&)> stored;
    };
    const Case cases[] = {
        {"nothing changed", [](ProgramSettingsModel&) {}, {"delay 0"}, {}},
        {"output delay",
         [](ProgramSettingsModel& m) { m.SetOutputDelay(120); },
         {"delay 120"},
         [](const TSettingsRec& s) { return s.OutputDelay == 120; }},
        {"language",
         [](ProgramSettingsModel& m) { m.ChooseLanguage(0); },
         {"delay 0", "language Dansk.LAN", "help Dansk.HLP", "score 3", "push setup"},
         [](const TSettingsRec& s) { return s.Language == QStringLiteral("English"); }},
        {"font",
         [](ProgramSettingsModel& m) {
             m.SetFont({QStringLiteral("Liberation Serif"), 14, 2});
         },
         {"delay 0", "font Liberation Serif 14 2"},
         [](const TSettingsRec& s) {
             return s.FontName == QStringLiteral("Liberation Serif") && s.FontSize == 14 &&
                    s.FontStyle == 2;
         }},
        {"colour alone does not apply the font again",
         [](ProgramSettingsModel& m) { m.SetColour(0x00FFEEDD); },
         {"delay 0", "colour 16772829"},
         [](const TSettingsRec& s) { return s.BackgroundColor == 0x00FFEEDDU; }},
        {"spacing, outside the rhythm exercises",
         [](ProgramSettingsModel& m) { m.SetRhythmSpacing(2); },
         {"delay 0"},
         [](const TSettingsRec& s) { return s.RhythmSpacing == 2; }},
        {"automatic question delay 0 s gives 100 ms",
         [](ProgramSettingsModel& m) { m.SetAutoNewQuestionDelay(0); },
         {"delay 0", "auto timer 100"},
         [](const TSettingsRec& s) { return s.AutoNewQuestionDelay == 0; }},
        {"automatic question on: the exercise takes it",
         [](ProgramSettingsModel& m) { m.SetAutoNewQuestion(true); },
         {"delay 0", "reapply 3"},
         [](const TSettingsRec& s) { return s.AutoNewQuestion; }},
        {"only after a right answer and the repeat threshold",
         [](ProgramSettingsModel& m) {
             m.SetOnlyAfterRight(true);
             m.SetRepeatThreshold(75);
         },
         {"delay 0", "reapply 3"},
         [](const TSettingsRec& s) { return s.AutoNewOnlyAfterRight && s.RepeatThreshold == 75; }},
        {"microphone",
         [](ProgramSettingsModel& m) { m.SetToneSensitivity(6); },
         {"delay 0", "microphone 2 6 0"},
         [](const TSettingsRec& s) { return s.ToneSensitivity == 6; }},
        {"high precision",
         [](ProgramSettingsModel& m) { m.SetHighPrecision(true); },
         {"delay 0", "microphone 2 3 1"},
         [](const TSettingsRec& s) { return s.HighPrecision; }},
        {"answer sounds",
         [](ProgramSettingsModel& m) {
             m.SetSoundEffects(false);
             m.ChooseRightSound(0);
         },
         {"delay 0"},
         [](const TSettingsRec& s) {
             return !s.SoundEffectsOn && s.RightSound == QStringLiteral("Bell") &&
                    s.WrongSound == QStringLiteral("Wrong");
         }},
        {"remote control",
         [](ProgramSettingsModel& m) {
             m.SetMidiRemote(true);
             m.SetPedalAsEnter(false);
             m.SetControlNote(0, 48);
         },
         {"delay 0"},
         [](const TSettingsRec& s) {
             return s.MidiRemoteControl && !s.SustainAsEnter && s.RemoteNotes[0] == 48;
         }},
        {"intro",
         [](ProgramSettingsModel& m) { m.SetPlayIntro(false); },
         {"delay 0"},
         [](const TSettingsRec& s) { return !s.PlayIntro; }},
        {"every tip again",
         [](ProgramSettingsModel& m) { m.ResetAllTips(); },
         {"delay 0", "tips 255"},
         [](const TSettingsRec& s) { return s.TipsMask == 255U; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        app.ProgramSettings = rig.settings;
        app.ProgramSettings.TipsMask = 0x0F;
        SetItemAreaLanguage(items, QStringLiteral("English"));
        targets.log.clear();
        targets.mirrors = 0;
        state.CurrentKind = ExerciseKind::IntervalComparison; // no note view, no rhythm
        Run([&](ProgramSettingsModel& m) {
            c.change(m);
            return true;
        });
        EXPECT_EQ(targets.log, c.expected);
        EXPECT_EQ(targets.mirrors, 1) << "the windows' copies follow on every OK";
        if (c.stored) {
            EXPECT_TRUE(c.stored(app.ProgramSettings));
        }
    }
}

TEST_F(ProgramSettingsCommandTest, TheViewAndKindInForceDecideWhatIsDrawnAgain)
{
    struct Case
    {
        const char* name;
        MainView view;
        std::optional<ExerciseKind> kind;
        Log expected;
    };
    const Case cases[] = {
        {"a rhythm exercise",
         MainView::Exercise,
         ExerciseKind::RhythmReading,
         {"delay 0", "language Dansk.LAN", "help Dansk.HLP", "score 5", "push setup",
          "rhythm notation 5"}},
        {"an identification exercise",
         MainView::Exercise,
         ExerciseKind::Scales,
         {"delay 0", "language Dansk.LAN", "help Dansk.HLP", "score 8", "push setup",
          "note view 8"}},
        {"the setup view",
         MainView::ExerciseSetup,
         ExerciseKind::Scales,
         {"delay 0", "language Dansk.LAN", "help Dansk.HLP", "setup page 8", "push setup"}},
        {"the start menu",
         MainView::Exercise,
         std::nullopt,
         {"delay 0", "language Dansk.LAN", "help Dansk.HLP", "push setup"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        app.ProgramSettings = rig.settings;
        SetItemAreaLanguage(items, QStringLiteral("English"));
        targets.log.clear();
        state.CurrentView = c.view;
        state.CurrentKind = c.kind;
        Run([](ProgramSettingsModel& m) {
            m.ChooseLanguage(0);
            m.SetRhythmSpacing(3);
            return true;
        });
        EXPECT_EQ(targets.log, c.expected);
    }
}

TEST_F(ProgramSettingsCommandTest, ALanguageIsTakenOnlyWhenItsFileCouldBeRead)
{
    state.CurrentKind = ExerciseKind::IntervalComparison; // no note view to draw again
    // The language in force is chosen again: nothing is read.
    Run([](ProgramSettingsModel& m) {
        m.ChooseLanguage(1);
        return true;
    });
    EXPECT_EQ(targets.log, (Log{"delay 0"}));

    // A file that cannot be read leaves the language, the help file and the setups as they
    // were (the loader has told why).
    targets.log.clear();
    targets.languageLoads = false;
    Run([](ProgramSettingsModel& m) {
        m.ChooseLanguage(2);
        return true;
    });
    EXPECT_EQ(targets.log, (Log{"delay 0", "language Norsk.lan"}));
    EXPECT_EQ(ItemAreaLanguage(items), QStringLiteral("English"));

    // One that is read becomes the language the texts are in; the settings take it when they
    // are stored.
    targets.log.clear();
    targets.languageLoads = true;
    Run([](ProgramSettingsModel& m) {
        m.ChooseLanguage(2);
        return true;
    });
    EXPECT_EQ(ItemAreaLanguage(items), QStringLiteral("Norsk"));
    EXPECT_EQ(command.LanguageInForce(), QStringLiteral("Norsk"));
    EXPECT_EQ(app.ProgramSettings.Language, QStringLiteral("English"));
    // The next opening reads the dialog's texts in the language now in force.
    Run([](ProgramSettingsModel& m) {
        EXPECT_EQ(m.LanguageText(), QStringLiteral("Norsk"));
        return false;
    });
    EXPECT_EQ(targets.dialogTexts.back(), QStringLiteral("Norsk.lan"));
}

TEST_F(ProgramSettingsCommandTest, CancelChangesNothingAndMidiInputGoesBackToWhoHadIt)
{
    const TSettingsRec before = app.ProgramSettings;
    Run([](ProgramSettingsModel& m) {
        m.SetPianoProgram(40);
        m.SetColour(0x123456);
        m.ChooseLanguage(0);
        m.ResetAllTips();
        return false;
    });
    EXPECT_TRUE(openWhileShown) << "open, listening and the model reachable while shown";
    EXPECT_EQ(app.ProgramSettings, before);
    EXPECT_TRUE(targets.log.empty());
    EXPECT_EQ(targets.targets, (std::vector<std::uint8_t>{kMidiInSettingsDialog, 0, 4}));
    EXPECT_FALSE(settingsDialogOpen);
    EXPECT_EQ(command.OpenModel(), nullptr);
    EXPECT_EQ(targets.dialogTexts, (std::vector<QString>{QStringLiteral("English.LAN")}));
}

TEST_F(ProgramSettingsCommandTest, MidiInputReachesTheOpenDialogOnly)
{
    command.MidiInput(test::Msg(0xC0, 40)); // no dialog: dropped
    Run([this](ProgramSettingsModel& m) {
        m.FocusInstrumentControl(LearnTarget::PianoProgram);
        command.MidiInput(test::Msg(0xC0, 40));
        return true;
    });
    EXPECT_EQ(app.ProgramSettings.PianoVoice.Program, 40);
}

TEST_F(ProgramSettingsCommandTest, NothingIsWrittenToTheSettingsFileUnlessTheDefaultsAreAsked)
{
    const QString settingsFile = data.SettingsFilePath();
    Run([](ProgramSettingsModel& m) {
        m.SetPianoVelocity(50);
        m.ChooseMidiOut(1);
        return true;
    });
    EXPECT_FALSE(QFileInfo::exists(settingsFile));
    EXPECT_EQ(std::count(targets.log.begin(), targets.log.end(), "store defaults"), 0);

    app.Users.CurrentUser->Record.UserKind = 3;
    rig.prompts.buttons = {PromptButton::Yes};
    Run([](ProgramSettingsModel& m) {
        m.ChooseMidiOut(0);
        return true;
    });
    EXPECT_EQ(std::count(targets.log.begin(), targets.log.end(), "store defaults"), 1);
}

TEST_F(ProgramSettingsCommandTest, ADialogThatCannotBeMadeIsToldAndOneOpenAtATime)
{
    ProgramSettingsCommand broken{ProgramSettingsCommandContext{
        app,
        items,
        rig.LanguageFolder(),
        rig.MediaFolder(),
        state,
        targets,
        rig.services,
        rig.prompts,
        rig.strings,
        settingsDialogOpen,
        [](ProgramSettingsModel&) { return std::unique_ptr<IProgramSettingsDialog>(); },
        {}}};
    broken.Opstning1Click();
    ASSERT_EQ(rig.prompts.asked.size(), 1U);
    EXPECT_EQ(rig.prompts.asked[0].text, QStringLiteral("Could not open Program settings"));
    EXPECT_FALSE(settingsDialogOpen);
    EXPECT_TRUE(targets.targets.empty()) << "MIDI input was never taken";

    int opened = 0;
    Run([&](ProgramSettingsModel&) {
        ++opened;
        command.Opstning1Click(); // the menu again while the dialog is open
        return false;
    });
    EXPECT_EQ(opened, 1);
}

} // namespace
} // namespace pv
