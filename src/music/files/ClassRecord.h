// The 188-byte class record of Class.dat.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include <QString>

namespace pv {

inline constexpr std::size_t kClassRecSize = 188;

struct TClassRec
{
    QString Name;             ///< string[31]
    std::int32_t ClassId = 0; ///< > 0 = valid; users refer to its low 16 bits
    /// The record as stored; the unused area is written back from here.
    std::array<std::uint8_t, kClassRecSize> Raw{};

    bool operator==(const TClassRec&) const = default;
};

/// Nothing unless bytes holds exactly one record.
std::optional<TClassRec> DecodeClassRec(std::span<const std::uint8_t> bytes);
std::array<std::uint8_t, kClassRecSize> EncodeClassRec(const TClassRec& rec);

} // namespace pv
