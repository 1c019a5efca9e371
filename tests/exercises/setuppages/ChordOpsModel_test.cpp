// The item setup page without its window: what a block loads and stores per kind, the
// root-movement list, the grid's layout and clicks, and what the page plays.
#include "PlayRig.h"
#include "exercises/setuppages/ChordOpsModel.h"

#include <algorithm>
#include <set>
#include <vector>

#include <gtest/gtest.h>

namespace pv {
namespace {

using Bytes = std::array<std::uint8_t, kOptionBlockSize>;

Bytes BytesOf(const OptionBlock& block)
{
    Bytes out{};
    EncodeOptionBlock(block, out);
    return out;
}

/// A block whose every byte says where it lies: flags 1, 0 and a damaged 7 in turn, the
/// options in their 0/1 sense, and the bytes no control shows with marks of their own.
Bytes MarkedBlock()
{
    Bytes b{};
    for (std::size_t i = 0; i < 60; ++i)
        b[i] = static_cast<std::uint8_t>(i % 3 == 0 ? 1 : i % 3 == 1 ? 0 : 7);
    b[60] = 1;    // simultaneous
    b[61] = 0;    // arpeggio up
    b[62] = 1;    // arpeggio down
    b[63] = 1;    // key signature / common tone
    b[64] = 1;    // answer in C
    b[65] = 0x65; // not used
    b[66] = 0x83; // locked: by name and piano
    b[67] = 1;    // play tone on click
    b[68] = 0;    // show first tone
    b[69] = 1;    // answer automatically
    b[70] = 0x21; // play tonic, cadence
    b[71] = 25;   // same key, six flats
    b[72] = 0x12; // progressions: random inversions, bass root; intervals: diatonic roots
    for (std::size_t i = 73; i < 80; ++i)
        b[i] = static_cast<std::uint8_t>(0xA0 + i - 73);
    b[80] = 77;
    b[81] = 53;
    return b;
}

struct KindCase
{
    ExerciseKind kind;
    int itemsShown;
    std::vector<std::size_t> untouched; ///< bytes the page never writes
    /// The bytes the page writes, with what they must hold (flags are checked apart).
    std::vector<std::pair<std::size_t, std::uint8_t>> written;
};

std::vector<KindCase> KindCases()
{
    const std::vector<std::size_t> free = {65, 72, 73, 74, 75, 76, 77, 78, 79};
    const std::vector<std::pair<std::size_t, std::uint8_t>> common = {
        {60, 1}, {61, 0}, {62, 1},  {63, 1},  {64, 1},  {66, 0}, {67, 1},
        {68, 0}, {69, 1}, {70, 33}, {71, 25}, {80, 77}, {81, 53}};
    auto with = [&](std::vector<std::pair<std::size_t, std::uint8_t>> changes) {
        auto out = common;
        for (const auto& [at, value] : changes) {
            const auto it = std::find_if(out.begin(), out.end(),
                                         [at = at](const auto& p) { return p.first == at; });
            if (it != out.end())
                it->second = value;
            else
                out.emplace_back(at, value);
        }
        return out;
    };
    std::vector<std::size_t> freeOfIntervals = {65, 73, 74, 75, 76, 77, 78, 79};
    return {
        {ExerciseKind::ChordIdentification, 60, free, common},
        {ExerciseKind::ChordInversions, 60, free, common},
        {ExerciseKind::IntervalIdentification, 30, freeOfIntervals, with({{72, 1}})},
        // Scales: never played at once, and no tonic before them (the cadence choice stays).
        {ExerciseKind::Scales, 60, free, with({{60, 0}, {70, 32}})},
        {ExerciseKind::ChordProgressions, 60, freeOfIntervals, with({{66, 8}, {72, 2 + 240}})},
        // Interval comparison stores only its flags, styles, common tone, root movement and
        // range; the root movement list is off (0) there.
        {ExerciseKind::IntervalComparison,
         30,
         {64, 65, 66, 67, 68, 69, 70, 72, 73, 74, 75, 76, 77, 78, 79},
         {{60, 1}, {61, 0}, {62, 1}, {63, 1}, {71, 0}, {80, 77}, {81, 53}}},
    };
}

class ChordOpsModelTest : public ::testing::Test
{
protected:
    ChordOpsModelTest() : model(range) {}

    OptionBlock& Block(ExerciseKind kind) { return *OptionBlockOfKind(setup, kind); }

