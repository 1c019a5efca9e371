// Export and import between two installations over temporary folders: the round trip byte for
// byte, the merge by key with another copy appending meanwhile, every message case, and damaged
// or foreign exports that leave the user's own files as they were.
#include "music/data/ResultFiles.h"
#include "music/data/UserFile.h"
#include "music/files/DaysSince1899.h"
#include "music/files/Unprivileged.h"
#include "shell/state/AppState.h"
#include "shell/transfer/ExportImport.h"
#include "support/NoWait.h"
#include "support/QStringPrinting.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"

#include <sys/stat.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::ScriptedPrompts;
using test::TempDir;

UIStringTable Texts()
{
    UIStringTable t;
    t.StrImportUserFormat = QStringLiteral("4020 %s / %s");
    t.StrImportMessage1 = QStringLiteral("4022 newer tutor");
    t.StrImportCopyFailed = QStringLiteral("4024 tutor copy failed");
    t.StrImportMessage2 = QStringLiteral("4026 no export");
    t.StrExportFormat = QStringLiteral("4112 make %s?");
    t.StrExportCopyFailed = QStringLiteral("5025 copy failed");
    t.StrMessageTitle = QStringLiteral("5005");
    t.StrProgramTitle = QStringLiteral("5007");
    t.StrSaveResultsCaption = QStringLiteral("5008");
    t.StrSaveResultsQuery = QStringLiteral("98 store?");
    t.StrFileNotFound = QStringLiteral("5010 missing");
    t.StrResultFile = QStringLiteral("result file");
    t.StrUserFile = QStringLiteral("user file");
    t.StrFileBusy = QStringLiteral("busy");
    return t;
}

class FakeRuns final : public IRunsToStore
{
public:
    bool TutorActive() const override { return tutor; }
    std::uint16_t KindsWithResults(int minimum) const override { return minimum == 5 ? kinds : 0; }
    Status<DataError> StoreResults(std::uint16_t stored) override
    {
        storedKinds = stored;
        if (store)
            store();
        return {};
    }
    void ResetAllClocks() override { ++resets; }
    bool tutor = false;
    std::uint16_t kinds = 0;
    std::uint16_t storedKinds = 0;
    int resets = 0;
    std::function<void()> store;
};

/// The system's files, with a free space and failing copies a test can set.
class TestFiles final : public ITransferFiles
{
public:
    std::optional<std::int64_t> FreeBytes(const QString& folder) const override
    {
        return free ? free : real.FreeBytes(folder);
    }
    bool Copy(const QString& from, const QString& to) override
    {
        copies.push_back(QFileInfo(to).fileName());
        if (!failing.isEmpty() && QFileInfo(to).fileName() == failing)
            return false;
        return real.Copy(from, to);
    }
    SystemTransferFiles real;
    std::optional<std::int64_t> free;
    QString failing;
    std::vector<QString> copies;
};

/// One installation: a program folder with the shipped tutor, a data folder, a user.
class Side
{
public:
    explicit Side(const QString& fullName)
        : data(Folders{program.Path(), program.Path() + QStringLiteral("Data/")}, prompts, wait,
               strings),
          model(TransferServices{data, app, prompts, strings, runs, files,
                                 [this] { return data.folders.DataFolder; },
                                 [this](const QString& stored) { return Resolve(stored); },
                                 [](const QString& path) { return std::optional<QString>(path); }})
    {
        CreateDataFolders(data.folders);
        auto user = std::make_shared<TUserInfo>();
        user->Record = DefaultUser();
        user->Record.UserId = 1;
        user->Record.FullName = fullName;
        app.Users.CurrentUser = user;
        app.SetResultUser(user);
        EXPECT_TRUE(WriteUser(data, user->Record));
    }

