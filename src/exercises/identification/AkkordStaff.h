// What the identification window's staff shows (notes, answer labels, the progression's chord
// columns) and what the mouse and the accidental keys do on it; geometry and rules, no widgets.
#pragma once

#include "exercises/identification/AkkordModel.h"
#include "exercises/identification/InstrumentGeometry.h"
#include "music/staff/KeyState.h"
#include "music/staff/StaffDisplayList.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include <QLine>
#include <QRect>
#include <QSize>
#include <QString>

namespace pv {

class AkkordPlayback;
class TSheet;
struct UIStringTable;

/// Label ink: the user's answer red, the question green, an unanswered progression olive. The
/// green is a dark one: the labels stand on white, where a light green text can hardly be read.
inline constexpr std::uint32_t kLabelRed = 0xFF0000;
inline constexpr std::uint32_t kLabelGreen = 0x008000;
inline constexpr std::uint32_t kLabelOlive = 0x808000;

/// A framed label centred under a run of notes (or a chord column).
struct StaffLabel
{
    QString First;
    QString Second; ///< empty: one line
    std::uint32_t Rgb = 0;
    QRect Frame;       ///< the white box with its frame in the label's ink
    QPoint FirstAt;    ///< top-left of the first line
    QPoint SecondAt;   ///< top-left of the second line
    int TextWidth = 0; ///< the lines are centred in this width
};

/// Measures a line of label text (width and height in pixels).
using TextMeasure = std::function<QSize(const QString&)>;

/// Places a label of one or two lines: centred between the x of its first and last note and
/// raised by half its height from y.
StaffLabel PlaceStaffLabel(const QString& first, const QString& second, std::uint32_t rgb,
                           int firstX, int lastX, int y, const TextMeasure& measure);

/// Moves labels that overlap or leave the box: each stays within left..right, a label that
/// would cover the one before it moves right of it, and one with no room left on its row goes
/// to a row of its own below. Labels are taken in order.
void SpreadStaffLabels(std::vector<StaffLabel>& labels, int left, int right);

/// Places the staves for the question: the line spacing for its highest note, then the staves
/// centred in the box with the question's notes and the labels and step sizes under them.
void ArrangeAkkordStaves(const AkkordModel& model, TSheet& sheet, const TextMeasure& measure);

/// Whether the question's notes are shown after the user's (a wrong answer).
bool CorrectionShown(const AkkordModel& model);

/// The texts of the two labels after a wrong answer in modes 0-4: the user's answer (red) and
/// the question (green).
struct AnswerLabelTexts
{
    QString Entered;
    QString Question;
};
AnswerLabelTexts AnswerLabelTextsOf(const AkkordModel& model, const UIStringTable& strings);

/// One chord column of the progression mode.
struct ChordColumn
{
    int X = 0;
    bool Question = false; ///< a chord of the question, shown after a wrong answer
    TNoteRec Chord;        ///< root pitch word and chord type (byte 2)
    int FirstNote = 0;     ///< its first voiced note in the drawn list
    int NoteCount = 0;
};

/// Everything one paint of the staff box shows, in paint order.
struct AkkordStaffPicture
{
    /// Progressions in a box too small for the staves: a framed grid of columns.
    bool Compact = false;
    int ColumnWidth = 0;
    StaffDisplayList Staff;     ///< the grand staff with the notes (empty in the grid)
    StaffDisplayList StepSizes; ///< scales: the step sizes of both runs
    StaffDisplayList Preview;   ///< the held note, drawn alone where it will go
    std::vector<QLine> GridLines;
    std::vector<StaffLabel> Labels;
    std::vector<ChordColumn> Columns;
    /// Progressions: the mark under the selected column; its tip is at the rectangle's middle.
    std::optional<QRect> SelectionMark;
    bool MarkPointsUp = true;
};

/// Lays out the staff box for the model's state. The sheet must have its control size; the
/// drawn notes' head positions are stored in the model's entered notes for the hit tests.
AkkordStaffPicture DrawAkkordStaff(AkkordModel& model, TSheet& sheet, const UIStringTable& strings,
                                   const TextMeasure& measure);

/// The column (0-based) a click at x selects: a click counts for a column up to three fifths of
/// the way to the next one; nothing without columns.
std::optional<int> ChordColumnAt(const std::vector<ChordColumn>& columns, int x);

/// The entered note (0-based) within 8 pixels across and 5 up or down of a point, the first
/// that qualifies.
std::optional<int> EnteredNoteAt(const AkkordModel& model, int x, int y);

/// The tool a right click switches to. enabled[tag] tells whether the tool's button can be
/// pressed (tags 1..3; a disabled one is skipped to the delete tool).
std::uint8_t NextEntryTool(std::uint8_t tool, bool extraButtons,
                           const std::array<bool, 4>& enabled = {true, true, true, true});

/// The staff box's mouse cursors.
enum class StaffCursor : std::uint8_t
{
    Arrow = 0,
    Add = 5,
    AddHalf = 6,
    AddWhole = 7,
    Delete = 12,
    Tonic = 13,
};
/// The cursor of an entry tool.
StaffCursor CursorOfTool(std::uint8_t tool, IdentificationMode mode);

/// Where the staff's mouse actions and accidental keys take a held note: holding, re-pitching
/// and entering go through the window's playback (the same entry path as piano, guitar and
/// MIDI), so every note sounded is switched off again.
class AkkordStaffInput
{
public:
    /// model and sheet must outlive the input; the playback may be set later.
    AkkordStaffInput(AkkordModel& model, TSheet& sheet);
    void SetPlayback(AkkordPlayback* playback) { m_playback = playback; }

