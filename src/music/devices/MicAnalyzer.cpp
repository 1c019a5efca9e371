// Pitch analysis of microphone samples with aubio, onset analysis on their envelope.
#include "music/devices/MicAnalyzer.h"

#include "music/devices/AubioLibrary.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <tuple>

namespace pv {

namespace {

// An onset is a rise of the envelope to this many times the level before it (at the default
// rhythm sensitivity), above a floor of this many dB of full scale.
constexpr double kDefaultRiseRatio = 3.0;
// Below about twice its low percentile the envelope of plain noise rises by itself.
constexpr double kLeastRise = 2.0;
constexpr float kDefaultSilenceDb = -45.0F;
// Mean square of the level gate at tone sensitivity 0 (-30 dB of full scale).
constexpr double kGateAtToneUnit = 1e-3;
constexpr double kToneUnit = 196608.0;

// Notes outside this range are not sung; yinfft's answers there are noise or octave slips.
constexpr float kLowestNote = 33.0F;
constexpr float kHighestNote = 96.0F;
// Frames of a hold must lie within this many semitones of their median.
constexpr float kHoldSpread = 1.0F;
// Readings of the period taken twice to six times too long: a multiple of the period repeats as
// well as the period itself, so noise alone now and then tips the choice to one. (Half the
// period is no such slip: it repeats as well only when the odd harmonics are weak, and a run of
// such readings is an octave error, not a note.)
constexpr std::array<float, 5> kSlips = {-12.0F, -19.02F, -24.0F, -27.86F, -31.02F};
// How near a reading must lie to a slip of the median to count as one.
constexpr float kSlipReach = 0.5F;
// Slips a hold tolerates: one is a stray frame; in loud noise a hold of several is as likely a
// hold on the wrong octave with the true period among the strays.
constexpr std::size_t kSlipsPerHold = 1;
// A held note changes only when the median leaves it by this much: ±50 cents of vibrato
// around a note never reaches it, a real step of a semitone does.
constexpr float kChangeDistance = 0.75F;
// Silence this long ends a note, so the same note sung again is reported again.
constexpr int kReleaseMs = 80;
// A median this close to a note is taken after the short hold; farther out, the long hold.
constexpr float kClearDistance = 0.35F;
// Half a cycle of a slow vibrato (4.5 Hz).
constexpr int kLongHoldMs = 110;
// The readings that must all lie within reach of one note to take it before the long hold.
constexpr double kReachMs = 45.0;
// How far a reading may lie from the note sung: ±50 cents of vibrato, ±15 cents of a singer's
// own tuning and a little of the detector's own wander.
constexpr float kNoteReach = 0.7F;
// The vibrato's curvature is read over at least this span of readings, for rates between these;
// a parabola fitting the readings worse than this (semitones) is noise, not a swing.
constexpr double kCurveMs = 30.0;
constexpr double kSlowVibratoHz = 4.5;
constexpr double kFastVibratoHz = 7.0;
constexpr double kCurveFitRest = 0.04;
// Between two candidate notes, the centre the curvature gives must lie this near one of them at
// both rates. To leave a held note it must lie nearer still to the other note, and every reading
// of the hold must be clearly periodic: in loud noise a few readings bend the fit.
constexpr double kCurveNoteReach = 0.45;
constexpr double kCurveLeaveReach = 0.3;
constexpr float kCurveLeaveConfidence = 0.9F;
// The first readings of a voice, bent by its attack.
constexpr std::size_t kAttackFrames = 2;
constexpr int kCoarseSteps = 6;
constexpr double kCoarseStep = 0.01;
constexpr int kFineSteps = 5;
constexpr double kFineStep = 0.002;
// A shorter lag is the period when what it leaves unexplained exceeds that of a longer one by
// at most this share of the longer one's plus this floor.
constexpr double kRestAllowance = 0.1;
constexpr double kRestFloor = 0.003;
// Candidates repeating this much worse than the best are no period.
constexpr double kCandidateRange = 0.15;
// Below this the multiples and fractions of yinfft's answer may all miss the period.
constexpr double kClearPeriodicity = 0.88;

// Onset timing: the trigger is refined on the waveform around it.
constexpr double kLookBackMs = 40.0;
// An onset is reported once this much follows its trigger: the attack's peak lies within two
// rises of it. Every millisecond here is one more before the clap's event arrives.
constexpr double kLookAheadMs = 2.0 * 2.5 + 1.0;
// After an onset, its ragged tail is no attack of the next one for this long.
constexpr double kTailMs = 12.0;
constexpr double kEnvelopeMs = 1.0;
constexpr double kRiseMs = 2.5;
// The attack starts where the envelope first rises above this share of its rise.
constexpr double kAttackShare = 0.2;
constexpr double kMinOnsetGapMs = 50.0;
// After a clap the trigger waits until the envelope has fallen below this share of its peak.
constexpr double kRearmShare = 0.35;
constexpr double kBackgroundMs = 300.0;
// The level before a clap is taken from this span before the latest window: a soft clap in
// noise, rising slowly, needs the first few milliseconds of its attack to rise that far, and
// from then on its own attack counts as the level before it.
constexpr double kRecentFromMs = 5.0;
constexpr double kRecentToMs = 12.0;
// The recent level counts as a tail, wholly, from twice the background; from this ratio up it
// counts in part.
constexpr double kTailFromRatio = 1.6;
constexpr double kTailRatio = 2.0;
constexpr std::size_t kHistorySize = 16384;

// The reading moved back onto the note it slipped from, if it is a slip of around.
float Unslipped(float reading, float around)
{
    for (const float slip : kSlips) {
        if (std::fabs(reading - around - slip) <= kSlipReach)
            return reading - slip;
    }
    return reading;
}

float Median(std::vector<float>& values)
{
    const auto middle = values.begin() + static_cast<long>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

double MidiHz(double midi)
{
    return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0);
}

} // namespace

struct MicAnalyzer::Aubio
{
    /// Null when aubio could not be loaded (the analyser then finds nothing).
    const AubioApi* api = LoadAubio();
    aubio_pitch_t* pitch = nullptr;
    fvec_t* hopIn = nullptr;
    fvec_t* result = nullptr;

