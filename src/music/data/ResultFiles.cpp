// Result file routines: one file of result records per user.
#include "music/data/ResultFiles.h"

#include "music/strings/Format.h"
#include "music/strings/UIStrings.h"

#include <QDir>
#include <QFileInfo>

namespace pv {

namespace {

std::uint16_t ResolveUser(const DataFiles& data, std::uint16_t userId)
{
    if (userId != 0)
        return userId;
    return data.ResultUser ? data.ResultUser->Record.UserId : 0;
}

/// Every whole record of an open file, or nothing when one could not be read.
std::optional<std::vector<TResultRec>> ReadAllRecords(const SharedFile& file)
{
    const std::int64_t whole =
        std::max<std::int64_t>(file.Size(), 0) / static_cast<std::int64_t>(kResultRecSize);
    std::vector<TResultRec> records;
    records.reserve(static_cast<std::size_t>(whole));
    std::array<std::uint8_t, kResultRecSize> bytes{};
    for (std::int64_t i = 0; i < whole; ++i) {
        if (!file.ReadAt(i * static_cast<std::int64_t>(kResultRecSize), bytes))
            return std::nullopt;
        records.push_back(*DecodeResultRec(bytes));
    }
    return records;
}

std::vector<std::uint8_t> EncodeAll(const std::vector<const TResultRec*>& records)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(records.size() * kResultRecSize);
    for (const TResultRec* rec : records) {
        const auto one = EncodeResultRec(*rec);
        bytes.insert(bytes.end(), one.begin(), one.end());
    }
    return bytes;
}

} // namespace

QString ResultFileName(DataFiles& data, std::uint16_t userId)
{
    const std::uint16_t id = ResolveUser(data, userId);
    if (id == 0)
        return {};
    const QString folder = ResultFolder(data.folders);
    if (!QFileInfo(folder).isDir())
        QDir().mkpath(folder);
    return folder + QStringLiteral("User") + QStringLiteral("%1").arg(id, 3, 10, QLatin1Char('0')) +
           QStringLiteral(".dat");
}

void LoadResults(DataFiles& data, std::uint16_t userId)
{
    if (!data.ResultList)
        data.ResultList.emplace();
    const std::uint16_t id = ResolveUser(data, userId);
    data.ResultListUser = id;
    ResultEntries& list = *data.ResultList;
    std::size_t used = 0;
    const QString path = ResultFileName(data, id);
    if (!path.isEmpty()) {
        RecordReader reader(path, kResultRecSize);
        std::array<std::uint8_t, kResultRecSize> bytes{};
        // A partial record at the end is no record: it is left out of the list.
        while (reader.Next(bytes)) {
            const TResultRec rec = *DecodeResultRec(bytes);
            const QString key = ResultKey(rec.Kind, rec.DateTime);
            if (used < list.size() && list[used].Object) {
                list[used].Object->Record = rec;
                list[used].Key = key;
            } else if (used < list.size()) {
                list[used] = {key, std::make_shared<TResultInfo>(TResultInfo{rec})};
            } else {
                list.push_back({key, std::make_shared<TResultInfo>(TResultInfo{rec})});
            }
            ++used;
        }
    }
    list.resize(used);
}

void FilterResults(DataFiles& data, std::int32_t kind, double fromDate)
{
    if (!data.ResultList)
        LoadResults(data, 0);
    if (!data.FilteredResults)
        data.FilteredResults.emplace();
    data.FilteredResults->clear();
    for (const auto& entry : *data.ResultList) {
        if (!entry.Object)
            continue;
        const TResultRec& r = entry.Object->Record;
        if ((kind < 0 || r.Kind == kind) && (fromDate <= 0 || r.DateTime >= fromDate))
            data.FilteredResults->push_back(entry);
    }
}

bool AppendResult(DataFiles& data, const TResultRec& rec)
{
    const QString path = ResultFileName(data, rec.UserId);
    if (path.isEmpty())
        return false;
    SharedFile file = OpenShared(path, UIStrings.StrResultFile, data.prompts, data.wait);
    if (!file.IsOpen())
        return false;
    const std::int64_t size = file.Size();
    if (size < 0)
        return false;
    // After the last whole record: a partial one left by an interrupted write is overwritten.
    return WriteRecordAt(file, size / static_cast<std::int64_t>(kResultRecSize),
                         EncodeResultRec(rec));
}

bool RewriteResults(DataFiles& data)
{
    const std::uint16_t id = data.ResultListUser.value_or(ResolveUser(data, 0));
    const QString path = ResultFileName(data, id);
    if (path.isEmpty())
        return false;
    SharedFile file = OpenShared(path, UIStrings.StrResultFile, data.prompts, data.wait);
    if (!file.IsOpen())
        return false;
    std::vector<const TResultRec*> records;
    if (data.ResultList) {
        for (const auto& entry : *data.ResultList) {
            if (entry.Object)
                records.push_back(&entry.Object->Record);
        }
    }
    return file.ReplaceContents(EncodeAll(records));
}

bool PurgeResults(DataFiles& data, std::uint16_t userId, double cutoff)
{
    const QString path = ResultFileName(data, userId);
    if (path.isEmpty())
        return false;
    // Nothing to purge, and a purge must not leave an empty file where there was none.
    if (!QFileInfo(path).isFile())
        return true;
    const QString message =
        Format(UIStrings.StrPurgeResultsFormat, {static_cast<std::int64_t>(userId)});
    SharedFile file = OpenShared(path, message, data.prompts, data.wait);
    if (!file.IsOpen())
        return false;
    const auto records = ReadAllRecords(file);
    if (!records)
        return false;
    std::vector<const TResultRec*> kept;
    for (const TResultRec& rec : *records) {
        if (rec.UserId > 0 && rec.DateTime >= cutoff)
            kept.push_back(&rec);
    }
    return file.ReplaceContents(EncodeAll(kept));
}

} // namespace pv
