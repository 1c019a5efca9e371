// Bars dragged with the mouse between the docks of a main window, out to float, resized from
// their frame and docked again by a double click; where they stand is what gets stored.
#include "DockFixture.h"
#include "docking/ui/DragOutline.h"

#include <QApplication>

#include <gtest/gtest.h>

namespace pv::docking::test {
namespace {

class DockDrag : public DockFixture
{
};

[[maybe_unused]] DragOutline* Outline()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QStringLiteral("DragOutline") && w->isVisible())
            return static_cast<DragOutline*>(w);
    }
    return nullptr;
}

TEST_F(DockDrag, DocksHoldTheirBarsInTwoRows)
{
    // Rows one above the other, each as thick as its thickest bar plus the frame; the top
    // dock's bound line adds a pixel.
    EXPECT_EQ(Bar(Main).DockedTo(), &Top());
    EXPECT_EQ(Bar(Main).geometry(), QRect(0, 1, 260 + 13, 32));
    EXPECT_EQ(Bar(Display).geometry(), QRect(280, 1, 120 + 13, 32));
    EXPECT_EQ(Bar(Tutor).geometry(), QRect(0, 33, 200 + 13, 24));
    EXPECT_EQ(Top().height(), 1 + 32 + 24);
    EXPECT_EQ(Bar(Score).geometry(), QRect(0, 0, 180 + 13, 28));
    EXPECT_EQ(Bar(Buttons).geometry(), QRect(200, 0, 100 + 13, 28));
    EXPECT_EQ(Bar(Tempo).geometry(), QRect(0, 28, 220 + 13, 24));
    EXPECT_EQ(Bottom().height(), 28 + 24);
    // The bottom dock sits at the window's bottom edge, the work area between the docks.
    EXPECT_EQ(Bottom().geometry().bottom(), site->height() - 1);
    EXPECT_EQ(work->geometry().top(), Top().height());
    // The rows stretch a bar across, but its own client size stays.
    EXPECT_EQ(Bar(Score).ClientAreaHeight(), 24);
    EXPECT_EQ(Bar(Score).BarHeight(), 20);
    SavePicture(Desktop(), QStringLiteral("docking-two-docks-two-rows.png"));
}

TEST_F(DockDrag, BarFromTheBottomDockDropsIntoTheTopDocksSecondRow)
{
    TToolWindow& score = Bar(Score);
    const QPoint grab = Handle(score);
    // The cursor over the second row of the top dock, right of the tutor bar.
    const QPoint target = Top().mapToGlobal(QPoint(300, RowTop(Top(), 1) + 12));
    mouse.Press(score, grab);
    mouse.MoveTo(target);
    // Nothing moves while the outline follows the cursor: one pixel thick, the docked size.
    const DragOutline* outline = Outline();
    ASSERT_NE(outline, nullptr);
    EXPECT_EQ(outline->Thickness(), 1);
    // Sized as the bar would be in the top dock: its own client, not the bottom row's stretch.
    const QSize docked(180 + 13, 20 + 4);
    const QPoint corner(target.x() - MulDiv(docked.width() - 1, grab.x(), score.width() - 1),
                        target.y() - MulDiv(docked.height() - 1, grab.y(), score.height() - 1));
    EXPECT_EQ(outline->geometry(), QRect(corner, docked));
    EXPECT_EQ(score.DockedTo(), &Bottom());
    SavePicture(Desktop(), QStringLiteral("docking-outline-during-drag.png"));
    mouse.Release(target);

    EXPECT_EQ(Outline(), nullptr);
    EXPECT_EQ(score.DockedTo(), &Top());
    EXPECT_EQ(score.DockRow(), 1);
    EXPECT_EQ(score.DockPos(), corner.x() - Top().ScreenRect().left());
    EXPECT_EQ(score.geometry(), QRect(score.DockPos(), RowTop(Top(), 1), 193, 24));
    EXPECT_EQ(score.ClientAreaHeight(), 20);
    // The others keep their places; the bottom dock has only the buttons and the tempo left.
    EXPECT_EQ(Bar(Tutor).DockRow(), 1);
    EXPECT_EQ(Bar(Tutor).DockPos(), 0);
    EXPECT_EQ(Bar(Main).DockRow(), 0);
    EXPECT_EQ(Bar(Display).DockPos(), 280);
    EXPECT_EQ(Bottom().DockList().size(), 2U);
    EXPECT_EQ(Bar(Buttons).DockPos(), 200);

    ToolWindowPlacement entry;
    entry.Visible = 1;
    site->StorePlacement(score, entry);
    EXPECT_EQ(entry.Dock, DockSite::kTopdockCode);
    EXPECT_EQ(entry.DockRow, 1);
    EXPECT_EQ(entry.DockPos, score.DockPos());
    EXPECT_EQ(QRect(entry.Left, entry.Top, entry.Width, entry.Height), score.geometry());
    EXPECT_EQ(entry.Visible, 1);
}

