// The arithmetic of dragging and resizing a bar: where its outline goes for a cursor position,
// when a dock takes it, how a floating outline stays reachable, how a frame drag resizes, and
// which part of a floating bar a point hits.
#pragma once

#include <cstdint>

#include <QPoint>
#include <QRect>
#include <QSize>

namespace pv::docking {

/// number * numerator / denominator rounded half away from zero, in 64 bits; 0 for a zero
/// denominator (a bar one pixel wide has no width to share out).
int MulDiv(int number, int numerator, int denominator);

/// The outline of size for the cursor at cursor, so that the cursor keeps its relative place
/// in it: dPoint is where the bar was grabbed, nPoint the bar's size minus one.
QRect DragOutlineRect(QPoint cursor, QSize size, QPoint dPoint, QPoint nPoint);

/// Whether a dock whose window lies at dockRect takes the bar for the cursor: the cursor within
/// the dock widened by margins of 32 and 20 pixels shared out by where the bar was grabbed, and
/// the outline the bar would have there (outlineSize) touching the dock. A dock of zero
/// thickness counts one pixel thicker across.
bool CanDockAt(QRect dockRect, bool vertical, QPoint cursor, QPoint dPoint, QPoint nPoint,
               QSize outlineSize);

/// The cursor moved into the work area (for a floating target).
QPoint ClampPointIntoRect(QPoint point, QRect area);

/// A floating outline moved so that a strip of it, and its caption, stays inside the work
/// area: frame is the floating frame size, captionHeight the caption's.
QRect KeepFloatingOutlineReachable(QRect outline, QRect workArea, QPoint frame, int captionHeight);

/// What a point of a floating bar is (`WM_NCHITTEST` codes).
enum class HitCode : std::uint8_t
{
    Nowhere = 0,
    Client = 1, ///< the client area and the caption: both start a move
    Left = 10,
    Right = 11,
    Top = 12,
    TopLeft = 13,
    TopRight = 14,
    Bottom = 15,
    BottomLeft = 16,
    BottomRight = 17,
    Close = 20,
};

constexpr bool IsSizingCode(HitCode code)
{
    return code >= HitCode::Left && code <= HitCode::BottomRight;
}

/// The caption of a floating bar of that window size, in window coordinates, over the whole
/// client width (the close button lies at its right end).
QRect FloatingCaptionRect(QSize windowSize, bool resizable);
/// The close button: the square of the caption's height at the caption's right end.
QRect CloseButtonRect(QSize windowSize, bool resizable);

/// The hit test of a floating bar: client and caption are Client, the close button (when there
/// is one) is Close, the frame of a resizable bar its sizing edge or corner (corners reach a
/// caption's height along the edges when eightCorner), anything else Nowhere.
HitCode FloatingHitTest(QPoint point, QSize windowSize, bool resizable, bool closeButton,
                        bool eightCorner);

/// The outline of a frame drag: the edges that hitCode moves shifted by delta; a size below
/// minSize is made up by moving the same edge back, so the opposite edge stays put.
QRect SizingRect(HitCode hitCode, QRect startRect, QPoint delta, QSize minSize);

} // namespace pv::docking
