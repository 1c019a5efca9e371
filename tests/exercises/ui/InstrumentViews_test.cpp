// The identification window's piano and guitar: presses at computed points enter notes, the
// adjusters step the voice, and the pictures show the answers' dots.
#include "exercises/base/ExerciseHost.h"
#include "exercises/items/ItemTables.h"
#include "exercises/setup/ExerciseSetup.h"
#include "exercises/ui/AkkordStaffBox.h"
#include "exercises/ui/InstrumentViews.h"
#include "exercises/ui/TAkkord.h"
#include "music/sequencer/MidiMessage.h"
#include "music/staff/Sheet.h"
#include "music/strings/UIStrings.h"
#include "support/ExerciseHostFake.h"
#include "support/ScriptedPrompts.h"
#include "support/SequencerFakes.h"
#include "support/TestOutput.h"

#include <map>
#include <utility>
#include <vector>

#include <QCoreApplication>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::Mouse;

using Kind = InstrumentEntry::Kind;

struct Rig
{
    explicit Rig(IdentificationMode mode) : model(mode, base, strip, strings)
    {
        strings.StrVolume = QStringLiteral("Velocity");
    }
    ExerciseSession base;
    ControlStripModel strip;
    UIStringTable strings;
    AkkordModel model;

    void Show(std::initializer_list<int> entered, std::initializer_list<int> question, bool right)
    {
        model.EnteredCount = 0;
        for (const int p : entered) {
            model.EnteredNotes[model.EnteredCount++].Pitch.Note = static_cast<std::int8_t>(p);
        }
        int k = model.EnteredCount;
        for (const int p : question) {
            model.EnteredNotes[static_cast<std::size_t>(k++)].Pitch.Note =
                static_cast<std::int8_t>(p);
        }
        model.DisplayedNoteCount = k;
        base.Answered = question.size() > 0;
        model.LastAnswerRight = right;
    }
};

void Click(QWidget& widget, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    Mouse(widget, QEvent::MouseButtonPress, at, button);
    Mouse(widget, QEvent::MouseButtonRelease, at, button);
}

QPoint PianoPoint(const TPianoView& view, int pitch, int offset = 0)
{
    const auto key = PianoKeyOf(pitch, offset);
    EXPECT_TRUE(key.has_value());
    const LayoutRect r = PianoKeyHighlight(*key).front();
    return {r.X + r.Width / 2, PianoBoxY(r.Y + r.Height / 2, view.height())};
}

QPoint GuitarPoint(const GuitarNeck& neck, int string, int fret)
{
    return {GuitarFretCentreX(neck, fret), GuitarStringY(neck, string)};
}

void Save(QWidget& widget, const char* name)
{
    const QImage image = widget.grab().toImage();
    EXPECT_FALSE(image.isNull());
    EXPECT_TRUE(image.save(test::TestOutputDir() + QString::fromLatin1(name)));
}

