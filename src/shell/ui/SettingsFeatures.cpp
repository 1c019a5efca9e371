// The settings, wizard, tips and links bound to the running program.
#include "shell/ui/SettingsFeatures.h"

#include "exercises/ui/TAkkord.h"
#include "exercises/ui/TControlButton.h"
#include "exercises/ui/TRhythmWindow.h"
#include "music/input/MicInput.h"
#include "music/input/MidiIn.h"
#include "shell/commands/CommandRegistry.h"
#include "shell/help/HelpContexts.h"
#include "shell/language/LanguageLoader.h"
#include "shell/language/LanguageTargets.h"
#include "shell/links/ui/DesktopOpener.h"
#include "shell/main/MainCommands.h"
#include "shell/main/PellivarkMainModel.h"
#include "shell/main/ui/ExerciseWindowSet.h"
#include "shell/settings/ui/TProgramSettings.h"
#include "shell/startmenu/StartMenuModel.h"
#include "shell/state/AppState.h"
#include "shell/tips/ui/TTipform.h"
#include "shell/ui/TPellivarkMain.h"
#include "shell/wizard/ui/TConfigWizard.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>

namespace pv {

namespace {

/// A menu item's text as a caption: no accelerator marks, no dots of an item that opens a
/// dialog.
QString CaptionOfMenuText(QString text)
{
    if (text.endsWith(QStringLiteral("...")))
        text.chop(3);
    QString caption;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'&')
            caption += text[i];
        else if (i + 1 < text.size() && text[i + 1] == u'&')
            caption += text[++i];
    }
    return caption;
}

/// A window made for one use: its texts are announced while it lives and forgotten with it.
template <class Window, class Interface> class OneUseWindow final : public Interface
{
public:
    OneUseWindow(std::unique_ptr<Window> window, LanguageTargets& targets)
        : m_window(std::move(window)), m_targets(targets)
    {
        m_window->RegisterTexts(
            [this](const QString& key, std::function<void(const QString&)> setter) {
                m_targets.Register(key, std::move(setter));
            });
    }
    ~OneUseWindow() override { m_targets.RemoveForm(m_window->objectName()); }
    OneUseWindow(const OneUseWindow&) = delete;
    OneUseWindow& operator=(const OneUseWindow&) = delete;
    bool Exec() override { return m_window->Exec(); }

private:
    std::unique_ptr<Window> m_window;
    LanguageTargets& m_targets;
};

} // namespace

SettingsFeatures::SettingsFeatures(SettingsFeatureContext context) : m_c(std::move(context))
{
    m_services = std::make_unique<ProgramSettingsServices>(m_c.MidiOut, m_c.MidiIn, m_c.WaveOut,
                                                           m_c.Sequencer, m_c.Waves);
    m_wizardDevices = std::make_unique<MidiOutWizardDevices>(m_c.MidiOut);
    m_wizard = std::make_unique<ConfigWizardService>(ConfigWizardContext{
        m_c.App.ProgramSettings,
        *m_wizardDevices,
        m_c.Prompts,
        m_c.Strings,
        [this] { return m_c.Model().FirstRun; },
        [] {
            const QScreen* screen = QGuiApplication::primaryScreen();
            return screen != nullptr ? screen->geometry().height() : 0;
        },
        [this](ConfigWizardModel& model) { return MakeWizardDialog(model); },
    });

    m_tips = std::make_unique<TipService>(
        m_c.App.ProgramSettings.TipsMask, m_c.Strings, [this](const QString& text) {
            return TTipform::Run(text, m_c.Strings, m_c.RunDialog, &m_c.Window);
        });

    if (m_c.Links == nullptr)
        m_desktop = std::make_unique<DesktopOpener>();
    m_url = std::make_unique<TURL>(m_c.Links != nullptr ? *m_c.Links : *m_desktop);
}

SettingsFeatures::~SettingsFeatures() = default;

ProgramSettingsCommand& SettingsFeatures::SettingsCommand()
{
    if (!m_command) {
        const QString programFolder = m_c.Data.folders.ProgramFolder;
        m_command = std::make_unique<ProgramSettingsCommand>(ProgramSettingsCommandContext{
            m_c.App,
            m_c.Items,
            programFolder + QStringLiteral("Language/"),
            programFolder + QStringLiteral("Media/"),
            m_c.State,
            *this,
            *m_services,
            m_c.Prompts,
            m_c.Strings,
            m_c.Model().SettingsDialogOpen,
            [this](ProgramSettingsModel& model) { return MakeSettingsDialog(model); },
            m_c.StoreProgramSettings,
        });
    }
    return *m_command;
}

