// The first show that finishes start-up, the data folders made at creation, the paths a user
// record keeps, and the question before closing.
#include "MainFixture.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

namespace pv::test {
namespace {

class FirstShow : public MainFixture
{
protected:
    FirstShow()
    {
        // A program that has never run here: no user in memory or on disk.
        app.Users.CurrentUser.reset();
        app.SetResultUser(nullptr);
        model.Lusk();
        model.UserRightsApplied = false;
        startMenu.welcome = QStringLiteral("Welcome");
    }

    /// A program start over the same folders: a new model whose memory holds nothing yet.
    void Restart()
    {
        app.Users.CurrentUser.reset();
        app.SetResultUser(nullptr);
        setup = SetupState{};
        log.lines.clear();
        prompts.asked.clear();
        model.Lusk();
    }

    QString BadSetup(const QString& name)
    {
        const QString path = ProgramFile(name);
        EXPECT_TRUE(Put(path, std::vector<std::uint8_t>(670, 0x5A)));
        return path;
    }

    std::optional<TUserRec> StoredUser()
    {
        const auto bytes = Bytes(data.UserFilePath());
        if (bytes.size() != kUserRecSize)
            return std::nullopt;
        return DecodeUserRec(bytes);
    }
};

TEST_F(FirstShow, TheFirstStartAsksTheNameAndWritesTheUser)
{
    ASSERT_TRUE(WriteSetup(ProgramFile(QStringLiteral("Default_level.qib"))));
    ui.userName = QStringLiteral("Annabel Catherine Featherstonehaugh-Smythe");
    model.FormShow();

    const auto user = StoredUser();
    ASSERT_TRUE(user.has_value());
    EXPECT_EQ(user->UserId, 1);
    EXPECT_EQ(user->FullName, ui.userName.left(31));
    EXPECT_EQ(ui.askedPrompt, QStringLiteral("Your name:"));
    // The settings apply before the name is asked, and only once.
    EXPECT_LT(log.At(QStringLiteral("settings.Apply")), log.At(QStringLiteral("ui.AskUserName")));
    EXPECT_EQ(log.Count(QStringLiteral("settings.Apply")), 1);
    // The new user's setup is the program's default level.
    EXPECT_TRUE(model.SetupLoaded());
    EXPECT_EQ(model.SetupFileName(), ProgramFile(QStringLiteral("Default_level.qib")));
    EXPECT_FALSE(log.Has(QStringLiteral("ui.SetupChooser")));
    // The splash, which stays on top, is gone before the name is asked; the start menu last.
    EXPECT_LT(log.At(QStringLiteral("ui.HideSplash")), log.At(QStringLiteral("ui.AskUserName")));
    EXPECT_LT(log.At(QStringLiteral("ui.StartMenu")), log.At(QStringLiteral("menu.Start")));
    EXPECT_EQ(log.lines.last(), QStringLiteral("ui.HideSplash"));
    EXPECT_FALSE(model.FirstShowPending);
    EXPECT_TRUE(model.UserRightsApplied);
    EXPECT_EQ(app.ResultUser(), app.Users.CurrentUser);
}

TEST_F(FirstShow, ASecondStartGreetsTheUserAndLoadsTheLastSetup)
{
    const QString level = ProgramFile(QStringLiteral("Intervals.qib"));
    ExerciseSetup own = DefaultExerciseSetup();
    own.IntervalIdentification.ItemFlags[20] = 1;
    ASSERT_TRUE(WriteSetup(level, own));
    ui.userName = QStringLiteral("Ann");
    model.FormShow();
    setup.SetupFileName = level;
    ASSERT_TRUE(model.FormCloseQuery());

    Restart();
    startMenu.welcome = QStringLiteral("Welcome");
    model.FormShow();
    EXPECT_FALSE(log.Has(QStringLiteral("ui.AskUserName")));
    EXPECT_EQ(log.Count(QStringLiteral("settings.Apply")), 1);
    EXPECT_TRUE(startMenu.welcome->startsWith(QStringLiteral("Welcome Ann")))
        << startMenu.welcome->toStdString();
    EXPECT_EQ(model.SetupFileName(), level);
    EXPECT_EQ(setup.CurrentSetup.IntervalIdentification, own.IntervalIdentification);
    EXPECT_FALSE(log.Has(QStringLiteral("ui.SetupChooser")));
    EXPECT_TRUE(prompts.asked.empty());
}

TEST_F(FirstShow, TheCommandLineSetupIsLoadedOnlyWhenItIsARegularSetupFile)
{
    const QString last = ProgramFile(QStringLiteral("last.qib"));
    ASSERT_TRUE(WriteSetup(last));
    ASSERT_TRUE(WriteSetup(ProgramFile(QStringLiteral("Upper.QIB"))));
    ASSERT_TRUE(WriteSetup(ProgramFile(QStringLiteral("setup.txt"))));
    ASSERT_TRUE(QDir(dir.Path()).mkpath(QStringLiteral("folder.qib")));
    BadSetup(QStringLiteral("damaged.qib"));
    ASSERT_EQ(mkfifo(QFile::encodeName(ProgramFile(QStringLiteral("pipe.qib"))).constData(), 0644),
              0);
    ASSERT_EQ(symlink("nowhere.qib",
                      QFile::encodeName(ProgramFile(QStringLiteral("dangling.qib"))).constData()),
              0);
    ASSERT_EQ(symlink("last.qib",
                      QFile::encodeName(ProgramFile(QStringLiteral("linked.qib"))).constData()),
              0);

    struct Case
    {
        QString argument;
        QString loaded; // empty: no file, the default setup
        bool chooser;
        const char* said = nullptr; ///< why the argument is passed over; null: nothing said
    };
    const Case cases[] = {
        {ProgramFile(QStringLiteral("Upper.QIB")), ProgramFile(QStringLiteral("Upper.QIB")), false},
        {ProgramFile(QStringLiteral("linked.qib")), ProgramFile(QStringLiteral("linked.qib")),
         false},
        {ProgramFile(QStringLiteral("setup.txt")), last, false, "does not end in \".qib\""},
        {ProgramFile(QStringLiteral("missing.qib")), last, false, "No such file"},
        {ProgramFile(QStringLiteral("dangling.qib")), last, false, "No such file"},
        {ProgramFile(QStringLiteral("folder.qib")), last, false, "a folder"},
        {ProgramFile(QStringLiteral("pipe.qib")), last, false, "a pipe"},
        {QString(), last, false},
        {QStringLiteral("\\"), last, false},
        // A setup file that does not load is the end of it: no other setup is tried.
        {ProgramFile(QStringLiteral("damaged.qib")), QString(), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.argument.toStdString());
        Restart();
        TUserRec user = DefaultUser();
        user.LastSetupFile = last;
        ASSERT_TRUE(WriteUser(data, user).Ok());
        model.SetCommandLineArgument(c.argument);
        model.FormShow();
        EXPECT_EQ(model.SetupFileName(), c.loaded);
        EXPECT_EQ(log.Has(QStringLiteral("ui.SetupChooser")), c.chooser);
        if (c.said == nullptr) {
            EXPECT_EQ(prompts.Count(QStringLiteral("error")), 0);
        } else {
            // Which file, and why, before the setup used last is taken.
            ASSERT_EQ(prompts.Count(QStringLiteral("error")), 1);
            const QString& text = prompts.asked.front().text;
            EXPECT_TRUE(text.contains(c.argument)) << text.toStdString();
            EXPECT_TRUE(text.contains(QString::fromLatin1(c.said))) << text.toStdString();
        }
        if (c.loaded.isEmpty()) {
            EXPECT_EQ(setup.CurrentSetup, DefaultExerciseSetup());
            EXPECT_EQ(windows.captions, QStringLiteral(" "));
        }
    }
}

TEST_F(FirstShow, ADamagedLastSetupFallsBackToTheChooserThenTheDefault)
{
    TUserRec user = DefaultUser();
    user.LastSetupFile = BadSetup(QStringLiteral("last.qib"));
    ASSERT_TRUE(WriteUser(data, user).Ok());
    setup.CurrentSetup.Scales.ItemFlags[3] = 1; // whatever was in memory before
    model.FormShow();
    EXPECT_TRUE(log.Has(QStringLiteral("ui.SetupChooser")));
    EXPECT_EQ(prompts.Count(QStringLiteral("info")), 1); // the damaged file is named as such
    EXPECT_EQ(setup.CurrentSetup, DefaultExerciseSetup());
    EXPECT_EQ(setup.SavedSetup, DefaultExerciseSetup());
    EXPECT_TRUE(model.SetupFileName().isEmpty());
    EXPECT_FALSE(model.SetupModified());
}

TEST_F(FirstShow, TheChoosersPickIsKept)
{
    const QString picked = ProgramFile(QStringLiteral("picked.qib"));
    ASSERT_TRUE(WriteSetup(picked));
    TUserRec user = DefaultUser();
    user.LastSetupFile = QStringLiteral("\\");
    ASSERT_TRUE(WriteUser(data, user).Ok());
    ui.onChooser = [&] { ASSERT_TRUE(model.Setup().LoadExerciseSetup(picked, false).Ok()); };
    model.FormShow();
    EXPECT_EQ(log.Count(QStringLiteral("ui.SetupChooser")), 1);
    EXPECT_EQ(model.SetupFileName(), picked);
    // No message about a missing file: "\" names none.
    EXPECT_TRUE(prompts.asked.empty());
}

TEST_F(FirstShow, AFirstRunWizardClosedWithOkSavesTheSettingsBeforeTheStartMenuStarts)
{
    for (bool ok : {false, true}) {
        SCOPED_TRACE(ok);
        Restart();
        QFile::remove(data.SettingsFilePath());
        wizard.pending = true;
        wizard.ok = ok;
        model.FormShow();
        EXPECT_LT(log.At(QStringLiteral("wizard.Show")), log.At(QStringLiteral("menu.Start")));
        EXPECT_FALSE(wizard.pending);
        EXPECT_EQ(SizeOf(data.SettingsFilePath()), ok ? 816 : 0);
    }
}

TEST_F(FirstShow, LaterShowsOnlyHideTheSplash)
{
    model.FormShow();
    log.lines.clear();
    model.FormShow();
    EXPECT_EQ(log.lines, QStringList{QStringLiteral("ui.HideSplash")});
}

TEST_F(FirstShow, CreationMakesTheDataFoldersOrSaysWhyNot)
{
    data.folders.DataFolder = dir.Path() + QStringLiteral("fresh/Data/");
    model.Lusk();
    EXPECT_TRUE(QFileInfo(data.folders.DataFolder).isDir());
    EXPECT_TRUE(QFileInfo(ResultFolder(data.folders)).isDir());
    EXPECT_TRUE(prompts.asked.empty());

    // A file stands where the folder should be.
    ASSERT_TRUE(Put(dir.Path() + QStringLiteral("blocked"), {1}));
    data.folders.DataFolder = dir.Path() + QStringLiteral("blocked/Data/");
    model.Lusk();
    ASSERT_EQ(prompts.Count(QStringLiteral("error")), 1);
    EXPECT_TRUE(prompts.asked[0].text.contains(QStringLiteral("blocked")));
    // The program runs on: the first show still finishes.
    model.FormShow();
    EXPECT_TRUE(log.Has(QStringLiteral("menu.Start")));
}

class StoredPaths : public MainFixture
{
};

TEST_F(StoredPaths, ALongPathIsKeptRelativeOrRefusedNeverCut)
{
    const QString deep = QStringLiteral("folder-of-setups-for-the-long-path/").repeated(4);
    struct Case
    {
        QString path;
        std::optional<QString> stored;
    };
    const QString outside = QStringLiteral("/elsewhere/") + deep + QStringLiteral("x.qib");
    const Case cases[] = {
        {QString(), QString()},
        {QStringLiteral("/home/ann/a.qib"), QStringLiteral("/home/ann/a.qib")},
        {dir.Path() + deep + QStringLiteral("x.qib"), deep + QStringLiteral("x.qib")},
        // The data folder lies in the program folder here, which is tried first.
        {data.folders.DataFolder + deep + QStringLiteral("y.qib"),
         QStringLiteral("Data/") + deep + QStringLiteral("y.qib")},
        {outside, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        EXPECT_EQ(model.StoredPathFor(c.path), c.stored);
    }
    // Stored relative, found again where it is.
    ASSERT_TRUE(QDir(data.folders.DataFolder).mkpath(deep));
    const QString inData = data.folders.DataFolder + deep + QStringLiteral("y.qib");
    ASSERT_TRUE(WriteSetup(inData));
    EXPECT_EQ(model.ResolveStoredPath(*model.StoredPathFor(inData)), inData);
    EXPECT_EQ(model.ResolveStoredPath(QStringLiteral("Default_level.qib")),
              dir.Path() + QStringLiteral("Default_level.qib"));
    EXPECT_TRUE(model.ResolveStoredPath(QStringLiteral("\\")).isEmpty());
    EXPECT_TRUE(model.ResolveStoredPath(QString()).isEmpty());
}

class CloseQuery : public MainFixture
{
protected:
    CloseQuery()
    {
        app.Users.CurrentUser->Record.LastSetupFile = QStringLiteral("before.qib");
        setup.SetupFileName = dir.Path() + QStringLiteral("now.qib");
        Click(1);
        for (int i = 0; i < 5; ++i)
            Answer(Kind(1), 2, i % 2 == 0);
        log.lines.clear();
    }
    std::optional<TUserRec> StoredUser()
    {
        TUserRec rec;
        rec.UserId = kUser;
        if (!ReadUserById(data, rec))
            return std::nullopt;
        return rec;
    }
};

TEST_F(CloseQuery, TheResultsQuestionDecidesWhatIsStoredAndWhetherItCloses)
{
    struct Case
    {
        PromptButton answer;
        bool closes;
        std::size_t records;
    };
    const Case cases[] = {
        {PromptButton::Cancel, false, 0},
        {PromptButton::No, true, 0},
        {PromptButton::Yes, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.answer));
        QFile::remove(data.UserFilePath());
        log.lines.clear();
        prompts.asked.clear();
        prompts.buttons = {c.answer};
        EXPECT_EQ(model.FormCloseQuery(), c.closes);
        ASSERT_EQ(prompts.Count(QStringLiteral("yesnocancel")), 1);
        EXPECT_EQ(StoredRecords().size(), c.records);
        EXPECT_EQ(StoredUser().has_value(), c.closes);
        EXPECT_EQ(log.Has(QStringLiteral("settings.Store 0")), c.closes);
        if (c.closes) {
            EXPECT_EQ(StoredUser()->LastSetupFile, setup.SetupFileName);
        }
    }
    // Stored once: the same answers are not offered again.
    prompts.asked.clear();
    EXPECT_TRUE(model.FormCloseQuery());
    EXPECT_EQ(prompts.Count(QStringLiteral("yesnocancel")), 0);
    EXPECT_EQ(StoredRecords().size(), 1U);
}

TEST_F(CloseQuery, AChangedSetupThatTheUserKeepsOpenStopsTheClose)
{
    setup.SetupModified = true;
    prompts.buttons = {PromptButton::No, PromptButton::Cancel};
    EXPECT_FALSE(model.FormCloseQuery());
    EXPECT_FALSE(StoredUser().has_value());
    EXPECT_FALSE(log.Has(QStringLiteral("settings.Store 0")));
}

TEST_F(CloseQuery, AnErrorLetsItClose)
{
    // Neither the results nor the user can be written. The user is asked whether to close
    // without the results, and No keeps the program open with them.
    ASSERT_TRUE(QDir(data.folders.DataFolder).removeRecursively());
    ASSERT_TRUE(Put(dir.Path() + QStringLiteral("Data"), {1}));
    prompts.buttons = {PromptButton::Yes, PromptButton::No};
    EXPECT_FALSE(model.FormCloseQuery());
    EXPECT_EQ(prompts.Count(QStringLiteral("yesno")), 1);
    EXPECT_FALSE(log.Has(QStringLiteral("settings.Store 0")));

    // Yes closes without them, and still stores what it can.
    prompts.asked.clear();
    prompts.buttons = {PromptButton::Yes, PromptButton::Yes};
    EXPECT_TRUE(model.FormCloseQuery());
    EXPECT_GE(prompts.Count(QStringLiteral("error")), 1);
    EXPECT_TRUE(log.Has(QStringLiteral("settings.Store 0")));

    // The results left unstored, No: the user record cannot be written either. It was
    // reported already and is not reported a second time; the close goes on all the same.
    prompts.asked.clear();
    prompts.buttons = {PromptButton::No};
    EXPECT_TRUE(model.FormCloseQuery());
    EXPECT_EQ(prompts.Count(QStringLiteral("error")), 0);
    EXPECT_TRUE(log.Has(QStringLiteral("settings.Store 0")));
}

TEST_F(CloseQuery, APathTooLongToStoreIsRefusedAndTheOldOneKept)
{
    setup.SetupFileName = QStringLiteral("/elsewhere/") +
                          QStringLiteral("long-folder/").repeated(20) + QStringLiteral("x.qib");
    prompts.buttons = {PromptButton::No};
    EXPECT_TRUE(model.FormCloseQuery());
    EXPECT_EQ(prompts.Count(QStringLiteral("error")), 1);
    EXPECT_EQ(StoredUser()->LastSetupFile, QStringLiteral("before.qib"));
}

TEST_F(CloseQuery, ATutorsItemTablesGiveWayToTheUsersBeforeClosing)
{
    scriptedTutor.backedUp = true;
    prompts.buttons = {PromptButton::No};
    EXPECT_TRUE(model.FormCloseQuery());
    EXPECT_TRUE(log.Has(QStringLiteral("tutor.RestoreItems")));
    EXPECT_LT(log.At(QStringLiteral("tutor.RestoreItems")),
              log.At(QStringLiteral("settings.Store 0")));
}

} // namespace
} // namespace pv::test
