// Layout of note lists on the grand staff: heads, spacing, sideways heads, signs and lines.
#include "StaffTestSupport.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::GlyphsOf;
using test::LinesOf;
using test::Note;
using test::NoteSigns;

class SheetLayout : public ::testing::Test
{
protected:
    SheetLayout() : sheet(keys, spacing) { sheet.SetControlSize(400, 250); }

    StaffDisplayList DrawAll(std::vector<TNoteRec>& notes)
    {
        return sheet.Draw(notes, static_cast<int>(notes.size()));
    }

    NoKeysHeld keys;
    NoteSpacing spacing;
    TSheet sheet;
};

TEST_F(SheetLayout, HeadsLieOnTheirLinesAndSpacesOfBothStaves)
{
    // T = 45, L = 10, G = 43: treble lines 45..85, bass lines 128..168.
    struct Case
    {
        const char* name;
        int midi;
        int shift;
        int staffByte;
        int lineSpacing;
        int y;
    };
    const Case cases[] = {
        {"middle C one space below the treble staff", 60, 0, 0, 10, 95},
        {"E4 bottom treble line", 64, 0, 0, 10, 85},
        {"G4 second treble line", 67, 0, 0, 10, 75},
        {"F5 top treble line", 77, 0, 0, 10, 45},
        {"C6 two ledger lines up", 84, 0, 0, 10, 25},
        {"B3 on the bass staff below 60", 59, 0, 0, 10, 123},
        {"A3 top bass line", 57, 0, 0, 10, 128},
        {"G2 bottom bass line", 43, 0, 0, 10, 168},
        {"middle C on the bass staff by its staff byte", 60, 0, 1, 10, 118},
        {"C sharp written on the C position", 61, -1, 0, 10, 95},
        {"D flat written on the D position", 61, 1, 0, 10, 90},
        {"middle C with narrow lines", 60, 0, 0, 8, 85},
        {"A3 top bass line with narrow lines", 57, 0, 0, 8, 45 + 32 + 35},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sheet.SetLineSpacing(c.lineSpacing);
        std::vector<TNoteRec> notes{Note(c.midi, c.shift)};
        notes[0].Staff = static_cast<std::uint8_t>(c.staffByte);
        DrawAll(notes);
        EXPECT_EQ(notes[0].Y, c.y);
    }
}

TEST_F(SheetLayout, SpacingSpreadsNotesOverTheWidthWithinItsLimits)
{
    // W = 382, notes area from 61: (382 - 61) div (count + 1 + bars), held within 25..46.
    std::vector<TNoteRec> few{Note(60), Note(62)};
    DrawAll(few);
    EXPECT_EQ(spacing.Value, 46);
    EXPECT_EQ(few[0].X, 61 + 46 + 8);
    EXPECT_EQ(few[1].X, 61 + 2 * 46 + 8);

    std::vector<TNoteRec> many(9, Note(60));
    DrawAll(many);
    EXPECT_EQ(spacing.Value, 321 / 10);
    EXPECT_EQ(many[1].X - many[0].X, 32);

    std::vector<TNoteRec> crowded(20, Note(60));
    DrawAll(crowded);
    EXPECT_EQ(spacing.Value, 25);
}

TEST_F(SheetLayout, FixedSpacingWithoutBarLinesKeepsTheSpacingAnotherSheetLeft)
{
    TSheet other(keys, spacing);
    other.SetControlSize(300, 250);
    std::vector<TNoteRec> melody(6, Note(60));
    other.Draw(melody, 6); // (282 - 61) div 7 = 31
    ASSERT_EQ(spacing.Value, 31);

    sheet.SetFixedSpacing(true);
    std::vector<TNoteRec> chord{Note(60), Note(64), Note(67)};
    DrawAll(chord);
    EXPECT_EQ(spacing.Value, 31);
    EXPECT_EQ(chord[0].X, 61 + 31 + 8);
    EXPECT_EQ(chord[2].X, chord[0].X);
}

