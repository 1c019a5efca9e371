// What an exercise window needs from the main window, so exercises are built and tested without
// one.
#pragma once

#include "exercises/base/AnswerSound.h"

#include <cstdint>

#include <QString>
#include <Qt>

class QTimer;

namespace pv {

/// The main window's timers that exercise windows start and stop.
enum class ExerciseHostTimer : std::uint8_t
{
    LightDisplaytime = 0,  ///< 150 ms: the piano adjusters' light and repeat
    AnswerbuttonBlink = 1, ///< the interval its starter sets: the right answer button blinks
};

class IExerciseHost
{
public:
    virtual ~IExerciseHost() = default;

    /// Keys the exercise window does not use (Qt::Key values).
    virtual void FormKeyDown(int key, Qt::KeyboardModifiers modifiers, bool autoRepeat) = 0;
    virtual void FormKeyUp(int key, Qt::KeyboardModifiers modifiers, bool autoRepeat) = 0;

    /// A tutor step is running.
    virtual bool TutorActive() const = 0;
    /// Updates the tutor progress labels.
    virtual void ShowTutorProgress() = 0;
    /// After a scored answer: true when the answer ends the running tutor step. The tutor then
    /// ends the step (its dialog, the stored result, the reset) once the exercise has carried the
    /// answer out and returned to the event loop; the exercise does not go on by itself.
    virtual bool TutorTakesAnswer() = 0;
    /// Shows tip n (1..6) modally; true when the tip stays offered.
    virtual bool ShowTip(int n) = 0;

    /// Switches the main window's automatic-new-question timer on or off.
    virtual void SetAutoNewQuestTimerEnabled(bool on) = 0;
    /// Stops the MIDI input (the device stays open) and the microphone input.
    virtual void StopMidiInput() = 0;
    virtual void WaveInStop() = 0;
    /// The clock timer repaints the current exercise's control strip once.
    virtual void ClockRepaintCurrentKind() = 0;
    /// The main window's score gauge (0..100) and score label.
    virtual void ShowScoreDisplay(int gauge, const QString& label) = 0;
    /// The visual metronome shows no beat (a rhythm's music has stopped).
    virtual void RestVisualMetronome() {}

    /// The program font size of the settings, in points.
    virtual int ProgramFontSize() const = 0;
    /// The answer-sound part of the settings.
    virtual AnswerSoundChoice AnswerSounds() const = 0;

    /// One of the main window's timers, which the exercise window starts and stops; its ticks
    /// reach the current exercise window only, through its Timer1Timer or MouseDownDelayTimer.
    /// Null: the host has none, and the window keeps a timer of its own.
    virtual QTimer* ExerciseTimer(ExerciseHostTimer /*timer*/) { return nullptr; }
};

} // namespace pv
