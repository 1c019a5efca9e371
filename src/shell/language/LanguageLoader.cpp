// The language loader: parsing rules, targets and the derived tables.
#include "shell/language/LanguageLoader.h"

#include "exercises/items/ItemTables.h"
#include "music/base/Prompts.h"
#include "music/files/Folders.h"
#include "music/files/RegularFile.h"
#include "music/files/Win1252.h"
#include "music/notation/NotationTables.h"
#include "music/notation/Pitch.h"
#include "music/strings/UIStrings.h"
#include "shell/language/BuiltInLanguageTexts.h"
#include "shell/language/LanguageIdTable.h"
#include "shell/language/LanguageTargets.h"
#include "shell/language/StartMenuText.h"

#include <algorithm>
#include <fcntl.h>
#include <limits>
#include <span>
#include <vector>

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

namespace pv {

namespace {

constexpr int kGroupHeadingWidth = 32;
constexpr int kInversionPrefixLength = 52;
constexpr int kInversionWordCount = 6;
/// Chord-identification item of each chord symbol entry 0..18.
constexpr int kChordSymbolItems[kChordSymbolCount] = {0,  1,  2,  3,  4,  5,  6,  7,  8, 9,
                                                      10, 11, 12, 13, 14, 15, 16, 23, 25};
constexpr int kFirstDerivedChordSymbol = 2;
/// Longer lines are skipped as broken.
constexpr qint64 kMaxLineLength = 64 * 1024;

bool IsRegistryKind(LanguageTargetKind kind)
{
    switch (kind) {
    case LanguageTargetKind::MenuItem:
    case LanguageTargetKind::ControlCaption:
    case LanguageTargetKind::Hint:
    case LanguageTargetKind::DialogTitle:
    case LanguageTargetKind::ListEntry:
    case LanguageTargetKind::FormText:
        return true;
    default:
        return false;
    }
}

bool GuardAllows(LanguageTargetGuard guard, const LanguageContext& context)
{
    switch (guard) {
    case LanguageTargetGuard::Always:
        return true;
    case LanguageTargetGuard::SettingsDialog:
        return context.SettingsDialogOpen && context.SettingsDialogOpen();
    case LanguageTargetGuard::ConfigWizard:
        return context.ConfigWizardPending && context.ConfigWizardPending();
    }
    return false;
}

bool UsesLetterB(LanguageTextTreatment treatment)
{
    return treatment == LanguageTextTreatment::LetterB ||
           treatment == LanguageTextTreatment::LetterBTwoSharpsKey ||
           treatment == LanguageTextTreatment::LetterBFiveSharpsKey ||
           treatment == LanguageTextTreatment::LetterBTwoSharpsEntry ||
           treatment == LanguageTextTreatment::LetterBFiveSharpsEntry;
}

/// The text as the target receives it; nothing when the target is to stay as it is.
std::optional<QString> Treated(const LanguageTarget& target, const QString& text)
{
    if (UsesLetterB(target.Treatment)) {
        const QString trimmed = text.trimmed().toUpper();
        if (trimmed.isEmpty())
            return std::nullopt;
        const QString letter = trimmed.left(1);
        switch (target.Treatment) {
        case LanguageTextTreatment::LetterBTwoSharpsKey:
            return QStringLiteral("D/") + letter.toLower();
        case LanguageTextTreatment::LetterBFiveSharpsKey:
            return letter + QStringLiteral("/g#");
        case LanguageTextTreatment::LetterBTwoSharpsEntry:
            return QStringLiteral("D/") + letter.toLower() + QStringLiteral(" (2#)");
        case LanguageTextTreatment::LetterBFiveSharpsEntry:
            return letter + QStringLiteral("/g# (5#)");
        default:
            return letter;
        }
    }
    QString result;
    switch (target.Treatment) {
    case LanguageTextTreatment::Ellipsis:
        result = text + QStringLiteral("...");
        break;
    case LanguageTextTreatment::AmpersandPrefix:
        result = QLatin1Char('&') + text;
        break;
    case LanguageTextTreatment::Colon:
        result = text + QLatin1Char(':');
        break;
    case LanguageTextTreatment::StarEquals:
        result = QStringLiteral("* = ") + text;
        break;
    case LanguageTextTreatment::GroupHeading: {
        const auto dashes =
            static_cast<qsizetype>(std::max<qsizetype>(0, kGroupHeadingWidth - text.size()));
        result = QStringLiteral("-- ") + text.toUpper() + QLatin1Char(' ') +
                 QString(dashes, QLatin1Char('-'));
        break;
    }
    default:
        result = text;
        break;
    }
    if (target.MaxLength > 0)
        result.truncate(target.MaxLength);
    return result;
}

ItemTable* ItemTableOf(ItemTables& items, LanguageItemTable table)
{
    switch (table) {
    case LanguageItemTable::ChordIdentification:
        return &items.ChordIdentification;
    case LanguageItemTable::IntervalIdentification:
        return &items.IntervalIdentification;
    case LanguageItemTable::Scales:
        return &items.Scales;
    case LanguageItemTable::None:
        break;
    }
    return nullptr;
}

void ApplyStartMenu(const LanguageTarget& target, const QString& text, IStartMenuText* menu)
{
    if (menu == nullptr)
        return;
    switch (target.Treatment) {
    case LanguageTextTreatment::StartMenuLine:
        menu->AddLine(text);
        break;
    case LanguageTextTreatment::StartMenuProductLine:
        menu->AddLine(text + QStringLiteral(" Pellivark Pro 4.0"));
        break;
    case LanguageTextTreatment::StartMenuScrollStop:
        menu->MarkScrollStop();
        menu->AddDescription(text);
        break;
    default:
        menu->AddDescription(text);
        break;
    }
}

void ApplyTarget(const LanguageTarget& target, const QString& text, LanguageContext& context)
{
    if (!GuardAllows(target.Guard, context))
        return;
    switch (target.Kind) {
    case LanguageTargetKind::StringVariable:
        SetUIStringById(context.Strings, target.Id, text);
        return;
    case LanguageTargetKind::StartMenuText:
        ApplyStartMenu(target, text, context.StartMenu);
        return;
    case LanguageTargetKind::ItemName: {
        ItemTable* table = ItemTableOf(context.Items, target.ItemTable);
        if (table == nullptr || target.Index < 0 || target.Index >= static_cast<int>(kItemCount))
            return;
        table->Names[static_cast<std::size_t>(target.Index)] =
            text.left(static_cast<qsizetype>(kItemNameCapacity));
        return;
    }
    default:
        break;
    }
    const std::optional<QString> treated = Treated(target, text);
    if (!treated)
        return;
    switch (target.Kind) {
    case LanguageTargetKind::NoteLetter:
        SetNoteLetterB(treated->at(0));
        return;
    case LanguageTargetKind::ChordSymbol:
        SetChordSymbol(target.Index, *treated);
        return;
    default:
        context.Targets.Apply(QString::fromLatin1(target.Key), *treated);
        return;
    }
}

// The standard string-to-integer conversion: blanks before the number and one sign are
// accepted; anything else, a blank after the digits included, fails.
std::optional<int> ParseId(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    long long value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c - u'0');
        if (value > std::numeric_limits<int>::max())
            return std::nullopt;
    }
    return static_cast<int>(negative ? -value : value);
}

