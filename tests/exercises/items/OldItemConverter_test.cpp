// Tests of the conversion of old item blocks into the user slots of the item tables.
#include "exercises/items/OldItemConverter.h"
#include "support/ByteBuilder.h"

#include <gtest/gtest.h>

namespace pv {
namespace {

TEST(OldItemConverter, LowNotesBecomeStepsBelowMiddleCInTheOrderMet)
{
    const std::vector<std::uint8_t> old = {50, 0, 48, 0, 64, 1, 52, 0xFF};
    std::array<ItemNote, 12> notes{};
    notes[4] = {99, 0, 7, 7};
    ConvertOldSteps(old, notes, 4);
    EXPECT_EQ(notes[0], (ItemNote{59, 0, 255, 0}));
    EXPECT_EQ(notes[1], (ItemNote{58, 0, 255, 0}));
    EXPECT_EQ(notes[2], (ItemNote{64, 1, 255, 0}));
    EXPECT_EQ(notes[3], (ItemNote{57, -1, 255, 0}));
    EXPECT_EQ(notes[4], (ItemNote{99, 0, 7, 7})) << "entries past the count stay";

    std::array<ItemNote, 12> untouched{};
    ConvertOldSteps(old, untouched, 0);
    EXPECT_EQ(untouched[0], ItemNote{});
}

TEST(OldItemConverter, CountsBeyondTwelveConvertOnlyTwelveEntries)
{
    std::vector<std::uint8_t> old(40, 60);
    std::array<ItemNote, 13> notes{};
    ConvertOldSteps(old, notes, 20);
    EXPECT_EQ(notes[11].Note, 60);
    EXPECT_EQ(notes[12], ItemNote{});
}

TEST(OldItemConverter, OldUserItemsMoveToTheCurrentUserSlots)
{
    // Group g starts at g * 1400: notes of item i at (i-1)*24, counts at 672, names at 700.
    pv::test::ByteBuilder old(kOldItemBlockSize);
    old.U8(0 + 14 * 24, 64).U8(0 + 14 * 24 + 1, 0).U8(0 + 14 * 24 + 2, 40);
    old.U8(0 + 672 + 14, 2).Str(0 + 700 + 14 * 25, "Mine"); // chord item 15
    old.U8(0 + 672 + 27, 200);                              // chord item 28, damaged
    old.U8(1400 + 15 * 24, 67).U8(1400 + 672 + 15, 1).Str(1400 + 700 + 15 * 25, "Inv"); // inv 16
    old.U8(2800 + 20 * 24, 61).U8(2800 + 672 + 20, 1).Str(2800 + 700 + 20 * 25, "Int"); // int 21
    old.U8(2800 + 672 + 1, 2); // built-in interval 2
    old.U8(4200 + 27 * 24, 70).U8(4200 + 672 + 27, 1).Str(4200 + 700 + 27 * 25, "Sc"); // scale 28

    ItemTables t = BuiltInItemTables();
    ASSERT_TRUE(ConvertOldItemTables(old.Bytes(), t));
    EXPECT_EQ(t.ChordIdentification.NoteCount(28), 2);
    EXPECT_EQ(t.ChordIdentification.Notes(28)[0], (ItemNote{64, 0, 255, 0}));
    EXPECT_EQ(t.ChordIdentification.Notes(28)[1], (ItemNote{59, 0, 255, 0}));
    EXPECT_EQ(t.ChordIdentification.Name(28), QStringLiteral("Mine"));
    EXPECT_EQ(t.ChordIdentification.NoteCount(29), 0) << "old items 15..28 fill 28..41";
    EXPECT_EQ(t.ChordIdentification.NoteCount(41), 12) << "a damaged count is held to 12";
    EXPECT_EQ(t.ChordInversions.NoteCount(28), 1);
    EXPECT_EQ(t.ChordInversions.Name(28), QStringLiteral("Inv"));
    EXPECT_EQ(t.ChordInversions.Items[26].Notes[0].Code, 255) << "empty inversion items marked";
    EXPECT_EQ(t.ChordInversions.Items[39].Notes[0].Code, 255);
    EXPECT_EQ(t.ChordInversions.Items[40].Notes[0].Code, 0);
    EXPECT_EQ(t.IntervalIdentification.NoteCount(26), 1);
    EXPECT_EQ(t.IntervalIdentification.Name(26), QStringLiteral("Int"));
    EXPECT_EQ(t.IntervalIdentification.NoteCount(2), 2) << "built-in slots untouched";
    EXPECT_EQ(t.IntervalIdentification.Name(2), QStringLiteral("2-"));
    EXPECT_EQ(t.Scales.NoteCount(48), 1);
    EXPECT_EQ(t.Scales.Name(48), QStringLiteral("Sc"));
    EXPECT_EQ(t.Scales.Notes(48)[0].Note, 70);
    EXPECT_EQ(t.Scales.Name(31), BuiltInItemTables().Scales.Name(31));
    EXPECT_EQ(t.ProgressionCounts, BuiltInItemTables().ProgressionCounts);
}

TEST(OldItemConverter, AShortBlockChangesNothing)
{
    ItemTables t = BuiltInItemTables();
    std::vector<std::uint8_t> old(kOldItemBlockSize - 1, 1);
    EXPECT_FALSE(ConvertOldItemTables(old, t));
    EXPECT_EQ(t, BuiltInItemTables());
}

} // namespace
} // namespace pv
