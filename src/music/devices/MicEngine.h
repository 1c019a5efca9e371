// The microphone engine: capture, analysis on a worker thread, events to the receiver.
#pragma once

#include "music/base/EventHandOff.h"
#include "music/devices/AudioCapture.h"
#include "music/devices/MicAnalyzer.h"
#include "music/input/MicLibrary.h"

#include <array>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include <QPointer>

namespace pv {

class IClock;

/// Listens for sung pitches or clapped onsets and posts WaveInPitchEvent / WaveInOnsetEvent.
/// All operations but PushSamples belong to the receiver's (GUI) thread; the capture only
/// queues samples, a worker thread analyses them and posts the events.
/// Onset times are stream positions on the clock: the stream starts at the clock's time of
/// StartOnset, and a sample n later lies n / rate after it.
class MicEngine final : public IMicLibrary, public IAudioSink
{
public:
    MicEngine(const IClock& clock, std::unique_ptr<IAudioCapture> capture);
    ~MicEngine() override;
    MicEngine(const MicEngine&) = delete;
    MicEngine& operator=(const MicEngine&) = delete;

    int Open(QObject* receiver) override;
    void Close() override;
    void StartPitch() override;
    void StartOnset() override;
    void Stop() override;
    std::uint32_t FetchNote(std::uint8_t wparam) override;
    void Acknowledge(std::uint32_t wparam) override;
    void Configure(int rhythmValue, std::uint8_t highPrecision, double toneValue) override;

    /// Queues samples for analysis; dropped unless listening. Any thread.
    void PushSamples(std::span<const float> samples, unsigned sampleRate) override;
    /// Returns once every sample queued so far has been analysed and its events posted.
    void WaitIdle();

private:
    struct Block
    {
        std::uint64_t generation = 0;
        unsigned sampleRate = 0;
        std::vector<float> samples;
    };

    void Start(MicMode mode);
    void EndRun();
    void WorkerLoop();
    void Analyse(Block& block);

    const IClock& m_clock;
    std::unique_ptr<IAudioCapture> m_capture;
    // Taken on the GUI thread, copied by the worker under the mutex: the worker never touches
    // the receiver itself, the hand-off checks on the GUI thread that it still exists.
    QPointer<QObject> m_receiver;
    // Delivers the worker's events on the GUI thread; its generation is m_generation, so that
    // events of a stopped run are dropped even when already posted. Made before the worker
    // starts and destroyed after it is joined.
    EventHandOff m_handOff;
    bool m_open = false;
    bool m_capturing = false;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::thread m_worker;
    bool m_quit = false;
    bool m_busy = false;
    std::deque<Block> m_queue;
    // A new run (start or stop) raises the generation; blocks and detections of older runs are
    // dropped.
    std::uint64_t m_generation = 0;
    bool m_listening = false;
    MicMode m_mode = MicMode::Pitch;
    MicTuning m_tuning;
    std::uint64_t m_tuningVersion = 0;
    std::uint64_t m_streamStartUs = 0;
    std::array<std::uint8_t, 256> m_notes{};
    std::uint8_t m_nextSlot = 0;

    // Worker-thread state.
    std::unique_ptr<MicAnalyzer> m_analyzer;
    std::uint64_t m_analyzerGeneration = 0;
    std::uint64_t m_analyzerTuning = 0;
    // Stream time (µs since the run started) of the analyser's first sample: a change of rate
    // or configuration starts a new analyser where the old one stopped.
    std::uint64_t m_analyzerBaseUs = 0;
};

} // namespace pv
