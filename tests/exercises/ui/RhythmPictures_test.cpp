// Rhythms painted to PNG files for people to look at: the groupings of the time signatures,
// dotted notes and ties, triplets, a rhythm wrapping over lines, result marks and the underline
// of the bar being played.
#include "exercises/rhythm/TRytme.h"
#include "exercises/ui/RhythmPainter.h"
#include "music/base/Random.h"
#include "music/strings/UIStrings.h"
#include "support/RhythmText.h"
#include "support/ScriptedPrompts.h"
#include "support/ScriptedRandom.h"
#include "support/TestOutput.h"

#include <algorithm>
#include <random>
#include <set>
#include <string>

#include <QImage>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::SeededRandom;

bool Dark(const QImage& image, QPoint p)
{
    return image.rect().contains(p) && qGray(image.pixel(p)) < 128;
}

class RhythmPictures : public ::testing::Test
{
protected:
    /// The rhythm (beamed by the engine's own beaming pass) laid out and painted; the picture
    /// is saved and returned.
    QImage Picture(const char* name, int row, const std::string& text, int width = 520,
                   int spacing = 2)
    {
        test::LoadRhythm(rytme, 0, row, text);
        EXPECT_TRUE(test::BarsSumTo(rytme.List(0), static_cast<std::uint32_t>(rytme.BarTicks)))
            << text;
        rytme.ComputeBeams(0);
        return Paint(name, width, spacing);
    }

    QImage Paint(const char* name, int width, int spacing)
    {
        list = rytme.Draw(0, width, spacing);
        const int height = list.Height.value_or(65);
        const RhythmDisplayList* marks = showMarks ? &resultMarks : nullptr;
        if (showMarks)
            resultMarks = rytme.DrawResultMarks();
        if (markedBar >= 0)
            barMark = rytme.MarkBar(markedBar, 0, width);
        const QImage image = painter.Render({&list, marks, markedBar >= 0 ? &barMark : nullptr},
                                            QSize(width, height));
        const QString path =
            test::TestOutputDir() + QString::fromLatin1(name) + QStringLiteral(".png");
        EXPECT_TRUE(image.save(path)) << path.toStdString();
        ExpectGlyphsWhereLaidOut(image);
        return image;
    }

    /// Filled heads and beams cover the points the layout gave them.
    void ExpectGlyphsWhereLaidOut(const QImage& image) const
    {
        for (const RhythmGlyphItem& item : list.Glyphs) {
            if (item.Glyph == RhythmGlyph::BlackHead) {
                EXPECT_TRUE(Dark(image, item.At)) << "head of note " << item.Note;
            }
        }
        for (const RhythmLine& line : list.Lines) {
            if (line.Kind == RhythmLineKind::Beam) {
                EXPECT_TRUE(Dark(image, line.Line.center() + QPoint(0, 1)));
            }
        }
    }

    SeededRandom random{7};
    test::ScriptedPrompts prompts;
    const UIStringTable strings{};
    TRytme rytme{random, prompts, strings};
    RhythmPainter painter;
    RhythmDisplayList list;
    RhythmDisplayList resultMarks;
    RhythmDisplayList barMark;
    bool showMarks = false;
    int markedBar = -1;
};

TEST_F(RhythmPictures, FourFourWithEighthsSixteenthsAndRests)
{
    Picture("rhythm_4_4_eighths_sixteenths_rests", 4,
            "8 8 16 16 16 16 4 r4 | 8. 16 r8 8 16 8 16 16 16 8 | "
            "r16 16 16 16 8 r8 r4 16 16 16 16 | 32 32 r16 16 16 r2 8 8 |");
}

TEST_F(RhythmPictures, SixEightWithDottedNotesAndTies)
{
    Picture("rhythm_6_8_dotted_ties", 6, "4. 4~ 8 | 8 8 8 4.~ | 4. 8. 16 8 | 4 8~ 8 8 8 | 2. |");
}

