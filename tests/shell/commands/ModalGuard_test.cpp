// The modal guard is up exactly while a box or a busy wait is open.
#include "shell/commands/ModalServices.h"
#include "support/NoWait.h"
#include "support/ScriptedPrompts.h"

#include <functional>
#include <vector>

#include <gtest/gtest.h>

namespace pv {
namespace {

TEST(ModalGuard, ScopesNestAndTheGuardFallsWithTheLast)
{
    ModalGuard guard;
    EXPECT_FALSE(guard.Raised());
    {
        const ModalGuard::Scope outer(guard);
        EXPECT_TRUE(guard.Raised());
        {
            const ModalGuard::Scope inner(guard);
            EXPECT_TRUE(guard.Raised());
        }
        EXPECT_TRUE(guard.Raised()) << "a box over a box: the first is still open";
    }
    EXPECT_FALSE(guard.Raised());
}

TEST(ModalGuard, EveryKindOfPromptHoldsTheGuardWhileItIsOpen)
{
    ModalGuard guard;
    test::ScriptedPrompts scripted;
    GuardedPrompts prompts(scripted, guard);
    std::vector<bool> raisedWhileOpen;
    scripted.whileOpen = [&](const test::AskedPrompt&) {
        raisedWhileOpen.push_back(guard.Raised());
    };
    const QString t = QStringLiteral("text");
    const std::pair<const char*, std::function<void()>> asks[] = {
        {"error", [&] { prompts.ShowError(t, t); }},
        {"message", [&] { prompts.ShowMessage(t); }},
        {"info", [&] { prompts.ShowInfo(t, t); }},
        {"okretry", [&] { (void)prompts.AskOkRetry(t, t); }},
        {"yesno", [&] { (void)prompts.AskYesNo(t, t); }},
        {"yesnocancel", [&] { (void)prompts.AskYesNoCancel(t, t); }},
        {"open", [&] { (void)prompts.AskOpenFile(t, t, t); }},
        {"save", [&] { (void)prompts.AskSaveFile(t, t, t); }},
        {"text", [&] { (void)prompts.AskText(t, t, t); }},
        {"folder", [&] { (void)prompts.AskFolder(FolderQuestion{}); }},
    };
    for (const auto& [kind, ask] : asks) {
        SCOPED_TRACE(kind);
        raisedWhileOpen.clear();
        ask();
        ASSERT_EQ(raisedWhileOpen.size(), 1U) << "the box was asked of the service behind";
        EXPECT_TRUE(raisedWhileOpen.front());
        EXPECT_EQ(scripted.asked.back().kind, QString::fromLatin1(kind));
        EXPECT_FALSE(guard.Raised()) << "closed with its box";
    }
}

TEST(ModalGuard, TheAnswersOfTheServiceBehindComeBackUnchanged)
{
    ModalGuard guard;
    test::ScriptedPrompts scripted;
    scripted.buttons = {PromptButton::Retry, PromptButton::Yes};
    scripted.texts = {QStringLiteral("/a/file.qib"), std::nullopt};
    GuardedPrompts prompts(scripted, guard);
    EXPECT_EQ(prompts.AskOkRetry({}, {}), PromptButton::Retry);
    EXPECT_EQ(prompts.AskYesNoCancel({}, {}), PromptButton::Yes);
    EXPECT_EQ(prompts.AskOpenFile({}, {}, {}), QStringLiteral("/a/file.qib"));
    EXPECT_EQ(prompts.AskText({}, {}, {}), std::nullopt);
}

TEST(ModalGuard, ABusyWaitHoldsTheGuardWhileEventsRun)
{
    ModalGuard guard;
    test::NoWait inner;
    std::vector<bool> raised;
    inner.onWait = [&](int) { raised.push_back(guard.Raised()); };
    GuardedBusyWait wait(inner, guard);
    wait.Wait200ms();
    wait.Wait200ms();
    EXPECT_EQ(raised, (std::vector<bool>{true, true}));
    EXPECT_FALSE(guard.Raised());
}

} // namespace
} // namespace pv
