// The answer-time rule of the exercise windows.
#include "exercises/base/ExerciseBaseModel.h"

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

} // namespace pv
