// The sequencer the program plays through: the scheduler on a timing thread of its own (or
// driven by hand on a virtual clock), MIDI out through one sink, notifications to windows.
#pragma once

#include "music/base/Clock.h"
#include "music/base/EventHandOff.h"
#include "music/sequencer/SequencerEngine.h"
#include "music/sequencer/SequencerTypes.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <pthread.h>
#include <thread>
#include <vector>

class QObject;

namespace pv {

/// A mutex with priority inheritance: the GUI thread holding it while it queues cannot keep
/// the real-time timing thread waiting behind the ordinary threads that preempt it.
class PriorityInheritanceMutex
{
public:
    PriorityInheritanceMutex();
    ~PriorityInheritanceMutex();
    PriorityInheritanceMutex(const PriorityInheritanceMutex&) = delete;
    PriorityInheritanceMutex& operator=(const PriorityInheritanceMutex&) = delete;
    void lock();
    void unlock();
    bool try_lock();
    pthread_mutex_t* Native() { return &m_mutex; }

private:
    pthread_mutex_t m_mutex;
};

/// A condition on the monotonic clock for that mutex (std::condition_variable_any would add
/// an internal mutex of its own, without priority inheritance).
class MonotonicCondition
{
public:
    MonotonicCondition();
    ~MonotonicCondition();
    MonotonicCondition(const MonotonicCondition&) = delete;
    MonotonicCondition& operator=(const MonotonicCondition&) = delete;
    /// mutex is locked by the caller, released while waiting and locked again on return.
    void Wait(PriorityInheritanceMutex& mutex);
    void WaitFor(PriorityInheritanceMutex& mutex, std::uint64_t us);
    void NotifyAll();

private:
    pthread_cond_t m_cond;
};

/// What the program asks of a sequencer. Called from the GUI thread only.
class ISequencer
{
public:
    virtual ~ISequencer() = default;
    virtual void QueueMidi(SequencerQueue queue, std::uint32_t packed) = 0;
    virtual void QueueWait(SequencerQueue queue, std::uint32_t ticks) = 0;
    /// target is remembered weakly: a window gone before the event is reached gets nothing.
    virtual void QueueNotify(SequencerQueue queue, QObject* target, std::uint16_t code) = 0;
    /// Stops at once and empties both queues; no notification of what played before arrives
    /// afterwards, not even one already on its way.
    virtual void Stop() = 0;
    /// The sink the sequencer's MIDI messages go to; null sends nothing.
    virtual void SetOutput(IMidiSink* sink) = 0;
    /// Both queues start together; while playing nothing new is started.
    virtual void Start() = 0;
    /// A tick lasts 90 / tempo milliseconds from now on; tempo 0 is refused (false).
    virtual bool SetTempo(std::uint32_t tempo) = 0;
    virtual void SetMetronome(bool on) = 0;
    /// 0..400 ms (larger values are held at 400).
    virtual void SetOutputDelay(std::uint16_t ms) = 0;
};

/// Another route to real-time scheduling for a thread, for when the process may not raise
/// its own priority (the ordinary desktop user): e.g. the desktop's RealtimeKit service.
class IThreadPriorityRaiser
{
public:
    virtual ~IThreadPriorityRaiser() = default;
    /// Called on the thread to raise, with its kernel thread id; true when it now runs with
    /// real-time scheduling. Must fail quietly (false) when the route is not there.
    virtual bool MakeRealtime(std::int64_t threadId, int priority) = 0;
};

/// The scheduling the timing thread got.
enum class TimingPriority : int
{
    Pending = 0,   ///< the thread has not yet asked (or there is no thread)
    Ordinary = 1,  ///< no real-time scheduling: an ordinary thread
    RealTime = 2,  ///< real-time scheduling by the process's own rights
    ByService = 3, ///< real-time scheduling granted through the priority raiser
};

const char* TimingPriorityName(TimingPriority priority);

/// How the sequencer's timing thread asks for its scheduling.
struct SequencerTimingOptions
{
    /// Asked when the process may not raise the thread's priority itself; must outlive the
    /// sequencer. Null: no other route.
    IThreadPriorityRaiser* raiser = nullptr;
    /// False keeps the timing thread an ordinary one (to measure that case).
    bool realTime = true;
};

class Sequencer final : public ISequencer
{
public:
    enum class Drive
    {
        OwnThread, ///< a timing thread plays on the clock as it runs
        Manual,    ///< nothing plays until RunUntil is called (virtual clocks, tests)
    };

    /// Notifications are delivered on the thread that creates the sequencer.
    explicit Sequencer(const IClock& clock, Drive drive = Drive::OwnThread,
                       SequencerTimingOptions timing = {});
    ~Sequencer() override;
    Sequencer(const Sequencer&) = delete;
    Sequencer& operator=(const Sequencer&) = delete;

    void QueueMidi(SequencerQueue queue, std::uint32_t packed) override;
    void QueueWait(SequencerQueue queue, std::uint32_t ticks) override;
    void QueueNotify(SequencerQueue queue, QObject* target, std::uint16_t code) override;
    void Stop() override;
    void SetOutput(IMidiSink* sink) override;
    void Start() override;
    bool SetTempo(std::uint32_t tempo) override;
    void SetMetronome(bool on) override;
    void SetOutputDelay(std::uint16_t ms) override;

    /// Manual drive: plays everything due up to timeUs.
    void RunUntil(std::uint64_t timeUs);
    /// When the next message or notification falls due; nothing when none is to come.
    std::optional<std::uint64_t> NextDueUs() const;
    bool Playing() const;
    std::uint32_t Generation() const;
    std::uint32_t Tempo() const;
    std::size_t PendingCount() const;
    /// The scheduling the timing thread runs with.
    TimingPriority Priority() const { return m_priority.load(); }
    /// Waits (up to timeoutMs) until the timing thread has settled its scheduling.
    TimingPriority WaitForPriority(int timeoutMs) const;

private:
    class Output;

    void Wake();
    void ThreadMain();
    void PosterMain();

    const IClock& m_clock;
    const Drive m_drive;
    const SequencerTimingOptions m_timing;
    std::atomic<TimingPriority> m_priority{TimingPriority::Pending};
    mutable PriorityInheritanceMutex m_mutex;
    MonotonicCondition m_wake;
    SequencerEngine m_engine;
    /// Delivers notifications on the creating thread; holds the generation now playing.
    std::unique_ptr<EventHandOff> m_handOff;
    std::unique_ptr<Output> m_output;
    bool m_quit = false;
    std::thread m_thread;
    std::thread m_poster; ///< posts notifications to Qt on behalf of the timing thread
};

} // namespace pv
