// The whole program's settings dialog, first-run wizard, tips and links, used from the menus
// and buttons as a user would: a new language, font and answer sound in force at once and after
// a restart, learning from a MIDI keyboard, Cancel setting the devices back, the tips hidden and
// offered again, the wizard of a first start, the links, and a damaged settings record.
#include "ShellProgramRun.h"
#include "exercises/ui/AnswerSoundEffect.h"
#include "exercises/ui/TControlButton.h"
#include "music/data/SettingsFile.h"
#include "music/input/MidiIn.h"
#include "shell/settings/ProgramSettingsApplier.h"
#include "shell/settings/ui/TProgramSettings.h"
#include "shell/startmenu/ui/TMenuDialog.h"
#include "shell/tips/ui/TTipform.h"
#include "shell/ui/SettingsFeatures.h"
#include "shell/wizard/ConfigWizardModel.h"
#include "shell/wizard/ui/TConfigWizard.h"
#include "support/MidiInFakes.h"
#include "support/SequencerFakes.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolButton>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::Installation;
using test::ProgramRun;
using test::ScriptedPrompts;

/// A menu's entry or title: commands are the window's actions, shared with the tool buttons.
QAction* MenuAction(TPellivarkMain& window, const char* name)
{
    return window.findChild<QAction*>(QString::fromLatin1(name));
}

/// Opens Program settings from the MIDI menu; user acts on the dialog and closes it.
void OpenProgramSettings(ProgramRun& run, const std::function<void(TProgramSettings&)>& user)
{
    bool opened = false;
    run.dialogs = [&](QDialog& dialog) {
        if (dialog.objectName() != QStringLiteral("ProgramSettingsForm")) {
            ADD_FAILURE() << "another dialog: " << dialog.objectName().toStdString();
            return static_cast<int>(QDialog::Rejected);
        }
        opened = true;
        auto& settings = static_cast<TProgramSettings&>(dialog);
        settings.show();
        QApplication::processEvents();
        user(settings);
        return settings.result();
    };
    QAction* item = MenuAction(run.Window(), "Programsettings1");
    ASSERT_NE(item, nullptr);
    item->trigger();
    run.dialogs = {};
    EXPECT_TRUE(opened);
}

/// The shipped English with a few texts of a second language after it (a later line wins).
void AddSecondLanguage(const Installation& installation, const QString& name)
{
    std::vector<std::uint8_t> bytes =
        installation.program.Read(QStringLiteral("Language/English.LAN"));
    const std::string extra = "\r\n5=&Datei\r\n100=&Einstellungen\r\n205=Neue Frage\r\n"
                              "5311=Klicke auf die Noten.\r\n";
    bytes.insert(bytes.end(), extra.begin(), extra.end());
    ASSERT_TRUE(installation.program.Write(
        QStringLiteral("Language/") + name + QStringLiteral(".LAN"), bytes));
}

void AddSounds(const Installation& installation)
{
    ASSERT_TRUE(QDir().mkpath(installation.program.File(QStringLiteral("Media"))));
    for (const char* name : {"Correct.wav", "Wrong.wav", "Bell.wav"})
        ASSERT_TRUE(installation.program.Write(QStringLiteral("Media/") + QString::fromLatin1(name),
                                               std::vector<std::uint8_t>{}));
}

void EnterChords(ProgramRun& run)
{
    run.Window().Button(MainControl::Speed1)->click();
    QApplication::processEvents();
    ASSERT_EQ(run.program.State().CurrentKind, ExerciseKind::ChordIdentification);
}

