// Names of the built-in progressions, degree spelling, and the minor-key vote.
#include "exercises/progressions/ProgressionNaming.h"
#include "music/notation/NotationTables.h"

#include <gtest/gtest.h>

namespace pv {
namespace {

TEST(ProgressionName, NamesEveryBuiltInProgression)
{
    const char* expected[] = {
        "V - I",
        "V - I mi",
        "V 7 - I",
        "V 7 - I mi",
        "VII dim7 - I",
        "VII dim7 - I mi",
        "V mi - I mi",
        "IV - V - I",
        "IV mi - V - I",
        "II mi - V - I",
        "II mi7 - V 7 - I maj7",
        "II mi7 - V 7 - I mi7",
        "II mi7(b5) - V 7(b9) - I maj7",
        "II mi7(b5) - V 7(b9) - I mi7",
        "II mi7(b5) - bII 7(b5) - I maj7",
        "II mi7(b5) - bII 7(b5) - I mi7",
        "IV - I",
        "IV mi - I",
        "IV - I mi",
        "IV mi - I mi",
        "I - IV - I",
        "V - IV - I",
        "III mi - IV - I",
        "II mi - I",
        "III mi - I",
        "VI mi - I",
        "bII 7(b5) - I maj7",
        "bII 7(b5) - I mi",
        "bIII - I",
        "bIII - I mi",
        "bVI - I",
        "bVI - I mi",
        "I - VI mi - IV - V - I",
        "I mi - bVI - bVII - I mi",
        "I mi - bVI - IV mi - V - I mi",
    };
    const ItemTables& tables = BuiltInItemTables();
    for (int item = 1; item <= 35; ++item) {
        SCOPED_TRACE(item);
        const auto chords = tables.ProgressionChords(item);
        EXPECT_EQ(ProgressionName(chords, static_cast<int>(chords.size())),
                  QString::fromLatin1(expected[item - 1]));
    }
}

TEST(ProgressionName, EmptyForNoChordsAndJoinsOnlyTheCountedOnes)
{
    const ProgressionChord chords[] = {{67, 0, 6, 0}, {60, 0, 0, 0}};
    EXPECT_TRUE(ProgressionName(chords, 0).isEmpty());
    EXPECT_TRUE(ProgressionName(chords, -3).isEmpty());
    EXPECT_EQ(ProgressionName(chords, 1), QStringLiteral("V 7"));
    EXPECT_EQ(ProgressionName(chords, 12), QStringLiteral("V 7 - I"));
}

TEST(ChordSymbolName, DegreeFollowsTheWrittenLetterAndItsAccidental)
{
    struct Case
    {
        const char* name;
        ProgressionChord chord;
        int key;
        const char* expected;
    };
    const Case cases[] = {
        {"D flat", {61, 1, 0, 0}, 60, "bII"},
        {"C sharp", {61, -1, 0, 0}, 60, "#I"},
        {"B flat seventh", {70, 1, 6, 0}, 60, "bVII 7"},
        {"minor on F", {65, 0, 1, 0}, 60, "IV mi"},
        {"root below the key", {55, 0, 0, 0}, 60, "V"},
        {"other key", {67, 0, 0, 0}, 67, "I"},
        {"item mapped to symbol 18", {60, 0, 25, 0}, 60, "I 7(#9)"},
        {"item without symbol", {60, 0, 20, 0}, 60, "I"},
        {"type past the table", {60, 0, 200, 0}, 60, "I"},
        {"shift past double flat", {60, 3, 0, 0}, 60, "bIII"},
        {"shift past double sharp", {60, -3, 0, 0}, 60, "VI"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ChordSymbolName(c.chord, c.key), QString::fromLatin1(c.expected));
    }
}

TEST(ChordSymbolName, UsesTheLanguagesChordSymbols)
{
    SetChordSymbol(1, QStringLiteral("m"));
    EXPECT_EQ(ChordSymbolName({62, 0, 1, 0}, 60), QStringLiteral("II m"));
    ResetNotationTexts();
}

bool HasMinorThird(const ItemTable& chords, int type)
{
    const auto notes = chords.Notes(type + 1);
    for (const ItemNote& n : notes) {
        if (n.Note - notes.front().Note == 3)
            return true;
    }
    return false;
}

TEST(ProgressionIsMinor, EveryBuiltInProgressionIsMinorExactlyWhenItEndsOnAMinorChord)
{
    const ItemTables& tables = BuiltInItemTables();
    for (int item = 1; item <= 35; ++item) {
        SCOPED_TRACE(item);
        const auto chords = tables.ProgressionChords(item);
        ASSERT_FALSE(chords.empty());
        EXPECT_EQ(ProgressionIsMinor(chords),
                  HasMinorThird(tables.ChordIdentification, chords.back().ChordType));
    }
}

TEST(ProgressionIsMinor, MinorSeventhOnTheTonicVotesMinor)
{
    // II mi7 - V 7 - I mi7: read with the augmented and dominant chords as "minor" it came out
    // major.
    const ProgressionChord chords[] = {{62, 0, 7, 0}, {67, 0, 6, 0}, {60, 0, 7, 0}};
    EXPECT_TRUE(ProgressionIsMinor(chords));
    const ProgressionChord major[] = {{62, 0, 7, 0}, {67, 0, 6, 0}, {60, 0, 8, 0}};
    EXPECT_FALSE(ProgressionIsMinor(major));
}

} // namespace
} // namespace pv
