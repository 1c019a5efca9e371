// Layout of rhythm notation: widths, positions, line breaks, bar lines, beams, ties, triplets,
// rests, the bar underline and the result marks.
#include "exercises/rhythm/RhythmChecks.h"
#include "exercises/rhythm/RhythmLayout.h"
#include "exercises/rhythm/TRytme.h"
#include "music/strings/UIStrings.h"
#include "support/RhythmText.h"
#include "support/ScriptedPrompts.h"
#include "support/ScriptedRandom.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::LoadRhythm;

constexpr int kRow44 = 4;
constexpr int kRow34 = 3;
constexpr int kRow24 = 2;

std::vector<QLine> LinesOf(const RhythmDisplayList& list, RhythmLineKind kind)
{
    std::vector<QLine> lines;
    for (const RhythmLine& line : list.Lines)
        if (line.Kind == kind)
            lines.push_back(line.Line);
    return lines;
}

std::vector<RhythmGlyphItem> GlyphsOf(const RhythmDisplayList& list, RhythmGlyph glyph)
{
    std::vector<RhythmGlyphItem> glyphs;
    for (const RhythmGlyphItem& item : list.Glyphs)
        if (item.Glyph == glyph)
            glyphs.push_back(item);
    return glyphs;
}

bool LineLess(const QLine& a, const QLine& b)
{
    return std::tuple(a.y1(), a.x1(), a.x2(), a.y2()) < std::tuple(b.y1(), b.x1(), b.x2(), b.y2());
}

std::vector<QLine> Sorted(std::vector<QLine> lines)
{
    std::sort(lines.begin(), lines.end(), LineLess);
    return lines;
}

class RhythmLayout : public ::testing::Test
{
protected:
    std::vector<int> XOf(int list = 0) const
    {
        std::vector<int> xs;
        for (const RhythmNote& note : rytme.List(list))
            xs.push_back(note.X);
        return xs;
    }
    std::vector<int> LineOfNotes(int list = 0) const
    {
        std::vector<int> lines;
        for (const RhythmNote& note : rytme.List(list))
            lines.push_back(note.Line);
        return lines;
    }

    test::ScriptedRandom random{{0}};
    test::ScriptedPrompts prompts;
    const UIStringTable strings{};
    TRytme rytme{random, prompts, strings};
};

TEST(RhythmNoteWidths, FollowTheSpacingTable)
{
    struct Case
    {
        int spacing;
        std::uint32_t ticks;
        RhythmNoteWidths widths;
    };
    const Case cases[] = {
        {0, 2688, {336, 336}}, // proportional: a whole note is 336 pixels
        {0, 168, {21, 21}},    {0, 1008, {126, 126}}, {1, 672, {45, 41}},
        {1, 84, {17, 13}},     {1, 224, {23, 19}},    {2, 672, {29, 25}},
        {2, 2688, {74, 70}},   {3, 2688, {17, 13}}, // every note equally wide
        {3, 84, {17, 13}},     {-1, 336, {42, 42}}, // out of range: held within 0..3
        {9, 336, {17, 13}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "spacing " << c.spacing << " ticks " << c.ticks);
        EXPECT_EQ(NoteWidths(c.spacing, c.ticks), c.widths);
    }
}

