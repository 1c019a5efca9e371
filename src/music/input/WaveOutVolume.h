// The volume of our own sound output, packed as two 16-bit channel halves (left low, right high).
#pragma once

#include <cstdint>
#include <optional>

namespace pv {

class IWaveOutVolume
{
public:
    virtual ~IWaveOutVolume() = default;
    /// False when the output refused the volume.
    virtual bool SetVolume(std::uint32_t packed) = 0;
    /// Empty when the output cannot tell its volume.
    virtual std::optional<std::uint32_t> Volume() const = 0;
};

/// Sets both channels to v in their high byte (v * 256 + v * 16777216); false when refused.
bool SetWaveOutVolume(IWaveOutVolume& output, std::uint8_t v);
/// The left channel's high byte into out; false (out untouched) when the volume is unknown.
bool GetWaveOutVolume(const IWaveOutVolume& output, std::uint8_t& out);

} // namespace pv
