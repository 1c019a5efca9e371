// The rhythm reading window as a user meets it: a performance started with F6 and tapped with
// the Space key on a virtual clock, the notation scrolled to the bar being played, the score
// and every note's result shown after it.
#include "exercises/base/ExerciseHost.h"
#include "exercises/setup/ExerciseSetup.h"
#include "exercises/ui/TControlButton.h"
#include "exercises/ui/TRytmeLaes.h"
#include "music/sequencer/MidiOut.h"
#include "music/strings/UIStrings.h"
#include "support/ExerciseHostFake.h"
#include "support/FakeClock.h"
#include "support/ScriptedPrompts.h"
#include "support/ScriptedRandom.h"
#include "support/SequencerFakes.h"
#include "support/TestOutput.h"

#include <random>
#include <vector>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::SeededRandom;

/// The main window's part for these tests: Space taps (a held key's repeats do not), the
/// rest is recorded by the fake host.
class TappingHost final : public IExerciseHost
{
public:
    void FormKeyDown(int key, Qt::KeyboardModifiers modifiers, bool autoRepeat) override
    {
        if (key == Qt::Key_Space && window != nullptr) {
            if (!autoRepeat)
                window->TapKey(true);
            return;
        }
        fake.FormKeyDown(key, modifiers, autoRepeat);
    }
    void FormKeyUp(int key, Qt::KeyboardModifiers modifiers, bool autoRepeat) override
    {
        if (key == Qt::Key_Space && window != nullptr) {
            if (!autoRepeat)
                window->TapKey(false);
            return;
        }
        fake.FormKeyUp(key, modifiers, autoRepeat);
    }
    bool TutorActive() const override { return fake.TutorActive(); }
    void ShowTutorProgress() override {}
    bool TutorTakesAnswer() override { return false; }
    bool ShowTip(int n) override { return fake.ShowTip(n); }
    void SetAutoNewQuestTimerEnabled(bool on) override { fake.SetAutoNewQuestTimerEnabled(on); }
    void StopMidiInput() override {}
    void WaveInStop() override {}
    void ClockRepaintCurrentKind() override {}
    void ShowScoreDisplay(int gauge, const QString& label) override
    {
        fake.ShowScoreDisplay(gauge, label);
    }
    int ProgramFontSize() const override { return 9; }
    AnswerSoundChoice AnswerSounds() const override { return {}; }

    test::FakeExerciseHost fake;
    TRhythmWindow* window = nullptr;
};

class ReadingTargets final : public INotifyTargets
{
public:
    bool SettingsDialogListening() const override { return false; }
    int CurrentExerciseKind() const override { return 5; }
    QObject* Receiver(NotifyReceiver receiver, int) const override
    {
        return receiver == NotifyReceiver::RhythmReading ? reading : nullptr;
    }
    QObject* reading = nullptr;
};

void Key(QWidget& target, QEvent::Type type, int key, bool autoRepeat = false)
{
    QKeyEvent event(type, key, Qt::NoModifier, QString(), autoRepeat);
    QCoreApplication::sendEvent(&target, &event);
}

UIStringTable Strings()
{
    UIStringTable strings;
    strings.StrRhythmText1 = QStringLiteral("Press F6, then tap the rhythm you read.");
    strings.StrRhythmText2 = QStringLiteral("Start tapping whenever you are ready.");
    strings.StrRhythmText5 = QStringLiteral("Score:");
    strings.StrRhythmVerdict1 = QStringLiteral("Perfect!");
    strings.StrRhythmVerdict2 = QStringLiteral("Very good.");
    strings.StrRhythmVerdict3 = QStringLiteral("Mind the timing.");
    strings.StrRhythmVerdict4 = QStringLiteral("Nothing was right.");
    strings.StrRhythmVerdictFormat = QStringLiteral("%d of %d notes were right.");
    return strings;
}

