// The sizes of the frames a bar draws around its client area, docked and floating; the layout,
// the painting and the drag outline all measure with these, so they always agree.
#pragma once

#include "docking/core/DockTypes.h"

#include <QMargins>
#include <QPoint>
#include <QSize>

namespace pv::docking {

/// The thin frame of a docked bar, on each of its four sides.
inline constexpr int kDockedBorder = 2;

/// The height of a floating bar's caption (`GetSmallCaptionHeight`).
int GetSmallCaptionHeight();

/// The drag handle's thickness: 9 for dhDouble, 6 for dhSingle, 0 for dhNone.
int DragHandleSize(TDragHandleStyle style);

/// The frame of a floating bar, X and Y, thicker when it can be resized.
QPoint GetFloatingFrameSize(bool resizable);

/// A non-client area as the sizes it adds at the top-left and at the bottom-right.
struct NCArea
{
    QPoint TopLeft;
    QPoint BottomRight;
    QMargins Margins() const
    {
        return QMargins(TopLeft.x(), TopLeft.y(), BottomRight.x(), BottomRight.y());
    }
    bool operator==(const NCArea&) const = default;
};

/// Frame and caption of a floating bar.
NCArea GetFloatingNCArea(bool resizable);
QSize AddFloatingNCAreaToSize(QSize size, bool resizable);

/// Frame and drag handle of a docked bar: the handle lies across the top in a vertical dock and
/// at the left in a horizontal one. A dock that allows no dragging shows no handle: pass
/// dhNone for it (`EffectiveHandleStyle`).
NCArea GetDockedNCArea(bool vertical, TDragHandleStyle style);
QSize AddDockedNCAreaToSize(QSize size, bool vertical, TDragHandleStyle style);

/// The handle a bar shows in a dock: none where the dock allows no dragging.
constexpr TDragHandleStyle EffectiveHandleStyle(bool allowDrag, TDragHandleStyle style)
{
    return allowDrag ? style : TDragHandleStyle::dhNone;
}

} // namespace pv::docking