TEST_F(RhythmLayout, NotesAdvanceBySAndBarsByFourThenNine)
{
    LoadRhythm(rytme, 0, kRow44, "4 4 4 4 | 4 4 4 4 |");
    const RhythmDisplayList list = rytme.Draw(0, 600, 3);

    EXPECT_EQ(XOf(), (std::vector<int>{47, 64, 81, 98, 128, 145, 162, 179}));
    EXPECT_EQ(LineOfNotes(), std::vector<int>(8, 0));
    EXPECT_EQ(LinesOf(list, RhythmLineKind::BarLine),
              (std::vector<QLine>{QLine(119, 12, 119, 57), QLine(200, 12, 200, 57)}));
    // The rhythm closes with the last bar's thin line and a thick one 3 pixels to its right,
    // 3 pixels wide; the staff runs to the thick line's right edge, never past it.
    EXPECT_EQ(LinesOf(list, RhythmLineKind::FinalBarLine),
              (std::vector<QLine>{QLine(203, 12, 203, 57)}));
    EXPECT_EQ(LinesOf(list, RhythmLineKind::Staff), (std::vector<QLine>{QLine(40, 42, 205, 42)}));
    EXPECT_EQ(rytme.BarsDrawn[0], 2);
    EXPECT_EQ(rytme.BarX[0][1], 120);
    EXPECT_EQ(rytme.BarX[0][2], 201);
    EXPECT_EQ(rytme.BarLine[0][1], 0);
    EXPECT_EQ(rytme.BarLine[0][2], 0);
    ASSERT_TRUE(list.Height.has_value());
    EXPECT_EQ(*list.Height, 65);
    EXPECT_EQ(list.Area, QRect(0, 0, 600, 65));
    EXPECT_TRUE(list.ClearArea);

    // Heads sit on the staff line with their pictures' tops at 17; stems rise to 17.
    const auto heads = GlyphsOf(list, RhythmGlyph::BlackHead);
    ASSERT_EQ(heads.size(), 8u);
    EXPECT_EQ(heads[4].Anchor, QPoint(128, 17));
    EXPECT_EQ(heads[4].At, QPoint(133, 42));
    EXPECT_EQ(heads[4].Note, 5);
    EXPECT_EQ(LinesOf(list, RhythmLineKind::Stem)[4], QLine(137, 41, 137, 17));
}

TEST_F(RhythmLayout, WidthsFollowTheSpacingAndDottedNotesWidenFromSpacingTwo)
{
    struct Case
    {
        const char* rhythm;
        int spacing;
        std::vector<int> x;
    };
    const Case cases[] = {
        {"1 | 1 |", 0, {47, 396}}, // 47 + 336 + 4 + 9
        {"2 2 | 1 |", 0, {47, 215, 396}},
        {"4. 8 2 |", 1, {47, 108, 137}},
        {"4. 8 2 |", 2, {47, 87, 109}},
        {"4. 8 2 |", 3, {47, 67, 84}},
        {"8 8 16 16 16 16 2 |", 1, {47, 76, 105, 126, 147, 168, 189}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rhythm << " spacing " << c.spacing);
        LoadRhythm(rytme, 0, kRow44, c.rhythm);
        ASSERT_TRUE(test::BarsSumTo(rytme.List(0), 2688));
        rytme.Draw(0, 2000, c.spacing);
        EXPECT_EQ(XOf(), c.x);
    }
}

TEST_F(RhythmLayout, ABarThatDoesNotFitStartsANewLine)
{
    // The next bar needs its width plus 13 pixels, beamed notes judged at their narrower width
    // and every dotted entry 3 wider; and the bar line it ends with must fall inside the box
    // (judged narrower, a bar of beamed notes would otherwise run past it). The second bar is
    // the last: the thick line that closes it, 5 pixels right of its bar line, must fit too.
    struct Case
    {
        const char* second;
        int spacing;
        int width;
        int line;
    };
    const Case cases[] = {
        // First bar's line at 119; four quarters end at 200, closed at 205.
        {"4 4 4 4", 3, 206, 0},
        {"4 4 4 4", 3, 205, 1},
        {"(8 8) (8 8) (8 8) (8 8)", 3, 274, 0},
        {"(8 8) (8 8) (8 8) (8 8)", 3, 273, 1},
        {"8 8 8 8 8 8 8 8", 3, 274, 0},
        {"8 8 8 8 8 8 8 8", 3, 273, 1},
        {"4. 8 4 4", 3, 209, 0},
        {"4. 8 4 4", 3, 208, 1},
        // Spacing 1: first bar's line at 231; each dotted note is judged 3 wider than drawn, so
        // four of them ask for more room than the bar and its closing line take (442).
        {"4. 8 4 4", 1, 430, 0},
        {"4. 8 4 4", 1, 429, 1},
        {"8. 8. 8. 8. 4", 1, 449, 0},
        {"8. 8. 8. 8. 4", 1, 448, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.second << " spacing " << c.spacing << " width " << c.width);
        LoadRhythm(rytme, 0, kRow44, std::string("4 4 4 4 | ") + c.second + " |");
        const RhythmDisplayList list = rytme.Draw(0, c.width, c.spacing);
        const int firstBarLine = c.spacing == 3 ? 119 : 231;
        const RhythmNote& first = rytme.Note(0, 5);
        EXPECT_EQ(first.Line, c.line);
        EXPECT_EQ(first.X, c.line == 0 ? firstBarLine + 9 : 47);
        EXPECT_EQ(rytme.BarLine[0][2], c.line);
        ASSERT_TRUE(list.Height.has_value());
        EXPECT_EQ(*list.Height, 65 + 64 * c.line);
        EXPECT_LT(rytme.BarX[0][2] - 1, c.width);
        const auto closing = LinesOf(list, RhythmLineKind::FinalBarLine);
        ASSERT_EQ(closing.size(), 1u);
        EXPECT_LT(closing.front().x1() + kRhythmFinalBarWidth - 1, c.width);
        if (c.line == 1) {
            // The first line's staff ends at its last bar line.
            EXPECT_EQ(LinesOf(list, RhythmLineKind::Staff).front(),
                      QLine(40, 42, firstBarLine, 42));
            EXPECT_EQ(LinesOf(list, RhythmLineKind::BarLine)[1].y1(), 64 + 12);
        }
    }
}

