// Pitch and onset analysis fed with generated sound: notes, vibrato, silence, claps, settings.
#include "music/devices/MicAnalyzer.h"
#include "music/devices/MicSignals.h"

#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::AddClap;
using test::AddNoise;
using test::SampleAt;
using test::SungTone;
using test::SungToneSpec;

constexpr unsigned kRate = 44100;

std::vector<MicDetection> Analyse(MicMode mode, const std::vector<float>& samples,
                                  const MicTuning& tuning = TuningFromConfig(kDefaultRhythmValue, 0,
                                                                             kDefaultToneValue),
                                  unsigned rate = kRate)
{
    MicAnalyzer analyzer(mode, rate, tuning);
    std::vector<MicDetection> found;
    // 10 ms blocks, as a capture device delivers them.
    const std::size_t block = rate / 100;
    for (std::size_t at = 0; at < samples.size(); at += block)
        analyzer.Push(
            std::span<const float>(samples.data() + at, std::min(block, samples.size() - at)),
            found);
    return found;
}

std::vector<int> Notes(const std::vector<MicDetection>& found)
{
    std::vector<int> notes;
    for (const MicDetection& d : found) {
        EXPECT_EQ(d.kind, MicDetection::Kind::Note);
        notes.push_back(d.note);
    }
    return notes;
}

std::vector<float> Silence(double seconds)
{
    return std::vector<float>(SampleAt(seconds, kRate), 0.0F);
}

void Append(std::vector<float>& to, const std::vector<float>& more)
{
    to.insert(to.end(), more.begin(), more.end());
}

TEST(MicAnalyzer, SineOf440HzIsNote69ReportedOnce)
{
    std::vector<float> samples = Silence(0.1);
    Append(samples, test::Sine(440.0, 0.3, 1.0, kRate));
    Append(samples, Silence(0.2));
    EXPECT_EQ(Notes(Analyse(MicMode::Pitch, samples)), std::vector<int>{69});
}

TEST(MicAnalyzer, SungTonesWithVibratoAndNoiseGiveTheirNote)
{
    struct Case
    {
        const char* name;
        int midi;
        std::size_t vowel;
        unsigned rate;
    };
    const Case cases[] = {
        {"E2 a", 40, 0, 44100}, {"A2 o", 45, 3, 48000}, {"D3 i", 50, 2, 44100},
        {"G3 u", 55, 4, 48000}, {"C4 e", 60, 1, 44100}, {"A4 a", 69, 0, 48000},
        {"E5 i", 76, 2, 44100}, {"C6 o", 84, 3, 48000},
    };
    std::mt19937 rng(7);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SungToneSpec spec;
        spec.midi = c.midi;
        spec.seconds = 0.8;
        spec.vibratoCents = 40.0;
        spec.vibratoHz = 5.5;
        spec.vowel = &test::kVowels[c.vowel];
        std::vector<float> samples(SampleAt(0.1, c.rate), 0.0F);
        Append(samples, SungTone(spec, c.rate, rng));
        samples.resize(samples.size() + SampleAt(0.2, c.rate), 0.0F);
        AddNoise(samples, 0.003, rng);
        EXPECT_EQ(
            Notes(Analyse(MicMode::Pitch, samples,
                          TuningFromConfig(kDefaultRhythmValue, 0, kDefaultToneValue), c.rate)),
            std::vector<int>{c.midi});
    }
}

