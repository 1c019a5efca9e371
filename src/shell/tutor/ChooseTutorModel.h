// The tutor chooser's rules: the default tutor by language, a row with a step per exercise
// kind the tutor teaches, and the choice stored in the user's record.
#pragma once

#include "music/data/DataError.h"
#include "music/data/DataFiles.h"
#include "shell/state/AppState.h"
#include "shell/tutor/TTutorDefine.h"

#include <array>
#include <optional>

#include <QString>

namespace pv {

/// The stored name of "no tutor".
inline const QString kNoTutorName = QStringLiteral("\\");
/// The longest tutor name the user record keeps whole.
inline constexpr qsizetype kTutorFileNameCapacity = 151;
/// The height of one kind's row.
inline constexpr int kTutorRowHeight = 34;

/// The tutor a user without one starts with, from the tutors of programFolder: the one named
/// after the language, then Norwegian users get the Danish tutor and Finnish users the Swedish
/// one, else the first; names match ignoring case. The file's name as it is on disk; nothing
/// when the folder holds no tutor at all.
std::optional<QString> DefaultTutorName(const QString& programFolder, const QString& language);

/// One kind's row.
struct ChooseTutorRow
{
    bool Visible = false;
    int Top = 0;      ///< within the rows panel
    int Maximum = 1;  ///< the kind's step count (1 while it has none)
    int Position = 1; ///< the chosen step, 1..Maximum
};

/// Where the dialog's parts go for a screen of a given height.
struct ChooseTutorGeometry
{
    int ClientHeight = 0;
    bool ScrollBarVisible = false;
    int ScrollMaximum = 0;
    int ScrollBarHeight = 0;
    int RowsLeft = 0;
    int Top = 0; ///< of the dialog on the screen
};

/// The dialog fits the screen with its rows, else it takes the screen's height less 2 and the
/// rows scroll by as much as they lack.
ChooseTutorGeometry ChooseTutorLayout(int topPanelHeight, int rowsHeight, int buttonPanelHeight,
                                      int screenHeight);

/// The modal results.
inline constexpr int kTutorChosen = 1;
inline constexpr int kNoTutorChosen = 2;

/// Why a tutor cannot be taken.
enum class ChooseTutorError : int
{
    Unreadable = 1,  ///< the file cannot be read as a tutor (the detail says why)
    NameTooLong = 2, ///< its name does not fit the user record
    NoSteps = 3      ///< it has no step for any exercise
};

/// The message for a tutor (title, file) that has no step for any exercise.
QString TutorWithoutStepsText(const QString& title, const QString& path);

class ChooseTutorModel
{
public:
    /// Works on app's `ResultUser` (the caller makes the current user that first) and loads
    /// into tutor.
    ChooseTutorModel(AppState& app, DataFiles& data, TTutorDefine& tutor,
                     const UIStringTable& strings);

    /// Prepares a showing: the user's tutor and steps, or the default tutor for a user without
    /// one. A tutor that cannot be read, or has no steps, leaves no tutor loaded.
    void Show();
    /// The tutor of path (as the tutor list gives it) replaces the loaded one; on failure (a
    /// tutor without steps included) the loaded tutor and the choice stay.
    Status<ChooseTutorError> ChooseFile(const QString& path);
    /// Chooses to work without a tutor.
    void ChooseNoTutor();
    /// Every kind's step back to 1.
    void ResetSteps();
    /// A track bar moved; the step is kept within the kind's steps.
    void SetPosition(ExerciseKind kind, int position);
    /// Gives up the choice: a tutor loaded or dropped by this showing gives way to the user's
    /// own again, so the tutor in force is the one the record names.
    void Cancel();
    /// Stores the steps (and a changed tutor) in the user's record and file and refreshes the
    /// current user from the file; the modal result, or why nothing could be stored.
    Result<int, DataError> Ok();

    const QString& Caption() const { return m_caption; }
    /// The tutor's title and author in double quotes; empty when there is none.
    QString TitleText() const;
    QString AuthorText() const;
    const ChooseTutorRow& Row(ExerciseKind kind) const;
    /// The height of the visible rows.
    int RowsHeight() const { return m_rowsHeight; }
    /// The tutor as the user record will name it: empty when none is chosen, "\" for none.
    const QString& ChosenPath() const { return m_chosenPath; }
    /// This showing loaded another tutor or chose none.
    bool TutorChanged() const { return m_changed; }

private:
    void ShowTutor();
    /// Loads the tutor the user's record names; none when it names none, cannot be read or has
    /// no steps.
    void LoadUsersTutor(const QString& stored);
    /// Loads the tutor of name when it can be read and has steps; else says why, and the
    /// loaded tutor stays.
    Status<ChooseTutorError> LoadChoosable(const QString& name);
    /// The name stored for path: a tutor of the program folder by its bare name.
    QString StoredName(const QString& path) const;

    AppState& m_app;
    DataFiles& m_data;
    TTutorDefine& m_tutor;
    const UIStringTable& m_strings;
    QString m_caption;
    QString m_chosenPath;
    bool m_changed = false;
    std::array<ChooseTutorRow, 10> m_rows{};
    int m_rowsHeight = 0;
};

} // namespace pv
