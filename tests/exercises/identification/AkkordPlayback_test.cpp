// The identification exercise's playbacks as exact event lists on a virtual clock, played by
// the real sequencer engine.
#include "exercises/identification/AkkordPlayback.h"
#include "exercises/items/ItemTables.h"
#include "exercises/setup/ExerciseSetup.h"
#include "music/strings/UIStrings.h"
#include "support/ScriptedPrompts.h"
#include "support/ScriptedRandom.h"
#include "support/SequencerFakes.h"

#include <algorithm>
#include <map>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::Msg;

// One row: time in ms (a tick is a millisecond at tempo 90), the packed message or the code
// with 0x10000000 set for a notification, and its queue.
using Row = std::tuple<std::uint64_t, std::uint32_t, int>;
constexpr std::uint32_t Code(std::uint32_t code)
{
    return 0x10000000U + code;
}

struct Rig
{
    explicit Rig(IdentificationMode mode, std::vector<int> script)
        : random(std::move(script)), model(mode, base, strip, strings), playback(model, midiOut)
    {
        model.SetRandom(random);
        midiOut.SetVoiceSettings(&voices);
        midiOut.SetNotifyTargets(&targets);
        targets.kind = KindNumber(ModeInfo(mode).Kind);
        EXPECT_TRUE(midiOut.ChangeDevice(1));
    }

    std::vector<Row> PlayAll()
    {
        test::DriveTo(sequencer, clock, 60'000'000);
        std::vector<Row> rows;
        // The stop before the playback switches all notes off on every channel at once; only
        // what the playback queued counts.
        std::size_t k = 0;
        while (k < devices.sink.sent.size() && k < 16 &&
               devices.sink.sent[k].packed == Msg(0xB0 + static_cast<std::uint32_t>(k), 123)) {
            ++k;
        }
        for (; k < devices.sink.sent.size(); ++k) {
            const test::SentMessage& m = devices.sink.sent[k];
            rows.emplace_back(m.ms, m.packed, recorder.queueOf[m.packed]);
        }
        auto addCodes = [&](const test::RecordingReceiver& r) {
            for (std::size_t i = 0; i < r.codes.size(); ++i) {
                rows.emplace_back(r.times[i], Code(r.codes[i]), recorder.codeQueue[r.codes[i]]);
            }
        };
        addCodes(targets.identification);
        addCodes(targets.main);
        std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
            return std::get<0>(a) < std::get<0>(b);
        });
        return rows;
    }

    test::FakeClock clock;
    test::FakeDevices devices{clock};
    Sequencer sequencer{clock, Sequencer::Drive::Manual};
    test::QueueRecorder recorder{sequencer};
    test::ScriptedPrompts prompts;
    FixedMidiVoiceSettings voices;
    test::FakeTargets targets{clock};
    UIStringTable strings;
    TMidiOut midiOut{devices, recorder, prompts, strings};
    test::ScriptedRandom random;
    ExerciseSession base;
    ControlStripModel strip;
    AkkordModel model;
    AkkordPlayback playback;
};

ExerciseSetup OneItemOnC(IdentificationMode mode, int item, std::uint8_t tonicReference)
{
    ExerciseSetup setup = DefaultExerciseSetup();
    OptionBlock& block = *OptionBlockOfKind(setup, ModeInfo(mode).Kind);
    block.ItemFlags.fill(0);
    block.ItemFlags[static_cast<std::size_t>(item - 1)] = 1;
    block.PlayStyles = {1, 0, 0};
    block.RootMovement = 11; // always C
    block.TonicReference = tonicReference;
    block.ShowFirstTone = 1;
    return setup;
}