TEST_F(SheetLayout, NotesAreaStartsRightOfTheKeySignature)
{
    EXPECT_EQ(sheet.NotesLeft(), 61);
    sheet.SetShowKeySignature(true);
    sheet.SetKeySignature(-5);
    EXPECT_EQ(sheet.NotesLeft(), 101);
    EXPECT_TRUE(sheet.PointInStaves(100, 100));
    EXPECT_FALSE(sheet.PointInStaves(101, 100));
    EXPECT_FALSE(sheet.PointInStaves(50, 45));
    EXPECT_FALSE(sheet.PointInStaves(50, 45 + 80 + 43));

    std::vector<TNoteRec> one{Note(60)};
    const StaffDisplayList list = DrawAll(one);
    EXPECT_EQ(one[0].X, 101 + spacing.Value + 8);
    // Five flats on each staff, 8 pixels apart from x 51; B flat on the middle treble line.
    const auto flats = GlyphsOf(list, StaffGlyph::Flat);
    ASSERT_EQ(flats.size(), 10u);
    EXPECT_EQ(flats[0].Anchor, QPoint(51, 45 + 20 - 20 + 2));
    EXPECT_EQ(flats[0].At.y(), 65);
    EXPECT_EQ(flats[1].Anchor, QPoint(51, 45 + 20 - 20 + 2 + 50 + 43));
    EXPECT_EQ(flats[8].Anchor, QPoint(51 + 32, 45 + 30 - 20 + 2));
}

TEST_F(SheetLayout, SharpsOfTheKeySignatureSitOnTheirLetters)
{
    sheet.SetShowKeySignature(true);
    sheet.SetKeySignature(2);
    std::vector<TNoteRec> none;
    const auto sharps = GlyphsOf(DrawAll(none), StaffGlyph::Sharp);
    ASSERT_EQ(sharps.size(), 4u);
    EXPECT_EQ(sharps[0].Anchor, QPoint(51, 45 - 14 + 1)); // F on the top line
    EXPECT_EQ(sharps[0].At.y(), 45);
    EXPECT_EQ(sharps[2].Anchor, QPoint(59, 45 + 15 - 14 + 1)); // C in the third space
    EXPECT_EQ(sharps[2].At.y(), 60);
    EXPECT_EQ(sharps[3].At.y(), 60 + 50 + 43); // C on the bass staff, a third lower
}

TEST_F(SheetLayout, ListEndsAtTheFirstNoteShorterThanAQuarter)
{
    std::vector<TNoteRec> notes{Note(60, 0, 3), Note(64, 0, 2), Note(67, 0, 4), Note(72, 0, 3)};
    const StaffDisplayList list = DrawAll(notes);
    EXPECT_EQ(GlyphsOf(list, StaffGlyph::QuarterNote).size(), 1u);
    EXPECT_EQ(GlyphsOf(list, StaffGlyph::HalfNote).size(), 1u);
    EXPECT_EQ(notes[2].X, 0);
    EXPECT_EQ(notes[3].X, 0);
}

TEST_F(SheetLayout, HeadGlyphsFollowTheDurationCode)
{
    std::vector<TNoteRec> notes{Note(60, 0, 0), Note(62, 0, 1), Note(64, 0, 2), Note(65, 0, 3)};
    const StaffDisplayList list = DrawAll(notes);
    const auto whole = GlyphsOf(list, StaffGlyph::WholeNote);
    ASSERT_EQ(whole.size(), 2u);
    EXPECT_EQ(whole[0].Anchor, QPoint(notes[0].X - 8, notes[0].Y - 4));
    const auto half = GlyphsOf(list, StaffGlyph::HalfNote);
    ASSERT_EQ(half.size(), 1u);
    EXPECT_EQ(half[0].Anchor, QPoint(notes[2].X - 8, notes[2].Y - 32));
    EXPECT_EQ(half[0].At, QPoint(notes[2].X, notes[2].Y));
    EXPECT_EQ(LinesOf(list, StaffLineKind::Stem).size(), 2u);

    sheet.SetLineSpacing(8);
    const StaffDisplayList narrow = DrawAll(notes);
    EXPECT_EQ(GlyphsOf(narrow, StaffGlyph::WholeNoteSmall).size(), 2u);
    EXPECT_EQ(notes[0].X, 61 + spacing.Value + 7);
}

