// Result file routines: one file of result records per user.
#include "music/data/ResultFiles.h"

#include "music/strings/Format.h"

#include <algorithm>
#include <map>

#include <QDir>
#include <QFileInfo>

namespace pv {

namespace {

/// Every whole record of a file's content; a partial one at the end is no record.
std::vector<TResultRec> DecodeAllRecords(std::span<const std::uint8_t> bytes)
{
    std::vector<TResultRec> records;
    records.reserve(bytes.size() / kResultRecSize);
    for (std::size_t at = 0; at + kResultRecSize <= bytes.size(); at += kResultRecSize)
        records.push_back(*DecodeResultRec(bytes.subspan(at, kResultRecSize)));
    return records;
}

using RecordBytes = std::array<std::uint8_t, kResultRecSize>;
using RecordCounts = std::map<RecordBytes, int>;

RecordCounts Count(const std::vector<RecordBytes>& records)
{
    RecordCounts counts;
    for (const RecordBytes& r : records)
        ++counts[r];
    return counts;
}

bool Take(RecordCounts& counts, const RecordBytes& r)
{
    const auto it = counts.find(r);
    if (it == counts.end() || it->second == 0)
        return false;
    --it->second;
    return true;
}

std::vector<RecordBytes> EncodeEach(const std::vector<TResultRec>& records)
{
    std::vector<RecordBytes> out;
    out.reserve(records.size());
    for (const TResultRec& r : records)
        out.push_back(EncodeResultRec(r));
    return out;
}

// What a rewrite stores: this copy's list, less what another copy removed from the file since
// it was loaded, then what the file holds that this copy never saw (appended by another copy
// or by this one outside the list), in file order. Records count as equal by their bytes.
std::vector<RecordBytes> MergeResults(const std::vector<RecordBytes>& loaded,
                                      const std::vector<RecordBytes>& wanted,
                                      const std::vector<RecordBytes>& current)
{
    RecordCounts loadedLeft = Count(loaded);
    RecordCounts currentLeft = Count(current);
    RecordCounts deleted = Count(loaded);
    for (const RecordBytes& w : wanted)
        Take(deleted, w);
    std::vector<RecordBytes> merged;
    merged.reserve(wanted.size() + current.size());
    for (const RecordBytes& w : wanted) {
        const bool seen = Take(loadedLeft, w);
        const bool stored = Take(currentLeft, w);
        if (stored || !seen)
            merged.push_back(w);
    }
    for (const RecordBytes& c : current) {
        if (Take(currentLeft, c) && !Take(deleted, c))
            merged.push_back(c);
    }
    return merged;
}

// A result file grows by a record a run and only the purge shrinks it: one beyond the limit
// must still be purged, and its refusal says how to get it back under.
SizeLimit ResultFileLimit()
{
    return {kMaxDataFileSize, QStringLiteral("Deleting older results makes it smaller.")};
}

// Read a block of records at a time: a file beyond the limit never has to fit in memory.
constexpr std::int64_t kPurgeBlockRecords = 1024;

} // namespace

QString ResultFileName(const DataFiles& data, std::uint16_t userId)
{
    if (userId == 0)
        return {};
    const QString folder = ResultFolder(data.folders);
    if (!QFileInfo(folder).isDir())
        QDir().mkpath(folder);
    return folder + QStringLiteral("User") +
           QStringLiteral("%1").arg(userId, 3, 10, QLatin1Char('0')) + QStringLiteral(".dat");
}

void LoadResults(DataFiles& data, ResultLists& results, std::uint16_t userId)
{
    const QString path = ResultFileName(data, userId);
    std::vector<TResultRec> loaded;
    if (!path.isEmpty()) {
        RecordReader reader(path, kResultRecSize, ResultFileLimit());
        // One allocation for the copy kept aside, however many results the user has.
        const qint64 size = QFileInfo(path).size();
        if (size > 0 && size <= kMaxDataFileSize)
            loaded.reserve(static_cast<std::size_t>(size) / kResultRecSize);
        std::array<std::uint8_t, kResultRecSize> bytes{};
        // A partial record at the end is no record: it is left out of the list.
        while (reader.Next(bytes))
            loaded.push_back(*DecodeResultRec(bytes));
        // What could not be read stays in the file: a rewrite keeps every record it did not
        // see, so the list being short loses nothing.
        CheckRead(data, path, data.strings.StrResultFile, reader);
    }
    results.TakeLoaded(userId, std::move(loaded));
}

void FilterResults(ResultLists& results, std::int32_t kind, double fromDate)
{
    if (!results.FilteredResults)
        results.FilteredResults.emplace();
    results.FilteredResults->clear();
    if (!results.ResultList)
        return;
    for (const auto& entry : *results.ResultList) {
        if (!entry.Object)
            continue;
        const TResultRec& r = entry.Object->Record;
        if ((kind < 0 || r.Kind == kind) && (fromDate <= 0 || r.DateTime >= fromDate))
            results.FilteredResults->push_back(entry);
    }
}

Status<DataError> AppendResult(DataFiles& data, const TResultRec& rec)
{
    const WriterScope scope(data);
    if (!scope.Entered())
        return Reentered();
    const QString path = ResultFileName(data, rec.UserId);
    if (path.isEmpty())
        return Fail(DataError::NoUser);
    auto opened = OpenDataFile(data, path, data.strings.StrResultFile, ResultFileLimit());
    if (!opened)
        return opened.Err();
    SharedFile& file = opened.Value();
    const auto size = KnownSize(file);
    if (!size)
        return size.Err();
    // After the last whole record: a partial one left by an interrupted write is overwritten.
    return WriteRecordAt(file, size.Value() / static_cast<std::int64_t>(kResultRecSize),
                         EncodeResultRec(rec));
}

Status<DataError> RewriteResults(DataFiles& data, ResultLists& results)
{
    const WriterScope scope(data);
    if (!scope.Entered())
        return Reentered();
    // Only a load names an owner: a list of no one's results has no file to go to.
    const std::uint16_t id = results.Owner().value_or(0);
    const QString path = ResultFileName(data, id);
    if (path.isEmpty())
        return Fail(DataError::NoUser);
    // Taken before the wait for the file: an event handled meanwhile may load another list.
    std::vector<TResultRec> wantedRecords;
    if (results.ResultList) {
        for (const auto& entry : *results.ResultList) {
            if (entry.Object)
                wantedRecords.push_back(entry.Object->Record);
        }
    }
    const std::vector<RecordBytes> loaded =
        results.LoadedResults() ? EncodeEach(*results.LoadedResults()) : std::vector<RecordBytes>{};
    const std::vector<RecordBytes> wanted = EncodeEach(wantedRecords);

    // Read, merged and written under one lock: another copy cannot append in between.
    auto locked = OpenAndReadDataFile(data, path, data.strings.StrResultFile, ResultFileLimit());
    if (!locked)
        return locked.Err();
    const std::vector<RecordBytes> merged =
        MergeResults(loaded, wanted, EncodeEach(DecodeAllRecords(locked.Value().Content)));
    std::vector<std::uint8_t> bytes;
    bytes.reserve(merged.size() * kResultRecSize);
    for (const RecordBytes& r : merged)
        bytes.insert(bytes.end(), r.begin(), r.end());
    Status<DataError> written = locked.Value().File.ReplaceContents(bytes);
    // The list now is what this copy saw of the file; whatever else the file holds came from
    // elsewhere and must survive the next rewrite too.
    if (written)
        results.TakeRewritten(id, std::move(wantedRecords));
    return written;
}

Status<DataError> PurgeResults(DataFiles& data, std::uint16_t userId, double cutoff)
{
    const WriterScope scope(data);
    if (!scope.Entered())
        return Reentered();
    const QString path = ResultFileName(data, userId);
    if (path.isEmpty())
        return Fail(DataError::NoUser);
    // Nothing to purge, and a purge must not leave an empty file where there was none. Any
    // other thing of that name (a folder, a pipe) is refused by the opening.
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return {};
    const QString message =
        Format(data.strings.StrPurgeResultsFormat, {static_cast<std::int64_t>(userId)});
    // No size limit: the purge is the one way to shrink a file grown beyond it, so the file
    // is streamed through, record by record, instead of read whole.
    auto opened = OpenDataFile(data, path, message, SizeLimit{-1, {}});
    if (!opened)
        return opened.Err();
    SharedFile& file = opened.Value();
    const auto size = KnownSize(file);
    if (!size)
        return size.Err();
    constexpr auto kRecord = static_cast<std::int64_t>(kResultRecSize);
    // A partial record at the end is no record and goes.
    const std::int64_t records = size.Value() / kRecord;
    return file.ReplaceStreaming([&](const SharedFile::ReplacementWriter& write) {
        std::vector<std::uint8_t> block;
        std::vector<std::uint8_t> kept;
        for (std::int64_t first = 0; first < records; first += kPurgeBlockRecords) {
            const std::int64_t count = std::min(kPurgeBlockRecords, records - first);
            block.resize(static_cast<std::size_t>(count * kRecord));
            // A record that cannot be read may be one to keep: the file then stays as it is.
            if (!file.ReadAt(first * kRecord, block))
                return Status<DataError>(
                    Fail(DataError::Damaged,
                         QStringLiteral("records from %1 on cannot be read whole").arg(first + 1)));
            kept.clear();
            for (std::size_t at = 0; at < block.size(); at += kResultRecSize) {
                const auto bytes = std::span<const std::uint8_t>(block).subspan(at, kResultRecSize);
                const TResultRec rec = *DecodeResultRec(bytes);
                // Kept byte for byte, with whatever this program does not read in them.
                if (rec.UserId > 0 && rec.DateTime >= cutoff)
                    kept.insert(kept.end(), bytes.begin(), bytes.end());
            }
            if (Status<DataError> written = write(kept); !written)
                return written;
        }
        return Status<DataError>{};
    });
}

} // namespace pv
