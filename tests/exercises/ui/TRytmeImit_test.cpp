// The rhythm imitation window offscreen: a question played on a virtual clock, the rhythm
// tapped with the Space key through the main window's key handling, the verdict, the score and
// the notation with the result marks.
#include "exercises/base/ExerciseHost.h"
#include "exercises/setup/ExerciseSetup.h"
#include "exercises/ui/TControlButton.h"
#include "exercises/ui/TRytmeImit.h"
#include "music/sequencer/MidiOut.h"
#include "music/strings/UIStrings.h"
#include "support/FakeClock.h"
#include "support/ScriptedPrompts.h"
#include "support/ScriptedRandom.h"
#include "support/SequencerFakes.h"
#include "support/TestOutput.h"

#include <functional>
#include <map>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace pv {
namespace {

constexpr std::int64_t kBar = 2688;
constexpr std::int64_t kQuarter = 672;

/// A main window that hands Space to the exercise's tap key, as the program's key table does,
/// and shows the score.
class TapHost final : public IExerciseHost
{
public:
    void FormKeyDown(int key, Qt::KeyboardModifiers, bool autoRepeat) override
    {
        if (key == Qt::Key_Space && !autoRepeat && window != nullptr)
            window->TapKey(true);
    }
    void FormKeyUp(int key, Qt::KeyboardModifiers, bool autoRepeat) override
    {
        if (key == Qt::Key_Space && !autoRepeat && window != nullptr)
            window->TapKey(false);
    }
    bool TutorActive() const override { return false; }
    void ShowTutorProgress() override {}
    bool TutorTakesAnswer() override { return false; }
    bool ShowTip(int) override { return true; }
    void SetAutoNewQuestTimerEnabled(bool) override {}
    void StopMidiInput() override {}
    void WaveInStop() override {}
    void ClockRepaintCurrentKind() override {}
    void ShowScoreDisplay(int g, const QString& l) override
    {
        gauge = g;
        label = l;
    }
    int ProgramFontSize() const override { return 9; }
    AnswerSoundChoice AnswerSounds() const override { return {}; }

    TRhythmWindow* window = nullptr;
    int gauge = -1;
    QString label;
};

class WindowTargets final : public INotifyTargets
{
public:
    bool SettingsDialogListening() const override { return false; }
    int CurrentExerciseKind() const override { return 4; }
    QObject* Receiver(NotifyReceiver receiver, int) const override
    {
        return receiver == NotifyReceiver::RhythmImitation ? window : nullptr;
    }
    QObject* window = nullptr;
};

void Key(QWidget& widget, QEvent::Type type, bool autoRepeat = false)
{
    QKeyEvent event(type, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), autoRepeat);
    QCoreApplication::sendEvent(&widget, &event);
}

/// Presses a control button by its function key (F5 is button 0).
void Button(QWidget& widget, int button)
{
    const int key = Qt::Key_F5 + button;
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent event(type, key, Qt::NoModifier);
        QCoreApplication::sendEvent(&widget, &event);
    }
}

struct Rig
{
    Rig()
    {
        strings.StrRhythmText1 = QStringLiteral("Press New question to hear a rhythm.");
        strings.StrRhythmText2 = QStringLiteral("Listen...");
        strings.StrRhythmText5 = QStringLiteral("Score:");
        strings.StrRhythmVerdict1 = QStringLiteral("Perfect!");
        strings.StrRhythmVerdict2 = QStringLiteral("Well done!");
        host.window = &window;
        targets.window = &window;
        midiOut.SetNotifyTargets(&targets);
        EXPECT_TRUE(midiOut.ChangeDevice(1));
        window.SetPlayback(&midiOut, clock);
        ExerciseSetup setup = DefaultExerciseSetup();
        RhythmSetup& block = *RhythmSetupOfKind(setup, ExerciseKind::RhythmImitation);
        block = RhythmSetup{};
        block.TimeSignatures[3] = 1; // 4/4
        block.NoteValues[2] = 1;     // quarters
        block.Bars = 2;
        block.Tempo = 90;
        block.RhythmEvaluation = 1;
        window.ApplyRhythmSetup(setup, RhythmExerciseSettings{}, true);
        window.resize(640, 420);
        window.show();
    }
    void RunTo(std::int64_t ms)
    {
        test::DriveTo(sequencer, clock, static_cast<std::uint64_t>(start + ms) * 1000U);
    }

    test::FakeClock clock;
    test::FakeDevices devices{clock};
    Sequencer sequencer{clock, Sequencer::Drive::Manual};
    test::ScriptedPrompts prompts;
    UIStringTable strings;
    TMidiOut midiOut{devices, sequencer, prompts, strings};
    test::ScriptedRandom random{{0}};
    TapHost host;
    WindowTargets targets;
    ExerciseSession session;
    TRytmeImit window{session, &host, strings, prompts, &random};
    std::int64_t start = 0;
};

