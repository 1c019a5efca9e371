// The user's own items of Chord.dat in the item tables: the tables as the user item file sees
// them, and the load and save the settings make of them.
#pragma once

#include "exercises/items/ItemTables.h"
#include "music/data/UserItemFile.h"

namespace pv {

/// The five item tables' slots as the user item file reads and writes them. Kinds are the
/// stored numbers 1, 2, 7, 8 and 10; any other kind or a slot outside 1..60 has nothing.
class UserItemTables final : public IUserItemTables
{
public:
    /// tables: filled by the load; builtIn: the tables as delivered, which decide whether an
    /// emptied slot must still be written.
    explicit UserItemTables(ItemTables& tables, const ItemTables& builtIn = BuiltInItemTables());
    /// For writing only: SetSlot changes nothing.
    explicit UserItemTables(const ItemTables& tables,
                            const ItemTables& builtIn = BuiltInItemTables());

    ItemSlot Slot(int kind, int index) const override;
    void SetSlot(int kind, int index, const ItemSlot& slot, bool withName) override;
    std::uint8_t BuiltInNoteCount(int kind, int index) const override;

private:
    const ItemTables& m_tables;
    ItemTables* m_writable = nullptr;
    const ItemTables& m_builtIn;
};

/// Merges the user's items of Chord.dat into the user slots of the tables (the built-in tables,
/// as `ExerciseItems` is set up when the settings are applied) and notes what was merged.
void LoadUserItems(DataFiles& data, LoadedItemState& loaded, ItemTables& tables);
/// Writes the user slots of the tables to Chord.dat (when the user changed items and may keep
/// them); on failure the file is unchanged and the failure says why.
Status<DataError> SaveUserItems(DataFiles& data, LoadedItemState& loaded, const ItemTables& tables);
/// The user changed items of the tables since they were merged or last saved.
bool UserItemsChanged(const LoadedItemState& loaded, const ItemTables& tables);
/// The tables as they are now count as merged (after the texts put over the merged items).
void KeepUserItemsAsMerged(LoadedItemState& loaded, const ItemTables& tables);

} // namespace pv
