// The running program's object graph.
#include "shell/ui/PellivarkProgram.h"

#include "exercises/items/UserItemTables.h"
#include "exercises/ui/AnswerSoundEffect.h"
#include "exercises/ui/TAkkord.h"
#include "exercises/ui/TChordOps.h"
#include "exercises/ui/TControlButton.h"
#include "exercises/ui/TIntervalSam.h"
#include "exercises/ui/TLevels.h"
#include "exercises/ui/TMelodyOps.h"
#include "exercises/ui/TRhythmWindow.h"
#include "exercises/ui/TRytmeImit.h"
#include "exercises/ui/TRytmeKorr.h"
#include "exercises/ui/TRytmeLaes.h"
#include "exercises/ui/TRytmeOps.h"
#include "music/base/Clock.h"
#include "music/base/ExerciseKindUi.h"
#include "music/data/SharedFile.h"
#include "music/devices/FluidMidiFilePlayer.h"
#include "music/devices/MicEngine.h"
#include "music/input/MicInput.h"
#include "music/ui/KeyStateTracker.h"
#include "music/ui/QtPrompts.h"
#include "music/ui/TRangeBox.h"
#include "shell/answerinput/AnswerInputCommands.h"
#include "shell/language/ui/WidgetTexts.h"
#include "shell/main/MainCommands.h"
#include "shell/main/MidiInRouting.h"
#include "shell/main/PellivarkMainModel.h"
#include "shell/main/ui/ExerciseMidiInTargets.h"
#include "shell/main/ui/ExerciseWindowSet.h"
#include "shell/menu/MainMenuCommands.h"
#include "shell/metronome/MetronomeControls.h"
#include "shell/microphone/MicrophoneControls.h"
#include "shell/reports/ui/ReportsCommand.h"
#include "shell/results/ElapsedTime.h"
#include "shell/results/ui/ResultsCommands.h"
#include "shell/settings/FirstRunStore.h"
#include "shell/settings/ProgramSettingsApplier.h"
#include "shell/settings/SettingsMenuCommands.h"
#include "shell/setup/SetupCommands.h"
#include "shell/startmenu/StartMenuIntro.h"
#include "shell/startmenu/ui/TMenuDialog.h"
#include "shell/startmenu/ui/TVelkommen.h"
#include "shell/transfer/ui/ExportImportCommand.h"
#include "shell/tutor/TutorList.h"
#include "shell/tutor/TutorRun.h"
#include "shell/tutor/ui/TChooseTutor.h"
#include "shell/ui/SettingsFeatures.h"
#include "shell/ui/TPellivarkMain.h"

#include <algorithm>
#include <exception>

#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QToolButton>

namespace pv {

namespace {

/// The object name of the exercise window of kind.
QString FormName(ExerciseKind kind)
{
    return UiName(KindUi(kind).FormName);
}

/// The rhythm windows' tip.
constexpr int kRhythmTip = 6;

/// How often the microphone reports the note being sung.
constexpr int kMicReadingMs = 20;

std::size_t Slot(ExerciseKind kind)
{
    return static_cast<std::size_t>(KindNumber(kind) - 1);
}

/// A menu text as a window title: a title has no accelerator, so "&" marks go ("&&" is one
/// "&").
QString TitleOfMenuText(const QString& text)
{
    QString title;
    title.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'&') {
            title += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == u'&') {
            title += u'&';
            ++i;
        }
    }
    return title;
}

SoundRecord SoundOf(const SoundRec& rec)
{
    return SoundRecord{rec.Channel, rec.Program, rec.Velocity, rec.Note};
}

} // namespace

/// The start menu window as the main window's decisions see it.
class PellivarkProgram::StartMenuAdapter final : public IStartMenu
{
public:
    explicit StartMenuAdapter(TMenuDialog& menu) : m_menu(menu) {}
    void Start() override { m_menu.Start(); }
    void StopIntro() override { m_menu.StopIntro(); }
    std::optional<QString> WelcomeLine() const override
    {
        const QStringList& lines = m_menu.Model().Descriptions;
        if (lines.isEmpty())
            return std::nullopt;
        return lines.front();
    }
    void SetWelcomeLine(const QString& line) override
    {
        QStringList& lines = m_menu.Model().Descriptions;
        if (lines.isEmpty())
            return;
        lines.front() = line;
        m_menu.update();
    }

private:
    TMenuDialog& m_menu;
};

/// The MIDI input as the settings choose its device.
class PellivarkProgram::MidiInSelection final : public IMidiInputSelection
{
public:
    explicit MidiInSelection(TMidiIn& in) : m_in(in) {}
    void AddPlaceholder() override { m_in.AddPlaceholder(); }
    bool SelectByName(QString& name) override { return m_in.SelectByName(name); }

private:
    TMidiIn& m_in;
};

PellivarkProgram::PellivarkProgram(ProgramOptions options)
    : m_options(std::move(options)),
      m_ownPrompts(m_options.Prompts == nullptr ? std::make_unique<QtPrompts>() : nullptr),
      m_guardedPrompts(m_options.Prompts != nullptr ? *m_options.Prompts : *m_ownPrompts,
                       m_modalGuard),
      m_prompts(m_guardedPrompts), m_wait(m_pumpWait, m_modalGuard),
      m_runDialog([this](QDialog& dialog) {
          const ModalGuard::Scope open(m_modalGuard);
          return m_options.RunDialog ? m_options.RunDialog(dialog) : dialog.exec();
      }),
      m_data(m_options.ProgramFolders, m_prompts, m_wait, m_strings),
      m_systemDevices(SystemMidiOutDevices::Options{m_options.SynthAudio, m_options.SoundFont,
                                                    m_options.SynthAudioDrivers}),
      m_devices(m_options.MidiDevices != nullptr ? *m_options.MidiDevices : m_systemDevices),
      m_sequencer(SteadyClock::Instance(), Sequencer::Drive::OwnThread, {&m_raiser, true}),
      m_midiOut(m_devices, m_sequencer, m_prompts, m_strings), m_items(BuiltInItemTables()),
      m_midiIn(m_options.MidiInDevices != nullptr ? *m_options.MidiInDevices : m_systemInputs,
               SteadyClock::Instance(), m_prompts, m_strings),
      m_midiInSelection(std::make_unique<MidiInSelection>(m_midiIn)),
      m_settingsMenu(std::make_unique<SettingsMenuCommands>(m_app.ProgramSettings, [this] {
          if (m_app.MainWindow.CurrentKind)
              m_exercises->ApplySetupToExercise(*m_app.MainWindow.CurrentKind, false);
      }))
{
    SetUIStringDefaults(m_strings);
    // Made once; the capture opens only when the user switches the microphone on.
    m_micEngine = std::make_unique<MicEngine>(SteadyClock::Instance(),
                                              m_options.MicCapture
                                                  ? m_options.MicCapture()
                                                  : MakeQtAudioCapture(SteadyClock::Instance()));
    // The identification windows take a sung pitch once most of the latest readings agree,
    // and a sung note ends when the readings fall silent: readings every 20 ms take a new
    // note in about 60 ms.
    m_micEngine->SetReadingInterval(kMicReadingMs);
    m_micInput = std::make_unique<MicInput>(*m_micEngine);
    m_answerSound = std::make_unique<AnswerSoundEffect>();
    m_waveOut.AddTarget(*m_answerSound);
    m_midiOut.SetVoiceSettings(this);
    m_midiOut.SetNotifyTargets(this);
    // The accidental keys held while a staff note is pressed or dragged reach the staff in
    // whichever window has the focus: the tracker watches the whole application's keys.
    m_heldKeys = std::make_unique<KeyStateTracker>();
    QCoreApplication::instance()->installEventFilter(m_heldKeys.get());

    MakeMainWindow();
    if (m_window == nullptr)
        return;
    MakeResultForms();
    MakeStandardForms();
    WireWindow();
    RegisterCommands();
    m_window->BuildCommands(m_commands);
    RegisterTexts();
    // The built-in English before any language file: the program reads well without one.
    ApplyBuiltInTexts(Language());
    m_model->Lusk();
}

