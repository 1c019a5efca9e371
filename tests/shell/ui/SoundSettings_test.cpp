// The whole program's sound as the settings and the machine give it: the wave-out volume is the
// answer sounds' level and the MIDI volume the built-in synthesizer's; a synthesizer that
// cannot sound (no sound font, no audio output) is told once, and playback goes on silently.
#include "ProgramTestSupport.h"
#include "exercises/setup/SetupFile.h"
#include "exercises/ui/AnswerSoundEffect.h"
#include "exercises/ui/TAkkord.h"
#include "music/devices/SystemMidiOutDevices.h"
#include "shell/main/PellivarkMainModel.h"
#include "shell/main/ui/ExerciseWindowSet.h"
#include "shell/ui/PellivarkProgram.h"
#include "shell/ui/TPellivarkMain.h"
#include "support/DataFolderCopy.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::RunUntil;
using test::ScriptedPrompts;

class SoundOfTheProgram : public ::testing::Test
{
protected:
    SoundOfTheProgram()
    {
        EXPECT_TRUE(QDir().mkpath(program.File(QStringLiteral("Language"))));
        EXPECT_TRUE(QFile::copy(QStringLiteral(PELLIVARK_ENGLISH_LAN),
                                program.File(QStringLiteral("Language/English.LAN"))));
        EXPECT_TRUE(WriteSetupFile(program.File(QStringLiteral("Default_level.qib")),
                                   DefaultExerciseSetup()));
    }

    ProgramOptions Options(IPrompts* prompts)
    {
        ProgramOptions options;
        options.ProgramFolders = ProgramFolders();
        options.Prompts = prompts;
        options.SynthAudio = false;
        options.HideSplash = [this] { splashHidden = true; };
        return options;
    }

    /// Builds, shows and starts the program; false when its first show never ended.
    bool Start(std::unique_ptr<PellivarkProgram>& run, ProgramOptions options)
    {
        splashHidden = false;
        run = std::make_unique<PellivarkProgram>(std::move(options));
        run->SetChooseTutor([] { return kNoTutorChosen; });
        run->MainWindow().resize(1100, 760);
        run->MainWindow().show();
        return RunUntil([&] { return !run->Model().FirstShowPending && splashHidden; });
    }

    /// A first start that makes the user (and answers nothing else).
    void FirstStart()
    {
        ScriptedPrompts prompts;
        prompts.texts = {QStringLiteral("Ann Example")};
        std::unique_ptr<PellivarkProgram> run;
        ASSERT_TRUE(Start(run, Options(&prompts)));
        run->MainWindow().close();
    }

    /// Setting.dat of the first user with the two volumes.
    void StoreVolumes(std::uint8_t wave, std::uint8_t midi)
    {
        test::DataFolderCopy files(ProgramFolders(), program.File(QStringLiteral("Language/")));
        ASSERT_TRUE(files.User(1));
        ASSERT_TRUE(files.LoadUserSettings(1));
        files.settings.WaveOutVolume = wave;
        files.settings.MidiOutVolume = midi;
        ASSERT_TRUE(files.SaveUserSettings(1));
    }

    TSettingsRec StoredSettings()
    {
        test::DataFolderCopy files(ProgramFolders(), program.File(QStringLiteral("Language/")));
        EXPECT_TRUE(files.User(1));
        EXPECT_TRUE(files.LoadUserSettings(1));
        return files.settings;
    }

    Folders ProgramFolders() const
    {
        return Folders{program.Path(), data.Path() + QStringLiteral("Data/")};
    }

    test::TempDir program;
    test::TempDir data;
    bool splashHidden = false;
};

TEST_F(SoundOfTheProgram, EachVolumeOfTheSettingsReachesItsOwnSoundAndIsStoredBack)
{
    if (!FluidSynthOutput::FindSoundFont())
        GTEST_SKIP() << "no General MIDI sound font (package timgm6mb-soundfont)";
    FirstStart();
    StoreVolumes(102, 64);

    ScriptedPrompts prompts;
    std::unique_ptr<PellivarkProgram> run;
    ASSERT_TRUE(Start(run, Options(&prompts)));
    FluidSynthOutput* synth = run->SystemDevices().OpenSynth();
    ASSERT_NE(synth, nullptr) << "the built-in synthesizer is the first output";
    EXPECT_FLOAT_EQ(run->AnswerSound().Volume(), 0.4F) << "the wave volume, 102 of 255";
    EXPECT_EQ(synth->StereoVolume(), 64U * 0x01000100U) << "the MIDI volume, both halves";

    // Each control moves its own sound only.
    TSettingsRec& settings = run->App().ProgramSettings;
    run->MidiOut().SetVolume(200);
    EXPECT_FLOAT_EQ(run->AnswerSound().Volume(), 0.4F);
    EXPECT_EQ(synth->StereoVolume(), 200U * 0x01000100U);
    settings.WaveOutVolume = 51;
    settings.MidiOutVolume = 200;
    run->ApplyProgramSettings(); // reads Setting.dat again: the stored values come back
    EXPECT_FLOAT_EQ(run->AnswerSound().Volume(), 0.4F);
    EXPECT_EQ(synth->StereoVolume(), 64U * 0x01000100U);

    // An exercise plays at that level, and closing stores both volumes as they are.
    run->MainWindow().Button(MainControl::Speed1)->click();
    run->MidiOut().SetVolume(90);
    run->MainWindow().close();
    run.reset();
    const TSettingsRec stored = StoredSettings();
    EXPECT_EQ(stored.MidiOutVolume, 90);
    EXPECT_EQ(stored.WaveOutVolume, 102);
}

