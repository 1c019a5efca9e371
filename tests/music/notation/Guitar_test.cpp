// Guitar string helpers: choices kept, default strings, and chords spread over strings.
#include "music/notation/Guitar.h"

#include <vector>

#include <gtest/gtest.h>

namespace pv {
namespace {

TNoteRec Note(int note, int stringByte = 0)
{
    TNoteRec r;
    r.Pitch.Note = static_cast<std::int8_t>(note);
    r.GuitarString = static_cast<std::uint8_t>(stringByte);
    return r;
}

TEST(SetGuitarString, TakesHighestStringAtOrBelowTheTransposedNote)
{
    const struct
    {
        int note;
        int transpose;
        int expected;
    } cases[] = {
        {76, 0, 17}, {75, 0, 18},  {52, 0, 22},   {57, 0, 21},
        {51, 0, 16}, {64, 12, 22}, {64, -12, 17}, {100, 0, 17},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.note << " transpose " << c.transpose);
        TNoteRec r = Note(c.note);
        SetGuitarString(r, c.transpose);
        EXPECT_EQ(r.GuitarString, c.expected);
    }
}

TEST(SetGuitarString, KeepsUserChoiceAndEarlierAssignment)
{
    for (int b : {1, 6, 17, 22}) {
        SCOPED_TRACE(b);
        TNoteRec r = Note(76, b);
        SetGuitarString(r, 0);
        EXPECT_EQ(r.GuitarString, b);
    }
    TNoteRec none = Note(76, 16);
    SetGuitarString(none, 0);
    EXPECT_EQ(none.GuitarString, 17);
}

TEST(DefaultGuitarString, FoldsAboveBaseNoteOntoStringSixOrFive)
{
    const struct
    {
        int note;
        int expected;
    } cases[] = {
        {50, 16}, {64, 22}, {62, 21}, {52, 22}, {56, 22}, {57, 21},
        {63, 21}, {88, 22}, {40, 16}, {28, 16}, {0, 16},  {-128, 16},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.note);
        TNoteRec r = Note(c.note, 3);
        DefaultGuitarString(r);
        EXPECT_EQ(r.GuitarString, c.expected);
    }
}

struct ChordCase
{
    const char* name;
    std::vector<int> notes;
    std::vector<int> stringsIn;
    int transpose;
    ExerciseKind kind;
    std::vector<int> stringsOut;
};

TEST(AssignGuitarStrings, MovesLowerNotesOntoTheNextStringWhenTheyShareOne)
{
    constexpr ExerciseKind kChord = ExerciseKind::ChordIdentification;
    constexpr ExerciseKind kScale = ExerciseKind::Scales;
    constexpr ExerciseKind kMelody = ExerciseKind::MelodyDictation;
    const ChordCase cases[] = {
        {"two notes on string 5", {57, 59}, {21, 21}, 0, kChord, {22, 21}},
        {"user choice of the upper note is kept", {57, 59}, {5, 5}, 0, kChord, {6, 5}},
        {"three notes on string 4", {62, 64, 65}, {20, 20, 20}, 0, kChord, {22, 21, 20}},
        {"separate strings unchanged", {60, 64, 67}, {21, 20, 19}, 0, kChord, {21, 20, 19}},
        {"never onto a seventh string", {52, 56}, {22, 22}, 0, kChord, {22, 22}},
        {"fret beyond sixteen stays", {76, 77}, {20, 20}, 0, kChord, {20, 20}},
        {"transposed fret check", {69, 70}, {19, 19}, -12, kChord, {19, 19}},
        {"scales untouched", {57, 59}, {21, 21}, 0, kScale, {21, 21}},
        {"melodies untouched", {57, 59}, {21, 21}, 0, kMelody, {21, 21}},
        {"one note untouched", {57}, {21}, 0, kChord, {21}},
        {"seven notes untouched",
         {57, 59, 60, 62, 64, 65, 67},
         {21, 21, 21, 21, 21, 21, 21},
         0,
         kChord,
         {21, 21, 21, 21, 21, 21, 21}},
        {"no anchor below a note without string", {50, 51}, {16, 16}, 0, kChord, {16, 16}},
        {"no move below the open string", {50, 57}, {16, 21}, 0, kChord, {16, 21}},
    };
    for (const ChordCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<TNoteRec> notes;
        for (std::size_t i = 0; i < c.notes.size(); ++i)
            notes.push_back(Note(c.notes[i], c.stringsIn[i]));
        AssignGuitarStrings(notes, static_cast<int>(notes.size()), c.transpose, c.kind);
        for (std::size_t i = 0; i < notes.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(notes[i].GuitarString, c.stringsOut[i]);
        }
    }
}

} // namespace
} // namespace pv
