// Generated sounds for the microphone tests and benchmarks: sines, sung vowels, claps and noise.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <random>
#include <vector>

namespace pv::test {

inline double MidiToHz(double midi)
{
    return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0);
}

inline std::size_t SampleAt(double seconds, unsigned rate)
{
    return static_cast<std::size_t>(std::llround(seconds * rate));
}

struct Formant
{
    double hz;
    double bandwidth;
    double gain;
};

struct Vowel
{
    const char* name;
    std::array<Formant, 3> formants;
};

/// Rough formants of five sung vowels (adult voice).
inline const std::array<Vowel, 5> kVowels = {{
    {"a", {{{730, 90, 1.0}, {1090, 110, 0.5}, {2440, 170, 0.25}}}},
    {"e", {{{530, 60, 1.0}, {1840, 100, 0.4}, {2480, 160, 0.25}}}},
    {"i", {{{270, 60, 1.0}, {2290, 100, 0.3}, {3010, 170, 0.2}}}},
    {"o", {{{570, 70, 1.0}, {840, 80, 0.6}, {2410, 170, 0.15}}}},
    {"u", {{{300, 60, 1.0}, {870, 80, 0.3}, {2240, 170, 0.1}}}},
}};

/// A voice's formant table: the five vowels of one kind of singer.
struct VoiceTable
{
    const char* name;
    /// The notes this voice sings comfortably.
    int lowest;
    int highest;
    std::array<Vowel, 5> vowels;
};

/// Average formants of men, women and children (a, e, i, o, u), with sung bandwidths.
inline const std::array<VoiceTable, 3> kVoices = {{
    {"male",
     40,
     67,
     {{{"a", {{{730, 80, 1.0}, {1090, 90, 0.6}, {2440, 120, 0.3}}}},
       {"e", {{{530, 60, 1.0}, {1840, 90, 0.5}, {2480, 120, 0.3}}}},
       {"i", {{{270, 50, 1.0}, {2290, 90, 0.4}, {3010, 120, 0.3}}}},
       {"o", {{{570, 60, 1.0}, {840, 70, 0.7}, {2410, 120, 0.2}}}},
       {"u", {{{300, 50, 1.0}, {870, 70, 0.4}, {2240, 120, 0.15}}}}}}},
    {"female",
     55,
     84,
     {{{"a", {{{850, 90, 1.0}, {1220, 100, 0.6}, {2810, 140, 0.3}}}},
       {"e", {{{610, 70, 1.0}, {2330, 100, 0.5}, {2990, 140, 0.3}}}},
       {"i", {{{310, 60, 1.0}, {2790, 100, 0.4}, {3310, 140, 0.3}}}},
       {"o", {{{590, 70, 1.0}, {920, 80, 0.7}, {2710, 140, 0.2}}}},
       {"u", {{{370, 60, 1.0}, {950, 80, 0.4}, {2670, 140, 0.15}}}}}}},
    {"child",
     60,
     86,
     {{{"a", {{{1030, 110, 1.0}, {1370, 120, 0.6}, {3170, 160, 0.3}}}},
       {"e", {{{690, 80, 1.0}, {2610, 120, 0.5}, {3570, 160, 0.3}}}},
       {"i", {{{370, 70, 1.0}, {3200, 120, 0.4}, {3730, 160, 0.3}}}},
       {"o", {{{680, 80, 1.0}, {1060, 100, 0.7}, {3180, 160, 0.2}}}},
       {"u", {{{430, 70, 1.0}, {1170, 100, 0.4}, {3260, 160, 0.15}}}}}}},
}};

/// A further note sung legato after the previous one.
struct LegatoNote
{
    double midi = 60.0;
    double seconds = 0.4;
    /// Time the voice takes to slide from the previous note to this one.
    double glideMs = 40.0;
};

