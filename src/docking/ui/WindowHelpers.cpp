// Work areas, application activity and parent forms.
#include "docking/ui/WindowHelpers.h"

#include "docking/core/WorkArea.h"
#include "docking/ui/FloatingBarTracker.h"
#include "docking/ui/TCustomToolWindow.h"

#include <vector>

#include <QGuiApplication>
#include <QScreen>

namespace pv::docking {

namespace {

std::vector<QRect> WorkAreas()
{
    std::vector<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas.push_back(screen->availableGeometry());
    return areas;
}

} // namespace

QRect GetDesktopWorkArea()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect work = screen->availableGeometry();
        return work.isEmpty() ? screen->geometry() : work;
    }
    // No screen at all: a size every bar fits in, so nothing is pushed to nowhere.
    return QRect(0, 0, 640, 480);
}

QRect GetMonitorWorkAreaFromRect(const QRect& r)
{
    return NearestWorkArea(WorkAreas(), r, GetDesktopWorkArea());
}

QRect GetMonitorWorkAreaFromPoint(const QPoint& p)
{
    return NearestWorkArea(WorkAreas(), p, GetDesktopWorkArea());
}

bool MultipleMonitors()
{
    return QGuiApplication::screens().size() >= 2;
}

bool ApplicationIsActive()
{
    return FloatingBarTracker::Instance().ApplicationActive();
}

QWidget* GetToolWindowParentForm(const TCustomToolWindow& bar)
{
    if (bar.DockedTo() != nullptr)
        return bar.window();
    QWidget* parent = bar.parentWidget();
    return parent != nullptr ? parent->window() : nullptr;
}

} // namespace pv::docking
