// The help file's container: its fields at their offsets, and damaged files refused with their
// reason, never read past their end.
#include "shell/help/HelpFile.h"
#include "support/ByteBuilder.h"
#include "support/TempDir.h"

#include <functional>
#include <random>

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace pv {
namespace {

HelpBook TwoPages()
{
    auto book = HelpBook::Make(
        {HelpPage{QStringLiteral("contents"),
                  QStringLiteral("Contents"),
                  {},
                  QStringLiteral("See [[a]].")},
         HelpPage{
             QStringLiteral("a"), QStringLiteral("A \u00e9"), {11, 195}, QStringLiteral("x")}});
    EXPECT_TRUE(book.Ok());
    return book.Value();
}

// The file of TwoPages(), built at the offsets of the format: the header, two directory
// entries, the contents page's record at 32 (34 bytes), page "a" at 66 (22 bytes).
std::vector<std::uint8_t> TwoPagesFile()
{
    test::ByteBuilder b(88);
    const std::string magic = "PVHELP\r\n";
    for (std::size_t i = 0; i < magic.size(); ++i)
        b.U8(i, static_cast<std::uint8_t>(magic[i]));
    b.U16(8, 1).U16(10, 2).U32(12, 88);
    b.U32(16, 32).U32(20, 34).U32(24, 66).U32(28, 22);
    const auto text = [&b](std::size_t at, const std::string& s) {
        for (std::size_t i = 0; i < s.size(); ++i)
            b.U8(at + i, static_cast<std::uint8_t>(s[i]));
    };
    b.U16(32, 8).U16(34, 8).U16(36, 0).U16(38, 0);
    text(40, "contents");
    text(48, "Contents");
    text(56, "See [[a]].");
    b.U16(66, 1).U16(68, 4).U16(70, 2).U16(72, 0);
    b.I32(74, 11).I32(78, 195);
    text(82, "a");
    text(83, "A \xC3\xA9");
    text(87, "x");
    return b.Bytes();
}

TEST(HelpFile, FieldsStandAtTheirOffsetsAndReadBack)
{
    const auto written = EncodeHelpFile(TwoPages());
    ASSERT_TRUE(written.Ok());
    EXPECT_EQ(written.Value(), TwoPagesFile());
    const auto read = DecodeHelpFile(TwoPagesFile());
    ASSERT_TRUE(read.Ok()) << read.Detail().toStdString();
    EXPECT_EQ(read.Value(), TwoPages());
    EXPECT_EQ(read.Value().PageFor(195).Key, QStringLiteral("a"));
    EXPECT_EQ(read.Value().PageFor(12).Key, QStringLiteral("contents"));
}

TEST(HelpFile, EveryCutOfAFileAndAFileGrownLongerAreRefused)
{
    const std::vector<std::uint8_t> whole = TwoPagesFile();
    for (std::size_t size = 0; size < whole.size(); ++size) {
        SCOPED_TRACE(size);
        const std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + size);
        const auto read = DecodeHelpFile(cut);
        ASSERT_FALSE(read.Ok());
        EXPECT_EQ(read.Code(), size < 8 ? HelpFileError::NotHelpFile : HelpFileError::Damaged);
    }
    std::vector<std::uint8_t> longer = whole;
    longer.push_back(0);
    EXPECT_EQ(DecodeHelpFile(longer).Code(), HelpFileError::Damaged);
}

TEST(HelpFile, DamagedFieldsAreRefusedWithTheirReason)
{
    struct Case
    {
        const char* name;
        std::function<void(test::ByteBuilder&)> damage;
        HelpFileError code;
    };
    const Case cases[] = {
        {"another magic", [](auto& b) { b.U8(2, 'X'); }, HelpFileError::NotHelpFile},
        {"a later format", [](auto& b) { b.U16(8, 2); }, HelpFileError::NewerFormat},
        {"format 0", [](auto& b) { b.U16(8, 0); }, HelpFileError::Damaged},
        {"no pages", [](auto& b) { b.U16(10, 0); }, HelpFileError::Damaged},
        {"more pages than any file", [](auto& b) { b.U16(10, 0xFFFF); }, HelpFileError::Damaged},
        {"a directory over the first record", [](auto& b) { b.U16(10, 3); },
         HelpFileError::Damaged},
        {"a size field larger than the file", [](auto& b) { b.U32(12, 89); },
         HelpFileError::Damaged},
        {"a record in the header", [](auto& b) { b.U32(16, 4); }, HelpFileError::Damaged},
        {"a record past the end", [](auto& b) { b.U32(28, 23); }, HelpFileError::Damaged},
        {"a record length that wraps", [](auto& b) { b.U32(28, 0xFFFFFFFF); },
         HelpFileError::Damaged},
        {"a record offset beyond the file", [](auto& b) { b.U32(24, 0xFFFFFFF0); },
         HelpFileError::Damaged},
        {"a record shorter than its fixed part", [](auto& b) { b.U32(24, 84).U32(28, 4); },
         HelpFileError::Damaged},
        {"a key longer than any key", [](auto& b) { b.U16(66, 41); }, HelpFileError::Damaged},
        {"a key past its record", [](auto& b) { b.U16(66, 30); }, HelpFileError::Damaged},
        {"a title past its record", [](auto& b) { b.U16(68, 20); }, HelpFileError::Damaged},
        {"more contexts than a page has", [](auto& b) { b.U16(70, 201); }, HelpFileError::Damaged},
        {"contexts past the record", [](auto& b) { b.U16(70, 4); }, HelpFileError::Damaged},
        {"a context of zero", [](auto& b) { b.I32(74, 0); }, HelpFileError::Damaged},
        {"a body that is no UTF-8", [](auto& b) { b.U8(87, 0xFF); }, HelpFileError::Damaged},
        {"a title cut inside a character", [](auto& b) { b.U16(68, 3); }, HelpFileError::Damaged},
        {"a key of capitals", [](auto& b) { b.U8(40, 'C'); }, HelpFileError::Damaged},
        {"no contents page", [](auto& b) { b.U8(40, 'd'); }, HelpFileError::Damaged},
        {"two pages of one key", [](auto& b) { b.U32(24, 32).U32(28, 34); },
         HelpFileError::Damaged},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<std::uint8_t> whole = TwoPagesFile();
        test::ByteBuilder bytes(whole.size());
        for (std::size_t i = 0; i < whole.size(); ++i)
            bytes.U8(i, whole[i]);
        c.damage(bytes);
        const auto read = DecodeHelpFile(bytes.Bytes());
        ASSERT_FALSE(read.Ok());
        EXPECT_EQ(read.Code(), c.code) << read.Detail().toStdString();
    }
}

// Whatever the bytes, the reader either refuses them or gives a book that writes back to a
// file holding the same book.
TEST(HelpFile, AnyDamageIsRefusedOrReadsAsAWholeBook)
{
    std::mt19937 random(20240611);
    const std::vector<std::uint8_t> whole = TwoPagesFile();
    int accepted = 0;
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::uint8_t> bytes = whole;
        const int flips = 1 + static_cast<int>(random() % 3);
        for (int f = 0; f < flips; ++f)
            bytes[random() % bytes.size()] = static_cast<std::uint8_t>(random());
        const auto read = DecodeHelpFile(bytes);
        if (!read)
            continue;
        ++accepted;
        const auto again = EncodeHelpFile(read.Value());
        ASSERT_TRUE(again.Ok());
        const auto reread = DecodeHelpFile(again.Value());
        ASSERT_TRUE(reread.Ok());
        EXPECT_EQ(reread.Value(), read.Value());
    }
    // Changes inside the texts keep a file readable: some rounds must have been accepted.
    EXPECT_GT(accepted, 0);
}

