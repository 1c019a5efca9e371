// The item editor without its dialog: adding and removing notes, their guitar strings, the
// MIDI keyboard, the staff, piano and guitar by mouse, inversions, and damaged items.
#include "PlayRig.h"
#include "exercises/setuppages/ChordEditModel.h"
#include "music/notation/Guitar.h"

#include <algorithm>
#include <set>
#include <vector>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::Msg;
using test::PlayRig;

const std::array<QString, 6> kInversionNames = {
    QStringLiteral("Root position"), QStringLiteral("1st inversion"),
    QStringLiteral("2nd inversion"), QStringLiteral("3rd inversion"),
    QStringLiteral("4th inversion"), QStringLiteral("5th inversion")};

std::vector<int> NotesOf(const ChordEditModel& editor)
{
    std::vector<int> out;
    for (const TNoteRec& n : editor.Notes())
        out.push_back(n.Pitch.Note);
    return out;
}

std::vector<int> StringsOf(const ChordEditModel& editor)
{
    std::vector<int> out;
    for (const TNoteRec& n : editor.Notes())
        out.push_back(GuitarStringNumber(n.GuitarString));
    return out;
}

TPitch P(int note, int shift = 0)
{
    return {static_cast<std::int8_t>(note), static_cast<std::int8_t>(shift)};
}

class ChordEditModelTest : public ::testing::Test
{
protected:
    ChordEditModelTest() : editor(keys, spacing, &rig.midiOut) {}

    void Open(ExerciseKind kind, std::vector<ItemNote> notes = {}, EditView view = EditView::Staff,
              bool inversions = false)
    {
        ChordEditModel::Options options;
        options.Kind = kind;
        options.View = view;
        options.InversionMode = inversions;
        options.PlayMode =
            kind == ExerciseKind::Scales ? TPlayMode::Ascending : TPlayMode::Harmonic;
        editor.Open(options, notes, QStringLiteral("Mine"), items.ChordIdentification,
                    kInversionNames);
        editor.SetStaffSize(440, kEditPictureHeight);
    }

    NoKeysHeld keys;
    NoteSpacing spacing;
    PlayRig rig;
    ItemTables items = BuiltInItemTables();
    ChordEditModel editor;
};

TEST_F(ChordEditModelTest, NotesAreAddedInOrderOnceAndWithinTheRange)
{
    Open(ExerciseKind::ChordIdentification);
    struct Step
    {
        const char* name;
        TPitch pitch;
        bool remove;
        int position;
        bool changed;
        std::vector<int> notes;
    };
    const Step steps[] = {
        {"G", P(67), false, 0, true, {67}},
        {"C goes below it", P(60), false, 0, true, {60, 67}},
        {"E between them", P(64), false, 0, true, {60, 64, 67}},
        {"E again is refused", P(64), false, 0, false, {60, 64, 67}},
        {"F flat is the same key", P(64, 1), false, 0, false, {60, 64, 67}},
        {"F3 is the lowest allowed", P(53), false, 0, true, {53, 60, 64, 67}},
        {"E3 below it is refused", P(52), false, 0, false, {53, 60, 64, 67}},
        {"C6 is the highest allowed", P(84), false, 0, true, {53, 60, 64, 67, 84}},
        {"C#6 above it is refused", P(85), false, 0, false, {53, 60, 64, 67, 84}},
        {"at a position", P(62), false, 1, true, {62, 53, 60, 64, 67, 84}},
        {"removed by position", P(0), true, 1, true, {53, 60, 64, 67, 84}},
        {"removed by pitch", P(84), true, 0, true, {53, 60, 64, 67}},
        {"removing what is not there", P(70), true, 0, false, {53, 60, 64, 67}},
        {"removing past the end", P(0), true, 9, false, {53, 60, 64, 67}},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        EXPECT_EQ(editor.AddOrRemoveNote(s.pitch, s.remove, s.position), s.changed);
        EXPECT_EQ(NotesOf(editor), s.notes);
    }
    // Twelve notes at most: the thirteenth is refused.
    Open(ExerciseKind::Scales);
    for (int n = 60; n < 72; ++n)
        EXPECT_TRUE(editor.AddOrRemoveNote(P(n), false, 0));
    EXPECT_FALSE(editor.AddOrRemoveNote(P(72), false, 0));
    EXPECT_EQ(editor.NoteCount(), 12);
    const TNoteRec& added = editor.Notes().front();
    EXPECT_EQ(added.Duration, 0);
    EXPECT_EQ(added.Staff, 0);
}