TEST_F(RhythmPictures, ThreeFourWithTriplets)
{
    Picture("rhythm_3_4_triplets", 3,
            "8t 8t 8t 4 8 8 | 4t 4t 4t 4 | 16t 16t 16t 8 2 | 4 4t 4t 4t |", 560);
}

TEST_F(RhythmPictures, SevenEightAndFiveFourWithTheirGroupings)
{
    Picture("rhythm_7_8_groupings", 9, "8 8 8 8 8 8 8 | 4 8 8 8 16 16 8 | 4 4 4. |");
    Picture("rhythm_5_4_groupings", 12, "8 8 8 8 8 8 8 8 4 | 2. 2 | 4 8 8 4 16 16 8 4 |", 600);
}

TEST_F(RhythmPictures, CompoundTimeAndFiveFourBeamedByTheBeatWithRestsOnTheLine)
{
    // Beams close at each dotted quarter in 6/8 and 9/8 and at each quarter in 5/4; rests in
    // and around the beams stand on the staff line.
    Picture("rhythm_6_8_beats_rests", 6,
            "8 r8 8 16 16 16 16 8 | 4 8 r16 16 8 8 | 8. 16 8 r4. | 8 8 8 4. |", 620);
    Picture("rhythm_9_8_beats_rests", 10,
            "8 8 8 r8 8 8 16 16 8 r8 | 4 8 8 r8 8 r4. | 32 32 r16 8 8 4. 4. |", 640);
    Picture("rhythm_5_4_beats_rests", 12, "8 8 8 8 8 8 r8 8 8 8 | 16 16 r8 16 r16 8 4 r8 8 8 8 |",
            640);
    for (const RhythmGlyphItem& item : list.Glyphs) {
        if (item.Glyph >= RhythmGlyph::WholeRest && item.Glyph <= RhythmGlyph::ThirtySecondRest) {
            EXPECT_EQ(item.At.y() % kRhythmLineHeight, kRhythmStaffY) << "rest " << item.Note;
        }
    }
    // In 5/4 each quarter's notes share a beam of their own: four beams in the first bar and
    // three in the second, an eighth alone after a rest keeping its flag.
    std::set<int> groups;
    for (const RhythmNote& note : rytme.List(0))
        if (note.BeamGroup != 0)
            groups.insert(note.BeamGroup);
    EXPECT_EQ(groups.size(), 7u);
}

TEST_F(RhythmPictures, TheRhythmClosesWithAThinAndAThickLineAtTheStaffsEnd)
{
    const QImage image = Picture("rhythm_final_bar_line", 6, "4. 8 8 8 | 2. |", 300);
    const auto closing = std::find_if(list.Lines.begin(), list.Lines.end(), [](const auto& l) {
        return l.Kind == RhythmLineKind::FinalBarLine;
    });
    ASSERT_NE(closing, list.Lines.end());
    const int thick = closing->Line.x1();
    const int y = (kRhythmBarTop + kRhythmBarBottom) / 2;
    // Reading across at half the bar line's height: the thin line, a gap, the thick line, and
    // white beyond it; the staff line stops at the thick line's right edge.
    const int thin = thick - kRhythmFinalBarGap;
    EXPECT_TRUE(Dark(image, QPoint(thin, y)));
    EXPECT_FALSE(Dark(image, QPoint(thin - 1, y)));
    for (int x = thin + 1; x < thick; ++x)
        EXPECT_FALSE(Dark(image, QPoint(x, y))) << x;
    for (int x = thick; x < thick + kRhythmFinalBarWidth; ++x)
        EXPECT_TRUE(Dark(image, QPoint(x, y))) << x;
    EXPECT_FALSE(Dark(image, QPoint(thick + kRhythmFinalBarWidth, y)));
    EXPECT_TRUE(Dark(image, QPoint(thick + kRhythmFinalBarWidth - 1, kRhythmStaffY)));
    for (int x = thick + kRhythmFinalBarWidth; x < image.width(); ++x)
        EXPECT_FALSE(Dark(image, QPoint(x, kRhythmStaffY))) << "staff beyond its end at " << x;
}

