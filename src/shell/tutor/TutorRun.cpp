// The tutor run.
#include "shell/tutor/TutorRun.h"

#include "music/data/SharedFile.h"
#include "music/data/UserFile.h"
#include "music/strings/Format.h"
#include "music/strings/UIStrings.h"

#include <algorithm>

namespace pv {

namespace {

/// Kinds with results offered for storing need at least this many answers; a shorter step is
/// never stored.
constexpr std::int32_t kMinimumToStore = 5;

std::size_t Slot(ExerciseKind kind)
{
    return static_cast<std::size_t>(KindNumber(kind) - 1);
}

std::uint16_t BitOfKind(ExerciseKind kind)
{
    return static_cast<std::uint16_t>(1u << Slot(kind));
}

const QString& TextOfId(const UIStringTable& strings, int id)
{
    switch (id) {
    case kAdviceLastStepPassed:
        return strings.StrStepEndText1;
    case kAdviceNextStep:
        return strings.StrStepEndText2;
    case kAdvicePreviousStep:
        return strings.StrStepEndText3;
    case kScorePerfect:
        return strings.StrStepEndVerdict1;
    case kScoreTutorFinished:
        return strings.StrStepEndVerdict2;
    case kScorePlain:
        return strings.StrStepEndVerdict3;
    case kAdviceStay:
    default:
        return strings.StrStepEndText4;
    }
}

bool IsStepMove(int choice)
{
    return choice == kPreviousStep || choice == kStayStep || choice == kNextStep;
}

} // namespace

int StepScore(ExerciseKind kind, std::uint32_t correctCount, std::uint32_t questionCount)
{
    if (questionCount == 0)
        return 0;
    const std::uint64_t correct = correctCount;
    const std::uint64_t count = questionCount;
    const std::uint64_t score =
        ScoreIsMeanPercent(kind) ? correct / count : (correct * 100 + count / 2) / count;
    // The dialog takes a byte's worth of percent.
    return static_cast<int>(std::min<std::uint64_t>(score, 255));
}

TutorRun::TutorRun(TutorRunServices services) : m_s(services) {}

bool TutorRun::StartTutor(const QString& tutorFile)
{
    if (NamesNoTutorFile(tutorFile))
        return false;
    Status<TutorError> loaded = m_s.Tutor.LoadFromFile(tutorFile, true);
    if (!loaded) {
        // Started, it would lock every exercise away and teach nothing. The user learns why
        // before the chooser offers another.
        if (loaded.Code() == TutorError::NoSteps)
            m_s.Prompts.ShowError(
                TutorWithoutStepsText(loaded.Detail(),
                                      MakeAbsolutePath(m_s.Data.folders, tutorFile)),
                m_s.Strings.StrMessageTitle);
        return false;
    }
    return Startable();
}

bool TutorRun::ChooseTutor()
{
    return m_hooks.ChooseTutor && m_hooks.ChooseTutor() == kTutorChosen && Startable();
}

bool TutorRun::Startable() const
{
    if (!m_s.Tutor.Loaded() || !m_s.Tutor.HasSteps())
        return false;
    for (ExerciseKind kind : kExerciseKinds) {
        if (m_s.Tutor.StepCount(kind) > 0 && CurrentStep(kind) == nullptr)
            return false;
    }
    return true;
}

void TutorRun::Clear()
{
    m_s.Tutor.Clear();
}

int TutorRun::StepCount(ExerciseKind kind) const
{
    return m_s.Tutor.StepCount(kind);
}

bool TutorRun::ItemTablesBackedUp() const
{
    return m_s.Tutor.ItemTablesBackedUp();
}

void TutorRun::RestoreItemTables()
{
    m_s.Tutor.RestoreItemTables();
}

void TutorRun::DropItemTablesBackup()
{
    m_s.Tutor.DropItemTablesBackup();
}

QString TutorRun::TutorTitle() const
{
    return m_s.Tutor.Header().Title;
}

std::optional<QString> TutorRun::StepTitle(ExerciseKind kind, int step) const
{
    const TTutorObject* object = m_s.Tutor.Step(kind, step);
    if (object == nullptr)
        return std::nullopt;
    return object->Record.Title;
}

int TutorRun::StepNumber(ExerciseKind kind) const
{
    if (!m_s.App.Users.CurrentUser || !IsKnownKind(kind))
        return 0;
    return m_s.App.Users.CurrentUser->Record.TutorSteps[Slot(kind)];
}

const TTutorObject* TutorRun::CurrentStep(ExerciseKind kind) const
{
    return m_s.Tutor.Step(kind, StepNumber(kind));
}

bool TutorRun::UserHasTutor() const
{
    return m_s.App.Users.CurrentUser &&
           !NamesNoTutorFile(m_s.App.Users.CurrentUser->Record.TutorFileName);
}

void TutorRun::ApplyTutorSteps(std::optional<ExerciseKind> kind)
{
    for (ExerciseKind k : kExerciseKinds) {
        if (kind && *kind != k)
            continue;
        if (const TTutorObject* step = CurrentStep(k))
            ApplyStepSetup(step->Record, k, m_s.Setup.CurrentSetup);
    }
    if (m_hooks.PushSetupToForms)
        m_hooks.PushSetupToForms();
}

void TutorRun::ShowTutorProgress()
{
    const std::optional<ExerciseKind> kind = m_s.State.CurrentKind;
    const TTutorObject* step = kind && UserHasTutor() ? CurrentStep(*kind) : nullptr;
    const ExerciseSession* session = step != nullptr ? m_s.Sessions.Find(*kind) : nullptr;
    if (session == nullptr) {
        m_s.Ui.SetText(MainControl::Label6, QString());
        m_s.Ui.SetText(MainControl::Label2, QString());
        return;
    }
    // The question being asked counts as soon as it is put, so the first shows as 1; after a
    // reset the last question is still marked answered, and the next one is the first.
    const std::int64_t question = std::max<std::int64_t>(1, std::int64_t{session->QuestionCount} +
                                                                (session->Answered ? 0 : 1));
    const UIStringTable& strings = m_s.Strings;
    m_s.Ui.SetText(
        MainControl::Label6,
        Format(strings.StrTutorProgress, {question, std::int64_t{step->Record.QuestionCount}}));
    const QString where = Format(strings.StrTutorProgressFormat1,
                                 {std::int64_t{StepNumber(*kind)}, std::int64_t{StepCount(*kind)}});
    const QString what = Format(strings.StrTutorProgressFormat2,
                                {step->Record.Title + QLatin1Char('"'), m_s.Tutor.Header().Title});
    m_s.Ui.SetText(MainControl::Label2, where + QStringLiteral(": \"") + what);
}

bool TutorRun::StepEnds() const
{
    if (!m_s.State.TutorActive || !m_s.State.CurrentKind)
        return false;
    const ExerciseKind kind = *m_s.State.CurrentKind;
    const TTutorObject* step = CurrentStep(kind);
    const ExerciseSession* session = m_s.Sessions.Find(kind);
    return step != nullptr && session != nullptr &&
           std::int64_t{step->Record.QuestionCount} <= std::int64_t{session->QuestionCount};
}

bool TutorRun::TutorAfterAnswer()
{
    // Asked again when the step's end comes: whatever ran in between may have ended the tutor
    // or the step's run.
    if (!StepEnds())
        return false;
    const ExerciseKind kind = *m_s.State.CurrentKind;
    const ExerciseSession& session = m_s.Sessions.Of(kind);

    // Scored before storing: a stored run starts again from nothing.
    const int score = StepScore(kind, session.CorrectCount, session.QuestionCount);
    if (m_hooks.StopPlaying)
        m_hooks.StopPlaying(kind);
    const std::uint16_t stored = m_s.Results.KindsWithResults(BitOfKind(kind), kMinimumToStore);
    if (stored != 0)
        IgnoreResult(m_s.Results.StoreResults(stored, true, false),
                     "a store shows its own failure; the step ends all the same");
    m_s.Clock.ResetExerciseClock(kind);

    if (IsStepMove(Evaluate(score))) {
        (void)ShowStepInfo();
        m_s.Sessions.ResetResults(kind);
        // "Change step..." may have ended the tutor: the user's own setup is back and stays.
        if (m_s.State.TutorActive) {
            ApplyTutorSteps(kind);
            ShowTutorProgress();
        }
    } else {
        if (m_hooks.EndTutor)
            m_hooks.EndTutor();
        m_s.Sessions.ResetResults(kind);
    }
    return true;
}

int TutorRun::Evaluate(int score)
{
    const std::optional<ExerciseKind> kind = m_s.State.CurrentKind;
    const TTutorObject* step = kind ? CurrentStep(*kind) : nullptr;
    if (step == nullptr)
        return kNoStepChoice;
    const int number = StepNumber(*kind);
    const int count = StepCount(*kind);
    const bool atLast = count <= number;
    const bool atFirst = number < 2;

    TutorStepEndView view;
    view.Decision =
        DecideStepEnd(score, step->Record.PassMark, step->Record.FallBackMark, atFirst, atLast);
    view.Advice = TextOfId(m_s.Strings, view.Decision.AdviceId);
    // The finished tutor picks its own line, but the score shown stays the one reached.
    view.ScoreText = Format(TextOfId(m_s.Strings, view.Decision.ScoreTextId),
                            {QString::number(score) + QLatin1Char('%'), std::int64_t{number}});

    const int choice = m_s.Dialogs.ShowEndTutorStep(view);
    if (!IsStepMove(choice))
        return kNoStepChoice;
    // A move never leaves the tutor's steps, whatever the dialog answered.
    const int moved = std::clamp(number + (choice - kStayStep), 1, std::max(count, 1));
    m_s.App.Users.CurrentUser->Record.TutorSteps[Slot(*kind)] = moved;
    StoreUser();
    return choice;
}

void TutorRun::StoreUser()
{
    DataFiles& data = m_s.Data;
    ReportDataFailure(data, WriteUser(data, m_s.App.Users.CurrentUser->Record),
                      data.strings.StrUserFile, data.UserFilePath());
}

TutorStepInfoView TutorRun::StepInfoView() const
{
    TutorStepInfoView view;
    view.Caption = m_s.Ui.Text(MainControl::Label3);
    view.ChangeStepShown = m_hooks.MayChangeStep && m_hooks.MayChangeStep();
    const std::optional<ExerciseKind> kind = m_s.State.CurrentKind;
    const TTutorObject* step = kind ? CurrentStep(*kind) : nullptr;
    if (step == nullptr)
        return view;
    view.StepLine =
        Format(m_s.Strings.StrStepInfoFormat,
               {std::int64_t{StepNumber(*kind)}, QStringLiteral("\"") + m_s.Tutor.Header().Title});
    view.Title = step->Record.Title;
    view.Description = step->Record.Description;
    // A tutor's extra text is a paragraph of its own; written without a separator of its own it
    // would run into the description's last sentence.
    const QString& extra = step->ExtraText;
    if (!view.Description.isEmpty() && !extra.isEmpty() && !view.Description.back().isSpace() &&
        !extra.front().isSpace())
        view.Description += QLatin1Char('\n');
    view.Description += extra;
    return view;
}

bool TutorRun::ShowStepInfo()
{
    const std::optional<ExerciseKind> kind = m_s.State.CurrentKind;
    // Without a step there is nothing to tell, and nothing to apply afterwards.
    if (!kind || CurrentStep(*kind) == nullptr)
        return false;
    ShowTutorProgress();
    return m_s.Dialogs.ShowTutorStepInfo(StepInfoView(), [this] { return ChangeStep(); }) == 1;
}

std::optional<TutorStepInfoView> TutorRun::ChangeStep()
{
    m_s.App.SetResultUserToCurrent();
    const QString before = m_s.Tutor.FileName();
    const int chosen = m_hooks.ChooseTutor ? m_hooks.ChooseTutor() : kNoStepChoice;
    if (chosen != kTutorChosen || !UserHasTutor()) {
        if (m_hooks.EndTutor)
            m_hooks.EndTutor();
        return std::nullopt;
    }
    if (m_s.Tutor.FileName() != before && m_hooks.EnableTutorKinds)
        m_hooks.EnableTutorKinds();
    else
        ShowTutorProgress();
    return StepInfoView();
}

void TutorRun::Panel2Click()
{
    const std::optional<ExerciseKind> kind = m_s.State.CurrentKind;
    if (m_s.State.CurrentView != MainView::Exercise || !kind)
        return;
    const int before = StepNumber(*kind);
    (void)ShowStepInfo();
    if (StepNumber(*kind) != before && m_s.State.TutorActive)
        ApplyTutorSteps(*kind);
}

} // namespace pv
