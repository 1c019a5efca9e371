// Pitch detection over generated sung phrases of three voices (male, female, child formants),
// with weak fundamentals, weak odd harmonics, glides, legato steps, reverb, breath and noise down
// to 3 dB: our analyser beside aubio's plain yinfft (2048/256), both scored by the same scorer.
// Usage: bench_mic_pitch [takes per cell, default 1] [tuned|all] [only this condition]
// ("trace" among the arguments explains every late lock of our analyser, frame by frame.)
#include "common/BenchGoal.h"
#include "music/devices/MicAnalyzer.h"
#include "music/devices/MicSignals.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <aubio/aubio.h>

namespace {

using pv::MicDetection;
using pv::MicTuning;

struct Found
{
    int note;
    std::uint64_t sampleIndex;
};

// One note of a take: when the voice leaves for it, when it has arrived, when it is left.
struct Segment
{
    int midi;
    std::uint64_t begin;
    std::uint64_t settled;
    std::uint64_t end;
};

struct Tally
{
    int notes = 0;
    int right = 0;
    int octave = 0;
    int otherWrong = 0;
    int missed = 0;
    std::vector<double> lockMs;

    void Add(const Tally& t)
    {
        notes += t.notes;
        right += t.right;
        octave += t.octave;
        otherWrong += t.otherWrong;
        missed += t.missed;
        lockMs.insert(lockMs.end(), t.lockMs.begin(), t.lockMs.end());
    }
};

double Share(int part, int whole)
{
    return 100.0 * part / std::max(1, whole);
}

double Percentile(std::vector<double> values, double share)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const auto at =
        static_cast<std::size_t>(std::ceil(share * static_cast<double>(values.size())) - 1.0);
    return values[std::min(at, values.size() - 1)];
}

// The one scorer for every detector. A note is right when the note in force at its end is the
// one sung; an octave error when any report while it is sung lies whole octaves away; wrong when
// another note is reported once the voice has settled (notes passed on a glide are sung); its
// lock time runs from the end of its glide (from its start without one) to the first report.
Tally Score(const std::vector<Found>& found, const std::vector<Segment>& segments, unsigned rate)
{
    Tally t;
    const auto graceSamples = static_cast<std::uint64_t>(0.06 * rate);
    for (const Segment& s : segments) {
        ++t.notes;
        int held = -1;
        bool reported = false;
        bool octave = false;
        bool other = false;
        double lock = -1.0;
        for (const Found& f : found) {
            if (f.sampleIndex > s.end)
                break;
            held = f.note;
            if (f.sampleIndex <= s.begin)
                continue;
            if (f.note == s.midi) {
                reported = true;
                if (lock < 0.0)
                    lock = std::max(0.0, 1000.0 *
                                             (static_cast<double>(f.sampleIndex) -
                                              static_cast<double>(s.settled)) /
                                             rate);
            } else if ((f.note - s.midi) % 12 == 0) {
                octave = true;
            } else if (f.sampleIndex > s.settled + graceSamples) {
                other = true;
            }
        }
        if (held == s.midi)
            ++t.right;
        if (octave)
            ++t.octave;
        if (other)
            ++t.otherWrong;
        if (!reported && !octave && !other)
            ++t.missed;
        if (lock >= 0.0)
            t.lockMs.push_back(lock);
    }
    return t;
}

// Blocks of 10 ms, as a capture device delivers them.
template <typename Feed>
void FeedBlocks(const std::vector<float>& samples, unsigned rate, Feed feed)
{
    const std::size_t block = rate / 100;
    for (std::size_t at = 0; at < samples.size(); at += block)
        feed(samples.data() + at, std::min(block, samples.size() - at));
}

std::vector<Found> RunOurs(const MicTuning& tuning, const std::vector<float>& samples,
                           unsigned rate, std::vector<pv::MicPitchFrame>* trace = nullptr)
{
    pv::MicAnalyzer analyzer(pv::MicMode::Pitch, rate, tuning);
    analyzer.TracePitch(trace);
    std::vector<MicDetection> detections;
    FeedBlocks(samples, rate, [&](const float* data, std::size_t n) {
        analyzer.Push(std::span<const float>(data, n), detections);
    });
    std::vector<Found> found;
    for (const MicDetection& d : detections)
        found.push_back({d.note, d.sampleIndex});
    return found;
}

