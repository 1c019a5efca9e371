// Conversion between QDateTime and the stored day count.
#include "music/files/DaysSince1899.h"

#include <cmath>

namespace pv {

namespace {
constexpr double kMsPerDay = 86'400'000.0;
/// Made on first use: a value of another file's static initialiser may be converted before
/// this file's own statics exist.
const QDate& Epoch()
{
    static const QDate epoch(1899, 12, 30);
    return epoch;
}
} // namespace

double ToDaysSince1899(const QDateTime& when)
{
    const QDateTime local = when.toLocalTime();
    const auto days = static_cast<double>(Epoch().daysTo(local.date()));
    const auto ms = static_cast<double>(local.time().msecsSinceStartOfDay());
    return days + ms / kMsPerDay;
}

QDateTime FromDaysSince1899(double days)
{
    if (!std::isfinite(days) || days < -693593.0 || days > 2958466.0)
        return {};
    const double whole = std::floor(days);
    auto ms = static_cast<qint64>(std::llround((days - whole) * kMsPerDay));
    auto dayCount = static_cast<qint64>(whole);
    if (ms >= static_cast<qint64>(kMsPerDay)) {
        ms -= static_cast<qint64>(kMsPerDay);
        ++dayCount;
    }
    const QDate date = Epoch().addDays(dayCount);
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)));
}

double NowInDaysSince1899()
{
    return ToDaysSince1899(QDateTime::currentDateTime());
}

double TodayInDaysSince1899()
{
    return std::floor(NowInDaysSince1899());
}

} // namespace pv
