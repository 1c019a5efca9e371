// The program's side of the microphone: configuration values, start kinds, stop, volume bytes.
#include "music/input/MicInput.h"
#include "music/input/MicLibrary.h"
#include "music/input/WaveInEvents.h"
#include "music/input/WaveOutVolume.h"

#include <optional>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QObject>

#include <gtest/gtest.h>

namespace pv {
namespace {

class RecordingLibrary final : public IMicLibrary
{
public:
    std::vector<std::string> calls;
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

// Notes the microphone mode at the moment each pending event is handled.
class ModeProbe final : public QObject
{
public:
    explicit ModeProbe(const MicInput& input) : m_input(input) {}
    std::vector<std::uint32_t> modesSeen;

protected:
    void customEvent(QEvent*) override { modesSeen.push_back(m_input.WaveInMode()); }

private:
    const MicInput& m_input;
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

TEST(MicInput, StopHandlesPendingEventsWithModeZeroThenStopsTheLibrary)
{
    RecordingLibrary library;
    MicInput input(library);
    ModeProbe probe(input);
    ASSERT_TRUE(input.Open(&probe));
    input.WaveInStart(5);
    QCoreApplication::postEvent(&probe, new WaveInOnsetEvent(WaveInOnsetEvent::kOnset, 1234));
    QCoreApplication::postEvent(&probe, new WaveInPitchEvent(3));
    input.WaveInStop();
    EXPECT_EQ(probe.modesSeen, (std::vector<std::uint32_t>{0, 0}));
    EXPECT_EQ(library.calls, (std::vector<std::string>{"open", "onset", "stop"}));
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

} // namespace
} // namespace pv
