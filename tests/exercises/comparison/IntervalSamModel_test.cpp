// The interval comparison exercise: its setup, the questions it draws over seeded runs, the
// answer and its colours, and the exact events of a question and its repeat played by the real
// sequencer engine on a virtual clock.
#include "exercises/comparison/IntervalSamModel.h"
#include "exercises/setup/ExerciseSetup.h"
#include "music/sequencer/MidiOut.h"
#include "music/strings/UIStrings.h"
#include "support/EffectsRecorder.h"
#include "support/ScriptedPrompts.h"
#include "support/ScriptedRandom.h"
#include "support/SequencerFakes.h"

#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::Msg;

UIStringTable Strings()
{
    UIStringTable strings;
    strings.StrComparisonText = QStringLiteral("Which is larger?");
    strings.StrScore = QStringLiteral("Right");
    strings.StrComparisonText2 = QStringLiteral("Wrong");
    strings.StrIdentFormat1 = QStringLiteral("%d of %d");
    return strings;
}

/// A comparison block asking the given interval items (1-based) on roots low .. high.
OptionBlock Block(std::initializer_list<int> items, int low, int high, bool commonRoot,
                  std::array<std::uint8_t, 3> styles = {1, 0, 0})
{
    OptionBlock block;
    for (int item : items)
        block.ItemFlags[static_cast<std::size_t>(item - 1)] = 1;
    block.PlayStyles = styles;
    block.ShowKeySignature = commonRoot ? 1 : 0;
    block.LowestNote = static_cast<std::uint8_t>(low);
    block.HighestNote = static_cast<std::uint8_t>(high);
    return block;
}

/// The interval items of the program, with user slots 26 (a single note) and 27 (a major third
/// written again, as a user may).
ItemTable Intervals()
{
    ItemTable table = BuiltInItemTables().IntervalIdentification;
    table.Counts[25] = 1;
    table.Items[25].Notes[0].Note = 60;
    table.Names[25] = QStringLiteral("lonely");
    table.Counts[26] = 2;
    table.Items[26].Notes[0].Note = 60;
    table.Items[26].Notes[1].Note = 64;
    table.Names[26] = QStringLiteral("my own major third, named at length");
    return table;
}

struct Model
{
    explicit Model(std::vector<int> script = {0}) : random(std::move(script))
    {
        model.SetRandom(random);
        effects.onAnswer = [this](bool right) { feedback.push_back(right); };
    }
    /// The user chose A or B, as the window passes it on.
    void Answer(CompareChoice choice)
    {
        model.Answer(choice);
        effects.Settle();
    }
    void Setup(const OptionBlock& block, ComparisonSettings settings = {}, bool reset = true)
    {
        model.SetupIntervalCompare(block, Intervals(), settings, reset);
    }
    /// Puts a question whose playback has ended.
    void Ask()
    {
        ASSERT_TRUE(model.NewQuestion());
        for (int code : {41, 42, 45})
            model.SequencerNotify(code);
    }

    UIStringTable strings = Strings();
    ExerciseSession base;
    ControlStripModel strip;
    test::ScriptedRandom random;
    IntervalSamModel model{base, strip, strings};
    test::EffectsRecorder effects{model};
    std::vector<bool> feedback;
};

