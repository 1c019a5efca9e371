// The exercise clock: start, stop, reset and the shown exercise time.
#include "shell/results/ExerciseClock.h"

#include "music/files/DaysSince1899.h"
#include "shell/results/ElapsedTime.h"

#include <cmath>
#include <cstdint>

namespace pv {

double SystemDateClock::Now() const
{
    return NowInDaysSince1899();
}

ExerciseClock::ExerciseClock(MainWindowState& state, ExerciseSessions& sessions, IDateClock& clock,
                             IExerciseClockView& view)
    : m_state(state), m_sessions(sessions), m_clock(clock), m_view(view)
{
}

void ExerciseClock::ResetExerciseClock(std::optional<ExerciseKind> kind)
{
    for (ExerciseKind k : kExerciseKinds) {
        if (kind && *kind != k)
            continue;
        // The running span goes too: left in place it would count into the next run.
        if (ExerciseSession* session = m_sessions.Find(k))
            session->ClearClock();
    }
    if ((m_state.CurrentView == MainView::Exercise || m_state.TutorActive) && m_state.CurrentKind) {
        StartExerciseClock(m_state.CurrentKind);
        UpdateExerciseTime();
    }
}

void ExerciseClock::StartExerciseClock(std::optional<ExerciseKind> kind)
{
    ExerciseSession* session = kind ? m_sessions.Find(*kind) : nullptr;
    if (session == nullptr)
        return;
    const double now = m_clock.Now();
    session->ExerciseTime += RunningSpan(*session);
    if (session->StartDate < 1.0)
        session->StartDate = now;
    session->ClockStart = now;
    SetTimer(true);
}

void ExerciseClock::StopExerciseClock(std::optional<ExerciseKind> kind)
{
    ExerciseSession* session = kind ? m_sessions.Find(*kind) : nullptr;
    if (session == nullptr)
        return;
    session->ExerciseTime += RunningSpan(*session);
    session->ClockStart = 0.0;
    SetTimer(false);
}

void ExerciseClock::UpdateExerciseTime()
{
    if (m_state.CurrentKind && m_state.CurrentView == MainView::Exercise)
        m_view.ShowExerciseTime(FormatElapsedTime(false, RunningExerciseTime(m_state.CurrentKind)));
    else
        m_view.ShowExerciseTime(QString());
}

void ExerciseClock::Timer1Timer()
{
    if (m_state.ClockRepaintKind) {
        m_view.RepaintControlStrip(*m_state.ClockRepaintKind);
        m_state.ClockRepaintKind.reset();
    }
    UpdateExerciseTime();
}

std::optional<int> ExerciseClock::NextTickMs() const
{
    constexpr int kRepaintDelayMs = 1000;
    constexpr std::int64_t kMsPerMinute = 60'000;
    constexpr double kMsPerDay = 86'400'000.0;
    if (m_state.ClockRepaintKind)
        return kRepaintDelayMs;
    if (!m_state.CurrentKind || m_state.CurrentView != MainView::Exercise)
        return std::nullopt;
    const ExerciseSession* session = m_sessions.Find(*m_state.CurrentKind);
    if (session == nullptr || session->ClockStart == 0.0)
        return std::nullopt;
    // The shown time turns where the millisecond-rounded exercise time reaches a whole minute
    // (as FormatElapsedTime rounds); a tick that comes early finds the next one a moment on.
    const auto ms = static_cast<std::int64_t>(
        std::llround(RunningExerciseTime(m_state.CurrentKind) * kMsPerDay));
    return static_cast<int>(kMsPerMinute - ms % kMsPerMinute);
}

double ExerciseClock::RunningExerciseTime(std::optional<ExerciseKind> kind) const
{
    const ExerciseSession* session = kind ? m_sessions.Find(*kind) : nullptr;
    if (session == nullptr)
        return 0.0;
    // The exercised time alone: a time of day counted from the span's start would go negative
    // after midnight and show the wall-clock time while the clock stands.
    return session->ExerciseTime + RunningSpan(*session);
}

double ExerciseClock::RunningSpan(const ExerciseSession& session) const
{
    if (session.ClockStart == 0.0)
        return 0.0;
    const double span = m_clock.Now() - session.ClockStart;
    return span > 0.0 && span < 1.0 ? span : 0.0;
}

void ExerciseClock::SetTimer(bool on)
{
    m_timerEnabled = on;
    m_view.SetTimer1Enabled(on);
}

} // namespace pv
