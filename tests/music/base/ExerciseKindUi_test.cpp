// How the windows present the kinds: one row per kind that agrees with the kind facts.
#include "music/base/ExerciseKindUi.h"

#include <set>
#include <string>

#include <gtest/gtest.h>

namespace pv {
namespace {

TEST(ExerciseKindUi, EveryKindHasOneRowWithNamesOfItsOwn)
{
    std::set<std::string_view> names;
    for (ExerciseKind kind : kExerciseKinds) {
        SCOPED_TRACE(KindNumber(kind));
        const ExerciseKindUi ui = KindUi(kind);
        EXPECT_EQ(ui.Kind, kind);
        // A name two windows or controls shared would announce one's texts to the other.
        for (std::string_view name : {ui.FormName, ui.ButtonName, ui.MenuItemName}) {
            EXPECT_FALSE(name.empty());
            EXPECT_TRUE(names.insert(name).second) << std::string(name);
        }
        EXPECT_FALSE(ui.Name.empty());
        EXPECT_FALSE(ui.ButtonText.empty());
    }
}

TEST(ExerciseKindUi, FamiliesAgreeWithTheKindFacts)
{
    for (ExerciseKind kind : kExerciseKinds) {
        SCOPED_TRACE(KindNumber(kind));
        const ExerciseKindUi ui = KindUi(kind);
        const ExerciseKindFacts facts = KindFacts(kind);
        EXPECT_EQ(ui.Family == KindFamily::Identification, facts.IdentificationWindow);
        EXPECT_EQ(ui.Family == KindFamily::Rhythm, facts.SetupBlock == SetupBlockType::Rhythm);
        // Only the rhythm windows keep a tempo of their own.
        EXPECT_EQ(ui.Tempo == KindTempo::RhythmEngines, ui.Family == KindFamily::Rhythm);
        // The identification modes and item statistics are about items or notes answered in
        // the identification window.
        if (ui.NoteIdentificationMenu || ui.ResultItemButtons) {
            EXPECT_EQ(ui.Family, KindFamily::Identification);
        }
    }
}

TEST(ExerciseKindUi, NoKindAndADamagedKindNameNothing)
{
    for (const ExerciseKindUi& ui :
         {KindUi(std::optional<ExerciseKind>()), KindUi(static_cast<ExerciseKind>(0)),
          KindUi(static_cast<ExerciseKind>(11))}) {
        EXPECT_TRUE(ui.FormName.empty());
        EXPECT_TRUE(ui.ButtonName.empty());
        EXPECT_TRUE(ui.MenuItemName.empty());
        EXPECT_FALSE(ui.MetronomeAtStart);
        EXPECT_FALSE(ui.NoteIdentificationMenu);
        EXPECT_EQ(ui.Tempo, KindTempo::DefaultTempo);
    }
}

} // namespace
} // namespace pv
