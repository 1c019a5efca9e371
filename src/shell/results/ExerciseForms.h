// What the exercise clock and the result bookkeeping see of the main window and its exercise
// windows, so both run and are tested without any window.
#pragma once

#include "exercises/base/ExerciseBaseModel.h"
#include "music/base/ExerciseKind.h"
#include "shell/state/MainWindowState.h"

#include <cstdint>
#include <optional>

#include <QString>

namespace pv {

/// Right answers and questions of one item, as wide as the exercise window counts them.
struct ItemCounts
{
    std::uint32_t Right = 0;
    std::uint32_t Asked = 0;
};

/// The ten exercise windows as far as their results go.
class IExerciseForms
{
public:
    virtual ~IExerciseForms() = default;
    /// The counters and clock fields of the window of kind; null for a value of no kind.
    virtual ExerciseBaseModel* Counters(ExerciseKind kind) = 0;
    /// Right and asked of item 1..60 of the window of kind (zero where it keeps none).
    virtual ItemCounts ItemStatistics(ExerciseKind kind, int item) const = 0;
    /// The window's results reset: counters, per-item statistics and the open question.
    virtual void ResetResults(ExerciseKind kind) = 0;
};

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
