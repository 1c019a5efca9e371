// Listing and loading setup files for the chooser.
#include "exercises/levels/LevelsModel.h"

#include "exercises/setup/SetupOperations.h"
#include "music/base/Prompts.h"

#include <algorithm>
#include <optional>

#include <QDir>
#include <QFileInfo>

namespace pv {

QString LevelsFolder(const QString& listFolder, const QString& programFolder)
{
    if (!listFolder.isEmpty() && QFileInfo(listFolder).isDir())
        return listFolder;
    return programFolder;
}

QString SetupDisplayName(const QString& fileName)
{
    const QString name = QFileInfo(fileName).fileName();
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

std::vector<SetupEntry> ListSetupFiles(const QString& folder)
{
    std::vector<SetupEntry> entries;
    if (folder.isEmpty())
        return entries;
    // Setup files come from Windows as "X.QIB" as often as "x.qib": the extension is matched
    // without case. Each entry keeps its own path, so "a.b.qib" (shown as "a") loads itself.
    QDir dir(folder);
    const QFileInfoList files = dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& file : files) {
        if (file.suffix().compare(QStringLiteral("qib"), Qt::CaseInsensitive) != 0)
            continue;
        entries.push_back({SetupDisplayName(file.fileName()), file.absoluteFilePath()});
    }
    std::sort(entries.begin(), entries.end(), [](const SetupEntry& a, const SetupEntry& b) {
        const int byName = a.DisplayName.compare(b.DisplayName, Qt::CaseInsensitive);
        if (byName != 0)
            return byName < 0;
        return a.FilePath < b.FilePath;
    });
    return entries;
}

SetupLoader LoadThrough(SetupOperations& operations)
{
    return [&operations](const QString& fileName) {
        return operations.LoadExerciseSetup(fileName, false).Ok();
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

void LevelsModel::Activate(const QString& listFolder, const QString& programFolder)
{
    m_folder = LevelsFolder(listFolder, programFolder);
    m_entries = ListSetupFiles(m_folder);
}

std::optional<LevelsResult> LevelsModel::LoadEntry(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_entries.size())
        return std::nullopt;
    return LoadFile(m_entries[static_cast<std::size_t>(index)].FilePath);
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
    m_lastFileName = fileName;
    if (!m_loader)
        return LevelsResult::NotLoaded;
    return m_loader(fileName) ? LevelsResult::Loaded : LevelsResult::NotLoaded;
}

} // namespace pv
