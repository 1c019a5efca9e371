// The event in which one MIDI short message from the input reaches its receiver on the GUI
// thread.
#pragma once

#include <cstdint>

#include <QEvent>

namespace pv {

class MidiInEvent final : public QEvent
{
public:
    MidiInEvent(std::uint32_t message, std::uint32_t timeMs, std::uint8_t target)
        : QEvent(EventType()), m_message(message), m_timeMs(timeMs), m_target(target)
    {
    }
    /// Registered once, as QEvent::User + 963 when that number is free.
    static QEvent::Type EventType();

    /// Packed as status + 256 * data 1 + 65536 * data 2.
    std::uint32_t Message() const { return m_message; }
    /// When it was received, in milliseconds of the program's shared clock.
    std::uint32_t TimeMs() const { return m_timeMs; }
    /// Who was to receive the input when it came in (never 0: then nothing is posted).
    std::uint8_t Target() const { return m_target; }

private:
    std::uint32_t m_message;
    std::uint32_t m_timeMs;
    std::uint8_t m_target;
};

} // namespace pv
