// Tests of the setup record: its byte map, the default setup's bytes and the change comparison.
#include "exercises/setup/ExerciseSetup.h"
#include "support/ByteBuilder.h"

#include <functional>
#include <random>

#include <gtest/gtest.h>

namespace pv {
namespace {

using pv::test::ByteBuilder;

// A record image in which every byte differs from its neighbours; the root-movement bytes
// hold valid list values so that reading keeps them.
std::vector<std::uint8_t> DistinctImage()
{
    ByteBuilder b(kExerciseSetupSize);
    for (std::size_t i = 0; i < kExerciseSetupSize; ++i)
        b.U8(i, static_cast<std::uint8_t>((i * 7 + 3) & 0xFF));
    const std::size_t blocks[] = {16, 98, 180, 262, 344, 587};
    const std::uint8_t moves[] = {0, 3, 8, 11, 22, 36};
    for (std::size_t k = 0; k < 6; ++k)
        b.U8(blocks[k] + 71, moves[k]);
    return b.Bytes();
}

TEST(ExerciseSetup, FieldsLieAtTheOffsetsOfTheRecord)
{
    const auto image = DistinctImage();
    const auto decoded = DecodeExerciseSetup(image);
    ASSERT_TRUE(decoded.has_value());
    const ExerciseSetup& s = *decoded;
    struct Field
    {
        const char* name;
        std::size_t offset;
        int value;
    };
    auto u16 = [&](std::size_t at) { return image[at] | (image[at + 1] << 8); };
    const Field cases[] = {
        {"header length", 0, s.Header[0]},
        {"header byte 15", 15, s.Header[15]},
        {"kind 1 first item flag", 16, s.ChordIdentification.ItemFlags[0]},
        {"kind 1 item 60", 16 + 59, s.ChordIdentification.ItemFlags[59]},
        {"kind 1 simultaneous", 16 + 60, s.ChordIdentification.PlayStyles[0]},
        {"kind 1 arpeggio down", 16 + 62, s.ChordIdentification.PlayStyles[2]},
        {"kind 1 key signature", 16 + 63, s.ChordIdentification.ShowKeySignature},
        {"kind 1 answer in C", 16 + 64, s.ChordIdentification.AnswerInC},
        {"kind 1 answer input", 16 + 66, s.ChordIdentification.AnswerInput},
        {"kind 1 tone on click", 16 + 67, s.ChordIdentification.PlayToneOnClick},
        {"kind 1 first tone", 16 + 68, s.ChordIdentification.ShowFirstTone},
        {"kind 1 auto answer", 16 + 69, s.ChordIdentification.AutoAnswer},
        {"kind 1 tonic", 16 + 70, s.ChordIdentification.TonicReference},
        {"kind 1 extra", 16 + 72, s.ChordIdentification.ExtraOption},
        {"kind 1 highest", 16 + 80, s.ChordIdentification.HighestNote},
        {"kind 1 lowest", 16 + 81, s.ChordIdentification.LowestNote},
        {"kind 7 root movement", 98 + 71, s.ChordInversions.RootMovement},
        {"kind 7 item 1", 98, s.ChordInversions.ItemFlags[0]},
        {"kind 2 lowest", 180 + 81, s.IntervalIdentification.LowestNote},
        {"kind 3 common tone", 262 + 63, s.IntervalComparison.ShowKeySignature},
        {"kind 8 root movement", 344 + 71, s.Scales.RootMovement},
        {"kind 8 lowest", 344 + 81, s.Scales.LowestNote},
        {"kind 4 first signature", 426, s.RhythmImitation.TimeSignatures[0]},
        {"kind 4 byte 14", 426 + 14, s.RhythmImitation.Unused14[0]},
        {"kind 4 whole notes", 426 + 20, s.RhythmImitation.NoteValues[0]},
        {"kind 4 tempo", 426 + 26, s.RhythmImitation.Tempo},
        {"kind 5 bars", 470 + 27, s.RhythmReading.Bars},
        {"kind 5 rests", 470 + 28, s.RhythmReading.Rests},
        {"kind 5 corrections", 470 + 29, s.RhythmReading.Corrections},
        {"kind 5 evaluation", 470 + 30,
         static_cast<std::uint16_t>(s.RhythmReading.RhythmEvaluation)},
        {"kind 6 ties", 514 + 32, s.RhythmErrorDetection.Ties},
        {"kind 6 dotted", 514 + 34, s.RhythmErrorDetection.Dotted},
        {"kind 6 second time", 514 + 36, s.RhythmErrorDetection.ShowSecondTime},
        {"kind 6 triplets", 514 + 38, s.RhythmErrorDetection.TripletMask},
        {"kind 6 byte 43", 514 + 43, s.RhythmErrorDetection.Unused39[4]},
        {"melody tone count", 558, s.Melody.ToneCount},
        {"melody scale", 561, s.Melody.Scale},
        {"melody six flats", 562, s.Melody.Keys[0]},
        {"melody five sharps", 573, s.Melody.Keys[11]},
        {"melody tonic", 576, s.Melody.TonicReference},
        {"melody answer input", 578, s.Melody.AnswerInput},
        {"melody rhythms", 582, s.Melody.Rhythms},
        {"melody highest", 585, s.Melody.HighestNote},
        {"melody lowest", 586, s.Melody.LowestNote},
        {"kind 10 item 1", 587, s.ChordProgressions.ItemFlags[0]},
        {"kind 10 root movement", 587 + 71, s.ChordProgressions.RootMovement},
        {"kind 10 lowest", 668, s.ChordProgressions.LowestNote},
        {"pad", 669, s.Pad},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int expected =
            std::string_view(c.name) == "kind 5 evaluation" ? u16(c.offset) : image[c.offset];
        EXPECT_EQ(c.value, expected);
    }
    EXPECT_EQ(EncodeExerciseSetup(s), image);
}

TEST(ExerciseSetup, ArbitraryRecordsRoundTripOnceRootMovementIsValid)
{
    std::mt19937 random(11);
    for (int round = 0; round < 20; ++round) {
        std::vector<std::uint8_t> bytes(kExerciseSetupSize);
        for (auto& b : bytes)
            b = static_cast<std::uint8_t>(random());
        const auto first = DecodeExerciseSetup(bytes);
        ASSERT_TRUE(first.has_value());
        const auto encoded = EncodeExerciseSetup(*first);
        for (std::size_t block : {16u, 98u, 180u, 262u, 344u, 587u}) {
            EXPECT_TRUE(IsValidRootMovement(encoded[block + 71]));
            bytes[block + 71] = encoded[block + 71];
        }
        EXPECT_EQ(encoded, bytes);
    }
    EXPECT_FALSE(DecodeExerciseSetup(std::vector<std::uint8_t>(669)).has_value());
}

TEST(ExerciseSetup, DefaultSetupHasTheBuiltInBytes)
{
    ByteBuilder b(kExerciseSetupSize);
    b.Str(0, "Pellivark 4.0");
    struct Block
    {
        std::size_t offset;
        std::vector<int> items;
        std::vector<std::uint8_t> bytes60to72;
    };
    const Block blocks[] = {
        {16, {1, 2}, {0, 1, 1, 1, 0, 0, 2, 1, 0, 0, 16, 0, 0}},
        {98, {1, 2, 3, 4, 5, 6}, {0, 1, 1, 1, 0, 0, 2, 1, 0, 0, 16, 0, 0}},
        {180, {1, 5, 8, 13}, {0, 1, 1, 1, 0, 0, 2, 1, 0, 0, 16, 0, 0}},
        {262, {1, 5, 8, 13}, {0, 1, 1, 1, 0, 0, 2, 1, 0, 0, 16, 0, 0}},
        {344, {1, 6}, {0, 1, 1, 0, 0, 0, 2, 1, 0, 0, 16, 0, 0}},
        {587, {1, 2}, {0, 1, 1, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0}},
    };
    for (const auto& block : blocks) {
        for (int item : block.items)
            b.U8(block.offset + static_cast<std::size_t>(item - 1), 1);
        for (std::size_t i = 0; i < block.bytes60to72.size(); ++i)
            b.U8(block.offset + 60 + i, block.bytes60to72[i]);
        b.U8(block.offset + 80, 72).U8(block.offset + 81, 53);
    }
    for (std::size_t rhythm : {426u, 470u, 514u})
        b.U8(rhythm + 3, 1)
            .U8(rhythm + 21, 1)
            .U8(rhythm + 22, 1)
            .U8(rhythm + 26, 90)
            .U8(rhythm + 27, 1)
            .U8(rhythm + 30, 1);
    b.U8(426 + 29, 1).U8(426 + 35, 208).U8(426 + 36, 1);
    b.U8(470 + 29, 2).U8(470 + 35, 208);
    b.U8(514 + 29, 2);
    const std::uint8_t melody[29] = {5, 2, 3, 0,  0, 0,   0, 0, 0, 0, 1, 0, 0,  0, 0,
                                     0, 0, 1, 17, 0, 130, 0, 0, 0, 0, 0, 0, 72, 60};
    for (std::size_t i = 0; i < 29; ++i)
        b.U8(558 + i, melody[i]);
    EXPECT_EQ(EncodeExerciseSetup(DefaultExerciseSetup()), b.Bytes());
}

TEST(ExerciseSetup, ChangesCountOnlyInTheComparedBytes)
{
    const auto base = EncodeExerciseSetup(DefaultExerciseSetup());
    for (std::size_t i = 0; i < kExerciseSetupSize; ++i) {
        SCOPED_TRACE(i);
        auto bytes = base;
        bytes[i] ^= 0x01;
        for (std::size_t block : {16u, 98u, 180u, 262u, 344u, 587u})
            if (i == block + 71)
                bytes[i] = 3; // a valid root movement, so reading keeps the change
        const ExerciseSetup changed = *DecodeExerciseSetup(bytes);
        bool compared = true;
        if (i < 16 || i == 669)
            compared = false; // header and pad byte
        for (std::size_t rhythm : {426u, 470u, 514u})
            if (i >= rhythm + 14 && i <= rhythm + 19)
                compared = false; // unused rhythm bytes
        EXPECT_EQ(SetupChanged(DefaultExerciseSetup(), changed), compared);
        EXPECT_EQ(SetupChanged(changed, DefaultExerciseSetup()), compared);
    }
    EXPECT_FALSE(SetupChanged(DefaultExerciseSetup(), DefaultExerciseSetup()));
}

TEST(ExerciseSetup, RootMovementOutsideTheListReadsAsRandom)
{
    for (int v = 0; v < 256; ++v) {
        const bool valid =
            v == 0 || (v >= 3 && v <= 8) || (v >= 11 && v <= 22) || (v >= 25 && v <= 36);
        EXPECT_EQ(IsValidRootMovement(static_cast<std::uint8_t>(v)), valid) << v;
        auto bytes = EncodeExerciseSetup(DefaultExerciseSetup());
        bytes[587 + 71] = static_cast<std::uint8_t>(v);
        EXPECT_EQ(DecodeExerciseSetup(bytes)->ChordProgressions.RootMovement, valid ? v : 0) << v;
    }
}

TEST(ExerciseSetup, OptionBytesReadAsTheExercisesReadThem)
{
    EXPECT_EQ(AnswerInputLockOf(2), 0);
    EXPECT_EQ(AnswerInputLockOf(0x82), 2);
    EXPECT_EQ(AnswerInputLockOf(0x80), 0);
    EXPECT_EQ(AnswerInputLockOf(0x8F), 15);
    EXPECT_FALSE(PlaysTonicReference(16));
    EXPECT_TRUE(PlaysTonicReference(17));
    EXPECT_TRUE(TonicReferenceIsCadence(0x21));
    EXPECT_FALSE(TonicReferenceIsCadence(0x11));
    EXPECT_FALSE(TonicReferenceIsCadence(0x01)); // high nibble 0: base tones
    EXPECT_FALSE(TonicReferenceIsCadence(0x31)); // high nibble 3: base tones
}

TEST(ExerciseSetup, KindsFindTheirBlocks)
{
    // Any byte may be cast to a kind: 0 and 11 stand for a damaged one.
    auto kind = [](int number) { return static_cast<ExerciseKind>(number); };
    ExerciseSetup s;
    EXPECT_EQ(OptionBlockOfKind(s, kind(1)), &s.ChordIdentification);
    EXPECT_EQ(OptionBlockOfKind(s, kind(2)), &s.IntervalIdentification);
    EXPECT_EQ(OptionBlockOfKind(s, kind(3)), &s.IntervalComparison);
    EXPECT_EQ(OptionBlockOfKind(s, kind(7)), &s.ChordInversions);
    EXPECT_EQ(OptionBlockOfKind(s, kind(8)), &s.Scales);
    EXPECT_EQ(OptionBlockOfKind(s, kind(10)), &s.ChordProgressions);
    EXPECT_EQ(RhythmSetupOfKind(s, kind(4)), &s.RhythmImitation);
    EXPECT_EQ(RhythmSetupOfKind(s, kind(5)), &s.RhythmReading);
    EXPECT_EQ(RhythmSetupOfKind(s, kind(6)), &s.RhythmErrorDetection);
    for (int k : {0, 4, 9, 11})
        EXPECT_EQ(OptionBlockOfKind(s, kind(k)), nullptr);
    for (int k : {0, 1, 9, 10})
        EXPECT_EQ(RhythmSetupOfKind(s, kind(k)), nullptr);
}

} // namespace
} // namespace pv
