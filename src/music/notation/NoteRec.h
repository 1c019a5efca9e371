// The 20-byte note record in which every note list of the program lives, and its codec.
#pragma once

#include "music/files/ByteIO.h"
#include "music/notation/Pitch.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace pv {

inline constexpr std::size_t kNoteRecSize = 20;
/// AccidentalColumn value of a note without an accidental sign.
inline constexpr std::uint8_t kNoAccidentalColumn = 255;

struct TNoteRec
{
    TPitch Pitch;                      ///< byte 0..1
    std::uint8_t AccidentalInput = 0;  ///< 3 bb, 4 b, 5 natural, 6 #, 7 ##; else none chosen
    std::uint8_t GuitarString = 0;     ///< 1..6 user, 16 + 1..6 program, 0 or 16 none
    std::uint8_t Duration = 0;         ///< 1 whole .. 6 thirty-second
    std::uint8_t VelocityLevel = 0;    ///< 0..2
    std::uint8_t BarLine = 0;          ///< 0 none, 1 single, 2+ double bar line after the note
    std::uint8_t Free7 = 0;            ///< belongs to the owning list
    std::int32_t X = 0;                ///< note head x on the staff (pixels)
    std::int32_t Y = 0;                ///< note head y on the staff (pixels)
    std::uint8_t Sideways = 0;         ///< 1: head drawn 14 pixels to the right of its column
    std::uint8_t AccidentalColumn = 0; ///< column of the accidental in a chord, 255 none
    std::uint8_t Free18 = 0;           ///< belongs to the owning list
    std::uint8_t Staff = 0;            ///< 1: the bass staff

    friend bool operator==(const TNoteRec&, const TNoteRec&) = default;
};

/// Reads one record at offset (inside a larger record); a short span marks the reader failed.
TNoteRec ReadNoteRec(const ByteReader& reader, std::size_t offset);
/// Writes one record at offset; a short span marks the writer failed.
void WriteNoteRec(ByteWriter& writer, std::size_t offset, const TNoteRec& rec);

/// The record in the first 20 bytes; nothing when fewer bytes are given.
std::optional<TNoteRec> DecodeNoteRec(std::span<const std::uint8_t> bytes);
std::array<std::uint8_t, kNoteRecSize> EncodeNoteRec(const TNoteRec& rec);

} // namespace pv
