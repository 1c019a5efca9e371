// The first-run wizard without its window: which pages a start needs (the sound device on the
// program's first run on this account, the instrument until the wizard was finished once), the
// page buttons, the device choice with its test note, and the instrument written into every
// exercise's answer input.
#pragma once

#include "music/files/SettingsRecord.h"
#include "music/sequencer/MidiVoiceSettings.h"
#include "shell/settings/SettingsDialogServices.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace pv {

/// The wizard's pages in the order they come.
enum class WizardPage : std::uint8_t
{
    Sound = 2,      ///< `TabSheet2`: the output device and a test note
    Instrument = 1, ///< `TabSheet1`: the instrument notes are entered with
};

/// The instrument buttons; none is down until the user presses one.
enum class WizardInstrument : std::uint8_t
{
    None = 0,
    Piano = 1,  ///< `SpeedButton1`
    Guitar = 2, ///< `SpeedButton2`
    Other = 3,  ///< `SpeedButton3`: answers by name
};

/// What a start needs of the wizard.
struct ConfigWizardPlan
{
    std::vector<WizardPage> Pages; ///< empty: no wizard
    /// The only output is the entry for "no device": the user is told, and the sound page
    /// stays away.
    bool NoDeviceMessage = false;
    bool operator==(const ConfigWizardPlan&) const = default;
};

/// The pages for the wizard-done flag, the program's first run and the output devices there
/// are (the placeholder counts as none).
ConfigWizardPlan PlanConfigWizard(bool wizardDone, bool firstRun,
                                  const std::vector<SettingsDevice>& outputs);

/// The answer-input pair (answer inputs shown, note-entry instrument) every exercise takes for
/// the chosen instrument on a screen that high: the staff from 501 pixels on, the answer
/// buttons too above 650.
std::pair<std::uint8_t, std::uint8_t> AnswerInputPair(WizardInstrument instrument,
                                                      int screenHeight);

/// The MIDI output as the wizard uses it.
class IConfigWizardDevices
{
public:
    virtual ~IConfigWizardDevices() = default;
    virtual std::vector<SettingsDevice> Outputs() const = 0;
    /// Opens the output of that name (the one open before is closed first); false when it
    /// could not be opened, which the device layer has told the user.
    virtual bool SelectOutput(const QString& name) = 0;
    virtual void NoteOn(const SoundRecord& sound) = 0;
    virtual void NoteOff(std::uint8_t note) = 0;
};

class ConfigWizardModel
{
public:
    /// settings and devices must outlive the model; pages are those of the plan (not empty).
    ConfigWizardModel(TSettingsRec& settings, IConfigWizardDevices& devices,
                      std::vector<WizardPage> pages);

    const std::vector<WizardPage>& Pages() const { return m_pages; }
    bool Shows(WizardPage page) const;
    int ActiveIndex() const { return m_active; }
    WizardPage ActivePage() const { return m_pages[static_cast<std::size_t>(m_active)]; }
    /// `Button1` (back) works from the second page on.
    bool BackEnabled() const { return m_active >= 1; }
    /// `Button2` finishes on the last page and goes to the next one before.
    bool ForwardFinishes() const;
    void Back();
    /// The forward button: the next page, or true when it finishes the wizard.
    bool Forward();

    // The sound page.
    std::vector<SettingsDevice> Outputs;
    int OutputIndex = -1; ///< the output in force; -1 when it is not listed
    /// Lists the outputs and marks the one in force, as they are when the wizard is shown (the
    /// settings open their device after they made the wizard).
    void ListOutputs();
    /// Opens the chosen output and stores its name; one that fails leaves the one in force.
    void ChooseOutput(int index);
    /// The play button: the piano's note on at once; TestNoteDone ends it (after 500 ms).
    void Play();
    void TestNoteDone();
    bool TestNoteSounding() const { return m_sounding.has_value(); }

    // The instrument page.
    WizardInstrument Instrument = WizardInstrument::None;
    void ChooseInstrument(WizardInstrument instrument) { Instrument = instrument; }

    /// Closing with the finish button: with the instrument page shown, every exercise's answer
    /// input follows the instrument and the wizard counts as done.
    void StoreOnFinish(int screenHeight);

private:
    TSettingsRec& m_settings;
    IConfigWizardDevices& m_devices;
    std::vector<WizardPage> m_pages;
    int m_active = 0;
    std::optional<std::uint8_t> m_sounding;
};

/// The wizard's output over the program's MIDI output.
class MidiOutWizardDevices final : public IConfigWizardDevices
{
public:
    explicit MidiOutWizardDevices(TMidiOut& midiOut) : m_midiOut(midiOut) {}
    std::vector<SettingsDevice> Outputs() const override;
    bool SelectOutput(const QString& name) override;
    void NoteOn(const SoundRecord& sound) override;
    void NoteOff(std::uint8_t note) override;

private:
    TMidiOut& m_midiOut;
};

} // namespace pv