    ~Aubio()
    {
        if (pitch != nullptr)
            api->del_aubio_pitch(pitch);
        if (hopIn != nullptr)
            api->del_fvec(hopIn);
        if (result != nullptr)
            api->del_fvec(result);
    }
};

MicTuning TuningFromConfig(int rhythmValue, std::uint8_t highPrecision, double toneValue)
{
    MicTuning tuning;
    const double rhythm = std::max(1, rhythmValue);
    tuning.onsetThreshold = static_cast<float>(kLeastRise + (kDefaultRiseRatio - kLeastRise) *
                                                                kDefaultRhythmValue / rhythm);
    tuning.onsetSilenceDb =
        static_cast<float>(kDefaultSilenceDb - 10.0 * std::log10(rhythm / kDefaultRhythmValue));
    const double tone = toneValue > 0.0 ? toneValue : kDefaultToneValue;
    tuning.gateMeanSquare = kGateAtToneUnit * kToneUnit / tone;
    if (highPrecision != 0) {
        tuning.minConfidence = 0.55F;
        tuning.holdMs = 45;
    } else {
        tuning.minConfidence = 0.5F;
        tuning.holdMs = 23;
    }
    return tuning;
}

MicAnalyzer::MicAnalyzer(MicMode mode, unsigned sampleRate, const MicTuning& tuning)
    : m_mode(mode), m_sampleRate(sampleRate), m_tuning(tuning), m_aubio(std::make_unique<Aubio>())
{
    // The same span of time at every rate: 128/2048 at 44.1 and 48 kHz, doubled at 96 kHz. The
    // short hop costs twice the analysis of 256 but shortens the time to the first report.
    const unsigned scale = std::max(1U, (sampleRate + 30000U) / 60000U);
    const AubioApi* api = m_aubio->api;
    if (mode == MicMode::Pitch) {
        m_hop = 128U * scale;
        m_window = 2048U * scale;
        m_aubio->pitch =
            api != nullptr ? api->new_aubio_pitch("yinfft", m_window, m_hop, sampleRate) : nullptr;
        if (m_aubio->pitch != nullptr) {
            api->aubio_pitch_set_unit(m_aubio->pitch, "midi");
            // Our own level gate decides silence.
            api->aubio_pitch_set_silence(m_aubio->pitch, -120.0F);
        }
    } else {
        m_hop = 32U * scale;
        m_window = 64U * scale;
    }
    m_history.assign(kHistorySize, 0.0F);
    if (api != nullptr) {
        m_aubio->hopIn = api->new_fvec(m_hop);
        m_aubio->result = api->new_fvec(1);
    }
    const double hopMs = 1000.0 * m_hop / sampleRate;
    m_holdFrames = static_cast<std::size_t>(std::max(1.0, std::ceil(tuning.holdMs / hopMs)));
    m_releaseFrames = static_cast<std::size_t>(std::max(1.0, std::ceil(kReleaseMs / hopMs)));
    m_recentFromFrames = static_cast<std::size_t>(std::ceil(kRecentFromMs / hopMs));
    m_recentToFrames = static_cast<std::size_t>(std::ceil(kRecentToMs / hopMs));
    m_backgroundFrames = static_cast<std::size_t>(std::max(1.0, std::ceil(kBackgroundMs / hopMs)));
    m_longFrames = std::max(m_holdFrames, static_cast<std::size_t>(std::ceil(kLongHoldMs / hopMs)));
    if (tuning.readingMs > 0)
        m_readingFrames =
            static_cast<std::size_t>(std::max(1.0, std::round(tuning.readingMs / hopMs)));
}

MicAnalyzer::~MicAnalyzer() = default;

bool MicAnalyzer::IsValid() const
{
    return (m_aubio->pitch != nullptr || m_mode == MicMode::Onset) && m_aubio->hopIn != nullptr &&
           m_aubio->result != nullptr;
}

void MicAnalyzer::Push(std::span<const float> samples, std::vector<MicDetection>& out)
{
    if (!IsValid())
        return;
    for (const float sample : samples) {
        m_history[m_samplesSeen % kHistorySize] = sample;
        m_aubio->hopIn->data[m_hopFill++] = sample;
        ++m_samplesSeen;
        if (m_hopFill == m_hop) {
            m_hopFill = 0;
            AnalyseHop(out);
        }
    }
}

void MicAnalyzer::AnalyseHop(std::vector<MicDetection>& out)
{
    if (m_mode == MicMode::Pitch)
        AnalysePitchHop(out);
    else
        AnalyseOnsetHop(out);
}

void MicAnalyzer::AnalysePitchHop(std::vector<MicDetection>& out)
{
    m_aubio->api->aubio_pitch_do(m_aubio->pitch, m_aubio->hopIn, m_aubio->result);
    float pitch = m_aubio->result->data[0];
    // The level over several periods of the lowest voices: a single hop of a low note swings
    // with the waveform's own shape.
    // Over that span alone the silence before a note holds the level down for most of it; the
    // latest quarter of it (a period of the lowest voices) opens the gate as soon as a note sounds.
    const std::uint64_t levelSpan = std::min<std::uint64_t>(m_samplesSeen, m_window / 2);
    const std::uint64_t latestSpan = std::min<std::uint64_t>(m_samplesSeen, m_window / 4);
    double meanSquare = 0.0;
    double latestSquare = 0.0;
    for (std::uint64_t i = m_samplesSeen - levelSpan; i < m_samplesSeen; ++i) {
        const double square = static_cast<double>(HistoryAt(i)) * HistoryAt(i);
        meanSquare += square;
        if (i >= m_samplesSeen - latestSpan)
            latestSquare += square;
    }
    meanSquare /= static_cast<double>(std::max<std::uint64_t>(1, levelSpan));
    latestSquare /= static_cast<double>(std::max<std::uint64_t>(1, latestSpan));
    meanSquare = std::max(meanSquare, latestSquare);
    float confidence = 0.0F;
    if (pitch > 0.0F && meanSquare >= m_tuning.gateMeanSquare)
        std::tie(pitch, confidence) = CheckedPitch(pitch);

    MicPitchCheck check = MicPitchCheck::Reported;
    if (meanSquare < m_tuning.gateMeanSquare)
        check = MicPitchCheck::Level;
    else if (confidence < m_tuning.minConfidence)
        check = MicPitchCheck::Confidence;
    else if (pitch < kLowestNote || pitch > kHighestNote)
        check = MicPitchCheck::Range;
    int note = -1;
    if (check != MicPitchCheck::Reported) {
        m_run.clear();
        m_runConfidence.clear();
        if (++m_unvoicedRun >= m_releaseFrames)
            m_heldNote = -1;
    } else {
        m_unvoicedRun = 0;
        m_run.push_back(pitch);
        m_runConfidence.push_back(confidence);
        while (m_run.size() > m_longFrames) {
            m_run.pop_front();
            m_runConfidence.pop_front();
        }
        check = DecidePitch(note);
    }
    if (m_trace != nullptr)
        m_trace->push_back({m_samplesSeen, pitch, confidence, check});
    if (check == MicPitchCheck::Reported) {
        m_heldNote = note;
        out.push_back({MicDetection::Kind::Note, note, m_samplesSeen});
        // The report is the reading of its moment.
        m_framesSinceReading = 0;
    } else if (m_readingFrames > 0 && ++m_framesSinceReading >= m_readingFrames) {
        m_framesSinceReading = 0;
        out.push_back({MicDetection::Kind::Reading, std::max(0, m_heldNote), m_samplesSeen});
    }
}

MicPitchCheck MicAnalyzer::DecidePitch(int& note)
{
    if (m_run.size() < m_holdFrames)
        return MicPitchCheck::Hold;

    // The latest hold must agree within a semitone (no slide). In noise the period check now and
    // then takes a multiple of the period for a frame: such a slip is read as the note it
    // slipped from; more of them leave the note undecided.
    std::vector<float> recent(m_run.end() - static_cast<long>(m_holdFrames), m_run.end());
    const float median = Median(recent);
    std::size_t slips = 0;
    std::vector<float> run;
    run.reserve(m_run.size());
    for (std::size_t i = 0; i < m_run.size(); ++i) {
        const float p = m_run[i];
        const bool inHold = i + m_holdFrames >= m_run.size();
        if (std::fabs(p - median) <= kHoldSpread) {
            run.push_back(p);
            continue;
        }
        // A slip lies between readings of the note: at either end of the hold it may as well be
        // where the voice is going, or where it came from (the attack).
        const bool hemmedIn = i + m_holdFrames > m_run.size() && i + 1 < m_run.size();
        const float unslipped = Unslipped(p, median);
        if (inHold && (!hemmedIn || std::fabs(unslipped - median) > kHoldSpread))
            return MicPitchCheck::Spread;
        if (inHold)
            ++slips;
        run.push_back(unslipped);
    }
    if (slips > kSlipsPerHold)
        return MicPitchCheck::Spread;
    const double hopMs = 1000.0 * m_hop / m_sampleRate;
    // The readings of a glide into the note lie far off: only the latest count.
    const auto reach = std::min(run.size(), static_cast<std::size_t>(std::ceil(kReachMs / hopMs)));
    const std::span<const float> latest = std::span<const float>(run).last(reach);
    // The swing is read without the first readings of the voice: the attack bends them.
    const std::span<const float> swing = std::span<const float>(run).last(
        std::min(reach, run.size() - std::min(run.size(), kAttackFrames)));
    if (m_heldNote >= 0 && std::fabs(median - static_cast<float>(m_heldNote)) < kChangeDistance) {
        // Vibrato around the held note keeps some readings of the hold within reach of it; a
        // hold wholly beyond that reach is another note, however near (a step sung a little
        // sharp or flat never reached the change distance). Short of that, a swing whose centre
        // is clearly the other note leaves it too.
        const auto held = static_cast<float>(m_heldNote);
        bool leave = std::all_of(run.end() - static_cast<long>(m_holdFrames), run.end(),
                                 [held](float p) { return std::fabs(p - held) > kNoteReach; });
        if (!leave && std::fabs(median - held) > kClearDistance &&
            *std::min_element(m_runConfidence.end() - static_cast<long>(m_holdFrames),
                              m_runConfidence.end()) >= kCurveLeaveConfidence) {
            const float guess = VibratoCentre(swing, std::floor(median), hopMs, kCurveLeaveReach);
            leave = guess >= 0.0F && std::lround(guess) != m_heldNote;
        }
        if (!leave)
            return MicPitchCheck::SameNote;
    }
    float centre = median;
    if (std::fabs(median - std::round(median)) > kClearDistance) {
        // Near the border of two notes a short hold may sit on a crest of the vibrato. When every
        // reading so far lies within reach of one note only, that is the note; between two, the
        // curvature of the swing may tell; otherwise wait for half a vibrato cycle and take the
        // median of all of it.
        const auto [lowest, highest] = std::minmax_element(latest.begin(), latest.end());
        const float first = std::ceil(*highest - kNoteReach);
        const float last = std::floor(*lowest + kNoteReach);
        if (first == last) {
            centre = first;
        } else if (m_run.size() >= m_longFrames) {
            centre = Median(run);
        } else {
            const float guess =
                last == first + 1.0F ? VibratoCentre(swing, first, hopMs, kCurveNoteReach) : -1.0F;
            if (guess < 0.0F)
                return MicPitchCheck::Reach;
            centre = guess;
        }
    }
    note = static_cast<int>(std::lround(centre));
    if (note == m_heldNote)
        return MicPitchCheck::SameNote;
    if (m_heldNote >= 0 && std::abs(note - m_heldNote) % 12 == 0) {
        // A leap of whole octaves is rare in singing and is just what a slip of the period
        // looks like in loud noise: it must hold for the long hold.
        if (m_run.size() < m_longFrames)
            return MicPitchCheck::Octave;
        for (const float p : m_run) {
            if (std::fabs(p - centre) > kHoldSpread)
                return MicPitchCheck::Octave;
        }
    }
    return MicPitchCheck::Reported;
}

float MicAnalyzer::VibratoCentre(std::span<const float> readings, float lower, double hopMs,
                                 double noteReach)
{
    // A vibrato is close to a sine of 4.5 to 7 Hz, and for a sine r'' = -w^2 (r - centre): the
    // curvature of the latest readings tells how far the voice is from the middle of its swing
    // before the swing is over. Fitted as a parabola over the readings; trusted only when the
    // fit is tight and both ends of the rate range put the centre near the same note.
    const std::size_t n = readings.size();
    if (static_cast<double>(n) * hopMs < kCurveMs)
        return -1.0F;
    const double dt = hopMs / 1000.0;
    double s2 = 0.0, s4 = 0.0, sr = 0.0, str = 0.0, st2r = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double t = (static_cast<double>(i) - 0.5 * static_cast<double>(n - 1)) * dt;
        const double r = readings[i] - lower;
        s2 += t * t;
        s4 += t * t * t * t;
        sr += r;
        str += t * r;
        st2r += t * t * r;
    }
    const double count = static_cast<double>(n);
    const double det = count * s4 - s2 * s2;
    if (s2 <= 0.0 || det <= 0.0)
        return -1.0F;
    const double slope = str / s2;
    const double curve = (count * st2r - s2 * sr) / det;
    const double offset = (sr - curve * s2) / count;
    double rest = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double t = (static_cast<double>(i) - 0.5 * static_cast<double>(n - 1)) * dt;
        const double e = readings[i] - lower - (offset + slope * t + curve * t * t);
        rest += e * e;
    }
    if (std::sqrt(rest / count) > kCurveFitRest)
        return -1.0F;
    int note = -1;
    for (const double hz : {kSlowVibratoHz, kFastVibratoHz}) {
        const double w = 2.0 * std::numbers::pi * hz;
        const double centre = offset + 2.0 * curve / (w * w);
        const int nearest = static_cast<int>(std::lround(centre));
        if ((nearest != 0 && nearest != 1) || std::fabs(centre - nearest) > noteReach ||
            (note >= 0 && note != nearest))
            return -1.0F;
        note = nearest;
    }
    return lower + static_cast<float>(note);
}

