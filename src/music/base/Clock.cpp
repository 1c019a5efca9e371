// The process-wide steady clock.
#include "music/base/Clock.h"

#include <chrono>

namespace pv {

namespace {
const std::chrono::steady_clock::time_point kProcessStart = std::chrono::steady_clock::now();
}

std::uint64_t SteadyClock::NowUs() const
{
    const auto elapsed = std::chrono::steady_clock::now() - kProcessStart;
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count());
}

SteadyClock& SteadyClock::Instance()
{
    static SteadyClock clock;
    return clock;
}

std::uint32_t MonotonicMs()
{
    return SteadyClock::Instance().NowMs();
}

} // namespace pv
