// Scripted answers for the prompt service.
#include "support/ScriptedPrompts.h"

namespace pv::test {

void ScriptedPrompts::Ask(AskedPrompt prompt)
{
    asked.push_back(prompt);
    // A copy: what runs meanwhile may ask again and move the list.
    if (whileOpen)
        whileOpen(prompt);
}

PromptButton ScriptedPrompts::NextButton()
{
    if (buttons.empty())
        return defaultButton;
    const PromptButton b = buttons.front();
    buttons.pop_front();
    return b;
}

std::optional<QString> ScriptedPrompts::NextText()
{
    if (texts.empty())
        return std::nullopt;
    auto t = texts.front();
    texts.pop_front();
    return t;
}

void ScriptedPrompts::ShowError(const QString& text, const QString& caption)
{
    Ask({QStringLiteral("error"), text, caption});
}

void ScriptedPrompts::ShowMessage(const QString& text)
{
    Ask({QStringLiteral("message"), text, {}});
}

void ScriptedPrompts::ShowInfo(const QString& text, const QString& caption)
{
    Ask({QStringLiteral("info"), text, caption});
}

PromptButton ScriptedPrompts::AskOkRetry(const QString& text, const QString& caption)
{
    Ask({QStringLiteral("okretry"), text, caption});
    return NextButton();
}

PromptButton ScriptedPrompts::AskYesNo(const QString& text, const QString& caption)
{
    Ask({QStringLiteral("yesno"), text, caption});
    return NextButton();
}

PromptButton ScriptedPrompts::AskYesNoCancel(const QString& text, const QString& caption)
{
    Ask({QStringLiteral("yesnocancel"), text, caption});
    return NextButton();
}

std::optional<QString> ScriptedPrompts::AskOpenFile(const QString& caption, const QString& folder,
                                                    const QString& filter)
{
    Ask({QStringLiteral("open"), folder + QLatin1Char('|') + filter, caption});
    return NextText();
}

std::optional<QString> ScriptedPrompts::AskSaveFile(const QString& caption,
                                                    const QString& suggested, const QString& filter)
{
    Ask({QStringLiteral("save"), suggested + QLatin1Char('|') + filter, caption});
    return NextText();
}

std::optional<QString> ScriptedPrompts::AskText(const QString& caption, const QString& prompt,
                                                const QString& initial)
{
    Ask({QStringLiteral("text"), prompt + QLatin1Char('|') + initial, caption});
    return NextText();
}

std::optional<QString> ScriptedPrompts::AskFolder(const FolderQuestion& question)
{
    Ask({QStringLiteral("folder"), question.Folder, question.Title});

    class OpenDialog final : public IOpenFolderDialog
    {
    public:
        OpenDialog(std::vector<QString>& calls, bool showStatus)
            : m_calls(calls), m_showStatus(showStatus)
        {
        }
        void SelectFolder(const QString& folder) override
        {
            m_calls.push_back(QStringLiteral("select ") + folder);
        }
        void SetStatus(const QString& text) override
        {
            if (m_showStatus)
                m_calls.push_back(QStringLiteral("status ") + text);
        }

    private:
        std::vector<QString>& m_calls;
        bool m_showStatus;
    };
    OpenDialog dialog(folderDialogCalls, question.ShowStatus);
    if (question.Shown)
        question.Shown(dialog);
    auto answer = NextText();
    if (answer && question.Selected)
        question.Selected(dialog, *answer);
    return answer;
}

int ScriptedPrompts::Count(const QString& kind) const
{
    int n = 0;
    for (const auto& a : asked)
        n += a.kind == kind ? 1 : 0;
    return n;
}

} // namespace pv::test
