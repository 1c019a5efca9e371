// The running program's object graph: the services in the order they depend on each other, the
// main window, its exercise windows and start menu, and the decisions that join them. The
// program's main builds it with the real message boxes and sound; the end-to-end test builds
// the same graph with scripted answers and a synthesizer that renders into memory.
#pragma once

#include "exercises/base/AnswerSound.h"
#include "exercises/identification/AkkordModel.h"
#include "exercises/identification/InstrumentGeometry.h"
#include "exercises/items/ItemTables.h"
#include "exercises/rhythmexercise/RhythmExerciseModel.h"
#include "exercises/session/ExerciseSession.h"
#include "exercises/setup/SetupOperations.h"
#include "music/data/DataFiles.h"
#include "music/devices/AudioCapture.h"
#include "music/devices/RealtimeKitRaiser.h"
#include "music/devices/SystemMidiInDevices.h"
#include "music/devices/SystemMidiOutDevices.h"
#include "music/input/MidiIn.h"
#include "music/input/WaveOutVolume.h"
#include "music/sequencer/MidiOut.h"
#include "music/sequencer/MidiVoiceSettings.h"
#include "music/sequencer/NotifyRouting.h"
#include "music/sequencer/Sequencer.h"
#include "music/staff/Sheet.h"
#include "music/strings/UIStrings.h"
#include "shell/commands/CommandRegistry.h"
#include "shell/commands/ModalServices.h"
#include "shell/language/LanguageLoader.h"
#include "shell/language/LanguageTargets.h"
#include "shell/language/ui/WidgetTexts.h"
#include "shell/main/MainTimers.h"
#include "shell/main/MainWindowUi.h"
#include "shell/results/ExerciseClock.h"
#include "shell/results/ResultBookkeeping.h"
#include "shell/settings/ProgramSettingsApplier.h"
#include "shell/state/AppState.h"
#include "shell/tutor/ui/TutorDialogs.h"

#include <bitset>
#include <functional>
#include <memory>

#include <QPointer>

