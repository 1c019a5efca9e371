// Rhythm error detection without a screen: questions with changes, both rhythms played by the
// real sequencer engine on a virtual clock, marks made by clicks and the check's score.
#include "exercises/rhythm/RhythmChecks.h"
#include "exercises/rhythmexercise/RytmeKorrModel.h"
#include "music/sequencer/MidiOut.h"
#include "music/strings/UIStrings.h"
#include "support/EffectsRecorder.h"
#include "support/FakeClock.h"
#include "support/ScriptedPrompts.h"
#include "support/SequencerFakes.h"

#include <set>
#include <vector>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::kQuarter;
using test::kWhole;
using test::MakeSetup;
using test::Msg;
using test::SetupOptions;

constexpr std::uint32_t kClapOn = Msg(0x99, 39, 110) & 0xFFFFU; // any velocity
// 4/4 at tempo 90: a tick lasts a millisecond and a bar 2688 of them.
constexpr std::uint64_t kBarMs = 2688;

/// Hands the codes of this exercise to the model as its window would.
class Forwarder final : public QObject
{
public:
    Forwarder(RytmeKorrModel& model, test::EffectsRecorder& effects)
        : m_model(model), m_effects(effects)
    {
    }
    bool event(QEvent* e) override
    {
        if (e->type() != SequencerNotifyEvent::Type())
            return QObject::event(e);
        const int code = static_cast<SequencerNotifyEvent*>(e)->Code();
        codes.push_back(code);
        m_model.SequencerNotify(code);
        m_effects.Settle();
        return true;
    }
    std::vector<int> codes;

private:
    RytmeKorrModel& m_model;
    test::EffectsRecorder& m_effects;
};

class Targets final : public INotifyTargets
{
public:
    explicit Targets(QObject& receiver) : m_receiver(receiver) {}
    bool SettingsDialogListening() const override { return false; }
    int CurrentExerciseKind() const override { return 6; }
    QObject* Receiver(NotifyReceiver receiver, int) const override
    {
        return receiver == NotifyReceiver::RhythmErrorDetection ? &m_receiver : nullptr;
    }

private:
    QObject& m_receiver;
};

struct Rig
{
    explicit Rig(std::uint32_t seed = 7) : random(seed)
    {
        strings.StrRhythmText2 = QStringLiteral("Listen...");
        strings.StrScore = QStringLiteral("Right");
        strings.StrMessageTitle = QStringLiteral("Error");
        strings.StrRhythmSetupMessage = QStringLiteral("No rhythm fits.");
        midiOut.SetNotifyTargets(&targets);
        EXPECT_TRUE(midiOut.ChangeDevice(1));
        model.AttachPlayback(&midiOut, clock);
        effects.onAutoTimer = [this](bool on) { autoTimer.push_back(on); };
        effects.onAnswer = [this](bool passed) { answers.push_back(passed); };
        devices.sink.sent.clear();
    }

    /// Quarter notes only in 4/4: every rhythm is a row of quarters and only ties and splits
    /// can change it.
    static RhythmSetup Quarters(int bars)
    {
        RhythmSetup setup = MakeSetup({.rows = {4}, .values = {kQuarter}, .bars = bars});
        setup.Corrections = 1;
        return setup;
    }

    /// Drives the sequencer to ms after the last call's end and gives the clap onsets since
    /// then, from that start.
    std::vector<std::uint64_t> Claps(std::uint64_t ms)
    {
        const std::uint64_t startMs = clock.NowUs() / 1000U;
        test::DriveTo(sequencer, clock, clock.NowUs() + ms * 1000U);
        std::vector<std::uint64_t> onsets;
        for (const test::SentMessage& m : devices.sink.sent)
            if ((m.packed & 0xFFFFU) == kClapOn && ((m.packed >> 16) & 0xFFU) > 0)
                onsets.push_back(m.ms - startMs);
        devices.sink.sent.clear();
        return onsets;
    }

    /// Clicks the middle of note j of the written rhythm.
    bool Click(int j)
    {
        const RhythmNote& note = model.Rytme().Note(0, j);
        return model.ClickWritten(QPoint(note.X + 3, note.Line * kRhythmLineHeight + 40));
    }