TEST(SettingsEndToEnd, ANewLanguageFontAndAnswerSoundAreInForceAtOnceAndAfterARestart)
{
    Installation installation;
    AddSecondLanguage(installation, QStringLiteral("Deutsch"));
    AddSounds(installation);
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann")};
    {
        ProgramRun run(installation, prompts);
        ASSERT_TRUE(run.started);
        EnterChords(run);
        EXPECT_EQ(MenuAction(run.Window(), "Filer1")->text(), QStringLiteral("&File"));

        OpenProgramSettings(run, [&](TProgramSettings& dialog) {
            EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Program settings"));
            dialog.Pages()->setCurrentIndex(2);
            dialog.ComboBox10->setCurrentText(QStringLiteral("Deutsch"));
            dialog.SetFontChooser([](const FontSpec&) {
                return std::optional<FontSpec>(FontSpec{QStringLiteral("Liberation Serif"), 12, 0});
            });
            dialog.BitBtn4->click();
            dialog.Pages()->setCurrentIndex(3);
            dialog.ComboBox11->setCurrentText(QStringLiteral("Bell"));
            dialog.BitBtn1->click();
        });

        // The main window's menus and the exercise window speak the new language now.
        EXPECT_EQ(MenuAction(run.Window(), "Filer1")->text(), QStringLiteral("&Datei"));
        EXPECT_EQ(MenuAction(run.Window(), "Programsettings1")->text(),
                  QStringLiteral("&Einstellungen..."));
        TAkkord* chords = run.ChordWindow();
        EXPECT_EQ(chords->ControlButtons->Model().Captions[0], QStringLiteral("Neue Frage"));
        EXPECT_EQ(chords->font().family(), QStringLiteral("Liberation Serif"));
        EXPECT_EQ(chords->font().pointSize(), 12);
        EXPECT_EQ(run.Window().AnswerSounds().CorrectSound, QStringLiteral("Bell"));
        EXPECT_EQ(run.program.Strings().StrTips[0], QStringLiteral("Klicke auf die Noten."));
        EXPECT_TRUE(run.program.StartMenuService().WelcomeLine()->contains(QStringLiteral("Ann")))
            << "the new welcome greets the user by name: "
            << run.program.StartMenuService().WelcomeLine()->toStdString();
        EXPECT_FALSE(QFileInfo::exists(installation.DataFile(QStringLiteral("Setting.dat"))))
            << "nothing is written before the program closes";
        test::SavePicture(run.Window(), QStringLiteral("settings-new-language.png"));
        EXPECT_TRUE(run.Close());
    }
    ProgramRun again(installation, prompts);
    ASSERT_TRUE(again.started);
    const TSettingsRec& settings = again.program.App().ProgramSettings;
    EXPECT_EQ(settings.Language, QStringLiteral("Deutsch"));
    EXPECT_EQ(settings.FontName, QStringLiteral("Liberation Serif"));
    EXPECT_EQ(settings.RightSound, QStringLiteral("Bell"));
    EXPECT_EQ(MenuAction(again.Window(), "Filer1")->text(), QStringLiteral("&Datei"));
    EXPECT_EQ(again.ChordWindow()->ControlButtons->Model().Captions[0],
              QStringLiteral("Neue Frage"));
    EXPECT_EQ(again.Window().font().family(), QStringLiteral("Liberation Serif"));
    EXPECT_TRUE(again.Close());
}

