// The sequencer's timing thread and the hand-over of notifications to the GUI thread.
#include "music/sequencer/Sequencer.h"

#include "music/base/ThreadScheduling.h"
#include "music/sequencer/SequencerNotifyEvent.h"

#include <cerrno>
#include <chrono>
#include <ctime>
#include <pthread.h>
#include <sched.h>
#include <sys/prctl.h>
#include <unistd.h>
#include <vector>

namespace pv {

namespace {

// The last stretch before an event is slept with the lock released, on an absolute deadline
// of the monotonic clock: no polling, so a busy machine costs no time slice; before it the
// thread waits on its condition, so that newly queued events can wake it.
constexpr std::uint64_t kFinalSleepUs = 1000;
// Modest: above every ordinary thread, below audio servers and interrupt threads.
constexpr int kRealTimePriority = 10;

/// Asks for real-time scheduling of the calling thread: first by the process's own rights
/// (root, or an rtprio limit), then through the raiser. The timer slack goes to its minimum
/// either way, so that deadlines are kept to the microsecond.
TimingPriority MakeTimingThread(int priority, const SequencerTimingOptions& options)
{
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    if (options.realTime) {
        sched_param param{};
        param.sched_priority = priority;
        if (pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0)
            return TimingPriority::RealTime;
        if (options.raiser != nullptr &&
            options.raiser->MakeRealtime(static_cast<std::int64_t>(gettid()), priority))
            return TimingPriority::ByService;
    }
    // Only after real-time was refused: asking marks the thread reset-on-fork, and the kernel
    // lets no thread without rights drop that mark, as a later pthread_setschedparam would.
    static_cast<void>(AskForShortSlice());
    return TimingPriority::Ordinary;
}

/// Sleeps until the clock reads dueUs, on the monotonic clock's absolute timeline.
void SleepUntil(const IClock& clock, std::uint64_t dueUs)
{
    const std::uint64_t now = clock.NowUs();
    if (dueUs <= now)
        return;
    timespec deadline{};
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    const std::uint64_t ns = static_cast<std::uint64_t>(deadline.tv_nsec) + (dueUs - now) * 1000U;
    deadline.tv_sec += static_cast<time_t>(ns / 1'000'000'000U);
    deadline.tv_nsec = static_cast<long>(ns % 1'000'000'000U);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
    }
}

} // namespace

const char* TimingPriorityName(TimingPriority priority)
{
    switch (priority) {
    case TimingPriority::Pending:
        return "not yet settled";
    case TimingPriority::Ordinary:
        return "ordinary (no real-time priority)";
    case TimingPriority::RealTime:
        return "real-time (SCHED_FIFO, own rights)";
    case TimingPriority::ByService:
        return "real-time (granted by RealtimeKit)";
    }
    return "unknown";
}

/// Called with the sequencer's lock held. With a timing thread, notifications are handed to
/// the posting thread instead of Qt: posting takes Qt's event-queue lock, which the GUI thread
/// holds at times, and an ordinary thread preempted while holding it would stall the timing
/// thread for a whole time slice.
class Sequencer::Output final : public ISequencerOutput
{
public:
    Output(EventHandOff& handOff, bool handOver) : m_handOff(handOff), m_handOver(handOver) {}

    void SendMidi(std::uint32_t packed, std::uint64_t dueUs) override
    {
        if (sink != nullptr)
            static_cast<void>(sink->SendAt(packed, dueUs)); // the timing thread has no one to tell
    }
    void PostNotify(const NotifyTarget& target, std::uint16_t code,
                    std::uint32_t generation) override
    {
        if (m_handOver) {
            pending.push_back({target, code, generation});
            posterWake.NotifyAll();
        } else {
            Post({target, code, generation});
        }
    }

    struct Notice
    {
        NotifyTarget target;
        std::uint16_t code;
        std::uint32_t generation;
    };
    void Post(const Notice& notice)
    {
        m_handOff.Post(notice.target,
                       std::make_unique<SequencerNotifyEvent>(notice.code, notice.generation),
                       notice.generation);
    }