    int Shown(const QString& kind) const { return prompts.Count(kind); }

    test::FakeClock clock;
    test::FakeDevices devices{clock};
    Sequencer sequencer{clock, Sequencer::Drive::Manual};
    test::ScriptedPrompts prompts;
    UIStringTable strings;
    test::SeededRandom random;
    ExerciseSession base;
    ControlStripModel strip;
    RytmeKorrModel model{base, strip, strings, random, prompts};
    test::EffectsRecorder effects{model};
    Forwarder forwarder{model, effects};
    Targets targets{forwarder};
    TMidiOut midiOut{devices, sequencer, prompts, strings};
    std::vector<bool> autoTimer;
    std::vector<bool> answers;
};

/// When each sounding note of a list starts, after one bar of count-in.
std::vector<std::uint64_t> Onsets(const std::vector<RhythmNote>& notes)
{
    std::vector<std::uint64_t> onsets;
    std::uint64_t at = kBarMs;
    bool continues = false;
    for (const RhythmNote& n : notes) {
        if (n.Rest == 0 && !continues)
            onsets.push_back(at);
        continues = n.Tied != 0;
        at += n.Ticks;
    }
    return onsets;
}

std::vector<bool> Buttons(const ControlStripModel& strip)
{
    return std::vector<bool>(strip.ButtonEnabled.begin(), strip.ButtonEnabled.end());
}

const std::vector<bool> kMarking = {false, true, true, true, false};   // played, not checked
const std::vector<bool> kPlaying = {false, false, false, false, true}; // before the check
const std::vector<bool> kJudged = {true, true, true, false, false};

