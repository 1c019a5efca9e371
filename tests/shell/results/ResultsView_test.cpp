// The results view's model over result files the program's own writer wrote: columns per toggle
// and kind, item columns only where results asked them, cells and score cells, the running
// result, the period filter, damaged files, and deleting old results.
#include "exercises/items/ItemTables.h"
#include "exercises/progressions/ProgressionNaming.h"
#include "music/data/ResultFiles.h"
#include "music/files/DataFixture.h"
#include "music/files/DaysSince1899.h"
#include "shell/results/DeleteResults.h"
#include "shell/results/ElapsedTime.h"
#include "shell/results/ResultsViewModel.h"
#include "shell/state/AppState.h"
#include "support/QStringPrinting.h"

#include <QDir>
#include <QFile>

namespace pv {
namespace {

constexpr std::uint16_t kUser = 7;
constexpr double kHour = 1.0 / 24.0;

using Kinds = std::vector<int>;

const Kinds kDateAndTotal = {0, 5};
const Kinds kAllBase = {0, 1, 2, 3, 4, 5};

/// A result as the bookkeeping would have stored it.
TResultRec Result(int kind, double dateTime, std::uint16_t score, std::uint16_t count,
                  std::vector<std::pair<int, ItemScore>> items = {})
{
    TResultRec r;
    r.UserId = kUser;
    r.Kind = static_cast<std::uint16_t>(kind);
    r.DateTime = dateTime;
    r.Duration = 0.25 * kHour;
    r.AnswerTimeSum = 2.0 / 86400.0;
    r.SetupName = QStringLiteral("Triads");
    r.Score = score;
    r.Count = count;
    for (const auto& [item, value] : items)
        r.Items[static_cast<std::size_t>(item - 1)] = value;
    return r;
}

class ResultsViewTest : public test::DataFixture
{
protected:
    ResultsViewTest()
    {
        texts.StrResultsText = QStringLiteral("Running");
        texts.StrResultFile = QStringLiteral("Result file");
        texts.StrMessageTitle = QStringLiteral("Error");
        texts.StrDeleteResultsFormat = QStringLiteral("Delete the results of %s before:");
        auto user = std::make_shared<TUserInfo>();
        user->Record.UserId = kUser;
        user->Record.FullName =
            QStringLiteral("Ann") + QChar(kFullNameSeparator) + QStringLiteral("Berg");
        app.Users.CurrentUser = user;
        app.SetResultUser(user);
        items.ChordIdentification.Names[2] = QStringLiteral("Diminished");
        items.ChordIdentification.Names[27] = QStringLiteral("My chord");
        for (int i = 0; i < kBaseResultColumns; ++i)
            model.SetTitle(i, QStringLiteral("T%1").arg(i));
    }

    void Store(const std::vector<TResultRec>& records)
    {
        for (const TResultRec& r : records)
            ASSERT_TRUE(AppendResult(data, r));
    }
    void SetToggles(bool base, bool details, bool counts = false)
    {
        model.ToggleClick(ResultToggleStates{base, base, base, base, details, counts});
    }
    std::vector<int> ColumnKinds() const
    {
        std::vector<int> kinds;
        for (int c = 0; c < model.ColumnCount(); ++c)
            kinds.push_back(model.ColumnKindAt(c));
        return kinds;
    }
    std::vector<QString> DateColumn() const
    {
        std::vector<QString> dates;
        for (int r = 1; r < model.RowCount(); ++r)
            dates.push_back(model.Cell(r, 0).Text);
        return dates;
    }