TEST(TRytmeImit, SpaceTapsAreJudgedAndTheNotationShowsTheResults)
{
    Rig rig;
    TRytmeImit& w = rig.window;
    EXPECT_EQ(w.Label4->text(), QStringLiteral("Press New question to hear a rhythm."));
    EXPECT_FALSE(w.ScrollBox1->isVisible());
    EXPECT_EQ(w.StripCellTexts(), (QStringList{"Count-in", "Bar 1", "Bar 2", "Your turn"}));

    rig.start = static_cast<std::int64_t>(rig.clock.NowUs() / 1000U);
    Button(w, 0);
    EXPECT_EQ(w.Label4->text(), QStringLiteral("Listen..."));
    rig.RunTo(3 * kBar);
    EXPECT_EQ(w.Label4->text(), w.Model().Texts.Turn);
    EXPECT_EQ(w.Model().Phase, 4);
    QApplication::processEvents();
    EXPECT_TRUE(w.grab().toImage().save(test::TestOutputDir() +
                                        QStringLiteral("TRytmeImit_users_turn.png")));

    // Eight quarters, the third 150 ms early; the held key's repeat taps nothing.
    for (int k = 0; k < 8; ++k) {
        rig.RunTo(3 * kBar + k * kQuarter - (k == 2 ? 150 : 0));
        Key(w, QEvent::KeyPress);
        if (k == 4)
            Key(w, QEvent::KeyPress, true);
        Key(w, QEvent::KeyRelease);
    }
    EXPECT_EQ(w.Model().Rytme().TapCount, 8);
    rig.RunTo(5 * kBar);
    EXPECT_EQ(w.Label4->text(), QStringLiteral("Well done!"));
    EXPECT_EQ(rig.host.label, QStringLiteral("1. Score: 95 %"));
    EXPECT_EQ(rig.host.gauge, 95);
    EXPECT_TRUE(w.ControlButtons->Model().ButtonEnabled[2]);
    EXPECT_TRUE(w.ControlButtons->Model().ButtonEnabled[3]);

    // Button 3 shows the rhythm with the result of every note.
    Button(w, 3);
    EXPECT_TRUE(w.ScrollBox1->isVisible());
    EXPECT_FALSE(w.ControlButtons->Model().ButtonEnabled[3]);
    QApplication::processEvents();
    const QImage shot = w.grab().toImage();
    shot.save(test::TestOutputDir() + QStringLiteral("TRytmeImit_after_attempt.png"));
    // The notation is drawn: ink on the white area of the notation.
    const QImage notation = w.ScrollBox1->PaintBox()->grab().toImage();
    int ink = 0;
    for (int y = 0; y < notation.height(); ++y) {
        for (int x = 0; x < notation.width(); ++x)
            ink += qGray(notation.pixel(x, y)) < 128 ? 1 : 0;
    }
    EXPECT_GT(ink, 100);
    // Each of the eight notes carries its result mark, placed at the note.
    EXPECT_EQ(w.Model().Rytme().DrawResultMarks().Glyphs.size(), 8U);
}

// The language file's texts reach the strip's cells, the instruction line and the tap button;
// a broken cell format never breaks the strip.
TEST(TRytmeImit, LanguageTextsReachTheWindow)
{
    Rig rig;
    rig.window.setObjectName(QStringLiteral("RhythmImitationForm"));
    std::map<QString, std::function<void(const QString&)>> targets;
    rig.window.RegisterTexts([&](const QString& key, std::function<void(const QString&)> setter) {
        EXPECT_TRUE(targets.emplace(key, std::move(setter)).second) << key.toStdString();
    });
    for (const char* name : {"CountInCell", "BarCellFormat", "TurnCell", "RepeatText",
                             "MetronomeText", "TurnText", "Klap"})
        ASSERT_EQ(targets.count(QStringLiteral("RhythmImitationForm.") + QLatin1String(name)), 1U)
            << name;
    const auto set = [&](const char* name, const char* text) {
        targets[QStringLiteral("RhythmImitationForm.") + QLatin1String(name)](
            QString::fromUtf8(text));
    };
    set("CountInCell", "Vorzähler");
    set("BarCellFormat", "Takt %d");
    set("TurnCell", "Du");
    set("TurnText", "Jetzt du!");
    set("Klap", "Klatsch");
    EXPECT_EQ(rig.window.StripCellTexts(),
              (QStringList{QStringLiteral("Vorzähler"), "Takt 1", "Takt 2", "Du"}));
    EXPECT_EQ(rig.window.Klap->text(), QStringLiteral("Klatsch"));
    set("BarCellFormat", "%s%n%d%d");
    EXPECT_EQ(rig.window.StripCellTexts().size(), 4);
    rig.window.PaintBox1->repaint();

    rig.start = static_cast<std::int64_t>(rig.clock.NowUs() / 1000U);
    Button(rig.window, 0);
    rig.RunTo(3 * kBar);
    EXPECT_EQ(rig.window.Label4->text(), QStringLiteral("Jetzt du!"));
}

} // namespace
} // namespace pv
