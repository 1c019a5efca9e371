// The rhythm reading exercise played by the real sequencer engine on a virtual clock, with taps
// made at chosen moments: waiting bars, early starts, one-bar rhythms, playbacks, the score and
// the automatic next question.
#include "exercises/rhythmexercise/RytmeLaesModel.h"
#include "music/sequencer/MidiOut.h"
#include "music/strings/UIStrings.h"
#include "support/EffectsRecorder.h"
#include "support/FakeClock.h"
#include "support/RhythmText.h"
#include "support/ScriptedPrompts.h"
#include "support/ScriptedRandom.h"
#include "support/SequencerFakes.h"

#include <random>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::SeededRandom;

/// Hands the reading window's codes to the model as the window would, and keeps them with the
/// virtual time they arrived at.
class ModelReceiver final : public QObject
{
public:
    ModelReceiver(RytmeLaesModel& model, test::EffectsRecorder& effects, const IClock& clock)
        : m_model(model), m_effects(effects), m_clock(clock)
    {
    }
    bool event(QEvent* e) override
    {
        if (e->type() != SequencerNotifyEvent::Type())
            return QObject::event(e);
        const auto code = static_cast<SequencerNotifyEvent*>(e)->Code();
        codes.push_back(code);
        times.push_back(m_clock.NowUs() / 1000U);
        marks.push_back(0);
        m_model.SequencerNotify(code);
        m_effects.Settle();
        marks.back() = m_model.MarkedBar[0];
        return true;
    }
    std::vector<std::uint16_t> codes;
    std::vector<std::uint64_t> times;
    std::vector<int> marks; ///< the bar marked after each code

private:
    RytmeLaesModel& m_model;
    test::EffectsRecorder& m_effects;
    const IClock& m_clock;
};

class ReadingTargets final : public INotifyTargets
{
public:
    explicit ReadingTargets(QObject& reading) : m_reading(reading) {}
    bool SettingsDialogListening() const override { return false; }
    int CurrentExerciseKind() const override { return 5; }
    QObject* Receiver(NotifyReceiver receiver, int) const override
    {
        return receiver == NotifyReceiver::RhythmReading ? &m_reading : nullptr;
    }

private:
    QObject& m_reading;
};

RhythmSetup QuarterSetup(int row, int bars)
{
    RhythmSetup setup;
    setup.TimeSignatures[static_cast<std::size_t>(row - 1)] = 1;
    setup.NoteValues[2] = 1; // quarters
    setup.NoteValues[3] = 1; // eighths
    setup.Tempo = 90;        // a tick is a millisecond
    setup.Bars = static_cast<std::uint8_t>(bars);
    setup.RhythmEvaluation = 1;
    return setup;
}

// 4/4 at tempo 90: a bar lasts 2688 ms and a beat 672 ms.
constexpr std::uint64_t kBar = 2688;
constexpr std::uint64_t kBeat = 672;

struct Rig
{
    explicit Rig(std::uint32_t seed = 3) : random(seed)
    {
        midiOut.SetNotifyTargets(&targets);
        EXPECT_TRUE(midiOut.ChangeDevice(1));
        strings.StrRhythmText1 = QStringLiteral("Press Start");
        strings.StrRhythmText2 = QStringLiteral("Start when ready");
        strings.StrRhythmText3 = QStringLiteral("The rhythm");
        strings.StrRhythmText4 = QStringLiteral("Your taps");
        strings.StrRhythmText5 = QStringLiteral("Score");
        strings.StrRhythmVerdict1 = QStringLiteral("Perfect");
        strings.StrRhythmVerdict2 = QStringLiteral("Nearly perfect");
        strings.StrRhythmVerdict3 = QStringLiteral("Watch the timing");
        strings.StrRhythmVerdict4 = QStringLiteral("Nothing right");
        strings.StrRhythmVerdictFormat = QStringLiteral("%d of %d");
        strings.StrRhythmSetupMessage = QStringLiteral("Change the rhythm setup");
        model.TurnText = QStringLiteral("Your turn");
        model.AttachPlayback(&midiOut, clock);
        model.SetSettings(settings);
        effects.onAnswer = [this](bool passed) { feedback.push_back(passed); };
        effects.onAutoTimer = [this](bool on) { autoTimer = on; };
    }