TEST(SettingsEndToEnd, AKeyboardSetsTheControlThatHasTheFocusWhileTheDialogIsOpen)
{
    Installation installation;
    test::FakeMidiInDevices inputs;
    inputs.ports = std::vector<MidiInPortInfo>{{1, QStringLiteral("Keyboard")}};
    ScriptedPrompts prompts;
    ProgramRun run(installation, prompts, {},
                   [&inputs](ProgramOptions& options) { options.MidiInDevices = &inputs; });
    ASSERT_TRUE(run.started);
    EnterChords(run);
    const std::uint8_t before = run.program.MidiIn().Target();
    const auto play = [&](std::vector<std::uint8_t> bytes) {
        inputs.Play(bytes);
        run.program.MidiIn().DeliverPosted();
        QApplication::processEvents();
    };
    OpenProgramSettings(run, [&](TProgramSettings& dialog) {
        EXPECT_EQ(run.program.MidiIn().Target(), kMidiInSettingsDialog);
        EXPECT_EQ(inputs.OpenName(), QStringLiteral("Keyboard")) << "opened to listen";
        dialog.activateWindow();
        dialog.ComboBox7->setFocus();
        QApplication::processEvents();
        play({0x99, 42, 100});
        EXPECT_EQ(dialog.ComboBox7->currentIndex(), 42) << "the metronome's note";
        play({0x90, 50, 0});
        EXPECT_EQ(dialog.ComboBox7->currentIndex(), 42) << "a key let go is no choice";

        dialog.ComboBox3->setFocus();
        QApplication::processEvents();
        play({0xC0, 19});
        EXPECT_EQ(dialog.ComboBox3->currentText(), QStringLiteral("19 - Church Organ"));

        dialog.Pages()->setCurrentIndex(4);
        dialog.CheckBox3->click();
        dialog.ControlNoteEdits[1]->setFocus();
        QApplication::processEvents();
        play({0x90, 62, 80});
        EXPECT_EQ(dialog.ControlNoteEdits[1]->text(), QStringLiteral("D3"));
        dialog.BitBtn1->click();
    });
    const TSettingsRec& settings = run.program.App().ProgramSettings;
    EXPECT_EQ(settings.BeatSound.Note, 42);
    EXPECT_EQ(settings.PianoVoice.Program, 19);
    EXPECT_EQ(settings.RemoteNotes[1], 62);
    EXPECT_TRUE(settings.MidiRemoteControl);
    EXPECT_EQ(run.program.MidiIn().Target(), before) << "the exercise has its input back";
    EXPECT_TRUE(run.Close());
}

TEST(SettingsEndToEnd, NoMidiInputChosenStaysClosedAtTheNextStartAndAnotherKeyboardOpens)
{
    Installation installation;
    test::FakeMidiInDevices inputs;
    inputs.ports =
        std::vector<MidiInPortInfo>{{1, QStringLiteral("Keyboard")}, {2, QStringLiteral("Pads")}};
    const auto withInputs = [&inputs](ProgramOptions& options) { options.MidiInDevices = &inputs; };
    ScriptedPrompts prompts;
    const QString none = QStringLiteral("(no device)");
    // The dialog listens while it is open, so it opens the input that is stored.
    const auto inputWhileOpen = [&](ProgramRun& run, const QString& choice) {
        QString listening;
        QString shown;
        OpenProgramSettings(run, [&](TProgramSettings& dialog) {
            listening = inputs.OpenName();
            dialog.Pages()->setCurrentIndex(1);
            shown = dialog.ComboBox1->currentText();
            dialog.ComboBox1->setCurrentText(choice);
            EXPECT_EQ(inputs.OpenName(), choice == none ? QString() : choice) << "at once";
            if (choice == none)
                test::SavePicture(dialog, QStringLiteral("settings-no-midi-input.png"));
            dialog.BitBtn1->click();
        });
        return std::make_pair(listening, shown);
    };
    {
        ProgramRun run(installation, prompts, {}, withInputs);
        ASSERT_TRUE(run.started);
        EnterChords(run);
        EXPECT_EQ(inputWhileOpen(run, none),
                  std::make_pair(QStringLiteral("Keyboard"), QStringLiteral("Keyboard")))
            << "no name stored: the first keyboard listens and the list says so";
        EXPECT_TRUE(inputs.OpenName().isEmpty());
        EXPECT_TRUE(run.Close());
    }
    {
        ProgramRun run(installation, prompts, {}, withInputs);
        ASSERT_TRUE(run.started);
        EXPECT_EQ(run.program.App().ProgramSettings.MidiInDevice, none);
        EnterChords(run);
        EXPECT_EQ(inputWhileOpen(run, QStringLiteral("Pads")), std::make_pair(QString(), none))
            << "no device is still the choice after a restart";
        EXPECT_EQ(inputs.OpenName(), QStringLiteral("Pads"));
        EXPECT_TRUE(run.Close());
    }
    ProgramRun again(installation, prompts, {}, withInputs);
    ASSERT_TRUE(again.started);
    EnterChords(again);
    EXPECT_EQ(inputWhileOpen(again, QStringLiteral("Pads")),
              std::make_pair(QStringLiteral("Pads"), QStringLiteral("Pads")));
    EXPECT_TRUE(again.Close());
}

