// Spelling from letters: the key gives the tonic's letter, the degree or the item the rest.
#include "music/notation/Spelling.h"

#include <array>
#include <bit>
#include <cstdlib>

namespace pv {

namespace {

constexpr std::array<int, 7> kNaturals = {0, 2, 4, 5, 7, 9, 11};
// Letters above the tonic by semitones; a chromatic degree reads as the flat of the next one.
constexpr std::array<int, 12> kDegreeLetters = {0, 1, 1, 2, 2, 3, 4, 4, 5, 5, 6, 6};
constexpr int kMaxShift = 2;

int AccidentalCount(int pitchClass)
{
    return LetterOfNatural(pitchClass) ? 0 : 1;
}

TPitch Pitch(int note, int shift)
{
    return TPitch{static_cast<std::int8_t>(note), static_cast<std::int8_t>(shift)};
}

} // namespace

int NaturalOfLetter(int letter)
{
    return kNaturals[static_cast<std::size_t>(PositiveMod(letter, 7))];
}

std::optional<int> LetterOfNatural(int pitchClass)
{
    const int pc = PositiveMod(pitchClass, 12);
    for (std::size_t letter = 0; letter < kNaturals.size(); ++letter) {
        if (kNaturals[letter] == pc)
            return static_cast<int>(letter);
    }
    return std::nullopt;
}

std::optional<int> WrittenLetter(TPitch pitch)
{
    return LetterOfNatural(pitch.Note + pitch.Shift);
}

int ShiftToLetter(int note, int letter)
{
    // The nearest natural of the letter, above or below: -6..+5 semitones away.
    return PositiveMod(NaturalOfLetter(letter) - note + 6, 12) - 6;
}

TPitch PlainSpelling(int note, int lean)
{
    if (AccidentalCount(note) == 0)
        return Pitch(note, 0);
    return Pitch(note, lean < 0 ? -1 : 1);
}

TPitch SpellOnLetter(int note, int letter)
{
    const int shift = ShiftToLetter(note, letter);
    if (std::abs(shift) > kMaxShift)
        return PlainSpelling(note, shift);
    return Pitch(note, shift);
}

int MajorTonicLetter(int k)
{
    return PositiveMod(4 * k, 7);
}

int TonicLetter(int k, bool minor)
{
    return PositiveMod(MajorTonicLetter(k) - (minor ? 2 : 0), 7);
}

int TonicPitchClass(int k, bool minor)
{
    return PositiveMod(7 * k - (minor ? 3 : 0), 12);
}

int DegreeLetters(int semitones)
{
    return kDegreeLetters[static_cast<std::size_t>(PositiveMod(semitones, 12))];
}

TPitch SpellDegree(int note, int tonic, int tonicLetter)
{
    return SpellOnLetter(note, tonicLetter + DegreeLetters(note - tonic));
}

TPitch SpellInKey(int note, int k, bool minor)
{
    const int major = TonicPitchClass(k, false);
    if (LetterOfNatural(note - major))
        return SpellDegree(note, major, MajorTonicLetter(k));
    if (minor) {
        // The raised sixth and seventh of the minor scales stay on the letters of the sixth and
        // seventh degree.
        const int fromTonic = PositiveMod(note - TonicPitchClass(k, true), 12);
        if (fromTonic == 9 || fromTonic == 11)
            return SpellDegree(note, TonicPitchClass(k, true), TonicLetter(k, true));
    }
    return PlainSpelling(note, k > 0 ? -1 : 1);
}

namespace {

// The letter of a note an item writes relative to its C; a written letter on a black key (a
// damaged item) reads as the flat of the degree.
int ItemLetterAboveC(TPitch pitch, int c)
{
    const int written = pitch.Note + pitch.Shift - c;
    return LetterOfNatural(written).value_or(DegreeLetters(written));
}

int PitchClassAbove(TPitch pitch, int c)
{
    return PositiveMod(pitch.Note - c, 12);
}

// The direction in which some note would need more than a double accidental on its letter:
// +1 too many flats, -1 too many sharps, 0 none. A note of pitch class skip is left out.
int Overflow(std::span<const TPitch> notes, int c, int cLetter, std::optional<int> skip)
{
    for (const TPitch& pitch : notes) {
        if (skip && PitchClassAbove(pitch, c) == *skip)
            continue;
        const int shift = ShiftToLetter(pitch.Note, cLetter + ItemLetterAboveC(pitch, c));
        if (std::abs(shift) > kMaxShift)
            return shift > 0 ? 1 : -1;
    }
    return 0;
}

constexpr unsigned kMajorScaleMask = 0xAB5; // pitch classes 0 2 4 5 7 9 11

unsigned Bit(int pitchClass)
{
    return 1u << static_cast<unsigned>(pitchClass);
}

bool IsMajorScaleSet(unsigned pitchClasses)
{
    for (unsigned t = 0; t < 12; ++t) {
        const unsigned rotated = ((kMajorScaleMask << t) | (kMajorScaleMask >> (12u - t))) & 0xFFFu;
        if (rotated == pitchClasses)
            return true;
    }
    return false;
}

} // namespace

std::optional<int> AddedScaleNote(std::span<const TPitch> notes, int c)
{
    std::array<unsigned, 7> onLetter{};
    unsigned all = 0;
    int lowest = 0;
    for (std::size_t k = 0; k < notes.size(); ++k) {
        const int pitchClass = PitchClassAbove(notes[k], c);
        onLetter[static_cast<std::size_t>(ItemLetterAboveC(notes[k], c))] |= Bit(pitchClass);
        all |= Bit(pitchClass);
        if (k == 0 || notes[k].Note < notes[static_cast<std::size_t>(lowest)].Note)
            lowest = static_cast<int>(k);
    }
    if (std::popcount(all) != 8)
        return std::nullopt;
    unsigned shared = 0;
    for (unsigned pitchClasses : onLetter) {
        const int count = std::popcount(pitchClasses);
        if (count == 0 || count > 2 || (count == 2 && shared != 0))
            return std::nullopt;
        if (count == 2)
            shared = pitchClasses;
    }
    // The two pitches on the shared letter: the added one is the note without which the
    // other seven form a major scale or one of its modes (major bebop, dorian bebop). When
    // either will do, the scale is a mixolydian with its major seventh added: the leading tone
    // of the scale's lowest note.
    std::optional<int> added;
    int candidates = 0;
    for (int pitchClass = 0; pitchClass < 12; ++pitchClass) {
        if ((shared & Bit(pitchClass)) != 0 && IsMajorScaleSet(all & ~Bit(pitchClass))) {
            added = pitchClass;
            ++candidates;
        }
    }
    if (candidates == 2) {
        const int leadingTone =
            PositiveMod(notes[static_cast<std::size_t>(lowest)].Note - 1 - c, 12);
        added = (shared & Bit(leadingTone)) != 0 ? std::optional<int>(leadingTone) : std::nullopt;
    }
    return added;
}

void SpellAsWritten(std::span<TPitch> notes, int c, int cLetter, LetterRule rule)
{
    // Found before the notes are respelled: the item's own letters tell which note is added.
    const std::optional<int> added =
        rule == LetterRule::KeepDegrees ? AddedScaleNote(notes, c) : std::nullopt;
    // A root that is itself far from its letter (a chromatic degree of a key with many flats)
    // may leave a chord tone beyond a double accidental: the whole item then moves to the
    // enharmonic letter of its root (G for A double flat), keeping its intervals. An added
    // scale note is respelled on its own and does not move the degrees.
    if (const int overflow = Overflow(notes, c, cLetter, added); overflow != 0) {
        if (Overflow(notes, c, cLetter - overflow, added) == 0)
            cLetter -= overflow;
    }
    for (TPitch& pitch : notes) {
        pitch = SpellOnLetter(pitch.Note, cLetter + ItemLetterAboveC(pitch, c));
    }
    if (rule == LetterRule::Keep)
        return;
    if (rule == LetterRule::KeepDegrees) {
        // The degrees stay on their letters; the added note leaves its letter only for a
        // double accidental (D rather than E double flat in G flat major).
        for (TPitch& pitch : notes) {
            if (added && PitchClassAbove(pitch, c) == *added && std::abs(pitch.Shift) > 1)
                pitch = PlainSpelling(pitch.Note, pitch.Shift);
        }
        return;
    }
    bool needsDouble = false;
    for (const TPitch& pitch : notes)
        needsDouble = needsDouble || std::abs(pitch.Shift) > 1;
    if (rule == LetterRule::KeepUnlessDouble && !needsDouble)
        return;
    for (TPitch& pitch : notes) {
        if (std::abs(pitch.Shift) > AccidentalCount(pitch.Note))
            pitch = PlainSpelling(pitch.Note, pitch.Shift);
    }
}

LetterRule ScaleLetterRule(std::span<const TPitch> notes, int c)
{
    std::array<bool, 12> pitchClasses{};
    std::array<int, 7> pitchClassOfLetter{-1, -1, -1, -1, -1, -1, -1};
    bool letterRepeats = false;
    for (const TPitch& pitch : notes) {
        const int pitchClass = PitchClassAbove(pitch, c);
        pitchClasses[static_cast<std::size_t>(pitchClass)] = true;
        int& owner = pitchClassOfLetter[static_cast<std::size_t>(ItemLetterAboveC(pitch, c))];
        letterRepeats = letterRepeats || (owner >= 0 && owner != pitchClass);
        owner = pitchClass;
    }
    int pitchClassCount = 0;
    for (bool used : pitchClasses)
        pitchClassCount += used ? 1 : 0;
    // Seven steps on seven letters keep them whatever accidentals that takes.
    if (pitchClassCount == 7 && !letterRepeats)
        return LetterRule::Keep;
    if (AddedScaleNote(notes, c))
        return LetterRule::KeepDegrees;
    return letterRepeats ? LetterRule::FewestAccidentals : LetterRule::KeepUnlessDouble;
}

} // namespace pv
