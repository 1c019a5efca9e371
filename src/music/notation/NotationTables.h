// Fixed notation tables: note lengths, chord symbols, key roots, key spellings and scale steps.
#pragma once

#include <array>
#include <cstdint>

#include <QString>

namespace pv {

/// Sequencer ticks of a quarter note: every note length, bar and lead time is counted in them.
inline constexpr std::uint16_t kQuarterTicks = 672;
/// Sequencer ticks of a whole note, which is also a bar of 4/4.
inline constexpr std::uint16_t kWholeTicks = 4 * kQuarterTicks;
/// Note lengths in sequencer ticks by duration code 1 whole .. 6 thirty-second. Entry 0 reads
/// code 0 as a whole note, as the staff does.
inline constexpr std::array<std::uint16_t, 7> DurationTicks = {
    kWholeTicks,       kWholeTicks,       kWholeTicks / 2,  kQuarterTicks,
    kQuarterTicks / 2, kQuarterTicks / 4, kQuarterTicks / 8};
/// Duration code used in place of a code outside 0..6 (a quarter note).
inline constexpr int kFallbackDurationCode = 3;

/// Ticks of any duration code from a file or a list: 0 is a whole note, and a code outside
/// 0..6 plays as a quarter, so a damaged record keeps its place in time without indexing past
/// the table.
constexpr std::uint16_t DurationTicksOf(int code)
{
    if (code < 0 || code > 6)
        return DurationTicks[kFallbackDurationCode];
    return DurationTicks[static_cast<std::size_t>(code)];
}

inline constexpr int kChordSymbolCount = 19;
/// Chord-symbol suffixes by chord-type index 0..18; the language may replace any entry.
const std::array<QString, kChordSymbolCount>& ChordSymbolTable();
/// Replaces one entry; an index outside 0..18 is ignored.
void SetChordSymbol(int index, const QString& symbol);
/// Entry index, or an empty text for an index outside 0..18.
QString ChordSymbol(int index);

/// Puts the language-dependent texts (chord symbols and the letter for B) back to their
/// built-in defaults.
void ResetNotationTexts();

/// Key signatures are signed counts: K > 0 sharps, K < 0 flats.
inline constexpr int kMinKeySignature = -7;
inline constexpr int kMaxKeySignature = 7;

/// Pitch class of the major tonic of key signature k (-7..+7); k outside is clamped.
int KeyTonicTable(int k);
/// Scale root of key signature k (-7..+7); 12 at k = -7. Spelling no longer reads it: a root's
/// letter comes from the key's letters (music/notation/Spelling.h), which a pitch class alone
/// cannot give. k outside is clamped.
int ScaleRootTable(int k);

/// Diatonic step 0..6 (C..B) on which a pitch class is written, and whether it needs an
/// accidental (a sharp in sharp keys, a flat in flat keys and C).
struct TKeySpelling
{
    std::uint8_t Step;
    std::uint8_t Accidental;
};

inline constexpr std::array<TKeySpelling, 12> SharpKeySpelling = {{{0, 0},
                                                                   {0, 1},
                                                                   {1, 0},
                                                                   {1, 1},
                                                                   {2, 0},
                                                                   {3, 0},
                                                                   {3, 1},
                                                                   {4, 0},
                                                                   {4, 1},
                                                                   {5, 0},
                                                                   {5, 1},
                                                                   {6, 0}}};
inline constexpr std::array<TKeySpelling, 12> FlatKeySpelling = {{{0, 0},
                                                                  {1, 1},
                                                                  {1, 0},
                                                                  {2, 1},
                                                                  {2, 0},
                                                                  {3, 0},
                                                                  {4, 1},
                                                                  {4, 0},
                                                                  {5, 1},
                                                                  {5, 0},
                                                                  {6, 1},
                                                                  {6, 0}}};

/// Semitones above the tonic of the diatonic steps 0..14 of a major scale.
inline constexpr std::array<int, 15> MajorScaleSteps = {0,  2,  4,  5,  7,  9,  11, 12,
                                                        14, 16, 17, 19, 21, 23, 24};

/// Semitones above the tonic of any diatonic step k, continued by octaves both ways (k = -1 gives
/// -1, k = -7 gives -12, k = 7 gives 12), so callers may step below the tonic.
constexpr int MajorScaleStep(int k)
{
    const int octave = k >= 0 ? k / 7 : -((-k + 6) / 7);
    return 12 * octave + MajorScaleSteps[static_cast<std::size_t>(k - octave * 7)];
}

/// The white-key ladder of the staff hit tests: semitones from the reference C of diatonic step
/// index (0 is two octaves below it: -24, -22, -20, -19, ...; 14 is the reference C).
/// Any index, negative ones included, continues the pattern.
constexpr int DiatonicSteps(int index)
{
    return -24 + MajorScaleStep(index);
}

/// Written open-string notes by string number 1..6 (1 the highest); entry 0 is no string.
inline constexpr std::array<int, 7> GuitarStrings = {0, 76, 71, 67, 62, 57, 52};
inline constexpr int kGuitarBaseNote = 52;
/// Highest fret a note may lie on above its string's open note.
inline constexpr int kGuitarMaxFret = 16;
inline constexpr int kGuitarStringCount = 6;

} // namespace pv
