// The event in which a sequencer notification reaches its window on the GUI thread.
#pragma once

#include <cstdint>

#include <QEvent>

namespace pv {

class SequencerNotifyEvent final : public QEvent
{
public:
    SequencerNotifyEvent(std::uint16_t code, std::uint32_t generation)
        : QEvent(Type()), m_code(code), m_generation(generation)
    {
    }

    /// The registered event type (QEvent::User + 1280 when that number is free).
    static QEvent::Type Type();

    /// The notification code as the receiver is to read it.
    std::uint16_t Code() const { return m_code; }
    /// The sequencer generation (one per playback between two stops) that sent it.
    std::uint32_t Generation() const { return m_generation; }

private:
    std::uint16_t m_code;
    std::uint32_t m_generation;
};

} // namespace pv
