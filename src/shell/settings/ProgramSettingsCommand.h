// The "Program settings" command: the dialog made for one use, listening to MIDI input and the
// sequencer while it is open, and on OK every changed value taken into the settings and put
// into force at once. Nothing is written to Setting.dat here: the settings are stored when the
// program closes (or as everybody's defaults when the dialog asks).
#pragma once

#include "exercises/items/ItemTables.h"
#include "music/data/DataFiles.h"
#include "shell/results/ExerciseForms.h"
#include "shell/settings/ProgramSettingsApplier.h"
#include "shell/settings/ProgramSettingsModel.h"

#include <cstdint>
#include <functional>
#include <memory>

#include <QString>

namespace pv {

/// Where the values of the dialog go into force, each as soon as the OK block reaches it.
class IProgramSettingsTargets
{
public:
    virtual ~IProgramSettingsTargets() = default;

    /// The sequencer's output delay.
    virtual void SetOutputDelay(std::uint16_t ms) = 0;
    /// Reads a language file with every table (the start menu's welcome text and the captions
    /// among them); false leaves every text as it was, and the loader has told the user why.
    virtual bool LoadLanguageFile(const QString& path) = 0;
    /// Reads the language file in force for the open dialog's own texts only.
    virtual void LoadDialogTexts(const QString& path) = 0;
    virtual void SetHelpFile(const QString& path) = 0;
    /// The exercise window of kind shows its score again (in its new language).
    virtual void ShowScore(ExerciseKind kind) = 0;
    /// The setup page of kind is filled again.
    virtual void RefillSetupPage(ExerciseKind kind) = 0;
    /// The setup goes to every exercise window again, without resetting their counters.
    virtual void PushSetupToForms() = 0;
    /// The font and the background colour of every window.
    virtual void ApplyFontToForms(const FontSpec& font) = 0;
    virtual void ApplyColorToForms(std::uint32_t colour) = 0;
    /// The rhythm window of kind takes the new notation spacing and draws its rhythm again.
    virtual void RepaintRhythmNotation(ExerciseKind kind) = 0;
    virtual void SetAutoNewQuestTimerInterval(int milliseconds) = 0;
    /// The microphone's configuration.
    virtual void WaveInSetup(std::uint8_t rhythmSensitivity, std::uint8_t toneSensitivity,
                             std::uint8_t highPrecision) = 0;
    /// The notes that press the control buttons.
    virtual void SetControlNotes(const ControlNoteSet& notes) = 0;
    /// The tip buttons the tips mask offers.
    virtual void ApplyShownControls(std::uint32_t tipsMask) = 0;
    /// The note view of the identification window of kind is drawn again.
    virtual void RepaintNoteView(ExerciseKind kind) = 0;
    /// The windows that keep a copy of the settings take them again without ending anything:
    /// the menu ticks, the answer sounds, the rhythm windows' sounds, pass mark and spacing.
    virtual void MirrorSettings() = 0;
    /// The exercise window of kind takes the automatic-question settings, as a toggle of the
    /// menu's entry does (its open question ends).
    virtual void ReapplySetup(ExerciseKind kind) = 0;

    /// Who receives MIDI input now (`MidiInputTarget`), and handing it to another: 0 stops
    /// the input (the device stays open).
    virtual std::uint8_t MidiInputTarget() const = 0;
    virtual void SetMidiInputTarget(std::uint8_t target) = 0;
};

/// The dialog's window over its model.
class IProgramSettingsDialog
{
public:
    virtual ~IProgramSettingsDialog() = default;
    /// Shows the model's values and runs the window modally; true when it closed with OK.
    virtual bool Exec() = 0;
};

/// What the command works with; the references must outlive it.
struct ProgramSettingsCommandContext
{
    AppState& App;             ///< `ProgramSettings` and the current user
    ItemTables& ExerciseItems; ///< their head names the language the texts are in
    QString LanguageFolder;    ///< with its closing "/"
    QString MediaFolder;       ///< with its closing "/"
    const MainWindowState& State;
    IProgramSettingsTargets& Targets;
    ISettingsDialogServices& Services;
    IPrompts& Prompts;
    const UIStringTable& Strings;
    /// `SettingsDialogOpen`: from the dialog's making until it is released.
    bool& SettingsDialogOpen;
    /// Makes the dialog's window over the model; null when it cannot be made.
    std::function<std::unique_ptr<IProgramSettingsDialog>(ProgramSettingsModel&)> MakeDialog;
    /// Writes the settings record now (as everybody's defaults when asDefaults).
    std::function<void(bool asDefaults)> StoreProgramSettings;
};

class ProgramSettingsCommand
{
public:
    explicit ProgramSettingsCommand(ProgramSettingsCommandContext context);

    /// `Opstning1Click`. Does nothing while the dialog is open already.
    void Opstning1Click();
    /// A MIDI message for the dialog (target 15); dropped while none is open.
    void MidiInput(std::uint32_t message);
    /// The open dialog's model; null while none is open.
    ProgramSettingsModel* OpenModel() const { return m_model; }

    /// The language the texts are in: the name the settings applied, as far as the item area's
    /// head still carries it.
    QString LanguageInForce() const;

private:
    void RunOkBlock(const ProgramSettingsModel& model);

    ProgramSettingsCommandContext m_c;
    ProgramSettingsModel* m_model = nullptr;
};

} // namespace pv
