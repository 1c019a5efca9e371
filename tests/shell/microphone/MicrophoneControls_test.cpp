// The microphone button, where the microphone's pitches and onsets go, and its start and stop
// with the exercise windows.
#include "music/input/MicInput.h"
#include "music/input/MicLibrary.h"
#include "shell/commands/ControlsFixture.h"
#include "shell/microphone/MicrophoneControls.h"

#include <QObject>

#include <gtest/gtest.h>

namespace pv::test {
namespace {

/// A microphone library that notes its calls in the shared journal and answers with scripted
/// notes.
class JournalLibrary final : public IMicLibrary
{
public:
    explicit JournalLibrary(Journal& journal) : log(journal) {}

    int Open(QObject*) override
    {
        log.Add(QStringLiteral("open"));
        return openResult;
    }
    void Close() override { log.Add(QStringLiteral("close")); }
    void StartPitch() override { log.Add(QStringLiteral("pitch")); }
    void StartOnset() override { log.Add(QStringLiteral("onset")); }
    void Stop() override { log.Add(QStringLiteral("stop")); }
    void DeliverPending() override {}
    std::uint32_t FetchNote(std::uint8_t wparam) override
    {
        log.Add(QStringLiteral("fetch %1").arg(wparam));
        return notes[wparam];
    }
    void Acknowledge(std::uint32_t wparam) override
    {
        log.Add(QStringLiteral("acknowledge %1").arg(wparam));
    }
    void Configure(int rhythm, std::uint8_t precision, double tone) override
    {
        log.Add(QStringLiteral("configure %1 %2 %3").arg(rhythm).arg(precision).arg(tone));
    }

    Journal& log;
    int openResult = 1;
    std::array<std::uint32_t, 256> notes{};
};

struct MicrophoneRig
{
    MicrophoneRig()
    {
        settings.RhythmSensitivity = 2;
        settings.ToneSensitivity = 3;
        settings.HighPrecision = true;
    }

    /// The user presses or lets go the microphone button.
    void Button(bool down)
    {
        ui.SetDown(MainControl::SpeedButton3, down);
        controls.SpeedButton3Click();
    }