PellivarkProgram::~PellivarkProgram()
{
    // The destroy step. Playback stops first, so no note or notification is under way while
    // the windows that asked for it go; the windows go before the devices they play through;
    // the intro's player closes (without giving the output back) before the synthesizer goes.
    m_midiOut.StopQueue();
    if (m_answerSound)
        m_answerSound->Stop();
    // The microphone goes before the windows it reports to.
    if (m_microphone)
        m_microphone->Close();
    m_microphone.reset();
    m_features.reset();
    m_model.reset();
    m_tutorRun.reset();
    m_applier.reset();
    m_results.reset();
    m_clock.reset();
    m_window.reset();
    m_startMenuService.reset();
    m_intro.reset();
    m_introPlayer.reset();
    if (m_answerSound)
        m_waveOut.RemoveTarget(*m_answerSound);
}

void PellivarkProgram::MakeMainWindow()
{
    try {
        m_window = std::make_unique<TPellivarkMain>(m_prompts, m_strings);
        m_window->SetModalGuard(m_modalGuard);
        // The main window takes every MIDI message and hands it to the target.
        m_midiIn.SetReceiver(m_window.get());
        if (m_ownPrompts)
            m_ownPrompts->SetParent(m_window.get());
        m_exercises = std::make_unique<ExerciseWindowSet>(
            m_app.Setup, m_items, [this] { return IdentificationSettings(); });
        m_exercises->SetRhythmSettings([this] { return RhythmSettings(); });
        m_midiTargets = std::make_unique<ExerciseMidiInTargets>(
            *m_exercises,
            ExerciseMidiInTargets::Dialogs{
                [this] { return m_model != nullptr && m_model->SettingsDialogOpen; },
                [this] { return m_chordOps != nullptr && m_chordOps->ItemEditorOpen(); },
                [this](std::uint32_t message) { m_chordOps->ItemEditorMidiIn(message); },
                [this](std::uint32_t message) {
                    if (m_features)
                        m_features->SettingsMidiInput(message);
                }});
        m_midiRouter = std::make_unique<MidiInRouter>(m_app.ProgramSettings, m_app.MainWindow,
                                                      m_modalGuard, *m_midiTargets);
        m_clock = std::make_unique<ExerciseClock>(m_app.MainWindow, m_app.Sessions, m_dateClock,
                                                  *m_window);
        m_results = std::make_unique<ResultBookkeeping>(m_app, *m_clock, m_data, *this, m_prompts,
                                                        m_strings, UsersTutorTitleOf());
        MakeTutor();
    } catch (const std::exception&) {
        m_window.reset();
        m_prompts.ShowError(QStringLiteral("error initializing main form"),
                            m_strings.StrMessageTitle);
    }
}

void PellivarkProgram::MakeResultForms()
{
    try {
        m_resultsCommands = std::make_unique<ResultsCommands>(ResultsContext{
            m_data, m_app, m_strings, m_results->ExerciseResults, m_items, UsersTutorTitleOf(),
            [this](int context) { m_window->ShowHelpTopic(context); }, m_runDialog});
        m_window->SetResultsWindow(m_resultsCommands->View());
    } catch (const std::exception&) {
        m_prompts.ShowError(QStringLiteral("error initializing UserResult form"),
                            m_strings.StrMessageTitle);
    }
    try {
        m_exportImport = std::make_unique<ExportImportCommand>(
            ExportImportContext{
                m_data, m_app, m_prompts, m_strings, *m_results, *m_clock, m_app.MainWindow,
                [this] { return m_model->SetupFolder(); },
                [this](const QString& stored) { return m_model->ResolveStoredPath(stored); },
                [this](const QString& path) { return m_model->StoredPathFor(path); }, m_runDialog},
            m_window.get());
        m_window->SetExportImportDialog(m_exportImport->Dialog());
    } catch (const std::exception&) {
        m_prompts.ShowError(QStringLiteral("error initializing ImportExport form"),
                            m_strings.StrMessageTitle);
    }
    m_reports = std::make_unique<ReportsCommand>(
        ReportsContext{
            m_data, m_app, m_strings, m_prompts, UsersTutorTitleOf(),
            [this] { return m_model->UserRights[5]; },
            [this] {
                return m_app.MainWindow.CurrentKind ? KindNumber(*m_app.MainWindow.CurrentKind) : 0;
            },
            [this](int kind) { return m_window->Text(kExerciseMenuItems[kind]); },
            [this] {
                const QAction* menu = m_window->findChild<QAction*>(QStringLiteral("velser2"));
                return menu != nullptr ? menu->text() : QString();
            },
            [this] {
                const QWidget* bar = m_window->findChild<QWidget*>(QStringLiteral("ToolWindow2"));
                return bar != nullptr ? bar->windowTitle() : QString();
            },
            [this](int column) {
                TUserResult* view = m_resultsCommands ? m_resultsCommands->View() : nullptr;
                return view != nullptr ? view->Model().Title(column) : QString();
            },
            m_runDialog},
        *m_window);
}