std::uint64_t MicAnalyzer::CorrelationLength(double lag)
{
    return static_cast<std::uint64_t>(std::clamp(1.5 * lag, 512.0, 1536.0));
}

double MicAnalyzer::Correlation(double lag, std::uint64_t length) const
{
    if (length == 0)
        length = CorrelationLength(lag);
    const auto whole = static_cast<std::uint64_t>(lag);
    const double frac = lag - static_cast<double>(whole);
    if (m_samplesSeen < length + whole + 2 || length + whole + 2 > kHistorySize)
        return 0.0;
    double ab = 0.0;
    double aa = 0.0;
    double bb = 0.0;
    for (std::uint64_t n = m_samplesSeen - length; n < m_samplesSeen; ++n) {
        const double a = HistoryAt(n);
        const double b = (1.0 - frac) * HistoryAt(n - whole) + frac * HistoryAt(n - whole - 1);
        ab += a * b;
        aa += a * a;
        bb += b * b;
    }
    return (aa > 0.0 && bb > 0.0) ? ab / std::sqrt(aa * bb) : 0.0;
}

std::pair<double, double> MicAnalyzer::BestRepeat(double lag, bool refine) const
{
    // The lag is searched some percent around the guess: yinfft's answer on a voice may be off
    // by a quarter tone, and vibrato moves the latest periods away from the window's average.
    double bestLag = lag;
    double best = -1.0;
    for (int step = -kCoarseSteps; step <= kCoarseSteps; ++step) {
        const double shifted = lag * (1.0 + kCoarseStep * step);
        const double score = Correlation(shifted);
        if (score > best) {
            best = score;
            bestLag = shifted;
        }
    }
    if (!refine)
        return {best, bestLag};
    const double centre = bestLag;
    std::array<double, 2 * kFineSteps + 1> scores{};
    std::size_t top = kFineSteps;
    for (int step = -kFineSteps; step <= kFineSteps; ++step) {
        const auto i = static_cast<std::size_t>(step + kFineSteps);
        scores[i] = Correlation(centre * (1.0 + kFineStep * step));
        if (scores[i] > scores[top])
            top = i;
    }
    double offset = static_cast<double>(top) - kFineSteps;
    if (top > 0 && top + 1 < scores.size()) {
        const double left = scores[top - 1];
        const double right = scores[top + 1];
        const double curve = left - 2.0 * scores[top] + right;
        if (curve < 0.0)
            offset += 0.5 * (left - right) / curve;
    }
    return {scores[top], centre * (1.0 + kFineStep * offset)};
}

