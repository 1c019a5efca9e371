// What the exercise clock and the result bookkeeping see of the main window, so both run and
// are tested without any window; the exercises themselves they see through their sessions.
#pragma once

#include "music/base/ExerciseKind.h"
#include "shell/state/MainWindowState.h"

#include <cstdint>
#include <optional>

#include <QString>

namespace pv {

/// The wall clock of result dates: days since 1899-12-30, local time.
class IDateClock
{
public:
    virtual ~IDateClock() = default;
    virtual double Now() const = 0;
};

/// The system's clock.
class SystemDateClock final : public IDateClock
{
public:
    double Now() const override;
};

/// What the clock shows and switches in the main window.
class IExerciseClockView
{
public:
    virtual ~IExerciseClockView() = default;
    /// The clock timer (`Timer1`) is on or off; while it is on the window calls
    /// `ExerciseClock::Timer1Timer` when `ExerciseClock::NextTickMs` says a tick is of use.
    virtual void SetTimer1Enabled(bool on) = 0;
    /// The exercise-time label (`Label7`); empty hides the time.
    virtual void ShowExerciseTime(const QString& text) = 0;
    /// Repaints the control-button strip of the window of kind once.
    virtual void RepaintControlStrip(ExerciseKind kind) = 0;
};

} // namespace pv
