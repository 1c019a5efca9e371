// Real-time scheduling for a thread through the desktop's RealtimeKit service (D-Bus), for a
// user who may not raise priorities himself: what audio servers do.
#pragma once

#include "music/sequencer/Sequencer.h"

namespace pv {

class RealtimeKitRaiser final : public IThreadPriorityRaiser
{
public:
    /// Asks org.freedesktop.RealtimeKit1 on the system bus to make the thread SCHED_FIFO at
    /// priority (held at the service's maximum). Before asking, the process's RLIMIT_RTTIME
    /// is set to the service's ceiling, which it demands: a real-time thread that would spin
    /// beyond it is stopped by the kernel instead of freezing the desktop. Without a system
    /// bus or the service it fails quietly.
    bool MakeRealtime(std::int64_t threadId, int priority) override;
};

} // namespace pv