    /// Loads a setup, then puts the written rhythm in its place.
    void Load(const char* rhythm, int row = 4)
    {
        model.ApplySetup(QuarterSetup(row, 1), true);
        test::LoadRhythm(model.Rytme(), 0, row, rhythm);
    }
    void To(std::uint64_t ms) { test::DriveTo(sequencer, clock, ms * 1000U); }
    void TapAt(std::uint64_t ms)
    {
        To(ms);
        model.TapKey(true);
        model.TapKey(false);
    }
    /// Taps every note of list 0 that is to be played, the first at startMs.
    void TapRhythm(std::uint64_t startMs)
    {
        std::uint64_t at = startMs;
        const std::vector<RhythmNote>& notes = model.Rytme().List(0);
        for (std::size_t i = 0; i < notes.size(); ++i) {
            if (notes[i].Rest == 0 && (i == 0 || notes[i - 1].Tied == 0))
                TapAt(at);
            at += notes[i].Ticks;
        }
    }
    std::vector<bool> Buttons() const
    {
        return std::vector<bool>(strip.ButtonEnabled.begin(), strip.ButtonEnabled.end());
    }
    std::vector<std::int32_t> Results() const
    {
        std::vector<std::int32_t> results;
        for (const RhythmNote& note : model.Rytme().List(0))
            results.push_back(note.Result);
        return results;
    }
    bool Idle() const { return !sequencer.NextDueUs().has_value(); }

    test::FakeClock clock;
    test::FakeDevices devices{clock};
    Sequencer sequencer{clock, Sequencer::Drive::Manual};
    test::ScriptedPrompts prompts;
    UIStringTable strings;
    TMidiOut midiOut{devices, sequencer, prompts, strings};
    SeededRandom random;
    ExerciseSession base;
    ControlStripModel strip;
    RhythmExerciseSettings settings;
    RytmeLaesModel model{base, strip, strings, random, prompts};
    test::EffectsRecorder effects{model};
    ModelReceiver receiver{model, effects, clock};
    ReadingTargets targets{receiver};
    std::vector<bool> feedback;
    bool autoTimer = false;
};

/// What a rhythm is, without what drawing and judging write into it.
std::vector<std::tuple<std::uint32_t, int, int>> Shape(const std::vector<RhythmNote>& notes)
{
    std::vector<std::tuple<std::uint32_t, int, int>> shape;
    for (const RhythmNote& note : notes)
        shape.emplace_back(note.Ticks, note.Rest, note.Tied);
    return shape;
}

using Codes = std::vector<std::uint16_t>;
using Times = std::vector<std::uint64_t>;
constexpr std::int32_t kOn = RhythmResult::OnTime;
constexpr std::int32_t kEarly = RhythmResult::Early;
constexpr std::int32_t kMissed = RhythmResult::Missed;
constexpr std::int32_t kSilent = RhythmResult::NotPlayed;

TEST(RytmeLaesModel, SetupShowsTheRhythmAndOffersOnlyTheStart)
{
    Rig rig;
    rig.base.QuestionCount = 4;
    rig.model.ApplySetup(QuarterSetup(4, 3), false);
    EXPECT_GT(rig.model.Rytme().Count(0), 0);
    EXPECT_EQ(rig.model.Rytme().Bars, 3);
    EXPECT_EQ(rig.Buttons(), (std::vector<bool>{false, true, false, false, false}));
    EXPECT_EQ(rig.strip.FocusIndex, 1);
    EXPECT_EQ(rig.model.InstructionText, QStringLiteral("Press Start"));
    EXPECT_EQ(rig.model.LastScore, 0);
    EXPECT_FALSE(rig.model.Recording);
    EXPECT_EQ(rig.base.QuestionCount, 4U); // kept without a reset
    rig.model.ApplySetup(QuarterSetup(4, 3), true);
    EXPECT_EQ(rig.base.QuestionCount, 0U);
    EXPECT_TRUE(rig.Idle());
}