TEST_F(ChordEditModelTest, ChordNotesAreSpreadOverTheStringsAndMoveBackWhenOneGoes)
{
    Open(ExerciseKind::ChordIdentification, {}, EditView::Guitar);
    for (int n : {60, 64, 67})
        editor.AddOrRemoveNote(P(n), false, 0);
    EXPECT_EQ(StringsOf(editor), (std::vector<int>{5, 4, 3}));
    // E and F would share string 4: the E moves down to string 5, the C to 6.
    editor.AddOrRemoveNote(P(65), false, 0);
    EXPECT_EQ(NotesOf(editor), (std::vector<int>{60, 64, 65, 67}));
    EXPECT_EQ(StringsOf(editor), (std::vector<int>{6, 5, 4, 3}));
    // Without the F the chord goes back up the neck where each note still fits.
    editor.AddOrRemoveNote(P(65), true, 0);
    EXPECT_EQ(StringsOf(editor), (std::vector<int>{5, 4, 3}));

    // Scales are played one note after another: no string is given up for a neighbour.
    Open(ExerciseKind::Scales, {}, EditView::Guitar);
    for (int n : {64, 65})
        editor.AddOrRemoveNote(P(n), false, 0);
    EXPECT_EQ(StringsOf(editor), (std::vector<int>{4, 4}));
}

TEST_F(ChordEditModelTest, TheMidiKeyboardEntersAndEchoesOnlyTheEditorsKeys)
{
    Open(ExerciseKind::ChordIdentification);
    struct Step
    {
        const char* name;
        std::uint32_t message;
        std::vector<int> notes;
        int held;
    };
    const Step steps[] = {
        {"C4 down", Msg(0x90, 60, 90), {60}, 1},
        {"E flat down on channel 3", Msg(0x92, 63, 70), {60, 63}, 2},
        {"C4 up", Msg(0x80, 60, 0), {60, 63}, 1},
        {"velocity 0 releases and adds nothing", Msg(0x90, 63, 0), {60, 63}, 0},
        {"E2 below the editor's range", Msg(0x90, 40, 90), {60, 63}, 0},
        {"C7 above it", Msg(0x90, 96, 90), {60, 63}, 0},
        {"its release is nothing to release", Msg(0x80, 96, 0), {60, 63}, 0},
        {"a controller", Msg(0xB0, 64, 127), {60, 63}, 0},
        {"G down", Msg(0x90, 67, 90), {60, 63, 67}, 1},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        editor.MidiInMessage(s.message);
        EXPECT_EQ(NotesOf(editor), s.notes);
        EXPECT_EQ(editor.HeldMidiKeys(), s.held);
    }
    EXPECT_EQ(editor.Notes()[1].Pitch.Shift, 1) << "E flat, as C writes it";
    std::vector<std::pair<bool, int>> echoed;
    for (const auto& e : rig.Immediate())
        if (e.second != 123) // the stop's all-notes-off
            echoed.push_back(e);
    const std::vector<std::pair<bool, int>> expected = {
        {true, 60}, {true, 63}, {false, 60}, {false, 63}, {true, 67}};
    EXPECT_EQ(echoed, expected) << "each key sounds at once and stops with its release; keys "
                                   "outside the range are not played";
}

