// The setup page of the item-based exercises (chords, intervals, interval comparison,
// inversions, scales, progressions) without its window: the option block's load and store, the
// item grid's layout, cells and clicks, the buttons, and the user items edited on it.
#pragma once

#include "exercises/items/ItemTables.h"
#include "exercises/setup/ExerciseSetup.h"
#include "music/base/ExerciseKind.h"
#include "music/notation/NoteRec.h"
#include "music/sequencer/SequencerTypes.h"
#include "music/staff/RangePicker.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include <QString>

namespace pv {

class TMidiOut;

/// A check box or radio button of the page as the window mirrors it.
struct PageControl
{
    bool Checked = false;
    bool Enabled = true;
    bool Visible = true;
    bool operator==(const PageControl&) const = default;
};

/// A drop-down list of the page.
struct PageList
{
    int Index = 0;
    bool Enabled = true;
    bool Visible = true;
};

/// The caption the extra option box shows.
enum class ExtraOptionCaption : std::uint8_t
{
    DiatonicRoots = 0, ///< language id 500
    BassRoot = 1,      ///< language id 2100, progressions
};

/// The answer views the page draws its items for (the settings' note-entry instrument).
enum class PageView : std::uint8_t
{
    Piano = 2,
    Guitar = 4,
    Notesheet = 8,
};
/// 2 piano, 4 guitar, anything else the notesheet.
PageView PageViewOfCode(int code);

/// The rows of the root-movement list: the value of byte 71 is the row.
inline constexpr int kRootMovementRows = 37;
/// The row a choice lands on: a blank row (1, 9, 23) moves two rows down, a heading row (2, 10,
/// 24) two rows up.
int RootMovementChoice(int row);

/// The controls of the page, by the names of its window.
struct ChordOpsControls
{
    PageControl Akk_SimulCheck; ///< simultaneous
    PageControl Akk_OpCheck;    ///< arpeggio up
    PageControl Akk_NedCheck;   ///< arpeggio down
    PageControl CheckBox1;      ///< interval comparison: common lowest tone
    PageControl CheckBox2;      ///< show key signature
    PageControl CheckBox3;      ///< answer in C (never shown)
    PageControl CheckBox5;      ///< lock the answer inputs
    PageControl CheckBox10;     ///< locked: by name
    PageControl CheckBox11;     ///< locked: on piano
    PageControl CheckBox13;     ///< locked: on guitar
    PageControl CheckBox12;     ///< locked: on notesheet
    PageControl CheckBox6;      ///< play tone on click
    PageControl CheckBox7;      ///< show first tone
    PageControl CheckBox8;      ///< play tonic
    PageControl RadioButton5;   ///< reference: base tones
    PageControl RadioButton6;   ///< reference: cadence
    PageControl CheckBox9;      ///< answer automatically
    PageControl CheckBox15;     ///< diatonic roots (intervals), bass root (progressions)
    PageList ComboBox1;         ///< root movement
    PageList ComboBox2;         ///< progressions: inversions of the chords
    bool Panel5Visible = false; ///< the lock panel: made, never shown
    ExtraOptionCaption CheckBox15Caption = ExtraOptionCaption::DiatonicRoots;
};

/// One column of the grid.
struct GridColumn
{
    enum class Role : std::uint8_t
    {
        Number = 0,
        Mark = 1,
        Name = 2,
        Structure = 3,
    };
    Role What = Role::Name;
    int Width = 0;
};

struct GridLayout
{
    std::vector<GridColumn> Columns;
    int RowCount = 0;
    int FixedRows = 0; ///< the title row of the normal view
    int RowHeight = 24;
    int ItemsPerRow = 1; ///< compact view: items side by side
};

/// How a grid cell is drawn.
enum class CellInk : std::uint8_t
{
    BuiltIn = 0, ///< maroon
    User = 1,    ///< green
    Empty = 2,   ///< silver, an empty user slot
    Title = 3,   ///< black on the title row
};
inline constexpr std::uint32_t kBuiltInItemRgb = 0x800000;
inline constexpr std::uint32_t kUserItemRgb = 0x008000;
inline constexpr std::uint32_t kEmptySlotRgb = 0xC0C0C0;

struct GridCell
{
    enum class Kind : std::uint8_t
    {
        Nothing = 0,
        Title = 1,
        Number = 2,
        Mark = 3,
        Name = 4,
        Structure = 5,
    };
    Kind What = Kind::Nothing;
    int Item = 0;    ///< 1..PageItemCount; 0 on the title row and past the last item
    int TitleId = 0; ///< the language id of a title
    bool Selected = false;
    CellInk Ink = CellInk::BuiltIn;
};

/// What a released mouse button on the grid asks for.
struct GridRelease
{
    enum class Action : std::uint8_t
    {
        None = 0,
        Play = 1,           ///< right button: play the item
        Toggled = 2,        ///< the selection flag changed: repaint
        EditItem = 3,       ///< open the item editor on the item
        EditProgression = 4 ///< open the progression editor on the item
    };
    Action What = Action::None;
    int Item = 0;
};

// ---- Miniatures of an item, drawn in C in its structure cell -----------------------------

/// A dot of the piano miniature: top-left, 6 x 6 pixels, relative to the cell.
std::vector<QPoint> PianoMiniatureDots(const std::vector<ItemNote>& notes);
inline constexpr int kMiniPianoLowest = 53; ///< the small keyboard starts on F3
/// A dot of the guitar miniature: its string and fret and its top-left (5 pixels across).
struct MiniatureGuitarDot
{
    int String = 0;
    int Fret = 0;
    QPoint At;
};
/// The small neck: strings 6 pixels apart from y 4, frets 14 pixels apart from x 12.
inline constexpr int kMiniNeckNut = 12;
inline constexpr int kMiniNeckFret = 14;
inline constexpr int kMiniNeckString = 6;
inline constexpr int kMiniNeckTop = 4;
inline constexpr int kMiniNeckFrets = 12;
std::vector<MiniatureGuitarDot> GuitarMiniatureDots(const std::vector<ItemNote>& notes);
/// A head of the staff miniature: its centre and whether it needs ledger lines.
struct MiniatureHead
{
    QPoint Centre;
    int Shift = 0; ///< the spelling shift: a sign goes left of the head
};
/// The small treble staff: lines 4 pixels apart, the bottom line (E4) at y 27, so that every
/// note of the items, F3 to C6, has its place in a 42-pixel row.
inline constexpr int kMiniStaffLine = 4;
inline constexpr int kMiniStaffBottom = 27;
inline constexpr int kMiniHeadWidth = 7;
/// Chords stacked at x 35 (a second's upper head beside the lower one), scales (lines) as a
/// row from x 25, 22 apart and narrowed to fit the cell's width but not below 12.
std::vector<MiniatureHead> StaffMiniatureHeads(const std::vector<ItemNote>& notes, bool asLine,
                                               int cellWidth);
/// The y of a written pitch's head on the staff miniature.
int MiniatureStaffY(int written);

// ---- The page -----------------------------------------------------------------------------

class ChordOpsModel
{
public:
    /// range: the note-range picker the page shares with the other setup pages; it must
    /// outlive the model.
    explicit ChordOpsModel(RangePicker& range);

