// Invents the melody of a melody-dictation question from the melody setup: a rhythm in 4/4 with
// accents, a key, a scale or chord progression as pitch material, and pitches chosen backwards
// from the last note under the setup's limits on leap, ambitus, range and repeated notes.
#pragma once

#include "music/base/Result.h"
#include "music/notation/NoteRec.h"

#include <array>
#include <cstdint>
#include <span>

namespace pv {

class IPrompts;
class IRandom;
struct ItemTables;
struct MelodySetup;
struct UIStringTable;

/// What the staff takes from a melody's key.
struct MelodySheet
{
    int KeySignature = 0; ///< -6..5; 1 for chromatic melodies (black keys written as sharps)
    int KeyOffset = 0;    ///< semitones from the key's major tonic to a mode's first note
    bool ShowKeySignature = false;
    bool Minor = false;
    friend bool operator==(const MelodySheet&, const MelodySheet&) = default;
};

/// Why no melody was made; every one of them is shown to the user as the range message.
enum class MelodyError : int
{
    NoPitchInRange = 1, ///< a note found no pitch inside the range, leap and ambitus
    NoMaterial = 2,     ///< the scale holds no notes or the progression no chords
    EmptyRange = 3,     ///< the highest note lies below the lowest
};

/// Velocity level by the quarter of the bar in which a note starts.
inline constexpr std::array<std::uint8_t, 4> BeatLevels = {2, 1, 0, 1};
/// Progression items (1-based) read for the melody scale values 11..16.
inline constexpr std::array<int, 6> MelodyProgressionItems = {8, 9, 11, 33, 34, 35};
/// Melody scale values.
inline constexpr int kMelodyWholeTone = 9;
inline constexpr int kMelodyChromatic = 10;
inline constexpr int kMelodyLastScale = 16;
/// Tone counts a melody may have.
inline constexpr int kMelodyMinTones = 1;
inline constexpr int kMelodyMaxTones = 11;
/// Marks of a melody note in byte 2: a tone of the chord that sounds with it, or another one.
inline constexpr std::uint8_t kMelodyChordTone = 11;
inline constexpr std::uint8_t kMelodyOtherTone = 10;

/// The scale values whose staff reads minor (Aeolian, harmonic and melodic minor, and the two
/// minor progressions).
bool MelodyScaleIsMinor(int scale);

/// One melody per call; keeps nothing between calls. random, prompts and strings must outlive
/// the generator; without prompts the caller shows the message itself.
class MelodyGenerator
{
public:
    MelodyGenerator(IRandom& random, IPrompts* prompts, const UIStringTable& strings);

    /// Builds a melody of the setup's tone count into notes[0..N-1] (pitch with spelling, mark,
    /// guitar-string byte, duration, velocity level, bar line), sets the sheet's key and the
    /// reference note root (the placed major tonic of the key, or the start note of whole-tone
    /// and chromatic melodies) and count := N. When no melody fits, the range message is shown
    /// once and count stays as it was. notes must hold at least 11 entries.
    Status<MelodyError> GenerateMelody(const MelodySetup& setup, const ItemTables& items,
                                       std::span<TNoteRec> notes, std::uint16_t& count,
                                       MelodySheet& sheet, std::uint8_t& root);

private:
    /// Tries before a melody is given up as impossible.
    static constexpr int kAttempts = 20;
    Status<MelodyError> Attempt(const MelodySetup& setup, const ItemTables& items,
                                std::span<TNoteRec> notes, std::uint16_t& count, MelodySheet& sheet,
                                std::uint8_t& root);

    IRandom& m_random;
    IPrompts* m_prompts;
    const UIStringTable& m_strings;
};

} // namespace pv
