// Names of progression chords as Roman degrees with chord symbols, and the key vote of a
// progression.
#pragma once

#include "exercises/items/ItemTables.h"

#include <array>
#include <cstdint>
#include <span>

#include <QString>

namespace pv {

/// Degree names by semitones above the key: "I", "bII", "II", ... "VII".
extern const std::array<const char*, 12> RomanDegreeNames;

/// Index into `ChordSymbolTable` of each chord item index 0..59: 0-16 map to themselves, 23 to
/// 17, 25 to 18, all others to 0 (no symbol).
extern const std::array<std::uint8_t, kItemCount> ChordSymbolOfItem;

/// Chord item indexes (zero-based, chord-identification table) that count as minor when a
/// progression's key is voted: the chords with a minor third.
inline constexpr std::array<std::uint8_t, 7> MinorChordTypes = {1, 2, 7, 9, 10, 12, 16};

/// One chord as degree plus symbol in the key whose root is the MIDI note key, e.g. "bVII 7".
/// A spelling shift outside -2..+2 (a damaged file) gives no accidental prefix.
QString ChordSymbolName(const ProgressionChord& chord, int key);

/// The first count chords named in C and joined by " - "; empty for a count below 1.
QString ProgressionName(std::span<const ProgressionChord> chords, int count);

/// Whether a progression written in C reads as minor: chords on the second, third and sixth
/// degree vote for the key whose third they would be in, chords on the tonic and the minor
/// third for their own kind, and a last chord on the tonic votes twice.
bool ProgressionIsMinor(std::span<const ProgressionChord> chords);

} // namespace pv
