// The end-of-step decision.
#include "shell/tutor/TutorStepEnd.h"

namespace pv {

StepEndDecision DecideStepEnd(int score, int passMark, int fallBackMark, bool atFirst, bool atLast)
{
    StepEndDecision d;
    const bool passed = score >= passMark;
    // A score above half opens the next step even below the pass mark: the user may push on,
    // only the proposal says otherwise.
    d.NextEnabled = !atLast && (passed || score > 50);
    d.StayEnabled = true;
    d.PreviousEnabled = !atFirst;
    bool tutorFinished = false;
    if (!passed && (score > fallBackMark || atFirst)) {
        d.Proposal = StepProposal::Stay;
        d.AdviceId = kAdviceStay;
    } else if (!passed) {
        d.Proposal = StepProposal::Previous;
        d.AdviceId = kAdvicePreviousStep;
    } else if (atLast) {
        d.Proposal = StepProposal::None;
        d.AdviceId = kAdviceLastStepPassed;
        tutorFinished = true;
    } else {
        d.Proposal = StepProposal::Next;
        d.AdviceId = kAdviceNextStep;
    }
    if (tutorFinished)
        d.ScoreTextId = kScoreTutorFinished;
    else if (score == 100)
        d.ScoreTextId = kScorePerfect;
    else
        d.ScoreTextId = kScorePlain;
    return d;
}

} // namespace pv
