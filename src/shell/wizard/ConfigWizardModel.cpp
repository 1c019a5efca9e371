// The first-run wizard's pages, choices and what it stores.
#include "shell/wizard/ConfigWizardModel.h"

#include "music/sequencer/MidiOut.h"

#include <algorithm>

namespace pv {

namespace {

// The answer inputs of the settings' per-kind pairs.
constexpr std::uint8_t kByName = 1;
constexpr std::uint8_t kPiano = 2;
constexpr std::uint8_t kGuitar = 4;
constexpr std::uint8_t kStaff = 8;
constexpr int kStaffFromHeight = 501;
constexpr int kButtonsAboveHeight = 650;
constexpr int kFirstKindWithInput = 1;
constexpr int kLastKindWithInput = 10;
constexpr int kNameCapacity = 47;
constexpr std::uint16_t kTestNote = 60;

} // namespace

ConfigWizardPlan PlanConfigWizard(bool wizardDone, bool firstRun,
                                  const std::vector<SettingsDevice>& outputs)
{
    ConfigWizardPlan plan;
    if (wizardDone && !firstRun)
        return plan;
    bool soundPage = firstRun;
    if (outputs.size() < 2 && (outputs.empty() || outputs.front().Placeholder)) {
        plan.NoDeviceMessage = true;
        soundPage = false;
    }
    if (soundPage)
        plan.Pages.push_back(WizardPage::Sound);
    if (!wizardDone)
        plan.Pages.push_back(WizardPage::Instrument);
    return plan;
}

std::pair<std::uint8_t, std::uint8_t> AnswerInputPair(WizardInstrument instrument, int screenHeight)
{
    std::uint8_t chosen = kByName;
    if (instrument == WizardInstrument::Piano)
        chosen = kPiano;
    else if (instrument == WizardInstrument::Guitar)
        chosen = kGuitar;
    std::uint8_t shown = chosen;
    if (screenHeight >= kStaffFromHeight)
        shown |= kStaff;
    // A set: answering by name, chosen or added here, counts once.
    if (screenHeight > kButtonsAboveHeight)
        shown |= kByName;
    return {shown, chosen};
}

ConfigWizardModel::ConfigWizardModel(TSettingsRec& settings, IConfigWizardDevices& devices,
                                     std::vector<WizardPage> pages)
    : m_settings(settings), m_devices(devices), m_pages(std::move(pages))
{
    if (m_pages.empty())
        m_pages.push_back(WizardPage::Instrument);
    ListOutputs();
}

void ConfigWizardModel::ListOutputs()
{
    Outputs.clear();
    OutputIndex = -1;
    if (!Shows(WizardPage::Sound))
        return;
    Outputs = m_devices.Outputs();
    // No name stored: the first entry is the one an empty name opens.
    if (m_settings.MidiOutDevice.isEmpty() && !Outputs.empty()) {
        OutputIndex = 0;
        return;
    }
    for (std::size_t i = 0; i < Outputs.size(); ++i) {
        if (Outputs[i].Name == m_settings.MidiOutDevice)
            OutputIndex = static_cast<int>(i);
    }
}

bool ConfigWizardModel::Shows(WizardPage page) const
{
    return std::find(m_pages.begin(), m_pages.end(), page) != m_pages.end();
}

bool ConfigWizardModel::ForwardFinishes() const
{
    // The page after the active one, counting round, is the first: there is none to go to.
    return (m_active + 1) % static_cast<int>(m_pages.size()) == 0;
}

void ConfigWizardModel::Back()
{
    if (BackEnabled())
        --m_active;
}

bool ConfigWizardModel::Forward()
{
    if (ForwardFinishes())
        return true;
    ++m_active;
    return false;
}

void ConfigWizardModel::ChooseOutput(int index)
{
    if (index < 0 || index >= static_cast<int>(Outputs.size()) || index == OutputIndex)
        return;
    const SettingsDevice& chosen = Outputs[static_cast<std::size_t>(index)];
    const QString name = chosen.Name.left(kNameCapacity);
    if (name == m_settings.MidiOutDevice) {
        OutputIndex = index;
        return;
    }
    if (m_devices.SelectOutput(chosen.Name)) {
        m_settings.MidiOutDevice = DeviceNameToStore(name, chosen.Placeholder);
        OutputIndex = index;
        return;
    }
    // Opening closed the output in force: it is opened again, and the stored name stays.
    if (!m_settings.MidiOutDevice.isEmpty())
        m_devices.SelectOutput(m_settings.MidiOutDevice);
}

void ConfigWizardModel::Play()
{
    if (m_sounding)
        m_devices.NoteOff(*m_sounding);
    SoundRecord piano{m_settings.PianoVoice.Channel, m_settings.PianoVoice.Program,
                      m_settings.PianoVoice.Velocity, m_settings.PianoVoice.Note};
    // The voice's note is whatever was last sounded with it; a damaged one is no note.
    if (piano.note > 127)
        piano.note = kTestNote;
    m_devices.NoteOn(piano);
    m_sounding = static_cast<std::uint8_t>(piano.note);
}

void ConfigWizardModel::TestNoteDone()
{
    if (!m_sounding)
        return;
    m_devices.NoteOff(*m_sounding);
    m_sounding.reset();
}

void ConfigWizardModel::StoreOnFinish(int screenHeight)
{
    TestNoteDone();
    if (!Shows(WizardPage::Instrument))
        return;
    const auto pair = AnswerInputPair(Instrument, screenHeight);
    for (int kind = kFirstKindWithInput; kind <= kLastKindWithInput; ++kind)
        m_settings.KindPairs[static_cast<std::size_t>(kind)] = {pair.first, pair.second};
    m_settings.KindPairs[0][0] = 1;
}

std::vector<SettingsDevice> MidiOutWizardDevices::Outputs() const
{
    std::vector<SettingsDevice> devices;
    for (const MidiOutDeviceEntry& entry : m_midiOut.Devices())
        devices.push_back({entry.name, entry.placeholder});
    return devices;
}

bool MidiOutWizardDevices::SelectOutput(const QString& name)
{
    QString chosen = name;
    return !chosen.isEmpty() && m_midiOut.SelectByName(chosen);
}

void MidiOutWizardDevices::NoteOn(const SoundRecord& sound)
{
    m_midiOut.NoteOn(sound);
}

void MidiOutWizardDevices::NoteOff(std::uint8_t note)
{
    m_midiOut.NoteOff(note);
}

} // namespace pv
