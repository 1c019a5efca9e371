// The identification window entered, fed progression chords and remote take-backs, with the main
// window's timers and its pitch range following the instruments.
#include "exercises/base/ExerciseHost.h"
#include "exercises/items/ItemTables.h"
#include "exercises/setup/ExerciseSetup.h"
#include "exercises/ui/AkkordStaffBox.h"
#include "exercises/ui/InstrumentViews.h"
#include "exercises/ui/TAkkord.h"
#include "music/notation/Pitch.h"
#include "music/sequencer/MidiMessage.h"
#include "music/staff/Sheet.h"
#include "music/strings/UIStrings.h"
#include "support/ExerciseHostFake.h"
#include "support/ScriptedPrompts.h"
#include "support/SequencerFakes.h"

#include <algorithm>
#include <vector>

#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace pv {
namespace {

struct Rig
{
    explicit Rig(IdentificationMode mode,
                 std::uint8_t answerInput = kAnswerOnPiano | kAnswerOnStaff)
        : window(mode, session, &host, strings)
    {
        EXPECT_TRUE(midiOut.ChangeDevice(1));
        window.SetMidiOut(midiOut);
        window.Setup(DefaultExerciseSetup(), BuiltInItemTables(), AkkordSettings{}, true);
        window.SetAnswerInput(answerInput);
        window.resize(900, 700);
        Model().PlayToneOnClick = true;
        Model().EntryTool = kEntryToolAdd;
        Model().ShowFirstTone = false;
    }
    AkkordModel& Model() { return window.Model(); }
    void Key(int note, int velocity)
    {
        window.MidiInMessage(test::Msg(0x90U, static_cast<std::uint32_t>(note),
                                       static_cast<std::uint32_t>(velocity)));
    }
    std::vector<std::uint32_t> Sent() const
    {
        std::vector<std::uint32_t> sent;
        for (const test::SentMessage& m : devices.sink.sent)
            sent.push_back(m.packed);
        return sent;
    }

