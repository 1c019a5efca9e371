// The MIDI input devices as the MIDI input sees them: a list and at most one open input whose
// bytes go to one sink.
#pragma once

#include "music/base/Result.h"

#include <cstdint>
#include <span>
#include <vector>

#include <QString>

namespace pv {

enum class MidiInError : int
{
    ListFailed = 1, ///< the system could not say which inputs there are
    OpenFailed = 2, ///< the input refused to open or is no longer there
    Unexpected = 3, ///< anything else went wrong while opening
};

struct MidiInPortInfo
{
    std::uint32_t id = 0;
    QString name;
};

/// Takes the bytes an open input receives, on the device's own thread. Bytes come in the order
/// they were received, split anywhere (a message may straddle two calls).
class IMidiInBytes
{
public:
    virtual ~IMidiInBytes() = default;
    virtual void Receive(std::span<const std::uint8_t> bytes) = 0;
};

class IMidiInDevices
{
public:
    virtual ~IMidiInDevices() = default;
    /// The inputs in the order they are offered. No MIDI system at all is no inputs, not a
    /// failure.
    virtual Result<std::vector<MidiInPortInfo>, MidiInError> ListInputs() = 0;
    /// Opens the input of that name as the system lists it now (ports come and go and change
    /// places while the program runs), closing the one open before. From then on until
    /// CloseInput its bytes go to sink, which must outlive the open input.
    virtual Status<MidiInError> OpenInput(const QString& name, IMidiInBytes& sink) = 0;
    /// After it returns the sink is called no more.
    virtual void CloseInput() = 0;
};

} // namespace pv