TEST_F(SheetLayout, SecondsInAChordStandSidewaysAndShareOneUpStem)
{
    sheet.SetFixedSpacing(true);
    struct Case
    {
        const char* name;
        std::vector<int> chord;
        std::vector<int> sideways;
    };
    const Case cases[] = {
        {"triad", {60, 64, 67}, {0, 0, 0}},
        {"second", {60, 62}, {0, 1}},
        {"three seconds in a row alternate", {60, 62, 64}, {0, 1, 0}},
        {"fourth then second: the fourth moves", {60, 65, 67}, {0, 1, 0}},
        {"fourth then third stays", {60, 65, 69}, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<TNoteRec> notes;
        for (int m : c.chord)
            notes.push_back(Note(m, 0, 3));
        const StaffDisplayList list = DrawAll(notes);
        for (std::size_t i = 0; i < notes.size(); ++i) {
            EXPECT_EQ(notes[i].Sideways, c.sideways[i]) << i;
            EXPECT_EQ(notes[i].X, notes[0].X + 14 * c.sideways[i]) << i;
        }
        const auto stems = LinesOf(list, StaffLineKind::Stem);
        ASSERT_EQ(stems.size(), 1u);
        const bool anySideways = std::count(c.sideways.begin(), c.sideways.end(), 1) > 0;
        if (anySideways) { // up, at the right edge of the column's heads
            EXPECT_GT(stems[0].Line.x1(), notes[0].X);
        }
    }
}

TEST_F(SheetLayout, StemsPointAwayFromTheMiddleLine)
{
    std::vector<TNoteRec> notes{Note(64, 0, 3), Note(79, 0, 3), Note(71, 0, 3)};
    const StaffDisplayList list = DrawAll(notes);
    const auto stems = LinesOf(list, StaffLineKind::Stem);
    ASSERT_EQ(stems.size(), 3u);
    EXPECT_LT(stems[0].Line.y2(), notes[0].Y); // E4 up
    EXPECT_GT(stems[1].Line.y2(), notes[1].Y); // G5 down
    EXPECT_GT(stems[2].Line.y2(), notes[2].Y); // B4 on the middle line down
    EXPECT_EQ(notes[0].Y - stems[0].Line.y2(), 35);
}

TEST_F(SheetLayout, AccidentalsWithinABarAreRememberedUntilTheBarLine)
{
    struct Case
    {
        const char* name;
        int key;
        std::vector<TNoteRec> notes;
        std::vector<StaffGlyph> signs;
    };
    using G = StaffGlyph;
    const Case cases[] = {
        {"sharp, natural, sharp again",
         0,
         {Note(66, -1), Note(65, 0), Note(66, -1)},
         {G::Sharp, G::Natural, G::Sharp}},
        {"a repeated sharp needs none", 0, {Note(66, -1), Note(67), Note(66, -1)}, {G::Sharp}},
        {"the bar line forgets", 0, {Note(66, -1, 1, 1), Note(66, -1)}, {G::Sharp, G::Sharp}},
        {"another octave is another pitch", 0, {Note(66, -1), Note(78, -1)}, {G::Sharp, G::Sharp}},
        {"flat after a sharp cancels it first",
         0,
         {Note(66, -1), Note(64, 1)},
         {G::Sharp, G::Natural, G::Flat}},
        {"key sharps need no sign", 2, {Note(66, -1), Note(73, -1)}, {}},
        {"natural against the key, then its sharp again",
         2,
         {Note(66, -1), Note(65), Note(66, -1)},
         {G::Natural, G::Sharp}},
        {"key flat, natural, flat",
         -1,
         {Note(70, 1), Note(71), Note(70, 1)},
         {G::Natural, G::Flat}},
        {"double signs always",
         0,
         {Note(67, -2), Note(69), Note(67, -2), Note(60, 2)},
         {G::DoubleSharp, G::DoubleSharp, G::DoubleFlat}},
        // The letter F is sharp in D major; after an F flat in the bar, F sharp cancels the flat
        // and then writes its sharp.
        {"sharp key letter after a shown flat",
         2,
         {Note(64, 1), Note(66, -1)},
         {G::Flat, G::Natural, G::Sharp}},
        {"flat key letter after a shown sharp",
         -1,
         {Note(72, -1), Note(70, 1)},
         {G::Sharp, G::Natural, G::Flat}},
    };
    sheet.SetShowKeySignature(true);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sheet.SetKeySignature(c.key);
        std::vector<TNoteRec> notes = c.notes;
        EXPECT_EQ(NoteSigns(DrawAll(notes), sheet), c.signs);
    }
}

