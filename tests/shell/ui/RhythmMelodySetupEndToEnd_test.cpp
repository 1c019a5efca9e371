// The setup pages of the rhythm kinds and of melody dictation in the whole program: the user
// changes the time signature and note values, or the scale and tone count, and the next
// rhythm or melody follows the page at once.
#include "ShellProgramRun.h"
#include "exercises/ui/TMelodyOps.h"
#include "exercises/ui/TRhythmWindow.h"
#include "exercises/ui/TRytmeOps.h"
#include "music/notation/Pitch.h"
#include "shell/language/LanguageLoader.h"

#include <set>

#include <QComboBox>
#include <QGroupBox>
#include <QSpinBox>
#include <QToolButton>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::Installation;
using test::Key;
using test::ProgramRun;
using test::SavePicture;
using test::ScriptedPrompts;

/// The language targets of a page that no control took (the melody page's answer-input lock
/// is never shown, so it has no controls).
QStringList UnregisteredOf(const PellivarkProgram& program, const QString& form)
{
    QStringList keys;
    for (const QString& key : UnregisteredTargetKeys(program.TextTargets(), false, false)) {
        if (key.startsWith(form + u'.'))
            keys << key;
    }
    return keys;
}

TEST(RhythmMelodySetupEndToEnd, TheRhythmPageChoosesTheTimeSignatureAndValuesOfTheNextRhythms)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ry Thm")};
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    EXPECT_TRUE(UnregisteredOf(run.program, QStringLiteral("RytmeOpsForm")).isEmpty())
        << UnregisteredOf(run.program, QStringLiteral("RytmeOpsForm")).join(u' ').toStdString();

    run.Window().Button(MainControl::Speed4)->click();
    TRhythmWindow* imitation = run.program.Exercises().Rhythm(ExerciseKind::RhythmImitation);
    ASSERT_NE(imitation, nullptr);
    ASSERT_EQ(run.Window().ShownView(), imitation);
    run.Window().Button(MainControl::RunKonfig)->click();
    TRytmeOps* page = run.program.RytmeOps();
    ASSERT_NE(page, nullptr);
    ASSERT_EQ(run.Window().ShownView(), page);
    // The language file's texts are on the page.
    EXPECT_EQ(page->RadioGroup1->title(), QStringLiteral("Evaluation"));

    // 6/8 in place of 4/4; eighths and sixteenths in place of halves and quarters. Switching
    // off the quarter, the last value, brings the eighth.
    page->TimeSignatureButtons[5]->click();
    page->TimeSignatureButtons[3]->click();
    page->NoteButtons[1]->click();
    page->NoteButtons[2]->click();
    EXPECT_TRUE(page->NoteButtons[3]->isChecked());
    page->NoteButtons[4]->click();
    SavePicture(run.Window(), QStringLiteral("RhythmSetupInProgram.png"));

    run.Window().Button(MainControl::SpeedButton1)->click();
    ASSERT_EQ(run.Window().ShownView(), imitation);
    const RhythmSetup& chosen = run.program.Setup().CurrentSetup.RhythmImitation;
    EXPECT_EQ(chosen.TimeSignatures, (std::array<std::uint8_t, 14>{0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(chosen.NoteValues, (std::array<std::uint8_t, 6>{0, 0, 0, 1, 1, 0}));

    const TRytme& rytme = imitation->RhythmModel().Rytme();
    std::set<int> values;
    for (int question = 0; question < 8; ++question) {
        SCOPED_TRACE("question " + std::to_string(question));
        if (question > 0) {
            Key(&run.Window(), Qt::Key_F5);
            Key(&run.Window(), Qt::Key_F9);
        }
        EXPECT_EQ(rytme.CurrentTimeSig, 6);
        ASSERT_GT(rytme.Count(0), 0);
        for (const RhythmNote& note : rytme.List(0)) {
            EXPECT_TRUE(note.Value == 4 || note.Value == 5) << int(note.Value);
            values.insert(note.Value);
        }
    }
    EXPECT_EQ(prompts.Count(QStringLiteral("message")), 0);
    EXPECT_EQ(values, (std::set<int>{4, 5}));
    prompts.defaultButton = PromptButton::No;
    EXPECT_TRUE(run.Close());
}

TEST(RhythmMelodySetupEndToEnd, TheMelodyPageChoosesTheScaleAndToneCountOfTheNextMelodies)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Mel Ody")};
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    const QStringList unregistered = UnregisteredOf(run.program, QStringLiteral("MelodyOpsForm"));
    for (const QString& key : unregistered) {
        EXPECT_TRUE(key.endsWith(QStringLiteral("CheckBox5")) ||
                    key.endsWith(QStringLiteral("CheckBox11")) ||
                    key.endsWith(QStringLiteral("CheckBox12")) ||
                    key.endsWith(QStringLiteral("CheckBox13")))
            << key.toStdString();
    }

    run.Window().Button(MainControl::SpeedButton8)->click();
    TAkkord* melody = run.program.Exercises().Identification(ExerciseKind::MelodyDictation);
    ASSERT_NE(melody, nullptr);
    run.Window().Button(MainControl::RunKonfig)->click();
    TMelodyOps* page = run.program.MelodyOps();
    ASSERT_NE(page, nullptr);
    ASSERT_EQ(run.Window().ShownView(), page);
    EXPECT_EQ(page->GroupBox2->title(), QStringLiteral("Note range:"));

    // Seven notes of harmonic minor, in D minor (one flat) only, over a wide range.
    constexpr int kHarmonicMinor = 7;
    page->SpinEdit1->stepBy(1);
    page->ComboBox3->setCurrentIndex(kHarmonicMinor);
    page->KeyButtons[5]->click();
    page->KeyButtons[6]->click();
    page->Range().SetRange(55, 79);
    SavePicture(run.Window(), QStringLiteral("MelodySetupInProgram.png"));

    run.Window().Button(MainControl::SpeedButton1)->click();
    ASSERT_EQ(run.Window().ShownView(), melody);
    const MelodySetup& chosen = run.program.Setup().CurrentSetup.Melody;
    EXPECT_EQ(chosen.ToneCount, 7);
    EXPECT_EQ(chosen.Scale, kHarmonicMinor);
    EXPECT_EQ(chosen.Keys, (std::array<std::uint8_t, 12>{0, 0, 0, 0, 0, 1}));

    // The scale's notes from its item, on the key's placed major tonic.
    const std::vector<ItemNote> scale = run.program.Items().Scales.Notes(kHarmonicMinor + 1);
    for (int question = 0; question < 8; ++question) {
        SCOPED_TRACE("question " + std::to_string(question));
        Key(melody, Qt::Key_F5);
        const AkkordModel& model = melody->Model();
        ASSERT_EQ(model.QuestionNoteCount, 7);
        std::set<int> material;
        for (const ItemNote& note : scale)
            material.insert(PositiveMod(note.Note - 60 + model.QuestionRoot, 12));
        EXPECT_EQ(PositiveMod(model.QuestionRoot, 12), 5) << "F major's tonic: D minor";
        for (int k = 0; k < model.QuestionNoteCount; ++k) {
            const int pitch = model.QuestionNotes[static_cast<std::size_t>(k)].Pitch.Note;
            EXPECT_TRUE(material.count(PositiveMod(pitch, 12)) != 0) << pitch;
            EXPECT_GE(pitch, 55);
            EXPECT_LE(pitch, 79);
        }
        Key(melody, Qt::Key_F9);
    }
    EXPECT_EQ(prompts.Count(QStringLiteral("message")), 0);
    prompts.defaultButton = PromptButton::No;
    EXPECT_TRUE(run.Close());
}

} // namespace
} // namespace pv