namespace pv {

class AnswerInputCommands;
class AnswerSoundEffect;
class TVelkommen;
class TExerciseBaseClass;
class TRhythmWindow;
class MicEngine;
class MicInput;
class MicrophoneControls;
class MidiInRouter;
class MainMenuCommands;
class SettingsMenuCommands;
struct MainWindowHandlers;
class ExerciseMidiInTargets;
class ExerciseWindowSet;
class MetronomeControls;
class PellivarkMainModel;
class QtPrompts;
class SettingsFeatures;
class IDocumentOpener;
class FluidMidiFilePlayer;
class KeyStateTracker;
class StartMenuIntro;
class TLevels;
class TMenuDialog;
class TPellivarkMain;
class ResultsCommands;
class ReportsCommand;
class ExportImportCommand;
class TTutorDefine;
class TChooseTutor;
class TChordOps;
class TMelodyOps;
class TRytmeOps;
class TutorRun;

struct ProgramOptions
{
    Folders ProgramFolders;
    /// The first argument of the command line; empty when none was given.
    QString CommandLineArgument;
    /// The boxes and dialogs; null: real ones over the main window.
    IPrompts* Prompts = nullptr;
    /// The built-in synthesizer plays through the system's audio (false: renders silently).
    bool SynthAudio = true;
    /// The MIDI outputs; null: the system's (the built-in synthesizer and the ALSA ports).
    /// Must outlive the program.
    IMidiOutDevices* MidiDevices = nullptr;
    /// Hides the splash window (the first show ends with it).
    std::function<void()> HideSplash;
    /// The MIDI inputs; null: the system's (the ALSA ports). Must outlive the program.
    IMidiInDevices* MidiInDevices = nullptr;
    /// Makes the microphone's capture; null: the system's default input device.
    std::function<std::unique_ptr<IAudioCapture>()> MicCapture = {};
    /// Shows the program's modal dialogs (the tutor's, the setup chooser) and gives their
    /// results; empty: exec().
    DialogRunner RunDialog = {};
    /// Where the first-run value is kept (an INI file); empty: the user's own settings store.
    QString FirstRunStorePath = {};
    /// The built-in synthesizer's sound font; empty: the first General MIDI font installed.
    QString SoundFont = {};
    /// The built-in synthesizer's audio drivers tried in turn; empty: the usual ones.
    QStringList SynthAudioDrivers = {};
    /// The first-run wizard is offered when a start needs it (the program's main offers it;
    /// a test that drives the wizard does too).
    bool OfferConfigWizard = false;
    /// Where the web and mail links open; null: the desktop. Must outlive the program.
    IDocumentOpener* Links = nullptr;
};

class PellivarkProgram final : public IProgramSettingsService,
                               public IMidiInputStart,
                               public INotifyTargets,
                               public IMidiVoiceSettings,
                               public IResultTutor
{
public:
    /// Builds every service and window; a window that cannot be made is reported with its
    /// fixed message (Failed() then says whether the program can run at all).
    explicit PellivarkProgram(ProgramOptions options);
    ~PellivarkProgram() override;
    PellivarkProgram(const PellivarkProgram&) = delete;
    PellivarkProgram& operator=(const PellivarkProgram&) = delete;

    /// The main window could not be made.
    bool Failed() const { return m_window == nullptr; }

    TPellivarkMain& MainWindow() { return *m_window; }
    PellivarkMainModel& Model() { return *m_model; }
    /// The data files' services (folders, prompts, what was reported).
    DataFiles& Data() { return m_data; }
    /// The application state: users, settings, results, setup and the main window's state.
    AppState& App() { return m_app; }
    /// The item tables in force (`ExerciseItems`), the user's own items among them.
    ItemTables& Items() { return m_items; }
    ExerciseWindowSet& Exercises() { return *m_exercises; }
    TMenuDialog& StartMenu() { return *m_startMenu; }
    /// The setup chooser (`LevelsForm`); null when it could not be made.
    TLevels* SetupChooser();
    /// The start menu as the main window's decisions see it.
    IStartMenu& StartMenuService();
    const UIStringTable& Strings() const { return m_strings; }
    const LanguageTargets& TextTargets() const { return m_targets; }
    /// Up while a box, a busy wait or a modal dialog is open.
    const ModalGuard& Modal() const { return m_modalGuard; }
    MainWindowState& State() { return m_app.MainWindow; }
    /// Every kind's counters, item statistics and clock, with or without its window.
    ExerciseSessions& Sessions() { return m_app.Sessions; }
    SetupState& Setup() { return m_app.Setup; }
    ExerciseClock& Clock() { return *m_clock; }
    TMidiOut& MidiOut() { return m_midiOut; }
    const Sequencer& PlaybackSequencer() const { return m_sequencer; }
    TMidiIn& MidiIn() { return m_midiIn; }
    /// The system's MIDI outputs, the built-in synthesizer among them.
    SystemMidiOutDevices& SystemDevices() { return m_systemDevices; }
    /// The answer sounds, at the wave-out volume.
    AnswerSoundEffect& AnswerSound() { return *m_answerSound; }
    /// The microphone engine (samples can be pushed into it) and the program's side of it.
    MicEngine& Microphone() { return *m_micEngine; }
    MicInput& MicrophoneInput() { return *m_micInput; }

    // IProgramSettingsService
    void ApplyProgramSettings() override;
    void StoreProgramSettings(bool asDefaults) override;

    // IMidiInputStart
    void StartMidiInput(ExerciseKind kind) override;

    // INotifyTargets
    bool SettingsDialogListening() const override;
    int CurrentExerciseKind() const override;
    QObject* Receiver(NotifyReceiver receiver, int exerciseKind) const override;

    // IMidiVoiceSettings
    MidiVoiceSettings MidiVoices() const override;

    // IResultTutor
    QString TutorTitle() const override;
    std::optional<QString> StepTitle(ExerciseKind kind, int step) const override;

    /// The main window's commands.
    CommandRegistry& Commands() { return m_commands; }
    /// The Answer Input menu.
    AnswerInputCommands& AnswerInput() { return *m_answerInput; }
    /// The splash as the About command shows it; null until it was asked for.
    TVelkommen* AboutWindow() const;

    /// The settings command, the first-run wizard, the tips and the links.
    SettingsFeatures& Features() { return *m_features; }
    /// The setup page of the item-based kinds.
    TChordOps* ChordOps() const { return m_chordOps; }
    /// The setup page of the rhythm kinds.
    TRytmeOps* RytmeOps() const { return m_rytmeOps; }
    /// The setup page of melody dictation.
    TMelodyOps* MelodyOps() const { return m_melodyOps; }

    /// The tutor run (its steps, labels and dialogs).
    TutorRun& Tutor() { return *m_tutorRun; }
    /// The results view and its commands, the reports, export and import; null when their
    /// window could not be made.
    ResultsCommands* Results() { return m_resultsCommands.get(); }
    ReportsCommand* Reports() { return m_reports.get(); }
    ExportImportCommand* ExportImport() { return m_exportImport.get(); }
    /// The tutor chooser, modal: 1 when a tutor was chosen, 2 when none was. Unset: none.
    void SetChooseTutor(std::function<int()> chooseTutor)
    {
        m_chooseTutor = std::move(chooseTutor);
    }

private:
    class MidiInSelection;
    class StartMenuAdapter;

    void MakeMainWindow();
    void MakeStandardForms();
    /// The results view, the export and import dialog and the reports command.
    void MakeResultForms();
    void MakeTutor();
    void WireTutor(MainWindowHandlers& handlers);
    /// Names a user's tutor for the statistics: the title its file's header holds.
    TutorTitleOf UsersTutorTitleOf() const;
    void WireWindow();
    /// Every feature's commands, registered before the window makes its actions of them.
    /// The results view's, the reports' and the export's commands: their one registration.
    bool RegisterResultCommands();
    void RegisterCommands();
    /// The current exercise window when a tick of timer reaches it, else null.
    TExerciseBaseClass* TimerTarget(MainExerciseTimer timer) const;
    /// The microphone button and the microphone's messages, wired to the windows.
    void WireMicrophone(MainWindowHandlers& handlers);
    /// The Answer Input menu over the settings, the exercise windows and the setup pages.
    void MakeAnswerInput(MainWindowHandlers& handlers);
    /// The splash again, with its build label (About).
    void ShowAbout();
    void ShowSetupChooser();
    /// The current exercise's playback, the sequencer, the intro and the answer sound.
    void StopAllSound();
    AkkordSettings IdentificationSettings() const;
    RhythmExerciseSettings RhythmSettings() const;
    /// Makes window the exercise window of the rhythm kind, playing through the program's
    /// output.
    void AddRhythmWindow(ExerciseKind kind, TRhythmWindow* window);
    AnswerSoundChoice AnswerSounds() const;
    void MirrorSettingsIntoWindow();
    void RegisterTexts();
    /// Where windows announce their language texts.
    TextTargetSink TextSink();
    LanguageContext& Language();

    ProgramOptions m_options;
    UIStringTable m_strings;
    /// Up while a box, a busy wait or a modal dialog of the program is open.
    ModalGuard m_modalGuard;
    std::unique_ptr<QtPrompts> m_ownPrompts;
    /// Every box the program shows goes through here, so the guard is up while it is open.
    GuardedPrompts m_guardedPrompts;
    IPrompts& m_prompts;
    EventPumpWait m_pumpWait;
    GuardedBusyWait m_wait;
    /// Runs the program's modal dialogs (the options' runner, else exec()) under the guard.
    DialogRunner m_runDialog;
    /// The main window's commands, each feature's rows registered once.
    CommandRegistry m_commands;
    DataFiles m_data;
    WaveOutVolume m_waveOut;
    RealtimeKitRaiser m_raiser;
    SystemMidiOutDevices m_systemDevices;
    IMidiOutDevices& m_devices;
    Sequencer m_sequencer;
    TMidiOut m_midiOut;
    std::unique_ptr<AnswerSoundEffect> m_answerSound;
    ItemTables m_items;
    /// Before the windows, which hold on to their kinds' sessions and the note spacing until
    /// they go.
    AppState m_app;
    SystemDateClock m_dateClock;
    TutorDialogTexts m_tutorTexts;
    std::unique_ptr<TTutorDefine> m_tutorDefine;
    std::unique_ptr<TutorDialogs> m_tutorDialogs;
    std::unique_ptr<TutorRun> m_tutorRun;
    std::function<int()> m_chooseTutor;
    /// The end of a tutor step waits in the event loop.
    bool m_tutorStepEndPosted = false;
    QPointer<TChooseTutor> m_chooser;
    SystemMidiInDevices m_systemInputs;
    TMidiIn m_midiIn;
    std::unique_ptr<MidiInSelection> m_midiInSelection;
    std::unique_ptr<ExerciseMidiInTargets> m_midiTargets;
    /// Where MIDI input goes, with the control notes; over the settings and the windows.
    std::unique_ptr<MidiInRouter> m_midiRouter;
    std::unique_ptr<MicEngine> m_micEngine;
    std::unique_ptr<MicInput> m_micInput;
    LanguageTargets m_targets;
    std::unique_ptr<LanguageContext> m_language;
    /// The accidental keys held on the keyboard, for the staves; it outlives the windows.
    std::unique_ptr<KeyStateTracker> m_heldKeys;

    std::unique_ptr<TPellivarkMain> m_window;
    std::unique_ptr<ExerciseWindowSet> m_exercises;
    std::unique_ptr<FluidMidiFilePlayer> m_introPlayer;
    std::unique_ptr<StartMenuIntro> m_intro;
    TMenuDialog* m_startMenu = nullptr;
    TRytmeOps* m_rytmeOps = nullptr;
    TMelodyOps* m_melodyOps = nullptr;
    QPointer<TLevels> m_levels;
    TChordOps* m_chordOps = nullptr;
    /// The MIDI input target before the item editor took the input.
    std::uint8_t m_midiTargetBeforeEditor = 0;
    std::unique_ptr<StartMenuAdapter> m_startMenuService;
    /// The exercise descriptions the start menu shows, by kind (language texts).
    std::array<QString, 10> m_descriptions{};
    std::unique_ptr<ExerciseClock> m_clock;
    std::unique_ptr<ResultBookkeeping> m_results;
    std::unique_ptr<ProgramSettingsApplier> m_applier;
    std::unique_ptr<PellivarkMainModel> m_model;
    std::unique_ptr<MetronomeControls> m_metronome;
    std::unique_ptr<MicrophoneControls> m_microphone;
    std::unique_ptr<SettingsMenuCommands> m_settingsMenu;
    std::unique_ptr<AnswerInputCommands> m_answerInput;
    QPointer<TVelkommen> m_about;
    std::unique_ptr<MainMenuCommands> m_menuCommands;
    /// The settings command, the first-run wizard, the tips and the links.
    std::unique_ptr<SettingsFeatures> m_features;
    std::unique_ptr<ResultsCommands> m_resultsCommands;
    std::unique_ptr<ReportsCommand> m_reports;
    std::unique_ptr<ExportImportCommand> m_exportImport;
};

} // namespace pv
