// Decoding and encoding a fixed-size record through its one field list.
#pragma once

#include "music/files/ByteIO.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <tuple>

namespace pv::detail {

/// The record held by bytes, read by fields(FieldReader&, Rec&); nothing unless bytes is exactly
/// the record's size. The bytes are kept in rec.Raw, so what no field names is written back.
template <class Rec, class Fields>
std::optional<Rec> DecodeRecord(std::span<const std::uint8_t> bytes, Fields fields)
{
    Rec rec;
    if (bytes.size() != rec.Raw.size())
        return std::nullopt;
    std::copy(bytes.begin(), bytes.end(), rec.Raw.begin());
    FieldReader io(rec.Raw);
    fields(io, rec);
    return rec;
}

/// The stored image of rec: its kept bytes with fields(FieldWriter&, const Rec&) written over.
template <class Rec, class Fields> auto EncodeRecord(const Rec& rec, Fields fields)
{
    auto out = rec.Raw;
    FieldWriter io(out);
    fields(io, rec);
    return out;
}

} // namespace pv::detail