TEST(TPianoView, PressesAtKeysHoldDragsMoveAndReleasesLetGo)
{
    Rig rig(IdentificationMode::ChordIdentification);
    for (const int height : {107, 155, 172}) {
        SCOPED_TRACE(height);
        rig.model.HeldNote = TNoteRec{};
        TPianoView view(rig.model, rig.strings);
        view.SetOctaves(5);
        view.resize(5 * kPianoOctaveWidth, height);
        std::vector<InstrumentEntry> entries;
        QObject::connect(&view, &TPianoView::Entry,
                         [&](const InstrumentEntry& e) { entries.push_back(e); });

        // Every key of the keyboard, black and white, is pressed where its light is drawn.
        for (int pitch = kPianoLowestPitch; pitch <= view.TopPitch(); ++pitch) {
            Mouse(view, QEvent::MouseButtonPress, PianoPoint(view, pitch));
            ASSERT_FALSE(entries.empty());
            EXPECT_EQ(entries.back().Action, Kind::Hold);
            EXPECT_EQ(entries.back().Pitch.Note, pitch);
            EXPECT_EQ(entries.back().Source, kEntrySourcePiano);
        }
        entries.clear();

        // Held C sharp (as the window holds it): dragging onto D moves the hold, the release
        // lets go of it.
        rig.model.HeldNote.Pitch = {61, -1};
        Mouse(view, QEvent::MouseMove, PianoPoint(view, 61));
        EXPECT_TRUE(entries.empty());
        Mouse(view, QEvent::MouseMove, PianoPoint(view, 62));
        ASSERT_EQ(entries.size(), 1U);
        EXPECT_EQ(entries[0].Pitch.Note, 62);
        ASSERT_TRUE(entries[0].Silenced.has_value());
        EXPECT_EQ(entries[0].Silenced->Note, 61);
        Mouse(view, QEvent::MouseButtonRelease, PianoPoint(view, 62), Qt::RightButton);
        ASSERT_EQ(entries.size(), 2U);
        EXPECT_EQ(entries[1].Action, Kind::ReleaseRemoving);
    }
}

TEST(TPianoView, ClicksOnTheProgramAdjusterStepAndSendProgramChanges)
{
    Rig rig(IdentificationMode::ChordIdentification);
    TPianoView view(rig.model, rig.strings);
    view.SetOctaves(4);
    view.resize(4 * kPianoOctaveWidth, 155);
    view.SetVoice({20, 90});
    std::vector<std::pair<PianoVoice, bool>> steps;
    QObject::connect(&view, &TPianoView::VoiceStepped,
                     [&](PianoVoice v, bool program) { steps.emplace_back(v, program); });
    std::vector<InstrumentEntry> entries;
    QObject::connect(&view, &TPianoView::Entry,
                     [&](const InstrumentEntry& e) { entries.push_back(e); });

    const auto boxes = PianoAdjusters(4);
    const QPoint down(boxes[0].Box.X + 3, 8);
    for (int i = 0; i < 4; ++i) {
        Click(view, down);
    }
    EXPECT_EQ(view.Voice().Program, 16);
    ASSERT_EQ(steps.size(), 4U);
    for (const auto& step : steps) {
        EXPECT_TRUE(step.second);
    }
    Click(view, QPoint(boxes[1].Box.Right() - 3, 8));
    EXPECT_EQ(view.Voice().Velocity, 91);
    EXPECT_FALSE(steps.back().second);
    // The text field and the adjusters never enter notes.
    Click(view, QPoint(boxes[0].Text.X + 10, 8));
    EXPECT_EQ(steps.size(), 5U);
    EXPECT_TRUE(entries.empty());

    // The light of the last press goes out after its timeout.
    EXPECT_TRUE(view.Adjusters().Lit(1));
    for (int i = 0; i < PianoAdjusterState::kHoverTicks; ++i) {
        view.AdjusterTick();
    }
    EXPECT_FALSE(view.Adjusters().Lit(1));
}

TEST(TGuitarView, PressesOnStringsAndFretsEnterTheirNotesInEveryFretMode)
{
    Rig rig(IdentificationMode::ChordIdentification);
    for (const int width : {560, 700, 900}) {
        SCOPED_TRACE(width);
        TGuitarView view(rig.model);
        view.resize(width, 120);
        const GuitarNeck neck = view.Neck();
        std::vector<InstrumentEntry> entries;
        QObject::connect(&view, &TGuitarView::Entry,
                         [&](const InstrumentEntry& e) { entries.push_back(e); });
        Mouse(view, QEvent::MouseButtonPress, GuitarPoint(neck, 3, 2));
        ASSERT_EQ(entries.size(), 1U);
        EXPECT_EQ(entries[0].Pitch.Note, 69);
        EXPECT_EQ(entries[0].GuitarString, 3);
        EXPECT_EQ(entries[0].Source, kEntrySourceGuitar);
        Mouse(view, QEvent::MouseButtonPress, GuitarPoint(neck, 1, neck.FretCount));
        ASSERT_EQ(entries.size(), 2U);
        EXPECT_EQ(entries[1].Pitch.Note, neck.TopPitch);
        Mouse(view, QEvent::MouseButtonPress, QPoint(10, GuitarStringY(neck, 6)));
        ASSERT_EQ(entries.size(), 3U);
        EXPECT_EQ(entries[2].Pitch.Note, 52);
        if (neck.FretCount < 20) {
            Mouse(view, QEvent::MouseButtonPress, QPoint(width - 2, GuitarStringY(neck, 2)));
            EXPECT_EQ(entries.size(), 3U) << "past the last fret";
        }
    }
}

