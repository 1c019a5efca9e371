// The built-in synthesizer: FluidSynth with the General MIDI sound font, as a MIDI sink that
// plays through an audio driver or renders into memory.
#pragma once

#include "music/base/Result.h"
#include "music/input/WaveOutVolume.h"
#include "music/sequencer/SequencerTypes.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include <QString>

struct _fluid_hashtable_t;
struct _fluid_synth_t;
struct _fluid_audio_driver_t;

namespace pv {

enum class SynthError : int
{
    SoundFontMissing = 1, ///< the General MIDI sound font is missing or unreadable
    SetupFailed = 2,      ///< FluidSynth itself could not be set up
};

/// Besides its MIDI volume it follows the program's wave-out volume (it plays the intro).
class FluidSynthOutput final : public IMidiSink, public IVolumeTarget
{
public:
    struct Options
    {
        /// Play through the system's audio (false: render into memory only).
        bool audioDriver = true;
        double sampleRate = 48000.0;
        /// Empty: the first General MIDI sound font found (see SoundFontCandidates).
        QString soundFont;
    };

    /// The sound fonts looked for, best first.
    static std::span<const char* const> SoundFontCandidates();
    /// The first existing candidate; nothing when none is installed.
    static std::optional<QString> FindSoundFont();

    /// A synthesizer with its sound font loaded. Fails (with a text that names the package to
    /// install) when no sound font is found or it does not load. A missing audio driver is no
    /// failure: the synthesizer then stays silent.
    static Result<std::unique_ptr<FluidSynthOutput>, SynthError> Create(const Options& options);
    ~FluidSynthOutput() override;
    FluidSynthOutput(const FluidSynthOutput&) = delete;
    FluidSynthOutput& operator=(const FluidSynthOutput&) = delete;

    Status<MidiOutError> Send(std::uint32_t packed) override;

    /// Volume as two 16-bit channel halves (the louder half sets the synthesizer's gain).
    void SetStereoVolume(std::uint32_t stereoVolume);
    std::uint32_t StereoVolume() const { return m_stereoVolume.load(); }
    /// The wave-out level, a factor on top of the MIDI volume.
    void SetLevel(float level) override;
    /// Ends every sounding note at once (also their release).
    void Silence();

    bool HasAudio() const { return m_audio != nullptr; }
    double SampleRate() const { return m_sampleRate; }
    /// Renders left.size() frames (both spans of equal size); only without an audio driver.
    bool Render(std::span<float> left, std::span<float> right);

private:
    FluidSynthOutput() = default;
    void ApplyGain();

    _fluid_hashtable_t* m_settings = nullptr;
    _fluid_synth_t* m_synth = nullptr;
    _fluid_audio_driver_t* m_audio = nullptr;
    double m_sampleRate = 48000.0;
    std::atomic<std::uint32_t> m_stereoVolume{0xFFFFFFFFU};
    std::atomic<float> m_level{1.0F};
};

} // namespace pv
