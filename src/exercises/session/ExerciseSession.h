// One exercise kind's run as the program keeps it whether or not the kind's window exists: the
// counters, the per-item statistics and the clock fields that the result bookkeeping, the tutor
// and the exercise clock read and reset, and the rule that adds an answer time.
#pragma once

#include "exercises/items/ItemTables.h"
#include "music/base/ExerciseKind.h"

#include <array>
#include <cstdint>
#include <functional>

#include <QString>

namespace pv {

/// Right answers and questions of one item; each stops at its largest value.
struct ItemCounts
{
    std::uint16_t Right = 0;
    std::uint16_t Asked = 0;
    bool operator==(const ItemCounts&) const = default;
};

/// Dates are days since 1899-12-30.
class ExerciseSession
{
public:
    ExerciseSession() = default;
    // The window that mirrors a session holds on to it: a copy would leave the window behind.
    ExerciseSession(const ExerciseSession&) = delete;
    ExerciseSession& operator=(const ExerciseSession&) = delete;

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
    /// Per item 1..60 of the kind's table (index 0 is no item); only the identification
    /// exercises count them.
    std::array<ItemCounts, kItemCount + 1> Items{};

    /// A question was put at now.
    void MarkQuestionStart(double now) { QuestionStart = now; }
    /// Adds the time since the question was put to AnswerTime and forgets the question's start.
    /// Returns the time added (0 when nothing was added).
    double AddAnswerTime(double now);
    /// Clears StartDate, ExerciseTime, ClockStart and AnswerTime (a reset of the exercise clock).
    void ClearClock();
    /// Clears QuestionCount and CorrectCount; the clock runs on.
    void ClearCounters();
    /// Clears the counters and the per-item statistics; the clock runs on.
    void ClearResults();
    /// Counts one scored answer; the counters stop at their largest value instead of wrapping.
    void CountAnswer(bool right);
    /// Counts one answer to item 1..60 (asked, and right when it was); any other number counts
    /// nothing.
    void CountItemAnswer(int item, bool right);
    /// The counts of item 1..60; zero for any other number.
    ItemCounts ItemStatistics(int item) const;
    /// Percent of right answers, rounded half up; 100 before any answer.
    int ScoreGauge() const;

    /// The results reset: ClearResults, then the window that shows the session (if any) closes
    /// its open question and shows the score.
    void ResetResults();
    /// Who learns of a results reset: the window that mirrors the session; empty for none.
    void SetResetListener(std::function<void()> listener) { m_resetListener = std::move(listener); }

private:
    std::function<void()> m_resetListener;
};

/// The sessions of the ten kinds, made at start-up whether or not a kind's window exists.
class ExerciseSessions
{
public:
    ExerciseSessions() = default;
    ExerciseSessions(const ExerciseSessions&) = delete;
    ExerciseSessions& operator=(const ExerciseSessions&) = delete;

    /// The session of kind; null for a value of no kind (a damaged byte).
    ExerciseSession* Find(ExerciseKind kind);
    const ExerciseSession* Find(ExerciseKind kind) const;
    /// The session of a kind that is one of the ten.
    ExerciseSession& Of(ExerciseKind kind);
    const ExerciseSession& Of(ExerciseKind kind) const;
    /// The results reset of kind's session; a value of no kind resets nothing.
    void ResetResults(ExerciseKind kind);

private:
    std::array<ExerciseSession, kExerciseKinds.size()> m_sessions;
};

} // namespace pv