struct Rig
{
    Rig() : window(session, &host, strings, prompts, &random)
    {
        host.window = &window;
        targets.reading = &window;
        midiOut.SetNotifyTargets(&targets);
        EXPECT_TRUE(midiOut.ChangeDevice(1));
        window.SetPlayback(&midiOut, clock);
        window.Model().TurnText = QStringLiteral("Your turn: tap the rhythm.");
        ExerciseSetup setup;
        RhythmSetup& block = setup.RhythmReading;
        block.TimeSignatures[3] = 1; // 4/4
        block.NoteValues[2] = 1;     // quarters
        block.NoteValues[3] = 1;     // eighths
        block.Rests = 1;
        block.Tempo = 90; // a tick is a millisecond
        block.Bars = 12;
        block.RhythmEvaluation = 1;
        RhythmExerciseSettings settings;
        window.ApplyRhythmSetup(setup, settings, true);
        window.ControlButtons->Model().Captions = {
            QStringLiteral("New question"), QStringLiteral("Start"), QStringLiteral("Play back"),
            QStringLiteral("Hear it"), QStringLiteral("Stop")};
        window.resize(820, 360);
        window.show();
        QCoreApplication::processEvents();
    }

    void To(std::uint64_t ms) { test::DriveTo(sequencer, clock, ms * 1000U); }
    std::uint64_t Now() const { return clock.NowUs() / 1000U; }
    void Tap()
    {
        Key(window, QEvent::KeyPress, Qt::Key_Space);
        Key(window, QEvent::KeyPress, Qt::Key_Space, true); // held: no second tap
        Key(window, QEvent::KeyRelease, Qt::Key_Space);
    }
    /// The taps of a performance from startMs: every note to be played at its onset, the
    /// second one 200 ms late and the third one left out.
    void PlanTaps(std::uint64_t startMs)
    {
        std::uint64_t at = startMs;
        int played = 0;
        const std::vector<RhythmNote>& notes = window.Model().Rytme().List(0);
        for (std::size_t i = 0; i < notes.size(); ++i) {
            if (notes[i].Rest == 0 && (i == 0 || notes[i - 1].Tied == 0)) {
                ++played;
                if (played == 2)
                    plan.push_back(at + 200);
                else if (played != 3)
                    plan.push_back(at);
            }
            at += notes[i].Ticks;
        }
    }
    /// Makes the planned taps that fall before endMs, then lets the clock reach endMs.
    void TapUntil(std::uint64_t endMs)
    {
        while (next < plan.size() && plan[next] < endMs) {
            To(plan[next++]);
            Tap();
        }
        To(endMs);
    }
    void ScrollTicks()
    {
        for (int k = 0; k < 2000 && window.Timer1->isActive(); ++k)
            QMetaObject::invokeMethod(window.Timer1, "timeout");
    }
    void Save(const char* name)
    {
        window.grab().save(test::TestOutputDir() + QString::fromLatin1(name));
    }

    test::FakeClock clock;
    test::FakeDevices devices{clock};
    Sequencer sequencer{clock, Sequencer::Drive::Manual};
    test::ScriptedPrompts prompts;
    UIStringTable strings = Strings();
    TMidiOut midiOut{devices, sequencer, prompts, strings};
    ReadingTargets targets;
    SeededRandom random{11};
    TappingHost host;
    ExerciseSession session;
    TRytmeLaes window;
    std::vector<std::uint64_t> plan;
    std::size_t next = 0;
};

TEST(TRytmeLaes, TheTipButtonGoesWithAHiddenTipAndComesBackWhenTheSettingsOfferIt)
{
    Rig rig;
    QToolButton* tip = rig.window.SpeedButton10;
    ASSERT_TRUE(tip->isVisible());
    tip->click(); // the host says the tip was hidden
    EXPECT_EQ(rig.host.fake.tips, (std::vector<int>{6}));
    EXPECT_FALSE(tip->isVisible());

    RhythmExerciseSettings settings;
    rig.window.SetRhythmSettings(settings);
    EXPECT_TRUE(tip->isVisible()) << "the settings offer it again";
    settings.TipOffered = false;
    rig.window.ApplyRhythmSetup(ExerciseSetup{}, settings, false);
    EXPECT_FALSE(tip->isVisible()) << "a setup applied with the tip hidden keeps it away";
}