TEST_F(DockDrag, DroppedBelowTheLastRowOfAnotherDockTheBarGetsARowOfItsOwn)
{
    // Three rows below, two above: the main bar leaves row 0 of the top dock for a new fourth
    // row of the bottom dock, not the third one that is there.
    site->BeginUpdate();
    Bar(Buttons).SetDockRow(2);
    site->EndUpdate();
    QCoreApplication::processEvents();
    ASSERT_EQ(Bar(Buttons).DockRow(), 2);
    const QPoint below = Bottom().mapToGlobal(QPoint(40, Bottom().height() + 2));
    mouse.Drag(Bar(Main), Handle(Bar(Main)), below);

    EXPECT_EQ(Bar(Main).DockedTo(), &Bottom());
    EXPECT_EQ(Bar(Main).DockRow(), 3);
    EXPECT_EQ(Bottom().GetNumberOfBarsOnRow(3, &Bar(Main)), 0);
    EXPECT_EQ(Bar(Buttons).DockRow(), 2);
    EXPECT_EQ(Bar(Buttons).DockPos(), 200);
    EXPECT_EQ(Bar(Tempo).DockRow(), 1);
    // The top dock closes its rows: the display bar is alone in row 0, the tutor in row 1.
    EXPECT_EQ(Bar(Display).DockRow(), 0);
    EXPECT_EQ(Bar(Display).DockPos(), 280);
    EXPECT_EQ(Bar(Tutor).DockRow(), 1);
}