bool SettingsFeatures::Register(CommandRegistry& registry)
{
    const auto row = [](const char* id, const char* text, std::function<void()> run) {
        CommandRow r;
        r.Id = QString::fromLatin1(id);
        r.TextId = MainFormKey(r.Id);
        r.Text = QString::fromLatin1(text);
        r.Run = std::move(run);
        return r;
    };
    std::vector<CommandRow> rows;
    rows.push_back(row("Programsettings1", "&Program settings...",
                       [this] { SettingsCommand().Opstning1Click(); }));
    rows.push_back(row("Reportbugsandsuggestions1", "&Report a bug or a suggestion...",
                       [this] { OpenSupportMail(*m_url); }));
    rows.push_back(row("PellivarkWeb1", "Pellivark on the &web...", [this] { OpenWebSite(); }));
    return registry.Register(QStringLiteral("settings"), std::move(rows));
}

void SettingsFeatures::Wire(MainWindowHandlers& handlers)
{
    handlers.ShowTip = [this](int n) { return m_tips->ShowTip(n); };
    handlers.ApplyShownControls = [this](std::uint32_t mask) { ApplyShownControls(mask); };
}

IConfigWizardMaker& SettingsFeatures::WizardMaker()
{
    return m_c.OfferWizard ? static_cast<IConfigWizardMaker&>(*m_wizard) : m_noWizardMaker;
}

IConfigWizard& SettingsFeatures::Wizard()
{
    return m_c.OfferWizard ? static_cast<IConfigWizard&>(*m_wizard) : m_noWizard;
}

bool SettingsFeatures::WizardPending() const
{
    return m_c.OfferWizard && m_wizard->Pending();
}

QObject* SettingsFeatures::SettingsDialogReceiver() const
{
    return m_dialog.data();
}

void SettingsFeatures::OpenWebSite()
{
    OpenProductWebSite(*m_url);
}

void SettingsFeatures::ApplyShownControls(std::uint32_t tipsMask)
{
    for (ExerciseKind kind : kExerciseKinds) {
        if (TAkkord* identification = m_c.Exercises.Identification(kind))
            identification->ApplyTipsMask(tipsMask);
        else if (TRhythmWindow* rhythm = m_c.Exercises.Rhythm(kind))
            rhythm->SetRhythmSettings(m_c.RhythmSettings());
    }
}

std::unique_ptr<IProgramSettingsDialog>
SettingsFeatures::MakeSettingsDialog(ProgramSettingsModel& model)
{
    TProgramSettings::Texts texts;
    if (const auto* item = m_c.Window.CommandAction(QStringLiteral("Programsettings1")))
        texts.Caption = CaptionOfMenuText(item->text());
    if (TExerciseBaseClass* chords = m_c.Exercises.Window(ExerciseKind::ChordIdentification);
        chords != nullptr && chords->ControlButtons != nullptr) {
        const auto& captions = chords->ControlButtons->Model().Captions;
        for (std::size_t i = 0; i < texts.StripCaptions.size() && i < captions.size(); ++i)
            texts.StripCaptions[i] = captions[i];
    }
    auto window = std::make_unique<TProgramSettings>(model, m_c.Strings, std::move(texts),
                                                     m_c.RunDialog, &m_c.Window);
    // The dialog takes the program's font, as every window does.
    window->setFont(m_c.Window.font());
    window->SetHelp([this] { m_c.Window.ShowHelpTopic(kProgramSettingsHelp); });
    window->setProperty("helpContext", kProgramSettingsHelp);
    m_dialog = window.get();
    return std::make_unique<OneUseWindow<TProgramSettings, IProgramSettingsDialog>>(
        std::move(window), m_c.Targets);
}

std::unique_ptr<IConfigWizardDialog> SettingsFeatures::MakeWizardDialog(ConfigWizardModel& model)
{
    auto window = std::make_unique<TConfigWizard>(model, m_c.Strings, m_c.RunDialog, &m_c.Window);
    return std::make_unique<OneUseWindow<TConfigWizard, IConfigWizardDialog>>(std::move(window),
                                                                              m_c.Targets);
}

void SettingsFeatures::SetOutputDelay(std::uint16_t ms)
{
    m_c.Sequencer.SetOutputDelay(ms);
}