TEST(SettingsEndToEnd, CancelSetsBackTheDevicesAndVolumesChangedWhileTheDialogWasOpen)
{
    Installation installation;
    test::FakeDevices outputs(SteadyClock::Instance());
    ScriptedPrompts prompts;
    ProgramRun run(installation, prompts, {},
                   [&outputs](ProgramOptions& options) { options.MidiDevices = &outputs; });
    ASSERT_TRUE(run.started);
    const QString inForce = run.program.App().ProgramSettings.MidiOutDevice;
    ASSERT_EQ(inForce, QStringLiteral("Synth"));
    const float waveLevel = run.program.AnswerSound().Volume();
    const std::optional<std::uint32_t> volume = outputs.volume;
    ASSERT_TRUE(volume.has_value()) << "the settings set the MIDI volume";
    OpenProgramSettings(run, [&](TProgramSettings& dialog) {
        dialog.Pages()->setCurrentIndex(1);
        dialog.ComboBox2->setCurrentText(QStringLiteral("Port A"));
        EXPECT_EQ(outputs.openedNames.back(), QStringLiteral("Port A")) << "opened at once";
        dialog.TrackBar4->setValue(40);
        EXPECT_EQ(*outputs.volume, 40U * 0x01000100U);
        dialog.Pages()->setCurrentIndex(3);
        dialog.TrackBar5->setValue(20);
        EXPECT_LT(run.program.AnswerSound().Volume(), waveLevel);
        test::SavePicture(dialog, QStringLiteral("settings-devices-changed.png"));
        dialog.BitBtn2->click();
    });
    EXPECT_EQ(outputs.openedNames.back(), inForce);
    EXPECT_EQ(outputs.volume, volume);
    EXPECT_FLOAT_EQ(run.program.AnswerSound().Volume(), waveLevel);
    EXPECT_EQ(run.program.App().ProgramSettings.MidiOutDevice, inForce);
    EXPECT_TRUE(run.Close());
}

TEST(SettingsEndToEnd, NoMidiInputChosenStaysNoneAcrossStartsAndAGoneDeviceKeepsItsName)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann")};
    prompts.defaultButton = PromptButton::No;
    const auto runWith = [&](const QString& port, const std::function<void(ProgramRun&)>& user) {
        test::FakeMidiInDevices inputs;
        inputs.ports = std::vector<MidiInPortInfo>{{1, port}};
        ProgramRun run(installation, prompts, {},
                       [&inputs](ProgramOptions& options) { options.MidiInDevices = &inputs; });
        if (!run.started) {
            ADD_FAILURE() << "the program did not start";
            return inputs.opened;
        }
        EnterChords(run);
        user(run);
        EXPECT_TRUE(run.Close());
        return inputs.opened;
    };
    const QString none = QStringLiteral("(no device)");

    // The first start opens the only keyboard; the user turns MIDI input on and then chooses
    // no device.
    runWith(QStringLiteral("Keyboard"), [&](ProgramRun& run) {
        if (!run.program.App().ProgramSettings.MidiInputOn)
            MenuAction(run.Window(), "MIDIin1")->trigger();
        ASSERT_TRUE(run.program.App().ProgramSettings.MidiInputOn);
        OpenProgramSettings(run, [&](TProgramSettings& dialog) {
            dialog.Pages()->setCurrentIndex(1);
            EXPECT_EQ(dialog.ComboBox1->currentText(), QStringLiteral("Keyboard"));
            dialog.ComboBox1->setCurrentText(none);
            ASSERT_EQ(dialog.ComboBox1->currentText(), none);
            dialog.BitBtn1->click();
        });
    });

    // Later starts with the keyboard still there open nothing, and the dialog says so.
    for (int start = 0; start < 2; ++start) {
        SCOPED_TRACE(start);
        const std::vector<QString> opened =
            runWith(QStringLiteral("Keyboard"), [&](ProgramRun& run) {
                EXPECT_TRUE(run.program.App().ProgramSettings.MidiInputOn);
                OpenProgramSettings(run, [&](TProgramSettings& dialog) {
                    dialog.Pages()->setCurrentIndex(1);
                    EXPECT_EQ(dialog.ComboBox1->currentText(), none);
                    dialog.BitBtn2->click();
                });
            });
        EXPECT_TRUE(opened.empty()) << opened.front().toStdString();
    }

    // The keyboard chosen again is opened at the next start; when it is gone, nothing opens and
    // its name is kept for the day it comes back.
    runWith(QStringLiteral("Keyboard"), [&](ProgramRun& run) {
        OpenProgramSettings(run, [&](TProgramSettings& dialog) {
            dialog.Pages()->setCurrentIndex(1);
            dialog.ComboBox1->setCurrentText(QStringLiteral("Keyboard"));
            dialog.BitBtn1->click();
        });
    });
    EXPECT_FALSE(runWith(QStringLiteral("Keyboard"), [](ProgramRun&) {}).empty());
    EXPECT_TRUE(runWith(QStringLiteral("Other"), [](ProgramRun& run) {
                    EXPECT_EQ(run.program.App().ProgramSettings.MidiInDevice,
                              QStringLiteral("Keyboard"));
                }).empty());
    runWith(QStringLiteral("Keyboard"), [](ProgramRun& run) {
        EXPECT_EQ(run.program.App().ProgramSettings.MidiInDevice, QStringLiteral("Keyboard"));
    });
}

