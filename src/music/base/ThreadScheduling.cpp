// The calling thread's scheduling attributes, through the system calls glibc does not wrap.
#include "music/base/ThreadScheduling.h"

#include <cerrno>
#include <sched.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace pv {

namespace {

/// The kernel's first version of its scheduling attributes; later fields are left out.
struct SchedAttr
{
    std::uint32_t size;
    std::uint32_t policy;
    std::uint64_t flags;
    std::int32_t nice;
    std::uint32_t priority;
    std::uint64_t runtime;
    std::uint64_t deadline;
    std::uint64_t period;
};

// Values of the kernel's scheduling interface (linux/sched.h, which clashes with glibc's).
constexpr std::uint64_t kResetOnFork = 0x01;

bool ReadAttributes(SchedAttr& attr)
{
    attr = SchedAttr{};
    return syscall(SYS_sched_getattr, 0, &attr, sizeof(attr), 0U) == 0;
}

} // namespace

SliceReport AskForShortSlice()
{
    SchedAttr attr{};
    if (!ReadAttributes(attr))
        return {SliceOutcome::Refused, 0, errno};
    if (attr.policy != SCHED_OTHER && attr.policy != SCHED_BATCH)
        return {SliceOutcome::NotFair, 0, 0};
    // The nice value is written back as read: writing 0 would lower a raised nice (which needs
    // rights, so the whole call fails) or undo one that the user set on purpose.
    attr.size = sizeof(attr);
    attr.runtime = kShortSliceNs;
    // Threads started from here (Qt's, the synthesizer's) compute rather than wait: without
    // this they would inherit the short slice and, on a busy machine, switch all the more.
    attr.flags = kResetOnFork;
    if (syscall(SYS_sched_setattr, 0, &attr, 0U) != 0)
        return {SliceOutcome::Refused, 0, errno};
    SchedAttr after{};
    if (!ReadAttributes(after))
        return {SliceOutcome::Ignored, 0, 0};
    // Kernels before per-thread slices accept the call and report no slice (0) or their own.
    const SliceOutcome outcome =
        after.runtime == kShortSliceNs ? SliceOutcome::Granted : SliceOutcome::Ignored;
    return {outcome, after.runtime, 0};
}

const char* SliceOutcomeName(SliceOutcome outcome)
{
    switch (outcome) {
    case SliceOutcome::Granted:
        return "short time slice granted";
    case SliceOutcome::Ignored:
        return "short time slice not supported by this kernel";
    case SliceOutcome::Refused:
        return "short time slice refused";
    case SliceOutcome::NotFair:
        return "real-time policy kept";
    }
    return "unknown";
}

} // namespace pv
