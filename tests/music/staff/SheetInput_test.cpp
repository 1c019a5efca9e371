// Reading pitches from points on the grand staff and re-pitching a dragged note.
#include "StaffTestSupport.h"

#include <vector>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::Note;
using test::ScriptedKeys;

class SheetInput : public ::testing::Test
{
protected:
    SheetInput() : sheet(keys, spacing)
    {
        sheet.SetControlSize(400, 250);
        sheet.SetNoteOffHandler([this](int note) { silenced.push_back(note); });
        sheet.SetRepaintHandler([this] { ++repaints; });
    }

    /// Presses at (x, y) and returns the held note as the exercise keeps it.
    TNoteRec Press(int x, int y)
    {
        TNoteRec held;
        held.Pitch = sheet.NoteAtPoint(x, y, false, 0, {});
        return held;
    }

    ScriptedKeys keys;
    NoteSpacing spacing;
    TSheet sheet;
    std::vector<int> silenced;
    int repaints = 0;
};

TEST_F(SheetInput, HeightsReadTheLinesAndSpacesOfBothStaves)
{
    struct Case
    {
        const char* name;
        int y;
        int note;
    };
    // T = 45, L = 10, G = 43; the staves divide at y 106.5.
    const Case cases[] = {
        {"F5 top treble line", 45, 77},
        {"E5 first space", 50, 76},
        {"E4 bottom treble line", 85, 64},
        {"middle C below the treble staff", 95, 60},
        {"A3 still read on the treble side", 105, 57},
        {"A3 top bass line", 128, 57},
        {"G2 bottom bass line", 168, 43},
        {"middle C above the bass staff", 118, 60},
        {"C2 two ledger lines below", 188, 36},
        {"far below reads the lowest note", 240, 36},
        {"far above reads G6", 5, 91},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sheet.SetLastClef(0);
        int shift = 99;
        EXPECT_EQ(sheet.PitchFromY(c.y, shift), c.note);
        EXPECT_EQ(shift, 0);
        EXPECT_EQ(sheet.LastClef(), c.y < 107 ? 1 : -1);
    }
}

TEST_F(SheetInput, ReadingIsHeldWithinTheRangeAndTheForcedStaff)
{
    int shift = 0;
    sheet.SetLastClef(2); // treble forced: a low point reads no lower than 48
    EXPECT_EQ(sheet.PitchFromY(200, shift), 48);
    EXPECT_EQ(sheet.LastClef(), 2);
    sheet.SetLastClef(-2); // bass forced: a high point reads no higher than 72
    EXPECT_EQ(sheet.PitchFromY(20, shift), 72);
    EXPECT_EQ(sheet.LastClef(), -2);
    sheet.SetHighestNote(67);
    EXPECT_EQ(sheet.PitchFromY(20, shift), 67);
    sheet.SetLastClef(0);
    sheet.SetLowestNote(65);
    EXPECT_EQ(sheet.PitchFromY(95, shift), 65);
}

TEST_F(SheetInput, PointsFarBelowTheBassStaffStayInsideTheScaleTable)
{
    // A drag captured outside the control reaches the reading with any height.
    sheet.SetLowestNote(0);
    sheet.SetLastClef(-2);
    int shift = 0;
    for (int y : {265, 300, 1000, 100000}) {
        SCOPED_TRACE(y);
        EXPECT_EQ(sheet.PitchFromY(y, shift), 12);
    }
}

TEST_F(SheetInput, KeySignatureRaisesTheLettersItAlters)
{
    sheet.SetShowKeySignature(true);
    sheet.SetKeySignature(2);
    EXPECT_EQ(Press(200, 45).Pitch, (TPitch{78, -1})); // F line: F sharp
    EXPECT_EQ(Press(200, 60).Pitch, (TPitch{73, -1})); // C space: C sharp
    EXPECT_EQ(Press(200, 40).Pitch, (TPitch{79, 0}));  // G stays
    sheet.SetKeySignature(-3);
    EXPECT_EQ(Press(200, 65).Pitch, (TPitch{70, 1})); // B line: B flat
    EXPECT_EQ(Press(200, 55).Pitch, (TPitch{74, 0})); // D line
    sheet.SetShowKeySignature(false);
    EXPECT_EQ(Press(200, 65).Pitch, (TPitch{71, 0}));
}

TEST_F(SheetInput, ReadNotesAreMovedBackByTheKeyRoot)
{
    sheet.SetKeyRoot(7); // shown 5 semitones higher than sounding
    EXPECT_EQ(sheet.Transposition(), -5);
    EXPECT_EQ(Press(200, 95).Pitch, (TPitch{55, 0}));
    sheet.SetKeyRoot(1);
    EXPECT_EQ(sheet.Transposition(), 1);
    EXPECT_EQ(Press(200, 95).Pitch, (TPitch{61, 0}));
}

TEST_F(SheetInput, DraggingSidewaysChoosesTheAccidental)
{
    struct Step
    {
        int x;
        TPitch pitch;
        int anchor;
    };
    // Press on G4 at x 100, then drag along the G line.
    const Step steps[] = {
        {120, {67, 0}, 100},  {130, {68, -1}, 100}, {145, {68, -1}, 100}, {150, {69, -2}, 100},
        {180, {69, -2}, 100}, {190, {69, -2}, 110}, {140, {68, -1}, 110}, {80, {66, 1}, 110},
        {50, {65, 2}, 110},   {20, {65, 2}, 100},
    };
    TNoteRec held = Press(100, 75);
    ASSERT_EQ(held.Pitch, (TPitch{67, 0}));
    for (const auto& s : steps) {
        SCOPED_TRACE(s.x);
        sheet.MoveNote(s.x, 75, 1, held);
        EXPECT_EQ(held.Pitch, s.pitch);
        EXPECT_EQ(sheet.AnchorX(), s.anchor);
    }
}