TEST(IntervalSamModel, SetupTakesTheEnabledIntervalsStylesAndRange)
{
    Model m;
    m.base.QuestionCount = 5;
    m.base.CorrectCount = 4;
    // Slot 26 has one note and slot 28 none: neither has a span to compare.
    m.Setup(Block({1, 5, 13, 25, 26, 27, 28}, 53, 72, true, {0, 1, 1}));
    const IntervalSamModel& model = m.model;
    ASSERT_EQ(model.CompareItemCount, 5);
    const struct
    {
        const char* name;
        int semitones;
    } expected[] = {{"1", 0}, {"3", 4}, {"8", 12}, {"15", 24}, {"my own major th", 4}};
    for (int i = 1; i <= 5; ++i) {
        SCOPED_TRACE(i);
        const CompareItem& item = model.CompareItems[static_cast<std::size_t>(i)];
        EXPECT_EQ(item.Name, QString::fromLatin1(expected[i - 1].name));
        EXPECT_EQ(item.NoteCount, 2);
        EXPECT_EQ(item.Offsets[0], 0);
        EXPECT_EQ(item.Offsets[1], expected[i - 1].semitones);
    }
    EXPECT_EQ(model.PlayStyleCount, 2);
    EXPECT_EQ(model.PlayStyles[0], 1);
    EXPECT_EQ(model.PlayStyles[1], 2);
    EXPECT_TRUE(model.CommonRoot);
    EXPECT_EQ(model.CompareLow, 53);
    EXPECT_EQ(model.CompareSpan, 19);
    EXPECT_EQ(m.base.QuestionCount, 0U);
    EXPECT_EQ(m.base.CorrectCount, 0U);
    EXPECT_TRUE(m.base.Answered);
    EXPECT_TRUE(m.strip.ButtonEnabled[0]);
    for (std::size_t b = 1; b <= 3; ++b)
        EXPECT_FALSE(m.strip.ButtonEnabled[b]) << b;
    EXPECT_EQ(m.strip.FocusIndex, 0);

    // No style plays simultaneously; a setup without reset keeps the counters.
    m.base.QuestionCount = 3;
    m.Setup(Block({1, 5}, 60, 72, false, {0, 0, 0}), {}, false);
    EXPECT_EQ(model.PlayStyleCount, 1);
    EXPECT_EQ(model.PlayStyles[0], 0);
    EXPECT_EQ(m.base.QuestionCount, 3U);
}

