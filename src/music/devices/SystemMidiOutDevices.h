// The MIDI outputs of this computer: the built-in synthesizer first, then the ALSA MIDI ports.
#pragma once

#include "music/devices/FluidSynthOutput.h"
#include "music/sequencer/MidiOutDevices.h"

#include <memory>
#include <vector>

class RtMidiOut;

namespace pv {

class SystemMidiOutDevices final : public IMidiOutDevices
{
public:
    struct Options
    {
        /// The synthesizer plays through an audio driver (false: silent, for tests).
        bool synthAudio = true;
        /// Empty: the first General MIDI sound font found.
        QString soundFont;
        /// The synthesizer's audio drivers tried in turn; empty: the usual ones.
        QStringList audioDrivers = {};
    };

    /// Name of the built-in synthesizer's entry.
    static QString SynthName();

    SystemMidiOutDevices();
    explicit SystemMidiOutDevices(const Options& options);
    ~SystemMidiOutDevices() override;

    Result<std::vector<MidiOutPortInfo>, MidiOutError> ListOutputs() override;
    Result<IMidiSink*, MidiOutError> OpenOutput(const QString& name) override;
    void CloseOutput() override;
    bool SetOutputVolume(std::uint32_t stereoVolume) override;
    std::optional<std::uint32_t> OutputVolume() const override;
    /// The built-in synthesizer open without an audio output (when it was to have one).
    QString SoundProblem() const override;

    /// The built-in synthesizer while it is the open output (rendering into memory in tests).
    FluidSynthOutput* OpenSynth() const { return m_synthOpen ? m_synth.get() : nullptr; }

    /// The built-in synthesizer, made (its sound font loaded) when it is not yet: it also plays
    /// while another output is open or none is (the intro).
    Result<FluidSynthOutput*, MidiOutError> BuiltInSynth();

    /// The ALSA port names as shown (without client:port numbers); empty without ALSA.
    static std::vector<QString> AlsaPortNames();

private:
    class PortSink;

    Options m_options;
    std::unique_ptr<FluidSynthOutput> m_synth; ///< kept once made: loading the font takes time
    bool m_synthOpen = false;
    std::unique_ptr<PortSink> m_port;
};

} // namespace pv
