// Grand staves painted to PNG files for people to look at, and the painter's font.
#include "music/notation/Spelling.h"
#include "music/staff/Sheet.h"
#include "music/ui/StaffPainter.h"
#include "support/TestOutput.h"

#include <vector>

#include <QImage>
#include <QStringList>

#include <gtest/gtest.h>

namespace pv {
namespace {

TNoteRec Note(int midi, int shift, int duration, int barLine = 0)
{
    TNoteRec n;
    n.Pitch = TPitch{static_cast<std::int8_t>(midi), static_cast<std::int8_t>(shift)};
    n.Duration = static_cast<std::uint8_t>(duration);
    n.BarLine = static_cast<std::uint8_t>(barLine);
    return n;
}

// The rectangle holding every pixel that is not the background.
QRect InkBounds(const QImage& image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

class StaffPictures : public ::testing::Test
{
protected:
    StaffPictures() : sheet(keys, spacing) {}

    /// Lays out and paints the notes, saves the picture and returns it.
    QImage Picture(const char* name, std::vector<TNoteRec> notes, int width = 400, int height = 250)
    {
        sheet.SetControlSize(width, height);
        int high = 0;
        for (const auto& n : notes)
            high = std::max(high, static_cast<int>(n.Pitch.Note));
        sheet.ArrangeStaves(high, false);
        StaffDisplayList list = sheet.Draw(notes, static_cast<int>(notes.size()));
        if (steps)
            for (const auto& t :
                 sheet.DrawStepSizes(notes, static_cast<int>(notes.size()), 0).Texts)
                list.Texts.push_back(t);
        const QImage image = painter.Render(list, QSize(width, height));
        drawn = notes;
        // The same staff without its notes, to tell the notes' ink from the staff's.
        std::vector<TNoteRec> none;
        blank = painter.Render(sheet.Draw(none, 0), QSize(width, height));
        const QString path =
            test::TestOutputDir() + QString::fromLatin1(name) + QStringLiteral(".png");
        EXPECT_TRUE(image.save(path)) << path.toStdString();
        return image;
    }

    NoKeysHeld keys;
    NoteSpacing spacing;
    TSheet sheet;
    /// Every note of the last picture has its own ink around its head: the picture differs
    /// from the bare staff there.
    void ExpectInkAtEveryHead(const QImage& image) const
    {
        ASSERT_EQ(image.size(), blank.size());
        for (std::size_t i = 0; i < drawn.size(); ++i) {
            SCOPED_TRACE(testing::Message()
                         << "note " << i << " at " << drawn[i].X << ", " << drawn[i].Y);
            bool ink = false;
            for (int y = drawn[i].Y - 3; y <= drawn[i].Y + 3 && !ink; ++y)
                for (int x = drawn[i].X - 5; x <= drawn[i].X + 5 && !ink; ++x)
                    ink = image.valid(x, y) && image.pixel(x, y) != blank.pixel(x, y) &&
                          qGray(image.pixel(x, y)) < 128;
            EXPECT_TRUE(ink);
        }
    }

    StaffPainter painter;
    bool steps = false;
    std::vector<TNoteRec> drawn; ///< the last picture's notes, placed
    QImage blank;                ///< the last picture's staff alone
};

TEST_F(StaffPictures, MusicFontIsInstalled)
{
    EXPECT_TRUE(StaffPainter::MusicFontAvailable());
}

TEST_F(StaffPictures, CMajorChord)
{
    sheet.SetFixedSpacing(true);
    const QImage image = Picture("staff_c_major_chord",
                                 {Note(60, 0, 1), Note(64, 0, 1), Note(67, 0, 1, 1), Note(48, 0, 3),
                                  Note(60, 0, 3), Note(64, 0, 3), Note(67, 0, 3, 2)});
    const QRect ink = InkBounds(image);
    EXPECT_TRUE(QRect(0, 0, 400, 250).contains(ink.adjusted(-1, -1, 1, 1)));
}

TEST_F(StaffPictures, DMajorScaleWithItsKeySignature)
{
    sheet.SetShowKeySignature(true);
    sheet.SetKeySignature(2);
    steps = true;
    std::vector<TNoteRec> scale;
    for (int m : {62, 64, 66, 67, 69, 71, 73, 74})
        scale.push_back(Note(m, (m == 66 || m == 73) ? -1 : 0, 3));
    scale.back().BarLine = 2;
    ExpectInkAtEveryHead(Picture("staff_d_major_scale", scale));
}

TEST_F(StaffPictures, ChordWithSidewaysHeadAndStackedAccidentals)
{
    sheet.SetFixedSpacing(true);
    const std::vector<TNoteRec> chord{Note(61, 1, 2),    Note(63, 1, 2),    Note(66, 1, 2),
                                      Note(70, 1, 2, 1), Note(66, -1, 1),   Note(68, -1, 1),
                                      Note(71, 0, 1),    Note(73, -1, 1, 1)};
    ExpectInkAtEveryHead(Picture("staff_sideways_and_stacked", chord));
    sheet.SetLineSpacing(8);
    ExpectInkAtEveryHead(Picture("staff_sideways_and_stacked_narrow", chord, 400, 150));
}

TEST_F(StaffPictures, EFlatMinorKeyWithItsName)
{
    sheet.SetShowKeySignature(true);
    sheet.SetShowKeyName(true);
    sheet.SetKeySignature(-6);
    sheet.SetMode(1);
    sheet.SetFixedSpacing(true);
    TNoteRec bassEFlat = Note(51, 1, 1);
    Picture("staff_e_flat_minor", {bassEFlat, Note(63, 1, 1), Note(66, 1, 1), Note(70, 1, 1, 2)});
    EXPECT_EQ(sheet.KeyName(), QStringLiteral("Eb-minor"));
}

// Notes written in C (sounding note relative to C and the item's shift) moved to a root that the
// key spells, as the exercises write their chords and scales.
std::vector<TNoteRec> Spelled(std::initializer_list<std::pair<int, int>> writtenInC, int root,
                              int rootLetter, LetterRule rule, int duration)
{
    std::vector<TPitch> pitches;
    for (const auto& [relative, shift] : writtenInC)
        pitches.push_back(
            TPitch{static_cast<std::int8_t>(root + relative), static_cast<std::int8_t>(shift)});
    SpellAsWritten(pitches, root, rootLetter, rule);
    std::vector<TNoteRec> notes;
    for (const TPitch& p : pitches)
        notes.push_back(Note(p.Note, p.Shift, duration));
    notes.back().BarLine = 1;
    return notes;
}

TEST_F(StaffPictures, FourthAndFlatSixthOfGFlatAndEFlatMajor)
{
    sheet.SetShowKeySignature(true);
    sheet.SetShowKeyName(true);
    sheet.SetFixedSpacing(true);
    for (const auto& [k, name] :
         {std::pair{-6, "staff_g_flat_major_IV_bVI"}, std::pair{-3, "staff_e_flat_major_IV_bVI"}}) {
        sheet.SetKeySignature(k);
        const int tonic = 60 + TonicPitchClass(k, false);
        std::vector<TNoteRec> notes;
        for (int degree : {5, 8}) {
            const TPitch root = SpellDegree(tonic + degree, tonic, MajorTonicLetter(k));
            const int letter = *WrittenLetter(root);
            for (const TNoteRec& n :
                 Spelled({{0, 0}, {4, 0}, {7, 0}}, root.Note, letter, LetterRule::Keep, 1))
                notes.push_back(n);
        }
        notes.back().BarLine = 2;
        Picture(name, notes);
        QStringList names;
        for (const TNoteRec& n : notes)
            names << NoteName(n.Pitch);
        EXPECT_EQ(names.join(QLatin1Char(' ')), k == -6 ? QStringLiteral("Cb Eb Gb Ebb Gb Bbb")
                                                        : QStringLiteral("Ab C Eb Cb Eb Gb"));
    }
}

TEST_F(StaffPictures, DiminishedSeventhOfDMinor)
{
    sheet.SetShowKeySignature(true);
    sheet.SetShowKeyName(true);
    sheet.SetFixedSpacing(true);
    sheet.SetKeySignature(-1);
    sheet.SetMode(1);
    const TPitch root = SpellDegree(61, 62, TonicLetter(-1, true));
    std::vector<TNoteRec> notes = Spelled({{0, 0}, {3, 1}, {6, 1}, {9, 2}}, root.Note,
                                          *WrittenLetter(root), LetterRule::Keep, 1);
    notes.back().BarLine = 2;
    Picture("staff_d_minor_diminished_seventh", notes);
    EXPECT_EQ(NoteName(notes[0].Pitch) + NoteName(notes[3].Pitch), QStringLiteral("C#Bb"));
}

TEST_F(StaffPictures, ChromaticScaleOnE)
{
    sheet.SetShowKeySignature(true);
    sheet.SetKeySignature(4);
    std::vector<TNoteRec> notes = Spelled({{0, 0},
                                           {1, -1},
                                           {2, 0},
                                           {3, -1},
                                           {4, 0},
                                           {5, 0},
                                           {6, -1},
                                           {7, 0},
                                           {8, -1},
                                           {9, 0},
                                           {10, -1},
                                           {11, 0},
                                           {12, 0}},
                                          64, 2, LetterRule::FewestAccidentals, 3);
    notes.back().BarLine = 2;
    Picture("staff_chromatic_scale_on_e", notes, 700);
    QStringList names;
    for (const TNoteRec& n : notes)
        names << NoteName(n.Pitch);
    EXPECT_EQ(names.join(QLatin1Char(' ')), QStringLiteral("E F F# G G# A A# B C C# D D# E"));
}

} // namespace
} // namespace pv