TEST(TAkkord, NotesPressedOnThePianoAndGuitarAreEntered)
{
    test::FakeClock clock;
    test::FakeDevices devices{clock};
    Sequencer sequencer{clock, Sequencer::Drive::Manual};
    test::ScriptedPrompts prompts;
    UIStringTable strings;
    TMidiOut midiOut{devices, sequencer, prompts, strings};
    test::FakeExerciseHost host;
    ExerciseSession session;
    TAkkord window(IdentificationMode::ChordIdentification, session, &host, strings);
    window.SetMidiOut(midiOut);
    window.Setup(DefaultExerciseSetup(), BuiltInItemTables(), AkkordSettings{}, true);
    window.SetAnswerInput(kAnswerOnPiano | kAnswerOnGuitar | kAnswerOnStaff);
    window.resize(900, 700);
    AkkordModel& model = window.Model();
    model.EntryTool = kEntryToolAdd;
    window.NewQuestion();
    ASSERT_FALSE(model.Session().Answered);
    model.EnteredCount = 0;

    TPianoView& piano = window.PianoView();
    ASSERT_GT(piano.width(), 0);
    Mouse(piano, QEvent::MouseButtonPress, PianoPoint(piano, 61));
    EXPECT_EQ(model.HeldNote.Pitch.Note, 61);
    EXPECT_EQ(model.HeldSource, kEntrySourcePiano);
    Mouse(piano, QEvent::MouseMove, PianoPoint(piano, 64));
    EXPECT_EQ(model.HeldNote.Pitch.Note, 64);
    EXPECT_EQ(model.EnteredCount, 0) << "a drag enters nothing on its way";
    Mouse(piano, QEvent::MouseButtonRelease, PianoPoint(piano, 64));
    EXPECT_EQ(model.HeldNote.Pitch.Note, 0);
    ASSERT_EQ(model.EnteredCount, 1);
    EXPECT_EQ(model.EnteredNotes[0].Pitch.Note, 64);

    TGuitarView& guitar = window.GuitarView();
    ASSERT_GT(guitar.width(), 0);
    const GuitarNeck neck = guitar.Neck();
    Mouse(guitar, QEvent::MouseButtonPress, GuitarPoint(neck, 2, 3)); // D on the B string
    EXPECT_EQ(model.HeldNote.Pitch.Note, 74);
    EXPECT_EQ(model.HeldSource, kEntrySourceGuitar);
    Mouse(guitar, QEvent::MouseMove, GuitarPoint(neck, 2, 1)); // slid down to C
    EXPECT_EQ(model.HeldNote.Pitch.Note, 72);
    Mouse(guitar, QEvent::MouseButtonRelease, GuitarPoint(neck, 2, 1));
    ASSERT_EQ(model.EnteredCount, 2);
    EXPECT_EQ(model.EnteredNotes[0].Pitch.Note, 64);
    EXPECT_EQ(model.EnteredNotes[1].Pitch.Note, 72);

    // A right-button click on an entered note takes it out again.
    Click(piano, PianoPoint(piano, 64), Qt::RightButton);
    ASSERT_EQ(model.EnteredCount, 1);
    EXPECT_EQ(model.EnteredNotes[0].Pitch.Note, 72);
}

