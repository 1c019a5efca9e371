// Scanning a folder for tutors.
#include "shell/tutor/TutorList.h"

#include <algorithm>

#include <QDir>
#include <QFileInfo>

namespace pv {

Result<TutorHeader, TutorError> ReadHeader(const QString& path)
{
    auto bytes = ReadTutorHead(path, kTutorHeaderSize);
    if (!bytes)
        return bytes.Err();
    std::array<std::uint8_t, kTutorHeaderSize> head{};
    const auto& all = bytes.Value();
    std::copy_n(all.begin(), std::min(all.size(), head.size()), head.begin());
    return DecodeTutorHeader(head);
}

QString UsersTutorTitle(const Folders& folders, const TUserRec& rec)
{
    if (NamesNoTutorFile(rec.TutorFileName))
        return {};
    auto header = ReadHeader(MakeAbsolutePath(folders, rec.TutorFileName));
    return header ? header.Value().Title : QString();
}

std::vector<TAddInf> ScanFolder(const QString& folder, const Folders& folders)
{
    std::vector<TAddInf> entries;
    QString base = folder;
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    // The program's own folder is compared as a folder, not as spelled: a trailing slash or a
    // "." in the path makes no other folder.
    const bool programFolder =
        QDir(base).canonicalPath() == QDir(folders.ProgramFolder).canonicalPath() &&
        !QDir(base).canonicalPath().isEmpty();
    for (const QString& name : GlobCaseInsensitive(base, QStringLiteral("*.tut"))) {
        if (!QFileInfo(base + name).isFile())
            continue;
        TAddInf entry;
        entry.Path = programFolder ? name : base + name;
        if (auto header = ReadHeader(base + name))
            entry.Header = header.Value();
        if (entry.Header.Title.isEmpty())
            entry.Header.Title = name.left(static_cast<qsizetype>(kTutorTitleCapacity));
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::optional<QString> SelectedPath(const std::vector<TAddInf>& entries, int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= entries.size())
        return std::nullopt;
    return entries[static_cast<std::size_t>(index)].Path;
}

} // namespace pv