// The user starts in the first waiting bar: that bar is the rhythm's first; the bar marks move
// with the performance and the last bar ends it.
TEST(RytmeLaesModel, PerformanceStartedInTheFirstWaitingBarScoresFull)
{
    Rig rig;
    rig.Load("4 4 4 4 | 2 2 |");
    rig.effects.Run(ExerciseOperation::RepeatQuestion);
    EXPECT_EQ(rig.Buttons(), (std::vector<bool>{false, false, false, false, true}));
    EXPECT_EQ(rig.model.InstructionText, QStringLiteral("Start when ready"));
    EXPECT_EQ(rig.effects.questionsPut, 1);
    rig.TapRhythm(0);
    rig.To(3 * kBar);

    EXPECT_EQ(rig.receiver.codes, (Codes{29, 27, 26, 28}));
    EXPECT_EQ(rig.receiver.times, (Times{3 * kBeat, kBar, 2 * kBar, 2 * kBar}));
    EXPECT_EQ(rig.receiver.marks, (std::vector<int>{0, 2, 3, 0}));
    EXPECT_EQ(rig.Results(), (std::vector<std::int32_t>{kOn, kOn, kOn, kOn, kOn, kOn}));
    EXPECT_EQ(rig.model.LastScore, 100);
    EXPECT_EQ(rig.model.InstructionText, QStringLiteral("Perfect"));
    EXPECT_TRUE(rig.base.Answered);
    EXPECT_TRUE(rig.base.Passed);
    EXPECT_FALSE(rig.model.Recording);
    EXPECT_EQ(rig.feedback, std::vector<bool>{true});
    EXPECT_EQ(rig.Buttons(), (std::vector<bool>{true, true, true, true, false}));
    EXPECT_EQ(rig.strip.FocusIndex, 0);
    EXPECT_TRUE(rig.Idle());
}

// Without a tap the metronome goes on bar after bar and the recording restarts at every bar
// line; the first tap in the last beat of a waiting bar starts the performance at the bar line
// after it and counts as an early tap of the first note.
TEST(RytmeLaesModel, TapInTheLastBeatOfAWaitingBarStartsAtTheNextBarLine)
{
    Rig rig;
    rig.Load("4 4 4 4 | 2 2 |");
    rig.effects.Run(ExerciseOperation::RepeatQuestion);
    rig.To(2 * kBar);
    EXPECT_EQ(rig.model.InstructionText, QStringLiteral("Your turn"));
    EXPECT_EQ(rig.base.QuestionCount, 0U);

    const std::uint64_t start = 3 * kBar;
    rig.TapAt(start - 100); // after the code before the last beat
    for (std::uint64_t k = 1; k < 4; ++k)
        rig.TapAt(start + k * kBeat);
    rig.TapAt(start + kBar);
    rig.TapAt(start + kBar + 2 * kBeat);
    rig.To(start + 3 * kBar);

    EXPECT_EQ(rig.receiver.codes, (Codes{29, 27, 29, 27, 29, 27, 29, 27, 26, 28}));
    EXPECT_EQ(rig.receiver.times.back(), start + 2 * kBar);
    EXPECT_EQ(rig.receiver.marks, (std::vector<int>{0, 0, 0, 0, 0, 1, 1, 2, 3, 0}));
    // 100 ms early is past the dead zone of 41 ms: 59 ms of the 330 ms tolerance lost on one
    // note of six.
    EXPECT_EQ(rig.Results(), (std::vector<std::int32_t>{kEarly, kOn, kOn, kOn, kOn, kOn}));
    EXPECT_EQ(rig.model.LastScore, (10000 - 59 * 10000 / 330 / 6) / 100);
    EXPECT_EQ(rig.model.InstructionText, QStringLiteral("Nearly perfect"));
    EXPECT_EQ(rig.base.QuestionCount, 1U);
    EXPECT_EQ(rig.base.CorrectCount, rig.model.LastScore);
}

