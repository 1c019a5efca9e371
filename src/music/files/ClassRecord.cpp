// Codec of the class record at the offsets of its stored layout.
#include "music/files/ClassRecord.h"

#include "music/files/ByteIO.h"
#include "music/files/RecordHelpers.h"

namespace pv {

std::optional<TClassRec> DecodeClassRec(std::span<const std::uint8_t> bytes)
{
    const auto raw = detail::RecordBytes<kClassRecSize>(bytes);
    if (!raw)
        return std::nullopt;
    const ByteReader r(*raw);
    TClassRec rec;
    rec.Raw = *raw;
    rec.Name = r.ShortString(0, 31);
    rec.ClassId = r.I32(32);
    return rec;
}

std::array<std::uint8_t, kClassRecSize> EncodeClassRec(const TClassRec& rec)
{
    std::array<std::uint8_t, kClassRecSize> out = rec.Raw;
    ByteWriter w(out);
    w.ShortString(0, 31, rec.Name);
    w.I32(32, rec.ClassId);
    return out;
}

} // namespace pv
