// The whole program's setup files: saving goes to the user's folder and never over a shipped
// setup.
#include "ShellProgramRun.h"

#include <QAction>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::Installation;
using test::ProgramRun;
using test::ScriptedPrompts;

std::vector<test::AskedPrompt> Asked(const ScriptedPrompts& prompts, const QString& kind)
{
    std::vector<test::AskedPrompt> found;
    for (const test::AskedPrompt& p : prompts.asked) {
        if (p.kind == kind)
            found.push_back(p);
    }
    return found;
}

TEST(ShellSetupFiles, SaveSetupAsStartsInTheUsersFolderAndRefusesTheShippedSetup)
{
    Installation installation;
    const std::vector<std::uint8_t> shipped =
        installation.program.Read(QStringLiteral("Default_level.qib"));
    const QString userFolder = installation.ProgramFolders().DataFolder;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann")};
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    ASSERT_EQ(run.program.Setup().SetupFileName, installation.DefaultSetupPath());
    QAction* saveAs = run.Window().Action(MainControl::Gemopstning1);
    ASSERT_NE(saveAs, nullptr);
    ASSERT_TRUE(saveAs->isEnabled());

    // The shipped setup chosen as the target, by its name and by its name without the
    // extension: both refused, and the dialog comes back; then the user gives up.
    prompts.asked.clear();
    prompts.texts = {installation.DefaultSetupPath(),
                     installation.program.File(QStringLiteral("Default_level"))};
    saveAs->trigger();
    const std::vector<test::AskedPrompt> dialogs = Asked(prompts, QStringLiteral("save"));
    ASSERT_EQ(dialogs.size(), 3U);
    for (const test::AskedPrompt& dialog : dialogs) {
        EXPECT_TRUE(dialog.text.startsWith(userFolder + QLatin1Char('|')))
            << "the user's folder, no name chosen: " << dialog.text.toStdString();
    }
    const std::vector<test::AskedPrompt> errors = Asked(prompts, QStringLiteral("error"));
    ASSERT_EQ(errors.size(), 2U);
    EXPECT_TRUE(errors.front().text.contains(QStringLiteral("Default_level.qib")));
    EXPECT_EQ(installation.program.Read(QStringLiteral("Default_level.qib")), shipped);
    EXPECT_EQ(run.program.Setup().SetupFileName, installation.DefaultSetupPath());

    // A name of the user's own is saved in the user's folder, and the next save proposes it.
    prompts.asked.clear();
    prompts.texts = {userFolder + QStringLiteral("Mine")};
    saveAs->trigger();
    EXPECT_EQ(prompts.Count(QStringLiteral("error")), 0);
    EXPECT_EQ(run.program.Setup().SetupFileName, userFolder + QStringLiteral("Mine.qib"));
    EXPECT_TRUE(QFileInfo::exists(userFolder + QStringLiteral("Mine.qib")));
    prompts.asked.clear();
    saveAs->trigger();
    ASSERT_EQ(prompts.Count(QStringLiteral("save")), 1);
    EXPECT_TRUE(prompts.asked.front().text.startsWith(userFolder + QStringLiteral("Mine.qib|")));
    EXPECT_TRUE(run.Close());
}

} // namespace
} // namespace pv
