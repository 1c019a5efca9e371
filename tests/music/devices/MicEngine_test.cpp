// The microphone engine fed without a sound card: events reach the receiver, onset times follow
// the sample position on the clock, nothing arrives after Stop.
#include "music/devices/MicEngine.h"
#include "music/devices/MicSignals.h"
#include "music/input/MicInput.h"
#include "music/input/WaveInEvents.h"
#include "support/FakeClock.h"

#include <optional>
#include <vector>

#include <QCoreApplication>
#include <QObject>

#include <gtest/gtest.h>

namespace pv {
namespace {

constexpr unsigned kRate = 48000;

class Recorder final : public QObject
{
public:
    std::vector<std::uint8_t> pitches;
    std::vector<std::uint32_t> onsetTimes;

protected:
    void customEvent(QEvent* event) override
    {
        if (event->type() == WaveInPitchEvent::EventType())
            pitches.push_back(static_cast<WaveInPitchEvent*>(event)->WParam());
        else if (event->type() == WaveInOnsetEvent::EventType()) {
            const auto* onset = static_cast<WaveInOnsetEvent*>(event);
            EXPECT_TRUE(onset->IsOnset());
            onsetTimes.push_back(onset->LParam());
        }
    }
};

class NoDevice final : public IAudioCapture
{
public:
    bool Open() override { return false; }
    bool Start(IAudioSink&) override { return false; }
    void Stop() override {}
    void Close() override {}
};

class MicEngineTest : public ::testing::Test
{
protected:
    void Feed(const std::vector<float>& samples)
    {
        // 10 ms blocks, as a capture device delivers them.
        for (std::size_t at = 0; at < samples.size(); at += kRate / 100)
            engine.PushSamples(
                std::span<const float>(samples.data() + at,
                                       std::min<std::size_t>(kRate / 100, samples.size() - at)),
                kRate);
        engine.WaitIdle();
    }

