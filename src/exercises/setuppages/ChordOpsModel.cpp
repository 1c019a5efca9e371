// The item setup page's rules.
#include "exercises/setuppages/ChordOpsModel.h"

#include "exercises/progressions/ProgressionNaming.h"
#include "exercises/setuppages/AkkProgEditModel.h"
#include "exercises/setuppages/ChordEditModel.h"
#include "music/notation/Guitar.h"
#include "music/notation/NotationTables.h"
#include "music/sequencer/MidiOut.h"

#include <algorithm>
#include <cstdlib>

namespace pv {

namespace {

/// What differs between the kinds the page shows.
struct PageKind
{
    ExerciseKind Kind;
    int ItemCount;
    std::uint8_t IntervalPage;
    std::uint8_t FirstUserItem;
};
constexpr std::array<PageKind, 6> kPageKinds = {{
    {ExerciseKind::ChordIdentification, 60, 0, 28},
    {ExerciseKind::IntervalIdentification, 30, 1, 26},
    {ExerciseKind::IntervalComparison, 30, 1, 26},
    {ExerciseKind::ChordInversions, 60, 0, 27},
    {ExerciseKind::Scales, 60, 1, 32},
    {ExerciseKind::ChordProgressions, 60, 0, 36},
}};

const PageKind* PageKindOf(ExerciseKind kind)
{
    const auto it = std::find_if(kPageKinds.begin(), kPageKinds.end(),
                                 [kind](const PageKind& k) { return k.Kind == kind; });
    return it != kPageKinds.end() ? &*it : nullptr;
}

/// The note table behind a kind's page: interval comparison asks the interval items.
const ItemTable* PageTable(const ItemTables& items, ExerciseKind kind)
{
    if (kind == ExerciseKind::IntervalComparison)
        return &items.IntervalIdentification;
    return TableOfKind(items, kind);
}
ItemTable* PageTable(ItemTables& items, ExerciseKind kind)
{
    if (kind == ExerciseKind::IntervalComparison)
        return &items.IntervalIdentification;
    return TableOfKind(items, kind);
}

constexpr std::uint8_t kNotesheetLockBit = 8;
constexpr std::uint8_t kBassRootFlag = 240;
constexpr int kLowestRangeNote = 41;   ///< the piano's and the staff's first note
constexpr int kHighestRangeNote = 108; ///< the staff's highest
constexpr int kCyclicSpan = 11;
constexpr std::size_t kDefaultItem = 0;

// Column widths of the grid.
constexpr int kNumberWidth = 19;
constexpr int kHiddenNumberWidth = 1;
constexpr int kMarkWidth = 65;
constexpr int kNarrowMarkWidth = 53;
constexpr int kNameWidth = 130;
constexpr int kStructureWidth = 208;
constexpr int kProgressionNameWidth = 320;
constexpr int kNarrowProgressionNameWidth = 290;
constexpr int kCompactMarkWidth = 30;
constexpr int kRowHeightPiano = 24;
constexpr int kRowHeightGuitar = 37;
constexpr int kRowHeightNotesheet = 42;
constexpr int kTitleIdMark = 301;
constexpr int kTitleIdName = 310;
constexpr int kTitleIdStructure = 320;

// The small keyboard's dot offsets by key index from F, and its black keys.
constexpr std::array<int, 12> kMiniKeyX = {2, 7, 13, 18, 24, 29, 35, 46, 51, 57, 62, 68};
constexpr std::array<bool, 12> kMiniBlack = {false, true,  false, true,  false, true,
                                             false, false, true,  false, true,  false};

bool Set(std::uint8_t byte)
{
    return byte != 0;
}

std::uint8_t Byte(bool on)
{
    return on ? 1 : 0;
}

int DiatonicIndex(int written)
{
    const int octave = written >= 0 ? written / 12 : -((-written + 11) / 12);
    return octave * 7 + FlatKeySpelling[static_cast<std::size_t>(PositiveMod(written, 12))].Step;
}

} // namespace

PageView PageViewOfCode(int code)
{
    switch (code) {
    case 2:
        return PageView::Piano;
    case 4:
        return PageView::Guitar;
    default:
        return PageView::Notesheet;
    }
}

int RootMovementChoice(int row)
{
    switch (row) {
    case 1:
    case 9:
    case 23:
        return row + 2;
    case 2:
    case 10:
    case 24:
        return row - 2;
    default:
        return std::clamp(row, 0, kRootMovementRows - 1);
    }
}

// ---- Miniatures ---------------------------------------------------------------------------

std::vector<QPoint> PianoMiniatureDots(const std::vector<ItemNote>& notes)
{
    std::vector<QPoint> dots;
    for (const ItemNote& note : notes) {
        // Notes below the small keyboard have no key on it.
        if (note.Note < kMiniPianoLowest)
            continue;
        const int d = note.Note - kMiniPianoLowest;
        const std::size_t k = static_cast<std::size_t>(d % 12);
        dots.push_back({d / 12 * 77 + kMiniKeyX[k], kMiniBlack[k] ? 5 : 13});
    }
    return dots;
}

std::vector<MiniatureGuitarDot> GuitarMiniatureDots(const std::vector<ItemNote>& notes)
{
    std::vector<MiniatureGuitarDot> dots;
    for (const ItemNote& note : notes) {
        const std::optional<GuitarPlace> place =
            GuitarPlaceOf(note.Note, note.String, kMiniNeckFrets);
        if (!place)
            continue;
        const int string = place->String;
        const int fret = place->Fret;
        MiniatureGuitarDot dot;
        dot.String = string;
        dot.Fret = fret;
        const int x = fret == 0 ? 3 : kMiniNeckNut + kMiniNeckFret * fret - kMiniNeckFret / 2 - 2;
        dot.At = {x, kMiniNeckTop + kMiniNeckString * (string - 1) - 2};
        // Two notes at one place stay apart: each later one 7 pixels further left.
        for (const MiniatureGuitarDot& earlier : dots)
            if (earlier.String == dot.String && earlier.Fret == dot.Fret)
                dot.At.rx() -= 7;
        dots.push_back(dot);
    }
    return dots;
}

int MiniatureStaffY(int written)
{
    constexpr int kE4Index = 5 * 7 + 2;
    return kMiniStaffBottom - (DiatonicIndex(written) - kE4Index) * (kMiniStaffLine / 2);
}

std::vector<MiniatureHead> StaffMiniatureHeads(const std::vector<ItemNote>& notes, bool asLine,
                                               int cellWidth)
{
    std::vector<MiniatureHead> heads;
    const int count = static_cast<int>(notes.size());
    int step = 22;
    if (asLine && count > 1)
        step = std::clamp((cellWidth - 25 - 8) / (count - 1), 12, 22);
    bool besidePrevious = false;
    for (int i = 0; i < count; ++i) {
        const ItemNote& note = notes[static_cast<std::size_t>(i)];
        const int written = note.Note + note.Shift;
        const int y = MiniatureStaffY(written);
        int x = asLine ? 25 + i * step : 35;
        // Heads a step apart would cover each other: the upper one goes beside the lower.
        const bool beside = !asLine && i > 0 && !besidePrevious &&
                            std::abs(heads.back().Centre.y() - y) < kMiniStaffLine;
        if (beside)
            x += kMiniHeadWidth;
        besidePrevious = beside;
        heads.push_back({QPoint(x, y), note.Shift});
    }
    return heads;
}

// ---- The page -----------------------------------------------------------------------------

ChordOpsModel::ChordOpsModel(RangePicker& range) : m_range(range)
{
    Controls.CheckBox3.Visible = false;
}

OptionBlock* ChordOpsModel::BlockOf(ExerciseSetup& setup) const
{
    return m_kind ? OptionBlockOfKind(setup, *m_kind) : nullptr;
}

void ChordOpsModel::LoadItems(const ItemTables& items)
{
    if (!m_kind)
        return;
    if (*m_kind == ExerciseKind::ChordProgressions) {
        PageItems = ItemTable{};
        PageItems.Counts = items.ProgressionCounts;
        PageProgressions = items.Progressions;
    } else if (const ItemTable* table = PageTable(items, *m_kind)) {
        PageItems = *table;
    }
    // Counts from a damaged table or tutor never let a reader run past the twelve entries.
    for (std::uint8_t& count : PageItems.Counts)
        count = std::min<std::uint8_t>(count, static_cast<std::uint8_t>(kItemNoteCount));
}

void ChordOpsModel::StoreItems(ItemTables& items) const
{
    if (!m_kind)
        return;
    if (*m_kind == ExerciseKind::ChordProgressions) {
        items.ProgressionCounts = PageItems.Counts;
        items.Progressions = PageProgressions;
    } else if (ItemTable* table = PageTable(items, *m_kind)) {
        *table = PageItems;
    }
}

void ChordOpsModel::SanitizeRange()
{
    // A block from a damaged file or a tutor may hold any bytes: the page shows and keeps a
    // range its pictures can show, lowest below highest.
    int low = std::clamp(m_range.LowNote(), kLowestRangeNote, kHighestRangeNote - 1);
    int high = std::clamp(m_range.HighNote(), kLowestRangeNote + 1, kHighestRangeNote);
    if (high <= low)
        high = low + 1;
    if (low != m_range.LowNote() || high != m_range.HighNote())
        m_range.SetRange(low, high);
}

void ChordOpsModel::LoadChordOps(ExerciseKind kind, ExerciseSetup& setup, const ItemTables& items)
{
    const PageKind* page = PageKindOf(kind);
    if (page == nullptr)
        return;
    m_kind = kind;
    PageItemCount = page->ItemCount;
    IntervalPage = page->IntervalPage;
    FirstUserItem = page->FirstUserItem;
    SelectedItem = 0;
    SelectedColumn = 0;
    LoadItems(items);

    ChordOpsControls& c = Controls;
    c.Akk_SimulCheck.Enabled = kind != ExerciseKind::Scales;
    // The extra box and the inversion list belong to intervals and progressions; every other
    // kind shows them off.
    c.CheckBox15 = PageControl{false, false, true};
    c.ComboBox2.Visible = kind == ExerciseKind::ChordProgressions;
    c.CheckBox1.Visible = false;

    OptionBlock& block = *OptionBlockOfKind(setup, kind);
    switch (kind) {
    case ExerciseKind::IntervalIdentification:
        LoadOptionBlock(block);
        c.CheckBox15.Enabled = true;
        c.CheckBox15.Checked = (block.ExtraOption & 0x0F) != 0;
        break;
    case ExerciseKind::IntervalComparison:
        for (std::size_t i = 0; i < kItemCount; ++i)
            ItemFlags[i] = Byte(Set(block.ItemFlags[i]));
        m_range.SetRange(block.LowestNote, block.HighestNote);
        SanitizeRange();
        c.Akk_SimulCheck.Checked = Set(block.PlayStyles[0]);
        c.Akk_OpCheck.Checked = Set(block.PlayStyles[1]);
        c.Akk_NedCheck.Checked = Set(block.PlayStyles[2]);
        c.CheckBox1 = PageControl{Set(block.ShowKeySignature), true, true};
        for (PageControl* off : {&c.CheckBox2, &c.CheckBox6, &c.CheckBox7, &c.CheckBox8,
                                 &c.RadioButton5, &c.RadioButton6})
            off->Enabled = false;
        c.CheckBox8.Checked = false;
        c.ComboBox1 = PageList{0, false, true};
        c.CheckBox9.Visible = false;
        m_range.SetMarkerGap(1);
        break;
    case ExerciseKind::ChordProgressions: {
        block.AnswerInput = static_cast<std::uint8_t>(block.AnswerInput | kNotesheetLockBit);
        const int inversions = block.ExtraOption & 0x0F;
        c.ComboBox2.Index = inversions >= 3 ? 0 : inversions;
        c.CheckBox15.Checked = block.ExtraOption >= 16;
        LoadOptionBlock(block);
        c.CheckBox15.Enabled = true;
        c.CheckBox15Caption = ExtraOptionCaption::BassRoot;
        break;
    }
    case ExerciseKind::Scales:
        LoadOptionBlock(block);
        c.CheckBox2.Enabled = true;
        c.CheckBox8 = PageControl{false, false, true};
        break;
    default:
        LoadOptionBlock(block);
        break;
    }
    CheckBox8Click();
}

void ChordOpsModel::LoadOptionBlock(OptionBlock& block)
{
    ChordOpsControls& c = Controls;
    c.CheckBox1.Visible = false;
    for (PageControl* on :
         {&c.CheckBox2, &c.CheckBox6, &c.CheckBox7, &c.CheckBox8, &c.RadioButton5, &c.RadioButton6})
        on->Enabled = true;
    c.CheckBox9.Visible = true;
    for (std::size_t i = 0; i < kItemCount; ++i)
        ItemFlags[i] = Byte(Set(block.ItemFlags[i]));
    m_range.SetRange(block.LowestNote, block.HighestNote);
    SanitizeRange();
    c.Akk_SimulCheck.Checked = Set(block.PlayStyles[0]);
    c.Akk_OpCheck.Checked = Set(block.PlayStyles[1]);
    c.Akk_NedCheck.Checked = Set(block.PlayStyles[2]);
    c.CheckBox2.Checked = Set(block.ShowKeySignature);
    c.CheckBox3.Checked = Set(block.AnswerInC);
    c.CheckBox5.Checked = (block.AnswerInput & 0x80) != 0;
    c.CheckBox10.Checked = (block.AnswerInput & 0x01) != 0;
    c.CheckBox11.Checked = (block.AnswerInput & 0x02) != 0;
    c.CheckBox13.Checked = (block.AnswerInput & 0x04) != 0;
    c.CheckBox12.Checked = (block.AnswerInput & 0x08) != 0;
    CheckBox5Click();
    c.CheckBox6.Checked = Set(block.PlayToneOnClick);
    c.CheckBox7.Checked = Set(block.ShowFirstTone);
    c.CheckBox9.Checked = Set(block.AutoAnswer);
    c.CheckBox8.Checked = PlaysTonicReference(block.TonicReference);
    c.RadioButton6.Checked = TonicReferenceIsCadence(block.TonicReference);
    c.RadioButton5.Checked = !c.RadioButton6.Checked;
    block.RootMovement = SanitizedRootMovement(block.RootMovement);
    c.ComboBox1 = PageList{block.RootMovement, true, true};
    ComboBox1Change(block.RootMovement);
    c.CheckBox15Caption = ExtraOptionCaption::DiatonicRoots;
}

void ChordOpsModel::StoreOptionBlock(OptionBlock& block) const
{
    const ChordOpsControls& c = Controls;
    block.ItemFlags = ItemFlags;
    block.LowestNote = static_cast<std::uint8_t>(m_range.LowNote());
    block.HighestNote = static_cast<std::uint8_t>(m_range.HighNote());
    block.PlayStyles = {Byte(c.Akk_SimulCheck.Checked), Byte(c.Akk_OpCheck.Checked),
                        Byte(c.Akk_NedCheck.Checked)};
    block.ShowKeySignature = Byte(c.CheckBox2.Checked);
    block.AnswerInC = Byte(c.CheckBox3.Checked);
    block.AnswerInput = 0;
    block.PlayToneOnClick = Byte(c.CheckBox6.Checked);
    block.ShowFirstTone = Byte(c.CheckBox7.Checked);
    block.AutoAnswer = Byte(c.CheckBox9.Checked);
    block.TonicReference =
        static_cast<std::uint8_t>(Byte(c.CheckBox8.Checked) + 16 * Byte(c.RadioButton5.Checked) +
                                  32 * Byte(c.RadioButton6.Checked));
    block.RootMovement = SanitizedRootMovement(static_cast<std::uint8_t>(c.ComboBox1.Index));
}

void ChordOpsModel::CheckItemFlags()
{
    bool any = false;
    for (int item = 1; item <= PageItemCount; ++item) {
        std::uint8_t& flag = ItemFlags[static_cast<std::size_t>(item - 1)];
        if (NoteCount(item) == 0)
            flag = 0;
        any = any || flag != 0;
    }
    // The items past the page's count are never shown nor asked: none stays selected.
    for (std::size_t i = static_cast<std::size_t>(PageItemCount); i < kItemCount; ++i)
        ItemFlags[i] = 0;
    if (!any)
        ItemFlags[kDefaultItem] = 1;
}

void ChordOpsModel::StoreChordOps(ExerciseSetup& setup, ItemTables& items)
{
    OptionBlock* block = BlockOf(setup);
    if (block == nullptr)
        return;
    CheckItemFlags();
    const ChordOpsControls& c = Controls;
    switch (*m_kind) {
    case ExerciseKind::IntervalIdentification:
        StoreOptionBlock(*block);
        StoreItems(items);
        block->ExtraOption = Byte(c.CheckBox15.Checked);
        break;
    case ExerciseKind::IntervalComparison:
        // Only the bytes this kind's page shows: the others keep what they hold.
        block->ItemFlags = ItemFlags;
        StoreItems(items);
        block->LowestNote = static_cast<std::uint8_t>(m_range.LowNote());
        block->HighestNote = static_cast<std::uint8_t>(m_range.HighNote());
        block->PlayStyles = {Byte(c.Akk_SimulCheck.Checked), Byte(c.Akk_OpCheck.Checked),
                             Byte(c.Akk_NedCheck.Checked)};
        block->ShowKeySignature = Byte(c.CheckBox1.Checked);
        block->RootMovement = SanitizedRootMovement(static_cast<std::uint8_t>(c.ComboBox1.Index));
        break;
    case ExerciseKind::ChordProgressions:
        StoreOptionBlock(*block);
        StoreItems(items);
        block->AnswerInput = static_cast<std::uint8_t>(block->AnswerInput | kNotesheetLockBit);
        block->ExtraOption = static_cast<std::uint8_t>(std::clamp(c.ComboBox2.Index, 0, 2) +
                                                       (c.CheckBox15.Checked ? kBassRootFlag : 0));
        break;
    case ExerciseKind::Scales:
        StoreOptionBlock(*block);
        StoreItems(items);
        block->PlayStyles[0] = 0;
        break;
    default:
        StoreOptionBlock(*block);
        StoreItems(items);
        break;
    }
}

bool ChordOpsModel::ComboBox1Change(int row)
{
    const int chosen = RootMovementChoice(row);
    Controls.ComboBox1.Index = chosen;
    // A cyclic or fixed root movement needs an octave to move in.
    const int span = chosen < 3 ? 1 : kCyclicSpan;
    if (!m_range.SetMarkerGap(span))
        return false;
    // Widened past the staff's highest note, the range moves down instead.
    if (m_range.HighNote() > kHighestRangeNote)
        m_range.SetRange(kHighestRangeNote - span, kHighestRangeNote);
    return true;
}

void ChordOpsModel::CheckBox8Click()
{
    const bool on = Controls.CheckBox8.Checked && Controls.CheckBox8.Enabled;
    Controls.RadioButton5.Enabled = on;
    Controls.RadioButton6.Enabled = on;
}

void ChordOpsModel::CheckBox5Click()
{
    const bool on = Controls.CheckBox5.Checked;
    for (PageControl* box :
         {&Controls.CheckBox10, &Controls.CheckBox11, &Controls.CheckBox13, &Controls.CheckBox12})
        box->Enabled = on;
}

void ChordOpsModel::SelectAll()
{
    for (int item = 1; item <= PageItemCount; ++item)
        ItemFlags[static_cast<std::size_t>(item - 1)] = Byte(NoteCount(item) > 0);
}

void ChordOpsModel::DeselectAll()
{
    ItemFlags.fill(0);
}

std::optional<int> ChordOpsModel::AddNew()
{
    if (!m_kind)
        return std::nullopt;
    for (int item = FirstUserItem; item <= PageItemCount; ++item) {
        if (NoteCount(item) != 0)
            continue;
        SelectedItem = item;
        const int perRow = Layout(PageView::Notesheet).ItemsPerRow;
        SelectedColumn = Compact ? 2 * ((item - 1) % perRow) + 1 : 2;
        return item;
    }
    return std::nullopt;
}

void ChordOpsModel::RestorePrevious(ExerciseSetup& current, const ExerciseSetup& saved,
                                    const ItemTables& items)
{
    if (!m_kind)
        return;
    *OptionBlockOfKind(current, *m_kind) = *OptionBlockOfKind(saved, *m_kind);
    LoadChordOps(*m_kind, current, items);
}

// ---- The grid -----------------------------------------------------------------------------

GridLayout ChordOpsModel::Layout(PageView view) const
{
    GridLayout layout;
    const bool wide = WideLayout != 0;
    const bool progressions = m_kind == ExerciseKind::ChordProgressions;
    using Role = GridColumn::Role;
    if (Compact) {
        layout.ItemsPerRow = progressions ? 2 : 3;
        const int nameWidth = progressions ? (wide ? 180 : 165) : (wide ? 110 : 100);
        for (int i = 0; i < layout.ItemsPerRow; ++i) {
            layout.Columns.push_back({Role::Mark, kCompactMarkWidth});
            layout.Columns.push_back({Role::Name, nameWidth});
        }
        layout.RowCount = (PageItemCount + layout.ItemsPerRow - 1) / layout.ItemsPerRow;
        layout.RowHeight = kRowHeightPiano;
        return layout;
    }
    if (progressions) {
        layout.Columns = {{Role::Number, kNumberWidth},
                          {Role::Mark, kMarkWidth},
                          {Role::Name, wide ? kProgressionNameWidth : kNarrowProgressionNameWidth}};
    } else {
        layout.Columns = {{Role::Number, wide ? kNumberWidth : kHiddenNumberWidth},
                          {Role::Mark, wide ? kMarkWidth : kNarrowMarkWidth},
                          {Role::Name, kNameWidth},
                          {Role::Structure, kStructureWidth}};
    }
    layout.FixedRows = 1;
    layout.RowCount = PageItemCount + 1;
    switch (view) {
    case PageView::Piano:
        layout.RowHeight = kRowHeightPiano;
        break;
    case PageView::Guitar:
        layout.RowHeight = kRowHeightGuitar;
        break;
    case PageView::Notesheet:
        layout.RowHeight = kRowHeightNotesheet;
        break;
    }
    return layout;
}

int ChordOpsModel::ItemOfCell(int column, int row) const
{
    if (column < 0 || row < 0)
        return 0;
    int item = 0;
    if (Compact) {
        const int perRow = m_kind == ExerciseKind::ChordProgressions ? 2 : 3;
        if (column >= 2 * perRow)
            return 0;
        item = perRow * row + column / 2 + 1;
    } else {
        item = row;
    }
    return item >= 1 && item <= PageItemCount ? item : 0;
}

GridCell ChordOpsModel::Cell(PageView view, int column, int row) const
{
    GridCell cell;
    const GridLayout layout = Layout(view);
    if (column < 0 || column >= static_cast<int>(layout.Columns.size()) || row < 0 ||
        row >= layout.RowCount)
        return cell;
    const GridColumn::Role role = layout.Columns[static_cast<std::size_t>(column)].What;
    if (row < layout.FixedRows) {
        cell.Ink = CellInk::Title;
        switch (role) {
        case GridColumn::Role::Mark:
            cell = {GridCell::Kind::Title, 0, kTitleIdMark, false, CellInk::Title};
            break;
        case GridColumn::Role::Name:
            cell = {GridCell::Kind::Title, 0, kTitleIdName, false, CellInk::Title};
            break;
        case GridColumn::Role::Structure:
            cell = {GridCell::Kind::Title, 0, kTitleIdStructure, false, CellInk::Title};
            break;
        case GridColumn::Role::Number:
            cell = {GridCell::Kind::Title, 0, 0, false, CellInk::Title};
            break;
        }
        return cell;
    }
    const int item = ItemOfCell(column, row);
    if (item == 0)
        return cell;
    cell.Item = item;
    cell.Selected = ItemFlags[static_cast<std::size_t>(item - 1)] != 0;
    cell.Ink = !IsUserItem(item)     ? CellInk::BuiltIn
               : NoteCount(item) > 0 ? CellInk::User
                                     : CellInk::Empty;
    switch (role) {
    case GridColumn::Role::Number:
        cell.What = GridCell::Kind::Number;
        break;
    case GridColumn::Role::Mark:
        cell.What = GridCell::Kind::Mark;
        break;
    case GridColumn::Role::Name:
        cell.What = GridCell::Kind::Name;
        break;
    case GridColumn::Role::Structure:
        cell.What = GridCell::Kind::Structure;
        break;
    }
    return cell;
}

bool ChordOpsModel::IsUserItem(int item) const
{
    return item >= FirstUserItem;
}

int ChordOpsModel::NoteCount(int item) const
{
    return PageItems.NoteCount(item);
}

QString ChordOpsModel::ItemName(int item) const
{
    if (m_kind == ExerciseKind::ChordProgressions) {
        const std::vector<ProgressionChord> chords = ItemChords(item);
        return ProgressionName(chords, static_cast<int>(chords.size()));
    }
    QString name = PageItems.Name(item);
    name.remove(QLatin1Char('&'));
    return name;
}

std::vector<ItemNote> ChordOpsModel::ItemNotes(int item) const
{
    return PageItems.Notes(item);
}

std::vector<ProgressionChord> ChordOpsModel::ItemChords(int item) const
{
    if (item < 1 || item > static_cast<int>(kItemCount))
        return {};
    const ProgressionDefinition& p = PageProgressions[static_cast<std::size_t>(item - 1)];
    const std::size_t count =
        std::min<std::size_t>(PageItems.Counts[static_cast<std::size_t>(item - 1)], kItemNoteCount);
    return {p.Chords.begin(), p.Chords.begin() + static_cast<std::ptrdiff_t>(count)};
}

void ChordOpsModel::GridMouseDown(int column, int row)
{
    SelectedItem = ItemOfCell(column, row);
    SelectedColumn = column;
}

GridRelease ChordOpsModel::GridMouseUp(bool rightButton, int column, int row)
{
    if (rightButton) {
        if (SelectedItem != 0 && NoteCount(SelectedItem) > 0)
            return {GridRelease::Action::Play, SelectedItem};
        return {};
    }
    const int item = ItemOfCell(column, row);
    if (item == 0 || item != SelectedItem)
        return {};
    return EditItem(column, row);
}

GridRelease ChordOpsModel::EditItem(int column, int row)
{
    const int item = ItemOfCell(column, row);
    if (item == 0)
        return {};
    const bool markColumn = Compact ? column % 2 == 0 : column <= 1;
    if (!IsUserItem(item) || markColumn || !EditRight) {
        std::uint8_t& flag = ItemFlags[static_cast<std::size_t>(item - 1)];
        flag = Byte(flag == 0);
        return {GridRelease::Action::Toggled, item};
    }
    if (m_kind == ExerciseKind::ChordProgressions)
        return {GridRelease::Action::EditProgression, item};
    return {GridRelease::Action::EditItem, item};
}

TPlayMode ChordOpsModel::ItemPlayMode() const
{
    return IntervalPage != 0 ? TPlayMode::Ascending : TPlayMode::Harmonic;
}

void ChordOpsModel::PlayItem(int item, bool guitar, const ItemTable& chordItems,
                             TMidiOut& midiOut) const
{
    if (NoteCount(item) == 0)
        return;
    midiOut.StopQueue();
    if (m_kind == ExerciseKind::ChordProgressions) {
        QueueProgression(ItemChords(item), chordItems, guitar, midiOut);
    } else {
        std::vector<TNoteRec> recs;
        for (const ItemNote& note : ItemNotes(item)) {
            TNoteRec rec;
            rec.Pitch = {static_cast<std::int8_t>(note.Note), note.Shift};
            rec.GuitarString = note.String;
            recs.push_back(rec);
        }
        midiOut.PlayNotes(recs, static_cast<std::uint8_t>(recs.size()), ItemPlayMode(), guitar);
    }
    midiOut.StartQueue();
}

void ChordOpsModel::TakeEditedItem(int item, const QString& name,
                                   const std::vector<ItemNote>& notes)
{
    if (!IsUserItem(item) || item > PageItemCount || m_kind == ExerciseKind::ChordProgressions)
        return;
    const std::size_t at = static_cast<std::size_t>(item - 1);
    const std::size_t count = std::min(notes.size(), kItemNoteCount);
    PageItems.Names[at] = name.left(static_cast<int>(kItemNameCapacity));
    PageItems.Counts[at] = static_cast<std::uint8_t>(count);
    ItemDefinition definition;
    std::copy_n(notes.begin(), count, definition.Notes.begin());
    PageItems.Items[at] = definition;
    UserItemsChanged = true;
}

void ChordOpsModel::TakeEditedProgression(int item, const std::vector<ProgressionChord>& chords)
{
    if (!IsUserItem(item) || item > PageItemCount || m_kind != ExerciseKind::ChordProgressions)
        return;
    const std::size_t at = static_cast<std::size_t>(item - 1);
    const std::size_t count = std::min(chords.size(), kItemNoteCount);
    ProgressionDefinition definition;
    std::copy_n(chords.begin(), count, definition.Chords.begin());
    PageProgressions[at] = definition;
    PageItems.Counts[at] = static_cast<std::uint8_t>(count);
    UserItemsChanged = true;
}

} // namespace pv
