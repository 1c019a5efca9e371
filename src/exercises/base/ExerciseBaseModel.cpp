// The answer-time rule of the exercise windows.
#include "exercises/base/ExerciseBaseModel.h"

#include <limits>

namespace pv {

double ExerciseBaseModel::AddAnswerTime(double now)
{
    // Only a question put less than a day ago counts: a question left open overnight (or a second
    // answer, which finds the start already cleared) must not inflate the answer time.
    const double elapsed = now - QuestionStart;
    double added = 0.0;
    if (QuestionStart != 0.0 && elapsed > 0.0 && elapsed < 1.0) {
        AnswerTime += elapsed;
        added = elapsed;
    }
    QuestionStart = 0.0;
    return added;
}

void ExerciseBaseModel::ClearClock()
{
    StartDate = 0.0;
    ExerciseTime = 0.0;
    ClockStart = 0.0;
    AnswerTime = 0.0;
}

void ExerciseBaseModel::ClearCounters()
{
    QuestionCount = 0;
    CorrectCount = 0;
}

void ExerciseBaseModel::CountAnswer(bool right)
{
    // A wrapped counter would turn a long run into a score of almost nothing.
    constexpr std::uint32_t kMax = std::numeric_limits<std::uint32_t>::max();
    if (QuestionCount < kMax)
        ++QuestionCount;
    if (right && CorrectCount < kMax)
        ++CorrectCount;
}

int ExerciseBaseModel::ScoreGauge() const
{
    const std::uint64_t asked = QuestionCount;
    const std::uint64_t right = CorrectCount;
    if (asked == 0)
        return 100;
    return static_cast<int>((right * 100 + asked / 2) / asked);
}

} // namespace pv
