// The 670-byte exercise setup record (a "level") and its blocks, with their codecs, the
// built-in default setup and the change comparison.
#pragma once

#include "music/base/ExerciseKind.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace pv {

constexpr std::size_t kExerciseSetupSize = 670;
constexpr std::size_t kOptionBlockSize = 82;
constexpr std::size_t kRhythmSetupSize = 44;
constexpr std::size_t kMelodySetupSize = 29;

/// Offsets of the blocks inside `ExerciseSetup`.
constexpr std::size_t kSetupHeaderSize = 16;
constexpr std::size_t kChordOptionsOffset = 16;        ///< kind 1
constexpr std::size_t kInversionOptionsOffset = 98;    ///< kind 7
constexpr std::size_t kIntervalOptionsOffset = 180;    ///< kind 2
constexpr std::size_t kComparisonOptionsOffset = 262;  ///< kind 3
constexpr std::size_t kScaleOptionsOffset = 344;       ///< kind 8
constexpr std::size_t kRhythmImitationOffset = 426;    ///< kind 4
constexpr std::size_t kRhythmReadingOffset = 470;      ///< kind 5
constexpr std::size_t kRhythmErrorOffset = 514;        ///< kind 6
constexpr std::size_t kMelodySetupOffset = 558;        ///< kind 9
constexpr std::size_t kProgressionOptionsOffset = 587; ///< kind 10
constexpr std::size_t kSetupPadOffset = 669;

/// The options of one item-based kind (1, 2, 3, 7, 8, 10), 82 bytes.
struct OptionBlock
{
    std::array<std::uint8_t, 60> ItemFlags{}; ///< byte i: item i+1 is asked (0/1)
    std::array<std::uint8_t, 3> PlayStyles{}; ///< 60..62: simultaneous, arpeggio up, down
    std::uint8_t ShowKeySignature = 0;        ///< 63; kind 3: common lowest tone
    std::uint8_t AnswerInC = 0;               ///< 64
    std::uint8_t Unused65 = 0;                ///< 65
    std::uint8_t AnswerInput = 0;     ///< 66: bit 7 lock, bits 0..3 the forced answer inputs
    std::uint8_t PlayToneOnClick = 0; ///< 67
    std::uint8_t ShowFirstTone = 0;   ///< 68
    std::uint8_t AutoAnswer = 0;      ///< 69
    std::uint8_t TonicReference = 0;  ///< 70: bit 0 play it; high nibble 1 base tones, 2 cadence
    std::uint8_t RootMovement = 0;    ///< 71: index of the root-movement list
    std::uint8_t ExtraOption = 0;     ///< 72: kind 2 diatonic roots; kind 10 inversions + bass
    std::array<std::uint8_t, 7> Unused73{}; ///< 73..79
    std::uint8_t HighestNote = 0;           ///< 80
    std::uint8_t LowestNote = 0;            ///< 81
    bool operator==(const OptionBlock&) const = default;
};

/// The rhythm setup of kinds 4, 5 and 6, 44 bytes.
struct RhythmSetup
{
    std::array<std::uint8_t, 14> TimeSignatures{}; ///< 0..13: rows 1..14 may be chosen
    std::array<std::uint8_t, 6> Unused14{};        ///< 14..19, not compared
    std::array<std::uint8_t, 6> NoteValues{};      ///< 20..25: whole .. thirty-second
    std::uint8_t Tempo = 0;                        ///< 26: beats per minute
    std::uint8_t Bars = 0;                         ///< 27
    std::uint8_t Rests = 0;                        ///< 28
    std::uint8_t Corrections = 0;                  ///< 29: error detection, 1..5
    std::int16_t RhythmEvaluation = 0;             ///< 30..31: 0 kind, 1 normal, 2 severe
    std::uint8_t Ties = 0;                         ///< 32
    std::uint8_t AllTriplets = 0;                  ///< 33
    std::uint8_t Dotted = 0;                       ///< 34
    std::uint8_t Unused35 = 0;                     ///< 35
    std::uint8_t ShowSecondTime = 0;               ///< 36: rhythm imitation only
    std::uint8_t Unused37 = 0;                     ///< 37
    std::uint8_t TripletMask = 0;                  ///< 38: bit v-1 for value index v = 2..5
    std::array<std::uint8_t, 5> Unused39{};        ///< 39..43
    bool operator==(const RhythmSetup&) const = default;
};

/// The melody dictation setup of kind 9, 29 bytes.
struct MelodySetup
{
    std::uint8_t ToneCount = 0;             ///< 0: notes per melody
    std::uint8_t LargestLeap = 0;           ///< 1: 1 second .. 7 octave
    std::uint8_t Ambitus = 0;               ///< 2: same steps
    std::uint8_t Scale = 0;                 ///< 3: 0..10 scale items 1..11, 11..16 progressions
    std::array<std::uint8_t, 12> Keys{};    ///< 4..15: key signatures -6..+5 enabled
    std::uint8_t Unused16 = 0;              ///< 16
    std::uint8_t ShowKeySignature = 0;      ///< 17
    std::uint8_t TonicReference = 0;        ///< 18: as `OptionBlock` byte 70
    std::uint8_t PlayToneOnClick = 0;       ///< 19
    std::uint8_t AnswerInput = 0;           ///< 20: as `OptionBlock` byte 66
    std::uint8_t AutoAnswer = 0;            ///< 21
    std::uint8_t ShowFirstTone = 0;         ///< 22
    std::uint8_t Unused23 = 0;              ///< 23
    std::uint8_t Rhythms = 0;               ///< 24
    std::array<std::uint8_t, 2> Unused25{}; ///< 25..26
    std::uint8_t HighestNote = 0;           ///< 27
    std::uint8_t LowestNote = 0;            ///< 28
    bool operator==(const MelodySetup&) const = default;
};

