// The MIDI output: devices, immediate messages, the queueing of every play mode, clicks and
// notifications, and the ranges every message is kept in.
#include "music/sequencer/MidiOut.h"
#include "music/strings/UIStrings.h"
#include "support/ScriptedPrompts.h"
#include "support/SequencerFakes.h"

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::Msg;
using test::SentMessage;

TNoteRec Note(int midi, std::uint8_t duration = 3, std::uint8_t level = 2)
{
    TNoteRec rec;
    rec.Pitch.Note = static_cast<std::int8_t>(midi);
    rec.Duration = duration;
    rec.VelocityLevel = level;
    return rec;
}

class MidiOutTest : public ::testing::Test
{
protected:
    MidiOutTest()
    {
        midiOut.SetVoiceSettings(&voices);
        midiOut.SetNotifyTargets(&targets);
        EXPECT_TRUE(midiOut.ChangeDevice(1));
    }

    /// Plays everything queued from a start at virtual time 0 and returns what was sent.
    std::vector<SentMessage> PlayAll()
    {
        midiOut.StartQueue();
        test::DriveTo(sequencer, clock, clock.NowUs() + 60'000'000);
        return devices.sink.sent;
    }

    /// Stops, forgets what was sent and puts the virtual clock back to 0 for the next case.
    void Reset()
    {
        midiOut.StopQueue();
        devices.sink.sent.clear();
        clock.SetMs(0);
    }

    test::FakeClock clock;
    test::FakeDevices devices{clock};
    Sequencer sequencer{clock, Sequencer::Drive::Manual};
    test::ScriptedPrompts prompts;
    FixedMidiVoiceSettings voices;
    test::FakeTargets targets{clock};
    UIStringTable strings;
    TMidiOut midiOut{devices, sequencer, prompts, strings};
};

TEST_F(MidiOutTest, EveryPlayModeQueuesItsExactEventListAtTempo90)
{
    // C (whole, level 2), E (quarter, level 1), G (thirty-second, level 0); piano voice at 110.
    const std::vector<TNoteRec> chord = {Note(60, 1, 2), Note(64, 3, 1), Note(67, 6, 0)};
    const std::uint32_t onC = Msg(0x90, 60, 110), onE = Msg(0x90, 64, 104), onG = Msg(0x90, 67, 98);
    const std::uint32_t offC = Msg(0x80, 60), offE = Msg(0x80, 64), offG = Msg(0x80, 67);
    struct ModeCase
    {
        const char* name;
        std::uint8_t mode;
        std::vector<SentMessage> expected;
    };
    const ModeCase cases[] = {
        {"0 harmonic", 0, {{0, onC}, {0, onE}, {0, onG}, {1344, offC}, {1344, offE}, {1344, offG}}},
        {"1 ascending",
         1,
         {{0, onC}, {500, offC}, {550, onE}, {1050, offE}, {1100, onG}, {1600, offG}}},
        {"2 descending",
         2,
         {{0, onG}, {500, offG}, {550, onE}, {1050, offE}, {1100, onC}, {1600, offC}}},
        {"3 silent", 3, {}},
        {"4 melodic",
         4,
         {{0, onC}, {2638, offC}, {2688, onE}, {3310, offE}, {3360, onG}, {3394, offG}}},
        {"5 ascending then held",
         5,
         {{0, onC}, {500, onE}, {1000, onG}, {2000, offC}, {2000, offE}, {2000, offG}}},
        {"6 descending then held",
         6,
         {{0, onG}, {500, onE}, {1000, onC}, {2000, offC}, {2000, offE}, {2000, offG}}},
        {"7 unknown", 7, {}},
        {"255 unknown", 255, {}},
    };
    for (const ModeCase& c : cases) {
        SCOPED_TRACE(c.name);
        Reset();
        midiOut.PlayNotes(chord, 3, static_cast<TPlayMode>(c.mode), false);
        EXPECT_EQ(PlayAll(), c.expected);
    }
}