void PellivarkProgram::MakeStandardForms()
{
    // One guarded group: a failure leaves the rest of the group unmade.
    try {
        TPellivarkMain& window = *m_window;
        m_levels = new TLevels(
            m_prompts,
            [this](const SetupEntry& file) {
                return m_model != nullptr &&
                       m_model->Setup().LoadExerciseSetup(file.FilePath, false, file.NativePath);
            },
            &window);
        m_levels->setObjectName(QStringLiteral("LevelsForm"));
        m_levels->SetHelp([this](int context) { m_window->ShowHelpTopic(context); });
        m_introPlayer = std::make_unique<FluidMidiFilePlayer>([this]() -> FluidSynthOutput* {
            if (m_options.MidiDevices != nullptr)
                return nullptr;
            // A synthesizer without audio output never plays the file on: its player would
            // wait for an end that never comes.
            Result<FluidSynthOutput*, MidiOutError> synth = m_systemDevices.BuiltInSynth();
            return synth && synth.Value()->HasAudio() ? synth.Value() : nullptr;
        });
        m_intro = std::make_unique<StartMenuIntro>(m_midiOut, *m_introPlayer, m_app.ProgramSettings,
                                                   m_data.folders.ProgramFolder +
                                                       QStringLiteral("Media/"));
        TMenuDialog::Context menuContext;
        menuContext.KindClicked = [this](int tag) {
            if (m_model)
                m_model->Speed1Click(tag);
        };
        menuContext.KindCaption = [this](ExerciseKind kind) {
            return m_window->Text(kExerciseMenuItems[static_cast<std::size_t>(KindNumber(kind))]);
        };
        menuContext.KindDescription = [this](ExerciseKind kind) {
            return IsKnownKind(kind) ? m_descriptions[Slot(kind)] : QString();
        };
        menuContext.Intro = m_intro.get();
        menuContext.WebLinkClicked = [this] {
            if (m_features)
                m_features->OpenWebSite();
        };
        menuContext.Arguments = QCoreApplication::arguments().mid(1);
        m_startMenu = new TMenuDialog(std::move(menuContext));
        m_startMenu->setObjectName(QStringLiteral("StartMenuForm"));
        m_startMenuService = std::make_unique<StartMenuAdapter>(*m_startMenu);
        window.SetStartMenu(m_startMenu);
        for (ExerciseKind kind : kExerciseKinds) {
            const std::optional<IdentificationMode> mode = ModeOfKind(kind);
            if (!mode)
                continue;
            auto* exercise = new TAkkord(*mode, m_app.Sessions.Of(kind), &window, m_strings);
            exercise->setObjectName(FormName(kind));
            exercise->SetMidiOut(m_midiOut);
            exercise->SetPrompts(m_prompts);
            exercise->SetKeyState(*m_heldKeys);
            exercise->SetNoteSpacing(m_app.Spacing);
            exercise->SetPlaybackSettingsSource([this] {
                const TSettingsRec& settings = m_app.ProgramSettings;
                AkkordPlaybackSettings playback;
                playback.Metronome = settings.MetronomeOn;
                playback.CountIn = settings.CountIn;
                playback.FirstBeatSound = SoundOf(settings.FirstBeatSound);
                playback.BeatSound = SoundOf(settings.BeatSound);
                return playback;
            });
            exercise->SetAnswerSound(m_answerSound.get());
            QObject::connect(exercise, &TAkkord::PianoVoiceStepped, exercise,
                             [this](PianoVoice voice) {
                                 m_settingsMenu->KeepPianoVoice(voice.Program, voice.Velocity);
                             });
            window.SetExerciseWindow(kind, exercise);
            m_exercises->SetWindow(kind, exercise);
        }
        constexpr ExerciseKind kComparison = ExerciseKind::IntervalComparison;
        auto* comparison = new TIntervalSam(m_app.Sessions.Of(kComparison), &window, m_strings);
        comparison->setObjectName(FormName(kComparison));
        comparison->SetMidiOut(m_midiOut);
        comparison->SetAnswerSound(m_answerSound.get());
        window.SetExerciseWindow(kComparison, comparison);
        m_exercises->SetWindow(kComparison, comparison);
        // The rhythm windows (kinds 4, 5 and 6) go through AddRhythmWindow.
        AddRhythmWindow(ExerciseKind::RhythmImitation,
                        new TRytmeImit(m_app.Sessions.Of(ExerciseKind::RhythmImitation), &window,
                                       m_strings, m_prompts));
        AddRhythmWindow(ExerciseKind::RhythmReading,
                        new TRytmeLaes(m_app.Sessions.Of(ExerciseKind::RhythmReading), &window,
                                       m_strings, m_prompts));
        AddRhythmWindow(ExerciseKind::RhythmErrorDetection,
                        new TRytmeKorr(m_app.Sessions.Of(ExerciseKind::RhythmErrorDetection),
                                       &window, m_strings, m_prompts));
        // The setup page of the item-based kinds, and the item editor's MIDI input.
        m_chordOps = new TChordOps(
            ChordOpsContext{
                m_app.Setup, m_items, &m_midiOut, *m_heldKeys, m_app.Spacing, m_strings, m_prompts,
                [this] { return static_cast<int>(m_app.ProgramSettings.KindPairs[1][1]); },
                [this] { return m_model == nullptr || m_model->UserRights[2]; }, m_runDialog,
                [this](bool open) {
                    TSettingsRec& settings = m_app.ProgramSettings;
                    if (open) {
                        m_midiTargetBeforeEditor = m_midiIn.Target();
                        if (settings.MidiInputOn)
                            m_midiIn.StartMidiInput(kMidiInItemEditor, settings.MidiInDevice);
                    } else if (m_midiTargetBeforeEditor == kMidiInNobody) {
                        m_midiIn.StopMidiInput();
                    } else {
                        m_midiIn.StartMidiInput(m_midiTargetBeforeEditor, settings.MidiInDevice);
                    }
                },
                [this](int context) { m_window->ShowHelpTopic(context); }},
            &window);
        window.SetSetupPage(SetupBlockType::Options, m_chordOps);
        // The setup pages of the rhythm kinds and of melody dictation.
        m_rytmeOps = new TRytmeOps(
            m_app.Setup, [this] { return m_app.MainWindow.CurrentKind; }, &window);
        window.SetSetupPage(SetupBlockType::Rhythm, m_rytmeOps);
        m_melodyOps = new TMelodyOps(
            MelodyOpsContext{
                m_app.Setup, m_items, [this] { return m_app.MainWindow.CurrentKind; },
                [this] { return static_cast<int>(m_app.ProgramSettings.KindPairs[1][1]); }},
            &window);
        window.SetSetupPage(SetupBlockType::Melody, m_melodyOps);
        m_exercises->SetSetupPages(
            [this](ExerciseKind kind) {
                switch (KindFacts(kind).SetupBlock) {
                case SetupBlockType::Options:
                    m_chordOps->LoadChordOps(kind);
                    break;
                case SetupBlockType::Rhythm:
                    m_rytmeOps->LoadSetup(kind);
                    break;
                case SetupBlockType::Melody:
                    m_melodyOps->LoadSetup(kind);
                    break;
                default:
                    break;
                }
            },
            [this](ExerciseKind kind) {
                switch (KindFacts(kind).SetupBlock) {
                case SetupBlockType::Options:
                    m_chordOps->StoreChordOps();
                    break;
                case SetupBlockType::Rhythm:
                    m_rytmeOps->StoreSetup(kind);
                    break;
                case SetupBlockType::Melody:
                    m_melodyOps->StoreSetup(kind);
                    break;
                default:
                    break;
                }
            });
    } catch (const std::exception&) {
        m_prompts.ShowError(QStringLiteral("error initializing Standard forms"),
                            m_strings.StrMessageTitle);
    }

    m_features = std::make_unique<SettingsFeatures>(
        SettingsFeatureContext{m_data,
                               m_app,
                               m_items,
                               m_app.MainWindow,
                               *m_window,
                               *m_exercises,
                               m_midiOut,
                               m_midiIn,
                               m_waveOut,
                               m_sequencer,
                               m_answerSound.get(),
                               *m_micInput,
                               m_midiRouter->ControlNotes(),
                               m_prompts,
                               m_strings,
                               m_targets,
                               [this]() -> LanguageContext& { return Language(); },
                               &m_startMenu->Model(),
                               *m_startMenuService,
                               [this]() -> PellivarkMainModel& { return *m_model; },
                               *this,
                               [this] { MirrorSettingsIntoWindow(); },
                               [this] { return RhythmSettings(); },
                               [this](bool asDefaults) { StoreProgramSettings(asDefaults); },
                               m_runDialog,
                               m_options.OfferConfigWizard,
                               m_options.Links});

    m_applier = std::make_unique<ProgramSettingsApplier>(ProgramSettingsContext{
        m_data,
        m_app,
        m_items,
        SettingsEnvironment{m_data.folders.ProgramFolder + QStringLiteral("Language/")},
        *m_window,
        m_midiOut,
        m_waveOut,
        m_sequencer,
        *m_midiInSelection,
        m_features->WizardMaker(),
        m_midiRouter->ControlNotes(),
        [this](std::size_t index) {
            return m_model != nullptr && index < m_model->UserRights.size() &&
                   m_model->UserRights[index];
        },
        // While a tutor runs the tables are the tutor's, never the user's to keep.
        [this] {
            return !(m_tutorDefine && m_tutorDefine->CustomItemsInstalled()) &&
                   UserItemsChanged(m_app.LoadedItems, m_items);
        },
        [this](const QString& fileName, std::uint8_t flags) {
            return LoadLanguageFile(fileName, flags, Language());
        },
    });

    m_model = std::make_unique<PellivarkMainModel>(MainModelServices{
        *m_window,
        *m_exercises,
        m_app.Sessions,
        *m_startMenuService,
        *m_tutorRun,
        *this,
        *this,
        m_features->Wizard(),
        m_prompts,
        m_strings,
        m_data,
        m_app,
        m_app.MainWindow,
        m_app.Setup,
        *m_clock,
        *m_results,
        UsersTutorTitleOf(),
    });
    for (ExerciseKind kind : kExerciseKinds)
        m_model->SetKindAvailable(kind, m_exercises->Window(kind) != nullptr);
    m_model->SetCommandLineArgument(m_options.CommandLineArgument);
    m_model->SetFirstRunSource([path = m_options.FirstRunStorePath] {
        if (path.isEmpty())
            return FirstRunStore().DecideFirstRun();
        return FirstRunStore(path).DecideFirstRun();
    });
}