/// The whole setup of all ten kinds, 670 bytes.
struct ExerciseSetup
{
    /// Short string of capacity 15 ("Pellivark 4.0"); bytes 14..15 are carried as they are.
    std::array<std::uint8_t, kSetupHeaderSize> Header{};
    OptionBlock ChordIdentification;    ///< kind 1
    OptionBlock ChordInversions;        ///< kind 7
    OptionBlock IntervalIdentification; ///< kind 2
    OptionBlock IntervalComparison;     ///< kind 3
    OptionBlock Scales;                 ///< kind 8
    RhythmSetup RhythmImitation;        ///< kind 4
    RhythmSetup RhythmReading;          ///< kind 5
    RhythmSetup RhythmErrorDetection;   ///< kind 6
    MelodySetup Melody;                 ///< kind 9
    OptionBlock ChordProgressions;      ///< kind 10
    std::uint8_t Pad = 0;               ///< 669, written as held
    bool operator==(const ExerciseSetup&) const = default;
};

/// The option block of kinds 1, 2, 3, 7, 8 and 10; nothing for the others.
OptionBlock* OptionBlockOfKind(ExerciseSetup& setup, ExerciseKind kind);
const OptionBlock* OptionBlockOfKind(const ExerciseSetup& setup, ExerciseKind kind);
/// The rhythm setup of kinds 4, 5 and 6; nothing for the others.
RhythmSetup* RhythmSetupOfKind(ExerciseSetup& setup, ExerciseKind kind);
const RhythmSetup* RhythmSetupOfKind(const ExerciseSetup& setup, ExerciseKind kind);

/// The header marks of the current and the previous data version (length byte + 13 bytes).
inline constexpr char kCurrentSetupMark[] = "Pellivark 4.0";
inline constexpr char kOldSetupMark[] = "Pellivark 2.0";
/// True when bytes 0..13 hold the length byte 13 and the mark.
bool HasSetupMark(std::span<const std::uint8_t> header, const char* mark);
/// Writes length 13 and "Pellivark 4.0" into bytes 0..13; bytes 14..15 are not touched.
void StampSetupHeader(ExerciseSetup& setup);

/// `RootMovement` values of the root-movement list: 0, 3..8, 11..22, 25..36.
bool IsValidRootMovement(std::uint8_t value);
/// Any value outside the list (a blank or heading row, or past its end) reads as 0 (random).
std::uint8_t SanitizedRootMovement(std::uint8_t value);
/// The forced answer inputs of byte 66 (or melody byte 20): byte and 127 when the lock bit is
/// set, else 0.
std::uint8_t AnswerInputLockOf(std::uint8_t answerInput);
/// Byte 70 (or melody byte 18): a tonic reference is played when the low nibble is set.
bool PlaysTonicReference(std::uint8_t tonicReference);
/// The reference is a cadence when the high nibble is 2, base tones otherwise.
bool TonicReferenceIsCadence(std::uint8_t tonicReference);

/// Block codecs of exactly their size. Decoding turns an invalid `RootMovement` into 0.
void EncodeOptionBlock(const OptionBlock& block, std::span<std::uint8_t> out);
OptionBlock DecodeOptionBlock(std::span<const std::uint8_t> bytes);
void EncodeRhythmSetup(const RhythmSetup& block, std::span<std::uint8_t> out);
RhythmSetup DecodeRhythmSetup(std::span<const std::uint8_t> bytes);
void EncodeMelodySetup(const MelodySetup& block, std::span<std::uint8_t> out);
MelodySetup DecodeMelodySetup(std::span<const std::uint8_t> bytes);

/// The exact 670 bytes of the record.
std::vector<std::uint8_t> EncodeExerciseSetup(const ExerciseSetup& setup);
/// Reads the first 670 bytes; nothing when fewer are given.
std::optional<ExerciseSetup> DecodeExerciseSetup(std::span<const std::uint8_t> bytes);

/// The built-in setup, used when no file is loaded and as the base of converted old setups.
const ExerciseSetup& DefaultExerciseSetup();

/// Compared as the setup pages see a change: the six option blocks (kinds 1, 7, 2, 3, 8, 10)
/// in all bytes, the rhythm setups (kinds 4, 5, 6) in bytes 0..13 and 20..43, the melody setup
/// in all bytes; the header and the pad byte do not count.
bool SetupChanged(const ExerciseSetup& a, const ExerciseSetup& b);
bool OptionBlockChanged(const OptionBlock& a, const OptionBlock& b);
bool RhythmSetupChanged(const RhythmSetup& a, const RhythmSetup& b);
bool MelodySetupChanged(const MelodySetup& a, const MelodySetup& b);

} // namespace pv
