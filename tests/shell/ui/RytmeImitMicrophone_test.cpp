// Rhythm imitation in the whole program, clapped into a microphone fed generated audio: the
// microphone button, the main window's routing of claps to the exercise, the score of each
// attempt, silence, and the result stored for the kind when the session closes.
#include "ProgramTestSupport.h"
#include "exercises/setup/SetupFile.h"
#include "exercises/ui/TControlButton.h"
#include "exercises/ui/TRytmeImit.h"
#include "music/devices/MicEngine.h"
#include "music/devices/MicSignals.h"
#include "music/input/MicInput.h"
#include "shell/main/PellivarkMainModel.h"
#include "shell/main/ui/ExerciseWindowSet.h"
#include "shell/startmenu/ui/TMenuDialog.h"
#include "shell/tutor/ChooseTutorModel.h"
#include "shell/ui/PellivarkProgram.h"
#include "shell/ui/TPellivarkMain.h"
#include "support/DataFolderCopy.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"

#include <optional>
#include <random>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QToolButton>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::RunUntil;
using test::ScriptedPrompts;
using test::TempDir;

constexpr unsigned kRate = 48000;
constexpr int kTempo = 180;
/// A quarter at the setup's tempo: 672 ticks, a tick a millisecond at tempo 90.
constexpr std::int64_t kQuarterMs = 672 * 90 / kTempo;

void Strike(QWidget* target, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &release);
}

/// The default setup with a one-bar imitation of quarters in 4/4.
bool WriteImitationSetup(const QString& path)
{
    ExerciseSetup setup = DefaultExerciseSetup();
    RhythmSetup& block = *RhythmSetupOfKind(setup, ExerciseKind::RhythmImitation);
    block.TimeSignatures.fill(0);
    block.TimeSignatures[3] = 1;
    block.NoteValues.fill(0);
    block.NoteValues[2] = 1;
    block.Rests = 0;
    block.Ties = 0;
    block.Dotted = 0;
    block.TripletMask = 0;
    block.Bars = 1;
    block.Tempo = kTempo;
    block.RhythmEvaluation = 1;
    block.ShowSecondTime = 0;
    return WriteSetupFile(path, setup).Ok();
}

class RytmeImitMicrophone : public ::testing::Test
{
protected:
    RytmeImitMicrophone()
        : program(ProgramOptions{
              Folders{programDir.Path(), dataDir.Path() + QStringLiteral("Data/")}, QString(),
              &prompts, false, test::FakeDevicesWithoutSoundFont(), [this] { splashHidden = true; },
              nullptr, [] { return MakeFeedOnlyCapture(); }})
    {
        // The tutor chooser answers "no tutor" (its own tests drive it).
        program.SetChooseTutor([] { return kNoTutorChosen; });
        program.MainWindow().resize(1100, 760);
        program.MainWindow().show();
        started = RunUntil([this] { return !program.Model().FirstShowPending && splashHidden; });
    }
    ~RytmeImitMicrophone() override
    {
        if (program.MainWindow().isVisible())
            program.MainWindow().close();
    }

    TPellivarkMain& Window() { return program.MainWindow(); }

    /// The imitation entered from the start menu, with the microphone listening.
    TRytmeImit* EnterWithMicrophone()
    {
        program.StartMenu().KindButton(ExerciseKind::RhythmImitation)->click();
        auto* imitation =
            dynamic_cast<TRytmeImit*>(program.Exercises().Rhythm(ExerciseKind::RhythmImitation));
        EXPECT_NE(imitation, nullptr);
        if (imitation == nullptr || Window().ShownView() != imitation)
            return nullptr;
        QAbstractButton* button = Window().Button(MainControl::SpeedButton3);
        if (!button->isChecked())
            button->click();
        EXPECT_NE(program.MicrophoneInput().WaveInMode(), 0U);
        return imitation;
    }

    /// Puts a question and waits for the user's turn; the clock's ms at the turn, or -1.
    std::int64_t AskAndWaitForTheTurn(TRytmeImit& imitation)
    {
        Strike(&Window(), Qt::Key_F5);
        const RytmeImitModel& model = imitation.Model();
        if (!RunUntil([&] { return model.Recording && model.InstructionText == model.Texts.Turn; }))
            return -1;
        return model.Rytme().TapTimes[0];
    }

    /// What the microphone hears from clock time originMs on: claps at the given clock times
    /// on quiet room noise, handed over in 10 ms blocks with the figures a sound card gives.
    void Hear(std::int64_t originMs, const std::vector<std::int64_t>& clapsMs,
              std::int64_t lengthMs)
    {
        std::vector<float> samples(test::SampleAt(static_cast<double>(lengthMs) / 1000.0, kRate),
                                   0.0F);
        test::AddNoise(samples, 0.0005, rng);
        for (const std::int64_t at : clapsMs)
            test::AddClap(samples,
                          test::SampleAt(static_cast<double>(at - originMs) / 1000.0, kRate), 0.4,
                          kRate, rng);
        // The device counts its audio from its first sample on; what it captured between two
        // hearings never reached us.
        if (!m_deviceStartMs)
            m_deviceStartMs = originMs;
        const auto deviceStartUs = static_cast<std::uint64_t>(*m_deviceStartMs) * 1000U;
        const auto feedStartUs = static_cast<std::uint64_t>(originMs - *m_deviceStartMs) * 1000U;
        const std::size_t block = kRate / 100;
        for (std::size_t at = 0; at < samples.size(); at += block) {
            const std::size_t count = std::min(block, samples.size() - at);
            CaptureStamp stamp;
            stamp.capturedUs = feedStartUs + (at + count) * 1'000'000U / kRate;
            stamp.arrivalUs = deviceStartUs + stamp.capturedUs;
            program.Microphone().PushSamples(std::span<const float>(samples).subspan(at, count),
                                             kRate, stamp);
        }
        program.Microphone().WaitIdle();
        for (int k = 0; k < 5; ++k)
            QCoreApplication::processEvents();
    }

