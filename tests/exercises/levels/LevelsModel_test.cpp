// Listing a folder's setup files and loading exactly the picked one.
#include "exercises/levels/LevelsModel.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QStringList>

#include <gtest/gtest.h>

namespace pv {
namespace {

class LevelsModelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.IsValid());
        for (const char* name : {"y.qib", "X.QIB", "a.b.qib", "notes.txt", "a.qib.bak", "m.Qib"})
            ASSERT_TRUE(dir.Write(QString::fromLatin1(name), {0x0d}));
    }

    LevelsModel MakeModel(bool loadSucceeds = true)
    {
        return LevelsModel(prompts, [this, loadSucceeds](const SetupEntry& file) {
            loaded.push_back(file.FilePath);
            return loadSucceeds;
        });
    }

    test::TempDir dir;
    test::ScriptedPrompts prompts;
    QStringList loaded;
};

TEST_F(LevelsModelTest, ListsSetupFilesOfAnyCaseSortedByTheirShownNames)
{
    const std::vector<SetupEntry> entries = ListSetupFiles(dir.Path());
    QStringList shown;
    QStringList files;
    for (const SetupEntry& e : entries) {
        shown << e.DisplayName;
        files << e.FilePath;
    }
    EXPECT_EQ(shown, (QStringList{QStringLiteral("a"), QStringLiteral("m"), QStringLiteral("X"),
                                  QStringLiteral("y")}));
    EXPECT_EQ(files,
              (QStringList{dir.File(QStringLiteral("a.b.qib")), dir.File(QStringLiteral("m.Qib")),
                           dir.File(QStringLiteral("X.QIB")), dir.File(QStringLiteral("y.qib"))}));
}

TEST_F(LevelsModelTest, LoadsExactlyThePickedFileAndReportsTheLoadsResult)
{
    LevelsModel model = MakeModel();
    model.Activate(dir.Path(), QStringLiteral("/nowhere/"));
    ASSERT_EQ(model.Entries().size(), 4U);

    // "a.b.qib" is shown as "a" and must load itself, not "a.qib"; "X.QIB" keeps its case.
    EXPECT_EQ(model.LoadEntry(0), LevelsResult::Loaded);
    EXPECT_EQ(model.LoadEntry(2), LevelsResult::Loaded);
    EXPECT_EQ(loaded, (QStringList{dir.File(QStringLiteral("a.b.qib")),
                                   dir.File(QStringLiteral("X.QIB"))}));
    EXPECT_EQ(model.LastFileName(), dir.File(QStringLiteral("X.QIB")));

    EXPECT_EQ(model.LoadEntry(-1), std::nullopt);
    EXPECT_EQ(model.LoadEntry(4), std::nullopt);
    EXPECT_EQ(loaded.size(), 2) << "no entry, no load";

    LevelsModel failing = MakeModel(false);
    failing.Activate(dir.Path(), QString());
    EXPECT_EQ(failing.LoadEntry(3), LevelsResult::NotLoaded);
}

TEST_F(LevelsModelTest, AMissingListFolderFallsBackToTheProgramFolder)
{
    test::TempDir empty;
    LevelsModel model = MakeModel();
    model.Activate(dir.File(QStringLiteral("gone")), empty.Path());
    EXPECT_EQ(model.Folder(), empty.Path());
    EXPECT_TRUE(model.Entries().empty());
    model.Activate(QString(), dir.Path());
    EXPECT_EQ(model.Entries().size(), 4U);
}

