// The base of every exercise window: its session, its control strip and the exercise protocol
// through which the main window drives it.
//
// The pattern every exercise window follows: window = widgets + an owned headless model +
// mirroring. The window owns its model as a member (never as a base class), hands it the kind's
// session (Session(), which the program keeps whether or not the window exists) and the strip's
// state (ControlButtons->Model()) by reference and the interface texts it was given, and gives
// the base the model's protocol (SetExerciseModel). Every protocol operation runs the model once
// and the base carries out what it returned; clicks and keys of the window's own widgets call
// the model and then Settle. Every rule (what a setup, a reset, an answer input or a question
// decides) lives in the model and is tested there without a screen; panel placement lives in a
// headless layout function. The window then only copies the model's state and the layout's
// rectangles into its widgets (Mirror) and asks for a repaint.
#pragma once

#include "exercises/base/ExerciseProtocol.h"
#include "exercises/session/ExerciseSession.h"

#include <cstdint>
#include <functional>

#include <QWidget>

namespace pv {

class IAnswerSound;
class IExerciseHost;
class TControlButton;

class TExerciseBaseClass : public QWidget
{
    Q_OBJECT

public:
    /// session is the kind's, which the window mirrors; it must outlive the window. host (the
    /// main window) may be null in tests; the window then keeps the strip's keys itself.
    TExerciseBaseClass(ExerciseSession& session, IExerciseHost* host, QWidget* parent = nullptr);
    ~TExerciseBaseClass() override;

    // The exercise protocol, in the order the main window knows it. Each runs the model's
    // operation and carries out what it caused.
    /// The main window's automatic-new-question timer fired in the exercise view.
    void AutoNewQuestTimerTimer();
    /// Closes the open question with its results: the session's counters and per-item
    /// statistics are cleared, then the score is shown.
    void ResetResults();
    /// Shows the score in the main window.
    void ShowScore();
    /// One packed MIDI short message (status in the low byte, data 1 and 2 above it).
    void MidiInMessage(std::uint32_t message);
    /// Control button 0 (F5).
    void NewQuestion();
    /// Control button 1 (F6).
    void RepeatQuestion();
    /// Control button 2 (F7).
    void ThirdButtonAction();
    /// Control button 3 (F8).
    void FourthButtonAction();
    /// Control button 4 (F9); also when the sequencer reports the end of playback.
    void StopPlaying();
    /// Reserved; no exercise has it.
    void SpareAction();
    /// The exercise view shows this window. Overrides call the base first.
    virtual void EnterExercise();
    /// The exercise view leaves this window.
    virtual void LeaveExercise();
    /// The main window's answer-button blink timer ticked while this window is current.
    virtual void Timer1Timer() {}
    /// The main window's 150 ms light timer ticked while this window is current.
    virtual void MouseDownDelayTimer() {}
    /// The remote control takes back the last entered note (windows with note entry only).
    virtual void DeleteLastNote() {}

    TControlButton* ControlButtons = nullptr;

    /// The strip's release: runs the action of the pressed button when it is still enabled.
    void ControlButtonUpAction();
    void ControlButtonMouseDown(Qt::MouseButton button, int x, int y);
    void ControlButtonMouseUp(Qt::MouseButton button, int x, int y);
    void ControlButtonMouseMove(int x, int y);

    /// After a scored answer: the answer sound and the answer time.
    void AnswerFeedback(bool right);
    /// Carries out what an operation of the model (or another of its inputs) caused: after an
    /// answer the answer feedback, the score and the tutor's turn, else what the exercise does
    /// next; the question's start and the tutor's progress; the automatic-question timer; then
    /// the window mirrors the model.
    void CarryOut(ExerciseEffects effects);
    /// Carries out what the model's other inputs caused since the last time, and shows the
    /// model as they left it.
    void Settle();

    /// The kind's counters, item statistics and clocks, which the window mirrors.
    ExerciseSession& Session() { return m_session; }
    const ExerciseSession& Session() const { return m_session; }

    IExerciseHost* Host() const { return m_host; }
    void SetAnswerSound(IAnswerSound* sound) { m_answerSound = sound; }
    /// The source of the current date and time (days since 1899-12-30); the real one by default.
    void SetDateSource(std::function<double()> now);
    double Now() const;

protected:
    /// The derived window's protocol, given by its constructor; it must outlive the window.
    /// Until it is given, the protocol's operations do nothing.
    void SetExerciseModel(IExerciseModel& model) { m_model = &model; }
    /// Brings the window's widgets up to the model's state, as far as effects ask for it.
    virtual void Mirror(const ExerciseEffects& effects);

    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void RunButtonAction(int button);
    void Run(ExerciseOperation operation, std::uint32_t message = 0);
    void TakeFocus();

    ExerciseSession& m_session;
    IExerciseModel* m_model = nullptr;
    IExerciseHost* m_host = nullptr;
    IAnswerSound* m_answerSound = nullptr;
    std::function<double()> m_now;
};

} // namespace pv
