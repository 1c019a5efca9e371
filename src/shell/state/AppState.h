// The one application state: who works and whose results are shown, the settings in force,
// what the data files gave, the setup and the main window's state. The program owns one and
// passes it by reference; the data-file routines take the parts of it they touch.
#pragma once

#include "exercises/session/ExerciseSession.h"
#include "exercises/setup/SetupOperations.h"
#include "music/data/DataRecords.h"
#include "music/data/UserFile.h"
#include "music/files/SettingsRecord.h"
#include "music/staff/Sheet.h"
#include "shell/state/MainWindowState.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace pv {

/// Progress of computing the statistics of every user: shown with the bar's maximum and
/// position before each user, hidden at the end.
struct StatisticsProgress
{
    std::function<void(int maximum, int position)> Show;
    std::function<void()> Hide;
};

class AppState
{
public:
    /// `CurrentUser`, `UserList`, `FilteredUsers` and `StatisticsPeriod`.
    UserLists Users;
    TSettingsRec ProgramSettings = DefaultSettings();
    std::optional<ClassEntries> ClassList; ///< absent until something needs the classes
    /// `StoredNoteCounts` and the user items as Chord.dat last gave them.
    LoadedItemState LoadedItems;
    /// `CurrentSetup`, `SavedSetup` and the setup file.
    SetupState Setup;
    MainWindowState MainWindow;
    /// Every kind's counters, item statistics and clock, made at start-up whether or not a
    /// kind's window exists; the windows hold on to theirs until they go.
    ExerciseSessions Sessions;
    /// The note spacing every staff of the program shares.
    NoteSpacing Spacing;

    /// The user whose results are shown; null until someone logs in.
    const std::shared_ptr<TUserInfo>& ResultUser() const { return m_resultUser; }
    /// The result user's id; 0 without one.
    std::uint16_t ResultUserId() const;
    /// user's results are shown from now on: results held of anyone else are let go.
    void SetResultUser(std::shared_ptr<TUserInfo> user);
    /// `ResultUser` := `CurrentUser`.
    void SetResultUserToCurrent() { SetResultUser(Users.CurrentUser); }

    /// The result user's results in their file's order (`ResultList`), read from the file
    /// unless they are held already; changes made to it are what `RewriteResults` stores.
    ResultEntries& ResultList(DataFiles& data);
    /// The result user's results when they are held, without reading anything; null when not.
    ResultEntries* HeldResults();
    const ResultEntries* HeldResults() const;
    /// `FilteredResults` := the result user's results of that kind (negative = all) dated at
    /// or after fromDate (0 or negative = all), read first when they are not held.
    /// The list is the view's: it may add rows of its own (the running result) until the next
    /// filtering.
    ResultEntries& FilterResults(DataFiles& data, std::int32_t kind, double fromDate);
    /// Stores the changes of the result user's list in that user's file (`RewriteResults` of
    /// the file layer); nothing is written when no list of theirs is held.
    Status<DataError> RewriteResults(DataFiles& data);
    /// The result user's results read from their file again, whatever is held.
    ResultEntries& ReloadResults(DataFiles& data);
    /// userId's result file changed outside the list (a purge, an import): the results held
    /// are read again when they are that user's.
    void ResultFileChanged(DataFiles& data, std::uint16_t userId);
    /// rec is now in its user's file: when the result user's results are held and rec is
    /// theirs, it joins them and their statistics are computed again. False otherwise.
    bool ResultStored(DataFiles& data, const TResultRec& rec, const TutorTitleOf& tutorTitle);

    /// The statistics of user over `StatisticsPeriod`: the result user's from the results held
    /// (read first when not held), anyone else's from their file read apart, so the results
    /// held stay the result user's.
    void ComputeUserStatistics(DataFiles& data, TUserInfo& user, const TutorTitleOf& tutorTitle);
    /// `ComputeUserStatistics` for every user of `UserList` (or only those not yet computed).
    void ComputeAllUserStatistics(DataFiles& data, bool all, const TutorTitleOf& tutorTitle,
                                  const StatisticsProgress& progress);

private:
    /// Lets go of results held of anyone but the result user (whose id may have changed under
    /// the same object); true when the result user's are held.
    bool KeepOnlyResultUsersResults();

    std::shared_ptr<TUserInfo> m_resultUser;
    ResultLists m_results;
};

} // namespace pv
