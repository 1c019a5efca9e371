// The exercise protocol: the operations every exercise has, as one headless interface whose
// operations return what they caused (the answer scored, the automatic question switched, the
// question put, what to repaint). The exercise base window carries the effects out in one place:
// the answer sound and time, the score, the hand-over to the tutor and the automatic-question
// timer.
#pragma once

#include <cstdint>
#include <optional>

#include <QString>

namespace pv {

/// The score shown in the main window.
struct ScoreDisplay
{
    int Gauge = 100; ///< percent right, rounded; 100 before any answer
    QString Label;
};

/// The protocol's operations; the number is the operation's place in the protocol.
enum class ExerciseOperation : std::uint8_t
{
    AutoNewQuestTimerTimer = 1, ///< the main window's automatic-new-question timer fired
    ResetResults = 2,           ///< the results reset: the open question is closed
    MidiInMessage = 4,          ///< one MIDI short message (ExerciseRequest::Message)
    NewQuestion = 5,            ///< control button 0
    RepeatQuestion = 6,         ///< control button 1
    ThirdButtonAction = 7,      ///< control button 2
    FourthButtonAction = 8,     ///< control button 3
    StopPlaying = 9,            ///< control button 4, and the end of a playback
    EnterExercise = 11,         ///< the exercise view shows the exercise
};

struct ExerciseRequest
{
    ExerciseOperation Operation = ExerciseOperation::NewQuestion;
    /// MidiInMessage: the packed message (status in the low byte, data 1 and 2 above it).
    std::uint32_t Message = 0;
    /// EnterExercise: a tutor step runs (no question then comes by itself).
    bool TutorActive = false;
};

/// What the exercise window repaints besides what the effects themselves show.
enum class ExerciseRepaint : std::uint8_t
{
    None = 0,
    Strip = 1,     ///< the control strip
    Exercise = 2,  ///< the window's own widgets, brought up to the model
    Score = 4,     ///< the main window's score
    Metronome = 8, ///< the main window's visual metronome, back at rest
};

constexpr ExerciseRepaint operator|(ExerciseRepaint a, ExerciseRepaint b)
{
    return static_cast<ExerciseRepaint>(static_cast<std::uint8_t>(a) |
                                        static_cast<std::uint8_t>(b));
}
constexpr bool Has(ExerciseRepaint set, ExerciseRepaint part)
{
    return (static_cast<std::uint8_t>(set) & static_cast<std::uint8_t>(part)) != 0;
}

/// What an operation of an exercise (or another of its inputs) caused, in the order it happened.
struct ExerciseEffects
{
    /// An answer was scored: right (the rhythm exercises: good enough). An exercise scores a
    /// question at most once.
    std::optional<bool> Answer;
    /// The automatic-question timer is to run (true) or stop (false); none leaves it as it is.
    std::optional<bool> AutoNewQuestion;
    /// A question was put: its time starts now and the tutor's progress shows it.
    bool QuestionPut = false;
    ExerciseRepaint Repaint = ExerciseRepaint::None;

    void Scored(bool right)
    {
        Answer = right;
        Repaint = Repaint | ExerciseRepaint::Score;
    }
    void SwitchAutoNewQuestion(bool on) { AutoNewQuestion = on; }
    void PutQuestion() { QuestionPut = true; }
    void Show(ExerciseRepaint part) { Repaint = Repaint | part; }
    /// Adds what happened after these effects: a later switch of the timer wins.
    void Then(const ExerciseEffects& later)
    {
        if (later.Answer)
            Answer = later.Answer;
        if (later.AutoNewQuestion)
            AutoNewQuestion = later.AutoNewQuestion;
        QuestionPut = QuestionPut || later.QuestionPut;
        Repaint = Repaint | later.Repaint;
    }
};

/// The headless side of an exercise window.
class IExerciseModel
{
public:
    virtual ~IExerciseModel() = default;
    /// Runs one operation of the protocol; returns everything it caused, with what other inputs
    /// caused before it and was not taken yet.
    virtual ExerciseEffects Run(const ExerciseRequest& request) = 0;
    /// What the model's other inputs (answer buttons, entered notes, taps, the sequencer's
    /// notifications) caused since the effects were last taken.
    virtual ExerciseEffects TakeEffects() = 0;
    /// After a scored answer that ended no tutor step: what the exercise does next by the
    /// settings (the automatic question, the next attempt).
    virtual ExerciseEffects ContinueAfterAnswer() = 0;
    /// The score the main window shows.
    virtual ScoreDisplay Score() const = 0;
};

} // namespace pv