    const double today = TodayInDaysSince1899();
    UIStringTable texts;
    ItemTables items = BuiltInItemTables();
    std::array<TResultInfo, 10> running{};
    AppState app;
    ResultsViewModel model{ResultsViewSources{data, app, running, items, texts, {}}};
};

TEST_F(ResultsViewTest, ShowsColumnsPerToggleAndItemColumnsOnlyWhereSomeResultAskedThem)
{
    Store({Result(1, today - 3, 7, 9, {{3, {2, 3}}, {28, {5, 6}}}),
           Result(1, today - 2, 4, 4, {{3, {4, 4}}}), Result(2, today - 1, 1, 5, {{1, {1, 5}}}),
           Result(3, today - 1, 4, 5, {{2, {4, 5}}}), Result(9, today - 1, 4, 5, {{2, {4, 5}}}),
           Result(10, today - 1, 2, 5, {{5, {2, 5}}})});
    struct Case
    {
        int kind;
        bool base;
        bool details;
        Kinds columns;
    };
    const Case cases[] = {
        {1, false, false, kDateAndTotal},
        {1, true, false, kAllBase},
        {1, false, true, {0, 5, 13, 38}},
        {1, true, true, {0, 1, 2, 3, 4, 5, 13, 38}},
        {2, false, true, {0, 5, 11}},
        // Kinds whose records carry no item statistics never get item columns.
        {3, false, true, kDateAndTotal},
        {9, false, true, kDateAndTotal},
        {10, false, true, {0, 5, 15}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "kind " << c.kind << " base " << c.base << " details " << c.details);
        SetToggles(c.base, c.details);
        model.Fill(c.kind, -1.0);
        EXPECT_EQ(ColumnKinds(), c.columns);
        EXPECT_EQ(model.Toggles().DetailsVisible, KindHasItemColumns(c.kind));
        EXPECT_EQ(model.Toggles().CountsEnabled, c.details);
    }
}

TEST_F(ResultsViewTest, TitleRowNamesBaseColumnsItemsAndProgressions)
{
    Store({Result(1, today, 7, 9, {{3, {2, 3}}, {28, {5, 6}}}),
           Result(10, today, 2, 5, {{5, {2, 5}}})});
    SetToggles(false, true);
    model.Fill(1, -1.0);
    EXPECT_EQ(model.ColumnTitle(0), QStringLiteral("T0"));
    EXPECT_EQ(model.ColumnTitle(1), QStringLiteral("T5"));
    EXPECT_EQ(model.ColumnTitle(2), QStringLiteral("Diminished"));
    EXPECT_EQ(model.ColumnTitle(3), QStringLiteral("My chord"));

    model.Fill(10, -1.0);
    const auto chords = items.ProgressionChords(5);
    ASSERT_FALSE(chords.empty());
    EXPECT_EQ(model.ColumnTitle(2), ProgressionName(chords, static_cast<int>(chords.size())));
}

TEST_F(ResultsViewTest, DataCellsShowDateTimeDurationsLevelAndScores)
{
    TResultRec tutorRun = Result(1, today - 1 + 10.5 * kHour, 7, 9, {{3, {2, 3}}});
    tutorRun.TutorStep = 3;
    tutorRun.SetupName = QStringLiteral("Sevenths");
    Store({Result(1, today - 2 + 9 * kHour, 4, 4), tutorRun});
    SetToggles(true, true, true);
    model.Fill(1, -1.0);
    ASSERT_EQ(model.RowCount(), 3);
    ASSERT_EQ(ColumnKinds(), (Kinds{0, 1, 2, 3, 4, 5, 13}));
    const QDateTime when = FromDaysSince1899(tutorRun.DateTime);
    EXPECT_EQ(model.Cell(2, 0).Text, QLocale::system().toString(when.date(), QLocale::ShortFormat));
    EXPECT_EQ(model.Cell(2, 1).Text, QLocale::system().toString(when.time(), QLocale::ShortFormat));
    EXPECT_EQ(model.Cell(2, 2).Text, FormatElapsedTime(true, 0.25 * kHour));
    EXPECT_EQ(model.Cell(2, 3).Text, FormatElapsedTime(true, 2.0 / 86400.0));
    EXPECT_EQ(model.Cell(1, 4).Text, QStringLiteral("Triads"));
    EXPECT_EQ(model.Cell(2, 4).Text, QStringLiteral("3 - Sevenths"));
    const ResultCell total = model.Cell(2, 5);
    EXPECT_TRUE(total.IsScore && total.WithText);
    EXPECT_EQ(total.Right, 7);
    EXPECT_EQ(total.Asked, 9);
    const ResultCell item = model.Cell(2, 6);
    EXPECT_EQ(item.Right, 2);
    EXPECT_EQ(item.Asked, 3);
    EXPECT_TRUE(item.WithText) << "counts are on";
    EXPECT_EQ(model.Cell(1, 6).Asked, 0) << "not asked in that run";
    EXPECT_TRUE(model.Cell(3, 0).Text.isEmpty()) << "no such row";
}

TEST_F(ResultsViewTest, AUserWithoutResultsHasOneEmptyRow)
{
    model.Fill(4, -1.0);
    EXPECT_EQ(model.RowCount(), 2);
    EXPECT_TRUE(model.Rows().empty());
    EXPECT_TRUE(model.Cell(1, 0).Text.isEmpty());
    EXPECT_FALSE(model.Cell(1, 1).IsScore);
}

TEST_F(ResultsViewTest, RunningResultOfTheCurrentUserComesLastAndOnlyForItsKind)
{
    Store({Result(1, today - 1, 4, 5)});
    running[0].Record = Result(1, 0.75, 3, 4);
    running[1].Record = Result(2, 0.75, 1, 2);
    SetToggles(false, false);
    model.Fill(1, -1.0);
    EXPECT_EQ(DateColumn(),
              (std::vector<QString>{ResultDateText(today - 1), texts.StrResultsText}));
    EXPECT_EQ(model.Cell(2, 1).Asked, 4);

    // A running result without answers is no row.
    running[0].Record.Count = 0;
    model.Fill(1, -1.0);
    EXPECT_EQ(model.Rows().size(), 1U);

    // The runs are the current user's: another user's results show without them.
    running[0].Record.Count = 4;
    auto other = std::make_shared<TUserInfo>();
    other->Record.UserId = 8;
    app.SetResultUser(other);
    model.Fill(1, -1.0);
    EXPECT_TRUE(model.Rows().empty());
}

TEST_F(ResultsViewTest, FromDateFiltersUntilAnotherIsGiven)
{
    Store({Result(1, today - 10, 1, 5), Result(1, today - 5, 2, 5), Result(1, today - 1, 3, 5),
           Result(2, today - 1, 4, 5)});
    struct Case
    {
        int kind;
        double from;
        std::vector<double> dates;
    };
    const Case cases[] = {
        {1, -1.0, {today - 10, today - 5, today - 1}},
        {1, today - 5, {today - 5, today - 1}},
        {0, -1.0, {today - 5, today - 1}}, // neither given: both stay
        {2, -1.0, {today - 1}},
        {1, 0.0, {today - 10, today - 5, today - 1}}, // 0: every date
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " from " << c.from);
        model.Fill(c.kind, c.from);
        std::vector<double> dates;
        for (const ResultRow& r : model.Rows())
            dates.push_back(r.DateTime);
        EXPECT_EQ(dates, c.dates);
    }
}

TEST_F(ResultsViewTest, ShowsTheShownUsersResultsAfterTheListHeldAnothers)
{
    Store({Result(1, today - 1, 4, 5)});
    TResultRec foreign = Result(1, today - 2, 1, 1);
    foreign.UserId = 8;
    ASSERT_TRUE(AppendResult(data, foreign));
    // Another user was shown a moment ago and their results were read.
    const std::shared_ptr<TUserInfo> shown = app.ResultUser();
    auto other = std::make_shared<TUserInfo>();
    other->Record.UserId = 8;
    app.SetResultUser(other);
    ASSERT_EQ(app.ResultList(data).size(), 1U);
    app.SetResultUser(shown);
    model.Fill(1, -1.0);
    ASSERT_EQ(model.Rows().size(), 1U);
    EXPECT_EQ(model.Rows()[0].UserId, kUser);
}

TEST_F(ResultsViewTest, ScoreCellsPlaceTextBarAndPercentage)
{
    const auto width = [](const QString& text) { return static_cast<int>(text.size()) * 7; };
    const CellBox cell{100, 20, 250, 40};
    struct Case
    {
        const char* what;
        int kind;
        std::uint16_t right;
        std::uint16_t asked;
        bool withText;
        CellBox box;
        ScoreCellPlan plan;
    };
    const Case cases[] = {
        {"right/asked, the slash ending 31 px in",
         1,
         7,
         9,
         true,
         cell,
         {77,
          true,
          QStringLiteral("7/9"),
          117,
          true,
          {160, 22, 247, 38},
          true,
          226,
          QStringLiteral("77%")}},
        {"nothing asked: an empty frame",
         1,
         0,
         0,
         true,
         cell,
         {100, true, QStringLiteral("0/0"), 117, true, {160, 22, 247, 38}, false, 0, QString()}},
        {"mean-percent kinds show the count and the stored percentage",
         5,
         83,
         3,
         true,
         cell,
         {83,
          true,
          QStringLiteral("3"),
          131,
          true,
          {160, 22, 247, 38},
          true,
          232,
          QStringLiteral("83%")}},
        {"without text the frame starts 3 px in",
         2,
         1,
         4,
         false,
         cell,
         {25, false, QString(), 0, true, {103, 22, 247, 38}, true, 139, QStringLiteral("25%")}},
        {"no room for a frame",
         1,
         1,
         2,
         true,
         CellBox{100, 20, 189, 40},
         {50, true, QStringLiteral("1/2"), 117, false, {}, false, 0, QString()}},
        {"a damaged count keeps the bar inside the frame",
         1,
         9,
         3,
         false,
         cell,
         {300, false, QString(), 0, true, {103, 22, 247, 38}, true, 247, QStringLiteral("300%")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ScoreCellPlan plan =
            PlanScoreCell(c.kind, c.right, c.asked, c.withText, c.box, width);
        EXPECT_EQ(plan.Percent, c.plan.Percent);
        EXPECT_EQ(plan.ShowText, c.plan.ShowText);
        if (c.plan.ShowText) {
            EXPECT_EQ(plan.Text, c.plan.Text);
            EXPECT_EQ(plan.TextLeft, c.plan.TextLeft);
        }
        EXPECT_EQ(plan.ShowBox, c.plan.ShowBox);
        if (c.plan.ShowBox) {
            EXPECT_EQ(plan.Box, c.plan.Box);
        }
        EXPECT_EQ(plan.ShowBar, c.plan.ShowBar);
        if (c.plan.ShowBar) {
            EXPECT_EQ(plan.BarRight, c.plan.BarRight);
        }
        EXPECT_EQ(plan.PercentText, c.plan.PercentText);
    }
}

TEST_F(ResultsViewTest, CountsToggleWidensItemColumnsAndTwiceOnOffLeavesTheWidth)
{
    model.SetColumn(7, ResultColumn{true, 100});
    SetToggles(false, true, true);
    EXPECT_EQ(model.Column(7).Width, 160);
    SetToggles(false, true, true); // pressed again in the same state: no change
    EXPECT_EQ(model.Column(7).Width, 160);
    SetToggles(false, true, false);
    SetToggles(false, true, true);
    SetToggles(false, true, false);
    EXPECT_EQ(model.Column(7).Width, 100);
    EXPECT_FALSE(model.Column(6).Shown);
}

TEST_F(ResultsViewTest, ResizedColumnsKeepTheirWidthsAndOneItemWidthForAll)
{
    Store({Result(1, today, 7, 9, {{3, {2, 3}}, {5, {1, 1}}, {28, {5, 6}}})});
    model.SetColumn(7, ResultColumn{true, 100});
    SetToggles(false, true);
    model.Fill(1, -1.0);
    ASSERT_EQ(ColumnKinds(), (Kinds{0, 5, 13, 15, 38}));
    model.ColumnsResized({120, 90, 100, 130, 140});
    EXPECT_EQ(model.Column(0).Width, 120);
    EXPECT_EQ(model.Column(5).Width, 90);
    EXPECT_EQ(model.Column(7).Width, 130) << "the first item column that changed";
    for (int c = 2; c < 5; ++c)
        EXPECT_EQ(model.ColumnWidth(c), 130);

    // Widths from a damaged settings record still give a usable grid.
    model.SetColumn(0, ResultColumn{true, -50});
    model.SetColumn(7, ResultColumn{true, 2'000'000'000});
    model.SetColumns();
    EXPECT_GT(model.ColumnWidth(0), 0);
    EXPECT_LE(model.ColumnWidth(2), 4000);
}

TEST_F(ResultsViewTest, DamagedResultFileShowsItsWholeRecordsWithOneMessage)
{
    Store({Result(1, today - 2, 4, 5), Result(1, today - 1, 3, 5)});
    const QString path = ResultFileName(data, kUser);
    std::vector<std::uint8_t> bytes = Bytes(path);
    bytes.resize(bytes.size() + 100, 0xEE); // a record cut short at the end
    ASSERT_TRUE(Put(path, bytes));
    model.Fill(1, -1.0);
    EXPECT_EQ(model.Rows().size(), 2U);

    // Far larger than a result file grows: refused unread, and said so once.
    QFile huge(path);
    ASSERT_TRUE(huge.resize(std::int64_t{65} * 1024 * 1024));
    // Nothing held: the next showing reads the file again.
    const std::shared_ptr<TUserInfo> shown = app.ResultUser();
    app.SetResultUser(nullptr);
    app.SetResultUser(shown);
    model.Fill(1, -1.0);
    EXPECT_TRUE(model.Rows().empty());
    ASSERT_EQ(prompts.Count(QStringLiteral("error")), 1);
    EXPECT_TRUE(prompts.asked.back().text.contains(path));
    model.Fill(1, -1.0);
    EXPECT_EQ(prompts.Count(QStringLiteral("error")), 1);
}

TEST_F(ResultsViewTest, UserChoiceListsTheUsersAndShowsTheChosenOnesResults)
{
    Store({Result(1, today - 1, 4, 5)});
    EXPECT_EQ(model.Users().size(), 1U) << "without a user list only the user shown";
    EXPECT_EQ(model.ShownUserIndex(), 0);

    auto other = std::make_shared<TUserInfo>();
    other->Record.UserId = 8;
    other->Record.FullName = QStringLiteral("Bo");
    TResultRec his = Result(1, today - 3, 2, 2);
    his.UserId = 8;
    ASSERT_TRUE(AppendResult(data, his));
    app.Users.UserList =
        UserEntries{{QStringLiteral("Ann"), app.Users.CurrentUser}, {QStringLiteral("Bo"), other}};
    model.Fill(1, today);
    model.ChooseUser(1);
    EXPECT_EQ(app.ResultUser(), other);
    EXPECT_TRUE(other->Computed);
    EXPECT_EQ(model.FromDate(), 0.0) << "every date of the chosen user";
    ASSERT_EQ(model.Rows().size(), 1U);
    EXPECT_EQ(model.Rows()[0].UserId, 8);
    EXPECT_EQ(model.ShownUserIndex(), 1);
}

TEST_F(ResultsViewTest, HeaderSumsThePeriodAndMeanPercentKindsAverage)
{
    Store({Result(1, today - 1, 7, 9), Result(1, today - 0.5, 3, 3),
           Result(1, today - 30, 1, 10), // before the period
           Result(5, today - 1, 80, 4), Result(5, today - 0.5, 60, 6)});
    app.ComputeUserStatistics(data, *app.ResultUser(), {});
    model.Fill(1, -1.0);
    ResultsHeader header = model.Header();
    EXPECT_EQ(std::pair(header.Right, header.Asked), std::pair(10U, 12U));
    EXPECT_EQ(header.ExerciseTime, FormatElapsedTime(true, 0.5 * kHour));
    model.Fill(5, -1.0);
    header = model.Header();
    EXPECT_EQ(std::pair(header.Right, header.Asked), std::pair(70U, 10U));
}

class DeleteResultsTest : public ResultsViewTest
{
protected:
    DeleteResultsModel dialog{app, data, texts};
};

TEST_F(DeleteResultsTest, KeepsExactlyTheResultsFromTheChosenDaysMidnightOn)
{
    const QDate chosen = QDate::currentDate().addDays(-30);
    const double midnight = ToDaysSince1899(QDateTime(chosen, QTime(0, 0)));
    const double lastMinuteBefore = midnight - 1.0 / 1440.0;
    Store({Result(1, midnight - 40, 1, 5), Result(2, lastMinuteBefore, 1, 5),
           Result(1, midnight, 2, 5), Result(4, midnight + 0.99, 3, 5), Result(1, today, 4, 5)});
    ASSERT_EQ(app.ResultList(data).size(), 5U);
    ASSERT_TRUE(dialog.Delete(chosen));
    EXPECT_EQ(StoredDates(kUser), (std::vector<double>{midnight, midnight + 0.99, today}));
    const ResultEntries* shownResults = app.HeldResults();
    ASSERT_NE(shownResults, nullptr);
    EXPECT_EQ(shownResults->size(), 3U) << "the results were loaded again";
    EXPECT_FALSE(app.Users.CurrentUser->Computed);
    EXPECT_TRUE(prompts.asked.empty());
}

TEST_F(DeleteResultsTest, OffersThirtyDaysAgoAndNamesTheUser)
{
    EXPECT_EQ(DeleteResultsModel::DefaultDate(QDate(2024, 3, 15)), QDate(2024, 2, 14));
    EXPECT_EQ(dialog.LabelText(), QStringLiteral("Delete the results of Ann Berg before:"));
}

TEST_F(DeleteResultsTest, AFailedDeleteKeepsEveryResultAndSaysWhy)
{
    Store({Result(1, today - 100, 1, 5), Result(1, today, 2, 5)});
    const QString path = ResultFileName(data, kUser);
    const std::vector<std::uint8_t> before = Bytes(path);
    // Another copy holds the file and the user gives up.
    auto locked = SharedFile::TryOpen(path);
    ASSERT_TRUE(locked);
    prompts.buttons = {PromptButton::Ok};
    EXPECT_FALSE(dialog.Delete(QDate::currentDate()));
    locked.Value().Close();
    EXPECT_EQ(Bytes(path), before);
    EXPECT_EQ(prompts.Count(QStringLiteral("okretry")), 1);
}

} // namespace
} // namespace pv
