// The score tool window's layout on one and on two lines, and the size label's steps.
#include "shell/answerinput/ToolWindowLayouts.h"

#include <gtest/gtest.h>

namespace pv {
namespace {

TEST(ToolWindow3Layout, OneOrTwoLinesByHeightWithTheTotalOnlyWhenShown)
{
    struct Case
    {
        const char* name;
        ScoreLayoutInput in;
        ScoreLayout expected;
    };
    const auto kind = [](int n) { return KindFromNumber(n); };
    const Case cases[] = {
        {"small window widened to one line's least width, laid out on its own width",
         {120, 30, 4, 2, false, 40, kind(1)},
         {200, QRect(4, 2, 80, 26), QRect(86, 2, 40, 26), QRect(86, 2, 33, 26)}},
        {"an identification kind on a narrow bar gives the text two thirds",
         {450, 28, 4, 2, false, 40, kind(2)},
         {450, QRect(4, 2, 300, 24), QRect(306, 2, 40, 24), QRect(306, 2, 143, 24)}},
        {"a wide bar halves",
         {600, 28, 4, 2, false, 40, kind(2)},
         {600, QRect(4, 2, 300, 24), QRect(306, 2, 40, 24), QRect(306, 2, 293, 24)}},
        {"a rhythm kind halves and the total sits between text and gauge",
         {450, 28, 4, 2, true, 40, kind(4)},
         {450, QRect(4, 2, 225, 24), QRect(231, 2, 40, 24), QRect(275, 2, 174, 24)}},
        {"two lines: the text above, total and gauge below",
         {300, 60, 4, 2, true, 40, kind(5)},
         {300, QRect(4, 2, 292, 28), QRect(4, 32, 40, 28), QRect(48, 32, 248, 28)}},
        {"two lines without the total: the gauge takes the whole line",
         {300, 60, 4, 2, false, 40, kind(1)},
         {300, QRect(4, 2, 292, 28), QRect(4, 32, 40, 28), QRect(4, 32, 292, 28)}},
        {"a narrow two-line window is widened to 150",
         {100, 41, 4, 2, false, 40, kind(1)},
         {150, QRect(4, 2, 92, 18), QRect(4, 22, 40, 18), QRect(4, 22, 92, 18)}},
        {"no exercise halves",
         {300, 28, 4, 2, false, 40, std::nullopt},
         {300, QRect(4, 2, 150, 24), QRect(156, 2, 40, 24), QRect(156, 2, 143, 24)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ScoreLayout out = ToolWindow3Layout(c.in);
        EXPECT_EQ(out.ClientWidth, c.expected.ClientWidth);
        EXPECT_EQ(out.Label15, c.expected.Label15);
        EXPECT_EQ(out.Label4, c.expected.Label4);
        EXPECT_EQ(out.Gauge15, c.expected.Gauge15);
    }
}

TEST(WindowSizeLabel, ThreeSizesInTurnAndTheSizeAsText)
{
    EXPECT_EQ(WindowSizeText(1024, 742), QStringLiteral("1024x742"));
    int tag = 0;
    const QSize expected[] = {{640, 480}, {800, 574}, {1024, 742}, {640, 480}};
    for (const QSize& size : expected) {
        EXPECT_EQ(WindowSizeOfTag(tag), size);
        tag = NextWindowSizeTag(tag);
    }
    EXPECT_EQ(NextWindowSizeTag(7), 0) << "a tag of no size starts again";
    EXPECT_EQ(WindowSizeOfTag(-1), QSize(640, 480));
}

} // namespace
} // namespace pv
