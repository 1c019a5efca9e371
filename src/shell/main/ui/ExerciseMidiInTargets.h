// The windows MIDI input reaches, as the routing sees them: the exercise windows' control
// strips and note input, and the item editor of the setup page.
#pragma once

#include "shell/main/MidiInRouting.h"

#include <functional>

namespace pv {

class ExerciseWindowSet;
class TControlButton;
class TExerciseBaseClass;

class ExerciseMidiInTargets final : public IMidiInTargets
{
public:
    struct Dialogs
    {
        /// The program settings dialog listens (its MIDI-in test).
        std::function<bool()> SettingsDialogOpen;
        std::function<bool()> ItemEditorOpen;
        std::function<void(std::uint32_t message)> ItemEditorMidiIn;
        std::function<void(std::uint32_t message)> SettingsDialogMidiIn;
    };

    /// windows must outlive this.
    ExerciseMidiInTargets(const ExerciseWindowSet& windows, Dialogs dialogs);

    bool WindowExists(ExerciseKind kind) const override;
    int FocusIndex(ExerciseKind kind) const override;
    bool ControlButtonEnabled(ExerciseKind kind, int button) const override;
    bool SettingsDialogOpen() const override;
    bool ItemEditorOpen() const override;
    void PressControl(ExerciseKind kind, int button) override;
    void ReleaseControl(ExerciseKind kind) override;
    void DeleteLastNote(ExerciseKind kind) override;
    void PassToWindow(ExerciseKind kind, std::uint32_t message) override;
    void PassToItemEditor(std::uint32_t message) override;
    void PassToSettingsDialog(std::uint32_t message) override;

private:
    TControlButton* Strip(ExerciseKind kind) const;

    const ExerciseWindowSet& m_windows;
    Dialogs m_dialogs;
};

} // namespace pv
