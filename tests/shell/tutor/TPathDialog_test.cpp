// The folder chooser: its folder before, during and after the question, its events and its
// status line.
#include "shell/tutor/TPathDialog.h"
#include "support/ScriptedPrompts.h"

#include <gtest/gtest.h>

namespace pv {
namespace {

TEST(TPathDialog, OneTrailingSeparatorIsDroppedButARootKeepsItsOwn)
{
    struct Case
    {
        QString given;
        QString stored;
    };
    const Case cases[] = {
        {"/home/ada/tutors/", "/home/ada/tutors"},
        {"/home/ada/tutors", "/home/ada/tutors"},
        {"/home/ada//", "/home/ada/"},
        {"/", "/"},
        {"C:\\Tutors\\", "C:\\Tutors"},
        {"C:\\", "C:\\"},
        {"", ""},
    };
    test::ScriptedPrompts prompts;
    TPathDialog dialog(prompts);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.given.toStdString());
        dialog.SetDirectory(c.given);
        EXPECT_EQ(dialog.Directory(), c.stored);
    }
}

TEST(TPathDialog, ExecuteStartsAtTheFolderAndTakesTheChosenOneAsGiven)
{
    struct Case
    {
        const char* name;
        std::optional<QString> answer;
        bool chosen;
        QString directory;
    };
    const Case cases[] = {
        {"a folder", QStringLiteral("/srv/tutors"), true, "/srv/tutors"},
        {"the root keeps its separator", QStringLiteral("/"), true, "/"},
        {"cancelled", std::nullopt, false, "/home/ada"},
        {"no folder chosen", QString(), false, "/home/ada"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::ScriptedPrompts prompts;
        prompts.texts = {c.answer};
        TPathDialog dialog(prompts);
        dialog.SetTitle(QStringLiteral("Where are the tutors?"));
        dialog.SetDirectory(QStringLiteral("/home/ada/"));
        int shown = 0;
        std::vector<QString> selected;
        dialog.OnShow = [&](TPathDialog& sender) {
            ++shown;
            EXPECT_TRUE(sender.IsOpen());
        };
        dialog.OnSelect = [&](TPathDialog&, const QString& path) { selected.push_back(path); };

        EXPECT_EQ(dialog.Execute(), c.chosen);
        EXPECT_EQ(dialog.Directory(), c.directory);
        EXPECT_FALSE(dialog.IsOpen());
        ASSERT_EQ(prompts.Count(QStringLiteral("folder")), 1);
        EXPECT_EQ(prompts.asked.back().text, QStringLiteral("/home/ada"));
        EXPECT_EQ(prompts.asked.back().caption, QStringLiteral("Where are the tutors?"));
        EXPECT_EQ(shown, 1);
        // Opened, the dialog is given the start folder once more.
        EXPECT_EQ(prompts.folderDialogCalls,
                  (std::vector<QString>{QStringLiteral("select /home/ada")}));
        EXPECT_EQ(selected, c.answer ? std::vector<QString>{*c.answer} : std::vector<QString>{});
    }
}

TEST(TPathDialog, ChangesWhileOpenReachTheDialogAndWhileClosedAreOnlyKept)
{
    for (const bool showStatus : {false, true}) {
        SCOPED_TRACE(showStatus ? "with a status line" : "without a status line");
        test::ScriptedPrompts prompts;
        prompts.texts = {QStringLiteral("/srv/b")};
        TPathDialog dialog(prompts);
        dialog.SetShowStatus(showStatus);
        dialog.SetStatusText(QStringLiteral("first"));
        dialog.SetDirectory(QStringLiteral("/srv/a"));
        EXPECT_TRUE(prompts.folderDialogCalls.empty());
        dialog.OnSelect = [](TPathDialog& sender, const QString& path) {
            sender.SetStatusText(QStringLiteral("at ") + path);
            sender.SetDirectory(QStringLiteral("/srv/c/"));
        };

        ASSERT_TRUE(dialog.Execute());
        std::vector<QString> expected{QStringLiteral("select /srv/a")};
        if (showStatus)
            expected.push_back(QStringLiteral("status first"));
        if (showStatus)
            expected.push_back(QStringLiteral("status at /srv/b"));
        expected.push_back(QStringLiteral("select /srv/c"));
        EXPECT_EQ(prompts.folderDialogCalls, expected);
        EXPECT_EQ(dialog.StatusText(), QStringLiteral("at /srv/b"));
        // The folder chosen is the answer, whatever was selected on the way.
        EXPECT_EQ(dialog.Directory(), QStringLiteral("/srv/b"));

        dialog.SetStatusText(QStringLiteral("closed"));
        dialog.SetDirectory(QStringLiteral("/srv/d"));
        EXPECT_EQ(prompts.folderDialogCalls, expected);
    }
}

} // namespace
} // namespace pv