void PellivarkProgram::WireWindow()
{
    TPellivarkMain& window = *m_window;
    window.SetState(m_app.MainWindow);
    // The rhythm kinds keep their tempo in their own windows' engines.
    m_metronome = std::make_unique<MetronomeControls>(MetronomeContext{
        window, m_app.ProgramSettings, m_sequencer, m_app.MainWindow,
        [this](ExerciseKind kind) { return m_model && m_model->InMetronomeKinds(kind); },
        [this](int tempo) {
            for (ExerciseKind kind : kExerciseKinds) {
                TRhythmWindow* rhythm = KindUi(kind).Tempo == KindTempo::RhythmEngines
                                            ? m_exercises->Rhythm(kind)
                                            : nullptr;
                if (rhythm != nullptr)
                    rhythm->SetTempo(tempo);
            }
        }});
    MainWindowHandlers handlers;
    handlers.MetroClick = [this] { m_metronome->MetroClick(false); };
    handlers.SpeedButton12Click = [this] { m_metronome->SpeedButton12Click(false); };
    handlers.TrackBar1Change = [this](int position) { m_metronome->TrackBar1Change(position); };
    WireMicrophone(handlers);
    MakeAnswerInput(handlers);
    WireTutor(handlers);
    handlers.ViewTag = [this](int tag) {
        m_model->Speed1Click(tag);
        m_commands.Refresh();
    };
    handlers.ExerciseMenuOpens = [this](int tag) {
        if (const std::optional<ExerciseKind> kind = KindFromNumber(tag))
            m_model->AkkordProgress1Click(*kind);
    };
    handlers.Show = [this] { m_model->FormShow(); };
    handlers.CloseQuery = [this] {
        StopAllSound();
        return m_model->FormCloseQuery();
    };
    handlers.Timer1Timer = [this] { m_clock->Timer1Timer(); };
    handlers.Timer1Due = [this] { return m_clock->NextTickMs(); };
    handlers.AutoNewQuestTimer = [this] {
        if (TExerciseBaseClass* exercise = TimerTarget(MainExerciseTimer::AutoNewQuest))
            exercise->AutoNewQuestTimerTimer();
    };
    handlers.LightDisplaytimeTimer = [this] {
        if (TExerciseBaseClass* exercise = TimerTarget(MainExerciseTimer::LightDisplaytime))
            exercise->MouseDownDelayTimer();
    };
    handlers.AnswerbuttonBlinkTimer = [this] {
        if (TExerciseBaseClass* exercise = TimerTarget(MainExerciseTimer::AnswerbuttonBlink))
            exercise->Timer1Timer();
    };
    handlers.StopMidiInput = [this] { m_midiIn.StopMidiInput(); };
    handlers.MidiInData = [this](std::uint32_t message, int target) {
        m_midiRouter->Route(message, target);
    };
    handlers.HideSplash = [this] {
        if (m_options.HideSplash)
            m_options.HideSplash();
    };
    handlers.SetupChooser = [this] { ShowSetupChooser(); };
    m_features->Wire(handlers);
    handlers.Label7Hint = [this]() -> std::optional<QString> {
        if (m_app.MainWindow.CurrentView != MainView::Exercise || !m_app.MainWindow.CurrentKind)
            return std::nullopt;
        TUserResult* view = m_resultsCommands ? m_resultsCommands->View() : nullptr;
        const QString caption = view != nullptr && view->SpeedButton2 != nullptr
                                    ? view->SpeedButton2->text()
                                    : QString();
        return ExerciseTimeHint(caption, m_clock->RunningExerciseTime(m_app.MainWindow.CurrentKind),
                                TimeSeparator());
    };
    handlers.ToolWindowFlag = [this](int n, bool on) { m_settingsMenu->SetToolWindowFlag(n, on); };
    handlers.NoteIdentification = [this](int mode) {
        m_settingsMenu->ChooseNoteIdentification(mode);
    };
    handlers.NoteIdentificationMode = [this] { return m_settingsMenu->NoteIdentificationMode(); };
    handlers.StatisticsPeriod = [this](int index) {
        static constexpr std::array<int, 5> kPeriodDays = {0, 2, 7, 14, 30};
        if (index < 0 || index >= static_cast<int>(kPeriodDays.size()))
            return;
        TUserResult* view = m_resultsCommands ? m_resultsCommands->View() : nullptr;
        const ExerciseKind kind = KindFromNumber(view != nullptr ? view->Model().Kind() : 1)
                                      .value_or(ExerciseKind::ChordIdentification);
        const PeriodChoice choice =
            m_results->N1week1Click(kPeriodDays[static_cast<std::size_t>(index)],
                                    m_window->StatisticsPeriodText(index), kind);
        if (m_resultsCommands)
            m_resultsCommands->PeriodChosen(choice);
    };
    window.SetHandlers(std::move(handlers));
}