// aubio's yinfft at 2048/256 as an application would use it alone: its silence gate at our
// level gate, its default tolerance, and a plain hold: a note is reported once 23 ms of frames
// lie within a semitone of their median, and 80 ms without pitch end it.
std::vector<Found> RunAubio(const MicTuning& tuning, const std::vector<float>& samples,
                            unsigned rate)
{
    constexpr uint_t kWindow = 2048;
    constexpr uint_t kHop = 256;
    aubio_pitch_t* pitch = new_aubio_pitch("yinfft", kWindow, kHop, rate);
    fvec_t* in = new_fvec(kHop);
    fvec_t* result = new_fvec(1);
    aubio_pitch_set_unit(pitch, "midi");
    aubio_pitch_set_silence(pitch, static_cast<smpl_t>(10.0 * std::log10(tuning.gateMeanSquare)));
    const double hopMs = 1000.0 * kHop / rate;
    const auto holdFrames = static_cast<std::size_t>(std::ceil(tuning.holdMs / hopMs));
    const auto releaseFrames = static_cast<std::size_t>(std::ceil(80.0 / hopMs));
    std::vector<float> run;
    std::size_t silent = 0;
    int held = -1;
    std::vector<Found> found;
    for (std::size_t at = 0; at + kHop <= samples.size(); at += kHop) {
        std::copy(samples.begin() + static_cast<long>(at),
                  samples.begin() + static_cast<long>(at + kHop), in->data);
        aubio_pitch_do(pitch, in, result);
        const float p = result->data[0];
        if (p < 33.0F || p > 96.0F) {
            run.clear();
            if (++silent >= releaseFrames)
                held = -1;
            continue;
        }
        silent = 0;
        run.push_back(p);
        if (run.size() > holdFrames)
            run.erase(run.begin());
        if (run.size() < holdFrames)
            continue;
        std::vector<float> sorted = run;
        std::nth_element(sorted.begin(), sorted.begin() + static_cast<long>(sorted.size() / 2),
                         sorted.end());
        const float median = sorted[sorted.size() / 2];
        if (std::any_of(run.begin(), run.end(),
                        [&](float v) { return std::fabs(v - median) > 1.0F; }))
            continue;
        const int note = static_cast<int>(std::lround(median));
        if (note != held && (held < 0 || std::fabs(median - static_cast<float>(held)) >= 0.75F)) {
            held = note;
            found.push_back({note, static_cast<std::uint64_t>(at + kHop)});
        }
    }
    del_fvec(result);
    del_fvec(in);
    del_aubio_pitch(pitch);
    return found;
}

enum class Condition : int
{
    Plain,
    WeakFundamental,
    WeakOdd,
    FormantOnSecond,
    Glide,
    Legato,
    Reverb,
    Breathy,
    Count
};

const char* ConditionName(Condition c)
{
    switch (c) {
    case Condition::Plain:
        return "plain";
    case Condition::WeakFundamental:
        return "weak fundamental";
    case Condition::WeakOdd:
        return "odd harm. 1.5-5 %";
    case Condition::FormantOnSecond:
        return "F1 on H2, odd 2-8 %";
    case Condition::Glide:
        return "glide into note";
    case Condition::Legato:
        return "legato steps";
    case Condition::Reverb:
        return "reverb";
    case Condition::Breathy:
        return "breathy";
    case Condition::Count:
        break;
    }
    return "?";
}

struct Take
{
    std::size_t voice;
    std::size_t vowel;
    double snr;
    Condition condition;
    unsigned seed;
};

// "trace" among the arguments: explain every late lock of our analyser on the tuned voices.
bool g_trace = false;
constexpr double kLateMs = 60.0;

char CheckLetter(pv::MicPitchCheck c)
{
    switch (c) {
    case pv::MicPitchCheck::Reported:
        return '*';
    case pv::MicPitchCheck::Level:
        return 'L';
    case pv::MicPitchCheck::Confidence:
        return 'c';
    case pv::MicPitchCheck::Range:
        return 'r';
    case pv::MicPitchCheck::Hold:
        return 'h';
    case pv::MicPitchCheck::Spread:
        return 's';
    case pv::MicPitchCheck::SameNote:
        return '=';
    case pv::MicPitchCheck::Reach:
        return 'R';
    case pv::MicPitchCheck::Octave:
        return 'o';
    }
    return '?';
}

