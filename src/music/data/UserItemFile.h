// Chord.dat: the items users define in the free slots of the item tables.
#pragma once

#include "music/base/ExerciseKind.h"
#include "music/data/DataFiles.h"
#include "music/data/DataRecords.h"
#include "music/files/UserChordRecord.h"

#include <array>

namespace pv {

/// One item slot as the user item file sees it.
struct ItemSlot
{
    std::uint8_t NoteCount = 0; ///< 0 = empty
    ItemNoteEntries Notes{};
    QString Name;
    bool operator==(const ItemSlot&) const = default;
};

/// The item kinds that have user slots, in the order they are stored.
inline constexpr std::array<int, 5> kUserItemKinds = {
    KindNumber(kItemTableKinds[0]), KindNumber(kItemTableKinds[1]), KindNumber(kItemTableKinds[2]),
    KindNumber(kItemTableKinds[3]), KindNumber(kItemTableKinds[4])};
/// The position of a kind in kUserItemKinds (and in `StoredNoteCounts`), -1 for other kinds.
int UserItemKindIndex(int kind);
/// The last slot written back for a kind (intervals: 30, the exercise uses no more); its first
/// user slot is the kind table's.
int LastSavedUserSlot(int kind);

/// The item tables as the user item file needs them: slots 1..60 of the kinds 1, 2, 7, 8, 10.
class IUserItemTables
{
public:
    virtual ~IUserItemTables() = default;
    virtual ItemSlot Slot(int kind, int index) const = 0;
    /// Sets the note count and entries, and the name when withName is set.
    virtual void SetSlot(int kind, int index, const ItemSlot& slot, bool withName) = 0;
    /// The note count the built-in tables give that slot.
    virtual std::uint8_t BuiltInNoteCount(int kind, int index) const = 0;
};

/// Plain slot tables (for callers and tests without the full item tables).
class ItemSlotTables final : public IUserItemTables
{
public:
    ItemSlot Slot(int kind, int index) const override;
    void SetSlot(int kind, int index, const ItemSlot& slot, bool withName) override;
    std::uint8_t BuiltInNoteCount(int kind, int index) const override;
    /// Makes the current content the built-in one.
    void MarkBuiltIn();

private:
    static bool Valid(int kind, int index);
    std::array<std::array<ItemSlot, 60>, 5> m_slots{};
    std::array<std::array<std::uint8_t, 60>, 5> m_builtIn{};
};

/// Merges the whole, valid records of Chord.dat into the user slots (a later record for the
/// same item wins), copies the note counts aside into loaded's `StoredNoteCounts` and the
/// merged slots into its `LoadedUserItems`. A file that cannot be read is reported once.
void LoadUserChords(DataFiles& data, LoadedItemState& loaded, IUserItemTables& tables);
/// Rewrites Chord.dat whole under its lock, in slot order, after reading it again: the slots
/// this copy changed since it merged (or last saved) are written from the tables, every
/// other slot keeps the file's record (another running copy's edit or deletion survives).
/// One record per user slot that holds notes, held notes when merged, holds notes in the
/// built-in tables (so emptying it sticks) or has a record in the file; the file's records
/// of every other slot and the whole records that cannot be used follow byte for byte (a
/// torn piece at the end is dropped). On failure (busy, unreadable, not replaced) the file
/// stays as it was.
Status<DataError> SaveUserChords(DataFiles& data, LoadedItemState& loaded,
                                 const IUserItemTables& tables);
/// Whether a user slot that is written back now differs from what was merged or last saved
/// (its notes, its count, and its name where the file's name is read back). False when
/// nothing was ever merged: the tables then hold no item of the user's.
bool UserChordsChanged(const LoadedItemState& loaded, const IUserItemTables& tables);
/// Makes the tables as they are now the merged state, for texts that setting up the tables
/// puts over the merged items (a language's item names, the derived inversion names): those
/// are no edit of the user's, and a save keeps the file's records of such slots.
void KeepUserChordsAsMerged(LoadedItemState& loaded, const IUserItemTables& tables);

} // namespace pv
