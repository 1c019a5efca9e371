// The answer-time rule, the clock reset, the answer count and the score gauge of the exercise
// counters.
#include "exercises/base/ExerciseBaseModel.h"

#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

namespace pv {
namespace {

constexpr double kDay = 46000.0; // some day in 2025
constexpr double kHour = 1.0 / 24.0;
// Dates near 46000 days keep about 1e-11 of a day.
constexpr double kTolerance = 1e-9;

TEST(ExerciseBaseModel, AnswerTimeCountsOnlyAQuestionPutLessThanADayAgo)
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
        ExerciseBaseModel model;
        model.AnswerTime = 0.25;
        model.QuestionStart = c.questionStart;
        EXPECT_NEAR(model.AddAnswerTime(c.now), c.added, kTolerance);
        EXPECT_NEAR(model.AnswerTime, 0.25 + c.added, kTolerance);
        EXPECT_EQ(model.QuestionStart, 0.0) << "the question's start is used once";
    }
}

TEST(ExerciseBaseModel, TwoAnswersToOneQuestionAddOneAnswerTime)
{
    ExerciseBaseModel model;
    model.MarkQuestionStart(kDay);
    model.AddAnswerTime(kDay + kHour);
    model.AddAnswerTime(kDay + 2 * kHour);
    EXPECT_NEAR(model.AnswerTime, kHour, kTolerance);
}

TEST(ExerciseBaseModel, ClockResetClearsTheTimesButNotTheCountersOrTheQuestion)
{
    ExerciseBaseModel model;
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

TEST(ExerciseBaseModel, ResultResetClearsTheCountersButNotTheClock)
{
    ExerciseBaseModel model;
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

TEST(ExerciseBaseModel, AnswersCountUpToTheLargestValueAndTheGaugeRoundsHalfUp)
{
    const struct
    {
        std::uint32_t asked, right;
        int gauge;
    } cases[] = {{0, 0, 100}, {3, 2, 67}, {8, 1, 13}, {200, 1, 1}, {201, 1, 0}, {4, 4, 100}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.right << " of " << c.asked);
        ExerciseBaseModel model;
        model.QuestionCount = c.asked;
        model.CorrectCount = c.right;
        EXPECT_EQ(model.ScoreGauge(), c.gauge);
    }

    ExerciseBaseModel model;
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

} // namespace
} // namespace pv
