// The tips mask over showing, hiding and offering every tip again.
#include "music/strings/UIStrings.h"
#include "shell/tips/Tips.h"

#include <gtest/gtest.h>

namespace pv {
namespace {

TEST(Tips, TheMaskOffersATipUntilItIsHiddenAndResetOffersThemAll)
{
    UIStringTable strings;
    for (int n = 0; n < kTipCount; ++n)
        strings.StrTips[n] = QStringLiteral("Tip %1").arg(n + 1);
    std::uint32_t mask = 0x0000FFFF;
    std::vector<QString> shown;
    bool hide = false;
    TipService tips(mask, strings, [&](const QString& text) {
        shown.push_back(text);
        return hide;
    });

    struct Step
    {
        const char* name;
        int tip;
        bool hide;
        bool offered;       ///< what the button is told
        std::uint32_t mask; ///< the mask afterwards
    };
    const Step steps[] = {
        {"shown and left offered", 2, false, true, 0xFFFF},
        {"hidden: its bit goes", 2, true, false, 0xFFFD},
        {"hidden again before the mask was read: the mask stays, the button goes", 2, true, false,
         0xFFFD},
        {"another tip is its own bit", 6, true, false, 0xFFDD},
        {"shown again while hidden, left clear: offered", 6, false, true, 0xFFDD},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        hide = step.hide;
        EXPECT_EQ(tips.ShowTip(step.tip), step.offered);
        EXPECT_EQ(mask, step.mask);
        EXPECT_EQ(shown.back(), QStringLiteral("Tip %1").arg(step.tip));
    }
    EXPECT_FALSE(TipOffered(mask, 2));
    EXPECT_TRUE(TipOffered(mask, 1));
    mask = kAllTipsOffered;
    for (int n = 1; n <= kTipCount; ++n)
        EXPECT_TRUE(TipOffered(mask, n)) << n;

    // A button numbered for no tip shows nothing and stays.
    const std::size_t before = shown.size();
    for (const int none : {0, 7, -1, 255}) {
        SCOPED_TRACE(none);
        EXPECT_TRUE(tips.ShowTip(none));
        EXPECT_FALSE(TipOffered(mask, none));
        EXPECT_EQ(WithoutTip(mask, none), mask);
    }
    EXPECT_EQ(shown.size(), before);
}

} // namespace
} // namespace pv
