// The built-in synthesizer.
#include "music/devices/FluidSynthOutput.h"

#include "music/base/Clock.h"
#include "music/base/Log.h"
#include "music/devices/FluidSynthLibrary.h"
#include "music/sequencer/MidiMessage.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <mutex>

#include <QFileInfo>

namespace pv {

namespace {

constexpr std::array<const char*, 2> kSoundFonts = {"/usr/share/sounds/sf2/TimGM6mb.sf2",
                                                    "/usr/share/sounds/sf2/default-GM.sf2"};
// Gain at full volume: loud enough for one voice, with headroom for a chord of six.
constexpr float kFullGain = 0.6F;
// About 10 ms of audio buffering: notes must start close to their sequencer time.
constexpr int kPeriodFrames = 240;
constexpr int kPeriods = 2;
// FluidSynth starts voices only at the start of its blocks of this many frames.
constexpr std::uint64_t kSynthBlock = 64;
// Sequencer messages may leave this late and still start at their sample: the audio of a
// period stands for the time a period and this margin before the callback.
constexpr std::uint64_t kScheduleMarginUs = 2000;
// Callbacks whose time strays further than this from the frame count's timeline set it anew
// (start-up bursts, drift between the sound card's clock and ours, a lost period).
constexpr std::uint64_t kReanchorSlackUs = 3000;
// Drivers tried in turn; JACK is left out because it may try to start a sound server.
constexpr std::array<const char*, 3> kAudioDrivers = {"pipewire", "pulseaudio", "alsa"};

void LogFromFluidSynth(int level, const char* message, void*)
{
    if (level <= FLUID_ERR)
        qCWarning(lcPellivark, "FluidSynth: %s", message);
    else
        qCDebug(lcPellivark, "FluidSynth: %s", message);
}

void RouteFluidSynthLog(const FluidSynthApi& fluid)
{
    static std::once_flag once;
    std::call_once(once, [&fluid] {
        for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
            fluid.fluid_set_log_function(level, LogFromFluidSynth, nullptr);
    });
}

} // namespace

std::span<const char* const> FluidSynthOutput::SoundFontCandidates()
{
    return kSoundFonts;
}

std::optional<QString> FluidSynthOutput::FindSoundFont()
{
    for (const char* path : kSoundFonts) {
        const QString file = QString::fromUtf8(path);
        if (QFileInfo(file).isFile())
            return file;
    }
    return std::nullopt;
}

Result<std::unique_ptr<FluidSynthOutput>, SynthError>
FluidSynthOutput::Create(const Options& options)
{
    QString loadError;
    const FluidSynthApi* fluid = LoadFluidSynth(&loadError);
    if (fluid == nullptr)
        return Fail(SynthError::SetupFailed,
                    QStringLiteral("FluidSynth could not be loaded (%1). Reinstall the package "
                                   "libfluidsynth3.")
                        .arg(loadError));
    RouteFluidSynthLog(*fluid);
    const QString soundFont = options.soundFont.isEmpty()
                                  ? FindSoundFont().value_or(QString::fromUtf8(kSoundFonts[0]))
                                  : options.soundFont;
    const QString missing =
        QStringLiteral("The General MIDI sound font %1 is missing. Install the package "
                       "timgm6mb-soundfont; until then the built-in synthesizer stays silent.")
            .arg(soundFont);
    if (!QFileInfo(soundFont).isFile())
        return Fail(SynthError::SoundFontMissing, missing);

    std::unique_ptr<FluidSynthOutput> out(new FluidSynthOutput());
    out->m_fluid = fluid;
    out->m_sampleRate = options.sampleRate;
    out->m_clock = options.clock != nullptr ? options.clock : &SteadyClock::Instance();
    // Reserved: the audio thread must not allocate.
    out->m_timed.reserve(1024);
    out->m_dueNow.reserve(1024);
    out->m_settings = fluid->new_fluid_settings();
    if (out->m_settings == nullptr)
        return Fail(SynthError::SetupFailed, QStringLiteral("FluidSynth could not be set up."));
    fluid->fluid_settings_setnum(out->m_settings, "synth.sample-rate", options.sampleRate);
    fluid->fluid_settings_setint(out->m_settings, "audio.period-size", kPeriodFrames);
    fluid->fluid_settings_setint(out->m_settings, "audio.periods", kPeriods);
    out->m_synth = fluid->new_fluid_synth(out->m_settings);
    if (out->m_synth == nullptr)
        return Fail(SynthError::SetupFailed, QStringLiteral("FluidSynth could not be set up."));
    if (fluid->fluid_synth_sfload(out->m_synth, soundFont.toUtf8().constData(), 1) == FLUID_FAILED)
        return Fail(SynthError::SoundFontMissing,
                    QStringLiteral("The sound font %1 could not be loaded. Reinstall the "
                                   "package timgm6mb-soundfont.")
                        .arg(soundFont));
    out->SetStereoVolume(0xFFFFFFFFU);
    if (options.audioDriver) {
        QList<QByteArray> drivers;
        for (const QString& driver : options.audioDrivers)
            drivers.push_back(driver.toUtf8());
        if (drivers.isEmpty()) {
            for (const char* driver : kAudioDrivers)
                drivers.push_back(QByteArray(driver));
        }
        for (const QByteArray& driver : drivers) {
            fluid->fluid_settings_setstr(out->m_settings, "audio.driver", driver.constData());
            out->m_audio = fluid->new_fluid_audio_driver2(
                out->m_settings, &FluidSynthOutput::DriverCallback, out.get());
            if (out->m_audio != nullptr)
                break;
        }
        if (out->m_audio == nullptr)
            qCWarning(lcPellivark, "No audio output for the built-in synthesizer: it stays silent");
    }
    return out;
}

FluidSynthOutput::~FluidSynthOutput()
{
    // The driver pulls from the synthesizer: it goes first.
    if (m_audio != nullptr)
        m_fluid->delete_fluid_audio_driver(m_audio);
    if (m_synth != nullptr)
        m_fluid->delete_fluid_synth(m_synth);
    if (m_settings != nullptr)
        m_fluid->delete_fluid_settings(m_settings);
}

int FluidSynthOutput::Apply(std::uint32_t packed)
{
    const int status = MessageStatus(packed);
    const int channel = status & 0x0F;
    const int data1 = MessageData1(packed) & 0x7F;
    const int data2 = MessageData2(packed) & 0x7F;
    int rc = FLUID_OK;
    switch (status & 0xF0) {
    case kStatusNoteOff:
        // A note that is not sounding fails in FluidSynth; for us that is no error.
        m_fluid->fluid_synth_noteoff(m_synth, channel, data1);
        break;
    case kStatusNoteOn:
        if (data2 == 0)
            m_fluid->fluid_synth_noteoff(m_synth, channel, data1);
        else
            rc = m_fluid->fluid_synth_noteon(m_synth, channel, data1, data2);
        break;
    case 0xA0:
        rc = m_fluid->fluid_synth_key_pressure(m_synth, channel, data1, data2);
        break;
    case kStatusControlChange:
        rc = m_fluid->fluid_synth_cc(m_synth, channel, data1, data2);
        break;
    case kStatusProgramChange:
        rc = m_fluid->fluid_synth_program_change(m_synth, channel, data1);
        break;
    case 0xD0:
        rc = m_fluid->fluid_synth_channel_pressure(m_synth, channel, data1);
        break;
    case 0xE0:
        rc = m_fluid->fluid_synth_pitch_bend(m_synth, channel, data1 | (data2 << 7));
        break;
    default:
        break; // system messages mean nothing to the synthesizer
    }
    return rc;
}

Status<MidiOutError> FluidSynthOutput::Send(std::uint32_t packed)
{
    if (Apply(packed) == FLUID_FAILED)
        return Fail(MidiOutError::SendFailed,
                    QStringLiteral("The built-in synthesizer refused the message."));
    return {};
}

Status<MidiOutError> FluidSynthOutput::SendAt(std::uint32_t packed, std::uint64_t dueUs)
{
    std::lock_guard lock(m_timedMutex);
    const Timed timed{dueUs, m_order++, packed};
    // Nearly always in order: the sequencer sends in time order.
    const auto at =
        std::upper_bound(m_timed.begin(), m_timed.end(), timed, [](const Timed& a, const Timed& b) {
            return a.dueUs < b.dueUs || (a.dueUs == b.dueUs && a.order < b.order);
        });
    m_timed.insert(at, timed);
    return {};
}

void FluidSynthOutput::SetStereoVolume(std::uint32_t stereoVolume)
{
    m_stereoVolume = stereoVolume;
    ApplyGain();
}

void FluidSynthOutput::ApplyGain()
{
    const std::uint32_t stereo = m_stereoVolume.load();
    const std::uint32_t louder = std::max(stereo & 0xFFFFU, stereo >> 16);
    m_fluid->fluid_synth_set_gain(m_synth, kFullGain * static_cast<float>(louder) / 65535.0F);
}

void FluidSynthOutput::Silence()
{
    {
        std::lock_guard lock(m_timedMutex);
        m_timed.clear();
    }
    m_fluid->fluid_synth_all_sounds_off(m_synth, -1);
}

bool FluidSynthOutput::Render(std::span<float> left, std::span<float> right)
{
    if (m_audio != nullptr || left.size() != right.size() || left.size() > 1'000'000U)
        return false;
    std::lock_guard rendering(m_renderMutex);
    {
        std::lock_guard lock(m_timedMutex);
        m_dueNow.swap(m_timed);
    }
    for (const Timed& timed : m_dueNow)
        Apply(timed.packed);
    m_dueNow.clear();
    return Write(left, right, 0, left.size());
}

bool FluidSynthOutput::RenderAt(std::uint64_t startUs, std::span<float> left,
                                std::span<float> right)
{
    if (m_audio != nullptr || left.size() != right.size() || left.size() > 1'000'000U)
        return false;
    return RenderTimed(startUs, left, right);
}

std::optional<std::uint64_t> FluidSynthOutput::RenderPeriod(std::span<float> left,
                                                            std::span<float> right)
{
    if (m_audio != nullptr || left.size() != right.size() || left.size() > 1'000'000U)
        return std::nullopt;
    const std::uint64_t startUs = PeriodStartUs(left.size());
    if (!RenderTimed(startUs, left, right))
        return std::nullopt;
    return startUs;
}

std::uint64_t FluidSynthOutput::ScheduleMarginUs()
{
    return kScheduleMarginUs;
}

void FluidSynthOutput::WhileNotRendering(const std::function<void(_fluid_synth_t*)>& work)
{
    std::lock_guard rendering(m_renderMutex);
    work(m_synth);
}

std::uint64_t FluidSynthOutput::PeriodStartUs(std::size_t frames)
{
    const std::uint64_t now = m_clock->NowUs();
    const auto periodUs =
        static_cast<std::uint64_t>(static_cast<double>(frames) * 1e6 / m_sampleRate);
    const std::uint64_t back = periodUs + kScheduleMarginUs;
    const std::uint64_t wanted = now > back ? now - back : 0;
    if (m_anchorUs) {
        const auto onTimeline =
            *m_anchorUs + static_cast<std::uint64_t>(std::llround(
                              static_cast<double>(m_frames - m_anchorFrame) * 1e6 / m_sampleRate));
        // The frame count is the steadier clock: callbacks come late by the scheduler's whim,
        // never early, so the timeline follows the earliest of them at once (one that came
        // early only shows the timeline was set by a late one) and a later one only when the
        // callbacks have stayed behind by more than a period and the slack (drift, lost audio).
        if (wanted >= onTimeline && wanted <= onTimeline + periodUs + kReanchorSlackUs)
            return onTimeline;
    }
    m_anchorUs = wanted;
    m_anchorFrame = m_frames;
    return wanted;
}

bool FluidSynthOutput::Write(std::span<float> left, std::span<float> right, std::size_t from,
                             std::size_t to)
{
    if (to <= from)
        return true;
    const int rc = m_fluid->fluid_synth_write_float(m_synth, static_cast<int>(to - from),
                                                    left.data(), static_cast<int>(from), 1,
                                                    right.data(), static_cast<int>(from), 1);
    m_frames += to - from;
    return rc == FLUID_OK;
}

bool FluidSynthOutput::RenderTimed(std::uint64_t startUs, std::span<float> left,
                                   std::span<float> right)
{
    std::lock_guard rendering(m_renderMutex);
    const std::size_t frames = left.size();
    const std::uint64_t first = m_frames;
    const std::uint64_t end = first + frames;
    // The synthesizer block whose start lies nearest the due frame: a message applied once
    // the frames before that start are written starts its voice there.
    auto blockStart = [&](const Timed& timed) {
        const double offset =
            (static_cast<double>(timed.dueUs) - static_cast<double>(startUs)) * m_sampleRate / 1e6;
        const double frame = std::max(0.0, static_cast<double>(first) + offset);
        const auto block = static_cast<std::uint64_t>(std::floor(
            (frame + static_cast<double>(kSynthBlock) / 2.0) / static_cast<double>(kSynthBlock)));
        return std::max(first, block * kSynthBlock);
    };
    {
        std::lock_guard lock(m_timedMutex);
        auto it = m_timed.begin();
        while (it != m_timed.end() && blockStart(*it) < end)
            ++it;
        m_dueNow.assign(m_timed.begin(), it);
        m_timed.erase(m_timed.begin(), it);
    }
    bool ok = true;
    std::size_t written = 0;
    for (const Timed& timed : m_dueNow) {
        const auto at =
            static_cast<std::size_t>(std::max(blockStart(timed), first + written) - first);
        ok = Write(left, right, written, at) && ok;
        written = std::max(written, at);
        Apply(timed.packed);
    }
    m_dueNow.clear();
    return Write(left, right, written, frames) && ok;
}

int FluidSynthOutput::DriverCallback(void* data, int len, int, float*[], int nout, float* out[])
{
    auto* self = static_cast<FluidSynthOutput*>(data);
    if (len <= 0 || nout < 2)
        return FLUID_FAILED;
    const auto frames = static_cast<std::size_t>(len);
    const std::span<float> left(out[0], frames);
    const std::span<float> right(out[1], frames);
    return self->RenderTimed(self->PeriodStartUs(frames), left, right) ? FLUID_OK : FLUID_FAILED;
}

} // namespace pv
