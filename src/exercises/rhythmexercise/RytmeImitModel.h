// Rhythm imitation without a screen: the program claps a rhythm after a count-in bar and keeps a
// metronome going; the attempt starts in the bar of the user's first tap, runs as many bars as
// the rhythm has and is then judged. After four bars without a tap the rhythm is offered again.
#pragma once

#include "exercises/rhythmexercise/RhythmExerciseModel.h"

#include <QString>

namespace pv {

/// The imitation window's own texts (language texts of the window).
struct RytmeImitTexts
{
    QString Playing = QStringLiteral("Listen to the rhythm.");             ///< while it plays
    QString Metronome = QStringLiteral("Tap in time with the metronome."); ///< kept, not shown
    QString Turn = QStringLiteral("Your turn: tap the rhythm.");           ///< the user's turn
    QString CountInCell = QStringLiteral("Count-in");                      ///< first strip cell
    QString BarCellFormat = QStringLiteral("Bar %d");                      ///< bar cells
    QString TurnCell = QStringLiteral("Your turn");                        ///< last strip cell
};

class RytmeImitModel final : public RhythmExerciseModel
{
public:
    /// The codes of this exercise's playback (the sequencer sends them back).
    static constexpr std::uint8_t kCodeBase = 10;
    static constexpr int kCountInOver = 11;
    static constexpr int kBarPlayed = 12;
    static constexpr int kImitationBar = 16;
    static constexpr int kWaitingBarOver = 17;
    static constexpr int kImitationOver = 18;
    static constexpr int kBeforeLastBeat = 19;
    /// Bars without a tap after which the rhythm is played again.
    static constexpr int kIdleBarsBeforeReplay = 4;

    RytmeImitModel(ExerciseSession& session, ControlStripModel& strip, const UIStringTable& strings,
                   IRandom& random, IPrompts& prompts);

    using RhythmExerciseModel::ApplySetup;
    void ApplySetup(const RhythmSetup& block, bool reset) override;

    /// New question: a new rhythm, demonstrated; repeat: the rhythm demonstrated again; third
    /// button: the recorded taps played back; fourth: the notation with the result of every
    /// note; stop: the demonstration, attempt or playback ends.
    ExerciseEffects Run(const ExerciseRequest& request) override;
    /// By the settings: the next rhythm after a good attempt, the same one again after a poor
    /// one, else the exercise waits with the notation shown when the setup asks for it.
    ExerciseEffects ContinueAfterAnswer() override;
    void SequencerNotify(int code) override;
    void ScrollTimerTick() override;

    /// The highlighted cell of the progress strip (1 count-in, 2..Bars+1 the bars, Bars+2 the
    /// user's turn; 0 none).
    int Phase = 0;
    bool PlayingTaps = false;
    bool NotationShown = false; ///< the notation with its scroll area is visible
    bool StripShown = true;     ///< the progress strip is visible
    /// The notation shows the result marks (the last attempt was judged).
    bool Answered() const { return m_session->Answered; }
    RytmeImitTexts Texts;

protected:
    void PedalDown() override;

private:
    void NextRhythm();
    /// Plays the rhythm after a count-in bar and waits for the user's attempt.
    void Demonstrate();
    void PlayTaps();
    void ShowNotation();
    void Stop();
    void SetPhase(int phase);
    void MarkBar(int bar) { MarkedBar[0] = bar; }
    void QueueWaitingBar();
    void Finish();
    /// The rhythm has at least one note to tap.
    bool HasNotesToTap() const;
    void SetButtons(bool b0, bool b1, bool b2, bool b3, bool b4);
    void StopQueue();

    bool m_showSecondTime = false; ///< the setup shows the notation after an attempt
};

} // namespace pv
