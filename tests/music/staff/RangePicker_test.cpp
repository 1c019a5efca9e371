// The note-range picker: which note lies under a point of each picture, where the markers are
// drawn, and how a drag moves them.
#include "music/staff/RangePicker.h"

#include <gtest/gtest.h>

namespace pv {
namespace {

struct HitCase
{
    const char* name;
    RangeView view;
    int x;
    int y;
    int note;
};

TEST(RangePicker, EachPictureNamesTheNoteUnderAPoint)
{
    const HitCase cases[] = {
        {"piano: F, the first white key", RangeView::Piano, 0, 30, 41},
        {"piano: G", RangeView::Piano, 11, 30, 43},
        {"piano: F sharp in the black keys' band", RangeView::Piano, 5, 5, 42},
        {"piano: A sharp at the band's end", RangeView::Piano, 36, 5, 46},
        {"piano: below the band A sharp's white neighbour", RangeView::Piano, 36, 25, 47},
        {"piano: the left edge of C sharp is C sharp", RangeView::Piano, 48, 5, 49},
        {"piano: D sharp", RangeView::Piano, 62, 5, 51},
        {"piano: past D sharp the white E", RangeView::Piano, 70, 5, 52},
        {"piano: the next octave's F sharp", RangeView::Piano, 82, 5, 54},
        {"piano: negative coordinates count as 0", RangeView::Piano, -40, -9, 41},
        {"guitar: string 1 open", RangeView::Guitar, 0, 0, 76},
        {"guitar: string 1 fret 1", RangeView::Guitar, 20, 2, 77},
        {"guitar: string 6 open", RangeView::Guitar, 5, 30, 52},
        {"guitar: string 6 fret 20", RangeView::Guitar, 301, 30, 72},
        {"guitar: past the last fret, open note + 24", RangeView::Guitar, 302, 30, 76},
        {"guitar: far right on string 1 is held at 84", RangeView::Guitar, 900, 0, 84},
        {"guitar: below the picture stays on string 6", RangeView::Guitar, 20, 500, 53},
        {"guitar: negative coordinates", RangeView::Guitar, -30, -30, 76},
        {"staff: F5 top line", RangeView::Staff, 65, 28, 77},
        {"staff: E4 bottom treble line", RangeView::Staff, 65, 60, 64},
        {"staff: middle C below the treble staff", RangeView::Staff, 65, 68, 60},
        {"staff: the treble half never reads below 60", RangeView::Staff, 65, 69, 60},
        {"staff: above the picture reads from y 5", RangeView::Staff, 65, -20, 88},
        {"staff: A3 top bass line", RangeView::Staff, 65, 81, 57},
        {"staff: the bass half never reads above 59", RangeView::Staff, 65, 70, 59},
        {"staff: G2 bottom bass line", RangeView::Staff, 65, 113, 43},
        {"staff: far below the picture is held at 41", RangeView::Staff, 65, 400, 41},
    };
    for (const HitCase& c : cases) {
        SCOPED_TRACE(c.name);
        switch (c.view) {
        case RangeView::Piano:
            EXPECT_EQ(PianoRangeNoteAt(c.x, c.y), c.note);
            break;
        case RangeView::Guitar:
            EXPECT_EQ(GuitarRangeNoteAt(c.x, c.y), c.note);
            break;
        case RangeView::Staff:
            EXPECT_EQ(StaffRangeNoteAt(c.x, c.y), c.note);
            break;
        }
    }
}

TEST(RangePicker, EveryMarkerDotLiesOnItsOwnKeyFretAndLine)
{
    // A marker drawn where a press reads another note could never be dragged.
    for (int note = 41; note <= 108; ++note) {
        SCOPED_TRACE(note);
        const QPoint piano = PianoRangeDot(note) + QPoint(3, 3);
        EXPECT_EQ(PianoRangeNoteAt(piano.x(), piano.y()), note);
    }
    for (int note = 52; note <= 84; ++note) {
        SCOPED_TRACE(note);
        const GuitarRangeDot dot = GuitarRangeDotOf(note);
        EXPECT_EQ(GuitarRangeNoteAt(dot.At.x() + 2, dot.At.y() + 2), note);
    }
    for (int natural :
         {41, 43, 45, 47, 48, 50, 52, 53, 55, 57, 59, 60, 62, 64, 65, 67, 69, 71, 72, 77, 84, 88}) {
        SCOPED_TRACE(natural);
        EXPECT_EQ(StaffRangeNoteAt(65, StaffRangeHeadY(natural)), natural);
    }
    const GuitarRangeDot low = GuitarRangeDotOf(48);
    EXPECT_EQ(low.String, 6) << "below the lowest open string: string 6, open";
    EXPECT_EQ(low.Fret, 0);
}

TEST(RangePicker, PressPicksTheMarkerOfTheNoteUnderThePoint)
{
    struct Case
    {
        const char* name;
        int low;
        int high;
        RangeView view;
        bool left;
        int x;
        int y;
        RangeDrag drag;
    };
    const Case cases[] = {
        {"piano low marker", 53, 72, RangeView::Piano, true, 77, 30, RangeDrag::Low},
        {"piano high marker", 53, 72, RangeView::Piano, true, PianoRangeDot(72).x(), 30,
         RangeDrag::High},
        {"piano elsewhere", 53, 72, RangeView::Piano, true, 0, 30, RangeDrag::None},
        {"the right button takes nothing", 53, 72, RangeView::Piano, false, 77, 30,
         RangeDrag::None},
        {"shared note below middle C: the high one", 53, 53, RangeView::Piano, true, 77, 30,
         RangeDrag::High},
        {"shared note from middle C up: the low one", 60, 60, RangeView::Piano, true,
         PianoRangeDot(60).x(), 30, RangeDrag::Low},
        {"guitar high marker", 53, 76, RangeView::Guitar, true, 0, 1, RangeDrag::High},
        {"guitar negative point is string 1 open", 53, 76, RangeView::Guitar, true, -5, -5,
         RangeDrag::High},
        {"staff: near the low head", 53, 72, RangeView::Staff, true, 65 + 8,
         StaffRangeHeadY(53) - 5, RangeDrag::Low},
        {"staff: just too far from the head", 53, 72, RangeView::Staff, true, 65 + 9,
         StaffRangeHeadY(53), RangeDrag::None},
        {"staff: the high head", 53, 72, RangeView::Staff, true, 65, StaffRangeHeadY(72),
         RangeDrag::High},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RangePicker picker;
        picker.SetRange(c.low, c.high);
        picker.DrawRangeOnStaff();
        EXPECT_EQ(picker.RangeMouseDown(c.left, c.x, c.y, c.view), c.drag != RangeDrag::None);
        EXPECT_EQ(picker.DragState(), c.drag);
    }
}

TEST(RangePicker, DraggingKeepsTheLowMarkerBelowTheHighOne)
{
    RangePicker picker;
    picker.SetRange(53, 60);
    ASSERT_TRUE(picker.RangeMouseDown(true, 77, 30, RangeView::Piano)); // F3, the low marker
    // Sweeping right over the keys moves the low marker along until it reaches the high one.
    int repaints = 0;
    for (int x = 77; x <= 200; ++x)
        repaints += picker.RangeMouseMove(x, 30, RangeView::Piano).Repaint ? 1 : 0;
    EXPECT_EQ(picker.LowNote(), 59) << "it stops one semitone below the high marker";
    EXPECT_EQ(picker.HighNote(), 60);
    EXPECT_GT(repaints, 0);
    // A jump straight over the high marker changes nothing.
    picker.RangeMouseMove(0, 30, RangeView::Piano);
    EXPECT_EQ(picker.LowNote(), 41);
    picker.RangeMouseMove(400, 30, RangeView::Piano);
    EXPECT_EQ(picker.LowNote(), 41);
    picker.RangeMouseUp(true);
    EXPECT_EQ(picker.DragState(), RangeDrag::None);
    EXPECT_FALSE(picker.RangeMouseMove(77, 30, RangeView::Piano).Repaint) << "no drag after up";

    // A captured drag leaving the picture to the left and above ends on its first note.
    picker.SetRange(53, 72);
    ASSERT_TRUE(picker.RangeMouseDown(true, 77, 30, RangeView::Piano));
    picker.RangeMouseMove(-300, -50, RangeView::Piano);
    EXPECT_EQ(picker.LowNote(), 41);
}

TEST(RangePicker, TheMinimumSpanWidensTheRangeUpwards)
{
    RangePicker picker;
    picker.SetRange(60, 64);
    EXPECT_TRUE(picker.SetMarkerGap(11));
    EXPECT_EQ(picker.LowNote(), 60);
    EXPECT_EQ(picker.HighNote(), 71);
    EXPECT_FALSE(picker.SetMarkerGap(11)) << "wide enough already";

    // The high marker can no longer be dragged closer than the span.
    picker.SetRange(53, 71);
    picker.SetMarkerGap(11);
    ASSERT_TRUE(picker.RangeMouseDown(true, PianoRangeDot(71).x() + 2, 30, RangeView::Piano));
    for (int x = PianoRangeDot(71).x(); x >= 0; --x)
        picker.RangeMouseMove(x, 30, RangeView::Piano);
    EXPECT_EQ(picker.HighNote(), 64);
}

TEST(RangePicker, StaffDragAddsTheAccidentalOfTheSidewaysDistance)
{
    RangePicker picker;
    picker.SetRange(53, 72);
    picker.DrawRangeOnStaff();
    const int c5 = StaffRangeHeadY(72);
    ASSERT_TRUE(picker.RangeMouseDown(true, 65, c5, RangeView::Staff));
    const int d5 = StaffRangeHeadY(74);
    struct Step
    {
        const char* name;
        int x;
        int y;
        int note;
        int shift;
    };
    const Step steps[] = {
        {"up a step: D", 65, d5, 74, 0},
        {"30 pixels right: D sharp", 95, d5, 75, -1},
        {"back within 20 pixels: D", 80, d5, 74, 0},
        {"30 pixels left: D flat", 35, d5, 73, 1},
        {"far right moves the anchor and keeps the flat", 250, d5, 73, 1},
        {"30 right of the new anchor at 170: a sharp", 200, d5, 75, -1},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        picker.RangeMouseMove(s.x, s.y, RangeView::Staff);
        EXPECT_EQ(picker.RangeHigh.Pitch.Note, s.note);
        EXPECT_EQ(picker.RangeHigh.Pitch.Shift, s.shift);
    }
    // Dragged below the picture while captured: the bass's lowest note, never a table overrun.
    picker.RangeMouseUp(true);
    picker.DrawRangeOnStaff();
    ASSERT_TRUE(picker.RangeMouseDown(true, 65, StaffRangeHeadY(53), RangeView::Staff));
    picker.RangeMouseMove(65, 2000, RangeView::Staff);
    EXPECT_EQ(picker.LowNote(), 41);
    picker.RangeMouseMove(-500, -500, RangeView::Staff);
    EXPECT_LT(picker.LowNote(), picker.HighNote());
}

TEST(RangePicker, SetRangeSpellsTheNewNotesAfresh)
{
    RangePicker picker;
    picker.SetRange(53, 72);
    picker.DrawRangeOnStaff();
    ASSERT_TRUE(picker.RangeMouseDown(true, 65, StaffRangeHeadY(72), RangeView::Staff));
    picker.RangeMouseMove(35, StaffRangeHeadY(74), RangeView::Staff); // D flat
    picker.RangeMouseUp(true);
    ASSERT_EQ(picker.RangeHigh.Pitch.Shift, 1);

    picker.SetRange(48, 64);
    EXPECT_EQ(picker.RangeHigh.Pitch, (TPitch{64, 0})) << "E, not F flat";
    EXPECT_EQ(picker.RangeLow.Pitch, (TPitch{48, 0}));
    EXPECT_EQ(picker.RangeLow.Duration, 1);
    picker.SetRange(61, 66);
    EXPECT_EQ(picker.RangeLow.Pitch, (TPitch{61, 1})) << "black keys are flat, as in C";
    EXPECT_EQ(picker.RangeHigh.Pitch, (TPitch{66, 1}));
}

TEST(RangePicker, PicturesRaiseOrLowerMarkersTheyCannotShow)
{
    struct Case
    {
        const char* name;
        RangeView view;
        int low;
        int high;
        int newLow;
        int newHigh;
    };
    const Case cases[] = {
        {"piano raises a low C2", RangeView::Piano, 36, 72, 41, 72},
        {"piano raises both", RangeView::Piano, 30, 38, 41, 42},
        {"staff as the piano", RangeView::Staff, 40, 41, 41, 42},
        {"guitar lowers a high C6", RangeView::Guitar, 53, 96, 53, 84},
        {"guitar lowers both", RangeView::Guitar, 90, 100, 83, 84},
        {"nothing to do", RangeView::Guitar, 53, 72, 53, 72},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RangePicker picker;
        picker.SetRange(c.low, c.high);
        EXPECT_EQ(picker.CorrectForView(c.view), c.low != c.newLow || c.high != c.newHigh);
        EXPECT_EQ(picker.LowNote(), c.newLow);
        EXPECT_EQ(picker.HighNote(), c.newHigh);
    }
}

TEST(RangePicker, StaffMarkersStandSideBySideAndKeepTheirSignsApart)
{
    RangePicker picker;
    picker.SetRange(61, 63); // D flat and E flat, one step apart
    const StaffDisplayList list = picker.DrawRangeOnStaff();
    EXPECT_EQ(picker.RangeLow.X, 65);
    EXPECT_EQ(picker.RangeHigh.X, 79) << "heads closer than 8 pixels stand side by side";
    std::vector<QPoint> flats;
    for (const StaffGlyphItem& g : list.Glyphs)
        if (g.Glyph == StaffGlyph::Flat)
            flats.push_back(g.At);
    ASSERT_EQ(flats.size(), 2U);
    EXPECT_EQ(flats[1].x() - flats[0].x(), 79 - 65 - 9)
        << "the high marker's flat moves 9 further left";

    picker.SetRange(41, 84);
    const StaffDisplayList apart = picker.DrawRangeOnStaff();
    EXPECT_EQ(picker.RangeHigh.X, 65);
    int ledgers = 0;
    for (const StaffLine& line : apart.Lines)
        ledgers += line.Kind == StaffLineKind::Ledger ? 1 : 0;
    EXPECT_EQ(ledgers, 2) << "C6 stands on the second ledger line above the treble staff";
}

} // namespace
} // namespace pv