TEST(SettingsEndToEnd, TheDelayTestsSquareFlashesWithTheSequencersClicks)
{
    Installation installation;
    ScriptedPrompts prompts;
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    OpenProgramSettings(run, [&](TProgramSettings& dialog) {
        dialog.Pages()->setCurrentIndex(1);
        const auto colour = [&dialog] { return dialog.Shape2->palette().color(QPalette::Window); };
        ASSERT_EQ(colour(), QColor(Qt::white));
        dialog.BitBtn6->click();
        EXPECT_EQ(dialog.BitBtn6->text(), run.program.Strings().StrStop);
        // Each click's notification reaches the open dialog and the next click follows.
        EXPECT_TRUE(test::RunUntil([&] { return colour() == QColor(Qt::black); }));
        EXPECT_TRUE(test::RunUntil([&] { return colour() == QColor(Qt::white); }));
        dialog.BitBtn6->click();
        EXPECT_EQ(dialog.BitBtn6->text(), run.program.Strings().StrDelayTest);
        dialog.BitBtn2->click();
    });
    EXPECT_FALSE(run.program.Model().SettingsDialogOpen);
    EXPECT_TRUE(run.Close());
}

TEST(SettingsEndToEnd, AHiddenTipLeavesItsWindowUntilTheSettingsOfferAllTipsAgain)
{
    Installation installation;
    ScriptedPrompts prompts;
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    EnterChords(run);
    QToolButton* staffTip = run.ChordWindow()->SpeedButton10;
    ASSERT_TRUE(staffTip->isVisible());

    QString shownText;
    run.dialogs = [&](QDialog& dialog) {
        EXPECT_EQ(dialog.objectName(), QStringLiteral("Tipform"));
        auto& tip = static_cast<TTipform&>(dialog);
        tip.show();
        QApplication::processEvents();
        shownText = tip.Label1->text();
        test::SavePicture(tip, QStringLiteral("tip-in-the-program.png"));
        tip.CheckBox1->click();
        tip.Button1->click();
        return tip.result();
    };
    staffTip->click();
    run.dialogs = {};
    EXPECT_EQ(shownText, run.program.Strings().StrTips[0]);
    EXPECT_FALSE(staffTip->isVisible());
    EXPECT_EQ(run.program.App().ProgramSettings.TipsMask & 1U, 0U);

    // Pushed setups keep it hidden; "Show all tips again" brings it back.
    run.Window().Button(MainControl::Speed2)->click();
    run.Window().Button(MainControl::Speed1)->click();
    EXPECT_FALSE(staffTip->isVisible());
    OpenProgramSettings(run, [](TProgramSettings& dialog) {
        dialog.Pages()->setCurrentIndex(2);
        dialog.BitBtn7->click();
        dialog.BitBtn1->click();
    });
    EXPECT_EQ(run.program.App().ProgramSettings.TipsMask, 255U);
    EXPECT_TRUE(staffTip->isVisible());
    EXPECT_TRUE(run.Close());
}

