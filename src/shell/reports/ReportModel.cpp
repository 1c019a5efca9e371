// The report's users, kinds, rows and totals, and the rules of the kind check boxes.
#include "shell/reports/ReportModel.h"

#include "music/data/ClassFile.h"
#include "music/data/ResultFiles.h"
#include "shell/results/ElapsedTime.h"
#include "shell/results/ResultsViewModel.h"

#include <algorithm>

namespace pv {

namespace {

bool MeanPercentKind(int kind)
{
    return kind >= 4 && kind <= 6;
}

std::size_t Slot(int box)
{
    return static_cast<std::size_t>(box - 1);
}

bool IsBox(int box)
{
    return box >= 1 && box <= 10;
}

} // namespace

int ReportBoxOfKind(int kind)
{
    for (std::size_t i = 0; i < kReportBoxKinds.size(); ++i) {
        if (kReportBoxKinds[i] == kind)
            return static_cast<int>(i) + 1;
    }
    return 0;
}

int ReportDays(const QString& text)
{
    bool ok = false;
    const int days = text.trimmed().toInt(&ok);
    return ok ? days : 1;
}

void ReportKindBoxes::Show(int currentKind)
{
    m_currentKind = currentKind;
    m_grayedAllowed = currentKind >= 1 && currentKind <= 10;
    if (m_grayedAllowed)
        SetAllState(AllState::Grayed);
}

void ReportKindBoxes::KindBoxClicked(int box, bool ticked)
{
    if (!IsBox(box))
        return;
    m_ticked[Slot(box)] = ticked;
    Count();
}

void ReportKindBoxes::Count()
{
    const auto ticked = std::count(m_ticked.begin(), m_ticked.end(), true);
    if (ticked == 0)
        m_all = AllState::Unchecked;
    else if (ticked == static_cast<std::ptrdiff_t>(m_ticked.size()))
        m_all = AllState::Checked;
    else
        m_all = AllState::Grayed;
}

void ReportKindBoxes::AllBoxClicked()
{
    switch (m_all) {
    case AllState::Unchecked:
        SetAllState(m_grayedAllowed ? AllState::Grayed : AllState::Checked);
        break;
    case AllState::Grayed:
        SetAllState(AllState::Checked);
        break;
    case AllState::Checked:
        SetAllState(AllState::Unchecked);
        break;
    }
}

void ReportKindBoxes::SetAllState(AllState state)
{
    m_all = state;
    if (state != AllState::Grayed) {
        m_ticked.fill(state == AllState::Checked);
        return;
    }
    const bool none = std::none_of(m_ticked.begin(), m_ticked.end(), [](bool t) { return t; });
    const int box = ReportBoxOfKind(m_currentKind);
    if (none && box != 0) {
        m_ticked[Slot(box)] = true;
        Count();
    }
}

bool ReportKindBoxes::Ticked(int box) const
{
    return IsBox(box) && m_ticked[Slot(box)];
}

std::vector<int> ReportKindBoxes::TickedBoxes() const
{
    std::vector<int> boxes;
    for (int box = 1; box <= 10; ++box) {
        if (m_ticked[Slot(box)])
            boxes.push_back(box);
    }
    return boxes;
}

ReportModel::ReportModel(ReportSources sources) : m_s(std::move(sources)) {}

std::vector<std::shared_ptr<TUserInfo>> ReportModel::ChoosableUsers() const
{
    std::vector<std::shared_ptr<TUserInfo>> users;
    const AppState& app = m_s.App;
    if (app.Users.UserList) {
        for (const auto& entry : *app.Users.UserList) {
            if (entry.Object)
                users.push_back(entry.Object);
        }
    } else if (app.ResultUser()) {
        users.push_back(app.ResultUser());
    }
    return users;
}

std::vector<TClassRec> ReportModel::ChoosableClasses()
{
    LoadClasses(m_s.Data, m_s.App.ClassList);
    std::vector<TClassRec> classes;
    for (const auto& entry : *m_s.App.ClassList) {
        if (entry.Object)
            classes.push_back(entry.Object->Record);
    }
    return classes;
}

bool ReportModel::Prepare(const ReportChoice& choice, const ReportDialogTexts& texts,
                          bool otherUsersRight, double today)
{
    DataFiles& data = m_s.Data;
    AppState& app = m_s.App;
    const UIStringTable& strings = m_s.Strings;
    m_focusUsers = false;
    Report report;
    report.Title = strings.StrReportText0;
    report.DateTitle = texts.DateTitle;
    report.TimeTitle = texts.TimeTitle;
    report.LevelTitle = texts.LevelTitle;
    report.DurationTitle = texts.DurationTitle;
    report.ScoreTitle = strings.StrScore + QStringLiteral(" /");
    report.CountTitle = strings.StrTotal;

    // 1. Whose results.
    std::vector<std::shared_ptr<TUserInfo>> users;
    const auto fromFiltered = [&app, &users] {
        if (app.Users.FilteredUsers) {
            for (const auto& entry : *app.Users.FilteredUsers) {
                if (entry.Object)
                    users.push_back(entry.Object);
            }
        }
    };
    switch (choice.Scope) {
    case ReportScope::OneUser: {
        std::shared_ptr<TUserInfo> user = otherUsersRight ? choice.User : app.ResultUser();
        if (!user) {
            if (otherUsersRight) {
                m_focusUsers = true;
                m_s.Prompts.ShowInfo(strings.StrReportMessage, strings.StrProgramTitle);
            }
            return false;
        }
        users.push_back(user);
        report.PrintClassName = true;
        report.UserCount = strings.StrReportText2 + QStringLiteral(": 1");
        break;
    }
    case ReportScope::OneClass:
        if (!choice.Class)
            return false;
        FilterUsers(app.Users, -1, choice.Class->ClassId & 0xFFFF);
        fromFiltered();
        report.ScopeText = texts.OneClass + QLatin1Char(' ') + choice.Class->Name;
        report.PrintScope = true;
        break;
    case ReportScope::AllStudents:
        FilterUsers(app.Users, 1, -1);
        fromFiltered();
        report.ScopeText = texts.AllStudents;
        report.PrintScope = true;
        report.PrintClassName = true;
        break;
    case ReportScope::AllUsers:
        if (app.Users.UserList) {
            for (const auto& entry : *app.Users.UserList) {
                if (entry.Object)
                    users.push_back(entry.Object);
            }
        }
        report.ScopeText = texts.AllUsers;
        report.PrintScope = true;
        report.PrintClassName = true;
        break;
    }
    if (choice.Scope != ReportScope::OneUser)
        report.UserCount =
            strings.StrReportText2 + QStringLiteral(": ") + QString::number(users.size());
    for (const auto& user : users) {
        if (!user->Computed)
            app.ComputeUserStatistics(data, *user, m_s.TutorTitle);
    }

    // 2. The days.
    const int days = ReportDays(choice.Days);
    const double cutoff = today - days;
    report.PastDays = texts.DaysBefore + QLatin1Char(' ') + QString::number(days) +
                      QLatin1Char(' ') + texts.DaysAfter;

    // 3. The kinds.
    std::vector<int> boxes;
    for (int box : choice.Boxes) {
        if (IsBox(box) && std::find(boxes.begin(), boxes.end(), box) == boxes.end())
            boxes.push_back(box);
    }
    std::sort(boxes.begin(), boxes.end());
    report.PrintColumnTitles = !boxes.empty();
    report.PrintPastDays = !boxes.empty();
    const bool severalKinds = boxes.size() > 1;
    if (boxes.size() == 1) {
        report.KindBandHeight = 2;
        report.KindTitle = texts.BoxCaptions[Slot(boxes.front())];
        report.PrintKindTitle = true;
    }

    for (const auto& user : users) {
        ReportUserSection section;
        section.FullName = SortName(user->Record.FullName);
        if (!user->ClassName.isEmpty())
            section.ClassName = texts.OneClass + QLatin1Char(' ') + user->ClassName;
        if (!user->TutorTitle.isEmpty())
            section.TutorName = texts.TutorLabel + QStringLiteral(": ") + user->TutorTitle;
        // Each user's file read apart, as it is now: the results held stay the shown user's.
        ResultLists results;
        LoadResults(data, results, user->Record.UserId);
        for (int box : boxes)
            section.Kinds.push_back(KindSection(results, box, texts, cutoff, severalKinds));
        report.Users.push_back(std::move(section));
    }
    m_report = std::move(report);
    return true;
}

ReportKindSection ReportModel::KindSection(ResultLists& results, int box,
                                           const ReportDialogTexts& texts, double cutoff,
                                           bool severalKinds)
{
    ReportKindSection section;
    section.Kind = kReportBoxKinds[Slot(box)];
    section.Title = texts.BoxCaptions[Slot(box)];
    // A cutoff at or before the first day means every result.
    FilterResults(results, section.Kind, cutoff > 0 ? cutoff : 0);
    const bool mean = MeanPercentKind(section.Kind);
    std::uint64_t scores = 0;
    std::uint64_t counts = 0;
    double durations = 0;
    for (const auto& entry : *results.FilteredResults) {
        const TResultRec& r = entry.Object->Record;
        ReportRow row;
        row.Date = ResultDateText(r.DateTime);
        row.Time = ResultTimeText(r.DateTime);
        row.LevelName = r.SetupName;
        row.Duration = FormatElapsedTime(true, r.Duration);
        row.Count = QString::number(r.Count);
        if (mean) {
            row.Percent = QString::number(r.Score) + QLatin1Char('%');
        } else {
            row.Score = QString::number(r.Score) + QStringLiteral(" /");
            if (r.Count != 0)
                row.Percent = QString::number(r.Score * 100 / r.Count) + QLatin1Char('%');
        }
        scores += r.Score;
        counts += r.Count;
        durations += r.Duration;
        section.Rows.push_back(std::move(row));
    }
    section.PrintTitle = severalKinds && !section.Rows.empty();
    section.PrintFooter = counts > 0;
    if (section.PrintFooter) {
        section.FooterDuration = FormatElapsedTime(true, durations);
        section.FooterCount = QString::number(counts);
        if (mean) {
            // The rows hold mean percentages: their mean, not their sum.
            section.FooterPercent =
                QString::number(scores / section.Rows.size()) + QLatin1Char('%');
        } else {
            section.FooterScore = QString::number(scores) + QStringLiteral(" /");
            section.FooterPercent = QString::number(scores * 100 / counts) + QLatin1Char('%');
        }
    }
    return section;
}

} // namespace pv