std::pair<float, float> MicAnalyzer::CheckedPitch(float midiPitch) const
{
    // aubio 0.4.9 reports no yinfft confidence below 1300 Hz (it reads a peak position it never
    // stored), so the confidence is our own: the normalised correlation of the latest samples
    // with those one period earlier. yinfft's loudness weighting also mutes the fundamental of
    // low voices, and it then answers with a harmonic near the first formant; so multiples and
    // fractions of its period are compared. A true period repeats at its multiples too, so the
    // shortest lag that repeats about as well as the best one is the period; "about as well" is
    // judged on what each lag leaves unexplained (one minus its correlation), see Explains.
    static constexpr std::array<double, 10> kFactors = {1.0 / 3.0, 0.5, 1.0, 2.0, 3.0,
                                                        4.0,       5.0, 6.0, 7.0, 8.0};
    const double period = m_sampleRate / MidiHz(midiPitch);
    const double shortest = m_sampleRate / MidiHz(kHighestNote) * (1.0 - 0.05);
    const double longest = m_sampleRate / MidiHz(kLowestNote) * (1.0 + 0.05);
    std::array<double, kFactors.size()> scores{};
    std::array<double, kFactors.size()> lags{};
    double best = 0.0;
    for (std::size_t i = 0; i < kFactors.size(); ++i) {
        const double lag = period * kFactors[i];
        scores[i] = -1.0;
        if (lag >= shortest && lag <= longest)
            std::tie(scores[i], lags[i]) = BestRepeat(lag, false);
        best = std::max(best, scores[i]);
    }
    std::vector<std::pair<double, double>> candidates;
    if (best < kClearPeriodicity) {
        // yinfft's answer may be no harmonic of the voice at all, or a harmonic none of whose
        // listed fractions is the period (it happens on low dark vowels and in loud noise):
        // scan every lag of the range as well, and add its peaks.
        std::vector<double> scan;
        for (double lag = shortest; lag <= longest; lag *= 1.0 + kCoarseStep)
            scan.push_back(Correlation(lag));
        const double top = *std::max_element(scan.begin(), scan.end());
        best = std::max(best, top);
        if (best < m_tuning.minConfidence)
            return {midiPitch, static_cast<float>(best)};
        for (std::size_t i = 0; i < scan.size(); ++i) {
            const bool peak = (i == 0 || scan[i] >= scan[i - 1]) &&
                              (i + 1 == scan.size() || scan[i] >= scan[i + 1]);
            if (peak && scan[i] >= best - kCandidateRange)
                candidates.emplace_back(
                    scan[i], shortest * std::pow(1.0 + kCoarseStep, static_cast<double>(i)));
        }
    }
    for (std::size_t i = 0; i < kFactors.size(); ++i) {
        if (scores[i] >= best - kCandidateRange)
            candidates.emplace_back(scores[i], lags[i]);
    }
    return Period(candidates);
}

