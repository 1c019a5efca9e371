// The main window's controls have one name each, the names the kind table gives them.
#include "music/base/ExerciseKindUi.h"
#include "shell/commands/MainControls.h"

#include <set>
#include <string>

#include <gtest/gtest.h>

namespace pv {
namespace {

TEST(MainControls, EveryControlHasANameOfItsOwn)
{
    std::set<std::string_view> names;
    for (int i = 0; i <= static_cast<int>(MainControl::MetronomeTimer); ++i) {
        SCOPED_TRACE(i);
        const auto control = static_cast<MainControl>(i);
        EXPECT_EQ(static_cast<int>(kControlNames[static_cast<std::size_t>(i)].first), i)
            << "the table follows the enum";
        const std::string_view name = ControlName(control);
        EXPECT_FALSE(name.empty());
        EXPECT_TRUE(names.insert(name).second) << std::string(name);
    }
}

TEST(MainControls, TheExerciseControlsAreTheKindTablesButtonsAndMenuItems)
{
    EXPECT_EQ(ControlName(kExerciseButtons[0]), "Overview");
    EXPECT_EQ(ControlName(kExerciseMenuItems[0]), "Overview1");
    for (ExerciseKind kind : kExerciseKinds) {
        SCOPED_TRACE(KindNumber(kind));
        const auto k = static_cast<std::size_t>(KindNumber(kind));
        EXPECT_EQ(ControlName(kExerciseButtons[k]), KindUi(kind).ButtonName);
        EXPECT_EQ(ControlName(kExerciseMenuItems[k]), KindUi(kind).MenuItemName);
    }
}

} // namespace
} // namespace pv
