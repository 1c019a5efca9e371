// The setup commands of the main window.
#include "exercises/setup/SetupOperations.h"

#include "exercises/setup/SetupFile.h"
#include "music/strings/UIStrings.h"

#include <QDir>
#include <QFileInfo>

namespace pv {

namespace {

// The order in which the windows take a new setup.
constexpr ExerciseKind kPushOrder[] = {
    ExerciseKind::ChordIdentification, ExerciseKind::IntervalIdentification,
    ExerciseKind::IntervalComparison,  ExerciseKind::RhythmReading,
    ExerciseKind::ChordInversions,     ExerciseKind::Scales,
    ExerciseKind::RhythmImitation,     ExerciseKind::RhythmErrorDetection,
    ExerciseKind::MelodyDictation,     ExerciseKind::ChordProgressions};

} // namespace

QString SetupOperations::CannotOpenText(const QString& fileName, const SetupFileRead& read) const
{
    // "File not found" only for a file that is not there: one refused for its permissions, a
    // folder or a pipe of that name is named with its reason, or the user looks for nothing.
    if (read.Refusal == FileRefusal::Missing)
        return m_texts.StrFileNotFound + QStringLiteral("\n\n") + fileName;
    return QStringLiteral("The setup file cannot be read:\n\n") + fileName +
           QStringLiteral("\n\n") + read.Reason;
}

SetupOperations::SetupOperations(SetupState& state, ISetupHost& host, IPrompts& prompts,
                                 const UIStringTable& texts)
    : m_state(state), m_host(host), m_prompts(prompts), m_texts(texts)
{
}

QString SetupFileFilter()
{
    return QStringLiteral("Pellivark (*.qib *.QIB)");
}

QString SetupOperations::SetupCaption(const QString& fileName)
{
    // Stored names may come from Windows, so both separators and the drive colon end a folder.
    qsizetype start = 0;
    for (qsizetype i = 0; i < fileName.size(); ++i) {
        const QChar c = fileName[i];
        if (c == u'\\' || c == u'/' || c == u':')
            start = i + 1;
    }
    const QString base = fileName.mid(start);
    const qsizetype dot = base.indexOf(u'.');
    return dot < 0 ? QString() : base.left(dot);
}

Status<SetupFileError> SetupOperations::LoadExerciseSetup(const QString& fileName, bool quiet,
                                                          const QByteArray& nativePath)
{
    if (!AskSaveChangedSetup() || fileName.isEmpty())
        return Fail(SetupFileError::Cancelled);

    Status<SetupFileError> loaded = Fail(SetupFileError::NotASetup);
    const SetupFileRead read =
        nativePath.isEmpty() ? ReadSetupFile(fileName) : ReadSetupFileAt(nativePath);
    switch (read.Status) {
    case SetupFileStatus::CannotOpen:
        if (!quiet)
            m_prompts.ShowError(CannotOpenText(fileName, read), m_texts.StrMessageTitle);
        loaded = Fail(SetupFileError::CannotOpen, read.Reason);
        m_state.SetupFileName.clear();
        m_host.SetChildCaptions(QStringLiteral(" "));
        m_state.CurrentSetup = DefaultExerciseSetup();
        PushSetupToForms(true);
        m_state.SetupLoaded = true;
        break;
    case SetupFileStatus::Invalid:
        m_prompts.ShowInfo(m_texts.StrSetupFileInvalid, m_texts.StrProgramTitle);
        break;
    case SetupFileStatus::Loaded:
    case SetupFileStatus::Converted: {
        const auto kinds = m_host.KindsWithResults(5);
        if (!kinds.empty() &&
            m_prompts.AskYesNo(m_texts.StrSaveResultsQuery, m_texts.StrSaveResultsCaption) ==
                PromptButton::Yes)
            m_host.StoreResults(kinds);
        m_host.ResetExerciseClock(std::nullopt);
        m_state.CurrentSetup = read.Setup;
        m_state.SetupFileName = fileName;
        m_host.SetChildCaptions(SetupCaption(fileName));
        loaded = {};
        PushSetupToForms(true);
        m_state.SetupLoaded = true;
        break;
    }
    }

    m_state.SavedSetup = m_state.CurrentSetup;
    m_state.SetupModified = false;
    if (m_host.SetupViewShown())
        if (const std::optional<ExerciseKind> kind = m_host.CurrentKind())
            ShowPageInSync(*kind);
    return loaded;
}

Status<SetupFileError> SetupOperations::SaveExerciseSetup(const QString& fileName)
{
    if (m_host.IsShippedFile(fileName)) {
        RefuseShippedFile(fileName);
        return Fail(SetupFileError::CannotCreate, QStringLiteral("a shipped file"));
    }
    if (m_host.SetupViewShown())
        TakeSetupFromDialog();
    StampSetupHeader(m_state.CurrentSetup);
    if (auto written = WriteSetupFile(fileName, m_state.CurrentSetup); !written) {
        m_prompts.ShowError(fileName + QStringLiteral("\n\n") + written.Detail(),
                            m_texts.StrMessageTitle);
        return written;
    }
    m_state.SetupFileName = fileName;
    m_host.SetChildCaptions(SetupCaption(fileName));
    return {};
}

Status<SetupFileError> SetupOperations::SaveSetupAs()
{
    QString folder = m_host.SetupFolder();
    if (!folder.isEmpty() && !folder.endsWith(u'/'))
        folder += u'/';
    // A shipped setup's name is not proposed: Enter would aim the save at it, or make a
    // second file of the same name in the user's folder.
    const bool ownFile =
        !m_state.SetupFileName.isEmpty() && !m_host.IsShippedFile(m_state.SetupFileName);
    QString proposed = folder + (ownFile ? QFileInfo(m_state.SetupFileName).fileName() : QString());
    QString fileName;
    for (;;) {
        const auto chosen = m_prompts.AskSaveFile(m_saveDialogTitle, proposed, SetupFileFilter());
        if (!chosen || chosen->isEmpty())
            return Fail(SetupFileError::Cancelled);
        fileName = *chosen;
        const bool typedExtension = !QFileInfo(fileName).suffix().isEmpty();
        if (!typedExtension)
            fileName += QStringLiteral(".qib");
        if (m_host.IsShippedFile(fileName)) {
            RefuseShippedFile(fileName);
            proposed = folder;
            continue;
        }
        if (typedExtension)
            break;
        // The dialog asked about the name as typed; the extension added here names another
        // file, which must not be replaced without the same question. No goes back to the
        // dialog, as the dialog's own question does.
        if (!QFileInfo::exists(fileName) ||
            m_prompts.AskYesNo(QStringLiteral("%1 already exists.\nDo you want to replace it?")
                                   .arg(QFileInfo(fileName).fileName()),
                               m_saveDialogTitle) == PromptButton::Yes)
            break;
        proposed = fileName;
    }
    if (auto saved = SaveExerciseSetup(fileName); !saved)
        return saved;
    m_state.SavedSetup = m_state.CurrentSetup;
    m_state.SetupModified = false;
    return {};
}

void SetupOperations::RefuseShippedFile(const QString& fileName)
{
    QString folder = m_host.SetupFolder();
    if (folder.endsWith(u'/') && folder.size() > 1)
        folder.chop(1);
    m_prompts.ShowError(
        QStringLiteral("%1 came with Pellivark and cannot be replaced.\n\n"
                       "Please save your setup under a name of your own in your setup "
                       "folder:\n%2")
            .arg(QDir::toNativeSeparators(fileName), QDir::toNativeSeparators(folder)),
        m_texts.StrMessageTitle);
}

bool SetupOperations::AskSaveChangedSetup()
{
    // While a tutor runs, the setup is the tutor's and never the user's to save.
    if (m_host.TutorActive())
        return true;
    if (m_host.SetupViewShown()) {
        TakeSetupFromDialog();
        // Entering the setup view takes a new snapshot, so a change made on an earlier visit
        // (or kept when the user cancelled this question before) no longer shows against it:
        // it stays a change until it is saved or another setup replaces it.
        m_state.SetupModified =
            m_state.SetupModified || SetupChanged(m_state.SavedSetup, m_state.CurrentSetup);
    }
    if (!m_state.SetupModified)
        return true;
    switch (m_prompts.AskYesNoCancel(m_texts.StrSaveSetupQuery, m_texts.StrProgramTitle)) {
    case PromptButton::Yes:
        // The user asked to keep the changes: going on after a cancelled or failed save
        // would lose them.
        return SaveSetupAs().Ok();
    case PromptButton::No:
        return true;
    default:
        return false;
    }
}

void SetupOperations::PushSetupToForms(bool reset)
{
    for (ExerciseKind kind : kPushOrder)
        m_host.ApplySetupToExercise(kind, reset);
    m_host.SetTempoSlider();
}

void SetupOperations::ShowSetupDialog(ExerciseKind kind, bool snapshot)
{
    if (snapshot) {
        m_state.SavedSetup = m_state.CurrentSetup;
        ShowPageInSync(kind);
        return;
    }
    // A damaged kind byte selects no page.
    if (!IsKnownKind(kind))
        return;
    // Another kind's page shown inside the setup view gives back its fixed bytes too. While
    // nothing is changed yet, the saved setup takes them, so that only looking at the pages
    // never counts as a change; once something is, the question comes anyway.
    const bool changed = SetupChanged(m_state.SavedSetup, m_state.CurrentSetup);
    m_host.LoadSetupPage(kind);
    m_host.StoreSetupPage(kind);
    if (!changed)
        m_state.SavedSetup = m_state.CurrentSetup;
}

void SetupOperations::ShowPageInSync(ExerciseKind kind)
{
    if (!IsKnownKind(kind))
        return;
    m_host.LoadSetupPage(kind);
    // The page stores some bytes as fixed values (the answer-input lock, for one): the setup it
    // gives back may differ from the one it was shown without the user having changed
    // anything, and that difference must not be taken for the user's change.
    m_host.StoreSetupPage(kind);
    m_state.SavedSetup = m_state.CurrentSetup;
}

void SetupOperations::TakeSetupFromDialog()
{
    if (const std::optional<ExerciseKind> kind = m_host.CurrentKind())
        m_host.StoreSetupPage(*kind);
}

void SetupOperations::InstallDefaultSetup()
{
    m_state.CurrentSetup = DefaultExerciseSetup();
    m_state.SavedSetup = m_state.CurrentSetup;
    m_state.SetupModified = false;
    m_host.SetChildCaptions(QStringLiteral(" "));
    PushSetupToForms(true);
}

} // namespace pv
