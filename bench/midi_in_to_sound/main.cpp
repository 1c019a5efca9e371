// How long a key of a MIDI keyboard takes to sound: a keyboard thread plays note-ons into the
// MIDI input as a device's callback does, the input posts them to the GUI thread, the main
// window's routing decides and hands them to the identification window, which echoes each key
// through the MIDI output into the built-in synthesizer. The time from the key to the
// synthesizer's note-on is measured on the real clock, idle and with every core busy.
#include "common/BenchGoal.h"
#include "exercises/items/ItemTables.h"
#include "exercises/setup/ExerciseSetup.h"
#include "exercises/ui/TAkkord.h"
#include "exercises/ui/TControlButton.h"
#include "music/base/Clock.h"
#include "music/base/ThreadScheduling.h"
#include "music/devices/FluidSynthOutput.h"
#include "music/input/MidiIn.h"
#include "music/input/MidiInEvent.h"
#include "music/sequencer/MidiMessage.h"
#include "music/sequencer/MidiOut.h"
#include "music/sequencer/Sequencer.h"
#include "music/strings/UIStrings.h"
#include "shell/main/MidiInRouting.h"
#include "support/MidiInFakes.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <QApplication>
#include <QEvent>
#include <QTimer>

namespace {

constexpr int kKeys = 400;
constexpr int kKind = 1; // chord identification
constexpr double kGoalMs = 2.0;

/// The synthesizer as the MIDI output's device, noting when each note-on has reached it.
class TimedSynthSink final : public pv::IMidiSink
{
public:
    TimedSynthSink(pv::FluidSynthOutput& synth, const pv::IClock& clock)
        : m_synth(synth), m_clock(clock)
    {
    }
    pv::Status<pv::MidiOutError> Send(std::uint32_t packed) override
    {
        const pv::Status<pv::MidiOutError> sent = m_synth.Send(packed);
        if ((packed & 0xF0U) == 0x90U && ((packed >> 16) & 0x7FU) != 0) {
            const std::lock_guard lock(m_mutex);
            m_noteOnUs.push_back(m_clock.NowUs());
        }
        return sent;
    }
    std::vector<std::uint64_t> NoteOns() const
    {
        const std::lock_guard lock(m_mutex);
        return m_noteOnUs;
    }

private:
    pv::FluidSynthOutput& m_synth;
    const pv::IClock& m_clock;
    mutable std::mutex m_mutex;
    std::vector<std::uint64_t> m_noteOnUs;
};

class SynthDevices final : public pv::IMidiOutDevices
{
public:
    explicit SynthDevices(TimedSynthSink& sink) : m_sink(sink) {}
    pv::Result<std::vector<pv::MidiOutPortInfo>, pv::MidiOutError> ListOutputs() override
    {
        return std::vector<pv::MidiOutPortInfo>{{pv::kMidiMapperId, QStringLiteral("Synth")}};
    }
    pv::Result<pv::IMidiSink*, pv::MidiOutError> OpenOutput(const QString&) override
    {
        return static_cast<pv::IMidiSink*>(&m_sink);
    }
    void CloseOutput() override {}
    bool SetOutputVolume(std::uint32_t) override { return true; }
    std::optional<std::uint32_t> OutputVolume() const override { return std::nullopt; }

private:
    TimedSynthSink& m_sink;
};

class PianoVoices final : public pv::IMidiVoiceSettings
{
public:
    pv::MidiVoiceSettings MidiVoices() const override
    {
        pv::MidiVoiceSettings voices;
        voices.piano = {0, 0, 100, 60};
        voices.guitar = {1, 24, 100, 60};
        return voices;
    }
};

/// The main window's part: MIDI input events decided as the program decides them.
class Router final : public QObject
{
public:
    explicit Router(pv::TAkkord& window) : m_window(window) {}
    /// When each note-on reached the GUI thread.
    std::vector<std::uint64_t> arrivedUs;
    bool event(QEvent* e) override
    {
        if (e->type() != pv::MidiInEvent::EventType())
            return QObject::event(e);
        const auto* in = static_cast<pv::MidiInEvent*>(e);
        if ((in->Message() & 0xF0U) == 0x90U && ((in->Message() >> 16) & 0x7FU) != 0)
            arrivedUs.push_back(pv::SteadyClock::Instance().NowUs());
        pv::MidiInRoutingState state;
        state.WindowExists = true;
        state.FocusIndex = m_window.ControlButtons->Model().FocusIndex;
        state.CurrentKind = pv::KindFromNumber(kKind);
        const pv::MidiInAction action = pv::DecideMidiIn(in->Message(), in->Target(), state);
        if (action.Kind == pv::MidiInActionKind::PassToWindow)
            m_window.MidiInMessage(in->Message());
        return true;
    }

private:
    pv::TAkkord& m_window;
};

struct Stats
{
    std::size_t count = 0;
    std::size_t missing = 0;
    double p50 = 0, p99 = 0, max = 0;
    double handOffP99 = 0; ///< key to the GUI thread's event
    double postP99 = 0;    ///< of which the input thread's posting
    double windowP99 = 0;  ///< the GUI thread's event to the synthesizer
};

double P99(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1,
                           static_cast<std::size_t>(0.99 * static_cast<double>(values.size())))];
}

