// The MIDI output devices as the MIDI output sees them: a list, one open device, its volume.
#pragma once

#include "music/base/Result.h"
#include "music/sequencer/SequencerTypes.h"

#include <cstdint>
#include <optional>
#include <vector>

#include <QString>

namespace pv {

/// Id of the device that takes the place of the system's MIDI mapper (the built-in synth).
inline constexpr std::uint32_t kMidiMapperId = 0xFFFFFFFFU;

struct MidiOutPortInfo
{
    std::uint32_t id = 0;
    QString name;
};

class IMidiOutDevices
{
public:
    virtual ~IMidiOutDevices() = default;
    /// The outputs in the order they are offered, the mapper's stand-in first when present.
    virtual Result<std::vector<MidiOutPortInfo>, MidiOutError> ListOutputs() = 0;
    /// Opens the output of that name as the system lists it at this moment, not at the last
    /// listing: ports come and go and change places while the program runs. At most one output
    /// is open; the sink stays valid until CloseOutput. A name no longer listed fails with
    /// OpenFailed and a detail saying so.
    virtual Result<IMidiSink*, MidiOutError> OpenOutput(const QString& name) = 0;
    virtual void CloseOutput() = 0;
    /// Volume as two 16-bit channel halves (left low, right high); false when unsupported.
    virtual bool SetOutputVolume(std::uint32_t stereoVolume) = 0;
    virtual std::optional<std::uint32_t> OutputVolume() const = 0;
    /// Why the open output takes notes yet nobody hears them, and what to do about it; empty
    /// when it sounds (or cannot tell).
    virtual QString SoundProblem() const { return {}; }
};

} // namespace pv
