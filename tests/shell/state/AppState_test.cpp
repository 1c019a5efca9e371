// The application state's own operations keep what is held of the results that of the result
// user, in their file's order, and a rewrite goes to that user's file.
#include "music/data/ResultFiles.h"
#include "music/files/DataFixture.h"
#include "music/files/DaysSince1899.h"
#include "shell/state/AppState.h"

#include <gtest/gtest.h>

namespace pv {
namespace {

class AppStateTest : public test::DataFixture
{
protected:
    static std::shared_ptr<TUserInfo> User(std::uint16_t id)
    {
        auto user = std::make_shared<TUserInfo>();
        user->Record.UserId = id;
        return user;
    }
    static TResultRec Result(std::uint16_t user, double when)
    {
        TResultRec r;
        r.UserId = user;
        r.Kind = 1;
        r.DateTime = when;
        r.Count = 4;
        r.Score = 3;
        return r;
    }
    void Store(std::uint16_t user, std::initializer_list<double> dates)
    {
        for (double d : dates)
            ASSERT_TRUE(AppendResult(data, Result(user, d)));
    }
    static std::vector<double> Dates(const ResultEntries& list)
    {
        std::vector<double> dates;
        for (const auto& entry : list)
            dates.push_back(entry.Object->Record.DateTime);
        return dates;
    }

    AppState app;
};

TEST_F(AppStateTest, TheResultsHeldAreAlwaysTheResultUsersInTheirFileOrder)
{
    Store(5, {3, 1, 2});
    Store(6, {9});
    EXPECT_EQ(app.HeldResults(), nullptr) << "nothing read before anyone asks";

    const auto ann = User(5);
    app.SetResultUser(ann);
    EXPECT_EQ(Dates(app.ResultList(data)), (std::vector<double>{3, 1, 2}));
    ASSERT_NE(app.HeldResults(), nullptr);

    // Another result user: Ann's results are let go, and Bo's are read in their place.
    app.SetResultUser(User(6));
    EXPECT_EQ(app.HeldResults(), nullptr);
    EXPECT_EQ(Dates(app.ResultList(data)), (std::vector<double>{9}));

    // The same object coming to name another user (a login over it) holds no stale list.
    app.ResultUser()->Record.UserId = 5;
    EXPECT_EQ(app.HeldResults(), nullptr);
    EXPECT_EQ(Dates(app.ResultList(data)), (std::vector<double>{3, 1, 2}));

    // Filtering reads the result user's results first when none are held.
    app.SetResultUser(User(6));
    const ResultEntries& filtered = app.FilterResults(data, 1, 5);
    EXPECT_EQ(Dates(filtered), (std::vector<double>{9}));
    ASSERT_NE(app.HeldResults(), nullptr);
    EXPECT_EQ(filtered.front().Object, app.HeldResults()->front().Object) << "shared objects";
}

TEST_F(AppStateTest, AnotherUsersStatisticsLeaveTheHeldResultsAndTheirRewriteAlone)
{
    const double today = TodayInDaysSince1899();
    Store(5, {today, 2});
    Store(6, {today, 8, 9});
    const auto ann = User(5);
    app.SetResultUser(ann);
    ResultEntries& list = app.ResultList(data);
    list.erase(list.begin()); // Ann deletes her first result in the results view

    // The user overview sums another user's results meanwhile.
    const auto bo = User(6);
    app.ComputeUserStatistics(data, *bo, {});
    EXPECT_TRUE(bo->Computed);
    EXPECT_EQ(bo->Statistics[0].SumQuestions, 4U) << "only today's result is in the period";
    EXPECT_EQ(bo->Statistics[0].LatestDate, today);
    ASSERT_NE(app.HeldResults(), nullptr);
    EXPECT_EQ(Dates(*app.HeldResults()), (std::vector<double>{2}));

    ASSERT_TRUE(app.RewriteResults(data));
    EXPECT_EQ(StoredDates(5), (std::vector<double>{2}));
    EXPECT_EQ(StoredDates(6), (std::vector<double>{today, 8, 9}));
}

TEST_F(AppStateTest, AStoredResultJoinsTheHeldResultsOnlyWhenTheyAreItsUsers)
{
    Store(5, {1});
    const auto ann = User(5);
    app.SetResultUser(ann);
    const TResultRec today = Result(5, TodayInDaysSince1899());

    // Nothing held: nothing to join, and nothing is read for it.
    ASSERT_TRUE(AppendResult(data, today));
    EXPECT_FALSE(app.ResultStored(data, today, {}));
    EXPECT_EQ(app.HeldResults(), nullptr);
    EXPECT_FALSE(ann->Computed);

    ASSERT_EQ(app.ResultList(data).size(), 2U);
    const TResultRec later = Result(5, TodayInDaysSince1899() + 0.1);
    ASSERT_TRUE(AppendResult(data, later));
    EXPECT_TRUE(app.ResultStored(data, later, {}));
    EXPECT_EQ(Dates(*app.HeldResults()).back(), later.DateTime) << "at the end, as in the file";
    EXPECT_TRUE(ann->Computed);
    EXPECT_EQ(ann->Statistics[0].SumQuestions, 8U);

    // Another user's record stays out.
    const TResultRec bos = Result(6, TodayInDaysSince1899());
    ASSERT_TRUE(AppendResult(data, bos));
    EXPECT_FALSE(app.ResultStored(data, bos, {}));
    EXPECT_EQ(app.HeldResults()->size(), 3U);

    // Known to be in the file: deleting it from the list deletes it there.
    app.HeldResults()->pop_back();
    ASSERT_TRUE(app.RewriteResults(data));
    EXPECT_EQ(StoredDates(5), (std::vector<double>{1, today.DateTime}));
}

TEST_F(AppStateTest, ARewriteWithNothingHeldLeavesEveryFileAsItIs)
{
    Store(5, {1, 2});
    app.SetResultUser(User(5));
    const auto before = Bytes(ResultFileName(data, 5));
    EXPECT_TRUE(app.RewriteResults(data));
    EXPECT_EQ(Bytes(ResultFileName(data, 5)), before);

    // Held of someone who is no longer the result user: let go, not written anywhere.
    app.ResultList(data).clear();
    app.SetResultUser(User(6));
    EXPECT_TRUE(app.RewriteResults(data));
    EXPECT_EQ(Bytes(ResultFileName(data, 5)), before);
    EXPECT_FALSE(QFileInfo::exists(ResultFileName(data, 6)));
}

TEST_F(AppStateTest, ComputeAllVisitsEveryUserWithProgress)
{
    app.Users.UserList.emplace();
    for (std::uint16_t id : {1, 2, 3}) {
        auto info = User(id);
        info->Computed = id == 2;
        app.Users.UserList->push_back({QString::number(id), info});
    }
    std::vector<std::pair<int, int>> shown;
    bool hidden = false;
    app.ComputeAllUserStatistics(
        data, false, {},
        {[&](int max, int pos) { shown.emplace_back(max, pos); }, [&] { hidden = true; }});
    EXPECT_EQ(shown, (std::vector<std::pair<int, int>>{{2, 0}, {2, 1}, {2, 2}}));
    EXPECT_TRUE(hidden);
    for (const auto& e : *app.Users.UserList)
        EXPECT_TRUE(e.Object->Computed);
}

} // namespace
} // namespace pv