void PellivarkProgram::WireMicrophone(MainWindowHandlers& handlers)
{
    m_microphone = std::make_unique<MicrophoneControls>(MicrophoneContext{
        *m_window,
        m_app.ProgramSettings,
        m_app.MainWindow,
        *m_micInput,
        *m_micEngine,
        m_model->MicrophoneOpen,
        m_window.get(),
        [this](ExerciseKind kind, int pitch) {
            if (TAkkord* window = m_exercises->Identification(kind))
                window->MicPitchInput(pitch);
        },
        [this](ExerciseKind kind) {
            if (TAkkord* window = m_exercises->Identification(kind))
                window->MicReleaseNote();
        },
        [this](ExerciseKind kind, std::uint32_t ms) {
            if (TRhythmWindow* rhythm = m_exercises->Rhythm(kind))
                rhythm->MicTap(ms);
        },
    });
    handlers.WaveInPitch = [this](std::uint8_t wparam) { m_microphone->WaveInPitch(wparam); };
    handlers.WaveInOnset = [this](std::uint32_t wparam, std::uint32_t lparam) {
        m_microphone->WaveInOnset(wparam, lparam);
    };
    handlers.WaveInStop = [this] { m_microphone->WaveInStop(); };
    m_exercises->SetEntered([this](ExerciseKind kind) { m_microphone->ExerciseEntered(kind); });
}

void PellivarkProgram::MakeAnswerInput(MainWindowHandlers& handlers)
{
    m_answerInput = std::make_unique<AnswerInputCommands>(AnswerInputServices{
        m_app.ProgramSettings,
        m_app.MainWindow,
        [this](ExerciseKind kind) { return m_app.Sessions.Of(kind).AnswerInputLock; },
        [this](ExerciseKind kind, std::uint8_t bits) {
            if (TAkkord* window = m_exercises->Identification(kind))
                window->SetAnswerInput(bits);
        },
        [this](ExerciseKind kind) {
            switch (KindFacts(kind).SetupBlock) {
            case SetupBlockType::Options:
                if (m_chordOps != nullptr) {
                    m_chordOps->FormResize();
                    m_chordOps->PaintBox1->update();
                }
                break;
            case SetupBlockType::Melody:
                if (m_melodyOps != nullptr) {
                    m_melodyOps->FormActivate();
                    m_melodyOps->PaintBox1->update();
                }
                break;
            default:
                break;
            }
        },
        [this](bool shown) {
            if (QAction* entry = m_window->CommandAction(QStringLiteral("Answerbyname1")))
                entry->setVisible(shown);
        },
        [this] {
            m_window->SetDown(MainControl::SpeedButton3,
                              !m_window->IsDown(MainControl::SpeedButton3));
            m_microphone->SpeedButton3Click();
        },
        [this](ExerciseKind kind) { StartMidiInput(kind); },
        [this] { m_midiIn.StopMidiInput(); },
        [this] { return m_window->IsDown(MainControl::SpeedButton3); },
    });
    m_settingsMenu->SetMidiInHooks([this] { return m_answerInput->Enabling().MicAndMidi; },
                                   [this] { m_answerInput->MidiInSwitched(); });
    handlers.AnswerInputFollowsView = [this] { m_answerInput->ApplyAnswerInput(true); };
}

TVelkommen* PellivarkProgram::AboutWindow() const
{
    return m_about.data();
}

void PellivarkProgram::ShowAbout()
{
    if (!m_about) {
        m_about = new TVelkommen(m_window.get());
        m_about->setObjectName(QStringLiteral("AboutSplash"));
    }
    m_about->Label11()->setVisible(true);
    m_about->move(m_window->geometry().center() - m_about->rect().center());
    m_about->show();
    m_about->raise();
}

