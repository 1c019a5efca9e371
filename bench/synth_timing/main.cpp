// Where the built-in synthesizer's notes start in its sound: the real sequencer on its timing
// thread plays drum strokes into the synthesizer, and an audio thread pulls buffers of one
// period at the real pace, as a sound card does. A stroke's start in the rendered sound, placed
// on the clock by the buffer's time, is compared with its due time. Rendering as before (each
// buffer as it is pulled, with the messages that arrived by then) is measured beside it.
#include "common/BenchGoal.h"
#include "music/base/Clock.h"
#include "music/devices/FluidSynthOutput.h"
#include "music/sequencer/MidiMessage.h"
#include "music/sequencer/Sequencer.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <pthread.h>
#include <sched.h>
#include <string>
#include <thread>
#include <vector>

#include <QCoreApplication>

namespace {

constexpr double kRate = 48000.0;
constexpr std::size_t kPeriod = 240; // 5 ms, as the synthesizer's driver asks
constexpr int kStrokes = 30;
constexpr std::uint32_t kGapTicks = 301; // ms at tempo 90: the phase in the buffer moves on
constexpr int kDrumNote = 37;            // side stick: short, with a sharp start

enum class Mode
{
    AtSample,   ///< RenderPeriod: messages start at their due sample
    NextBuffer, ///< Render: messages start in the buffer pulled after they arrived
};

struct Stats
{
    std::size_t count = 0;
    std::size_t missing = 0;
    double p50 = 0, p99 = 0, max = 0;
    double latencyMs = 0; ///< how long before the pull the buffer stands for
};

/// The first frame above a share of the peak in [from, to); to when none.
std::size_t Onset(const std::vector<float>& s, std::size_t from, std::size_t to, float level)
{
    for (std::size_t i = from; i < to && i < s.size(); ++i) {
        if (std::fabs(s[i]) > level)
            return i;
    }
    return to;
}

/// The stroke's own attack: frames from the voice's start to where it crosses the level,
/// from an offline render with the stroke due at the first frame.
std::size_t AttackFrames(float& level)
{
    auto made = pv::FluidSynthOutput::Create({false, kRate, {}, nullptr});
    if (!made)
        return 0;
    pv::FluidSynthOutput& synth = *made.Value();
    static_cast<void>(synth.SendAt(pv::NoteOnMessage(9, kDrumNote, 110), 0));
    std::vector<float> left(9600), right(9600), mono(9600);
    static_cast<void>(synth.RenderAt(0, left, right));
    float peak = 0;
    for (std::size_t i = 0; i < mono.size(); ++i) {
        mono[i] = left[i] + right[i];
        peak = std::max(peak, std::fabs(mono[i]));
    }
    level = 0.05F * peak;
    return Onset(mono, 0, mono.size(), level);
}

Stats RunOnce(Mode mode, bool busy, std::string& threads)
{
    std::atomic<bool> stop{false};
    std::vector<std::thread> burners;
    if (busy) {
        for (unsigned i = 0; i < std::max(1U, std::thread::hardware_concurrency()); ++i)
            burners.emplace_back([&stop] {
                volatile std::uint64_t x = 0;
                while (!stop.load(std::memory_order_relaxed))
                    x = x + 1;
            });
    }
    float level = 0;
    const std::size_t attack = AttackFrames(level);
    auto& clock = pv::SteadyClock::Instance();
    auto made = pv::FluidSynthOutput::Create({false, kRate, {}, &clock});
    if (!made) {
        std::printf("no synthesizer: %s\n", qPrintable(made.Detail()));
        std::exit(1);
    }
    pv::FluidSynthOutput& synth = *made.Value();
    pv::Sequencer sequencer(clock);
    sequencer.SetOutput(&synth);
    sequencer.SetTempo(90);
    std::vector<std::uint64_t> dueTicks;
    for (int i = 0; i < kStrokes; ++i) {
        sequencer.QueueMidi(pv::SequencerQueue::Music, pv::NoteOnMessage(9, kDrumNote, 110));
        sequencer.QueueWait(pv::SequencerQueue::Music, kGapTicks);
        dueTicks.push_back(static_cast<std::uint64_t>(i) * kGapTicks);
    }

    // The audio thread: a buffer each period, on absolute deadlines, real-time if it may.
    const double periodUs = static_cast<double>(kPeriod) * 1e6 / kRate;
    const auto totalPeriods =
        static_cast<std::size_t>(static_cast<double>(kStrokes * kGapTicks) * 1000.0 / periodUs) +
        40;
    std::vector<float> sound(totalPeriods * kPeriod);
    std::vector<std::uint64_t> bufferUs(totalPeriods);
    double latencySumUs = 0;
    bool audioRealTime = false;
    const std::uint64_t start = clock.NowUs() + 20'000;
    std::thread audio([&] {
        sched_param param{};
        param.sched_priority = 20;
        audioRealTime = pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0;
        std::vector<float> left(kPeriod), right(kPeriod);
        timespec next{};
        clock_gettime(CLOCK_MONOTONIC, &next);
        for (std::size_t p = 0; p < totalPeriods; ++p) {
            const long stepNs = static_cast<long>(periodUs * 1000.0);
            next.tv_nsec += stepNs;
            while (next.tv_nsec >= 1'000'000'000L) {
                next.tv_nsec -= 1'000'000'000L;
                ++next.tv_sec;
            }
            clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr);
            const std::uint64_t now = clock.NowUs();
            if (mode == Mode::AtSample) {
                bufferUs[p] = synth.RenderPeriod(left, right).value_or(now);
            } else {
                static_cast<void>(synth.Render(left, right));
                bufferUs[p] = now;
            }
            latencySumUs += static_cast<double>(now) - static_cast<double>(bufferUs[p]);
            for (std::size_t i = 0; i < kPeriod; ++i)
                sound[p * kPeriod + i] = left[i] + right[i];
        }
    });
    while (clock.NowUs() < start)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const std::uint64_t startedUs = clock.NowUs();
    sequencer.Start();
    audio.join();
    sequencer.Stop();
    sequencer.SetOutput(nullptr);
    const pv::TimingPriority sequencerPriority = sequencer.WaitForPriority(1000);
    stop = true;
    for (auto& t : burners)
        t.join();
    threads = std::string("sequencer ") + pv::TimingPriorityName(sequencerPriority) +
              ", audio thread " + (audioRealTime ? "real-time" : "ordinary");