struct SungToneSpec
{
    double midi = 69.0;
    double seconds = 0.5;
    /// Peak amplitude of the summed harmonics before the envelope (full scale 1).
    double amplitude = 0.3;
    double vibratoCents = 40.0;
    double vibratoHz = 5.5;
    double vibratoPhase = 0.0;
    /// Null: plain harmonics falling as 1/k.
    const Vowel* vowel = nullptr;
    double attackMs = 20.0;
    double releaseMs = 20.0;
    /// Formants as a cascade of resonators on a source falling 12 dB per octave, instead of
    /// bumps added to a source falling 3 dB per octave: deeper valleys between the formants.
    bool resonators = false;
    /// Gains of the fundamental and of every odd harmonic (the fundamental included).
    double fundamentalGain = 1.0;
    double oddGain = 1.0;
    /// > 0: the odd harmonics are scaled to carry this share of the power (a first formant on
    /// the second harmonic leaves them a few per cent).
    double oddShare = 0.0;
    /// Further fall of the harmonics, as a power of 1/k (breathy voices are darker).
    double extraTilt = 0.0;
    /// Aspiration noise pulsed with the glottal cycle: its RMS as a share of the tone's.
    double breath = 0.0;
    /// The first note starts this many semitones off and slides to its pitch over glideMs.
    double glideFrom = 0.0;
    double glideMs = 0.0;
    /// Notes sung legato after the first one.
    std::vector<LegatoNote> then;
};

/// Gains of the harmonics of f0 shaped by the tone's voice, not yet normalised.
inline void HarmonicGains(const SungToneSpec& spec, double f0, double limitHz,
                          std::vector<double>& gains)
{
    for (std::size_t h = 0; h < gains.size(); ++h) {
        const int k = static_cast<int>(h) + 1;
        const double hz = k * f0;
        double gain = 1.0 / k;
        if (hz > limitHz) {
            gains[h] = 0.0;
            continue;
        }
        if (spec.vowel != nullptr && spec.resonators) {
            gain = 1.0 / (static_cast<double>(k) * k);
            // Lip radiation lifts 6 dB per octave; each formant is a two-pole resonance
            // with unit gain at 0 Hz.
            gain *= hz / 100.0;
            for (const Formant& f : spec.vowel->formants) {
                const double a = f.hz * f.hz - hz * hz;
                const double b = f.bandwidth * hz;
                gain *= f.hz * f.hz / std::sqrt(a * a + b * b);
            }
        } else if (spec.vowel != nullptr) {
            double shape = 0.05;
            for (const Formant& f : spec.vowel->formants) {
                const double x = (hz - f.hz) / (f.bandwidth / 2.0);
                shape += f.gain / (1.0 + x * x);
            }
            gain = shape / std::sqrt(static_cast<double>(k));
        }
        if (k % 2 == 1)
            gain *= spec.oddGain;
        if (k == 1)
            gain *= spec.fundamentalGain;
        if (spec.extraTilt > 0.0)
            gain *= std::pow(static_cast<double>(k), -spec.extraTilt);
        gains[h] = gain;
    }
    if (spec.oddShare > 0.0 && spec.oddShare < 1.0) {
        double odd = 0.0;
        double even = 0.0;
        for (std::size_t h = 0; h < gains.size(); ++h)
            (h % 2 == 0 ? odd : even) += gains[h] * gains[h];
        if (odd > 0.0 && even > 0.0) {
            const double scale = std::sqrt(spec.oddShare / (1.0 - spec.oddShare) * even / odd);
            for (std::size_t h = 0; h < gains.size(); h += 2)
                gains[h] *= scale;
        }
    }
}

