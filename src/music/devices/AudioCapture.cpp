// Microphone capture with Qt Multimedia.
#include "music/devices/AudioCapture.h"

#include "music/base/Clock.h"
#include "music/base/Log.h"

#include <QAudioDevice>
#include <QAudioSource>
#include <QIODevice>
#include <QMediaDevices>

namespace pv {

namespace {

constexpr qint64 kCaptureBufferUs = 5000;

// Receives the source's bytes and hands them on, stamped with the source's figures.
class SinkDevice final : public QIODevice
{
public:
    SinkDevice(IAudioSink& sink, const QAudioFormat& format, const IClock& clock)
        : m_convert(sink, format), m_format(format), m_clock(clock)
    {
    }
    void SetSource(const QAudioSource* source) { m_source = source; }

protected:
    qint64 readData(char*, qint64) override { return -1; }

    qint64 writeData(const char* data, qint64 length) override
    {
        if (length <= 0)
            return length;
        std::optional<CaptureStamp> stamp;
        // Read at the hand-over, together with the clock: a write that comes late finds the
        // device further on by just as much. The source's count of available bytes is what
        // it can tell of audio captured but not yet written here.
        if (m_source != nullptr) {
            stamp = CaptureStamp{
                m_clock.NowUs(),
                static_cast<std::uint64_t>(std::max<qint64>(0, m_source->processedUSecs())),
                static_cast<std::uint64_t>(std::max<qint64>(
                    0, m_format.durationForBytes(static_cast<qint32>(
                           std::min<qsizetype>(m_source->bytesAvailable(), 0x7FFFFFFF)))))};
        }
        m_convert.Write(data, static_cast<std::size_t>(length), stamp);
        return length;
    }

private:
    PcmToMono m_convert;
    QAudioFormat m_format;
    const IClock& m_clock;
    const QAudioSource* m_source = nullptr;
};

class QtAudioCapture final : public IAudioCapture
{
public:
    explicit QtAudioCapture(const IClock& clock) : m_clock(clock) {}
    ~QtAudioCapture() override { Close(); }

    bool Open() override
    {
        m_device = QMediaDevices::defaultAudioInput();
        return !m_device.isNull();
    }

    bool Start(IAudioSink& sink) override
    {
        Stop();
        if (m_device.isNull())
            return false;
        const QAudioFormat format = ChooseFormat();
        m_io = std::make_unique<SinkDevice>(sink, format, m_clock);
        m_io->open(QIODevice::WriteOnly);
        m_source = std::make_unique<QAudioSource>(m_device, format);
        m_io->SetSource(m_source.get());
        // A buffer of about 5 ms: onsets are stamped by the device's figures whatever its size,
        // but a clap's event waits for the block that holds it to be handed over.
        m_source->setBufferSize(format.bytesForDuration(kCaptureBufferUs));
        m_source->start(m_io.get());
        if (m_source->error() != QAudio::NoError) {
            qCWarning(lcPellivark) << "microphone would not start:" << m_source->error();
            Stop();
            return false;
        }
        return true;
    }

    void Stop() override
    {
        if (m_io)
            m_io->SetSource(nullptr);
        if (m_source)
            m_source->stop();
        m_source.reset();
        m_io.reset();
    }

    void Close() override
    {
        Stop();
        m_device = QAudioDevice();
    }

private:
    QAudioFormat ChooseFormat() const
    {
        for (const int rate : {48000, 44100}) {
            for (const QAudioFormat::SampleFormat sample :
                 {QAudioFormat::Float, QAudioFormat::Int16}) {
                QAudioFormat format;
                format.setSampleRate(rate);
                format.setChannelCount(1);
                format.setSampleFormat(sample);
                if (m_device.isFormatSupported(format))
                    return format;
            }
        }
        return m_device.preferredFormat();
    }

    const IClock& m_clock;
    QAudioDevice m_device;
    std::unique_ptr<SinkDevice> m_io;
    std::unique_ptr<QAudioSource> m_source;
};

class FeedOnlyCapture final : public IAudioCapture
{
public:
    bool Open() override { return true; }
    bool Start(IAudioSink&) override { return true; }
    void Stop() override {}
    void Close() override {}
};

} // namespace

PcmToMono::PcmToMono(IAudioSink& sink, const QAudioFormat& format) : m_sink(sink), m_format(format)
{
}

void PcmToMono::Write(const char* data, std::size_t length, std::optional<CaptureStamp> stamp)
{
    const int frameBytes = m_format.bytesPerFrame();
    const int sampleBytes = m_format.bytesPerSample();
    const int channels = m_format.channelCount();
    if (frameBytes <= 0 || sampleBytes <= 0 || channels <= 0 || m_format.sampleRate() <= 0)
        return;
    m_pending.insert(m_pending.end(), data, data + length);
    const auto frameSize = static_cast<std::size_t>(frameBytes);
    const std::size_t frames = m_pending.size() / frameSize;
    if (frames == 0)
        return;
    m_samples.resize(frames);
    for (std::size_t f = 0; f < frames; ++f) {
        const char* frame = m_pending.data() + f * frameSize;
        float sum = 0.0F;
        for (int c = 0; c < channels; ++c)
            sum += m_format.normalizedSampleValue(frame + c * sampleBytes);
        m_samples[f] = sum / static_cast<float>(channels);
    }
    m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<long>(frames * frameSize));
    if (stamp) // by hand: Qt's durationForBytes counts whole frames only
        stamp->pendingUs += m_pending.size() * 1'000'000U /
                            (frameSize * static_cast<std::size_t>(m_format.sampleRate()));
    m_sink.PushSamples(m_samples, static_cast<unsigned>(m_format.sampleRate()), stamp);
}

std::unique_ptr<IAudioCapture> MakeQtAudioCapture(const IClock& clock)
{
    return std::make_unique<QtAudioCapture>(clock);
}

std::unique_ptr<IAudioCapture> MakeFeedOnlyCapture()
{
    return std::make_unique<FeedOnlyCapture>();
}

} // namespace pv