bool MicAnalyzer::Explains(double shorterScore, double longerScore)
{
    // What a lag leaves unexplained is the noise plus, at half the true period, the odd
    // harmonics (they flip sign there): weak odd harmonics, as when the first formant sits on
    // the second harmonic, leave only a few per cent. Noise enters both lags alike, and the
    // estimate wanders with it, so the allowance grows with the unexplained share of the
    // longer lag; a small floor absorbs the vibrato and the lag grid.
    const double shorterRest = 1.0 - shorterScore;
    const double longerRest = 1.0 - longerScore;
    return shorterRest <= longerRest * (1.0 + kRestAllowance) + kRestFloor;
}

bool MicAnalyzer::ExplainsLag(double shorter, double longer) const
{
    // Both over the same samples: a longer stretch sees more of the vibrato and of the attack.
    // (Not over more of them than the longer lag needs: reaching back into the attack favours
    // the shorter lag.)
    const std::uint64_t length = CorrelationLength(longer);
    return Explains(Correlation(shorter, length), Correlation(longer, length));
}

std::pair<float, float> MicAnalyzer::Period(std::vector<std::pair<double, double>> candidates) const
{
    if (candidates.empty())
        return {0.0F, 0.0F};
    // Refined, so the grid's own loss (larger at longer lags) does not tip the comparison.
    for (auto& [score, lag] : candidates)
        std::tie(score, lag) = BestRepeat(lag, true);
    std::sort(candidates.begin(), candidates.end(),
              [](const auto& a, const auto& b) { return a.second < b.second; });
    const auto top = std::max_element(candidates.begin(), candidates.end());
    std::pair<double, double> chosen = *top;
    for (auto it = candidates.begin(); it != top; ++it) {
        // A shorter lag must explain the signal about as well as the best one and as well as
        // every longer lag it divides: if twice it repeats clearly better, the odd harmonics of
        // the longer period are there, however weak.
        bool explains = ExplainsLag(it->second, top->second);
        for (auto longer = it + 1; explains && longer != candidates.end(); ++longer) {
            const double ratio = longer->second / it->second;
            if (longer != top && std::fabs(ratio - std::round(ratio)) < 0.06 &&
                std::round(ratio) >= 2.0)
                explains = ExplainsLag(it->second, longer->second);
        }
        if (explains) {
            chosen = *it;
            break;
        }
    }
    const double midi = 69.0 + 12.0 * std::log2(m_sampleRate / chosen.second / 440.0);
    return {static_cast<float>(midi), static_cast<float>(chosen.first)};
}

