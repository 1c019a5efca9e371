// The settings dialog's services over the program's devices.
#include "shell/settings/SettingsDialogServices.h"

#include "exercises/base/AnswerSound.h"
#include "music/input/MidiIn.h"
#include "music/input/WaveOutVolume.h"
#include "music/sequencer/MidiOut.h"
#include "music/sequencer/Sequencer.h"

namespace pv {

ProgramSettingsServices::ProgramSettingsServices(TMidiOut& midiOut, TMidiIn& midiIn,
                                                 IWaveOutVolume& waveOut, ISequencer& sequencer,
                                                 IAnswerSound* waves)
    : m_midiOut(midiOut), m_midiIn(midiIn), m_waveOut(waveOut), m_sequencer(sequencer),
      m_waves(waves)
{
}

std::vector<SettingsDevice> ProgramSettingsServices::MidiInDevices() const
{
    std::vector<SettingsDevice> devices;
    for (const MidiInDeviceEntry& entry : m_midiIn.Devices())
        devices.push_back({entry.name, entry.placeholder});
    return devices;
}

std::vector<SettingsDevice> ProgramSettingsServices::MidiOutDevices() const
{
    std::vector<SettingsDevice> devices;
    for (const MidiOutDeviceEntry& entry : m_midiOut.Devices())
        devices.push_back({entry.name, entry.placeholder});
    return devices;
}

bool ProgramSettingsServices::SelectMidiIn(const QString& name)
{
    // A listed name is never empty, so nothing is written back into it.
    QString chosen = name;
    return !chosen.isEmpty() && m_midiIn.SelectByName(chosen);
}

bool ProgramSettingsServices::SelectMidiOut(const QString& name)
{
    QString chosen = name;
    return !chosen.isEmpty() && m_midiOut.SelectByName(chosen);
}

std::optional<std::uint8_t> ProgramSettingsServices::MidiVolume() const
{
    std::uint8_t volume = 0;
    if (!m_midiOut.GetVolume(volume))
        return std::nullopt;
    return volume;
}

void ProgramSettingsServices::SetMidiVolume(std::uint8_t volume)
{
    m_midiOut.SetVolume(volume);
}

std::optional<std::uint8_t> ProgramSettingsServices::WaveVolume() const
{
    std::uint8_t volume = 0;
    if (!GetWaveOutVolume(m_waveOut, volume))
        return std::nullopt;
    return volume;
}

void ProgramSettingsServices::SetWaveVolume(std::uint8_t volume)
{
    SetWaveOutVolume(m_waveOut, volume);
}

void ProgramSettingsServices::SetOutputDelay(std::uint16_t ms)
{
    m_sequencer.SetOutputDelay(ms);
}

void ProgramSettingsServices::StopQueue()
{
    m_midiOut.StopQueue();
}

void ProgramSettingsServices::StopSequencer()
{
    m_sequencer.Stop();
}

void ProgramSettingsServices::QueueProgramChange(std::uint8_t program, std::uint8_t channel)
{
    m_midiOut.QueueProgramChange(program, channel);
}

void ProgramSettingsServices::QueueMessage(std::uint32_t packed)
{
    m_midiOut.QueueMessage(SequencerQueue::Music, packed);
}

void ProgramSettingsServices::QueueWait(std::uint32_t ticks)
{
    m_midiOut.QueueWait(SequencerQueue::Music, ticks);
}

void ProgramSettingsServices::QueueNotify(std::uint16_t code)
{
    m_midiOut.QueueNotify(code);
}

void ProgramSettingsServices::QueueClick(std::uint16_t length, const SoundRecord& sound,
                                         std::uint16_t codeAfter)
{
    m_midiOut.QueueClick(length, 0, false, sound, codeAfter, 0);
}

void ProgramSettingsServices::StartQueue()
{
    m_midiOut.StartQueue();
}

void ProgramSettingsServices::ProgramChange(std::uint8_t program, std::uint8_t channel)
{
    m_midiOut.ProgramChange(program, channel);
}

void ProgramSettingsServices::PlayWave(const QString& path)
{
    if (m_waves != nullptr && !path.isEmpty())
        m_waves->Play(path);
}

} // namespace pv