IStartMenu& PellivarkProgram::StartMenuService()
{
    return *m_startMenuService;
}

LanguageContext& PellivarkProgram::Language()
{
    if (!m_language) {
        m_language = std::make_unique<LanguageContext>(LanguageContext{
            m_strings,
            m_items,
            m_targets,
            m_prompts,
            &m_startMenu->Model(),
            [this] { return m_model != nullptr && m_model->SettingsDialogOpen; },
            [this] { return m_features != nullptr && m_features->WizardPending(); },
        });
    }
    return *m_language;
}

void PellivarkProgram::MakeTutor()
{
    m_tutorDefine = std::make_unique<TTutorDefine>(m_items, m_data.folders);
    m_chooser = new TChooseTutor(m_app, m_data, *m_tutorDefine, m_strings, m_window.get());
    m_chooser->setObjectName(QStringLiteral("ChooseTutorForm"));
    m_chooser->SetHelp([this](int context) { m_window->ShowHelpTopic(context); });
    m_chooseTutor = [this] {
        return m_chooser ? m_chooser->ChooseTutorForCurrentUser(m_runDialog) : kNoTutorChosen;
    };
    m_tutorDialogs = std::make_unique<TutorDialogs>(m_tutorTexts, m_window.get(), m_runDialog);
    m_tutorRun = std::make_unique<TutorRun>(TutorRunServices{
        *m_tutorDefine, m_data, m_app, m_app.MainWindow, m_app.Setup, m_app.Sessions, *m_clock,
        *m_results, *m_window, *m_tutorDialogs, m_prompts, m_strings});
}

void PellivarkProgram::WireTutor(MainWindowHandlers& handlers)
{
    m_tutorRun->SetHooks({
        [this] { m_model->Setup().PushSetupToForms(false); },
        [this](ExerciseKind kind) {
            if (TExerciseBaseClass* exercise = m_exercises->Window(kind))
                exercise->StopPlaying();
        },
        [this] {
            m_window->SetDown(MainControl::SpeedButton10, false);
            m_model->Speed1Click(kTutorTag);
        },
        [this] { return m_model->UserRights[1]; },
        [this] { return m_chooseTutor ? m_chooseTutor() : kNoStepChoice; },
        [this] { (void)m_model->EnableTutorKinds(); },
    });
    handlers.ShowTutorProgress = [this] { m_tutorRun->ShowTutorProgress(); };
    handlers.TutorTakesAnswer = [this] {
        if (!m_tutorRun->StepEnds())
            return false;
        // The step ends from the event loop, after the exercise that scored the answer has
        // carried it out and returned: the dialog, the store and the reset then never run
        // while the exercise is inside its own call, and never reach back into it there.
        if (!m_tutorStepEndPosted) {
            m_tutorStepEndPosted = true;
            QMetaObject::invokeMethod(
                m_window.get(),
                [this] {
                    m_tutorStepEndPosted = false;
                    (void)m_tutorRun->TutorAfterAnswer();
                },
                Qt::QueuedConnection);
        }
        return true;
    };
    handlers.Panel2Click = [this] { m_tutorRun->Panel2Click(); };
}

TutorTitleOf PellivarkProgram::UsersTutorTitleOf() const
{
    return [this](const TUserRec& rec) { return UsersTutorTitle(m_data.folders, rec); };
}

QString PellivarkProgram::TutorTitle() const
{
    return m_tutorRun ? m_tutorRun->TutorTitle() : QString();
}

std::optional<QString> PellivarkProgram::StepTitle(ExerciseKind kind, int step) const
{
    return m_tutorRun ? m_tutorRun->StepTitle(kind, step) : std::nullopt;
}

TextTargetSink PellivarkProgram::TextSink()
{
    return [this](const QString& key, std::function<void(const QString&)> setter) {
        m_targets.Register(key, std::move(setter));
    };
}

void PellivarkProgram::RegisterTexts()
{
    const std::pair<const char*, QString TutorDialogTexts::*> tutorTexts[] = {
        {"EndTutorStepForm", &TutorDialogTexts::EndCaption},
        {"EndTutorStepForm.Label1", &TutorDialogTexts::EndLeadIn},
        {"EndTutorStepForm.BitBtn1", &TutorDialogTexts::NextStep},
        {"EndTutorStepForm.BitBtn2", &TutorDialogTexts::SameStep},
        {"EndTutorStepForm.BitBtn3", &TutorDialogTexts::PreviousStep},
        {"TutorStepInfoForm", &TutorDialogTexts::InfoCaption},
        {"TutorStepInfoForm.BitBtn2", &TutorDialogTexts::ChangeStep},
    };
    for (const auto& [key, field] : tutorTexts) {
        m_targets.Register(QString::fromLatin1(key), [this, member = field](const QString& text) {
            m_tutorTexts.*member = text;
        });
    }
    m_window->RegisterTextTargets(TextSink());
    if (m_resultsCommands)
        m_resultsCommands->View()->RegisterTextTargets(TextSink());
    if (m_exportImport)
        m_exportImport->Dialog()->RegisterTextTargets(TextSink());
    if (m_chooser) {
        m_chooser->RegisterTextTargets(TextSink());
    }
    RegisterWidgetTexts(m_startMenu->objectName(), *m_startMenu, TextSink());
    if (m_rytmeOps)
        m_rytmeOps->RegisterTexts(TextSink());
    if (m_melodyOps)
        m_melodyOps->RegisterTexts(TextSink());
    if (m_levels) {
        const QString form = m_levels->objectName();
        RegisterWidgetTexts(form, *m_levels, TextSink());
        QPointer<TLevels> chooser(m_levels);
        m_targets.Register(form, [chooser](const QString& text) {
            if (chooser)
                chooser->setWindowTitle(text);
        });
        m_targets.Register(form + QStringLiteral(".OpenDialog1#title"),
                           [chooser](const QString& text) {
                               if (chooser)
                                   chooser->SetOpenDialogTitle(TitleOfMenuText(text));
                           });
    }
    m_targets.Register(QStringLiteral("MainForm.SaveDialog1#title"), [this](const QString& text) {
        if (m_model)
            m_model->Setup().SetSaveDialogTitle(TitleOfMenuText(text));
    });
    if (m_chordOps)
        m_chordOps->RegisterTexts(TextSink());
    for (ExerciseKind kind : kExerciseKinds) {
        m_targets.Register(
            FormName(kind) + QStringLiteral(".ExerciseDescription"),
            [this, kind](const QString& text) { m_descriptions[Slot(kind)] = text; });
        TExerciseBaseClass* exercise = m_exercises->Window(kind);
        if (exercise == nullptr)
            continue;
        QPointer<TExerciseBaseClass> target(exercise);
        m_targets.RegisterList(
            exercise->objectName() + QStringLiteral(".Captions"),
            static_cast<int>(ControlStripModel::kButtonCount),
            [target](int index, const QString& text) {
                if (!target || index < 0 || index >= ControlStripModel::kButtonCount)
                    return;
                target->ControlButtons->Model().Captions[static_cast<std::size_t>(index)] = text;
                target->ControlButtons->update();
            });
        // The prompt a new question puts in the result line.
        if (TAkkord* identification = m_exercises->Identification(kind)) {
            QPointer<TAkkord> prompted(identification);
            m_targets.Register(FormName(kind) + QStringLiteral(".QuestionTitle"),
                               [prompted](const QString& text) {
                                   if (prompted)
                                       prompted->Model().QuestionTitle = text;
                               });
            // Every identification window is the same form: each takes the tools' hints.
            const QString hintForm = FormName(ExerciseKind::ChordIdentification);
            const std::pair<const char*, std::vector<QToolButton*>> hints[] = {
                {"SpeedButton3",
                 {identification->SpeedButton3, identification->SpeedButton2,
                  identification->SpeedButton4}},
                {"SpeedButton6", {identification->SpeedButton6}},
                {"SpeedButton5", {identification->PlayStyleButtons[0]}},
                {"SpeedButton7", {identification->PlayStyleButtons[1]}},
                {"SpeedButton8", {identification->PlayStyleButtons[2]}},
            };
            for (const auto& hint : hints) {
                // A lambda cannot capture a structured binding in every compiler we build with.
                const std::vector<QToolButton*>& buttons = hint.second;
                m_targets.Register(hintForm + QLatin1Char('.') + QLatin1String(hint.first) +
                                       QStringLiteral("#hint"),
                                   [prompted, buttons](const QString& text) {
                                       if (!prompted)
                                           return;
                                       for (QToolButton* button : buttons)
                                           button->setToolTip(text);
                                   });
            }
            if (kind == ExerciseKind::ChordProgressions) {
                m_targets.Register(FormName(kind) + QStringLiteral(".Label1"),
                                   [prompted](const QString& text) {
                                       if (prompted)
                                           prompted->SetAlterationCaption(text);
                                   });
            }
        }
    }
}

