// What a rhythm drawing shows, as plain geometry on a one-line percussion staff that wraps over
// lines 64 pixels high: lines, glyphs at their points, tie arcs and texts. TRytme::Draw,
// TRytme::MarkBar and TRytme::DrawResultMarks produce it; a painter turns it into pixels.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QLine>
#include <QPoint>
#include <QRect>
#include <QString>

namespace pv {

// The drawing's fixed geometry. Every line of the drawing is kRhythmLineHeight pixels high and
// the positions below are offsets from its top.
inline constexpr int kRhythmLineHeight = 64;
inline constexpr int kRhythmStaffLeft = 40;  ///< the staff line starts here
inline constexpr int kRhythmFirstX = 47;     ///< x of a line's first note
inline constexpr int kRhythmStaffY = 42;     ///< the staff line; heads sit on it
inline constexpr int kRhythmNoteTop = 17;    ///< top of a note picture; stems end here
inline constexpr int kRhythmRestTop = 27;    ///< top of a rest picture
inline constexpr int kRhythmBarTop = 12;     ///< bar lines run from here ...
inline constexpr int kRhythmBarBottom = 57;  ///< ... to here
inline constexpr int kRhythmResultTop = 48;  ///< top of a result mark
inline constexpr int kRhythmUnderlineY = 61; ///< the underline of the bar being played
inline constexpr int kRhythmHeadWidth = 10;  ///< a note head; the stem is at its right edge
inline constexpr int kRhythmBeamGap = 5;     ///< from one beam to the next
inline constexpr int kRhythmBeamHeight = 3;
inline constexpr int kRhythmHookLength = 6; ///< a partial beam
inline constexpr int kRhythmResultSize = 12;
/// The closing bar line: the last bar's thin line, then after this gap a thick line this wide,
/// at whose right edge the staff ends.
inline constexpr int kRhythmFinalBarGap = 3;
inline constexpr int kRhythmFinalBarWidth = 3;
inline constexpr std::uint32_t kRhythmUnderlineRgb = 0x008000;

/// The two widths of a note of `ticks` for the settings' notation spacing 0..3 (held within):
/// S, the advance after the note, and S2, used instead for beamed notes when a line break is
/// judged.
struct RhythmNoteWidths
{
    int S = 0;
    int S2 = 0;
    friend bool operator==(const RhythmNoteWidths&, const RhythmNoteWidths&) = default;
};
RhythmNoteWidths NoteWidths(int spacing, std::uint32_t ticks);

enum class RhythmGlyph : int
{
    WholeNote = 0,
    HalfHead = 1,  ///< an open head; its stem is a line of its own
    BlackHead = 2, ///< a filled head; its stem is a line of its own
    WholeRest = 3,
    HalfRest = 4,
    QuarterRest = 5,
    EighthRest = 6,
    SixteenthRest = 7,
    ThirtySecondRest = 8,
    Flag8 = 9, ///< the flags of an unbeamed note, hanging from the top of its stem
    Flag16 = 10,
    Flag32 = 11,
    Dot = 12,
    TripletFigure = 13,
    ResultLate = 14, ///< result marks, in the order of RhythmNote::Result + 1
    ResultOnTime = 15,
    ResultEarly = 16,
    ResultMissed = 17,
};

enum class RhythmLineKind : int
{
    Staff = 0,
    BarLine = 1,
    /// The thick stroke of the closing bar line, right of the last bar's thin line; Line is
    /// its left edge and it is kRhythmFinalBarWidth pixels thick.
    FinalBarLine = 2,
    Stem = 3,
    Beam = 4,      ///< Line is the beam's top edge; it is kRhythmBeamHeight pixels thick
    Bracket = 5,   ///< a stroke of a triplet bracket
    Underline = 6, ///< the bar being played, in green, 3 pixels wide
    Erase = 7,     ///< a removed underline, in the background colour, 3 pixels wide
};

struct RhythmLine
{
    RhythmLineKind Kind = RhythmLineKind::Staff;
    QLine Line;
    friend bool operator==(const RhythmLine&, const RhythmLine&) = default;
};

/// One glyph. Anchor is the top-left corner of its picture; At the point a painter aligns it to:
/// - heads: the centre of the head, on the staff line;
/// - rests: the left edge, at the height of the staff line the rest is placed against;
/// - flags: the top of the stem they hang from;
/// - dots, the triplet figure and result marks: their centre.
struct RhythmGlyphItem
{
    RhythmGlyph Glyph = RhythmGlyph::BlackHead;
    QPoint Anchor;
    QPoint At;
    int Note = 0; ///< number of the note (1..N) the glyph belongs to; 0 for none
};

/// A tie below the heads from From to To. An open arc leaves a note at the end of a line (From
/// is the head) or reaches one at the start of the next line (To is the head).
struct RhythmArc
{
    QPoint From;
    QPoint To;
    bool Open = false;
};

/// A text centred on At, PixelSize high.
struct RhythmText
{
    QString Text;
    QPoint At;
    int PixelSize = 16;
};

/// Everything one drawing produces. Area is the part of the paint box it covers; a painter
/// clears it to the background first when ClearArea is set (a full drawing), while overlays
/// (result marks, underlines) leave what is below them.
struct RhythmDisplayList
{
    QRect Area;
    bool ClearArea = false;
    /// The paint box's new height: the lines drawn plus a margin. Unset when the box keeps its
    /// height (an empty rhythm, an overlay).
    std::optional<int> Height;
    std::vector<RhythmLine> Lines;
    std::vector<RhythmGlyphItem> Glyphs;
    std::vector<RhythmArc> Arcs;
    std::vector<RhythmText> Texts;

    bool Empty() const { return Lines.empty() && Glyphs.empty() && Arcs.empty() && Texts.empty(); }
};

/// Pictures of single figures as the notation draws them, for the buttons that choose them: a
/// note of value 1..6 with its flag, a triplet group of three notes of value 2..5 with its
/// bracket and figure (beamed when they are eighths or shorter), and the figures of
/// time-signature row 1..14. Each picture's Area is where it lies.
RhythmDisplayList RhythmValuePicture(int value);
RhythmDisplayList RhythmTripletPicture(int value);
RhythmDisplayList TimeSignaturePicture(int row);

} // namespace pv
