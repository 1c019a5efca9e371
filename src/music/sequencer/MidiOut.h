// The program's one way to sound notes: the MIDI output devices, immediate messages and the
// queueing of notes, clicks and notifications on the sequencer.
#pragma once

#include "music/base/Prompts.h"
#include "music/notation/NoteRec.h"
#include "music/sequencer/MidiOutDevices.h"
#include "music/sequencer/MidiVoiceSettings.h"
#include "music/sequencer/NotifyRouting.h"
#include "music/sequencer/Sequencer.h"
#include "music/sequencer/SequencerTypes.h"
#include "music/strings/UIStrings.h"

#include <array>
#include <cstdint>
#include <set>
#include <span>
#include <vector>

#include <QString>

namespace pv {

struct MidiOutDeviceEntry
{
    std::uint32_t deviceId = 0; ///< kMidiMapperId for the mapper's stand-in
    QString name;
    bool placeholder = false; ///< stands for "no device"; opening it leaves the output closed
};

class TMidiOut
{
public:
    static constexpr int kMaxDevices = 20;
    /// Capacity of the device name in the settings record.
    static constexpr int kDeviceNameCapacity = 47;

    /// Lists the devices at once; nothing is opened yet. The texts (the placeholder's name, the
    /// open-error message) are read from strings, which must outlive the object.
    TMidiOut(IMidiOutDevices& devices, ISequencer& sequencer, IPrompts& prompts,
             const UIStringTable& strings);
    /// Closes the device when open.
    ~TMidiOut();
    TMidiOut(const TMidiOut&) = delete;
    TMidiOut& operator=(const TMidiOut&) = delete;

    /// Where the voices come from; without one the built-in defaults are played.
    void SetVoiceSettings(const IMidiVoiceSettings* voices) { m_voices = voices; }
    /// Who receives notifications; without it no notification is queued.
    void SetNotifyTargets(const INotifyTargets* targets) { m_targets = targets; }

    void ListDevices();
    /// Closes the old device and opens entry index (1-based) by its name, looked up among the
    /// ports there are now; the result is whether a device is open, or true for the
    /// placeholder.
    bool ChangeDevice(std::uint16_t index);
    /// Opens the entry of exactly that name; an empty name opens entry 1 and, when that is a
    /// real device, writes its name back.
    bool SelectByName(QString& name);

    /// 0..255, in the high byte of both channel halves.
    void SetVolume(int volume);
    bool GetVolume(std::uint8_t& volume) const;

    void NoteOn(const SoundRecord& sound);
    /// Switches the note off on the channel it was switched on with.
    void NoteOff(std::uint8_t note);
    void ProgramChange(std::uint8_t program, std::uint8_t channel);
    void AllNotesOff();
    void ResetControllers();

    /// Queues count notes of the list (copied) on the music queue in the given mode.
    void PlayNotes(std::span<const TNoteRec> notes, std::uint8_t count, TPlayMode mode,
                   bool guitar);
    void QueueClick(std::uint16_t length, std::uint8_t accent, bool silent,
                    const SoundRecord& sound, std::uint16_t codeAfter, std::uint16_t codeBefore);
    void QueueNotify(std::uint16_t code);
    void QueueProgramChange(std::uint8_t program, std::uint8_t channel);
    /// Queues one packed short message (status + 256 * data 1 + 65536 * data 2).
    void QueueMessage(SequencerQueue queue, std::uint32_t packed);
    /// Queues a wait of that many ticks.
    void QueueWait(SequencerQueue queue, std::uint32_t ticks);
    /// The voices notes are played with now (the built-in defaults without settings).
    MidiVoiceSettings Voices() const;
    void StartQueue();
    /// Stops the sequencer, empties its queues, then all notes off.
    void StopQueue();

    bool IsOpen() const { return m_open; }
    std::uint32_t DeviceId() const { return m_deviceId; }
    const std::vector<MidiOutDeviceEntry>& Devices() const { return m_devicesList; }
    int DeviceCount() const { return static_cast<int>(m_devicesList.size()); }
    /// The channel of the last NoteOn or of the voice of the last PlayNotes.
    std::uint8_t Channel() const { return m_channel; }
    void SetChannel(std::uint8_t channel);

private:
    void CloseDevice();
    void Send(std::uint32_t packed);
    /// Shows text unless it was shown before in this run.
    void TellOnce(const QString& text);

    IMidiOutDevices& m_devices;
    ISequencer& m_sequencer;
    IPrompts& m_prompts;
    const UIStringTable& m_strings;
    const IMidiVoiceSettings* m_voices = nullptr;
    const INotifyTargets* m_targets = nullptr;
    IMidiSink* m_sink = nullptr; ///< the open device's sink (the handle)
    std::uint32_t m_deviceId = 0;
    bool m_open = false;
    std::vector<MidiOutDeviceEntry> m_devicesList;
    std::uint8_t m_channel = 0;
    /// Channels a note was switched on with by NoteOn, most recent last.
    std::array<std::vector<std::uint8_t>, 128> m_soundingChannels;
    /// What the user was told about the devices: the program opens its output again and again
    /// (settings, the intro's end), and one problem is worth one message.
    std::set<QString> m_told;
};

} // namespace pv
