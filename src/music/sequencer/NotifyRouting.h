// Which window a sequencer notification code reaches, on which queue and with which code.
#pragma once

#include "music/sequencer/SequencerTypes.h"

#include <cstdint>
#include <optional>

class QObject;

namespace pv {

enum class NotifyReceiver : std::uint8_t
{
    SettingsDialog = 1,
    RhythmImitation = 2,
    RhythmReading = 3,
    RhythmErrorDetection = 4,
    IntervalComparison = 5,
    Identification = 6, ///< the identification window of NotifyRoute::exerciseKind
    MainWindow = 7,
};

struct NotifyRoute
{
    NotifyReceiver receiver = NotifyReceiver::MainWindow;
    int exerciseKind = 0; ///< the identification window's kind; 0 for the other receivers
    SequencerQueue queue = SequencerQueue::Click;
    std::uint16_t code = 0; ///< the code the receiver gets

    friend bool operator==(const NotifyRoute&, const NotifyRoute&) = default;
};

/// The exercise kinds that have an identification window of their own.
bool IsIdentificationKind(int exerciseKind);

/// The route of a code by its low byte; nothing when the code is to be dropped (unused ranges,
/// 0, the settings dialog's codes while it is not listening, identification codes while the
/// current kind has no identification window).
std::optional<NotifyRoute> RouteNotifyCode(std::uint16_t code, bool settingsDialogListening,
                                           int currentExerciseKind);

/// What the sender of notifications needs from the shell: the flags the routing depends on and
/// the receivers themselves (created when needed; null when there is none).
class INotifyTargets
{
public:
    virtual ~INotifyTargets() = default;
    virtual bool SettingsDialogListening() const = 0;
    virtual int CurrentExerciseKind() const = 0;
    virtual QObject* Receiver(NotifyReceiver receiver, int exerciseKind) const = 0;
};

} // namespace pv
