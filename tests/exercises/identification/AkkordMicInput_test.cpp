// Notes sung into the microphone as the identification exercise takes them: the agreement of
// the latest readings, the sung note held while it sounds and entered when the voice leaves it.
#include "exercises/identification/AkkordMicInput.h"
#include "exercises/identification/AkkordPlayback.h"
#include "exercises/items/ItemTables.h"
#include "exercises/setup/ExerciseSetup.h"
#include "music/sequencer/MidiMessage.h"
#include "music/strings/UIStrings.h"
#include "support/ScriptedPrompts.h"
#include "support/ScriptedRandom.h"
#include "support/SequencerFakes.h"

#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

namespace pv {
namespace {

TEST(MicPitchFilter, AReadingCountsWhenThreeOfTheFourBeforeItAgree)
{
    struct Case
    {
        const char* name;
        std::vector<int> readings;
        std::vector<int> accepted;
    };
    const Case cases[] = {
        {"an empty history takes the first reading", {60}, {60}},
        {"vibrato and steps within four semitones are taken at once",
         {60, 60, 60, 60, 63, 61, 64},
         {60, 60, 60, 60, 63, 61, 64}},
        {"a leap is taken on its fourth reading",
         {60, 60, 60, 60, 72, 72, 72, 72},
         {60, 60, 60, 60, 60, 60, 60, 72}},
        {"one stray reading is ignored", {60, 60, 60, 60, 84, 60}, {60, 60, 60, 60, 60, 60}},
        {"silence is taken like a leap",
         {67, 67, 67, 67, 0, 0, 0, 0},
         {67, 67, 67, 67, 67, 67, 67, 0}},
        {"five semitones away no longer agree",
         {60, 60, 60, 60, 65, 65, 65},
         {60, 60, 60, 60, 60, 60, 60}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MicPitchFilter filter;
        std::vector<int> accepted;
        for (const int reading : c.readings) {
            filter.MicPitch = static_cast<std::uint8_t>(filter.Accept(reading));
            accepted.push_back(filter.MicPitch);
        }
        EXPECT_EQ(accepted, c.accepted);
    }
}

/// A chord question on C (C E G) in an identification window with its playback.
struct MicRig
{
    MicRig()
        : model(IdentificationMode::ChordIdentification, base, strip, strings),
          playback(model, midiOut), mic(model, listening)
    {
        model.SetRandom(random);
        midiOut.SetVoiceSettings(&voices);
        EXPECT_TRUE(midiOut.ChangeDevice(1));
        ExerciseSetup setup = DefaultExerciseSetup();
        OptionBlock& block = *OptionBlockOfKind(setup, ExerciseKind::ChordIdentification);
        block.ItemFlags.fill(0);
        block.ItemFlags[0] = 1;
        block.RootMovement = 11; // always C
        block.TonicReference = 0;
        block.AutoAnswer = 0;
        block.ShowFirstTone = 0;
        block.PlayToneOnClick = 1;
        model.Setup(setup, BuiltInItemTables(), AkkordSettings{}, true);
        EXPECT_TRUE(model.NewQuestion());
    }

    /// The microphone reads pitch count times in a row.
    void Sing(int pitch, int count = 4)
    {
        for (int k = 0; k < count; ++k)
            mic.MicPitchInput(pitch, playback);
    }

    std::vector<int> Entered() const
    {
        std::vector<int> notes;
        for (std::size_t k = 0; k < model.EnteredCount; ++k)
            notes.push_back(model.EnteredNotes[k].Pitch.Note);
        return notes;
    }

    std::vector<std::uint32_t> Sent() const
    {
        std::vector<std::uint32_t> sent;
        for (const test::SentMessage& m : devices.sink.sent)
            sent.push_back(m.packed);
        return sent;
    }

    test::FakeClock clock;
    test::FakeDevices devices{clock};
    Sequencer sequencer{clock, Sequencer::Drive::Manual};
    test::ScriptedPrompts prompts;
    FixedMidiVoiceSettings voices;
    UIStringTable strings;
    TMidiOut midiOut{devices, sequencer, prompts, strings};
    test::ScriptedRandom random{std::vector<int>{0}};
    ExerciseSession base;
    ControlStripModel strip;
    AkkordModel model;
    AkkordPlayback playback;
    QString listening = QStringLiteral("Listening");
    AkkordMicInput mic;
};

TEST(AkkordMicInput, ThreeNotesSungWithBreathsBetweenAreEnteredAsTheVoiceLeavesEach)
{
    MicRig rig;
    ASSERT_FALSE(rig.base.Answered);
    const std::size_t sentBefore = rig.devices.sink.sent.size();

    rig.Sing(60);
    EXPECT_EQ(rig.model.HeldNote.Pitch.Note, 60) << "held while it sounds";
    EXPECT_EQ(rig.model.HeldSource, kHeldByMicrophone);
    EXPECT_TRUE(rig.model.ExternalHold) << "the mouse waits while the voice holds a note";
    EXPECT_EQ(rig.model.ResultLabel, rig.listening);
    EXPECT_TRUE(rig.Entered().empty());

    rig.Sing(0);
    EXPECT_EQ(rig.Entered(), std::vector<int>{60});
    EXPECT_EQ(rig.model.HeldNote.Pitch.Note, 0);
    EXPECT_FALSE(rig.model.ExternalHold);
    EXPECT_TRUE(rig.model.ResultLabel.startsWith(QStringLiteral("C   ")))
        << "the sung note is named once it is entered: " << rig.model.ResultLabel.toStdString();

    rig.Sing(64);
    rig.Sing(0);
    rig.Sing(67);
    rig.Sing(0);
    EXPECT_EQ(rig.Entered(), (std::vector<int>{60, 64, 67}));
    EXPECT_EQ(rig.devices.sink.sent.size(), sentBefore) << "a sung note is not sounded again";

    // More silence enters nothing more.
    rig.Sing(0, 8);
    EXPECT_EQ(rig.Entered(), (std::vector<int>{60, 64, 67}));
}

TEST(AkkordMicInput, ALegatoStepEntersTheNoteLeftAndTheStopEntersTheLastOne)
{
    MicRig rig;
    rig.Sing(60);
    rig.Sing(62, 1);
    EXPECT_EQ(rig.Entered(), std::vector<int>{60});
    EXPECT_EQ(rig.model.HeldNote.Pitch.Note, 62);
    // Further readings of the held note change nothing.
    rig.Sing(62, 6);
    EXPECT_EQ(rig.Entered(), std::vector<int>{60});
    EXPECT_EQ(rig.model.HeldNote.Pitch.Note, 62);

    rig.mic.ReleaseNote(rig.playback);
    EXPECT_EQ(rig.Entered(), (std::vector<int>{60, 62}));
    EXPECT_EQ(rig.model.HeldNote.Pitch.Note, 0);
    EXPECT_FALSE(rig.model.ExternalHold);
    EXPECT_EQ(rig.mic.Filter().MicPitch, 0);
    rig.mic.ReleaseNote(rig.playback);
    EXPECT_EQ(rig.Entered(), (std::vector<int>{60, 62}));
}

TEST(AkkordMicInput, SilenceAloneHoldsAndEntersNothing)
{
    MicRig rig;
    rig.Sing(0, 12);
    rig.mic.ReleaseNote(rig.playback);
    EXPECT_TRUE(rig.Entered().empty());
    EXPECT_EQ(rig.model.HeldNote.Pitch.Note, 0);
    EXPECT_FALSE(rig.model.ExternalHold);
    EXPECT_TRUE(rig.model.ResultLabel != rig.listening);
}

TEST(AkkordMicInput, ASungNoteSilencesANoteTheMouseHolds)
{
    MicRig rig;
    rig.playback.PressNote(TPitch{62, 0}, kEntrySourcePiano);
    const std::vector<std::uint32_t> before = rig.Sent();
    ASSERT_FALSE(before.empty());
    ASSERT_EQ(MessageStatus(before.back()) & 0xF0U, 0x90U);
    ASSERT_EQ(MessageData1(before.back()), 62);

    rig.Sing(67);
    const std::vector<std::uint32_t> after = rig.Sent();
    ASSERT_EQ(after.size(), before.size() + 1);
    EXPECT_TRUE(IsNoteOffMessage(after.back()));
    EXPECT_EQ(MessageData1(after.back()), 62);
    EXPECT_TRUE(rig.Entered().empty()) << "the mouse's note was not let go by the user";
    EXPECT_EQ(rig.model.HeldNote.Pitch.Note, 67);
}

TEST(AkkordMicInput, AnAnsweredQuestionShowsTheSungNoteButEntersNothing)
{
    MicRig rig;
    rig.base.Answered = true;
    const QString label = rig.model.ResultLabel;
    rig.Sing(60);
    EXPECT_EQ(rig.model.HeldNote.Pitch.Note, 60);
    EXPECT_EQ(rig.model.ResultLabel, label);
    rig.Sing(0);
    EXPECT_TRUE(rig.Entered().empty());
    EXPECT_EQ(rig.model.ResultLabel, label);
}

} // namespace
} // namespace pv
