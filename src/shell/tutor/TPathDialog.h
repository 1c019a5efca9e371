// Choosing a folder: a component that keeps its settings between uses and asks through the
// program's prompt service.
#pragma once

#include "music/base/Prompts.h"

#include <functional>

#include <QString>

namespace pv {

class TPathDialog
{
public:
    using TSelectEvent = std::function<void(TPathDialog& sender, const QString& path)>;
    using TNotifyEvent = std::function<void(TPathDialog& sender)>;

    explicit TPathDialog(IPrompts& prompts) : m_prompts(prompts) {}

    /// Shows the dialog on `Directory`; true when a folder was chosen, which `Directory` then
    /// holds as the system spells it. Cancelling leaves `Directory` as it was.
    bool Execute();

    const QString& Title() const { return m_title; }
    void SetTitle(const QString& title) { m_title = title; }
    const QString& Directory() const { return m_directory; }
    /// One trailing separator is dropped (the root folder keeps its own); while the dialog is
    /// open a folder given here is selected in it at once.
    void SetDirectory(const QString& directory);
    bool ShowStatus() const { return m_showStatus; }
    void SetShowStatus(bool show) { m_showStatus = show; }
    const QString& StatusText() const { return m_statusText; }
    /// While the dialog is open and shows a status line, the line changes at once.
    void SetStatusText(const QString& text);
    int Tag = 0;
    /// The dialog is up.
    TNotifyEvent OnShow;
    /// The selection changed: its folder, or empty for an entry that is no folder.
    TSelectEvent OnSelect;

    bool IsOpen() const { return m_open != nullptr; }

private:
    IPrompts& m_prompts;
    IOpenFolderDialog* m_open = nullptr;
    QString m_title;
    QString m_directory;
    bool m_showStatus = false;
    QString m_statusText;
};

} // namespace pv
