// Where captured samples lie in time: from the capture's own figures to the moment each sample
// reached the microphone on the shared clock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace pv {

/// What a capture can tell about a block of samples when it hands it over.
struct CaptureStamp
{
    /// The shared clock when the block was handed over.
    std::uint64_t arrivalUs = 0;
    /// Audio the device had captured by then since it started, by its own count (µs): audio it
    /// dropped on the way counts, and so does audio not yet handed over.
    std::uint64_t capturedUs = 0;
    /// Of that, audio captured after this block and not yet handed over (µs).
    std::uint64_t pendingUs = 0;
};

/// One listening run's timeline. Positions are nanoseconds of audio on the device's own count
/// since it started capturing. Blocks follow each other unless the device's figures show that
/// audio between them was dropped; then the block is placed where the device says, so a gap
/// never shifts what comes after it. The clock time of position 0 is taken from the figures:
/// handed over at arrival with capturedUs captured means position capturedUs was captured at
/// arrival. A block handed over late is late on both counts and changes nothing; the earliest
/// such estimate is kept, since a block can arrive late but never before it was captured.
class CaptureTimeline
{
public:
    /// startUs: the clock when listening started, position 0 while no figures come.
    explicit CaptureTimeline(std::uint64_t startUs);

    /// Places a block of count samples; returns the position of its first sample.
    std::uint64_t Place(std::size_t count, unsigned sampleRate,
                        const std::optional<CaptureStamp>& stamp);
    /// The clock time (µs) at which the audio at that position reached the microphone.
    std::uint64_t ClockUs(std::uint64_t positionNs) const;

private:
    std::uint64_t m_startUs;
    std::uint64_t m_endNs = 0;
    std::optional<std::int64_t> m_originUs;
};

} // namespace pv
