// Where a MIDI input message goes: the sustain pedal and the remote-control notes press the
// exercise's control buttons, everything else reaches the window that asked for input.
#pragma once

#include "music/base/ExerciseKind.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>

namespace pv {

/// Input targets besides the exercise kinds 1..10.
inline constexpr int kMidiInTargetSettingsDialog = 15;
inline constexpr int kMidiInTargetItemEditor = 16;

enum class MidiInActionKind : std::uint8_t
{
    Drop = 0,
    /// The focused control button is pressed and released at once.
    PressFocusedAndRelease = 1,
    /// Control button `Button` is pressed (released by a later message).
    PressControl = 2,
    /// The pressed control button is released.
    ReleaseControl = 3,
    /// The exercise window takes the message as it came.
    PassToWindow = 4,
    /// The settings dialog's MIDI-in test takes it.
    SettingsDialog = 5,
    /// The chord editor of the setup page takes it.
    ItemEditor = 6,
};

struct MidiInAction
{
    MidiInActionKind Kind = MidiInActionKind::Drop;
    int Button = -1;
    /// The scales and melody windows also take back their last entered note (the fifth remote
    /// note while the stop button is disabled).
    bool DeleteLastNote = false;
    bool operator==(const MidiInAction&) const = default;
};

/// What the decision reads of the program at the moment the message is handled.
struct MidiInRoutingState
{
    bool SustainAsEnter = false;
    bool MidiRemoteControl = false;
    std::array<std::uint8_t, 5> RemoteNotes{};
    std::bitset<256> ControlNotes;
    /// The target window exists.
    bool WindowExists = false;
    /// The target window's focused control button, -1 for none.
    int FocusIndex = -1;
    bool Button4Enabled = true;
    std::optional<ExerciseKind> CurrentKind;
    bool SettingsDialogOpen = false;
    bool ItemEditorOpen = false;
    /// A message box, a busy wait or a modal dialog is open: nothing reaches the exercises
    /// (the dialogs that take MIDI input themselves still get it).
    bool ModalOpen = false;
};

/// The action for a packed message (status + 256 * data 1 + 65536 * data 2) sent to target.
MidiInAction DecideMidiIn(std::uint32_t message, int target, const MidiInRoutingState& state);

} // namespace pv
