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
#include <optional>
#include <thread>
#include <vector>

#include <QPointer>

namespace pv {

class IClock;

/// Listens for sung pitches or clapped onsets and posts WaveInPitchEvent / WaveInOnsetEvent.
/// All operations but PushSamples belong to the receiver's (GUI) thread; the capture only
/// queues samples, a worker thread analyses them and posts the events.
/// Onset times are the moments the sound reached the microphone on the clock, placed by the
/// capture's own figures (CaptureTimeline): neither the capture's latency nor a late hand-over
/// nor dropped audio moves them. Without figures the stream starts at the clock's time of the
/// start, and a sample n later lies n / rate after it.
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
    void DeliverPending() override;
    std::uint32_t FetchNote(std::uint8_t wparam) override;
    void Acknowledge(std::uint32_t wparam) override;
    void Configure(int rhythmValue, std::uint8_t highPrecision, double toneValue) override;
    /// Above 0: while listening for pitches, besides an event for each new note, an event every
    /// this many ms with the note sung then (note 0 once the voice has stopped), so a receiver
    /// can weigh several readings and hears when a sung note ends. 0 (the start): new notes only.
    void SetReadingInterval(int ms);

    /// Queues samples for analysis; dropped unless listening. Any thread.
    void PushSamples(std::span<const float> samples, unsigned sampleRate,
                     const std::optional<CaptureStamp>& stamp) override;
    /// Samples without the capture's figures.
    void PushSamples(std::span<const float> samples, unsigned sampleRate)
    {
        PushSamples(samples, sampleRate, std::nullopt);
    }
    /// Returns once every sample queued so far has been analysed and its events posted.
    void WaitIdle();

private:
    struct Block
    {
        std::uint64_t generation = 0;
        unsigned sampleRate = 0;
        std::vector<float> samples;
        std::optional<CaptureStamp> stamp;
    };
    /// From this analyser sample on, samples lie at this timeline position (one per block).
    struct Segment
    {
        std::uint64_t sampleIndex = 0;
        std::uint64_t positionNs = 0;
    };

    void Start(MicMode mode);
    void EndRun();
    void WorkerLoop();
    void Analyse(Block& block);
    /// The clock time of an analyser sample (worker thread).
    std::uint64_t SampleClockUs(std::uint64_t sampleIndex) const;

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
    int m_readingMs = 0;
    std::uint64_t m_streamStartUs = 0;
    std::array<std::uint8_t, 256> m_notes{};
    std::uint8_t m_nextSlot = 0;

    // Worker-thread state.
    std::unique_ptr<MicAnalyzer> m_analyzer;
    std::uint64_t m_analyzerGeneration = 0;
    std::uint64_t m_analyzerTuning = 0;
    std::optional<CaptureTimeline> m_timeline; ///< of the run being analysed
    // Where the current analyser's samples lie; a change of rate or configuration starts a new
    // analyser and a new list. Recent blocks only: a detection is never far behind.
    std::deque<Segment> m_segments;
};

} // namespace pv