// Over many seeded questions: A and B are two different enabled intervals, their roots lie in
// the range (shared when the setup says so), their notes fit MIDI and keep their item's span.
TEST(IntervalSamModel, SeededRunsDrawTwoDifferentIntervalsOnRootsOfTheRange)
{
    const struct
    {
        const char* name;
        OptionBlock block;
        int lowestRoot, highestRoot; ///< the roots a question may start on
        bool sameRoot;
    } cases[] = {
        {"same root", Block({2, 5, 8, 13}, 53, 72, true, {1, 1, 1}), 53, 71, true},
        {"different roots", Block({1, 3, 6}, 48, 60, false, {1, 0, 1}), 48, 59, false},
        {"one root when the range is empty", Block({4, 9}, 66, 66, false), 66, 66, true},
        {"one root when the range is upside down", Block({4, 9}, 70, 60, false), 70, 70, true},
        // Roots this high push the upper notes past 127: the interval moves down by octaves.
        {"moved down by octaves", Block({13, 25}, 120, 127, false), 96, 126, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (std::uint32_t seed : {1U, 7U, 2024U}) {
            SCOPED_TRACE(seed);
            UIStringTable strings = Strings();
            ExerciseSession base;
            ControlStripModel strip;
            StdRandom random(seed);
            IntervalSamModel model(base, strip, strings);
            model.SetRandom(random);
            model.SetupIntervalCompare(c.block, Intervals(), {}, true);
            std::set<int> itemsSeen;
            std::set<int> stylesSeen;
            bool rootsDiffered = false;
            for (int q = 0; q < 200; ++q) {
                ASSERT_TRUE(model.NewQuestion());
                ASSERT_NE(model.ItemA, model.ItemB);
                ASSERT_GE(model.ItemA, 1);
                ASSERT_LE(model.ItemA, model.CompareItemCount);
                ASSERT_GE(model.ItemB, 1);
                ASSERT_LE(model.ItemB, model.CompareItemCount);
                itemsSeen.insert(model.ItemA);
                itemsSeen.insert(model.ItemB);
                stylesSeen.insert(model.CurrentPlayStyle);
                for (CompareChoice choice : {CompareChoice::A, CompareChoice::B}) {
                    const bool a = choice == CompareChoice::A;
                    const auto& notes = a ? model.NotesA : model.NotesB;
                    const CompareItem& item = model.CompareItems[a ? model.ItemA : model.ItemB];
                    ASSERT_EQ(a ? model.CountA : model.CountB, 2);
                    EXPECT_EQ(model.SpanOf(choice), item.Offsets[1]);
                    EXPECT_GE(notes[0].Pitch.Note, c.lowestRoot);
                    EXPECT_LE(notes[0].Pitch.Note, c.highestRoot);
                    EXPECT_GE(notes[1].Pitch.Note, 0);
                }
                rootsDiffered =
                    rootsDiffered || model.NotesA[0].Pitch.Note != model.NotesB[0].Pitch.Note;
                if (c.sameRoot) {
                    ASSERT_EQ(model.NotesA[0].Pitch.Note, model.NotesB[0].Pitch.Note);
                }
                EXPECT_FALSE(base.Answered);
            }
            EXPECT_EQ(static_cast<int>(itemsSeen.size()), model.CompareItemCount);
            EXPECT_EQ(static_cast<int>(stylesSeen.size()), model.PlayStyleCount);
            EXPECT_EQ(rootsDiffered, !c.sameRoot);
        }
    }
}

TEST(IntervalSamModel, FewerThanTwoIntervalsPutNoQuestion)
{
    const struct
    {
        const char* name;
        OptionBlock block;
    } cases[] = {
        {"no interval", Block({}, 53, 72, false)},
        {"one interval", Block({5}, 53, 72, false)},
        {"one interval and a slot of one note", Block({5, 26}, 53, 72, false)},
        {"one interval and an empty slot", Block({5, 30}, 53, 72, false)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Model m;
        m.Setup(c.block);
        EXPECT_FALSE(m.model.NewQuestion());
        EXPECT_FALSE(m.strip.ButtonEnabled[0]);
        EXPECT_FALSE(m.strip.ButtonEnabled[4]) << "nothing plays";
        EXPECT_TRUE(m.base.Answered);
        EXPECT_EQ(m.model.CountA, 0);
        EXPECT_EQ(m.random.Calls(), 0);
        EXPECT_TRUE(m.model.QuestionText.isEmpty());
    }
}

// The scripted draws: root A, root B, play style, item A, item B (drawn again while it equals A).
TEST(IntervalSamModel, AnswersScoreTheLargerIntervalAndColourBothPanels)
{
    // Items 1: "3-" (3 semitones), 2: "3" (4), 3: "5" (7), 4: the user's major third (4).
    const OptionBlock block = Block({4, 5, 8, 27}, 60, 72, false);
    const struct
    {
        const char* name;
        std::vector<int> script;
        CompareChoice choice;
        CompareChoice larger;
    } cases[] = {
        {"B larger, answered B", {0, 2, 0, 0, 2}, CompareChoice::B, CompareChoice::B},
        {"B larger, answered A", {0, 2, 0, 0, 2}, CompareChoice::A, CompareChoice::B},
        // B is drawn again while it comes out as A.
        {"A larger, answered A", {5, 0, 0, 2, 2, 2, 0}, CompareChoice::A, CompareChoice::A},
        {"A larger, answered B", {5, 0, 0, 2, 0}, CompareChoice::B, CompareChoice::A},
        // Two items of one span: B counts as the larger, whichever was drawn first.
        {"equal spans, answered B", {0, 0, 0, 1, 3}, CompareChoice::B, CompareChoice::B},
        {"equal spans the other way, answered A",
         {0, 0, 0, 3, 1},
         CompareChoice::A,
         CompareChoice::B},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Model m(c.script);
        m.Setup(block, {true, true});
        m.Ask();
        ASSERT_NE(m.model.ItemA, m.model.ItemB);
        EXPECT_EQ(m.model.AnswerCaption(CompareChoice::A), QStringLiteral("&A"));
        EXPECT_EQ(m.model.AnswerPointSize(), kAnswerLetterPointSize);
        EXPECT_EQ(m.model.QuestionText, QStringLiteral("Which is larger?"));

        m.Answer(c.choice);
        const bool right = c.choice == c.larger;
        EXPECT_EQ(m.model.LargerOne, static_cast<int>(c.larger));
        EXPECT_EQ(m.feedback, std::vector<bool>{right});
        EXPECT_EQ(m.base.QuestionCount, 1U);
        EXPECT_EQ(m.base.CorrectCount, right ? 1U : 0U);
        EXPECT_TRUE(m.base.Answered);
        EXPECT_EQ(m.model.QuestionText, right ? QStringLiteral("Right") : QStringLiteral("Wrong"));
        EXPECT_EQ(m.model.RightPictureShown, right);
        EXPECT_EQ(m.model.PanelColour(c.larger), ComparePanelColour::Green);
        EXPECT_EQ(m.model.PanelColour(OtherChoice(c.larger)),
                  right ? ComparePanelColour::Face : ComparePanelColour::Red);
        EXPECT_TRUE(m.model.BlinkRunning);
        EXPECT_EQ(m.model.AutoNewQuestionArmed, right) << "only after right answers";
        EXPECT_TRUE(m.strip.ButtonEnabled[0]);
        EXPECT_EQ(m.strip.FocusIndex, 0);
        // The buttons now name their intervals.
        EXPECT_EQ(m.model.AnswerPointSize(), kAnswerNamePointSize);
        EXPECT_EQ(m.model.AnswerCaption(CompareChoice::A),
                  m.model.CompareItems[m.model.ItemA].Name);
        EXPECT_EQ(m.model.AnswerCaption(CompareChoice::B),
                  m.model.CompareItems[m.model.ItemB].Name);

        // A second answer to the same question scores nothing.
        m.Answer(OtherChoice(c.choice));
        EXPECT_EQ(m.base.QuestionCount, 1U);
        EXPECT_EQ(m.feedback.size(), 1U);
        EXPECT_EQ(m.model.Score().Label,
                  right ? QStringLiteral("1 of 1") : QStringLiteral("0 of 1"));
        EXPECT_EQ(m.model.Score().Gauge, right ? 100 : 0);
    }
}

TEST(IntervalSamModel, TheLargerPanelBlinksFourTimesAndStaysGreen)
{
    Model m({0, 2, 0, 0, 1});
    m.Setup(Block({4, 8}, 60, 72, false));
    m.Ask();
    m.Answer(CompareChoice::A);
    std::vector<ComparePanelColour> seen;
    for (int tick = 0; tick < 6; ++tick) {
        m.model.BlinkTick();
        seen.push_back(m.model.PanelB);
    }
    using C = ComparePanelColour;
    EXPECT_EQ(seen, (std::vector<C>{C::Face, C::Green, C::Face, C::Green, C::Green, C::Green}));
    EXPECT_FALSE(m.model.BlinkRunning);
    EXPECT_EQ(m.model.BlinkCount, 0);
    EXPECT_EQ(m.model.PanelA, C::Red) << "the smaller one keeps its mark";

    // A new question stops a blink under way and clears both panels.
    m.Answer(CompareChoice::A);
    ASSERT_TRUE(m.model.NewQuestion());
    m.Answer(CompareChoice::B);
    m.model.BlinkTick();
    ASSERT_TRUE(m.model.BlinkRunning);
    ASSERT_TRUE(m.model.NewQuestion());
    EXPECT_FALSE(m.model.BlinkRunning);
    EXPECT_EQ(m.model.BlinkCount, 0);
    EXPECT_EQ(m.model.PanelA, C::Yellow) << "A plays";
    EXPECT_EQ(m.model.PanelB, C::Face);
}

// While A plays its panel is lit, then B's; the end of B colours the result of an answer given
// during the playback, and the end of the playback opens the answer buttons of the strip.
TEST(IntervalSamModel, NotificationsLightThePanelsInTurnAndOpenTheStrip)
{
    using C = ComparePanelColour;
    Model m({0, 2, 0, 0, 1});
    m.Setup(Block({4, 8}, 60, 72, false));
    ASSERT_TRUE(m.model.NewQuestion());
    EXPECT_EQ(m.model.PanelA, C::Yellow);
    EXPECT_FALSE(m.strip.ButtonEnabled[0]);
    EXPECT_TRUE(m.strip.ButtonEnabled[4]);
    EXPECT_EQ(m.strip.FocusIndex, 4);
    m.model.SequencerNotify(kNotifyEndOfA);
    EXPECT_EQ(m.model.PanelA, C::Face);
    EXPECT_EQ(m.model.PanelB, C::Yellow);
    EXPECT_FALSE(m.strip.ButtonEnabled[1]);
    m.model.SequencerNotify(kNotifyEndOfB);
    EXPECT_EQ(m.model.PanelB, C::Face);
    EXPECT_TRUE(m.strip.ButtonEnabled[1]);
    m.model.SequencerNotify(kNotifyComparisonEnd);
    EXPECT_TRUE(m.strip.ButtonEnabled[0]);
    EXPECT_TRUE(m.strip.ButtonEnabled[2]);
    EXPECT_TRUE(m.strip.ButtonEnabled[3]);
    EXPECT_FALSE(m.strip.ButtonEnabled[4]);
    EXPECT_EQ(m.strip.FocusIndex, 1);

    // Answered wrongly while B still plays: the end of B puts the marks back after its light.
    m.model.RepeatQuestion();
    EXPECT_FALSE(m.strip.ButtonEnabled[1]);
    m.model.SequencerNotify(kNotifyEndOfA);
    m.Answer(CompareChoice::A);
    EXPECT_EQ(m.model.PanelB, C::Green);
    m.model.SequencerNotify(kNotifyEndOfB);
    EXPECT_EQ(m.model.PanelA, C::Red);
    EXPECT_EQ(m.model.PanelB, C::Green);
    m.model.SequencerNotify(kNotifyComparisonEnd);
    EXPECT_EQ(m.strip.FocusIndex, 0) << "answered: the next step is a new question";
    EXPECT_EQ(m.model.PanelA, C::Red);

    // Setup codes of other windows do nothing here.
    m.model.SequencerNotify(55);
    EXPECT_EQ(m.model.PanelB, C::Green);
}

TEST(IntervalSamModel, AutomaticNewQuestionFollowsTheSettingsAndEnteringBeforeAnyQuestion)
{
    const struct
    {
        bool autoOn, onlyRight, answerRight, armed;
    } cases[] = {
        {false, false, true, false}, {true, false, true, true},  {true, false, false, true},
        {true, true, true, true},    {true, true, false, false}, {false, true, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.autoOn << c.onlyRight << c.answerRight);
        Model m({0, 2, 0, 0, 1}); // B is larger
        m.Setup(Block({4, 8}, 60, 72, false), {c.autoOn, c.onlyRight});
        // Before any question entering arms it, unless a tutor runs.
        EXPECT_TRUE(m.model.AutoNewQuestionOnEnter(false));
        EXPECT_FALSE(m.model.AutoNewQuestionOnEnter(true));
        m.Ask();
        m.Answer(c.answerRight ? CompareChoice::B : CompareChoice::A);
        EXPECT_EQ(m.model.AutoNewQuestionArmed, c.armed);
        EXPECT_EQ(m.model.AutoNewQuestionOnEnter(false), c.autoOn);
        ASSERT_TRUE(m.model.NewQuestion());
        EXPECT_FALSE(m.model.AutoNewQuestionArmed);
    }
}

TEST(IntervalSamModel, ResetResultsClosesTheQuestionAndClearsTheCounts)
{
    Model m({0, 2, 0, 0, 1});
    m.Setup(Block({4, 8}, 60, 72, false));
    m.Ask();
    m.Answer(CompareChoice::B);
    ASSERT_EQ(m.model.Score().Label, QStringLiteral("1 of 1"));
    ASSERT_TRUE(m.model.NewQuestion());
    m.model.ResetResults();
    EXPECT_TRUE(m.base.Answered);
    EXPECT_EQ(m.base.QuestionCount, 0U);
    EXPECT_EQ(m.base.CorrectCount, 0U);
    EXPECT_TRUE(m.strip.ButtonEnabled[0]);
    EXPECT_FALSE(m.strip.ButtonEnabled[1]);
    EXPECT_TRUE(m.model.QuestionText.isEmpty());
    EXPECT_EQ(m.model.Score().Gauge, 100);
    EXPECT_EQ(m.model.Score().Label, QStringLiteral("0 of 0"));
    // The closed question is not scored.
    m.Answer(CompareChoice::B);
    EXPECT_EQ(m.base.QuestionCount, 0U);
}

TEST(IntervalSamModel, ASourceThatKeepsGivingTheSameItemStillGivesTwoIntervals)
{
    Model m({0}); // every draw 0
    m.Setup(Block({4, 5, 8}, 60, 72, false));
    ASSERT_TRUE(m.model.NewQuestion());
    EXPECT_EQ(m.model.ItemA, 1);
    EXPECT_EQ(m.model.ItemB, 2);
}

// The real sequencer engine on a virtual clock (a tick is a millisecond at tempo 90) plays the
// queue; the notifications come back to the model as they would to its window.
class ForwardingReceiver final : public QObject
{
public:
    ForwardingReceiver(const IClock& clock, const std::vector<test::SentMessage>& sent,
                       IntervalSamModel& model)
        : m_clock(clock), m_sent(sent), m_model(model)
    {
    }
    bool event(QEvent* e) override
    {
        if (e->type() != SequencerNotifyEvent::Type())
            return QObject::event(e);
        const std::uint16_t code = static_cast<SequencerNotifyEvent*>(e)->Code();
        codes.push_back({m_clock.NowUs() / 1000U, code, m_sent.size()});
        m_model.SequencerNotify(code);
        return true;
    }
    struct Arrival
    {
        std::uint64_t ms;
        std::uint16_t code;
        std::size_t sentBefore; ///< messages the device had received when the code arrived
    };
    std::vector<Arrival> codes;

private:
    const IClock& m_clock;
    const std::vector<test::SentMessage>& m_sent;
    IntervalSamModel& m_model;
};

class ComparisonTargets final : public INotifyTargets
{
public:
    explicit ComparisonTargets(QObject& receiver) : m_receiver(receiver) {}
    bool SettingsDialogListening() const override { return false; }
    int CurrentExerciseKind() const override { return 3; }
    QObject* Receiver(NotifyReceiver receiver, int) const override
    {
        return receiver == NotifyReceiver::IntervalComparison ? &m_receiver : nullptr;
    }

private:
    QObject& m_receiver;
};

struct Rig
{
    explicit Rig(std::vector<int> script) : m(std::move(script))
    {
        midiOut.SetVoiceSettings(&voices);
        midiOut.SetNotifyTargets(&targets);
        EXPECT_TRUE(midiOut.ChangeDevice(1));
        m.model.SetMidiOut(&midiOut);
        devices.sink.sent.clear();
    }

    /// What was played since the last call, as "ms text" rows in the order the device and the
    /// window received them: notes, codes, and a stop's all notes off on the sixteen channels
    /// as one row.
    std::vector<std::string> Played()
    {
        test::DriveTo(sequencer, clock, clock.NowUs() + 20'000'000);
        std::vector<std::string> rows;
        const auto row = [&](std::uint64_t ms, const std::string& what) {
            rows.push_back(std::to_string(ms - start) + " " + what);
        };
        const auto& sent = devices.sink.sent;
        std::size_t nextCode = 0;
        const auto codesBefore = [&](std::size_t k) {
            for (; nextCode < receiver.codes.size() && receiver.codes[nextCode].sentBefore <= k;
                 ++nextCode)
                row(receiver.codes[nextCode].ms,
                    "code " + std::to_string(receiver.codes[nextCode].code));
        };
        for (std::size_t k = 0; k < sent.size(); ++k) {
            codesBefore(k);
            if (sent[k].packed == Msg(0xB0, 123) && k + 16 <= sent.size() &&
                sent[k + 15].packed == Msg(0xBF, 123)) {
                row(sent[k].ms, "all notes off");
                k += 15;
                continue;
            }
            const std::uint32_t p = sent[k].packed;
            const std::uint32_t status = p & 0xF0U;
            const std::string note = std::to_string((p >> 8) & 0xFFU);
            if (status == 0x90)
                row(sent[k].ms, "on " + note + " v" + std::to_string((p >> 16) & 0xFFU));
            else if (status == 0x80)
                row(sent[k].ms, "off " + note);
            else
                row(sent[k].ms, "message " + std::to_string(p));
        }
        codesBefore(sent.size());
        devices.sink.sent.clear();
        receiver.codes.clear();
        start = clock.NowUs() / 1000U;
        return rows;
    }

    Model m;
    test::FakeClock clock;
    test::FakeDevices devices{clock};
    Sequencer sequencer{clock, Sequencer::Drive::Manual};
    test::ScriptedPrompts prompts;
    FixedMidiVoiceSettings voices;
    ForwardingReceiver receiver{clock, devices.sink.sent, m.model};
    ComparisonTargets targets{receiver};
    TMidiOut midiOut{devices, sequencer, prompts, m.strings};
    std::uint64_t start = 0;
};

// Root A 62, root B 65, A the fifth (62-69), B the major third (65-69), played at once.
TEST(IntervalSamModel, AQuestionAndItsRepeatPlayAThenB)
{
    Rig rig({2, 5, 0, 1, 0});
    rig.m.Setup(Block({5, 8}, 60, 72, false, {1, 0, 0}));
    ASSERT_TRUE(rig.m.model.NewQuestion());
    const std::vector<std::string> question = {
        "0 all notes off", "0 on 62 v98",    "0 on 69 v98",        "1344 off 62", "1344 off 69",
        "1744 on 65 v98",  "1744 on 69 v98", "1744 code 41",       "3088 off 65", "3088 off 69",
        "3088 code 42",    "3088 code 45",   "3088 all notes off",
    };
    EXPECT_EQ(rig.Played(), question);
    EXPECT_TRUE(rig.m.strip.ButtonEnabled[2]) << "the end of the playback reached the model";
    EXPECT_FALSE(rig.m.strip.ButtonEnabled[4]);

    // The repeat waits twice as long before B.
    rig.m.model.RepeatQuestion();
    const std::vector<std::string> repeat = {
        "0 all notes off", "0 on 62 v98",    "0 on 69 v98",        "1344 off 62", "1344 off 69",
        "2144 on 65 v98",  "2144 on 69 v98", "2144 code 41",       "3488 off 65", "3488 off 69",
        "3488 code 42",    "3488 code 45",   "3488 all notes off",
    };
    EXPECT_EQ(rig.Played(), repeat);

    // After the answer a choice plays its interval alone.
    rig.m.Answer(CompareChoice::A);
    ASSERT_TRUE(rig.m.base.Answered);
    rig.Played();
    rig.m.Answer(CompareChoice::B);
    const std::vector<std::string> replayB = {
        "0 all notes off", "0 on 65 v98",  "0 on 69 v98",        "1344 off 65",
        "1344 off 69",     "1344 code 45", "1344 all notes off",
    };
    EXPECT_EQ(rig.Played(), replayB);
    EXPECT_EQ(rig.m.base.QuestionCount, 1U);
}

// Arpeggios play note after note, each interval as its style says.
TEST(IntervalSamModel, AnArpeggioUpPlaysEachIntervalNoteByNote)
{
    Rig rig({2, 5, 0, 1, 0});
    rig.m.Setup(Block({5, 8}, 60, 72, false, {0, 1, 0}));
    ASSERT_TRUE(rig.m.model.NewQuestion());
    const std::vector<std::string> expected = {
        "0 all notes off", "0 on 62 v98",  "500 off 62",         "550 on 69 v98",  "1050 off 69",
        "1500 on 65 v98",  "1500 code 41", "2000 off 65",        "2050 on 69 v98", "2550 off 69",
        "2600 code 42",    "2600 code 45", "2600 all notes off",
    };
    EXPECT_EQ(rig.Played(), expected);
}

} // namespace
} // namespace pv