TEST(SettingsEndToEnd, AFirstStartShowsTheWizardInTheLanguagesTextsAndKeepsItsChoices)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann")};
    std::vector<QString> pages;
    std::function<int(QDialog&)> wizard = [&](QDialog& dialog) {
        EXPECT_EQ(dialog.objectName(), QStringLiteral("ConfigWizardForm"));
        auto& window = static_cast<TConfigWizard&>(dialog);
        window.show();
        QApplication::processEvents();
        pages.push_back(window.Caption2->text());
        EXPECT_FALSE(window.ComboBox1->currentText().isEmpty()) << "the output in force";
        test::SavePicture(window, QStringLiteral("wizard-first-start-1.png"));
        window.Button2->click();
        QApplication::processEvents();
        pages.push_back(window.Caption1->text());
        EXPECT_EQ(window.Button2->text(), QStringLiteral("Finish"));
        window.SpeedButton2->click();
        test::SavePicture(window, QStringLiteral("wizard-first-start-2.png"));
        window.Button2->click();
        return window.result();
    };
    const auto offerWizard = [&](ProgramOptions& options) {
        options.OfferConfigWizard = true;
        options.RunDialog = [&wizard](QDialog& dialog) { return wizard(dialog); };
    };
    {
        ProgramRun run(installation, prompts, {}, offerWizard);
        ASSERT_TRUE(run.started);
        EXPECT_EQ(pages, (std::vector<QString>{QStringLiteral("Sound"),
                                               QStringLiteral("Your instrument")}));
        const int height = QGuiApplication::primaryScreen()->geometry().height();
        const auto pair = AnswerInputPair(WizardInstrument::Guitar, height);
        const TSettingsRec& settings = run.program.App().ProgramSettings;
        for (std::size_t kind = 1; kind <= 10; ++kind)
            EXPECT_EQ(settings.KindPairs[kind],
                      (std::array<std::uint8_t, 2>{pair.first, pair.second}))
                << kind;
        EXPECT_EQ(settings.KindPairs[0][0], 1);
        EXPECT_TRUE(QFileInfo::exists(installation.DataFile(QStringLiteral("Setting.dat"))))
            << "the finished wizard's choices are stored";
        EXPECT_TRUE(run.Close());
    }
    // The next start is no first run and the wizard was finished: none is shown.
    wizard = [](QDialog& dialog) {
        ADD_FAILURE() << "a dialog: " << dialog.objectName().toStdString();
        return static_cast<int>(QDialog::Rejected);
    };
    ProgramRun again(installation, prompts, {}, offerWizard);
    ASSERT_TRUE(again.started);
    EXPECT_FALSE(again.program.Features().WizardPending());
    EXPECT_TRUE(again.Close());
}

/// A run of rows with dark ink in the start menu's text area: where it begins, how tall.
struct InkBand
{
    int Top;
    int Height;
};

/// The runs of rows with dark ink in the text area, top to bottom (its frame left out).
std::vector<InkBand> InkBands(const QImage& image)
{
    std::vector<InkBand> bands;
    int run = 0;
    for (int y = 1; y < image.height() - 1; ++y) {
        bool ink = false;
        for (int x = 2; x < image.width() - 2 && !ink; ++x)
            ink = QColor(image.pixel(x, y)).lightness() < 110;
        if (ink) {
            ++run;
        } else if (run > 0) {
            bands.push_back({y - run, run});
            run = 0;
        }
    }
    return bands;
}