    QString Resolve(const QString& stored) const
    {
        if (stored.isEmpty() || stored == QStringLiteral("\\"))
            return {};
        return QDir::isAbsolutePath(stored) ? stored : data.folders.ProgramFolder + stored;
    }
    TUserRec& User() { return app.ResultUser()->Record; }
    void Store(int kind, double date, std::uint16_t score)
    {
        TResultRec r;
        r.UserId = 1;
        r.Kind = static_cast<std::uint16_t>(kind);
        r.DateTime = date;
        r.Score = score;
        r.Count = 10;
        ASSERT_TRUE(AppendResult(data, r));
    }
    QString ResultFile() { return ResultFileName(data, 1); }
    std::vector<std::uint8_t> ResultBytes() { return Read(ResultFile()); }
    std::vector<double> Dates()
    {
        std::vector<double> dates;
        const auto bytes = ResultBytes();
        for (std::size_t at = 0; at + kResultRecSize <= bytes.size(); at += kResultRecSize)
            dates.push_back(
                DecodeResultRec(std::span(bytes).subspan(at, kResultRecSize))->DateTime);
        return dates;
    }
    /// The user as User.dat holds it.
    TUserRec StoredUser()
    {
        TUserRec rec;
        rec.UserId = 1;
        EXPECT_TRUE(ReadUserById(data, rec));
        return rec;
    }
    static std::vector<std::uint8_t> Read(const QString& path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        const QByteArray bytes = file.readAll();
        return {bytes.begin(), bytes.end()};
    }
    static bool Write(const QString& path, const QByteArray& bytes, const QDateTime& when = {})
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush())
            return false;
        if (when.isValid())
            file.setFileTime(when, QFileDevice::FileModificationTime);
        return true;
    }

    TempDir program;
    ScriptedPrompts prompts;
    test::NoWait wait;
    const UIStringTable strings = Texts();
    DataFiles data;
    AppState app;
    FakeRuns runs;
    TestFiles files;
    ExportImportModel model;
};

class ExportImportTest : public ::testing::Test
{
protected:
    static QString Name(const char* given, const char* family)
    {
        return QString::fromLatin1(given) + QChar(kFullNameSeparator) + QString::fromLatin1(family);
    }
    QString Folder() const { return exportDir->Path(); }
    QString ExportFile(const char* name) const
    {
        return exportDir->File(QString::fromLatin1(name));
    }
    QStringList Asked(const Side& side) const
    {
        QStringList texts;
        for (const auto& a : side.prompts.asked)
            texts << a.text.section(u' ', 0, 0) + QLatin1Char('/') + a.caption;
        return texts;
    }

    const double today = TodayInDaysSince1899();
    const QDateTime lastYear = QDateTime::currentDateTime().addYears(-1);
    Side home{Name("Ann", "Berg")};
    Side school{Name("ann", "BERG")};
    std::unique_ptr<TempDir> exportDir = std::make_unique<TempDir>();
};

TEST_F(ExportImportTest, RoundTripBringsTheUserRecordAndResultsByteForByte)
{
    home.Store(1, today - 3, 7);
    home.Store(2, today - 2, 5);
    home.Store(5, today - 1, 80);
    ASSERT_TRUE(
        Side::Write(home.program.File(QStringLiteral("Ladder.tut")), "tutor bytes", lastYear));
    ASSERT_TRUE(Side::Write(home.program.File(QStringLiteral("Mine.qib")), "setup bytes"));
    home.User().TutorFileName = QStringLiteral("Ladder.tut");
    home.User().LastSetupFile = home.program.File(QStringLiteral("Mine.qib"));
    home.User().TutorSteps = {3, 2, 1, 1, 4, 1, 1, 1, 1, 1};
    home.User().TutorValues[0] = 77;

    ASSERT_TRUE(home.model.ExportUser(Folder()));
    EXPECT_TRUE(home.prompts.asked.empty());
    const auto record = EncodeUserRec(home.User());
    EXPECT_EQ(Side::Read(ExportFile(kExportUserFile)),
              std::vector<std::uint8_t>(record.begin(), record.end()));
    EXPECT_EQ(Side::Read(ExportFile(kExportResultFile)), home.ResultBytes());
    EXPECT_EQ(Side::Read(ExportFile("Ladder.tut")), Side::Read(home.program.File("Ladder.tut")));
    EXPECT_EQ(QFileInfo(ExportFile("Ladder.tut")).lastModified().toSecsSinceEpoch(),
              lastYear.toSecsSinceEpoch())
        << "a copy keeps its date";
    EXPECT_EQ(Side::Read(ExportFile("Mine.qib")), Side::Read(home.program.File("Mine.qib")));

    // The same name in other letters is the same user; the tutor is not here yet.
    ASSERT_TRUE(school.model.ImportUser(Folder()));
    EXPECT_TRUE(school.prompts.asked.empty());
    EXPECT_EQ(school.ResultBytes(), home.ResultBytes());
    const QString arrived = school.data.folders.DataFolder + QStringLiteral("Ladder.tut");
    EXPECT_EQ(Side::Read(arrived), Side::Read(home.program.File("Ladder.tut")));
    const TUserRec stored = school.StoredUser();
    EXPECT_EQ(stored.TutorFileName, arrived);
    EXPECT_EQ(stored.TutorSteps, home.User().TutorSteps);
    EXPECT_EQ(stored.TutorValues, home.User().TutorValues);
    EXPECT_EQ(stored.FullName, Name("ann", "BERG")) << "the user keeps its own name";
    EXPECT_FALSE(school.app.ResultUser()->Computed);

    // Importing the same export again adds nothing and asks nothing.
    const auto before = school.ResultBytes();
    ASSERT_TRUE(school.model.ImportUser(Folder()));
    EXPECT_EQ(school.ResultBytes(), before);
    EXPECT_TRUE(school.prompts.asked.empty());
}

