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

#include <random>
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
