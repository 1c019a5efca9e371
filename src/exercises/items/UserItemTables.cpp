// The item tables behind the user item file's slots.
#include "exercises/items/UserItemTables.h"

#include "music/base/Log.h"

#include <algorithm>

namespace pv {

namespace {

std::optional<ItemTableId> TableOf(int kind, int index)
{
    if (index < 1 || index > static_cast<int>(kItemCount))
        return std::nullopt;
    return KindFactsOfNumber(kind).ItemTable;
}

std::size_t At(int index)
{
    return static_cast<std::size_t>(index - 1);
}

std::uint8_t CountOf(const ItemTables& tables, ItemTableId table, int index)
{
    if (table == ItemTableId::Progressions)
        return tables.ProgressionCounts[At(index)];
    return NoteTable(tables, table)->Counts[At(index)];
}

} // namespace

UserItemTables::UserItemTables(ItemTables& tables, const ItemTables& builtIn)
    : m_tables(tables), m_writable(&tables), m_builtIn(builtIn)
{
}

UserItemTables::UserItemTables(const ItemTables& tables, const ItemTables& builtIn)
    : m_tables(tables), m_builtIn(builtIn)
{
}

ItemSlot UserItemTables::Slot(int kind, int index) const
{
    const std::optional<ItemTableId> table = TableOf(kind, index);
    if (!table)
        return {};
    ItemSlot slot;
    slot.NoteCount = CountOf(m_tables, *table, index);
    if (*table == ItemTableId::Progressions) {
        slot.Notes = EncodeItemEntries(m_tables.Progressions[At(index)]);
    } else {
        const ItemTable& notes = *NoteTable(m_tables, *table);
        slot.Notes = EncodeItemEntries(notes.Items[At(index)]);
        slot.Name = notes.Names[At(index)];
    }
    return slot;
}

void UserItemTables::SetSlot(int kind, int index, const ItemSlot& slot, bool withName)
{
    const std::optional<ItemTableId> table = TableOf(kind, index);
    if (!table || !PV_SOFT_CHECK(m_writable != nullptr))
        return;
    // The loader refuses longer items; an item holds no more than its twelve entries anyway.
    const auto count = std::min(slot.NoteCount, static_cast<std::uint8_t>(kItemNoteCount));
    if (*table == ItemTableId::Progressions) {
        m_writable->ProgressionCounts[At(index)] = count;
        m_writable->Progressions[At(index)] = DecodeProgressionDefinition(slot.Notes);
        return;
    }
    ItemTable& notes = *NoteTable(*m_writable, *table);
    notes.Counts[At(index)] = count;
    notes.Items[At(index)] = DecodeItemDefinition(slot.Notes);
    if (withName)
        notes.Names[At(index)] = slot.Name.left(static_cast<qsizetype>(kItemNameCapacity));
}

std::uint8_t UserItemTables::BuiltInNoteCount(int kind, int index) const
{
    const std::optional<ItemTableId> table = TableOf(kind, index);
    return table ? CountOf(m_builtIn, *table, index) : std::uint8_t{0};
}

void LoadUserItems(DataFiles& data, LoadedItemState& loaded, ItemTables& tables)
{
    UserItemTables view(tables);
    LoadUserChords(data, loaded, view);
}

Status<DataError> SaveUserItems(DataFiles& data, LoadedItemState& loaded, const ItemTables& tables)
{
    return SaveUserChords(data, loaded, UserItemTables(tables));
}

bool UserItemsChanged(const LoadedItemState& loaded, const ItemTables& tables)
{
    return UserChordsChanged(loaded, UserItemTables(tables));
}

void KeepUserItemsAsMerged(LoadedItemState& loaded, const ItemTables& tables)
{
    KeepUserChordsAsMerged(loaded, UserItemTables(tables));
}

} // namespace pv
