// The reports dialog without its window: the kind check boxes' rules, and the report of the
// chosen users, kinds and days as sections of texts that the page layout places.
#pragma once

#include "music/data/UserFile.h"
#include "shell/state/AppState.h"

#include <array>
#include <memory>
#include <optional>
#include <vector>

#include <QString>

namespace pv {

/// Whose results the report holds.
enum class ReportScope
{
    OneUser,
    OneClass,
    AllStudents,
    AllUsers,
};

/// The exercise kind of check box 1..10 (index 0 = box 1): the boxes stand in a fixed order.
inline constexpr std::array<int, 10> kReportBoxKinds = {3, 2, 1, 7, 10, 8, 5, 4, 6, 9};
/// The box 1..10 of kind 1..10; 0 for anything else.
int ReportBoxOfKind(int kind);

/// The ten kind check boxes and the three-state box that ticks them all.
class ReportKindBoxes
{
public:
    enum class AllState
    {
        Unchecked,
        Grayed,
        Checked,
    };

    /// The dialog is shown while kind (0: none) is the current exercise: with a kind the
    /// "all" box may be grayed, is set so, and its rule runs (which ticks that kind's box
    /// when none is ticked).
    void Show(int currentKind);
    /// Box 1..10 was ticked or cleared by the user.
    void KindBoxClicked(int box, bool ticked);
    /// The user clicked the "all" box: it moves on as a check box does (unchecked, then
    /// grayed when that is allowed, then checked) and its rule runs.
    void AllBoxClicked();
    /// The "all" box took state (by the user or the dialog): a plain state goes to every kind
    /// box; grayed with none ticked ticks the current kind's box.
    void SetAllState(AllState state);

    bool Ticked(int box) const;
    AllState All() const { return m_all; }
    bool GrayedAllowed() const { return m_grayedAllowed; }
    /// The ticked boxes in box order.
    std::vector<int> TickedBoxes() const;

private:
    void Count();

    std::array<bool, 10> m_ticked{};
    AllState m_all = AllState::Unchecked;
    bool m_grayedAllowed = false;
    int m_currentKind = 0;
};

/// The captions a report takes from its dialog and the main window.
struct ReportDialogTexts
{
    QString OneClass;    ///< the one-class button's caption
    QString AllStudents; ///< the all-students button's caption
    QString AllUsers;    ///< the all-users button's caption
    QString DaysBefore;  ///< the labels before and after the number of days
    QString DaysAfter;
    std::array<QString, 10> BoxCaptions; ///< box 1..10 (index 0 = box 1)
    QString TutorLabel;                  ///< the main window's tutor label
    /// The results view's titles of the date, time, level name and duration columns.
    QString DateTitle;
    QString TimeTitle;
    QString LevelTitle;
    QString DurationTitle;
};

/// What the dialog's controls hold.
struct ReportChoice
{
    ReportScope Scope = ReportScope::OneUser;
    std::shared_ptr<TUserInfo> User; ///< chosen in the user list (with the right to)
    std::optional<TClassRec> Class;  ///< chosen in the class list
    QString Days;                    ///< the past-days text
    std::vector<int> Boxes;          ///< the ticked boxes, in box order
};

struct ReportRow
{
    QString Date;
    QString Time;
    QString LevelName;
    QString Duration;
    QString Count;
    QString Score;   ///< right answers and " /"; empty for mean-percent kinds
    QString Percent; ///< with "%"; empty when nothing was asked
};

struct ReportKindSection
{
    int Kind = 0;
    QString Title;
    /// The kind's heading prints when more than one kind is chosen and it has results.
    bool PrintTitle = false;
    std::vector<ReportRow> Rows;
    bool PrintFooter = false; ///< some question was asked
    QString FooterScore;
    QString FooterCount;
    QString FooterPercent;
    QString FooterDuration;
};

struct ReportUserSection
{
    QString FullName;  ///< family part, a comma, given part
    QString ClassName; ///< empty without a class
    QString TutorName; ///< empty without a tutor
    std::vector<ReportKindSection> Kinds;
};

/// A prepared report.
struct Report
{
    QString Title;
    QString ScopeText;
    bool PrintScope = false;
    QString KindTitle; ///< the one kind chosen
    bool PrintKindTitle = false;
    QString UserCount;
    QString PastDays;
    bool PrintPastDays = false;
    bool PrintColumnTitles = false;
    bool PrintClassName = false;
    /// The report's heights of the kind band (report units): 2 with one kind, else 8.5.
    double KindBandHeight = 8.5;
    QString DateTitle;
    QString TimeTitle;
    QString LevelTitle;
    QString DurationTitle;
    QString ScoreTitle; ///< over the right answers
    QString CountTitle; ///< over the questions
    std::vector<ReportUserSection> Users;
};

/// What the reports read: the users, classes and results, the texts and the box
/// that refuses a report without a user.
struct ReportSources
{
    DataFiles& Data;
    AppState& App; ///< the users, the user shown and the classes
    const UIStringTable& Strings;
    IPrompts& Prompts;
    TutorTitleOf TutorTitle;
};

class ReportModel
{
public:
    explicit ReportModel(ReportSources sources);

    /// Fills the report from the choice, with results from today - days (midnight) on.
    /// False when the one-user scope has no user chosen (only with the right to choose; the
    /// message says so and FocusUserChoice is set) or the one-class scope no class.
    bool Prepare(const ReportChoice& choice, const ReportDialogTexts& texts, bool otherUsersRight,
                 double today);
    const Report& Prepared() const { return m_report; }
    bool FocusUserChoice() const { return m_focusUsers; }

    /// The users the user list offers: `UserList` when it exists, else the user shown.
    std::vector<std::shared_ptr<TUserInfo>> ChoosableUsers() const;
    /// The classes the class list offers.
    std::vector<TClassRec> ChoosableClasses();

    ReportKindBoxes Boxes;

private:
    ReportKindSection KindSection(ResultLists& results, int box, const ReportDialogTexts& texts,
                                  double cutoff, bool severalKinds);

    ReportSources m_s;
    Report m_report;
    bool m_focusUsers = false;
};

/// The number of past days a text gives: its whole number, or 1 when it is none.
int ReportDays(const QString& text);

} // namespace pv
