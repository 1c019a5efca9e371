// Letters, shifts and the spelling of keys, degrees and items moved from C.
#include "music/notation/Spelling.h"

#include <optional>
#include <string>
#include <vector>

#include <QStringList>

#include <gtest/gtest.h>

namespace pv {
namespace {

TEST(Spelling, ShiftsToALetterAndPlainSpellingsBeyondDoubleAccidentals)
{
    struct Case
    {
        const char* name;
        int note;
        int letter;
        const char* expected;
    };
    const Case cases[] = {
        {"B on C", 59, 0, "Cb"},
        {"F on E", 65, 2, "E#"},
        {"D on C", 62, 0, "C##"},
        {"G on A", 67, 5, "Abb"},
        {"letters wrap", 72, 7 + 6, "B#"},
        {"D flat on F is too far", 61, 3, "Db"},
        {"C sharp on A is too far", 61, 5, "C#"},
        {"white key too far is natural", 64, 0, "E"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(NoteName(SpellOnLetter(c.note, c.letter)), QString::fromLatin1(c.expected));
    }
}

TEST(Spelling, TonicsOfEveryKeyFromSevenFlatsToSevenSharps)
{
    const char* major = "Cb Gb Db Ab Eb Bb F C G D A E B F# C#";
    const char* minor = "Ab Eb Bb F C G D A E B F# C# G# D# A#";
    QStringList majors;
    QStringList minors;
    for (int k = -7; k <= 7; ++k) {
        majors << NoteName(SpellOnLetter(60 + TonicPitchClass(k, false), TonicLetter(k, false)));
        minors << NoteName(SpellOnLetter(60 + TonicPitchClass(k, true), TonicLetter(k, true)));
    }
    EXPECT_EQ(majors.join(QLatin1Char(' ')), QString::fromLatin1(major));
    EXPECT_EQ(minors.join(QLatin1Char(' ')), QString::fromLatin1(minor));
}

TEST(Spelling, NotesOutsideTheKeyFollowItsSideOfTheCircle)
{
    struct Case
    {
        const char* name;
        int note;
        int k;
        bool minor;
        const char* expected;
    };
    const Case cases[] = {
        {"raised fourth in D major", 68, 2, false, "G#"},
        {"the same pitch in F major", 68, -1, false, "Ab"},
        {"leading tone of A minor", 68, 0, true, "G#"},
        {"raised sixth of A minor", 66, 0, true, "F#"},
        {"lowered second of A minor", 70, 0, true, "Bb"},
        {"leading tone of E flat minor", 62, -6, true, "D"},
        {"leading tone of D sharp minor", 62, 6, true, "C##"},
        {"white key outside G flat major", 64, -6, false, "E"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(NoteName(SpellInKey(c.note, c.k, c.minor)), QString::fromLatin1(c.expected));
    }
}

std::vector<TPitch> WrittenInC(const std::vector<std::pair<int, int>>& notes, int c)
{
    std::vector<TPitch> pitches;
    for (const auto& [relative, shift] : notes)
        pitches.push_back(
            TPitch{static_cast<std::int8_t>(c + relative), static_cast<std::int8_t>(shift)});
    return pitches;
}

TEST(Spelling, ItemsKeepTheirLettersExceptScalesWithoutOneLetterPerStep)
{
    struct Case
    {
        const char* name;
        std::vector<std::pair<int, int>> item;
        int c;
        int cLetter;
        const char* expected;
    };
    const Case cases[] = {
        {"harmonic minor on G flat keeps its double flats",
         {{0, 0}, {2, 0}, {3, 1}, {5, 0}, {7, 0}, {8, 1}, {11, 0}},
         66,
         4,
         "Gb Ab Bbb Cb Db Ebb F"},
        {"blues scale on C sharp has no double sharp",
         {{0, 0}, {3, 1}, {5, 0}, {6, -1}, {7, 0}, {10, 1}},
         61,
         0,
         "C# E F# G G# B"},
        {"diminished scale on C sharp",
         {{0, 0}, {2, 0}, {3, -1}, {5, 0}, {6, -1}, {8, -1}, {9, 0}, {11, 0}},
         61,
         0,
         "C# D# E F# G A A# C"},
        {"minor pentatonic on A flat keeps its letters",
         {{0, 0}, {3, 1}, {5, 0}, {7, 0}, {10, 1}},
         68,
         5,
         "Ab Cb Db Eb Gb"},
        {"whole-tone scale on E leaves its double sharp",
         {{0, 0}, {2, 0}, {4, 0}, {6, -1}, {8, -1}, {10, -1}},
         64,
         2,
         "E F# G# A# C D"},
        {"damaged item on a black key reads as the flat of its degree", {{1, 0}}, 60, 0, "Db"},
        {"major bebop on G flat keeps C flat; its added sixth is D, not E double flat",
         {{0, 0}, {2, 0}, {4, 0}, {5, 0}, {7, 0}, {8, 1}, {9, 0}, {11, 0}, {12, 0}},
         66,
         4,
         "Gb Ab Bb Cb Db D Eb F Gb"},
        {"major bebop on A flat adds F flat",
         {{0, 0}, {2, 0}, {4, 0}, {5, 0}, {7, 0}, {8, 1}, {9, 0}, {11, 0}, {12, 0}},
         68,
         5,
         "Ab Bb C Db Eb Fb F G Ab"},
        {"dominant bebop on F sharp adds E sharp",
         {{7, 0}, {9, 0}, {11, 0}, {12, 0}, {14, 0}, {16, 0}, {17, 0}, {18, -1}, {19, 0}},
         59,
         6,
         "F# G# A# B C# D# E E# F#"},
        {"dorian bebop on C sharp adds B sharp",
         {{2, 0}, {4, 0}, {5, 0}, {7, 0}, {9, 0}, {11, 0}, {12, 0}, {13, -1}, {14, 0}},
         59,
         6,
         "C# D# E F# G# A# B B# C#"},
        {"dominant bebop written from F in C keeps its letters on G flat",
         {{5, 0}, {7, 0}, {9, 0}, {10, 1}, {12, 0}, {14, 0}, {15, 1}, {16, 0}, {17, 0}},
         61,
         1,
         "Gb Ab Bb Cb Db Eb Fb F Gb"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<TPitch> notes = WrittenInC(c.item, c.c);
        SpellAsWritten(notes, c.c, c.cLetter, ScaleLetterRule(notes, c.c));
        QStringList names;
        for (const TPitch& p : notes)
            names << NoteName(p);
        EXPECT_EQ(names.join(QLatin1Char(' ')), QString::fromLatin1(c.expected));
    }
    const auto chromatic = WrittenInC(
        {{0, 0}, {1, -1}, {2, 0}, {3, -1}, {4, 0}, {5, 0}, {6, -1}, {7, 0}, {8, -1}, {9, 0}}, 60);
    EXPECT_EQ(ScaleLetterRule(chromatic, 60), LetterRule::FewestAccidentals);
}

TEST(Spelling, TheNoteAddedToASevenStepScaleIsFoundByItsDegrees)
{
    struct Case
    {
        const char* name;
        std::vector<std::pair<int, int>> item;
        std::optional<int> added; ///< pitch class above the item's C
    };
    const Case cases[] = {
        {"major bebop: the flat sixth",
         {{0, 0}, {2, 0}, {4, 0}, {5, 0}, {7, 0}, {8, 1}, {9, 0}, {11, 0}, {12, 0}},
         8},
        {"dominant bebop on G: the major seventh",
         {{7, 0}, {9, 0}, {11, 0}, {12, 0}, {14, 0}, {16, 0}, {17, 0}, {18, -1}, {19, 0}},
         6},
        {"dominant bebop on F: the major seventh, written natural",
         {{5, 0}, {7, 0}, {9, 0}, {10, 1}, {12, 0}, {14, 0}, {15, 1}, {16, 0}, {17, 0}},
         4},
        {"dominant bebop descending: the lowest note is still its tonic",
         {{19, 0}, {18, -1}, {17, 0}, {16, 0}, {14, 0}, {12, 0}, {11, 0}, {9, 0}, {7, 0}},
         6},
        {"dorian bebop: the major seventh",
         {{2, 0}, {4, 0}, {5, 0}, {7, 0}, {9, 0}, {11, 0}, {12, 0}, {13, -1}, {14, 0}},
         1},
        {"a seven-step scale adds nothing",
         {{0, 0}, {2, 0}, {4, 0}, {5, 0}, {7, 0}, {8, 1}, {11, 0}, {12, 0}},
         std::nullopt},
        {"the diminished scale leaves a letter out",
         {{0, 0}, {2, 0}, {3, -1}, {5, 0}, {6, -1}, {8, -1}, {9, 0}, {11, 0}},
         std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<TPitch> notes = WrittenInC(c.item, 60);
        EXPECT_EQ(AddedScaleNote(notes, 60), c.added);
        EXPECT_EQ(ScaleLetterRule(notes, 60) == LetterRule::KeepDegrees, c.added.has_value());
    }
}

} // namespace
} // namespace pv
