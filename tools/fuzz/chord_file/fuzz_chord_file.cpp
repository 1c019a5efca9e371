// Feeds arbitrary bytes to the user item loader as Chord.dat, saves the merged slots and checks
// that a reload gives the same saved slots back.
#include "../FuzzDataFolder.h"
#include "music/data/UserItemFile.h"

using namespace pv;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const std::span<const std::uint8_t> input(bytes, size);
    fuzz::RequireStableRecords(input, kUserChordRecSize, DecodeUserChordRec, EncodeUserChordRec);
    DataFiles data = fuzz::FreshHolding(input, &DataFiles::ChordFilePath);

    ItemSlotTables tables;
    for (int i = 1; i <= 31; ++i)
        tables.SetSlot(1, i, {3, {}, QStringLiteral("built-in")}, true);
    tables.MarkBuiltIn();
    LoadedItemState loaded;
    LoadUserChords(data, loaded, tables);
    for (int kind : kUserItemKinds) {
        for (int index = 1; index < KindFactsOfNumber(kind).FirstUserSlot; ++index)
            fuzz::Require(tables.Slot(kind, index).NoteCount ==
                          tables.BuiltInNoteCount(kind, index));
        for (int index = 1; index <= 60; ++index)
            fuzz::Require(tables.Slot(kind, index).NoteCount <= kMaxItemNotes);
    }
    fuzz::Require(SaveUserChords(data, loaded, tables));
    fuzz::Require(fuzz::FuzzDataFolder::SizeOf(data.ChordFilePath()) %
                      static_cast<qint64>(kUserChordRecSize) ==
                  0);

    ItemSlotTables reloaded;
    LoadedItemState reloadedState;
    LoadUserChords(data, reloadedState, reloaded);
    for (int kind : kUserItemKinds) {
        const ExerciseKindFacts facts = KindFactsOfNumber(kind);
        for (int index = facts.FirstUserSlot; index <= facts.LastSavedUserSlot; ++index) {
            const ItemSlot a = tables.Slot(kind, index);
            const ItemSlot b = reloaded.Slot(kind, index);
            fuzz::Require(a.NoteCount == b.NoteCount);
            if (a.NoteCount > 0)
                fuzz::Require(a.Notes == b.Notes);
            if (a.NoteCount > 0 && facts.UserItemNameRead)
                fuzz::Require(a.Name == b.Name);
        }
    }
    return 0;
}
