// Choosing a folder through the prompt service.
#include "shell/tutor/TPathDialog.h"

namespace pv {

namespace {

bool IsSeparator(QChar c)
{
    return c == u'/' || c == u'\\';
}

} // namespace

void TPathDialog::SetDirectory(const QString& directory)
{
    QString value = directory;
    // "/" (or a drive's "C:\") names a root: without its separator it would name another folder.
    const bool root = value.size() == 1 || (value.size() == 3 && value[1] == u':');
    if (!root && !value.isEmpty() && IsSeparator(value.back()))
        value.chop(1);
    m_directory = value;
    if (m_open != nullptr && !m_directory.isEmpty())
        m_open->SelectFolder(m_directory);
}

void TPathDialog::SetStatusText(const QString& text)
{
    m_statusText = text;
    if (m_open != nullptr && m_showStatus)
        m_open->SetStatus(m_statusText);
}

bool TPathDialog::Execute()
{
    FolderQuestion question;
    question.Title = m_title;
    question.Folder = m_directory;
    question.ShowStatus = m_showStatus;
    question.Status = m_statusText;
    question.Shown = [this](IOpenFolderDialog& open) {
        m_open = &open;
        // Given again now that they can reach the dialog.
        SetDirectory(m_directory);
        SetStatusText(m_statusText);
        if (OnShow)
            OnShow(*this);
    };
    question.Selected = [this](IOpenFolderDialog& open, const QString& path) {
        m_open = &open;
        if (OnSelect)
            OnSelect(*this, path);
    };
    const std::optional<QString> chosen = m_prompts.AskFolder(question);
    m_open = nullptr;
    if (!chosen || chosen->isEmpty())
        return false;
    m_directory = *chosen;
    return true;
}

} // namespace pv
