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

void WriteTable(ByteWriter& w, std::size_t base, const ItemTable& table)
{
    for (std::size_t i = 0; i < kItemCount; ++i) {
        for (std::size_t n = 0; n < kItemNoteCount; ++n) {
            const ItemNote& note = table.Items[i].Notes[n];
            const std::size_t at = base + i * kItemDefinitionSize + n * 4;
            w.U8(at, note.Note);
            w.I8(at + 1, note.Shift);
            w.U8(at + 2, note.Code);
            w.U8(at + 3, note.String);
        }
        w.U8(base + kItemTableCountOffset + i, table.Counts[i]);
        w.ShortString(base + kItemTableNameOffset + i * kItemNameFieldSize, kItemNameCapacity,
                      table.Names[i]);
    }
}

ItemTable ReadTable(const ByteReader& r, std::size_t base)
{
    ItemTable table;
    for (std::size_t i = 0; i < kItemCount; ++i) {
        for (std::size_t n = 0; n < kItemNoteCount; ++n) {
            ItemNote& note = table.Items[i].Notes[n];
            const std::size_t at = base + i * kItemDefinitionSize + n * 4;
            note.Note = r.U8(at);
            note.Shift = r.I8(at + 1);
            note.Code = r.U8(at + 2);
            note.String = r.U8(at + 3);
        }
        table.Counts[i] = ClampCount(r.U8(base + kItemTableCountOffset + i));
        table.Names[i] =
            r.ShortString(base + kItemTableNameOffset + i * kItemNameFieldSize, kItemNameCapacity);
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
        for (std::size_t c = 0; c < kItemNoteCount; ++c) {
            const ProgressionChord& chord = tables.Progressions[i].Chords[c];
            const std::size_t at = kProgressionTableOffset + i * kItemDefinitionSize + c * 4;
            w.U8(at, chord.Root);
            w.I8(at + 1, chord.Shift);
            w.U8(at + 2, chord.ChordType);
            w.U8(at + 3, chord.Unused);
        }
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
        for (std::size_t c = 0; c < kItemNoteCount; ++c) {
            ProgressionChord& chord = tables.Progressions[i].Chords[c];
            const std::size_t at = kProgressionTableOffset + i * kItemDefinitionSize + c * 4;
            chord.Root = r.U8(at);
            chord.Shift = r.I8(at + 1);
            chord.ChordType = r.U8(at + 2);
            chord.Unused = r.U8(at + 3);
        }
        tables.ProgressionCounts[i] = ClampCount(r.U8(kProgressionCountOffset + i));
    }
    return tables;
}

} // namespace pv
