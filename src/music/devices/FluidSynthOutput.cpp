// The built-in synthesizer.
#include "music/devices/FluidSynthOutput.h"

#include "music/base/Log.h"
#include "music/sequencer/MidiMessage.h"

#include <algorithm>
#include <array>
#include <mutex>

#include <QFileInfo>

#include <fluidsynth.h>

namespace pv {

namespace {

constexpr std::array<const char*, 2> kSoundFonts = {"/usr/share/sounds/sf2/TimGM6mb.sf2",
                                                    "/usr/share/sounds/sf2/default-GM.sf2"};
// Gain at full volume: loud enough for one voice, with headroom for a chord of six.
constexpr float kFullGain = 0.6F;
// About 10 ms of audio buffering: notes must start close to their sequencer time.
constexpr int kPeriodFrames = 240;
constexpr int kPeriods = 2;
// Drivers tried in turn; JACK is left out because it may try to start a sound server.
constexpr std::array<const char*, 3> kAudioDrivers = {"pipewire", "pulseaudio", "alsa"};

void LogFromFluidSynth(int level, const char* message, void*)
{
    if (level <= FLUID_ERR)
        qCWarning(lcPellivark, "FluidSynth: %s", message);
    else
        qCDebug(lcPellivark, "FluidSynth: %s", message);
}

void RouteFluidSynthLog()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
            fluid_set_log_function(level, LogFromFluidSynth, nullptr);
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
    RouteFluidSynthLog();
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
    out->m_sampleRate = options.sampleRate;
    out->m_settings = new_fluid_settings();
    if (out->m_settings == nullptr)
        return Fail(SynthError::SetupFailed, QStringLiteral("FluidSynth could not be set up."));
    fluid_settings_setnum(out->m_settings, "synth.sample-rate", options.sampleRate);
    fluid_settings_setint(out->m_settings, "audio.period-size", kPeriodFrames);
    fluid_settings_setint(out->m_settings, "audio.periods", kPeriods);
    out->m_synth = new_fluid_synth(out->m_settings);
    if (out->m_synth == nullptr)
        return Fail(SynthError::SetupFailed, QStringLiteral("FluidSynth could not be set up."));
    if (fluid_synth_sfload(out->m_synth, soundFont.toUtf8().constData(), 1) == FLUID_FAILED)
        return Fail(SynthError::SoundFontMissing,
                    QStringLiteral("The sound font %1 could not be loaded. Reinstall the "
                                   "package timgm6mb-soundfont.")
                        .arg(soundFont));
    out->SetStereoVolume(0xFFFFFFFFU);
    if (options.audioDriver) {
        for (const char* driver : kAudioDrivers) {
            fluid_settings_setstr(out->m_settings, "audio.driver", driver);
            out->m_audio = new_fluid_audio_driver(out->m_settings, out->m_synth);
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
        delete_fluid_audio_driver(m_audio);
    if (m_synth != nullptr)
        delete_fluid_synth(m_synth);
    if (m_settings != nullptr)
        delete_fluid_settings(m_settings);
}

Status<MidiOutError> FluidSynthOutput::Send(std::uint32_t packed)
{
    const int status = MessageStatus(packed);
    const int channel = status & 0x0F;
    const int data1 = MessageData1(packed) & 0x7F;
    const int data2 = MessageData2(packed) & 0x7F;
    int rc = FLUID_OK;
    switch (status & 0xF0) {
    case kStatusNoteOff:
        // A note that is not sounding fails in FluidSynth; for us that is no error.
        fluid_synth_noteoff(m_synth, channel, data1);
        break;
    case kStatusNoteOn:
        if (data2 == 0)
            fluid_synth_noteoff(m_synth, channel, data1);
        else
            rc = fluid_synth_noteon(m_synth, channel, data1, data2);
        break;
    case 0xA0:
        rc = fluid_synth_key_pressure(m_synth, channel, data1, data2);
        break;
    case kStatusControlChange:
        rc = fluid_synth_cc(m_synth, channel, data1, data2);
        break;
    case kStatusProgramChange:
        rc = fluid_synth_program_change(m_synth, channel, data1);
        break;
    case 0xD0:
        rc = fluid_synth_channel_pressure(m_synth, channel, data1);
        break;
    case 0xE0:
        rc = fluid_synth_pitch_bend(m_synth, channel, data1 | (data2 << 7));
        break;
    default:
        break; // system messages mean nothing to the synthesizer
    }
    if (rc == FLUID_FAILED)
        return Fail(MidiOutError::SendFailed,
                    QStringLiteral("The built-in synthesizer refused the message."));
    return {};
}

void FluidSynthOutput::SetStereoVolume(std::uint32_t stereoVolume)
{
    m_stereoVolume = stereoVolume;
    ApplyGain();
}

void FluidSynthOutput::SetLevel(float level)
{
    m_level = std::clamp(level, 0.0F, 1.0F);
    ApplyGain();
}

void FluidSynthOutput::ApplyGain()
{
    const std::uint32_t stereo = m_stereoVolume.load();
    const std::uint32_t louder = std::max(stereo & 0xFFFFU, stereo >> 16);
    fluid_synth_set_gain(m_synth,
                         kFullGain * m_level.load() * static_cast<float>(louder) / 65535.0F);
}

void FluidSynthOutput::Silence()
{
    fluid_synth_all_sounds_off(m_synth, -1);
}

bool FluidSynthOutput::Render(std::span<float> left, std::span<float> right)
{
    if (m_audio != nullptr || left.size() != right.size() || left.size() > 1'000'000U)
        return false;
    return fluid_synth_write_float(m_synth, static_cast<int>(left.size()), left.data(), 0, 1,
                                   right.data(), 0, 1) == FLUID_OK;
}

} // namespace pv
