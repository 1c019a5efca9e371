// The microphone button and what the main window does with what the microphone hears: when the
// microphone listens and for which exercise, and which window takes each pitch and onset.
#pragma once

#include "music/base/ExerciseKind.h"
#include "music/files/SettingsRecord.h"
#include "shell/commands/CommandRegistry.h"
#include "shell/commands/MainControls.h"
#include "shell/results/ExerciseForms.h"

#include <cstdint>
#include <functional>
#include <optional>

class QObject;

namespace pv {

class IMicLibrary;
class MicInput;

/// The exercise whose window takes a sung pitch while the microphone listens for waveInMode
/// (the identification kinds that answer by note); nothing for the other modes.
std::optional<ExerciseKind> WaveInPitchTarget(std::uint32_t waveInMode);

enum class WaveInOnsetActionKind : std::uint8_t
{
    Drop = 0,
    /// The microphone's own message goes back to it.
    Acknowledge = 1,
    /// The rhythm window of Kind takes a tap at the onset's time.
    RecordTap = 2,
};

struct WaveInOnsetAction
{
    WaveInOnsetActionKind Action = WaveInOnsetActionKind::Drop;
    std::optional<ExerciseKind> Kind;
    bool operator==(const WaveInOnsetAction&) const = default;
};

/// What an onset message (wparam 999 or more: an onset; below: the microphone's own message)
/// does while the microphone listens for waveInMode.
WaveInOnsetAction DecideWaveInOnset(std::uint32_t wparam, std::uint32_t waveInMode);

/// The services the microphone controls drive; each must outlive the controls.
struct MicrophoneContext
{
    IMainControls& Ui;
    const TSettingsRec& Settings;
    const MainWindowState& State;
    MicInput& Input;
    /// The engine behind Input: the notes of pitch messages and the answers to its messages.
    IMicLibrary& Library;
    /// Set on the first successful open, never cleared (the main window's flag).
    bool& MicrophoneOpen;
    /// Where the microphone's messages go (the main window).
    QObject* Receiver = nullptr;
    /// The identification window of kind takes a sung pitch.
    std::function<void(ExerciseKind kind, int pitch)> MicPitchInput;
    /// The identification window of kind enters the sung note it holds (the microphone stops).
    std::function<void(ExerciseKind kind)> ReleaseNote;
    /// The rhythm window of kind takes a tap at ms of the program's millisecond clock.
    std::function<void(ExerciseKind kind, std::uint32_t ms)> RecordTap;
};

/// The microphone button, the microphone's messages and its start and stop with the exercise
/// windows. Nothing the microphone reports after it stopped reaches a window.
class MicrophoneControls
{
public:
    explicit MicrophoneControls(MicrophoneContext context);

    /// The microphone button changed to its state now: down opens the microphone on first use,
    /// configures it and listens for the current exercise (a microphone that cannot be opened
    /// lets the button up again); up enters the sung note held and stops listening.
    void SpeedButton3Click();
    /// A pitch message with its wparam.
    void WaveInPitch(std::uint8_t wparam);
    /// An onset message: wparam 999 or more an onset at lparam ms, else the microphone's own.
    void WaveInOnset(std::uint32_t wparam, std::uint32_t lparam);
    /// The exercise window of kind was entered: it listens while the button is down.
    void ExerciseEntered(ExerciseKind kind);
    /// An exercise window is left: as the button going up, the button itself stays.
    void WaveInStop();
    /// Program end: the microphone is released.
    void Close();

    /// The microphone button (a toggle; the menu entry comes with the answer input menu).
    std::vector<CommandRow> Rows();
    bool Register(CommandRegistry& registry);

private:
    MicrophoneContext m_c;
};

} // namespace pv
