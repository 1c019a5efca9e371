// Chord.dat routines: merging user items into the item tables and writing them back.
#include "music/data/UserItemFile.h"

#include <algorithm>
#include <map>
#include <set>
#include <utility>

namespace pv {

namespace {

/// A record as LoadUserChords takes it; nothing for a record it skips (damaged, or of no
/// user slot), which a save keeps byte for byte.
std::optional<TUserChordRec> UsableRecord(std::span<const std::uint8_t> bytes)
{
    auto rec = DecodeUserChordRec(bytes);
    if (!rec)
        return std::nullopt;
    const int first = KindFactsOfNumber(rec->Kind).FirstUserSlot;
    // Kinds, slots and counts are checked before they select anything: a damaged record
    // must not land in a built-in slot or claim more notes than an item holds.
    if (first == 0 || rec->Index < first || rec->Index > 60 || rec->NoteCount > kMaxItemNotes)
        return std::nullopt;
    return rec;
}

TUserChordRec SlotRecord(int kind, int index, const ItemSlot& slot)
{
    TUserChordRec rec;
    rec.Kind = static_cast<std::uint8_t>(kind);
    rec.NoteCount = slot.NoteCount;
    rec.Index = index;
    rec.Notes = slot.Notes;
    if (KindFactsOfNumber(kind).UserItemNameWritten)
        rec.Name = slot.Name;
    return rec;
}

UserItemSnapshot TakeSnapshot(const IUserItemTables& tables)
{
    UserItemSnapshot snapshot{};
    for (std::size_t t = 0; t < kUserItemKinds.size(); ++t)
        for (int i = 1; i <= 60; ++i)
            snapshot[t][static_cast<std::size_t>(i - 1)] =
                SlotRecord(kUserItemKinds[t], i, tables.Slot(kUserItemKinds[t], i));
    return snapshot;
}

} // namespace

int UserItemKindIndex(int kind)
{
    const std::optional<ItemTableId> table = KindFactsOfNumber(kind).ItemTable;
    return table ? static_cast<int>(*table) : -1;
}

int LastSavedUserSlot(int kind)
{
    return KindFactsOfNumber(kind).LastSavedUserSlot;
}

bool ItemSlotTables::Valid(int kind, int index)
{
    return UserItemKindIndex(kind) >= 0 && index >= 1 && index <= 60;
}

ItemSlot ItemSlotTables::Slot(int kind, int index) const
{
    if (!Valid(kind, index))
        return {};
    return m_slots[static_cast<std::size_t>(UserItemKindIndex(kind))]
                  [static_cast<std::size_t>(index - 1)];
}

void ItemSlotTables::SetSlot(int kind, int index, const ItemSlot& slot, bool withName)
{
    if (!Valid(kind, index))
        return;
    ItemSlot& target = m_slots[static_cast<std::size_t>(UserItemKindIndex(kind))]
                              [static_cast<std::size_t>(index - 1)];
    target.NoteCount = slot.NoteCount;
    target.Notes = slot.Notes;
    if (withName)
        target.Name = slot.Name;
}

std::uint8_t ItemSlotTables::BuiltInNoteCount(int kind, int index) const
{
    if (!Valid(kind, index))
        return 0;
    return m_builtIn[static_cast<std::size_t>(UserItemKindIndex(kind))]
                    [static_cast<std::size_t>(index - 1)];
}

void ItemSlotTables::MarkBuiltIn()
{
    for (std::size_t t = 0; t < m_slots.size(); ++t)
        for (std::size_t i = 0; i < 60; ++i)
            m_builtIn[t][i] = m_slots[t][i].NoteCount;
}

void LoadUserChords(DataFiles& data, LoadedItemState& loaded, IUserItemTables& tables)
{
    const QString path = data.ChordFilePath();
    RecordReader reader(path, kUserChordRecSize);
    std::array<std::uint8_t, kUserChordRecSize> bytes{};
    while (reader.Next(bytes)) {
        const auto rec = UsableRecord(bytes);
        if (!rec)
            continue;
        const int kind = rec->Kind;
        tables.SetSlot(kind, rec->Index, {rec->NoteCount, rec->Notes, rec->Name},
                       KindFactsOfNumber(kind).UserItemNameRead);
    }
    CheckRead(data, path, data.strings.StrChordFile, reader);
    StoredNoteCountTables counts{};
    for (std::size_t t = 0; t < kUserItemKinds.size(); ++t)
        for (int i = 1; i <= 60; ++i)
            counts[t][static_cast<std::size_t>(i - 1)] =
                tables.Slot(kUserItemKinds[t], i).NoteCount;
    loaded.StoredNoteCounts = counts;
    loaded.LoadedUserItems = TakeSnapshot(tables);
}

Status<DataError> SaveUserChords(DataFiles& data, LoadedItemState& loaded,
                                 const IUserItemTables& tables)
{
    const WriterScope scope(data);
    if (!scope.Entered())
        return Reentered();
    // This copy's slots, taken before the wait for the file.
    const UserItemSnapshot mine = TakeSnapshot(tables);
    // The file as it is now, under the lock: another copy may have saved since our merge. A
    // record that cannot be read could be anyone's item: rather keep the file as it is.
    auto locked = OpenAndReadDataFile(data, data.ChordFilePath(), data.strings.StrChordFile);
    if (!locked)
        return locked.Err();
    SharedFile& file = locked.Value().File;
    const std::vector<std::uint8_t>& old = locked.Value().Content;
    const std::size_t whole = old.size() / kUserChordRecSize;
    const auto oldRecord = [&](std::size_t i) {
        return std::span<const std::uint8_t>(old).subspan(i * kUserChordRecSize, kUserChordRecSize);
    };
    std::map<std::pair<int, std::int32_t>, std::size_t> stored; // the later record wins
    for (std::size_t i = 0; i < whole; ++i) {
        if (const auto rec = UsableRecord(oldRecord(i)))
            stored[{rec->Kind, rec->Index}] = i;
    }

    std::vector<std::uint8_t> bytes;
    std::set<std::pair<int, std::int32_t>> written;
    for (std::size_t t = 0; t < kUserItemKinds.size(); ++t) {
        const int kind = kUserItemKinds[t];
        const ExerciseKindFacts facts = KindFactsOfNumber(kind);
        for (int index = facts.FirstUserSlot; index <= facts.LastSavedUserSlot; ++index) {
            const auto at = static_cast<std::size_t>(index - 1);
            const TUserChordRec& now = mine[t][at];
            // Only the slots this copy changed are its to write; the others keep what the
            // file holds, which may be another copy's edit or deletion.
            const bool changed = !loaded.LoadedUserItems || (*loaded.LoadedUserItems)[t][at] != now;
            const auto inFile = stored.find({kind, index});
            if (!changed && inFile != stored.end()) {
                const auto rec = oldRecord(inFile->second);
                bytes.insert(bytes.end(), rec.begin(), rec.end());
                written.insert({kind, index});
                continue;
            }
            const std::uint8_t merged =
                loaded.StoredNoteCounts ? (*loaded.StoredNoteCounts)[t][at] : 0;
            if (now.NoteCount == 0 && merged == 0 && tables.BuiltInNoteCount(kind, index) == 0 &&
                inFile == stored.end())
                continue;
            const auto one = EncodeUserChordRec(now);
            bytes.insert(bytes.end(), one.begin(), one.end());
            written.insert({kind, index});
        }
    }
    // One record per slot, written whole: an edit can never be shadowed by an older copy. The
    // file's records of slots not written here stay, after ours and byte for byte: items
    // beyond the slots written back, and whole records this program cannot use (damaged or
    // of no user slot), which are someone's data all the same. A torn piece at the end is no
    // record, as for every data file, and goes.
    for (std::size_t i = 0; i < whole; ++i) {
        const auto rec = UsableRecord(oldRecord(i));
        if (rec && written.contains({rec->Kind, rec->Index}))
            continue;
        const auto keep = oldRecord(i);
        bytes.insert(bytes.end(), keep.begin(), keep.end());
    }
    Status<DataError> replaced = file.ReplaceContents(bytes);
    if (replaced)
        loaded.LoadedUserItems = mine;
    return replaced;
}

bool UserChordsChanged(const LoadedItemState& loaded, const IUserItemTables& tables)
{
    if (!loaded.LoadedUserItems)
        return false;
    const UserItemSnapshot& merged = *loaded.LoadedUserItems;
    for (std::size_t t = 0; t < kUserItemKinds.size(); ++t) {
        const int kind = kUserItemKinds[t];
        const ExerciseKindFacts facts = KindFactsOfNumber(kind);
        for (int index = facts.FirstUserSlot; index <= facts.LastSavedUserSlot; ++index) {
            const TUserChordRec& then = merged[t][static_cast<std::size_t>(index - 1)];
            const TUserChordRec now = SlotRecord(kind, index, tables.Slot(kind, index));
            if (then.NoteCount != now.NoteCount)
                return true;
            // What an empty slot holds is never asked; a name the next start does not read
            // back is no change worth a write.
            if (now.NoteCount == 0)
                continue;
            if (then.Notes != now.Notes || (facts.UserItemNameRead && then.Name != now.Name))
                return true;
        }
    }
    return false;
}

void KeepUserChordsAsMerged(LoadedItemState& loaded, const IUserItemTables& tables)
{
    if (loaded.LoadedUserItems)
        loaded.LoadedUserItems = TakeSnapshot(tables);
}

} // namespace pv
