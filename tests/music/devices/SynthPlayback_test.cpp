// End to end without a sound card: the MIDI output plays through the sequencer on a virtual
// clock into the built-in synthesizer, which renders into memory; the sound is then measured.
#include "music/devices/FluidSynthOutput.h"
#include "music/devices/SystemMidiOutDevices.h"
#include "music/input/WaveOutVolume.h"
#include "music/sequencer/MidiMessage.h"
#include "music/sequencer/MidiOut.h"
#include "music/sequencer/Sequencer.h"
#include "music/strings/UIStrings.h"
#include "support/FakeClock.h"
#include "support/ScriptedPrompts.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <QCoreApplication>
#include <QRegularExpression>

#include <aubio/aubio.h>
#include <gtest/gtest.h>

namespace pv {
namespace {

constexpr double kRate = 48000.0;
constexpr std::size_t kBlock = 64;

TNoteRec Note(int midi)
{
    TNoteRec rec;
    rec.Pitch.Note = static_cast<std::int8_t>(midi);
    rec.Duration = 3;
    rec.VelocityLevel = 2;
    return rec;
}

/// The output, sequencer and synthesizer of one rendered playback.
class SynthPlayback : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!FluidSynthOutput::FindSoundFont())
            GTEST_SKIP() << "no General MIDI sound font (package timgm6mb-soundfont)";
        ASSERT_TRUE(midiOut.ChangeDevice(1)) << "entry 1 is the built-in synthesizer";
        synth = devices.OpenSynth();
        ASSERT_NE(synth, nullptr);
        EXPECT_FALSE(synth->HasAudio());
    }

    /// Starts the queue at virtual time 0 and renders seconds of sound, stepping the
    /// sequencer block by block so that every message lands within one block of its time.
    std::vector<float> Render(double seconds)
    {
        midiOut.StartQueue();
        const auto frames = static_cast<std::size_t>(seconds * kRate);
        std::vector<float> mono(frames);
        std::vector<float> left(kBlock), right(kBlock);
        for (std::size_t at = 0; at < frames; at += kBlock) {
            const auto us = static_cast<std::uint64_t>(static_cast<double>(at) * 1e6 / kRate);
            clock.AdvanceUs(us - clock.NowUs());
            sequencer.RunUntil(clock.NowUs());
            EXPECT_TRUE(synth->Render(left, right));
            for (std::size_t i = 0; i < kBlock && at + i < frames; ++i)
                mono[at + i] = 0.5F * (left[i] + right[i]);
        }
        return mono;
    }

    test::FakeClock clock;
    SystemMidiOutDevices devices{{false, {}}};
    Sequencer sequencer{clock, Sequencer::Drive::Manual};
    test::ScriptedPrompts prompts;
    UIStringTable strings;
    TMidiOut midiOut{devices, sequencer, prompts, strings};
    FluidSynthOutput* synth = nullptr;
};

double Rms(const std::vector<float>& s, double from, double to)
{
    const auto a = static_cast<std::size_t>(from * kRate);
    const auto b = std::min(s.size(), static_cast<std::size_t>(to * kRate));
    double sum = 0;
    for (std::size_t i = a; i < b; ++i)
        sum += static_cast<double>(s[i]) * s[i];
    return b > a ? std::sqrt(sum / static_cast<double>(b - a)) : 0.0;
}