TEST_F(SheetLayout, SignsSitLeftOfTheirHeadAtTheGivenOffsets)
{
    std::vector<TNoteRec> notes{Note(66, -1), Note(70, 1), Note(69), Note(67, -2), Note(62, 2)};
    const StaffDisplayList list = DrawAll(notes);
    auto xOf = [&](std::size_t i) { return notes[i].X - 8; };
    const auto sharp = GlyphsOf(list, StaffGlyph::Sharp);
    ASSERT_EQ(sharp.size(), 1u);
    EXPECT_EQ(sharp[0].Anchor, QPoint(xOf(0) - 9, notes[0].Y - 13));
    const auto flat = GlyphsOf(list, StaffGlyph::Flat);
    ASSERT_EQ(flat.size(), 1u);
    EXPECT_EQ(flat[0].Anchor, QPoint(xOf(1) - 8, notes[1].Y - 17));
    const auto dsharp = GlyphsOf(list, StaffGlyph::DoubleSharp);
    ASSERT_EQ(dsharp.size(), 1u);
    EXPECT_EQ(dsharp[0].Anchor, QPoint(xOf(3) - 10, notes[3].Y - 5));
    const auto dflat = GlyphsOf(list, StaffGlyph::DoubleFlat);
    ASSERT_EQ(dflat.size(), 1u);
    EXPECT_EQ(dflat[0].Anchor, QPoint(xOf(4) - 15, notes[4].Y - 17));
}

