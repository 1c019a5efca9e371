// Message boxes and dialogs of the prompt service.
#include "music/ui/QtPrompts.h"

#include <QApplication>
#include <QFileDialog>
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

} // namespace pv