TEST(TRytmeLaes, SpaceTappedPerformanceScrollsWithTheBarAndShowsTheResults)
{
    Rig rig;
    RytmeLaesModel& model = rig.window.Model();
    const TRytme& rytme = model.Rytme();
    ASSERT_EQ(rytme.Bars, 12);
    ASSERT_GE(rytme.BarLine[0][12], 3) << "the rhythm should need several lines";
    EXPECT_EQ(rig.window.Label4->text(), rig.strings.StrRhythmText1);
    EXPECT_FALSE(rig.window.Klap->isVisible());

    Key(rig.window, QEvent::KeyPress, Qt::Key_F6);
    Key(rig.window, QEvent::KeyRelease, Qt::Key_F6);
    ASSERT_TRUE(model.Recording);
    EXPECT_EQ(rig.window.Label4->text(), rig.strings.StrRhythmText2);

    // The performance starts in the second waiting bar.
    const auto bar = static_cast<std::uint64_t>(rytme.BarTicks);
    rig.To(bar);
    EXPECT_EQ(rig.window.Label4->text(), model.TurnText);
    const std::uint64_t start = rig.Now();
    rig.PlanTaps(start);

    // In the middle of bar 9 the mark is on a later line and the view has followed it.
    rig.TapUntil(start + 8 * bar + bar / 2);
    EXPECT_EQ(model.MarkedBar[0], 9);
    rig.ScrollTicks();
    const int line = rytme.BarLine[0][9];
    ASSERT_GT(line, 0);
    QScrollBar* scroll = rig.window.ScrollBox1->verticalScrollBar();
    EXPECT_EQ(scroll->value(), std::min(line * kRhythmLineHeight, scroll->maximum()));
    EXPECT_GT(scroll->value(), 0);
    rig.Save("TRytmeLaes_cursor.png");

    rig.TapUntil(start + 13 * bar);
    ASSERT_TRUE(rig.window.Session().Answered);
    EXPECT_EQ(rig.window.Session().QuestionCount, 1U);
    std::vector<std::int32_t> played;
    for (int i = 1; i <= rytme.Count(0); ++i) {
        if (rytme.Note(0, i).Result != RhythmResult::NotPlayed)
            played.push_back(rytme.Note(0, i).Result);
    }
    ASSERT_GE(played.size(), 4U);
    EXPECT_EQ(played[0], RhythmResult::OnTime);
    EXPECT_EQ(played[1], RhythmResult::Late);
    EXPECT_EQ(played[2], RhythmResult::Missed);
    EXPECT_EQ(played[3], RhythmResult::OnTime);
    EXPECT_LT(model.LastScore, 100);
    EXPECT_GT(model.LastScore, 0);
    EXPECT_EQ(rig.window.Label4->text(), model.InstructionText);
    EXPECT_FALSE(model.InstructionText.isEmpty());
    EXPECT_EQ(rig.host.fake.label,
              QStringLiteral("1. Score: %1 %").arg(static_cast<int>(model.LastScore)));
    EXPECT_EQ(rig.host.fake.gauge, model.LastScore);
    EXPECT_EQ(rig.window.ScrollBox1->ScrollY(), 0);
    EXPECT_FALSE(rytme.DrawResultMarks().Empty());
    rig.Save("TRytmeLaes_scored.png");

    // The user scrolls down to read the results; a tap while nothing runs leaves the view there.
    const int taps = rytme.TapCount;
    scroll->setValue(scroll->maximum());
    ASSERT_GT(scroll->value(), 0);
    rig.Tap();
    EXPECT_EQ(scroll->value(), scroll->maximum());
    EXPECT_EQ(rytme.TapCount, taps) << "taps after the end are not recorded";
}

