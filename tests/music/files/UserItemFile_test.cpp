#include "DataFixture.h"
#include "music/data/ClassFile.h"
#include "music/data/UserItemFile.h"

namespace pv {
namespace {

class UserItemFileTest : public test::DataFixture
{
protected:
    static ItemSlot Item(std::uint8_t count, std::uint8_t firstNote, const char* name = "")
    {
        ItemSlot slot;
        slot.NoteCount = count;
        for (std::uint8_t i = 0; i < count && i < 12; ++i)
            slot.Notes[4U * i] = static_cast<std::uint8_t>(firstNote + i);
        slot.Name = QString::fromLatin1(name);
        return slot;
    }
    static std::array<std::uint8_t, kUserChordRecSize> Record(std::uint8_t kind, std::uint8_t count,
                                                              std::int32_t index, const char* name)
    {
        TUserChordRec rec;
        rec.Kind = kind;
        rec.NoteCount = count;
        rec.Index = index;
        rec.Notes[0] = 61;
        rec.Name = QString::fromLatin1(name);
        return EncodeUserChordRec(rec);
    }
    /// Built-in tables: chords 1..31 hold notes (28..31 are user slots filled at delivery).
    static void BuildInTablesInto(ItemSlotTables& into)
    {
        for (int i = 1; i <= 31; ++i)
            into.SetSlot(1, i, Item(3, 60, "built-in"), true);
        for (int i = 1; i <= 25; ++i)
            into.SetSlot(2, i, Item(2, 60, "built-in"), true);
        into.MarkBuiltIn();
    }
    void BuildInTables() { BuildInTablesInto(tables); }
    ItemSlotTables tables;
};

TEST_F(UserItemFileTest, LoadAppliesOnlyValidUserSlotsLaterRecordsWinning)
{
    BuildInTables();
    std::vector<std::uint8_t> bytes;
    Append(bytes, Record(1, 4, 5, "built-in slot"));
    Append(bytes, Record(3, 4, 40, "no such kind"));
    Append(bytes, Record(1, 13, 40, "too many notes"));
    Append(bytes, Record(8, 5, 61, "past the table"));
    Append(bytes, Record(1, 4, 40, "first"));
    Append(bytes, Record(1, 5, 40, "second"));
    Append(bytes, Record(7, 3, 27, "inversion names are not read"));
    Append(bytes, Record(10, 2, 36, ""));
    bytes.resize(bytes.size() + 50, 1); // a torn record ends the file
    ASSERT_TRUE(Put(data.ChordFilePath(), bytes));

    LoadUserChords(data, loadedItems, tables);
    EXPECT_EQ(tables.Slot(1, 5), Item(3, 60, "built-in"));
    EXPECT_EQ(tables.Slot(1, 40).NoteCount, 5);
    EXPECT_EQ(tables.Slot(1, 40).Name, QStringLiteral("second"));
    EXPECT_EQ(tables.Slot(1, 40).Notes[0], 61);
    EXPECT_EQ(tables.Slot(7, 27).NoteCount, 3);
    EXPECT_EQ(tables.Slot(7, 27).Name, QString());
    EXPECT_EQ(tables.Slot(10, 36).NoteCount, 2);
    EXPECT_EQ(tables.Slot(8, 60).NoteCount, 0);
    ASSERT_TRUE(loadedItems.StoredNoteCounts.has_value());
    EXPECT_EQ((*loadedItems.StoredNoteCounts)[0][39], 5);
    EXPECT_EQ((*loadedItems.StoredNoteCounts)[0][4], 3);
    EXPECT_EQ((*loadedItems.StoredNoteCounts)[4][35], 2);
}

TEST_F(UserItemFileTest, EditsAcrossSessionsSurviveNoteCountChanges)
{
    BuildInTables();
    LoadUserChords(data, loadedItems, tables); // no file yet
    tables.SetSlot(1, 30, Item(4, 50, "four"), true);
    tables.SetSlot(1, 40, Item(3, 70, "mine"), true);
    tables.SetSlot(2, 27, Item(2, 64, "iv"), true);
    ASSERT_TRUE(SaveUserChords(data, loadedItems, tables));
    const std::int64_t firstSize = SizeOf(data.ChordFilePath());

    // Next session: slot 30 goes back to three notes, slot 40 is edited, slot 28 emptied.
    ItemSlotTables session2;
    for (int i = 1; i <= 31; ++i)
        session2.SetSlot(1, i, Item(3, 60, "built-in"), true);
    for (int i = 1; i <= 25; ++i)
        session2.SetSlot(2, i, Item(2, 60, "built-in"), true);
    session2.MarkBuiltIn();
    LoadUserChords(data, loadedItems, session2);
    EXPECT_EQ(session2.Slot(1, 30), Item(4, 50, "four"));
    session2.SetSlot(1, 30, Item(3, 52, "three again"), true);
    session2.SetSlot(1, 40, Item(5, 72, "edited"), true);
    session2.SetSlot(1, 28, ItemSlot{}, true);
    ASSERT_TRUE(SaveUserChords(data, loadedItems, session2));
    EXPECT_EQ(SizeOf(data.ChordFilePath()), firstSize);

    ItemSlotTables session3;
    for (int i = 1; i <= 31; ++i)
        session3.SetSlot(1, i, Item(3, 60, "built-in"), true);
    session3.MarkBuiltIn();
    LoadUserChords(data, loadedItems, session3);
    EXPECT_EQ(session3.Slot(1, 30), Item(3, 52, "three again"));
    EXPECT_EQ(session3.Slot(1, 40), Item(5, 72, "edited"));
    EXPECT_EQ(session3.Slot(1, 28).NoteCount, 0);
    EXPECT_EQ(session3.Slot(2, 27), Item(2, 64, "iv"));
}

TEST_F(UserItemFileTest, SavingKeepsTheRecordsOfSlotsItDoesNotWrite)
{
    BuildInTables();
    LoadUserChords(data, loadedItems, tables); // no file yet: this copy merged nothing

    // Meanwhile another running copy saves an item in slot 45, and the file holds an interval
    // beyond the slots that are written back.
    ItemSlotTables other;
    for (int i = 1; i <= 31; ++i)
        other.SetSlot(1, i, Item(3, 60, "built-in"), true);
    other.MarkBuiltIn();
    DataFiles otherData(data.folders, prompts, wait, strings);
    test::HeldRecords otherHeld;
    LoadUserChords(otherData, otherHeld.loaded, other);
    other.SetSlot(1, 45, Item(4, 65, "theirs"), true);
    ASSERT_TRUE(SaveUserChords(otherData, otherHeld.loaded, other));
    auto bytes = Bytes(data.ChordFilePath());
    Append(bytes, Record(2, 2, 33, "interval 33"));
    ASSERT_TRUE(Put(data.ChordFilePath(), bytes));

    tables.SetSlot(1, 40, Item(3, 70, "mine"), true);
    ASSERT_TRUE(SaveUserChords(data, loadedItems, tables));

    ItemSlotTables next;
    BuildInTablesInto(next);
    LoadUserChords(data, loadedItems, next);
    EXPECT_EQ(next.Slot(1, 40), Item(3, 70, "mine"));
    EXPECT_EQ(next.Slot(1, 45), Item(4, 65, "theirs"));
    EXPECT_EQ(next.Slot(2, 33).NoteCount, 2);
    EXPECT_EQ(next.Slot(2, 33).Name, QStringLiteral("interval 33"));

    // Saved again unchanged, nothing is added twice.
    const std::int64_t size = SizeOf(data.ChordFilePath());
    ASSERT_TRUE(SaveUserChords(data, loadedItems, next));
    EXPECT_EQ(SizeOf(data.ChordFilePath()), size);
}

TEST_F(UserItemFileTest, SaveWritesEachKeptSlotOnceInSlotOrder)
{
    BuildInTables();
    LoadUserChords(data, loadedItems, tables);
    tables.SetSlot(10, 50, Item(2, 60, "progressions have no name"), true);
    tables.SetSlot(2, 30, Item(2, 62, "last interval"), true);
    tables.SetSlot(2, 31, Item(2, 63, "not saved"), true);
    ASSERT_TRUE(SaveUserChords(data, loadedItems, tables));
    const auto bytes = Bytes(data.ChordFilePath());
    ASSERT_EQ(bytes.size() % kUserChordRecSize, 0U);
    std::vector<std::pair<int, int>> order;
    for (std::size_t at = 0; at < bytes.size(); at += kUserChordRecSize) {
        const auto rec = DecodeUserChordRec(std::span(bytes).subspan(at, kUserChordRecSize));
        order.emplace_back(rec->Kind, rec->Index);
        if (rec->Kind == 10) {
            EXPECT_EQ(rec->Name, QString());
        }
    }
    const std::vector<std::pair<int, int>> expected{{1, 28}, {1, 29}, {1, 30},
                                                    {1, 31}, {2, 30}, {10, 50}};
    EXPECT_EQ(order, expected);
}

TEST_F(UserItemFileTest, ChangesAreWhatTheNextStartWouldReadDifferently)
{
    ItemSlot emptyWithNotes = Item(0, 0);
    emptyWithNotes.Notes[0] = 99;
    struct Case
    {
        const char* name;
        int kind;
        int index;
        std::optional<ItemSlot> merged; ///< what the slot holds when merged; none: built in
        ItemSlot now;
        bool changed;
    };
    const Case cases[] = {
        {"a new item", 1, 40, std::nullopt, Item(3, 62, "new"), true},
        {"a built-in user item emptied", 1, 28, std::nullopt, Item(0, 0, "built-in"), true},
        {"other notes, same count", 1, 30, std::nullopt, Item(3, 61, "built-in"), true},
        {"a chord renamed", 1, 30, std::nullopt, Item(3, 60, "renamed"), true},
        {"an inversion renamed: its name is never read back", 7, 27, Item(3, 60, "a"),
         Item(3, 60, "b"), false},
        {"the notes behind an empty slot", 1, 41, std::nullopt, emptyWithNotes, false},
        {"a built-in item, no user slot", 1, 5, std::nullopt, Item(4, 40, "x"), false},
        {"an interval slot past the ones written back", 2, 31, std::nullopt, Item(2, 60, "x"),
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ItemSlotTables fresh;
        BuildInTablesInto(fresh);
        EXPECT_FALSE(UserChordsChanged(loadedItems, fresh))
            << "never merged: nothing of the user's";
        LoadUserChords(data, loadedItems, fresh);
        if (c.merged) {
            fresh.SetSlot(c.kind, c.index, *c.merged, true);
            KeepUserChordsAsMerged(loadedItems, fresh);
        }
        EXPECT_FALSE(UserChordsChanged(loadedItems, fresh));
        fresh.SetSlot(c.kind, c.index, c.now, true);
        EXPECT_EQ(UserChordsChanged(loadedItems, fresh), c.changed);
        // Saved, the tables are as the file holds them again.
        if (c.changed) {
            ASSERT_TRUE(SaveUserChords(data, loadedItems, fresh).Ok());
            EXPECT_FALSE(UserChordsChanged(loadedItems, fresh));
        }
        QFile::remove(data.ChordFilePath());
        loadedItems.LoadedUserItems.reset();
        loadedItems.StoredNoteCounts.reset();
    }
}

TEST_F(UserItemFileTest, ClassNamesComeFromTheFirstValidClassWithTheId)
{
    EXPECT_EQ(ClassNameById(data, classList, 1), QString()); // no Class.dat
    std::vector<std::uint8_t> bytes;
    const auto cls = [](const char* name, std::int32_t id) {
        TClassRec rec;
        rec.Name = QString::fromLatin1(name);
        rec.ClassId = id;
        return EncodeClassRec(rec);
    };
    Append(bytes, cls("none", 0));
    Append(bytes, cls("Choir", 0x00010003));
    Append(bytes, cls("Band", 3));
    Append(bytes, cls("Piano", 4));
    ASSERT_TRUE(Put(data.ClassFilePath(), bytes));
    classList.reset();
    LoadClasses(data, classList);
    ASSERT_EQ(classList->size(), 3U);
    EXPECT_EQ(classList->front().Key, QStringLiteral("Choir"));
    EXPECT_EQ(ClassNameById(data, classList, 3), QStringLiteral("Choir"));
    EXPECT_EQ(ClassNameById(data, classList, 4), QStringLiteral("Piano"));
    EXPECT_EQ(ClassNameById(data, classList, 0), QString());

    bytes.resize(188);
    Append(bytes, cls("Only", 8));
    ASSERT_TRUE(Put(data.ClassFilePath(), bytes));
    LoadClasses(data, classList);
    ASSERT_EQ(classList->size(), 1U);
    EXPECT_EQ(ClassNameById(data, classList, 8), QStringLiteral("Only"));
}

} // namespace
} // namespace pv
