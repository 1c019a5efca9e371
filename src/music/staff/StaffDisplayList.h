// What a sheet draws, as plain geometry: lines, glyphs at their anchor points and texts.
#pragma once

#include <cstdint>
#include <vector>

#include <QLine>
#include <QPoint>
#include <QRect>
#include <QString>

namespace pv {

enum class StaffGlyph : int
{
    TrebleClef = 0,
    BassClef = 1,
    Brace = 2,
    WholeNote = 3,
    WholeNoteSmall = 4, ///< the whole note of the narrow line spacing
    HalfNote = 5,       ///< an open head; its stem is a line of its own
    QuarterNote = 6,    ///< a filled head; its stem is a line of its own
    Flat = 7,
    DoubleFlat = 8,
    Sharp = 9,
    DoubleSharp = 10,
    Natural = 11,
};

enum class StaffLineKind : int
{
    Staff = 0,  ///< the five lines of a staff
    Joiner = 1, ///< the vertical line that joins the two staves at the left
    Ledger = 2,
    BarLine = 3,
    Stem = 4,
};

struct StaffLine
{
    StaffLineKind Kind = StaffLineKind::Staff;
    QLine Line;
};

/// One glyph. Anchor is the top-left corner at which the sheet places its picture of the glyph;
/// At is the musical point a painter aligns the glyph to:
/// - note heads: the centre of the head;
/// - accidentals (in the notes and in the key signature): the right edge of the sign, at the
///   height of the line or space it alters;
/// - clefs: the left edge, at the height of the clef's line (G line, F line);
/// - brace: unused; the brace is stretched over Box.
struct StaffGlyphItem
{
    StaffGlyph Glyph = StaffGlyph::QuarterNote;
    QPoint Anchor;
    QPoint At;
    QRect Box;
};

/// A text; At.y is its vertical centre, At.x its left edge or, when Centred, its centre.
struct StaffText
{
    QString Text;
    QPoint At;
    bool Centred = false;
    int PointSize = 7;
    std::uint32_t Rgb = 0x000000;
};

/// Everything one drawing of a sheet produces. Area is the part of the control it covers (the
/// whole control for a full drawing, a strip for a note redrawn alone); a painter clears Area
/// to the background before drawing the items.
struct StaffDisplayList
{
    QRect Area;
    bool ClearArea = true;
    int LineSpacing = 10; ///< pixels between staff lines, for scaling the glyphs
    int HeadWidth = 12;   ///< pixels a note head is wide; stems are placed at its edges
    std::vector<StaffLine> Lines;
    std::vector<StaffGlyphItem> Glyphs;
    std::vector<StaffText> Texts;

    bool Empty() const { return Lines.empty() && Glyphs.empty() && Texts.empty(); }
};

} // namespace pv
