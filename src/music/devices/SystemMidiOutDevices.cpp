// The MIDI outputs of this computer.
#include "music/devices/SystemMidiOutDevices.h"

#include "music/base/Log.h"
#include "music/devices/AlsaPortName.h"
#include "music/sequencer/MidiMessage.h"

#include <mutex>

#include <rtmidi/RtMidi.h>

namespace pv {

namespace {

/// Bytes of a channel message by its status; system messages are not sent.
std::size_t MessageLength(std::uint8_t status)
{
    switch (status & 0xF0U) {
    case 0xC0:
    case 0xD0:
        return 2;
    case 0x80:
    case 0x90:
    case 0xA0:
    case 0xB0:
    case 0xE0:
        return 3;
    default:
        return 0;
    }
}

} // namespace

class SystemMidiOutDevices::PortSink final : public IMidiSink
{
public:
    explicit PortSink(std::unique_ptr<RtMidiOut> out) : m_out(std::move(out)) {}

    Status<MidiOutError> Send(std::uint32_t packed) override
    {
        const unsigned char bytes[3] = {MessageStatus(packed), MessageData1(packed),
                                        MessageData2(packed)};
        const std::size_t length = MessageLength(bytes[0]);
        if (length == 0)
            return {};
        std::lock_guard lock(m_mutex);
        try {
            m_out->sendMessage(bytes, length);
            return {};
        } catch (const RtMidiError& e) {
            return Fail(MidiOutError::SendFailed, QString::fromStdString(e.getMessage()));
        }
    }

private:
    std::mutex m_mutex;
    std::unique_ptr<RtMidiOut> m_out;
};

QString SystemMidiOutDevices::SynthName()
{
    return QStringLiteral("Pellivark synthesizer");
}

SystemMidiOutDevices::SystemMidiOutDevices() : SystemMidiOutDevices(Options{}) {}

SystemMidiOutDevices::SystemMidiOutDevices(const Options& options) : m_options(options) {}

SystemMidiOutDevices::~SystemMidiOutDevices() = default;

std::vector<QString> SystemMidiOutDevices::AlsaPortNames()
{
    std::vector<QString> names;
    // Without an ALSA sequencer (no /dev/snd/seq, as in containers) RtMidi throws: no ports.
    try {
        RtMidiOut probe(RtMidi::LINUX_ALSA, kAlsaClientName);
        const unsigned count = probe.getPortCount();
        for (unsigned i = 0; i < count; ++i) {
            const std::string name = probe.getPortName(i);
            if (!IsOwnAlsaPort(name))
                names.push_back(ShownAlsaPortName(name));
        }
    } catch (const RtMidiError& e) {
        qCDebug(lcPellivark, "No ALSA MIDI ports: %s", e.what());
    }
    return names;
}

Result<std::vector<MidiOutPortInfo>, MidiOutError> SystemMidiOutDevices::ListOutputs()
{
    std::vector<MidiOutPortInfo> outputs;
    outputs.push_back({kMidiMapperId, SynthName()});
    const std::vector<QString> ports = AlsaPortNames();
    for (std::size_t i = 0; i < ports.size(); ++i)
        outputs.push_back({static_cast<std::uint32_t>(i), ports[i]});
    return outputs;
}

Result<IMidiSink*, MidiOutError> SystemMidiOutDevices::OpenOutput(const QString& name)
{
    CloseOutput();
    if (name == SynthName()) {
        const Result<FluidSynthOutput*, MidiOutError> synth = BuiltInSynth();
        if (!synth)
            return synth.Err();
        m_synthOpen = true;
        return static_cast<IMidiSink*>(m_synth.get());
    }
    try {
        auto out = std::make_unique<RtMidiOut>(RtMidi::LINUX_ALSA, kAlsaClientName);
        // Looked up now: a port plugged in or out since the listing moves the others.
        const unsigned count = out->getPortCount();
        unsigned port = 0;
        while (port < count && ShownAlsaPortName(out->getPortName(port)) != name)
            ++port;
        if (port == count)
            return Fail(MidiOutError::OpenFailed,
                        QStringLiteral("The MIDI port is no longer there."));
        out->openPort(port, "Pellivark output");
        m_port = std::make_unique<PortSink>(std::move(out));
        return static_cast<IMidiSink*>(m_port.get());
    } catch (const RtMidiError& e) {
        return Fail(MidiOutError::OpenFailed, QString::fromStdString(e.getMessage()));
    } catch (const std::exception& e) {
        qCWarning(lcPellivark, "Opening a MIDI port failed: %s", e.what());
        return Fail(MidiOutError::Unexpected, QString::fromUtf8(e.what()));
    }
}

Result<FluidSynthOutput*, MidiOutError> SystemMidiOutDevices::BuiltInSynth()
{
    if (!m_synth) {
        Result<std::unique_ptr<FluidSynthOutput>, SynthError> made = FluidSynthOutput::Create(
            {m_options.synthAudio, 48000.0, m_options.soundFont, nullptr, m_options.audioDrivers});
        if (!made)
            return Fail(MidiOutError::OpenFailed, made.Detail());
        m_synth = std::move(made.Value());
    }
    return m_synth.get();
}

void SystemMidiOutDevices::CloseOutput()
{
    if (m_synthOpen && m_synth)
        m_synth->Silence();
    m_synthOpen = false;
    m_port.reset();
}

bool SystemMidiOutDevices::SetOutputVolume(std::uint32_t stereoVolume)
{
    if (!m_synthOpen || !m_synth)
        return false; // MIDI ports have no volume of their own here
    m_synth->SetStereoVolume(stereoVolume);
    return true;
}

QString SystemMidiOutDevices::SoundProblem() const
{
    if (!m_synthOpen || !m_synth || !m_options.synthAudio || m_synth->HasAudio())
        return {};
    return QStringLiteral(
        "The built-in synthesizer found no audio output: neither PipeWire, PulseAudio nor ALSA "
        "could be opened, so the exercises play in silence. Check that a sound card or headset "
        "is connected and not muted, and that the sound server runs (the packages "
        "pipewire-pulse or pulseaudio), then start Pellivark again.");
}

std::optional<std::uint32_t> SystemMidiOutDevices::OutputVolume() const
{
    if (!m_synthOpen || !m_synth)
        return std::nullopt;
    return m_synth->StereoVolume();
}

} // namespace pv
