// Generated sounds for the microphone tests and benchmarks: sines, sung vowels, claps and noise.
#pragma once

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
};

/// A harmonic tone with vibrato, shaped by the vowel's formants.
inline std::vector<float> SungTone(const SungToneSpec& spec, unsigned rate, std::mt19937& rng)
{
    const double f0 = MidiToHz(spec.midi);
    const int harmonics = std::max(1, static_cast<int>(std::min(6000.0, 0.45 * rate) / f0));
    std::vector<double> gains(static_cast<std::size_t>(harmonics));
    std::vector<double> phases(static_cast<std::size_t>(harmonics));
    std::uniform_real_distribution<double> phaseDist(0.0, 2.0 * std::numbers::pi);
    double total = 0.0;
    for (int k = 1; k <= harmonics; ++k) {
        const double hz = k * f0;
        double gain = 1.0 / k;
        if (spec.vowel != nullptr) {
            double shape = 0.05;
            for (const Formant& f : spec.vowel->formants) {
                const double x = (hz - f.hz) / (f.bandwidth / 2.0);
                shape += f.gain / (1.0 + x * x);
            }
            gain = shape / std::sqrt(static_cast<double>(k));
        }
        gains[static_cast<std::size_t>(k - 1)] = gain;
        phases[static_cast<std::size_t>(k - 1)] = phaseDist(rng);
        total += gain;
    }
    const std::size_t count = SampleAt(spec.seconds, rate);
    const std::size_t attack = SampleAt(spec.attackMs / 1000.0, rate);
    const std::size_t release = SampleAt(spec.releaseMs / 1000.0, rate);
    std::vector<float> out(count);
    double phase = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double cents =
            spec.vibratoCents *
            std::sin(2.0 * std::numbers::pi * spec.vibratoHz * t + spec.vibratoPhase);
        phase += 2.0 * std::numbers::pi * f0 * std::pow(2.0, cents / 1200.0) / rate;
        double value = 0.0;
        for (int k = 1; k <= harmonics; ++k) {
            const auto h = static_cast<std::size_t>(k - 1);
            value += gains[h] * std::sin(k * phase + phases[h]);
        }
        double envelope = 1.0;
        if (i < attack)
            envelope = static_cast<double>(i) / static_cast<double>(attack);
        if (count - i < release)
            envelope = std::min(envelope, static_cast<double>(count - i) / release);
        out[i] = static_cast<float>(spec.amplitude * envelope * value / total);
    }
    return out;
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
