// Chord.dat routines: merging user items into the item tables and writing them back.
#include "music/data/UserItemFile.h"

#include "music/strings/UIStrings.h"

#include <algorithm>
#include <set>
#include <utility>

namespace pv {

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

void LoadUserChords(DataFiles& data, IUserItemTables& tables)
{
    RecordReader reader(data.ChordFilePath(), kUserChordRecSize);
    std::array<std::uint8_t, kUserChordRecSize> bytes{};
    while (reader.Next(bytes)) {
        const TUserChordRec rec = *DecodeUserChordRec(bytes);
        const int kind = rec.Kind;
        const ExerciseKindFacts facts = KindFactsOfNumber(kind);
        const int first = facts.FirstUserSlot;
        // Kinds, slots and counts are checked before they select anything: a damaged record
        // must not land in a built-in slot or claim more notes than an item holds.
        if (first == 0 || rec.Index < first || rec.Index > 60 || rec.NoteCount > kMaxItemNotes)
            continue;
        tables.SetSlot(kind, rec.Index, {rec.NoteCount, rec.Notes, rec.Name},
                       facts.UserItemNameRead);
    }
    StoredNoteCountTables counts{};
    for (std::size_t t = 0; t < kUserItemKinds.size(); ++t)
        for (int i = 1; i <= 60; ++i)
            counts[t][static_cast<std::size_t>(i - 1)] =
                tables.Slot(kUserItemKinds[t], i).NoteCount;
    data.StoredNoteCounts = counts;
}

bool SaveUserChords(DataFiles& data, const IUserItemTables& tables)
{
    SharedFile file =
        OpenShared(data.ChordFilePath(), UIStrings.StrChordFile, data.prompts, data.wait);
    if (!file.IsOpen())
        return false;
    std::vector<std::uint8_t> bytes;
    std::set<std::pair<int, std::int32_t>> written;
    for (std::size_t t = 0; t < kUserItemKinds.size(); ++t) {
        const int kind = kUserItemKinds[t];
        const ExerciseKindFacts facts = KindFactsOfNumber(kind);
        for (int index = facts.FirstUserSlot; index <= facts.LastSavedUserSlot; ++index) {
            const ItemSlot slot = tables.Slot(kind, index);
            const std::uint8_t merged =
                data.StoredNoteCounts
                    ? (*data.StoredNoteCounts)[t][static_cast<std::size_t>(index - 1)]
                    : 0;
            if (slot.NoteCount == 0 && merged == 0 && tables.BuiltInNoteCount(kind, index) == 0)
                continue;
            TUserChordRec rec;
            rec.Kind = static_cast<std::uint8_t>(kind);
            rec.NoteCount = slot.NoteCount;
            rec.Index = index;
            rec.Notes = slot.Notes;
            if (facts.UserItemNameWritten)
                rec.Name = slot.Name;
            const auto one = EncodeUserChordRec(rec);
            bytes.insert(bytes.end(), one.begin(), one.end());
            written.insert({kind, index});
        }
    }
    // One record per slot, written whole: an edit can never be shadowed by an older copy. The
    // records of slots not written here stay, after ours: another running copy may have saved
    // an item there since our merge, or the merge may not have read them, and the old
    // in-place update never removed them either.
    const std::int64_t whole =
        std::max<std::int64_t>(file.Size(), 0) / static_cast<std::int64_t>(kUserChordRecSize);
    std::array<std::uint8_t, kUserChordRecSize> old{};
    for (std::int64_t i = 0; i < whole; ++i) {
        // A record that cannot be read could be anyone's item: rather keep the file as it is.
        if (!file.ReadAt(i * static_cast<std::int64_t>(kUserChordRecSize), old))
            return false;
        const TUserChordRec rec = *DecodeUserChordRec(old);
        if (!written.contains({rec.Kind, rec.Index}))
            bytes.insert(bytes.end(), old.begin(), old.end());
    }
    return file.ReplaceContents(bytes);
}

} // namespace pv