TEST_F(LevelsModelTest, TheShippedSetupsComeFirstThenTheUsersOwnOnce)
{
    test::TempDir own;
    ASSERT_TRUE(own.Write(QStringLiteral("Mine.qib"), {0x0d}));
    ASSERT_TRUE(own.Write(QStringLiteral("b.QIB"), {0x0d}));
    const auto listed = [](const std::vector<SetupEntry>& entries) {
        QStringList names;
        for (const SetupEntry& e : entries)
            names << (e.Own ? QStringLiteral("* ") : QString()) + e.DisplayName;
        return names;
    };
    const QStringList shipped = {QStringLiteral("a"), QStringLiteral("m"), QStringLiteral("X"),
                                 QStringLiteral("y")};
    const struct
    {
        const char* name;
        QString ownFolder;
        QString programFolder;
        QStringList shown;
    } cases[] = {
        {"both", own.Path(), dir.Path(),
         shipped + QStringList{QStringLiteral("* b"), QStringLiteral("* Mine")}},
        {"the user's folder is the program's", dir.Path(), dir.Path(), shipped},
        {"the same folder spelled otherwise", dir.Path() + QStringLiteral("./"), dir.Path(),
         shipped},
        {"no user's folder", QString(), dir.Path(), shipped},
        {"a user's folder that is gone", dir.File(QStringLiteral("gone/")), dir.Path(), shipped},
        {"no program folder",
         own.Path(),
         QStringLiteral("/nowhere/"),
         {QStringLiteral("* b"), QStringLiteral("* Mine")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(listed(ChooserSetups(c.ownFolder, c.programFolder)), c.shown);
        LevelsModel model = MakeModel();
        model.Activate(c.ownFolder, c.programFolder);
        EXPECT_EQ(model.HasOwnEntries(), c.shown.last().startsWith(u'*'));
    }
}

TEST_F(LevelsModelTest, OtherAsksInTheSetupFolderAndACancelLoadsNothing)
{
    LevelsModel model = MakeModel();
    prompts.texts = {std::nullopt, dir.File(QStringLiteral("y.qib")),
                     dir.File(QStringLiteral("fresh"))};
    EXPECT_EQ(model.AskOtherFile(dir.Path()), std::nullopt);
    ASSERT_EQ(prompts.asked.size(), 1U);
    EXPECT_EQ(prompts.asked[0].kind, QStringLiteral("open"));
    EXPECT_EQ(prompts.asked[0].caption, QStringLiteral("Load Exercise Setup"));

    EXPECT_EQ(model.AskOtherFile(dir.Path()), dir.File(QStringLiteral("y.qib")));
    EXPECT_EQ(model.AskOtherFile(dir.Path()), dir.File(QStringLiteral("fresh.qib")))
        << "a bare name means its setup file";
    EXPECT_TRUE(loaded.isEmpty());
}

TEST_F(LevelsModelTest, OkActsOnlyWhileAnEntryIsSelected)
{
    LevelsModel model = MakeModel();
    model.Activate(dir.Path(), QString());
    ASSERT_EQ(model.Entries().size(), 4U);
    EXPECT_FALSE(model.OkEnabled()) << "nothing is selected after an activation";
    EXPECT_EQ(model.LoadSelected(), std::nullopt);

    model.Select(2);
    EXPECT_TRUE(model.OkEnabled());
    EXPECT_EQ(model.Selected(), 2);
    for (int nothing : {-1, 4, 99}) {
        SCOPED_TRACE(nothing);
        model.Select(nothing);
        EXPECT_FALSE(model.OkEnabled());
        EXPECT_EQ(model.Selected(), -1);
        EXPECT_EQ(model.LoadSelected(), std::nullopt);
    }
    EXPECT_TRUE(loaded.isEmpty()) << "OK without a selection loads nothing";

    model.Select(1);
    model.Activate(dir.Path(), QString());
    EXPECT_FALSE(model.OkEnabled()) << "a new listing drops the old selection";
    model.Select(1);
    EXPECT_EQ(model.LoadSelected(), LevelsResult::Loaded);
    EXPECT_EQ(loaded, QStringList{dir.File(QStringLiteral("m.Qib"))});
}

// Writes a file whose name is given as raw bytes, which need not be valid UTF-8.
bool WriteNative(const QByteArray& path, const QByteArray& content)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, content.constData(), static_cast<std::size_t>(content.size())) ==
                    content.size();
    return ::close(fd) == 0 && ok;
}

QByteArray ReadNative(const QByteArray& path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK);
    if (fd < 0)
        return {};
    char buffer[64] = {};
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    ::close(fd);
    return n > 0 ? QByteArray(buffer, n) : QByteArray();
}

