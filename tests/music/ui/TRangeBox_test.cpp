// The range picker's picture as the user sees and drags it: each view painted with its two
// markers, and a marker dragged with the mouse.
#include "music/ui/TRangeBox.h"
#include "support/TestOutput.h"

#include <QCoreApplication>
#include <QImage>
#include <QMouseEvent>

#include <gtest/gtest.h>

namespace pv {
namespace {

void Mouse(QWidget& widget, QEvent::Type type, QPoint at)
{
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), widget.mapToGlobal(QPointF(at)), Qt::LeftButton, held,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &event);
}

/// The colour found most often inside a rectangle of the picture.
bool HasColourNear(const QImage& image, QRect area, QColor colour)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.rect().contains(x, y) && QColor(image.pixel(x, y)) == colour)
                return true;
    return false;
}

TEST(TRangeBox, EachPictureShowsBothMarkersWhereTheyAre)
{
    RangePicker picker;
    picker.SetRange(53, 72);
    TRangeBox box(picker);
    struct Case
    {
        const char* file;
        RangeView view;
    };
    for (const Case& c :
         {Case{"range-piano.png", RangeView::Piano}, Case{"range-guitar.png", RangeView::Guitar},
          Case{"range-staff.png", RangeView::Staff}}) {
        SCOPED_TRACE(c.file);
        box.SetView(c.view);
        const QImage image = box.grab().toImage();
        EXPECT_TRUE(image.save(test::TestOutputDir() + QString::fromLatin1(c.file)));
        EXPECT_EQ(image.size(), box.sizeHint());
        switch (c.view) {
        case RangeView::Piano:
            for (int note : {53, 72})
                EXPECT_TRUE(HasColourNear(image, QRect(PianoRangeDot(note), QSize(6, 6)),
                                          QColor(220, 0, 0)));
            break;
        case RangeView::Guitar:
            for (int note : {53, 72})
                EXPECT_TRUE(HasColourNear(image, QRect(GuitarRangeDotOf(note).At, QSize(5, 5)),
                                          QColor(255, 230, 0)));
            break;
        case RangeView::Staff:
            for (int note : {53, 72})
                EXPECT_TRUE(HasColourNear(image, QRect(60, StaffRangeHeadY(note) - 3, 12, 6),
                                          QColor(Qt::black)));
            break;
        }
    }
}

TEST(TRangeBox, DraggingAMarkerWithTheMouseMovesIt)
{
    RangePicker picker;
    picker.SetRange(53, 72);
    TRangeBox box(picker);
    box.SetView(RangeView::Piano);
    int changes = 0;
    QObject::connect(&box, &TRangeBox::RangeChanged, [&] { ++changes; });
    const QPoint low = PianoRangeDot(53) + QPoint(3, 3);
    Mouse(box, QEvent::MouseButtonPress, low);
    Mouse(box, QEvent::MouseMove, low + QPoint(-33, 0)); // three white keys lower: C3
    Mouse(box, QEvent::MouseButtonRelease, low + QPoint(-33, 0));
    EXPECT_EQ(picker.LowNote(), 48);
    EXPECT_EQ(changes, 1);

    box.SetView(RangeView::Staff);
    box.grab(); // drawing places the heads for the mouse
    const QPoint high(65, StaffRangeHeadY(72));
    Mouse(box, QEvent::MouseButtonPress, high);
    Mouse(box, QEvent::MouseMove, QPoint(95, StaffRangeHeadY(74)));
    Mouse(box, QEvent::MouseButtonRelease, QPoint(95, StaffRangeHeadY(74)));
    EXPECT_EQ(picker.RangeHigh.Pitch, (TPitch{75, -1})) << "D sharp: up a step, 30 pixels right";
    EXPECT_TRUE(box.grab().toImage().save(test::TestOutputDir() +
                                          QStringLiteral("range-staff-dragged.png")));
}

} // namespace
} // namespace pv
