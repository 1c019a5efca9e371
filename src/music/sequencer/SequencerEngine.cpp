// The sequencer's scheduler.
#include "music/sequencer/SequencerEngine.h"

#include "music/base/Log.h"
#include "music/sequencer/MidiMessage.h"

#include <algorithm>

namespace pv {

namespace {
constexpr std::int64_t kUnitsPerTick = 90000;
}

SequencerEngine::Queue* SequencerEngine::QueueOf(SequencerQueue queue)
{
    switch (queue) {
    case SequencerQueue::Music:
        return &m_queues[0];
    case SequencerQueue::Click:
        return &m_queues[1];
    }
    PV_SOFT_CHECK(false && "sequencer queue outside 1..2");
    return nullptr;
}

void SequencerEngine::QueueMidi(SequencerQueue queue, std::uint32_t packed)
{
    if (Queue* q = QueueOf(queue))
        q->events.push_back({SequencerEventKind::MidiMessage, packed, {}});
}

void SequencerEngine::QueueWait(SequencerQueue queue, std::uint32_t ticks)
{
    if (Queue* q = QueueOf(queue))
        q->events.push_back({SequencerEventKind::Wait, ticks, {}});
}

void SequencerEngine::QueueNotify(SequencerQueue queue, const NotifyTarget& target,
                                  std::uint16_t code)
{
    if (Queue* q = QueueOf(queue))
        q->events.push_back({SequencerEventKind::Notify, code, target});
}

void SequencerEngine::Start(std::uint64_t nowUs)
{
    GoIdleIfDone(nowUs);
    if (m_playing)
        return;
    m_playing = true;
    m_anchorUs = static_cast<std::int64_t>(nowUs);
    m_anchorUnits = 0;
    for (Queue& q : m_queues)
        q.tick = 0;
}

void SequencerEngine::GoIdleIfDone(std::uint64_t nowUs)
{
    if (!m_playing || !m_delayed.empty())
        return;
    const auto now = static_cast<std::int64_t>(nowUs);
    for (const Queue& q : m_queues) {
        // A queue still inside its last wait plays on: what is appended now keeps its place.
        if (!q.events.empty() || TimeOfTick(q.tick) > now)
            return;
    }
    m_playing = false;
}

void SequencerEngine::Stop()
{
    for (Queue& q : m_queues) {
        q.events.clear();
        q.tick = 0;
    }
    m_delayed.clear();
    m_playing = false;
    ++m_generation;
}

bool SequencerEngine::SetTempo(std::uint32_t tempo, std::uint64_t nowUs)
{
    if (tempo < 1)
        return false;
    tempo = std::min(tempo, kMaxTempo);
    if (m_playing) {
        const auto now = static_cast<std::int64_t>(nowUs);
        m_anchorUnits += (now - m_anchorUs) * static_cast<std::int64_t>(m_tempo);
        m_anchorUs = now;
    }
    m_tempo = tempo;
    return true;
}

void SequencerEngine::SetOutputDelay(std::uint32_t ms)
{
    m_outputDelayMs = static_cast<std::uint16_t>(std::min<std::uint32_t>(ms, kMaxOutputDelayMs));
}

void SequencerEngine::SetMetronome(bool on)
{
    m_metronome = on;
}

std::int64_t SequencerEngine::TimeOfTick(std::int64_t tick) const
{
    const std::int64_t units = tick * kUnitsPerTick - m_anchorUnits;
    const auto tempo = static_cast<std::int64_t>(m_tempo);
    // Rounded up: an event is never due before its tick has fully passed.
    const std::int64_t us = units >= 0 ? (units + tempo - 1) / tempo : units / tempo;
    return m_anchorUs + us;
}

std::optional<std::int64_t> SequencerEngine::NextEventTime(const Queue& queue) const
{
    if (!m_playing)
        return std::nullopt;
    std::int64_t tick = queue.tick;
    for (const Event& e : queue.events) {
        if (e.kind != SequencerEventKind::Wait)
            return TimeOfTick(tick);
        tick += e.value;
    }
    return std::nullopt;
}

std::int64_t SequencerEngine::EndTime(const Queue& queue) const
{
    std::int64_t tick = queue.tick;
    for (const Event& e : queue.events) {
        if (e.kind == SequencerEventKind::Wait)
            tick += e.value;
    }
    return TimeOfTick(tick);
}

std::optional<std::uint64_t> SequencerEngine::NextDueUs() const
{
    std::optional<std::int64_t> best;
    for (const Queue& q : m_queues) {
        if (const auto t = NextEventTime(q); t && (!best || *t < *best))
            best = t;
    }
    if (!m_delayed.empty()) {
        const auto t = static_cast<std::int64_t>(m_delayed.begin()->first.first);
        if (!best || t < *best)
            best = t;
    }
    if (!best && m_playing) {
        // Nothing left but waits: the playback ends when the last of them does.
        best = std::max(EndTime(m_queues[0]), EndTime(m_queues[1]));
    }
    if (!best)
        return std::nullopt;
    return static_cast<std::uint64_t>(std::max<std::int64_t>(0, *best));
}

std::size_t SequencerEngine::PendingCount() const
{
    return m_queues[0].events.size() + m_queues[1].events.size() + m_delayed.size();
}

void SequencerEngine::RunUntil(std::uint64_t nowUs, ISequencerOutput& output)
{
    const auto now = static_cast<std::int64_t>(nowUs);
    const std::uint32_t generation = m_generation;
    for (;;) {
        // The generation changes only through Stop, which a receiver could reach only from
        // the GUI thread; a change here means the output called back into us: stop at once.
        if (m_generation != generation)
            return;
        Queue* due = nullptr;
        std::int64_t dueTime = 0;
        if (m_playing) {
            for (Queue& q : m_queues) {
                if (q.events.empty())
                    continue;
                const std::int64_t t = TimeOfTick(q.tick);
                // Ties go to the music queue, the first in the array.
                if (t <= now && (due == nullptr || t < dueTime)) {
                    due = &q;
                    dueTime = t;
                }
            }
        }
        if (!m_delayed.empty()) {
            const auto first = m_delayed.begin();
            const auto sendTime = static_cast<std::int64_t>(first->first.first);
            // A message already due goes before an event of the same time: with no delay a
            // message leaves before the next event of its time is even looked at.
            if (sendTime <= now && (due == nullptr || sendTime <= dueTime)) {
                const std::uint32_t packed = first->second;
                m_delayed.erase(first);
                output.SendMidi(packed, static_cast<std::uint64_t>(sendTime));
                continue;
            }
        }
        if (due == nullptr) {
            GoIdleIfDone(nowUs);
            return;
        }
        const Event event = due->events.front();
        due->events.pop_front();
        switch (event.kind) {
        case SequencerEventKind::Wait:
            due->tick += event.value;
            break;
        case SequencerEventKind::MidiMessage: {
            const bool clickQueue = due == &m_queues[1];
            if (clickQueue && !m_metronome && !IsNoteOffMessage(event.value))
                break;
            const auto sendTime = static_cast<std::uint64_t>(std::max<std::int64_t>(0, dueTime)) +
                                  static_cast<std::uint64_t>(m_outputDelayMs) * 1000U;
            m_delayed.emplace(std::make_pair(sendTime, m_arrival++), event.value);
            break;
        }
        case SequencerEventKind::Notify:
            output.PostNotify(event.target, static_cast<std::uint16_t>(event.value), generation);
            break;
        }
    }
}

} // namespace pv
