#include "DataFixture.h"
#include "music/data/ResultFiles.h"
#include "music/data/UserFile.h"
#include "music/files/DaysSince1899.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QFile>

namespace pv {
namespace {

class UserFileTest : public test::DataFixture
{
protected:
    TUserRec User(std::uint16_t id, const char* login)
    {
        TUserRec rec = DefaultUser();
        rec.UserId = id;
        rec.LoginName = QString::fromLatin1(login);
        return rec;
    }
    void WriteUsers(std::initializer_list<TUserRec> users)
    {
        std::vector<std::uint8_t> bytes;
        for (const TUserRec& u : users)
            Append(bytes, EncodeUserRec(u));
        ASSERT_TRUE(Put(data.UserFilePath(), bytes));
    }
};

TEST_F(UserFileTest, ReadUserFindsOnlyAnActualMatch)
{
    WriteUsers({User(1, "ANNA"), User(0, "GHOST"), User(2, "Bo")});
    const struct
    {
        const char* name;
        std::uint16_t id;
        const char* login;
        bool found;
        std::uint16_t currentId;
    } cases[] = {
        {"nothing asked reads to the end", 0, "", false, 0},
        {"by id", 2, "", true, 2},
        {"by login ignoring case", 0, "anna", true, 1},
        {"stored login in lower case", 0, "BO", true, 2},
        {"absent id is not the last record", 7, "", false, 0},
        {"a matching record that is no user", 0, "ghost", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        userLists.CurrentUser.reset();
        EXPECT_EQ(ReadUser(data, userLists, c.id, QString::fromLatin1(c.login), true), c.found);
        if (c.found) {
            ASSERT_TRUE(userLists.CurrentUser);
            EXPECT_EQ(userLists.CurrentUser->Record.UserId, c.currentId);
            EXPECT_EQ(userLists.CurrentUser->Record.LoginName,
                      UpperCaseAscii(userLists.CurrentUser->Record.LoginName));
        } else {
            EXPECT_FALSE(userLists.CurrentUser);
        }
    }
}

TEST_F(UserFileTest, WriteUserUpdatesInPlaceAppendsNewIdsAndStaysAligned)
{
    TUserRec anna = User(1, "ANNA");
    ASSERT_TRUE(WriteUser(data, anna));
    ASSERT_TRUE(WriteUser(data, User(2, "BO")));
    EXPECT_EQ(SizeOf(data.UserFilePath()), 2 * 620);

    anna.FullName = QStringLiteral("Anna\u00A7Berg");
    ASSERT_TRUE(WriteUser(data, anna));
    EXPECT_EQ(SizeOf(data.UserFilePath()), 2 * 620);
    TUserRec read;
    read.UserId = 1;
    ASSERT_TRUE(ReadUserById(data, read));
    EXPECT_EQ(read.FullName, anna.FullName);

    // A torn record at the end is overwritten, not appended after.
    std::vector<std::uint8_t> bytes = Bytes(data.UserFilePath());
    bytes.resize(bytes.size() + 100, 0xEE);
    ASSERT_TRUE(Put(data.UserFilePath(), bytes));
    ASSERT_TRUE(WriteUser(data, User(3, "CY")));
    EXPECT_EQ(SizeOf(data.UserFilePath()), 3 * 620);
    EXPECT_TRUE(ReadUser(data, userLists, 3, {}, false));
}

TEST_F(UserFileTest, ReadUserByIdLeavesTheRecordAloneWhenAbsent)
{
    WriteUsers({User(1, "ANNA")});
    TUserRec rec = User(9, "NINE");
    const TUserRec before = rec;
    EXPECT_FALSE(ReadUserById(data, rec));
    EXPECT_EQ(rec, before);
}

TEST_F(UserFileTest, BusyUserFileGivenUpIsNotWritten)
{
    WriteUsers({User(1, "ANNA")});
    const int fd = open(QFile::encodeName(data.UserFilePath()).constData(), O_RDWR);
    ASSERT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
    prompts.buttons = {PromptButton::Ok};
    EXPECT_FALSE(WriteUser(data, User(2, "BO")));
    close(fd);
    EXPECT_EQ(SizeOf(data.UserFilePath()), 620);
    EXPECT_EQ(wait.calls, 10);
}

TEST_F(UserFileTest, FilterUsersSelectsByKindBitAndClass)
{
    userLists.UserList.emplace();
    const struct
    {
        const char* key;
        std::int32_t kind;
        std::uint16_t cls;
    } users[] = {{"a", 1, 5}, {"b", 2, 5}, {"c", 3, 6}, {"d", 9, 5}};
    for (const auto& u : users) {
        auto info = std::make_shared<TUserInfo>();
        info->Record.UserKind = u.kind;
        info->Record.ClassId = u.cls;
        userLists.UserList->push_back({QString::fromLatin1(u.key), info});
    }
    const struct
    {
        const char* name;
        std::int32_t mask, cls;
        const char* keys;
    } cases[] = {{"all", -1, -1, "abcd"},
                 {"kind 1 and 3", 5, -1, "ac"},
                 {"class 5", -1, 5, "abd"},
                 {"kind 2 of class 6", 2, 6, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FilterUsers(userLists, c.mask, c.cls);
        QString keys;
        for (const auto& e : *userLists.FilteredUsers)
            keys += e.Key;
        EXPECT_EQ(keys, QString::fromLatin1(c.keys));
    }
    FilterUsers(userLists, 1, -1);
    EXPECT_EQ(userLists.FilteredUsers->front().Object, userLists.UserList->front().Object);
}

class UserStatisticsTest : public UserFileTest
{
protected:
    TResultRec Result(std::uint16_t kind, double when, std::uint16_t score, std::uint16_t count)
    {
        TResultRec r;
        r.UserId = 4;
        r.Kind = kind;
        r.DateTime = when;
        r.Duration = 0.01;
        r.AnswerTimeSum = 2.0 * count;
        r.Score = score;
        r.Count = count;
        r.SetupName = QStringLiteral("setup %1").arg(score);
        return r;
    }
    void Store(const std::vector<TResultRec>& records)
    {
        for (const TResultRec& r : records)
            ASSERT_TRUE(AppendResult(data, r));
    }
    /// The statistics of user over the results their file holds now.
    void Compute(TUserInfo& user, TutorTitleOf tutorTitle = {})
    {
        LoadResults(data, resultLists, user.Record.UserId);
        ComputeUserStatistics(data, user, *resultLists.ResultList,
                              {classList, userLists.StatisticsPeriod, std::move(tutorTitle)});
    }
};

TEST_F(UserStatisticsTest, SumsThePeriodAndTakesTheLatestPerKind)
{
    const double today = TodayInDaysSince1899();
    const double cutoff = today - userLists.StatisticsPeriod;
    Store({Result(1, cutoff, 1, 2), // at the cutoff: latest, not summed
           Result(1, today + 0.2, 3, 4), Result(1, today + 0.1, 5, 6),
           Result(0, today, 60000, 60000), Result(11, today, 1, 1), // damaged kinds
           Result(2, cutoff - 3, 7, 8)});
    TUserInfo user;
    user.Record = DefaultUser();
    user.Record.UserId = 4;
    user.Record.FullName = QStringLiteral("Anna\u00A7Berg");
    Compute(user, [](const TUserRec& r) {
        return r.UserId == 4 ? QString(60, QLatin1Char('t')) : QString();
    });
    const UserStatistics& chords = user.Statistics[0];
    EXPECT_EQ(chords.SumRight, 8U);
    EXPECT_EQ(chords.SumQuestions, 10U);
    EXPECT_DOUBLE_EQ(chords.AnswerTime, 2.0);
    EXPECT_NEAR(chords.SumDurations, 0.02, 1e-12);
    EXPECT_DOUBLE_EQ(chords.LatestDate, today + 0.2);
    EXPECT_EQ(chords.LatestItemName, QStringLiteral("setup 3"));
    EXPECT_EQ(chords.LatestScore, 3);

    const UserStatistics& intervals = user.Statistics[1];
    EXPECT_EQ(intervals.SumQuestions, 0U);
    EXPECT_DOUBLE_EQ(intervals.AnswerTime, 0);
    EXPECT_EQ(intervals.LatestCount, 8);
    EXPECT_EQ(user.Statistics[2], UserStatistics{});

    EXPECT_EQ(user.DisplayName, QStringLiteral("Anna Berg"));
    EXPECT_EQ(user.TutorTitle, QString(50, QLatin1Char('t')));
    EXPECT_TRUE(user.Computed);
}

TEST_F(UserStatisticsTest, SumsPastSixteenBits)
{
    const double today = TodayInDaysSince1899();
    Store({Result(3, today, 60000, 65535), Result(3, today, 60000, 65535)});
    TUserInfo user;
    user.Record.UserId = 4;
    Compute(user);
    EXPECT_EQ(user.Statistics[2].SumRight, 120000U);
    EXPECT_EQ(user.Statistics[2].SumQuestions, 131070U);
}

} // namespace
} // namespace pv
