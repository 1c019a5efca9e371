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

MidiInRouter::MidiInRouter(const TSettingsRec& settings, const MainWindowState& state,
                           const ModalGuard& modal, IMidiInTargets& targets)
    : m_settings(settings), m_state(state), m_modal(modal), m_targets(targets)
{
}

void MidiInRouter::RebuildControlNotes()
{
    m_controlNotes.reset();
    for (const std::uint8_t note : m_settings.RemoteNotes)
        m_controlNotes.set(note);
}

MidiInRoutingState MidiInRouter::StateFor(int target) const
{
    MidiInRoutingState state;
    state.SustainAsEnter = m_settings.SustainAsEnter;
    state.MidiRemoteControl = m_settings.MidiRemoteControl;
    state.RemoteNotes = m_settings.RemoteNotes;
    state.ControlNotes = m_controlNotes;
    if (const std::optional<ExerciseKind> kind = KindFromNumber(target)) {
        state.WindowExists = m_targets.WindowExists(*kind);
        if (state.WindowExists) {
            state.FocusIndex = m_targets.FocusIndex(*kind);
            state.Button4Enabled = m_targets.ControlButtonEnabled(*kind, 4);
        }
    }
    state.CurrentKind = m_state.CurrentKind;
    state.SettingsDialogOpen = m_targets.SettingsDialogOpen();
    state.ItemEditorOpen = m_targets.ItemEditorOpen();
    state.ModalOpen = m_modal.Raised();
    return state;
}

MidiInAction MidiInRouter::Route(std::uint32_t message, int target)
{
    const MidiInAction action = DecideMidiIn(message, target, StateFor(target));
    const std::optional<ExerciseKind> kind = KindFromNumber(target);
    switch (action.Kind) {
    case MidiInActionKind::PressFocusedAndRelease:
        m_targets.PressControl(*kind, action.Button);
        m_targets.ReleaseControl(*kind);
        break;
    case MidiInActionKind::PressControl:
        m_targets.PressControl(*kind, action.Button);
        if (action.DeleteLastNote)
            m_targets.DeleteLastNote(*kind);
        break;
    case MidiInActionKind::ReleaseControl:
        m_targets.ReleaseControl(*kind);
        break;
    case MidiInActionKind::PassToWindow:
        m_targets.PassToWindow(*kind, message);
        break;
    case MidiInActionKind::ItemEditor:
        m_targets.PassToItemEditor(message);
        break;
    case MidiInActionKind::SettingsDialog:
        m_targets.PassToSettingsDialog(message);
        break;
    case MidiInActionKind::Drop:
        break;
    }
    return action;
}

} // namespace pv