TEST(RytmeKorrModel, AQuestionPlaysTheChangedRhythmAndTheWrittenOneOnRequest)
{
    Rig rig;
    rig.model.ApplySetup(Rig::Quarters(2), true);
    ASSERT_TRUE(rig.model.HasQuestion());
    EXPECT_TRUE(rig.Claps(10'000).empty()) << "a setup makes a question without playing it";
    EXPECT_EQ(Buttons(rig.strip), (std::vector<bool>{false, true, true, false, false}));
    const TRytme& rytme = rig.model.Rytme();
    ASSERT_EQ(rytme.Count(0), 8);
    ASSERT_EQ(rytme.Corrections.size(), 1U);

    rig.effects.Run(ExerciseOperation::NewQuestion);
    EXPECT_EQ(Buttons(rig.strip), kPlaying);
    EXPECT_EQ(rig.strip.FocusIndex, 4);
    EXPECT_EQ(rig.model.InstructionText, QStringLiteral("Listen..."));
    // In the first bar after the count-in: the bar is underlined on the written rhythm.
    const std::vector<std::uint64_t> firstPart = rig.Claps(kBarMs + 100);
    EXPECT_EQ(rig.model.InstructionText, rig.model.Texts().PlayingText);
    EXPECT_EQ(rig.model.MarkedBar, (std::array<int, 2>{1, 0}));
    std::vector<std::uint64_t> changed = rig.Claps(kBarMs);
    EXPECT_EQ(rig.model.MarkedBar, (std::array<int, 2>{2, 0}));
    const std::vector<std::uint64_t> rest = rig.Claps(10'000);
    for (std::uint64_t& at : changed)
        at += kBarMs + 100;
    for (const std::uint64_t at : rest)
        changed.push_back(at + 2 * kBarMs + 100);
    changed.insert(changed.begin(), firstPart.begin(), firstPart.end());
    EXPECT_EQ(changed, Onsets(rytme.List(1)));
    EXPECT_NE(changed, Onsets(rytme.List(0)));
    EXPECT_EQ(rig.forwarder.codes, (std::vector<int>{31, 32, 32}));

    // The end of the playback: the marks may be checked now.
    EXPECT_EQ(Buttons(rig.strip), kMarking);
    EXPECT_EQ(rig.strip.FocusIndex, 1);
    EXPECT_EQ(rig.model.InstructionText, rig.model.Texts().MarkText);
    EXPECT_TRUE(rig.model.HintShown);
    EXPECT_EQ(rig.model.MarkedBar, (std::array<int, 2>{0, 0}));

    rig.effects.Run(ExerciseOperation::ThirdButtonAction);
    EXPECT_FALSE(rig.model.PlayingChanged);
    EXPECT_EQ(rig.Claps(20'000), Onsets(rytme.List(0)));
    EXPECT_EQ(Buttons(rig.strip), kMarking);

    // After the check the changed rhythm's bars are underlined on its own notation, and the
    // verdict stays on the line.
    rig.effects.Run(ExerciseOperation::FourthButtonAction);
    const QString verdict = rig.model.InstructionText;
    rig.effects.Run(ExerciseOperation::RepeatQuestion);
    rig.Claps(kBarMs + 100);
    EXPECT_EQ(rig.model.MarkedBar, (std::array<int, 2>{0, 1}));
    EXPECT_EQ(rig.model.InstructionText, verdict);
    rig.Claps(20'000);
    EXPECT_EQ(rig.model.InstructionText, verdict);
    EXPECT_EQ(Buttons(rig.strip), kJudged) << "a judged question is not checked again";
}

TEST(RytmeKorrModel, CheckScoresFoundChangesAgainstWrongMarks)
{
    using C = RhythmCorrection;
    using K = RhythmChange;
    struct Case
    {
        const char* name;
        std::vector<C> changes;
        std::vector<int> marks;
        int hits, total, wrong, score;
    };
    const Case cases[] = {
        {"all found", {C{2, K::Tie, 0}, C{6, K::Split, 0}}, {2, 3, 6}, 3, 3, 0, 100},
        {"one missed", {C{2, K::Tie, 0}, C{6, K::Split, 0}}, {2, 6}, 2, 3, 0, 66},
        {"one wrong", {C{2, K::Tie, 0}, C{6, K::Split, 0}}, {2, 3, 6, 8}, 3, 3, 1, 83},
        {"a swap and a wrong mark", {C{4, K::Swap, 0}}, {4, 5, 1}, 2, 2, 1, 75},
        {"nothing marked on a tie", {C{3, K::Tie, 0}}, {}, 0, 2, 0, 0},
        {"only wrong marks", {C{3, K::Split, 0}}, {1, 2, 5}, 0, 1, 3, 0},
        {"a split counts one note", {C{7, K::Split, 0}}, {7, 8}, 1, 1, 1, 50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.model.ApplySetup(Rig::Quarters(2), true);
        ASSERT_EQ(rig.model.Rytme().Count(0), 8);
        rig.model.Rytme().Corrections = c.changes;
        for (int j : c.marks)
            EXPECT_TRUE(rig.Click(j));
        rig.effects.Run(ExerciseOperation::FourthButtonAction);

        EXPECT_EQ(rig.model.Hits, c.hits);
        EXPECT_EQ(rig.model.Total, c.total);
        EXPECT_EQ(rig.model.Wrong, c.wrong);
        EXPECT_EQ(rig.model.LastScore, c.score);
        const bool passed = c.hits == c.total && c.wrong == 0;
        EXPECT_EQ(rig.base.Passed, passed);
        EXPECT_EQ(rig.answers, std::vector<bool>{passed});
        EXPECT_EQ(rig.base.QuestionCount, 1U);
        EXPECT_EQ(rig.base.CorrectCount, static_cast<std::uint32_t>(c.score));
        EXPECT_EQ(rig.model.Score().Gauge, c.score);
        EXPECT_EQ(rig.model.RightPictureShown, passed);
        const QString verdict = passed ? QStringLiteral("Right")
                                       : QStringLiteral("%1 of %2 errors found, wrong marks: %3.")
                                             .arg(c.hits)
                                             .arg(c.total)
                                             .arg(c.wrong);
        EXPECT_EQ(rig.model.InstructionText, verdict);
        EXPECT_EQ(rig.model.VerdictText, verdict);
        EXPECT_EQ(Buttons(rig.strip), kJudged);
        EXPECT_EQ(rig.strip.FocusIndex, 0);
        EXPECT_TRUE(rig.model.ChangedShown);
        EXPECT_FALSE(rig.model.DrawChanged(600).Empty());

        // Green under found changes, red under missed ones, yellow under every mark.
        std::multiset<std::pair<int, std::uint32_t>> expected;
        std::set<int> changed;
        for (const C& change : c.changes) {
            changed.insert(change.NoteIndex);
            if (change.Change != K::Split)
                changed.insert(change.NoteIndex + 1);
        }
        const std::set<int> marked(c.marks.begin(), c.marks.end());
        for (int j : changed)
            expected.insert({j, marked.count(j) != 0 ? kKorrFoundRgb : kKorrMissedRgb});
        for (int j : marked)
            expected.insert({j, kKorrMarkRgb});
        std::multiset<std::pair<int, std::uint32_t>> drawn;
        for (const RytmeKorrMark& mark : rig.model.Marks()) {
            for (int j = 1; j <= 8; ++j) {
                const RhythmNote& note = rig.model.Rytme().Note(0, j);
                if (note.X == mark.Box.left() && note.Line == mark.Box.top() / kRhythmLineHeight)
                    drawn.insert({j, mark.Rgb});
            }
        }
        EXPECT_EQ(drawn, expected);

        // The marks are frozen and the answer counts once.
        EXPECT_FALSE(rig.Click(1));
        rig.effects.Run(ExerciseOperation::FourthButtonAction);
        EXPECT_EQ(rig.base.QuestionCount, 1U);
    }
}

TEST(RytmeKorrModel, MarksSitUnderTheirNoteAndChangeMarksBelowThem)
{
    Rig rig;
    rig.model.ApplySetup(Rig::Quarters(2), true);
    rig.model.Rytme().Corrections = {RhythmCorrection{5, RhythmChange::Split, 0}};
    rig.Click(5);
    const RhythmNote& note = rig.model.Rytme().Note(0, 5);
    const int top = note.Line * kRhythmLineHeight;
    EXPECT_EQ(rig.model.Marks(),
              (std::vector<RytmeKorrMark>{{QRect(note.X, top + 47, 10, 7), kKorrMarkRgb}}))
        << "before the check only the user's marks show";
    rig.effects.Run(ExerciseOperation::FourthButtonAction);
    EXPECT_EQ(rig.model.Marks(),
              (std::vector<RytmeKorrMark>{{QRect(note.X, top + 54, 10, 7), kKorrFoundRgb},
                                          {QRect(note.X, top + 47, 10, 7), kKorrMarkRgb}}));
}

TEST(RytmeKorrModel, AClickTogglesTheNoteAtOrLeftOfItOnItsLineAndNothingElse)
{
    Rig rig;
    rig.model.SetDrawingWidth(260); // three bars of quarters wrap onto several lines
    rig.model.ApplySetup(Rig::Quarters(3), true);
    const TRytme& rytme = rig.model.Rytme();
    ASSERT_EQ(rytme.Count(0), 12);
    int lastLine = 0;
    int firstOnLine1 = 0;
    for (int j = 1; j <= 12; ++j) {
        lastLine = rytme.Note(0, j).Line;
        if (lastLine == 1 && firstOnLine1 == 0)
            firstOnLine1 = j;
    }
    ASSERT_GT(firstOnLine1, 0) << "the rhythm wraps";
    const int x1 = rytme.Note(0, 1).X;
    const int line1 = kRhythmLineHeight;
    const int lineX = rytme.Note(0, firstOnLine1).X;
    struct Case
    {
        const char* name;
        QPoint at;
        int toggled; // 0: none
    };
    const Case cases[] = {
        {"left of the first note", {x1 - 6, 30}, 0},
        {"just inside the first note's reach", {x1 - 4, 30}, 1},
        {"between notes 2 and 3", {rytme.Note(0, 3).X - 5, 30}, 2},
        {"the first note of the second line", {lineX - 4, line1 + 30}, firstOnLine1},
        {"before the first note of the second line", {lineX - 5, line1 + 30}, 0},
        {"below the last line", {x1 + 5, (lastLine + 1) * kRhythmLineHeight + 10}, 0},
        {"far right on the last line", {2000, lastLine * kRhythmLineHeight + 5}, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(rig.model.ClickWritten(c.at), c.toggled != 0);
        const std::set<int> once = c.toggled == 0 ? std::set<int>{} : std::set<int>{c.toggled};
        EXPECT_EQ(rig.model.Marked(), once);
        rig.model.ClickWritten(c.at); // a second click takes the mark away
        EXPECT_TRUE(rig.model.Marked().empty());
    }
}

TEST(RytmeKorrModel, LongRhythmsCanHaveEveryNoteMarked)
{
    Rig rig;
    RhythmSetup setup = MakeSetup({.rows = {8}, .values = {}, .triplets = {5}, .bars = 6});
    setup.Corrections = 1;
    rig.model.SetDrawingWidth(900);
    rig.model.ApplySetup(setup, true);
    const int count = rig.model.Rytme().Count(0);
    ASSERT_GT(count, 256);
    EXPECT_TRUE(rig.Click(count));
    EXPECT_TRUE(rig.model.IsMarked(count));
    EXPECT_FALSE(rig.model.IsMarked(count % 256));
}

TEST(RytmeKorrModel, ASetupThatCannotBeChangedSaysSoOnceAndPlaysNothing)
{
    struct Case
    {
        const char* name;
        SetupOptions options;
        int setupMessages; // the generator's own message, at most once per question
    };
    const Case cases[] = {
        {"one dotted quarter in 3/8",
         {.rows = {5}, .values = {kQuarter}, .dotted = true, .bars = 1},
         0},
        {"whole notes in 2/4", {.rows = {2}, .values = {kWhole}}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.model.SetDrawingWidth(600);
        rig.model.ApplySetup(MakeSetup(c.options), true);
        ASSERT_EQ(rig.Shown("error"), 1);
        EXPECT_EQ(rig.prompts.asked.back().text, RytmeKorrModel::NoChangesMessage());
        EXPECT_EQ(rig.prompts.asked.back().caption, QStringLiteral("Error"));
        EXPECT_EQ(rig.Shown("message"), c.setupMessages);
        EXPECT_EQ(rig.model.QuestionAttempts, RytmeKorrModel::kQuestionAttempts);
        EXPECT_FALSE(rig.model.HasQuestion());
        EXPECT_EQ(rig.model.Rytme().Count(1), 0);
        EXPECT_TRUE(rig.model.Rytme().Corrections.empty());
        EXPECT_EQ(Buttons(rig.strip), (std::vector<bool>{true, false, false, false, false}));

        // Nothing to play, mark or score; nothing divides by zero.
        rig.effects.Run(ExerciseOperation::RepeatQuestion);
        rig.effects.Run(ExerciseOperation::ThirdButtonAction);
        EXPECT_TRUE(rig.Claps(20'000).empty());
        EXPECT_FALSE(rig.model.ClickWritten(QPoint(60, 30)));
        rig.effects.Run(ExerciseOperation::FourthButtonAction);
        EXPECT_EQ(rig.base.QuestionCount, 0U);
        EXPECT_FALSE(rig.base.Answered);
        EXPECT_TRUE(rig.answers.empty());

        // A new question tries again and says so again, once.
        rig.effects.Run(ExerciseOperation::NewQuestion);
        EXPECT_EQ(rig.Shown("error"), 2);
        EXPECT_EQ(rig.Shown("message"), 2 * c.setupMessages);
        EXPECT_TRUE(rig.Claps(20'000).empty());
        EXPECT_EQ(Buttons(rig.strip), (std::vector<bool>{true, false, false, false, false}));

        // A setup that works brings the window back.
        rig.model.ApplySetup(Rig::Quarters(1), false);
        EXPECT_TRUE(rig.model.HasQuestion());
        EXPECT_EQ(rig.model.QuestionAttempts, 1);
        rig.effects.Run(ExerciseOperation::NewQuestion);
        EXPECT_FALSE(rig.Claps(20'000).empty());
        EXPECT_EQ(Buttons(rig.strip), kMarking);
    }
}

TEST(RytmeKorrModel, StoppingEndsThePlaybackAndLateCodesChangeNothing)
{
    Rig rig;
    rig.model.ApplySetup(Rig::Quarters(2), true);
    rig.effects.Run(ExerciseOperation::NewQuestion);
    rig.Claps(kBarMs + 100);
    rig.effects.Run(ExerciseOperation::StopPlaying);
    EXPECT_EQ(Buttons(rig.strip), (std::vector<bool>{false, true, true, false, false}));
    EXPECT_EQ(rig.strip.FocusIndex, 1);
    EXPECT_EQ(rig.model.MarkedBar, (std::array<int, 2>{0, 0}));
    EXPECT_TRUE(rig.Claps(20'000).empty());
    rig.model.SequencerNotify(32);
    rig.model.SequencerNotify(32);
    EXPECT_EQ(Buttons(rig.strip), (std::vector<bool>{false, true, true, false, false}));
}

TEST(RytmeKorrModel, NoTapsOrEchoesInThisExercise)
{
    Rig rig;
    rig.model.ApplySetup(Rig::Quarters(1), true);
    rig.model.Recording = true;
    rig.model.TapKey(true);
    rig.model.TapKey(false);
    rig.model.TapButton(true);
    rig.model.TapButton(false);
    rig.effects.Run(ExerciseOperation::MidiInMessage, Msg(0x90, 60, 100));
    rig.effects.Run(ExerciseOperation::MidiInMessage, Msg(0xB0, 64, 127));
    rig.model.MicTap(1000);
    EXPECT_EQ(rig.model.Rytme().TapCount, 0);
    EXPECT_TRUE(rig.devices.sink.sent.empty());
}

TEST(RytmeKorrModel, TheNextQuestionComesByItselfAsTheSettingsSay)
{
    struct Case
    {
        bool autoNew, onlyRight, right, armed;
    };
    const Case cases[] = {
        {false, false, true, false}, {true, false, true, true},  {true, false, false, true},
        {true, true, true, true},    {true, true, false, false},
    };
    for (const Case& c : cases) {
        Rig rig;
        RhythmExerciseSettings settings;
        settings.AutoNewQuestion = c.autoNew;
        settings.AutoNewQuestionOnlyRight = c.onlyRight;
        rig.model.SetSettings(settings);
        rig.model.ApplySetup(Rig::Quarters(1), true);
        rig.model.Rytme().Corrections = {RhythmCorrection{2, RhythmChange::Split, 0}};
        if (c.right)
            rig.Click(2);
        rig.autoTimer.clear();
        rig.effects.Run(ExerciseOperation::FourthButtonAction);
        EXPECT_EQ(!rig.autoTimer.empty() && rig.autoTimer.back(), c.armed)
            << c.autoNew << c.onlyRight << c.right;
        if (c.armed) {
            // The timer's tick is a new question, played at once.
            rig.effects.Run(ExerciseOperation::AutoNewQuestTimerTimer);
            EXPECT_FALSE(rig.base.Answered);
            EXPECT_TRUE(rig.model.Marked().empty());
            EXPECT_FALSE(rig.model.ChangedShown);
            EXPECT_EQ(rig.autoTimer.back(), false);
            EXPECT_FALSE(rig.Claps(20'000).empty());
        }
    }
}

TEST(RytmeKorrModel, ResetClearsTheCountersAndTheVerdictLine)
{
    Rig rig;
    rig.model.ApplySetup(Rig::Quarters(1), true);
    rig.model.Rytme().Corrections = {RhythmCorrection{2, RhythmChange::Split, 0}};
    rig.Click(2);
    rig.effects.Run(ExerciseOperation::FourthButtonAction);
    ASSERT_TRUE(rig.model.RightPictureShown);
    rig.effects.Run(ExerciseOperation::ResetResults);
    EXPECT_EQ(rig.base.QuestionCount, 0U);
    EXPECT_EQ(rig.base.CorrectCount, 0U);
    EXPECT_TRUE(rig.model.InstructionText.isEmpty());
    EXPECT_FALSE(rig.model.RightPictureShown);
    EXPECT_EQ(rig.model.Score().Gauge, 100);
}

} // namespace
} // namespace pv
