// The program settings dialog as a user sees it: every page rendered to the test-output folder
// in the program's English, every text of the language file's dialog table reaching a control,
// and the controls reaching the model.
#include "exercises/items/ItemTables.h"
#include "shell/language/LanguageLoader.h"
#include "shell/language/LanguageTargets.h"
#include "shell/settings/SettingsDialogRig.h"
#include "shell/settings/ui/TProgramSettings.h"
#include "support/TestOutput.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QToolButton>

#include <gtest/gtest.h>

namespace pv {
namespace {

class TProgramSettingsTest : public ::testing::Test
{
protected:
    TProgramSettingsTest()
    {
        // The program's English texts, as a load of the language file with the dialog open
        // gives them.
        LanguageContext context{rig.strings,         items,   targets,
                                rig.prompts,         nullptr, [] { return true; },
                                [] { return false; }};
        window.RegisterTexts([this](const QString& key, std::function<void(const QString&)> set) {
            targets.Register(key, std::move(set));
        });
        ApplyBuiltInTexts(context);
        rig.devices.volume = 0xB400B400U;
        rig.Load();
        window.resize(640, 480);
        window.Mirror();
    }

    test::SettingsDialogRig rig;
    ItemTables items = BuiltInItemTables();
    LanguageTargets targets;
    TProgramSettings window{
        rig.model, rig.strings,
        TProgramSettings::Texts{QStringLiteral("Program settings"),
                                {QStringLiteral("New question"), QStringLiteral("Repeat"),
                                 QStringLiteral("Play again"), QStringLiteral("Check"),
                                 QStringLiteral("Stop")}}};
};

TEST_F(TProgramSettingsTest, EveryPageShowsItsValuesInTheProgramsTexts)
{
    window.show();
    QApplication::processEvents();
    const char* files[] = {"settings-1-instruments.png", "settings-2-devices.png",
                           "settings-3-environment.png", "settings-4-effects.png",
                           "settings-5-remote.png"};
    for (int p = 0; p < window.Pages()->count(); ++p) {
        SCOPED_TRACE(p);
        window.Pages()->setCurrentIndex(p);
        QApplication::processEvents();
        EXPECT_TRUE(
            window.grab().toImage().save(test::TestOutputDir() + QString::fromLatin1(files[p])));
    }
    EXPECT_EQ(window.Pages()->tabText(3), QStringLiteral("Effects and microphone"));
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("Label6"))->text(),
              QStringLiteral("Volume"));
    EXPECT_EQ(window.ComboBox3->currentText(), QStringLiteral("0 - Piano 1"));
    EXPECT_EQ(window.ComboBox6->currentText(), QStringLiteral("39 - Hand Clap"));
    EXPECT_EQ(window.ComboBox5->currentText(), QStringLiteral("Drums"))
        << "the language file names the percussion entry";
    EXPECT_FALSE(window.ComboBox5->isEnabled());
    EXPECT_EQ(window.ComboBox2->currentText(), QStringLiteral("Synth"));
    EXPECT_EQ(window.TrackBar4->value(), 0xB4);
    EXPECT_EQ(window.Label12->text(), QStringLiteral("Arial, 9"));
    EXPECT_EQ(window.ControlNoteEdits[0]->text(), QStringLiteral("C1"));
    EXPECT_FALSE(window.ControlNoteEdits[0]->isEnabled()) << "remote control is off";
    EXPECT_EQ(window.BitBtn6->text(), rig.strings.StrDelayTest);
}

TEST_F(TProgramSettingsTest, EveryTextOfTheDialogsTableHasItsControl)
{
    const QStringList missing = UnregisteredTargetKeys(targets, true, false);
    QStringList dialogKeys;
    for (const QString& key : missing) {
        if (key.startsWith(QStringLiteral("ProgramSettingsForm")))
            dialogKeys.push_back(key);
    }
    EXPECT_TRUE(dialogKeys.isEmpty()) << dialogKeys.join(QStringLiteral(", ")).toStdString();
}

TEST_F(TProgramSettingsTest, TheControlsReachTheModelAndShowWhatItDid)
{
    window.show();
    // The percussion channel for the clap: its program list goes to the drum entry.
    window.UpDown3->setValue(10);
    EXPECT_TRUE(rig.model.ClapOnDrumChannel);
    EXPECT_FALSE(window.ComboBox4->isEnabled());
    EXPECT_EQ(window.ComboBox4->currentIndex(), kDrumEntry);
    window.UpDown3->setValue(4);
    EXPECT_TRUE(window.ComboBox4->isEnabled());

    // A test button plays; a control that gets the focus turns the tests on and learns.
    window.SpeedButton2->click();
    EXPECT_TRUE(rig.model.TestEnabled);
    window.ComboBox7->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(rig.model.Learn, LearnTarget::BeatNote);

    // Remote control on enables the note edits; the arrow keys step a note by its name.
    window.Pages()->setCurrentIndex(4);
    window.CheckBox3->click();
    EXPECT_TRUE(window.ControlNoteEdits[2]->isEnabled());
    QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    QApplication::sendEvent(window.ControlNoteEdits[2], &right);
    EXPECT_EQ(rig.model.ControlNotes[2], 41);
    EXPECT_EQ(window.ControlNoteEdits[2]->text(), QStringLiteral("F1"));
    QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
    QApplication::sendEvent(window.ControlNoteEdits[2], &left);
    QApplication::sendEvent(window.ControlNoteEdits[2], &left);
    EXPECT_EQ(window.ControlNoteEdits[2]->text(), QStringLiteral("Eb1"));

    // The delay test's button says what a click does next; hiding the dialog stops it.
    window.BitBtn6->click();
    EXPECT_EQ(window.BitBtn6->text(), rig.strings.StrStop);
    window.hide();
    EXPECT_FALSE(rig.model.DelayTestRunning);
    EXPECT_EQ(window.BitBtn6->text(), rig.strings.StrDelayTest);

    // The font and the colour come from their dialogs.
    window.SetFontChooser([](const FontSpec&) {
        return std::optional<FontSpec>(FontSpec{QStringLiteral("Liberation Serif"), 14, 1});
    });
    window.SetColourChooser([](std::uint32_t) { return std::optional<std::uint32_t>(0x0000FF); });
    window.BitBtn4->click();
    window.BitBtn5->click();
    EXPECT_EQ(rig.model.Font, (FontSpec{QStringLiteral("Liberation Serif"), 14, 1}));
    EXPECT_EQ(window.Label12->text(), QStringLiteral("Liberation Serif, 14"));
    EXPECT_EQ(window.Shape1->palette().color(QPalette::Window), QColor(Qt::red));
}

} // namespace
} // namespace pv
