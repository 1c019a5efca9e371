// The report's pages: every row once, in order, under its user and column titles on every page
// it runs on to, nothing outside the page, a footer with the page count on each page.
#include "ReportFixture.h"
#include "shell/reports/ReportLayout.h"

#include <QRegularExpression>

namespace pv {
namespace {

class ReportLayoutTest : public test::ReportFixture
{
protected:
    /// Texts of a page in reading order (top to bottom, left to right).
    static std::vector<QString> TextsOf(const ReportPage& page)
    {
        std::vector<ReportTextItem> items = page.Texts;
        std::stable_sort(items.begin(), items.end(), [](const auto& a, const auto& b) {
            return a.Y != b.Y ? a.Y < b.Y : a.X < b.X;
        });
        std::vector<QString> texts;
        for (const auto& item : items)
            texts.push_back(item.Text);
        return texts;
    }
    static bool Has(const ReportPage& page, const QString& text)
    {
        return std::any_of(page.Texts.begin(), page.Texts.end(),
                           [&](const ReportTextItem& t) { return t.Text == text; });
    }
};

TEST_F(ReportLayoutTest, RowsRunOnToNewPagesUnderTheirHeadings)
{
    // 60 rows of Ann with distinct levels, 2 of Bo, on pages that hold some 20 rows each.
    for (int i = 0; i < 60; ++i)
        Store(ann, 1, i * 0.01, static_cast<std::uint16_t>(i % 5), 5,
              QStringLiteral("Run %1").arg(i));
    Store(bo, 1, 0, 3, 3, QStringLiteral("Bo's run"));
    ASSERT_TRUE(model.Prepare(Choice(ReportScope::AllStudents, {ReportBoxOfKind(1)}), captions,
                              true, TodayInDaysSince1899()));
    const ReportPageSize size{500, 330};
    const std::vector<ReportPage> pages =
        LayOutReport(model.Prepared(), size, QStringLiteral("Page %d of %d"), QStringLiteral("x"));
    ASSERT_GE(pages.size(), 3U);

    std::vector<QString> levels;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        SCOPED_TRACE(p);
        const ReportPage& page = pages[p];
        EXPECT_TRUE(Has(page, QStringLiteral("Page %1 of %2").arg(p + 1).arg(pages.size())));
        EXPECT_EQ(Has(page, QStringLiteral("Results of the exercises")), p == 0)
            << "the title block opens the report only";
        for (const ReportTextItem& t : page.Texts) {
            EXPECT_GE(t.X, 0);
            EXPECT_LE(t.X + t.Width, size.Width + 1e-9) << t.Text.toStdString();
            EXPECT_GE(t.Y, 0);
            EXPECT_LE(t.Y + t.Height, size.Height + 1e-9) << t.Text.toStdString();
        }
        bool seenRow = false;
        for (const QString& text : TextsOf(page)) {
            if (text.startsWith(QStringLiteral("Run ")) || text == QStringLiteral("Bo's run")) {
                levels.push_back(text);
                seenRow = true;
            }
        }
        if (seenRow) {
            EXPECT_TRUE(Has(page, QStringLiteral("Level name"))) << "column titles on the page";
            EXPECT_TRUE(Has(page, QStringLiteral("Berg, Ann")) ||
                        Has(page, QStringLiteral("Dahl, Bo")));
        }
    }
    std::vector<QString> expected;
    for (int i = 0; i < 60; ++i)
        expected.push_back(QStringLiteral("Run %1").arg(i));
    expected.push_back(QStringLiteral("Bo's run"));
    EXPECT_EQ(levels, expected);
    // Ann's total on the page of her last row, before Bo's band.
    const ReportPage& last = pages.back();
    EXPECT_TRUE(Has(last, QStringLiteral("Dahl, Bo")));
    EXPECT_TRUE(Has(last, QStringLiteral("3 /")));
}

TEST_F(ReportLayoutTest, AnEmptyReportIsOnePageAndATinyPageStillEnds)
{
    ASSERT_TRUE(
        model.Prepare(Choice(ReportScope::OneUser, {}), captions, false, TodayInDaysSince1899()));
    EXPECT_EQ(LayOutReport(model.Prepared(), {}, QStringLiteral("%d/%d"), {}).size(), 1U);
    for (int i = 0; i < 5; ++i)
        Store(ann, 1, i * 0.1, 1, 1);
    ASSERT_TRUE(
        model.Prepare(Choice(ReportScope::OneUser, {3}), captions, false, TodayInDaysSince1899()));
    // Smaller than a band: each page takes what comes, and the layout ends.
    const auto pages = LayOutReport(model.Prepared(), {100, 5}, QStringLiteral("%d/%d"), {});
    EXPECT_GE(pages.size(), 5U);
    EXPECT_LT(pages.size(), 40U);
}

} // namespace
} // namespace pv