TEST(InstrumentPictures, PianoAndGuitarWithAnswers)
{
    // A melody answered wrongly: its entered notes red, the question's green, numbered, the
    // repeated pitch stacked.
    Rig melody(IdentificationMode::MelodyDictation);
    melody.Show({60, 64, 67, 64}, {60, 64, 65, 64}, false);
    TPianoView piano(melody.model, melody.strings);
    piano.ProgramName = [](int program) {
        return program == 0 ? QStringLiteral("Acoustic Grand") : QString::number(program);
    };
    piano.SetOctaves(5);
    piano.resize(5 * kPianoOctaveWidth, 155);
    piano.SetVoice({0, 100});
    Save(piano, "piano_wrong_answer.png");

    Rig chord(IdentificationMode::ChordIdentification);
    chord.Show({60, 64, 67}, {60, 64, 67}, true);
    TPianoView right(chord.model, chord.strings);
    right.SetOctaves(4);
    right.resize(4 * kPianoOctaveWidth, 120);
    Save(right, "piano_right_answer.png");

    chord.Show({60, 64}, {}, false);
    chord.model.HeldNote.Pitch = {61, -1};
    TPianoView held(chord.model, chord.strings);
    held.SetOctaves(6);
    held.resize(6 * kPianoOctaveWidth, 172);
    Save(held, "piano_held_c_sharp.png");

    Rig guitarRig(IdentificationMode::ChordIdentification);
    guitarRig.Show({55, 59, 62, 67}, {55, 59, 62, 65}, false);
    for (const int width : {560, 700, 900}) {
        TGuitarView guitar(guitarRig.model);
        guitar.resize(width, 120);
        const std::string name = "guitar_" + std::to_string(guitar.Neck().FretCount) + "_frets.png";
        Save(guitar, name.c_str());
    }
    // A progression in D major: degree names on the keys and the neck, chord roots numbered.
    Rig progression(IdentificationMode::ChordProgressions);
    progression.model.QuestionRoot = 62;
    progression.model.Sheet.KeySignature = 2;
    progression.Show({62, 67, 69}, {}, false);
    TPianoView degrees(progression.model, progression.strings);
    degrees.SetOctaves(5);
    degrees.resize(5 * kPianoOctaveWidth, 155);
    Save(degrees, "piano_progression_degrees.png");
    TGuitarView neckDegrees(progression.model);
    neckDegrees.resize(700, 132);
    Save(neckDegrees, "guitar_progression_degrees.png");

    guitarRig.Show({52, 57, 62}, {}, false);
    guitarRig.model.HeldNote.Pitch = {79, 0};
    TGuitarView heldGuitar(guitarRig.model);
    heldGuitar.resize(700, 132);
    Save(heldGuitar, "guitar_held_note.png");
}

/// An identification window wired to a fake MIDI output, fed as a MIDI keyboard would.
struct KeyboardRig
{
    explicit KeyboardRig(IdentificationMode mode) : window(mode, session, &host, strings)
    {
        EXPECT_TRUE(midiOut.ChangeDevice(1));
        window.SetMidiOut(midiOut);
        window.Setup(DefaultExerciseSetup(), BuiltInItemTables(), AkkordSettings{}, true);
        window.SetAnswerInput(kAnswerOnPiano | kAnswerOnStaff);
        window.resize(900, 700);
        Model().PlayToneOnClick = true;
        Model().EntryTool = kEntryToolAdd;
    }
    AkkordModel& Model() { return window.Model(); }
    void Key(int channel, int note, int velocity)
    {
        window.MidiInMessage(test::Msg(0x90U + static_cast<std::uint32_t>(channel),
                                       static_cast<std::uint32_t>(note),
                                       static_cast<std::uint32_t>(velocity)));
    }
    std::vector<int> Entered()
    {
        std::vector<int> notes;
        for (std::size_t k = 0; k < Model().EnteredCount; ++k)
            notes.push_back(Model().EnteredNotes[k].Pitch.Note);
        return notes;
    }
    /// Per (channel, note): note-ons the window sent minus note-offs; all zero when nothing
    /// hangs, negative when a note-off hit a note that was never switched on.
    std::map<std::pair<int, int>, int> Sounding() const
    {
        std::map<std::pair<int, int>, int> sounding;
        for (const test::SentMessage& m : devices.sink.sent) {
            const std::uint8_t status = MessageStatus(m.packed);
            if ((status & 0xE0U) != 0x80U)
                continue;
            const std::pair<int, int> at{status & 0x0F, MessageData1(m.packed)};
            sounding[at] += IsNoteOffMessage(m.packed) ? -1 : 1;
        }
        std::erase_if(sounding, [](const auto& entry) { return entry.second == 0; });
        return sounding;
    }

