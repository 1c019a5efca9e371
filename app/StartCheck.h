// A check that an installed program starts, for packagers and the install test: with
// PELLIVARK_CHECK_START naming a folder, the program asks nothing (every box stays unsaid,
// every question is given up, so the name stays empty, and the first-run wizard is not
// offered), and once its main window shows the start menu it writes into that folder the
// folders it chose (start-check.txt) and a picture of its main window (start-menu.png), then
// closes as a user would, storing the user and the settings.
#pragma once

#include "music/base/Prompts.h"

#include <memory>

#include <QObject>
#include <QString>
#include <QTimer>

namespace pv {

struct ProgramOptions;
class PellivarkProgram;

/// The environment variable that asks for the start check (the folder of its report).
inline constexpr const char* kStartCheckVariable = "PELLIVARK_CHECK_START";

/// Answers every question as a user who wants nothing kept would, and says on the error
/// output what was asked, so a start check that does not end tells why.
class StartCheckPrompts final : public IPrompts
{
public:
    void ShowError(const QString& text, const QString&) override { Say("error", text); }
    void ShowMessage(const QString& text) override { Say("message", text); }
    void ShowInfo(const QString& text, const QString&) override { Say("info", text); }
    PromptButton AskOkRetry(const QString& text, const QString&) override
    {
        Say("ok/retry", text);
        return PromptButton::Ok;
    }
    PromptButton AskYesNo(const QString& text, const QString&) override
    {
        Say("yes/no", text);
        return PromptButton::No;
    }
    // No rather than Cancel: a question at closing must not keep the checked program open.
    PromptButton AskYesNoCancel(const QString& text, const QString&) override
    {
        Say("yes/no/cancel", text);
        return PromptButton::No;
    }
    std::optional<QString> AskOpenFile(const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    std::optional<QString> AskSaveFile(const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    std::optional<QString> AskText(const QString&, const QString& prompt, const QString&) override
    {
        Say("text", prompt);
        return std::nullopt;
    }
    std::optional<QString> AskFolder(const FolderQuestion&) override { return std::nullopt; }

private:
    static void Say(const char* kind, const QString& text);
};

class StartCheck final : public QObject
{
public:
    /// The check the environment asks for; null when it asks for none.
    static std::unique_ptr<StartCheck> FromEnvironment();

    /// Makes the program's start ask nothing.
    void Prepare(ProgramOptions& options);
    /// Waits for the program's start menu, then reports and closes the main window.
    void Watch(PellivarkProgram& program);

private:
    explicit StartCheck(QString folder) : m_folder(std::move(folder)) {}
    void Report(PellivarkProgram& program);

    QString m_folder;
    StartCheckPrompts m_prompts;
    QTimer m_poll;
};

} // namespace pv
