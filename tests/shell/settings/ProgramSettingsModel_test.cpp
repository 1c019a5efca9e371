// The settings dialog's model: filling from a record (damaged ones included), the drum
// channel, the test sounds as the synthesizer receives them, learning from a MIDI keyboard, the
// delay test, devices opened at once and set back, and what OK stores.
#include "SettingsDialogRig.h"

#include <functional>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::Msg;
using test::SentMessage;

class ProgramSettingsModelTest : public ::testing::Test
{
protected:
    test::SettingsDialogRig rig;
    ProgramSettingsModel& model = rig.model;
};

TEST_F(ProgramSettingsModelTest, FillsEveryPageFromTheSettingsAndTheFoldersAsTheyAre)
{
    rig.devices.volume = 0xC000C000U;
    rig.settings.ClapSound = {2, 5, 100, 40};
    rig.settings.FontName = QStringLiteral("Liberation Serif");
    rig.settings.FontSize = 12;
    rig.settings.FontStyle = 1;
    rig.settings.RemoteNotes = {36, 38, 40, 41, 127};
    rig.Load(QStringLiteral("dansk"));

    EXPECT_EQ(model.PianoChannel, 1);
    EXPECT_EQ(model.PianoVelocity, 110);
    EXPECT_EQ(model.GuitarChannel, 2);
    EXPECT_EQ(model.GuitarProgram, 24);
    EXPECT_EQ(model.ClapChannel, 3);
    EXPECT_EQ(model.ClapProgramEntry, 5);
    EXPECT_FALSE(model.ClapOnDrumChannel);
    EXPECT_EQ(model.ClapNote, 40);
    // The metronome sits on the percussion channel by default.
    EXPECT_EQ(model.BeatChannel, 10);
    EXPECT_TRUE(model.BeatOnDrumChannel);
    EXPECT_EQ(model.BeatProgramEntry, kDrumEntry);
    EXPECT_EQ(model.FirstBeatNote, 56);
    EXPECT_EQ(model.FirstBeatVelocity, 125);
    EXPECT_FALSE(model.TestEnabled);
    EXPECT_EQ(model.Learn, LearnTarget::None);

    ASSERT_EQ(model.InputDevices.size(), 3U);
    EXPECT_EQ(model.InputDevices[2], (SettingsDevice{QStringLiteral("(no device)"), true}));
    EXPECT_EQ(model.InputPlaceholderIndex, 2);
    EXPECT_EQ(model.InputIndex, 0);
    EXPECT_EQ(model.OutputIndex, 0);
    EXPECT_TRUE(model.MidiVolumeKnown);
    EXPECT_EQ(model.MidiVolume, 0xC0);
    EXPECT_EQ(model.WaveVolume, 255) << "the wave output starts at full volume";

    // The language in force is chosen ignoring case; names as the folder spells them.
    EXPECT_EQ(model.Languages, (QStringList{QStringLiteral("Dansk"), QStringLiteral("English"),
                                            QStringLiteral("Norsk")}));
    EXPECT_EQ(model.LanguageText(), QStringLiteral("Dansk"));
    EXPECT_EQ(model.Font, (FontSpec{QStringLiteral("Liberation Serif"), 12, 1}));
    EXPECT_EQ(model.WaveNames, (QStringList{QStringLiteral("Bell"), QStringLiteral("Correct"),
                                            QStringLiteral("Wrong")}));
    EXPECT_EQ(model.RightSoundText(), QStringLiteral("Correct"));
    EXPECT_EQ(model.WrongSoundText(), QStringLiteral("Wrong"));
    EXPECT_EQ(model.ControlNotes, (std::array<int, 5>{36, 38, 40, 41, 127}));
    EXPECT_EQ(model.RepeatThreshold, 90);
}