bool SettingsFeatures::LoadLanguageFile(const QString& path)
{
    // A full load empties the welcome text before it opens the file: a file that cannot be
    // read must leave the start menu as it was.
    StartMenuModel* menu = m_c.StartMenuText;
    const QStringList lines = menu != nullptr ? menu->Descriptions : QStringList();
    const int stop = menu != nullptr ? menu->ScrollStopLine : 0;
    if (!pv::LoadLanguageFile(path, kLanguageAllTables, m_c.Language())) {
        if (menu != nullptr) {
            menu->Descriptions = lines;
            menu->ScrollStopLine = stop;
        }
        return false;
    }
    // The new welcome line greets the user by name, as the first show's did.
    if (const std::optional<QString> line = m_c.StartMenu.WelcomeLine();
        line && m_c.App.Users.CurrentUser)
        m_c.StartMenu.SetWelcomeLine(*line + QStringLiteral(" ") +
                                     m_c.App.Users.CurrentUser->DisplayName);
    return true;
}

void SettingsFeatures::LoadDialogTexts(const QString& path)
{
    pv::LoadLanguageFile(path, kLanguageDialogTable, m_c.Language());
}

void SettingsFeatures::SetHelpFile(const QString& path)
{
    m_c.Window.SetHelpFile(path);
}

void SettingsFeatures::ShowScore(ExerciseKind kind)
{
    if (TExerciseBaseClass* exercise = m_c.Exercises.Window(kind))
        exercise->ShowScore();
}

void SettingsFeatures::RefillSetupPage(ExerciseKind kind)
{
    m_c.Model().Setup().ShowSetupDialog(kind, false);
}

void SettingsFeatures::PushSetupToForms()
{
    m_c.Model().Setup().PushSetupToForms(false);
}

void SettingsFeatures::ApplyFontToForms(const FontSpec& font)
{
    m_c.Window.SetMainWindowFont(font);
    m_c.Window.ApplyFontToForms(font);
}

void SettingsFeatures::ApplyColorToForms(std::uint32_t colour)
{
    m_c.Window.ApplyColorToForms(colour);
}

void SettingsFeatures::RepaintRhythmNotation(ExerciseKind kind)
{
    if (TRhythmWindow* rhythm = m_c.Exercises.Rhythm(kind)) {
        rhythm->SetRhythmSettings(m_c.RhythmSettings());
        rhythm->update();
    }
}

void SettingsFeatures::SetAutoNewQuestTimerInterval(int milliseconds)
{
    m_c.Window.SetAutoNewQuestTimerInterval(milliseconds);
}

void SettingsFeatures::WaveInSetup(std::uint8_t rhythmSensitivity, std::uint8_t toneSensitivity,
                                   std::uint8_t highPrecision)
{
    m_c.Microphone.WaveInSetup(rhythmSensitivity, toneSensitivity, highPrecision);
}

void SettingsFeatures::SetControlNotes(const ControlNoteSet& notes)
{
    m_c.ControlNotes = notes;
}

void SettingsFeatures::RepaintNoteView(ExerciseKind kind)
{
    if (TAkkord* identification = m_c.Exercises.Identification(kind))
        identification->PaintBox1->update();
}

void SettingsFeatures::MirrorSettings()
{
    m_c.MirrorSettingsIntoWindow();
    m_c.Window.SetChecked(MainControl::Autonewquest1, m_c.App.ProgramSettings.AutoNewQuestion);
    for (ExerciseKind kind : kExerciseKinds) {
        if (TRhythmWindow* rhythm = m_c.Exercises.Rhythm(kind))
            rhythm->SetRhythmSettings(m_c.RhythmSettings());
    }
}

void SettingsFeatures::ReapplySetup(ExerciseKind kind)
{
    m_c.Exercises.ApplySetupToExercise(kind, false);
}

std::uint8_t SettingsFeatures::MidiInputTarget() const
{
    return m_c.MidiIn.Target();
}

void SettingsFeatures::SetMidiInputTarget(std::uint8_t target)
{
    if (target == kMidiInNobody) {
        m_c.MidiIn.StopMidiInput();
    } else if (const std::optional<ExerciseKind> kind = KindFromNumber(target)) {
        // An exercise's own start: its remote notes are rebuilt with it.
        m_c.MidiInputStart.StartMidiInput(*kind);
    } else {
        m_c.MidiIn.StartMidiInput(target, m_c.App.ProgramSettings.MidiInDevice);
    }
}

} // namespace pv
