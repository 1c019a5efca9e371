// The whole program with a microphone fed generated singing: the microphone button, the main
// window's routing and the chord exercise's note entry, silence, and the stop.
#include "ProgramTestSupport.h"
#include "exercises/setup/SetupFile.h"
#include "exercises/ui/TAkkord.h"
#include "exercises/ui/TControlButton.h"
#include "music/devices/FluidSynthOutput.h"
#include "music/devices/MicEngine.h"
#include "music/devices/MicSignals.h"
#include "music/input/MicInput.h"
#include "shell/main/PellivarkMainModel.h"
#include "shell/tutor/ChooseTutorModel.h"
#include "shell/ui/ExerciseWindowSet.h"
#include "shell/ui/PellivarkProgram.h"
#include "shell/ui/TPellivarkMain.h"
#include "support/ScriptedPrompts.h"
#include "support/SequencerFakes.h"
#include "support/TempDir.h"

#include <functional>
#include <random>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QKeyEvent>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::FakeDevicesWithoutSoundFont;
using test::RunUntil;

using test::ScriptedPrompts;
using test::TempDir;

constexpr unsigned kRate = 48000;

void Strike(QWidget* target, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &release);
}

/// A voice singing the notes one after another, with a breath before, between and after.
std::vector<float> SungPhrase(const std::vector<int>& notes)
{
    std::mt19937 rng(11);
    std::vector<float> samples(test::SampleAt(0.2, kRate), 0.0F);
    std::size_t vowel = 0;
    for (const int note : notes) {
        test::SungToneSpec spec;
        spec.midi = note;
        spec.seconds = 0.5;
        spec.vibratoCents = 40.0;
        spec.vibratoHz = 5.5;
        spec.vowel = &test::kVowels[vowel++ % test::kVowels.size()];
        const std::vector<float> tone = test::SungTone(spec, kRate, rng);
        samples.insert(samples.end(), tone.begin(), tone.end());
        samples.resize(samples.size() + test::SampleAt(0.3, kRate), 0.0F);
    }
    test::AddNoise(samples, 0.002, rng);
    return samples;
}

class MicrophoneEndToEnd : public ::testing::Test
{
protected:
    MicrophoneEndToEnd()
        : program(ProgramOptions{
              Folders{programDir.Path(), dataDir.Path() + QStringLiteral("Data/")}, QString(),
              &prompts, false, FakeDevicesWithoutSoundFont(), [this] { splashHidden = true; },
              nullptr, [] { return MakeFeedOnlyCapture(); }})
    {
        // The tutor chooser answers "no tutor" (its own tests drive it).
        program.SetChooseTutor([] { return kNoTutorChosen; });
        prompts.texts = {QStringLiteral("Kim")};
        program.MainWindow().resize(1100, 760);
        program.MainWindow().show();
        started = RunUntil([this] { return !program.Model().FirstShowPending && splashHidden; });
    }
    ~MicrophoneEndToEnd() override { program.MainWindow().close(); }

    /// The program folder's default setup: chords without a tonic, a first tone or answers
    /// checked by themselves, so the entered notes stay as they were sung.
    static bool WritePlainChordSetup(const QString& path)
    {
        ExerciseSetup setup = DefaultExerciseSetup();
        setup.ChordIdentification.TonicReference = 0;
        setup.ChordIdentification.ShowFirstTone = 0;
        setup.ChordIdentification.AutoAnswer = 0;
        return WriteSetupFile(path, setup).Ok();
    }

    TPellivarkMain& Window() { return program.MainWindow(); }
    TAkkord* Chords()
    {
        return program.Exercises().Identification(ExerciseKind::ChordIdentification);
    }

    /// The chord exercise with a question open and nothing playing.
    void OpenQuestion()
    {
        Window().Button(MainControl::Speed1)->click();
        ASSERT_EQ(Window().ShownView(), Chords());
        Strike(&Window(), Qt::Key_F5);
        Strike(&Window(), Qt::Key_F9);
        ASSERT_NE(Chords()->Model().QuestionItem, 0);
        ASSERT_FALSE(Chords()->Session().Answered);
    }