TEST_F(SoundOfTheProgram, ASynthesizerThatCannotSoundIsToldOnceAndPlaybackGoesOnSilently)
{
    if (!FluidSynthOutput::FindSoundFont())
        GTEST_SKIP() << "no General MIDI sound font (package timgm6mb-soundfont)";
    FirstStart();
    const struct
    {
        const char* name;
        QString soundFont;
        QStringList drivers; ///< with audio asked for; empty: rendering silently, as in tests
        bool opens;
        const char* told; ///< a word the message must hold
    } cases[] = {
        {"no sound font",
         program.File(QStringLiteral("missing.sf2")),
         {},
         false,
         "timgm6mb-soundfont"},
        {"no audio output", {}, {QStringLiteral("no-such-driver")}, true, "pipewire-pulse"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedPrompts prompts;
        ProgramOptions options = Options(&prompts);
        options.SoundFont = c.soundFont;
        options.SynthAudio = !c.drivers.isEmpty();
        options.SynthAudioDrivers = c.drivers;
        std::unique_ptr<PellivarkProgram> run;
        ASSERT_TRUE(Start(run, std::move(options)));
        EXPECT_EQ(run->MidiOut().IsOpen(), c.opens);
        ASSERT_EQ(prompts.Count(QStringLiteral("message")), 1) << "told at the start";
        EXPECT_TRUE(prompts.asked.back().text.contains(QString::fromLatin1(c.told)))
            << prompts.asked.back().text.toStdString();

        // The output is opened again by the settings and by leaving the start menu: no
        // second message, and a question goes on without sound.
        run->ApplyProgramSettings();
        run->MainWindow().Button(MainControl::Speed1)->click();
        TAkkord* chords = run->Exercises().Identification(ExerciseKind::ChordIdentification);
        ASSERT_NE(chords, nullptr);
        chords->NewQuestion();
        EXPECT_NE(chords->Model().QuestionItem, 0) << "the question is asked";
        run->MainWindow().Button(MainControl::Overview)->click();
        run->ApplyProgramSettings();
        EXPECT_EQ(prompts.Count(QStringLiteral("message")), 1);
        run->MainWindow().close();
    }
}

TEST_F(SoundOfTheProgram, ClosingStopsThePlayingQuestionBeforeItAsksAnything)
{
    FirstStart();
    ScriptedPrompts prompts;
    prompts.buttons = {PromptButton::Cancel, PromptButton::Yes};
    ProgramOptions options = Options(&prompts);
    options.MidiDevices = test::FakeDevicesWithoutSoundFont();
    std::unique_ptr<PellivarkProgram> run;
    ASSERT_TRUE(Start(run, std::move(options)));
    run->MainWindow().Button(MainControl::Speed1)->click();
    TAkkord* chords = run->Exercises().Identification(ExerciseKind::ChordIdentification);
    ASSERT_NE(chords, nullptr);
    for (int q = 0; q < 5; ++q) {
        chords->NewQuestion();
        const AkkordModel& model = chords->Model();
        // A right click scores the answer at once.
        chords->AnswerButtonMouseDown(model.ButtonOfItem(model.QuestionItem), Qt::RightButton);
    }
    ASSERT_EQ(run->Sessions().Of(ExerciseKind::ChordIdentification).QuestionCount, 5U);
    chords->NewQuestion();
    ASSERT_GT(run->PlaybackSequencer().PendingCount(), 0U) << "the question plays";

    // Cancel at the results question keeps the program open, with the music already stopped.
    run->MainWindow().close();
    QCoreApplication::processEvents();
    ASSERT_EQ(prompts.Count(QStringLiteral("yesnocancel")), 1);
    EXPECT_TRUE(run->MainWindow().isVisible());
    EXPECT_EQ(run->PlaybackSequencer().PendingCount(), 0U);

    run->MainWindow().close();
    QCoreApplication::processEvents();
    EXPECT_EQ(prompts.Count(QStringLiteral("yesnocancel")), 2);
    EXPECT_FALSE(run->MainWindow().isVisible()) << "Yes stores and closes";
}

TEST_F(SoundOfTheProgram, TheNoSoundMessageAsTheUserSeesIt)
{
    if (!FluidSynthOutput::FindSoundFont())
        GTEST_SKIP() << "no General MIDI sound font (package timgm6mb-soundfont)";
    FirstStart();
    // The program's own message boxes, over its window: the one that comes up is pictured
    // and answered.
    QString shown;
    QTimer answer;
    answer.setInterval(20);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        shown = box->text();
        EXPECT_TRUE(box->grab().toImage().save(test::TestOutputDir() +
                                               QStringLiteral("no-sound-message.png")));
        box->accept();
    });
    answer.start();
    ProgramOptions options = Options(nullptr);
    options.SynthAudio = true;
    options.SynthAudioDrivers = {QStringLiteral("no-such-driver")};
    std::unique_ptr<PellivarkProgram> run;
    ASSERT_TRUE(Start(run, std::move(options)));
    answer.stop();
    EXPECT_TRUE(shown.contains(QStringLiteral("no audio output"))) << shown.toStdString();
    run->MainWindow().close();
}

} // namespace
} // namespace pv
