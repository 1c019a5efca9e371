// The main window's setup commands without the window: load, save, save as, the question
// whether to save a changed setup, and handing the setup to the exercise windows and pages.
#pragma once

#include "exercises/setup/ExerciseSetup.h"
#include "exercises/setup/SetupFile.h"
#include "music/base/Prompts.h"
#include "music/base/Result.h"

#include <optional>
#include <vector>

#include <QByteArray>
#include <QString>

namespace pv {

struct UIStringTable;

/// The setup state the main window holds.
struct SetupState
{
    ExerciseSetup CurrentSetup = DefaultExerciseSetup(); ///< the setup in force
    ExerciseSetup SavedSetup = DefaultExerciseSetup();   ///< as last loaded, saved or shown
    QString SetupFileName;      ///< the loaded setup's file name, whole; empty when none
    bool SetupModified = false; ///< the setup differs from `SavedSetup`
    bool SetupLoaded = false;   ///< some setup has been installed since start-up
};

/// What the setup commands need of the main window.
class ISetupHost
{
public:
    virtual ~ISetupHost() = default;
    virtual bool TutorActive() const = 0;
    /// The exercise setup view is shown (`CurrentView` 2).
    virtual bool SetupViewShown() const = 0;
    /// The exercise shown; nothing on the start menu.
    virtual std::optional<ExerciseKind> CurrentKind() const = 0;
    /// The folder the save dialog opens in: the user's own.
    virtual QString SetupFolder() const = 0;
    /// The file came with the program (a shipped setup): it is never written.
    virtual bool IsShippedFile(const QString& path) const = 0;
    /// The kind's setup page fills itself from `CurrentSetup`.
    virtual void LoadSetupPage(ExerciseKind kind) = 0;
    /// The kind's setup page writes itself back into `CurrentSetup`.
    virtual void StoreSetupPage(ExerciseKind kind) = 0;
    virtual void SetChildCaptions(const QString& caption) = 0;
    /// The kind's exercise window takes `CurrentSetup`; reset also clears its counters.
    virtual void ApplySetupToExercise(ExerciseKind kind, bool reset) = 0;
    virtual void SetTempoSlider() = 0;
    /// The kinds whose counters hold at least minimumAnswers answers.
    virtual std::vector<ExerciseKind> KindsWithResults(int minimumAnswers) = 0;
    virtual void StoreResults(const std::vector<ExerciseKind>& kinds) = 0;
    /// Clears the exercise time and the counters of a kind, or of all kinds.
    virtual void ResetExerciseClock(std::optional<ExerciseKind> kind) = 0;
};

class SetupOperations
{
public:
    /// texts: the interface strings of the messages, held for the commands' lifetime.
    SetupOperations(SetupState& state, ISetupHost& host, IPrompts& prompts,
                    const UIStringTable& texts);

    /// Reads a setup file into `CurrentSetup`; succeeds only when one was read and installed. A
    /// file that does not open installs the default setup (with a message unless quiet); a
    /// damaged or foreign file is refused with a message and installs nothing; Cancelled when
    /// the question about the changed setup stopped the load or no name was given.
    /// nativePath: the file as the system spells it, where fileName cannot say it exactly (a
    /// name that is not valid UTF-8); empty: fileName's own.
    Status<SetupFileError> LoadExerciseSetup(const QString& fileName, bool quiet,
                                             const QByteArray& nativePath = {});
    /// Takes the open page back, stamps the header and writes `CurrentSetup`; on success the
    /// name and captions follow the file. A failed write shows why and changes nothing else;
    /// a shipped file is refused with a message (CannotCreate) and left as it is.
    Status<SetupFileError> SaveExerciseSetup(const QString& fileName);
    /// "Save setup...": asks for a name in the user's setup folder and saves. The name of the
    /// setup in force is proposed unless it is a shipped one. A name typed without an
    /// extension gets ".qib", and when that file exists the user is asked before it is replaced
    /// (No opens the dialog again); a shipped file is refused with a message and the dialog
    /// opens again. Cancelled when the user gave up.
    Status<SetupFileError> SaveSetupAs();
    /// Offers to save a changed setup; false means the caller must not go on (cancelled, or
    /// the user chose to save and the save did not happen).
    bool AskSaveChangedSetup();
    /// Gives `CurrentSetup` to the ten exercise windows, then sets the tempo slider.
    void PushSetupToForms(bool reset);
    /// Fills the page of a kind; with snapshot the setup as the page leaves it becomes the
    /// saved setup.
    void ShowSetupDialog(ExerciseKind kind, bool snapshot);
    void TakeSetupFromDialog();
    /// The built-in setup as current and saved setup, with no file name (start-up fallback).
    void InstallDefaultSetup();

    void SetSaveDialogTitle(const QString& title) { m_saveDialogTitle = title; }

    /// The caption of the exercise windows for a setup file: the name without its folder, up
    /// to its first "."; empty when it has none.
    static QString SetupCaption(const QString& fileName);

private:
    /// Loads the page, takes it straight back and makes the result the saved setup.
    void ShowPageInSync(ExerciseKind kind);

    void RefuseShippedFile(const QString& fileName);
    QString CannotOpenText(const QString& fileName, const SetupFileRead& read) const;

    SetupState& m_state;
    ISetupHost& m_host;
    IPrompts& m_prompts;
    const UIStringTable& m_texts;
    QString m_saveDialogTitle = QStringLiteral("Save Exercise Setup");
};

/// The file-dialog filter of setup files.
QString SetupFileFilter();

} // namespace pv
