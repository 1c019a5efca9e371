// Listing and loading setup files for the chooser.
#include "exercises/levels/LevelsModel.h"

#include "exercises/setup/SetupOperations.h"
#include "music/base/Prompts.h"
#include "music/files/Win1252.h"

#include <algorithm>
#include <dirent.h>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <vector>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace pv {

QString SetupDisplayName(const QString& fileName)
{
    const QString name = QFileInfo(fileName).fileName();
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    // A name that starts with its dot (".qib") would show as nothing at all.
    return dot <= 0 ? name : name.left(dot);
}

QString ReadableFileName(const QByteArray& nativeName)
{
    const QString utf8 = QString::fromUtf8(nativeName);
    if (utf8.toUtf8() == nativeName)
        return utf8;
    const std::vector<std::uint8_t> bytes(nativeName.begin(), nativeName.end());
    return FromWin1252(bytes);
}

namespace {

bool HasSetupExtension(const QByteArray& name)
{
    return name.size() >= 4 && name.right(4).toLower() == QByteArrayLiteral(".qib");
}

} // namespace

std::vector<SetupEntry> ListSetupFiles(const QString& folder)
{
    std::vector<SetupEntry> entries;
    if (folder.isEmpty())
        return entries;
    // Read with the system's own listing: Qt's skips names that are not valid UTF-8, and those
    // names could not be opened through a QString anyway.
    const QString absolute = QDir(folder).absolutePath();
    QByteArray nativeFolder = QFile::encodeName(absolute);
    if (!nativeFolder.endsWith('/'))
        nativeFolder += '/';
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(nativeFolder.constData()), closedir);
    if (!dir)
        return entries;
    while (const dirent* item = readdir(dir.get())) {
        const QByteArray name(item->d_name);
        // Setup files come from Windows as "X.QIB" as often as "x.qib": the extension is
        // matched without case.
        if (!HasSetupExtension(name))
            continue;
        const QByteArray nativePath = nativeFolder + name;
        // stat follows a link: a link to a setup file is listed, a dangling one is not, and
        // neither is a FIFO, a socket or a device.
        struct stat info
        {
        };
        if (stat(nativePath.constData(), &info) != 0 || !S_ISREG(info.st_mode))
            continue;
        const QString readable = ReadableFileName(name);
        // Each entry keeps its own path, so "a.b.qib" (shown as "a") loads itself.
        entries.push_back(
            {SetupDisplayName(readable), QDir(absolute).filePath(readable), nativePath});
    }
    std::sort(entries.begin(), entries.end(), [](const SetupEntry& a, const SetupEntry& b) {
        const int byName = a.DisplayName.compare(b.DisplayName, Qt::CaseInsensitive);
        if (byName != 0)
            return byName < 0;
        return a.NativePath < b.NativePath;
    });
    return entries;
}

std::vector<SetupEntry> ChooserSetups(const QString& ownFolder, const QString& programFolder)
{
    std::vector<SetupEntry> entries = ListSetupFiles(programFolder);
    const QString program = QFileInfo(programFolder).canonicalFilePath();
    const QString own = QFileInfo(ownFolder).canonicalFilePath();
    // The user's folder can be the program's own (an older record): its files are the
    // shipped ones, listed once.
    if (own.isEmpty() || own == program)
        return entries;
    for (SetupEntry& entry : ListSetupFiles(ownFolder)) {
        entry.Own = true;
        entries.push_back(std::move(entry));
    }
    return entries;
}

SetupLoader LoadThrough(SetupOperations& operations)
{
    return [&operations](const SetupEntry& file) {
        return operations.LoadExerciseSetup(file.FilePath, false, file.NativePath).Ok();
    };
}

QString LevelsModel::OpenFilter()
{
    return SetupFileFilter();
}

LevelsModel::LevelsModel(IPrompts& prompts, SetupLoader loader)
    : m_prompts(prompts), m_loader(std::move(loader))
{
}

void LevelsModel::Activate(const QString& ownFolder, const QString& programFolder)
{
    m_folder = programFolder;
    m_entries = ChooserSetups(ownFolder, programFolder);
    m_selected = -1;
}

bool LevelsModel::HasOwnEntries() const
{
    return std::any_of(m_entries.begin(), m_entries.end(),
                       [](const SetupEntry& entry) { return entry.Own; });
}

void LevelsModel::Select(int index)
{
    const bool valid = index >= 0 && static_cast<std::size_t>(index) < m_entries.size();
    m_selected = valid ? index : -1;
}

std::optional<LevelsResult> LevelsModel::LoadSelected()
{
    return LoadEntry(m_selected);
}

std::optional<LevelsResult> LevelsModel::LoadEntry(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_entries.size())
        return std::nullopt;
    return Load(m_entries[static_cast<std::size_t>(index)]);
}

std::optional<QString> LevelsModel::AskOtherFile(const QString& setupFolder)
{
    const std::optional<QString> chosen =
        m_prompts.AskOpenFile(OpenCaption(), setupFolder, OpenFilter());
    if (!chosen || chosen->isEmpty())
        return std::nullopt;
    QString fileName = *chosen;
    // The dialog's default extension: a bare name typed by the user means its setup file.
    if (QFileInfo(fileName).suffix().isEmpty() && !QFileInfo::exists(fileName))
        fileName += QStringLiteral(".qib");
    return fileName;
}

LevelsResult LevelsModel::LoadFile(const QString& fileName)
{
    return Load({SetupDisplayName(fileName), fileName, QFile::encodeName(fileName)});
}

LevelsResult LevelsModel::Load(const SetupEntry& file)
{
    m_lastFileName = file.FilePath;
    if (!m_loader)
        return LevelsResult::NotLoaded;
    return m_loader(file) ? LevelsResult::Loaded : LevelsResult::NotLoaded;
}

} // namespace pv
