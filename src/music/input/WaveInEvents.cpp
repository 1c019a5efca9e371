// Registration of the microphone's event types.
#include "music/input/WaveInEvents.h"

namespace pv {

QEvent::Type WaveInPitchEvent::EventType()
{
    static const auto type =
        static_cast<QEvent::Type>(QEvent::registerEventType(QEvent::User + 1281));
    return type;
}

QEvent::Type WaveInOnsetEvent::EventType()
{
    static const auto type =
        static_cast<QEvent::Type>(QEvent::registerEventType(QEvent::User + 1282));
    return type;
}

} // namespace pv