TEST_F(MidiOutTest, VoiceVelocityLevelAndTranspositionShapeEachNote)
{
    struct VoiceCase
    {
        const char* name;
        bool guitar;
        std::uint16_t channel;
        std::uint16_t velocity;
        bool notTransposed;
        int note;
        std::uint8_t level;
        std::optional<std::uint32_t> expectedOn; ///< nothing: the note is left out
    };
    const VoiceCase cases[] = {
        {"piano level 2 plays the setting", false, 0, 110, false, 60, 2, Msg(0x90, 60, 110)},
        {"piano level 1 is 6 below", false, 0, 110, false, 60, 1, Msg(0x90, 60, 104)},
        {"velocity 10 is raised to 15, level 0", false, 0, 10, false, 60, 0, Msg(0x90, 60, 3)},
        {"velocity above 127 is held at 127", false, 0, 300, false, 60, 2, Msg(0x90, 60, 127)},
        {"level above 2 counts as 2", false, 0, 100, false, 60, 9, Msg(0x90, 60, 100)},
        {"guitar an octave lower", true, 1, 110, false, 64, 2, Msg(0x91, 52, 110)},
        {"guitar not transposed", true, 1, 110, true, 64, 2, Msg(0x91, 64, 110)},
        {"guitar note below 0 after transposition left out", true, 1, 110, false, 5, 2,
         std::nullopt},
        {"top note 127", false, 0, 110, false, 127, 2, Msg(0x90, 127, 110)},
        {"negative note left out", false, 0, 110, false, -3, 2, std::nullopt},
        {"channel 17 masked to 1", false, 17, 110, false, 60, 2, Msg(0x91, 60, 110)},
    };
    for (const VoiceCase& c : cases) {
        SCOPED_TRACE(c.name);
        Reset();
        SoundRecord& voice = c.guitar ? voices.voices.guitar : voices.voices.piano;
        voice.channel = c.channel;
        voice.velocity = c.velocity;
        voices.voices.guitarNotTransposed = c.notTransposed;
        const TNoteRec notes[] = {Note(c.note, 3, c.level)};
        midiOut.PlayNotes(notes, 1, TPlayMode::Harmonic, c.guitar);
        EXPECT_EQ(midiOut.Channel(), c.channel & 15);
        const std::vector<SentMessage> sent = PlayAll();
        if (c.expectedOn) {
            ASSERT_EQ(sent.size(), 2U);
            EXPECT_EQ(sent[0].packed, *c.expectedOn);
            EXPECT_EQ(sent[1].packed, (*c.expectedOn & 0xFFFFU) - 0x10U) << "the note off";
        } else {
            EXPECT_TRUE(sent.empty());
        }
    }
}

TEST_F(MidiOutTest, DroppedNoteKeepsItsWaitsAndOddDurationCodesKeepTheirPlace)
{
    // Mode 4 with duration code 0 (a whole note), 9 (invalid: a quarter) and a note that
    // falls outside the range after the guitar's transposition.
    const std::vector<TNoteRec> notes = {Note(60, 0), Note(62, 9), Note(3, 3), Note(64, 3)};
    midiOut.PlayNotes(notes, 4, TPlayMode::Melodic, true);
    const std::vector<SentMessage> expected = {
        {0, Msg(0x91, 48, 110)}, {2638, Msg(0x81, 48)},      {2688, Msg(0x91, 50, 110)},
        {3310, Msg(0x81, 50)},   {4032, Msg(0x91, 52, 110)}, {4654, Msg(0x81, 52)},
    };
    EXPECT_EQ(PlayAll(), expected);
}

TEST_F(MidiOutTest, NothingIsQueuedForAnEmptyListAClosedDeviceOrACountBeyondTheList)
{
    const TNoteRec empty[] = {Note(0), Note(64)};
    midiOut.PlayNotes(empty, 2, TPlayMode::Harmonic, false);
    EXPECT_TRUE(PlayAll().empty());

    const TNoteRec one[] = {Note(60)};
    midiOut.PlayNotes(one, 200, TPlayMode::Ascending, false); // count beyond the list
    EXPECT_EQ(PlayAll().size(), 2U);

    Reset();
    midiOut.ChangeDevice(0);   // closes, switching the old device's notes off
    devices.sink.sent.clear(); // what matters is that nothing reaches it after that
    midiOut.PlayNotes(one, 1, TPlayMode::Harmonic, false);
    midiOut.QueueNotify(105);
    midiOut.NoteOn({0, 0, 100, 60});
    EXPECT_TRUE(PlayAll().empty());
    EXPECT_TRUE(targets.main.codes.empty());
}

