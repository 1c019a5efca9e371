// The sequencer's vocabulary: its two queues, its event kinds, the play modes and the MIDI sink.
#pragma once

#include "music/base/Result.h"

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

/// Failures of MIDI output; the detail holds the device's or system's text (may be empty).
enum class MidiOutError : int
{
    OpenFailed = 1, ///< the device refused to open
    Unexpected = 2, ///< anything else went wrong while opening or listing
    SendFailed = 3, ///< the device refused a message
};

/// Where MIDI short messages end up (the built-in synthesizer, a MIDI port, a test recorder).
/// Send may be called from the sequencer thread and the GUI thread: implementations serialise.
class IMidiSink
{
public:
    virtual ~IMidiSink() = default;
    /// status + 256 * data 1 + 65536 * data 2; SendFailed with the device's text when it
    /// refused the message.
    virtual Status<MidiOutError> Send(std::uint32_t packed) = 0;
    /// The same message with the time it is due on the sequencer's clock (never later than
    /// the call): a sink that renders sound itself starts it at that time inside its buffer
    /// instead of at the next one. Others send at once.
    virtual Status<MidiOutError> SendAt(std::uint32_t packed, std::uint64_t dueUs)
    {
        static_cast<void>(dueUs);
        return Send(packed);
    }
};

} // namespace pv
