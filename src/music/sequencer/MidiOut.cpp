// The MIDI output.
#include "music/sequencer/MidiOut.h"

#include "music/base/DeviceSelection.h"
#include "music/notation/NotationTables.h"
#include "music/sequencer/MidiMessage.h"
#include "music/strings/Format.h"

#include <algorithm>

namespace pv {

namespace {

// A chord sounds for a half note.
constexpr std::uint32_t kHarmonicTicks = 2 * kQuarterTicks;
constexpr std::uint32_t kStepTicks = 500;
constexpr std::uint32_t kGapTicks = 50;
constexpr int kMinVoiceVelocity = 15;
constexpr int kErrorTextLength = 200;

} // namespace

TMidiOut::TMidiOut(IMidiOutDevices& devices, ISequencer& sequencer, IPrompts& prompts,
                   const UIStringTable& strings)
    : m_devices(devices), m_sequencer(sequencer), m_prompts(prompts), m_strings(strings)
{
    ListDevices();
}

TMidiOut::~TMidiOut()
{
    CloseDevice();
}

void TMidiOut::ListDevices()
{
    m_devicesList.clear();
    const Result<std::vector<MidiOutPortInfo>, MidiOutError> listed = m_devices.ListOutputs();
    if (listed) {
        for (const MidiOutPortInfo& port : listed.Value()) {
            if (static_cast<int>(m_devicesList.size()) >= kMaxDevices)
                break;
            m_devicesList.push_back({port.id, port.name, false});
        }
    } else {
        m_prompts.ShowMessage(QStringLiteral("Error listing MIDI-out devices"));
    }
    // Also after a failed listing: the list is never empty, so every caller may open entry 1.
    if (m_devicesList.empty())
        m_devicesList.push_back({0, m_strings.StrNoDevice, true});
}

void TMidiOut::CloseDevice()
{
    if (m_sink != nullptr) {
        // An external synthesizer keeps sounding what it was told to: without this, a note held
        // when the user switches devices hangs on the old one.
        if (m_open)
            AllNotesOff();
        m_sequencer.SetOutput(nullptr);
        m_devices.CloseOutput();
        m_sink = nullptr;
    }
    m_open = false;
    for (auto& channels : m_soundingChannels)
        channels.clear();
}

bool TMidiOut::ChangeDevice(std::uint16_t index)
{
    CloseDevice();
    if (index < 1 || index > kMaxDevices || index > m_devicesList.size())
        return false;
    const MidiOutDeviceEntry& entry = m_devicesList[index - 1U];
    if (entry.placeholder)
        return true;
    m_deviceId = entry.deviceId;
    // By name: the position listed earlier may belong to another port by now.
    Result<IMidiSink*, MidiOutError> opened = m_devices.OpenOutput(entry.name);
    if (!opened || opened.Value() == nullptr) {
        if (!opened && opened.Code() == MidiOutError::Unexpected) {
            TellOnce(QStringLiteral("ChangeDevice exception: Error opening MIDI out"));
        } else if (!opened && !opened.Detail().isEmpty()) {
            const QString device = QStringLiteral("\"") + entry.name + QStringLiteral("\".\r\n");
            const QString reason =
                QStringLiteral("\r\r\n") + opened.Detail().left(kErrorTextLength);
            TellOnce(Format(m_strings.StrMidiOutOpenError, {device, reason}));
        }
        return false;
    }
    m_sink = opened.Value();
    m_open = true;
    m_sequencer.SetOutput(m_sink);
    // Open but unheard: playback goes on in silence, and the user learns why.
    if (const QString problem = m_devices.SoundProblem(); !problem.isEmpty())
        TellOnce(problem);
    return true;
}

void TMidiOut::TellOnce(const QString& text)
{
    if (m_told.insert(text).second)
        m_prompts.ShowMessage(text);
}

bool TMidiOut::SelectByName(QString& name)
{
    return SelectDeviceByName(m_devicesList, name, kDeviceNameCapacity,
                              [this](std::uint16_t entry) { return ChangeDevice(entry); });
}

void TMidiOut::SetVolume(int volume)
{
    if (!m_open)
        return;
    const auto v = static_cast<std::uint32_t>(std::clamp(volume, 0, 255));
    m_devices.SetOutputVolume(v * 0x01000100U);
}

bool TMidiOut::GetVolume(std::uint8_t& volume) const
{
    if (!m_open)
        return false;
    const std::optional<std::uint32_t> stereo = m_devices.OutputVolume();
    if (!stereo)
        return false;
    volume = static_cast<std::uint8_t>((*stereo >> 8) & 0xFFU);
    return true;
}

void TMidiOut::SetChannel(std::uint8_t channel)
{
    m_channel = MaskChannel(channel);
}

void TMidiOut::Send(std::uint32_t packed)
{
    // Immediate messages that fail are not reported one by one, as before: only the
    // controller reset tells the user.
    if (m_open && m_sink != nullptr)
        static_cast<void>(m_sink->Send(packed));
}

void TMidiOut::NoteOn(const SoundRecord& sound)
{
    if (!m_open)
        return;
    m_channel = MaskChannel(sound.channel);
    const std::uint8_t note = ClampDataByte(sound.note);
    m_soundingChannels[note].push_back(m_channel);
    Send(NoteOnMessage(m_channel, note, sound.velocity));
}

void TMidiOut::NoteOff(std::uint8_t note)
{
    if (!m_open)
        return;
    const std::uint8_t key = ClampDataByte(note);
    std::uint8_t channel = m_channel;
    if (auto& channels = m_soundingChannels[key]; !channels.empty()) {
        channel = channels.back();
        channels.pop_back();
    }
    Send(NoteOffMessage(channel, key));
}

void TMidiOut::ProgramChange(std::uint8_t program, std::uint8_t channel)
{
    if (!m_open)
        return;
    Send(ProgramChangeMessage(channel, program));
}

void TMidiOut::AllNotesOff()
{
    if (!m_open)
        return;
    for (int channel = 0; channel < 16; ++channel)
        Send(ControlChangeMessage(channel, kControllerAllNotesOff, 0));
    for (auto& channels : m_soundingChannels)
        channels.clear();
}

void TMidiOut::ResetControllers()
{
    if (!m_open || m_sink == nullptr)
        return;
    for (int channel = 0; channel < 16; ++channel) {
        const Status<MidiOutError> sent =
            m_sink->Send(ControlChangeMessage(channel, kControllerResetAll, 0));
        if (!sent) {
            m_prompts.ShowMessage(sent.Detail().left(kErrorTextLength));
            return;
        }
    }
}

void TMidiOut::PlayNotes(std::span<const TNoteRec> notes, std::uint8_t count, TPlayMode mode,
                         bool guitar)
{
    const std::size_t n = std::min<std::size_t>(count, notes.size());
    if (!m_open || notes.empty() || notes[0].Pitch.Note == 0)
        return;
    const MidiVoiceSettings voices =
        m_voices != nullptr ? m_voices->MidiVoices() : MidiVoiceSettings{};
    const SoundRecord& voice = guitar ? voices.guitar : voices.piano;
    const int transposition = guitar && !voices.guitarNotTransposed ? -12 : 0;
    const std::uint8_t channel = MaskChannel(voice.channel);
    m_channel = channel;
    const int base = std::clamp<int>(voice.velocity, kMinVoiceVelocity, 127);

    constexpr auto queue = SequencerQueue::Music;
    // A note that falls outside the MIDI range after transposition is left out; its waits
    // stay, so the notes around it keep their time.
    auto sounding = [&](std::size_t i) {
        const int note = notes[i].Pitch.Note + transposition;
        return note >= 0 && note <= 127 ? note : -1;
    };
    auto on = [&](std::size_t i) {
        const int note = sounding(i);
        if (note < 0)
            return;
        const int level = std::min<int>(notes[i].VelocityLevel, 2);
        m_sequencer.QueueMidi(queue, NoteOnMessage(channel, note, base - (2 - level) * 6));
    };
    auto off = [&](std::size_t i) {
        const int note = sounding(i);
        if (note >= 0)
            m_sequencer.QueueMidi(queue, NoteOffMessage(channel, note));
    };
    auto wait = [&](std::uint32_t ticks) { m_sequencer.QueueWait(queue, ticks); };

    switch (mode) {
    case TPlayMode::Harmonic:
        for (std::size_t i = 0; i < n; ++i)
            on(i);
        wait(kHarmonicTicks);
        for (std::size_t i = 0; i < n; ++i)
            off(i);
        break;
    case TPlayMode::Ascending:
    case TPlayMode::Descending:
        for (std::size_t k = 0; k < n; ++k) {
            const std::size_t i = mode == TPlayMode::Ascending ? k : n - 1 - k;
            on(i);
            wait(kStepTicks);
            off(i);
            wait(kGapTicks);
        }
        break;
    case TPlayMode::Silent:
        break;
    case TPlayMode::Melodic:
        for (std::size_t i = 0; i < n; ++i) {
            on(i);
            // A code outside 1..6 plays as the notation tables say (0 whole, others quarter).
            const std::uint32_t ticks = DurationTicksOf(notes[i].Duration);
            wait(ticks > kGapTicks ? ticks - kGapTicks : 0);
            off(i);
            wait(kGapTicks);
        }
        break;
    case TPlayMode::AscendingHeld:
    case TPlayMode::DescendingHeld:
        for (std::size_t k = 0; k < n; ++k) {
            on(mode == TPlayMode::AscendingHeld ? k : n - 1 - k);
            wait(kStepTicks);
        }
        wait(kStepTicks);
        for (std::size_t i = 0; i < n; ++i)
            off(i);
        break;
    default:
        break;
    }
}

void TMidiOut::QueueClick(std::uint16_t length, std::uint8_t accent, bool silent,
                          const SoundRecord& sound, std::uint16_t codeAfter,
                          std::uint16_t codeBefore)
{
    if (!m_open)
        return;
    if (codeBefore > 0)
        QueueNotify(static_cast<std::uint16_t>(codeBefore + 100U));
    constexpr auto queue = SequencerQueue::Click;
    if (silent) {
        m_sequencer.QueueWait(queue, length);
    } else {
        const int velocity = std::max(0, static_cast<int>(sound.velocity) - 10 * accent);
        m_sequencer.QueueMidi(queue, NoteOnMessage(sound.channel, sound.note, velocity));
        m_sequencer.QueueWait(queue, length);
        m_sequencer.QueueMidi(queue, NoteOffMessage(sound.channel, sound.note));
    }
    QueueNotify(codeAfter);
}

void TMidiOut::QueueNotify(std::uint16_t code)
{
    if (!m_open || code == 0 || m_targets == nullptr)
        return;
    const std::optional<NotifyRoute> route = RouteNotifyCode(
        code, m_targets->SettingsDialogListening(), m_targets->CurrentExerciseKind());
    if (!route)
        return;
    QObject* receiver = m_targets->Receiver(route->receiver, route->exerciseKind);
    if (receiver == nullptr)
        return;
    m_sequencer.QueueNotify(route->queue, receiver, route->code);
}

void TMidiOut::QueueProgramChange(std::uint8_t program, std::uint8_t channel)
{
    if (!m_open)
        return;
    m_sequencer.QueueMidi(SequencerQueue::Music, ProgramChangeMessage(channel, program));
}

void TMidiOut::QueueMessage(SequencerQueue queue, std::uint32_t packed)
{
    if (!m_open)
        return;
    m_sequencer.QueueMidi(queue, packed);
}

void TMidiOut::QueueWait(SequencerQueue queue, std::uint32_t ticks)
{
    if (!m_open)
        return;
    m_sequencer.QueueWait(queue, ticks);
}

MidiVoiceSettings TMidiOut::Voices() const
{
    return m_voices != nullptr ? m_voices->MidiVoices() : MidiVoiceSettings{};
}

void TMidiOut::StartQueue()
{
    m_sequencer.Start();
}

void TMidiOut::StopQueue()
{
    m_sequencer.Stop();
    AllNotesOff();
}

} // namespace pv
