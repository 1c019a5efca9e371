// The counters, item statistics and clock fields of one exercise run, and the ten runs.
#include "exercises/session/ExerciseSession.h"

#include "music/base/Log.h"

#include <algorithm>
#include <limits>

namespace pv {

namespace {

std::size_t Slot(ExerciseKind kind)
{
    return static_cast<std::size_t>(KindNumber(kind) - 1);
}

void AddOne(std::uint16_t& counter)
{
    if (counter < std::numeric_limits<std::uint16_t>::max())
        ++counter;
}

} // namespace

double ExerciseSession::AddAnswerTime(double now)
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

void ExerciseSession::ClearClock()
{
    StartDate = 0.0;
    ExerciseTime = 0.0;
    ClockStart = 0.0;
    AnswerTime = 0.0;
}

void ExerciseSession::ClearCounters()
{
    QuestionCount = 0;
    CorrectCount = 0;
}

void ExerciseSession::ClearResults()
{
    ClearCounters();
    Items.fill(ItemCounts{});
}

void ExerciseSession::CountAnswer(bool right)
{
    // A wrapped counter would turn a long run into a score of almost nothing.
    constexpr std::uint32_t kMax = std::numeric_limits<std::uint32_t>::max();
    if (QuestionCount < kMax)
        ++QuestionCount;
    if (right && CorrectCount < kMax)
        ++CorrectCount;
}

void ExerciseSession::CountItemAnswer(int item, bool right)
{
    if (item < 1 || item > static_cast<int>(kItemCount))
        return;
    ItemCounts& counts = Items[static_cast<std::size_t>(item)];
    AddOne(counts.Asked);
    if (right)
        AddOne(counts.Right);
}

ItemCounts ExerciseSession::ItemStatistics(int item) const
{
    if (item < 1 || item > static_cast<int>(kItemCount))
        return {};
    return Items[static_cast<std::size_t>(item)];
}

int ExerciseSession::ScoreGauge() const
{
    const std::uint64_t asked = QuestionCount;
    const std::uint64_t right = CorrectCount;
    if (asked == 0)
        return 100;
    return static_cast<int>((right * 100 + asked / 2) / asked);
}

void ExerciseSession::ResetResults()
{
    ClearResults();
    // The window's open question belongs to the answers just cleared: left open, its answer would
    // count into the new run.
    if (m_resetListener)
        m_resetListener();
}

ExerciseSession* ExerciseSessions::Find(ExerciseKind kind)
{
    return IsKnownKind(kind) ? &m_sessions[Slot(kind)] : nullptr;
}

const ExerciseSession* ExerciseSessions::Find(ExerciseKind kind) const
{
    return IsKnownKind(kind) ? &m_sessions[Slot(kind)] : nullptr;
}

ExerciseSession& ExerciseSessions::Of(ExerciseKind kind)
{
    // A damaged kind has no session of its own; the first one stands in rather than reading
    // past the array.
    if (!PV_SOFT_CHECK(IsKnownKind(kind)))
        return m_sessions.front();
    return m_sessions[Slot(kind)];
}

const ExerciseSession& ExerciseSessions::Of(ExerciseKind kind) const
{
    if (!PV_SOFT_CHECK(IsKnownKind(kind)))
        return m_sessions.front();
    return m_sessions[Slot(kind)];
}

void ExerciseSessions::ResetResults(ExerciseKind kind)
{
    if (ExerciseSession* session = Find(kind))
        session->ResetResults();
}

} // namespace pv