    RangePicker range;
    ChordOpsModel model;
    ExerciseSetup setup = DefaultExerciseSetup();
    ItemTables items = BuiltInItemTables();
};

TEST_F(ChordOpsModelTest, ABlockStoredAgainKeepsWhatThePageDoesNotShow)
{
    for (const KindCase& c : KindCases()) {
        SCOPED_TRACE(KindNumber(c.kind));
        const Bytes in = MarkedBlock();
        Block(c.kind) = DecodeOptionBlock(in);
        model.LoadChordOps(c.kind, setup, items);
        model.StoreChordOps(setup, items);
        const Bytes out = BytesOf(Block(c.kind));
        for (std::size_t at : c.untouched) {
            SCOPED_TRACE(at);
            EXPECT_EQ(out[at], in[at]);
        }
        for (const auto& [at, value] : c.written) {
            SCOPED_TRACE(at);
            EXPECT_EQ(out[at], value);
        }
        // The flags come back as 0 or 1, and only for items that hold notes.
        const ItemTable* table = c.kind == ExerciseKind::ChordProgressions ? nullptr
                                 : c.kind == ExerciseKind::IntervalComparison
                                     ? &items.IntervalIdentification
                                     : TableOfKind(items, c.kind);
        for (std::size_t i = 0; i < 60; ++i) {
            const int count = table != nullptr ? table->NoteCount(static_cast<int>(i) + 1)
                                               : items.ProgressionCount(static_cast<int>(i) + 1);
            const bool asked = in[i] != 0 && count > 0 && static_cast<int>(i) < c.itemsShown;
            SCOPED_TRACE(i + 1);
            EXPECT_EQ(out[i], asked ? 1 : 0);
        }
    }
}

TEST_F(ChordOpsModelTest, TheBuiltInSetupComesBackWithItsLockByteCleared)
{
    // The built-in blocks carry 2 in the answer-input byte, which means no lock; the page
    // writes no lock as 0 (8 for progressions). The progressions' tonic byte 0 (no tonic)
    // comes back as 16 (no tonic, base tones chosen). Nothing else changes.
    for (ExerciseKind kind : {ExerciseKind::ChordIdentification, ExerciseKind::ChordInversions,
                              ExerciseKind::IntervalIdentification, ExerciseKind::Scales,
                              ExerciseKind::ChordProgressions, ExerciseKind::IntervalComparison}) {
        SCOPED_TRACE(KindNumber(kind));
        const Bytes before = BytesOf(Block(kind));
        model.LoadChordOps(kind, setup, items);
        model.StoreChordOps(setup, items);
        Bytes expected = before;
        if (kind != ExerciseKind::IntervalComparison)
            expected[66] = kind == ExerciseKind::ChordProgressions ? 8 : 0;
        if (kind == ExerciseKind::ChordProgressions)
            expected[70] = 16;
        const Bytes after = BytesOf(Block(kind));
        for (std::size_t i = 0; i < after.size(); ++i)
            EXPECT_EQ(after[i], expected[i]) << "byte " << i;
    }
}

TEST_F(ChordOpsModelTest, EachControlLoadsAndStoresItsOwnByte)
{
    Block(ExerciseKind::ChordIdentification) = DecodeOptionBlock(MarkedBlock());
    model.LoadChordOps(ExerciseKind::ChordIdentification, setup, items);
    ChordOpsControls& c = model.Controls;
    EXPECT_TRUE(c.Akk_SimulCheck.Checked);
    EXPECT_FALSE(c.Akk_OpCheck.Checked);
    EXPECT_TRUE(c.CheckBox5.Checked) << "the lock bit is shown, though its panel is not";
    EXPECT_FALSE(c.Panel5Visible);
    EXPECT_TRUE(c.CheckBox10.Checked && c.CheckBox11.Checked && c.CheckBox10.Enabled);
    EXPECT_FALSE(c.CheckBox13.Checked || c.CheckBox12.Checked);
    EXPECT_TRUE(c.CheckBox8.Checked);
    EXPECT_TRUE(c.RadioButton6.Checked && !c.RadioButton5.Checked) << "high nibble 2: cadence";
    EXPECT_EQ(c.ComboBox1.Index, 25);
    EXPECT_FALSE(c.CheckBox3.Visible) << "answer in C is kept but never shown";

    struct Change
    {
        const char* name;
        PageControl ChordOpsControls::*control;
        std::size_t byte;
        std::uint8_t ticked;
    };
    const Change changes[] = {
        {"simultaneous", &ChordOpsControls::Akk_SimulCheck, 60, 1},
        {"arpeggio up", &ChordOpsControls::Akk_OpCheck, 61, 1},
        {"arpeggio down", &ChordOpsControls::Akk_NedCheck, 62, 1},
        {"key signature", &ChordOpsControls::CheckBox2, 63, 1},
        {"answer in C", &ChordOpsControls::CheckBox3, 64, 1},
        {"tone on click", &ChordOpsControls::CheckBox6, 67, 1},
        {"first tone", &ChordOpsControls::CheckBox7, 68, 1},
        {"answer automatically", &ChordOpsControls::CheckBox9, 69, 1},
        {"play tonic", &ChordOpsControls::CheckBox8, 70, 1},
        {"base tones", &ChordOpsControls::RadioButton5, 70, 16},
        {"cadence", &ChordOpsControls::RadioButton6, 70, 32},
        {"the lock is never stored", &ChordOpsControls::CheckBox5, 66, 0},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.name);
        for (PageControl ChordOpsControls::*each :
             {&ChordOpsControls::Akk_SimulCheck, &ChordOpsControls::Akk_OpCheck,
              &ChordOpsControls::Akk_NedCheck, &ChordOpsControls::CheckBox2,
              &ChordOpsControls::CheckBox3, &ChordOpsControls::CheckBox5,
              &ChordOpsControls::CheckBox6, &ChordOpsControls::CheckBox7,
              &ChordOpsControls::CheckBox8, &ChordOpsControls::CheckBox9,
              &ChordOpsControls::RadioButton5, &ChordOpsControls::RadioButton6})
            (c.*each).Checked = false;
        (c.*change.control).Checked = true;
        model.StoreChordOps(setup, items);
        const Bytes out = BytesOf(Block(ExerciseKind::ChordIdentification));
        EXPECT_EQ(out[change.byte], change.ticked);
    }
}

TEST_F(ChordOpsModelTest, TheExtraOptionsOfIntervalsAndProgressions)
{
    struct Case
    {
        const char* name;
        ExerciseKind kind;
        std::uint8_t loaded;
        bool ticked;
        int inversions; ///< progressions' list, -1 hidden
        std::uint8_t stored;
    };
    const Case cases[] = {
        {"diatonic roots on", ExerciseKind::IntervalIdentification, 0x31, true, -1, 1},
        {"high nibble alone is off", ExerciseKind::IntervalIdentification, 0x30, false, -1, 0},
        {"random inversions", ExerciseKind::ChordProgressions, 0x02, false, 2, 2},
        {"3 or more reads as root position", ExerciseKind::ChordProgressions, 0x0B, false, 0, 0},
        {"bass root and last chord", ExerciseKind::ChordProgressions, 0xF1, true, 1, 241},
        {"16 adds the bass root", ExerciseKind::ChordProgressions, 0x10, true, 0, 240},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Block(c.kind).ExtraOption = c.loaded;
        model.LoadChordOps(c.kind, setup, items);
        EXPECT_EQ(model.Controls.CheckBox15.Checked, c.ticked);
        EXPECT_TRUE(model.Controls.CheckBox15.Enabled);
        EXPECT_EQ(model.Controls.ComboBox2.Visible, c.inversions >= 0);
        if (c.inversions >= 0) {
            EXPECT_EQ(model.Controls.ComboBox2.Index, c.inversions);
        }
        EXPECT_EQ(model.Controls.CheckBox15Caption, c.kind == ExerciseKind::ChordProgressions
                                                        ? ExtraOptionCaption::BassRoot
                                                        : ExtraOptionCaption::DiatonicRoots);
        model.StoreChordOps(setup, items);
        EXPECT_EQ(Block(c.kind).ExtraOption, c.stored);
    }
    for (ExerciseKind kind : {ExerciseKind::ChordIdentification, ExerciseKind::ChordInversions,
                              ExerciseKind::Scales, ExerciseKind::IntervalComparison}) {
        SCOPED_TRACE(KindNumber(kind));
        Block(kind).ExtraOption = 0x37;
        model.LoadChordOps(kind, setup, items);
        EXPECT_FALSE(model.Controls.CheckBox15.Enabled || model.Controls.CheckBox15.Checked);
        EXPECT_FALSE(model.Controls.ComboBox2.Visible);
        model.StoreChordOps(setup, items);
        EXPECT_EQ(Block(kind).ExtraOption, 0x37) << "not the page's to set";
    }
}

TEST_F(ChordOpsModelTest, KindsDisableWhatTheirExerciseDoesNotUse)
{
    model.LoadChordOps(ExerciseKind::IntervalComparison, setup, items);
    const ChordOpsControls& c = model.Controls;
    EXPECT_TRUE(c.CheckBox1.Visible);
    for (const PageControl* off :
         {&c.CheckBox2, &c.CheckBox6, &c.CheckBox7, &c.CheckBox8, &c.RadioButton5, &c.RadioButton6})
        EXPECT_FALSE(off->Enabled);
    EXPECT_FALSE(c.ComboBox1.Enabled);
    EXPECT_FALSE(c.CheckBox9.Visible);

    Block(ExerciseKind::Scales).TonicReference = 0x11;
    model.LoadChordOps(ExerciseKind::Scales, setup, items);
    EXPECT_FALSE(c.CheckBox1.Visible);
    EXPECT_FALSE(c.Akk_SimulCheck.Enabled) << "a scale is never played at once";
    EXPECT_TRUE(c.CheckBox2.Enabled);
    EXPECT_FALSE(c.CheckBox8.Checked || c.CheckBox8.Enabled);
    EXPECT_FALSE(c.RadioButton5.Enabled);
    EXPECT_TRUE(c.CheckBox9.Visible);

    model.LoadChordOps(ExerciseKind::ChordIdentification, setup, items);
    for (const PageControl* on :
         {&c.Akk_SimulCheck, &c.CheckBox2, &c.CheckBox6, &c.CheckBox7, &c.CheckBox8})
        EXPECT_TRUE(on->Enabled) << "a kind loaded after another shows its own state";
    EXPECT_TRUE(c.ComboBox1.Enabled);
    // The reference buttons follow "Play tonic".
    model.Controls.CheckBox8.Checked = true;
    model.CheckBox8Click();
    EXPECT_TRUE(c.RadioButton5.Enabled && c.RadioButton6.Enabled);
    model.Controls.CheckBox8.Checked = false;
    model.CheckBox8Click();
    EXPECT_FALSE(c.RadioButton5.Enabled || c.RadioButton6.Enabled);
}

TEST_F(ChordOpsModelTest, LoadingFixesTheRootMovementAndTheProgressionsNotesheetBit)
{
    Block(ExerciseKind::ChordIdentification).RootMovement = 23;
    model.LoadChordOps(ExerciseKind::ChordIdentification, setup, items);
    EXPECT_EQ(Block(ExerciseKind::ChordIdentification).RootMovement, 0)
        << "a heading row in the file is random as soon as the page shows it";
    EXPECT_EQ(model.Controls.ComboBox1.Index, 0);

    Block(ExerciseKind::ChordProgressions).AnswerInput = 0x02;
    model.LoadChordOps(ExerciseKind::ChordProgressions, setup, items);
    EXPECT_EQ(Block(ExerciseKind::ChordProgressions).AnswerInput, 0x0A);
}

TEST_F(ChordOpsModelTest, NoAskableItemSelectedSelectsTheFirst)
{
    struct Case
    {
        const char* name;
        std::vector<int> ticked;
        std::vector<int> stored;
    };
    const Case cases[] = {
        {"nothing ticked", {}, {1}},
        {"only empty user slots ticked", {40, 41}, {1}},
        {"an empty slot is dropped", {9, 40}, {9}},
        {"two chords stay", {2, 9}, {2, 9}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        model.LoadChordOps(ExerciseKind::ChordIdentification, setup, items);
        model.DeselectAll();
        for (int item : c.ticked)
            model.ItemFlags[static_cast<std::size_t>(item - 1)] = 1;
        model.StoreChordOps(setup, items);
        std::vector<int> stored;
        for (int i = 0; i < 60; ++i)
            if (Block(ExerciseKind::ChordIdentification).ItemFlags[static_cast<std::size_t>(i)])
                stored.push_back(i + 1);
        EXPECT_EQ(stored, c.stored);
    }
    model.SelectAll();
    EXPECT_EQ(std::count(model.ItemFlags.begin(), model.ItemFlags.end(), 1), 31)
        << "select all ticks the 27 built-in chords and the four user slots that hold notes";
}

TEST_F(ChordOpsModelTest, TheRootMovementListSkipsItsBlankAndHeadingRows)
{
    model.LoadChordOps(ExerciseKind::ChordIdentification, setup, items);
    struct Case
    {
        const char* name;
        int row;
        int chosen;
    };
    const Case cases[] = {
        {"random", 0, 0},
        {"the blank row after Random: Ascending 5th", 1, 3},
        {"the cyclic heading: back to Random", 2, 0},
        {"a cyclic movement", 5, 5},
        {"the blank row before the same tone: on to its heading's next", 9, 11},
        {"-- SAME TONE --: Descending 2nd", 10, 8},
        {"the blank before same key", 23, 25},
        {"-- SAME KEY --", 24, 22},
        {"the last key", 36, 36},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        model.ComboBox1Change(c.row);
        EXPECT_EQ(model.Controls.ComboBox1.Index, c.chosen);
    }
}

TEST_F(ChordOpsModelTest, ACyclicMovementWidensANarrowRangeUpwards)
{
    Block(ExerciseKind::ChordIdentification).LowestNote = 60;
    Block(ExerciseKind::ChordIdentification).HighestNote = 64;
    model.LoadChordOps(ExerciseKind::ChordIdentification, setup, items);
    EXPECT_EQ(range.HighNote(), 64);
    EXPECT_TRUE(model.ComboBox1Change(3));
    EXPECT_EQ(range.LowNote(), 60);
    EXPECT_EQ(range.HighNote(), 71);
    EXPECT_EQ(range.MarkerGap(), 11);
    EXPECT_FALSE(model.ComboBox1Change(0));
    EXPECT_EQ(range.MarkerGap(), 1);
    EXPECT_EQ(range.HighNote(), 71) << "random keeps the wider range";

    // Near the top the range moves down rather than past the staff's last note.
    range.SetRange(104, 106);
    EXPECT_TRUE(model.ComboBox1Change(4));
    EXPECT_EQ(range.LowNote(), 97);
    EXPECT_EQ(range.HighNote(), 108);
}

TEST_F(ChordOpsModelTest, ADamagedBlockShowsAndStoresValidValues)
{
    Bytes damaged{};
    damaged.fill(0xEE);
    for (ExerciseKind kind : {ExerciseKind::ChordIdentification, ExerciseKind::IntervalComparison,
                              ExerciseKind::ChordProgressions}) {
        SCOPED_TRACE(KindNumber(kind));
        Block(kind) = DecodeOptionBlock(damaged);
        Block(kind).RootMovement = 0xEE; // past the list, as a tutor could hand it over
        model.LoadChordOps(kind, setup, items);
        EXPECT_GE(range.LowNote(), 41);
        EXPECT_LE(range.HighNote(), 108);
        EXPECT_LT(range.LowNote(), range.HighNote());
        EXPECT_GE(model.Controls.ComboBox1.Index, 0);
        EXPECT_LT(model.Controls.ComboBox1.Index, kRootMovementRows);
        EXPECT_LE(model.Controls.ComboBox2.Index, 2);
        model.StoreChordOps(setup, items);
        const OptionBlock& out = Block(kind);
        for (std::uint8_t flag : out.ItemFlags)
            EXPECT_LE(flag, 1);
        for (std::uint8_t style : out.PlayStyles)
            EXPECT_LE(style, 1);
        EXPECT_TRUE(IsValidRootMovement(out.RootMovement));
        EXPECT_LT(out.LowestNote, out.HighestNote);
        if (kind != ExerciseKind::IntervalComparison) {
            EXPECT_EQ(out.TonicReference, 1 + 16) << "nibble 14 is no cadence: base tones";
            EXPECT_LE(out.ShowKeySignature, 1);
        }
        if (kind == ExerciseKind::ChordProgressions) {
            EXPECT_EQ(out.ExtraOption, 240) << "inversion 14 reads as root position";
        }
    }
}

TEST_F(ChordOpsModelTest, TheGridIsLaidOutByViewKindAndWidth)
{
    struct Case
    {
        const char* name;
        ExerciseKind kind;
        bool compact;
        bool wide;
        PageView view;
        std::vector<int> widths;
        int rows;
        int rowHeight;
    };
    const Case cases[] = {
        {"chords on the staff, wide",
         ExerciseKind::ChordIdentification,
         false,
         true,
         PageView::Notesheet,
         {19, 65, 130, 208},
         61,
         42},
        {"chords on the piano, narrow",
         ExerciseKind::ChordIdentification,
         false,
         false,
         PageView::Piano,
         {1, 53, 130, 208},
         61,
         24},
        {"intervals on the guitar",
         ExerciseKind::IntervalIdentification,
         false,
         true,
         PageView::Guitar,
         {19, 65, 130, 208},
         31,
         37},
        {"progressions, wide",
         ExerciseKind::ChordProgressions,
         false,
         true,
         PageView::Notesheet,
         {19, 65, 320},
         61,
         42},
        {"progressions, narrow",
         ExerciseKind::ChordProgressions,
         false,
         false,
         PageView::Piano,
         {19, 65, 290},
         61,
         24},
        {"compact chords, wide",
         ExerciseKind::ChordIdentification,
         true,
         true,
         PageView::Notesheet,
         {30, 110, 30, 110, 30, 110},
         20,
         24},
        {"compact intervals, narrow",
         ExerciseKind::IntervalIdentification,
         true,
         false,
         PageView::Guitar,
         {30, 100, 30, 100, 30, 100},
         10,
         24},
        {"compact progressions, wide",
         ExerciseKind::ChordProgressions,
         true,
         true,
         PageView::Piano,
         {30, 180, 30, 180},
         30,
         24},
        {"compact progressions, narrow",
         ExerciseKind::ChordProgressions,
         true,
         false,
         PageView::Piano,
         {30, 165, 30, 165},
         30,
         24},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        model.LoadChordOps(c.kind, setup, items);
        model.Compact = c.compact;
        model.FormResize(c.wide ? 701 : 700);
        const GridLayout layout = model.Layout(c.view);
        std::vector<int> widths;
        for (const GridColumn& column : layout.Columns)
            widths.push_back(column.Width);
        EXPECT_EQ(widths, c.widths);
        EXPECT_EQ(layout.RowCount, c.rows);
        EXPECT_EQ(layout.RowHeight, c.rowHeight);
        EXPECT_EQ(layout.FixedRows, c.compact ? 0 : 1);
    }
}

TEST_F(ChordOpsModelTest, CellsNameTheirItemAndItsInk)
{
    model.LoadChordOps(ExerciseKind::ChordIdentification, setup, items);
    model.PageItems.Names[28] = QStringLiteral("&Mine");
    struct Case
    {
        const char* name;
        bool compact;
        int column;
        int row;
        GridCell::Kind what;
        int item;
        CellInk ink;
    };
    const Case cases[] = {
        {"title over the marks", false, 1, 0, GridCell::Kind::Title, 0, CellInk::Title},
        {"a built-in name", false, 2, 1, GridCell::Kind::Name, 1, CellInk::BuiltIn},
        {"a user item with notes", false, 2, 29, GridCell::Kind::Name, 29, CellInk::User},
        {"an empty user slot", false, 3, 40, GridCell::Kind::Structure, 40, CellInk::Empty},
        {"past the last row", false, 2, 61, GridCell::Kind::Nothing, 0, CellInk::BuiltIn},
        {"compact: row 1, second pair's mark", true, 2, 1, GridCell::Kind::Mark, 5,
         CellInk::BuiltIn},
        {"compact: row 9, third pair's name", true, 5, 9, GridCell::Kind::Name, 30, CellInk::User},
        {"compact: the last row's last cell", true, 5, 19, GridCell::Kind::Name, 60,
         CellInk::Empty},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        model.Compact = c.compact;
        const GridCell cell = model.Cell(PageView::Notesheet, c.column, c.row);
        EXPECT_EQ(cell.What, c.what);
        EXPECT_EQ(cell.Item, c.item);
        if (c.item != 0) {
            EXPECT_EQ(cell.Ink, c.ink);
        }
    }
    EXPECT_EQ(model.ItemName(29), QStringLiteral("Mine")) << "accelerator marks are not shown";
    model.Compact = false;
    EXPECT_EQ(model.Cell(PageView::Notesheet, 3, 0).TitleId, 320);
}

TEST_F(ChordOpsModelTest, ClicksToggleBuiltInItemsAndEditUserItems)
{
    struct Case
    {
        const char* name;
        ExerciseKind kind;
        bool compact;
        bool editRight;
        int column;
        int row;
        GridRelease::Action action;
    };
    const Case cases[] = {
        {"a built-in chord's name toggles", ExerciseKind::ChordIdentification, false, true, 2, 3,
         GridRelease::Action::Toggled},
        {"a user chord's mark toggles", ExerciseKind::ChordIdentification, false, true, 1, 30,
         GridRelease::Action::Toggled},
        {"the number column counts as a mark", ExerciseKind::ChordIdentification, false, true, 0,
         30, GridRelease::Action::Toggled},
        {"a user chord's structure opens the editor", ExerciseKind::ChordIdentification, false,
         true, 3, 30, GridRelease::Action::EditItem},
        {"without the right a user chord toggles", ExerciseKind::ChordIdentification, false, false,
         3, 30, GridRelease::Action::Toggled},
        {"a user progression opens its editor", ExerciseKind::ChordProgressions, false, true, 2, 40,
         GridRelease::Action::EditProgression},
        {"compact: odd columns edit", ExerciseKind::Scales, true, true, 1, 12,
         GridRelease::Action::EditItem},
        {"compact: even columns toggle", ExerciseKind::Scales, true, true, 0, 12,
         GridRelease::Action::Toggled},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        model.LoadChordOps(c.kind, setup, items);
        model.Compact = c.compact;
        model.EditRight = c.editRight;
        const int item = model.ItemOfCell(c.column, c.row);
        const std::uint8_t before = model.ItemFlags[static_cast<std::size_t>(item - 1)];
        model.GridMouseDown(c.column, c.row);
        const GridRelease release = model.GridMouseUp(false, c.column, c.row);
        EXPECT_EQ(release.What, c.action);
        EXPECT_EQ(release.Item, item);
        EXPECT_EQ(model.ItemFlags[static_cast<std::size_t>(item - 1)] != before,
                  c.action == GridRelease::Action::Toggled);
    }
    // A release on another item than the one pressed does nothing; the right button plays
    // the item pressed.
    model.LoadChordOps(ExerciseKind::ChordIdentification, setup, items);
    model.Compact = false;
    model.GridMouseDown(2, 3);
    EXPECT_EQ(model.GridMouseUp(false, 2, 4).What, GridRelease::Action::None);
    EXPECT_EQ(model.GridMouseUp(true, 2, 4).What, GridRelease::Action::Play);
    EXPECT_EQ(model.GridMouseUp(true, 2, 4).Item, 3);
    model.GridMouseDown(2, 50);
    EXPECT_EQ(model.GridMouseUp(true, 2, 50).What, GridRelease::Action::None)
        << "an empty slot has nothing to play";
}

TEST_F(ChordOpsModelTest, AddNewFindsTheFirstEmptyUserSlotAndEditsComeBack)
{
    model.LoadChordOps(ExerciseKind::ChordIdentification, setup, items);
    EXPECT_EQ(model.AddNew(), 32) << "slots 28..31 hold the built-in block's extra chords";
    EXPECT_EQ(model.SelectedItem, 32);
    const std::vector<ItemNote> notes = {
        {60, 0, 0, 5}, {63, 1, 0, 4}, {67, 0, 0, 3}, {70, 1, 0, 2}};
    model.TakeEditedItem(32, QStringLiteral("mi7 of my own"), notes);
    EXPECT_TRUE(model.UserItemsChanged);
    EXPECT_EQ(model.NoteCount(32), 4);
    EXPECT_EQ(model.AddNew(), 33);
    model.TakeEditedItem(5, QStringLiteral("not mine"), notes);
    EXPECT_EQ(model.ItemName(5), items.ChordIdentification.Name(5)) << "built-ins stay";

    model.StoreChordOps(setup, items);
    EXPECT_EQ(items.ChordIdentification.Notes(32), notes);
    EXPECT_EQ(items.ChordIdentification.Name(32), QStringLiteral("mi7 of my own"));

    // Every user slot full: nothing to add.
    for (int item = 33; item <= 60; ++item)
        model.TakeEditedItem(item, QStringLiteral("x"), notes);
    EXPECT_EQ(model.AddNew(), std::nullopt);

    model.LoadChordOps(ExerciseKind::ChordProgressions, setup, items);
    EXPECT_EQ(model.AddNew(), 36);
    model.TakeEditedProgression(36, {{62, 0, 7, 0}, {67, 0, 6, 0}, {60, 0, 0, 0}});
    model.StoreChordOps(setup, items);
    EXPECT_EQ(items.ProgressionCount(36), 3);
    EXPECT_EQ(model.ItemName(36), QStringLiteral("II mi7 - V 7 - I"));
}

TEST_F(ChordOpsModelTest, RestoreTakesBackTheSavedOptionsAndTheItems)
{
    const ExerciseSetup saved = setup;
    model.LoadChordOps(ExerciseKind::Scales, setup, items);
    model.DeselectAll();
    model.ItemFlags[9] = 1;
    model.Controls.CheckBox9.Checked = true;
    model.StoreChordOps(setup, items);
    model.TakeEditedItem(40, QStringLiteral("unsaved"), {{60, 0, 0, 0}});
    ASSERT_NE(setup.Scales, saved.Scales);
    model.RestorePrevious(setup, saved, items);
    EXPECT_EQ(setup.Scales, saved.Scales);
    EXPECT_EQ(model.ItemFlags, saved.Scales.ItemFlags);
    EXPECT_EQ(model.NoteCount(40), 0) << "the items come afresh from the tables";
}

using test::PlayRig;

TEST_F(ChordOpsModelTest, PlayingSoundsChordsTogetherLinesInTurnAndProgressionsChordByChord)
{
    {
        SCOPED_TRACE("a chord together");
        PlayRig rig;
        model.LoadChordOps(ExerciseKind::ChordIdentification, setup, items);
        model.PlayItem(1, false, items.ChordIdentification, rig.midiOut);
        const auto ons = rig.NoteOns();
        ASSERT_EQ(ons.size(), 3U);
        EXPECT_EQ(ons.front().first, ons.back().first);
    }
    {
        SCOPED_TRACE("an interval as a line");
        PlayRig rig;
        model.LoadChordOps(ExerciseKind::IntervalIdentification, setup, items);
        model.PlayItem(8, false, items.ChordIdentification, rig.midiOut);
        const auto ons = rig.NoteOns();
        ASSERT_EQ(ons.size(), 2U);
        EXPECT_EQ(ons[0].second, 60);
        EXPECT_EQ(ons[1].second, 67);
        EXPECT_LT(ons[0].first, ons[1].first);
    }
    {
        SCOPED_TRACE("a progression of five chords, one after the other");
        PlayRig rig;
        model.LoadChordOps(ExerciseKind::ChordProgressions, setup, items);
        model.PlayItem(35, false, items.ChordIdentification, rig.midiOut);
        const auto ons = rig.NoteOns();
        std::set<std::uint64_t> onsets;
        for (const auto& on : ons)
            onsets.insert(on.first);
        EXPECT_EQ(onsets.size(), 5U);
        EXPECT_GE(ons.size(), 15U);
    }
    {
        SCOPED_TRACE("twelve chords of a tutor's table play without running out of room");
        PlayRig rig;
        model.LoadChordOps(ExerciseKind::ChordProgressions, setup, items);
        std::vector<ProgressionChord> twelve(12, ProgressionChord{60, 0, 22, 0});
        model.TakeEditedProgression(40, twelve);
        model.PlayItem(40, false, items.ChordIdentification, rig.midiOut);
        std::set<std::uint64_t> onsets;
        for (const auto& on : rig.NoteOns())
            onsets.insert(on.first);
        EXPECT_EQ(onsets.size(), 12U);
    }
}

TEST(ChordOpsMiniatures, DotsAndHeadsLieWhereTheNotesAre)
{
    // C E G on the small keyboard from F3: C on the first octave's C, dots on white keys.
    const std::vector<ItemNote> major = {{60, 0, 0, 5}, {64, 0, 0, 4}, {67, 0, 0, 3}};
    const std::vector<QPoint> piano = PianoMiniatureDots(major);
    ASSERT_EQ(piano.size(), 3U);
    EXPECT_EQ(piano[0], QPoint(46, 13));
    EXPECT_EQ(PianoMiniatureDots({{61, 1, 0, 0}}).front(), QPoint(51, 5)) << "a black key";
    EXPECT_TRUE(PianoMiniatureDots({{50, 0, 0, 0}}).empty()) << "below the small keyboard";

    const std::vector<MiniatureGuitarDot> guitar = GuitarMiniatureDots(major);
    ASSERT_EQ(guitar.size(), 3U);
    EXPECT_EQ(guitar[0].String, 5);
    EXPECT_EQ(guitar[0].Fret, 3);
    // The built-in mi7(b5) keeps the strings of another root: in C two of its notes lie below
    // their strings' open notes and are shown where they can be played.
    const std::vector<MiniatureGuitarDot> halfDiminished =
        GuitarMiniatureDots(BuiltInItemTables().ChordIdentification.Notes(13));
    ASSERT_EQ(halfDiminished.size(), 4U);
    for (const MiniatureGuitarDot& dot : halfDiminished)
        EXPECT_GE(dot.Fret, 0);
    const std::vector<MiniatureGuitarDot> twice =
        GuitarMiniatureDots({{60, 0, 0, 5}, {60, 0, 0, 5}});
    EXPECT_EQ(twice[0].At.x() - twice[1].At.x(), 7) << "the same place twice stays apart";

    const std::vector<MiniatureHead> chord = StaffMiniatureHeads(major, false, 208);
    EXPECT_EQ(chord[0].Centre.x(), chord[2].Centre.x()) << "a chord stands in one column";
    EXPECT_EQ(chord[1].Centre.y(), kMiniStaffBottom) << "E4 on the bottom line";
    EXPECT_EQ(chord[0].Centre.y() - chord[2].Centre.y(), 2 * kMiniStaffLine) << "a fifth";
    const std::vector<MiniatureHead> sus2 =
        StaffMiniatureHeads({{60, 0, 0, 5}, {62, 0, 0, 4}, {67, 0, 0, 3}}, false, 208);
    EXPECT_EQ(sus2[1].Centre.x() - sus2[0].Centre.x(), kMiniHeadWidth) << "a second beside";
    EXPECT_EQ(sus2[2].Centre.x(), sus2[0].Centre.x());
    // The items' lowest and highest notes both lie inside a 42-pixel row.
    for (int note : {53, 84}) {
        EXPECT_GE(MiniatureStaffY(note) - 3, 0) << note;
        EXPECT_LE(MiniatureStaffY(note) + 3, 42) << note;
    }
    std::vector<ItemNote> chromatic;
    for (int n = 60; n < 72; ++n)
        chromatic.push_back({static_cast<std::uint8_t>(n), 0, 0, 0});
    const std::vector<MiniatureHead> line = StaffMiniatureHeads(chromatic, true, 208);
    EXPECT_EQ(line[1].Centre.x() - line[0].Centre.x(), 15) << "twelve notes narrowed to fit";
    EXPECT_LE(line.back().Centre.x(), 208);
}

} // namespace
} // namespace pv