    void SetMicrophoneButton(bool down)
    {
        QAbstractButton* button = Window().Button(MainControl::SpeedButton3);
        ASSERT_TRUE(button->isEnabled());
        if (button->isChecked() != down)
            button->click();
    }

    /// The samples reach the engine as a sound card's 10 ms blocks; returns once every one is
    /// analysed (its events posted, not yet handled).
    void Hear(const std::vector<float>& samples)
    {
        for (std::size_t at = 0; at < samples.size(); at += kRate / 100)
            program.Microphone().PushSamples(
                std::span<const float>(samples).subspan(
                    at, std::min<std::size_t>(kRate / 100, samples.size() - at)),
                kRate);
        program.Microphone().WaitIdle();
    }

    static void HandlePosted()
    {
        for (int k = 0; k < 5; ++k)
            QCoreApplication::processEvents();
    }

    std::vector<int> Entered()
    {
        const AkkordModel& model = Chords()->Model();
        std::vector<int> notes;
        for (std::size_t k = 0; k < model.EnteredCount; ++k)
            notes.push_back(model.EnteredNotes[k].Pitch.Note);
        return notes;
    }

    TempDir programDir;
    TempDir dataDir;
    bool setupWritten = WritePlainChordSetup(programDir.File(QStringLiteral("Default_level.qib")));
    ScriptedPrompts prompts;
    bool splashHidden = false;
    PellivarkProgram program;
    bool started = false;
};

TEST_F(MicrophoneEndToEnd, ASungPhraseEntersItsThreeNotesIntoTheChordExercise)
{
    ASSERT_TRUE(setupWritten);
    ASSERT_TRUE(started);
    OpenQuestion();
    SetMicrophoneButton(true);
    EXPECT_TRUE(Window().IsDown(MainControl::SpeedButton3));
    EXPECT_EQ(program.MicrophoneInput().WaveInMode(), 1U);

    Hear(SungPhrase({60, 64, 67}));
    HandlePosted();
    EXPECT_EQ(Entered(), (std::vector<int>{60, 64, 67}));
    EXPECT_EQ(Chords()->Model().HeldNote.Pitch.Note, 0) << "the last note ended in silence";
    EXPECT_FALSE(Chords()->Session().Answered) << "checking stays the user's";

    SetMicrophoneButton(false);
    EXPECT_EQ(program.MicrophoneInput().WaveInMode(), 0U);
    EXPECT_EQ(Entered(), (std::vector<int>{60, 64, 67}));
}

TEST_F(MicrophoneEndToEnd, SilenceEntersNothingAndWhatIsHeardAfterTheStopIsDropped)
{
    ASSERT_TRUE(setupWritten);
    ASSERT_TRUE(started);
    OpenQuestion();
    SetMicrophoneButton(true);

    std::mt19937 rng(3);
    std::vector<float> quiet(test::SampleAt(1.0, kRate), 0.0F);
    test::AddNoise(quiet, 0.002, rng);
    Hear(quiet);
    HandlePosted();
    EXPECT_TRUE(Entered().empty());
    EXPECT_EQ(Chords()->Model().HeldNote.Pitch.Note, 0);

    // Heard and analysed, but the microphone stops before its readings are handled.
    Hear(SungPhrase({62}));
    SetMicrophoneButton(false);
    Hear(SungPhrase({65})); // not listening: nothing is analysed
    HandlePosted();
    EXPECT_TRUE(Entered().empty());
    EXPECT_EQ(Chords()->Model().HeldNote.Pitch.Note, 0);

    // Listening again, a note still sung as the exercise is left is entered as it is left.
    SetMicrophoneButton(true);
    std::vector<float> held = SungPhrase({69});
    held.resize(held.size() - test::SampleAt(0.3, kRate)); // no breath after it
    Hear(held);
    HandlePosted();
    EXPECT_EQ(Chords()->Model().HeldNote.Pitch.Note + Chords()->Model().DisplayOffset, 69);
    EXPECT_TRUE(Entered().empty());
    Window().Button(MainControl::Overview)->click();
    EXPECT_EQ(program.MicrophoneInput().WaveInMode(), 0U);
    EXPECT_EQ(Entered(), std::vector<int>{69});
}

} // namespace
} // namespace pv
