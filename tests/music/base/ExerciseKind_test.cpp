// The exercise kinds: numbers read from files and the one table of what differs between kinds.
#include "music/base/ExerciseKind.h"

#include <gtest/gtest.h>

namespace pv {
namespace {

TEST(ExerciseKind, StoredNumbersConvertOnlyWhenTheyNameAKind)
{
    for (int number = 1; number <= 10; ++number) {
        SCOPED_TRACE(number);
        const std::optional<ExerciseKind> kind = KindFromNumber(number);
        ASSERT_TRUE(kind.has_value());
        EXPECT_EQ(KindNumber(*kind), number);
        EXPECT_TRUE(IsKnownKind(*kind));
    }
    for (int number : {0, 11, -1, 255, 256, 266, 0x7FFFFFFF}) {
        SCOPED_TRACE(number);
        EXPECT_FALSE(KindFromNumber(number).has_value());
    }
    // A damaged byte cast to a kind selects nothing at all.
    for (int number : {0, 11, 255}) {
        SCOPED_TRACE(number);
        const auto kind = static_cast<ExerciseKind>(number);
        EXPECT_FALSE(IsKnownKind(kind));
        const ExerciseKindFacts facts = KindFacts(kind);
        EXPECT_EQ(facts.SetupBlock, SetupBlockType::None);
        EXPECT_FALSE(facts.ItemTable.has_value());
        EXPECT_EQ(facts.ItemsUsed, 0);
        EXPECT_EQ(facts.FirstUserSlot, 0);
        EXPECT_EQ(facts.LastSavedUserSlot, 0);
        EXPECT_FALSE(facts.IdentificationWindow);
        EXPECT_EQ(KindFactsOfNumber(number).SetupBlock, SetupBlockType::None);
    }
}

TEST(ExerciseKind, EveryKindHasItsFacts)
{
    using B = SetupBlockType;
    using enum ItemTableId;
    constexpr std::nullopt_t none = std::nullopt;
    struct Row
    {
        int number;
        B block;
        int blockIndex;
        std::optional<ItemTableId> table;
        int itemsUsed;
        int firstUser;
        int lastSaved;
        bool nameRead;
        bool nameWritten;
        bool identification;
        int helpContext;
        bool guitar;
        bool taps;
    };
    // clang-format off
    const Row rows[] = {
        // kind, setup block and place, item table, items used, first and last user slot,
        // user item name read and written, identification window, help context, guitar chords,
        // microphone taps
        {1, B::Options, 0, ChordIdentification, 60, 28, 60, true, true, true, 10, true, false},
        {2, B::Options, 2, IntervalIdentification, 30, 26, 30, true, true, true, 20, true, false},
        {3, B::Options, 3, none, 30, 0, 0, false, false, false, 0, true, false},
        {4, B::Rhythm, 0, none, 0, 0, 0, false, false, false, 0, true, true},
        {5, B::Rhythm, 1, none, 0, 0, 0, false, false, false, 0, true, true},
        {6, B::Rhythm, 2, none, 0, 0, 0, false, false, false, 0, true, true},
        {7, B::Options, 1, ChordInversions, 60, 27, 60, false, true, true, 0, true, false},
        {8, B::Options, 4, Scales, 60, 32, 60, true, true, true, 10, false, false},
        {9, B::Melody, 0, none, 0, 0, 0, false, false, true, 10, false, false},
        {10, B::Options, 5, Progressions, 60, 36, 60, false, false, true, 0, true, false},
    };
    // clang-format on
    ASSERT_EQ(std::size(rows), kExerciseKindFacts.size());
    for (const Row& row : rows) {
        SCOPED_TRACE(row.number);
        const ExerciseKindFacts facts = KindFacts(*KindFromNumber(row.number));
        EXPECT_EQ(KindNumber(facts.Kind), row.number);
        EXPECT_EQ(facts.SetupBlock, row.block);
        EXPECT_EQ(facts.SetupBlockIndex, row.blockIndex);
        EXPECT_EQ(facts.ItemTable, row.table);
        EXPECT_EQ(facts.ItemsUsed, row.itemsUsed);
        EXPECT_EQ(facts.FirstUserSlot, row.firstUser);
        EXPECT_EQ(facts.LastSavedUserSlot, row.lastSaved);
        EXPECT_EQ(facts.UserItemNameRead, row.nameRead);
        EXPECT_EQ(facts.UserItemNameWritten, row.nameWritten);
        EXPECT_EQ(facts.IdentificationWindow, row.identification);
        EXPECT_EQ(facts.HelpContext, row.helpContext);
        EXPECT_EQ(facts.SpreadsChordsOnGuitar, row.guitar);
        EXPECT_EQ(facts.MicrophoneHearsTaps, row.taps);
        EXPECT_EQ(KindFactsOfNumber(row.number).Kind, facts.Kind);
    }
}

TEST(ExerciseKind, EveryKindWithItemsAsksATableWhoseUserSlotsItReaches)
{
    for (const ExerciseKindFacts& facts : kExerciseKindFacts) {
        SCOPED_TRACE(KindNumber(facts.Kind));
        const std::optional<ItemTableId> asked = AskedItemTable(facts.Kind);
        EXPECT_EQ(asked.has_value(), facts.ItemsUsed > 0);
        EXPECT_FALSE(facts.ItemTable && facts.ItemsFrom) << "an owner asks its own table";
        if (!asked)
            continue;
        // The items the kind asks include the table's first user slot: where a user's or a
        // tutor's own items go.
        const int first = FirstUserSlotAsked(facts.Kind);
        EXPECT_EQ(first, KindFacts(KindOfItemTable(*asked)).FirstUserSlot);
        EXPECT_GE(first, 2);
        EXPECT_LE(first, facts.ItemsUsed);
    }
    EXPECT_EQ(AskedItemTable(ExerciseKind::IntervalComparison),
              ItemTableId::IntervalIdentification);
    EXPECT_EQ(FirstUserSlotAsked(ExerciseKind::RhythmReading), 0);
}

TEST(ExerciseKind, EachItemTableHasOneOwnerInTheUserItemFilesOrder)
{
    EXPECT_EQ(
        kItemTableKinds,
        (std::array<ExerciseKind, kItemTableIdCount>{
            ExerciseKind::ChordIdentification, ExerciseKind::IntervalIdentification,
            ExerciseKind::ChordInversions, ExerciseKind::Scales, ExerciseKind::ChordProgressions}));
    for (std::size_t t = 0; t < kItemTableIdCount; ++t) {
        SCOPED_TRACE(t);
        int owners = 0;
        for (const ExerciseKindFacts& facts : kExerciseKindFacts)
            owners += facts.ItemTable == static_cast<ItemTableId>(t) ? 1 : 0;
        EXPECT_EQ(owners, 1);
    }
    // Each block of a shape belongs to one kind.
    for (const ExerciseKindFacts& a : kExerciseKindFacts) {
        for (const ExerciseKindFacts& b : kExerciseKindFacts) {
            if (a.Kind == b.Kind)
                continue;
            EXPECT_FALSE(a.SetupBlock == b.SetupBlock && a.SetupBlockIndex == b.SetupBlockIndex)
                << KindNumber(a.Kind) << " and " << KindNumber(b.Kind);
        }
    }
}

} // namespace
} // namespace pv
