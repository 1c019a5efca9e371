// The application state's own operations: they keep the results held those of the result user,
// in that user's file order, and send a rewrite to that user's file.
#include "shell/state/AppState.h"

#include "music/data/ResultFiles.h"

namespace pv {

std::uint16_t AppState::ResultUserId() const
{
    return m_resultUser ? m_resultUser->Record.UserId : std::uint16_t{0};
}

void AppState::SetResultUser(std::shared_ptr<TUserInfo> user)
{
    m_resultUser = std::move(user);
    KeepOnlyResultUsersResults();
}

bool AppState::KeepOnlyResultUsersResults()
{
    if (m_results.HoldsResultsOf(ResultUserId()))
        return true;
    m_results.Clear();
    return false;
}

ResultEntries& AppState::ResultList(DataFiles& data)
{
    if (!KeepOnlyResultUsersResults())
        LoadResults(data, m_results, ResultUserId());
    return *m_results.ResultList;
}

ResultEntries* AppState::HeldResults()
{
    return KeepOnlyResultUsersResults() ? &*m_results.ResultList : nullptr;
}

const ResultEntries* AppState::HeldResults() const
{
    return m_results.HoldsResultsOf(ResultUserId()) ? &*m_results.ResultList : nullptr;
}

ResultEntries& AppState::FilterResults(DataFiles& data, std::int32_t kind, double fromDate)
{
    ResultList(data);
    pv::FilterResults(m_results, kind, fromDate);
    return *m_results.FilteredResults;
}

Status<DataError> AppState::RewriteResults(DataFiles& data)
{
    // Nothing held is nothing changed: the file stays as it is.
    if (!KeepOnlyResultUsersResults())
        return {};
    return pv::RewriteResults(data, m_results);
}

ResultEntries& AppState::ReloadResults(DataFiles& data)
{
    LoadResults(data, m_results, ResultUserId());
    return *m_results.ResultList;
}

void AppState::ResultFileChanged(DataFiles& data, std::uint16_t userId)
{
    if (KeepOnlyResultUsersResults() && userId == ResultUserId())
        LoadResults(data, m_results, userId);
}

bool AppState::ResultStored(DataFiles& data, const TResultRec& rec, const TutorTitleOf& tutorTitle)
{
    if (!KeepOnlyResultUsersResults() || !m_results.AddStored(rec))
        return false;
    ComputeUserStatistics(data, *m_resultUser, tutorTitle);
    return true;
}

void AppState::ComputeUserStatistics(DataFiles& data, TUserInfo& user,
                                     const TutorTitleOf& tutorTitle)
{
    const StatisticsSources sources{ClassList, Users.StatisticsPeriod, tutorTitle};
    const std::uint16_t id = user.Record.UserId;
    if (m_resultUser && id == ResultUserId()) {
        pv::ComputeUserStatistics(data, user, ResultList(data), sources);
        return;
    }
    // Another user's results (the user overview): read apart, never in place of the result
    // user's, which a rewrite would otherwise send to the wrong file.
    ResultLists other;
    LoadResults(data, other, id);
    pv::ComputeUserStatistics(data, user, *other.ResultList, sources);
}

void AppState::ComputeAllUserStatistics(DataFiles& data, bool all, const TutorTitleOf& tutorTitle,
                                        const StatisticsProgress& progress)
{
    if (!Users.UserList)
        return;
    // The list is copied: a progress callback that handles events may change the original.
    const UserEntries users = *Users.UserList;
    const int count = static_cast<int>(users.size());
    for (int i = 0; i < count; ++i) {
        if (progress.Show)
            progress.Show(count - 1, i);
        const auto& user = users[static_cast<std::size_t>(i)].Object;
        if (user && (all || !user->Computed))
            ComputeUserStatistics(data, *user, tutorTitle);
    }
    if (progress.Hide)
        progress.Hide();
}

} // namespace pv