TEST_F(RhythmLayout, ALongRhythmWrapsOverSeveralLines)
{
    std::string text;
    const char* bars[] = {"(8 8) 4 (16 16 16 16) 4", "4. 8 2", "(8 8) (8 8) 4 4", "2 4 (16 16 8)"};
    for (int b = 0; b < 12; ++b)
        text += std::string(bars[b % 4]) + " | ";
    LoadRhythm(rytme, 0, kRow44, text);
    ASSERT_TRUE(test::BarsSumTo(rytme.List(0), 2688));
    const int width = 330;
    const RhythmDisplayList list = rytme.Draw(0, width, 2);

    const auto lines = LineOfNotes();
    EXPECT_TRUE(std::is_sorted(lines.begin(), lines.end()));
    const int lastLine = lines.back();
    EXPECT_GE(lastLine, 3);
    EXPECT_EQ(*list.Height, lastLine * 64 + 65);
    EXPECT_EQ(rytme.BarsDrawn[0], 12);
    const auto barLines = LinesOf(list, RhythmLineKind::BarLine);
    ASSERT_EQ(barLines.size(), 12u);
    for (int k = 1; k <= 12; ++k) {
        SCOPED_TRACE(k);
        const QLine& line = barLines[static_cast<std::size_t>(k - 1)];
        EXPECT_EQ(rytme.BarX[0][static_cast<std::size_t>(k)], line.x1() + 1);
        EXPECT_EQ(rytme.BarLine[0][static_cast<std::size_t>(k)] * 64 + 12, line.y1());
        EXPECT_LT(line.x1(), width);
    }
    // Every line but the first starts at 47, right after a bar line, and has its own staff.
    for (std::size_t i = 1; i < rytme.List(0).size(); ++i) {
        const RhythmNote& note = rytme.List(0)[i];
        if (note.Line != rytme.List(0)[i - 1].Line) {
            EXPECT_EQ(note.X, 47);
            EXPECT_TRUE(rytme.List(0)[i - 1].BarEnd);
        }
    }
    EXPECT_EQ(static_cast<int>(LinesOf(list, RhythmLineKind::Staff).size()), lastLine + 1);
}

TEST_F(RhythmLayout, BarsBeyondTwelveAreDrawnButNotRecorded)
{
    std::string text;
    for (int b = 0; b < 15; ++b)
        text += "1 | ";
    LoadRhythm(rytme, 0, kRow44, text);
    const RhythmDisplayList list = rytme.Draw(0, 300, 3);
    EXPECT_EQ(LinesOf(list, RhythmLineKind::BarLine).size(), 15u);
    EXPECT_EQ(rytme.BarsDrawn[0], 12);
    EXPECT_EQ(rytme.BarLine[0][12], rytme.Note(0, 12).Line);
}

