// The sequencer's vocabulary: its two queues, its event kinds, the play modes and the MIDI sink.
#pragma once

#include <cstdint>

#include <QString>

namespace pv {

/// The two queues of the sequencer; they start together and play side by side.
enum class SequencerQueue : std::uint8_t
{
    Music = 1, ///< notes, program changes, waits, the comparison and identification codes
    Click = 2, ///< metronome and percussion clicks and most notifications
};

enum class SequencerEventKind : std::uint8_t
{
    MidiMessage = 0, ///< a packed MIDI short message
    Wait = 1,        ///< a wait of that many sequencer ticks
    Notify = 2,      ///< a notification to a window
};

/// How a note list is played. Stored as a byte: values above 6 play nothing.
enum class TPlayMode : std::uint8_t
{
    Harmonic = 0,
    Ascending = 1,
    Descending = 2,
    Silent = 3,
    Melodic = 4,
    AscendingHeld = 5,
    DescendingHeld = 6,
};

/// Where MIDI short messages end up (the built-in synthesizer, a MIDI port, a test recorder).
/// Send may be called from the sequencer thread and the GUI thread: implementations serialise.
class IMidiSink
{
public:
    virtual ~IMidiSink() = default;
    /// status + 256 * data 1 + 65536 * data 2; false when the device refused it.
    virtual bool Send(std::uint32_t packed) = 0;
    /// The device's text for the last refused message.
    virtual QString LastErrorText() const { return {}; }
};

} // namespace pv
