// Access to the item tables and their byte codec.
#include "exercises/items/ItemTables.h"

#include "music/files/ByteIO.h"

#include <algorithm>
#include <utility>

namespace pv {

namespace {

bool IsItemNumber(int item)
{
    return item >= 1 && item <= static_cast<int>(kItemCount);
}

std::size_t Index(int item)
{
    return static_cast<std::size_t>(item - 1);
}

// A count above 12 would send every reader past the item's twelve entries.
std::uint8_t ClampCount(std::uint8_t count)
{
    return std::min(count, static_cast<std::uint8_t>(kItemNoteCount));
}

// The one layout of a 4-byte entry, a note of an item or a chord of a progression: a u8, the
// spelling shift as an i8, and two u8. Each entry type names its four fields here, and one
// reader and one writer serve both.
template <class Entry> struct EntryFields;
template <> struct EntryFields<ItemNote>
{
    static constexpr auto kFirst = &ItemNote::Note;
    static constexpr auto kShift = &ItemNote::Shift;
    static constexpr auto kThird = &ItemNote::Code;
    static constexpr auto kFourth = &ItemNote::String;
};
template <> struct EntryFields<ProgressionChord>
{
    static constexpr auto kFirst = &ProgressionChord::Root;
    static constexpr auto kShift = &ProgressionChord::Shift;
    static constexpr auto kThird = &ProgressionChord::ChordType;
    static constexpr auto kFourth = &ProgressionChord::Unused;
};

constexpr std::size_t kItemEntrySize = 4;
static_assert(kItemEntrySize * kItemNoteCount == kItemDefinitionSize);

template <class Entry>
void WriteEntries(ByteWriter& w, std::size_t at, const std::array<Entry, kItemNoteCount>& entries)
{
    using F = EntryFields<Entry>;
    for (const Entry& e : entries) {
        w.U8(at, e.*F::kFirst);
        w.I8(at + 1, e.*F::kShift);
        w.U8(at + 2, e.*F::kThird);
        w.U8(at + 3, e.*F::kFourth);
        at += kItemEntrySize;
    }
}

template <class Entry>
void ReadEntries(const ByteReader& r, std::size_t at, std::array<Entry, kItemNoteCount>& entries)
{
    using F = EntryFields<Entry>;
    for (Entry& e : entries) {
        e.*F::kFirst = r.U8(at);
        e.*F::kShift = r.I8(at + 1);
        e.*F::kThird = r.U8(at + 2);
        e.*F::kFourth = r.U8(at + 3);
        at += kItemEntrySize;
    }
}

template <class Entry>
ItemEntryBytes EncodeEntries(const std::array<Entry, kItemNoteCount>& entries)
{
    ItemEntryBytes bytes{};
    ByteWriter w(bytes);
    WriteEntries(w, 0, entries);
    return bytes;
}

template <class Entry>
std::array<Entry, kItemNoteCount>
DecodeEntries(std::span<const std::uint8_t, kItemDefinitionSize> bytes)
{
    std::array<Entry, kItemNoteCount> entries{};
    ReadEntries(ByteReader(bytes), 0, entries);
    return entries;
}

void WriteTable(ByteWriter& w, std::size_t base, const ItemTable& table)
{
    for (std::size_t i = 0; i < kItemCount; ++i) {
        WriteEntries(w, base + i * kItemDefinitionSize, table.Items[i].Notes);
        w.U8(base + kItemTableCountOffset + i, table.Counts[i]);
        w.LengthPrefixedString(base + kItemTableNameOffset + i * kItemNameFieldSize,
                               kItemNameCapacity, table.Names[i]);
    }
}

ItemTable ReadTable(const ByteReader& r, std::size_t base)
{
    ItemTable table;
    for (std::size_t i = 0; i < kItemCount; ++i) {
        ReadEntries(r, base + i * kItemDefinitionSize, table.Items[i].Notes);
        table.Counts[i] = ClampCount(r.U8(base + kItemTableCountOffset + i));
        table.Names[i] = r.LengthPrefixedString(
            base + kItemTableNameOffset + i * kItemNameFieldSize, kItemNameCapacity);
    }
    return table;
}

} // namespace

std::uint8_t ItemTable::NoteCount(int item) const
{
    return IsItemNumber(item) ? ClampCount(Counts[Index(item)]) : 0;
}

QString ItemTable::Name(int item) const
{
    return IsItemNumber(item) ? Names[Index(item)] : QString();
}

std::vector<ItemNote> ItemTable::Notes(int item) const
{
    if (!IsItemNumber(item))
        return {};
    const auto& notes = Items[Index(item)].Notes;
    return {notes.begin(), notes.begin() + NoteCount(item)};
}

std::uint8_t ItemTables::ProgressionCount(int item) const
{
    return IsItemNumber(item) ? ClampCount(ProgressionCounts[Index(item)]) : 0;
}

std::vector<ProgressionChord> ItemTables::ProgressionChords(int item) const
{
    if (!IsItemNumber(item))
        return {};
    const auto& chords = Progressions[Index(item)].Chords;
    return {chords.begin(), chords.begin() + ProgressionCount(item)};
}

ItemEntryBytes EncodeItemEntries(const ItemDefinition& item)
{
    return EncodeEntries(item.Notes);
}

ItemEntryBytes EncodeItemEntries(const ProgressionDefinition& progression)
{
    return EncodeEntries(progression.Chords);
}

ItemDefinition DecodeItemDefinition(std::span<const std::uint8_t, kItemDefinitionSize> bytes)
{
    return {DecodeEntries<ItemNote>(bytes)};
}

ProgressionDefinition
DecodeProgressionDefinition(std::span<const std::uint8_t, kItemDefinitionSize> bytes)
{
    return {DecodeEntries<ProgressionChord>(bytes)};
}

ItemTable* NoteTable(ItemTables& tables, ItemTableId table)
{
    return const_cast<ItemTable*>(NoteTable(std::as_const(tables), table));
}

const ItemTable* NoteTable(const ItemTables& tables, ItemTableId table)
{
    switch (table) {
    case ItemTableId::ChordIdentification:
        return &tables.ChordIdentification;
    case ItemTableId::IntervalIdentification:
        return &tables.IntervalIdentification;
    case ItemTableId::ChordInversions:
        return &tables.ChordInversions;
    case ItemTableId::Scales:
        return &tables.Scales;
    case ItemTableId::Progressions:
        break;
    }
    return nullptr;
}

ItemTable* TableOfKind(ItemTables& tables, ExerciseKind kind)
{
    return const_cast<ItemTable*>(TableOfKind(std::as_const(tables), kind));
}

const ItemTable* TableOfKind(const ItemTables& tables, ExerciseKind kind)
{
    const std::optional<ItemTableId> table = KindFacts(kind).ItemTable;
    return table ? NoteTable(tables, *table) : nullptr;
}

std::vector<std::uint8_t> EncodeItemTable(const ItemTable& table)
{
    std::vector<std::uint8_t> bytes(kItemTableSize, 0);
    ByteWriter w(bytes);
    WriteTable(w, 0, table);
    return bytes;
}

std::optional<ItemTable> DecodeItemTable(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < kItemTableSize)
        return std::nullopt;
    return ReadTable(ByteReader(bytes.first(kItemTableSize)), 0);
}