    Journal journal;
    RecordingControls ui;
    TSettingsRec settings;
    MainWindowState state;
    JournalLibrary library{journal};
    MicInput input{library};
    bool microphoneOpen = false;
    QObject receiver;
    MicrophoneControls controls{MicrophoneContext{
        ui, settings, state, input, library, microphoneOpen, &receiver,
        [this](ExerciseKind kind, int pitch) {
            journal.Add(QStringLiteral("sung %1 %2").arg(KindNumber(kind)).arg(pitch));
        },
        [this](ExerciseKind kind) { journal.Add(QStringLiteral("release"), kind); },
        [this](ExerciseKind kind, std::uint32_t ms) {
            journal.Add(QStringLiteral("tap %1 %2").arg(KindNumber(kind)).arg(ms));
        }}};
};

TEST(MicrophoneRouting, PitchesGoToTheIdentificationWindowsThatAnswerByNote)
{
    for (std::uint32_t mode = 0; mode <= 12; ++mode) {
        SCOPED_TRACE(mode);
        const bool answers = mode == 1 || mode == 2 || mode == 7 || mode == 8 || mode == 9;
        const std::optional<ExerciseKind> target = WaveInPitchTarget(mode);
        ASSERT_EQ(target.has_value(), answers);
        if (answers) {
            EXPECT_EQ(KindNumber(*target), static_cast<int>(mode));
        }
    }
    EXPECT_FALSE(WaveInPitchTarget(0x101U)) << "a mode is never read modulo a byte";
}

TEST(MicrophoneRouting, OnsetsGoToTheRhythmWindowsThatTakeTapsAndTheRestBackOrNowhere)
{
    using A = WaveInOnsetActionKind;
    struct Case
    {
        std::uint32_t wparam;
        std::uint32_t mode;
        WaveInOnsetAction expected;
    };
    const Case cases[] = {
        {999, 4, {A::RecordTap, ExerciseKind::RhythmImitation}},
        {1500, 5, {A::RecordTap, ExerciseKind::RhythmReading}},
        {999, 6, {A::Drop, std::nullopt}},
        {999, 1, {A::Drop, std::nullopt}},
        {999, 0, {A::Drop, std::nullopt}},
        {998, 4, {A::Acknowledge, std::nullopt}},
        {0, 1, {A::Acknowledge, std::nullopt}},
        {998, 0, {A::Drop, std::nullopt}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.wparam << " in mode " << c.mode);
        EXPECT_EQ(DecideWaveInOnset(c.wparam, c.mode), c.expected);
    }
}

TEST(MicrophoneControls, TheFirstPressOpensConfiguresAndListensForTheCurrentExercise)
{
    MicrophoneRig rig;
    rig.state.CurrentKind = ExerciseKind::IntervalIdentification;
    rig.Button(true);
    EXPECT_TRUE(rig.microphoneOpen);
    EXPECT_EQ(rig.journal.lines,
              (QStringList{QStringLiteral("open"), QStringLiteral("configure 11 1 1.57286e+06"),
                           QStringLiteral("pitch")}));
    EXPECT_EQ(rig.input.WaveInMode(), 2U);

    // Up: the sung note held is entered first, then the microphone stops.
    rig.journal.lines.clear();
    rig.Button(false);
    EXPECT_EQ(rig.journal.lines,
              (QStringList{QStringLiteral("release 2"), QStringLiteral("stop")}));
    EXPECT_EQ(rig.input.WaveInMode(), 0U);

    // The next press opens nothing again.
    rig.journal.lines.clear();
    rig.state.CurrentKind = ExerciseKind::RhythmReading;
    rig.Button(true);
    EXPECT_FALSE(rig.journal.Has(QStringLiteral("open")));
    EXPECT_TRUE(rig.journal.Has(QStringLiteral("onset")));
    EXPECT_TRUE(rig.ui.IsDown(MainControl::SpeedButton3));
}

TEST(MicrophoneControls, AMicrophoneThatCannotOpenLetsTheButtonUpAndListensToNothing)
{
    MicrophoneRig rig;
    rig.library.openResult = 0;
    rig.state.CurrentKind = ExerciseKind::ChordIdentification;
    rig.Button(true);
    EXPECT_FALSE(rig.microphoneOpen);
    EXPECT_FALSE(rig.ui.IsDown(MainControl::SpeedButton3));
    EXPECT_EQ(rig.journal.lines, QStringList{QStringLiteral("open")});
    EXPECT_EQ(rig.input.WaveInMode(), 0U);

    // Entering an exercise does not listen either.
    rig.controls.ExerciseEntered(ExerciseKind::ChordIdentification);
    EXPECT_EQ(rig.input.WaveInMode(), 0U);
}

TEST(MicrophoneControls, ReadingsReachTheWindowOfTheKindListenedForAndNothingAfterTheStop)
{
    MicrophoneRig rig;
    rig.library.notes[7] = 0x4000 + 64; // only the low byte is the note
    rig.library.notes[8] = 62;
    rig.state.CurrentKind = ExerciseKind::Scales;
    rig.Button(true);
    rig.journal.lines.clear();

    rig.controls.WaveInPitch(7);
    EXPECT_EQ(rig.journal.lines,
              (QStringList{QStringLiteral("acknowledge 7"), QStringLiteral("fetch 7"),
                           QStringLiteral("sung 8 64")}));

    // Leaving the exercise stops listening; a reading still on its way goes nowhere.
    rig.controls.WaveInStop();
    rig.journal.lines.clear();
    rig.controls.WaveInPitch(8);
    rig.controls.WaveInOnset(999, 1234);
    rig.controls.WaveInOnset(5, 0);
    EXPECT_EQ(rig.journal.lines, QStringList{QStringLiteral("fetch 8")});
    EXPECT_TRUE(rig.ui.IsDown(MainControl::SpeedButton3)) << "leaving keeps the button down";

    // Entering the next exercise listens for it again, as the button is still down.
    rig.controls.ExerciseEntered(ExerciseKind::RhythmImitation);
    EXPECT_EQ(rig.input.WaveInMode(), 4U);
    rig.journal.lines.clear();
    rig.controls.WaveInOnset(999, 4321);
    rig.controls.WaveInPitch(8);
    EXPECT_EQ(rig.journal.lines,
              (QStringList{QStringLiteral("tap 4 4321"), QStringLiteral("acknowledge 8"),
                           QStringLiteral("fetch 8")}))
        << "a pitch while listening for taps is read and dropped";
}

TEST(MicrophoneControls, EnteringAnExerciseListensOnlyWhenTheButtonIsDownAndTheKindAnswers)
{
    MicrophoneRig rig;
    rig.state.CurrentKind = ExerciseKind::ChordIdentification;
    rig.Button(true);
    rig.controls.WaveInStop();
    for (const ExerciseKind kind :
         {ExerciseKind::IntervalComparison, ExerciseKind::RhythmErrorDetection,
          ExerciseKind::ChordProgressions}) {
        SCOPED_TRACE(KindNumber(kind));
        rig.controls.ExerciseEntered(kind);
        EXPECT_EQ(rig.input.WaveInMode(), 0U);
    }
    rig.ui.SetDown(MainControl::SpeedButton3, false);
    rig.controls.ExerciseEntered(ExerciseKind::MelodyDictation);
    EXPECT_EQ(rig.input.WaveInMode(), 0U);
    rig.ui.SetDown(MainControl::SpeedButton3, true);
    rig.controls.ExerciseEntered(ExerciseKind::MelodyDictation);
    EXPECT_EQ(rig.input.WaveInMode(), 9U);

    // Program end releases the library.
    rig.journal.lines.clear();
    rig.controls.Close();
    EXPECT_EQ(rig.journal.lines, (QStringList{QStringLiteral("stop"), QStringLiteral("close")}));
}

} // namespace
} // namespace pv::test