TEST_F(RhythmPictures, TheSpacingsSideBySide)
{
    const std::string text = "8 8 16 16 16 16 4. 8 | 2 4 r8 8 |";
    for (int spacing = 0; spacing <= 3; ++spacing) {
        const std::string name = "rhythm_spacing_" + std::to_string(spacing);
        Picture(name.c_str(), 4, text, 700, spacing);
    }
}

TEST_F(RhythmPictures, ALongRhythmWrapsToSeveralLines)
{
    std::string text;
    const char* bars[] = {"8 8 4 16 16 16 16 4", "4. 8 2",           "8 8 8 8 4 r4",
                          "2 4 16 16 8",         "r8 8 8 8 8. 16 4", "1"};
    for (int b = 0; b < 12; ++b)
        text += std::string(bars[b % 6]) + " | ";
    const QImage image = Picture("rhythm_long_wrapping", 4, text, 480, 2);
    EXPECT_GE(image.height(), 3 * 64);
}

TEST_F(RhythmPictures, ResultMarksAfterAnEvaluation)
{
    test::LoadRhythm(rytme, 0, 4, "4 8 8 8. 16 4 | 8 8 4 r4 4 |");
    rytme.ComputeBeams(0);
    const std::int32_t results[] = {
        RhythmResult::OnTime, RhythmResult::Early,     RhythmResult::OnTime, RhythmResult::Late,
        RhythmResult::Missed, RhythmResult::OnTime,    RhythmResult::Early,  RhythmResult::Late,
        RhythmResult::OnTime, RhythmResult::NotPlayed, RhythmResult::Missed};
    ASSERT_EQ(rytme.Count(0), 11);
    for (int i = 1; i <= 11; ++i)
        rytme.Note(0, i).Result = results[i - 1];
    showMarks = true;
    const QImage image = Paint("rhythm_result_marks", 420, 2);
    for (const RhythmGlyphItem& mark : resultMarks.Glyphs) {
        const QRect box(mark.Anchor, QSize(kRhythmResultSize, kRhythmResultSize));
        bool coloured = false;
        for (int y = box.top(); y <= box.bottom() && !coloured; ++y)
            for (int x = box.left(); x <= box.right() && !coloured; ++x) {
                const QColor c = image.pixelColor(x, y);
                coloured = c.saturation() > 100;
            }
        EXPECT_TRUE(coloured) << "mark of note " << mark.Note;
    }
}

TEST_F(RhythmPictures, TheBarBeingPlayedIsUnderlined)
{
    markedBar = 3;
    test::LoadRhythm(rytme, 0, 4,
                     "4 4 8 8 4 | 8 8 8 8 4 4 | 2 4 4 | 4 8 8 2 | 16 16 8 4 4 4 | 1 |");
    rytme.ComputeBeams(0);
    const QImage image = Paint("rhythm_bar_underlined", 360, 3);
    ASSERT_EQ(barMark.Lines.size(), 2u);
    const QLine underline = barMark.Lines.back().Line;
    EXPECT_EQ(image.pixelColor(underline.center()), QColor(0x00, 0x80, 0x00));
}

TEST_F(RhythmPictures, GeneratedRhythmsInEveryTimeSignature)
{
    // What the generator makes, as the windows show it: every note value, rests, dots, ties
    // and triplets allowed.
    for (int row = 1; row <= kTimeSignatureRows; ++row) {
        SCOPED_TRACE(row);
        RhythmSetup setup;
        setup.TimeSignatures[static_cast<std::size_t>(row - 1)] = 1;
        for (std::size_t v = 1; v < 6; ++v)
            setup.NoteValues[v] = 1;
        setup.TripletMask = 0b0110;
        setup.Rests = setup.Ties = setup.Dotted = 1;
        setup.Bars = 4;
        setup.Tempo = 90;
        setup.Corrections = 1;
        rytme.Setup(setup);
        rytme.Generate();
        if (rytme.Count(0) == 0)
            continue;
        const std::string name = "rhythm_generated_row_" + std::to_string(row);
        Paint(name.c_str(), 560, 2);
    }
}

} // namespace
} // namespace pv