// Base tones: the tonic, its octave with the upper tonic marked (51), all notes off and the end
// of the tonic (52), a half-note rest, the first tone (53), then the question and the end (55).
TEST(AkkordPlayback, ChordWithBaseTones)
{
    Rig rig(IdentificationMode::ChordIdentification, {0});
    rig.model.Setup(OneItemOnC(IdentificationMode::ChordIdentification, 1, 0x11),
                    BuiltInItemTables(), AkkordSettings{}, true);
    ASSERT_TRUE(rig.model.NewQuestion());
    rig.playback.PlayQuestion(kPlayNewQuestion);
    EXPECT_TRUE(rig.model.ExternalHold);
    EXPECT_EQ(rig.model.HeldNote.Pitch.Note, 60);
    EXPECT_TRUE(rig.strip.ButtonEnabled[kStopButton]);
    const std::vector<Row> expected = {
        {0, Msg(0x90, 60, 110), 1},   {1008, Msg(0x80, 60), 1},     {1008, Msg(0x90, 72, 110), 1},
        {1008, Code(51), 1},          {2016, Msg(0x80, 72), 1},     {2016, Msg(0xB0, 123), 1},
        {2016, Code(52), 1},          {3360, Msg(0x90, 60, 98), 1}, {3360, Msg(0x90, 64, 98), 1},
        {3360, Msg(0x90, 67, 98), 1}, {3360, Code(53), 1},          {4704, Msg(0x80, 60), 1},
        {4704, Msg(0x80, 64), 1},     {4704, Msg(0x80, 67), 1},     {4704, Code(55), 1},
    };
    EXPECT_EQ(rig.PlayAll(), expected);
}

// I - IV - V7 - I in C minor (a minor chord on a fixed C), a rest, the first tone, the question.
TEST(AkkordPlayback, CadenceInMinor)
{
    Rig rig(IdentificationMode::ChordIdentification, {0});
    rig.model.Setup(OneItemOnC(IdentificationMode::ChordIdentification, 2, 0x21),
                    BuiltInItemTables(), AkkordSettings{}, true);
    ASSERT_TRUE(rig.model.NewQuestion());
    rig.playback.PlayQuestion(kPlayNewQuestion);
    EXPECT_FALSE(rig.model.ExternalHold);
    const std::vector<Row> expected = {
        {0, Msg(0x90, 60, 110), 1},    {0, Msg(0x90, 63, 110), 1},    {0, Msg(0x90, 67, 110), 1},
        {0, Msg(0x90, 72, 110), 1},    {1344, Msg(0x80, 60), 1},      {1344, Msg(0x80, 63), 1},
        {1344, Msg(0x80, 67), 1},      {1344, Msg(0x80, 72), 1},      {1344, Msg(0x90, 53, 110), 1},
        {1344, Msg(0x90, 65, 110), 1}, {1344, Msg(0x90, 68, 110), 1}, {1344, Msg(0x90, 72, 110), 1},
        {2016, Msg(0x80, 53), 1},      {2016, Msg(0x80, 65), 1},      {2016, Msg(0x80, 68), 1},
        {2016, Msg(0x80, 72), 1},      {2016, Msg(0x90, 55, 110), 1}, {2016, Msg(0x90, 62, 110), 1},
        {2016, Msg(0x90, 65, 110), 1}, {2016, Msg(0x90, 71, 110), 1}, {2688, Msg(0x80, 55), 1},
        {2688, Msg(0x80, 62), 1},      {2688, Msg(0x80, 65), 1},      {2688, Msg(0x80, 71), 1},
        {2688, Msg(0x90, 60, 110), 1}, {2688, Msg(0x90, 63, 110), 1}, {2688, Msg(0x90, 67, 110), 1},
        {2688, Msg(0x90, 72, 110), 1}, {4032, Msg(0x80, 60), 1},      {4032, Msg(0x80, 63), 1},
        {4032, Msg(0x80, 67), 1},      {4032, Msg(0x80, 72), 1},      {5376, Msg(0x90, 60, 98), 1},
        {5376, Msg(0x90, 63, 98), 1},  {5376, Msg(0x90, 67, 98), 1},  {5376, Code(53), 1},
        {6720, Msg(0x80, 60), 1},      {6720, Msg(0x80, 63), 1},      {6720, Msg(0x80, 67), 1},
        {6720, Code(55), 1},
    };
    EXPECT_EQ(rig.PlayAll(), expected);
}