// Rhythms in compound time as the window reads them out: the setup's rhythm (started with F6)
// and each new question after it (F5; every performance stopped with F9) keep their notes
// inside the dotted-quarter beats and have no triplets although they are chosen, and the
// notation closes with a thin and a thick line where its staff ends.
TEST(TRytmeLaes, CompoundTimeRhythmsKeepToTheirBeatsAndCloseWithTheFinalBarLine)
{
    Rig rig;
    ExerciseSetup setup;
    RhythmSetup& block = setup.RhythmReading;
    for (int row : {5, 6, 10, 11})
        block.TimeSignatures[static_cast<std::size_t>(row - 1)] = 1;
    for (std::size_t v = 1; v < 6; ++v)
        block.NoteValues[v] = 1; // half to thirty-second
    block.TripletMask = 0b11110;
    block.Rests = block.Dotted = block.Ties = 1;
    block.Tempo = 90;
    block.Bars = 4;
    block.RhythmEvaluation = 1;
    rig.window.ApplyRhythmSetup(setup, RhythmExerciseSettings{}, true);
    const TRytme& rytme = rig.window.Model().Rytme();
    for (int question = 0; question < 12; ++question) {
        SCOPED_TRACE(question);
        const int key = question == 0 ? Qt::Key_F6 : Qt::Key_F5;
        Key(rig.window, QEvent::KeyPress, key);
        Key(rig.window, QEvent::KeyRelease, key);
        ASSERT_TRUE(rig.window.Model().Recording);
        ASSERT_EQ(rytme.CurrentRow().Denominator, 8);
        ASSERT_EQ(rytme.CurrentRow().Numerator % 3, 0);
        std::int64_t p = 0;
        for (const RhythmNote& n : rytme.List(0)) {
            EXPECT_NE(n.Kind, 2) << "a triplet in compound time";
            const std::int64_t start = p % rytme.BarTicks;
            const std::int64_t end = start + n.Ticks;
            if (start / 1008 != (end - 1) / 1008) {
                EXPECT_TRUE(start % 1008 == 0 || end % 1008 == 0) << "a note straddles a beat";
            }
            p += n.Ticks;
        }
        EXPECT_EQ(p, 4 * rytme.BarTicks);
        Key(rig.window, QEvent::KeyPress, Qt::Key_F9);
        Key(rig.window, QEvent::KeyRelease, Qt::Key_F9);
        ASSERT_FALSE(rig.window.Model().Recording);
    }
    QCoreApplication::processEvents();
    rig.Save("TRytmeLaes_compound.png");

    // Along the staff line of the rhythm's last line: it ends in the thick line, after a gap
    // behind the last bar's thin one, and nothing of the staff goes on beyond it.
    const QImage notation = rig.window.ScrollBox1->PaintBox()->grab().toImage();
    const int lastLine = rytme.BarLine[0][rytme.Bars];
    const int y = lastLine * kRhythmLineHeight + kRhythmStaffY;
    const int barY = lastLine * kRhythmLineHeight + (kRhythmBarTop + kRhythmBarBottom) / 2;
    const auto dark = [&](int x, int atY) { return qGray(notation.pixel(x, atY)) < 128; };
    int staffEnd = notation.width() - 1;
    while (staffEnd > 0 && !dark(staffEnd, y))
        --staffEnd;
    const int thinX = rytme.BarX[0][rytme.Bars] - 1;
    EXPECT_EQ(staffEnd, thinX + kRhythmFinalBarGap + kRhythmFinalBarWidth - 1);
    EXPECT_TRUE(dark(thinX, barY));
    for (int x = thinX + 1; x < thinX + kRhythmFinalBarGap; ++x)
        EXPECT_FALSE(dark(x, barY)) << x;
    for (int x = thinX + kRhythmFinalBarGap; x <= staffEnd; ++x)
        EXPECT_TRUE(dark(x, barY)) << x;
}

// Entering the exercise switches the main window's automatic question on exactly when it is
// asked for and no tutor runs, and off otherwise.
TEST(TRytmeLaes, EnteringSwitchesTheAutomaticQuestionExactlyWhenWanted)
{
    struct Case
    {
        bool automatic;
        bool tutor;
        bool on;
    };
    for (const Case& c :
         {Case{true, false, true}, Case{true, true, false}, Case{false, false, false}}) {
        SCOPED_TRACE(testing::Message() << c.automatic << c.tutor);
        Rig rig;
        RhythmExerciseSettings settings = rig.window.Model().Settings();
        settings.AutoNewQuestion = c.automatic;
        rig.window.SetRhythmSettings(settings);
        rig.host.fake.tutor = c.tutor;
        rig.host.fake.autoTimer = {!c.on};
        rig.window.EnterExercise();
        EXPECT_EQ(rig.host.fake.AutoTimerOn(), c.on);
    }
}

} // namespace
} // namespace pv