TEST(LevelsModel, ListsRegularFilesAndLinksToThemWhateverTheirNames)
{
    test::TempDir dir;
    ASSERT_TRUE(dir.IsValid());
    const QByteArray folder = QFile::encodeName(dir.Path());
    // "café" and "Übung" in Windows-1252, as files from older systems are named: no UTF-8.
    ASSERT_TRUE(WriteNative(folder + "caf\xe9.qib", "latin"));
    ASSERT_TRUE(WriteNative(folder + "\xdc"
                                     "bung.QIB",
                            "latin2"));
    ASSERT_TRUE(WriteNative(folder + "plain.qib", "plain"));
    ASSERT_TRUE(WriteNative(folder + ".qib", "bare"));
    ASSERT_TRUE(WriteNative(folder + "target.txt", "linked"));
    ASSERT_EQ(::symlink((folder + "target.txt").constData(), (folder + "link.qib").constData()), 0);
    ASSERT_EQ(
        ::symlink((folder + "missing.txt").constData(), (folder + "dangling.qib").constData()), 0);
    ASSERT_EQ(::mkfifo((folder + "pipe.qib").constData(), 0644), 0);
    ASSERT_EQ(::mkdir((folder + "folder.qib").constData(), 0755), 0);

    struct Expected
    {
        QString shown;
        QString fileName; ///< readable
        QByteArray content;
    };
    // No FIFO, no dangling link, no folder; every name readable, sorted by what is shown.
    const Expected expected[] = {
        {QStringLiteral(".qib"), QStringLiteral(".qib"), "bare"},
        {QStringLiteral("caf\u00e9"), QStringLiteral("caf\u00e9.qib"), "latin"},
        {QStringLiteral("link"), QStringLiteral("link.qib"), "linked"},
        {QStringLiteral("plain"), QStringLiteral("plain.qib"), "plain"},
        {QStringLiteral("\u00dcbung"), QStringLiteral("\u00dcbung.QIB"), "latin2"},
    };
    const std::vector<SetupEntry> entries = ListSetupFiles(dir.Path());
    QStringList shown;
    for (const SetupEntry& e : entries)
        shown << e.DisplayName;
    ASSERT_EQ(entries.size(), std::size(expected)) << shown.join(u',').toStdString();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(expected[i].fileName.toStdString());
        EXPECT_EQ(entries[i].DisplayName, expected[i].shown);
        EXPECT_EQ(entries[i].FilePath, dir.File(expected[i].fileName));
        // Each entry opens exactly its own file, by the bytes the system knows it by.
        EXPECT_EQ(ReadNative(entries[i].NativePath), expected[i].content);
    }
}

TEST(LevelsModel, AFileThatIsAllExtensionShowsItsWholeNameAndAnyNameReads)
{
    EXPECT_EQ(SetupDisplayName(QStringLiteral("/x/.qib")), QStringLiteral(".qib"));
    EXPECT_EQ(SetupDisplayName(QStringLiteral("/x/.hidden.qib")), QStringLiteral(".hidden.qib"));
    EXPECT_EQ(ReadableFileName(QByteArrayLiteral("caf\xc3\xa9")), QStringLiteral("caf\u00e9"));
    EXPECT_EQ(ReadableFileName(QByteArrayLiteral("caf\xe9")), QStringLiteral("caf\u00e9"));
    EXPECT_EQ(ReadableFileName(QByteArrayLiteral("\x80 5")), QStringLiteral("\u20ac 5"));
}

TEST(LevelsModel, ShownNameIsTheFileNameUpToItsFirstDot)
{
    EXPECT_EQ(SetupDisplayName(QStringLiteral("/a.dir/Easy chords.qib")),
              QStringLiteral("Easy chords"));
    EXPECT_EQ(SetupDisplayName(QStringLiteral("/x/v1.2.qib")), QStringLiteral("v1"));
    EXPECT_EQ(SetupDisplayName(QStringLiteral("plain")), QStringLiteral("plain"));
}

} // namespace
} // namespace pv