QString Decode(const QByteArray& bytes)
{
    const std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
    return FromWin1252(data);
}

// A file saved by an editor that puts a byte-order mark in front is UTF-8, not the code page.
bool StripUtf8Bom(QByteArray& line)
{
    if (!line.startsWith("\xEF\xBB\xBF"))
        return false;
    line.remove(0, 3);
    return true;
}

// Reads one line, at most kMaxLineLength bytes of it, into the caller's buffer: reading
// with a size limit into a new array would allocate the whole limit for every short line.
QByteArray ReadLinePart(QFile& file, std::vector<char>& buffer)
{
    const qint64 read = file.readLine(buffer.data(), static_cast<qint64>(buffer.size()));
    if (read <= 0)
        return {};
    return QByteArray(buffer.data(), static_cast<qsizetype>(read));
}

void SkipRestOfLine(QFile& file, std::vector<char>& buffer)
{
    while (!file.atEnd()) {
        const QByteArray part = ReadLinePart(file, buffer);
        if (part.isEmpty() || part.endsWith('\n'))
            return;
    }
}

Result<FileHandle, FileRefusal> OpenReadable(const QString& fileName)
{
    return OpenRegularFile(QFile::encodeName(fileName), O_RDONLY, LinkRule::Follow);
}

// Opened the program's one safe way: a pipe or a device named like the language file would
// otherwise hold the start for ever.
Status<FileRefusal> OpenLanguageFile(const QString& fileName, QFile& file)
{
    auto opened = OpenReadable(fileName);
    if (!opened) {
        // The shipped name and the name in the settings may differ in case ("English.LAN",
        // "english.lan"); the path itself is never changed.
        const QFileInfo info(fileName);
        const QString found = FindFileCaseInsensitive(info.path(), info.fileName());
        if (found.isEmpty() || found == fileName)
            return opened.Err();
        opened = OpenReadable(found);
        if (!opened)
            return opened.Err();
    }
    if (!file.open(opened.Value().Get(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return Fail(FileRefusal::Failed, file.errorString());
    opened.Value().Release();
    return {};
}

// A missing file is said as the message table says it; any other reason is named, since a
// file that is there but cannot be read is no missing file.
QString LanguageFileError(const UIStringTable& strings, const QString& name,
                          const Failure<FileRefusal>& refusal)
{
    if (refusal.code == FileRefusal::Missing)
        return strings.StrFileNotFound + QStringLiteral("\n\r\r") + name;
    return QStringLiteral("The language file cannot be read:") + QStringLiteral("\n\r\r") + name +
           QStringLiteral("\n\n") + refusal.detail;
}

} // namespace

std::optional<LanguageLine> ParseLanguageLine(const QString& line)
{
    if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
        return std::nullopt;
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    if (equals < 0)
        return std::nullopt;
    const std::optional<int> id = ParseId(QStringView(line).left(equals));
    if (!id)
        return std::nullopt;
    return LanguageLine{*id, line.mid(equals + 1)};
}

void ApplyLanguageText(int id, const QString& text, std::uint8_t flags, LanguageContext& context)
{
    if (id >= kFirstIgnoredLanguageId)
        return;
    if ((flags & kLanguageFullTable) != 0) {
        for (const LanguageTarget& target : TargetsOfId(FullLanguageTable(), id))
            ApplyTarget(target, text, context);
    }
    if ((flags & kLanguageDialogTable) != 0 && id >= kFirstDialogLanguageId &&
        id <= kLastDialogLanguageId && context.SettingsDialogOpen && context.SettingsDialogOpen()) {
        for (const LanguageTarget& target : TargetsOfId(DialogLanguageTable(), id))
            ApplyTarget(target, text, context);
    }
}

void RebuildDerivedTexts(ItemTables& items, const UIStringTable& strings)
{
    const ItemTable& chords = items.ChordIdentification;
    ItemTable& inversions = items.ChordInversions;
    for (std::size_t i = 0; i < kItemCount; ++i) {
        if (inversions.Counts[i] == 0)
            continue;
        const int chord = inversions.Items[i].Notes[0].Code;
        const int inversion = inversions.Items[i].Notes[1].Code;
        // A tutor's table may name a chord beyond the table or an inversion without a word:
        // such an item keeps its name, or is named after its chord alone.
        if (chord == 255 || chord >= static_cast<int>(kItemCount))
            continue;
        const QString& chordName = chords.Names[static_cast<std::size_t>(chord)];
        QString name;
        if (inversion < kInversionWordCount) {
            name = (chordName + QStringLiteral(" (")).left(kInversionPrefixLength) +
                   strings.StrInversionNames[inversion].toLower() + QLatin1Char(')');
        } else {
            name = chordName;
        }
        inversions.Names[i] = name.left(static_cast<qsizetype>(kItemNameCapacity));
    }
    for (int entry = kFirstDerivedChordSymbol; entry < kChordSymbolCount; ++entry)
        SetChordSymbol(entry, chords.Names[static_cast<std::size_t>(kChordSymbolItems[entry])]);
}

bool LoadLanguageFile(const QString& fileName, std::uint8_t flags, LanguageContext& context)
{
    const QString name = fileName.left(kMaxLanguageFileNameLength);
    if ((flags & kLanguageFullTable) != 0 && context.StartMenu != nullptr)
        context.StartMenu->ClearDescriptions();
    QFile file;
    if (const Status<FileRefusal> opened = OpenLanguageFile(name, file); !opened) {
        context.Prompts.ShowError(LanguageFileError(context.Strings, name, opened.Err()),
                                  context.Strings.StrMessageTitle);
        return false;
    }
    bool utf8 = false;
    bool firstLine = true;
    std::vector<char> buffer(static_cast<std::size_t>(kMaxLineLength) + 1);
    while (!file.atEnd()) {
        QByteArray bytes = ReadLinePart(file, buffer);
        if (bytes.isEmpty())
            break;
        if (bytes.endsWith('\n')) {
            bytes.chop(1);
        } else if (!file.atEnd()) {
            // No text of the table is anywhere near this long: the line is broken, and
            // reading it whole could take all memory.
            SkipRestOfLine(file, buffer);
            firstLine = false;
            continue;
        }
        if (bytes.endsWith('\r'))
            bytes.chop(1);
        if (firstLine)
            utf8 = StripUtf8Bom(bytes);
        firstLine = false;
        const QString line = utf8 ? QString::fromUtf8(bytes) : Decode(bytes);
        if (const auto parsed = ParseLanguageLine(line))
            ApplyLanguageText(parsed->Id, parsed->Text, flags, context);
    }
    file.close();
    RebuildDerivedTexts(context.Items, context.Strings);
    return true;
}

void ApplyBuiltInTexts(LanguageContext& context)
{
    if (context.StartMenu != nullptr)
        context.StartMenu->ClearDescriptions();
    for (const BuiltInLanguageText& entry : BuiltInLanguageTexts())
        ApplyLanguageText(entry.Id, QString::fromUtf8(entry.Text), kLanguageAllTables, context);
    RebuildDerivedTexts(context.Items, context.Strings);
}

QStringList UnregisteredTargetKeys(const LanguageTargets& targets, bool settingsDialogOpen,
                                   bool configWizardPending)
{
    QStringList missing;
    const auto collect = [&](std::span<const LanguageTarget> table) {
        for (const LanguageTarget& target : table) {
            if (!IsRegistryKind(target.Kind))
                continue;
            if (target.Guard == LanguageTargetGuard::SettingsDialog && !settingsDialogOpen)
                continue;
            if (target.Guard == LanguageTargetGuard::ConfigWizard && !configWizardPending)
                continue;
            const QString key = QString::fromLatin1(target.Key);
            if (!targets.IsRegistered(key) && !missing.contains(key))
                missing.push_back(key);
        }
    };
    collect(FullLanguageTable());
    if (settingsDialogOpen)
        collect(DialogLanguageTable());
    return missing;
}

QStringList ListLanguageNames(const QString& folder)
{
    QStringList names;
    for (const QString& file : GlobCaseInsensitive(folder, QStringLiteral("*.LAN"))) {
        const QString base = file.section(QLatin1Char('.'), 0, 0);
        if (base.isEmpty() || base.size() > kMaxLanguageNameLength)
            continue;
        if (!names.contains(base, Qt::CaseInsensitive))
            names.push_back(base);
    }
    return names;
}

} // namespace pv
