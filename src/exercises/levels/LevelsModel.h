// The setup chooser without its window: which setup files a folder holds, how they are shown, and
// loading exactly the one the user picked.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include <QByteArray>
#include <QString>

namespace pv {

class IPrompts;
class SetupOperations;

/// One listed setup file.
struct SetupEntry
{
    QString DisplayName; ///< the file name up to its first "."
    QString FilePath;    ///< the file itself, readable (see NativePath)
    /// The path as the system spells it: a name that is not valid UTF-8 has no QString that
    /// opens it, so loading goes by these bytes.
    QByteArray NativePath;
    /// The user's own setup (from the user's folder), not one that came with the program.
    bool Own = false;
};

/// Loads a setup file (the main window's load, which shows its own messages); true when a setup
/// was read and installed.
using SetupLoader = std::function<bool(const SetupEntry& file)>;

/// The main window's setup load as the chooser's loader (never quiet: a failure says why).
SetupLoader LoadThrough(SetupOperations& operations);

/// Modal results of the chooser.
enum class LevelsResult : int
{
    Loaded = 1,
    NotLoaded = 2,
};

/// The setups the chooser offers: the shipped ones of the program folder, then the user's own
/// of ownFolder, each group sorted (ListSetupFiles). A folder that is not there, or the user's
/// folder when it is the program folder itself, adds nothing.
std::vector<SetupEntry> ChooserSetups(const QString& ownFolder, const QString& programFolder);
/// The setup files (*.qib in any case) of a folder, sorted by shown name without regard to case.
/// Only regular files are listed (and links to them): a FIFO would block the load for ever and a
/// dangling link cannot be loaded. Names that are not valid UTF-8 are listed too.
std::vector<SetupEntry> ListSetupFiles(const QString& folder);
/// The shown name of a setup file: its name without folder up to, not including, the first ".";
/// the whole name when nothing comes before that dot (".qib").
QString SetupDisplayName(const QString& fileName);
/// A file name's bytes as text: UTF-8 when they are valid UTF-8, else Windows-1252 (the names
/// of files from older systems), so every name reads as letters.
QString ReadableFileName(const QByteArray& nativeName);

class LevelsModel
{
public:
    LevelsModel(IPrompts& prompts, SetupLoader loader);

    /// The window became active: lists the shipped setups and the user's own again
    /// (ChooserSetups) and nothing is selected.
    void Activate(const QString& ownFolder, const QString& programFolder);

    const std::vector<SetupEntry>& Entries() const { return m_entries; }
    /// The folder of the shipped setups listed.
    const QString& Folder() const { return m_folder; }
    /// Some entry is the user's own (the list then explains its mark).
    bool HasOwnEntries() const;
    /// The file name the chooser last tried to load.
    const QString& LastFileName() const { return m_lastFileName; }

    /// The entry the user picked; any index that names no entry selects nothing.
    void Select(int index);
    /// The selected entry, -1 for none.
    int Selected() const { return m_selected; }
    /// OK can act: an entry is selected.
    bool OkEnabled() const { return m_selected >= 0; }
    /// OK (or a double click): loads the selected entry; nothing when none is selected.
    std::optional<LevelsResult> LoadSelected();

    /// Loads entry index; nothing without a valid index.
    std::optional<LevelsResult> LoadEntry(int index);
    /// "Other...": asks for any setup file in setupFolder; nothing when the user cancelled (the
    /// chooser then stays open).
    std::optional<QString> AskOtherFile(const QString& setupFolder);
    /// Loads a file through the loader and remembers its name.
    LevelsResult LoadFile(const QString& fileName);

    /// Caption and filter of the open dialog; the caption comes with the language.
    const QString& OpenCaption() const { return m_openCaption; }
    void SetOpenCaption(const QString& caption) { m_openCaption = caption; }
    static QString OpenFilter();

private:
    LevelsResult Load(const SetupEntry& file);

    IPrompts& m_prompts;
    SetupLoader m_loader;
    std::vector<SetupEntry> m_entries;
    int m_selected = -1;
    QString m_folder;
    QString m_lastFileName;
    QString m_openCaption = QStringLiteral("Load Exercise Setup");
};

} // namespace pv
