// The identification window's staff without widgets: label placement, the progression grid,
// the hit tests and note entry by the mouse through the real playback.
#include "exercises/identification/AkkordPlayback.h"
#include "exercises/identification/AkkordStaff.h"
#include "exercises/items/ItemTables.h"
#include "exercises/setup/ExerciseSetup.h"
#include "music/base/Contrast.h"
#include "music/sequencer/MidiMessage.h"
#include "music/staff/Sheet.h"
#include "music/strings/UIStrings.h"
#include "support/ScriptedPrompts.h"
#include "support/SequencerFakes.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace pv {
namespace {

/// Six pixels a character, fourteen a line: easy to follow by hand.
QSize Measure(const QString& text)
{
    return {6 * static_cast<int>(text.size()), 14};
}

struct Rig
{
    explicit Rig(IdentificationMode mode) : model(mode, base, strip, strings), sheet(keys, spacing)
    {
        strings.StrIdentText7 = QStringLiteral("Your melody");
        strings.StrIdentText8 = QStringLiteral("The melody");
        EXPECT_TRUE(midiOut.ChangeDevice(1));
        model.Setup(DefaultExerciseSetup(), BuiltInItemTables(), AkkordSettings{}, true);
        sheet.SetControlSize(700, 194);
        sheet.ArrangeStaves(0, mode == IdentificationMode::ChordProgressions);
        playback.Settings = {};
        input.SetPlayback(&playback);
    }

    AkkordStaffPicture Draw() { return DrawAkkordStaff(model, sheet, strings, &Measure); }

    /// The y of a written pitch's head on this sheet (drawn alone on a copy of it).
    int YOf(int pitch)
    {
        TSheet probe = sheet;
        std::vector<TNoteRec> notes(1);
        notes[0].Pitch = TPitch{static_cast<std::int8_t>(pitch), 0};
        probe.SetInsertPosition(-1);
        probe.Draw(notes, 1);
        return notes[0].Y;
    }

    /// Per (channel, note): note-ons sent minus note-offs; empty when nothing hangs.
    std::map<std::pair<int, int>, int> Sounding() const
    {
        std::map<std::pair<int, int>, int> sounding;
        for (const test::SentMessage& m : devices.sink.sent) {
            const std::uint8_t status = MessageStatus(m.packed);
            if ((status & 0xE0U) != 0x80U)
                continue;
            sounding[{status & 0x0F, MessageData1(m.packed)}] +=
                IsNoteOffMessage(m.packed) ? -1 : 1;
        }
        std::erase_if(sounding, [](const auto& entry) { return entry.second <= 0; });
        return sounding;
    }

    void OpenQuestion()
    {
        if (model.Mode == IdentificationMode::MelodyDictation) {
            // The melody generator is not part of this window: a question of four notes.
            model.QuestionNoteCount = 4;
            const int melody[] = {60, 62, 64, 65};
            for (std::size_t k = 0; k < 4; ++k)
                model.QuestionNotes[k].Pitch = {static_cast<std::int8_t>(melody[k]), 0};
            model.Session().Answered = false;
        } else {
            ASSERT_TRUE(model.NewQuestion());
        }
        model.ClearEnteredNotes();
        model.DisplayOffset = 0;
        model.TonicContext = false;
        model.ExternalHold = false;
        sheet.SetKeySignature(0);
        sheet.SetShowKeySignature(false);
        sheet.SetFixedSpacing(model.Sheet.Chord);
    }