TEST_F(RhythmLayout, EmptyListDrawsNothingAndKeepsTheHeight)
{
    rytme.BarsDrawn[1] = 3;
    const RhythmDisplayList list = rytme.Draw(1, 400, 1);
    EXPECT_TRUE(list.Empty());
    EXPECT_FALSE(list.Height.has_value());
    EXPECT_EQ(rytme.BarsDrawn[1], 0);
    // With nothing drawn, marking a bar only removes underlines.
    const RhythmDisplayList marks = rytme.MarkBar(1, 1, 400);
    EXPECT_TRUE(LinesOf(marks, RhythmLineKind::Underline).empty());
}

TEST_F(RhythmLayout, TimeSignatureStandsBeforeTheStaff)
{
    LoadRhythm(rytme, 0, 9, "(8 8) (8 8) (8 8 8) |");
    const RhythmDisplayList list = rytme.Draw(0, 400, 3);
    ASSERT_EQ(list.Texts.size(), 2u);
    EXPECT_EQ(list.Texts[0].Text, QStringLiteral("7"));
    EXPECT_EQ(list.Texts[1].Text, QStringLiteral("8"));
    EXPECT_LT(list.Texts[0].At.y(), 42);
    EXPECT_GT(list.Texts[1].At.y(), 42);
    EXPECT_LT(list.Texts[0].At.x(), 40);
}

TEST_F(RhythmLayout, BeamsJoinTheNotesOfEachGroupWithPartialBeamsIntoTheBeat)
{
    // Stems stand at X + 9; a dotted note with spacing 3 pushes the next one 3 further.
    LoadRhythm(rytme, 0, kRow44, "(8 8) (16 16 16 16) (8. 16<) (16> 8 16<) |");
    ASSERT_TRUE(test::BarsSumTo(rytme.List(0), 2688));
    const RhythmDisplayList list = rytme.Draw(0, 600, 3);
    EXPECT_EQ(XOf(), (std::vector<int>{47, 64, 81, 98, 115, 132, 149, 169, 186, 203, 220}));

    const std::vector<QLine> expected{
        QLine(56, 17, 73, 17),   // eighths of beat 1
        QLine(90, 17, 141, 17),  // four sixteenths ...
        QLine(90, 22, 141, 22),  // ... with one second beam
        QLine(158, 17, 178, 17), // dotted eighth and sixteenth ...
        QLine(172, 22, 178, 22), // ... the sixteenth's partial beam points back
        QLine(195, 17, 229, 17), // sixteenth, eighth, sixteenth ...
        QLine(195, 22, 201, 22), // ... the first points forward
        QLine(223, 22, 229, 22), // ... the last back
    };
    EXPECT_EQ(Sorted(LinesOf(list, RhythmLineKind::Beam)), Sorted(expected));
    EXPECT_TRUE(GlyphsOf(list, RhythmGlyph::Flag8).empty());
    EXPECT_TRUE(GlyphsOf(list, RhythmGlyph::Flag16).empty());
    const auto stems = LinesOf(list, RhythmLineKind::Stem);
    ASSERT_EQ(stems.size(), 11u);
    for (const QLine& stem : stems)
        EXPECT_EQ(stem.y2(), 17);
}

TEST_F(RhythmLayout, NotesOutsideABeamGroupGetFlags)
{
    // A lone eighth between quarters, and a group of one note (never beamed).
    LoadRhythm(rytme, 0, kRow44, "4 8 (8) 16 16 8 4 |");
    ASSERT_TRUE(test::BarsSumTo(rytme.List(0), 2688));
    const RhythmDisplayList list = rytme.Draw(0, 600, 3);
    EXPECT_TRUE(LinesOf(list, RhythmLineKind::Beam).empty());
    std::vector<int> flagged;
    for (RhythmGlyph flag : {RhythmGlyph::Flag8, RhythmGlyph::Flag16})
        for (const auto& item : GlyphsOf(list, flag))
            flagged.push_back(item.Note * 100 + static_cast<int>(item.Glyph));
    std::sort(flagged.begin(), flagged.end());
    const int f8 = static_cast<int>(RhythmGlyph::Flag8);
    const int f16 = static_cast<int>(RhythmGlyph::Flag16);
    EXPECT_EQ(flagged, (std::vector<int>{200 + f8, 300 + f8, 400 + f16, 500 + f16, 600 + f8}));
    // A flag hangs from the top of its stem.
    EXPECT_EQ(GlyphsOf(list, RhythmGlyph::Flag8).front().At, QPoint(64 + 9, 17));
}

