// The MIDI inputs of this computer.
#include "music/devices/SystemMidiInDevices.h"

#include "music/base/Log.h"
#include "music/base/ThreadScheduling.h"
#include "music/devices/AlsaPortName.h"

#include <rtmidi/RtMidi.h>

namespace pv {

namespace {

/// Messages RtMidi holds when the callback is slow; ours only posts, so this is plenty.
constexpr unsigned kQueueSize = 256;

} // namespace

SystemMidiInDevices::SystemMidiInDevices() = default;

SystemMidiInDevices::~SystemMidiInDevices()
{
    CloseInput();
}

Result<std::vector<MidiInPortInfo>, MidiInError> SystemMidiInDevices::ListInputs()
{
    std::unique_ptr<RtMidiIn> probe;
    try {
        probe = std::make_unique<RtMidiIn>(RtMidi::LINUX_ALSA, kAlsaClientName);
    } catch (const RtMidiError& e) {
        qCDebug(lcPellivark, "No ALSA MIDI inputs: %s", e.what());
        return std::vector<MidiInPortInfo>{};
    }
    try {
        std::vector<MidiInPortInfo> inputs;
        const unsigned count = probe->getPortCount();
        for (unsigned i = 0; i < count; ++i) {
            const std::string name = probe->getPortName(i);
            if (!IsOwnAlsaPort(name))
                inputs.push_back({i, ShownAlsaPortName(name)});
        }
        return inputs;
    } catch (const RtMidiError& e) {
        return Fail(MidiInError::ListFailed, QString::fromStdString(e.getMessage()));
    }
}

void SystemMidiInDevices::OnMessage(double, std::vector<unsigned char>* message, void* sink)
{
    // RtMidi's thread waits for the keyboard; a key must reach the GUI thread even while
    // every core is busy. Asked on its first message, as RtMidi gives no hook when it starts.
    thread_local bool asked = false;
    if (!asked) {
        asked = true;
        static_cast<void>(AskForShortSlice());
    }
    if (message == nullptr || message->empty())
        return;
    static_cast<IMidiInBytes*>(sink)->Receive(
        std::span<const std::uint8_t>(message->data(), message->size()));
}

Status<MidiInError> SystemMidiInDevices::OpenInput(const QString& name, IMidiInBytes& sink)
{
    CloseInput();
    try {
        auto in = std::make_unique<RtMidiIn>(RtMidi::LINUX_ALSA, kAlsaClientName, kQueueSize);
        // Looked up now: a port plugged in or out since the listing moves the others.
        const unsigned count = in->getPortCount();
        unsigned port = 0;
        while (port < count && (IsOwnAlsaPort(in->getPortName(port)) ||
                                ShownAlsaPortName(in->getPortName(port)) != name))
            ++port;
        if (port == count)
            return Fail(MidiInError::OpenFailed,
                        QStringLiteral("The MIDI port is no longer there."));
        in->ignoreTypes(true, true, true);
        in->setCallback(&SystemMidiInDevices::OnMessage, &sink);
        in->openPort(port, "Pellivark input");
        m_in = std::move(in);
        return {};
    } catch (const RtMidiError& e) {
        return Fail(MidiInError::OpenFailed, QString::fromStdString(e.getMessage()));
    } catch (const std::exception& e) {
        qCWarning(lcPellivark, "Opening a MIDI input failed: %s", e.what());
        return Fail(MidiInError::Unexpected, QString::fromUtf8(e.what()));
    }
}

void SystemMidiInDevices::CloseInput()
{
    if (!m_in)
        return;
    try {
        // Waits for RtMidi's thread: no callback runs after this.
        m_in->closePort();
        m_in->cancelCallback();
    } catch (const RtMidiError& e) {
        qCWarning(lcPellivark, "Closing the MIDI input: %s", e.what());
    }
    m_in.reset();
}

} // namespace pv
