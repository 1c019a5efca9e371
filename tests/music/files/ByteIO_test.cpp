#include "music/files/ByteIO.h"
#include "music/files/DaysSince1899.h"
#include "music/files/Win1252.h"

#include <array>
#include <cmath>
#include <functional>
#include <utility>

#include <gtest/gtest.h>

namespace pv {
namespace {

TEST(ByteIO, FieldsAreLittleEndianAtTheirOffsets)
{
    std::array<std::uint8_t, 24> buf{};
    ByteWriter w(buf);
    w.U16(0, 0x1234);
    w.I32(2, -2);
    w.F64(8, 36526.5);
    w.U32(16, 0xA1B2C3D4);
    EXPECT_FALSE(w.Failed());
    EXPECT_EQ(buf[0], 0x34);
    EXPECT_EQ(buf[1], 0x12);
    EXPECT_EQ(buf[2], 0xFE);
    EXPECT_EQ(buf[5], 0xFF);
    // 36526.5 = 0x40E1D5D000000000
    EXPECT_EQ(buf[15], 0x40);
    EXPECT_EQ(buf[14], 0xE1);
    EXPECT_EQ(buf[16], 0xD4);

    ByteReader r(buf);
    EXPECT_EQ(r.U16(0), 0x1234);
    EXPECT_EQ(r.I32(2), -2);
    EXPECT_DOUBLE_EQ(r.F64(8), 36526.5);
    EXPECT_EQ(r.U32(16), 0xA1B2C3D4u);
    EXPECT_FALSE(r.Failed());
}

TEST(ByteIO, ReadsAndWritesPastTheEndDoNothingAndFail)
{
    std::array<std::uint8_t, 4> buf{1, 2, 3, 4};
    ByteReader r(buf);
    EXPECT_EQ(r.U32(1), 0u);
    EXPECT_TRUE(r.Failed());
    EXPECT_TRUE(r.LengthPrefixedString(2, 5).isEmpty());

    ByteWriter w(buf);
    w.U32(2, 0xFFFFFFFF);
    EXPECT_TRUE(w.Failed());
    EXPECT_EQ(buf, (std::array<std::uint8_t, 4>{1, 2, 3, 4}));
}

TEST(ByteIO, LengthPrefixedStringLengthIsClampedToItsCapacity)
{
    // Capacity 3, damaged length 200: only the field's own three bytes are read.
    std::array<std::uint8_t, 8> buf{200, 'a', 'b', 'c', 'X', 'Y', 'Z', 0};
    ByteReader r(buf);
    EXPECT_EQ(r.LengthPrefixedString(0, 3), QStringLiteral("abc"));
}

TEST(ByteIO, LengthPrefixedStringWriteCutsEncodedBytesAndKeepsTheRestOfTheField)
{
    std::array<std::uint8_t, 6> buf{9, 9, 9, 9, 9, 9};
    ByteWriter w(buf);
    w.LengthPrefixedString(0, 4, QStringLiteral("\u20ACuro!"));
    EXPECT_EQ(buf, (std::array<std::uint8_t, 6>{4, 0x80, 'u', 'r', 'o', 9}));
    w.LengthPrefixedString(0, 4, QStringLiteral("a"));
    // Old bytes behind the new length stay: a shorter text changes no byte it does not need.
    EXPECT_EQ(buf, (std::array<std::uint8_t, 6>{1, 'a', 'u', 'r', 'o', 9}));
}

// A small record in the shape of the real ones: a header, a table of nested entries and a
// text, with bytes no field names.
struct Entry
{
    std::uint16_t Id = 0;
    bool On = false;
};

struct Sample
{
    std::int32_t Count = 0;
    std::array<Entry, 3> Entries{};
    double When = 0;
    QString Name;
    std::array<std::uint8_t, 2> Tail{};
};

template <class IO, class Rec> void SampleFields(IO& io, Rec& rec)
{
    io.I32(0, rec.Count);
    Table(io, 4, 4, rec.Entries, [](auto& entry, auto& e) {
        entry.U16(0, e.Id);
        entry.Bool(3, e.On);
    });
    io.Double(16, rec.When);
    io.LengthPrefixedString(24, 5, rec.Name);
    io.Bytes(30, rec.Tail);
}

TEST(FieldIO, OneFieldListReadsAndWritesTheSameOffsets)
{
    // Byte 6 (inside entry 0) and the text tail are named by no field; entry 1's Boolean is 2.
    std::array<std::uint8_t, 32> image = {
        0xFE, 0xFF, 0xFF, 0xFF, 0x34, 0x12, 0x77, 1,    0x02, 0x00, 0x00, 2,   0x03, 0x00, 0x00, 0,
        0,    0,    0,    0,    0,    0x80, 0x41, 0x40, 2,    'a',  'b',  'Z', 'Z',  'Z',  9,    8};
    Sample rec;
    FieldReader reader(image);
    SampleFields(reader, rec);
    EXPECT_FALSE(reader.Failed());
    EXPECT_EQ(rec.Count, -2);
    EXPECT_EQ(rec.Entries[0].Id, 0x1234);
    EXPECT_TRUE(rec.Entries[0].On);
    EXPECT_EQ(rec.Entries[1].Id, 2);
    EXPECT_TRUE(rec.Entries[1].On);
    EXPECT_FALSE(rec.Entries[2].On);
    EXPECT_DOUBLE_EQ(rec.When, 35.0);
    EXPECT_EQ(rec.Name, QStringLiteral("ab"));
    EXPECT_EQ(rec.Tail, (std::array<std::uint8_t, 2>{9, 8}));

    // Unchanged fields written over the image leave every byte as it was, the stored 2 too.
    std::array<std::uint8_t, 32> out = image;
    FieldWriter writer(out);
    SampleFields(writer, std::as_const(rec));
    EXPECT_FALSE(writer.Failed());
    EXPECT_EQ(out, image);

    // Changed fields land at the offsets they were read from.
    rec.Entries[1].On = false;
    rec.Entries[2] = {0xBEEF, true};
    rec.Name = QStringLiteral("c");
    SampleFields(writer, std::as_const(rec));
    std::array<std::uint8_t, 32> expected = image;
    expected[11] = 0;
    expected[12] = 0xEF;
    expected[13] = 0xBE;
    expected[15] = 1;
    expected[24] = 1;
    expected[25] = 'c';
    EXPECT_EQ(out, expected);
}

TEST(FieldIO, FieldsPastTheEndOfABlockOrTheRecordFailTheWholeReadAndWrite)
{
    std::array<std::uint8_t, 8> bytes{1, 2, 3, 4, 5, 6, 7, 8};
    const std::array<std::uint8_t, 8> before = bytes;
    struct Case
    {
        const char* name;
        std::function<void(FieldReader&)> read;
        std::function<void(FieldWriter&)> write;
    };
    std::uint32_t value = 0;
    const Case cases[] = {
        {"a field past the end", [&](FieldReader& r) { r.U32(6, value); },
         [&](FieldWriter& w) { w.U32(6, value); }},
        {"a block past the end", [&](FieldReader& r) { r.Block(6, 4); },
         [&](FieldWriter& w) { w.Block(6, 4); }},
        {"a field past its block's end, inside the record",
         [&](FieldReader& r) {
             FieldReader block = r.Block(0, 4);
             block.U32(2, value);
         },
         [&](FieldWriter& w) {
             FieldWriter block = w.Block(0, 4);
             block.U32(2, value);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FieldReader reader(bytes);
        c.read(reader);
        EXPECT_TRUE(reader.Failed());
        EXPECT_EQ(value, 0u);
        FieldWriter writer(bytes);
        c.write(writer);
        EXPECT_TRUE(writer.Failed());
        EXPECT_EQ(bytes, before);
    }
}

// A field of another width or signedness, or a const field read into, does not compile.
template <class IO, class F>
concept TakesU16 = requires(IO& io, F& field)
{
    io.U16(0, field);
};
template <class IO, class F>
concept TakesBool = requires(IO& io, F& field)
{
    io.Bool(0, field);
};
static_assert(TakesU16<FieldWriter, const std::uint16_t> && TakesU16<FieldReader, std::uint16_t>);
static_assert(!TakesU16<FieldWriter, const std::int32_t> && !TakesU16<FieldWriter, const int>);
static_assert(!TakesBool<FieldWriter, const std::uint8_t>);
static_assert(!TakesU16<FieldReader, std::int16_t> && !TakesU16<FieldReader, const std::uint16_t>);

TEST(Win1252, EveryByteRoundTrips)
{
    std::vector<std::uint8_t> all(256);
    for (int i = 0; i < 256; ++i)
        all[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    EXPECT_EQ(ToWin1252(FromWin1252(all)), all);
}

TEST(Win1252, KnownCharactersAndUnencodableOnes)
{
    struct Case
    {
        const char16_t* text;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {u"\u00A7", {0xA7}}, // the full-name separator stays one byte
        {u"Espa\u00F1ol", {'E', 's', 'p', 'a', 0xF1, 'o', 'l'}},
        {u"\u20AC\u2122\u0178", {0x80, 0x99, 0x9F}},
        {u"\u4E2D", {'?'}},
        {u"\U0001F3B5", {'?'}}, // one character outside the BMP, one '?'
    };
    for (const auto& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(ToWin1252(text), c.bytes);
    }
}

TEST(DaysSince1899, EpochAndKnownDaysConvertBothWays)
{
    EXPECT_DOUBLE_EQ(ToDaysSince1899(QDateTime(QDate(1899, 12, 30), QTime(0, 0))), 0.0);
    EXPECT_DOUBLE_EQ(ToDaysSince1899(QDateTime(QDate(2000, 1, 1), QTime(12, 0))), 36526.5);
    EXPECT_EQ(FromDaysSince1899(36526.5), QDateTime(QDate(2000, 1, 1), QTime(12, 0)));
    EXPECT_EQ(FromDaysSince1899(45000.25).time(), QTime(6, 0));
    EXPECT_FALSE(FromDaysSince1899(std::nan("")).isValid());
    EXPECT_FALSE(FromDaysSince1899(1e300).isValid());
}

TEST(DaysSince1899, TodayIsTheWholeDayOfNow)
{
    const double today = TodayInDaysSince1899();
    EXPECT_EQ(today, std::floor(today));
    EXPECT_LE(today, NowInDaysSince1899());
    EXPECT_LT(NowInDaysSince1899() - today, 1.0);
}

} // namespace
} // namespace pv
