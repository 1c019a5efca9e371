// The data side of another copy of the program over a data folder: it reads what the files hold
// as the next start would, and writes them as an earlier start would have left them, with
// prompts of its own (whatever it is asked is recorded, not shown) and a wait that never sleeps.
#pragma once

#include "music/data/DataFiles.h"
#include "music/data/DataRecords.h"
#include "music/data/ResultFiles.h"
#include "music/data/SettingsFile.h"
#include "music/data/UserFile.h"
#include "support/NoWait.h"
#include "support/ScriptedPrompts.h"

#include <optional>
#include <vector>

#include <QDir>

namespace pv::test {

class DataFolderCopy
{
public:
    /// languageFolder: where the settings look for a default language.
    explicit DataFolderCopy(const Folders& folders, const QString& languageFolder = {})
        : data(folders, prompts, wait, strings), m_languageFolder(languageFolder)
    {
    }
    DataFolderCopy(const DataFolderCopy&) = delete;
    DataFolderCopy& operator=(const DataFolderCopy&) = delete;

    /// The user record of that id as User.dat holds it; made the copy's current user.
    std::optional<TUserRec> User(std::uint16_t id = 1)
    {
        if (!ReadUser(data, users, id, QString(), true))
            return std::nullopt;
        return users.CurrentUser->Record;
    }
    /// Writes rec into User.dat (the data folder made first, as the program's start does).
    Status<DataError> WriteUserRecord(const TUserRec& rec)
    {
        QDir().mkpath(data.folders.DataFolder);
        return WriteUser(data, rec);
    }
    /// The result records of the user's file, in file order.
    std::vector<TResultRec> Results(std::uint16_t id = 1)
    {
        LoadResults(data, results, id);
        std::vector<TResultRec> records;
        for (const auto& entry : *results.ResultList)
            records.push_back(entry.Object->Record);
        return records;
    }
    /// `settings` := the user's settings as a start finds them (the template's, else the
    /// defaults, when the user has none of their own).
    Status<DataError> LoadUserSettings(std::uint16_t id = 1)
    {
        return LoadSettings(data, settings, id, false, SettingsEnvironment{m_languageFolder});
    }
    /// Writes `settings` as the user's record of Setting.dat.
    Status<DataError> SaveUserSettings(std::uint16_t id = 1)
    {
        return SaveSettings(data, settings, id);
    }

    ScriptedPrompts prompts;
    UIStringTable strings;
    NoWait wait;
    DataFiles data;
    UserLists users;
    ResultLists results;
    TSettingsRec settings = DefaultSettings();
    LoadedItemState loadedItems;

private:
    QString m_languageFolder;
};

} // namespace pv::test
