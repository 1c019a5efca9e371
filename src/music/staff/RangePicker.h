// The note-range picker of the setup pages: the lowest and highest note of the questions,
// dragged as two markers on a piano keyboard, a guitar fretboard or a grand staff. Pure
// geometry and drag rules; a widget paints the pictures and forwards the mouse.
#pragma once

#include "music/notation/NoteRec.h"
#include "music/staff/StaffDisplayList.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include <QPoint>
#include <QRect>

namespace pv {

/// The picture the range is picked on, by the page's view code: 2 piano, 4 guitar, anything
/// else the staff.
enum class RangeView : std::uint8_t
{
    Staff = 0,
    Piano = 2,
    Guitar = 4,
};
RangeView RangeViewOfCode(int viewCode);

/// The mouse cursor over the picture.
enum class RangeCursor : std::uint8_t
{
    Default = 0,
    SizeHorizontal = 1, ///< piano
    SizeVertical = 2,   ///< staff
    SizeAll = 3,        ///< guitar
};

/// Which marker the mouse drags (the drag state).
enum class RangeDrag : std::uint8_t
{
    None = 0,
    Low = 1,
    High = 2,
};

// ---- Geometry of the three pictures -------------------------------------------------------

inline constexpr int kRangePianoLowest = 41; ///< the keyboard starts on F
inline constexpr int kRangePianoOctaveWidth = 77;
inline constexpr int kRangePianoWhiteWidth = 11;
inline constexpr int kRangePianoBlackHeight = 20;
inline constexpr int kRangePianoDotSize = 6;
/// The piano picture: F2 to C8, the highest note the staff lets the range reach.
inline constexpr int kRangePianoWidth = 40 * kRangePianoWhiteWidth;
inline constexpr int kRangePianoHeight = 36;

inline constexpr int kRangeGuitarStringGap = 6;
inline constexpr int kRangeGuitarDotSize = 5;
inline constexpr int kRangeGuitarLowest = 40;
inline constexpr int kRangeGuitarHighest = 84;
/// x of the nut (index 0) and the frets 1..20.
inline constexpr std::array<int, 21> kRangeGuitarFrets = {11,  38,  63,  85,  105, 124, 142,
                                                          158, 173, 187, 200, 213, 225, 237,
                                                          248, 258, 268, 277, 286, 295, 302};
inline constexpr int kRangeGuitarWidth = 310;
inline constexpr int kRangeGuitarHeight = 36;

inline constexpr int kRangeStaffWidth = 150;
inline constexpr int kRangeStaffHeight = 129;
inline constexpr int kRangeStaffLineSpacing = 8;
/// y of the five treble lines (F5 .. E4) and of the five bass lines (A3 .. G2).
inline constexpr std::array<int, 5> kRangeTrebleLines = {28, 36, 44, 52, 60};
inline constexpr std::array<int, 5> kRangeBassLines = {81, 89, 97, 105, 113};
inline constexpr int kRangeStaffHeadX = 65;
inline constexpr int kRangeStaffHeadAsideX = 79;

/// The key under a point of the piano picture (a coordinate below 0 counts as 0).
int PianoRangeNoteAt(int x, int y);
/// The note of the string and fret under a point of the guitar picture, held within 40..84.
int GuitarRangeNoteAt(int x, int y);
/// The natural note of the line or space under a point of the staff picture: 41..59 on the
/// bass staff (y from 70 down), 60..108 on the treble staff.
int StaffRangeNoteAt(int x, int y);

/// Top-left of a marker's 6-pixel dot on the piano (notes below the keyboard count as its
/// first key).
QPoint PianoRangeDot(int note);
/// A marker on the fretboard: its string and fret, and the top-left of its 5-pixel dot. Notes
/// below the lowest open string lie on its open string.
struct GuitarRangeDot
{
    int String = 6;
    int Fret = 0;
    QPoint At;
};
GuitarRangeDot GuitarRangeDotOf(int note);
/// The head centre of a written pitch on the staff picture, at head x.
int StaffRangeHeadY(int written);

/// What the piano picture shows.
struct RangePianoPicture
{
    struct Key
    {
        int Note = 0;
        bool Black = false;
        QRect Rect;
    };
    std::vector<Key> Keys;       ///< white keys first, the black keys over them
    std::array<QRect, 2> Dots{}; ///< low, high marker
};
RangePianoPicture PianoRangePicture(int lowNote, int highNote);

/// What the guitar picture shows.
struct RangeGuitarPicture
{
    std::array<int, 6> StringY{}; ///< the middle row of strings 1..6
    std::vector<int> FretX;       ///< the nut, then the frets
    std::array<GuitarRangeDot, 2> Dots{};
};
RangeGuitarPicture GuitarRangePicture(int lowNote, int highNote);

// ---- The picker ---------------------------------------------------------------------------

/// The two markers and the mouse's drag of them.
class RangePicker
{
public:
    RangePicker();

    /// The marker notes; the staff view keeps each marker's head in X and Y.
    TNoteRec RangeLow;
    TNoteRec RangeHigh;

    int LowNote() const { return RangeLow.Pitch.Note; }
    int HighNote() const { return RangeHigh.Pitch.Note; }
    RangeDrag DragState() const { return m_drag; }
    int StaffAccidental() const { return m_accidental; }
    int StaffAnchorX() const { return m_anchorX; }

    /// The low marker stays at least this many semitones below the high one (at least 1).
    int MarkerGap() const { return m_gap; }
    /// Sets the gap; when the range is narrower, the high marker moves up to low + gap.
    /// True when it moved.
    bool SetMarkerGap(int gap);

    /// Sets both markers (duration 1, velocity level 0), spelled as in C: black keys flat.
    void SetRange(int low, int high);

    /// Only the left button: picks the marker whose note lies under the point (on the staff
    /// the marker whose head is within 8 pixels across and 5 up or down). True when a marker
    /// is taken.
    bool RangeMouseDown(bool leftButton, int x, int y, RangeView view);
    struct MoveEffect
    {
        bool Repaint = false;
        std::optional<RangeCursor> Cursor; ///< while not dragging: the cursor to show
    };
    /// Drags the taken marker to the note under the point, or tells the cursor.
    MoveEffect RangeMouseMove(int x, int y, RangeView view);
    void RangeMouseUp(bool leftButton);

    /// The corrections a picture makes before it is drawn: piano and staff raise a low marker
    /// below 41 (and then a high one below 42), the guitar lowers a high marker above 84 (and
    /// then a low one at 84 or above). True when a marker changed.
    bool CorrectForView(RangeView view);

    /// The staff picture with both markers; their head positions are kept for the mouse.
    StaffDisplayList DrawRangeOnStaff(int width = kRangeStaffWidth);

private:
    /// The marker the staff point is near, with the both-near rule.
    RangeDrag StaffMarkerAt(int x, int y) const;
    RangeDrag MarkerOfNote(int note) const;
    bool MarkerNear(const TNoteRec& marker, int x, int y) const;
    TPitch StaffDragPitch(int x, int y);

    RangeDrag m_drag = RangeDrag::None;
    int m_accidental = 0;
    int m_anchorX = 0;
    int m_gap = 1;
};

} // namespace pv