// What held one late note back, in ms after the end of its glide: the voiced run that decided it
// began once the level gate and the confidence had last failed; then the hold and the checks on
// the held readings took their frames.
struct LateLock
{
    double lockMs = 0.0;
    double levelMs = 0.0;      // the level gate last closed (0: never after the glide)
    double confidenceMs = 0.0; // confidence or range last failed
    double holdMs = 0.0;
    double spreadMs = 0.0;
    double reachMs = 0.0;
    double sameMs = 0.0;
    double octaveMs = 0.0;
    std::string culprit;
    std::string line;
};

std::vector<LateLock> ExplainLateLocks(const std::vector<pv::MicPitchFrame>& trace,
                                       const std::vector<Found>& found,
                                       const std::vector<Segment>& segments, unsigned rate,
                                       const std::string& takeName)
{
    std::vector<LateLock> late;
    auto ms = [&](std::uint64_t at, std::uint64_t from) {
        return 1000.0 * (static_cast<double>(at) - static_cast<double>(from)) / rate;
    };
    for (const Segment& s : segments) {
        // The first report of the note sung, as the scorer counts it.
        std::uint64_t reportAt = s.end;
        for (const Found& f : found) {
            if (f.sampleIndex > s.begin && f.sampleIndex <= s.end && f.note == s.midi) {
                reportAt = f.sampleIndex;
                break;
            }
        }
        const double lock = std::max(0.0, ms(reportAt, s.settled));
        if (lock <= kLateMs)
            continue;
        LateLock l;
        l.lockMs = lock;
        std::size_t runStart = 0;
        for (std::size_t i = 0; i < trace.size() && trace[i].sampleIndex <= reportAt; ++i) {
            const auto& f = trace[i];
            if (f.check == pv::MicPitchCheck::Level || f.check == pv::MicPitchCheck::Confidence ||
                f.check == pv::MicPitchCheck::Range)
                runStart = i + 1;
        }
        for (std::size_t i = 0; i < trace.size() && trace[i].sampleIndex <= reportAt; ++i) {
            const auto& f = trace[i];
            if (f.sampleIndex <= s.settled)
                continue;
            const double at = ms(f.sampleIndex, s.settled);
            const double hop = 1000.0 * 128.0 / rate * (rate > 60000 ? 2.0 : 1.0);
            switch (f.check) {
            case pv::MicPitchCheck::Level:
                l.levelMs = at;
                break;
            case pv::MicPitchCheck::Confidence:
            case pv::MicPitchCheck::Range:
                l.confidenceMs = at;
                break;
            case pv::MicPitchCheck::Hold:
                if (i >= runStart)
                    l.holdMs += hop;
                break;
            case pv::MicPitchCheck::Spread:
                if (i >= runStart)
                    l.spreadMs += hop;
                break;
            case pv::MicPitchCheck::Reach:
                if (i >= runStart)
                    l.reachMs += hop;
                break;
            case pv::MicPitchCheck::SameNote:
                if (i >= runStart)
                    l.sameMs += hop;
                break;
            case pv::MicPitchCheck::Octave:
                if (i >= runStart)
                    l.octaveMs += hop;
                break;
            case pv::MicPitchCheck::Reported:
                break;
            }
        }
        // The check that took the largest share of the lock holds it back: the level gate and
        // the confidence until the run began, then the hold and the checks on its readings.
        const std::map<std::string, double> parts = {
            {"level", l.levelMs},  {"confidence", std::max(0.0, l.confidenceMs - l.levelMs)},
            {"hold", l.holdMs},    {"spread", l.spreadMs},
            {"reach", l.reachMs},  {"same note", l.sameMs},
            {"octave", l.octaveMs}};
        l.culprit = std::max_element(parts.begin(), parts.end(), [](const auto& a, const auto& b) {
                        return a.second < b.second;
                    })->first;
        std::string timeline;
        std::string pitches;
        for (std::size_t i = 0; i < trace.size() && trace[i].sampleIndex <= reportAt; ++i) {
            if (trace[i].sampleIndex + rate / 50 < s.settled)
                continue;
            if (trace[i].sampleIndex > s.settled && timeline.find('|') == std::string::npos)
                timeline += '|';
            timeline += CheckLetter(trace[i].check);
            if (trace[i].sampleIndex > s.settled) {
                char reading[32];
                std::snprintf(reading, sizeof reading, " %.2f/%.2f", trace[i].pitch - s.midi,
                              trace[i].confidence);
                pitches += reading;
            }
        }
        char line[4000];
        std::snprintf(line, sizeof line,
                      "%s note %d: lock %.1f ms; level %.1f conf %.1f | hold %.1f spread %.1f "
                      "reach %.1f same %.1f octave %.1f -> %s  %s\n     %s",
                      takeName.c_str(), s.midi, lock, l.levelMs, l.confidenceMs, l.holdMs,
                      l.spreadMs, l.reachMs, l.sameMs, l.octaveMs, l.culprit.c_str(),
                      timeline.c_str(), pitches.c_str());
        l.line = line;
        late.push_back(l);
    }
    return late;
}