TEST_F(RhythmLayout, ABeamRunsOverARestInsideItsGroupAndTheRestStaysOnTheLine)
{
    LoadRhythm(rytme, 0, kRow24, "(32 32 r16 16 16) r4 |");
    ASSERT_TRUE(test::BarsSumTo(rytme.List(0), 1344));
    const RhythmDisplayList list = rytme.Draw(0, 600, 3);
    const std::vector<QLine> expected{QLine(56, 17, 124, 17), QLine(56, 22, 124, 22),
                                      QLine(56, 27, 73, 27)};
    EXPECT_EQ(Sorted(LinesOf(list, RhythmLineKind::Beam)), Sorted(expected));

    const auto sixteenthRests = GlyphsOf(list, RhythmGlyph::SixteenthRest);
    ASSERT_EQ(sixteenthRests.size(), 1u);
    // Under the thirty-seconds' beams the rest stands where every rest does.
    EXPECT_EQ(sixteenthRests[0].Anchor, QPoint(82, 27));
    EXPECT_EQ(sixteenthRests[0].At, QPoint(82, 42));
    const auto quarterRests = GlyphsOf(list, RhythmGlyph::QuarterRest);
    ASSERT_EQ(quarterRests.size(), 1u);
    EXPECT_EQ(quarterRests[0].Anchor, QPoint(133, 27));
    EXPECT_EQ(quarterRests[0].At, QPoint(133, 42));
}

TEST_F(RhythmLayout, GroupsOnDifferentLinesOrAcrossABarAreNotJoined)
{
    // Beam numbers as a damaged list might carry them: one group over a bar line.
    LoadRhythm(rytme, 0, kRow24, "4 (8 8 | 8 8) 4 |");
    for (RhythmNote& note : rytme.List(0))
        if (note.Value == 4)
            note.BeamGroup = 7;
    const RhythmDisplayList list = rytme.Draw(0, 600, 3);
    EXPECT_EQ(Sorted(LinesOf(list, RhythmLineKind::Beam)),
              Sorted({QLine(73, 17, 90, 17), QLine(120, 17, 137, 17)}));
}

TEST_F(RhythmLayout, TiesJoinHeadsAndOpenAtALineBreak)
{
    LoadRhythm(rytme, 0, kRow44, "2~ 4 4 | 4 4 4 4~ | 4 4 4 4 |");
    const RhythmDisplayList list = rytme.Draw(0, 199, 3);
    ASSERT_EQ(list.Arcs.size(), 3u);
    // Half note to quarter on line 0.
    EXPECT_EQ(list.Arcs[0].From, QPoint(47 + 8, 46));
    EXPECT_EQ(list.Arcs[0].To, QPoint(64 + 2, 46));
    EXPECT_FALSE(list.Arcs[0].Open);
    // The last note of bar 2 leaves an open arc to the end of line 0 ...
    EXPECT_EQ(list.Arcs[1].From, QPoint(162 + 8, 46));
    EXPECT_EQ(list.Arcs[1].To, QPoint(183 - 2, 46));
    EXPECT_TRUE(list.Arcs[1].Open);
    // ... and the first note of line 1 receives it from the line's start.
    EXPECT_EQ(list.Arcs[2].From, QPoint(40, 64 + 46));
    EXPECT_EQ(list.Arcs[2].To, QPoint(47 + 2, 64 + 46));
    EXPECT_TRUE(list.Arcs[2].Open);
}

