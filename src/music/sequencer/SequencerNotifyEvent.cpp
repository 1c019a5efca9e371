// Registration of the sequencer notification event type.
#include "music/sequencer/SequencerNotifyEvent.h"

namespace pv {

QEvent::Type SequencerNotifyEvent::Type()
{
    static const auto type =
        static_cast<QEvent::Type>(QEvent::registerEventType(QEvent::User + 1280));
    return type;
}

} // namespace pv
