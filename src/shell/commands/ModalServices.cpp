// Every box and every wait holds the guard while it is open.
#include "shell/commands/ModalServices.h"

namespace pv {

void GuardedPrompts::ShowError(const QString& text, const QString& caption)
{
    const ModalGuard::Scope open(m_guard);
    m_inner.ShowError(text, caption);
}

void GuardedPrompts::ShowMessage(const QString& text)
{
    const ModalGuard::Scope open(m_guard);
    m_inner.ShowMessage(text);
}

void GuardedPrompts::ShowInfo(const QString& text, const QString& caption)
{
    const ModalGuard::Scope open(m_guard);
    m_inner.ShowInfo(text, caption);
}

PromptButton GuardedPrompts::AskOkRetry(const QString& text, const QString& caption)
{
    const ModalGuard::Scope open(m_guard);
    return m_inner.AskOkRetry(text, caption);
}

PromptButton GuardedPrompts::AskYesNo(const QString& text, const QString& caption)
{
    const ModalGuard::Scope open(m_guard);
    return m_inner.AskYesNo(text, caption);
}

PromptButton GuardedPrompts::AskYesNoCancel(const QString& text, const QString& caption)
{
    const ModalGuard::Scope open(m_guard);
    return m_inner.AskYesNoCancel(text, caption);
}

std::optional<QString> GuardedPrompts::AskOpenFile(const QString& caption, const QString& folder,
                                                   const QString& filter)
{
    const ModalGuard::Scope open(m_guard);
    return m_inner.AskOpenFile(caption, folder, filter);
}

std::optional<QString> GuardedPrompts::AskSaveFile(const QString& caption, const QString& suggested,
                                                   const QString& filter)
{
    const ModalGuard::Scope open(m_guard);
    return m_inner.AskSaveFile(caption, suggested, filter);
}

std::optional<QString> GuardedPrompts::AskText(const QString& caption, const QString& prompt,
                                               const QString& initial)
{
    const ModalGuard::Scope open(m_guard);
    return m_inner.AskText(caption, prompt, initial);
}

std::optional<QString> GuardedPrompts::AskFolder(const FolderQuestion& question)
{
    const ModalGuard::Scope open(m_guard);
    return m_inner.AskFolder(question);
}

void GuardedBusyWait::Wait200ms()
{
    // The wait handles pending events meanwhile: a MIDI message or a timer's tick among them
    // would run into an exercise while its file is half written.
    const ModalGuard::Scope open(m_guard);
    m_inner.Wait200ms();
}

} // namespace pv
