// Dates as stored in the data files: doubles of days since 30 December 1899, local time.
#pragma once

#include <cstdint>

#include <QDateTime>

namespace pv {

/// Days since 1899-12-30 00:00 local time; the fraction is the time of day.
double ToDaysSince1899(const QDateTime& when);
/// The local date and time of a stored value (to the millisecond).
QDateTime FromDaysSince1899(double days);
/// The stored value of now.
double NowInDaysSince1899();
/// The stored value of today's midnight.
double TodayInDaysSince1899();

} // namespace pv
