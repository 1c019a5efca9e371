// Rhythm imitation played by the real sequencer on a virtual clock, with taps at scripted times.
// At tempo 90 a tick lasts a millisecond: a 4/4 bar is 2688 ms, a quarter 672 ms.
#include "exercises/rhythmexercise/RytmeImitModel.h"
#include "music/sequencer/MidiOut.h"
#include "music/strings/UIStrings.h"
#include "support/EffectsRecorder.h"
#include "support/FakeClock.h"
#include "support/ScriptedPrompts.h"
#include "support/ScriptedRandom.h"
#include "support/SequencerFakes.h"

#include <vector>

#include <gtest/gtest.h>

namespace pv {
namespace {

constexpr std::int64_t kBar = 2688;
constexpr std::int64_t kQuarter = 672;
// Count-in and two bars of demonstration: the user's turn starts here.
constexpr std::int64_t kTurn = 3 * kBar;

/// Hands the imitation's codes to the model, as the window does.
class ModelReceiver final : public QObject
{
public:
    ModelReceiver(RytmeImitModel& model, test::EffectsRecorder& effects)
        : m_model(model), m_effects(effects)
    {
    }
    bool event(QEvent* e) override
    {
        if (e->type() == SequencerNotifyEvent::Type()) {
            const int code = static_cast<SequencerNotifyEvent*>(e)->Code();
            codes.push_back(code);
            m_model.SequencerNotify(code);
            m_effects.Settle();
            return true;
        }
        return QObject::event(e);
    }
    std::vector<int> codes;

private:
    RytmeImitModel& m_model;
    test::EffectsRecorder& m_effects;
};

class Targets final : public INotifyTargets
{
public:
    explicit Targets(QObject& imitation) : m_imitation(imitation) {}
    bool SettingsDialogListening() const override { return false; }
    int CurrentExerciseKind() const override { return 4; }
    QObject* Receiver(NotifyReceiver receiver, int) const override
    {
        return receiver == NotifyReceiver::RhythmImitation ? &m_imitation : nullptr;
    }

private:
    QObject& m_imitation;
};

/// 4/4, quarters only: every rhythm is a quarter on every beat.
RhythmSetup Quarters(int bars)
{
    RhythmSetup s;
    s.TimeSignatures[3] = 1;
    s.NoteValues[2] = 1;
    s.Bars = static_cast<std::uint8_t>(bars);
    s.Tempo = 90;
    s.RhythmEvaluation = 1;
    return s;
}

struct Feedback
{
    bool passed;
    std::uint8_t score;
    std::uint32_t questions;
    std::uint32_t correct;
};

struct Rig
{
    explicit Rig(const RhythmSetup& setup = Quarters(2), RhythmExerciseSettings settings = {})
    {
        strings.StrRhythmText1 = QStringLiteral("Press New question.");
        strings.StrRhythmText2 = QStringLiteral("Listen...");
        strings.StrRhythmText4 = QStringLiteral("Your taps.");
        strings.StrRhythmVerdict1 = QStringLiteral("Perfect!");
        strings.StrRhythmVerdict2 = QStringLiteral("Well done!");
        strings.StrRhythmVerdict3 = QStringLiteral("Nearly.");
        strings.StrRhythmVerdict4 = QStringLiteral("No note was hit.");
        strings.StrRhythmVerdictFormat = QStringLiteral("%d of %d.");
        strings.StrRhythmSetupMessage = QStringLiteral("This setup cannot make a rhythm.");
        midiOut.SetNotifyTargets(&targets);
        EXPECT_TRUE(midiOut.ChangeDevice(1));
        model.AttachPlayback(&midiOut, clock);
        model.SetSettings(settings);
        effects.onAnswer = [this](bool passed) {
            feedback.push_back({passed, model.LastScore, base.QuestionCount, base.CorrectCount});
        };
        model.ApplySetup(setup, true);
    }

