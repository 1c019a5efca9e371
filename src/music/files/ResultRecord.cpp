// The result record's layout, read and written through one field list, and its list key.
#include "music/files/ResultRecord.h"

#include "music/files/RecordHelpers.h"

#include <cmath>

namespace pv {

namespace {

template <class IO, class Rec> void ResultFields(IO& io, Rec& rec)
{
    io.U16(0, rec.UserId);
    io.U16(2, rec.Kind);
    io.Double(4, rec.DateTime);
    io.Double(12, rec.Duration);
    io.Double(20, rec.AnswerTimeSum);
    io.LengthPrefixedString(28, 50, rec.TutorTitle);
    io.LengthPrefixedString(80, 50, rec.SetupName);
    io.U16(132, rec.TutorStep);
    io.U16(134, rec.Score);
    io.U16(136, rec.Count);
    Table(io, 138, 4, rec.Items, [](auto& entry, auto& item) {
        entry.U16(0, item.Right);
        entry.U16(2, item.Asked);
    });
}

const auto kResultFields = [](auto& io, auto& rec) { ResultFields(io, rec); };

} // namespace

std::optional<TResultRec> DecodeResultRec(std::span<const std::uint8_t> bytes)
{
    return detail::DecodeRecord<TResultRec>(bytes, kResultFields);
}

std::array<std::uint8_t, kResultRecSize> EncodeResultRec(const TResultRec& rec)
{
    return detail::EncodeRecord(rec, kResultFields);
}

QString ResultKey(int kind, double dateTime)
{
    // A damaged date must not overflow the conversion; such keys only need to be stable.
    const double scaled = std::trunc(dateTime * 100000.0);
    const qint64 digits =
        std::isfinite(scaled) && std::fabs(scaled) < 9.0e18 ? static_cast<qint64>(scaled) : 0;
    return QString::number(digits) + QString::number(kind);
}

} // namespace pv
