// The 20-byte note record against an image built at its literal offsets.
#include "music/notation/NoteRec.h"
#include "support/ByteBuilder.h"

#include <random>

#include <gtest/gtest.h>

namespace pv {
namespace {

TNoteRec SampleRec()
{
    TNoteRec r;
    r.Pitch = {70, -1};
    r.AccidentalInput = 6;
    r.GuitarString = 19;
    r.Duration = 4;
    r.VelocityLevel = 2;
    r.BarLine = 1;
    r.Free7 = 0xA7;
    r.X = -123456;
    r.Y = 0x01020304;
    r.Sideways = 1;
    r.AccidentalColumn = 255;
    r.Free18 = 0xB2;
    r.Staff = 1;
    return r;
}

std::vector<std::uint8_t> SampleImage()
{
    return test::ByteBuilder(20)
        .U8(0, 70)
        .U8(1, 0xFF)
        .U8(2, 6)
        .U8(3, 19)
        .U8(4, 4)
        .U8(5, 2)
        .U8(6, 1)
        .U8(7, 0xA7)
        .I32(8, -123456)
        .I32(12, 0x01020304)
        .U8(16, 1)
        .U8(17, 255)
        .U8(18, 0xB2)
        .U8(19, 1)
        .Bytes();
}

TEST(NoteRec, EncodesEveryFieldAtItsOffset)
{
    const auto bytes = EncodeNoteRec(SampleRec());
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), SampleImage());
}

TEST(NoteRec, DecodesEveryFieldFromItsOffset)
{
    const auto image = SampleImage();
    const auto rec = DecodeNoteRec(image);
    ASSERT_TRUE(rec.has_value());
    EXPECT_EQ(*rec, SampleRec());
}

TEST(NoteRec, ShortInputGivesNothing)
{
    const auto image = SampleImage();
    EXPECT_FALSE(DecodeNoteRec(std::span(image).first(19)).has_value());
}

TEST(NoteRec, RecordsInsideALargerImageUseTheirOffset)
{
    auto image = test::ByteBuilder(45, 0xEE).Bytes();
    const TNoteRec sample = SampleRec();
    FieldWriter writer(image);
    Nested(writer, 5, kNoteRecSize, sample, kNoteRecFields);
    Nested(writer, 30, kNoteRecSize, sample, kNoteRecFields); // would pass the end
    EXPECT_TRUE(writer.Failed());
    EXPECT_EQ(image[4], 0xEE);
    EXPECT_EQ(image[25], 0xEE);
    EXPECT_EQ(image[30], 0xEE) << "a record that does not fit writes nothing";
    FieldReader reader(image);
    TNoteRec read;
    Nested(reader, 5, kNoteRecSize, read, kNoteRecFields);
    EXPECT_FALSE(reader.Failed());
    EXPECT_EQ(read, SampleRec());
}

TEST(NoteRec, RandomImagesRoundTripUnchanged)
{
    std::mt19937 engine(7);
    for (int i = 0; i < 200; ++i) {
        std::array<std::uint8_t, kNoteRecSize> image{};
        for (auto& b : image)
            b = static_cast<std::uint8_t>(engine());
        const auto rec = DecodeNoteRec(image);
        ASSERT_TRUE(rec.has_value());
        ASSERT_EQ(EncodeNoteRec(*rec), image);
    }
}

} // namespace
} // namespace pv
