// The one way files are opened by name: regular files only, never blocking, links followed or
// refused as the caller says.
#include "music/files/RegularFile.h"
#include "support/TempDir.h"

#include <fcntl.h>
#include <optional>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::TempDir;

class RegularFileTest : public ::testing::Test
{
protected:
    RegularFileTest()
    {
        EXPECT_TRUE(dir.Write(QStringLiteral("plain"), {1, 2, 3}));
        EXPECT_EQ(symlink("plain", Native("live")), 0);
        EXPECT_EQ(symlink("nowhere", Native("dangling")), 0);
        EXPECT_EQ(mkfifo(Native("pipe"), 0644), 0);
        EXPECT_TRUE(QDir().mkpath(dir.File(QStringLiteral("folder"))));
        // A socket file left behind by a server that is gone.
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray name = QFile::encodeName(dir.File(QStringLiteral("socket")));
        EXPECT_LT(name.size(), static_cast<qsizetype>(sizeof(address.sun_path)));
        std::copy(name.begin(), name.end(), address.sun_path);
        EXPECT_EQ(bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
        close(fd);
    }
    const char* Native(const char* name)
    {
        m_native = QFile::encodeName(dir.File(QString::fromLatin1(name)));
        return m_native.constData();
    }

    TempDir dir;

private:
    QByteArray m_native;
};

TEST_F(RegularFileTest, OnlyRegularFilesOpenAndLinksAreFollowedOnlyWhenAllowed)
{
    struct Case
    {
        const char* name;
        std::optional<FileRefusal> following;
        std::optional<FileRefusal> refusing;
        const char* words; ///< in the detail of a refusal other than Missing
    };
    const Case cases[] = {
        {"plain", std::nullopt, std::nullopt, ""},
        {"live", std::nullopt, FileRefusal::SymbolicLink, "symbolic link"},
        {"dangling", FileRefusal::Missing, FileRefusal::SymbolicLink, "symbolic link"},
        {"missing", FileRefusal::Missing, FileRefusal::Missing, ""},
        {"pipe", FileRefusal::NotRegularFile, FileRefusal::NotRegularFile, "a pipe"},
        {"folder", FileRefusal::NotRegularFile, FileRefusal::NotRegularFile, "a folder"},
        {"socket", FileRefusal::NotRegularFile, FileRefusal::NotRegularFile, "a socket"},
        {"plain/below", FileRefusal::Missing, FileRefusal::Missing, ""},
    };
    for (const Case& c : cases) {
        for (const LinkRule links : {LinkRule::Follow, LinkRule::Refuse}) {
            SCOPED_TRACE(std::string(c.name) + (links == LinkRule::Follow ? " followed" : ""));
            const auto expected = links == LinkRule::Follow ? c.following : c.refusing;
            // Read and write both: a pipe must block neither, and no link may be written through.
            for (const int flags : {O_RDONLY, O_RDWR}) {
                const auto opened = OpenRegularFile(QByteArray(Native(c.name)), flags, links);
                if (!expected) {
                    ASSERT_TRUE(opened) << opened.Detail().toStdString();
                    EXPECT_EQ(fcntl(opened.Value().Get(), F_GETFL) & O_NONBLOCK, 0)
                        << "made blocking again";
                    EXPECT_NE(fcntl(opened.Value().Get(), F_GETFD) & FD_CLOEXEC, 0);
                    continue;
                }
                ASSERT_FALSE(opened);
                EXPECT_EQ(opened.Code(), *expected);
                if (*expected != FileRefusal::Missing) {
                    EXPECT_TRUE(opened.Detail().contains(QString::fromLatin1(c.words)))
                        << opened.Detail().toStdString();
                }
            }
        }
    }
    EXPECT_EQ(dir.Read(QStringLiteral("plain")), (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST_F(RegularFileTest, ADanglingLinkIsNeverFollowedToCreateAFileWhereItPoints)
{
    const auto refused =
        OpenRegularFile(QByteArray(Native("dangling")), O_RDWR | O_CREAT, LinkRule::Refuse);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.Code(), FileRefusal::SymbolicLink);
    EXPECT_FALSE(QFileInfo::exists(dir.File(QStringLiteral("nowhere"))));
    // A missing file of a plain name is made.
    ASSERT_TRUE(OpenRegularFile(QByteArray(Native("new")), O_RDWR | O_CREAT, LinkRule::Refuse));
    EXPECT_TRUE(QFileInfo(dir.File(QStringLiteral("new"))).isFile());
}

TEST_F(RegularFileTest, ReadingWholeRespectsTheLimitOrGivesTheHead)
{
    const QString plain = dir.File(QStringLiteral("plain"));
    const auto whole = ReadRegularFile(plain, 3, LinkRule::Follow);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole.Value(), (std::vector<std::uint8_t>{1, 2, 3}));
    const auto tooLarge = ReadRegularFile(plain, 2, LinkRule::Follow);
    ASSERT_FALSE(tooLarge);
    EXPECT_EQ(tooLarge.Code(), FileRefusal::TooLarge);
    const auto head = ReadRegularFile(plain, 2, LinkRule::Follow, true);
    ASSERT_TRUE(head);
    EXPECT_EQ(head.Value(), (std::vector<std::uint8_t>{1, 2}));
    EXPECT_TRUE(IsReadableRegularFile(dir.File(QStringLiteral("live")), LinkRule::Follow));
    EXPECT_FALSE(IsReadableRegularFile(dir.File(QStringLiteral("pipe")), LinkRule::Follow));
}

} // namespace
} // namespace pv
