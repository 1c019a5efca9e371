// The context rule of the main window's help button.
#include "shell/help/HelpContexts.h"

#include <gtest/gtest.h>

namespace pv {
namespace {

TEST(HelpContexts, TheRuleGivesTheViewsAndExercisesTheirContexts)
{
    using K = ExerciseKind;
    using V = MainView;
    struct Case
    {
        std::optional<ExerciseKind> kind;
        MainView view;
        bool tutor;
        int context;
    };
    const Case cases[] = {
        // No exercise: the start menu, whatever the view and the tutor.
        {std::nullopt, V::Exercise, false, 1},
        {std::nullopt, V::Results, true, 1},
        // The exercise view: the kind's page, the tutor's while it runs.
        {K::ChordIdentification, V::Exercise, false, 11},
        {K::ChordProgressions, V::Exercise, false, 101},
        {K::ChordIdentification, V::Exercise, true, 220},
        {K::RhythmReading, V::Exercise, true, 220},
        // The setup view: the kind's setup page, the tutor or not.
        {K::IntervalIdentification, V::ExerciseSetup, false, 22},
        {K::RhythmImitation, V::ExerciseSetup, true, 42},
        {K::ChordProgressions, V::ExerciseSetup, false, 102},
        // The results view is one page for all.
        {K::MelodyDictation, V::Results, false, 13},
        {K::IntervalComparison, V::Results, true, 13},
        // The user overview by kind.
        {K::ChordInversions, V::UserOverview, false, 74},
        {K::ChordProgressions, V::UserOverview, true, 104},
        // A view byte of no view opens the exercise's own page.
        {K::IntervalComparison, static_cast<MainView>(9), false, 31},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.kind ? KindNumber(*c.kind) : 0) << " view "
                                        << static_cast<int>(c.view) << " tutor " << c.tutor);
        EXPECT_EQ(ContextHelpFor(c.kind, c.view, c.tutor), c.context);
    }
}

} // namespace
} // namespace pv
