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

void TExerciseBaseClass::Run(ExerciseOperation operation, std::uint32_t message)
{
    if (m_model == nullptr)
        return;
    ExerciseRequest request;
    request.Operation = operation;
    request.Message = message;
    request.TutorActive = m_host != nullptr && m_host->TutorActive();
    CarryOut(m_model->Run(request));
}

void TExerciseBaseClass::AutoNewQuestTimerTimer()
{
    Run(ExerciseOperation::AutoNewQuestTimerTimer);
}

void TExerciseBaseClass::ResetResults()
{
    Run(ExerciseOperation::ResetResults);
    ShowScore();
}

void TExerciseBaseClass::ShowScore()
{
    if (m_host == nullptr || m_model == nullptr)
        return;
    const ScoreDisplay score = m_model->Score();
    m_host->ShowScoreDisplay(score.Gauge, score.Label);
}

void TExerciseBaseClass::MidiInMessage(std::uint32_t message)
{
    Run(ExerciseOperation::MidiInMessage, message);
}

void TExerciseBaseClass::NewQuestion()
{
    Run(ExerciseOperation::NewQuestion);
}

void TExerciseBaseClass::RepeatQuestion()
{
    Run(ExerciseOperation::RepeatQuestion);
}

void TExerciseBaseClass::ThirdButtonAction()
{
    Run(ExerciseOperation::ThirdButtonAction);
}

void TExerciseBaseClass::FourthButtonAction()
{
    Run(ExerciseOperation::FourthButtonAction);
}

void TExerciseBaseClass::StopPlaying()
{
    Run(ExerciseOperation::StopPlaying);
}

void TExerciseBaseClass::SpareAction()
{
    // No exercise gives it a body; a call is a programming error.
    PV_SOFT_CHECK(false);
}

void TExerciseBaseClass::EnterExercise()
{
    ShowScore();
    Run(ExerciseOperation::EnterExercise);
}

void TExerciseBaseClass::LeaveExercise()
{
    if (m_host == nullptr)
        return;
    m_host->SetAutoNewQuestTimerEnabled(false);
    m_host->StopMidiInput();
    m_host->WaveInStop();
}

void TExerciseBaseClass::CarryOut(ExerciseEffects effects)
{
    bool goOn = false;
    if (effects.Answer) {
        AnswerFeedback(*effects.Answer);
        ShowScore();
        // A step that ends with this answer is the tutor's from here: it ends the step after
        // this call has returned, so nothing of the exercise runs on beside its dialog, and no
        // question may come by itself before it.
        if (m_host != nullptr && m_host->TutorTakesAnswer())
            effects.AutoNewQuestion = false;
        else
            goOn = true;
    }
    if (effects.QuestionPut) {
        if (m_host != nullptr && m_host->TutorActive())
            m_host->ShowTutorProgress();
        m_session.MarkQuestionStart(Now());
    }
    if (effects.AutoNewQuestion && m_host != nullptr)
        m_host->SetAutoNewQuestTimerEnabled(*effects.AutoNewQuestion);
    if (Has(effects.Repaint, ExerciseRepaint::Score) && !effects.Answer)
        ShowScore();
    if (Has(effects.Repaint, ExerciseRepaint::Metronome) && m_host != nullptr)
        m_host->RestVisualMetronome();
    Mirror(effects);
    if (goOn && m_model != nullptr)
        CarryOut(m_model->ContinueAfterAnswer());
}

void TExerciseBaseClass::Settle()
{
    if (m_model == nullptr)
        return;
    // An input of the window's own changed the model: the window shows it, whatever else it
    // caused.
    ExerciseEffects effects = m_model->TakeEffects();
    effects.Show(ExerciseRepaint::Strip | ExerciseRepaint::Exercise);
    CarryOut(effects);
}

void TExerciseBaseClass::Mirror(const ExerciseEffects& effects)
{
    if (Has(effects.Repaint, ExerciseRepaint::Strip))
        ControlButtons->update();
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