TEST_F(MidiOutTest, NotificationsFollowTheirQueueAndReachTheRoutedReceiver)
{
    targets.kind = 2;
    const TNoteRec notes[] = {Note(60)};
    midiOut.PlayNotes(notes, 1, TPlayMode::Harmonic, false);
    midiOut.QueueNotify(55);     // music queue: after the chord
    midiOut.QueueNotify(45);     // music queue
    midiOut.QueueNotify(105);    // click queue: at once
    midiOut.QueueNotify(0x0305); // nothing
    midiOut.QueueNotify(1);      // the dialog is not listening
    PlayAll();
    EXPECT_EQ(targets.identification.codes, std::vector<std::uint16_t>{55});
    EXPECT_EQ(targets.identification.times, std::vector<std::uint64_t>{1344});
    EXPECT_EQ(targets.comparison.times, std::vector<std::uint64_t>{1344});
    EXPECT_EQ(targets.main.codes, std::vector<std::uint16_t>{5});
    EXPECT_EQ(targets.main.times, std::vector<std::uint64_t>{0});
    EXPECT_TRUE(targets.settings.codes.empty());
    EXPECT_EQ(targets.asked.front(), std::make_pair(NotifyReceiver::Identification, 2));
}

TEST_F(MidiOutTest, ClickSendsTheCodeBeforeToTheMainWindowThenSoundsWithItsAccent)
{
    const SoundRecord beat{9, 0, 110, 37};
    midiOut.QueueClick(500, 2, false, beat, 12, 0x0301);
    midiOut.QueueClick(500, 0, true, beat, 0x0468, 0);
    // Out of range: channel 20, velocity 300, note 200.
    midiOut.QueueClick(100, 0, false, {20, 0, 300, 200}, 0, 0);
    midiOut.QueueClick(100, 2, false, {9, 0, 15, 37}, 0, 0); // 15 - 20 is held at 0
    const std::vector<SentMessage> expected = {
        {0, Msg(0x99, 37, 90)}, {500, Msg(0x89, 37)},     {1000, Msg(0x94, 127, 127)},
        {1100, Msg(0x84, 127)}, {1100, Msg(0x99, 37, 0)}, {1200, Msg(0x89, 37)},
    };
    EXPECT_EQ(PlayAll(), expected);
    EXPECT_EQ(targets.main.codes, (std::vector<std::uint16_t>{0x0301, 0x0404}));
    EXPECT_EQ(targets.main.times, (std::vector<std::uint64_t>{0, 1000}));
    EXPECT_EQ(targets.imitation.codes, std::vector<std::uint16_t>{12});
    EXPECT_EQ(targets.imitation.times, std::vector<std::uint64_t>{500});
}

TEST_F(MidiOutTest, ImmediateMessagesAndNoteOffOnTheChannelTheNoteWasSwitchedOnWith)
{
    midiOut.NoteOn({0, 0, 100, 60});
    const TNoteRec notes[] = {Note(64)};
    midiOut.PlayNotes(notes, 1, TPlayMode::Silent, true); // the guitar voice: channel 1
    EXPECT_EQ(midiOut.Channel(), 1);
    midiOut.NoteOff(60);
    midiOut.NoteOff(62); // never switched on here: the remembered channel
    midiOut.ProgramChange(200, 18);
    midiOut.NoteOn({3, 0, 500, 300});
    midiOut.NoteOff(255);
    const std::vector<SentMessage> expected = {
        {0, Msg(0x90, 60, 100)}, {0, Msg(0x80, 60)},       {0, Msg(0x81, 62)},
        {0, Msg(0xC2, 127)},     {0, Msg(0x93, 127, 127)}, {0, Msg(0x83, 127)},
    };
    EXPECT_EQ(devices.sink.sent, expected);

    devices.sink.sent.clear();
    midiOut.AllNotesOff();
    ASSERT_EQ(devices.sink.sent.size(), 16U);
    for (int ch = 0; ch < 16; ++ch)
        EXPECT_EQ(devices.sink.sent[static_cast<std::size_t>(ch)].packed,
                  Msg(0xB0U + static_cast<std::uint32_t>(ch), 123, 0));
}

