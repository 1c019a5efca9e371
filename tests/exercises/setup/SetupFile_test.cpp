// Writing setup files: a write that cannot complete leaves the old file as it was and says why.
#include "exercises/setup/SetupFile.h"
#include "support/FileSizeLimit.h"
#include "support/TempDir.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::FileSizeLimit;

ExerciseSetup SetupWithLowestScale(std::uint8_t lowest)
{
    ExerciseSetup setup = DefaultExerciseSetup();
    StampSetupHeader(setup);
    setup.Scales.LowestNote = lowest;
    return setup;
}

TEST(SetupFile, AWriteThatRunsOutOfSpaceFailsAndKeepsTheOldFile)
{
    test::TempDir dir;
    ASSERT_TRUE(dir.IsValid());
    const QString name = dir.File(QStringLiteral("level.qib"));
    ASSERT_TRUE(WriteSetupFile(name, SetupWithLowestScale(40)).Ok());
    const std::vector<std::uint8_t> before = dir.Read(QStringLiteral("level.qib"));
    ASSERT_EQ(before.size(), kExerciseSetupSize);

    // Room for nothing, and room for part of the record: both are a full disk to the writer.
    for (rlim_t room : {rlim_t{0}, rlim_t{100}}) {
        SCOPED_TRACE(static_cast<unsigned long long>(room));
        Status<SetupFileError> written;
        {
            FileSizeLimit full(room);
            ASSERT_TRUE(full.Set());
            written = WriteSetupFile(name, SetupWithLowestScale(41));
        }
        ASSERT_FALSE(written.Ok()) << "a failed write reported as success";
        EXPECT_EQ(written.Code(), SetupFileError::WriteFailed);
        EXPECT_FALSE(written.Detail().isEmpty()) << "the system's reason";
        EXPECT_EQ(dir.Read(QStringLiteral("level.qib")), before);
        EXPECT_EQ(QDir(dir.Path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{QStringLiteral("level.qib")})
            << "no temporary file is left behind";
    }
    EXPECT_EQ(ReadSetupFile(name).Setup.Scales.LowestNote, 40);
}

TEST(SetupFile, OnlyRegularFilesAndLinksToThemAreReadAndNothingWaits)
{
    test::TempDir dir;
    ASSERT_TRUE(dir.IsValid());
    const QByteArray folder = QFile::encodeName(dir.Path());
    ASSERT_TRUE(
        WriteSetupFile(dir.File(QStringLiteral("real.qib")), SetupWithLowestScale(42)).Ok());
    ASSERT_EQ(::symlink((folder + "real.qib").constData(), (folder + "link.qib").constData()), 0);
    ASSERT_EQ(::symlink((folder + "gone.qib").constData(), (folder + "dangling.qib").constData()),
              0);
    // A FIFO nobody writes to: an open that waits for a writer would never return.
    ASSERT_EQ(::mkfifo((folder + "pipe.qib").constData(), 0644), 0);
    ASSERT_EQ(::mkdir((folder + "folder.qib").constData(), 0755), 0);

    const std::pair<const char*, SetupFileStatus> cases[] = {
        {"real.qib", SetupFileStatus::Loaded},         {"link.qib", SetupFileStatus::Loaded},
        {"dangling.qib", SetupFileStatus::CannotOpen}, {"pipe.qib", SetupFileStatus::CannotOpen},
        {"folder.qib", SetupFileStatus::CannotOpen},   {"missing.qib", SetupFileStatus::CannotOpen},
    };
    for (const auto& [name, status] : cases) {
        SCOPED_TRACE(name);
        const SetupFileRead read = ReadSetupFile(dir.File(QString::fromLatin1(name)));
        EXPECT_EQ(read.Status, status);
        if (status == SetupFileStatus::Loaded) {
            EXPECT_EQ(read.Setup.Scales.LowestNote, 42);
        }
        EXPECT_EQ(ReadSetupFileAt(folder + name).Status, status);
    }
}

} // namespace
} // namespace pv
