// Which exercise window a tick of the main window's exercise timers reaches.
#pragma once

#include "music/base/ExerciseKind.h"
#include "shell/results/ExerciseForms.h"

#include <cstdint>
#include <optional>

namespace pv {

/// The main window's timers whose ticks go to the current exercise window.
enum class MainExerciseTimer : std::uint8_t
{
    AutoNewQuest = 0,      ///< every kind: its automatic new question
    LightDisplaytime = 1,  ///< the identification windows: the piano adjusters' light
    AnswerbuttonBlink = 2, ///< the identification and interval comparison windows
};

/// The kind whose window takes a tick: only in the Exercise view, only for a window that has
/// the timer's handler, and never while a box or modal dialog is open (modalOpen); nothing
/// otherwise (the tick is dropped, the timer keeps running and ticks again).
std::optional<ExerciseKind> TimerTickTarget(MainExerciseTimer timer, MainView view,
                                            std::optional<ExerciseKind> kind, bool modalOpen);

} // namespace pv
