// The 380-byte result record of an exercise run, and the key results are listed under.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include <QString>

namespace pv {

inline constexpr std::size_t kResultRecSize = 380;

/// Right answers and questions of one item.
struct ItemScore
{
    std::uint16_t Right = 0;
    std::uint16_t Asked = 0;
    bool operator==(const ItemScore&) const = default;
};

struct TResultRec
{
    std::uint16_t UserId = 0;          ///< > 0 = a valid record
    std::uint16_t Kind = 0;            ///< exercise kind 1..10
    double DateTime = 0;               ///< days since 1899-12-30 with the time of day
    double Duration = 0;               ///< days
    double AnswerTimeSum = 0;          ///< sum of the answer times
    QString TutorTitle;                ///< string[50]; empty without the tutor
    QString SetupName;                 ///< string[50]: the tutor step's title, or the setup's name
    std::uint16_t TutorStep = 0;       ///< the user's tutor step for this kind, or 0
    std::uint16_t Score = 0;           ///< right answers (kinds 4..6: mean percentage)
    std::uint16_t Count = 0;           ///< questions
    std::array<ItemScore, 60> Items{}; ///< per item 1..60 (index 0 = item 1)
    /// The record as stored; padding is written back from here.
    std::array<std::uint8_t, kResultRecSize> Raw{};

    bool operator==(const TResultRec&) const = default;
};

/// Nothing unless bytes holds exactly one record.
std::optional<TResultRec> DecodeResultRec(std::span<const std::uint8_t> bytes);
std::array<std::uint8_t, kResultRecSize> EncodeResultRec(const TResultRec& rec);

/// The list key: the decimal Trunc(dateTime * 100000), then the decimal kind (kind 3 at
/// 36526.5 gives "36526500003").
QString ResultKey(int kind, double dateTime);

} // namespace pv
