// Folder rules of the program: executable folder, writable data folder, case-insensitive lookup.
#include "music/files/Folders.h"

#include <algorithm>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

namespace pv {

namespace {

QString WithSlash(QString path)
{
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!path.isEmpty() && !path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}

bool CanWriteIn(const QString& folder)
{
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

/// The data folder named by the environment; empty when it names none.
QString OverriddenDataFolder()
{
    const QString overridden = qEnvironmentVariable(kDataFolderVariable);
    return overridden.isEmpty() ? QString() : WithSlash(QDir(overridden).absolutePath());
}

QString UsersDataFolder()
{
    const QString appData = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return WithSlash(appData) + QStringLiteral("Data/");
}

} // namespace

Folders ChooseFolders(const QString& programFolder)
{
    Folders folders;
    folders.ProgramFolder = WithSlash(QDir(programFolder).absolutePath());
    if (const QString overridden = OverriddenDataFolder(); !overridden.isEmpty()) {
        folders.DataFolder = overridden;
        return folders;
    }
    const QString beside = folders.ProgramFolder + QStringLiteral("Data/");
    // Data beside the program is the normal case (a build folder or a portable copy); a
    // read-only program folder keeps its data in the user's own location instead.
    if (QFileInfo(beside).isDir() ? CanWriteIn(beside) : CanWriteIn(folders.ProgramFolder)) {
        folders.DataFolder = beside;
        return folders;
    }
    folders.DataFolder = UsersDataFolder();
    return folders;
}

QString InstalledProgramFolder(const QString& binaryFolder)
{
    // The build gives the way from its install folder of binaries to that of shared files.
    return WithSlash(QDir::cleanPath(WithSlash(QDir(binaryFolder).absolutePath()) +
                                     QStringLiteral(PELLIVARK_SHIPPED_FROM_BINARY)));
}

Folders ChooseFoldersOfBinary(const QString& binaryFolder)
{
    if (QFileInfo(WithSlash(binaryFolder) + QStringLiteral("Language")).isDir())
        return ChooseFolders(binaryFolder);
    const QString installed = InstalledProgramFolder(binaryFolder);
    if (!QFileInfo(installed).isDir())
        return ChooseFolders(binaryFolder);
    // An installation belongs to the system's packages (or to a later install that replaces
    // it): the user's files never go there, even when this user could write it (root, or a
    // prefix in the home folder).
    Folders folders;
    folders.ProgramFolder = installed;
    const QString overridden = OverriddenDataFolder();
    folders.DataFolder = overridden.isEmpty() ? UsersDataFolder() : overridden;
    return folders;
}

Folders ChooseFoldersOfApplication()
{
    return ChooseFoldersOfBinary(QCoreApplication::applicationDirPath());
}

QString ResultFolder(const Folders& folders)
{
    return folders.DataFolder + QStringLiteral("Result/");
}

std::optional<QString> CreateDataFolders(const Folders& folders)
{
    for (const QString& folder : {folders.DataFolder, ResultFolder(folders)}) {
        if (!QDir().mkpath(folder))
            return folder;
    }
    return std::nullopt;
}

QString MakeAbsolutePath(const Folders& folders, const QString& name)
{
    if (name.contains(QLatin1Char('\\')) || name.contains(QLatin1Char('/'))) {
        QString path = name;
        path.replace(QLatin1Char('\\'), QLatin1Char('/'));
        return path;
    }
    return folders.ProgramFolder + name;
}

namespace {

/// Where path really is: links and "." or ".." resolved as far as the path exists.
QString ResolvedPath(const QString& path)
{
    const QFileInfo info(path);
    if (const QString canonical = info.canonicalFilePath(); !canonical.isEmpty())
        return canonical;
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    if (folder.isEmpty())
        return QDir::cleanPath(info.absoluteFilePath());
    return folder + u'/' + info.fileName();
}

bool IsInside(const QString& path, const QString& folder)
{
    if (folder.isEmpty())
        return false;
    return path == folder || path.startsWith(folder.endsWith(u'/') ? folder : folder + u'/');
}

} // namespace

bool IsShippedFile(const Folders& folders, const QString& path)
{
    if (folders.ProgramFolder.isEmpty() || path.isEmpty())
        return false;
    const QString resolved = ResolvedPath(path);
    return IsInside(resolved, ResolvedPath(folders.ProgramFolder)) &&
           !(!folders.DataFolder.isEmpty() && IsInside(resolved, ResolvedPath(folders.DataFolder)));
}

QString FindFileCaseInsensitive(const QString& folder, const QString& name)
{
    if (name.isEmpty())
        return {};
    const QString base = WithSlash(folder);
    if (QFileInfo(base + name).isFile())
        return base + name;
    const QDir dir(base);
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return base + entry;
    }
    return {};
}

QStringList GlobCaseInsensitive(const QString& folder, const QString& pattern)
{
    const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(
                                    pattern, QRegularExpression::UnanchoredWildcardConversion),
                                QRegularExpression::CaseInsensitiveOption);
    const QRegularExpression anchored(QRegularExpression::anchoredPattern(re.pattern()),
                                      QRegularExpression::CaseInsensitiveOption);
    QStringList names;
    const QStringList entries = QDir(WithSlash(folder)).entryList(QDir::Files | QDir::Hidden);
    for (const QString& entry : entries) {
        if (anchored.match(entry).hasMatch())
            names.push_back(entry);
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    return names;
}

} // namespace pv
