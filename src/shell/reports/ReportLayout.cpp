// The report's page layout: a title block, then per user a name band and per kind its rows
// under column titles with a line of totals, and a footer on every page.
#include "shell/reports/ReportLayout.h"

#include "music/strings/Format.h"

#include <algorithm>

namespace pv {

namespace {

/// The columns of a row, as parts of the page width.
struct ColumnPlace
{
    double Left;
    double Width;
    ReportAlign Align;
};
constexpr ColumnPlace kDate{0.00, 0.15, ReportAlign::Left};
constexpr ColumnPlace kTime{0.15, 0.10, ReportAlign::Left};
constexpr ColumnPlace kLevel{0.25, 0.34, ReportAlign::Left};
constexpr ColumnPlace kDuration{0.59, 0.13, ReportAlign::Right};
constexpr ColumnPlace kScore{0.72, 0.10, ReportAlign::Right};
constexpr ColumnPlace kCount{0.82, 0.08, ReportAlign::Right};
constexpr ColumnPlace kPercent{0.90, 0.10, ReportAlign::Right};

constexpr double kGapAfterKind = 6;
constexpr double kGapAfterUser = 10;

class Layouter
{
public:
    Layouter(const Report& report, ReportPageSize size)
        : m_report(report), m_width(std::max(size.Width, 1.0)),
          m_height(std::max(size.Height, 1.0)),
          m_bottom(m_height - ReportLineHeight(ReportFont::Small) - 6)
    {
        NewPage();
    }

    std::vector<ReportPage> Run(const QString& pageFormat, const QString& footnote)
    {
        TitleBlock();
        for (const ReportUserSection& user : m_report.Users)
            UserBand(user);
        const auto count = static_cast<std::int64_t>(m_pages.size());
        for (std::size_t i = 0; i < m_pages.size(); ++i) {
            const double y = m_height - ReportLineHeight(ReportFont::Small);
            ReportPage& page = m_pages[i];
            page.Lines.push_back({0, y - 2, m_width, y - 2});
            page.Texts.push_back({0, y, m_width / 2, ReportLineHeight(ReportFont::Small), footnote,
                                  ReportFont::Small, ReportAlign::Left});
            page.Texts.push_back({m_width / 2, y, m_width / 2, ReportLineHeight(ReportFont::Small),
                                  Format(pageFormat, {static_cast<std::int64_t>(i) + 1, count}),
                                  ReportFont::Small, ReportAlign::Right});
        }
        return std::move(m_pages);
    }

private:
    void NewPage()
    {
        m_pages.emplace_back();
        m_y = 0;
    }
    /// Room for height on this page, else a new page; true when a page was begun. A page that
    /// is empty takes whatever comes, so a band taller than a page cannot loop.
    bool Ensure(double height)
    {
        if (m_y + height <= m_bottom || m_y == 0)
            return false;
        NewPage();
        return true;
    }
    void Text(double left, double width, const QString& text, ReportFont font,
              ReportAlign align = ReportAlign::Left)
    {
        if (text.isEmpty())
            return;
        m_pages.back().Texts.push_back(
            {left, m_y, width, ReportLineHeight(font), text, font, align});
    }
    void Cell(const ColumnPlace& column, const QString& text, ReportFont font)
    {
        Text(column.Left * m_width, column.Width * m_width, text, font, column.Align);
    }
    void Line(double left, double right, double y)
    {
        m_pages.back().Lines.push_back({left, y, right, y});
    }

    void TitleBlock()
    {
        Text(0, m_width, m_report.Title, ReportFont::Title, ReportAlign::Center);
        m_y += ReportLineHeight(ReportFont::Title);
        if (m_report.PrintScope) {
            Text(0, m_width, m_report.ScopeText, ReportFont::Heading, ReportAlign::Center);
            m_y += ReportLineHeight(ReportFont::Heading);
        }
        if (m_report.PrintKindTitle) {
            Text(0, m_width, m_report.KindTitle, ReportFont::Heading, ReportAlign::Center);
            m_y += ReportLineHeight(ReportFont::Heading);
        }
        Text(0, m_width / 2, m_report.UserCount, ReportFont::Normal);
        if (m_report.PrintPastDays)
            Text(m_width / 2, m_width / 2, m_report.PastDays, ReportFont::Normal,
                 ReportAlign::Right);
        m_y += ReportLineHeight(ReportFont::Normal);
        Line(0, m_width, m_y + 3);
        m_y += 10;
    }

