// User.dat: finding, reading and writing users, selecting them, and their statistics.
#pragma once

#include "music/data/DataFiles.h"
#include "music/data/DataRecords.h"

#include <functional>

namespace pv {

/// Reads the user with that id, or else with that login name (ignoring ASCII case). True only
/// when a record actually matched and is a user; with makeCurrent it becomes users'
/// `CurrentUser`. A User.dat that exists but cannot be read is reported once (and found nothing).
bool ReadUser(DataFiles& data, UserLists& users, std::uint16_t userId, const QString& loginName,
              bool makeCurrent);
/// Fills rec from the record with rec's id; rec is unchanged (and false comes back) without one.
bool ReadUserById(DataFiles& data, TUserRec& rec);
/// Writes rec over the record with its id, else after the last one. Ok only when the whole
/// record was written; else why not.
Status<DataError> WriteUser(DataFiles& data, const TUserRec& rec);
/// `FilteredUsers` := the users of `UserList` whose kind has its bit in kindMask (kind 1 bit 1,
/// kind 2 bit 2, kind 3 bit 4; negative = every kind) and whose class is classId (negative =
/// every class).
void FilterUsers(UserLists& users, std::int32_t kindMask, std::int32_t classId);

/// The title of a user's tutor file, empty when it cannot be read (supplied by the tutor layer).
using TutorTitleOf = std::function<QString(const TUserRec&)>;

/// What the statistics of a user are computed from besides the user's results.
struct StatisticsSources
{
    /// The classes, loaded when absent, for the user's class name.
    std::optional<ClassEntries>& ClassList;
    std::uint8_t Period = 6; ///< the statistics sum the results of the last Period days
    TutorTitleOf TutorTitle = {};
};

/// Fills the statistics of user over the given results (the user's, in file order): sums over
/// the period, the latest result per kind, and the class, display name and tutor title.
void ComputeUserStatistics(DataFiles& data, TUserInfo& user, const ResultEntries& results,
                           const StatisticsSources& sources);

} // namespace pv
