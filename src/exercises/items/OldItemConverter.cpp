// Conversion of old item blocks into the current item tables.
#include "exercises/items/OldItemConverter.h"

#include "music/files/ByteIO.h"

#include <algorithm>

namespace pv {

namespace {

constexpr std::size_t kOldGroupCountOffset = 672;
constexpr std::size_t kOldGroupNameOffset = 700;
constexpr std::size_t kOldItemEntries = 12;
constexpr std::size_t kOldNoteSize = 2;
constexpr std::size_t kOldNameCapacity = 24;

struct GroupMove
{
    std::size_t group; ///< 0 chords, 1 inversions, 2 intervals, 3 scales
    int firstOld;
    int lastOld;
    int firstNew;
};

void MoveGroup(const ByteReader& r, const GroupMove& move, ItemTable& table, bool markInversion)
{
    const std::size_t base = move.group * kOldItemGroupSize;
    for (int oldItem = move.firstOld; oldItem <= move.lastOld; ++oldItem) {
        const auto oldSlot = static_cast<std::size_t>(oldItem - 1);
        const auto newSlot = static_cast<std::size_t>(move.firstNew + oldItem - move.firstOld - 1);
        const std::uint8_t count = std::min<std::uint8_t>(
            r.U8(base + kOldGroupCountOffset + oldSlot), static_cast<std::uint8_t>(kItemNoteCount));
        const auto notes = r.Bytes(base + oldSlot * kOldItemEntries * kOldNoteSize,
                                   kOldItemEntries * kOldNoteSize);
        auto& entries = table.Items[newSlot].Notes;
        ConvertOldSteps(notes, entries, count);
        table.Counts[newSlot] = count;
        table.Names[newSlot] = r.LengthPrefixedString(
            base + kOldGroupNameOffset + oldSlot * (kOldNameCapacity + 1), kOldNameCapacity);
        // Marks the inversion items as converted, empty ones too.
        if (markInversion)
            entries[0].Code = 255;
    }
}

} // namespace

void ConvertOldSteps(std::span<const std::uint8_t> old, std::span<ItemNote> converted, int count)
{
    if (count < 1)
        return;
    const std::size_t n = std::min({static_cast<std::size_t>(count), kItemNoteCount,
                                    converted.size(), old.size() / kOldNoteSize});
    int running = 1;
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t oldNote = old[i * kOldNoteSize];
        ItemNote& entry = converted[i];
        // The old layout kept low notes as markers; they become the steps below middle C.
        if (oldNote < 53) {
            entry.Note = static_cast<std::uint8_t>(60 - running);
            ++running;
        } else {
            entry.Note = oldNote;
        }
        entry.Shift = static_cast<std::int8_t>(old[i * kOldNoteSize + 1]);
        entry.Code = 255;
        entry.String = 0;
    }
}

bool ConvertOldItemTables(std::span<const std::uint8_t> old, ItemTables& tables)
{
    if (old.size() < kOldItemBlockSize)
        return false;
    const ByteReader r(old.first(kOldItemBlockSize));
    auto firstUser = [](ExerciseKind kind) { return KindFacts(kind).FirstUserSlot; };
    MoveGroup(r, {0, 15, 28, firstUser(ExerciseKind::ChordIdentification)},
              tables.ChordIdentification, false);
    MoveGroup(r, {1, 15, 28, firstUser(ExerciseKind::ChordInversions)}, tables.ChordInversions,
              true);
    MoveGroup(r, {2, 21, 28, firstUser(ExerciseKind::IntervalIdentification)},
              tables.IntervalIdentification, false);
    MoveGroup(r, {3, 12, 28, firstUser(ExerciseKind::Scales)}, tables.Scales, false);
    return true;
}

} // namespace pv