TEST_F(DockDrag, DraggedAwayFromTheDocksTheBarFloatsAndCtrlKeepsItFloating)
{
    TToolWindow& score = Bar(Score);
    const QPoint grab = Handle(score);
    const QPoint overTop = Top().mapToGlobal(QPoint(300, RowTop(Top(), 1) + 12));

    // Over a dock with Ctrl held: the floating outline, as thick as the floating frame.
    mouse.Press(score, grab);
    mouse.MoveTo(overTop);
    ASSERT_NE(Outline(), nullptr);
    EXPECT_EQ(Outline()->Thickness(), 1);
    mouse.Key(QEvent::KeyPress, Qt::Key_Control);
    const QSize floatingSize = AddFloatingNCAreaToSize(QSize(180, 20), true);
    EXPECT_EQ(Outline()->Thickness(), GetFloatingFrameSize(true).x());
    EXPECT_EQ(Outline()->size(), floatingSize);
    SavePicture(Desktop(), QStringLiteral("docking-floating-outline-with-ctrl.png"));
    // Letting go of Ctrl docks again, without a move.
    mouse.Key(QEvent::KeyRelease, Qt::Key_Control);
    EXPECT_EQ(Outline()->Thickness(), 1);
    // Ctrl held again as the cursor moves on: the bar floats where it is let go.
    const QPoint dropAt = overTop + QPoint(3, 0);
    mouse.MoveTo(dropAt, Qt::ControlModifier);
    mouse.Release(dropAt, Qt::ControlModifier);

    EXPECT_EQ(score.DockedTo(), nullptr);
    EXPECT_TRUE(score.isWindow());
    EXPECT_TRUE(score.isVisible());
    EXPECT_EQ(score.parentWidget(), window.get());
    EXPECT_EQ(score.size(), floatingSize);
    EXPECT_EQ(score.ClientAreaWidth(), 180);
    EXPECT_EQ(score.ClientAreaHeight(), 20);
    // The cursor keeps its relative place in the bar: a tenth of its width in, half way down.
    const QPoint expectedCorner(dropAt.x() - MulDiv(floatingSize.width() - 1, grab.x(), 192),
                                dropAt.y() - MulDiv(floatingSize.height() - 1, grab.y(), 27));
    EXPECT_EQ(score.pos(), expectedCorner);
    EXPECT_EQ(score.FloatingPosition(), expectedCorner);
    EXPECT_EQ(Bottom().DockList().size(), 2U);

    // Dragged by its caption into the middle of the work area, it stays floating.
    const QPoint middle = work->mapToGlobal(work->rect().center());
    mouse.Drag(score, Caption(score), middle);
    EXPECT_EQ(score.DockedTo(), nullptr);
    EXPECT_EQ(score.pos(), middle - Caption(score));

    ToolWindowPlacement entry;
    site->StorePlacement(score, entry);
    EXPECT_EQ(entry.Dock, DockSite::kFloatingCode);
    EXPECT_EQ(QRect(entry.Left, entry.Top, entry.Width, entry.Height), score.geometry());
}

TEST_F(DockDrag, EscapeOrASecondPressEndsTheDragWithoutADrop)
{
    TToolWindow& score = Bar(Score);
    const QRect before = score.geometry();
    const QPoint middle = work->mapToGlobal(work->rect().center());
    mouse.Press(score, Handle(score));
    mouse.MoveTo(middle);
    mouse.Key(QEvent::KeyPress, Qt::Key_Escape);
    EXPECT_EQ(Outline(), nullptr);
    mouse.Release(middle);
    EXPECT_EQ(score.DockedTo(), &Bottom());
    EXPECT_EQ(score.geometry(), before);

    // A bar that may not float shows no outline away from the docks and stays put.
    score.SetDockMode(TToolWindowDockMode::dmCannotFloat);
    mouse.Press(score, Handle(score));
    mouse.MoveTo(middle);
    EXPECT_EQ(Outline(), nullptr);
    mouse.Release(middle);
    EXPECT_EQ(score.DockedTo(), &Bottom());
    EXPECT_EQ(score.geometry(), before);
}

TEST_F(DockDrag, DockThatRefusesTheBarLeavesItToTheNextOrToFloating)
{
    TToolWindow& score = Bar(Score);
    int asked = 0;
    QObject::connect(&Top(), &TDock::OnRequestDock, [&](TCustomToolWindow* bar, bool* accept) {
        EXPECT_EQ(bar, &score);
        ++asked;
        *accept = false;
    });
    const QPoint overTop = Top().mapToGlobal(QPoint(300, RowTop(Top(), 1) + 12));
    mouse.Drag(score, Handle(score), overTop);
    EXPECT_GT(asked, 0);
    EXPECT_EQ(score.DockedTo(), nullptr);
    EXPECT_TRUE(score.isVisible());
}

