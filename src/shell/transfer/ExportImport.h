// Moving a user between installations through a folder: export writes the user record, a copy
// of the user's result file and copies of the tutor and last setup files there; import reads
// them back into the user of the same name, offers a newer tutor, and adds the results the
// user does not have yet.
#pragma once

#include "music/data/DataFiles.h"
#include "shell/state/AppState.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QString>

namespace pv {

inline constexpr const char* kExportUserFile = "exuser.kx4";
inline constexpr const char* kExportResultFile = "exresult.kx4";
/// An export needs at least this much free space in its folder.
inline constexpr std::int64_t kExportSpaceNeeded = 5000;

/// The exercise runs of this session that an export offers to store first.
class IRunsToStore
{
public:
    virtual ~IRunsToStore() = default;
    virtual bool TutorActive() const = 0;
    /// The mask of kinds (bit k - 1 = kind k) with at least minimum answers.
    virtual std::uint16_t KindsWithResults(int minimum) const = 0;
    /// Stores the runs of those kinds in the user's result file.
    virtual Status<DataError> StoreResults(std::uint16_t kinds) = 0;
    /// Every exercise clock starts again.
    virtual void ResetAllClocks() = 0;
};

/// The file system beyond the data files: free space, and whole copies.
class ITransferFiles
{
public:
    virtual ~ITransferFiles() = default;
    /// The bytes free for a file in folder; nothing when that cannot be told.
    virtual std::optional<std::int64_t> FreeBytes(const QString& folder) const = 0;
    /// Copies the file from over the file to, with its modification time; false unless the
    /// whole copy is in place (to is then as it was).
    virtual bool Copy(const QString& from, const QString& to) = 0;
};

/// The system's free space and copies: a copy is written beside its target under a new name
/// and renamed over it once complete.
class SystemTransferFiles final : public ITransferFiles
{
public:
    std::optional<std::int64_t> FreeBytes(const QString& folder) const override;
    bool Copy(const QString& from, const QString& to) override;
};

/// What export and import work with; each must outlive the model.
struct TransferServices
{
    DataFiles& Data;
    AppState& App; ///< the users, and the one shown who is exported or imported into
    IPrompts& Prompts;
    const UIStringTable& Strings;
    IRunsToStore& Runs;
    ITransferFiles& Files;
    /// The user's setup folder (ends in '/'): where a tutor that is not here yet goes.
    std::function<QString()> SetupFolder;
    /// The file a stored name names (empty for no file).
    std::function<QString(const QString&)> ResolveStoredPath;
    /// The name a user record stores for a file; nothing when it fits no field.
    std::function<std::optional<QString>(const QString&)> StoredPathFor;
};

/// The last part of a stored file name, after '\' or '/'; empty when that is no name a file
/// could be given here (empty, "." or "..", or with control characters).
QString TransferFileName(const QString& stored);

class ExportImportModel
{
public:
    explicit ExportImportModel(TransferServices services);

    /// Writes the user shown (`ResultUser`) to the folder; true when the user record and the
    /// results are there.
    bool ExportUser(const QString& folderText);
    /// Reads the export in the folder into the user shown; true when everything it held came
    /// in (or was there already).
    bool ImportUser(const QString& folderText);

    /// While an export or import runs.
    bool Busy() const { return m_busy; }
    /// Told when Busy changes, so the dialog shows it at once.
    std::function<void(bool busy)> BusyChanged;

    /// The users to choose from: `UserList` when it exists, else the user shown.
    std::vector<std::shared_ptr<TUserInfo>> Users() const;
    /// The entry of the user shown, else 0 (-1 without users).
    int SelectedUser() const;
    /// Entry index becomes the user shown.
    void ChooseUser(int index);

    /// The folder offered first: a mounted removable medium of the user's when there is one,
    /// else the home folder.
    static QString DefaultFolder();

private:
    class BusyScope;

    /// The folder of a folder text for export, made when the user agrees; nothing (after the
    /// message) when there is none.
    std::optional<QString> ExportFolder(const QString& folderText);
    bool WriteUserRecord(const QString& path, const TUserRec& record);
    void CopyAlong(const QString& stored, const QString& folder);
    bool ImportTutor(const TUserRec& imported, const QString& folder);
    bool ImportResults(const QString& path);

    TransferServices m_s;
    bool m_busy = false;
};

} // namespace pv