    /// Claps on the beats after the turn, leaving out the listed quarters.
    void ClapTheBar(std::int64_t turnMs, const std::vector<int>& leftOut = {})
    {
        std::vector<std::int64_t> claps;
        for (int k = 0; k < 4; ++k) {
            if (std::find(leftOut.begin(), leftOut.end(), k) == leftOut.end())
                claps.push_back(turnMs + k * kQuarterMs);
        }
        Hear(turnMs - 200, claps, 200 + 4 * kQuarterMs + 300);
    }

    TempDir programDir;
    TempDir dataDir;
    bool setupWritten = WriteImitationSetup(programDir.File(QStringLiteral("Default_level.qib")));
    bool languageInstalled = QDir().mkpath(programDir.File(QStringLiteral("Language"))) &&
                             QFile::copy(QStringLiteral(PELLIVARK_ENGLISH_LAN),
                                         programDir.File(QStringLiteral("Language/English.LAN")));
    ScriptedPrompts prompts;
    bool splashHidden = false;
    PellivarkProgram program;
    bool started = false;
    std::mt19937 rng{5};
    std::optional<std::int64_t> m_deviceStartMs;
};

TEST_F(RytmeImitMicrophone, ClapsAtTheRhythmsTimesScoreFullAndTheSessionIsStored)
{
    prompts.texts = {QStringLiteral("Kim")};
    ASSERT_TRUE(setupWritten);
    ASSERT_TRUE(languageInstalled);
    ASSERT_TRUE(started);
    TRytmeImit* imitation = EnterWithMicrophone();
    ASSERT_NE(imitation, nullptr);
    const RytmeImitModel& model = imitation->Model();
    ASSERT_EQ(model.Rytme().Bars, 1);
    ASSERT_EQ(model.Rytme().Tempo, kTempo);

    // Four attempts clapped on the beat, a fifth with its third clap left out.
    for (int attempt = 1; attempt <= 5; ++attempt) {
        SCOPED_TRACE(attempt);
        const std::int64_t turn = AskAndWaitForTheTurn(*imitation);
        ASSERT_GE(turn, 0);
        ClapTheBar(turn, attempt == 5 ? std::vector<int>{2} : std::vector<int>{});
        EXPECT_EQ(model.Rytme().TapCount, attempt == 5 ? 3 : 4);
        ASSERT_TRUE(RunUntil(
            [&] { return program.Sessions().Of(ExerciseKind::RhythmImitation).Answered; }));
        const std::int32_t third = attempt == 5 ? RhythmResult::Missed : RhythmResult::OnTime;
        EXPECT_EQ(model.Rytme().Note(0, 3).Result, third);
        for (int note : {1, 2, 4})
            EXPECT_EQ(model.Rytme().Note(0, note).Result, RhythmResult::OnTime) << note;
        EXPECT_EQ(program.Sessions().Of(ExerciseKind::RhythmImitation).QuestionCount,
                  static_cast<std::uint32_t>(attempt));
        EXPECT_EQ(program.Sessions().Of(ExerciseKind::RhythmImitation).CorrectCount,
                  attempt == 5 ? 4U * 100U + 75U : 100U * static_cast<std::uint32_t>(attempt));
    }
    EXPECT_EQ(imitation->Label4->text(), imitation->Model().InstructionText);

    prompts.buttons = {PromptButton::Yes}; // store the results on closing
    Window().close();
    QCoreApplication::processEvents();
    ASSERT_FALSE(Window().isVisible());
    EXPECT_EQ(prompts.Count(QStringLiteral("error")), 0);

    test::DataFolderCopy files(
        Folders{programDir.Path(), dataDir.Path() + QStringLiteral("Data/")});
    ASSERT_TRUE(files.User(1));
    const std::vector<TResultRec> stored = files.Results(1);
    ASSERT_EQ(stored.size(), 1U);
    const TResultRec& rec = stored.front();
    EXPECT_EQ(rec.Kind, KindNumber(ExerciseKind::RhythmImitation));
    EXPECT_EQ(rec.Count, 5);
    EXPECT_EQ(rec.Score, 95); // the mean of the percent scores
}

TEST_F(RytmeImitMicrophone, SilenceTapsNothingAndEveryNoteIsMissed)
{
    prompts.texts = {QStringLiteral("Kim")};
    ASSERT_TRUE(setupWritten);
    ASSERT_TRUE(languageInstalled);
    ASSERT_TRUE(started);
    TRytmeImit* imitation = EnterWithMicrophone();
    ASSERT_NE(imitation, nullptr);
    const std::int64_t turn = AskAndWaitForTheTurn(*imitation);
    ASSERT_GE(turn, 0);
    Hear(turn - 200, {}, 200 + 4 * kQuarterMs + 300);
    RytmeImitModel& model = imitation->Model();
    EXPECT_EQ(model.Rytme().TapCount, 0);
    EXPECT_EQ(model.Rytme().HasTaps, 0);
    EXPECT_TRUE(model.Recording) << "still waiting for the user to start";
    EXPECT_EQ(program.Sessions().Of(ExerciseKind::RhythmImitation).QuestionCount, 0U);
    // Judged as it stands, the silence has hit no note.
    QString verdict;
    EXPECT_EQ(model.Rytme().Evaluate(80, verdict), 0);
    for (const RhythmNote& note : model.Rytme().List(0))
        EXPECT_EQ(note.Result, RhythmResult::Missed);
    imitation->StopPlaying();
    prompts.defaultButton = PromptButton::No;
}

} // namespace
} // namespace pv
