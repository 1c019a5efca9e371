// The main window's decisions without the window: which view and exercise are shown and how a
// switch leaves one and enters the other, the tutor turned on and off, the fixed user rights,
// the first show that finishes start-up and the question before closing.
#pragma once

#include "exercises/setup/SetupOperations.h"
#include "music/data/UserFile.h"
#include "shell/main/MainWindowUi.h"
#include "shell/main/ViewTags.h"
#include "shell/results/ExerciseClock.h"
#include "shell/results/ResultBookkeeping.h"
#include "shell/state/AppState.h"
#include "shell/tutor/TutorRun.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include <QString>

namespace pv {

struct UIStringTable;

/// The longest path a user record's file name fields hold.
inline constexpr qsizetype kStoredPathCapacity = 151;

/// Everything the model works with; each must outlive it.
struct MainModelServices
{
    IMainWindowUi& Ui;
    IExerciseWindows& Windows;
    ExerciseSessions& Sessions; ///< every kind's, with or without its window
    IStartMenu& StartMenu;
    ITutor& Tutor;
    IMidiInputStart& MidiInput;
    IProgramSettingsService& Settings;
    IConfigWizard& Wizard;
    IPrompts& Prompts;
    const UIStringTable& Strings;
    DataFiles& Data;
    AppState& App;          ///< the users, the settings and the results
    MainWindowState& State; ///< App's, shared with the clock and the bookkeeping
    SetupState& Setup;      ///< App's, shared with the bookkeeping
    ExerciseClock& Clock;   ///< over State
    ResultBookkeeping& Results;
    TutorTitleOf TutorTitle; ///< names a user's tutor for the statistics
};

class PellivarkMainModel
{
public:
    explicit PellivarkMainModel(MainModelServices services);
    PellivarkMainModel(const PellivarkMainModel&) = delete;
    PellivarkMainModel& operator=(const PellivarkMainModel&) = delete;

    /// The create step's part of the decisions: the state of a new main window, the data
    /// folders made (a folder that cannot be made is reported, and the program runs on), and
    /// the view buttons that wait for an exercise disabled.
    void Lusk();
    /// The first argument of the command line (empty: none), read by the first show.
    void SetCommandLineArgument(const QString& argument) { m_commandLineArgument = argument; }
    /// Reads (and marks) whether this is the first run of the program; asked once, by the
    /// create step. Unset: every run counts as the first.
    void SetFirstRunSource(std::function<bool()> decide) { m_decideFirstRun = std::move(decide); }

    /// A view button, exercise button or exercise menu entry with tag was chosen.
    void Speed1Click(int tag);
    /// Switches to view of kind (none: the start menu).
    void SwitchView(std::optional<ExerciseKind> newKind, MainView newView);
    /// The tempo slider follows the current exercise's setup.
    void SetTempoSlider();
    /// Only the kinds the loaded tutor has steps for stay available; false when it switched to
    /// another kind (the current one has no steps).
    bool EnableTutorKinds();
    /// The fixed rights and what they show, hide, enable and disable.
    void ApplyUserRights();
    /// The submenu of kind's exercise menu item opens.
    void AkkordProgress1Click(ExerciseKind kind);
    /// The main window is shown: the first time start-up is finished.
    void FormShow();
    /// The user closes the main window; false keeps it open.
    bool FormCloseQuery();

    /// Kinds whose exercise windows exist; the others show that they are not available yet.
    bool KindAvailable(ExerciseKind kind) const;
    void SetKindAvailable(ExerciseKind kind, bool available);
    /// Kinds that may use the metronome (kind 9 follows its setup on every entry).
    bool InMetronomeKinds(ExerciseKind kind) const;

    /// The setup commands, with this model as their host.
    SetupOperations& Setup() { return m_setupOps; }

    std::optional<ExerciseKind> CurrentKind() const { return m_s.State.CurrentKind; }
    MainView CurrentView() const { return m_s.State.CurrentView; }
    bool TutorActive() const { return m_s.State.TutorActive; }
    bool SetupModified() const { return m_s.Setup.SetupModified; }
    bool SetupLoaded() const { return m_s.Setup.SetupLoaded; }
    const QString& SetupFileName() const { return m_s.Setup.SetupFileName; }
    /// Where setups are opened and saved: the user's own folder, never the program's.
    const QString& SetupFolder() const { return m_setupFolder; }

    /// The path a user record stores for path: itself when it fits, else relative to the
    /// program, setup or data folder; nothing when it fits none of them.
    std::optional<QString> StoredPathFor(const QString& path) const;
    /// The file a stored path names; empty for "" and "\" (no file).
    QString ResolveStoredPath(const QString& stored) const;

    bool FirstShowPending = false;
    /// This is the program's first run on this account, decided by the create step; the
    /// first-run wizard reads it.
    bool FirstRun = true;
    bool MicrophoneOpen = false;
    std::array<bool, 10> UserRights{};
    bool UserRightsApplied = false;
    bool DeleteDialogMade = false;
    bool SettingsDialogOpen = false;
    bool ReportsMade = false;

private:
    class SetupHost final : public ISetupHost
    {
    public:
        explicit SetupHost(PellivarkMainModel& model) : m_model(model) {}
        bool TutorActive() const override;
        bool SetupViewShown() const override;
        std::optional<ExerciseKind> CurrentKind() const override;
        QString SetupFolder() const override;
        bool IsShippedFile(const QString& path) const override;
        void LoadSetupPage(ExerciseKind kind) override;
        void StoreSetupPage(ExerciseKind kind) override;
        void SetChildCaptions(const QString& caption) override;
        void ApplySetupToExercise(ExerciseKind kind, bool reset) override;
        void SetTempoSlider() override;
        std::vector<ExerciseKind> KindsWithResults(int minimumAnswers) override;
        void StoreResults(const std::vector<ExerciseKind>& kinds) override;
        void ResetExerciseClock(std::optional<ExerciseKind> kind) override;

    private:
        PellivarkMainModel& m_model;
    };

    void FirstShow();
    void LoadStartSetup();
    /// exerciseChanged: another kind, or the same one with the tutor turned on or off.
    void LeaveView(std::optional<ExerciseKind> oldKind, bool viewChanged, bool exerciseChanged);
    void TutorOff(std::optional<ExerciseKind> newKind);
    void EndUnfinishedSteps();
    void EnterView(bool viewChanged, bool exerciseChanged);
    void EnterExerciseView(ExerciseKind kind, bool entering);
    void EnterResultsView();
    bool TurnTutorOn();
    void SetExerciseButtonsEnabled(bool on);
    QString DefaultSetupFolder() const;
    bool Right(int index) const { return UserRights[static_cast<std::size_t>(index)]; }

    MainModelServices m_s;
    SetupHost m_setupHost{*this};
    SetupOperations m_setupOps;
    QString m_setupFolder;
    QString m_commandLineArgument;
    std::function<bool()> m_decideFirstRun;
    std::uint16_t m_metronomeKinds = 0;
    std::uint16_t m_availableKinds = 0;
    /// Counts the tutor step dialogs shown, so a switch that a nested one already showed it
    /// for does not show it again.
    int m_stepInfoShows = 0;
};

} // namespace pv