TEST_F(ProgramSettingsModelTest, ADamagedRecordFillsAValidDialogAndOkStoresValidValues)
{
    TSettingsRec& s = rig.settings;
    s.PianoVoice = {40, 300, 999, 200};
    s.GuitarVoice = {0xFFFF, 128, 128, 128};
    s.ClapSound = {16, 900, 255, 255};
    s.BeatSound = {9, 129, 1000, 300};
    s.FirstBeatSound = {9, 129, 200, 128};
    s.OutputDelay = 70000;
    s.RhythmSpacing = 9;
    s.AutoNewQuestionDelay = 200;
    s.RepeatThreshold = 250;
    s.ToneSensitivity = 40;
    s.RhythmSensitivity = 255;
    s.FontSize = -3;
    s.FontName.clear();
    s.RemoteNotes = {200, 128, 255, 0, 127};
    s.MidiOutDevice = QStringLiteral("A synthesizer unplugged since");
    s.MidiInDevice = QStringLiteral("A keyboard unplugged since");
    s.RightSound = QStringLiteral("gone");
    rig.Load(QStringLiteral("Klingon"));

    // Every value lies in its control's range.
    EXPECT_EQ(model.PianoChannel, 16);
    EXPECT_EQ(model.PianoProgram, 127);
    EXPECT_EQ(model.PianoVelocity, 127);
    EXPECT_EQ(model.GuitarChannel, 16);
    EXPECT_EQ(model.ClapChannel, 16);
    EXPECT_EQ(model.ClapProgramEntry, 127);
    EXPECT_EQ(model.ClapNote, 127);
    EXPECT_EQ(model.BeatProgram, 127);
    EXPECT_EQ(model.BeatProgramEntry, kDrumEntry);
    EXPECT_EQ(model.OutputDelay, 400) << "the low 16 bits of 70000 are 4464";
    EXPECT_EQ(model.RhythmSpacing, 3);
    EXPECT_EQ(model.AutoNewQuestionDelay, 9);
    EXPECT_EQ(model.RepeatThreshold, 100);
    EXPECT_EQ(model.ToneSensitivity, 8);
    EXPECT_EQ(model.RhythmSensitivity, 8);
    EXPECT_EQ(model.Font.Size, 6);
    EXPECT_FALSE(model.Font.Name.isEmpty());
    EXPECT_EQ(model.ControlNotes, (std::array<int, 5>{127, 127, 127, 0, 127}));
    // A device no longer there: nothing chosen for the output, "no device" for the input; a
    // language without a file: English.
    EXPECT_EQ(model.OutputIndex, -1);
    EXPECT_EQ(model.InputIndex, model.InputPlaceholderIndex);
    EXPECT_EQ(model.LanguageText(), QStringLiteral("English"));
    EXPECT_EQ(model.RightSoundIndex, -1);

    TSettingsRec stored = s;
    model.StoreOnOk(stored, 1, std::nullopt);
    for (const SoundRec* sound : {&stored.PianoVoice, &stored.GuitarVoice, &stored.ClapSound,
                                  &stored.BeatSound, &stored.FirstBeatSound}) {
        EXPECT_LE(sound->Channel, 15);
        EXPECT_LE(sound->Program, 127);
        EXPECT_LE(sound->Velocity, 127);
        EXPECT_LE(sound->Note, 127);
    }
    // The devices the user did not touch keep their names: they are found again when they are
    // plugged in.
    EXPECT_EQ(stored.MidiOutDevice, s.MidiOutDevice);
    EXPECT_EQ(stored.MidiInDevice, s.MidiInDevice);
}

