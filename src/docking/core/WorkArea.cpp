// Work areas and stored placements.
#include "docking/core/WorkArea.h"

#include <algorithm>
#include <limits>

namespace pv::docking {

namespace {

std::int64_t OverlapArea(QRect a, QRect b)
{
    const QRect both = a.intersected(b);
    return both.isEmpty() ? 0 : std::int64_t{both.width()} * both.height();
}

// Distance from a point to a rectangle along each axis, 0 inside.
std::int64_t Gap(std::int64_t value, std::int64_t low, std::int64_t high)
{
    if (value < low)
        return low - value;
    return value > high ? value - high : 0;
}

std::int64_t DistanceSquared(QRect a, QRect b)
{
    const std::int64_t dx = std::max<std::int64_t>(
        {0, std::int64_t{b.left()} - a.right(), std::int64_t{a.left()} - b.right()});
    const std::int64_t dy = std::max<std::int64_t>(
        {0, std::int64_t{b.top()} - a.bottom(), std::int64_t{a.top()} - b.bottom()});
    return dx * dx + dy * dy;
}

} // namespace

QRect NearestWorkArea(const std::vector<QRect>& workAreas, QRect r, QRect fallback)
{
    if (workAreas.empty())
        return fallback;
    const QRect probe = r.isEmpty() ? QRect(r.topLeft(), QSize(1, 1)) : r;
    const QRect* best = nullptr;
    std::int64_t bestOverlap = 0;
    for (const QRect& area : workAreas) {
        const std::int64_t overlap = OverlapArea(probe, area);
        if (overlap > bestOverlap) {
            bestOverlap = overlap;
            best = &area;
        }
    }
    if (best != nullptr)
        return *best;
    std::int64_t bestDistance = std::numeric_limits<std::int64_t>::max();
    for (const QRect& area : workAreas) {
        const std::int64_t distance = DistanceSquared(probe, area);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = &area;
        }
    }
    return *best;
}

QRect NearestWorkArea(const std::vector<QRect>& workAreas, QPoint p, QRect fallback)
{
    if (workAreas.empty())
        return fallback;
    const QRect* best = &workAreas.front();
    std::int64_t bestDistance = std::numeric_limits<std::int64_t>::max();
    for (const QRect& area : workAreas) {
        const std::int64_t dx = Gap(p.x(), area.left(), area.right());
        const std::int64_t dy = Gap(p.y(), area.top(), area.bottom());
        const std::int64_t distance = dx * dx + dy * dy;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = &area;
        }
    }
    return *best;
}

QRect KeepOnWorkArea(QRect r, QRect workArea, bool onlyWhenOff)
{
    if (onlyWhenOff && r.intersects(workArea))
        return r;
    // Exclusive right and bottom edges, in 64 bits: a stored corner can be far away.
    std::int64_t left = r.left();
    std::int64_t top = r.top();
    const std::int64_t width = r.width();
    const std::int64_t height = r.height();
    const std::int64_t waRight = std::int64_t{workArea.left()} + workArea.width();
    const std::int64_t waBottom = std::int64_t{workArea.top()} + workArea.height();
    if (waRight < left + width)
        left = waRight - width;
    if (waBottom < top + height)
        top = waBottom - height;
    if (workArea.left() > left)
        left = workArea.left();
    if (workArea.top() > top)
        top = workArea.top();
    const auto toInt = [](std::int64_t v) {
        return static_cast<int>(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(),
                                                         std::numeric_limits<int>::max()));
    };
    return QRect(toInt(left), toInt(top), r.width(), r.height());
}

ToolWindowPlacement ClampStoredPlacement(const ToolWindowPlacement& stored)
{
    ToolWindowPlacement placement = stored;
    placement.Left = std::clamp(stored.Left, -kMaxStoredCoordinate, kMaxStoredCoordinate);
    placement.Top = std::clamp(stored.Top, -kMaxStoredCoordinate, kMaxStoredCoordinate);
    placement.Width = std::clamp(stored.Width, 1, kMaxBarExtent);
    placement.Height = std::clamp(stored.Height, 1, kMaxBarExtent);
    placement.DockRow = std::clamp(stored.DockRow, 0, kMaxRestoredDockRow);
    placement.DockPos = std::clamp(stored.DockPos, -1, kMaxBarExtent);
    return placement;
}

} // namespace pv::docking
