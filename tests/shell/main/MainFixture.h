// The main window's model over recording fakes of its widgets and services, the real clock and
// result bookkeeping, and a temporary program and data folder.
#pragma once

#include "exercises/setup/SetupFile.h"
#include "shell/commands/ControlsFixture.h"
#include "shell/main/PellivarkMainModel.h"
#include "shell/results/ResultsFixture.h"

#include <map>
#include <ostream>
#include <tuple>

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* os)
{
    *os << list.join(QStringLiteral(" | ")).toStdString();
}

namespace pv::test {

class RecordingUi final : public RecordingControlsOf<IMainWindowUi>
{
public:
    explicit RecordingUi(Journal& journal) : log(journal) {}

    void SetTempoPosition(int t) override { tempo = t; }
    void SetViewEntryText(ExerciseKind k, MainView v, const QString& t) override
    {
        entryText[{k, v}] = t;
    }
    void SetViewEntryEnabled(ExerciseKind k, MainView v, bool on) override
    {
        entryEnabled[{k, v}] = on;
    }
    void SetViewEntryVisible(ExerciseKind k, MainView v, bool on) override
    {
        entryVisible[{k, v}] = on;
    }
    void SetViewEntryChecked(ExerciseKind k, MainView v, bool on) override
    {
        entryChecked[{k, v}] = on;
    }
    void PumpMessages() override { ++pumps; }
    void ShowStartMenuMaximized() override { log.Add(QStringLiteral("ui.StartMenu")); }
    void ShowExerciseMaximized(ExerciseKind k) override
    {
        log.Add(QStringLiteral("ui.Exercise"), k);
    }
    void ShowNotAvailable(ExerciseKind k) override
    {
        log.Add(QStringLiteral("ui.NotAvailable"), k);
    }
    void ShowSetupPageMaximized(SetupBlockType page, ExerciseKind k) override
    {
        log.Add(QStringLiteral("ui.SetupPage%1").arg(static_cast<int>(page)), k);
    }
    void ShowResultsMaximized() override { log.Add(QStringLiteral("ui.Results")); }
    void FillResultsView(ExerciseKind k, double from) override
    {
        log.Add(QStringLiteral("ui.FillResults"), k);
        filledFrom = from;
    }
    void SetResultsItemButtonsVisible(bool on) override { resultsItemButtons = on; }
    void SetResultsUserChooser(bool shown, int left) override
    {
        resultsChooser = shown;
        resultsPanelLeft = left;
    }
    void SetExportImportUserChooserEnabled(bool on) override { exportChooser = on; }
    void SetSetupChooserFolder(const QString& folder) override { chooserFolder = folder; }
    void ShowSetupChooser() override
    {
        log.Add(QStringLiteral("ui.SetupChooser"));
        if (onChooser)
            onChooser();
    }
    void LayoutScoreToolWindow() override {}
    void AlignAnswerInputMenu(std::optional<ExerciseKind>) override {}
    void FocusExercise(ExerciseKind k) override { log.Add(QStringLiteral("ui.Focus"), k); }
    QString AskUserName(const QString& prompt) override
    {
        log.Add(QStringLiteral("ui.AskUserName"));
        askedPrompt = prompt;
        return userName;
    }
    void AdaptButtonLook() override {}
    void HideSplash() override { log.Add(QStringLiteral("ui.HideSplash")); }

