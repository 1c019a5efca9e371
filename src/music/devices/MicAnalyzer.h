// Pitch (aubio yinfft) and onset analysis of microphone samples, fed by hand so it runs without a
// sound card.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <utility>
#include <vector>

namespace pv {

/// What the three configuration values of the microphone mean to the analysis.
struct MicTuning
{
    /// An onset is a rise of the envelope to this many times the level before it.
    float onsetThreshold = 3.0F;
    /// Hops quieter than this (dB of the mean square, full scale 0 dB) never start an onset.
    float onsetSilenceDb = -45.0F;
    /// Pitch frames whose mean square (full scale 1.0) lies below this count as silence.
    double gateMeanSquare = 1e-4;
    /// Periodicity (0..1, correlation over one period) a frame needs to count as sung.
    float minConfidence = 0.5F;
    /// A note is reported once it has held this long.
    int holdMs = 23;
    /// Above 0: besides the reports of new notes, a reading every this many ms of the stream
    /// of the note sung then (0 once the voice has stopped), for receivers that weigh readings.
    int readingMs = 0;
};

/// Default configuration values: rhythm sensitivity 2, tone sensitivity 3, no high precision.
inline constexpr int kDefaultRhythmValue = 11;
inline constexpr double kDefaultToneValue = 196608.0 * 8.0;

/// Turns the configuration values into analysis parameters.
/// rhythmValue = (r + 1)^2 + 2 for the rhythm sensitivity r = 0..8 (3..83): the rise an onset
/// needs above the level before it is 2 + 11 / rhythmValue (5.7x at r = 0, 3x at the default
/// r = 2, 2.1x at r = 8) and the silence floor (-45 dB at r = 2) drops by 10 dB per tenfold
/// value, so a higher sensitivity hears softer claps and claps in more noise.
/// toneValue = 196608 * 2^t for the tone sensitivity t = 0..8: read as a power gain, so the level
/// gate of sung frames is -30 dB of full scale at t = 0 and 3 dB lower per step (-54 dB at 8).
/// highPrecision != 0: a stricter confidence and a longer hold (fewer wrong notes, later lock).
MicTuning TuningFromConfig(int rhythmValue, std::uint8_t highPrecision, double toneValue);

enum class MicMode
{
    Pitch,
    Onset
};

struct MicDetection
{
    enum class Kind
    {
        Note,
        Onset,
        /// The note sung at this moment (0: none), when MicTuning::readingMs asks for readings.
        Reading
    };
    Kind kind = Kind::Note;
    /// MIDI note of a Note or Reading detection (0 for an onset).
    int note = 0;
    /// Stream position: for an onset the first sample of the attack, for a note the end of the
    /// samples that decided it.
    std::uint64_t sampleIndex = 0;
};

/// What held a pitch frame back from reporting a note (or that it reported one).
enum class MicPitchCheck
{
    Reported,
    Level,
    Confidence,
    Range,
    Hold,
    Spread,
    SameNote,
    Reach,
    Octave
};

/// One pitch frame as the analysis saw it, for diagnosis.
struct MicPitchFrame
{
    std::uint64_t sampleIndex = 0;
    float pitch = 0.0F;
    float confidence = 0.0F;
    MicPitchCheck check = MicPitchCheck::Reported;
};

/// One analysis run: samples in, detections out. Not thread-safe; one thread feeds it.
class MicAnalyzer
{
public:
    MicAnalyzer(MicMode mode, unsigned sampleRate, const MicTuning& tuning);
    ~MicAnalyzer();
    MicAnalyzer(const MicAnalyzer&) = delete;
    MicAnalyzer& operator=(const MicAnalyzer&) = delete;

    /// Analyses the samples (mono, full scale ±1) and appends what they reveal to out.
    void Push(std::span<const float> samples, std::vector<MicDetection>& out);

    MicMode Mode() const { return m_mode; }
    unsigned SampleRate() const { return m_sampleRate; }
    std::uint64_t SamplesSeen() const { return m_samplesSeen; }
    /// False when aubio could not be loaded or could not build its objects for this rate (no
    /// detections then).
    bool IsValid() const;
    /// Appends every pitch frame to trace from now on (nullptr: no more).
    void TracePitch(std::vector<MicPitchFrame>* trace) { m_trace = trace; }

private:
    void AnalyseHop(std::vector<MicDetection>& out);
    void AnalysePitchHop(std::vector<MicDetection>& out);
    /// The decision on the latest voiced frame: the note, or what held it back.
    MicPitchCheck DecidePitch(int& note);
    /// The note (lower or lower + 1) at the centre of a vibrato seen in the readings, or -1
    /// while they cannot tell.
    static float VibratoCentre(std::span<const float> readings, float lower, double hopMs,
                               double noteReach);
    void AnalyseOnsetHop(std::vector<MicDetection>& out);
    void RefinePendingOnsets(std::vector<MicDetection>& out);
    std::uint64_t RefineOnset(std::uint64_t detectedAt) const;
    float HistoryAt(std::uint64_t index) const;
    /// Normalised correlation of the latest samples with those lag earlier, over length samples
    /// (0: the length that suits the lag).
    double Correlation(double lag, std::uint64_t length = 0) const;
    static std::uint64_t CorrelationLength(double lag);
    /// The best-repeating lag near the given one: (correlation, lag).
    std::pair<double, double> BestRepeat(double lag, bool refine) const;
    /// yinfft's pitch checked against multiples of its period: (pitch, periodicity 0..1).
    std::pair<float, float> CheckedPitch(float midiPitch) const;
    /// The period among candidate (correlation, lag) pairs: (pitch, periodicity 0..1).
    std::pair<float, float> Period(std::vector<std::pair<double, double>> candidates) const;
    /// Whether a shorter lag repeats about as well as a longer one it divides.
    static bool Explains(double shorterScore, double longerScore);
    bool ExplainsLag(double shorter, double longer) const;

    MicMode m_mode;
    unsigned m_sampleRate;
    MicTuning m_tuning;
    unsigned m_hop = 256;
    unsigned m_window = 2048;
    // aubio's objects, kept out of this header.
    struct Aubio;
    std::unique_ptr<Aubio> m_aubio;
    unsigned m_hopFill = 0;
    std::uint64_t m_samplesSeen = 0;

    // Pitch state.
    // Pitches of the current run of sung frames, newest last.
    std::deque<float> m_run;
    // Their periodicity.
    std::deque<float> m_runConfidence;
    std::size_t m_holdFrames = 6;
    std::size_t m_longFrames = 19;
    std::size_t m_releaseFrames = 14;
    std::size_t m_unvoicedRun = 0;
    int m_heldNote = -1;
    std::size_t m_readingFrames = 0; ///< 0: no readings
    std::size_t m_framesSinceReading = 0;
    std::vector<MicPitchFrame>* m_trace = nullptr;

    // Recent samples: periodicity of pitches, attack times of onsets.
    std::vector<float> m_history;

    // Onset state: recent envelope levels, the trigger, detections awaiting their look-ahead.
    std::deque<double> m_levels;
    std::size_t m_backgroundFrames = 400;
    bool m_armed = true;
    std::size_t m_recentFromFrames = 4;
    std::size_t m_recentToFrames = 14;
    double m_burstPeak = 0.0;
    std::uint64_t m_triggeredAt = 0;
    std::deque<std::uint64_t> m_pendingOnsets;
    std::uint64_t m_lastOnset = 0;
    bool m_anyOnset = false;
};

} // namespace pv
