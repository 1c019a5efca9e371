// What the end of a tutor step offers: which moves are open, which one is proposed, and the
// texts that say why, decided from the step's score and marks alone.
#pragma once

namespace pv {

/// The modal results of the end-of-step dialog; each move is its button's tag, so the step
/// moves by result - kStayStep.
inline constexpr int kPreviousStep = 9;
inline constexpr int kStayStep = 10;
inline constexpr int kNextStep = 11;
/// The dialog was closed without a choice (the tutor ends).
inline constexpr int kNoStepChoice = 2;

/// The move the dialog marks as the proposed one.
enum class StepProposal : int
{
    None = 0, ///< the tutor's last step is passed: nothing left to propose
    Next = 1,
    Stay = 2,
    Previous = 3,
};

/// Language ids of the advice and of the score line.
inline constexpr int kAdviceLastStepPassed = 4312;
inline constexpr int kAdviceNextStep = 4314;
inline constexpr int kAdvicePreviousStep = 4316;
inline constexpr int kAdviceStay = 4318;
inline constexpr int kScorePerfect = 4320;
inline constexpr int kScoreTutorFinished = 4322;
inline constexpr int kScorePlain = 4324;

struct StepEndDecision
{
    bool NextEnabled = false;
    bool StayEnabled = true;
    bool PreviousEnabled = false;
    StepProposal Proposal = StepProposal::Stay;
    int AdviceId = kAdviceStay;
    int ScoreTextId = kScorePlain;

    bool operator==(const StepEndDecision&) const = default;
};

/// score: the step's percent; passMark, fallBackMark: the step's marks in percent; atFirst:
/// no step before this one; atLast: no step after it.
StepEndDecision DecideStepEnd(int score, int passMark, int fallBackMark, bool atFirst, bool atLast);

} // namespace pv
