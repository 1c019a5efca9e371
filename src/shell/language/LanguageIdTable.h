// The fixed mapping from a language id to the places its text goes to, as plain data.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace pv {

/// What a target is. Registered windows receive captions, hints, titles, list entries and
/// form texts through `LanguageTargets`; the other kinds the loader sets itself.
enum class LanguageTargetKind : std::uint8_t
{
    StringVariable = 1, ///< a `UIStrings` entry, through SetUIStringById (it adds its own suffix)
    MenuItem = 2,
    ControlCaption = 3,
    Hint = 4,
    DialogTitle = 5,
    ListEntry = 6,
    ItemName = 7,      ///< the name of a built-in item of the item tables
    FormText = 8,      ///< a text field of an exercise form
    StartMenuText = 9, ///< the start menu's description
    NoteLetter = 10,   ///< the letter of B in `NoteLetters`
    ChordSymbol = 11,  ///< an entry of `ChordSymbolTable`
};

/// How the text is changed before it reaches the target.
enum class LanguageTextTreatment : std::uint8_t
{
    None = 0,
    Ellipsis = 1,                ///< text + "..."
    AmpersandPrefix = 2,         ///< "&" + text
    Colon = 3,                   ///< text + ":"
    StarEquals = 4,              ///< "* = " + text
    GroupHeading = 5,            ///< "-- " + upper-cased text + " " + dashes up to 32 characters
    LetterB = 6,                 ///< the letter of B (trimmed, upper-cased, first character)
    LetterBTwoSharpsKey = 7,     ///< "D/" + the letter in lower case
    LetterBFiveSharpsKey = 8,    ///< the letter + "/g#"
    LetterBTwoSharpsEntry = 9,   ///< "D/" + lower-case letter + " (2#)"
    LetterBFiveSharpsEntry = 10, ///< the letter + "/g# (5#)"
    StartMenuLine = 11,          ///< one line, unchanged
    StartMenuProductLine = 12,   ///< one line, text + " Pellivark Pro 4.0"
    StartMenuWrapped = 13,       ///< word-wrapped lines
    StartMenuScrollStop = 14,    ///< scroll stop marked, then word-wrapped lines
};

/// Windows that exist only at times; their targets are set only then.
enum class LanguageTargetGuard : std::uint8_t
{
    Always = 0,
    SettingsDialog = 1, ///< while `SettingsDialogOpen`
    ConfigWizard = 2,   ///< while `ConfigWizardPending`
};

/// The item table an item name belongs to.
enum class LanguageItemTable : std::uint8_t
{
    None = 0,
    ChordIdentification = 1,
    IntervalIdentification = 2,
    Scales = 3,
};

/// One target of one id; an id with several targets has several consecutive rows.
struct LanguageTarget
{
    int Id;
    LanguageTargetKind Kind;
    const char* Key; ///< the registry key (or a descriptive key for the loader's own kinds)
    LanguageTextTreatment Treatment;
    LanguageTargetGuard Guard;
    int Index;                   ///< item, list entry, array entry or table entry; -1 unused
    LanguageItemTable ItemTable; ///< for item names
    int MaxLength;               ///< the target's capacity in characters; 0 = unlimited
};

/// The full table (flags bit 0), sorted by id.
std::span<const LanguageTarget> FullLanguageTable();
/// The settings dialog's table (flags bit 1, while the dialog is open), sorted by id.
std::span<const LanguageTarget> DialogLanguageTable();
/// The rows of one id in a table; empty when the table does not name it.
std::span<const LanguageTarget> TargetsOfId(std::span<const LanguageTarget> table, int id);
/// The distinct ids of a table, ascending.
std::vector<int> IdsOfTable(std::span<const LanguageTarget> table);

/// Ids of 6100 and above are never read.
inline constexpr int kFirstIgnoredLanguageId = 6100;
/// The settings dialog's ids lie in this range.
inline constexpr int kFirstDialogLanguageId = 72;
inline constexpr int kLastDialogLanguageId = 193;

} // namespace pv
