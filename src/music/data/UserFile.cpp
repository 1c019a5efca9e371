// User.dat routines and the user statistics.
#include "music/data/UserFile.h"

#include "music/data/ClassFile.h"
#include "music/files/DaysSince1899.h"
#include "music/files/Win1252.h"

#include <cmath>

namespace pv {

namespace {

/// Cuts a text to what a string[capacity] field can hold (capacity counts stored bytes).
QString CutToField(const QString& text, std::size_t capacity)
{
    std::vector<std::uint8_t> bytes = ToWin1252(text);
    if (bytes.size() <= capacity)
        return text;
    bytes.resize(capacity);
    return FromWin1252(bytes);
}

bool IdIs(std::span<const std::uint8_t> record, std::uint16_t id)
{
    return record.size() >= 2 && static_cast<std::uint16_t>(record[0] | (record[1] << 8)) == id;
}

} // namespace

bool ReadUser(DataFiles& data, UserLists& users, std::uint16_t userId, const QString& loginName,
              bool makeCurrent)
{
    const QString login = UpperCaseAscii(loginName);
    RecordReader reader(data.UserFilePath(), kUserRecSize);
    std::array<std::uint8_t, kUserRecSize> bytes{};
    std::optional<TUserRec> found;
    while (reader.Next(bytes)) {
        auto rec = DecodeUserRec(bytes);
        if (!rec)
            break;
        const bool byId = userId != 0 && rec->UserId == userId;
        const bool byName = !login.isEmpty() && UpperCaseAscii(rec->LoginName) == login;
        if (byId || byName) {
            found = std::move(rec);
            break;
        }
    }
    CheckRead(data, data.UserFilePath(), data.strings.StrUserFile, reader);
    // Found means matched: running off the end must never hand back the last record read.
    if (!found || found->UserId == 0)
        return false;
    found->LoginName = UpperCaseAscii(found->LoginName);
    if (makeCurrent) {
        if (!users.CurrentUser)
            users.CurrentUser = std::make_shared<TUserInfo>();
        users.CurrentUser->Record = *found;
    }
    return true;
}

bool ReadUserById(DataFiles& data, TUserRec& rec)
{
    RecordReader reader(data.UserFilePath(), kUserRecSize);
    std::array<std::uint8_t, kUserRecSize> bytes{};
    std::optional<TUserRec> found;
    while (!found && reader.Next(bytes)) {
        if (IdIs(bytes, rec.UserId))
            found = DecodeUserRec(bytes);
    }
    CheckRead(data, data.UserFilePath(), data.strings.StrUserFile, reader);
    if (!found)
        return false;
    rec = *found;
    return true;
}

Status<DataError> WriteUser(DataFiles& data, const TUserRec& rec)
{
    const WriterScope scope(data);
    if (!scope.Entered())
        return Reentered();
    auto opened = OpenDataFile(data, data.UserFilePath(), data.strings.StrUserFile);
    if (!opened)
        return opened.Err();
    const auto bytes = EncodeUserRec(rec);
    return UpdateOrAppendRecord(
        opened.Value(), [&](std::span<const std::uint8_t> r) { return IdIs(r, rec.UserId); },
        bytes);
}

void FilterUsers(UserLists& users, std::int32_t kindMask, std::int32_t classId)
{
    if (!users.FilteredUsers)
        users.FilteredUsers.emplace();
    users.FilteredUsers->clear();
    if (!users.UserList)
        return;
    for (const auto& entry : *users.UserList) {
        if (!entry.Object)
            continue;
        const TUserRec& rec = entry.Object->Record;
        // Kinds outside 1..3 have no bit: only "every kind" takes them.
        const bool kindOk = kindMask < 0 || (rec.UserKind >= 1 && rec.UserKind <= 3 &&
                                             (kindMask & (1 << (rec.UserKind - 1))) != 0);
        const bool classOk = classId < 0 || rec.ClassId == classId;
        if (kindOk && classOk)
            users.FilteredUsers->push_back(entry);
    }
}

void ComputeUserStatistics(DataFiles& data, TUserInfo& user, const ResultEntries& results,
                           const StatisticsSources& sources)
{
    user.Statistics.fill(UserStatistics{});
    const double cutoff = TodayInDaysSince1899() - sources.Period;
    for (auto it = results.rbegin(); it != results.rend(); ++it) {
        if (!it->Object)
            continue;
        const TResultRec& r = it->Object->Record;
        // A damaged kind must not pick a slot that does not exist; the record stays in the file.
        if (r.Kind < 1 || r.Kind > 10)
            continue;
        UserStatistics& slot = user.Statistics[r.Kind - 1U];
        if (r.DateTime > cutoff) {
            slot.SumDurations += r.Duration;
            slot.SumRight += r.Score;
            slot.SumQuestions += r.Count;
            slot.AnswerTime += r.AnswerTimeSum;
        }
        if (r.DateTime > slot.LatestDate) {
            slot.LatestDate = r.DateTime;
            slot.LatestItemName = r.SetupName;
            slot.LatestScore = r.Score;
            slot.LatestCount = r.Count;
        }
    }
    for (UserStatistics& slot : user.Statistics) {
        if (slot.SumQuestions > 0)
            slot.AnswerTime /= slot.SumQuestions;
    }
    user.ClassName = CutToField(ClassNameById(data, sources.ClassList, user.Record.ClassId), 31);
    user.DisplayName = ShownName(user.Record.FullName);
    user.TutorTitle =
        sources.TutorTitle ? CutToField(sources.TutorTitle(user.Record), 50) : QString();
    user.Computed = true;
}

} // namespace pv
