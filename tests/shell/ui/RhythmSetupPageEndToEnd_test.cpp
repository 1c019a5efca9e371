// The rhythm options page in the whole program: what each rhythm kind's page edits reaches that
// kind's engine at once (bars, corrections, tempo, evaluation, the second showing), and error
// detection never stores ties whatever the box showed on another kind's page; the main window's
// tempo control reaches every rhythm engine.
#include "ProgramTestSupport.h"
#include "ShellProgramRun.h"
#include "exercises/ui/TRhythmWindow.h"
#include "exercises/ui/TRytmeOps.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>

#include <gtest/gtest.h>

namespace pv::test {
namespace {

TEST(RhythmSetupPageEndToEnd, EachKindsPageReachesItsOwnEngine)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ry Thm")};
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    TPellivarkMain& window = run.Window();
    TRytmeOps* page = run.program.RytmeOps();
    ASSERT_NE(page, nullptr);

    // Imitation: ties on, severe judging, a faster tempo, three bars, no second showing.
    window.Button(MainControl::Speed4)->click();
    window.Button(MainControl::RunKonfig)->click();
    ASSERT_EQ(window.ShownView(), page);
    EXPECT_TRUE(page->CheckBox6->isVisibleTo(page));
    EXPECT_FALSE(page->SpinEdit3->isVisibleTo(page));
    page->CheckBox1->setChecked(true);
    page->RadioGroup1Items[2]->click();
    page->TrackBar1->setValue(150);
    page->SpinEdit2->setValue(3);
    page->CheckBox6->setChecked(false);
    window.Button(MainControl::SpeedButton1)->click();
    TRhythmWindow* imitation = run.program.Exercises().Rhythm(ExerciseKind::RhythmImitation);
    ASSERT_NE(imitation, nullptr);
    ASSERT_EQ(window.ShownView(), imitation);
    {
        const RhythmSetup& block = run.program.Setup().CurrentSetup.RhythmImitation;
        EXPECT_EQ(block.Ties, 1);
        EXPECT_EQ(block.ShowSecondTime, 0);
        const TRytme& rytme = imitation->RhythmModel().Rytme();
        EXPECT_EQ(rytme.Evaluation, 2) << "severe";
        EXPECT_EQ(rytme.Bars, 3);
        EXPECT_EQ(rytme.Tempo, 150);
    }

    // Error detection: its page has no ties and edits the corrections instead.
    window.Button(MainControl::Speed6)->click();
    window.Button(MainControl::RunKonfig)->click();
    ASSERT_EQ(window.ShownView(), page);
    EXPECT_FALSE(page->CheckBox1->isChecked());
    EXPECT_FALSE(page->CheckBox1->isEnabled());
    EXPECT_FALSE(page->CheckBox6->isVisibleTo(page));
    EXPECT_FALSE(page->RadioGroup1->isVisibleTo(page));
    ASSERT_TRUE(page->SpinEdit3->isVisibleTo(page));
    page->SpinEdit3->setValue(3);
    page->SpinEdit2->setValue(4);
    SavePicture(window, QStringLiteral("endtoend-rhythm-page-errors.png"));
    window.Button(MainControl::SpeedButton1)->click();
    TRhythmWindow* errors = run.program.Exercises().Rhythm(ExerciseKind::RhythmErrorDetection);
    ASSERT_NE(errors, nullptr);
    ASSERT_EQ(window.ShownView(), errors);
    {
        const RhythmSetup& block = run.program.Setup().CurrentSetup.RhythmErrorDetection;
        EXPECT_EQ(block.Ties, 0);
        EXPECT_EQ(block.Corrections, 3);
        const TRytme& rytme = errors->RhythmModel().Rytme();
        EXPECT_EQ(rytme.CorrectionsWanted, 3);
        EXPECT_EQ(rytme.Bars, 4);
        EXPECT_GE(rytme.Corrections.size(), 1U) << "the question was made from the new block";
        EXPECT_LE(rytme.Corrections.size(), 3U);
    }
    // Imitation kept its own block.
    EXPECT_EQ(imitation->RhythmModel().Rytme().Bars, 3);

    // The main window's tempo control, moved during a rhythm exercise, is the tempo of every
    // rhythm engine from then on.
    auto* tempo = window.findChild<QSlider*>(QStringLiteral("TrackBar1"));
    ASSERT_NE(tempo, nullptr);
    tempo->setValue(tempo->value() == 120 ? 124 : 120);
    const int moved = tempo->value();
    for (ExerciseKind kind : {ExerciseKind::RhythmImitation, ExerciseKind::RhythmReading,
                              ExerciseKind::RhythmErrorDetection}) {
        SCOPED_TRACE(KindNumber(kind));
        TRhythmWindow* rhythm = run.program.Exercises().Rhythm(kind);
        ASSERT_NE(rhythm, nullptr);
        EXPECT_EQ(rhythm->RhythmModel().Rytme().Tempo, moved);
    }
    EXPECT_EQ(prompts.Count(QStringLiteral("message")), 0);

    prompts.defaultButton = PromptButton::No;
    EXPECT_TRUE(run.Close());
}

} // namespace
} // namespace pv::test
