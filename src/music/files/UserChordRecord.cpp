// Codec of the user item record at the offsets of its stored layout.
#include "music/files/UserChordRecord.h"

#include "music/files/ByteIO.h"
#include "music/files/RecordHelpers.h"

#include <algorithm>

namespace pv {

std::optional<TUserChordRec> DecodeUserChordRec(std::span<const std::uint8_t> bytes)
{
    const auto raw = detail::RecordBytes<kUserChordRecSize>(bytes);
    if (!raw)
        return std::nullopt;
    const ByteReader r(*raw);
    TUserChordRec rec;
    rec.Raw = *raw;
    rec.Kind = r.U8(0);
    rec.NoteCount = r.U8(1);
    rec.Index = r.I32(2);
    const std::vector<std::uint8_t> notes = r.Bytes(6, rec.Notes.size());
    std::copy(notes.begin(), notes.end(), rec.Notes.begin());
    rec.Name = r.ShortString(54, 50);
    return rec;
}

std::array<std::uint8_t, kUserChordRecSize> EncodeUserChordRec(const TUserChordRec& rec)
{
    std::array<std::uint8_t, kUserChordRecSize> out = rec.Raw;
    ByteWriter w(out);
    w.U8(0, rec.Kind);
    w.U8(1, rec.NoteCount);
    w.I32(2, rec.Index);
    w.Bytes(6, rec.Notes);
    w.ShortString(54, 50, rec.Name);
    return out;
}

} // namespace pv
