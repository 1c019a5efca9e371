// The main menu's commands that no other feature brings: the tool windows' entries, the
// rhythm metronome and the MIDI output's reset entries, the entries that do nothing yet by
// design, and the rules the MIDI menu follows as it opens.
#pragma once

#include "exercises/setup/ExerciseSetup.h"
#include "music/files/SettingsRecord.h"
#include "shell/commands/CommandRegistry.h"
#include "shell/results/ExerciseForms.h"

#include <functional>
#include <optional>

namespace pv {

/// Whether the key names can be shown for kind with setup: only where the staff shows a key
/// signature (scales never: their notes carry the name already).
bool KeyNameEnabled(ExerciseKind kind, const ExerciseSetup& setup);

/// The exercise clock label's hint: the results view's duration caption, ": " and the
/// running time with seconds.
QString ExerciseTimeHint(const QString& durationCaption, double runningSpan, QChar separator);

/// What the commands reach; every reference must outlive the commands.
struct MainMenuContext
{
    TSettingsRec& Settings;
    const MainWindowState& State;
    /// The settings' visible flag of tool window n changed: the window follows it.
    std::function<void(int n, bool on)> ToolWindowAllowed;
    /// The rhythm windows take the settings they play with.
    std::function<void()> ApplyRhythmSettings;
    /// The MIDI output's controllers back to their defaults, and every sounding note off.
    std::function<void()> ResetControllers;
    std::function<void()> AllNotesOff;
};

class MainMenuCommands
{
public:
    explicit MainMenuCommands(MainMenuContext context);

    /// The tool windows' entries (`Standard1`, `Result1`, `Speed7`, `Extra1`) with the index
    /// of the tool window each one shows.
    static constexpr std::array<std::pair<const char*, int>, 4> kToolItems = {
        {{"Standard1", 0}, {"Result1", 3}, {"Speed7", 4}, {"Extra1", 5}}};

    /// `Standard1Click`: flips tool window n's visible flag (n 0..5; others change nothing).
    void FlipToolWindow(int n);
    /// Only the main tool bar's entry works outside an exercise: the others' windows show
    /// nothing there.
    bool ToolItemEnabled(int n) const;
    bool ToolItemChecked(int n) const;
    /// `Rhythmwithmetronome1`: only the rhythm kinds' exercise view plays rhythms.
    bool RhythmMetronomeVisible() const;
    void FlipRhythmMetronome();

    std::vector<CommandRow> Rows();
    bool Register(CommandRegistry& registry);

private:
    MainMenuContext m_c;
};

} // namespace pv
