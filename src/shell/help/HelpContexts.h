// The help contexts: the numbers by which the windows and commands ask for a help page, and
// the rule by which the main window's context help picks one.
#pragma once

#include "music/base/ExerciseKind.h"
#include "shell/results/ExerciseForms.h"

#include <optional>

namespace pv {

/// The start menu, where no exercise is chosen.
inline constexpr int kStartMenuHelp = 1;
/// The results view, whatever the exercise.
inline constexpr int kResultsViewHelp = 13;
/// The program settings dialog.
inline constexpr int kProgramSettingsHelp = 100;
/// The user overview's entries.
inline constexpr int kUserOverviewHelp = 195;
/// An exercise while the tutor runs it.
inline constexpr int kTutorHelp = 220;

/// Topics of the Help menu and of windows that have no number of their own elsewhere; they lie
/// above every number the context rule gives.
inline constexpr int kKeyboardShortcutsHelp = 300;
inline constexpr int kMicrophoneHelp = 301;
inline constexpr int kIntervalTheoryHelp = 310;
inline constexpr int kChordTheoryHelp = 311;
inline constexpr int kScaleTheoryHelp = 312;
inline constexpr int kItemEditorHelp = 320;

/// The context of the main window's help button: 1 without an exercise; in the Exercise view
/// 220 while the tutor runs, else kind * 10 + 1; in the Results view 13; in the Exercise setup
/// and the User overview view kind * 10 + the view's number.
int ContextHelpFor(std::optional<ExerciseKind> kind, MainView view, bool tutorActive);

/// The help context of view for kind, as the rule gives it without the tutor.
constexpr int KindViewHelp(ExerciseKind kind, MainView view)
{
    return KindNumber(kind) * 10 + static_cast<int>(view);
}

} // namespace pv
