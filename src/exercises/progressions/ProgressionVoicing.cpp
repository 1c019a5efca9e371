// Voicing of chord progressions.
#include "exercises/progressions/ProgressionVoicing.h"

#include "music/notation/Pitch.h"
#include "music/notation/Spelling.h"

#include <algorithm>
#include <cstdlib>

namespace pv {

namespace {

// The chord item (zero-based) whose inversions lose the root that lands next to its ninth.
constexpr int kNinthChordWithDoubledStep = 21;
constexpr int kLowestWithoutLowerOctave = 7;

struct WorkNote
{
    int Pitch = 0;
    int Shift = 0;
    std::uint8_t Staff = 0;
};

struct WorkChord
{
    std::vector<WorkNote> Notes;
    bool Rest = false;
};

int PitchClassDistance(int a, int b)
{
    return std::abs(((std::abs(a - b) + 6) % 12) - 6);
}

// The voicing moves notes by octaves and may leave the MIDI range for extreme roots; bring
// them back by octaves so no note wraps through the i8 pitch byte.
std::int8_t FoldIntoMidi(int pitch)
{
    while (pitch < 0)
        pitch += 12;
    while (pitch > 127)
        pitch -= 12;
    return static_cast<std::int8_t>(pitch);
}

WorkChord RestChord()
{
    WorkChord chord;
    chord.Rest = true;
    chord.Notes.push_back(WorkNote{});
    return chord;
}

// Hangs the chord from the note nearest to topPitch by pitch class.
void HangFromTop(WorkChord& chord, int topPitch, int itemIndex)
{
    auto& notes = chord.Notes;
    const std::size_t n = notes.size();
    std::size_t top = 0;
    int best = PitchClassDistance(topPitch, notes[0].Pitch);
    for (std::size_t k = 1; k < n; ++k) {
        const int d = PitchClassDistance(topPitch, notes[k].Pitch);
        if (d < best) {
            best = d;
            top = k;
        }
    }
    int move = topPitch - notes[top].Pitch - best;
    if (move % 12 != 0)
        move = topPitch - notes[top].Pitch + best;

    if (top == n - 1) {
        for (WorkNote& note : notes)
            note.Pitch += move;
        return;
    }
    std::vector<WorkNote> inverted;
    inverted.reserve(n);
    for (std::size_t k = top + 1; k < n; ++k) {
        inverted.push_back(notes[k]);
        inverted.back().Pitch += move - 12;
    }
    for (std::size_t k = 0; k <= top; ++k) {
        inverted.push_back(notes[k]);
        inverted.back().Pitch += move;
    }
    notes = std::move(inverted);

    if (itemIndex == kNinthChordWithDoubledStep) {
        // Inverted, this chord puts its root a tone under the ninth; the first note that
        // lies no more than a semitone above (or anywhere below) its lower neighbour goes.
        for (std::size_t j = 1; j < notes.size(); ++j) {
            if (notes[j].Pitch <= notes[j - 1].Pitch + 1) {
                notes.erase(notes.begin() + static_cast<std::ptrdiff_t>(j));
                break;
            }
        }
    }
}

} // namespace

InversionMode InversionModeOf(std::uint8_t options)
{
    // Only 0..2 have a meaning; a damaged or foreign setup must not voice at random.
    switch (options & 0x0F) {
    case 1:
        return InversionMode::LastInRootPosition;
    case 2:
        return InversionMode::Random;
    default:
        return InversionMode::RootPosition;
    }
}

TNoteRec ProgressionChordRec(const ProgressionChord& chord)
{
    TNoteRec rec;
    rec.Pitch.Note = static_cast<std::int8_t>(std::min<int>(chord.Root, 127));
    rec.Pitch.Shift = chord.Shift;
    rec.AccidentalInput = chord.ChordType;
    return rec;
}

VoicedProgression VoiceProgression(std::span<const TNoteRec> chords, int count, int topPitch,
                                   std::uint8_t options, const ItemTable& chordItems,
                                   IRandom& random)
{
    const std::size_t chordCount =
        std::min({chords.size(), kItemNoteCount, static_cast<std::size_t>(std::max(count, 0))});
    const InversionMode mode = InversionModeOf(options);
    const bool addBass = (options >> 4) != 0;

    std::vector<WorkChord> work(chordCount);
    // From the last chord to the first: the last one fixes the top voice the others follow.
    for (std::size_t c = chordCount; c-- > 0;) {
        const TNoteRec& source = chords[c];
        const int root = source.Pitch.Note;
        const int itemIndex = source.AccidentalInput;
        const int itemCount =
            itemIndex < static_cast<int>(kItemCount) ? chordItems.NoteCount(itemIndex + 1) : 0;
        // A damaged chord (type out of the table, or an emptied item) sounds as a rest, so
        // the progression keeps its shape.
        if (root == 0 || itemCount == 0) {
            work[c] = RestChord();
            continue;
        }

        // The chord is built on its root's letter: the item's C is the root, and each note
        // keeps the letter distance the item writes it at, so a chord is its root's stacked
        // thirds whatever the key. A root written on no letter (a damaged entry) is read as
        // the flat of its degree above C.
        const int rootLetter = WrittenLetter(source.Pitch).value_or(DegreeLetters(root));
        WorkChord& chord = work[c];
        std::vector<TPitch> spelled;
        for (const ItemNote& itemNote : chordItems.Notes(itemIndex + 1)) {
            WorkNote note;
            note.Pitch = itemNote.Note - 60 + root;
            chord.Notes.push_back(note);
            spelled.push_back(TPitch{FoldIntoMidi(note.Pitch), itemNote.Shift});
        }
        SpellAsWritten(spelled, root, rootLetter, LetterRule::Keep);
        for (std::size_t k = 0; k < spelled.size(); ++k)
            chord.Notes[k].Shift = spelled[k].Shift;
        const WorkNote rootCopy = chord.Notes.front();

        if (mode != InversionMode::RootPosition) {
            // The top voice comes from the first chord that sounds, normally the last one;
            // a trailing rest would otherwise hang every chord from pitch 0.
            if (topPitch == 0) {
                const int n = static_cast<int>(chord.Notes.size());
                const int pick =
                    mode == InversionMode::LastInRootPosition ? n - 1 : random.Random(n);
                topPitch = chord.Notes[static_cast<std::size_t>(std::clamp(pick, 0, n - 1))].Pitch;
            }
            HangFromTop(chord, topPitch, itemIndex);
        }

        // The work area of a chord holds 12 notes: a twelve-note chord gets no bass root.
        if (addBass && chord.Notes.size() < kItemNoteCount) {
            WorkNote bass = rootCopy;
            bass.Pitch -= 12;
            bass.Staff = 1;
            if (chord.Notes.front().Pitch - bass.Pitch < kLowestWithoutLowerOctave)
                bass.Pitch -= 12;
            chord.Notes.insert(chord.Notes.begin(), bass);
        }
    }

    VoicedProgression result;
    result.TopPitch = mode != InversionMode::RootPosition ? topPitch : 0;
    result.Counts.reserve(chordCount + 1);
    for (const WorkChord& chord : work) {
        result.Counts.push_back(static_cast<int>(result.Notes.size()));
        for (const WorkNote& note : chord.Notes) {
            TNoteRec rec;
            rec.Pitch = TPitch{FoldIntoMidi(note.Pitch), static_cast<std::int8_t>(note.Shift)};
            rec.Staff = note.Staff;
            result.Notes.push_back(rec);
        }
        result.Notes.back().BarLine = 1;
    }
    if (!result.Notes.empty())
        result.Notes.back().BarLine = 2;
    result.Counts.push_back(static_cast<int>(result.Notes.size()));

    // When the bass roots lie high, two staves would split the chords oddly: place every note
    // by pitch instead.
    int highest = 0;
    int lowest = 0;
    bool anyBass = false;
    for (const TNoteRec& rec : result.Notes) {
        if (rec.Staff != 1)
            continue;
        const int written = rec.Pitch.Note + rec.Pitch.Shift;
        highest = anyBass ? std::max(highest, written) : written;
        lowest = anyBass ? std::min(lowest, written) : written;
        anyBass = true;
    }
    if (anyBass && highest > 0 && std::abs(highest - 60) > std::abs(60 - lowest)) {
        for (TNoteRec& rec : result.Notes)
            rec.Staff = 0;
    }
    return result;
}

} // namespace pv