TEST_F(ChordEditModelTest, TheStaffTakesANoteByPressDragAndRelease)
{
    Open(ExerciseKind::ChordIdentification);
    TSheet& sheet = editor.Sheet();
    // Where a head is drawn, a press reads its note.
    const auto yOf = [&](int note) {
        std::vector<TNoteRec> probe(1);
        probe[0].Pitch = P(note);
        TSheet copy = sheet;
        copy.Draw(probe, 1);
        return probe[0].Y;
    };
    const int x = 200;
    EditEffect effect = editor.StaffMouseDown(true, x, yOf(60));
    EXPECT_TRUE(effect.HideCursor);
    EXPECT_EQ(editor.HeldNote(), P(60));
    EXPECT_TRUE(editor.Notes().empty()) << "held, not yet entered";
    editor.StaffMouseMove(true, x, yOf(64));
    EXPECT_EQ(editor.HeldNote().Note, 64);
    editor.StaffMouseMove(true, x + 30, yOf(64)); // 30 pixels right: a sharp
    EXPECT_EQ(editor.HeldNote(), P(65, -1));
    effect = editor.StaffMouseUp(true);
    EXPECT_TRUE(effect.ShowCursor);
    EXPECT_EQ(NotesOf(editor), (std::vector<int>{65}));
    EXPECT_EQ(editor.Notes()[0].Pitch.Shift, -1) << "E sharp stays as written";

    // A drag far below the box reads its lowest line, never past the staff's tables.
    editor.StaffMouseDown(true, x, yOf(67));
    editor.StaffMouseMove(true, x, 5000);
    editor.StaffMouseUp(true);
    EXPECT_EQ(editor.NoteCount(), 1) << "a note below F3 is refused";

    // The right button switches to the delete tool; a press on a head removes it.
    editor.AddOrRemoveNote(P(72), false, 0);
    EXPECT_TRUE(editor.StaffMouseDown(false, 0, 0).ToolChanged);
    EXPECT_FALSE(editor.AddTool());
    editor.DrawStaff();
    const TNoteRec head = editor.Notes()[1];
    editor.StaffMouseDown(true, head.X + 8, head.Y - 6);
    EXPECT_EQ(NotesOf(editor), (std::vector<int>{65}));
    editor.StaffMouseDown(true, head.X + 40, head.Y);
    EXPECT_EQ(editor.NoteCount(), 1) << "nothing near the point";
    // Every note sounded was switched off.
    int on = 0;
    int off = 0;
    for (const auto& [isOn, note] : rig.Immediate())
        (isOn ? on : off) += note != 123 ? 1 : 0;
    EXPECT_EQ(on, off);
}

/// A keyboard on which the test holds accidental keys.
class HeldKeys final : public IKeyState
{
public:
    bool IsHeld(AccidentalKey key) const override { return held.count(key) != 0; }
    std::set<AccidentalKey> held;
};

