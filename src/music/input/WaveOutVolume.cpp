// Byte volumes of our sound output.
#include "music/input/WaveOutVolume.h"

namespace pv {

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

} // namespace pv
