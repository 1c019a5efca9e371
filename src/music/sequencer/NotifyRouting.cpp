// The notification routing table.
#include "music/sequencer/NotifyRouting.h"

#include "music/base/ExerciseKind.h"

namespace pv {

bool IsIdentificationKind(int exerciseKind)
{
    const std::optional<ExerciseKind> kind = KindFromNumber(exerciseKind);
    return kind && KindFacts(*kind).IdentificationWindow;
}

std::optional<NotifyRoute> RouteNotifyCode(std::uint16_t code, bool settingsDialogListening,
                                           int currentExerciseKind)
{
    const int low = code & 0xFF;
    auto route = [code](NotifyReceiver receiver, SequencerQueue queue) {
        return NotifyRoute{receiver, 0, queue, code};
    };
    if (low >= 1 && low <= 2) {
        if (!settingsDialogListening)
            return std::nullopt;
        return route(NotifyReceiver::SettingsDialog, SequencerQueue::Click);
    }
    if (low >= 10 && low <= 19)
        return route(NotifyReceiver::RhythmImitation, SequencerQueue::Click);
    if (low >= 20 && low <= 29)
        return route(NotifyReceiver::RhythmReading, SequencerQueue::Click);
    if (low >= 30 && low <= 39)
        return route(NotifyReceiver::RhythmErrorDetection, SequencerQueue::Click);
    if (low >= 40 && low <= 49)
        return route(NotifyReceiver::IntervalComparison, SequencerQueue::Music);
    if (low >= 50 && low <= 59) {
        if (!IsIdentificationKind(currentExerciseKind))
            return std::nullopt;
        return NotifyRoute{NotifyReceiver::Identification, currentExerciseKind,
                           SequencerQueue::Music, code};
    }
    if (low >= 100 && low <= 120) {
        // Subtracted from the whole code: the high byte (beats per bar) stays as it was.
        return NotifyRoute{NotifyReceiver::MainWindow, 0, SequencerQueue::Click,
                           static_cast<std::uint16_t>(code - 100U)};
    }
    return std::nullopt;
}

} // namespace pv
