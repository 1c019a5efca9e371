// The user's own items of Chord.dat reach the item tables' user slots, and the tables' user slots
// reach Chord.dat.
#include "exercises/items/UserItemTables.h"
#include "support/NoWait.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::NoWait;

class UserItemTablesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.IsValid());
        ASSERT_FALSE(CreateDataFolders(folders).has_value());
    }

    /// What one running copy of the program holds of the data folder.
    DataFiles Data() { return DataFiles(folders, prompts, wait, strings); }

    static ItemNote Note(std::uint8_t note, std::int8_t shift, std::uint8_t string)
    {
        return {note, shift, 0, string};
    }

    const UIStringTable strings;
    test::TempDir dir;
    Folders folders{dir.Path(), dir.Path() + QStringLiteral("Data/")};
    test::ScriptedPrompts prompts;
    NoWait wait;
};

TEST_F(UserItemTablesTest, ItemsSavedByOneCopyLoadIntoAnothersTablesAtTheirSlots)
{
    const ItemTables& builtIn = BuiltInItemTables();
    DataFiles first = Data();
    LoadedItemState firstLoaded;
    ItemTables mine = builtIn;
    LoadUserItems(first, firstLoaded, mine); // no Chord.dat yet

    // One user item in each table, plus changes that must not be written back.
    auto setItem = [](ItemTable& table, int item, std::uint8_t count, const ItemDefinition& notes,
                      const QString& name) {
        table.Counts[static_cast<std::size_t>(item - 1)] = count;
        table.Items[static_cast<std::size_t>(item - 1)] = notes;
        table.Names[static_cast<std::size_t>(item - 1)] = name;
    };
    setItem(mine.ChordIdentification, 40, 3, {{Note(60, 0, 5), Note(63, 1, 4), Note(67, 0, 3)}},
            QStringLiteral("my minor"));
    setItem(mine.IntervalIdentification, 27, 2, {{Note(60, 0, 0), Note(66, -1, 0)}},
            QStringLiteral("my tritone"));
    setItem(mine.ChordInversions, 28, 3, {{ItemNote{64, 0, 7, 0}, Note(67, 0, 0), Note(72, 0, 0)}},
            QStringLiteral("not read back"));
    setItem(mine.Scales, 33, 5,
            {{Note(60, 0, 0), Note(62, 0, 0), Note(63, 1, 0), Note(65, 0, 0), Note(67, 0, 0)}},
            QStringLiteral("my pentachord"));
    mine.ProgressionCounts[39] = 4;
    mine.Progressions[39] = {{ProgressionChord{60, 0, 0, 0}, ProgressionChord{65, 0, 1, 0},
                              ProgressionChord{70, 1, 6, 0}, ProgressionChord{60, 0, 0, 0}}};
    setItem(mine.IntervalIdentification, 31, 2, {{Note(60, 0, 0), Note(61, 0, 0)}},
            QStringLiteral("past the saved slots"));
    setItem(mine.ChordIdentification, 5, 1, {{Note(70, 0, 0)}}, QStringLiteral("built-in slot"));
    ASSERT_TRUE(SaveUserItems(first, firstLoaded, mine).Ok());

    DataFiles second = Data();
    LoadedItemState secondLoaded;
    ItemTables theirs = builtIn;
    LoadUserItems(second, secondLoaded, theirs);

    // What the other copy must hold: the built-in tables with the four saved items (the
    // inversion's name is not read back), and nothing of the built-in slot or slot 31.
    ItemTables expected = builtIn;
    auto copyItem = [&](ItemTable ItemTables::*table, int item, bool withName) {
        const auto i = static_cast<std::size_t>(item - 1);
        (expected.*table).Counts[i] = (mine.*table).Counts[i];
        (expected.*table).Items[i] = (mine.*table).Items[i];
        if (withName)
            (expected.*table).Names[i] = (mine.*table).Names[i];
    };
    copyItem(&ItemTables::ChordIdentification, 40, true);
    copyItem(&ItemTables::IntervalIdentification, 27, true);
    copyItem(&ItemTables::ChordInversions, 28, false);
    copyItem(&ItemTables::Scales, 33, true);
    expected.ProgressionCounts[39] = 4;
    expected.Progressions[39] = mine.Progressions[39];
    EXPECT_EQ(theirs.ChordIdentification, expected.ChordIdentification);
    EXPECT_EQ(theirs.IntervalIdentification, expected.IntervalIdentification);
    EXPECT_EQ(theirs.ChordInversions, expected.ChordInversions);
    EXPECT_EQ(theirs.Scales, expected.Scales);
    EXPECT_EQ(theirs.Progressions, expected.Progressions);
    EXPECT_EQ(theirs.ProgressionCounts, expected.ProgressionCounts);
    EXPECT_EQ(theirs, expected);
    // The merge was noted, so the other copy's next save keeps these items.
    ASSERT_TRUE(secondLoaded.StoredNoteCounts.has_value());
    EXPECT_EQ((*secondLoaded.StoredNoteCounts)[0][39], 3);
    EXPECT_EQ((*secondLoaded.StoredNoteCounts)[4][39], 4);
}

