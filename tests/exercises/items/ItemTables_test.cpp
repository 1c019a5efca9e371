// Tests of the item tables: the built-in entries at their byte addresses, access and the codec.
#include "exercises/items/ItemTables.h"
#include "support/ByteBuilder.h"

#include <random>
#include <vector>

#include <gtest/gtest.h>

namespace pv {
namespace {

struct BytesAt
{
    const char* name;
    std::size_t offset;
    std::vector<std::uint8_t> bytes;
};

constexpr std::uint8_t kSharp = 0xFF; // spelling shift -1 as a byte

TEST(ItemTables, BuiltInEntriesLieAtTheirByteAddresses)
{
    const auto bytes = EncodeItemTables(BuiltInItemTables());
    ASSERT_EQ(bytes.size(), 26956u);
    const BytesAt cases[] = {
        {"unused head", 0, std::vector<std::uint8_t>(16, 0)},
        {"chord 1 notes", 16, {60, 0, 0, 5, 64, 0, 0, 4, 67, 0, 0, 3}},
        {"chord 1 count", 2896, {3}},
        {"chord 1 name", 2956, {5, 'M', 'a', 'j', 'o', 'r', 0}},
        {"chord 4 sharp fifth", 16 + 3 * 48, {60, 0, 0, 5, 64, 0, 0, 4, 68, kSharp, 0, 3}},
        {"chord 11 double flat",
         16 + 10 * 48,
         {60, 0, 0, 6, 63, 1, 0, 5, 66, 1, 0, 4, 69, 2, 0, 3}},
        {"chord 11 count and 12", 2896 + 10, {4, 4}},
        {"chord 20 six notes", 16 + 19 * 48, {60, 0, 0, 5, 64, 0, 0, 4, 67, 0, 0, 3,
                                              69, 0, 0, 2, 71, 0, 0, 2, 74, 0, 0, 1}},
        {"chord 24 flat ninth", 16 + 23 * 48, {60, 0, 0,  5, 64, 0, 0,  4, 67, 0,
                                               0,  3, 70, 1, 0,  2, 73, 1, 0,  1}},
        {"chord 26 sharp ninth", 16 + 25 * 48 + 16, {75, kSharp, 0, 1}},
        {"chord 28 user slot", 16 + 27 * 48, {65, 0, 0, 5, 68, 1, 0, 4, 73, 1, 0, 3}},
        {"chord 29 user slot", 16 + 28 * 48, {56, 1, 0, 6, 60, 0, 0, 5, 66, kSharp, 0, 4}},
        {"chord 31 user slot",
         16 + 30 * 48,
         {56, 1, 0, 6, 60, 0, 0, 5, 62, 0, 0, 4, 66, kSharp, 0, 2}},
        {"chord counts 27..33", 2896 + 26, {5, 3, 3, 4, 4, 0, 0}},
        {"chord 28 has no name", 2956 + 27 * 51, {0}},
        {"chord 7 name", 2956 + 6 * 51, {1, '7', 0}},
        {"inversion 2 notes and codes", 6016 + 48, {64, 0, 0, 4, 67, 0, 1, 3, 72, 0, 0, 2}},
        {"inversion 3", 6016 + 2 * 48, {67, 0, 0, 3, 72, 0, 2, 2, 76, 0, 0, 1}},
        {"inversion 2 name",
         6016 + 2940 + 51,
         {11, 'M', 'a', 'j', 'o', 'r', ' ', '1', '.', 'i', 'n', 'v'}},
        {"inversion 13", 6016 + 12 * 48, {59, 0, 8, 5, 60, 0, 3, 4, 64, 0, 0, 3, 67, 0, 0, 2}},
        {"inversion 21", 6016 + 20 * 48, {70, 1, 7, 5, 72, 0, 3, 4, 75, 1, 0, 3, 79, 0, 0, 2}},
        {"inversion 25", 6016 + 24 * 48, {70, 1, 12, 5, 72, 0, 3, 4, 75, 1, 0, 3, 78, 1, 0, 2}},
        {"inversion 26", 6016 + 25 * 48, {60, 0, 3, 5, 64, 0, 0, 4, 68, kSharp, 0, 3}},
        {"inversion counts 25..28", 6016 + 2880 + 24, {4, 3, 0, 0}},
        {"interval 1 unison", 12016, {60, 0, 0, 0, 60, 0, 0, 0, 0}},
        {"interval 7 tritone flat", 12016 + 6 * 48, {60, 0, 0, 0, 66, 1, 0, 0}},
        {"interval 13 octave", 12016 + 12 * 48, {60, 0, 0, 0, 72, 0, 0, 0}},
        {"interval 21 flat", 12016 + 20 * 48, {60, 0, 0, 0, 80, 1, 0, 0}},
        {"interval 25", 12016 + 24 * 48, {60, 0, 0, 0, 84, 0, 0, 0}},
        {"interval counts 24..27", 12016 + 2880 + 23, {2, 2, 0, 0}},
        {"interval 20 name", 12016 + 2940 + 19 * 51, {2, '1', '2'}},
        {"interval 2 name", 12016 + 2940 + 51, {2, '2', '-'}},
        {"scale 6 aeolian", 18016 + 5 * 48, {57, 0, 0, 0, 59, 0, 0, 0, 60, 0, 0, 0, 62, 0, 0, 0,
                                             64, 0, 0, 0, 65, 0, 0, 0, 67, 0, 0, 0, 69, 0, 0, 0}},
        {"scale 10 whole tone", 18016 + 9 * 48, {60, 0,      0,  0,      62, 0, 0,  0,      64, 0,
                                                 0,  0,      66, kSharp, 0,  0, 68, kSharp, 0,  0,
                                                 70, kSharp, 0,  0,      72, 0, 0,  0}},
        {"scale 23", 18016 + 22 * 48, {56, kSharp, 0,  0, 57, 0,  0,  0,      59, 0,  0,
                                       0,  60,     0,  0, 0,  62, 0,  0,      0,  64, 0,
                                       0,  0,      65, 0, 0,  0,  68, kSharp, 0,  0}},
        {"scale 31 last notes", 18016 + 30 * 48 + 24, {69, 0, 0, 0, 70, 1, 0, 0, 72, 0, 0, 0}},
        {"scale counts 9..16", 18016 + 2880 + 8, {8, 7, 12, 6, 6, 7, 9, 9}},
        {"scale counts 30..33", 18016 + 2880 + 29, {9, 9, 0, 0}},
        {"scale 1 name", 18016 + 2940, {14, 'I', 'o', 'n', 'i', 'a', 'n', ' ', '(', 'm', 'a', 'j'}},
        {"progression 1", 24016, {67, 0, 0, 0, 60, 0, 0, 0, 0}},
        {"progression 5", 24016 + 4 * 48, {71, 0, 10, 0, 60, 0, 0, 0}},
        {"progression 13", 24016 + 12 * 48, {62, 0, 12, 0, 67, 0, 23, 0, 60, 0, 8, 0}},
        {"progression 16", 24016 + 15 * 48, {62, 0, 12, 0, 61, 1, 11, 0, 60, 0, 7, 0}},
        {"progression 31", 24016 + 30 * 48, {68, 1, 0, 0, 60, 0, 0, 0}},
        {"progression 33", 24016 + 32 * 48, {60, 0, 0,  0, 69, 0, 1,  0, 65, 0,
                                             0,  0, 67, 0, 0,  0, 60, 0, 0,  0}},
        {"progression 34", 24016 + 33 * 48, {60, 0, 1, 0, 56, 1, 0, 0, 58, 1, 0, 0, 60, 0, 1, 0}},
        {"progression 35", 24016 + 34 * 48, {60, 0, 1,  0, 56, 1, 0,  0, 53, 0,
                                             1,  0, 55, 0, 0,  0, 60, 0, 1,  0}},
        {"progression counts 1..12", 26896, {2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3}},
        {"progression counts 32..37", 26896 + 31, {2, 5, 4, 5, 0, 0}},
        {"progression count 60", 26955, {0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_LE(c.offset + c.bytes.size(), bytes.size());
        const std::vector<std::uint8_t> actual(bytes.begin() + static_cast<long>(c.offset),
                                               bytes.begin() +
                                                   static_cast<long>(c.offset + c.bytes.size()));
        EXPECT_EQ(actual, c.bytes);
    }
}

TEST(ItemTables, BuiltInSlotsAreFilledAndNamedUserSlotsEmpty)
{
    const ItemTables& t = BuiltInItemTables();
    struct Slots
    {
        const char* name;
        const ItemTable* table;
        int lastBuiltIn;
        int lastFilled;
    };
    const Slots cases[] = {
        {"chords", &t.ChordIdentification, 27, 31},
        {"inversions", &t.ChordInversions, 26, 26},
        {"intervals", &t.IntervalIdentification, 25, 25},
        {"scales", &t.Scales, 31, 31},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (int item = 1; item <= 60; ++item) {
            SCOPED_TRACE(item);
            if (item <= c.lastBuiltIn)
                EXPECT_FALSE(c.table->Name(item).isEmpty());
            else
                EXPECT_TRUE(c.table->Name(item).isEmpty());
            EXPECT_EQ(IsUsableCount(c.table->NoteCount(item)), item <= c.lastFilled);
        }
    }
    for (int item = 1; item <= 60; ++item)
        EXPECT_EQ(t.ProgressionCount(item) > 0, item <= 35) << item;
    // Every progression ends on the tonic C.
    for (int item = 1; item <= 35; ++item)
        EXPECT_EQ(t.ProgressionChords(item).back().Root, 60) << item;
}

TEST(ItemTables, AccessTakesItemNumbersAndCutsToTheCount)
{
    const ItemTables& t = BuiltInItemTables();
    EXPECT_EQ(t.ChordIdentification.Name(2), QStringLiteral("Minor"));
    EXPECT_EQ(t.ChordIdentification.Name(11), QStringLiteral("dim7"));
    EXPECT_EQ(t.ChordInversions.Name(6), QStringLiteral("Minor 2.inv"));
    EXPECT_EQ(t.IntervalIdentification.Name(15), QStringLiteral("9"));
    EXPECT_EQ(t.Scales.Name(15), QStringLiteral("Major beebop"));
    const auto notes = t.ChordIdentification.Notes(7);
    ASSERT_EQ(notes.size(), 4u);
    EXPECT_EQ(notes[3], (ItemNote{70, kShiftFlat, 0, 2}));
    const auto chords = t.ProgressionChords(11);
    ASSERT_EQ(chords.size(), 3u);
    EXPECT_EQ(chords[1], (ProgressionChord{67, 0, 6, 0}));
    for (int outside : {0, -1, 61}) {
        EXPECT_EQ(t.Scales.NoteCount(outside), 0);
        EXPECT_TRUE(t.Scales.Name(outside).isEmpty());
        EXPECT_TRUE(t.Scales.Notes(outside).empty());
        EXPECT_TRUE(t.ProgressionChords(outside).empty());
    }
}

TEST(ItemTables, KindsMapToTheirTablesAndSlots)
{
    ItemTables t;
    EXPECT_EQ(TableOfKind(t, ExerciseKind::ChordIdentification), &t.ChordIdentification);
    EXPECT_EQ(TableOfKind(t, ExerciseKind::ChordInversions), &t.ChordInversions);
    EXPECT_EQ(TableOfKind(t, ExerciseKind::IntervalIdentification), &t.IntervalIdentification);
    EXPECT_EQ(TableOfKind(t, ExerciseKind::Scales), &t.Scales);
    for (int k : {0, 3, 4, 9, 10, 11})
        EXPECT_EQ(TableOfKind(t, static_cast<ExerciseKind>(k)), nullptr) << k;
    EXPECT_EQ(KindFacts(ExerciseKind::IntervalIdentification).ItemsUsed, 30);
    EXPECT_EQ(KindFacts(ExerciseKind::IntervalComparison).ItemsUsed, 30);
    EXPECT_EQ(KindFacts(ExerciseKind::ChordProgressions).ItemsUsed, 60);
    EXPECT_EQ(KindFacts(ExerciseKind::ChordIdentification).FirstUserSlot, 28);
    EXPECT_EQ(KindFacts(ExerciseKind::ChordInversions).FirstUserSlot, 27);
    EXPECT_EQ(KindFacts(ExerciseKind::IntervalIdentification).FirstUserSlot, 26);
    EXPECT_EQ(KindFacts(ExerciseKind::Scales).FirstUserSlot, 32);
    EXPECT_EQ(KindFacts(ExerciseKind::ChordProgressions).FirstUserSlot, 36);
}

TEST(ItemTables, DecodingGivesBackWhatWasEncoded)
{
    const ItemTables& builtIn = BuiltInItemTables();
    const auto decoded = DecodeItemTables(EncodeItemTables(builtIn));
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(*decoded, builtIn);

    // Arbitrary bytes: once read, the tables encode to bytes that read back the same.
    std::mt19937 random(7);
    for (int round = 0; round < 5; ++round) {
        std::vector<std::uint8_t> bytes(kItemTablesSize);
        for (auto& b : bytes)
            b = static_cast<std::uint8_t>(random());
        const auto first = DecodeItemTables(bytes);
        ASSERT_TRUE(first.has_value());
        const auto again = DecodeItemTables(EncodeItemTables(*first));
        ASSERT_TRUE(again.has_value());
        EXPECT_EQ(*again, *first);
    }
}

TEST(ItemTables, DamagedCountsAndNamesAreHeldToTheirFields)
{
    pv::test::ByteBuilder image(kItemTablesSize);
    image.U8(16 + 2880, 200);          // chord item 1 claims 200 notes
    image.U8(26896 + 3, 13);           // progression 4 claims 13 chords
    image.U8(18016 + 2940, 255);       // scale 1 name claims 255 characters
    image.Fill(18016 + 2941, 60, 'x'); // runs into the next name
    const auto t = DecodeItemTables(image.Bytes());
    ASSERT_TRUE(t.has_value());
    EXPECT_EQ(t->ChordIdentification.NoteCount(1), 12);
    EXPECT_EQ(t->ChordIdentification.Notes(1).size(), 12u);
    EXPECT_EQ(t->ProgressionChords(4).size(), 12u);
    EXPECT_EQ(t->Scales.Name(1), QString(50, u'x'));

    std::vector<std::uint8_t> shortBytes(kItemTablesSize - 1, 0);
    EXPECT_FALSE(DecodeItemTables(shortBytes).has_value());
    EXPECT_FALSE(DecodeItemTable(std::vector<std::uint8_t>(kItemTableSize - 1)).has_value());
}

TEST(ItemTables, OneTableCodesLikeItsPlaceInTheBlock)
{
    const ItemTables& t = BuiltInItemTables();
    const auto all = EncodeItemTables(t);
    const auto scales = EncodeItemTable(t.Scales);
    ASSERT_EQ(scales.size(), 6000u);
    EXPECT_TRUE(std::equal(scales.begin(), scales.end(), all.begin() + 18016));
    EXPECT_EQ(DecodeItemTable(scales), t.Scales);
}

} // namespace
} // namespace pv
