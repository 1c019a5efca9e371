// The exercise base window: keys, clicks and the main window's calls reach the exercise protocol.
#include "exercises/base/ExerciseHost.h"
#include "exercises/ui/TControlButton.h"
#include "exercises/ui/TExerciseBaseClass.h"
#include "support/TempDir.h"
#include "support/TestOutput.h"

#include <map>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStringList>

#include <gtest/gtest.h>

namespace pv {
namespace {

class RecordingHost final : public IExerciseHost
{
public:
    QStringList calls;
    bool tutorActive = false;
    bool tutorTakesAnswers = false;
    int shownGauge = -1;
    AnswerSoundChoice sounds;

    void FormKeyDown(int key, Qt::KeyboardModifiers, bool) override
    {
        calls << QStringLiteral("FormKeyDown %1").arg(key);
    }
    void FormKeyUp(int key, Qt::KeyboardModifiers, bool) override
    {
        calls << QStringLiteral("FormKeyUp %1").arg(key);
    }
    bool TutorActive() const override { return tutorActive; }
    void ShowTutorProgress() override { calls << QStringLiteral("ShowTutorProgress"); }
    bool TutorTakesAnswer() override
    {
        calls << QStringLiteral("TutorTakesAnswer");
        return tutorTakesAnswers;
    }
    bool ShowTip(int) override { return true; }
    void SetAutoNewQuestTimerEnabled(bool on) override
    {
        calls << QStringLiteral("AutoNewQuestTimer %1").arg(on ? 1 : 0);
    }
    void StopMidiInput() override { calls << QStringLiteral("StopMidiInput"); }
    void WaveInStop() override { calls << QStringLiteral("WaveInStop"); }
    void ClockRepaintCurrentKind() override { calls << QStringLiteral("ClockRepaint"); }
    void ShowScoreDisplay(int gauge, const QString&) override { shownGauge = gauge; }
    int ProgramFontSize() const override { return 10; }
    AnswerSoundChoice AnswerSounds() const override { return sounds; }
};

class RecordingSound final : public IAnswerSound
{
public:
    QStringList played;
    void Play(const QString& wavFile) override { played << wavFile; }
};

QString NameOf(ExerciseOperation operation)
{
    switch (operation) {
    case ExerciseOperation::AutoNewQuestTimerTimer:
        return QStringLiteral("AutoNewQuestTimerTimer");
    case ExerciseOperation::ResetResults:
        return QStringLiteral("ResetResults");
    case ExerciseOperation::MidiInMessage:
        return QStringLiteral("MidiInMessage");
    case ExerciseOperation::NewQuestion:
        return QStringLiteral("NewQuestion");
    case ExerciseOperation::RepeatQuestion:
        return QStringLiteral("RepeatQuestion");
    case ExerciseOperation::ThirdButtonAction:
        return QStringLiteral("ThirdButtonAction");
    case ExerciseOperation::FourthButtonAction:
        return QStringLiteral("FourthButtonAction");
    case ExerciseOperation::StopPlaying:
        return QStringLiteral("StopPlaying");
    case ExerciseOperation::EnterExercise:
        return QStringLiteral("EnterExercise");
    }
    return {};
}

/// The protocol as the window runs it: each operation's name, a new question put, and the
/// effects a test scripts for an operation and for what comes after an answer.
class RecordingModel final : public IExerciseModel
{
public:
    mutable QStringList calls;
    std::map<ExerciseOperation, ExerciseEffects> scripted;
    ExerciseEffects afterAnswer;
    ScoreDisplay score;