/// A harmonic tone with vibrato, shaped by the vowel's formants; with `then`, a legato phrase.
inline std::vector<float> SungTone(const SungToneSpec& spec, unsigned rate, std::mt19937& rng)
{
    const double limitHz = std::min(6000.0, 0.45 * rate);
    double lowestMidi = spec.midi + std::min(0.0, spec.glideFrom);
    double seconds = spec.seconds;
    for (const LegatoNote& n : spec.then) {
        lowestMidi = std::min(lowestMidi, n.midi);
        seconds += n.seconds;
    }
    const double f0 = MidiToHz(spec.midi);
    const int harmonics = std::max(1, static_cast<int>(limitHz / MidiToHz(lowestMidi)));
    std::vector<double> gains(static_cast<std::size_t>(harmonics));
    std::vector<double> phases(static_cast<std::size_t>(harmonics));
    std::uniform_real_distribution<double> phaseDist(0.0, 2.0 * std::numbers::pi);
    for (double& p : phases)
        p = phaseDist(rng);
    // A fixed note keeps the gains of its nominal pitch; a moving one updates them as it goes.
    const bool moving = spec.glideMs > 0.0 || !spec.then.empty();
    double total = 0.0;
    auto updateGains = [&](double hz) {
        HarmonicGains(spec, hz, limitHz, gains);
        total = 0.0;
        for (const double g : gains)
            total += g;
        total = std::max(total, 1e-12);
    };
    updateGains(f0);
    // Note starts and glides, in samples.
    struct Span
    {
        std::size_t begin;
        std::size_t glide;
        double from;
        double to;
    };
    std::vector<Span> spans;
    spans.push_back(
        {0, SampleAt(spec.glideMs / 1000.0, rate), spec.midi + spec.glideFrom, spec.midi});
    std::size_t at = SampleAt(spec.seconds, rate);
    double previous = spec.midi;
    for (const LegatoNote& n : spec.then) {
        spans.push_back({at, SampleAt(n.glideMs / 1000.0, rate), previous, n.midi});
        at += SampleAt(n.seconds, rate);
        previous = n.midi;
    }

    const std::size_t count = SampleAt(seconds, rate);
    const std::size_t attack = SampleAt(spec.attackMs / 1000.0, rate);
    const std::size_t release = SampleAt(spec.releaseMs / 1000.0, rate);
    std::vector<float> out(count);
    std::normal_distribution<double> noise(0.0, 1.0);
    double phase = 0.0;
    double lastNoise = 0.0;
    std::size_t span = 0;
    for (std::size_t i = 0; i < count; ++i) {
        while (span + 1 < spans.size() && i >= spans[span + 1].begin)
            ++span;
        const Span& s = spans[span];
        double midi = s.to;
        if (i - s.begin < s.glide) {
            // A smooth slide: slow at both ends, as a voice moves.
            const double x = static_cast<double>(i - s.begin) / static_cast<double>(s.glide);
            midi = s.from + (s.to - s.from) * (0.5 - 0.5 * std::cos(std::numbers::pi * x));
        }
        if (moving && i % 32 == 0)
            updateGains(MidiToHz(midi));
        const double t = static_cast<double>(i) / rate;
        const double cents =
            spec.vibratoCents *
            std::sin(2.0 * std::numbers::pi * spec.vibratoHz * t + spec.vibratoPhase);
        phase += 2.0 * std::numbers::pi * MidiToHz(midi) * std::pow(2.0, cents / 1200.0) / rate;
        double value = 0.0;
        for (int k = 1; k <= harmonics; ++k) {
            const auto h = static_cast<std::size_t>(k - 1);
            if (gains[h] != 0.0)
                value += gains[h] * std::sin(k * phase + phases[h]);
        }
        value /= total;
        if (spec.breath > 0.0) {
            // Turbulence at the glottis: brightened noise, loudest while the folds are open.
            const double white = noise(rng);
            const double bright = white - 0.7 * lastNoise;
            lastNoise = white;
            const double open = 0.5 - 0.5 * std::cos(phase);
            // 0.35 is about the RMS of a normalised harmonic sum, 0.6 that of the pulsed noise.
            value += spec.breath * 0.35 / 0.6 * open * bright / 1.22;
        }
        double envelope = 1.0;
        if (i < attack)
            envelope = static_cast<double>(i) / static_cast<double>(attack);
        if (count - i < release)
            envelope = std::min(envelope, static_cast<double>(count - i) / release);
        out[i] = static_cast<float>(spec.amplitude * envelope * value);
    }
    return out;
}