Stats RunOnce(bool busy)
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

    auto& clock = pv::SteadyClock::Instance();
    auto made = pv::FluidSynthOutput::Create({false, 48000.0, {}, &clock});
    if (!made) {
        std::printf("no synthesizer: %s\n", qPrintable(made.Detail()));
        std::exit(1);
    }
    pv::FluidSynthOutput& synth = *made.Value();
    TimedSynthSink sink(synth, clock);
    SynthDevices outDevices(sink);
    pv::Sequencer sequencer(clock);
    pv::SilentPrompts prompts;
    pv::UIStringTable strings;
    PianoVoices voices;
    pv::TMidiOut midiOut(outDevices, sequencer, prompts, strings);
    midiOut.SetVoiceSettings(&voices);
    if (!midiOut.ChangeDevice(1)) {
        std::printf("the synthesizer did not open as MIDI output\n");
        std::exit(1);
    }

    pv::ExerciseSession session;
    pv::TAkkord window(pv::IdentificationMode::ChordIdentification, session, nullptr, strings);
    window.SetMidiOut(midiOut);
    window.Setup(pv::DefaultExerciseSetup(), pv::BuiltInItemTables(), pv::AkkordSettings{}, true);
    window.SetAnswerInput(pv::kAnswerOnPiano | pv::kAnswerOnStaff);
    window.resize(900, 700);
    window.Model().PlayToneOnClick = true;
    window.Model().EntryTool = pv::kEntryToolAdd;
    Router router(window);

    pv::test::FakeMidiInDevices inDevices;
    inDevices.ports = std::vector<pv::MidiInPortInfo>{{0, QStringLiteral("Keyboard")}};
    pv::TMidiIn midiIn(inDevices, clock, prompts, strings);
    midiIn.SetReceiver(&router);
    QString name = QStringLiteral("Keyboard");
    midiIn.StartMidiInput(kKind, name);

    // The sound card's pull: a buffer every 5 ms, so released voices end as they would.
    std::atomic<bool> audioStop{false};
    std::thread audio([&] {
        std::vector<float> left(240), right(240);
        while (!audioStop.load()) {
            static_cast<void>(synth.Render(left, right));
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });

    // The keyboard: keys at uneven gaps, each let go before the next, as a player's hand.
    std::vector<std::uint64_t> keyUs(kKeys);
    std::atomic<bool> done{false};
    std::vector<std::uint64_t> postedUs(kKeys);
    std::thread keyboard([&] {
        // As the system's MIDI input thread asks on its first message.
        static_cast<void>(pv::AskForShortSlice());
        std::mt19937 random(7);
        std::uniform_int_distribution<int> gapMs(3, 12);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        for (int i = 0; i < kKeys; ++i) {
            const auto note = static_cast<std::uint8_t>(48 + (i * 5) % 36);
            keyUs[static_cast<std::size_t>(i)] = clock.NowUs();
            inDevices.Play({0x90, note, 100});
            postedUs[static_cast<std::size_t>(i)] = clock.NowUs();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            inDevices.Play({0x80, note, 0});
            std::this_thread::sleep_for(std::chrono::milliseconds(gapMs(random)));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        done = true;
    });
    // The GUI thread's event loop, woken now and then to see the keyboard finish.
    QTimer wake;
    wake.start(20);
    while (!done.load())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    keyboard.join();
    QCoreApplication::processEvents();
    midiIn.StopMidiInput();
    audioStop = true;
    audio.join();
    stop = true;
    for (auto& t : burners)
        t.join();

    const std::vector<std::uint64_t> noteOns = sink.NoteOns();
    Stats s;
    std::vector<double> latencies;
    for (std::size_t i = 0; i < keyUs.size(); ++i) {
        if (i >= noteOns.size()) {
            ++s.missing;
            continue;
        }
        latencies.push_back((static_cast<double>(noteOns[i]) - static_cast<double>(keyUs[i])) /
                            1000.0);
    }
    std::vector<double> handOff, inWindow, posting;
    for (std::size_t i = 0; i < keyUs.size(); ++i)
        posting.push_back((static_cast<double>(postedUs[i]) - static_cast<double>(keyUs[i])) /
                          1000.0);
    s.postP99 = P99(posting);
    for (std::size_t i = 0; i < keyUs.size() && i < router.arrivedUs.size(); ++i) {
        handOff.push_back(
            (static_cast<double>(router.arrivedUs[i]) - static_cast<double>(keyUs[i])) / 1000.0);
        if (i < noteOns.size())
            inWindow.push_back(
                (static_cast<double>(noteOns[i]) - static_cast<double>(router.arrivedUs[i])) /
                1000.0);
    }
    s.handOffP99 = P99(handOff);
    s.windowP99 = P99(inWindow);
    std::sort(latencies.begin(), latencies.end());
    s.count = latencies.size();
    if (!latencies.empty()) {
        const auto at = [&](double q) {
            return latencies[std::min(
                latencies.size() - 1,
                static_cast<std::size_t>(q * static_cast<double>(latencies.size())))];
        };
        s.p50 = at(0.5);
        s.p99 = at(0.99);
        s.max = latencies.back();
    }
    return s;
}

void Row(const char* name, const Stats& s)
{
    std::printf("| %-24s | %6zu | %7zu | %8.3f | %8.3f | %8.3f | %12.3f | %8.3f | %12.3f |\n", name,
                s.count, s.missing, s.p50, s.p99, s.max, s.handOffP99, s.postP99, s.windowP99);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // As the program asks for its GUI thread; the load's threads, started from here later,
    // have the ordinary slice.
    const pv::SliceReport slice = pv::AskForShortSlice();
    std::printf("MIDI key to the synthesizer's note-on: %d keys through input, routing and the "
                "identification window's echo (ms)\n",
                kKeys);
    // "Idle" means no load of ours: other programs running at the same time count against it.
    double loadAverage = 0;
    if (std::FILE* f = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(f, "%lf", &loadAverage) != 1)
            loadAverage = 0;
        std::fclose(f);
    }
    std::printf("load average before the runs: %.2f on %u cores; GUI thread: %s\n", loadAverage,
                std::thread::hardware_concurrency(), pv::SliceOutcomeName(slice.outcome));
    std::printf("| %-24s | %6s | %7s | %8s | %8s | %8s | %12s | %8s | %12s |\n", "load", "keys",
                "missing", "p50", "p99", "max", "p99 hand-off", "p99 post", "p99 window");
    std::printf("|--------------------------|--------|---------|----------|----------|----------|"
                "--------------|----------|--------------|\n");
    const Stats idle = RunOnce(false);
    Row("idle", idle);
    const Stats busy = RunOnce(true);
    Row("all cores busy", busy);
    const auto goal = [](const char* name, const Stats& s) {
        if (s.count == 0 || s.missing > 0)
            pv::bench::NotMeasured(name, "ms", pv::bench::Bound::AtMost, kGoalMs,
                                   std::to_string(s.missing) + " keys never sounded");
        else
            pv::bench::Goal(name, s.p99, "ms", pv::bench::Bound::AtMost, kGoalMs);
    };
    goal("midi_in_to_sound/p99_idle", idle);
    goal("midi_in_to_sound/p99_all_cores_busy", busy);
    return 0;
}