    test::FakeClock clock;
    test::FakeDevices devices{clock};
    Sequencer sequencer{clock, Sequencer::Drive::Manual};
    test::ScriptedPrompts prompts;
    UIStringTable strings;
    TMidiOut midiOut{devices, sequencer, prompts, strings};
    test::FakeExerciseHost host;
    ExerciseSession session;
    TAkkord window;
};

TEST(TAkkordMidiIn, AChordPlayedNoteByNoteIsEnteredAndTheNextChordReplacesIt)
{
    KeyboardRig rig(IdentificationMode::ChordIdentification);
    AkkordModel& model = rig.Model();
    ASSERT_TRUE(model.NewQuestion());
    model.ClearEnteredNotes();
    std::vector<int> question;
    for (std::size_t k = 0; k < model.QuestionNoteCount; ++k)
        question.push_back(model.QuestionNotes[k].Pitch.Note);
    ASSERT_GE(question.size(), 3U);

    // A wrong chord first, played from the top down and let go.
    for (auto it = question.rbegin(); it != question.rend(); ++it)
        rig.Key(0, *it + 1, 90);
    EXPECT_EQ(model.EnteredCount, question.size());
    EXPECT_EQ(model.MidiHeldCount, question.size());
    for (const int note : question)
        rig.Key(0, note + 1, 0);
    EXPECT_EQ(model.MidiHeldCount, 0);

    // The right chord, note by note, replaces it; a second note-on of a held key adds nothing.
    for (const int note : question) {
        rig.Key(0, note, 100);
        rig.Key(0, note, 100);
    }
    EXPECT_EQ(rig.Entered(), question);
    EXPECT_EQ(model.MidiHeldCount, question.size());
    EXPECT_TRUE(rig.window.Model().Strip().ButtonEnabled[2]) << "the entered answer can be played";
    rig.window.FourthButtonAction();
    EXPECT_TRUE(model.Session().Answered);
    EXPECT_TRUE(model.LastAnswerRight);

    // After the answer, keys still sound but leave the shown answer alone.
    const int shown = model.EnteredCount;
    for (const int note : question)
        rig.window.MidiInMessage(test::Msg(0x80, static_cast<std::uint32_t>(note), 64));
    rig.Key(0, question.front() + 2, 100);
    EXPECT_EQ(model.EnteredCount, shown);
    rig.Key(0, question.front() + 2, 0);
    EXPECT_TRUE(rig.Sounding().empty());
}