    IMidiSink* sink = nullptr;
    std::vector<Notice> pending;
    MonotonicCondition posterWake;

private:
    EventHandOff& m_handOff;
    const bool m_handOver;
};

PriorityInheritanceMutex::PriorityInheritanceMutex()
{
    pthread_mutexattr_t attr;
    pthread_mutexattr_init(&attr);
    pthread_mutexattr_setprotocol(&attr, PTHREAD_PRIO_INHERIT);
    pthread_mutex_init(&m_mutex, &attr);
    pthread_mutexattr_destroy(&attr);
}

PriorityInheritanceMutex::~PriorityInheritanceMutex()
{
    pthread_mutex_destroy(&m_mutex);
}

void PriorityInheritanceMutex::lock()
{
    pthread_mutex_lock(&m_mutex);
}

void PriorityInheritanceMutex::unlock()
{
    pthread_mutex_unlock(&m_mutex);
}

bool PriorityInheritanceMutex::try_lock()
{
    return pthread_mutex_trylock(&m_mutex) == 0;
}

MonotonicCondition::MonotonicCondition()
{
    pthread_condattr_t attr;
    pthread_condattr_init(&attr);
    pthread_condattr_setclock(&attr, CLOCK_MONOTONIC);
    pthread_cond_init(&m_cond, &attr);
    pthread_condattr_destroy(&attr);
}

MonotonicCondition::~MonotonicCondition()
{
    pthread_cond_destroy(&m_cond);
}

void MonotonicCondition::Wait(PriorityInheritanceMutex& mutex)
{
    pthread_cond_wait(&m_cond, mutex.Native());
}

void MonotonicCondition::WaitFor(PriorityInheritanceMutex& mutex, std::uint64_t us)
{
    timespec deadline{};
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    const std::uint64_t ns = static_cast<std::uint64_t>(deadline.tv_nsec) + us * 1000U;
    deadline.tv_sec += static_cast<time_t>(ns / 1'000'000'000U);
    deadline.tv_nsec = static_cast<long>(ns % 1'000'000'000U);
    pthread_cond_timedwait(&m_cond, mutex.Native(), &deadline);
}

void MonotonicCondition::NotifyAll()
{
    pthread_cond_broadcast(&m_cond);
}

Sequencer::Sequencer(const IClock& clock, Drive drive, SequencerTimingOptions timing)
    : m_clock(clock), m_drive(drive), m_timing(timing)
{
    m_handOff = std::make_unique<EventHandOff>(m_engine.Generation());
    m_output = std::make_unique<Output>(*m_handOff, m_drive == Drive::OwnThread);
    if (m_drive == Drive::OwnThread) {
        m_thread = std::thread([this] { ThreadMain(); });
        m_poster = std::thread([this] { PosterMain(); });
    }
}

Sequencer::~Sequencer()
{
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_wake.NotifyAll();
    m_output->posterWake.NotifyAll();
    if (m_thread.joinable())
        m_thread.join();
    if (m_poster.joinable())
        m_poster.join();
}

void Sequencer::Wake()
{
    if (m_drive == Drive::OwnThread)
        m_wake.NotifyAll();
}

void Sequencer::QueueMidi(SequencerQueue queue, std::uint32_t packed)
{
    {
        std::lock_guard lock(m_mutex);
        // A playback that is over takes the new events as a new one, started by Start.
        m_engine.GoIdleIfDone(m_clock.NowUs());
        m_engine.QueueMidi(queue, packed);
    }
    Wake();
}

void Sequencer::QueueWait(SequencerQueue queue, std::uint32_t ticks)
{
    {
        std::lock_guard lock(m_mutex);
        m_engine.GoIdleIfDone(m_clock.NowUs());
        m_engine.QueueWait(queue, ticks);
    }
    Wake();
}

void Sequencer::QueueNotify(SequencerQueue queue, QObject* target, std::uint16_t code)
{
    if (target == nullptr)
        return;
    {
        std::lock_guard lock(m_mutex);
        m_engine.GoIdleIfDone(m_clock.NowUs());
        m_engine.QueueNotify(queue, NotifyTarget(target), code);
    }
    Wake();
}

void Sequencer::Stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_engine.Stop();
        m_output->pending.clear();
        m_handOff->SetGeneration(m_engine.Generation());
    }
    Wake();
}

void Sequencer::SetOutput(IMidiSink* sink)
{
    // Under the lock: once this returns the timing thread no longer uses the old sink.
    std::lock_guard lock(m_mutex);
    m_output->sink = sink;
}

void Sequencer::Start()
{
    {
        std::lock_guard lock(m_mutex);
        m_engine.Start(m_clock.NowUs());
    }
    Wake();
}

bool Sequencer::SetTempo(std::uint32_t tempo)
{
    bool ok = false;
    {
        std::lock_guard lock(m_mutex);
        const std::uint64_t now = m_clock.NowUs();
        // What fell due under the old tempo is played under it.
        if (m_drive == Drive::OwnThread)
            m_engine.RunUntil(now, *m_output);
        ok = m_engine.SetTempo(tempo, now);
    }
    Wake();
    return ok;
}

void Sequencer::SetMetronome(bool on)
{
    std::lock_guard lock(m_mutex);
    m_engine.SetMetronome(on);
}

void Sequencer::SetOutputDelay(std::uint16_t ms)
{
    {
        std::lock_guard lock(m_mutex);
        m_engine.SetOutputDelay(ms);
    }
    Wake();
}

void Sequencer::RunUntil(std::uint64_t timeUs)
{
    std::lock_guard lock(m_mutex);
    m_engine.RunUntil(timeUs, *m_output);
}

std::optional<std::uint64_t> Sequencer::NextDueUs() const
{
    std::lock_guard lock(m_mutex);
    return m_engine.NextDueUs();
}

bool Sequencer::Playing() const
{
    std::lock_guard lock(m_mutex);
    return m_engine.Playing();
}

std::uint32_t Sequencer::Generation() const
{
    return static_cast<std::uint32_t>(m_handOff->Generation());
}

std::uint32_t Sequencer::Tempo() const
{
    std::lock_guard lock(m_mutex);
    return m_engine.Tempo();
}

std::size_t Sequencer::PendingCount() const
{
    std::lock_guard lock(m_mutex);
    return m_engine.PendingCount();
}

void Sequencer::PosterMain()
{
    // Just below the timing thread: notifications leave soon after their time, and should the
    // poster wait for Qt's lock, only notifications wait, never MIDI.
    // Never through the raiser: the service grants few threads, and this one may wait.
    MakeTimingThread(kRealTimePriority - 1, {nullptr, m_timing.realTime});
    std::vector<Output::Notice> batch;
    std::unique_lock lock(m_mutex);
    while (!m_quit) {
        if (m_output->pending.empty()) {
            m_output->posterWake.Wait(m_mutex);
            continue;
        }
        batch.swap(m_output->pending);
        lock.unlock();
        for (const Output::Notice& notice : batch)
            m_output->Post(notice);
        batch.clear();
        lock.lock();
    }
}

void Sequencer::ThreadMain()
{
    m_priority = MakeTimingThread(kRealTimePriority, m_timing);
    std::unique_lock lock(m_mutex);
    while (!m_quit) {
        m_engine.RunUntil(m_clock.NowUs(), *m_output);
        const std::optional<std::uint64_t> next = m_engine.NextDueUs();
        if (!next) {
            m_wake.Wait(m_mutex);
            continue;
        }
        const std::uint64_t now = m_clock.NowUs();
        if (*next > now + kFinalSleepUs) {
            m_wake.WaitFor(m_mutex, *next - now - kFinalSleepUs);
            continue;
        }
        // Events queued meanwhile go to the end of their queue, after this one; a Stop is
        // seen as soon as the sleep ends.
        const std::uint64_t due = *next;
        lock.unlock();
        SleepUntil(m_clock, due);
        lock.lock();
    }
}

TimingPriority Sequencer::WaitForPriority(int timeoutMs) const
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (m_priority.load() == TimingPriority::Pending && m_drive == Drive::OwnThread &&
           std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return m_priority.load();
}

} // namespace pv
