// The microphone engine.
#include "music/devices/MicEngine.h"

#include "music/base/Clock.h"
#include "music/devices/AubioLibrary.h"
#include "music/input/WaveInEvents.h"

#include <algorithm>

namespace pv {

MicEngine::MicEngine(const IClock& clock, std::unique_ptr<IAudioCapture> capture)
    : m_clock(clock), m_capture(std::move(capture)),
      m_tuning(TuningFromConfig(kDefaultRhythmValue, 0, kDefaultToneValue))
{
}

MicEngine::~MicEngine()
{
    Close();
}

int MicEngine::Open(QObject* receiver)
{
    if (m_open) {
        std::lock_guard lock(m_mutex);
        m_receiver = receiver;
        return 1;
    }
    if (receiver == nullptr || !m_capture || !m_capture->Open())
        return 0;
    {
        std::lock_guard lock(m_mutex);
        m_receiver = receiver;
        m_quit = false;
    }
    m_worker = std::thread([this] { WorkerLoop(); });
    m_open = true;
    return 1;
}

void MicEngine::Close()
{
    if (!m_open)
        return;
    Stop();
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_wake.notify_all();
    m_worker.join();
    m_capture->Close();
    m_open = false;
}

void MicEngine::StartPitch()
{
    Start(MicMode::Pitch);
}

void MicEngine::StartOnset()
{
    Start(MicMode::Onset);
}

void MicEngine::Start(MicMode mode)
{
    if (!m_open)
        return;
    // A fresh stream: samples captured for the previous run must not be counted in this one.
    EndRun();
    {
        std::lock_guard lock(m_mutex);
        ++m_generation;
        m_handOff.SetGeneration(m_generation);
        m_listening = true;
        m_mode = mode;
        m_streamStartUs = m_clock.NowUs();
    }
    m_capturing = m_capture->Start(*this);
    if (!m_capturing) {
        std::lock_guard lock(m_mutex);
        m_listening = false;
    }
}

void MicEngine::Stop()
{
    EndRun();
}

void MicEngine::DeliverPending()
{
    m_handOff.DeliverPosted();
}

void MicEngine::EndRun()
{
    if (m_capturing)
        m_capture->Stop();
    m_capturing = false;
    // The worker posts only under this lock and only for the current generation, so after it
    // no event of the run is posted; those already on their way are dropped by the hand-off.
    std::lock_guard lock(m_mutex);
    ++m_generation;
    m_handOff.SetGeneration(m_generation);
    m_listening = false;
    m_queue.clear();
}

std::uint32_t MicEngine::FetchNote(std::uint8_t wparam)
{
    std::lock_guard lock(m_mutex);
    return m_notes[wparam];
}

void MicEngine::Acknowledge(std::uint32_t)
{
    // The engine needs no answer: every note has its own slot and onsets carry their time.
}

void MicEngine::Configure(int rhythmValue, std::uint8_t highPrecision, double toneValue)
{
    std::lock_guard lock(m_mutex);
    m_tuning = TuningFromConfig(rhythmValue, highPrecision, toneValue);
    ++m_tuningVersion;
}

void MicEngine::SetReadingInterval(int ms)
{
    std::lock_guard lock(m_mutex);
    m_readingMs = std::max(0, ms);
    ++m_tuningVersion;
}

void MicEngine::PushSamples(std::span<const float> samples, unsigned sampleRate,
                            const std::optional<CaptureStamp>& stamp)
{
    if (samples.empty() || sampleRate == 0)
        return;
    {
        std::lock_guard lock(m_mutex);
        if (!m_listening)
            return;
        m_queue.push_back({m_generation, sampleRate, {samples.begin(), samples.end()}, stamp});
    }
    m_wake.notify_one();
}

void MicEngine::WaitIdle()
{
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return !m_open || (m_queue.empty() && !m_busy); });
}

