// The main window's decisions: view switching, the tutor turned on and off, the user rights,
// the first show and the close query.
#include "shell/main/PellivarkMainModel.h"

#include "music/base/ExerciseKindUi.h"
#include "music/data/SettingsFile.h"
#include "music/data/SharedFile.h"
#include "music/files/Folders.h"
#include "music/files/RegularFile.h"
#include "music/strings/UIStrings.h"

#include <fcntl.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace pv {

namespace {

constexpr std::uint16_t kAllKinds = 0xFFFF;
constexpr std::int32_t kMinimumToOffer = 5;
constexpr qsizetype kFullNameCapacity = 31;
constexpr int kBevel1Width = 89;
constexpr int kLabel1Margin = 50;
constexpr int kResultsPanelLeft = 160;

const QString kCloseWithoutResults =
    QStringLiteral("Your results could not be stored.\n\n"
                   "Do you want to close Pellivark without them? Choose No to keep "
                   "the program open with your answers.");

// The rights every user has; the numbers are the rights' places.
constexpr std::array<bool, 10> kFixedRights = {true,  true, true,  true, true,
                                               false, true, false, true, false};
enum Rights : int
{
    SetupRight = 0,
    ChooseTutorRight = 1,
    SettingsRight = 3,
    ResultsRight = 4,
    UserOverviewRight = 5,
    TutorRight = 6,
    TutorSetupRight = 7,
    ImportExportRight = 8,
    RefreshRight = 9,
};

std::uint16_t BitOf(ExerciseKind kind)
{
    return static_cast<std::uint16_t>(1U << (KindNumber(kind) - 1));
}

bool InRhythmFamily(std::optional<ExerciseKind> kind)
{
    return kind && KindUi(*kind).Family == KindFamily::Rhythm;
}

/// The microphone hears the kind's answers as sung notes.
bool SingsNotes(std::optional<ExerciseKind> kind)
{
    return kind && KindFacts(*kind).MicrophoneAnswers && !KindFacts(*kind).MicrophoneHearsTaps;
}

int IndexOf(std::optional<ExerciseKind> kind)
{
    return kind ? KindNumber(*kind) : 0;
}

MainControl ExerciseButton(std::optional<ExerciseKind> kind)
{
    return kExerciseButtons[IndexOf(kind)];
}

MainControl ExerciseMenuItem(std::optional<ExerciseKind> kind)
{
    return kExerciseMenuItems[IndexOf(kind)];
}

// "" and "\" are how records say "no file".
bool NamesNoFile(const QString& name)
{
    return name.isEmpty() || name == QStringLiteral("\\");
}

QString WithSlash(QString folder)
{
    if (!folder.isEmpty() && !folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

} // namespace

std::optional<ViewTarget> DecodeViewTag(int tag, std::optional<ExerciseKind> currentKind,
                                        MainView currentView)
{
    if (tag < 0)
        return std::nullopt;
    ViewTarget target{currentKind, currentView};
    const int kindByte = tag & 0xFF;
    if (kindByte == kNoExerciseTagByte) {
        target.Kind = std::nullopt;
    } else if (kindByte != 0) {
        const std::optional<ExerciseKind> kind = KindFromNumber(kindByte);
        if (!kind)
            return std::nullopt;
        target.Kind = kind;
    }
    const int viewBits = (tag >> 8) & 0x0F;
    if (viewBits > static_cast<int>(MainView::UserOverview))
        return std::nullopt;
    if (viewBits != 0)
        target.View = static_cast<MainView>(viewBits);
    return target;
}

PellivarkMainModel::PellivarkMainModel(MainModelServices services)
    : m_s(std::move(services)), m_setupOps(m_s.Setup, m_setupHost, m_s.Prompts, m_s.Strings)
{
    for (ExerciseKind kind : kExerciseKinds) {
        if (KindUi(kind).MetronomeAtStart)
            m_metronomeKinds = static_cast<std::uint16_t>(m_metronomeKinds | BitOf(kind));
    }
    for (int n : {1, 2, 7, 8, 10})
        m_availableKinds = static_cast<std::uint16_t>(m_availableKinds | (1U << (n - 1)));
    m_setupFolder = DefaultSetupFolder();
}

bool PellivarkMainModel::KindAvailable(ExerciseKind kind) const
{
    return IsKnownKind(kind) && (m_availableKinds & BitOf(kind)) != 0;
}

void PellivarkMainModel::SetKindAvailable(ExerciseKind kind, bool available)
{
    if (!IsKnownKind(kind))
        return;
    m_availableKinds = available ? static_cast<std::uint16_t>(m_availableKinds | BitOf(kind))
                                 : static_cast<std::uint16_t>(m_availableKinds & ~BitOf(kind));
}

bool PellivarkMainModel::InMetronomeKinds(ExerciseKind kind) const
{
    return IsKnownKind(kind) && (m_metronomeKinds & BitOf(kind)) != 0;
}

QString PellivarkMainModel::DefaultSetupFolder() const
{
    // The user's own setups live with the user's data: the program folder holds the shipped
    // ones, which are never written.
    return WithSlash(m_s.Data.folders.DataFolder);
}

void PellivarkMainModel::Lusk()
{
    FirstShowPending = true;
    MicrophoneOpen = false;
    DeleteDialogMade = false;
    SettingsDialogOpen = false;
    ReportsMade = false;
    UserRightsApplied = false;
    m_s.Setup.SetupLoaded = false;
    m_s.Setup.SetupModified = false;
    m_s.State.CurrentKind = std::nullopt;
    m_s.State.CurrentView = MainView::Exercise;
    m_s.State.ClockRepaintKind = std::nullopt;
    m_s.State.TutorActive = false;
    m_setupFolder = DefaultSetupFolder();
    // Decided once per run: the store marks the next run as not the first.
    if (m_decideFirstRun)
        FirstRun = m_decideFirstRun();

    // Without the data folder no user could ever be written, and the name would be asked at
    // every start.
    if (const std::optional<QString> failed = CreateDataFolders(m_s.Data.folders))
        m_s.Prompts.ShowError(QStringLiteral("The data folder could not be created:\n\n%1\n\n"
                                             "Users, settings and results cannot be stored.")
                                  .arg(QDir::toNativeSeparators(*failed)),
                              m_s.Strings.StrMessageTitle);

    for (MainControl c : {MainControl::RunKonfig, MainControl::SpeedButton5,
                          MainControl::SpeedButton11, MainControl::Activatetutor1})
        m_s.Ui.SetEnabled(c, false);
}

void PellivarkMainModel::Speed1Click(int tag)
{
    const std::optional<ViewTarget> target =
        DecodeViewTag(tag, m_s.State.CurrentKind, m_s.State.CurrentView);
    if (target)
        SwitchView(target->Kind, target->View);
}

void PellivarkMainModel::SwitchView(std::optional<ExerciseKind> newKind, MainView newView)
{
    if (newKind && !IsKnownKind(*newKind))
        return;
    MainWindowState& state = m_s.State;
    IMainWindowUi& ui = m_s.Ui;

    // 1. What changes.
    const bool tutorWanted = ui.IsDown(MainControl::SpeedButton10) ||
                             (m_s.App.ProgramSettings.TutorActive && !state.TutorActive);
    const bool startTutor = tutorWanted && !state.TutorActive;
    const bool viewChanged = newView != state.CurrentView;
    const bool kindChanged = newKind != state.CurrentKind;
    const std::optional<ExerciseKind> oldKind = state.CurrentKind;
    // Choosing what is shown already, with the tutor as it is, leaves everything as it is.
    if (!viewChanged && !kindChanged && tutorWanted == state.TutorActive)
        return;
    // The same exercise under the tutor turned on or off is left and entered anew, so its
    // question and timers follow the setup that comes into force.
    const bool exerciseChanged = kindChanged || tutorWanted != state.TutorActive;
    const int stepInfoShowsBefore = m_stepInfoShows;

    // 2. Leaving an exercise or the start menu.
    if (kindChanged) {
        ui.SetChecked(ExerciseMenuItem(oldKind), false);
        if (!oldKind) {
            ui.SetEnabled(MainControl::Restartexercise, true);
            ui.SetEnabled(MainControl::RunKonfig, Right(SetupRight));
            ui.SetEnabled(MainControl::SpeedButton5, Right(ResultsRight));
            ui.SetEnabled(MainControl::SpeedButton11, Right(UserOverviewRight));
            m_s.StartMenu.StopIntro();
        }
    }

    // 3. Leaving the view.
    LeaveView(oldKind, viewChanged, exerciseChanged);

    // 4. The tutor ends: the user's own setup comes back.
    if (!tutorWanted && state.TutorActive)
        TutorOff(newKind);

    // 5. Commit.
    state.TutorActive = tutorWanted;
    state.CurrentView = newView;
    state.CurrentKind = newKind;
    ui.PumpMessages();
    m_s.App.ProgramSettings.TutorActive = state.TutorActive;

    // 6. The exercise's caption, tick and button.
    if (kindChanged) {
        ui.SetText(MainControl::Label3, ui.Text(ExerciseMenuItem(newKind)));
        ui.SetChecked(ExerciseMenuItem(newKind), true);
        ui.SetDown(ExerciseButton(newKind), true);
        if (!newKind) {
            ui.SetEnabled(MainControl::Restartexercise, false);
            ui.SetText(MainControl::Label1, QString());
            ui.SetEnabled(MainControl::RunKonfig, false);
            ui.SetEnabled(MainControl::SpeedButton5, false);
            ui.SetEnabled(MainControl::SpeedButton11, false);
            ui.SetEnabled(MainControl::Timer1, true);
            for (int n : {3, 4, 5})
                ui.SetToolWindowVisible(n, false);
        }
    }

    // 7. The answer input menu.
    ui.AlignAnswerInputMenu(newKind);

    // 8. Entering the view.
    EnterView(viewChanged, exerciseChanged);

    // 9. The tutor starts.
    bool tutorStarted = false;
    if (startTutor)
        tutorStarted = TurnTutorOn();

    // 10. The step's information, once per switch: a nested switch may have shown it.
    if (((state.TutorActive && kindChanged) || tutorStarted) &&
        m_stepInfoShows == stepInfoShowsBefore) {
        ++m_stepInfoShows;
        if (m_s.Tutor.ShowStepInfo()) {
            m_s.Tutor.ApplyTutorSteps();
            if (state.CurrentKind)
                ui.FocusExercise(*state.CurrentKind);
            ui.PumpMessages();
        }
    }
}

void PellivarkMainModel::LeaveView(std::optional<ExerciseKind> oldKind, bool viewChanged,
                                   bool exerciseChanged)
{
    IMainWindowUi& ui = m_s.Ui;
    switch (m_s.State.CurrentView) {
    case MainView::Exercise:
        if (InRhythmFamily(oldKind) && KindAvailable(*oldKind))
            m_s.Windows.StopRhythm(*oldKind);
        m_s.Clock.StopExerciseClock(oldKind);
        if (viewChanged) {
            ui.SetEnabled(MainControl::Overview, false);
            ui.SetVisible(MainControl::Label7, false);
            ui.SetEnabled(MainControl::Metro, false);
            for (MainControl c : {MainControl::ShowMetronome1, MainControl::Playmetronome1,
                                  MainControl::Autonewquest1, MainControl::MIDIremote1,
                                  MainControl::Showkeyname1, MainControl::NoteIdentification1})
                ui.SetVisible(c, false);
            ui.SetEnabled(MainControl::SpeedButton3, false);
            for (int n = 1; n <= 5; ++n)
                ui.SetToolWindowVisible(n, false);
        }
        if ((viewChanged || exerciseChanged) && oldKind && KindAvailable(*oldKind))
            m_s.Windows.LeaveExercise(*oldKind);
        ui.SetEnabled(MainControl::LightDisplaytime, false);
        ui.SetEnabled(MainControl::AnswerbuttonBlink, false);
        break;
    case MainView::ExerciseSetup:
        m_setupOps.TakeSetupFromDialog();
        // The tutor's setups are never the user's: they must not become the setup the user
        // gets back, nor count as the user's change.
        if (viewChanged && !m_s.State.TutorActive) {
            SetupState& setup = m_s.Setup;
            // A change made on an earlier visit stays a change until it is saved.
            setup.SetupModified =
                setup.SetupModified || SetupChanged(setup.SavedSetup, setup.CurrentSetup);
            setup.SavedSetup = setup.CurrentSetup;
            m_setupOps.PushSetupToForms(false);
        } else if (viewChanged) {
            m_setupOps.PushSetupToForms(false);
        }
        break;
    case MainView::Results:
        ui.SetEnabled(MainControl::Refresh1, false);
        ui.SetVisible(MainControl::Resultsumations1, false);
        ui.SetVisible(MainControl::Deleteresults1, false);
        break;
    case MainView::UserOverview:
        break;
    }
}

void PellivarkMainModel::TutorOff(std::optional<ExerciseKind> newKind)
{
    IMainWindowUi& ui = m_s.Ui;
    EndUnfinishedSteps();
    m_s.Setup.CurrentSetup = m_s.Setup.SavedSetup;
    // The windows keep their own copy: without it they would run the tutor's last step under
    // the user's name.
    m_setupOps.PushSetupToForms(false);
    m_s.Tutor.Clear();
    m_s.Tutor.DropItemTablesBackup();
    ui.SetChecked(MainControl::Activatetutor1, false);
    for (MainControl c :
         {MainControl::SpeedButton2, MainControl::Hentstandardopstning1, MainControl::Gemopstning1,
          MainControl::Restartexercise, MainControl::Overview1})
        ui.SetEnabled(c, true);
    SetExerciseButtonsEnabled(true);
    const bool withKind = newKind.has_value();
    ui.SetEnabled(MainControl::RunKonfig, Right(SetupRight) && withKind);
    ui.SetEnabled(MainControl::SpeedButton9, Right(TutorSetupRight));
    ui.SetEnabled(MainControl::Tutoreditor2, Right(TutorSetupRight));
    ui.SetEnabled(MainControl::SpeedButton5, Right(ResultsRight) && withKind);
    ui.SetEnabled(MainControl::SpeedButton11, Right(UserOverviewRight) && withKind);
    ui.SetText(MainControl::Label2, QString());
    ui.SetText(MainControl::Label6, QString());
    ui.SetToolWindowVisible(2, false);
    m_s.Windows.SetChildCaptions(SetupOperations::SetupCaption(m_s.Setup.SetupFileName));
}

void PellivarkMainModel::EndUnfinishedSteps()
{
    // The answers of a step left unfinished were given under the tutor's setup: they are the
    // step's run, stored under the tutor when there are enough to count, and never go on into
    // the user's own run, whose items and setup name they would not match. Only the kinds the
    // tutor has steps for ran under it; another kind still holds the user's own answers.
    std::uint16_t stepKinds = 0;
    for (ExerciseKind k : kExerciseKinds) {
        if (m_s.Tutor.StepCount(k) > 0)
            stepKinds = static_cast<std::uint16_t>(stepKinds | BitOf(k));
    }
    const std::uint16_t worthKeeping = m_s.Results.KindsWithResults(stepKinds, kMinimumToOffer);
    if (worthKeeping != 0)
        IgnoreResult(m_s.Results.StoreResults(worthKeeping, true, false),
                     "a failed store has been reported; the answers are the tutor's either way");
    for (ExerciseKind k : KindsOfMask(stepKinds)) {
        m_s.Clock.ResetExerciseClock(k);
        m_s.Sessions.ResetResults(k);
    }
}

void PellivarkMainModel::SetExerciseButtonsEnabled(bool on)
{
    for (ExerciseKind k : kExerciseKinds) {
        m_s.Ui.SetEnabled(ExerciseButton(k), on);
        m_s.Ui.SetEnabled(ExerciseMenuItem(k), on);
    }
}

void PellivarkMainModel::EnterView(bool viewChanged, bool exerciseChanged)
{
    IMainWindowUi& ui = m_s.Ui;
    const std::optional<ExerciseKind> kind = m_s.State.CurrentKind;
    switch (m_s.State.CurrentView) {
    case MainView::Exercise:
        m_s.Clock.StartExerciseClock(kind);
        if (!kind)
            ui.ShowStartMenuMaximized();
        else
            EnterExerciseView(*kind, viewChanged || exerciseChanged);
        ui.SetDown(MainControl::SpeedButton1, true);
        ui.SetEnabled(MainControl::Overview, true);
        break;
    case MainView::ExerciseSetup:
        if (kind) {
            // While the tutor runs, the setup kept to come back to is the user's own.
            m_setupOps.ShowSetupDialog(*kind, viewChanged && !m_s.State.TutorActive);
            ui.ShowSetupPageMaximized(KindFacts(*kind).SetupBlock, *kind);
        }
        ui.SetText(MainControl::Label1, m_s.Strings.StrViewSetup);
        ui.SetDown(MainControl::RunKonfig, true);
        break;
    case MainView::Results:
        EnterResultsView();
        break;
    case MainView::UserOverview:
        break;
    }
}

void PellivarkMainModel::EnterExerciseView(ExerciseKind kind, bool entering)
{
    IMainWindowUi& ui = m_s.Ui;
    const bool available = KindAvailable(kind);
    if (available)
        ui.ShowExerciseMaximized(kind);
    else
        ui.ShowNotAvailable(kind);
    ui.SetText(MainControl::Label1, m_s.State.TutorActive ? ui.Text(MainControl::Activatetutor1)
                                                          : m_s.Strings.StrViewExercise);
    ui.SetToolWindowVisible(2, m_s.State.TutorActive);
    for (int n : {3, 4, 5})
        ui.SetToolWindowVisible(n, true);
    // Entering the window that is shown already would start its question anew.
    if (available && entering)
        m_s.Windows.EnterExercise(kind);
    ui.SetEnabled(MainControl::SpeedButton3, KindFacts(kind).MicrophoneAnswers);
    if (kind == ExerciseKind::MelodyDictation) {
        const std::uint16_t bit = BitOf(kind);
        m_metronomeKinds = m_s.Setup.CurrentSetup.Melody.Rhythms != 0
                               ? static_cast<std::uint16_t>(m_metronomeKinds | bit)
                               : static_cast<std::uint16_t>(m_metronomeKinds & ~bit);
    }
    const bool metronome = InMetronomeKinds(kind);
    ui.SetEnabled(MainControl::Metro, metronome);
    ui.SetEnabled(MainControl::SpeedButton12, metronome);
    ui.SetVisible(MainControl::ShowMetronome1, metronome);
    ui.SetVisible(MainControl::Playmetronome1, metronome);
    ui.SetVisible(MainControl::Showkeyname1, KindFacts(kind).IdentificationWindow);
    ui.SetVisible(MainControl::Autonewquest1, true);
    ui.SetVisible(MainControl::MIDIremote1, true);
    ui.SetVisible(MainControl::NoteIdentification1, KindUi(kind).NoteIdentificationMenu);
    const bool visualMetronome =
        ui.IsEnabled(MainControl::SpeedButton12) && ui.IsDown(MainControl::SpeedButton12);
    const bool microphone = SingsNotes(kind) && ui.IsDown(MainControl::SpeedButton3);
    ui.SetToolWindowVisible(1, visualMetronome || microphone);
    ui.SetVisible(MainControl::Label7, true);
    ui.SetVisible(MainControl::Label4, InRhythmFamily(kind));
    ui.LayoutScoreToolWindow();
    m_s.Clock.UpdateExerciseTime();
    SetTempoSlider();
    if (m_s.App.ProgramSettings.MidiInputOn)
        m_s.MidiInput.StartMidiInput(kind);
}

void PellivarkMainModel::EnterResultsView()
{
    IMainWindowUi& ui = m_s.Ui;
    const std::optional<ExerciseKind> kind = m_s.State.CurrentKind;
    ui.SetText(MainControl::Label1, m_s.Strings.StrViewResults);
    ui.SetDown(MainControl::SpeedButton5, true);
    const std::uint16_t answered = m_s.Results.KindsWithResults(kAllKinds, 1);
    if (answered != 0)
        IgnoreResult(m_s.Results.StoreResults(answered, m_s.State.TutorActive, true),
                     "a store in memory writes no file");
    // A kind without answers has no running result: a copy left from before it was stored
    // would be shown again beside its stored record.
    for (ExerciseKind k : kExerciseKinds) {
        if ((answered & BitOf(k)) == 0)
            m_s.Results.ExerciseResults[static_cast<std::size_t>(KindNumber(k) - 1)].Record.Count =
                0;
    }
    if (const std::shared_ptr<TUserInfo>& shown = m_s.App.ResultUser(); shown && !shown->Computed)
        m_s.App.ComputeUserStatistics(m_s.Data, *shown, m_s.TutorTitle);
    if (kind)
        ui.FillResultsView(*kind, -1.0);
    ui.SetResultsItemButtonsVisible(KindUi(kind).ResultItemButtons);
    ui.SetEnabled(MainControl::Refresh1, Right(RefreshRight));
    ui.SetVisible(MainControl::Resultsumations1, true);
    ui.SetVisible(MainControl::Deleteresults1, true);
    ui.ShowResultsMaximized();
}

bool PellivarkMainModel::TurnTutorOn()
{
    IMainWindowUi& ui = m_s.Ui;
    const QString tutorFile =
        m_s.App.Users.CurrentUser ? m_s.App.Users.CurrentUser->Record.TutorFileName : QString();
    bool started = !NamesNoFile(tutorFile) && m_s.Tutor.StartTutor(tutorFile);
    if (!started && Right(ChooseTutorRight)) {
        m_s.App.SetResultUserToCurrent();
        started = m_s.Tutor.ChooseTutor();
    }
    if (!started) {
        if (!Right(ChooseTutorRight))
            m_s.Prompts.ShowInfo(m_s.Strings.StrTutorMessage, m_s.Strings.StrProgramTitle);
        ui.SetDown(MainControl::SpeedButton10, false);
        // Back to the exercise view without the tutor.
        Speed1Click(kExerciseViewTag);
        return false;
    }
    m_s.Windows.SetChildCaptions(ui.Text(MainControl::Activatetutor1));
    ui.SetDown(MainControl::SpeedButton10, true);
    const std::uint16_t offered = m_s.Results.KindsWithResults(kAllKinds, kMinimumToOffer);
    if (offered != 0 &&
        m_s.Prompts.AskYesNo(m_s.Strings.StrSaveResultsQuery, m_s.Strings.StrSaveResultsCaption) ==
            PromptButton::Yes)
        IgnoreResult(m_s.Results.StoreResults(offered, false, false),
                     "a store shows its own failure, and the answers stay to be stored later");
    m_s.Clock.ResetExerciseClock(std::nullopt);
    EnableTutorKinds();
    for (MainControl c :
         {MainControl::SpeedButton2, MainControl::Hentstandardopstning1, MainControl::Gemopstning1,
          MainControl::Restartexercise, MainControl::Overview1, MainControl::RunKonfig,
          MainControl::SpeedButton9, MainControl::SpeedButton11, MainControl::Tutoreditor2})
        ui.SetEnabled(c, false);
    ui.SetChecked(MainControl::Activatetutor1, true);
    ui.SetToolWindowVisible(2, true);
    return true;
}

bool PellivarkMainModel::EnableTutorKinds()
{
    std::optional<ExerciseKind> firstWithSteps;
    for (ExerciseKind k : kExerciseKinds) {
        const bool steps = m_s.Tutor.StepCount(k) > 0;
        m_s.Ui.SetEnabled(ExerciseButton(k), steps);
        m_s.Ui.SetEnabled(ExerciseMenuItem(k), steps);
        if (steps && !firstWithSteps)
            firstWithSteps = k;
    }
    bool result = true;
    const std::optional<ExerciseKind> current = m_s.State.CurrentKind;
    if (!current || m_s.Tutor.StepCount(*current) < 1) {
        result = false;
        const std::optional<ExerciseKind> target = firstWithSteps ? firstWithSteps : current;
        Speed1Click(IndexOf(target));
    }
    for (ExerciseKind k : kExerciseKinds) {
        if (m_s.Tutor.StepCount(k) > 0)
            m_s.Sessions.ResetResults(k);
    }
    m_s.Tutor.ShowTutorProgress();
    return result;
}

void PellivarkMainModel::ApplyUserRights()
{
    IMainWindowUi& ui = m_s.Ui;
    UserRights = kFixedRights;
    // A user without a folder of their own (or whose folder is gone) keeps the default one:
    // an empty folder would mean the process's current folder.
    const QString userFolder =
        m_s.App.Users.CurrentUser ? m_s.App.Users.CurrentUser->Record.SetupFolder : QString();
    const QString resolved = ResolveStoredPath(userFolder);
    const bool usable = !resolved.isEmpty() && QFileInfo(resolved).isDir() &&
                        !IsShippedFile(m_s.Data.folders, resolved);
    m_setupFolder = usable ? WithSlash(resolved) : DefaultSetupFolder();
    ui.SetVisible(MainControl::N2, false);
    ui.SetVisible(MainControl::Reports1, true);
    ui.SetEnabled(MainControl::Reports1, true);
    ui.SetVisible(MainControl::Classmaintenance1, false);
    ui.SetEnabled(MainControl::Classmaintenance1, false);
    ui.SetWidth(MainControl::Bevel1, kBevel1Width);
    ui.SetEnabled(MainControl::Gemopstning1, Right(SetupRight));
    ui.SetVisible(MainControl::SpeedButton10, Right(TutorRight));
    ui.SetVisible(MainControl::Activatetutor1, Right(TutorRight));
    ui.SetEnabled(MainControl::Activatetutor1, Right(TutorRight));
    ui.SetVisible(MainControl::Tutoreditor2, Right(TutorSetupRight));
    ui.SetVisible(MainControl::SpeedButton9, Right(TutorSetupRight));
    ui.SetVisible(MainControl::ImportExport, Right(ImportExportRight));
    ui.SetEnabled(MainControl::ImportExport, Right(ImportExportRight));
    ui.SetVisible(MainControl::SpeedButton11, Right(UserOverviewRight));
    ui.SetResultsUserChooser(Right(UserOverviewRight),
                             Right(UserOverviewRight) ? kResultsPanelLeft : 0);
    ui.SetExportImportUserChooserEnabled(Right(UserOverviewRight));
    ui.SetVisible(MainControl::N13, Right(RefreshRight));
    ui.SetVisible(MainControl::Refresh1, Right(RefreshRight));
    ui.SetVisible(MainControl::Midi1, Right(SettingsRight));
    ui.SetVisible(MainControl::Userinfo1, Right(SettingsRight));
    ui.SetSetupChooserFolder(m_setupFolder);
    UserRightsApplied = true;
    ui.SetWidth(MainControl::Label1, ui.Width(MainControl::Bevel1) + kLabel1Margin);
}

void PellivarkMainModel::AkkordProgress1Click(ExerciseKind kind)
{
    if (!IsKnownKind(kind))
        return;
    IMainWindowUi& ui = m_s.Ui;
    const UIStringTable& s = m_s.Strings;
    ui.SetViewEntryText(kind, MainView::Exercise, s.StrViewExercise);
    ui.SetViewEntryText(kind, MainView::ExerciseSetup, s.StrViewSetup);
    ui.SetViewEntryText(kind, MainView::Results, s.StrViewResults);
    ui.SetViewEntryText(kind, MainView::UserOverview, s.StrViewUserOverview);
    ui.SetViewEntryEnabled(kind, MainView::Exercise, true);
    ui.SetViewEntryEnabled(kind, MainView::Results, Right(ResultsRight));
    if (m_s.State.TutorActive) {
        ui.SetViewEntryEnabled(kind, MainView::ExerciseSetup, false);
        ui.SetViewEntryEnabled(kind, MainView::UserOverview, false);
    } else {
        ui.SetViewEntryEnabled(kind, MainView::ExerciseSetup, Right(SetupRight));
        ui.SetViewEntryEnabled(kind, MainView::UserOverview, Right(UserOverviewRight));
        ui.SetViewEntryVisible(kind, MainView::UserOverview, Right(UserOverviewRight));
    }
    // Only the view shown carries a tick, and only in the shown exercise's submenu.
    const bool shownKind = m_s.State.CurrentKind == kind;
    for (MainView v : {MainView::Exercise, MainView::ExerciseSetup, MainView::Results})
        ui.SetViewEntryChecked(kind, v, shownKind && m_s.State.CurrentView == v);
}

void PellivarkMainModel::SetTempoSlider()
{
    const std::optional<ExerciseKind> kind = m_s.State.CurrentKind;
    int tempo = m_s.App.ProgramSettings.DefaultTempo;
    if (kind)
        if (const RhythmSetup* rhythm = RhythmSetupOfKind(m_s.Setup.CurrentSetup, *kind))
            tempo = rhythm->Tempo;
    m_s.Ui.SetTempoPosition(tempo);
}

void PellivarkMainModel::FormShow()
{
    if (FirstShowPending)
        FirstShow();
    if (!UserRightsApplied)
        ApplyUserRights();
    m_s.Ui.HideSplash();
}

void PellivarkMainModel::FirstShow()
{
    IMainWindowUi& ui = m_s.Ui;
    DataFiles& data = m_s.Data;
    AppState& app = m_s.App;
    FirstShowPending = false;
    UserRightsApplied = false;
    // The splash stays on top of every window: left up, it would cover the name prompt, the
    // setup chooser and any message the first show asks or shows.
    ui.HideSplash();

    // The user: the first start asks the name and writes the first record.
    const bool existed = ReadUser(data, app.Users, 1, QString(), true);
    std::shared_ptr<TUserInfo>& user = app.Users.CurrentUser;
    if (!existed) {
        if (!user)
            user = std::make_shared<TUserInfo>();
        TUserRec rec = DefaultUser();
        rec.LastSetupFile = StoredPathFor(WithSlash(data.folders.ProgramFolder) +
                                          QStringLiteral("Default_level.qib"))
                                .value_or(QStringLiteral("Default_level.qib"));
        user->Record = rec;
        m_s.Settings.ApplyProgramSettings();
        user->Record.FullName =
            ui.AskUserName(m_s.Strings.StrUserNamePrompt).left(kFullNameCapacity);
        ReportDataFailure(data, WriteUser(data, user->Record), data.strings.StrUserFile,
                          data.UserFilePath());
    }
    app.SetResultUserToCurrent();
    ApplyUserRights();
    ui.AdaptButtonLook();
    ui.PumpMessages();

    m_s.Clock.ResetExerciseClock(std::nullopt);
    if (existed)
        m_s.Settings.ApplyProgramSettings();

    // The welcome line greets the user by name. A name of one part leaves a blank after it,
    // and a user without a name is greeted without one.
    if (const std::optional<QString> line = m_s.StartMenu.WelcomeLine()) {
        app.ComputeUserStatistics(data, *user, m_s.TutorTitle);
        const QString name = user->DisplayName.trimmed();
        if (!name.isEmpty())
            m_s.StartMenu.SetWelcomeLine(*line + QStringLiteral(" ") + name);
    }

    ui.ShowStartMenuMaximized();
    ui.PumpMessages();

    LoadStartSetup();
    if (!m_s.Setup.SetupLoaded)
        m_setupOps.InstallDefaultSetup();
    ui.PumpMessages();

    if (m_s.Wizard.Pending() && m_s.Wizard.Show()) {
        const std::uint16_t userId = user->Record.UserId;
        ReportDataFailure(data, SaveSettings(data, app.ProgramSettings, userId),
                          data.strings.StrSettingsFile, data.SettingsFilePath());
    }

    m_s.StartMenu.Start();
}

void PellivarkMainModel::LoadStartSetup()
{
    // A setup named on the command line is loaded and nothing else is tried, however the load
    // goes; only a regular file with the setup extension counts.
    const QString argument = m_commandLineArgument;
    if (!NamesNoFile(argument)) {
        const QFileInfo info(argument);
        const auto opened =
            OpenRegularFile(QFile::encodeName(argument), O_RDONLY, LinkRule::Follow);
        const bool setupName =
            info.suffix().compare(QStringLiteral("qib"), Qt::CaseInsensitive) == 0;
        if (opened && setupName) {
            IgnoreResult(m_setupOps.LoadExerciseSetup(info.absoluteFilePath(), false),
                         "the load shows why a setup cannot be used, and installs the default");
            return;
        }
        // The user named it to be used: passing it over without a word would leave them
        // wondering why another setup is in force.
        const QString why = !opened ? opened.Detail()
                                    : QStringLiteral("Its name does not end in \".qib\", as "
                                                     "the name of a setup file does.");
        m_s.Prompts.ShowError(
            QStringLiteral("The setup file named on the command line cannot be used:\n\n%1\n\n%2")
                .arg(QDir::toNativeSeparators(argument), why),
            m_s.Strings.StrMessageTitle);
    }
    const std::shared_ptr<TUserInfo>& user = m_s.App.Users.CurrentUser;
    const QString last = user ? ResolveStoredPath(user->Record.LastSetupFile) : QString();
    if (last.isEmpty() || !m_setupOps.LoadExerciseSetup(last, false))
        m_s.Ui.ShowSetupChooser();
}

bool PellivarkMainModel::FormCloseQuery()
{
    DataFiles& data = m_s.Data;
    // 1. The results worth keeping.
    const std::uint16_t offered = m_s.Results.KindsWithResults(kAllKinds, kMinimumToOffer);
    if (offered != 0) {
        const PromptButton answer = m_s.Prompts.AskYesNoCancel(m_s.Strings.StrSaveResultsQuery,
                                                               m_s.Strings.StrSaveResultsCaption);
        if (answer != PromptButton::Yes && answer != PromptButton::No)
            return false;
        if (answer == PromptButton::Yes) {
            if (m_s.Results.StoreResults(offered, m_s.State.TutorActive, false)) {
                m_s.Clock.ResetExerciseClock(std::nullopt);
            } else if (m_s.Prompts.AskYesNo(kCloseWithoutResults,
                                            m_s.Strings.StrSaveResultsCaption) !=
                       PromptButton::Yes) {
                // The failure has been shown; the answers stay for another try.
                return false;
            }
        }
    }

    // 2. A changed setup.
    if (!m_setupOps.AskSaveChangedSetup())
        return false;

    // 3. The user remembers the setup for the next start.
    if (const std::shared_ptr<TUserInfo>& user = m_s.App.Users.CurrentUser) {
        TUserRec& rec = user->Record;
        if (const std::optional<QString> stored = StoredPathFor(m_s.Setup.SetupFileName))
            rec.LastSetupFile = *stored;
        else
            // Cut short it would name another file, or none.
            m_s.Prompts.ShowError(
                QStringLiteral("The name of the setup file is too long to be remembered for "
                               "the next start:\n\n%1")
                    .arg(QDir::toNativeSeparators(m_s.Setup.SetupFileName)),
                m_s.Strings.StrMessageTitle);
        // A user file that cannot be written keeps no one from closing, nor the settings
        // from being stored.
        ReportDataFailure(data, WriteUser(data, rec), data.strings.StrUserFile,
                          data.UserFilePath());
    }

    // 4. The user's item tables replace a tutor's.
    if (m_s.Tutor.ItemTablesBackedUp())
        m_s.Tutor.RestoreItemTables();

    // 5. The settings.
    if (Right(SettingsRight))
        m_s.Settings.StoreProgramSettings(false);
    return true;
}

std::optional<QString> PellivarkMainModel::StoredPathFor(const QString& path) const
{
    if (path.size() <= kStoredPathCapacity)
        return path;
    for (const QString& root : {WithSlash(m_s.Data.folders.ProgramFolder), m_setupFolder,
                                WithSlash(m_s.Data.folders.DataFolder)}) {
        if (root.isEmpty() || !path.startsWith(root))
            continue;
        const QString relative = path.mid(root.size());
        if (!relative.isEmpty() && relative.size() <= kStoredPathCapacity)
            return relative;
    }
    return std::nullopt;
}

QString PellivarkMainModel::ResolveStoredPath(const QString& stored) const
{
    if (NamesNoFile(stored))
        return {};
    QString path = stored;
    path.replace(u'\\', u'/');
    if (QDir::isAbsolutePath(path))
        return path;
    const QString roots[] = {WithSlash(m_s.Data.folders.ProgramFolder), m_setupFolder,
                             WithSlash(m_s.Data.folders.DataFolder)};
    for (const QString& root : roots) {
        if (!root.isEmpty() && QFileInfo(root + path).exists())
            return root + path;
    }
    return roots[0] + path;
}

// The setup commands' view of the main window.

bool PellivarkMainModel::SetupHost::TutorActive() const
{
    return m_model.m_s.State.TutorActive;
}

bool PellivarkMainModel::SetupHost::SetupViewShown() const
{
    return m_model.m_s.State.CurrentView == MainView::ExerciseSetup;
}

std::optional<ExerciseKind> PellivarkMainModel::SetupHost::CurrentKind() const
{
    return m_model.m_s.State.CurrentKind;
}

QString PellivarkMainModel::SetupHost::SetupFolder() const
{
    return m_model.m_setupFolder;
}

bool PellivarkMainModel::SetupHost::IsShippedFile(const QString& path) const
{
    return pv::IsShippedFile(m_model.m_s.Data.folders, path);
}

void PellivarkMainModel::SetupHost::LoadSetupPage(ExerciseKind kind)
{
    m_model.m_s.Windows.LoadSetupPage(kind);
}

void PellivarkMainModel::SetupHost::StoreSetupPage(ExerciseKind kind)
{
    m_model.m_s.Windows.StoreSetupPage(kind);
}

void PellivarkMainModel::SetupHost::SetChildCaptions(const QString& caption)
{
    m_model.m_s.Windows.SetChildCaptions(caption);
}

void PellivarkMainModel::SetupHost::ApplySetupToExercise(ExerciseKind kind, bool reset)
{
    m_model.m_s.Windows.ApplySetupToExercise(kind, reset);
}

void PellivarkMainModel::SetupHost::SetTempoSlider()
{
    m_model.SetTempoSlider();
}

std::vector<ExerciseKind> PellivarkMainModel::SetupHost::KindsWithResults(int minimumAnswers)
{
    return KindsOfMask(m_model.m_s.Results.KindsWithResults(kAllKinds, minimumAnswers));
}

void PellivarkMainModel::SetupHost::StoreResults(const std::vector<ExerciseKind>& kinds)
{
    IgnoreResult(
        m_model.m_s.Results.StoreResults(MaskOfKinds(kinds), m_model.m_s.State.TutorActive, false),
        "a store shows its own failure, and the answers stay to be stored later");
}

void PellivarkMainModel::SetupHost::ResetExerciseClock(std::optional<ExerciseKind> kind)
{
    m_model.m_s.Clock.ResetExerciseClock(kind);
}

} // namespace pv
