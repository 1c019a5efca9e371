#include "music/files/ByteIO.h"
#include "music/files/DelphiDate.h"
#include "music/files/Win1252.h"

#include <array>
#include <cmath>

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
    EXPECT_TRUE(r.ShortString(2, 5).isEmpty());

    ByteWriter w(buf);
    w.U32(2, 0xFFFFFFFF);
    EXPECT_TRUE(w.Failed());
    EXPECT_EQ(buf, (std::array<std::uint8_t, 4>{1, 2, 3, 4}));
}

TEST(ByteIO, ShortStringLengthIsClampedToItsCapacity)
{
    // Capacity 3, damaged length 200: only the field's own three bytes are read.
    std::array<std::uint8_t, 8> buf{200, 'a', 'b', 'c', 'X', 'Y', 'Z', 0};
    ByteReader r(buf);
    EXPECT_EQ(r.ShortString(0, 3), QStringLiteral("abc"));
}

TEST(ByteIO, ShortStringWriteCutsEncodedBytesAndKeepsTheRestOfTheField)
{
    std::array<std::uint8_t, 6> buf{9, 9, 9, 9, 9, 9};
    ByteWriter w(buf);
    w.ShortString(0, 4, QStringLiteral("\u20ACuro!"));
    EXPECT_EQ(buf, (std::array<std::uint8_t, 6>{4, 0x80, 'u', 'r', 'o', 9}));
    w.ShortString(0, 4, QStringLiteral("a"));
    // Old bytes behind the new length stay: a shorter text changes no byte it does not need.
    EXPECT_EQ(buf, (std::array<std::uint8_t, 6>{1, 'a', 'u', 'r', 'o', 9}));
}

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

TEST(DelphiDate, EpochAndKnownDaysConvertBothWays)
{
    EXPECT_DOUBLE_EQ(ToDelphiDate(QDateTime(QDate(1899, 12, 30), QTime(0, 0))), 0.0);
    EXPECT_DOUBLE_EQ(ToDelphiDate(QDateTime(QDate(2000, 1, 1), QTime(12, 0))), 36526.5);
    EXPECT_EQ(FromDelphiDate(36526.5), QDateTime(QDate(2000, 1, 1), QTime(12, 0)));
    EXPECT_EQ(FromDelphiDate(45000.25).time(), QTime(6, 0));
    EXPECT_FALSE(FromDelphiDate(std::nan("")).isValid());
    EXPECT_FALSE(FromDelphiDate(1e300).isValid());
}

TEST(DelphiDate, TodayIsTheWholeDayOfNow)
{
    const double today = DelphiToday();
    EXPECT_EQ(today, std::floor(today));
    EXPECT_LE(today, DelphiNow());
    EXPECT_LT(DelphiNow() - today, 1.0);
}

} // namespace
} // namespace pv
