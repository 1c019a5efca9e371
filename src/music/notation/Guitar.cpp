// Guitar string helpers.
#include "music/notation/Guitar.h"

#include "music/base/Log.h"
#include "music/notation/NotationTables.h"
#include "music/notation/Pitch.h"

#include <algorithm>

namespace pv {

namespace {

bool IsStringNumber(int s)
{
    return s >= 1 && s <= kGuitarStringCount;
}

/// The highest string (lowest number) whose open note is at or below note; 0 for none.
int FirstStringAtOrBelow(int note)
{
    for (int s = 1; s <= kGuitarStringCount; ++s) {
        if (GuitarStrings[static_cast<std::size_t>(s)] <= note)
            return s;
    }
    return 0;
}

} // namespace

int GuitarStringNumber(std::uint8_t stringByte)
{
    const int s = stringByte & 0x0F;
    return IsStringNumber(s) ? s : 0;
}

void SetGuitarString(TNoteRec& note, int transpose)
{
    const int b = note.GuitarString;
    if (IsStringNumber(b) || IsStringNumber(b - kAssignedStringFlag))
        return;
    const int s = FirstStringAtOrBelow(note.Pitch.Note - transpose);
    note.GuitarString = static_cast<std::uint8_t>(kAssignedStringFlag + s);
}

void DefaultGuitarString(TNoteRec& note)
{
    const int n = note.Pitch.Note;
    // Below the base note there is no string; folding those notes up would put low Es on
    // string 6 although they cannot be played.
    if (n < kGuitarBaseNote) {
        note.GuitarString = kAssignedStringFlag;
        return;
    }
    const int folded = PositiveMod(n - kGuitarBaseNote, 12) + kGuitarBaseNote;
    int s = FirstStringAtOrBelow(folded);
    if (s >= 1 && s <= 4)
        s = 5;
    note.GuitarString = static_cast<std::uint8_t>(kAssignedStringFlag + s);
}

void AssignGuitarStrings(std::span<TNoteRec> notes, int count, int transpose, ExerciseKind kind)
{
    if (count > kGuitarStringCount || count < 2 || !KindFacts(kind).SpreadsChordsOnGuitar)
        return;
    if (!PV_SOFT_CHECK(static_cast<std::size_t>(count) <= notes.size()))
        return;
    for (int i = count - 2; i >= 0; --i) {
        TNoteRec& low = notes[static_cast<std::size_t>(i)];
        const TNoteRec& high = notes[static_cast<std::size_t>(i + 1)];
        // String numbers by their low four bits, so a program-assigned byte (16 + s) names
        // the same string as the user's s.
        const int lowString = low.GuitarString & 0x0F;
        const int highString = GuitarStringNumber(high.GuitarString);
        // Only below a note that lies on a string, and never onto a seventh string.
        if (highString == 0 || highString + 1 > kGuitarStringCount)
            continue;
        if (highString < lowString || i > kGuitarStringCount - lowString)
            continue;
        const int fret =
            low.Pitch.Note - transpose - GuitarStrings[static_cast<std::size_t>(highString + 1)];
        // A note below the open string cannot be fretted there.
        if (fret > kGuitarMaxFret || fret < 0)
            continue;
        low.GuitarString = static_cast<std::uint8_t>(high.GuitarString + 1);
    }
}

} // namespace pv
