// The setup commands of the main window.
#include "exercises/setup/SetupOperations.h"

#include "exercises/setup/SetupFile.h"
#include "music/strings/UIStrings.h"

#include <QFileInfo>

namespace pv {

SetupOperations::SetupOperations(SetupState& state, ISetupHost& host, IPrompts& prompts)
    : m_state(state), m_host(host), m_prompts(prompts)
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

bool SetupOperations::LoadExerciseSetup(const QString& fileName, bool quiet)
{
    if (!AskSaveChangedSetup() || fileName.isEmpty())
        return false;

    bool loaded = false;
    const SetupFileRead read = ReadSetupFile(fileName);
    switch (read.Status) {
    case SetupFileStatus::CannotOpen:
        if (!quiet)
            m_prompts.ShowError(UIStrings.StrFileNotFound + QStringLiteral("\n\n") + fileName,
                                UIStrings.StrMessageTitle);
        m_state.SetupFileName.clear();
        m_host.SetChildCaptions(QStringLiteral(" "));
        m_state.CurrentSetup = DefaultExerciseSetup();
        PushSetupToForms(true);
        m_state.SetupLoaded = true;
        break;
    case SetupFileStatus::Invalid:
        m_prompts.ShowInfo(UIStrings.StrSetupFileInvalid, UIStrings.StrProgramTitle);
        break;
    case SetupFileStatus::Loaded:
    case SetupFileStatus::Converted: {
        const auto kinds = m_host.KindsWithResults(5);
        if (!kinds.empty() &&
            m_prompts.AskYesNo(UIStrings.StrSaveResultsQuery, UIStrings.StrSaveResultsCaption) ==
                PromptButton::Yes)
            m_host.StoreResults(kinds);
        m_host.ResetExerciseClock(0);
        m_state.CurrentSetup = read.Setup;
        m_state.SetupFileName = fileName;
        m_host.SetChildCaptions(SetupCaption(fileName));
        loaded = true;
        PushSetupToForms(true);
        m_state.SetupLoaded = true;
        break;
    }
    }

    m_state.SavedSetup = m_state.CurrentSetup;
    m_state.SetupModified = false;
    if (m_host.SetupViewShown())
        ShowSetupDialog(m_host.CurrentKind(), false);
    return loaded;
}

bool SetupOperations::SaveExerciseSetup(const QString& fileName)
{
    if (m_host.SetupViewShown())
        TakeSetupFromDialog();
    StampSetupHeader(m_state.CurrentSetup);
    if (const auto written = WriteSetupFile(fileName, m_state.CurrentSetup); !written) {
        m_prompts.ShowError(fileName + QStringLiteral("\n\n") + written.Detail(),
                            UIStrings.StrMessageTitle);
        return false;
    }
    m_state.SetupFileName = fileName;
    m_host.SetChildCaptions(SetupCaption(fileName));
    return true;
}

bool SetupOperations::SaveSetupAs()
{
    QString folder = m_host.SetupFolder();
    if (!folder.isEmpty() && !folder.endsWith(u'/'))
        folder += u'/';
    const QString proposed = folder + QFileInfo(m_state.SetupFileName).fileName();
    const auto chosen = m_prompts.AskSaveFile(m_saveDialogTitle, proposed, SetupFileFilter());
    if (!chosen || chosen->isEmpty())
        return false;
    QString fileName = *chosen;
    if (QFileInfo(fileName).suffix().isEmpty())
        fileName += QStringLiteral(".qib");
    if (!SaveExerciseSetup(fileName))
        return false;
    m_state.SavedSetup = m_state.CurrentSetup;
    m_state.SetupModified = false;
    return true;
}

bool SetupOperations::AskSaveChangedSetup()
{
    // While a tutor runs, the setup is the tutor's and never the user's to save.
    if (m_host.TutorActive())
        return true;
    if (m_host.SetupViewShown()) {
        TakeSetupFromDialog();
        m_state.SetupModified = SetupChanged(m_state.SavedSetup, m_state.CurrentSetup);
    }
    if (!m_state.SetupModified)
        return true;
    switch (m_prompts.AskYesNoCancel(UIStrings.StrSaveSetupQuery, UIStrings.StrProgramTitle)) {
    case PromptButton::Yes:
        // The user asked to keep the changes: going on after a cancelled or failed save
        // would lose them.
        return SaveSetupAs();
    case PromptButton::No:
        return true;
    default:
        return false;
    }
}

void SetupOperations::PushSetupToForms(bool reset)
{
    static constexpr ExerciseKind kOrder[] = {1, 2, 3, 5, 7, 8, 4, 6, 9, 10};
    for (ExerciseKind kind : kOrder)
        m_host.ApplySetupToExercise(kind, reset);
    m_host.SetTempoSlider();
}

void SetupOperations::ShowSetupDialog(ExerciseKind kind, bool snapshot)
{
    if (snapshot)
        m_state.SavedSetup = m_state.CurrentSetup;
    if (IsExerciseKind(kind))
        m_host.LoadSetupPage(kind);
}

void SetupOperations::TakeSetupFromDialog()
{
    const ExerciseKind kind = m_host.CurrentKind();
    if (IsExerciseKind(kind))
        m_host.StoreSetupPage(kind);
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
