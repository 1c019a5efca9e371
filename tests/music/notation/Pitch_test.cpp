// Note names over every spelling shift, and the language's letter for B.
#include "music/notation/NotationTables.h"
#include "music/notation/Pitch.h"

#include <gtest/gtest.h>

namespace pv {
namespace {

class NoteNameTest : public ::testing::Test
{
protected:
    void TearDown() override { ResetNotationTexts(); }
};

TEST_F(NoteNameTest, NamesLetterAndAccidentalForEveryShift)
{
    struct Case
    {
        int note;
        int shift;
        const char* expected;
    };
    const Case cases[] = {
        {60, 0, "C"},      {61, 1, "Db"},   {61, -1, "C#"}, {70, 1, "Bb"},   {70, -1, "A#"},
        {59, 1, "Cb"},     {60, -1, "B#"},  {60, 2, "Dbb"}, {61, -2, "B##"}, {59, 0, "B"},
        {69, 2, "Bbb"},    {62, -2, "C##"}, {66, 0, " "},   {0, 0, "C"},     {-128, 0, "E"},
        {-128, 1, "Fb"},   {127, 0, "G"},   {60, 3, "???"}, {60, -3, "???"}, {60, 127, "???"},
        {60, -128, "???"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.note << " shift " << c.shift);
        const TPitch p{static_cast<std::int8_t>(c.note), static_cast<std::int8_t>(c.shift)};
        EXPECT_EQ(NoteName(p), QString::fromLatin1(c.expected));
    }
}

TEST_F(NoteNameTest, LanguageLetterReplacesNaturalAndSharpBButNeverFlatB)
{
    SetNoteLetterB(QLatin1Char('H'));
    EXPECT_EQ(NoteName({71, 0}), QStringLiteral("H"));
    EXPECT_EQ(NoteName({60, -1}), QStringLiteral("H#"));
    EXPECT_EQ(NoteName({61, -2}), QStringLiteral("H##"));
    EXPECT_EQ(NoteName({70, 1}), QStringLiteral("Bb"));
    EXPECT_EQ(NoteName({69, 2}), QStringLiteral("Bbb"));
    EXPECT_EQ(NoteLetters()[10], QLatin1Char('B'));
    EXPECT_EQ(NoteLetters()[11], QLatin1Char('H'));

    ResetNotationTexts();
    EXPECT_EQ(NoteName({71, 0}), QStringLiteral("B"));
}

TEST(PitchWord, KeepsNoteInLowByteAndShiftInHighByte)
{
    EXPECT_EQ(PitchToWord({60, 1}), 0x013C);
    EXPECT_EQ(PitchToWord({70, -1}), 0xFF46);
    EXPECT_EQ(PitchFromWord(0xFF46), (TPitch{70, -1}));
    EXPECT_EQ(PitchFromWord(PitchToWord({-5, -2})), (TPitch{-5, -2}));
}

} // namespace
} // namespace pv