// A one-bar rhythm ends after the bar in which the first tap falls, or after the next bar when
// that tap falls in the last beat before a bar line.
TEST(RytmeLaesModel, OneBarRhythmEndsAfterTheBarOfTheFirstTap)
{
    struct Case
    {
        const char* name;
        std::uint64_t firstTap;
        std::uint64_t start; ///< the bar line the performance is judged from
        Codes codes;
    };
    const Case cases[] = {
        {"first tap in the second bar", kBar, kBar, {29, 27, 29, 27}},
        {"first tap just before the second bar", kBar - 30, kBar, {29, 27, 29, 27}},
        {"first tap in the middle of the third bar",
         2 * kBar + kBeat,
         2 * kBar,
         {29, 27, 29, 27, 29, 27}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.Load("4 4 4 4 |");
        rig.effects.Run(ExerciseOperation::RepeatQuestion);
        rig.TapAt(c.firstTap);
        for (std::uint64_t k = 1; k < 4; ++k) {
            if (c.start + k * kBeat > c.firstTap)
                rig.TapAt(c.start + k * kBeat);
        }
        rig.To(c.start + 3 * kBar);
        EXPECT_EQ(rig.receiver.codes, c.codes);
        EXPECT_EQ(rig.receiver.times.back(), c.start + kBar);
        EXPECT_TRUE(rig.base.Answered);
        EXPECT_EQ(rig.base.QuestionCount, 1U);
        EXPECT_TRUE(rig.Idle());
        const bool midBar = c.firstTap > c.start;
        EXPECT_EQ(rig.Results()[0], midBar ? kMissed : kOn);
    }
}

TEST(RytmeLaesModel, WithoutTapsTheMetronomeWaitsUntilStopped)
{
    Rig rig;
    rig.Load("4 4 4 4 | 2 2 |");
    rig.effects.Run(ExerciseOperation::RepeatQuestion);
    rig.To(20 * kBar);
    EXPECT_EQ(rig.receiver.codes.size(), 40U);
    EXPECT_EQ(rig.receiver.codes.back(), 27);
    EXPECT_EQ(rig.base.QuestionCount, 0U);
    EXPECT_TRUE(rig.model.Recording);
    rig.effects.Run(ExerciseOperation::StopPlaying);
    rig.To(30 * kBar);
    EXPECT_EQ(rig.receiver.codes.size(), 40U);
    EXPECT_EQ(rig.Buttons(), (std::vector<bool>{true, true, false, false, false}));
    EXPECT_TRUE(rig.model.InstructionText.isEmpty());
}

// The rhythm plays after a count-in with the bar marks following it; the last bar ends the
// playback without scoring.
TEST(RytmeLaesModel, PlayingTheRhythmMarksItsBarsAndScoresNothing)
{
    Rig rig;
    rig.Load("4 4 4 4 | 2 2 |");
    rig.effects.Run(ExerciseOperation::FourthButtonAction);
    EXPECT_TRUE(rig.model.PlayingBack);
    EXPECT_EQ(rig.model.InstructionText, QStringLiteral("The rhythm"));
    EXPECT_EQ(rig.Buttons(), (std::vector<bool>{false, false, false, false, true}));
    rig.To(kBar + kBar / 2);
    EXPECT_FALSE(rig.model.ScrollTimerOn);
    rig.To(5 * kBar);
    EXPECT_EQ(rig.receiver.codes, (Codes{21, 22, 22}));
    EXPECT_EQ(rig.receiver.marks, (std::vector<int>{1, 2, 3}));
    EXPECT_FALSE(rig.model.PlayingBack);
    EXPECT_FALSE(rig.model.Recording);
    EXPECT_EQ(rig.base.QuestionCount, 0U);
    EXPECT_FALSE(rig.base.Answered);
    EXPECT_EQ(rig.Buttons(), (std::vector<bool>{true, true, true, true, false}));
    EXPECT_TRUE(rig.model.InstructionText.isEmpty());
    // No performance was judged: there are no taps to hear.
    rig.effects.Run(ExerciseOperation::ThirdButtonAction);
    EXPECT_FALSE(rig.model.PlayingBack);
    EXPECT_TRUE(rig.Idle());
}

TEST(RytmeLaesModel, StoppingAPlaybackKeepsTheTapsStoppingAPerformanceClearsThem)
{
    Rig rig;
    rig.Load("4 4 4 4 | 2 2 |");
    rig.effects.Run(ExerciseOperation::RepeatQuestion);
    rig.TapRhythm(0);
    rig.To(3 * kBar);
    ASSERT_EQ(rig.model.Rytme().TapCount, 6);

    rig.effects.Run(ExerciseOperation::ThirdButtonAction);
    EXPECT_EQ(rig.model.InstructionText, QStringLiteral("Your taps"));
    EXPECT_EQ(rig.Buttons(), (std::vector<bool>{false, false, false, false, true}));
    rig.To(rig.clock.NowUs() / 1000 + kBar + kBeat);
    EXPECT_EQ(rig.model.MarkedBar[0], 1);
    rig.effects.Run(ExerciseOperation::StopPlaying);
    EXPECT_EQ(rig.model.Rytme().TapCount, 6);
    EXPECT_EQ(rig.model.MarkedBar[0], 0);
    EXPECT_EQ(rig.Buttons(), (std::vector<bool>{true, true, true, true, false}));
    EXPECT_TRUE(rig.Idle());

    // The kept taps play again to their end.
    const std::size_t before = rig.receiver.codes.size();
    rig.effects.Run(ExerciseOperation::ThirdButtonAction);
    rig.To(rig.clock.NowUs() / 1000 + 5 * kBar);
    EXPECT_EQ(Codes(rig.receiver.codes.begin() + static_cast<std::ptrdiff_t>(before),
                    rig.receiver.codes.end()),
              (Codes{21, 22, 22}));
    EXPECT_EQ(rig.model.Rytme().TapCount, 6);

    rig.effects.Run(ExerciseOperation::RepeatQuestion);
    rig.TapAt(rig.clock.NowUs() / 1000 + 10);
    rig.effects.Run(ExerciseOperation::StopPlaying);
    EXPECT_EQ(rig.model.Rytme().TapCount, 0);
    EXPECT_FALSE(rig.model.Recording);
    rig.TapAt(rig.clock.NowUs() / 1000 + 10); // after the stop: not recorded
    EXPECT_EQ(rig.model.Rytme().TapCount, 0);
    EXPECT_EQ(rig.Buttons(), (std::vector<bool>{true, true, false, false, false}));
    EXPECT_EQ(rig.strip.FocusIndex, 1);
    EXPECT_EQ(rig.base.QuestionCount, 1U);
}

// After a failed performance the automatic question offers the same rhythm again; after a
// passed one it makes a new rhythm. Either way a performance starts.
TEST(RytmeLaesModel, AutomaticQuestionKeepsAFailedRhythmAndRenewsAPassedOne)
{
    Rig rig;
    rig.settings.AutoNewQuestion = true;
    rig.model.SetSettings(rig.settings);
    RhythmSetup setup = QuarterSetup(4, 2);
    rig.model.ApplySetup(setup, true);
    const auto first = Shape(rig.model.Rytme().List(0));

    rig.effects.Run(ExerciseOperation::RepeatQuestion);
    rig.TapAt(0); // one note only
    rig.To(3 * kBar);
    ASSERT_TRUE(rig.base.Answered);
    EXPECT_FALSE(rig.base.Passed);
    EXPECT_TRUE(rig.autoTimer);
    EXPECT_EQ(rig.strip.FocusIndex, 1);

    rig.effects.Run(ExerciseOperation::AutoNewQuestTimerTimer);
    EXPECT_FALSE(rig.autoTimer);
    EXPECT_TRUE(rig.model.Recording);
    EXPECT_EQ(Shape(rig.model.Rytme().List(0)), first);

    const std::uint64_t start = rig.clock.NowUs() / 1000;
    rig.TapRhythm(start);
    rig.To(start + 3 * kBar);
    ASSERT_EQ(rig.base.QuestionCount, 2U);
    EXPECT_TRUE(rig.base.Passed);
    EXPECT_EQ(rig.model.LastScore, 100);

    rig.effects.Run(ExerciseOperation::AutoNewQuestTimerTimer);
    EXPECT_TRUE(rig.model.Recording);
    EXPECT_NE(Shape(rig.model.Rytme().List(0)), first);
    EXPECT_EQ(rig.effects.questionsPut, 3);
}

// The sustain pedal starts what the automatic question would when nothing runs, else stops.
TEST(RytmeLaesModel, SustainPedalStartsOrStops)
{
    Rig rig;
    rig.Load("4 4 4 4 |");
    const std::uint32_t pedal = test::Msg(0xB3, 64, 127);
    rig.effects.Run(ExerciseOperation::MidiInMessage, pedal);
    EXPECT_TRUE(rig.model.Recording);
    EXPECT_TRUE(rig.strip.ButtonEnabled[4]);
    rig.effects.Run(ExerciseOperation::MidiInMessage, pedal);
    EXPECT_FALSE(rig.model.Recording);
    EXPECT_FALSE(rig.strip.ButtonEnabled[4]);
    EXPECT_TRUE(rig.Idle());
}

TEST(RytmeLaesModel, CountersAddTheScoresOfEveryPerformance)
{
    Rig rig;
    rig.Load("4 4 4 4 |");
    rig.effects.Run(ExerciseOperation::RepeatQuestion);
    rig.TapRhythm(0);
    rig.To(2 * kBar);
    EXPECT_EQ(rig.model.LastScore, 100);
    rig.effects.Run(ExerciseOperation::RepeatQuestion);
    std::uint64_t start = rig.clock.NowUs() / 1000;
    rig.TapAt(start);
    rig.TapAt(start + kBeat);
    rig.To(start + 3 * kBar);
    EXPECT_EQ(rig.Results(), (std::vector<std::int32_t>{kOn, kOn, kMissed, kMissed}));
    EXPECT_EQ(rig.model.LastScore, 50);
    EXPECT_EQ(rig.base.QuestionCount, 2U);
    EXPECT_EQ(rig.base.CorrectCount, 150U);
    EXPECT_EQ(rig.model.Score().Gauge, 75);
    EXPECT_EQ(rig.model.Score().Label, QStringLiteral("2. Score 50 %"));
    EXPECT_EQ(rig.feedback, (std::vector<bool>{true, false}));

    rig.effects.Run(ExerciseOperation::ResetResults);
    EXPECT_EQ(rig.base.QuestionCount, 0U);
    EXPECT_EQ(rig.model.InstructionText, QStringLiteral("Press Start"));
    EXPECT_EQ(rig.model.Score().Gauge, 100);
}

// Rests are not tapped, even where the performance begins with one.
TEST(RytmeLaesModel, RestsAreNeverTapped)
{
    Rig rig;
    rig.Load("r4 4 r4 4 | 1 |");
    rig.effects.Run(ExerciseOperation::RepeatQuestion);
    rig.TapAt(kBeat);
    rig.TapAt(3 * kBeat);
    rig.TapAt(kBar);
    rig.To(4 * kBar);
    EXPECT_EQ(rig.Results(), (std::vector<std::int32_t>{kSilent, kOn, kSilent, kOn, kOn}));
    EXPECT_EQ(rig.model.LastScore, 100);
}

// Taps before the start and after the end change nothing, a flood of taps is judged without
// harm, and a setup that makes no rhythm gives its message once and never plays or scores.
TEST(RytmeLaesModel, TapsOutsideAPerformanceAndFloodsAreHarmless)
{
    Rig rig;
    rig.Load("4 4 4 4 |");
    rig.TapAt(5);
    EXPECT_EQ(rig.model.Rytme().TapCount, 0);
    rig.effects.Run(ExerciseOperation::RepeatQuestion);
    const std::uint64_t start = rig.clock.NowUs() / 1000;
    rig.To(start + 1);
    for (int k = 0; k < 3 * kMaxTaps; ++k) {
        rig.model.TapKey(true);
        rig.model.TapKey(false);
    }
    EXPECT_EQ(rig.model.Rytme().TapCount, kMaxTaps);
    rig.To(start + 3 * kBar);
    ASSERT_EQ(rig.base.QuestionCount, 1U);
    EXPECT_EQ(rig.model.LastScore, 0);
    rig.TapAt(start + 3 * kBar + 10);
    EXPECT_EQ(rig.model.Rytme().TapCount, kMaxTaps);
    EXPECT_EQ(rig.base.QuestionCount, 1U);
}

TEST(RytmeLaesModel, SetupWithoutARhythmGivesItsMessageOnceAndNeverPlays)
{
    Rig rig;
    RhythmSetup setup = QuarterSetup(2, 2); // 2/4 ...
    setup.NoteValues = {1, 0, 0, 0, 0, 0};  // ... with whole notes only
    rig.model.ApplySetup(setup, true);
    EXPECT_EQ(rig.prompts.Count(QStringLiteral("message")), 1);
    EXPECT_EQ(rig.model.Rytme().Count(0), 0);
    EXPECT_FALSE(rig.model.CanPerform());

    rig.effects.Run(ExerciseOperation::RepeatQuestion);
    rig.effects.Run(ExerciseOperation::FourthButtonAction);
    rig.effects.Run(ExerciseOperation::ThirdButtonAction);
    rig.effects.Run(ExerciseOperation::AutoNewQuestTimerTimer);
    rig.effects.Run(ExerciseOperation::MidiInMessage, test::Msg(0xB0, 64, 127));
    rig.model.TapKey(true);
    rig.model.TapKey(false);
    rig.To(10 * kBar);
    EXPECT_TRUE(rig.receiver.codes.empty());
    EXPECT_TRUE(rig.Idle());
    EXPECT_FALSE(rig.model.Recording);
    EXPECT_EQ(rig.base.QuestionCount, 0U);
    EXPECT_EQ(rig.prompts.Count(QStringLiteral("message")), 1);
    EXPECT_TRUE(rig.strip.ButtonEnabled[1]);
    EXPECT_FALSE(rig.strip.ButtonEnabled[4]);

    // A rhythm of rests only has nothing to tap either.
    rig.Load("r1 |");
    EXPECT_FALSE(rig.model.CanPerform());
    rig.effects.Run(ExerciseOperation::RepeatQuestion);
    EXPECT_FALSE(rig.model.Recording);
    EXPECT_TRUE(rig.Idle());
}

// While a performance plays on, the notation scrolls by 2 pixels a tick until the line of the
// current bar is at the top, never past the view's limit.
TEST(RytmeLaesModel, ScrollingFollowsTheCurrentBarsLine)
{
    Rig rig;
    rig.Load("4 4 4 4 | 4 4 4 4 | 4 4 4 4 | 4 4 4 4 |");
    rig.model.Rytme().Draw(0, 200, 0); // a narrow box: a line or so per bar
    const auto& lines = rig.model.Rytme().BarLine[0];
    ASSERT_GT(lines[3], lines[1]);
    rig.effects.Run(ExerciseOperation::RepeatQuestion);
    rig.TapAt(0);
    rig.To(kBar);
    rig.To(2 * kBar);
    ASSERT_EQ(rig.model.BarCount, 2);
    ASSERT_TRUE(rig.model.ScrollTimerOn);
    int ticks = 0;
    while (rig.model.ScrollTimerOn && ticks < 1000) {
        rig.model.ScrollTimerTick();
        ++ticks;
    }
    EXPECT_EQ(rig.model.ScrollY, lines[3] * kRhythmLineHeight);

    rig.model.ScrollY = 0;
    rig.model.ScrollLimit = 10;
    rig.model.ScrollTimerOn = true;
    for (int k = 0; k < 100 && rig.model.ScrollTimerOn; ++k)
        rig.model.ScrollTimerTick();
    EXPECT_FALSE(rig.model.ScrollTimerOn);
    EXPECT_EQ(rig.model.ScrollY, 10);
    rig.effects.Run(ExerciseOperation::StopPlaying);
    EXPECT_EQ(rig.model.ScrollY, 0);
}

} // namespace
} // namespace pv