void MicAnalyzer::AnalyseOnsetHop(std::vector<MicDetection>& out)
{
    // aubio's onset detectors (hfc, energy, specflux) missed a good share of evenly spaced,
    // equally loud claps in our tests, so the trigger is our own: the mean magnitude of the
    // latest window against the level before it: a low percentile of the recent envelope
    // (claps are short, so it ignores them), or the loudest of the few milliseconds before when
    // that is higher, so the ragged tail of a clap does not count as a new one while a clap over
    // that tail is still heard.
    // The mean over the samples there are: at the start of the stream a window only partly
    // filled would read as a rise of whatever noise the microphone opens on.
    const std::uint64_t span = std::min<std::uint64_t>(m_samplesSeen, m_window);
    double level = 0.0;
    for (std::uint64_t i = m_samplesSeen - span; i < m_samplesSeen; ++i)
        level += std::fabs(HistoryAt(i));
    level /= static_cast<double>(std::max<std::uint64_t>(1, span));
    m_levels.push_back(level);
    while (m_levels.size() > m_backgroundFrames)
        m_levels.pop_front();
    std::vector<double> sorted(m_levels.begin(), m_levels.end());
    const auto low = sorted.begin() + static_cast<long>(sorted.size() / 5);
    std::nth_element(sorted.begin(), low, sorted.end());
    const double background = std::max(*low, 1e-9);
    const double floor = 0.5 * std::pow(10.0, m_tuning.onsetSilenceDb / 20.0);

    if (m_armed) {
        double recent = 0.0;
        const std::size_t n = m_levels.size();
        for (std::size_t back = m_recentFromFrames; back <= m_recentToFrames && back < n; ++back)
            recent = std::max(recent, m_levels[n - 1 - back]);
        // Plain noise varies by less than twice its low percentile; a tail lies above that.
        // Between the two the reference moves over smoothly: a switch straight from the tail to
        // the background took a tail just under twice the background, swinging above it, for a
        // new clap.
        const double tailShare = std::clamp(
            (recent / background - kTailFromRatio) / (kTailRatio - kTailFromRatio), 0.0, 1.0);
        const double reference = background + tailShare * std::max(0.0, recent - background);
        if (level >= floor && level >= m_tuning.onsetThreshold * reference) {
            m_armed = false;
            m_burstPeak = level;
            m_triggeredAt = m_samplesSeen;
            m_pendingOnsets.push_back(m_samplesSeen);
        }
    } else {
        m_burstPeak = std::max(m_burstPeak, level);
        const auto minGap = static_cast<std::uint64_t>(kMinOnsetGapMs * m_sampleRate / 1000.0);
        if (m_samplesSeen >= m_triggeredAt + minGap && level < kRearmShare * m_burstPeak)
            m_armed = true;
    }
    RefinePendingOnsets(out);
}