TEST_F(ProgramSettingsModelTest, EachTestButtonPlaysItsSoundForHalfASecond)
{
    rig.settings.ClapSound = {2, 5, 100, 40}; // channel 3, not the percussion channel
    rig.Load();
    model.SetGuitarNotTransposed(false);
    struct Case
    {
        const char* name;
        TestSound sound;
        std::function<void()> before;
        std::vector<SentMessage> expected;
    };
    const Case cases[] = {
        {"piano: its program, note 60",
         TestSound::Piano,
         {},
         {{0, Msg(0xC0, 0)}, {0, Msg(0x90, 60, 110)}, {500, Msg(0x80, 60)}}},
        {"guitar: its program, note 48 as the guitar sounds",
         TestSound::Guitar,
         {},
         {{0, Msg(0xC1, 24)}, {0, Msg(0x91, 48, 110)}, {500, Msg(0x81, 48)}}},
        {"guitar sounding as written: note 60",
         TestSound::Guitar,
         [this] { model.SetGuitarNotTransposed(true); },
         {{0, Msg(0xC1, 24)}, {0, Msg(0x91, 60, 110)}, {500, Msg(0x81, 60)}}},
        {"clap off the percussion channel: its program and note",
         TestSound::Clap,
         {},
         {{0, Msg(0xC2, 5)}, {0, Msg(0x92, 40, 100)}, {500, Msg(0x82, 40)}}},
        {"metronome on the percussion channel: no program",
         TestSound::Beat,
         {},
         {{0, Msg(0x99, 37, 110)}, {500, Msg(0x89, 37)}}},
        {"first beat: the metronome's channel, its own note and velocity",
         TestSound::FirstBeat,
         {},
         {{0, Msg(0x99, 56, 125)}, {500, Msg(0x89, 56)}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.before)
            c.before();
        model.PlayTestSound(c.sound);
        EXPECT_EQ(rig.PlayFromNow(), c.expected);
    }
}

TEST_F(ProgramSettingsModelTest, ChangesPlayTheirTestOnlyOnceAControlHadTheFocus)
{
    rig.Load();
    model.SetPianoVelocity(90);
    EXPECT_TRUE(rig.PlayFromNow().empty()) << "filling and the first changes play nothing";

    model.FocusInstrumentControl(LearnTarget::None);
    model.SetPianoVelocity(80);
    EXPECT_EQ(rig.PlayFromNow(),
              (std::vector<SentMessage>{
                  {0, Msg(0xC0, 0)}, {0, Msg(0x90, 60, 80)}, {500, Msg(0x80, 60)}}));
    model.SetBeatNote(42);
    EXPECT_EQ(rig.PlayFromNow(),
              (std::vector<SentMessage>{{0, Msg(0x99, 42, 110)}, {500, Msg(0x89, 42)}}));
}

TEST_F(ProgramSettingsModelTest, ThePercussionChannelPutsTheProgramListOnTheDrumEntry)
{
    rig.settings.ClapSound = {2, 33, 100, 39};
    rig.Load();
    model.SetClapChannel(10);
    EXPECT_TRUE(model.ClapOnDrumChannel);
    EXPECT_EQ(model.ClapProgramEntry, kDrumEntry);
    EXPECT_EQ(model.DrumProgramEntries().back(), QStringLiteral("Drum"));
    model.SetClapChannel(3);
    EXPECT_FALSE(model.ClapOnDrumChannel);
    EXPECT_EQ(model.ClapProgramEntry, 33) << "the program chosen before comes back";

    // The last entry of the metronome's list moves it to channel 10.
    model.SetBeatChannel(4);
    model.ChooseBeatProgram(12);
    EXPECT_EQ(model.BeatProgram, 12);
    model.ChooseBeatProgram(kDrumEntry);
    EXPECT_EQ(model.BeatChannel, 10);
    EXPECT_TRUE(model.BeatOnDrumChannel);
    EXPECT_EQ(model.BeatProgram, 12) << "the drum entry is no program to remember";

    // What OK stores and sends: the remembered programs, none sent on the percussion channel.
    TSettingsRec stored = rig.settings;
    model.StoreOnOk(stored, 1, std::nullopt);
    EXPECT_EQ(stored.BeatSound, (SoundRec{9, 12, 110, 37}));
    EXPECT_EQ(stored.FirstBeatSound, (SoundRec{9, 12, 125, 56}));
    EXPECT_EQ(stored.ClapSound, (SoundRec{2, 33, 100, 39}));
    EXPECT_EQ(rig.devices.sink.sent, (std::vector<SentMessage>{{0, Msg(0xC2, 33)}}));
}

TEST_F(ProgramSettingsModelTest, AKeyboardSetsTheControlThatHadTheFocusAndPlaysItsTest)
{
    rig.settings.ClapSound = {2, 0, 100, 39};
    struct Case
    {
        const char* name;
        LearnTarget target;
        std::uint32_t message;
        std::function<int()> value;
        int expected;
        bool plays;
        bool taken;
    };
    const Case cases[] = {
        {"program change for the piano", LearnTarget::PianoProgram, Msg(0xC3, 19),
         [this] { return model.PianoProgram; }, 19, true, true},
        {"program change for the guitar", LearnTarget::GuitarProgram, Msg(0xC0, 26),
         [this] { return model.GuitarProgram; }, 26, true, true},
        {"program change for the clap", LearnTarget::ClapProgram, Msg(0xC0, 115),
         [this] { return model.ClapProgramEntry; }, 115, true, true},
        {"program change for the metronome on the percussion channel", LearnTarget::BeatProgram,
         Msg(0xC0, 115), [this] { return model.BeatProgramEntry; }, kDrumEntry, false, false},
        {"a note for the clap", LearnTarget::ClapNote, Msg(0x90, 75, 64),
         [this] { return model.ClapNote; }, 75, true, true},
        {"a note for the metronome beat", LearnTarget::BeatNote, Msg(0x95, 76, 1),
         [this] { return model.BeatNote; }, 76, true, true},
        {"a note for the first beat", LearnTarget::FirstBeatNote, Msg(0x90, 81, 100),
         [this] { return model.FirstBeatNote; }, 81, true, true},
        {"a note of velocity 0 changes nothing", LearnTarget::BeatNote, Msg(0x90, 50, 0),
         [this] { return model.BeatNote; }, 37, false, false},
        {"a note-off changes nothing", LearnTarget::ClapNote, Msg(0x80, 50, 64),
         [this] { return model.ClapNote; }, 39, false, false},
        {"a program change for a note control changes nothing", LearnTarget::ClapNote,
         Msg(0xC0, 50), [this] { return model.ClapNote; }, 39, false, false},
        {"a note for control note 1", LearnTarget::ControlNote1, Msg(0x90, 48, 90),
         [this] { return model.ControlNotes[0]; }, 48, false, true},
        {"a note for control note 5", LearnTarget::ControlNote5, Msg(0x90, 71, 90),
         [this] { return model.ControlNotes[4]; }, 71, false, true},
        {"a controller reaches nothing", LearnTarget::PianoProgram, Msg(0xB0, 7, 100),
         [this] { return model.PianoProgram; }, 0, false, false},
        {"with no control learning, a note does nothing", LearnTarget::None, Msg(0x90, 60, 90),
         [this] { return model.ClapNote; }, 39, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rig.Load();
        int changes = 0;
        model.Changed = [&changes] { ++changes; };
        model.FocusInstrumentControl(c.target);
        model.MidiInput(c.message);
        EXPECT_EQ(c.value(), c.expected);
        EXPECT_EQ(!rig.PlayFromNow().empty(), c.plays);
        EXPECT_EQ(changes, c.taken ? 1 : 0) << "the window is told of what it must show";
    }
}

TEST_F(ProgramSettingsModelTest, ControlNotesReadAsPitchAndOctaveAndStayInTheMidiRange)
{
    const std::pair<int, const char*> names[] = {{36, "C1"},  {60, "C3"}, {61, "Db3"}, {70, "Bb3"},
                                                 {127, "G8"}, {0, "C-2"}, {11, "B-2"}};
    for (const auto& [note, name] : names) {
        SCOPED_TRACE(note);
        EXPECT_EQ(ControlNoteName(note), QString::fromLatin1(name));
    }
    rig.Load();
    model.SetControlNote(2, 126);
    model.StepControlNote(2, +1);
    model.StepControlNote(2, +1);
    EXPECT_EQ(model.ControlNotes[2], 127);
    model.SetControlNote(3, 1);
    model.StepControlNote(3, -1);
    model.StepControlNote(3, -1);
    EXPECT_EQ(model.ControlNotes[3], 0);
    model.SetControlNote(7, 50); // no such edit
    EXPECT_EQ(model.ControlNotes, (std::array<int, 5>{36, 38, 127, 0, 43}));
}

TEST_F(ProgramSettingsModelTest, TheDelayTestFlashesWithEveryClickUntilItIsStopped)
{
    rig.Load();
    model.ToggleDelayTest();
    EXPECT_TRUE(model.DelayTestRunning);
    const std::vector<SentMessage> first = rig.PlayFromNow(1200);
    // The flash is due with the click; each click's end queues the next.
    EXPECT_EQ(first, (std::vector<SentMessage>{{0, Msg(0x99, 39, 110)},
                                               {500, Msg(0x89, 39)},
                                               {500, Msg(0x99, 39, 110)},
                                               {1000, Msg(0x89, 39)},
                                               {1000, Msg(0x99, 39, 110)}}));
    EXPECT_EQ(rig.receiver.codes, (std::vector<std::uint16_t>{1, 2, 1, 2, 1}));
    EXPECT_EQ(model.FlashColour, kFlashBlack) << "white, black, white, black, white... toggled 3x";

    model.ToggleDelayTest();
    EXPECT_FALSE(model.DelayTestRunning);
    const std::vector<SentMessage> rest = rig.PlayFromNow(3000);
    EXPECT_EQ(rest.size(), 1U) << "the click under way ends, no other follows";

    // Hiding the dialog stops it the same way.
    model.ToggleDelayTest();
    model.Hide();
    EXPECT_FALSE(model.DelayTestRunning);
    EXPECT_EQ(rig.PlayFromNow(3000).size(), 2U);
}

TEST_F(ProgramSettingsModelTest, TheOutputDelayReachesTheSequencerAtOnceAndMovesOnlyTheSound)
{
    rig.Load();
    model.SetOutputDelay(120);
    model.ToggleDelayTest();
    const std::vector<SentMessage> sent = rig.PlayFromNow(400);
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.front(), (SentMessage{120, Msg(0x99, 39, 110)}));
    EXPECT_EQ(rig.receiver.codes.front(), 1) << "the flash keeps its time";
    model.SetOutputDelay(5000);
    EXPECT_EQ(model.OutputDelay, 400);
}

TEST_F(ProgramSettingsModelTest, ADeviceOpensAtOnceAndOneThatFailsLeavesTheOldOneInForce)
{
    // A port listed when the dialog was filled and gone when it is chosen.
    rig.devices.ports.push_back({7, QStringLiteral("Unplugged port")});
    rig.midiOut.ListDevices();
    rig.inputs.refusals.emplace(
        QStringLiteral("Pads"),
        Failure<MidiInError>{MidiInError::OpenFailed, QStringLiteral("busy")});
    rig.Load();

    model.ChooseMidiOut(1);
    EXPECT_EQ(rig.devices.openedNames.back(), QStringLiteral("Port A"));
    EXPECT_EQ(model.OutputIndex, 1);

    rig.devices.ports.pop_back();
    model.ChooseMidiOut(2);
    EXPECT_EQ(rig.prompts.Count(QStringLiteral("message")), 1) << "the failure is told";
    EXPECT_EQ(model.OutputIndex, 1) << "the list shows the device in force";
    EXPECT_EQ(rig.devices.openedNames.back(), QStringLiteral("Port A"));
    EXPECT_TRUE(rig.midiOut.IsOpen());

    model.ChooseMidiIn(1);
    EXPECT_EQ(model.InputIndex, 0);
    EXPECT_EQ(rig.inputs.OpenName(), QStringLiteral("Keyboard"));
    EXPECT_EQ(rig.prompts.Count(QStringLiteral("message")), 2);

    // OK keeps the device that opened, not the one that failed.
    TSettingsRec stored = rig.settings;
    model.StoreOnOk(stored, 1, std::nullopt);
    EXPECT_EQ(stored.MidiOutDevice, QStringLiteral("Port A"));
    EXPECT_EQ(stored.MidiInDevice, QStringLiteral("Keyboard"));
}

TEST_F(ProgramSettingsModelTest, CancelSetsBackTheDevicesVolumesAndDelayChangedLive)
{
    rig.devices.volume = 0xA000A000U;
    rig.Load();
    model.ChooseMidiOut(1);
    model.ChooseMidiIn(1);
    model.SetMidiVolume(30);
    model.SetWaveVolume(40);
    model.SetOutputDelay(250);
    EXPECT_EQ(rig.inputs.OpenName(), QStringLiteral("Pads"));
    EXPECT_EQ(*rig.devices.volume, 30U * 0x01000100U);

    model.RestoreLiveChanges(rig.settings);
    EXPECT_EQ(rig.devices.openedNames.back(), QStringLiteral("Synth"));
    EXPECT_EQ(rig.inputs.OpenName(), QStringLiteral("Keyboard"));
    EXPECT_EQ(*rig.devices.volume, 0xA0U * 0x01000100U);
    std::uint8_t wave = 0;
    EXPECT_TRUE(GetWaveOutVolume(rig.waveOut, wave));
    EXPECT_EQ(wave, 255);
    // The delay is back: a click plays at its due time.
    model.PlayTestSound(TestSound::Beat);
    EXPECT_EQ(rig.PlayFromNow().front().ms, 0U);
}

TEST_F(ProgramSettingsModelTest, OkStoresTheInstrumentsAndOnlyTheDevicesTheUserChose)
{
    rig.Load();
    model.SetPianoChannel(4);
    model.SetPianoProgram(8);
    model.SetGuitarVelocity(70);
    model.SetClapNote(75);
    model.SetFirstBeatVelocity(99);
    model.ChooseMidiIn(model.InputPlaceholderIndex);
    TSettingsRec stored = rig.settings;
    model.StoreOnOk(stored, 1, ExerciseKind::ChordIdentification);
    EXPECT_EQ(stored.PianoVoice, (SoundRec{3, 8, 110, 60}));
    EXPECT_EQ(stored.GuitarVoice, (SoundRec{1, 24, 70, 60}));
    EXPECT_EQ(stored.ClapSound, (SoundRec{9, 0, 110, 75}));
    EXPECT_EQ(stored.FirstBeatSound, (SoundRec{9, 0, 99, 56}));
    EXPECT_EQ(stored.MidiInDevice,
              model.InputDevices[static_cast<std::size_t>(model.InputPlaceholderIndex)].Name)
        << "no device is kept as chosen; an empty name would open the first keyboard";
    EXPECT_EQ(stored.MidiOutDevice, QStringLiteral("Synth"));
    EXPECT_EQ(rig.prompts.asked.size(), 0U) << "a user of kind 1 is asked nothing";
    // An identification exercise is in use: the piano's and the guitar's programs go out now.
    EXPECT_EQ(rig.devices.sink.sent,
              (std::vector<SentMessage>{{0, Msg(0xC3, 8)}, {0, Msg(0xC1, 24)}}));
}

TEST_F(ProgramSettingsModelTest, AUserOfKindThreeIsAskedWhetherChangedDevicesAreEverybodys)
{
    struct Case
    {
        const char* name;
        int userKind;
        bool changeDevice;
        PromptButton answer;
        int questions;
        int storedAsDefaults;
    };
    const Case cases[] = {
        {"kind 3, device changed, Yes", 3, true, PromptButton::Yes, 1, 1},
        {"kind 3, device changed, No", 3, true, PromptButton::No, 1, 0},
        {"kind 3, devices as they were", 3, false, PromptButton::Yes, 0, 0},
        {"kind 2, device changed", 2, true, PromptButton::Yes, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rig.prompts.asked.clear();
        rig.prompts.buttons = {c.answer};
        rig.storedAsDefaults = 0;
        rig.Load();
        if (c.changeDevice)
            model.ChooseMidiOut(1);
        TSettingsRec stored = rig.settings;
        model.StoreOnOk(stored, c.userKind, std::nullopt);
        EXPECT_EQ(rig.prompts.Count(QStringLiteral("yesno")), c.questions);
        EXPECT_EQ(rig.storedAsDefaults, c.storedAsDefaults);
        model.RestoreLiveChanges(rig.settings);
    }
}

TEST_F(ProgramSettingsModelTest, TheSoundButtonsPlayTheChosenFilesOfTheMediaFolder)
{
    rig.Load();
    model.PlayRightSound();
    model.ChooseWrongSound(0);
    model.PlayWrongSound();
    EXPECT_EQ(rig.waves.played,
              (std::vector<QString>{rig.MediaFolder() + QStringLiteral("Correct.wav"),
                                    rig.MediaFolder() + QStringLiteral("Bell.WAV")}));
    rig.settings.WrongSound = QStringLiteral("missing");
    rig.Load();
    model.PlayWrongSound();
    EXPECT_EQ(rig.waves.played.size(), 2U) << "without a choice nothing plays";
}

} // namespace
} // namespace pv
