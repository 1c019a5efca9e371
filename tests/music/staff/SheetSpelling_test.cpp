// Spelling notes in the sheet's key and in the scale of a key signature.
#include "StaffTestSupport.h"
#include "music/notation/NotationTables.h"

#include <string>

#include <QStringList>

#include <gtest/gtest.h>

namespace pv {
namespace {

class SheetSpelling : public ::testing::Test
{
protected:
    SheetSpelling() : sheet(keys, spacing) {}

    NoKeysHeld keys;
    NoteSpacing spacing;
    TSheet sheet;
};

TEST_F(SheetSpelling, KeySpellingWritesBlackKeysAsSharpsOnlyInSharpKeys)
{
    struct Case
    {
        const char* name;
        int key;
        int root;
        int note;
        int shift;
    };
    const Case cases[] = {
        {"C sharp in D major", 2, 0, 61, -1},          {"D flat in C", 0, 0, 61, 1},
        {"D flat in F major", -1, 0, 61, 1},           {"white key natural", 2, 0, 64, 0},
        {"relative to the key root", 0, 2, 63, 1},     {"note below the key root", 0, 5, 3, 1},
        {"low sharp below the key root", 3, 5, 1, -1}, {"negative note", 1, 0, -11, -1},
        {"C flat in G flat major", -6, 0, 71, 1},      {"E sharp in F sharp major", 6, 0, 65, -1},
        {"E natural in G flat major", -6, 0, 64, 0},   {"G natural in F sharp major", 6, 0, 67, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sheet.SetKeySignature(c.key);
        sheet.SetKeyRoot(c.root);
        EXPECT_EQ(sheet.KeySpelling(c.note), c.shift);
    }
}

TEST_F(SheetSpelling, IntervalInTheKeyOfSixFlatsSpellsFNaturalAndGFlat)
{
    // An interval in the key: the lower note lies 11 semitones above the tonic G flat.
    const int f = sheet.SpellInScale(TPitch{65, 0}, 11, -6);
    const int gFlat = sheet.SpellInScale(TPitch{66, 0}, 11, -6);
    EXPECT_EQ(f, 0);
    EXPECT_EQ(gFlat, 1);
    EXPECT_EQ(NoteName(TPitch{65, static_cast<std::int8_t>(f)}), QStringLiteral("F"));
    EXPECT_EQ(NoteName(TPitch{66, static_cast<std::int8_t>(gFlat)}), QStringLiteral("Gb"));
}

TEST_F(SheetSpelling, DegreesOfSixFlatsAndSixSharpsAreOnTheKeysLetters)
{
    // The fourth of G flat major is C flat and its seventh F; the seventh of F sharp major is
    // E sharp. A pitch-class table writes B, G double flat or F there.
    struct Case
    {
        const char* name;
        int k;
        int offset;
        TPitch pitch;
        const char* expected;
    };
    const Case cases[] = {
        {"fourth degree of G flat", -6, 5, {71, 0}, "Cb"},
        {"minor third above it", -6, 5, {74, 1}, "Ebb"},
        {"seventh degree of G flat", -6, 11, {65, 0}, "F"},
        {"seventh degree of F sharp", 6, 11, {65, 0}, "E#"},
        {"major third above it", 6, 11, {69, 0}, "G##"},
        {"third degree of C sharp", 7, 4, {65, 0}, "E#"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sheet.SetKeySignature(c.k);
        const int shift = sheet.SpellInScale(c.pitch, c.offset, c.k);
        EXPECT_EQ(NoteName(TPitch{c.pitch.Note, static_cast<std::int8_t>(shift)}),
                  QString::fromLatin1(c.expected));
    }
}

TEST_F(SheetSpelling, KeyNameOfEveryKeyIsSpelledOnItsTonicsLetter)
{
    const char* major[] = {"Gb", "Db", "Ab", "Eb", "Bb", "F", "C", "G", "D", "A", "E", "B", "F#"};
    const char* minor[] = {"Eb", "Bb", "F", "C", "G", "D", "A", "E", "B", "F#", "C#", "G#", "D#"};
    for (int k = -6; k <= 6; ++k) {
        sheet.SetKeySignature(k);
        sheet.SetMode(0);
        EXPECT_EQ(sheet.KeyName(), QString::fromLatin1(major[k + 6]) + QStringLiteral("-major"));
        sheet.SetMode(1);
        EXPECT_EQ(sheet.KeyName(), QString::fromLatin1(minor[k + 6]) + QStringLiteral("-minor"));
    }
}

TEST_F(SheetSpelling, EveryKeySpellsItsOwnScaleOnSevenLetters)
{
    // The scale items are written in C: major all natural, natural minor with flat third,
    // sixth and seventh; the key offset is 0 for major and -3 for minor.
    struct Scale
    {
        const char* name;
        std::array<int, 7> steps;
        std::array<int, 7> shifts;
        int offset;
    };
    const Scale scales[] = {
        {"major", {0, 2, 4, 5, 7, 9, 11}, {0, 0, 0, 0, 0, 0, 0}, 0},
        {"natural minor", {0, 2, 3, 5, 7, 8, 10}, {0, 0, 1, 0, 0, 1, 1}, -3},
    };
    for (const auto& scale : scales) {
        for (int k = kMinKeySignature; k <= kMaxKeySignature; ++k) {
            SCOPED_TRACE(QStringLiteral("%1 of key %2")
                             .arg(QString::fromLatin1(scale.name))
                             .arg(k)
                             .toStdString());
            const int root = 60 + PositiveMod(KeyTonicTable(k) + scale.offset, 12);
            int previousLetter = -1;
            QStringList names;
            for (std::size_t i = 0; i < 7; ++i) {
                const int note = root + scale.steps[i];
                const int shift =
                    sheet.SpellInScale(TPitch{static_cast<std::int8_t>(note),
                                              static_cast<std::int8_t>(scale.shifts[i])},
                                       scale.offset, k);
                const QString name = NoteName(
                    TPitch{static_cast<std::int8_t>(note), static_cast<std::int8_t>(shift)});
                names << name;
                EXPECT_NE(name, QStringLiteral("???"));
                // Each degree on the next letter, and a sharp key never writes a flat.
                const auto letter =
                    static_cast<int>(std::string("CDEFGAB").find(name[0].toLatin1()));
                if (previousLetter >= 0) {
                    EXPECT_EQ(letter, (previousLetter + 1) % 7)
                        << names.join(QLatin1Char(' ')).toStdString();
                }
                previousLetter = letter;
                if (k > 0) {
                    EXPECT_LE(shift, 0);
                }
                if (k < 0) {
                    EXPECT_GE(shift, 0);
                }
            }
        }
    }
}

TEST_F(SheetSpelling, IntervalsSpelledAsTheirItemsKeepTheirNumberOnEveryDegreeOfEveryKey)
{
    // The interval items are written from C with the upper note of the minor intervals and the
    // tritones flat; the spelling rule takes that written letter as the interval's size. A
    // question root lies on a degree of the key, its key offset the degree's distance from the
    // major tonic (-3 for the minor tonic).
    static constexpr int kLetterSteps[12] = {0, 1, 1, 2, 2, 3, 4, 4, 5, 5, 6, 6};
    const std::string letters = "CDEFGAB";
    for (int k = kMinKeySignature; k <= kMaxKeySignature; ++k) {
        for (int offset : {0, 2, 4, 5, 7, 9, 11, -3}) {
            const int lower = 60 + PositiveMod(KeyTonicTable(k) + offset, 12);
            for (int semitones = 0; semitones <= 24; ++semitones) {
                const int inOctave = semitones % 12;
                const bool flat = inOctave == 1 || inOctave == 3 || inOctave == 6 ||
                                  inOctave == 8 || inOctave == 10;
                const TPitch low{static_cast<std::int8_t>(lower), 0};
                const TPitch high{static_cast<std::int8_t>(lower + semitones),
                                  static_cast<std::int8_t>(flat ? 1 : 0)};
                const QString lowName = NoteName(
                    TPitch{low.Note, static_cast<std::int8_t>(sheet.SpellInScale(low, offset, k))});
                const QString highName = NoteName(TPitch{
                    high.Note, static_cast<std::int8_t>(sheet.SpellInScale(high, offset, k))});
                SCOPED_TRACE(QStringLiteral("key %1, offset %2: %3 - %4")
                                 .arg(k)
                                 .arg(offset)
                                 .arg(lowName, highName)
                                 .toStdString());
                ASSERT_NE(lowName, QStringLiteral("???"));
                ASSERT_NE(highName, QStringLiteral("???"));
                const auto lowLetter = static_cast<int>(letters.find(lowName[0].toLatin1()));
                const auto highLetter = static_cast<int>(letters.find(highName[0].toLatin1()));
                EXPECT_EQ(PositiveMod(highLetter - lowLetter, 7), kLetterSteps[inOctave]);
            }
        }
    }
    // The minor third on A in A major: written as its item writes it (E flat from C) it reads
    // C; an unspelled C would be read as the augmented second B sharp.
    sheet.SetKeySignature(3);
    EXPECT_EQ(sheet.SpellInScale(TPitch{72, 1}, 0, 3), 0);
    EXPECT_EQ(sheet.SpellInScale(TPitch{72, 0}, 0, 3), -1);
}

TEST_F(SheetSpelling, ChromaticNotesAreNeverGivenAShiftWithoutASign)
{
    for (int k = -7; k <= 7; ++k)
        for (int offset : {0, 2, 4, 5, 7, 9, 11, -3})
            for (int note = 40; note < 90; ++note)
                for (int shift = -1; shift <= 1; ++shift) {
                    const int r = sheet.SpellInScale(
                        TPitch{static_cast<std::int8_t>(note), static_cast<std::int8_t>(shift)},
                        offset, k);
                    ASSERT_GE(r, -2) << k << ' ' << offset << ' ' << note;
                    ASSERT_LE(r, 2) << k << ' ' << offset << ' ' << note;
                }
}

} // namespace
} // namespace pv