    /// What the widget has to do after an event.
    struct Effect
    {
        bool Repaint = false;
        bool HideCursor = false; ///< the system cursor disappears while a note is held
        bool ShowCursor = false;
        bool ToolChanged = false;
        std::optional<StaffCursor> Cursor;    ///< a new cursor for the box
        std::optional<InstrumentEntry> Chord; ///< progressions: a chord to remove
        std::optional<int> AlterationButton;  ///< progressions: the chord-quality button
    };

    /// The columns of the last drawing (progressions), for the clicks.
    void SetColumns(std::vector<ChordColumn> columns) { m_columns = std::move(columns); }

    Effect MouseDown(Qt::MouseButton button, int x, int y);
    Effect MouseMove(bool leftHeld, int x, int y);
    Effect MouseUp(Qt::MouseButton button, int x, int y);
    /// Z X C V B (AccidentalKey order) while a staff note is held; false when it does nothing.
    Effect AccidentalKeyDown(AccidentalKey key);
    /// Any key released: the next press of the same accidental key counts again.
    void KeyUp() { m_lastAccidentalKey.reset(); }
    /// Insert: the held note is released into the answer.
    Effect Insert();

    /// The mouse holds a staff note now (and hides the cursor).
    bool MouseHolds() const { return m_mouseHolds; }
    StaffCursor Cursor() const { return m_cursor; }
    /// The cursor of the current tool, outside the tonic area.
    StaffCursor ToolCursor() const { return CursorOfTool(m_model.EntryTool, m_model.Mode); }

private:
    bool TonicReplayable() const;
    /// Holds a (shown) pitch as the staff's note.
    void Hold(TPitch shown);
    /// Re-pitches the held note from a point; true when its pitch changed.
    bool Repitch(int x, int y);
    Effect ReleaseHeld(bool remove);
    void PlayColumn(const ChordColumn& column);

    AkkordModel& m_model;
    TSheet& m_sheet;
    AkkordPlayback* m_playback = nullptr;
    std::vector<ChordColumn> m_columns;
    bool m_mouseHolds = false;
    QPoint m_lastPoint;
    StaffCursor m_cursor = StaffCursor::Delete;
    std::optional<AccidentalKey> m_lastAccidentalKey;
};

} // namespace pv
