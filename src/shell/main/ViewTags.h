// View tags: the number every view button, exercise button and exercise menu entry carries,
// saying which view and which exercise it switches to.
#pragma once

#include "music/base/ExerciseKind.h"
#include "shell/results/ExerciseForms.h"

#include <optional>

namespace pv {

/// The low byte of a tag that means "no exercise" (the start menu).
inline constexpr int kNoExerciseTagByte = 255;

/// view * 256 + kind number; kind 0 keeps the current kind, view 0 the current view.
constexpr int ViewTag(int view, int kind)
{
    return view * 256 + kind;
}
constexpr int ViewTag(MainView view, ExerciseKind kind)
{
    return ViewTag(static_cast<int>(view), KindNumber(kind));
}

/// The tags of the main window's own buttons.
inline constexpr int kOverviewTag = ViewTag(1, kNoExerciseTagByte); ///< 511
inline constexpr int kExerciseViewTag = ViewTag(1, 0);              ///< 256 (`SpeedButton1`)
inline constexpr int kSetupViewTag = ViewTag(2, 0);                 ///< 512 (`RunKonfig`)
inline constexpr int kResultsViewTag = ViewTag(3, 0);               ///< 768 (`SpeedButton5`)
inline constexpr int kUserOverviewTag = ViewTag(4, 0);              ///< 1024 (`SpeedButton11`)
inline constexpr int kTutorTag = 0x1100;      ///< 4352 (`SpeedButton10`): Exercise view
inline constexpr int kTutorSetupTag = 0x2200; ///< 8704 (`SpeedButton9`): Exercise setup view

/// Where a tag leads.
struct ViewTarget
{
    std::optional<ExerciseKind> Kind; ///< none: the start menu
    MainView View = MainView::Exercise;
    bool operator==(const ViewTarget&) const = default;
};

/// Decodes tag against the current kind and view. Nothing for a tag that names neither a kind
/// (1..10, 0 or 255) nor a view (0..4), so a stray tag never switches anywhere.
std::optional<ViewTarget> DecodeViewTag(int tag, std::optional<ExerciseKind> currentKind,
                                        MainView currentView);

} // namespace pv
