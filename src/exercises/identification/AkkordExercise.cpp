// The identification exercise's protocol over its model and its playback.
#include "exercises/identification/AkkordExercise.h"

namespace pv {

AkkordExercise::AkkordExercise(AkkordModel& model) : m_model(model) {}

ExerciseEffects AkkordExercise::Run(const ExerciseRequest& request)
{
    ExerciseEffects effects;
    switch (request.Operation) {
    case ExerciseOperation::AutoNewQuestTimerTimer:
        // A note the user holds keeps the question open.
        if (m_model.AutoNewQuestionDue())
            PutNewQuestion();
        break;
    case ExerciseOperation::NewQuestion:
        PutNewQuestion();
        break;
    case ExerciseOperation::ResetResults:
        m_model.ResetResults();
        break;
    case ExerciseOperation::MidiInMessage:
        if (m_playback != nullptr) {
            // The progression mode sets chords by their roots, as on the piano.
            const InstrumentEntry entry = m_playback->MidiInMessage(request.Message);
            if (entry.Action != InstrumentEntry::Kind::None)
                effects = Enter(entry);
        }
        break;
    case ExerciseOperation::RepeatQuestion:
        if (m_playback != nullptr)
            PlayQuestionNow(kPlayRepeat);
        break;
    case ExerciseOperation::ThirdButtonAction:
        if (m_playback != nullptr)
            m_playback->PlayQuestion(kPlayEnteredAnswer);
        break;
    case ExerciseOperation::FourthButtonAction:
        m_model.FourthButtonAction();
        break;
    case ExerciseOperation::StopPlaying:
        if (m_playback != nullptr)
            m_playback->StopPlaying();
        else
            m_model.HeldNote = TNoteRec{};
        break;
    case ExerciseOperation::EnterExercise:
        if (m_playback != nullptr)
            m_playback->ForgetMidiKeys();
        if (m_model.EnterExercise(request.TutorActive))
            m_model.ArmAutoNewQuestion();
        break;
    }
    effects.Then(m_model.TakeEffects());
    effects.Show(ExerciseRepaint::Strip | ExerciseRepaint::Exercise);
    return effects;
}

void AkkordExercise::PutNewQuestion()
{
    m_model.StopAutoNewQuestion();
    if (!m_model.NewQuestion())
        return;
    if (m_playback != nullptr)
        PlayQuestionNow(kPlayNewQuestion);
    m_model.QuestionWasPut();
}

void AkkordExercise::PlayQuestionNow(int kind)
{
    if (m_playbackSettings)
        m_playback->Settings = m_playbackSettings();
    m_playback->PlayQuestion(kind);
}

ExerciseEffects AkkordExercise::ContinueAfterAnswer()
{
    ExerciseEffects next;
    next.SwitchAutoNewQuestion(m_model.AutoNewQuestionArmed);
    return next;
}

ExerciseEffects AkkordExercise::AnswerButton(int button, bool play)
{
    const bool audition = m_model.ShowAnswerItem(button, play);
    if (audition && m_playback != nullptr)
        m_playback->PlayAnswerItem(m_model.ItemOfButton(button));
    ExerciseEffects effects = m_model.TakeEffects();
    effects.Show(ExerciseRepaint::Exercise);
    return effects;
}

ExerciseEffects AkkordExercise::Enter(const InstrumentEntry& entry)
{
    if (m_playback != nullptr) {
        using Kind = InstrumentEntry::Kind;
        switch (entry.Action) {
        case Kind::Hold:
            if (entry.Silenced)
                m_playback->ReleaseNote(false, true);
            m_playback->PressNote(entry.Pitch, entry.Source);
            break;
        case Kind::Release:
        case Kind::ReleaseRemoving:
            m_playback->ReleaseNote(entry.Action == Kind::ReleaseRemoving, false);
            break;
        case Kind::SetChord:
        case Kind::RemoveChord:
            if (ChordEntered)
                ChordEntered(entry);
            PlayChord(m_model.SetProgressionChord(entry.Pitch, kProgressionEntryChordType,
                                                  entry.GuitarString,
                                                  entry.Action == Kind::RemoveChord, false));
            break;
        case Kind::None:
            break;
        }
    }
    ExerciseEffects effects = m_model.TakeEffects();
    effects.Show(ExerciseRepaint::Exercise);
    return effects;
}

ExerciseEffects AkkordExercise::SetProgressionChord(TPitch root, std::uint8_t chordType,
                                                    int guitarString, bool remove, bool quiet)
{
    PlayChord(m_model.SetProgressionChord(root, chordType, guitarString, remove, quiet));
    ExerciseEffects effects = m_model.TakeEffects();
    effects.Show(ExerciseRepaint::Exercise);
    return effects;
}

ExerciseEffects AkkordExercise::ChooseAlteration(int button)
{
    PlayChord(m_model.AlterationButtonClick(button));
    ExerciseEffects effects = m_model.TakeEffects();
    effects.Show(ExerciseRepaint::Exercise);
    return effects;
}

void AkkordExercise::PlayChord(const AkkordModel::ProgressionChordEffect& effect)
{
    if (effect.PlayChord && m_playback != nullptr)
        m_playback->PlayEnteredChord(*effect.PlayChord);
}

} // namespace pv
