// Listing a folder's setup files and loading exactly the picked one.
#include "exercises/levels/LevelsModel.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"

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
        return LevelsModel(prompts, [this, loadSucceeds](const QString& name) {
            loaded.push_back(name);
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

TEST(LevelsModel, ShownNameIsTheFileNameUpToItsFirstDot)
{
    EXPECT_EQ(SetupDisplayName(QStringLiteral("/a.dir/Easy chords.qib")),
              QStringLiteral("Easy chords"));
    EXPECT_EQ(SetupDisplayName(QStringLiteral("/x/v1.2.qib")), QStringLiteral("v1"));
    EXPECT_EQ(SetupDisplayName(QStringLiteral("plain")), QStringLiteral("plain"));
}

} // namespace
} // namespace pv
