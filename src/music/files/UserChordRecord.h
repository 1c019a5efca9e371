// The 106-byte record of Chord.dat: one user-defined item of an item table.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include <QString>

namespace pv {

inline constexpr std::size_t kUserChordRecSize = 106;
/// Twelve note entries of four bytes, in the item tables' note format.
using ItemNoteEntries = std::array<std::uint8_t, 48>;
inline constexpr std::uint8_t kMaxItemNotes = 12;

struct TUserChordRec
{
    std::uint8_t Kind = 0;      ///< 1, 2, 7, 8 or 10
    std::uint8_t NoteCount = 0; ///< 0 = the slot is empty
    std::int32_t Index = 0;     ///< 1..60 in the kind's table
    ItemNoteEntries Notes{};
    QString Name; ///< string[50]; kinds 1, 2, 7, 8
    /// The record as stored; padding is written back from here.
    std::array<std::uint8_t, kUserChordRecSize> Raw{};

    bool operator==(const TUserChordRec&) const = default;
};

/// Nothing unless bytes holds exactly one record.
std::optional<TUserChordRec> DecodeUserChordRec(std::span<const std::uint8_t> bytes);
std::array<std::uint8_t, kUserChordRecSize> EncodeUserChordRec(const TUserChordRec& rec);

} // namespace pv
