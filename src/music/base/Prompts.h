// Message boxes and file dialogs as one small service, so that logic asks and tests answer.
#pragma once

#include <functional>
#include <optional>

#include <QString>

namespace pv {

enum class PromptButton : int
{
    Ok = 1,
    Cancel = 2,
    Retry = 4,
    Yes = 6,
    No = 7,
};

/// The folder dialog while it is open: what its owner may change on it.
class IOpenFolderDialog
{
public:
    virtual ~IOpenFolderDialog() = default;
    virtual void SelectFolder(const QString& folder) = 0;
    /// Changes the status line (only a dialog asked with one shows it).
    virtual void SetStatus(const QString& text) = 0;
};

/// A question for a folder.
struct FolderQuestion
{
    QString Title;  ///< shown above the folders
    QString Folder; ///< selected at the start
    bool ShowStatus = false;
    QString Status; ///< the status line's text when ShowStatus
    /// The dialog is up (may be empty).
    std::function<void(IOpenFolderDialog&)> Shown;
    /// The selection moved: the folder, or empty for an entry that is no folder (may be empty).
    std::function<void(IOpenFolderDialog&, const QString&)> Selected;
};

class IPrompts
{
public:
    virtual ~IPrompts() = default;
    /// An error box with one OK button.
    virtual void ShowError(const QString& text, const QString& caption) = 0;
    /// A plain information box with the application title and one OK button.
    virtual void ShowMessage(const QString& text) = 0;
    /// A box with a caption, one OK button and no icon.
    virtual void ShowInfo(const QString& text, const QString& caption) = 0;
    /// OK or Retry.
    virtual PromptButton AskOkRetry(const QString& text, const QString& caption) = 0;
    /// Yes or No.
    virtual PromptButton AskYesNo(const QString& text, const QString& caption) = 0;
    /// Yes, No or Cancel.
    virtual PromptButton AskYesNoCancel(const QString& text, const QString& caption) = 0;
    /// A file to open; nothing when cancelled. filter as "Setup files (*.qib)".
    virtual std::optional<QString> AskOpenFile(const QString& caption, const QString& folder,
                                               const QString& filter) = 0;
    /// A file to save to; nothing when cancelled.
    virtual std::optional<QString> AskSaveFile(const QString& caption, const QString& suggested,
                                               const QString& filter) = 0;
    /// A line of text (input box); nothing when cancelled.
    virtual std::optional<QString> AskText(const QString& caption, const QString& prompt,
                                           const QString& initial) = 0;
    /// A folder of the file system, as the system spells it; nothing when cancelled.
    virtual std::optional<QString> AskFolder(const FolderQuestion& question) = 0;
};

/// Says nothing and gives up on every question (OK, No, Cancel, no file, no text): for tools,
/// fuzz targets and benchmarks, which never have a user to ask.
class SilentPrompts final : public IPrompts
{
public:
    void ShowError(const QString&, const QString&) override {}
    void ShowMessage(const QString&) override {}
    void ShowInfo(const QString&, const QString&) override {}
    PromptButton AskOkRetry(const QString&, const QString&) override { return PromptButton::Ok; }
    PromptButton AskYesNo(const QString&, const QString&) override { return PromptButton::No; }
    PromptButton AskYesNoCancel(const QString&, const QString&) override
    {
        return PromptButton::Cancel;
    }
    std::optional<QString> AskOpenFile(const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    std::optional<QString> AskSaveFile(const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    std::optional<QString> AskText(const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    std::optional<QString> AskFolder(const FolderQuestion&) override { return std::nullopt; }
};

} // namespace pv
