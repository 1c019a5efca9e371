// The rhythm error detection window as a user meets it: a question played by the real
// sequencer engine on a virtual clock, Space that taps nothing here, notes marked with the
// mouse, the check with the marks, the verdict, the changed rhythm and the score.
#include "exercises/rhythm/RhythmChecks.h"
#include "exercises/setup/ExerciseSetup.h"
#include "exercises/ui/TControlButton.h"
#include "exercises/ui/TRytmeKorr.h"
#include "music/sequencer/MidiOut.h"
#include "music/strings/UIStrings.h"
#include "support/ExerciseHostFake.h"
#include "support/FakeClock.h"
#include "support/ScriptedPrompts.h"
#include "support/SequencerFakes.h"
#include "support/TestOutput.h"

#include <set>

#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QWidget>

#include <gtest/gtest.h>

namespace pv {
namespace {

class WindowTargets final : public INotifyTargets
{
public:
    explicit WindowTargets(QObject* window) : m_window(window) {}
    bool SettingsDialogListening() const override { return false; }
    int CurrentExerciseKind() const override { return 6; }
    QObject* Receiver(NotifyReceiver receiver, int) const override
    {
        return receiver == NotifyReceiver::RhythmErrorDetection ? m_window : nullptr;
    }

private:
    QObject* m_window;
};

UIStringTable Strings()
{
    UIStringTable strings;
    strings.StrRhythmText2 = QStringLiteral("Listen...");
    strings.StrRhythmText5 = QStringLiteral("Score:");
    strings.StrScore = QStringLiteral("Right");
    strings.StrMessageTitle = QStringLiteral("Error");
    return strings;
}

void Key(QWidget& target, QEvent::Type type, int key)
{
    QKeyEvent event(type, key, Qt::NoModifier);
    QCoreApplication::sendEvent(&target, &event);
}

struct Rig
{
    Rig()
    {
        midiOut.SetNotifyTargets(&targets);
        EXPECT_TRUE(midiOut.ChangeDevice(1));
        window.SetPlayback(&midiOut, clock);
        ExerciseSetup setup = DefaultExerciseSetup();
        RhythmSetup& block = setup.RhythmErrorDetection;
        block =
            test::MakeSetup({.rows = {4}, .values = {test::kQuarter, test::kEighth}, .bars = 2});
        block.Corrections = 2;
        window.ApplyRhythmSetup(setup, RhythmExerciseSettings{}, true);
        window.resize(760, 520);
        window.show();
        devices.sink.sent.clear();
    }

    void PlayToTheEnd() { test::DriveTo(sequencer, clock, clock.NowUs() + 30'000'000); }

    /// A click on the middle of note j of the written rhythm.
    void Click(int j)
    {
        const RhythmNote& note = window.Model().Rytme().Note(0, j);
        test::Mouse(*window.ScrollBox1->PaintBox(), QEvent::MouseButtonPress,
                    QPoint(note.X + 4, note.Line * kRhythmLineHeight + 40));
        test::Mouse(*window.ScrollBox1->PaintBox(), QEvent::MouseButtonRelease,
                    QPoint(note.X + 4, note.Line * kRhythmLineHeight + 40));
    }

    /// The colour at the middle of a mark under note j (top: 47 for the user's marks, 54 for
    /// the changes) as the notation area shows it.
    QColor MarkColour(const QImage& image, int j, int top) const
    {
        const RhythmNote& note = window.Model().Rytme().Note(0, j);
        return image.pixelColor(note.X + 5, note.Line * kRhythmLineHeight + top + 3);
    }