struct TakeResult
{
    Tally ours;
    Tally precise;
    Tally aubio;
    std::string failure;
    std::vector<LateLock> late;
};

TakeResult RunTake(const Take& take, const MicTuning& tuning, const MicTuning& preciseTuning)
{
    using namespace pv::test;
    std::mt19937 rng(take.seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const VoiceTable& voice = kVoices[take.voice];
    const unsigned rate = unit(rng) < 0.5 ? 44100U : 48000U;
    const int midi =
        voice.lowest +
        static_cast<int>(unit(rng) * static_cast<double>(voice.highest - voice.lowest + 1)) %
            (voice.highest - voice.lowest + 1);
    Vowel vowel = voice.vowels[take.vowel];
    SungToneSpec spec;
    spec.midi = midi + (unit(rng) - 0.5) * 0.3; // a singer's own tuning, ±15 cents
    spec.seconds = 0.6;
    spec.amplitude = 0.05 + 0.4 * unit(rng);
    spec.vibratoCents = 20.0 + 30.0 * unit(rng);
    spec.vibratoHz = 4.5 + 2.0 * unit(rng);
    spec.vibratoPhase = 6.283 * unit(rng);
    spec.attackMs = 10.0 + 20.0 * unit(rng);
    spec.resonators = unit(rng) < 0.5;
    std::vector<int> midis = {midi};
    std::vector<double> glides = {0.0};
    double reverb = 0.0;
    switch (take.condition) {
    case Condition::Plain:
        break;
    case Condition::WeakFundamental:
        spec.fundamentalGain = 0.1 + 0.2 * unit(rng);
        break;
    case Condition::WeakOdd:
        spec.oddShare = 0.015 + 0.035 * unit(rng);
        break;
    case Condition::FormantOnSecond:
        vowel.formants[0].hz = 2.0 * MidiToHz(midi) * (0.92 + 0.16 * unit(rng));
        spec.resonators = true;
        spec.oddShare = 0.02 + 0.06 * unit(rng);
        break;
    case Condition::Glide:
        spec.glideFrom = (unit(rng) < 0.5 ? -1.0 : 1.0) * (1.0 + 2.0 * unit(rng));
        spec.glideMs = 60.0 + 140.0 * unit(rng);
        glides[0] = spec.glideMs;
        break;
    case Condition::Legato: {
        spec.seconds = 0.45;
        int previous = midi;
        for (int i = 0; i < 2; ++i) {
            int step = 1 + static_cast<int>(unit(rng) * 7.0) % 7;
            if (unit(rng) < 0.5)
                step = -step;
            if (previous + step < voice.lowest || previous + step > voice.highest)
                step = -step;
            LegatoNote next;
            next.midi = previous + step + (unit(rng) - 0.5) * 0.3;
            next.seconds = 0.45;
            next.glideMs = 30.0 + 60.0 * unit(rng);
            spec.then.push_back(next);
            previous += step;
            midis.push_back(previous);
            glides.push_back(next.glideMs);
        }
        break;
    }
    case Condition::Reverb:
        reverb = 0.1 + 0.15 * unit(rng);
        break;
    case Condition::Breathy:
        spec.breath = 0.1 + 0.2 * unit(rng);
        spec.extraTilt = 0.5;
        break;
    case Condition::Count:
        break;
    }
    spec.vowel = &vowel;
    std::vector<float> tone = SungTone(spec, rate, rng);
    const double toneRms = Rms(tone);
    const std::size_t lead = SampleAt(0.2, rate);
    std::vector<float> samples(lead, 0.0F);
    samples.insert(samples.end(), tone.begin(), tone.end());
    samples.resize(samples.size() + SampleAt(0.25, rate), 0.0F);
    if (reverb > 0.0)
        AddReverb(samples, rate, reverb, 0.3 + 0.3 * unit(rng));
    AddNoise(samples, toneRms / std::pow(10.0, take.snr / 20.0), rng);

    std::vector<Segment> segments;
    std::uint64_t begin = lead;
    for (std::size_t i = 0; i < midis.size(); ++i) {
        const double seconds = i == 0 ? spec.seconds : spec.then[i - 1].seconds;
        const std::uint64_t end = begin + SampleAt(seconds, rate);
        segments.push_back({midis[i], begin, begin + SampleAt(glides[i] / 1000.0, rate),
                            i + 1 == midis.size() ? end + SampleAt(0.05, rate) : end});
        begin = end;
    }

    TakeResult r;
    std::vector<pv::MicPitchFrame> trace;
    const std::vector<Found> ours = RunOurs(tuning, samples, rate, g_trace ? &trace : nullptr);
    r.ours = Score(ours, segments, rate);
    if (g_trace && take.snr >= 10.0) {
        char name[160];
        std::snprintf(name, sizeof name, "%s %s %s, %.0f dB, rate %u", voice.name, vowel.name,
                      ConditionName(take.condition), take.snr, rate);
        r.late = ExplainLateLocks(trace, ours, segments, rate, name);
    }
    r.precise = Score(RunOurs(preciseTuning, samples, rate), segments, rate);
    r.aubio = Score(RunAubio(tuning, samples, rate), segments, rate);
    if (r.ours.right != r.ours.notes || r.ours.octave > 0 || r.ours.otherWrong > 0) {
        char line[240];
        int used = std::snprintf(line, sizeof line, "%s %s %s, %.0f dB, rate %u, sung", voice.name,
                                 vowel.name, ConditionName(take.condition), take.snr, rate);
        for (const int m : midis)
            used +=
                std::snprintf(line + used, sizeof line - static_cast<std::size_t>(used), " %d", m);
        used += std::snprintf(line + used, sizeof line - static_cast<std::size_t>(used), " ->");
        for (std::size_t i = 0; i < ours.size() && i < 8; ++i)
            used += std::snprintf(line + used, sizeof line - static_cast<std::size_t>(used), " %d",
                                  ours[i].note);
        r.failure = line;
        if (g_trace) {
            // Every voiced frame: its reading (whole semitones off the first note) and check.
            std::string frames;
            for (const auto& f : trace) {
                if (f.check == pv::MicPitchCheck::Level || f.check == pv::MicPitchCheck::Confidence)
                    continue;
                char reading[24];
                std::snprintf(reading, sizeof reading, " %.0f%c", f.pitch - midis[0],
                              CheckLetter(f.check));
                frames += reading;
            }
            r.failure += "\n     " + frames;
        }
    }
    return r;
}

struct Row
{
    Tally ours;
    Tally precise;
    Tally aubio;
};

void PrintHeader(const char* title)
{
    std::printf("\n%s\n", title);
    std::printf("| %-22s | %5s | %15s | %15s | %15s | %15s | %15s | %15s |\n", "group", "notes",
                "right% us/aub", "octave% us/aub", "wrong% us/aub", "missed% us/aub",
                "lock p95 us/aub", "HP right/oct%");
    std::printf(
        "|%s|%s|%s|%s|%s|%s|%s|%s|\n", std::string(24, '-').c_str(), std::string(7, '-').c_str(),
        std::string(17, '-').c_str(), std::string(17, '-').c_str(), std::string(17, '-').c_str(),
        std::string(17, '-').c_str(), std::string(17, '-').c_str(), std::string(17, '-').c_str());
}

void PrintRow(const std::string& name, const Row& r)
{
    const Tally& o = r.ours;
    const Tally& a = r.aubio;
    const Tally& p = r.precise;
    std::printf("| %-22s | %5d | %6.2f / %6.2f | %6.2f / %6.2f | %6.2f / %6.2f | %6.2f / %6.2f "
                "| %6.1f / %6.1f | %6.2f / %6.2f |\n",
                name.c_str(), o.notes, Share(o.right, o.notes), Share(a.right, a.notes),
                Share(o.octave, o.notes), Share(a.octave, a.notes), Share(o.otherWrong, o.notes),
                Share(a.otherWrong, a.notes), Share(o.missed, o.notes), Share(a.missed, a.notes),
                Percentile(o.lockMs, 0.95), Percentile(a.lockMs, 0.95), Share(p.right, p.notes),
                Share(p.octave, p.notes));
}

void Goal(const std::string& name, double figure, const char* unit, bool atMost, double target,
          double aubioFigure)
{
    char compare[64];
    std::snprintf(compare, sizeof compare, "aubio %.2f", aubioFigure);
    pv::bench::Goal("mic_pitch/" + name, figure, unit,
                    atMost ? pv::bench::Bound::AtMost : pv::bench::Bound::AtLeast, target, compare);
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::string(argv[i]) == "trace")
            g_trace = true;
        else
            args.push_back(argv[i]);
    }
    argc = static_cast<int>(args.size());
    argv = args.data();
    using namespace pv;
    using namespace pv::test;
    const int perCell = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1;
    const MicTuning tuning = TuningFromConfig(kDefaultRhythmValue, 0, kDefaultToneValue);
    const MicTuning preciseTuning = TuningFromConfig(kDefaultRhythmValue, 1, kDefaultToneValue);
    const std::vector<double> snrs = {30.0, 20.0, 10.0, 6.0, 3.0};

    std::vector<Take> takes;
    unsigned seed = 20261210;
    // "tuned" as a second argument leaves the held-out voice out (for quick runs while tuning).
    const bool tunedOnly = argc > 2 && std::string(argv[2]) == "tuned";
    for (std::size_t voice = 0; voice < (tunedOnly ? 2U : kVoices.size()); ++voice)
        for (std::size_t vowel = 0; vowel < 5; ++vowel)
            for (const double snr : snrs)
                for (int c = 0; c < static_cast<int>(Condition::Count); ++c)
                    if (argc <= 3 || std::atoi(argv[3]) == c)
                        for (int i = 0; i < perCell; ++i)
                            takes.push_back({voice, vowel, snr, static_cast<Condition>(c), seed++});

    std::vector<TakeResult> results(takes.size());
    std::atomic<std::size_t> next{0};
    std::vector<std::thread> workers;
    // Four workers: the machine is shared with builds.
    for (int w = 0; w < 4; ++w)
        workers.emplace_back([&] {
            for (std::size_t i = next++; i < takes.size(); i = next++)
                results[i] = RunTake(takes[i], tuning, preciseTuning);
        });
    for (std::thread& w : workers)
        w.join();

    // The child voice is held out: the detector was never tuned on it.
    auto heldOut = [](const Take& t) { return std::string(kVoices[t.voice].name) == "child"; };
    std::map<std::string, Row> byVoice, bySnr, byCondition;
    Row tuned10, tuned6, tunedAll, held10, held6, heldAll;
    std::vector<std::string> failures;
    for (std::size_t i = 0; i < takes.size(); ++i) {
        const Take& t = takes[i];
        const TakeResult& r = results[i];
        auto add = [&](Row& row) {
            row.ours.Add(r.ours);
            row.precise.Add(r.precise);
            row.aubio.Add(r.aubio);
        };
        add(byVoice[kVoices[t.voice].name]);
        char snrName[32];
        std::snprintf(snrName, sizeof snrName, "SNR %2.0f dB", t.snr);
        add(bySnr[snrName]);
        add(byCondition[ConditionName(t.condition)]);
        const bool held = heldOut(t);
        add(held ? heldAll : tunedAll);
        if (t.snr >= 10.0)
            add(held ? held10 : tuned10);
        if (t.snr == 6.0)
            add(held ? held6 : tuned6);
        if (!r.failure.empty() && t.snr >= 6.0 && !held)
            failures.push_back(r.failure);
    }

    std::printf(
        "Pitch detection: %zu takes of 0.6 s (legato: three notes of 0.45 s), voices male "
        "E2-G4, female G3-C6, child C4-D6 (held out), five vowels each, SNR 30/20/10/6/3 "
        "dB; default sensitivity; 'us' = our analyser, 'aub' = aubio yinfft 2048/256 with a "
        "plain 23 ms hold; HP = our high-precision setting\n",
        takes.size());
    PrintHeader("By voice");
    for (const auto& [name, row] : byVoice)
        PrintRow(name, row);
    PrintHeader("By noise (all voices)");
    for (const auto& [name, row] : bySnr)
        PrintRow(name, row);
    PrintHeader("By condition (all voices, all noise)");
    for (const auto& [name, row] : byCondition)
        PrintRow(name, row);
    PrintHeader("Tuned voices (male, female) and held-out voice (child)");
    PrintRow("tuned, >= 10 dB", tuned10);
    PrintRow("tuned, 6 dB", tuned6);
    PrintRow("tuned, all", tunedAll);
    PrintRow("held out, >= 10 dB", held10);
    PrintRow("held out, 6 dB", held6);
    PrintRow("held out, all", heldAll);

    std::printf("\n");
    auto goals = [](const std::string& slice, const Row& at10, const Row& at6, bool precise) {
        const Tally& o10 = precise ? at10.precise : at10.ours;
        const Tally& o6 = precise ? at6.precise : at6.ours;
        Goal(slice + "/right_at_end_10dB_up", Share(o10.right, o10.notes), "%", false, 99.0,
             Share(at10.aubio.right, at10.aubio.notes));
        Tally octaves = o10;
        octaves.Add(o6);
        Tally aubioOctaves = at10.aubio;
        aubioOctaves.Add(at6.aubio);
        Goal(slice + "/octave_errors_6dB_up", Share(octaves.octave, octaves.notes), "%", true, 0.5,
             Share(aubioOctaves.octave, aubioOctaves.notes));
        Goal(slice + "/right_at_end_6dB", Share(o6.right, o6.notes), "%", false, 90.0,
             Share(at6.aubio.right, at6.aubio.notes));
        // The high-precision setting waits longer on purpose; its lock time is no goal.
        if (!precise)
            Goal(slice + "/lock_p95_10dB_up", Percentile(o10.lockMs, 0.95), "ms", true, 60.0,
                 Percentile(at10.aubio.lockMs, 0.95));
    };
    goals("tuned", tuned10, tuned6, false);
    goals("held_out", held10, held6, false);
    goals("tuned_high_precision", tuned10, tuned6, true);
    goals("held_out_high_precision", held10, held6, true);
    std::printf("\nFailures of our analyser on the tuned voices at >= 6 dB (first 25 of %zu):\n",
                failures.size());
    for (std::size_t i = 0; i < failures.size() && i < 25; ++i)
        std::printf("  %s\n", failures[i].c_str());
    if (g_trace) {
        std::map<std::string, int> culprits;
        std::vector<std::string> lines;
        int lateCount = 0;
        for (std::size_t i = 0; i < takes.size(); ++i) {
            if (heldOut(takes[i]))
                continue;
            for (const LateLock& l : results[i].late) {
                ++lateCount;
                ++culprits[l.culprit];
                lines.push_back(l.line);
            }
        }
        std::printf("\nLate locks (> %.0f ms) of our analyser on the tuned voices at >= 10 dB: %d; "
                    "longest share by check:\n",
                    kLateMs, lateCount);
        for (const auto& [name, count] : culprits)
            std::printf("  %-12s %d\n", name.c_str(), count);
        std::printf("Frames from 20 ms before the glide's end ('|') to the report: L level, c "
                    "confidence, r range, h hold, s spread, R reach, = same note, o octave, * "
                    "reported\n");
        for (const std::string& line : lines)
            std::printf("  %s\n", line.c_str());
    }
    return 0;
}
