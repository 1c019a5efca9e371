#include "shell/main/MidiInRouting.h"

namespace pv {

namespace {

constexpr std::uint32_t kActiveSensing = 0xFE;

MidiInAction Act(MidiInActionKind kind, int button = -1, bool deleteLastNote = false)
{
    return MidiInAction{kind, button, deleteLastNote};
}

MidiInAction ExerciseAction(std::uint32_t message, int target, const MidiInRoutingState& state)
{
    // Dropped, not kept for later: a pedal pressed behind a box must not answer once it closes.
    if (!state.WindowExists || state.ModalOpen)
        return Act(MidiInActionKind::Drop);
    const std::uint32_t status = message & 0xFF;
    const std::uint32_t data1 = (message >> 8) & 0xFF;
    const std::uint32_t data2 = (message >> 16) & 0xFF;

    // The sustain pedal: only pressed fully down counts, as Enter on the focused button.
    if ((message & 0xFFF0) == 0x40B0) {
        if ((data2 & 0x7F) == 0x7F && state.SustainAsEnter && state.FocusIndex >= 0)
            return Act(MidiInActionKind::PressFocusedAndRelease, state.FocusIndex);
        return Act(MidiInActionKind::Drop);
    }

    // Remote-control notes never reach the exercise, even inside its note range.
    if (state.MidiRemoteControl && state.ControlNotes.test(data1) && (status & 0xE0) == 0x80) {
        const bool noteOn = (status & 0xF0) == 0x90 && data2 != 0;
        if (!noteOn)
            return Act(MidiInActionKind::ReleaseControl);
        for (int i = 0; i < static_cast<int>(state.RemoteNotes.size()); ++i) {
            if (state.RemoteNotes[static_cast<std::size_t>(i)] != data1)
                continue;
            const bool noteWindow = state.CurrentKind && KindNumber(*state.CurrentKind) == target &&
                                    (*state.CurrentKind == ExerciseKind::Scales ||
                                     *state.CurrentKind == ExerciseKind::MelodyDictation);
            return Act(MidiInActionKind::PressControl, i,
                       i == 4 && !state.Button4Enabled && noteWindow);
        }
        return Act(MidiInActionKind::Drop);
    }
    return Act(MidiInActionKind::PassToWindow);
}

} // namespace

MidiInAction DecideMidiIn(std::uint32_t message, int target, const MidiInRoutingState& state)
{
    if (message == kActiveSensing)
        return Act(MidiInActionKind::Drop);
    if (target >= 1 && target <= 10)
        return ExerciseAction(message, target, state);
    if (target == kMidiInTargetSettingsDialog)
        return Act(state.SettingsDialogOpen ? MidiInActionKind::SettingsDialog
                                            : MidiInActionKind::Drop);
    if (target == kMidiInTargetItemEditor)
        return Act(state.ItemEditorOpen ? MidiInActionKind::ItemEditor : MidiInActionKind::Drop);
    return Act(MidiInActionKind::Drop);
}

} // namespace pv
