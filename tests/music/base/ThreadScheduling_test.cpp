// The wish for a short time slice changes the asking thread's slice and nothing else: not its
// nice value, not a real-time policy, not the threads it starts afterwards. Each case runs on
// a thread of its own, so that the test runner's thread keeps its scheduling.
#include "music/base/ThreadScheduling.h"

#include <cerrno>
#include <cstdint>
#include <functional>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

namespace pv {
namespace {

/// The slice the kernel reports for the calling thread; 0 where it reports none.
std::uint64_t ReportedSliceNs()
{
    struct
    {
        std::uint32_t size;
        std::uint32_t policy;
        std::uint64_t flags;
        std::int32_t nice;
        std::uint32_t priority;
        std::uint64_t runtime;
        std::uint64_t deadline;
        std::uint64_t period;
    } attr{};
    if (syscall(SYS_sched_getattr, 0, &attr, sizeof(attr), 0U) != 0)
        return 0;
    return attr.runtime;
}

int OwnNice()
{
    errno = 0;
    return getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
}

void OnOwnThread(const std::function<void()>& body)
{
    std::thread thread(body);
    thread.join();
}

TEST(ThreadScheduling, KeepsTheNiceValueTheThreadHas)
{
    // A lowered priority that the user gave on purpose stays, and asking for the slice does not
    // need the rights that undoing it would.
    OnOwnThread([] {
        ASSERT_EQ(setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 7), 0);
        const SliceReport report = AskForShortSlice();
        EXPECT_NE(report.outcome, SliceOutcome::Refused) << "errno " << report.error;
        EXPECT_EQ(OwnNice(), 7);
        EXPECT_EQ(AskForShortSlice().outcome, report.outcome) << "asking twice changes nothing";
        EXPECT_EQ(OwnNice(), 7);
    });
}

TEST(ThreadScheduling, ReportsTheSliceTheKernelApplies)
{
    OnOwnThread([] {
        const SliceReport report = AskForShortSlice();
        switch (report.outcome) {
        case SliceOutcome::Granted:
            EXPECT_EQ(report.sliceNs, kShortSliceNs);
            EXPECT_EQ(ReportedSliceNs(), kShortSliceNs);
            break;
        case SliceOutcome::Ignored:
            EXPECT_NE(ReportedSliceNs(), kShortSliceNs);
            break;
        case SliceOutcome::Refused:
            EXPECT_NE(report.error, 0);
            break;
        case SliceOutcome::NotFair:
            ADD_FAILURE() << "an ordinary thread has the fair policy";
            break;
        }
        EXPECT_STRNE(SliceOutcomeName(report.outcome), "unknown");
    });
}

TEST(ThreadScheduling, ThreadsStartedLaterBeginWithTheOrdinarySlice)
{
    OnOwnThread([] {
        const std::uint64_t ordinary = ReportedSliceNs();
        if (AskForShortSlice().outcome != SliceOutcome::Granted)
            GTEST_SKIP() << "this kernel has no per-thread slices";
        std::uint64_t childSlice = 0;
        std::thread child([&childSlice] { childSlice = ReportedSliceNs(); });
        child.join();
        EXPECT_EQ(childSlice, ordinary);
        EXPECT_EQ(ReportedSliceNs(), kShortSliceNs) << "the asking thread keeps its own";
    });
}

TEST(ThreadScheduling, LeavesARealTimeThreadAsItIs)
{
    OnOwnThread([] {
        sched_param param{};
        param.sched_priority = 1;
        if (pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) != 0)
            GTEST_SKIP() << "no rights for real-time scheduling here";
        EXPECT_EQ(AskForShortSlice().outcome, SliceOutcome::NotFair);
        int policy = 0;
        ASSERT_EQ(pthread_getschedparam(pthread_self(), &policy, &param), 0);
        EXPECT_EQ(policy, SCHED_FIFO);
        EXPECT_EQ(param.sched_priority, 1);
    });
}

} // namespace
} // namespace pv
