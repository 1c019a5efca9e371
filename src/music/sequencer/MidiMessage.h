// Packing of MIDI short messages, with every data byte and channel kept in its range.
#pragma once

#include <cstdint>

namespace pv {

inline constexpr std::uint8_t kStatusNoteOff = 0x80;
inline constexpr std::uint8_t kStatusNoteOn = 0x90;
inline constexpr std::uint8_t kStatusControlChange = 0xB0;
inline constexpr std::uint8_t kStatusProgramChange = 0xC0;
inline constexpr std::uint8_t kControllerResetAll = 121;
inline constexpr std::uint8_t kControllerAllNotesOff = 123;

/// A data byte from a wider value: a value of 128 or more would spill into the next byte of
/// the packed message, so it is held at 0..127.
constexpr std::uint8_t ClampDataByte(int value)
{
    return static_cast<std::uint8_t>(value < 0 ? 0 : (value > 127 ? 127 : value));
}

/// A channel 0..15 from a wider value (only the low four bits reach the status byte).
constexpr std::uint8_t MaskChannel(int channel)
{
    return static_cast<std::uint8_t>(static_cast<unsigned>(channel) & 0x0FU);
}

constexpr std::uint32_t PackShortMessage(std::uint8_t status, std::uint8_t data1,
                                         std::uint8_t data2)
{
    return static_cast<std::uint32_t>(status) | ((static_cast<std::uint32_t>(data1) & 0x7FU) << 8) |
           ((static_cast<std::uint32_t>(data2) & 0x7FU) << 16);
}

constexpr std::uint32_t NoteOnMessage(int channel, int note, int velocity)
{
    return PackShortMessage(static_cast<std::uint8_t>(kStatusNoteOn | MaskChannel(channel)),
                            ClampDataByte(note), ClampDataByte(velocity));
}

constexpr std::uint32_t NoteOffMessage(int channel, int note)
{
    return PackShortMessage(static_cast<std::uint8_t>(kStatusNoteOff | MaskChannel(channel)),
                            ClampDataByte(note), 0);
}

constexpr std::uint32_t ControlChangeMessage(int channel, int controller, int value)
{
    return PackShortMessage(static_cast<std::uint8_t>(kStatusControlChange | MaskChannel(channel)),
                            ClampDataByte(controller), ClampDataByte(value));
}

constexpr std::uint32_t ProgramChangeMessage(int channel, int program)
{
    return PackShortMessage(static_cast<std::uint8_t>(kStatusProgramChange | MaskChannel(channel)),
                            ClampDataByte(program), 0);
}

constexpr std::uint8_t MessageStatus(std::uint32_t packed)
{
    return static_cast<std::uint8_t>(packed & 0xFFU);
}
constexpr std::uint8_t MessageData1(std::uint32_t packed)
{
    return static_cast<std::uint8_t>((packed >> 8) & 0xFFU);
}
constexpr std::uint8_t MessageData2(std::uint32_t packed)
{
    return static_cast<std::uint8_t>((packed >> 16) & 0xFFU);
}

/// Note off, or note on with velocity 0 (which every device treats as note off).
constexpr bool IsNoteOffMessage(std::uint32_t packed)
{
    const std::uint8_t kind = MessageStatus(packed) & 0xF0U;
    return kind == kStatusNoteOff || (kind == kStatusNoteOn && MessageData2(packed) == 0);
}

} // namespace pv