// The first built-in progression (V - I) on C, as both the question and an entered answer of
// its own chords sound: one chord per half note, then the end code.
std::vector<Row> VToIOnC()
{
    return {
        {0, Msg(0x90, 67, 98), 1},    {0, Msg(0x90, 71, 98), 1},    {0, Msg(0x90, 74, 98), 1},
        {1344, Msg(0x80, 67), 1},     {1344, Msg(0x80, 71), 1},     {1344, Msg(0x80, 74), 1},
        {1344, Msg(0x90, 60, 98), 1}, {1344, Msg(0x90, 64, 98), 1}, {1344, Msg(0x90, 67, 98), 1},
        {2688, Msg(0x80, 60), 1},     {2688, Msg(0x80, 64), 1},     {2688, Msg(0x80, 67), 1},
        {2688, Code(55), 1},
    };
}

// V - I on C: each voiced chord in turn.
TEST(AkkordPlayback, Progression)
{
    Rig rig(IdentificationMode::ChordProgressions, {0});
    rig.model.Setup(OneItemOnC(IdentificationMode::ChordProgressions, 1, 0), BuiltInItemTables(),
                    AkkordSettings{}, true);
    ASSERT_TRUE(rig.model.NewQuestion());
    rig.playback.PlayQuestion(kPlayNewQuestion);
    EXPECT_EQ(rig.PlayAll(), VToIOnC());
}

// Two bars of count-in on the click queue (beat codes 5..8 to the main window before each
// click), the melody a bar later on the music queue with its own durations.
TEST(AkkordPlayback, MelodyWithCountIn)
{
    Rig rig(IdentificationMode::MelodyDictation, {0});
    ExerciseSetup setup = DefaultExerciseSetup();
    setup.Melody.Rhythms = 1;
    setup.Melody.TonicReference = 0;
    rig.model.Setup(setup, BuiltInItemTables(), AkkordSettings{}, true);
    // A melody of four quarters as its generator would put it.
    const int melody[] = {60, 62, 64, 60};
    for (std::size_t k = 0; k < 4; ++k) {
        rig.model.QuestionNotes[k].Pitch.Note = static_cast<std::int8_t>(melody[k]);
        rig.model.QuestionNotes[k].Duration = 3;
    }
    rig.model.QuestionNoteCount = 4;
    rig.playback.Settings.CountIn = true;
    rig.playback.Settings.Metronome = true;
    rig.playback.PlayQuestion(kPlayNewQuestion);
    const std::vector<Row> expected = {
        {0, Msg(0x99, 76, 110), 2},
        {0, Code(5), 2},
        {672, Msg(0x89, 76), 2},
        {672, Msg(0x99, 77, 80), 2},
        {672, Code(6), 2},
        {1344, Msg(0x89, 77), 2},
        {1344, Msg(0x99, 77, 80), 2},
        {1344, Code(7), 2},
        {2016, Msg(0x89, 77), 2},
        {2016, Msg(0x99, 77, 80), 2},
        {2016, Code(8), 2},
        {2688, Msg(0x90, 60, 98), 1},
        {2688, Msg(0x89, 77), 2},
        {2688, Msg(0x99, 76, 110), 2},
        {2688, Code(5), 2},
        {3310, Msg(0x80, 60), 1},
        {3360, Msg(0x90, 62, 98), 1},
        {3360, Msg(0x89, 76), 2},
        {3360, Msg(0x99, 77, 80), 2},
        {3360, Code(6), 2},
        {3982, Msg(0x80, 62), 1},
        {4032, Msg(0x90, 64, 98), 1},
        {4032, Msg(0x89, 77), 2},
        {4032, Msg(0x99, 77, 80), 2},
        {4032, Code(7), 2},
        {4654, Msg(0x80, 64), 1},
        {4704, Msg(0x90, 60, 98), 1},
        {4704, Msg(0x89, 77), 2},
        {4704, Msg(0x99, 77, 80), 2},
        {4704, Code(8), 2},
        {5326, Msg(0x80, 60), 1},
        {5376, Msg(0x89, 77), 2},
        {5376, Code(55), 1},
    };
    EXPECT_EQ(rig.PlayAll(), expected);
}

