// Byte volumes of our sound output and their fan-out to what sounds.
#include "music/input/WaveOutVolume.h"

#include <algorithm>

namespace pv {

namespace {
constexpr std::uint32_t kFullHalf = 0xFF00U;
}

bool SetWaveOutVolume(IWaveOutVolume& output, std::uint8_t v)
{
    const std::uint32_t half = static_cast<std::uint32_t>(v) << 8U;
    return output.SetVolume(half | (half << 16U));
}

bool GetWaveOutVolume(const IWaveOutVolume& output, std::uint8_t& out)
{
    const std::optional<std::uint32_t> packed = output.Volume();
    if (!packed)
        return false;
    out = static_cast<std::uint8_t>((*packed >> 8U) & 0xFFU);
    return true;
}

float WaveOutLevel(std::uint32_t packed)
{
    const std::uint32_t louder = std::min(std::max(packed & 0xFFFFU, packed >> 16U), kFullHalf);
    return static_cast<float>(louder) / static_cast<float>(kFullHalf);
}

bool WaveOutVolume::SetVolume(std::uint32_t packed)
{
    m_packed = packed;
    const float level = WaveOutLevel(packed);
    for (IVolumeTarget* target : m_targets)
        target->SetLevel(level);
    return true;
}

void WaveOutVolume::AddTarget(IVolumeTarget& target)
{
    if (std::find(m_targets.begin(), m_targets.end(), &target) == m_targets.end())
        m_targets.push_back(&target);
    target.SetLevel(WaveOutLevel(m_packed));
}

void WaveOutVolume::RemoveTarget(IVolumeTarget& target)
{
    m_targets.erase(std::remove(m_targets.begin(), m_targets.end(), &target), m_targets.end());
}

} // namespace pv
