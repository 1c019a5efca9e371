// The chords, inversions, intervals, scales and progressions built into the program.
#include "exercises/items/ItemTables.h"
#include "music/base/Log.h"

#include <initializer_list>
#include <string_view>

namespace pv {

namespace {

struct NoteText
{
    std::uint8_t note;
    std::int8_t shift;
};

// Reads "C Eb G Bbb D(74) F#": letters with b, bb or # and an optional MIDI number. A note
// without a number lies at the first pitch above the note before it (the first one in the
// octave of middle C), which is how every built-in item is laid out.
std::vector<NoteText> ParseNotes(std::string_view text)
{
    static constexpr int kLetterPitch[7] = {9, 11, 0, 2, 4, 5, 7}; // A..G
    std::vector<NoteText> notes;
    int previous = -1;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        const int letter = kLetterPitch[text[i] - 'A'];
        ++i;
        int shift = 0;
        if (i < text.size() && text[i] == '#') {
            shift = -1;
            ++i;
        } else {
            while (i < text.size() && text[i] == 'b') {
                ++shift;
                ++i;
            }
        }
        const int pitchClass = ((letter - shift) % 12 + 12) % 12;
        int note = 0;
        if (i < text.size() && text[i] == '(') {
            note = (text[i + 1] - '0') * 10 + (text[i + 2] - '0');
            i += 4;
        } else if (previous < 0) {
            note = 60 + pitchClass;
        } else {
            note = previous + 1;
            while (note % 12 != pitchClass)
                ++note;
        }
        PV_SOFT_CHECK(note % 12 == pitchClass);
        previous = note;
        notes.push_back({static_cast<std::uint8_t>(note), static_cast<std::int8_t>(shift)});
    }
    return notes;
}

void SetItem(ItemTable& table, int item, const char* name, std::string_view notes,
             std::initializer_list<int> strings = {})
{
    const std::size_t slot = static_cast<std::size_t>(item - 1);
    const auto parsed = ParseNotes(notes);
    PV_SOFT_CHECK(parsed.size() <= kItemNoteCount);
    PV_SOFT_CHECK(strings.size() == 0 || strings.size() == parsed.size());
    auto string = strings.begin();
    for (std::size_t n = 0; n < parsed.size(); ++n) {
        ItemNote& entry = table.Items[slot].Notes[n];
        entry.Note = parsed[n].note;
        entry.Shift = parsed[n].shift;
        if (string != strings.end())
            entry.String = static_cast<std::uint8_t>(*string++);
    }
    table.Counts[slot] = static_cast<std::uint8_t>(parsed.size());
    table.Names[slot] = QString::fromUtf8(name);
}

void FillChords(ItemTable& t)
{
    SetItem(t, 1, "Major", "C E G", {5, 4, 3});
    SetItem(t, 2, "Minor", "C Eb G", {5, 4, 3});
    SetItem(t, 3, "mb5", "C Eb Gb", {5, 4, 3});
    SetItem(t, 4, "+", "C E G#", {5, 4, 3});
    SetItem(t, 5, "sus2", "C D G", {5, 4, 3});
    SetItem(t, 6, "sus4", "C F G", {5, 4, 3});
    SetItem(t, 7, "7", "C E G Bb", {5, 4, 3, 2});
    SetItem(t, 8, "mi7", "C Eb G Bb", {5, 4, 3, 2});
    SetItem(t, 9, "maj7", "C E G B", {5, 4, 3, 2});
    SetItem(t, 10, "mi,maj7", "C Eb G B", {5, 4, 3, 2});
    SetItem(t, 11, "dim7", "C Eb Gb Bbb(69)", {6, 5, 4, 3});
    SetItem(t, 12, "7(b5)", "C E Gb Bb", {5, 4, 3, 2});
    SetItem(t, 13, "mi7(b5)", "C Eb Gb Bb", {5, 4, 3, 2});
    SetItem(t, 14, "7(#5)", "C E G# Bb", {5, 4, 3, 2});
    SetItem(t, 15, "7(sus4)", "C F G Bb", {5, 4, 3, 2});
    SetItem(t, 16, "6", "C E G A", {5, 4, 3, 2});
    SetItem(t, 17, "mi6", "C Eb G A", {5, 4, 3, 2});
    SetItem(t, 18, "maj7(6)", "C E G A B", {5, 4, 3, 2, 1});
    SetItem(t, 19, "maj9", "C E G B D(74)", {5, 4, 3, 2, 1});
    SetItem(t, 20, "maj13", "C E G A B D(74)", {5, 4, 3, 2, 2, 1});
    SetItem(t, 21, "mi6/9", "C Eb G A D(74)", {5, 4, 3, 2, 1});
    SetItem(t, 22, "mi,maj9", "C Eb G B D(74)", {5, 4, 3, 2, 1});
    SetItem(t, 23, "mi,maj13", "C Eb G A B D(74)", {5, 4, 3, 2, 2, 1});
    SetItem(t, 24, "7(b9)", "C E G Bb Db(73)", {5, 4, 3, 2, 1});
    SetItem(t, 25, "9", "C E G Bb D(74)", {5, 4, 3, 2, 1});
    SetItem(t, 26, "7(#9)", "C E G Bb D#(75)", {5, 4, 3, 2, 1});
    SetItem(t, 27, "mi9", "C Eb G Bb D(74)", {5, 4, 3, 2, 1});
    // Filled user slots without names: Chord.dat may overwrite them.
    SetItem(t, 28, "", "F Ab Db(73)", {5, 4, 3});
    SetItem(t, 29, "", "Ab(56) C F#", {6, 5, 4});
    SetItem(t, 30, "", "Ab(56) C Eb F#", {6, 5, 4, 2});
    SetItem(t, 31, "", "Ab(56) C D F#", {6, 5, 4, 2});
}

void FillInversions(ItemTable& t)
{
    struct Inversion
    {
        const char* name;
        const char* notes;
        int chordType;
        int inversion;
    };
    static constexpr Inversion kInversions[] = {
        {"Major (root)", "C E G", 0, 0},
        {"Major 1.inv", "E G C(72)", 0, 1},
        {"Major 2.inv", "G C(72) E(76)", 0, 2},
        {"Minor (root)", "C Eb G", 1, 0},
        {"Minor 1.inv", "Eb G C(72)", 1, 1},
        {"Minor 2.inv", "G C(72) Eb(75)", 1, 2},
        {"mb5 (root)", "C Eb Gb", 2, 0},
        {"mb5 1.inv", "Eb Gb C(72)", 2, 1},
        {"mb5 2.inv", "Gb C(72) Eb(75)", 2, 2},
        {"maj7 (root)", "C E G B", 8, 0},
        {"maj7 1.inv", "E G B C(72)", 8, 1},
        {"maj7 2.inv", "G B C(72) E(76)", 8, 2},
        {"maj7 3.inv", "B(59) C E G", 8, 3},
        {"7 (root)", "C E G Bb", 6, 0},
        {"7 1.inv", "E G Bb C(72)", 6, 1},
        {"7 2.inv", "G Bb C(72) E(76)", 6, 2},
        {"7 3.inv", "Bb(58) C E G", 6, 3},
        {"mi7 (root)", "C Eb G Bb", 7, 0},
        {"mi7 1.inv", "Eb G Bb C(72)", 7, 1},
        {"mi7 2.inv", "G Bb C(72) Eb(75)", 7, 2},
        {"mi7 3.inv", "Bb(70) C(72) Eb(75) G(79)", 7, 3},
        {"mi7(b5) (root)", "C Eb Gb Bb", 12, 0},
        {"mi7(b5) 1.inv", "Eb Gb Bb C(72)", 12, 1},
        {"mi7(b5) 2.inv", "Gb Bb C(72) Eb(75)", 12, 2},
        {"mi7(b5) 3.inv", "Bb(70) C(72) Eb(75) Gb(78)", 12, 3},
        {"+ (root)", "C E G#", 3, 0},
    };
    int item = 1;
    for (const Inversion& inv : kInversions) {
        const auto count = ParseNotes(inv.notes).size();
        if (count == 3) {
            static constexpr int kStrings[3][3] = {{5, 4, 3}, {4, 3, 2}, {3, 2, 1}};
            const int* s = kStrings[inv.inversion];
            SetItem(t, item, inv.name, inv.notes, {s[0], s[1], s[2]});
        } else {
            SetItem(t, item, inv.name, inv.notes, {5, 4, 3, 2});
        }
        auto& notes = t.Items[static_cast<std::size_t>(item - 1)].Notes;
        notes[0].Code = static_cast<std::uint8_t>(inv.chordType);
        notes[1].Code = static_cast<std::uint8_t>(inv.inversion);
        ++item;
    }
}

void FillIntervals(ItemTable& t)
{
    static constexpr const char* kNames[25] = {
        "1",  "2-", "2",   "3-", "3",  "4",   "5-", "5",   "6-", "6",   "7-", "7", "8",
        "9-", "9",  "10-", "10", "11", "12-", "12", "13-", "13", "14-", "14", "15"};
    for (int k = 1; k <= 25; ++k) {
        const std::size_t slot = static_cast<std::size_t>(k - 1);
        const int semitones = k - 1;
        // Minor intervals and the tritones have their upper note written flat.
        const int inOctave = semitones % 12;
        const bool flat =
            inOctave == 1 || inOctave == 3 || inOctave == 6 || inOctave == 8 || inOctave == 10;
        auto& notes = t.Items[slot].Notes;
        notes[0].Note = 60;
        notes[1].Note = static_cast<std::uint8_t>(60 + semitones);
        notes[1].Shift = flat ? kShiftFlat : kShiftNatural;
        t.Counts[slot] = 2;
        t.Names[slot] = QString::fromUtf8(kNames[slot]);
    }
}

void FillScales(ItemTable& t)
{
    SetItem(t, 1, "Ionian (major)", "C D E F G A B C");
    SetItem(t, 2, "Dorian", "D E F G A B C D");
    SetItem(t, 3, "Phrygian", "E F G A B C D E");
    SetItem(t, 4, "Lydian", "F G A B C D E F");
    SetItem(t, 5, "Mixolydian", "G A B C D E F G");
    SetItem(t, 6, "Aeolian (minor)", "A(57) B C D E F G A");
    SetItem(t, 7, "Locrian", "B(59) C D E F G A B");
    SetItem(t, 8, "Harmonic minor", "A(57) B C D E F G# A");
    SetItem(t, 9, "Melodic minor", "A(57) B C D E F# G# A");
    SetItem(t, 10, "Wholetone", "C D E F# G# A# C");
    SetItem(t, 11, "Chromatic", "C C# D D# E F F# G G# A A# B");
    SetItem(t, 12, "Major pentatonic", "C D E G A C");
    SetItem(t, 13, "Minor pentatonic", "C Eb F G Bb C");
    SetItem(t, 14, "Blues", "C Eb F F# G Bb C");
    SetItem(t, 15, "Major beebop", "C D E F G Ab A B C");
    SetItem(t, 16, "Dominant beebop", "G A B C D E F F# G");
    SetItem(t, 17, "Minor beebop", "D E F G A B C C# D");
    SetItem(t, 18, "Locrian natural 6", "B(59) C D E F G# A B");
    SetItem(t, 19, "Ionian #5", "C D E F G# A B C");
    SetItem(t, 20, "Dorian #4", "D E F G# A B C D");
    SetItem(t, 21, "Phrygian dominant", "G Ab B C D Eb F G");
    SetItem(t, 22, "Lydian #2", "F G# A B C D E F");
    SetItem(t, 23, "Altered bb7", "G#(56) A B C D E F G#");
    SetItem(t, 24, "Dorian b2", "D Eb F G A B C D");
    SetItem(t, 25, "Lydian augmented", "F G A B C# D E F");
    SetItem(t, 26, "Lydian dominant", "F G A B C D Eb F");
    SetItem(t, 27, "Mixolydian b6", "G A B C D Eb F G");
    SetItem(t, 28, "Locrian natural 2", "B(59) C# D E F G A B");
    SetItem(t, 29, "Altered", "G#(56) A B C D E F# G#");
    SetItem(t, 30, "Diminished (whole-half)", "C D D# F F# G# A B C");
    SetItem(t, 31, "Diminished (half-whole)", "C Db Eb E Gb G A Bb C");
}

// Chord types: zero-based indexes into the chord identification table.
constexpr std::uint8_t kMaj = 0;
constexpr std::uint8_t kMin = 1;
constexpr std::uint8_t kDom7 = 6;
constexpr std::uint8_t kMin7 = 7;
constexpr std::uint8_t kMaj7 = 8;
constexpr std::uint8_t kDim7 = 10;
constexpr std::uint8_t kDom7Flat5 = 11;
constexpr std::uint8_t kHalfDim = 12;
constexpr std::uint8_t kDom7Flat9 = 23;

struct Chord
{
    const char* root;
    std::uint8_t type;
};

void SetProgression(ItemTables& t, int item, std::initializer_list<Chord> chords)
{
    const std::size_t slot = static_cast<std::size_t>(item - 1);
    std::size_t c = 0;
    for (const Chord& chord : chords) {
        // Each root is read on its own: it lies in the octave above C unless it says otherwise.
        const auto root = ParseNotes(chord.root);
        ProgressionChord& entry = t.Progressions[slot].Chords[c++];
        entry.Root = root.front().note;
        entry.Shift = root.front().shift;
        entry.ChordType = chord.type;
    }
    t.ProgressionCounts[slot] = static_cast<std::uint8_t>(chords.size());
}

void FillProgressions(ItemTables& t)
{
    SetProgression(t, 1, {{"G", kMaj}, {"C", kMaj}});
    SetProgression(t, 2, {{"G", kMaj}, {"C", kMin}});
    SetProgression(t, 3, {{"G", kDom7}, {"C", kMaj}});
    SetProgression(t, 4, {{"G", kDom7}, {"C", kMin}});
    SetProgression(t, 5, {{"B", kDim7}, {"C", kMaj}});
    SetProgression(t, 6, {{"B", kDim7}, {"C", kMin}});
    SetProgression(t, 7, {{"G", kMin}, {"C", kMin}});
    SetProgression(t, 8, {{"F", kMaj}, {"G", kMaj}, {"C", kMaj}});
    SetProgression(t, 9, {{"F", kMin}, {"G", kMaj}, {"C", kMaj}});
    SetProgression(t, 10, {{"D", kMin}, {"G", kMaj}, {"C", kMaj}});
    SetProgression(t, 11, {{"D", kMin7}, {"G", kDom7}, {"C", kMaj7}});
    SetProgression(t, 12, {{"D", kMin7}, {"G", kDom7}, {"C", kMin7}});
    SetProgression(t, 13, {{"D", kHalfDim}, {"G", kDom7Flat9}, {"C", kMaj7}});
    SetProgression(t, 14, {{"D", kHalfDim}, {"G", kDom7Flat9}, {"C", kMin7}});
    SetProgression(t, 15, {{"D", kHalfDim}, {"Db", kDom7Flat5}, {"C", kMaj7}});
    SetProgression(t, 16, {{"D", kHalfDim}, {"Db", kDom7Flat5}, {"C", kMin7}});
    SetProgression(t, 17, {{"F", kMaj}, {"C", kMaj}});
    SetProgression(t, 18, {{"F", kMin}, {"C", kMaj}});
    SetProgression(t, 19, {{"F", kMaj}, {"C", kMin}});
    SetProgression(t, 20, {{"F", kMin}, {"C", kMin}});
    SetProgression(t, 21, {{"C", kMaj}, {"F", kMaj}, {"C", kMaj}});
    SetProgression(t, 22, {{"G", kMaj}, {"F", kMaj}, {"C", kMaj}});
    SetProgression(t, 23, {{"E", kMin}, {"F", kMaj}, {"C", kMaj}});
    SetProgression(t, 24, {{"D", kMin}, {"C", kMaj}});
    SetProgression(t, 25, {{"E", kMin}, {"C", kMaj}});
    SetProgression(t, 26, {{"A", kMin}, {"C", kMaj}});
    SetProgression(t, 27, {{"Db", kDom7Flat5}, {"C", kMaj7}});
    SetProgression(t, 28, {{"Db", kDom7Flat5}, {"C", kMin}});
    SetProgression(t, 29, {{"Eb", kMaj}, {"C", kMaj}});
    SetProgression(t, 30, {{"Eb", kMaj}, {"C", kMin}});
    SetProgression(t, 31, {{"Ab", kMaj}, {"C", kMaj}});
    SetProgression(t, 32, {{"Ab", kMaj}, {"C", kMin}});
    SetProgression(t, 33, {{"C", kMaj}, {"A", kMin}, {"F", kMaj}, {"G", kMaj}, {"C", kMaj}});
    SetProgression(t, 34, {{"C", kMin}, {"Ab(56)", kMaj}, {"Bb(58)", kMaj}, {"C", kMin}});
    SetProgression(t, 35,
                   {{"C", kMin}, {"Ab(56)", kMaj}, {"F(53)", kMin}, {"G(55)", kMaj}, {"C", kMin}});
}

ItemTables MakeBuiltInItemTables()
{
    ItemTables t;
    FillChords(t.ChordIdentification);
    FillInversions(t.ChordInversions);
    FillIntervals(t.IntervalIdentification);
    FillScales(t.Scales);
    FillProgressions(t);
    return t;
}

} // namespace

const ItemTables& BuiltInItemTables()
{
    static const ItemTables kTables = MakeBuiltInItemTables();
    return kTables;
}

} // namespace pv
