// The taps, echoes and score line the three rhythm exercises share.
#include "exercises/rhythmexercise/RhythmExerciseModel.h"
#include "music/sequencer/MidiOut.h"
#include "music/strings/UIStrings.h"
#include "support/FakeClock.h"
#include "support/ScriptedPrompts.h"
#include "support/ScriptedRandom.h"
#include "support/SequencerFakes.h"

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::Msg;

// The shared part with no phases of its own: it records while asked to and counts pedals.
class Bare final : public RhythmExerciseModel
{
public:
    using RhythmExerciseModel::RhythmExerciseModel;
    void ApplySetup(const RhythmSetup& block, bool) override { SetupEngine(block); }
    ExerciseEffects Run(const ExerciseRequest&) override { return TakeEffects(); }
    ExerciseEffects ContinueAfterAnswer() override { return {}; }
    void SequencerNotify(int) override {}
    int pedals = 0;

protected:
    void PedalDown() override { ++pedals; }
};

struct Rig
{
    Rig()
    {
        EXPECT_TRUE(midiOut.ChangeDevice(1));
        strings.StrRhythmText5 = QStringLiteral("Score");
        model.AttachPlayback(&midiOut, clock);
        RhythmExerciseSettings settings;
        settings.Playback.ClapSound = {9, 0, 110, 39};
        model.SetSettings(settings);
        model.Rytme().RecordTap(true);
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
    UIStringTable strings;
    TMidiOut midiOut{devices, sequencer, prompts, strings};
    test::ScriptedRandom random{{0}};
    ExerciseSession base;
    ControlStripModel strip;
    Bare model{ExerciseKind::RhythmImitation, base, strip, strings, random, prompts};
};

constexpr std::uint32_t kClapOn = Msg(0x99, 39, 110);
constexpr std::uint32_t kClapOff = Msg(0x89, 39);

TEST(RhythmExerciseModel, HeldKeyTapsOnceAndEchoesEveryPress)
{
    Rig rig;
    rig.model.Recording = true;
    rig.model.TapKey(true);
    rig.clock.AdvanceUs(30'000);
    rig.model.TapKey(true); // the key is still down: no second tap
    rig.model.TapKey(false);
    rig.model.TapButton(true); // the tap button's own press has no held-key rule
    rig.model.TapButton(true);
    rig.model.TapButton(false);
    EXPECT_EQ(rig.model.Rytme().TapCount, 3);
    EXPECT_EQ(rig.Sent(),
              (std::vector<std::uint32_t>{kClapOn, kClapOff, kClapOn, kClapOn, kClapOff}));
}

TEST(RhythmExerciseModel, TapsCountOnlyWhileRecordingAndNoEchoWithAnOutputDelay)
{
    Rig rig;
    rig.model.TapKey(true);
    rig.model.TapKey(false);
    EXPECT_EQ(rig.model.Rytme().TapCount, 0);
    EXPECT_EQ(rig.Sent().size(), 2U); // the echo sounds all the same

    RhythmExerciseSettings delayed = rig.model.Settings();
    delayed.OutputDelay = 40;
    rig.model.SetSettings(delayed);
    rig.model.Recording = true;
    rig.model.TapKey(true);
    rig.model.TapKey(false);
    EXPECT_EQ(rig.model.Rytme().TapCount, 1);
    EXPECT_EQ(rig.Sent().size(), 2U);
}

TEST(RhythmExerciseModel, MidiMessagesTapEchoOrPressThePedal)
{
    struct Case
    {
        std::vector<std::uint32_t> messages;
        int taps;
        std::vector<std::uint32_t> sent;
        int pedals;
    };
    const std::uint32_t noteOn = Msg(0x93, 60, 100); // a note-on on any channel taps
    const Case cases[] = {
        {{noteOn}, 1, {kClapOn}, 0},
        {{noteOn, Msg(0x90, 60, 0)}, 1, {kClapOn, kClapOff}, 0}, // velocity 0 is a note-off
        {{noteOn, Msg(0x85, 60, 64)}, 1, {kClapOn, kClapOff}, 0},
        {{Msg(0xB4, 64, 127)}, 0, {}, 1}, // the sustain pedal down, any channel
        {{Msg(0xB0, 64, 0)}, 0, {}, 0},   // the pedal up does nothing
        {{Msg(0xB0, 7, 127)}, 0, {}, 0},  // other controllers are ignored
        {{Msg(0xE0, 0, 64)}, 0, {}, 0},   // so is everything else
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.model.Recording = true;
        for (std::uint32_t message : c.messages)
            rig.model.MidiInMessage(message);
        const std::uint32_t last = c.messages.back();
        EXPECT_EQ(rig.model.Rytme().TapCount, c.taps) << std::hex << last;
        EXPECT_EQ(rig.Sent(), c.sent) << std::hex << last;
        EXPECT_EQ(rig.model.pedals, c.pedals) << std::hex << last;
    }
}

TEST(RhythmExerciseModel, MicrophoneClapsKeepTheirOwnTimeAndAreNotEchoed)
{
    Rig rig;
    rig.clock.AdvanceUs(5'000'000);
    rig.model.Rytme().RecordTap(true);
    rig.clock.AdvanceUs(200'000);
    rig.model.MicTap(5'150);                  // heard 50 ms before it arrived
    EXPECT_EQ(rig.model.Rytme().TapCount, 0); // not recording yet
    rig.model.Recording = true;
    rig.model.MicTap(5'150);
    ASSERT_EQ(rig.model.Rytme().TapCount, 1);
    EXPECT_EQ(rig.model.Rytme().TapTimes[1] - rig.model.Rytme().TapTimes[0], 150);
    EXPECT_TRUE(rig.Sent().empty());
}

TEST(RhythmExerciseModel, ScoreLineIsTheMeanOfThePercentScores)
{
    Rig rig;
    EXPECT_EQ(rig.model.Score().Gauge, 100);
    EXPECT_TRUE(rig.model.Score().Label.isEmpty());
    rig.base.QuestionCount = 3;
    rig.base.CorrectCount = 100 + 75 + 60;
    rig.model.LastScore = 60;
    EXPECT_EQ(rig.model.Score().Gauge, 78);
    EXPECT_EQ(rig.model.Score().Label, QStringLiteral("3. Score 60 %"));
}

TEST(RhythmExerciseModel, TempoIsKeptInsideTheEnginesRange)
{
    Rig rig;
    for (auto [asked, kept] : {std::pair{0, kRhythmMinTempo}, {120, 120}, {400, kRhythmMaxTempo}}) {
        rig.model.SetTempo(asked);
        EXPECT_EQ(rig.model.Rytme().Tempo, kept);
    }
}

} // namespace
} // namespace pv
