// The MIDI inputs of this computer: the ALSA sequencer's readable ports.
#pragma once

#include "music/input/MidiInDevices.h"

#include <memory>
#include <string>
#include <vector>

class RtMidiIn;

namespace pv {

class SystemMidiInDevices final : public IMidiInDevices
{
public:
    SystemMidiInDevices();
    ~SystemMidiInDevices() override;
    SystemMidiInDevices(const SystemMidiInDevices&) = delete;
    SystemMidiInDevices& operator=(const SystemMidiInDevices&) = delete;

    /// Without an ALSA sequencer (no /dev/snd/seq, as in containers): no inputs.
    Result<std::vector<MidiInPortInfo>, MidiInError> ListInputs() override;
    Status<MidiInError> OpenInput(const QString& name, IMidiInBytes& sink) override;
    void CloseInput() override;

private:
    static void OnMessage(double deltaSeconds, std::vector<unsigned char>* message, void* sink);

    std::unique_ptr<RtMidiIn> m_in;
};

} // namespace pv
