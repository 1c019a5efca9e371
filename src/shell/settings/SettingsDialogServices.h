// What the program settings dialog reaches while it is open: the devices it lists and opens at
// once, the volumes and the output delay it sets at once, the sequencer its test sounds and its
// delay test play on, and the wave files it plays.
#pragma once

#include "music/sequencer/MidiVoiceSettings.h"

#include <cstdint>
#include <optional>
#include <vector>

#include <QString>

namespace pv {

class IAnswerSound;
class ISequencer;
class IWaveOutVolume;
class TMidiIn;
class TMidiOut;

/// One entry of a device list as the dialog offers it.
struct SettingsDevice
{
    QString Name;
    bool Placeholder = false; ///< stands for "no device"
    bool operator==(const SettingsDevice&) const = default;
};

class ISettingsDialogServices
{
public:
    virtual ~ISettingsDialogServices() = default;

    /// The devices in the order the device layer lists them.
    virtual std::vector<SettingsDevice> MidiInDevices() const = 0;
    virtual std::vector<SettingsDevice> MidiOutDevices() const = 0;
    /// Opens the device of exactly that name now (the one open before is closed first); false
    /// when it could not be opened, which the device layer has told the user.
    virtual bool SelectMidiIn(const QString& name) = 0;
    virtual bool SelectMidiOut(const QString& name) = 0;

    /// The volumes 0..255 of the MIDI output and of the wave sounds; none when the output
    /// cannot tell.
    virtual std::optional<std::uint8_t> MidiVolume() const = 0;
    virtual void SetMidiVolume(std::uint8_t volume) = 0;
    virtual std::optional<std::uint8_t> WaveVolume() const = 0;
    virtual void SetWaveVolume(std::uint8_t volume) = 0;
    /// MIDI messages leave the sequencer that much later from now on.
    virtual void SetOutputDelay(std::uint16_t ms) = 0;

    // The sequencer, as the test sounds and the delay test use it.
    /// Stops the sequencer, empties its queues and switches every note off.
    virtual void StopQueue() = 0;
    /// Stops the sequencer and empties its queues; what sounds goes on.
    virtual void StopSequencer() = 0;
    virtual void QueueProgramChange(std::uint8_t program, std::uint8_t channel) = 0;
    /// A packed short message on the music queue.
    virtual void QueueMessage(std::uint32_t packed) = 0;
    /// A wait of that many ticks on the music queue.
    virtual void QueueWait(std::uint32_t ticks) = 0;
    /// A notification by its code (1 and 2 reach the dialog while it listens).
    virtual void QueueNotify(std::uint16_t code) = 0;
    /// One click of the sound on the click queue, then the notification codeAfter.
    virtual void QueueClick(std::uint16_t length, const SoundRecord& sound,
                            std::uint16_t codeAfter) = 0;
    virtual void StartQueue() = 0;
    /// A program change sent at once.
    virtual void ProgramChange(std::uint8_t program, std::uint8_t channel) = 0;

    /// Starts a wave file and returns at once.
    virtual void PlayWave(const QString& path) = 0;
};

/// The dialog's services over the program's MIDI output and input, wave volume, sequencer and
/// answer sound player (which may be null: nothing is played).
class ProgramSettingsServices final : public ISettingsDialogServices
{
public:
    ProgramSettingsServices(TMidiOut& midiOut, TMidiIn& midiIn, IWaveOutVolume& waveOut,
                            ISequencer& sequencer, IAnswerSound* waves);

    std::vector<SettingsDevice> MidiInDevices() const override;
    std::vector<SettingsDevice> MidiOutDevices() const override;
    bool SelectMidiIn(const QString& name) override;
    bool SelectMidiOut(const QString& name) override;
    std::optional<std::uint8_t> MidiVolume() const override;
    void SetMidiVolume(std::uint8_t volume) override;
    std::optional<std::uint8_t> WaveVolume() const override;
    void SetWaveVolume(std::uint8_t volume) override;
    void SetOutputDelay(std::uint16_t ms) override;
    void StopQueue() override;
    void StopSequencer() override;
    void QueueProgramChange(std::uint8_t program, std::uint8_t channel) override;
    void QueueMessage(std::uint32_t packed) override;
    void QueueWait(std::uint32_t ticks) override;
    void QueueNotify(std::uint16_t code) override;
    void QueueClick(std::uint16_t length, const SoundRecord& sound,
                    std::uint16_t codeAfter) override;
    void StartQueue() override;
    void ProgramChange(std::uint8_t program, std::uint8_t channel) override;
    void PlayWave(const QString& path) override;

private:
    TMidiOut& m_midiOut;
    TMidiIn& m_midiIn;
    IWaveOutVolume& m_waveOut;
    ISequencer& m_sequencer;
    IAnswerSound* m_waves;
};

} // namespace pv
