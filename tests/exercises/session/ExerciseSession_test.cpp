// The answer-time rule, the clock reset, the answer count, the item statistics and the score
// gauge of an exercise session, and the results reset that reaches the window showing it.
#include "exercises/session/ExerciseSession.h"

#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

namespace pv {
namespace {

constexpr double kDay = 46000.0; // some day in 2025
constexpr double kHour = 1.0 / 24.0;
// Dates near 46000 days keep about 1e-11 of a day.
constexpr double kTolerance = 1e-9;

TEST(ExerciseSession, AnswerTimeCountsOnlyAQuestionPutLessThanADayAgo)
{
    struct Case
    {
        const char* name;
        double questionStart;
        double now;
        double added;
    };
    const Case cases[] = {
        {"two hours", kDay, kDay + 2 * kHour, 2 * kHour},
        {"just under a day", kDay, kDay + 0.999, 0.999},
        {"exactly a day", kDay, kDay + 1.0, 0.0},
        {"more than a day", kDay, kDay + 1.5, 0.0},
        {"no time passed", kDay, kDay, 0.0},
        {"clock set back", kDay, kDay - kHour, 0.0},
        {"no question put", 0.0, kDay, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExerciseSession model;
        model.AnswerTime = 0.25;
        model.QuestionStart = c.questionStart;
        EXPECT_NEAR(model.AddAnswerTime(c.now), c.added, kTolerance);
        EXPECT_NEAR(model.AnswerTime, 0.25 + c.added, kTolerance);
        EXPECT_EQ(model.QuestionStart, 0.0) << "the question's start is used once";
    }
}

TEST(ExerciseSession, TwoAnswersToOneQuestionAddOneAnswerTime)
{
    ExerciseSession model;
    model.MarkQuestionStart(kDay);
    model.AddAnswerTime(kDay + kHour);
    model.AddAnswerTime(kDay + 2 * kHour);
    EXPECT_NEAR(model.AnswerTime, kHour, kTolerance);
}

TEST(ExerciseSession, ClockResetClearsTheTimesButNotTheCountersOrTheQuestion)
{
    ExerciseSession model;
    model.QuestionCount = 7;
    model.CorrectCount = 5;
    model.StartDate = kDay;
    model.ExerciseTime = 0.1;
    model.ClockStart = kDay + 0.2;
    model.AnswerTime = 0.05;
    model.QuestionStart = kDay + 0.3;
    model.ClearClock();
    EXPECT_EQ(model.StartDate, 0.0);
    EXPECT_EQ(model.ExerciseTime, 0.0);
    EXPECT_EQ(model.ClockStart, 0.0);
    EXPECT_EQ(model.AnswerTime, 0.0);
    EXPECT_EQ(model.QuestionStart, kDay + 0.3);
    EXPECT_EQ(model.QuestionCount, 7U);
    EXPECT_EQ(model.CorrectCount, 5U);
}

TEST(ExerciseSession, ResultResetClearsTheCountersButNotTheClock)
{
    ExerciseSession model;
    model.QuestionCount = 7;
    model.CorrectCount = 5;
    model.StartDate = kDay;
    model.AnswerTime = 0.05;
    model.ClearCounters();
    EXPECT_EQ(model.QuestionCount, 0U);
    EXPECT_EQ(model.CorrectCount, 0U);
    EXPECT_EQ(model.StartDate, kDay);
    EXPECT_EQ(model.AnswerTime, 0.05);
}

TEST(ExerciseSession, AnswersCountUpToTheLargestValueAndTheGaugeRoundsHalfUp)
{
    const struct
    {
        std::uint32_t asked, right;
        int gauge;
    } cases[] = {{0, 0, 100}, {3, 2, 67}, {8, 1, 13}, {200, 1, 1}, {201, 1, 0}, {4, 4, 100}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.right << " of " << c.asked);
        ExerciseSession model;
        model.QuestionCount = c.asked;
        model.CorrectCount = c.right;
        EXPECT_EQ(model.ScoreGauge(), c.gauge);
    }

    ExerciseSession model;
    model.CountAnswer(true);
    model.CountAnswer(false);
    EXPECT_EQ(model.QuestionCount, 2U);
    EXPECT_EQ(model.CorrectCount, 1U);
    // A counter at its largest value stays there instead of starting again at zero.
    constexpr std::uint32_t kMax = std::numeric_limits<std::uint32_t>::max();
    model.QuestionCount = kMax;
    model.CorrectCount = kMax;
    model.CountAnswer(true);
    EXPECT_EQ(model.QuestionCount, kMax);
    EXPECT_EQ(model.CorrectCount, kMax);
    EXPECT_EQ(model.ScoreGauge(), 100);
}

TEST(ExerciseSession, ItemAnswersCountPerItemAndStopAtTheirLargestValue)
{
    ExerciseSession session;
    session.CountItemAnswer(3, true);
    session.CountItemAnswer(3, false);
    session.CountItemAnswer(60, true);
    EXPECT_EQ(session.ItemStatistics(3), (ItemCounts{1, 2}));
    EXPECT_EQ(session.ItemStatistics(60), (ItemCounts{1, 1}));
    EXPECT_EQ(session.ItemStatistics(4), ItemCounts{});
    for (int noItem : {0, -1, 61, 1000}) {
        SCOPED_TRACE(noItem);
        session.CountItemAnswer(noItem, true);
        EXPECT_EQ(session.ItemStatistics(noItem), ItemCounts{});
    }
    EXPECT_EQ(session.Items[0], ItemCounts{}) << "index 0 is no item";

    session.Items[5] = {65535, 65535};
    session.CountItemAnswer(5, true);
    EXPECT_EQ(session.ItemStatistics(5), (ItemCounts{65535, 65535}));
}

TEST(ExerciseSession, AResultsResetClearsCountersAndItemsThenTellsTheWindowOnce)
{
    ExerciseSession session;
    session.QuestionCount = 4;
    session.CorrectCount = 3;
    session.StartDate = kDay;
    session.CountItemAnswer(2, true);
    session.ResetResults();
    EXPECT_EQ(session.QuestionCount, 0U);
    EXPECT_EQ(session.CorrectCount, 0U);
    EXPECT_EQ(session.ItemStatistics(2), ItemCounts{});
    EXPECT_EQ(session.StartDate, kDay) << "the clock is reset on its own";

    int told = 0;
    std::uint32_t countWhenTold = 99;
    session.SetResetListener([&] {
        ++told;
        countWhenTold = session.QuestionCount;
    });
    session.QuestionCount = 7;
    session.ResetResults();
    EXPECT_EQ(told, 1);
    EXPECT_EQ(countWhenTold, 0U) << "the window finds the counters cleared";
    session.ClearResults();
    EXPECT_EQ(told, 1) << "clearing alone tells nobody";
    session.SetResetListener({});
    session.ResetResults();
    EXPECT_EQ(told, 1);
}

TEST(ExerciseSessions, EveryKindHasASessionOfItsOwnAndADamagedKindNone)
{
    ExerciseSessions sessions;
    for (ExerciseKind kind : kExerciseKinds) {
        SCOPED_TRACE(KindNumber(kind));
        ASSERT_EQ(sessions.Find(kind), &sessions.Of(kind));
        sessions.Of(kind).QuestionCount = static_cast<std::uint32_t>(KindNumber(kind));
    }
    for (ExerciseKind kind : kExerciseKinds)
        EXPECT_EQ(sessions.Of(kind).QuestionCount, static_cast<std::uint32_t>(KindNumber(kind)));
    EXPECT_EQ(sessions.Find(static_cast<ExerciseKind>(0)), nullptr);
    EXPECT_EQ(sessions.Find(static_cast<ExerciseKind>(11)), nullptr);

    sessions.ResetResults(ExerciseKind::Scales);
    sessions.ResetResults(static_cast<ExerciseKind>(11));
    for (ExerciseKind kind : kExerciseKinds) {
        SCOPED_TRACE(KindNumber(kind));
        EXPECT_EQ(sessions.Of(kind).QuestionCount == 0, kind == ExerciseKind::Scales);
    }
}

} // namespace
} // namespace pv