    ExerciseEffects Run(const ExerciseRequest& request) override
    {
        calls << NameOf(request.Operation);
        ExerciseEffects effects;
        if (request.Operation == ExerciseOperation::NewQuestion)
            effects.PutQuestion();
        if (const auto it = scripted.find(request.Operation); it != scripted.end())
            effects.Then(it->second);
        return effects;
    }
    ExerciseEffects TakeEffects() override { return {}; }
    ExerciseEffects ContinueAfterAnswer() override
    {
        calls << QStringLiteral("ContinueAfterAnswer");
        return afterAnswer;
    }
    ScoreDisplay Score() const override
    {
        calls << QStringLiteral("ShowScore");
        return score;
    }
};

class RecordingExercise final : public TExerciseBaseClass
{
public:
    RecordingExercise(ExerciseSession& session, IExerciseHost* host)
        : TExerciseBaseClass(session, host)
    {
        SetExerciseModel(model);
    }
    RecordingModel model;
    QStringList& calls = model.calls;
};

void SendKey(QWidget* to, QEvent::Type type, int key, bool autoRepeat = false)
{
    QKeyEvent event(type, key, Qt::NoModifier, QString(), autoRepeat);
    QApplication::sendEvent(to, &event);
}

void TapKey(QWidget* to, int key)
{
    SendKey(to, QEvent::KeyPress, key);
    SendKey(to, QEvent::KeyRelease, key);
}

void SendMouse(QWidget* to, QEvent::Type type, QPoint at)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent event(type, QPointF(at), to->mapToGlobal(QPointF(at)), Qt::LeftButton, held,
                      Qt::NoModifier);
    QApplication::sendEvent(to, &event);
}

class ExerciseWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window.resize(700, 200);
        window.ControlButtons->Model().Captions = {QStringLiteral("New"), QStringLiteral("Repeat"),
                                                   QStringLiteral("Play"), QStringLiteral("Check"),
                                                   QStringLiteral("Stop")};
        window.ControlButtons->Model().ButtonEnabled = {true, true, true, true, true};
        window.SetDateSource([this] { return now; });
        window.SetAnswerSound(&sound);
        window.show();
        // Offscreen windows become active only when told; the focus needs an active window.
        QApplication::setActiveWindow(&window);
        QApplication::processEvents();
    }

    RecordingHost host;
    RecordingSound sound;
    double now = 46000.5;
    ExerciseSession session;
    RecordingExercise window{session, &host};
};