TEST_F(DockDrag, FloatingBarIsResizedFromItsFrameAndDocksAgainByADoubleClickOnItsCaption)
{
    TToolWindow& score = Bar(Score);
    score.SetCloseButton(true);
    const QPoint middle = work->mapToGlobal(work->rect().center());
    mouse.Drag(score, Handle(score), middle);
    ASSERT_EQ(score.DockedTo(), nullptr);
    const QRect floated = score.geometry();

    // The right edge 60 pixels out, the bottom edge 30 down: the client grows with it.
    const QPoint corner(score.width() - 2, score.height() - 2);
    mouse.Press(score, corner);
    mouse.MoveTo(score.mapToGlobal(corner) + QPoint(30, 15));
    ASSERT_NE(Outline(), nullptr);
    EXPECT_EQ(Outline()->Thickness(), GetFloatingFrameSize(true).x());
    EXPECT_EQ(score.geometry(), floated);
    mouse.MoveTo(score.mapToGlobal(corner) + QPoint(60, 30));
    mouse.Release(score.mapToGlobal(corner) + QPoint(60, 30));
    EXPECT_EQ(score.geometry(), floated.adjusted(0, 0, 60, 30));
    EXPECT_EQ(score.BarWidth(), 240);
    EXPECT_EQ(score.BarHeight(), 50);

    // From the left edge far past the minimum: the right edge stays, the client is the least.
    const QRect wide = score.geometry();
    const QPoint leftEdge(1, score.height() / 2);
    mouse.Drag(score, leftEdge, score.mapToGlobal(leftEdge) + QPoint(500, 0));
    EXPECT_EQ(score.geometry().right(), wide.right());
    EXPECT_EQ(score.ClientAreaWidth(), score.MinClientWidth());
    EXPECT_EQ(score.BarHeight(), 50);
    SavePicture(score.grab().toImage(), QStringLiteral("docking-floating-bar-narrow.png"));

    // Long enough for its caption again, then a picture of it with its caption and close box.
    mouse.Drag(score, leftEdge, score.mapToGlobal(leftEdge) - QPoint(110, 0));
    SavePicture(score.grab().toImage(), QStringLiteral("docking-floating-bar.png"));

    // A double click on the caption docks it at the start of row 0 of its default dock; the
    // bar there moves along, and the client size it had before floating comes back.
    mouse.DoubleClick(score, Caption(score));
    EXPECT_EQ(score.DockedTo(), &Bottom());
    EXPECT_EQ(score.DockRow(), 0);
    EXPECT_EQ(score.DockPos(), 0);
    EXPECT_EQ(score.x(), 0);
    EXPECT_EQ(score.ClientAreaWidth(), 142);
    EXPECT_EQ(score.BarHeight(), 50);
    EXPECT_EQ(Bar(Buttons).DockRow(), 0);
    EXPECT_EQ(Bar(Buttons).DockPos(), 200);
    EXPECT_EQ(score.ClientAreaHeight(), 50);
    EXPECT_EQ(Bottom().height(), 54 + 24);

    // And a double click on its handle floats it where it stands.
    const QPoint stood = score.mapToGlobal(QPoint(0, 0));
    mouse.DoubleClick(score, Handle(score));
    EXPECT_EQ(score.DockedTo(), nullptr);
    EXPECT_EQ(score.pos(), stood);
    EXPECT_EQ(score.ClientAreaWidth(), 142);
}

TEST_F(DockDrag, PressOnAControlOfTheClientStartsNoDrag)
{
    TToolWindow& score = Bar(Score);
    auto* label = score.Client()->findChild<QLabel*>(QStringLiteral("Label"));
    ASSERT_NE(label, nullptr);
    const QPoint onLabel = label->mapTo(&score, label->rect().center());
    mouse.Press(score, onLabel);
    mouse.MoveTo(work->mapToGlobal(work->rect().center()));
    EXPECT_EQ(Outline(), nullptr);
    mouse.Release(work->mapToGlobal(work->rect().center()));
    EXPECT_EQ(score.DockedTo(), &Bottom());

    // A dock that allows no dragging shows no handles and lets no bar go.
    Bottom().SetAllowDrag(false);
    QCoreApplication::processEvents();
    EXPECT_EQ(score.width(), 180 + 4);
    mouse.Drag(score, QPoint(1, score.height() / 2), work->mapToGlobal(work->rect().center()));
    EXPECT_EQ(score.DockedTo(), &Bottom());
}

} // namespace
} // namespace pv::docking::test