void MicEngine::WorkerLoop()
{
    // aubio loads with the microphone, not with the program; loaded here, while the capture
    // starts, it is ready by the first block in most cases.
    (void)LoadAubio();
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_quit || !m_queue.empty(); });
        if (m_quit)
            break;
        Block block = std::move(m_queue.front());
        m_queue.pop_front();
        if (block.generation == m_generation) {
            m_busy = true;
            lock.unlock();
            Analyse(block);
            lock.lock();
            m_busy = false;
        }
        if (m_queue.empty())
            m_idle.notify_all();
    }
    m_analyzer.reset();
    m_idle.notify_all();
}

void MicEngine::Analyse(Block& block)
{
    MicMode mode;
    MicTuning tuning;
    std::uint64_t tuningVersion = 0;
    std::uint64_t streamStartUs = 0;
    {
        std::lock_guard lock(m_mutex);
        mode = m_mode;
        tuning = m_tuning;
        tuning.readingMs = m_readingMs;
        tuningVersion = m_tuningVersion;
        streamStartUs = m_streamStartUs;
    }
    if (!m_analyzer || m_analyzerGeneration != block.generation) {
        m_analyzer = std::make_unique<MicAnalyzer>(mode, block.sampleRate, tuning);
        m_analyzerGeneration = block.generation;
        m_analyzerTuning = tuningVersion;
        m_timeline.emplace(streamStartUs);
        m_segments.clear();
    } else if (m_analyzer->SampleRate() != block.sampleRate || m_analyzerTuning != tuningVersion) {
        m_analyzer = std::make_unique<MicAnalyzer>(mode, block.sampleRate, tuning);
        m_analyzerTuning = tuningVersion;
        m_segments.clear();
    }

    constexpr std::size_t kSegmentsKept = 4096;
    const std::uint64_t positionNs =
        m_timeline->Place(block.samples.size(), block.sampleRate, block.stamp);
    m_segments.push_back({m_analyzer->SamplesSeen(), positionNs});
    if (m_segments.size() > kSegmentsKept)
        m_segments.pop_front();

    std::vector<MicDetection> found;
    m_analyzer->Push(block.samples, found);
    if (found.empty())
        return;
    std::lock_guard lock(m_mutex);
    if (block.generation != m_generation || m_receiver.isNull())
        return;
    for (const MicDetection& d : found) {
        if (d.kind != MicDetection::Kind::Onset) {
            const std::uint8_t slot = m_nextSlot++;
            m_notes[slot] = static_cast<std::uint8_t>(d.note);
            m_handOff.Post(m_receiver, std::make_unique<WaveInPitchEvent>(slot), m_generation);
        } else {
            const std::uint64_t us = SampleClockUs(d.sampleIndex);
            m_handOff.Post(m_receiver,
                           std::make_unique<WaveInOnsetEvent>(
                               WaveInOnsetEvent::kOnset, static_cast<std::uint32_t>(us / 1000U)),
                           m_generation);
        }
    }
}

std::uint64_t MicEngine::SampleClockUs(std::uint64_t sampleIndex) const
{
    // The last block that begins at or before the sample; one older than every block kept is
    // counted back from the oldest.
    auto segment = std::upper_bound(
        m_segments.begin(), m_segments.end(), sampleIndex,
        [](std::uint64_t index, const Segment& s) { return index < s.sampleIndex; });
    if (segment != m_segments.begin())
        --segment;
    const std::uint64_t rate = m_analyzer->SampleRate();
    const std::int64_t offsetNs =
        (static_cast<std::int64_t>(sampleIndex) - static_cast<std::int64_t>(segment->sampleIndex)) *
        1'000'000'000 / static_cast<std::int64_t>(rate);
    const std::int64_t positionNs = static_cast<std::int64_t>(segment->positionNs) + offsetNs;
    return m_timeline->ClockUs(static_cast<std::uint64_t>(std::max<std::int64_t>(0, positionNs)));
}

} // namespace pv
