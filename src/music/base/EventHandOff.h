// Hands events from worker threads to receivers on the thread that made the hand-off (the GUI
// thread), where a receiver may be gone and an event may belong to a run already stopped.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include <QObject>
#include <QPointer>

class QEvent;

namespace pv {

/// Events posted from any thread are delivered (sent) on the owner's thread, each to its
/// receiver, unless by then the receiver is destroyed or the event's generation is no longer
/// the current one. The owner makes it on its own thread and destroys it there after every
/// thread that posts has stopped.
class EventHandOff final
{
public:
    explicit EventHandOff(std::uint64_t generation = 0);
    ~EventHandOff();
    EventHandOff(const EventHandOff&) = delete;
    EventHandOff& operator=(const EventHandOff&) = delete;

    /// Any thread. The receiver pointer must have been taken on the owner's thread (a QPointer
    /// made elsewhere could race with the object's destruction); copying it is safe anywhere.
    void Post(const QPointer<QObject>& receiver, std::unique_ptr<QEvent> event,
              std::uint64_t generation);
    /// Any thread. From now on only events of this generation are delivered, also of those
    /// already on their way: a stopped run's events never arrive after the stop.
    void SetGeneration(std::uint64_t generation);
    std::uint64_t Generation() const;
    /// Owner's thread: delivers at once what has been posted so far.
    void DeliverPosted();

private:
    class Dispatcher;

    std::atomic<std::uint64_t> m_generation;
    std::unique_ptr<Dispatcher> m_dispatcher;
};

} // namespace pv
