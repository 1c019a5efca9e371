// Codec of the result record at the offsets of its stored layout.
#include "music/files/ResultRecord.h"

#include "music/files/ByteIO.h"
#include "music/files/RecordHelpers.h"

#include <cmath>

namespace pv {

namespace {
constexpr std::size_t kItems = 138;
} // namespace

std::optional<TResultRec> DecodeResultRec(std::span<const std::uint8_t> bytes)
{
    const auto raw = detail::RecordBytes<kResultRecSize>(bytes);
    if (!raw)
        return std::nullopt;
    const ByteReader r(*raw);
    TResultRec rec;
    rec.Raw = *raw;
    rec.UserId = r.U16(0);
    rec.Kind = r.U16(2);
    rec.DateTime = r.F64(4);
    rec.Duration = r.F64(12);
    rec.AnswerTimeSum = r.F64(20);
    rec.TutorTitle = r.ShortString(28, 50);
    rec.SetupName = r.ShortString(80, 50);
    rec.TutorStep = r.U16(132);
    rec.Score = r.U16(134);
    rec.Count = r.U16(136);
    for (std::size_t i = 0; i < rec.Items.size(); ++i)
        rec.Items[i] = {r.U16(kItems + 4 * i), r.U16(kItems + 4 * i + 2)};
    return rec;
}

std::array<std::uint8_t, kResultRecSize> EncodeResultRec(const TResultRec& rec)
{
    std::array<std::uint8_t, kResultRecSize> out = rec.Raw;
    ByteWriter w(out);
    w.U16(0, rec.UserId);
    w.U16(2, rec.Kind);
    w.F64(4, rec.DateTime);
    w.F64(12, rec.Duration);
    w.F64(20, rec.AnswerTimeSum);
    w.ShortString(28, 50, rec.TutorTitle);
    w.ShortString(80, 50, rec.SetupName);
    w.U16(132, rec.TutorStep);
    w.U16(134, rec.Score);
    w.U16(136, rec.Count);
    for (std::size_t i = 0; i < rec.Items.size(); ++i) {
        w.U16(kItems + 4 * i, rec.Items[i].Right);
        w.U16(kItems + 4 * i + 2, rec.Items[i].Asked);
    }
    return out;
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