TEST_F(RhythmLayout, TripletsGetABracketAndTheirFigureOverTheMiddleNote)
{
    LoadRhythm(rytme, 0, kRow34, "(8t 8t 8t) 4t 4t 4t |");
    ASSERT_TRUE(test::BarsSumTo(rytme.List(0), 2016));
    const RhythmDisplayList list = rytme.Draw(0, 600, 3);
    EXPECT_EQ(LinesOf(list, RhythmLineKind::Bracket),
              (std::vector<QLine>{QLine(54, 15, 54, 10), QLine(54, 10, 90, 10),
                                  QLine(90, 10, 90, 15), QLine(105, 15, 105, 10),
                                  QLine(105, 10, 141, 10), QLine(141, 10, 141, 15)}));
    const auto figures = GlyphsOf(list, RhythmGlyph::TripletFigure);
    ASSERT_EQ(figures.size(), 2u);
    EXPECT_EQ(figures[0].Anchor, QPoint(70, 2));
    EXPECT_EQ(figures[0].Note, 2);
    EXPECT_EQ(figures[1].Anchor, QPoint(121, 2));
    EXPECT_EQ(figures[1].Note, 5);
    EXPECT_EQ(LinesOf(list, RhythmLineKind::Beam), (std::vector<QLine>{QLine(56, 17, 90, 17)}));
}

TEST_F(RhythmLayout, RestsAndDotsStandAtTheirNotes)
{
    LoadRhythm(rytme, 0, 8, "r1 r2. r8 r16 r32 r32 |");
    ASSERT_TRUE(test::BarsSumTo(rytme.List(0), 5376));
    const RhythmDisplayList list = rytme.Draw(0, 600, 1);
    const RhythmGlyph expected[] = {RhythmGlyph::WholeRest,        RhythmGlyph::HalfRest,
                                    RhythmGlyph::EighthRest,       RhythmGlyph::SixteenthRest,
                                    RhythmGlyph::ThirtySecondRest, RhythmGlyph::ThirtySecondRest};
    std::vector<RhythmGlyphItem> rests;
    for (const auto& item : list.Glyphs)
        if (item.Glyph != RhythmGlyph::Dot)
            rests.push_back(item);
    ASSERT_EQ(rests.size(), 6u);
    for (std::size_t i = 0; i < rests.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(rests[i].Glyph, expected[i]);
        EXPECT_EQ(rests[i].Anchor, QPoint(rytme.List(0)[i].X + 1, 27));
        EXPECT_EQ(rests[i].Note, static_cast<int>(i) + 1);
    }
    const auto dots = GlyphsOf(list, RhythmGlyph::Dot);
    ASSERT_EQ(dots.size(), 1u);
    EXPECT_EQ(dots[0].Note, 2);
    EXPECT_GT(dots[0].At.x(), rests[1].Anchor.x() + 8);
    EXPECT_TRUE(LinesOf(list, RhythmLineKind::Stem).empty());
}

class RhythmBarMarks : public RhythmLayout
{
protected:
    void SetUp() override
    {
        // Two bars a line: bar lines at 119 and 200 on lines 0 and 1.
        LoadRhythm(rytme, 0, kRow44, "4 4 4 4 | 4 4 4 4 | 4 4 4 4 | 4 4 4 4 |");
        rytme.Draw(0, kWidth, 3);
    }
    static constexpr int kWidth = 280;
};

TEST_F(RhythmBarMarks, DrawingRecordsEachBarsEndAndLine)
{
    EXPECT_EQ(rytme.BarsDrawn[0], 4);
    for (int k = 1; k <= 4; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(rytme.BarX[0][static_cast<std::size_t>(k)], k % 2 == 1 ? 120 : 201);
        EXPECT_EQ(rytme.BarLine[0][static_cast<std::size_t>(k)], (k - 1) / 2);
    }
}

