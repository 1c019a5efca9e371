// The user information command in the whole program: the new name is stored, and a store that
// fails is said.
#include "ShellProgramRun.h"
#include "support/DataFolderCopy.h"
#include "support/FileSizeLimit.h"

#include <QAction>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::Installation;
using test::ProgramRun;
using test::ScriptedPrompts;

TEST(UserInformation, ANewNameIsStoredAndAStoreThatFailsIsSaid)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann Example")};
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    QAction* userInfo = run.Window().Action(MainControl::Userinfo1);
    ASSERT_NE(userInfo, nullptr);

    prompts.texts = {QStringLiteral("Bo Example")};
    userInfo->trigger();
    EXPECT_EQ(prompts.Count(QStringLiteral("error")), 0);
    {
        test::DataFolderCopy files(installation.ProgramFolders());
        const std::optional<TUserRec> stored = files.User(1);
        ASSERT_TRUE(stored);
        EXPECT_EQ(stored->FullName, QStringLiteral("Bo Example"));
    }

    // A full disk: User.dat cannot take the record.
    prompts.texts = {QStringLiteral("Cy Example")};
    {
        test::FileSizeLimit full(1);
        ASSERT_TRUE(full.Set());
        userInfo->trigger();
    }
    ASSERT_EQ(prompts.Count(QStringLiteral("error")), 1) << "the failed store is said";
    const QString& said = prompts.asked.back().text;
    EXPECT_TRUE(said.contains(QStringLiteral("User.dat"))) << said.toStdString();
    EXPECT_TRUE(said.startsWith(run.program.Strings().StrUserFile)) << said.toStdString();
    // The name stays for this run (closing stores the record again); the file keeps the last
    // one it took.
    EXPECT_EQ(run.program.App().Users.CurrentUser->Record.FullName, QStringLiteral("Cy Example"));
    test::DataFolderCopy files(installation.ProgramFolders());
    EXPECT_EQ(files.User(1)->FullName, QStringLiteral("Bo Example"));
}

} // namespace
} // namespace pv