TEST(MicAnalyzer, WeakOddHarmonicsKeepTheirOwnNoteNotTheOctaveUp)
{
    // With the odd harmonics (the fundamental among them) at a few per cent of the power, half
    // the period repeats nearly as well as the period itself; the note is still the low one.
    struct Case
    {
        const char* name;
        int midi;
        double oddShare;
        bool formantOnSecond;
        unsigned rate;
    };
    const Case cases[] = {
        {"A2, odd 3 %", 45, 0.03, false, 44100},
        {"E3, odd 2 %", 52, 0.02, false, 48000},
        {"E4, F1 on H2, odd 3 %", 64, 0.03, true, 44100},
        {"F4, F1 on H2, odd 4 %", 65, 0.04, true, 48000},
        {"A4, odd 2 %", 69, 0.02, false, 44100},
    };
    std::mt19937 rng(17);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::Vowel vowel = test::kVoices[1].vowels[1];
        if (c.formantOnSecond)
            vowel.formants[0].hz = 2.0 * test::MidiToHz(c.midi);
        SungToneSpec spec;
        spec.midi = c.midi;
        spec.seconds = 0.7;
        spec.vibratoCents = 30.0;
        spec.vowel = &vowel;
        spec.resonators = true;
        spec.oddShare = c.oddShare;
        std::vector<float> samples(SampleAt(0.1, c.rate), 0.0F);
        Append(samples, SungTone(spec, c.rate, rng));
        samples.resize(samples.size() + SampleAt(0.2, c.rate), 0.0F);
        AddNoise(samples, 0.001, rng);
        EXPECT_EQ(
            Notes(Analyse(MicMode::Pitch, samples,
                          TuningFromConfig(kDefaultRhythmValue, 0, kDefaultToneValue), c.rate)),
            std::vector<int>{c.midi});
    }
}

TEST(MicAnalyzer, ToneInSixDecibelsOfNoiseGivesItsNote)
{
    // A sung tone whose noise has a quarter of its power: both settings still hear it.
    std::mt19937 rng(19);
    for (const std::uint8_t highPrecision : {std::uint8_t{0}, std::uint8_t{1}}) {
        for (const int midi : {48, 62, 74}) {
            SCOPED_TRACE(testing::Message() << "midi " << midi << " high precision "
                                            << static_cast<int>(highPrecision));
            SungToneSpec spec;
            spec.midi = midi;
            spec.seconds = 0.7;
            spec.vibratoCents = 30.0;
            spec.vowel = &test::kVowels[0];
            std::vector<float> tone = SungTone(spec, kRate, rng);
            const double noiseRms = test::Rms(tone) / std::pow(10.0, 6.0 / 20.0);
            std::vector<float> samples = Silence(0.1);
            Append(samples, tone);
            Append(samples, Silence(0.2));
            AddNoise(samples, noiseRms, rng);
            EXPECT_EQ(Notes(Analyse(
                          MicMode::Pitch, samples,
                          TuningFromConfig(kDefaultRhythmValue, highPrecision, kDefaultToneValue))),
                      std::vector<int>{midi});
        }
    }
}

TEST(MicAnalyzer, VibratoOfFiftyCentsKeepsOneNote)
{
    // Two seconds of wide vibrato cross the border to both neighbours' halves again and again.
    std::mt19937 rng(3);
    SungToneSpec spec;
    spec.midi = 57;
    spec.seconds = 2.0;
    spec.vibratoCents = 50.0;
    spec.vibratoPhase = 1.0;
    std::vector<float> samples = SungTone(spec, kRate, rng);
    AddNoise(samples, 0.002, rng);
    EXPECT_EQ(Notes(Analyse(MicMode::Pitch, samples)), std::vector<int>{57});
}

