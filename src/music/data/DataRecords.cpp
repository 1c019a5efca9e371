// The result list's bookkeeping of whose results it holds.
#include "music/data/DataRecords.h"

#include "music/files/ResultRecord.h"

namespace pv {

void ResultLists::TakeLoaded(std::uint16_t owner, std::vector<TResultRec> records)
{
    if (!ResultList)
        ResultList.emplace();
    ResultEntries& list = *ResultList;
    // The objects are reused in order: other lists (a filtered one) may share them.
    for (std::size_t i = 0; i < records.size(); ++i) {
        const TResultRec& rec = records[i];
        const QString key = ResultKey(rec.Kind, rec.DateTime);
        if (i < list.size() && list[i].Object) {
            list[i].Object->Record = rec;
            list[i].Key = key;
        } else if (i < list.size()) {
            list[i] = {key, std::make_shared<TResultInfo>(TResultInfo{rec})};
        } else {
            list.push_back({key, std::make_shared<TResultInfo>(TResultInfo{rec})});
        }
    }
    list.resize(records.size());
    m_owner = owner;
    m_loaded = std::move(records);
}

bool ResultLists::AddStored(const TResultRec& rec)
{
    if (!HoldsResultsOf(rec.UserId))
        return false;
    // As the file holds it, so a later rewrite finds the same bytes in the file and the list.
    const TResultRec stored = *DecodeResultRec(EncodeResultRec(rec));
    ResultList->push_back({ResultKey(stored.Kind, stored.DateTime),
                           std::make_shared<TResultInfo>(TResultInfo{stored})});
    // The record is known to be in the file: deleting it from the list later must remove it
    // there too, not keep it as something another copy appended.
    if (m_loaded)
        m_loaded->push_back(stored);
    return true;
}

void ResultLists::TakeRewritten(std::uint16_t owner, std::vector<TResultRec> records)
{
    // A list loaded for someone else meanwhile keeps its own records.
    if (m_owner == owner)
        m_loaded = std::move(records);
}

void ResultLists::Clear()
{
    ResultList.reset();
    FilteredResults.reset();
    m_owner.reset();
    m_loaded.reset();
}

} // namespace pv
