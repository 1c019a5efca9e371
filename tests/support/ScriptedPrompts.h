// Answers message boxes and file dialogs from a script and records what was asked.
#pragma once

#include "music/base/Prompts.h"

#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace pv::test {

struct AskedPrompt
{
    QString kind; // "error", "message", "info", "okretry", "yesno", "yesnocancel", "open", "save",
                  // "text", "folder"
    QString text;
    QString caption;
};

class ScriptedPrompts final : public IPrompts
{
public:
    /// Answers of the button questions in order; when they run out, the default answer.
    std::deque<PromptButton> buttons;
    PromptButton defaultButton = PromptButton::Cancel;
    /// Answers of the file and text questions in order; when they run out, cancelled.
    std::deque<std::optional<QString>> texts;
    std::vector<AskedPrompt> asked;
    /// Runs while each prompt is open (after it was recorded, before it is answered), as the
    /// program's events would meanwhile.
    std::function<void(const AskedPrompt&)> whileOpen;

    void ShowError(const QString& text, const QString& caption) override;
    void ShowMessage(const QString& text) override;
    void ShowInfo(const QString& text, const QString& caption) override;
    PromptButton AskOkRetry(const QString& text, const QString& caption) override;
    PromptButton AskYesNo(const QString& text, const QString& caption) override;
    PromptButton AskYesNoCancel(const QString& text, const QString& caption) override;
    std::optional<QString> AskOpenFile(const QString& caption, const QString& folder,
                                       const QString& filter) override;
    std::optional<QString> AskSaveFile(const QString& caption, const QString& suggested,
                                       const QString& filter) override;
    std::optional<QString> AskText(const QString& caption, const QString& prompt,
                                   const QString& initial) override;
    /// Asked as ("folder", start folder, title). The dialog reports itself shown, then the
    /// scripted answer (when there is one) as selected before it is returned.
    std::optional<QString> AskFolder(const FolderQuestion& question) override;

    int Count(const QString& kind) const;

    /// What the owner of the open folder dialog did to it, in order: "select <folder>" and
    /// "status <text>" (a status only when the dialog shows one).
    std::vector<QString> folderDialogCalls;

private:
    void Ask(AskedPrompt prompt);
    PromptButton NextButton();
    std::optional<QString> NextText();
};

} // namespace pv::test
