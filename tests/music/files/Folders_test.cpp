#include "music/files/Folders.h"
#include "support/QStringPrinting.h"
#include "support/TempDir.h"

#include <functional>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace pv {
namespace {

/// Runs check (giving 0 for success) as an unprivileged user: when this process is root, in a
/// child process with the ids of "nobody"; otherwise here. Its result, or -1 when the ids
/// could not be dropped or the child died.
int RunAsUnprivilegedUser(const std::function<int()>& check)
{
    if (geteuid() != 0)
        return check();
    const pid_t child = fork();
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        const bool dropped = setgroups(0, nullptr) == 0 && setgid(kNobody) == 0 &&
                             setuid(kNobody) == 0 && geteuid() == kNobody;
        _exit(dropped ? check() : 3);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

class ScopedDataVariable
{
public:
    explicit ScopedDataVariable(const QString& value)
        : m_old(qEnvironmentVariable(kDataFolderVariable)),
          m_had(qEnvironmentVariableIsSet(kDataFolderVariable))
    {
        if (value.isNull())
            qunsetenv(kDataFolderVariable);
        else
            qputenv(kDataFolderVariable, value.toUtf8());
    }
    ~ScopedDataVariable()
    {
        if (m_had)
            qputenv(kDataFolderVariable, m_old.toUtf8());
        else
            qunsetenv(kDataFolderVariable);
    }

private:
    QString m_old;
    bool m_had;
};

TEST(Folders, DataFolderIsBesideAWritableProgramUnlessTheVariableOverridesIt)
{
    test::TempDir dir;
    const QString program = dir.Path() + QStringLiteral("Mixed Case");
    ASSERT_TRUE(QDir().mkpath(program));
    {
        ScopedDataVariable unset{QString()};
        const Folders folders = ChooseFolders(program);
        EXPECT_EQ(folders.ProgramFolder, program + QLatin1Char('/'));
        EXPECT_EQ(folders.DataFolder, program + QStringLiteral("/Data/"));
        EXPECT_EQ(ResultFolder(folders), program + QStringLiteral("/Data/Result/"));
    }
    {
        ScopedDataVariable set{dir.Path() + QStringLiteral("Elsewhere")};
        EXPECT_EQ(ChooseFolders(program).DataFolder, dir.Path() + QStringLiteral("Elsewhere/"));
    }
}

TEST(Folders, ProgramFolderThatCannotHoldDataKeepsDataInTheUsersLocation)
{
    test::TempDir dir;
    ScopedDataVariable unset{QString()};
    const auto expectUsersLocation = [](const Folders& folders, const QString& program) {
        EXPECT_FALSE(folders.DataFolder.startsWith(program)) << folders.DataFolder.toStdString();
        EXPECT_TRUE(folders.DataFolder.endsWith(QStringLiteral("/Data/")));
    };

    // A program "folder" that is a file holds nothing, whoever runs the program.
    const QString notAFolder = dir.Path() + QStringLiteral("pellivark.bin");
    ASSERT_TRUE(dir.Write(QStringLiteral("pellivark.bin"), {1, 2, 3}));
    expectUsersLocation(ChooseFolders(notAFolder), notAFolder);

    // A read-only installation folder. Root ignores folder permissions, so the check runs as
    // an unprivileged user.
    const QString program = dir.Path() + QStringLiteral("ro");
    ASSERT_TRUE(QDir().mkpath(program));
    const auto readOnly = QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                          QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(program, readOnly));
    ASSERT_TRUE(QFile::setPermissions(dir.Path(), readOnly | QFileDevice::WriteOwner));
    const int outcome = RunAsUnprivilegedUser([&] {
        if (QFileInfo(program).isWritable())
            return 2; // the permissions do not bind: the check would prove nothing
        const Folders folders = ChooseFolders(program);
        return !folders.DataFolder.startsWith(program) &&
                       folders.DataFolder.endsWith(QStringLiteral("/Data/"))
                   ? 0
                   : 1;
    });
    QFile::setPermissions(program,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(outcome, 0) << "1: data placed in the read-only folder, 2: permissions not bound";
}

TEST(Folders, InstalledBinaryTakesItsShareFolderAndKeepsDataWithTheUser)
{
    test::TempDir dir;
    const auto folder = [&dir](const char* path) {
        const QString made = dir.File(QString::fromUtf8(path));
        EXPECT_TRUE(QDir().mkpath(made));
        return made;
    };
    const QString build = folder("build/bin/");
    folder("build/bin/Language");
    const QString installed = folder("usr/bin/");
    const QString share = folder("usr/share/pellivark/");
    const QString portable = folder("opt/bin/");
    folder("opt/bin/Language");
    folder("opt/share/pellivark");
    const QString bare = folder("bare/bin/");
    const QString usersData = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
                              QStringLiteral("/Data/");
    const QString overridden = dir.File(QStringLiteral("elsewhere/"));
    EXPECT_EQ(InstalledProgramFolder(installed), share);

    const struct
    {
        const char* name;
        QString binary;
        QString variable;
        QString program;
        QString data;
    } cases[] = {
        {"a build folder", build, QString(), build, build + QStringLiteral("Data/")},
        // The prefix here is writable, as a prefix in the home folder or an install by root
        // is: the data still go to the user.
        {"an installation", installed, QString(), share, usersData},
        {"an installation with the data named", installed, overridden, share, overridden},
        {"a portable copy beside an installation", portable, QString(), portable,
         portable + QStringLiteral("Data/")},
        {"a binary alone", bare, QString(), bare, bare + QStringLiteral("Data/")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedDataVariable variable{c.variable};
        const Folders folders = ChooseFoldersOfBinary(c.binary);
        EXPECT_EQ(folders.ProgramFolder, c.program);
        EXPECT_EQ(folders.DataFolder, c.data);
    }
}

TEST(Folders, CreateDataFoldersMakesBothAndNamesTheOneThatFails)
{
    test::TempDir dir;
    Folders folders{dir.Path(), dir.Path() + QStringLiteral("New/Data/")};
    EXPECT_EQ(CreateDataFolders(folders), std::nullopt);
    EXPECT_TRUE(QFileInfo(folders.DataFolder + QStringLiteral("Result")).isDir());

    ASSERT_TRUE(dir.Write(QStringLiteral("blocker"), {1}));
    folders.DataFolder = dir.Path() + QStringLiteral("blocker/Data/");
    EXPECT_EQ(CreateDataFolders(folders), folders.DataFolder);
}

TEST(Folders, MakeAbsolutePathPrefixesOnlyBareNames)
{
    const Folders folders{QStringLiteral("/opt/Pellivark/"), QStringLiteral("/d/")};
    const struct
    {
        const char* name;
        const char* in;
        const char* out;
    } cases[] = {
        {"bare name", "Basic.tut", "/opt/Pellivark/Basic.tut"},
        {"absolute", "/home/u/My.qib", "/home/u/My.qib"},
        {"relative with folder", "Tutors/A.tut", "Tutors/A.tut"},
        {"windows path", "C:\\Setups\\A.qib", "C:/Setups/A.qib"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(MakeAbsolutePath(folders, QString::fromUtf8(c.in)), QString::fromUtf8(c.out));
    }
}

TEST(Folders, ShippedFilesAreThoseOfTheProgramFolderOutsideTheData)
{
    test::TempDir dir;
    const QString program = dir.File(QStringLiteral("program/"));
    const QString elsewhere = dir.File(QStringLiteral("elsewhere/"));
    ASSERT_TRUE(QDir().mkpath(program + QStringLiteral("Data/setups")));
    ASSERT_TRUE(QDir().mkpath(program + QStringLiteral("Language")));
    ASSERT_TRUE(QDir().mkpath(elsewhere));
    ASSERT_TRUE(dir.Write(QStringLiteral("program/Default_level.qib"), {1}));
    ASSERT_TRUE(QFile::link(program + QStringLiteral("Default_level.qib"),
                            program + QStringLiteral("Data/link.qib")));
    ASSERT_TRUE(QFile::link(program, elsewhere + QStringLiteral("program-link")));
    const Folders inside{program, program + QStringLiteral("Data/")};
    const Folders apart{program, elsewhere};
    const struct
    {
        const char* name;
        const Folders& folders;
        QString path;
        bool shipped;
    } cases[] = {
        {"the shipped setup", inside, program + QStringLiteral("Default_level.qib"), true},
        {"a new name beside it", inside, program + QStringLiteral("New.qib"), true},
        {"a language file", inside, program + QStringLiteral("Language/English.LAN"), true},
        {"the data folder inside it", inside, program + QStringLiteral("Data/setups/A.qib"), false},
        {"a link in the data folder to a shipped file", inside,
         program + QStringLiteral("Data/link.qib"), true},
        {"out of the data folder by ..", inside,
         program + QStringLiteral("Data/../Default_level.qib"), true},
        {"through a link to the program folder", apart,
         elsewhere + QStringLiteral("program-link/Default_level.qib"), true},
        {"the user's folder apart", apart, elsewhere + QStringLiteral("A.qib"), false},
        {"the program folder's data folder, when the data lie apart", apart,
         program + QStringLiteral("Data/setups/A.qib"), true},
        {"a folder that does not exist", apart, dir.File(QStringLiteral("gone/A.qib")), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(IsShippedFile(c.folders, c.path), c.shipped);
    }
}

TEST(Folders, CaseInsensitiveLookupPrefersTheExactSpelling)
{
    test::TempDir dir;
    ASSERT_TRUE(dir.Write(QStringLiteral("English.LAN"), {1}));
    EXPECT_EQ(FindFileCaseInsensitive(dir.Path(), QStringLiteral("english.lan")),
              dir.File(QStringLiteral("English.LAN")));
    EXPECT_EQ(FindFileCaseInsensitive(dir.Path(), QStringLiteral("Dansk.lan")), QString());

    ASSERT_TRUE(dir.Write(QStringLiteral("english.lan"), {2}));
    EXPECT_EQ(FindFileCaseInsensitive(dir.Path(), QStringLiteral("english.lan")),
              dir.File(QStringLiteral("english.lan")));
    EXPECT_EQ(FindFileCaseInsensitive(dir.Path(), QStringLiteral("English.LAN")),
              dir.File(QStringLiteral("English.LAN")));
}

TEST(Folders, GlobIgnoresCaseAndSortsDeterministically)
{
    test::TempDir dir;
    for (const char* name : {"b.LAN", "A.lan", "c.txt", "a.Lan", "Norsk.lan"})
        ASSERT_TRUE(dir.Write(QString::fromUtf8(name), {0}));
    ASSERT_TRUE(QDir().mkpath(dir.Path() + QStringLiteral("Folder.lan")));
    const QStringList expected{QStringLiteral("A.lan"), QStringLiteral("a.Lan"),
                               QStringLiteral("b.LAN"), QStringLiteral("Norsk.lan")};
    EXPECT_EQ(GlobCaseInsensitive(dir.Path(), QStringLiteral("*.lan")), expected);
}

} // namespace
} // namespace pv