TEST(ChordEditStaff, AHeldAccidentalKeySpellsTheDraggedNote)
{
    struct Case
    {
        const char* name;
        AccidentalKey key;
        TPitch entered;
    };
    const Case cases[] = {
        {"V: a sharp", AccidentalKey::V, {65, -1}},
        {"X: a flat", AccidentalKey::X, {63, 1}},
        {"Z: a double flat", AccidentalKey::Z, {62, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HeldKeys keys;
        NoteSpacing spacing;
        ChordEditModel editor(keys, spacing, nullptr);
        ChordEditModel::Options options;
        editor.Open(options, {}, QString(), BuiltInItemTables().ChordIdentification, {});
        editor.SetStaffSize(440, kEditPictureHeight);
        std::vector<TNoteRec> probe(1);
        probe[0].Pitch = P(64);
        TSheet copy = editor.Sheet();
        copy.Draw(probe, 1);
        editor.StaffMouseDown(true, 200, probe[0].Y); // E4, held
        keys.held.insert(c.key);
        editor.StaffMouseMove(true, 201, probe[0].Y);
        editor.StaffMouseUp(true);
        ASSERT_EQ(editor.NoteCount(), 1);
        EXPECT_EQ(editor.Notes()[0].Pitch, c.entered);
    }
}

TEST_F(ChordEditModelTest, PianoAndGuitarAddWithTheLeftButtonAndRemoveWithTheRight)
{
    Open(ExerciseKind::ChordIdentification, {}, EditView::Piano);
    const auto centre = [](int note) {
        for (const EditPianoKey& key : EditPianoKeys())
            if (key.Note == note)
                return key.Black ? key.Rect.center() : QPoint(key.Rect.center().x(), 150);
        return QPoint();
    };
    EXPECT_EQ(EditPianoNoteAt(centre(53).x(), 150), 53);
    EXPECT_EQ(EditPianoNoteAt(centre(61).x(), 50), 61);
    EXPECT_EQ(EditPianoNoteAt(10, 150), std::nullopt) << "left of the keyboard";
    EXPECT_EQ(EditPianoNoteAt(kEditPianoWidth, 150), std::nullopt);

    editor.PianoMouseDown(centre(60).x(), 150);
    editor.PianoMouseMove(centre(61).x(), 50); // glides to C sharp
    EXPECT_EQ(editor.HeldNote(), P(61, 1)) << "a black key is spelled flat in C";
    editor.InstrumentMouseUp(false);
    editor.PianoMouseDown(centre(67).x(), 150);
    editor.InstrumentMouseUp(false);
    EXPECT_EQ(NotesOf(editor), (std::vector<int>{61, 67}));
    editor.PianoMouseDown(centre(61).x(), 50);
    editor.InstrumentMouseUp(true);
    EXPECT_EQ(NotesOf(editor), (std::vector<int>{67})) << "the right button removes the key";

    Open(ExerciseKind::ChordIdentification, {}, EditView::Guitar);
    const EditNeck neck = LayoutEditNeck(640, kEditGuitarHeight);
    EXPECT_EQ(neck.GuitarHeight, 156);
    struct Hit
    {
        const char* name;
        int x;
        int y;
        std::optional<int> note;
    };
    const Hit hits[] = {
        {"string 1 open", 20, EditStringY(neck, 1), 76},
        {"string 2 fret 1", EditFretCentreX(neck, 1), EditStringY(neck, 2), 72},
        {"string 5 fret 3", EditFretCentreX(neck, 3), EditStringY(neck, 5), 60},
        {"string 6 fret 16", EditFretCentreX(neck, 16), EditStringY(neck, 6), 68},
        {"past the sixteenth fret", EditFretCentreX(neck, 17), EditStringY(neck, 6), std::nullopt},
        {"below the neck is string 6", 20, 500, 52},
    };
    for (const Hit& h : hits) {
        SCOPED_TRACE(h.name);
        const auto hit = EditGuitarAt(neck, h.x, h.y);
        EXPECT_EQ(hit ? std::optional<int>(hit->Note) : std::nullopt, h.note);
    }
    editor.GuitarMouseDown(neck, EditFretCentreX(neck, 3), EditStringY(neck, 5));
    editor.InstrumentMouseUp(false);
    editor.GuitarMouseDown(neck, 20, EditStringY(neck, 6)); // E3 open: below the range
    editor.InstrumentMouseUp(false);
    EXPECT_EQ(NotesOf(editor), (std::vector<int>{60}));
    EXPECT_EQ(StringsOf(editor), (std::vector<int>{5}));
}

TEST_F(ChordEditModelTest, InversionsAreBuiltFromTheChordAndNamedAfterIt)
{
    Open(ExerciseKind::ChordInversions, {}, EditView::Staff, true);
    const std::vector<int>& list = editor.ChordList();
    EXPECT_EQ(std::count(list.begin(), list.end(), 4), 0) << "the augmented triad";
    EXPECT_EQ(std::count(list.begin(), list.end(), 11), 0) << "the diminished seventh";
    const ItemTable& chords = items.ChordIdentification;
    for (int item = 1; item <= 60; ++item) {
        const bool listed = chords.NoteCount(item) >= 3 && item != 4 && item != 11;
        EXPECT_EQ(editor.EntryOfChord(item) >= 0, listed) << item;
    }

    // C E G B, second inversion: G B C' E'.
    editor.ChooseChord(editor.EntryOfChord(9));
    editor.ChooseInversion(2);
    EXPECT_EQ(NotesOf(editor), (std::vector<int>{67, 71, 72, 76}));
    EXPECT_EQ(editor.Name, chords.Name(9) + QStringLiteral(" (2nd inversion)"));
    EXPECT_EQ(editor.InversionNames().size(), 4U);

    for (int entry = 0; entry < static_cast<int>(list.size()); ++entry) {
        const int item = list[static_cast<std::size_t>(entry)];
        const std::vector<ItemNote> chord = chords.Notes(item);
        const int count = static_cast<int>(chord.size());
        for (int inversion = 0; inversion < std::min(count, 6); ++inversion) {
            SCOPED_TRACE(testing::Message() << "chord " << item << " inversion " << inversion);
            editor.ChooseChord(entry);
            editor.ChooseInversion(inversion);
            ASSERT_EQ(editor.NoteCount(), count);
            const std::vector<ItemNote> notes = editor.ItemNotes();
            for (int k = 0; k < count; ++k) {
                const int from = (inversion + k) % count;
                const ItemNote& source = chord[static_cast<std::size_t>(from)];
                EXPECT_EQ(notes[static_cast<std::size_t>(k)].Note,
                          source.Note + (from < inversion ? 12 : 0));
                EXPECT_EQ(notes[static_cast<std::size_t>(k)].Shift, source.Shift);
            }
            EXPECT_EQ(notes[0].Code, item - 1) << "the chord's type";
            EXPECT_EQ(notes[1].Code, inversion);
            EXPECT_EQ(editor.Name, chords.Name(item) + QStringLiteral(" (") +
                                       kInversionNames[static_cast<std::size_t>(inversion)] +
                                       QStringLiteral(")"));
        }
    }
    // An inversion the next chord does not have falls back to root position.
    editor.ChooseChord(editor.EntryOfChord(9));
    editor.ChooseInversion(3);
    editor.ChooseChord(editor.EntryOfChord(1));
    EXPECT_EQ(editor.Inversion(), 0);
    EXPECT_EQ(NotesOf(editor), (std::vector<int>{60, 64, 67}));
    // The mouse enters nothing here.
    editor.StaffMouseDown(true, 200, 60);
    editor.StaffMouseUp(true);
    EXPECT_EQ(editor.NoteCount(), 3);

    // An item opens on its own chord and inversion, from its codes.
    const std::vector<ItemNote> stored = items.ChordInversions.Notes(16); // Bb C E G: 7th, 3rd
    Open(ExerciseKind::ChordInversions, stored, EditView::Staff, true);
    EXPECT_EQ(list[static_cast<std::size_t>(editor.ChordEntry())], 7);
    EXPECT_EQ(editor.Inversion(), 2);
}

TEST_F(ChordEditModelTest, ADamagedItemShowsWhatIsValid)
{
    std::vector<ItemNote> damaged;
    for (int i = 0; i < 14; ++i)
        damaged.push_back({static_cast<std::uint8_t>(50 + 3 * i), 0, 0, 0});
    damaged.push_back({60, 0, 0, 0});
    damaged[2] = {200, 0, 0, 0};
    Open(ExerciseKind::Scales, damaged);
    const std::vector<int> notes = NotesOf(editor);
    EXPECT_LE(notes.size(), 12U);
    EXPECT_TRUE(std::all_of(notes.begin(), notes.end(), [](int n) { return n >= 53 && n <= 84; }));
    EXPECT_EQ(std::set<int>(notes.begin(), notes.end()).size(), notes.size()) << "each once";
    EXPECT_EQ(notes.front(), 53);

    // An inversion item naming a chord that does not exist opens on the list's first chord.
    Open(ExerciseKind::ChordInversions, {{60, 0, 200, 0}, {64, 0, 9, 0}, {67, 0, 0, 0}},
         EditView::Staff, true);
    EXPECT_EQ(editor.ChordEntry(), 0);
    EXPECT_EQ(editor.Inversion(), 0);
    EXPECT_EQ(NotesOf(editor), (std::vector<int>{60, 64, 67}));
}

TEST_F(ChordEditModelTest, PlaySoundsTheNotesInThePlayMode)
{
    Open(ExerciseKind::Scales, {{60, 0, 0, 0}, {62, 0, 0, 0}, {64, 0, 0, 0}});
    editor.Play();
    const auto ons = rig.NoteOns();
    ASSERT_EQ(ons.size(), 3U);
    EXPECT_LT(ons[0].first, ons[1].first) << "a scale one note after another";
    EXPECT_EQ(ons[2].second, 64);
}

} // namespace
} // namespace pv
