// Pitch detection over generated sung vowels from E2 to C6: share right, octave errors, lock time.
#include "music/devices/MicAnalyzer.h"
#include "music/devices/MicSignals.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

struct Tally
{
    int cases = 0;
    int right = 0;
    int octave = 0;
    int otherWrong = 0;
    int missed = 0;
    std::vector<double> lockMs;

    void Add(const Tally& t)
    {
        cases += t.cases;
        right += t.right;
        octave += t.octave;
        otherWrong += t.otherWrong;
        missed += t.missed;
        lockMs.insert(lockMs.end(), t.lockMs.begin(), t.lockMs.end());
    }
};

double Percentile(std::vector<double> values, double share)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const auto at = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1));
    return values[at];
}

void PrintRow(const std::string& name, const Tally& t)
{
    double mean = 0.0;
    for (const double v : t.lockMs)
        mean += v;
    mean = t.lockMs.empty() ? 0.0 : mean / static_cast<double>(t.lockMs.size());
    std::printf("%-14s %6d %8.2f %7d %7d %7d %9.1f %9.1f %9.1f\n", name.c_str(), t.cases,
                100.0 * t.right / std::max(1, t.cases), t.octave, t.otherWrong, t.missed, mean,
                Percentile(t.lockMs, 0.95), Percentile(t.lockMs, 1.0));
}

// Runs one take through a fresh analyser and sorts its reports.
Tally RunTake(const pv::MicTuning& tuning, const std::vector<float>& samples, unsigned rate,
              int midi, std::size_t lead, const char* label, std::vector<std::string>& failures)
{
    using namespace pv;
    MicAnalyzer analyzer(MicMode::Pitch, rate, tuning);
    std::vector<MicDetection> found;
    // Blocks of 10 ms, as a capture device delivers them.
    const std::size_t block = rate / 100;
    for (std::size_t at = 0; at < samples.size(); at += block) {
        const std::size_t n = std::min(block, samples.size() - at);
        analyzer.Push(std::span<const float>(samples.data() + at, n), found);
    }

    Tally t;
    t.cases = 1;
    bool correct = false;
    bool octave = false;
    bool other = false;
    double lock = -1.0;
    for (const MicDetection& d : found) {
        if (d.note == midi) {
            correct = true;
            if (lock < 0.0)
                lock = 1000.0 * (static_cast<double>(d.sampleIndex) - static_cast<double>(lead)) /
                       rate;
        } else if ((d.note - midi) % 12 == 0) {
            octave = true;
        } else {
            other = true;
        }
    }
    if (octave)
        ++t.octave;
    if (other)
        ++t.otherWrong;
    if (correct && !octave && !other) {
        ++t.right;
        t.lockMs.push_back(lock);
    }
    if (!correct && !octave && !other)
        ++t.missed;
    if (!(correct && !octave && !other)) {
        char line[200];
        int used = std::snprintf(line, sizeof line, "%s ->", label);
        for (std::size_t i = 0;
             i < found.size() && i < 8 && used > 0 && static_cast<std::size_t>(used) < sizeof line;
             ++i)
            used += std::snprintf(line + used, sizeof line - static_cast<std::size_t>(used), " %d",
                                  found[i].note);
        failures.emplace_back(line);
    }
    return t;
}

} // namespace

int main()
{
    using namespace pv;
    using namespace pv::test;
    std::mt19937 rng(20261210);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const MicTuning tuning = TuningFromConfig(kDefaultRhythmValue, 0, kDefaultToneValue);
    const MicTuning preciseTuning = TuningFromConfig(kDefaultRhythmValue, 1, kDefaultToneValue);
    Tally precise;
    std::vector<std::string> preciseFailures;
    const std::vector<double> snrs = {30.0, 20.0, 12.0};
    const std::vector<unsigned> rates = {44100, 48000};

    std::map<std::string, Tally> byRange;
    std::map<std::string, Tally> byVowel;
    std::map<double, Tally> bySnr;
    Tally all;
    std::vector<std::string> failures;

    for (int midi = 40; midi <= 84; ++midi) {
        for (const Vowel& vowel : kVowels) {
            for (const double snr : snrs) {
                const unsigned rate = rates[static_cast<std::size_t>(midi) % rates.size()];
                SungToneSpec spec;
                spec.midi = midi + (unit(rng) - 0.5) * 0.3; // a singer's own tuning, ±15 cents
                spec.seconds = 0.6;
                spec.amplitude = 0.05 + 0.4 * unit(rng);
                spec.vibratoCents = 20.0 + 30.0 * unit(rng);
                spec.vibratoHz = 4.5 + 2.0 * unit(rng);
                spec.vibratoPhase = 6.283 * unit(rng);
                spec.vowel = &vowel;
                spec.attackMs = 10.0 + 20.0 * unit(rng);
                const std::vector<float> tone = SungTone(spec, rate, rng);
                const double noiseRms = Rms(tone) / std::pow(10.0, snr / 20.0);
                const std::size_t lead = SampleAt(0.2, rate);
                std::vector<float> samples(lead, 0.0F);
                samples.insert(samples.end(), tone.begin(), tone.end());
                samples.resize(samples.size() + SampleAt(0.2, rate), 0.0F);
                AddNoise(samples, noiseRms, rng);

                const double levelDb = 20.0 * std::log10(Rms(tone));
                char label[120];
                std::snprintf(label, sizeof label,
                              "midi %d vowel %s snr %.0f rate %u level %.1f dB", midi, vowel.name,
                              snr, rate, levelDb);
                const Tally t = RunTake(tuning, samples, rate, midi, lead, label, failures);
                if (snr == 20.0)
                    precise.Add(
                        RunTake(preciseTuning, samples, rate, midi, lead, label, preciseFailures));
                const char* range = midi < 48   ? "E2-B2"
                                    : midi < 60 ? "C3-B3"
                                    : midi < 72 ? "C4-B4"
                                                : "C5-C6";
                byRange[range].Add(t);
                byVowel[std::string("vowel ") + vowel.name].Add(t);
                bySnr[snr].Add(t);
                all.Add(t);
            }
        }
    }

    std::printf("Pitch detection, sung vowels E2..C6, vibrato 20-50 cents, breath noise; "
                "default sensitivity (tone 3, rhythm 2), no high precision\n");
    std::printf("%-14s %6s %8s %7s %7s %7s %9s %9s %9s\n", "group", "cases", "right%", "octave",
                "wrong", "missed", "lock mean", "lock p95", "lock max");
    for (const auto& [name, t] : byRange)
        PrintRow(name, t);
    for (const auto& [name, t] : byVowel)
        PrintRow(name, t);
    for (const auto& [snr, t] : bySnr)
        PrintRow("SNR " + std::to_string(static_cast<int>(snr)) + " dB", t);
    PrintRow("all", all);
    PrintRow("high prec. 20dB", precise);
    std::printf("target: right >= 99 %%, lock <= 60 ms\n");
    std::printf("default level gate %.1f dB of full scale (RMS)\n",
                10.0 * std::log10(tuning.gateMeanSquare));
    for (std::size_t i = 0; i < failures.size() && i < 20; ++i)
        std::printf("  miss: %s\n", failures[i].c_str());
    for (std::size_t i = 0; i < preciseFailures.size() && i < 10; ++i)
        std::printf("  miss (high precision): %s\n", preciseFailures[i].c_str());
    return 0;
}