TEST_F(RhythmBarMarks, EachBarIsUnderlinedAndThePreviousUnderlineRemoved)
{
    struct Case
    {
        int bar;
        std::vector<RhythmLine> lines;
    };
    const auto erase = [](int x1, int y, int x2) {
        return RhythmLine{RhythmLineKind::Erase, QLine(x1, y, x2, y)};
    };
    const auto underline = [](int x1, int y, int x2) {
        return RhythmLine{RhythmLineKind::Underline, QLine(x1, y, x2, y)};
    };
    const Case cases[] = {
        {1, {underline(42, 61, 118)}},
        {2, {erase(42, 61, 118), underline(122, 61, 199)}},
        {3, {erase(120, 61, 199), underline(42, 125, 118)}}, // bar 3 opens line 1
        {4, {erase(42, 125, 118), underline(122, 125, 199)}},
        {0, {erase(40, 61, kWidth), erase(40, 125, kWidth)}},
        {5, {erase(40, 61, kWidth), erase(40, 125, kWidth)}}, // above Bars
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bar);
        const RhythmDisplayList marks = rytme.MarkBar(c.bar, 0, kWidth);
        EXPECT_EQ(marks.Lines, c.lines);
        EXPECT_FALSE(marks.ClearArea);
        EXPECT_FALSE(marks.Height.has_value());
    }
}

TEST_F(RhythmBarMarks, ABarNeverDrawnIsNotUnderlined)
{
    // A rhythm that ended early has fewer bars than the setup asks for.
    rytme.Bars = 6;
    const RhythmDisplayList marks = rytme.MarkBar(5, 0, kWidth);
    EXPECT_TRUE(LinesOf(marks, RhythmLineKind::Underline).empty());
    EXPECT_EQ(LinesOf(marks, RhythmLineKind::Erase).size(), 2u);
    // List 1 was never drawn.
    EXPECT_TRUE(LinesOf(rytme.MarkBar(1, 1, kWidth), RhythmLineKind::Underline).empty());
}

TEST_F(RhythmBarMarks, ResultMarksStandUnderTheirNotes)
{
    const std::int32_t results[] = {RhythmResult::OnTime,    RhythmResult::Early,
                                    RhythmResult::Late,      RhythmResult::Missed,
                                    RhythmResult::NotPlayed, RhythmResult::Unmatched};
    for (std::size_t i = 0; i < 16; ++i)
        rytme.List(0)[i].Result = results[i % 6];
    const RhythmDisplayList marks = rytme.DrawResultMarks();
    const RhythmGlyph glyphOf[] = {RhythmGlyph::ResultOnTime, RhythmGlyph::ResultEarly,
                                   RhythmGlyph::ResultLate, RhythmGlyph::ResultMissed};
    std::size_t expectedCount = 0;
    for (std::size_t i = 0; i < 16; ++i)
        if (i % 6 < 4)
            ++expectedCount;
    ASSERT_EQ(marks.Glyphs.size(), expectedCount);
    for (const RhythmGlyphItem& item : marks.Glyphs) {
        SCOPED_TRACE(item.Note);
        const RhythmNote& note = rytme.Note(0, item.Note);
        const std::size_t i = static_cast<std::size_t>(item.Note - 1);
        ASSERT_LT(i % 6, 4u);
        EXPECT_EQ(item.Glyph, glyphOf[i % 6]);
        EXPECT_EQ(item.Anchor, QPoint(note.X - 1, note.Line * 64 + 48));
    }
    EXPECT_FALSE(marks.ClearArea);
}

