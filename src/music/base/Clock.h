// The one monotonic clock of the program: taps, microphone onsets and the sequencer share it.
#pragma once

#include <cstdint>

namespace pv {

class IClock
{
public:
    virtual ~IClock() = default;
    /// Microseconds since an arbitrary fixed start; never goes backwards.
    virtual std::uint64_t NowUs() const = 0;
    /// Milliseconds on the same timeline, wrapping like the 32-bit system millisecond clock.
    std::uint32_t NowMs() const { return static_cast<std::uint32_t>(NowUs() / 1000U); }
};

/// The real clock (std::chrono::steady_clock), counted from the first use in the process.
class SteadyClock final : public IClock
{
public:
    std::uint64_t NowUs() const override;
    /// The process-wide instance.
    static SteadyClock& Instance();
};

/// Milliseconds of the process-wide steady clock.
std::uint32_t MonotonicMs();

} // namespace pv
