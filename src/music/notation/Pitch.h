// The pitch word (sounding MIDI note plus its written spelling) and the names of notes.
#pragma once

#include <array>
#include <cstdint>

#include <QChar>
#include <QString>

namespace pv {

/// A sounding MIDI note and how it is written: Shift is the written natural letter minus the
/// sounding pitch in semitones (+1 flat, +2 double flat, -1 sharp, -2 double sharp, 0 natural).
struct TPitch
{
    std::int8_t Note = 0;
    std::int8_t Shift = 0;

    friend bool operator==(const TPitch&, const TPitch&) = default;
};

/// The pitch as the one 16-bit word in which it is passed and stored: note low, shift high.
std::uint16_t PitchToWord(TPitch pitch);
TPitch PitchFromWord(std::uint16_t word);

/// Letters by pitch class of the written natural letter: "C D EF G ABB". Entry 11 (B written
/// natural or with sharps) follows the language; entry 10 (B written with flats) never does.
const std::array<QChar, 12>& NoteLetters();
/// Replaces entry 11 of the note letters (the language's letter for B).
void SetNoteLetterB(QChar letter);

/// Accidental texts indexed by 2 - spelling shift: "bb", "b", "", "#", "##".
const std::array<QString, 5>& AccidentalNames();

/// The letter and accidental of a pitch, e.g. "Bb", "A#"; "???" for a shift outside -2..+2.
QString NoteName(TPitch pitch);

/// Remainder in 0..divisor-1 whatever the sign of value (table lookups only).
constexpr int PositiveMod(int value, int divisor)
{
    const int r = value % divisor;
    return r < 0 ? r + divisor : r;
}

} // namespace pv
