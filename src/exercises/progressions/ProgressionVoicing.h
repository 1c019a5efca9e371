// Voicing of a chord progression: every chord's notes, in root position or hung from one
// common top voice, optionally over an added bass root.
#pragma once

#include "exercises/items/ItemTables.h"
#include "music/base/Random.h"
#include "music/notation/NoteRec.h"

#include <cstdint>
#include <span>
#include <vector>

namespace pv {

/// Inversion modes of the low nibble of the progression options.
enum class InversionMode : std::uint8_t
{
    RootPosition = 0,
    LastInRootPosition = 1,
    Random = 2,
};

/// The inversion mode of a progression option byte: its low nibble, where 3..15 (which no page
/// writes) read as root position.
InversionMode InversionModeOf(std::uint8_t options);

struct VoicedProgression
{
    /// The notes of all chords one after the other. Byte 6 (bar line) is 1 after the last note
    /// of each chord and 2 after the last note of the progression; byte 19 (staff) is 1 for an
    /// added bass root unless every note is placed by pitch.
    std::vector<TNoteRec> Notes;
    /// Counts[j] is the index in Notes of the first note of chord j + 1; Counts[count] the
    /// number of notes.
    std::vector<int> Counts;
    /// The pitch every chord's top note was placed near (0 in root position), to voice an
    /// answer alike.
    int TopPitch = 0;
};

/// A progression chord as the voicing takes it: pitch word = root and its spelling shift,
/// byte 2 (AccidentalInput) = the chord item index.
TNoteRec ProgressionChordRec(const ProgressionChord& chord);

/// Voices count chords (at most 12) against the chord-identification items. topPitch 0 lets the
/// last chord choose it; options is the progression's option byte (low nibble the inversion mode as
/// `InversionModeOf` reads it, high nibble nonzero adds the bass root). A root of 0, an empty chord
/// item or an item index above 59 gives one silent note. Each chord is spelled from its root's
/// written letter, its notes as many letters above it as the chord item writes them above C: the
/// caller spells the roots in the key.
VoicedProgression VoiceProgression(std::span<const TNoteRec> chords, int count, int topPitch,
                                   std::uint8_t options, const ItemTable& chordItems,
                                   IRandom& random);

} // namespace pv
