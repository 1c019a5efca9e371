// Turns an exercise setup of the previous data version ("Pellivark 2.0": 50-byte option
// blocks, 30-byte rhythm and melody blocks) into the current record.
#pragma once

#include "exercises/setup/ExerciseSetup.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace pv {

constexpr std::size_t kOldSetupSize = 386;
constexpr std::size_t kOldPaddedSetupSize = 388;
constexpr std::size_t kOldOptionBlockSize = 50;
constexpr std::size_t kOldRhythmBlockSize = 30;
constexpr std::size_t kOldMelodyBlockSize = 30;

/// Offsets of the blocks inside the 386-byte old setup.
constexpr std::size_t kOldChordOptionsOffset = 16;
constexpr std::size_t kOldInversionOptionsOffset = 66;
constexpr std::size_t kOldIntervalOptionsOffset = 116;
constexpr std::size_t kOldComparisonOptionsOffset = 166;
constexpr std::size_t kOldScaleOptionsOffset = 216;
constexpr std::size_t kOldRhythmOffset = 266; ///< three blocks of 30, kinds 4, 5, 6
constexpr std::size_t kOldMelodyOffset = 356;

/// The current record from an old setup in the 386-byte layout: the default setup with the
/// old blocks converted into it (and so the current header). Missing bytes read as 0.
ExerciseSetup ConvertOldLevel(std::span<const std::uint8_t> old);

/// Converts one old option block of a kind; true when an item beyond the old built-in ones
/// was asked.
bool ConvertOldOptionBlock(std::span<const std::uint8_t> old, OptionBlock& converted,
                           ExerciseKind kind);
void ConvertOldRhythmBlock(std::span<const std::uint8_t> old, RhythmSetup& converted);
void ConvertOldMelodyBlock(std::span<const std::uint8_t> old, MelodySetup& converted);

} // namespace pv
