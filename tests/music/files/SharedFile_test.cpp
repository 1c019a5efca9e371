// Tests of opening a data file for writing against another copy's lock, the record search
// and the whole-file replacement.
#include "DataFixture.h"
#include "music/data/SharedFile.h"
#include "support/FakeClock.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTimer>

#include <gtest/gtest.h>

namespace pv {
namespace {

/// A second holder of the lock, as another running copy of the program would be.
class OtherHolder
{
public:
    explicit OtherHolder(const QString& path)
    {
        m_fd = open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT, 0666);
        EXPECT_GE(m_fd, 0);
        EXPECT_EQ(flock(m_fd, LOCK_EX | LOCK_NB), 0);
    }
    ~OtherHolder() { Release(); }
    void Release()
    {
        if (m_fd >= 0)
            close(m_fd);
        m_fd = -1;
    }

private:
    int m_fd = -1;
};

class SharedFileTest : public ::testing::Test
{
protected:
    SharedFileTest()
    {
        strings.StrFileBusy = QStringLiteral("The file is in use.");
        strings.StrMessageTitle = QStringLiteral("Error");
    }
    Result<SharedFile, DataError> Open(const QString& name, const QString& message = {})
    {
        return OpenShared(dir.File(name), message, prompts, wait, strings);
    }
    test::TempDir dir;
    test::ScriptedPrompts prompts;
    test::NoWait wait;
    UIStringTable strings;
};

TEST_F(SharedFileTest, FreeFileOpensAtOnceAndIsCreatedWhenMissing)
{
    const QString path = dir.File(QStringLiteral("User.dat"));
    auto file = Open(QStringLiteral("User.dat"), QStringLiteral("User file"));
    ASSERT_TRUE(file);
    EXPECT_TRUE(file.Value().IsOpen());
    EXPECT_EQ(wait.calls, 0);
    EXPECT_TRUE(prompts.asked.empty());
    EXPECT_TRUE(QFile::exists(path));
}

TEST_F(SharedFileTest, BusyFileAsksAfterTenTriesAndRetryWritesOnceTheLockIsFree)
{
    const QString path = dir.File(QStringLiteral("Setting.dat"));
    OtherHolder other(path);
    // The other copy lets go during the second round of tries.
    wait.onWait = [&](int call) {
        if (call == 13)
            other.Release();
    };
    prompts.buttons = {PromptButton::Retry};
    auto opened = Open(QStringLiteral("Setting.dat"), QStringLiteral("Settings file"));
    ASSERT_TRUE(opened);
    SharedFile& file = opened.Value();
    ASSERT_EQ(prompts.asked.size(), 1U);
    EXPECT_EQ(prompts.asked[0].kind, QStringLiteral("okretry"));
    EXPECT_EQ(prompts.asked[0].text, QStringLiteral("Settings file\nThe file is in use."));
    EXPECT_EQ(wait.calls, 13);
    const std::uint8_t byte = 7;
    EXPECT_TRUE(file.WriteAt(0, std::span(&byte, 1)));
    file.Close();
    EXPECT_EQ(dir.Read(QStringLiteral("Setting.dat")), std::vector<std::uint8_t>{7});
}

TEST_F(SharedFileTest, BusyFileGivenUpWithOkWritesNothing)
{
    const QString path = dir.File(QStringLiteral("Chord.dat"));
    ASSERT_TRUE(dir.Write(QStringLiteral("Chord.dat"), {1, 2, 3}));
    OtherHolder other(path);
    prompts.buttons = {PromptButton::Retry, PromptButton::Ok};
    auto opened = Open(QStringLiteral("Chord.dat"), QStringLiteral("Items"));
    ASSERT_FALSE(opened);
    EXPECT_EQ(opened.Code(), DataError::Busy);
    EXPECT_EQ(prompts.Count(QStringLiteral("okretry")), 2);
    EXPECT_EQ(wait.calls, 20);
    SharedFile file;
    const std::uint8_t byte = 9;
    EXPECT_FALSE(file.WriteAt(0, std::span(&byte, 1)));
    EXPECT_FALSE(UpdateOrAppendRecord(
        file, [](std::span<const std::uint8_t>) { return false; }, std::span(&byte, 1)));
    EXPECT_EQ(dir.Read(QStringLiteral("Chord.dat")), (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST_F(SharedFileTest, AppendAfterAPartialTailLandsAligned)
{
    ASSERT_TRUE(dir.Write(QStringLiteral("r.dat"), {1, 1, 1, 1, 2, 2}));
    auto opened = Open(QStringLiteral("r.dat"));
    ASSERT_TRUE(opened);
    SharedFile& file = opened.Value();
    const std::vector<std::uint8_t> record{9, 9, 9, 9};
    EXPECT_TRUE(UpdateOrAppendRecord(
        file, [](std::span<const std::uint8_t>) { return false; }, record));
    file.Close();
    EXPECT_EQ(dir.Read(QStringLiteral("r.dat")),
              (std::vector<std::uint8_t>{1, 1, 1, 1, 9, 9, 9, 9}));
}

TEST_F(SharedFileTest, ARecordThatCannotBeReadIsNeverWrittenOver)
{
    ASSERT_TRUE(dir.Write(QStringLiteral("r.dat"), {1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3}));
    const QString path = dir.File(QStringLiteral("r.dat"));
    auto opened = Open(QStringLiteral("r.dat"));
    ASSERT_TRUE(opened);
    SharedFile& file = opened.Value();
    // The second record becomes unreadable once the search has begun (a short read, as a
    // device error would give).
    bool cut = false;
    const auto matches = [&](std::span<const std::uint8_t>) {
        if (!cut)
            cut = truncate(QFile::encodeName(path).constData(), 6) == 0;
        return false;
    };
    const std::vector<std::uint8_t> record{9, 9, 9, 9};
    EXPECT_FALSE(UpdateOrAppendRecord(file, matches, record));
    ASSERT_TRUE(cut);
    file.Close();
    EXPECT_EQ(dir.Read(QStringLiteral("r.dat")), (std::vector<std::uint8_t>{1, 1, 1, 1, 2, 2}));
}

TEST_F(SharedFileTest, ReadWholeGivesEveryByteOfAnOpenFileAndRefusesAClosedOne)
{
    ASSERT_TRUE(dir.Write(QStringLiteral("r.dat"), {1, 2, 3, 4, 5}));
    auto opened = Open(QStringLiteral("r.dat"));
    ASSERT_TRUE(opened);
    const auto size = KnownSize(opened.Value());
    ASSERT_TRUE(size);
    EXPECT_EQ(size.Value(), 5);
    const auto content = ReadWhole(opened.Value());
    ASSERT_TRUE(content);
    EXPECT_EQ(content.Value(), (std::vector<std::uint8_t>{1, 2, 3, 4, 5}));

    const SharedFile closed;
    EXPECT_EQ(KnownSize(closed).Code(), DataError::ReadFailed);
    EXPECT_EQ(ReadWhole(closed).Code(), DataError::ReadFailed);
}

TEST_F(SharedFileTest, ReplaceContentsShortensAndLeavesNoTemporaryFile)
{
    ASSERT_TRUE(dir.Write(QStringLiteral("r.dat"), std::vector<std::uint8_t>(100, 5)));
    ASSERT_TRUE(dir.Write(QStringLiteral("r.dat.tmp"), std::vector<std::uint8_t>(300, 6)));
    auto opened = Open(QStringLiteral("r.dat"));
    ASSERT_TRUE(opened);
    SharedFile& file = opened.Value();
    const std::vector<std::uint8_t> content{1, 2, 3};
    ASSERT_TRUE(file.ReplaceContents(content));
    EXPECT_EQ(file.Size(), 3);
    // The lock went with the content: another writer cannot come in before we close.
    EXPECT_EQ(SharedFile::TryOpen(dir.File(QStringLiteral("r.dat"))).Code(), DataError::Busy);
    file.Close();
    EXPECT_TRUE(SharedFile::TryOpen(dir.File(QStringLiteral("r.dat"))));
    EXPECT_EQ(dir.Read(QStringLiteral("r.dat")), content);
    EXPECT_FALSE(QFile::exists(dir.File(QStringLiteral("r.dat.tmp"))));
    EXPECT_EQ(QDir(dir.Path()).entryList(QDir::Files), QStringList{QStringLiteral("r.dat")});
}

TEST_F(SharedFileTest, ReaderSkipsAMissingFileAndStopsAtAPartialTail)
{
    RecordReader missing(dir.File(QStringLiteral("none.dat")), 4);
    std::array<std::uint8_t, 4> record{};
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_FALSE(missing.Next(record));

    ASSERT_TRUE(dir.Write(QStringLiteral("r.dat"), {1, 2, 3, 4, 5, 6}));
    RecordReader reader(dir.File(QStringLiteral("r.dat")), 4);
    EXPECT_TRUE(reader.Next(record));
    EXPECT_EQ(record[3], 4);
    EXPECT_FALSE(reader.Next(record));
}

TEST(EventPumpWait, HandlesEventsUntilTwoHundredMillisecondsHavePassed)
{
    test::FakeClock clock;
    EventPumpWait pause(clock);
    int handled = 0;
    // Each event moves the clock on; the wait can only end by handling both.
    QTimer::singleShot(0, [&] {
        ++handled;
        clock.AdvanceMs(150);
        QTimer::singleShot(0, [&] {
            ++handled;
            clock.AdvanceMs(50);
        });
    });
    pause.Wait200ms();
    EXPECT_EQ(handled, 2);
    EXPECT_EQ(clock.NowMs(), 200U);
}

} // namespace
} // namespace pv
