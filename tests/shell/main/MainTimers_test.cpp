// Which exercise window a tick of the main window's exercise timers reaches.
#include "shell/main/MainTimers.h"

#include <gtest/gtest.h>

namespace pv {
namespace {

TEST(MainTimers, TicksReachOnlyTheCurrentWindowThatHasTheHandlerInTheExerciseView)
{
    using T = MainExerciseTimer;
    // Per kind 1..10: reached by the automatic question, the light, the blink.
    struct Row
    {
        bool autoNewQuest;
        bool light;
        bool blink;
    };
    const Row rows[] = {
        {true, true, true},   {true, true, true},   {true, false, true},  // 1 2 3
        {true, false, false}, {true, false, false}, {true, false, false}, // 4 5 6
        {true, true, true},   {true, true, true},   {true, true, true},   // 7 8 9
        {true, true, true},                                               // 10
    };
    for (int number = 1; number <= 10; ++number) {
        SCOPED_TRACE(number);
        const std::optional<ExerciseKind> kind = KindFromNumber(number);
        const Row& row = rows[number - 1];
        const auto reached = [&](T timer, MainView view) {
            const std::optional<ExerciseKind> target = TimerTickTarget(timer, view, kind, false);
            EXPECT_TRUE(!target || target == kind) << "only the current kind's window";
            return target.has_value();
        };
        EXPECT_EQ(reached(T::AutoNewQuest, MainView::Exercise), row.autoNewQuest);
        EXPECT_EQ(reached(T::LightDisplaytime, MainView::Exercise), row.light);
        EXPECT_EQ(reached(T::AnswerbuttonBlink, MainView::Exercise), row.blink);
        for (const MainView other :
             {MainView::ExerciseSetup, MainView::Results, MainView::UserOverview}) {
            for (const T timer : {T::AutoNewQuest, T::LightDisplaytime, T::AnswerbuttonBlink})
                EXPECT_FALSE(reached(timer, other)) << "view " << static_cast<int>(other);
        }
    }
    // While a box or a modal dialog is open no tick reaches any window.
    for (ExerciseKind kind : kExerciseKinds) {
        for (const T timer : {T::AutoNewQuest, T::LightDisplaytime, T::AnswerbuttonBlink})
            EXPECT_FALSE(TimerTickTarget(timer, MainView::Exercise, kind, true));
    }
    // No exercise chosen, or a kind no window has: nothing is reached.
    for (const T timer : {T::AutoNewQuest, T::LightDisplaytime, T::AnswerbuttonBlink}) {
        EXPECT_FALSE(TimerTickTarget(timer, MainView::Exercise, std::nullopt, false));
        EXPECT_FALSE(
            TimerTickTarget(timer, MainView::Exercise, static_cast<ExerciseKind>(11), false));
    }
}

} // namespace
} // namespace pv
