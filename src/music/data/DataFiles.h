// The data files' shared state (the users, settings, results and classes held in memory) and
// the services their routines use; the application state owns one and passes it by reference.
#pragma once

#include "music/base/Prompts.h"
#include "music/data/SharedFile.h"
#include "music/files/ClassRecord.h"
#include "music/files/Folders.h"
#include "music/files/ResultRecord.h"
#include "music/files/SettingsRecord.h"
#include "music/files/UserChordRecord.h"
#include "music/files/UserRecord.h"
#include "music/strings/UIStrings.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include <QString>

namespace pv {

/// What the statistics keep per exercise kind. The sums are 32-bit: they only live in memory,
/// and a long period overflows 16 bits.
struct UserStatistics
{
    double LatestDate = 0;
    QString LatestItemName; ///< string[50]
    std::uint16_t LatestScore = 0;
    std::uint16_t LatestCount = 0;
    std::uint32_t SumRight = 0;
    std::uint32_t SumQuestions = 0;
    double SumDurations = 0; ///< days
    /// First the sum of the results' answer-time sums, then that per question.
    double AnswerTime = 0;
    bool operator==(const UserStatistics&) const = default;
};

/// One user in memory.
struct TUserInfo
{
    TUserRec Record;
    bool Computed = false;
    std::array<UserStatistics, 10> Statistics{}; ///< index 0 = exercise kind 1
    QString TutorTitle;  ///< string[50]; empty when the tutor file cannot be read
    QString ClassName;   ///< string[31]
    QString DisplayName; ///< given part, a blank, family part
};

/// One result in memory.
struct TResultInfo
{
    TResultRec Record;
};

/// One class in memory.
struct TClassInfo
{
    TClassRec Record;
};

/// A list entry: a key and an object that other lists may share.
template <class T> struct KeyedEntry
{
    QString Key;
    std::shared_ptr<T> Object;
};

using UserEntries = std::vector<KeyedEntry<TUserInfo>>;
using ResultEntries = std::vector<KeyedEntry<TResultInfo>>;
using ClassEntries = std::vector<KeyedEntry<TClassInfo>>;
/// The 60 note counts of the five item tables as merged from Chord.dat, in the order chord
/// identification, interval identification, chord inversions, scales, progressions.
using StoredNoteCountTables = std::array<std::array<std::uint8_t, 60>, 5>;

/// Chord.dat's user slots as this copy last merged or saved them, per kind of
/// kUserItemKinds and slot 1..60: a save writes only the slots changed since.
using UserItemSnapshot = std::array<std::array<TUserChordRec, 60>, 5>;

struct DataFiles
{
    DataFiles(Folders folders_, IPrompts& prompts_, IBusyWait& wait_, const UIStringTable& strings_)
        : folders(std::move(folders_)), prompts(prompts_), wait(wait_), strings(strings_)
    {
    }

    Folders folders;
    IPrompts& prompts;
    IBusyWait& wait;
    const UIStringTable& strings; ///< the texts of the messages shown

    /// Set while a writer runs: its busy wait handles events, and one of them must not start
    /// a second writer on the state the first one is using.
    bool WriterRunning = false;
    /// The files already reported as unusable, so each is reported once per reason until it
    /// reads or opens again, however often the session tries it.
    FileReports Reports;

    std::shared_ptr<TUserInfo> CurrentUser; ///< the logged-in user, made on first use
    std::shared_ptr<TUserInfo> ResultUser;  ///< the user whose results are shown
    std::optional<UserEntries> UserList;    ///< absent until something fills it
    std::optional<UserEntries> FilteredUsers;
    std::uint8_t StatisticsPeriod = 6; ///< days
    TSettingsRec ProgramSettings = DefaultSettings();
    std::optional<ResultEntries> ResultList; ///< the results of one user, in file order
    std::optional<ResultEntries> FilteredResults;
    /// Whose results ResultList holds, so a rewrite goes to that user's file and no other.
    std::optional<std::uint16_t> ResultListUser;
    std::optional<ClassEntries> ClassList;
    std::optional<StoredNoteCountTables> StoredNoteCounts;
    /// The result records as LoadResults read them for `ResultListUser`: a rewrite applies
    /// only this copy's changes against them, keeping what another copy appended meanwhile.
    std::optional<std::vector<TResultRec>> LoadedResults;
    std::optional<UserItemSnapshot> LoadedUserItems;

    QString UserFilePath() const { return folders.DataFolder + QStringLiteral("User.dat"); }
    QString SettingsFilePath() const { return folders.DataFolder + QStringLiteral("Setting.dat"); }
    QString ClassFilePath() const { return folders.DataFolder + QStringLiteral("Class.dat"); }
    QString ChordFilePath() const { return folders.DataFolder + QStringLiteral("Chord.dat"); }
};

/// Marks a writer running for its lifetime; Entered() is false when another was running
/// already (a call from an event handled during that one's wait), which must then not run.
class WriterScope
{
public:
    explicit WriterScope(DataFiles& data) : m_data(data), m_entered(!data.WriterRunning)
    {
        m_data.WriterRunning = true;
    }
    ~WriterScope()
    {
        if (m_entered)
            m_data.WriterRunning = false;
    }
    WriterScope(const WriterScope&) = delete;
    WriterScope& operator=(const WriterScope&) = delete;
    bool Entered() const { return m_entered; }

private:
    DataFiles& m_data;
    bool m_entered;
};

/// The refusal of a writer called while another one runs.
Failure<DataError> Reentered();

/// `OpenShared` with the data state's prompts, wait, texts and reports.
Result<SharedFile, DataError> OpenDataFile(DataFiles& data, const QString& path,
                                           const QString& message, const SizeLimit& limit = {});

/// A data file open for writing, with all it held when the lock was taken.
struct LockedDataFile
{
    SharedFile File;
    std::vector<std::uint8_t> Content;
};

/// `OpenDataFile`, then the whole file read under the lock, for a change that rewrites the
/// file from what it holds now (another copy may have written since this one last read it).
/// Damaged when it cannot all be read: what is not seen must not be written over.
Result<LockedDataFile, DataError> OpenAndReadDataFile(DataFiles& data, const QString& path,
                                                      const QString& message,
                                                      const SizeLimit& limit = {});

/// After reading path: a file that exists but could not be read is shown once per reason
/// (message, file and reason in an error box) until it reads again. True when the reading
/// was whole.
bool CheckRead(DataFiles& data, const QString& path, const QString& message,
               const RecordReader& reader);

} // namespace pv
