// Export and import of a user.
#include "shell/transfer/ExportImport.h"

#include "music/data/ResultFiles.h"
#include "music/data/UserFile.h"
#include "music/strings/Format.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTemporaryFile>

namespace pv {

namespace {

/// What opening the export's user file says when it cannot be written.
const QString kUserNotSaved = QStringLiteral("User could not be saved");

QString WithSlash(const QString& folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

/// A folder text as a path: "~" stands for the home folder; anything else must be absolute.
QString FolderPath(const QString& text)
{
    QString path = text.trimmed();
    if (path == QStringLiteral("~") || path.startsWith(QStringLiteral("~/")))
        path = QDir::homePath() + path.mid(1);
    if (path.isEmpty() || !QDir::isAbsolutePath(path))
        return {};
    return QDir::cleanPath(path);
}

bool IsFile(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

/// Strictly later by the second, as file dates are compared; a missing file is older than any.
bool Newer(const QString& candidate, const QString& than)
{
    const QFileInfo c(candidate);
    const QFileInfo t(than);
    if (!c.isFile())
        return false;
    if (!t.isFile())
        return true;
    return c.lastModified().toSecsSinceEpoch() > t.lastModified().toSecsSinceEpoch();
}

bool SameFolder(const QString& a, const QString& b)
{
    return QDir(a).canonicalPath() == QDir(b).canonicalPath() && !QDir(a).canonicalPath().isEmpty();
}

} // namespace

std::optional<std::int64_t> SystemTransferFiles::FreeBytes(const QString& folder) const
{
    const QStorageInfo storage(folder);
    if (!storage.isValid() || !storage.isReady())
        return std::nullopt;
    return storage.bytesAvailable();
}

bool SystemTransferFiles::Copy(const QString& from, const QString& to)
{
    const QFileInfo source(from);
    QFile in(from);
    if (!source.isFile() || !in.open(QIODevice::ReadOnly))
        return false;
    QTemporaryFile out(QFileInfo(to).absolutePath() + QStringLiteral("/.pellivark-XXXXXX"));
    if (!out.open())
        return false;
    QByteArray chunk;
    while (!(chunk = in.read(1 << 16)).isEmpty()) {
        if (out.write(chunk) != chunk.size())
            return false;
    }
    if (in.error() != QFileDevice::NoError || !out.flush() || ::fsync(out.handle()) != 0)
        return false;
    // A copy keeps its date, so an import can tell a newer tutor from the same one.
    out.setFileTime(source.lastModified(), QFileDevice::FileModificationTime);
    // A rename replaces the target at once: a reader sees the old or the new file, never a
    // part of one.
    if (std::rename(QFile::encodeName(out.fileName()).constData(),
                    QFile::encodeName(to).constData()) != 0)
        return false;
    out.setAutoRemove(false);
    return true;
}

QString TransferFileName(const QString& stored)
{
    const qsizetype cut = std::max(stored.lastIndexOf(u'\\'), stored.lastIndexOf(u'/'));
    const QString name = stored.mid(cut + 1);
    if (name.isEmpty() || name == QStringLiteral(".") || name == QStringLiteral(".."))
        return {};
    for (const QChar c : name) {
        if (c.category() == QChar::Other_Control)
            return {};
    }
    return name;
}

class ExportImportModel::BusyScope
{
public:
    explicit BusyScope(ExportImportModel& model) : m_model(model)
    {
        m_model.m_busy = true;
        if (m_model.BusyChanged)
            m_model.BusyChanged(true);
    }
    ~BusyScope()
    {
        m_model.m_busy = false;
        if (m_model.BusyChanged)
            m_model.BusyChanged(false);
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    ExportImportModel& m_model;
};

ExportImportModel::ExportImportModel(TransferServices services) : m_s(std::move(services)) {}

std::vector<std::shared_ptr<TUserInfo>> ExportImportModel::Users() const
{
    std::vector<std::shared_ptr<TUserInfo>> users;
    const AppState& app = m_s.App;
    if (app.Users.UserList) {
        for (const auto& entry : *app.Users.UserList) {
            if (entry.Object)
                users.push_back(entry.Object);
        }
    } else if (app.ResultUser()) {
        users.push_back(app.ResultUser());
    }
    return users;
}

int ExportImportModel::SelectedUser() const
{
    const auto users = Users();
    if (users.empty())
        return -1;
    for (std::size_t i = 0; i < users.size(); ++i) {
        if (m_s.App.ResultUser() && users[i]->Record.UserId == m_s.App.ResultUserId())
            return static_cast<int>(i);
    }
    return 0;
}

void ExportImportModel::ChooseUser(int index)
{
    const auto users = Users();
    if (index >= 0 && index < static_cast<int>(users.size()))
        m_s.App.SetResultUser(users[static_cast<std::size_t>(index)]);
}

QString ExportImportModel::DefaultFolder()
{
    const QString user = qEnvironmentVariable("USER");
    if (!user.isEmpty()) {
        for (const QString& root :
             {QStringLiteral("/run/media/") + user, QStringLiteral("/media/") + user}) {
            const QStringList media =
                QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
            if (!media.isEmpty())
                return root + u'/' + media.front();
        }
    }
    return QDir::homePath();
}

std::optional<QString> ExportImportModel::ExportFolder(const QString& folderText)
{
    const UIStringTable& strings = m_s.Strings;
    const QString folder = FolderPath(folderText);
    const auto noFolder = [&] {
        m_s.Prompts.ShowError(strings.StrFileNotFound + QStringLiteral("\n\n") + folderText,
                              strings.StrProgramTitle);
    };
    if (folder.isEmpty()) {
        // A relative folder would name one below wherever the program happens to run.
        noFolder();
        return std::nullopt;
    }
    if (QFileInfo(folder).isDir())
        return folder;
    QString ancestor = folder;
    while (!QFileInfo::exists(ancestor)) {
        const QString up = QFileInfo(ancestor).path();
        if (up == ancestor)
            break;
        ancestor = up;
    }
    if (QFileInfo(folder).exists() || !QFileInfo(ancestor).isDir()) {
        noFolder();
        return std::nullopt;
    }
    if (m_s.Prompts.AskYesNoCancel(Format(strings.StrExportFormat, {folder}),
                                   strings.StrSaveResultsCaption) != PromptButton::Yes)
        return std::nullopt;
    if (!QDir().mkpath(folder)) {
        m_s.Prompts.ShowError(
            FileErrorText(strings.StrExportCopyFailed, folder, Fail(DataError::MissingFolder)),
            strings.StrMessageTitle);
        return std::nullopt;
    }
    return folder;
}

bool ExportImportModel::WriteUserRecord(const QString& path, const TUserRec& record)
{
    auto opened = OpenDataFile(m_s.Data, path, kUserNotSaved);
    if (!opened)
        return false;
    Status<DataError> written = opened.Value().ReplaceContents(EncodeUserRec(record));
    if (!written) {
        ReportDataFailure(m_s.Data, written, kUserNotSaved, path);
        return false;
    }
    return true;
}

void ExportImportModel::CopyAlong(const QString& stored, const QString& folder)
{
    const QString file = m_s.ResolveStoredPath ? m_s.ResolveStoredPath(stored) : QString();
    if (!IsFile(file))
        return;
    if (!m_s.Files.Copy(file, folder + QFileInfo(file).fileName()))
        m_s.Prompts.ShowInfo(m_s.Strings.StrExportCopyFailed, m_s.Strings.StrMessageTitle);
}

bool ExportImportModel::ExportUser(const QString& folderText)
{
    const BusyScope busy(*this);
    const UIStringTable& strings = m_s.Strings;
    DataFiles& data = m_s.Data;
    const std::optional<QString> made = ExportFolder(folderText);
    if (!made)
        return false;
    const std::optional<std::int64_t> free = m_s.Files.FreeBytes(*made);
    if (free && *free < kExportSpaceNeeded) {
        m_s.Prompts.ShowError(strings.StrExportCopyFailed, strings.StrProgramTitle);
        return false;
    }
    const QString folder = WithSlash(*made);

    if (!m_s.Runs.TutorActive()) {
        const std::uint16_t kinds = m_s.Runs.KindsWithResults(5);
        if (kinds != 0) {
            const PromptButton answer = m_s.Prompts.AskYesNoCancel(strings.StrSaveResultsQuery,
                                                                   strings.StrSaveResultsCaption);
            if (answer == PromptButton::Cancel)
                return false;
            if (answer == PromptButton::Yes) {
                IgnoreResult(m_s.Runs.StoreResults(kinds),
                             "a failed store keeps its answers and says so; the export takes "
                             "what is stored");
                m_s.Runs.ResetAllClocks();
            }
        }
    }

    if (!m_s.App.ResultUser())
        return false;
    const TUserRec record = m_s.App.ResultUser()->Record;
    if (!WriteUserRecord(folder + QString::fromLatin1(kExportUserFile), record))
        return false;

    bool result = true;
    const QString results = ResultFileName(data, record.UserId);
    const QString exported = folder + QString::fromLatin1(kExportResultFile);
    if (!IsFile(results)) {
        // An older export of someone else's results must not come along with this user.
        QFile::remove(exported);
    } else if (!m_s.Files.Copy(results, exported)) {
        m_s.Prompts.ShowInfo(strings.StrExportCopyFailed, strings.StrMessageTitle);
        result = false;
    }
    CopyAlong(record.TutorFileName, folder);
    CopyAlong(record.LastSetupFile, folder);
    return result;
}

bool ExportImportModel::ImportTutor(const TUserRec& imported, const QString& folder)
{
    const UIStringTable& strings = m_s.Strings;
    DataFiles& data = m_s.Data;
    TUserRec& user = m_s.App.ResultUser()->Record;
    const QString t = TransferFileName(imported.TutorFileName);
    if (t.isEmpty())
        return true;
    const QString exported = folder + t;
    const QString setupFolder = m_s.SetupFolder ? WithSlash(m_s.SetupFolder()) : QString();
    const auto askNewer = [&] {
        return m_s.Prompts.AskYesNo(strings.StrImportMessage1, strings.StrSaveResultsCaption) ==
               PromptButton::Yes;
    };
    // The shipped files are never written: a newer copy of one goes to the user's folder.
    const auto targetFor = [&](const QString& local) {
        return IsShippedFile(data.folders, local) ? setupFolder + QFileInfo(local).fileName()
                                                  : local;
    };
    bool copyFailed = false;
    std::optional<QString> tutorFile;
    const QString mine = TransferFileName(user.TutorFileName);
    if (t.compare(mine, Qt::CaseInsensitive) != 0) {
        QString local = FindFileCaseInsensitive(data.folders.ProgramFolder, t);
        if (local.isEmpty() && !setupFolder.isEmpty())
            local = FindFileCaseInsensitive(setupFolder, t);
        if (local.isEmpty()) {
            const QString target = setupFolder + t;
            copyFailed = setupFolder.isEmpty() || !m_s.Files.Copy(exported, target);
            local = target;
        } else if (Newer(exported, local) && askNewer()) {
            const QString target = targetFor(local);
            copyFailed = !m_s.Files.Copy(exported, target);
            local = target;
        }
        if (!copyFailed) {
            // A tutor of the program folder is named by its bare name, as the program names
            // its own files.
            if (SameFolder(QFileInfo(local).absolutePath(), data.folders.ProgramFolder))
                tutorFile = QFileInfo(local).fileName();
            else if (m_s.StoredPathFor)
                tutorFile = m_s.StoredPathFor(local);
        }
    } else {
        const QString current =
            m_s.ResolveStoredPath ? m_s.ResolveStoredPath(user.TutorFileName) : QString();
        if (Newer(exported, current) && askNewer()) {
            const QString target = current.isEmpty() ? setupFolder + t : targetFor(current);
            copyFailed = !m_s.Files.Copy(exported, target);
            if (!copyFailed && target != current && m_s.StoredPathFor)
                tutorFile = m_s.StoredPathFor(target);
        }
    }
    if (copyFailed) {
        m_s.Prompts.ShowError(strings.StrImportCopyFailed, strings.StrProgramTitle);
        return false;
    }
    if (tutorFile)
        user.TutorFileName = *tutorFile;
    if (TransferFileName(user.TutorFileName).compare(t, Qt::CaseInsensitive) == 0) {
        user.TutorSteps = imported.TutorSteps;
        user.TutorValues = imported.TutorValues;
    }
    Status<DataError> written = WriteUser(data, user);
    ReportDataFailure(data, written, strings.StrUserFile, data.UserFilePath());
    return written.Ok();
}

bool ExportImportModel::ImportResults(const QString& path)
{
    DataFiles& data = m_s.Data;
    const UIStringTable& strings = m_s.Strings;
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return true;
    QFile file(path);
    // The export's file is read here, not opened as a data file: nothing has said why it
    // cannot be used yet, whatever the reason.
    const auto refuse = [&](const Failure<DataError>& failure) {
        m_s.Prompts.ShowError(FileErrorText(strings.StrResultFile, path, failure),
                              strings.StrMessageTitle);
        return false;
    };
    if (!info.isFile() || info.size() > kMaxDataFileSize || !file.open(QIODevice::ReadOnly))
        return refuse(Fail(info.isFile() ? DataError::TooLarge : DataError::NotRegularFile,
                           QStringLiteral("not an export of results")));
    const QByteArray bytes = file.readAll();
    if (bytes.size() != info.size())
        return refuse(Fail(DataError::ReadFailed));

    AppState& app = m_s.App;
    const std::uint16_t id = app.ResultUserId();
    // As the file holds them now: the import goes among what is there.
    ResultEntries& list = app.ReloadResults(data);
    std::set<QString> keys;
    for (const auto& entry : list)
        keys.insert(entry.Key);
    const auto* raw = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    const auto size = static_cast<std::size_t>(bytes.size());
    int added = 0;
    int skipped = size % kResultRecSize != 0 ? 1 : 0;
    for (std::size_t at = 0; at + kResultRecSize <= size; at += kResultRecSize) {
        TResultRec rec = *DecodeResultRec(std::span(raw + at, kResultRecSize));
        // Whatever another program or a damaged medium left is kept out of the user's file.
        if (rec.UserId == 0 || rec.Kind < 1 || rec.Kind > 10 || !std::isfinite(rec.DateTime)) {
            ++skipped;
            continue;
        }
        const QString key = ResultKey(rec.Kind, rec.DateTime);
        if (!keys.insert(key).second)
            continue;
        rec.UserId = id;
        list.push_back({key, std::make_shared<TResultInfo>(TResultInfo{rec})});
        ++added;
    }
    bool result = true;
    if (added > 0) {
        // The user's results in the order they were made, the imported among the own.
        std::stable_sort(list.begin(), list.end(), [](const auto& a, const auto& b) {
            const TResultRec& x = a.Object->Record;
            const TResultRec& y = b.Object->Record;
            return x.DateTime != y.DateTime ? x.DateTime < y.DateTime : x.Kind < y.Kind;
        });
        Status<DataError> written = app.RewriteResults(data);
        ReportDataFailure(data, written, strings.StrResultFile, ResultFileName(data, id));
        result = written.Ok();
        // The list is the file's again, whatever the rewrite did.
        app.ReloadResults(data);
    }
    if (skipped > 0) {
        m_s.Prompts.ShowInfo(QStringLiteral("%1 of the exported records were damaged or "
                                            "belonged to no user; they were left out.")
                                 .arg(skipped),
                             strings.StrProgramTitle);
    }
    return result;
}

bool ExportImportModel::ImportUser(const QString& folderText)
{
    const BusyScope busy(*this);
    const UIStringTable& strings = m_s.Strings;
    DataFiles& data = m_s.Data;
    const QString path = FolderPath(folderText);
    const QString folder = path.isEmpty() ? QString() : WithSlash(path);
    const QString userFile = folder + QString::fromLatin1(kExportUserFile);
    std::optional<TUserRec> imported;
    if (!folder.isEmpty() && QFileInfo(userFile).isFile() &&
        QFileInfo(userFile).size() == static_cast<qint64>(kUserRecSize)) {
        QFile file(userFile);
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = file.readAll();
            imported =
                DecodeUserRec(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                        static_cast<std::size_t>(bytes.size())));
        }
    }
    // Only a whole user record is one: a shorter or longer file is someone else's.
    if (!imported || imported->UserId == 0) {
        m_s.Prompts.ShowError(strings.StrImportMessage2, strings.StrProgramTitle);
        return false;
    }
    if (!m_s.App.ResultUser())
        return false;
    TUserInfo& user = *m_s.App.ResultUser();
    ReadUserById(data, user.Record); // unchanged when the user is not in the file yet
    if (imported->FullName.toLower() != user.Record.FullName.toLower()) {
        const QString theirs = QLatin1Char('"') + ShownName(imported->FullName) + QLatin1Char('"');
        const QString ours = QLatin1Char('"') + ShownName(user.Record.FullName) + QLatin1Char('"');
        if (m_s.Prompts.AskYesNo(Format(strings.StrImportUserFormat, {theirs, ours}),
                                 strings.StrSaveResultsCaption) != PromptButton::Yes)
            return false;
    }
    bool result = ImportTutor(*imported, folder);
    result = ImportResults(folder + QString::fromLatin1(kExportResultFile)) && result;
    user.Computed = false;
    return result;
}

} // namespace pv
