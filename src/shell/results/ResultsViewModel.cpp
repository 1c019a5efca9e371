// The results view's rows, columns, cells and header.
#include "shell/results/ResultsViewModel.h"

#include "exercises/progressions/ProgressionNaming.h"
#include "music/data/ResultFiles.h"
#include "music/files/DaysSince1899.h"
#include "shell/results/ElapsedTime.h"

#include <algorithm>

#include <QLocale>

namespace pv {

namespace {

constexpr int kEntryItemCounts = static_cast<int>(ResultColumnKind::ItemCounts);
constexpr int kEntryItems = static_cast<int>(ResultColumnKind::Items);
/// Widths from the settings record are bounded so a damaged record gives a usable grid.
constexpr int kMinColumnWidth = 8;
constexpr int kMaxColumnWidth = 4000;
/// What the counts switch adds to every item column.
constexpr int kCountsWidth = 60;

bool MeanPercentKind(int kind)
{
    return kind >= 4 && kind <= 6;
}

std::size_t Index(int number)
{
    return static_cast<std::size_t>(number);
}

ResultRow RowOf(const TResultRec& r)
{
    return ResultRow{r.UserId,    r.DateTime, r.Duration, r.AnswerTimeSum, r.SetupName,
                     r.TutorStep, r.Score,    r.Count,    r.Items};
}

} // namespace

bool KindHasItemColumns(int kind)
{
    return kind == 1 || kind == 2 || kind == 7 || kind == 8 || kind == 10;
}

HeaderStripPlaces LayOutHeaderStrip(const HeaderStripWidths& w)
{
    HeaderStripPlaces p;
    p.Period = w.Start;
    p.Bevel1 = p.Period + w.Period + 10;
    p.ExerciseTimeCaption = p.Bevel1 + 12;
    p.ExerciseTime = p.ExerciseTimeCaption + w.ExerciseTimeCaption + 4;
    p.Bevel2 = p.ExerciseTime + w.ExerciseTime + 10;
    p.ScoreCaption = p.Bevel2 + 12;
    p.ScoreBar = p.ScoreCaption + w.ScoreCaption + 1;
    p.Bevel3 = p.ScoreBar + w.ScoreBar + 10;
    p.AnswerTimeCaption = p.Bevel3 + 12;
    p.AnswerTime = p.AnswerTimeCaption + w.AnswerTimeCaption + 4;
    return p;
}

ScoreCellPlan PlanScoreCell(int kind, std::uint16_t right, std::uint16_t asked, bool withText,
                            CellBox box, const std::function<int(const QString&)>& textWidth)
{
    ScoreCellPlan plan;
    QString text;
    if (MeanPercentKind(kind)) {
        plan.Percent = right;
        text = QString::number(asked);
        plan.TextLeft = box.Left + 31;
    } else {
        plan.Percent = asked == 0 ? 100 : right * 100 / asked;
        const QString before = QString::number(right) + QLatin1Char('/');
        text = before + QString::number(asked);
        // The slashes of a column line up.
        plan.TextLeft = box.Left + 31 - (textWidth ? textWidth(before) : 0);
    }
    int left = box.Left;
    if (withText) {
        plan.ShowText = true;
        plan.Text = text;
        left += 60;
    } else {
        left += 3;
    }
    if (left + 30 > box.Right)
        return plan;
    plan.ShowBox = true;
    plan.Box = CellBox{left, box.Top + 2, box.Right - 3, box.Bottom - 2};
    if (asked != 0) {
        plan.ShowBar = true;
        // A damaged record may claim more right answers than questions: the bar stays inside.
        const int shown = std::clamp(plan.Percent, 0, 100);
        plan.BarRight = plan.Box.Left + (plan.Box.Right - plan.Box.Left) * shown / 100;
        plan.PercentText = QString::number(plan.Percent) + QLatin1Char('%');
    }
    return plan;
}

QString ResultDateText(double dateTime)
{
    return QLocale::system().toString(FromDaysSince1899(dateTime).date(), QLocale::ShortFormat);
}

QString ResultTimeText(double dateTime)
{
    return QLocale::system().toString(FromDaysSince1899(dateTime).time(), QLocale::ShortFormat);
}

ResultsViewModel::ResultsViewModel(ResultsViewSources sources) : m_s(std::move(sources))
{
    for (int i = 0; i < kResultColumnCount; ++i)
        m_table[Index(i)] = ResultColumn{i != kEntryItemCounts, 150};
}

void ResultsViewModel::SetColumn(int index, const ResultColumn& column)
{
    if (index >= 0 && index < kResultColumnCount)
        m_table[Index(index)] = column;
}

ResultColumn ResultsViewModel::Column(int index) const
{
    if (index < 0 || index >= kResultColumnCount)
        return {};
    return m_table[Index(index)];
}

void ResultsViewModel::SetTitle(int index, const QString& title)
{
    if (index >= 0 && index < kBaseResultColumns)
        m_titles[Index(index)] = title;
}

QString ResultsViewModel::Title(int index) const
{
    if (index < 0 || index >= kBaseResultColumns)
        return {};
    return m_titles[Index(index)];
}

void ResultsViewModel::Fill(int kind, double fromDate)
{
    if (kind > 0 && kind <= 10)
        m_kind = kind;
    if (fromDate >= 0)
        m_fromDate = fromDate;
    m_rows.clear();
    AppState& app = m_s.App;
    if (const std::shared_ptr<TUserInfo>& shown = app.ResultUser()) {
        const std::uint16_t id = shown->Record.UserId;
        // Read when the results held are not the shown user's (the state lets go of any other
        // user's), and when none are held yet: another copy of the program may have stored
        // some since they were read.
        if (const ResultEntries* held = app.HeldResults(); held && held->empty())
            app.ReloadResults(m_s.Data);
        ResultEntries& filtered = app.FilterResults(m_s.Data, m_kind, m_fromDate);
        m_rows.reserve(filtered.size() + 1);
        for (const auto& entry : filtered)
            m_rows.push_back(RowOf(entry.Object->Record));
        const TResultRec& running = m_s.RunningResults[Index(m_kind - 1)].Record;
        const std::shared_ptr<TUserInfo>& current = app.Users.CurrentUser;
        if (current && current->Record.UserId == id && running.Count > 0) {
            filtered.push_back({ResultKey(m_kind, running.DateTime),
                                std::make_shared<TResultInfo>(TResultInfo{running})});
            m_rows.push_back(RowOf(running));
        }
    }
    SetColumns();
}

void ResultsViewModel::SetColumns()
{
    m_columnKinds.clear();
    for (int i = 0; i < kBaseResultColumns; ++i) {
        const bool always = i == static_cast<int>(ResultColumnKind::Date) ||
                            i == static_cast<int>(ResultColumnKind::TotalResult);
        if (always || m_table[Index(i)].Shown)
            m_columnKinds.push_back(i);
    }
    if (!m_table[Index(kEntryItems)].Shown || !KindHasItemColumns(m_kind))
        return;
    std::array<bool, 60> asked{};
    for (const ResultRow& row : m_rows) {
        for (std::size_t n = 0; n < asked.size(); ++n)
            asked[n] = asked[n] || row.Items[n].Asked != 0;
    }
    for (std::size_t n = 0; n < asked.size(); ++n) {
        if (asked[n])
            m_columnKinds.push_back(kItemColumnBase + static_cast<int>(n) + 1);
    }
}

void ResultsViewModel::ToggleClick(const ResultToggleStates& down)
{
    const bool countsChanged = down.Counts != m_table[Index(kEntryItemCounts)].Shown;
    m_table[Index(static_cast<int>(ResultColumnKind::Date))].Shown = true;
    m_table[Index(static_cast<int>(ResultColumnKind::Time))].Shown = down.Time;
    m_table[Index(static_cast<int>(ResultColumnKind::Duration))].Shown = down.Duration;
    m_table[Index(static_cast<int>(ResultColumnKind::AnswerTime))].Shown = down.AnswerTime;
    m_table[Index(static_cast<int>(ResultColumnKind::LevelName))].Shown = down.LevelName;
    m_table[Index(static_cast<int>(ResultColumnKind::TotalResult))].Shown = true;
    m_table[Index(kEntryItemCounts)].Shown = down.Counts;
    m_table[Index(kEntryItems)].Shown = down.Details;
    if (countsChanged)
        m_table[Index(kEntryItems)].Width += down.Counts ? kCountsWidth : -kCountsWidth;
    SetColumns();
}

ResultToggles ResultsViewModel::Toggles() const
{
    ResultToggles toggles;
    toggles.Down.Time = m_table[Index(static_cast<int>(ResultColumnKind::Time))].Shown;
    toggles.Down.Duration = m_table[Index(static_cast<int>(ResultColumnKind::Duration))].Shown;
    toggles.Down.AnswerTime = m_table[Index(static_cast<int>(ResultColumnKind::AnswerTime))].Shown;
    toggles.Down.LevelName = m_table[Index(static_cast<int>(ResultColumnKind::LevelName))].Shown;
    toggles.Down.Details = m_table[Index(kEntryItems)].Shown;
    toggles.Down.Counts = m_table[Index(kEntryItemCounts)].Shown;
    toggles.DetailsVisible = KindHasItemColumns(m_kind);
    toggles.CountsVisible = toggles.DetailsVisible;
    toggles.CountsEnabled = toggles.Down.Details;
    return toggles;
}

void ResultsViewModel::ColumnsResized(const std::vector<int>& widths)
{
    bool itemWidthTaken = false;
    const std::size_t count = std::min(widths.size(), m_columnKinds.size());
    for (std::size_t c = 0; c < count; ++c) {
        const int kind = m_columnKinds[c];
        if (kind < kBaseResultColumns) {
            m_table[Index(kind)].Width = widths[c];
        } else if (!itemWidthTaken && widths[c] != m_table[Index(kEntryItems)].Width) {
            m_table[Index(kEntryItems)].Width = widths[c];
            itemWidthTaken = true;
        }
    }
}

int ResultsViewModel::RowCount() const
{
    return std::max(2, static_cast<int>(m_rows.size()) + 1);
}

int ResultsViewModel::ColumnKindAt(int column) const
{
    if (column < 0 || column >= ColumnCount())
        return -1;
    return m_columnKinds[Index(column)];
}

int ResultsViewModel::ColumnWidth(int column) const
{
    const int kind = ColumnKindAt(column);
    if (kind < 0)
        return 0;
    const int width =
        kind < kBaseResultColumns ? m_table[Index(kind)].Width : m_table[Index(kEntryItems)].Width;
    return std::clamp(width, kMinColumnWidth, kMaxColumnWidth);
}

QString ResultsViewModel::ColumnTitle(int column) const
{
    const int kind = ColumnKindAt(column);
    if (kind < 0)
        return {};
    if (kind < kBaseResultColumns)
        return m_titles[Index(kind)];
    const int item = kind - kItemColumnBase;
    if (m_kind == 10) {
        const std::vector<ProgressionChord> chords = m_s.Items.ProgressionChords(item);
        return ProgressionName(chords, static_cast<int>(chords.size()));
    }
    if (const std::optional<ExerciseKind> k = KindFromNumber(m_kind)) {
        if (const ItemTable* table = TableOfKind(m_s.Items, *k))
            return table->Name(item);
    }
    return {};
}

ResultCell ResultsViewModel::Cell(int row, int column) const
{
    ResultCell cell;
    const int kind = ColumnKindAt(column);
    if (row < 1 || row > static_cast<int>(m_rows.size()) || kind < 0)
        return cell;
    const ResultRow& r = m_rows[Index(row - 1)];
    switch (kind) {
    case static_cast<int>(ResultColumnKind::Date):
        // A running result holds only its time of day.
        cell.Text = r.DateTime < 1.0 ? m_s.Strings.StrResultsText : ResultDateText(r.DateTime);
        break;
    case static_cast<int>(ResultColumnKind::Time):
        cell.Text = ResultTimeText(r.DateTime);
        break;
    case static_cast<int>(ResultColumnKind::Duration):
        cell.Text = FormatElapsedTime(true, r.Duration);
        break;
    case static_cast<int>(ResultColumnKind::AnswerTime):
        cell.Text = FormatElapsedTime(true, r.AnswerTimeSum);
        break;
    case static_cast<int>(ResultColumnKind::LevelName):
        cell.Text = r.TutorStep > 0
                        ? QString::number(r.TutorStep) + QStringLiteral(" - ") + r.SetupName
                        : r.SetupName;
        break;
    case static_cast<int>(ResultColumnKind::TotalResult):
        cell.IsScore = true;
        cell.Right = r.Score;
        cell.Asked = r.Count;
        break;
    default: {
        const ItemScore& item = r.Items[Index(kind - kItemColumnBase - 1)];
        cell.IsScore = true;
        cell.Right = item.Right;
        cell.Asked = item.Asked;
        cell.WithText = m_table[Index(kEntryItemCounts)].Shown;
        break;
    }
    }
    return cell;
}

const UserStatistics* ResultsViewModel::ShownStatistics() const
{
    const std::shared_ptr<TUserInfo>& shown = m_s.App.ResultUser();
    if (!shown)
        return nullptr;
    return &shown->Statistics[Index(m_kind - 1)];
}

ResultsHeader ResultsViewModel::Header() const
{
    ResultsHeader header;
    const UserStatistics* stats = ShownStatistics();
    if (stats == nullptr)
        return header;
    header.ExerciseTime = FormatElapsedTime(true, stats->SumDurations);
    header.AnswerTime = FormatElapsedTime(true, stats->AnswerTime);
    header.Asked = stats->SumQuestions;
    header.Right = stats->SumRight;
    if (MeanPercentKind(m_kind)) {
        // Each result of these kinds holds a mean percentage: the period's figure is their
        // mean, not their sum.
        const AppState& app = m_s.App;
        const double cutoff = TodayInDaysSince1899() - app.Users.StatisticsPeriod;
        std::uint64_t sum = 0;
        std::uint64_t results = 0;
        if (const ResultEntries* held = app.HeldResults()) {
            for (const auto& entry : *held) {
                if (!entry.Object)
                    continue;
                const TResultRec& r = entry.Object->Record;
                if (r.Kind == m_kind && r.DateTime > cutoff) {
                    sum += r.Score;
                    ++results;
                }
            }
        }
        header.Right = results == 0 ? 0U : static_cast<std::uint32_t>(sum / results);
    }
    return header;
}

std::vector<ResultsUserEntry> ResultsViewModel::Users() const
{
    std::vector<ResultsUserEntry> users;
    const auto nameOf = [](const TUserInfo& user) {
        if (!user.DisplayName.isEmpty())
            return user.DisplayName;
        return ShownName(user.Record.FullName);
    };
    const AppState& app = m_s.App;
    if (app.Users.UserList) {
        for (const auto& entry : *app.Users.UserList) {
            if (entry.Object)
                users.push_back({nameOf(*entry.Object), entry.Object});
        }
    } else if (app.ResultUser()) {
        users.push_back({nameOf(*app.ResultUser()), app.ResultUser()});
    }
    return users;
}

int ResultsViewModel::ShownUserIndex() const
{
    if (!m_s.App.ResultUser())
        return -1;
    const std::vector<ResultsUserEntry> users = Users();
    for (std::size_t i = 0; i < users.size(); ++i) {
        if (users[i].User->Record.UserId == m_s.App.ResultUserId())
            return static_cast<int>(i);
    }
    return -1;
}

void ResultsViewModel::ChooseUser(int index)
{
    const std::vector<ResultsUserEntry> users = Users();
    if (index < 0 || index >= static_cast<int>(users.size()))
        return;
    AppState& app = m_s.App;
    app.SetResultUser(users[Index(index)].User);
    TUserInfo& shown = *app.ResultUser();
    if (!shown.Computed) {
        app.ComputeAllUserStatistics(m_s.Data, false, m_s.TutorTitle, {});
        if (!shown.Computed)
            app.ComputeUserStatistics(m_s.Data, shown, m_s.TutorTitle);
    }
    Fill(0, 0);
}

} // namespace pv
