// What the main window's decisions ask of the widgets and of the services around them: the
// window itself, the exercise windows, the start menu, the tutor, MIDI input, the program
// settings and the first-run wizard. Each is small so a test can record every call.
#pragma once

#include "music/base/ExerciseKind.h"
#include "shell/main/MainControls.h"
#include "shell/results/ExerciseForms.h"

#include <optional>

#include <QString>

namespace pv {

/// The main window's widgets and the windows it shows maximised.
class IMainWindowUi
{
public:
    virtual ~IMainWindowUi() = default;

    virtual void SetEnabled(MainControl control, bool on) = 0;
    virtual bool IsEnabled(MainControl control) const = 0;
    virtual void SetVisible(MainControl control, bool on) = 0;
    /// A menu item's tick.
    virtual void SetChecked(MainControl control, bool on) = 0;
    /// A tool button held down (a grouped button releases the others of its group).
    virtual void SetDown(MainControl control, bool on) = 0;
    virtual bool IsDown(MainControl control) const = 0;
    virtual void SetText(MainControl control, const QString& text) = 0;
    virtual QString Text(MainControl control) const = 0;
    virtual void SetWidth(MainControl control, int width) = 0;
    virtual int Width(MainControl control) const = 0;
    /// `TrackBar1`'s position (tempo in beats per minute).
    virtual void SetTempoPosition(int tempo) = 0;

    /// The entry of view in the submenu of kind's exercise menu item (its four entries are the
    /// four views).
    virtual void SetViewEntryText(ExerciseKind kind, MainView view, const QString& text) = 0;
    virtual void SetViewEntryEnabled(ExerciseKind kind, MainView view, bool on) = 0;
    virtual void SetViewEntryVisible(ExerciseKind kind, MainView view, bool on) = 0;
    virtual void SetViewEntryChecked(ExerciseKind kind, MainView view, bool on) = 0;

    /// Handles the pending events once (windows paint, input arrives).
    virtual void PumpMessages() = 0;

    /// The start menu maximised without the zoom animation.
    virtual void ShowStartMenuMaximized() = 0;
    /// The exercise window of kind maximised without the zoom animation.
    virtual void ShowExerciseMaximized(ExerciseKind kind) = 0;
    /// For kinds whose exercise window does not exist yet: a view that says so, in the
    /// exercise window's place.
    virtual void ShowNotAvailable(ExerciseKind kind) = 0;
    /// The setup page of the block type (options, rhythm, melody) maximised, filled for kind.
    virtual void ShowSetupPageMaximized(SetupBlockType page, ExerciseKind kind) = 0;
    /// The results window maximised.
    virtual void ShowResultsMaximized() = 0;
    /// Fills the results view for kind from a start date (days since 1899-12-30; -1: none).
    virtual void FillResultsView(ExerciseKind kind, double fromDate) = 0;
    /// The results view's item buttons (`SpeedButton4`, `SpeedButton5` of that window).
    virtual void SetResultsItemButtonsVisible(bool on) = 0;
    /// The results view's user chooser and the left edge of its panel.
    virtual void SetResultsUserChooser(bool shown, int panelLeft) = 0;
    /// The user chooser of the export/import window.
    virtual void SetExportImportUserChooserEnabled(bool on) = 0;
    /// The folder the setup chooser's file dialog starts in.
    virtual void SetSetupChooserFolder(const QString& folder) = 0;
    /// The setup chooser, modal; it loads what the user picks itself.
    virtual void ShowSetupChooser() = 0;

    /// Tool window n (0..5) is wanted shown or hidden; it shows only when the settings' visible
    /// flag of the window is set too, and changes only when it differs.
    virtual void SetToolWindowVisible(int n, bool visible) = 0;
    /// Lays out the score tool window for the current kind.
    virtual void LayoutScoreToolWindow() = 0;
    /// The Answer Input menu follows the kind (called by a switch).
    virtual void AlignAnswerInputMenu(std::optional<ExerciseKind> kind) = 0;
    /// The main window, then the exercise window of kind, then its control strip take the
    /// keyboard focus.
    virtual void FocusExercise(ExerciseKind kind) = 0;

