// Reading a language file and spreading its texts over the program: the string table, the
// registered windows, the item names, the start menu and the derived names and symbols.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include <QString>
#include <QStringList>

namespace pv {

class IPrompts;
class IStartMenuText;
class LanguageTargets;
struct ItemTables;
struct UIStringTable;

/// Flag bits of a load.
inline constexpr std::uint8_t kLanguageFullTable = 1;   ///< apply the full table
inline constexpr std::uint8_t kLanguageDialogTable = 2; ///< the settings dialog's, while open
inline constexpr std::uint8_t kLanguageAllTables = 255;

/// The longest file name a load uses (longer ones are cut).
inline constexpr int kMaxLanguageFileNameLength = 151;
/// The longest language name the settings can carry whole (see ListLanguageNames).
inline constexpr int kMaxLanguageNameLength = 15;

/// What the loader writes to and asks; everything the caller owns.
struct LanguageContext
{
    UIStringTable& Strings;
    ItemTables& Items; ///< the running item tables; built-in item names are replaced
    LanguageTargets& Targets;
    IPrompts& Prompts;
    IStartMenuText* StartMenu = nullptr; ///< none before the start menu exists
    std::function<bool()> SettingsDialogOpen;
    std::function<bool()> ConfigWizardPending;
};

/// One parsed line of a language file.
struct LanguageLine
{
    int Id = 0;
    QString Text;
};

/// Parses one decoded line (without its line end); nothing for a comment, an empty line, a
/// line without "=" or an id that is not a decimal integer (leading blanks and a sign pass,
/// anything else before the "=" fails).
std::optional<LanguageLine> ParseLanguageLine(const QString& line);

/// Reads the file and applies every line in file order; false (after the file-not-found
/// message, or one naming why the file cannot be read) when it cannot be opened. Only a
/// regular file (or a link to one) is read, opened without waiting. A name that differs from
/// the file on disk only in case still finds the file.
bool LoadLanguageFile(const QString& fileName, std::uint8_t flags, LanguageContext& context);

/// Applies the compiled-in English texts as a load with every flag would, then rebuilds the
/// derived names; run once at start-up before any file is read.
void ApplyBuiltInTexts(LanguageContext& context);

/// Applies the text of one id as a line of a file would.
void ApplyLanguageText(int id, const QString& text, std::uint8_t flags, LanguageContext& context);

/// Renames the chord-inversion items after their chord and inversion word and takes the
/// chord symbols from the chord names; every load ends with it.
void RebuildDerivedTexts(ItemTables& items, const UIStringTable& strings);

/// The registry keys of the full table (and of the guarded windows when they exist) that no
/// window registered: a window that shows such a control would show its design text.
QStringList UnregisteredTargetKeys(const LanguageTargets& targets, bool settingsDialogOpen,
                                   bool configWizardPending);

/// The base names (before the first ".") of the "*.LAN" files of a folder whose names fit
/// the settings, sorted ignoring case; longer names are left out so a chosen language is
/// always found again on the next start.
QStringList ListLanguageNames(const QString& folder);

} // namespace pv
