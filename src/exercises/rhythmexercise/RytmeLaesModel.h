// The rhythm reading exercise without a screen: a rhythm is shown in notation, the metronome
// waits bar by bar for the user's first tap, the bars of the performance are counted while the
// notation scrolls with the bar being played, and the taps are judged note by note. The user
// can also hear the rhythm or the recorded taps.
#pragma once

#include "exercises/rhythmexercise/RhythmExerciseModel.h"

#include <climits>

namespace pv {

class RytmeLaesModel final : public RhythmExerciseModel
{
public:
    /// The sequencer codes of this exercise: a playback's count-in (21) and bars (22), a
    /// performance's further bars (26), waiting bars (27), its last bar (28) and the moment
    /// before a waiting bar's last beat (29).
    static constexpr int kCodeBase = 20;

    RytmeLaesModel(ExerciseSession& session, ControlStripModel& strip, const UIStringTable& strings,
                   IRandom& random, IPrompts& prompts);

    using RhythmExerciseModel::ApplySetup;
    void ApplySetup(const RhythmSetup& block, bool reset) override;

    /// New question: a new rhythm to read; repeat: a performance starts (waiting bars until
    /// the first tap, then the rhythm's bars); third button: the recorded taps played back;
    /// fourth: the rhythm played; stop: stopping a playback keeps the taps, stopping a
    /// performance forgets them. The automatic question makes a new rhythm only after a passed
    /// performance: a failed one is offered again.
    ExerciseEffects Run(const ExerciseRequest& request) override;
    /// By the settings the automatic question comes; "new question" is offered again.
    ExerciseEffects ContinueAfterAnswer() override;
    void SequencerNotify(int code) override;
    void ScrollTimerTick() override;

    /// Whether the rhythm has a note to tap; without one no performance or playback starts.
    bool CanPerform() const;

    bool PlayingBack = false; ///< the rhythm or the recorded taps are being played
    /// The instruction at the user's turn (a text of the language file).
    QString TurnText;
    /// The largest scroll position the notation's view allows; scrolling stops there.
    int ScrollLimit = INT_MAX;

protected:
    /// Nothing running: the automatic question's step; else the running step stops.
    void PedalDown() override;

private:
    void AutoStep();
    void NextRhythm();
    void StartPerformance();
    void PlayTaps();
    void PlayRhythm();
    void Stop();
    void MarkBar(int bar) { MarkedBar[0] = bar; }
    void EndAttempt();
    void Finish();
    void SetButtons(std::initializer_list<int> buttons, bool enabled);
    void Focus(int button);
};

} // namespace pv
