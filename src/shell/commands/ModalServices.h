// The prompt service and the busy wait as the program uses them: each holds the modal guard up
// while its box or its wait is open, whatever service stands behind it.
#pragma once

#include "music/base/Prompts.h"
#include "music/data/SharedFile.h"
#include "shell/commands/ModalGuard.h"

namespace pv {

class GuardedPrompts final : public IPrompts
{
public:
    /// inner and guard must outlive this.
    GuardedPrompts(IPrompts& inner, ModalGuard& guard) : m_inner(inner), m_guard(guard) {}

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
    std::optional<QString> AskFolder(const FolderQuestion& question) override;

private:
    IPrompts& m_inner;
    ModalGuard& m_guard;
};

class GuardedBusyWait final : public IBusyWait
{
public:
    /// inner and guard must outlive this.
    GuardedBusyWait(IBusyWait& inner, ModalGuard& guard) : m_inner(inner), m_guard(guard) {}

    void Wait200ms() override;

private:
    IBusyWait& m_inner;
    ModalGuard& m_guard;
};

} // namespace pv
