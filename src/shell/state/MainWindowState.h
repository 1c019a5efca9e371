// The main window's state that the decisions beside it read and change: which exercise and
// which view are shown, whether the tutor runs.
#pragma once

#include "music/base/ExerciseKind.h"

#include <cstdint>
#include <optional>

namespace pv {

/// The main window's views; the number is stored in view tags.
enum class MainView : std::uint8_t
{
    Exercise = 1,
    ExerciseSetup = 2,
    Results = 3,
    UserOverview = 4,
};

/// The main window's state the clock and the bookkeeping read (and the repaint mark they clear).
struct MainWindowState
{
    std::optional<ExerciseKind> CurrentKind; ///< none: no exercise
    MainView CurrentView = MainView::Exercise;
    bool TutorActive = false;
    /// The clock timer repaints this kind's strip once.
    std::optional<ExerciseKind> ClockRepaintKind;
};

} // namespace pv