TEST_F(MidiOutTest, StopQueueEndsPlaybackAndSwitchesAllNotesOff)
{
    const TNoteRec notes[] = {Note(60)};
    midiOut.PlayNotes(notes, 1, TPlayMode::Harmonic, false);
    midiOut.QueueNotify(55);
    midiOut.StartQueue();
    test::DriveTo(sequencer, clock, 100'000);
    devices.sink.sent.clear();
    midiOut.StopQueue();
    test::DriveTo(sequencer, clock, 5'000'000);
    ASSERT_EQ(devices.sink.sent.size(), 16U) << "only the sixteen all-notes-off";
    EXPECT_TRUE(targets.identification.codes.empty());
}

TEST_F(MidiOutTest, ResetControllersStopsAtTheFirstRefusalWithTheDevicesText)
{
    devices.sink.failFrom = 3;
    midiOut.ResetControllers();
    EXPECT_EQ(devices.sink.attempts, 4);
    EXPECT_EQ(devices.sink.sent[2].packed, Msg(0xB2, 121, 0));
    ASSERT_EQ(prompts.asked.size(), 1U);
    EXPECT_EQ(prompts.asked[0].text, QStringLiteral("device refused"));
}

TEST_F(MidiOutTest, VolumeTravelsInTheHighByteOfBothChannelHalves)
{
    midiOut.SetVolume(240);
    EXPECT_EQ(devices.volume, 0xF000F000U);
    std::uint8_t volume = 0;
    EXPECT_TRUE(midiOut.GetVolume(volume));
    EXPECT_EQ(volume, 240);
    midiOut.SetVolume(999);
    EXPECT_EQ(devices.volume, 0xFF00FF00U);

    midiOut.ChangeDevice(0);
    volume = 7;
    EXPECT_FALSE(midiOut.GetVolume(volume));
    EXPECT_EQ(volume, 7);
}

class MidiOutDevicesTest : public ::testing::Test
{
protected:
    test::FakeClock clock;
    test::FakeDevices devices{clock};
    Sequencer sequencer{clock, Sequencer::Drive::Manual};
    test::ScriptedPrompts prompts;
    UIStringTable strings;
};

TEST_F(MidiOutDevicesTest, NoDeviceGivesThePlaceholderWhoseNameIsNeverStored)
{
    strings.StrNoDevice = QStringLiteral("(no device)");
    devices.ports.clear();
    TMidiOut midiOut(devices, sequencer, prompts, strings);
    ASSERT_EQ(midiOut.DeviceCount(), 1);
    EXPECT_TRUE(midiOut.Devices()[0].placeholder);
    EXPECT_EQ(midiOut.Devices()[0].name, QStringLiteral("(no device)"));
    QString name;
    EXPECT_TRUE(midiOut.SelectByName(name));
    EXPECT_FALSE(midiOut.IsOpen());
    EXPECT_TRUE(name.isEmpty());
    EXPECT_TRUE(devices.openedIds.empty());
}

TEST_F(MidiOutDevicesTest, AFailedListingIsReportedAndLeavesThePlaceholder)
{
    devices.listFails = true;
    TMidiOut midiOut(devices, sequencer, prompts, strings);
    ASSERT_EQ(prompts.asked.size(), 1U);
    EXPECT_EQ(prompts.asked[0].text, QStringLiteral("Error listing MIDI-out devices"));
    EXPECT_TRUE(midiOut.Devices()[0].placeholder);
}

TEST_F(MidiOutDevicesTest, TheListStopsAtTwentyEntries)
{
    devices.ports.clear();
    for (std::uint32_t i = 0; i < 25; ++i)
        devices.ports.push_back({i, QStringLiteral("Port %1").arg(i)});
    TMidiOut midiOut(devices, sequencer, prompts, strings);
    EXPECT_EQ(midiOut.DeviceCount(), 20);
    EXPECT_EQ(midiOut.Devices()[19].name, QStringLiteral("Port 19"));
}

TEST_F(MidiOutDevicesTest, SelectByNameMatchesExactlyAndAnEmptyNameTakesTheFirstEntry)
{
    const QString longName = QString(60, QLatin1Char('x'));
    devices.ports = {{kMidiMapperId, longName}, {4, QStringLiteral("Port A")}};
    TMidiOut midiOut(devices, sequencer, prompts, strings);

    QString name = QStringLiteral("Port A");
    EXPECT_TRUE(midiOut.SelectByName(name));
    EXPECT_EQ(midiOut.DeviceId(), 4U);

    QString other = QStringLiteral("port a"); // case counts
    EXPECT_FALSE(midiOut.SelectByName(other));
    EXPECT_TRUE(midiOut.IsOpen()) << "an unknown name leaves the device as it was";
    EXPECT_EQ(midiOut.DeviceId(), 4U);

    QString empty;
    EXPECT_TRUE(midiOut.SelectByName(empty));
    EXPECT_EQ(midiOut.DeviceId(), kMidiMapperId);
    EXPECT_EQ(empty, longName.left(47));
    EXPECT_EQ(devices.closes, 1);
}

TEST_F(MidiOutDevicesTest, ChangeDeviceRefusesBadIndexesAndReportsOpenFailures)
{
    TMidiOut midiOut(devices, sequencer, prompts, strings);
    for (std::uint16_t index : {0, 3, 21}) {
        SCOPED_TRACE(index);
        EXPECT_FALSE(midiOut.ChangeDevice(index));
        EXPECT_FALSE(midiOut.IsOpen());
    }
    EXPECT_TRUE(prompts.asked.empty());

    strings.StrMidiOutOpenError = QStringLiteral("Cannot open the device %s%s");
    devices.openError = Fail(MidiOutError::OpenFailed, QStringLiteral("busy"));
    EXPECT_FALSE(midiOut.ChangeDevice(2));
    EXPECT_FALSE(midiOut.IsOpen());
    ASSERT_EQ(prompts.asked.size(), 1U);
    EXPECT_EQ(prompts.asked[0].text,
              QStringLiteral("Cannot open the device \"Port A\".\r\n\r\r\nbusy"));

    devices.openError = Fail(MidiOutError::OpenFailed, QString());
    EXPECT_FALSE(midiOut.ChangeDevice(2));
    EXPECT_EQ(prompts.asked.size(), 1U) << "no text, no message";

    devices.openError = Fail(MidiOutError::Unexpected, QStringLiteral("x"));
    EXPECT_FALSE(midiOut.ChangeDevice(2));
    ASSERT_EQ(prompts.asked.size(), 2U);
    EXPECT_EQ(prompts.asked[1].text,
              QStringLiteral("ChangeDevice exception: Error opening MIDI out"));
}

TEST_F(MidiOutDevicesTest, PortsAreOpenedByTheNameTheyHaveNowNotByTheirListedPlace)
{
    devices.ports = {{kMidiMapperId, QStringLiteral("Synth")},
                     {0, QStringLiteral("Port A")},
                     {1, QStringLiteral("Port B")}};
    TMidiOut midiOut(devices, sequencer, prompts, strings);
    strings.StrMidiOutOpenError = QStringLiteral("Cannot open the device %s%s");

    // A port plugged in since the listing moves the others one place on.
    devices.ports = {{kMidiMapperId, QStringLiteral("Synth")},
                     {0, QStringLiteral("Port C")},
                     {1, QStringLiteral("Port B")},
                     {2, QStringLiteral("Port A")}};
    QString name = QStringLiteral("Port A");
    EXPECT_TRUE(midiOut.SelectByName(name));
    EXPECT_TRUE(midiOut.IsOpen());
    EXPECT_EQ(devices.openedNames.back(), QStringLiteral("Port A"));
    EXPECT_EQ(devices.openedIds.back(), 2U) << "the place Port A has now";

    // Unplugged since the listing: the open-error message names it, the output stays closed.
    devices.ports = {{kMidiMapperId, QStringLiteral("Synth")}, {0, QStringLiteral("Port A")}};
    name = QStringLiteral("Port B");
    EXPECT_FALSE(midiOut.SelectByName(name));
    EXPECT_FALSE(midiOut.IsOpen());
    ASSERT_EQ(prompts.asked.size(), 1U);
    EXPECT_TRUE(prompts.asked[0].text.startsWith(
        QStringLiteral("Cannot open the device \"Port B\".\r\n\r\r\n")))
        << prompts.asked[0].text.toStdString();

    // The built-in synthesizer stays first and opens by its name too.
    QString empty;
    EXPECT_TRUE(midiOut.SelectByName(empty));
    EXPECT_EQ(empty, QStringLiteral("Synth"));
    EXPECT_EQ(devices.openedIds.back(), kMidiMapperId);
}

TEST_F(MidiOutDevicesTest, ClosingTheDeviceSilencesItAndTakesItsSinkAwayFromTheSequencer)
{
    TMidiOut midiOut(devices, sequencer, prompts, strings);
    ASSERT_TRUE(midiOut.ChangeDevice(1));
    midiOut.NoteOn({2, 0, 100, 60});
    devices.sink.sent.clear();
    sequencer.QueueMidi(SequencerQueue::Music, Msg(0x90, 60, 100));
    midiOut.ChangeDevice(0);
    // Closing switches every note off on the old device, and nothing queued reaches it after.
    ASSERT_EQ(devices.sink.sent.size(), 16U);
    for (int ch = 0; ch < 16; ++ch)
        EXPECT_EQ(devices.sink.sent[static_cast<std::size_t>(ch)].packed,
                  Msg(0xB0U + static_cast<std::uint32_t>(ch), 123, 0));
    devices.sink.sent.clear();
    sequencer.Start();
    test::DriveTo(sequencer, clock, 1000);
    EXPECT_TRUE(devices.sink.sent.empty());
    EXPECT_FALSE(devices.open);
}

} // namespace
} // namespace pv
