// The timeline of a listening run.
#include "music/devices/CaptureTimeline.h"

#include <algorithm>

namespace pv {

namespace {
// The device's figures and ours may differ by about a block (a figure read a moment before or
// after the hand-over); only a larger lead of the device is audio that never reached us.
constexpr std::uint64_t kMinGapNs = 5'000'000;
} // namespace

CaptureTimeline::CaptureTimeline(std::uint64_t startUs) : m_startUs(startUs) {}

std::uint64_t CaptureTimeline::Place(std::size_t count, unsigned sampleRate,
                                     const std::optional<CaptureStamp>& stamp)
{
    if (sampleRate == 0)
        return m_endNs;
    const std::uint64_t blockNs = static_cast<std::uint64_t>(count) * 1'000'000'000U / sampleRate;
    std::uint64_t startNs = m_endNs;
    if (stamp) {
        const std::int64_t origin = static_cast<std::int64_t>(stamp->arrivalUs) -
                                    static_cast<std::int64_t>(stamp->capturedUs);
        m_originUs = m_originUs ? std::min(*m_originUs, origin) : origin;
        if (stamp->capturedUs > stamp->pendingUs) {
            const std::uint64_t deviceEndNs = (stamp->capturedUs - stamp->pendingUs) * 1000U;
            if (deviceEndNs > m_endNs + blockNs + std::max(blockNs, kMinGapNs))
                startNs = deviceEndNs - blockNs;
        }
    }
    m_endNs = startNs + blockNs;
    return startNs;
}

std::uint64_t CaptureTimeline::ClockUs(std::uint64_t positionNs) const
{
    const auto origin = m_originUs.value_or(static_cast<std::int64_t>(m_startUs));
    return static_cast<std::uint64_t>(
        std::max<std::int64_t>(0, origin + static_cast<std::int64_t>(positionNs / 1000U)));
}

} // namespace pv
