// The identification exercise's protocol: its rules (AkkordModel) and its sound (AkkordPlayback)
// joined for the operations every exercise has, and for the answers and notes the window's
// buttons, instruments and staff enter.
#pragma once

#include "exercises/base/ExerciseProtocol.h"
#include "exercises/identification/AkkordModel.h"
#include "exercises/identification/AkkordPlayback.h"
#include "exercises/identification/InstrumentGeometry.h"

#include <functional>

namespace pv {

class AkkordExercise final : public IExerciseModel
{
public:
    /// model must outlive the exercise.
    explicit AkkordExercise(AkkordModel& model);

    /// Where questions, answers and entered notes sound; null plays nothing (and holds no
    /// note). It must outlive the exercise.
    void SetPlayback(AkkordPlayback* playback) { m_playback = playback; }
    /// The metronome and count-in settings a question's playback reads as it starts.
    void SetPlaybackSettingsSource(std::function<AkkordPlaybackSettings()> source)
    {
        m_playbackSettings = std::move(source);
    }

    /// New question: the question drawn and played (the automatic question is cut short);
    /// repeat: played again; third button: the entered answer played; fourth: the entered notes
    /// checked; stop: the playback (or the held note) stops; a MIDI message: the key held,
    /// released or, in the progression mode, a chord set on its root.
    ExerciseEffects Run(const ExerciseRequest& request) override;
    ExerciseEffects TakeEffects() override { return m_model.TakeEffects(); }
    /// The automatic new question as the answer armed it.
    ExerciseEffects ContinueAfterAnswer() override;
    ScoreDisplay Score() const override { return m_model.Score(); }

    /// Answer button 1..ButtonCount with the left mouse button or a key (play) or another
    /// button: the item is shown as the answer and, as the model decides, scored or auditioned.
    ExerciseEffects AnswerButton(int button, bool play);
    /// A press, drag or release on the piano, the guitar or the staff's chord columns.
    ExerciseEffects Enter(const InstrumentEntry& entry);
    /// Progressions: sets (or removes) the chord on a root, and plays it unless quiet.
    ExerciseEffects SetProgressionChord(TPitch root, std::uint8_t chordType, int guitarString,
                                        bool remove, bool quiet);
    /// Chord-quality button 0..18 of the alteration bar.
    ExerciseEffects ChooseAlteration(int button);

    /// Told of every progression chord an entry sets or removes, before it is set.
    std::function<void(const InstrumentEntry&)> ChordEntered;

private:
    void PutNewQuestion();
    void PlayQuestionNow(int kind);
    void PlayChord(const AkkordModel::ProgressionChordEffect& effect);

    AkkordModel& m_model;
    AkkordPlayback* m_playback = nullptr;
    std::function<AkkordPlaybackSettings()> m_playbackSettings;
};

} // namespace pv
