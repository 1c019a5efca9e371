// Commands registered by features, their rules, and what the registry runs.
#include "shell/commands/CommandRegistry.h"

#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace pv {
namespace {

CommandRow Row(const char* id, std::function<void()> run, bool pending = false)
{
    CommandRow row;
    row.Id = QString::fromLatin1(id);
    row.Text = row.Id;
    row.Run = std::move(run);
    row.Pending = pending;
    return row;
}

class RecordingView final : public ICommandView
{
public:
    void ShowCommandEnabled(const QString& id, bool on) override { enabled[id] = on; }
    void ShowCommandChecked(const QString& id, bool on) override { checked[id] = on; }
    std::map<QString, bool> enabled;
    std::map<QString, bool> checked;
};

TEST(CommandRegistry, AFeatureRegistersItsRowsOnceAndEachRunsItsOwnHandler)
{
    CommandRegistry registry;
    std::vector<std::string> ran;
    ASSERT_TRUE(registry.Register(QStringLiteral("setup"),
                                  {Row("Hentstandardopstning1", [&] { ran.push_back("open"); }),
                                   Row("Gemopstning1", [&] { ran.push_back("save"); })}));
    ASSERT_TRUE(registry.Register(QStringLiteral("results"),
                                  {Row("Restartexercise", [&] { ran.push_back("restart"); })}));
    EXPECT_EQ(registry.Ids(), (std::vector<QString>{QStringLiteral("Hentstandardopstning1"),
                                                    QStringLiteral("Gemopstning1"),
                                                    QStringLiteral("Restartexercise")}));
    EXPECT_EQ(registry.FeatureOf(QStringLiteral("Gemopstning1")), QStringLiteral("setup"));
    EXPECT_TRUE(registry.Run(QStringLiteral("Gemopstning1")));
    EXPECT_TRUE(registry.Run(QStringLiteral("Restartexercise")));
    EXPECT_FALSE(registry.Run(QStringLiteral("Reports1"))) << "nobody registered it";
    EXPECT_EQ(ran, (std::vector<std::string>{"save", "restart"}));
    EXPECT_EQ(registry.Find(QStringLiteral("Reports1")), nullptr);
}

TEST(CommandRegistry, ARegistrationThatWouldHideACommandIsRefusedWhole)
{
    const auto nothing = [] {};
    struct Case
    {
        const char* name;
        std::vector<CommandRow> rows;
    };
    const Case cases[] = {
        {"an id another feature took", {Row("Fresh1", nothing), Row("Gemopstning1", nothing)}},
        {"one id twice", {Row("Fresh1", nothing), Row("Fresh1", nothing)}},
        {"a row without id", {Row("Fresh1", nothing), Row("", nothing)}},
        {"a row without handler", {Row("Fresh1", nothing), Row("Fresh2", nullptr)}},
        {"a pending row over a real one", {Row("Gemopstning1", nothing, true)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CommandRegistry registry;
        bool saved = false;
        ASSERT_TRUE(registry.Register(QStringLiteral("setup"),
                                      {Row("Gemopstning1", [&] { saved = true; })}));
        EXPECT_FALSE(registry.Register(QStringLiteral("other"), c.rows));
        EXPECT_EQ(registry.Find(QStringLiteral("Fresh1")), nullptr) << "nothing of it was taken";
        EXPECT_EQ(registry.FeatureOf(QStringLiteral("Gemopstning1")), QStringLiteral("setup"));
        EXPECT_TRUE(registry.Run(QStringLiteral("Gemopstning1")));
        EXPECT_TRUE(saved) << "the first registration still answers";
    }
}

TEST(CommandRegistry, TheFeatureThatBringsACommandTakesThePlaceOfItsStandIn)
{
    CommandRegistry registry;
    std::vector<std::string> ran;
    ASSERT_TRUE(registry.Register(QStringLiteral("main"),
                                  {Row(
                                       "Reports1", [&] { ran.push_back("not yet"); }, true),
                                   Row("Userinfo1", [&] { ran.push_back("user"); })}));
    ASSERT_TRUE(registry.Register(QStringLiteral("reports"),
                                  {Row("Reports1", [&] { ran.push_back("reports"); })}));
    EXPECT_EQ(registry.FeatureOf(QStringLiteral("Reports1")), QStringLiteral("reports"));
    EXPECT_FALSE(registry.Find(QStringLiteral("Reports1"))->Pending);
    EXPECT_EQ(registry.Ids().front(), QStringLiteral("Reports1")) << "it keeps its place";
    EXPECT_TRUE(registry.Run(QStringLiteral("Reports1")));
    EXPECT_EQ(ran, (std::vector<std::string>{"reports"}));
    // Once real, a second feature cannot take it.
    EXPECT_FALSE(registry.Register(QStringLiteral("again"), {Row("Reports1", [] {})}));
}

TEST(CommandRegistry, RulesKeepEnabledAndTicksAndADisabledCommandDoesNotRun)
{
    CommandRegistry registry;
    RecordingView view;
    registry.SetView(&view);
    bool userKnown = false;
    bool autoNew = false;
    int asked = 0;
    CommandRow user = Row("Userinfo1", [&] { ++asked; });
    user.Enabled = [&] { return userKnown; };
    CommandRow toggle = Row("Autonewquest1", [&] { autoNew = !autoNew; });
    toggle.Checkable = true;
    toggle.Checked = [&] { return autoNew; };
    CommandRow plain = Row("Exit2", [] {});
    ASSERT_TRUE(registry.Register(QStringLiteral("main"), {user, toggle, plain}));

    registry.Refresh();
    EXPECT_EQ(view.enabled, (std::map<QString, bool>{{QStringLiteral("Userinfo1"), false}}))
        << "only commands with a rule are told";
    EXPECT_EQ(view.checked, (std::map<QString, bool>{{QStringLiteral("Autonewquest1"), false}}));

    EXPECT_FALSE(registry.Run(QStringLiteral("Userinfo1")));
    EXPECT_EQ(asked, 0) << "a command its rule disables does not run";
    userKnown = true;
    EXPECT_TRUE(registry.IsEnabled(QStringLiteral("Userinfo1")));

    // Running a command tells the view what the rules say afterwards.
    EXPECT_TRUE(registry.Run(QStringLiteral("Autonewquest1")));
    EXPECT_TRUE(view.checked[QStringLiteral("Autonewquest1")]);
    EXPECT_TRUE(view.enabled[QStringLiteral("Userinfo1")]);
    EXPECT_TRUE(registry.Run(QStringLiteral("Userinfo1")));
    EXPECT_EQ(asked, 1);
}

} // namespace
} // namespace pv
