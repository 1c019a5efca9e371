// The MIDI byte stream.
#include "music/input/MidiInParser.h"

namespace pv {

namespace {

int DataBytesOf(std::uint8_t status)
{
    const unsigned kind = status & 0xF0U;
    return kind == 0xC0U || kind == 0xD0U ? 1 : 2;
}

} // namespace

bool MidiInParser::Feed(std::uint8_t byte, std::uint32_t& message)
{
    if (byte >= 0xF8U)
        return false; // real time: clock, start, stop, active sensing, reset
    if (byte >= 0xF0U) {
        // System exclusive and system common end any running status; their data bytes that
        // follow belong to no channel message.
        Reset();
        return false;
    }
    if (byte >= 0x80U) {
        m_status = byte;
        m_count = 0;
        return false;
    }
    if (m_status == 0)
        return false;
    m_data[m_count++] = byte;
    if (m_count < DataBytesOf(m_status))
        return false;
    m_count = 0;
    const std::uint32_t second = DataBytesOf(m_status) == 2 ? m_data[1] : 0U;
    message = m_status | (static_cast<std::uint32_t>(m_data[0]) << 8) | (second << 16);
    return true;
}

void MidiInParser::Reset()
{
    m_status = 0;
    m_count = 0;
}

} // namespace pv
