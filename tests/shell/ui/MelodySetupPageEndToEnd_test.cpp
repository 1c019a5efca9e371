// The melody options page in the whole program: the rhythm box, the largest leap and the ambitus
// chosen on the page shape every next melody of the dictation window.
#include "ShellProgramRun.h"
#include "exercises/ui/TAkkord.h"
#include "exercises/ui/TMelodyOps.h"

#include <algorithm>
#include <cstdlib>

#include <QCheckBox>
#include <QComboBox>
#include <QSpinBox>
#include <QToolButton>

#include <gtest/gtest.h>

namespace pv::test {
namespace {

TEST(MelodySetupPageEndToEnd, RhythmsLeapAndAmbitusShapeTheNextMelodies)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Mel Ody")};
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    run.Window().Button(MainControl::SpeedButton8)->click();
    TAkkord* melody = run.program.Exercises().Identification(ExerciseKind::MelodyDictation);
    ASSERT_NE(melody, nullptr);
    run.Window().Button(MainControl::RunKonfig)->click();
    TMelodyOps* page = run.program.MelodyOps();
    ASSERT_NE(page, nullptr);
    ASSERT_EQ(run.Window().ShownView(), page);

    // Seven notes of the major scale in note values, by steps of at most a second, within a
    // third from the lowest to the highest note.
    page->SpinEdit1->setValue(7);
    page->ComboBox3->setCurrentIndex(0);
    page->ComboBox1->setCurrentIndex(0);
    page->ComboBox2->setCurrentIndex(1);
    page->CheckBox8->setChecked(true);
    page->Range().SetRange(55, 79);
    run.Window().Button(MainControl::SpeedButton1)->click();
    ASSERT_EQ(run.Window().ShownView(), melody);
    const MelodySetup& chosen = run.program.Setup().CurrentSetup.Melody;
    EXPECT_EQ(chosen.Rhythms, 1);
    EXPECT_EQ(chosen.LargestLeap, 1);
    EXPECT_EQ(chosen.Ambitus, 2);
    EXPECT_TRUE(melody->Model().ExtraEntryButtons) << "note values are entered too";

    constexpr int kWholeTicks = 2688;
    bool anyShorterThanWhole = false;
    for (int question = 0; question < 8; ++question) {
        SCOPED_TRACE("question " + std::to_string(question));
        Key(melody, Qt::Key_F5);
        const AkkordModel& model = melody->Model();
        ASSERT_EQ(model.QuestionNoteCount, 7);
        int ticks = 0;
        int low = 127;
        int high = 0;
        for (int k = 0; k < model.QuestionNoteCount; ++k) {
            const TNoteRec& note = model.QuestionNotes[static_cast<std::size_t>(k)];
            ASSERT_GE(note.Duration, 1);
            ASSERT_LE(note.Duration, 3);
            anyShorterThanWhole = anyShorterThanWhole || note.Duration != 1;
            ticks += kWholeTicks >> (note.Duration - 1);
            low = std::min<int>(low, note.Pitch.Note);
            high = std::max<int>(high, note.Pitch.Note);
            if (k > 0) {
                const int leap =
                    std::abs(note.Pitch.Note -
                             model.QuestionNotes[static_cast<std::size_t>(k - 1)].Pitch.Note);
                EXPECT_LE(leap, 2) << "note " << k + 1;
            }
        }
        EXPECT_EQ(ticks % kWholeTicks, 0) << "the melody ends with a full bar";
        EXPECT_NE(model.QuestionNotes[6].BarLine, 0) << "and with a bar line";
        EXPECT_LE(high - low, 4) << "within a major third";
        Key(melody, Qt::Key_F9);
    }
    EXPECT_TRUE(anyShorterThanWhole) << "the rhythm box gives note values";
    EXPECT_EQ(prompts.Count(QStringLiteral("message")), 0);
    prompts.defaultButton = PromptButton::No;
    EXPECT_TRUE(run.Close());
}

TEST(MelodySetupPageEndToEnd, EveryKeyPictureShowsItsSignsWhole)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Mel Ody")};
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    run.Window().Button(MainControl::SpeedButton8)->click();
    run.Window().Button(MainControl::RunKonfig)->click();
    TMelodyOps* page = run.program.MelodyOps();
    ASSERT_NE(page, nullptr);
    ASSERT_EQ(run.Window().ShownView(), page);

    // A sign cut by the picture's edge leaves ink in its first or last row; the staff lines lie
    // inside. The button leaves room for the whole picture above its caption.
    const auto inked = [](const QImage& image, int y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 128)
                return true;
        }
        return false;
    };
    for (std::size_t k = 0; k < page->KeyButtons.size(); ++k) {
        SCOPED_TRACE("key " + std::to_string(static_cast<int>(k) - 6));
        QToolButton* button = page->KeyButtons[k];
        ASSERT_NE(button, nullptr);
        const QImage image = button->icon().pixmap(button->iconSize()).toImage();
        ASSERT_FALSE(image.isNull());
        EXPECT_FALSE(inked(image, 0));
        EXPECT_FALSE(inked(image, image.height() - 1));
        EXPECT_GE(button->height() - button->fontMetrics().height() - 6, image.height());
    }
    SavePicture(run.Window(), QStringLiteral("shell-melody-options-keys.png"));
    prompts.defaultButton = PromptButton::No;
    EXPECT_TRUE(run.Close());
}

} // namespace
} // namespace pv::test
