// The tutor list: the tutors of a folder with their headers.
#include "TutorFixtures.h"
#include "shell/tutor/TutorList.h"
#include "support/TempDir.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace pv {
namespace {

TEST(TutorList, ScanFolderListsEveryTutorUnderItsTitleOrFileName)
{
    test::TempDir program;
    test::TempDir other;
    TutorFileData titled = test::LadderTutor();
    titled.Header.Description = QStringLiteral("About the ladder");
    TutorFileData untitled = test::LadderTutor();
    untitled.Header.Title.clear();
    const QString longName = QString(60, QLatin1Char('n')) + QStringLiteral(".TUT");
    for (const test::TempDir* dir : {&program, &other}) {
        ASSERT_TRUE(dir->Write(QStringLiteral("Ladder.tut"), test::Encoded(titled)));
        ASSERT_TRUE(dir->Write(longName, test::Encoded(untitled)));
        ASSERT_TRUE(dir->Write(QStringLiteral("Broken.tut"), {0, 'x'}));
        ASSERT_TRUE(dir->Write(QStringLiteral("Notes.txt"), test::Encoded(titled)));
        ASSERT_TRUE(QDir().mkpath(dir->File(QStringLiteral("Folder.tut"))));
    }
    const Folders folders{program.Path(), program.Path() + QStringLiteral("Data/")};

    // In the program folder entries carry bare names; elsewhere the whole path. A header cut
    // short and an empty title list the file under its name, cut to 50 characters.
    for (const test::TempDir* dir : {&program, &other}) {
        const bool bare = dir == &program;
        SCOPED_TRACE(bare ? "program folder" : "other folder");
        // The folder is given without its trailing slash, as a folder chooser returns it.
        const auto entries = ScanFolder(dir->Path().chopped(1), folders);
        ASSERT_EQ(entries.size(), 3u);
        const QString prefix = bare ? QString() : dir->Path();
        EXPECT_EQ(entries[0].Path, prefix + QStringLiteral("Broken.tut"));
        EXPECT_EQ(entries[0].Header.Title, QStringLiteral("Broken.tut"));
        EXPECT_EQ(entries[1].Path, prefix + QStringLiteral("Ladder.tut"));
        EXPECT_EQ(entries[1].Header.Title, QStringLiteral("Ladder"));
        EXPECT_EQ(entries[1].Header.Author, QStringLiteral("Teacher"));
        EXPECT_EQ(entries[1].Header.Description, QStringLiteral("About the ladder"));
        EXPECT_EQ(entries[2].Path, prefix + longName);
        EXPECT_EQ(entries[2].Header.Title, longName.left(50));

        EXPECT_EQ(SelectedPath(entries, 1), entries[1].Path);
        EXPECT_EQ(SelectedPath(entries, -1), std::nullopt);
        EXPECT_EQ(SelectedPath(entries, 3), std::nullopt);
    }
    EXPECT_TRUE(ScanFolder(program.File(QStringLiteral("Missing")), folders).empty());
}

TEST(TutorList, ReadHeaderFailsOnlyWhenTheFileCannotBeRead)
{
    test::TempDir dir;
    ASSERT_TRUE(dir.Write(QStringLiteral("A.tut"), test::Encoded(test::LadderTutor())));
    const auto header = ReadHeader(dir.File(QStringLiteral("A.tut")));
    ASSERT_TRUE(header.Ok());
    EXPECT_EQ(header.Value().Title, QStringLiteral("Ladder"));
    EXPECT_EQ(header.Value().StepCount(ExerciseKind::ChordIdentification), 2);

    const auto missing = ReadHeader(dir.File(QStringLiteral("B.tut")));
    ASSERT_FALSE(missing.Ok());
    EXPECT_EQ(missing.Code(), TutorError::CannotOpen);
    EXPECT_EQ(ReadHeader(dir.Path()).Code(), TutorError::CannotOpen);
    EXPECT_EQ(ReadHeader(QString()).Code(), TutorError::NoFile);
}

TEST(TutorList, TheUsersTutorTitleComesFromTheHeaderOfTheFileTheRecordNames)
{
    test::TempDir program;
    test::TempDir other;
    ASSERT_TRUE(program.Write(QStringLiteral("Ladder.tut"), test::Encoded(test::LadderTutor())));
    TutorFileData far = test::LadderTutor();
    far.Header.Title = QStringLiteral("Far away");
    ASSERT_TRUE(other.Write(QStringLiteral("Far.tut"), test::Encoded(far)));
    ASSERT_TRUE(program.Write(QStringLiteral("Short.tut"), {0, 'x'}));
    ASSERT_TRUE(QDir().mkpath(program.File(QStringLiteral("Folder.tut"))));
    const Folders folders{program.Path(), program.Path() + QStringLiteral("Data/")};

    struct Case
    {
        QString stored;
        QString title;
    };
    const Case cases[] = {
        {QStringLiteral("Ladder.tut"), QStringLiteral("Ladder")}, // a bare name: the program's
        {other.File(QStringLiteral("Far.tut")), QStringLiteral("Far away")},
        {QStringLiteral("Missing.tut"), QString()},
        {QStringLiteral("Folder.tut"), QString()},
        {QStringLiteral("Short.tut"), QString()}, // a header cut short holds no title
        {QStringLiteral("\\"), QString()},
        {QString(), QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.toStdString());
        TUserRec rec = DefaultUser();
        rec.TutorFileName = c.stored;
        EXPECT_EQ(UsersTutorTitle(folders, rec), c.title);
    }
}

} // namespace
} // namespace pv