void PellivarkProgram::RegisterCommands()
{
    // One registration per feature; the window makes its actions of what is registered here.
    // A registration refused (a command taken twice) is a fault of the program's own, logged
    // by the registry; the window then leaves that feature's entries out.
    (void)RegisterSetupCommands(m_commands, SetupCommandServices{m_model->Setup(), *m_results,
                                                                 [this] { ShowSetupChooser(); }});
    (void)m_settingsMenu->Register(m_commands);
    (void)m_features->Register(m_commands);
    (void)RegisterResultCommands();
    (void)m_metronome->Register(m_commands);
    (void)m_microphone->Register(m_commands);
    (void)m_answerInput->Register(m_commands);
    m_menuCommands = std::make_unique<MainMenuCommands>(MainMenuContext{
        m_app.ProgramSettings,
        m_app.MainWindow,
        [this](int n, bool on) { m_window->SetToolWindowAllowed(n, on); },
        [this] {
            if (m_app.MainWindow.CurrentKind &&
                m_exercises->Rhythm(*m_app.MainWindow.CurrentKind) != nullptr)
                m_exercises->ApplySetupToExercise(*m_app.MainWindow.CurrentKind, false);
        },
        [this] { m_midiOut.ResetControllers(); },
        [this] { m_midiOut.AllNotesOff(); },
    });
    (void)m_menuCommands->Register(m_commands);
    // The key names need a key signature on the identification window's staff.
    m_settingsMenu->SetKeyNameRule([this] {
        const std::optional<ExerciseKind> kind = m_app.MainWindow.CurrentKind;
        if (!kind || m_exercises->Identification(*kind) == nullptr)
            return true;
        return KeyNameEnabled(*kind, m_app.Setup.CurrentSetup);
    });
    m_settingsMenu->SetKeyNameShown([this](bool on) {
        if (m_app.MainWindow.CurrentKind) {
            if (TAkkord* identification =
                    m_exercises->Identification(*m_app.MainWindow.CurrentKind))
                identification->ShowKeyNames(on);
        }
    });
    MainCommandServices main;
    main.KindChosen = [this] { return m_app.MainWindow.CurrentKind.has_value(); };
    main.ViewTag = [this](int tag) { m_model->Speed1Click(tag); };
    main.Close = [this] { m_window->close(); };
    main.About = [this] { ShowAbout(); };
    main.UserInformation = [this] { AskUserInformation(m_app, m_data, m_prompts, m_strings); };
    main.UserKnown = [this] { return m_app.Users.CurrentUser != nullptr; };
    main.NotAvailable = [this](const QString& text) {
        m_prompts.ShowInfo(text, m_strings.StrProgramTitle);
    };
    (void)RegisterMainCommands(m_commands, main);
}

bool PellivarkProgram::RegisterResultCommands()
{
    const auto row = [](const char* id, const char* text, std::function<void()> run) {
        CommandRow r;
        r.Id = QString::fromLatin1(id);
        r.TextId = MainFormKey(r.Id);
        r.Text = QString::fromLatin1(text);
        r.Run = std::move(run);
        return r;
    };
    std::vector<CommandRow> rows;
    rows.push_back(row("Reports1", "&Reports...", [this] { m_reports->Reports1Click(); }));
    rows.push_back(row("Deleteresults1", "De&lete results...", [this] {
        if (m_resultsCommands)
            m_resultsCommands->Deleteresults1Click(m_window.get());
    }));
    rows.push_back(row("ImportExport", "&Export and import...", [this] {
        if (m_exportImport)
            m_exportImport->ImportExportClick([this] {
                m_model->SwitchView(m_app.MainWindow.CurrentKind, m_app.MainWindow.CurrentView);
            });
    }));
    return m_commands.Register(QStringLiteral("results"), std::move(rows));
}

TLevels* PellivarkProgram::SetupChooser()
{
    return m_levels.data();
}