    test::FakeClock clock;
    test::FakeDevices devices{clock};
    Sequencer sequencer{clock, Sequencer::Drive::Manual};
    test::ScriptedPrompts prompts;
    UIStringTable strings;
    TMidiOut midiOut{devices, sequencer, prompts, strings};
    test::FakeExerciseHost host{true};
    ExerciseSession session;
    TAkkord window;
};

void Click(QWidget& widget, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    const QPointF local(at);
    QMouseEvent press(QEvent::MouseButtonPress, local, widget.mapToGlobal(local), button, button,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, widget.mapToGlobal(local), button,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &release);
}

QPoint PianoPoint(const TPianoView& view, int pitch)
{
    const auto key = PianoKeyOf(pitch, 0);
    EXPECT_TRUE(key.has_value());
    const LayoutRect r = PianoKeyHighlight(*key).front();
    return {r.X + r.Width / 2, PianoBoxY(r.Y + r.Height / 2, view.height())};
}

TEST(TAkkordLifecycle, EnteringSetsBothVoicesArmsTheFirstQuestionAndForgetsHeldKeys)
{
    Rig rig(IdentificationMode::ChordIdentification);
    AkkordModel& model = rig.Model();
    // A key held while the window was away never sends its release here.
    rig.Key(60, 100);
    ASSERT_EQ(model.MidiHeldCount, 1);
    rig.devices.sink.sent.clear();

    rig.window.EnterExercise();
    const std::vector<std::uint32_t> sent = rig.Sent();
    const MidiVoiceSettings voices = rig.midiOut.Voices();
    EXPECT_NE(std::find(sent.begin(), sent.end(),
                        ProgramChangeMessage(voices.piano.channel, voices.piano.program)),
              sent.end());
    EXPECT_NE(std::find(sent.begin(), sent.end(),
                        ProgramChangeMessage(voices.guitar.channel, voices.guitar.program)),
              sent.end());
    EXPECT_NE(std::find(sent.begin(), sent.end(), NoteOffMessage(voices.piano.channel, 60)),
              sent.end())
        << "the echo of the forgotten key goes off";
    EXPECT_EQ(model.MidiHeldCount, 0);
    EXPECT_TRUE(rig.host.AutoTimerOn()) << "no question yet: the first comes by itself";

    // A chord played after entering starts a new entry, as the first key after all are up.
    rig.Key(64, 100);
    rig.Key(67, 100);
    EXPECT_EQ(model.MidiHeldCount, 2);

    // The tutor puts its own questions.
    Rig tutor(IdentificationMode::ChordIdentification);
    tutor.host.tutor = true;
    tutor.window.EnterExercise();
    EXPECT_FALSE(tutor.host.AutoTimerOn());
}

TEST(TAkkordLifecycle, TheAutomaticQuestionWaitsWhileANoteIsHeld)
{
    Rig rig(IdentificationMode::ChordIdentification);
    AkkordModel& model = rig.Model();
    model.HeldNote.Pitch = {62, 0};
    rig.window.AutoNewQuestTimerTimer();
    EXPECT_EQ(model.QuestionItem, 0);
    model.HeldNote = TNoteRec{};
    rig.window.AutoNewQuestTimerTimer();
    EXPECT_NE(model.QuestionItem, 0);
}

TEST(TAkkordLifecycle, TheWindowTicksOnTheMainWindowsTimers)
{
    Rig rig(IdentificationMode::ChordIdentification, kAnswerByName | kAnswerOnPiano);
    EXPECT_EQ(rig.window.BlinkTimer(), &rig.host.blink);
    EXPECT_EQ(rig.window.LightTimer(), &rig.host.light);

    // The right answer's button blinks on the main window's timer and stops it at the end.
    rig.window.NewQuestion();
    AkkordModel& model = rig.Model();
    const int button = model.ButtonOfItem(model.QuestionItem);
    ASSERT_GT(button, 0);
    model.ShowAnswerItem(button, false);
    rig.window.FourthButtonAction();
    ASSERT_TRUE(model.BlinkRunning);
    EXPECT_TRUE(rig.host.blink.isActive());
    for (int tick = 0; tick < 4; ++tick)
        rig.window.Timer1Timer();
    EXPECT_FALSE(model.BlinkRunning);
    EXPECT_FALSE(rig.host.blink.isActive());

    // A press on an adjuster starts the light timer; its ticks repeat the step after the
    // second, and the light goes out after its timeout once let go.
    TPianoView& piano = rig.window.PianoView();
    piano.SetVoice({40, 100});
    const auto boxes = PianoAdjusters(piano.Octaves());
    const QPointF down(boxes[0].Box.X + 3, 8);
    QMouseEvent press(QEvent::MouseButtonPress, down, piano.mapToGlobal(down), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&piano, &press);
    EXPECT_EQ(piano.Voice().Program, 39);
    EXPECT_TRUE(rig.host.light.isActive());
    for (int tick = 0; tick < 4; ++tick)
        rig.window.MouseDownDelayTimer();
    EXPECT_EQ(piano.Voice().Program, 37);
    QMouseEvent release(QEvent::MouseButtonRelease, down, piano.mapToGlobal(down), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&piano, &release);
    for (int tick = 0; tick < PianoAdjusterState::kHoverTicks; ++tick)
        rig.window.MouseDownDelayTimer();
    EXPECT_FALSE(piano.Adjusters().Lit(0));
    EXPECT_FALSE(rig.host.light.isActive());

    // Without a main window the window keeps timers of its own.
    UIStringTable strings;
    ExerciseSession aloneSession;
    TAkkord alone(IdentificationMode::ChordIdentification, aloneSession, nullptr, strings);
    ASSERT_NE(alone.BlinkTimer(), nullptr);
    EXPECT_NE(alone.BlinkTimer(), alone.LightTimer());
}

TEST(TAkkordLifecycle, PianoStepsAreReportedForTheSettings)
{
    Rig rig(IdentificationMode::ChordIdentification);
    std::vector<PianoVoice> kept;
    QObject::connect(&rig.window, &TAkkord::PianoVoiceStepped,
                     [&](PianoVoice voice) { kept.push_back(voice); });
    TPianoView& piano = rig.window.PianoView();
    piano.SetVoice({10, 100});
    const auto boxes = PianoAdjusters(piano.Octaves());
    Click(piano, QPoint(boxes[0].Box.Right() - 3, 8));
    Click(piano, QPoint(boxes[1].Box.X + 3, 8));
    ASSERT_EQ(kept.size(), 2U);
    EXPECT_EQ(kept[0].Program, 11);
    EXPECT_EQ(kept[1].Program, 11);
    EXPECT_EQ(kept[1].Velocity, 99);
}

TEST(TAkkordLifecycle, ThePitchRangeFollowsThePanelsShown)
{
    struct Case
    {
        std::uint8_t answerInput;
        int lowest;
    };
    const Case cases[] = {
        {kAnswerByName | kAnswerOnStaff, 36},
        {kAnswerOnPiano | kAnswerOnStaff, 41},
        {kAnswerOnGuitar | kAnswerOnStaff, 52},
        {kAnswerOnPiano | kAnswerOnGuitar, 52},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.answerInput));
        Rig rig(IdentificationMode::ChordIdentification, c.answerInput);
        const AkkordModel& model = rig.Model();
        int highest = 95;
        if ((c.answerInput & kAnswerOnPiano) != 0)
            highest = std::min(highest, rig.window.PianoView().TopPitch());
        if ((c.answerInput & kAnswerOnGuitar) != 0)
            highest = std::min(highest, rig.window.GuitarView().Neck().TopPitch);
        EXPECT_EQ(model.LowestPitch, c.lowest);
        EXPECT_EQ(model.HighestPitch, highest);
        // A key beyond the top is neither sounded nor entered.
        rig.Key(highest + 1, 100);
        EXPECT_EQ(model.MidiHeldCount, 0);
        EXPECT_TRUE(rig.devices.sink.sent.empty());
    }
}