    void UserHeading(const ReportUserSection& user)
    {
        Text(0, m_width * 0.5, user.FullName, ReportFont::Heading);
        if (m_report.PrintClassName)
            Text(m_width * 0.5, m_width * 0.25, user.ClassName, ReportFont::Normal);
        Text(m_width * 0.75, m_width * 0.25, user.TutorName, ReportFont::Normal,
             ReportAlign::Right);
        m_y += ReportLineHeight(ReportFont::Heading);
    }

    void ColumnTitles()
    {
        Cell(kDate, m_report.DateTitle, ReportFont::Bold);
        Cell(kTime, m_report.TimeTitle, ReportFont::Bold);
        Cell(kLevel, m_report.LevelTitle, ReportFont::Bold);
        Cell(kDuration, m_report.DurationTitle, ReportFont::Bold);
        Cell(kScore, m_report.ScoreTitle, ReportFont::Bold);
        Cell(kCount, m_report.CountTitle, ReportFont::Bold);
        m_y += ReportLineHeight(ReportFont::Bold);
        Line(0, m_width, m_y);
        m_y += 2;
    }

    /// What heads the rows of a kind, on its first page and on every page it runs on to.
    void KindHeading(const ReportKindSection& kind)
    {
        if (kind.PrintTitle) {
            Text(0, m_width, kind.Title, ReportFont::Bold);
            m_y += ReportLineHeight(ReportFont::Bold);
        }
        if (m_report.PrintColumnTitles && !kind.Rows.empty())
            ColumnTitles();
    }

    void UserBand(const ReportUserSection& user)
    {
        // The name never stands alone at the foot of a page.
        Ensure(ReportLineHeight(ReportFont::Heading) + ReportLineHeight(ReportFont::Bold) * 2 +
               ReportLineHeight(ReportFont::Normal) + 2);
        UserHeading(user);
        for (const ReportKindSection& kind : user.Kinds) {
            if (kind.Rows.empty() && !kind.PrintTitle && !kind.PrintFooter)
                continue;
            Ensure(ReportLineHeight(ReportFont::Bold) * 2 + ReportLineHeight(ReportFont::Normal) +
                   2);
            KindHeading(kind);
            for (const ReportRow& row : kind.Rows) {
                if (Ensure(ReportLineHeight(ReportFont::Normal))) {
                    UserHeading(user);
                    KindHeading(kind);
                }
                Cell(kDate, row.Date, ReportFont::Normal);
                Cell(kTime, row.Time, ReportFont::Normal);
                Cell(kLevel, row.LevelName, ReportFont::Normal);
                Cell(kDuration, row.Duration, ReportFont::Normal);
                Cell(kScore, row.Score, ReportFont::Normal);
                Cell(kCount, row.Count, ReportFont::Normal);
                Cell(kPercent, row.Percent, ReportFont::Normal);
                m_y += ReportLineHeight(ReportFont::Normal);
            }
            if (kind.PrintFooter) {
                if (Ensure(ReportLineHeight(ReportFont::Bold) + 3))
                    UserHeading(user);
                Line(kDuration.Left * m_width, m_width, m_y + 1);
                m_y += 3;
                Cell(kDuration, kind.FooterDuration, ReportFont::Bold);
                Cell(kScore, kind.FooterScore, ReportFont::Bold);
                Cell(kCount, kind.FooterCount, ReportFont::Bold);
                Cell(kPercent, kind.FooterPercent, ReportFont::Bold);
                m_y += ReportLineHeight(ReportFont::Bold);
            }
            m_y += kGapAfterKind;
        }
        m_y += kGapAfterUser;
    }

    const Report& m_report;
    double m_width;
    double m_height;
    double m_bottom;
    double m_y = 0;
    std::vector<ReportPage> m_pages;
};

} // namespace

double ReportLineHeight(ReportFont font)
{
    switch (font) {
    case ReportFont::Title:
        return 24;
    case ReportFont::Heading:
        return 17;
    case ReportFont::Bold:
    case ReportFont::Normal:
        return 13;
    case ReportFont::Small:
        return 11;
    }
    return 13;
}

int ReportFontSize(ReportFont font)
{
    switch (font) {
    case ReportFont::Title:
        return 16;
    case ReportFont::Heading:
        return 11;
    case ReportFont::Bold:
    case ReportFont::Normal:
        return 9;
    case ReportFont::Small:
        return 7;
    }
    return 9;
}

std::vector<ReportPage> LayOutReport(const Report& report, ReportPageSize size,
                                     const QString& pageFormat, const QString& footnote)
{
    return Layouter(report, size).Run(pageFormat, footnote);
}

} // namespace pv
