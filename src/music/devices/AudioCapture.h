// Microphone capture behind an interface, so the engine can be fed without a sound card.
#pragma once

#include "music/devices/CaptureTimeline.h"

#include <memory>
#include <optional>
#include <span>
#include <vector>

#include <QAudioFormat>

namespace pv {

class IClock;

/// Where captured samples go: mono, full scale ±1. May be called from any thread.
class IAudioSink
{
public:
    virtual ~IAudioSink() = default;
    /// stamp: the capture's figures at the hand-over; nothing when it has none (the samples
    /// are then taken as following each other from the start of listening).
    virtual void PushSamples(std::span<const float> samples, unsigned sampleRate,
                             const std::optional<CaptureStamp>& stamp) = 0;
};

class IAudioCapture
{
public:
    virtual ~IAudioCapture() = default;
    /// True when a capture device is there.
    virtual bool Open() = 0;
    /// Starts delivering samples to the sink; false when the device would not start.
    virtual bool Start(IAudioSink& sink) = 0;
    virtual void Stop() = 0;
    virtual void Close() = 0;
};

/// Turns captured bytes of any Qt sample format and channel count into mono floats for a sink;
/// a frame split across two writes is kept until it is complete.
class PcmToMono
{
public:
    PcmToMono(IAudioSink& sink, const QAudioFormat& format);
    /// stamp: the figures at this write; a part frame kept back counts as still pending.
    void Write(const char* data, std::size_t length, std::optional<CaptureStamp> stamp = {});

private:
    IAudioSink& m_sink;
    QAudioFormat m_format;
    std::vector<char> m_pending;
    std::vector<float> m_samples;
};

/// The default input device through Qt Multimedia (QAudioSource), mono float or int16 at
/// 48 or 44.1 kHz, else whatever the device prefers, mixed down to mono. Every block is stamped
/// with the clock and the source's own figures (processed time, bytes still available).
std::unique_ptr<IAudioCapture> MakeQtAudioCapture(const IClock& clock);

/// No device at all: opens, starts and delivers nothing (samples come through the engine's
/// own PushSamples).
std::unique_ptr<IAudioCapture> MakeFeedOnlyCapture();

} // namespace pv