TEST_F(SheetInput, ChangedPitchSilencesTheOldNote)
{
    TNoteRec held = Press(100, 75);
    EXPECT_FALSE(sheet.MoveNote(105, 75, 1, held));
    EXPECT_TRUE(silenced.empty());
    EXPECT_TRUE(sheet.MoveNote(105, 70, 1, held)); // A4
    EXPECT_EQ(held.Pitch, (TPitch{69, 0}));
    EXPECT_EQ(silenced, std::vector<int>{67});

    sheet.SetGuitarView(true); // guitar notes sound an octave below their written pitch
    EXPECT_TRUE(sheet.MoveNote(105, 65, 1, held));
    EXPECT_EQ(silenced.back(), 69 - 12);
    sheet.SetGuitarSoundsAsWritten(true);
    EXPECT_TRUE(sheet.MoveNote(105, 60, 1, held));
    EXPECT_EQ(silenced.back(), 71);
}

TEST_F(SheetInput, HeldKeysChooseTheAccidentalWhateverTheDistance)
{
    struct Case
    {
        const char* name;
        AccidentalKey key;
        int code;
        TPitch pitch;
        int anchor;
    };
    using K = AccidentalKey;
    const Case cases[] = {
        {"Z double flat", K::Z, 0, {65, 2}, 300 + 60},
        {"X flat", K::X, 0, {66, 1}, 300 + 34},
        {"C natural", K::C, 0, {67, 0}, 300},
        {"V sharp", K::V, 0, {68, -1}, 300 - 34},
        {"B double sharp", K::B, 0, {69, -2}, 300 - 60},
        {"the note's own choice comes first", K::V, 4, {66, 1}, 300 + 34},
        {"Z comes before a sharp chosen for the note", K::Z, 6, {65, 2}, 300 + 60},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        keys.ReleaseAll();
        keys.Hold(c.key);
        TNoteRec held = Press(100, 75);
        held.AccidentalInput = static_cast<std::uint8_t>(c.code);
        const int before = repaints;
        sheet.MoveNote(300, 75, 1, held);
        EXPECT_EQ(held.Pitch, c.pitch);
        EXPECT_EQ(sheet.AnchorX(), c.anchor);
        // A new choice shows the note again; the same choice once more does not.
        EXPECT_EQ(repaints, before + (c.pitch.Shift != 0 ? 1 : 0));
        sheet.MoveNote(310, 75, 1, held);
        EXPECT_EQ(held.Pitch, c.pitch);
    }
}

TEST_F(SheetInput, HeldSharpOnAKeySharpLetterAddsToTheKey)
{
    // The key's sharp counts first; a double sharp on top of it stays a double sharp.
    sheet.SetShowKeySignature(true);
    sheet.SetKeySignature(1);
    keys.Hold(AccidentalKey::B);
    TNoteRec held = Press(100, 45);
    sheet.MoveNote(100, 45, 1, held);
    EXPECT_EQ(held.Pitch, (TPitch{79, -2}));
}

TEST_F(SheetInput, InsertPositionComesFromTheFirstHeadRightOfThePoint)
{
    std::vector<TNoteRec> notes{Note(60), Note(62), Note(64)};
    notes[0].X = 100;
    notes[1].X = 150;
    notes[2].X = 200;
    struct Case
    {
        int x;
        int position;
        int redrawX;
    };
    const Case cases[] = {{90, 1, 90}, {150, 2, 140}, {160, 3, 190}, {300, 4, 190}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.x);
        const int before = repaints;
        sheet.NoteAtPoint(c.x, 95, true, 3, notes);
        EXPECT_EQ(sheet.InsertPosition(), c.position);
        EXPECT_EQ(sheet.RedrawX(), c.redrawX);
        EXPECT_EQ(repaints, before + 1);
    }
    // Chords have no insert position.
    sheet.SetInsertPosition(0);
    sheet.SetFixedSpacing(true);
    sheet.NoteAtPoint(160, 95, true, 3, notes);
    EXPECT_EQ(sheet.InsertPosition(), 0);
}

TEST_F(SheetInput, InsertGapWidensTheSpacingBeforeThatNote)
{
    std::vector<TNoteRec> notes{Note(60), Note(62)};
    sheet.SetInsertPosition(2);
    sheet.Draw(notes, 2);
    const int S = spacing.Value;
    EXPECT_EQ(notes[1].X - notes[0].X, 2 * S);
    sheet.SetInsertPosition(0);
    sheet.Draw(notes, 2);
    EXPECT_EQ(notes[1].X - notes[0].X, S);
    EXPECT_EQ(sheet.RedrawX(), 61 + 3 * S + 50);
}

TEST_F(SheetInput, PressResetsTheAccidentalAndClampsToTheControl)
{
    sheet.SetAccidental(2);
    sheet.SetLowestNote(0);
    const TPitch p = sheet.NoteAtPoint(10, 5000, false, 0, {});
    EXPECT_EQ(sheet.Accidental(), 0);
    EXPECT_EQ(sheet.AnchorX(), 10);
    int shift = 0;
    EXPECT_EQ(p.Note, sheet.PitchFromY(250, shift));
}

} // namespace
} // namespace pv