TEST(MicAnalyzer, AVoiceStartingOnASwingNearTheBorderIsNamedByTheSwingsCentre)
{
    // A note sung 12-15 cents off starts on the crest (or trough) of a wide vibrato, 0.6
    // semitone from it: its first readings fit both neighbours. The bend of the swing shows on
    // which side its centre lies: the note must be the one sung, and on a slow vibrato it is
    // named before the readings alone could tell (they leave the neighbour's reach only after
    // 52 ms or more here).
    struct Case
    {
        const char* name;
        double midi;
        double phase;
        double hz;
        unsigned rate;
        int expected;
        double withinMs; ///< 0: no bound
    };
    const double crest = std::numbers::pi / 2.0;
    const double trough = 3.0 * std::numbers::pi / 2.0;
    const Case cases[] = {
        {"crest of 60, 5 Hz", 60.12, crest, 5.0, 44100, 60, 0.0},
        {"trough of 61, 5 Hz", 60.88, trough, 5.0, 48000, 61, 0.0},
        {"crest of 67, 4.5 Hz", 67.15, crest, 4.5, 48000, 67, 50.0},
        {"trough of 52, 4.5 Hz", 51.85, trough, 4.5, 44100, 52, 50.0},
        {"crest of 55, 4.5 Hz", 55.15, crest, 4.5, 44100, 55, 50.0},
        {"trough of 72, 4.5 Hz", 71.85, trough, 4.5, 48000, 72, 50.0},
    };
    std::mt19937 rng(31);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SungToneSpec spec;
        spec.midi = c.midi;
        spec.seconds = 0.6;
        spec.vibratoCents = 45.0;
        spec.vibratoHz = c.hz;
        spec.vibratoPhase = c.phase;
        spec.attackMs = 10.0;
        std::vector<float> samples(SampleAt(0.1, c.rate), 0.0F);
        Append(samples, SungTone(spec, c.rate, rng));
        samples.resize(samples.size() + SampleAt(0.2, c.rate), 0.0F);
        AddNoise(samples, 0.002, rng);
        const std::vector<MicDetection> found =
            Analyse(MicMode::Pitch, samples,
                    TuningFromConfig(kDefaultRhythmValue, 0, kDefaultToneValue), c.rate);
        ASSERT_EQ(Notes(found), std::vector<int>{c.expected});
        if (c.withinMs > 0.0) {
            const double afterStartMs =
                1000.0 * static_cast<double>(found[0].sampleIndex - SampleAt(0.1, c.rate)) / c.rate;
            EXPECT_LT(afterStartMs, c.withinMs);
        }
    }
}

TEST(MicAnalyzer, AStepSungALittleSharpLeavesTheHeldNote)
{
    // Down a semitone from 60 to 59 sung 29 cents sharp with a straight tone: every reading lies
    // nearer 59 than 60, and beyond any vibrato of 60, so the step is a new note although its
    // readings stay under the change distance of the held one.
    std::mt19937 rng(37);
    SungToneSpec spec;
    spec.midi = 60.0;
    spec.seconds = 0.5;
    spec.vibratoCents = 0.0;
    spec.then.push_back({59.29, 0.5, 40.0});
    std::vector<float> samples = Silence(0.1);
    Append(samples, SungTone(spec, kRate, rng));
    Append(samples, Silence(0.2));
    AddNoise(samples, 0.002, rng);
    EXPECT_EQ(Notes(Analyse(MicMode::Pitch, samples)), (std::vector<int>{60, 59}));
}

TEST(MicAnalyzer, AWideVibratoNearTheBorderKeepsItsNoteInNoise)
{
    // 10 cents sharp with 45 cents of vibrato, the crests reach 0.55 semitone towards the upper
    // neighbour, where the readings fit both notes; in noise a few readings can bend a fitted
    // swing either way. Whatever the phase and the noise, one note.
    std::mt19937 rng(41);
    for (const double noiseRms : {0.002, 0.02, 0.04}) {
        for (const double phase : {0.0, 1.0, 2.0, 3.0, 4.0, 5.0}) {
            SCOPED_TRACE(testing::Message() << "noise " << noiseRms << ", phase " << phase);
            SungToneSpec spec;
            spec.midi = 57.1;
            spec.seconds = 1.5;
            spec.vibratoCents = 45.0;
            spec.vibratoHz = 5.0;
            spec.vibratoPhase = phase;
            std::vector<float> samples = Silence(0.1);
            Append(samples, SungTone(spec, kRate, rng));
            Append(samples, Silence(0.2));
            AddNoise(samples, noiseRms, rng);
            EXPECT_EQ(Notes(Analyse(MicMode::Pitch, samples)), std::vector<int>{57});
        }
    }
}

TEST(MicAnalyzer, ANewNoteOrTheSameNoteAfterSilenceIsReportedAgain)
{
    std::mt19937 rng(5);
    SungToneSpec spec;
    spec.seconds = 0.5;
    spec.releaseMs = 5.0;
    std::vector<float> samples = Silence(0.1);
    for (const int midi : {60, 62}) { // a legato step
        spec.midi = midi;
        spec.attackMs = 2.0;
        Append(samples, SungTone(spec, kRate, rng));
    }
    Append(samples, Silence(0.3));
    spec.midi = 62;
    Append(samples, SungTone(spec, kRate, rng));
    Append(samples, Silence(0.2));
    EXPECT_EQ(Notes(Analyse(MicMode::Pitch, samples)), (std::vector<int>{60, 62, 62}));
}