TEST_F(UserItemTablesTest, SlotsReadAndWriteTheOwnTableOfEachStoredKind)
{
    ItemTables tables = BuiltInItemTables();
    UserItemTables view(tables);
    ItemSlot slot;
    slot.NoteCount = 2;
    // Note 1: MIDI 60, shift -1 (sharp), code 7, string 5; the 4-byte entry at its offsets.
    slot.Notes[0] = 60;
    slot.Notes[1] = 0xFF;
    slot.Notes[2] = 7;
    slot.Notes[3] = 5;
    slot.Notes[4] = 64;
    slot.Name = QStringLiteral("two");

    struct Case
    {
        int kind;
        int index;
        bool named;
    };
    const Case cases[] = {
        {1, 30, true}, {2, 26, true}, {7, 27, true}, {8, 60, true}, {10, 36, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        view.SetSlot(c.kind, c.index, slot, true);
        const ItemSlot back = view.Slot(c.kind, c.index);
        EXPECT_EQ(back.NoteCount, 2);
        EXPECT_EQ(back.Notes, slot.Notes);
        EXPECT_EQ(back.Name, c.named ? slot.Name : QString()) << "progressions have no names";
        EXPECT_EQ(view.BuiltInNoteCount(c.kind, c.index),
                  UserItemTables(BuiltInItemTables()).Slot(c.kind, c.index).NoteCount);
    }
    EXPECT_EQ(tables.ChordIdentification.Items[29].Notes[0], (ItemNote{60, -1, 7, 5}));
    EXPECT_EQ(tables.ChordIdentification.Items[29].Notes[1], (ItemNote{64, 0, 0, 0}));
    EXPECT_EQ(tables.Progressions[35].Chords[0], (ProgressionChord{60, -1, 7, 5}));
    EXPECT_EQ(tables.ProgressionChords(36).size(), 2U);

    // Kinds without a table of their own, and slots outside 1..60, hold nothing.
    const ItemTables before = tables;
    for (const auto& [kind, index] : {std::pair{3, 30},
                                      {4, 30},
                                      {9, 30},
                                      {0, 30},
                                      {11, 30},
                                      std::pair{1, 0},
                                      {1, 61},
                                      {10, -1}}) {
        SCOPED_TRACE(kind * 100 + index);
        view.SetSlot(kind, index, slot, true);
        EXPECT_EQ(view.Slot(kind, index), ItemSlot{});
        EXPECT_EQ(view.BuiltInNoteCount(kind, index), 0);
    }
    EXPECT_EQ(tables, before);
}

TEST(ItemEntries, NotesAndProgressionChordsShareOneFourByteLayout)
{
    ItemDefinition item;
    ProgressionDefinition progression;
    for (std::size_t i = 0; i < kItemNoteCount; ++i) {
        const auto n = static_cast<std::uint8_t>(i);
        item.Notes[i] = {static_cast<std::uint8_t>(40 + n), static_cast<std::int8_t>(1 - n),
                         static_cast<std::uint8_t>(100 + n), static_cast<std::uint8_t>(200 + n)};
        progression.Chords[i] = {item.Notes[i].Note, item.Notes[i].Shift, item.Notes[i].Code,
                                 item.Notes[i].String};
    }
    const ItemEntryBytes bytes = EncodeItemEntries(item);
    for (std::size_t i = 0; i < kItemNoteCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(bytes[4 * i], 40 + i);
        EXPECT_EQ(bytes[4 * i + 1], static_cast<std::uint8_t>(1 - static_cast<int>(i)));
        EXPECT_EQ(bytes[4 * i + 2], 100 + i);
        EXPECT_EQ(bytes[4 * i + 3], 200 + i);
    }
    EXPECT_EQ(EncodeItemEntries(progression), bytes);
    EXPECT_EQ(DecodeItemDefinition(bytes), item);
    EXPECT_EQ(DecodeProgressionDefinition(bytes), progression);
}

} // namespace
} // namespace pv
