// The hand-off of worker-thread events to the owner's thread.
#include "music/base/EventHandOff.h"

#include <QCoreApplication>
#include <QEvent>

namespace pv {

namespace {

/// An event on its way, with what decides on arrival whether it is still wanted.
class Delivery final : public QEvent
{
public:
    Delivery(QPointer<QObject> to, std::unique_ptr<QEvent> inner, std::uint64_t playback)
        : QEvent(Type()), receiver(std::move(to)), event(std::move(inner)), generation(playback)
    {
    }
    static QEvent::Type Type()
    {
        static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
        return type;
    }

    QPointer<QObject> receiver;
    std::unique_ptr<QEvent> event;
    std::uint64_t generation;
};

} // namespace

/// Lives on the owner's thread; events are posted to it rather than to their receivers, so that
/// a worker never touches a receiver that might be in the middle of its destruction.
class EventHandOff::Dispatcher final : public QObject
{
public:
    explicit Dispatcher(const std::atomic<std::uint64_t>& generation) : m_generation(generation) {}

    bool event(QEvent* e) override
    {
        if (e->type() != Delivery::Type())
            return QObject::event(e);
        auto* delivery = static_cast<Delivery*>(e);
        // Both checks on this thread: a receiver destroyed or a run stopped here, after the
        // worker posted, still keeps the event from arriving.
        if (delivery->generation == m_generation.load() && !delivery->receiver.isNull())
            QCoreApplication::sendEvent(delivery->receiver.data(), delivery->event.get());
        return true;
    }

private:
    const std::atomic<std::uint64_t>& m_generation;
};

EventHandOff::EventHandOff(std::uint64_t generation)
    : m_generation(generation), m_dispatcher(std::make_unique<Dispatcher>(m_generation))
{
}

// The dispatcher's destruction takes back what is still posted to it.
EventHandOff::~EventHandOff() = default;

void EventHandOff::Post(const QPointer<QObject>& receiver, std::unique_ptr<QEvent> event,
                        std::uint64_t generation)
{
    if (!event)
        return;
    QCoreApplication::postEvent(m_dispatcher.get(),
                                new Delivery(receiver, std::move(event), generation));
}

void EventHandOff::SetGeneration(std::uint64_t generation)
{
    m_generation.store(generation);
}

std::uint64_t EventHandOff::Generation() const
{
    return m_generation.load();
}

void EventHandOff::DeliverPosted()
{
    QCoreApplication::sendPostedEvents(m_dispatcher.get(), Delivery::Type());
}

} // namespace pv
