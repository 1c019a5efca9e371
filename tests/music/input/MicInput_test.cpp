// The program's side of the microphone: configuration values, start kinds, stop, volume bytes.
#include "music/input/MicInput.h"
#include "music/input/MicLibrary.h"
#include "music/input/WaveOutVolume.h"

#include <optional>
#include <string>
#include <vector>

#include <QObject>

#include <gtest/gtest.h>

namespace pv {
namespace {

class RecordingLibrary final : public IMicLibrary
{
public:
    std::vector<std::string> calls;
    /// The microphone mode each DeliverPending saw (set by the test).
    const MicInput* input = nullptr;
    std::vector<std::uint32_t> modesAtDelivery;
    int openResult = 1;
    int rhythmValue = -1;
    std::uint8_t highPrecision = 0xFF;
    double toneValue = -1.0;

    int Open(QObject*) override
    {
        calls.emplace_back("open");
        return openResult;
    }
    void Close() override { calls.emplace_back("close"); }
    void StartPitch() override { calls.emplace_back("pitch"); }
    void StartOnset() override { calls.emplace_back("onset"); }
    void Stop() override { calls.emplace_back("stop"); }
    void DeliverPending() override
    {
        calls.emplace_back("deliver");
        if (input != nullptr)
            modesAtDelivery.push_back(input->WaveInMode());
    }
    std::uint32_t FetchNote(std::uint8_t) override { return 0; }
    void Acknowledge(std::uint32_t) override {}
    void Configure(int rhythm, std::uint8_t precision, double tone) override
    {
        calls.emplace_back("configure");
        rhythmValue = rhythm;
        highPrecision = precision;
        toneValue = tone;
    }
};

TEST(MicInput, SetupPassesTheConfigurationValuesOfTheSensitivities)
{
    struct Case
    {
        std::uint8_t rhythm;
        std::uint8_t tone;
        std::uint8_t highPrecision;
        int rhythmValue;
        double toneValue;
    };
    const Case cases[] = {
        {0, 0, 0, 3, 196608.0},
        {8, 8, 1, 83, 50331648.0},
        {2, 3, 0, 11, 1572864.0},
        // A damaged settings byte is held to the largest sensitivity.
        {255, 200, 1, 83, 50331648.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.rhythm));
        RecordingLibrary library;
        MicInput input(library);
        input.WaveInSetup(c.rhythm, c.tone, c.highPrecision);
        EXPECT_EQ(library.rhythmValue, c.rhythmValue);
        EXPECT_EQ(library.toneValue, c.toneValue);
        EXPECT_EQ(library.highPrecision, c.highPrecision);
    }
}

TEST(MicInput, StartListensForOnsetsInTheRhythmKindsAndForPitchesElse)
{
    for (std::uint8_t kind = 1; kind <= 10; ++kind) {
        SCOPED_TRACE(static_cast<int>(kind));
        RecordingLibrary library;
        MicInput input(library);
        input.WaveInStart(kind);
        EXPECT_EQ(input.WaveInMode(), kind);
        const bool rhythm = kind >= 4 && kind <= 6;
        EXPECT_EQ(library.calls, std::vector<std::string>{rhythm ? "onset" : "pitch"});
    }
}

TEST(MicInput, StopWhileIdleDoesNothingAndKindZeroStartsNothing)
{
    RecordingLibrary library;
    MicInput input(library);
    input.WaveInStop();
    input.WaveInStart(0);
    input.WaveInStop();
    EXPECT_TRUE(library.calls.empty());
    EXPECT_EQ(input.WaveInMode(), 0U);
}

// The engine's own path (its events on their way through its hand-off) is tested with the
// engine, in the devices' tests; here the order of the steps.
TEST(MicInput, StopHasPendingEventsDeliveredWithModeZeroThenStopsTheLibrary)
{
    RecordingLibrary library;
    MicInput input(library);
    library.input = &input;
    QObject receiver;
    ASSERT_TRUE(input.Open(&receiver));
    input.WaveInStart(5);
    input.WaveInStop();
    EXPECT_EQ(library.modesAtDelivery, std::vector<std::uint32_t>{0});
    EXPECT_EQ(library.calls, (std::vector<std::string>{"open", "onset", "deliver", "stop"}));
    EXPECT_EQ(input.WaveInMode(), 0U);
}

TEST(MicInput, OpenReportsWhetherTheLibraryIsReady)
{
    RecordingLibrary library;
    library.openResult = 0;
    MicInput input(library);
    QObject receiver;
    EXPECT_FALSE(input.Open(&receiver));
    library.openResult = -1;
    EXPECT_FALSE(input.Open(&receiver));
    library.openResult = 7;
    EXPECT_TRUE(input.Open(&receiver));
}

class FakeVolume final : public IWaveOutVolume
{
public:
    std::optional<std::uint32_t> stored;
    bool SetVolume(std::uint32_t packed) override
    {
        stored = packed;
        return true;
    }
    std::optional<std::uint32_t> Volume() const override { return stored; }
};

TEST(WaveOutVolume, ByteGoesToTheHighByteOfBothChannelHalves)
{
    FakeVolume volume;
    EXPECT_TRUE(SetWaveOutVolume(volume, 255));
    EXPECT_EQ(volume.stored, 0xFF00FF00U);
    SetWaveOutVolume(volume, 1);
    EXPECT_EQ(volume.stored, 0x01000100U);

    volume.stored = 0x1234C000U; // the left half decides
    std::uint8_t out = 0;
    EXPECT_TRUE(GetWaveOutVolume(volume, out));
    EXPECT_EQ(out, 192);
}

TEST(WaveOutVolume, FailedReadLeavesTheByteAndReportsFalse)
{
    FakeVolume volume;
    std::uint8_t out = 77;
    EXPECT_FALSE(GetWaveOutVolume(volume, out));
    EXPECT_EQ(out, 77);
}

class LevelTarget final : public IVolumeTarget
{
public:
    void SetLevel(float level) override { levels.push_back(level); }
    std::vector<float> levels;
};

TEST(WaveOutVolume, TheByteVolumeReachesEveryTargetAsALevel)
{
    struct Case
    {
        const char* name;
        std::uint32_t packed;
        float level;
    };
    const Case cases[] = {
        {"byte 255 is full", 0xFF00FF00U, 1.0F},
        {"byte 0 is silent", 0x00000000U, 0.0F},
        {"byte 51 is a fifth", 0x33003300U, 0.2F},
        {"the louder half counts", 0x00006600U, 0.4F},
        {"the right half alone", 0x66000000U, 0.4F},
        {"above the byte range is full", 0xFFFFFFFFU, 1.0F},
    };
    WaveOutVolume volume;
    LevelTarget answers, intro;
    volume.AddTarget(answers);
    volume.AddTarget(intro);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        answers.levels.clear();
        intro.levels.clear();
        EXPECT_TRUE(volume.SetVolume(c.packed));
        ASSERT_EQ(answers.levels.size(), 1U);
        ASSERT_EQ(intro.levels.size(), 1U);
        EXPECT_FLOAT_EQ(answers.levels[0], c.level);
        EXPECT_FLOAT_EQ(intro.levels[0], c.level);
        EXPECT_EQ(volume.Volume(), c.packed) << "read back as set";
    }
}

TEST(WaveOutVolume, TargetsGetTheLevelOnRegistrationAndNothingOnceRemoved)
{
    WaveOutVolume volume;
    std::uint8_t byte = 0;
    EXPECT_TRUE(GetWaveOutVolume(volume, byte));
    EXPECT_EQ(byte, 255) << "full volume until set";

    ASSERT_TRUE(SetWaveOutVolume(volume, 102));
    LevelTarget late;
    volume.AddTarget(late);
    volume.AddTarget(late); // twice is once
    ASSERT_EQ(late.levels.size(), 2U);
    EXPECT_FLOAT_EQ(late.levels.back(), 0.4F);
    SetWaveOutVolume(volume, 204);
    ASSERT_EQ(late.levels.size(), 3U);
    EXPECT_FLOAT_EQ(late.levels.back(), 0.8F);
    EXPECT_TRUE(GetWaveOutVolume(volume, byte));
    EXPECT_EQ(byte, 204);

    volume.RemoveTarget(late);
    SetWaveOutVolume(volume, 0);
    EXPECT_EQ(late.levels.size(), 3U);
}

} // namespace
} // namespace pv
