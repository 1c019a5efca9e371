// A data folder of real files with scripted prompts and a wait that never sleeps, and the
// records in memory that the data-file routines fill and read.
#pragma once

#include "music/data/DataFiles.h"
#include "music/data/DataRecords.h"
#include "music/data/ResultFiles.h"
#include "music/files/SettingsRecord.h"
#include "music/strings/UIStrings.h"
#include "support/NoWait.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"

#include <functional>

#include <QFileInfo>

#include <gtest/gtest.h>

namespace pv::test {

/// What one running copy of the program holds in memory of its data files.
struct HeldRecords
{
    UserLists users;
    ResultLists results;
    TSettingsRec settings = DefaultSettings();
    std::optional<ClassEntries> classes;
    LoadedItemState loaded;
};

class DataFixture : public ::testing::Test
{
protected:
    DataFixture()
        : data(Folders{dir.Path(), dir.Path() + QStringLiteral("Data/")}, prompts, wait, strings)
    {
        CreateDataFolders(data.folders);
    }

    static UIStringTable Strings()
    {
        UIStringTable table;
        table.StrFileBusy = QStringLiteral("busy");
        table.StrMessageTitle = QStringLiteral("Error");
        table.StrPurgeResultsFormat = QStringLiteral("Results of user %d");
        table.StrUserFile = QStringLiteral("User file");
        table.StrSettingsFile = QStringLiteral("Settings file");
        table.StrResultFile = QStringLiteral("Result file");
        table.StrChordFile = QStringLiteral("Item file");
        return table;
    }

    QString DataFile(const QString& name) const { return data.folders.DataFolder + name; }
    std::int64_t SizeOf(const QString& path) const { return QFileInfo(path).size(); }
    std::vector<std::uint8_t> Bytes(const QString& path) const
    {
        return dir.Read(path.mid(dir.Path().size()));
    }
    bool Put(const QString& path, const std::vector<std::uint8_t>& bytes) const
    {
        return dir.Write(path.mid(dir.Path().size()), bytes);
    }
    /// The dates of the whole records in a user's result file, in file order.
    std::vector<double> StoredDates(std::uint16_t user)
    {
        std::vector<double> dates;
        const auto bytes = Bytes(ResultFileName(data, user));
        for (std::size_t at = 0; at + kResultRecSize <= bytes.size(); at += kResultRecSize)
            dates.push_back(
                DecodeResultRec(std::span(bytes).subspan(at, kResultRecSize))->DateTime);
        return dates;
    }
    template <std::size_t N>
    static void Append(std::vector<std::uint8_t>& to, const std::array<std::uint8_t, N>& rec)
    {
        to.insert(to.end(), rec.begin(), rec.end());
    }

    TempDir dir;
    ScriptedPrompts prompts;
    NoWait wait;
    const UIStringTable strings = Strings();
    DataFiles data;
    HeldRecords held;
    UserLists& userLists = held.users;
    ResultLists& resultLists = held.results;
    TSettingsRec& programSettings = held.settings;
    std::optional<ClassEntries>& classList = held.classes;
    LoadedItemState& loadedItems = held.loaded;
};

} // namespace pv::test
