// The class record's layout, read and written through one field list.
#include "music/files/ClassRecord.h"

#include "music/files/RecordHelpers.h"

namespace pv {

namespace {

template <class IO, class Rec> void ClassFields(IO& io, Rec& rec)
{
    io.LengthPrefixedString(0, 31, rec.Name);
    io.I32(32, rec.ClassId);
}

const auto kClassFields = [](auto& io, auto& rec) { ClassFields(io, rec); };

} // namespace

std::optional<TClassRec> DecodeClassRec(std::span<const std::uint8_t> bytes)
{
    return detail::DecodeRecord<TClassRec>(bytes, kClassFields);
}

std::array<std::uint8_t, kClassRecSize> EncodeClassRec(const TClassRec& rec)
{
    return detail::EncodeRecord(rec, kClassFields);
}

} // namespace pv
