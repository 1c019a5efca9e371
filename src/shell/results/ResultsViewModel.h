// The results view without its window: the results of one exercise kind of one user as rows,
// the columns the toggles and the results ask for, every cell's content, the score cells'
// drawing plan, the header strip's figures and the choice of the user shown.
#pragma once

#include "exercises/items/ItemTables.h"
#include "music/data/UserFile.h"
#include "shell/results/ResultColumns.h"
#include "shell/state/AppState.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QString>

namespace pv {

/// A rectangle in pixels; Right and Bottom lie just outside it.
struct CellBox
{
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const CellBox&) const = default;
};

/// How a score cell is drawn: maybe a text at the left, then, where there is room, a grey frame
/// holding a blue bar over the percentage of its width and the percentage centred on it.
struct ScoreCellPlan
{
    int Percent = 0;
    bool ShowText = false;
    QString Text;
    int TextLeft = 0;
    bool ShowBox = false;
    CellBox Box;          ///< the grey frame
    bool ShowBar = false; ///< false when nothing was asked: an empty frame
    int BarRight = 0;     ///< the bar runs from Box.Left to here
    QString PercentText;  ///< the percentage and "%"
};

/// The plan of a score cell of kind (1..10) in box. Kinds 4, 5 and 6 store the mean
/// percentage as right and show the number of questions; the others show "right/asked".
/// textWidth measures a text in the cell's font.
ScoreCellPlan PlanScoreCell(int kind, std::uint16_t right, std::uint16_t asked, bool withText,
                            CellBox box, const std::function<int(const QString&)>& textWidth);

/// The date and the time of day of a stored date-time as the view and the reports show them
/// (the system's short formats).
QString ResultDateText(double dateTime);
QString ResultTimeText(double dateTime);

/// What the view shows of one result (the record less what no cell shows).
struct ResultRow
{
    std::uint16_t UserId = 0;
    double DateTime = 0;
    double Duration = 0;
    double AnswerTimeSum = 0;
    QString SetupName;
    std::uint16_t TutorStep = 0;
    std::uint16_t Score = 0;
    std::uint16_t Count = 0;
    std::array<ItemScore, 60> Items{};
};

/// What a data cell shows: a text, or a score cell.
struct ResultCell
{
    QString Text;
    bool IsScore = false;
    std::uint16_t Right = 0;
    std::uint16_t Asked = 0;
    bool WithText = true;
};

/// The down states of the view's toggle buttons.
struct ResultToggleStates
{
    bool Time = false;       ///< SpeedButton1
    bool Duration = false;   ///< SpeedButton2
    bool AnswerTime = false; ///< SpeedButton6
    bool LevelName = false;  ///< SpeedButton3
    bool Details = false;    ///< SpeedButton4: the item columns
    bool Counts = false;     ///< SpeedButton5: counts in the item cells
    bool operator==(const ResultToggleStates&) const = default;
};

/// The toggle buttons as the view shows them.
struct ResultToggles
{
    ResultToggleStates Down;
    bool DetailsVisible = false;
    bool CountsVisible = false;
    bool CountsEnabled = false;
};

/// The figures of the header strip for the user shown, over the statistics period.
struct ResultsHeader
{
    QString ExerciseTime; ///< Label3
    QString AnswerTime;   ///< Label6
    std::uint32_t Right = 0;
    std::uint32_t Asked = 0; ///< the score bar's right and asked answers
};

/// What the view reads and writes: the application state's users and results, the running result of
/// each kind (index 0 = kind 1), the item tables that name the item columns and the texts.
struct ResultsViewSources
{
    DataFiles& Data;
    AppState& App; ///< the user shown and the results held of them
    const std::array<TResultInfo, 10>& RunningResults;
    const ItemTables& Items;
    const UIStringTable& Strings;
    TutorTitleOf TutorTitle;
};

/// One user the view can show.
struct ResultsUserEntry
{
    QString Name;
    std::shared_ptr<TUserInfo> User;
};

class ResultsViewModel
{
public:
    explicit ResultsViewModel(ResultsViewSources sources);

    /// The column table entry 0..7 (the settings apply and store it).
    void SetColumn(int index, const ResultColumn& column);
    ResultColumn Column(int index) const;
    /// The title of base column 0..5 (from the language file).
    void SetTitle(int index, const QString& title);
    QString Title(int index) const;

    /// A kind above 0 becomes the kind shown and a from-date of at least 0 the first date
    /// shown; then the user's results of that kind are listed, the running result of the
    /// current user's run last, and the columns rebuilt.
    void Fill(int kind, double fromDate);
    /// The grid's column list from the table's flags and the listed results.
    void SetColumns();
    /// The toggle buttons were pressed: their down states become the table's flags. Turning
    /// the counts on widens the item columns by 60 pixels, turning them off narrows them.
    void ToggleClick(const ResultToggleStates& down);
    ResultToggles Toggles() const;
    /// The user resized the grid's columns to widths (one per column of the list): the base
    /// columns keep theirs, and the first item column that differs sets the width of all.
    void ColumnsResized(const std::vector<int>& widths);

    int Kind() const { return m_kind; }
    double FromDate() const { return m_fromDate; }
    /// The rows shown in order; a running result has a date below 1.0.
    const std::vector<ResultRow>& Rows() const { return m_rows; }
    /// Rows of the grid: the title row and at least one data row.
    int RowCount() const;
    int ColumnCount() const { return static_cast<int>(m_columnKinds.size()); }
    /// The kind of grid column c: a base column 0..5, or 10 + n for item n.
    int ColumnKindAt(int column) const;
    int ColumnWidth(int column) const;
    /// The title row's text of column c.
    QString ColumnTitle(int column) const;
    /// Data row r (1..) of column c; an empty text where there is no result.
    ResultCell Cell(int row, int column) const;

    ResultsHeader Header() const;
    /// The period text of the header (set when the statistics period is chosen).
    QString PeriodLabel;

    /// The users the view can show: every user of `UserList` when it exists, else only the
    /// user shown; the index of the user shown among them (-1 when none).
    std::vector<ResultsUserEntry> Users() const;
    int ShownUserIndex() const;
    /// Shows the results of entry index of Users(): all dates of the kind shown.
    void ChooseUser(int index);

private:
    const UserStatistics* ShownStatistics() const;

    ResultsViewSources m_s;
    std::array<ResultColumn, kResultColumnCount> m_table{};
    std::array<QString, kBaseResultColumns> m_titles{};
    int m_kind = 1;
    double m_fromDate = -1.0;
    std::vector<ResultRow> m_rows;
    std::vector<int> m_columnKinds;
};

/// The kinds whose results carry item statistics, and so item columns.
bool KindHasItemColumns(int kind);

/// The widths of the header strip's parts, left to right.
struct HeaderStripWidths
{
    int Start = 0; ///< where the period text begins
    int Period = 0;
    int ExerciseTimeCaption = 0;
    int ExerciseTime = 0;
    int ScoreCaption = 0;
    int ScoreBar = 0;
    int AnswerTimeCaption = 0;
};

/// The left edges of the header strip's parts: each follows the one before it at a fixed gap.
struct HeaderStripPlaces
{
    int Period = 0;
    int Bevel1 = 0;
    int ExerciseTimeCaption = 0;
    int ExerciseTime = 0;
    int Bevel2 = 0;
    int ScoreCaption = 0;
    int ScoreBar = 0;
    int Bevel3 = 0;
    int AnswerTimeCaption = 0;
    int AnswerTime = 0;
};

HeaderStripPlaces LayOutHeaderStrip(const HeaderStripWidths& widths);

} // namespace pv