TEST(AkkordPlayback, RepeatPlaysNoTonicAndStoppingClearsTheProgramsHold)
{
    Rig rig(IdentificationMode::ChordIdentification, {0});
    rig.model.Setup(OneItemOnC(IdentificationMode::ChordIdentification, 1, 0x11),
                    BuiltInItemTables(), AkkordSettings{}, true);
    ASSERT_TRUE(rig.model.NewQuestion());
    rig.playback.PlayQuestion(kPlayNewQuestion);
    ASSERT_TRUE(rig.model.ExternalHold);
    // Stopped before the tonic's end: the hold and the mark go, note entry works again.
    rig.playback.StopPlaying();
    EXPECT_FALSE(rig.model.ExternalHold);
    EXPECT_EQ(rig.model.HeldNote.Pitch.Note, 0);
    EXPECT_FALSE(rig.strip.ButtonEnabled[kStopButton]);
    EXPECT_TRUE(rig.strip.ButtonEnabled[1]);

    rig.devices.sink.sent.clear();
    rig.clock.SetMs(0);
    rig.playback.RepeatQuestion();
    const std::vector<Row> rows = rig.PlayAll();
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(std::get<1>(rows.front()), Msg(0x90, 60, 98));
    EXPECT_EQ(std::count_if(rows.begin(), rows.end(),
                            [](const Row& r) { return std::get<1>(r) == Code(53); }),
              0);
    // The end of the playback reaches the window, which stops.
    rig.playback.SequencerNotify(kNotifyPlaybackEnd);
    EXPECT_FALSE(rig.strip.ButtonEnabled[kStopButton]);
    EXPECT_EQ(rig.strip.FocusIndex, 3);
}

TEST(AkkordPlayback, NotificationsMarkTheTonicAndShowTheFirstTone)
{
    Rig rig(IdentificationMode::ChordIdentification, {0});
    rig.model.Setup(OneItemOnC(IdentificationMode::ChordIdentification, 1, 0x11),
                    BuiltInItemTables(), AkkordSettings{}, true);
    ASSERT_TRUE(rig.model.NewQuestion());
    EXPECT_EQ(rig.model.EnteredCount, 0); // the tonic comes first
    rig.playback.PlayQuestion(kPlayNewQuestion);
    rig.playback.SequencerNotify(kNotifyUpperTonic);
    EXPECT_EQ(rig.model.HeldNote.Pitch.Note, 72);
    rig.playback.SequencerNotify(kNotifyTonicEnd);
    EXPECT_EQ(rig.model.HeldNote.Pitch.Note, 0);
    EXPECT_FALSE(rig.model.ExternalHold);
    EXPECT_EQ(rig.model.EnteredCount, 0); // the tonic mark is never entered
    rig.playback.SequencerNotify(kNotifyFirstTone);
    EXPECT_EQ(rig.model.EnteredCount, 1);
    EXPECT_EQ(rig.model.FirstTonePitch, 60);
    rig.playback.SequencerNotify(99); // unknown codes do nothing
    EXPECT_EQ(rig.model.EnteredCount, 1);
}

TEST(AkkordPlayback, AUnisonPlayedAtOnceSoundsOnce)
{
    Rig rig(IdentificationMode::IntervalIdentification, {0});
    rig.model.Setup(OneItemOnC(IdentificationMode::IntervalIdentification, 1, 0),
                    BuiltInItemTables(), AkkordSettings{}, true);
    ASSERT_TRUE(rig.model.NewQuestion());
    ASSERT_EQ(rig.model.QuestionNoteCount, 2);
    rig.playback.PlayQuestion(kPlayNewQuestion);
    const std::vector<Row> rows = rig.PlayAll();
    EXPECT_EQ(std::count_if(rows.begin(), rows.end(),
                            [](const Row& r) { return (std::get<1>(r) & 0xF0U) == 0x90U; }),
              1);
}