    // The page's state (the window's fields).
    std::array<std::uint8_t, kItemCount> ItemFlags{};
    ItemTable PageItems;
    std::array<ProgressionDefinition, kItemCount> PageProgressions{};
    int PageItemCount = 9;
    std::uint8_t IntervalPage = 0;
    std::uint8_t FirstUserItem = 0;
    int SelectedItem = 0;
    int SelectedColumn = 0;
    std::uint8_t WideLayout = 0;
    bool Compact = false; ///< `SpeedButton1` down
    ChordOpsControls Controls;
    /// The user may define items (else every click toggles).
    bool EditRight = true;
    /// The user changed an item on the page since it was loaded (the main window writes the
    /// user item file on close).
    bool UserItemsChanged = false;

    /// The kind shown; nothing before the first load.
    std::optional<ExerciseKind> Kind() const { return m_kind; }
    RangePicker& Range() { return m_range; }
    const RangePicker& Range() const { return m_range; }

    /// Fills the page for kind from the setup (whose fix-ups it writes: the root movement and
    /// the progressions' notesheet bit) and from the items; other kinds change nothing.
    void LoadChordOps(ExerciseKind kind, ExerciseSetup& setup, const ItemTables& items);
    /// Writes the page into the setup and its items into the tables.
    void StoreChordOps(ExerciseSetup& setup, ItemTables& items);
    void LoadOptionBlock(OptionBlock& block);
    void StoreOptionBlock(OptionBlock& block) const;

    /// A row of the root-movement list chosen: blank and heading rows move on, and a cyclic
    /// movement widens a range narrower than 11 semitones. True when the range changed.
    bool ComboBox1Change(int row);
    /// The reference buttons follow "Play tonic".
    void CheckBox8Click();
    /// The locked inputs follow "Lock".
    void CheckBox5Click();

    void SelectAll();
    void DeselectAll();
    /// The first user item without notes, made the selected one; nothing when every user slot
    /// holds an item.
    std::optional<int> AddNew();
    /// Switches between the normal and the compact grid.
    void SpeedButton1Click() { Compact = !Compact; }
    /// The kind's options as last loaded or saved, and the items afresh.
    void RestorePrevious(ExerciseSetup& current, const ExerciseSetup& saved,
                         const ItemTables& items);
    /// Width of the page's client: the wide layout from above 700 pixels.
    void FormResize(int clientWidth) { WideLayout = clientWidth > 700 ? 1 : 0; }

    // The grid.
    GridLayout Layout(PageView view) const;
    GridCell Cell(PageView view, int column, int row) const;
    /// The item of a cell; 0 for the title row and past the last item.
    int ItemOfCell(int column, int row) const;
    /// The item's name as the grid writes it ("&" removed; progressions by their chords).
    QString ItemName(int item) const;
    bool IsUserItem(int item) const;
    int NoteCount(int item) const;
    /// The item's notes (chords: the progression's chords as notes of their roots).
    std::vector<ItemNote> ItemNotes(int item) const;
    std::vector<ProgressionChord> ItemChords(int item) const;

    /// The mouse pressed on a cell.
    void GridMouseDown(int column, int row);
    /// The mouse released on a cell: plays (right button) or toggles or edits (left, only on
    /// the pressed item).
    GridRelease GridMouseUp(bool rightButton, int column, int row);
    /// Toggles or edits the item of a cell.
    GridRelease EditItem(int column, int row);

    /// Plays the item: its notes at once or as a line, or the progression chord by chord.
    void PlayItem(int item, bool guitar, const ItemTable& chordItems, TMidiOut& midiOut) const;
    /// The play mode of an item: a line for intervals and scales, else together.
    TPlayMode ItemPlayMode() const;

    /// The item editor's result: the name (at most 50 characters), count and notes.
    void TakeEditedItem(int item, const QString& name, const std::vector<ItemNote>& notes);
    /// The progression editor's result.
    void TakeEditedProgression(int item, const std::vector<ProgressionChord>& chords);

private:
    OptionBlock* BlockOf(ExerciseSetup& setup) const;
    void LoadItems(const ItemTables& items);
    void StoreItems(ItemTables& items) const;
    void CheckItemFlags();
    void SanitizeRange();

    RangePicker& m_range;
    std::optional<ExerciseKind> m_kind;
};

} // namespace pv
