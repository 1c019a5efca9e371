// Keeping bars on the screens: the work area nearest to a rectangle or a point, moving a
// rectangle onto a work area, and making stored placements safe to use.
#pragma once

#include "music/files/SettingsRecord.h"

#include <cstdint>
#include <vector>

#include <QPoint>
#include <QRect>

namespace pv::docking {

/// The work area that shares the most with r, else the one nearest to it; fallback when there
/// is none.
QRect NearestWorkArea(const std::vector<QRect>& workAreas, QRect r, QRect fallback);
/// The work area holding p, else the one nearest to it; fallback when there is none.
QRect NearestWorkArea(const std::vector<QRect>& workAreas, QPoint p, QRect fallback);

/// `KeepOnWorkArea`'s rule: with onlyWhenOff a rectangle that touches the work area stays;
/// otherwise it is moved left, up, right and down, in that order, until it lies inside, so a
/// rectangle larger than the work area ends at its left and top edges.
QRect KeepOnWorkArea(QRect r, QRect workArea, bool onlyWhenOff);

/// The largest window size a bar takes, and its largest stored row: the main window's six bars
/// never need more than six rows.
inline constexpr std::int32_t kMaxBarExtent = 32767;
inline constexpr std::int32_t kMaxRestoredDockRow = 5;
/// Stored coordinates beyond this lie on no screen; clamping to it keeps every sum in range.
inline constexpr std::int32_t kMaxStoredCoordinate = 1 << 20;

/// A placement read from a file made safe to use: the row within 0..5, the position within
/// -1..32767, the size within 1..32767 and the corner within a million pixels of the origin.
/// Putting the bar on a screen is left to `KeepOnWorkArea`; the dock code and the visible flag
/// pass unchanged.
ToolWindowPlacement ClampStoredPlacement(const ToolWindowPlacement& stored);

} // namespace pv::docking