    test::FakeClock clock;
    test::FakeDevices devices{clock};
    Sequencer sequencer{clock, Sequencer::Drive::Manual};
    test::ScriptedPrompts prompts;
    UIStringTable strings = Strings();
    test::SeededRandom random{5};
    test::FakeExerciseHost host;
    ExerciseSession session;
    TRytmeKorr window{session, &host, strings, prompts, &random};
    WindowTargets targets{&window};
    TMidiOut midiOut{devices, sequencer, prompts, strings};
};

TEST(TRytmeKorr, MarksCheckedAfterAPlaybackShowTheVerdictTheChangesAndTheScore)
{
    Rig rig;
    RytmeKorrModel& model = rig.window.Model();
    ASSERT_TRUE(model.HasQuestion());

    // A setup puts a question without playing it; F6 plays the changed rhythm.
    Key(rig.window, QEvent::KeyPress, Qt::Key_F6);
    Key(rig.window, QEvent::KeyRelease, Qt::Key_F6);
    EXPECT_EQ(rig.window.Label4->text(), QStringLiteral("Listen..."));
    rig.PlayToTheEnd();
    EXPECT_EQ(rig.window.Label4->text(), model.Texts().MarkText);
    EXPECT_TRUE(rig.window.Label5->isVisible());
    EXPECT_FALSE(rig.window.ScrollBox2->isVisible());

    // Space (as the main window hands it on) taps nothing here and echoes nothing.
    rig.devices.sink.sent.clear();
    Key(rig.window, QEvent::KeyPress, Qt::Key_Space);
    rig.window.TapKey(true);
    Key(rig.window, QEvent::KeyRelease, Qt::Key_Space);
    rig.window.TapKey(false);
    EXPECT_EQ(model.Rytme().TapCount, 0);
    EXPECT_TRUE(rig.devices.sink.sent.empty());

    // All changed notes but the first marked, and one note that did not change.
    std::set<int> changed;
    for (const RhythmCorrection& c : model.Rytme().Corrections) {
        changed.insert(c.NoteIndex);
        if (c.Change != RhythmChange::Split)
            changed.insert(c.NoteIndex + 1);
    }
    ASSERT_GE(changed.size(), 2U);
    const int missed = *changed.begin();
    int wrong = 0;
    for (int j = 1; j <= model.Rytme().Count(0) && wrong == 0; ++j)
        if (changed.count(j) == 0)
            wrong = j;
    ASSERT_GT(wrong, 0);
    for (int j : changed)
        if (j != missed)
            rig.Click(j);
    rig.Click(wrong);
    const QImage marking = rig.window.ScrollBox1->PaintBox()->grab().toImage();
    EXPECT_EQ(rig.MarkColour(marking, wrong, 47), QColor(Qt::yellow));
    EXPECT_EQ(rig.MarkColour(marking, missed, 47), QColor(Qt::white));

    // F8: the check.
    Key(rig.window, QEvent::KeyPress, Qt::Key_F8);
    Key(rig.window, QEvent::KeyRelease, Qt::Key_F8);
    const int total = static_cast<int>(changed.size());
    const int score = ((total - 1) * 100 - 50) / total;
    EXPECT_EQ(rig.window.Label4->text(),
              QStringLiteral("%1 of %2 errors found, wrong marks: 1.").arg(total - 1).arg(total));
    EXPECT_FALSE(rig.window.Image13->isVisible());
    EXPECT_TRUE(rig.window.ScrollBox2->isVisible());
    EXPECT_TRUE(rig.window.Label7->isVisible());
    EXPECT_FALSE(rig.window.Label5->isVisible());
    EXPECT_EQ(rig.host.label, QStringLiteral("1. Score: %1 %").arg(score));
    EXPECT_EQ(rig.host.gauge, score);

    const QImage checked = rig.window.ScrollBox1->PaintBox()->grab().toImage();
    for (int j : changed) {
        SCOPED_TRACE(j);
        EXPECT_EQ(rig.MarkColour(checked, j, 54),
                  j == missed ? QColor(Qt::red) : QColor(0, 128, 0));
        EXPECT_EQ(rig.MarkColour(checked, j, 47),
                  j == missed ? QColor(Qt::white) : QColor(Qt::yellow));
    }
    EXPECT_EQ(rig.MarkColour(checked, wrong, 47), QColor(Qt::yellow));
    EXPECT_EQ(rig.MarkColour(checked, wrong, 54), QColor(Qt::white));

    // The marks are frozen now.
    rig.Click(missed);
    EXPECT_FALSE(model.IsMarked(missed));

    // The changed rhythm plays with its bars underlined on its own notation.
    Key(rig.window, QEvent::KeyPress, Qt::Key_F6);
    Key(rig.window, QEvent::KeyRelease, Qt::Key_F6);
    test::DriveTo(rig.sequencer, rig.clock, rig.clock.NowUs() + 2'788'000);
    EXPECT_EQ(model.MarkedBar, (std::array<int, 2>{0, 1}));
    rig.PlayToTheEnd();
    EXPECT_TRUE(rig.window.grab().save(test::TestOutputDir() + QStringLiteral("TRytmeKorr.png")));
}

TEST(TRytmeKorr, AnAllRightCheckShowsThePictureBeforeTheVerdict)
{
    Rig rig;
    RytmeKorrModel& model = rig.window.Model();
    rig.window.RepeatQuestion();
    rig.PlayToTheEnd();
    for (const RhythmCorrection& c : model.Rytme().Corrections) {
        rig.Click(c.NoteIndex);
        if (c.Change != RhythmChange::Split)
            rig.Click(c.NoteIndex + 1);
    }
    rig.window.FourthButtonAction();
    EXPECT_EQ(rig.window.Label4->text(), QStringLiteral("Right"));
    EXPECT_TRUE(rig.window.Image13->isVisible());
    EXPECT_GE(rig.window.Label4->x(), rig.window.Image13->geometry().right());
    EXPECT_EQ(rig.host.gauge, 100);

    // A new question takes the picture, the verdict and the changed rhythm away.
    rig.window.NewQuestion();
    EXPECT_FALSE(rig.window.Image13->isVisible());
    EXPECT_FALSE(rig.window.ScrollBox2->isVisible());
    EXPECT_LT(rig.window.Label4->x(), rig.window.Image13->geometry().right());
}

TEST(TRytmeKorr, TextsArriveByTheWindowsNames)
{
    UIStringTable strings = Strings();
    test::ScriptedPrompts prompts;
    test::SeededRandom random{1};
    ExerciseSession session;
    TRytmeKorr window(session, nullptr, strings, prompts, &random);
    window.setObjectName(QStringLiteral("RhythmCorrectionForm"));
    std::vector<QString> keys;
    window.RegisterTexts([&](const QString& key, std::function<void(const QString&)> set) {
        keys.push_back(key);
        set(QStringLiteral("text of ") + key);
    });
    EXPECT_EQ(keys, (std::vector<QString>{QStringLiteral("RhythmCorrectionForm.Klap"),
                                          QStringLiteral("RhythmCorrectionForm.PlayingText"),
                                          QStringLiteral("RhythmCorrectionForm.MarkText"),
                                          QStringLiteral("RhythmCorrectionForm.VerdictFormat"),
                                          QStringLiteral("RhythmCorrectionForm.Label5"),
                                          QStringLiteral("RhythmCorrectionForm.Label6"),
                                          QStringLiteral("RhythmCorrectionForm.Label7")}));
    EXPECT_EQ(window.Model().Texts().MarkText,
              QStringLiteral("text of RhythmCorrectionForm.MarkText"));
    EXPECT_EQ(window.Label7->text(), QStringLiteral("text of RhythmCorrectionForm.Label7"));
}

} // namespace
} // namespace pv
