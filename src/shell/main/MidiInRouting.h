// Where a MIDI input message goes: the sustain pedal and the remote-control notes press the
// exercise's control buttons, everything else reaches the window that asked for input; nothing
// reaches an exercise while a box or a modal dialog is open.
#pragma once

#include "music/base/ExerciseKind.h"
#include "music/files/SettingsRecord.h"
#include "shell/commands/ModalGuard.h"
#include "shell/results/ExerciseForms.h"

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

/// The windows MIDI input reaches, as the routing reads and drives them.
class IMidiInTargets
{
public:
    virtual ~IMidiInTargets() = default;
    /// The exercise window of kind exists with its control strip.
    virtual bool WindowExists(ExerciseKind kind) const = 0;
    /// Its strip's focused button, -1 for none.
    virtual int FocusIndex(ExerciseKind kind) const = 0;
    virtual bool ControlButtonEnabled(ExerciseKind kind, int button) const = 0;
    virtual bool SettingsDialogOpen() const = 0;
    virtual bool ItemEditorOpen() const = 0;

    /// Control button of kind's strip pressed (released by ReleaseControl).
    virtual void PressControl(ExerciseKind kind, int button) = 0;
    /// The pressed control button of kind's strip let go: its action runs.
    virtual void ReleaseControl(ExerciseKind kind) = 0;
    /// The last entered note of kind's window taken back.
    virtual void DeleteLastNote(ExerciseKind kind) = 0;
    virtual void PassToWindow(ExerciseKind kind, std::uint32_t message) = 0;
    virtual void PassToItemEditor(std::uint32_t message) = 0;
    /// The program settings dialog's MIDI-in test.
    virtual void PassToSettingsDialog(std::uint32_t message) = 0;
};

/// The program's side of MIDI input: the state the decision reads, gathered from the settings,
/// the main window's state, the modal guard and the windows, and the decision carried out.
class MidiInRouter
{
public:
    /// Everything must outlive the router.
    MidiInRouter(const TSettingsRec& settings, const MainWindowState& state,
                 const ModalGuard& modal, IMidiInTargets& targets);

    /// The notes that press control buttons, from the settings' five remote notes; rebuilt as
    /// input starts for a window, so changed notes count from then on.
    void RebuildControlNotes();
    /// The set itself, which applying the settings rebuilds too.
    std::bitset<256>& ControlNotes() { return m_controlNotes; }

    /// What the decision reads now for a message to target.
    MidiInRoutingState StateFor(int target) const;
    /// Routes one message and returns what was done.
    MidiInAction Route(std::uint32_t message, int target);

private:
    const TSettingsRec& m_settings;
    const MainWindowState& m_state;
    const ModalGuard& m_modal;
    IMidiInTargets& m_targets;
    std::bitset<256> m_controlNotes;
};

} // namespace pv