/// A small room: four combs and two all-passes (Schroeder), mixed in at `wet` of the dry level.
inline void AddReverb(std::vector<float>& samples, unsigned rate, double wet, double rt60Seconds)
{
    const std::array<double, 4> combMs = {29.7, 37.1, 41.1, 43.7};
    const std::array<double, 2> allPassMs = {5.0, 1.7};
    std::vector<double> wetSignal(samples.size(), 0.0);
    for (const double ms : combMs) {
        const std::size_t delay = std::max<std::size_t>(1, SampleAt(ms / 1000.0, rate));
        const double feedback = std::pow(10.0, -3.0 * ms / 1000.0 / rt60Seconds);
        std::vector<double> line(delay, 0.0);
        for (std::size_t i = 0; i < samples.size(); ++i) {
            const double y = line[i % delay];
            line[i % delay] = samples[i] + feedback * y;
            wetSignal[i] += 0.25 * y;
        }
    }
    for (const double ms : allPassMs) {
        const std::size_t delay = std::max<std::size_t>(1, SampleAt(ms / 1000.0, rate));
        std::vector<double> line(delay, 0.0);
        for (double& x : wetSignal) {
            const std::size_t slot = static_cast<std::size_t>(&x - wetSignal.data()) % delay;
            const double delayed = line[slot];
            const double v = x + 0.7 * delayed;
            line[slot] = v;
            x = delayed - 0.7 * v;
        }
    }
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] += static_cast<float>(wet * wetSignal[i]);
}

inline std::vector<float> Sine(double hz, double amplitude, double seconds, unsigned rate)
{
    std::vector<float> out(SampleAt(seconds, rate));
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<float>(
            amplitude * std::sin(2.0 * std::numbers::pi * hz * static_cast<double>(i) / rate));
    return out;
}

inline double Rms(const std::vector<float>& samples)
{
    double sum = 0.0;
    for (const float s : samples)
        sum += static_cast<double>(s) * s;
    return samples.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(samples.size()));
}

/// Adds white noise of the given RMS, softened by a one-pole low-pass like breath in a room.
inline void AddNoise(std::vector<float>& samples, double rms, std::mt19937& rng)
{
    std::normal_distribution<double> noise(0.0, 1.0);
    double state = 0.0;
    // The low-pass (a = 0.5) halves the white noise's power; sqrt(3) restores the RMS.
    for (float& s : samples) {
        state = 0.5 * state + 0.5 * noise(rng);
        s += static_cast<float>(rms * std::sqrt(3.0) * state);
    }
}

/// Adds a hand clap whose attack starts at sample `start`: band-passed noise (about 1.2 kHz)
/// rising over attackMs and dying away with a time constant of decayMs; peak is its rough
/// peak amplitude.
inline void AddClap(std::vector<float>& samples, std::size_t start, double peak, unsigned rate,
                    std::mt19937& rng, double attackMs = 0.5, double decayMs = 12.0)
{
    std::normal_distribution<double> noise(0.0, 1.0);
    // Two-pole resonator; its output is scaled to unit RMS before the envelope.
    const double centre = 1200.0;
    const double r = 0.93;
    const double c = 2.0 * r * std::cos(2.0 * std::numbers::pi * centre / rate);
    const std::size_t attack = std::max<std::size_t>(1, SampleAt(attackMs / 1000.0, rate));
    const std::size_t length = SampleAt(8.0 * decayMs / 1000.0, rate) + attack;
    std::vector<double> band(length + 64);
    double y1 = 0.0;
    double y2 = 0.0;
    double power = 0.0;
    for (double& y : band) {
        y = noise(rng) + c * y1 - r * r * y2;
        y2 = y1;
        y1 = y;
        power += y * y;
    }
    const double scale = 1.0 / std::sqrt(power / static_cast<double>(band.size()));
    for (std::size_t i = 0; i < length && start + i < samples.size(); ++i) {
        double envelope = 0.0;
        if (i < attack)
            envelope = static_cast<double>(i + 1) / static_cast<double>(attack);
        else
            envelope = std::exp(-static_cast<double>(i - attack) / (decayMs / 1000.0 * rate));
        // Noise of unit RMS peaks near 3: scale so the clap's peak is close to `peak`.
        samples[start + i] += static_cast<float>(peak / 3.0 * envelope * scale * band[i + 64]);
    }
}

} // namespace pv::test