TEST(RhythmLayoutOfGeneratedRhythms, KeepsItsRulesInEveryTimeSignatureAndSpacing)
{
    const int width = 560;
    for (int row = 1; row <= kTimeSignatureRows; ++row) {
        for (std::uint32_t seed = 1; seed <= 4; ++seed) {
            test::SeededRandom random(seed * 100 + static_cast<std::uint32_t>(row));
            test::ScriptedPrompts prompts;
            const UIStringTable strings{};
            TRytme rytme(random, prompts, strings);
            rytme.Setup(test::MakeSetup({.rows = {row},
                                         .values = {2, 3, 4, 5, 6},
                                         .triplets = {3, 4, 5},
                                         .rests = true,
                                         .ties = true,
                                         .dotted = true,
                                         .bars = 6}));
            rytme.Generate();
            const std::vector<RhythmNote>& notes = rytme.List(0);
            if (notes.empty())
                continue;
            for (int spacing = 0; spacing <= 3; ++spacing) {
                SCOPED_TRACE(testing::Message() << "row " << row << " seed " << seed << " spacing "
                                                << spacing << ": " << test::Describe(notes));
                const RhythmDisplayList list = rytme.Draw(0, width, spacing);

                // One head or rest per entry, and flags exactly on the unbeamed short notes.
                std::vector<int> heads(notes.size() + 1, 0);
                std::vector<int> flags(notes.size() + 1, 0);
                for (const RhythmGlyphItem& item : list.Glyphs) {
                    const auto g = static_cast<int>(item.Glyph);
                    if (g <= static_cast<int>(RhythmGlyph::ThirtySecondRest))
                        ++heads[static_cast<std::size_t>(item.Note)];
                    if (g >= static_cast<int>(RhythmGlyph::Flag8) &&
                        g <= static_cast<int>(RhythmGlyph::Flag32))
                        ++flags[static_cast<std::size_t>(item.Note)];
                }
                int triplets = 0;
                for (std::size_t i = 0; i < notes.size(); ++i) {
                    const RhythmNote& n = notes[i];
                    EXPECT_EQ(heads[i + 1], 1) << "entry " << i + 1;
                    const bool flagged = n.Rest == 0 && n.Value >= 4 && n.BeamGroup == 0;
                    EXPECT_EQ(flags[i + 1], flagged ? 1 : 0) << "entry " << i + 1;
                    triplets += n.TripletMiddle;
                    if (i == 0)
                        continue;
                    const RhythmNote& previous = notes[i - 1];
                    if (n.Line == previous.Line) {
                        EXPECT_GT(n.X, previous.X);
                    } else {
                        EXPECT_EQ(n.Line, previous.Line + 1);
                        EXPECT_NE(previous.BarEnd, 0);
                        EXPECT_EQ(n.X, kRhythmFirstX);
                    }
                }
                EXPECT_EQ(static_cast<int>(GlyphsOf(list, RhythmGlyph::TripletFigure).size()),
                          triplets);
                EXPECT_EQ(*list.Height, notes.back().Line * 64 + 65);

                // Bar lines where the drawing says, inside the box unless the bar alone is
                // wider than a line.
                const auto barLines = LinesOf(list, RhythmLineKind::BarLine);
                ASSERT_EQ(static_cast<int>(barLines.size()), static_cast<int>(rytme.Bars));
                EXPECT_EQ(rytme.BarsDrawn[0], std::min<int>(rytme.Bars, 12));
                std::size_t barStart = 0;
                for (std::size_t k = 1; k <= barLines.size(); ++k) {
                    const QLine& line = barLines[k - 1];
                    EXPECT_EQ(rytme.BarX[0][k], line.x1() + 1);
                    EXPECT_EQ(rytme.BarLine[0][k] * 64 + 12, line.y1());
                    const bool opensLine = notes[barStart].X == kRhythmFirstX;
                    if (!opensLine) {
                        EXPECT_LT(line.x1(), width) << "bar " << k;
                    }
                    while (barStart < notes.size() && notes[barStart].BarEnd == 0)
                        ++barStart;
                    ++barStart;
                }

                // The first beam of every group joins stems of that group on its line.
                for (const QLine& beam : LinesOf(list, RhythmLineKind::Beam)) {
                    if ((beam.y1() % 64) != kRhythmNoteTop)
                        continue;
                    const auto at = [&](int stemX) -> const RhythmNote* {
                        for (const RhythmNote& n : notes)
                            if (n.X + kRhythmHeadWidth - 1 == stemX && n.Line == beam.y1() / 64)
                                return &n;
                        return nullptr;
                    };
                    const RhythmNote* first = at(beam.x1());
                    const RhythmNote* last = at(beam.x2());
                    ASSERT_NE(first, nullptr);
                    ASSERT_NE(last, nullptr);
                    EXPECT_NE(first->BeamGroup, 0);
                    EXPECT_EQ(first->BeamGroup, last->BeamGroup);
                    EXPECT_LT(first, last);
                }
            }
        }
    }
}

} // namespace
} // namespace pv