TEST(TAkkordMidiIn, TheEchoNoteOffSwitchesOffExactlyTheNoteItSounded)
{
    // Between a key's note-on and its note-off the staff turns to the guitar's sound and the
    // display offset moves: each key must still switch off its own echo, on its own channel,
    // whichever form of note-off the keyboard sends.
    for (const bool velocityZero : {false, true}) {
        SCOPED_TRACE(velocityZero ? "note-on with velocity 0" : "note-off");
        KeyboardRig rig(IdentificationMode::ChordIdentification);
        AkkordModel& model = rig.Model();
        ASSERT_TRUE(model.NewQuestion());
        const auto release = [&](int channel, int note) {
            if (velocityZero)
                rig.Key(channel, note, 0);
            else
                rig.window.MidiInMessage(test::Msg(0x80U + static_cast<std::uint32_t>(channel),
                                                   static_cast<std::uint32_t>(note), 40));
        };
        rig.Key(0, 60, 100); // piano voice, channel 0, as played
        model.Sheet.GuitarView = true;
        rig.Key(3, 64, 100); // guitar voice, channel 1, at the key's own pitch
        model.DisplayOffset = 12;
        rig.Key(0, 67, 100);
        const auto& sent = rig.devices.sink.sent;
        ASSERT_EQ(sent.size(), 3U);
        EXPECT_EQ(sent[0].packed, NoteOnMessage(0, 60, 110));
        EXPECT_EQ(sent[1].packed, NoteOnMessage(1, 64, 110));
        EXPECT_EQ(sent[2].packed, NoteOnMessage(1, 67, 110));

        model.Sheet.GuitarView = false;
        model.DisplayOffset = 0;
        release(0, 60);
        release(3, 64);
        release(0, 67);
        release(0, 67); // a second note-off switches nothing more off
        ASSERT_EQ(sent.size(), 6U);
        EXPECT_EQ(sent[3].packed, NoteOffMessage(0, 60));
        EXPECT_EQ(sent[4].packed, NoteOffMessage(1, 64));
        EXPECT_EQ(sent[5].packed, NoteOffMessage(1, 67));
        EXPECT_EQ(model.MidiHeldCount, 0);
    }
}

TEST(TAkkordMidiIn, WithTheGuitarSoundKeysSoundAsPlayedAndAreWrittenWhereTheGuitarIs)
{
    // Guitar music is written an octave above its sound. A guitar question written C E G
    // sounds an octave lower; playing what was heard must enter the written notes, sound
    // each key at its own pitch on the guitar's channel, and score right.
    KeyboardRig rig(IdentificationMode::ChordIdentification);
    rig.window.SetAnswerInput(kAnswerOnGuitar | kAnswerOnStaff);
    AkkordModel& model = rig.Model();
    ASSERT_TRUE(model.Sheet.GuitarView) << "the guitar without the piano gives the guitar sound";
    model.ShowFirstTone = false;
    ASSERT_TRUE(model.NewQuestion());
    model.ClearEnteredNotes();
    const MidiVoiceSettings voices = rig.midiOut.Voices();
    ASSERT_FALSE(voices.guitarNotTransposed);
    std::vector<int> written;
    for (std::size_t k = 0; k < model.QuestionNoteCount; ++k)
        written.push_back(model.QuestionNotes[k].Pitch.Note);
    ASSERT_GE(written.size(), 2U);

    rig.devices.sink.sent.clear();
    for (const int note : written)
        rig.Key(0, note - 12, 100); // the question as it sounded
    EXPECT_EQ(rig.Entered(), written);
    std::vector<std::uint32_t> echoes;
    for (const test::SentMessage& m : rig.devices.sink.sent)
        echoes.push_back(m.packed);
    std::vector<std::uint32_t> expected;
    for (const int note : written)
        expected.push_back(NoteOnMessage(voices.guitar.channel, note - 12, voices.guitar.velocity));
    EXPECT_EQ(echoes, expected) << "each key sounds at its own pitch";
    rig.window.FourthButtonAction();
    EXPECT_TRUE(model.Session().Answered);
    EXPECT_TRUE(model.LastAnswerRight);
    for (const int note : written)
        rig.Key(0, note - 12, 0);
    EXPECT_TRUE(rig.Sounding().empty());
}

