// Turning a finished exercise run into a result record: which kinds are worth storing, the
// record built field by field, where it goes, the reset-current-results command and the
// statistics period.
#pragma once

#include "exercises/setup/SetupOperations.h"
#include "music/data/UserFile.h"
#include "shell/results/ExerciseClock.h"
#include "shell/state/AppState.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include <QString>

namespace pv {

/// The loaded tutor as far as result records name it.
class IResultTutor
{
public:
    virtual ~IResultTutor() = default;
    /// The tutor's title.
    virtual QString TutorTitle() const = 0;
    /// The title of step 1.. of kind; nothing when the tutor has no such step.
    virtual std::optional<QString> StepTitle(ExerciseKind kind, int step) const = 0;
};

/// The texts a result record is labelled with.
struct ResultLabels
{
    QString TutorTitle;
    QString SetupName; ///< the tutor step's title, or the setup's name
    std::uint16_t TutorStep = 0;
};

/// A count as a record's 16-bit field holds it: larger counts stay at 65,535.
std::uint16_t SaturatedCount(std::uint64_t count);
/// Kinds whose score is the mean percentage of their answers rather than a count of right ones.
bool ScoreIsMeanPercent(ExerciseKind kind);
/// How many items of kind 1..10 a result record carries statistics of (the rest are zero).
int ResultItemCount(ExerciseKind kind);
/// The result record of kind's exercise run as its session holds it now.
TResultRec BuildResultRec(std::uint16_t userId, ExerciseKind kind, const ExerciseSession& session,
                          const ResultLabels& labels);

/// The kinds of a mask (bit k - 1 = kind k), ascending, and back.
std::vector<ExerciseKind> KindsOfMask(std::uint16_t mask);
std::uint16_t MaskOfKinds(const std::vector<ExerciseKind>& kinds);

/// What choosing a statistics period asks of the results view. When Changed, the caller checks
/// the chosen menu item and refreshes the results view, which then reads the new period.
struct PeriodChoice
{
    bool Changed = false; ///< false: the period was in force already, nothing to do
    QString PeriodLabel;  ///< the period label of the results view
    /// The summed exercise time of the view's kind, when the results view is shown.
    std::optional<QString> DurationLabel;
};

class ResultBookkeeping
{
public:
    /// Every argument must outlive the bookkeeping. tutorTitleOf names a user's tutor for the
    /// statistics.
    ResultBookkeeping(AppState& app, ExerciseClock& clock, DataFiles& data,
                      const IResultTutor& tutor, IPrompts& prompts, const UIStringTable& strings,
                      TutorTitleOf tutorTitleOf);

    /// The kinds of mask whose sessions counted at least minimum answers (0 = none).
    std::uint16_t KindsWithResults(std::uint16_t mask, std::int32_t minimum) const;
    /// `StoreResult` for each kind of the mask, ascending; stops at the first failure, leaving
    /// the answers of that kind and of the later ones in place.
    Status<DataError> StoreResults(std::uint16_t kinds, bool tutor, bool memoryOnly);
    /// Stores kind's exercise run: memory-only into `ExerciseResults` (its date reduced to the
    /// time of day), else appended to the user's result file, after which the run ends (its
    /// clock and counters reset) so the same answers are never stored twice. A run whose clock
    /// never started stores nothing. A failure the file opening did not show is shown here.
    Status<DataError> StoreResult(ExerciseKind kind, bool tutor, bool memoryOnly);
    /// Reset current results: offers to store the current kind's answers (not in the tutor),
    /// then resets its clock and results. Cancel, or a store that failed, resets nothing.
    Status<DataError> RestartexerciseClick();
    /// The user picked the statistics period of tag days (caption: the menu item's text); in
    /// the results view the shown user's statistics are summed again over the new period.
    PeriodChoice N1week1Click(int tag, const QString& caption, ExerciseKind resultViewKind);

    /// The labels of kind's record: the tutor's title and step, else the setup's name.
    ResultLabels LabelsOf(ExerciseKind kind, bool tutor) const;

    /// The running result of each kind (index 0 = kind 1), as the view switch last copied it.
    std::array<TResultInfo, 10> ExerciseResults{};

private:
    AppState& m_app;
    MainWindowState& m_state;
    ExerciseClock& m_clock;
    ExerciseSessions& m_sessions;
    DataFiles& m_data;
    const SetupState& m_setup;
    const IResultTutor& m_tutor;
    IPrompts& m_prompts;
    const UIStringTable& m_strings;
    TutorTitleOf m_tutorTitleOf;
};

} // namespace pv
