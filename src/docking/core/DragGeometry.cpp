// Drag and resize arithmetic.
#include "docking/core/DragGeometry.h"

#include "docking/core/DockMetrics.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace pv::docking {

namespace {

int ClampToInt(std::int64_t value)
{
    return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

// Window rectangles here have exclusive right and bottom edges.
std::int64_t RightOf(QRect r)
{
    return std::int64_t{r.left()} + r.width();
}

std::int64_t BottomOf(QRect r)
{
    return std::int64_t{r.top()} + r.height();
}

} // namespace

int MulDiv(int number, int numerator, int denominator)
{
    if (denominator == 0)
        return 0;
    const std::int64_t product = std::int64_t{number} * numerator;
    const std::int64_t half = std::llabs(denominator) / 2;
    const bool negative = (product < 0) != (denominator < 0);
    const std::int64_t magnitude = (std::llabs(product) + half) / std::llabs(denominator);
    return ClampToInt(negative ? -magnitude : magnitude);
}

QRect DragOutlineRect(QPoint cursor, QSize size, QPoint dPoint, QPoint nPoint)
{
    const int x = cursor.x() - MulDiv(size.width() - 1, dPoint.x(), nPoint.x());
    const int y = cursor.y() - MulDiv(size.height() - 1, dPoint.y(), nPoint.y());
    return QRect(QPoint(x, y), size);
}

bool CanDockAt(QRect dockRect, bool vertical, QPoint cursor, QPoint dPoint, QPoint nPoint,
               QSize outlineSize)
{
    QRect r = dockRect;
    if (vertical && r.width() == 0)
        r.adjust(-1, 0, 1, 0);
    else if (!vertical && r.height() == 0)
        r.adjust(0, -1, 0, 1);
    const int mx = MulDiv(32, dPoint.x(), nPoint.x());
    const int my = MulDiv(20, dPoint.y(), nPoint.y());
    const std::int64_t x = cursor.x();
    const std::int64_t y = cursor.y();
    if (x < std::int64_t{r.left()} - (32 - mx) || x > RightOf(r) - 1 + mx)
        return false;
    if (vertical && (y < r.top() || y >= BottomOf(r)))
        return false;
    if (y < std::int64_t{r.top()} - (20 - my) || y > BottomOf(r) - 1 + my)
        return false;
    return DragOutlineRect(cursor, outlineSize, dPoint, nPoint).intersects(r);
}

QPoint ClampPointIntoRect(QPoint point, QRect area)
{
    if (area.isEmpty())
        return point;
    return QPoint(std::clamp(point.x(), area.left(), area.right()),
                  std::clamp(point.y(), area.top(), area.bottom()));
}

QRect KeepFloatingOutlineReachable(QRect outline, QRect workArea, QPoint frame, int captionHeight)
{
    const int inset = frame.x() + 4;
    const int insetY = frame.y() + 4;
    const std::int64_t waLeft = std::int64_t{workArea.left()} + inset;
    const std::int64_t waTop = std::int64_t{workArea.top()} + insetY;
    const std::int64_t waRight = RightOf(workArea) - inset;
    const std::int64_t waBottom = BottomOf(workArea) - insetY;
    std::int64_t left = outline.left();
    std::int64_t top = outline.top();
    const std::int64_t width = outline.width();
    const std::int64_t height = outline.height();
    if (top + height < waTop)
        top = waTop - height;
    if (top > waBottom)
        top = waBottom;
    if (left + width < waLeft)
        left = waLeft - width;
    if (left > waRight)
        left = waRight;
    // The caption never leaves the top of the work area: that is where the bar is taken again.
    const std::int64_t highest = std::int64_t{workArea.top()} - (frame.y() + captionHeight - 4);
    if (top < highest)
        top = highest;
    return QRect(ClampToInt(left), ClampToInt(top), outline.width(), outline.height());
}

QRect FloatingCaptionRect(QSize windowSize, bool resizable)
{
    const QPoint frame = GetFloatingFrameSize(resizable);
    const int clientWidth = windowSize.width() - 2 * frame.x();
    return QRect(frame.x(), frame.y(), std::max(0, clientWidth), GetSmallCaptionHeight() - 1);
}

QRect CloseButtonRect(QSize windowSize, bool resizable)
{
    const QRect caption = FloatingCaptionRect(windowSize, resizable);
    const int side = caption.height();
    return QRect(caption.left() + caption.width() - side, caption.top(), side, side);
}

HitCode FloatingHitTest(QPoint point, QSize windowSize, bool resizable, bool closeButton,
                        bool eightCorner)
{
    const NCArea nc = GetFloatingNCArea(resizable);
    const QRect client(nc.TopLeft, windowSize - QSize(nc.TopLeft.x() + nc.BottomRight.x(),
                                                      nc.TopLeft.y() + nc.BottomRight.y()));
    if (client.contains(point))
        return HitCode::Client;
    if (FloatingCaptionRect(windowSize, resizable).contains(point)) {
        if (closeButton && CloseButtonRect(windowSize, resizable).contains(point))
            return HitCode::Close;
        return HitCode::Client;
    }
    if (!resizable)
        return HitCode::Nowhere;

    const QPoint frame = GetFloatingFrameSize(true);
    const int corner = GetSmallCaptionHeight() - 1 + frame.x();
    const int x = point.x();
    const int y = point.y();
    const int w = windowSize.width();
    const int h = windowSize.height();
    const bool left = x >= 0 && x < frame.x();
    const bool right = x >= w - frame.x() - 1 && x < w;
    const bool top = y >= 0 && y < frame.y();
    const bool bottom = y >= h - frame.y() - 1 && y < h;
    if (!eightCorner) {
        if (top)
            return HitCode::Top;
        if (bottom)
            return HitCode::Bottom;
        if (left)
            return HitCode::Left;
        if (right)
            return HitCode::Right;
        return HitCode::Nowhere;
    }
    if (left) {
        if (y < corner)
            return HitCode::TopLeft;
        return y >= h - corner ? HitCode::BottomLeft : HitCode::Left;
    }
    if (right) {
        if (y < corner)
            return HitCode::TopRight;
        return y >= h - corner ? HitCode::BottomRight : HitCode::Right;
    }
    if (top) {
        if (x < corner)
            return HitCode::TopLeft;
        return x >= w - corner ? HitCode::TopRight : HitCode::Top;
    }
    if (bottom) {
        if (x < corner)
            return HitCode::BottomLeft;
        return x >= w - corner ? HitCode::BottomRight : HitCode::Bottom;
    }
    return HitCode::Nowhere;
}

QRect SizingRect(HitCode hitCode, QRect startRect, QPoint delta, QSize minSize)
{
    const bool sizesX = hitCode == HitCode::Left || hitCode == HitCode::Right ||
                        hitCode == HitCode::TopLeft || hitCode == HitCode::TopRight ||
                        hitCode == HitCode::BottomLeft || hitCode == HitCode::BottomRight;
    const bool movesLeft =
        hitCode == HitCode::Left || hitCode == HitCode::TopLeft || hitCode == HitCode::BottomLeft;
    const bool sizesY = hitCode >= HitCode::Top && hitCode <= HitCode::BottomRight;
    const bool movesTop =
        hitCode == HitCode::Top || hitCode == HitCode::TopLeft || hitCode == HitCode::TopRight;

    std::int64_t left = startRect.left();
    std::int64_t top = startRect.top();
    std::int64_t right = RightOf(startRect);
    std::int64_t bottom = BottomOf(startRect);
    if (sizesX) {
        (movesLeft ? left : right) += delta.x();
        if (right - left < minSize.width()) {
            if (movesLeft)
                left = right - minSize.width();
            else
                right = left + minSize.width();
        }
    }
    if (sizesY) {
        (movesTop ? top : bottom) += delta.y();
        if (bottom - top < minSize.height()) {
            if (movesTop)
                top = bottom - minSize.height();
            else
                bottom = top + minSize.height();
        }
    }
    return QRect(ClampToInt(left), ClampToInt(top), ClampToInt(right - left),
                 ClampToInt(bottom - top));
}

} // namespace pv::docking