TEST(TAkkordMidiIn, NotesOutsideTheShownRangeAreNeitherSoundedNorEntered)
{
    struct Case
    {
        int note;
        bool guitarView;
        int displayOffset;
        bool taken;
    };
    // The range is 36..95 of shown pitches. With the guitar's sound a key is written an
    // octave above it, so the keys it takes lie an octave lower at both ends.
    const Case cases[] = {
        {36, false, 0, true},   {35, false, 0, false},  {95, false, 0, true},
        {96, false, 0, false},  {0, false, 0, false},   {127, false, 0, false},
        {24, true, 0, true},    {23, true, 0, false},   {83, true, 0, true},
        {84, true, 0, false},   {107, false, 12, true}, {108, false, 12, false},
        {47, false, 12, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "note " << c.note << " guitar " << c.guitarView
                                        << " offset " << c.displayOffset);
        KeyboardRig rig(IdentificationMode::MelodyDictation);
        // The staff alone shows the widest range; the instruments narrow it.
        rig.window.SetAnswerInput(kAnswerOnStaff);
        AkkordModel& model = rig.Model();
        model.Session().Answered = false;
        model.Sheet.GuitarView = c.guitarView;
        model.DisplayOffset = c.displayOffset;
        model.EnteredCount = 0;
        rig.Key(0, c.note, 100);
        EXPECT_EQ(model.EnteredCount, c.taken ? 1 : 0);
        EXPECT_EQ(rig.devices.sink.sent.size(), c.taken ? 1U : 0U);
        EXPECT_EQ(model.MidiHeldCount, c.taken ? 1 : 0);
        rig.Key(0, c.note, 0);
        EXPECT_TRUE(rig.Sounding().empty());
        EXPECT_EQ(model.MidiHeldCount, 0);
    }
}

TEST(TAkkordMidiIn, TheProgressionModeSetsAChordOnThePlayedRoot)
{
    KeyboardRig rig(IdentificationMode::ChordProgressions);
    AkkordModel& model = rig.Model();
    ASSERT_TRUE(model.NewQuestion());
    const int entered = model.EnteredCount;
    std::vector<InstrumentEntry> entries;
    QObject::connect(&rig.window, &TAkkord::ProgressionChordEntry,
                     [&](const InstrumentEntry& entry) { entries.push_back(entry); });
    const int key = model.QuestionRoot + 7;
    rig.Key(0, key, 100);
    ASSERT_EQ(entries.size(), 1U);
    EXPECT_EQ(entries[0].Action, Kind::SetChord);
    EXPECT_EQ(entries[0].Pitch.Note % 12, key % 12);
    EXPECT_EQ(model.EnteredCount, entered) << "no single note enters a chord answer";
    EXPECT_EQ(model.EnteredNotes[0].Pitch.Note % 12, key % 12) << "the chord is set on the key";
    EXPECT_EQ(model.ChordCursor, 1);
    rig.Key(0, key, 0);
    EXPECT_EQ(entries.size(), 1U) << "the key's release sets nothing";
    EXPECT_TRUE(rig.Sounding().empty());
}

/// The y of a natural note's head on a sheet (drawn alone on a copy of it).
int StaffY(const TSheet& sheet, int pitch)
{
    TSheet probe = sheet;
    std::vector<TNoteRec> notes(1);
    notes[0].Pitch = TPitch{static_cast<std::int8_t>(pitch), 0};
    probe.SetInsertPosition(-1);
    probe.Draw(notes, 1);
    return notes[0].Y;
}

