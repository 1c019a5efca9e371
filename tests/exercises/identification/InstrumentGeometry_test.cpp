// The identification window's piano and guitar arithmetic: keys and frets under a point, the
// dots of the answers, the voice adjusters and what a press asks of the window.
#include "exercises/identification/InstrumentGeometry.h"
#include "music/notation/Guitar.h"
#include "music/notation/NotationTables.h"
#include "music/strings/UIStrings.h"

#include <gtest/gtest.h>

namespace pv {
namespace {

struct Window
{
    explicit Window(IdentificationMode mode) : model(mode, base, strip, strings) {}
    ExerciseSession base;
    ControlStripModel strip;
    UIStringTable strings;
    AkkordModel model;

    void Entered(std::initializer_list<int> pitches)
    {
        model.EnteredCount = 0;
        for (const int p : pitches) {
            model.EnteredNotes[model.EnteredCount++].Pitch.Note = static_cast<std::int8_t>(p);
        }
        model.DisplayedNoteCount = model.EnteredCount;
    }
    /// A scored answer: the question's notes follow the entered ones.
    void Answered(bool right, std::initializer_list<int> question)
    {
        base.Answered = true;
        model.LastAnswerRight = right;
        int k = model.EnteredCount;
        for (const int p : question) {
            model.EnteredNotes[static_cast<std::size_t>(k++)].Pitch.Note =
                static_cast<std::int8_t>(p);
        }
        model.DisplayedNoteCount = k;
    }
};

TEST(PianoGeometry, KeysAndHitTestsAgreeAtTheThreeWidths)
{
    struct Case
    {
        int panelWidth;
        int octaves;
        int topPitch;
        int programBoxX;
        int velocityBoxX;
    };
    const Case cases[] = {{626, 4, 88, 416, 516}, {780, 5, 100, 570, 670}, {934, 6, 112, 724, 824}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.panelWidth);
        ASSERT_EQ(PianoOctaves(c.panelWidth), c.octaves);
        EXPECT_EQ(PianoTopPitch(c.octaves), c.topPitch);
        const auto boxes = PianoAdjusters(c.octaves);
        EXPECT_EQ(boxes[0].Box.X, c.programBoxX);
        EXPECT_EQ(boxes[1].Box.X, c.velocityBoxX);
        EXPECT_LE(boxes[1].Box.Right(), kPianoOctaveWidth * c.octaves);

        // Every key's dot, and the middle of every painted key, names that key.
        const auto shapes = PianoKeyboardShapes(c.octaves);
        EXPECT_EQ(static_cast<int>(shapes.size()), 12 * c.octaves);
        for (const PianoKeyShape& shape : shapes) {
            SCOPED_TRACE(shape.Pitch);
            const auto key = PianoKeyOf(shape.Pitch, 0);
            ASSERT_TRUE(key.has_value());
            EXPECT_EQ(key->Black, shape.Black);
            EXPECT_GE(key->X, shape.Rect.X);
            EXPECT_LE(key->X + kPianoDotWidth, shape.Rect.Right() + 1);
            const int cx = shape.Rect.X + shape.Rect.Width / 2;
            EXPECT_EQ(PianoPitchAt(cx, shape.Black ? 60 : 140, c.topPitch), shape.Pitch);
            EXPECT_EQ(PianoPitchAt(key->X + kPianoDotWidth / 2, key->DotY + 6, c.topPitch),
                      shape.Pitch);
        }
        // Past the last key nothing is pressed.
        EXPECT_EQ(PianoPitchAt(kPianoOctaveWidth * c.octaves + 3, 150, c.topPitch), std::nullopt);
    }
}

TEST(PianoGeometry, PointsNameTheirKeys)
{
    struct Case
    {
        int x;
        int y;
        int pitch;
    };
    const Case cases[] = {
        {-5, 50, 41},                       // left of the keyboard counts as its first key
        {5, 50, 41},                        // F's upper part
        {20, 50, 42},                       // F sharp
        {20, 140, 41},                      // below the black keys: F
        {45, 50, 44},                       // G sharp
        {70, 50, 46},                       // A sharp
        {87, 50, 48},                       // the seam between B and C is no black key
        {105, 50, 49},                      // C sharp
        {105, 130, 48},      {130, 50, 51}, // D sharp
        {153, 50, 53},                      // the seam between E and F
        {154 + 20, 50, 54},                 // next octave's F sharp
        {154 + 95, 140, 60},                // middle C
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        EXPECT_EQ(PianoPitchAt(c.x, c.y, 95), c.pitch);
    }
    EXPECT_EQ(PianoPitchAt(154 * 3 + 20, 50, 70), std::nullopt); // above the top pitch
}

TEST(PianoGeometry, HeldCSharpLightsTheBlackKeyBetweenCAndD)
{
    const auto cSharp = PianoKeyOf(61, 0);
    ASSERT_TRUE(cSharp.has_value());
    EXPECT_TRUE(cSharp->Black);
    EXPECT_EQ(cSharp->X, 154 + 102);
    EXPECT_EQ(cSharp->DotY, 92);
    const auto light = PianoKeyHighlight(*cSharp);
    ASSERT_EQ(light.size(), 1U);
    const auto c = PianoKeyOf(60, 0);
    const auto d = PianoKeyOf(62, 0);
    EXPECT_GT(light[0].X, c->X);
    EXPECT_LT(light[0].Right(), d->X + kPianoDotWidth);
    EXPECT_EQ(PianoPitchAt(light[0].X + light[0].Width / 2, light[0].Y + 5, 95), 61);

    const auto e = PianoKeyOf(64, 0);
    const auto white = PianoKeyHighlight(*e);
    ASSERT_EQ(white.size(), 2U);
    for (const LayoutRect& r : white) {
        EXPECT_EQ(PianoPitchAt(r.X + r.Width / 2, r.Y + r.Height / 2, 95), 64);
    }
    // A display offset moves the keyboard; keys below its first key are not shown.
    EXPECT_EQ(PianoKeyOf(52, 12), std::nullopt);
    EXPECT_EQ(PianoKeyOf(72, 12)->X, c->X);
    EXPECT_EQ(MiddleCMarkX(0), c->X + 1);
    EXPECT_EQ(MiddleCMarkX(12), 401 - 2 * 154);
    EXPECT_EQ(MiddleCMarkX(-12), 401);
    EXPECT_EQ(MiddleCMarkX(-13), 401 + 154);
}

TEST(PianoGeometry, StretchedBoxesMapBackToTheirKeys)
{
    for (const int height : {107, 155, 172}) {
        SCOPED_TRACE(height);
        for (const int y : {0, 16, 17, 60, 115, 150, 171}) {
            const int box = PianoBoxY(y, height);
            EXPECT_LE(std::abs(PianoNominalY(box, height) - y), 2);
        }
        EXPECT_LE(PianoBoxY(153 + kPianoDotHeight, height), height);
    }
}

TEST(PianoDots, RepeatedPitchesStackAndColoursFollowTheAnswer)
{
    Window w(IdentificationMode::MelodyDictation);
    w.Entered({60, 60, 64, 60, 30});
    auto notes = ShownNotesOf(w.model);
    ASSERT_EQ(notes.size(), 5U);
    auto dots = PianoDots(notes, 0);
    ASSERT_EQ(dots.size(), 4U); // the note below the keyboard has no dot
    EXPECT_EQ(dots[0].Ellipse.Y, 153);
    EXPECT_EQ(dots[1].Ellipse.Y, 153 - 11);
    EXPECT_EQ(dots[3].Ellipse.Y, 153 - 22);
    EXPECT_EQ(dots[2].Ellipse.Y, 153);
    EXPECT_EQ(dots[0].Ellipse.X, dots[3].Ellipse.X);
    for (const PianoDot& d : dots) {
        EXPECT_EQ(d.Colour, DotColour::Pending);
    }
    EXPECT_EQ(dots[3].Number, 4);

    // A wrong answer: red entered notes, then the question's in green numbered from 1.
    w.Answered(false, {62, 65});
    notes = ShownNotesOf(w.model);
    ASSERT_EQ(notes.size(), 7U);
    EXPECT_EQ(notes[0].Colour, DotColour::Wrong);
    EXPECT_EQ(notes[5].Colour, DotColour::Right);
    EXPECT_EQ(notes[5].Number, 1);
    EXPECT_EQ(notes[6].Number, 2);

    // A right answer shows only the entered notes, green.
    w.Answered(true, {62, 65});
    notes = ShownNotesOf(w.model);
    ASSERT_EQ(notes.size(), 5U);
    EXPECT_EQ(notes[4].Colour, DotColour::Right);

    // Chords carry no numbers.
    Window chords(IdentificationMode::ChordIdentification);
    chords.Entered({60, 64, 67});
    for (const ShownNote& n : ShownNotesOf(chords.model)) {
        EXPECT_EQ(n.Number, 0);
    }
    // Damaged counts never read past the notes.
    chords.model.EnteredCount = 200;
    chords.model.DisplayedNoteCount = 1000;
    EXPECT_EQ(ShownNotesOf(chords.model).size(), chords.model.EnteredNotes.size());
}

TEST(PianoAdjusters, HalvesStepAndRepeatWhileHeld)
{
    const auto boxes = PianoAdjusters(5);
    const LayoutRect program = boxes[0].Box;
    EXPECT_EQ(AdjusterHalfAt(boxes, program.X + 2, 8), AdjusterHalf::ProgramDown);
    EXPECT_EQ(AdjusterHalfAt(boxes, program.Right() - 2, 8), AdjusterHalf::ProgramUp);
    EXPECT_EQ(AdjusterHalfAt(boxes, program.X + program.Width / 2, 8), AdjusterHalf::None);
    EXPECT_EQ(AdjusterHalfAt(boxes, boxes[1].Box.X + 1, 3), AdjusterHalf::VelocityDown);
    EXPECT_EQ(AdjusterHalfAt(boxes, boxes[1].Box.Right() - 1, 14), AdjusterHalf::VelocityUp);
    EXPECT_EQ(AdjusterHalfAt(boxes, program.X + 2, 30), AdjusterHalf::None);

    PianoAdjusterState state;
    PianoVoice voice{10, 100};
    int programChanges = 0;
    for (int i = 0; i < 4; ++i) {
        programChanges += state.Press(AdjusterHalf::ProgramDown, voice).ProgramChanged ? 1 : 0;
        state.Release();
    }
    EXPECT_EQ(voice.Program, 6);
    EXPECT_EQ(programChanges, 4);

    // Held: the first two ticks wait, every later one steps.
    state.Press(AdjusterHalf::VelocityUp, voice);
    EXPECT_EQ(voice.Velocity, 101);
    state.Tick(voice);
    state.Tick(voice);
    EXPECT_EQ(voice.Velocity, 101);
    for (int i = 0; i < 30; ++i) {
        state.Tick(voice);
    }
    EXPECT_EQ(voice.Velocity, 127); // never above 127
    EXPECT_TRUE(state.Lit(1));

    // Released, the light goes out after 15 ticks and nothing steps meanwhile.
    state.Release();
    for (int i = 0; i < 14; ++i) {
        EXPECT_FALSE(state.Tick(voice).VoiceChanged);
    }
    EXPECT_TRUE(state.Lit(1));
    EXPECT_TRUE(state.Tick(voice).Repaint);
    EXPECT_FALSE(state.Lit(1));
    EXPECT_FALSE(state.TimerRunning());

    // At the bottom the program stays and no program change goes out.
    voice.Program = 0;
    EXPECT_FALSE(state.Press(AdjusterHalf::ProgramDown, voice).ProgramChanged);
    EXPECT_EQ(voice.Program, 0);
}

TEST(GuitarGeometry, FretTableFollowsTheBoxWidth)
{
    struct Case
    {
        int width;
        int mode;
        int frets;
        int topPitch;
    };
    const Case cases[] = {{500, 1, 12, 88}, {609, 1, 12, 88}, {610, 2, 16, 92},
                          {819, 2, 16, 92}, {820, 3, 20, 96}, {1100, 3, 20, 96}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        const GuitarNeck neck = LayoutGuitarNeck(c.width, 120);
        EXPECT_EQ(neck.FretMode, c.mode);
        EXPECT_EQ(neck.FretCount, c.frets);
        EXPECT_EQ(neck.TopPitch, c.topPitch);
        EXPECT_EQ(neck.FretX[0], kGuitarNutWidth);
        // The last fret of the neck ends near the box's right edge, inside it.
        const int last = neck.FretX[static_cast<std::size_t>(c.frets)];
        EXPECT_LE(last, c.width);
        EXPECT_GE(last, c.width - 30);
        // Frets get closer up the neck, as on a real one; fret 12 halves the string.
        for (std::size_t f = 2; f <= static_cast<std::size_t>(c.frets); ++f) {
            EXPECT_LT(neck.FretX[f] - neck.FretX[f - 1], neck.FretX[f - 1] - neck.FretX[f - 2] + 1)
                << f;
        }
        const double first = neck.FretX[1] - neck.FretX[0];
        const double twelfth = neck.FretX[12] - neck.FretX[11];
        EXPECT_NEAR(twelfth / first, 0.5, 0.05);
    }
}

TEST(GuitarGeometry, EveryPlaceOfTheNeckNamesItsNote)
{
    for (const int width : {500, 700, 900}) {
        SCOPED_TRACE(width);
        const GuitarNeck neck = LayoutGuitarNeck(width, 132);
        for (int s = 1; s <= 6; ++s) {
            for (int f = 0; f <= neck.FretCount; ++f) {
                SCOPED_TRACE(testing::Message() << "string " << s << " fret " << f);
                const auto hit =
                    GuitarHitAt(neck, GuitarFretCentreX(neck, f), GuitarStringY(neck, s));
                ASSERT_TRUE(hit.has_value());
                EXPECT_EQ(hit->String, s);
                EXPECT_EQ(hit->Fret, f);
                EXPECT_EQ(hit->Pitch, GuitarStrings[static_cast<std::size_t>(s)] + f);
                EXPECT_GE(hit->Pitch, kGuitarLowestPitch);
                EXPECT_LE(hit->Pitch, neck.TopPitch);
            }
        }
    }
    const GuitarNeck neck = LayoutGuitarNeck(500, 120);
    EXPECT_EQ(GuitarHitAt(neck, 10, 5)->Pitch, 76);   // the nut area: open string
    EXPECT_EQ(GuitarHitAt(neck, 10, -40)->String, 1); // clamped into the neck
    EXPECT_EQ(GuitarHitAt(neck, 10, 900)->Pitch, 52);
    EXPECT_EQ(GuitarHitAt(neck, neck.FretX[12] + 3, 60), std::nullopt); // past fret 12
    EXPECT_EQ(GuitarHitAt(neck, 5000, 60), std::nullopt);
    const auto top = GuitarHitAt(neck, neck.FretX[12] - 2, 5);
    ASSERT_TRUE(top.has_value());
    EXPECT_EQ(top->Pitch, neck.TopPitch);
}

TEST(GuitarGeometry, DotsSitOnTheirStringAndFret)
{
    const GuitarNeck neck = LayoutGuitarNeck(700, 120);
    std::vector<ShownNote> notes(4);
    notes[0].Note.Pitch.Note = 52; // low E: open string 6
    notes[1].Note.Pitch.Note = 64;
    notes[1].Note.GuitarString = 5; // chosen by the user: fret 7 on the A string
    notes[2].Note.Pitch.Note = 40;  // below the guitar
    notes[3].Note.Pitch.Note = 69;
    const auto dots = GuitarDots(neck, notes, 0, std::nullopt);
    ASSERT_EQ(dots.size(), 3U);
    EXPECT_EQ(dots[0].String, 6);
    EXPECT_EQ(dots[0].Fret, 0);
    EXPECT_EQ(dots[1].String, 5);
    EXPECT_EQ(dots[1].Fret, 7);
    EXPECT_EQ(dots[2].String, 3); // highest string at or below A: G string, fret 2
    EXPECT_EQ(dots[2].Fret, 2);
    for (const GuitarDot& d : dots) {
        const int cx = d.Ellipse.X + d.Ellipse.Width / 2;
        const int cy = d.Ellipse.Y + d.Ellipse.Height / 2;
        const auto hit = GuitarHitAt(neck, cx, cy);
        ASSERT_TRUE(hit.has_value());
        EXPECT_EQ(hit->Pitch, d.Note.Pitch.Note);
    }
    // Progressions fold the notes above the question's root.
    notes.resize(1);
    notes[0].Note.Pitch.Note = 79;
    const auto folded = GuitarDots(neck, notes, 0, 60);
    ASSERT_EQ(folded.size(), 1U);
    EXPECT_EQ(folded[0].Note.Pitch.Note, 67);

    // Inlays lie between the frets of the neck that has them.
    EXPECT_EQ(GuitarInlays(LayoutGuitarNeck(500, 120)).size(), 6U);
    EXPECT_EQ(GuitarInlays(LayoutGuitarNeck(900, 120)).size(), 9U);
}

TEST(InstrumentEntry, PressesHoldDragsMoveProgressionsSetChords)
{
    using Kind = InstrumentEntry::Kind;
    Window chord(IdentificationMode::ChordIdentification);
    auto press = EntryForPitch(chord.model, 55, 0, 2, false, false);
    EXPECT_EQ(press.Action, Kind::Hold);
    EXPECT_EQ(press.Pitch.Note, 55);
    EXPECT_TRUE(press.LowerStaff);
    EXPECT_FALSE(press.Silenced.has_value());
    EXPECT_EQ(EntryForPitch(chord.model, 61, 0, 2, true, false).Action, Kind::None); // no hold
    EXPECT_EQ(EntryForRelease(chord.model, false).Action, Kind::None);

    chord.model.HeldNote.Pitch.Note = 61;
    EXPECT_EQ(EntryForPitch(chord.model, 61, 0, 2, true, false).Action, Kind::None);
    const auto drag = EntryForPitch(chord.model, 63, 2, 4, true, false);
    EXPECT_EQ(drag.Action, Kind::Hold);
    ASSERT_TRUE(drag.Silenced.has_value());
    EXPECT_EQ(drag.Silenced->Note, 61);
    EXPECT_FALSE(drag.LowerStaff);
    EXPECT_EQ(drag.GuitarString, 2);
    EXPECT_EQ(EntryForRelease(chord.model, true).Action, Kind::ReleaseRemoving);

    // The held note is kept without the display offset: a drag compares it with it added.
    chord.model.DisplayOffset = 12;
    EXPECT_EQ(EntryForPitch(chord.model, 73, 0, 2, true, false).Action, Kind::None);
    EXPECT_EQ(EntryForPitch(chord.model, 61, 0, 2, true, false).Silenced->Note, 73);
    EXPECT_EQ(EntryForRelease(chord.model, false).Pitch.Note, 73);
    chord.model.DisplayOffset = 0;

    // The key's spelling: E flat in B flat major.
    chord.model.Sheet.KeySignature = -2;
    EXPECT_EQ(EntryForPitch(chord.model, 63, 0, 2, false, false).Pitch, (TPitch{63, 1}));

    Window prog(IdentificationMode::ChordProgressions);
    prog.model.QuestionRoot = 62;
    const auto set = EntryForPitch(prog.model, 84, 0, 2, false, false);
    EXPECT_EQ(set.Action, Kind::SetChord);
    EXPECT_EQ(set.Pitch.Note, 72);
    EXPECT_EQ(EntryForPitch(prog.model, 50, 0, 2, false, true).Action, Kind::RemoveChord);
    EXPECT_EQ(EntryForPitch(prog.model, 50, 0, 2, false, true).Pitch.Note, 62);
    prog.model.HeldNote.Pitch.Note = 60;
    EXPECT_EQ(EntryForRelease(prog.model, false).Action, Kind::None);
}

} // namespace
} // namespace pv