TEST_F(ExerciseWindowTest, StripSitsAtItsPlaceAndTakesTheKeyboardFocus)
{
    EXPECT_EQ(window.ControlButtons->geometry(), QRect(4, 4, 641, 48));
    EXPECT_EQ(window.ControlButtons->focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(window.ControlButtons->parentWidget(), &window);
    ExerciseSession freshSession;
    RecordingExercise fresh(freshSession, nullptr);
    EXPECT_EQ(fresh.ControlButtons->Model().FocusIndex, -1);
    EXPECT_EQ(fresh.ControlButtons->Model().PressedIndex, -1);
    EXPECT_EQ(fresh.ControlButtons->Model().HotIndex, -1);
    for (bool enabled : fresh.ControlButtons->Model().ButtonEnabled)
        EXPECT_FALSE(enabled);
    TExerciseBaseClass* asBase = &fresh;
    EXPECT_EQ(asBase->Session().QuestionCount, 0U);

    // The shown window's only focusable control is the strip; with the focus the mark goes to
    // the first enabled button.
    ASSERT_TRUE(window.ControlButtons->hasFocus());
    EXPECT_EQ(window.ControlButtons->Model().FocusIndex, 0);
    window.ControlButtons->Model().ButtonEnabled[1] = false;
    window.ControlButtons->SetFocusIndex(1);
    window.ControlButtons->clearFocus();
    window.ControlButtons->setFocus();
    EXPECT_EQ(window.ControlButtons->Model().FocusIndex, 2) << "a disabled button loses the mark";
}

TEST_F(ExerciseWindowTest, FunctionKeysRunTheirProtocolOperationsOnRelease)
{
    const int keys[] = {Qt::Key_F5, Qt::Key_F6, Qt::Key_F7, Qt::Key_F8, Qt::Key_F9};
    for (int key : keys) {
        const qsizetype before = window.calls.size();
        SendKey(window.ControlButtons, QEvent::KeyPress, key);
        EXPECT_EQ(window.calls.size(), before) << "nothing runs on the press";
        SendKey(window.ControlButtons, QEvent::KeyRelease, key);
    }
    EXPECT_EQ(window.calls,
              (QStringList{QStringLiteral("NewQuestion"), QStringLiteral("RepeatQuestion"),
                           QStringLiteral("ThirdButtonAction"),
                           QStringLiteral("FourthButtonAction"), QStringLiteral("StopPlaying")}));
    EXPECT_TRUE(host.calls.isEmpty()) << "the strip's keys are not handed back";
    EXPECT_EQ(window.Session().QuestionStart, now)
        << "the base NewQuestion marks the question's start";
}

TEST_F(ExerciseWindowTest, EnterRunsTheFocusedButtonWhileTheStripHasTheFocus)
{
    window.ControlButtons->SetFocusIndex(3);
    ASSERT_TRUE(window.ControlButtons->hasFocus());
    TapKey(window.ControlButtons, Qt::Key_Return);
    EXPECT_EQ(window.calls, QStringList{QStringLiteral("FourthButtonAction")});
    EXPECT_TRUE(window.ControlButtons->hasFocus()) << "the window keeps the strip focused";

    window.ControlButtons->clearFocus();
    TapKey(&window, Qt::Key_Return);
    EXPECT_EQ(window.calls.size(), 1) << "without the focus Enter is not the strip's";
    EXPECT_EQ(host.calls, (QStringList{QStringLiteral("FormKeyDown %1").arg(int(Qt::Key_Return)),
                                       QStringLiteral("FormKeyUp %1").arg(int(Qt::Key_Return))}));
}

TEST_F(ExerciseWindowTest, DisabledButtonsAndHeldKeysRunNothingExtra)
{
    window.ControlButtons->Model().ButtonEnabled[2] = false;
    TapKey(window.ControlButtons, Qt::Key_F7);
    EXPECT_TRUE(window.calls.isEmpty());

    SendKey(window.ControlButtons, QEvent::KeyPress, Qt::Key_F6);
    for (int i = 0; i < 4; ++i) {
        SendKey(window.ControlButtons, QEvent::KeyRelease, Qt::Key_F6, true);
        SendKey(window.ControlButtons, QEvent::KeyPress, Qt::Key_F6, true);
    }
    SendKey(window.ControlButtons, QEvent::KeyRelease, Qt::Key_F6);
    EXPECT_EQ(window.calls, QStringList{QStringLiteral("RepeatQuestion")});

    // Disabled while held down: the release runs nothing but lets the button go.
    SendKey(window.ControlButtons, QEvent::KeyPress, Qt::Key_F9);
    EXPECT_EQ(window.ControlButtons->Model().PressedIndex, 4);
    window.ControlButtons->Model().ButtonEnabled[4] = false;
    SendKey(window.ControlButtons, QEvent::KeyRelease, Qt::Key_F9);
    EXPECT_EQ(window.calls.size(), 1);
    EXPECT_EQ(window.ControlButtons->Model().PressedIndex, -1);
}

TEST_F(ExerciseWindowTest, ClicksOnAFaceRunItsButtonAndClicksBesideThemNothing)
{
    TControlButton* strip = window.ControlButtons;
    const QPoint faceOfButton1(TControlButton::kCellWidth + 20, 40);
    SendMouse(strip, QEvent::MouseButtonPress, faceOfButton1);
    EXPECT_EQ(strip->Model().PressedIndex, 1);
    SendMouse(strip, QEvent::MouseButtonRelease, faceOfButton1);
    EXPECT_EQ(window.calls, QStringList{QStringLiteral("RepeatQuestion")});

    const QPoint gap(TControlButton::kCellWidth * 2 - 2, 40);
    SendMouse(strip, QEvent::MouseButtonPress, gap);
    EXPECT_EQ(strip->Model().PressedIndex, -1);
    SendMouse(strip, QEvent::MouseButtonRelease, gap);
    const QPoint aboveTheFaces(10, 1);
    SendMouse(strip, QEvent::MouseButtonPress, aboveTheFaces);
    SendMouse(strip, QEvent::MouseButtonRelease, aboveTheFaces);
    EXPECT_EQ(window.calls.size(), 1);
}

TEST_F(ExerciseWindowTest, OtherKeysGoBackToTheMainWindow)
{
    TapKey(window.ControlButtons, Qt::Key_A);
    EXPECT_TRUE(window.calls.isEmpty());
    EXPECT_EQ(host.calls, (QStringList{QStringLiteral("FormKeyDown %1").arg(int(Qt::Key_A)),
                                       QStringLiteral("FormKeyUp %1").arg(int(Qt::Key_A))}));
}

TEST_F(ExerciseWindowTest, BaseOperationsCallTheMainWindow)
{
    host.tutorActive = true;
    window.NewQuestion();
    window.EnterExercise();
    window.LeaveExercise();
    EXPECT_EQ(window.calls, (QStringList{QStringLiteral("NewQuestion"), QStringLiteral("ShowScore"),
                                         QStringLiteral("EnterExercise")}));
    EXPECT_EQ(
        host.calls,
        (QStringList{QStringLiteral("ShowTutorProgress"), QStringLiteral("AutoNewQuestTimer 0"),
                     QStringLiteral("StopMidiInput"), QStringLiteral("WaveInStop")}));
}

TEST_F(ExerciseWindowTest, AnswerFeedbackPlaysTheSettingsSoundAndAddsTheAnswerTimeOnce)
{
    test::TempDir media;
    ASSERT_TRUE(media.Write(QStringLiteral("Correct.wav"), {1}));
    ASSERT_TRUE(media.Write(QStringLiteral("Wrong.wav"), {1}));
    host.sounds = {true, media.Path(), QStringLiteral("Correct"), QStringLiteral("Wrong")};

    window.NewQuestion();
    now += 0.25;
    window.AnswerFeedback(true);
    window.AnswerFeedback(false);
    EXPECT_EQ(sound.played, (QStringList{media.File(QStringLiteral("Correct.wav")),
                                         media.File(QStringLiteral("Wrong.wav"))}));
    EXPECT_NEAR(window.Session().AnswerTime, 0.25, 1e-9);
    EXPECT_EQ(window.Session().QuestionStart, 0.0);

    host.sounds.SoundEffects = false;
    window.AnswerFeedback(true);
    EXPECT_EQ(sound.played.size(), 2) << "sound effects off";
}

// An answer is carried out once, whichever operation scored it: the answer time and the score,
// then either the tutor takes it (the exercise stops there, and no question comes by itself)
// or the exercise goes on as its model says.
TEST_F(ExerciseWindowTest, AnAnswerIsCarriedOutOnceAndThenTheTutorOrTheExerciseGoesOn)
{
    const struct
    {
        const char* name;
        bool tutorTakes;
        QStringList model;
        QStringList host;
    } cases[] = {
        {"the exercise goes on",
         false,
         {QStringLiteral("FourthButtonAction"), QStringLiteral("ShowScore"),
          QStringLiteral("ContinueAfterAnswer")},
         {QStringLiteral("TutorTakesAnswer"), QStringLiteral("AutoNewQuestTimer 1")}},
        {"the tutor takes the answer",
         true,
         {QStringLiteral("FourthButtonAction"), QStringLiteral("ShowScore")},
         {QStringLiteral("TutorTakesAnswer"), QStringLiteral("AutoNewQuestTimer 0")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        window.calls.clear();
        host.calls.clear();
        host.tutorTakesAnswers = c.tutorTakes;
        ExerciseEffects answer;
        answer.Scored(true);
        window.model.scripted[ExerciseOperation::FourthButtonAction] = answer;
        window.model.afterAnswer = {};
        window.model.afterAnswer.SwitchAutoNewQuestion(true);
        window.model.score.Gauge = 42;
        session.QuestionStart = now;
        now += 0.001;
        window.FourthButtonAction();
        EXPECT_EQ(window.calls, c.model);
        EXPECT_EQ(host.calls, c.host);
        EXPECT_EQ(host.shownGauge, 42);
        EXPECT_NEAR(session.AnswerTime, 0.001, 1e-9);
        EXPECT_EQ(session.QuestionStart, 0.0);
        session.AnswerTime = 0.0;
    }
}

// Pictures of the strip in its states, for people to look at.
TEST_F(ExerciseWindowTest, RendersTheStripToAPicture)
{
    TControlButton* strip = window.ControlButtons;
    strip->Model().Captions = {QStringLiteral("New"), QStringLiteral("Repeat"),
                               QStringLiteral("Play answer"), QStringLiteral("Check"),
                               QStringLiteral("Stop")};
    std::vector<QImage> rows;
    strip->clearFocus();
    rows.push_back(strip->Render()); // all enabled, no focus
    strip->SetFocusIndex(0);
    strip->Model().HotIndex = 1;
    strip->Model().PressedIndex = 2;
    strip->Model().ButtonEnabled[4] = false;
    rows.push_back(strip->Render()); // focus mark on 0, 1 hot, 2 pressed, 4 disabled
    strip->Model().PressedIndex = -1;
    strip->Model().HotIndex = -1;
    strip->Model().ButtonEnabled = {true, false, false, true, false};
    strip->Model().FocusIndex = 3;
    rows.push_back(strip->Render()); // after a question: focus on "Check"

    QImage sheet(strip->width(), strip->height() * int(rows.size()) + 4 * int(rows.size() - 1),
                 QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    for (std::size_t i = 0; i < rows.size(); ++i)
        painter.drawImage(0, int(i) * (strip->height() + 4), rows[i]);
    painter.end();
    const QString file = test::TestOutputDir() + QStringLiteral("control_strip.png");
    ASSERT_TRUE(sheet.save(file));

    // The hit test reads the painted picture: a face hits, the strip's background does not.
    strip->repaint();
    EXPECT_EQ(strip->HitTest(TControlButton::kCellWidth * 3 + 60, 40), 3);
    EXPECT_EQ(strip->HitTest(TControlButton::kCellWidth * 3 - 1, 40), -1);
}

} // namespace
} // namespace pv
