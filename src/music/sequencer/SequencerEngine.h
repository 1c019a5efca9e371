// The sequencer's scheduler without a thread: two queues of events on one tick timeline,
// driven by whoever calls RunUntil with the current time.
#pragma once

#include "music/sequencer/SequencerTypes.h"

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <utility>

#include <QObject>
#include <QPointer>

namespace pv {

using NotifyTarget = QPointer<QObject>;

/// What the scheduler produces when events fall due.
class ISequencerOutput
{
public:
    virtual ~ISequencerOutput() = default;
    /// dueUs: when the message was due (its time plus the output delay).
    virtual void SendMidi(std::uint32_t packed, std::uint64_t dueUs) = 0;
    virtual void PostNotify(const NotifyTarget& target, std::uint16_t code,
                            std::uint32_t generation) = 0;
};

class SequencerEngine
{
public:
    static constexpr std::uint32_t kDefaultTempo = 90;
    /// Faster tempos are held here; the tick arithmetic stays far inside 64 bits.
    static constexpr std::uint32_t kMaxTempo = 100000;
    static constexpr std::uint16_t kMaxOutputDelayMs = 400;

    /// Appends to a queue; while playing the event takes its place on that queue's timeline.
    void QueueMidi(SequencerQueue queue, std::uint32_t packed);
    void QueueWait(SequencerQueue queue, std::uint32_t ticks);
    void QueueNotify(SequencerQueue queue, const NotifyTarget& target, std::uint16_t code);

    /// Starts both queues together at nowUs; while still playing nothing changes.
    void Start(std::uint64_t nowUs);
    /// Ends the playback when it is over at nowUs: both queues empty, their last waits ended
    /// and no message held by the output delay. Events queued afterwards wait for a Start,
    /// which anchors them at its own moment instead of on the old timeline, where they would
    /// all be due at once. Unlike Stop it begins no new generation.
    void GoIdleIfDone(std::uint64_t nowUs);
    /// Empties both queues and the messages waiting for the output delay, and begins a new
    /// generation so that notifications of the stopped playback can be told apart.
    void Stop();
    /// A tick lasts 90 / tempo ms from nowUs on. Tempo 0 is refused (false, nothing changes).
    bool SetTempo(std::uint32_t tempo, std::uint64_t nowUs);
    /// Milliseconds by which MIDI messages leave after their due time (held at 0..400).
    void SetOutputDelay(std::uint32_t ms);
    /// Off: the click queue's messages are not sent, apart from note offs (a click switched
    /// off while it sounds still ends); its waits and notifications go on unchanged.
    void SetMetronome(bool on);

    /// Sends and posts, in time order, everything due at or before nowUs.
    void RunUntil(std::uint64_t nowUs, ISequencerOutput& output);
    /// The time of the next message or notification, else of the end of the playback (the end
    /// of its last wait); nothing when not playing.
    std::optional<std::uint64_t> NextDueUs() const;

    bool Playing() const { return m_playing; }
    std::uint32_t Generation() const { return m_generation; }
    std::uint32_t Tempo() const { return m_tempo; }
    std::uint16_t OutputDelayMs() const { return m_outputDelayMs; }
    bool Metronome() const { return m_metronome; }
    /// Events still queued on both queues plus messages held back by the output delay.
    std::size_t PendingCount() const;

private:
    struct Event
    {
        SequencerEventKind kind = SequencerEventKind::Wait;
        std::uint32_t value = 0;
        NotifyTarget target;
    };
    struct Queue
    {
        std::deque<Event> events;
        std::int64_t tick = 0; ///< position of the queue's next event on the tick timeline
    };

    Queue* QueueOf(SequencerQueue queue);
    std::int64_t TimeOfTick(std::int64_t tick) const;
    std::optional<std::int64_t> NextEventTime(const Queue& queue) const;
    /// When the queue's last queued wait ends.
    std::int64_t EndTime(const Queue& queue) const;

    std::array<Queue, 2> m_queues;
    /// Messages waiting for the output delay, by (send time, order of arrival).
    std::map<std::pair<std::uint64_t, std::uint64_t>, std::uint32_t> m_delayed;
    std::uint64_t m_arrival = 0;
    bool m_playing = false;
    std::uint32_t m_generation = 1;
    std::uint32_t m_tempo = kDefaultTempo;
    std::uint16_t m_outputDelayMs = 0;
    bool m_metronome = true;
    // The timeline is counted in units of 1/90000 tick, so that one microsecond is exactly
    // tempo units: positions and times stay integers across any tempo change.
    std::int64_t m_anchorUs = 0;
    std::int64_t m_anchorUnits = 0;
};

} // namespace pv
