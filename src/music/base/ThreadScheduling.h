// What the program's waiting threads ask of the kernel's scheduler, so that an event wakes them
// promptly even while every core is busy with other programs.
#pragma once

#include <cstdint>

namespace pv {

/// The slice asked for: the shortest the kernel's fair scheduler accepts.
inline constexpr std::uint64_t kShortSliceNs = 100'000;

/// What became of the wish for a short time slice.
enum class SliceOutcome : int
{
    Granted = 0, ///< the fair scheduler now gives the thread the short slice
    Ignored = 1, ///< accepted without effect: a kernel without per-thread slices
    Refused = 2, ///< the kernel refused the call (error holds its errno)
    NotFair = 3, ///< the thread has a real-time policy already, which it keeps
};

struct SliceReport
{
    SliceOutcome outcome = SliceOutcome::Refused;
    /// The thread's slice as the kernel reports it afterwards; 0 where it does not say.
    std::uint64_t sliceNs = 0;
    int error = 0;
};

/// The calling thread asks for a short time slice. With the kernel's fair scheduler (EEVDF,
/// Linux 6.12 on) a thread with a short slice gets an early deadline, so that on waking it
/// preempts threads that compute instead of waiting for their slices to end. Needs no rights:
/// the thread's nice value and policy stay as they are, and threads it starts later begin
/// with the ordinary slice, since the wish is for this thread alone.
SliceReport AskForShortSlice();

const char* SliceOutcomeName(SliceOutcome outcome);

} // namespace pv
