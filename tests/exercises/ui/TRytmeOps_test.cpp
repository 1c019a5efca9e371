// The rhythm options page as a user sees and clicks it: its controls per kind, the buttons'
// pictures, a click that keeps the choice fillable, and restore. Pictures of the page for each
// kind go to the test-output folder.
#include "exercises/ui/TRytmeOps.h"
#include "support/TestOutput.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>

#include <gtest/gtest.h>

namespace pv {
namespace {

std::size_t At(int i)
{
    return static_cast<std::size_t>(i);
}

/// Dark pixels in the picture of an icon: the button shows a figure, not a blank.
int Ink(const QIcon& icon, QSize size)
{
    const QImage image = icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
    int ink = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ink += qAlpha(image.pixel(x, y)) > 128 && qGray(image.pixel(x, y)) < 100 ? 1 : 0;
    return ink;
}

class TRytmeOpsTest : public ::testing::Test
{
protected:
    TRytmeOpsTest() : page(setup, [this] { return kind; })
    {
        page.resize(900, 560);
        page.show();
        QCoreApplication::processEvents();
    }

    void Save(const QString& name)
    {
        EXPECT_TRUE(page.grab().toImage().save(test::TestOutputDir() + name));
    }

    SetupState setup;
    std::optional<ExerciseKind> kind = ExerciseKind::RhythmImitation;
    TRytmeOps page;
};

TEST_F(TRytmeOpsTest, EachKindShowsItsControlsAndEveryButtonItsPicture)
{
    struct Case
    {
        ExerciseKind kind;
        const char* picture;
        bool ties;
        bool secondTime;
        bool corrections;
        bool evaluation;
        int barsMax;
    };
    const Case cases[] = {
        {ExerciseKind::RhythmImitation, "RytmeOps_imitation.png", true, true, false, true, 6},
        {ExerciseKind::RhythmReading, "RytmeOps_reading.png", true, false, false, true, 12},
        {ExerciseKind::RhythmErrorDetection, "RytmeOps_errors.png", false, false, true, false, 6},
    };
    RhythmSetup& reading = setup.CurrentSetup.RhythmReading;
    reading.TimeSignatures = {0, 0, 1, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0};
    reading.NoteValues = {0, 1, 1, 1, 1, 0};
    reading.TripletMask = 0b01000;
    reading.Dotted = 1;
    reading.Ties = 1;
    reading.Bars = 8;
    reading.Tempo = 120;
    reading.RhythmEvaluation = 2;
    setup.CurrentSetup.RhythmErrorDetection.Ties = 1;
    setup.CurrentSetup.RhythmErrorDetection.Corrections = 3;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.picture);
        kind = c.kind;
        page.LoadSetup(c.kind);
        QCoreApplication::processEvents();
        EXPECT_EQ(page.CheckBox1->isEnabled(), c.ties);
        EXPECT_EQ(page.CheckBox6->isVisible(), c.secondTime);
        EXPECT_EQ(page.SpinEdit3->isVisible(), c.corrections);
        EXPECT_EQ(page.Label68->isVisible(), c.corrections);
        EXPECT_EQ(page.RadioGroup1->isVisible(), c.evaluation);
        EXPECT_EQ(page.SpinEdit2->maximum(), c.barsMax);
        Save(QString::fromLatin1(c.picture));
    }
    // The reading page shows its block.
    kind = ExerciseKind::RhythmReading;
    page.LoadSetup(ExerciseKind::RhythmReading);
    EXPECT_EQ(page.SpinEdit2->value(), 8);
    EXPECT_EQ(page.TrackBar1->value(), 120);
    EXPECT_EQ(page.Label51->text(), QStringLiteral("= 120"));
    EXPECT_TRUE(page.RadioGroup1Items[2]->isChecked());
    EXPECT_TRUE(page.CheckBox3->isChecked());
    EXPECT_TRUE(page.NoteButtons[At(kRytmeOpsValues + 2)]->isChecked()) << "eighth triplets";
    for (QToolButton* button : page.NoteButtons)
        EXPECT_GT(Ink(button->icon(), button->iconSize()), 20)
            << button->objectName().toStdString();
    for (QToolButton* button : page.TimeSignatureButtons)
        EXPECT_GT(Ink(button->icon(), button->iconSize()), 20)
            << button->objectName().toStdString();
    EXPECT_GT(Ink(QIcon(page.Image3->pixmap()), page.Image3->pixmap().size()), 20);
}

TEST_F(TRytmeOpsTest, ClicksFollowTheRulesAndReachTheSetupWhenStored)
{
    kind = ExerciseKind::RhythmImitation;
    page.LoadSetup(ExerciseKind::RhythmImitation); // default: 4/4, halves and quarters
    // Choosing 3/8 as well disables the values longer than its bar.
    page.TimeSignatureButtons[4]->click();
    EXPECT_TRUE(page.TimeSignatureButtons[4]->isChecked());
    EXPECT_FALSE(page.NoteButtons[1]->isEnabled()) << "a half note is longer than 3/8";
    EXPECT_FALSE(page.NoteButtons[1]->isChecked());
    EXPECT_TRUE(page.NoteButtons[2]->isEnabled());
    // The quarter alone cannot fill 3/8 undotted: the eighth comes with it.
    EXPECT_TRUE(page.NoteButtons[At(kRytmeOpsEighth)]->isChecked());
    page.SpinEdit2->stepBy(2);
    page.TrackBar1->setValue(150);
    page.RadioGroup1Items[0]->click();
    page.CheckBox6->click();
    page.StoreSetup(ExerciseKind::RhythmImitation);
    const RhythmSetup& b = setup.CurrentSetup.RhythmImitation;
    EXPECT_EQ(b.TimeSignatures[3], 1);
    EXPECT_EQ(b.TimeSignatures[4], 1);
    EXPECT_EQ(b.NoteValues[1], 0);
    EXPECT_EQ(b.NoteValues[2], 1);
    EXPECT_EQ(b.NoteValues[3], 1);
    EXPECT_EQ(b.Bars, 3);
    EXPECT_EQ(b.Tempo, 150);
    EXPECT_EQ(b.RhythmEvaluation, 0);
    EXPECT_EQ(b.ShowSecondTime, 0) << "the default shows it a second time; clicked off";
    EXPECT_EQ(page.Label51->text(), QStringLiteral("= 150"));
}

TEST_F(TRytmeOpsTest, RestoreShowsTheKindsBlockAsItWasSaved)
{
    kind = ExerciseKind::RhythmErrorDetection;
    setup.SavedSetup.RhythmErrorDetection.Corrections = 4;
    setup.CurrentSetup.RhythmErrorDetection.Corrections = 2;
    page.LoadSetup(ExerciseKind::RhythmErrorDetection);
    EXPECT_EQ(page.SpinEdit3->value(), 2);
    page.TimeSignatureButtons[0]->click();
    page.StoreSetup(ExerciseKind::RhythmErrorDetection);
    page.SpeedButton25->click();
    EXPECT_EQ(page.SpinEdit3->value(), 4);
    EXPECT_FALSE(page.TimeSignatureButtons[0]->isChecked());
    EXPECT_EQ(setup.CurrentSetup.RhythmErrorDetection, setup.SavedSetup.RhythmErrorDetection);
}

} // namespace
} // namespace pv
