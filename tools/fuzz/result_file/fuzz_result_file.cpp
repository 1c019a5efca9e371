// Feeds arbitrary bytes to the result readers as a user's result file, runs the statistics,
// appends, rewrites and purges, checking the file stays whole records of what was kept.
#include "../FuzzDataFolder.h"
#include "music/data/ResultFiles.h"
#include "music/data/UserFile.h"

using namespace pv;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const std::span<const std::uint8_t> input(bytes, size);
    fuzz::RequireStableRecords(input, kResultRecSize, DecodeResultRec, EncodeResultRec);
    DataFiles data = fuzz::FreshHolding(input, [](DataFiles& d) { return ResultFileName(d, 5); });
    const QString path = ResultFileName(data, 5);
    const std::size_t whole = size / kResultRecSize;

    ResultLists results;
    LoadResults(data, results, 5);
    fuzz::Require(results.ResultList->size() == whole);
    FilterResults(results, -1, 0);
    fuzz::Require(results.FilteredResults->size() == whole);
    FilterResults(results, size > 0 ? bytes[0] % 12 : 1, size > 1 ? bytes[1] : 0);

    TUserInfo user;
    user.Record.UserId = 5;
    std::optional<ClassEntries> classes;
    ComputeUserStatistics(data, user, *results.ResultList, {classes});
    fuzz::Require(user.Computed);

    TResultRec extra;
    extra.UserId = 5;
    extra.Kind = 1;
    extra.DateTime = 1e9;
    fuzz::Require(AppendResult(data, extra));
    fuzz::Require(fuzz::FuzzDataFolder::SizeOf(path) ==
                  static_cast<qint64>((whole + 1) * kResultRecSize));

    LoadResults(data, results, 5);
    std::size_t valid = 0;
    for (const auto& entry : *results.ResultList)
        valid += entry.Object->Record.UserId > 0 && entry.Object->Record.DateTime >= 0.5 ? 1 : 0;
    fuzz::Require(RewriteResults(data, results));
    fuzz::Require(fuzz::FuzzDataFolder::SizeOf(path) ==
                  static_cast<qint64>((whole + 1) * kResultRecSize));
    fuzz::Require(PurgeResults(data, 5, 0.5));
    fuzz::Require(fuzz::FuzzDataFolder::SizeOf(path) ==
                  static_cast<qint64>(valid * kResultRecSize));
    return 0;
}
