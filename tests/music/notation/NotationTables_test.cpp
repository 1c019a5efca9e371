// Key-root tables, the diatonic ladder, duration codes and the replaceable chord symbols.
#include "music/notation/NotationTables.h"

#include <gtest/gtest.h>

namespace pv {
namespace {

TEST(KeyTables, TonicIsSevenFifthsPerSignatureAndScaleRootDiffersOnlyAtSevenFlats)
{
    for (int k = kMinKeySignature; k <= kMaxKeySignature; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(KeyTonicTable(k), ((7 * k) % 12 + 12) % 12);
        EXPECT_EQ(ScaleRootTable(k), k == -7 ? 12 : KeyTonicTable(k));
    }
    EXPECT_EQ(ScaleRootTable(-6), 6);
}

TEST(KeyTables, SignatureOutsideRangeIsClamped)
{
    EXPECT_EQ(KeyTonicTable(9), KeyTonicTable(7));
    EXPECT_EQ(ScaleRootTable(-20), 12);
}

TEST(KeySpellingTables, StepPlusAccidentalSpellsEveryPitchClass)
{
    for (int pc = 0; pc < 12; ++pc) {
        SCOPED_TRACE(pc);
        const auto& sharp = SharpKeySpelling[static_cast<std::size_t>(pc)];
        const auto& flat = FlatKeySpelling[static_cast<std::size_t>(pc)];
        EXPECT_EQ(MajorScaleSteps[sharp.Step] + sharp.Accidental, pc);
        EXPECT_EQ(MajorScaleSteps[flat.Step] - flat.Accidental, pc);
    }
}

TEST(DiatonicSteps, FollowsTheWhiteKeysAroundTheReferenceC)
{
    const int expected[] = {-24, -22, -20, -19, -17, -15, -13, -12, -10, -8,
                            -7,  -5,  -3,  -1,  0,   2,   4,   5,   7,   9};
    for (int i = 0; i < 20; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(DiatonicSteps(i), expected[i]);
    }
    EXPECT_EQ(DiatonicSteps(28), 24);
    EXPECT_EQ(DiatonicSteps(-1), -25);
    EXPECT_EQ(DiatonicSteps(-7), -36);
}

TEST(MajorScaleStep, ContinuesTheTableByOctavesBelowAndAbove)
{
    const struct
    {
        int k;
        int semitones;
    } cases[] = {{0, 0},   {6, 11},  {14, 24}, {15, 26},  {-1, -1},
                 {-2, -3}, {-3, -5}, {-4, -7}, {-7, -12}, {-14, -24}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.k);
        EXPECT_EQ(MajorScaleStep(c.k), c.semitones);
    }
    for (int k = 0; k < 15; ++k)
        EXPECT_EQ(MajorScaleStep(k), MajorScaleSteps[static_cast<std::size_t>(k)]);
}

TEST(DurationTicks, InvalidCodesPlayAsWholeForZeroElseQuarter)
{
    const struct
    {
        int code;
        int ticks;
    } cases[] = {{1, 2688}, {2, 1344}, {3, 672}, {4, 336},   {5, 168},
                 {6, 84},   {0, 2688}, {7, 672}, {255, 672}, {-1, 672}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(DurationTicksOf(c.code), c.ticks);
    }
}

TEST(ChordSymbolTable, EntriesCanBeReplacedAndReset)
{
    ASSERT_EQ(ChordSymbolTable().size(), 19u);
    EXPECT_EQ(ChordSymbol(1), QStringLiteral("mi"));
    EXPECT_EQ(ChordSymbol(18), QStringLiteral("7(#9)"));
    SetChordSymbol(1, QStringLiteral("m"));
    SetChordSymbol(19, QStringLiteral("ignored"));
    SetChordSymbol(-1, QStringLiteral("ignored"));
    EXPECT_EQ(ChordSymbol(1), QStringLiteral("m"));
    EXPECT_TRUE(ChordSymbol(19).isEmpty());
    ResetNotationTexts();
    EXPECT_EQ(ChordSymbol(1), QStringLiteral("mi"));
}

} // namespace
} // namespace pv
