// The identification exercise's protocol without a window: what each operation and an answer
// button cause for the window to carry out.
#include "AkkordTestWindow.h"
#include "exercises/identification/AkkordExercise.h"
#include "exercises/setup/ExerciseSetup.h"
#include "support/EffectsRecorder.h"

#include <gtest/gtest.h>

namespace pv {
namespace {

struct Rig
{
    explicit Rig(AkkordSettings settings = {})
    {
        w.model.Setup(DefaultExerciseSetup(), BuiltInItemTables(), settings, true);
    }
    ExerciseEffects Run(ExerciseOperation operation, bool tutor = false)
    {
        ExerciseRequest request;
        request.Operation = operation;
        request.TutorActive = tutor;
        return exercise.Run(request);
    }
    test::AkkordTestWindow w{IdentificationMode::ChordIdentification, {0}};
    AkkordExercise exercise{w.model};
};

TEST(AkkordExercise, ANewQuestionIsPutAndStopsTheAutomaticQuestion)
{
    Rig rig;
    const ExerciseEffects effects = rig.Run(ExerciseOperation::NewQuestion);
    EXPECT_TRUE(effects.QuestionPut);
    EXPECT_EQ(effects.AutoNewQuestion, std::optional<bool>(false));
    EXPECT_FALSE(effects.Answer);
    EXPECT_TRUE(Has(effects.Repaint, ExerciseRepaint::Exercise));
    EXPECT_NE(rig.w.model.QuestionItem, 0);

    // Without an answer button nothing is put; the automatic question stops all the same.
    test::AkkordTestWindow empty{IdentificationMode::ChordIdentification, {0}};
    AkkordExercise none{empty.model};
    const ExerciseEffects nothing = none.Run({ExerciseOperation::NewQuestion, 0, false});
    EXPECT_FALSE(nothing.QuestionPut);
    EXPECT_EQ(nothing.AutoNewQuestion, std::optional<bool>(false));
}

TEST(AkkordExercise, AnAnswerButtonScoresOnceAndTheAutomaticQuestionFollowsTheSettings)
{
    const struct
    {
        const char* name;
        bool autoOn, onlyRight, right, armed;
    } cases[] = {
        {"off", false, false, true, false},
        {"after every answer", true, false, false, true},
        {"only after right ones: right", true, true, true, true},
        {"only after right ones: wrong", true, true, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AkkordSettings settings;
        settings.AutoNewQuestion = c.autoOn;
        settings.AutoNewQuestionOnlyRight = c.onlyRight;
        Rig rig(settings);
        rig.Run(ExerciseOperation::NewQuestion);
        const int right = rig.w.model.ButtonOfItem(rig.w.model.QuestionItem);
        const int button = c.right ? right : (right == 1 ? 2 : 1);
        const ExerciseEffects answer = rig.exercise.AnswerButton(button, false);
        EXPECT_EQ(answer.Answer, std::optional<bool>(c.right));
        EXPECT_TRUE(Has(answer.Repaint, ExerciseRepaint::Score));
        EXPECT_EQ(rig.exercise.ContinueAfterAnswer().AutoNewQuestion, std::optional<bool>(c.armed));
        EXPECT_FALSE(rig.exercise.AnswerButton(right, false).Answer) << "scored once";
        EXPECT_EQ(rig.w.base.QuestionCount, 1U);
    }
}

TEST(AkkordExercise, EnteringArmsTheAutomaticQuestionOnlyWithoutATutor)
{
    Rig rig;
    EXPECT_EQ(rig.Run(ExerciseOperation::EnterExercise).AutoNewQuestion, std::optional<bool>(true))
        << "no question was put yet";
    EXPECT_FALSE(rig.Run(ExerciseOperation::EnterExercise, true).AutoNewQuestion);
}

} // namespace
} // namespace pv