TEST(TAkkord, EveryInputNamesTheNotesItEntersInTheResultLine)
{
    enum class Input
    {
        Staff,
        Piano,
        Guitar,
        MidiKeyboard,
        Microphone
    };
    const std::pair<Input, const char*> inputs[] = {{Input::Staff, "staff"},
                                                    {Input::Piano, "piano"},
                                                    {Input::Guitar, "guitar"},
                                                    {Input::MidiKeyboard, "MIDI keyboard"},
                                                    {Input::Microphone, "microphone"}};
    // Written pitch -> (string, fret) on the guitar.
    const std::map<int, std::pair<int, int>> frets = {{60, {5, 3}}, {64, {4, 2}}, {67, {3, 0}}};
    for (const auto& [input, name] : inputs) {
        SCOPED_TRACE(name);
        KeyboardRig rig(IdentificationMode::ChordIdentification);
        rig.strings.StrItemSuffix = QStringLiteral("F8 checks the answer");
        rig.window.SetAnswerInput(kAnswerOnPiano | kAnswerOnGuitar | kAnswerOnStaff);
        rig.window.grab(); // hidden widgets take their sizes when first drawn
        AkkordModel& model = rig.Model();
        model.ShowFirstTone = false;
        model.AutoAnswer = false;
        ASSERT_TRUE(model.NewQuestion());
        model.ClearEnteredNotes();
        // In C, every input spells C E G the same way.
        model.DisplayOffset = 0;
        model.Sheet.KeySignature = 0;
        model.Sheet.Minor = false;
        model.Sheet.ShowKeySignature = false;
        rig.window.Sheet().SetKeySignature(0);
        rig.window.Sheet().SetShowKeySignature(false);

        const QString hint = QStringLiteral("  (F8 checks the answer)");
        const QString major = model.ExerciseItem[1].Name;
        const std::pair<int, QString> steps[] = {
            {64, QStringLiteral("E   ")},
            {60, QStringLiteral("C   E   ")},
            {67, QStringLiteral("C   E   G   =  ") + major},
        };
        for (const auto& [pitch, names] : steps) {
            SCOPED_TRACE(pitch);
            switch (input) {
            case Input::Staff: {
                const TSheet& sheet = rig.window.Sheet();
                const QPoint at(sheet.NotesLeft() + 80, StaffY(sheet, pitch));
                Click(rig.window.StaffBox(), at);
                break;
            }
            case Input::Piano:
                Click(rig.window.PianoView(), PianoPoint(rig.window.PianoView(), pitch));
                break;
            case Input::Guitar: {
                const auto [string, fret] = frets.at(pitch);
                Click(rig.window.GuitarView(),
                      GuitarPoint(rig.window.GuitarView().Neck(), string, fret));
                break;
            }
            case Input::MidiKeyboard:
                rig.Key(0, pitch, 100); // the keys of one chord are held together
                break;
            case Input::Microphone:
                rig.window.MicPitchInput(pitch);
                rig.window.MicReleaseNote();
                break;
            }
            EXPECT_EQ(rig.window.Label2->text(), names + hint);
        }
        EXPECT_EQ(model.EnteredCount, 3);
    }
}

TEST(TAkkordMidiIn, MessagesOfAnyValueNeverCrashNorLeaveANoteSounding)
{
    for (const IdentificationMode mode : kIdentificationModes) {
        SCOPED_TRACE(static_cast<int>(mode));
        KeyboardRig rig(mode);
        AkkordModel& model = rig.Model();
        model.NewQuestion();
        const std::uint32_t data[] = {0, 1, 36, 60, 95, 127, 128, 200, 255};
        for (std::uint32_t status = 0; status < 256; ++status)
            for (const std::uint32_t d1 : data)
                for (const std::uint32_t d2 : data)
                    rig.window.MidiInMessage(test::Msg(status, d1, d2));
        rig.window.MidiInMessage(0xFFFFFFFFU);
        rig.window.MidiInMessage(0x7F7F90U | 0xAB000000U);
        EXPECT_LE(model.EnteredCount, 2 * kItemNoteCount);
        // Let go of every key on every channel: nothing may still sound.
        for (std::uint32_t channel = 0; channel < 16; ++channel)
            for (std::uint32_t note = 0; note < 128; ++note)
                rig.window.MidiInMessage(test::Msg(0x80U + channel, note, 0));
        EXPECT_TRUE(rig.Sounding().empty());
        EXPECT_EQ(model.MidiHeldCount, 0);
    }
}

} // namespace
} // namespace pv
