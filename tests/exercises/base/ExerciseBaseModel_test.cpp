// The answer-time rule and the clock reset of the exercise counters.
#include "exercises/base/ExerciseBaseModel.h"

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

} // namespace
} // namespace pv
