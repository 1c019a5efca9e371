// The program's MIDI input: the list of input devices, the one open device, and the hand-off
// of every message played on it to the receiving window on the GUI thread.
#pragma once

#include "music/base/Clock.h"
#include "music/base/EventHandOff.h"
#include "music/base/Prompts.h"
#include "music/input/MidiInDevices.h"
#include "music/input/MidiInParser.h"
#include "music/strings/UIStrings.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include <QObject>
#include <QPointer>
#include <QString>

namespace pv {

/// Who takes MIDI input (`MidiInputTarget`): the exercise kinds 1..10 and these.
inline constexpr std::uint8_t kMidiInNobody = 0;
inline constexpr std::uint8_t kMidiInSettingsDialog = 15;
inline constexpr std::uint8_t kMidiInItemEditor = 16;

struct MidiInDeviceEntry
{
    std::uint32_t deviceId = 0;
    QString name;
    bool placeholder = false; ///< stands for "no device"; choosing it leaves the input closed
};

/// Lives on the GUI thread. Messages are posted as MidiInEvent to the receiver while input is
/// started and has a target; a message still on its way when the target changes or input is
/// stopped is not delivered.
class TMidiIn final : private IMidiInBytes
{
public:
    /// Real devices listed at most; the placeholder may come after them.
    static constexpr int kMaxDevices = 19;
    /// Capacity of the device name in the settings record.
    static constexpr int kDeviceNameCapacity = 47;

    /// Lists the devices at once; nothing is opened. Message times are read from clock (the
    /// program's shared one); strings and prompts must outlive the object.
    TMidiIn(IMidiInDevices& devices, const IClock& clock, IPrompts& prompts,
            const UIStringTable& strings);
    /// Closes the device when open.
    ~TMidiIn() override;
    TMidiIn(const TMidiIn&) = delete;
    TMidiIn& operator=(const TMidiIn&) = delete;

    /// The window that receives the input (the main window); null drops everything.
    void SetReceiver(QObject* receiver);

    /// Lists the real devices again (the placeholder goes with the old list).
    void ListDevices();
    /// Appends the entry for "no device", once: a list that has it keeps just the one.
    void AddPlaceholder();
    /// Closes the old device and opens entry index (1-based) by its name; the result is whether
    /// a device is open, or true for the placeholder.
    bool ChangeDevice(std::uint16_t index);
    /// Opens the entry of exactly that name; an empty name opens entry 1 and, when that is a
    /// real device, writes its name back. No equal entry: false, nothing changes.
    bool SelectByName(QString& name);
    /// Starts input on the open device; false (and nothing) when none is open.
    bool Start();

    /// Input goes to target from now on: the device of that name is opened when none is open
    /// yet (the name may be written back as by SelectByName), then input is started.
    void StartMidiInput(std::uint8_t target, QString& deviceName);
    /// Input goes nowhere; the device stays open and started.
    void StopMidiInput();

    /// Delivers at once what has been posted so far (the GUI thread's event loop does it too).
    void DeliverPosted();

    std::uint8_t Target() const { return m_target.load(); }
    bool IsOpen() const { return m_open; }
    bool IsStarted() const { return m_started.load(); }
    std::uint32_t DeviceId() const { return m_deviceId; }
    const std::vector<MidiInDeviceEntry>& Devices() const { return m_devicesList; }
    int DeviceCount() const { return static_cast<int>(m_devicesList.size()); }

private:
    // The device's thread.
    void Receive(std::span<const std::uint8_t> bytes) override;

    void CloseDevice();
    void SetTarget(std::uint8_t target);

    IMidiInDevices& m_devices;
    const IClock& m_clock;
    IPrompts& m_prompts;
    const UIStringTable& m_strings;
    std::vector<MidiInDeviceEntry> m_devicesList;
    std::uint32_t m_deviceId = 0;
    bool m_open = false;
    std::atomic<bool> m_started{false};
    std::atomic<std::uint8_t> m_target{kMidiInNobody};
    std::uint64_t m_generation = 0;
    EventHandOff m_handOff;
    mutable std::mutex m_receiverMutex;
    QPointer<QObject> m_receiver;
    MidiInParser m_parser; ///< the device's thread only, or while no device is open
};

} // namespace pv
