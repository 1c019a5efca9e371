// The exercise protocol's base bodies, the strip's mouse and key handling and the answer feedback.
#include "exercises/ui/TExerciseBaseClass.h"

#include "exercises/base/AnswerSound.h"
#include "exercises/base/ExerciseHost.h"
#include "exercises/ui/TControlButton.h"
#include "music/base/Log.h"
#include "music/files/DaysSince1899.h"

#include <QApplication>
#include <QKeyEvent>

namespace pv {

TExerciseBaseClass::TExerciseBaseClass(ExerciseSession& session, IExerciseHost* host,
                                       QWidget* parent)
    : QWidget(parent), m_session(session), m_host(host), m_now(&NowInDaysSince1899)
{
    // A reset the bookkeeping or the tutor makes on the session closes this window's question.
    m_session.SetResetListener([this] { ResetResults(); });
    ControlButtons = new TControlButton(this);
    ControlButtons->SetHost(host);
    connect(ControlButtons, &TControlButton::StripMouseDown, this,
            &TExerciseBaseClass::ControlButtonMouseDown);
    connect(ControlButtons, &TControlButton::StripMouseUp, this,
            &TExerciseBaseClass::ControlButtonMouseUp);
    connect(ControlButtons, &TControlButton::StripMouseMove, this,
            &TExerciseBaseClass::ControlButtonMouseMove);
}

TExerciseBaseClass::~TExerciseBaseClass()
{
    m_session.SetResetListener({});
}

void TExerciseBaseClass::NewQuestion()
{
    if (m_host != nullptr && m_host->TutorActive())
        m_host->ShowTutorProgress();
    m_session.MarkQuestionStart(Now());
}

void TExerciseBaseClass::SpareAction()
{
    // No exercise gives it a body; a call is a programming error.
    PV_SOFT_CHECK(false);
}

void TExerciseBaseClass::EnterExercise()
{
    ShowScore();
}

void TExerciseBaseClass::LeaveExercise()
{
    if (m_host == nullptr)
        return;
    m_host->SetAutoNewQuestTimerEnabled(false);
    m_host->StopMidiInput();
    m_host->WaveInStop();
}

void TExerciseBaseClass::ControlButtonUpAction()
{
    RunButtonAction(ControlButtons->Model().Release());
}

void TExerciseBaseClass::RunButtonAction(int button)
{
    switch (button) {
    case 0:
        NewQuestion();
        break;
    case 1:
        RepeatQuestion();
        break;
    case 2:
        ThirdButtonAction();
        break;
    case 3:
        FourthButtonAction();
        break;
    case 4:
        StopPlaying();
        break;
    default:
        break;
    }
    TakeFocus();
    ControlButtons->repaint();
}

void TExerciseBaseClass::TakeFocus()
{
    // The window takes the focus back for its last focused control (normally the strip), as an
    // activated form does; the focus is not pulled away from a control inside the window.
    QWidget* focused = QApplication::focusWidget();
    if (focused != nullptr && (focused == this || isAncestorOf(focused)))
        return;
    QWidget* target = focusWidget();
    if (target == nullptr)
        target = ControlButtons;
    target->setFocus(Qt::OtherFocusReason);
}

void TExerciseBaseClass::ControlButtonMouseDown(Qt::MouseButton, int x, int y)
{
    ControlButtons->Press(ControlButtons->HitTest(x, y));
}

void TExerciseBaseClass::ControlButtonMouseUp(Qt::MouseButton, int, int)
{
    ControlButtonUpAction();
}

void TExerciseBaseClass::ControlButtonMouseMove(int x, int y)
{
    if (ControlButtons->Model().MouseMove(ControlButtons->HitTest(x, y)))
        ControlButtons->update();
}

void TExerciseBaseClass::AnswerFeedback(bool right)
{
    if (m_host != nullptr && m_answerSound != nullptr) {
        const QString file = AnswerSoundFile(m_host->AnswerSounds(), right);
        if (!file.isEmpty())
            m_answerSound->Play(file);
    }
    m_session.AddAnswerTime(Now());
}

void TExerciseBaseClass::SetDateSource(std::function<double()> now)
{
    m_now = now ? std::move(now) : std::function<double()>(&NowInDaysSince1899);
}

double TExerciseBaseClass::Now() const
{
    return m_now();
}

void TExerciseBaseClass::keyPressEvent(QKeyEvent* event)
{
    // The main window previews keys and handles the strip's own; a key that still arrives here
    // (no main window in front) presses the strip's button, every other key goes back to it.
    const int key = event->key();
    ControlStripModel& strip = ControlButtons->Model();
    const int wasPressed = strip.PressedIndex;
    if (strip.KeyDown(key, event->isAutoRepeat(), ControlButtons->hasFocus())) {
        if (strip.PressedIndex != wasPressed)
            ControlButtons->repaint();
        event->accept();
        return;
    }
    if (m_host != nullptr) {
        m_host->FormKeyDown(key, event->modifiers(), event->isAutoRepeat());
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TExerciseBaseClass::keyReleaseEvent(QKeyEvent* event)
{
    const int key = event->key();
    int action = -1;
    if (ControlButtons->Model().KeyUp(key, event->isAutoRepeat(), ControlButtons->hasFocus(),
                                      &action)) {
        if (!event->isAutoRepeat())
            RunButtonAction(action);
        event->accept();
        return;
    }
    if (m_host != nullptr) {
        m_host->FormKeyUp(key, event->modifiers(), event->isAutoRepeat());
        event->accept();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

} // namespace pv
