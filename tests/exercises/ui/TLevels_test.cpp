// The setup chooser dialog lists a folder's setup files and loads exactly the one picked.
#include "exercises/ui/TLevels.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"
#include "support/TestOutput.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStringList>

#include <gtest/gtest.h>

namespace pv {
namespace {

class LevelsDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.IsValid());
        for (const char* name : {"a.b.qib", "X.QIB", "y.qib", "readme.txt"})
            ASSERT_TRUE(dir.Write(QString::fromLatin1(name), {0}));
        dialog.SetFolders(dir.Path(), dir.Path(), dir.Path());
    }

    QStringList Shown() const
    {
        QStringList shown;
        for (int i = 0; i < dialog.ListBox2->count(); ++i)
            shown << dialog.ListBox2->item(i)->text();
        return shown;
    }

    void Pick(int row)
    {
        dialog.ListBox2->setCurrentRow(row);
        dialog.ListBox2Click();
    }

    test::TempDir dir;
    test::ScriptedPrompts prompts;
    QStringList loaded;
    bool loadSucceeds = true;
    TLevels dialog{prompts, [this](const SetupEntry& file) {
                       loaded << file.FilePath;
                       return loadSucceeds;
                   }};
};

TEST_F(LevelsDialogTest, ActivationListsTheSetupFilesAndLeavesOkOff)
{
    dialog.show();
    EXPECT_EQ(Shown(),
              (QStringList{QStringLiteral("a"), QStringLiteral("X"), QStringLiteral("y")}));
    EXPECT_FALSE(dialog.BitBtn1->isEnabled());
    EXPECT_TRUE(dialog.BitBtn1->isDefault());
    EXPECT_TRUE(dialog.Label1->isHidden());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Choose an exercise setup"));

    Pick(1);
    EXPECT_TRUE(dialog.BitBtn1->isEnabled());
    dialog.FormActivate();
    EXPECT_FALSE(dialog.BitBtn1->isEnabled()) << "every activation starts without a choice";
    EXPECT_EQ(dialog.ListBox2->count(), 3);

    const QString file = test::TestOutputDir() + QStringLiteral("setup_chooser.png");
    Pick(0);
    EXPECT_TRUE(dialog.grab().save(file));
}

TEST_F(LevelsDialogTest, OkIsUsableExactlyWhileAnEntryIsSelected)
{
    dialog.show();
    EXPECT_FALSE(dialog.BitBtn1->isEnabled());
    Pick(1);
    EXPECT_TRUE(dialog.BitBtn1->isEnabled());
    // A Ctrl+click clears the selection and keeps the current row: OK must follow.
    dialog.ListBox2->clearSelection();
    ASSERT_EQ(dialog.ListBox2->currentRow(), 1);
    EXPECT_FALSE(dialog.BitBtn1->isEnabled());
    EXPECT_FALSE(dialog.Model().OkEnabled());
    dialog.BitBtn1Click();
    EXPECT_TRUE(loaded.isEmpty());
    EXPECT_TRUE(dialog.isVisible());

    // The keyboard selects as well as the mouse.
    dialog.ListBox2->item(2)->setSelected(true);
    EXPECT_TRUE(dialog.BitBtn1->isEnabled());
    dialog.BitBtn1Click();
    EXPECT_EQ(loaded, QStringList{dir.File(QStringLiteral("y.qib"))});
}

TEST_F(LevelsDialogTest, OkLoadsExactlyThePickedFile)
{
    struct Case
    {
        int row;
        const char* file;
    };
    const Case cases[] = {{0, "a.b.qib"}, {1, "X.QIB"}, {2, "y.qib"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        loaded.clear();
        dialog.show();
        Pick(c.row);
        dialog.BitBtn1Click();
        EXPECT_EQ(loaded, QStringList{dir.File(QString::fromLatin1(c.file))});
        EXPECT_EQ(dialog.result(), static_cast<int>(LevelsResult::Loaded));
        EXPECT_FALSE(dialog.isVisible());
    }
}

TEST_F(LevelsDialogTest, AFailedLoadAndCancelEndWithNotLoaded)
{
    dialog.show();
    loadSucceeds = false;
    Pick(2);
    dialog.ListBox2DblClick();
    EXPECT_EQ(loaded.size(), 1);
    EXPECT_EQ(dialog.result(), static_cast<int>(LevelsResult::NotLoaded));

    loaded.clear();
    dialog.show();
    dialog.BitBtn1Click();
    EXPECT_TRUE(loaded.isEmpty()) << "OK without a choice does nothing";
    EXPECT_TRUE(dialog.isVisible());
    dialog.BitBtn3->click();
    EXPECT_TRUE(loaded.isEmpty());
    EXPECT_EQ(dialog.result(), static_cast<int>(LevelsResult::NotLoaded));
}

TEST_F(LevelsDialogTest, OtherLoadsTheChosenFileAndItsCancelKeepsTheChooserOpen)
{
    dialog.show();
    prompts.texts = {std::nullopt, dir.File(QStringLiteral("y.qib"))};
    dialog.BitBtn2Click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(loaded.isEmpty());
    dialog.BitBtn2Click();
    EXPECT_EQ(loaded, QStringList{dir.File(QStringLiteral("y.qib"))});
    EXPECT_EQ(dialog.result(), static_cast<int>(LevelsResult::Loaded));
    ASSERT_EQ(prompts.asked.size(), 2U);
    EXPECT_EQ(prompts.asked[0].caption, QStringLiteral("Load Exercise Setup"));
}

TEST_F(LevelsDialogTest, HelpAsksForItsContext)
{
    int context = 0;
    dialog.SetHelp([&context](int c) { context = c; });
    dialog.BitBtn4->click();
    EXPECT_EQ(context, 160);
}

} // namespace
} // namespace pv