TEST_F(ExportImportTest, ImportAddsOnlyMissingResultsAndKeepsWhatAnotherCopyAppendsMeanwhile)
{
    home.Store(1, today - 3, 7);
    home.Store(1, today - 2, 6);
    home.Store(2, today - 2, 5); // same time as the kind 1 run, another kind: another key
    home.Store(1, today - 1, 9);
    ASSERT_TRUE(home.model.ExportUser(Folder()));

    school.Store(1, today - 2, 6);   // already there
    school.Store(1, today - 0.5, 4); // the school's own
    // Another copy of the program holds the result file when the import wants to write it,
    // and appends a result before letting go.
    auto other = SharedFile::TryOpen(school.ResultFile());
    ASSERT_TRUE(other);
    school.wait.onWait = [&](int calls) {
        if (calls != 1)
            return;
        TResultRec appended;
        appended.UserId = 1;
        appended.Kind = 3;
        appended.DateTime = today - 0.25;
        const auto rec = EncodeResultRec(appended);
        ASSERT_TRUE(other.Value().WriteAt(2 * static_cast<std::int64_t>(kResultRecSize), rec));
        other.Value().Close();
    };

    ASSERT_TRUE(school.model.ImportUser(Folder()));
    EXPECT_EQ(school.Dates(), (std::vector<double>{today - 3, today - 2, today - 2, today - 1,
                                                   today - 0.5, today - 0.25}));
    EXPECT_EQ(school.wait.calls, 1);
    std::vector<int> kinds;
    const auto bytes = school.ResultBytes();
    for (std::size_t at = 0; at + kResultRecSize <= bytes.size(); at += kResultRecSize)
        kinds.push_back(DecodeResultRec(std::span(bytes).subspan(at, kResultRecSize))->Kind);
    EXPECT_EQ(kinds, (std::vector<int>{1, 1, 2, 1, 1, 3}));
}

TEST_F(ExportImportTest, DamagedOrForeignRecordsAreLeftOutAndCounted)
{
    home.Store(1, today - 1, 7);
    ASSERT_TRUE(home.model.ExportUser(Folder()));
    QByteArray bytes = QByteArray::fromStdString(
        std::string(reinterpret_cast<const char*>(Side::Read(ExportFile(kExportResultFile)).data()),
                    kResultRecSize));
    const auto foreign = [&](std::uint16_t user, std::uint16_t kind, double date) {
        TResultRec r;
        r.UserId = user;
        r.Kind = kind;
        r.DateTime = date;
        const auto rec = EncodeResultRec(r);
        bytes.append(reinterpret_cast<const char*>(rec.data()), static_cast<qsizetype>(rec.size()));
    };
    foreign(0, 1, today - 5);              // no user's
    foreign(1, 0, today - 6);              // no kind
    foreign(1, 11, today - 7);             // no kind
    foreign(9, 4, today - 8);              // another id: taken in as this user's
    bytes.append(QByteArray(100, '\x7f')); // a record cut short
    ASSERT_TRUE(Side::Write(ExportFile(kExportResultFile), bytes));

    ASSERT_TRUE(school.model.ImportUser(Folder()));
    EXPECT_EQ(school.Dates(), (std::vector<double>{today - 8, today - 1}));
    ASSERT_EQ(school.prompts.asked.size(), 1U);
    EXPECT_TRUE(school.prompts.asked[0].text.startsWith(QStringLiteral("4 "))) << "four left out";
    const auto stored = school.ResultBytes();
    EXPECT_EQ(DecodeResultRec(std::span(stored).subspan(0, kResultRecSize))->UserId, 1);
}