TEST(HelpFile, OnDiskOnlyARegularFileOfAHelpFilesSizeIsRead)
{
    test::TempDir dir;
    ASSERT_TRUE(WriteHelpFile(dir.File(QStringLiteral("English.HLP")), TwoPages()).Ok());
    const auto read = ReadHelpFile(dir.File(QStringLiteral("English.HLP")));
    ASSERT_TRUE(read.Ok());
    EXPECT_EQ(read.Value(), TwoPages());

    EXPECT_EQ(ReadHelpFile(dir.File(QStringLiteral("Dansk.HLP"))).Code(), HelpFileError::Missing);
    ASSERT_TRUE(QDir().mkpath(dir.File(QStringLiteral("Folder.HLP"))));
    EXPECT_EQ(ReadHelpFile(dir.File(QStringLiteral("Folder.HLP"))).Code(),
              HelpFileError::Unreadable);
    QFile huge(dir.File(QStringLiteral("Huge.HLP")));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(static_cast<qint64>(kMaxHelpFileSize) + 1));
    huge.close();
    EXPECT_EQ(ReadHelpFile(huge.fileName()).Code(), HelpFileError::TooLarge);
    ASSERT_TRUE(dir.Write(QStringLiteral("Text.HLP"), {'H', 'e', 'l', 'p', '!', '\n', 'x', 'y'}));
    EXPECT_EQ(ReadHelpFile(dir.File(QStringLiteral("Text.HLP"))).Code(),
              HelpFileError::NotHelpFile);
}

} // namespace
} // namespace pv
