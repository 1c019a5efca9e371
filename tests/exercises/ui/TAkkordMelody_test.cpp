// The melody dictation window: a generated melody in a flat key with note values, answered
// with one wrong note, as the user sees it.
#include "exercises/base/ExerciseHost.h"
#include "exercises/items/ItemTables.h"
#include "exercises/setup/ExerciseSetup.h"
#include "exercises/ui/TAkkord.h"
#include "music/strings/UIStrings.h"
#include "support/ExerciseHostFake.h"
#include "support/ScriptedPrompts.h"
#include "support/TestOutput.h"

#include <QImage>
#include <QLabel>
#include <QToolButton>

#include <gtest/gtest.h>

namespace pv {
namespace {

TEST(TAkkordMelody, AMelodyInEFlatAnsweredWithOneWrongNote)
{
    UIStringTable strings{};
    strings.StrScore = QStringLiteral("Right");
    strings.StrIdentText6 = QStringLiteral("%d of %d notes right");
    strings.StrIdentFormat2 = QStringLiteral("Notes: %d of %d");
    strings.StrMelodyRangeMessage = QStringLiteral("No melody fits");
    test::FakeExerciseHost host;
    test::ScriptedPrompts prompts;
    StdRandom random(2024);
    ExerciseSession session;
    TAkkord window(IdentificationMode::MelodyDictation, session, &host, strings);
    window.Model().SetRandom(random);
    window.SetPrompts(prompts);
    window.resize(900, 640);
    ExerciseSetup setup = DefaultExerciseSetup();
    MelodySetup& melody = setup.Melody;
    melody.ToneCount = 7;
    melody.LargestLeap = 3;
    melody.Ambitus = 5;
    melody.Rhythms = 1;
    melody.TonicReference = 0;
    melody.LowestNote = 58;
    melody.HighestNote = 77;
    melody.Keys.fill(0);
    melody.Keys[3] = 1; // three flats
    window.Setup(setup, BuiltInItemTables(), AkkordSettings{}, true);
    window.SetAnswerInput(2 | 8);
    window.show();

    window.NewQuestion();
    AkkordModel& m = window.Model();
    ASSERT_EQ(m.QuestionNoteCount, 7);
    EXPECT_EQ(m.Sheet.KeySignature, -3);
    EXPECT_EQ(prompts.asked.size(), 0U);
    // The extra add tools are there for the note values.
    EXPECT_FALSE(window.SpeedButton2->isHidden());
    EXPECT_FALSE(window.SpeedButton4->isHidden());

    // The user writes the melody with its note values, the fourth note a step too high.
    for (std::size_t k = 0; k < 7; ++k) {
        TNoteRec note = m.QuestionNotes[k];
        if (k == 3) {
            note.Pitch.Note = static_cast<std::int8_t>(note.Pitch.Note + 2);
        }
        m.EntryTool = static_cast<std::uint8_t>(4 - note.Duration);
        m.EnterNote(note.Pitch, false);
    }
    window.FourthButtonAction();
    EXPECT_TRUE(window.Session().Answered);
    EXPECT_EQ(window.Label2->text(), QStringLiteral("6 of 7 notes right"));
    EXPECT_EQ(host.label, QStringLiteral("Notes: 6 of 7"));
    EXPECT_EQ(host.gauge, 86);
    EXPECT_EQ(m.DisplayedNoteCount, 14);

    const QImage image = window.grab().toImage();
    ASSERT_FALSE(image.isNull());
    EXPECT_TRUE(image.save(test::TestOutputDir() + QStringLiteral("melody_one_wrong_note.png")));
}

} // namespace
} // namespace pv
