// Small pieces shared by the record codecs: decoding from a checked span and keeping bytes.
#pragma once

#include "music/files/ByteIO.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace pv::detail {

/// Copies bytes into a record-sized buffer; nothing when the size is not the record's.
template <std::size_t N>
std::optional<std::array<std::uint8_t, N>> RecordBytes(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() != N)
        return std::nullopt;
    std::array<std::uint8_t, N> raw{};
    std::copy(bytes.begin(), bytes.end(), raw.begin());
    return raw;
}

/// Writes a Boolean, leaving the stored byte alone when it already means the same (a stored
/// 2 still reads as true, and an untouched record must come back byte for byte).
inline void PutBool(ByteWriter& w, std::span<const std::uint8_t> raw, std::size_t offset,
                    bool value)
{
    if (offset < raw.size() && (raw[offset] != 0) == value)
        return;
    w.Bool(offset, value);
}

} // namespace pv::detail
