// The tutor while it runs: the steps' setups put in force, the progress labels, the end of a
// step with its result stored under the tutor's names, the move to the next, same or previous
// step, and the step information.
#pragma once

#include "shell/commands/MainControls.h"
#include "shell/results/ResultBookkeeping.h"
#include "shell/tutor/ChooseTutorModel.h"
#include "shell/tutor/TTutorDefine.h"
#include "shell/tutor/TutorStepEnd.h"

#include <functional>
#include <optional>

#include <QString>

namespace pv {

struct UIStringTable;

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

/// What the end-of-step dialog shows.
struct TutorStepEndView
{
    StepEndDecision Decision;
    QString Advice;    ///< why the proposal
    QString ScoreText; ///< the score and the step
};

/// What the step information shows.
struct TutorStepInfoView
{
    QString Caption;      ///< the exercise's title
    QString StepLine;     ///< the step's place in the tutor
    QString Title;        ///< the step's title
    QString Description;  ///< the step's description and its extra text
    bool ChangeStepShown; ///< the user may change the step
};

/// The two modal dialogs of the tutor run.
class ITutorDialogs
{
public:
    virtual ~ITutorDialogs() = default;
    /// The end-of-step dialog; its modal result (kPreviousStep, kStayStep, kNextStep, or any
    /// other value when it was closed without a choice).
    virtual int ShowEndTutorStep(const TutorStepEndView& view) = 0;
    /// The step information; 1 on OK, anything else when closed. changeStep runs "Change
    /// step...": it gives the view to show from then on, or nothing when the dialog must close
    /// (with result kNoStepChoice) because the tutor ended.
    virtual int
    ShowTutorStepInfo(const TutorStepInfoView& view,
                      const std::function<std::optional<TutorStepInfoView>()>& changeStep) = 0;
};

/// Everything the run works with; each must outlive it.
struct TutorRunServices
{
    TTutorDefine& Tutor;
    DataFiles& Data;
    AppState& App;              ///< the current user, whose steps the run moves
    MainWindowState& State;     ///< App's
    SetupState& Setup;          ///< App's
    ExerciseSessions& Sessions; ///< App's
    ExerciseClock& Clock;
    ResultBookkeeping& Results;
    IMainControls& Ui;
    ITutorDialogs& Dialogs;
    IPrompts& Prompts;
    const UIStringTable& Strings;
};

/// What the run asks of the main window's model, set once the model exists. An unset hook
/// does nothing (the chooser: none chosen).
struct TutorRunHooks
{
    /// Gives `CurrentSetup` to the exercise windows.
    std::function<void()> PushSetupToForms;
    /// The current exercise window stops what it plays.
    std::function<void(ExerciseKind)> StopPlaying;
    /// Releases the tutor button and switches with it: the tutor ends.
    std::function<void()> EndTutor;
    /// The user may change the tutor step (choose another tutor or step).
    std::function<bool()> MayChangeStep;
    /// The tutor chooser, modal: kTutorChosen, or 2 when no tutor was chosen.
    std::function<int()> ChooseTutor;
    /// Only the kinds of a newly chosen tutor stay available.
    std::function<void()> EnableTutorKinds;
};

class TutorRun final : public ITutor, public IResultTutor
{
public:
    explicit TutorRun(TutorRunServices services);

    void SetHooks(TutorRunHooks hooks) { m_hooks = std::move(hooks); }

    // ITutor
    /// Loads the tutor of file; true only when it has steps and every kind it has steps for
    /// has a step number the tutor holds (a step of a longer tutor counts as missing). A tutor
    /// without any step is refused with a message.
    bool StartTutor(const QString& tutorFile) override;
    /// The chooser; true only when it chose a tutor that can start.
    bool ChooseTutor() override;
    void Clear() override;
    int StepCount(ExerciseKind kind) const override;
    /// Fills the question counter and the step line, or empties both without a current step.
    void ShowTutorProgress() override;
    bool ShowStepInfo() override;
    void ApplyTutorSteps() override { ApplyTutorSteps(std::nullopt); }
    bool ItemTablesBackedUp() const override;
    void RestoreItemTables() override;
    void DropItemTablesBackup() override;

    // IResultTutor
    QString TutorTitle() const override;
    std::optional<QString> StepTitle(ExerciseKind kind, int step) const override;

    /// The setup of kind's current step (none: of every kind's) into `CurrentSetup`; kinds
    /// without a current step keep theirs. Then the windows get the setup.
    void ApplyTutorSteps(std::optional<ExerciseKind> kind);
    /// The current exercise's session has counted the questions of its tutor step.
    bool StepEnds() const;
    /// The end of the current step when StepEnds: the result stored, the end-of-step dialog,
    /// the move it chose, the session reset; true when the step ended here. It runs after the
    /// exercise that scored the step's last answer has returned.
    bool TutorAfterAnswer();
    /// The end-of-step dialog for score; moves the user's step by the choice and stores the
    /// user. Returns the move chosen, or kNoStepChoice when the dialog closed without one.
    int Evaluate(int score);
    /// The progress labels were clicked.
    void Panel2Click();

    /// The user's step of kind as the tutor holds it; null when the number names no step.
    const TTutorObject* CurrentStep(ExerciseKind kind) const;
    /// The user's step number of kind (0 without a user).
    int StepNumber(ExerciseKind kind) const;

private:
    /// The loaded tutor has steps and the user a step of each kind it teaches.
    bool Startable() const;
    bool UserHasTutor() const;
    TutorStepInfoView StepInfoView() const;
    std::optional<TutorStepInfoView> ChangeStep();
    void StoreUser();

    TutorRunServices m_s;
    TutorRunHooks m_hooks;
};

/// The percent score of a finished step: the mean of the answers' percentages for kinds that
/// score each answer so, else right answers in percent of all, rounded half up.
int StepScore(ExerciseKind kind, std::uint32_t correctCount, std::uint32_t questionCount);

} // namespace pv
