// The result files (one per user in Data/Result/): loading, filtering, appending, rewriting
// and purging.
#pragma once

#include "music/data/DataFiles.h"
#include "music/data/DataRecords.h"

namespace pv {

/// DataFolder + "Result/User" + the id with at least three digits + ".dat"; empty for id 0
/// (no user). Creates the Result folder when it is missing.
QString ResultFileName(const DataFiles& data, std::uint16_t userId);
/// Fills results with userId's whole records, in file order (`ResultLists::TakeLoaded`); a
/// missing file gives an empty list. A file that cannot be read is reported once; the list then
/// holds what could be read.
void LoadResults(DataFiles& data, ResultLists& results, std::uint16_t userId);
/// `FilteredResults` := the results of the list of that kind (negative = all) dated at or after
/// fromDate (0 or negative = all), sharing the list's objects; empty without a list.
void FilterResults(ResultLists& results, std::int32_t kind, double fromDate);
/// Appends rec to the file of its own user; Ok only when the whole record was written.
Status<DataError> AppendResult(DataFiles& data, const TResultRec& rec);
/// Stores the changes made to the list in the file of the user whose results it holds: under
/// the file's lock the file is read again, the records removed from or added to the list since
/// `LoadResults` are applied, and the file is replaced. Records another copy appended meanwhile
/// stay (after the list's), records another copy removed stay removed. NoUser when nothing
/// was loaded; Reentered when called while another writer waits for its file.
Status<DataError> RewriteResults(DataFiles& data, ResultLists& results);
/// Keeps only the user's valid records dated at or after cutoff. The file is replaced only
/// after every record was read and the copy written; otherwise it stays as it was. A missing
/// file is nothing to purge; a folder, a link or other non-file of that name is refused. A
/// file beyond the size limit of the other routines is purged too (record by record): their
/// refusal of it advises the purge.
Status<DataError> PurgeResults(DataFiles& data, std::uint16_t userId, double cutoff);

} // namespace pv
