// Registration of the MIDI input event type.
#include "music/input/MidiInEvent.h"

namespace pv {

QEvent::Type MidiInEvent::EventType()
{
    static const auto type =
        static_cast<QEvent::Type>(QEvent::registerEventType(QEvent::User + 963));
    return type;
}

} // namespace pv
