// Bad input, refused permissions, special files and several running copies against the data
// files: each must fail with the reason, say it once, and lose nothing.
#include "DataFixture.h"
#include "Unprivileged.h"
#include "music/data/ClassFile.h"
#include "music/data/ResultFiles.h"
#include "music/data/SettingsFile.h"
#include "music/data/UserFile.h"
#include "music/data/UserItemFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

namespace pv {
namespace {

class DataSafetyTest : public test::DataFixture
{
protected:
    static TResultRec Result(std::uint16_t user, double when)
    {
        TResultRec r;
        r.UserId = user;
        r.Kind = 1;
        r.DateTime = when;
        return r;
    }
    static std::vector<double> ListDates(const ResultLists& state)
    {
        std::vector<double> dates;
        for (const auto& entry : *state.ResultList)
            dates.push_back(entry.Object->Record.DateTime);
        return dates;
    }
    static void Forbid(const QString& path)
    {
        ASSERT_EQ(chmod(QFile::encodeName(path).constData(), 0), 0);
    }
    static void Allow(const QString& path)
    {
        ASSERT_EQ(chmod(QFile::encodeName(path).constData(), 0644), 0);
    }
    static void MakeFifo(const QString& path)
    {
        ASSERT_EQ(mkfifo(QFile::encodeName(path).constData(), 0644), 0);
    }
    /// The one error box shown, which must name the file.
    void ExpectOneErrorNaming(const QString& path, const QString& reason)
    {
        ASSERT_EQ(prompts.Count(QStringLiteral("error")), 1);
        EXPECT_EQ(prompts.Count(QStringLiteral("okretry")), 0);
        const QString& text = prompts.asked.front().text;
        EXPECT_TRUE(text.contains(QDir::toNativeSeparators(path))) << text.toStdString();
        EXPECT_TRUE(text.contains(reason)) << text.toStdString();
        EXPECT_EQ(prompts.asked.front().caption, QStringLiteral("Error"));
    }
    static QString Reason(int errorNumber) { return QString::fromLocal8Bit(strerror(errorNumber)); }
};

/// Every writer on a file of its own, with what the file held before.
struct WriterCase
{
    const char* name;
    QString (*path)(DataFiles&);
    Status<DataError> (*write)(DataFiles&, test::HeldRecords&);
    const char* message;
};

const WriterCase kWriters[] = {
    {"user", [](DataFiles& d) { return d.UserFilePath(); },
     [](DataFiles& d, test::HeldRecords&) {
         TUserRec rec = DefaultUser();
         rec.UserId = 2;
         return WriteUser(d, rec);
     },
     "User file"},
    {"settings", [](DataFiles& d) { return d.SettingsFilePath(); },
     [](DataFiles& d, test::HeldRecords& h) { return SaveSettings(d, h.settings, 2); },
     "Settings file"},
    {"result", [](DataFiles& d) { return ResultFileName(d, 2); },
     [](DataFiles& d, test::HeldRecords&) {
         TResultRec rec;
         rec.UserId = 2;
         rec.DateTime = 1;
         return AppendResult(d, rec);
     },
     "Result file"},
    {"items", [](DataFiles& d) { return d.ChordFilePath(); },
     [](DataFiles& d, test::HeldRecords& h) {
         ItemSlotTables tables;
         tables.SetSlot(1, 40, {3, {}, QStringLiteral("x")}, true);
         return SaveUserChords(d, h.loaded, tables);
     },
     "Item file"},
};

TEST_F(DataSafetyTest, AFileRefusedForItsPermissionsIsReportedOnceWithoutTheBusyQuestion)
{
    for (const WriterCase& c : kWriters) {
        SCOPED_TRACE(c.name);
        prompts.asked.clear();
        wait.calls = 0;
        const QString path = c.path(data);
        ASSERT_TRUE(Put(path, {1, 2, 3}));
        Forbid(path);
        Status<DataError> written;
        {
            test::ActAsUnprivileged unprivileged(dir.Path());
            ASSERT_TRUE(unprivileged.Binding());
            written = c.write(data, held);
        }
        ASSERT_FALSE(written);
        EXPECT_EQ(written.Code(), DataError::PermissionDenied);
        EXPECT_EQ(written.Detail(), Reason(EACCES));
        EXPECT_EQ(wait.calls, 0);
        ExpectOneErrorNaming(path, Reason(EACCES));
        EXPECT_TRUE(prompts.asked.front().text.startsWith(QString::fromLatin1(c.message)));
        Allow(path);
        EXPECT_EQ(Bytes(path), (std::vector<std::uint8_t>{1, 2, 3}));
    }
}

TEST_F(DataSafetyTest, AMissingFolderIsMadeAndOneThatCannotBeIsReportedOnce)
{
    QDir(data.folders.DataFolder).removeRecursively();
    TUserRec anna = DefaultUser();
    anna.UserId = 1;
    ASSERT_TRUE(WriteUser(data, anna));
    EXPECT_TRUE(prompts.asked.empty());

    ASSERT_TRUE(dir.Write(QStringLiteral("blocker"), {1}));
    data.folders.DataFolder = dir.Path() + QStringLiteral("blocker/Data/");
    const auto written = WriteUser(data, anna);
    ASSERT_FALSE(written);
    EXPECT_EQ(written.Code(), DataError::MissingFolder);
    EXPECT_EQ(wait.calls, 0);
    ExpectOneErrorNaming(data.UserFilePath(), Reason(ENOTDIR));
}

TEST_F(DataSafetyTest, ARewriteNeverWritesThroughAPlantedTemporaryLink)
{
    const QString outside = dir.File(QStringLiteral("outside.txt"));
    ASSERT_TRUE(dir.Write(QStringLiteral("outside.txt"), {42, 42}));
    for (const QString& name : {ResultFileName(data, 5), data.ChordFilePath()}) {
        SCOPED_TRACE(name.toStdString());
        ASSERT_EQ(symlink(QFile::encodeName(outside).constData(),
                          QFile::encodeName(ReplacementFileName(name)).constData()),
                  0);
    }
    // Leftovers of rewrites that were killed: a file and a link of the names new files get.
    ASSERT_TRUE(Put(ResultFileName(data, 5) + QStringLiteral(".tmpAbC123"), {7}));
    ASSERT_EQ(
        symlink(QFile::encodeName(outside).constData(),
                QFile::encodeName(data.ChordFilePath() + QStringLiteral(".tmpZZZZZZ")).constData()),
        0);
    ASSERT_TRUE(AppendResult(data, Result(5, 10)));
    ASSERT_TRUE(AppendResult(data, Result(5, 20)));
    ASSERT_TRUE(PurgeResults(data, 5, 15));
    ItemSlotTables tables;
    tables.SetSlot(1, 40, {3, {}, QStringLiteral("mine")}, true);
    ASSERT_TRUE(SaveUserChords(data, loadedItems, tables));

    EXPECT_EQ(Bytes(outside), (std::vector<std::uint8_t>{42, 42}));
    EXPECT_EQ(StoredDates(5), std::vector<double>{20});
    EXPECT_EQ(SizeOf(data.ChordFilePath()), static_cast<std::int64_t>(kUserChordRecSize));
    // Nothing of the rewrites is left behind, and the planted links are gone.
    EXPECT_EQ(QDir(ResultFolder(data.folders)).entryList(QDir::Files | QDir::System),
              QStringList{QStringLiteral("User005.dat")});
    EXPECT_EQ(QDir(data.folders.DataFolder)
                  .entryList({QStringLiteral("Chord.dat*")}, QDir::Files | QDir::System),
              QStringList{QStringLiteral("Chord.dat")});
}

TEST_F(DataSafetyTest, PipesAndFoldersNamedLikeDataFilesFailAtOnceWithTheReason)
{
    MakeFifo(data.UserFilePath());
    MakeFifo(data.SettingsFilePath());
    MakeFifo(ResultFileName(data, 5));
    MakeFifo(data.ChordFilePath());
    ASSERT_TRUE(QDir().mkpath(ResultFileName(data, 6)));

    // Readers: nothing found, one message each, no waiting for a writer of the pipe.
    EXPECT_FALSE(ReadUser(data, userLists, 1, {}, true));
    LoadResults(data, resultLists, 5);
    EXPECT_TRUE(resultLists.ResultList->empty());
    ItemSlotTables tables;
    LoadUserChords(data, loadedItems, tables);
    EXPECT_EQ(prompts.Count(QStringLiteral("error")), 3);
    prompts.asked.clear();
    const auto loaded = LoadSettings(data, programSettings, 1, true, {});
    ASSERT_FALSE(loaded);
    EXPECT_EQ(loaded.Code(), DataError::NotRegularFile);
    ExpectOneErrorNaming(data.SettingsFilePath(), QStringLiteral("not a regular file"));

    // Writers: refused with the reason, the pipe left as it is.
    const struct
    {
        const char* name;
        Status<DataError> status;
        QString path;
    } writes[] = {
        {"user", WriteUser(data, DefaultUser()), data.UserFilePath()},
        {"settings", SaveSettings(data, programSettings, 1), data.SettingsFilePath()},
        {"append", AppendResult(data, Result(5, 1)), ResultFileName(data, 5)},
        {"items", SaveUserChords(data, loadedItems, tables), data.ChordFilePath()},
        {"purge of a folder", PurgeResults(data, 6, 0), ResultFileName(data, 6)},
    };
    for (const auto& w : writes) {
        SCOPED_TRACE(w.name);
        ASSERT_FALSE(w.status);
        EXPECT_EQ(w.status.Code(), DataError::NotRegularFile);
        EXPECT_FALSE(QFileInfo(w.path).isFile());
    }
    EXPECT_EQ(prompts.Count(QStringLiteral("okretry")), 0);
    EXPECT_EQ(wait.calls, 0);
}

TEST_F(DataSafetyTest, UnreadableFilesAreReportedOnceAndNeverOverwrittenAsEmpty)
{
    TUserRec anna = DefaultUser();
    anna.UserId = 1;
    ASSERT_TRUE(WriteUser(data, anna));
    programSettings.FontSize = 21;
    ASSERT_TRUE(SaveSettings(data, programSettings, 1));
    for (double d : {1, 2, 3})
        ASSERT_TRUE(AppendResult(data, Result(5, d)));
    const QString paths[] = {data.UserFilePath(), data.SettingsFilePath(), ResultFileName(data, 5)};
    std::vector<std::vector<std::uint8_t>> before;
    for (const QString& path : paths) {
        before.push_back(Bytes(path));
        Forbid(path);
    }
    {
        test::ActAsUnprivileged unprivileged(dir.Path());
        ASSERT_TRUE(unprivileged.Binding());
        for (int twice = 0; twice < 2; ++twice) {
            EXPECT_FALSE(ReadUser(data, userLists, 1, {}, true));
            const auto loaded = LoadSettings(data, programSettings, 1, true, {});
            ASSERT_FALSE(loaded);
            EXPECT_EQ(loaded.Code(), DataError::PermissionDenied);
            LoadResults(data, resultLists, 5);
            EXPECT_TRUE(resultLists.ResultList->empty());
        }
    }
    ASSERT_EQ(prompts.Count(QStringLiteral("error")), 3);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_TRUE(prompts.asked[i].text.contains(QDir::toNativeSeparators(paths[i])))
            << prompts.asked[i].text.toStdString();

    // Readable again: the empty list rewritten takes nothing away.
    for (const QString& path : paths)
        Allow(path);
    ASSERT_TRUE(RewriteResults(data, resultLists));
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(Bytes(paths[i]), before[i]);
    ASSERT_TRUE(LoadSettings(data, programSettings, 1, true, {}));
    EXPECT_EQ(programSettings.FontSize, 21);

    // Once it read well, a new failure is a new report.
    Forbid(paths[1]);
    {
        test::ActAsUnprivileged unprivileged(dir.Path());
        EXPECT_FALSE(LoadSettings(data, programSettings, 1, true, {}));
    }
    Allow(paths[1]);
    EXPECT_EQ(prompts.Count(QStringLiteral("error")), 4);
}

TEST_F(DataSafetyTest, AFileFarBeyondAnyRealSizeIsRefusedAndKept)
{
    const QString path = data.SettingsFilePath();
    ASSERT_TRUE(Put(path, {}));
    ASSERT_EQ(truncate(QFile::encodeName(path).constData(), kMaxDataFileSize + 1), 0);
    const auto loaded = LoadSettings(data, programSettings, 1, true, {});
    ASSERT_FALSE(loaded);
    EXPECT_EQ(loaded.Code(), DataError::TooLarge);
    const auto saved = SaveSettings(data, programSettings, 1);
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.Code(), DataError::TooLarge);
    EXPECT_EQ(SizeOf(path), kMaxDataFileSize + 1);
    // One report for the file and its reason, though both reading and writing met it.
    EXPECT_EQ(prompts.Count(QStringLiteral("error")), 1);
    EXPECT_EQ(prompts.Count(QStringLiteral("okretry")), 0);
}

/// A data file, a record that belongs in it, and every routine that reads or writes it.
struct LinkedFileCase
{
    const char* name;
    QString (*path)(DataFiles&);
    std::vector<std::uint8_t> (*record)();
    /// Runs every reader; true when none of them took anything from the file.
    bool (*readNothing)(DataFiles&, test::HeldRecords&);
    /// Runs every writer, each one's outcome.
    std::vector<Status<DataError>> (*write)(DataFiles&, test::HeldRecords&);
};

std::vector<std::uint8_t> Bytes(std::span<const std::uint8_t> record)
{
    return {record.begin(), record.end()};
}

TResultRec ResultOfUser5(double when)
{
    TResultRec r;
    r.UserId = 5;
    r.Kind = 1;
    r.DateTime = when;
    return r;
}

const LinkedFileCase kLinkedFiles[] = {
    {"User.dat", [](DataFiles& d) { return d.UserFilePath(); },
     [] {
         TUserRec rec = DefaultUser();
         rec.UserId = 1;
         rec.FullName = QStringLiteral("Outside");
         return Bytes(EncodeUserRec(rec));
     },
     [](DataFiles& d, test::HeldRecords& h) {
         TUserRec byId;
         byId.UserId = 1;
         return !ReadUser(d, h.users, 1, {}, true) && !ReadUserById(d, byId);
     },
     [](DataFiles& d, test::HeldRecords&) {
         TUserRec rec = DefaultUser();
         rec.UserId = 1;
         return std::vector<Status<DataError>>{WriteUser(d, rec)};
     }},
    {"Setting.dat", [](DataFiles& d) { return d.SettingsFilePath(); },
     [] {
         TSettingsRec rec = DefaultSettings();
         rec.FontSize = 21;
         return Bytes(EncodeSettingsRec(rec));
     },
     [](DataFiles& d, test::HeldRecords& h) {
         const auto loaded = LoadSettings(d, h.settings, 1, false, {});
         return !loaded && loaded.Code() == DataError::SymbolicLink && h.settings.FontSize != 21;
     },
     [](DataFiles& d, test::HeldRecords& h) {
         return std::vector<Status<DataError>>{SaveSettings(d, h.settings, 1)};
     }},
    {"Class.dat", [](DataFiles& d) { return d.ClassFilePath(); },
     [] {
         TClassRec rec;
         rec.Name = QStringLiteral("Outside");
         rec.ClassId = 3;
         return Bytes(EncodeClassRec(rec));
     },
     [](DataFiles& d, test::HeldRecords& h) {
         LoadClasses(d, h.classes);
         return h.classes->empty() && ClassNameById(d, h.classes, 3).isEmpty();
     },
     [](DataFiles&, test::HeldRecords&) { return std::vector<Status<DataError>>{}; }},
    {"Chord.dat", [](DataFiles& d) { return d.ChordFilePath(); },
     [] {
         TUserChordRec rec;
         rec.Kind = 1;
         rec.NoteCount = 3;
         rec.Index = 40;
         rec.Name = QStringLiteral("Outside");
         return Bytes(EncodeUserChordRec(rec));
     },
     [](DataFiles& d, test::HeldRecords& h) {
         ItemSlotTables tables;
         LoadUserChords(d, h.loaded, tables);
         return tables.Slot(1, 40).NoteCount == 0;
     },
     [](DataFiles& d, test::HeldRecords& h) {
         ItemSlotTables tables;
         tables.SetSlot(1, 41, {3, {}, QStringLiteral("mine")}, true);
         return std::vector<Status<DataError>>{SaveUserChords(d, h.loaded, tables)};
     }},
    {"a result file", [](DataFiles& d) { return ResultFileName(d, 5); },
     [] { return Bytes(EncodeResultRec(ResultOfUser5(7))); },
     [](DataFiles& d, test::HeldRecords& h) {
         LoadResults(d, h.results, 5);
         return h.results.ResultList->empty();
     },
     [](DataFiles& d, test::HeldRecords& h) {
         std::vector<Status<DataError>> outcomes;
         outcomes.push_back(AppendResult(d, ResultOfUser5(8)));
         h.results.ResultList->push_back(
             {QStringLiteral("k"), std::make_shared<TResultInfo>(TResultInfo{ResultOfUser5(9)})});
         outcomes.push_back(RewriteResults(d, h.results));
         outcomes.push_back(PurgeResults(d, 5, 0));
         return outcomes;
     }},
};

TEST_F(DataSafetyTest, ADataFileThatIsALinkIsRefusedByEveryReaderAndWriterAndLeftAsItIs)
{
    const QString outside = dir.File(QStringLiteral("outside/"));
    ASSERT_TRUE(QDir().mkpath(outside));
    for (const bool dangling : {false, true}) {
        for (const LinkedFileCase& c : kLinkedFiles) {
            SCOPED_TRACE(std::string(c.name) + (dangling ? ", dangling link" : ", live link"));
            DataFiles session(data.folders, prompts, wait, strings);
            test::HeldRecords sessionHeld;
            prompts.asked.clear();
            const QString path = c.path(session);
            const QString target = outside + QString::fromLatin1(c.name).remove(u' ');
            QFile::remove(target);
            if (!dangling) {
                ASSERT_TRUE(Put(target, c.record()));
            }
            QFile::remove(path);
            ASSERT_EQ(
                symlink(QFile::encodeName(target).constData(), QFile::encodeName(path).constData()),
                0);

            EXPECT_TRUE(c.readNothing(session, sessionHeld)) << "read through the link";
            for (const Status<DataError>& outcome : c.write(session, sessionHeld)) {
                ASSERT_FALSE(outcome);
                EXPECT_EQ(outcome.Code(), DataError::SymbolicLink);
            }

            // The link is still the link, and what it points to is as it was (or still absent).
            EXPECT_TRUE(QFileInfo(path).isSymLink());
            EXPECT_EQ(QFileInfo(path).symLinkTarget(), target);
            if (dangling) {
                EXPECT_FALSE(QFileInfo::exists(target)) << "made through the dangling link";
            } else {
                EXPECT_EQ(Bytes(target), c.record());
            }
            const QFileInfo info(path);
            EXPECT_TRUE(info.dir()
                            .entryList({info.fileName() + QStringLiteral(".tmp*")},
                                       QDir::Files | QDir::System | QDir::Hidden)
                            .isEmpty())
                << "a replacement left beside it";
            // Readers and writers together: one message for the file, naming it and why.
            ExpectOneErrorNaming(path, QStringLiteral("symbolic link"));
            QFile::remove(path);
        }
    }
}

TEST_F(DataSafetyTest, TheDataFolderItselfMayBeALink)
{
    const QString real = dir.File(QStringLiteral("real-data/"));
    ASSERT_TRUE(QDir().mkpath(real));
    const QString linked = dir.File(QStringLiteral("linked-data"));
    ASSERT_EQ(symlink(QFile::encodeName(real).constData(), QFile::encodeName(linked).constData()),
              0);
    DataFiles linkedData(Folders{dir.Path(), linked + QStringLiteral("/")}, prompts, wait, strings);
    test::HeldRecords linkedHeld;
    ASSERT_FALSE(CreateDataFolders(linkedData.folders).has_value());
    TUserRec anna = DefaultUser();
    anna.UserId = 1;
    ASSERT_TRUE(WriteUser(linkedData, anna));
    ASSERT_TRUE(SaveSettings(linkedData, linkedHeld.settings, 1));
    ASSERT_TRUE(AppendResult(linkedData, ResultOfUser5(3)));
    ASSERT_TRUE(PurgeResults(linkedData, 5, 0));
    ItemSlotTables tables;
    tables.SetSlot(1, 40, {3, {}, QStringLiteral("mine")}, true);
    ASSERT_TRUE(SaveUserChords(linkedData, linkedHeld.loaded, tables));
    EXPECT_TRUE(ReadUser(linkedData, linkedHeld.users, 1, {}, true));
    EXPECT_TRUE(prompts.asked.empty());
    for (const char* name : {"User.dat", "Setting.dat", "Chord.dat", "Result/User005.dat"})
        EXPECT_TRUE(QFileInfo(real + QString::fromLatin1(name)).isFile()) << name;
}

TEST_F(DataSafetyTest, AResultFileBeyondTheLimitIsRefusedWithAdviceAndThePurgeShrinksIt)
{
    const QString path = ResultFileName(data, 5);
    // Three results at the start and one far beyond the limit; the records between are
    // empty (user 0) and go with the purge.
    std::vector<std::uint8_t> start;
    for (double d : {1, 5, 9})
        Append(start, EncodeResultRec(ResultOfUser5(d)));
    ASSERT_TRUE(Put(path, start));
    const std::int64_t lastAt =
        (kMaxDataFileSize / static_cast<std::int64_t>(kResultRecSize) + 10) *
        static_cast<std::int64_t>(kResultRecSize);
    {
        const int fd = open(QFile::encodeName(path).constData(), O_WRONLY);
        ASSERT_GE(fd, 0);
        const auto last = EncodeResultRec(ResultOfUser5(20));
        ASSERT_EQ(pwrite(fd, last.data(), last.size(), lastAt), static_cast<ssize_t>(last.size()));
        close(fd);
    }

    LoadResults(data, resultLists, 5);
    EXPECT_TRUE(resultLists.ResultList->empty());
    const auto appended = AppendResult(data, ResultOfUser5(30));
    ASSERT_FALSE(appended);
    EXPECT_EQ(appended.Code(), DataError::TooLarge);
    ExpectOneErrorNaming(path, QStringLiteral("Deleting older results makes it smaller."));

    ASSERT_TRUE(PurgeResults(data, 5, 4));
    EXPECT_EQ(StoredDates(5), (std::vector<double>{5, 9, 20}));
    LoadResults(data, resultLists, 5);
    EXPECT_EQ(resultLists.ResultList->size(), 3U);
    ASSERT_TRUE(AppendResult(data, ResultOfUser5(30)));
    EXPECT_EQ(StoredDates(5), (std::vector<double>{5, 9, 20, 30}));
    EXPECT_EQ(prompts.Count(QStringLiteral("error")), 1);
}

TEST_F(DataSafetyTest, RewriteKeepsWhatAnotherCopyAppendedOrPurgedMeanwhile)
{
    for (double d : {1, 2, 3, 4})
        ASSERT_TRUE(AppendResult(data, Result(5, d)));
    DataFiles other(data.folders, prompts, wait, strings);
    test::HeldRecords otherHeld;

    LoadResults(data, resultLists, 5);
    ASSERT_TRUE(AppendResult(other, Result(5, 9))); // another copy adds a result
    ASSERT_TRUE(PurgeResults(other, 5, 2));         // and purges the first
    resultLists.ResultList->erase(resultLists.ResultList->begin() +
                                  2);                        // this copy deletes the third
    resultLists.ResultList->at(1).Object->Record.Count = 77; // and changes the second
    ASSERT_TRUE(RewriteResults(data, resultLists));
    EXPECT_EQ(StoredDates(5), (std::vector<double>{2, 4, 9}));
    LoadResults(other, otherHeld.results, 5);
    EXPECT_EQ(otherHeld.results.ResultList->at(0).Object->Record.Count, 77);

    // Again, with nothing changed meanwhile: the list and the file agree, nothing doubles.
    ASSERT_TRUE(AppendResult(other, Result(5, 10)));
    ASSERT_TRUE(RewriteResults(data, resultLists));
    EXPECT_EQ(StoredDates(5), (std::vector<double>{2, 4, 9, 10}));
}

TEST_F(DataSafetyTest, AWriterIsNotReenteredFromItsBusyWait)
{
    for (double d : {1, 2, 3})
        ASSERT_TRUE(AppendResult(data, Result(5, d)));
    for (double d : {7, 8})
        ASSERT_TRUE(AppendResult(data, Result(6, d)));
    LoadResults(data, resultLists, 5);
    resultLists.ResultList->pop_back();

    // Another copy holds the file; while this one waits, events try to write and to show
    // another user's results.
    const int fd = open(QFile::encodeName(ResultFileName(data, 5)).constData(), O_RDWR);
    ASSERT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
    std::vector<Status<DataError>> reentered;
    wait.onWait = [&](int call) {
        if (call == 1) {
            reentered.push_back(RewriteResults(data, resultLists));
            reentered.push_back(AppendResult(data, Result(6, 99)));
            reentered.push_back(PurgeResults(data, 6, 100));
            LoadResults(data, resultLists, 6);
        }
        if (call == 3)
            close(fd);
    };
    ASSERT_TRUE(RewriteResults(data, resultLists));
    ASSERT_EQ(reentered.size(), 3U);
    for (const auto& status : reentered) {
        ASSERT_FALSE(status);
        EXPECT_EQ(status.Code(), DataError::Reentered);
    }
    EXPECT_EQ(StoredDates(5), (std::vector<double>{1, 2}));
    EXPECT_EQ(StoredDates(6), (std::vector<double>{7, 8}));
    EXPECT_EQ(ListDates(resultLists), (std::vector<double>{7, 8}));
    // The guard is down again afterwards.
    ASSERT_TRUE(AppendResult(data, Result(6, 9)));
}

class ChordCopiesTest : public DataSafetyTest
{
protected:
    static ItemSlot Item(std::uint8_t count, std::uint8_t firstNote, const char* name)
    {
        ItemSlot slot;
        slot.NoteCount = count;
        for (std::uint8_t i = 0; i < count; ++i)
            slot.Notes[4U * i] = static_cast<std::uint8_t>(firstNote + i);
        slot.Name = QString::fromLatin1(name);
        return slot;
    }
    static void BuiltIn(ItemSlotTables& tables)
    {
        for (int i = 1; i <= 31; ++i)
            tables.SetSlot(1, i, Item(3, 60, "built-in"), true);
        tables.MarkBuiltIn();
    }
};

TEST_F(ChordCopiesTest, TwoCopiesKeepEachOthersEditsAndDeletions)
{
    ItemSlotTables start;
    BuiltIn(start);
    start.SetSlot(1, 40, Item(3, 50, "forty"), true);
    start.SetSlot(1, 41, Item(3, 51, "forty-one"), true);
    LoadUserChords(data, loadedItems, start);
    ASSERT_TRUE(SaveUserChords(data, loadedItems, start));

    DataFiles otherData(data.folders, prompts, wait, strings);
    test::HeldRecords otherHeld;
    ItemSlotTables mine, theirs;
    BuiltIn(mine);
    BuiltIn(theirs);
    LoadUserChords(data, loadedItems, mine);
    LoadUserChords(otherData, otherHeld.loaded, theirs);

    // The other copy edits 40, deletes 41 and the delivered 29, and saves first.
    theirs.SetSlot(1, 40, Item(4, 70, "theirs"), true);
    theirs.SetSlot(1, 41, ItemSlot{}, true);
    theirs.SetSlot(1, 29, ItemSlot{}, true);
    ASSERT_TRUE(SaveUserChords(otherData, otherHeld.loaded, theirs));
    // This copy, still showing the old items, edits 42 and 30.
    mine.SetSlot(1, 42, Item(2, 80, "mine"), true);
    mine.SetSlot(1, 30, Item(4, 81, "mine too"), true);
    ASSERT_TRUE(SaveUserChords(data, loadedItems, mine));
    // Saving again without further edits changes nothing.
    const auto once = Bytes(data.ChordFilePath());
    ASSERT_TRUE(SaveUserChords(data, loadedItems, mine));
    EXPECT_EQ(Bytes(data.ChordFilePath()), once);

    ItemSlotTables next;
    BuiltIn(next);
    LoadUserChords(data, loadedItems, next);
    EXPECT_EQ(next.Slot(1, 40), Item(4, 70, "theirs"));
    EXPECT_EQ(next.Slot(1, 41).NoteCount, 0);
    EXPECT_EQ(next.Slot(1, 29).NoteCount, 0);
    EXPECT_EQ(next.Slot(1, 42), Item(2, 80, "mine"));
    EXPECT_EQ(next.Slot(1, 30), Item(4, 81, "mine too"));
}

TEST_F(ChordCopiesTest, RecordsThatCannotBeUsedAreKeptByteForByte)
{
    const auto record = [](std::uint8_t kind, std::uint8_t count, std::int32_t index) {
        TUserChordRec rec;
        rec.Kind = kind;
        rec.NoteCount = count;
        rec.Index = index;
        rec.Notes[0] = 61;
        rec.Name = QStringLiteral("stored");
        return EncodeUserChordRec(rec);
    };
    std::vector<std::uint8_t> damaged;
    Append(damaged, record(1, 13, 40)); // more notes than an item holds
    Append(damaged, record(99, 3, 40)); // no such kind
    Append(damaged, record(1, 3, 5));   // a built-in slot
    std::vector<std::uint8_t> file;
    Append(file, record(1, 3, 41));
    file.insert(file.end(), damaged.begin(), damaged.end());
    file.push_back(0xAB); // a torn piece at the end is no record
    ASSERT_TRUE(Put(data.ChordFilePath(), file));

    ItemSlotTables tables;
    BuiltIn(tables);
    LoadUserChords(data, loadedItems, tables);
    tables.SetSlot(1, 40, Item(3, 70, "new forty"), true);
    ASSERT_TRUE(SaveUserChords(data, loadedItems, tables));
    const auto saved = Bytes(data.ChordFilePath());
    // The delivered slots 28..31, then 40 and 41, then the unusable records as they were.
    ASSERT_EQ(saved.size(), 6 * kUserChordRecSize + damaged.size());
    EXPECT_TRUE(std::equal(damaged.begin(), damaged.end(),
                           saved.end() - static_cast<std::ptrdiff_t>(damaged.size())));

    ItemSlotTables next;
    BuiltIn(next);
    LoadUserChords(data, loadedItems, next);
    EXPECT_EQ(next.Slot(1, 40), Item(3, 70, "new forty"));
    EXPECT_EQ(next.Slot(1, 41).NoteCount, 3);
    EXPECT_EQ(next.Slot(1, 5), Item(3, 60, "built-in"));
}

} // namespace
} // namespace pv
