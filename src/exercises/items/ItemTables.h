// The answer items of the item-based exercises (chords, inversions, intervals, scales and
// progressions) in their fixed 26,956-byte layout, with the built-in table.
#pragma once

#include "music/base/ExerciseKind.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include <QString>

namespace pv {

constexpr std::size_t kItemCount = 60;        ///< items (and progressions) per table
constexpr std::size_t kItemNoteCount = 12;    ///< note entries per item, chords per progression
constexpr std::size_t kItemNameCapacity = 50; ///< string[50]
constexpr std::size_t kItemTableSize = 6000;
constexpr std::size_t kItemTablesSize = 26956;

/// Byte offsets of the blocks inside `ItemTables`.
constexpr std::size_t kChordTableOffset = 16;
constexpr std::size_t kInversionTableOffset = 6016;
constexpr std::size_t kIntervalTableOffset = 12016;
constexpr std::size_t kScaleTableOffset = 18016;
constexpr std::size_t kProgressionTableOffset = 24016;
constexpr std::size_t kProgressionCountOffset = 26896;

/// Byte offsets inside one `ItemTable`.
constexpr std::size_t kItemTableCountOffset = 2880;
constexpr std::size_t kItemTableNameOffset = 2940;
constexpr std::size_t kItemDefinitionSize = 48;
constexpr std::size_t kItemNameFieldSize = 51;

/// Spelling shifts of a note entry (written natural letter minus sounding pitch).
constexpr std::int8_t kShiftNatural = 0;
constexpr std::int8_t kShiftFlat = 1;
constexpr std::int8_t kShiftSharp = -1;
constexpr std::int8_t kShiftDoubleFlat = 2;

/// One note of an item, 4 bytes.
struct ItemNote
{
    std::uint8_t Note = 0;   ///< MIDI note number, items lie with C (60) as their root
    std::int8_t Shift = 0;   ///< spelling shift: 0 natural, +1 flat, -1 sharp, +2 double flat
    std::uint8_t Code = 0;   ///< inversions table: note 1 the chord type, note 2 the inversion
    std::uint8_t String = 0; ///< guitar string 1..6 in the chord tables, else 0
    bool operator==(const ItemNote&) const = default;
};

/// The twelve note entries of an item, 48 bytes.
struct ItemDefinition
{
    std::array<ItemNote, kItemNoteCount> Notes{};
    bool operator==(const ItemDefinition&) const = default;
};

/// One table of 60 items, 6000 bytes. Items are numbered 1..60; the accessors take that number
/// and give an empty item for any other.
struct ItemTable
{
    std::array<ItemDefinition, kItemCount> Items{};
    std::array<std::uint8_t, kItemCount> Counts{}; ///< 0 = empty slot, at most 12
    std::array<QString, kItemCount> Names{};

    std::uint8_t NoteCount(int item) const;
    QString Name(int item) const;
    /// The item's notes, cut to its note count.
    std::vector<ItemNote> Notes(int item) const;
    bool operator==(const ItemTable&) const = default;
};

/// One chord of a progression, 4 bytes.
struct ProgressionChord
{
    std::uint8_t Root = 0;      ///< MIDI note of the root, 60 = the tonic C
    std::int8_t Shift = 0;      ///< spelling shift of the root
    std::uint8_t ChordType = 0; ///< zero-based item index in the chord identification table
    std::uint8_t Unused = 0;
    bool operator==(const ProgressionChord&) const = default;
};

/// The twelve chord entries of a progression, 48 bytes.
struct ProgressionDefinition
{
    std::array<ProgressionChord, kItemNoteCount> Chords{};
    bool operator==(const ProgressionDefinition&) const = default;
};

/// All item tables, 26,956 bytes.
struct ItemTables
{
    std::array<std::uint8_t, 16> Unused{};
    ItemTable ChordIdentification;                                ///< exercise kind 1
    ItemTable ChordInversions;                                    ///< exercise kind 7
    ItemTable IntervalIdentification;                             ///< exercise kind 2
    ItemTable Scales;                                             ///< exercise kind 8
    std::array<ProgressionDefinition, kItemCount> Progressions{}; ///< exercise kind 10
    std::array<std::uint8_t, kItemCount> ProgressionCounts{};     ///< chords per progression

    /// The chord count of progression 1..60 (0 for any other number).
    std::uint8_t ProgressionCount(int item) const;
    /// The progression's chords, cut to its chord count.
    std::vector<ProgressionChord> ProgressionChords(int item) const;
    bool operator==(const ItemTables&) const = default;
};

/// The 48 bytes of an item's twelve note entries or a progression's twelve chords, as the item
/// tables, tutor files and the user item file store them (4 bytes each).
using ItemEntryBytes = std::array<std::uint8_t, kItemDefinitionSize>;
ItemEntryBytes EncodeItemEntries(const ItemDefinition& item);
ItemEntryBytes EncodeItemEntries(const ProgressionDefinition& progression);
ItemDefinition DecodeItemDefinition(std::span<const std::uint8_t, kItemDefinitionSize> bytes);
ProgressionDefinition
DecodeProgressionDefinition(std::span<const std::uint8_t, kItemDefinitionSize> bytes);

/// One of the four note tables; nothing for the progressions, which hold chords.
ItemTable* NoteTable(ItemTables& tables, ItemTableId table);
const ItemTable* NoteTable(const ItemTables& tables, ItemTableId table);
/// The note table a kind owns (kinds 1, 2, 7, 8); nothing for the others, progressions
/// included.
ItemTable* TableOfKind(ItemTables& tables, ExerciseKind kind);
const ItemTable* TableOfKind(const ItemTables& tables, ExerciseKind kind);

/// An item can be asked only with 1..12 notes (or chords); a count of 0 marks an empty slot
/// whatever its note bytes hold.
constexpr bool IsUsableCount(int count)
{
    return count >= 1 && count <= static_cast<int>(kItemNoteCount);
}

/// The items built into the program, copied into `ExerciseItems` at start.
const ItemTables& BuiltInItemTables();

/// The exact 26,956 bytes of the tables.
std::vector<std::uint8_t> EncodeItemTables(const ItemTables& tables);
/// Reads the first 26,956 bytes; nothing when fewer are given. Counts above 12 (a damaged
/// file) are read as 12 and name lengths above 50 as 50, so no reader runs past an item.
std::optional<ItemTables> DecodeItemTables(std::span<const std::uint8_t> bytes);

/// One 6000-byte table, with the same rules.
std::vector<std::uint8_t> EncodeItemTable(const ItemTable& table);
std::optional<ItemTable> DecodeItemTable(std::span<const std::uint8_t> bytes);

} // namespace pv
