// User.dat: finding, reading and writing users, selecting them, and their statistics.
#pragma once

#include "music/data/DataFiles.h"

#include <functional>

namespace pv {

/// Reads the user with that id, or else with that login name (ignoring ASCII case). True only
/// when a record actually matched and is a user; with makeCurrent it becomes `CurrentUser`.
/// A User.dat that exists but cannot be read is reported once (and found nothing).
bool ReadUser(DataFiles& data, std::uint16_t userId, const QString& loginName, bool makeCurrent);
/// Fills rec from the record with rec's id; rec is unchanged (and false comes back) without one.
bool ReadUserById(DataFiles& data, TUserRec& rec);
/// Writes rec over the record with its id, else after the last one. Ok only when the whole
/// record was written; else why not.
Status<DataError> WriteUser(DataFiles& data, const TUserRec& rec);
/// `FilteredUsers` := the users of `UserList` whose kind has its bit in kindMask (kind 1 bit 1,
/// kind 2 bit 2, kind 3 bit 4; negative = every kind) and whose class is classId (negative =
/// every class).
void FilterUsers(DataFiles& data, std::int32_t kindMask, std::int32_t classId);

/// The title of a user's tutor file, empty when it cannot be read (supplied by the tutor layer).
using TutorTitleOf = std::function<QString(const TUserRec&)>;

/// Fills the statistics of the last StatisticsPeriod days, the latest result per kind, the class,
/// display name and tutor title of user.
void ComputeUserStatistics(DataFiles& data, TUserInfo& user, const TutorTitleOf& tutorTitle);

/// Progress of `ComputeAllUserStatistics`: shown with the bar's maximum and position before
/// each user, hidden at the end.
struct StatisticsProgress
{
    std::function<void(int maximum, int position)> Show;
    std::function<void()> Hide;
};

/// Runs `ComputeUserStatistics` for every user of `UserList` (or only those not yet computed).
void ComputeAllUserStatistics(DataFiles& data, bool all, const TutorTitleOf& tutorTitle,
                              const StatisticsProgress& progress);

/// `ResultUser` := `CurrentUser`.
void SetResultUserToCurrent(DataFiles& data);

} // namespace pv