void PellivarkProgram::StopAllSound()
{
    // Closing stops what sounds before it asks anything: the questions and the storing that
    // follow must not run beside a playing question, its notifications and its answer sound.
    if (m_app.MainWindow.CurrentKind) {
        if (TExerciseBaseClass* exercise = m_exercises->Window(*m_app.MainWindow.CurrentKind))
            exercise->StopPlaying();
    }
    m_midiOut.StopQueue();
    if (m_startMenu != nullptr)
        m_startMenu->StopIntro();
    if (m_answerSound)
        m_answerSound->Stop();
}

void PellivarkProgram::ShowSetupChooser()
{
    if (!m_levels)
        return;
    m_levels->SetFolders(m_model->SetupFolder(), m_data.folders.ProgramFolder,
                         m_model->SetupFolder());
    // The chooser loads what the user picks itself.
    m_runDialog(*m_levels);
}

void PellivarkProgram::ApplyProgramSettings()
{
    IgnoreResult(m_applier->ApplyProgramSettings(),
                 "a Setting.dat that cannot be read was shown by its reading, and the defaults "
                 "are in force");
    MirrorSettingsIntoWindow();
}

void PellivarkProgram::StoreProgramSettings(bool asDefaults)
{
    IgnoreResult(m_applier->StoreProgramSettings(asDefaults),
                 "each write that failed was shown by the store");
}

void PellivarkProgram::MirrorSettingsIntoWindow()
{
    const TSettingsRec& settings = m_app.ProgramSettings;
    for (int n = 0; n < IToolWindows::kCount; ++n)
        m_window->SetToolWindowAllowed(
            n, settings.ToolWindows[static_cast<std::size_t>(n)].Visible != 0);
    m_window->SetAnswerSounds(AnswerSounds());
    // The menus' ticks follow the settings just applied.
    m_commands.Refresh();
}

void PellivarkProgram::StartMidiInput(ExerciseKind kind)
{
    // Rebuilt at every start, so changed remote notes count from the next window on.
    m_midiRouter->RebuildControlNotes();
    m_midiIn.StartMidiInput(static_cast<std::uint8_t>(KindNumber(kind)),
                            m_app.ProgramSettings.MidiInDevice);
}

TExerciseBaseClass* PellivarkProgram::TimerTarget(MainExerciseTimer timer) const
{
    const std::optional<ExerciseKind> kind = TimerTickTarget(
        timer, m_app.MainWindow.CurrentView, m_app.MainWindow.CurrentKind, m_modalGuard.Raised());
    return kind ? m_exercises->Window(*kind) : nullptr;
}

bool PellivarkProgram::SettingsDialogListening() const
{
    return m_model != nullptr && m_model->SettingsDialogOpen;
}

int PellivarkProgram::CurrentExerciseKind() const
{
    return m_app.MainWindow.CurrentKind ? KindNumber(*m_app.MainWindow.CurrentKind) : 0;
}

QObject* PellivarkProgram::Receiver(NotifyReceiver receiver, int exerciseKind) const
{
    switch (receiver) {
    case NotifyReceiver::SettingsDialog:
        return m_features ? m_features->SettingsDialogReceiver() : nullptr;
    case NotifyReceiver::Identification:
        if (const std::optional<ExerciseKind> kind = KindFromNumber(exerciseKind))
            return m_exercises->Window(*kind);
        return nullptr;
    case NotifyReceiver::IntervalComparison:
        return m_exercises->Window(ExerciseKind::IntervalComparison);
    case NotifyReceiver::RhythmImitation:
        return m_exercises->Window(ExerciseKind::RhythmImitation);
    case NotifyReceiver::RhythmReading:
        return m_exercises->Window(ExerciseKind::RhythmReading);
    case NotifyReceiver::RhythmErrorDetection:
        return m_exercises->Window(ExerciseKind::RhythmErrorDetection);
    case NotifyReceiver::MainWindow:
        return m_window.get();
    default:
        return nullptr;
    }
}

MidiVoiceSettings PellivarkProgram::MidiVoices() const
{
    const TSettingsRec& settings = m_app.ProgramSettings;
    MidiVoiceSettings voices;
    voices.piano = SoundOf(settings.PianoVoice);
    voices.guitar = SoundOf(settings.GuitarVoice);
    voices.guitarNotTransposed = settings.GuitarNotTransposed;
    return voices;
}

AkkordSettings PellivarkProgram::IdentificationSettings() const
{
    const TSettingsRec& settings = m_app.ProgramSettings;
    AkkordSettings result;
    result.ShowKeyName = settings.ShowKeyName;
    result.TipsOffered = true;
    result.TipsMask = settings.TipsMask;
    result.NoteIdentification = settings.NoteIdentification;
    result.AutoNewQuestion = settings.AutoNewQuestion;
    result.AutoNewQuestionOnlyRight = settings.AutoNewOnlyAfterRight;
    return result;
}

RhythmExerciseSettings PellivarkProgram::RhythmSettings() const
{
    const TSettingsRec& settings = m_app.ProgramSettings;
    RhythmExerciseSettings result;
    result.PassMark = settings.RepeatThreshold;
    result.AutoNewQuestion = settings.AutoNewQuestion;
    result.AutoNewQuestionOnlyRight = settings.AutoNewOnlyAfterRight;
    result.OutputDelay = settings.OutputDelay;
    result.NotationSpacing = settings.RhythmSpacing;
    result.Playback.ClapSound = SoundOf(settings.ClapSound);
    result.Playback.BeatSound = SoundOf(settings.BeatSound);
    result.Playback.FirstBeatSound = SoundOf(settings.FirstBeatSound);
    result.Playback.WithMetronome = settings.RhythmsWithMetronome;
    result.TipOffered = TipOffered(settings.TipsMask, kRhythmTip);
    return result;
}

void PellivarkProgram::AddRhythmWindow(ExerciseKind kind, TRhythmWindow* window)
{
    window->setObjectName(FormName(kind));
    window->SetPlayback(&m_midiOut, SteadyClock::Instance());
    window->SetAnswerSound(m_answerSound.get());
    m_window->SetExerciseWindow(kind, window);
    m_exercises->SetWindow(kind, window);
    window->RegisterTexts(TextSink());
}

AnswerSoundChoice PellivarkProgram::AnswerSounds() const
{
    const TSettingsRec& settings = m_app.ProgramSettings;
    return {settings.SoundEffectsOn, m_data.folders.ProgramFolder + QStringLiteral("Media/"),
            settings.RightSound, settings.WrongSound};
}

} // namespace pv