    ExerciseSession base;
    ControlStripModel strip;
    UIStringTable strings;
    AkkordModel model;
    NoKeysHeld keys;
    NoteSpacing spacing;
    TSheet sheet;
    test::FakeClock clock;
    test::FakeDevices devices{clock};
    Sequencer sequencer{clock, Sequencer::Drive::Manual};
    test::ScriptedPrompts prompts;
    TMidiOut midiOut{devices, sequencer, prompts, strings};
    AkkordPlayback playback{model, midiOut};
    AkkordStaffInput input{model, sheet};
};

TEST(AkkordStaffLabel, IsCentredUnderItsNotesAndRaisedByHalfItsHeight)
{
    struct Case
    {
        const char* name;
        QString first;
        QString second;
        int firstX, lastX, y;
        QRect frame;
        QPoint firstAt, secondAt;
    };
    // One line of 30 x 14 under notes at 100 and 200: text 135..165, box 15 high centred on 150.
    // Two lines (36 and 24 wide) under one column at 300: the wider line decides the width, the
    // box is 15 + 14 - 3 = 26 high, the shorter line centred in it.
    const Case cases[] = {
        {"one line under a run",
         QStringLiteral("C maj"),
         QString(),
         100,
         200,
         150,
         QRect(QPoint(131, 142), QPoint(169, 159)),
         QPoint(135, 143),
         {}},
        {"two lines under a column", QStringLiteral("bVII 7"), QStringLiteral("Bb 7"), 300, 300,
         100, QRect(QPoint(278, 86), QPoint(322, 114)), QPoint(282, 87), QPoint(288, 98)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const StaffLabel label =
            PlaceStaffLabel(c.first, c.second, kLabelRed, c.firstX, c.lastX, c.y, &Measure);
        EXPECT_EQ(label.Frame.topLeft(), c.frame.topLeft());
        EXPECT_EQ(label.Frame.bottomRight(), c.frame.bottomRight());
        EXPECT_EQ(label.FirstAt, c.firstAt);
        if (!c.second.isEmpty()) {
            EXPECT_EQ(label.SecondAt, c.secondAt);
        }
        // Always centred between the run's ends.
        EXPECT_LE(std::abs(label.Frame.center().x() - (c.firstX + c.lastX) / 2), 1);
    }
}

TEST(AkkordStaffHits, ColumnsTakeClicksUpToThreeFifthsOfTheWayToTheNext)
{
    std::vector<ChordColumn> columns(3);
    columns[0].X = 45;
    columns[1].X = 135;
    columns[2].X = 225;
    const std::pair<int, int> cases[] = {{0, 0},   {45, 0},  {99, 0},  {100, 1},
                                         {189, 1}, {190, 2}, {225, 2}, {900, 2}};
    for (const auto& [x, column] : cases) {
        SCOPED_TRACE(x);
        EXPECT_EQ(ChordColumnAt(columns, x), column);
    }
    EXPECT_EQ(ChordColumnAt({}, 50), std::nullopt) << "no columns before the first question";
    EXPECT_EQ(ChordColumnAt(std::vector<ChordColumn>(1), 500), 0);
}

TEST(AkkordStaffHits, TheDeleteToolFindsANoteWithinEightAcrossAndFiveUpOrDown)
{
    Rig rig(IdentificationMode::ChordIdentification);
    rig.model.EnteredCount = 2;
    rig.model.EnteredNotes[0].X = 100;
    rig.model.EnteredNotes[0].Y = 80;
    rig.model.EnteredNotes[1].X = 100;
    rig.model.EnteredNotes[1].Y = 90;
    rig.model.EnteredNotes[2].X = 300; // beyond the entered notes: never hit
    rig.model.EnteredNotes[2].Y = 80;
    const struct
    {
        int x, y;
        std::optional<int> hit;
    } cases[] = {{100, 80, 0}, {108, 85, 0}, {92, 75, 0},   {109, 80, {}}, {100, 74, {}},
                 {100, 86, 1}, {100, 95, 1}, {100, 96, {}}, {300, 80, {}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        EXPECT_EQ(EnteredNoteAt(rig.model, c.x, c.y), c.hit);
    }
}

TEST(AkkordStaffTools, RightClicksCycleTheToolsAndSkipDisabledOnes)
{
    EXPECT_EQ(NextEntryTool(kEntryToolDelete, false), kEntryToolAdd);
    EXPECT_EQ(NextEntryTool(kEntryToolAdd, false), kEntryToolDelete);
    // With the extra buttons: delete, tag 3, tag 2, tag 1, delete.
    std::vector<int> cycle;
    std::uint8_t tool = kEntryToolDelete;
    for (int i = 0; i < 4; ++i) {
        tool = NextEntryTool(tool, true);
        cycle.push_back(tool);
    }
    EXPECT_EQ(cycle, (std::vector<int>{3, 2, 1, 0}));
    EXPECT_EQ(NextEntryTool(kEntryToolDelete, true, {true, true, true, false}), kEntryToolDelete);
    EXPECT_EQ(NextEntryTool(3, true, {true, true, false, true}), kEntryToolDelete);

    EXPECT_EQ(CursorOfTool(kEntryToolDelete, IdentificationMode::Scales), StaffCursor::Delete);
    EXPECT_EQ(CursorOfTool(1, IdentificationMode::Scales), StaffCursor::Add);
    EXPECT_EQ(CursorOfTool(1, IdentificationMode::ChordProgressions), StaffCursor::Arrow);
    EXPECT_EQ(CursorOfTool(2, IdentificationMode::MelodyDictation), StaffCursor::AddHalf);
    EXPECT_EQ(CursorOfTool(3, IdentificationMode::MelodyDictation), StaffCursor::AddWhole);
}

TEST(AkkordStaffLabels, LabelsThatWouldCoverEachOtherOrLeaveTheBoxAreMovedApart)
{
    // Labels of 6-pixel letters centred under runs of a box from x 2 to 697.
    struct Case
    {
        const char* name;
        std::vector<std::pair<QString, int>> labels; ///< text and the run's middle x
        int rows;                                    ///< rows the labels end on
    };
    const Case cases[] = {
        {"apart already", {{"C Major", 150}, {"D Minor", 400}}, 1},
        {"a long name under a close chord",
         {{"B Minor (2nd inversion)", 140}, {"B Major", 200}},
         1},
        {"the first reaching left out of the box", {{"Ab Minor (2nd inversion)", 30}}, 1},
        {"the last reaching right out of the box", {{"C Major", 300}, {"F# Minor", 690}}, 1},
        {"no room left beside the first",
         {{QString(60, QLatin1Char('x')), 250}, {QString(60, QLatin1Char('y')), 300}},
         2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<StaffLabel> labels;
        for (const auto& [text, x] : c.labels)
            labels.push_back(PlaceStaffLabel(text, {}, kLabelRed, x, x, 300, &Measure));
        const std::vector<StaffLabel> placed = labels;
        SpreadStaffLabels(labels, 2, 697);
        std::vector<int> rows;
        for (std::size_t i = 0; i < labels.size(); ++i) {
            const QRect& frame = labels[i].Frame;
            EXPECT_GE(frame.left(), 2) << i;
            EXPECT_LE(frame.right(), 697) << i;
            EXPECT_GE(frame.top(), placed[i].Frame.top()) << "never raised into the staff";
            EXPECT_EQ(frame.size(), placed[i].Frame.size());
            // The text moves with its frame.
            EXPECT_EQ(labels[i].FirstAt - frame.topLeft(),
                      placed[i].FirstAt - placed[i].Frame.topLeft());
            for (std::size_t j = 0; j < i; ++j)
                EXPECT_FALSE(frame.intersects(labels[j].Frame)) << i << " covers " << j;
            if (std::find(rows.begin(), rows.end(), frame.top()) == rows.end())
                rows.push_back(frame.top());
        }
        EXPECT_EQ(static_cast<int>(rows.size()), c.rows);
        // A label that had room keeps its place under its run.
        if (std::string(c.name) == "apart already") {
            EXPECT_EQ(labels[0].Frame, placed[0].Frame);
            EXPECT_EQ(labels[1].Frame, placed[1].Frame);
        }
    }
}

TEST(AkkordStaffLabels, QuestionLabelsAreGreenThatReadsOnWhite)
{
    EXPECT_GE(ContrastRatio(kLabelGreen, 0xFFFFFF), kReadableContrast);
    // Still a green: its green channel leads.
    EXPECT_GT((kLabelGreen >> 8) & 0xFFu, (kLabelGreen >> 16) & 0xFFu);
    EXPECT_GT((kLabelGreen >> 8) & 0xFFu, kLabelGreen & 0xFFu);
}

TEST(AkkordStaffPicture, AWrongAnswerShowsBothRunsEachWithItsLabel)
{
    Rig rig(IdentificationMode::ChordIdentification);
    rig.OpenQuestion();
    // The question's chord a semitone higher: a wrong answer of the same kind of chord.
    for (std::size_t k = 0; k < rig.model.QuestionNoteCount; ++k)
        rig.model.EnterNote(
            {static_cast<std::int8_t>(rig.model.QuestionNotes[k].Pitch.Note + 1), 0}, false);
    const int entered = rig.model.EnteredCount;
    rig.model.FourthButtonAction();
    ASSERT_TRUE(rig.model.Session().Answered);
    ASSERT_FALSE(rig.model.LastAnswerRight);

    const AkkordStaffPicture picture = rig.Draw();
    ASSERT_EQ(picture.Labels.size(), 2U);
    const StaffLabel& mine = picture.Labels[0];
    const StaffLabel& asked = picture.Labels[1];
    EXPECT_EQ(mine.Rgb, kLabelRed);
    EXPECT_EQ(asked.Rgb, kLabelGreen);
    const AkkordItem& item = rig.model.ExerciseItem[rig.model.QuestionItem];
    EXPECT_TRUE(asked.First.endsWith(item.Name)) << asked.First.toStdString();
    EXPECT_TRUE(asked.First.startsWith(NoteName(rig.model.QuestionNotes[0].Pitch) + ' '));
    EXPECT_TRUE(mine.First.startsWith(NoteName(rig.model.EnteredNotes[0].Pitch) + ' '))
        << mine.First.toStdString();
    // Each label stands centred under its own run, the answer's left of the question's.
    const auto runMiddle = [&](int first, int last) {
        return (rig.model.EnteredNotes[static_cast<std::size_t>(first)].X +
                rig.model.EnteredNotes[static_cast<std::size_t>(last)].X) /
               2;
    };
    const int answerX = runMiddle(0, entered - 1);
    const int questionX = runMiddle(entered, entered + rig.model.QuestionNoteCount - 1);
    EXPECT_LE(std::abs(mine.Frame.center().x() - answerX), 1);
    EXPECT_LE(std::abs(asked.Frame.center().x() - questionX), 1);
    EXPECT_LT(answerX, questionX);
    EXPECT_FALSE(mine.Frame.intersects(asked.Frame));
    // Both stand under the bass staff and under every head, where they cover neither.
    const int bottom = rig.sheet.Top() + 8 * rig.sheet.LineSpacing() + rig.sheet.StaffGap();
    for (const StaffLabel& label : picture.Labels) {
        EXPECT_GT(label.Frame.top(), bottom);
        for (int k = 0; k < entered + rig.model.QuestionNoteCount; ++k)
            EXPECT_GT(label.Frame.top(), rig.model.EnteredNotes[static_cast<std::size_t>(k)].Y);
    }

    // The same question answered right, and a wrong answer without notes, show no labels.
    rig.model.LastAnswerRight = true;
    EXPECT_TRUE(rig.Draw().Labels.empty());
    rig.model.LastAnswerRight = false;
    rig.model.EnteredCount = 0;
    EXPECT_TRUE(rig.Draw().Labels.empty());
}

TEST(AkkordStaffPicture, LabelsWithoutAnItemNameTheMelodyOrAskAQuestion)
{
    Rig chords(IdentificationMode::ChordIdentification);
    chords.model.AnsweredItem = 0;
    chords.model.QuestionItem = 1;
    EXPECT_EQ(AnswerLabelTextsOf(chords.model, chords.strings).Entered, QStringLiteral("?"));
    Rig melody(IdentificationMode::MelodyDictation);
    melody.model.AnsweredItem = 0;
    melody.model.QuestionItem = 0;
    const AnswerLabelTexts texts = AnswerLabelTextsOf(melody.model, melody.strings);
    EXPECT_EQ(texts.Entered, QStringLiteral("Your melody"));
    EXPECT_EQ(texts.Question, QStringLiteral("The melody"));
    // Intervals are named without a note.
    Rig intervals(IdentificationMode::IntervalIdentification);
    intervals.OpenQuestion();
    intervals.model.AnsweredItem = intervals.model.QuestionItem;
    intervals.model.EnteredNotes[0].Pitch = {60, 0};
    intervals.model.EnteredCount = 1;
    const AnswerLabelTexts named = AnswerLabelTextsOf(intervals.model, intervals.strings);
    EXPECT_EQ(named.Question, intervals.model.ExerciseItem[intervals.model.QuestionItem].Name);
    EXPECT_EQ(named.Entered, named.Question);
}

TEST(AkkordStaffPicture, AWrongScaleShowsTheStepSizesOfBothRuns)
{
    Rig rig(IdentificationMode::Scales);
    rig.OpenQuestion();
    for (std::size_t k = 0; k < rig.model.QuestionNoteCount; ++k)
        rig.model.EnterNote(rig.model.QuestionNotes[k].Pitch, false);
    // One note a semitone off makes it wrong; the steps around it change, the others stay.
    rig.model.EnteredNotes[1].Pitch.Note = static_cast<std::int8_t>(
        rig.model.EnteredNotes[1].Pitch.Note +
        (rig.model.EnteredNotes[1].Pitch.Note < rig.model.EnteredNotes[2].Pitch.Note - 1 ? 1 : -1));
    rig.model.FourthButtonAction();
    ASSERT_FALSE(rig.model.LastAnswerRight);
    const AkkordStaffPicture picture = rig.Draw();
    int left = 0;
    int right = 0;
    const int split = (rig.model.EnteredNotes[rig.model.EnteredCount - 1].X +
                       rig.model.EnteredNotes[rig.model.EnteredCount].X) /
                      2;
    for (const StaffText& text : picture.StepSizes.Texts)
        (text.At.x() < split ? left : right) += 1;
    EXPECT_GE(left, rig.model.EnteredCount - 2);
    EXPECT_EQ(right, rig.model.QuestionNoteCount - 1) << "every step of the question's scale";
    EXPECT_EQ(picture.Labels.size(), 2U);
}

TEST(AkkordStaffPicture, AProgressionInASmallBoxIsAGridOfLabelledColumns)
{
    Rig rig(IdentificationMode::ChordProgressions);
    rig.sheet.SetControlSize(400, 100);
    rig.sheet.ArrangeStaves(0, true);
    ASSERT_LE(rig.sheet.LineSpacing(), 8);

    // Before any question: the empty frame, no columns (no division by a column count of 0).
    AkkordStaffPicture picture = rig.Draw();
    EXPECT_TRUE(picture.Compact);
    EXPECT_TRUE(picture.Columns.empty());
    EXPECT_TRUE(picture.GridLines.empty());
    EXPECT_TRUE(picture.Labels.empty());

    rig.OpenQuestion();
    const int chords = rig.model.QuestionNoteCount;
    ASSERT_GE(chords, 2);
    // The answer: the question's chords with the last one a fifth off; checked wrong.
    for (int j = 0; j < chords; ++j)
        rig.model.EnteredNotes[static_cast<std::size_t>(j)] =
            rig.model.QuestionNotes[static_cast<std::size_t>(j)];
    rig.model.EnteredNotes[static_cast<std::size_t>(chords - 1)].Pitch.Note += 7;
    rig.model.EnteredCount = static_cast<std::uint8_t>(chords);
    rig.model.FourthButtonAction();
    ASSERT_FALSE(rig.model.LastAnswerRight);

    picture = rig.Draw();
    ASSERT_TRUE(picture.Compact);
    ASSERT_EQ(static_cast<int>(picture.Columns.size()), 2 * chords);
    const int cw = std::min(90, 400 / (2 * chords));
    EXPECT_EQ(picture.ColumnWidth, cw);
    for (int k = 1; k <= 2 * chords; ++k)
        EXPECT_EQ(picture.Columns[static_cast<std::size_t>(k - 1)].X, k * cw - cw / 2);
    // A separator between neighbours, and one more just right of the answer's last column.
    EXPECT_EQ(static_cast<int>(picture.GridLines.size()), 2 * chords);
    EXPECT_EQ(picture.GridLines.back().x1(), chords * cw + 2);
    ASSERT_EQ(static_cast<int>(picture.Labels.size()), 2 * chords);
    for (int k = 0; k < 2 * chords; ++k) {
        const StaffLabel& label = picture.Labels[static_cast<std::size_t>(k)];
        EXPECT_EQ(label.Rgb, k < chords ? kLabelRed : kLabelGreen);
        EXPECT_FALSE(label.First.isEmpty());
        EXPECT_TRUE(label.Second.startsWith(
            NoteName(picture.Columns[static_cast<std::size_t>(k)].Chord.Pitch)));
    }
    ASSERT_TRUE(picture.SelectionMark.has_value());
    EXPECT_EQ(picture.SelectionMark->left() + picture.SelectionMark->width() / 2,
              picture.Columns[0].X);
}

TEST(AkkordStaffInput, PressDragAndReleaseHoldRepitchAndEnterANote)
{
    Rig rig(IdentificationMode::MelodyDictation);
    rig.OpenQuestion();
    rig.model.PlayToneOnClick = true;
    rig.model.EntryTool = kEntryToolAdd;
    rig.Draw();
    const int x = rig.sheet.NotesLeft() + 60;

    auto effect = rig.input.MouseDown(Qt::LeftButton, x, rig.YOf(64));
    EXPECT_TRUE(effect.HideCursor);
    EXPECT_EQ(rig.model.HeldNote.Pitch.Note, 64);
    EXPECT_EQ(rig.Sounding().size(), 1U);
    // Straight down to C, then 30 pixels sideways to the right: C sharp.
    rig.input.MouseMove(true, x, rig.YOf(60));
    EXPECT_EQ(rig.model.HeldNote.Pitch.Note, 60);
    rig.input.MouseMove(true, x + 30, rig.YOf(60));
    EXPECT_EQ(rig.model.HeldNote.Pitch, (TPitch{61, -1}));
    EXPECT_EQ(rig.Sounding().size(), 1U) << "each replaced pitch is switched off";
    EXPECT_EQ(rig.model.EnteredCount, 0);
    effect = rig.input.MouseUp(Qt::LeftButton, x + 30, rig.YOf(60));
    EXPECT_TRUE(effect.ShowCursor);
    ASSERT_EQ(rig.model.EnteredCount, 1);
    EXPECT_EQ(rig.model.EnteredNotes[0].Pitch, (TPitch{61, -1}));
    EXPECT_TRUE(rig.Sounding().empty());

    // A held letter key: B writes a double sharp wherever the pointer goes; the key's release
    // lets the same key count again.
    rig.Draw();
    rig.input.MouseDown(Qt::LeftButton, x + 100, rig.YOf(65));
    rig.input.AccidentalKeyDown(AccidentalKey::B);
    EXPECT_EQ(rig.model.HeldNote.Pitch, (TPitch{67, -2}));
    rig.input.MouseMove(true, x + 60, rig.YOf(64));
    EXPECT_EQ(rig.model.HeldNote.Pitch, (TPitch{66, -2})) << "E double sharp";
    rig.input.KeyUp();
    rig.input.AccidentalKeyDown(AccidentalKey::C);
    EXPECT_EQ(rig.model.HeldNote.Pitch, (TPitch{64, 0}));
    rig.input.Insert();
    ASSERT_EQ(rig.model.EnteredCount, 2);
    EXPECT_EQ(rig.model.EnteredNotes[1].Pitch.Note, 64);
    EXPECT_TRUE(rig.Sounding().empty());
    EXPECT_FALSE(rig.input.MouseHolds());

    // The delete tool removes the note under the mouse.
    rig.Draw();
    rig.model.EntryTool = kEntryToolDelete;
    rig.input.MouseDown(Qt::LeftButton, rig.model.EnteredNotes[0].X + 3,
                        rig.model.EnteredNotes[0].Y - 2);
    ASSERT_EQ(rig.model.EnteredCount, 1);
    EXPECT_EQ(rig.model.EnteredNotes[0].Pitch.Note, 64);
}

TEST(AkkordStaffInput, AMelodyNoteGoesWhereTheGapWasLeftForIt)
{
    Rig rig(IdentificationMode::MelodyDictation);
    rig.OpenQuestion();
    rig.model.EntryTool = kEntryToolAdd;
    for (const int p : {60, 64, 67})
        rig.model.EnterNote({static_cast<std::int8_t>(p), 0}, false);
    rig.Draw();
    // Between the first two notes.
    const int x = (rig.model.EnteredNotes[0].X + rig.model.EnteredNotes[1].X) / 2;
    rig.input.MouseDown(Qt::LeftButton, x, rig.YOf(62));
    EXPECT_EQ(rig.sheet.InsertPosition(), 2);
    const AkkordStaffPicture preview = rig.Draw();
    EXPECT_FALSE(preview.Preview.Empty()) << "the held note is shown where it will go";
    rig.input.MouseUp(Qt::LeftButton, x, rig.YOf(62));
    std::vector<int> entered;
    for (std::size_t k = 0; k < rig.model.EnteredCount; ++k)
        entered.push_back(rig.model.EnteredNotes[k].Pitch.Note);
    EXPECT_EQ(entered, (std::vector<int>{60, 62, 64, 67}));
    EXPECT_EQ(rig.sheet.InsertPosition(), 0);
}

TEST(AkkordStaffInput, AHoldTakenOverDuringADragNeverLeavesTheMouseNoteSounding)
{
    for (const bool microphone : {true, false}) {
        SCOPED_TRACE(microphone ? "the microphone holds a note" : "the program holds the tonic");
        Rig rig(IdentificationMode::ChordIdentification);
        rig.OpenQuestion();
        rig.model.PlayToneOnClick = true;
        rig.model.EntryTool = kEntryToolAdd;
        rig.Draw();
        const int x = rig.sheet.NotesLeft() + 40;
        rig.input.MouseDown(Qt::LeftButton, x, rig.YOf(67));
        ASSERT_EQ(rig.Sounding().size(), 1U);
        if (microphone) {
            rig.model.ExternalHold = true;
            rig.playback.PressNote({69, 0}, kHeldByMicrophone);
            EXPECT_TRUE(rig.Sounding().empty()) << "the replaced staff note is switched off";
        } else {
            rig.model.ExternalHold = true;
        }
        const auto effect = rig.input.MouseUp(Qt::LeftButton, x, rig.YOf(67));
        EXPECT_TRUE(effect.ShowCursor) << "the cursor always comes back";
        EXPECT_FALSE(rig.input.MouseHolds());
        EXPECT_TRUE(rig.Sounding().empty());
        EXPECT_EQ(rig.model.EnteredCount, 0) << "a release under another hold enters nothing";
    }
}

TEST(AkkordStaffInput, RightClicksSwitchToolsOnlyWhileNothingIsHeld)
{
    Rig rig(IdentificationMode::ChordIdentification);
    rig.OpenQuestion();
    rig.model.EntryTool = kEntryToolAdd;
    rig.Draw();
    auto effect = rig.input.MouseDown(Qt::RightButton, 200, 80);
    EXPECT_TRUE(effect.ToolChanged);
    EXPECT_EQ(rig.model.EntryTool, kEntryToolDelete);
    EXPECT_EQ(effect.Cursor, StaffCursor::Delete);
    rig.input.MouseDown(Qt::RightButton, 200, 80);
    EXPECT_EQ(rig.model.EntryTool, kEntryToolAdd);
    rig.input.MouseDown(Qt::LeftButton, 200, rig.YOf(64));
    effect = rig.input.MouseDown(Qt::RightButton, 200, 80);
    EXPECT_FALSE(effect.ToolChanged);
    EXPECT_EQ(rig.model.EntryTool, kEntryToolAdd);
}

TEST(AkkordStaffInput, TheClefAreaReplaysTheTonicOnlyAndShowsItsCursor)
{
    Rig rig(IdentificationMode::ChordIdentification);
    rig.OpenQuestion();
    rig.model.TonicContext = true;
    rig.model.EntryTool = kEntryToolAdd;
    rig.Draw();
    const int y = rig.sheet.Top() + 20;
    auto effect = rig.input.MouseMove(false, 30, y);
    EXPECT_EQ(effect.Cursor, StaffCursor::Tonic);
    rig.strip.ButtonEnabled[kStopButton] = false;
    effect = rig.input.MouseDown(Qt::LeftButton, 30, y);
    EXPECT_FALSE(effect.HideCursor);
    EXPECT_NE(rig.model.HeldSource, 1) << "no staff note is held";
    EXPECT_FALSE(rig.input.MouseHolds());
    EXPECT_TRUE(rig.strip.ButtonEnabled[kStopButton]) << "the tonic context plays";
    effect = rig.input.MouseMove(false, 300, y);
    EXPECT_EQ(effect.Cursor, StaffCursor::Add);
}

} // namespace
} // namespace pv