/// Energy per pitch class (0 = C) of the fundamentals and octaves between 100 and 700 Hz,
/// from aubio's FFT of 16384 samples starting at from seconds.
std::array<double, 12> PitchClassEnergy(const std::vector<float>& s, double from)
{
    constexpr uint_t kSize = 16384;
    aubio_fft_t* fft = new_aubio_fft(kSize);
    fvec_t* in = new_fvec(kSize);
    cvec_t* spectrum = new_cvec(kSize);
    const auto start = static_cast<std::size_t>(from * kRate);
    for (uint_t i = 0; i < kSize; ++i) {
        const double hann = 0.5 - 0.5 * std::cos(2.0 * M_PI * i / (kSize - 1));
        in->data[i] = static_cast<smpl_t>(s[start + i] * hann);
    }
    aubio_fft_do(fft, in, spectrum);
    std::array<double, 12> energy{};
    for (uint_t bin = 1; bin < spectrum->length; ++bin) {
        const double hz = bin * kRate / kSize;
        if (hz < 100.0 || hz > 700.0)
            continue;
        const long midi = std::lround(69.0 + 12.0 * std::log2(hz / 440.0));
        energy[static_cast<std::size_t>(midi % 12)] +=
            static_cast<double>(spectrum->norm[bin]) * spectrum->norm[bin];
    }
    del_cvec(spectrum);
    del_fvec(in);
    del_aubio_fft(fft);
    return energy;
}

/// The median MIDI pitch that aubio's yinfft finds between from and to seconds.
double MedianPitch(const std::vector<float>& s, double from, double to)
{
    constexpr uint_t kWin = 4096, kHop = 512;
    aubio_pitch_t* pitch = new_aubio_pitch("yinfft", kWin, kHop, static_cast<uint_t>(kRate));
    aubio_pitch_set_unit(pitch, "midi");
    fvec_t* in = new_fvec(kHop);
    fvec_t* out = new_fvec(1);
    std::vector<double> found;
    for (auto at = static_cast<std::size_t>(from * kRate);
         at + kHop <= static_cast<std::size_t>(to * kRate); at += kHop) {
        for (uint_t i = 0; i < kHop; ++i)
            in->data[i] = s[at + i];
        aubio_pitch_do(pitch, in, out);
        // yinfft reports no confidence here; the median over the note is robust enough.
        if (out->data[0] > 0)
            found.push_back(out->data[0]);
    }
    del_fvec(out);
    del_fvec(in);
    del_aubio_pitch(pitch);
    if (found.empty())
        return 0.0;
    std::sort(found.begin(), found.end());
    return found[found.size() / 2];
}

TEST_F(SynthPlayback, HarmonicChordSoundsForItsLengthThenFallsSilentWithItsNotesInTheSpectrum)
{
    const TNoteRec chord[] = {Note(60), Note(64), Note(67)};
    midiOut.PlayNotes(chord, 3, TPlayMode::Harmonic, false);
    const std::vector<float> sound = Render(3.0);

    const double held = Rms(sound, 0.02, 1.34);
    for (double t = 0.02; t < 1.33; t += 0.01) {
        SCOPED_TRACE(t);
        ASSERT_GT(Rms(sound, t, t + 0.01), held * 0.05) << "the chord sounds until its note off";
    }
    for (double t = 1.9; t < 3.0; t += 0.01) {
        SCOPED_TRACE(t);
        ASSERT_LT(Rms(sound, t, t + 0.01), 1e-4) << "silent once the release has died away";
    }

    const std::array<double, 12> energy = PitchClassEnergy(sound, 0.1);
    const double strongestOther = std::max({energy[1], energy[2], energy[3], energy[5], energy[6],
                                            energy[8], energy[9], energy[10], energy[11]});
    for (std::size_t pc : {0U, 4U, 7U}) {
        SCOPED_TRACE(pc);
        EXPECT_GT(energy[pc], 100.0 * strongestOther);
    }
}

TEST_F(SynthPlayback, AscendingNotesAreFoundOneByOneByAubiosPitchDetection)
{
    const TNoteRec notes[] = {Note(60), Note(64), Note(67)};
    midiOut.PlayNotes(notes, 3, TPlayMode::Ascending, false);
    const std::vector<float> sound = Render(2.0);
    // Each note sounds for 500 ticks from 0, 550 and 1100 ms.
    EXPECT_NEAR(MedianPitch(sound, 0.05, 0.45), 60.0, 0.5);
    EXPECT_NEAR(MedianPitch(sound, 0.60, 1.00), 64.0, 0.5);
    EXPECT_NEAR(MedianPitch(sound, 1.15, 1.55), 67.0, 0.5);
}