TEST(SettingsEndToEnd, TheWelcomeTextReadsAsSeparateLinesBehindTheWizardAndOnceStarted)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann")};
    QFont textFont = QApplication::font();
    textFont.setPointSize(10);
    textFont.setBold(true);
    const int lineHeight = QFontMetrics(textFont).height();
    // Each line's ink stays within its own line, one line's height below the one before.
    const auto expectSeparateLines = [lineHeight](QWidget& area, const QString& picture) {
        SCOPED_TRACE(picture.toStdString());
        const std::vector<InkBand> bands = InkBands(area.grab().toImage());
        test::SavePicture(area, picture);
        ASSERT_GE(bands.size(), 4U) << "the welcome text is drawn";
        std::vector<int> pitches;
        for (std::size_t k = 0; k < bands.size(); ++k) {
            EXPECT_LE(bands[k].Height, lineHeight) << "lines written over each other";
            if (k > 0)
                pitches.push_back(bands[k].Top - bands[k - 1].Top);
        }
        // A line of small letters begins a little lower than one of capitals: the usual
        // distance from one line to the next is a whole line's height.
        std::sort(pitches.begin(), pitches.end());
        EXPECT_GE(pitches[pitches.size() / 2], lineHeight - 2) << "lines drawn too close";
    };
    bool sawWizard = false;
    const auto offerWizard = [&](ProgramOptions& options) {
        options.OfferConfigWizard = true;
        options.RunDialog = [&](QDialog& dialog) {
            // The menu stands behind the wizard of a first start, not started yet.
            sawWizard = true;
            QWidget* area = nullptr;
            for (QWidget* top : QApplication::topLevelWidgets()) {
                auto* menu = qobject_cast<TMenuDialog*>(top);
                if (menu == nullptr)
                    menu = top->findChild<TMenuDialog*>();
                if (menu != nullptr)
                    area = menu->PaintBox1();
            }
            EXPECT_NE(area, nullptr);
            if (area != nullptr)
                expectSeparateLines(*area, QStringLiteral("start-menu-behind-wizard.png"));
            dialog.reject();
            return static_cast<int>(QDialog::Rejected);
        };
    };
    ProgramRun run(installation, prompts, {}, offerWizard);
    ASSERT_TRUE(run.started);
    EXPECT_TRUE(sawWizard);
    run.Window().showMaximized();
    QApplication::processEvents();
    expectSeparateLines(*run.program.StartMenu().PaintBox1(),
                        QStringLiteral("start-menu-started.png"));
    EXPECT_TRUE(run.Close());
}

class RecordingOpener final : public IDocumentOpener
{
public:
    bool OpenDocument(const QString& address) override
    {
        opened.push_back(address);
        return true;
    }
    std::vector<QString> opened;
};

