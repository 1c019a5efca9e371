// The first-run wizard as a user sees it: both pages rendered to the test-output folder, the
// buttons walking the pages and finishing, the instrument buttons one down at a time.
#include "music/strings/UIStrings.h"
#include "shell/wizard/ui/TConfigWizard.h"
#include "support/TestOutput.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolButton>

#include <gtest/gtest.h>

namespace pv {
namespace {

class FakeOutputs final : public IConfigWizardDevices
{
public:
    std::vector<SettingsDevice> Outputs() const override
    {
        return {{QStringLiteral("Built-in synthesizer"), false},
                {QStringLiteral("USB MIDI Interface"), false}};
    }
    bool SelectOutput(const QString& name) override
    {
        selected.push_back(name);
        return true;
    }
    void NoteOn(const SoundRecord&) override { ++noteOns; }
    void NoteOff(std::uint8_t) override { ++noteOffs; }
    std::vector<QString> selected;
    int noteOns = 0;
    int noteOffs = 0;
};

UIStringTable Strings()
{
    UIStringTable strings;
    strings.StrWizardNext = QStringLiteral("Next");
    strings.StrWizardFinish = QStringLiteral("Finish");
    strings.StrProgramTitle = QStringLiteral("Pellivark");
    return strings;
}

TEST(TConfigWizard, BothPagesWalkedWithTheirButtonsAndFinished)
{
    TSettingsRec settings = DefaultSettings();
    settings.MidiOutDevice = QStringLiteral("Built-in synthesizer");
    FakeOutputs outputs;
    ConfigWizardModel model(settings, outputs, {WizardPage::Sound, WizardPage::Instrument});
    const UIStringTable strings = Strings();
    bool accepted = false;
    TConfigWizard wizard(model, strings, [&](QDialog& dialog) {
        auto& window = static_cast<TConfigWizard&>(dialog);
        window.show();
        QApplication::processEvents();
        EXPECT_EQ(window.PageControl1->currentWidget(), window.TabSheet2);
        EXPECT_FALSE(window.Button1->isEnabled());
        EXPECT_EQ(window.Button2->text(), QStringLiteral("Next"));
        EXPECT_EQ(window.ComboBox1->currentText(), QStringLiteral("Built-in synthesizer"));
        EXPECT_TRUE(window.grab().toImage().save(test::TestOutputDir() +
                                                 QStringLiteral("wizard-1-sound.png")));
        window.ComboBox1->setCurrentIndex(1);
        window.SpeedButton4->click();

        window.Button2->click();
        EXPECT_EQ(window.PageControl1->currentWidget(), window.TabSheet1);
        EXPECT_TRUE(window.Button1->isEnabled());
        EXPECT_EQ(window.Button2->text(), QStringLiteral("Finish"));
        window.SpeedButton1->click();
        window.SpeedButton2->click();
        EXPECT_FALSE(window.SpeedButton1->isChecked()) << "one instrument at a time";
        QApplication::processEvents();
        EXPECT_TRUE(window.grab().toImage().save(test::TestOutputDir() +
                                                 QStringLiteral("wizard-2-instrument.png")));
        window.Button2->click();
        accepted = window.result() == QDialog::Accepted;
        return window.result();
    });
    EXPECT_TRUE(wizard.Exec());
    EXPECT_TRUE(accepted);
    EXPECT_EQ(model.Instrument, WizardInstrument::Guitar);
    EXPECT_EQ(settings.MidiOutDevice, QStringLiteral("USB MIDI Interface"));
    EXPECT_EQ(outputs.noteOns, 1);
}

TEST(TConfigWizard, AWizardOfOnePageFinishesAtOnceAndItsCloseBoxStoresNothing)
{
    TSettingsRec settings = DefaultSettings();
    FakeOutputs outputs;
    ConfigWizardModel model(settings, outputs, {WizardPage::Instrument});
    const UIStringTable strings = Strings();
    TConfigWizard wizard(model, strings, [](QDialog& dialog) {
        auto& window = static_cast<TConfigWizard&>(dialog);
        EXPECT_EQ(window.Button2->text(), QStringLiteral("Finish"));
        EXPECT_FALSE(window.Button1->isEnabled());
        EXPECT_TRUE(window.TabSheet2->isHidden());
        window.reject();
        return window.result();
    });
    EXPECT_FALSE(wizard.Exec());
}

} // namespace
} // namespace pv
