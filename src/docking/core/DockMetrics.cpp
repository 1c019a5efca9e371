// Frame sizes of docked and floating bars.
#include "docking/core/DockMetrics.h"

namespace pv::docking {

namespace {

// Our own caption and frames: the bars draw them themselves, so the sizes are ours to fix and
// stay the same under every window manager.
constexpr int kCaptionHeight = 16;
constexpr int kResizableFrame = 4;
constexpr int kFixedFrame = 3;

} // namespace

int GetSmallCaptionHeight()
{
    return kCaptionHeight;
}

int DragHandleSize(TDragHandleStyle style)
{
    switch (style) {
    case TDragHandleStyle::dhDouble:
        return 9;
    case TDragHandleStyle::dhSingle:
        return 6;
    case TDragHandleStyle::dhNone:
        break;
    }
    return 0;
}

QPoint GetFloatingFrameSize(bool resizable)
{
    const int frame = resizable ? kResizableFrame : kFixedFrame;
    return QPoint(frame, frame);
}

NCArea GetFloatingNCArea(bool resizable)
{
    const QPoint frame = GetFloatingFrameSize(resizable);
    return NCArea{QPoint(frame.x(), frame.y() + GetSmallCaptionHeight()), frame};
}

QSize AddFloatingNCAreaToSize(QSize size, bool resizable)
{
    const NCArea nc = GetFloatingNCArea(resizable);
    return size + QSize(nc.TopLeft.x() + nc.BottomRight.x(), nc.TopLeft.y() + nc.BottomRight.y());
}

NCArea GetDockedNCArea(bool vertical, TDragHandleStyle style)
{
    NCArea nc{QPoint(kDockedBorder, kDockedBorder), QPoint(kDockedBorder, kDockedBorder)};
    const int handle = DragHandleSize(style);
    if (vertical)
        nc.TopLeft.ry() += handle;
    else
        nc.TopLeft.rx() += handle;
    return nc;
}

QSize AddDockedNCAreaToSize(QSize size, bool vertical, TDragHandleStyle style)
{
    const NCArea nc = GetDockedNCArea(vertical, style);
    return size + QSize(nc.TopLeft.x() + nc.BottomRight.x(), nc.TopLeft.y() + nc.BottomRight.y());
}

} // namespace pv::docking
