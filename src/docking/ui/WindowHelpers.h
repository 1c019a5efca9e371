// The window helpers of the docking widgets: the screens' work areas, whether the program is
// the active one, and the form a bar belongs to.
#pragma once

#include <QPoint>
#include <QRect>

class QWidget;

namespace pv::docking {

class TCustomToolWindow;

/// The primary screen's work area (the screen less its panels).
QRect GetDesktopWorkArea();
/// The work area of the screen nearest to r or p; the desktop's when there is no other.
QRect GetMonitorWorkAreaFromRect(const QRect& r);
QRect GetMonitorWorkAreaFromPoint(const QPoint& p);
bool MultipleMonitors();

/// Whether the program is the active one, as the last application-state change said.
bool ApplicationIsActive();

/// The form a bar belongs to: the window it is docked in, or the form it floats over; null
/// when it has neither.
QWidget* GetToolWindowParentForm(const TCustomToolWindow& bar);

} // namespace pv::docking
