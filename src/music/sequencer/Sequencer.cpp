// The sequencer's timing thread and the hand-over of notifications to the GUI thread.
#include "music/sequencer/Sequencer.h"

#include "music/sequencer/SequencerNotifyEvent.h"

#include <chrono>

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

namespace pv {

namespace {

// The timing thread sleeps until this long before an event and then polls the clock: a
// sleeping thread wakes late by the scheduler's whim, a polling one only by a time slice.
constexpr std::uint64_t kSpinUs = 1500;

/// A notification on its way from the timing thread to the GUI thread.
class DeliveryEvent final : public QEvent
{
public:
    DeliveryEvent(NotifyTarget receiver, std::uint16_t notifyCode, std::uint32_t playback)
        : QEvent(Type()), target(std::move(receiver)), code(notifyCode), generation(playback)
    {
    }
    static QEvent::Type Type()
    {
        static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
        return type;
    }

    NotifyTarget target;
    std::uint16_t code;
    std::uint32_t generation;
};

} // namespace

/// Lives on the creating (GUI) thread: checks the generation when a notification arrives
/// there, so a Stop made after the timing thread posted it still drops it.
class Sequencer::Dispatcher final : public QObject
{
public:
    explicit Dispatcher(const std::atomic<std::uint32_t>& generation) : m_generation(generation) {}

    bool event(QEvent* e) override
    {
        if (e->type() != DeliveryEvent::Type())
            return QObject::event(e);
        auto* delivery = static_cast<DeliveryEvent*>(e);
        if (delivery->generation == m_generation.load() && !delivery->target.isNull()) {
            SequencerNotifyEvent notify(delivery->code, delivery->generation);
            QCoreApplication::sendEvent(delivery->target.data(), &notify);
        }
        return true;
    }

private:
    const std::atomic<std::uint32_t>& m_generation;
};

class Sequencer::Output final : public ISequencerOutput
{
public:
    explicit Output(Dispatcher& dispatcher) : m_dispatcher(dispatcher) {}

    void SendMidi(std::uint32_t packed) override
    {
        if (sink != nullptr)
            sink->Send(packed);
    }
    void PostNotify(const NotifyTarget& target, std::uint16_t code,
                    std::uint32_t generation) override
    {
        QCoreApplication::postEvent(&m_dispatcher, new DeliveryEvent(target, code, generation));
    }

    IMidiSink* sink = nullptr;

private:
    Dispatcher& m_dispatcher;
};

Sequencer::Sequencer(const IClock& clock, Drive drive)
    : m_clock(clock), m_drive(drive), m_generation(m_engine.Generation())
{
    m_dispatcher = std::make_unique<Dispatcher>(m_generation);
    m_output = std::make_unique<Output>(*m_dispatcher);
    if (m_drive == Drive::OwnThread)
        m_thread = std::thread([this] { ThreadMain(); });
}

Sequencer::~Sequencer()
{
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void Sequencer::Wake()
{
    if (m_drive == Drive::OwnThread)
        m_wake.notify_all();
}

void Sequencer::QueueMidi(SequencerQueue queue, std::uint32_t packed)
{
    {
        std::lock_guard lock(m_mutex);
        m_engine.QueueMidi(queue, packed);
    }
    Wake();
}

void Sequencer::QueueWait(SequencerQueue queue, std::uint32_t ticks)
{
    {
        std::lock_guard lock(m_mutex);
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
        m_engine.QueueNotify(queue, NotifyTarget(target), code);
    }
    Wake();
}

void Sequencer::Stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_engine.Stop();
        m_generation.store(m_engine.Generation());
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
    return m_generation.load();
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

void Sequencer::ThreadMain()
{
    std::unique_lock lock(m_mutex);
    while (!m_quit) {
        m_engine.RunUntil(m_clock.NowUs(), *m_output);
        const std::optional<std::uint64_t> next = m_engine.NextDueUs();
        if (!next) {
            m_wake.wait(lock);
            continue;
        }
        const std::uint64_t now = m_clock.NowUs();
        if (*next > now + kSpinUs) {
            m_wake.wait_for(lock, std::chrono::microseconds(*next - now - kSpinUs));
            continue;
        }
        // Close to the due time: poll with the lock released, so the GUI thread can queue.
        const std::uint64_t due = *next;
        lock.unlock();
        while (m_clock.NowUs() < due)
            std::this_thread::yield();
        lock.lock();
    }
}

} // namespace pv
