#include "DataFixture.h"
#include "music/data/ResultFiles.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QFile>

namespace pv {
namespace {

class ResultFilesTest : public test::DataFixture
{
protected:
    static TResultRec Result(std::uint16_t user, std::uint16_t kind, double when)
    {
        TResultRec r;
        r.UserId = user;
        r.Kind = kind;
        r.DateTime = when;
        r.Count = static_cast<std::uint16_t>(when);
        return r;
    }
    void StoreDates(std::uint16_t user, std::initializer_list<double> dates)
    {
        for (double d : dates)
            ASSERT_TRUE(AppendResult(data, Result(user, 1, d)));
    }
};

TEST_F(ResultFilesTest, FileNameHasAtLeastThreeDigits)
{
    const QString folder = data.folders.DataFolder + QStringLiteral("Result/");
    const struct
    {
        std::uint16_t id;
        const char* name;
    } cases[] = {
        {5, "User005.dat"}, {42, "User042.dat"}, {123, "User123.dat"}, {1234, "User1234.dat"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(ResultFileName(data, c.id), folder + QString::fromLatin1(c.name));
    }
    EXPECT_EQ(ResultFileName(data, 0), QString());
}

TEST_F(ResultFilesTest, ResultFolderIsMadeWhenMissing)
{
    QDir(data.folders.DataFolder + QStringLiteral("Result")).removeRecursively();
    ASSERT_TRUE(AppendResult(data, Result(5, 1, 100)));
    EXPECT_EQ(StoredDates(5), std::vector<double>{100});
}

TEST_F(ResultFilesTest, LoadReusesObjectsFreesTheSurplusAndIgnoresATornTail)
{
    StoreDates(5, {1, 2, 3});
    LoadResults(data, resultLists, 5);
    ASSERT_EQ(resultLists.ResultList->size(), 3U);
    EXPECT_EQ(resultLists.Owner(), 5);
    const auto first = resultLists.ResultList->front().Object;
    EXPECT_EQ(resultLists.ResultList->at(2).Key, ResultKey(1, 3));

    StoreDates(6, {10});
    auto bytes = Bytes(ResultFileName(data, 6));
    bytes.resize(bytes.size() + 200, 1);
    ASSERT_TRUE(Put(ResultFileName(data, 6), bytes));
    LoadResults(data, resultLists, 6);
    ASSERT_EQ(resultLists.ResultList->size(), 1U);
    EXPECT_EQ(resultLists.ResultList->front().Object, first);
    EXPECT_EQ(first->Record.DateTime, 10);
    EXPECT_EQ(resultLists.Owner(), 6);

    LoadResults(data, resultLists, 8);
    EXPECT_TRUE(resultLists.ResultList->empty());
    EXPECT_TRUE(resultLists.HoldsResultsOf(8));
}

TEST_F(ResultFilesTest, FilterSelectsKindAndDateSharingObjects)
{
    ASSERT_TRUE(AppendResult(data, Result(5, 1, 10)));
    ASSERT_TRUE(AppendResult(data, Result(5, 2, 20)));
    ASSERT_TRUE(AppendResult(data, Result(5, 1, 30)));
    FilterResults(resultLists, -1, 0);
    EXPECT_TRUE(resultLists.FilteredResults->empty()) << "nothing loaded, nothing to select";
    LoadResults(data, resultLists, 5);
    FilterResults(resultLists, -1, 0);
    EXPECT_EQ(resultLists.FilteredResults->size(), 3U);
    FilterResults(resultLists, 1, 30);
    ASSERT_EQ(resultLists.FilteredResults->size(), 1U);
    EXPECT_EQ(resultLists.FilteredResults->front().Object, resultLists.ResultList->at(2).Object);
    FilterResults(resultLists, 2, -5);
    EXPECT_EQ(resultLists.FilteredResults->size(), 1U);
}

TEST_F(ResultFilesTest, AppendAfterATornRecordLandsAligned)
{
    StoreDates(5, {1});
    auto bytes = Bytes(ResultFileName(data, 5));
    bytes.resize(bytes.size() + 17, 0xAB);
    ASSERT_TRUE(Put(ResultFileName(data, 5), bytes));
    StoreDates(5, {2});
    EXPECT_EQ(SizeOf(ResultFileName(data, 5)), 2 * 380);
    EXPECT_EQ(StoredDates(5), (std::vector<double>{1, 2}));
}

TEST_F(ResultFilesTest, RewriteShortensTheFileOfTheListsOwnUser)
{
    StoreDates(5, {1, 2, 3, 4});
    StoreDates(6, {9});
    LoadResults(data, resultLists, 5);
    resultLists.ResultList->erase(resultLists.ResultList->begin() + 1,
                                  resultLists.ResultList->end());
    ASSERT_TRUE(RewriteResults(data, resultLists));
    EXPECT_EQ(StoredDates(5), std::vector<double>{1});
    EXPECT_EQ(StoredDates(6), std::vector<double>{9});
}

TEST_F(ResultFilesTest, RewriteOfAListNeverLoadedHasNoFileToGoTo)
{
    StoreDates(5, {1, 2});
    resultLists.ResultList.emplace(); // entries of no one's file
    const Status<DataError> written = RewriteResults(data, resultLists);
    ASSERT_FALSE(written);
    EXPECT_EQ(written.Code(), DataError::NoUser);
    EXPECT_EQ(StoredDates(5), (std::vector<double>{1, 2}));
    EXPECT_TRUE(prompts.asked.empty());
}

TEST_F(ResultFilesTest, PurgeKeepsExactlyTheValidRecordsFromTheCutoffOn)
{
    StoreDates(5, {10, 20, 30, 25, 40});
    ASSERT_TRUE(AppendResult(data, Result(5, 1, 50)));
    // A record of no user inside the file is dropped by the purge.
    auto bytes = Bytes(ResultFileName(data, 5));
    bytes[5 * 380] = 0;
    bytes[5 * 380 + 1] = 0;
    ASSERT_TRUE(Put(ResultFileName(data, 5), bytes));
    ASSERT_TRUE(PurgeResults(data, 5, 25));
    EXPECT_EQ(StoredDates(5), (std::vector<double>{30, 25, 40}));

    ASSERT_TRUE(PurgeResults(data, 5, 1000));
    EXPECT_EQ(SizeOf(ResultFileName(data, 5)), 0);
    EXPECT_TRUE(QFileInfo::exists(ResultFileName(data, 5)));
}

TEST_F(ResultFilesTest, StaleTemporaryFilesNeverLeakIntoAPurge)
{
    StoreDates(5, {10, 20});
    StoreDates(6, {1, 2, 3, 4, 5, 6});
    // Leftovers of interrupted rewrites, longer than the new content, with foreign records.
    const auto foreign = Bytes(ResultFileName(data, 6));
    ASSERT_TRUE(Put(ReplacementFileName(ResultFileName(data, 5)), foreign));
    ASSERT_TRUE(Put(data.folders.DataFolder + QStringLiteral("Result/User.tmp"), foreign));
    ASSERT_TRUE(PurgeResults(data, 5, 15));
    EXPECT_EQ(StoredDates(5), std::vector<double>{20});
    EXPECT_FALSE(QFileInfo::exists(ReplacementFileName(ResultFileName(data, 5))));
}

TEST_F(ResultFilesTest, PurgeOfABusyFileGivenUpKeepsEverything)
{
    StoreDates(5, {10, 20});
    const auto before = Bytes(ResultFileName(data, 5));
    const int fd = open(QFile::encodeName(ResultFileName(data, 5)).constData(), O_RDWR);
    ASSERT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
    prompts.buttons = {PromptButton::Ok};
    EXPECT_FALSE(PurgeResults(data, 5, 15));
    close(fd);
    EXPECT_EQ(Bytes(ResultFileName(data, 5)), before);
    ASSERT_FALSE(prompts.asked.empty());
    EXPECT_EQ(prompts.asked.front().text, QStringLiteral("Results of user 5\nbusy"));
}

TEST_F(ResultFilesTest, PurgeOfAMissingFileCreatesNothing)
{
    EXPECT_TRUE(PurgeResults(data, 9, 15));
    EXPECT_FALSE(QFileInfo::exists(ResultFileName(data, 9)));
}

} // namespace
} // namespace pv
