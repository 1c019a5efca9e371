// Chord.dat: the items users define in the free slots of the item tables.
#pragma once

#include "music/base/ExerciseKind.h"
#include "music/data/DataFiles.h"
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
/// same item wins) and copies the note counts aside into `StoredNoteCounts`.
void LoadUserChords(DataFiles& data, IUserItemTables& tables);
/// Rewrites Chord.dat whole, in slot order: one record per user slot that holds notes now,
/// held notes when the file was merged, or holds notes in the built-in tables (so emptying it
/// sticks); the file's records of every other slot follow unchanged. False, with the file
/// unchanged, when it stayed busy, could not be read or could not be replaced.
bool SaveUserChords(DataFiles& data, const IUserItemTables& tables);

} // namespace pv
