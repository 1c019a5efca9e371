// When a bar's window shows: the bar's own (logical) visibility is the user's and the
// program's choice; its window also hides while a floating bar's form is hidden or minimised
// and, for most floating bars, while the program is not the active one.
#pragma once

#include "docking/core/DockTypes.h"

namespace pv::docking {

struct BarVisibilityState
{
    bool Visible = true; ///< the bar's logical visibility
    int HidingCount = 0; ///< above 0 while the bar changes its parent
    bool Floating = false;
    TToolWindowFloatingMode FloatingMode = TToolWindowFloatingMode::fmOnTopOfParentForm;
    bool HideWhenInactive = true;
    bool HasParentForm = false;
    bool ParentFormVisible = false;
    bool ParentFormMinimized = false;
    bool ApplicationActive = true;
};

/// `ShouldBeVisible`: whether the bar's window shows now.
bool ShouldBeVisible(const BarVisibilityState& state);
/// Whether a floating bar paints its caption inactive: it stays shown while the program is
/// inactive, so the caption tells instead.
bool InactiveCaption(const BarVisibilityState& state);

} // namespace pv::docking