TEST_F(SynthPlayback, VolumeActsOnTheSynthesizersGain)
{
    const TNoteRec note[] = {Note(60)};
    midiOut.SetVolume(255);
    midiOut.PlayNotes(note, 1, TPlayMode::Harmonic, false);
    const double loud = Rms(Render(0.5), 0.05, 0.5);
    std::uint8_t volume = 0;
    EXPECT_TRUE(midiOut.GetVolume(volume));
    EXPECT_EQ(volume, 255);

    midiOut.StopQueue();
    midiOut.SetVolume(64);
    clock.SetMs(0);
    midiOut.PlayNotes(note, 1, TPlayMode::Harmonic, false);
    const double soft = Rms(Render(0.5), 0.05, 0.5);
    EXPECT_NEAR(soft / loud, 64.0 / 255.0, 0.05);
}

TEST_F(SynthPlayback, TheMidiVolumeKeepsTheSynthesizersLevelWhileTheOutputIsClosed)
{
    // The intro plays on the synthesizer while the MIDI output is closed, at the MIDI volume
    // set before.
    const auto noteAlone = [&] {
        synth->Silence();
        std::vector<float> left(static_cast<std::size_t>(0.5 * kRate)), right(left.size());
        EXPECT_TRUE(synth->Send(0x90U | (60U << 8) | (100U << 16)));
        EXPECT_TRUE(synth->Render(left, right));
        return Rms(left, 0.05, 0.5);
    };
    midiOut.SetVolume(255);
    midiOut.ChangeDevice(TMidiOut::kMaxDevices + 1); // closed, as for the intro
    const double full = noteAlone();

    ASSERT_TRUE(midiOut.ChangeDevice(1));
    midiOut.SetVolume(64);
    midiOut.ChangeDevice(TMidiOut::kMaxDevices + 1);
    EXPECT_NEAR(noteAlone() / full, 64.0 / 255.0, 0.03);
}

TEST(FluidSynthOutput, AMissingSoundFontIsAClearFailureNamingThePackage)
{
    const auto made = FluidSynthOutput::Create({false, kRate, QStringLiteral("/nonexistent.sf2")});
    ASSERT_FALSE(made);
    EXPECT_TRUE(made.Detail().contains(QStringLiteral("timgm6mb-soundfont")));

    // Through the MIDI output: the open fails with that text, and the program goes on silent.
    test::FakeClock clock;
    SystemMidiOutDevices devices({false, QStringLiteral("/nonexistent.sf2")});
    Sequencer sequencer(clock, Sequencer::Drive::Manual);
    test::ScriptedPrompts prompts;
    UIStringTable strings;
    strings.StrMidiOutOpenError = QStringLiteral("Cannot open %s%s");
    TMidiOut midiOut(devices, sequencer, prompts, strings);
    EXPECT_FALSE(midiOut.ChangeDevice(1));
    EXPECT_FALSE(midiOut.IsOpen());
    ASSERT_EQ(prompts.asked.size(), 1U);
    EXPECT_TRUE(prompts.asked[0].text.contains(QStringLiteral("timgm6mb-soundfont")));
}

/// The first frame of a rendered note: the synthesizer is silent before it.
std::size_t OnsetFrame(const std::vector<float>& s)
{
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (std::fabs(s[i]) > 1e-5F)
            return i;
    }
    return s.size();
}

/// Renders a note due dueFrame frames after the audio's start (clock time 1 s) in buffers of
/// 240 frames (5 ms); returns the frame its sound starts at.
std::size_t RenderedOnset(std::size_t dueFrame)
{
    constexpr std::size_t kPeriod = 240;
    constexpr std::uint64_t kStartUs = 1'000'000;
    auto made = FluidSynthOutput::Create({false, kRate, {}, nullptr});
    EXPECT_TRUE(made);
    if (!made)
        return 0;
    FluidSynthOutput& synth = *made.Value();
    const auto dueUs =
        kStartUs + static_cast<std::uint64_t>(static_cast<double>(dueFrame) * 1e6 / kRate);
    EXPECT_TRUE(synth.SendAt(NoteOnMessage(0, 60, 100), dueUs));
    std::vector<float> mono;
    std::vector<float> left(kPeriod), right(kPeriod);
    for (std::size_t at = 0; at < 4800; at += kPeriod) {
        const auto startUs =
            kStartUs + static_cast<std::uint64_t>(static_cast<double>(at) * 1e6 / kRate);
        EXPECT_TRUE(synth.RenderAt(startUs, left, right));
        for (std::size_t i = 0; i < kPeriod; ++i)
            mono.push_back(left[i] + right[i]);
    }
    return OnsetFrame(mono);
}