TEST_F(ExportImportTest, EveryRefusalHasItsMessageAndChangesNothing)
{
    home.Store(1, today - 1, 7);
    school.Store(2, today - 9, 1);
    struct Case
    {
        const char* what;
        std::function<void()> arrange;
        std::function<bool()> run;
        QStringList asked;
    };
    const auto exportFirst = [this] { ASSERT_TRUE(home.model.ExportUser(Folder())); };
    const Case cases[] = {
        {"no export in the folder",
         [] {},
         [this] { return school.model.ImportUser(Folder()); },
         {QStringLiteral("4026/5007")}},
        {"a user file of the wrong size",
         [this] { ASSERT_TRUE(Side::Write(ExportFile(kExportUserFile), QByteArray(600, 1))); },
         [this] { return school.model.ImportUser(Folder()); },
         {QStringLiteral("4026/5007")}},
        {"a relative folder",
         [] {},
         [this] { return school.model.ImportUser(QStringLiteral("export")); },
         {QStringLiteral("4026/5007")}},
        {"another user's export, not taken",
         [&] {
             exportFirst();
             school.User().FullName = Name("Bo", "Dahl");
             ASSERT_TRUE(WriteUser(school.data, school.User()));
             school.prompts.buttons = {PromptButton::No};
         },
         [this] { return school.model.ImportUser(Folder()); },
         {QStringLiteral("4020/5008")}},
        {"too little space",
         [this] { home.files.free = kExportSpaceNeeded - 1; },
         [this] { return home.model.ExportUser(Folder()); },
         {QStringLiteral("5025/5007")}},
        {"export to a relative folder",
         [] {},
         [this] { return home.model.ExportUser(QStringLiteral("A:\\")); },
         {QStringLiteral("5010/5007")}},
        {"a folder not to be made",
         [this] { home.prompts.buttons = {PromptButton::No}; },
         [this] { return home.model.ExportUser(Folder() + QStringLiteral("new/deeper")); },
         {QStringLiteral("4112/5008")}},
        {"the copy of the results fails",
         [this] { home.files.failing = QString::fromLatin1(kExportResultFile); },
         [this] { return home.model.ExportUser(Folder()); },
         {QStringLiteral("5025/5005")}},
        {"storing first, cancelled",
         [this] {
             home.runs.kinds = 1;
             home.prompts.buttons = {PromptButton::Cancel};
         },
         [this] { return home.model.ExportUser(Folder()); },
         {QStringLiteral("98/5008")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        exportDir = std::make_unique<TempDir>();
        home.prompts.asked.clear();
        school.prompts.asked.clear();
        home.files = {};
        home.runs = {};
        c.arrange();
        const TUserRec schoolUser = school.StoredUser();
        const auto schoolResults = school.ResultBytes();
        EXPECT_FALSE(c.run());
        QStringList asked = Asked(home);
        asked << Asked(school);
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(school.ResultBytes(), schoolResults) << "the user's results as they were";
        EXPECT_EQ(EncodeUserRec(school.StoredUser()), EncodeUserRec(schoolUser));
        EXPECT_EQ(home.runs.resets, 0);
        // Restore the school user's name for the next case.
        school.User().FullName = Name("ann", "BERG");
        ASSERT_TRUE(WriteUser(school.data, school.User()));
    }
}

TEST_F(ExportImportTest, ExportStoresTheRunsWhenAskedAndMakesAMissingFolder)
{
    home.runs.kinds = 0b11;
    home.runs.store = [this] { home.Store(1, today, 9); };
    home.prompts.buttons = {PromptButton::Yes, PromptButton::Yes};
    const QString folder = Folder() + QStringLiteral("stick/pellivark");
    ASSERT_TRUE(home.model.ExportUser(folder));
    EXPECT_EQ(Asked(home), (QStringList{QStringLiteral("4112/5008"), QStringLiteral("98/5008")}));
    EXPECT_EQ(home.runs.storedKinds, 0b11);
    EXPECT_EQ(home.runs.resets, 1);
    EXPECT_EQ(Side::Read(folder + QStringLiteral("/") + QString::fromLatin1(kExportResultFile)),
              home.ResultBytes());

    // In the tutor nothing is offered.
    home.prompts.asked.clear();
    home.runs.tutor = true;
    ASSERT_TRUE(home.model.ExportUser(folder));
    EXPECT_TRUE(home.prompts.asked.empty());
}

TEST_F(ExportImportTest, AUserWithoutResultsRemovesAnOldResultExport)
{
    ASSERT_TRUE(Side::Write(ExportFile(kExportResultFile), QByteArray(380, 3)));
    ASSERT_TRUE(home.model.ExportUser(Folder()));
    EXPECT_FALSE(QFile::exists(ExportFile(kExportResultFile)));
    EXPECT_TRUE(QFile::exists(ExportFile(kExportUserFile)));
}

TEST_F(ExportImportTest, ANewerTutorIsOfferedAndTheSameDateIsNot)
{
    // Both know the shipped "Ladder.tut"; the user's own copy lies in the school's data folder.
    const QString schoolCopy = school.data.folders.DataFolder + QStringLiteral("Ladder.tut");
    ASSERT_TRUE(Side::Write(schoolCopy, "old", lastYear));
    school.User().TutorFileName = schoolCopy;
    ASSERT_TRUE(WriteUser(school.data, school.User()));
    ASSERT_TRUE(
        Side::Write(home.program.File(QStringLiteral("Ladder.tut")), "new", lastYear.addDays(30)));
    home.User().TutorFileName = QStringLiteral("Ladder.tut");
    ASSERT_TRUE(home.model.ExportUser(Folder()));

    struct Case
    {
        const char* what;
        PromptButton answer;
        QDateTime local;
        bool asked;
        QByteArray after;
    };
    const Case cases[] = {
        {"newer, not taken", PromptButton::No, lastYear, true, "old"},
        {"same date, not offered", PromptButton::Yes, lastYear.addDays(30), false, "old"},
        {"newer, taken", PromptButton::Yes, lastYear, true, "new"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(Side::Write(schoolCopy, "old", c.local));
        school.prompts.asked.clear();
        school.prompts.buttons = {c.answer};
        EXPECT_TRUE(school.model.ImportUser(Folder()));
        EXPECT_EQ(Asked(school).contains(QStringLiteral("4022/5008")), c.asked);
        const auto content = Side::Read(schoolCopy);
        EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(content.data()),
                             static_cast<qsizetype>(content.size())),
                  c.after);
        EXPECT_EQ(school.StoredUser().TutorFileName, schoolCopy);
    }
}

TEST_F(ExportImportTest, AShippedTutorIsNeverWrittenANewerCopyGoesToTheUsersFolder)
{
    const QString shipped = school.program.File(QStringLiteral("Ladder.tut"));
    ASSERT_TRUE(Side::Write(shipped, "shipped", lastYear));
    ASSERT_TRUE(
        Side::Write(home.program.File(QStringLiteral("Ladder.tut")), "newer", lastYear.addDays(1)));
    home.User().TutorFileName = QStringLiteral("Ladder.tut");
    home.User().TutorSteps[0] = 4;
    ASSERT_TRUE(home.model.ExportUser(Folder()));

    // Not chosen yet at the school: found in the program folder, named by its bare name.
    school.prompts.buttons = {PromptButton::No};
    ASSERT_TRUE(school.model.ImportUser(Folder()));
    EXPECT_EQ(school.StoredUser().TutorFileName, QStringLiteral("Ladder.tut"));
    EXPECT_EQ(school.StoredUser().TutorSteps[0], 4);

    school.prompts.buttons = {PromptButton::Yes};
    ASSERT_TRUE(school.model.ImportUser(Folder()));
    const auto content = Side::Read(shipped);
    EXPECT_EQ(std::string(content.begin(), content.end()), "shipped");
    const QString copy = school.data.folders.DataFolder + QStringLiteral("Ladder.tut");
    const auto copied = Side::Read(copy);
    EXPECT_EQ(std::string(copied.begin(), copied.end()), "newer");
    EXPECT_EQ(school.StoredUser().TutorFileName, copy);
}

TEST_F(ExportImportTest, TutorNamesFromTheExportCannotLeaveTheUsersFolder)
{
    struct Case
    {
        const char* stored;
        const char* name;
    };
    const Case cases[] = {
        {"C:\\Pellivark\\Ladder.tut", "Ladder.tut"},
        {"../../../etc/Ladder.tut", "Ladder.tut"},
        {"sub/..", ""},
        {".", ""},
        {"\\", ""},
        {"", ""},
        {"bad\x01name.tut", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        EXPECT_EQ(TransferFileName(QString::fromLatin1(c.stored)), QString::fromLatin1(c.name));
    }

    // No tutor in the export: the user's own stays, and nothing is copied.
    school.User().TutorFileName = QStringLiteral("Mine.tut");
    ASSERT_TRUE(WriteUser(school.data, school.User()));
    home.User().TutorFileName = QStringLiteral("\\");
    ASSERT_TRUE(home.model.ExportUser(Folder()));
    ASSERT_TRUE(school.model.ImportUser(Folder()));
    EXPECT_EQ(school.StoredUser().TutorFileName, QStringLiteral("Mine.tut"));
    EXPECT_TRUE(school.files.copies.empty());
}

TEST_F(ExportImportTest, AFailedTutorCopyIsToldAndLeavesTheUserAsItWas)
{
    ASSERT_TRUE(Side::Write(home.program.File(QStringLiteral("Ladder.tut")), "tutor"));
    home.User().TutorFileName = QStringLiteral("Ladder.tut");
    home.User().TutorSteps[0] = 5;
    home.Store(1, today - 1, 7);
    ASSERT_TRUE(home.model.ExportUser(Folder()));
    school.files.failing = QStringLiteral("Ladder.tut");
    const TUserRec before = school.StoredUser();
    EXPECT_FALSE(school.model.ImportUser(Folder()));
    EXPECT_EQ(Asked(school), QStringList{QStringLiteral("4024/5007")});
    EXPECT_EQ(EncodeUserRec(school.StoredUser()), EncodeUserRec(before));
    EXPECT_EQ(school.Dates(), std::vector<double>{today - 1}) << "the results still came";
}

TEST_F(ExportImportTest, AFolderThatCannotBeWrittenIsToldAndNothingChanges)
{
    home.Store(1, today - 1, 7);
    const QString locked = Folder() + QStringLiteral("locked");
    ASSERT_TRUE(QDir().mkpath(locked));
    ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0555), 0);
    const auto results = home.ResultBytes();
    bool exported = true;
    {
        test::ActAsUnprivileged unprivileged(Folder());
        if (!unprivileged.Binding())
            GTEST_SKIP() << "permissions do not bind here";
        exported = home.model.ExportUser(locked);
    }
    EXPECT_FALSE(exported);
    ASSERT_EQ(home.prompts.asked.size(), 1U);
    EXPECT_EQ(home.prompts.asked[0].kind, QStringLiteral("error"));
    EXPECT_TRUE(home.prompts.asked[0].text.contains(QString::fromLatin1(kExportUserFile)));
    EXPECT_EQ(home.ResultBytes(), results);
    EXPECT_TRUE(QDir(locked).isEmpty());
}

TEST_F(ExportImportTest, AFailedMergeKeepsTheUsersResults)
{
    home.Store(1, today - 3, 7);
    ASSERT_TRUE(home.model.ExportUser(Folder()));
    school.Store(2, today - 1, 1);
    const auto before = school.ResultBytes();
    // Another copy holds the file, and the user gives up waiting.
    auto other = SharedFile::TryOpen(school.ResultFile());
    ASSERT_TRUE(other);
    school.prompts.buttons = {PromptButton::Ok};
    EXPECT_FALSE(school.model.ImportUser(Folder()));
    other.Value().Close();
    EXPECT_EQ(school.ResultBytes(), before);
    const ResultEntries* held = school.app.HeldResults();
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(held->size(), 1U) << "the list is the file's again";
}

} // namespace
} // namespace pv