TEST(SettingsEndToEnd, TheHelpMenusAndTheStartMenusLinksOpenThroughTheDesktop)
{
    Installation installation;
    RecordingOpener opener;
    ScriptedPrompts prompts;
    ProgramRun run(installation, prompts, {},
                   [&opener](ProgramOptions& options) { options.Links = &opener; });
    ASSERT_TRUE(run.started);
    EXPECT_EQ(MenuAction(run.Window(), "PellivarkWeb1")->text(),
              QStringLiteral("Pellivark on the &web..."));
    MenuAction(run.Window(), "PellivarkWeb1")->trigger();
    MenuAction(run.Window(), "Reportbugsandsuggestions1")->trigger();
    QLabel* link = run.program.StartMenu().Label4();
    const QPointF at(2, 2);
    QMouseEvent release(QEvent::MouseButtonRelease, at, link->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(link, &release);
    EXPECT_EQ(opener.opened,
              (std::vector<QString>{QStringLiteral("https://www.pellivark.example"),
                                    QStringLiteral("mailto:support@pellivark.example"),
                                    QStringLiteral("https://www.pellivark.example")}));
    EXPECT_TRUE(run.Close());
}

TEST(SettingsEndToEnd, ADamagedRecordFillsAValidDialogAndALanguageThatCannotBeReadKeepsTheOld)
{
    Installation installation;
    ScriptedPrompts prompts;
    {
        ProgramRun run(installation, prompts);
        ASSERT_TRUE(run.started);
        EXPECT_TRUE(run.Close());
    }
    // The stored record damaged in every field the dialog shows.
    TSettingsRec damaged = DefaultSettings();
    damaged.UserId = 1;
    damaged.PianoVoice = {40, 300, 999, 200};
    damaged.ClapSound = {9, 500, 255, 300};
    damaged.BeatSound = {77, 129, 1000, 0xFFFF};
    damaged.OutputDelay = 70000;
    damaged.RhythmSpacing = 40;
    damaged.WaveOutVolume = 9999;
    damaged.MidiOutVolume = 0xFFFF;
    damaged.RemoteNotes = {200, 201, 202, 203, 204};
    damaged.MidiOutDevice = QStringLiteral("A port long gone");
    damaged.Language = QStringLiteral("Klingon");
    const auto bytes = EncodeSettingsRec(damaged);
    ASSERT_TRUE(installation.data.Write(QStringLiteral("Data/Setting.dat"),
                                        std::vector<std::uint8_t>(bytes.begin(), bytes.end())));
    ASSERT_TRUE(installation.program.Write(QStringLiteral("Language/Vanishing.LAN"),
                                           std::vector<std::uint8_t>{}));

    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    EXPECT_EQ(run.program.App().ProgramSettings.Language, QStringLiteral("English"));
    prompts.asked.clear();
    OpenProgramSettings(run, [&](TProgramSettings& dialog) {
        EXPECT_EQ(dialog.UpDown1->value(), 16);
        EXPECT_EQ(dialog.ComboBox3->currentIndex(), 127);
        EXPECT_EQ(dialog.UpDown5->value(), 127);
        EXPECT_EQ(dialog.ComboBox6->currentIndex(), 127);
        EXPECT_EQ(dialog.UpDown4->value(), 16);
        EXPECT_EQ(dialog.UpDown10->value(), 400) << "the low 16 bits of 70000, at most 400";
        EXPECT_EQ(dialog.TrackBar1->value(), 3);
        EXPECT_EQ(dialog.ControlNoteEdits[0]->text(), QStringLiteral("G8"));
        EXPECT_EQ(dialog.ComboBox2->currentIndex(), -1) << "a device no longer listed";
        EXPECT_EQ(dialog.ComboBox10->currentText(), QStringLiteral("English"));
        // The language file goes away while the dialog lists it.
        dialog.ComboBox10->setCurrentText(QStringLiteral("Vanishing"));
        EXPECT_TRUE(
            QFile::remove(installation.program.File(QStringLiteral("Language/Vanishing.LAN"))));
        dialog.BitBtn1->click();
    });
    EXPECT_EQ(prompts.Count(QStringLiteral("error")), 1) << "the loader says the file is missing";
    EXPECT_EQ(MenuAction(run.Window(), "Filer1")->text(), QStringLiteral("&File"));
    EXPECT_EQ(ItemAreaLanguage(run.program.Items()), QStringLiteral("English"));
    EXPECT_TRUE(run.program.StartMenuService().WelcomeLine().has_value())
        << "the start menu keeps its welcome text";

    const TSettingsRec& stored = run.program.App().ProgramSettings;
    for (const SoundRec* sound : {&stored.PianoVoice, &stored.GuitarVoice, &stored.ClapSound,
                                  &stored.BeatSound, &stored.FirstBeatSound}) {
        EXPECT_LE(sound->Channel, 15);
        EXPECT_LE(sound->Program, 127);
        EXPECT_LE(sound->Velocity, 127);
        EXPECT_LE(sound->Note, 127);
    }
    EXPECT_LE(stored.RhythmSpacing, 3);
    EXPECT_EQ(stored.OutputDelay, 400);
    for (const std::uint8_t note : stored.RemoteNotes)
        EXPECT_LE(note, 127);
    EXPECT_EQ(stored.MidiOutDevice, QStringLiteral("A port long gone")) << "kept for its return";
    EXPECT_TRUE(run.Close());
}

} // namespace
} // namespace pv