    std::int64_t NowMs() const { return static_cast<std::int64_t>(clock.NowUs() / 1000U); }
    void RunTo(std::int64_t ms)
    {
        test::DriveTo(sequencer, clock, static_cast<std::uint64_t>(start + ms) * 1000U);
    }
    /// A Space press and release at ms after the question started.
    void TapAt(std::int64_t ms)
    {
        RunTo(ms);
        model.TapKey(true);
        model.TapKey(false);
    }
    void Ask()
    {
        start = NowMs();
        effects.Run(ExerciseOperation::NewQuestion);
    }
    /// Clap note-ons (any velocity: the accents differ) sent in [from, to) after the start.
    int ClapsSentBetween(std::int64_t from, std::int64_t to) const
    {
        int claps = 0;
        for (const test::SentMessage& m : devices.sink.sent) {
            const auto ms = static_cast<std::int64_t>(m.ms) - start;
            const bool clap = (m.packed & 0xFFFFU) == test::Msg(0x99, 39) && (m.packed >> 16) > 0;
            if (clap && ms >= from && ms < to)
                ++claps;
        }
        return claps;
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
    RytmeImitModel model{base, strip, strings, random, prompts};
    test::EffectsRecorder effects{model};
    ModelReceiver receiver{model, effects};
    Targets targets{receiver};
    std::vector<Feedback> feedback;
    std::int64_t start = 0;
};

std::vector<std::int32_t> Results(const RytmeImitModel& model)
{
    std::vector<std::int32_t> results;
    for (const RhythmNote& note : model.Rytme().List(0))
        results.push_back(note.Result);
    return results;
}

constexpr std::int32_t kOn = RhythmResult::OnTime;
constexpr std::int32_t kEarly = RhythmResult::Early;
constexpr std::int32_t kMissed = RhythmResult::Missed;

// The demonstration, the user's turn, the attempt over the rhythm's two bars and its score,
// for taps on time and for taps with one note early or one left out. The attempt starts in the
// first waiting bar because the first tap falls in it; it ends two bars later.
TEST(RytmeImitModel, AttemptIsJudgedAsTheEvaluationSays)
{
    struct Case
    {
        const char* name;
        std::vector<std::int64_t> offsets; // per quarter of the attempt, -1: no tap
        std::uint8_t score;
        std::vector<std::int32_t> results;
        QString verdict;
    };
    const std::vector<Case> cases = {
        {"on time", {0, 0, 0, 0, 0, 0, 0, 0}, 100, std::vector<std::int32_t>(8, kOn), "Perfect!"},
        // 150 ms early: (150 - 41) / 330 of a note lost over eight notes.
        {"one early",
         {0, 0, -150, 0, 0, 0, 0, 0},
         95,
         {kOn, kOn, kEarly, kOn, kOn, kOn, kOn, kOn},
         "Well done!"},
        // A missed note costs a whole note: 7/8 of the score is left.
        {"one left out",
         {0, 0, 0, 0, 0, -1, 0, 0},
         87,
         {kOn, kOn, kOn, kOn, kOn, kMissed, kOn, kOn},
         "7 of 8."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        ASSERT_EQ(rig.model.Rytme().Count(0), 8);
        rig.Ask();
        EXPECT_EQ(rig.model.InstructionText, QStringLiteral("Listen..."));
        EXPECT_EQ(rig.model.Phase, 1);
        EXPECT_EQ(rig.effects.questionsPut, 1);
        EXPECT_EQ(rig.strip.ButtonEnabled, (std::array<bool, 5>{false, false, false, false, true}));
        rig.RunTo(kBar);
        EXPECT_EQ(rig.model.InstructionText, rig.model.Texts.Playing);
        EXPECT_EQ(rig.model.Phase, 2);
        EXPECT_EQ(rig.model.MarkedBar[0], 1);
        rig.RunTo(kTurn);
        EXPECT_EQ(rig.model.InstructionText, rig.model.Texts.Turn);
        EXPECT_EQ(rig.model.Phase, 4);
        EXPECT_EQ(rig.ClapsSentBetween(kBar, kTurn), 8); // the rhythm was clapped
        for (std::size_t k = 0; k < c.offsets.size(); ++k) {
            if (c.offsets[k] != -1)
                rig.TapAt(kTurn + static_cast<std::int64_t>(k) * kQuarter + c.offsets[k]);
        }
        rig.RunTo(kTurn + 2 * kBar - 1);
        EXPECT_TRUE(rig.feedback.empty());
        EXPECT_TRUE(rig.model.Recording);
        rig.RunTo(kTurn + 2 * kBar);
        ASSERT_EQ(rig.feedback.size(), 1U);
        EXPECT_EQ(rig.feedback[0].score, c.score);
        EXPECT_EQ(rig.feedback[0].passed, c.score >= 80);
        EXPECT_EQ(rig.feedback[0].questions, 1U);
        EXPECT_EQ(rig.feedback[0].correct, c.score);
        EXPECT_EQ(Results(rig.model), c.results);
        EXPECT_EQ(rig.model.InstructionText, c.verdict);
        // Without the automatic question the exercise stops: the taps can be played back and
        // the notation shown.
        EXPECT_FALSE(rig.model.Recording);
        EXPECT_TRUE(rig.base.Answered);
        EXPECT_EQ(rig.strip.ButtonEnabled, (std::array<bool, 5>{true, true, true, true, false}));
        EXPECT_EQ(rig.model.Score().Label.left(3), QStringLiteral("1. "));
        EXPECT_EQ(rig.model.Score().Gauge, c.score);
        // Nothing more comes: no second judgement, and later taps are not recorded.
        const int taps = rig.model.Rytme().TapCount;
        rig.TapAt(kTurn + 3 * kBar);
        rig.RunTo(kTurn + 8 * kBar);
        EXPECT_EQ(rig.feedback.size(), 1U);
        EXPECT_EQ(rig.model.Rytme().TapCount, taps);
    }
}

// Taps made along with the demonstration are no attempt: they are cleared at the user's turn
// and neither start the attempt early nor count as surplus.
TEST(RytmeImitModel, TapsDuringTheDemonstrationAreClearedAtTheTurn)
{
    Rig rig;
    rig.Ask();
    rig.TapAt(kBar + 10);
    rig.TapAt(kBar + kQuarter + 10);
    rig.TapAt(2 * kBar + 5);
    rig.RunTo(kTurn + kBar); // a waiting bar without a tap: no attempt started yet
    EXPECT_TRUE(rig.feedback.empty());
    const std::int64_t attempt = kTurn + kBar;
    for (int k = 0; k < 8; ++k)
        rig.TapAt(attempt + k * kQuarter);
    rig.RunTo(attempt + 2 * kBar);
    ASSERT_EQ(rig.feedback.size(), 1U);
    EXPECT_EQ(rig.feedback[0].score, 100);
}

// After four bars without a tap the rhythm is clapped again without a count-in, and waiting
// starts over; an attempt after it is judged as usual.
TEST(RytmeImitModel, FourIdleBarsReplayTheRhythm)
{
    Rig rig;
    rig.Ask();
    rig.RunTo(kTurn + 3 * kBar + 3 * kQuarter); // the fourth waiting bar's last beat
    EXPECT_EQ(rig.model.InstructionText, rig.model.Texts.Playing);
    EXPECT_EQ(rig.model.Phase, 1);
    EXPECT_EQ(rig.model.BarCount, 0);
    EXPECT_EQ(rig.ClapsSentBetween(kTurn, kTurn + 4 * kBar), 0);
    const std::int64_t replay = kTurn + 4 * kBar;
    rig.RunTo(replay + 2 * kBar);
    EXPECT_EQ(rig.ClapsSentBetween(replay, replay + 2 * kBar), 8);
    EXPECT_EQ(rig.model.InstructionText, rig.model.Texts.Turn);
    const std::int64_t attempt = replay + 2 * kBar;
    for (int k = 0; k < 8; ++k)
        rig.TapAt(attempt + k * kQuarter);
    rig.RunTo(attempt + 2 * kBar);
    ASSERT_EQ(rig.feedback.size(), 1U);
    EXPECT_EQ(rig.feedback[0].score, 100);
}

// A first tap in the last beat before a bar line, for a rhythm that starts with a note: the
// attempt starts at that bar line and the tap is an early tap of the first note.
TEST(RytmeImitModel, TapJustBeforeABarLineStartsTheAttemptThere)
{
    Rig rig;
    rig.Ask();
    const std::int64_t barLine = kTurn + kBar;
    rig.TapAt(barLine - 100);
    for (int k = 1; k < 8; ++k)
        rig.TapAt(barLine + k * kQuarter);
    rig.RunTo(barLine + 2 * kBar - 1);
    EXPECT_TRUE(rig.feedback.empty());
    rig.RunTo(barLine + 2 * kBar);
    ASSERT_EQ(rig.feedback.size(), 1U);
    // 100 ms early: (100 - 41) / 330 of one note of eight lost.
    EXPECT_EQ(rig.feedback[0].score, 97);
    EXPECT_EQ(Results(rig.model),
              (std::vector<std::int32_t>{kEarly, kOn, kOn, kOn, kOn, kOn, kOn, kOn}));
}

// A one-bar rhythm: nothing further is queued, the attempt ends with the bar it started in.
TEST(RytmeImitModel, OneBarRhythmEndsWithTheBarItStartedIn)
{
    Rig rig(Quarters(1));
    rig.Ask();
    const std::int64_t turn = 2 * kBar;
    rig.RunTo(turn);
    EXPECT_EQ(rig.model.InstructionText, rig.model.Texts.Turn);
    for (int k = 0; k < 4; ++k)
        rig.TapAt(turn + k * kQuarter);
    rig.RunTo(turn + kBar);
    ASSERT_EQ(rig.feedback.size(), 1U);
    EXPECT_EQ(rig.feedback[0].score, 100);
}

// With the automatic question: a pass brings a new rhythm at once, a failure plays the same
// rhythm again and, when the setup says so, shows its notation with the results.
TEST(RytmeImitModel, AutomaticQuestionAfterPassAndFailure)
{
    RhythmExerciseSettings settings;
    settings.AutoNewQuestion = true;
    RhythmSetup setup = Quarters(1);
    setup.ShowSecondTime = 1;
    for (const bool pass : {true, false}) {
        SCOPED_TRACE(pass ? "pass" : "fail");
        Rig rig(setup, settings);
        rig.Ask();
        const std::int64_t turn = 2 * kBar;
        for (int k = 0; k < (pass ? 4 : 1); ++k)
            rig.TapAt(turn + k * kQuarter);
        rig.RunTo(turn + kBar);
        ASSERT_EQ(rig.feedback.size(), 1U);
        EXPECT_EQ(rig.feedback[0].passed, pass);
        // Playing again: the next demonstration's count-in is under way.
        EXPECT_TRUE(rig.model.Recording);
        EXPECT_EQ(rig.model.Phase, 1);
        EXPECT_EQ(rig.effects.questionsPut, 2);
        EXPECT_EQ(rig.model.NotationShown, !pass);
        EXPECT_EQ(rig.model.LastScore, pass ? 100 : rig.feedback[0].score);
        EXPECT_EQ(rig.strip.ButtonEnabled, (std::array<bool, 5>{false, false, false, false, true}));
        rig.RunTo(turn + 2 * kBar);
        EXPECT_EQ(rig.model.InstructionText, rig.model.Texts.Playing);
    }
}

// The taps are played back over a count-in and the rhythm's bars; the playback ends by itself
// and leaves the exercise idle, without a second judgement.
TEST(RytmeImitModel, PlayingTheTapsBackEndsByItself)
{
    Rig rig;
    rig.Ask();
    for (int k = 0; k < 8; ++k)
        rig.TapAt(kTurn + k * kQuarter);
    rig.RunTo(kTurn + 2 * kBar);
    ASSERT_EQ(rig.feedback.size(), 1U);
    const std::int64_t back = rig.NowMs() - rig.start;
    rig.effects.Run(ExerciseOperation::ThirdButtonAction);
    EXPECT_TRUE(rig.model.PlayingTaps);
    EXPECT_FALSE(rig.model.StripShown);
    EXPECT_EQ(rig.model.InstructionText, QStringLiteral("Your taps."));
    EXPECT_EQ(rig.strip.ButtonEnabled, (std::array<bool, 5>{false, false, false, true, true}));
    rig.RunTo(back + 3 * kBar);
    EXPECT_EQ(rig.ClapsSentBetween(back, back + 3 * kBar), 8);
    EXPECT_FALSE(rig.model.PlayingTaps);
    EXPECT_TRUE(rig.model.StripShown);
    EXPECT_EQ(rig.feedback.size(), 1U);
    EXPECT_EQ(rig.strip.ButtonEnabled, (std::array<bool, 5>{true, true, true, true, false}));
}

// Stopping in the middle: nothing more is played or judged, taps are not recorded; the pedal
// stops while a question runs and asks a new one when idle.
TEST(RytmeImitModel, StopAndPedal)
{
    Rig rig;
    rig.Ask();
    rig.TapAt(kTurn);
    rig.effects.Run(ExerciseOperation::MidiInMessage,
                    test::Msg(0xB3, 64, 127)); // the pedal while playing stops
    EXPECT_FALSE(rig.model.Recording);
    EXPECT_EQ(rig.model.Phase, 0);
    EXPECT_EQ(rig.strip.ButtonEnabled, (std::array<bool, 5>{true, true, false, true, false}));
    rig.TapAt(kTurn + kQuarter);
    rig.RunTo(kTurn + 6 * kBar);
    EXPECT_TRUE(rig.feedback.empty());
    EXPECT_EQ(rig.base.QuestionCount, 0U);
    rig.effects.Run(ExerciseOperation::MidiInMessage,
                    test::Msg(0xB0, 64, 127)); // idle: a new question
    EXPECT_TRUE(rig.model.Recording);
    EXPECT_EQ(rig.effects.questionsPut, 2);
}

// A setup that cannot make a rhythm (2/4 with whole notes only): its message once per attempt
// to make one, nothing played, taps not recorded, nothing scored, and the window stays usable.
TEST(RytmeImitModel, SetupThatCannotMakeARhythm)
{
    RhythmSetup setup = Quarters(2);
    setup.TimeSignatures = {};
    setup.TimeSignatures[1] = 1; // 2/4
    setup.NoteValues = {};
    setup.NoteValues[0] = 1; // whole notes only
    Rig rig(setup);
    EXPECT_EQ(rig.prompts.asked.size(), 1U);
    EXPECT_EQ(rig.model.Rytme().Count(0), 0);
    const std::size_t sentBefore = rig.devices.sink.sent.size();
    rig.Ask();
    EXPECT_EQ(rig.prompts.asked.size(), 2U);
    EXPECT_FALSE(rig.model.Recording);
    EXPECT_EQ(rig.effects.questionsPut, 0);
    EXPECT_EQ(rig.strip.ButtonEnabled, (std::array<bool, 5>{true, false, false, false, false}));
    rig.TapAt(10);
    rig.effects.Run(ExerciseOperation::MidiInMessage, test::Msg(0x90, 60, 100));
    rig.effects.Run(ExerciseOperation::ThirdButtonAction);
    rig.RunTo(20 * kBar);
    // Only the echoes of the two taps sounded: no rhythm and no click.
    std::vector<std::uint32_t> notesOn;
    for (std::size_t i = sentBefore; i < rig.devices.sink.sent.size(); ++i) {
        const std::uint32_t packed = rig.devices.sink.sent[i].packed;
        if ((packed & 0xF0U) == 0x90U && (packed >> 16) > 0)
            notesOn.push_back(packed);
    }
    EXPECT_EQ(notesOn, (std::vector<std::uint32_t>(2, test::Msg(0x99, 39, 110))));
    EXPECT_EQ(rig.model.Rytme().TapCount, 0);
    EXPECT_TRUE(rig.feedback.empty());
    EXPECT_EQ(rig.base.QuestionCount, 0U);
    EXPECT_EQ(rig.model.Score().Gauge, 100);

    // A good setup afterwards works as usual.
    rig.model.ApplySetup(Quarters(1), false);
    rig.Ask();
    EXPECT_TRUE(rig.model.Recording);
}

// Reset clears the counters; a new setup with reset too, and the instruction returns.
TEST(RytmeImitModel, ResetClearsTheCounters)
{
    Rig rig(Quarters(1));
    rig.Ask();
    for (int k = 0; k < 4; ++k)
        rig.TapAt(2 * kBar + k * kQuarter);
    rig.RunTo(3 * kBar);
    ASSERT_EQ(rig.base.QuestionCount, 1U);
    rig.effects.Run(ExerciseOperation::ResetResults);
    EXPECT_EQ(rig.base.QuestionCount, 0U);
    EXPECT_EQ(rig.base.CorrectCount, 0U);
    EXPECT_EQ(rig.model.InstructionText, QStringLiteral("Press New question."));
    EXPECT_EQ(rig.model.Score().Gauge, 100);
    EXPECT_TRUE(rig.model.Score().Label.isEmpty());
}

// Taps before the question count for nothing; a flood of taps during an attempt is kept to
// the engine's bound and judged as surplus, and the attempt still ends on time.
TEST(RytmeImitModel, TapsBeforeTheStartAndAFloodOfTaps)
{
    Rig rig(Quarters(1));
    rig.model.TapKey(true);
    rig.model.TapKey(false);
    rig.model.MicTap(5);
    EXPECT_EQ(rig.model.Rytme().TapCount, 0);
    rig.Ask();
    const std::int64_t turn = 2 * kBar;
    rig.RunTo(turn);
    for (int k = 0; k < 3 * kMaxTaps; ++k)
        rig.effects.Run(ExerciseOperation::MidiInMessage, test::Msg(0x90, 60, 100));
    EXPECT_EQ(rig.model.Rytme().TapCount, kMaxTaps);
    rig.RunTo(turn + kBar);
    ASSERT_EQ(rig.feedback.size(), 1U);
    EXPECT_EQ(rig.feedback[0].score, 0);
    EXPECT_FALSE(rig.feedback[0].passed);
}

} // namespace
} // namespace pv
