// Brings the user items of the previous data version (2-byte notes, 28 items a table) into
// the current item tables.
#pragma once

#include "exercises/items/ItemTables.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace pv {

constexpr std::size_t kOldItemBlockSize = 5600;
constexpr std::size_t kOldItemGroupSize = 1400;

/// Converts count old note entries (MIDI note, spelling shift) into item note entries: notes
/// below 53 become 59, 58, 57, ... in the order met, the others are copied; byte 2 becomes 255
/// and byte 3 0. At most the 12 entries an item holds are converted; entries missing from old
/// are not touched.
void ConvertOldSteps(std::span<const std::uint8_t> old, std::span<ItemNote> converted, int count);

/// Copies the user items of an old 5600-byte item block into the user slots of tables; false
/// (and nothing changed) when the block is short.
bool ConvertOldItemTables(std::span<const std::uint8_t> old, ItemTables& tables);

} // namespace pv