TEST(MicAnalyzer, ReadingsCarryTheNoteSungAtTheirMomentAndNoneAfterTheVoiceStops)
{
    std::mt19937 rng(9);
    SungToneSpec spec;
    spec.seconds = 0.5;
    spec.midi = 64;
    std::vector<float> samples = Silence(0.2);
    Append(samples, SungTone(spec, kRate, rng));
    Append(samples, Silence(0.4));
    MicTuning tuning = TuningFromConfig(kDefaultRhythmValue, 0, kDefaultToneValue);
    tuning.readingMs = 20;
    const std::vector<MicDetection> found = Analyse(MicMode::Pitch, samples, tuning);

    std::vector<MicDetection> notes;
    std::vector<MicDetection> readings;
    for (const MicDetection& d : found)
        (d.kind == MicDetection::Kind::Note ? notes : readings).push_back(d);
    ASSERT_EQ(notes.size(), 1U);
    EXPECT_EQ(notes[0].note, 64);
    // One reading every 20 ms of the stream, none in the same moment as the report.
    const double seconds = static_cast<double>(samples.size()) / kRate;
    EXPECT_NEAR(static_cast<double>(readings.size()), seconds / 0.020, 3.0);
    const auto at = [](const MicDetection& d) {
        return static_cast<double>(d.sampleIndex) / kRate;
    };
    for (const MicDetection& d : readings) {
        SCOPED_TRACE(at(d));
        if (d.sampleIndex < notes[0].sampleIndex) {
            EXPECT_EQ(d.note, 0) << "before the note";
        } else if (at(d) < 0.2 + spec.seconds) {
            EXPECT_EQ(d.note, 64) << "while it is sung";
        } else if (at(d) > 0.2 + spec.seconds + 0.15) {
            EXPECT_EQ(d.note, 0) << "once the voice has stopped";
        }
    }
    // Without readings asked for, the report stays the only detection.
    EXPECT_EQ(Notes(Analyse(MicMode::Pitch, samples)), std::vector<int>{64});
}

TEST(MicAnalyzer, PitchTraceExplainsEveryFrameAndChangesNothing)
{
    // Legato notes in light noise: the trace marks each report at the frame that made it, the
    // silence before them as held back by the level gate, and tracing leaves the notes alone.
    std::mt19937 rng(23);
    SungToneSpec spec;
    spec.midi = 57;
    spec.seconds = 0.4;
    spec.vibratoCents = 30.0;
    spec.then.push_back({62.0, 0.4, 40.0});
    std::vector<float> samples = Silence(0.2);
    Append(samples, SungTone(spec, kRate, rng));
    Append(samples, Silence(0.2));
    AddNoise(samples, 0.002, rng);
    const MicTuning tuning = TuningFromConfig(kDefaultRhythmValue, 0, kDefaultToneValue);

    MicAnalyzer analyzer(MicMode::Pitch, kRate, tuning);
    std::vector<MicPitchFrame> trace;
    analyzer.TracePitch(&trace);
    std::vector<MicDetection> found;
    analyzer.Push(samples, found);

    const std::vector<MicDetection> untraced = Analyse(MicMode::Pitch, samples, tuning);
    ASSERT_EQ(Notes(found), (std::vector<int>{57, 62}));
    EXPECT_EQ(Notes(untraced), Notes(found));
    ASSERT_FALSE(trace.empty());
    // Traced up to the last full hop (a hop is far shorter than 10 ms).
    EXPECT_LE(trace.back().sampleIndex, analyzer.SamplesSeen());
    EXPECT_GT(trace.back().sampleIndex + SampleAt(0.01, kRate), analyzer.SamplesSeen());
    std::vector<std::uint64_t> reportedAt;
    for (std::size_t i = 0; i < trace.size(); ++i) {
        if (i > 0) {
            EXPECT_GT(trace[i].sampleIndex, trace[i - 1].sampleIndex);
        }
        if (trace[i].check == MicPitchCheck::Reported)
            reportedAt.push_back(trace[i].sampleIndex);
        if (trace[i].sampleIndex <= SampleAt(0.15, kRate)) {
            EXPECT_EQ(trace[i].check, MicPitchCheck::Level) << trace[i].sampleIndex;
        }
    }
    ASSERT_EQ(reportedAt.size(), found.size());
    for (std::size_t i = 0; i < found.size(); ++i)
        EXPECT_EQ(reportedAt[i], found[i].sampleIndex);
}

