// The program settings command, the first-run wizard, the tips and the link launcher bound to
// the running program: what each puts in force reaches the program's windows, devices and
// language texts through here, and nowhere else.
#pragma once

#include "music/data/DataFiles.h"
#include "shell/links/TURL.h"
#include "shell/main/MainWindowUi.h"
#include "shell/settings/ProgramSettingsCommand.h"
#include "shell/tips/Tips.h"
#include "shell/wizard/ConfigWizardService.h"

#include <functional>
#include <memory>

#include <QPointer>

class QDialog;

namespace pv {

class CommandRegistry;
class ExerciseWindowSet;
class IAnswerSound;
class ISequencer;
class IWaveOutVolume;
class LanguageTargets;
class MicInput;
class PellivarkMainModel;
class StartMenuModel;
class TMidiIn;
class TMidiOut;
class TPellivarkMain;
class TProgramSettings;
struct LanguageContext;
struct MainWindowHandlers;
class AppState;
struct MainWindowState;
struct RhythmExerciseSettings;
struct UIStringTable;

/// The parts of the program the features reach; every reference must outlive them.
struct SettingsFeatureContext
{
    DataFiles& Data;
    AppState& App;
    ItemTables& Items;
    MainWindowState& State;
    TPellivarkMain& Window;
    ExerciseWindowSet& Exercises;
    TMidiOut& MidiOut;
    TMidiIn& MidiIn;
    IWaveOutVolume& WaveOut;
    ISequencer& Sequencer;
    IAnswerSound* Waves;
    MicInput& Microphone;
    ControlNoteSet& ControlNotes;
    IPrompts& Prompts;
    const UIStringTable& Strings;
    LanguageTargets& Targets;
    std::function<LanguageContext&()> Language;
    /// The start menu's text and its greeting (none before the menu exists).
    StartMenuModel* StartMenuText;
    IStartMenu& StartMenu;
    /// The main window's model (its setup commands, the first-run value, the dialog's flag).
    std::function<PellivarkMainModel&()> Model;
    IMidiInputStart& MidiInputStart;
    std::function<void()> MirrorSettingsIntoWindow;
    std::function<RhythmExerciseSettings()> RhythmSettings;
    std::function<void(bool asDefaults)> StoreProgramSettings;
    /// Shows the modal dialogs; empty: exec().
    std::function<int(QDialog&)> RunDialog;
    /// The first-run wizard is offered at all.
    bool OfferWizard = true;
    /// Where links open; null: the desktop.
    IDocumentOpener* Links = nullptr;
};

class SettingsFeatures final : private IProgramSettingsTargets
{
public:
    explicit SettingsFeatures(SettingsFeatureContext context);
    ~SettingsFeatures() override;
    SettingsFeatures(const SettingsFeatures&) = delete;
    SettingsFeatures& operator=(const SettingsFeatures&) = delete;

    /// The features' commands: the program settings and the Help menu's links (their one
    /// registration).
    bool Register(CommandRegistry& registry);
    /// The main window's calls into the tips.
    void Wire(MainWindowHandlers& handlers);

    /// The wizard as the settings application and the first show meet it.
    IConfigWizardMaker& WizardMaker();
    IConfigWizard& Wizard();
    bool WizardPending() const;

    /// Made on first use, once the main window's model (which keeps the dialog's flag) is.
    ProgramSettingsCommand& SettingsCommand();
    /// MIDI input routed to the settings dialog.
    void SettingsMidiInput(std::uint32_t message) { SettingsCommand().MidiInput(message); }
    /// The open settings dialog, which takes its sequencer notifications; null when closed.
    QObject* SettingsDialogReceiver() const;
    /// `PellivarkWeb1Click`, also the start menu's link.
    void OpenWebSite();
    /// The identification and rhythm windows' tip buttons follow the mask.
    void ApplyShownControls(std::uint32_t tipsMask) override;

private:
    // IProgramSettingsTargets
    void SetOutputDelay(std::uint16_t ms) override;
    bool LoadLanguageFile(const QString& path) override;
    void LoadDialogTexts(const QString& path) override;
    void SetHelpFile(const QString& path) override;
    void ShowScore(ExerciseKind kind) override;
    void RefillSetupPage(ExerciseKind kind) override;
    void PushSetupToForms() override;
    void ApplyFontToForms(const FontSpec& font) override;
    void ApplyColorToForms(std::uint32_t colour) override;
    void RepaintRhythmNotation(ExerciseKind kind) override;
    void SetAutoNewQuestTimerInterval(int milliseconds) override;
    void WaveInSetup(std::uint8_t rhythmSensitivity, std::uint8_t toneSensitivity,
                     std::uint8_t highPrecision) override;
    void SetControlNotes(const ControlNoteSet& notes) override;
    void RepaintNoteView(ExerciseKind kind) override;
    void MirrorSettings() override;
    void ReapplySetup(ExerciseKind kind) override;
    std::uint8_t MidiInputTarget() const override;
    void SetMidiInputTarget(std::uint8_t target) override;

    std::unique_ptr<IProgramSettingsDialog> MakeSettingsDialog(ProgramSettingsModel& model);
    std::unique_ptr<IConfigWizardDialog> MakeWizardDialog(ConfigWizardModel& model);

    SettingsFeatureContext m_c;
    std::unique_ptr<ISettingsDialogServices> m_services;
    std::unique_ptr<ProgramSettingsCommand> m_command;
    QPointer<TProgramSettings> m_dialog;
    std::unique_ptr<IConfigWizardDevices> m_wizardDevices;
    std::unique_ptr<ConfigWizardService> m_wizard;
    NoConfigWizardMaker m_noWizardMaker;
    NullConfigWizard m_noWizard;
    std::unique_ptr<TipService> m_tips;
    std::unique_ptr<IDocumentOpener> m_desktop;
    std::unique_ptr<TURL> m_url;
};

} // namespace pv