TEST(TAkkordLifecycle, KeysAndInstrumentsSetProgressionChordsThatSoundAndAnswer)
{
    Rig rig(IdentificationMode::ChordProgressions, kAnswerOnPiano | kAnswerOnStaff);
    AkkordModel& model = rig.Model();
    rig.window.NewQuestion();
    ASSERT_FALSE(model.Session().Answered);
    model.AutoAnswer = false;
    const int count = model.QuestionNoteCount;
    ASSERT_GE(count, 2);

    // The first chord from a MIDI key, the others clicked on the piano; each sounds its voicing.
    for (int k = 0; k < count; ++k) {
        SCOPED_TRACE(k);
        const TNoteRec& asked = model.QuestionNotes[static_cast<std::size_t>(k)];
        const int root =
            model.QuestionRoot + PositiveMod(asked.Pitch.Note - model.QuestionRoot, 12);
        rig.devices.sink.sent.clear();
        if (k == 0) {
            rig.Key(root, 100);
            rig.Key(root, 0);
        } else {
            Click(rig.window.PianoView(), PianoPoint(rig.window.PianoView(), root));
        }
        EXPECT_EQ(model.EnteredNotes[static_cast<std::size_t>(k)].Pitch.Note, root);
        test::DriveTo(rig.sequencer, rig.clock, rig.clock.NowUs() + 2'000'000U);
        int voiced = 0;
        for (const std::uint32_t m : rig.Sent())
            voiced += (m & 0xF0U) == 0x90U && ((m >> 16) & 0x7FU) != 0 ? 1 : 0;
        EXPECT_GE(voiced, 3) << "the chord's voicing is heard";
    }
    // The quality buttons give each chord the question's type.
    for (int k = 0; k < count; ++k) {
        model.ChordCursor = static_cast<std::uint8_t>(k);
        const int type = model.QuestionNotes[static_cast<std::size_t>(k)].AccidentalInput;
        const int button = AlterationButtonOfChordType(type);
        ASSERT_LT(button, static_cast<int>(rig.window.AlterationButtons.size()));
        rig.window.AlterationButtons[static_cast<std::size_t>(button)]->click();
        EXPECT_TRUE(rig.window.AlterationButtons[static_cast<std::size_t>(button)]->isChecked() ||
                    model.ChordCursor != k);
    }
    EXPECT_TRUE(model.Strip().ButtonEnabled[3]);
    rig.window.FourthButtonAction();
    EXPECT_TRUE(model.LastAnswerRight);

    // A right click removes nothing once answered.
    const int before = model.EnteredNotes[0].Pitch.Note;
    Click(rig.window.PianoView(), PianoPoint(rig.window.PianoView(), before), Qt::RightButton);
    EXPECT_EQ(model.EnteredNotes[0].Pitch.Note, before);
}

TEST(TAkkordLifecycle, DeleteLastNoteTakesBackThePlayedNoteOfAScale)
{
    Rig rig(IdentificationMode::Scales);
    AkkordModel& model = rig.Model();
    rig.window.NewQuestion();
    ASSERT_FALSE(model.Session().Answered);
    model.ClearEnteredNotes();
    for (const int note : {60, 62, 64}) {
        rig.Key(note, 100);
        rig.Key(note, 0);
    }
    ASSERT_EQ(model.EnteredCount, 3);
    rig.window.DeleteLastNote();
    ASSERT_EQ(model.EnteredCount, 2);
    EXPECT_EQ(model.EnteredNotes[1].Pitch.Note, 62);
    EXPECT_EQ(model.DisplayedNoteCount, 2);
}

/// Answers the rig's open question on the piano: its own notes, or each a semitone higher.
void AnswerOnThePiano(Rig& rig, bool right)
{
    AkkordModel& model = rig.Model();
    model.ClearEnteredNotes();
    TPianoView& piano = rig.window.PianoView();
    for (std::size_t k = 0; k < model.QuestionNoteCount; ++k) {
        const int shown = model.QuestionNotes[k].Pitch.Note - model.DisplayOffset + (right ? 0 : 1);
        Click(piano, PianoPoint(piano, shown));
    }
    rig.window.FourthButtonAction();
    ASSERT_TRUE(model.Session().Answered);
    ASSERT_EQ(model.LastAnswerRight, right);
}