TEST_F(SheetLayout, ChordSignsStackInColumnsLeftwards)
{
    sheet.SetFixedSpacing(true);
    struct Case
    {
        const char* name;
        std::vector<TNoteRec> chord;
        std::vector<int> columns;
    };
    const Case cases[] = {
        {"C minor seven flat five",
         {Note(60), Note(63, 1), Note(66, 1), Note(70, 1)},
         {255, 0, 1, 2}},
        {"far apart signs reuse column 0", {Note(61, -1), Note(80, -1)}, {0, 0}},
        {"double flat takes two columns", {Note(62, 2), Note(66, 1)}, {0, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<TNoteRec> notes = c.chord;
        const StaffDisplayList list = DrawAll(notes);
        for (std::size_t i = 0; i < notes.size(); ++i)
            EXPECT_EQ(notes[i].AccidentalColumn, c.columns[i]) << i;
    }

    // The columns move the signs 9 pixels apart.
    std::vector<TNoteRec> notes{Note(63, 1), Note(66, 1)};
    const auto flats = GlyphsOf(DrawAll(notes), StaffGlyph::Flat);
    ASSERT_EQ(flats.size(), 2u);
    EXPECT_EQ(flats[0].Anchor.x() - flats[1].Anchor.x(), 9);
}

TEST_F(SheetLayout, LedgerLinesByStaffAndPitch)
{
    struct Case
    {
        const char* name;
        int written;
        bool bass;
        TStaffPosition expected;
    };
    using P = TStaffPosition;
    const Case cases[] = {
        {"G5 on the treble staff", 79, false, {}},
        {"A5 one above", 81, false, {1, P::AboveTreble}},
        {"B5 one above", 83, false, {1, P::AboveTreble}},
        {"C6 two above", 84, false, {2, P::AboveTreble}},
        {"C7 five above", 96, false, {5, P::AboveTreble}},
        {"D4 none", 62, false, {}},
        {"middle C one below", 60, false, {1, P::BelowTreble}},
        {"A3 two below", 57, false, {2, P::BelowTreble}},
        {"C3 four below", 48, false, {4, P::BelowTreble}},
        {"B1 eight below the treble staff", 35, false, {8, P::BelowTreble}},
        {"B3 on the bass staff none", 59, true, {}},
        {"middle C one above the bass", 60, true, {1, P::AboveBass}},
        {"E4 two above the bass", 64, true, {2, P::AboveBass}},
        {"G2 none", 43, true, {}},
        {"E2 one below", 40, true, {1, P::BelowBass}},
        {"C2 two below", 36, true, {2, P::BelowBass}},
        {"C1 five below", 24, true, {5, P::BelowBass}},
        {"B0 six below", 23, true, {6, P::BelowBass}},
        {"A0 six below", 21, true, {6, P::BelowBass}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(sheet.StaffPosition(TPitch{static_cast<std::int8_t>(c.written), 0}, c.bass),
                  c.expected);
    }
    // Spelled pitches count by their written letter: B sharp 3 sounds 60 but sits on B.
    EXPECT_EQ(sheet.StaffPosition(TPitch{60, -1}, false), (TStaffPosition{1, P::BelowTreble}));
    EXPECT_EQ(sheet.StaffPosition(TPitch{61, 1}, false), TStaffPosition{});
}

TEST_F(SheetLayout, DrawnLedgerLinesAreTwentyPixelsAroundTheHead)
{
    std::vector<TNoteRec> notes{Note(84), Note(36)};
    const auto ledgers = LinesOf(DrawAll(notes), StaffLineKind::Ledger);
    ASSERT_EQ(ledgers.size(), 4u);
    EXPECT_EQ(ledgers[0].Line, QLine(notes[0].X - 10, 35, notes[0].X + 10, 35));
    EXPECT_EQ(ledgers[1].Line.y1(), 25);
    EXPECT_EQ(ledgers[2].Line.y1(), 178);
    EXPECT_EQ(ledgers[3].Line.y1(), 188);
    EXPECT_EQ(notes[1].Y, 188);
}

TEST_F(SheetLayout, BarLinesCrossBothStavesAndRestartTheBar)
{
    std::vector<TNoteRec> notes{Note(60, 0, 1, 1), Note(62, 0, 1, 2), Note(64)};
    const StaffDisplayList list = DrawAll(notes);
    const int S = spacing.Value; // 321 div 6 = 53 -> 46
    const auto bars = LinesOf(list, StaffLineKind::BarLine);
    ASSERT_EQ(bars.size(), 3u);
    const int first = 61 + S + S + 3;
    EXPECT_EQ(bars[0].Line, QLine(first, 45, first, 45 + 80 + 43 + 1));
    EXPECT_EQ(notes[1].X, first + S - 3 + 8);
    const int second = notes[1].X - 8 + S + 3;
    EXPECT_EQ(bars[1].Line.x1(), second);
    EXPECT_EQ(bars[2].Line.x1(), second - 3);
    EXPECT_EQ(notes[2].X, second + S - 3 + 8);
}

TEST_F(SheetLayout, NotesBeyondTheLastRoomyBarAreMovedOffTheStaff)
{
    sheet.SetFixedSpacing(true);
    // Six chords of one note each: S = 321 div 18 = 17 -> 25, and each bar takes 3 S.
    std::vector<TNoteRec> notes(6, Note(60, 0, 1, 1));
    notes.push_back(Note(64));
    DrawAll(notes);
    EXPECT_EQ(spacing.Value, 25);
    int onStaff = 0;
    for (const auto& n : notes)
        onStaff += n.X < 382 ? 1 : 0;
    EXPECT_LT(onStaff, 7);
    EXPECT_EQ(notes.back().X, 2 * 382);
}

TEST_F(SheetLayout, KeyNameIsWrittenInGreyBetweenTheStaves)
{
    struct Case
    {
        int key;
        int mode;
        const char* name;
    };
    const Case cases[] = {{0, 0, "C-major"},   {0, 1, "A-minor"},  {-6, 1, "Eb-minor"},
                          {-6, 0, "Gb-major"}, {6, 0, "F#-major"}, {6, 1, "D#-minor"},
                          {-5, 1, "Bb-minor"}, {4, 1, "C#-minor"}};
    sheet.SetShowKeySignature(true);
    sheet.SetShowKeyName(true);
    sheet.SetKeyNameWords(QStringLiteral("Major"), QStringLiteral("Minor"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sheet.SetKeySignature(c.key);
        sheet.SetMode(c.mode);
        EXPECT_EQ(sheet.KeyName(), QString::fromLatin1(c.name));
        std::vector<TNoteRec> none;
        const StaffDisplayList list = DrawAll(none);
        ASSERT_EQ(list.Texts.size(), 1u);
        EXPECT_EQ(list.Texts[0].Text, QString::fromLatin1(c.name));
        EXPECT_EQ(list.Texts[0].At, QPoint(38, 45 + 40 + 21));
        EXPECT_EQ(list.Texts[0].Rgb, 0x808080u);
    }
    sheet.SetShowKeySignature(false);
    std::vector<TNoteRec> none;
    EXPECT_TRUE(DrawAll(none).Texts.empty());
}

TEST_F(SheetLayout, NoteRedrawnAloneCoversAStripAroundIt)
{
    sheet.SetLastClef(1);
    const StaffDisplayList shown = sheet.DrawNote(TPitch{66, -1}, 1, false, 200);
    EXPECT_EQ(shown.Area, QRect(180, 0, 40, 250));
    const auto heads = GlyphsOf(shown, StaffGlyph::WholeNote);
    ASSERT_EQ(heads.size(), 1u);
    EXPECT_EQ(heads[0].At, QPoint(208, 80)); // F4, first space
    const auto sharps = GlyphsOf(shown, StaffGlyph::Sharp);
    ASSERT_EQ(sharps.size(), 1u);
    EXPECT_EQ(sharps[0].Anchor, QPoint(200 - 9, 80 - 13));
    for (const auto& line : LinesOf(shown, StaffLineKind::Staff)) {
        EXPECT_GE(line.Line.x1(), 180);
        EXPECT_LE(line.Line.x2(), 220);
    }

    sheet.SetWideNotes(true);
    const StaffDisplayList erased = sheet.DrawNote(TPitch{66, -1}, 1, true, 200);
    EXPECT_EQ(erased.Area, QRect(170, 0, 60, 250));
    EXPECT_TRUE(erased.Glyphs.empty());
    EXPECT_EQ(LinesOf(erased, StaffLineKind::Staff).size(), 10u);

    // A note read from the bass staff is shown there.
    sheet.SetLastClef(-1);
    const auto bass = GlyphsOf(sheet.DrawNote(TPitch{60, 0}, 1, false, 200), StaffGlyph::WholeNote);
    ASSERT_EQ(bass.size(), 1u);
    EXPECT_EQ(bass[0].At.y(), 118);
}

TEST_F(SheetLayout, NothingIsDrawnWithoutHeight)
{
    sheet.SetControlSize(400, 0);
    std::vector<TNoteRec> notes{Note(60)};
    EXPECT_TRUE(DrawAll(notes).Empty());
    EXPECT_EQ(notes[0].X, 0);
}

TEST_F(SheetLayout, ArrangeStavesChoosesLineSpacingAndTop)
{
    struct Case
    {
        const char* name;
        int height;
        int high;
        bool wide;
        int clefMode;
        int lineSpacing;
        int top;
    };
    const Case cases[] = {
        {"roomy", 250, 84, false, 0, 10, 2 * (250 - 123) / 3},
        {"roomy and wide for a high note", 250, 91, true, 0, 10, 20 + (250 - 123) / 3},
        {"low control narrows the lines", 150, 84, false, 0, 8, 2 * (150 - 99) / 3},
        {"very low control, both staves", 100, 84, false, 0, 8, 50 - 16},
        {"very low control, bass only", 100, 84, false, -1, 8, 66 - 83},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sheet.SetControlSize(400, c.height);
        sheet.SetClefMode(c.clefMode);
        sheet.ArrangeStaves(c.high, c.wide);
        EXPECT_EQ(sheet.LineSpacing(), c.lineSpacing);
        EXPECT_EQ(sheet.StaffGap(), 4 * c.lineSpacing + 3);
        EXPECT_EQ(sheet.Top(), c.top);
    }
}

TEST_F(SheetLayout, StepSizesAreCentredBetweenHeads)
{
    std::vector<TNoteRec> notes{Note(60), Note(62), Note(64), Note(65),
                                Note(48), Note(51), Note(55)};
    DrawAll(notes);
    const StaffDisplayList list = sheet.DrawStepSizes(notes, 4, 3);
    ASSERT_EQ(list.Texts.size(), 4u);
    EXPECT_EQ(list.Texts[0].Text, QStringLiteral("1"));
    EXPECT_EQ(list.Texts[2].Text, QStringLiteral("\u00BD"));
    EXPECT_EQ(list.Texts[0].At, QPoint((notes[0].X + notes[1].X) / 2, 45 + 40 + 21));
    EXPECT_TRUE(list.Texts[0].Centred);
    // The second run lies on the bass staff: its labels go below it; 4 semitones say nothing.
    EXPECT_EQ(list.Texts[3].Text, QStringLiteral("1\u00BD"));
    EXPECT_GT(list.Texts[3].At.y(), 45 + 80 + 43);
}

TEST_F(SheetLayout, StepSizesUnderTheBassStaffStayClearOfItsLowestHeads)
{
    // A run that climbs down under the bass staff on ledger lines: the sizes of its steps are
    // written below the lowest head, never over the heads, the ledger lines or the staff.
    std::vector<TNoteRec> notes{Note(43), Note(41), Note(40), Note(38), Note(36)};
    DrawAll(notes);
    const StaffDisplayList list = sheet.DrawStepSizes(notes, 5, 0);
    ASSERT_EQ(list.Texts.size(), 4u);
    int lowestHead = 0;
    for (const TNoteRec& note : notes)
        lowestHead = std::max(lowestHead, note.Y);
    for (const StaffText& text : list.Texts) {
        SCOPED_TRACE(text.Text.toStdString());
        EXPECT_GE(text.At.y(), lowestHead + 10 + 5) << "a space under the lowest head, and more";
    }
}

TEST_F(SheetLayout, FitStavesCentresTheStavesWithTheirNotesInTheBox)
{
    struct Case
    {
        const char* name;
        int height;
        std::vector<TNoteRec> notes;
        int roomBelow;
    };
    const Case cases[] = {
        {"empty staff in a tall box", 760, {}, 0},
        {"a chord in the middle of a tall box", 760, {Note(60), Note(64), Note(67)}, 0},
        {"labels under the staff", 760, {Note(60), Note(64), Note(67)}, 31},
        {"a high note with ledger lines", 600, {Note(96), Note(91)}, 31},
        {"a low note under the bass staff", 600, {Note(36), Note(40)}, 31},
        {"the small box beside the piano", 205, {Note(62), Note(66), Note(69)}, 31},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sheet.SetControlSize(1500, c.height);
        sheet.ArrangeStaves(0, false);
        sheet.FitStaves(c.notes, c.roomBelow);
        const auto [top, bottom] = sheet.ContentRows(c.notes);
        const int above = top;
        const int below = c.height - (bottom + c.roomBelow);
        EXPECT_GE(above, 0);
        EXPECT_GE(below, 0);
        EXPECT_LE(std::abs(above - below), 1) << above << " above, " << below << " below";
        // Every head lies inside the content the box was centred for.
        std::vector<TNoteRec> drawn = c.notes;
        DrawAll(drawn);
        for (const TNoteRec& note : drawn) {
            EXPECT_GT(note.Y, top);
            EXPECT_LT(note.Y, bottom);
        }
    }
}

TEST_F(SheetLayout, FitStavesLeavesStavesThatDoNotFitWhereTheyAre)
{
    sheet.SetControlSize(400, 120);
    sheet.ArrangeStaves(0, false);
    const int arranged = sheet.Top();
    const std::vector<TNoteRec> notes{Note(60), Note(64), Note(67)};
    sheet.FitStaves(notes, 31);
    EXPECT_EQ(sheet.Top(), arranged);
}

} // namespace
} // namespace pv
