// The ten exercise windows behind the main window's interfaces.
#include "shell/ui/ExerciseWindowSet.h"

#include "exercises/setup/SetupOperations.h"
#include "exercises/ui/TAkkord.h"
#include "exercises/ui/TIntervalSam.h"
#include "exercises/ui/TRhythmWindow.h"

namespace pv {

namespace {

std::size_t Slot(ExerciseKind kind)
{
    return static_cast<std::size_t>(KindNumber(kind) - 1);
}

} // namespace

ExerciseWindowSet::ExerciseWindowSet(const SetupState& setup, const ItemTables& items,
                                     std::function<AkkordSettings()> settings)
    : m_setup(setup), m_items(items), m_settings(std::move(settings))
{
}

void ExerciseWindowSet::SetWindow(ExerciseKind kind, TExerciseBaseClass* window)
{
    if (IsKnownKind(kind))
        m_windows[Slot(kind)] = window;
}

TExerciseBaseClass* ExerciseWindowSet::Window(ExerciseKind kind) const
{
    return IsKnownKind(kind) ? m_windows[Slot(kind)].data() : nullptr;
}

TAkkord* ExerciseWindowSet::Identification(ExerciseKind kind) const
{
    return qobject_cast<TAkkord*>(Window(kind));
}

TIntervalSam* ExerciseWindowSet::Comparison() const
{
    return qobject_cast<TIntervalSam*>(Window(ExerciseKind::IntervalComparison));
}

TRhythmWindow* ExerciseWindowSet::Rhythm(ExerciseKind kind) const
{
    return qobject_cast<TRhythmWindow*>(Window(kind));
}

void ExerciseWindowSet::EnterExercise(ExerciseKind kind)
{
    TExerciseBaseClass* window = Window(kind);
    if (window == nullptr)
        return;
    window->EnterExercise();
    if (m_entered)
        m_entered(kind);
}

void ExerciseWindowSet::LeaveExercise(ExerciseKind kind)
{
    if (TExerciseBaseClass* window = Window(kind))
        window->LeaveExercise();
}

void ExerciseWindowSet::StopRhythm(ExerciseKind kind)
{
    if (TExerciseBaseClass* window = Window(kind))
        window->StopPlaying();
}

void ExerciseWindowSet::LoadSetupPage(ExerciseKind kind)
{
    if (m_loadPage)
        m_loadPage(kind);
}

void ExerciseWindowSet::StoreSetupPage(ExerciseKind kind)
{
    if (m_storePage)
        m_storePage(kind);
}

void ExerciseWindowSet::ApplySetupToExercise(ExerciseKind kind, bool reset)
{
    if (TAkkord* window = Identification(kind)) {
        window->Setup(m_setup.CurrentSetup, m_items, m_settings(), reset);
    } else if (kind == ExerciseKind::IntervalComparison) {
        if (TIntervalSam* comparison = Comparison()) {
            const AkkordSettings settings = m_settings();
            comparison->SetupIntervalCompare(
                m_setup.CurrentSetup, m_items,
                {settings.AutoNewQuestion, settings.AutoNewQuestionOnlyRight}, reset);
        }
    } else if (TRhythmWindow* rhythm = Rhythm(kind)) {
        rhythm->ApplyRhythmSetup(m_setup.CurrentSetup,
                                 m_rhythmSettings ? m_rhythmSettings() : RhythmExerciseSettings{},
                                 reset);
    }
}

void ExerciseWindowSet::SetChildCaptions(const QString& caption)
{
    for (const QPointer<TExerciseBaseClass>& window : m_windows) {
        if (window)
            window->setWindowTitle(caption);
    }
    if (m_captions)
        m_captions(caption);
}

} // namespace pv
