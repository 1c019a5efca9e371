// Placing notes on guitar strings: by the user's choice, by default, and for whole chords.
#pragma once

#include "music/base/ExerciseKind.h"
#include "music/notation/NoteRec.h"

#include <span>

namespace pv {

/// Guitar-string byte flag of a string the program chose (the user's choices are 1..6).
inline constexpr std::uint8_t kAssignedStringFlag = 16;

/// The string number 1..6 a string byte names, 0 for none.
int GuitarStringNumber(std::uint8_t stringByte);

/// Gives a note without a chosen or assigned string the highest string whose open note is at
/// or below the note - transpose (16 when none fits).
void SetGuitarString(TNoteRec& note, int transpose);

/// Puts a note on string 6 or 5 by its pitch class folded above the guitar's base note; a note
/// below the base note gets no string (16).
void DefaultGuitarString(TNoteRec& note);

/// Spreads a chord of 2..6 notes (listed from the lowest) over neighbouring strings so that
/// it can be played; nothing happens for the kinds whose notes follow one another (scales and
/// melodies).
void AssignGuitarStrings(std::span<TNoteRec> notes, int count, int transpose, ExerciseKind kind);

} // namespace pv
