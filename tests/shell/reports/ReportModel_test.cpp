// The report as one table per scope and kind choice over a small school: its users, kinds,
// rows, totals and texts; the refusals; the rules of the kind check boxes.
#include "ReportFixture.h"
#include "shell/results/ElapsedTime.h"
#include "shell/results/ResultsViewModel.h"

namespace pv {
namespace {

class ReportModelTest : public test::ReportFixture
{
protected:
    bool Prepare(const ReportChoice& choice, bool right = false)
    {
        return model.Prepare(choice, captions, right, TodayInDaysSince1899());
    }
    std::vector<QString> Names() const
    {
        std::vector<QString> names;
        for (const ReportUserSection& user : model.Prepared().Users)
            names.push_back(user.FullName);
        return names;
    }
};

TEST_F(ReportModelTest, ScopesChooseTheirUsersAndTexts)
{
    struct Case
    {
        ReportScope scope;
        std::optional<TClassRec> chosenClass;
        std::vector<QString> names;
        QString scopeText; ///< empty: not printed
        QString userCount;
        bool classNames;
    };
    TClassRec class3;
    class3.Name = QStringLiteral("3b");
    class3.ClassId = 3;
    const Case cases[] = {
        {ReportScope::OneUser,
         {},
         {QStringLiteral("Berg, Ann")},
         {},
         QStringLiteral("Users: 1"),
         true},
        {ReportScope::OneClass,
         class3,
         {QStringLiteral("Berg, Ann"), QStringLiteral("Dahl, Bo"), QStringLiteral("Cher, Tea")},
         QStringLiteral("Class: 3b"),
         QStringLiteral("Users: 3"),
         false},
        {ReportScope::AllStudents,
         {},
         {QStringLiteral("Berg, Ann"), QStringLiteral("Dahl, Bo"), QStringLiteral("Cy")},
         QStringLiteral("All students"),
         QStringLiteral("Users: 3"),
         true},
        {ReportScope::AllUsers,
         {},
         {QStringLiteral("Berg, Ann"), QStringLiteral("Dahl, Bo"), QStringLiteral("Cy"),
          QStringLiteral("Cher, Tea")},
         QStringLiteral("All users"),
         QStringLiteral("Users: 4"),
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.scope));
        ReportChoice choice = Choice(c.scope, {3});
        choice.Class = c.chosenClass;
        choice.User = ann;
        ASSERT_TRUE(Prepare(choice, true)) << "with the right to see other users";
        const Report& report = model.Prepared();
        EXPECT_EQ(Names(), c.names);
        EXPECT_EQ(report.PrintScope, !c.scopeText.isEmpty());
        if (report.PrintScope) {
            EXPECT_EQ(report.ScopeText, c.scopeText);
        }
        EXPECT_EQ(report.UserCount, c.userCount);
        EXPECT_EQ(report.PrintClassName, c.classNames);
        EXPECT_EQ(report.Title, QStringLiteral("Results of the exercises"));
    }
    // Every user's class is named by Class.dat; a user without one has none.
    const auto& users = model.Prepared().Users;
    EXPECT_EQ(users[0].ClassName, QStringLiteral("Class: 3b"));
    EXPECT_TRUE(users[2].ClassName.isEmpty());
}

TEST_F(ReportModelTest, KindsInBoxOrderWithRowsAndTotals)
{
    Store(ann, 1, 0, 7, 9, QStringLiteral("Triads"));
    Store(ann, 1, 2, 3, 3);
    Store(ann, 1, 40, 1, 1); // before the days asked for
    Store(ann, 5, 1, 80, 4);
    Store(ann, 5, 3, 60, 6);
    Store(ann, 2, 1, 0, 0); // asked nothing
    // Kinds 5, 1 and 2 and 8 (no results), ticked out of order.
    ASSERT_TRUE(Prepare(
        Choice(ReportScope::OneUser,
               {ReportBoxOfKind(5), ReportBoxOfKind(8), ReportBoxOfKind(1), ReportBoxOfKind(2)},
               QStringLiteral("30"))));
    const Report& report = model.Prepared();
    ASSERT_EQ(report.Users.size(), 1U);
    const auto& kinds = report.Users[0].Kinds;
    ASSERT_EQ(kinds.size(), 4U);
    std::vector<int> order;
    for (const ReportKindSection& k : kinds)
        order.push_back(k.Kind);
    EXPECT_EQ(order, (std::vector<int>{2, 1, 8, 5})) << "boxes 2, 3, 6, 7";
    EXPECT_FALSE(report.PrintKindTitle);
    EXPECT_EQ(report.KindBandHeight, 8.5);
    EXPECT_TRUE(report.PrintColumnTitles);
    EXPECT_EQ(report.PastDays, QStringLiteral("The last 30 days"));
    EXPECT_EQ(report.ScoreTitle, QStringLiteral("Right /"));
    EXPECT_EQ(report.CountTitle, QStringLiteral("Total"));

    const ReportKindSection& chords = kinds[1];
    EXPECT_TRUE(chords.PrintTitle);
    EXPECT_EQ(chords.Title, QStringLiteral("Kind 1"));
    ASSERT_EQ(chords.Rows.size(), 2U);
    const ReportRow& first = chords.Rows[0];
    EXPECT_EQ(first.Date, ResultDateText(today));
    EXPECT_EQ(first.Time, ResultTimeText(today));
    EXPECT_EQ(first.LevelName, QStringLiteral("Triads"));
    EXPECT_EQ(first.Duration, FormatElapsedTime(true, 0.1 * kHour));
    EXPECT_EQ(
        (std::vector<QString>{first.Score, first.Count, first.Percent}),
        (std::vector<QString>{QStringLiteral("7 /"), QStringLiteral("9"), QStringLiteral("77%")}));
    EXPECT_TRUE(chords.PrintFooter);
    // Summed right answers over summed questions: 10 of 12.
    EXPECT_EQ((std::vector<QString>{chords.FooterScore, chords.FooterCount, chords.FooterPercent,
                                    chords.FooterDuration}),
              (std::vector<QString>{QStringLiteral("10 /"), QStringLiteral("12"),
                                    QStringLiteral("83%"), FormatElapsedTime(true, 0.2 * kHour)}));

    const ReportKindSection& rhythm = kinds[3];
    ASSERT_EQ(rhythm.Rows.size(), 2U);
    EXPECT_TRUE(rhythm.Rows[0].Score.isEmpty());
    EXPECT_EQ(rhythm.Rows[0].Percent, QStringLiteral("80%"));
    // The mean of the rows' percentages, not a sum.
    EXPECT_TRUE(rhythm.FooterScore.isEmpty());
    EXPECT_EQ(rhythm.FooterPercent, QStringLiteral("70%"));
    EXPECT_EQ(rhythm.FooterCount, QStringLiteral("10"));

    const ReportKindSection& intervals = kinds[0];
    ASSERT_EQ(intervals.Rows.size(), 1U);
    EXPECT_TRUE(intervals.Rows[0].Percent.isEmpty()) << "nothing asked: no percentage";
    EXPECT_FALSE(intervals.PrintFooter);

    const ReportKindSection& scales = kinds[2];
    EXPECT_TRUE(scales.Rows.empty());
    EXPECT_FALSE(scales.PrintTitle) << "a kind without results prints no heading";
    EXPECT_FALSE(scales.PrintFooter);
}

TEST_F(ReportModelTest, OneKindIsNamedInTheTitleAndHasNoHeadingOfItsOwn)
{
    Store(ann, 4, 1, 90, 2);
    ASSERT_TRUE(Prepare(Choice(ReportScope::OneUser, {ReportBoxOfKind(4)})));
    const Report& report = model.Prepared();
    EXPECT_TRUE(report.PrintKindTitle);
    EXPECT_EQ(report.KindTitle, QStringLiteral("Kind 4"));
    EXPECT_EQ(report.KindBandHeight, 2);
    const ReportKindSection& kind = report.Users[0].Kinds.at(0);
    EXPECT_FALSE(kind.PrintTitle);
    EXPECT_EQ(kind.Rows.size(), 1U);
    EXPECT_TRUE(kind.PrintFooter);
    EXPECT_EQ(kind.FooterPercent, QStringLiteral("90%"));
}

TEST_F(ReportModelTest, DaysThatAreNoNumberMeanTheLastDay)
{
    Store(ann, 1, 0, 1, 1);
    Store(ann, 1, 1, 2, 2); // yesterday noon: inside one day back from midnight
    Store(ann, 1, 3, 3, 3);
    struct Case
    {
        const char* days;
        std::size_t rows;
        const char* pastDays;
    };
    const Case cases[] = {{"abc", 2, "The last 1 days"},
                          {"7", 3, "The last 7 days"},
                          {" 5 ", 3, "The last 5 days"},
                          {"0", 1, "The last 0 days"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.days);
        ASSERT_TRUE(Prepare(Choice(ReportScope::OneUser, {3}, QString::fromLatin1(c.days))));
        EXPECT_EQ(model.Prepared().Users[0].Kinds[0].Rows.size(), c.rows);
        EXPECT_EQ(model.Prepared().PastDays, QString::fromLatin1(c.pastDays));
    }
}

TEST_F(ReportModelTest, NoKindChosenPrintsUsersOnly)
{
    ASSERT_TRUE(Prepare(Choice(ReportScope::OneUser, {})));
    const Report& report = model.Prepared();
    EXPECT_FALSE(report.PrintColumnTitles);
    EXPECT_FALSE(report.PrintPastDays);
    EXPECT_EQ(report.Users.size(), 1U);
    EXPECT_TRUE(report.Users[0].Kinds.empty());
}

TEST_F(ReportModelTest, WithoutTheRightTheReportIsTheShownUsersWhateverWasChosen)
{
    Store(bo, 1, 0, 5, 5);
    app.SetResultUser(bo);
    ReportChoice choice = Choice(ReportScope::OneUser, {3});
    choice.User = ann;
    ASSERT_TRUE(Prepare(choice, false));
    EXPECT_EQ(Names(), std::vector<QString>{QStringLiteral("Dahl, Bo")});
    EXPECT_EQ(model.Prepared().Users[0].Kinds[0].Rows.size(), 1U);
    EXPECT_TRUE(prompts.asked.empty());
}

TEST_F(ReportModelTest, RefusesWithoutAChosenUserOrClass)
{
    EXPECT_FALSE(Prepare(Choice(ReportScope::OneUser, {3}), true));
    EXPECT_TRUE(model.FocusUserChoice());
    ASSERT_EQ(prompts.asked.size(), 1U);
    EXPECT_EQ(prompts.asked[0].text, QStringLiteral("Please choose a user first."));
    EXPECT_EQ(prompts.asked[0].caption, QStringLiteral("Pellivark"));

    EXPECT_FALSE(Prepare(Choice(ReportScope::OneClass, {3}), true));
    EXPECT_FALSE(model.FocusUserChoice());
    EXPECT_EQ(prompts.asked.size(), 1U) << "no class: no message";
}

TEST_F(ReportModelTest, TheLoadedResultsAreTheShownUsersAfterAReportOfAll)
{
    Store(ann, 1, 0, 5, 5);
    Store(cy, 1, 0, 1, 5);
    ASSERT_EQ(app.ResultList(data).size(), 1U);
    ASSERT_TRUE(Prepare(Choice(ReportScope::AllUsers, {3}), true));
    const ResultEntries* shownResults = app.HeldResults();
    ASSERT_NE(shownResults, nullptr);
    ASSERT_EQ(shownResults->size(), 1U);
    EXPECT_EQ(shownResults->front().Object->Record.UserId, ann->Record.UserId);
}

TEST_F(ReportModelTest, DamagedResultFileIsReportedAsFarAsItIsWhole)
{
    Store(ann, 1, 0, 5, 5);
    Store(ann, 1, 1, 4, 5);
    const QString path = ResultFileName(data, ann->Record.UserId);
    std::vector<std::uint8_t> bytes = Bytes(path);
    bytes.resize(bytes.size() + 200, 0x55);
    ASSERT_TRUE(Put(path, bytes));
    ASSERT_TRUE(Prepare(Choice(ReportScope::OneUser, {3})));
    EXPECT_EQ(model.Prepared().Users[0].Kinds[0].Rows.size(), 2U);
}

TEST(ReportKindBoxesTest, BoxesFollowTheirRules)
{
    using All = ReportKindBoxes::AllState;
    struct Step
    {
        const char* what;
        std::function<void(ReportKindBoxes&)> act;
        std::vector<int> ticked;
        All all;
    };
    const int chordBox = ReportBoxOfKind(1);
    const std::vector<int> every = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    const Step steps[] = {
        {"shown with kind 1: its box alone",
         [](ReportKindBoxes& b) { b.Show(1); },
         {chordBox},
         All::Grayed},
        {"one more",
         [](ReportKindBoxes& b) { b.KindBoxClicked(7, true); },
         {chordBox, 7},
         All::Grayed},
        {"all clicked from grayed: checked", [](ReportKindBoxes& b) { b.AllBoxClicked(); }, every,
         All::Checked},
        {"all clicked from checked: cleared",
         [](ReportKindBoxes& b) { b.AllBoxClicked(); },
         {},
         All::Unchecked},
        {"all clicked from cleared: grayed, the current kind's box",
         [](ReportKindBoxes& b) { b.AllBoxClicked(); },
         {chordBox},
         All::Grayed},
        {"the last one cleared",
         [chordBox](ReportKindBoxes& b) { b.KindBoxClicked(chordBox, false); },
         {},
         All::Unchecked},
        {"ticked one by one up to all ten",
         [](ReportKindBoxes& b) {
             for (int box = 1; box <= 10; ++box)
                 b.KindBoxClicked(box, true);
         },
         every, All::Checked},
    };
    ReportKindBoxes boxes;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act(boxes);
        EXPECT_EQ(boxes.TickedBoxes(), step.ticked);
        EXPECT_EQ(boxes.All(), step.all);
    }

    // Without a current exercise the "all" box has two states only.
    ReportKindBoxes none;
    none.Show(0);
    EXPECT_FALSE(none.GrayedAllowed());
    EXPECT_TRUE(none.TickedBoxes().empty());
    none.AllBoxClicked();
    EXPECT_EQ(none.TickedBoxes(), every);
    none.AllBoxClicked();
    EXPECT_TRUE(none.TickedBoxes().empty());
}

TEST(ReportBoxesTest, BoxesAndKindsMapBothWays)
{
    for (int kind = 1; kind <= 10; ++kind) {
        SCOPED_TRACE(kind);
        const int box = ReportBoxOfKind(kind);
        ASSERT_GE(box, 1);
        EXPECT_EQ(kReportBoxKinds[static_cast<std::size_t>(box - 1)], kind);
    }
    EXPECT_EQ(ReportBoxOfKind(1), 3);
    EXPECT_EQ(ReportBoxOfKind(10), 5);
    EXPECT_EQ(ReportBoxOfKind(0), 0);
    EXPECT_EQ(ReportBoxOfKind(11), 0);
}

} // namespace
} // namespace pv