    test::FakeClock clock;
    MicEngine engine{clock, MakeFeedOnlyCapture()};
    Recorder receiver;
};

TEST(MicEngineOpen, WithoutACaptureDeviceIsNotReady)
{
    test::FakeClock clock;
    MicEngine engine(clock, std::make_unique<NoDevice>());
    Recorder receiver;
    EXPECT_LE(engine.Open(&receiver), 0);
}

TEST_F(MicEngineTest, APitchEventAnnouncesTheNoteFetchedForItsWParam)
{
    ASSERT_GT(engine.Open(&receiver), 0);
    engine.StartPitch();
    Feed(test::Sine(440.0, 0.3, 0.6, kRate));
    std::vector<float> second(test::SampleAt(0.2, kRate), 0.0F);
    const std::vector<float> tone = test::Sine(test::MidiToHz(64), 0.3, 0.6, kRate);
    second.insert(second.end(), tone.begin(), tone.end());
    Feed(second);
    QCoreApplication::processEvents();
    ASSERT_EQ(receiver.pitches.size(), 2U);
    EXPECT_NE(receiver.pitches[0], receiver.pitches[1]);
    EXPECT_EQ(engine.FetchNote(receiver.pitches[0]) & 0xFFU, 69U);
    EXPECT_EQ(engine.FetchNote(receiver.pitches[1]) & 0xFFU, 64U);
    engine.Close();
}

TEST_F(MicEngineTest, OnsetTimesAreStreamPositionsOnTheClock)
{
    ASSERT_GT(engine.Open(&receiver), 0);
    clock.SetMs(5000);
    engine.StartOnset();
    // The clock runs on while the samples arrive; only the start of the stream counts.
    clock.AdvanceMs(40);
    std::mt19937 rng(2);
    std::vector<float> samples(test::SampleAt(1.5, kRate), 0.0F);
    test::AddNoise(samples, 0.0005, rng);
    test::AddClap(samples, test::SampleAt(0.25, kRate), 0.4, kRate, rng);
    test::AddClap(samples, test::SampleAt(1.1, kRate), 0.2, kRate, rng);
    Feed(samples);
    QCoreApplication::processEvents();
    ASSERT_EQ(receiver.onsetTimes.size(), 2U);
    EXPECT_NEAR(static_cast<double>(receiver.onsetTimes[0]), 5250.0, 2.0);
    EXPECT_NEAR(static_cast<double>(receiver.onsetTimes[1]), 6100.0, 2.0);
    engine.Close();
}

TEST_F(MicEngineTest, NoEventArrivesAfterStopNorFromSamplesWhileStopped)
{
    ASSERT_GT(engine.Open(&receiver), 0);
    std::mt19937 rng(4);
    std::vector<float> claps(test::SampleAt(1.0, kRate), 0.0F);
    test::AddClap(claps, test::SampleAt(0.2, kRate), 0.4, kRate, rng);
    test::AddClap(claps, test::SampleAt(0.6, kRate), 0.4, kRate, rng);

    Feed(claps); // not started yet: dropped
    engine.StartOnset();
    Feed(claps); // analysed, events posted but not yet handled
    engine.Stop();
    Feed(claps); // stopped: dropped
    QCoreApplication::processEvents();
    EXPECT_TRUE(receiver.onsetTimes.empty());

    engine.StartOnset();
    Feed(claps);
    QCoreApplication::processEvents();
    EXPECT_EQ(receiver.onsetTimes.size(), 2U);
    engine.Close();
}

/// Notes the microphone mode at the moment each event reaches it.
class ModeProbe final : public QObject
{
public:
    explicit ModeProbe(const MicInput& input) : m_input(input) {}
    std::vector<std::uint32_t> modesSeen;

protected:
    void customEvent(QEvent* event) override
    {
        if (event->type() == WaveInOnsetEvent::EventType())
            modesSeen.push_back(m_input.WaveInMode());
    }

private:
    const MicInput& m_input;
};

TEST_F(MicEngineTest, TheInputsStopHandsOverWhatTheEngineFoundWithModeZeroThenNothingMore)
{
    MicInput input(engine);
    ModeProbe probe(input);
    ASSERT_TRUE(input.Open(&probe));
    std::mt19937 rng(6);
    std::vector<float> claps(test::SampleAt(1.0, kRate), 0.0F);
    test::AddClap(claps, test::SampleAt(0.2, kRate), 0.4, kRate, rng);
    test::AddClap(claps, test::SampleAt(0.6, kRate), 0.4, kRate, rng);

    input.WaveInStart(5);
    Feed(claps); // analysed: both onsets are on their way to the receiver, not yet handled
    EXPECT_TRUE(probe.modesSeen.empty());
    input.WaveInStop();
    EXPECT_EQ(probe.modesSeen, (std::vector<std::uint32_t>{0, 0}))
        << "handled during the stop, while the mode says nobody listens";
    Feed(claps);
    QCoreApplication::processEvents();
    EXPECT_EQ(probe.modesSeen.size(), 2U) << "nothing after the stop";
    input.Close();
}

TEST_F(MicEngineTest, AReceiverDestroyedWhileListeningGetsNothingAndTheNextOneDoes)
{
    std::mt19937 rng(8);
    std::vector<float> claps(test::SampleAt(1.0, kRate), 0.0F);
    test::AddClap(claps, test::SampleAt(0.2, kRate), 0.4, kRate, rng);
    test::AddClap(claps, test::SampleAt(0.6, kRate), 0.4, kRate, rng);

    auto doomed = std::make_unique<Recorder>();
    ASSERT_GT(engine.Open(doomed.get()), 0);
    engine.StartOnset();
    Feed(claps);                                                   // analysed, events on their way
    for (std::size_t at = 0; at < claps.size(); at += kRate / 100) // still being analysed
        engine.PushSamples(std::span<const float>(claps).subspan(
                               at, std::min<std::size_t>(kRate / 100, claps.size() - at)),
                           kRate);
    doomed.reset(); // while the worker analyses and posts
    engine.WaitIdle();
    QCoreApplication::processEvents();

    // The engine goes on listening for the next receiver.
    ASSERT_GT(engine.Open(&receiver), 0);
    engine.StartOnset();
    Feed(claps);
    QCoreApplication::processEvents();
    EXPECT_EQ(receiver.onsetTimes.size(), 2U);
    engine.Close();
}

TEST_F(MicEngineTest, RestartingForPitchesListensForPitchesOnly)
{
    ASSERT_GT(engine.Open(&receiver), 0);
    engine.StartOnset();
    engine.StartPitch();
    std::mt19937 rng(6);
    std::vector<float> samples = test::Sine(test::MidiToHz(50), 0.3, 0.6, kRate);
    test::AddClap(samples, test::SampleAt(0.3, kRate), 0.5, kRate, rng);
    Feed(samples);
    QCoreApplication::processEvents();
    EXPECT_TRUE(receiver.onsetTimes.empty());
    ASSERT_EQ(receiver.pitches.size(), 1U);
    EXPECT_EQ(engine.FetchNote(receiver.pitches[0]), 50U);
    engine.Close();
}

/// A capture device that starts some time after it is asked to, hands its 10 ms blocks over
/// in bursts well after they were captured (one burst much later still) and loses the blocks
/// of a stretch on the way; at each hand-over it tells its own figures, as a device does.
class LateSource final : public IAudioCapture
{
public:
    bool Open() override { return true; }
    bool Start(IAudioSink& sink) override
    {
        m_sink = &sink;
        return true;
    }
    void Stop() override { m_sink = nullptr; }
    void Close() override {}

    struct Script
    {
        std::uint64_t deviceStartUs = 0; ///< clock time of the device's first sample
        std::uint64_t latencyUs = 0;     ///< from a burst's last sample to its hand-over
        std::size_t lateBurst = 0;       ///< this burst comes later still
        std::uint64_t lateByUs = 0;
        std::uint64_t lostFromUs = 0; ///< blocks starting in [from, to) never arrive
        std::uint64_t lostToUs = 0;
    };

