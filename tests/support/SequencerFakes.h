// Fakes for tests of code that plays through the sequencer (link pv_music_sequencer): a
// recording sink, fake MIDI devices, recording receivers and a drive through virtual time.
#pragma once

#include "music/sequencer/MidiOutDevices.h"
#include "music/sequencer/NotifyRouting.h"
#include "music/sequencer/Sequencer.h"
#include "music/sequencer/SequencerNotifyEvent.h"
#include "support/FakeClock.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

namespace pv::test {

struct SentMessage
{
    std::uint64_t ms = 0;
    std::uint32_t packed = 0;
    friend bool operator==(const SentMessage&, const SentMessage&) = default;
};

inline std::ostream& operator<<(std::ostream& os, const SentMessage& m)
{
    return os << "{" << m.ms << " ms, 0x" << std::hex << m.packed << std::dec << "}";
}

/// A MIDI message as the tests write it down: status, data 1, data 2.
constexpr std::uint32_t Msg(std::uint32_t status, std::uint32_t d1, std::uint32_t d2 = 0)
{
    return status + d1 * 256U + d2 * 65536U;
}

class RecordingSink final : public IMidiSink
{
public:
    explicit RecordingSink(const IClock& clock) : m_clock(clock) {}
    Status<MidiOutError> Send(std::uint32_t packed) override
    {
        ++attempts;
        if (failFrom >= 0 && attempts > failFrom)
            return Fail(MidiOutError::SendFailed, QStringLiteral("device refused"));
        sent.push_back({m_clock.NowUs() / 1000U, packed});
        return {};
    }

    std::vector<SentMessage> sent;
    int attempts = 0;
    int failFrom = -1; ///< sends after this many fail

private:
    const IClock& m_clock;
};

class FakeDevices final : public IMidiOutDevices
{
public:
    explicit FakeDevices(const IClock& clock) : sink(clock) {}

    Result<std::vector<MidiOutPortInfo>, MidiOutError> ListOutputs() override
    {
        if (listFails)
            return Fail(MidiOutError::Unexpected, QStringLiteral("boom"));
        return ports;
    }
    /// Resolves the name among the ports as they are now, as the system devices do.
    Result<IMidiSink*, MidiOutError> OpenOutput(const QString& name) override
    {
        openedNames.push_back(name);
        if (openError)
            return *openError;
        const auto port = std::find_if(ports.begin(), ports.end(),
                                       [&](const MidiOutPortInfo& p) { return p.name == name; });
        if (port == ports.end())
            return Fail(MidiOutError::OpenFailed, QStringLiteral("The MIDI port is gone."));
        openedIds.push_back(port->id);
        open = true;
        return static_cast<IMidiSink*>(&sink);
    }
    void CloseOutput() override
    {
        open = false;
        ++closes;
    }
    bool SetOutputVolume(std::uint32_t stereo) override
    {
        volume = stereo;
        return true;
    }
    std::optional<std::uint32_t> OutputVolume() const override { return volume; }

    std::vector<MidiOutPortInfo> ports{{kMidiMapperId, QStringLiteral("Synth")},
                                       {0, QStringLiteral("Port A")}};
    bool listFails = false;
    std::optional<Failure<MidiOutError>> openError;
    bool open = false;
    int closes = 0;
    std::vector<QString> openedNames;
    std::vector<std::uint32_t> openedIds; ///< the ids the opened names had at opening
    std::optional<std::uint32_t> volume;
    RecordingSink sink;
};

/// A window that records the notifications it receives, with the virtual time of arrival.
class RecordingReceiver final : public QObject
{
public:
    explicit RecordingReceiver(const IClock& clock) : m_clock(clock) {}
    bool event(QEvent* e) override
    {
        if (e->type() == SequencerNotifyEvent::Type()) {
            codes.push_back(static_cast<SequencerNotifyEvent*>(e)->Code());
            times.push_back(m_clock.NowUs() / 1000U);
            return true;
        }
        return QObject::event(e);
    }
    std::vector<std::uint16_t> codes;
    std::vector<std::uint64_t> times;

private:
    const IClock& m_clock;
};

class FakeTargets final : public INotifyTargets
{
public:
    explicit FakeTargets(const IClock& clock)
        : settings(clock), imitation(clock), reading(clock), errorDetection(clock),
          comparison(clock), identification(clock), main(clock)
    {
    }
    bool SettingsDialogListening() const override { return listening; }
    int CurrentExerciseKind() const override { return kind; }
    QObject* Receiver(NotifyReceiver receiver, int exerciseKind) const override
    {
        auto* self = const_cast<FakeTargets*>(this);
        asked.push_back({receiver, exerciseKind});
        switch (receiver) {
        case NotifyReceiver::SettingsDialog:
            return &self->settings;
        case NotifyReceiver::RhythmImitation:
            return &self->imitation;
        case NotifyReceiver::RhythmReading:
            return &self->reading;
        case NotifyReceiver::RhythmErrorDetection:
            return &self->errorDetection;
        case NotifyReceiver::IntervalComparison:
            return &self->comparison;
        case NotifyReceiver::Identification:
            return &self->identification;
        case NotifyReceiver::MainWindow:
            return &self->main;
        }
        return nullptr;
    }

    bool listening = false;
    int kind = 1;
    mutable std::vector<std::pair<NotifyReceiver, int>> asked;
    RecordingReceiver settings, imitation, reading, errorDetection, comparison, identification,
        main;
};

/// Steps a hand-driven sequencer event time by event time up to endUs, delivering the
/// notifications of each step before the next, as the GUI thread would.
inline void DriveTo(Sequencer& sequencer, FakeClock& clock, std::uint64_t endUs)
{
    for (;;) {
        const std::optional<std::uint64_t> due = sequencer.NextDueUs();
        if (!due || *due > endUs)
            break;
        if (*due > clock.NowUs())
            clock.AdvanceUs(*due - clock.NowUs());
        sequencer.RunUntil(clock.NowUs());
        QCoreApplication::sendPostedEvents();
    }
    if (endUs > clock.NowUs())
        clock.AdvanceUs(endUs - clock.NowUs());
    sequencer.RunUntil(clock.NowUs());
    QCoreApplication::sendPostedEvents();
}

// Forwards to the real sequencer and remembers on which queue each message and code went.
class QueueRecorder final : public ISequencer
{
public:
    explicit QueueRecorder(Sequencer& real) : m_real(real) {}
    void QueueMidi(SequencerQueue queue, std::uint32_t packed) override
    {
        queueOf[packed] = static_cast<int>(queue);
        m_real.QueueMidi(queue, packed);
    }
    void QueueWait(SequencerQueue queue, std::uint32_t ticks) override
    {
        m_real.QueueWait(queue, ticks);
    }
    void QueueNotify(SequencerQueue queue, QObject* target, std::uint16_t code) override
    {
        codeQueue[code] = static_cast<int>(queue);
        m_real.QueueNotify(queue, target, code);
    }
    void Stop() override { m_real.Stop(); }
    void SetOutput(IMidiSink* sink) override { m_real.SetOutput(sink); }
    void Start() override { m_real.Start(); }
    bool SetTempo(std::uint32_t tempo) override { return m_real.SetTempo(tempo); }
    void SetMetronome(bool on) override { m_real.SetMetronome(on); }
    void SetOutputDelay(std::uint16_t ms) override { m_real.SetOutputDelay(ms); }
    std::map<std::uint32_t, int> queueOf;
    std::map<std::uint16_t, int> codeQueue;

private:
    Sequencer& m_real;
};

} // namespace pv::test
