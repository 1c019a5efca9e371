// When a bar's window shows.
#include "docking/core/BarVisibility.h"

namespace pv::docking {

bool ShouldBeVisible(const BarVisibilityState& state)
{
    const bool base = state.Visible && state.HidingCount == 0;
    if (!state.Floating)
        return base;
    const bool suppressed =
        state.FloatingMode == TToolWindowFloatingMode::fmOnTopOfParentForm &&
        (!state.HasParentForm || !state.ParentFormVisible || state.ParentFormMinimized);
    return base && !suppressed && (!state.HideWhenInactive || state.ApplicationActive);
}

bool InactiveCaption(const BarVisibilityState& state)
{
    return state.Floating && !state.HideWhenInactive && !state.ApplicationActive;
}

} // namespace pv::docking