TEST(TAkkordLifecycle, AResetOrANewSetupTakesTheOldAnswerOffEveryView)
{
    struct Case
    {
        const char* name;
        bool right;
        bool reset; ///< false: a new setup
    };
    const Case cases[] = {{"right, then reset results", true, true},
                          {"wrong, then reset results", false, true},
                          {"right, then a new setup", true, false},
                          {"wrong, then a new setup", false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig(IdentificationMode::ChordIdentification);
        rig.strings.StrScore = QStringLiteral("Right");
        rig.strings.StrIdentText4 = QStringLiteral("Not the notes asked");
        rig.window.grab();
        AkkordModel& model = rig.Model();
        rig.window.NewQuestion();
        ASSERT_NO_FATAL_FAILURE(AnswerOnThePiano(rig, c.right));
        ASSERT_FALSE(rig.window.Label2->text().isEmpty());
        ASSERT_EQ(rig.window.Image13->isHidden(), !c.right);
        ASSERT_FALSE(ShownNotesOf(model).empty());

        if (c.reset)
            rig.window.ResetResults();
        else
            rig.window.Setup(DefaultExerciseSetup(), BuiltInItemTables(), AkkordSettings{}, true);
        // The next key pressed repaints every view from the window's state.
        TPianoView& piano = rig.window.PianoView();
        Click(piano, PianoPoint(piano, 60));

        EXPECT_TRUE(rig.window.Label2->text().isEmpty()) << rig.window.Label2->text().toStdString();
        EXPECT_TRUE(rig.window.Image13->isHidden());
        EXPECT_TRUE(ShownNotesOf(model).empty()) << "no dots on the piano and the guitar";
        EXPECT_FALSE(CorrectionShown(model));
        EXPECT_TRUE(rig.window.StaffBox().Layout().Labels.empty());
        EXPECT_EQ(model.EnteredCount, 0);
        for (int b = 1; b <= model.ButtonCount; ++b)
            EXPECT_EQ(model.ButtonColour[static_cast<std::size_t>(b)], AnswerPanelColour::Face);
    }
}

TEST(TAkkordLifecycle, PlayingTheQuestionTheAnswerOrTheTonicAgainStopsTheAutomaticQuestion)
{
    enum class Replay
    {
        Question,
        Answer,
        Tonic
    };
    const std::pair<Replay, const char*> replays[] = {
        {Replay::Question, "repeat"}, {Replay::Answer, "play answer"}, {Replay::Tonic, "tonic"}};
    for (const auto& [replay, name] : replays) {
        SCOPED_TRACE(name);
        Rig rig(IdentificationMode::ChordIdentification);
        AkkordSettings settings;
        settings.AutoNewQuestion = true;
        rig.window.Setup(DefaultExerciseSetup(), BuiltInItemTables(), settings, true);
        rig.window.grab();
        rig.window.NewQuestion();
        ASSERT_NO_FATAL_FAILURE(AnswerOnThePiano(rig, false));
        ASSERT_TRUE(rig.host.AutoTimerOn()) << "the next question comes by itself";

        switch (replay) {
        case Replay::Question:
            rig.window.RepeatQuestion();
            break;
        case Replay::Answer:
            rig.window.ThirdButtonAction();
            break;
        case Replay::Tonic: {
            // A click on the clefs plays the key's tonic again.
            rig.Model().TonicContext = true;
            const TSheet& sheet = rig.window.Sheet();
            const QPoint clefs(20, sheet.Top() + 2 * sheet.LineSpacing());
            ASSERT_TRUE(sheet.PointInStaves(clefs.x(), clefs.y()));
            Click(rig.window.StaffBox(), clefs);
            break;
        }
        }
        EXPECT_FALSE(rig.host.AutoTimerOn()) << "the next question would cut the playback off";
    }
}

TEST(TAkkordLifecycle, ANewQuestionTakesThePlainAddToolAgain)
{
    Rig rig(IdentificationMode::ChordIdentification);
    rig.window.NewQuestion();
    rig.window.SpeedButton6->click();
    ASSERT_EQ(rig.Model().EntryTool, kEntryToolDelete);
    rig.window.NewQuestion();
    EXPECT_EQ(rig.Model().EntryTool, kEntryToolAdd);
    EXPECT_TRUE(rig.window.SpeedButton3->isChecked());
    EXPECT_FALSE(rig.window.SpeedButton6->isChecked());
}

} // namespace
} // namespace pv