    Journal& log;
    std::map<std::tuple<ExerciseKind, MainView>, QString> entryText;
    std::map<std::tuple<ExerciseKind, MainView>, bool> entryEnabled, entryVisible, entryChecked;
    int tempo = -1;
    int pumps = 0;
    double filledFrom = 0;
    bool resultsItemButtons = false;
    bool resultsChooser = true;
    int resultsPanelLeft = -1;
    bool exportChooser = true;
    QString chooserFolder;
    QString userName = QStringLiteral("Ann");
    QString askedPrompt;
    std::function<void()> onChooser;
};

class RecordingWindows final : public IExerciseWindows
{
public:
    explicit RecordingWindows(Journal& journal) : log(journal) {}
    void EnterExercise(ExerciseKind k) override { log.Add(QStringLiteral("win.Enter"), k); }
    void LeaveExercise(ExerciseKind k) override { log.Add(QStringLiteral("win.Leave"), k); }
    void StopRhythm(ExerciseKind k) override { log.Add(QStringLiteral("win.StopRhythm"), k); }
    void LoadSetupPage(ExerciseKind k) override { log.Add(QStringLiteral("win.LoadPage"), k); }
    void StoreSetupPage(ExerciseKind k) override
    {
        log.Add(QStringLiteral("win.StorePage"), k);
        if (onStorePage)
            onStorePage(k);
    }
    void ApplySetupToExercise(ExerciseKind, bool) override {}
    void SetChildCaptions(const QString& caption) override { captions = caption; }
    Journal& log;
    QString captions;
    std::function<void(ExerciseKind)> onStorePage;
};

class RecordingStartMenu final : public IStartMenu
{
public:
    explicit RecordingStartMenu(Journal& journal) : log(journal) {}
    void Start() override { log.Add(QStringLiteral("menu.Start")); }
    void StopIntro() override { log.Add(QStringLiteral("menu.StopIntro")); }
    std::optional<QString> WelcomeLine() const override { return welcome; }
    void SetWelcomeLine(const QString& line) override { welcome = line; }
    Journal& log;
    std::optional<QString> welcome;
};

/// A tutor with a step count per kind that starts or is chosen as told.
class ScriptedTutor final : public ITutor
{
public:
    explicit ScriptedTutor(Journal& journal) : log(journal) {}
    bool StartTutor(const QString& file) override
    {
        log.Add(QStringLiteral("tutor.Start ") + file);
        return starts;
    }
    bool ChooseTutor() override
    {
        log.Add(QStringLiteral("tutor.Choose"));
        return chosen;
    }
    void Clear() override { log.Add(QStringLiteral("tutor.Clear")); }
    int StepCount(ExerciseKind k) const override
    {
        const auto it = steps.find(k);
        return it == steps.end() ? 0 : it->second;
    }
    void ShowTutorProgress() override {}
    bool ShowStepInfo() override
    {
        log.Add(QStringLiteral("tutor.StepInfo"));
        return true;
    }
    void ApplyTutorSteps() override { log.Add(QStringLiteral("tutor.ApplySteps")); }
    bool ItemTablesBackedUp() const override { return backedUp; }
    void RestoreItemTables() override
    {
        log.Add(QStringLiteral("tutor.RestoreItems"));
        backedUp = false;
    }
    void DropItemTablesBackup() override { backedUp = false; }
    Journal& log;
    bool starts = false;
    bool chosen = false;
    bool backedUp = false;
    std::map<ExerciseKind, int> steps;
};

class RecordingMidiIn final : public IMidiInputStart
{
public:
    explicit RecordingMidiIn(Journal& journal) : log(journal) {}
    void StartMidiInput(ExerciseKind k) override { log.Add(QStringLiteral("midi.Start"), k); }
    Journal& log;
};

class RecordingSettings final : public IProgramSettingsService
{
public:
    explicit RecordingSettings(Journal& journal) : log(journal) {}
    void ApplyProgramSettings() override { log.Add(QStringLiteral("settings.Apply")); }
    void StoreProgramSettings(bool asDefaults) override
    {
        log.Add(QStringLiteral("settings.Store %1").arg(asDefaults ? 1 : 0));
    }
    Journal& log;
};

class ScriptedWizard final : public IConfigWizard
{
public:
    explicit ScriptedWizard(Journal& journal) : log(journal) {}
    bool Pending() const override { return pending; }
    bool Show() override
    {
        log.Add(QStringLiteral("wizard.Show"));
        pending = false;
        return ok;
    }
    Journal& log;
    bool pending = false;
    bool ok = false;
};

class MainFixture : public ResultsFixture
{
protected:
    MainFixture()
    {
        texts.StrViewExercise = QStringLiteral("Exercise");
        texts.StrViewSetup = QStringLiteral("Exercise setup");
        texts.StrViewResults = QStringLiteral("Results");
        texts.StrViewUserOverview = QStringLiteral("User overview");
        texts.StrUserNamePrompt = QStringLiteral("Your name:");
        texts.StrTutorMessage = QStringLiteral("No tutor");
        texts.StrProgramTitle = QStringLiteral("Pellivark");
        texts.StrFileNotFound = QStringLiteral("File does not exist:");
        texts.StrSetupFileInvalid = QStringLiteral("Not a setup file");
        texts.StrSaveSetupQuery = QStringLiteral("Save the changed setup?");
        texts.StrUserFile = QStringLiteral("User file");
        setup.SetupFileName.clear();
        // The built-in settings start the tutor at the first switch; these tests press its
        // button when they want it.
        app.ProgramSettings.TutorActive = false;
        ui.text[MainControl::AkkordID1] = QStringLiteral("Chord identification");
        ui.text[MainControl::IntervalID1] = QStringLiteral("Interval identification");
        ui.text[MainControl::Activatetutor1] = QStringLiteral("Tutor");
        // The recording windows stand in for the windows that mirror the sessions.
        for (ExerciseKind k : kExerciseKinds)
            sessions.Of(k).SetResetListener([this, k] { log.Add(QStringLiteral("win.Reset"), k); });
        model.Lusk();
        model.ApplyUserRights();
        model.FirstShowPending = false;
        log.lines.clear();
    }

    /// Switches as a click on a control with tag does, and returns what the fakes wrote.
    QStringList Click(int tag)
    {
        log.lines.clear();
        model.Speed1Click(tag);
        return log.lines;
    }
    /// The tutor button pressed down, then clicked.
    QStringList ClickTutor()
    {
        ui.down[MainControl::SpeedButton10] = true;
        return Click(kTutorTag);
    }
    QString ProgramFile(const QString& name) const { return dir.Path() + name; }
    bool WriteSetup(const QString& path, const ExerciseSetup& s = DefaultExerciseSetup()) const
    {
        return WriteSetupFile(path, s).Ok();
    }

    Journal log;
    RecordingUi ui{log};
    RecordingWindows windows{log};
    RecordingStartMenu startMenu{log};
    ScriptedTutor scriptedTutor{log};
    RecordingMidiIn midiIn{log};
    RecordingSettings settings{log};
    ScriptedWizard wizard{log};
    PellivarkMainModel model{MainModelServices{ui,
                                               windows,
                                               sessions,
                                               startMenu,
                                               scriptedTutor,
                                               midiIn,
                                               settings,
                                               wizard,
                                               prompts,
                                               texts,
                                               data,
                                               app,
                                               state,
                                               setup,
                                               exerciseClock,
                                               book,
                                               {}}};
};

} // namespace pv::test
