// The volume of our own sound output, packed as two 16-bit channel halves (left low, right high).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

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

/// Something of ours that sounds at the wave-out volume: the answer sounds. (The built-in
/// synthesizer, intro included, sounds at the MIDI volume.)
class IVolumeTarget
{
public:
    virtual ~IVolumeTarget() = default;
    /// 0.0 silent .. 1.0 full, as a factor on the amplitude.
    virtual void SetLevel(float level) = 0;
};

/// The level of a packed volume: the louder channel half, with the byte volume 255 (half
/// 0xFF00) and above as full, so that the byte v gives v / 255.
float WaveOutLevel(std::uint32_t packed);

/// The wave-out volume as the program has it: one packed value fanned out to every target
/// registered (each gets it at once on registration). Starts at full volume. Targets are not
/// owned; one that goes before this object removes itself first.
class WaveOutVolume final : public IWaveOutVolume
{
public:
    bool SetVolume(std::uint32_t packed) override;
    std::optional<std::uint32_t> Volume() const override { return m_packed; }

    void AddTarget(IVolumeTarget& target);
    void RemoveTarget(IVolumeTarget& target);

private:
    std::uint32_t m_packed = 0xFFFFFFFFU;
    std::vector<IVolumeTarget*> m_targets;
};

} // namespace pv