TEST(MicAnalyzer, SilenceAndNoiseGiveNoNote)
{
    std::mt19937 rng(11);
    std::vector<float> noise = Silence(2.0);
    AddNoise(noise, 0.02, rng);
    EXPECT_TRUE(Analyse(MicMode::Pitch, Silence(2.0)).empty());
    EXPECT_TRUE(Analyse(MicMode::Pitch, noise).empty());
    EXPECT_TRUE(Analyse(MicMode::Onset, Silence(2.0)).empty());
}

TEST(MicAnalyzer, ToneSensitivityGatesQuietSinging)
{
    // About -45 dB of full scale: below the gate of sensitivity 0 (-30 dB), above that of 8.
    std::vector<float> samples = test::Sine(220.0, 0.008, 1.0, kRate);
    EXPECT_TRUE(Analyse(MicMode::Pitch, samples, TuningFromConfig(kDefaultRhythmValue, 0, 196608.0))
                    .empty());
    EXPECT_EQ(Notes(Analyse(MicMode::Pitch, samples,
                            TuningFromConfig(kDefaultRhythmValue, 0, 50331648.0))),
              std::vector<int>{57});
}

TEST(MicAnalyzer, ClapsGiveOnsetsAtTheirAttack)
{
    std::mt19937 rng(13);
    std::vector<float> samples = Silence(3.0);
    AddNoise(samples, 0.0005, rng);
    const std::vector<double> times = {0.25, 0.5, 0.62, 1.0, 1.37, 1.5, 2.0, 2.6};
    const std::vector<double> peaks = {0.5, 0.1, 0.3, 0.05, 0.8, 0.2, 0.4, 0.03};
    for (std::size_t i = 0; i < times.size(); ++i)
        AddClap(samples, SampleAt(times[i], kRate), peaks[i], kRate, rng, 0.5 + 0.2 * i,
                10.0 + 2.0 * i);
    const std::vector<MicDetection> found = Analyse(MicMode::Onset, samples);
    ASSERT_EQ(found.size(), times.size());
    for (std::size_t i = 0; i < times.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(found[i].kind, MicDetection::Kind::Onset);
        const double ms = 1000.0 * static_cast<double>(found[i].sampleIndex) / kRate;
        EXPECT_NEAR(ms, 1000.0 * times[i], 3.0);
    }
}

// Claps at known times; each must give exactly one onset, stamped within 3 ms of its attack.
struct ClapScene
{
    const char* name;
    int sensitivity;
    double noiseDb;
    double peakDb;
    double attackMs;
    double decayMs;
    double spacing;
    unsigned seed;
};

void ExpectEachClapOnceWithin3Ms(const ClapScene& scene)
{
    SCOPED_TRACE(scene.name);
    std::mt19937 rng(scene.seed);
    std::vector<float> samples = Silence(6.0);
    AddNoise(samples, std::pow(10.0, scene.noiseDb / 20.0), rng);
    std::vector<double> times;
    for (double at = 0.3; at < 5.8; at += scene.spacing) {
        times.push_back(at);
        AddClap(samples, SampleAt(at, kRate), std::pow(10.0, scene.peakDb / 20.0), kRate, rng,
                scene.attackMs, scene.decayMs);
    }
    const int rhythmValue = (scene.sensitivity + 1) * (scene.sensitivity + 1) + 2;
    const std::vector<MicDetection> found =
        Analyse(MicMode::Onset, samples, TuningFromConfig(rhythmValue, 0, kDefaultToneValue));
    ASSERT_EQ(found.size(), times.size());
    for (std::size_t i = 0; i < times.size(); ++i) {
        SCOPED_TRACE(i);
        const double ms = 1000.0 * static_cast<double>(found[i].sampleIndex) / kRate;
        EXPECT_NEAR(ms, 1000.0 * times[i], 3.0);
    }
}

