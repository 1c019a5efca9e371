// The ten exercise sessions without any window, a hand-driven date clock and a recording main
// window, over a temporary data folder.
#pragma once

#include "exercises/session/ExerciseSession.h"
#include "music/data/ResultFiles.h"
#include "music/files/DataFixture.h"
#include "music/files/DaysSince1899.h"
#include "shell/results/ResultBookkeeping.h"
#include "shell/state/AppState.h"

#include <cstddef>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace pv::test {

inline constexpr double kMinute = 1.0 / (24.0 * 60.0);

/// The kind stored as n (1..10), for tables of kinds.
inline ExerciseKind Kind(int n)
{
    return KindFromNumber(n).value();
}
/// A kind value outside the ten, as only a cast of a damaged byte makes one.
inline ExerciseKind DamagedKind(int n)
{
    return static_cast<ExerciseKind>(n);
}
/// The place of kind in the arrays of the ten kinds.
inline std::size_t Slot(ExerciseKind kind)
{
    return static_cast<std::size_t>(KindNumber(kind) - 1);
}

class HandDateClock final : public IDateClock
{
public:
    double Now() const override { return now; }
    double now = 0.0;
};

class RecordingClockView final : public IExerciseClockView
{
public:
    void SetTimer1Enabled(bool on) override { timerOn = on; }
    void ShowExerciseTime(const QString& text) override { shown = text; }
    void RepaintControlStrip(ExerciseKind kind) override { repainted.push_back(kind); }
    bool timerOn = false;
    QString shown = QStringLiteral("(never shown)");
    std::vector<ExerciseKind> repainted;
};

/// The state's ten sessions, with no window at all; each counts the results resets that reach
/// it, as the window showing it would learn of them.
class TestSessions
{
public:
    explicit TestSessions(ExerciseSessions& sessions) : m_sessions(sessions)
    {
        for (ExerciseKind k : kExerciseKinds)
            Of(k).SetResetListener([this, k] { ++resets[k]; });
    }
    TestSessions(const TestSessions&) = delete;
    TestSessions& operator=(const TestSessions&) = delete;

    ExerciseSession& Of(ExerciseKind kind) { return m_sessions.Of(kind); }
    /// Where the services take the sessions.
    operator ExerciseSessions&() { return m_sessions; }

    std::map<ExerciseKind, int> resets;

private:
    ExerciseSessions& m_sessions;
};

class FakeTutor final : public IResultTutor
{
public:
    QString TutorTitle() const override { return title; }
    std::optional<QString> StepTitle(ExerciseKind kind, int step) const override
    {
        const auto it = steps.find({kind, step});
        if (it == steps.end())
            return std::nullopt;
        return it->second;
    }
    QString title;
    std::map<std::pair<ExerciseKind, int>, QString> steps;
};

class ResultsFixture : public DataFixture
{
protected:
    static constexpr std::uint16_t kUser = 7;

    ResultsFixture()
    {
        texts.StrSaveResultsQuery = QStringLiteral("Store the results?");
        texts.StrSaveResultsCaption = QStringLiteral("Results");
        texts.StrStatisticsText = QStringLiteral("Statistics");
        texts.StrResultFile = QStringLiteral("Result file");
        texts.StrMessageTitle = QStringLiteral("Error");
        app.Users.CurrentUser = std::make_shared<TUserInfo>();
        app.Users.CurrentUser->Record.UserId = kUser;
        app.SetResultUserToCurrent();
        // Statistics sum the last days by the real calendar: the runs happen today.
        clock.now = NowInDaysSince1899() - 0.1;
        setup.SetupFileName = QStringLiteral("/home/ann/setups/Intervals.easy.qib");
    }

    /// One answer in kind's session: right or wrong, for item (0: no item), taking seconds.
    void Answer(ExerciseKind kind, int item, bool right, int seconds = 20)
    {
        ExerciseSession& b = sessions.Of(kind);
        b.MarkQuestionStart(clock.now);
        clock.now += seconds / 86400.0;
        b.AddAnswerTime(clock.now);
        ++b.QuestionCount;
        if (right)
            ++b.CorrectCount;
        if (item > 0)
            b.CountItemAnswer(item, right);
    }

    /// The records of the user's result file.
    std::vector<TResultRec> StoredRecords()
    {
        std::vector<TResultRec> out;
        const auto bytes = Bytes(ResultFileName(data, kUser));
        for (std::size_t at = 0; at + kResultRecSize <= bytes.size(); at += kResultRecSize)
            out.push_back(*DecodeResultRec(std::span(bytes).subspan(at, kResultRecSize)));
        return out;
    }

    /// The result user's results as held now (the list the results view shows).
    ResultEntries& Held()
    {
        if (ResultEntries* list = app.HeldResults())
            return *list;
        ADD_FAILURE() << "no results of the result user are held";
        m_none.clear();
        return m_none;
    }

    /// What the close, reset and export paths store.
    Status<DataError> StoreOffered()
    {
        return book.StoreResults(book.KindsWithResults(0xFFFF, 5), state.TutorActive, false);
    }

    UIStringTable texts;
    AppState app;
    MainWindowState& state = app.MainWindow;
    HandDateClock clock;
    RecordingClockView view;
    TestSessions sessions{app.Sessions};
    SetupState& setup = app.Setup;
    FakeTutor tutor;
    ExerciseClock exerciseClock{state, sessions, clock, view};
    ResultBookkeeping book{app, exerciseClock, data, tutor, prompts, texts, {}};

private:
    ResultEntries m_none;
};

} // namespace pv::test
