// The end-of-step decision over scores, marks and the step's place in the tutor.
#include "shell/tutor/TutorStepEnd.h"

#include <gtest/gtest.h>

namespace pv {
namespace {

struct EndCase
{
    const char* name;
    int score;
    int pass;
    int fallBack;
    bool atFirst;
    bool atLast;
    StepEndDecision expected;
};

constexpr StepEndDecision Decision(bool next, bool previous, StepProposal proposal, int advice,
                                   int scoreText)
{
    return {next, true, previous, proposal, advice, scoreText};
}

TEST(TutorStepEnd, ProposalButtonsAndTextsFollowScoreMarksAndPlace)
{
    using P = StepProposal;
    const EndCase cases[] = {
        {"passed in the middle goes on", 85, 80, 40, false, false,
         Decision(true, true, P::Next, kAdviceNextStep, kScorePlain)},
        {"exactly the pass mark passes", 80, 80, 40, false, false,
         Decision(true, true, P::Next, kAdviceNextStep, kScorePlain)},
        {"between the marks stays, next still open above half", 60, 80, 40, false, false,
         Decision(true, true, P::Stay, kAdviceStay, kScorePlain)},
        {"below the fall-back mark goes back", 30, 80, 40, false, false,
         Decision(false, true, P::Previous, kAdvicePreviousStep, kScorePlain)},
        {"at the fall-back mark goes back", 40, 80, 40, false, false,
         Decision(false, true, P::Previous, kAdvicePreviousStep, kScorePlain)},
        {"below the fall-back mark on the first step stays", 30, 80, 40, true, false,
         Decision(false, false, P::Stay, kAdviceStay, kScorePlain)},
        {"half exactly does not open the next step", 50, 80, 40, false, false,
         Decision(false, true, P::Stay, kAdviceStay, kScorePlain)},
        {"45 opens next only at a pass mark of 45", 45, 45, 20, false, false,
         Decision(true, true, P::Next, kAdviceNextStep, kScorePlain)},
        {"45 below a pass mark of 80 keeps next closed", 45, 80, 20, false, false,
         Decision(false, true, P::Stay, kAdviceStay, kScorePlain)},
        {"perfect in the middle", 100, 80, 40, false, false,
         Decision(true, true, P::Next, kAdviceNextStep, kScorePerfect)},
        {"last step passed: nothing proposed, the tutor is done", 85, 80, 40, false, true,
         Decision(false, true, P::None, kAdviceLastStepPassed, kScoreTutorFinished)},
        {"last step perfect still reads as the tutor done", 100, 80, 40, false, true,
         Decision(false, true, P::None, kAdviceLastStepPassed, kScoreTutorFinished)},
        {"last step failed above half: next stays closed", 70, 80, 40, false, true,
         Decision(false, true, P::Stay, kAdviceStay, kScorePlain)},
        {"a one-step tutor failing badly stays", 10, 80, 40, true, true,
         Decision(false, false, P::Stay, kAdviceStay, kScorePlain)},
        {"a pass mark of 0 passes everything", 0, 0, 0, true, false,
         Decision(true, false, P::Next, kAdviceNextStep, kScorePlain)},
    };
    for (const EndCase& c : cases) {
        SCOPED_TRACE(c.name);
        const StepEndDecision d = DecideStepEnd(c.score, c.pass, c.fallBack, c.atFirst, c.atLast);
        EXPECT_EQ(d.NextEnabled, c.expected.NextEnabled);
        EXPECT_TRUE(d.StayEnabled);
        EXPECT_EQ(d.PreviousEnabled, c.expected.PreviousEnabled);
        EXPECT_EQ(d.Proposal, c.expected.Proposal);
        EXPECT_EQ(d.AdviceId, c.expected.AdviceId);
        EXPECT_EQ(d.ScoreTextId, c.expected.ScoreTextId);
    }
}

} // namespace
} // namespace pv
