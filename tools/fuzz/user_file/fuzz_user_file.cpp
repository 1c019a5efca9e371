// Feeds arbitrary bytes to the User.dat readers as the file, then writes a user into it and
// checks the write landed aligned and is found again.
#include "../FuzzDataFolder.h"
#include "music/data/UserFile.h"

using namespace pv;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const std::span<const std::uint8_t> input(bytes, size);
    fuzz::RequireStableRecords(input, kUserRecSize, DecodeUserRec, EncodeUserRec);
    DataFiles data = fuzz::FreshHolding(input, &DataFiles::UserFilePath);

    const std::uint16_t id = size >= 2 ? static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8)) : 1;
    UserLists users;
    if (ReadUser(data, users, id, {}, true))
        fuzz::Require(users.CurrentUser && users.CurrentUser->Record.UserId == id);
    ReadUser(data, users, 0, QStringLiteral("anna"), true);
    TUserRec probe;
    probe.UserId = id;
    ReadUserById(data, probe);

    TUserRec user = DefaultUser();
    user.UserId = 0xFFFE;
    user.LoginName = QStringLiteral("FUZZ");
    fuzz::Require(WriteUser(data, user));
    const qint64 length = fuzz::FuzzDataFolder::SizeOf(data.UserFilePath());
    // An update in place leaves a torn tail where it was (the next append overwrites it);
    // otherwise the file ends on a whole record and grew by at most one.
    const auto recordSize = static_cast<qint64>(kUserRecSize);
    fuzz::Require(length / recordSize <= static_cast<qint64>(size) / recordSize + 1);
    if (size % kUserRecSize == 0)
        fuzz::Require(length % recordSize == 0);
    fuzz::Require(ReadUser(data, users, 0xFFFE, {}, false));
    return 0;
}