TEST(AkkordPlayback, EnteredProgressionIsVoicedAndPlayedChordByChord)
{
    Rig rig(IdentificationMode::ChordProgressions, {0});
    rig.model.Setup(OneItemOnC(IdentificationMode::ChordProgressions, 1, 0), BuiltInItemTables(),
                    AkkordSettings{}, true);
    ASSERT_TRUE(rig.model.NewQuestion());
    // The user's answer: the progression's own chords, by button.
    ASSERT_FALSE(rig.model.ShowAnswerItem(1, true));
    ASSERT_EQ(rig.model.EnteredCount, 2);
    rig.playback.PlayQuestion(kPlayEnteredAnswer);
    EXPECT_EQ(rig.PlayAll(), VToIOnC());
}

// Before any question, or with nothing entered, a playback sends its end code only.
TEST(AkkordPlayback, NothingToPlayEndsAtOnce)
{
    Rig rig(IdentificationMode::ChordIdentification, {0});
    rig.model.Setup(DefaultExerciseSetup(), BuiltInItemTables(), AkkordSettings{}, true);
    for (int kind : {kPlayRepeat, kPlayEnteredAnswer}) {
        SCOPED_TRACE(kind);
        rig.devices.sink.sent.clear();
        rig.targets.identification.codes.clear();
        rig.targets.identification.times.clear();
        rig.clock.SetMs(0);
        rig.playback.PlayQuestion(kind);
        EXPECT_EQ(rig.PlayAll(), (std::vector<Row>{{0, Code(55), 1}}));
    }
}

// A generated melody is played after its count-in: two bars of clicks for one bar of melody,
// the notes from the second bar on with the note values the generator gave them.
TEST(AkkordPlayback, GeneratedMelodyAfterItsCountIn)
{
    // Rhythm: quarter, quarter, half; key C; root 60; the last note C, then E, then D.
    Rig rig(IdentificationMode::MelodyDictation, {4, 4, 1, 0, 0, 0, 4, 1});
    ExerciseSetup setup = DefaultExerciseSetup();
    setup.Melody.ToneCount = 3;
    setup.Melody.Rhythms = 1;
    setup.Melody.TonicReference = 0;
    rig.model.Setup(setup, BuiltInItemTables(), AkkordSettings{}, true);
    ASSERT_TRUE(rig.model.NewQuestion());
    rig.playback.Settings.CountIn = true;
    rig.playback.Settings.Metronome = true;
    rig.playback.PlayQuestion(kPlayNewQuestion);
    std::vector<std::pair<std::uint64_t, std::uint32_t>> notes;
    std::vector<std::pair<std::uint64_t, std::uint32_t>> beats;
    for (const Row& row : rig.PlayAll()) {
        const std::uint32_t packed = std::get<1>(row);
        if (std::get<2>(row) == 1 && (packed & 0xF0U) == 0x90 && (packed >> 16) != 0) {
            notes.emplace_back(std::get<0>(row), (packed >> 8) & 0x7FU);
        }
        if (packed >= Code(5) && packed <= Code(8)) {
            beats.emplace_back(std::get<0>(row), packed - Code(0));
        }
    }
    EXPECT_EQ(notes, (std::vector<std::pair<std::uint64_t, std::uint32_t>>{
                         {2688, 62}, {3360, 64}, {4032, 60}}));
    ASSERT_EQ(beats.size(), 8U);
    EXPECT_EQ(beats.front(), (std::pair<std::uint64_t, std::uint32_t>{0, 5}));
    EXPECT_EQ(beats.back(), (std::pair<std::uint64_t, std::uint32_t>{4704, 8}));
}

} // namespace
} // namespace pv
