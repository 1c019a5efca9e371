// The built-in synthesizer: FluidSynth with the General MIDI sound font, as a MIDI sink that
// plays through an audio driver or renders into memory.
#pragma once

#include "music/base/Result.h"
#include "music/sequencer/SequencerTypes.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

#include <QString>
#include <QStringList>

struct _fluid_hashtable_t;
struct _fluid_synth_t;
struct _fluid_audio_driver_t;

namespace pv {

class IClock;
struct FluidSynthApi;

enum class SynthError : int
{
    SoundFontMissing = 1, ///< the General MIDI sound font is missing or unreadable
    SetupFailed = 2,      ///< FluidSynth itself could not be set up
};

/// Its level is the MIDI volume alone (its notes and the intro it plays); the wave-out volume
/// belongs to the answer sounds, so that one control never acts twice on the same gain.
class FluidSynthOutput final : public IMidiSink
{
public:
    struct Options
    {
        /// Play through the system's audio (false: render into memory only).
        bool audioDriver = true;
        double sampleRate = 48000.0;
        /// Empty: the first General MIDI sound font found (see SoundFontCandidates).
        QString soundFont;
        /// The clock that due times of SendAt are on (must outlive the synthesizer); null:
        /// the process-wide steady clock.
        const IClock* clock = nullptr;
        /// FluidSynth's audio drivers tried in turn; empty: PipeWire, PulseAudio, ALSA.
        QStringList audioDrivers = {};
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

    /// Sounds at once (from the next block the synthesizer renders).
    Status<MidiOutError> Send(std::uint32_t packed) override;
    /// Sounds at the sample of the audio clock that dueUs falls on (see RenderPeriod); one
    /// already past sounds at the start of the next buffer.
    Status<MidiOutError> SendAt(std::uint32_t packed, std::uint64_t dueUs) override;

    /// Volume as two 16-bit channel halves (the louder half sets the synthesizer's gain); it
    /// stays while the output is closed, for the intro played meanwhile.
    void SetStereoVolume(std::uint32_t stereoVolume);
    std::uint32_t StereoVolume() const { return m_stereoVolume.load(); }
    /// Ends every sounding note at once (also their release).
    void Silence();

    bool HasAudio() const { return m_audio != nullptr; }
    double SampleRate() const { return m_sampleRate; }
    /// Renders left.size() frames (both spans of equal size); only without an audio driver.
    /// Everything sent so far, due or not, sounds from its first frame.
    bool Render(std::span<float> left, std::span<float> right);
    /// Renders frames that stand for the audio from startUs on the clock: messages sent with
    /// SendAt start at the frame of their due time (to within half of the synthesizer's block
    /// of 64 frames), those due later wait for a later buffer. Only without an audio driver.
    bool RenderAt(std::uint64_t startUs, std::span<float> left, std::span<float> right);
    /// Renders the next buffer as the audio driver asks for it, now: the buffer stands for the
    /// audio a period and a safety margin before now on the clock (late messages by up to that
    /// margin still start at their sample), on a timeline that follows the frame count and is
    /// set anew only when the callbacks drift away from it. Returns the clock time the buffer
    /// stands for. Only without an audio driver (the driver calls it itself).
    std::optional<std::uint64_t> RenderPeriod(std::span<float> left, std::span<float> right);
    /// What RenderPeriod adds to the delay of the sound, besides the device's own (µs).
    static std::uint64_t ScheduleMarginUs();

    /// Runs work with the synthesizer while no buffer is being rendered: for attaching and
    /// detaching what FluidSynth drives from within rendering (its MIDI file player).
    void WhileNotRendering(const std::function<void(_fluid_synth_t*)>& work);

private:
    struct Timed
    {
        std::uint64_t dueUs;
        std::uint64_t order;
        std::uint32_t packed;
    };

    FluidSynthOutput() = default;
    void ApplyGain();
    int Apply(std::uint32_t packed);
    bool Write(std::span<float> left, std::span<float> right, std::size_t from, std::size_t to);
    /// Renders one buffer standing for the audio from startUs (the audio thread or the caller).
    bool RenderTimed(std::uint64_t startUs, std::span<float> left, std::span<float> right);
    std::uint64_t PeriodStartUs(std::size_t frames);
    static int DriverCallback(void* data, int len, int nfx, float* fx[], int nout, float* out[]);

    /// FluidSynth's functions (loaded with the first synthesizer).
    const FluidSynthApi* m_fluid = nullptr;
    _fluid_hashtable_t* m_settings = nullptr;
    _fluid_synth_t* m_synth = nullptr;
    _fluid_audio_driver_t* m_audio = nullptr;
    double m_sampleRate = 48000.0;
    const IClock* m_clock = nullptr;

    // Messages waiting for their sample, in due order (sent from the sequencer's thread).
    std::mutex m_timedMutex;
    std::vector<Timed> m_timed;
    std::uint64_t m_order = 0;
    // Held while a buffer renders: what runs inside rendering is attached and detached apart.
    std::mutex m_renderMutex;
    // Render state (the audio thread's once a driver runs).
    std::vector<Timed> m_dueNow;
    std::uint64_t m_frames = 0;              ///< frames rendered since the start
    std::optional<std::uint64_t> m_anchorUs; ///< clock time of frame m_anchorFrame
    std::uint64_t m_anchorFrame = 0;
    std::atomic<std::uint32_t> m_stereoVolume{0xFFFFFFFFU};
};

} // namespace pv
