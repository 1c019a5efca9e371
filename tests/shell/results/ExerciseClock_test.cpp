#include "ResultsFixture.h"
#include "shell/results/ElapsedTime.h"

#include <cmath>
#include <limits>

namespace pv {
namespace {

using test::DamagedKind;
using test::kMinute;
using test::Slot;

class ExerciseClockTest : public test::ResultsFixture
{
protected:
    ExerciseSession& Base(ExerciseKind kind) { return sessions.Of(kind); }
};

TEST(ElapsedTime, HoursMinutesAndSecondsWithMillisecondsDropped)
{
    constexpr double kSecond = 1.0 / 86400.0;
    const struct
    {
        const char* name;
        double span;
        const char* shortForm;
        const char* withSeconds;
    } cases[] = {
        {"one hour five minutes nine seconds", (3600 + 5 * 60 + 9) * kSecond, "1:05", "1:05:09"},
        {"nothing", 0.0, "0:00", "0:00:00"},
        {"a hair below a second is that second", 9.9999999 * kSecond, "0:00", "0:00:10"},
        {"milliseconds dropped", 9.6 * kSecond, "0:00", "0:00:09"},
        {"more than a day in hours", 26.5 / 24.0, "26:30", "26:30:00"},
        {"negative shows nothing", -0.5, "0:00", "0:00:00"},
        {"not a number shows nothing", std::numeric_limits<double>::quiet_NaN(), "0:00", "0:00:00"},
        {"infinite shows nothing", std::numeric_limits<double>::infinity(), "0:00", "0:00:00"},
        {"huge is cut, never overflows", 1.0e300, "24000000000:00", "24000000000:00:00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FormatElapsedTime(false, c.span, u':'), QString::fromLatin1(c.shortForm));
        EXPECT_EQ(FormatElapsedTime(true, c.span, u':'), QString::fromLatin1(c.withSeconds));
    }
    EXPECT_EQ(FormatElapsedTime(true, 61 * kSecond, u'.'), QStringLiteral("0.01.01"));
}

TEST_F(ExerciseClockTest, RunBeginsAtFirstStartAndSumsClosedSpans)
{
    constexpr ExerciseKind kChords = ExerciseKind::ChordIdentification;
    const double begin = clock.now;
    exerciseClock.StartExerciseClock(kChords);
    EXPECT_EQ(Base(kChords).StartDate, begin);
    EXPECT_TRUE(view.timerOn);
    clock.now += 10 * kMinute;
    exerciseClock.StopExerciseClock(kChords);
    EXPECT_FALSE(view.timerOn);
    EXPECT_EQ(Base(kChords).ClockStart, 0.0);
    clock.now += 60 * kMinute; // a pause counts nothing
    exerciseClock.StartExerciseClock(kChords);
    EXPECT_EQ(Base(kChords).StartDate, begin) << "the run keeps its first start";
    clock.now += 5 * kMinute;
    // Started again while it runs: the span so far is kept, not thrown away.
    exerciseClock.StartExerciseClock(kChords);
    clock.now += 2 * kMinute;
    exerciseClock.StopExerciseClock(kChords);
    EXPECT_NEAR(Base(kChords).ExerciseTime, 17 * kMinute, 1e-9);
    // No kind and values beyond the ten kinds touch nothing.
    exerciseClock.StartExerciseClock(std::nullopt);
    exerciseClock.StopExerciseClock(DamagedKind(11));
    EXPECT_FALSE(view.timerOn);
}

TEST_F(ExerciseClockTest, UnbelievableSpansAddNothing)
{
    const struct
    {
        const char* name;
        double clockStart; // relative to now; NaN = never started
        double stopAfter;
    } cases[] = {
        {"clock set back during the span", 0.0, -3 * kMinute},
        {"a span of a day", 0.0, 1.0},
        {"a span of more than a day", 0.0, 2.5},
        {"never started", std::numeric_limits<double>::quiet_NaN(), 0.0},
    };
    constexpr ExerciseKind kKind = ExerciseKind::IntervalComparison;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Base(kKind).ExerciseTime = 4 * kMinute;
        Base(kKind).ClockStart = 0.0;
        if (!std::isnan(c.clockStart))
            exerciseClock.StartExerciseClock(kKind);
        clock.now += c.stopAfter;
        exerciseClock.StopExerciseClock(kKind);
        EXPECT_NEAR(Base(kKind).ExerciseTime, 4 * kMinute, 1e-12);
        clock.now -= c.stopAfter;
    }
}

TEST_F(ExerciseClockTest, ShownTimeIsExercisedTimeEvenAcrossMidnightAndWhileStopped)
{
    constexpr ExerciseKind kIntervals = ExerciseKind::IntervalIdentification;
    state.CurrentKind = kIntervals;
    // Started five minutes before midnight, with 30 minutes from earlier spans.
    clock.now = 46000.0 - 5 * kMinute;
    Base(kIntervals).ExerciseTime = 30 * kMinute;
    exerciseClock.StartExerciseClock(kIntervals);
    clock.now = 46000.0 + 10 * kMinute;
    exerciseClock.UpdateExerciseTime();
    EXPECT_EQ(view.shown, FormatElapsedTime(false, 45 * kMinute));
    exerciseClock.StopExerciseClock(kIntervals);
    clock.now += 3.0 / 24.0; // three hours later, stopped: not the time of day
    exerciseClock.UpdateExerciseTime();
    EXPECT_EQ(view.shown, FormatElapsedTime(false, 45 * kMinute));
    EXPECT_NEAR(exerciseClock.RunningExerciseTime(kIntervals), 45 * kMinute, 1e-9);

    // Outside the exercise view, or without an exercise, the label is emptied.
    state.CurrentView = MainView::Results;
    exerciseClock.UpdateExerciseTime();
    EXPECT_EQ(view.shown, QString());
    state.CurrentView = MainView::Exercise;
    state.CurrentKind = std::nullopt;
    exerciseClock.UpdateExerciseTime();
    EXPECT_EQ(view.shown, QString());
}

TEST_F(ExerciseClockTest, TimerTickRepaintsTheMarkedStripOnceThenShowsTheTime)
{
    constexpr ExerciseKind kReading = ExerciseKind::RhythmReading;
    state.CurrentKind = kReading;
    exerciseClock.StartExerciseClock(kReading);
    state.ClockRepaintKind = kReading;
    clock.now += 61.0 * kMinute;
    exerciseClock.Timer1Timer();
    exerciseClock.Timer1Timer();
    EXPECT_EQ(view.repainted, std::vector<ExerciseKind>{kReading});
    EXPECT_EQ(state.ClockRepaintKind, std::nullopt);
    EXPECT_EQ(view.shown, QStringLiteral("1:01"));
}

TEST_F(ExerciseClockTest, TheTimerIsDueWhenTheShownMinutesChangeAndSleepsWhileNothingMoves)
{
    constexpr ExerciseKind kScales = ExerciseKind::Scales;
    constexpr double kSecond = 1.0 / 86400.0;
    constexpr double kMs = kSecond / 1000.0;
    state.CurrentKind = kScales;
    const struct
    {
        const char* name;
        double exercised;  // earlier spans
        double runningFor; // the span running now; negative: the clock is stopped
        MainView view;
        bool repaintAsked;
        std::optional<int> due;
    } cases[] = {
        {"just started", 0.0, 0.0, MainView::Exercise, false, 60'000},
        {"half a minute in", 0.0, 30 * kSecond, MainView::Exercise, false, 30'000},
        {"earlier spans count", 2 * kMinute + 50 * kSecond, 5 * kSecond, MainView::Exercise, false,
         5'000},
        {"a hair before the minute", 0.0, 59'999 * kMs, MainView::Exercise, false, 1},
        {"on the minute the next one", 0.0, kMinute, MainView::Exercise, false, 60'000},
        {"a strip repaint waits a second", 0.0, 30 * kSecond, MainView::Exercise, true, 1'000},
        {"stopped: nothing moves", 5 * kMinute, -1.0, MainView::Exercise, false, std::nullopt},
        {"another view shows no time", 0.0, 10 * kSecond, MainView::Results, false, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExerciseSession& counters = Base(kScales);
        counters.ClearClock();
        counters.ExerciseTime = c.exercised;
        state.CurrentView = c.view;
        state.ClockRepaintKind = c.repaintAsked ? std::optional(kScales) : std::nullopt;
        if (c.runningFor >= 0.0) {
            exerciseClock.StartExerciseClock(kScales);
            clock.now += c.runningFor;
        }
        EXPECT_EQ(exerciseClock.NextTickMs(), c.due);
        if (c.runningFor >= 0.0)
            exerciseClock.StopExerciseClock(kScales);
    }
    state.CurrentView = MainView::Exercise;
    state.ClockRepaintKind.reset();
    state.CurrentKind = std::nullopt;
    EXPECT_EQ(exerciseClock.NextTickMs(), std::nullopt) << "the start menu shows no time";
}

TEST_F(ExerciseClockTest, ResetEndsTheRunAndRestartsTheCurrentKindWhereItRuns)
{
    constexpr ExerciseKind kImitation = ExerciseKind::RhythmImitation;
    const struct
    {
        const char* name;
        MainView view;
        bool tutor;
        std::optional<ExerciseKind> current;
        bool restarted;
    } cases[] = {
        {"exercise view", MainView::Exercise, false, kImitation, true},
        {"setup view", MainView::ExerciseSetup, false, kImitation, false},
        {"setup view in the tutor", MainView::ExerciseSetup, true, kImitation, true},
        {"no exercise", MainView::Exercise, false, std::nullopt, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (ExerciseKind k : kExerciseKinds) {
            Base(k).StartDate = 45000.0;
            Base(k).ExerciseTime = 0.25;
            Base(k).AnswerTime = 0.01;
            Base(k).ClockStart = clock.now - kMinute;
            Base(k).QuestionCount = 9;
        }
        state.CurrentView = c.view;
        state.TutorActive = c.tutor;
        state.CurrentKind = c.current;
        view.shown = QStringLiteral("(unchanged)");
        exerciseClock.ResetExerciseClock(kImitation);
        EXPECT_EQ(Base(kImitation).ExerciseTime, 0.0);
        EXPECT_EQ(Base(kImitation).AnswerTime, 0.0);
        EXPECT_EQ(Base(kImitation).StartDate, c.restarted ? clock.now : 0.0);
        EXPECT_EQ(Base(kImitation).ClockStart, c.restarted ? clock.now : 0.0);
        EXPECT_EQ(Base(kImitation).QuestionCount, 9U) << "the counters are the window's to reset";
        EXPECT_EQ(Base(ExerciseKind::RhythmReading).ExerciseTime, 0.25)
            << "another kind keeps its run";
        // The time is shown in the exercise view only; elsewhere the label is emptied.
        const QString shown = !c.restarted                   ? QStringLiteral("(unchanged)")
                              : c.view == MainView::Exercise ? QStringLiteral("0:00")
                                                             : QString();
        EXPECT_EQ(view.shown, shown);
    }
    state.CurrentView = MainView::Results;
    exerciseClock.ResetExerciseClock(std::nullopt);
    for (ExerciseKind k : kExerciseKinds)
        EXPECT_EQ(Base(k).StartDate, 0.0) << KindNumber(k);
}

} // namespace
} // namespace pv