    /// The name prompt of the first start (an input box without caption); empty when the
    /// user gave none.
    virtual QString AskUserName(const QString& prompt) = 0;
    /// The tool-bar buttons drawn in the style of the system.
    virtual void AdaptButtonLook() = 0;
    /// Hides the splash window.
    virtual void HideSplash() = 0;
};

/// The exercise windows as the view switch and the setup commands use them.
class IExerciseWindows
{
public:
    virtual ~IExerciseWindows() = default;
    /// The window of kind becomes the shown exercise.
    virtual void EnterExercise(ExerciseKind kind) = 0;
    /// The window of kind stops being the shown exercise.
    virtual void LeaveExercise(ExerciseKind kind) = 0;
    /// A rhythm window's stop button (kinds 4, 5, 6).
    virtual void StopRhythm(ExerciseKind kind) = 0;
    /// The kind's setup page fills itself from the current setup.
    virtual void LoadSetupPage(ExerciseKind kind) = 0;
    /// The kind's setup page writes itself back into the current setup.
    virtual void StoreSetupPage(ExerciseKind kind) = 0;
    /// The kind's exercise window takes the current setup; reset also clears its counters.
    virtual void ApplySetupToExercise(ExerciseKind kind, bool reset) = 0;
    /// Every exercise window's caption.
    virtual void SetChildCaptions(const QString& caption) = 0;
};

/// The start menu window.
class IStartMenu
{
public:
    virtual ~IStartMenu() = default;
    /// Shows the description and plays the intro when that option is on.
    virtual void Start() = 0;
    virtual void StopIntro() = 0;
    /// Line 0 of the welcome text; nothing when the text has no line.
    virtual std::optional<QString> WelcomeLine() const = 0;
    virtual void SetWelcomeLine(const QString& line) = 0;
};

/// The tutor: a loaded sequence of exercise steps per kind.
class ITutor
{
public:
    virtual ~ITutor() = default;
    /// Loads and starts the tutor of file; false when it cannot.
    virtual bool StartTutor(const QString& tutorFile) = 0;
    /// The tutor chooser, modal; true when the user picked one and it started.
    virtual bool ChooseTutor() = 0;
    /// Forgets the loaded tutor.
    virtual void Clear() = 0;
    /// How many steps the loaded tutor has for kind.
    virtual int StepCount(ExerciseKind kind) const = 0;
    virtual void ShowTutorProgress() = 0;
    /// The step information, modal; true on OK.
    virtual bool ShowStepInfo() = 0;
    /// The current steps' setups are applied to every kind.
    virtual void ApplyTutorSteps() = 0;
    /// The user's item tables were saved away while the tutor's are in force.
    virtual bool ItemTablesBackedUp() const = 0;
    /// Puts the saved item tables back (nothing when none were saved).
    virtual void RestoreItemTables() = 0;
    /// Forgets the saved item tables.
    virtual void DropItemTablesBackup() = 0;
};

/// MIDI input reaching an exercise.
class IMidiInputStart
{
public:
    virtual ~IMidiInputStart() = default;
    /// Starts MIDI input with kind's window as its target.
    virtual void StartMidiInput(ExerciseKind kind) = 0;
};

/// Applying the stored program settings to the windows and devices, and storing them back.
class IProgramSettingsService
{
public:
    virtual ~IProgramSettingsService() = default;
    virtual void ApplyProgramSettings() = 0;
    virtual void StoreProgramSettings(bool asDefaults) = 0;
};

/// The first-run wizard, made by the settings application when the program runs first.
class IConfigWizard
{
public:
    virtual ~IConfigWizard() = default;
    /// The wizard was made and waits to be shown.
    virtual bool Pending() const = 0;
    /// Shows it modally; true when it closed with OK. Afterwards it is no longer pending.
    virtual bool Show() = 0;
};

/// No wizard is ever pending.
class NullConfigWizard final : public IConfigWizard
{
public:
    bool Pending() const override { return false; }
    bool Show() override { return false; }
};

} // namespace pv
