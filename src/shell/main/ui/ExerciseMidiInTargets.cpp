// MIDI input carried out on the windows.
#include "shell/main/ui/ExerciseMidiInTargets.h"

#include "exercises/ui/TControlButton.h"
#include "exercises/ui/TExerciseBaseClass.h"
#include "shell/main/ui/ExerciseWindowSet.h"

namespace pv {

ExerciseMidiInTargets::ExerciseMidiInTargets(const ExerciseWindowSet& windows, Dialogs dialogs)
    : m_windows(windows), m_dialogs(std::move(dialogs))
{
}

TControlButton* ExerciseMidiInTargets::Strip(ExerciseKind kind) const
{
    TExerciseBaseClass* window = m_windows.Window(kind);
    return window != nullptr ? window->ControlButtons : nullptr;
}

bool ExerciseMidiInTargets::WindowExists(ExerciseKind kind) const
{
    return Strip(kind) != nullptr;
}

int ExerciseMidiInTargets::FocusIndex(ExerciseKind kind) const
{
    const TControlButton* strip = Strip(kind);
    return strip != nullptr ? strip->Model().FocusIndex : -1;
}

bool ExerciseMidiInTargets::ControlButtonEnabled(ExerciseKind kind, int button) const
{
    const TControlButton* strip = Strip(kind);
    return strip != nullptr && strip->Model().IsEnabled(button);
}

bool ExerciseMidiInTargets::SettingsDialogOpen() const
{
    return m_dialogs.SettingsDialogOpen && m_dialogs.SettingsDialogOpen();
}

bool ExerciseMidiInTargets::ItemEditorOpen() const
{
    return m_dialogs.ItemEditorOpen && m_dialogs.ItemEditorOpen();
}

void ExerciseMidiInTargets::PressControl(ExerciseKind kind, int button)
{
    if (TControlButton* strip = Strip(kind))
        strip->Press(button);
}

void ExerciseMidiInTargets::ReleaseControl(ExerciseKind kind)
{
    if (TExerciseBaseClass* window = m_windows.Window(kind))
        window->ControlButtonUpAction();
}

void ExerciseMidiInTargets::DeleteLastNote(ExerciseKind kind)
{
    if (TExerciseBaseClass* window = m_windows.Window(kind))
        window->DeleteLastNote();
}

void ExerciseMidiInTargets::PassToWindow(ExerciseKind kind, std::uint32_t message)
{
    if (TExerciseBaseClass* window = m_windows.Window(kind))
        window->MidiInMessage(message);
}

void ExerciseMidiInTargets::PassToItemEditor(std::uint32_t message)
{
    if (m_dialogs.ItemEditorMidiIn)
        m_dialogs.ItemEditorMidiIn(message);
}

void ExerciseMidiInTargets::PassToSettingsDialog(std::uint32_t message)
{
    if (m_dialogs.SettingsDialogMidiIn)
        m_dialogs.SettingsDialogMidiIn(message);
}

} // namespace pv
