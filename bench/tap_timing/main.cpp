// Tap timing on the real clock: Space key presses posted at known moments to a running event
// loop reach a receiver that records them as the rhythm windows do; how far the stored tap
// time lies from the moment of the press.
#include "common/BenchGoal.h"
#include "exercises/rhythm/TRytme.h"
#include "music/base/Clock.h"
#include "music/base/Prompts.h"
#include "music/base/Random.h"
#include "music/strings/UIStrings.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <thread>
#include <vector>

#include <QGuiApplication>
#include <QInputDevice>
#include <QKeyEvent>
#include <QObject>

namespace {

constexpr int kAttempts = 6;
constexpr int kTapsPerAttempt = 200;

/// Stamps a tap for every Space press that is not a repeat, first of all, as a tap handler
/// must; then notes when it was done.
class TapReceiver final : public QObject
{
public:
    TapReceiver(pv::TRytme& engine, const pv::IClock& clock) : m_engine(engine), m_clock(clock) {}
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(e);
            if (key->key() == Qt::Key_Space && !key->isAutoRepeat()) {
                m_engine.RecordTap(false);
                handledUs.push_back(m_clock.NowUs());
            }
            return true;
        }
        return QObject::event(e);
    }
    std::vector<std::uint64_t> handledUs;

private:
    pv::TRytme& m_engine;
    const pv::IClock& m_clock;
};

double Percentile(std::vector<double> values, double share)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(share * static_cast<double>(values.size() - 1))];
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // The keyboard device the key events name is made here, on the thread that owns it.
    QInputDevice::primaryKeyboard();
    const pv::IClock& clock = pv::SteadyClock::Instance();

    pv::StdRandom random;
    pv::SilentPrompts prompts;
    pv::UIStringTable strings;
    pv::TRytme engine(random, prompts, strings);
    engine.AttachPlayback(nullptr, clock);
    TapReceiver receiver(engine, clock);

    std::vector<double> storedErrorMs; // stored tap time - moment of the press
    std::vector<double> dispatchUs;    // press posted until the tap was stamped and noted
    std::mt19937 rng(20261210);
    std::uniform_int_distribution<int> gapUs(6'000, 30'000);

    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        engine.TapCount = 0;
        engine.HasTaps = 0;
        engine.RecordTap(true);
        receiver.handledUs.clear();
        std::vector<std::uint64_t> pressedUs;
        std::vector<int> gaps;
        for (int k = 0; k < kTapsPerAttempt; ++k)
            gaps.push_back(gapUs(rng));

        // A second thread presses the key at its moments while the event loop runs, as input
        // reaches the GUI thread from outside.
        std::atomic<bool> done{false};
        std::thread presser([&] {
            auto due = std::chrono::steady_clock::now();
            for (const int gap : gaps) {
                due += std::chrono::microseconds(gap);
                std::this_thread::sleep_until(due);
                pressedUs.push_back(clock.NowUs());
                QCoreApplication::postEvent(
                    &receiver,
                    new QKeyEvent(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QString(u' ')));
            }
            done = true;
        });
        while (!done.load() || receiver.handledUs.size() < gaps.size())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        presser.join();

        for (std::size_t k = 0; k < pressedUs.size(); ++k) {
            const auto stored = static_cast<double>(engine.TapTimes[k + 1]);
            storedErrorMs.push_back(stored - static_cast<double>(pressedUs[k]) / 1000.0);
            dispatchUs.push_back(static_cast<double>(receiver.handledUs[k] - pressedUs[k]));
        }
    }

    std::vector<double> absError;
    for (const double e : storedErrorMs)
        absError.push_back(std::fabs(e));
    double mean = 0.0;
    for (const double e : storedErrorMs)
        mean += e;
    mean /= static_cast<double>(std::max<std::size_t>(storedErrorMs.size(), 1));

    std::printf("%d taps (Space key presses posted to the running event loop)\n",
                static_cast<int>(storedErrorMs.size()));
    std::printf("%-34s %10s %10s %10s %10s\n", "figure", "mean", "p50", "p99", "max");
    std::printf("%-34s %10.3f %10.3f %10.3f %10.3f\n", "stored tap time error (ms)", mean,
                Percentile(storedErrorMs, 0.5), Percentile(storedErrorMs, 0.99),
                Percentile(storedErrorMs, 1.0));
    std::printf("%-34s %10s %10.1f %10.1f %10.1f\n", "press to stamp noted (us)", "",
                Percentile(dispatchUs, 0.5), Percentile(dispatchUs, 0.99),
                Percentile(dispatchUs, 1.0));
    pv::bench::Goal("tap_timing/stored_tap_error_p99", Percentile(absError, 0.99), "ms",
                    pv::bench::Bound::AtMost, 1.0);
    return 0;
}
