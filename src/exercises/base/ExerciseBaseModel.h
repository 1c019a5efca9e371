// The counters and clocks every exercise window carries, and the rule that adds an answer time.
#pragma once

#include <cstdint>

#include <QString>

namespace pv {

/// The score shown in the main window.
struct ScoreDisplay
{
    int Gauge = 100; ///< percent right, rounded; 100 before any answer
    QString Label;
};

/// Fields the main window reads for the result record; dates are days since 1899-12-30.
class ExerciseBaseModel
{
public:
    std::uint32_t QuestionCount = 0;  ///< answers counted since the last reset
    std::uint32_t CorrectCount = 0;   ///< right answers (rhythm exercises: summed percent scores)
    bool Answered = false;            ///< the current question has been scored
    bool Passed = false;              ///< rhythm exercises: the last performance was good enough
    double StartDate = 0.0;           ///< first start of the exercise clock since reset, 0 = none
    double ExerciseTime = 0.0;        ///< accumulated exercise time
    double ClockStart = 0.0;          ///< start of the running clock span
    double AnswerTime = 0.0;          ///< sum of the answer times since the last reset
    double QuestionStart = 0.0;       ///< when the current question was put, 0 once answered
    std::uint8_t AnswerInputLock = 0; ///< forced answer-input bits, 0 = the user chooses
    QString ExerciseDescription;      ///< shown by the start menu

    /// A question was put at now.
    void MarkQuestionStart(double now) { QuestionStart = now; }
    /// Adds the time since the question was put to AnswerTime and forgets the question's start.
    /// Returns the time added (0 when nothing was added).
    double AddAnswerTime(double now);
    /// Clears StartDate, ExerciseTime, ClockStart and AnswerTime (a reset of the exercise clock).
    void ClearClock();
    /// Clears QuestionCount and CorrectCount (a reset of the results); the clock runs on.
    void ClearCounters();
    /// Counts one scored answer; the counters stop at their largest value instead of wrapping.
    void CountAnswer(bool right);
    /// Percent of right answers, rounded half up; 100 before any answer.
    int ScoreGauge() const;
};

} // namespace pv