namespace pv {
namespace {

TEST(TutorFileReading, OnlyRegularFilesOfATutorsSizeAreRead)
{
    test::TempDir dir;
    const auto bytes = test::Encoded(test::LadderTutor());
    ASSERT_TRUE(dir.Write(QStringLiteral("A.tut"), bytes));
    const QString path = dir.File(QStringLiteral("A.tut"));

    const auto whole = ReadTutorBytes(path);
    ASSERT_TRUE(whole.Ok());
    EXPECT_EQ(whole.Value(), bytes);
    // A file above the limit is refused unread; its header can still be listed.
    const auto tooLarge = ReadTutorBytes(path, bytes.size() - 1);
    ASSERT_FALSE(tooLarge.Ok());
    EXPECT_EQ(tooLarge.Code(), TutorError::TooLarge);
    const auto head = ReadTutorHead(path, kTutorHeaderSize);
    ASSERT_TRUE(head.Ok());
    EXPECT_EQ(head.Value().size(), kTutorHeaderSize);

    // A FIFO named like a tutor is no file to wait on.
    const QString fifo = dir.File(QStringLiteral("Pipe.tut"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(ReadTutorBytes(fifo).Code(), TutorError::CannotOpen);
    EXPECT_EQ(ReadHeader(fifo).Code(), TutorError::CannotOpen);
}

} // namespace
} // namespace pv

#include "shell/tutor/TutorListModel.h"
#include "support/ScriptedPrompts.h"

namespace pv {
namespace {

TEST(TutorListModel, ShowsTheProgramFolderAndAnotherOneChosenThroughTheFolderChooser)
{
    test::TempDir program;
    test::TempDir other;
    TutorFileData ladder = test::LadderTutor();
    ladder.Header.Description = QStringLiteral("About the ladder");
    ASSERT_TRUE(program.Write(QStringLiteral("Ladder.tut"), test::Encoded(ladder)));
    ASSERT_TRUE(other.Write(QStringLiteral("A.tut"), test::Encoded(ladder)));
    ASSERT_TRUE(other.Write(QStringLiteral("B.tut"), test::Encoded(ladder)));
    const Folders folders{program.Path(), program.Path() + QStringLiteral("Data/")};
    test::ScriptedPrompts prompts;
    TPathDialog chooser(prompts);
    TutorListModel model(folders);

    // A start folder that is no folder falls back to the program's.
    for (const QString& start : {QString(), program.File(QStringLiteral("Missing"))}) {
        model.Show(start);
        EXPECT_EQ(model.Folder(), program.Path());
        ASSERT_EQ(model.Entries().size(), 1u);
        EXPECT_EQ(model.Selected(), -1);
        EXPECT_EQ(model.SelectedPath(), std::nullopt);
        EXPECT_EQ(model.Description(), QString());
    }
    model.Select(0);
    EXPECT_EQ(model.SelectedPath(), QStringLiteral("Ladder.tut"));
    EXPECT_EQ(model.Description(), QStringLiteral("About the ladder"));
    EXPECT_EQ(model.Author(), QStringLiteral("Teacher"));
    model.Select(1);
    EXPECT_EQ(model.SelectedPath(), std::nullopt);

    // Cancelled: the folder, its list and the selection stay.
    model.Select(0);
    prompts.texts = {std::nullopt, other.Path().chopped(1)};
    EXPECT_FALSE(model.ChooseFolder(chooser));
    EXPECT_EQ(model.Folder(), program.Path());
    EXPECT_EQ(model.SelectedPath(), QStringLiteral("Ladder.tut"));

    // Chosen: the chooser starts at the folder shown; the new folder's tutors carry paths.
    ASSERT_TRUE(model.ChooseFolder(chooser));
    EXPECT_EQ(prompts.asked.back().text, program.Path().chopped(1));
    EXPECT_EQ(model.Folder(), other.Path().chopped(1));
    ASSERT_EQ(model.Entries().size(), 2u);
    EXPECT_EQ(model.Selected(), -1);
    model.Select(1);
    EXPECT_EQ(model.SelectedPath(), other.File(QStringLiteral("B.tut")));
}

} // namespace
} // namespace pv
