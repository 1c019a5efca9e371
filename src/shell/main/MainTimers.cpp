#include "shell/main/MainTimers.h"

namespace pv {

std::optional<ExerciseKind> TimerTickTarget(MainExerciseTimer timer, MainView view,
                                            std::optional<ExerciseKind> kind, bool modalOpen)
{
    if (modalOpen || view != MainView::Exercise || !kind || !IsKnownKind(*kind)) {
        return std::nullopt;
    }
    const bool identification = KindFacts(*kind).IdentificationWindow;
    bool reaches = false;
    switch (timer) {
    case MainExerciseTimer::AutoNewQuest:
        reaches = true;
        break;
    case MainExerciseTimer::LightDisplaytime:
        reaches = identification;
        break;
    case MainExerciseTimer::AnswerbuttonBlink:
        reaches = identification || *kind == ExerciseKind::IntervalComparison;
        break;
    }
    return reaches ? kind : std::nullopt;
}

} // namespace pv