void MicAnalyzer::RefinePendingOnsets(std::vector<MicDetection>& out)
{
    const auto lookAhead = static_cast<std::uint64_t>(kLookAheadMs * m_sampleRate / 1000.0);
    const auto minGap = static_cast<std::uint64_t>(kMinOnsetGapMs * m_sampleRate / 1000.0);
    while (!m_pendingOnsets.empty() && m_samplesSeen >= m_pendingOnsets.front() + lookAhead) {
        const std::uint64_t onset = RefineOnset(m_pendingOnsets.front());
        m_pendingOnsets.pop_front();
        // Two detections of one clap refine to nearly the same attack: keep the first.
        if (m_anyOnset && onset < m_lastOnset + minGap)
            continue;
        m_anyOnset = true;
        m_lastOnset = onset;
        out.push_back({MicDetection::Kind::Onset, 0, onset});
    }
}

float MicAnalyzer::HistoryAt(std::uint64_t index) const
{
    return m_history[index % kHistorySize];
}

std::uint64_t MicAnalyzer::RefineOnset(std::uint64_t detectedAt) const
{
    // The trigger fires somewhere on the rise, often a millisecond or more after the attack
    // began; the attack itself is found on a smoothed amplitude envelope around that hop.
    const auto lookBack = static_cast<std::uint64_t>(kLookBackMs * m_sampleRate / 1000.0);
    const auto lookAhead = static_cast<std::uint64_t>(kLookAheadMs * m_sampleRate / 1000.0);
    const auto half =
        std::max<std::uint64_t>(1, static_cast<std::uint64_t>(kEnvelopeMs * m_sampleRate / 2000.0));
    const std::uint64_t oldest = m_samplesSeen > kHistorySize ? m_samplesSeen - kHistorySize : 0;
    std::uint64_t begin = detectedAt > lookBack ? detectedAt - lookBack : 0;
    if (m_anyOnset)
        begin = std::max(begin,
                         m_lastOnset + static_cast<std::uint64_t>(kTailMs * m_sampleRate / 1000.0));
    begin = std::max(begin, oldest + half);
    const std::uint64_t end = std::min(detectedAt + lookAhead, m_samplesSeen - half);
    if (end <= begin + 2)
        return detectedAt;

    std::vector<double> envelope(static_cast<std::size_t>(end - begin));
    double sum = 0.0;
    for (std::uint64_t i = begin - half; i < begin + half; ++i)
        sum += std::fabs(HistoryAt(i));
    for (std::uint64_t i = begin; i < end; ++i) {
        sum += std::fabs(HistoryAt(i + half)) - std::fabs(HistoryAt(i - half));
        envelope[static_cast<std::size_t>(i - begin)] = sum;
    }
    // The trigger lies on the rise: the attack's peak follows within a few milliseconds, the
    // quiet level before it precedes it. Walking back from the trigger (not from the loudest
    // point, which a burst of noise may reach late, after dips) finds where the rise began.
    const auto trigger = static_cast<std::size_t>(std::min(detectedAt, end - 1) - begin);
    const auto rise = static_cast<std::size_t>(kRiseMs * m_sampleRate / 1000.0);
    const std::size_t quietEnd = trigger > rise ? trigger - rise : 0;
    const double peak = *std::max_element(
        envelope.begin() + static_cast<long>(quietEnd),
        envelope.begin() + static_cast<long>(std::min(envelope.size(), trigger + 2 * rise)));
    double floor = 0.0;
    if (quietEnd > 0) {
        std::vector<double> quiet(envelope.begin(), envelope.begin() + static_cast<long>(quietEnd));
        const auto low = quiet.begin() + static_cast<long>(quiet.size() / 4);
        std::nth_element(quiet.begin(), low, quiet.end());
        floor = *low;
    }
    const double threshold = floor + kAttackShare * (peak - floor);
    std::size_t at = trigger;
    while (at + 1 < envelope.size() && envelope[at] <= threshold)
        ++at;
    while (at > 0 && envelope[at - 1] > threshold)
        --at;
    // In noise a soft attack dips under the threshold now and then, and the walk back stops at
    // the latest dip, a millisecond or more late. Where the envelope lies above the threshold
    // on the whole (the sum of its excess is largest) reaches back over such dips, but no further
    // than the longest attack.
    double excess = 0.0;
    double bestExcess = 0.0;
    std::size_t start = at;
    for (std::size_t t = at; t > 0 && at - t < rise; --t) {
        excess += envelope[t - 1] - threshold;
        if (excess > bestExcess) {
            bestExcess = excess;
            start = t - 1;
        }
    }
    return begin + start;
}

} // namespace pv
