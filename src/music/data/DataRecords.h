// What the data files hold in memory: the users, the results of one user, the classes and the
// user items as last merged. The data-file routines take the parts they touch; the application
// state aggregates them.
#pragma once

#include "music/files/ClassRecord.h"
#include "music/files/ResultRecord.h"
#include "music/files/UserChordRecord.h"
#include "music/files/UserRecord.h"

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

/// The users in memory.
struct UserLists
{
    std::shared_ptr<TUserInfo> CurrentUser; ///< the logged-in user, made on first use
    std::optional<UserEntries> UserList;    ///< absent until something fills it
    std::optional<UserEntries> FilteredUsers;
    std::uint8_t StatisticsPeriod = 6; ///< days
};

/// The results of one user as this copy holds them. Only a load says whose they are, so the
/// list, the records it was loaded from and the file a rewrite goes to always belong to the
/// same user.
class ResultLists
{
public:
    /// The owner's results in their file's order, as loaded and then changed by this copy;
    /// absent until a load.
    std::optional<ResultEntries> ResultList;
    std::optional<ResultEntries> FilteredResults;

    /// Whose results the list holds; nothing before the first load.
    std::optional<std::uint16_t> Owner() const { return m_owner; }
    /// The list is loaded and holds userId's results.
    bool HoldsResultsOf(std::uint16_t userId) const { return ResultList && m_owner == userId; }
    /// The records as owner's file held them at the load or the last rewrite: a rewrite applies
    /// only this copy's changes against them.
    const std::optional<std::vector<TResultRec>>& LoadedResults() const { return m_loaded; }

    /// The list := records, all owner's file held, in its order; the list's objects are reused
    /// in order and the surplus dropped.
    void TakeLoaded(std::uint16_t owner, std::vector<TResultRec> records);
    /// rec is now in its user's file (appended after what was there): when the list holds that
    /// user's results it joins them, at the end as in the file. False when the list is
    /// someone else's or not loaded.
    bool AddStored(const TResultRec& rec);
    /// owner's file was rewritten from records: they are what this copy saw of it.
    void TakeRewritten(std::uint16_t owner, std::vector<TResultRec> records);
    /// Nothing held of anyone.
    void Clear();

private:
    std::optional<std::uint16_t> m_owner;
    std::optional<std::vector<TResultRec>> m_loaded;
};

/// The user items as Chord.dat last gave them to the item tables.
struct LoadedItemState
{
    std::optional<StoredNoteCountTables> StoredNoteCounts;
    std::optional<UserItemSnapshot> LoadedUserItems;
};

} // namespace pv
