// The main window mirrors what its decisions ask: controls by name, tool windows, view entries.
#include "music/strings/UIStrings.h"
#include "shell/main/MainCommands.h"
#include "shell/ui/TPellivarkMain.h"
#include "support/ScriptedPrompts.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QToolBar>

#include <gtest/gtest.h>

namespace pv {
namespace {

class MainWindowTest : public ::testing::Test
{
protected:
    MainWindowTest() : window(prompts, strings)
    {
        MainCommandServices services;
        services.ViewTag = [this](int tag) {
            if (viewTag)
                viewTag(tag);
        };
        EXPECT_TRUE(RegisterMainCommands(commands, services));
        window.BuildCommands(commands);
        // Wide enough for every control of the main tool bar to stand in the bar itself.
        window.resize(2400, 700);
        window.show();
    }
    test::ScriptedPrompts prompts;
    UIStringTable strings;
    CommandRegistry commands;
    TPellivarkMain window;
    /// Where the main window's commands switch.
    std::function<void(int tag)> viewTag;
};

TEST_F(MainWindowTest, ControlsInsideToolBarsShowAndHideAsAsked)
{
    // Qt hides a control inside a tool bar only through the bar's action for it.
    for (MainControl control : {MainControl::SpeedButton11, MainControl::Label7,
                                MainControl::Overview, MainControl::SpeedButton9}) {
        SCOPED_TRACE(static_cast<int>(control));
        QWidget* widget = window.Button(control) != nullptr
                              ? static_cast<QWidget*>(window.Button(control))
                              : static_cast<QWidget*>(window.Label(control));
        ASSERT_NE(widget, nullptr);
        window.SetVisible(control, false);
        QCoreApplication::processEvents(); // the bar lays itself out anew
        EXPECT_FALSE(widget->isVisible());
        window.SetVisible(control, true);
        QCoreApplication::processEvents();
        EXPECT_TRUE(widget->isVisible());
    }
}

TEST_F(MainWindowTest, OneExerciseButtonIsDownAndAllCanBeReleased)
{
    window.SetDown(MainControl::Speed1, true);
    window.SetDown(MainControl::Speed2, true);
    EXPECT_FALSE(window.IsDown(MainControl::Speed1));
    EXPECT_TRUE(window.IsDown(MainControl::Speed2));
    // Releasing the one that is down leaves none down (the tutor's kind choice needs it).
    window.SetDown(MainControl::Speed2, false);
    EXPECT_FALSE(window.IsDown(MainControl::Speed2));
    window.SetDown(MainControl::Speed3, true);
    EXPECT_TRUE(window.IsDown(MainControl::Speed3));
}

TEST_F(MainWindowTest, AToolWindowShowsOnlyWhenWantedAndAllowed)
{
    struct Case
    {
        bool wanted;
        bool allowed;
        bool shown;
    };
    const Case cases[] = {
        {true, true, true}, {true, false, false}, {false, true, false}, {false, false, false}};
    for (int n = 1; n < IToolWindows::kCount; ++n) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "tool window " << n << " wanted " << c.wanted
                                            << " allowed " << c.allowed);
            window.SetToolWindowAllowed(n, c.allowed);
            window.SetToolWindowVisible(n, c.wanted);
            EXPECT_EQ(window.ToolWindows().ToolWindowVisible(n), c.shown);
            // The user's flag changed afterwards takes effect at once.
            window.SetToolWindowAllowed(n, !c.allowed);
            EXPECT_EQ(window.ToolWindows().ToolWindowVisible(n), c.wanted && !c.allowed);
        }
    }
    // The main tool bar carries the switches: it never goes.
    window.SetToolWindowVisible(0, false);
    EXPECT_TRUE(window.ToolWindows().ToolWindowVisible(0));
}

TEST_F(MainWindowTest, ClicksCarryTheirViewTags)
{
    std::vector<int> tags;
    MainWindowHandlers handlers;
    handlers.ViewTag = [&tags](int tag) { tags.push_back(tag); };
    viewTag = handlers.ViewTag;
    window.SetHandlers(handlers);
    window.Button(MainControl::Speed12)->click();
    window.Button(MainControl::Overview)->click();
    window.Button(MainControl::RunKonfig)->setEnabled(true);
    window.Button(MainControl::RunKonfig)->click();
    window.ViewEntry(ExerciseKind::Scales, MainView::Results)->trigger();
    window.Action(MainControl::Overview1)->trigger();
    EXPECT_EQ(tags, (std::vector<int>{10, 511, 512, 768 + 8, 511}));
}

TEST_F(MainWindowTest, TextsSetAndReadBackByControl)
{
    window.SetText(MainControl::Label3, QStringLiteral("Scales"));
    window.SetText(MainControl::AkkordID1, QStringLiteral("Chords"));
    EXPECT_EQ(window.Text(MainControl::Label3), QStringLiteral("Scales"));
    EXPECT_EQ(window.Text(MainControl::AkkordID1), QStringLiteral("Chords"));
    EXPECT_EQ(window.Label(MainControl::Label3)->text(), QStringLiteral("Scales"));
}

} // namespace
} // namespace pv