TEST(FluidSynthOutput, ANoteSentWithItsDueTimeStartsAtItsSampleInsideTheBuffer)
{
    if (!FluidSynthOutput::FindSoundFont())
        GTEST_SKIP() << "no General MIDI sound font (package timgm6mb-soundfont)";
    // The sound's own attack: the note due at the very first frame.
    const std::size_t attack = RenderedOnset(0);
    ASSERT_LT(attack, 64U);
    // Due frames inside a buffer, on a buffer's edge, in a later buffer. Voices start on the
    // synthesizer's blocks of 64 frames: within half a block of the due frame (0.67 ms).
    for (const std::size_t dueFrame :
         {std::size_t{101}, std::size_t{480}, std::size_t{1000}, std::size_t{2231}}) {
        SCOPED_TRACE(dueFrame);
        const std::size_t onset = RenderedOnset(dueFrame) - attack;
        EXPECT_GE(onset + 32, dueFrame);
        EXPECT_LE(onset, dueFrame + 32);
    }
}

TEST(FluidSynthOutput, AMessageDueBeforeTheBufferStartsAtItsFirstFrameAndSilenceDropsWaitingOnes)
{
    if (!FluidSynthOutput::FindSoundFont())
        GTEST_SKIP() << "no General MIDI sound font (package timgm6mb-soundfont)";
    auto made = FluidSynthOutput::Create({false, kRate, {}, nullptr});
    ASSERT_TRUE(made);
    FluidSynthOutput& synth = *made.Value();
    std::vector<float> left(480), right(480);
    // Late: due 3 ms before the buffer it reaches.
    ASSERT_TRUE(synth.SendAt(NoteOnMessage(0, 60, 100), 7'000));
    ASSERT_TRUE(synth.RenderAt(10'000, left, right));
    EXPECT_LT(OnsetFrame(left), 64U);

    // A note waiting for its time is gone after Silence.
    auto other = FluidSynthOutput::Create({false, kRate, {}, nullptr});
    ASSERT_TRUE(other);
    ASSERT_TRUE(other.Value()->SendAt(NoteOnMessage(0, 64, 100), 30'000));
    other.Value()->Silence();
    for (std::uint64_t startUs = 20'000; startUs < 60'000; startUs += 10'000) {
        ASSERT_TRUE(other.Value()->RenderAt(startUs, left, right));
        EXPECT_EQ(OnsetFrame(left), left.size()) << startUs;
    }
}

TEST(SystemMidiOutDevices, ListingWithoutAnAlsaSequencerGivesTheSynthesizerAndNoCrash)
{
    SystemMidiOutDevices devices({false, {}});
    const auto listed = devices.ListOutputs();
    ASSERT_TRUE(listed);
    ASSERT_GE(listed.Value().size(), 1U);
    EXPECT_EQ(listed.Value()[0].id, kMidiMapperId);
    EXPECT_EQ(listed.Value()[0].name, SystemMidiOutDevices::SynthName());
    for (const MidiOutPortInfo& port : listed.Value())
        EXPECT_FALSE(port.name.contains(QRegularExpression(QStringLiteral("\\d+:\\d+$"))));
    // A port that is not there is refused with a text, never a crash.
    const auto opened = devices.OpenOutput(QStringLiteral("No such port"));
    ASSERT_FALSE(opened);
    EXPECT_EQ(opened.Code(), MidiOutError::OpenFailed);
    EXPECT_FALSE(opened.Detail().isEmpty());
}

} // namespace
} // namespace pv