TEST(MicAnalyzer, NoiseFromTheFirstSampleIsNoOnset)
{
    // The microphone opens on the room's noise; the stream's first window is no rise of it,
    // and the clap after it is heard.
    for (const int sensitivity : {2, 5, 8}) {
        SCOPED_TRACE(sensitivity);
        for (const unsigned seed : {21U, 22U, 23U}) {
            std::mt19937 rng(seed);
            std::vector<float> samples = Silence(1.0);
            AddNoise(samples, std::pow(10.0, -42.0 / 20.0), rng);
            AddClap(samples, SampleAt(0.4, kRate), 0.3, kRate, rng, 1.0, 15.0);
            const int rhythmValue = (sensitivity + 1) * (sensitivity + 1) + 2;
            const std::vector<MicDetection> found = Analyse(
                MicMode::Onset, samples, TuningFromConfig(rhythmValue, 0, kDefaultToneValue));
            ASSERT_EQ(found.size(), 1U);
            EXPECT_NEAR(1000.0 * static_cast<double>(found[0].sampleIndex) / kRate, 400.0, 3.0);
        }
    }
}

TEST(MicAnalyzer, ClapsInNoiseAreStampedWithin3Ms)
{
    const ClapScene scenes[] = {
        // Slow attacks in a loud room: the envelope of a soft attack dips under the threshold
        // before it has risen, and the stamp must reach back over the dip.
        {"slow attacks, very noisy, sensitivity 5", 5, -42.0, -22.0, 1.8, 15.0, 0.25, 5},
        {"slower, softer attacks, very noisy, sensitivity 5", 5, -42.0, -24.0, 1.8, 15.0, 0.25, 18},
        {"slow attacks, very noisy", 2, -42.0, -18.0, 1.9, 15.0, 0.25, 31},
        // Soft claps in a loud room at the default sensitivity: heard only when the first
        // milliseconds of the attack may rise before they count as the level before it.
        {"soft claps, very noisy", 2, -42.0, -22.0, 1.0, 15.0, 0.25, 2},
        {"soft slow claps, very noisy", 2, -42.0, -22.0, 2.0, 15.0, 0.25, 4},
        // Sharp attacks: reaching back must not reach into the noise before them.
        {"sharp claps, noisy room", 2, -50.0, -20.0, 0.3, 10.0, 0.2, 34},
        // Long tails falling to under twice the noise between the claps are no new claps.
        {"soft long claps, quiet room, sensitivity 8", 8, -65.0, -29.0, 1.3, 22.0, 0.12, 1},
        {"soft long claps, quiet room, sensitivity 8, again", 8, -65.0, -29.0, 1.3, 22.0, 0.12, 2},
    };
    for (const ClapScene& scene : scenes)
        ExpectEachClapOnceWithin3Ms(scene);
}

TEST(MicAnalyzer, HigherSensitivitiesLowerTheThresholds)
{
    MicTuning previous = TuningFromConfig(3, 0, 196608.0);
    for (int s = 1; s <= 8; ++s) {
        SCOPED_TRACE(s);
        const MicTuning tuning =
            TuningFromConfig((s + 1) * (s + 1) + 2, 0, 196608.0 * static_cast<double>(1 << s));
        EXPECT_LT(tuning.onsetThreshold, previous.onsetThreshold);
        EXPECT_GT(tuning.onsetThreshold, 1.0F);
        EXPECT_LT(tuning.onsetSilenceDb, previous.onsetSilenceDb);
        EXPECT_LT(tuning.gateMeanSquare, previous.gateMeanSquare);
        previous = tuning;
    }
    const MicTuning normal = TuningFromConfig(kDefaultRhythmValue, 0, kDefaultToneValue);
    const MicTuning precise = TuningFromConfig(kDefaultRhythmValue, 1, kDefaultToneValue);
    EXPECT_GT(precise.minConfidence, normal.minConfidence);
    EXPECT_GT(precise.holdMs, normal.holdMs);
}

} // namespace
} // namespace pv
