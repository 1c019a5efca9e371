// The prompt service on real message boxes, input boxes and file dialogs.
#pragma once

#include "music/base/Prompts.h"

#include <QPointer>
#include <QWidget>

namespace pv {

class QtPrompts final : public IPrompts
{
public:
    /// parent: the window the boxes are modal to (may be null).
    explicit QtPrompts(QWidget* parent = nullptr) : m_parent(parent) {}
    void SetParent(QWidget* parent) { m_parent = parent; }

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
    QPointer<QWidget> m_parent;
};

} // namespace pv
