// The program settings command and its OK block.
#include "shell/settings/ProgramSettingsCommand.h"

#include "music/base/Prompts.h"
#include "music/input/MidiIn.h"

#include <utility>

namespace pv {

namespace {

constexpr int kFontNameCapacity = 79;
constexpr int kSoundNameCapacity = 19;
constexpr std::uint32_t kAllTipsOffered = 255;

/// Clears the flag and gives MIDI input back however the command ends.
class OpenScope
{
public:
    OpenScope(bool& open, IProgramSettingsTargets& targets, ProgramSettingsModel*& model)
        : m_open(open), m_targets(targets), m_model(model), m_target(targets.MidiInputTarget())
    {
    }
    ~OpenScope()
    {
        m_targets.SetMidiInputTarget(m_target);
        m_model = nullptr;
        m_open = false;
    }
    OpenScope(const OpenScope&) = delete;
    OpenScope& operator=(const OpenScope&) = delete;

private:
    bool& m_open;
    IProgramSettingsTargets& m_targets;
    ProgramSettingsModel*& m_model;
    std::uint8_t m_target;
};

std::uint8_t Byte(int value)
{
    return static_cast<std::uint8_t>(value);
}

} // namespace

ProgramSettingsCommand::ProgramSettingsCommand(ProgramSettingsCommandContext context)
    : m_c(std::move(context))
{
}

QString ProgramSettingsCommand::LanguageInForce() const
{
    const QString header = ItemAreaLanguage(m_c.ExerciseItems);
    const QString& stored = m_c.App.ProgramSettings.Language;
    // The head holds 15 characters and the settings 19: the full name while the head still
    // begins it, else whatever (a tutor's tables) changed the head since.
    return header == stored.left(kItemAreaLanguageCapacity) ? stored : header;
}

void ProgramSettingsCommand::Opstning1Click()
{
    if (m_c.SettingsDialogOpen)
        return;
    ProgramSettingsModel model(ProgramSettingsModelContext{m_c.Services, m_c.Prompts, m_c.Strings,
                                                           m_c.LanguageFolder, m_c.MediaFolder,
                                                           m_c.StoreProgramSettings});
    std::unique_ptr<IProgramSettingsDialog> dialog =
        m_c.MakeDialog ? m_c.MakeDialog(model) : nullptr;
    if (!dialog) {
        m_c.Prompts.ShowMessage(QStringLiteral("Could not open Program settings"));
        return;
    }
    m_c.SettingsDialogOpen = true;
    m_model = &model;
    const OpenScope scope(m_c.SettingsDialogOpen, m_c.Targets, m_model);
    const QString language = LanguageInForce();
    m_c.Targets.LoadDialogTexts(LanguageFilePath(m_c.LanguageFolder, language));

    // Listening first: opening the input may settle which device it is, and the dialog then
    // shows the device that listens.
    m_c.Targets.SetMidiInputTarget(kMidiInSettingsDialog);
    TSettingsRec& settings = m_c.App.ProgramSettings;
    model.LoadFromSettings(settings, language);
    const bool ok = dialog->Exec();
    model.Hide();
    m_c.Targets.SetMidiInputTarget(kMidiInNobody);
    if (!ok) {
        model.RestoreLiveChanges(settings);
        return;
    }
    const std::shared_ptr<TUserInfo>& user = m_c.App.Users.CurrentUser;
    const int userKind = user ? user->Record.UserKind : 0;
    model.StoreOnOk(settings, userKind, m_c.State.CurrentKind);
    RunOkBlock(model);
}

void ProgramSettingsCommand::MidiInput(std::uint32_t message)
{
    if (m_model != nullptr)
        m_model->MidiInput(message);
}

void ProgramSettingsCommand::RunOkBlock(const ProgramSettingsModel& model)
{
    TSettingsRec& settings = m_c.App.ProgramSettings;
    IProgramSettingsTargets& targets = m_c.Targets;
    const std::optional<ExerciseKind> kind = m_c.State.CurrentKind;
    const bool exerciseView = m_c.State.CurrentView == MainView::Exercise && kind.has_value();

    // 1. The output delay.
    settings.OutputDelay = model.OutputDelay;
    targets.SetOutputDelay(static_cast<std::uint16_t>(model.OutputDelay));

    // 2. The language, only when its file could be read.
    const QString language = model.LanguageText();
    if (!language.isEmpty() &&
        language.compare(ItemAreaLanguage(m_c.ExerciseItems), Qt::CaseInsensitive) != 0 &&
        targets.LoadLanguageFile(LanguageFilePath(m_c.LanguageFolder, language))) {
        SetItemAreaLanguage(m_c.ExerciseItems, language);
        targets.SetHelpFile(HelpFilePath(m_c.LanguageFolder, language));
        if (exerciseView)
            targets.ShowScore(*kind);
        else if (m_c.State.CurrentView == MainView::ExerciseSetup && kind)
            targets.RefillSetupPage(*kind);
        targets.PushSetupToForms();
    }

    // 3. and 4. The font and the colour, each only when it changed.
    const FontSpec stored{settings.FontName, settings.FontSize, settings.FontStyle};
    if (model.Font != stored) {
        settings.FontName = model.Font.Name.left(kFontNameCapacity);
        settings.FontSize = model.Font.Size;
        settings.FontStyle = model.Font.Style;
        targets.ApplyFontToForms(
            FontSpec{settings.FontName, settings.FontSize, settings.FontStyle});
    }
    if (model.Colour != settings.BackgroundColor) {
        settings.BackgroundColor = model.Colour;
        targets.ApplyColorToForms(model.Colour);
    }

    // 5. The spacing of the rhythm notation.
    if (model.RhythmSpacing != settings.RhythmSpacing) {
        settings.RhythmSpacing = Byte(model.RhythmSpacing);
        if (exerciseView && KindFacts(*kind).MaxRhythmBars > 0)
            targets.RepaintRhythmNotation(*kind);
    }

    // 6. and 7. The automatic new question.
    if (model.AutoNewQuestionDelay != settings.AutoNewQuestionDelay) {
        settings.AutoNewQuestionDelay = Byte(model.AutoNewQuestionDelay);
        targets.SetAutoNewQuestTimerInterval(AutoNewQuestInterval(settings.AutoNewQuestionDelay));
    }
    const bool autoNewChanged = model.AutoNewQuestion != settings.AutoNewQuestion ||
                                model.OnlyAfterRight != settings.AutoNewOnlyAfterRight;
    settings.AutoNewQuestion = model.AutoNewQuestion;
    settings.AutoNewOnlyAfterRight = model.OnlyAfterRight;
    settings.RepeatThreshold = Byte(model.RepeatThreshold);

    // 8. The microphone.
    if (model.RhythmSensitivity != settings.RhythmSensitivity ||
        model.ToneSensitivity != settings.ToneSensitivity ||
        model.HighPrecision != settings.HighPrecision) {
        settings.RhythmSensitivity = Byte(model.RhythmSensitivity);
        settings.ToneSensitivity = Byte(model.ToneSensitivity);
        settings.HighPrecision = model.HighPrecision;
        targets.WaveInSetup(settings.RhythmSensitivity, settings.ToneSensitivity,
                            settings.HighPrecision ? 1 : 0);
    }

    // 9. The answer sounds; a stored name with no file today keeps its name.
    settings.SoundEffectsOn = model.SoundEffects;
    if (model.RightSoundIndex >= 0)
        settings.RightSound = model.RightSoundText().left(kSoundNameCapacity);
    if (model.WrongSoundIndex >= 0)
        settings.WrongSound = model.WrongSoundText().left(kSoundNameCapacity);

    // 10. and 11. The remote control and the intro.
    settings.SustainAsEnter = model.PedalAsEnter;
    settings.MidiRemoteControl = model.MidiRemote;
    ControlNoteSet notes;
    for (std::size_t i = 0; i < settings.RemoteNotes.size(); ++i) {
        settings.RemoteNotes[i] = Byte(model.ControlNotes[i]);
        notes.set(settings.RemoteNotes[i]);
    }
    targets.SetControlNotes(notes);
    settings.PlayIntro = model.PlayIntro;

    // 12. Every tip offered again.
    if (model.TipsReset) {
        settings.TipsMask = kAllTipsOffered;
        targets.ApplyShownControls(settings.TipsMask);
    }

    // 13. The note view of an identification exercise.
    if (exerciseView && KindFacts(*kind).IdentificationWindow)
        targets.RepaintNoteView(*kind);

    // The copies the windows keep follow, so every value is in force now.
    targets.MirrorSettings();
    if (autoNewChanged && kind && KindFacts(*kind).MaxRhythmBars == 0)
        targets.ReapplySetup(*kind);
}

} // namespace pv
