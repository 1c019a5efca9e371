// Message boxes and dialogs of the prompt service.
#include "music/ui/QtPrompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>

namespace pv {

namespace {

PromptButton ToButton(QMessageBox::StandardButton b)
{
    switch (b) {
    case QMessageBox::Ok:
        return PromptButton::Ok;
    case QMessageBox::Retry:
        return PromptButton::Retry;
    case QMessageBox::Yes:
        return PromptButton::Yes;
    case QMessageBox::No:
        return PromptButton::No;
    default:
        return PromptButton::Cancel;
    }
}

} // namespace

void QtPrompts::ShowError(const QString& text, const QString& caption)
{
    QMessageBox::critical(m_parent, caption, text);
}

void QtPrompts::ShowMessage(const QString& text)
{
    QMessageBox::information(m_parent, QApplication::applicationName(), text);
}

void QtPrompts::ShowInfo(const QString& text, const QString& caption)
{
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, m_parent);
    box.exec();
}

PromptButton QtPrompts::AskOkRetry(const QString& text, const QString& caption)
{
    // A closed box counts as OK: giving up writes nothing, which is the safe answer.
    const auto b = QMessageBox::critical(m_parent, caption, text,
                                         QMessageBox::Ok | QMessageBox::Retry, QMessageBox::Retry);
    return b == QMessageBox::Retry ? PromptButton::Retry : PromptButton::Ok;
}

PromptButton QtPrompts::AskYesNo(const QString& text, const QString& caption)
{
    const auto b = QMessageBox::question(m_parent, caption, text,
                                         QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    return b == QMessageBox::Yes ? PromptButton::Yes : PromptButton::No;
}

PromptButton QtPrompts::AskYesNoCancel(const QString& text, const QString& caption)
{
    return ToButton(QMessageBox::question(m_parent, caption, text,
                                          QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                          QMessageBox::Yes));
}

std::optional<QString> QtPrompts::AskOpenFile(const QString& caption, const QString& folder,
                                              const QString& filter)
{
    const QString name = QFileDialog::getOpenFileName(m_parent, caption, folder, filter);
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

std::optional<QString> QtPrompts::AskSaveFile(const QString& caption, const QString& suggested,
                                              const QString& filter)
{
    const QString name = QFileDialog::getSaveFileName(m_parent, caption, suggested, filter);
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

std::optional<QString> QtPrompts::AskText(const QString& caption, const QString& prompt,
                                          const QString& initial)
{
    bool ok = false;
    const QString text =
        QInputDialog::getText(m_parent, caption, prompt, QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

namespace {

// The open Qt folder dialog as its owner sees it.
class OpenQtFolderDialog final : public IOpenFolderDialog
{
public:
    OpenQtFolderDialog(QFileDialog& dialog, bool showStatus)
        : m_dialog(dialog), m_showStatus(showStatus)
    {
    }
    void SelectFolder(const QString& folder) override
    {
        if (!folder.isEmpty())
            m_dialog.setDirectory(folder);
    }
    void SetStatus(const QString& text) override
    {
        if (m_showStatus)
            m_dialog.setLabelText(QFileDialog::LookIn, text);
    }

private:
    QFileDialog& m_dialog;
    bool m_showStatus;
};

} // namespace

std::optional<QString> QtPrompts::AskFolder(const FolderQuestion& question)
{
    QFileDialog dialog(m_parent, question.Title, question.Folder);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    // The system's own dialog has no place for a status line.
    if (question.ShowStatus) {
        dialog.setOption(QFileDialog::DontUseNativeDialog, true);
        dialog.setLabelText(QFileDialog::LookIn, question.Status);
    }
    OpenQtFolderDialog open(dialog, question.ShowStatus);
    if (question.Selected) {
        QObject::connect(&dialog, &QFileDialog::currentChanged, &dialog,
                         [&open, &question](const QString& path) {
                             question.Selected(open, QFileInfo(path).isDir() ? path : QString());
                         });
    }
    if (question.Shown) {
        // Queued: it runs once the dialog's own loop has started, so the dialog is up.
        QMetaObject::invokeMethod(
            &dialog, [&open, &question] { question.Shown(open); }, Qt::QueuedConnection);
    }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || !QFileInfo(chosen.front()).isDir())
        return std::nullopt;
    return chosen.front();
}

} // namespace pv