    // Each stroke: its onset, searched from 20 ms before its due time, put on the clock.
    auto frameUs = [&](std::size_t frame) {
        return static_cast<double>(bufferUs[frame / kPeriod]) +
               static_cast<double>(frame % kPeriod) * 1e6 / kRate;
    };
    std::vector<double> errors;
    Stats s;
    for (const std::uint64_t tick : dueTicks) {
        const double dueUs = static_cast<double>(startedUs) + static_cast<double>(tick) * 1000.0;
        std::size_t from = 0;
        while (from < sound.size() && frameUs(from) < dueUs - 20'000.0)
            from += kPeriod;
        const std::size_t to = std::min(sound.size(), from + 40 * kPeriod);
        const std::size_t onset = Onset(sound, from, to, level);
        if (onset >= to || onset < attack) {
            ++s.missing;
            continue;
        }
        errors.push_back(std::fabs(frameUs(onset - attack) - dueUs) / 1000.0);
    }
    std::sort(errors.begin(), errors.end());
    s.count = errors.size();
    if (!errors.empty()) {
        auto at = [&](double q) {
            return errors[std::min(errors.size() - 1, static_cast<std::size_t>(
                                                          q * static_cast<double>(errors.size())))];
        };
        s.p50 = at(0.5);
        s.p99 = at(0.99);
        s.max = errors.back();
    }
    s.latencyMs = latencySumUs / static_cast<double>(totalPeriods) / 1000.0;
    return s;
}

void Row(const char* name, const Stats& s)
{
    std::printf("| %-44s | %7zu | %7zu | %7.3f | %7.3f | %7.3f | %9.2f |\n", name, s.count,
                s.missing, s.p50, s.p99, s.max, s.latencyMs);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::string threadsIdle, threadsBusy, ignored;
    const Stats atIdle = RunOnce(Mode::AtSample, false, threadsIdle);
    const Stats atBusy = RunOnce(Mode::AtSample, true, threadsBusy);
    const Stats nextIdle = RunOnce(Mode::NextBuffer, false, ignored);
    const Stats nextBusy = RunOnce(Mode::NextBuffer, true, ignored);
    std::printf("Synthesizer note start against due time (|ms|; %d strokes a run, buffers of %zu "
                "frames at %.0f Hz pulled at the real pace; %u cores)\n",
                kStrokes, kPeriod, kRate, std::thread::hardware_concurrency());
    std::printf("idle: %s; busy: %s\n", threadsIdle.c_str(), threadsBusy.c_str());
    std::printf("| %-44s | %7s | %7s | %7s | %7s | %7s | %9s |\n", "measure", "notes", "missing",
                "p50", "p99", "max", "buffer ms");
    std::printf("|%s|%s|%s|%s|%s|%s|%s|\n", std::string(46, '-').c_str(),
                std::string(9, '-').c_str(), std::string(9, '-').c_str(),
                std::string(9, '-').c_str(), std::string(9, '-').c_str(),
                std::string(9, '-').c_str(), std::string(11, '-').c_str());
    Row("at the due sample, idle", atIdle);
    Row("at the due sample, all cores busy", atBusy);
    Row("at the next buffer (as before), idle", nextIdle);
    Row("at the next buffer (as before), all cores busy", nextBusy);
    std::printf("(buffer ms: how long before its pull a buffer stands for; at the due sample it "
                "is a period and %.1f ms of margin for late messages)\n",
                static_cast<double>(pv::FluidSynthOutput::ScheduleMarginUs()) / 1000.0);
    using pv::bench::Bound;
    pv::bench::Goal("synth/note_start_idle_max", atIdle.max, "ms", Bound::AtMost, 1.5);
    pv::bench::Goal("synth/note_start_busy_max", atBusy.max, "ms", Bound::AtMost, 1.5);
    pv::bench::Goal("synth/notes_missing", static_cast<double>(atIdle.missing + atBusy.missing), "",
                    Bound::AtMost, 0.0);
    return 0;
}