    void Play(test::FakeClock& clock, const std::vector<float>& microphone, const Script& script)
    {
        constexpr std::size_t kBlock = kRate / 100;
        constexpr std::size_t kBurst = 4;
        constexpr std::uint64_t kBlockUs = 10000;
        std::uint64_t lastArrival = 0;
        const std::size_t blocks = microphone.size() / kBlock;
        for (std::size_t first = 0; first < blocks; first += kBurst) {
            const std::size_t end = std::min(blocks, first + kBurst);
            std::uint64_t arrival = script.deviceStartUs + end * kBlockUs + script.latencyUs;
            if (first / kBurst == script.lateBurst)
                arrival += script.lateByUs;
            arrival = std::max(arrival, lastArrival); // a late burst holds up the next ones
            lastArrival = arrival;
            clock.AdvanceUs(arrival - clock.NowUs());
            const std::uint64_t captured = arrival - script.deviceStartUs;
            for (std::size_t k = first; k < end; ++k) {
                const std::uint64_t startUs = k * kBlockUs;
                if (startUs >= script.lostFromUs && startUs < script.lostToUs)
                    continue;
                ASSERT_NE(m_sink, nullptr);
                m_sink->PushSamples(std::span<const float>(microphone).subspan(k * kBlock, kBlock),
                                    kRate,
                                    CaptureStamp{arrival, captured, captured - startUs - kBlockUs});
            }
        }
    }

private:
    IAudioSink* m_sink = nullptr;
};

TEST(MicEngineTimes, OnsetsAreStampedWhenTheSoundReachedTheMicrophoneDespiteLatencyAndLoss)
{
    test::FakeClock clock;
    auto source = std::make_unique<LateSource>();
    LateSource& device = *source;
    MicEngine engine(clock, std::move(source));
    Recorder receiver;
    ASSERT_GT(engine.Open(&receiver), 0);
    clock.SetMs(5000);
    engine.StartOnset();

    std::mt19937 rng(12);
    std::vector<float> microphone(test::SampleAt(2.0, kRate), 0.0F);
    test::AddNoise(microphone, 0.0005, rng);
    const double claps[] = {0.25, 0.75, 1.30, 1.70};
    for (const double at : claps)
        test::AddClap(microphone, test::SampleAt(at, kRate), 0.4, kRate, rng);
    LateSource::Script script;
    script.deviceStartUs = 5'035'000; // the device starts 35 ms after it was asked to
    script.latencyUs = 25'000;
    script.lateBurst = 5; // 0.2..0.24 s, just before the first clap
    script.lateByUs = 90'000;
    script.lostFromUs = 1'000'000; // 120 ms lost between the second and third clap
    script.lostToUs = 1'120'000;
    device.Play(clock, microphone, script);
    engine.WaitIdle();
    QCoreApplication::processEvents();

    ASSERT_EQ(receiver.onsetTimes.size(), std::size(claps));
    for (std::size_t i = 0; i < std::size(claps); ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(static_cast<double>(receiver.onsetTimes[i]), 5035.0 + claps[i] * 1000.0, 2.0);
    }
    engine.Close();
}

class CollectingSink final : public IAudioSink
{
public:
    std::vector<float> samples;
    std::vector<unsigned> rates;
    std::vector<std::optional<CaptureStamp>> stamps;
    void PushSamples(std::span<const float> more, unsigned sampleRate,
                     const std::optional<CaptureStamp>& stamp) override
    {
        samples.insert(samples.end(), more.begin(), more.end());
        rates.push_back(sampleRate);
        stamps.push_back(stamp);
    }
};

TEST(PcmToMono, StereoInt16SplitAcrossWritesBecomesMonoFloats)
{
    QAudioFormat format;
    format.setSampleRate(44100);
    format.setChannelCount(2);
    format.setSampleFormat(QAudioFormat::Int16);
    CollectingSink sink;
    PcmToMono convert(sink, format);
    // Frames (left, right): (16384, 16384), (-32768, 0), (0, 16384); little-endian int16.
    const char bytes[] = {0x00, 0x40, 0x00, 0x40, 0x00, static_cast<char>(0x80),
                          0x00, 0x00, 0x00, 0x00, 0x00, 0x40};
    convert.Write(bytes, 5, CaptureStamp{1000, 500, 0}); // one frame and a part of the next
    convert.Write(bytes + 5, 7);
    ASSERT_EQ(sink.samples.size(), 3U);
    EXPECT_NEAR(sink.samples[0], 0.5F, 1e-3F);
    EXPECT_NEAR(sink.samples[1], -0.5F, 1e-3F);
    EXPECT_NEAR(sink.samples[2], 0.25F, 1e-3F);
    EXPECT_EQ(sink.rates, (std::vector<unsigned>{44100, 44100}));
    // The part frame kept back is audio still pending: 1 of 4 bytes, a quarter of 1/44100 s.
    ASSERT_TRUE(sink.stamps[0].has_value());
    EXPECT_EQ(sink.stamps[0]->arrivalUs, 1000U);
    EXPECT_EQ(sink.stamps[0]->pendingUs, 5U);
    EXPECT_FALSE(sink.stamps[1].has_value());
}

} // namespace
} // namespace pv
