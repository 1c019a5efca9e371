// The hand-off of worker-thread events: delivered on the owner's thread in order, never to a
// receiver that is gone, never from a generation that has ended, and nothing leaks.
#include "music/base/EventHandOff.h"

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QThread>

#include <gtest/gtest.h>

namespace pv {
namespace {

std::atomic<int> liveEvents{0};

class NumberEvent final : public QEvent
{
public:
    explicit NumberEvent(int n) : QEvent(Type()), number(n) { ++liveEvents; }
    ~NumberEvent() override { --liveEvents; }
    static QEvent::Type Type()
    {
        static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
        return type;
    }
    int number;
};

class Receiver final : public QObject
{
public:
    std::vector<int> numbers;
    std::vector<QThread*> threads;

protected:
    void customEvent(QEvent* e) override
    {
        if (e->type() == NumberEvent::Type()) {
            numbers.push_back(static_cast<NumberEvent*>(e)->number);
            threads.push_back(QThread::currentThread());
        }
    }
};

TEST(EventHandOff, EventsFromAWorkerArriveInOrderOnTheOwnersThread)
{
    EventHandOff handOff(1);
    Receiver receiver;
    const QPointer<QObject> to(&receiver);
    std::thread worker([&] {
        for (int i = 0; i < 100; ++i)
            handOff.Post(to, std::make_unique<NumberEvent>(i), 1);
    });
    worker.join();
    EXPECT_TRUE(receiver.numbers.empty()) << "nothing arrives before the owner's thread looks";
    QCoreApplication::processEvents();
    ASSERT_EQ(receiver.numbers.size(), 100U);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(receiver.numbers[static_cast<std::size_t>(i)], i);
    for (QThread* thread : receiver.threads)
        EXPECT_EQ(thread, QThread::currentThread());
    EXPECT_EQ(liveEvents.load(), 0);
}

TEST(EventHandOff, AReceiverDestroyedAfterThePostGetsNothingAndTheOthersStillDo)
{
    EventHandOff handOff;
    auto gone = std::make_unique<Receiver>();
    Receiver stays;
    const QPointer<QObject> toGone(gone.get());
    const QPointer<QObject> toStays(&stays);
    std::thread worker([&] {
        handOff.Post(toGone, std::make_unique<NumberEvent>(1), 0);
        handOff.Post(toStays, std::make_unique<NumberEvent>(2), 0);
    });
    worker.join();
    gone.reset();
    QCoreApplication::processEvents();
    EXPECT_EQ(stays.numbers, std::vector<int>{2});
    EXPECT_EQ(liveEvents.load(), 0);
}

TEST(EventHandOff, ANewGenerationDropsEventsAlreadyOnTheirWay)
{
    EventHandOff handOff(5);
    Receiver receiver;
    const QPointer<QObject> to(&receiver);
    handOff.Post(to, std::make_unique<NumberEvent>(1), 5);
    handOff.Post(to, std::make_unique<NumberEvent>(2), 4); // of a run already over
    handOff.SetGeneration(6);
    handOff.Post(to, std::make_unique<NumberEvent>(3), 6);
    handOff.DeliverPosted();
    EXPECT_EQ(receiver.numbers, std::vector<int>{3});
    EXPECT_EQ(handOff.Generation(), 6U);
    EXPECT_EQ(liveEvents.load(), 0);
}

TEST(EventHandOff, EventsStillPostedWhenTheHandOffGoesAreFreedUndelivered)
{
    Receiver receiver;
    {
        EventHandOff handOff;
        handOff.Post(QPointer<QObject>(&receiver), std::make_unique<NumberEvent>(1), 0);
        handOff.Post(QPointer<QObject>(), std::make_unique<NumberEvent>(2), 0);
        EXPECT_EQ(liveEvents.load(), 2);
    }
    QCoreApplication::processEvents();
    EXPECT_TRUE(receiver.numbers.empty());
    EXPECT_EQ(liveEvents.load(), 0);
}

} // namespace
} // namespace pv
