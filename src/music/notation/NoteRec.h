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

/// The record's layout, read by a FieldReader and written by a FieldWriter. A record holding
/// notes visits each through it: `Nested(io, at, kNoteRecSize, note, kNoteRecFields)`.
template <class IO, class Rec> void NoteRecFields(IO& io, Rec& rec)
{
    io.I8(0, rec.Pitch.Note);
    io.I8(1, rec.Pitch.Shift);
    io.U8(2, rec.AccidentalInput);
    io.U8(3, rec.GuitarString);
    io.U8(4, rec.Duration);
    io.U8(5, rec.VelocityLevel);
    io.U8(6, rec.BarLine);
    io.U8(7, rec.Free7);
    io.I32(8, rec.X);
    io.I32(12, rec.Y);
    io.U8(16, rec.Sideways);
    io.U8(17, rec.AccidentalColumn);
    io.U8(18, rec.Free18);
    io.U8(19, rec.Staff);
}

inline constexpr auto kNoteRecFields = [](auto& io, auto& rec) { NoteRecFields(io, rec); };

/// The record in the first 20 bytes; nothing when fewer bytes are given.
std::optional<TNoteRec> DecodeNoteRec(std::span<const std::uint8_t> bytes);
std::array<std::uint8_t, kNoteRecSize> EncodeNoteRec(const TNoteRec& rec);

} // namespace pv
