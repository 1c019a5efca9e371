// Cuts a stream of MIDI bytes into channel messages.
#pragma once

#include <cstdint>

namespace pv {

/// Bytes in, packed channel messages (status + 256 * data 1 + 65536 * data 2) out. Running
/// status is followed; system exclusive, system common and real-time bytes are passed over
/// (a real-time byte may sit inside a message without breaking it); data bytes with no status
/// to belong to are dropped.
class MidiInParser
{
public:
    /// Takes one byte; true when it completed a message, which is then in message.
    bool Feed(std::uint8_t byte, std::uint32_t& message);
    /// Forgets any message begun and the running status.
    void Reset();

private:
    std::uint8_t m_status = 0; ///< the running status; 0 when none (also inside system bytes)
    std::uint8_t m_data[2] = {0, 0};
    int m_count = 0;
};

} // namespace pv
