// Notes spelled as a musician writes them: on the key's letters, chords and scales by the
// letters of their root, chromatic degrees on the letter of the degree they alter.
#pragma once

#include "music/notation/Pitch.h"

#include <optional>
#include <span>

namespace pv {

/// Letters count diatonic steps from C: 0 C, 1 D, 2 E, 3 F, 4 G, 5 A, 6 B. Any integer is read
/// modulo 7, so letter arithmetic needs no folding by the caller.
int NaturalOfLetter(int letter);
/// The letter of a white key's pitch class; none for a black key.
std::optional<int> LetterOfNatural(int pitchClass);
/// The letter a pitch is written on (its note plus shift); none when that lands on a black key.
std::optional<int> WrittenLetter(TPitch pitch);
/// Semitones from note up to the nearest natural of letter, in -6..+5: the spelling shift that
/// writes note on letter when it lies within -2..+2.
int ShiftToLetter(int note, int letter);

/// The spelling with the fewest accidentals: a white key natural, a black key with a sharp when
/// lean is negative (the sign of a sharp's shift), else with a flat.
TPitch PlainSpelling(int note, int lean);
/// note written on letter; where that needs more than a double accidental, the plain spelling
/// that leans the same way.
TPitch SpellOnLetter(int note, int letter);

/// Letter of the major tonic of key signature k: each sharp moves it up a fifth (four letters),
/// each flat down a fifth (C flat for -7, C sharp for +7).
int MajorTonicLetter(int k);
/// Letter of the tonic; a minor key's tonic lies two letters (a third) below its relative major.
int TonicLetter(int k, bool minor);
/// Pitch class 0..11 of the tonic.
int TonicPitchClass(int k, bool minor);
/// Letters from a key's tonic to the degree that lies semitones above it. Diatonic degrees take
/// their own letter; a chromatic degree takes the letter of the degree it flattens (bII, bIII,
/// bV, bVI, bVII), as the Roman degree names read.
int DegreeLetters(int semitones);

/// A note spelled as a degree of the key whose tonic is the pitch class tonic on tonicLetter.
TPitch SpellDegree(int note, int tonic, int tonicLetter);
/// A note as it is written in key signature k: on the key's letter when it lies in the key's
/// scale (in minor also the raised sixth and seventh); otherwise a black key is sharp in a
/// sharp key and flat elsewhere, a white key natural.
TPitch SpellInKey(int note, int k, bool minor);

/// How an item's letters are kept when it is moved to another root.
enum class LetterRule : int
{
    /// Every note keeps its letter distance from the root: stacked thirds stay thirds and a
    /// diminished seventh keeps its double flat.
    Keep = 0,
    /// A note whose moved letter needs more accidentals than its pitch does is written the plain
    /// way (scales that write two pitches on one letter).
    FewestAccidentals = 1,
    /// Letters kept while no note needs a double accidental, else fewest accidentals (scales
    /// of fewer than seven steps, one letter each: a pentatonic keeps its letters).
    KeepUnlessDouble = 2,
    /// Seven degrees on seven letters and one note added between two of them (the bebop
    /// scales): the degrees keep their letters as in Keep; the added note shares a letter with
    /// its neighbouring degree and is written the plain way only where that letter would take a
    /// double accidental.
    KeepDegrees = 3,
};

/// Spells notes that an item wrote in C. Each entry holds a sounding note and the shift with
/// which the item wrote it; c is the sounding pitch of the item's C, written on cLetter. Every
/// note keeps its letter distance from that C, read from the item's own spelling.
void SpellAsWritten(std::span<TPitch> notes, int c, int cLetter, LetterRule rule);
/// The rule for a scale written in C (notes as for SpellAsWritten): seven steps on seven
/// letters keep them; fewer steps on letters of their own keep them unless that takes a double
/// accidental; eight steps on all seven letters (a seven-step scale with one note added) keep
/// the degrees' letters; other scales with two pitches on one letter (chromatic, blues,
/// diminished) take the fewest accidentals.
LetterRule ScaleLetterRule(std::span<const TPitch> notes, int c);
/// Of a scale with eight steps on all seven letters (notes as for SpellAsWritten), the pitch
/// class above c of the note added to its seven degrees: the one without which the others form
/// a major scale or one of its modes. None for any other scale, or when that leaves it open.
std::optional<int> AddedScaleNote(std::span<const TPitch> notes, int c);

} // namespace pv
