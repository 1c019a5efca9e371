// Caption elision and when a bar's window shows.
#include "docking/core/BarVisibility.h"
#include "docking/core/CaptionText.h"

#include <gtest/gtest.h>

namespace pv::docking {
namespace {

// Six pixels a character, so widths read as character counts.
int SixEach(const QString& text)
{
    return static_cast<int>(6 * text.size());
}

TEST(CaptionText, LongCaptionKeepsItsFirstCharactersAndNeverLessThanTheFirst)
{
    struct Case
    {
        const char* name;
        QString caption;
        int width;
        QString expected;
    };
    const Case cases[] = {
        {"fits", QStringLiteral("Tempo"), 30, QStringLiteral("Tempo")},
        {"one too long", QStringLiteral("Metronome"), 48, QStringLiteral("Metro...")},
        {"room for two and the dots", QStringLiteral("Metronome"), 30, QStringLiteral("Me...")},
        {"room for the dots only", QStringLiteral("Metronome"), 18, QStringLiteral("M...")},
        {"no room at all", QStringLiteral("Metronome"), 0, QStringLiteral("M...")},
        {"one character, no room", QStringLiteral("X"), 3, QStringLiteral("X...")},
        {"four characters", QStringLiteral("Abcd"), 20, QStringLiteral("A...")},
        {"empty", QString(), 0, QString()},
        {"a first character outside the basic plane", QString::fromUtf8("\xF0\x9D\x84\x9E clef"), 0,
         QString::fromUtf8("\xF0\x9D\x84\x9E...")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ElideCaption(c.caption, c.width, SixEach), c.expected);
    }
}

TEST(BarVisibility, WindowShowsOnlyWhenTheBarAndItsFormDo)
{
    BarVisibilityState docked;
    BarVisibilityState floating;
    floating.Floating = true;
    floating.HasParentForm = true;
    floating.ParentFormVisible = true;
    struct Case
    {
        const char* name;
        BarVisibilityState state;
        bool shows;
        bool inactiveCaption;
    };
    auto with = [](BarVisibilityState s, auto change) {
        change(s);
        return s;
    };
    const Case cases[] = {
        {"docked", docked, true, false},
        {"docked, hidden by the user", with(docked, [](auto& s) { s.Visible = false; }), false,
         false},
        {"docked, while changing its parent", with(docked, [](auto& s) { s.HidingCount = 1; }),
         false, false},
        {"docked, program inactive", with(docked, [](auto& s) { s.ApplicationActive = false; }),
         true, false},
        {"floating", floating, true, false},
        {"floating, program inactive", with(floating, [](auto& s) { s.ApplicationActive = false; }),
         false, false},
        {"floating, program inactive, stays shown",
         with(floating,
              [](auto& s) {
                  s.ApplicationActive = false;
                  s.HideWhenInactive = false;
              }),
         true, true},
        {"floating, form minimised", with(floating, [](auto& s) { s.ParentFormMinimized = true; }),
         false, false},
        {"floating, form hidden", with(floating, [](auto& s) { s.ParentFormVisible = false; }),
         false, false},
        {"floating on top of all forms, form hidden",
         with(floating,
              [](auto& s) {
                  s.ParentFormVisible = false;
                  s.FloatingMode = TToolWindowFloatingMode::fmOnTopOfAllForms;
              }),
         true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ShouldBeVisible(c.state), c.shows);
        EXPECT_EQ(InactiveCaption(c.state), c.inactiveCaption);
    }
}

} // namespace
} // namespace pv::docking