std::vector<std::uint8_t> EncodeItemTables(const ItemTables& tables)
{
    std::vector<std::uint8_t> bytes(kItemTablesSize, 0);
    ByteWriter w(bytes);
    w.Bytes(0, tables.Unused);
    WriteTable(w, kChordTableOffset, tables.ChordIdentification);
    WriteTable(w, kInversionTableOffset, tables.ChordInversions);
    WriteTable(w, kIntervalTableOffset, tables.IntervalIdentification);
    WriteTable(w, kScaleTableOffset, tables.Scales);
    for (std::size_t i = 0; i < kItemCount; ++i) {
        WriteEntries(w, kProgressionTableOffset + i * kItemDefinitionSize,
                     tables.Progressions[i].Chords);
        w.U8(kProgressionCountOffset + i, tables.ProgressionCounts[i]);
    }
    return bytes;
}

std::optional<ItemTables> DecodeItemTables(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < kItemTablesSize)
        return std::nullopt;
    const ByteReader r(bytes.first(kItemTablesSize));
    ItemTables tables;
    const auto unused = r.Bytes(0, tables.Unused.size());
    std::copy(unused.begin(), unused.end(), tables.Unused.begin());
    tables.ChordIdentification = ReadTable(r, kChordTableOffset);
    tables.ChordInversions = ReadTable(r, kInversionTableOffset);
    tables.IntervalIdentification = ReadTable(r, kIntervalTableOffset);
    tables.Scales = ReadTable(r, kScaleTableOffset);
    for (std::size_t i = 0; i < kItemCount; ++i) {
        ReadEntries(r, kProgressionTableOffset + i * kItemDefinitionSize,
                    tables.Progressions[i].Chords);
        tables.ProgressionCounts[i] = ClampCount(r.U8(kProgressionCountOffset + i));
    }
    return tables;
}

} // namespace pv
