// The melody options page as a user sees and clicks it: the range picker on the picture of the
// note-entry instrument, the key buttons with their key signatures, the scale rules, and
// restore. Pictures of the page go to the test-output folder.
#include "exercises/items/ItemTables.h"
#include "exercises/ui/TMelodyOps.h"
#include "music/ui/TRangeBox.h"
#include "support/TestOutput.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QImage>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>

#include <gtest/gtest.h>

namespace pv {
namespace {

/// Dark pixels of an icon: the key button shows its staff and signs.
int Ink(const QToolButton& button)
{
    const QImage image = button.icon().pixmap(button.iconSize()).toImage();
    int ink = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ink += qGray(image.pixel(x, y)) < 110 ? 1 : 0;
    return ink;
}

class TMelodyOpsTest : public ::testing::Test
{
protected:
    TMelodyOpsTest()
        : items(BuiltInItemTables()),
          page(MelodyOpsContext{setup, items, [this] { return kind; }, [this] { return view; }})
    {
        page.resize(820, 420);
    }

    void Show()
    {
        page.show();
        QCoreApplication::processEvents();
    }

    void Save(const QString& name)
    {
        EXPECT_TRUE(page.grab().toImage().save(test::TestOutputDir() + name));
    }

    SetupState setup;
    ItemTables items;
    std::optional<ExerciseKind> kind = ExerciseKind::MelodyDictation;
    int view = 8;
    TMelodyOps page;
};

TEST_F(TMelodyOpsTest, ThePickerTakesThePictureAndPlaceOfTheInstrument)
{
    struct Case
    {
        int view;
        RangeView picture;
        QRect group;
        const char* file;
    };
    const Case cases[] = {
        {8, RangeView::Staff, QRect(13, 69, 180, 155), "MelodyOps_staff.png"},
        {2, RangeView::Piano, QRect(13, 69, 324, 65), "MelodyOps_piano.png"},
        {4, RangeView::Guitar, QRect(13, 69, 324, 65), "MelodyOps_guitar.png"},
    };
    setup.CurrentSetup.Melody.Keys = {0, 1, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
    setup.CurrentSetup.Melody.LowestNote = 55;
    setup.CurrentSetup.Melody.HighestNote = 76;
    page.LoadSetup(ExerciseKind::MelodyDictation);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        view = c.view;
        page.hide();
        Show();
        EXPECT_EQ(page.PaintBox1->View(), c.picture);
        EXPECT_EQ(page.GroupBox2->geometry(), c.group);
        EXPECT_TRUE(page.GroupBox2->rect().contains(page.PaintBox1->geometry()));
        Save(QString::fromLatin1(c.file));
    }
    EXPECT_EQ(page.Range().LowNote(), 55);
    EXPECT_EQ(page.Range().HighNote(), 76);
    // Every key button shows a staff, and more signs make more ink.
    for (QToolButton* key : page.KeyButtons)
        EXPECT_GT(Ink(*key), 20) << key->objectName().toStdString();
    EXPECT_GT(Ink(*page.KeyButtons[0]), Ink(*page.KeyButtons[6]) + 20) << "six flats on Gb/eb";
    EXPECT_GT(Ink(*page.KeyButtons[11]), Ink(*page.KeyButtons[6]) + 20) << "five sharps on B/g#";
    EXPECT_EQ(page.KeyButtons[6]->objectName(), QStringLiteral("SpeedButton7"));
    EXPECT_EQ(page.KeyButtons[6]->text(), QStringLiteral("C/a"));
}

TEST_F(TMelodyOpsTest, ScalesKeysAndToneCountFollowTheRulesAndAreStored)
{
    Show();
    page.LoadSetup(ExerciseKind::MelodyDictation);
    ASSERT_EQ(page.ComboBox3->count(), kMelodyOpsScales);
    EXPECT_EQ(page.ComboBox3->itemText(0), items.Scales.Name(1));
    // Chromatic melodies have no key: its buttons and boxes go, and come back with a scale.
    page.ComboBox3->setCurrentIndex(10);
    EXPECT_FALSE(page.KeyButtons[6]->isVisible());
    EXPECT_FALSE(page.CheckBox1->isEnabled());
    Save(QStringLiteral("MelodyOps_chromatic.png"));
    page.ComboBox3->setCurrentIndex(7);
    EXPECT_TRUE(page.KeyButtons[6]->isVisible());
    EXPECT_TRUE(page.CheckBox1->isEnabled());
    // The only key cannot go; another one can be added and the first then taken away.
    page.KeyButtons[6]->click();
    EXPECT_TRUE(page.KeyButtons[6]->isChecked());
    page.KeyButtons[8]->click();
    page.KeyButtons[6]->click();
    EXPECT_FALSE(page.KeyButtons[6]->isChecked());
    EXPECT_TRUE(page.KeyButtons[8]->isChecked());
    // One note shown first becomes three.
    page.SpinEdit1->setValue(1);
    page.CheckBox6->click();
    EXPECT_EQ(page.SpinEdit1->value(), 3);
    page.SpinEdit1->stepBy(1); // one step of two notes
    page.ComboBox1->setCurrentIndex(4);
    page.CheckBox8->click();
    page.StoreSetup(ExerciseKind::MelodyDictation);
    const MelodySetup& m = setup.CurrentSetup.Melody;
    EXPECT_EQ(m.ToneCount, 5);
    EXPECT_EQ(m.Scale, 7);
    EXPECT_EQ(m.LargestLeap, 5);
    EXPECT_EQ(m.ShowFirstTone, 1);
    EXPECT_EQ(m.Rhythms, 1);
    std::array<std::uint8_t, 12> keys{};
    keys[8] = 1;
    EXPECT_EQ(m.Keys, keys);
}

TEST_F(TMelodyOpsTest, RestoreBringsBackTheSavedMelodyBlock)
{
    Show();
    setup.SavedSetup.Melody.ToneCount = 9;
    setup.SavedSetup.Melody.Scale = 2;
    page.LoadSetup(ExerciseKind::MelodyDictation);
    page.ComboBox3->setCurrentIndex(5);
    page.StoreSetup(ExerciseKind::MelodyDictation);
    page.SpeedButton13->click();
    EXPECT_EQ(page.SpinEdit1->value(), 9);
    EXPECT_EQ(page.ComboBox3->currentIndex(), 2);
    EXPECT_FALSE(page.CheckBox2->isEnabled()) << "a mode plays no tonic";
    EXPECT_EQ(setup.CurrentSetup.Melody, setup.SavedSetup.Melody);
}

} // namespace
} // namespace pv
