// Drag outlines, docking margins, reachable floating outlines, hit tests and frame resizing.
#include "docking/core/DockMetrics.h"
#include "docking/core/DragGeometry.h"

#include <limits>

#include <gtest/gtest.h>

namespace pv::docking {
namespace {

TEST(DragGeometry, MulDivRoundsHalfAwayFromZeroAndSurvivesAZeroDivisor)
{
    struct Case
    {
        int number, numerator, denominator, expected;
    };
    const Case cases[] = {
        {10, 1, 3, 3},
        {10, 1, 4, 3},
        {-10, 1, 4, -3},
        {7, 0, 9, 0},
        {99, 49, 0, 0},
        {32, 0, 0, 0},
        {std::numeric_limits<int>::max(), 2, 1, std::numeric_limits<int>::max()},
        {100, 50, 99, 51},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.number << " * " << c.numerator << " / " << c.denominator);
        EXPECT_EQ(MulDiv(c.number, c.numerator, c.denominator), c.expected);
    }
}

TEST(DragGeometry, OutlineKeepsTheCursorsRelativePlaceWhateverItsSize)
{
    // Grabbed at (10, 5) of a 101 x 21 bar: the cursor stays a tenth in and a quarter down.
    const QPoint grab(10, 5);
    const QPoint n(100, 20);
    EXPECT_EQ(DragOutlineRect(QPoint(500, 300), QSize(101, 21), grab, n), QRect(490, 295, 101, 21));
    EXPECT_EQ(DragOutlineRect(QPoint(500, 300), QSize(201, 41), grab, n), QRect(480, 290, 201, 41));
    // A bar one pixel wide has nothing to share out.
    EXPECT_EQ(DragOutlineRect(QPoint(50, 50), QSize(40, 10), QPoint(0, 0), QPoint(0, 0)),
              QRect(50, 50, 40, 10));
}

TEST(DragGeometry, DockTakesTheBarWithinItsMarginsOnly)
{
    // A top dock across the screen at y 100..131; the bar grabbed at its left-top corner.
    const QRect dock(0, 100, 800, 32);
    const QPoint grab(0, 0);
    const QPoint n(99, 23);
    const QSize outline(100, 24);
    struct Case
    {
        const char* name;
        QRect dock;
        bool vertical;
        QPoint cursor;
        bool expected;
    };
    const Case cases[] = {
        {"inside", dock, false, QPoint(300, 110), true},
        {"20 pixels above", dock, false, QPoint(300, 80), true},
        {"21 pixels above", dock, false, QPoint(300, 79), false},
        {"just below (grabbed at the top, no margin below)", dock, false, QPoint(300, 132), false},
        {"an empty dock counts a pixel thick", QRect(0, 100, 800, 0), false, QPoint(300, 100),
         true},
        {"an empty dock, far off", QRect(0, 100, 800, 0), false, QPoint(300, 150), false},
        {"vertical dock: the cursor within its height", QRect(0, 100, 40, 300), true,
         QPoint(10, 99), false},
        {"vertical dock: inside", QRect(0, 100, 40, 300), true, QPoint(10, 150), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CanDockAt(c.dock, c.vertical, c.cursor, grab, n, outline), c.expected);
    }
}

TEST(DragGeometry, FloatingOutlineStaysReachable)
{
    const QRect work(0, 0, 800, 600);
    const QPoint frame = GetFloatingFrameSize(true);
    const int caption = GetSmallCaptionHeight();
    struct Case
    {
        const char* name;
        QRect outline;
        QPoint expectedTopLeft;
    };
    const Case cases[] = {
        {"inside stays", QRect(100, 100, 120, 50), QPoint(100, 100)},
        {"wholly left of the screen", QRect(-500, 100, 120, 50), QPoint(8 - 120, 100)},
        {"wholly right", QRect(900, 100, 120, 50), QPoint(800 - 8, 100)},
        {"below the screen", QRect(100, 700, 120, 50), QPoint(100, 600 - 8)},
        {"the caption above the top", QRect(100, -40, 120, 50),
         QPoint(100, -(frame.y() + caption - 4))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(KeepFloatingOutlineReachable(c.outline, work, frame, caption).topLeft(),
                  c.expectedTopLeft);
    }
}

TEST(DragGeometry, FloatingHitTestFindsCaptionCloseButtonAndFrame)
{
    // A resizable bar of 120 x 60: frame 4, caption 16.
    const QSize size(120, 60);
    const QRect caption = FloatingCaptionRect(size, true);
    const QRect close = CloseButtonRect(size, true);
    EXPECT_EQ(caption, QRect(4, 4, 112, 15));
    EXPECT_EQ(close, QRect(101, 4, 15, 15));
    struct Case
    {
        const char* name;
        QPoint point;
        bool resizable;
        bool closeButton;
        HitCode expected;
    };
    const Case cases[] = {
        {"client", QPoint(60, 40), true, true, HitCode::Client},
        {"caption", QPoint(30, 10), true, true, HitCode::Client},
        {"close button", QPoint(108, 10), true, true, HitCode::Close},
        {"close button area without one", QPoint(108, 10), true, false, HitCode::Client},
        {"left edge", QPoint(1, 40), true, true, HitCode::Left},
        {"left edge near the top", QPoint(1, 5), true, true, HitCode::TopLeft},
        {"right edge", QPoint(118, 30), true, true, HitCode::Right},
        {"bottom edge", QPoint(60, 58), true, true, HitCode::Bottom},
        {"bottom right corner", QPoint(110, 58), true, true, HitCode::BottomRight},
        {"top edge", QPoint(60, 1), true, true, HitCode::Top},
        {"a fixed frame does not size", QPoint(1, 40), false, true, HitCode::Nowhere},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FloatingHitTest(c.point, size, c.resizable, c.closeButton, true), c.expected);
    }
}

TEST(DragGeometry, ResizingBelowTheMinimumKeepsTheOppositeEdge)
{
    const QRect startRect(100, 100, 200, 80);
    const QSize least(60, 40);
    struct Case
    {
        const char* name;
        HitCode code;
        QPoint delta;
        QRect expected;
    };
    const Case cases[] = {
        {"right edge outwards", HitCode::Right, QPoint(30, 99), QRect(100, 100, 230, 80)},
        {"left edge inwards", HitCode::Left, QPoint(50, 0), QRect(150, 100, 150, 80)},
        {"left edge past the minimum", HitCode::Left, QPoint(190, 0), QRect(240, 100, 60, 80)},
        {"right edge past the minimum", HitCode::Right, QPoint(-190, 0), QRect(100, 100, 60, 80)},
        {"top edge past the minimum", HitCode::Top, QPoint(0, 70), QRect(100, 140, 200, 40)},
        {"bottom-left corner", HitCode::BottomLeft, QPoint(-20, 20), QRect(80, 100, 220, 100)},
        {"top-right corner", HitCode::TopRight, QPoint(-500, -10), QRect(100, 90, 60, 90)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SizingRect(c.code, startRect, c.delta, least), c.expected);
    }
}

TEST(DockMetrics, FramesAddUpForDockedAndFloatingBars)
{
    EXPECT_EQ(AddDockedNCAreaToSize(QSize(100, 20), false, TDragHandleStyle::dhDouble),
              QSize(113, 24));
    EXPECT_EQ(AddDockedNCAreaToSize(QSize(100, 20), true, TDragHandleStyle::dhSingle),
              QSize(104, 30));
    EXPECT_EQ(AddDockedNCAreaToSize(QSize(100, 20), false,
                                    EffectiveHandleStyle(false, TDragHandleStyle::dhDouble)),
              QSize(104, 24));
    const QPoint frame = GetFloatingFrameSize(true);
    EXPECT_EQ(AddFloatingNCAreaToSize(QSize(100, 20), true),
              QSize(100 + 2 * frame.x(), 20 + 2 * frame.y() + GetSmallCaptionHeight()));
    EXPECT_LT(GetFloatingFrameSize(false).x(), frame.x());
}

} // namespace
} // namespace pv::docking
