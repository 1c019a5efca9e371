// The user item record's layout, read and written through one field list.
#include "music/files/UserChordRecord.h"

#include "music/files/RecordHelpers.h"

namespace pv {

namespace {

template <class IO, class Rec> void UserChordFields(IO& io, Rec& rec)
{
    io.U8(0, rec.Kind);
    io.U8(1, rec.NoteCount);
    io.I32(2, rec.Index);
    io.Bytes(6, rec.Notes);
    io.LengthPrefixedString(54, 50, rec.Name);
}

const auto kUserChordFields = [](auto& io, auto& rec) { UserChordFields(io, rec); };

} // namespace

std::optional<TUserChordRec> DecodeUserChordRec(std::span<const std::uint8_t> bytes)
{
    return detail::DecodeRecord<TUserChordRec>(bytes, kUserChordFields);
}

std::array<std::uint8_t, kUserChordRecSize> EncodeUserChordRec(const TUserChordRec& rec)
{
    return detail::EncodeRecord(rec, kUserChordFields);
}

} // namespace pv
