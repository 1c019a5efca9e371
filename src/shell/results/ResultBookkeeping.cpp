// Result records of exercise runs: building, storing and the commands around them.
#include "shell/results/ResultBookkeeping.h"

#include "music/data/ResultFiles.h"
#include "shell/results/ElapsedTime.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

namespace pv {

namespace {

constexpr std::int32_t kMinimumToOffer = 5;
constexpr qsizetype kLabelCapacity = 50;

// The place of a known kind in the per-kind arrays (index 0 = kind 1).
std::size_t IndexOf(ExerciseKind kind)
{
    return static_cast<std::size_t>(KindNumber(kind) - 1);
}

std::uint16_t BitOf(ExerciseKind kind)
{
    return static_cast<std::uint16_t>(1U << (KindNumber(kind) - 1));
}

} // namespace

std::uint16_t SaturatedCount(std::uint64_t count)
{
    // Keeping the low 16 bits would store 65,536 answers as none at all.
    return static_cast<std::uint16_t>(
        std::min<std::uint64_t>(count, std::numeric_limits<std::uint16_t>::max()));
}

bool ScoreIsMeanPercent(ExerciseKind kind)
{
    // The rhythm exercises score each answer as a percentage.
    return KindFacts(kind).SetupBlock == SetupBlockType::Rhythm;
}

int ResultItemCount(ExerciseKind kind)
{
    // Only the identification windows keep statistics per item, each of the items it asks.
    const ExerciseKindFacts facts = KindFacts(kind);
    return facts.IdentificationWindow ? std::clamp(facts.ItemsUsed, 0, static_cast<int>(kItemCount))
                                      : 0;
}

TResultRec BuildResultRec(std::uint16_t userId, ExerciseKind kind, const ExerciseSession& session,
                          const ResultLabels& labels)
{
    TResultRec rec;
    rec.UserId = userId;
    rec.Kind = static_cast<std::uint16_t>(KindNumber(kind));
    rec.DateTime = session.StartDate;
    rec.Duration = session.ExerciseTime;
    rec.AnswerTimeSum = session.AnswerTime;
    rec.TutorTitle = labels.TutorTitle.left(kLabelCapacity);
    rec.SetupName = labels.SetupName.left(kLabelCapacity);
    rec.TutorStep = labels.TutorStep;
    if (ScoreIsMeanPercent(kind))
        rec.Score = session.QuestionCount < 1
                        ? 0
                        : SaturatedCount(session.CorrectCount / session.QuestionCount);
    else
        rec.Score = SaturatedCount(session.CorrectCount);
    rec.Count = SaturatedCount(session.QuestionCount);
    const int items = ResultItemCount(kind);
    for (int item = 1; item <= items; ++item) {
        const ItemCounts counts = session.ItemStatistics(item);
        rec.Items[static_cast<std::size_t>(item - 1)] = {SaturatedCount(counts.Right),
                                                         SaturatedCount(counts.Asked)};
    }
    return rec;
}

std::vector<ExerciseKind> KindsOfMask(std::uint16_t mask)
{
    std::vector<ExerciseKind> kinds;
    for (ExerciseKind k : kExerciseKinds) {
        if ((mask & BitOf(k)) != 0)
            kinds.push_back(k);
    }
    return kinds;
}

std::uint16_t MaskOfKinds(const std::vector<ExerciseKind>& kinds)
{
    std::uint16_t mask = 0;
    for (ExerciseKind k : kinds) {
        if (IsKnownKind(k))
            mask = static_cast<std::uint16_t>(mask | BitOf(k));
    }
    return mask;
}

ResultBookkeeping::ResultBookkeeping(AppState& app, ExerciseClock& clock, DataFiles& data,
                                     const IResultTutor& tutor, IPrompts& prompts,
                                     const UIStringTable& strings, TutorTitleOf tutorTitleOf)
    : m_app(app), m_state(app.MainWindow), m_clock(clock), m_sessions(app.Sessions), m_data(data),
      m_setup(app.Setup), m_tutor(tutor), m_prompts(prompts), m_strings(strings),
      m_tutorTitleOf(std::move(tutorTitleOf))
{
}

std::uint16_t ResultBookkeeping::KindsWithResults(std::uint16_t mask, std::int32_t minimum) const
{
    std::uint16_t out = 0;
    for (ExerciseKind k : KindsOfMask(mask)) {
        const ExerciseSession* session = m_sessions.Find(k);
        if (session != nullptr &&
            static_cast<std::int64_t>(session->QuestionCount) >= std::int64_t{minimum})
            out = static_cast<std::uint16_t>(out | BitOf(k));
    }
    return out;
}

Status<DataError> ResultBookkeeping::StoreResults(std::uint16_t kinds, bool tutor, bool memoryOnly)
{
    for (ExerciseKind k : KindsOfMask(kinds)) {
        Status<DataError> stored = StoreResult(k, tutor, memoryOnly);
        if (!stored)
            return stored;
    }
    return {};
}

ResultLabels ResultBookkeeping::LabelsOf(ExerciseKind kind, bool tutor) const
{
    ResultLabels labels;
    if (!tutor) {
        labels.SetupName = SetupOperations::SetupCaption(m_setup.SetupFileName);
        return labels;
    }
    labels.TutorTitle = m_tutor.TutorTitle();
    const std::shared_ptr<TUserInfo>& user = m_app.Users.CurrentUser;
    if (!user || !IsKnownKind(kind))
        return labels;
    const std::int32_t step = user->Record.TutorSteps[IndexOf(kind)];
    labels.TutorStep = static_cast<std::uint16_t>(std::clamp(step, 0, 65535));
    // A step the tutor does not have (a user file written for a longer tutor) names nothing.
    labels.SetupName = m_tutor.StepTitle(kind, step).value_or(QString());
    return labels;
}

Status<DataError> ResultBookkeeping::StoreResult(ExerciseKind kind, bool tutor, bool memoryOnly)
{
    ExerciseSession* session = m_sessions.Find(kind);
    if (session == nullptr)
        return {};
    const bool wasRunning = session->ClockStart != 0.0;
    if (m_state.CurrentView == MainView::Exercise || m_state.TutorActive)
        m_clock.StopExerciseClock(kind);
    if (session->StartDate < 1.0)
        return {};
    const std::shared_ptr<TUserInfo>& user = m_app.Users.CurrentUser;
    const std::uint16_t userId = user ? user->Record.UserId : std::uint16_t{0};
    TResultRec rec = BuildResultRec(userId, kind, *session, LabelsOf(kind, tutor));

    if (memoryOnly) {
        rec.DateTime -= std::floor(rec.DateTime);
        ExerciseResults[IndexOf(kind)].Record = rec;
        return {};
    }

    Status<DataError> appended = AppendResult(m_data, rec);
    if (!appended) {
        ReportDataFailure(m_data, appended, m_strings.StrResultFile,
                          ResultFileName(m_data, userId));
        // The run was not stored, so it goes on as it was.
        if (wasRunning)
            m_clock.StartExerciseClock(kind);
        return appended;
    }
    // The statistics shown follow the record when the results of its user are held.
    m_app.ResultStored(m_data, rec, m_tutorTitleOf);
    // The run is over once it is in the file: its answers must never be offered again.
    m_clock.ResetExerciseClock(kind);
    m_sessions.ResetResults(kind);
    return {};
}

Status<DataError> ResultBookkeeping::RestartexerciseClick()
{
    // Without an exercise there is nothing to reset (no kind would reset every clock).
    if (!m_state.CurrentKind)
        return {};
    const ExerciseKind kind = *m_state.CurrentKind;
    if (!m_state.TutorActive) {
        const std::uint16_t kinds = KindsWithResults(BitOf(kind), kMinimumToOffer);
        if (kinds != 0) {
            const PromptButton answer = m_prompts.AskYesNoCancel(m_strings.StrSaveResultsQuery,
                                                                 m_strings.StrSaveResultsCaption);
            if (answer != PromptButton::Yes && answer != PromptButton::No)
                return {};
            if (answer == PromptButton::Yes) {
                Status<DataError> stored = StoreResults(kinds, m_state.TutorActive, false);
                // The answers the user wanted kept are not thrown away with the failed store.
                if (!stored)
                    return stored;
            }
        }
    }
    m_clock.ResetExerciseClock(kind);
    m_sessions.ResetResults(kind);
    return {};
}

PeriodChoice ResultBookkeeping::N1week1Click(int tag, const QString& caption,
                                             ExerciseKind resultViewKind)
{
    PeriodChoice choice;
    if (tag < 0 || tag > 255 || tag == m_app.Users.StatisticsPeriod)
        return choice;
    choice.Changed = true;
    choice.PeriodLabel =
        m_strings.StrStatisticsText + QStringLiteral(" - ") + caption + QStringLiteral(" :");
    m_app.Users.StatisticsPeriod = static_cast<std::uint8_t>(tag);
    const std::shared_ptr<TUserInfo>& shown = m_app.ResultUser();
    if (m_state.CurrentView == MainView::Results && shown) {
        shown->Computed = false;
        m_app.ComputeUserStatistics(m_data, *shown, m_tutorTitleOf);
        if (IsKnownKind(resultViewKind))
            choice.DurationLabel =
                FormatElapsedTime(true, shown->Statistics[IndexOf(resultViewKind)].SumDurations);
    }
    return choice;
}

} // namespace pv
