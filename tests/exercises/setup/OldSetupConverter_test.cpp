// Tests of the conversion of old setups, read from 386- and 388-byte files.
#include "exercises/setup/OldSetupConverter.h"
#include "exercises/setup/SetupFile.h"
#include "support/ByteBuilder.h"

#include <gtest/gtest.h>

namespace pv {
namespace {

using pv::test::ByteBuilder;

// An old setup in the 386-byte layout with something set in every block.
ByteBuilder OldSetupImage()
{
    ByteBuilder b(kOldSetupSize);
    b.Str(0, "Pellivark 2.0");
    // Kind 1 at 16: old items 1 and 7 (built-in), 15 (the first old user item).
    b.U8(16 + 0, 1).U8(16 + 6, 1).U8(16 + 14, 1);
    b.U8(16 + 28, 1).U8(16 + 29, 0).U8(16 + 34, 0x82).U8(16 + 39, 25).U8(16 + 47, 9);
    b.U8(16 + 48, 84).U8(16 + 49, 48);
    // Kind 7 at 66: old item 7 and the last old user item 28.
    b.U8(66 + 6, 1).U8(66 + 27, 1).U8(66 + 34, 1);
    // Kind 2 at 116: old item 21 stays item 21.
    b.U8(116 + 20, 1).U8(116 + 34, 2);
    // Kind 3 at 166: a root movement outside the list, guitar input.
    b.U8(166 + 39, 23).U8(166 + 34, 3);
    // Kind 8 at 216: old items 11 and 12.
    b.U8(216 + 10, 1).U8(216 + 11, 1).U8(216 + 34, 7);
    // Rhythm blocks at 266, 296, 326: distinct bytes.
    for (std::size_t k = 0; k < 3; ++k)
        for (std::size_t i = 0; i < 30; ++i)
            b.U8(266 + k * 30 + i, static_cast<std::uint8_t>(100 + k * 40 + i));
    // Melody at 356.
    for (std::size_t i = 0; i < 30; ++i)
        b.U8(356 + i, static_cast<std::uint8_t>(i + 1));
    b.U8(356 + 18, 1).U8(356 + 20, 0x81);
    return b;
}

// The expected current record, written out at the literal offsets of the current layout.
std::vector<std::uint8_t> ExpectedConvertedImage()
{
    auto bytes = EncodeExerciseSetup(DefaultExerciseSetup());
    auto set = [&](std::size_t at, std::uint8_t v) { bytes.at(at) = v; };
    auto option = [&](std::size_t block, std::vector<int> items, std::uint8_t input,
                      std::uint8_t root, std::uint8_t high, std::uint8_t low) {
        for (std::size_t i = 0; i < 82; ++i)
            set(block + i, 0);
        for (int item : items)
            set(block + static_cast<std::size_t>(item - 1), 1);
        set(block + 66, input);
        set(block + 70, 16);
        set(block + 71, root);
        set(block + 80, high);
        set(block + 81, low);
    };
    option(16, {1, 16, 28}, 0x82, 25, 84, 48); // old item 7 is the current item 16
    set(16 + 60, 1);
    set(16 + 79, 9);
    option(98, {14, 40}, 0x01, 0, 0, 0);
    option(180, {21}, 0x02, 0, 0, 0);
    option(262, {}, 0x04, 0, 0, 0);
    option(344, {11, 32}, 0x00, 0, 0, 0);
    for (std::size_t k = 0; k < 3; ++k) {
        const std::size_t to = 426 + k * 44;
        auto old = [&](std::size_t i) { return static_cast<std::uint8_t>(100 + k * 40 + i); };
        for (std::size_t i = 0; i < 44; ++i)
            set(to + i, 0);
        for (std::size_t i = 0; i < 6; ++i)
            set(to + i, old(i));
        for (std::size_t i = 0; i < 6; ++i)
            set(to + 20 + i, old(6 + i));
        for (std::size_t i = 0; i < 4; ++i)
            set(to + 26 + i, old(12 + i));
        set(to + 30, old(16));
        set(to + 31, old(17));
        set(to + 32, old(18));
        set(to + 33, old(19));
        set(to + 34, old(20));
        for (std::size_t i = 0; i < 9; ++i)
            set(to + 35 + i, old(21 + i));
    }
    for (std::size_t i = 0; i < 29; ++i)
        set(558 + i, static_cast<std::uint8_t>(i + 1));
    set(558 + 18, 17);
    set(558 + 20, 0x81);
    return bytes;
}

// The 388-byte variant: a pad byte after each rhythm block, the melody block one byte short.
std::vector<std::uint8_t> PaddedFrom(const std::vector<std::uint8_t>& old)
{
    std::vector<std::uint8_t> padded(old.begin(), old.begin() + 266);
    for (std::size_t k = 0; k < 3; ++k) {
        padded.insert(padded.end(), old.begin() + static_cast<long>(266 + k * 30),
                      old.begin() + static_cast<long>(296 + k * 30));
        padded.push_back(static_cast<std::uint8_t>(0xE0 + k));
    }
    padded.insert(padded.end(), old.begin() + 356, old.begin() + 385);
    return padded;
}

void ExpectSameBytes(const std::vector<std::uint8_t>& actual,
                     const std::vector<std::uint8_t>& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i)
        EXPECT_EQ(actual[i], expected[i]) << "at byte " << i;
}

TEST(OldSetupConverter, An386ByteFileConvertsIntoTheCurrentRecord)
{
    const auto old = OldSetupImage().Bytes();
    const auto read = DecodeSetupFile(old, old.size());
    ASSERT_EQ(read.Status, SetupFileStatus::Converted);
    ExpectSameBytes(EncodeExerciseSetup(read.Setup), ExpectedConvertedImage());
}

TEST(OldSetupConverter, An388ByteFileDropsThePadBytesAfterTheRhythmBlocks)
{
    const auto padded = PaddedFrom(OldSetupImage().Bytes());
    ASSERT_EQ(padded.size(), 388u);
    const auto read = DecodeSetupFile(padded, padded.size());
    ASSERT_EQ(read.Status, SetupFileStatus::Converted);
    ExpectSameBytes(EncodeExerciseSetup(read.Setup), ExpectedConvertedImage());
}

TEST(OldSetupConverter, OldSizesWithAnotherHeaderAreRefused)
{
    struct Case
    {
        const char* name;
        std::vector<std::uint8_t> bytes;
    };
    auto current386 = OldSetupImage().Str(0, "Pellivark 4.0").Bytes();
    const Case cases[] = {
        {"386 with current header", current386},
        {"388 with current header", PaddedFrom(current386)},
        {"386 with no header", OldSetupImage().Fill(0, 16, 0).Bytes()},
        {"386 with short mark", OldSetupImage().Str(0, "Pellivark 2.").Bytes()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DecodeSetupFile(c.bytes, c.bytes.size()).Status, SetupFileStatus::Invalid);
    }
}

TEST(OldSetupConverter, OnlyOldUserItemsMakeTheResultTrue)
{
    struct Case
    {
        const char* name;
        int kind;
        std::size_t oldFlag;
        int newItem;
        bool user;
    };
    const Case cases[] = {
        {"kind 1 built-in item 14", 1, 13, 10, false},
        {"kind 1 built-in item 9", 1, 8, 15, false},
        {"kind 1 user item 28", 1, 27, 41, true},
        {"kind 7 built-in item 14", 7, 13, 21, false},
        {"kind 7 user item 15", 7, 14, 27, true},
        {"kind 2 item 28", 2, 27, 28, false},
        {"kind 3 item 22", 3, 21, 22, false},
        {"kind 8 built-in item 11", 8, 10, 11, false},
        {"kind 8 user item 28", 8, 27, 48, true},
        {"kind 10 has none", 10, 0, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ByteBuilder old(kOldOptionBlockSize);
        old.U8(c.oldFlag, 1);
        OptionBlock converted;
        converted.ItemFlags.fill(1);
        EXPECT_EQ(ConvertOldOptionBlock(old.Bytes(), converted, *KindFromNumber(c.kind)), c.user);
        for (int item = 1; item <= 60; ++item)
            EXPECT_EQ(converted.ItemFlags[static_cast<std::size_t>(item - 1)],
                      item == c.newItem ? 1 : 0)
                << item;
    }
}

} // namespace
} // namespace pv
