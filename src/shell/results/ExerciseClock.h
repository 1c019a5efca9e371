// The exercise clock of each exercise kind: when its exercise run began, how long the user
// has exercised in it, the span running now, and the time the main window shows.
#pragma once

#include "exercises/session/ExerciseSession.h"
#include "shell/results/ExerciseForms.h"

namespace pv {

class ExerciseClock
{
public:
    /// Every argument must outlive the clock.
    ExerciseClock(MainWindowState& state, ExerciseSessions& sessions, IDateClock& clock,
                  IExerciseClockView& view);

    /// Ends the exercise run of kind (none: of all ten): its start, exercise and answer
    /// times are cleared. In the exercise view or the tutor the current kind's clock then
    /// starts again and the shown time follows.
    void ResetExerciseClock(std::optional<ExerciseKind> kind);
    /// Starts the clock of kind (the run's start is set on the first start). A clock that
    /// runs already closes its span first, so no exercised time is lost. No kind does nothing.
    void StartExerciseClock(std::optional<ExerciseKind> kind);
    /// Closes the running span of kind into its exercise time. A span of a day or more, or a
    /// negative one (the system clock was set back, or the clock never ran), adds nothing.
    void StopExerciseClock(std::optional<ExerciseKind> kind);
    /// Shows the current kind's exercise time in the exercise view, else nothing.
    void UpdateExerciseTime();
    /// A tick of the clock timer: the pending strip repaint, then the shown time.
    void Timer1Timer();
    /// Milliseconds until the clock timer has something to do: the strip repaint a second
    /// after it was asked for, else the next change of the shown time (it shows minutes); none
    /// while nothing shown moves, so that the timer sleeps while the user does nothing.
    std::optional<int> NextTickMs() const;

    /// The exercise time of kind including the span running now (days).
    double RunningExerciseTime(std::optional<ExerciseKind> kind) const;
    bool Timer1Enabled() const { return m_timerEnabled; }
    /// Now, by the clock's date source.
    double Now() const { return m_clock.Now(); }

private:
    /// The running span of counters, 0 when none or when it is not a believable span.
    double RunningSpan(const ExerciseSession& session) const;
    void SetTimer(bool on);

    MainWindowState& m_state;
    ExerciseSessions& m_sessions;
    IDateClock& m_clock;
    IExerciseClockView& m_view;
    bool m_timerEnabled = false;
};

} // namespace pv
